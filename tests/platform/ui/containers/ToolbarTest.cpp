#include "ContainersTestSupport.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/containers/ToolbarCustomizationPalette.h"
#include "platform/ui/containers/ToolbarView.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButton.h"
#include "support/MainBundleIdentifier.h"

#include <algorithm>

using namespace ui;
using containerstest::ContainersTest;

namespace {

// Kept toolbar configurations are read back from the defaults file, as after a restart.
const testsupport::MainBundleIdentifier toolbarTestBundle("org.example.toolbar-tests");

std::shared_ptr<gfx::Image> disc(gfx::ColorPtr color)
{
    return gfx::Image::imageWithSize({ 32, 32 }, false, [color](const gfx::Rect& r) {
        color->setFill();
        gfx::BezierPath::bezierPathWithOvalInRect(gfx::insetRect(r, 3, 3))->fill();
        return true;
    });
}

// The application's side of a toolbar: three items of its own, a search field, and the actions they send.
class Controller : public fnd::Object, public ToolbarDelegate {
    FND_OBJECT(Controller)
    static void describeClass(fnd::ClassBuilder<Controller>& c);

public:
    std::shared_ptr<ToolbarItem> toolbarItemForItemIdentifier(Toolbar&, const fnd::String& id, bool) override
    {
        auto item = ToolbarItem::create(id);
        auto self = std::static_pointer_cast<Controller>(shared_from_this());
        if (id == fnd::String("Export")) {
            item->setLabel("Export");
            item->setImage(disc(gfx::Color::colorWithCalibratedRed(0.2, 0.5, 0.9)));
            item->setTarget(self);
            item->setAction("export:");
        } else if (id == fnd::String("Clipboard")) {
            item->setLabel("Clipboard");
            item->setImage(disc(gfx::Color::colorWithCalibratedRed(0.9, 0.6, 0.1)));
            item->setTarget(self);
            item->setAction("exportToPasteboard:");
        } else if (id == fnd::String("Preferences")) {
            // Nil-targeted, to an action nobody answers: validation disables it.
            item->setLabel("Preferences");
            item->setImage(disc(gfx::Color::colorWithCalibratedWhite(0.5)));
            item->setAction("showPreferences:");
        } else if (id == fnd::String("Search")) {
            item->setLabel("Search");
            item->setView(containerstest::ColorView::make({ 0, 0, 120, 22 }, gfx::Color::whiteColor()));
            item->setMinSize({ 80, 22 });
            item->setMaxSize({ 200, 22 });
        } else {
            return nullptr;
        }
        return item;
    }
    std::vector<fnd::String> toolbarDefaultItemIdentifiers(Toolbar&) override
    {
        return { "Export", "Clipboard", ToolbarItemIdentifier::FlexibleSpace, ToolbarItemIdentifier::ShowFonts,
            ToolbarItemIdentifier::ShowColors, ToolbarItemIdentifier::FlexibleSpace, "Preferences" };
    }
    std::vector<fnd::String> toolbarAllowedItemIdentifiers(Toolbar&) override
    {
        return { ToolbarItemIdentifier::ShowFonts, ToolbarItemIdentifier::ShowColors, ToolbarItemIdentifier::Separator,
            ToolbarItemIdentifier::Space, ToolbarItemIdentifier::FlexibleSpace, ToolbarItemIdentifier::CustomizeToolbar,
            "Export", "Preferences", "Clipboard", "Search" };
    }
    std::optional<std::vector<fnd::String>> toolbarSelectableItemIdentifiers(Toolbar&) override
    {
        return std::vector<fnd::String> { "Export" };
    }

    void exportAction(const fnd::Value&) { actions.push_back("export"); }
    void exportToPasteboard(const fnd::Value&) { actions.push_back("clipboard"); }
    bool validateToolbarItem(const fnd::Value& item)
    {
        auto i = item.objectAs<ToolbarItem>();
        return !(i && i->itemIdentifier() == fnd::String("Clipboard") && clipboardEmpty);
    }

