#include "frameworks/AppKitExtensions/TBQTextOnPathGlyphAccumulator.h"

#include "frameworks/AppKitExtensions/detail/TextOrientation.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/text/LayoutManager.h"

FND_REGISTER_CLASS(TBQTextOnPathGlyphAccumulator, fnd::Object)

void TBQTextOnPathGlyphAccumulator::layoutManager(
    txt::LayoutManager& layoutManager, std::uint64_t glyphIndex, gfx::Point location, double angle, double yOffset)
{
    auto g = static_cast<fnd::Index>(glyphIndex);
    auto path = gfx::BezierPath::bezierPath();
    gfx::Point laidOut = layoutManager.locationForGlyphAtIndex(g);
    auto glyph = layoutManager.glyphAtIndex(g);
    // The font the glyph was laid out in: a fallback font's glyph numbers mean nothing in the text's own font.
    if (glyph != txt::NullGlyph)
        layoutManager.fontForGlyphAtIndex(g)->appendOutlineOfGlyph(*path, glyph, { 0, yOffset - laidOut.y });
    gfx::AffineTransform placement;
    placement.translateBy(location.x, location.y);
    placement.rotateByRadians(angle);
    // The location is the top of the glyph's line box on the text's side; in a flipped space that side is the
    // normal's other side, and the y-up outline is mirrored to stand upright there.
    if (ZORTextOrientation::isFlipped())
        placement.scaleBy(1, -1);
    path->transformUsingAffineTransform(placement);
    m_glyphs.push_back(std::move(path));
}
