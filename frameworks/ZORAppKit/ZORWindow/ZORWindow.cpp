#include "frameworks/ZORAppKit/ZORWindow/ZORWindow.h"

#include "platform/foundation/runtime/ClassBuilder.h"

FND_REGISTER_CLASS(ZORWindow, ui::Window)

void ZORWindow::describeClass(fnd::ClassBuilder<ZORWindow>& c)
{
    c.property("canResize", &ZORWindow::canResize, &ZORWindow::setCanResize);
    c.property("canZoom", &ZORWindow::canZoom, &ZORWindow::setCanZoom);
}

std::shared_ptr<ZORWindow> ZORWindow::create(gfx::Rect contentRect, unsigned styleMask)
{
    auto window = fnd::makeObject<ZORWindow>();
    window->initWithContentRect(contentRect, styleMask);
    return window;
}

void ZORWindow::setCanResize(bool flag)
{
    setShowsResizeIndicator(flag);
    m_canResize = flag;
}

void ZORWindow::setCanZoom(bool flag)
{
    setStandardWindowButtonEnabled(ui::WindowButton::Zoom, flag);
    m_canZoom = flag;
}
