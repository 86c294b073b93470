#include "frameworks/QFTabBarView/QFTabBarButtonCell.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/TabLabels.h"
#include "frameworks/tab-bar-core/TabShapes.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(QFTabBarButtonCell, QFRolloverButtonCell)

namespace {

// Shared for the process: titles are centred and cut at the tail.
const std::shared_ptr<txt::ParagraphStyle>& tabBarButtonCellTitleParagraphStyle()
{
    static const auto style = [] {
        auto s = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
        s->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
        s->setAlignment(txt::TextAlignment::Center);
        return s;
    }();
    return style;
}

bool tabBarButtonCellIsZero(gfx::Rect r)
{
    return r == gfx::ZeroRect;
}

}

std::shared_ptr<ui::Cell> QFTabBarButtonCell::cloneCell() const
{
    return std::make_shared<QFTabBarButtonCell>(*this);
}

gfx::ColorPtr QFTabBarButtonCell::defaultObjectCountColor()
{
    return gfx::Color::colorWithCalibratedWhite(0.3, 0.45);
}

std::shared_ptr<QFTabBarButton> QFTabBarButtonCell::tabBarButton() const
{
    return std::dynamic_pointer_cast<QFTabBarButton>(controlView());
}

std::shared_ptr<QFTabBarView> QFTabBarButtonCell::tabBarView() const
{
    auto button = tabBarButton();
    return button ? button->tabBarView() : nullptr;
}

std::shared_ptr<QFRolloverButton> QFTabBarButtonCell::closeButton() const
{
    auto button = tabBarButton();
    return button ? button->closeButton() : nullptr;
}

std::shared_ptr<ui::View> QFTabBarButtonCell::indicator() const
{
    auto button = tabBarButton();
    return button ? button->indicator() : nullptr;
}

QFTabStyle* QFTabBarButtonCell::viewStyle() const
{
    auto bar = tabBarView();
    return bar ? bar->style().get() : nullptr;
}

bool QFTabBarButtonCell::isVerticalBar() const
{
    auto bar = tabBarView();
    return bar && bar->orientation() == QFTabBarOrientation::Vertical;
}

gfx::Rect QFTabBarButtonCell::boundsOfControlView() const
{
    auto view = controlView();
    return view ? view->bounds() : gfx::Rect {};
}

void QFTabBarButtonCell::setStyle(std::shared_ptr<QFTabStyle> style)
{
    m_style = std::move(style);
    updateCloseButton();
    updateIndicator();
}

void QFTabBarButtonCell::noteSelectionMark() const
{
    auto button = std::dynamic_pointer_cast<QFAttachedTabBarButton>(tabBarButton());
    if (!button)
        return;
    if (auto bar = std::dynamic_pointer_cast<QFTabBarView>(button->superview()))
        bar->noteSelectionMark(*button);
}

void QFTabBarButtonCell::setTabState(QFTabStateBits state)
{
    m_tabState = state;
    if (state & (QFTabState::PreviousSelected | QFTabState::NextSelected))
        noteSelectionMark();
}

void QFTabBarButtonCell::setState(ui::ControlStateValue state)
{
    const bool changed = state != this->state();
    QFRolloverButtonCell::setState(state);
    if (state != ui::ControlStateValue::Off)
        noteSelectionMark();
    updateCloseButton();
    updateIndicator();
    // Styles draw a selected tab past its own frame (caps, the overflow button's continuation): the bar redraws.
    if (changed)
        if (auto bar = tabBarView())
            bar->setNeedsDisplay(true);
}

void QFTabBarButtonCell::setIsEdited(bool flag)
{
    if (flag == m_isEdited)
        return;
    m_isEdited = flag;
    updateCloseButton();
}

void QFTabBarButtonCell::setIsProcessing(bool flag)
{
    if (flag == m_isProcessing)
        return;
    m_isProcessing = flag;
    updateIndicator();
}

void QFTabBarButtonCell::setHasCloseButton(bool flag)
{
    if (flag == m_hasCloseButton)
        return;
    m_hasCloseButton = flag;
    updateCloseButton();
}

void QFTabBarButtonCell::setSuppressCloseButton(bool flag)
{
    if (flag == m_suppressCloseButton)
        return;
    m_suppressCloseButton = flag;
    updateCloseButton();
}