    std::vector<std::string> actions;
    bool clipboardEmpty { false };
};
FND_REGISTER_CLASS(Controller, fnd::Object)

void Controller::describeClass(fnd::ClassBuilder<Controller>& c)
{
    c.action("export:", &Controller::exportAction);
    c.action("exportToPasteboard:", &Controller::exportToPasteboard);
    c.action("validateToolbarItem:", &Controller::validateToolbarItem);
}

class ToolbarTest : public ContainersTest {
protected:
    std::shared_ptr<Toolbar> makeToolbar(const char* identifier)
    {
        auto toolbar = Toolbar::create(identifier);
        toolbar->setDelegate(controller);
        toolbar->setAllowsUserCustomization(true);
        toolbar->setAutosavesConfiguration(true);
        return toolbar;
    }
    std::vector<std::string> ids(const Toolbar& t) const
    {
        std::vector<std::string> out;
        for (const auto& id : t.itemIdentifiers())
            out.push_back(id.utf8());
        return out;
    }
    std::shared_ptr<ToolbarItemViewer> viewerOf(const Toolbar& t, const char* identifier) const
    {
        for (const auto& v : t.view()->viewers())
            if (v->item()->itemIdentifier() == fnd::String(identifier))
                return v;
        return nullptr;
    }
    gfx::Point middle(View& v) const { return { v.bounds().midX(), v.bounds().midY() }; }

    std::shared_ptr<Controller> controller = fnd::makeObject<Controller>();
};

}

TEST_F(ToolbarTest, TheToolbarSitsAboveTheContentWhichKeepsItsRect)
{
    auto toolbar = makeToolbar("ToolbarTest.Placement");
    auto contentBefore = window->contentRectForFrameRect(window->frame());
    toolbar->attachToWindow(window);
    double h = toolbar->height();
    EXPECT_GT(h, 40);
    EXPECT_EQ(window->frame().height(), 300 + 22 + h);
    EXPECT_EQ(window->contentRectForFrameRect(window->frame()), contentBefore);
    EXPECT_EQ(window->contentView()->frame(), (gfx::Rect { 0, 0, 400, 300 }));
    EXPECT_EQ(toolbar->view()->frame(), (gfx::Rect { 0, 300, 400, h }));

    // Smaller modes make a lower strip; hiding gives the room back.
    toolbar->setDisplayMode(ToolbarDisplayMode::LabelOnly);
    EXPECT_LT(toolbar->height(), h);
    EXPECT_EQ(window->frame().height(), 300 + 22 + toolbar->height());
    toolbar->setVisible(false);
    EXPECT_EQ(window->frame().height(), 322);
    EXPECT_EQ(window->contentView()->frame().size, (gfx::Size { 400, 300 }));
    toolbar->setVisible(true);
    toolbar->setDisplayMode(ToolbarDisplayMode::IconAndLabel);

    // The delegate's defaults, with the standard items made by the toolbar.
    EXPECT_EQ(ids(*toolbar),
        (std::vector<std::string> { "Export", "Clipboard", "NSToolbarFlexibleSpaceItem", "NSToolbarShowFontsItem",
            "NSToolbarShowColorsItem", "NSToolbarFlexibleSpaceItem", "Preferences" }));
    auto fonts = viewerOf(*toolbar, "NSToolbarShowFontsItem");
    ASSERT_TRUE(fonts);
    EXPECT_FALSE(fonts->item()->label().isEmpty());
    // The flexible spaces take what is left: Preferences ends at the right edge.
    EXPECT_EQ(viewerOf(*toolbar, "Preferences")->frame().maxX(), 400 - 8);

    auto image = snapshot(*window, "toolbar");
    auto exportViewer = viewerOf(*toolbar, "Export");
    auto icon = pixelIn(*image, *exportViewer, { exportViewer->bounds().midX(), 5 + 12 });
    EXPECT_GT(int(icon & 0xff), int((icon >> 16) & 0xff) + 80) << "the blue icon is drawn in the strip";
}

