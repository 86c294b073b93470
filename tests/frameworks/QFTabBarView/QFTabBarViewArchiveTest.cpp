#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFRolloverButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/styles/QFCapsuleTabStyle.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "support/KeyRecorder.h"

// The tab bar view's archive: its keys in order after the view's data, and a bar in a window layout (with its tab
// view and partner beside it) that comes back whole, its buttons made again from the tab view.
namespace {

using testsupport::KeyRecorder;

class QFTabBarViewArchiveTest : public uitest::UiTest { };

TEST_F(QFTabBarViewArchiveTest, TheBarAndItsButtonCellsWriteTheirKeysInOrder)
{
    auto bar = QFTabBarView::create({ 0, 0, 400, 22 });
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::View>(*bar),
        (std::vector<std::string> { "QFtabView", "QFOverflowPopUpButton", "QFaddTabButton", "QFstyle", "QForientation",
            "QFonlyShowCloseOnHover", "QFcanCloseOnlyTab", "QFdisableTabClose", "QFhideForSingleTab",
            "QFallowsBackgroundTabClosing", "QFallowsResizing", "QFselectsTabsOnMouseDown", "QFshowAddTabButton",
            "QFsizeButtonsToFit", "QFbuttonMinWidth", "QFbuttonMaxWidth", "QFbuttonOptimumWidth", "QFisHidden",
            "QFpartnerView", "QFdelegate", "QFuseOverflowMenu", "QFautomaticallyAnimates", "QFalwaysShowActiveTab" }));
    auto keys = KeyRecorder::keysOf(*bar);
    auto delegateKey = std::ranges::find_if(keys, [](const auto& e) { return e.key == "QFdelegate"; });
    ASSERT_NE(delegateKey, keys.end());
    EXPECT_EQ(delegateKey->kind, "conditional object");

    auto rollover = std::dynamic_pointer_cast<ui::ButtonCell>(bar->addTabButton()->cell());
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::ButtonCell>(*rollover),
        (std::vector<std::string> { "rolloverImage", "simulateClickOnMouseHovered", "rolloverButtonType" }));
    auto overflow = std::dynamic_pointer_cast<ui::PopUpButtonCell>(bar->overflowPopUpButton()->cell());
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::PopUpButtonCell>(*overflow),
        (std::vector<std::string> { "QFTabBarOverflowPopUpImage", "QFTabBarOverflowPopUpSecondImage" }));
}

TEST_F(QFTabBarViewArchiveTest, ABarInALayoutComesBackWithItsTabViewPartnerStyleAndButtons)
{
    auto content = ui::View::create({ 0, 0, 400, 300 });
    auto bar = QFTabBarView::create({ 0, 278, 400, 22 });
    auto tabs = ui::TabView::create({ 0, 0, 400, 278 });
    tabs->setTabViewType(ui::TabViewType::NoTabsNoBorder);
    for (const char* label : { "One", "Two", "Three" }) {
        auto item = ui::TabViewItem::create(fnd::Value(fnd::String(label)));
        item->setLabel(label);
        item->setView(ui::View::create());
        tabs->addTabViewItem(item);
    }
    content->addSubview(tabs);
    content->addSubview(bar);
    bar->setTabView(tabs);
    bar->setPartnerView(tabs);
    auto capsule = QFCapsuleTabStyle::create();
    capsule->setDrawsUnified(true);
    bar->setStyle(capsule);
    bar->setButtonMinWidth(60);
    tabs->selectTabViewItemAtIndex(1);

    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(content));
    ASSERT_TRUE(data) << data.error().localizedDescription().utf8();
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(back) << back.error().localizedDescription().utf8();
    auto decoded = back->objectAs<ui::View>();
    ASSERT_EQ(decoded->subviews().size(), 2u);
    auto decodedTabs = std::dynamic_pointer_cast<ui::TabView>(decoded->subviews()[0]);
    auto decodedBar = std::dynamic_pointer_cast<QFTabBarView>(decoded->subviews()[1]);
    ASSERT_NE(decodedTabs, nullptr);
    ASSERT_NE(decodedBar, nullptr);
    EXPECT_EQ(decodedBar->tabView(), decodedTabs) << "the bar's tab view is the one beside it";
    EXPECT_EQ(decodedBar->partnerView(), decodedTabs);
    EXPECT_EQ(decodedTabs->numberOfTabViewItems(), 3);
    EXPECT_EQ(decodedTabs->selectedTabViewItem()->label(), "Two");
    EXPECT_EQ(decodedBar->buttonMinWidth(), 60);
    auto style = std::dynamic_pointer_cast<QFCapsuleTabStyle>(decodedBar->style());
    ASSERT_NE(style, nullptr);
    EXPECT_TRUE(style->drawsUnified());
    EXPECT_EQ(decodedBar->overflowPopUpButton()->superview(), decodedBar);
    EXPECT_EQ(decodedBar->addTabButton()->superview(), decodedBar);
    EXPECT_EQ(decodedBar->numberOfAttachedButtons(), 3) << "one button per item, made again, none twice";
    EXPECT_EQ(decodedBar->delegate(), nullptr) << "no delegate was archived with the layout";
}


// The bar holds its tab view, so a bar that is one of that tab view's pages, or sits inside one, would hold itself
// for ever once decoded. The archive is refused, whether the tab view or the bar is read first.
TEST_F(QFTabBarViewArchiveTest, ABarShownInsideTheTabViewItServesIsRefused)
{
    enum class Place { TabViewReadFirst, BarReadFirst, InsideAPage };
    for (auto place : { Place::TabViewReadFirst, Place::BarReadFirst, Place::InsideAPage }) {
        SCOPED_TRACE(int(place));
        auto content = ui::View::create({ 0, 0, 400, 300 });
        auto bar = QFTabBarView::create({ 0, 278, 400, 22 });
        auto tabs = ui::TabView::create({ 0, 0, 400, 278 });
        auto first = ui::TabViewItem::create(fnd::Value(fnd::String("A")));
        first->setView(ui::View::create());
        tabs->addTabViewItem(first);
        auto second = ui::TabViewItem::create(fnd::Value(fnd::String("B")));
        tabs->addTabViewItem(second);
        if (place == Place::InsideAPage) {
            auto page = ui::View::create({ 0, 0, 400, 278 });
            page->addSubview(bar);
            second->setView(page);
            content->addSubview(tabs);
        } else {
            second->setView(bar);
            // Read first, the tab view reads the whole bar as its delegate before its items; read first, the bar
            // is still being read when the tab view's item refers to it.
            content->addSubview(place == Place::TabViewReadFirst ? std::shared_ptr<ui::View>(tabs) : bar);
            content->addSubview(place == Place::TabViewReadFirst ? std::shared_ptr<ui::View>(bar) : tabs);
        }
        bar->setTabView(tabs);
        ASSERT_EQ(tabs->delegate().get(), dynamic_cast<ui::TabViewDelegate*>(bar.get()));

        auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(content));
        // Let go of the cycle this layout made, so the test itself leaves nothing behind.
        second->setView(nullptr);
        ASSERT_TRUE(data) << data.error().localizedDescription().utf8();
        auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
        EXPECT_FALSE(back) << "a bar inside its own tab view was decoded";
    }
}

}
