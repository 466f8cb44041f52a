#include "deviceimage/windows/TickerDialog.h"

#include "deviceimage/TimingCommands.h"
#include "messages/MessageCatalogue.h"
#include "windowkit/CaptionFit.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

namespace deviceimage {
namespace {

constexpr int kPreviewWidth = 48;
constexpr int kDialogWidth = 400;
constexpr int kTypeGroupHeight = 196;
constexpr int kSpeedGroupHeight = 92;

} // namespace

TickerDialog::TickerDialog(std::function<bool()> simplifiedMode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      GroupBox1(new QGroupBox(this)),
      RadioButton1(new QRadioButton(GroupBox1)),
      RadioButton2(new QRadioButton(GroupBox1)),
      RadioButton3(new QRadioButton(GroupBox1)),
      RadioButton4(new QRadioButton(GroupBox1)),
      Image1(new QLabel(GroupBox1)),
      Image2(new QLabel(GroupBox1)),
      Image3(new QLabel(GroupBox1)),
      GroupBox2(new QGroupBox(this)),
      TrackBar1(new QSlider(Qt::Horizontal, GroupBox2)),
      Label1(new QLabel(GroupBox2)),
      Label2(new QLabel(GroupBox2)),
      Label3(new QLabel(GroupBox2)),
      Button3(new QPushButton(GroupBox2)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)),
      Timer1(new QTimer(this)),
      simplifiedMode_(std::move(simplifiedMode))
{
    setObjectName(QStringLiteral("Tickersetup"));
    setModal(true);
    const char* names[] = {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton4"};
    const QList<QRadioButton*> options{RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    const QList<QLabel*> previews{Image1, Image2, Image3};
    for (int i = 0; i < options.size(); ++i) {
        options[i]->setObjectName(QLatin1String(names[i]));
        options[i]->setGeometry(16, 26 + i * 42, 220, 36);
    }
    for (int i = 0; i < previews.size(); ++i) {
        previews[i]->setGeometry(260, 26 + i * 42, kPreviewWidth + 4, 36);
        previews[i]->setAlignment(Qt::AlignCenter);
    }
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(kMinTickerSpeed, kMaxTickerSpeed);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3->setObjectName(QStringLiteral("Button3"));
    GroupBox1->setGeometry(12, 8, kDialogWidth - 24, kTypeGroupHeight);
    // "Slower" and "Faster" stand over the slider's ends, clear of "Default Speed" at the group's right.
    Label1->setGeometry(12, 22, 100, 18);
    Label2->setGeometry(72, 22, 120, 18);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TrackBar1->setGeometry(12, 44, 268, 28);
    Label3->setGeometry(290, 44, 30, 28);
    Label3->setAlignment(Qt::AlignCenter);
    Button3->setGeometry(200, 60, 0, 0); // placed by layOut
    Button1->setDefault(true);
    Timer1->setInterval(500);

    connect(TrackBar1, &QSlider::valueChanged, Label3, qOverload<int>(&QLabel::setNum));
    connect(Timer1, &QTimer::timeout, this, &TickerDialog::Timer1Timer);
    connect(Button3, &QPushButton::clicked, this, &TickerDialog::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &TickerDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    layOut(false);
    showFrame();
}

void TickerDialog::layOut(bool simplified)
{
    const int speedTop = 8 + kTypeGroupHeight + 8;
    GroupBox2->setGeometry(12, speedTop, kDialogWidth - 24, kSpeedGroupHeight);
    Button3->setGeometry(kDialogWidth - 24 - 152, 20, 140, 24);
    TrackBar1->setGeometry(12, 50, 180, 28);
    Label3->setGeometry(200, 50, 30, 28);
    GroupBox2->setVisible(!simplified);
    // Simplified: the buttons move up to the speed group's place and the window ends 40 pixels below them.
    const int buttonsTop = simplified ? speedTop : speedTop + kSpeedGroupHeight + 12;
    Button1->setGeometry(kDialogWidth / 2 - 110, buttonsTop, 100, 28);
    Button2->setGeometry(kDialogWidth / 2 + 10, buttonsTop, 100, 28);
    setFixedSize(kDialogWidth, buttonsTop + 28 + (simplified ? 40 : 12));
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
    using messages::lookupMessage;
    setWindowTitle(lookupMessage(736));
    GroupBox1->setTitle(lookupMessage(737));
    GroupBox2->setTitle(lookupMessage(738));
    RadioButton1->setText(lookupMessage(739));
    RadioButton2->setText(lookupMessage(740));
    RadioButton3->setText(lookupMessage(744));
    RadioButton4->setText(lookupMessage(719));
    Label1->setText(lookupMessage(741));
    Label2->setText(lookupMessage(742));
    Button3->setText(lookupMessage(743));
    Button1->setText(lookupMessage(720));
    Button2->setText(lookupMessage(719));
    Timer1->start();
    windowkit::fitTexts(*this);
    QDialog::showEvent(event);
}

void TickerDialog::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    QDialog::hideEvent(event);
}

} // namespace deviceimage
