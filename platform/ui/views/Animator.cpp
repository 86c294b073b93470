#include "platform/ui/views/Animator.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"

#include <cmath>
#include <map>
#include <utility>

namespace ui {

std::optional<double> KeyAnimation::valueAtTime(double elapsed) const
{
    if (duration <= 0)
        return std::nullopt;
    const double cycle = autoreverses ? 2 * duration : duration;
    const double cycles = elapsed / cycle;
    if (!std::isinf(repeatCount) && cycles >= repeatCount)
        return std::nullopt;
    double phase = (elapsed - std::floor(cycles) * cycle) / duration;
    if (phase > 1)
        phase = 2 - phase;
    const double eased = Animation::curveValue(curve, float(phase));
    return fromValue + eased * (toValue - fromValue);
}

namespace {

struct AnimatorRun {
    std::weak_ptr<void> lifetime;
    fnd::Object* object { nullptr };
    KeyAnimation animation;
    // When the animation drives the very key that was set, its frames overwrite the value set: it is put back at
    // the end.
    std::optional<fnd::Value> modelValue;
    double start { 0 };
    std::shared_ptr<fnd::Timer> timer;
};

std::map<std::pair<const fnd::Object*, std::string>, AnimatorRun>& animatorRuns()
{
    static std::map<std::pair<const fnd::Object*, std::string>, AnimatorRun> runs;
    return runs;
}

double animatorNow()
{
    return fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
}

void animatorStep(const std::pair<const fnd::Object*, std::string>& key)
{
    auto& runs = animatorRuns();
    auto found = runs.find(key);
    if (found == runs.end())
        return;
    auto& run = found->second;
    auto alive = run.lifetime.lock();
    auto value = alive ? run.animation.valueAtTime(animatorNow() - run.start) : std::nullopt;
    if (!value) {
        // Over: the key path rests at its model value.
        if (run.timer)
            run.timer->invalidate();
        auto modelValue = std::move(run.modelValue);
        auto* object = run.object;
        auto keyPath = run.animation.keyPath;
        runs.erase(found);
        if (alive && modelValue)
            object->setValueForKeyPath(*modelValue, keyPath);
        return;
    }
    run.object->setValueForKeyPath(fnd::Value(*value), run.animation.keyPath);
}

}

void Animator::setValueForKey(fnd::Object& object, const fnd::Value& value, const fnd::String& key)
{
    object.setValueForKey(value, key);
    auto* container = dynamic_cast<AnimatablePropertyContainer*>(&object);
    if (!container)
        return;
    auto animation = container->defaultAnimationForKey(key);
    if (!animation)
        return;
    removeAnimationForKey(object, key);
    const auto id = std::make_pair(static_cast<const fnd::Object*>(&object), key.utf8());
    AnimatorRun run;
    run.lifetime = object.weak_from_this();
    run.object = &object;
    run.animation = *animation;
    if (animation->keyPath == key)
        run.modelValue = value;
    run.start = animatorNow();
    run.timer = fnd::Timer::create(1.0 / 60.0, true, [id](fnd::Timer&) { animatorStep(id); });
    fnd::RunLoop::current().addTimer(run.timer, fnd::RunLoopMode::Common);
    animatorRuns()[id] = std::move(run);
    animatorStep(id);
}

void Animator::removeAnimationForKey(const fnd::Object& object, const fnd::String& key)
{
    auto& runs = animatorRuns();
    auto found = runs.find({ &object, key.utf8() });
    if (found == runs.end())
        return;
    if (found->second.timer)
        found->second.timer->invalidate();
    runs.erase(found);
}

bool Animator::isAnimatingKey(const fnd::Object& object, const fnd::String& key)
{
    return animatorRuns().contains({ &object, key.utf8() });
}

}
