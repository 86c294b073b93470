// Item sizes and selections at the extremes of what a double holds, given through the setters and by key (as
// interface files and bindings set them): every frame the view reports stays finite, and its archive reads back to a
// view that archives the same again and lays its items out.
#include "CardFlowTestSupport.h"

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/views/Window.h"

#include "support/FiniteLayerFrames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <sstream>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double ExtremePool[] = { NaN, Infinity, -Infinity, 1e308, -1e308, 0, -1, 1e7 };

using testsupport::collectUnfiniteFrames;
using testsupport::describeRect;
using testsupport::rectIsFinite;

// Every layer of the view's tree, where it shows, and each picture's rectangle are finite; the items are laid out.
::testing::AssertionResult framesAreFinite(ZORCardFlowView& view)
{
    std::ostringstream out;
    if (auto root = view.layer())
        collectUnfiniteFrames(*root, *root, out);
    const auto size = view.itemSize();
    if (!(std::isfinite(size.width) && std::isfinite(size.height) && size.width >= 0 && size.height > 0))
        out << "item size " << size.width << " × " << size.height << "; ";
    for (std::int64_t i = 0; i < std::int64_t(view.content().size()); ++i)
        if (!rectIsFinite(view.rectForItemAtIndex(i)))
            out << "item " << i << " at " << describeRect(view.rectForItemAtIndex(i)) << "; ";
    if (!std::isfinite(view.positionOfSelectedItem()))
        out << "scrolled to " << view.positionOfSelectedItem() << "; ";
    if (out.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << out.str();
}

class CardFlowExtremeSettingsTest : public uitest::UiTest {
protected:
    CardFlowExtremeSettingsTest()
    {
        window = ui::Window::create({ { 100, 100 }, { 700, 450 } });
        window->makeKeyAndOrderFront();
        view = makeView();
    }
    std::shared_ptr<ZORCardFlowView> makeView()
    {
        auto made = ZORCardFlowView::create({ 40, 20, 620, 400 });
        window->contentView()->addSubview(made);
        made->awakeFromNib();
        made->setContent(fnd::Array { fnd::String("item 0"), fnd::String("item 1"), fnd::String("item 2") });
        made->setSelectionIndex(1);
        return made;
    }
    void settle(double seconds = 0)
    {
        ui::Transaction::flush();
        fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
    }
    // Archived and read back, the view archives the same again; given the content, it lays it out in finite frames.
    ::testing::AssertionResult readsBack(const std::string& what)
    {
        auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
        if (!archive)
            return ::testing::AssertionFailure() << what << ": not archived";
        // The item size and the selection are not archived: each distinct archive is read back once.
        if (!m_readBack.insert(archive->vector()).second)
            return ::testing::AssertionSuccess();
        auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(*archive).objectAs<ZORCardFlowView>();
        if (!copy)
            return ::testing::AssertionFailure() << what << ": the archive does not read back";
        auto again = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(copy));
        if (!again || *again != *archive)
            return ::testing::AssertionFailure() << what << ": read back, the view archives otherwise";
        window->contentView()->addSubview(copy);
        copy->awakeFromNib();
        copy->setContent(view->content());
        copy->setSelectionIndex(1);
        settle();
        auto frames = framesAreFinite(*copy);
        const bool laidOut = copy->itemLayers().size() == 3 && !copy->rectForItemAtIndex(1).isEmpty();
        copy->removeFromSuperview();
        cardflowtest::drainPictures(*copy);
        if (!frames)
            return ::testing::AssertionFailure() << what << ", read back: " << frames.message();
        if (!laidOut)
            return ::testing::AssertionFailure() << what << ", read back: the selected picture has no place";
        return ::testing::AssertionSuccess();
    }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ZORCardFlowView> view;

private:
    std::set<std::vector<std::uint8_t>> m_readBack;
};

// Either side of the item size, or both, at each extreme, set by the setter or by key, in a view whose items keep
// their size or follow its height: frames stay finite and the archive reads back. A size of 1e308 once gave
// pictures at infinite places.
TEST_F(CardFlowExtremeSettingsTest, ExtremeItemSizesKeepFramesFinite)
{
    for (bool autoresizes : { false, true }) {
        for (double value : ExtremePool) {
            // By key as well where both sides are extreme: the key reaches the same setter.
            const std::pair<gfx::Size, bool> sizes[]
                = { { { value, 100 }, false }, { { 140, value }, false }, { { value, value }, true } };
            for (auto [size, alsoByKey] : sizes) {
                for (bool byKey : { false, true }) {
                    if (byKey && !alsoByKey)
                        continue;
                    std::ostringstream what;
                    what << "item size " << size.width << " × " << size.height << (byKey ? " by its key" : "")
                         << (autoresizes ? ", following the height" : "");
                    // A view of its own: layers once given a NaN place keep it through later layouts.
                    view->removeFromSuperview();
                    view = makeView();
                    view->setAutoresizesItems(autoresizes);
                    settle();
                    if (byKey)
                        view->setValueForKey(size, "itemSize");
                    else
                        view->setItemSize(size);
                    settle();
                    EXPECT_TRUE(framesAreFinite(*view)) << what.str();
                    EXPECT_TRUE(readsBack(what.str()));
                }
            }
        }
    }
}

// The selection set to each extreme, directly, by key and as a person's choice, selects within the items or not
// at all; frames stay finite.
TEST_F(CardFlowExtremeSettingsTest, ExtremeSelectionsKeepFramesFinite)
{
    for (double value : ExtremePool) {
        std::ostringstream what;
        what << "selection " << value;
        view->setSelectionIndex(1);
        view->setValueForKey(value, "selectionIndex");
        settle();
        EXPECT_EQ(view->selectionIndex(), value == 0 || std::isnan(value) ? 0 : 1) << what.str();
        EXPECT_TRUE(framesAreFinite(*view)) << what.str();
        view->userSelectIndex(fnd::Value(value).integerValue());
        settle();
        EXPECT_TRUE(framesAreFinite(*view)) << what.str();
        EXPECT_TRUE(readsBack(what.str()));
    }
}

// What the bound leaves alone: sizes a person uses are kept exactly and place the items by the formula; the largest
// side the view keeps is the largest coordinate a frame holds.
TEST_F(CardFlowExtremeSettingsTest, SizesWithinTheBoundAreKeptExactly)
{
    view->setAutoresizesItems(false);
    view->setItemSize({ 0.5, 9.5e6 });
    EXPECT_EQ(view->itemSize(), (gfx::Size { 0.5, 9.5e6 }));
    view->setItemSize({ 1e308, 1e9 });
    EXPECT_EQ(view->itemSize(), (gfx::Size { 1e7, 1e7 }));

    // Three items, W = 600, w = 200, selection 1: start = floor((600 − 600 − 40) / 2 + 12) = −8; the selected
    // picture at −8 + 220 = 212.
    view->setItemSize({ 200, 100 });
    settle(3);
    ASSERT_DOUBLE_EQ(view->scrollLayer()->bounds().width(), 600);
    EXPECT_NEAR(view->itemLayers()[1]->frame().minX(), 212, 1e-3);

    // Following the height (400 − 20 − 400/3 = 246.67), the width keeps the proportions up to the largest frame.
    view->setAutoresizesItems(true);
    view->setItemSize({ 280, 100 });
    EXPECT_EQ(view->itemSize(), (gfx::Size { 690, 246 }));
    view->setItemSize({ 1e7, 1 });
    EXPECT_EQ(view->itemSize(), (gfx::Size { 1e7, 246 }));
}

}
