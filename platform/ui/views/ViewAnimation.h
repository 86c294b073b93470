#pragma once

#include "platform/ui/views/Animation.h"
#include "platform/ui/views/Forward.h"

#include <vector>

namespace ui {

// Keys of a view animation's dictionaries, and the effects, by the platform's names.
namespace ViewAnimationKey {
inline const fnd::String Target = "NSViewAnimationTargetKey";
inline const fnd::String StartFrame = "NSViewAnimationStartFrameKey";
inline const fnd::String EndFrame = "NSViewAnimationEndFrameKey";
inline const fnd::String Effect = "NSViewAnimationEffectKey";
}
namespace ViewAnimationEffect {
inline const fnd::String FadeIn = "NSViewAnimationFadeInEffect";
inline const fnd::String FadeOut = "NSViewAnimationFadeOutEffect";
}

// Moves, resizes and fades views and windows, one dictionary per target: the target (a view or a window), optional
// start and end frames (the current frame when absent) and an optional fade effect. Other keys stay in the
// dictionaries for the delegate to read. Views and windows fade through their alpha. A view fading in is shown at the
// start and ends opaque; one fading out (or reaching an empty end frame) is hidden at the end, its alpha restored. A
// window fading out is ordered out at the end with its alpha restored. Defaults: 0.5 s, ease in and out, nonblocking.
class ViewAnimation : public Animation {
    FND_OBJECT(ViewAnimation)

public:
    ViewAnimation();
    static std::shared_ptr<ViewAnimation> create(std::vector<fnd::Dictionary> viewAnimations);

    const std::vector<fnd::Dictionary>& viewAnimations() const { return m_viewAnimations; }
    // Taken into account at the next start.
    void setViewAnimations(std::vector<fnd::Dictionary> viewAnimations)
    {
        m_viewAnimations = std::move(viewAnimations);
    }

    void startAnimation() override;
    void setCurrentProgress(AnimationProgress progress) override;

protected:
    void didFinish(bool reachedEnd) override;

private:
    struct Track {
        std::shared_ptr<View> view;
        std::shared_ptr<Window> window;
        gfx::Rect startFrame;
        gfx::Rect endFrame;
        bool fadeIn { false };
        bool fadeOut { false };
        double originalAlpha { 1 };
        double fadeFrom { 0 };
    };

    void apply(float value);

    std::vector<fnd::Dictionary> m_viewAnimations;
    std::vector<Track> m_tracks;
};

}
