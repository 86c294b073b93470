#include "platform/ui/containers/Box.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/controls/ControlTypes.h"
#include "platform/ui/look/ControlLook.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(Box, View)

void Box::describeClass(fnd::ClassBuilder<Box>& c)
{
    c.property("boxType", &Box::boxType, &Box::setBoxType);
    c.property("borderType", &Box::borderType, &Box::setBorderType);
    c.property("titlePosition", &Box::titlePosition, &Box::setTitlePosition);
    c.property("title", &Box::title, &Box::setTitle);
    c.property("titleFont", &Box::titleFont, &Box::setTitleFont);
    c.property("contentView", &Box::contentView, &Box::setContentView);
    c.property("contentViewMargins", &Box::contentViewMargins, &Box::setContentViewMargins);
    c.property("fillColor", &Box::fillColor, &Box::setFillColor);
    c.property("borderColor", &Box::borderColor, &Box::setBorderColor);
    c.property("borderWidth", &Box::borderWidth, &Box::setBorderWidth);
    c.property("cornerRadius", &Box::cornerRadius, &Box::setCornerRadius);
    c.property("transparent", &Box::isTransparent, &Box::setTransparent);
}

namespace {

// Where the title starts from the border's leading edge, and the room it keeps from the border's line.
constexpr double TitleInset = 8;
constexpr double TitleGap = 2;

}

std::shared_ptr<Box> Box::create(gfx::Rect frame)
{
    return makeView<Box>(frame);
}

void Box::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    if (!m_titleCell) {
        m_titleCell = fnd::makeObject<TextFieldCell>();
        m_titleCell->initTextCell("Title");
        m_titleCell->setEditable(false);
        m_titleCell->setSelectable(false);
        m_titleCell->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
        m_titleCell->setFont(gfx::Font::systemFontOfSize(gfx::Font::smallSystemFontSize()));
    }
    if (!m_contentView)
        setContentView(View::create());
    tile();
}

// Settings.

void Box::setBoxType(BoxType type)
{
    if (!isWithin(type, BoxType::Primary, BoxType::Custom))
        return;
    m_boxType = type;
    tile();
}

void Box::setBorderType(BorderType type)
{
    if (!isWithin(type, BorderType::NoBorder, BorderType::GrooveBorder))
        return;
    m_borderType = type;
    tile();
}

void Box::setTitlePosition(TitlePosition position)
{
    if (!isWithin(position, TitlePosition::NoTitle, TitlePosition::BelowBottom))
        return;
    m_titlePosition = position;
    tile();
}

fnd::String Box::title() const
{
    return m_titleCell ? m_titleCell->stringValue() : fnd::String();
}

void Box::setTitle(const fnd::String& title)
{
    if (m_titleCell)
        m_titleCell->setStringValue(title);
    tile();
}

std::shared_ptr<gfx::Font> Box::titleFont() const
{
    return m_titleCell ? m_titleCell->font() : nullptr;
}

void Box::setTitleFont(std::shared_ptr<gfx::Font> font)
{
    if (m_titleCell)
        m_titleCell->setFont(std::move(font));
    tile();
}

void Box::setContentView(const std::shared_ptr<View>& view)
{
    if (view == m_contentView)
        return;
    // Checked before anything changes: the box would hold a view that holds it.
    if (view && (view.get() == this || isDescendantOf(*view)))
        throw fnd::Exception::invalidArgument("Box: setContentView: the view is the box or one of its ancestors");
    if (m_contentView)
        m_contentView->removeFromSuperview();
    m_contentView = view;
    if (view)
        addSubview(view);
    tile();
}

void Box::setContentViewMargins(gfx::Size margins)
{
    m_contentViewMargins = { boundedNumber(margins.width, 0, LargestLength, m_contentViewMargins.width),
        boundedNumber(margins.height, 0, LargestLength, m_contentViewMargins.height) };
    tile();
}

