#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORTheme.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <functional>
#include <span>

// The drawing the themed controls do with a theme's answers, apart from their titles and images: bezels of each
// style, highlighted backgrounds, border strips, pop-up arrows, segment strips and the bordered view's background.
// Every operation draws into the current graphics context in the control's own coordinates (a cell's are flipped:
// the smaller y is the top) and leaves the graphics state as it found it. The control builds the state mask from
// its state and draws its title and image into the rectangles an operation answers.
namespace ZORThemeDrawing {

using gfx::ControlSize;

// The platform's cell highlight and state masks, as the bezel fill depends on them.
namespace CellStyleMask {
inline constexpr unsigned Contents = 1;
inline constexpr unsigned PushIn = 2;
inline constexpr unsigned ChangeGray = 4;
inline constexpr unsigned ChangeBackground = 8;
}

// Sides of a cell (flipped: top is the smaller y) or of a bordered view (not flipped: top is maxY).
namespace BorderSide {
inline constexpr std::uint64_t Left = 1;
inline constexpr std::uint64_t Right = 2;
inline constexpr std::uint64_t Top = 4;
inline constexpr std::uint64_t Bottom = 8;
}

enum class HighlightBackgroundMode : std::uint64_t { Fill = 0, Glow = 1, Gradient = 2 };

// The highlighted background of a borderless cell, clipped to the frame. Fill covers what is drawn already with the
// theme's fill colour (source-atop); Gradient fills the frame with the theme's gradient at its angle; Glow calls
// drawImage (which draws the cell's image into imageRect) under a halo of the fill colour, whitened on a dark
// background. Any other mode draws nothing.
void drawHighlightedBackground(const ZORTheme& theme, std::uint64_t mode, ZORThemeStateMask mask, gfx::Rect frame,
    ZORBackgroundStyle backgroundStyle, gfx::Rect imageRect = {}, const std::function<void()>& drawImage = {});

// One-point strips of the theme's border-side gradient along the chosen sides of a cell's drawing rectangle, in the
// order left, right, top, bottom; nothing when the theme has no such gradient.
void drawBorderSides(const ZORTheme& theme, ZORThemeStateMask mask, gfx::Rect drawingRect, std::uint64_t sides);

// The state of a bordered button as its bezel shows it.
struct BezelState {
    // The cell's state mask: its outline and dark line.
    ZORThemeStateMask stateMask { 0 };
    // What the fill shows (bezelGradientMask; for the recessed style, recessedFillMask).
    ZORThemeStateMask fillMask { 0 };
    ControlSize controlSize { ControlSize::Regular };
    bool enabled { true };
};

// The fill's mask: disabled; else on (4) for a button that shows its state by changing its background (show-state
// mask 12, highlight mask 12 or 14) and is on; else pressed (8) while highlighted.
ZORThemeStateMask bezelGradientMask(
    bool enabled, unsigned showsStateBy, unsigned highlightsBy, long state, bool highlighted);
// The recessed style's fill: pressed colours while on (the cell then forgets the pointer is inside), on colours while
// the pointer is inside, else the resting colours.
ZORThemeStateMask recessedFillMask(bool on, bool mouseIn);

// Where a bezel was drawn and where the cell's title goes in it (the image goes in the shape rectangle).
struct BezelRects {
    gfx::Rect shape;
    gfx::Rect title;
};

// A rounded rectangle (radius 4) filled with the theme's gradient.
BezelRects drawTexturedRoundedBezel(const ZORTheme& theme, gfx::Rect frame, const BezelState& state);
// A capsule filled with the theme's gradient.
BezelRects drawRoundRectBezel(const ZORTheme& theme, gfx::Rect frame, const BezelState& state);
// A rectangle as high as the control view less 3, filled with the theme's four-stop gradient; it casts the theme's
// drop shadow whenever enabled.
BezelRects drawSmallSquareBezel(
    const ZORTheme& theme, gfx::Rect frame, const BezelState& state, double controlViewHeight);
// Capsules filled with the theme's fill colour, without outlines; a disabled one is not filled.
BezelRects drawRoundedBezel(const ZORTheme& theme, gfx::Rect frame, const BezelState& state);
BezelRects drawRecessedBezel(const ZORTheme& theme, gfx::Rect frame, const BezelState& state);

// A check box or radio button.
struct CheckState {
    ZORThemeStateMask stateMask { 0 };
    ControlSize controlSize { ControlSize::Regular };
    bool enabled { true };
    bool highlighted { false };
    // 1 on, 0 off, −1 mixed.
    long state { 0 };
    // The platform's image position: 1 the box alone, 2 the box left of the title, 3 right of it.
    long imagePosition { 2 };
    // How far the frame moves down to centre the box in the control: usually half the difference between the
    // control view's height and the frame's, 0 in the rows of a heads-up table.
    double verticalShift { 0 };
};

// Draws the box (a radio button's is round) with its mark and answers the rectangle for the title.
gfx::Rect drawCheck(const ZORTheme& theme, gfx::Rect frame, const CheckState& state, bool isRadio);

// The arrows of a pop-up (a pair) or pull-down (one) button, in the theme's text colour for the mask, centred in a
// strip at the right end of the frame whose width depends on size and border.
void drawPopUpArrows(const ZORTheme& theme, gfx::Rect frame, ZORThemeStateMask mask, ZORBackgroundStyle backgroundStyle,
    ControlSize controlSize, bool bordered, bool pullsDown);

// The segmented control's drawing rectangle from the platform's: room for the shadow when the theme casts one.
gfx::Rect segmentedDrawingRect(const ZORTheme& theme, gfx::Rect platformRect);

// A segmented control's strip.
struct SegmentStrip {
    // The platform's segment style: 1 rounded, others square.
    long segmentStyle { 1 };
    bool enabled { true };
    ZORBackgroundStyle backgroundStyle { ZORBackgroundStyleValue::Light };
    // −1 for none.
    long selectedSegment { -1 };
    // Each segment's rectangle as the platform lays it out.
    std::span<const gfx::Rect> segmentRects;
};

// The outline in the theme's stroke colour and, clipped to it, each segment drawn by drawSegment in its rectangle
// cut to the drawing rectangle (by default drawSegmentOfStrip). Draws nothing and answers false when the theme has no
// stroke colour. The outline is laid once, over the segments, so that they never hide its inner half; its shadow,
// outside the line, goes first.
bool drawSegmentedStrip(const ZORTheme& theme, gfx::Rect drawingRect, const SegmentStrip& strip,
    const std::function<void(long segment, gfx::Rect rect)>& drawSegment = {});
// One segment: filled with the theme's gradient for the mask (disabled, on when selected, else 0) and, unless it is
// the last, a separator along its right edge in the stroke colour.
void drawSegment(const ZORTheme& theme, gfx::Rect rect, ZORThemeStateMask gradientMask, bool isLast);
// The segment of the strip, as drawSegmentedStrip draws it by default.
void drawSegmentOfStrip(const ZORTheme& theme, long segment, gfx::Rect rect, const SegmentStrip& strip);

// The look of a bordered view.
struct BorderedViewLook {
    std::uint64_t borderSides { 0 };
    // 0 stroke colour, 1 dark stroke colour, 2 grid colour; any other value draws no border.
    std::uint64_t borderStyle { 0 };
    // 0 rectangle, 1 rounded rectangle, 2 rounded top corners, 3 rounded bottom corners.
    std::uint64_t pathStyle { 0 };
    // A view's own gradients replace the theme's and fade out from left to right.
    std::shared_ptr<gfx::Gradient> activeBackgroundGradient;
    double activeBackgroundGradientAngle { 0 };
    std::shared_ptr<gfx::Gradient> inactiveBackgroundGradient;
    double inactiveBackgroundGradientAngle { 0 };
};

// A bordered view's background and borders in its (unflipped) bounds; an inactive view draws with the inactive bit.
void drawBorderedView(const ZORTheme& theme, gfx::Rect bounds, bool active, const BorderedViewLook& look);

}
