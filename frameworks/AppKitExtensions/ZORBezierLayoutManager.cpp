#include "frameworks/AppKitExtensions/ZORBezierLayoutManager.h"

#include "platform/graphics/AffineTransform.h"
#include "platform/text/TextContainer.h"

FND_REGISTER_CLASS(ZORBezierLayoutManager, txt::LayoutManager)

ZORBezierLayoutManager::ZORBezierLayoutManager()
    : m_path(gfx::BezierPath::bezierPath())
{
}

std::vector<std::shared_ptr<gfx::BezierPath>> ZORBezierLayoutManager::glyphPathsForContainer(
    const txt::TextContainer& container, gfx::Size* usedSize)
{
    std::vector<std::shared_ptr<gfx::BezierPath>> paths;
    auto range = glyphRangeForTextContainer(container);
    if (range.location == fnd::NotFound)
        range = { 0, 0 };
    fnd::Index index = range.location;
    while (index < range.max()) {
        fnd::Range fragment;
        const gfx::Rect fragmentRect = lineFragmentRectForGlyphAtIndex(index, &fragment);
        fnd::Index end = std::min(std::max(fragment.max(), index + 1), range.max());
        for (fnd::Index glyphIndex = index; glyphIndex < end; ++glyphIndex) {
            auto path = gfx::BezierPath::bezierPath();
            // Locations are relative to their line fragment: with its origin added, later lines lie below the
            // first instead of on it.
            auto location = locationForGlyphAtIndex(glyphIndex);
            gfx::Point p { location.x + fragmentRect.minX(), location.y + fragmentRect.minY() };
            auto glyph = glyphAtIndex(glyphIndex);
            // The font the glyph was laid out in: a fallback font's glyph numbers mean nothing in the text's font.
            if (glyph != txt::NullGlyph)
                fontForGlyphAtIndex(glyphIndex)->appendOutlineOfGlyph(*path, glyph, p);
            if (m_shouldFlip) {
                gfx::AffineTransform mirror;
                mirror.translateBy(p.x, p.y);
                mirror.scaleBy(1, -1);
                mirror.translateBy(-p.x, -p.y);
                path->transformUsingAffineTransform(mirror);
            }
            paths.push_back(std::move(path));
        }
        index = end;
    }
    if (usedSize)
        *usedSize = usedRectForTextContainer(container).size;
    return paths;
}

void ZORBezierLayoutManager::showCGGlyphs(std::span<const gfx::Glyph> glyphs, std::span<const gfx::Point> positions,
    const std::shared_ptr<gfx::Font>& font, const gfx::AffineTransform&, const txt::Attributes&, gfx::GraphicsContext*)
{
    if (!font)
        return;
    for (std::size_t i = 0; i < glyphs.size() && i < positions.size(); ++i)
        font->appendOutlineOfGlyph(*m_path, glyphs[i], positions[i]);
}

void ZORBezierLayoutManager::drawUnderlineForGlyphRange(
    fnd::Range, int, double, const gfx::Rect&, fnd::Range, gfx::Point)
{
}

void ZORBezierLayoutManager::drawStrikethroughForGlyphRange(
    fnd::Range, int, double, const gfx::Rect&, fnd::Range, gfx::Point)
{
}
