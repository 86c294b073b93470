#include "ContainersTestSupport.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/containers/ToolbarCustomizationPalette.h"
#include "platform/ui/containers/ToolbarView.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/detail/PanelText.h"
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

namespace {

std::vector<std::string> titlesOf(const Menu& menu)
{
    std::vector<std::string> titles;
    for (const auto& item : menu.itemArray())
        titles.push_back(item->isSeparatorItem() ? "-" : item->title().utf8());
    return titles;
}

// A view in the content that answers copy: (as an edited text does), so a nil-targeted Copy acts on the window.
class ToolbarTestCopier : public View {
    FND_OBJECT(ToolbarTestCopier)
    static void describeClass(fnd::ClassBuilder<ToolbarTestCopier>& c) { c.action("copy:", &ToolbarTestCopier::copy); }

public:
    bool acceptsFirstResponder() const override { return true; }
    void copy(const fnd::Value&) { ++copies; }
    int copies { 0 };
};
FND_REGISTER_CLASS(ToolbarTestCopier, View)

}

TEST_F(ToolbarTest, TheContextMenuOffersTheModesCustomisationAndHiding)
{
    auto toolbar = makeToolbar("ToolbarTest.ContextMenu");
    toolbar->attachToWindow(window);
    auto menu = toolbar->contextMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(titlesOf(*menu),
        (std::vector<std::string> {
            "Icon and Text", "Icon Only", "Text Only", "-", "Customise Toolbar…", "Hide Toolbar" }));
    EXPECT_EQ(menu->itemAtIndex(0)->state(), ControlStateValue::On) << "the default mode shows icon and text";
    EXPECT_EQ(menu->itemAtIndex(1)->state(), ControlStateValue::Off);

    // A right click on the strip, and one on an item, open it; the choice applies to the toolbar.
    double full = toolbar->height();
    backend->answerNextPopUpMenu(2);
    backend->rightMouseDown(*window, at(*toolbar->view(), { 395, 5 }));
    dispatch();
    EXPECT_EQ(toolbar->displayMode(), ToolbarDisplayMode::LabelOnly);
    EXPECT_LT(toolbar->height(), full) << "labels alone make a lower strip";
    EXPECT_EQ(toolbar->contextMenu()->itemAtIndex(2)->state(), ControlStateValue::On);
    auto exportViewer = viewerOf(*toolbar, "Export");
    backend->answerNextPopUpMenu(1);
    backend->rightMouseDown(*window, at(*exportViewer, middle(*exportViewer)));
    dispatch();
    EXPECT_EQ(toolbar->displayMode(), ToolbarDisplayMode::IconOnly);
    EXPECT_TRUE(controller->actions.empty()) << "the right mouse presses no item";

    // Customise Toolbar… puts the sheet up; while it is up the strip has no menu of its own.
    exportViewer = viewerOf(*toolbar, "Export"); // a new mode lays out new viewers
    backend->answerNextPopUpMenu(4);
    backend->rightMouseDown(*window, at(*exportViewer, middle(*exportViewer)));
    dispatch();
    ASSERT_TRUE(toolbar->customizationPaletteIsRunning());
    EXPECT_EQ(toolbar->contextMenu(), nullptr);
    toolbar->endCustomization();

    // Hide Toolbar gives the room back; the kept configuration says so.
    backend->answerNextPopUpMenu(5);
    backend->rightMouseDown(*window, at(*toolbar->view(), { 395, 5 }));
    dispatch();
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_EQ(window->frame().height(), 322);
    auto kept
        = fnd::UserDefaults::standardUserDefaults().dictionaryForKey("NSToolbar Configuration ToolbarTest.ContextMenu");
    ASSERT_TRUE(kept);
    EXPECT_FALSE(kept->get("TB Is Shown").boolValue());
    EXPECT_EQ(kept->get("TB Display Mode").integerValue(), 2);

    // A toolbar the person may not arrange can still be hidden.
    auto fixed = Toolbar::create("ToolbarTest.Fixed");
    fixed->setDelegate(controller);
    EXPECT_EQ(titlesOf(*fixed->contextMenu()), (std::vector<std::string> { "Hide Toolbar" }));
}

