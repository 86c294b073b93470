#include "ControlsTestSupport.h"

#include "platform/graphics/Font.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/menus/MenuView.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

// Answers one action for its menu items, and records what the menu's delegate hears.
class FruitTarget : public fnd::Object, public MenuDelegate {
    FND_OBJECT(FruitTarget)
    static void describeClass(fnd::ClassBuilder<FruitTarget>& c) { c.action("eat:", &FruitTarget::eat); }

public:
    void eat(const fnd::Value& sender) { eaten.push_back(sender.objectAs<MenuItem>()->title().utf8()); }
    void menuWillOpen(Menu&) override { heard.push_back("open"); }
    void menuDidClose(Menu&) override { heard.push_back("close"); }
    std::vector<std::string> eaten;
    std::vector<std::string> heard;
};
FND_REGISTER_CLASS(FruitTarget, fnd::Object)

class PopUpButtonTest : public ControlsTest {
protected:
    PopUpButtonTest()
    {
        popUp = PopUpButton::create({ 40, 100, 160, 28 });
        popUp->addItemsWithTitles({ "Apple", "Banana", "Cherry", "Date" });
        popUp->setTarget(log);
        popUp->setAction("clicked:");
        add(popUp);
    }

    // The height of one row of the pop-up's menu.
    double rowHeight() const
    {
        popUp->menu()->setFont(popUp->font());
        auto layout = MenuView::layoutMenu(*popUp->menu());
        return layout.rows.at(1).rect.minY() - layout.rows.at(0).rect.minY();
    }

    std::shared_ptr<PopUpButton> popUp;
};

TEST_F(PopUpButtonTest, ItemsAndSelection)
{
    EXPECT_EQ(popUp->indexOfSelectedItem(), 0) << "a pop-up starts on its first item";
    EXPECT_EQ(popUp->itemAtIndex(0)->state(), ControlStateValue::On);
    popUp->itemAtIndex(2)->setTag(30);
    popUp->itemAtIndex(3)->setRepresentedObject(fnd::Value("date"));
    EXPECT_TRUE(popUp->selectItemWithTag(30));
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Cherry");
    EXPECT_EQ(popUp->itemAtIndex(0)->state(), ControlStateValue::Off) << "one item is marked at a time";
    EXPECT_EQ(popUp->itemAtIndex(2)->state(), ControlStateValue::On);
    EXPECT_EQ(popUp->selectedTag(), 30);
    EXPECT_EQ(popUp->indexOfItemWithRepresentedObject(fnd::Value("date")), 3);
    EXPECT_EQ(popUp->integerValue(), 2) << "the value is the selected index";
    EXPECT_EQ(popUp->title(), u"Cherry");

    popUp->addItemWithTitle("Apple");
    EXPECT_EQ(popUp->itemTitles(), (std::vector<fnd::String> { "Banana", "Cherry", "Date", "Apple" }))
        << "titles are unique: the old item goes";
    popUp->removeItemWithTitle("Cherry");
    EXPECT_EQ(popUp->indexOfSelectedItem(), 0) << "removing the selected item selects the first";
    popUp->setTitle("Elderberry");
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Elderberry");
    EXPECT_EQ(popUp->numberOfItems(), 4);
    popUp->selectItemAtIndex(9);
    EXPECT_EQ(popUp->indexOfSelectedItem(), -1);
    popUp->setObjectValue(fnd::Value(1));
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Date");
}

TEST_F(PopUpButtonTest, FocusRingHasTheNaturalHeightWhateverTheItems)
{
    // One line of 13-point DejaVu Sans (2384 of 2048 units: 15.1, rounded up to 16), twice the 4-point face padding
    // and 4 for the border: 28, centred in a taller frame.
    popUp->setFrame({ 40, 100, 160, 40 });
    EXPECT_EQ(popUp->cell()->cellSize().height, 28);
    auto ring = [&] { return popUp->cell()->focusRingMaskBoundsForFrame(popUp->bounds(), *popUp); };
    EXPECT_EQ(ring(), (gfx::Rect { 1, 6, 158, 28 }));
    const double shortWidth = popUp->cell()->cellSize().width;
    popUp->addItemWithTitle("A much longer item than the others\nwith a second line");
    EXPECT_GT(popUp->cell()->cellSize().width, shortWidth + 100) << "the width measures the items";
    EXPECT_EQ(popUp->cell()->cellSize().height, 28);
    EXPECT_EQ(ring(), (gfx::Rect { 1, 6, 158, 28 }));
    popUp->setFrame({ 40, 100, 160, 20 });
    EXPECT_EQ(ring(), (gfx::Rect { 1, 1, 158, 18 })) << "a lower frame is only inset";
}