TEST_F(ToolbarTest, ClicksSendActionsAndValidationDisablesItems)
{
    auto toolbar = makeToolbar("ToolbarTest.Validation");
    toolbar->attachToWindow(window);
    auto exportViewer = viewerOf(*toolbar, "Export");
    click(*exportViewer, middle(*exportViewer));
    EXPECT_EQ(controller->actions, (std::vector<std::string> { "export" }));
    EXPECT_EQ(toolbar->selectedItemIdentifier().utf8(), "Export") << "a selectable item stays selected";

    controller->clipboardEmpty = true;
    toolbar->validateVisibleItems();
    auto clipboard = viewerOf(*toolbar, "Clipboard");
    EXPECT_FALSE(clipboard->item()->isEnabled());
    EXPECT_FALSE(viewerOf(*toolbar, "Preferences")->item()->isEnabled()) << "nobody answers showPreferences:";
    EXPECT_TRUE(viewerOf(*toolbar, "NSToolbarShowFontsItem")->item()->isEnabled());
    click(*clipboard, middle(*clipboard));
    EXPECT_EQ(controller->actions.size(), 1u) << "a disabled item sends nothing";

    controller->clipboardEmpty = false;
    click(*clipboard, middle(*clipboard));
    EXPECT_EQ(controller->actions.back(), "clipboard") << "validated again before the click";
    // A release outside the item sends nothing.
    press(*clipboard, middle(*clipboard));
    release(*exportViewer, middle(*exportViewer));
    dispatch();
    EXPECT_EQ(controller->actions.size(), 2u);
}

TEST_F(ToolbarTest, ItemsThatDoNotFitGoToTheOverflowMenu)
{
    auto toolbar = makeToolbar("ToolbarTest.Overflow");
    toolbar->attachToWindow(window);
    window->setContentSize({ 150, 300 });
    auto overflow = toolbar->view()->overflowItems();
    ASSERT_FALSE(overflow.empty());
    EXPECT_EQ(overflow.back()->itemIdentifier().utf8(), "Preferences");
    EXPECT_TRUE(std::ranges::find_if(overflow, [](const auto& i) {
        return i->itemIdentifier() == fnd::String("Clipboard");
    }) != overflow.end());
    auto& chevron = *toolbar->view()->overflowButton();
    EXPECT_FALSE(chevron.isHidden());
    EXPECT_LE(chevron.frame().maxX(), 150);
    // The menu lists the hidden items (spaces left out); choosing one sends its action.
    long clipboardIndex = 0;
    for (const auto& item : overflow) {
        if (item->isSpace())
            continue;
        if (item->itemIdentifier() == fnd::String("Clipboard"))
            break;
        ++clipboardIndex;
    }
    backend->answerNextPopUpMenu(clipboardIndex);
    click(chevron, middle(chevron));
    EXPECT_EQ(controller->actions, (std::vector<std::string> { "clipboard" }));
}

