#pragma once

#include "platform/foundation/Value.h"
#include "platform/graphics/Font.h"

#include <memory>

namespace gfx {

// Font traits, with the platform's mask values.
namespace FontTraitMask {
constexpr unsigned Italic = 0x00000001;
constexpr unsigned Bold = 0x00000002;
constexpr unsigned Unbold = 0x00000004;
constexpr unsigned Narrow = 0x00000010;
constexpr unsigned Expanded = 0x00000020;
constexpr unsigned Condensed = 0x00000040;
constexpr unsigned FixedPitch = 0x00000400;
constexpr unsigned Unitalic = 0x01000000;
}

// Converts fonts between sizes, families and traits over the installed faces, and remembers the font a font panel
// shows. Conversions that find no matching face answer the font unchanged.
class FontManager {
public:
    static FontManager& shared();

    std::shared_ptr<Font> convertFontToSize(const std::shared_ptr<Font>& font, double size) const;
    std::shared_ptr<Font> convertFontToFamily(const std::shared_ptr<Font>& font, const fnd::String& family) const;
    std::shared_ptr<Font> convertFontToHaveTrait(const std::shared_ptr<Font>& font, unsigned trait) const;
    std::shared_ptr<Font> convertFontToNotHaveTrait(const std::shared_ptr<Font>& font, unsigned trait) const;

    unsigned traitsOfFont(const Font& font) const;
    // The platform's weight scale: 5 regular, 9 bold.
    int weightOfFont(const Font& font) const;
    // A family's member closest to the traits and weight; nullptr when the family is not installed.
    std::shared_ptr<Font> fontWithFamily(const fnd::String& family, unsigned traits, int weight, double size) const;

    std::vector<fnd::String> availableFontFamilies() const;
    // One entry per member: [PostScript name, style name, weight, traits], lighter and upright members first.
    fnd::Array availableMembersOfFontFamily(const fnd::String& family) const;

    std::shared_ptr<Font> selectedFont() const { return m_selectedFont; }
    bool isMultiple() const { return m_isMultiple; }
    void setSelectedFont(std::shared_ptr<Font> font, bool isMultiple);

private:
    std::shared_ptr<Font> m_selectedFont;
    bool m_isMultiple { false };
};

}
