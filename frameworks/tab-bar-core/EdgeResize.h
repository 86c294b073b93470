#pragma once

#include <memory>

namespace ui {
class Cursor;
class Event;
class View;
}

// Resizing a vertical tab bar by dragging its trailing edge: the bar widens or narrows by the pointer's move and the
// view beside it (when there is one) gives or takes the same room.
namespace tbcore {

class EdgeResize {
public:
    // Whether a width equal to a limit is still allowed.
    enum class Limits { Inclusive, Exclusive };

    // The press on the edge starts the resize.
    void begin(const ui::Event& mouseDown);
    // One move of the pressed pointer: resizes the bar (the pointer's x in the bar's coordinates) when the move pulls
    // the edge toward the pointer (outward while the pointer is past the edge, inward while it is inside the bar)
    // and the new width stays within the limits. Answers whether the bar changed.
    bool drag(
        ui::View& bar, ui::View* partner, const ui::Event& event, double minWidth, double maxWidth, Limits limits);

    // The width a move asks for, or a negative number when the move leaves the bar as it is.
    static double resizedWidth(double pointerX, double width, double delta, double minWidth, double maxWidth, Limits);
    // The cursor over the edge: only wider at the minimum, only narrower at the maximum, else both ways.
    static std::shared_ptr<ui::Cursor> cursorFor(double width, double minWidth, double maxWidth);

private:
    // The horizontal move since the previous event: the event's own delta, or (a backend that leaves it out) the
    // difference of the window locations.
    double deltaOf(const ui::Event& event);

    double m_lastWindowX { 0 };
};

}
