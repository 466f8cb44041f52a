// The layout the README states, checked on the sources: each folder includes only from itself and the folders
// listed above it in the README's layout table, and a file of a logic library includes neither a window nor a
// Qt Widgets header. Windows are the files of the libraries named *_ui (and lumiwand_ui itself).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

const QString kRoot = QStringLiteral(LUMIWAND_SOURCE_DIR);

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
    bool windows() const { return name == QLatin1String("lumiwand_ui") || name.endsWith(QLatin1String("_ui")); }
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
            QDirIterator files(kRoot + '/' + folders[rank], {"*.cpp", "*.h"}, QDir::Files,
                               QDirIterator::Subdirectories);
            while (files.hasNext()) {
                const QString path = QDir(kRoot).relativeFilePath(files.next());
                for (const QString& include : includesOf(path).own) {
                    const int target = folders.indexOf(include.section(u'/', 0, 0));
                    if (target > rank)
                        faults << path + " includes " + include;
                }
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    void logicIncludesNoWindow()
    {
        QSet<QString> windowFiles;
        QStringList logicFiles;
        for (const QString& folder : folderOrder()) {
            for (const Library& library : librariesOf(folder)) {
                if (library.windows())
                    windowFiles.unite(QSet<QString>(library.files.begin(), library.files.end()));
                else
                    logicFiles << library.files;
            }
        }
        QVERIFY(!windowFiles.isEmpty() && !logicFiles.isEmpty());
        QStringList faults;
        for (const QString& file : std::as_const(logicFiles)) {
            const Includes includes = includesOf(file);
            for (const QString& include : includes.own) {
                if (windowFiles.contains(include))
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
