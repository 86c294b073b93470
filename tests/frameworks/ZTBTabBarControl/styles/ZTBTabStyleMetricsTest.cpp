#include "ZTBTabBarControlTestSupport.h"

#include "frameworks/ZTBTabBarControl/ZTBMetalTabStyle.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBAquaTabStyle.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBCapsuleTabStyle.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBUnifiedTabStyle.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/text/AttributedString.h"

#include <cmath>

namespace {

using namespace ztbtest;

class TabStyleMetricsTest : public TabBarControlTest {
protected:
    // A cell of the bar (so that it measures its title with the bar's style) at the frame, not in the bar's list.
    std::shared_ptr<ZTBTabBarCell> makeCell(gfx::Rect frame, bool closeButton = true)
    {
        auto cell = ZTBTabBarCell::create(a.bar);
        cell->setHasCloseButton(closeButton);
        cell->setFrame(frame);
        // Without a busy binding the indicator does not run.
        cell->indicator()->setHidden(true);
        return cell;
    }
};

TEST_F(TabStyleMetricsTest, StylesByNameAndTheirFixedMetrics)
{
    struct Row {
        const char* asked;
        const char* name;
        double left, right, top, height;
    };
    const Row rows[] = {
        { "Metal", "Metal", 10, 24, 10, 22 },
        { "Aqua", "Aqua", 0, 24, 0, 22 },
        { "Unified", "Unified", 5, 24, 10, 22 },
        { "Capsule", "Capsule", 3, 24, 10, 22 },
        { "Card", "Card", 5, 24, 10, 22 },
        { "Anything", "Metal", 10, 24, 10, 22 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.asked);
        a.bar->setStyleNamed(row.asked);
        auto& style = *a.bar->style();
        EXPECT_EQ(a.bar->styleName().utf8(), row.name);
        EXPECT_EQ(style.leftMarginForTabBarControl(), row.left);
        EXPECT_EQ(style.rightMarginForTabBarControl(), row.right);
        EXPECT_EQ(style.topMarginForTabBarControl(), row.top);
        EXPECT_EQ(style.tabCellHeight(), row.height);
        EXPECT_TRUE(style.addTabButtonImage() && style.addTabButtonPressedImage() && style.addTabButtonRolloverImage());
    }
    auto capsule = ZTBCapsuleTabStyle::create();
    capsule->setOrientation(1);
    EXPECT_EQ(capsule->tabCellHeight(), 28.0);
    auto unified = ZTBUnifiedTabStyle::create();
    unified->setLeftMarginForTabBarControl(12.0);
    EXPECT_EQ(unified->leftMarginForTabBarControl(), 12.0);
}

TEST_F(TabStyleMetricsTest, CloseButtonRectsOfEachStyleForPlainAndSelectedTabs)
{
    const gfx::Rect frame { 10, 0, 100, 22 };
    struct Row {
        const char* style;
        int orientation;
        gfx::Rect plain, selected;
    };
    // The close pictures are 12 points square.
    const Row rows[] = {
        { "Metal", 0, { 16, 5, 12, 12 }, { 16, 4, 12, 12 } },
        { "Aqua", 0, { 16, 5, 12, 12 }, { 16, 5, 12, 12 } },
        { "Unified", 0, { 16, 4, 12, 12 }, { 16, 4, 12, 12 } },
        { "Card", 0, { 16, 4, 12, 12 }, { 16, 4, 12, 12 } },
        { "Capsule", 0, { 14, 5, 12, 12 }, { 14, 4, 12, 12 } },
        { "Capsule", 1, { 90, 6, 12, 12 }, { 90, 6, 12, 12 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.style) + " " + std::to_string(row.orientation));
        a.bar->setStyleNamed(row.style);
        a.bar->style()->setOrientation(row.orientation);
        auto cell = makeCell(frame);
        EXPECT_EQ(a.bar->style()->closeButtonRectForTabCell(*cell, frame), row.plain);
        cell->setState(1);
        EXPECT_EQ(a.bar->style()->closeButtonRectForTabCell(*cell, frame), row.selected);
        cell->setHasCloseButton(false);
        EXPECT_EQ(a.bar->style()->closeButtonRectForTabCell(*cell, frame), gfx::Rect {});
    }
}

TEST_F(TabStyleMetricsTest, ASuppressedCloseButtonKeepsItsRectExceptInCardAndCapsule)
{
    const gfx::Rect frame { 0, 0, 100, 22 };
    for (const char* name : { "Metal", "Aqua", "Unified", "Card", "Capsule" }) {
        SCOPED_TRACE(name);
        a.bar->setStyleNamed(name);
        auto cell = makeCell(frame);
        cell->setCloseButtonSuppressed(true);
        const bool kept = std::string(name) != "Card" && std::string(name) != "Capsule";
        EXPECT_EQ(a.bar->style()->closeButtonRectForTabCell(*cell, frame).isEmpty(), !kept);
        // Never counted in the widths.
        auto plain = makeCell(frame, false);
        EXPECT_EQ(a.bar->style()->minimumWidthOfTabCell(*cell), a.bar->style()->minimumWidthOfTabCell(*plain));
    }
}

TEST_F(TabStyleMetricsTest, MinimumWidthsAddUpThePartsOfATab)
{
    struct Row {
        const char* style;
        int orientation;
        bool close, icon;
        long count;
        double minimum;
    };
    // Close button 12 wide; a count of 5 makes a 20-point counter.
    const Row rows[] = {
        { "Metal", 0, false, false, 0, 42 },
        { "Metal", 0, true, false, 0, 58 },
        { "Metal", 0, true, true, 5, 12 + 10 + 20 + 30 + 24 + 6 },
        { "Aqua", 0, false, false, 0, 42 },
        { "Unified", 0, true, true, 0, 78 },
        { "Card", 0, false, false, 5, 66 },
        { "Capsule", 0, false, false, 0, 38 },
        { "Capsule", 0, true, false, 0, 52 },
        { "Capsule", 0, true, false, 5, 74 },
        // A vertical capsule bar shows its counter in the close button's place.
        { "Capsule", 1, true, false, 5, 52 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.style) + " " + std::to_string(row.minimum));
        a.bar->setStyleNamed(row.style);
        a.bar->style()->setOrientation(row.orientation);
        auto cell = makeCell({ 0, 0, 100, 22 }, row.close);
        cell->setHasIcon(row.icon);
        cell->setCount(row.count);
        EXPECT_EQ(a.bar->style()->minimumWidthOfTabCell(*cell), row.minimum);
    }
}

