#include "platform/text/detail/Shaping.h"

#include "platform/text/detail/Doorkeeper.h"

#include "platform/graphics/detail/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <hb.h>
#include <unicode/ubidi.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>

#include <bit>
#include <cstdint>
#include <map>
#include <mutex>
#include <unordered_map>

namespace txt::detail {

namespace {

struct HbFontDeleter {
    void operator()(hb_font_t* font) const { hb_font_destroy(font); }
};
using HbFont = std::unique_ptr<hb_font_t, HbFontDeleter>;

// One HarfBuzz font per face, at design units; shaping results are scaled to the point size. HarfBuzz fonts are
// immutable once made, so shaping with one from several threads is safe.
hb_font_t* harfBuzzFont(const gfx::detail::FontFace& face)
{
    static std::mutex mutex;
    static std::map<std::pair<std::string, int>, HbFont> fonts;
    std::lock_guard lock(mutex);
    auto key = std::pair(face.info().file, face.info().index);
    auto at = fonts.find(key);
    if (at != fonts.end())
        return at->second.get();
    hb_blob_t* blob = hb_blob_create_from_file_or_fail(face.info().file.c_str());
    if (!blob)
        blob = hb_blob_get_empty();
    hb_face_t* hbFace = hb_face_create(blob, static_cast<unsigned>(face.info().index));
    hb_blob_destroy(blob);
    hb_font_t* font = hb_font_create(hbFace);
    hb_face_destroy(hbFace);
    int upem = static_cast<int>(face.unitsPerEm());
    hb_font_set_scale(font, upem, upem);
    hb_font_make_immutable(font);
    return fonts.emplace(key, HbFont(font)).first->second.get();
}

}

namespace {

std::vector<ShapedGlyph> shapeWithHarfBuzz(
    const gfx::Font& font, std::u16string_view text, std::size_t start, std::size_t length, bool rightToLeft);

// HarfBuzz looks at no more than this many characters (code points) of context on either side of what it shapes.
constexpr int ShapingContext = 5;

bool isTrailingSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The units of the context before start and after end: ShapingContext characters each way, a surrogate pair
// counting once.
std::pair<std::size_t, std::size_t> shapingContext(std::u16string_view text, std::size_t start, std::size_t end)
{
    std::size_t from = start;
    for (int n = 0; n < ShapingContext && from > 0; ++n) {
        --from;
        if (from > 0 && isTrailingSurrogate(text[from]))
            --from;
    }
    std::size_t to = end;
    for (int n = 0; n < ShapingContext && to < text.size(); ++n) {
        ++to;
        if (to < text.size() && isTrailingSurrogate(text[to]))
            ++to;
    }
    return { start - from, to - end };
}

// What a run's shaping depends on, as one string: the face, the size, the direction, where the run starts and ends
// in the context, and the context; with its hash, worked out once.
struct ShapedRunKey {
    std::u16string units;
    std::size_t hash { 0 };
};

struct ShapedRunKeyView {
    std::u16string_view units;
    std::size_t hash;
};

struct ShapedRunKeyHash {
    using is_transparent = void;
    std::size_t operator()(const ShapedRunKey& key) const { return key.hash; }
    std::size_t operator()(const ShapedRunKeyView& key) const { return key.hash; }
};

struct ShapedRunKeyEqual {
    using is_transparent = void;
    template <typename A, typename B> bool operator()(const A& a, const B& b) const
    {
        return a.hash == b.hash && std::u16string_view(a.units) == std::u16string_view(b.units);
    }
};

// Made in a buffer of the thread's: most runs of a scrolled grid are met once, and cost no allocation for it.
ShapedRunKeyView shapedRunKey(
    const gfx::Font& font, bool rightToLeft, std::size_t before, std::size_t length, std::u16string_view context)
{
    thread_local std::u16string key;
    key.clear();
    auto append = [&](std::uint64_t bits) {
        for (int i = 0; i < 4; ++i)
            key.push_back(static_cast<char16_t>(bits >> (16 * i)));
    };
    append(reinterpret_cast<std::uintptr_t>(font.face().get()));
    append(std::bit_cast<std::uint64_t>(font.pointSize()));
    key.push_back(rightToLeft ? u'r' : u'l');
    key.push_back(static_cast<char16_t>(before));
    append(length);
    key.append(context);
    return { key, std::hash<std::u16string_view>()(key) };
}

// Shaped runs by face, size, direction and text with its context, per thread: a cell or field drawn again, or a
// word met again, is not shaped again. Emptied when it holds too many.
class ShapedRunCache {
public:
    static ShapedRunCache& forThread()
    {
        thread_local ShapedRunCache cache;
        return cache;
    }
    // Clusters relative to the start of the context. A run met for the first time is not looked for.
    const std::vector<ShapedGlyph>* find(const ShapedRunKeyView& key)
    {
        m_firstSighting = !m_seen.admits(key.hash);
        if (m_firstSighting)
            return nullptr;
        auto at = m_runs.find(key);
        return at == m_runs.end() ? nullptr : &at->second;
    }
    void clear()
    {
        m_runs.clear();
        m_seen.clear();
    }
    std::size_t count() const { return m_runs.size(); }
    // Kept from the second time a run is met.
    void insert(const ShapedRunKeyView& key, const std::vector<ShapedGlyph>& glyphs)
    {
        if (m_firstSighting)
            return;
        if (m_runs.size() >= MaximumRuns)
            m_runs.clear();
        m_runs.emplace(ShapedRunKey { std::u16string(key.units), key.hash }, glyphs);
    }

private:
    static constexpr std::size_t MaximumRuns = 16384;
    std::unordered_map<ShapedRunKey, std::vector<ShapedGlyph>, ShapedRunKeyHash, ShapedRunKeyEqual> m_runs;
    Doorkeeper m_seen;
    bool m_firstSighting { false }; // of the run last looked for
};

}

void forgetShapedRuns()
{
    ShapedRunCache::forThread().clear();
}

std::size_t shapedRunCount()
{
    return ShapedRunCache::forThread().count();
}

std::vector<ShapedGlyph> shapeText(
    const gfx::Font& font, std::u16string_view text, std::size_t start, std::size_t length, bool rightToLeft)
{
    if (length == 0 || !font.face())
        return {};
    const auto [before, after] = shapingContext(text, start, std::min(text.size(), start + length));
    const std::size_t from = start - before;
    const auto key = shapedRunKey(font, rightToLeft, before, length, text.substr(from, before + length + after));
    auto& cache = ShapedRunCache::forThread();
    std::vector<ShapedGlyph> result;
    if (auto* known = cache.find(key)) {
        result = *known;
    } else {
        result = shapeWithHarfBuzz(font, text.substr(from, before + length + after), before, length, rightToLeft);
        cache.insert(key, result);
    }
    for (auto& glyph : result)
        glyph.cluster += static_cast<std::uint32_t>(from);
    return result;
}

namespace {

const hb_feature_t ShapingFeatures[] = {
    { HB_TAG('l', 'i', 'g', 'a'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END },
    { HB_TAG('c', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END },
    { HB_TAG('d', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END },
};

// The shaping plan of a face for a direction, script and language, made once per thread: looking it up in
// HarfBuzz's own cache for every run (as hb_shape does) took as long as shaping a short label.
hb_shape_plan_t* shapePlan(hb_face_t* face, const hb_segment_properties_t& properties)
{
    struct Plan {
        hb_face_t* face;
        hb_segment_properties_t properties;
        hb_shape_plan_t* plan;
    };
    struct Plans {
        std::vector<Plan> made;
        ~Plans()
        {
            for (auto& p : made)
                hb_shape_plan_destroy(p.plan);
        }
    };
    thread_local Plans plans;
    for (const auto& p : plans.made)
        if (p.face == face && hb_segment_properties_equal(&p.properties, &properties))
            return p.plan;
    hb_shape_plan_t* plan
        = hb_shape_plan_create_cached(face, &properties, ShapingFeatures, std::size(ShapingFeatures), nullptr);
    plans.made.push_back({ face, properties, plan });
    return plan;
}

std::vector<ShapedGlyph> shapeWithHarfBuzz(
    const gfx::Font& font, std::u16string_view text, std::size_t start, std::size_t length, bool rightToLeft)
{
    std::vector<ShapedGlyph> result;
    hb_font_t* hbFont = harfBuzzFont(*font.face());
    // One buffer per thread, emptied for each run: its storage stays allocated.
    struct Buffer {
        hb_buffer_t* buffer { hb_buffer_create() };
        ~Buffer() { hb_buffer_destroy(buffer); }
    };
    thread_local Buffer reused;
    hb_buffer_t* buffer = reused.buffer;
    hb_buffer_clear_contents(buffer);
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text.data()), static_cast<int>(text.size()),
        static_cast<unsigned>(start), static_cast<int>(length));
    hb_buffer_set_direction(buffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer);
    hb_segment_properties_t properties;
    hb_buffer_get_segment_properties(buffer, &properties);
    hb_shape_plan_execute(
        shapePlan(hb_font_get_face(hbFont), properties), hbFont, buffer, ShapingFeatures, std::size(ShapingFeatures));
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    const double scale = font.pointSize() / font.face()->unitsPerEm();
    result.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        result.push_back({ infos[i].codepoint, infos[i].cluster, positions[i].x_advance * scale,
            positions[i].x_offset * scale, positions[i].y_offset * scale });
    hb_buffer_clear_contents(buffer);
    return result;
}

}

std::shared_ptr<gfx::Font> fallbackFontForCharacter(const gfx::Font& font, char32_t character)
{
    // Which family has the character does not depend on the size: remember the name per character.
    static std::mutex mutex;
    static std::map<char32_t, std::string> names;
    std::string name;
    {
        std::lock_guard lock(mutex);
        auto at = names.find(character);
        if (at != names.end()) {
            name = at->second;
        } else {
            FcPattern* pattern = FcPatternCreate();
            FcCharSet* charset = FcCharSetCreate();
            FcCharSetAddChar(charset, character);
            FcPatternAddCharSet(pattern, FC_CHARSET, charset);
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.familyName().utf8().c_str()));
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            FcFontSet* set = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
            if (set) {
                for (int i = 0; i < set->nfont && name.empty(); ++i) {
                    FcCharSet* has = nullptr;
                    FcChar8* postScriptName = nullptr;
                    if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &has) == FcResultMatch
                        && FcCharSetHasChar(has, character)
                        && FcPatternGetString(set->fonts[i], FC_POSTSCRIPT_NAME, 0, &postScriptName) == FcResultMatch)
                        name = reinterpret_cast<const char*>(postScriptName);
                }
                FcFontSetDestroy(set);
            }
            FcCharSetDestroy(charset);
            FcPatternDestroy(pattern);
            names.emplace(character, name);
        }
    }
    if (name.empty())
        return nullptr;
    auto fallback = gfx::Font::fontWithName(fnd::String(name), font.pointSize());
    if (!fallback || fallback->isFallback() || fallback->glyphForCharacter(character) == 0)
        return nullptr;
    return fallback;
}

