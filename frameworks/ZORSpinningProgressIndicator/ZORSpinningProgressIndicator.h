#pragma once

#include "platform/graphics/Color.h"
#include "platform/ui/controls/ProgressIndicator.h"
#include "platform/ui/views/View.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace fnd {
class Timer;
}

// A progress view drawn in a colour of the caller's choice: an indeterminate spinner of twelve fins with a fading
// trail, or a determinate pie filling clockwise from twelve o'clock. It animates with a 0.05 s run-loop timer, or
// with a thread of its own that only advances the step and asks the main thread to redraw.
class ZORSpinningProgressIndicator : public ui::View {
    FND_OBJECT(ZORSpinningProgressIndicator)
    static void describeClass(fnd::ClassBuilder<ZORSpinningProgressIndicator>& c);

public:
    static constexpr std::int64_t NumberOfFins = 12;
    static constexpr double TimerInterval = 0.05;

    ZORSpinningProgressIndicator() = default;
    ~ZORSpinningProgressIndicator() override;
    static std::shared_ptr<ZORSpinningProgressIndicator> create(gfx::Rect frame = {});

    const gfx::ColorPtr& color() const { return m_foreColor; }
    void setColor(gfx::ColorPtr color);
    const gfx::ColorPtr& backgroundColor() const { return m_backColor; }
    void setBackgroundColor(gfx::ColorPtr color);
    bool drawsBackground() const { return m_drawBackground; }
    void setDrawsBackground(bool flag);

    bool isIndeterminate() const { return m_isIndeterminate; }
    // Turning determinate stops a running animation.
    void setIndeterminate(bool flag);
    double doubleValue() const { return m_currentValue; }
    // Makes the view determinate first. A value or maximum that is not finite is ignored: no arc can show it.
    void setDoubleValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);

    bool usesThreadedAnimation() const { return m_usesThreadedAnimation; }
    // A running animation goes on in the new mode.
    void setUsesThreadedAnimation(bool flag);
    bool displayWhenStopped() const { return m_displayWhenStopped; }
    // While stopped, false hides the view and true shows it.
    void setDisplayedWhenStopped(bool flag);

    void startAnimation(const fnd::Value& sender = {});
    void stopAnimation(const fnd::Value& sender = {});
    bool isAnimating() const { return m_isAnimating; }
    // Only the spinning style exists; any other fails an assertion.
    void setStyle(ui::ProgressIndicatorStyle style);

    // The current rotation step, 0 to NumberOfFins - 1.
    std::int64_t position() const { return m_position.load(std::memory_order_relaxed); }
    // One animation step: the brightest fin moves on clockwise.
    void updateFrame(const fnd::Value& sender = {});

    // Whether the animation machinery runs now (a timer or the thread).
    bool hasAnimationTimer() const { return m_animationTimer != nullptr; }
    bool hasAnimationThread() const { return m_animationThread.joinable(); }

    void drawRect(gfx::Rect dirtyRect) override;
    void viewDidMoveToWindow() override;

private:
    void actuallyStartAnimation();
    void actuallyStopAnimation();
    // The thread's body; the weak pointer is only handed to the main thread, which alone may lock it.
    void animateInBackgroundThread(const std::weak_ptr<ZORSpinningProgressIndicator>& weak);
    void stopThread();
    // Wraps below 0 to the last fin; safe from the animation thread.
    void advancePosition();

    std::atomic<std::int64_t> m_position { 0 };
    bool m_isAnimating { false };
    std::shared_ptr<fnd::Timer> m_animationTimer;
    std::thread m_animationThread;
    // The thread waits on this between steps, so a stop wakes it at once instead of after a pause.
    std::mutex m_threadMutex;
    std::condition_variable m_threadWake;
    bool m_threadStop { false };
    // Set while a redraw posted by the thread has not run yet, so a busy main thread gets one request, not a queue.
    std::shared_ptr<std::atomic<bool>> m_redrawPending = std::make_shared<std::atomic<bool>>(false);
    gfx::ColorPtr m_foreColor = gfx::Color::blackColor();
    gfx::ColorPtr m_backColor;
    bool m_drawBackground { false };
    bool m_displayWhenStopped { true };
    bool m_isIndeterminate { true };
    double m_currentValue { 0 };
    double m_maxValue { 100 };
    bool m_usesThreadedAnimation { false };
};
