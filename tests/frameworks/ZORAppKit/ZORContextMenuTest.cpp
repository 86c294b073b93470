#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORContextMenu/ZORActionContextMenu.h"
#include "frameworks/ZORAppKit/ZORContextMenu/ZORContextMenuButton.h"
#include "frameworks/ZORAppKit/ZORContextMenu/ZORSharingServicePickerMenu.h"

#include "platform/graphics/Image.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Window.h"

namespace {

using namespace zortest;

class ZORContextMenuTest : public ZORAppKitTest { };

TEST_F(ZORContextMenuTest, TheMenuHandedOutIsACopy)
{
    auto owner = fnd::makeObject<ZORActionContextMenu>();
    owner->addMenuItem(ui::MenuItem::create("One"));
    owner->addSeparatorItem();
    owner->addMenuItem(ui::MenuItem::create("Two"));
    auto copy = owner->menu();
    ASSERT_EQ(copy->numberOfItems(), 3);
    EXPECT_TRUE(copy->itemAtIndex(1)->isSeparatorItem());
    copy->removeItemAtIndex(0);
    copy->itemAtIndex(0)->setTitle("Changed");
    EXPECT_EQ(owner->menu()->numberOfItems(), 3);
    EXPECT_EQ(owner->menu()->itemAtIndex(0)->title(), u"One");

    owner->removeAllItems();
    EXPECT_EQ(owner->menu()->numberOfItems(), 0);
    auto replacement = ui::Menu::create();
    replacement->addItemWithTitle("Replaced");
    owner->setMenu(replacement);
    EXPECT_EQ(owner->menu()->itemAtIndex(0)->title(), u"Replaced");
}

TEST_F(ZORContextMenuTest, ItPopsUpAtTheCentreOfTheViewsFrame)
{
    auto container = ui::View::create({ 30, 50, 200, 150 });
    add(container);
    auto view = ui::View::create({ 10, 20, 100, 40 });
    container->addSubview(view);
    auto owner = fnd::makeObject<ZORActionContextMenu>();
    auto item = ui::MenuItem::create("Act", "chose:");
    item->setTarget(log);
    owner->addMenuItem(item);

    backend->answerNextPopUpMenu(0);
    owner->showContextMenuForView(*view);
    EXPECT_EQ(log->received, (std::vector<std::string> { "chose" }));
    ASSERT_EQ(backend->popUpMenuLocations().size(), 1u);
    // (60, 40) in the superview's coordinates, through the window to the screen.
    auto expected = window->convertBaseToScreen(container->convertPointToView({ 60, 40 }, nullptr));
    EXPECT_EQ(backend->popUpMenuLocations()[0], expected);

    // At a chosen window point; dismissed, nothing is sent.
    backend->answerNextPopUpMenu(std::nullopt);
    owner->showContextMenuForView(*view, { 5, 7 });
    EXPECT_EQ(backend->popUpMenuLocations().back(), window->convertBaseToScreen({ 5, 7 }));
    EXPECT_EQ(log->received.size(), 1u);
}

TEST_F(ZORContextMenuTest, ActionButtonsFireAsSoonAsTheMouseGoesDown)
{
    auto button = ZORContextMenuButton::create({ 10, 10, 24, 22 });
    button->setTarget(log);
    button->setAction("clicked:");
    add(button);
    auto plain = ui::Button::create({ 50, 10, 60, 22 }, "New");
    plain->setCell(fnd::makeObject<ZORNewContextMenuButtonCell>());
    plain->setTarget(log);
    plain->setAction("chose:");
    add(plain);

    for (const auto& view : std::vector<std::shared_ptr<ui::Button>> { button, plain }) {
        log->received.clear();
        press(*view, { 5, 5 });
        dispatch();
        EXPECT_EQ(log->received.size(), 1u) << "before the button is released";
        release(*view, { 5, 5 });
        dispatch();
        EXPECT_EQ(log->received.size(), 1u) << "and only then";
    }
}

TEST_F(ZORContextMenuTest, TheTypeChoosesTheImageAndTheBorder)
{
    auto cell = fnd::makeObject<ZORContextMenuButtonCell>();
    ASSERT_TRUE(cell->image()) << "the add-action image from the framework's resources";
    EXPECT_EQ(cell->image()->size(), gfx::Size(16, 16));
    EXPECT_EQ(cell->actionMask(), ui::EventMasks::LeftMouseDown | ui::EventMasks::LeftMouseDragged);
    EXPECT_EQ(cell->actionMask(), 66u);
    EXPECT_EQ(cell->buttonType(), ui::ButtonType::MomentaryChange);
    EXPECT_EQ(cell->bezelStyle(), ui::BezelStyle::SmallSquare);
    EXPECT_EQ(cell->imagePosition(), ui::CellImagePosition::ImageOnly);
    EXPECT_EQ(cell->highlightsBy(), ui::CellMask::Contents);
    EXPECT_TRUE(cell->title().isEmpty());
    EXPECT_TRUE(cell->isBordered());

    auto addAction = cell->image();
    cell->setType(ZORContextMenuButtonCell::Action);
    ASSERT_TRUE(cell->image());
    EXPECT_NE(cell->image(), addAction);
    EXPECT_TRUE(cell->isBordered());
    cell->setType(ZORContextMenuButtonCell::AddPlusForScrollbar);
    ASSERT_TRUE(cell->image());
    EXPECT_EQ(cell->image()->size(), gfx::Size(15, 15));
    EXPECT_FALSE(cell->isBordered());
    EXPECT_FALSE(cell->isBezeled());
    cell->setType(9);
    EXPECT_FALSE(cell->image());
}

TEST_F(ZORContextMenuTest, TheSharingMenuListsEveryServiceForTheItemsOrIsNone)
{
    // Nothing is started: the mail program is one that answers.
    auto previous = ui::SharingService::setProgramRunner([](const fnd::StringArray&, bool) { return 0; });
    class Delegate : public ui::SharingServiceDelegate { };
    auto delegate = std::make_shared<Delegate>();
    const std::vector<fnd::Value> items { fnd::Value("A note") };
    auto menu = ZORSharingServicePickerMenu::menuForSharingItems(items, log, "clicked:", delegate);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), u"MountainLionSharingMenu");
    const auto services = ui::SharingService::sharingServicesForItems(items);
    ASSERT_EQ(menu->numberOfItems(), long(services.size()));
    ASSERT_EQ(menu->numberOfItems(), 2) << "e-mail and copy take a text";
    for (long i = 0; i < menu->numberOfItems(); ++i) {
        auto item = menu->itemAtIndex(i);
        auto service = item->representedObject().objectAs<ui::SharingService>();
        ASSERT_NE(service, nullptr);
        EXPECT_EQ(item->title(), service->title());
        EXPECT_EQ(item->title(), services[std::size_t(i)]->title());
        EXPECT_EQ(item->action(), fnd::Selector("clicked:"));
        EXPECT_EQ(item->target(), log);
        EXPECT_TRUE(item->keyEquivalent().isEmpty());
        EXPECT_EQ(service->delegate(), delegate);
    }
    // Choosing an item hands the items to its service.
    auto copy = menu->itemAtIndex(1)->representedObject().objectAs<ui::SharingService>();
    copy->performWithItems(items);
    EXPECT_EQ(ui::Pasteboard::generalPasteboard()->stringForType(ui::PasteboardType::String), fnd::String("A note"));

    EXPECT_EQ(ZORSharingServicePickerMenu::menuForSharingItems({ fnd::Value(7) }, log, "clicked:", delegate), nullptr)
        << "no service takes a number: no menu rather than an empty one";
    ui::SharingService::setProgramRunner(previous);
}

}
