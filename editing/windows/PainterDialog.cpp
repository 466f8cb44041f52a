#include "editing/windows/PainterDialog.h"

#include "editing/windows/CanvasGridView.h"
#include "editing/PaintSave.h"
#include "imaging/ImageImport.h"
#include "imaging/PictureFile.h"
#include "imaging/VirtualCanvas.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "windowkit/RunCommand.h"

#include <QFileInfo>
#include <QTimer>

namespace editing {
namespace {

constexpr int kGroupMargin = 8;
constexpr int kGroupFrame = 40; // a group's title and borders around its content

// The painting group starts under the preview group, whose height follows the edition's LED count.
int paintingGroupTop(int rows)
{
    return kGroupMargin + rows + kGroupFrame + kGroupMargin;
}

} // namespace

PainterDialog::PainterDialog(imaging::VirtualCanvas& canvas, ExpressProjectLink& project, messages::Prompter& prompter,
                             store::EditionParameters edition, QString clipsFolder, QWidget* parent)
    : windowkit::Dialog(parent, windowkit::kFixedWindowFlags),
      canvas_(canvas),
      project_(project),
      prompter_(prompter),
      edition_(std::move(edition)),
      clipsFolder_(std::move(clipsFolder)),
      hold_(canvas)
{
    setupUi(this);
    placeBelowPreview(edition_.ledCount);
    Image1 = new CanvasGridView(canvas_, GroupBox1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(ScrollBar1->x(), 20, Canvas::kViewWidth, Canvas::kViewHeight);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setProperty(windowkit::kAccessibleNameId, msg::PaintOnCanvas);

    Timer1 = new QTimer(this);
    Timer1->setInterval(PaintHold::kHoldDelay);

    connect(Button1, &QPushButton::clicked, this, &PainterDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &PainterDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &PainterDialog::Button3Click);
    connect(Timer1, &QTimer::timeout, this, &PainterDialog::Timer1Timer);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &PainterDialog::ScrollBar1Change);
    connect(Image1, &CanvasGridView::pressed, this, &PainterDialog::pressed);
    connect(Image1, &CanvasGridView::moved, this, &PainterDialog::moved);
    connect(Image1, &CanvasGridView::released, this, &PainterDialog::released);
    connect(Image1, &CanvasGridView::previewChanged, this, &PainterDialog::showPreview);
}

// PainterDialog.ui is drawn for 16 LEDs. The preview group above the painting is as high as the LEDs: the painting
// group, the buttons below it and the window's height follow the edition's count.
void PainterDialog::placeBelowPreview(int rows)
{
    const int shift = paintingGroupTop(rows) - GroupBox1->y();
    for (QWidget* control : std::initializer_list<QWidget*>{GroupBox1, Button3, Button1, Button2})
        control->move(control->x(), control->y() + shift);
    setFixedSize(width(), height() + shift);
}

void PainterDialog::FormShow()
{
    savedAsNew = false;
    saved = false;

    const int width = edition_.maxBannerWidth;
    const int rows = edition_.ledCount;
    canvas_.SetGeometry(edition_.pictureWidth, rows);
    // The preview group is W + 16 wide, right-aligned with the painting group, the preview centred in it.
    const int previewWidth = width + 16;
    const int previewLeft = GroupBox1->geometry().right() + 1 - previewWidth;
    GroupBox2->setGeometry(previewLeft, kGroupMargin, previewWidth, rows + kGroupFrame);
    Image3->setGeometry(8, (GroupBox2->height() - rows) / 2 + 4, width, rows);
    Image1->bind();
    canvas_.Reset(width, rows);
    canvas_.setPaintMode(false);
    syncScrollBar();
    if (modifyMode)
        loadBanner();
    render();
    if (!importOnShow.isEmpty() && importImage) {
        // After the window is up, so the import dialog opens over it.
        QTimer::singleShot(0, this, [this, file = importOnShow] {
            importImage(file);
            render();
        });
    }
}

void PainterDialog::syncScrollBar()
{
    ScrollBar1->setRange(0, canvas_.maxScroll());
    ScrollBar1->setPageStep(canvas_.visibleColumns());
    ScrollBar1->setValue(0);
    ScrollBar1->setVisible(canvas_.maxScroll() > 0);
    canvas_.Render(Canvas::Target::Canvas, 0);
}

void PainterDialog::loadBanner()
{
    const imaging::PictureLoad banner = imaging::loadPicture(clipsFolder_ + bannerName);
    if (!banner.ok()) {
        // The painting starts blank and is saved as a new banner: a file that cannot be read is never replaced.
        prompter_.tellText(msg::PainterTitle, imaging::errorMessage(banner), messages::Icon::Stop);
        modifyMode = false;
        return;
    }
    canvas_.PushUndo();
    canvas_.ClearRect(0, 0, canvas_.width() - 1, canvas_.rows() - 1);
    for (int row = 0; row < canvas_.rows(); ++row)
        for (int col = 0; col < canvas_.width(); ++col)
            if (banner.picture.isLit(col, row, imaging::LitRule::LitAtMost))
                canvas_.SetCell(col, row, 1, Canvas::Target::Canvas, false);
}

void PainterDialog::render()
{
    canvas_.Render(Canvas::Target::Canvas);
}

void PainterDialog::showPreview()
{
    Image3->setPixmap(QPixmap::fromImage(Image1->previewImage()));
}

QPoint PainterDialog::cellPoint(QPoint viewPoint) const
{
    return {viewPoint.x() - canvas_.leftOrigin(), viewPoint.y() - canvas_.topMargin()};
}

void PainterDialog::pressed(QPoint point, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    buttonDown_ = true;
    pointer_ = point;
    hold_.press();
    Timer1->start(hold_.interval());
}

void PainterDialog::moved(QPoint point)
{
    pointer_ = point;
}

void PainterDialog::released(QPoint point, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || !buttonDown_)
        return;
    buttonDown_ = false;
    Timer1->stop();
    // A click is a release over the grid; its cell is toggled, or lit after a hold.
    if (Image1->rect().contains(point)) {
        const QPoint cell = cellPoint(point);
        if (hold_.click(cell.x(), cell.y()))
            render();
    }
    hold_.release();
    Timer1->setInterval(hold_.interval());
}

