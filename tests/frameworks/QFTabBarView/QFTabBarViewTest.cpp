#include "QFTabBarViewTestSupport.h"

#include "frameworks/tab-bar-core/support/ForeignDrag.h"

#include "frameworks/QFTabBarView/QFMetalTabStyle.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarController.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/QFTabBarView/QFTabDragWindow.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/IndexSet.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Event.h"

#include <map>
#include <random>

namespace {

using namespace qftest;
using Labels = std::vector<std::string>;

// A style that answers nothing but its name: everything falls back to the built-in answers.
class EmptyStyle : public QFTabStyle {
public:
    fnd::String name() const override { return "Empty"; }
};

// A style for vertical bars only.
class VerticalOnlyStyle : public EmptyStyle {
public:
    fnd::String name() const override { return "VerticalOnly"; }
    std::optional<bool> supportsOrientation(QFTabBarOrientation orientation, QFTabBarViewBase&) override
    {
        return orientation == QFTabBarOrientation::Vertical;
    }
};

// An identifier that offers its own tab title and count.
class Document : public fnd::Object {
    FND_OBJECT(Document)
    static void describeClass(fnd::ClassBuilder<Document>& c)
    {
        c.property("title", &Document::title);
        c.property("objectCount", &Document::objectCount);
    }

public:
    fnd::String title;
    long objectCount { 0 };
};
FND_REGISTER_CLASS(Document, fnd::Object)

class QFTabBarViewTest : public TabBarTest { };

TEST_F(QFTabBarViewTest, ButtonsFollowTheTabViewItemsAndTheSelection)
{
    a.addItem("One");
    a.addItem("Two");
    a.addItem("Three");
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "One", "Two", "Three" }));
    EXPECT_EQ(a.bar->selectedAttachedButton(), a.button("One")) << "the tab view selects its first item";

    a.tabView->selectTabViewItemAtIndex(2);
    EXPECT_EQ(a.bar->selectedAttachedButton(), a.button("Three"));
    EXPECT_EQ(a.button("One")->state(), ui::ControlStateValue::Off);
    EXPECT_EQ(a.delegate->calls.back(), "didSelect Three") << "forwarded after the bar caught up";

    a.tabView->removeTabViewItem(a.tabView->tabViewItemAtIndex(1));
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "One", "Three" }));
    EXPECT_NE(std::ranges::find(a.delegate->calls, "didDetach Two"), a.delegate->calls.end());

    // Clicking a tab selects its item.
    backend->click(*a.window, a.centreOf("One"));
    settle();
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("One"));
}

TEST_F(QFTabBarViewTest, WithoutADelegateEveryQuestionGetsItsDefault)
{
    auto item = a.addItem("One");
    a.addItem("Two");
    a.bar->setDelegate(nullptr);
    settle();
    EXPECT_FALSE(a.bar->allowsDetachedDraggingOfTabViewItem(*item)) << "tabs stay in their bar";
    EXPECT_FALSE(
        a.bar->menuForTabViewItem(item, *ui::Event::mouseEventWithType(ui::EventType::RightMouseDown, {}, 0, 0, 0)));
    auto entry = ui::MenuItem::create("One", "_overflowMenuAction:", "");
    entry->setRepresentedObject(fnd::Value(item));
    EXPECT_TRUE(a.bar->validateMenuItem(*entry)) << "overflow entries are enabled";
    EXPECT_EQ(entry->state(), ui::ControlStateValue::On) << "the selected item is checked";
    a.tabView->selectTabViewItemAtIndex(1);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("Two")) << "selection is not vetoed";
    a.bar->_didClickCloseButton(fnd::Value(a.button("Two")->closeButton()));
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "One" })) << "closing is not vetoed";
    a.bar->_addNewTab({});
    EXPECT_EQ(a.tabView->numberOfTabViewItems(), 1) << "no delegate, no new tab";
}

TEST_F(QFTabBarViewTest, MovingAnItemDoesNotAskForAnUpdate)
{
    auto one = a.addItem("One");
    a.addItem("Two");
    settle();
    a.bar->moveTabViewItem(one, 1);
    EXPECT_FALSE(a.bar->needsUpdate());
    EXPECT_EQ(a.tabLabels(), (Labels { "Two", "One" }));
    EXPECT_EQ(a.tabView->selectedTabViewItem(), one);
    EXPECT_EQ(std::ranges::count(a.delegate->calls, "count"), 2) << "the move is not reported as a count change";
}

