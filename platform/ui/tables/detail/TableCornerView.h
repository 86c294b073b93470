#pragma once

#include "platform/ui/views/View.h"

namespace ui::detail {

// The square above a table's vertical scroller, beside its header: the header strip continued.
class TableCornerView : public View {
    FND_OBJECT(TableCornerView)
public:
    static std::shared_ptr<TableCornerView> create(gfx::Rect frame = { 0, 0, 15, 22 });
    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
};

}