void PainterDialog::Timer1Timer()
{
    // A pointer dragged off the view paints nothing (right of a scrolled view lie cells the user cannot see).
    const QPoint cell = Image1->rect().contains(pointer_) ? cellPoint(pointer_) : QPoint(-1, -1);
    if (hold_.tick(cell.x(), cell.y()))
        render();
    if (Timer1->interval() != hold_.interval())
        Timer1->setInterval(hold_.interval());
}

void PainterDialog::ScrollBar1Change(int position)
{
    canvas_.Render(Canvas::Target::Canvas, position);
    GroupBox1->setFocus();
}

void PainterDialog::Button1Click()
{
    const PaintSaveRequest request{canvas_.litGrid(), modifyMode, bannerName, clipsFolder_, edition_};
    PaintSaveResult result;
    if (!windowkit::runCommand(prompter_, [&] { result = savePaintedBanner(request, project_, prompter_); })) {
        project_.refreshList(); // the list shows what the failed write left; the painting stays open
        return;
    }
    saved = result.saved;
    savedAsNew = result.savedAsNew;
    if (result.savedAsNew)
        bannerName = result.bannerName;
    if (result.closeWindow)
        accept();
}

void PainterDialog::Button2Click()
{
    savedAsNew = false;
    saved = false;
    reject();
}

void PainterDialog::Button3Click()
{
    prompter_.tell(msg::ImportBannerTitle, msg::BlackAndWhiteOnly, messages::Icon::Warning);
    const QString folder = lastImportFolder_.isEmpty() ? workspaceFolder : lastImportFolder_;
    const QString title = messages::lookupMessage(msg::ImportBannerTitle);
    const QString file = prompter_.chooseOpenFile(title, folder, imaging::importFileFilters());
    if (file.isEmpty())
        return; // cancelled
    lastImportFolder_ = QFileInfo(file).absolutePath();
    if (importImage)
        importImage(file);
    canvas_.setPaintMode(false);
    render();
}

} // namespace editing
