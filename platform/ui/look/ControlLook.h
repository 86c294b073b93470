#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/look/ControlState.h"

namespace gfx {
class BezierPath;
}

namespace ui {

// Our own look of the standard controls: flat faces with rounded corners on a light background, the accent colour
// for what is on, selected or the default, half opacity for what is disabled and a muted accent in windows that are
// not key. Shapes sit on whole points (lines on half points), so they stay sharp at 1× and 2×. Every function draws
// into the current graphics context, in the current view's coordinates, whichever way up they are.
namespace ControlLook {

// What a face shows.
struct FaceState {
    bool enabled { true };
    bool pressed { false };
    // On, checked or selected.
    bool on { false };
    // The default button of its window, or another face that carries the accent.
    bool emphasized { false };
    bool hovered { false };
    // The window is the key window (faces with the accent are muted otherwise).
    bool active { true };
};

enum class FaceShape { RoundedRect, Pill, Circle, Square };
enum class Direction { Up, Down, Left, Right };

// Colours.
gfx::ColorPtr accentColor(bool active);
// Text on the window background and on plain faces.
gfx::ColorPtr textColor(bool enabled);
// Text on an accent face or a dark background.
gfx::ColorPtr textOnAccentColor(bool enabled);
gfx::ColorPtr secondaryTextColor(bool enabled);
// Lines between things (separators, box borders, field borders).
gfx::ColorPtr borderColor();
// The groove sliders, progress bars and level indicators run in.
gfx::ColorPtr troughColor();
// The fill of a face in a state (transparent black over the background, so faces suit any background).
gfx::ColorPtr faceColor(const FaceState& state);
// The colour the face's title and symbols take.
gfx::ColorPtr faceTextColor(const FaceState& state);
// The background of text fields and menus.
gfx::ColorPtr fieldBackgroundColor();

// Sizes.
double cornerRadius(ControlSize size);
// The side of a check box or radio button.
double checkBoxSize(ControlSize size);
// The room a face leaves around its content, horizontally and vertically.
gfx::Size facePadding(ControlSize size);
// The height of one line of the system font at the size.
double lineHeight(ControlSize size);

// Shapes, snapped to whole points.
gfx::Rect snapped(gfx::Rect rect);
std::shared_ptr<gfx::BezierPath> facePath(gfx::Rect rect, FaceShape shape, ControlSize size);

// Faces and marks.
void drawFace(gfx::Rect rect, FaceShape shape, ControlSize size, const FaceState& state);
// A face with a one-point border that stays visible on any background (round-rect and similar bezels).
void drawOutlinedFace(gfx::Rect rect, FaceShape shape, ControlSize size, const FaceState& state);
void drawCheckBox(gfx::Rect box, ControlStateValue state, const FaceState& face);
void drawRadioButton(gfx::Rect box, ControlStateValue state, const FaceState& face);
// A chevron of the given half-width pointing the way the direction says on the screen.
void drawChevron(gfx::Point center, double halfWidth, Direction direction, const gfx::Color& color);
// Two stacked chevrons (a pop-up) or one pointing down (a pull-down), centred in the rect.
void drawPopUpArrows(gfx::Rect rect, bool pullsDown, const gfx::Color& color);
// A filled triangle pointing right (closed) or down (open).
void drawDisclosureTriangle(gfx::Rect rect, bool open, const gfx::Color& color);
// The sunken area of a text field.
void drawFieldBezel(gfx::Rect rect, bool rounded, const gfx::Color* background, bool enabled);
// A one-point line across the rect's middle, horizontal when the rect is wider than high.
void drawSeparator(gfx::Rect rect);
// A groove with rounded ends, and its filled part from the start to `fraction` (0..1; negative for none).
void drawTrough(gfx::Rect rect, double fraction, bool vertical, bool enabled, bool active);
// The round knob of a slider.
void drawKnob(gfx::Rect rect, bool pressed, bool enabled);

}

}
