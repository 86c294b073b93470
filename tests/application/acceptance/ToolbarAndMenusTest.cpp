// The toolbar as a person reaches it: its context menu, the View menu's Show/Hide Toolbar and Customise Toolbar…,
// its arrangement after a restart, and its items while the preferences sheet is up.
#include "AcceptanceSupport.h"

#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

using namespace acceptance;

namespace {

class ToolbarAndMenus : public ApplicationTest {
protected:
    std::shared_ptr<ui::Toolbar> toolbar() { return std::dynamic_pointer_cast<ui::Toolbar>(window().toolbar()); }
    // The main menu's item that sends the action, validated as when its menu opens.
    std::shared_ptr<ui::MenuItem> validatedItemFor(const char* action)
    {
        auto item = menuItemFor(action);
        if (item && item->menu())
            item->menu()->update();
        return item;
    }
    bool choose(const std::shared_ptr<ui::MenuItem>& item)
    {
        auto menu = item ? item->menu() : nullptr;
        return menu && menu->performActionForItemAtIndex(menu->indexOfItem(*item));
    }
    // A right click on the toolbar's strip, right of its last item, choosing the context menu's entry.
    void chooseFromContextMenu(long index)
    {
        auto& strip = *toolbar()->view();
        backend->answerNextPopUpMenu(index);
        backend->rightMouseDown(window(), strip.convertPointToView({ strip.bounds().maxX() - 3, 4 }, nullptr));
        backend->dispatchEvents();
    }
};

}

TEST_F(ToolbarAndMenus, TheContextMenuAndTheViewMenuArrangeHideAndShowTheToolbarAcrossARestart)
{
    auto shown = validatedItemFor("toggleToolbarShown:");
    auto customise = validatedItemFor("runToolbarCustomizationPalette:");
    ASSERT_TRUE(shown && customise) << "the View menu has both";
    EXPECT_EQ(shown->menu()->title().utf8(), "View");
    EXPECT_EQ(shown->title().utf8(), "Hide Toolbar");
    EXPECT_EQ(customise->title().utf8(), "Customise Toolbar…");
    EXPECT_TRUE(shown->isEnabled());
    EXPECT_TRUE(customise->isEnabled());

    // Text only, from the toolbar's own menu; then the menu's Customise Toolbar…, where Clipboard is dragged out.
    chooseFromContextMenu(2);
    EXPECT_EQ(toolbar()->displayMode(), ui::ToolbarDisplayMode::LabelOnly);
    ASSERT_TRUE(choose(customise));
    ASSERT_TRUE(toolbar()->customizationPaletteIsRunning());
    auto clipboard = toolbarItemViewer(Lumvara_TessaroAppDelegate::ClipboardItemIdentifier);
    ASSERT_TRUE(clipboard);
    auto palette = toolbar()->customizationPalette();
    const auto from = clipboard->convertPointToView({ 5, 5 }, nullptr);
    backend->mouseDown(window(), from);
    backend->mouseDragged(window(), { from.x, from.y + 3 });
    backend->mouseDragged(*palette, { 20, 20 });
    backend->mouseUp(*palette, { 20, 20 });
    backend->dispatchEvents();
    toolbar()->endCustomization();
    using namespace ui::ToolbarItemIdentifier;
    const std::vector<fnd::String> arranged { "Export", FlexibleSpace, ShowFonts, ShowColors, FlexibleSpace,
        "Preferences" };
    EXPECT_EQ(toolbar()->itemIdentifiers(), arranged);

    // Hidden from the View menu, whose item then offers to show it again.
    ASSERT_TRUE(choose(shown));
    EXPECT_FALSE(toolbar()->isVisible());
    shown = validatedItemFor("toggleToolbarShown:");
    EXPECT_EQ(shown->title().utf8(), "Show Toolbar");

    // The arrangement is back after a restart: hidden, text only, without Clipboard.
    restart();
    ASSERT_TRUE(toolbar());
    EXPECT_FALSE(toolbar()->isVisible());
    EXPECT_EQ(toolbar()->displayMode(), ui::ToolbarDisplayMode::LabelOnly);
    EXPECT_EQ(toolbar()->itemIdentifiers(), arranged);
    shown = validatedItemFor("toggleToolbarShown:");
    EXPECT_EQ(shown->title().utf8(), "Show Toolbar");
    ASSERT_TRUE(choose(shown));
    EXPECT_TRUE(toolbar()->isVisible());
    EXPECT_EQ(validatedItemFor("toggleToolbarShown:")->title().utf8(), "Hide Toolbar");
}

TEST_F(ToolbarAndMenus, WhileThePreferencesSheetIsUpTheToolbarAndTheViewMenuWait)
{
    pressToolbarItem(Lumvara_TessaroAppDelegate::PreferencesItemIdentifier);
    ASSERT_EQ(window().attachedSheet(), app().prefWindow());
    wait(0.1); // a display pass
    for (const char* identifier : { "Export", "Clipboard", "Preferences" }) {
        auto viewer = toolbarItemViewer(identifier);
        ASSERT_TRUE(viewer) << identifier;
        EXPECT_FALSE(viewer->item()->isEnabled()) << identifier << " looks disabled";
    }
    EXPECT_FALSE(toolbarItemViewer(ui::ToolbarItemIdentifier::ShowFonts)->item()->isEnabled());
    // Export acts on nothing while the sheet is up (the sheet keeps the window's mouse; the item its own state).
    EXPECT_FALSE(toolbarItemViewer("Export")->item()->performAction());
    EXPECT_EQ(window().attachedSheet(), app().prefWindow());
    EXPECT_FALSE(validatedItemFor("toggleToolbarShown:")->isEnabled());
    EXPECT_FALSE(validatedItemFor("runToolbarCustomizationPalette:")->isEnabled());
    EXPECT_FALSE(validatedItemFor("export:")->isEnabled());

    pressKey(0x1B, ui::KeyCode::Escape);
    ASSERT_FALSE(window().attachedSheet());
    wait(0.1);
    EXPECT_TRUE(toolbarItemViewer("Export")->item()->isEnabled());
    EXPECT_TRUE(validatedItemFor("toggleToolbarShown:")->isEnabled());
}
