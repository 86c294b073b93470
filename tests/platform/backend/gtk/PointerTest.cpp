#include "GtkTestSupport.h"

#include <fmt/format.h>

using namespace gtktest;
using ui::EventType;

namespace {

// Records every pointer event with its place in the view, click count and scroll deltas.
class PointerRecorder : public FillView {
    FND_OBJECT(PointerRecorder)
public:
    struct Record {
        EventType type;
        gfx::Point at;
        long clicks;
        double deltaX, deltaY;
    };
    void note(const ui::Event& e)
    {
        events.push_back(
            { e.type(), convertPointFromView(e.locationInWindow(), nullptr), e.clickCount(), e.deltaX(), e.deltaY() });
    }
    void mouseDown(const ui::Event& e) override { note(e); }
    void mouseUp(const ui::Event& e) override { note(e); }
    void mouseDragged(const ui::Event& e) override { note(e); }
    void rightMouseDown(const ui::Event& e) override { note(e); }
    void rightMouseUp(const ui::Event& e) override { note(e); }
    void scrollWheel(const ui::Event& e) override { note(e); }
    std::vector<Record> of(EventType type) const
    {
        std::vector<Record> found;
        for (const auto& r : events)
            if (r.type == type)
                found.push_back(r);
        return found;
    }
    std::vector<Record> events;
};
FND_REGISTER_CLASS(PointerRecorder, FillView)

}

class PointerTest : public GtkDisplayTest {
protected:
    std::shared_ptr<PointerRecorder> recorder;
    std::shared_ptr<ui::Window> window;
    void SetUp() override
    {
        recorder = std::make_shared<PointerRecorder>();
        recorder->initWithFrame({});
        recorder->fill = gfx::Color::colorWithDeviceWhite(0.9);
        window = showWindow({ 200, 200, 200, 100 }, recorder);
    }
    // A point of the view (y up) as root device pixels.
    std::string rootPoint(gfx::Point p) const
    {
        auto [x, y, width, height] = deviceRectOfContent(*window);
        return fmt::format("{} {}", x + int(p.x * scale()), y + int((100 - p.y) * scale()));
    }
    void run(const std::string& command) { ASSERT_EQ(runWhileServing(*backend, "xdotool " + command).status, 0); }
};

// Clicks arrive at the place in the view (y up) with their count; the second click of a double click counts two.
TEST_F(PointerTest, ClicksArriveWhereTheyHappenWithTheirCount)
{
    {
        GenerousDoubleClickTime doubleClicks;
        run("mousemove " + rootPoint({ 30, 20 }) + " click --repeat 2 --delay 80 1");
        ASSERT_TRUE(waitFor([&] { return recorder->of(EventType::LeftMouseUp).size() >= 2; }));
    }
    auto downs = recorder->of(EventType::LeftMouseDown);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_NEAR(downs[0].at.x, 30, 1);
    EXPECT_NEAR(downs[0].at.y, 20, 1);
    EXPECT_EQ(downs[0].clicks, 1);
    EXPECT_EQ(downs[1].clicks, 2);

    run("mousemove " + rootPoint({ 150, 70 }) + " click 3");
    ASSERT_TRUE(waitFor([&] { return !recorder->of(EventType::RightMouseUp).empty(); }));
    auto right = recorder->of(EventType::RightMouseDown);
    ASSERT_EQ(right.size(), 1u);
    EXPECT_NEAR(right[0].at.x, 150, 1);
    EXPECT_NEAR(right[0].at.y, 70, 1);
}

// A drag sends dragged events to the view it began in, even outside it; the wheel scrolls up and down.
TEST_F(PointerTest, DragsAndTheWheel)
{
    run("mousemove " + rootPoint({ 20, 50 }) + " mousedown 1 mousemove " + rootPoint({ 60, 50 }) + " mousemove "
        + rootPoint({ 260, 50 }) + " mouseup 1");
    ASSERT_TRUE(waitFor([&] { return !recorder->of(EventType::LeftMouseUp).empty(); }));
    auto drags = recorder->of(EventType::LeftMouseDragged);
    ASSERT_FALSE(drags.empty());
    EXPECT_NEAR(drags.back().at.x, 260, 1) << "outside the window, still ours";
    EXPECT_NEAR(recorder->of(EventType::LeftMouseUp)[0].at.x, 260, 1);

    run("mousemove " + rootPoint({ 100, 50 }) + " click 4 click 5");
    ASSERT_TRUE(waitFor([&] { return recorder->of(EventType::ScrollWheel).size() >= 2; }));
    auto scrolls = recorder->of(EventType::ScrollWheel);
    double up = 0, down = 0;
    for (const auto& s : scrolls)
        (s.deltaY > 0 ? up : down) += s.deltaY;
    EXPECT_GT(up, 0) << "the wheel turned up scrolls up (positive)";
    EXPECT_LT(down, 0);
}
