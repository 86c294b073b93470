#pragma once

#include "platform/ui/views/Window.h"

// A window whose background is always the system's control highlight colour, also when it comes from an interface
// file that sets another.
class ZORGreyBackgroundWindow : public ui::Window {
    FND_OBJECT(ZORGreyBackgroundWindow)
    static void describeClass(fnd::ClassBuilder<ZORGreyBackgroundWindow>& c);

public:
    ZORGreyBackgroundWindow() = default;
    static std::shared_ptr<ZORGreyBackgroundWindow> create(
        gfx::Rect contentRect, unsigned styleMask = ui::WindowStyleMask::Titled);
    void init();

    void setupWindow();
    // An interface file sets its keys before this: the grey wins over its background.
    void awakeFromNib() { setupWindow(); }
};
