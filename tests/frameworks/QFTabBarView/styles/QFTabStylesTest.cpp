#include "QFTabBarViewTestSupport.h"

#include "frameworks/QFTabBarView/QFMetalTabStyle.h"
#include "frameworks/QFTabBarView/QFTabBarButtonCell.h"
#include "frameworks/QFTabBarView/styles/QFAquaTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFCapsuleTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFCardTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFLivelyTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFSlateTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFUnifiedTabStyle.h"
#include "frameworks/tab-bar-core/TabResources.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/containers/Toolbar.h"
#include "support/KeyRecorder.h"

#include <gtest/gtest.h>

#include <string>

using namespace qftest;

namespace {

std::shared_ptr<gfx::Image> named(const char* name)
{
    return tbcore::namedImage("QFTabBarView", name);
}

class QFTabStylesTest : public TabBarTest {
protected:
    void useStyle(const char* name)
    {
        a.bar->setStyleNamed(name);
        settle();
    }
    std::shared_ptr<QFTabBarButtonCell> cellOf(const std::string& label) { return a.button(label)->tabCell(); }
};

}

TEST_F(QFTabStylesTest, MetricsOfEveryStyleInBothOrientations)
{
    struct Case {
        const char* style;
        QFTabBarOrientation orientation;
        bool supported;
        double left, right, top, bottom, buttonHeight, addWidth;
    };
    using O = QFTabBarOrientation;
    const Case cases[] = {
        { "Metal", O::Horizontal, true, 10, 10, 0, 0, 22, 12 },
        { "Metal", O::Vertical, true, 0, 0, 10, 3, 22, 120 },
        { "Aqua", O::Horizontal, true, 0, 0, 0, 0, 22, 12 },
        { "Aqua", O::Vertical, true, 0, 0, 0, 3, 22, 120 },
        { "Unified", O::Horizontal, true, 0, 0, 0, 0, 22, 12 },
        { "Unified", O::Vertical, false, 0, 0, 0, 3, 22, 120 },
        { "Capsule", O::Horizontal, true, 3, 3, 0, 0, 22, 12 },
        { "Capsule", O::Vertical, true, 0, 0, 10, 3, 28, 120 },
        { "Card", O::Horizontal, true, 3, 3, 2, 0, 20, 12 },
        { "Card", O::Vertical, false, 0, 0, 0, 3, 22, 120 },
        { "Lively", O::Horizontal, true, 5, 5, 0, 0, 22, 12 },
        { "Lively", O::Vertical, false, 0, 0, 0, 3, 22, 120 },
        { "Slate", O::Horizontal, true, 6, 6, 0, 0, 22, 22 },
        { "Slate", O::Vertical, false, 6, 6, 3, 3, 22, 22 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.style) + (c.orientation == O::Vertical ? " vertical" : " horizontal"));
        a.bar->setOrientation(QFTabBarOrientation::Horizontal);
        a.bar->setFrame({ 0, 178, 120, 22 });
        useStyle(c.style);
        ASSERT_EQ(a.bar->styleName(), fnd::String(c.style));
        EXPECT_EQ(a.bar->supportsOrientation(c.orientation), c.supported);
        // A refused orientation is still taken when set; the horizontal-only styles then answer vertical metrics.
        a.bar->setOrientation(c.orientation);
        EXPECT_EQ(a.bar->leftMargin(), c.left);
        EXPECT_EQ(a.bar->rightMargin(), c.right);
        EXPECT_EQ(a.bar->topMargin(), c.top);
        EXPECT_EQ(a.bar->bottomMargin(), c.bottom);
        EXPECT_EQ(a.bar->heightOfTabBarButtons(), c.buttonHeight);
        EXPECT_EQ(a.bar->addTabButtonSize().width, c.addWidth);
    }
}