TEST_F(QFTabBarViewTest, SeveralOptionChangesGiveOneLayout)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    a.delegate->overflowNotices = 0;
    a.bar->setButtonOptimumWidth(150);
    a.bar->setShowAddTabButton(true);
    a.bar->setDisableTabClose(true);
    a.bar->setSizeButtonsToFit(false);
    EXPECT_TRUE(a.bar->needsUpdate());
    EXPECT_TRUE(a.bar->needsLayout()) << "the update waits for the window's layout pass";
    EXPECT_EQ(a.delegate->overflowNotices, 0) << "nothing laid out yet";
    a.window->layoutIfNeeded();
    EXPECT_EQ(a.delegate->overflowNotices, 2) << "one pass over the two buttons";
    EXPECT_FALSE(a.bar->needsUpdate());
    EXPECT_EQ(a.button("One")->frame().width(), 150);
}

TEST_F(QFTabBarViewTest, TitleChangesOfSizedToFitTabsShareOneLayout)
{
    auto one = a.addItem("One");
    auto two = a.addItem("Two");
    a.bar->setSizeButtonsToFit(true);
    settle();
    const double before = a.button("One")->frame().width();
    a.delegate->overflowNotices = 0;
    one->setLabel("A much longer first title");
    two->setLabel("And a longer second one");
    EXPECT_EQ(a.delegate->overflowNotices, 0) << "not laid out at each change";
    settle();
    EXPECT_EQ(a.delegate->overflowNotices, 2) << "one pass for both";
    EXPECT_GT(a.button("A much longer first title")->frame().width(), before);
}

TEST_F(QFTabBarViewTest, TheStyleRegistryAndOrientation)
{
    EXPECT_EQ(a.bar->styleName(), fnd::String("Metal"));
    a.bar->setStyleNamed("NoSuchStyle");
    EXPECT_EQ(a.bar->styleName(), fnd::String("Metal")) << "an unregistered name keeps the style";

    // The seven styles registered themselves when the library loaded.
    std::vector<std::string> classes;
    for (const auto* styleClass : QFTabBarView::registeredTabStyleClasses())
        classes.push_back(styleClass->name.utf8());
    std::ranges::sort(classes);
    EXPECT_EQ(classes,
        (std::vector<std::string> { "QFAquaTabStyle", "QFCapsuleTabStyle", "QFCardTabStyle", "QFLivelyTabStyle",
            "QFMetalTabStyle", "QFSlateTabStyle", "QFUnifiedTabStyle" }));
    ASSERT_TRUE(QFTabBarView::registeredClassForStyleName("Slate"));
    EXPECT_EQ(QFTabBarView::registeredClassForStyleName("Slate")->name, fnd::String("QFSlateTabStyle"));

    QFTabBarView::registerTabStyleClass(
        "VerticalOnly", EmptyStyle::staticClassInfo(), [] { return std::make_shared<VerticalOnlyStyle>(); });
    a.bar->setStyleNamed("VerticalOnly");
    EXPECT_EQ(a.bar->styleName(), fnd::String("VerticalOnly"));
    EXPECT_EQ(a.bar->orientation(), QFTabBarOrientation::Vertical) << "the style cannot draw a horizontal bar";
    QFTabBarView::unregisterTabStyleClass("VerticalOnly");
    EXPECT_FALSE(QFTabBarView::registeredClassForStyleName("VerticalOnly"));
    EXPECT_TRUE(QFTabBarView::registeredClassForStyleName("Metal"));
}

TEST_F(QFTabBarViewTest, AStyleAnsweringNothingGivesTheBuiltInMetrics)
{
    a.bar->setStyle(std::make_shared<EmptyStyle>());
    EXPECT_EQ(a.bar->leftMargin(), 6);
    EXPECT_EQ(a.bar->rightMargin(), 6);
    EXPECT_EQ(a.bar->topMargin(), 0);
    EXPECT_EQ(a.bar->heightOfTabBarButtons(), 22);
    EXPECT_EQ(a.bar->addTabButtonSize(), gfx::Size(12, 22));
    EXPECT_EQ(a.bar->overflowButtonSize(), gfx::Size(14, 22));
    a.bar->setOrientation(QFTabBarOrientation::Vertical);
    EXPECT_EQ(a.bar->topMargin(), 3);
    EXPECT_EQ(a.bar->bottomMargin(), 3);
    EXPECT_EQ(a.bar->addTabButtonSize().height, 18);
    EXPECT_EQ(a.bar->overflowButtonSize().height, 18);
    EXPECT_EQ(a.bar->leftMargin(), 0);
}

