// A tab dragged while the program changes what the bars show, a bar that has no tab view to take a tab into, and the
// window of a tab that went out and came back.

#include "QFTabBarViewTestSupport.h"

#include "frameworks/QFTabBarView/QFTabDragAssistant.h"

#include <algorithm>

namespace {

using namespace qftest;
using Labels = std::vector<std::string>;

// Bars a (A1 A2 A3) and b (B1 B2), and c, a bar in a window of its own that was never given a tab view.
class QFTabDragAndProgramTest : public TabBarTest {
protected:
    QFTabDragAndProgramTest()
    {
        b = BarWindow::make({ 100, 400 });
        for (const char* label : { "A1", "A2", "A3" })
            a.addItem(label);
        for (const char* label : { "B1", "B2" })
            b.addItem(label);
        a.delegate->allowLeaving = true;
        cWindow = ui::Window::create({ { 760, 100 }, { 400, 150 } });
        c = QFTabBarView::create({ 0, 128, 400, 22 });
        cWindow->contentView()->addSubview(c);
        cWindow->orderFront();
        settle();
    }

    QFTabDragAssistant& assistant() { return *QFTabDragAssistant::sharedDragAssistant(); }
    // A point of the screen in window w's base coordinates (the drag's events come to the window it began in).
    static gfx::Point inWindow(const BarWindow& w, gfx::Point screenPoint)
    {
        return w.window->convertScreenToBase(screenPoint);
    }
    static std::vector<gfx::Point> steps(gfx::Point from, gfx::Point to, int count = 8)
    {
        std::vector<gfx::Point> points;
        for (int i = 1; i <= count; ++i)
            points.push_back({ from.x + (to.x - from.x) * i / count, from.y + (to.y - from.y) * i / count });
        return points;
    }
    // The tab pulled 40 points above its bar (it tears off) and on to a point of the screen; `meanwhile` runs once
    // it has torn off, before it goes on.
    void pull(BarWindow& w, const std::string& label, gfx::Point screenPoint, std::function<void()> meanwhile = {})
    {
        const gfx::Point from = w.centreOf(label);
        const gfx::Point above { from.x, w.window->frame().height() + 40 };
        const gfx::Point to = inWindow(w, screenPoint);
        backend->mouseDown(*w.window, from);
        for (auto p : steps(from, above))
            backend->mouseDragged(*w.window, p);
        backend->after(0.05, [&, to, above, meanwhile] {
            if (meanwhile)
                meanwhile();
            for (auto p : steps(above, to))
                backend->mouseDragged(*w.window, p);
            backend->mouseUp(*w.window, to);
        });
        backend->dispatchEvents();
        settle();
    }
    static long count(const std::vector<std::string>& calls, const std::string& call)
    {
        return long(std::ranges::count(calls, call));
    }
    static std::vector<double> minXs(const BarWindow& w)
    {
        std::vector<double> xs;
        for (const auto& button : w.bar->orderedAttachedButtons())
            xs.push_back(button->frame().minX());
        return xs;
    }
    // Where the buttons rest once their slides are over.
    static std::vector<double> stackingXs(const BarWindow& w)
    {
        std::vector<double> xs;
        for (const auto& button : w.bar->orderedAttachedButtons())
            xs.push_back(button->stackingFrame().minX());
        return xs;
    }

    BarWindow b;
    std::shared_ptr<ui::Window> cWindow;
    std::shared_ptr<QFTabBarView> c;
};

// Dropped on a bar without a tab view, the tab left its own tab view and entered none. Such a bar refuses it and the
// tab goes back where it came from, also with a delegate that makes new bars; over empty screen the delegate's new
// bar still takes it, and a bar with a tab view still takes it too.
TEST_F(QFTabDragAndProgramTest, ABarWithoutATabViewRefusesATabThatGoesBackToItsPlace)
{
    const gfx::Point overC = cWindow->convertBaseToScreen(c->convertPointToView({ 150, 11 }, nullptr));
    const auto before = minXs(a);
    pull(a, "A2", overC);
    EXPECT_FALSE(assistant().isDragging());
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(minXs(a), before);
    EXPECT_TRUE(c->attachedButtons().empty());

    std::vector<BarWindow> made;
    a.delegate->makeBar = [&](gfx::Point) {
        made.push_back(BarWindow::make({ 900, 600 }, 400, 150));
        return made.back().bar;
    };
    auto cDelegate = std::make_shared<RecordingDelegate>();
    c->setDelegate(cDelegate);
    pull(a, "A2", overC);
    EXPECT_TRUE(made.empty()) << "let go over a bar, the tab opens in no new one";
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_TRUE(c->attachedButtons().empty());

    pull(a, "A3", { 400, 760 });
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].tabLabels(), (Labels { "A3" }));
    pull(a, "A1", b.window->convertBaseToScreen(b.centreOf("B2")));
    EXPECT_EQ(a.tabLabels(), (Labels { "A2" }));
    EXPECT_EQ(b.tabView->numberOfTabViewItems(), 3);
}

