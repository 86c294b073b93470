#include "frameworks/ZTBTabBarControl/ZTBTabDragWindow.h"

#include "platform/graphics/Image.h"

FND_REGISTER_CLASS(ZTBTabDragView, tbcore::TabDragView)
FND_REGISTER_CLASS(ZTBTabDragWindow, tbcore::TabDragWindow)
FND_REGISTER_CLASS(ZTBTabDragWindowController, tbcore::TabDragWindowController)

std::shared_ptr<ZTBTabDragView> ZTBTabDragView::create(gfx::Rect frame, std::shared_ptr<gfx::Image> image)
{
    auto view = ui::makeView<ZTBTabDragView>(frame);
    view->setImage(std::move(image));
    return view;
}

std::shared_ptr<ZTBTabDragWindow> ZTBTabDragWindow::dragWindowWithImage(
    std::shared_ptr<gfx::Image> image, unsigned styleMask)
{
    auto window = fnd::makeObject<ZTBTabDragWindow>();
    const gfx::Size size = image ? image->size() : gfx::Size {};
    window->initWithImage(image, styleMask, ZTBTabDragView::create({ { 0, 0 }, size }, image));
    return window;
}

std::shared_ptr<ZTBTabDragWindowController> ZTBTabDragWindowController::create(
    std::shared_ptr<gfx::Image> image, unsigned styleMask, unsigned tearOffStyle)
{
    auto controller = fnd::makeObject<ZTBTabDragWindowController>();
    controller->initWithWindow(ZTBTabDragWindow::dragWindowWithImage(std::move(image), styleMask), tearOffStyle);
    return controller;
}
