#include "editing/PaintHold.h"

#include "imaging/VirtualCanvas.h"

namespace editing {

void PaintHold::press()
{
    interval_ = kHoldDelay;
}

bool PaintHold::tick(int x, int y)
{
    if (!canvas_.paintMode()) {
        canvas_.setPaintMode(true);
        interval_ = kPaintInterval;
        return false;
    }
    return canvas_.ToggleAt(x, y, canvas_.scroll());
}

bool PaintHold::click(int x, int y)
{
    return canvas_.ToggleAt(x, y, canvas_.scroll());
}

void PaintHold::release()
{
    interval_ = kHoldDelay;
    canvas_.setPaintMode(false);
}

} // namespace editing