TEST_F(TabStyleMetricsTest, DesiredWidthsFollowTheTitleAndTheIndicator)
{
    // The title is 172.66 points wide in Metal's bold DejaVu Sans 11 and 151.63 in the others' regular face; Metal
    // centres it, which must not count. Sides: 6 + 6, Capsule's 4 + 2 + 4; the indicator adds 20 (Capsule 18).
    struct Row {
        const char* style;
        double plain, withIndicator;
    };
    const Row rows[] = {
        { "Metal", 185, 205 },
        { "Aqua", 164, 184 },
        { "Unified", 164, 184 },
        { "Card", 164, 184 },
        { "Capsule", 162, 180 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.style);
        a.bar->setStyleNamed(row.style);
        auto cell = makeCell({ 0, 0, 100, 22 }, false);
        cell->setStringValue("A longer title for measuring");
        EXPECT_EQ(a.bar->style()->desiredWidthOfTabCell(*cell), row.plain);
        cell->indicator()->setHidden(false);
        EXPECT_EQ(a.bar->style()->desiredWidthOfTabCell(*cell), row.withIndicator);
    }
}

TEST_F(TabStyleMetricsTest, CounterAndIndicatorRects)
{
    const gfx::Rect frame { 0, 0, 120, 22 };
    for (const char* name : { "Metal", "Aqua", "Unified", "Card" }) {
        SCOPED_TRACE(name);
        a.bar->setStyleNamed(name);
        auto cell = makeCell(frame);
        EXPECT_EQ(a.bar->style()->objectCounterRectForTabCell(*cell), gfx::Rect {});
        EXPECT_EQ(a.bar->style()->indicatorRectForTabCell(*cell), gfx::Rect {});
        cell->setCount(5);
        EXPECT_EQ(a.bar->style()->objectCounterRectForTabCell(*cell), (gfx::Rect { 94, 4, 20, 14 }));
        cell->indicator()->setHidden(false);
        // The counter moves 20 left while the indicator runs.
        EXPECT_EQ(a.bar->style()->objectCounterRectForTabCell(*cell), (gfx::Rect { 74, 4, 20, 14 }));
        const double y = std::string(name) == "Card" ? 5 : std::string(name) == "Unified" ? 2 : 3;
        EXPECT_EQ(a.bar->style()->indicatorRectForTabCell(*cell), (gfx::Rect { 98, y, 16, 16 }));
    }
    a.bar->setStyleNamed("Capsule");
    auto cell = makeCell(frame);
    cell->setCount(5);
    cell->indicator()->setHidden(false);
    EXPECT_EQ(a.bar->style()->objectCounterRectForTabCell(*cell), (gfx::Rect { 78, 4, 20, 14 }));
    EXPECT_EQ(a.bar->style()->indicatorRectForTabCell(*cell), (gfx::Rect { 100, 3, 16, 16 }));
}

