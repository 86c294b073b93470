#include "frameworks/ZORAppKit/ZORWindow/ZORGreyBackgroundWindow.h"

#include "platform/foundation/runtime/ClassBuilder.h"

FND_REGISTER_CLASS(ZORGreyBackgroundWindow, ui::Window)

void ZORGreyBackgroundWindow::describeClass(fnd::ClassBuilder<ZORGreyBackgroundWindow>& c)
{
    c.action("awakeFromNib", &ZORGreyBackgroundWindow::awakeFromNib);
}

std::shared_ptr<ZORGreyBackgroundWindow> ZORGreyBackgroundWindow::create(gfx::Rect contentRect, unsigned styleMask)
{
    auto window = fnd::makeObject<ZORGreyBackgroundWindow>();
    window->initWithContentRect(contentRect, styleMask);
    window->setupWindow();
    return window;
}

void ZORGreyBackgroundWindow::init()
{
    ui::Window::init();
    setupWindow();
}

void ZORGreyBackgroundWindow::setupWindow()
{
    setBackgroundColor(gfx::Color::controlHighlightColor());
}
