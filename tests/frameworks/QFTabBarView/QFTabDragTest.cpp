#include "QFTabBarViewTestSupport.h"

#include "frameworks/QFTabBarView/QFTabDragAssistant.h"

#include "platform/foundation/runtime/NotificationCenter.h"

namespace {

using namespace qftest;
using Labels = std::vector<std::string>;

// Two windows of bars, one above the other on the screen.
class QFTabDragTest : public TabBarTest {
protected:
    QFTabDragTest()
    {
        b = BarWindow::make({ 100, 400 });
        for (const char* label : { "A1", "A2", "A3" })
            a.addItem(label);
        for (const char* label : { "B1", "B2" })
            b.addItem(label);
        a.delegate->allowLeaving = true;
        b.delegate->allowLeaving = true;
        settle();
        auto& center = fnd::NotificationCenter::defaultCenter();
        tokens.push_back(center.addObserverForName(
            QFTabDragDidBeginNotification, {}, [this](const fnd::Notification&) { notices.push_back("begin"); }));
        tokens.push_back(center.addObserverForName(
            QFTabDragDidEndNotification, {}, [this](const fnd::Notification&) { notices.push_back("end"); }));
    }
    ~QFTabDragTest() override
    {
        for (auto token : tokens)
            fnd::NotificationCenter::defaultCenter().removeObserver(token);
    }

    // A point of window b's bar in window a's base coordinates (the drag's events come to the window it began in).
    gfx::Point inA(const BarWindow& w, gfx::Point base) const
    {
        return a.window->convertScreenToBase(w.window->convertBaseToScreen(base));
    }
    // Steps from one point to another, so the drag passes everything between.
    static std::vector<gfx::Point> steps(gfx::Point from, gfx::Point to, int count = 8)
    {
        std::vector<gfx::Point> points;
        for (int i = 1; i <= count; ++i)
            points.push_back({ from.x + (to.x - from.x) * i / count, from.y + (to.y - from.y) * i / count });
        return points;
    }
    static std::vector<gfx::Point> operator_plus(std::vector<gfx::Point> x, const std::vector<gfx::Point>& y)
    {
        x.insert(x.end(), y.begin(), y.end());
        return x;
    }

    BarWindow b;
    std::vector<std::string> notices;
    std::vector<fnd::NotificationObserverToken> tokens;
};

TEST_F(QFTabDragTest, SlidingATabAlongItsBarReordersTheItems)
{
    const gfx::Point start = a.centreOf("A1");
    const gfx::Point end { a.centreOf("A3").x + 20, start.y };
    dragPath(*a.window, start, steps(start, end));
    EXPECT_EQ(a.tabLabels(), (Labels { "A2", "A3", "A1" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A2", "A3", "A1" }));
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("A1"));
    EXPECT_EQ(notices, (Labels { "begin", "end" }));
    runFor(0.5);
    // The buttons rest at their places in the new order.
    EXPECT_LT(a.button("A2")->frame().minX(), a.button("A3")->frame().minX());
    EXPECT_LT(a.button("A3")->frame().minX(), a.button("A1")->frame().minX());
    EXPECT_EQ(a.button("A1")->frame(), a.button("A1")->stackingFrame());
    EXPECT_FALSE(QFTabDragAssistant::sharedDragAssistant()->pasteboardItem());
}

TEST_F(QFTabDragTest, ATabLetGoWhereItStartedGoesBack)
{
    const gfx::Point start = a.centreOf("A2");
    dragPath(*a.window, start, { { start.x + 8, start.y }, { start.x + 2, start.y } });
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.button("A2")->frame(), a.button("A2")->stackingFrame());
}

TEST_F(QFTabDragTest, WithinFifteenPointsOfTheBarATabKeepsSliding)
{
    const gfx::Point start = a.centreOf("A1");
    // The bar's top edge is at the window's top (y 200 in base coordinates, y 0 in the flipped bar).
    dragPath(*a.window, start, steps(start, { start.x + 4, 200 + 12 }, 4));
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_FALSE(QFTabDragAssistant::sharedDragAssistant()->isDragging());
}

TEST_F(QFTabDragTest, ATabPulledOffAndDroppedOnAnotherBarMovesThere)
{
    const gfx::Point start = a.centreOf("A2");
    // Up out of a's bar (tear-off), then across the screen onto b's bar, between B1 and B2.
    const gfx::Point above { start.x, 200 + 40 };
    const gfx::Point onB = inA(b, { b.centreOf("B1").x + 30, b.centreOf("B1").y });
    dragPath(*a.window, start, operator_plus(steps(start, above), steps(above, onB)));
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A3" }));
    EXPECT_EQ(b.tabLabels(), (Labels { "B1", "A2", "B2" }));
    EXPECT_EQ(b.barLabels(), (Labels { "B1", "A2", "B2" }));
    EXPECT_EQ(b.tabView->selectedTabViewItem()->label(), fnd::String("A2"));
    EXPECT_EQ(a.delegate->calls.back(), "didDrop A2") << "the source's delegate hears of the drop";
    EXPECT_EQ(notices, (Labels { "begin", "end" }));
    auto assistant = QFTabDragAssistant::sharedDragAssistant();
    EXPECT_FALSE(assistant->isDragging());
    EXPECT_FALSE(assistant->draggedTab()) << "the drag window is gone";
    EXPECT_EQ(b.bar->destinationIndexForDraggedItem(), long(fnd::NotFound));
}

TEST_F(QFTabDragTest, ARefusedDropLeavesTheTabWithItsSourceBar)
{
    b.delegate->validateDrop = false;
    const gfx::Point start = a.centreOf("A2");
    const gfx::Point above { start.x, 200 + 40 };
    const gfx::Point onB = inA(b, b.centreOf("B2"));
    dragPath(*a.window, start, operator_plus(steps(start, above), steps(above, onB)));
    EXPECT_EQ(b.tabLabels(), (Labels { "B1", "B2" }));
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" })) << "the button came back";
    EXPECT_EQ(notices, (Labels { "begin", "end" }));
    EXPECT_FALSE(QFTabDragAssistant::sharedDragAssistant()->isDragging());
}

TEST_F(QFTabDragTest, DroppedOnEmptyScreenATabOpensInANewBar)
{
    std::vector<BarWindow> made;
    a.delegate->makeBar = [&](gfx::Point) {
        made.push_back(BarWindow::make({ 900, 600 }, 400, 150));
        return made.back().bar;
    };
    const gfx::Point start = a.centreOf("A3");
    const gfx::Point away = inA(a, { 300, 600 });
    dragPath(*a.window, start, steps(start, away, 10));
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].tabLabels(), (Labels { "A3" }));
    EXPECT_EQ(made[0].barLabels(), (Labels { "A3" }));
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2" }));
    EXPECT_TRUE(made[0].window->isKeyWindow());
    EXPECT_EQ(notices, (Labels { "begin", "end" }));
}

