#include "ZTBTabBarControlTestSupport.h"

#include "frameworks/tab-bar-core/TabDragWindow.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/DropSession.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <random>
#include <set>

namespace {

using namespace ztbtest;
using Labels = std::vector<std::string>;

class ZTBTabDragTest : public TabBarControlTest {
protected:
    ZTBTabDragTest()
    {
        b = BarWindow::make({ 100, 400 });
        for (const char* label : { "A1", "A2", "A3" })
            a.addItem(label);
        for (const char* label : { "B1", "B2" })
            b.addItem(label);
        settle();
        auto& center = fnd::NotificationCenter::defaultCenter();
        tokens.push_back(center.addObserverForName(
            ZTBTabDragDidBeginNotification, {}, [this](const fnd::Notification&) { notices.push_back("begin"); }));
        tokens.push_back(center.addObserverForName(
            ZTBTabDragDidEndNotification, {}, [this](const fnd::Notification&) { notices.push_back("end"); }));
    }
    ~ZTBTabDragTest() override
    {
        for (auto token : tokens)
            fnd::NotificationCenter::defaultCenter().removeObserver(token);
    }
    ZTBTabDragAssistant& assistant() { return *ZTBTabDragAssistant::sharedDragAssistant(); }
    void start(BarWindow& w, const std::string& label)
    {
        assistant().startDraggingCell(w.cell(label), w.bar, nullptr, false);
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            assistant().animateDrag();
    }
    // A point over the bar, in its own coordinates.
    static gfx::Point over(const BarWindow& w, const std::string& label, double dx)
    {
        const gfx::Rect f = w.cell(label)->frame();
        return { f.midX() + dx, f.midY() };
    }