void QFTabBarButtonCell::updateImages()
{
    auto close = closeButton();
    if (!close)
        return;
    close->setImage(closeButtonImageOfType(m_isEdited ? 3 : 0));
    close->setAlternateImage(closeButtonImageOfType(m_isEdited ? 5 : 2));
    close->setRolloverImage(closeButtonImageOfType(m_isEdited ? 4 : 1));
}

void QFTabBarButtonCell::updateCloseButton()
{
    auto close = closeButton();
    if (!close)
        return;
    updateImages();
    auto bar = tabBarView();
    if (!shouldDisplayCloseButton() || (bar && bar->isTabBarHidden())) {
        close->setHidden(true);
        return;
    }
    if (m_style) {
        if (auto answer = m_style->updateCloseButton(*close, self())) {
            if (!*answer)
                close->setHidden(true);
            return;
        }
    }
    const gfx::Rect rect = closeButtonRectForBounds(boundsOfControlView());
    if (tabBarButtonCellIsZero(rect)) {
        close->setHidden(true);
    } else {
        close->setHidden(false);
        close->setFrame(rect);
    }
}

void QFTabBarButtonCell::updateIndicator()
{
    auto button = tabBarButton();
    if (!button)
        return;
    auto& spinner = button->indicator();
    auto bar = tabBarView();
    if (!m_isProcessing || (bar && bar->isTabBarHidden())) {
        spinner->setHidden(true);
    } else {
        const gfx::Rect rect = indicatorRectForBounds(boundsOfControlView());
        if (tabBarButtonCellIsZero(rect)) {
            spinner->setHidden(true);
        } else {
            spinner->setHidden(false);
            spinner->setFrame(rect);
        }
    }
    if (m_isProcessing && !spinner->isHidden())
        spinner->startAnimation();
    else
        spinner->stopAnimation();
}

// Strings.

std::shared_ptr<txt::AttributedString> QFTabBarButtonCell::attributedStringValue() const
{
    if (auto* style = viewStyle())
        if (auto answer = style->attributedStringValueForTabCell(self()))
            return *answer;
    return _attributedStringValue();
}

std::shared_ptr<txt::AttributedString> QFTabBarButtonCell::_attributedStringValue() const
{
    txt::Attributes attributes { { txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(11.0)) },
        { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::controlTextColor()) },
        { txt::ParagraphStyleAttributeName, fnd::Value(tabBarButtonCellTitleParagraphStyle()) } };
    return std::make_shared<txt::AttributedString>(title(), attributes);
}

std::shared_ptr<txt::AttributedString> QFTabBarButtonCell::attributedObjectCountStringValue() const
{
    if (auto* style = viewStyle())
        if (auto answer = style->attributedObjectCountStringValueForTabCell(self()))
            return *answer;
    return _attributedObjectCountStringValue();
}

std::shared_ptr<txt::AttributedString> QFTabBarButtonCell::_attributedObjectCountStringValue() const
{
    return tbcore::countString(static_cast<unsigned long>(m_objectCount));
}

// Metrics.

std::shared_ptr<gfx::Image> QFTabBarButtonCell::closeButtonImageOfType(long type) const
{
    if (m_style)
        if (auto answer = m_style->closeButtonImageOfType(type, self()))
            return *answer;
    return nullptr;
}

double QFTabBarButtonCell::rightMargin() const
{
    auto bar = tabBarView();
    if (shouldDisplayCloseButton() && bar && bar->onlyShowCloseOnHover()) {
        auto image = closeButtonImageOfType(0);
        return (image ? image->size().width : 0) + 6.0 + 4.0;
    }
    return 6.0;
}

gfx::Rect QFTabBarButtonCell::drawingRectForBounds(gfx::Rect bounds) const
{
    if (m_style)
        if (auto answer = m_style->drawingRectForBounds(bounds, self()))
            return *answer;
    return _drawingRectForBounds(bounds);
}

gfx::Rect QFTabBarButtonCell::_drawingRectForBounds(gfx::Rect b) const
{
    const double left = leftMargin(), right = rightMargin();
    return { b.minX() + left, b.minY() + 3.0, b.width() - (left + right), b.height() - 6.0 };
}