TEST_F(QFTabBarViewTest, TabStateBitsTellNeighboursAndPositions)
{
    a.addItem("One");
    settle();
    EXPECT_EQ(a.button("One")->tabState() & QFTabState::PositionMask,
        QFTabState::PositionFirst | QFTabState::PositionLast | QFTabState::PositionSingle);
    a.addItem("Two");
    a.addItem("Three");
    settle();
    a.tabView->selectTabViewItemAtIndex(1);
    EXPECT_TRUE(a.button("One")->tabState() & QFTabState::NextSelected);
    EXPECT_TRUE(a.button("Three")->tabState() & QFTabState::PreviousSelected);
    EXPECT_EQ(a.button("Two")->tabState() & QFTabState::PositionMask, QFTabState::PositionMiddle);
    EXPECT_FALSE(a.button("Two")->tabState() & (QFTabState::NextSelected | QFTabState::PreviousSelected));
}

TEST_F(QFTabBarViewTest, ButtonsAreFoundAmongTheSubviewsAndVisitedInOrder)
{
    a.addItem("One");
    a.addItem("Two");
    a.addItem("Three");
    settle();
    // The overflow and add buttons come first among the subviews; the tab buttons follow as they were added.
    const auto& views = a.bar->subviews();
    std::vector<fnd::Index> expected;
    for (std::size_t i = 0; i < views.size(); ++i)
        if (std::dynamic_pointer_cast<QFAttachedTabBarButton>(views[i]))
            expected.push_back(fnd::Index(i));
    ASSERT_EQ(expected.size(), 3u);
    EXPECT_EQ(a.bar->viewIndexesOfAttachedButtons().indexes(), expected);
    a.tabView->selectTabViewItemAtIndex(2);
    EXPECT_EQ(a.bar->viewIndexOfSelectedAttachedButton(), long(expected[2]));
    a.button("Three")->setState(ui::ControlStateValue::Off);
    EXPECT_EQ(a.bar->viewIndexOfSelectedAttachedButton(), long(fnd::NotFound));

    Labels visited;
    a.bar->enumerateAttachedButtonsUsingBlock(
        [&](QFAttachedTabBarButton& button, long index, QFAttachedTabBarButton* previous, QFAttachedTabBarButton* next,
            bool& stop) {
            visited.push_back(std::to_string(index) + " " + button.title().utf8() + " <"
                + (previous ? previous->title().utf8() : "") + " >" + (next ? next->title().utf8() : ""));
            stop = index == 1;
        });
    EXPECT_EQ(visited, (Labels { "0 One < >Two", "1 Two <One >Three" })) << "stops when told";
}

TEST_F(QFTabBarViewTest, TitlesBindToTheIdentifierOrTheLabel)
{
    auto plain = a.addItem("Plain");
    auto document = fnd::makeObject<Document>();
    document->title = "From the document";
    document->objectCount = 7;
    auto rich = ui::TabViewItem::create(fnd::Value(document));
    rich->setLabel("Label");
    a.tabView->addTabViewItem(rich);
    settle();
    EXPECT_EQ(a.bar->attachedButtonForTabViewItem(*plain)->title(), fnd::String("Plain"));
    auto richButton = a.bar->attachedButtonForTabViewItem(*rich);
    EXPECT_EQ(richButton->title(), fnd::String("From the document"));
    EXPECT_EQ(richButton->objectCount(), 7);
    EXPECT_TRUE(richButton->showObjectCount());

    plain->setLabel("Renamed");
    EXPECT_EQ(a.bar->attachedButtonForTabViewItem(*plain)->title(), fnd::String("Renamed"));

    // The item's own values, when the identifier offers none.
    auto properties = QFTabBarViewExtensions::properties(*plain);
    properties->setValueForKey(fnd::Value(true), "isEdited");
    EXPECT_TRUE(a.bar->attachedButtonForTabViewItem(*plain)->isEdited());

    // A tab's title is its item's label too, so the label followed the document's title.
    EXPECT_EQ(rich->label(), fnd::String("From the document"));
    // A new identifier rebinds the button, to the label now.
    rich->setIdentifier({});
    rich->setLabel("Label");
    EXPECT_EQ(richButton->title(), fnd::String("Label"));
    document->title = "Changed";
    EXPECT_EQ(richButton->title(), fnd::String("Label"));
    EXPECT_FALSE(richButton->showObjectCount()) << "the item's own count is 0, which hides the counter";
}