std::vector<bool> lineBreakOpportunities(std::u16string_view text)
{
    std::vector<bool> result(text.size() + 1, false);
    result[0] = true;
    result[text.size()] = true;
    if (text.empty())
        return result;
    // Opening an ICU line iterator loads its rules (tens of microseconds); one per thread takes each text in turn.
    struct LineIterator {
        UBreakIterator* iterator { nullptr };
        LineIterator()
        {
            UErrorCode status = U_ZERO_ERROR;
            iterator = ubrk_open(UBRK_LINE, "", nullptr, 0, &status);
            if (U_FAILURE(status))
                iterator = nullptr;
        }
        ~LineIterator()
        {
            if (iterator)
                ubrk_close(iterator);
        }
    };
    thread_local LineIterator line;
    if (!line.iterator)
        return result;
    UErrorCode status = U_ZERO_ERROR;
    ubrk_setText(line.iterator, text.data(), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return result;
    for (int32_t at = ubrk_first(line.iterator); at != UBRK_DONE; at = ubrk_next(line.iterator))
        result[static_cast<std::size_t>(at)] = true;
    // The iterator must not keep pointing at the caller's text.
    ubrk_setText(line.iterator, nullptr, 0, &status);
    return result;
}

BidiLevels bidiLevels(std::u16string_view paragraph)
{
    BidiLevels result;
    result.levels.assign(paragraph.size(), 0);
    if (paragraph.empty())
        return result;
    // Most text is left to right: skip the bidi algorithm when no character could be right to left.
    bool mayBeRightToLeft = false;
    for (char16_t c : paragraph)
        if (c >= 0x0590) {
            mayBeRightToLeft = true;
            break;
        }
    if (!mayBeRightToLeft)
        return result;
    UErrorCode status = U_ZERO_ERROR;
    UBiDi* bidi = ubidi_openSized(static_cast<int32_t>(paragraph.size()), 0, &status);
    ubidi_setPara(bidi, paragraph.data(), static_cast<int32_t>(paragraph.size()), UBIDI_DEFAULT_LTR, nullptr, &status);
    if (U_SUCCESS(status)) {
        const UBiDiLevel* levels = ubidi_getLevels(bidi, &status);
        if (U_SUCCESS(status))
            result.levels.assign(levels, levels + paragraph.size());
        result.paragraphLevel = ubidi_getParaLevel(bidi) & 1;
    }
    ubidi_close(bidi);
    return result;
}

std::vector<std::int32_t> visualOrder(const std::vector<std::uint8_t>& levels)
{
    std::vector<std::int32_t> order(levels.size());
    if (levels.empty())
        return order;
    ubidi_reorderVisual(levels.data(), static_cast<int32_t>(levels.size()), order.data());
    return order;
}

bool continuesCluster(char32_t c)
{
    auto type = u_charType(static_cast<UChar32>(c));
    return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_COMBINING_SPACING_MARK || c == 0x200D
        || (c >= 0xFE00 && c <= 0xFE0F);
}

bool isWhitespace(char32_t c)
{
    return u_isWhitespace(static_cast<UChar32>(c)) || c == 0x00A0;
}

}
