// Writes a few real device images into a folder, as the fuzzer's starting corpus: pictures, banners, groups,
// tickers, torch and indelible flags, for every device type and several heights.

#include "deviceimage/ImageCompiler.h"
#include "imaging/PictureFile.h"
#include "store/Project.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_ImageToProjectSeeds FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir scratch;
    int written = 0;
    for (const int leds : {11, 16, 24, 32, 48}) {
        deviceimage::ImageContext context;
        context.edition = store::deriveEdition(QStringLiteral("Lumiwand%1").arg(leds));
        context.workspace = store::workspaceFor(scratch.path(), leds);
        QDir().mkpath(context.workspace.projectsFolder);
        QDir().mkpath(context.workspace.clipsFolder);
        const QString& clips = context.workspace.clipsFolder;

        const int bannerWidth = context.edition.maxBannerWidth;
        imaging::LitGrid small(5, leds), wide(bannerWidth, leds), torch(leds, leds);
        for (int y = 0; y < leds; ++y) {
            small.setLit(y % 5, y);
            wide.setLit(3 + y, y);
            wide.setLit(bannerWidth - 1 - y, y);
            for (int x = 0; x < leds; ++x)
                torch.setLit(x, y);
        }
        imaging::savePicture(small, clips, QStringLiteral("small.bmp"), imaging::ExistingFile::Replace);
        imaging::savePicture(wide, clips, QStringLiteral("wide.bmp"), imaging::ExistingFile::Replace);
        imaging::savePicture(torch, clips, QStringLiteral("LumiwandTorch.bmp"), imaging::ExistingFile::Replace);

        const QString path = context.workspace.projectsFolder + QStringLiteral("Seed.ini");
        store::createProject(path, leds, leds);
        store::Project project(path);
        const QStringList names{"small.bmp", "wide.bmp", "small.bmp", "LumiwandTorch.bmp", "wide.bmp"};
        for (const QString& name : names)
            store::appendEntry(project, clips, name, 0, 0, 0, false);
        project.setGroup(1, 1);
        project.setGroup(2, 1);
        project.setGroupInterval(1, 40);
        project.setTicker(4, 3);
        project.setIndelible(0, true);
        project.setIndelible(3, true);

        for (const int type : {1, 3, 4, 6, 7}) {
            const QByteArray image =
                deviceimage::compileImage(deviceimage::CompileMode::Build, type, &project, context).image;
            QFile file(out + QStringLiteral("/seed-%1-%2.bin").arg(leds).arg(type));
            if (file.open(QIODevice::WriteOnly) && file.write(image) == image.size())
                ++written;
        }
    }
    std::printf("%d seeds written to %s\n", written, argv[1]);
    return 0;
}
