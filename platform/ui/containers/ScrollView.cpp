#include "platform/ui/containers/ScrollView.h"

#include "platform/graphics/BezierPath.h"
#include "platform/ui/controls/ControlTypes.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Event.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// Rounding of scaled sizes must not make a fitting document look one hair too large.
constexpr double FitTolerance = 1e-6;

double borderWidth(BorderType type)
{
    return type == BorderType::NoBorder ? 0 : 1;
}

// A part the document view offers by key ("headerView", "cornerView"): tables do, and any document view may.
std::shared_ptr<View> scrollViewDocumentPart(const std::shared_ptr<View>& document, const char* key)
{
    if (!document || !document->respondsTo(fnd::Selector(key)))
        return nullptr;
    return document->valueForKey(key).objectAs<View>();
}

}

FND_REGISTER_CLASS(ScrollView, View)

void ScrollView::describeClass(fnd::ClassBuilder<ScrollView>& c)
{
    c.property("hasVerticalScroller", &ScrollView::hasVerticalScroller, &ScrollView::setHasVerticalScroller);
    c.property("hasHorizontalScroller", &ScrollView::hasHorizontalScroller, &ScrollView::setHasHorizontalScroller);
    c.property("autohidesScrollers", &ScrollView::autohidesScrollers, &ScrollView::setAutohidesScrollers);
    c.property("borderType", &ScrollView::borderType, &ScrollView::setBorderType);
    c.property("lineScroll", &ScrollView::lineScroll, &ScrollView::setLineScroll);
    c.property("pageScroll", &ScrollView::pageScroll, &ScrollView::setPageScroll);
    c.property("documentView", &ScrollView::documentView, &ScrollView::setDocumentView);
    c.action("_doScroller:", &ScrollView::scrollerAction);
}

std::shared_ptr<ScrollView> ScrollView::create(gfx::Rect frame)
{
    return makeView<ScrollView>(frame);
}

void ScrollView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    if (!m_contentView)
        setContentView(ClipView::create({ 0, 0, frame.width(), frame.height() }));
    else
        tile();
}

gfx::Size ScrollView::contentSizeForFrameSize(gfx::Size frameSize, bool hasHorizontalScroller, bool hasVerticalScroller,
    BorderType border, ControlSize size, ScrollerStyle style)
{
    double inset = 2 * borderWidth(border);
    double strip = style == ScrollerStyle::Legacy ? Scroller::scrollerWidthForControlSize(size, style) : 0;
    return { std::max(0.0, frameSize.width - inset - (hasVerticalScroller ? strip : 0)),
        std::max(0.0, frameSize.height - inset - (hasHorizontalScroller ? strip : 0)) };
}

gfx::Size ScrollView::frameSizeForContentSize(gfx::Size contentSize, bool hasHorizontalScroller,
    bool hasVerticalScroller, BorderType border, ControlSize size, ScrollerStyle style)
{
    double inset = 2 * borderWidth(border);
    double strip = style == ScrollerStyle::Legacy ? Scroller::scrollerWidthForControlSize(size, style) : 0;
    return { contentSize.width + inset + (hasVerticalScroller ? strip : 0),
        contentSize.height + inset + (hasHorizontalScroller ? strip : 0) };
}

// Content.

void ScrollView::setContentView(const std::shared_ptr<ClipView>& clipView)
{
    if (clipView == m_contentView || !clipView)
        return;
    auto self = shared_from_this();
    std::shared_ptr<View> document;
    if (m_contentView) {
        document = m_contentView->documentView();
        m_contentView->setDocumentView(nullptr);
        replaceSubview(m_contentView, clipView);
    } else {
        addSubview(clipView, WindowOrderingMode::Below, nullptr);
    }
    m_contentView = clipView;
    if (document && !clipView->documentView())
        clipView->setDocumentView(document);
    tile();
}

std::shared_ptr<View> ScrollView::documentView() const
{
    return m_contentView ? m_contentView->documentView() : nullptr;
}

void ScrollView::setDocumentView(const std::shared_ptr<View>& view)
{
    if (m_contentView)
        m_contentView->setDocumentView(view);
    tile();
}

gfx::Rect ScrollView::documentVisibleRect() const
{
    return m_contentView ? m_contentView->documentVisibleRect() : gfx::Rect {};
}

gfx::Size ScrollView::contentSize() const
{
    return m_contentView ? m_contentView->frame().size : gfx::Size {};
}

// Scrollers.

void ScrollView::adoptScroller(const std::shared_ptr<Scroller>& scroller)
{
    scroller->setScrollerStyle(m_scrollerStyle);
    scroller->setTarget(std::static_pointer_cast<fnd::Object>(shared_from_this()));
    scroller->setAction("_doScroller:");
    addSubview(scroller);
}

