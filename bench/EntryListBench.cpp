// After every entry command the Projects page rebuilds the entry list of the current project (each picture's
// header read, the file repaired when pictures are gone) and its counters (the image compiler's Count). Measured
// here for a project of 255 entries, the most an image holds, after moving one entry down: the store and compiler
// work alone, and the page doing it with its list view. Goal: at most 50 ms (median).

#include "BenchSupport.h"
#include "deviceimage/ImageCompiler.h"
#include "imaging/PictureFile.h"
#include "store/windows/ProjectsPage.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>

namespace {

constexpr int kRounds = 21;
constexpr int kEntries = 255;
constexpr int kLeds = 16;

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    deviceimage::ImageContext context;
    context.edition = store::deriveEdition(QStringLiteral("Lumiwand%1").arg(kLeds));
    context.workspace = store::workspaceFor(dir.path(), kLeds);
    QDir().mkpath(context.workspace.projectsFolder);
    QDir().mkpath(context.workspace.clipsFolder);
    for (int k = 0; k < 40; ++k) { // pictures and banners, each used several times
        imaging::LitGrid grid(k % 4 == 0 ? 96 : kLeds, kLeds);
        for (int x = 0; x < grid.width(); ++x)
            grid.setLit(x, (x + k) % kLeds);
        imaging::savePicture(grid, context.workspace.clipsFolder, QStringLiteral("pic%1.bmp").arg(k),
                             imaging::ExistingFile::Replace);
    }
    store::createProject(context.workspace.projectsFolder + QStringLiteral("Bench.ini"), kLeds, kLeds);
    store::ProjectList projects(context.workspace.projectsFolder);
    projects.listProjects();
    store::Project& project = *projects.current();
    {
        store::IniFile::WriteBatch batch(project.ini());
        for (int entry = 0; entry < kEntries; ++entry)
            store::appendEntry(project, context.workspace.clipsFolder, QStringLiteral("pic%1.bmp").arg(entry % 40),
                               0, entry % 17 == 0 ? 1 : -1, -1, false);
    }
    const auto measure = [&](const store::Project& p) {
        const auto counted = deviceimage::compileImage(deviceimage::CompileMode::Count, 0, &p, context);
        return store::ProjectCounters{counted.pictures, counted.total};
    };

    int entry = 100;
    const double logic = medianMs(
        [&] {
            entry = std::max(0, store::moveEntryDown(project, entry));
            store::loadEntryList(project, context.workspace.clipsFolder);
            measure(project);
        },
        kRounds);

    SilentPrompter prompter;
    store::ProjectsPage page(context.edition, context.workspace, projects, prompter);
    page.setMeasure(measure);
    page.loadEntryList();
    page.ListView1->setCurrentRow(100);
    const double window = medianMs([&] { page.BitBtn37->click(); }, kRounds);

    const auto counted = deviceimage::compileImage(deviceimage::CompileMode::Count, 0, &project, context);
    std::printf("255-entry project (%d pictures, %d bytes), median of %d moves:\n", counted.pictures, counted.total,
                kRounds);
    std::printf("  entry list and counters rebuilt by the store and compiler: %7.2f ms\n", logic);
    std::printf("  the same through the Projects page with its list view:     %7.2f ms (goal 50 ms)\n", window);
    return 0;
}
