#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/containers/ToolbarItem.h"

#include <optional>
#include <vector>

namespace ui {

class Menu;
class MenuItem;
class ToolbarView;
class Window;

// Display and size modes, with the platform's values (the configuration in the defaults keeps them).
enum class ToolbarDisplayMode { Default = 0, IconAndLabel = 1, IconOnly = 2, LabelOnly = 3 };
enum class ToolbarSizeMode { Default = 0, Regular = 1, Small = 2 };

// Names of the notifications a toolbar posts (object: the toolbar; userInfo "item": the item).
namespace ToolbarNotification {
inline const fnd::String WillAddItem = "NSToolbarWillAddItemNotification";
inline const fnd::String DidRemoveItem = "NSToolbarDidRemoveItemNotification";
inline const fnd::String ItemKey = "item";
}

// The pasteboard types of an item identifier dragged in the customisation palette and the toolbar, and of the
// default set dragged from the palette.
inline const fnd::String ToolbarItemDragType = "NSToolbarIndividualItemDragType";
inline const fnd::String ToolbarDefaultSetDragType = "NSToolbarDefaultSetDragType";

// What a toolbar asks its delegate: the items it may show, shows by default and lets the person select, and the
// item for an identifier (nullptr: the toolbar has no such item). Standard identifiers need no item from it.
class ToolbarDelegate {
public:
    virtual ~ToolbarDelegate() = default;
    virtual std::shared_ptr<ToolbarItem> toolbarItemForItemIdentifier(
        Toolbar&, const fnd::String& /*identifier*/, bool /*willBeInsertedIntoToolbar*/)
    {
        return nullptr;
    }
    virtual std::vector<fnd::String> toolbarDefaultItemIdentifiers(Toolbar&) { return {}; }
    virtual std::vector<fnd::String> toolbarAllowedItemIdentifiers(Toolbar&) { return {}; }
    // Items that stay selected when clicked (nullopt: none).
    virtual std::optional<std::vector<fnd::String>> toolbarSelectableItemIdentifiers(Toolbar&) { return std::nullopt; }
    virtual void toolbarWillAddItem(const fnd::Notification&) { }
    virtual void toolbarDidRemoveItem(const fnd::Notification&) { }
};

// A row of items shown in a window above its content (the window's content rect leaves room for it). Its items
// come from the delegate, in the default order or in the order the person set in the customisation sheet; with
// autosavesConfiguration the order, display and size modes and visibility are kept in the user defaults under
// "NSToolbar Configuration <identifier>". Items are validated through the responder chain before they are drawn,
// and are disabled while the window shows a sheet. A right click on it offers the display modes, Customise
// Toolbar… and Hide Toolbar (contextMenu).
class Toolbar : public fnd::Object {
    FND_OBJECT(Toolbar)
    static void describeClass(fnd::ClassBuilder<Toolbar>& c);

public:
    // The most items a toolbar holds: a kept configuration is read up to it, insertions beyond it are refused.
    static constexpr long MaximumItemCount = 256;

    Toolbar() = default;
    ~Toolbar() override;
    static std::shared_ptr<Toolbar> create(const fnd::String& identifier);
    void initWithIdentifier(const fnd::String& identifier);

    const fnd::String& identifier() const { return m_identifier; }
    std::shared_ptr<ToolbarDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ToolbarDelegate>& delegate);

    // Items, made on first need from the kept configuration or the delegate's defaults.
    const std::vector<std::shared_ptr<ToolbarItem>>& items() const;
    // The items that fit in the window now (the others are in the overflow menu).
    std::vector<std::shared_ptr<ToolbarItem>> visibleItems() const;
    // An identifier the delegate (or the standard set) has no item for is ignored.
    void insertItemWithItemIdentifier(const fnd::String& identifier, long index);
    void removeItemAtIndex(long index);
    // Moves an item to another place (what dragging it within the toolbar does).
    void moveItem(long fromIndex, long toIndex);
    // Replaces every item (the default set dragged from the customisation sheet).
    void setItemIdentifiers(const std::vector<fnd::String>& identifiers);
    std::vector<fnd::String> itemIdentifiers() const;
    std::vector<fnd::String> allowedItemIdentifiers();
    std::vector<fnd::String> defaultItemIdentifiers();