void ScrollView::setHasVerticalScroller(bool flag)
{
    if (flag == m_hasVerticalScroller)
        return;
    m_hasVerticalScroller = flag;
    if (flag && !m_verticalScroller)
        setVerticalScroller(Scroller::create(
            { 0, 0, Scroller::scrollerWidthForControlSize(ControlSize::Regular, m_scrollerStyle), 100 }));
    else if (m_verticalScroller)
        m_verticalScroller->setHidden(!flag);
    tile();
}

void ScrollView::setHasHorizontalScroller(bool flag)
{
    if (flag == m_hasHorizontalScroller)
        return;
    m_hasHorizontalScroller = flag;
    if (flag && !m_horizontalScroller)
        setHorizontalScroller(Scroller::create(
            { 0, 0, 100, Scroller::scrollerWidthForControlSize(ControlSize::Regular, m_scrollerStyle) }));
    else if (m_horizontalScroller)
        m_horizontalScroller->setHidden(!flag);
    tile();
}

void ScrollView::setVerticalScroller(const std::shared_ptr<Scroller>& scroller)
{
    if (scroller == m_verticalScroller)
        return;
    if (m_verticalScroller)
        m_verticalScroller->removeFromSuperview();
    m_verticalScroller = scroller;
    if (scroller)
        adoptScroller(scroller);
    tile();
}

void ScrollView::setHorizontalScroller(const std::shared_ptr<Scroller>& scroller)
{
    if (scroller == m_horizontalScroller)
        return;
    if (m_horizontalScroller)
        m_horizontalScroller->removeFromSuperview();
    m_horizontalScroller = scroller;
    if (scroller)
        adoptScroller(scroller);
    tile();
}

void ScrollView::setAutohidesScrollers(bool flag)
{
    if (flag == m_autohidesScrollers)
        return;
    m_autohidesScrollers = flag;
    tile();
}

void ScrollView::setScrollerStyle(ScrollerStyle style)
{
    if (style == m_scrollerStyle)
        return;
    m_scrollerStyle = style;
    for (const auto& s : { m_verticalScroller, m_horizontalScroller }) {
        if (s)
            s->setScrollerStyle(style);
    }
    tile();
}

// Border and background.

void ScrollView::setFrame(gfx::Rect frame)
{
    const gfx::Size old = bounds().size;
    View::setFrame(frame);
    // With autoresizing off, View::setFrame leaves the parts where they were; they are placed by tile all the same.
    if (!autoresizesSubviews() && bounds().size != old)
        tile();
}

void ScrollView::setBounds(gfx::Rect bounds)
{
    const gfx::Size old = this->bounds().size;
    View::setBounds(bounds);
    if (this->bounds().size != old)
        tile();
}

void ScrollView::setBorderType(BorderType type)
{
    if (type == m_borderType || !isWithin(type, BorderType::NoBorder, BorderType::GrooveBorder))
        return;
    m_borderType = type;
    tile();
    setNeedsDisplay(true);
}

gfx::EdgeInsets ScrollView::borderInsets() const
{
    double w = borderWidth(m_borderType);
    return { w, w, w, w };
}

gfx::ColorPtr ScrollView::backgroundColor() const
{
    return m_contentView ? m_contentView->backgroundColor() : nullptr;
}

void ScrollView::setBackgroundColor(gfx::ColorPtr color)
{
    if (m_contentView)
        m_contentView->setBackgroundColor(std::move(color));
}

bool ScrollView::drawsBackground() const
{
    return m_contentView && m_contentView->drawsBackground();
}

void ScrollView::setDrawsBackground(bool flag)
{
    if (m_contentView)
        m_contentView->setDrawsBackground(flag);
}

void ScrollView::setLineScroll(double amount)
{
    setVerticalLineScroll(amount);
    setHorizontalLineScroll(amount);
}

void ScrollView::setPageScroll(double amount)
{
    setVerticalPageScroll(amount);
    setHorizontalPageScroll(amount);
}

// Rulers.

void ScrollView::setHasHorizontalRuler(bool flag)
{
    if (flag == m_hasHorizontalRuler)
        return;
    m_hasHorizontalRuler = flag;
    tile();
}

void ScrollView::setHasVerticalRuler(bool flag)
{
    if (flag == m_hasVerticalRuler)
        return;
    m_hasVerticalRuler = flag;
    tile();
}

