#include "frameworks/QFTabBarView/styles/QFTabStyleSupport.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarButtonCell.h"
#include "frameworks/QFTabBarView/QFTabBarViewBase.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace QFTabStyleSupport {

bool isSelected(const QFTabBarButtonCell& cell)
{
    return cell.state() == ui::ControlStateValue::On;
}

bool isSelected(const QFAttachedTabBarButton& button)
{
    return button.state() == ui::ControlStateValue::On;
}

bool isVertical(const QFTabBarViewBase& view)
{
    return view.orientation() == QFTabBarOrientation::Vertical;
}

std::shared_ptr<QFTabBarViewBase> tabBarOf(const QFTabBarButtonCell& cell)
{
    auto button = cell.controlView();
    return button ? QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(*button) : nullptr;
}

ui::Toolbar* windowToolbar(const ui::View& view)
{
    auto window = view.window();
    return window ? dynamic_cast<ui::Toolbar*>(window->toolbar().get()) : nullptr;
}

bool toolbarIsShown(const ui::View& view)
{
    auto* toolbar = windowToolbar(view);
    return toolbar && toolbar->isVisible();
}

bool toolbarShowsBaselineSeparator(const ui::View& view)
{
    auto* toolbar = windowToolbar(view);
    return toolbar && toolbar->showsBaselineSeparator();
}

gfx::ColorPtr lineGray()
{
    return gfx::Color::colorWithCalibratedWhite(0.576, 1.0);
}

void strokeLine(gfx::Point from, gfx::Point to, const gfx::ColorPtr& color)
{
    color->setStroke();
    gfx::BezierPath::strokeLineFromPoint(from, to);
}

void fillRect(gfx::Rect rect, const gfx::ColorPtr& color, gfx::CompositingOperation op)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    color->setFill();
    context->fillRectUsingOperation(rect, op);
}

void hoverFill(gfx::Rect rect)
{
    fillRect(rect, gfx::Color::colorWithCalibratedWhite(0.0, 0.1), gfx::CompositingOperation::SourceAtop);
}

double cardRadius(gfx::Rect rect)
{
    return std::min(6.0, std::min(rect.width(), rect.height()) / 2);
}

bool isZeroRect(gfx::Rect rect)
{
    return rect == gfx::ZeroRect;
}

gfx::Rect widenedStackingFrame(QFAttachedTabBarButton* button)
{
    gfx::Rect r = button ? button->stackingFrame() : gfx::Rect {};
    r.size.width += 1.0;
    return r;
}

std::shared_ptr<gfx::Image> image(const char* name)
{
    return tbcore::namedImage("QFTabBarView", name);
}

CloseImages::CloseImages(const Names& resources)
    : m_resources(resources)
{
    for (std::size_t i = 0; i < m_images.size(); ++i)
        m_images[i] = image(m_resources[i]);
}

std::shared_ptr<gfx::Image> CloseImages::imageOfType(long type) const
{
    // Types: 0 normal, 1 rollover, 2 pressed, 3 edited, 4 edited rollover, 5 edited pressed; the slots are in
    // declaration order (normal, pressed, rollover, ...).
    static constexpr std::array<std::size_t, 6> slotOfType { 0, 2, 1, 3, 5, 4 };
    if (!tbcore::isCloseImageType(type))
        return nullptr;
    return m_images[slotOfType[static_cast<std::size_t>(type)]];
}

void CloseImages::encode(fnd::Coder& coder, const Names& keys) const
{
    if (!coder.allowsKeyedCoding())
        return;
    for (std::size_t i = 0; i < m_images.size(); ++i)
        coder.encodeObject(m_images[i] ? fnd::Value(m_images[i]) : fnd::Value(), keys[i]);
}

void CloseImages::decode(fnd::Coder& coder, const Names& keys)
{
    if (!coder.allowsKeyedCoding())
        return;
    // A key the archive lacks keeps the bundle's picture.
    for (std::size_t i = 0; i < m_images.size(); ++i)
        if (auto decoded = fnd::decodeObjectOfClass<gfx::Image>(coder, keys[i]))
            m_images[i] = decoded;
}

}
