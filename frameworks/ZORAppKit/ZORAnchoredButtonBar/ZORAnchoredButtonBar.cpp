#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonBar.h"

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredBarEdges.h"
#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonLook.h"

#include "frameworks/AppKitExtensions/ZORColor_Extension.h"
#include "frameworks/AppKitExtensions/ZORNSViewExtension.h"

#include <cmath>

FND_REGISTER_CLASS(ZORAnchoredButtonBar, ui::View)

namespace {

namespace Key {
const fnd::String IsResizable = "ZORABBIsResizable";
const fnd::String IsAtBottom = "ZORABBIsAtBottom";
const fnd::String HandleIsRightAligned = "ZORABBHandleIsRightAligned";
const fnd::String SelectedIndex = "ZORABBSelectedIndex";
}

bool& wasBordered()
{
    static bool flag = false;
    return flag;
}

struct BarPalette {
    gfx::ColorPtr bottomTopLine = gfx::Color::colorWithCalibratedWhite(202.0 / 255);
    gfx::ColorPtr topTopLine = gfx::Color::colorWithCalibratedWhite(190.0 / 255);
    gfx::ColorPtr edgeLine = gfx::Color::colorWithCalibratedWhite(170.0 / 255);
    gfx::ColorPtr lastButtonInset = gfx::Color::colorWithCalibratedWhite(1, 0.5);
    gfx::ColorPtr gripDark = gfx::Color::colorWithCalibratedWhite(0, 0.598);
    gfx::ColorPtr gripLight = gfx::Color::colorWithCalibratedWhite(1, 0.55);
};

const BarPalette& palette()
{
    static const BarPalette colors;
    return colors;
}

void line(const gfx::ColorPtr& color, long position, long inset, gfx::Rect rect, const ui::View& view, bool horizontal,
    bool flip)
{
    ZORExtension::zorDrawPixelThickLineAtPosition(*color, position, inset, rect, &view, horizontal, flip);
}

// The width of the strip over the grip by which the divider can be dragged.
constexpr double GrabWidth = 15;

bool isBarButton(const ui::View& view)
{
    return view.className() == u"ZORAnchoredButton" || view.className() == u"ZORAnchoredPopUpButton";
}

}

void ZORAnchoredButtonBar::describeClass(fnd::ClassBuilder<ZORAnchoredButtonBar>& c)
{
    c.property("resizable", &ZORAnchoredButtonBar::isResizable, &ZORAnchoredButtonBar::setResizable);
    c.property("atBottom", &ZORAnchoredButtonBar::isAtBottom, &ZORAnchoredButtonBar::setAtBottom);
    c.property("handleIsRightAligned", &ZORAnchoredButtonBar::handleIsRightAligned,
        &ZORAnchoredButtonBar::setHandleIsRightAligned);
    c.property("selectedIndex", &ZORAnchoredButtonBar::selectedIndex, &ZORAnchoredButtonBar::setSelectedIndex);
}

void ZORAnchoredButtonBar::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    m_isResizable = true;
    m_isAtBottom = true;
}

std::shared_ptr<ZORAnchoredButtonBar> ZORAnchoredButtonBar::create(gfx::Rect frame)
{
    return ui::makeView<ZORAnchoredButtonBar>(frame);
}

bool ZORAnchoredButtonBar::wasBorderedBar()
{
    return wasBordered();
}

void ZORAnchoredButtonBar::setIsAtBottom(bool flag)
{
    m_isAtBottom = flag;
    setFrameSize({ frame().width(), flag ? 23.0 : 24.0 });
    wasBordered() = !flag;
    setNeedsDisplay(true);
}

namespace {

// Styles 0 to 2 bring their place and resizing; another leaves the flags as they are.
void zorAnchoredBarTakeStylePlace(std::int32_t index, bool& atBottom, bool& resizable)
{
    switch (index) {
    case 0:
        atBottom = true;
        resizable = true;
        break;
    case 1:
        atBottom = true;
        resizable = false;
        break;
    case 2:
        atBottom = false;
        resizable = false;
        break;
    default:
        break;
    }
}

}

void ZORAnchoredButtonBar::setSelectedIndex(std::int32_t index)
{
    zorAnchoredBarTakeStylePlace(index, m_isAtBottom, m_isResizable);
    m_selectedIndex = index;
    setNeedsDisplay(true);
}

