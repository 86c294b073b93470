#include "ControlsTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/menus/MenuScrollView.h"
#include "platform/ui/menus/MenuView.h"

using namespace ui;
using namespace controlstest;

namespace {

// Rebuilds its menu with a given number of numbered items each time it opens.
class CountingDelegate : public MenuDelegate {
public:
    std::optional<long> numberOfItemsInMenu(Menu&) override { return count; }
    bool menuUpdateItem(Menu&, MenuItem& item, long index, bool) override
    {
        item.setTitle(fnd::String("Item " + std::to_string(index)));
        return true;
    }
    long count { 3 };
};

class MenuTrackingTest : public ControlsTest {
protected:
    MenuTrackingTest()
    {
        menu = Menu::create();
        for (const char* title : { "First", "Second", "Third", "Fourth" })
            menu->addItemWithTitle(title, "clicked:")->setTarget(log);
    }

    // Opens the menu with its item at the screen point and, once it is up, notes its window and highlighted item,
    // then ends it with the keys given.
    void openAndLook(const std::shared_ptr<MenuItem>& item, gfx::Point at, std::vector<fnd::String> keys = { u"\x1b" })
    {
        // Something must be queued for the headless backend to show the menu (a key state change the menu leaves
        // alone).
        backend->flagsChanged(*window, 0, 0);
        backend->after(0.1, [this, keys] {
            for (const auto& w : app().orderedWindows()) {
                if (w->level() == WindowLevel::PopUpMenu)
                    menuFrame = w->frame();
            }
            highlighted = menu->highlightedItem();
            for (const auto& k : keys)
                backend->keyDown(*window, k, 0);
        });
        chosen = menu->popUpMenuPositioningItem(item, at);
    }

    // Opens any menu at the point and types the keys once it is up.
    void openAndLookAt(Menu& other, gfx::Point at, std::vector<fnd::String> keys)
    {
        backend->flagsChanged(*window, 0, 0);
        backend->after(0.1, [this, keys] {
            for (const auto& k : keys)
                backend->keyDown(*window, k, 0);
        });
        chosen = other.popUpMenuPositioningItem(nullptr, at);
    }

