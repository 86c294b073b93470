// The table grid in a real window through the GTK backend, worked with the real pointer and keyboard (xdotool):
// a value typed into a cell reaches the data source, and a column header dragged along the strip moves the column.
#include "GtkTestSupport.h"

#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"

#include <fmt/format.h>

#include <map>
#include <sstream>

using namespace gtktest;

namespace {

// Letters per column that move with their column; cells keep what is typed.
class DisplayGridSource : public ZORTableGridDataSource {
public:
    DisplayGridSource()
    {
        for (int c = 0; c < 8; ++c)
            order.push_back(c);
    }
    std::optional<fnd::Index> numberOfColumnsInTableGrid(ZORTableGrid&) override { return 8; }
    std::optional<fnd::Index> numberOfRowsInTableGrid(ZORTableGrid&) override { return 30; }
    fnd::Value tableGridObjectValueForColumn(ZORTableGrid&, fnd::Index column, fnd::Index row) override
    {
        const int original = order[std::size_t(column)];
        auto found = typed.find({ original, row });
        if (found != typed.end())
            return fnd::Value(fnd::String(found->second));
        return fnd::Value(fnd::String(std::string(1, char('a' + original)) + std::to_string(row)));
    }
    bool tableGridTakesObjectValues(ZORTableGrid&) override { return true; }
    void tableGridSetObjectValue(ZORTableGrid&, const fnd::Value& value, fnd::Index column, fnd::Index row) override
    {
        typed[{ order[std::size_t(column)], row }] = value.stringValue().utf8();
    }
    bool tableGridWriteColumnsWithIndexes(ZORTableGrid&, const fnd::IndexSet&, ui::Pasteboard&) override
    {
        dragStarted = true;
        return true;
    }
    bool tableGridCanMoveColumns(ZORTableGrid&, const fnd::IndexSet&, fnd::Index) override { return true; }
    bool tableGridMoveColumns(ZORTableGrid&, const fnd::IndexSet& set, fnd::Index to) override
    {
        std::vector<int> taken, rest;
        for (std::size_t c = 0; c < order.size(); ++c)
            (set.contains(fnd::Index(c)) ? taken : rest).push_back(order[c]);
        auto at = to - fnd::Index(std::count_if(order.begin(), order.begin() + std::min<std::size_t>(to, order.size()),
                           [&, c = 0](int) mutable { return set.contains(c++); }));
        rest.insert(rest.begin() + at, taken.begin(), taken.end());
        order = rest;
        ++moves;
        return true;
    }
    std::string valueAt(int originalColumn, fnd::Index row) const
    {
        auto found = typed.find({ originalColumn, row });
        return found == typed.end() ? "" : found->second;
    }
    std::vector<int> order;
    std::map<std::pair<int, fnd::Index>, std::string> typed;
    bool dragStarted { false };
    int moves { 0 };
};

class ZORTableGridDisplayTest : public GtkDisplayTest {
protected:
    void SetUp() override
    {
        grid = ZORTableGrid::create({ 0, 0, 420, 320 });
        grid->setDataSource(source);
        grid->reloadData();
        grid->setAllowsEditing(true);
        window = showWindow({ 200, 200, 420, 320 }, grid);
        grid->awakeFromNib();
    }
    void TearDown() override
    {
        if (finish)
            finish->invalidate();
        GtkDisplayTest::TearDown();
    }
    // A point of the grid (flipped, top left origin) on the screen, in device pixels.
    std::pair<int, int> onScreen(gfx::Point p) const
    {
        auto [x, y, width, height] = deviceRectOfContent(*window);
        return { x + int(p.x * scale()), y + int(p.y * scale()) };
    }
    std::string at(gfx::Point p) const
    {
        auto [x, y] = onScreen(p);
        return fmt::format("{} {}", x, y);
    }
    void run(const std::string& command) { ASSERT_EQ(runWhileServing(*backend, "xdotool " + command).status, 0); }
    // The window as drawn once nothing waits for display and the screen has stopped changing.
    Screenshot shoot(const std::string& name)
    {
        waitFor([&] { return !window->viewsNeedDisplay(); });
        auto [x, y, width, height] = deviceRectOfContent(*window);
        auto shot = settledScreen(*backend, x, y, width, height);
        shot.save("table-grid-" + name + ".png");
        return shot;
    }

