#pragma once

namespace imaging {
class VirtualCanvas;
}

namespace editing {

// The painter's pointer rules on the canvas, apart from the timer that drives them: a press arms a 500 ms hold;
// the first tick after it switches the canvas to paint mode (lighting only) and shortens the interval to 100 ms;
// each later tick lights the cell under the pointer. A click toggles one cell (or lights it after a hold); the
// release ends the hold. Points are grid-view pixels already reduced by the canvas's margins.
class PaintHold {
public:
    static constexpr int kHoldDelay = 500;
    static constexpr int kPaintInterval = 100;

    explicit PaintHold(imaging::VirtualCanvas& canvas) : canvas_(canvas) {}

    // The interval the timer runs at now.
    int interval() const { return interval_; }

    // Button down: the timer is to start at interval().
    void press();
    // One timer tick with the pointer at (x, y). True when a cell was lit (the canvas needs a render).
    bool tick(int x, int y);
    // The click that ends a press over the grid: the timer is to stop. True when a cell was written.
    bool click(int x, int y);
    // Button up: the timer is to stop; the interval goes back to 500 ms and paint mode ends.
    void release();

private:
    imaging::VirtualCanvas& canvas_;
    int interval_ = kHoldDelay;
};

} // namespace editing
