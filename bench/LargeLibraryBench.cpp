// Commands on a library of 10,000 pictures against the same on a small one, where each command's changes to the
// catalogue Clip.ini go in one write:
// - importing a 250-picture .lwd into a library of 100 and of 10,000 pictures (goal: 10,000 <= 1.5 x 100, and
//   <= 1 s);
// - the first export of a 255-picture project, whose pictures have no shift value yet (the build stores 255), in
//   a library of 255 pictures and of 10,000;
// - the switch of the main window to the Library page (its tree of every picture, expanded) in a library of 100
//   pictures and of 10,000 (goal: 10,000 <= 3 x 100), and the program's resident memory after it (goal <= 80 MB),
//   each in a process of its own started as the program starts.
// Every picture of the libraries has a membership, a speed and a shift record, as a library the program filled
// holds (20,000 record lines and 10,000 memberships at 10,000 pictures).

#include "BenchSupport.h"
#include "ProgramRun.h"
#include "deviceimage/BinaryFiles.h"
#include "deviceimage/ImageToProject.h"
#include "imaging/PictureFile.h"
#include "messages/WholeFile.h"
#include "store/LibraryTree.h"
#include "store/Project.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kRounds = 3;
constexpr int kLeds = 16;

QString pictureName(int k)
{
    return QStringLiteral("lib%1.bmp").arg(k, 5, 10, QChar(u'0'));
}

// A workspace whose clips folder holds `pictures` pictures, every one in library "Big" with speed and shift
// records, and `unrecorded` more without any record, named by project "Fresh".
struct Library {
    QTemporaryDir dir;
    deviceimage::ImageContext context;
    QByteArray catalogue;
    int rounds = 0; // restores so far

    Library(int pictures, int unrecorded)
    {
        context.edition = store::deriveEdition(QStringLiteral("Lumiwand%1").arg(kLeds));
        context.workspace = store::workspaceFor(dir.path() + QStringLiteral("/Documents/"), kLeds);
        context.workspace.tempFolder = dir.path() + QStringLiteral("/tmp/");
        for (const QString& folder : {context.workspace.projectsFolder, context.workspace.clipsFolder,
                                      context.workspace.tempFolder, context.workspace.exportFolder})
            QDir().mkpath(folder);
        const QString& clips = context.workspace.clipsFolder;
        QByteArray classify, speeds, shifts;
        for (int k = 0; k < pictures + unrecorded; ++k) {
            imaging::LitGrid grid(kLeds, kLeds);
            for (int x = 0; x < kLeds; ++x)
                grid.setLit(x, (x * 7 + k) % kLeds);
            QFile file(clips + pictureName(k));
            file.open(QIODevice::WriteOnly);
            file.write(imaging::encodeBmp(grid));
            if (k >= pictures)
                continue;
            const QByteArray name = pictureName(k).toUtf8();
            classify += name + "=0,,,\r\n";
            speeds += "CLIP_" + QByteArray::number(k) + '=' + name + ';' + QByteArray::number(700 + k % 50) + "\r\n";
            shifts += "SHIFT_VALUE" + QByteArray::number(k) + '=' + name + ';' + QByteArray::number(k % 40) + "\r\n";
        }
        catalogue = "[SUMMARY]\r\nTOTAL_LIBRARIES=1\r\nTOTAL_CLIPS=" + QByteArray::number(pictures) +
                    "\r\nTOTAL_SHIFT_CLIPS=" + QByteArray::number(pictures) + "\r\n[LIBRARY]\r\nLIB_0=Big\r\n" +
                    "[CLASSIFY]\r\n" + classify + "[SPEED]\r\n" + speeds + "[SHIFT]\r\n" + shifts;
        restore();
        const QString fresh = context.workspace.projectsFolder + QStringLiteral("Fresh.ini");
        store::createProject(fresh, kLeds, kLeds);
        store::Project project(fresh);
        store::IniFile::WriteBatch batch(project.ini());
        for (int k = pictures; k < pictures + unrecorded; ++k)
            store::appendEntry(project, clips, pictureName(k), 0, 0, 0, false);
    }

    // Back to the library as made, on the disk: the catalogue, and no imported pictures or project. What an earlier
    // round made is moved aside, not deleted: a file system without a journal (as on this machine) skips the inodes
    // freed in the last half minute when it makes a file, so deleting 250 files before a round would time that.
    void restore()
    {
        files::writeWholeFile(context.workspace.clipsFolder + store::kCatalogueFileName, catalogue);
        const QString aside = dir.path() + QStringLiteral("/aside%1/").arg(++rounds);
        QDir().mkpath(aside);
        const QDir clips(context.workspace.clipsFolder);
        for (const QString& name : clips.entryList({QStringLiteral("Imported_*")}, QDir::Files))
            QFile::rename(clips.filePath(name), aside + name);
        QFile::rename(context.workspace.projectsFolder + QStringLiteral("Imported.ini"),
                      aside + QStringLiteral("Imported.ini"));
        // An import brings its pictures to the disk with one sync of the file system: what the bench itself just
        // wrote (the library's 10,000 pictures) must be there first, as a library the user made long ago is.
        ::sync();
    }
};

