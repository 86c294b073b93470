// The toolbar and the View menu while the preferences sheet is up (arranging the toolbar is driven on a real
// display: tests/application/display/ToolbarOnDisplayTest.cpp).
#include "AcceptanceSupport.h"

#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

using namespace acceptance;

namespace {

class ToolbarAndMenus : public ApplicationTest {
protected:
    // The main menu's item that sends the action, validated as when its menu opens.
    std::shared_ptr<ui::MenuItem> validatedItemFor(const char* action)
    {
        auto item = menuItemFor(action);
        if (item && item->menu())
            item->menu()->update();
        return item;
    }
};

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
    auto shown = validatedItemFor("toggleToolbarShown:");
    EXPECT_TRUE(shown->isEnabled());
    EXPECT_EQ(shown->title().utf8(), "Hide Toolbar");
    EXPECT_EQ(shown->menu()->title().utf8(), "View");
    EXPECT_TRUE(validatedItemFor("runToolbarCustomizationPalette:")->isEnabled());
}
