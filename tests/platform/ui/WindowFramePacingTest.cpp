#include "TestViews.h"
#include "UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"

#include <thread>

using namespace ui;
using uitest::TestView;

namespace {

constexpr double FramePacingFrame = 1.0 / 60;

// A window of three views side by side, shown and drawn once; the clock then moves a second, so the first change
// after it starts a new frame.
class WindowFramePacingTest : public uitest::UiTest {
protected:
    void SetUp() override
    {
        window = Window::create({ 100, 100, 300, 100 });
        root = TestView::make({ 0, 0, 300, 100 });
        window->setContentView(root);
        for (int i = 0; i < 3; ++i) {
            parts.push_back(TestView::make({ 100.0 * i, 0, 100, 100 }));
            root->addSubview(parts.back());
        }
        window->orderFront();
        clock->advance(1);
        forget();
    }
    void forget()
    {
        root->drawn.clear();
        for (auto& part : parts)
            part->drawn.clear();
        flushesBefore = backend->flushCount(*window);
    }
    long composites() const { return backend->flushCount(*window) - flushesBefore; }
    // One pass of the main run loop at the current time: timers due, posted work, the display pass.
    void runPass() { fnd::RunLoop::current().runUntilDate(clock->now()); }
    // Marks a part for display from another thread's result, the way a worker hands a picture to the main thread.
    void markFromWorker(std::size_t index)
    {
        std::weak_ptr<TestView> part = parts[index];
        std::thread worker([part] {
            fnd::RunLoop::main().post([part] {
                if (auto p = part.lock())
                    p->setNeedsDisplay(true);
            });
        });
        worker.join();
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<TestView> root;
    std::vector<std::shared_ptr<TestView>> parts;
    long flushesBefore { 0 };
};

}

TEST_F(WindowFramePacingTest, ABurstOfChangesWithinAFrameIsDrawnInOneComposite)
{
    // The first change after a quiet spell is drawn before the run loop waits, with what else this pass changed.
    parts[0]->setNeedsDisplay(true);
    parts[1]->setNeedsDisplayInRect({ 0, 0, 10, 10 });
    markFromWorker(2);
    runPass();
    EXPECT_EQ(composites(), 1);
    EXPECT_EQ(parts[0]->drawn.size(), 1u);
    EXPECT_EQ(parts[1]->drawn, std::vector<gfx::Rect> { gfx::Rect(0, 0, 10, 10) });
    EXPECT_EQ(parts[2]->drawn.size(), 1u);

    // Changes that come in the frame already drawn, from this thread and from workers, wait for the next frame.
    forget();
    clock->advance(FramePacingFrame / 4);
    parts[0]->setNeedsDisplay(true);
    markFromWorker(1);
    runPass();
    clock->advance(FramePacingFrame / 4);
    markFromWorker(2);
    runPass();
    EXPECT_EQ(composites(), 0);
    EXPECT_TRUE(parts[0]->drawn.empty());

    // The next frame draws them all, once.
    clock->advance(FramePacingFrame / 2);
    runPass();
    EXPECT_EQ(composites(), 1);
    for (auto& part : parts)
        EXPECT_EQ(part->drawn.size(), 1u);
    forget();
    clock->advance(1);
    runPass();
    EXPECT_EQ(composites(), 0);
}

TEST_F(WindowFramePacingTest, AnAnimationWithWorkerResultsCompositesOnceEveryFrame)
{
    // The first part animates itself from its drawing, the way a spinner does; every frame a worker's result lands
    // on the second. Each frame is one composite that shows both, however the two fall within the frame.
    int frames = 0;
    parts[0]->extraDrawing = [&frames](TestView& view) {
        if (++frames < 20)
            view.setNeedsDisplay(true);
    };
    parts[0]->setNeedsDisplay(true);
    runPass();
    for (int frame = 1; frame < 12; ++frame) {
        forget();
        clock->advance(FramePacingFrame);
        markFromWorker(1);
        runPass();
        EXPECT_EQ(composites(), 1) << "frame " << frame;
        EXPECT_EQ(parts[0]->drawn.size(), 1u) << "frame " << frame;
        EXPECT_EQ(parts[1]->drawn.size(), 1u) << "frame " << frame;
    }

    // A change made while the window draws is drawn on the next frame, never lost.
    parts[0]->extraDrawing = [this](TestView&) { parts[2]->setNeedsDisplay(true); };
    forget();
    clock->advance(FramePacingFrame);
    runPass();
    EXPECT_EQ(composites(), 1);
    EXPECT_TRUE(parts[2]->drawn.empty());
    parts[0]->extraDrawing = nullptr;
    fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(0.1));
    EXPECT_EQ(parts[2]->drawn.size(), 1u);
    EXPECT_EQ(composites(), 2);
}

