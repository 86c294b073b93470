#include "platform/graphics/detail/FontFace.h"

#include <fontconfig/fontconfig.h>

#include FT_BBOX_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

namespace gfx::detail {

namespace {

std::string lowerASCII(const fnd::String& s)
{
    std::string text = s.utf8();
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool sameName(const fnd::String& a, const fnd::String& b)
{
    return a == b || lowerASCII(a) == lowerASCII(b);
}

fnd::String patternString(FcPattern* pattern, const char* object, int index = 0)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, index, &value) == FcResultMatch && value)
        return fnd::String(reinterpret_cast<const char*>(value));
    return {};
}

int patternInt(FcPattern* pattern, const char* object, int fallback)
{
    int value = fallback;
    if (FcPatternGetInteger(pattern, object, 0, &value) == FcResultMatch)
        return value;
    double real = 0;
    if (FcPatternGetDouble(pattern, object, 0, &real) == FcResultMatch)
        return static_cast<int>(real);
    return fallback;
}

// One FreeType library for the process; opening and closing faces goes through its lock.
struct Library {
    FT_Library library { nullptr };
    std::mutex mutex;
    Library() { FT_Init_FreeType(&library); }
};

Library& library()
{
    // Never destroyed: faces may be released during static destruction.
    static Library* shared = new Library;
    return *shared;
}

}

FontCatalog::FontCatalog()
{
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_STYLE, FC_FULLNAME, FC_POSTSCRIPT_NAME,
        FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_SPACING, FC_FONTFORMAT, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* font = set->fonts[i];
            // FreeType opens the outline formats we draw; bitmap-only faces have no outlines.
            fnd::String format = patternString(font, FC_FONTFORMAT);
            if (format != fnd::String("TrueType") && format != fnd::String("CFF"))
                continue;
            FaceInfo info;
            info.file = patternString(font, FC_FILE).utf8();
            info.index = patternInt(font, FC_INDEX, 0);
            for (int f = 0;; ++f) {
                fnd::String family = patternString(font, FC_FAMILY, f);
                if (family.isEmpty())
                    break;
                info.families.push_back(family);
            }
            if (info.file.empty() || info.families.empty())
                continue;
            info.style = patternString(font, FC_STYLE);
            info.fullName = patternString(font, FC_FULLNAME);
            if (info.fullName.isEmpty())
                info.fullName = info.family() + " " + info.style;
            info.postScriptName = patternString(font, FC_POSTSCRIPT_NAME);
            info.weight = patternInt(font, FC_WEIGHT, FC_WEIGHT_REGULAR);
            info.slant = patternInt(font, FC_SLANT, FC_SLANT_ROMAN);
            info.width = patternInt(font, FC_WIDTH, FC_WIDTH_NORMAL);
            info.isMonospace = patternInt(font, FC_SPACING, FC_PROPORTIONAL) == FC_MONO;
            m_faces.push_back(std::move(info));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    // A stable order, so the same name finds the same face on every run.
    std::sort(m_faces.begin(), m_faces.end(),
        [](const FaceInfo& a, const FaceInfo& b) { return std::tie(a.file, a.index) < std::tie(b.file, b.index); });
    buildIndex();
}

void FontCatalog::buildIndex()
{
    for (const auto& face : m_faces) {
        m_byPostScriptName.try_emplace(face.postScriptName.utf8(), &face);
        m_byLoweredPostScriptName.try_emplace(lowerASCII(face.postScriptName), &face);
        m_byLoweredFullName.try_emplace(lowerASCII(face.fullName), &face);
        std::set<std::string> families;
        for (const auto& family : face.families)
            if (families.insert(lowerASCII(family)).second)
                m_byLoweredFamily[lowerASCII(family)].push_back(&face);
    }
}

const FontCatalog& FontCatalog::shared()
{
    static const FontCatalog* catalog = new FontCatalog;
    return *catalog;
}

const FaceInfo* FontCatalog::findByPostScriptName(const fnd::String& name) const
{
    if (auto exact = m_byPostScriptName.find(name.utf8()); exact != m_byPostScriptName.end())
        return exact->second;
    auto lowered = m_byLoweredPostScriptName.find(lowerASCII(name));
    return lowered == m_byLoweredPostScriptName.end() ? nullptr : lowered->second;
}

const FaceInfo* FontCatalog::findByFullName(const fnd::String& name) const
{
    auto found = m_byLoweredFullName.find(lowerASCII(name));
    return found == m_byLoweredFullName.end() ? nullptr : found->second;
}

std::vector<const FaceInfo*> FontCatalog::members(const fnd::String& family) const
{
    std::vector<const FaceInfo*> result;
    for (const auto& face : m_faces)
        if (sameName(face.family(), family))
            result.push_back(&face);
    // Lighter before heavier, upright before slanted, as a font panel lists them.
    std::sort(result.begin(), result.end(), [](const FaceInfo* a, const FaceInfo* b) {
        return std::tie(a->width, a->weight, a->slant, a->file, a->index)
            < std::tie(b->width, b->weight, b->slant, b->file, b->index);
    });
    return result;
}