TEST_F(PopUpButtonTest, ChoosingSelectsAndSendsTheRightAction)
{
    auto fruit = std::make_shared<FruitTarget>();
    popUp->menu()->setDelegate(fruit);
    backend->answerNextPopUpMenu(2);
    click(*popUp);
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Cherry");
    EXPECT_EQ(log->count("clicked"), 1);
    EXPECT_EQ(log->senders.back().object(), popUp);
    EXPECT_EQ(fruit->heard, (std::vector<std::string> { "open", "close" }));

    // An item with an action of its own sends that instead.
    auto date = popUp->itemAtIndex(3);
    date->setTarget(fruit);
    date->setAction("eat:");
    backend->answerNextPopUpMenu(3);
    click(*popUp);
    EXPECT_EQ(fruit->eaten, std::vector<std::string> { "Date" });
    EXPECT_EQ(log->count("clicked"), 1);

    // Validation: an item whose action nobody takes is disabled and cannot be chosen; plain items stay enabled.
    auto banana = popUp->itemAtIndex(1);
    banana->setAction("nobodyTakesThis:");
    backend->answerNextPopUpMenu(1);
    click(*popUp);
    EXPECT_FALSE(banana->isEnabled());
    EXPECT_TRUE(popUp->itemAtIndex(2)->isEnabled());
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Date");

    // Dismissed: nothing changes.
    backend->answerNextPopUpMenu(std::nullopt);
    click(*popUp);
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Date");
    EXPECT_EQ(log->count("clicked"), 1);
}

TEST_F(PopUpButtonTest, PullDownKeepsItsTitleItem)
{
    auto pullDown = PopUpButton::create({ 40, 40, 160, 28 }, true);
    pullDown->addItemsWithTitles({ "Actions", "Copy", "Paste" });
    pullDown->setTarget(log);
    pullDown->setAction("clicked:");
    add(pullDown);
    EXPECT_EQ(pullDown->indexOfSelectedItem(), -1);
    EXPECT_EQ(pullDown->title(), u"Actions");
    // Down opens the menu with the title item hidden; the first choice is "Copy".
    backend->keyDown(*window, u"\x20", KeyCode::Space);
    backend->keyDown(*window, fnd::String(std::u16string(1, FunctionKey::DownArrow)), KeyCode::DownArrow);
    backend->keyDown(*window, u"\r", KeyCode::Return);
    window->makeFirstResponder(pullDown);
    dispatch();
    EXPECT_EQ(pullDown->indexOfSelectedItem(), 1);
    EXPECT_EQ(pullDown->title(), u"Actions") << "a pull-down's title does not change";
    EXPECT_FALSE(pullDown->itemAtIndex(0)->isHidden());
    EXPECT_EQ(pullDown->itemAtIndex(1)->state(), ControlStateValue::Off);
    EXPECT_EQ(log->count("clicked"), 1);
}

TEST_F(PopUpButtonTest, ChoosesByPressDragAndRelease)
{
    popUp->selectItemAtIndex(1);
    double row = rowHeight();
    auto centre = gfx::Point { 80, 14 };
    // The selected item opens over the button: Date (two rows further) lies two rows lower on the screen.
    press(*popUp, centre);
    drag(*popUp, { centre.x, centre.y + row });
    drag(*popUp, { centre.x, centre.y + 2 * row });
    release(*popUp, { centre.x, centre.y + 2 * row });
    dispatch();
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Date");
    EXPECT_EQ(log->count("clicked"), 1);
    EXPECT_EQ(app().windows().size(), 1u) << "the menu's window is gone";
}