TEST_F(QFTabStylesTest, SettableMarginsOfUnifiedCardAndLively)
{
    auto unified = QFUnifiedTabStyle::create();
    unified->setLeftMarginForTabBarView(7);
    auto card = QFCardTabStyle::create();
    card->setHorizontalInset(9);
    auto lively = QFLivelyTabStyle::create();
    lively->setLeftMarginForTabBarView(4);
    const std::pair<std::shared_ptr<QFTabStyle>, double> cases[] = { { unified, 7 }, { card, 9 }, { lively, 4 } };
    for (const auto& [style, margin] : cases) {
        a.bar->setStyle(style);
        EXPECT_EQ(a.bar->leftMargin(), margin) << style->name().utf8();
        EXPECT_EQ(a.bar->rightMargin(), margin) << style->name().utf8() << ": both ends move together";
    }
}

TEST_F(QFTabStylesTest, CloseButtonPicturesByTypeAndNothingOutsideTheSixTypes)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    const char* metal[] = { "TabClose_Front", "TabClose_Front_Rollover", "TabClose_Front_Pressed", "TabClose_Dirty",
        "TabClose_Dirty_Rollover", "TabClose_Dirty_Pressed" };
    const char* shared[] = { "AquaTabClose_Front", "AquaTabClose_Front_Rollover", "AquaTabClose_Front_Pressed",
        "AquaTabCloseDirty_Front", "AquaTabCloseDirty_Front_Rollover", "AquaTabCloseDirty_Front_Pressed" };
    const std::pair<const char*, const char**> cases[] = { { "Metal", metal }, { "Aqua", shared },
        { "Unified", shared }, { "Capsule", shared }, { "Card", shared }, { "Lively", shared } };
    for (const auto& [style, names] : cases) {
        useStyle(style);
        auto cell = cellOf("One");
        for (long type = 0; type < 6; ++type) {
            ASSERT_TRUE(named(names[type])) << names[type] << " is in the bundle";
            EXPECT_EQ(cell->closeButtonImageOfType(type), named(names[type])) << style << " type " << type;
        }
        EXPECT_FALSE(cell->closeButtonImageOfType(-1)) << style;
        EXPECT_FALSE(cell->closeButtonImageOfType(6)) << style;
    }
}

TEST_F(QFTabStylesTest, SlateClosePicturesFollowSelectionAndWindowButEditedOnesDoNot)
{
    a.addItem("One");
    a.addItem("Two");
    useStyle("Slate");
    auto selected = cellOf("One"), other = cellOf("Two");
    ASSERT_EQ(selected->state(), ui::ControlStateValue::On);
    EXPECT_EQ(selected->closeButtonImageOfType(0), named("SlateAWATClose"));
    EXPECT_EQ(selected->closeButtonImageOfType(1), named("SlateAWATCloseRollover"));
    EXPECT_EQ(other->closeButtonImageOfType(2), named("SlateAWITClosePressed"));
    auto elsewhere = ui::Window::create({ { 0, 0 }, { 50, 50 } });
    elsewhere->makeKeyAndOrderFront();
    ASSERT_FALSE(a.bar->isWindowActive());
    EXPECT_EQ(selected->closeButtonImageOfType(0), named("SlateIWATClose"));
    EXPECT_EQ(other->closeButtonImageOfType(1), named("SlateIWITCloseRollover"));
    for (auto cell : { selected, other }) {
        EXPECT_EQ(cell->closeButtonImageOfType(3), named("TabClose_Dirty"));
        EXPECT_EQ(cell->closeButtonImageOfType(4), named("TabClose_Dirty_Rollover"));
        EXPECT_EQ(cell->closeButtonImageOfType(5), named("TabClose_Dirty_Pressed"));
        EXPECT_FALSE(cell->closeButtonImageOfType(6));
    }
}

