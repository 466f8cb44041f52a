// The express window redraws its strip and counters after every move. Measured on a 255-entry starter project
// (the most the stick's image can hold) of 96-column banners in the 16-LED edition and of 288-column banners in the
// 48-LED edition: the reload alone (entry list, counters, the 14 thumbnails) and a whole Move Down from the last
// visible slot (the project write, the reload, the scroll). Goal: the reload after a move at most 50 ms (median).

#include "BenchSupport.h"
#include "imaging/PictureFile.h"
#include "messages/Prompter.h"
#include "shell/AppState.h"
#include "shell/ExpressProject.h"
#include "shell/windows/ExpressWindow.h"
#include "store/Project.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 21;
constexpr int kEntries = 255;

double medianMs(const std::function<void()>& work)
{
    return ::medianMs(work, kRounds);
}

void run(int leds)
{
    QTemporaryDir documents;
    shell::AppState state;
    state.invokedPath = QStringLiteral("/opt/Lumiwand_exp%1").arg(leds);
    shell::prepareAppState(state, documents.path() + QStringLiteral("/"));
    state.simplifiedMode = true;
    const QString path = state.workspace.projectsFolder + shell::kExpressProjectName;
    {
        store::Project project(path);
        store::IniFile::WriteBatch batch(project.ini());
        for (int i = 0; i < kEntries; ++i) {
            const QString name = QStringLiteral("banner%1.bmp").arg(i);
            imaging::LitGrid grid(state.edition.maxBannerWidth, leds);
            for (int col = 0; col < grid.width(); col += 3)
                grid.setLit(col, (col + i) % leds);
            imaging::savePicture(grid, state.workspace.clipsFolder, name, imaging::ExistingFile::Replace);
            store::appendEntry(project, state.workspace.clipsFolder, name, 0, -1, -1, false);
        }
    }

    SilentPrompter prompter;
    shell::ExpressWindow form(state, prompter);
    form.show();
    const double reload = medianMs([&] { form.reloadList(); });
    QTest::mouseClick(form.Images[13], Qt::LeftButton);
    const double move = medianMs([&] {
        form.BitBtn3->click();
        QApplication::processEvents();
    });
    std::printf("%2d LEDs, %d banners of %3d columns: reload %6.1f ms, Move Down %6.1f ms (median of %d; goal %s)\n",
                leds, kEntries, state.edition.maxBannerWidth, reload, move, kRounds,
                move <= 50.0 ? "met" : "missed");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    run(16);
    run(48);
    return 0;
}
