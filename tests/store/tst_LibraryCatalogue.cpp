#include "store/LibraryCatalogue.h"
#include "store/LibraryCommands.h"
#include "store/LibraryTree.h"
#include "store/WorkspaceLock.h"

#include "messages/MessageCatalogue.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using messages::Answer;
using messages::Buttons;
using messages::Icon;
using store::LibraryCatalogue;

namespace {

QString iconName(Icon icon)
{
    switch (icon) {
    case Icon::Stop: return QStringLiteral("stop");
    case Icon::Information: return QStringLiteral("information");
    case Icon::Question: return QStringLiteral("question");
    case Icon::Warning: return QStringLiteral("warning");
    case Icon::None: break;
    }
    return QStringLiteral("none");
}

QString buttonsName(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return QStringLiteral("Ok");
    case Buttons::OkCancel: return QStringLiteral("OkCancel");
    case Buttons::YesNo: return QStringLiteral("YesNo");
    case Buttons::YesNoCancel: return QStringLiteral("YesNoCancel");
    case Buttons::YesNoDefaultNo: return QStringLiteral("YesNoDefaultNo");
    }
    return {};
}

// The boxes an operation shows, one line each, so that a whole dialogue compares at once.
QString box(unsigned titleId, const QString& text, Icon icon, Buttons buttons = Buttons::Ok)
{
    return QStringLiteral("box %1 | %2 | %3 %4")
        .arg(messages::lookupMessage(titleId), text, iconName(icon), buttonsName(buttons));
}
QString box(unsigned titleId, unsigned textId, Icon icon, Buttons buttons = Buttons::Ok)
{
    return box(titleId, messages::lookupMessage(textId), icon, buttons);
}
QString input(unsigned titleId, unsigned promptId, const QString& initial = {})
{
    return QStringLiteral("input %1 | %2 | %3")
        .arg(messages::lookupMessage(titleId), messages::lookupMessage(promptId), initial);
}

QStringList dialogue(const ScriptedPrompter& prompter)
{
    QStringList lines;
    for (const ScriptedPrompter::Shown& shown : prompter.shown) {
        if (shown.kind == QLatin1String("box"))
            lines << QStringLiteral("box %1 | %2 | %3 %4")
                         .arg(shown.title, shown.text, iconName(shown.icon), buttonsName(shown.buttons));
        else if (shown.kind == QLatin1String("input"))
            lines << QStringLiteral("input %1 | %2 | %3").arg(shown.title, shown.text, shown.initial);
        else
            lines << QStringLiteral("%1 %2 | %3 | %4").arg(shown.kind, shown.title, shown.text, shown.initial);
    }
    return lines;
}

// Scripts a prompter: inputs ("<cancel>" cancels the box) and answers, one letter each: Y(es), N(o), O(k), C(ancel).
void script(ScriptedPrompter& prompter, const QStringList& inputs, const QString& answers)
{
    for (const QString& text : inputs)
        prompter.inputs.enqueue(text == QLatin1String("<cancel>") ? std::nullopt : std::optional<QString>(text));
    for (QChar letter : answers)
        prompter.answers.enqueue(letter == u'Y'   ? Answer::Yes
                                 : letter == u'N' ? Answer::No
                                 : letter == u'O' ? Answer::Ok
                                                  : Answer::Cancel);
}

// The tree in one line: "[CLIP](a.bmp) Animals(b.bmp c.bmp)".
QString render(const std::vector<store::LibraryNode>& nodes)
{
    QStringList parts;
    for (const store::LibraryNode& node : nodes) {
        QStringList children;
        for (const store::LibraryNode& child : node.children)
            children << child.text;
        parts << node.text + u'(' + children.join(u' ') + u')';
    }
    return parts.join(u' ');
}

QStringList libraryNames(const LibraryCatalogue& catalogue)
{
    QStringList names;
    for (int k = 0; k < catalogue.totalLibraries(); ++k)
        names << catalogue.libraryName(k);
    return names;
}

// Makes a file unreplaceable, so that the next catalogue write is refused, and undoes that when it ends: read-only
// for an ordinary user, immutable for root (who writes through permissions).
class LockedFile {
public:
    explicit LockedFile(QString path) : path_(std::move(path))
    {
        if (::geteuid() != 0) {
            locked_ = ::chmod(QFile::encodeName(path_).constData(), 0444) == 0;
            return;
        }
        locked_ = setImmutable(true);
    }
    ~LockedFile()
    {
        if (!locked_)
            return;
        if (::geteuid() != 0)
            ::chmod(QFile::encodeName(path_).constData(), 0644);
        else
            setImmutable(false);
    }
    bool locked() const { return locked_; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    }

    QString path_;
    bool locked_ = false;
};

// Libraries Animals, Birds, Cats; heart.bmp in Animals alone with speed, shift and banner text records; other.bmp
// in Animals and Cats; loose.bmp in no library.
const char* const kSample = "[SUMMARY]\n"
                            "TOTAL_LIBRARIES=3\n"
                            "TOTAL_CLIPS=2\n"
                            "TOTAL_SHIFT_CLIPS=1\n"
                            "[LIBRARY]\n"
                            "LIB_0=Animals\n"
                            "LIB_1=Birds\n"
                            "LIB_2=Cats\n"
                            "[CLASSIFY]\n"
                            "heart.bmp=0,,,\n"
                            "other.bmp=0,,,2,,,\n"
                            "[SPEED]\n"
                            "CLIP_0=other.bmp;7\n"
                            "CLIP_1=heart.bmp;2050\n"
                            "[SHIFT]\n"
                            "SHIFT_VALUE0=heart.bmp;12\n"
                            "[HYPERLINK]\n"
                            "heart.bmp=\"Hi, there,Arial\"\n";

} // namespace

