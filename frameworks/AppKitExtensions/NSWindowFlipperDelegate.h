#pragma once

#include "platform/layers/LayerAnimation.h"
#include "platform/ui/views/Window.h"

#include <memory>

// Ends a window flip when the turn's animation stops, whether it ran to its end or not: the two flip windows close
// and the target window shows, opaque and key. The animation keeps it alive; it keeps none of the windows alive.
class NSWindowFlipperDelegate : public ui::LayerAnimationDelegate {
public:
    NSWindowFlipperDelegate(const std::shared_ptr<ui::Window>& fromWindow, const std::shared_ptr<ui::Window>& toWindow,
        const std::shared_ptr<ui::Window>& fromFlipWindow, const std::shared_ptr<ui::Window>& toFlipWindow);

    std::shared_ptr<ui::Window> fromWindow() const { return m_fromWindow.lock(); }
    std::shared_ptr<ui::Window> toWindow() const { return m_toWindow.lock(); }
    std::shared_ptr<ui::Window> fromFlipWindow() const { return m_fromFlipWindow.lock(); }
    std::shared_ptr<ui::Window> toFlipWindow() const { return m_toFlipWindow.lock(); }

    void animationDidStop(ui::LayerAnimation& animation, bool finished) override;

private:
    std::weak_ptr<ui::Window> m_fromWindow;
    std::weak_ptr<ui::Window> m_toWindow;
    std::weak_ptr<ui::Window> m_fromFlipWindow;
    std::weak_ptr<ui::Window> m_toFlipWindow;
    bool m_ended { false };
};