TEST_F(QFTabStylesTest, EveryStyleArchivesWhatItsLookListsAndComesBackAsTheSameLook)
{
    using testsupport::KeyRecorder;
    auto capsule = QFCapsuleTabStyle::create();
    capsule->setDrawsUnified(true);
    capsule->setDrawsRight(true);
    const std::vector<std::string> closeKeys { "closeButton", "closeButtonDown", "closeButtonOver", "closeDirtyButton",
        "closeDirtyButtonDown", "closeDirtyButtonOver" };
    auto prefixed = [&](const std::string& prefix) {
        std::vector<std::string> keys;
        for (const auto& key : closeKeys)
            keys.push_back(prefix + char(std::toupper(key[0])) + key.substr(1));
        return keys;
    };
    auto capsuleKeys = closeKeys;
    capsuleKeys.insert(capsuleKeys.end(), { "drawsUnified", "drawsRight" });
    auto aquaKeys = std::vector<std::string> { "aquaTabBg", "aquaTabBgDown", "aquaTabBgDownGraphite",
        "aquaTabBgDownNonKey", "aquaDividerDown", "aquaDivider" };
    for (const auto& key : prefixed("aqua"))
        aquaKeys.push_back(key);
    struct Case {
        std::shared_ptr<QFTabStyle> style;
        std::vector<std::string> keys;
    };
    const Case cases[] = { { QFMetalTabStyle::create(), prefixed("metal") }, { QFAquaTabStyle::create(), aquaKeys },
        { QFUnifiedTabStyle::create(), prefixed("unified") }, { capsule, capsuleKeys },
        { QFLivelyTabStyle::create(), {} }, { QFCardTabStyle::create(), {} }, { QFSlateTabStyle::create(), {} } };
    a.addItem("One");
    settle();
    auto cell = cellOf("One");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style->name().utf8());
        EXPECT_EQ(KeyRecorder::keyNamesOf(*c.style), c.keys);
        auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(c.style));
        ASSERT_TRUE(data);
        auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
        ASSERT_TRUE(decoded) << decoded.error().localizedDescription().utf8();
        auto copy = decoded->objectAs<QFTabStyle>();
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->name(), c.style->name());
        // The pictures travel in the archive as the documents they were made from.
        for (long type : { 0L, 5L }) {
            auto original = c.style->closeButtonImageOfType(type, *cell);
            auto back = copy->closeButtonImageOfType(type, *cell);
            ASSERT_EQ(bool(original), bool(back));
            if (original && *original) {
                ASSERT_TRUE(*back);
                EXPECT_EQ((*back)->size(), (*original)->size());
                EXPECT_EQ((*back)->representations().front()->className(),
                    (*original)->representations().front()->className());
            }
        }
    }
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(capsule));
    auto copy = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data)->objectAs<QFCapsuleTabStyle>();
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->drawsUnified());
    EXPECT_TRUE(copy->drawsRight());
}

TEST_F(QFTabStylesTest, SlateCapsFollowTheSelectedTabSlidesAndTheDropPosition)
{
    for (const char* label : { "A", "B", "C", "D" })
        a.addItem(label);
    a.bar->setShowAddTabButton(true);
    useStyle("Slate");
    auto buttons = a.bar->orderedAttachedButtons();
    ASSERT_EQ(buttons.size(), 4u);
    const std::string L = "SlateAWITLeftCap", R = "SlateAWITRightCap";
    using P = QFSlateTabStyle::Pieces;
    auto pieces = [&](long i, long s) { return QFSlateTabStyle::piecesOfButton(*buttons[i], i, buttons, s, *a.bar); };
    auto select = [&](long s) {
        for (long i = 0; i < 4; ++i)
            buttons[i]->setState(i == s ? ui::ControlStateValue::On : ui::ControlStateValue::Off);
    };

    select(-1);
    const long none = fnd::NotFound;
    EXPECT_EQ(pieces(0, none), (P { "", "", "" }));
    EXPECT_EQ(pieces(1, none), (P { L, "", "" })) << "with no selected tab a middle tab has its left cap only";
    EXPECT_EQ(pieces(3, none), (P { L, "", a.bar->isOverflowButtonVisible() ? "" : R }));

    select(1);
    EXPECT_EQ(pieces(1, 1), (P { "SlateAWATLeftCap", "SlateAWATFill", "SlateAWATRightCap" }));
    EXPECT_EQ(pieces(0, 1), (P { "", "", "" })) << "the tab left of the selected one has no right cap";
    EXPECT_EQ(pieces(2, 1), (P { "", "", R })) << "the tab right of it has no left cap";

    a.bar->setDestinationIndexForDraggedItem(2);
    select(3);
    EXPECT_EQ(pieces(1, 3), (P { L, "", R })) << "a dragged tab about to drop after it gives it a right cap";
    a.bar->setDestinationIndexForDraggedItem(fnd::NotFound);
    buttons[2]->setIsInDraggedSlide(true);
    EXPECT_EQ(pieces(1, 3), (P { L, "", R })) << "so does a sliding right neighbour";
    buttons[2]->setIsInDraggedSlide(false);

    select(-1);
    a.bar->setShowAddTabButton(false);
    EXPECT_EQ(pieces(3, none).rightCap, "") << "the last tab's right cap only beside the add button";
}

