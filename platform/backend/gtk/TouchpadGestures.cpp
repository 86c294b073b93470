#include "platform/backend/gtk/TouchpadGestures.h"

#include <cmath>
#include <numbers>

namespace ui {

std::vector<GestureStep> TouchpadGestureConverter::convert(const TouchpadSample& sample)
{
    switch (sample.kind) {
    case TouchpadSample::Kind::Swipe:
        return swipe(sample);
    case TouchpadSample::Kind::Pinch:
        return pinch(sample);
    case TouchpadSample::Kind::Hold:
        return {};
    }
    return {};
}

std::vector<GestureStep> TouchpadGestureConverter::swipe(const TouchpadSample& sample)
{
    using Phase = TouchpadSample::Phase;
    if (sample.phase == Phase::Begin) {
        m_swipeX = m_swipeY = 0;
        return {};
    }
    m_swipeX += sample.dx;
    m_swipeY += sample.dy;
    if (sample.phase != Phase::End)
        return {};
    const double x = m_swipeX, y = m_swipeY;
    m_swipeX = m_swipeY = 0;
    if (std::max(std::fabs(x), std::fabs(y)) < SwipeThreshold)
        return {};
    // Fingers moving left (or up, which is y falling) swipe in the positive direction.
    GestureStep step { EventType::Swipe };
    if (std::fabs(x) >= std::fabs(y))
        step.deltaX = x < 0 ? 1 : -1;
    else
        step.deltaY = y < 0 ? 1 : -1;
    return { step };
}

std::vector<GestureStep> TouchpadGestureConverter::pinch(const TouchpadSample& sample)
{
    using Phase = TouchpadSample::Phase;
    std::vector<GestureStep> steps;
    if (sample.phase == Phase::Begin) {
        m_pinching = true;
        m_rotating = false;
        m_lastScale = sample.scale > 0 ? sample.scale : 1;
        steps.push_back({ EventType::Magnify, EventPhase::Began });
        return steps;
    }
    if (!m_pinching)
        return steps;
    if (sample.phase == Phase::Update) {
        if (sample.scale > 0 && sample.scale != m_lastScale) {
            GestureStep step { EventType::Magnify, EventPhase::Changed };
            step.magnification = sample.scale / m_lastScale - 1;
            m_lastScale = sample.scale;
            steps.push_back(step);
        }
        if (sample.angleDelta != 0) {
            if (!m_rotating) {
                m_rotating = true;
                steps.push_back({ EventType::Rotate, EventPhase::Began });
            }
            GestureStep step { EventType::Rotate, EventPhase::Changed };
            step.rotation = -sample.angleDelta * 180 / std::numbers::pi;
            steps.push_back(step);
        }
        return steps;
    }
    const EventPhase end = sample.phase == Phase::End ? EventPhase::Ended : EventPhase::Cancelled;
    steps.push_back({ EventType::Magnify, end });
    if (m_rotating)
        steps.push_back({ EventType::Rotate, end });
    m_pinching = m_rotating = false;
    return steps;
}

}
