#include "platform/graphics/Font.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/detail/FontFace.h"

#include <fontconfig/fontconfig.h>

#include FT_ADVANCES_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <mutex>
#include <set>
#include <string_view>

namespace gfx {

FND_REGISTER_CLASS(Font, fnd::Object)

namespace {

// The pinned families: the system fonts, and stand-ins for names that are not installed.
const fnd::String SansFamily = "DejaVu Sans";
const fnd::String MonoFamily = "DejaVu Sans Mono";
constexpr double UserFontSize = 12;

std::string lowerASCII(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Names of fixed-pitch typefaces of other systems, which should fall back to a fixed-pitch face.
bool isFixedPitchName(const std::string& lowered)
{
    constexpr std::array<std::string_view, 9> known = { "monaco", "menlo", "courier", "consolas", "andale",
        "lucida console", "lucidaconsole", "typewriter", "sf mono" };
    if (lowered.find("mono") != std::string::npos)
        return true;
    return std::any_of(
        known.begin(), known.end(), [&](std::string_view k) { return lowered.find(k) != std::string::npos; });
}

struct RequestedStyle {
    int weight { FC_WEIGHT_REGULAR };
    int slant { FC_SLANT_ROMAN };
};

// The style a missing font's name asks for ("Helvetica-BoldOblique", "Times Bold Italic").
RequestedStyle styleInName(const std::string& lowered)
{
    RequestedStyle style;
    for (std::string_view heavy : { "bold", "black", "heavy" })
        if (lowered.find(heavy) != std::string::npos)
            style.weight = FC_WEIGHT_BOLD;
    for (std::string_view slanted : { "italic", "oblique" })
        if (lowered.find(slanted) != std::string::npos)
            style.slant = FC_SLANT_ITALIC;
    return style;
}

void logFallbackOnce(const fnd::String& requested, const detail::FaceInfo& used)
{
    static std::mutex mutex;
    static std::set<fnd::String> logged;
    std::lock_guard guard(mutex);
    if (!logged.insert(requested).second)
        return;
    // Expected wherever a stored or built-in name is missing: not news, so a debug line.
    fnd::logf(fnd::LogLevel::Debug, "The font \u201c{}\u201d is not installed; \u201c{}\u201d stands in for it.",
        requested.utf8(), used.fullName.utf8());
}

const detail::FaceInfo* anyFace(const detail::FontCatalog& catalog)
{
    if (auto* face = catalog.bestMember(SansFamily, FC_WEIGHT_REGULAR, FC_SLANT_ROMAN))
        return face;
    return catalog.faces().empty() ? nullptr : &catalog.faces().front();
}

double sizeOrDefault(double size, double fallback)
{
    return size > 0 ? size : fallback;
}

std::shared_ptr<Font> findFamilyMember(const fnd::String& family, int weight, double size)
{
    const auto& catalog = detail::FontCatalog::shared();
    const auto* info = catalog.bestMember(family, weight, FC_SLANT_ROMAN);
    if (!info)
        return Font::fontWithName(family, size);
    return Font::fontWithName(info->postScriptName, size);
}

// The system and user fonts are asked for by every cell, field and text view that measures or draws, so the few in
// use are made once and shared. Exact: a font never changes once made, and neither does the catalogue it was found
// in. Bounded, as sizes can come from outside: a new size beyond the bound takes the place of the oldest.
std::shared_ptr<Font> fromFamily(const fnd::String& family, int weight, double size)
{
    struct Made {
        fnd::String family;
        int weight;
        double size;
        std::shared_ptr<Font> font;
    };
    constexpr std::size_t KeptFonts = 16;
    static std::mutex mutex;
    static auto* made = new std::vector<Made>;
    static std::size_t oldest = 0;
    std::lock_guard guard(mutex);
    auto known = std::find_if(made->begin(), made->end(),
        [&](const Made& m) { return m.weight == weight && m.size == size && m.family == family; });
    if (known != made->end())
        return known->font;
    auto font = findFamilyMember(family, weight, size);
    if (!font)
        return font;
    if (made->size() < KeptFonts) {
        made->push_back({ family, weight, size, font });
    } else {
        (*made)[oldest] = { family, weight, size, font };
        oldest = (oldest + 1) % KeptFonts;
    }
    return font;
}

}

std::shared_ptr<Font> Font::make(std::shared_ptr<detail::FontFace> face, fnd::String name, double size, bool isFallback)
{
    if (!face)
        return nullptr;
    auto font = std::make_shared<Font>();
    font->m_face = std::move(face);
    font->m_name = std::move(name);
    font->m_size = size > 0 ? size : UserFontSize;
    font->m_isFallback = isFallback;
    return font;
}

std::shared_ptr<Font> Font::fontWithName(const fnd::String& name, double size)
{
    const auto& catalog = detail::FontCatalog::shared();
    const detail::FaceInfo* info = catalog.findByPostScriptName(name);
    if (!info)
        info = catalog.findByFullName(name);
    if (!info)
        info = catalog.bestMember(name, FC_WEIGHT_REGULAR, FC_SLANT_ROMAN);
    if (info)
        return make(detail::FontFace::forInfo(*info), info->postScriptName, size, false);

    std::string lowered = lowerASCII(name.utf8());
    RequestedStyle style = styleInName(lowered);
    const fnd::String& family = isFixedPitchName(lowered) ? MonoFamily : SansFamily;
    info = catalog.bestMember(family, style.weight, style.slant);
    if (!info)
        info = anyFace(catalog);
    if (!info)
        return nullptr;
    logFallbackOnce(name, *info);
    return make(detail::FontFace::forInfo(*info), name.isEmpty() ? info->postScriptName : name, size, true);
}

double Font::systemFontSizeForControlSize(ControlSize size)
{
    switch (size) {
    case ControlSize::Regular:
        return 13;
    case ControlSize::Small:
        return 11;
    case ControlSize::Mini:
        return 9;
    }
    return 13;
}

std::shared_ptr<Font> Font::systemFontOfSize(double size)
{
    return fromFamily(SansFamily, FC_WEIGHT_REGULAR, sizeOrDefault(size, systemFontSize()));
}

std::shared_ptr<Font> Font::boldSystemFontOfSize(double size)
{
    return fromFamily(SansFamily, FC_WEIGHT_BOLD, sizeOrDefault(size, systemFontSize()));
}

std::shared_ptr<Font> Font::labelFontOfSize(double size)
{
    return fromFamily(SansFamily, FC_WEIGHT_REGULAR, sizeOrDefault(size, labelFontSize()));
}

std::shared_ptr<Font> Font::controlContentFontOfSize(double size)
{
    return fromFamily(SansFamily, FC_WEIGHT_REGULAR, sizeOrDefault(size, systemFontSize()));
}

std::shared_ptr<Font> Font::messageFontOfSize(double size)
{
    return fromFamily(SansFamily, FC_WEIGHT_REGULAR, sizeOrDefault(size, systemFontSize()));
}

std::shared_ptr<Font> Font::titleBarFontOfSize(double size)
{
    return fromFamily(SansFamily, FC_WEIGHT_BOLD, sizeOrDefault(size, systemFontSize()));
}

std::shared_ptr<Font> Font::menuFontOfSize(double size)
{
    return fromFamily(SansFamily, FC_WEIGHT_REGULAR, sizeOrDefault(size, systemFontSize()));
}

std::shared_ptr<Font> Font::userFontOfSize(double size)
{
    return fromFamily(SansFamily, FC_WEIGHT_REGULAR, sizeOrDefault(size, UserFontSize));
}

std::shared_ptr<Font> Font::userFixedPitchFontOfSize(double size)
{
    return fromFamily(MonoFamily, FC_WEIGHT_REGULAR, sizeOrDefault(size, labelFontSize()));
}

fnd::String Font::familyName() const
{
    return m_face->info().family();
}
fnd::String Font::displayName() const
{
    return m_face->info().fullName;
}
fnd::String Font::styleName() const
{
    return m_face->info().style;
}

std::shared_ptr<Font> Font::fontWithSize(double size) const
{
    return make(m_face, m_name, size, m_isFallback);
}

double Font::scale() const
{
    return m_size / m_face->unitsPerEm();
}

double Font::ascender() const
{
    return m_face->ftFace()->ascender * scale();
}
double Font::descender() const
{
    return m_face->ftFace()->descender * scale();
}

double Font::leading() const
{
    FT_Face face = m_face->ftFace();
    return std::max(0, face->height - (face->ascender - face->descender)) * scale();
}

double Font::capHeight() const
{
    return m_face->capHeightUnits() * scale();
}
double Font::xHeight() const
{
    return m_face->xHeightUnits() * scale();
}
double Font::italicAngle() const
{
    return m_face->italicAngle();
}
double Font::underlinePosition() const
{
    return m_face->ftFace()->underline_position * scale();
}
double Font::underlineThickness() const
{
    return m_face->ftFace()->underline_thickness * scale();
}

Rect Font::boundingRectForFont() const
{
    const FT_BBox& box = m_face->ftFace()->bbox;
    double s = scale();
    return { box.xMin * s, box.yMin * s, double(box.xMax - box.xMin) * s, double(box.yMax - box.yMin) * s };
}

bool Font::isFixedPitch() const
{
    return FT_IS_FIXED_WIDTH(m_face->ftFace());
}
std::size_t Font::numberOfGlyphs() const
{
    return static_cast<std::size_t>(m_face->ftFace()->num_glyphs);
}

Glyph Font::glyphForCharacter(char32_t character) const
{
    return m_face->glyphForCharacter(character);
}

Size Font::advancementForGlyph(Glyph glyph) const
{
    auto lock = m_face->lock();
    FT_Fixed advance = 0;
    if (glyph >= numberOfGlyphs() || FT_Get_Advance(m_face->ftFace(), glyph, FT_LOAD_NO_SCALE, &advance) != 0)
        return {};
    return { double(advance) * scale(), 0 };
}

namespace {

constexpr FT_Int32 OutlineLoadFlags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

struct OutlineSink {
    BezierPath& path;
    double scale;
    Point origin;
    Point current;
    bool open { false };