gfx::Size QFTabBarButtonCell::closeButtonSizeForBounds(gfx::Rect bounds) const
{
    if (m_style)
        if (auto answer = m_style->closeButtonSizeForBounds(bounds, self()))
            return *answer;
    return { 12.0, drawingRectForBounds(bounds).height() };
}

gfx::Rect QFTabBarButtonCell::closeButtonRectForBounds(gfx::Rect bounds) const
{
    if (m_style)
        if (auto answer = m_style->closeButtonRectForBounds(bounds, self()))
            return *answer;
    return _closeButtonRectForBounds(bounds);
}

gfx::Rect QFTabBarButtonCell::_closeButtonRectForBounds(gfx::Rect bounds) const
{
    if (!shouldDisplayCloseButton())
        return gfx::ZeroRect;
    return { drawingRectForBounds(bounds).origin, closeButtonSizeForBounds(bounds) };
}

gfx::Rect QFTabBarButtonCell::iconRectForBounds(gfx::Rect bounds) const
{
    if (m_style)
        if (auto answer = m_style->iconRectForBounds(bounds, self()))
            return *answer;
    return _iconRectForBounds(bounds);
}

gfx::Rect QFTabBarButtonCell::_iconRectForBounds(gfx::Rect bounds) const
{
    if (!m_icon)
        return gfx::ZeroRect;
    gfx::Rect d = drawingRectForBounds(bounds);
    const gfx::Rect close = closeButtonRectForBounds(bounds);
    if (!tabBarButtonCellIsZero(close)) {
        d.origin.x += close.width() + 4.0;
        d.size.width -= close.width() + 4.0;
    }
    const gfx::Size scaled = tbcore::scaleImageSizeToFit(
        m_icon->size(), { m_icon->size().width, d.height() }, tbcore::ImageScaling::ProportionallyDown);
    gfx::Rect r { d.minX(), d.minY(), scaled.width, scaled.height };
    const bool hasTitle = attributedStringValue()->length() > 0;
    if (hasTitle || m_showObjectCount || m_isProcessing) {
        r.origin.y = d.minY() + (d.height() - scaled.height) / 2;
        if (scaled.width < 16.0)
            r.origin.x = d.minX() + std::ceil((16.0 - scaled.width) / 2);
        if (scaled.height < 16.0)
            r.origin.y += std::ceil((16.0 - scaled.height) / 2 - 0.5);
    } else {
        r.origin = { d.minX() + (d.width() - scaled.width) / 2, d.minY() + (d.height() - scaled.height) / 2 };
    }
    return gfx::integralRect(r);
}

gfx::Rect QFTabBarButtonCell::largeImageRectForBounds(gfx::Rect bounds) const
{
    // Large images only show in a vertical bar, whatever the style says.
    if (!isVerticalBar())
        return gfx::ZeroRect;
    if (m_style)
        if (auto answer = m_style->largeImageRectForBounds(bounds, self()))
            return *answer;
    return _largeImageRectForBounds(bounds);
}

gfx::Rect QFTabBarButtonCell::_largeImageRectForBounds(gfx::Rect bounds) const
{
    if (!m_largeImage)
        return gfx::ZeroRect;
    gfx::Rect d = drawingRectForBounds(bounds);
    const gfx::Rect close = closeButtonRectForBounds(bounds);
    if (!tabBarButtonCellIsZero(close))
        d.origin.x += close.width() + 4.0;
    const gfx::Size scaled
        = tbcore::scaleImageSizeToFit(m_largeImage->size(), d.size, tbcore::ImageScaling::ProportionallyDown);
    double x = d.minX();
    if (scaled.width < 16.0)
        x += (16.0 - scaled.width) / 2;
    return { x, d.minY(), scaled.width, scaled.height };
}

gfx::Rect QFTabBarButtonCell::indicatorRectForBounds(gfx::Rect bounds) const
{
    if (m_style)
        if (auto answer = m_style->indicatorRectForBounds(bounds, self()))
            return *answer;
    return _indicatorRectForBounds(bounds);
}

