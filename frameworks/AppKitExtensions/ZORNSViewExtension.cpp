#include "frameworks/AppKitExtensions/ZORNSViewExtension.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/views/ViewAnimation.h"

#include <cmath>

namespace ZORNSViewExtension {

namespace {

// A fade-out that takes its view out of the tree at the end, also when it is stopped early.
class OverlayRemoval final : public ui::ViewAnimation {
protected:
    void didFinish(bool reachedEnd) override
    {
        ui::ViewAnimation::didFinish(reachedEnd);
        for (const auto& entry : viewAnimations()) {
            if (auto view = entry.get(ui::ViewAnimationKey::Target).objectAs<ui::View>())
                view->removeFromSuperview();
        }
    }
};

fnd::Dictionary fade(const std::shared_ptr<ui::View>& view, const fnd::String& effect)
{
    return { { ui::ViewAnimationKey::Target, fnd::Value(view) }, { ui::ViewAnimationKey::Effect, effect } };
}

void collect(const ui::View& view, const fnd::ClassInfo* cls, std::vector<std::shared_ptr<ui::View>>& into)
{
    for (const auto& subview : view.subviews()) {
        if (!cls || subview->isKindOf(*cls))
            into.push_back(subview);
        collect(*subview, cls, into);
    }
}

}

void zorBringToFront(ui::View& view)
{
    auto superview = view.superview();
    if (!superview)
        return;
    superview->sortSubviewsUsingFunction([&view](const ui::View& a, const ui::View& b) {
        if (&a == &view)
            return ui::ComparisonResult::Descending;
        if (&b == &view)
            return ui::ComparisonResult::Ascending;
        return ui::ComparisonResult::Same;
    });
}

std::vector<std::shared_ptr<ui::View>> descendantsKindOfClass(const ui::View& view, const fnd::ClassInfo* cls)
{
    std::vector<std::shared_ptr<ui::View>> descendants;
    collect(view, cls, descendants);
    return descendants;
}

gfx::Size scale(const ui::View& view)
{
    auto size = view.convertSizeToView({ 1, 1 }, nullptr);
    return { std::abs(size.width), std::abs(size.height) };
}

void resetScaling(ui::View& view)
{
    auto size = view.convertSizeFromView({ 1, 1 }, nullptr);
    view.scaleUnitSquareToSize({ std::abs(size.width), std::abs(size.height) });
}

void setScale(ui::View& view, gfx::Size size)
{
    resetScaling(view);
    view.scaleUnitSquareToSize(size);
    view.setNeedsDisplay(true);
}

std::shared_ptr<gfx::Image> imageWithSubviews(ui::View& view)
{
    const gfx::Rect bounds = view.bounds();
    auto image = gfx::Image::imageWithSize(bounds.size);
    if (auto bitmap = view.bitmapImageRepForCachingDisplayInRect(bounds)) {
        view.cacheDisplayInRect(bounds, *bitmap);
        bitmap->setSize(bounds.size);
        image->addRepresentation(bitmap);
    }
    return image;
}

void addOverlayView(ui::View& view, const std::shared_ptr<ui::View>& overlay, ui::WindowOrderingMode ordering)
{
    auto superview = view.superview();
    if (!superview || !overlay)
        return;
    auto* hooks = dynamic_cast<OverlayView*>(overlay.get());
    if (hooks)
        hooks->viewWillBecomeOverlay();
    const auto place
        = ordering == ui::WindowOrderingMode::Above ? ui::WindowOrderingMode::Above : ui::WindowOrderingMode::Below;
    superview->addSubview(overlay, place, &view);
    auto animation = ui::ViewAnimation::create({ fade(overlay, ui::ViewAnimationEffect::FadeIn) });
    animation->setDuration(OverlayAnimationDuration);
    animation->startAnimation();
    if (hooks)
        hooks->viewDidBecomeOverlay();
}

void addOverlayView(
    ui::View& view, const std::shared_ptr<ui::View>& overlay, ui::WindowOrderingMode ordering, bool attachToMouse)
{
    (void)attachToMouse;
    addOverlayView(view, overlay, ordering);
}

void removeOverlayView(ui::View& view, const std::shared_ptr<ui::View>& overlay)
{
    (void)view;
    if (!overlay)
        return;
    auto* hooks = dynamic_cast<OverlayView*>(overlay.get());
    if (hooks)
        hooks->viewWillResignOverlay();
    auto animation = fnd::makeObject<OverlayRemoval>();
    animation->setViewAnimations({ fade(overlay, ui::ViewAnimationEffect::FadeOut) });
    animation->setDuration(OverlayAnimationDuration);
    animation->startAnimation();
    if (hooks)
        hooks->viewDidResignOverlay();
}

gfx::Rect adjustedFrameForOverlay(const ui::View& view, const ui::View& overlay)
{
    (void)view;
    return overlay.frame();
}

}