TEST(QFTabBarItemPropertiesTest, BelongToTheirItemAndGoWithIt)
{
    auto first = ui::TabViewItem::create(fnd::String("First"));
    auto second = ui::TabViewItem::create(fnd::String("Second"));
    auto properties = QFTabBarViewExtensions::properties(*first);
    properties->setValueForKey(fnd::Value(true), "isEdited");
    EXPECT_EQ(QFTabBarViewExtensions::properties(*first), properties);
    EXPECT_NE(QFTabBarViewExtensions::properties(*second), properties);
    EXPECT_FALSE(QFTabBarViewExtensions::properties(*second)->isEdited);

    // Nothing else holds them: a window's worth of closed tabs leaves nothing behind.
    std::weak_ptr<QFTabBarItemProperties> gone = properties;
    properties.reset();
    first.reset();
    EXPECT_TRUE(gone.expired());
}

TEST_F(QFTabBarViewTest, ClosingTheOnlyTabBeepsUnlessAllowed)
{
    a.addItem("Only");
    settle();
    auto only = a.button("Only");
    a.bar->_didClickCloseButton(fnd::Value(only->closeButton()));
    EXPECT_EQ(backend->beepCount(), 1);
    EXPECT_EQ(a.tabView->numberOfTabViewItems(), 1);

    a.bar->setCanCloseOnlyTab(true);
    settle();
    a.bar->_didClickCloseButton(fnd::Value(only->closeButton()));
    settle();
    EXPECT_EQ(a.tabView->numberOfTabViewItems(), 0);
    EXPECT_NE(std::ranges::find(a.delegate->calls, "willClose Only"), a.delegate->calls.end());
    EXPECT_NE(std::ranges::find(a.delegate->calls, "didClose Only"), a.delegate->calls.end());
    EXPECT_TRUE(a.bar->attachedButtons().empty());

    a.bar->_didClickCloseButton(fnd::Value(std::static_pointer_cast<fnd::Object>(a.bar)));
    EXPECT_EQ(backend->beepCount(), 2) << "not the close button of a tab";
}

TEST_F(QFTabBarViewTest, TheDelegateMayRefuseAClose)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    a.delegate->shouldClose = false;
    a.bar->_didClickCloseButton(fnd::Value(a.button("Two")->closeButton()));
    EXPECT_EQ(a.tabView->numberOfTabViewItems(), 2);
    EXPECT_EQ(backend->beepCount(), 0);
}

TEST_F(QFTabBarViewTest, TheAddButtonAsksTheDelegateForANewTab)
{
    a.bar->setShowAddTabButton(true);
    a.addItem("One");
    settle();
    auto add = a.bar->addTabButton();
    ASSERT_FALSE(add->isHidden());
    EXPECT_EQ(add->frame().minX(), a.button("One")->frame().maxX() + 4.0);
    backend->click(*a.window, add->convertPointToView({ add->bounds().midX(), add->bounds().midY() }, nullptr));
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "One", "New 2" }));
}

TEST_F(QFTabBarViewTest, HidingAHorizontalBarGivesItsOwnHeightToThePartner)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    const gfx::Rect partner = a.tabView->frame();
    a.bar->setHideForSingleTab(true);
    a.tabView->removeTabViewItem(a.tabView->tabViewItemAtIndex(1));
    settle();
    EXPECT_TRUE(a.bar->isTabBarHidden());
    EXPECT_TRUE(a.bar->isHidden());
    EXPECT_EQ(a.tabView->frame(), gfx::Rect(partner.minX(), partner.minY(), partner.width(), partner.height() + 22));
    EXPECT_EQ(a.delegate->calls.back(), "didHide");

    a.addItem("Again");
    settle();
    EXPECT_FALSE(a.bar->isTabBarHidden());
    EXPECT_FALSE(a.bar->isHidden());
    EXPECT_EQ(a.tabView->frame(), partner);
    EXPECT_NE(std::ranges::find(a.delegate->calls, "didUnhide"), a.delegate->calls.end());

    // A taller bar gives back its own height, not a fixed one.
    a.bar->setFrame({ 0, 170, 600, 30 });
    a.tabView->setFrame({ 0, 0, 600, 170 });
    a.bar->hideTabBar(true, false);
    EXPECT_EQ(a.tabView->frame().height(), 200);
    a.bar->hideTabBar(false, false);
    EXPECT_EQ(a.tabView->frame().height(), 170);
}

TEST_F(QFTabBarViewTest, HidingAnimatesThePartnerWhenAsked)
{
    a.addItem("One");
    settle();
    const gfx::Rect partner = a.tabView->frame();
    a.bar->hideTabBar(true, true);
    EXPECT_TRUE(a.bar->isAnimating());
    runFor(0.2);
    EXPECT_FALSE(a.bar->isAnimating());
    EXPECT_EQ(a.tabView->frame().height(), partner.height() + 22);
    EXPECT_EQ(a.delegate->calls.back(), "didHide");
    a.bar->hideTabBar(false, true);
    EXPECT_TRUE(a.bar->isHidden()) << "shown only once the partner has made room";
    runFor(0.2);
    EXPECT_FALSE(a.bar->isHidden());
    EXPECT_EQ(a.tabView->frame(), partner);
}

