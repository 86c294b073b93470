#pragma once

#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentationView.h"

#include "platform/ui/views/Animation.h"
#include "platform/ui/views/Window.h"

// Dims a window's content while a sheet is shown on it. The caller prepares the parent window just before it begins
// the sheet and cleans it up when the sheet has ended: the overlay fades in over one second, and out again, and is
// removed once it has faded out. The overlays are found again in the windows' content views, so nothing is held
// here. One shared instance for the whole process, never freed; main thread only.
class ZORSheetPresentation final : public fnd::Object, public ui::AnimationDelegate {
    FND_OBJECT(ZORSheetPresentation)

    struct Key {
        explicit Key() = default;
    };

public:
    static constexpr double FadeDuration = 1.0;

    explicit ZORSheetPresentation(Key);
    static ZORSheetPresentation& sharedSheetPresentation();

    // With false, preparing adds no overlay; cleaning up still fades out one added earlier.
    bool useHighlightEffect() const { return m_useHighlightEffect; }
    void setUseHighlightEffect(bool flag) { m_useHighlightEffect = flag; }

    // The topmost overlay among the subviews of the window's content view, or nullptr.
    static std::shared_ptr<ZORSheetPresentationView> presentationViewForWindow(const ui::Window& window);

    // Adds an overlay over the whole content view (following its size) and fades it in. A window that is dimmed
    // already gets no second one; one whose overlay is fading out gets that overlay faded back in.
    void prepareSheetPresentationForWindow(ui::Window& window);
    // Fades the window's overlay out and removes it at the end; nothing without an overlay.
    void cleanUpSheetPresentationForWindow(ui::Window& window);

    // The end of a fade-out, whether it ran to the end or was stopped: the overlay goes.
    void animationDidEnd(ui::Animation& animation) override;
    void animationDidStop(ui::Animation& animation) override { animationDidEnd(animation); }

private:
    static std::shared_ptr<ZORSheetPresentation> sharedPointer();
    void fadeIn(const std::shared_ptr<ZORSheetPresentationView>& overlay);

    bool m_useHighlightEffect { true };
};
