// The layout the README states, checked on the sources: each folder includes only from itself and the folders
// listed above it in the README's layout table, and a file of a logic library includes neither a window nor a
// Qt Widgets header. Windows are the files of the libraries named *_ui (and lumiwand_windowkit itself).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString kRoot = QStringLiteral(LUMIWAND_SOURCE_DIR);
const QString kWindowKit = QStringLiteral("windowkit");

// A window: a file of a subsystem's windows/ folder, or of the window kit every window builds on.
bool isWindowFile(const QString& relativePath)
{
    return relativePath.split(u'/').contains(QLatin1String("windows")) || relativePath.startsWith(kWindowKit + '/');
}

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The folders of the README's layout table that hold code, lowest first.
QStringList folderOrder()
{
    static const QRegularExpression row(QStringLiteral(R"(^\| \d+ [^|]*\| `([a-z]+)/` \|)"),
                                        QRegularExpression::MultilineOption);
    QStringList folders;
    for (const QRegularExpressionMatch& match : row.globalMatch(readText(kRoot + "/README.md")))
        folders << match.captured(1);
    return folders;
}

struct Library {
    QString name;
    QStringList files; // relative to the source root
    bool windows() const { return name == QLatin1String("lumiwand_windowkit") || name.endsWith(QLatin1String("_ui")); }
};

// The libraries a folder's CMakeLists.txt declares, with the sources add_library and target_sources give them.
QList<Library> librariesOf(const QString& folder)
{
    static const QRegularExpression call(QStringLiteral(R"((add_library|target_sources)\(\s*(\w+)([^)]*)\))"));
    static const QRegularExpression source(QStringLiteral(R"(([\w/]+\.(?:cpp|h)))"));
    QMap<QString, Library> libraries;
    for (const QRegularExpressionMatch& match : call.globalMatch(readText(kRoot + '/' + folder + "/CMakeLists.txt"))) {
        if (match.captured(3).contains(QLatin1String("ALIAS")))
            continue;
        Library& library = libraries[match.captured(2)];
        library.name = match.captured(2);
        for (const QRegularExpressionMatch& file : source.globalMatch(match.captured(3)))
            library.files << folder + '/' + file.captured(1);
    }
    return libraries.values();
}

// The project's own includes of a file ("store/Project.h") and its angle-bracket includes (<QWidget>).
struct Includes {
    QStringList own;
    QStringList system;
};
Includes includesOf(const QString& relativePath)
{
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"),
                                            QRegularExpression::MultilineOption);
    Includes found;
    for (const QRegularExpressionMatch& match : include.globalMatch(readText(kRoot + '/' + relativePath)))
        (match.captured(1) == QLatin1String("\"") ? found.own : found.system) << match.captured(2);
    return found;
}

QStringList sourcesUnder(const QString& folder)
{
    QStringList found;
    QDirIterator files(kRoot + '/' + folder, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        found << QDir(kRoot).relativeFilePath(files.next());
    return found;
}

// The files that must stay free of windows: every file of the floors below the programs that is not a window,
// and the logic libraries of the programs' floor (its programs are where the windows are put together).
QStringList logicFiles(const QStringList& folders)
{
    QStringList found;
    for (const QString& folder : folders.first(folders.size() - 1)) {
        for (const QString& file : sourcesUnder(folder))
            if (!isWindowFile(file))
                found << file;
    }
    for (const Library& library : librariesOf(folders.last()))
        if (!library.windows())
            found << library.files;
    return found;
}

bool isWidgetsHeader(const QString& header)
{
    if (header.startsWith(QLatin1String("QtWidgets")))
        return true;
    const QString widgets = QLibraryInfo::path(QLibraryInfo::HeadersPath) + QStringLiteral("/QtWidgets/");
    return !header.contains(u'/') && QFile::exists(widgets + header);
}

} // namespace

class tst_Floors : public QObject {
    Q_OBJECT

private slots:
    void tableNamesTheCodeFolders()
    {
        const QStringList folders = folderOrder();
        QVERIFY2(folders.size() >= 8, qPrintable(folders.join(u' ')));
        for (const QString& folder : folders)
            QVERIFY2(QFile::exists(kRoot + '/' + folder + "/CMakeLists.txt"), qPrintable(folder));
        QVERIFY(QFile::exists(QLibraryInfo::path(QLibraryInfo::HeadersPath) + "/QtWidgets/QWidget"));
    }

    void includesGoOnlyDown()
    {
        const QStringList folders = folderOrder();
        QStringList faults;
        for (int rank = 0; rank < folders.size(); ++rank) {
            for (const QString& path : sourcesUnder(folders[rank])) {
                for (const QString& include : includesOf(path).own) {
                    const int target = folders.indexOf(include.section(u'/', 0, 0));
                    if (target > rank)
                        faults << path + " includes " + include;
                }
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // The window libraries hold the files of the windows/ folders and the kit, the logic libraries none of them.
    void windowLibrariesHoldTheWindowFolders()
    {
        QStringList faults;
        int windowFiles = 0;
        for (const QString& folder : folderOrder()) {
            for (const Library& library : librariesOf(folder)) {
                for (const QString& file : library.files) {
                    windowFiles += isWindowFile(file);
                    if (isWindowFile(file) != library.windows())
                        faults << library.name + " builds " + file;
                }
            }
        }
        QVERIFY(windowFiles > 0);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    void logicIncludesNoWindow()
    {
        const QStringList logic = logicFiles(folderOrder());
        QVERIFY(logic.size() > 100);
        QStringList faults;
        for (const QString& file : logic) {
            const Includes includes = includesOf(file);
            for (const QString& include : includes.own) {
                if (isWindowFile(include))
                    faults << file + " includes the window " + include;
            }
            for (const QString& include : includes.system) {
                if (isWidgetsHeader(include))
                    faults << file + " includes the widget header " + include;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(tst_Floors)
#include "tst_Floors.moc"