    ToolbarDisplayMode displayMode() const { return m_displayMode; }
    void setDisplayMode(ToolbarDisplayMode mode);
    ToolbarSizeMode sizeMode() const { return m_sizeMode; }
    void setSizeMode(ToolbarSizeMode mode);
    bool isVisible() const { return m_visible; }
    void setVisible(bool flag);
    bool showsBaselineSeparator() const { return m_showsBaselineSeparator; }
    void setShowsBaselineSeparator(bool flag);
    const fnd::String& selectedItemIdentifier() const { return m_selectedItemIdentifier; }
    void setSelectedItemIdentifier(const fnd::String& identifier);

    bool allowsUserCustomization() const { return m_allowsUserCustomization; }
    void setAllowsUserCustomization(bool flag) { m_allowsUserCustomization = flag; }
    bool autosavesConfiguration() const { return m_autosavesConfiguration; }
    // Turning it on takes the kept configuration when there is one.
    void setAutosavesConfiguration(bool flag);
    fnd::Dictionary configurationDictionary() const;
    void setConfigurationFromDictionary(const fnd::Dictionary& configuration);

    // Shows the customisation sheet on the toolbar's window.
    void runCustomizationPalette(const fnd::Value& sender = {});
    bool customizationPaletteIsRunning() const { return m_customizing; }
    // The sheet, while it runs.
    std::shared_ptr<Window> customizationPalette() const { return m_palette; }
    // Ends the customisation (the sheet's Done button).
    void endCustomization();

    // Enables and disables the visible items through their targets.
    void validateVisibleItems();
    // Shows the toolbar in the window above its content (nullptr: takes it out of its window).
    void attachToWindow(const std::shared_ptr<Window>& window);
    std::shared_ptr<Window> window() const { return m_window.lock(); }
    // Its height in the window for the current modes and items (0 while hidden).
    double height() const;
    const std::shared_ptr<ToolbarView>& view() const { return m_view; }
    // A fresh item for an identifier (for the palette): the standard items, else the delegate's.
    std::shared_ptr<ToolbarItem> makeItem(const fnd::String& identifier, bool willBeInserted);

    // The menu a right click on the toolbar shows: the display modes (the current one checked), then Customise
    // Toolbar… when the person may customise it, and Hide Toolbar; nullptr while the customisation sheet is up.
    std::shared_ptr<Menu> contextMenu();
    // The context menu's display-mode items: the sender's tag is the mode.
    void changeDisplayMode(const fnd::Value& sender);
    // The context menu's items wait while the window shows a sheet; Customise Toolbar… while it is not allowed.
    bool validateMenuItem(const fnd::Value& item);

    // Used by the items and the view.
    void itemDidChange(ToolbarItem& item);
    void toggleToolbarShown(const fnd::Value& sender = {});
    // Whether the toolbar's window shows a sheet (its items then wait).
    bool windowHasSheet() const;

private:
    void ensureItems() const;
    // The identifiers of a kept configuration the toolbar takes: strings it allows (or standard ones), each of the
    // delegate's items once, at most MaximumItemCount.
    std::vector<fnd::String> keptIdentifiers(const fnd::Value& list);
    // A sheet began or ended on some window: the items of ours are validated again when the strip draws.
    void windowSheetChanged(const fnd::Value& notification);
    void insertItem(const std::shared_ptr<ToolbarItem>& item, long index);
    void configurationChanged();
    void applyModes(const fnd::Dictionary& configuration);
    void saveConfiguration() const;
    void updateWindow();
    fnd::String defaultsKey() const;

    fnd::String m_identifier;
    std::weak_ptr<ToolbarDelegate> m_delegate;
    mutable std::vector<std::shared_ptr<ToolbarItem>> m_items;
    mutable bool m_itemsMade { false };
    ToolbarDisplayMode m_displayMode { ToolbarDisplayMode::Default };
    ToolbarSizeMode m_sizeMode { ToolbarSizeMode::Default };
    bool m_visible { true };
    bool m_showsBaselineSeparator { true };
    fnd::String m_selectedItemIdentifier;
    bool m_allowsUserCustomization { false };
    bool m_autosavesConfiguration { false };
    bool m_customizing { false };
    bool m_loading { false };
    bool m_observesSheets { false };
    std::weak_ptr<Window> m_window;
    std::shared_ptr<ToolbarView> m_view;
    std::shared_ptr<Window> m_palette;
};

}
