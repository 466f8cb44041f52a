// The image compiler's Count runs after every change of the current project. It is measured here against the time
// it takes merely to load the same picture files, over two projects: the largest the image format allows (255
// pictures, 64780 bytes, 48 LEDs) and one that fills a 4096-byte stick (30 pictures, 32 LEDs). Each project is
// measured with pictures as the editors save them (banner-wide files, so Count has to find their lit columns) and
// with files exactly as wide as what the stick gets (Count reads only their headers). Goal: Count at most 1.5 times
// the load time.

#include "BenchSupport.h"
#include "deviceimage/ImageCompiler.h"
#include "imaging/PictureFile.h"
#include "store/Project.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 15;

double medianMs(const std::function<void()>& work)
{
    return ::medianMs(work, kRounds);
}

struct Case {
    const char* name;
    int leds;
    int pictures;
    int litColumns;
    bool bannerWideFiles;
};

void run(const Case& c)
{
    QTemporaryDir dir;
    deviceimage::ImageContext context;
    context.edition = store::deriveEdition(QStringLiteral("Lumiwand%1").arg(c.leds));
    context.workspace = store::workspaceFor(dir.path(), c.leds);
    QDir().mkpath(context.workspace.projectsFolder);
    QDir().mkpath(context.workspace.clipsFolder);

    const int fileWidth = c.bannerWideFiles ? context.edition.maxBannerWidth : c.litColumns;
    const int margin = c.bannerWideFiles ? 20 : 0;
    QStringList files;
    for (int k = 0; k < c.pictures; ++k) {
        imaging::LitGrid grid(fileWidth, c.leds);
        for (int x = 0; x < c.litColumns; ++x)
            for (int y = 0; y < c.leds; ++y)
                if ((x * 7 + y * 3 + k) % 5 < 2 || x == 0 || x == c.litColumns - 1)
                    grid.setLit(margin + x, y);
        const QString name = QStringLiteral("pic%1.bmp").arg(k, 3, 10, QChar(u'0'));
        imaging::savePicture(grid, context.workspace.clipsFolder, name, imaging::ExistingFile::Replace);
        files << name;
    }
    const QString path = context.workspace.projectsFolder + QStringLiteral("Bench.ini");
    store::createProject(path, context.edition.pictureWidth, c.leds);
    store::Project project(path);
    {
        store::IniFile::WriteBatch batch(project.ini());
        for (const QString& name : files)
            store::appendEntry(project, context.workspace.clipsFolder, name, 0, 0, 0, false);
    }

    const deviceimage::CompileResult counted =
        deviceimage::compileImage(deviceimage::CompileMode::Count, 0, &project, context);
    const double load = medianMs([&] {
        for (const QString& name : files)
            imaging::loadPicture(context.workspace.clipsFolder + name);
    });
    const double count = medianMs([&] { deviceimage::compileImage(deviceimage::CompileMode::Count, 0, &project, context); });
    // Build looks up each picture's timing records once they exist; the first build stores the shift values.
    deviceimage::compileImage(deviceimage::CompileMode::Build, deviceimage::editionDeviceType(c.leds), &project,
                              context);
    const double build = medianMs([&] {
        deviceimage::compileImage(deviceimage::CompileMode::Build, deviceimage::editionDeviceType(c.leds), &project,
                                  context);
    });
    std::printf("%-44s %3d pictures %5d bytes | load %7.2f ms | Count %7.2f ms (%.2f x load) | Build %7.2f ms\n",
                c.name, counted.pictures, counted.total, load, count, count / load, build);
}

} // namespace

int main()
{
    std::printf("median of %d runs each\n", kRounds);
    run({"largest image, banner-wide files (48 LEDs)", 48, 255, 41, true});
    run({"largest image, files as wide as kept (48 LEDs)", 48, 255, 41, false});
    run({"4096-byte stick, banner-wide files (32 LEDs)", 32, 30, 32, true});
    run({"4096-byte stick, files as wide as kept (32 LEDs)", 32, 30, 32, false});
    return 0;
}
