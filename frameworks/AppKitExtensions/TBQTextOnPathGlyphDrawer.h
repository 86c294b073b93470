#pragma once

#include "frameworks/AppKitExtensions/TextOnPathPlacement.h"
#include "platform/foundation/runtime/Object.h"

// Draws each glyph placed (its background, then the glyph) in the current context, turned onto the path.
class TBQTextOnPathGlyphDrawer : public fnd::Object, public TextOnPathPlacement {
    FND_OBJECT(TBQTextOnPathGlyphDrawer)
public:
    TBQTextOnPathGlyphDrawer() = default;

    void layoutManager(txt::LayoutManager& layoutManager, std::uint64_t glyphIndex, gfx::Point location, double angle,
        double yOffset) override;
};