    Point point(const FT_Vector* v) const
    {
        return { origin.x + double(v->x) * scale, origin.y + double(v->y) * scale };
    }
    void close()
    {
        if (open)
            path.closePath();
        open = false;
    }
};

int moveTo(const FT_Vector* to, void* user)
{
    auto* sink = static_cast<OutlineSink*>(user);
    sink->close();
    sink->current = sink->point(to);
    sink->path.moveToPoint(sink->current);
    sink->open = true;
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    auto* sink = static_cast<OutlineSink*>(user);
    sink->current = sink->point(to);
    sink->path.lineToPoint(sink->current);
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    // A quadratic with control q from p0 to p2 is the cubic with controls p0 + 2/3 (q - p0) and p2 + 2/3 (q - p2).
    auto* sink = static_cast<OutlineSink*>(user);
    Point p0 = sink->current, q = sink->point(control), p2 = sink->point(to);
    Point c1 { p0.x + 2.0 / 3.0 * (q.x - p0.x), p0.y + 2.0 / 3.0 * (q.y - p0.y) };
    Point c2 { p2.x + 2.0 / 3.0 * (q.x - p2.x), p2.y + 2.0 / 3.0 * (q.y - p2.y) };
    sink->path.curveToPoint(p2, c1, c2);
    sink->current = p2;
    return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    auto* sink = static_cast<OutlineSink*>(user);
    sink->current = sink->point(to);
    sink->path.curveToPoint(sink->current, sink->point(control1), sink->point(control2));
    return 0;
}

}

Rect Font::boundingRectForGlyph(Glyph glyph) const
{
    auto lock = m_face->lock();
    FT_Face face = m_face->ftFace();
    if (glyph >= numberOfGlyphs() || FT_Load_Glyph(face, glyph, OutlineLoadFlags) != 0
        || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || face->glyph->outline.n_points == 0)
        return {};
    FT_BBox box;
    FT_Outline_Get_BBox(&face->glyph->outline, &box);
    double s = scale();
    return { box.xMin * s, box.yMin * s, double(box.xMax - box.xMin) * s, double(box.yMax - box.yMin) * s };
}

void Font::appendOutlineOfGlyph(BezierPath& path, Glyph glyph, Point origin) const
{
    auto lock = m_face->lock();
    FT_Face face = m_face->ftFace();
    if (glyph >= numberOfGlyphs() || FT_Load_Glyph(face, glyph, OutlineLoadFlags) != 0
        || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return;
    // Decomposed into a scratch path first, so a face that fails half way adds nothing.
    BezierPath outline;
    OutlineSink sink { outline, scale(), origin, origin };
    FT_Outline_Funcs funcs {};
    funcs.move_to = moveTo;
    funcs.line_to = lineTo;
    funcs.conic_to = conicTo;
    funcs.cubic_to = cubicTo;
    if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink) != 0)
        return;
    sink.close();
    path.appendBezierPath(outline);
}

void appendBezierPathWithGlyphs(BezierPath& path, std::span<const Glyph> glyphs, const Font& font)
{
    Point pen = path.hasCurrentPoint() ? path.currentPoint() : Point {};
    for (Glyph glyph : glyphs) {
        font.appendOutlineOfGlyph(path, glyph, pen);
        pen.x += font.advancementForGlyph(glyph).width;
    }
}

void Font::encodeWithCoder(fnd::Coder& coder) const
{
    if (coder.allowsKeyedCoding()) {
        coder.encodeObject(m_name, "NSName");
        coder.encodeDouble(m_size, "NSSize");
    } else {
        coder.encodeObject(m_name);
        coder.encodeValueOfObjCType('d', m_size);
    }
}

void Font::init()
{
    if (m_face)
        return;
    if (auto user = userFontOfSize(m_size)) {
        m_face = user->m_face;
        m_name = user->m_name;
        m_size = user->m_size;
        m_isFallback = user->m_isFallback;
    }
}

bool Font::initWithCoder(fnd::Coder& coder)
{
    fnd::Value name;
    double size;
    if (coder.allowsKeyedCoding()) {
        name = coder.decodeObjectForKey("NSName");
        size = coder.decodeDoubleForKey("NSSize");
    } else {
        name = coder.decodeObject();
        size = coder.decodeValueOfObjCType('d').doubleValue();
    }
    if (coder.hasFailed() || !name.isString() || name.string()->isEmpty())
        return false;
    // Fonts are always written with their own size, above 0.
    if (!(size > 0 && size <= LargestPointSize)) {
        fnd::failDecoding(coder,
            fmt::format("a font size of {} points is outside the sizes text is set in (above 0, at most {})", size,
                LargestPointSize));
        return false;
    }
    auto resolved = fontWithName(*name.string(), size);
    if (!resolved)
        return false;
    m_face = resolved->m_face;
    m_name = resolved->m_name;
    m_size = resolved->m_size;
    m_isFallback = resolved->m_isFallback;
    return true;
}

fnd::String Font::description() const
{
    return fnd::String(fmt::format("\"{} {:.2f} pt.\"", m_name.utf8(), m_size));
}

bool Font::isEqual(const fnd::Object& other) const
{
    auto* font = dynamic_cast<const Font*>(&other);
    return font && font->m_name == m_name && font->m_size == m_size && font->m_face == m_face;
}

std::size_t Font::hash() const
{
    return m_name.hash() ^ std::hash<double>()(m_size);
}

}