class TestLibraryCatalogue : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString clips;
    int counter = 0;

    void writeCatalogue(const QByteArray& text)
    {
        QFile file(clips + "Clip.ini");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray catalogueBytes() const
    {
        QFile file(clips + "Clip.ini");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void touch(const QStringList& names, const QByteArray& content = "BM")
    {
        for (const QString& name : names) {
            QFile file(clips + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
    }
    QStringList filesOnDisk() const
    {
        return QDir(clips).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)
            .filter(QStringLiteral(".bmp"));
    }
    void sample()
    {
        writeCatalogue(kSample);
        touch({"heart.bmp", "other.bmp", "loose.bmp"});
    }

private slots:
    void init()
    {
        clips = dir.path() + QStringLiteral("/clips%1/").arg(++counter);
        QVERIFY(QDir().mkpath(clips));
    }

    void tree_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<QString>("expected");

        const QByteArray three = "[SUMMARY]\nTOTAL_LIBRARIES=3\n[LIBRARY]\nLIB_0=Animals\nLIB_1=Birds\nLIB_2=Cats\n";
        QTest::newRow("no catalogue") << QByteArray() << QStringList{"b.bmp", "a.bmp"} << false << "[CLIP](a.bmp b.bmp)";
        QTest::newRow("memberships")
            << three + "[CLASSIFY]\na.bmp=0,,,2,,,\nb.bmp=7,,,\nc.bmp=0\nd.bmp=\ne.bmp=1,,,\n"
            << QStringList{"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp", "f.bmp"} << false
            << "[CLIP](b.bmp c.bmp d.bmp f.bmp) Animals(a.bmp) Birds(e.bmp) Cats(a.bmp)";
        QTest::newRow("odd lists")
            << three + "[CLASSIFY]\na.bmp=1,,,1,,,\nb.bmp=0,,,2\nc.bmp=x,,,1,,,\nd.bmp=-1,,,\n"
            << QStringList{"a.bmp", "b.bmp", "c.bmp", "d.bmp"} << false
            << "[CLIP](c.bmp d.bmp) Animals(b.bmp) Birds(a.bmp c.bmp) Cats()";
        QTest::newRow("sorted")
            << QByteArray("[SUMMARY]\nTOTAL_LIBRARIES=3\n[LIBRARY]\nLIB_0=zoo\nLIB_1=Ants\nLIB_2=birds\n"
                          "[CLASSIFY]\nB.bmp=0,,,\na.bmp=0,,,\n")
            << QStringList{"a.bmp", "B.bmp", "2.bmp"} << true << "[CLIP](2.bmp) Ants() birds() zoo(a.bmp B.bmp)";
        QTest::newRow("insertion order")
            << QByteArray("[SUMMARY]\nTOTAL_LIBRARIES=3\n[LIBRARY]\nLIB_0=zoo\nLIB_1=Ants\nLIB_2=birds\n"
                          "[CLASSIFY]\nB.bmp=0,,,\na.bmp=0,,,\n")
            << QStringList{"a.bmp", "B.bmp", "2.bmp"} << false << "[CLIP](2.bmp) zoo(a.bmp B.bmp) Ants() birds()";
        QTest::newRow("names empty and 0 are no library")
            << QByteArray("[SUMMARY]\nTOTAL_LIBRARIES=3\n[LIBRARY]\nLIB_0=0\nLIB_1=\nLIB_2=Real\n"
                          "[CLASSIFY]\na.bmp=2,,,\nb.bmp=0,,,\nc.bmp=1,,,\n")
            << QStringList{"a.bmp", "b.bmp", "c.bmp"} << false << "[CLIP](b.bmp c.bmp) Real(a.bmp)";
        QTest::newRow("count beyond the names") << QByteArray("[SUMMARY]\nTOTAL_LIBRARIES=2000000000\n[LIBRARY]\nLIB_0=A\n")
                                                << QStringList{} << false << "[CLIP]() A()";
        QTest::newRow("count below the names") << QByteArray("[SUMMARY]\nTOTAL_LIBRARIES=1\n[LIBRARY]\nLIB_0=A\nLIB_1=B\n")
                                               << QStringList{} << false << "[CLIP]() A()";
        QTest::newRow("count not a number") << QByteArray("[SUMMARY]\nTOTAL_LIBRARIES=three\n[LIBRARY]\nLIB_0=A\n")
                                            << QStringList{} << false << "[CLIP]()";
        QTest::newRow("negative count") << QByteArray("[SUMMARY]\nTOTAL_LIBRARIES=-3\n[LIBRARY]\nLIB_0=A\n")
                                        << QStringList{} << false << "[CLIP]()";
        QTest::newRow("garbage file") << QByteArray("\xff\xfe\x00[[=\n==\r\n[CLASSIFY\nBM\x01\x02", 18)
                                      << QStringList{"a.bmp"} << false << "[CLIP](a.bmp)";
        QTest::newRow("bmp files only, any case")
            << QByteArray() << QStringList{"x.txt", "y.BMP", "bmp", "z.bmp.txt"} << false << "[CLIP](y.BMP)";
        QTest::newRow("sections in any order, records between")
            << QByteArray("[CLASSIFY]\na.bmp=0,,,\n[SPEED]\nCLIP_0=a.bmp;5\n[LIBRARY]\nLIB_0=A\n[SHIFT]\n"
                          "[SUMMARY]\nTOTAL_LIBRARIES=1\n[LIBRARY]\nLIB_0=B\n")
            << QStringList{"a.bmp", "b.bmp"} << false << "[CLIP](b.bmp) A(a.bmp)";
        QTest::newRow("names match without case")
            << QByteArray("[summary]\ntotal_libraries=1\n[Library]\nlib_0=A\n[classify]\nPIC.BMP=0,,,\n")
            << QStringList{"pic.bmp"} << false << "[CLIP]() A(pic.bmp)";
    }
    void tree()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, files);
        QFETCH(bool, sorted);
        if (!ini.isEmpty())
            writeCatalogue(ini);
        touch(files);
        QDir().mkpath(clips + "folder.bmp"); // a folder is no picture
        const LibraryCatalogue catalogue(clips);
        const auto order = sorted ? store::LibraryTreeOrder::Sorted : store::LibraryTreeOrder::Insertion;
        QTEST(render(store::buildLibraryTree(catalogue, order)), "expected");
        // Read only as far as the tree needs, the catalogue gives the same tree.
        QTEST(render(store::buildLibraryTree(LibraryCatalogue::forTree(clips), order)), "expected");
    }

    // The pictures the tree lists are those QDir lists for "*.bmp": regular files and links to them, any case, not
    // hidden, no folders, FIFOs or dangling links; sorted by the lower-case name.
    void pictureFilesAreWhatQDirLists()
    {
        touch({"b.bmp", "A.BMP", "c.Bmp", ".hidden.bmp", "notes.txt", "bmp", "x.bmp.txt", "\u00e9t\u00e9.bmp"});
        QVERIFY(QDir().mkpath(clips + "folder.bmp"));
        QVERIFY(QFile::link(clips + "b.bmp", clips + "link.bmp"));
        QVERIFY(QFile::link(clips + "folder.bmp", clips + "folderlink.bmp"));
        QVERIFY(QFile::link(clips + "nowhere.bmp", clips + "dangling.bmp"));
        QCOMPARE(::mkfifo(QFile::encodeName(clips + "fifo.bmp").constData(), 0600), 0);
        const QStringList expected{"A.BMP", "b.bmp", "c.Bmp", "link.bmp", "\u00e9t\u00e9.bmp"};
        QStringList listed = QDir(clips).entryList({QStringLiteral("*.bmp")}, QDir::Files);
        std::sort(listed.begin(), listed.end(),
                  [](const QString& a, const QString& b) { return a.toLower() < b.toLower(); });
        QCOMPARE(listed, expected);
        QCOMPARE(LibraryCatalogue(clips).pictureFiles(), expected);
    }

    // Every change that changes the tree changes the stamp the pages keep their trees by; while the last change is
    // too recent for the file times to tell the next one from it, no stamp vouches for the tree.
    void treeStampSeesEveryChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("picture added") << "add";
        QTest::newRow("picture removed") << "remove";
        QTest::newRow("picture renamed") << "rename";
        QTest::newRow("catalogue rewritten, same size") << "rewrite";
        QTest::newRow("catalogue removed") << "forget";
    }
    void treeStampSeesEveryChange()
    {
        QFETCH(QString, change);
        sample();
        QVERIFY(!store::libraryTreeStamp(clips)); // just made
        QTest::qWait(30); // past the file system's clock tick, as the settled time is in use
        const std::optional<store::LibraryTreeStamp> before = store::libraryTreeStamp(clips, 0);
        QVERIFY(before);
        QCOMPARE(store::libraryTreeStamp(clips, 0), before);
        const QByteArray catalogue = fileContents(clips + "Clip.ini");
        if (change == "add")
            touch({"new.bmp"});
        else if (change == "remove")
            QVERIFY(QFile::remove(clips + "heart.bmp"));
        else if (change == "rename")
            QVERIFY(QFile::rename(clips + "heart.bmp", clips + "hearts.bmp"));
        else if (change == "rewrite")
            QCOMPARE(files::writeWholeFile(clips + "Clip.ini", QByteArray(catalogue).replace("Birds", "Bires")),
                     files::WriteResult::Written);
        else
            QVERIFY(QFile::remove(clips + "Clip.ini"));
        QVERIFY(store::libraryTreeStamp(clips, 0) != before);
        QVERIFY(!store::libraryTreeStamp(clips));
    }

    void treeNodesCarryKindIconAndNumber()
    {
        sample();
        const auto tree = store::buildLibraryTree(LibraryCatalogue(clips), store::LibraryTreeOrder::Insertion);
        QCOMPARE(tree.size(), size_t(4));
        QCOMPARE(tree[0].kind, store::LibraryNodeKind::Root);
        QCOMPARE(tree[0].icon, 1);
        QCOMPARE(tree[3].kind, store::LibraryNodeKind::Library);
        QCOMPARE(tree[3].icon, 0);
        QCOMPARE(tree[3].library, 2);
        QCOMPARE(tree[3].children.at(0).kind, store::LibraryNodeKind::File);
        QCOMPARE(tree[3].children.at(0).icon, 4);

        QCOMPARE(store::nodeKindOfText("[CLIP]"), store::LibraryNodeKind::Root);
        QCOMPARE(store::nodeKindOfText("Heart.BMP"), store::LibraryNodeKind::File);
        QCOMPARE(store::nodeKindOfText("Animals"), store::LibraryNodeKind::Library);
    }

    void createLibrary_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QStringList>("libraries");
        QTest::addColumn<QStringList>("boxes");

        const QString ask = input(411, 412);
        const QString exists = box(411, 413, Icon::Warning, Buttons::YesNo);
        const QString created = box(411, 414, Icon::Information);
        const QByteArray animals = "[SUMMARY]\nTOTAL_LIBRARIES=1\n[LIBRARY]\nLIB_0=animals\n";
        QTest::newRow("first library") << QByteArray() << QStringList{"Animals"} << "" << QStringList{"Animals"}
                                       << QStringList{ask, created};
        QTest::newRow("taken ignoring case, Yes, then empty")
            << animals << QStringList{"Animals", ""} << "Y" << QStringList{"animals"} << QStringList{ask, exists, ask};
        QTest::newRow("taken, Yes, then a new name, trimmed")
            << animals << QStringList{" ANIMALS ", "  Birds "} << "Y" << QStringList{"animals", "Birds"}
            << QStringList{ask, exists, ask, created};
        QTest::newRow("taken, No") << animals << QStringList{"animals"} << "N" << QStringList{"animals"}
                                   << QStringList{ask, exists};
        QTest::newRow("0 counts as empty") << animals << QStringList{"0"} << "" << QStringList{"animals"}
                                           << QStringList{ask};
        QTest::newRow("cancel") << animals << QStringList{"<cancel>"} << "" << QStringList{"animals"}
                                << QStringList{ask};
        QTest::newRow("blank") << QByteArray() << QStringList{"   "} << "" << QStringList{} << QStringList{ask};
        QTest::newRow("the root's name is taken") << QByteArray() << QStringList{"[clip]"} << "N" << QStringList{}
                                                  << QStringList{ask, exists};
        const QByteArray noNames = "[SUMMARY]\nTOTAL_LIBRARIES=2\n[LIBRARY]\nLIB_0=0\nLIB_1=\n";
        QTest::newRow("after names that are no library") << noNames << QStringList{"Fish"} << ""
                                                         << QStringList{"0", "", "Fish"} << QStringList{ask, created};
        QTest::newRow("a stored name in quotes and blanks is the same")
            << QByteArray("[SUMMARY]\nTOTAL_LIBRARIES=1\n[LIBRARY]\nLIB_0=\" animals \"\n") << QStringList{"Animals"}
            << "N" << QStringList{" animals "} << QStringList{ask, exists};
        QTest::newRow("the number follows the stored count")
            << QByteArray("[SUMMARY]\nTOTAL_LIBRARIES=3\n[LIBRARY]\nLIB_0=animals\n") << QStringList{"Fish"} << ""
            << QStringList{"animals", "", "", "Fish"} << QStringList{ask, created};
        QTest::newRow("0 and spaces count as empty") << noNames << QStringList{" 0 "} << "" << QStringList{"0", ""}
                                                     << QStringList{ask};
    }
    void createLibrary()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, inputs);
        QFETCH(QString, answers);
        if (!ini.isEmpty())
            writeCatalogue(ini);
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, inputs, answers);
        QFETCH(QStringList, libraries);
        const bool grows = libraries.size() > libraryNames(catalogue).size();
        QCOMPARE(store::createLibrary(catalogue, prompter), grows);
        QCOMPARE(libraryNames(catalogue), libraries);
        QTEST(dialogue(prompter), "boxes");
    }

    void renameLibrary_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QStringList>("libraries");
        QTest::addColumn<QStringList>("boxes");

        const QString ask = input(415, 416, "Animals");
        const QString inUse = box(415, 417, Icon::Warning, Buttons::YesNo);
        const QString renamed = box(415, 418, Icon::Information);
        const QStringList before{"Animals", "Birds", "Cats"};
        QTest::newRow("renamed, trimmed") << "Animals" << QStringList{" Pets "} << ""
                                          << QStringList{"Pets", "Birds", "Cats"} << QStringList{ask, renamed};
        QTest::newRow("selected ignoring case") << "animals" << QStringList{"Pets"} << ""
                                                << QStringList{"Pets", "Birds", "Cats"}
                                                << QStringList{input(415, 416, "animals"), renamed};
        QTest::newRow("a change of case is a name in use") << "Animals" << QStringList{"ANIMALS"} << "N" << before
                                                           << QStringList{ask, inUse};
        QTest::newRow("in use but for quotes and blanks") << "Animals" << QStringList{"\" birds \""} << "N" << before
                                                          << QStringList{ask, inUse};
        QTest::newRow("unchanged") << "Animals" << QStringList{"Animals"} << "" << before << QStringList{ask};
        QTest::newRow("0 counts as empty") << "Animals" << QStringList{"0"} << "" << before << QStringList{ask};
        QTest::newRow("cancel") << "Animals" << QStringList{"<cancel>"} << "" << before << QStringList{ask};
        QTest::newRow("in use, Yes, then free") << "Animals" << QStringList{"birds", "Fish"} << "Y"
                                                << QStringList{"Fish", "Birds", "Cats"}
                                                << QStringList{ask, inUse, ask, renamed};
        QTest::newRow("in use, No") << "Animals" << QStringList{"cats"} << "N" << before << QStringList{ask, inUse};
        QTest::newRow("the root's name") << "Animals" << QStringList{"[CLIP]"} << "N" << before
                                         << QStringList{ask, inUse};
    }
    void renameLibrary()
    {
        QFETCH(QString, selected);
        QFETCH(QStringList, inputs);
        QFETCH(QString, answers);
        QFETCH(QStringList, libraries);
        sample();
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, inputs, answers);
        QCOMPARE(store::renameLibrary(catalogue, selected, prompter), libraries.first() != "Animals");
        QCOMPARE(libraryNames(catalogue), libraries);
        QTEST(dialogue(prompter), "boxes");
        QCOMPARE(catalogue.membershipText("other.bmp"), "0,,,2,,,");
    }

    void renamePictureFile_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("boxes");

        const QString ask = input(420, 421, "heart.bmp");
        const QString inUse = box(420, 422, Icon::Warning, Buttons::YesNo);
        const QString renamed = box(420, 423, Icon::Information);
        const QString failed = box(420, 424, Icon::Warning);
        const QString refused = box(420, 469, Icon::Warning);
        QTest::newRow("extension added") << QStringList{"love"} << "" << "love.bmp" << QStringList{ask, renamed};
        QTest::newRow("extension replaced") << QStringList{"love.png"} << "" << "love.bmp" << QStringList{ask, renamed};
        QTest::newRow("a change of case") << QStringList{"Heart"} << "" << "Heart.bmp" << QStringList{ask, renamed};
        QTest::newRow("unchanged") << QStringList{"heart.bmp"} << "" << "" << QStringList{ask};
        QTest::newRow("0 counts as empty") << QStringList{"0"} << "" << "" << QStringList{ask};
        QTest::newRow("cancel") << QStringList{"<cancel>"} << "" << "" << QStringList{ask};
        QTest::newRow("in use, Yes, then free") << QStringList{"other", "love"} << "Y" << "love.bmp"
                                                << QStringList{ask, inUse, ask, renamed};
        QTest::newRow("in use, No") << QStringList{"other.bmp"} << "N" << "" << QStringList{ask, inUse, failed};
        QTest::newRow("in use in another case") << QStringList{"OTHER"} << "N" << ""
                                                << QStringList{ask, inUse, failed};
        QTest::newRow("the same name after the extension") << QStringList{"heart"} << "N" << ""
                                                           << QStringList{ask, inUse, failed};
        for (const char* name : {"../escape", "sub/pic", "a\\b", "..", "a=b", ".hidden", "#x", " x", "x\ny"})
            QTest::newRow(qPrintable(QStringLiteral("refused: %1").arg(QString(name).replace(u'\n', "\\n"))))
                << QStringList{name, "<cancel>"} << "" << "" << QStringList{ask, refused, ask};
        QTest::newRow("refused, then a good name") << QStringList{"../x", "love"} << "" << "love.bmp"
                                                   << QStringList{ask, refused, ask, renamed};
    }
    void renamePictureFile()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QString, answers);
        QFETCH(QString, newName);
        sample();
        const QByteArray before = catalogueBytes();
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, inputs, answers);
        QCOMPARE(store::renamePictureFile(catalogue, "heart.bmp", prompter), newName);
        QTEST(dialogue(prompter), "boxes");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{}); // nothing escaped the folder
        if (newName.isEmpty()) {
            QCOMPARE(filesOnDisk(), (QStringList{"heart.bmp", "loose.bmp", "other.bmp"}));
            QCOMPARE(catalogueBytes(), before);
            return;
        }
        QStringList expected{newName, "loose.bmp", "other.bmp"};
        expected.sort(Qt::CaseInsensitive);
        QCOMPARE(filesOnDisk(), expected);
        QCOMPARE(catalogue.ini().keys("CLASSIFY"), (QStringList{"other.bmp", newName}));
        QCOMPARE(catalogue.membershipText(newName), "0,,,");
        QCOMPARE(catalogue.ini().readString("SPEED", "CLIP_0"), "other.bmp;7");
        QCOMPARE(catalogue.ini().readString("SPEED", "CLIP_1"), newName + ";2050");
        QCOMPARE(catalogue.ini().readString("SHIFT", "SHIFT_VALUE0"), newName + ";12");
        QCOMPARE(catalogue.readBannerText(newName), "Hi, there,Arial"); // the banner's text goes with it
        if (newName.toLower() != "heart.bmp")
            QCOMPARE(catalogue.readBannerText("heart.bmp"), QString());
    }

    void renameOfAMissingFileFails()
    {
        sample();
        QFile::remove(clips + "heart.bmp");
        const QByteArray before = catalogueBytes();
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {"love"}, "");
        QCOMPARE(store::renamePictureFile(catalogue, "heart.bmp", prompter), QString());
        QCOMPARE(dialogue(prompter).last(), box(420, 424, Icon::Warning));
        QCOMPARE(catalogueBytes(), before);
    }

    void renameRewritesTheFirstRecordOnly()
    {
        writeCatalogue("[SUMMARY]\nTOTAL_CLIPS=3\n[SPEED]\nCLIP_0=xheart.bmp;1\nCLIP_1=old\\heart.bmp;2\n"
                       "CLIP_2=heart.bmp;3\n");
        touch({"heart.bmp"});
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {"love"}, "");
        QCOMPARE(store::renamePictureFile(catalogue, "heart.bmp", prompter), "love.bmp");
        QCOMPARE(catalogue.ini().readString("SPEED", "CLIP_0"), "xheart.bmp;1");
        QCOMPARE(catalogue.ini().readString("SPEED", "CLIP_1"), "love.bmp;2");
        QCOMPARE(catalogue.ini().readString("SPEED", "CLIP_2"), "heart.bmp;3");
        QVERIFY(!catalogue.ini().valueExists("CLASSIFY", "love.bmp"));
    }

    void deleteAFileOfSeveralLibraries_data()
    {
        QTest::addColumn<QString>("selectedUnder");
        QTest::addColumn<QString>("list");
        QTest::newRow("under Cats") << "Cats" << "0,,,";
        QTest::newRow("under animals, ignoring case") << "animals" << "2,,,";
        QTest::newRow("under the root") << "[CLIP]" << "0,,,2,,,";
    }
    void deleteAFileOfSeveralLibraries()
    {
        QFETCH(QString, selectedUnder);
        sample();
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {}, "Y");
        QVERIFY(store::deletePictureFile(catalogue, "other.bmp", selectedUnder, prompter));
        QCOMPARE(dialogue(prompter), QStringList{box(437, messages::formatMessage(441, "other.bmp"), Icon::Question,
                                                     Buttons::YesNo)});
        QTEST(catalogue.membershipText("other.bmp"), "list");
        QVERIFY(QFile::exists(clips + "other.bmp"));
        QCOMPARE(catalogue.ini().readString("SPEED", "CLIP_0"), "other.bmp;7"); // its records stay
    }

    void deleteAFileOfOneLibrary()
    {
        sample();
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {}, "Y");
        QVERIFY(store::deletePictureFile(catalogue, "heart.bmp", "Animals", prompter));
        QCOMPARE(dialogue(prompter).size(), 1);
        QCOMPARE(filesOnDisk(), (QStringList{"loose.bmp", "other.bmp"}));
        // (only the lines written end in CRLF; the others keep their own ends)
        QCOMPARE(QString::fromUtf8(catalogueBytes()).remove(u'\r'),
                 QString("[SUMMARY]\r\nTOTAL_LIBRARIES=3\r\nTOTAL_CLIPS=1\r\nTOTAL_SHIFT_CLIPS=0\r\n"
                         "[LIBRARY]\r\nLIB_0=Animals\r\nLIB_1=Birds\r\nLIB_2=Cats\r\n"
                         "[CLASSIFY]\r\nother.bmp=0,,,2,,,\r\n[SPEED]\r\nCLIP_0=other.bmp;7\r\n[SHIFT]\r\n"
                         "[HYPERLINK]\r\n").remove(u'\r'));
    }

    void deleteAnswerNoChangesNothing()
    {
        sample();
        const QByteArray before = catalogueBytes();
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        QVERIFY(!store::deletePictureFile(catalogue, "heart.bmp", "Animals", prompter));
        QVERIFY(!store::deleteLibrary(catalogue, "Animals", prompter));
        QCOMPARE(dialogue(prompter),
                 (QStringList{box(437, messages::formatMessage(441, "heart.bmp"), Icon::Question, Buttons::YesNo),
                              box(438, messages::formatMessage(443, "Animals"), Icon::Question, Buttons::YesNo)}));
        QCOMPARE(catalogueBytes(), before);
        QCOMPARE(filesOnDisk().size(), 3);
    }

    // The records of a deleted file go, and so do records of files no longer there; the rest close up in order.
    void deleteCleansTheRecordLists_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("own and stale records")
            << 6 << QStringList{"a.bmp;1", "x.bmp;2", "gone.bmp;3", "", "b.bmp;4", "x.bmp;5"}
            << QStringList{"a.bmp;1", "b.bmp;4"};
        QTest::newRow("names compare with case") << 2 << QStringList{"X.bmp;1", "x.bmp;2"} << QStringList{"X.bmp;1"};
        QTest::newRow("a stored path names the file after its backslash")
            << 2 << QStringList{"old\\a.bmp;1", "old\\x.bmp;2"} << QStringList{"old\\a.bmp;1"};
        QTest::newRow("no name, no separator") << 3 << QStringList{";1", "junk", "b.bmp"} << QStringList{"b.bmp"};
        QTest::newRow("records beyond the count stay")
            << 1 << QStringList{"x.bmp;1", "a.bmp;2"} << QStringList{"", "a.bmp;2"};
        QTest::newRow("damaged count") << 2000000000 << QStringList{"x.bmp;1", "a.bmp;2"} << QStringList{"a.bmp;2"};
    }
    void deleteCleansTheRecordLists()
    {
        QFETCH(int, count);
        QFETCH(QStringList, records);
        QFETCH(QStringList, expected);
        touch({"a.bmp", "b.bmp", "x.bmp", "X.bmp"});
        LibraryCatalogue catalogue(clips);
        {
            store::IniFile::WriteBatch batch(catalogue.ini());
            catalogue.ini().writeInteger("SUMMARY", "TOTAL_CLIPS", count);
            catalogue.ini().writeInteger("SUMMARY", "TOTAL_SHIFT_CLIPS", count);
            for (int i = 0; i < records.size(); ++i) {
                catalogue.ini().writeString("SPEED", "CLIP_" + QString::number(i), records[i]);
                catalogue.ini().writeString("SHIFT", "SHIFT_VALUE" + QString::number(i), records[i]);
            }
        }
        ScriptedPrompter prompter;
        script(prompter, {}, "Y");
        store::deletePictureFile(catalogue, "x.bmp", "[CLIP]", prompter);
        QStringList speed, shift;
        for (int i = 0; i < records.size(); ++i) {
            speed << catalogue.ini().readString("SPEED", "CLIP_" + QString::number(i));
            shift << catalogue.ini().readString("SHIFT", "SHIFT_VALUE" + QString::number(i));
        }
        while (expected.size() < records.size())
            expected << QString();
        QCOMPARE(speed, expected);
        QCOMPARE(shift, expected);
        const int leading = static_cast<int>(expected.indexOf(QString()));
        QCOMPARE(catalogue.ini().readInteger("SUMMARY", "TOTAL_CLIPS", -1), leading);
        QCOMPARE(catalogue.ini().readInteger("SUMMARY", "TOTAL_SHIFT_CLIPS", -1), leading);
    }

    void aFileThatCannotBeDeletedKeepsItsRecords()
    {
        sample();
        QFile::remove(clips + "heart.bmp");
        QVERIFY(QDir().mkpath(clips + "heart.bmp/inside")); // a folder in the way cannot be removed as a file
        const QByteArray before = catalogueBytes();
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {}, "Y");
        QVERIFY(store::deletePictureFile(catalogue, "heart.bmp", "Animals", prompter));
        QCOMPARE(dialogue(prompter).last(),
                 box(437, messages::lookupMessage(442) + clips + "heart.bmp!", Icon::Stop));
        QCOMPARE(catalogueBytes(), before);
    }

    void aMissingFileIsForgotten()
    {
        sample();
        QFile::remove(clips + "heart.bmp");
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {}, "Y");
        QVERIFY(store::deletePictureFile(catalogue, "heart.bmp", "Animals", prompter));
        QCOMPARE(dialogue(prompter).last(), box(437, messages::lookupMessage(442) + clips + "heart.bmp!", Icon::Stop));
        QVERIFY(!catalogue.ini().valueExists("CLASSIFY", "heart.bmp"));
        QCOMPARE(catalogue.ini().readInteger("SUMMARY", "TOTAL_CLIPS", -1), 1);
        QCOMPARE(catalogue.readBannerText("heart.bmp"), QString());
    }

    void deleteLibrary()
    {
        writeCatalogue("[SUMMARY]\nTOTAL_LIBRARIES=3\nTOTAL_CLIPS=2\n[LIBRARY]\nLIB_0=A\nLIB_1=B\nLIB_2=C\n"
                       "[CLASSIFY]\na.bmp=1,,,\nb.bmp=0,,,1,,,2,,,\nc.bmp=2,,,\nd.bmp=0,,,\ngone.bmp=1,,,2,,,\n"
                       "e.bmp=\n[SPEED]\nCLIP_0=a.bmp;5\nCLIP_1=b.bmp;6\n[HYPERLINK]\na.bmp=\"A,Arial\"\n");
        touch({"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"});
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {}, "Y");
        QVERIFY(store::deleteLibrary(catalogue, "b", prompter));
        QCOMPARE(dialogue(prompter),
                 (QStringList{box(438, messages::formatMessage(443, "b"), Icon::Question, Buttons::YesNo),
                              box(438, 444, Icon::Information)}));
        QCOMPARE(filesOnDisk(), (QStringList{"b.bmp", "c.bmp", "d.bmp", "e.bmp"}));
        // (only the lines written end in CRLF; the others keep their own ends)
        QCOMPARE(QString::fromUtf8(catalogueBytes()).remove(u'\r'),
                 QString("[SUMMARY]\r\nTOTAL_LIBRARIES=2\r\nTOTAL_CLIPS=1\r\n[LIBRARY]\r\nLIB_0=A\r\nLIB_1=C\r\n"
                         "[CLASSIFY]\r\nb.bmp=0,,,1,,,\r\nc.bmp=1,,,\r\nd.bmp=0,,,\r\ngone.bmp=1,,,\r\ne.bmp=\r\n"
                         "[SPEED]\r\nCLIP_0=b.bmp;6\r\n[HYPERLINK]\r\n").remove(u'\r'));
    }

    void deleteLibraryRefusals_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("the root") << "[CLIP]" << QStringList{};
        QTest::newRow("no such library")
            << "Fish" << QStringList{box(438, messages::formatMessage(443, "Fish"), Icon::Question, Buttons::YesNo)};
    }
    void deleteLibraryRefusals()
    {
        sample();
        const QByteArray before = catalogueBytes();
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {}, "Y");
        QFETCH(QString, library);
        QVERIFY(!store::deleteLibrary(catalogue, library, prompter));
        QTEST(dialogue(prompter), "boxes");
        QCOMPARE(catalogueBytes(), before);
    }

    void fileLibraries_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("list");
        QTest::newRow("set, sorted") << "set" << "2 0 2" << "0,,,2,,,";
        QTest::newRow("set none") << "set" << "" << "";
        QTest::newRow("classify, ignoring case") << "classify" << "cats" << "2,,,";
        QTest::newRow("classify under the root") << "classify" << "[CLIP]" << "0,,,2,,,";
        QTest::newRow("classify into no library") << "classify" << "Fish" << "0,,,2,,,";
    }
    void fileLibraries()
    {
        QFETCH(QString, operation);
        QFETCH(QString, argument);
        sample();
        LibraryCatalogue catalogue(clips);
        if (operation == "set") {
            QList<int> numbers;
            for (const QString& n : argument.split(' ', Qt::SkipEmptyParts))
                numbers << n.toInt();
            catalogue.setFileLibraries("other.bmp", numbers);
        } else {
            QCOMPARE(catalogue.classifyFile("other.bmp", argument), argument == "cats");
        }
        QTEST(catalogue.membershipText("other.bmp"), "list");
    }

    void bannerText()
    {
        sample();
        LibraryCatalogue catalogue(clips);
        catalogue.writeBannerText("Wide.BMP", "Say \"hi\", you", "DejaVu Sans");
        QVERIFY(catalogueBytes().contains("wide.bmp=\"Say \"hi\", you,DejaVu Sans\"\r\n"));
        const store::BannerText read = store::splitBannerText(catalogue.readBannerText("wide.bmp"));
        QCOMPARE(read.text, "Say \"hi\", you");
        QCOMPARE(read.fontName, "DejaVu Sans");

        catalogue.writeBannerText("two.bmp", "line\nbreak", "Arial"); // never cuts the file's line in two
        QCOMPARE(catalogue.readBannerText("two.bmp"), "line break,Arial");

        QCOMPARE(catalogue.removeBannerText("heart.bmp"), "Hi, there,Arial");
        QCOMPARE(catalogue.readBannerText("heart.bmp"), QString());
        QCOMPARE(catalogue.removeBannerText("heart.bmp"), QString());
        QCOMPARE(store::splitBannerText("no comma").text, "no comma");
        QCOMPARE(store::splitBannerText("no comma").fontName, QString());
    }

    void exportFileCopy_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("chosen"); // relative to the root folder; empty cancels the file dialog
        QTest::addColumn<bool>("copied");
        QTest::addColumn<QStringList>("boxes");

        const QString ask = box(426, 427, Icon::Question, Buttons::OkCancel);
        const QString failed = box(426, 429, Icon::Stop);
        const QString done = box(426, 430, Icon::Information);
        const QString overwrite = "overwrite"; // filled in with the target's path
        QTest::newRow("nothing selected") << "" << "" << "" << false << QStringList{box(426, 425, Icon::Stop)};
        QTest::newRow("cancel the question") << "heart.bmp" << "C" << "" << false << QStringList{ask, failed};
        QTest::newRow("cancel the file dialog") << "heart.bmp" << "O" << "" << false
                                                << QStringList{ask, "save", failed};
        QTest::newRow("a new file") << "heart.bmp" << "O" << "copy" << true << QStringList{ask, "save", done};
        QTest::newRow("overwrite, OK") << "heart.bmp" << "OO" << "old.bmp" << true
                                       << QStringList{ask, "save", overwrite, done};
        QTest::newRow("overwrite, Cancel") << "heart.bmp" << "OC" << "old.png" << false
                                           << QStringList{ask, "save", overwrite, failed};
        QTest::newRow("source missing") << "gone.bmp" << "O" << "copy" << false << QStringList{ask, "save", failed};
        QTest::newRow("folder missing") << "heart.bmp" << "O" << "no/such/copy" << false
                                        << QStringList{ask, "save", failed};
    }
    void exportFileCopy()
    {
        QFETCH(QString, selected);
        QFETCH(QString, answers);
        QFETCH(QString, chosen);
        QFETCH(bool, copied);
        QFETCH(QStringList, boxes);
        sample();
        touch({"heart.bmp"}, "BM heart");
        const QString root = dir.path() + QStringLiteral("/root%1/").arg(counter);
        QDir().mkpath(root);
        QFile old(root + "old.bmp");
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const QString target = chosen.isEmpty() ? QString() : withBmp(root + chosen);

        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {}, answers);
        if (!chosen.isEmpty())
            prompter.files.enqueue(root + chosen);
        QCOMPARE(store::exportFileCopy(catalogue, selected, root, prompter), copied);
        for (QString& line : boxes) {
            if (line == "save")
                line = QStringLiteral("save %1 | %2 | %3").arg(messages::lookupMessage(426), root, selected);
            else if (line == "overwrite")
                line = box(426, messages::formatMessage(428, qUtf8Printable(target)), Icon::Question, Buttons::OkCancel);
        }
        QCOMPARE(dialogue(prompter), boxes);
        QFile result(root + "old.bmp");
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), QByteArray(copied && chosen.startsWith("old") ? "BM heart" : "old"));
        if (copied) {
            QFile copy(target);
            QVERIFY(copy.open(QIODevice::ReadOnly));
            QCOMPARE(copy.readAll(), QByteArray("BM heart"));
        }
        QCOMPARE(catalogue.membershipText(QFileInfo(target).fileName()), QString()); // the copy joins no library
    }

    void exportOntoItselfKeepsTheFile()
    {
        sample();
        touch({"heart.bmp"}, "BM heart");
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {}, "OO");
        prompter.files.enqueue(clips + "heart.bmp");
        QVERIFY(store::exportFileCopy(catalogue, "heart.bmp", clips, prompter));
        QFile file(clips + "heart.bmp");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("BM heart"));
    }

    void pictureNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("forced");
        QTest::addColumn<bool>("storable");
        QTest::newRow("plain") << "love" << "love.bmp" << true;
        QTest::newRow("other extension") << "love.png" << "love.bmp" << true;
        QTest::newRow("dots inside") << "a.b.c" << "a.b.bmp" << true;
        QTest::newRow("spaces and punctuation") << "my pic (2)!" << "my pic (2)!.bmp" << true;
        QTest::newRow("a folder's dot is no extension") << "/x/dir.v2/pic" << "/x/dir.v2/pic.bmp" << false;
        QTest::newRow("dot dot") << "a..b" << "a..bmp" << false;
        QTest::newRow("hidden") << ".x" << ".bmp" << false;
        QTest::newRow("record separator") << "a;b" << "a;b.bmp" << false;
        QTest::newRow("trailing space") << "x.bmp " << "x.bmp" << false;
        QTest::newRow("line separator") << QString("a") + QChar(0x2028) + "b" << QString("a") + QChar(0x2028) + "b.bmp"
                                        << false;
        // 255 bytes less the 8 its temporary file's name adds
        QTest::newRow("longest") << QString(243, u'a') + ".bmp" << QString(243, u'a') + ".bmp" << true;
        QTest::newRow("too long") << QString(244, u'a') + ".bmp" << QString(244, u'a') + ".bmp" << false;
    }
    void pictureNames()
    {
        QFETCH(QString, name);
        QTEST(store::withBmpExtension(name), "forced");
        QTEST(store::isStorablePictureName(name), "storable");
    }

    // A command whose catalogue write is refused throws "Unable to write to ...", and leaves the catalogue, and a
    // renamed file, as they were.
    void refusedWriteChangesNothing_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("create library") << "create";
        QTest::newRow("rename library") << "renameLibrary";
        QTest::newRow("rename picture") << "renamePicture";
        QTest::newRow("delete picture") << "deletePicture";
        QTest::newRow("delete library") << "deleteLibrary";
    }
    void refusedWriteChangesNothing()
    {
        QFETCH(QString, operation);
        sample();
        const QByteArray before = catalogueBytes();
        LockedFile lock(clips + "Clip.ini");
        if (!lock.locked())
            QSKIP("this file system cannot lock a file");
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {"Fish"}, "Y");
        try {
            if (operation == "create")
                store::createLibrary(catalogue, prompter);
            else if (operation == "renameLibrary")
                store::renameLibrary(catalogue, "Birds", prompter);
            else if (operation == "renamePicture")
                store::renamePictureFile(catalogue, "heart.bmp", prompter);
            else if (operation == "deletePicture")
                store::deletePictureFile(catalogue, "other.bmp", "Cats", prompter);
            else
                store::deleteLibrary(catalogue, "Cats", prompter);
            QFAIL("the write should have been refused");
        } catch (const store::IniWriteError& error) {
            QCOMPARE(error.message(), "Unable to write to " + clips + "Clip.ini");
        }
        QCOMPARE(catalogueBytes(), before);
        QCOMPARE(filesOnDisk(), (QStringList{"heart.bmp", "loose.bmp", "other.bmp"}));
        for (const ScriptedPrompter::Shown& shown : prompter.shown)
            QVERIFY(shown.icon != Icon::Information); // no success is reported
    }

    // Every box of the library commands is shown with the workspace lock free: another program's command never
    // waits for the user to click OK.
    void noBoxWaitsUnderTheLock_data() { refusedWriteChangesNothing_data(); }
    void noBoxWaitsUnderTheLock()
    {
        QFETCH(QString, operation);
        sample();
        const QString lockFile = dir.filePath("workspace.lock");
        store::WorkspaceLock::useLockFile(lockFile);
        // A box shown while the lock is taken: a second open of the lock file cannot take it.
        struct LockProbe : ScriptedPrompter {
            QString lockFile;
            int underLock = 0;
            messages::Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons) override
            {
                const int fd = ::open(QFile::encodeName(lockFile).constData(), O_RDONLY | O_CLOEXEC);
                if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
                    ++underLock;
                if (fd >= 0)
                    ::close(fd);
                return ScriptedPrompter::ask(title, text, icon, buttons);
            }
        } prompter;
        prompter.lockFile = lockFile;
        script(prompter, {"Fish"}, "Y");
        LibraryCatalogue catalogue(clips);
        if (operation == "create")
            QVERIFY(store::createLibrary(catalogue, prompter));
        else if (operation == "renameLibrary")
            QVERIFY(store::renameLibrary(catalogue, "Birds", prompter));
        else if (operation == "renamePicture")
            QVERIFY(!store::renamePictureFile(catalogue, "heart.bmp", prompter).isEmpty());
        else if (operation == "deletePicture")
            QVERIFY(store::deletePictureFile(catalogue, "heart.bmp", "Animals", prompter));
        else
            QVERIFY(store::deleteLibrary(catalogue, "Animals", prompter));
        store::WorkspaceLock::useLockFile(QString());
        QVERIFY(!prompter.shown.isEmpty());
        QCOMPARE(prompter.underLock, 0);
    }

    // Sections the catalogue does not own, comments and key order survive its writes.
    void foreignLinesSurvive()
    {
        writeCatalogue("; made by hand\n[TIMING]\nX=1\n[SUMMARY]\nTOTAL_LIBRARIES=0\n");
        LibraryCatalogue catalogue(clips);
        ScriptedPrompter prompter;
        script(prompter, {"Animals"}, "");
        QVERIFY(store::createLibrary(catalogue, prompter));
        QCOMPARE(QString::fromUtf8(catalogueBytes()),
                 QString("; made by hand\n[TIMING]\nX=1\n[SUMMARY]\nTOTAL_LIBRARIES=1\r\n"
                         "[LIBRARY]\r\nLIB_0=Animals\r\n"));
    }

private:
    static QString withBmp(const QString& path) { return store::withBmpExtension(path); }
};

QTEST_GUILESS_MAIN(TestLibraryCatalogue)
#include "tst_LibraryCatalogue.moc"