TEST_F(QFTabStylesTest, SlateAndCardMoveTheirButtonsBelowTheStrip)
{
    a.addItem("One");
    a.bar->setShowAddTabButton(true);
    useStyle("Slate");
    const gfx::Rect add = a.bar->addTabButtonRect(), plain = a.bar->_addTabButtonRect();
    EXPECT_EQ(add.origin.y, plain.origin.y + 1.0);
    EXPECT_EQ(add.size.height, plain.size.height - 1.0);
    EXPECT_EQ(add.size.width, 22.0);
    useStyle("Card");
    const gfx::Rect overflow = a.bar->overflowButtonRect(), base = a.bar->_overflowButtonRect();
    EXPECT_EQ(overflow.origin.y, base.origin.y + 2.0);
    EXPECT_EQ(overflow.size.height, base.size.height - 2.0);
    a.bar->setUseOverflowMenu(false);
    EXPECT_EQ(a.bar->overflowButtonRect(), gfx::ZeroRect) << "no menu, no rect";
}

TEST_F(QFTabStylesTest, AquaPictureBehindTheSelectedTabByTintAndActivity)
{
    a.addItem("One");
    useStyle("Aqua");
    auto style = std::dynamic_pointer_cast<QFAquaTabStyle>(a.bar->style());
    auto cell = cellOf("One");
    auto down = style->selectedTabPicture(*cell, *a.bar);
    cell->setControlTint(gfx::ControlTint::Graphite);
    auto graphite = style->selectedTabPicture(*cell, *a.bar);
    EXPECT_NE(down, graphite);
    cell->setControlTint(gfx::ControlTint::Default);
    EXPECT_EQ(style->selectedTabPicture(*cell, *a.bar), down) << "a cell without a tint takes the desktop's (blue)";
    auto elsewhere = ui::Window::create({ { 0, 0 }, { 50, 50 } });
    elsewhere->makeKeyAndOrderFront();
    auto nonKey = style->selectedTabPicture(*cell, *a.bar);
    cell->setControlTint(gfx::ControlTint::Blue);
    EXPECT_EQ(style->selectedTabPicture(*cell, *a.bar), nonKey) << "an inactive window ignores the tint";
    EXPECT_NE(nonKey, down);
    EXPECT_NE(nonKey, graphite);
}