TEST_F(QFTabDragTest, WithoutANewBarTheTabReturnsToItsPlace)
{
    const gfx::Point start = a.centreOf("A1");
    dragPath(*a.window, start, steps(start, inA(a, { 300, 600 }), 10));
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.button("A1")->superview(), a.bar);
}

// A bar inside the dragged tab's own page refuses the tab: taken there, the page would go inside itself, leave
// every window and hold itself for good. The tab stays where it was.
TEST_F(QFTabDragTest, ABarInsideTheDraggedTabsOwnPageRefusesIt)
{
    auto pageItem = a.button("A2")->tabViewItem();
    auto page = ui::View::create({ 0, 0, 534, 170 });
    pageItem->setView(page);
    a.tabView->selectTabViewItem(pageItem);
    auto innerTabs = ui::TabView::create({ 0, 0, 534, 60 });
    innerTabs->setTabViewType(ui::TabViewType::NoTabsNoBorder);
    auto inner = QFTabBarView::create({ 0, 60, 534, 22 });
    page->addSubview(innerTabs);
    page->addSubview(inner);
    inner->setTabView(innerTabs);
    auto c1 = ui::TabViewItem::create();
    c1->setLabel(fnd::String("C1"));
    innerTabs->addTabViewItem(c1);
    settle();
    ASSERT_EQ(page->window(), a.window);

    const gfx::Point start = a.centreOf("A2");
    const gfx::Point above { start.x, 200 + 40 };
    const gfx::Point overInner = inner->convertPointToView({ 400, 11 }, nullptr);
    backend->mouseDown(*a.window, start);
    for (auto p : operator_plus(steps(start, above), steps(above, overInner)))
        backend->mouseDragged(*a.window, p);
    backend->mouseUp(*a.window, overInner);
    backend->dispatchEvents();
    settle();

    EXPECT_FALSE(QFTabDragAssistant::sharedDragAssistant()->isDragging());
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(innerTabs->numberOfTabViewItems(), 1);
    EXPECT_EQ(page->window(), a.window);
    for (const auto& call : a.delegate->calls)
        EXPECT_NE(call.rfind("didDrop", 0), 0u) << call;
}

