#include "frameworks/ZTBTabBarControl/ZTBMetalTabStyle.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBAquaTabStyle.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBCapsuleTabStyle.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBUnifiedTabStyle.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "support/KeyRecorder.h"

// The tab bar control's archives: the control, its cells, its buttons, the drag assistant and the styles write their
// keys in order; a control comes back with its style object, cells and tab view.
namespace {

using testsupport::KeyRecorder;

class ZTBTabBarControlArchiveTest : public uitest::UiTest { };

TEST_F(ZTBTabBarControlArchiveTest, EveryPartWritesItsKeysInOrder)
{
    auto bar = ZTBTabBarControl::create({ 0, 0, 400, 22 });
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::View>(*bar),
        (std::vector<std::string> { "ZTBcells", "ZTBtabView", "ZTBoverflowPopUpButton", "ZTBaddTabButton", "ZTBstyle",
            "ZTBorientation", "ZTBcanCloseOnlyTab", "ZTBdisableTabClose", "ZTBhideForSingleTab",
            "ZTBallowsBackgroundTabClosing", "ZTBallowsResizing", "ZTBselectsTabsOnMouseDown", "ZTBshowAddTabButton",
            "ZTBsizeCellsToFit", "ZTBcellMinWidth", "ZTBcellMaxWidth", "ZTBcellOptimumWidth", "ZTBcurrentStep",
            "ZTBisHidden", "ZTBpartnerView", "ZTBawakenedFromNib", "ZTBlastMouseDownEvent", "ZTBdelegate",
            "ZTBuseOverflowMenu", "ZTBautomaticallyAnimates", "ZTBalwaysShowActiveTab" }));

    // After the cell's own data (its title and item).
    auto cell = ZTBTabBarCell::create(bar);
    auto cellKeys = KeyRecorder::keyNamesOf(*cell);
    ASSERT_GE(cellKeys.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(cellKeys.begin() + 2, cellKeys.end()),
        (std::vector<std::string> { "frame", "stringSize", "currentStep", "isPlaceholder", "tabState",
            "closeButtonTrackingTag", "cellTrackingTag", "closeButtonOver", "closeButtonPressed", "indicator",
            "isInOverflowMenu", "hasCloseButton", "isCloseButtonSuppressed", "hasIcon", "hasLargeImage", "count",
            "isEdited" }));

    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::Button>(*bar->addTabButton()),
        (std::vector<std::string> { "rolloverImage", "usualImage", "myTrackingRectTag" }));
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::PopUpButton>(*bar->overflowPopUpButton()),
        (std::vector<std::string> { "ZTBTabBarOverflowPopUpImage", "ZTBTabBarOverflowDownPopUpImage",
            "ZTBTabBarOverflowAnimatingAlternateImage" }));
    EXPECT_EQ(KeyRecorder::keyNamesOf(*fnd::makeObject<ZTBTabDragAssistant>()),
        (std::vector<std::string> { "sourceTabBar", "destinationTabBar", "participatingTabBars", "draggedCell",
            "draggedCellIndex", "isDragging", "animationTimer", "sineCurveWidths", "currentMouseLoc", "targetCell" }));

    EXPECT_EQ(KeyRecorder::keyNamesOf(*ZTBCapsuleTabStyle::create()),
        (std::vector<std::string> { "closeButton", "closeButtonDown", "closeButtonOver", "closeDirtyButton",
            "closeDirtyButtonDown", "closeDirtyButtonOver", "addTabButtonImage", "addTabButtonPressedImage",
            "addTabButtonRolloverImage", "drawsUnified", "drawsRight" }));
    for (const std::shared_ptr<ZTBTabStyle>& style : { std::shared_ptr<ZTBTabStyle>(ZTBMetalTabStyle::create()),
             std::shared_ptr<ZTBTabStyle>(ZTBAquaTabStyle::create()),
             std::shared_ptr<ZTBTabStyle>(ZTBUnifiedTabStyle::create()),
             std::shared_ptr<ZTBTabStyle>(ZTBCardTabStyle::create()) })
        EXPECT_TRUE(KeyRecorder::keyNamesOf(*style).empty()) << style->name().utf8();
}

