#include "deviceimage/windows/TickerDialog.h"

#include "deviceimage/TimingCommands.h"

#include <QPixmap>
#include <QTimer>

namespace deviceimage {
namespace {

constexpr int kPreviewWidth = 48;
// In simplified mode the window ends this far below the buttons.
constexpr int kSimplifiedBottomMargin = 40;

} // namespace

TickerDialog::TickerDialog(std::function<bool()> simplifiedMode, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Timer1(new QTimer(this)),
      simplifiedMode_(std::move(simplifiedMode))
{
    setupUi(this);
    fullButtonsTop_ = Button1->y();
    fullHeight_ = height();
    TrackBar1->setRange(kMinTickerSpeed, kMaxTickerSpeed);
    Timer1->setInterval(500);

    connect(TrackBar1, &QSlider::valueChanged, Label3, qOverload<int>(&QLabel::setNum));
    connect(Timer1, &QTimer::timeout, this, &TickerDialog::Timer1Timer);
    connect(Button3, &QPushButton::clicked, this, &TickerDialog::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &TickerDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    showFrame();
}

// Simplified: the speed group is hidden, the buttons move up to its place and the window ends 40 pixels below
// them.
void TickerDialog::layOut(bool simplified)
{
    GroupBox2->setVisible(!simplified);
    const int buttonsTop = simplified ? GroupBox2->y() : fullButtonsTop_;
    Button1->move(Button1->x(), buttonsTop);
    Button2->move(Button2->x(), buttonsTop);
    setFixedSize(width(), simplified ? buttonsTop + Button1->height() + kSimplifiedBottomMargin : fullHeight_);
}

store::TickerChoice TickerDialog::chooseTicker(int currentType, int currentSpeed)
{
    const bool simplified = simplifiedMode_ && simplifiedMode_();
    TrackBar1->setValue(simplified ? store::kDefaultTickerSpeed : currentSpeed);
    Label3->setNum(TrackBar1->value());
    const QList<QRadioButton*> options{RadioButton1, RadioButton2, RadioButton3};
    (currentType >= 1 && currentType <= kTickerTypes ? options[currentType - 1] : RadioButton4)->setChecked(true);
    layOut(simplified);
    if (exec() != QDialog::Accepted)
        return {};
    return choice_;
}

void TickerDialog::Timer1Timer()
{
    frame_ = frame_ % kTickerFrames + 1;
    showFrame();
}

void TickerDialog::showFrame()
{
    const QList<QLabel*> previews{Image1, Image2, Image3};
    for (int type = 1; type <= kTickerTypes; ++type)
        previews[type - 1]->setPixmap(QPixmap::fromImage(tickerPreviewFrame(type, frame_, kPreviewWidth)));
}

void TickerDialog::Button3Click()
{
    TrackBar1->setValue(store::kDefaultTickerSpeed);
}

void TickerDialog::Button1Click()
{
    const int type = RadioButton1->isChecked() ? 1 : RadioButton2->isChecked() ? 2 : RadioButton3->isChecked() ? 3 : 0;
    choice_ = {type, TrackBar1->value()};
    accept();
}

void TickerDialog::showEvent(QShowEvent* event)
{
    windowkit::Dialog::showEvent(event);
    Timer1->start();
}

void TickerDialog::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    windowkit::Dialog::hideEvent(event);
}

} // namespace deviceimage
