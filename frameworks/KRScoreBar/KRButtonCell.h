#pragma once

#include "platform/ui/controls/ButtonCell.h"

// The item button of a scope bar: shows selection and hover with a white, shadowed bold title.
class KRButtonCell : public ui::ButtonCell {
    UI_CELL_OBJECT(KRButtonCell)

public:
    KRButtonCell() = default;
    bool isSelected() const { return m_selected; }
    void setSelected(bool flag) { m_selected = flag; }
    bool isMouseOver() const { return m_mouseOver; }
    void setMouseOver(bool flag) { m_mouseOver = flag; }

    void setState(ui::ControlStateValue state) override;
    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;
    gfx::Rect drawTitle(const txt::AttributedString& title, gfx::Rect frame, ui::View& controlView) override;

private:
    bool m_selected { false };
    bool m_mouseOver { false };
};
