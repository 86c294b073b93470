#include "frameworks/tab-bar-core/EdgeResize.h"

#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/View.h"

namespace tbcore {

void EdgeResize::begin(const ui::Event& mouseDown)
{
    m_lastWindowX = mouseDown.locationInWindow().x;
}

double EdgeResize::deltaOf(const ui::Event& event)
{
    const double x = event.locationInWindow().x;
    const double delta = event.deltaX() != 0 ? event.deltaX() : x - m_lastWindowX;
    m_lastWindowX = x;
    return delta;
}

double EdgeResize::resizedWidth(
    double pointerX, double width, double delta, double minWidth, double maxWidth, Limits limits)
{
    if (!((pointerX > width && delta > 0) || (pointerX < width && delta < 0)))
        return -1;
    const double wanted = width + delta;
    const bool within = limits == Limits::Inclusive ? wanted >= minWidth && wanted <= maxWidth
                                                    : wanted > minWidth && wanted < maxWidth;
    return within ? wanted : -1;
}

bool EdgeResize::drag(
    ui::View& bar, ui::View* partner, const ui::Event& event, double minWidth, double maxWidth, Limits limits)
{
    const double delta = deltaOf(event);
    const double pointerX = bar.convertPointFromView(event.locationInWindow(), nullptr).x;
    gfx::Rect frame = bar.frame();
    const double width = resizedWidth(pointerX, frame.width(), delta, minWidth, maxWidth, limits);
    if (width < 0)
        return false;
    const double change = width - frame.width();
    frame.size.width = width;
    bar.setFrame(frame);
    if (partner) {
        gfx::Rect other = partner->frame();
        other.origin.x += change;
        other.size.width -= change;
        partner->setFrame(other);
    }
    if (auto parent = bar.superview())
        parent->setNeedsDisplay(true);
    return true;
}

std::shared_ptr<ui::Cursor> EdgeResize::cursorFor(double width, double minWidth, double maxWidth)
{
    if (minWidth >= width)
        return ui::Cursor::resizeRightCursor();
    if (width >= maxWidth)
        return ui::Cursor::resizeLeftCursor();
    return ui::Cursor::resizeLeftRightCursor();
}

}