const FaceInfo* FontCatalog::bestMember(const fnd::String& family, int weight, int slant) const
{
    // Asked for every font made by name (the system font for every field and cell): the answer is kept, as the
    // catalogue does not change.
    std::lock_guard lock(m_bestMutex);
    auto key = std::tuple(family.units(), weight, slant);
    if (auto known = m_best.find(key); known != m_best.end())
        return known->second;
    const FaceInfo* best = findBestMember(family, weight, slant);
    m_best.emplace(std::move(key), best);
    return best;
}

const FaceInfo* FontCatalog::findBestMember(const fnd::String& family, int weight, int slant) const
{
    const FaceInfo* best = nullptr;
    long bestScore = 0;
    auto listing = m_byLoweredFamily.find(lowerASCII(family));
    if (listing == m_byLoweredFamily.end())
        return nullptr;
    for (const FaceInfo* member : listing->second) {
        const auto& face = *member;
        long score = std::abs(face.weight - weight) + ((face.slant != 0) != (slant != 0) ? 1000 : 0)
            + std::abs(face.width - FC_WIDTH_NORMAL) * 20L;
        // A face whose first family is the one asked for beats one that merely lists it (a condensed face also
        // lists its parent family).
        if (!sameName(face.family(), family))
            score += 5000;
        if (!best || score < bestScore) {
            best = &face;
            bestScore = score;
        }
    }
    return best;
}

std::vector<fnd::String> FontCatalog::families() const
{
    std::set<fnd::String> names;
    for (const auto& face : m_faces)
        names.insert(face.family());
    return { names.begin(), names.end() };
}

FontFace::FontFace(const FaceInfo& info, FT_Face face)
    : m_info(info)
    , m_face(face)
{
    m_unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version >= 2 && os2->version != 0xFFFF) {
        m_xHeight = os2->sxHeight;
        m_capHeight = os2->sCapHeight;
    }
    // Older tables lack the heights: take the tops of "x" and "H", as font tools do.
    auto topOf = [&](char32_t character) -> double {
        FT_UInt glyph = FT_Get_Char_Index(face, character);
        if (!glyph || FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0
            || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return 0;
        FT_BBox box;
        FT_Outline_Get_BBox(&face->glyph->outline, &box);
        return double(box.yMax);
    };
    if (m_xHeight <= 0)
        m_xHeight = topOf(U'x');
    if (m_capHeight <= 0)
        m_capHeight = topOf(U'H');
    if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST)))
        m_italicAngle = double(post->italicAngle) / 65536.0;
    for (char32_t c = 0; c < m_latin1Glyphs.size(); ++c)
        m_latin1Glyphs[c] = FT_Get_Char_Index(face, c);
}

FT_UInt FontFace::glyphForCharacter(char32_t character) const
{
    if (character < m_latin1Glyphs.size())
        return m_latin1Glyphs[character];
    auto guard = lock();
    return FT_Get_Char_Index(m_face, character);
}

FontFace::~FontFace()
{
    std::lock_guard guard(library().mutex);
    FT_Done_Face(m_face);
}

std::shared_ptr<FontFace> FontFace::forInfo(const FaceInfo& info)
{
    static std::mutex cacheMutex;
    static auto* cache = new std::map<std::pair<std::string, int>, std::weak_ptr<FontFace>>;
    // The faces used last stay open after their last font is gone: text that makes and drops its fonts again and
    // again (a document read, a label drawn) would otherwise open and parse the same font file each time.
    constexpr std::size_t KeptFaces = 8;
    static auto* recent = new std::vector<std::shared_ptr<FontFace>>;
    auto keep = [](const std::shared_ptr<FontFace>& face) {
        auto found = std::find(recent->begin(), recent->end(), face);
        if (found == recent->end()) {
            if (recent->size() == KeptFaces)
                recent->pop_back();
            recent->insert(recent->begin(), face);
        } else {
            std::rotate(recent->begin(), found, found + 1);
        }
    };
    std::lock_guard cacheGuard(cacheMutex);
    auto key = std::pair(info.file, info.index);
    if (auto existing = (*cache)[key].lock()) {
        keep(existing);
        return existing;
    }
    FT_Face face = nullptr;
    {
        std::lock_guard guard(library().mutex);
        if (!library().library || FT_New_Face(library().library, info.file.c_str(), info.index, &face) != 0)
            return nullptr;
    }
    if (!FT_IS_SCALABLE(face)) {
        std::lock_guard guard(library().mutex);
        FT_Done_Face(face);
        return nullptr;
    }
    auto result = std::make_shared<FontFace>(info, face);
    (*cache)[key] = result;
    keep(result);
    return result;
}

}
