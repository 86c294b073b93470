#include "frameworks/QFTabBarView/QFTabDragWindow.h"

#include "platform/graphics/Image.h"

FND_REGISTER_CLASS(QFTabDragView, tbcore::TabDragView)
FND_REGISTER_CLASS(QFTabDragWindow, tbcore::TabDragWindow)
FND_REGISTER_CLASS(QFTabDragWindowController, tbcore::TabDragWindowController)

std::shared_ptr<QFTabDragView> QFTabDragView::create(gfx::Rect frame, std::shared_ptr<gfx::Image> image)
{
    auto view = ui::makeView<QFTabDragView>(frame);
    view->setImage(std::move(image));
    return view;
}

std::shared_ptr<QFTabDragWindow> QFTabDragWindow::dragWindowWithImage(
    std::shared_ptr<gfx::Image> image, unsigned styleMask)
{
    auto window = fnd::makeObject<QFTabDragWindow>();
    const gfx::Size size = image ? image->size() : gfx::Size {};
    window->initWithImage(image, styleMask, QFTabDragView::create({ { 0, 0 }, size }, image));
    return window;
}

std::shared_ptr<QFTabDragWindowController> QFTabDragWindowController::create(
    std::shared_ptr<gfx::Image> image, unsigned styleMask, unsigned tearOffStyle)
{
    auto controller = fnd::makeObject<QFTabDragWindowController>();
    controller->initWithWindow(QFTabDragWindow::dragWindowWithImage(std::move(image), styleMask), tearOffStyle);
    return controller;
}