    std::shared_ptr<DisplayGridSource> source = std::make_shared<DisplayGridSource>();
    std::shared_ptr<ZORTableGrid> grid;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<fnd::Timer> finish;
};

TEST_F(ZORTableGridDisplayTest, ATypedValueEndsInTheDataSourceWhenReturnIsPressed)
{
    const auto cell = grid->frameOfCellAtColumn(1, 2);
    run("mousemove " + at({ cell.midX(), cell.midY() }) + " click 1");
    ASSERT_TRUE(waitFor([&] { return grid->selectedColumnIndexes()->contains(1); }));
    EXPECT_TRUE(grid->selectedRowIndexes()->contains(2));
    run("type --delay 60 hello");
    ASSERT_TRUE(waitFor([&] { return grid->contentView()->isEditing(); })) << "typing starts editing";
    shoot("editing");
    run("key Return");
    ASSERT_TRUE(waitFor([&] { return source->valueAt(1, 2) == "hello"; })) << source->valueAt(1, 2);
    EXPECT_FALSE(grid->contentView()->isEditing());
    EXPECT_EQ(window->firstResponder(), grid);
    auto shot = shoot("typed");
    // The selection outline in the accent colour is on screen around the cell.
    auto [x, y] = onScreen({ cell.midX(), cell.minY() + 1.5 });
    auto [left, top, width, height] = deviceRectOfContent(*window);
    const auto outline = shot.at(x - left, y - top);
    EXPECT_NE(outline, 0xFFFFFFu) << std::hex << outline;
}

TEST_F(ZORTableGridDisplayTest, DraggingAColumnHeaderMovesTheColumn)
{
    // Column B selected by its header, then dragged by it to the right half of column D.
    const auto b = grid->headerRectOfColumn(1);
    const auto d = grid->headerRectOfColumn(3);
    run("mousemove " + at({ b.midX(), b.midY() }) + " click 1");
    ASSERT_TRUE(waitFor(
        [&] { return grid->selectedColumnIndexes()->count() == 1 && grid->selectedRowIndexes()->count() == 30; }));
    // The press that drags is a first click however soon it comes: it is further from the click before than a double
    // click's two clicks may be apart (5 points), still on B's header (60 points wide).
    const auto [fromX, fromY] = onScreen({ b.midX() + 10, b.midY() });
    const auto [toX, toY] = onScreen({ d.maxX() - 10, 120 });
    startInBackground({ "xdotool", "mousemove", std::to_string(fromX), std::to_string(fromY), "mousedown", "1",
        "mousemove", std::to_string(fromX + 8), std::to_string(fromY + 4) });
    std::ostringstream command;
    command << "xdotool";
    for (int step = 1; step <= 6; ++step)
        command << " mousemove " << fromX + (toX - fromX) * step / 6 << ' ' << fromY + (toY - fromY) * step / 6
                << " sleep 0.1";
    command << " mouseup 1";
    finish = fnd::Timer::create(0.05, true, [this, command = command.str()](fnd::Timer& timer) {
        if (!source->dragStarted)
            return;
        timer.invalidate();
        startInBackground({ "/bin/sh", "-c", command });
    });
    fnd::RunLoop::main().addTimer(finish, fnd::RunLoopMode::Common);
    ASSERT_TRUE(waitFor([&] { return source->moves == 1; })) << "drag started: " << source->dragStarted;
    EXPECT_EQ(source->order, (std::vector<int> { 0, 2, 3, 1, 4, 5, 6, 7 }));
    EXPECT_EQ(grid->selectedColumnIndexes()->firstIndex(), 3) << "the moved column stays selected";
    shoot("column-moved");
}

}
