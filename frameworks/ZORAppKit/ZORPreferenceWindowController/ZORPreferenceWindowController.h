#pragma once

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIcon.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneProtocol.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/detail/ZORPreferenceWindowControllerTesting.h"

#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/controllers/WindowController.h"
#include "platform/ui/views/Window.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

class ZORPrefPaneIconView;
class ZORWindow;

// What the preference window tells and asks its delegate. Every operation is optional; nullopt means "does not
// answer". Identifiers are pane identifiers.
class ZORPreferenceWindowControllerDelegate {
public:
    virtual ~ZORPreferenceWindowControllerDelegate() = default;
    virtual std::optional<bool> shouldLoadPreferencePane(const fnd::String& identifier)
    {
        return (void)identifier, std::nullopt;
    }
    virtual void didLoadPreferencePane(const fnd::String& identifier) { (void)identifier; }
    virtual void willSelectPreferencePane(const fnd::String& identifier) { (void)identifier; }
    virtual void didUnselectPreferencePane(const fnd::String& identifier) { (void)identifier; }
    virtual std::optional<fnd::String> categoryForPreferencePane(
        const fnd::String& identifier, const fnd::String& defaultCategory)
    {
        return (void)identifier, (void)defaultCategory, std::nullopt;
    }
    virtual std::optional<fnd::String> displayNameForCategory(const fnd::String& category)
    {
        return (void)category, std::nullopt;
    }
};

// The program's preference window: a toolbar with an item per pane (and, with usesConfigurationPane, a "Show All"
// item), an overview of every pane by category, and the shown pane's view as the window's content; the window
// resizes around each pane with its top edge in place. Panes are registered by code or loaded from plug-in bundles.
//
// One per process: the first one made (by create, or by the shared accessor with the default autosave name) is
// the shared one for good, and create answers nullptr after that.
class ZORPreferenceWindowController : public ui::WindowController,
                                      public ui::WindowDelegate,
                                      public ui::ToolbarDelegate {
    FND_OBJECT(ZORPreferenceWindowController)
    static void describeClass(fnd::ClassBuilder<ZORPreferenceWindowController>& c);
    struct PrivateTag { };

public:
    static inline const fnd::String ToolbarIdentifier = "ZORPPToolbar";
    static inline const fnd::String ShowAllItemIdentifier = "ZORPPToolbarShowAll";
    // The window frame is kept under FrameDefaultsKeyPrefix + autosave name, the shown pane (or the "Show All"
    // identifier for the overview) under SelectedPaneDefaultsKeyPrefix + autosave name.
    static inline const fnd::String FrameDefaultsKeyPrefix = "NSWindow Frame ";
    static inline const fnd::String SelectedPaneDefaultsKeyPrefix = "ZORPreferenceWindow Selected Pane ";
    // The autosave name of a controller the shared accessor makes.
    static inline const fnd::String DefaultAutosaveName = "ZORPreferenceWindow";

    explicit ZORPreferenceWindowController(PrivateTag) { }
    ~ZORPreferenceWindowController() override;

    static std::shared_ptr<ZORPreferenceWindowController> sharedPreferenceWindowController();
    // Titled and closable.
    static std::shared_ptr<ZORPreferenceWindowController> create(const fnd::String& autosaveName);
    static std::shared_ptr<ZORPreferenceWindowController> create(const fnd::String& autosaveName, unsigned styleMask);

    // The window; the first call also builds the toolbar, shows the pane kept from the last run (else the first
    // item) unless a pane is shown already, and puts the window where it was.
    std::shared_ptr<ui::Window> window() override;

    std::shared_ptr<ZORPrefPaneProtocol> prefPaneWithIdentifier(const fnd::String& identifier) const;
    const std::map<fnd::String, std::shared_ptr<ZORPrefPaneProtocol>>& prefPanes() const { return m_prefPanes; }
    const std::shared_ptr<ZORPrefPaneProtocol>& activePane() const { return m_activePane; }
    const std::shared_ptr<ZORPrefPaneIconView>& iconView() const { return m_iconView; }

    std::shared_ptr<ZORPreferenceWindowControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ZORPreferenceWindowControllerDelegate>& delegate) { m_delegate = delegate; }
    // Takes effect when the toolbar is built.
    bool usesConfigurationPane() const { return m_usesConfigurationPane; }
    void setUsesConfigurationPane(bool flag) { m_usesConfigurationPane = flag; }
    bool sortByCategory() const;
    void setSortByCategory(bool flag);
    std::optional<std::vector<fnd::String>> categorySortOrder() const;
    void setCategorySortOrder(const std::optional<std::vector<fnd::String>>& order);
    const fnd::String& title() const { return m_title; }
    void setTitle(const fnd::String& title) { m_title = title; }
    const fnd::String& autosaveName() const { return m_autosaveName; }
    void setAutosaveName(const fnd::String& name) { m_autosaveName = name; }

    // Registers a pane; false when the identifier is taken or the delegate refuses it.
    bool addPane(const std::shared_ptr<ZORPrefPaneProtocol>& pane, const fnd::String& identifier);
    // Every bundle with that extension in the folder, in order of name.
    void addPluginsOfType(const fnd::String& extension, const fnd::String& directory);
    void addPluginFromPath(const fnd::String& path);

    // Shows the pane: false for an unknown identifier, a pane without a view, or when the shown pane will not be
    // left. The shown pane again changes nothing.
    bool selectPaneWithIdentifier(const fnd::String& identifier);
    // Unselects the shown pane; always true.
    bool deselectActivePane();
    // Shows the overview; false when the shown pane will not be left.
    bool selectIconViewPane();

    fnd::String categoryForIdentifier(const fnd::String& identifier) const;
    std::vector<fnd::String> categories() const;
    fnd::String categoryDisplayNameForIdentifier(const fnd::String& identifier) const;

    std::shared_ptr<ZORPrefPaneIcon> iconForPrefPane(const std::shared_ptr<ZORPrefPaneProtocol>& pane);
    void createIconViewPane();
    // The window frame for a content of that size with the top edge where it is now, the size cut to what the
    // screen can show.
    gfx::Rect frameForContentSize(gfx::Size size) const;
    // Makes the view the content and resizes the window to it, animated.
    void changeContentView(const std::shared_ptr<ui::View>& view);
    // Pane identifiers by sort order (the order of registration).
    std::vector<fnd::String> validPrefPaneIdentifiers() const;

    // Actions.
    void toolbarShowAll();
    // Shows the pane of the sender's "itemIdentifier" (a toolbar item or an overview icon).
    void toolbarShowPane(const fnd::Value& sender);
    void replyToShouldUnselect(bool shouldUnselect) { (void)shouldUnselect; }
    void removeAllPanes() { }
    void applicationWillTerminate(const fnd::Value& notification);

    // The toolbar, once the window has been asked for.
    const std::shared_ptr<ui::Toolbar>& toolbar() const { return m_toolbar; }

    // Toolbar delegate: "Show All" (and a separator) when usesConfigurationPane, then an item per pane.
    std::shared_ptr<ui::ToolbarItem> toolbarItemForItemIdentifier(
        ui::Toolbar& toolbar, const fnd::String& identifier, bool willBeInsertedIntoToolbar) override;
    std::vector<fnd::String> toolbarDefaultItemIdentifiers(ui::Toolbar& toolbar) override;
    std::vector<fnd::String> toolbarAllowedItemIdentifiers(ui::Toolbar& toolbar) override;
    std::optional<std::vector<fnd::String>> toolbarSelectableItemIdentifiers(ui::Toolbar& toolbar) override;
    void toolbarWillAddItem(const fnd::Notification&) override { }
    void toolbarDidRemoveItem(const fnd::Notification&) override { }

    // Window delegate.
    void windowWillClose(ui::Window& window) override;
    void windowDidMove(ui::Window& window) override;
    void windowDidBecomeMain(ui::Window& window) override;
    std::optional<gfx::Rect> windowWillUseStandardFrame(ui::Window& window, gfx::Rect defaultFrame) override;