std::shared_ptr<ui::SplitView> ZORAnchoredButtonBar::splitView() const
{
    for (auto view = superview(); view; view = view->superview()) {
        if (auto split = std::dynamic_pointer_cast<ui::SplitView>(view))
            return split;
    }
    return nullptr;
}

bool ZORAnchoredButtonBar::isInLastSubview() const
{
    auto split = splitView();
    return split && !split->subviews().empty() && split->subviews().back() == superview();
}

void ZORAnchoredButtonBar::viewDidMoveToSuperview()
{
    View::viewDidMoveToSuperview();
    if (splitView())
        m_handleIsRightAligned = isInLastSubview();
}

void ZORAnchoredButtonBar::awakeFromNib()
{
    View::awakeFromNib();
    auto split = splitView();
    if (split && split->isVertical() && m_isResizable)
        split->setDelegate(std::static_pointer_cast<ZORAnchoredButtonBar>(shared_from_this()));
    ZORNSViewExtension::zorBringToFront(*this);
}

void ZORAnchoredButtonBar::drawRect(gfx::Rect)
{
    const auto& colors = palette();
    const auto b = bounds();
    constexpr bool Horizontal = true, Vertical = false, Flip = true, NoFlip = false;

    // At the bottom the top pixel row is left for the top line; at the top both edges have lines.
    auto face = m_isAtBottom ? gfx::Rect { b.minX(), b.minY(), b.width(), b.height() - 1 } : gfx::insetRect(b, 0, 1);
    ZORAnchoredButtonLook::anchored().faceGradient->drawInRect(face, 270);
    line(m_isAtBottom ? colors.bottomTopLine : colors.topTopLine, 0, 0, b, *this, Horizontal, Flip);

    if (m_isResizable) {
        gfx::Rect grip { m_handleIsRightAligned ? 4 : b.minX() + b.width() - 11, 6, 6, 10 };
        drawResizeHandleInRect(grip, *colors.gripDark);
        drawResizeHandleInRect(gfx::offsetRect(grip, 1, -1), *colors.gripLight);
    }
    drawLastButtonInsetInRect(b);

    if (!m_isAtBottom) {
        line(colors.edgeLine, 0, 0, b, *this, Horizontal, NoFlip);
        line(colors.edgeLine, 0, 1, b, *this, Vertical, NoFlip);
        line(colors.edgeLine, 0, 1, b, *this, Vertical, Flip);
    }
}

void ZORAnchoredButtonBar::drawResizeHandleInRect(gfx::Rect rect, const gfx::Color& color)
{
    for (long position : { 0, 3, 6 })
        ZORExtension::zorDrawPixelThickLineAtPosition(color, position, 0, rect, this, false, false);
}

void ZORAnchoredButtonBar::drawLastButtonInsetInRect(gfx::Rect rect)
{
    const auto& views = subviews();
    if (views.empty())
        return;
    auto rightmost = views.front();
    for (const auto& view : views) {
        if (!isBarButton(*view))
            continue;
        if (view->frame().maxX() > rightmost->frame().maxX())
            rightmost = view;
        if (auto* edges = dynamic_cast<ZORAnchoredBarEdges*>(view.get())) {
            edges->setAtLeftEdgeOfBar(view->frame().minX() == 0);
            edges->setAtRightEdgeOfBar(view->frame().maxX() == bounds().maxX());
        }
    }
    if (!isBarButton(*rightmost))
        return;
    long position = static_cast<long>(std::trunc(rightmost->frame().maxX()));
    line(palette().lastButtonInset, position, 0, gfx::offsetRect(rect, 0, -1), *this, false, false);
}

// The split view's delegate: the bar's own delegate first, then the bar's answer.

std::optional<gfx::Rect> ZORAnchoredButtonBar::splitViewAdditionalEffectiveRectOfDividerAtIndex(
    ui::SplitView& split, long index)
{
    if (auto d = splitViewDelegate()) {
        if (auto answer = d->splitViewAdditionalEffectiveRectOfDividerAtIndex(split, index))
            return answer;
    }
    // The strip over the grip: at the bar's right end, or its left end in the last pane; measured in the bar and
    // converted, so it lies over the grip whatever the bar's place in the split view.
    const auto b = bounds();
    gfx::Rect strip { m_handleIsRightAligned ? b.minX() : b.maxX() - GrabWidth, b.minY(), GrabWidth, b.height() };
    return convertRectToView(strip, &split);
}

