// A tab dragged while the program changes what the bars show, and a bar that has no tab view to take a tab into.

#include "ZTBTabBarControlTestSupport.h"

#include "platform/graphics/Image.h"
#include "platform/ui/dragging/DropSession.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <algorithm>

namespace {

using namespace ztbtest;
using Labels = std::vector<std::string>;

// Bars a (A1 A2 A3) and b (B1 B2), and c, a bar in a window of its own that was never given a tab view.
class ZTBTabDragAndProgramTest : public TabBarControlTest {
protected:
    ZTBTabDragAndProgramTest()
    {
        b = BarWindow::make({ 100, 400 });
        for (const char* label : { "A1", "A2", "A3" })
            a.addItem(label);
        for (const char* label : { "B1", "B2" })
            b.addItem(label);
        cWindow = ui::Window::create({ { 760, 100 }, { 534, 200 } });
        c = ZTBTabBarControl::create({ 0, 178, 534, 22 });
        cWindow->contentView()->addSubview(c);
        c->setDelegate(cDelegate);
        cWindow->orderFront();
        settle();
    }

    ZTBTabDragAssistant& assistant() { return *ZTBTabDragAssistant::sharedDragAssistant(); }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            assistant().animateDrag();
    }
    static gfx::Point over(const BarWindow& w, const std::string& label, double dx)
    {
        const gfx::Rect f = w.cell(label)->frame();
        return { f.midX() + dx, f.midY() };
    }
    // A drop session as the platform's drag runs it, with a's bar as the source.
    ui::DropSession dropSession() const
    {
        return ui::DropSession(gfx::Image::imageWithSize({ 8, 8 }),
            ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag), a.bar, ui::DragOperations::Move, true);
    }
    static long count(const std::vector<std::string>& calls, const std::string& call)
    {
        return long(std::ranges::count(calls, call));
    }
    std::vector<double> minXs(const BarWindow& w) const
    {
        std::vector<double> xs;
        for (const auto& cell : w.bar->cells())
            xs.push_back(cell->frame().minX());
        return xs;
    }

    BarWindow b;
    std::shared_ptr<ui::Window> cWindow;
    std::shared_ptr<ZTBTabBarControl> c;
    std::shared_ptr<RecordingDelegate> cDelegate = std::make_shared<RecordingDelegate>();
};

// Dropped on a bar without a tab view, a tab had nowhere to go: the drop read the missing tab view and the program
// crashed. Such a bar refuses the tab, which goes back where it came from; a bar with a tab view still takes it.
TEST_F(ZTBTabDragAndProgramTest, ABarWithoutATabViewRefusesATabThatGoesBackToItsPlace)
{
    const gfx::Point overC = cWindow->convertBaseToScreen(c->convertPointToView({ 200, 11 }, nullptr));
    assistant().startDraggingCell(a.cell("A2"), a.bar, nullptr, false);
    auto session = dropSession();
    assistant().draggingExitedTabBar(a.bar);
    EXPECT_EQ(session.moveTo(overC, 0), ui::DragOperations::None);
    ticks(8);
    EXPECT_FALSE(session.drop());
    if (assistant().isDragging())
        assistant().draggedImageEndedAt(overC);
    settle();
    EXPECT_FALSE(assistant().isDragging());
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_TRUE(c->cells().empty());
    EXPECT_EQ(minXs(a), (std::vector<double> { 10, 140, 270 })) << "a lays its three tabs out again";

    // The same with the person's pointer, a delegate that makes new bars and the bar's own delegate silent: let go
    // over c, the tab goes back (no new bar); let go over empty screen, it opens in a new bar; over b, b takes it.
    std::vector<BarWindow> made;
    a.delegate->shouldDropOutside = true;
    a.delegate->makeBar = [&](gfx::Point p) {
        made.push_back(BarWindow::make(p));
        return made.back().bar;
    };
    c->setDelegate(nullptr);
    auto pull = [&](const std::string& label, gfx::Point screenPoint) {
        const gfx::Point from = a.centreOf(label);
        const gfx::Point above { from.x, from.y + 60 };
        drag(*a.window, from, [&] {
            auto path = steps(from, above);
            for (auto p : steps(above, a.window->convertScreenToBase(screenPoint)))
                path.push_back(p);
            return path;
        }());
    };
    pull("A2", overC);
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(a.tabLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A1", "A2", "A3" }));
    EXPECT_TRUE(c->cells().empty());
    EXPECT_EQ(a.window->alphaValue(), 1.0);

    pull("A3", { 400, 760 });
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].tabLabels(), (Labels { "A3" }));
    pull("A1", b.window->convertBaseToScreen(b.centreOf("B2")));
    EXPECT_EQ(a.tabLabels(), (Labels { "A2" }));
    EXPECT_EQ(b.tabView->numberOfTabViewItems(), 3);
    EXPECT_FALSE(assistant().isDragging());
}

