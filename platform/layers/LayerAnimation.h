#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/layers/LayerAction.h"
#include "platform/layers/MediaTimingFunction.h"

#include <limits>
#include <memory>
#include <optional>

namespace ui {

class LayerAnimation;

// Told when an added animation starts and when it ends (finished) or is removed before its end (not finished).
// Called on the main thread.
class LayerAnimationDelegate {
public:
    virtual ~LayerAnimationDelegate() = default;
    virtual void animationDidStart(LayerAnimation&) { }
    virtual void animationDidStop(LayerAnimation&, bool /*finished*/) { }
};

// What an animation shows outside its active time, with the platform's values.
namespace FillMode {
inline const fnd::String Removed = "removed";
inline const fnd::String Forwards = "forwards";
inline const fnd::String Backwards = "backwards";
inline const fnd::String Both = "both";
}

// Repeats without end.
inline constexpr double RepeatForever = std::numeric_limits<double>::infinity();

// Timing shared by every animation. Times are media times: seconds on fnd::Clock (see currentMediaTime). An
// animation is copied when it is added to a layer, so changing it afterwards changes nothing that runs; the copy
// gets the begin time it was added at when it had none. The animation keeps its delegate alive.
class LayerAnimation : public fnd::Object, public LayerAction {
    FND_OBJECT(LayerAnimation)
public:
    LayerAnimation() = default;
    static std::shared_ptr<LayerAnimation> animation() { return std::make_shared<LayerAnimation>(); }
    // A copy of the same class with the same settings.
    virtual std::shared_ptr<LayerAnimation> copy() const;

    double beginTime() const { return m_beginTime; }
    void setBeginTime(double t) { m_beginTime = t; }
    // Of one pass; 0 takes the duration of the transaction that adds it (0.25 s unless set).
    double duration() const { return m_duration; }
    void setDuration(double d) { m_duration = d < 0 ? 0 : d; }
    // Number of passes (fractions allowed); 0 means one; RepeatForever never ends.
    double repeatCount() const { return m_repeatCount; }
    void setRepeatCount(double n) { m_repeatCount = n < 0 ? 0 : n; }
    // Each pass runs forwards, then backwards.
    bool autoreverses() const { return m_autoreverses; }
    void setAutoreverses(bool flag) { m_autoreverses = flag; }
    const fnd::String& fillMode() const { return m_fillMode; }
    void setFillMode(const fnd::String& mode) { m_fillMode = mode; }
    bool isRemovedOnCompletion() const { return m_removedOnCompletion; }
    void setRemovedOnCompletion(bool flag) { m_removedOnCompletion = flag; }
    // nullptr is linear.
    const std::shared_ptr<MediaTimingFunction>& timingFunction() const { return m_timingFunction; }
    void setTimingFunction(std::shared_ptr<MediaTimingFunction> f) { m_timingFunction = std::move(f); }
    const std::shared_ptr<LayerAnimationDelegate>& delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<LayerAnimationDelegate> delegate) { m_delegate = std::move(delegate); }

    // Adds a copy to the layer under the key (as an action run for a changed key or a layer entering the tree).
    void runActionForKey(const fnd::String& key, Layer& layer, const fnd::Dictionary& arguments) override;

    // Seconds from the begin time to the end of the last pass (infinite for RepeatForever).
    double activeDuration() const;
    // The eased fraction of the change at a media time, or nullopt when the animation shows nothing then.
    std::optional<double> fractionAt(double time) const;

protected:
    void copySettingsTo(LayerAnimation& other) const;

private:
    double m_beginTime { 0 };
    double m_duration { 0 };
    double m_repeatCount { 0 };
    bool m_autoreverses { false };
    fnd::String m_fillMode { FillMode::Removed };
    bool m_removedOnCompletion { true };
    std::shared_ptr<MediaTimingFunction> m_timingFunction;
    std::shared_ptr<LayerAnimationDelegate> m_delegate;
};

// An animation of one key of the layer (a declared property or a key of its value bag).
class PropertyAnimation : public LayerAnimation {
    FND_OBJECT(PropertyAnimation)
public:
    PropertyAnimation() = default;
    std::shared_ptr<LayerAnimation> copy() const override;
    const fnd::String& keyPath() const { return m_keyPath; }
    void setKeyPath(const fnd::String& keyPath) { m_keyPath = keyPath; }

protected:
    void copySettingsTo(PropertyAnimation& other) const;

private:
    fnd::String m_keyPath;
};

// From one value to another. A missing from value is what the layer showed when the animation was added; a
// missing to value is the layer's own (model) value, read as it changes. Numbers, points, sizes, rectangles,
// colours and transforms are interpolated; other values change at the end.
class BasicAnimation : public PropertyAnimation {
    FND_OBJECT(BasicAnimation)
public:
    BasicAnimation() = default;
    static std::shared_ptr<BasicAnimation> animationWithKeyPath(const fnd::String& keyPath);
    std::shared_ptr<LayerAnimation> copy() const override;

    const fnd::Value& fromValue() const { return m_fromValue; }
    void setFromValue(fnd::Value v) { m_fromValue = std::move(v); }
    const fnd::Value& toValue() const { return m_toValue; }
    void setToValue(fnd::Value v) { m_toValue = std::move(v); }

private:
    fnd::Value m_fromValue;
    fnd::Value m_toValue;
};

namespace TransitionType {
inline const fnd::String Fade = "fade";
inline const fnd::String MoveIn = "moveIn";
inline const fnd::String Push = "push";
inline const fnd::String Reveal = "reveal";
}
namespace TransitionSubtype {
inline const fnd::String FromRight = "fromRight";
inline const fnd::String FromLeft = "fromLeft";
inline const fnd::String FromTop = "fromTop";
inline const fnd::String FromBottom = "fromBottom";
}

// How a layer appears (as the action for LayerActionKey::OnOrderIn) or disappears (OnOrderOut). Appearing: a fade
// brings the opacity up from 0; move-in and push slide the layer in from the subtype's side; reveal shows it at
// once, as nothing lies on top of it to slide away. Disappearing: the layer stays drawn where it was while a fade
// takes its opacity down; reveal and push slide it out towards the side opposite the subtype; move-in keeps it
// until the end. Added under another key the transition has no effect.
class Transition : public LayerAnimation {
    FND_OBJECT(Transition)
public:
    Transition() = default;
    std::shared_ptr<LayerAnimation> copy() const override;
    const fnd::String& type() const { return m_type; }
    void setType(const fnd::String& type) { m_type = type; }
    const fnd::String& subtype() const { return m_subtype; }
    void setSubtype(const fnd::String& subtype) { m_subtype = subtype; }

    void runActionForKey(const fnd::String& key, Layer& layer, const fnd::Dictionary& arguments) override;

private:
    fnd::String m_type { TransitionType::Fade };
    fnd::String m_subtype;
};

// The clock animations run on: fnd::Clock's current time in seconds.
double currentMediaTime();

}