std::optional<double> ZORAnchoredButtonBar::splitViewConstrainMinCoordinate(
    ui::SplitView& split, double proposed, long index)
{
    auto d = splitViewDelegate();
    return d ? d->splitViewConstrainMinCoordinate(split, proposed, index).value_or(proposed) : proposed;
}

std::optional<double> ZORAnchoredButtonBar::splitViewConstrainMaxCoordinate(
    ui::SplitView& split, double proposed, long index)
{
    auto d = splitViewDelegate();
    return d ? d->splitViewConstrainMaxCoordinate(split, proposed, index).value_or(proposed) : proposed;
}

bool ZORAnchoredButtonBar::splitViewResizeSubviewsWithOldSize(ui::SplitView& split, gfx::Size oldSize)
{
    if (auto d = splitViewDelegate(); d && d->splitViewResizeSubviewsWithOldSize(split, oldSize))
        return true;
    split.adjustSubviews();
    return true;
}

std::optional<bool> ZORAnchoredButtonBar::splitViewCanCollapseSubview(ui::SplitView& split, ui::View& subview)
{
    auto d = splitViewDelegate();
    return d ? d->splitViewCanCollapseSubview(split, subview).value_or(false) : false;
}

std::optional<double> ZORAnchoredButtonBar::splitViewConstrainSplitPosition(
    ui::SplitView& split, double proposed, long index)
{
    auto d = splitViewDelegate();
    return d ? d->splitViewConstrainSplitPosition(split, proposed, index).value_or(proposed) : proposed;
}

std::optional<gfx::Rect> ZORAnchoredButtonBar::splitViewEffectiveRectForDrawnRect(
    ui::SplitView& split, gfx::Rect proposedEffectiveRect, gfx::Rect drawnRect, long index)
{
    auto d = splitViewDelegate();
    auto answer
        = d ? d->splitViewEffectiveRectForDrawnRect(split, proposedEffectiveRect, drawnRect, index) : std::nullopt;
    return answer ? answer : drawnRect;
}

std::optional<bool> ZORAnchoredButtonBar::splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(
    ui::SplitView& split, ui::View& subview, long index)
{
    auto d = splitViewDelegate();
    return d ? d->splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(split, subview, index).value_or(false)
             : false;
}

std::optional<bool> ZORAnchoredButtonBar::splitViewShouldHideDividerAtIndex(ui::SplitView& split, long index)
{
    auto d = splitViewDelegate();
    return d ? d->splitViewShouldHideDividerAtIndex(split, index).value_or(false) : false;
}

std::optional<bool> ZORAnchoredButtonBar::splitViewShouldAdjustSizeOfSubview(ui::SplitView& split, ui::View& subview)
{
    auto d = splitViewDelegate();
    return d ? d->splitViewShouldAdjustSizeOfSubview(split, subview) : std::nullopt;
}

void ZORAnchoredButtonBar::splitViewWillResizeSubviews(const fnd::Notification& notification)
{
    if (auto d = splitViewDelegate())
        d->splitViewWillResizeSubviews(notification);
}

void ZORAnchoredButtonBar::splitViewDidResizeSubviews(const fnd::Notification& notification)
{
    if (auto d = splitViewDelegate())
        d->splitViewDidResizeSubviews(notification);
}

// Archiving.

void ZORAnchoredButtonBar::encodeWithCoder(fnd::Coder& coder) const
{
    ui::View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    // Decoding takes the place and resizing of styles 0 to 2 from the style: written so, the archive reads back as
    // it was written, whatever the flags were set to since.
    bool resizable = m_isResizable, atBottom = m_isAtBottom;
    zorAnchoredBarTakeStylePlace(m_selectedIndex, atBottom, resizable);
    coder.encodeBool(resizable, Key::IsResizable);
    coder.encodeBool(atBottom, Key::IsAtBottom);
    coder.encodeBool(m_handleIsRightAligned, Key::HandleIsRightAligned);
    coder.encodeInt32(m_selectedIndex, Key::SelectedIndex);
}

bool ZORAnchoredButtonBar::initWithCoder(fnd::Coder& coder)
{
    if (!ui::View::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return true;
    m_isResizable = coder.decodeBoolForKey(Key::IsResizable);
    m_isAtBottom = coder.decodeBoolForKey(Key::IsAtBottom);
    m_handleIsRightAligned = coder.decodeBoolForKey(Key::HandleIsRightAligned);
    setSelectedIndex(coder.decodeInt32ForKey(Key::SelectedIndex));
    return !coder.hasFailed();
}
