#include "frameworks/ZORAppKit/ZORLabeledImageTextCell/ZORLabeledImageTextCell.h"

#include "frameworks/ZORAppKit/ZORColorLabelWidget/ZORColorLabelColors.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/ui/views/View.h"

#include <algorithm>

FND_REGISTER_CLASS(ZORLabeledImageTextCell, ui::TextFieldCell)

void ZORLabeledImageTextCell::setColorLabelType(std::int32_t type)
{
    if (type == m_colorLabelType)
        return;
    m_colorLabelType = type;
    m_labelColor = ZORColorLabelColors::getLabelColorForLabelType(type);
}

void ZORLabeledImageTextCell::calcDrawInfo(gfx::Rect frame)
{
    gfx::Rect r = drawingRectForBounds(frame);
    m_textAttrs = { { txt::FontAttributeName, fnd::Value(font()) } };
    m_capRadius = r.height() / 2;
    m_imageRect = m_rightImageRect = m_infoTextRect = m_statusImageRect = m_labelRect = {};

    r.origin.x += m_leftInset;
    r.size.width -= m_leftInset + m_rightInset;

    if (const auto& leftImage = image()) {
        const double w = leftImage->size().width;
        auto [slice, rest] = gfx::divideRect(r, std::max(w, m_minImageWidth) + Gap, gfx::RectEdge::MinX);
        m_imageRect = { slice.minX() + 3, slice.minY(), w, r.height() };
        r = rest;
    }
    if (m_statusImage) {
        const double w = m_statusImage->size().width;
        auto [slice, rest] = gfx::divideRect(r, w + Gap, gfx::RectEdge::MaxX);
        m_statusImageRect = { slice.minX() + 3, slice.minY(), w, r.height() };
        r = rest;
    }
    if (m_rightImage) {
        const double w = m_rightImage->size().width;
        auto [slice, rest] = gfx::divideRect(r, w + Gap, gfx::RectEdge::MaxX);
        m_rightImageRect = { slice.minX(), slice.minY(), w, r.height() };
        r = rest;
    }
    if (!m_infoText.isEmpty()) {
        const double w = txt::AttributedString(m_infoText, m_textAttrs).size().width;
        auto [slice, rest] = gfx::divideRect(r, w + Gap, gfx::RectEdge::MinX);
        m_infoTextRect = slice;
        r = rest;
    }
    if (!m_labelColor || !isHighlighted()) {
        if (m_labelColor)
            m_labelRect = r;
        r = gfx::insetRect(r, m_capRadius / 2, 0);
    } else {
        if (!m_statusImage) {
            const double pill = 2 * m_capRadius;
            m_labelRect = { r.maxX() - pill, r.minY(), pill, r.height() - 1 };
            r.size.width -= pill + Gap;
        }
        r.origin.x += m_capRadius / 2;
        r.size.width -= m_capRadius / 2;
    }
    if (m_middleAlignedText)
        r.origin.y += (r.height() - attributedStringValue()->size().height) / 2 - 0.5;
    m_textRect = r;
}

void ZORLabeledImageTextCell::fillBackground(gfx::Rect rect) const
{
    if (!drawsBackground() || !backgroundColor())
        return;
    auto* context = gfx::GraphicsContext::current();
    context->setFillColor(*backgroundColor());
    context->fillRect(rect);
}

void ZORLabeledImageTextCell::drawImageInRect(const gfx::Image& image, gfx::Rect rect, ui::View&) const
{
    // At its own size, centred in the row's height.
    const gfx::Size size = image.size();
    const gfx::Rect place { rect.minX(), rect.minY() + (rect.height() - size.height) / 2, size.width, size.height };
    image.drawInRect(place, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
}

void ZORLabeledImageTextCell::drawLabelColorWithFrame(gfx::Rect frame, ui::View&)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    fillBackground(frame);
    if (!m_labelColor || m_labelRect.isEmpty())
        return;
    context->saveGraphicsState();
    const double radius = frame.height() / 2;
    auto pill = gfx::BezierPath::bezierPathWithRoundedRect(m_labelRect, radius, radius);
    auto pale = m_labelColor->blendedColorWithFraction(0.5, *gfx::Color::whiteColor());
    gfx::Gradient::gradientWithStartingColor(*m_labelColor, pale ? *pale : *m_labelColor)->drawInBezierPath(*pill, 270);
    context->restoreGraphicsState();
}

void ZORLabeledImageTextCell::drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    calcDrawInfo(cellFrame);
    if (m_labelColor && !isHighlighted())
        drawLabelColorWithFrame(cellFrame, controlView);
    if (const auto& leftImage = image()) {
        fillBackground(m_imageRect);
        drawImageInRect(*leftImage, m_imageRect, controlView);
    }
    if (!m_infoText.isEmpty())
        txt::AttributedString(m_infoText, m_textAttrs).drawInRect(m_infoTextRect);
    if (m_statusImage) {
        fillBackground(m_statusImageRect);
        drawImageInRect(*m_statusImage, m_statusImageRect, controlView);
    }
    if (m_rightImage) {
        fillBackground(m_rightImageRect);
        drawImageInRect(*m_rightImage, m_rightImageRect, controlView);
    }
    if (m_labelColor && isHighlighted())
        drawLabelColorWithFrame(cellFrame, controlView);
    ui::TextFieldCell::drawInteriorWithFrame(m_textRect, controlView);
}

void ZORLabeledImageTextCell::editWithFrame(gfx::Rect frame, ui::View& controlView,
    const std::shared_ptr<ui::View>& fieldEditor, const std::shared_ptr<fnd::Object>& delegate, const ui::Event* event)
{
    calcDrawInfo(frame);
    ui::TextFieldCell::editWithFrame(m_textRect, controlView, fieldEditor, delegate, event);
}

void ZORLabeledImageTextCell::selectWithFrame(gfx::Rect frame, ui::View& controlView,
    const std::shared_ptr<ui::View>& fieldEditor, const std::shared_ptr<fnd::Object>& delegate,
    fnd::Index selectionStart, fnd::Index selectionLength)
{
    calcDrawInfo(frame);
    ui::TextFieldCell::selectWithFrame(m_textRect, controlView, fieldEditor, delegate, selectionStart, selectionLength);
}