TEST_F(WindowFramePacingTest, FramesFollowTheRunLoopInEveryModeAndSurviveANewClock)
{
    // A tracking loop runs in its own mode: a held change is drawn there on the next frame too.
    parts[0]->setNeedsDisplay(true);
    runPass();
    forget();
    parts[1]->setNeedsDisplay(true);
    fnd::RunLoop::current().runInMode(
        fnd::RunLoopMode::EventTracking, clock->now().addingTimeInterval(FramePacingFrame), false);
    EXPECT_EQ(parts[1]->drawn.size(), 1u);
    EXPECT_EQ(composites(), 1);

    // A clock that starts over (a new one installed) does not hold the window until the old time comes again.
    auto earlier = std::make_shared<fnd::VirtualClock>();
    fnd::ScopedClock scoped(earlier);
    forget();
    parts[2]->setNeedsDisplay(true);
    fnd::RunLoop::current().runUntilDate(earlier->now());
    EXPECT_EQ(parts[2]->drawn.size(), 1u);
    EXPECT_EQ(composites(), 1);
}

TEST_F(WindowFramePacingTest, NoWindowIsDrawnTwiceInAFrameWhateverAsksForDrawingWhen)
{
    // Every source of drawing at once, each at its own pace: a view that marks itself while it draws, a timer at
    // 97 Hz, workers handing over results, and marks made between passes; time moves by uneven parts of a frame.
    // Every drawing of the window draws the root (it meets every rect), so its draws date the composites.
    std::vector<fnd::Date> composited;
    root->extraDrawing = [&](TestView&) { composited.push_back(clock->now()); };
    int spins = 0;
    parts[0]->extraDrawing = [&spins](TestView& view) {
        if (++spins < 150)
            view.setNeedsDisplay(true);
    };
    parts[0]->setNeedsDisplay(true);
    auto beat = fnd::Timer::create(clock->now(), 1.0 / 97, true, [this](fnd::Timer&) {
        parts[1]->setNeedsDisplayInRect({ 0, 0, 5, 5 });
    });
    fnd::RunLoop::current().addTimer(beat, fnd::RunLoopMode::Common);
    const fnd::Date start = clock->now();
    unsigned seed = 7;
    for (int step = 0; step < 400; ++step) {
        seed = seed * 1103515245 + 12345;
        clock->advance(FramePacingFrame * (0.05 + double((seed >> 16) % 90) / 100));
        if (step % 3 == 0)
            markFromWorker(2);
        if (step % 7 == 0)
            parts[2]->setNeedsDisplayInRect({ 50, 50, 10, 10 });
        runPass();
    }
    beat->invalidate();
    const double elapsed = clock->now().timeIntervalSince(start);

    // Frames a frame apart at least, and frames keep coming while something waits (a frame begins in the first pass at
    // or after its time).
    ASSERT_GT(composited.size(), 2u);
    for (std::size_t i = 1; i < composited.size(); ++i)
        ASSERT_GE(composited[i].timeIntervalSince(composited[i - 1]), FramePacingFrame - 1e-9)
            << "composites " << i - 1 << " and " << i << " fall in one frame";
    EXPECT_GE(double(composited.size()), elapsed / FramePacingFrame * 0.6);

    // What was marked last is drawn with the next frame; then nothing is left to draw.
    forget();
    parts[2]->setNeedsDisplay(true);
    fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(FramePacingFrame));
    EXPECT_EQ(parts[2]->drawn.size(), 1u);
    EXPECT_FALSE(window->viewsNeedDisplay());
}
