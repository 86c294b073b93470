#pragma once

#include "platform/ui/views/View.h"

// The grip at one end of a split-view toolbar: three short lines in a grey gradient.
class ZORSplitViewToolbarDraggingHandle : public ui::View {
    FND_OBJECT(ZORSplitViewToolbarDraggingHandle)

public:
    ZORSplitViewToolbarDraggingHandle() = default;
    static std::shared_ptr<ZORSplitViewToolbarDraggingHandle> create(gfx::Rect frame);
    bool isVertical() const { return m_vertical; }
    void setVertical(bool flag);
    // The three lines' rects in the bounds.
    std::vector<gfx::Rect> lineRects() const;
    void drawRect(gfx::Rect dirtyRect) override;

private:
    bool m_vertical { false };
};
