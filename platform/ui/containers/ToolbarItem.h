#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Selector.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Forward.h"

#include <memory>
#include <vector>

namespace gfx {
class Font;
class Image;
}

namespace ui {

class MenuItem;
class Toolbar;

// The identifiers of the standard items, with the platform's values (stored configurations hold them).
namespace ToolbarItemIdentifier {
inline const fnd::String Separator = "NSToolbarSeparatorItem";
inline const fnd::String Space = "NSToolbarSpaceItem";
inline const fnd::String FlexibleSpace = "NSToolbarFlexibleSpaceItem";
inline const fnd::String ShowColors = "NSToolbarShowColorsItem";
inline const fnd::String ShowFonts = "NSToolbarShowFontsItem";
inline const fnd::String CustomizeToolbar = "NSToolbarCustomizeToolbarItem";
// Every identifier above: the items a toolbar makes itself, without asking its delegate.
const std::vector<fnd::String>& standardIdentifiers();
// Separators and spaces may stand in a toolbar as often as wanted; every other item once.
inline bool isRepeatable(const fnd::String& identifier)
{
    return identifier == Separator || identifier == Space || identifier == FlexibleSpace;
}
}

// Where an item goes first when the toolbar is too narrow, with the platform's values.
enum class ToolbarItemVisibilityPriority : long { Standard = 0, Low = -1000, High = 1000, User = 2000 };

// One item of a toolbar: an image and a label that send an action, or a view of the program's (with the sizes
// it may take). Its menu form stands for it in the overflow menu and in text-only mode. Items whose target (or the
// responder chain) does not answer the action, or refuses it in validateToolbarItem:, are disabled when the
// toolbar validates its visible items.
class ToolbarItem : public fnd::Object {
    FND_OBJECT(ToolbarItem)
    static void describeClass(fnd::ClassBuilder<ToolbarItem>& c);

public:
    ToolbarItem() = default;
    static std::shared_ptr<ToolbarItem> create(const fnd::String& itemIdentifier);
    // The designated initializer; the standard identifiers get their label, image and action.
    void initWithItemIdentifier(const fnd::String& itemIdentifier);
    // A fresh item with the same settings (the toolbar makes one per toolbar and per palette).
    std::shared_ptr<ToolbarItem> copy() const;

    const fnd::String& itemIdentifier() const { return m_identifier; }
    std::shared_ptr<Toolbar> toolbar() const { return m_toolbar.lock(); }

    const fnd::String& label() const { return m_label; }
    void setLabel(const fnd::String& label);
    // The label's width in the font, measured once for each label and font: a strip of hundreds of items is laid
    // out again whenever the window or a mode changes.
    double labelWidth(const std::shared_ptr<gfx::Font>& font) const;
    // The label in the customisation palette (the label when empty).
    fnd::String paletteLabel() const;
    void setPaletteLabel(const fnd::String& label)
    {
        m_paletteLabel = label;
        m_standardPaletteLabel = nullptr;
    }
    const fnd::String& toolTip() const { return m_toolTip; }
    void setToolTip(const fnd::String& toolTip) { m_toolTip = toolTip; }
    long tag() const { return m_tag; }
    void setTag(long tag) { m_tag = tag; }
    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    void setImage(std::shared_ptr<gfx::Image> image);

    std::shared_ptr<fnd::Object> target() const { return m_target.lock(); }
    void setTarget(const std::shared_ptr<fnd::Object>& target) { m_target = target; }
    fnd::Selector action() const { return m_action; }
    void setAction(fnd::Selector action) { m_action = action; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool flag);
    bool autovalidates() const { return m_autovalidates; }
    void setAutovalidates(bool flag) { m_autovalidates = flag; }
    // Validates the item now (the toolbar does this for its visible items).
    virtual void validate();

    // View items: the view takes the item's place, sized between minSize and maxSize.
    const std::shared_ptr<View>& view() const { return m_view; }
    void setView(const std::shared_ptr<View>& view);
    gfx::Size minSize() const { return m_minSize; }
    void setMinSize(gfx::Size size) { m_minSize = size; }
    gfx::Size maxSize() const { return m_maxSize; }
    void setMaxSize(gfx::Size size) { m_maxSize = size; }

    // The menu item standing for the item (one made from the label, target and action when none is set).
    std::shared_ptr<MenuItem> menuFormRepresentation() const;
    void setMenuFormRepresentation(std::shared_ptr<MenuItem> item) { m_menuForm = std::move(item); }
    ToolbarItemVisibilityPriority visibilityPriority() const { return m_visibilityPriority; }
    void setVisibilityPriority(ToolbarItemVisibilityPriority p) { m_visibilityPriority = p; }

    // Whether the item is one of the spaces or the separator (no action, drawn by the toolbar).
    bool isSpace() const;
    bool isFlexible() const { return m_identifier == ToolbarItemIdentifier::FlexibleSpace; }

    // Sends the action as a click would (nothing when disabled).
    bool performAction();

    // Used by the toolbar.
    void setToolbar(const std::shared_ptr<Toolbar>& toolbar) { m_toolbar = toolbar; }

private:
    void changed();

    fnd::String m_identifier;
    std::weak_ptr<Toolbar> m_toolbar;
    fnd::String m_label;
    mutable std::shared_ptr<gfx::Font> m_measuredFont;
    mutable double m_measuredLabelWidth { 0 };
    fnd::String m_paletteLabel;
    // A separator's or space's palette label, looked up in the platform's texts when it is read rather than for
    // every one made: a kept toolbar may hold hundreds of them. Null once a label is set.
    const char* m_standardPaletteLabel { nullptr };
    fnd::String m_toolTip;
    long m_tag { 0 };
    std::shared_ptr<gfx::Image> m_image;
    std::weak_ptr<fnd::Object> m_target;
    fnd::Selector m_action;
    bool m_enabled { true };
    bool m_autovalidates { true };
    std::shared_ptr<View> m_view;
    gfx::Size m_minSize;
    gfx::Size m_maxSize;
    std::shared_ptr<MenuItem> m_menuForm;
    ToolbarItemVisibilityPriority m_visibilityPriority { ToolbarItemVisibilityPriority::Standard };
};

}
