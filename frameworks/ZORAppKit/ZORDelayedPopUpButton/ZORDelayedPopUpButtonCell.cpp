#include "frameworks/ZORAppKit/ZORDelayedPopUpButton/ZORDelayedPopUpButtonCell.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/View.h"

FND_REGISTER_CLASS(ZORDelayedPopUpButtonCell, ui::ButtonCell)

gfx::Point ZORDelayedPopUpButtonCell::menuPositionForFrame(gfx::Rect frame, ui::View& view) const
{
    auto origin = view.convertPointToView(frame.origin, nullptr);
    return { origin.x + 1, origin.y - (frame.height() + 5.5) };
}

void ZORDelayedPopUpButtonCell::showMenuForEvent(const ui::Event& event, ui::View& controlView, gfx::Rect cellFrame)
{
    auto at = ui::Event::mouseEventWithType(event.type(), menuPositionForFrame(cellFrame, controlView),
        event.modifierFlags(), event.timestamp(), event.windowNumber(), event.eventNumber(), event.clickCount(),
        event.pressure());
    ui::Menu::popUpContextMenu(menu(), *at, controlView);
}

bool ZORDelayedPopUpButtonCell::trackMouse(
    const ui::Event& event, gfx::Rect cellFrame, ui::View& controlView, bool untilMouseUp)
{
    auto self = shared_from_this(); // the action may drop the control and its cell
    auto view = controlView.shared_from_this();
    auto& app = ui::Application::shared();
    auto last = controlView.convertPointFromView(event.locationInWindow(), nullptr);
    bool tracking = startTrackingAt(last, controlView);
    bool mouseIsUp = false;
    bool result = false;
    for (bool done = false; !done;) {
        // With a menu, holding still past the delay opens it; a click shorter than that is a plain click.
        auto until = menu() ? fnd::Clock::current()->now().addingTimeInterval(m_holdDelay) : fnd::Date::distantFuture();
        auto next = app.nextEvent(ui::EventMasks::LeftMouseUp | ui::EventMasks::LeftMouseDragged, until,
            fnd::RunLoopMode::EventTracking, true);
        if (!next) {
            if (!menu())
                return false; // no more input will come
            showMenuForEvent(event, controlView, cellFrame);
            return true;
        }
        auto point = controlView.convertPointFromView(next->locationInWindow(), nullptr);
        if (tracking) {
            tracking = continueTracking(last, point, controlView);
            if (!tracking) {
                stopTracking(last, point, controlView, mouseIsUp);
                return false;
            }
            if (isContinuous())
                app.sendAction(action(), target(), controlView.selfValue());
        }
        mouseIsUp = next->type() == ui::EventType::LeftMouseUp;
        result = mouseIsUp;
        done = mouseIsUp;
        if (!untilMouseUp) {
            result = controlView.mouseInRect(point, cellFrame);
            done = done || !result;
        }
        if (done && result && !isContinuous())
            app.sendAction(action(), target(), controlView.selfValue());
        last = point;
    }
    if (tracking)
        stopTracking(last, last, controlView, mouseIsUp);
    return result;
}
