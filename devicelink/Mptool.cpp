#include "devicelink/Mptool.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "ui/TextTint.h"

#include <QGroupBox>
#include <QLabel>
#include <QTimer>

namespace devicelink {

TForm21::TForm21(const store::EditionParameters& edition, std::function<bool()> devicePresent, QWidget* parent)
    : ui::Window(parent),
      GroupBox1(new QGroupBox(this)),
      Label1(new QLabel(GroupBox1)),
      Timer1(new QTimer(this)),
      edition_(edition),
      devicePresent_(std::move(devicePresent))
{
    setObjectName(QStringLiteral("Form21"));
    setFixedSize(720, 180);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(12, 8, 696, 160);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 24, 680, 128);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true); // translations may not fit on one line
    QFont large = Label1->font();
    large.setPixelSize(37);
    Label1->setFont(large);
    Timer1->setInterval(800);
    connect(Timer1, &QTimer::timeout, this, &TForm21::Timer1Timer);
}

void TForm21::FormShow()
{
    setWindowTitle(QStringLiteral("Mass Production Tool") + QString::number(edition_.ledCount) +
                   edition_.versionLabel);
    GroupBox1->setTitle(messages::lookupMessage(msg::LightShowStatus));
    showStatus(false);
    ui::centerOnScreen(*this);
    Timer1->start();
}

void TForm21::Timer1Timer()
{
    showStatus(devicePresent_ && devicePresent_());
}

void TForm21::devicesChanged()
{
    if (Timer1->isActive())
        Timer1Timer();
}

void TForm21::showStatus(bool connected)
{
    Label1->setText(messages::lookupMessage(connected ? msg::DeviceConnected : msg::NoDeviceDetected));
    ui::setTextTint(*Label1, connected ? ui::TextTint::Connected : ui::TextTint::Problem);
}

void TForm21::FormClose()
{
    Timer1->stop();
}

} // namespace devicelink
