#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/Animation.h"

#include <limits>
#include <memory>
#include <optional>

namespace ui {

// A basic animation of one numeric key path of an object: from one value to another over a duration, optionally
// back again, repeated a number of times (infinity: until removed), along a timing curve.
struct KeyAnimation {
    fnd::String keyPath;
    double fromValue { 0 };
    double toValue { 1 };
    double duration { 0.25 };
    bool autoreverses { false };
    double repeatCount { 1 };
    AnimationCurve curve { AnimationCurve::EaseInOut };

    static constexpr double RepeatForever = std::numeric_limits<double>::infinity();
    // The animated value at a time since the start; nullopt once the animation is over.
    std::optional<double> valueAtTime(double elapsed) const;
};

// An object whose keys may be set through an animator: it names the animation a key change runs.
class AnimatablePropertyContainer {
public:
    virtual ~AnimatablePropertyContainer() = default;
    virtual std::optional<KeyAnimation> defaultAnimationForKey(const fnd::String& key) const
    {
        return (void)key, std::nullopt;
    }
};

// The animator proxy: setting a key through it stores the value at once and runs the object's default animation for
// that key (if it names one), which drives its key path on the run loop's clock (60 frames a second, in the common
// modes, so it goes on during tracking). Setting the key directly leaves a running animation alone; removing it
// stops it. The animated object is not kept alive.
class Animator {
public:
    static void setValueForKey(fnd::Object& object, const fnd::Value& value, const fnd::String& key);
    static void removeAnimationForKey(const fnd::Object& object, const fnd::String& key);
    static bool isAnimatingKey(const fnd::Object& object, const fnd::String& key);
};

}