TEST_F(TabStyleMetricsTest, DragRectsPerStyleAndOrientation)
{
    const gfx::Rect frame { 10, 0, 100, 22 };
    struct Row {
        const char* style;
        int orientation;
        bool selected;
        gfx::Rect drag;
    };
    const Row rows[] = {
        { "Metal", 0, false, { 10, 0, 101, 22 } },
        { "Metal", 0, true, { 10, 0, 101, 20 } },
        { "Metal", 1, true, { 12, -1, 98, 23 } },
        { "Metal", 1, false, { 9, 0, 101, 22 } },
        { "Aqua", 0, true, { 10, 0, 100, 22 } },
        { "Unified", 0, true, { 10, 0, 101, 22 } },
        { "Card", 1, false, { 10, 0, 101, 22 } },
        { "Capsule", 0, true, { 10, 0, 101, 20 } },
        { "Capsule", 1, true, { 10, 0, 100, 22 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.style) + " " + std::to_string(row.orientation));
        a.bar->setStyleNamed(row.style);
        auto cell = makeCell(frame);
        cell->setTabState(row.selected ? ZTBTabState::Selected : 0);
        EXPECT_EQ(a.bar->style()->dragRectForTabCell(*cell, row.orientation), row.drag);
    }
}

TEST_F(TabStyleMetricsTest, CardCornersAreRoundedByHalfTheCardUpTo5Point5)
{
    // A 22-point bar stands cards 18 high on it.
    const gfx::Rect tall = ZTBCardTabStyle::cardRect({ 0, 0, 100, 22 });
    EXPECT_EQ(tall.height(), 18.0);
    EXPECT_EQ(ZTBCardTabStyle::cornerRadius(tall), 5.5);
    EXPECT_EQ(ZTBCardTabStyle::cornerRadius(ZTBCardTabStyle::cardRect({ 0, 0, 6, 22 })), 2.0);
    EXPECT_EQ(ZTBCardTabStyle::cornerRadius({ 0, 0, 12, 18 }), 5.5);
    EXPECT_EQ(ZTBCardTabStyle::cornerRadius({ 0, 0, 11, 18 }), 5.0);
}

TEST_F(TabStyleMetricsTest, CapsuleHeightCacheIsKeyedByTextAndWidthAndStartsAfreshPast100)
{
    // Emptied by whatever ran before: two measurements past 100 start it afresh.
    auto measure = [](const std::string& s, double width) {
        return ZTBCapsuleTabStyle::heightOfAttributedStringWithWidth(txt::AttributedString(fnd::String(s)), width);
    };
    for (int i = 0; i < 102; ++i)
        measure("clear " + std::to_string(i), 50);
    ASSERT_LE(ZTBCapsuleTabStyle::heightCacheCount(), 101u);
    const std::size_t start = ZTBCapsuleTabStyle::heightCacheCount();
    for (std::size_t i = start; i < 101; ++i)
        measure("title " + std::to_string(i), 80);
    EXPECT_EQ(ZTBCapsuleTabStyle::heightCacheCount(), 101u);
    // The 102nd finds 101 entries and empties the cache before it is measured.
    measure("one more", 80);
    EXPECT_EQ(ZTBCapsuleTabStyle::heightCacheCount(), 1u);

    // The same title wraps to more lines in a narrower tab.
    const std::string title = "A title long enough to wrap in a narrow vertical tab";
    const double wide = measure(title, 400);
    const double narrow = measure(title, 60);
    EXPECT_GT(narrow, wide);
    EXPECT_EQ(ZTBCapsuleTabStyle::heightCacheCount(), 3u);
    EXPECT_EQ(measure(title, 60), narrow);
    EXPECT_EQ(ZTBCapsuleTabStyle::heightCacheCount(), 3u);
}

TEST_F(TabStyleMetricsTest, CapsuleKeepsItsOptionsThroughAKeyedArchive)
{
    auto style = ZTBCapsuleTabStyle::create();
    style->setDrawsUnified(true);
    style->setDrawsRight(true);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(style));
    ASSERT_TRUE(data);
    auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<ZTBCapsuleTabStyle>();
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->drawsUnified());
    EXPECT_TRUE(copy->drawsRight());
    EXPECT_TRUE(copy->addTabButtonImage());
}

TEST_F(TabStyleMetricsTest, TitlesPerStyle)
{
    auto cell = makeCell({ 0, 0, 100, 22 });
    cell->setStringValue("Title");
    cell->setCount(12);
    for (const char* name : { "Metal", "Aqua", "Unified", "Card", "Capsule" }) {
        SCOPED_TRACE(name);
        a.bar->setStyleNamed(name);
        auto title = a.bar->style()->attributedStringValueForTabCell(*cell);
        EXPECT_EQ(title->string().utf8(), "Title");
        EXPECT_EQ(a.bar->style()->attributedObjectCountValueForTabCell(*cell)->string().utf8(), "12");
    }
}

}