TEST_F(ZTBTabBarControlArchiveTest, AControlComesBackWithItsStyleObjectCellsAndTabView)
{
    auto content = ui::View::create({ 0, 0, 400, 300 });
    auto bar = ZTBTabBarControl::create({ 0, 278, 400, 22 });
    auto tabs = ui::TabView::create({ 0, 0, 400, 278 });
    content->addSubview(tabs);
    content->addSubview(bar);
    bar->setTabView(tabs);
    tabs->setDelegate(bar);
    for (const char* label : { "One", "Two" }) {
        auto item = ui::TabViewItem::create(fnd::Value(fnd::String(label)));
        item->setLabel(label);
        tabs->addTabViewItem(item);
    }
    bar->awakeFromNib();
    auto capsule = ZTBCapsuleTabStyle::create();
    capsule->setDrawsUnified(true);
    capsule->setDrawsRight(true);
    bar->setStyle(capsule);
    bar->setCellMinWidth(60);

    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(content));
    ASSERT_TRUE(data) << data.error().localizedDescription().utf8();
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(back) << back.error().localizedDescription().utf8();
    auto decoded = back->objectAs<ui::View>();
    auto decodedTabs = std::dynamic_pointer_cast<ui::TabView>(decoded->subviews().at(0));
    auto decodedBar = std::dynamic_pointer_cast<ZTBTabBarControl>(decoded->subviews().at(1));
    ASSERT_NE(decodedBar, nullptr);
    auto style = std::dynamic_pointer_cast<ZTBCapsuleTabStyle>(decodedBar->style());
    ASSERT_NE(style, nullptr) << "the style object, not only its name";
    EXPECT_TRUE(style->drawsUnified());
    EXPECT_TRUE(style->drawsRight());
    EXPECT_EQ(decodedBar->cellMinWidth(), 60);
    EXPECT_EQ(decodedBar->tabView(), decodedTabs);
    ASSERT_EQ(decodedBar->cells().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(decodedBar->cells()[i]->controlView(), decodedBar);
        EXPECT_EQ(decodedBar->cells()[i]->representedObject(), decodedTabs->tabViewItems()[i]);
    }
    EXPECT_EQ(decodedBar->currentStep(), -1) << "a decoded bar is at rest";
    EXPECT_EQ(std::dynamic_pointer_cast<ZTBTabBarControl>(decodedTabs->delegate()), decodedBar);
    // The titles follow the items' labels again.
    decodedTabs->tabViewItems()[0]->setLabel("First");
    EXPECT_EQ(decodedBar->cells()[0]->title(), "First");
}

TEST_F(ZTBTabBarControlArchiveTest, ACellStoresTheSizeOfItsCurrentTitle)
{
    auto bar = ZTBTabBarControl::create({ 0, 0, 400, 22 });
    auto cell = ZTBTabBarCell::create(bar);
    cell->setTitle("Tab");
    const gfx::Size shortTitle = cell->stringSize();
    EXPECT_EQ(shortTitle, bar->style()->attributedStringValueForTabCell(*cell)->size());
    cell->setTitle("A much longer tab title");
    EXPECT_GT(cell->stringSize().width, shortTitle.width + 40) << "the size follows the title";

    // The archive holds the size of the title the cell has when it is written.
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(cell));
    ASSERT_TRUE(data);
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(back) << back.error().localizedDescription().utf8();
    auto decoded = back->objectAs<ZTBTabBarCell>();
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->stringSize(), cell->stringSize());
}

// The control holds its tab view, which holds its items' views: a control among them would keep both for ever.
TEST_F(ZTBTabBarControlArchiveTest, AControlShownInsideTheTabViewItServesIsRefused)
{
    for (bool insideAPage : { false, true }) {
        SCOPED_TRACE(insideAPage);
        auto content = ui::View::create({ 0, 0, 400, 300 });
        auto bar = ZTBTabBarControl::create({ 0, 278, 400, 22 });
        auto tabs = ui::TabView::create({ 0, 0, 400, 278 });
        auto first = ui::TabViewItem::create(fnd::Value(fnd::String("A")));
        first->setView(ui::View::create());
        tabs->addTabViewItem(first);
        auto second = ui::TabViewItem::create(fnd::Value(fnd::String("B")));
        tabs->addTabViewItem(second);
        auto page = ui::View::create({ 0, 0, 400, 278 });
        if (insideAPage)
            page->addSubview(bar);
        second->setView(insideAPage ? page : std::shared_ptr<ui::View>(bar));
        content->addSubview(tabs);
        bar->setTabView(tabs);

        auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(content));
        // Let go of the cycle this layout made, so the test itself leaves nothing behind.
        second->setView(nullptr);
        ASSERT_TRUE(data) << data.error().localizedDescription().utf8();
        auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
        EXPECT_FALSE(back) << "a control inside its own tab view was decoded";
    }
}

}

