#pragma once

// Private to the graphics module: glyphs rasterised by FreeType at a pixel size, kept for drawing text straight into
// pixels.

#include "platform/graphics/Font.h"
#include "platform/graphics/TextRendering.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace gfx::detail {

class FontFace;

// A glyph's coverage (one byte a pixel, rows top first) and where it sits from the glyph's origin on the baseline:
// left pixels to the right, top pixels up.
struct RasterGlyph {
    int left { 0 };
    int top { 0 };
    int width { 0 };
    int height { 0 };
    std::vector<std::uint8_t> coverage;
};

// The rasterised glyphs of one face, per size and rendering choice. FreeType renders them with its own face for
// the file (never the one the outline code uses), as Cairo's FreeType backend would: light hinting for slight,
// full for medium and full, none when asked, monochrome without antialiasing.
class GlyphRasters {
public:
    static GlyphRasters& forFace(const FontFace& face);

    // Hold the lock while using what glyph() returns: a full cache is emptied under it.
    std::unique_lock<std::mutex> lock() { return std::unique_lock(m_mutex); }
    // nullptr when FreeType cannot render it; a glyph without ink (a space) has no pixels.
    const RasterGlyph* glyph(Glyph glyph, double pixelSize, TextRenderingOptions options);

    // Sizes up to this many pixels are kept; larger text is Cairo's to draw.
    static constexpr double LargestPixelSize = 96;

    struct State;

private:
    explicit GlyphRasters(const FontFace& face);
    std::mutex m_mutex;
    std::shared_ptr<State> m_state;
};

}