gfx::Rect QFTabBarButtonCell::_indicatorRectForBounds(gfx::Rect bounds) const
{
    if (!m_isProcessing)
        return gfx::ZeroRect;
    const gfx::Rect d = drawingRectForBounds(bounds);
    return gfx::integralRect({ d.maxX() - 16.0, d.midY() - 8.0, 16.0, 16.0 });
}

gfx::Size QFTabBarButtonCell::objectCounterSize() const
{
    if (m_style)
        if (auto answer = m_style->objectCounterSizeOfTabCell(self()))
            return *answer;
    return _objectCounterSize();
}

gfx::Size QFTabBarButtonCell::_objectCounterSize() const
{
    if (!m_showObjectCount)
        return gfx::ZeroSize;
    return { std::max(20.0, attributedObjectCountStringValue()->size().width + 8.0), 14.0 };
}

gfx::Rect QFTabBarButtonCell::objectCounterRectForBounds(gfx::Rect bounds) const
{
    if (m_style)
        if (auto answer = m_style->objectCounterRectForBounds(bounds, self()))
            return *answer;
    return _objectCounterRectForBounds(bounds);
}

gfx::Rect QFTabBarButtonCell::_objectCounterRectForBounds(gfx::Rect bounds) const
{
    if (!m_showObjectCount)
        return gfx::ZeroRect;
    gfx::Rect d = drawingRectForBounds(bounds);
    const gfx::Rect spinner = indicatorRectForBounds(bounds);
    if (!tabBarButtonCellIsZero(spinner))
        d.size.width -= spinner.width() + 4.0;
    const gfx::Size s = objectCounterSize();
    return gfx::integralRect(
        { d.minX() + d.width() - s.width, std::ceil(d.minY() + (d.height() - s.height) / 2), s.width, s.height });
}

gfx::Rect QFTabBarButtonCell::titleRectForBounds(gfx::Rect bounds) const
{
    if (m_style)
        if (auto answer = m_style->titleRectForBounds(bounds, self()))
            return *answer;
    return _titleRectForBounds(bounds);
}

gfx::Rect QFTabBarButtonCell::_titleRectForBounds(gfx::Rect bounds) const
{
    const gfx::Rect d = drawingRectForBounds(bounds);
    double x = d.minX(), width = d.width();
    for (const gfx::Rect& leading :
        { closeButtonRectForBounds(bounds), largeImageRectForBounds(bounds), iconRectForBounds(bounds) }) {
        if (!tabBarButtonCellIsZero(leading)) {
            x += leading.width() + 4.0;
            width -= leading.width() + 4.0;
        }
    }
    for (const gfx::Rect& trailing : { indicatorRectForBounds(bounds), objectCounterRectForBounds(bounds) })
        if (!tabBarButtonCellIsZero(trailing))
            width -= trailing.width() + 4.0;
    auto text = attributedStringValue();
    if (text->length() == 0)
        return gfx::ZeroRect;
    const gfx::Size t = text->size();
    return gfx::integralRect({ x, d.minY() + std::ceil((d.height() - t.height) / 2), width, t.height });
}

double QFTabBarButtonCell::minimumWidthOfCell() const
{
    if (m_style)
        if (auto answer = m_style->minimumWidthOfTabCell(self()))
            return *answer;
    return _minimumWidthOfCell();
}

namespace {
double tabBarButtonCellWidth(const QFTabBarButtonCell& cell, double titleWidth)
{
    double width = cell.leftMargin();
    if (cell.shouldDisplayCloseButton()) {
        auto image = cell.closeButtonImageOfType(0);
        width += (image ? image->size().width : 0) + 4.0;
    }
    if (cell.icon())
        width += 20.0;
    width += titleWidth;
    if (cell.showObjectCount())
        width += cell.objectCounterSize().width + 4.0;
    if (cell.isProcessing())
        width += 20.0;
    width += cell.rightMargin();
    return std::ceil(width);
}
}

double QFTabBarButtonCell::_minimumWidthOfCell() const
{
    return tabBarButtonCellWidth(*this, 30.0);
}

double QFTabBarButtonCell::desiredWidthOfCell() const
{
    if (m_style)
        if (auto answer = m_style->desiredWidthOfTabCell(self()))
            return *answer;
    return _desiredWidthOfCell();
}

