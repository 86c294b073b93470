#pragma once

#include "platform/ui/views/Window.h"

// A window whose resize indicator and zoom button can be switched off. The flags record what was last set through
// them (false until then, whatever the window shows); the style, and so whether the edges resize the window, stays.
class ZORWindow : public ui::Window {
    FND_OBJECT(ZORWindow)
    static void describeClass(fnd::ClassBuilder<ZORWindow>& c);

public:
    ZORWindow() = default;
    static std::shared_ptr<ZORWindow> create(gfx::Rect contentRect, unsigned styleMask = ui::WindowStyleMask::Titled);

    bool canResize() const { return m_canResize; }
    void setCanResize(bool flag);
    bool canZoom() const { return m_canZoom; }
    void setCanZoom(bool flag);

private:
    bool m_canResize { false };
    bool m_canZoom { false };
};
