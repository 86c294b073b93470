#include "platform/ui/controls/ColorWell.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(ColorWell, Control)

void ColorWell::describeClass(fnd::ClassBuilder<ColorWell>& c)
{
    c.property("color", &ColorWell::color, &ColorWell::setColor);
    c.property("bordered", &ColorWell::isBordered, &ColorWell::setBordered);
    c.property("active", &ColorWell::isActive);
    c.action("takeColorFrom:", &ColorWell::takeColorFrom);
    c.action("changeColor:", &ColorWell::changeColor);
    c.exposeBinding("value");
}

namespace {

std::weak_ptr<ColorWell>& activeWell()
{
    static std::weak_ptr<ColorWell> well;
    return well;
}

ColorWell::ColorPanelOpener& opener()
{
    static ColorWell::ColorPanelOpener hook;
    return hook;
}

}

std::shared_ptr<ColorWell> ColorWell::create(gfx::Rect frame)
{
    return makeView<ColorWell>(frame);
}

std::shared_ptr<ColorWell> ColorWell::activeColorWell()
{
    return activeWell().lock();
}

void ColorWell::setColorPanelOpener(ColorPanelOpener hook)
{
    opener() = std::move(hook);
}

void ColorWell::setColor(gfx::ColorPtr color)
{
    // nullptr is no colour (several different ones chosen, say); the well shows it struck through.
    if (m_color == color || (m_color && color && m_color->isEqual(*color)))
        return;
    willChangeValueForKey("color");
    m_color = std::move(color);
    didChangeValueForKey("color");
    setNeedsDisplay(true);
    accessibilityPostNotification(*this, AccessibilityNotification::ValueChanged);
}

void ColorWell::setBordered(bool flag)
{
    if (flag == m_bordered)
        return;
    m_bordered = flag;
    setNeedsDisplay(true);
}

void ColorWell::activate(bool exclusive)
{
    auto self = std::static_pointer_cast<ColorWell>(shared_from_this());
    if (exclusive) {
        if (auto other = activeWell().lock(); other && other != self)
            other->deactivate();
    }
    bool wasActive = m_active;
    m_active = true;
    activeWell() = self;
    setNeedsDisplay(true);
    if (!wasActive && opener())
        opener()(*this);
}

void ColorWell::deactivate()
{
    if (!m_active)
        return;
    m_active = false;
    if (activeWell().lock().get() == this)
        activeWell().reset();
    setNeedsDisplay(true);
}

void ColorWell::takeColorFrom(const fnd::Value& sender)
{
    auto object = sender.object();
    if (!object || !object->classInfo().findProperty("color"))
        return;
    if (auto color = object->valueForKey("color").objectAs<gfx::Color>())
        setColor(color);
}

void ColorWell::changeColor(const fnd::Value& sender)
{
    auto object = sender.object();
    if (!object || !object->classInfo().findProperty("color"))
        return;
    colorPanelDidChangeColor(object->valueForKey("color").objectAs<gfx::Color>());
}

void ColorWell::colorPanelDidChangeColor(gfx::ColorPtr color)
{
    if (!color || !m_active || !isEnabled())
        return;
    auto self = shared_from_this();
    setColor(std::move(color));
    sendAction(action(), target());
}

void ColorWell::viewDidMoveToWindow()
{
    Control::viewDidMoveToWindow();
    // A well that leaves its window no longer takes the panel's colours.
    if (!window())
        deactivate();
}

// Input.

void ColorWell::mouseDown(const Event&)
{
    if (!isEnabled() || !m_bordered)
        return;
    if (m_active)
        deactivate();
    else
        activate(true);
}

void ColorWell::keyDown(const Event& event)
{
    const auto& chars = event.charactersIgnoringModifiers();
    if (isEnabled() && m_bordered && chars == u" ") {
        if (m_active)
            deactivate();
        else
            activate(true);
        return;
    }
    Control::keyDown(event);
}

// Drawing.

gfx::Rect ColorWell::swatchRect() const
{
    auto b = ControlLook::snapped(bounds());
    return m_bordered ? gfx::insetRect(b, 5, 5) : b;
}

void ColorWell::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const bool active = !window() || window()->isKeyWindow();
    if (m_bordered) {
        ControlLook::drawOutlinedFace(bounds(), ControlLook::FaceShape::RoundedRect, ControlSize::Regular,
            { .enabled = isEnabled(), .pressed = m_active, .active = active });
        if (m_active) {
            // The active well is ringed in the accent colour.
            auto ring = gfx::BezierPath::bezierPathWithRoundedRect(gfx::insetRect(swatchRect(), -1.5, -1.5), 4, 4);
            ring->setLineWidth(2);
            context->setStrokeColor(*ControlLook::accentColor(active));
            context->strokePath(*ring);
        }
    }
    drawWellInside(swatchRect());
}

void ColorWell::drawWellInside(gfx::Rect insideRect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context || insideRect.isEmpty())
        return;
    context->saveGraphicsState();
    double radius = m_bordered ? 3 : 0;
    context->clipToPath(*gfx::BezierPath::bezierPathWithRoundedRect(insideRect, radius, radius));
    if (!m_color) {
        // No colour: white, struck through from corner to corner in red.
        context->setFillColor(*gfx::Color::whiteColor());
        context->fillRect(insideRect);
        gfx::BezierPath stroke;
        stroke.moveToPoint({ insideRect.minX(), insideRect.minY() });
        stroke.lineToPoint({ insideRect.maxX(), insideRect.maxY() });
        stroke.setLineWidth(1.5);
        context->setStrokeColor(*gfx::Color::redColor());
        context->strokePath(stroke);
    } else if (m_color->alphaComponent() < 1) {
        // A checkerboard of 4-point squares shows through.
        context->setFillColor(*gfx::Color::whiteColor());
        context->fillRect(insideRect);
        context->setFillColor(*gfx::Color::colorWithCalibratedWhite(0.8));
        for (double y = insideRect.minY(); y < insideRect.maxY(); y += 4)
            for (double x = insideRect.minX(); x < insideRect.maxX(); x += 4)
                if ((int(std::floor((x - insideRect.minX()) / 4)) + int(std::floor((y - insideRect.minY()) / 4))) % 2)
                    context->fillRect({ x, y, 4, 4 });
    }
    if (m_color) {
        context->setFillColor(
            isEnabled() ? *m_color : *m_color->colorWithAlphaComponent(m_color->alphaComponent() * 0.5));
        context->fillRect(insideRect);
    }
    context->restoreGraphicsState();
    auto edge = gfx::BezierPath::bezierPathWithRoundedRect(gfx::insetRect(insideRect, 0.5, 0.5), radius, radius);
    edge->setLineWidth(1);
    context->setStrokeColor(*ControlLook::borderColor());
    context->strokePath(*edge);
}

void ColorWell::drawFocusRingMask()
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(*gfx::Color::blackColor());
    context->fillPath(*ControlLook::facePath(
        ControlLook::snapped(bounds()), ControlLook::FaceShape::RoundedRect, ControlSize::Regular));
}

}
