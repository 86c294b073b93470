#include "frameworks/ZORAppKit/ZORRoundedBox/ZORRoundedBox.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(ZORRoundedBox, ui::Box)

void ZORRoundedBox::describeClass(fnd::ClassBuilder<ZORRoundedBox>& c)
{
    c.property("drawsFullTitleBar", &ZORRoundedBox::drawsFullTitleBar, &ZORRoundedBox::setDrawsFullTitleBar);
    c.property("selected", &ZORRoundedBox::isSelected, &ZORRoundedBox::setSelected);
    c.property("titleColor", &ZORRoundedBox::titleColor, &ZORRoundedBox::setTitleColor);
    c.property("backgroundColor", &ZORRoundedBox::backgroundColor, &ZORRoundedBox::setBackgroundColor);
}

std::shared_ptr<ZORRoundedBox> ZORRoundedBox::create(gfx::Rect frame)
{
    return ui::makeView<ZORRoundedBox>(frame);
}

void ZORRoundedBox::initWithFrame(gfx::Rect frame)
{
    ui::Box::initWithFrame(frame);
    setDefaults();
}

void ZORRoundedBox::awakeFromNib()
{
    ui::Box::awakeFromNib();
    setDefaults();
}

void ZORRoundedBox::setDefaults()
{
    m_drawsTitle = true;
    titleCell()->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
    titleCell()->setEditable(false);
    setBorderWidth(2.0);
    setBorderColor(gfx::Color::grayColor());
    setTitleColor(gfx::Color::whiteColor());
    m_backgroundColor = gfx::Color::colorWithCalibratedWhite(0.9, 1.0);
    setTitleFont(gfx::Font::boldSystemFontOfSize(gfx::Font::systemFontSizeForControlSize(ui::ControlSize::Small)));
    m_drawsFullTitleBar = false;
    m_selected = false;
}

void ZORRoundedBox::titleChanged()
{
    if (auto w = window())
        w->invalidateCursorRectsForView(*this);
    setNeedsDisplay(true);
}

void ZORRoundedBox::setTitle(const fnd::String& title)
{
    ui::Box::setTitle(title);
    titleChanged();
}

void ZORRoundedBox::setDrawsFullTitleBar(bool flag)
{
    m_drawsFullTitleBar = flag;
    titleChanged();
}

void ZORRoundedBox::setSelected(bool flag)
{
    m_selected = flag;
    setNeedsDisplay(true);
}

void ZORRoundedBox::setTitleColor(gfx::ColorPtr color)
{
    m_titleColor = std::move(color);
    titleCell()->setTextColor(m_titleColor);
    setNeedsDisplay(true);
}

std::shared_ptr<gfx::BezierPath> ZORRoundedBox::titlePathWithinRect(gfx::Rect r, double radius, gfx::Rect t) const
{
    const double left = std::trunc(r.minX());
    const double top = std::trunc(r.maxY());
    // The title rectangle's lower edge when that rectangle reaches the top.
    const double bottom = std::trunc(2 * t.minY() + t.height() - top);
    auto path = std::make_shared<gfx::BezierPath>();
    path->moveToPoint({ left, bottom });
    if (r.width() - t.width() >= 20 && !m_drawsFullTitleBar && m_drawsTitle) {
        // A tab with the same margin on both sides of the title: rounded below on the right, square above.
        const double right = std::trunc(2 * (t.minX() - r.minX()) + t.width() + left);
        path->appendBezierPathWithArcFromPoint({ right, bottom }, { right, top }, radius);
        path->lineToPoint({ right, top });
    } else {
        path->lineToPoint({ r.maxX(), bottom });
        path->appendBezierPathWithArcFromPoint({ r.maxX(), top }, { r.minX() + r.width() * 0.5, top }, radius);
    }
    path->appendBezierPathWithArcFromPoint({ left, top }, { left, bottom }, radius);
    path->closePath();
    return path;
}

void ZORRoundedBox::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const gfx::Rect b = bounds();
    const double w = borderWidth();

    gfx::Rect r = gfx::integralRect(gfx::insetRect(b, w / 2, w / 2));
    r.origin.x += 0.5;
    r.origin.y += 0.5;
    const double left = std::trunc(r.minX()), bottom = std::trunc(r.minY());
    const double right = std::trunc(r.maxX()), top = std::trunc(r.maxY());
    const double midX = std::trunc(r.minX() + r.width() * 0.5), midY = std::trunc(r.minY() + r.height() * 0.5);
    gfx::BezierPath outline;
    outline.moveToPoint({ midX, bottom });
    outline.appendBezierPathWithArcFromPoint({ right, bottom }, { right, midY }, CornerRadius);
    outline.appendBezierPathWithArcFromPoint({ right, top }, { midX, top }, CornerRadius);
    outline.appendBezierPathWithArcFromPoint({ left, top }, { left, midY }, CornerRadius);
    outline.appendBezierPathWithArcFromPoint({ left, bottom }, { midX, bottom }, CornerRadius);
    outline.closePath();
    if (m_backgroundColor) {
        context->setFillColor(*m_backgroundColor);
        outline.fill();
    }

    const double margin = w + 3.0 + 1.0;
    const auto title = titleCell()->attributedStringValue();
    const gfx::Size titleSize = title && title->length() > 0 ? title->size() : gfx::Size {};
    const gfx::Rect titleRect { b.minX() + margin, b.minY() + b.height() - titleSize.height - 2 * w,
        std::min(2 * w + titleSize.width, b.width() - 2 * margin), titleSize.height };

    auto tabColor = m_selected ? gfx::Color::alternateSelectedControlColor() : borderColor();
    if (tabColor) {
        context->setFillColor(*tabColor);
        context->setStrokeColor(*tabColor);
    }
    auto tab = titlePathWithinRect(r, CornerRadius, titleRect);
    tab->fill();
    m_titlePathRect = tab->bounds();
    if (w > 0) {
        outline.setLineWidth(w);
        outline.stroke();
    }
    if (m_drawsTitle)
        titleCell()->drawInteriorWithFrame(titleRect, *this);
}