TEST_F(QFTabStylesTest, CapsuleLayoutPutsTheCloseButtonInTheIconsPlace)
{
    a.addItem("Documents");
    a.addItem("");
    useStyle("Capsule");
    auto cell = cellOf("Documents");
    cell->setHasCloseButton(true);
    auto icon = gfx::Image::imageWithSize({ 16, 16 });
    icon->addRepresentation(gfx::BitmapImageRep::create(16, 16, gfx::BitmapLayout::RGBA));
    cell->setIcon(icon);
    const gfx::Rect bounds { 0, 0, 130, 22 };
    const gfx::Rect close = cell->closeButtonRectForBounds(bounds), iconRect = cell->iconRectForBounds(bounds);
    const gfx::Rect title = cell->titleRectForBounds(bounds);
    EXPECT_EQ(close.origin.x, iconRect.origin.x) << "the close button and the icon share the left end";
    EXPECT_GE(title.minX(), std::max(close.maxX(), iconRect.maxX()) + 4.0);
    EXPECT_FALSE(cellOf("")->titleRectForBounds(bounds) != gfx::ZeroRect) << "no title, no title rect";

    // Vertical: the close button goes to the right end, a large image hides the icon.
    a.bar->setFrame({ 0, 0, 150, 200 });
    a.bar->setOrientation(QFTabBarOrientation::Vertical);
    settle();
    const gfx::Rect tall { 0, 0, 150, 28 };
    const gfx::Rect d = cell->drawingRectForBounds(tall);
    EXPECT_EQ(cell->closeButtonRectForBounds(tall).maxX(), d.maxX() - 4.0);
    auto large = gfx::Image::imageWithSize({ 32, 32 });
    large->addRepresentation(gfx::BitmapImageRep::create(32, 32, gfx::BitmapLayout::RGBA));
    cell->setLargeImage(large);
    EXPECT_EQ(cell->iconRectForBounds(tall), gfx::ZeroRect);
    EXPECT_GE(cell->titleRectForBounds(tall).minX(), cell->largeImageRectForBounds(tall).maxX() + 4.0);
}

TEST_F(QFTabStylesTest, LivelyLayoutRunsFromTheRightEnd)
{
    a.addItem("Report");
    a.addItem("Other");
    useStyle("Lively");
    auto cell = cellOf("Report");
    cell->setHasCloseButton(true);
    const gfx::Rect bounds { 0, 0, 140, 22 };
    const gfx::Rect d = cell->drawingRectForBounds(bounds);
    const gfx::Rect close = cell->closeButtonRectForBounds(bounds);
    EXPECT_EQ(close.maxX(), d.maxX()) << "the close button at the right end";
    cell->setObjectCount(7);
    EXPECT_EQ(cell->objectCounterRectForBounds(bounds), gfx::ZeroRect) << "a count is shown only when asked";
    cell->setShowObjectCount(true);
    const gfx::Rect counter = cell->objectCounterRectForBounds(bounds);
    EXPECT_EQ(counter.maxX(), close.minX() - 4.0);
    const gfx::Rect title = cell->titleRectForBounds(bounds);
    EXPECT_EQ(title.minX(), d.minX()) << "titles start at the left";
    EXPECT_LE(title.maxX(), counter.minX() - 4.0);
}

TEST_F(QFTabStylesTest, CountersAreFormattedUnsignedInEveryStyle)
{
    // A count below zero shows as the unsigned number it is, the way every counter of the family formats it.
    a.addItem("Report");
    for (const char* name : { "Metal", "Lively", "Aqua" }) {
        SCOPED_TRACE(name);
        useStyle(name);
        auto cell = cellOf("Report");
        cell->setObjectCount(42);
        EXPECT_EQ(cell->attributedObjectCountStringValue()->string(), fnd::String("42"));
        cell->setObjectCount(-1);
        EXPECT_EQ(cell->attributedObjectCountStringValue()->string(), fnd::String("18446744073709551615"));
    }
}

TEST_F(QFTabStylesTest, ASelectionChangeRedrawsTheWholeBarBecauseCapsReachPastTheTab)
{
    a.addItem("One");
    a.addItem("Two");
    useStyle("Slate");
    a.window->display();
    ASSERT_FALSE(a.bar->needsDisplay());
    a.button("Two")->setState(ui::ControlStateValue::On);
    EXPECT_TRUE(a.bar->needsDisplay()) << "the old selected tab's caps lie outside its button";
    settle();
    a.window->display();
    ASSERT_FALSE(a.bar->needsDisplay());
    a.button("Two")->setState(ui::ControlStateValue::On);
    EXPECT_FALSE(a.bar->needsDisplay()) << "no change, no redraw";
}
