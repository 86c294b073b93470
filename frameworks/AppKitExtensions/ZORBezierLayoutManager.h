#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/text/LayoutManager.h"

#include <memory>
#include <vector>

namespace txt {
class TextContainer;
}

// A layout manager that turns laid-out text into outlines, so drawings of it need no fonts: one path per glyph, or
// everything glyph drawing would show gathered into one path.
class ZORBezierLayoutManager : public txt::LayoutManager {
    FND_OBJECT(ZORBezierLayoutManager)
public:
    ZORBezierLayoutManager();

    // One path per glyph of the container, in glyph order, each at the glyph's location in its line fragment and,
    // with shouldFlip, mirrored vertically about that location (for y-down drawing). A glyph without an outline
    // (a space, a trailing unit of a character) gives an empty path. usedSize receives the container's used size.
    std::vector<std::shared_ptr<gfx::BezierPath>> glyphPathsForContainer(
        const txt::TextContainer& container, gfx::Size* usedSize = nullptr);

    // What glyph drawing gathered.
    const std::shared_ptr<gfx::BezierPath>& textPath() const { return m_path; }
    bool shouldFlip() const { return m_shouldFlip; }
    void setShouldFlip(bool flag) { m_shouldFlip = flag; }

    // Appends the glyphs' outlines, each at its own position, to textPath instead of drawing.
    void showCGGlyphs(std::span<const gfx::Glyph> glyphs, std::span<const gfx::Point> positions,
        const std::shared_ptr<gfx::Font>& font, const gfx::AffineTransform& matrix, const txt::Attributes& attributes,
        gfx::GraphicsContext* context) override;
    // Lines are not part of the outlines.
    void drawUnderlineForGlyphRange(fnd::Range glyphRange, int underlineType, double baselineOffset,
        const gfx::Rect& lineFragmentRect, fnd::Range lineFragmentGlyphRange, gfx::Point containerOrigin) override;
    void drawStrikethroughForGlyphRange(fnd::Range glyphRange, int strikethroughType, double baselineOffset,
        const gfx::Rect& lineFragmentRect, fnd::Range lineFragmentGlyphRange, gfx::Point containerOrigin) override;

private:
    std::shared_ptr<gfx::BezierPath> m_path;
    bool m_shouldFlip { true };
};
