#include "imaging/windows/PictureImportDialog.h"

#include "imaging/AnimatedImage.h"
#include "imaging/ImageDecode.h"
#include "imaging/VirtualCanvas.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Names.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

namespace imaging {
namespace {

constexpr int kDragInterval = 100; // ms between crop rectangle moves while dragging

QImage greyRamp(QSize size)
{
    QImage strip(size, QImage::Format_RGB32);
    for (int x = 0; x < size.width(); ++x) {
        const int level = 255 - 255 * x / std::max(1, size.width() - 1); // light at "Lighter", dark at "Darker"
        for (int y = 0; y < size.height(); ++y)
            strip.setPixel(x, y, qRgb(level, level, level));
    }
    return strip;
}

// A short wait cursor for work the user started.
struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

PictureImportDialog::PictureImportDialog(const store::EditionParameters& edition, messages::Prompter& prompter, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | windowkit::kFixedWindowFlags),
      Image1(new QLabel),
      Shape1(new QFrame(Image1)),
      Timer1(new QTimer(this)),
      edition_(edition),
      prompter_(prompter)
{
    setupUi(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    ScrollBox1->setWidget(Image1);
    Image1->installEventFilter(this);
    Shape1->setStyleSheet(QStringLiteral("border: 1px dotted navy; background: transparent"));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape1->hide();
    Image3->setPixmap(QPixmap::fromImage(greyRamp(Image3->size())));
    Label4->hide();
    Timer1->setInterval(kDragInterval);

    connect(Button1, &QPushButton::clicked, this, &PictureImportDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &PictureImportDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &PictureImportDialog::Button3Click);
    connect(RadioButton1, &QRadioButton::clicked, this, &PictureImportDialog::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &PictureImportDialog::RadioButton2Click);
    connect(RadioButton3, &QRadioButton::clicked, this, &PictureImportDialog::RadioButton3Click);
    connect(RadioButton4, &QRadioButton::clicked, this, &PictureImportDialog::RadioButton4Click);
    connect(RadioButton5, &QRadioButton::clicked, this, &PictureImportDialog::RadioButton5Click);
    connect(TrackBar1, &QSlider::valueChanged, this, &PictureImportDialog::TrackBar1Change);
    connect(Timer1, &QTimer::timeout, this, &PictureImportDialog::Timer1Timer);
}

QSize PictureImportDialog::canvasSize() const
{
    return {edition_.maxBannerWidth, edition_.ledCount};
}

bool PictureImportDialog::importInto(VirtualCanvas& canvas, const QString& sourcePath, bool clearFirst)
{
    canvas_ = &canvas;
    clearFirst_ = clearFirst;
    imported_ = false;
    importedAnimation_ = false;
    if (!decode(sourcePath))
        return false;
    sourcePath_ = sourcePath;
    const bool fitChoice = !(expressMode_ && edition_.ledCount == 16);
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3})
        button->setVisible(fitChoice);
    RadioButton1->setChecked(true);
    RadioButton4->setChecked(true);
    fitMode_ = FitMode::Trim;
    processMethod_ = ProcessMethod::TextMode;
    showSliderItems(true);
    threshold_ = -1;
    dragging_ = false;
    cropNoticeShown_ = false;
    load(QPoint());
    exec();
    decoded_ = working_ = QImage(); // a photograph's pixels are not kept between openings
    canvas_ = nullptr;
    return imported_;
}

bool PictureImportDialog::decode(const QString& path)
{
    BusyCursor busy;
    DecodedImage decoded = decodeImageFile(path, edition_.ledCount);
    if (!decoded.ok()) {
        prompter_.tell(msg::ImportTitle, msg::ImportFileOpenError, messages::Icon::Stop);
        return false;
    }
    decoded_ = std::move(decoded.image);
    frameCount_ = isAnimationName(path) ? std::max(1, animationFrameCount(path)) : 1;
    showFrameCount();
    return true;
}

void PictureImportDialog::showFrameCount()
{
    const bool animated = frameCount_ > 1;
    Label4->setVisible(animated);
    if (!animated)
        return;
    Label4->setText(messages::formatMessage(animationImporter_ ? msg::AnimationImportsAll : msg::AnimationTakesFirst,
                                            frameCount_));
}

// Every frame with the fit and threshold the preview shows; the canvas is left as it is.
bool PictureImportDialog::importAnimation()
{
    ImportChoice choice;
    choice.fit = fitMode_;
    choice.method = processMethod_;
    choice.threshold = okThreshold(working_, cropOrigin_, canvasSize(), processMethod_, threshold_);
    choice.origin = cropOrigin_;
    importedAnimation_ = animationImporter_(sourcePath_, choice);
    return importedAnimation_;
}

void PictureImportDialog::load(QPoint cropOrigin)
{
    imported_ = false;
    working_ = decoded_;
    layoutSourceArea();
    buildPreview(cropOrigin);
}

void PictureImportDialog::layoutSourceArea()
{
    const QSize canvas = canvasSize();
    const SourceLayout layout = layoutSource(working_.size(), canvas);
    zoom_ = layout.zoom;
    QString dimension;
    if (layout.cropNeeded) {
        if (!cropNoticeShown_) {
            cropNoticeShown_ = true;
            prompter_.tell(msg::ImportTitle, msg::ImportCropNotice, messages::Icon::Warning);
        }
        Shape1->setStyleSheet(QStringLiteral("border: %1px dotted navy; background: transparent").arg(zoom_));
        Shape1->resize(layout.cropFrame);
        Shape1->show();
        dimension = messages::formatMessage(msg::AfterCrop, canvas.width(), canvas.height());
    } else {
        Shape1->hide();
        dimension = messages::formatMessage(msg::DimensionOk, working_.width(), working_.height());
    }
    GroupBox4->setTitle(messages::lookupMessage(msg::ImportPreviewCaption) + dimension);
    showFileLabel();
    Image1->setPixmap(QPixmap::fromImage(working_.scaled(working_.size() * zoom_)));
    Image1->resize(working_.size() * zoom_);
}

// "Banner name: " and " %s ( %d x %d )" with the whole path; a path too long for the label loses its middle, so
// that both the folder's start and the file's name stay in sight (the tool tip holds it whole).
void PictureImportDialog::showFileLabel()
{
    const QString path = QDir::toNativeSeparators(sourcePath_);
    const QString dimension = QString::asprintf(" ( %d x %d )", working_.width(), working_.height());
    const QString prefix = messages::lookupMessage(msg::BannerNameCaption) + u' ';
    const QFontMetrics metrics(Label1->font());
    const int room = Label1->contentsRect().width() - metrics.horizontalAdvance(prefix + dimension) - 2;
    Label1->setText(prefix + metrics.elidedText(path, Qt::ElideMiddle, std::max(0, room)) + dimension);
    Label1->setToolTip(path);
}

void PictureImportDialog::buildPreview(QPoint cropOrigin)
{
    const QSize canvas = canvasSize();
    cropOrigin_ = cropOrigin;
    Shape1->move(cropOrigin * zoom_);
    if (threshold_ == -1) {
        threshold_ = previewThreshold(working_, cropOrigin, canvas, processMethod_);
        settingSlider_ = true;
        TrackBar1->setValue(threshold_);
        settingSlider_ = false;
    }
    previewGrid_ = importGrid(working_, cropOrigin, canvas, processMethod_, threshold_);
    Image2->setPixmap(QPixmap::fromImage(previewGrid_.toImage().scaled(canvas * 2)));
}

void PictureImportDialog::fitAndPreview(FitMode mode)
{
    BusyCursor busy;
    fitMode_ = mode;
    if (mode == FitMode::Trim) {
        load(cropOrigin_);
        return;
    }
    working_ = fitToCanvas(decoded_, mode, canvasSize());
    threshold_ = -1;
    layoutSourceArea();
    buildPreview(QPoint());
}

void PictureImportDialog::showSliderItems(bool visible)
{
    for (QWidget* item : {static_cast<QWidget*>(TrackBar1), static_cast<QWidget*>(Label2),
                          static_cast<QWidget*>(Label3), static_cast<QWidget*>(Image3)})
        item->setVisible(visible);
}

void PictureImportDialog::Button1Click()
{
    if (dragging_ || !canvas_)
        return;
    if (frameCount_ > 1 && animationImporter_) {
        if (importAnimation())
            accept(); // a refusal was told; the dialog stays for another choice
        return;
    }
    BusyCursor busy;
    imported_ = true;
    const QSize canvas = canvasSize();
    canvas_->PushUndo();
    if (clearFirst_ || expressMode_)
        canvas_->ClearRect(0, 0, canvas.width() - 1, canvas.height() - 1);
    const int threshold = okThreshold(working_, cropOrigin_, canvas, processMethod_, threshold_);
    const LitGrid grid = importGrid(working_, cropOrigin_, canvas, processMethod_, threshold);
    for (int row = 0; row < canvas.height(); ++row)
        for (int col = 0; col < canvas.width(); ++col)
            canvas_->SetCell(col, row, grid.isLit(col, row) ? 1 : 0, VirtualCanvas::Target::Canvas, false);
    canvas_->Render(VirtualCanvas::Target::Canvas);
    accept();
}

void PictureImportDialog::Button2Click()
{
    imported_ = false;
    reject();
}

void PictureImportDialog::Button3Click()
{
    const QString file = prompter_.chooseOpenFile(
        messages::lookupMessage(msg::ImportTitle), QFileInfo(sourcePath_).absolutePath(), importFileFilters());
    if (file.isEmpty())
        return; // cancelled: the image shown so far stays
    if (store::isNoName(QFileInfo(file).fileName())) {
        prompter_.tell(msg::ImportTitle, msg::ImportFileOpenError, messages::Icon::Stop);
        return;
    }
    if (!decode(file))
        return; // the image shown so far stays
    sourcePath_ = file;
    cropNoticeShown_ = false;
    RadioButton1->setChecked(true);
    fitMode_ = FitMode::Trim;
    load(QPoint());
}

void PictureImportDialog::RadioButton1Click()
{
    fitAndPreview(FitMode::Trim);
}

void PictureImportDialog::RadioButton2Click()
{
    fitAndPreview(FitMode::FullScreenResize);
}

void PictureImportDialog::RadioButton3Click()
{
    fitAndPreview(FitMode::KeepAspect);
}

void PictureImportDialog::RadioButton4Click()
{
    processMethod_ = ProcessMethod::TextMode;
    showSliderItems(true);
    fitAndPreview(fitMode_);
}

void PictureImportDialog::RadioButton5Click()
{
    processMethod_ = ProcessMethod::PictureMode;
    showSliderItems(false);
    fitAndPreview(fitMode_);
}

void PictureImportDialog::TrackBar1Change(int position)
{
    if (settingSlider_ || threshold_ <= 0)
        return;
    threshold_ = position;
    buildPreview(cropOrigin_);
}

void PictureImportDialog::Timer1Timer()
{
    if (!dragging_)
        return;
    const QPoint placed = placeCropFrame(lastPointer_ - grabOffset_, Image1->size(), Shape1->size(), zoom_);
    Shape1->move(placed);
    Image1->setCursor(Qt::ClosedHandCursor);
}

void PictureImportDialog::Image1MouseDown(QPoint position)
{
    if (!Shape1->isVisible() || !Shape1->geometry().contains(position)) {
        if (dragging_)
            Image1MouseUp();
        return;
    }
    dragging_ = true;
    grabOffset_ = position - Shape1->pos();
    lastPointer_ = position;
    Timer1->start();
}

void PictureImportDialog::Image1MouseUp()
{
    if (!dragging_)
        return;
    Timer1Timer();
    dragging_ = false;
    Timer1->stop();
    Image1->unsetCursor();
    threshold_ = -1;
    buildPreview(cropOriginAt(Shape1->pos(), zoom_));
}

bool PictureImportDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Image1)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        Image1MouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    case QEvent::MouseMove:
        lastPointer_ = static_cast<QMouseEvent*>(event)->position().toPoint();
        return true;
    case QEvent::MouseButtonRelease:
        lastPointer_ = static_cast<QMouseEvent*>(event)->position().toPoint();
        Image1MouseUp();
        return true;
    default:
        return false;
    }
}

} // namespace imaging