void Box::setFillColor(gfx::ColorPtr color)
{
    m_fillColor = color ? std::move(color) : gfx::Color::clearColor();
    setNeedsDisplay(true);
}

void Box::setBorderColor(gfx::ColorPtr color)
{
    m_borderColor = color ? std::move(color) : gfx::Color::clearColor();
    setNeedsDisplay(true);
}

void Box::setBorderWidth(double width)
{
    m_borderWidth = boundedNumber(width, 0, LargestLength, m_borderWidth);
    tile();
}

void Box::setCornerRadius(double radius)
{
    m_cornerRadius = boundedNumber(radius, 0, LargestLength, m_cornerRadius);
    setNeedsDisplay(true);
}

void Box::setTransparent(bool flag)
{
    m_transparent = flag;
    setNeedsDisplay(true);
}

// Geometry.

bool Box::showsTitle() const
{
    return m_titlePosition != TitlePosition::NoTitle && m_boxType != BoxType::Separator && !title().isEmpty();
}

double Box::titleHeight() const
{
    if (!showsTitle())
        return 0;
    auto font = titleFont();
    return font ? std::ceil(font->ascender() - font->descender() + font->leading()) : 14;
}

gfx::Rect Box::borderRect() const
{
    auto b = bounds();
    double th = titleHeight();
    if (th <= 0)
        return b;
    switch (m_titlePosition) {
    case TitlePosition::AboveTop:
        return { b.minX(), b.minY(), b.width(), std::max(0.0, b.height() - th - TitleGap) };
    case TitlePosition::AtTop:
        return { b.minX(), b.minY(), b.width(), std::max(0.0, b.height() - std::round(th / 2)) };
    case TitlePosition::AtBottom:
        return { b.minX(), b.minY() + std::round(th / 2), b.width(), std::max(0.0, b.height() - std::round(th / 2)) };
    case TitlePosition::BelowBottom:
        return { b.minX(), b.minY() + th + TitleGap, b.width(), std::max(0.0, b.height() - th - TitleGap) };
    default:
        return b;
    }
}

gfx::Rect Box::titleRect() const
{
    if (!showsTitle())
        return {};
    auto b = bounds();
    auto border = borderRect();
    double th = titleHeight();
    double textWidth = m_titleCell->cellSize().width;
    double width = std::max(0.0, std::min(textWidth, border.width() - 2 * TitleInset));
    double x = border.minX() + TitleInset;
    double line = m_boxType == BoxType::Custom ? m_borderWidth : 1;
    double y = 0;
    switch (m_titlePosition) {
    case TitlePosition::AboveTop:
    case TitlePosition::AtTop:
        y = b.maxY() - th;
        break;
    case TitlePosition::BelowTop:
        y = border.maxY() - line - TitleGap - th;
        break;
    case TitlePosition::AboveBottom:
        y = border.minY() + line + TitleGap;
        break;
    default:
        y = b.minY();
        break;
    }
    return { x, y, width, th };
}

gfx::Rect Box::contentRectForBorderRect(gfx::Rect border) const
{
    double line = 0;
    if (m_boxType == BoxType::Custom)
        line = m_borderWidth;
    else if (m_boxType != BoxType::Separator && m_borderType != BorderType::NoBorder)
        line = 1;
    auto r = gfx::insetRect(border, line + m_contentViewMargins.width, line + m_contentViewMargins.height);
    double th = titleHeight();
    if (m_titlePosition == TitlePosition::BelowTop)
        r.size.height -= th + TitleGap;
    else if (m_titlePosition == TitlePosition::AboveBottom) {
        r.origin.y += th + TitleGap;
        r.size.height -= th + TitleGap;
    }
    r.size.width = std::max(0.0, r.width());
    r.size.height = std::max(0.0, r.height());
    return r;
}

void Box::tile()
{
    if (m_contentView && m_boxType != BoxType::Separator)
        m_contentView->setFrame(contentRectForBorderRect(borderRect()));
    setNeedsDisplay(true);
}

