#pragma once

#include "frameworks/tab-bar-core/TabDragWindow.h"

// The floating window of a torn-off tab, its picture view and its controller: the shared drag window under this
// family's own class names, which interface files and archives find by name.
class QFTabDragView : public tbcore::TabDragView {
    FND_OBJECT(QFTabDragView)

public:
    static std::shared_ptr<QFTabDragView> create(gfx::Rect frame, std::shared_ptr<gfx::Image> image);
};

class QFTabDragWindow : public tbcore::TabDragWindow {
    FND_OBJECT(QFTabDragWindow)

public:
    static std::shared_ptr<QFTabDragWindow> dragWindowWithImage(std::shared_ptr<gfx::Image> image, unsigned styleMask);
};

class QFTabDragWindowController : public tbcore::TabDragWindowController {
    FND_OBJECT(QFTabDragWindowController)

public:
    static std::shared_ptr<QFTabDragWindowController> create(
        std::shared_ptr<gfx::Image> image, unsigned styleMask, unsigned tearOffStyle);
};
