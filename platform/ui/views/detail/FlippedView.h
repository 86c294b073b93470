#pragma once

#include "platform/ui/views/View.h"

namespace ui::detail {

// A plain container laid out from the top left, as the platform's panels are.
class FlippedView : public View {
    FND_OBJECT(FlippedView)
public:
    static std::shared_ptr<FlippedView> create(gfx::Rect frame);
    bool isFlipped() const override { return true; }
};

}
