#include "platform/ui/containers/ClipView.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/BezierPath.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/Event.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(ClipView, View)

void ClipView::describeClass(fnd::ClassBuilder<ClipView>& c)
{
    c.property("drawsBackground", &ClipView::drawsBackground, &ClipView::setDrawsBackground);
}

ClipView::~ClipView()
{
    stopObservingDocument();
}

std::shared_ptr<ClipView> ClipView::create(gfx::Rect frame)
{
    return makeView<ClipView>(frame);
}

void ClipView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    setAutoresizesSubviews(false); // the document keeps its own size
    if (!m_backgroundColor)
        m_backgroundColor = gfx::Color::controlBackgroundColor();
}

// The document.

void ClipView::setDocumentView(const std::shared_ptr<View>& view)
{
    if (view == m_documentView)
        return;
    // Checked before anything changes: the clip view would hold a view that holds it.
    if (view && (view.get() == this || isDescendantOf(*view)))
        throw fnd::Exception::invalidArgument(
            "ClipView: setDocumentView: the view is the clip view or one of its ancestors");
    auto self = shared_from_this();
    if (m_documentView) {
        stopObservingDocument();
        auto old = m_documentView;
        m_documentView.reset();
        old->removeFromSuperview();
    }
    m_documentView = view;
    if (view) {
        addSubview(view);
        view->setPostsFrameChangedNotifications(true);
        view->setPostsBoundsChangedNotifications(true);
        observeDocument();
    }
    // A new document starts at its origin (its top left when flipped).
    auto doc = documentRect();
    scrollToPoint({ doc.minX(), isFlipped() ? doc.minY() : doc.maxY() - bounds().height() });
    setNeedsDisplay(true);
    reflectToScrollView();
}

void ClipView::willRemoveSubview(View& subview)
{
    if (m_documentView.get() == &subview) {
        stopObservingDocument();
        m_documentView.reset();
        reflectToScrollView();
    }
    View::willRemoveSubview(subview);
}

void ClipView::observeDocument()
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    std::weak_ptr<ClipView> weak = std::static_pointer_cast<ClipView>(shared_from_this());
    auto document = m_documentView->selfValue();
    m_frameObserver
        = center.addObserverForName(ViewNotification::FrameDidChange, document, [weak](const fnd::Notification& n) {
              if (auto self = weak.lock())
                  self->viewFrameChanged(n);
          });
    m_boundsObserver
        = center.addObserverForName(ViewNotification::BoundsDidChange, document, [weak](const fnd::Notification& n) {
              if (auto self = weak.lock())
                  self->viewBoundsChanged(n);
          });
}

void ClipView::stopObservingDocument()
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    if (m_frameObserver)
        center.removeObserver(m_frameObserver);
    if (m_boundsObserver)
        center.removeObserver(m_boundsObserver);
    m_frameObserver = {};
    m_boundsObserver = {};
}

gfx::Rect ClipView::documentRect() const
{
    if (!m_documentView)
        return { bounds().origin, bounds().size };
    auto doc = m_documentView->frame();
    auto b = bounds();
    // Where the document is smaller, the rect grows from its origin (so an unflipped small document sits at the
    // bottom, a flipped one at the top).
    doc.size.width = std::max(doc.width(), b.width());
    doc.size.height = std::max(doc.height(), b.height());
    return doc;
}

gfx::Rect ClipView::documentVisibleRect() const
{
    if (!m_documentView)
        return {};
    auto visible = gfx::intersectionRect(bounds(), m_documentView->frame());
    return m_documentView->convertRectFromView(visible, this);
}

// Scrolling.

gfx::Point ClipView::constrainScrollPoint(gfx::Point proposed)
{
    auto doc = documentRect();
    auto b = bounds();
    // std::clamp lets NaN through: a coordinate that is not a number keeps the one the view has.
    if (std::isnan(proposed.x))
        proposed.x = b.minX();
    if (std::isnan(proposed.y))
        proposed.y = b.minY();
    return { std::clamp(proposed.x, doc.minX(), std::max(doc.minX(), doc.maxX() - b.width())),
        std::clamp(proposed.y, doc.minY(), std::max(doc.minY(), doc.maxY() - b.height())) };
}