void ScrollView::setHorizontalRulerView(const std::shared_ptr<View>& ruler)
{
    if (ruler == m_horizontalRuler)
        return;
    if (m_horizontalRuler)
        m_horizontalRuler->removeFromSuperview();
    m_horizontalRuler = ruler;
    if (ruler)
        addSubview(ruler);
    tile();
}

void ScrollView::setVerticalRulerView(const std::shared_ptr<View>& ruler)
{
    if (ruler == m_verticalRuler)
        return;
    if (m_verticalRuler)
        m_verticalRuler->removeFromSuperview();
    m_verticalRuler = ruler;
    if (ruler)
        addSubview(ruler);
    tile();
}

void ScrollView::setRulersVisible(bool flag)
{
    if (flag == m_rulersVisible)
        return;
    m_rulersVisible = flag;
    tile();
}

// Layout.

std::pair<bool, bool> ScrollView::scrollersShown() const
{
    bool wantH = m_hasHorizontalScroller && m_horizontalScroller;
    bool wantV = m_hasVerticalScroller && m_verticalScroller;
    auto document = documentView();
    if (!m_autohidesScrollers || !document || !m_contentView)
        return { wantH, wantV };
    // The room there is without scrollers, in the clip view's units (it may be zoomed).
    auto in = borderInsets();
    double rulerH
        = m_rulersVisible && m_hasHorizontalRuler && m_horizontalRuler ? m_horizontalRuler->frame().height() : 0;
    double rulerV = m_rulersVisible && m_hasVerticalRuler && m_verticalRuler ? m_verticalRuler->frame().width() : 0;
    double width = bounds().width() - in.left - in.right - rulerV;
    double height = bounds().height() - in.top - in.bottom - rulerH - tableHeaderHeight();
    auto clipFrame = m_contentView->frame().size;
    auto clipBounds = m_contentView->bounds().size;
    double sx = clipFrame.width > 0 ? clipBounds.width / clipFrame.width : 1;
    double sy = clipFrame.height > 0 ? clipBounds.height / clipFrame.height : 1;
    bool legacy = m_scrollerStyle == ScrollerStyle::Legacy;
    double strip = Scroller::scrollerWidthForControlSize(ControlSize::Regular, m_scrollerStyle);
    auto doc = document->frame().size;
    bool showH = false, showV = false;
    // A scroller taking its strip may make the other one necessary: settle in two rounds.
    for (int round = 0; round < 2; ++round) {
        double w = (width - (legacy && showV ? strip : 0)) * sx;
        double h = (height - (legacy && showH ? strip : 0)) * sy;
        showH = wantH && doc.width > w + FitTolerance;
        showV = wantV && doc.height > h + FitTolerance;
    }
    return { showH, showV };
}

void ScrollView::tile()
{
    if (!m_contentView || m_tiling)
        return;
    auto self = shared_from_this();
    m_tiling = true;
    auto in = borderInsets();
    auto b = bounds();
    gfx::Rect inner { b.minX() + in.left, b.minY() + in.top, std::max(0.0, b.width() - in.left - in.right),
        std::max(0.0, b.height() - in.top - in.bottom) };
    auto [showH, showV] = scrollersShown();
    bool legacy = m_scrollerStyle == ScrollerStyle::Legacy;
    double vWidth = m_verticalScroller
        ? Scroller::scrollerWidthForControlSize(m_verticalScroller->controlSize(), m_scrollerStyle)
        : 0;
    double hHeight = m_horizontalScroller
        ? Scroller::scrollerWidthForControlSize(m_horizontalScroller->controlSize(), m_scrollerStyle)
        : 0;
    bool showHRuler = m_rulersVisible && m_hasHorizontalRuler && m_horizontalRuler;
    bool showVRuler = m_rulersVisible && m_hasVerticalRuler && m_verticalRuler;
    double rulerH = showHRuler ? m_horizontalRuler->frame().height() : 0;
    double rulerV = showVRuler ? m_verticalRuler->frame().width() : 0;

    const double headerH = tableHeaderHeight();
    gfx::Rect content { inner.minX() + rulerV, inner.minY() + rulerH + headerH,
        std::max(0.0, inner.width() - rulerV - (legacy && showV ? vWidth : 0)),
        std::max(0.0, inner.height() - rulerH - headerH - (legacy && showH ? hHeight : 0)) };
    placeTableHeader({ content.minX(), content.minY() - headerH, content.width(), headerH },
        { content.maxX(), content.minY() - headerH, vWidth, headerH }, legacy && showV);
    if (m_horizontalRuler) {
        m_horizontalRuler->setHidden(!showHRuler);
        if (showHRuler)
            m_horizontalRuler->setFrame({ content.minX(), inner.minY(), content.width(), rulerH });
    }
    if (m_verticalRuler) {
        m_verticalRuler->setHidden(!showVRuler);
        if (showVRuler)
            m_verticalRuler->setFrame({ inner.minX(), content.minY(), rulerV, content.height() });
    }
    m_contentView->setFrame(content);
    if (m_verticalScroller) {
        m_verticalScroller->setHidden(!showV);
        if (legacy)
            m_verticalScroller->setFrame({ content.maxX(), content.minY(), vWidth, content.height() });
        else
            m_verticalScroller->setFrame({ content.maxX() - vWidth, content.minY(), vWidth,
                std::max(0.0, content.height() - (showH ? hHeight : 0)) });
    }
    if (m_horizontalScroller) {
        m_horizontalScroller->setHidden(!showH);
        if (legacy)
            m_horizontalScroller->setFrame({ content.minX(), content.maxY(), content.width(), hHeight });
        else
            m_horizontalScroller->setFrame({ content.minX(), content.maxY() - hHeight,
                std::max(0.0, content.width() - (showV ? vWidth : 0)), hHeight });
    }
    updateScrollers();
    setNeedsDisplay(true);
    m_tiling = false;
}