TEST_F(ToolbarTest, TheWindowAnswersShowHideAndCustomiseFromTheMenus)
{
    auto toolbar = makeToolbar("ToolbarTest.WindowMenu");
    toolbar->attachToWindow(window);
    // As in a View menu: nil-targeted, so they reach the key window through the responder chain.
    auto view = Menu::create("View");
    auto shown = view->addItemWithTitle("Show Toolbar", "toggleToolbarShown:");
    auto customise = view->addItemWithTitle("Customise Toolbar…", "runToolbarCustomizationPalette:");
    view->update();
    EXPECT_EQ(shown->title().utf8(), "Hide Toolbar") << "the title says what the item will do";
    EXPECT_TRUE(shown->isEnabled());
    EXPECT_TRUE(customise->isEnabled());
    EXPECT_TRUE(view->performActionForItemAtIndex(0));
    EXPECT_FALSE(toolbar->isVisible());
    view->update();
    EXPECT_EQ(shown->title().utf8(), "Show Toolbar");
    EXPECT_TRUE(view->performActionForItemAtIndex(0));
    EXPECT_TRUE(toolbar->isVisible());

    // Customising a hidden toolbar shows it first; while the sheet is up neither item is available.
    toolbar->setVisible(false);
    EXPECT_TRUE(view->performActionForItemAtIndex(1));
    EXPECT_TRUE(toolbar->isVisible());
    ASSERT_TRUE(toolbar->customizationPaletteIsRunning());
    window->makeKeyWindow(); // the menus act on the main window, not on the sheet
    view->update();
    EXPECT_FALSE(shown->isEnabled());
    EXPECT_FALSE(customise->isEnabled());
    toolbar->endCustomization();

    // A window without a toolbar offers neither.
    toolbar->attachToWindow(nullptr);
    view->update();
    EXPECT_FALSE(shown->isEnabled());
    EXPECT_FALSE(customise->isEnabled());
}

TEST_F(ToolbarTest, ItemsAndMenuItemsActingOnTheWindowWaitWhileItShowsASheet)
{
    auto toolbar = makeToolbar("ToolbarTest.Sheet");
    toolbar->attachToWindow(window);
    auto copier = makeView<ToolbarTestCopier>({ 10, 10, 50, 50 });
    add(copier);
    window->makeFirstResponder(copier);
    auto edit = Menu::create("Edit");
    auto copy = edit->addItemWithTitle("Copy", "copy:");
    snapshot(*window, "toolbar-before-sheet");
    auto exportViewer = viewerOf(*toolbar, "Export");
    ASSERT_TRUE(exportViewer->item()->isEnabled());

    // A sheet up: the items look and are disabled (the strip validates as it draws), the menu's Copy too.
    auto sheet = Window::create({ 0, 0, 200, 100 }, WindowStyleMask::DocModal);
    window->beginSheet(sheet, nullptr);
    auto image = snapshot(*window, "toolbar-with-sheet");
    EXPECT_FALSE(exportViewer->item()->isEnabled());
    EXPECT_FALSE(viewerOf(*toolbar, "NSToolbarShowFontsItem")->item()->isEnabled());
    EXPECT_FALSE(exportViewer->item()->performAction()) << "what the keyboard and assistive technology press";
    EXPECT_TRUE(controller->actions.empty());
    edit->update();
    EXPECT_FALSE(copy->isEnabled());
    EXPECT_FALSE(edit->performActionForItemAtIndex(0));
    EXPECT_EQ(copier->copies, 0);

    // The sheet gone: everything as before.
    window->endSheet(sheet);
    snapshot(*window, "toolbar-after-sheet");
    EXPECT_TRUE(exportViewer->item()->isEnabled());
    edit->update();
    EXPECT_TRUE(copy->isEnabled());
    EXPECT_TRUE(edit->performActionForItemAtIndex(0));
    EXPECT_EQ(copier->copies, 1);
}

