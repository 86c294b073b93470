#include "platform/graphics/detail/GlyphRaster.h"

#include "platform/graphics/detail/FontFace.h"

#include <cmath>
#include <map>
#include <string>
#include <unordered_map>

namespace gfx::detail {

struct GlyphRasters::State {
    FT_Library library { nullptr };
    FT_Face face { nullptr };
    // Key: glyph, size in 1/64 pixels, hinting, antialiasing.
    std::unordered_map<std::uint64_t, RasterGlyph> glyphs;
    std::uint32_t currentSize { 0 };

    ~State()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

namespace {

// Emptied when it holds more glyphs than this.
constexpr std::size_t GlyphRasterLimit = 16 * 1024;

FT_Int32 glyphRasterLoadFlags(TextRenderingOptions options)
{
    FT_Int32 flags = FT_LOAD_NO_BITMAP;
    if (!options.antialias)
        return flags | (options.hinting == TextHinting::None ? FT_LOAD_NO_HINTING : FT_LOAD_TARGET_MONO);
    switch (options.hinting) {
    case TextHinting::None:
        return flags | FT_LOAD_NO_HINTING;
    case TextHinting::Slight:
        return flags | FT_LOAD_TARGET_LIGHT;
    case TextHinting::Medium:
    case TextHinting::Full:
        return flags | FT_LOAD_TARGET_NORMAL;
    }
    return flags;
}

}

GlyphRasters::GlyphRasters(const FontFace& face)
    : m_state(std::make_shared<State>())
{
    // A library and face of its own: FreeType objects are not shared between threads, and this one is used under
    // this object's lock alone.
    if (FT_Init_FreeType(&m_state->library) == 0)
        if (FT_New_Face(m_state->library, face.info().file.c_str(), face.info().index, &m_state->face) != 0)
            m_state->face = nullptr;
}

GlyphRasters& GlyphRasters::forFace(const FontFace& face)
{
    static std::mutex mutex;
    static auto* all = new std::map<std::pair<std::string, int>, GlyphRasters*>;
    std::lock_guard guard(mutex);
    auto& rasters = (*all)[{ face.info().file, face.info().index }];
    if (!rasters)
        rasters = new GlyphRasters(face);
    return *rasters;
}

const RasterGlyph* GlyphRasters::glyph(Glyph glyph, double pixelSize, TextRenderingOptions options)
{
    auto& s = *m_state;
    if (!s.face || !(pixelSize > 0) || pixelSize > LargestPixelSize)
        return nullptr;
    const auto size = static_cast<std::uint32_t>(std::lround(pixelSize * 64));
    const std::uint64_t key = std::uint64_t(glyph) | std::uint64_t(size) << 32 | std::uint64_t(options.hinting) << 56
        | std::uint64_t(options.antialias) << 60;
    if (auto found = s.glyphs.find(key); found != s.glyphs.end())
        return &found->second;
    if (s.glyphs.size() >= GlyphRasterLimit)
        s.glyphs.clear();
    if (s.currentSize != size) {
        if (FT_Set_Char_Size(s.face, 0, FT_F26Dot6(size), 72, 72) != 0)
            return nullptr;
        s.currentSize = size;
    }
    if (FT_Load_Glyph(s.face, glyph, glyphRasterLoadFlags(options)) != 0)
        return nullptr;
    FT_GlyphSlot slot = s.face->glyph;
    const FT_Render_Mode mode = !options.antialias ? FT_RENDER_MODE_MONO
        : options.hinting == TextHinting::Slight   ? FT_RENDER_MODE_LIGHT
                                                   : FT_RENDER_MODE_NORMAL;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, mode) != 0)
        return nullptr;
    const FT_Bitmap& bitmap = slot->bitmap;
    RasterGlyph raster;
    raster.left = slot->bitmap_left;
    raster.top = slot->bitmap_top;
    raster.width = int(bitmap.width);
    raster.height = int(bitmap.rows);
    raster.coverage.resize(std::size_t(raster.width) * std::size_t(raster.height));
    for (int y = 0; y < raster.height; ++y) {
        const unsigned char* row = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
        for (int x = 0; x < raster.width; ++x) {
            std::uint8_t value;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                value = (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
            else
                value = row[x];
            raster.coverage[std::size_t(y) * std::size_t(raster.width) + std::size_t(x)] = value;
        }
    }
    return &s.glyphs.emplace(key, std::move(raster)).first->second;
}

}
