#pragma once

#include "platform/ui/controls/ButtonCell.h"

class KJSplitSubview;

// The cell of a resize button in a pane of a proportional split view: dragging it resizes the pane as if its divider
// were dragged, and dragging it far enough collapses the pane. The image position tells the direction: image right
// (the first pane) grows the pane toward the end of the split axis, image left toward its start.
class ZORSplitSubviewResizeButtonCell : public ui::ButtonCell {
    UI_CELL_OBJECT(ZORSplitSubviewResizeButtonCell)

public:
    ZORSplitSubviewResizeButtonCell() = default;
    void init();

    // The nearest enclosing pane that is a plain KJSplitSubview (a split view does not count).
    static std::shared_ptr<KJSplitSubview> superKJSplitSubviewOfView(const ui::View& view);
    bool trackMouse(const ui::Event& event, gfx::Rect cellFrame, ui::View& controlView, bool untilMouseUp) override;
};
