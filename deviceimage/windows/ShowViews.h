#pragma once

#include "deviceimage/ShowPlayer.h"

#include <QImage>
#include <QWidget>
#include <vector>

// The show preview's two drawings of the stick's light.
namespace deviceimage {

// The picture as the eye sees it while the stick is waved: the stroke's columns spread over an arc round the
// hand, each column as wide as the time the stick lights it.
class EyeView : public QWidget {
    Q_OBJECT

public:
    explicit EyeView(QWidget* parent = nullptr);
    void setFrame(const imaging::LitGrid& frame, int litColumn);
    int paints() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Which LED each pixel of the view shows (column x rows + row), -1 for none; made again when the view's
    // size or the stroke's shape changes, so a frame is drawn by looking up every pixel once.
    void layOutArc();

    imaging::LitGrid frame_;
    int litColumn_ = -1;
    std::vector<int> cells_;
    QSize arcSize_;
    int arcColumns_ = 0;
    int arcRows_ = 0;
    QImage image_;
    int paints_ = 0;
};

// The LED column as it lights over time: the LEDs now, and beside them the columns lit so far in this stroke, in
// the order the stick lit them.
class ColumnView : public QWidget {
    Q_OBJECT

public:
    explicit ColumnView(QWidget* parent = nullptr);
    void setState(const ShowState& state);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ShowState state_;
};

} // namespace deviceimage