TEST_F(QFTabBarViewTest, AVerticalBarRemembersItsWidthWhileHidden)
{
    auto side = ui::Window::create({ { 100, 400 }, { 400, 200 } });
    auto tabs = ui::TabView::create({ 150, 0, 250, 200 });
    auto bar = QFTabBarView::create({ 0, 0, 150, 200 });
    side->contentView()->addSubview(tabs);
    side->contentView()->addSubview(bar);
    bar->setOrientation(QFTabBarOrientation::Vertical);
    bar->setTabView(tabs);
    bar->setPartnerView(tabs);
    bar->hideTabBar(true, false);
    EXPECT_EQ(tabs->frame(), gfx::Rect(0, 0, 400, 200)) << "the partner on the right takes the bar's width";
    bar->setFrame({ 0, 0, 90, 200 });
    bar->hideTabBar(false, false);
    EXPECT_EQ(tabs->frame(), gfx::Rect(150, 0, 250, 200)) << "the remembered width, not the current one";
}

TEST_F(QFTabBarViewTest, WithoutAPartnerTheWindowGivesUpTheRoom)
{
    a.bar->setPartnerView(nullptr);
    const gfx::Rect before = a.window->frame();
    a.bar->hideTabBar(true, true);
    EXPECT_EQ(a.window->frame(), gfx::Rect(before.minX(), before.minY() + 22, before.width(), before.height() - 22));
    a.bar->hideTabBar(false, false);
    EXPECT_EQ(a.window->frame(), before);
}

TEST_F(QFTabBarViewTest, TheResizeCornerIsFoundInWindowCoordinates)
{
    a.addItem("One");
    a.window->setShowsResizeIndicator(true);
    // The bar lies at the top of the window, far from the corner at the bottom right.
    a.bar->_checkWindowFrame();
    EXPECT_EQ(a.bar->resizeAreaCompensation(), 0);
    a.bar->setFrame({ 0, 0, 600, 22 });
    a.bar->_checkWindowFrame();
    EXPECT_EQ(a.bar->resizeAreaCompensation(), 8);

    // Inside a container away from the window's origin: still found through the window's coordinates.
    auto holder = ui::View::create({ 0, 0, 600, 40 });
    auto textured = ui::Window::create(
        { { 100, 400 }, { 600, 200 } }, ui::WindowStyleMask::Titled | ui::WindowStyleMask::TexturedBackground);
    textured->setShowsResizeIndicator(true);
    textured->contentView()->addSubview(holder);
    auto bar = QFTabBarView::create({ 300, 10, 300, 22 });
    holder->addSubview(bar);
    bar->_checkWindowFrame();
    EXPECT_EQ(bar->resizeAreaCompensation(), 20);
    bar->setFrame({ 0, 10, 300, 22 });
    bar->_checkWindowFrame();
    EXPECT_EQ(bar->resizeAreaCompensation(), 0);
}

TEST_F(QFTabBarViewTest, TheBarIsAGroupOfItsTabButtonsOneSelected)
{
    namespace A = ui::AccessibilityAttribute;
    a.addItem("One");
    a.addItem("Two");
    a.addItem("Three");
    settle();
    EXPECT_FALSE(a.bar->accessibilityIsIgnored());
    EXPECT_EQ(a.bar->accessibilityAttributeValue(A::Role), fnd::Value("AXGroup"));
    auto tabs = *a.bar->accessibilityAttributeValue(A::Children).array();
    ASSERT_EQ(tabs.size(), 3u) << "the tabs only, not the add or overflow buttons";
    std::string titles;
    for (const auto& tab : tabs)
        titles += ui::accessibilityAttribute(*ui::accessibilityElement(tab), A::Title).stringValue().utf8() + " ";
    EXPECT_EQ(titles, "One Two Three ");
    auto two = a.button("Two");
    EXPECT_EQ(two->accessibilityAttributeValue(A::Role), fnd::Value("AXButton"));
    EXPECT_EQ(two->accessibilityAttributeValue(A::Parent).object(), a.bar);
    EXPECT_EQ(a.button("One")->accessibilityAttributeValue(A::Value), fnd::Value(1));
    EXPECT_EQ(two->accessibilityAttributeValue(A::Value), fnd::Value(0));
    two->accessibilityPerformAction(ui::AccessibilityAction::Press);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("Two"));
    EXPECT_EQ(two->accessibilityAttributeValue(A::Value), fnd::Value(1));
    EXPECT_EQ(a.button("One")->accessibilityAttributeValue(A::Value), fnd::Value(0));

    // Hit testing takes a screen point: the tab under it, else the bar.
    auto onScreen = [&](gfx::Point p) { return a.window->convertBaseToScreen(a.bar->convertPointToView(p, nullptr)); };
    EXPECT_EQ(a.bar->accessibilityHitTest(onScreen({ two->frame().midX(), two->frame().midY() })).object(), two);
    EXPECT_EQ(a.bar->accessibilityHitTest(onScreen({ 599, 11 })).object(), a.bar) << "past the last tab";
}

