#include "deviceimage/windows/SpeedDialog.h"

namespace deviceimage {

SpeedDialog::SpeedDialog(int defaultSpeed, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      defaultSpeed_(defaultSpeed)
{
    setupUi(this);
    TrackBar1->setRange(kCoarseMin, kCoarseMax);
    TrackBar2->setRange(kFineMin, kFineMax);

    connect(TrackBar1, &QSlider::valueChanged, this, &SpeedDialog::showNumbers);
    connect(TrackBar2, &QSlider::valueChanged, this, &SpeedDialog::showNumbers);
    connect(Button1, &QPushButton::clicked, this, &SpeedDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
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

void SpeedDialog::FormShow()
{
    PageControl1->setCurrentIndex(0);
    Button2->setDefault(true);
    Button2->setFocus();
}

} // namespace deviceimage
