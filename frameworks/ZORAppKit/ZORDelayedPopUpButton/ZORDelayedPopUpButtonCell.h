#pragma once

#include "platform/ui/controls/ButtonCell.h"

// A button cell that shows its menu when the mouse is pressed on it and held still for a moment, and otherwise acts
// as an ordinary button: a click shorter than the hold delay sends the action. A cell without a menu never waits.
class ZORDelayedPopUpButtonCell : public ui::ButtonCell {
    UI_CELL_OBJECT(ZORDelayedPopUpButtonCell)

public:
    static constexpr double DefaultHoldDelay = 0.5;

    ZORDelayedPopUpButtonCell() = default;

    // How long the mouse must be held still before the menu opens (seconds).
    double holdDelay() const { return m_holdDelay; }
    void setHoldDelay(double seconds) { m_holdDelay = seconds < 0 ? 0 : seconds; }

    // Where the menu's top left goes (window coordinates): a point in from the frame's left edge and 5.5 points
    // below its bottom.
    gfx::Point menuPositionForFrame(gfx::Rect frame, ui::View& view) const;
    // Pops the menu up there, as the event would.
    void showMenuForEvent(const ui::Event& event, ui::View& controlView, gfx::Rect cellFrame);
    bool trackMouse(const ui::Event& event, gfx::Rect cellFrame, ui::View& controlView, bool untilMouseUp) override;

private:
    double m_holdDelay { DefaultHoldDelay };
};
