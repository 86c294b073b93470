#pragma once

#include "platform/ui/controls/ButtonCell.h"

// The cell of a mini square action button: its image chosen by a type number, its action sent as soon as the mouse
// goes down (so that the action can pop up a menu at once) and again on drags.
class ZORContextMenuButtonCell : public ui::ButtonCell {
    UI_CELL_OBJECT(ZORContextMenuButtonCell)

public:
    // The images by type.
    enum Type { Action = 0, AddAction = 1, AddPlusForScrollbar = 2 };

    ZORContextMenuButtonCell() = default;
    // An image-only, small square add-action button.
    void init();
    // 0 action, 1 add-action (both bordered), 2 the add button of a scroll bar corner (borderless); any other
    // type shows no image.
    void setType(int type);
    // The cell type (text, image) stays settable beside the image type.
    using ui::ButtonCell::setType;

    // Sends the action at once; the mouse counts as handled.
    bool trackMouse(const ui::Event& event, gfx::Rect cellFrame, ui::View& controlView, bool untilMouseUp) override;
};

// A plain button cell that also sends its action as soon as the mouse goes down.
class ZORNewContextMenuButtonCell : public ui::ButtonCell {
    UI_CELL_OBJECT(ZORNewContextMenuButtonCell)

public:
    ZORNewContextMenuButtonCell() = default;
    bool trackMouse(const ui::Event& event, gfx::Rect cellFrame, ui::View& controlView, bool untilMouseUp) override;
};