TEST_F(ToolbarTest, AKeptConfigurationIsReadWithinBounds)
{
    // What a damaged or hand-edited file may hold: non-strings, a second Export, and thousands of separators.
    fnd::Array list { fnd::String("Export"), fnd::Value(7), fnd::Array {}, fnd::String("Export"),
        fnd::String("Clipboard") };
    for (int i = 0; i < 5000; ++i)
        list.push_back(ToolbarItemIdentifier::Separator);
    fnd::UserDefaults::standardUserDefaults().setObject(
        fnd::Dictionary { { "TB Item Identifiers", list }, { "TB Display Mode", 1e300 }, { "TB Is Shown", "no" } },
        "NSToolbar Configuration ToolbarTest.Bounds");
    auto toolbar = makeToolbar("ToolbarTest.Bounds");
    auto kept = ids(*toolbar);
    ASSERT_EQ(kept.size(), 256u) << "at most 256 items";
    EXPECT_EQ(std::vector<std::string>(kept.begin(), kept.begin() + 3),
        (std::vector<std::string> { "Export", "Clipboard", "NSToolbarSeparatorItem" }))
        << "an item once, non-strings left out";
    EXPECT_EQ(toolbar->displayMode(), ToolbarDisplayMode::Default);
    EXPECT_FALSE(toolbar->isVisible());

    // The same bound for insertions, and for a configuration set directly.
    toolbar->insertItemWithItemIdentifier(ToolbarItemIdentifier::Space, 0);
    EXPECT_EQ(ids(*toolbar).size(), 256u);
    EXPECT_EQ(ids(*toolbar).front(), "Export");
    toolbar->setConfigurationFromDictionary(fnd::Dictionary { { "TB Item Identifiers", list } });
    EXPECT_EQ(ids(*toolbar).size(), 256u);
}

// The list the toolbar fuzz target draws from: the items a toolbar makes without its delegate, each taken from a
// kept configuration, where an identifier of the program's is left out when no delegate offers it.
TEST_F(ToolbarTest, TheStandardIdentifiersAreTheItemsAToolbarMakesWithoutItsDelegate)
{
    using namespace ToolbarItemIdentifier;
    const auto& standard = standardIdentifiers();
    EXPECT_EQ(standard,
        (std::vector<fnd::String> { Separator, Space, FlexibleSpace, ShowColors, ShowFonts, CustomizeToolbar }));
    fnd::Array list { fnd::String("Export") };
    list.insert(list.end(), standard.begin(), standard.end());
    auto toolbar = Toolbar::create("ToolbarTest.Standard");
    (void)toolbar->items();
    toolbar->setConfigurationFromDictionary(fnd::Dictionary { { "TB Item Identifiers", list } });
    EXPECT_EQ(toolbar->itemIdentifiers(), standard);
}

