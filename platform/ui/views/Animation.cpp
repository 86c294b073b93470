#include "platform/ui/views/Animation.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Timer.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(Animation, fnd::Object)

void Animation::describeClass(fnd::ClassBuilder<Animation>& c)
{
    c.property("duration", &Animation::duration, &Animation::setDuration);
    c.property("frameRate", &Animation::frameRate, &Animation::setFrameRate);
    c.property("currentProgress", &Animation::currentProgress, &Animation::setCurrentProgress);
    c.property("isAnimating", &Animation::isAnimating);
    c.action("startAnimation", &Animation::startAnimation);
    c.action("stopAnimation", &Animation::stopAnimation);
}

namespace {

constexpr float DefaultFrameRate = 60;

fnd::Date now()
{
    return fnd::Clock::current()->now();
}

// A cubic Bézier timing curve from (0, 0) to (1, 1) with control points (x1, y1) and (x2, y2): the y for the
// x that equals the progress.
float bezierTiming(double x1, double y1, double x2, double y2, double progress)
{
    auto bezier = [](double a, double b, double t) {
        const double u = 1 - t;
        return 3 * u * u * t * a + 3 * u * t * t * b + t * t * t;
    };
    double low = 0, high = 1, t = progress;
    // Bisection: x(t) is monotonic for control x within 0..1, and 40 halvings are below float precision.
    for (int i = 0; i < 40; ++i) {
        t = (low + high) / 2;
        if (bezier(x1, x2, t) < progress)
            low = t;
        else
            high = t;
    }
    return static_cast<float>(bezier(y1, y2, (low + high) / 2));
}

}

Animation::~Animation()
{
    if (m_timer)
        m_timer->invalidate();
}

std::shared_ptr<Animation> Animation::create(double duration, AnimationCurve curve)
{
    auto animation = fnd::makeObject<Animation>();
    animation->setDuration(duration);
    animation->m_curve = curve;
    return animation;
}

void Animation::setDuration(double duration)
{
    m_duration = std::max(0.0, duration);
}

void Animation::setFrameRate(float rate)
{
    m_frameRate = rate > 0 && std::isfinite(rate) ? rate : DefaultFrameRate;
}

fnd::RunLoopModes Animation::runLoopModesForAnimating() const
{
    return { fnd::RunLoopMode::Default, fnd::RunLoopMode::ModalPanel, fnd::RunLoopMode::EventTracking };
}

float Animation::curveValue(AnimationCurve curve, AnimationProgress progress)
{
    const double p = std::clamp<double>(progress, 0, 1);
    switch (curve) {
    case AnimationCurve::EaseInOut:
        return bezierTiming(0.42, 0, 0.58, 1, p);
    case AnimationCurve::EaseIn:
        return bezierTiming(0.42, 0, 1, 1, p);
    case AnimationCurve::EaseOut:
        return bezierTiming(0, 0, 0.58, 1, p);
    case AnimationCurve::Linear:
        break;
    }
    return static_cast<float>(p);
}

float Animation::currentValue()
{
    if (auto delegate = m_delegate.lock())
        if (auto value = delegate->animationValueForProgress(*this, m_progress))
            return *value;
    return curveValue(m_curve, m_progress);
}

void Animation::setProgressMarks(std::vector<AnimationProgress> marks)
{
    m_progressMarks.clear();
    for (auto mark : marks)
        addProgressMark(mark);
}

void Animation::addProgressMark(AnimationProgress mark)
{
    // A mark that is not a number would pass std::clamp and break the marks' order; it is never reached anyway.
    if (std::isnan(mark))
        return;
    mark = std::clamp<AnimationProgress>(mark, 0, 1);
    if (std::ranges::find(m_progressMarks, mark) != m_progressMarks.end())
        return;
    m_progressMarks.insert(std::ranges::upper_bound(m_progressMarks, mark), mark);
}

void Animation::removeProgressMark(AnimationProgress mark)
{
    std::erase(m_progressMarks, mark);
}

void Animation::setCurrentProgress(AnimationProgress progress)
{
    progress = std::isnan(progress) ? 0 : std::clamp<AnimationProgress>(progress, 0, 1);
    const AnimationProgress previous = m_progress;
    m_progress = progress;
    if (progress <= previous)
        return;
    // Copied: a mark handler may change the marks.
    const auto marks = m_progressMarks;
    auto self = weak_from_this().lock();
    for (auto mark : marks) {
        if (mark <= previous || mark > progress)
            continue;
        if (auto delegate = m_delegate.lock())
            delegate->animationDidReachProgressMark(*this, mark);
        fnd::NotificationCenter::defaultCenter().postNotificationName(AnimationProgressMarkNotification,
            self ? fnd::Value(self) : fnd::Value(), { { AnimationProgressMarkKey, mark } });
    }
}

void Animation::startAnimation()
{
    if (isAnimating())
        return;
    if (auto delegate = m_delegate.lock(); delegate && !delegate->animationShouldStart(*this))
        return;
    if (m_progress >= 1)
        m_progress = 0;
    m_startDate = now().addingTimeInterval(-m_progress * m_duration);
    m_selfWhileRunning = std::static_pointer_cast<Animation>(weak_from_this().lock());

    const double interval = 1.0 / m_frameRate;
    std::weak_ptr<Animation> weakSelf = m_selfWhileRunning;
    m_timer = fnd::Timer::create(interval, true, [weakSelf](fnd::Timer&) {
        if (auto self = weakSelf.lock())
            self->tick();
    });
    auto& loop = fnd::RunLoop::current();
    if (m_blockingMode != AnimationBlockingMode::Blocking) {
        for (const auto& mode : runLoopModesForAnimating())
            loop.addTimer(m_timer, mode);
        return;
    }
    loop.addTimer(m_timer, AnimationBlockingRunLoopMode);
    auto keepAlive = m_selfWhileRunning;
    while (isAnimating())
        loop.runInMode(AnimationBlockingRunLoopMode, now().addingTimeInterval(interval), false);
}

void Animation::tick()
{
    const double elapsed = now().timeIntervalSince(m_startDate);
    const double progress = m_duration > 0 ? std::min(1.0, elapsed / m_duration) : 1.0;
    auto self = weak_from_this().lock();
    setCurrentProgress(static_cast<AnimationProgress>(progress));
    if (progress >= 1 && isAnimating())
        finish(true);
}

void Animation::stopAnimation()
{
    if (isAnimating())
        finish(false);
}

void Animation::finish(bool reachedEnd)
{
    auto self = std::move(m_selfWhileRunning); // released when this call returns
    m_timer->invalidate();
    m_timer = nullptr;
    didFinish(reachedEnd);
    if (auto delegate = m_delegate.lock()) {
        if (reachedEnd)
            delegate->animationDidEnd(*this);
        else
            delegate->animationDidStop(*this);
    }
}

}