std::shared_ptr<View> ScrollView::tableHeaderView() const
{
    return scrollViewDocumentPart(documentView(), "headerView");
}

std::shared_ptr<View> ScrollView::tableCornerView() const
{
    return scrollViewDocumentPart(documentView(), "cornerView");
}

double ScrollView::tableHeaderHeight() const
{
    auto header = tableHeaderView();
    return header ? header->frame().height() : 0;
}

void ScrollView::placeTableHeader(gfx::Rect header, gfx::Rect corner, bool showCorner)
{
    auto headerView = tableHeaderView();
    if (!headerView) {
        if (m_headerClipView) {
            m_headerClipView->setDocumentView(nullptr);
            m_headerClipView->removeFromSuperview();
            m_headerClipView = nullptr;
        }
    } else {
        if (!m_headerClipView) {
            m_headerClipView = ClipView::create(header);
            addSubview(m_headerClipView);
        }
        if (m_headerClipView->documentView() != headerView)
            m_headerClipView->setDocumentView(headerView);
        m_headerClipView->setFrame(header);
        if (m_contentView)
            m_headerClipView->scrollToPoint({ m_contentView->bounds().minX(), 0 });
    }
    auto cornerView = headerView ? tableCornerView() : nullptr;
    if (m_cornerView && m_cornerView != cornerView)
        m_cornerView->removeFromSuperview();
    m_cornerView = cornerView;
    if (m_cornerView) {
        if (m_cornerView->superview().get() != this)
            addSubview(m_cornerView);
        m_cornerView->setHidden(!showCorner);
        m_cornerView->setFrame(corner);
    }
}

void ScrollView::resizeSubviewsWithOldSize(gfx::Size)
{
    // Everything here is placed by tile, not by autoresizing.
    tile();
}

void ScrollView::reflectScrolledClipView(ClipView& clipView)
{
    if (&clipView != m_contentView.get())
        return;
    // The header scrolls sideways with the rows.
    if (m_headerClipView && m_headerClipView->bounds().minX() != clipView.bounds().minX())
        m_headerClipView->scrollToPoint({ clipView.bounds().minX(), 0 });
    if (m_autohidesScrollers && !m_tiling) {
        auto [showH, showV] = scrollersShown();
        bool shownH = m_horizontalScroller && !m_horizontalScroller->isHidden();
        bool shownV = m_verticalScroller && !m_verticalScroller->isHidden();
        if (showH != shownH || showV != shownV) {
            tile();
            return;
        }
    }
    updateScrollers();
}

void ScrollView::updateScrollers()
{
    if (!m_contentView)
        return;
    auto doc = m_contentView->documentRect();
    auto b = m_contentView->bounds();
    bool hasDocument = documentView() != nullptr;
    if (m_verticalScroller) {
        double range = doc.height() - b.height();
        double value = 0;
        if (range > 0)
            value = m_contentView->isFlipped() ? (b.minY() - doc.minY()) / range : (doc.maxY() - b.maxY()) / range;
        m_verticalScroller->setKnobProportion(hasDocument && doc.height() > 0 ? b.height() / doc.height() : 1);
        m_verticalScroller->setDoubleValue(std::clamp(value, 0.0, 1.0));
        m_verticalScroller->setNeedsDisplay(true);
    }
    if (m_horizontalScroller) {
        double range = doc.width() - b.width();
        double value = range > 0 ? (b.minX() - doc.minX()) / range : 0;
        m_horizontalScroller->setKnobProportion(hasDocument && doc.width() > 0 ? b.width() / doc.width() : 1);
        m_horizontalScroller->setDoubleValue(std::clamp(value, 0.0, 1.0));
        m_horizontalScroller->setNeedsDisplay(true);
    }
}

