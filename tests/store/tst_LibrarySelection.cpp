#include "store/LibrarySelection.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace store;

Q_DECLARE_METATYPE(store::LibraryMode)

class tst_LibrarySelection : public QObject {
    Q_OBJECT

private slots:
    void enabling_data();
    void enabling();
    void clicks();
    void previewRect();
};

void tst_LibrarySelection::enabling_data()
{
    QTest::addColumn<LibraryMode>("mode");
    QTest::addColumn<QString>("enabled"); // one letter per command of the column, top to bottom: A AddToProject,
                                          // B AddBmpJpeg, C CopyMove, D Delete, E Edit, R Rename, S SaveAsNew,
                                          // M Email, F AdjustSpeed
    QTest::newRow("nothing") << LibraryMode::Nothing << "B";
    QTest::newRow("library") << LibraryMode::Library << "BDRM";
    QTest::newRow("file") << LibraryMode::File << "ABCDERSMF";
}

void tst_LibrarySelection::enabling()
{
    QFETCH(LibraryMode, mode);
    QFETCH(QString, enabled);
    const QString letters = QStringLiteral("ABCDERSMF");
    QString actual;
    for (int i = 0; i < int(std::size(kLibraryCommands)); ++i)
        if (libraryCommandEnabled(kLibraryCommands[i], mode))
            actual += letters[i];
    QCOMPARE(actual, enabled);
}

void tst_LibrarySelection::clicks()
{
    QTemporaryDir dir;
    const QString clips = dir.path() + u'/';
    QImage banner(96, 16, QImage::Format_Mono);
    banner.fill(1);
    QVERIFY(banner.save(clips + "wide.bmp", "BMP"));

    LibraryNode animals{"Animals", kBookIcon, LibraryNodeKind::Library, 0,
                        {{"a.bmp", kPictureIcon, LibraryNodeKind::File, -1, {}},
                         {"b.bmp", kPictureIcon, LibraryNodeKind::File, -1, {}},
                         {"wide.bmp", kPictureIcon, LibraryNodeKind::File, -1, {}}}};
    const LibraryInformation library = libraryInformation(animals, {}, clips, {});
    QCOMPARE(library.mode, LibraryMode::Library);
    QCOMPARE(library.library, "Animals");
    QCOMPARE(library.thirdLabel, 403u);
    QCOMPARE(library.thirdValue, "3");
    QVERIFY(!library.showPreview && !library.showAssociated);

    const LibraryInformation file = libraryInformation(animals.children[2], "Animals", clips, library);
    QCOMPARE(file.mode, LibraryMode::File);
    QCOMPARE(file.library, "Animals");
    QCOMPARE(file.file, "wide.bmp");
    QCOMPARE(file.thirdLabel, 404u);
    QCOMPARE(file.thirdValue, " 96 x 16");
    QVERIFY(file.showPreview && file.showAssociated);

    // A file gone from the folder: only the associated projects come up.
    const LibraryInformation gone = libraryInformation(animals.children[0], "Animals", clips, library);
    QCOMPARE(gone.mode, LibraryMode::Library);
    QCOMPARE(gone.library, "Animals");
    QVERIFY(gone.showAssociated && !gone.showPreview);

    const LibraryInformation root =
        libraryInformation({"[CLIP]", kFolderIcon, LibraryNodeKind::Root, -1, {}}, {}, clips, file);
    QCOMPARE(root.mode, LibraryMode::Nothing);
    QVERIFY(root.library.isEmpty() && root.file.isEmpty() && root.thirdValue.isEmpty());
    QCOMPARE(root.thirdLabel, 403u);
}

void tst_LibrarySelection::previewRect()
{
    QCOMPARE(libraryPreviewRect({96, 16}), QRect(16, 136, 192, 32));
    QCOMPARE(libraryPreviewRect({16, 16}), QRect(16, 56, 192, 192));
    QCOMPARE(libraryPreviewRect({}), QRect());
}

QTEST_GUILESS_MAIN(tst_LibrarySelection)
#include "tst_LibrarySelection.moc"