TEST_F(ToolbarTest, AToolbarCustomisedByDraggingSurvivesARestartThroughTheDefaults)
{
    {
        auto toolbar = makeToolbar("ToolbarTest.Customised");
        toolbar->attachToWindow(window);
        toolbar->runCustomizationPalette();
        auto sheet = std::dynamic_pointer_cast<ToolbarCustomizationPalette>(toolbar->customizationPalette());
        ASSERT_TRUE(sheet);
        EXPECT_EQ(window->attachedSheet(), sheet);
        snapshot(*sheet, "toolbar-customisation");

        // The customise item, from the palette to the front of the toolbar.
        auto customise = sheet->paletteItemWithIdentifier(ToolbarItemIdentifier::CustomizeToolbar);
        ASSERT_TRUE(customise);
        auto exportViewer = viewerOf(*toolbar, "Export");
        press(*customise, middle(*customise));
        drag(*customise, { middle(*customise).x + 5, middle(*customise).y });
        drag(*exportViewer, { 5, 20 });
        release(*exportViewer, { 5, 20 });
        dispatch();
        EXPECT_EQ(ids(*toolbar).front(), "NSToolbarCustomizeToolbarItem");

        // Clipboard, dragged out of the toolbar onto the sheet, is gone.
        auto clipboard = viewerOf(*toolbar, "Clipboard");
        press(*clipboard, middle(*clipboard));
        drag(*sheet->doneButton(), { 2, 2 });
        release(*sheet->doneButton(), { 2, 2 });
        dispatch();
        // Preferences, dragged along the toolbar, moves in front of Export.
        auto preferences = viewerOf(*toolbar, "Preferences");
        exportViewer = viewerOf(*toolbar, "Export");
        press(*preferences, middle(*preferences));
        drag(*exportViewer, { 3, 20 });
        release(*exportViewer, { 3, 20 });
        dispatch();
        // Small icons with labels.
        sheet->smallSizeCheckBox()->performClick();
        click(*sheet->doneButton(), middle(*sheet->doneButton()));
        EXPECT_FALSE(toolbar->customizationPaletteIsRunning());
        EXPECT_EQ(window->attachedSheet(), nullptr);
    }
    const std::vector<std::string> customised { "NSToolbarCustomizeToolbarItem", "Preferences", "Export",
        "NSToolbarFlexibleSpaceItem", "NSToolbarShowFontsItem", "NSToolbarShowColorsItem",
        "NSToolbarFlexibleSpaceItem" };

    // What another process reads from the file.
    fnd::UserDefaults fromDisk(fnd::UserDefaults::standardUserDefaults().suiteName());
    auto kept = fromDisk.dictionaryForKey("NSToolbar Configuration ToolbarTest.Customised");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->get("TB Size Mode").integerValue(), 2);
    ASSERT_TRUE(kept->get("TB Item Identifiers").isArray());
    EXPECT_EQ(kept->get("TB Item Identifiers").array()->size(), customised.size());

    // A new toolbar with the same identifier, as after a restart.
    auto again = makeToolbar("ToolbarTest.Customised");
    EXPECT_EQ(ids(*again), customised);
    EXPECT_EQ(again->sizeMode(), ToolbarSizeMode::Small);

    // A kept identifier the program no longer allows is dropped; a toolbar without autosave ignores the kept one.
    fnd::UserDefaults::standardUserDefaults().setObject(
        fnd::Dictionary { { "TB Item Identifiers", fnd::Array { fnd::String("Export"), fnd::String("Gone") } },
            { "TB Display Mode", 9 } },
        "NSToolbar Configuration ToolbarTest.Damaged");
    auto damaged = makeToolbar("ToolbarTest.Damaged");
    EXPECT_EQ(ids(*damaged), (std::vector<std::string> { "Export" }));
    EXPECT_EQ(damaged->displayMode(), ToolbarDisplayMode::Default);
    auto plain = Toolbar::create("ToolbarTest.Customised");
    plain->setDelegate(controller);
    EXPECT_EQ(ids(*plain).size(), 7u);
    EXPECT_EQ(ids(*plain).front(), "Export");
}

TEST_F(ToolbarTest, OutsideCustomisationItemsCannotBeDraggedAndTheDefaultSetRestores)
{
    auto toolbar = makeToolbar("ToolbarTest.DefaultSet");
    toolbar->attachToWindow(window);
    toolbar->removeItemAtIndex(0);
    toolbar->insertItemWithItemIdentifier("Search", 0);
    toolbar->insertItemWithItemIdentifier("Nothing", 0);
    EXPECT_EQ(ids(*toolbar).front(), "Search") << "an identifier without an item is ignored";
    EXPECT_THROW(toolbar->removeItemAtIndex(40), fnd::Exception);
    auto search = viewerOf(*toolbar, "Search");
    EXPECT_GE(search->item()->view()->frame().width(), 80);
    EXPECT_LE(search->item()->view()->frame().width(), 200);

    toolbar->runCustomizationPalette();
    auto sheet = std::dynamic_pointer_cast<ToolbarCustomizationPalette>(toolbar->customizationPalette());
    auto& defaults = *sheet->defaultSetView();
    auto first = viewerOf(*toolbar, "Search");
    press(defaults, middle(defaults));
    drag(*first, { 10, 10 });
    release(*first, { 10, 10 });
    dispatch();
    EXPECT_EQ(ids(*toolbar).front(), "Export");
    EXPECT_EQ(ids(*toolbar).size(), 7u);
    sheet->doneButton()->performClick();
    EXPECT_FALSE(toolbar->customizationPaletteIsRunning());
}
