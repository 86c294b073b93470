#include "platform/ui/dragging/DragImageWindow.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

namespace ui {

namespace {

// Draws the drag's image over the whole window, so the window is exactly the picture.
class DragImageView : public View {
public:
    void setImage(std::shared_ptr<gfx::Image> image) { m_image = std::move(image); }
    void drawRect(gfx::Rect) override
    {
        if (m_image)
            m_image->drawInRect(bounds(), { { 0, 0 }, m_image->size() }, gfx::CompositingOperation::SourceOver, 1.0);
    }

private:
    std::shared_ptr<gfx::Image> m_image;
};

std::weak_ptr<Window>& currentWindow()
{
    static std::weak_ptr<Window> window;
    return window;
}

}

DragImageWindow::DragImageWindow(const std::shared_ptr<gfx::Image>& image, gfx::Point imageOrigin)
{
    const gfx::Size size = image ? image->size() : gfx::Size {};
    if (!(size.width > 0 && size.height > 0))
        return;
    m_window = Window::create({ imageOrigin, size }, WindowStyleMask::Borderless);
    auto view = makeView<DragImageView>({ { 0, 0 }, size });
    view->setImage(image);
    m_window->setContentView(view);
    m_window->setLevel(WindowLevel::Status);
    m_window->setIgnoresMouseEvents(true);
    m_window->setOpaque(false);
    m_window->setBackgroundColor(gfx::Color::clearColor());
    m_window->setHasShadow(false);
    m_window->orderFront();
    currentWindow() = m_window;
}

DragImageWindow::~DragImageWindow()
{
    if (!m_window)
        return;
    if (currentWindow().lock() == m_window)
        currentWindow().reset();
    m_window->orderOut();
    m_window->close();
}

void DragImageWindow::moveTo(gfx::Point imageOrigin)
{
    if (m_window && m_window->frame().origin != imageOrigin)
        m_window->setFrame({ imageOrigin, m_window->frame().size }, true);
}

std::shared_ptr<Window> draggedImageWindow()
{
    return currentWindow().lock();
}

}
