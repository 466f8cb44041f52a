#pragma once

#include "editing/PaintHold.h"
#include "store/Edition.h"
#include "windowkit/Window.h"
#include "ui_PainterDialog.h"

#include <functional>

class QTimer;

namespace imaging {
class VirtualCanvas;
}
namespace messages {
class Prompter;
}

namespace editing {

class CanvasGridView;
class ExpressProjectLink;

// Vove Diror: paints a banner with the pointer on the magnified LED grid, from scratch, from a banner of the
// express project (modifyMode) or from an imported image, and saves it into the express project. The canvas is
// the program's one canvas, bound to this window's views while it is open. Its controls are those of
// PainterDialog.ui, drawn for 16 LEDs: GroupBox2 "Preview" and Image3 the preview, GroupBox1 "Use cursor to paint
// on the canvas" with ScrollBar1, Button3 Import a picture file, Button1 Save, Button2 Cancel; Image1, the grid
// view, is made here.
class PainterDialog : public windowkit::Dialog, public Ui::PainterDialog {
    Q_OBJECT

public:
    // `importImage` runs the import dialog on a chosen file with clearFirst set (empty: Import only chooses).
    PainterDialog(imaging::VirtualCanvas& canvas, ExpressProjectLink& project, messages::Prompter& prompter,
                  store::EditionParameters edition, QString clipsFolder, QWidget* parent = nullptr);

    std::function<void(const QString& file)> importImage;
    QString workspaceFolder; // where the first Import looks
    QString importOnShow;    // a picture file imported as soon as the window shows (a file dropped elsewhere)

    bool modifyMode = false;
    QString bannerName;
    bool savedAsNew = false;
    bool saved = false;

    CanvasGridView* Image1;  // the grid view
    QTimer* Timer1;          // the hold timer

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Timer1Timer();
    void ScrollBar1Change(int position);

protected:
    void FormShow() override;

private:
    void placeBelowPreview(int rows);
    void loadBanner();
    void render();
    void showPreview();
    void syncScrollBar();
    QPoint cellPoint(QPoint viewPoint) const;
    void pressed(QPoint point, Qt::MouseButton button);
    void moved(QPoint point);
    void released(QPoint point, Qt::MouseButton button);

    imaging::VirtualCanvas& canvas_;
    ExpressProjectLink& project_;
    messages::Prompter& prompter_;
    store::EditionParameters edition_;
    QString clipsFolder_;
    PaintHold hold_;
    QPoint pointer_;
    bool buttonDown_ = false;
    QString lastImportFolder_;
};

} // namespace editing
