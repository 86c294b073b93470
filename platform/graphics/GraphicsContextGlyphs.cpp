// Glyph runs: FreeType rasterises each glyph once per size and transform (Cairo keeps the bitmaps), with the
// desktop's hinting and antialiasing; PDF and EPS documents embed the font, so their text stays text.

#include "platform/graphics/detail/GraphicsContextImpl.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/TextRendering.h"
#include "platform/graphics/detail/FontFace.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace gfx {

namespace {

// Cairo's face for a font file. Cairo opens the file with a FreeType face of its own, so its rasterising never
// shares a face with the outline and metrics code (FreeType faces are not thread-safe). Kept for the process: there
// is one per installed face at most.
cairo_font_face_t* glyphsCairoFace(const detail::FontFace& face)
{
    static std::mutex mutex;
    static auto* faces = new std::map<std::pair<std::string, int>, cairo_font_face_t*>;
    std::lock_guard lock(mutex);
    auto key = std::pair(face.info().file, face.info().index);
    if (auto found = faces->find(key); found != faces->end())
        return found->second;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(key.first.c_str()));
    FcPatternAddInteger(pattern, FC_INDEX, key.second);
    cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_pattern(pattern);
    FcPatternDestroy(pattern);
    if (cairo_font_face_status(cairoFace) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(cairoFace);
        cairoFace = nullptr;
    }
    (*faces)[key] = cairoFace;
    return cairoFace;
}

cairo_hint_style_t glyphsHintStyle(TextHinting hinting)
{
    switch (hinting) {
    case TextHinting::None:
        return CAIRO_HINT_STYLE_NONE;
    case TextHinting::Slight:
        return CAIRO_HINT_STYLE_SLIGHT;
    case TextHinting::Medium:
        return CAIRO_HINT_STYLE_MEDIUM;
    case TextHinting::Full:
        return CAIRO_HINT_STYLE_FULL;
    }
    return CAIRO_HINT_STYLE_SLIGHT;
}

// Cairo's options for each rendering choice, made once: a run of glyphs is drawn for every label.
cairo_font_options_t* glyphsFontOptions(TextRenderingOptions rendering, bool contextAntialias)
{
    static std::mutex mutex;
    static auto* made = new std::map<std::tuple<bool, int>, cairo_font_options_t*>;
    const bool antialias = rendering.antialias && contextAntialias;
    std::lock_guard lock(mutex);
    auto& options = (*made)[{ antialias, static_cast<int>(rendering.hinting) }];
    if (!options) {
        options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(options, glyphsHintStyle(rendering.hinting));
        // Positions are ours (unhinted advances); hinting only shapes the glyphs.
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    }
    return options;
}

}

void GraphicsContext::showGlyphs(const Font& font, std::span<const Glyph> glyphs, std::span<const Point> positions,
    const AffineTransform& glyphToUser)
{
    auto& i = *m_impl;
    const std::size_t count = std::min(glyphs.size(), positions.size());
    if (!i.isLive() || count == 0 || !font.face())
        return;
    if (i.abandonsCapture())
        return;
    if (i.showGlyphsDirectly(font, glyphs.first(count), positions.first(count), glyphToUser))
        return;
    cairo_font_face_t* face = glyphsCairoFace(*font.face());
    if (!face)
        return;
    std::vector<cairo_glyph_t> run;
    run.reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        run.push_back({ glyphs[k], positions[k].x, positions[k].y });
    // Cairo's glyph space is y down, ours y up: the font matrix flips it before the caller's map.
    const double s = font.pointSize();
    const cairo_matrix_t fontMatrix { s * glyphToUser.m11, s * glyphToUser.m12, -s * glyphToUser.m21,
        -s * glyphToUser.m22, 0, 0 };
    if (!std::isfinite(fontMatrix.xx * fontMatrix.yy - fontMatrix.xy * fontMatrix.yx)
        || fontMatrix.xx * fontMatrix.yy - fontMatrix.xy * fontMatrix.yx == 0)
        return;
    const auto rendering = desktopTextRendering();
    cairo_font_options_t* options = glyphsFontOptions(rendering, i.state().antialias);
    const auto fill = i.state().fill;
    const Color& color = *fill;
    i.render([&](cairo_t* c, cairo_operator_t op) {
        i.setSource(c, color);
        cairo_set_operator(c, op);
        cairo_set_font_face(c, face);
        cairo_set_font_matrix(c, &fontMatrix);
        cairo_set_font_options(c, options);
        if (isUnbounded(op)) {
            // The platform changes only what the glyphs cover.
            cairo_save(c);
            cairo_new_path(c);
            cairo_glyph_path(c, run.data(), static_cast<int>(run.size()));
            cairo_clip(c);
            cairo_paint(c);
            cairo_restore(c);
        } else {
            cairo_show_glyphs(c, run.data(), static_cast<int>(run.size()));
        }
    });
}

}
