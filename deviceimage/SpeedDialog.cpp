#include "deviceimage/SpeedDialog.h"

#include "messages/MessageCatalogue.h"
#include "ui/CaptionFit.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>

namespace deviceimage {

SpeedDialog::SpeedDialog(int defaultSpeed, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Label1(new QLabel(this)),
      PageControl1(new QTabWidget(this)),
      TrackBar1(new QSlider(Qt::Horizontal)),
      TrackBar2(new QSlider(Qt::Horizontal)),
      Label4(new QLabel),
      Label7(new QLabel),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)),
      Button3(new QPushButton(this)),
      defaultSpeed_(defaultSpeed)
{
    setObjectName(QStringLiteral("Speedsetup"));
    setModal(true);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar2->setObjectName(QStringLiteral("TrackBar2"));
    TrackBar1->setRange(kCoarseMin, kCoarseMax);
    TrackBar2->setRange(kFineMin, kFineMax);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3->setObjectName(QStringLiteral("Button3"));

    Label1->setGeometry(16, 10, 300, 20);
    PageControl1->setGeometry(12, 34, 336, 100);
    PageControl1->addTab(tunePage(TrackBar1, Label4), QString());
    PageControl1->addTab(tunePage(TrackBar2, Label7), QString());
    Button1->setGeometry(12, 146, 100, 28);
    Button2->setGeometry(130, 146, 100, 28);
    Button3->setGeometry(248, 146, 100, 28);
    setFixedSize(360, 186);

    connect(TrackBar1, &QSlider::valueChanged, this, &SpeedDialog::showNumbers);
    connect(TrackBar2, &QSlider::valueChanged, this, &SpeedDialog::showNumbers);
    connect(Button1, &QPushButton::clicked, this, &SpeedDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* SpeedDialog::tunePage(QSlider* slider, QLabel* number)
{
    auto* page = new QWidget;
    auto* fast = new QLabel(page);
    auto* slow = new QLabel(page);
    fast->setGeometry(8, 8, 60, 18);
    slow->setGeometry(256, 8, 60, 18);
    slow->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fastLabels_ << fast;
    slowLabels_ << slow;
    slider->setParent(page);
    slider->setGeometry(8, 30, 260, 28);
    number->setParent(page);
    number->setGeometry(276, 30, 44, 28);
    number->setAlignment(Qt::AlignCenter);
    number->setFrameShape(QFrame::Panel);
    number->setFrameShadow(QFrame::Sunken);
    return page;
}

int SpeedDialog::value() const
{
    return speedWord({TrackBar1->value(), TrackBar2->value()});
}

void SpeedDialog::setValue(int word)
{
    const SpeedSteps steps = speedSteps(word);
    TrackBar1->setValue(steps.coarse);
    TrackBar2->setValue(steps.fine);
    showNumbers();
}

void SpeedDialog::showNumbers()
{
    Label4->setText(QString::number(TrackBar1->value()));
    Label7->setText(QString::number(TrackBar2->value() * 2));
}

std::optional<int> SpeedDialog::chooseSpeed(int word)
{
    setValue(word);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return value();
}

void SpeedDialog::Button1Click()
{
    setValue(defaultSpeed_);
}

void SpeedDialog::showEvent(QShowEvent* event)
{
    using messages::lookupMessage;
    setWindowTitle(lookupMessage(632));
    Label1->setText(lookupMessage(633));
    PageControl1->setTabText(0, lookupMessage(669));
    PageControl1->setTabText(1, lookupMessage(670));
    for (QLabel* label : fastLabels_)
        label->setText(lookupMessage(634));
    for (QLabel* label : slowLabels_)
        label->setText(lookupMessage(635));
    Button1->setText(lookupMessage(636));
    Button2->setText(lookupMessage(637));
    Button3->setText(lookupMessage(638));
    PageControl1->setCurrentIndex(0);
    Button2->setDefault(true);
    Button2->setFocus();
    ui::fitTexts(*this);
    QDialog::showEvent(event);
}

} // namespace deviceimage
