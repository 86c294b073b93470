#pragma once

#include "frameworks/proportional-split-view/ZORSplitSubviewResizeButtonCell.h"

#include "platform/ui/controls/Button.h"

// A small button in a pane of a proportional split view (typically in a bar at the pane's edge) that resizes the
// pane when dragged; its cell does the work.
class ZORSplitSubviewResizeButton : public ui::Button {
    FND_OBJECT(ZORSplitSubviewResizeButton)

public:
    ZORSplitSubviewResizeButton() = default;
    static std::shared_ptr<ZORSplitSubviewResizeButton> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    std::shared_ptr<ui::Cell> makeCell() const override;
    // The image points away from the pane's divider: right in the first pane, left in the others.
    void awakeFromNib() override;
};