// 250 pictures of 16 columns, each with a speed and a shift of its own.
QByteArray importImage()
{
    constexpr int count = 250, width = 16, bands = 2;
    QByteArray image(10 + 8 * count + count * width * bands, '\0');
    image[0] = char(count);
    image[1] = char(kLeds);
    deviceimage::writeWord(image, 2, int(image.size()));
    deviceimage::writeWord(image, 4, 10 + 8 * count);
    for (int k = 0; k < count; ++k) {
        deviceimage::writeWord(image, 6 + 8 * k, width);
        deviceimage::writeWord(image, 8 + 8 * k, 0x0302 + k);
        deviceimage::writeWord(image, 10 + 8 * k, 30 + k % 20);
        deviceimage::writeWord(image, 12 + 8 * k, 160);
        for (int c = 0; c < width * bands; ++c)
            image[10 + 8 * count + (k * width * bands) + c] = char((k * 31 + c * 7) & 0xFF);
    }
    deviceimage::writeWord(image, 6 + 8 * count, 4);
    deviceimage::writeWord(image, 8 + 8 * count, 160);
    return image;
}

double importMs(Library& library, const QByteArray& image)
{
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        library.restore();
        times.push_back(medianMs(
            [&] {
                const deviceimage::ImportResult result =
                    deviceimage::importImage(image, QStringLiteral("Imported"), nullptr, 3, library.context);
                if (result.status != deviceimage::ImportStatus::Done || result.added != 250)
                    std::printf("import failed: %s\n", qPrintable(result.errorText));
            },
            1));
    }
    return median(times);
}

double firstExportMs(Library& library)
{
    const store::Project fresh(library.context.workspace.projectsFolder + QStringLiteral("Fresh.ini"));
    const QString path = library.context.workspace.exportFolder + QStringLiteral("Fresh.lwd");
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        library.restore();
        times.push_back(medianMs(
            [&] {
                if (!deviceimage::buildBinaryFile(fresh, 3, path, library.context).written)
                    std::printf("export failed\n");
            },
            1));
    }
    return median(times);
}

constexpr int kSwitches = 5;

// In the measuring process, a while after start (as a user would click, and so that the file times of the
// workspace just made are settled): the first switch to the Library page, which builds its tree; the median of
// kSwitches more (back to the editor's page in between), the library unchanged; the resident memory after them;
// then the first switch to the Projects page and one more.
int measureLibraryPage()
{
    ProgramWindows program;
    program.start();
    QThread::msleep(store::kStampSettledMs + 500);
    shell::MainWindow& form = program.windows->mainWindow;
    const double first = program.switchTo(form.TabSheet2);
    std::vector<double> again;
    for (int k = 0; k < kSwitches; ++k) {
        program.switchTo(form.TabSheet3);
        again.push_back(program.switchTo(form.TabSheet2));
    }
    const double memory = residentMiB();
    const double projectsFirst = program.switchTo(form.TabSheet4);
    program.switchTo(form.TabSheet3);
    const double projectsAgain = program.switchTo(form.TabSheet4);
    std::printf("%.2f %.2f %.1f %.2f %.2f\n", first, median(again), memory, projectsFirst, projectsAgain);
    return 0;
}

std::vector<double> libraryPageSwitch(Library& library)
{
    library.restore();
    return runChild({QStringLiteral("--library-page")}, library.dir.path());
}

void reportLibraryPage(Library& small, Library& large)
{
    const std::vector<double> few = libraryPageSwitch(small);
    const std::vector<double> many = libraryPageSwitch(large);
    if (few.size() < 5 || many.size() < 5)
        return;
    for (const auto& [count, figures] : {std::pair{"   100", few}, std::pair{"10,000", many}})
        std::printf("switch to the Library page, library of %s: first %7.1f ms, again (unchanged, median of %d) "
                    "%6.1f ms; resident memory after it %6.1f MiB\n",
                    count, figures[0], kSwitches, figures[1], figures[2]);
    std::printf("  ratio 10,000 / 100: first switch %.2f, again %.2f (goal <= 3); memory at 10,000 <= 80 MB: %s\n",
                many[0] / few[0], many[1] / few[1], many[2] * 1.048576 <= 80 ? "yes" : "no");
    for (const auto& [count, figures] : {std::pair{"   100", few}, std::pair{"10,000", many}})
        std::printf("switch to the Projects page, library of %s: first %7.1f ms, again %6.1f ms\n", count,
                    figures[3], figures[4]);
    std::printf("  ratio 10,000 / 100: first switch %.2f, again %.2f\n", many[3] / few[3], many[4] / few[4]);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--library-page") {
        QApplication application(argc, argv);
        return measureLibraryPage();
    }
    QCoreApplication application(argc, argv);
    const QByteArray image = importImage();
    Library small(100, 0), large(10000, 0);
    const double importSmall = importMs(small, image);
    const double importLarge = importMs(large, image);
    std::printf("import of 250 pictures into a library of    100: %8.1f ms\n", importSmall);
    std::printf("import of 250 pictures into a library of 10,000: %8.1f ms\n", importLarge);
    std::printf("  ratio 10,000 / 100: %.2f (goal <= 1.5); 10,000 within 1 s: %s\n", importLarge / importSmall,
                importLarge <= 1000 ? "yes" : "no");

    Library exportSmall(0, 255), exportLarge(10000 - 255, 255);
    const double firstSmall = firstExportMs(exportSmall);
    const double firstLarge = firstExportMs(exportLarge);
    std::printf("first export of 255 pictures, library of    255: %8.1f ms\n", firstSmall);
    std::printf("first export of 255 pictures, library of 10,000: %8.1f ms\n", firstLarge);
    std::printf("  ratio 10,000 / 255: %.2f\n", firstLarge / firstSmall);

    reportLibraryPage(small, large);
    return 0;
}