TEST_F(QFTabBarViewTest, SettingsSurviveAnArchiveAndMissingKeysKeepTheDefaults)
{
    a.bar->setButtonMinWidth(80);
    a.bar->setShowAddTabButton(true);
    a.bar->setAllowsBackgroundTabClosing(false);
    a.bar->setOrientation(QFTabBarOrientation::Vertical);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(a.bar));
    ASSERT_TRUE(data) << data.error().localizedDescription().utf8();
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(decoded) << decoded.error().localizedDescription().utf8();
    auto copy = decoded->objectAs<QFTabBarView>();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->buttonMinWidth(), 80);
    EXPECT_EQ(copy->buttonMaxWidth(), 280);
    EXPECT_TRUE(copy->showAddTabButton());
    EXPECT_FALSE(copy->allowsBackgroundTabClosing());
    EXPECT_EQ(copy->orientation(), QFTabBarOrientation::Vertical);
    EXPECT_EQ(copy->styleName(), fnd::String("Metal"));
    EXPECT_FALSE(copy->delegate()) << "a delegate is connected, never decoded";
}

TEST_F(QFTabBarViewTest, AForeignDragHeldOverATabSpringsItOpenInsideTheDragLoop)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    a.delegate->extraDragTypes = std::vector<fnd::String> { "public.file-url" };
    a.bar->setDelegate(a.delegate);
    auto source = tabbartest::ForeignDragSource::create({ 20, 20, 40, 40 });
    a.window->contentView()->addSubview(source);
    // Held over "Two" for a second: the spring (0.668 s) fires while the drag loop still runs.
    tabbartest::holdForeignDrag(*backend, *a.window, *source, a.centreOf("Two"), 1.0);
    EXPECT_TRUE(source->dragged);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("Two"));
    EXPECT_FALSE(a.bar->springTimer()) << "a spring that fired is gone";

    // A drag that leaves before the delay selects nothing, and leaves no timer behind.
    tabbartest::holdForeignDrag(*backend, *a.window, *source, a.centreOf("One"), 0.3);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("Two"));
    runFor(1.0);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("Two"));

    // Another program's drag brings no mouse events: the person's pointer, as far as this program saw it, is
    // elsewhere; the drag's own place springs the tab under it.
    backend->mouseMoved(*a.window, { 5, 5 });
    backend->dispatchEvents();
    tabbartest::holdDragFromAnotherProgram(*a.window, a.centreOf("One"), 1.0, [this](double s) { runFor(s); });
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("One"));
    EXPECT_FALSE(a.bar->springTimer());

    // A timer that is not the bar's own fails the assertion, which names it, and springs nothing.
    tabbartest::expectForeignSpringTimerRefused([this](fnd::Timer& timer) { a.bar->fireSpring(timer); });
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("One"));
}

TEST_F(QFTabBarViewTest, ADropTheAssistantDoesNotTakeGoesToTheDelegate)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    // A tab's pasteboard type with no tab drag under way: the assistant answers NO, the delegate decides.
    struct Info : ui::DraggingInfo {
        gfx::Point location;
        std::shared_ptr<ui::Pasteboard> pasteboard = ui::Pasteboard::pasteboardWithUniqueName();
        std::shared_ptr<ui::Window> draggingDestinationWindow() const override { return nullptr; }
        ui::DragOperation draggingSourceOperationMask() const override { return ui::DragOperations::Move; }
        gfx::Point draggingLocation() const override { return location; }
        gfx::Point draggedImageLocation() const override { return location; }
        std::shared_ptr<gfx::Image> draggedImage() const override { return nullptr; }
        std::shared_ptr<ui::Pasteboard> draggingPasteboard() const override { return pasteboard; }
        std::shared_ptr<fnd::Object> draggingSource() const override { return nullptr; }
        long draggingSequenceNumber() const override { return 1; }
    } info;
    info.pasteboard->declareTypes({ QFAttachedTabBarButtonPasteboardType });
    info.pasteboard->setString("Elsewhere", QFAttachedTabBarButtonPasteboardType);
    info.location = a.centreOf("Two");
    EXPECT_TRUE(a.bar->performDragOperation(info));
    EXPECT_EQ(a.delegate->calls.back(), "accepted on Two");
}

