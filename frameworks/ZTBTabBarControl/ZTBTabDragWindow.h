#pragma once

#include "frameworks/tab-bar-core/TabDragWindow.h"

// The floating window of a torn-off tab, its picture view and its controller: the shared drag window under this
// family's own class names, which interface files and archives find by name.
class ZTBTabDragView : public tbcore::TabDragView {
    FND_OBJECT(ZTBTabDragView)

public:
    static std::shared_ptr<ZTBTabDragView> create(gfx::Rect frame, std::shared_ptr<gfx::Image> image);
};

class ZTBTabDragWindow : public tbcore::TabDragWindow {
    FND_OBJECT(ZTBTabDragWindow)

public:
    static std::shared_ptr<ZTBTabDragWindow> dragWindowWithImage(std::shared_ptr<gfx::Image> image, unsigned styleMask);
};

class ZTBTabDragWindowController : public tbcore::TabDragWindowController {
    FND_OBJECT(ZTBTabDragWindowController)

public:
    static std::shared_ptr<ZTBTabDragWindowController> create(
        std::shared_ptr<gfx::Image> image, unsigned styleMask, unsigned tearOffStyle);
};