void ClipView::scrollToPoint(gfx::Point newOrigin)
{
    auto self = shared_from_this();
    auto constrained = constrainScrollPoint(newOrigin);
    if (constrained != bounds().origin)
        setBoundsOrigin(constrained);
}

void ClipView::setBounds(gfx::Rect bounds)
{
    if (bounds == this->bounds())
        return;
    View::setBounds(bounds);
    reflectToScrollView();
}

void ClipView::setFrame(gfx::Rect frame)
{
    if (frame == this->frame())
        return;
    View::setFrame(frame);
    // A larger clip may show past the document's end: constrain again.
    scrollToPoint(bounds().origin);
    reflectToScrollView();
}

void ClipView::scaleUnitSquareToSize(gfx::Size size)
{
    View::scaleUnitSquareToSize(size);
    scrollToPoint(bounds().origin);
}

bool ClipView::autoscroll(const Event& event)
{
    auto p = convertPointFromView(event.locationInWindow(), nullptr);
    auto b = bounds();
    double dx = p.x < b.minX() ? p.x - b.minX() : (p.x > b.maxX() ? p.x - b.maxX() : 0);
    double dy = p.y < b.minY() ? p.y - b.minY() : (p.y > b.maxY() ? p.y - b.maxY() : 0);
    if (dx == 0 && dy == 0)
        return false;
    auto before = b.origin;
    scrollToPoint({ before.x + dx, before.y + dy });
    return bounds().origin != before;
}

bool ClipView::scrollRectToVisible(gfx::Rect rect)
{
    auto b = bounds();
    auto origin = b.origin;
    // The smallest move that shows the rect; a rect larger than the bounds shows its start.
    auto axis = [](double start, double length, double visibleStart, double visibleLength) {
        if (start < visibleStart || length > visibleLength)
            return start;
        if (start + length > visibleStart + visibleLength)
            return start + length - visibleLength;
        return visibleStart;
    };
    origin.x = axis(rect.minX(), rect.width(), b.minX(), b.width());
    if (isFlipped()) {
        origin.y = axis(rect.minY(), rect.height(), b.minY(), b.height());
    } else {
        // Unflipped: the start that matters is the rect's top.
        double top = -rect.maxY(), visibleTop = -b.maxY();
        origin.y = -(axis(top, rect.height(), visibleTop, b.height()) + b.height());
    }
    bool moved = false;
    if (origin != b.origin) {
        scrollToPoint(origin);
        moved = bounds().origin != b.origin;
    }
    // Nested clip views: what of the rect is visible here is shown by the outer ones.
    auto shown = gfx::intersectionRect(rect, bounds());
    if (auto parent = superview(); parent && !shown.isEmpty())
        moved = parent->scrollRectToVisible(convertRectToView(shown, parent.get())) || moved;
    return moved;
}

void ClipView::viewFrameChanged(const fnd::Notification&)
{
    scrollToPoint(bounds().origin);
    reflectToScrollView();
}

void ClipView::viewBoundsChanged(const fnd::Notification&)
{
    setNeedsDisplay(true);
    reflectToScrollView();
}

void ClipView::reflectToScrollView()
{
    if (auto scrollView = std::dynamic_pointer_cast<ScrollView>(superview()))
        scrollView->reflectScrolledClipView(*this);
}

// Drawing.

void ClipView::setBackgroundColor(gfx::ColorPtr color)
{
    if (color == m_backgroundColor)
        return;
    m_backgroundColor = std::move(color);
    setNeedsDisplay(true);
}

void ClipView::setDrawsBackground(bool flag)
{
    if (flag == m_drawsBackground)
        return;
    m_drawsBackground = flag;
    setNeedsDisplay(true);
}

bool ClipView::isOpaque() const
{
    return m_drawsBackground && m_backgroundColor && m_backgroundColor->alphaComponent() >= 1;
}

void ClipView::drawRect(gfx::Rect dirtyRect)
{
    if (!m_drawsBackground || !m_backgroundColor)
        return;
    m_backgroundColor->setFill();
    gfx::BezierPath::fillRect(dirtyRect);
}

}
