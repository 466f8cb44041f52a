#pragma once

#include <QLabel>

namespace shell {

// One slot of the express window's strip: a picture that reports clicks and double clicks.
class StripSlot : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace shell
