#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/views/View.h"

#include <memory>
#include <vector>

// Small operations several views of the framework share: bringing a view in front of its siblings, collecting
// descendants by class, scaling to an absolute scale, snapshots, and overlay views that fade in beside a view.
namespace ZORNSViewExtension {

// Seconds an overlay takes to fade in or out.
inline constexpr double OverlayAnimationDuration = 0.5;

// Hooks an overlay view may answer: addOverlayView and removeOverlayView call them around the change.
class OverlayView {
public:
    virtual ~OverlayView() = default;
    virtual void viewWillBecomeOverlay() { }
    virtual void viewDidBecomeOverlay() { }
    virtual void viewWillResignOverlay() { }
    virtual void viewDidResignOverlay() { }
};

// Moves the view to the end of its superview's subviews (frontmost); the others keep their order.
void zorBringToFront(ui::View& view);

// Depth first in subview order: every descendant of the class (any class for nullptr), each followed by its own.
std::vector<std::shared_ptr<ui::View>> descendantsKindOfClass(const ui::View& view, const fnd::ClassInfo* cls);

// The size in window coordinates of one unit of the view.
gfx::Size scale(const ui::View& view);
// Scales the view's unit square so that one unit of the view is one unit of the window again.
void resetScaling(ui::View& view);
// One unit of the view becomes `size` units of the window.
void setScale(ui::View& view, gfx::Size size);

// The view's bounds as drawn with its subviews, as an image of the bounds' size.
std::shared_ptr<gfx::Image> imageWithSubviews(ui::View& view);

// Adds the overlay to the view's superview directly above (ordering Above) or below the view and fades it in; the
// overlay hears of it when it answers OverlayView. Nothing happens for a view without a superview.
void addOverlayView(ui::View& view, const std::shared_ptr<ui::View>& overlay, ui::WindowOrderingMode ordering);
// The same; the overlay is not tied to the mouse.
void addOverlayView(
    ui::View& view, const std::shared_ptr<ui::View>& overlay, ui::WindowOrderingMode ordering, bool attachToMouse);
// Fades the overlay out and then removes it from its superview.
void removeOverlayView(ui::View& view, const std::shared_ptr<ui::View>& overlay);
// Where an overlay of the view goes: its own frame.
gfx::Rect adjustedFrameForOverlay(const ui::View& view, const ui::View& overlay);

}
