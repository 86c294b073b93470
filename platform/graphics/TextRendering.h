#pragma once

namespace gfx {

// How glyphs are rasterised for screens and bitmaps. Documents (PDF, EPS) embed the fonts instead.
enum class TextHinting { None = 0, Slight = 1, Medium = 2, Full = 3 };

struct TextRenderingOptions {
    bool antialias { true };
    TextHinting hinting { TextHinting::Slight };

    constexpr bool operator==(const TextRenderingOptions&) const = default;
};

// The desktop's choice: what fontconfig's configuration says for the sans-serif face, read on first use, unless the
// window backend has announced the desktop's own font settings since. Coverage is always greyscale: subpixel
// colour fringes would be wrong on the transparent layers and bitmaps text is also drawn into.
TextRenderingOptions desktopTextRendering();
void setDesktopTextRendering(TextRenderingOptions options);

}
