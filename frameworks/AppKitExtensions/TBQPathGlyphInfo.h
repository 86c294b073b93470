#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>

// Where one glyph was placed along a path, as kept in a text-on-path cache.
class TBQPathGlyphInfo : public fnd::Object {
    FND_OBJECT(TBQPathGlyphInfo)
public:
    TBQPathGlyphInfo() = default;
    TBQPathGlyphInfo(std::uint64_t glyphIndex, gfx::Point position, double slope)
        : m_glyphIndex(glyphIndex)
        , m_point(position)
        , m_slope(slope)
    {
    }

    std::uint64_t glyphIndex() const { return m_glyphIndex; }
    gfx::Point point() const { return m_point; }
    // Radians.
    double slope() const { return m_slope; }

private:
    std::uint64_t m_glyphIndex { 0 };
    gfx::Point m_point;
    double m_slope { 0 };
};
