#include "deviceimage/windows/ShowViews.h"

#include <QPainter>
#include <QtMath>

namespace deviceimage {
namespace {

constexpr double kArcDegrees = 120.0;
constexpr double kInnerRadius = 0.3; // of the outer radius: where the hand holds the stick
constexpr double kLedShare = 0.8;    // of a row's depth lit, the rest the gap between LEDs

const QRgb kBackground = qRgb(16, 16, 24);
const QRgb kUnlit = qRgb(44, 44, 56);
const QRgb kLit = qRgb(255, 214, 64);
const QRgb kSweep = qRgb(70, 70, 96); // unlit LEDs of the column lit now
const QRgb kPassed = qRgb(30, 30, 42); // unlit LEDs of the columns already lit in this stroke

} // namespace

EyeView::EyeView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("EyeView"));
    setMinimumSize(360, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void EyeView::setFrame(const imaging::LitGrid& frame, int litColumn)
{
    frame_ = frame;
    litColumn_ = litColumn;
    update();
}

void EyeView::layOutArc()
{
    arcSize_ = size();
    arcColumns_ = frame_.width();
    arcRows_ = frame_.height();
    image_ = QImage(arcSize_, QImage::Format_RGB32);
    cells_.assign(size_t(arcSize_.width()) * size_t(arcSize_.height()), -1);
    if (arcColumns_ <= 0 || arcRows_ <= 0)
        return;
    // The hand at the bottom middle; the arc's ends kArcDegrees / 2 either side of straight up.
    const double halfArc = qDegreesToRadians(kArcDegrees / 2);
    const double margin = 8;
    const double outer = std::max(1.0, std::min((width() / 2.0 - margin) / std::sin(halfArc), height() - 2 * margin));
    const double inner = outer * kInnerRadius;
    const double centreX = width() / 2.0;
    const double centreY = height() - margin;
    for (int y = 0; y < height(); ++y) {
        for (int x = 0; x < width(); ++x) {
            const double dx = x + 0.5 - centreX;
            const double dy = centreY - (y + 0.5);
            const double radius = std::hypot(dx, dy);
            const double angle = std::atan2(dx, dy);
            if (radius < inner || radius >= outer || std::abs(angle) >= halfArc)
                continue;
            const double rowPlace = (outer - radius) / (outer - inner) * arcRows_;
            const int row = int(rowPlace);
            if (rowPlace - row > kLedShare)
                continue;
            const int column = std::min(arcColumns_ - 1, int((angle + halfArc) / (2 * halfArc) * arcColumns_));
            cells_[size_t(y) * size_t(width()) + size_t(x)] = column * arcRows_ + row;
        }
    }
}

void EyeView::paintEvent(QPaintEvent*)
{
    if (arcSize_ != size() || arcColumns_ != frame_.width() || arcRows_ != frame_.height())
        layOutArc();
    const int w = image_.width();
    for (int y = 0; y < image_.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        const int* cells = cells_.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            const int cell = cells[x];
            if (cell < 0) {
                line[x] = kBackground;
                continue;
            }
            const int column = cell / arcRows_;
            line[x] = frame_.isLit(column, cell % arcRows_) ? kLit : column == litColumn_ ? kSweep : kUnlit;
        }
    }
    QPainter(this).drawImage(0, 0, image_);
    ++paints_;
}

ColumnView::ColumnView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ColumnView"));
    setMinimumSize(360, 160);
}

void ColumnView::setState(const ShowState& state)
{
    state_ = state;
    update();
}

void ColumnView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(kBackground));
    const int rows = state_.frame.height();
    const int columns = state_.frame.width();
    if (rows <= 0 || columns <= 0)
        return;
    // The LEDs now, one above the other.
    const double pitch = double(height() - 8) / rows;
    const double led = std::max(1.0, pitch * kLedShare);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < rows; ++row) {
        painter.setBrush(QColor(state_.ledLit(row) ? kLit : kUnlit));
        painter.drawEllipse(QRectF(8, 4 + row * pitch, led, led));
    }
    // This stroke so far: time runs to the right, each column as the LEDs lit it.
    const int passed = state_.backStroke ? columns - state_.column : state_.column + 1;
    QImage trace(columns, rows, QImage::Format_RGB32);
    trace.fill(kBackground);
    for (int t = 0; t < passed; ++t) {
        const int column = state_.backStroke ? columns - 1 - t : t;
        for (int row = 0; row < rows; ++row)
            trace.setPixel(t, row, state_.torch || state_.frame.isLit(column, row) ? kLit : kPassed);
    }
    const QRectF traceArea(24 + led, 4, width() - 32 - led, rows * pitch);
    painter.drawImage(traceArea, trace);
    painter.setPen(QColor(kSweep));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(traceArea);
}

} // namespace deviceimage