    std::shared_ptr<Menu> menu;
    gfx::Rect menuFrame;
    std::shared_ptr<MenuItem> highlighted;
    bool chosen { false };
};

TEST_F(MenuTrackingTest, TheItemOpensAtThePointAndStartsHighlighted)
{
    auto third = menu->itemAtIndex(2);
    openAndLook(third, { 300, 500 });
    auto layout = MenuView::layoutMenu(*menu);
    EXPECT_EQ(menuFrame.minX(), 300);
    EXPECT_EQ(menuFrame.maxY(), 500 + layout.rows[2].rect.minY()) << "the third row's top is at the point";
    EXPECT_EQ(menuFrame.size, layout.size);
    EXPECT_EQ(highlighted, third);
    EXPECT_FALSE(chosen) << "Escape dismissed it";
    EXPECT_FALSE(menu->highlightedItem()) << "nothing stays highlighted once closed";
    EXPECT_EQ(app().windows().size(), 1u);
}

TEST_F(MenuTrackingTest, MenusStayOnTheScreen)
{
    openAndLook(nullptr, { 1430, 30 });
    auto visible = backend->screens().front().visibleFrame;
    EXPECT_TRUE(gfx::containsRect(visible, menuFrame)) << gfx::stringFromRect(menuFrame).utf8();
}

TEST_F(MenuTrackingTest, KeyboardChoosesAndActs)
{
    auto down = fnd::String(std::u16string(1, FunctionKey::DownArrow));
    auto end = fnd::String(std::u16string(1, FunctionKey::End));
    menu->itemAtIndex(3)->setEnabled(false);
    menu->setAutoenablesItems(false);
    openAndLook(nullptr, { 300, 500 }, { down, down, end, u"\r" });
    EXPECT_TRUE(chosen);
    ASSERT_EQ(log->senders.size(), 1u);
    EXPECT_EQ(log->senders.back().objectAs<MenuItem>()->title(), u"Third") << "End goes to the last enabled item";

    // Typing picks by title; Return takes it.
    openAndLook(nullptr, { 300, 500 }, { u"s", u"\r" });
    EXPECT_EQ(log->senders.back().objectAs<MenuItem>()->title(), u"Second");
}

// Space chooses the highlighted item, unless a type-ahead search runs: then it is part of the title typed, so "Code
// 128" typed reaches Code 128, not Code 11 at "Code ". After a pause the search is over and Space chooses again.
TEST_F(MenuTrackingTest, SpaceExtendsATypeAheadSearchAndChoosesOtherwise)
{
    auto types = Menu::create();
    for (const char* title : { "Codabar", "Code 11", "Code 39", "Code 128", "QR Code" })
        types->addItemWithTitle(title, "clicked:")->setTarget(log);
    // Keys typed once the menu is up, each after its delay (seconds since the one before).
    auto typeIntoMenu = [&](std::vector<std::pair<double, fnd::String>> keys) {
        // Each key is queued once the one before was read, so the delays are the pauses between keys.
        auto next = std::make_shared<std::function<void(std::size_t)>>();
        *next = [this, keys, weakNext = std::weak_ptr(next)](std::size_t i) {
            if (i == keys.size())
                return;
            backend->after(keys[i].first, [this, keys, i, weakNext] {
                backend->keyDown(*window, keys[i].second, 0);
                if (auto more = weakNext.lock())
                    (*more)(i + 1);
            });
        };
        backend->flagsChanged(*window, 0, 0);
        (*next)(0);
        chosen = types->popUpMenuPositioningItem(nullptr, { 300, 500 });
    };
    auto typed = [](const char* text) {
        std::vector<std::pair<double, fnd::String>> keys;
        for (const char* c = text; *c; ++c)
            keys.emplace_back(0.1, fnd::String(std::string(1, *c)));
        return keys;
    };
    auto chosenTitle = [&] { return log->senders.back().objectAs<MenuItem>()->title().utf8(); };

    auto keys = typed("Code 128");
    keys.emplace_back(0.1, u"\r");
    typeIntoMenu(keys);
    ASSERT_TRUE(chosen) << "Space did not end the menu while the title was typed";
    EXPECT_EQ(chosenTitle(), "Code 128");
    EXPECT_EQ(log->senders.size(), 1u);

    // "Code 39" after "Code " highlighted Code 11.
    keys = typed("code 3");
    keys.emplace_back(0.1, u"\r");
    typeIntoMenu(keys);
    EXPECT_EQ(chosenTitle(), "Code 39");

    // No search: Space chooses the highlighted item, as before; so it does once the typing has paused.
    const auto down = fnd::String(std::u16string(1, FunctionKey::DownArrow));
    typeIntoMenu({ { 0.1, down }, { 0.1, down }, { 0.1, u" " } });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(chosenTitle(), "Code 11");
    typeIntoMenu({ { 0.1, u"q" }, { 1.5, u" " } });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(chosenTitle(), "QR Code");
    // Moving by keys ends the search too.
    const auto up = fnd::String(std::u16string(1, FunctionKey::UpArrow));
    typeIntoMenu({ { 0.1, u"q" }, { 0.1, up }, { 0.1, u" " } });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(chosenTitle(), "Code 128");
    EXPECT_EQ(log->senders.size(), 5u);
}

TEST_F(MenuTrackingTest, TheMouseHighlightsAndOnlyChoosableItemsAreTaken)
{
    menu->insertItem(MenuItem::separatorItem(), 1);
    auto sub = menu->insertItemWithTitle("More", {}, {}, 2);
    menu->setSubmenu(Menu::create("More"), *sub);
    auto layout = MenuView::layoutMenu(*menu);
    gfx::Point topLeft { 300, 500 };
    // Screen points of rows, through the window (its frame is where its content starts).
    auto rowPoint = [&](long index) {
        auto r = layout.rows[std::size_t(index)].rect;
        return gfx::Point { topLeft.x + 20, topLeft.y - r.midY() };
    };
    auto inBase = [&](gfx::Point screen) { return window->convertScreenToBase(screen); };
    backend->mouseMoved(*window, inBase(rowPoint(0)));
    backend->after(0.1, [&] {
        highlighted = menu->highlightedItem();
        // A click on the separator and on the submenu's item leaves the menu open; on "Third" it chooses.
        backend->mouseDown(*window, inBase(rowPoint(1)));
        backend->mouseUp(*window, inBase(rowPoint(1)));
        backend->mouseDown(*window, inBase(rowPoint(2)));
        backend->mouseUp(*window, inBase(rowPoint(2)));
        backend->mouseDown(*window, inBase(rowPoint(4)));
        backend->mouseUp(*window, inBase(rowPoint(4)));
    });
    EXPECT_TRUE(menu->popUpMenuPositioningItem(nullptr, topLeft));
    EXPECT_EQ(highlighted, menu->itemAtIndex(0));
    ASSERT_EQ(log->senders.size(), 1u);
    EXPECT_EQ(log->senders.back().objectAs<MenuItem>()->title(), u"Third");

    // A press outside the menu dismisses it.
    backend->mouseMoved(*window, { 1, 1 });
    backend->after(0.1, [&] { backend->mouseDown(*window, { 5, 5 }); });
    EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, topLeft));
}

TEST_F(MenuTrackingTest, PopUpMenusAreRebuiltBeforeTheyOpen)
{
    auto popUp = PopUpButton::create({ 20, 100, 150, 26 });
    add(popUp);
    auto delegate = std::make_shared<CountingDelegate>();
    popUp->menu()->setDelegate(delegate);
    delegate->count = 5;
    backend->answerNextPopUpMenu(4);
    click(*popUp);
    EXPECT_EQ(popUp->numberOfItems(), 5);
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Item 4");
    EXPECT_EQ(popUp->menu()->minimumWidth(), 150) << "the menu is at least as wide as the button";
}

