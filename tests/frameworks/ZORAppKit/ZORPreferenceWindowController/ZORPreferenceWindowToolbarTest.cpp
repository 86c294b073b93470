#include "PreferenceWindowTestSupport.h"

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIconView.h"

#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/containers/ToolbarItem.h"
#include "platform/ui/containers/ToolbarView.h"

#include <gtest/gtest.h>

using namespace prefstest;
using Identifiers = std::vector<fnd::String>;

namespace {

class PreferenceToolbarTest : public PreferenceWindowTest {
protected:
    // Clicks the toolbar item of that identifier in the window.
    void clickItem(const fnd::String& identifier)
    {
        auto window = controller->window();
        auto strip = std::dynamic_pointer_cast<ui::ToolbarView>(controller->toolbar()->view());
        ASSERT_TRUE(strip);
        for (const auto& viewer : strip->viewers()) {
            if (viewer->item()->itemIdentifier() != identifier)
                continue;
            auto b = viewer->bounds();
            auto point = viewer->convertPointToView({ b.midX(), b.midY() }, nullptr);
            backend->mouseDown(*window, point);
            backend->mouseUp(*window, point);
            backend->dispatchEvents();
            return;
        }
        FAIL() << "no toolbar item " << identifier.utf8();
    }
};

}

TEST_F(PreferenceToolbarTest, TheToolbarListsThePanesInOrderAfterShowAll)
{
    for (const char* identifier : { "general", "fonts", "export" })
        addPane(identifier, gfx::Size { 300, 200 });
    auto& probe = *ui::Toolbar::create("probe");
    const Identifiers panes { "general", "fonts", "export" };
    EXPECT_EQ(controller->toolbarDefaultItemIdentifiers(probe), panes);
    EXPECT_EQ(controller->toolbarSelectableItemIdentifiers(probe), panes);

    controller->setUsesConfigurationPane(true);
    const auto& showAll = ZORPreferenceWindowController::ShowAllItemIdentifier;
    const Identifiers withShowAll { showAll, ui::ToolbarItemIdentifier::Separator, "general", "fonts", "export" };
    EXPECT_EQ(controller->toolbarAllowedItemIdentifiers(probe), withShowAll);
    EXPECT_EQ(
        controller->toolbarSelectableItemIdentifiers(probe), (Identifiers { showAll, "general", "fonts", "export" }));
    EXPECT_EQ(controller->toolbarItemForItemIdentifier(probe, showAll, true)->label(), u"Show All");
    EXPECT_FALSE(controller->toolbarItemForItemIdentifier(probe, "unknown", true));

    // The window's toolbar opens on "Show All", its first item.
    auto window = controller->window();
    EXPECT_TRUE(controller->toolbar()->allowsUserCustomization());
    EXPECT_EQ(controller->toolbar()->itemIdentifiers(), withShowAll);
    EXPECT_EQ(controller->toolbar()->selectedItemIdentifier(), showAll);
    EXPECT_EQ(window->contentView(), controller->iconView());
}

// Clicking toolbar items switches panes (resizing with the top edge kept), asks the shown pane first and keeps the
// toolbar's selection on what the window shows.
TEST_F(PreferenceToolbarTest, ToolbarClicksSwitchPanesAndTheSelectionFollowsTheWindow)
{
    controller->setUsesConfigurationPane(true);
    auto general = addPane("general", gfx::Size { 300, 140 }, "Basics");
    addPane("fonts", gfx::Size { 460, 260 }, "Appearance");
    addPane("export", gfx::Size { 380, 180 }, "Files");
    controller->setSortByCategory(true);
    auto window = controller->window();
    window->makeKeyAndOrderFront();
    auto& toolbar = *controller->toolbar();
    ASSERT_EQ(window->contentView(), controller->iconView());
    shot("ToolbarOverview");

    auto top = window->frame().maxY();
    resizes.clear();
    clickItem("fonts");
    ASSERT_TRUE(controller->activePane());
    EXPECT_EQ(controller->activePane()->identifier(), u"fonts");
    EXPECT_EQ(toolbar.selectedItemIdentifier(), u"fonts");
    EXPECT_EQ(window->contentRectForFrameRect(window->frame()).size, gfx::Size(460, 260));
    EXPECT_GT(resizes.size(), 2u) << "animated";
    for (const auto& frame : resizes)
        EXPECT_DOUBLE_EQ(frame.maxY(), top);
    // The toolbar lays its items out again for the wider window: all of them fit now.
    auto strip = std::dynamic_pointer_cast<ui::ToolbarView>(toolbar.view());
    EXPECT_TRUE(strip->overflowItems().empty());
    for (const auto& viewer : strip->viewers())
        EXPECT_FALSE(viewer->isHidden()) << viewer->item()->itemIdentifier().utf8();
    shot("ToolbarFonts");

    clickItem("general");
    EXPECT_EQ(controller->activePane(), general);
    general->allowsLeaving = false;
    messages->clear();
    clickItem("fonts");
    clickItem(ZORPreferenceWindowController::ShowAllItemIdentifier);
    EXPECT_EQ(controller->activePane(), general);
    EXPECT_EQ(toolbar.selectedItemIdentifier(), u"general") << "the refused item does not stay selected";
    EXPECT_EQ(*messages, (std::vector<std::string> { "general.shouldUnselect", "general.shouldUnselect" }));

    general->allowsLeaving = true;
    clickItem(ZORPreferenceWindowController::ShowAllItemIdentifier);
    EXPECT_FALSE(controller->activePane());
    EXPECT_EQ(window->contentView(), controller->iconView());
    EXPECT_EQ(toolbar.selectedItemIdentifier(), ZORPreferenceWindowController::ShowAllItemIdentifier);
    EXPECT_DOUBLE_EQ(window->frame().maxY(), top);

    // And from the overview: the toolbar follows a click on an icon too.
    auto picture = controller->iconView()->imageFrameForIconInCategoryWithIndex(2, 0);
    clickOverview({ picture.midX(), picture.midY() });
    ASSERT_TRUE(controller->activePane());
    EXPECT_EQ(toolbar.selectedItemIdentifier(), controller->activePane()->identifier());
}
