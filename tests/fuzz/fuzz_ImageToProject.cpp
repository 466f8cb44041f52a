// libFuzzer target for the image importer: whatever bytes a binary project file or a stick holds, the checks, the
// decoding and the import never read outside the image, and an image that passes is imported whole.
//   cmake -S . -B build-fuzz -G Ninja -DLUMIWAND_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
//   ninja -C build-fuzz fuzz_ImageToProject fuzz_ImageToProjectSeeds
//   build-fuzz/tests/fuzz/fuzz_ImageToProjectSeeds corpus && build-fuzz/tests/fuzz/fuzz_ImageToProject corpus

#include "deviceimage/BinaryFiles.h"
#include "deviceimage/ImageCompiler.h"
#include "deviceimage/ImageToProject.h"
#include "store/Project.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// A fresh workspace of the 48-LED edition (banners up to 288 columns) for each imported image.
struct Scratch {
    QTemporaryDir root;
    const store::EditionParameters edition = store::deriveEdition(QStringLiteral("Lumiwand48"));
    int runs = 0;

    deviceimage::ImageContext next()
    {
        const QString documents = root.path() + QStringLiteral("/%1").arg(runs++);
        deviceimage::ImageContext context;
        context.edition = edition;
        context.workspace = store::workspaceFor(documents, 48);
        context.workspace.tempFolder = documents + QStringLiteral("/tmp/");
        for (const QString& folder : {context.workspace.projectsFolder, context.workspace.clipsFolder,
                                      context.workspace.tempFolder})
            QDir().mkpath(folder);
        return context;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > std::size_t(deviceimage::kMaxBinaryFileBytes))
        return 0; // the readers take no more
    static Scratch scratch;
    const QByteArray image(reinterpret_cast<const char*>(data), qsizetype(size));
    deviceimage::checkBinaryImage(image);

    static const int kTypes[] = {3, 1, 6, 4, 7, 9};
    const int type = kTypes[size % std::size(kTypes)];
    const deviceimage::DecodedImage decoded =
        deviceimage::decodeImage(image, type, scratch.edition.maxBannerWidth, false);
    if (decoded.status != deviceimage::ImportStatus::Done)
        return 0;
    for (const deviceimage::ImagePicture& picture : decoded.pictures)
        require(picture.grid.height() == decoded.height && picture.grid.width() >= 1);

    const deviceimage::ImageContext context = scratch.next();
    const deviceimage::ImportResult imported = deviceimage::importImage(image, QStringLiteral("Fuzz"), nullptr, type,
                                                                        context);
    require(imported.status == deviceimage::ImportStatus::Done);
    require(imported.added == int(decoded.pictures.size()));

    store::Project project(context.workspace.projectsFolder + QStringLiteral("Fuzz.ini"));
    deviceimage::importImage(image, QString(), &project, type, context);
    const deviceimage::CompileResult counted =
        deviceimage::compileImage(deviceimage::CompileMode::Count, type, &project, context);
    const deviceimage::CompileResult built =
        deviceimage::compileImage(deviceimage::CompileMode::Build, type, &project, context);
    require(counted.total == built.total && built.total == built.image.size());

    QDir(context.workspace.rootFolder).removeRecursively();
    QDir(context.workspace.rootFolder + QStringLiteral("..")).removeRecursively();
    return 0;
}