TEST_F(MenuTrackingTest, PopUpCellsCopyTheirMenuAndArchiveTheirItems)
{
    auto cell = fnd::makeObject<PopUpButtonCell>();
    cell->addItemsWithTitles({ "One", "Two", "Three" });
    cell->itemAtIndex(2)->setTag(30);
    cell->selectItemAtIndex(1);
    cell->setArrowPosition(PopUpArrowPosition::ArrowAtBottom);

    auto copy = std::static_pointer_cast<PopUpButtonCell>(cell->copy());
    EXPECT_NE(copy->popUpMenu(), cell->popUpMenu());
    EXPECT_EQ(copy->titleOfSelectedItem(), u"Two");
    copy->addItemWithTitle("Four");
    EXPECT_EQ(cell->numberOfItems(), 3) << "the copy's menu is its own";
    copy->selectItemAtIndex(0);
    EXPECT_EQ(cell->indexOfSelectedItem(), 1);

    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(cell));
    ASSERT_TRUE(data);
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(back);
    auto restored = back->objectAs<PopUpButtonCell>();
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->itemTitles(), (std::vector<fnd::String> { "One", "Two", "Three" }));
    EXPECT_EQ(restored->indexOfSelectedItem(), 1);
    EXPECT_EQ(restored->itemAtIndex(1)->state(), ControlStateValue::On);
    EXPECT_EQ(restored->indexOfItemWithTag(30), 2);
    EXPECT_EQ(restored->arrowPosition(), PopUpArrowPosition::ArrowAtBottom);
}

TEST_F(MenuTrackingTest, AMenuTallerThanTheScreenScrollsByWheelArrowsAndKeys)
{
    // A screen of 1366 × 768 with a panel along its top: 740 points to show menus in.
    backend->setScreens({ { { 0, 0, 1366, 768 }, { 0, 0, 1366, 740 }, 1 } });
    auto tall = Menu::create();
    for (int i = 0; i < 60; ++i)
        tall->addItemWithTitle(fnd::String("Item " + std::to_string(i)), "clicked:")->setTarget(log);
    const auto layout = MenuView::layoutMenu(*tall);
    ASSERT_GT(layout.size.height, 740) << "the test needs a menu taller than the screen";
    const gfx::Point topLeft { 300, 700 };

    // Where the menu went, and the item a screen point lies on once the items are moved up by `offset`.
    gfx::Rect frame;
    auto noteFrame = [&] {
        for (const auto& w : app().orderedWindows())
            if (w->level() == WindowLevel::PopUpMenu)
                frame = w->frame();
    };
    auto itemAt = [&](gfx::Point screen, double offset) -> long {
        const double y = frame.maxY() - screen.y - MenuScrollView::ArrowHeight + offset;
        for (const auto& row : layout.rows)
            if (y >= row.rect.minY() && y < row.rect.maxY())
                return row.index;
        return -1;
    };
    auto inBase = [&](gfx::Point screen) { return window->convertScreenToBase(screen); };

    // The wheel: three notches down move the items 72 points up.
    backend->mouseMoved(*window, inBase({ 320, 400 }));
    backend->after(0.1, [&] {
        noteFrame();
        const gfx::Point middle { frame.minX() + 20, frame.midY() };
        for (int notch = 0; notch < 3; ++notch)
            backend->scrollWheel(*window, inBase(middle), 0, -1);
        backend->mouseDown(*window, inBase(middle));
        backend->mouseUp(*window, inBase(middle));
    });
    EXPECT_TRUE(tall->popUpMenuPositioningItem(nullptr, topLeft));
    EXPECT_TRUE(gfx::containsRect({ 0, 0, 1366, 740 }, frame)) << gfx::stringFromRect(frame).utf8();
    EXPECT_LE(frame.height(), 740);
    ASSERT_EQ(log->senders.size(), 1u);
    const gfx::Point middle { frame.minX() + 20, frame.midY() };
    EXPECT_EQ(log->senders.back().objectAs<MenuItem>(), tall->itemAtIndex(itemAt(middle, 72)));

    // Resting on the bottom arrow moves the items on while the pointer stays.
    backend->after(0.1, [&] {
        noteFrame();
        backend->mouseMoved(*window, inBase({ frame.minX() + 20, frame.minY() + MenuScrollView::ArrowHeight / 2 }));
        backend->after(0.5, [&] {
            backend->mouseMoved(*window, inBase(middle));
            backend->after(0.1, [&] {
                highlighted = tall->highlightedItem();
                backend->keyDown(*window, u"\x1b", KeyCode::Escape);
            });
        });
    });
    backend->flagsChanged(*window, 0, 0);
    EXPECT_FALSE(tall->popUpMenuPositioningItem(nullptr, topLeft));
    ASSERT_TRUE(highlighted);
    // Half a second on the arrow: twelve steps of 8 points.
    EXPECT_EQ(tall->indexOfItem(*highlighted), itemAt(middle, 96)) << "the arrow moved the items up";

    // End reaches the last item, which comes into sight and is chosen.
    openAndLookAt(*tall, topLeft, { fnd::String(std::u16string(1, FunctionKey::End)), u"\r" });
    EXPECT_EQ(log->senders.back().objectAs<MenuItem>()->title(), u"Item 59");
}

}
