#include "platform/ui/views/ViewAnimation.h"

#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

namespace ui {

FND_REGISTER_CLASS(ViewAnimation, Animation)

namespace {

gfx::Rect interpolate(const gfx::Rect& from, const gfx::Rect& to, double t)
{
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    return { mix(from.minX(), to.minX()), mix(from.minY(), to.minY()), mix(from.width(), to.width()),
        mix(from.height(), to.height()) };
}

}

ViewAnimation::ViewAnimation()
{
    setDuration(0.5);
    setAnimationCurve(AnimationCurve::EaseInOut);
    setAnimationBlockingMode(AnimationBlockingMode::Nonblocking);
}

std::shared_ptr<ViewAnimation> ViewAnimation::create(std::vector<fnd::Dictionary> viewAnimations)
{
    auto animation = fnd::makeObject<ViewAnimation>();
    animation->m_viewAnimations = std::move(viewAnimations);
    return animation;
}

void ViewAnimation::startAnimation()
{
    if (isAnimating())
        return;
    m_tracks.clear();
    for (const auto& entry : m_viewAnimations) {
        Track track;
        const auto target = entry.get(ViewAnimationKey::Target);
        track.view = target.objectAs<View>();
        track.window = target.objectAs<Window>();
        if (!track.view && !track.window)
            continue;
        const gfx::Rect current = track.view ? track.view->frame() : track.window->frame();
        track.startFrame = entry.get(ViewAnimationKey::StartFrame).rect().value_or(current);
        track.endFrame = entry.get(ViewAnimationKey::EndFrame).rect().value_or(current);
        const auto effect = entry.get(ViewAnimationKey::Effect).stringValue();
        track.fadeIn = effect == ViewAnimationEffect::FadeIn;
        track.fadeOut = effect == ViewAnimationEffect::FadeOut;
        if (track.window)
            track.originalAlpha = track.window->alphaValue();
        if (track.view) {
            // A view fades in to full opacity; one already shown and partly faded (a fade-out stopped halfway)
            // continues from where it is. A fade-out starts from the view's alpha and restores it at the end.
            track.originalAlpha = track.view->alphaValue();
            const bool partlyShown = !track.view->isHidden() && track.view->alphaValue() < 1;
            track.fadeFrom = track.fadeIn ? (partlyShown ? track.view->alphaValue() : 0) : track.originalAlpha;
        }
        m_tracks.push_back(std::move(track));
    }
    // What shows from the first frame on.
    for (auto& track : m_tracks) {
        if (track.view && track.fadeIn) {
            track.view->setAlphaValue(track.fadeFrom);
            track.view->setHidden(false);
        }
        if (track.window && track.fadeIn) {
            track.window->setAlphaValue(0);
            if (!track.window->isVisible())
                track.window->orderFront();
        }
    }
    Animation::startAnimation();
}

void ViewAnimation::setCurrentProgress(AnimationProgress progress)
{
    Animation::setCurrentProgress(progress);
    if (isAnimating())
        apply(currentValue());
}

void ViewAnimation::apply(float value)
{
    for (auto& track : m_tracks) {
        const gfx::Rect frame = interpolate(track.startFrame, track.endFrame, value);
        if (track.view) {
            if (track.view->frame() != frame)
                track.view->setFrame(frame);
            if (track.fadeIn)
                track.view->setAlphaValue(track.fadeFrom + (1 - track.fadeFrom) * value);
            else if (track.fadeOut)
                track.view->setAlphaValue(track.fadeFrom * (1 - value));
            continue;
        }
        if (track.window->frame() != frame)
            track.window->setFrame(frame, true);
        if (track.fadeIn)
            track.window->setAlphaValue(track.originalAlpha * value);
        else if (track.fadeOut)
            track.window->setAlphaValue(track.originalAlpha * (1 - value));
    }
}

void ViewAnimation::didFinish(bool reachedEnd)
{
    // A stopped animation leaves everything where it was.
    if (reachedEnd) {
        for (auto& track : m_tracks) {
            if (track.view) {
                track.view->setFrame(track.endFrame);
                if (track.fadeIn)
                    track.view->setAlphaValue(1);
                if (track.fadeOut || track.endFrame.isEmpty())
                    track.view->setHidden(true);
                if (track.fadeOut)
                    track.view->setAlphaValue(track.originalAlpha);
                continue;
            }
            track.window->setFrame(track.endFrame, true);
            if (track.fadeOut) {
                track.window->orderOut();
                track.window->setAlphaValue(track.originalAlpha);
            } else if (track.fadeIn) {
                track.window->setAlphaValue(track.originalAlpha);
            }
        }
    }
    m_tracks.clear();
}

}