TEST_F(PopUpButtonTest, ClickOpensAndKeyboardChooses)
{
    // A click leaves the menu open; the keyboard moves over the choosable items and picks one.
    popUp->insertItemWithTitle("Disabled", 1);
    popUp->setAutoenablesItems(false);
    popUp->itemAtIndex(1)->setEnabled(false);
    popUp->menu()->insertItem(MenuItem::separatorItem(), 2);
    press(*popUp, { 80, 14 });
    release(*popUp, { 80, 14 });
    auto down = fnd::String(std::u16string(1, FunctionKey::DownArrow));
    backend->keyDown(*window, down, KeyCode::DownArrow);
    backend->keyDown(*window, u"\r", KeyCode::Return);
    dispatch();
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Banana") << "past the disabled item and the separator";

    // Typing the start of a title goes there; Return takes it (a space would be typed into the title).
    press(*popUp, { 80, 14 });
    release(*popUp, { 80, 14 });
    backend->keyDown(*window, "d", KeyCode::D);
    backend->keyDown(*window, u"\r", KeyCode::Return);
    dispatch();
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Date");

    // Escape, and a press away from the menu, dismiss it.
    press(*popUp, { 80, 14 });
    release(*popUp, { 80, 14 });
    backend->keyDown(*window, u"\x1b", KeyCode::Escape);
    press(*popUp, { 80, 14 });
    release(*popUp, { 80, 14 });
    backend->mouseDown(*window, { 300, 230 });
    backend->mouseUp(*window, { 300, 230 });
    dispatch();
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Date");
    EXPECT_EQ(log->count("clicked"), 2);
}

TEST_F(PopUpButtonTest, MenuDrawsMarksSeparatorsDisabledItemsAndKeys)
{
    auto menu = Menu::create();
    auto on = menu->addItemWithTitle("On", "clicked:");
    on->setState(ControlStateValue::On);
    menu->addItem(MenuItem::separatorItem());
    auto disabled = menu->addItemWithTitle("Disabled", "clicked:");
    disabled->setEnabled(false);
    auto save = menu->addItemWithTitle("Save", "clicked:", "s");
    auto indented = menu->addItemWithTitle("Indented", "clicked:");
    indented->setIndentationLevel(2);
    auto view = MenuView::create(menu);
    view->setHighlightedIndex(3);
    EXPECT_EQ(MenuView::keyEquivalentDisplayString(*save), u"Ctrl+S");
    auto image = snapshotOf(*view, "menu");
    auto at = [&](double x, double y) { return pixel(*image, x, view->bounds().height() - y); };
    auto darkestIn = [&](gfx::Rect r) {
        int dark = 255;
        for (double y = r.minY(); y < r.maxY(); y += 1)
            for (double x = r.minX(); x < r.maxX(); x += 1)
                dark = std::min(dark, luminance(at(x + 0.5, y + 0.5)));
        return dark;
    };
    auto rowOf = [&](long index) { return view->rectOfItemAtIndex(index); };
    // The tick of the "on" item sits in the mark column; other rows have none.
    auto markColumn = [&](long index) {
        auto r = rowOf(index);
        return gfx::Rect { 4, r.minY() + 2, 14, r.height() - 4 };
    };
    EXPECT_LT(darkestIn(markColumn(0)), 120);
    EXPECT_GT(darkestIn(markColumn(4)), 230);
    // A separator is a light line, not text.
    auto separator = rowOf(1);
    EXPECT_GT(darkestIn(separator), 150);
    EXPECT_LT(darkestIn(separator), 250);
    // The disabled title is grey; an enabled one is dark.
    auto titleOf = [&](long index) {
        auto r = rowOf(index);
        return gfx::Rect { MenuView::TitleInset, r.minY() + 2, 40, r.height() - 4 };
    };
    EXPECT_LT(darkestIn(titleOf(0)), 80);
    EXPECT_GT(darkestIn(titleOf(2)), 120);
    // The highlighted row has a band; the key equivalent sits at the right end of its row.
    EXPECT_LT(luminance(at(8, rowOf(3).midY())), 250);
    EXPECT_EQ(luminance(at(8, rowOf(4).midY())), 255);
    auto keyArea = gfx::Rect { view->bounds().width() - 60, rowOf(3).minY() + 2, 50, rowOf(3).height() - 4 };
    EXPECT_LT(darkestIn(keyArea), 200);
    // Indentation moves the title right.
    auto indentedStart = gfx::Rect { MenuView::TitleInset, rowOf(4).minY() + 2, 20, rowOf(4).height() - 4 };
    EXPECT_GT(darkestIn(indentedStart), 200);
}

}
