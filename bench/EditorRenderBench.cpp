// What the editor redraws after one pencil click in the 48-LED edition (the largest grid: 72 x 48 cells of 8
// pixels, a 288-column preview): the canvas draws the grid view and the preview, the grid widget paints the grid,
// the overlay of a block being placed and the selection frame, and the preview is turned into the pixmap the
// preview box shows. Goal: at most 2 ms (median). Runs on the offscreen platform unless another one is set.

#include "editing/windows/CanvasGridView.h"
#include "editing/EditorModel.h"
#include "messages/Prompter.h"
#include "store/Edition.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kClicks = 400;

// The bench asks nothing; a prompter is only needed to build the model.
class SilentPrompter : public messages::Prompter {
public:
    messages::Answer ask(const QString&, const QString&, messages::Icon, messages::Buttons) override
    {
        return messages::Answer::No;
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseOpenFile(const QString&, const QString&, const QStringList&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&, const QStringList&) override { return {}; }
};

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(double(values.size()) * fraction))];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const store::EditionParameters edition = store::deriveEdition(QStringLiteral("Lumiwand48"));
    editing::Canvas canvas;
    SilentPrompter prompter;
    editing::EditorModel model(canvas, prompter);
    editing::CanvasGridView view(canvas);
    canvas.SetGeometry(edition.pictureWidth, edition.ledCount);
    view.bind();
    canvas.Reset(edition.maxBannerWidth, edition.ledCount);
    model.start();

    // A half-lit picture, a copied block following the pointer and a frame, so every layer has something to draw.
    for (int row = 0; row < canvas.rows(); ++row)
        for (int col = 0; col < canvas.width(); ++col)
            canvas.SetCell(col, row, (col + row) % 2, editing::Canvas::Target::Canvas, false);
    model.press({4, 4}, true);
    model.release({76, 76}, true);
    model.copy(false);
    model.moveTo({200, 100});
    view.setOverlay(true, model.overlay().topLeft, model.overlay().size);
    view.setFrame({QRect(8, 8, 80, 80), editing::FrameStyle::Dotted});
    model.choosePencil();

    QImage screen(view.size(), QImage::Format_RGB32);
    QPixmap previewPixmap;
    std::vector<double> times;
    for (int click = 0; click < kClicks; ++click) {
        const QPoint point(4 + 8 * (click % 72), 4 + 8 * ((click / 72) % 48));
        QElapsedTimer timer;
        timer.start();
        model.press(point, true);
        model.release(point, true);
        view.render(&screen);
        previewPixmap = QPixmap::fromImage(view.previewImage());
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("editor render after one pencil click, 48 LEDs (%d clicks): median %.3f ms, 90th percentile "
                "%.3f ms, goal 2 ms\n",
                kClicks, percentile(times, 0.5), percentile(times, 0.9));
    return 0;
}