    BarWindow b;
    std::vector<std::string> notices;
    std::vector<fnd::NotificationObserverToken> tokens;
};

TEST_F(ZTBTabDragTest, WidthTablesFollowTheSineCurve)
{
    EXPECT_EQ(ZTBTabDragAssistant::widthTable(106, 100), (std::vector<long> { 0, 4, 15, 32, 53, 73, 90, 100 }));
    EXPECT_EQ(ZTBTabDragAssistant::widthTable(136, 130), (std::vector<long> { 0, 5, 19, 41, 68, 94, 116, 130 }));
    EXPECT_EQ(ZTBTabDragAssistant::widthTable(23, 22), (std::vector<long> { 0, 0, 3, 7, 11, 15, 19, 22 }));
}

TEST_F(ZTBTabDragTest, DraggingTheMiddleTabLeavesOneOpenGap)
{
    a.tabView->selectTabViewItemAtIndex(1);
    a.bar->update(false);
    const long firstState = a.cell("A1")->tabState();
    ASSERT_TRUE(firstState & ZTBTabState::RightIsSelected);
    start(a, "A2");
    EXPECT_EQ(a.barLabels(), (Labels { "_", "A1", "_", "A3", "_" }));
    EXPECT_EQ(a.bar->cells()[2]->currentStep(), 7);
    EXPECT_EQ(a.cell("A1")->tabState(), firstState & ~ZTBTabState::RightIsSelected);
    EXPECT_EQ(notices, (Labels { "begin" }));
    EXPECT_EQ(assistant().sineCurveWidths().back(), 130);
}

TEST_F(ZTBTabDragTest, TheGapFollowsThePointerTickByTick)
{
    start(a, "A1");
    EXPECT_EQ(a.barLabels(), (Labels { "_", "A2", "_", "A3", "_" }));
    // Over the right half of A3: the placeholder after it opens, the first one closes.
    assistant().draggingEnteredTabBar(a.bar, over(a, "A3", 20));
    ticks(1);
    EXPECT_EQ(a.bar->cells()[0]->currentStep(), 6);
    EXPECT_EQ(a.bar->cells()[4]->currentStep(), 1);
    EXPECT_EQ(a.bar->cells()[4]->frame().width(), 5);
    ticks(7);
    EXPECT_EQ(a.bar->cells()[0]->currentStep(), 0);
    EXPECT_EQ(a.bar->cells()[4]->currentStep(), 7);
    EXPECT_EQ(a.bar->cells()[4]->frame().width(), 130);
    // The cells lie end to end from the left margin.
    EXPECT_EQ(a.cell("A2")->frame().minX(), 10);
    EXPECT_EQ(a.cell("A3")->frame().minX(), 140);
    assistant().performDragOperation();
    EXPECT_EQ(a.tabLabels(), (Labels { "A2", "A3", "A1" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A2", "A3", "A1" }));
    EXPECT_EQ(a.delegate->calls.back(), "didDrop A1");
    EXPECT_EQ(notices, (Labels { "begin", "end" }));
    EXPECT_FALSE(assistant().isDragging());
}

TEST_F(ZTBTabDragTest, LeftOfTheMarginTheFirstPlaceholderIsTheTarget)
{
    start(a, "A3");
    assistant().draggingEnteredTabBar(a.bar, { 4, 10 });
    ticks(8);
    assistant().performDragOperation();
    EXPECT_EQ(a.tabLabels(), (Labels { "A3", "A1", "A2" }));
}

TEST_F(ZTBTabDragTest, ATabDroppedBackInPlaceSendsNoDropButEnds)
{
    start(a, "A2");
    assistant().draggingUpdatedInTabBar(a.bar, over(a, "A1", 30));
    ticks(8);
    assistant().performDragOperation();
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_TRUE(a.delegate->calls.empty() || a.delegate->calls.back().rfind("didDrop", 0) != 0);
    EXPECT_EQ(notices, (Labels { "begin", "end" }));
}

TEST_F(ZTBTabDragTest, ATabDroppedOnAnotherBarMovesWithItsItem)
{
    start(a, "A1");
    assistant().draggingExitedTabBar(a.bar);
    assistant().draggingEnteredTabBar(b.bar, over(b, "B1", 20));
    ticks(8);
    // The bar that was left closes its gaps and loses its placeholders.
    EXPECT_EQ(a.barLabels(), (Labels { "A2", "A3" }));
    EXPECT_FALSE(assistant().isParticipating(*a.bar));
    assistant().performDragOperation();
    EXPECT_EQ(a.tabLabels(), (Labels { "A2", "A3" }));
    EXPECT_EQ(b.tabLabels(), (Labels { "B1", "A1", "B2" }));
    EXPECT_EQ(b.barLabels(), (Labels { "B1", "A1", "B2" }));
    EXPECT_EQ(b.tabView->selectedTabViewItem()->label(), fnd::String("A1"));
    EXPECT_EQ(b.cell("A1")->controlView(), b.bar);
    EXPECT_EQ(a.delegate->calls.back(), "didDrop A1");
}

TEST_F(ZTBTabDragTest, ADragEndingOutsideWithoutTearOffPutsTheTabBack)
{
    start(a, "A2");
    assistant().draggingExitedTabBar(a.bar);
    ticks(8);
    assistant().draggedImageEndedAt({ 900, 900 });
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(notices, (Labels { "begin", "end" }));
}

TEST_F(ZTBTabDragTest, ATornOffTabGoesToTheDelegatesNewBar)
{
    a.delegate->shouldDropOutside = true;
    std::vector<BarWindow> made;
    a.delegate->makeBar = [&](gfx::Point p) {
        made.push_back(BarWindow::make(p));
        return made.back().bar;
    };
    start(a, "A3");
    ASSERT_TRUE(assistant().draggedTab());
    assistant().draggingExitedTabBar(a.bar);
    assistant().draggedImageEndedAt({ 700, 300 });
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2" }));
    EXPECT_EQ(made[0].tabLabels(), (Labels { "A3" }));
    EXPECT_EQ(made[0].barLabels(), (Labels { "A3" }));
    EXPECT_FALSE(assistant().draggedTab());
}

// The only tab of a window whose delegate makes new bars: the window steps aside as the drag begins. With tear-off
// style 1 the tab's own window shows the miniature; with style 0 the content window (the tab drawn on its content)
// shows at 0.75 and the tab window, which would lie over it, not at all.
TEST_F(ZTBTabDragTest, TheOnlyTabTornOffShowsOneDragWindow)
{
    for (int style : { 1, 0 }) {
        SCOPED_TRACE(style);
        auto single = BarWindow::make({ 600, 100 });
        single.addItem("S");
        settle();
        single.delegate->shouldDropOutside = true;
        single.delegate->makeBar = [&](gfx::Point p) { return BarWindow::make(p).bar; };
        single.bar->setTearOffStyle(style);
        assistant().startDraggingCell(single.cell("S"), single.bar, nullptr, false);
        assistant().draggingBeganAt({ 650, 150 });
        ASSERT_TRUE(assistant().draggedTab());
        EXPECT_EQ(single.window->alphaValue(), 0.0);
        if (style == 1) {
            EXPECT_GT(assistant().draggedTab()->window()->alphaValue(), 0.0);
        } else {
            EXPECT_EQ(assistant().draggedTab()->window()->alphaValue(), 0.0);
            ASSERT_TRUE(assistant().draggedView());
            EXPECT_EQ(assistant().draggedView()->window()->alphaValue(), 0.75);
        }
        assistant().finishDrag();
    }
}

// Another program's drag offering the tab type (the window system's bridge gives any type it does not know that
// name) is no tab drag while none runs: the bar refuses it, takes no drop from it and keeps laying itself out.
TEST_F(ZTBTabDragTest, ADragOfTheTabTypeFromAnotherProgramIsRefusedWhileNoTabDragRuns)
{
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    pasteboard->declareTypes({ ZTBTabBarControlItemPBType });
    pasteboard->setString("0", ZTBTabBarControlItemPBType);
    auto onScreen = [&](const std::string& label) { return a.window->convertBaseToScreen(a.centreOf(label)); };
    auto foreignDrag = [&] {
        return ui::DropSession(
            gfx::Image::imageWithSize({ 8, 8 }), pasteboard, nullptr, ui::DragOperations::Every, false);
    };
    auto passing = foreignDrag();
    EXPECT_EQ(passing.moveTo(onScreen("A1"), 0), ui::DragOperations::None);
    EXPECT_EQ(passing.moveTo(onScreen("A2"), 0), ui::DragOperations::None);
    runFor(0.5);
    passing.exit();
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_FALSE(assistant().isParticipating(*a.bar));

    // The bar follows later changes: A3 closed and A4 added, A4 takes A3's place, the 10-point left margin and two
    // tabs of the optimum width, 130, in.
    a.tabView->removeTabViewItem(a.cell("A3")->representedObject());
    a.addItem("A4");
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A4" }));
    EXPECT_EQ(a.cell("A1")->frame().minX(), 10);
    EXPECT_EQ(a.cell("A4")->frame().minX(), 270);

    auto dropped = foreignDrag();
    dropped.moveTo(onScreen("A4"), 0);
    EXPECT_FALSE(dropped.drop());
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A4" }));
    EXPECT_EQ(notices, Labels {});
}

// A drop of another kind on a tab goes to the delegate, and the bar answers whether the delegate took it: no when
// the delegate takes no such drops (a source told yes may delete what it moved).
TEST_F(ZTBTabDragTest, ADropOfAnotherKindIsTakenOnlyWhenTheDelegateTakesIt)
{
    a.delegate->extraDragTypes = std::vector<fnd::String> { "public.file-url" };
    a.bar->setDelegate(a.delegate);
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    pasteboard->declareTypes({ "public.file-url" });
    pasteboard->setString("file:///tmp/dropped.txt", "public.file-url");
    const gfx::Point onA2 = a.window->convertBaseToScreen(a.centreOf("A2"));
    for (auto answer : { std::optional<bool>(), std::optional<bool>(false), std::optional<bool>(true) }) {
        a.delegate->acceptsDrop = answer;
        a.delegate->calls.clear();
        ui::DropSession session(
            gfx::Image::imageWithSize({ 8, 8 }), pasteboard, nullptr, ui::DragOperations::Copy, false);
        session.moveTo(onA2, 0);
        EXPECT_EQ(session.moveTo(onA2, 0), ui::DragOperations::Copy);
        EXPECT_EQ(session.drop(), answer == true) << (answer ? int(*answer) : -1);
        EXPECT_EQ(a.delegate->calls, (Labels { "accepted A2" }));
    }
}

// The program closes the tab while it is dragged: wherever the drag ends (its own bar, another bar, outside every
// bar with a delegate that makes new bars) the tab stays closed, the drop takes nothing and answers so, and each bar
// shows what its tab view holds.
TEST_F(ZTBTabDragTest, ATabClosedWhileDraggedEndsItsDragWithoutComingBack)
{
    auto startThenClose = [&](const std::string& label) {
        auto item = a.cell(label)->representedObject();
        start(a, label);
        a.tabView->removeTabViewItem(item);
    };
    startThenClose("A2");
    assistant().draggingUpdatedInTabBar(a.bar, over(a, "A3", 20));
    ticks(8);
    EXPECT_FALSE(assistant().performDragOperation());
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A3" }));
    EXPECT_FALSE(assistant().isDragging());

    // Onto b, dropped through b's own drop: nothing taken, so the source hears no move.
    startThenClose("A3");
    ui::DropSession session(gfx::Image::imageWithSize({ 8, 8 }),
        ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag), a.bar, ui::DragOperations::Move, true);
    assistant().draggingExitedTabBar(a.bar);
    EXPECT_EQ(session.moveTo(b.window->convertBaseToScreen(b.centreOf("B1")), 0), ui::DragOperations::Move);
    ticks(8);
    EXPECT_FALSE(session.drop());
    EXPECT_EQ(b.tabLabels(), (Labels { "B1", "B2" }));
    EXPECT_EQ(b.barLabels(), (Labels { "B1", "B2" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1" }));

    // Let go outside every bar: no new bar is asked for, and the cell does not come back either.
    std::vector<BarWindow> made;
    a.delegate->shouldDropOutside = true;
    a.delegate->makeBar = [&](gfx::Point p) {
        made.push_back(BarWindow::make(p));
        return made.back().bar;
    };
    startThenClose("A1");
    assistant().draggingExitedTabBar(a.bar);
    assistant().draggedImageEndedAt({ 700, 300 });
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(a.tabLabels(), Labels {});
    EXPECT_EQ(a.barLabels(), Labels {});
    a.addItem("A5");
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "A5" }));
    EXPECT_EQ(a.cell("A5")->frame().minX(), 10);

    EXPECT_EQ(notices, (Labels { "begin", "end", "begin", "end", "begin", "end" }));
    for (const auto& call : a.delegate->calls)
        EXPECT_NE(call.rfind("didDrop", 0), 0u) << call;
}

// A bar inside the dragged tab's own page refuses the tab: taken there, the page would go inside itself, leave
// every window and hold itself for good. Another tab may still be dropped there.
TEST_F(ZTBTabDragTest, ABarInsideTheDraggedTabsOwnPageRefusesIt)
{
    auto page = ui::View::create({ 0, 0, 534, 178 });
    auto pageItem = a.cell("A2")->representedObject();
    pageItem->setView(page);
    a.tabView->selectTabViewItem(pageItem);
    auto innerTabs = ui::TabView::create({ 0, 0, 534, 100 });
    innerTabs->setTabViewType(ui::TabViewType::NoTabsNoBorder);
    auto inner = ZTBTabBarControl::create({ 0, 100, 534, 22 });
    page->addSubview(innerTabs);
    page->addSubview(inner);
    inner->setTabView(innerTabs);
    innerTabs->setDelegate(inner);
    auto c1 = ui::TabViewItem::create();
    c1->setLabel(fnd::String("C1"));
    innerTabs->addTabViewItem(c1);
    settle();
    ASSERT_EQ(page->window(), a.window);
    const gfx::Point overInner = a.window->convertBaseToScreen(inner->convertPointToView({ 300, 11 }, nullptr));

    auto dropOnInner = [&](const std::string& label) {
        start(a, label);
        ui::DropSession session(gfx::Image::imageWithSize({ 8, 8 }),
            ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag), a.bar, ui::DragOperations::Move, true);
        assistant().draggingExitedTabBar(a.bar);
        const auto answer = session.moveTo(overInner, 0);
        ticks(8);
        const bool taken = session.drop();
        if (assistant().isDragging())
            assistant().draggedImageEndedAt(overInner);
        settle();
        return std::pair { answer, taken };
    };

    EXPECT_EQ(dropOnInner("A2"), std::pair(ui::DragOperation(ui::DragOperations::None), false));
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(innerTabs->numberOfTabViewItems(), 1);
    EXPECT_EQ(page->window(), a.window);
    EXPECT_FALSE(assistant().isDragging());

    EXPECT_EQ(dropOnInner("A3"), std::pair(ui::DragOperation(ui::DragOperations::Move), true));
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2" }));
    ASSERT_EQ(innerTabs->numberOfTabViewItems(), 2);
    innerTabs->setDelegate(nullptr);
}

// With tear-off style 1 the floating miniature stays centred on the drag's pointer, and the tab dropped on empty
// screen opens its window centred where the pointer let go, growing from its middle as it fades in. The drag runs
// in the platform's own loop, fed by a scripted pointer.
TEST_F(ZTBTabDragTest, TearOffStyleOneFollowsThePointerAndTheNewWindowGrowsWhereItWasLetGo)
{
    a.delegate->shouldDropOutside = true;
    a.bar->setTearOffStyle(1);
    std::vector<BarWindow> made;
    a.delegate->makeBar = [&](gfx::Point) {
        made.push_back(BarWindow::make({ 0, 0 }, 400, 150));
        return made.back().bar;
    };
    auto onScreen = [&](gfx::Point base) { return a.window->convertBaseToScreen(base); };
    auto centre = [](const ui::Window& w) { return gfx::Point { w.frame().midX(), w.frame().midY() }; };
    const gfx::Point start = a.centreOf("A2");
    const gfx::Point off { start.x + 10, start.y + 60 }, first { start.x + 200, start.y + 250 },
        second { start.x + 420, start.y + 330 }, drop { start.x + 460, start.y + 410 };
    std::vector<gfx::Point> followed;
    std::vector<std::pair<double, double>> growth; // (display scale, alpha) of the new window
    backend->mouseDown(*a.window, start);
    for (auto p : steps(start, off))
        backend->mouseDragged(*a.window, p);
    backend->after(0.1, [&] {
        backend->mouseDragged(*a.window, first);
        backend->after(0.4, [&] {
            followed.push_back(centre(*assistant().draggedTab()->window()));
            backend->mouseDragged(*a.window, second);
            backend->after(0.05, [&] {
                followed.push_back(centre(*assistant().draggedTab()->window()));
                backend->mouseDragged(*a.window, drop);
                backend->mouseUp(*a.window, drop);
            });
        });
    });
    backend->dispatchEvents();
    ASSERT_EQ(made.size(), 1u);
    auto& grown = *made[0].window;
    for (int i = 0; i < 4; ++i) {
        growth.push_back({ grown.displayScale(), grown.alphaValue() });
        if (i == 1)
            uitest::keepSnapshot(backend->imageOfWindowAsShown(grown), "ztb-torn-off-window-growing");
        runFor(0.1);
    }
    ASSERT_EQ(followed.size(), 2u);
    EXPECT_EQ(followed[0], onScreen(first)) << "the miniature is centred on the drag";
    EXPECT_EQ(followed[1], onScreen(second)) << "and follows it";
    EXPECT_EQ(made[0].barLabels(), (Labels { "A2" }));
    EXPECT_EQ(centre(grown), onScreen(drop)) << "the new window opens where the pointer let go";
    EXPECT_LT(growth[0].first, 0.2) << "it starts small";
    EXPECT_EQ(growth[0].second, 0.0) << "and unseen";
    for (std::size_t i = 1; i + 1 < growth.size(); ++i) {
        EXPECT_EQ(growth[i].first, growth[i].second) << "as large as it is opaque, step " << i;
        EXPECT_LT(growth[i - 1].first, growth[i].first) << "it grows, step " << i;
    }
    EXPECT_EQ(growth.back(), std::make_pair(1.0, 1.0)) << "full size and opaque once grown";
}

TEST_F(ZTBTabDragTest, AScriptedPointerDragReordersTheBar)
{
    const gfx::Point from = a.centreOf("A1");
    const gfx::Point to { a.centreOf("A3").x + 40, from.y };
    drag(*a.window, from, steps(from, to, 12));
    EXPECT_EQ(a.tabLabels(), (Labels { "A2", "A3", "A1" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A2", "A3", "A1" }));
    EXPECT_FALSE(assistant().isDragging());
}

// Random adds, closes, selections, reorders, tear-offs and cross-bar drops over three bars never lose or
// duplicate a tab.
TEST_F(ZTBTabDragTest, RandomOperationsKeepEveryTabExactlyOnce)
{
    auto c = BarWindow::make({ 700, 400 });
    std::vector<BarWindow*> bars { &a, &b, &c };
    std::vector<BarWindow> torn;
    for (auto* w : bars) {
        w->delegate->shouldDropOutside = true;
        w->delegate->makeBar = [&](gfx::Point p) {
            torn.push_back(BarWindow::make(p));
            return torn.back().bar;
        };
    }
    std::set<std::string> expected { "A1", "A2", "A3", "B1", "B2" };
    std::mt19937 random(42);
    int next = 0;
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    for (int round = 0; round < 150; ++round) {
        torn.reserve(200);
        auto& w = *bars[std::size_t(pick(3))];
        const long count = w.tabView->numberOfTabViewItems();
        switch (pick(6)) {
        case 0: {
            const std::string label = "N" + std::to_string(next++);
            w.addItem(label);
            expected.insert(label);
            break;
        }
        case 1:
            if (count > 0) {
                auto item = w.tabView->tabViewItemAtIndex(pick(int(count)));
                expected.erase(item->label().utf8());
                w.tabView->removeTabViewItem(item);
            }
            break;
        case 2:
            if (count > 0)
                w.tabView->selectTabViewItemAtIndex(pick(int(count)));
            break;
        case 3:
        case 4: {
            if (count == 0 || w.bar->cells().empty())
                break;
            auto cell = w.bar->cells()[std::size_t(pick(int(w.bar->cells().size())))];
            if (cell->isInOverflowMenu())
                break;
            assistant().startDraggingCell(cell, w.bar, nullptr, false);
            auto& target = *bars[std::size_t(pick(3))];
            if (&target != &w)
                assistant().draggingExitedTabBar(w.bar);
            const gfx::Rect g = target.bar->genericCellRect();
            assistant().draggingEnteredTabBar(target.bar, { g.minX() + double(pick(int(g.width()))), 10 });
            ticks(pick(9));
            assistant().performDragOperation();
            break;
        }
        case 5:
            if (count > 0 && !w.bar->cells().empty() && !w.bar->cells()[0]->isInOverflowMenu()) {
                assistant().startDraggingCell(w.bar->cells()[0], w.bar, nullptr, false);
                assistant().draggingExitedTabBar(w.bar);
                assistant().draggedImageEndedAt({ 300, 300 });
            }
            break;
        }
        settle();
        std::multiset<std::string> seen;
        auto collect = [&](BarWindow& bw) {
            ASSERT_EQ(long(bw.bar->cells().size()), bw.tabView->numberOfTabViewItems()) << "round " << round;
            for (const auto& cell : bw.bar->cells()) {
                ASSERT_FALSE(cell->isPlaceholder());
                ASSERT_TRUE(cell->representedObject());
                EXPECT_EQ(bw.tabView->indexOfTabViewItem(*cell->representedObject()) >= 0, true);
            }
            for (const auto& item : bw.tabView->tabViewItems())
                seen.insert(item->label().utf8());
        };
        for (auto* bw : bars)
            collect(*bw);
        for (auto& bw : torn)
            collect(bw);
        EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()), expected) << "round " << round;
        EXPECT_EQ(seen.size(), expected.size()) << "round " << round;
        if (HasFailure())
            return;
    }
}

}

namespace {

using namespace ztbtest;

class ZTBVerticalDragTest : public TabBarControlTest { };

TEST_F(ZTBVerticalDragTest, AVerticalBarOpensTheFirstGapAboveItsTopMarginWhateverX)
{
    for (const char* label : { "V1", "V2", "V3" })
        a.addItem(label);
    settle();
    a.bar->setOrientation(1);
    a.bar->setFrame({ 0, 0, 120, 178 });
    a.bar->update(false);
    auto& assistant = *ZTBTabDragAssistant::sharedDragAssistant();
    assistant.startDraggingCell(a.cell("V3"), a.bar, nullptr, false);
    EXPECT_EQ(assistant.sineCurveWidths(), (std::vector<long> { 0, 0, 3, 7, 11, 15, 19, 22 }));
    // Far right of the left margin, but above the top margin: the first placeholder is the target.
    assistant.draggingUpdatedInTabBar(a.bar, { 60, 4 });
    for (int i = 0; i < 8; ++i)
        assistant.animateDrag();
    EXPECT_EQ(a.bar->cells().front()->currentStep(), 7);
    EXPECT_EQ(a.bar->cells().front()->frame().height(), 22);
    assistant.performDragOperation();
    EXPECT_EQ(a.tabLabels(), (std::vector<std::string> { "V3", "V1", "V2" }));
}

}

namespace {

using namespace ztbtest;

class ZTBTearOffFadeTest : public TabBarControlTest { };

TEST_F(ZTBTearOffFadeTest, TheContentWindowFadesInOutsideTheBarAndOutAgainOverIt)
{
    for (const char* label : { "F1", "F2" })
        a.addItem(label);
    settle();
    a.delegate->shouldDropOutside = true;
    auto& assistant = *ZTBTabDragAssistant::sharedDragAssistant();
    assistant.startDraggingCell(a.cell("F2"), a.bar, nullptr, false);
    ASSERT_TRUE(assistant.draggedTab());
    EXPECT_FALSE(assistant.draggedView());
    assistant.draggingExitedTabBar(a.bar);
    ASSERT_TRUE(assistant.draggedView());
    auto& tab = *assistant.draggedTab()->window();
    auto& content = *assistant.draggedView()->window();
    EXPECT_EQ(content.alphaValue(), 0.0);
    EXPECT_TRUE(assistant.isFading());
    runFor(6.0 / 30.0);
    EXPECT_NEAR(content.alphaValue(), 0.75, 1e-9);
    EXPECT_NEAR(tab.alphaValue(), 0.0, 1e-9);
    EXPECT_FALSE(assistant.isFading());
    assistant.draggingEnteredTabBar(a.bar, { 20, 10 });
    runFor(7.0 / 30.0);
    EXPECT_NEAR(content.alphaValue(), 0.0, 1e-9);
    EXPECT_NEAR(tab.alphaValue(), 0.75, 1e-9);
    EXPECT_FALSE(assistant.isFading());
    assistant.performDragOperation();
    EXPECT_FALSE(assistant.draggedView());
    EXPECT_EQ(a.tabLabels(), (std::vector<std::string> { "F2", "F1" }));
}

}
