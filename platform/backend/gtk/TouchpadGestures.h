#pragma once

#include "platform/ui/views/Event.h"

#include <vector>

namespace ui {

// One touchpad event as the toolkit reports it: a swipe of three or more fingers (movement in logical pixels, y
// down), a pinch (the scale since the pinch began, and the turn since the last event in radians, clockwise), or a
// hold.
struct TouchpadSample {
    enum class Kind { Swipe, Pinch, Hold };
    enum class Phase { Begin, Update, End, Cancel };
    Kind kind { Kind::Swipe };
    Phase phase { Phase::Begin };
    double dx { 0 };
    double dy { 0 };
    double scale { 1 };
    double angleDelta { 0 };
};

// What one gesture event of ours carries.
struct GestureStep {
    EventType type;
    EventPhase phase { EventPhase::None };
    double deltaX { 0 };
    double deltaY { 0 };
    double magnification { 0 };
    double rotation { 0 };
};

// Turns the touchpad's gestures into ours: a swipe becomes one Swipe event when the fingers lift after moving far
// enough (its direction on the axis they moved most along, positive to the left and up), a pinch becomes Magnify
// steps (each the scale's relative change) and, once the fingers turn, Rotate steps (degrees, counterclockwise).
// One per window: gestures happen over one surface.
class TouchpadGestureConverter {
public:
    // The distance the fingers must move for a swipe to count, in points.
    static constexpr double SwipeThreshold = 30;

    std::vector<GestureStep> convert(const TouchpadSample& sample);

private:
    std::vector<GestureStep> swipe(const TouchpadSample& sample);
    std::vector<GestureStep> pinch(const TouchpadSample& sample);

    double m_swipeX { 0 };
    double m_swipeY { 0 };
    double m_lastScale { 1 };
    bool m_pinching { false };
    bool m_rotating { false };
};

}
