#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/RunLoop.h"

#include <memory>
#include <optional>
#include <vector>

namespace fnd {
class Timer;
}

namespace ui {

class Animation;

using AnimationProgress = float;

// With the platform's values.
enum class AnimationCurve { EaseInOut = 0, EaseIn = 1, EaseOut = 2, Linear = 3 };

// Blocking runs the animation in a run-loop mode of its own until it ends, so no input is handled meanwhile.
// Nonblocking runs it on the run loop's timers in the default, modal and tracking modes. Threaded animations run
// as nonblocking ones here: every client draws on the main thread anyway.
enum class AnimationBlockingMode { Blocking = 0, Nonblocking = 1, NonblockingThreaded = 2 };

// Posted when the progress passes a mark; the userInfo holds the mark under AnimationProgressMarkKey.
inline const fnd::String AnimationProgressMarkNotification = "NSAnimationProgressMarkNotification";
inline const fnd::String AnimationProgressMarkKey = "NSAnimationProgressMark";
// The mode a blocking animation runs in.
inline const fnd::String AnimationBlockingRunLoopMode = "UIAnimationBlockingRunLoopMode";

class AnimationDelegate {
public:
    virtual ~AnimationDelegate() = default;
    virtual bool animationShouldStart(Animation&) { return true; }
    // Stopped before the end.
    virtual void animationDidStop(Animation&) { }
    virtual void animationDidEnd(Animation&) { }
    // Replaces the curve's value for a progress.
    virtual std::optional<float> animationValueForProgress(Animation&, AnimationProgress) { return std::nullopt; }
    virtual void animationDidReachProgressMark(Animation&, AnimationProgress) { }
};

// A progress from 0 to 1 over a duration on the run loop's clock (so a virtual clock drives it in tests), with a
// curve mapping progress to value. Subclasses apply each frame in setCurrentProgress. A running animation keeps
// itself alive until it ends or is stopped.
class Animation : public fnd::Object {
    FND_OBJECT(Animation)
    static void describeClass(fnd::ClassBuilder<Animation>& c);

public:
    Animation() = default;
    ~Animation() override;
    static std::shared_ptr<Animation> create(double duration, AnimationCurve curve);

    double duration() const { return m_duration; }
    // Negative durations are taken as 0.
    void setDuration(double duration);
    AnimationCurve animationCurve() const { return m_curve; }
    void setAnimationCurve(AnimationCurve curve) { m_curve = curve; }
    AnimationBlockingMode animationBlockingMode() const { return m_blockingMode; }
    void setAnimationBlockingMode(AnimationBlockingMode mode) { m_blockingMode = mode; }
    // Frames per second; 0 picks the default of 60.
    float frameRate() const { return m_frameRate; }
    void setFrameRate(float rate);
    // Modes a nonblocking animation runs in.
    fnd::RunLoopModes runLoopModesForAnimating() const;
    std::shared_ptr<AnimationDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<AnimationDelegate>& delegate) { m_delegate = delegate; }

    // Starts from the current progress (a finished animation starts over). A blocking animation returns when it
    // has ended or was stopped.
    virtual void startAnimation();
    virtual void stopAnimation();
    bool isAnimating() const { return m_timer != nullptr; }

    AnimationProgress currentProgress() const { return m_progress; }
    // Clamped to 0..1; passes the marks between the old and the new progress, in order.
    virtual void setCurrentProgress(AnimationProgress progress);
    // The delegate's value for the progress, else the curve's.
    float currentValue();

    const std::vector<AnimationProgress>& progressMarks() const { return m_progressMarks; }
    void setProgressMarks(std::vector<AnimationProgress> marks);
    void addProgressMark(AnimationProgress mark);
    void removeProgressMark(AnimationProgress mark);

    // The curve's value at a progress, for any caller.
    static float curveValue(AnimationCurve curve, AnimationProgress progress);

protected:
    // When the animation ends (reachedEnd) or is stopped, before the delegate hears of it.
    virtual void didFinish(bool /*reachedEnd*/) { }

private:
    void tick();
    void finish(bool reachedEnd);

    double m_duration { 0 };
    AnimationCurve m_curve { AnimationCurve::EaseInOut };
    AnimationBlockingMode m_blockingMode { AnimationBlockingMode::Blocking };
    float m_frameRate { 60 };
    std::weak_ptr<AnimationDelegate> m_delegate;
    AnimationProgress m_progress { 0 };
    std::vector<AnimationProgress> m_progressMarks;
    std::shared_ptr<fnd::Timer> m_timer;
    fnd::Date m_startDate;
    std::shared_ptr<Animation> m_selfWhileRunning;
};

}
