#pragma once

#include "platform/graphics/Geometry.h"

// What a tab bar's hiding and showing does to the view beside it (or to the window), and the cross-fade steps of the
// floating drag windows: plain arithmetic both families share.
namespace tbcore {

// Where the view that takes the bar's room lies.
enum class HideShowPartner {
    // The bar lies past the partner's max edge (above it, or right of it): the partner grows or shrinks there.
    BarAtMaxEdge,
    // The bar lies before the partner's min edge: the partner's origin moves as it grows or shrinks.
    BarAtMinEdge,
    // No partner: the window itself gives up (or takes back) the room at its min edge.
    Window,
};

// Which side of the partner the bar lies on. A horizontal bar of that thickness counts as above the partner when its
// origin lies more than its thickness above the partner's; a vertical bar is right of a partner that ends before it.
HideShowPartner partnerPlacement(gfx::Rect bar, gfx::Rect partner, bool vertical, double thickness);

// The bar's and its partner's (or window's) frames once the bar is hidden or shown again. `thickness` is the bar's
// size across its length when shown (height, or width for a vertical bar); a hidden bar keeps a strip of `strip`
// points, so hiding hands thickness − strip points to the partner and showing takes exactly as many back.
struct HideShowFrames {
    gfx::Rect bar;
    gfx::Rect partner;
};
HideShowFrames hideShowFrames(gfx::Rect bar, gfx::Rect partner, bool vertical, HideShowPartner placement, bool hide,
    double thickness, double strip = 0);

// One tick of the cross-fade between the tab window and the content window (0.15 per 1/30 s, up to 0.75). Answers
// false when the fade is over and its timer should stop.
struct DragFade {
    static constexpr double Step = 0.15;
    static constexpr double Opaque = 0.75;
    static constexpr double Interval = 1.0 / 30.0;
    // The content window appears while the tab window fades.
    static bool stepIn(double& tabAlpha, double& contentAlpha, bool hasTabWindow);
    // The tab window comes back while the content window fades out.
    static bool stepOut(double& tabAlpha, double& contentAlpha);
};

}
