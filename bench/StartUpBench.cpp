// Start-up against the number and size of projects: the full editor's windows made and the main window drawn (the
// splash's 800 ms left out), with 1 project and with 40 projects of 250 entries each, and the resident memory
// after it. Each start runs in a process of its own; the figures are medians of kRuns starts. Goal: start-up
// flat in the projects, 40 within 30 ms of 1.
//   bench_start_up [--runs N]

#include "ProgramRun.h"
#include "imaging/PictureFile.h"
#include "store/Project.h"
#include "store/Workspace.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kLeds = 16;
constexpr int kEntries = 250;

// A home folder whose workspace holds `projects` projects of kEntries entries (pictures of a few widths, some in
// movie groups and tickers, as projects hold), besides the starter project.
struct Home {
    QTemporaryDir dir;

    explicit Home(int projects)
    {
        const store::Workspace workspace = store::workspaceFor(dir.path() + QStringLiteral("/Documents/"), kLeds);
        store::prepareWorkspace(dir.path() + QStringLiteral("/Documents/"), kLeds, 96);
        for (int k = 0; k < kEntries; ++k) {
            imaging::LitGrid grid(16 + 8 * (k % 4), kLeds);
            grid.setLit(k % grid.width(), k % kLeds);
            imaging::savePicture(grid, workspace.clipsFolder, QStringLiteral("pic%1.bmp").arg(k),
                                 imaging::ExistingFile::Replace);
        }
        for (int p = 0; p < projects; ++p) {
            const QString path = workspace.projectsFolder + QStringLiteral("Show%1.ini").arg(p, 2, 10, QChar(u'0'));
            store::createProject(path, 96, kLeds);
            store::Project project(path);
            store::IniFile::WriteBatch batch(project.ini());
            for (int k = 0; k < kEntries; ++k)
                store::appendEntry(project, workspace.clipsFolder, QStringLiteral("pic%1.bmp").arg((k * 7 + p) % kEntries),
                                   160, k % 10 == 0 ? 1 + k / 10 : 0, k % 9 == 0 ? 1 : 0, k % 17 == 0);
        }
    }
};

int measureStart()
{
    ProgramWindows program;
    const double ms = program.start();
    std::printf("%.2f %.1f\n", ms, residentMiB());
    return 0;
}

// Medians of `runs` starts: milliseconds and MiB.
std::pair<double, double> starts(const Home& home, int runs)
{
    std::vector<double> times, memory;
    for (int run = 0; run < runs; ++run) {
        const std::vector<double> figures = runChild({QStringLiteral("--start")}, home.dir.path());
        if (figures.size() < 2)
            return {-1, -1};
        times.push_back(figures[0]);
        memory.push_back(figures[1]);
    }
    return {median(times), median(memory)};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--start") {
        QApplication application(argc, argv);
        return measureStart();
    }
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--runs"));
    const int runs = at >= 0 ? std::max(1, arguments.value(at + 1).toInt()) : 7;

    const Home one(1), forty(40);
    const auto [oneMs, oneMiB] = starts(one, runs);
    const auto [fortyMs, fortyMiB] = starts(forty, runs);
    std::printf("start-up with  1 project  of %d entries: %7.1f ms, resident memory %6.1f MiB (median of %d)\n",
                kEntries, oneMs, oneMiB, runs);
    std::printf("start-up with 40 projects of %d entries: %7.1f ms, resident memory %6.1f MiB\n", kEntries, fortyMs,
                fortyMiB);
    std::printf("  40 - 1: %+.1f ms (goal within +-30 ms), %+.1f MiB; ratio %.2f\n", fortyMs - oneMs,
                fortyMiB - oneMiB, fortyMs / oneMs);
    return 0;
}
