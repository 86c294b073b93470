#include "platform/layers/LayerAnimation.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/layers/Layer.h"
#include "platform/layers/Transaction.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(LayerAnimation, fnd::Object)
FND_REGISTER_CLASS(PropertyAnimation, LayerAnimation)
FND_REGISTER_CLASS(BasicAnimation, PropertyAnimation)
FND_REGISTER_CLASS(Transition, LayerAnimation)

double currentMediaTime()
{
    return fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
}

std::shared_ptr<LayerAnimation> LayerAnimation::copy() const
{
    auto c = std::make_shared<LayerAnimation>();
    copySettingsTo(*c);
    return c;
}

void LayerAnimation::copySettingsTo(LayerAnimation& o) const
{
    o.m_beginTime = m_beginTime;
    o.m_duration = m_duration;
    o.m_repeatCount = m_repeatCount;
    o.m_autoreverses = m_autoreverses;
    o.m_fillMode = m_fillMode;
    o.m_removedOnCompletion = m_removedOnCompletion;
    o.m_timingFunction = m_timingFunction;
    o.m_delegate = m_delegate;
}

void LayerAnimation::runActionForKey(const fnd::String& key, Layer& layer, const fnd::Dictionary& arguments)
{
    detail::LayerAccess::addAnimation(layer, copy(), key, true, key, arguments.get(LayerActionPreviousValueKey));
}

double LayerAnimation::activeDuration() const
{
    const double pass = m_duration * (m_autoreverses ? 2 : 1);
    if (std::isinf(m_repeatCount))
        return pass == 0 ? 0 : std::numeric_limits<double>::infinity();
    return pass * (m_repeatCount == 0 ? 1 : m_repeatCount);
}

std::optional<double> LayerAnimation::fractionAt(double time) const
{
    const double local = time - m_beginTime;
    const double active = activeDuration();
    const double iteration = m_duration * (m_autoreverses ? 2 : 1);
    double position; // time within the current pass
    if (local < 0) {
        if (m_fillMode != FillMode::Backwards && m_fillMode != FillMode::Both)
            return std::nullopt;
        position = 0;
    } else if (local >= active) {
        if (m_fillMode != FillMode::Forwards && m_fillMode != FillMode::Both)
            return std::nullopt;
        if (iteration == 0)
            position = m_duration;
        else {
            position = std::fmod(active, iteration);
            // A whole number of passes ends at the end of a pass, not at the start of the next.
            if (position == 0 && active > 0)
                position = iteration;
        }
    } else {
        position = iteration == 0 ? 0 : std::fmod(local, iteration);
    }
    double raw;
    if (m_duration <= 0)
        raw = 1;
    else if (m_autoreverses && position > m_duration)
        raw = (2 * m_duration - position) / m_duration;
    else
        raw = position / m_duration;
    raw = std::clamp(raw, 0.0, 1.0);
    return m_timingFunction ? m_timingFunction->valueAt(raw) : raw;
}

std::shared_ptr<LayerAnimation> PropertyAnimation::copy() const
{
    auto c = std::make_shared<PropertyAnimation>();
    copySettingsTo(*c);
    return c;
}

void PropertyAnimation::copySettingsTo(PropertyAnimation& o) const
{
    LayerAnimation::copySettingsTo(o);
    o.m_keyPath = m_keyPath;
}

std::shared_ptr<BasicAnimation> BasicAnimation::animationWithKeyPath(const fnd::String& keyPath)
{
    auto a = std::make_shared<BasicAnimation>();
    a->setKeyPath(keyPath);
    return a;
}

std::shared_ptr<LayerAnimation> BasicAnimation::copy() const
{
    auto c = std::make_shared<BasicAnimation>();
    copySettingsTo(*c);
    c->m_fromValue = m_fromValue;
    c->m_toValue = m_toValue;
    return c;
}

std::shared_ptr<LayerAnimation> Transition::copy() const
{
    auto c = std::make_shared<Transition>();
    copySettingsTo(*c);
    c->m_type = m_type;
    c->m_subtype = m_subtype;
    return c;
}

void Transition::runActionForKey(const fnd::String& key, Layer& layer, const fnd::Dictionary&)
{
    auto c = std::static_pointer_cast<Transition>(copy());
    if (key == LayerActionKey::OnOrderOut) {
        detail::LayerAccess::addDeparture(layer, std::move(c));
        return;
    }
    detail::LayerAccess::addAnimation(layer, std::move(c), LayerActionKey::Transition, true, key, {});
}

}
