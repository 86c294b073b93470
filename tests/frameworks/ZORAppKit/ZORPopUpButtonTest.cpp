#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORPopUpButton/ZOREncodingPopUpButton.h"
#include "frameworks/ZORAppKit/ZORPopUpButton/ZOREncodingPopUpButtonCell.h"
#include "frameworks/ZORAppKit/ZORPopUpButton/ZORPopUpButton.h"

#include "frameworks/FoundationExtensions/ui/ZOREncodingManager.h"

#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/Matrix.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <limits>

namespace {

using namespace zortest;
using ui::CellImagePosition;

class ZORPopUpButtonTest : public ZORAppKitTest { };

TEST_F(ZORPopUpButtonTest, TheTitleRectangleLinesUpWithTheMenuText)
{
    auto button = ZORPopUpButton::create({ 10, 10, 140, 24 });
    add(button);
    button->addItemsWithTitles({ "One", "Two" });
    auto cell = std::dynamic_pointer_cast<ZORPopUpButtonCell>(button->cell());
    ASSERT_TRUE(cell);
    const gfx::Rect bounds { 0, 0, 140, 24 };
    auto platform = [&] { return cell->PopUpButtonCell::titleRectForBounds(bounds); };
    auto shifted = [&](double dx, double dw) {
        auto p = platform();
        return gfx::Rect(p.minX() + dx, p.minY(), p.width() + dw, p.height());
    };
    EXPECT_EQ(cell->titleRectForBounds(bounds), shifted(-2, 6));
    cell->setBordered(false);
    EXPECT_EQ(cell->titleRectForBounds(bounds), shifted(-2, 10)) << "2 left of the platform's and 10 wider";

    // With an image beside the title.
    button->itemAtIndex(0)->setImage(solidImage({ 12, 12 }, gfx::Color::blackColor()));
    const struct {
        CellImagePosition position;
        txt::TextAlignment alignment;
        double dx;
    } cases[] = {
        { CellImagePosition::NoImage, txt::TextAlignment::Natural, 0 },
        { CellImagePosition::ImageLeft, txt::TextAlignment::Natural, 0 },
        { CellImagePosition::ImageRight, txt::TextAlignment::Right, -5 },
        { CellImagePosition::ImageRight, txt::TextAlignment::Natural, -2 },
        { CellImagePosition::ImageOnly, txt::TextAlignment::Natural, -2 },
        { CellImagePosition::ImageAbove, txt::TextAlignment::Right, -2 },
    };
    for (const auto& c : cases) {
        cell->setImagePosition(c.position);
        cell->setAlignment(c.alignment);
        EXPECT_EQ(cell->titleRectForBounds(bounds), shifted(c.dx, 10)) << int(c.position) << ", " << int(c.alignment);
    }
}

TEST_F(ZORPopUpButtonTest, TheEncodingCellNeverSelectsItsLastTwoItems)
{
    auto popUp = ui::PopUpButton::create({ 10, 10, 160, 24 });
    popUp->setCell(fnd::makeObject<ZOREncodingPopUpButtonCell>());
    add(popUp);
    for (int i = 0; i < 10; ++i)
        popUp->addItemWithTitle(fnd::String("Item " + std::to_string(i)));
    popUp->selectItemAtIndex(3);
    popUp->selectItemAtIndex(8);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 3);
    popUp->selectItemAtIndex(9);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 3);
    popUp->selectItemAtIndex(7);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 7);
    // An index at the end of the range is beyond the items like any other.
    popUp->selectItemAtIndex(std::numeric_limits<long>::max());
    EXPECT_EQ(popUp->indexOfSelectedItem(), 7);

    // Chosen from the open menu: the last item is not taken either.
    backend->answerNextPopUpMenu(9);
    popUp->performClick();
    EXPECT_EQ(popUp->indexOfSelectedItem(), 7);
    backend->answerNextPopUpMenu(1);
    popUp->performClick();
    EXPECT_EQ(popUp->indexOfSelectedItem(), 1);
}

}

namespace {

using namespace zortest;

class ZOREncodingPopUpButtonTest : public ZORAppKitTest {
protected:
    ZOREncodingPopUpButtonTest()
    {
        ZOREncodingManager::sharedInstance().revertToDefault({});
        popUp = ZOREncodingPopUpButton::create({ 10, 10, 200, 24 });
        add(popUp);
    }
    ~ZOREncodingPopUpButtonTest() override { ZOREncodingManager::sharedInstance().revertToDefault({}); }

    std::vector<long> tags() const
    {
        std::vector<long> out;
        for (const auto& item : popUp->itemArray())
            out.push_back(item->tag());
        return out;
    }
    // As a person would in the list's panel: ticks or unticks an encoding's check box.
    static void toggleInPanel(std::uint64_t encoding)
    {
        auto& manager = ZOREncodingManager::sharedInstance();
        manager.showPanel({});
        for (const auto& box : manager.encodingMatrix()->cells())
            if (box->tag() == static_cast<long>(encoding))
                box->performClick({});
        manager.panel()->orderOut();
    }