// Scrolling.

void ScrollView::scrollClipBy(double right, double down)
{
    if (!m_contentView)
        return;
    auto o = m_contentView->bounds().origin;
    m_contentView->scrollToPoint({ o.x + right, o.y + (m_contentView->isFlipped() ? down : -down) });
}

void ScrollView::scrollerAction(const fnd::Value& sender)
{
    auto scroller = sender.objectAs<Scroller>();
    if (!scroller || !m_contentView)
        return;
    auto self = shared_from_this();
    bool vertical = scroller == m_verticalScroller;
    auto b = m_contentView->bounds();
    double line = vertical ? m_verticalLineScroll : m_horizontalLineScroll;
    double visible = gfx::lengthAlong(b, scroller->axis());
    // A page keeps pageScroll of the old view in sight, but always moves.
    double page = std::max(line, visible - (vertical ? m_verticalPageScroll : m_horizontalPageScroll));
    double amount = 0;
    switch (scroller->hitPart()) {
    case ScrollerPart::DecrementLine:
        amount = -line;
        break;
    case ScrollerPart::IncrementLine:
        amount = line;
        break;
    case ScrollerPart::DecrementPage:
        amount = -page;
        break;
    case ScrollerPart::IncrementPage:
        amount = page;
        break;
    case ScrollerPart::Knob: {
        auto doc = m_contentView->documentRect();
        double value = scroller->knobPosition();
        if (vertical) {
            double range = std::max(0.0, doc.height() - b.height());
            double y
                = m_contentView->isFlipped() ? doc.minY() + value * range : doc.maxY() - b.height() - value * range;
            m_contentView->scrollToPoint({ b.minX(), y });
        } else {
            double range = std::max(0.0, doc.width() - b.width());
            m_contentView->scrollToPoint({ doc.minX() + value * range, b.minY() });
        }
        return;
    }
    default:
        return;
    }
    if (vertical)
        scrollClipBy(0, amount);
    else
        scrollClipBy(amount, 0);
}

void ScrollView::scrollWheel(const Event& event)
{
    if (!m_contentView || !documentView()) {
        View::scrollWheel(event);
        return;
    }
    double dx = 0, dy = 0;
    if (event.hasPreciseScrollingDeltas()) {
        dx = event.scrollingDeltaX();
        dy = event.scrollingDeltaY();
    } else {
        dx = event.deltaX() * m_horizontalLineScroll;
        dy = event.deltaY() * m_verticalLineScroll;
        // A plain wheel with Shift held scrolls sideways.
        if ((event.modifierFlags() & ModifierFlags::Shift) && dx == 0)
            std::swap(dx, dy);
    }
    auto before = m_contentView->bounds().origin;
    // A positive delta shows what lies above or to the left.
    scrollClipBy(-dx, -dy);
    // At the edge the wheel goes on to an enclosing scroll view.
    if (m_contentView->bounds().origin == before)
        View::scrollWheel(event);
}

// Drawing.

bool ScrollView::isOpaque() const
{
    return m_contentView && m_contentView->isOpaque() && m_borderType == BorderType::NoBorder;
}

void ScrollView::drawRect(gfx::Rect)
{
    auto b = bounds();
    // The corner between two legacy scrollers.
    if (m_scrollerStyle == ScrollerStyle::Legacy && m_verticalScroller && !m_verticalScroller->isHidden()
        && m_horizontalScroller && !m_horizontalScroller->isHidden()) {
        auto v = m_verticalScroller->frame();
        auto h = m_horizontalScroller->frame();
        gfx::Color::colorWithCalibratedWhite(0.98)->setFill();
        gfx::BezierPath::fillRect({ v.minX(), h.minY(), v.width(), h.height() });
    }
    if (m_borderType == BorderType::NoBorder)
        return;
    auto color = m_borderType == BorderType::LineBorder ? gfx::Color::colorWithCalibratedWhite(0, 0.45)
                                                        : ControlLook::borderColor();
    color->setFill();
    gfx::BezierPath::fillRect({ b.minX(), b.minY(), b.width(), 1 });
    gfx::BezierPath::fillRect({ b.minX(), b.maxY() - 1, b.width(), 1 });
    gfx::BezierPath::fillRect({ b.minX(), b.minY() + 1, 1, b.height() - 2 });
    gfx::BezierPath::fillRect({ b.maxX() - 1, b.minY() + 1, 1, b.height() - 2 });
}

}