TEST_F(QFTabBarViewTest, ADelegateConnectedBeforeTheTabViewKeepsItsDragTypes)
{
    auto bar = QFTabBarView::create({ 0, 0, 300, 22 });
    a.delegate->extraDragTypes = std::vector<fnd::String> { "public.file-url" };
    bar->setDelegate(a.delegate);
    bar->setTabView(ui::TabView::create({ 0, 0, 300, 100 }));
    const auto types = ui::registeredDraggedTypes(*bar);
    EXPECT_NE(std::ranges::find(types, fnd::String("public.file-url")), types.end());
    EXPECT_NE(std::ranges::find(types, QFAttachedTabBarButtonPasteboardType), types.end());
}

TEST_F(QFTabBarViewTest, ShowingOrHidingTheToolbarLaysTheBarOutAgain)
{
    a.addItem("One");
    a.addItem("Two");
    auto toolbar = ui::Toolbar::create("QFTabBarViewTestToolbar");
    a.window->setToolbar(toolbar, 0);
    settle();
    for (bool visible : { false, true }) {
        a.delegate->overflowNotices = 0;
        toolbar->setVisible(visible);
        EXPECT_EQ(a.delegate->overflowNotices, 2) << "laid out at once, visible " << visible;
    }
    // A bar that left the window no longer follows its toolbar.
    a.bar->removeFromSuperview();
    a.delegate->overflowNotices = 0;
    toolbar->setVisible(false);
    EXPECT_EQ(a.delegate->overflowNotices, 0);
}

TEST_F(QFTabBarViewTest, TheDragWindowClassesAndTheBarAreFoundByName)
{
    // Interface files and archives name these classes; each is the shared drag window under this family's name.
    for (const char* name : { "QFTabDragWindow", "QFTabDragView", "QFTabDragWindowController" })
        EXPECT_TRUE(fnd::ClassRegistry::shared().find(name)) << name;
    auto controller = QFTabDragWindowController::create(gfx::Image::imageWithSize({ 80, 22 }), 0, 1);
    EXPECT_EQ(controller->className(), fnd::String("QFTabDragWindowController"));
    EXPECT_EQ(controller->window()->className(), fnd::String("QFTabDragWindow"));
    EXPECT_EQ(controller->window()->dragView()->className(), fnd::String("QFTabDragView"));
    EXPECT_EQ(controller->window()->frame().size, gfx::Size(80, 22));

    // A button's close button finds the bar by its class, or by a base the bar has.
    a.addItem("One");
    settle();
    auto close = a.button("One")->closeButton();
    EXPECT_EQ(QFTabBarViewExtensions::superviewOfClass(*close, QFTabBarView::staticClassInfo()), a.bar);
    EXPECT_EQ(QFTabBarViewExtensions::superviewOfClass(*close, QFTabBarButton::staticClassInfo()), a.button("One"));
    EXPECT_EQ(QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(*close), a.bar);
    EXPECT_FALSE(QFTabBarViewExtensions::superviewOfClass(*a.bar, QFTabBarButton::staticClassInfo()));
    EXPECT_TRUE(QFTabBarView::bundle());
}

TEST_F(QFTabBarViewTest, WithoutATabViewTheBarShowsItsName)
{
    auto lone = QFTabBarView::create({ 0, 0, 200, 22 });
    auto w = ui::Window::create({ { 100, 400 }, { 200, 22 } });
    w->contentView()->addSubview(lone);
    auto image = snapshot(*w, "qftabbarview-no-tab-view");
    int dark = 0;
    for (int x = 60; x < 140; ++x)
        for (int y = 2; y < 20; ++y)
            if (gfx::redOf(image->pixelBuffer().pixel(x, y)) < 100)
                ++dark;
    EXPECT_GT(dark, 20) << "the class name is written in the middle";
}

}

