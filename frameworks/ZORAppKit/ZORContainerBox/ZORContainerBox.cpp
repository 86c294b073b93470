#include "frameworks/ZORAppKit/ZORContainerBox/ZORContainerBox.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(ZORContainerBox, ui::View)

void ZORContainerBox::describeClass(fnd::ClassBuilder<ZORContainerBox>& c)
{
    c.property("backgroundColor", &ZORContainerBox::backgroundColor, &ZORContainerBox::setBackgroundColor);
    c.property("borderColor", &ZORContainerBox::borderColor, &ZORContainerBox::setBorderColor);
    c.property(
        "secondBackgroundColor", &ZORContainerBox::secondBackgroundColor, &ZORContainerBox::setSecondBackgroundColor);
    c.property("hasGradient", &ZORContainerBox::hasGradient, &ZORContainerBox::setHasGradient);
    c.property("hasTopLine", &ZORContainerBox::hasTopLine, &ZORContainerBox::setHasTopLine);
    c.property("hasBottomLine", &ZORContainerBox::hasBottomLine, &ZORContainerBox::setHasBottomLine);
    c.property("hasLeftLine", &ZORContainerBox::hasLeftLine, &ZORContainerBox::setHasLeftLine);
    c.property("hasRightLine", &ZORContainerBox::hasRightLine, &ZORContainerBox::setHasRightLine);
    c.property("topLineWidth", &ZORContainerBox::topLineWidth, &ZORContainerBox::setTopLineWidth);
    c.property("bottomLineWidth", &ZORContainerBox::bottomLineWidth, &ZORContainerBox::setBottomLineWidth);
    c.property("leftLineWidth", &ZORContainerBox::leftLineWidth, &ZORContainerBox::setLeftLineWidth);
    c.property("rightLineWidth", &ZORContainerBox::rightLineWidth, &ZORContainerBox::setRightLineWidth);
}

ZORContainerBox::ZORContainerBox()
    : m_backgroundColor(gfx::Color::controlHighlightColor())
    , m_borderColor(gfx::Color::controlShadowColor())
    , m_secondBackgroundColor(gfx::Color::secondarySelectedControlColor())
    , m_topLineWidth(gfx::BezierPath::defaultLineWidth())
    , m_bottomLineWidth(gfx::BezierPath::defaultLineWidth())
    , m_leftLineWidth(gfx::BezierPath::defaultLineWidth())
    , m_rightLineWidth(gfx::BezierPath::defaultLineWidth())
{
}

std::shared_ptr<ZORContainerBox> ZORContainerBox::create(gfx::Rect frame)
{
    return ui::makeView<ZORContainerBox>(frame);
}

std::shared_ptr<gfx::BezierPath> ZORContainerBox::bezierPathWithLineFrom(gfx::Point from, gfx::Point to)
{
    auto path = std::make_shared<gfx::BezierPath>();
    path->moveToPoint(from);
    path->lineToPoint(to);
    return path;
}

void ZORContainerBox::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const gfx::Rect b = bounds();
    context->saveGraphicsState();
    if (m_hasGradient && m_secondBackgroundColor && m_backgroundColor) {
        // The gradient leaves the first column to whatever lies beneath.
        gfx::Gradient::gradientWithStartingColor(*m_secondBackgroundColor, *m_backgroundColor)
            ->drawInRect({ b.minX() + 1, b.minY(), b.width() - 1, b.height() }, 90);
    } else if (m_backgroundColor) {
        context->setFillColor(*m_backgroundColor);
        context->fillRectUsingOperation(b, gfx::CompositingOperation::SourceOver);
    }
    if (m_borderColor) {
        context->setFillColor(*m_borderColor);
        context->setStrokeColor(*m_borderColor);
        if (m_hasTopLine && m_hasBottomLine && m_hasLeftLine && m_hasRightLine) {
            // A one-point frame inside the bounds.
            for (const gfx::Rect& side :
                { gfx::Rect { b.minX(), b.minY(), b.width(), 1 }, gfx::Rect { b.minX(), b.maxY() - 1, b.width(), 1 },
                    gfx::Rect { b.minX(), b.minY(), 1, b.height() },
                    gfx::Rect { b.maxX() - 1, b.minY(), 1, b.height() } })
                context->fillRectUsingOperation(side, gfx::CompositingOperation::SourceOver);
        } else {
            if (m_hasTopLine)
                strokeSide({ b.minX(), b.maxY() }, { b.maxX(), b.maxY() }, m_topLineWidth, { 0, -1 });
            if (m_hasBottomLine)
                strokeSide({ b.minX(), b.minY() }, { b.maxX(), b.minY() }, m_bottomLineWidth, { 0, 1 });
            if (m_hasLeftLine)
                strokeSide({ b.minX(), b.minY() }, { b.minX(), b.maxY() }, m_leftLineWidth, { 1, 0 });
            if (m_hasRightLine)
                strokeSide({ b.maxX(), b.minY() }, { b.maxX(), b.maxY() }, m_rightLineWidth, { -1, 0 });
        }
    }
    context->restoreGraphicsState();
}

void ZORContainerBox::strokeSide(gfx::Point from, gfx::Point to, double width, gfx::Size inward) const
{
    // Moved inwards by half the drawn width, so the whole line lies inside the bounds; width 0 draws one device pixel.
    double drawn = width;
    if (drawn <= 0) {
        auto w = window();
        drawn = 1 / (w ? w->backingScaleFactor() : 1.0);
    }
    const double shift = drawn / 2;
    auto path = bezierPathWithLineFrom({ from.x + inward.width * shift, from.y + inward.height * shift },
        { to.x + inward.width * shift, to.y + inward.height * shift });
    path->setLineWidth(width);
    path->stroke();
}

void ZORContainerBox::encodeWithCoder(fnd::Coder& coder) const
{
    ui::View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(fnd::Value(m_backgroundColor), "backgroundColor");
    coder.encodeObject(fnd::Value(m_borderColor), "borderColor");
    coder.encodeObject(fnd::Value(m_secondBackgroundColor), "secondBackgroundColor");
    coder.encodeBool(m_hasGradient, "hasGradient");
    coder.encodeBool(m_hasLeftLine, "hasLeftLine");
    coder.encodeBool(m_hasRightLine, "hasRightLine");
    coder.encodeBool(m_hasTopLine, "hasTopLine");
    coder.encodeBool(m_hasBottomLine, "hasBottomLine");
}

bool ZORContainerBox::initWithCoder(fnd::Coder& coder)
{
    if (!ui::View::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return false;
    m_backgroundColor = coder.decodeObjectForKey("backgroundColor").objectAs<gfx::Color>();
    m_borderColor = coder.decodeObjectForKey("borderColor").objectAs<gfx::Color>();
    m_secondBackgroundColor = coder.decodeObjectForKey("secondBackgroundColor").objectAs<gfx::Color>();
    m_hasGradient = coder.decodeBoolForKey("hasGradient");
    m_hasLeftLine = coder.decodeBoolForKey("hasLeftLine");
    m_hasRightLine = coder.decodeBoolForKey("hasRightLine");
    m_hasTopLine = coder.decodeBoolForKey("hasTopLine");
    m_hasBottomLine = coder.decodeBoolForKey("hasBottomLine");
    m_topLineWidth = m_bottomLineWidth = m_leftLineWidth = m_rightLineWidth = 0;
    return true;
}