// The program closes the tab while the person drags it: sliding along its bar, dropped on another bar, let go over
// empty screen with or without a delegate that makes new bars. The drag ends and the tab stays closed.
TEST_F(QFTabDragTest, ATabClosedWhileDraggedDoesNotComeBack)
{
    using Points = std::vector<gfx::Point>;
    auto closeThenRelease = [&](const std::string& label, const Points& before, const Points& after) {
        auto item = a.button(label)->tabViewItem();
        const gfx::Point start = a.centreOf(label);
        backend->mouseDown(*a.window, start);
        for (auto p : before)
            backend->mouseDragged(*a.window, p);
        backend->after(0.05, [&, item, after] {
            a.tabView->removeTabViewItem(item);
            for (auto p : after)
                backend->mouseDragged(*a.window, p);
            backend->mouseUp(*a.window, after.empty() ? before.back() : after.back());
        });
        backend->dispatchEvents();
        settle();
        EXPECT_FALSE(QFTabDragAssistant::sharedDragAssistant()->pasteboardItem()) << label;
        EXPECT_FALSE(QFTabDragAssistant::sharedDragAssistant()->isDragging()) << label;
    };
    for (const char* label : { "A4", "A5", "A6" })
        a.addItem(label);
    settle();

    // Sliding: past A3, then closed and let go.
    gfx::Point start = a.centreOf("A1");
    closeThenRelease("A1", steps(start, { a.centreOf("A3").x + 20, start.y }), {});
    EXPECT_EQ(a.tabLabels(), (Labels { "A2", "A3", "A4", "A5", "A6" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A2", "A3", "A4", "A5", "A6" }));
    EXPECT_NE(a.tabView->selectedTabViewItem()->label(), fnd::String("A1"));

    // Torn off and carried onto b's bar.
    start = a.centreOf("A2");
    const gfx::Point above { start.x, 200 + 40 };
    closeThenRelease("A2", steps(start, above), steps(above, inA(b, { b.centreOf("B1").x + 30, b.centreOf("B1").y })));
    EXPECT_EQ(b.tabLabels(), (Labels { "B1", "B2" }));
    EXPECT_EQ(b.barLabels(), (Labels { "B1", "B2" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A3", "A4", "A5", "A6" }));

    // Let go over empty screen: without a new bar, and with a delegate that makes one.
    const gfx::Point away = inA(a, { 300, 600 });
    start = a.centreOf("A3");
    closeThenRelease("A3", steps(start, { start.x, 200 + 40 }), steps({ start.x, 200 + 40 }, away));
    EXPECT_EQ(a.tabLabels(), (Labels { "A4", "A5", "A6" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A4", "A5", "A6" }));
    std::vector<BarWindow> made;
    a.delegate->makeBar = [&](gfx::Point) {
        made.push_back(BarWindow::make({ 900, 600 }, 400, 150));
        return made.back().bar;
    };
    start = a.centreOf("A4");
    closeThenRelease("A4", steps(start, { start.x, 200 + 40 }), steps({ start.x, 200 + 40 }, away));
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(a.tabLabels(), (Labels { "A5", "A6" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A5", "A6" }));

    EXPECT_EQ(notices, (Labels { "begin", "end", "begin", "end", "begin", "end", "begin", "end" }));
    for (const auto& call : a.delegate->calls)
        EXPECT_NE(call.rfind("didDrop", 0), 0u) << call;
}

TEST_F(QFTabDragTest, ATabThatMayNotLeaveOnlySlides)
{
    a.delegate->allowLeaving = false;
    const gfx::Point start = a.centreOf("A1");
    dragPath(*a.window, start, steps(start, inA(a, { 300, 600 }), 10));
    // It followed the pointer along the bar to the end, and stayed in it.
    EXPECT_EQ(a.tabLabels(), (Labels { "A2", "A3", "A1" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A2", "A3", "A1" }));
    EXPECT_EQ(notices, (Labels { "begin", "end" }));
    EXPECT_FALSE(QFTabDragAssistant::sharedDragAssistant()->isDragging());
}

TEST_F(QFTabDragTest, TheDestinationIndexRules)
{
    auto assistant = QFTabDragAssistant::sharedDragAssistant();
    auto b1 = b.button("B1");
    EXPECT_EQ(assistant->destinationIndexForButton(nullptr, { 2, 11 }, *b.bar), 0) << "left of the margin";
    EXPECT_EQ(assistant->destinationIndexForButton(nullptr, { b1->frame().midX() - 5, 11 }, *b.bar), 0);
    EXPECT_EQ(assistant->destinationIndexForButton(nullptr, { b1->frame().midX() + 5, 11 }, *b.bar), 1)
        << "the right half of a button inserts after it";
    EXPECT_EQ(assistant->destinationIndexForButton(b1.get(), { b1->frame().midX() + 5, 11 }, *b.bar), 0)
        << "the dragged button itself keeps its place";
    EXPECT_EQ(assistant->destinationIndexForButton(nullptr, { 590, 11 }, *b.bar), long(fnd::NotFound))
        << "past the buttons while nothing is dragged";
}

TEST_F(QFTabDragTest, TearOffStyleZeroFadesTheContentWindowInAndOut)
{
    auto assistant = QFTabDragAssistant::sharedDragAssistant();
    for (const auto& item : a.tabView->tabViewItems())
        item->setView(ui::View::create({ 0, 0, 600, 178 }));
    const gfx::Point start = a.centreOf("A2");
    const gfx::Point above { start.x, 200 + 40 };
    // Pause above the bar (the content window fades in), then come back over b's bar (it fades out again).
    backend->mouseDown(*a.window, start);
    // Torn off, back over the bar for a moment (it takes the tab), then away from it.
    for (auto p : steps(start, above))
        backend->mouseDragged(*a.window, p);
    backend->mouseDragged(*a.window, start);
    backend->mouseDragged(*a.window, above);
    std::vector<double> contentAlphas;
    double tabAlphaAway = -1;
    bool contentVisible = false;
    backend->after(0.5, [&] {
        ASSERT_TRUE(assistant->draggedView());
        contentAlphas.push_back(assistant->draggedView()->window()->alphaValue());
        contentVisible = assistant->draggedView()->window()->isVisible();
        tabAlphaAway = assistant->draggedTab()->window()->alphaValue();
        for (auto p : steps(above, inA(b, b.centreOf("B2"))))
            backend->mouseDragged(*a.window, p);
        backend->after(0.5, [&] {
            contentAlphas.push_back(assistant->draggedView()->window()->alphaValue());
            backend->mouseUp(*a.window, inA(b, b.centreOf("B2")));
        });
    });
    backend->dispatchEvents();
    settle();
    ASSERT_EQ(contentAlphas.size(), 2u);
    EXPECT_NEAR(contentAlphas[0], 0.75, 1e-9) << "faded in over the empty screen";
    EXPECT_NEAR(tabAlphaAway, 0.0, 1e-9);
    EXPECT_TRUE(contentVisible) << "the content window is on screen behind the tab";
    EXPECT_NEAR(contentAlphas[1], 0.0, 1e-9) << "faded out over a bar that takes the tab";
    EXPECT_EQ(b.tabLabels(), (Labels { "B1", "B2", "A2" }));
}

// With tear-off style 1 the floating miniature stays centred on the drag's pointer wherever it goes, also while its
// switch animation runs on its timer, and the tab dropped on empty screen opens its window centred where the
// pointer let go. The drag runs in the platform's own loop, fed by a scripted pointer.
TEST_F(QFTabDragTest, TearOffStyleOneFollowsThePointerAndOpensWhereItWasLetGo)
{
    auto assistant = QFTabDragAssistant::sharedDragAssistant();
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
    std::vector<gfx::Point> midSwitch, followed;
    backend->mouseDown(*a.window, start);
    for (auto p : steps(start, off))
        backend->mouseDragged(*a.window, p);
    // In the middle of the switch to the miniature, the pointer moves on: the animation keeps the window on it.
    backend->after(0.1, [&] {
        backend->mouseDragged(*a.window, first);
        backend->after(0.05, [&] {
            midSwitch.push_back(centre(*assistant->draggedTab()->window()));
            backend->after(0.4, [&] {
                followed.push_back(centre(*assistant->draggedTab()->window()));
                backend->mouseDragged(*a.window, second);
                backend->after(0.05, [&] {
                    followed.push_back(centre(*assistant->draggedTab()->window()));
                    backend->mouseDragged(*a.window, drop);
                    backend->mouseUp(*a.window, drop);
                });
            });
        });
    });
    backend->dispatchEvents();
    settle();
    ASSERT_EQ(midSwitch.size(), 1u);
    ASSERT_EQ(followed.size(), 2u);
    EXPECT_EQ(midSwitch[0], onScreen(first)) << "the switching window is centred on the drag";
    EXPECT_EQ(followed[0], onScreen(first));
    EXPECT_EQ(followed[1], onScreen(second)) << "the miniature follows the drag";
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].barLabels(), (Labels { "A2" }));
    EXPECT_EQ(centre(*made[0].window), onScreen(drop)) << "the new window opens where the pointer let go";
    EXPECT_LT(made[0].window->alphaValue(), 0.5) << "it fades in";
    runFor(0.5);
    EXPECT_EQ(made[0].window->alphaValue(), 1.0) << "and ends fully opaque";
}

}
