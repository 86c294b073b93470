#pragma once

#include "frameworks/AppKitExtensions/TextOnPathPlacement.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/BezierPath.h"

#include <memory>
#include <vector>

// Collects the outline of every glyph placed, moved and turned onto the path: upright in the current context's
// orientation (y up without one), its baseline yOffset from the path on the text's side.
class TBQTextOnPathGlyphAccumulator : public fnd::Object, public TextOnPathPlacement {
    FND_OBJECT(TBQTextOnPathGlyphAccumulator)
public:
    TBQTextOnPathGlyphAccumulator() = default;

    const std::vector<std::shared_ptr<gfx::BezierPath>>& glyphs() const { return m_glyphs; }

    void layoutManager(txt::LayoutManager& layoutManager, std::uint64_t glyphIndex, gfx::Point location, double angle,
        double yOffset) override;

private:
    std::vector<std::shared_ptr<gfx::BezierPath>> m_glyphs;
};