private:
    void initWithAutosaveName(const fnd::String& autosaveName, unsigned styleMask);
    fnd::String categoryForPane(const ZORPrefPaneProtocol& pane) const;
    void showOverview();
    // Whether the shown pane lets the window leave it (true without one).
    bool activePaneAllowsLeaving();
    void buildToolbar();
    // Puts the toolbar's selection on what the window shows (after a refused or failed switch).
    void selectShownItem();
    void showRestoredSelection();
    void restoreFrame(const std::optional<fnd::String>& saved);
    friend void ZORPreferenceWindowControllerTesting::restoreFrame(
        ZORPreferenceWindowController&, const std::optional<fnd::String>&);
    void rememberSelection(const fnd::String& identifier);
    void unselectActivePaneForClosing();

    std::map<fnd::String, std::shared_ptr<ZORPrefPaneProtocol>> m_prefPanes;
    std::shared_ptr<ZORPrefPaneIconView> m_iconView;
    std::shared_ptr<ZORPrefPaneProtocol> m_activePane;
    bool m_usesConfigurationPane { false };
    std::weak_ptr<ZORPreferenceWindowControllerDelegate> m_delegate;
    fnd::String m_autosaveName;
    fnd::String m_title;
    std::shared_ptr<ZORWindow> m_zorWindow;
    std::shared_ptr<ui::Toolbar> m_toolbar;
    bool m_windowIsSetUp { false };
    bool m_settingUpWindow { false };
};
