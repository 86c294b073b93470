#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/Window.h"

#include <memory>

// What a window flip needs: the window to turn to (not kept alive), the seconds the turn takes, and whether the
// turning cards cast a shadow.
class FlipArguments : public fnd::Object {
    FND_OBJECT(FlipArguments)

public:
    FlipArguments() = default;
    static std::shared_ptr<FlipArguments> initWithToWindow(
        const std::shared_ptr<ui::Window>& toWindow, double flipDuration, bool shadowed);

    std::shared_ptr<ui::Window> toWindow() const { return m_toWindow.lock(); }
    double duration() const { return m_duration; }
    bool shadowed() const { return m_shadowed; }

private:
    std::weak_ptr<ui::Window> m_toWindow;
    double m_duration { 0 };
    bool m_shadowed { false };
};