// A tab the program adds while another is dragged gets one cell; the dragged tab's own cell is on its way and kept
// no second one (the bar then showed the dragged tab twice, left the new one out and laid itself out no more).
TEST_F(ZTBTabDragAndProgramTest, ATabAddedWhileOneIsDraggedGetsTheOnlyNewCell)
{
    assistant().startDraggingCell(a.cell("A1"), a.bar, nullptr, false);
    a.addItem("A4");
    assistant().draggingEnteredTabBar(a.bar, over(a, "A3", 20));
    ticks(8);
    EXPECT_TRUE(assistant().performDragOperation());
    settle();
    EXPECT_EQ(a.tabLabels(), (Labels { "A2", "A3", "A1", "A4" }));
    EXPECT_EQ(a.barLabels(), (Labels { "A2", "A3", "A1", "A4" }));
    // Four tabs share the 500 points between the margins: 125 each from the left margin of 10.
    EXPECT_EQ(minXs(a), (std::vector<double> { 10, 135, 260, 385 }));

    // Tabs added to both bars while a tab of a goes to b: each once, the new ones appended.
    assistant().startDraggingCell(a.cell("A2"), a.bar, nullptr, false);
    assistant().draggingExitedTabBar(a.bar);
    a.addItem("A5");
    assistant().draggingEnteredTabBar(b.bar, over(b, "B1", 20));
    b.addItem("B3");
    ticks(8);
    EXPECT_TRUE(assistant().performDragOperation());
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "A3", "A1", "A4", "A5" }));
    EXPECT_EQ(b.barLabels(), (Labels { "B1", "A2", "B2", "B3" }));
    EXPECT_EQ(b.tabLabels(), (Labels { "B1", "A2", "B2", "B3" }));
    EXPECT_EQ(minXs(b), (std::vector<double> { 10, 135, 260, 385 }));

    // Put back where it started (no leave to tear off) while a tab was added: back in its place, the new one last.
    assistant().startDraggingCell(a.cell("A1"), a.bar, nullptr, false);
    a.addItem("A6");
    assistant().draggingExitedTabBar(a.bar);
    ticks(8);
    assistant().draggedImageEndedAt({ 400, 760 });
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "A3", "A1", "A4", "A5", "A6" }));
    EXPECT_EQ(minXs(a), (std::vector<double> { 10, 110, 210, 310, 410 }));
}

// The program closes the tab a person drags: the delegate hears of the close once the drag has ended, once,
// wherever it ended. A tab closed beside it is told at once; a tab moved to another bar was not closed.
TEST_F(ZTBTabDragAndProgramTest, ATabClosedWhileDraggedIsToldClosedOnceTheDragEnds)
{
    auto startThenClose = [&](const std::string& label) {
        auto item = a.cell(label)->representedObject();
        assistant().startDraggingCell(a.cell(label), a.bar, nullptr, false);
        a.tabView->removeTabViewItem(item);
        EXPECT_EQ(count(a.delegate->calls, "didClose " + label), 0) << label << " is told only after its drag";
    };
    for (const char* label : { "A4", "A5" })
        a.addItem(label);
    settle();

    // Let go over its own bar.
    startThenClose("A1");
    a.tabView->removeTabViewItem(a.cell("A5")->representedObject());
    EXPECT_EQ(count(a.delegate->calls, "didClose A5"), 1) << "a tab beside the drag is told at once";
    assistant().draggingUpdatedInTabBar(a.bar, over(a, "A3", 20));
    ticks(8);
    EXPECT_FALSE(assistant().performDragOperation());
    EXPECT_EQ(count(a.delegate->calls, "didClose A1"), 1);

    // Dropped on b through b's own drop.
    startThenClose("A2");
    auto session = dropSession();
    assistant().draggingExitedTabBar(a.bar);
    session.moveTo(b.window->convertBaseToScreen(b.centreOf("B1")), 0);
    ticks(8);
    EXPECT_FALSE(session.drop());
    EXPECT_EQ(count(a.delegate->calls, "didClose A2"), 1);

    // Let go outside every bar, with and without leave to tear off.
    startThenClose("A3");
    assistant().draggingExitedTabBar(a.bar);
    assistant().draggedImageEndedAt({ 400, 760 });
    EXPECT_EQ(count(a.delegate->calls, "didClose A3"), 1);
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "A4" }));

    // A tab that goes to b is not closed; nor is one dragged and put back.
    a.addItem("A6");
    settle();
    assistant().startDraggingCell(a.cell("A4"), a.bar, nullptr, false);
    assistant().draggingExitedTabBar(a.bar);
    assistant().draggingEnteredTabBar(b.bar, over(b, "B2", 20));
    ticks(8);
    EXPECT_TRUE(assistant().performDragOperation());
    assistant().startDraggingCell(a.cell("A6"), a.bar, nullptr, false);
    assistant().draggingExitedTabBar(a.bar);
    assistant().draggedImageEndedAt({ 400, 760 });
    settle();
    EXPECT_EQ(count(a.delegate->calls, "didClose A4"), 0);
    EXPECT_EQ(count(a.delegate->calls, "didClose A6"), 0);
    EXPECT_EQ(count(a.delegate->calls, "didClose A5"), 1);
    EXPECT_EQ(count(b.delegate->calls, "didClose A4"), 0);
    EXPECT_EQ(a.barLabels(), (Labels { "A6" }));
    EXPECT_EQ(b.barLabels(), (Labels { "B1", "B2", "A4" }));
}

}
