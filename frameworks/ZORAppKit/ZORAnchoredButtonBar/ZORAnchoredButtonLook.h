#pragma once

#include "frameworks/AppKitExtensions/ZORStopGradient.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"

#include <memory>

namespace ui {
class View;
}

// The fixed look of the bar-style buttons: colours, gradient and text shadow made once for the life of the process,
// and the faces drawn with them. Edge lines are one device pixel wide (zorDrawPixelThickLineAtPosition).
namespace ZORAnchoredButtonLook {

struct Palette {
    std::shared_ptr<ZORStopGradient> faceGradient;
    gfx::ColorPtr bottomBarTopLine; // white 202/255: top edge of buttons in a bar at the bottom
    gfx::ColorPtr topBarTopLine; // white 190/255: top edge of buttons in a bar at the top
    gfx::ColorPtr bottomLine; // white 170/255: bottom edge, and the outer edges of a top bar's end buttons
    gfx::ColorPtr bottomBarSideLine; // black at 0.2
    gfx::ColorPtr topBarSideLine; // black at 0.25
    gfx::ColorPtr innerHighlight; // white at 0.5, one pixel inside the sides
    gfx::ColorPtr pressedOverlay; // black at 0.35
    gfx::ColorPtr textColor; // white 10/255
    gfx::ColorPtr disabledTextColor; // the same at 0.6
    gfx::ColorPtr imageColor; // white 72/255
    gfx::ColorPtr disabledImageColor; // the same at 0.6
    std::shared_ptr<gfx::Shadow> textShadow; // white at 0.75, one point down
    // A small arrow pointing down, for pull-downs (nullptr when the resource is missing).
    std::shared_ptr<gfx::Image> pullDownArrow;
};
const Palette& anchored();

// The free-standing button's own set.
struct FreeStandingPalette {
    std::shared_ptr<ZORStopGradient> faceGradient;
    gfx::ColorPtr topLine; // black at 0.08
    gfx::ColorPtr secondLine; // white 126/255
    gfx::ColorPtr lowerAndSideLines; // white 151/255
    gfx::ColorPtr bottomLine; // white at 0.54
};
const FreeStandingPalette& freeStanding();

// The face of a button in an anchored bar: the gradient and its edge lines, with the look of a bar at the bottom
// when the button's superview is such a bar, else of a bar at the top (whose end buttons also close the bar's sides).
void drawAnchoredFace(gfx::Rect frame, ui::View& controlView);
// The face of a free-standing button.
void drawFreeStandingFace(gfx::Rect frame, ui::View& controlView);
// The dark overlay of a pressed button over the rectangle.
void drawPressedOverlay(gfx::Rect rect);

// The system font of size 11 in the colour with the text shadow, over the given attributes.
fnd::Dictionary textAttributes(fnd::Dictionary attributes, const gfx::ColorPtr& color);

// The image platforms show as the action gear; bar buttons draw it 10 points square.
bool isActionTemplate(const gfx::Image& image);
gfx::Rect actionTemplateRect(gfx::Rect in);

}