    static constexpr long None = static_cast<long>(ZOREncodingPopUpButton::NoEncoding);
    static constexpr std::uint64_t UTF8 = 4, UTF16 = 10, Latin2 = 9;
    std::shared_ptr<ZOREncodingPopUpButton> popUp;
};

TEST_F(ZOREncodingPopUpButtonTest, ItListsTheEnabledEncodingsWithTheDefaultEntry)
{
    EXPECT_EQ(popUp->defaultEncoding(), ZOREncodingPopUpButton::NoEncoding);
    EXPECT_FALSE(popUp->autoenablesItems());
    auto enabled = ZOREncodingManager::sharedInstance().enabledEncodings();
    popUp->setEncoding(UTF8, true);
    EXPECT_TRUE(popUp->hasDefaultEntry()) << "told by the encodings manager";
    std::vector<long> expected { None };
    for (auto e : enabled)
        expected.push_back(static_cast<long>(e));
    expected.insert(expected.end(), { None, None });
    EXPECT_EQ(tags(), expected);
    EXPECT_TRUE(popUp->itemAtIndex(popUp->numberOfItems() - 2)->isSeparatorItem());
    EXPECT_EQ(popUp->selectedTag(), static_cast<long>(UTF8));

    // Neither the separator nor the customise entry can become the selection.
    popUp->selectItemAtIndex(popUp->numberOfItems() - 1);
    EXPECT_EQ(popUp->selectedTag(), static_cast<long>(UTF8));

    popUp->setEncoding(UTF16, false);
    EXPECT_FALSE(popUp->hasDefaultEntry());
    EXPECT_EQ(popUp->numberOfItems(), static_cast<long>(enabled.size() + 2));
    EXPECT_EQ(popUp->selectedTag(), static_cast<long>(UTF16));
}

TEST_F(ZOREncodingPopUpButtonTest, ItRefillsWhenTheListChangesAndKeepsTheChosenEncoding)
{
    popUp->setEncoding(UTF8, false);
    // Another encoding chosen in the pop-up becomes the one it keeps.
    popUp->selectItemWithTag(static_cast<long>(UTF16));
    toggleInPanel(Latin2);
    EXPECT_EQ(popUp->defaultEncoding(), UTF16);
    EXPECT_EQ(popUp->selectedTag(), static_cast<long>(UTF16));
    auto t = tags();
    EXPECT_NE(std::find(t.begin(), t.end(), static_cast<long>(Latin2)), t.end()) << "the new list";

    // The chosen encoding is disabled elsewhere: the pop-up still asks for it and, without a default entry,
    // gets it back in its own list.
    toggleInPanel(UTF16);
    auto enabled = ZOREncodingManager::sharedInstance().enabledEncodings();
    EXPECT_EQ(std::find(enabled.begin(), enabled.end(), UTF16), enabled.end());
    EXPECT_EQ(popUp->selectedTag(), static_cast<long>(UTF16));
    EXPECT_EQ(popUp->numberOfItems(), static_cast<long>(enabled.size() + 3));

    // Choosing the default entry keeps the encoding asked for.
    popUp->setEncoding(UTF8, true);
    popUp->selectItemAtIndex(0);
    toggleInPanel(Latin2);
    EXPECT_EQ(popUp->defaultEncoding(), UTF8);
    EXPECT_EQ(popUp->selectedTag(), static_cast<long>(UTF8));
}

TEST_F(ZOREncodingPopUpButtonTest, LoadedFromAnInterfaceItTakesOverItsOldCell)
{
    auto loaded = fnd::makeObject<ZOREncodingPopUpButton>();
    auto old = fnd::makeObject<ui::PopUpButtonCell>();
    old->setAction("chose:");
    old->setTarget(log);
    old->setControlSize(ui::ControlSize::Small);
    loaded->setCell(old);
    loaded->awakeFromNib();
    auto cell = std::dynamic_pointer_cast<ZOREncodingPopUpButtonCell>(loaded->cell());
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->action(), fnd::Selector("chose:"));
    EXPECT_EQ(cell->target(), log);
    EXPECT_EQ(cell->controlSize(), ui::ControlSize::Small);
    EXPECT_FALSE(loaded->autoenablesItems());
    loaded->setEncoding(UTF8, false);
    toggleInPanel(Latin2);
    EXPECT_EQ(loaded->selectedTag(), static_cast<long>(UTF8));
    // Gone, it hears nothing more.
    loaded.reset();
    toggleInPanel(Latin2);
}

}