TEST_F(ToolbarTest, ViewersFollowTheItemsAndOutliveChangesOfMode)
{
    auto toolbar = makeToolbar("ToolbarTest.Viewers");
    toolbar->attachToWindow(window);
    auto& strip = *toolbar->view();
    // Each item has its viewer, in item order, all just below the overflow button.
    auto inStep = [&] {
        const auto& viewers = strip.viewers();
        if (viewers.size() != toolbar->items().size())
            return false;
        const auto& subviews = strip.subviews();
        auto chevron = std::ranges::find(subviews, strip.overflowButton());
        if (chevron - subviews.begin() < long(viewers.size()))
            return false;
        for (std::size_t i = 0; i < viewers.size(); ++i) {
            if (viewers[i]->item() != toolbar->items()[i] || *(chevron - long(viewers.size() - i)) != viewers[i])
                return false;
        }
        return true;
    };
    ASSERT_TRUE(inStep());
    const auto before = strip.viewers();

    // Modes and visibility keep the viewers (and what a viewer holds, such as the keyboard).
    toolbar->setDisplayMode(ToolbarDisplayMode::LabelOnly);
    toolbar->setSizeMode(ToolbarSizeMode::Small);
    toolbar->setVisible(false);
    toolbar->setVisible(true);
    EXPECT_EQ(strip.viewers(), before);
    EXPECT_TRUE(inStep());

    // A moved item takes its viewer along; a removed one's viewer leaves the strip; a new item gets a new one.
    toolbar->moveItem(0, 4);
    EXPECT_TRUE(inStep());
    EXPECT_EQ(strip.viewers()[4], before[0]);
    toolbar->removeItemAtIndex(1);
    EXPECT_TRUE(inStep());
    EXPECT_FALSE(before[2]->superview()) << "the first flexible space's viewer";
    // Ends swapped: the last viewer goes to the front and the first to the back.
    const auto count = long(toolbar->items().size());
    const auto first = strip.viewers().front();
    const auto last = strip.viewers().back();
    toolbar->moveItem(count - 1, 0);
    toolbar->moveItem(1, count - 1);
    EXPECT_TRUE(inStep());
    EXPECT_EQ(strip.viewers().front(), last);
    EXPECT_EQ(strip.viewers().back(), first);
    toolbar->insertItemWithItemIdentifier("Search", 0);
    EXPECT_TRUE(inStep());
    auto search = strip.viewers()[0];
    EXPECT_EQ(std::ranges::count(before, search), 0);
    ASSERT_TRUE(search->item()->view());
    EXPECT_EQ(search->item()->view()->superview(), search);

    // An item given another view shows it after the next reload.
    auto other = containerstest::ColorView::make({ 0, 0, 100, 22 }, gfx::Color::blackColor());
    search->item()->setView(other);
    toolbar->setDisplayMode(ToolbarDisplayMode::IconAndLabel);
    EXPECT_TRUE(inStep());
    EXPECT_EQ(other->superview(), strip.viewers()[0]);
}

TEST_F(ToolbarTest, ARenamedItemIsMeasuredAgain)
{
    // Text only: an item is its label, 10 points of margin and 8 of bezel wide.
    auto metrics = ToolbarMetrics::forModes(ToolbarDisplayMode::LabelOnly, ToolbarSizeMode::Regular);
    auto item = ToolbarItem::create("Export");
    item->setLabel("E");
    const double narrow = metrics.minimumWidthOf(*item);
    EXPECT_EQ(narrow, detail::labelSize("E", metrics.labelFont).width + 18);
    item->setLabel("Export as a portable document");
    EXPECT_EQ(metrics.minimumWidthOf(*item), detail::labelSize(item->label(), metrics.labelFont).width + 18);
    EXPECT_GT(metrics.minimumWidthOf(*item), narrow);
    // In the small font the same label is measured anew.
    auto small = ToolbarMetrics::forModes(ToolbarDisplayMode::LabelOnly, ToolbarSizeMode::Small);
    EXPECT_EQ(small.minimumWidthOf(*item), detail::labelSize(item->label(), small.labelFont).width + 18);
}

TEST_F(ToolbarTest, SpacesNameThemselvesInThePaletteUntilGivenAnotherName)
{
    auto separator = ToolbarItem::create(ToolbarItemIdentifier::Separator);
    EXPECT_EQ(separator->paletteLabel().utf8(), "Separator");
    EXPECT_EQ(ToolbarItem::create(ToolbarItemIdentifier::FlexibleSpace)->paletteLabel().utf8(), "Flexible Space");
    EXPECT_TRUE(separator->label().isEmpty());
    auto copy = separator->copy();
    separator->setPaletteLabel("Divider");
    EXPECT_EQ(separator->paletteLabel().utf8(), "Divider");
    EXPECT_EQ(copy->paletteLabel().utf8(), "Separator");
    EXPECT_EQ(separator->copy()->paletteLabel().utf8(), "Divider");
    // An empty name falls back to the label, which a space has none of.
    copy->setPaletteLabel("");
    EXPECT_TRUE(copy->paletteLabel().isEmpty());
}