namespace {

using namespace qftest;

class QFTabBarResizeTest : public TabBarTest {
protected:
    void drag(ui::Window& w, double x, double deltaX)
    {
        auto event = ui::Event::mouseEventWithType(ui::EventType::LeftMouseDragged, { x, 100 }, 0, 0, w.windowNumber());
        event->setDeltas(deltaX, 0);
        backend->post(event);
    }
};

TEST_F(QFTabBarResizeTest, AVerticalBarResizesWithinItsLimitsFromQueuedEvents)
{
    auto side = ui::Window::create({ { 100, 400 }, { 600, 200 } });
    auto tabs = ui::TabView::create({ 150, 0, 450, 200 });
    auto bar = QFTabBarView::create({ 0, 0, 150, 200 });
    side->contentView()->addSubview(tabs);
    side->contentView()->addSubview(bar);
    bar->setOrientation(QFTabBarOrientation::Vertical);
    bar->setTabView(tabs);
    bar->setPartnerView(tabs);
    side->makeKeyAndOrderFront();

    backend->mouseDown(*side, { 149, 100 });
    drag(*side, 190, 40); // 190
    drag(*side, 280, 90); // 280: the maximum counts
    drag(*side, 320, 40); // past the maximum: refused
    drag(*side, 300, -20); // moving back but still outside the bar: nothing
    drag(*side, 250, -50); // inside the bar and moving in: 230
    drag(*side, 60, -190); // below the 100 minimum: refused
    backend->mouseUp(*side, { 60, 100 });
    backend->dispatchEvents();
    EXPECT_EQ(bar->frame().width(), 230);
    EXPECT_EQ(tabs->frame(), gfx::Rect(230, 0, 370, 200)) << "the partner gives and takes the same";
    EXPECT_FALSE(bar->isResizing());
}

}

namespace {

// Items added (several at a time, at random places) and removed between animated update passes, in a bar wide
// enough for all and in one where most overflow: each new button starts where the last button along the bar ends
// at the moment it is made, as a search of the buttons in bar order for each new button finds it; and after the
// pass the buttons shown are the tab view's first items, in its order (the last may stand for the selected item).
TEST_F(QFTabBarViewTest, NewButtonsStartAfterTheLastButtonAsASearchForEachWouldFind)
{
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::mt19937 random(seed);
        auto w = BarWindow::make({ 100, 100 }, seed % 2 ? 5000 : 600);
        int made = 0;
        for (int round = 0; round < 25; ++round) {
            w.bar->update(false);
            for (int i = 0; i < int(random() % 3) && w.tabView->numberOfTabViewItems() > 1; ++i)
                w.tabView->removeTabViewItem(
                    w.tabView->tabViewItemAtIndex(long(random() % std::size_t(w.tabView->numberOfTabViewItems()))));
            std::vector<std::shared_ptr<ui::TabViewItem>> added;
            for (int i = 0; i < 1 + int(random() % 6); ++i) {
                auto item = ui::TabViewItem::create();
                item->setLabel(fnd::String("T" + std::to_string(made++)));
                w.tabView->insertTabViewItem(item, long(random() % std::size_t(w.tabView->numberOfTabViewItems() + 1)));
                added.push_back(item);
            }
            // The search for each new button: the last along the bar is the one of the highest item index, the
            // later made of equals, among the buttons whose items are still there (the pass removes the others
            // first).
            struct Placed {
                long index;
                gfx::Rect frame;
            };
            std::vector<Placed> placed;
            for (const auto& button : w.bar->attachedButtons())
                if (auto item = button->tabViewItem();
                    item && w.tabView->indexOfTabViewItem(*item) != long(fnd::NotFound))
                    placed.push_back({ w.tabView->indexOfTabViewItem(*item), button->frame() });
            std::map<const ui::TabViewItem*, double> expectedStart;
            const auto& items = w.tabView->tabViewItems();
            for (long index = 0; index < long(items.size()); ++index) {
                if (!std::ranges::count(added, items[std::size_t(index)]))
                    continue;
                const Placed* last = nullptr;
                for (const auto& p : placed)
                    if (!last || p.index >= last->index)
                        last = &p;
                const double start = last ? last->frame.maxX() : 0;
                expectedStart[items[std::size_t(index)].get()] = start;
                placed.push_back({ index, { start, 0, 30, 0 } });
            }
            w.bar->update(true);
            for (const auto& button : w.bar->attachedButtons()) {
                auto found = expectedStart.find(button->tabViewItem().get());
                if (found == expectedStart.end())
                    continue;
                EXPECT_EQ(button->frame().minX(), found->second) << "seed " << seed << " round " << round;
                EXPECT_EQ(button->frame().width(), 30);
            }
            // The last button shown may stand for the selected item when that one overflowed.
            w.bar->update(false);
            auto labels = w.barLabels();
            ASSERT_FALSE(labels.empty());
            labels.pop_back();
            auto tabs = w.tabLabels();
            tabs.resize(labels.size());
            ASSERT_EQ(labels, tabs) << "seed " << seed << " round " << round;
        }
        w.window->close();
    }
}

}
