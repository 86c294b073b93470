#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentation.h"

#include "platform/ui/views/ViewAnimation.h"

FND_REGISTER_CLASS(ZORSheetPresentation, fnd::Object)

namespace {

// Steps of the dimming a second: 40 % black is 102 levels, so each step moves it by about three (five where the
// eased curve is steepest), which looks as smooth as sixty; a window system that paints the whole window for every
// step (GTK's renderers do) spends half as much on the fade.
constexpr float FadeStepsPerSecond = 30;

std::shared_ptr<ui::ViewAnimation> fadeAnimation(
    const std::shared_ptr<ZORSheetPresentationView>& overlay, const fnd::String& effect)
{
    auto animation = ui::ViewAnimation::create({ {
        { ui::ViewAnimationKey::Target, fnd::Value(overlay) },
        { ui::ViewAnimationKey::Effect, effect },
    } });
    animation->setDuration(ZORSheetPresentation::FadeDuration);
    animation->setFrameRate(FadeStepsPerSecond);
    return animation;
}

}

ZORSheetPresentation::ZORSheetPresentation(Key)
{
}

std::shared_ptr<ZORSheetPresentation> ZORSheetPresentation::sharedPointer()
{
    // Held for the whole process: animations hold their delegate weakly.
    static const auto shared = std::make_shared<ZORSheetPresentation>(Key {});
    return shared;
}

ZORSheetPresentation& ZORSheetPresentation::sharedSheetPresentation()
{
    return *sharedPointer();
}

std::shared_ptr<ZORSheetPresentationView> ZORSheetPresentation::presentationViewForWindow(const ui::Window& window)
{
    const auto& content = window.contentView();
    if (!content)
        return nullptr;
    const auto& subviews = content->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        if (auto overlay = std::dynamic_pointer_cast<ZORSheetPresentationView>(*it))
            return overlay;
    }
    return nullptr;
}

void ZORSheetPresentation::prepareSheetPresentationForWindow(ui::Window& window)
{
    if (auto overlay = presentationViewForWindow(window)) {
        // A sheet that opens again before the last one's overlay has gone: the window stays dimmed, unless dimming
        // is off, when the overlay goes as it was going.
        if (overlay->isFadingOut() && m_useHighlightEffect) {
            auto fadeOut = overlay->fade();
            fadeOut->setDelegate(nullptr);
            fadeOut->stopAnimation();
            fadeIn(overlay);
        }
        return;
    }
    if (!m_useHighlightEffect)
        return;
    const auto& content = window.contentView();
    if (!content)
        return;
    auto overlay = ZORSheetPresentationView::create(content->bounds());
    overlay->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
    content->addSubview(overlay);
    fadeIn(overlay);
}

void ZORSheetPresentation::fadeIn(const std::shared_ptr<ZORSheetPresentationView>& overlay)
{
    auto animation = fadeAnimation(overlay, ui::ViewAnimationEffect::FadeIn);
    overlay->setFade(animation, false);
    animation->startAnimation();
}

void ZORSheetPresentation::cleanUpSheetPresentationForWindow(ui::Window& window)
{
    auto overlay = presentationViewForWindow(window);
    if (!overlay || overlay->isFadingOut())
        return;
    if (auto fadeIn = overlay->fade())
        fadeIn->stopAnimation();
    auto animation = fadeAnimation(overlay, ui::ViewAnimationEffect::FadeOut);
    animation->setDelegate(sharedPointer());
    overlay->setFade(animation, true);
    animation->startAnimation();
}

void ZORSheetPresentation::animationDidEnd(ui::Animation& animation)
{
    auto* viewAnimation = dynamic_cast<ui::ViewAnimation*>(&animation);
    if (!viewAnimation || viewAnimation->viewAnimations().empty())
        return;
    auto target = viewAnimation->viewAnimations().front().get(ui::ViewAnimationKey::Target).objectAs<ui::View>();
    if (target)
        target->removeFromSuperview();
}