// The only tab of a window torn off (its window steps aside, since the delegate makes new bars) and put back because
// the delegate gave no new bar: its window shows again, with the tab in it. Given a new bar, the window stays away,
// empty; and the window of a bar whose delegate makes none never steps aside.
TEST_F(QFTabDragAndProgramTest, TheOnlyTabPutBackBringsItsWindowBack)
{
    auto single = BarWindow::make({ 760, 400 }, 400, 150);
    single.addItem("S1");
    single.delegate->allowLeaving = true;
    single.delegate->makeBar = [](gfx::Point) { return std::shared_ptr<QFTabBarView>(); };
    settle();
    bool steppedAside = false;
    pull(single, "S1", { 400, 760 }, [&] { steppedAside = !single.window->isVisible(); });
    EXPECT_TRUE(steppedAside) << "the window stepped aside while its only tab floated";
    EXPECT_TRUE(single.window->isVisible());
    EXPECT_EQ(single.window->alphaValue(), 1.0);
    EXPECT_EQ(single.barLabels(), (Labels { "S1" }));
    EXPECT_EQ(single.tabLabels(), (Labels { "S1" }));

    std::vector<BarWindow> made;
    single.delegate->makeBar = [&](gfx::Point) {
        made.push_back(BarWindow::make({ 900, 600 }, 400, 150));
        return made.back().bar;
    };
    pull(single, "S1", { 400, 760 });
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].tabLabels(), (Labels { "S1" }));
    EXPECT_FALSE(single.window->isVisible()) << "the emptied window stays away";

    auto plain = BarWindow::make({ 760, 600 }, 400, 150);
    plain.addItem("P1");
    plain.delegate->allowLeaving = true;
    settle();
    pull(plain, "P1", { 400, 760 }, [&] { steppedAside = !plain.window->isVisible(); });
    EXPECT_FALSE(steppedAside);
    EXPECT_EQ(plain.barLabels(), (Labels { "P1" }));
}

// The program closes an earlier tab while a person slides one along the bar: the tab lands where it was let go, in
// the tab view as on the bar, and the bar lays out the tabs in that order.
TEST_F(QFTabDragAndProgramTest, ATabSlidWhileTheProgramClosesAnotherLandsWhereItWasLetGo)
{
    for (const char* label : { "A4", "A5" })
        a.addItem(label);
    settle();
    const gfx::Point from = a.centreOf("A5");
    const gfx::Point to { a.centreOf("A3").x + 40, from.y };
    backend->mouseDown(*a.window, from);
    for (auto p : steps(from, to))
        backend->mouseDragged(*a.window, p);
    backend->after(0.05, [&, item = a.button("A1")->tabViewItem()] {
        a.tabView->removeTabViewItem(item);
        backend->after(0.05, [&] { backend->mouseUp(*a.window, to); });
    });
    backend->dispatchEvents();
    settle();
    runFor(0.5);
    EXPECT_EQ(a.tabLabels(), (Labels { "A2", "A3", "A5", "A4" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A2", "A3", "A5", "A4" }));
    EXPECT_EQ(minXs(a), (std::vector<double> { 10, 140, 270, 400 }));
    EXPECT_EQ(count(a.delegate->calls, "didDetach A1"), 1);
}

// The program closes a tab a person has torn off: its delegate hears it detached once the drag has ended, once,
// wherever it was let go. A tab closed while it slides, or beside the drag, is told once too; a tab moved to
// another bar, or put back, is not told at all.
TEST_F(QFTabDragAndProgramTest, ATornOffTabClosedWhileDraggedIsToldDetachedOnceTheDragEnds)
{
    for (const char* label : { "A4", "A5", "A6" })
        a.addItem(label);
    settle();
    auto close = [&](const std::string& label) {
        auto item = a.button(label) ? a.button(label)->tabViewItem() : nullptr;
        for (const auto& candidate : a.tabView->tabViewItems())
            if (candidate->label().utf8() == label)
                item = candidate;
        return [this, item, label] {
            a.tabView->removeTabViewItem(item);
            EXPECT_EQ(count(a.delegate->calls, "didDetach " + label), 0) << label << " is told only after its drag";
        };
    };
    pull(a, "A1", { 400, 760 }, close("A1"));
    EXPECT_EQ(count(a.delegate->calls, "didDetach A1"), 1);
    pull(a, "A2", b.window->convertBaseToScreen(b.centreOf("B1")), close("A2"));
    EXPECT_EQ(count(a.delegate->calls, "didDetach A2"), 1);
    EXPECT_EQ(b.barLabels(), (Labels { "B1", "B2" }));
    EXPECT_EQ(stackingXs(b), (std::vector<double> { 10, 140 })) << "the room b made for the tab closed again";

    // Beside the drag.
    pull(a, "A3", b.window->convertBaseToScreen(b.centreOf("B2")),
        [&] { a.tabView->removeTabViewItem(a.button("A6")->tabViewItem()); });
    EXPECT_EQ(count(a.delegate->calls, "didDetach A6"), 1);
    EXPECT_EQ(count(a.delegate->calls, "didDetach A3"), 0);
    EXPECT_EQ(count(b.delegate->calls, "didDetach A3"), 0);

    // Sliding along its bar.
    const gfx::Point from = a.centreOf("A4");
    backend->mouseDown(*a.window, from);
    for (auto p : steps(from, { a.centreOf("A5").x + 20, from.y }))
        backend->mouseDragged(*a.window, p);
    backend->after(0.05, [&, item = a.button("A4")->tabViewItem()] {
        a.tabView->removeTabViewItem(item);
        backend->mouseUp(*a.window, { a.centreOf("A5").x + 20, from.y });
    });
    backend->dispatchEvents();
    settle();
    EXPECT_EQ(count(a.delegate->calls, "didDetach A4"), 1);

    // Put back over empty screen (no new bar).
    pull(a, "A5", { 400, 760 });
    EXPECT_EQ(count(a.delegate->calls, "didDetach A5"), 0);
    EXPECT_EQ(a.barLabels(), (Labels { "A5" }));
}

}
