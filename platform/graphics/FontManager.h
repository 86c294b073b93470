#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Selector.h"
#include "platform/foundation/runtime/Value.h"
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
    // Posts SelectedFontDidChangeNotification (object: nil), so a font panel shows it.
    void setSelectedFont(std::shared_ptr<Font> font, bool isMultiple);

    // The receiver of the font panel's changes: the action ("changeFont:") goes to the target, or along the
    // responder chain without one. The delegate is asked for the panel's modes (validModesForFontPanel:).
    std::shared_ptr<fnd::Object> target() const { return m_target.lock(); }
    void setTarget(const std::shared_ptr<fnd::Object>& target) { m_target = target; }
    fnd::Selector action() const { return m_action; }
    void setAction(fnd::Selector action) { m_action = action; }
    std::shared_ptr<fnd::Object> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<fnd::Object>& delegate) { m_delegate = delegate; }

    // What the person last chose in the font panel: a face (PostScript name), or a family, and a size; each part
    // is optional. convertFont applies it to a font, as receivers of changeFont: do for each font they hold.
    struct PanelChoice {
        fnd::String family;
        fnd::String face;
        double size { 0 };
    };
    void setPanelChoice(PanelChoice choice) { m_choice = std::move(choice); }
    const PanelChoice& panelChoice() const { return m_choice; }
    std::shared_ptr<Font> convertFont(const std::shared_ptr<Font>& font) const;

private:
    std::shared_ptr<Font> m_selectedFont;
    bool m_isMultiple { false };
    std::weak_ptr<fnd::Object> m_target;
    fnd::Selector m_action { "changeFont:" };
    std::weak_ptr<fnd::Object> m_delegate;
    PanelChoice m_choice;
};

// Posted by FontManager::setSelectedFont.
inline const fnd::String FontManagerSelectedFontDidChangeNotification = "FontManagerSelectedFontDidChangeNotification";

}
