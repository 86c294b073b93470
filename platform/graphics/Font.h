#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Geometry.h"
#include "platform/foundation/runtime/Object.h"

#include <cstdint>
#include <memory>
#include <span>

namespace gfx {

class BezierPath;

namespace detail {
class FontFace;
}

// Sizes of controls, with the platform's values; the system fonts are sized by them.
enum class ControlSize { Regular = 0, Small = 1, Mini = 2 };

// A glyph index in a font; 0 is the font's missing-glyph glyph.
using Glyph = std::uint32_t;

// A typeface at a size. Names resolve through fontconfig: a PostScript name, a full name or a family name (its
// regular member). A name that is not installed falls back to DejaVu Sans, or to DejaVu Sans Mono for fixed-pitch
// names such as "Monaco" and "Menlo", keeping a bold or italic style named in it; the font keeps the requested name
// as its fontName, so stored preferences survive a machine that lacks the font. Each fallback is logged once per name.
// Metrics are FreeType's unhinted design values scaled to the point size, y up, origin on the baseline.
class Font final : public fnd::Object, public fnd::Coding {
    FND_OBJECT(Font)
public:
    Font() = default;
    // Made by name (the class registry, an interface file's object, an unarchiver before it reads): the user font of
    // 12 points, so a font made so is one text can be set in (a decoder then resolves its own name and size).
    void init();

    // A size of 0 or less gives the user font size, 12. nullptr only when no font at all is installed.
    static std::shared_ptr<Font> fontWithName(const fnd::String& name, double size);
    // The largest size read from outside (archives, interface files): larger ones are no size any text is set in, and
    // glyph caches and layout scale with the size.
    static constexpr double LargestPointSize = 10000;

    static std::shared_ptr<Font> systemFontOfSize(double size);
    static std::shared_ptr<Font> boldSystemFontOfSize(double size);
    static std::shared_ptr<Font> labelFontOfSize(double size);
    static std::shared_ptr<Font> controlContentFontOfSize(double size);
    static std::shared_ptr<Font> messageFontOfSize(double size);
    static std::shared_ptr<Font> titleBarFontOfSize(double size);
    static std::shared_ptr<Font> menuFontOfSize(double size);
    static std::shared_ptr<Font> userFontOfSize(double size);
    static std::shared_ptr<Font> userFixedPitchFontOfSize(double size);

    static double systemFontSize() { return 13; }
    static double smallSystemFontSize() { return 11; }
    static double labelFontSize() { return 10; }
    static double systemFontSizeForControlSize(ControlSize size);

    const fnd::String& fontName() const { return m_name; }
    double pointSize() const { return m_size; }
    // Of the typeface actually used (for a fallback, the DejaVu family).
    fnd::String familyName() const;
    fnd::String displayName() const;
    // The face's style name, such as "Book" or "Bold Oblique".
    fnd::String styleName() const;
    // The same typeface at another size, keeping the requested name.
    std::shared_ptr<Font> fontWithSize(double size) const;
    // True when the name was not installed and a DejaVu face stands in.
    bool isFallback() const { return m_isFallback; }

    double ascender() const;
    // Negative: below the baseline.
    double descender() const;
    // The line gap between one line's descender and the next line's ascender.
    double leading() const;
    double capHeight() const;
    double xHeight() const;
    // Degrees counter-clockwise from vertical; negative for fonts leaning right.
    double italicAngle() const;
    // The centre of the underline stroke, below the baseline (negative).
    double underlinePosition() const;
    double underlineThickness() const;
    // The union of all glyphs' bounds.
    Rect boundingRectForFont() const;
    bool isFixedPitch() const;
    std::size_t numberOfGlyphs() const;
    // The platform's most compatible string encoding for the face: Unicode (10) for our fonts.
    unsigned long mostCompatibleStringEncoding() const { return 10; }

    // 0 when the font has no glyph for the character.
    Glyph glyphForCharacter(char32_t character) const;
    Size advancementForGlyph(Glyph glyph) const;
    // Tight bounds of the glyph's outline; empty for a glyph without one.
    Rect boundingRectForGlyph(Glyph glyph) const;
    // The unhinted outline in points, y up, with the glyph's origin (left end of its baseline) at `origin`;
    // quadratic curves are raised to cubics and each contour is closed. A glyph without an outline adds nothing.
    void appendOutlineOfGlyph(BezierPath& path, Glyph glyph, Point origin = {}) const;

    // The face file and index within it, for the text and drawing code that shape and render with the same face.
    const std::shared_ptr<detail::FontFace>& face() const { return m_face; }

    // Archived as the name and the size; reading resolves the name again (falling back as fontWithName does). An
    // archive whose size is not above 0 and at most LargestPointSize is refused.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    fnd::String description() const override;
    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override;

private:
    friend class FontManager;
    static std::shared_ptr<Font> make(
        std::shared_ptr<detail::FontFace> face, fnd::String name, double size, bool isFallback);
    double scale() const;

    std::shared_ptr<detail::FontFace> m_face;
    fnd::String m_name;
    double m_size { 12 };
    bool m_isFallback { false };
};

// Appends the outlines of glyphs laid out one after another along the baseline: the first at the path's current
// point (the origin for an empty path), each later one at the previous one's advance.
void appendBezierPathWithGlyphs(BezierPath& path, std::span<const Glyph> glyphs, const Font& font);

}