namespace {

// The bytes of a keyed archive whose top level holds the given keys.
fnd::Data ztbArchiveOfKeys(const std::vector<std::pair<const char*, fnd::Value>>& keys)
{
    fnd::KeyedArchiver archiver;
    for (const auto& [key, value] : keys)
        archiver.encodeObject(value, key);
    archiver.finishEncoding();
    auto data = archiver.encodedData();
    EXPECT_TRUE(data);
    return data ? *data : fnd::Data();
}

fnd::Array ztbWidths(std::initializer_list<long long> widths)
{
    fnd::Array array;
    for (long long w : widths)
        array.emplace_back(w);
    return array;
}

}

// The gap animation reads the width table at the placeholders' steps 0 to 7: a decoded table has exactly those eight
// entries (or none, outside a drag), each a width a tab can have.
TEST_F(ZTBTabBarControlArchiveTest, ADragAssistantTakesOnlyAWidthTableOfEightSteps)
{
    struct Case {
        const char* what;
        fnd::Array widths;
        bool decodes;
    };
    // The table of a 100-point tab: 0, 4, 15, 32, 53, 73, 90, 100.
    const std::vector<Case> cases {
        { "none", {}, true },
        { "eight steps", ztbWidths({ 0, 4, 15, 32, 53, 73, 90, 100 }), true },
        { "three steps", ztbWidths({ 0, 4, 15 }), false },
        { "seven steps", ztbWidths({ 0, 4, 15, 32, 53, 73, 90 }), false },
        { "nine steps", ztbWidths({ 0, 4, 15, 32, 53, 73, 90, 100, 100 }), false },
        { "a negative width", ztbWidths({ 0, 4, 15, 32, -53, 73, 90, 100 }), false },
    };
    for (const auto& c : cases) {
        auto data = ztbArchiveOfKeys({ { "sineCurveWidths", fnd::Value(c.widths) } });
        fnd::KeyedUnarchiver coder(data);
        auto assistant = std::make_shared<ZTBTabDragAssistant>();
        EXPECT_EQ(assistant->initWithCoder(coder), c.decodes) << c.what;
        if (c.decodes)
            EXPECT_EQ(assistant->sineCurveWidths().size(), c.widths.size()) << c.what;
        else
            EXPECT_TRUE(assistant->sineCurveWidths().empty()) << c.what << ": nothing of the archive is kept";
    }
    // Steps outside the table have no extent.
    auto data = ztbArchiveOfKeys({ { "sineCurveWidths", fnd::Value(ztbWidths({ 0, 4, 15, 32, 53, 73, 90, 100 })) } });
    fnd::KeyedUnarchiver coder(data);
    auto assistant = std::make_shared<ZTBTabDragAssistant>();
    ASSERT_TRUE(assistant->initWithCoder(coder));
    EXPECT_EQ(assistant->widthOfStep(3), 32);
    EXPECT_EQ(assistant->widthOfStep(7), 100);
    EXPECT_EQ(assistant->widthOfStep(8), 0);
    EXPECT_EQ(assistant->widthOfStep(-1), 0);
}

// A cell's step indexes that table: whatever an archive says, the cell holds a step from 0 to 7, as the setter
// keeps it (-3 gives 0, 12 gives 7), and a missing key keeps the initial 0.
TEST_F(ZTBTabBarControlArchiveTest, ADecodedCellHoldsAStepFromZeroToSeven)
{
    auto bar = ZTBTabBarControl::create({ 0, 0, 400, 22 });
    const std::vector<std::pair<std::optional<long long>, long>> cases { { 12, 7 }, { -3, 0 }, { 5, 5 },
        { 1LL << 40, 7 }, { std::nullopt, 0 } };
    for (const auto& [archived, expected] : cases) {
        std::vector<std::pair<const char*, fnd::Value>> keys { { "isPlaceholder", fnd::Value(true) } };
        if (archived)
            keys.emplace_back("currentStep", fnd::Value(*archived));
        auto data = ztbArchiveOfKeys(keys);
        fnd::KeyedUnarchiver coder(data);
        auto cell = ZTBTabBarCell::create(bar);
        ASSERT_TRUE(cell->initWithCoder(coder));
        EXPECT_EQ(cell->currentStep(), expected) << (archived ? std::to_string(*archived) : "no key");
    }
}