void Box::setFrame(gfx::Rect frame)
{
    View::setFrame(frame);
    tile();
}

void Box::setBounds(gfx::Rect bounds)
{
    View::setBounds(bounds);
    tile();
}

void Box::setFrameSize(gfx::Size size)
{
    View::setFrameSize(size);
    tile();
}

void Box::setFrameFromContentFrame(gfx::Rect contentFrame)
{
    // The content's place is the frame less what tile() takes around it.
    auto inBox = contentRectForBorderRect(borderRect());
    auto b = bounds();
    double left = inBox.minX() - b.minX(), bottom = inBox.minY() - b.minY();
    double right = b.maxX() - inBox.maxX(), top = b.maxY() - inBox.maxY();
    setFrame({ contentFrame.minX() - left, contentFrame.minY() - bottom, contentFrame.width() + left + right,
        contentFrame.height() + bottom + top });
}

void Box::sizeToFit()
{
    if (!m_contentView)
        return;
    gfx::Rect used;
    for (const auto& sub : m_contentView->subviews())
        used = used.isEmpty() ? sub->frame() : gfx::unionRect(used, sub->frame());
    auto content = m_contentView->frame();
    auto inSuper = convertRectToView(
        { content.minX(), content.minY(), std::max(0.0, used.maxX()), std::max(0.0, used.maxY()) }, superview().get());
    setFrameFromContentFrame(inSuper);
}

// Drawing.

void Box::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    if (m_boxType == BoxType::Separator) {
        ControlLook::drawSeparator(bounds());
        return;
    }
    auto border = ControlLook::snapped(borderRect());
    auto title = titleRect();
    context->saveGraphicsState();
    if (m_titlePosition == TitlePosition::AtTop || m_titlePosition == TitlePosition::AtBottom) {
        // The border's line gives way to a title that sits on it.
        gfx::BezierPath clip;
        clip.appendBezierPathWithRect(gfx::insetRect(bounds(), -1, -1));
        if (!title.isEmpty())
            clip.appendBezierPathWithRect(gfx::insetRect(title, -4, 0));
        clip.setWindingRule(gfx::WindingRule::EvenOdd);
        context->clipToPath(clip);
    }
    if (m_boxType == BoxType::Custom) {
        if (!m_transparent) {
            double half = m_borderWidth / 2;
            double radius = std::min(m_cornerRadius, std::min(border.width(), border.height()) / 2);
            auto shape = gfx::BezierPath::bezierPathWithRoundedRect(border, radius, radius);
            context->setFillColor(*m_fillColor);
            context->fillPath(*shape);
            if (m_borderWidth > 0) {
                auto edge = gfx::BezierPath::bezierPathWithRoundedRect(
                    gfx::insetRect(border, half, half), std::max(0.0, radius - half), std::max(0.0, radius - half));
                edge->setLineWidth(m_borderWidth);
                context->setStrokeColor(*m_borderColor);
                context->strokePath(*edge);
            }
        }
    } else if (m_borderType != BorderType::NoBorder) {
        const bool card = m_boxType == BoxType::Primary || m_boxType == BoxType::Secondary;
        double radius = card ? 6 : 0;
        if (card) {
            context->setFillColor(
                *gfx::Color::colorWithCalibratedWhite(0, m_boxType == BoxType::Primary ? 0.035 : 0.02));
            context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(border, radius, radius));
        }
        auto edge = gfx::BezierPath::bezierPathWithRoundedRect(
            gfx::insetRect(border, 0.5, 0.5), std::max(0.0, radius - 0.5), std::max(0.0, radius - 0.5));
        edge->setLineWidth(1);
        context->setStrokeColor(*ControlLook::borderColor());
        context->strokePath(*edge);
    }
    context->restoreGraphicsState();
    if (!title.isEmpty())
        m_titleCell->drawInteriorWithFrame(title, *this);
}

}
