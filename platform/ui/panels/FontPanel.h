#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Font.h"
#include "platform/ui/views/Window.h"

#include <vector>

namespace ui {

class ScrollView;
class TextField;

namespace detail {
class ChoiceListView;
}

// The modes a font panel offers, with the platform's bit values (validModesForFontPanel: answers a mask of them).
namespace FontPanelModeMask {
constexpr unsigned Face = 1 << 0;
constexpr unsigned Size = 1 << 1;
constexpr unsigned Collection = 1 << 2;
constexpr unsigned UnderlineEffect = 1 << 8;
constexpr unsigned StrikethroughEffect = 1 << 9;
constexpr unsigned TextColorEffect = 1 << 10;
constexpr unsigned DocumentColorEffect = 1 << 11;
constexpr unsigned ShadowEffect = 1 << 12;
constexpr unsigned AllEffects = 0xFFF00;
constexpr unsigned Standard = 0xFFFF;
constexpr unsigned AllModes = 0xFFFFFFFF;
}

// The shared font panel, the font manager's face: the installed families and each one's faces from fontconfig, sizes
// in a field and a list, and a preview. A choice becomes the font manager's panel choice and changeFont: goes to the
// font manager's target (or the first responder), whose answer converts its fonts with convertFont. It shows the
// font manager's selected font whenever that is set. Which columns show follows validModesForFontPanel: of the
// target, the responder chain or the font manager's delegate (the face and size modes; this panel has no effects).
class FontPanel : public Window {
    FND_OBJECT(FontPanel)
    static void describeClass(fnd::ClassBuilder<FontPanel>& c);

public:
    FontPanel() = default;
    ~FontPanel() override;
    static std::shared_ptr<FontPanel> sharedFontPanel();
    static bool sharedFontPanelExists();
    // A panel serves the main window: it never becomes the main window itself.
    bool canBecomeMainWindow() const override { return false; }

    // Shows the font (the selected font of the font manager does this by itself).
    void setPanelFont(const std::shared_ptr<gfx::Font>& font, bool isMultiple);
    const std::shared_ptr<gfx::Font>& panelFont() const { return m_font; }
    std::shared_ptr<gfx::Font> panelConvertFont(const std::shared_ptr<gfx::Font>& font) const;
    // The modes shown now (asked again whenever the panel comes to the front).
    unsigned validModes() const { return m_modes; }
    void reloadValidModes();

    void orderFrontFontPanel(const fnd::Value& sender);
    void sizeFieldChanged(const fnd::Value& sender);

    // Parts, for tests.
    const std::shared_ptr<detail::ChoiceListView>& familyList() const { return m_families; }
    const std::shared_ptr<detail::ChoiceListView>& faceList() const { return m_faces; }
    const std::shared_ptr<detail::ChoiceListView>& sizeList() const { return m_sizes; }
    const std::shared_ptr<TextField>& sizeField() const { return m_sizeField; }
    // The PostScript names of the faces listed, in order.
    const std::vector<fnd::String>& facePostScriptNames() const { return m_facePostScriptNames; }

private:
    void init();
    void build();
    void showFaces(const fnd::String& family);
    void familyChosen(long row);
    void faceChosen(long row);
    void sizeChosen(double size);
    // Sends changeFont: for the choice and shows the converted font.
    void sendChange();

    std::shared_ptr<gfx::Font> m_font;
    bool m_isMultiple { false };
    unsigned m_modes { FontPanelModeMask::Standard };
    std::vector<fnd::String> m_facePostScriptNames;
    std::shared_ptr<View> m_preview;
    std::shared_ptr<detail::ChoiceListView> m_families;
    std::shared_ptr<detail::ChoiceListView> m_faces;
    std::shared_ptr<detail::ChoiceListView> m_sizes;
    std::shared_ptr<ScrollView> m_familyScroll;
    std::shared_ptr<ScrollView> m_faceScroll;
    std::shared_ptr<ScrollView> m_sizeScroll;
    std::shared_ptr<TextField> m_sizeField;
    std::vector<std::shared_ptr<TextField>> m_titles;
    fnd::NotificationObserverToken m_selectedFontObserver;
};

}