double QFTabBarButtonCell::_desiredWidthOfCell() const
{
    return tabBarButtonCellWidth(*this, attributedStringValue()->size().width);
}

// Drawing.

void QFTabBarButtonCell::drawWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (m_style && m_style->drawTabBarCell(*this, frame, controlView))
        return;
    _drawWithFrame(frame, controlView);
}

void QFTabBarButtonCell::_drawWithFrame(gfx::Rect frame, ui::View& controlView)
{
    drawBezelWithFrame(frame, controlView);
    drawInteriorWithFrame(frame, controlView);
}

void QFTabBarButtonCell::drawBezelWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (m_style)
        m_style->drawBezelOfTabCell(*this, frame, controlView);
}

void QFTabBarButtonCell::drawInteriorWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (m_style && m_style->drawInteriorOfTabCell(*this, frame, controlView))
        return;
    _drawInteriorWithFrame(frame, controlView);
}

void QFTabBarButtonCell::_drawInteriorWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (!tabBarButtonCellIsZero(largeImageRectForBounds(frame)))
        drawLargeImageWithFrame(frame, controlView);
    if (!tabBarButtonCellIsZero(iconRectForBounds(frame)))
        drawIconWithFrame(frame, controlView);
    if (!tabBarButtonCellIsZero(titleRectForBounds(frame)))
        drawTitleWithFrame(frame, controlView);
    if (!tabBarButtonCellIsZero(objectCounterRectForBounds(frame)))
        drawObjectCounterWithFrame(frame, controlView);
    if (!tabBarButtonCellIsZero(indicatorRectForBounds(frame)))
        drawIndicatorWithFrame(frame, controlView);
    if (!tabBarButtonCellIsZero(closeButtonRectForBounds(frame)))
        drawCloseButtonWithFrame(frame, controlView);
}

void QFTabBarButtonCell::drawLargeImageWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (m_style && m_style->drawLargeImageOfTabCell(*this, frame, controlView))
        return;
    if (!isVerticalBar() || !m_largeImage)
        return;
    const gfx::Rect r = largeImageRectForBounds(frame);
    gfx::GraphicsStateGuard guard;
    const double radius = std::min(3.0, r.width() / 4);
    gfx::BezierPath::bezierPathWithRoundedRect(r, radius, radius)->addClip();
    m_largeImage->drawInRect(r, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
}

void QFTabBarButtonCell::drawIconWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (m_style && m_style->drawIconOfTabCell(*this, frame, controlView))
        return;
    if (m_icon)
        m_icon->drawInRect(iconRectForBounds(frame), {}, gfx::CompositingOperation::SourceOver, 1.0, true);
}

void QFTabBarButtonCell::drawTitleWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (m_style && m_style->drawTitleOfTabCell(*this, frame, controlView))
        return;
    gfx::GraphicsStateGuard guard;
    auto shadow = std::make_shared<gfx::Shadow>();
    shadow->setShadowColor(gfx::Color::colorWithCalibratedWhite(1.0, 0.4));
    shadow->setShadowBlurRadius(1.0);
    shadow->setShadowOffset({ 0, -1 });
    shadow->set();
    attributedStringValue()->drawInRect(titleRectForBounds(frame));
}

void QFTabBarButtonCell::drawObjectCounterWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (m_style && m_style->drawObjectCounterOfTabCell(*this, frame, controlView))
        return;
    tbcore::drawCountCapsule(objectCounterRectForBounds(frame),
        m_objectCountColor ? m_objectCountColor : defaultObjectCountColor(), *attributedObjectCountStringValue(), 0);
}

void QFTabBarButtonCell::drawIndicatorWithFrame(gfx::Rect frame, ui::View& controlView)
{
    // The indicator is a subview and draws itself.
    if (m_style)
        m_style->drawIndicatorOfTabCell(*this, frame, controlView);
}

void QFTabBarButtonCell::drawCloseButtonWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (m_style && m_style->drawCloseButtonOfTabCell(*this, frame, controlView))
        return;
    auto close = closeButton();
    auto bar = tabBarView();
    if (!close)
        return;
    if (bar && bar->onlyShowCloseOnHover())
        close->setHidden(!mouseHovered());
    else if (close->isHidden())
        close->setHidden(false);
}
