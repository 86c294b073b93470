#include "platform/ui/views/View.h"

#include "platform/ui/views/detail/ViewCoordinates.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/layers/Autoresizing.h"
#include "platform/layers/Layer.h"
#include "platform/ui/views/ViewDrawing.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/FocusRing.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

namespace ui {

namespace {

// A frame's turn: about its origin, in the superview's coordinates.
gfx::AffineTransform viewFrameTurn(gfx::Point origin, double degrees)
{
    return gfx::concatenated(gfx::concatenated(gfx::AffineTransform::translation(-origin.x, -origin.y),
                                 gfx::AffineTransform::rotationByDegrees(degrees)),
        gfx::AffineTransform::translation(origin.x, origin.y));
}

}

FND_REGISTER_CLASS(View, Responder)

void View::describeClass(fnd::ClassBuilder<View>& c)
{
    c.property("frame", &View::frame, &View::setFrame);
    c.property("bounds", &View::bounds, &View::setBounds);
    c.property("hidden", &View::isHidden, &View::setHidden);
    c.property("alphaValue", &View::alphaValue, &View::setAlphaValue);
    c.property("toolTip", &View::toolTip, &View::setToolTip);
    c.property("acceptsTouchEvents", &View::acceptsTouchEvents, &View::setAcceptsTouchEvents);
    c.property("autoresizingMask", &View::autoresizingMask, &View::setAutoresizingMask);
    c.property("autoresizesSubviews", &View::autoresizesSubviews, &View::setAutoresizesSubviews);
    c.property("postsFrameChangedNotifications", &View::postsFrameChangedNotifications,
        &View::setPostsFrameChangedNotifications);
    c.property("postsBoundsChangedNotifications", &View::postsBoundsChangedNotifications,
        &View::setPostsBoundsChangedNotifications);
    c.property(
        "accessibilityTitleUIElement", &View::accessibilityTitleUIElement, &View::setAccessibilityTitleUIElement);
    c.property("accessibilityDescription", &View::accessibilityDescription, &View::setAccessibilityDescription);
    c.action("awakeFromNib", &View::awakeFromNib);
}

namespace {
std::atomic<detail::ViewGoneHandler> g_viewGoneHandler { nullptr };
}

void detail::setViewGoneHandler(ViewGoneHandler handler)
{
    g_viewGoneHandler.store(handler);
}

View::~View()
{
    if (auto handler = g_viewGoneHandler.load())
        handler(*this);
}

std::shared_ptr<View> View::create(gfx::Rect frame)
{
    return makeView<View>(frame);
}

void View::initWithFrame(gfx::Rect frame)
{
    if (m_initialised)
        throw fnd::Exception::internalInconsistency(
            fnd::String("initWithFrame: a " + className().utf8() + " is already initialised"));
    m_initialised = true;
    m_frame = frame;
    m_bounds = gfx::Rect({}, frame.size);
}

// Tree.

void View::addSubview(const std::shared_ptr<View>& view)
{
    addSubview(view, WindowOrderingMode::Above, nullptr);
}

void View::addSubview(const std::shared_ptr<View>& view, WindowOrderingMode place, const View* relativeTo)
{
    if (!view || view.get() == this)
        throw fnd::Exception::invalidArgument("addSubview: a view cannot be its own subview");
    if (isDescendantOf(*view))
        throw fnd::Exception::invalidArgument("addSubview: the view is an ancestor of the receiver");
    auto keep = view;
    view->removeFromSuperview();
    std::size_t index = place == WindowOrderingMode::Below ? 0 : m_subviews.size();
    if (relativeTo) {
        auto it
            = std::find_if(m_subviews.begin(), m_subviews.end(), [&](const auto& v) { return v.get() == relativeTo; });
        if (it != m_subviews.end())
            index = std::size_t(it - m_subviews.begin()) + (place == WindowOrderingMode::Below ? 0 : 1);
    }
    insertSubview(view, index);
}

void View::insertSubview(const std::shared_ptr<View>& view, std::size_t index)
{
    auto myWindow = window();
    view->viewWillMoveToSuperview(this);
    if (view->window() != myWindow)
        view->viewWillMoveToWindow(myWindow.get());
    m_subviews.insert(m_subviews.begin() + std::ptrdiff_t(index), view);
    view->m_superview = std::static_pointer_cast<View>(shared_from_this());
    view->setNextResponder(std::static_pointer_cast<Responder>(shared_from_this()));
    view->propagateWindow(myWindow.get());
    // Layout it asked for before it came here is now due in this tree and window.
    if (view->layoutIsDue())
        view->noteLayoutDueInSubtree();
    view->viewDidMoveToSuperview();
    didAddSubview(*view);
    view->setNeedsDisplay(true);
    accessibilityNoteChildrenChanged();
}

void View::removeFromSuperview()
{
    auto parent = superview();
    if (!parent)
        return;
    auto it = std::find_if(
        parent->m_subviews.begin(), parent->m_subviews.end(), [&](const auto& v) { return v.get() == this; });
    if (it != parent->m_subviews.end())
        parent->removeSubviewAt(std::size_t(it - parent->m_subviews.begin()));
}

void View::removeSubviewAt(std::size_t index)
{
    auto view = m_subviews[index]; // keeps it alive through the hooks
    // The area it covered must be drawn again without it.
    if (auto w = window(); w && !view->isHidden())
        setNeedsDisplayInRect(view->frame());
    willRemoveSubview(*view);
    // A view leaving its window gives up the keyboard and any press it was tracking.
    if (auto w = view->window()) {
        auto first = std::dynamic_pointer_cast<View>(w->firstResponder());
        if (first && first->isDescendantOf(*view))
            w->makeFirstResponder(nullptr);
        w->forgetMouseDownView(*view);
    }
    view->viewWillMoveToSuperview(nullptr);
    if (view->window())
        view->viewWillMoveToWindow(nullptr);
    // The hooks may have moved it: it is looked for only when it is no longer where it was.
    auto it = index < m_subviews.size() && m_subviews[index] == view
        ? m_subviews.begin() + std::ptrdiff_t(index)
        : std::find(m_subviews.begin(), m_subviews.end(), view);
    if (it != m_subviews.end())
        m_subviews.erase(it);
    view->m_superview.reset();
    view->setNextResponder(nullptr);
    view->propagateWindow(nullptr);
    view->viewDidMoveToSuperview();
    accessibilityNoteChildrenChanged();
}

void View::replaceSubview(const std::shared_ptr<View>& oldView, const std::shared_ptr<View>& newView)
{
    auto it = std::find(m_subviews.begin(), m_subviews.end(), oldView);
    if (it == m_subviews.end() || !newView)
        return;
    auto index = std::size_t(it - m_subviews.begin());
    removeSubviewAt(index);
    if (newView->superview())
        newView->removeFromSuperview();
    insertSubview(newView, std::min(index, m_subviews.size()));
}

void View::setSubviews(const std::vector<std::shared_ptr<View>>& views)
{
    for (std::size_t i = m_subviews.size(); i-- > 0;) {
        if (std::find(views.begin(), views.end(), m_subviews[i]) == views.end())
            removeSubviewAt(i);
    }
    for (const auto& v : views) {
        if (std::find(m_subviews.begin(), m_subviews.end(), v) == m_subviews.end())
            addSubview(v);
    }
    m_subviews = views;
    setNeedsDisplay(true);
    accessibilityNoteChildrenChanged();
}

void View::sortSubviewsUsingFunction(const std::function<ComparisonResult(const View&, const View&)>& compare)
{
    // Stable: views the function calls equal keep their order. (Sorted through indexes, since std::stable_sort's
    // temporary buffer is deprecated in this standard library.)
    std::vector<std::size_t> order(m_subviews.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        auto result = compare(*m_subviews[a], *m_subviews[b]);
        return result == ComparisonResult::Ascending || (result == ComparisonResult::Same && a < b);
    });
    std::vector<std::shared_ptr<View>> sorted;
    for (auto i : order)
        sorted.push_back(m_subviews[i]);
    m_subviews = std::move(sorted);
    setNeedsDisplay(true);
    accessibilityNoteChildrenChanged();
}

std::shared_ptr<View> View::opaqueAncestor() const
{
    for (auto view = std::const_pointer_cast<View>(std::static_pointer_cast<const View>(shared_from_this())); view;
         view = view->superview())
        if (view->isOpaque())
            return view;
    return nullptr;
}

bool View::isDescendantOf(const View& view) const
{
    for (const View* v = this; v; v = v->m_superview.lock().get()) {
        if (v == &view)
            return true;
    }
    return false;
}

std::shared_ptr<View> View::ancestorSharedWithView(const View& view) const
{
    for (auto v = std::static_pointer_cast<const View>(shared_from_this()); v; v = v->superview()) {
        if (view.isDescendantOf(*v))
            return std::const_pointer_cast<View>(v);
    }
    return nullptr;
}

std::shared_ptr<View> View::viewWithTag(long tag) const
{
    if (this->tag() == tag)
        return std::const_pointer_cast<View>(std::static_pointer_cast<const View>(shared_from_this()));
    for (const auto& v : m_subviews) {
        if (auto found = v->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

void View::viewWillMoveToWindow(Window*)
{
}
void View::viewDidMoveToWindow()
{
}
void View::viewWillMoveToSuperview(View*)
{
}
void View::viewDidMoveToSuperview()
{
}
void View::didAddSubview(View&)
{
}
void View::willRemoveSubview(View&)
{
}

void View::propagateWindow(Window* window)
{
    auto old = m_window.lock();
    if (old.get() == window)
        return;
    if (old)
        old->invalidateCursorRectsForView(*this);
    m_window = window ? std::static_pointer_cast<Window>(window->shared_from_this()) : std::shared_ptr<Window>();
    for (const auto& v : m_subviews) {
        if (v->window().get() != window)
            v->viewWillMoveToWindow(window);
        v->propagateWindow(window);
    }
    if (window)
        window->invalidateCursorRectsForView(*this);
    viewDidMoveToWindow();
}

void View::setWindowFromSuperview(const std::shared_ptr<Window>& window)
{
    if (window.get() != m_window.lock().get())
        viewWillMoveToWindow(window.get());
    propagateWindow(window.get());
}

void View::setIsRootViewOfWindow(View& view, const std::shared_ptr<Window>& window)
{
    view.m_superview.reset();
    view.setNextResponder(window);
    view.setWindowFromSuperview(window);
    if (window && view.layoutIsDue())
        window->setViewsNeedLayout(true);
}

// Geometry.

void View::setFrame(gfx::Rect frame)
{
    frame = detail::boundedViewRect(frame, m_frame);
    if (frame == m_frame)
        return;
    auto old = m_frame;
    if (frame.size != old.size) {
        // A size set by anyone but autoresizing owes nothing from before (autoresizing sets what it owes after).
        m_autoresizingShortfall = {};
        // Keep the bounds scale: the bounds follow the frame size in their own units; a frame that was empty takes
        // the scale it had before.
        auto scaleOf = [](double boundsLength, double frameLength, double whileEmpty) {
            if (frameLength != 0 && boundsLength != 0)
                return boundsLength / frameLength;
            return frameLength == 0 && whileEmpty > 0 ? whileEmpty : 1.0;
        };
        double sx = scaleOf(m_bounds.size.width, old.size.width, m_scaleWhileEmpty.width);
        double sy = scaleOf(m_bounds.size.height, old.size.height, m_scaleWhileEmpty.height);
        m_scaleWhileEmpty = { frame.size.width == 0 ? sx : 0, frame.size.height == 0 ? sy : 0 };
        // A scale kept from a frame a vanishing fraction of a point across would give bounds beyond any coordinate a
        // view holds (or an archive reads back): there the bounds follow the frame one to one.
        auto scaled = [](double size, double scale) {
            double result = size * scale;
            return std::isfinite(result) && std::abs(result) <= detail::ViewLargestExtent ? result : size;
        };
        auto oldBoundsSize = m_bounds.size;
        m_frame = frame;
        m_bounds.size = { scaled(frame.size.width, sx), scaled(frame.size.height, sy) };
        if (m_autoresizesSubviews)
            resizeSubviewsWithOldSize(oldBoundsSize);
    } else {
        m_frame = frame;
    }
    frameDidChange(old);
}

void View::setFrameOrigin(gfx::Point origin)
{
    setFrame({ origin, m_frame.size });
}

void View::setFrameSize(gfx::Size size)
{
    setFrame({ m_frame.origin, size });
}

void View::setFrameRotation(double degrees)
{
    if (!std::isfinite(degrees))
        degrees = 0;
    if (degrees == m_frameRotation)
        return;
    const double old = std::exchange(m_frameRotation, degrees);
    frameDidChange(m_frame, old);
}

void View::frameDidChange(gfx::Rect oldFrame, std::optional<double> oldRotation)
{
    hostedLayerGeometryDidChange();
    if (oldFrame.size != m_frame.size)
        setNeedsLayout(true);
    if (auto parent = superview()) {
        if (m_frameRotation != 0 || oldRotation.value_or(0) != 0) {
            // The turned frames, before and after.
            auto turned = [](gfx::Rect frame, double degrees) {
                return transformedRect(viewFrameTurn(frame.origin, degrees), frame);
            };
            parent->setNeedsDisplayInRect(gfx::unionRect(
                turned(oldFrame, oldRotation.value_or(m_frameRotation)), turned(m_frame, m_frameRotation)));
        } else if (oldFrame.origin == m_frame.origin && preservesContentDuringLiveResize() && inLiveResize()) {
            // What the old and the new frame do not share: the strips beyond the smaller width and height.
            const double minWidth = std::min(oldFrame.width(), m_frame.width());
            const double minHeight = std::min(oldFrame.height(), m_frame.height());
            const double maxWidth = std::max(oldFrame.width(), m_frame.width());
            const double maxHeight = std::max(oldFrame.height(), m_frame.height());
            const gfx::Point o = m_frame.origin;
            parent->setNeedsDisplayInRect({ o.x + minWidth, o.y, maxWidth - minWidth, maxHeight });
            parent->setNeedsDisplayInRect({ o.x, o.y + minHeight, maxWidth, maxHeight - minHeight });
        } else {
            parent->setNeedsDisplayInRect(gfx::unionRect(oldFrame, m_frame));
        }
    } else {
        setNeedsDisplay(true);
    }
    // The ring lies beyond the frame, where the marks above do not reach: where it was and where it is now.
    if (showsFocusRingNow()) {
        if (auto parent = superview()) {
            auto turned = [](gfx::Rect frame, double degrees) {
                return degrees == 0 ? frame : transformedRect(viewFrameTurn(frame.origin, degrees), frame);
            };
            const auto before = turned(oldFrame, oldRotation.value_or(m_frameRotation));
            detail::setNeedsDisplayForFocusRingAround(
                *parent, gfx::unionRect(before, turned(m_frame, m_frameRotation)));
        }
        noteFocusRingMaskChanged();
    }
    if (auto w = window())
        w->invalidateCursorRectsForView(*this);
    updateTrackingAreas();
    if (m_postsFrameChanged)
        fnd::NotificationCenter::defaultCenter().postNotificationName(ViewNotification::FrameDidChange, selfValue());
    if (isAccessibilityObserved() && window() && !accessibilityIsIgnored()) {
        if (oldFrame.origin != m_frame.origin)
            accessibilityPostNotification(*this, AccessibilityNotification::Moved);
        if (oldFrame.size != m_frame.size)
            accessibilityPostNotification(*this, AccessibilityNotification::Resized);
    }
}

void View::setBounds(gfx::Rect bounds)
{
    bounds = detail::boundedViewRect(bounds, m_bounds);
    if (bounds == m_bounds)
        return;
    m_bounds = bounds;
    boundsDidChange();
}

void View::setBoundsOrigin(gfx::Point origin)
{
    setBounds({ origin, m_bounds.size });
}

void View::setBoundsSize(gfx::Size size)
{
    setBounds({ m_bounds.origin, size });
}

void View::scaleUnitSquareToSize(gfx::Size size)
{
    if (size.width <= 0 || size.height <= 0)
        return;
    // Empty bounds keep no scale: the one the frame gets when it grows is kept aside.
    if (m_frame.size.width == 0)
        m_scaleWhileEmpty.width = (m_scaleWhileEmpty.width > 0 ? m_scaleWhileEmpty.width : 1) / size.width;
    if (m_frame.size.height == 0)
        m_scaleWhileEmpty.height = (m_scaleWhileEmpty.height > 0 ? m_scaleWhileEmpty.height : 1) / size.height;
    setBounds({ { m_bounds.origin.x / size.width, m_bounds.origin.y / size.height },
        { m_bounds.size.width / size.width, m_bounds.size.height / size.height } });
}

void View::translateOriginToPoint(gfx::Point point)
{
    setBoundsOrigin({ m_bounds.origin.x - point.x, m_bounds.origin.y - point.y });
}

void View::boundsDidChange()
{
    hostedLayerGeometryDidChange();
    setNeedsDisplay(true);
    if (auto w = window())
        w->invalidateCursorRectsForView(*this);
    updateTrackingAreas();
    if (m_postsBoundsChanged)
        fnd::NotificationCenter::defaultCenter().postNotificationName(ViewNotification::BoundsDidChange, selfValue());
}

void View::resizeSubviewsWithOldSize(gfx::Size oldSize)
{
    auto keep = m_subviews;
    for (const auto& v : keep)
        v->resizeWithOldSuperviewSize(oldSize);
}

// Views autoresize by the rule layers use, which reads the layers' mask bits.
static_assert(AutoresizingMask::MinXMargin == LayerAutoresizingMask::MinXMargin
    && AutoresizingMask::WidthSizable == LayerAutoresizingMask::WidthSizable
    && AutoresizingMask::MaxXMargin == LayerAutoresizingMask::MaxXMargin
    && AutoresizingMask::MinYMargin == LayerAutoresizingMask::MinYMargin
    && AutoresizingMask::HeightSizable == LayerAutoresizingMask::HeightSizable
    && AutoresizingMask::MaxYMargin == LayerAutoresizingMask::MaxYMargin);

void View::resizeWithOldSuperviewSize(gfx::Size oldSize)
{
    auto parent = superview();
    if (!parent || m_autoresizingMask == AutoresizingMask::NotSizable)
        return;
    // From the size the view would have had without the stop at zero; what is still below zero is kept.
    gfx::Rect from = m_frame;
    from.size.width -= m_autoresizingShortfall.width;
    from.size.height -= m_autoresizingShortfall.height;
    auto frame = autoresizedFrameBelowZero(from, m_autoresizingMask, oldSize, parent->bounds().size);
    const gfx::Size shortfall { std::max(0.0, -frame.size.width), std::max(0.0, -frame.size.height) };
    frame.size = { std::max(0.0, frame.size.width), std::max(0.0, frame.size.height) };
    setFrame(frame);
    m_autoresizingShortfall = shortfall;
}

// Conversions.

gfx::AffineTransform View::transformToSuperview() const
{
    double sx = m_bounds.size.width != 0 ? m_frame.size.width / m_bounds.size.width : 1;
    double sy = m_bounds.size.height != 0 ? m_frame.size.height / m_bounds.size.height : 1;
    auto parent = superview();
    bool parentFlipped = parent && parent->isFlipped();
    gfx::AffineTransform t;
    if (isFlipped() == parentFlipped) {
        t = { sx, 0, 0, sy, m_frame.origin.x - m_bounds.origin.x * sx, m_frame.origin.y - m_bounds.origin.y * sy };
    } else {
        t = { sx, 0, 0, -sy, m_frame.origin.x - m_bounds.origin.x * sx,
            m_frame.origin.y + m_frame.size.height + m_bounds.origin.y * sy };
    }
    if (m_frameRotation != 0)
        t = gfx::concatenated(t, viewFrameTurn(m_frame.origin, m_frameRotation));
    return t;
}

gfx::AffineTransform View::transformToBase() const
{
    gfx::AffineTransform t;
    for (auto v = std::static_pointer_cast<const View>(shared_from_this()); v; v = v->superview())
        t = gfx::concatenated(t, v->transformToSuperview());
    return t;
}

namespace {

gfx::AffineTransform baseTransformOf(const View* view)
{
    return view ? view->transformToBase() : gfx::AffineTransform {};
}

gfx::AffineTransform inverseOf(const gfx::AffineTransform& t)
{
    return t.inverted().value_or(gfx::AffineTransform {});
}

// Sizes convert as magnitudes: a flip does not make them negative.
gfx::Size transformSize(const gfx::AffineTransform& t, gfx::Size s)
{
    auto out = t.transformSize(s);
    return { std::abs(out.width) * (s.width < 0 ? -1 : 1), std::abs(out.height) * (s.height < 0 ? -1 : 1) };
}

}

gfx::Point View::convertPointFromView(gfx::Point point, const View* view) const
{
    return inverseOf(transformToBase()).transformPoint(baseTransformOf(view).transformPoint(point));
}

gfx::Point View::convertPointToView(gfx::Point point, const View* view) const
{
    return inverseOf(baseTransformOf(view)).transformPoint(transformToBase().transformPoint(point));
}

gfx::Size View::convertSizeFromView(gfx::Size size, const View* view) const
{
    return transformSize(inverseOf(transformToBase()), transformSize(baseTransformOf(view), size));
}

gfx::Size View::convertSizeToView(gfx::Size size, const View* view) const
{
    return transformSize(inverseOf(baseTransformOf(view)), transformSize(transformToBase(), size));
}

gfx::Rect View::convertRectFromView(gfx::Rect rect, const View* view) const
{
    return transformedRect(inverseOf(transformToBase()), transformedRect(baseTransformOf(view), rect));
}

gfx::Rect View::convertRectToView(gfx::Rect rect, const View* view) const
{
    return transformedRect(inverseOf(baseTransformOf(view)), transformedRect(transformToBase(), rect));
}

// Visibility and hit testing.

void View::setAlphaValue(double alpha)
{
    alpha = std::isnan(alpha) ? 0 : std::clamp(alpha, 0.0, 1.0);
    if (alpha == m_alpha)
        return;
    const bool wasShown = m_alpha > 0;
    m_alpha = alpha;
    // A view that shows no pixel shows no ring either, which lies beyond its frame.
    if (wasShown != (alpha > 0) && showsFocusRingNow())
        noteFocusRingMaskChanged();
    // A tint is composited over what lies beneath by its window: the view itself changed, nothing beneath it.
    // (Drawn with the tree instead, its dirty rects redraw what lies beneath there as well.)
    if (auto parent = superview(); parent && !overlayTintColor())
        parent->setNeedsDisplayInRect(m_frame);
    else
        setNeedsDisplay(true);
}

void View::setHidden(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    if (auto parent = superview())
        parent->setNeedsDisplayInRect(m_frame);
    if (hidden) {
        if (auto w = window()) {
            // A hidden view gives up the keyboard.
            auto first = w->firstResponder();
            if (auto firstView = std::dynamic_pointer_cast<View>(first); firstView && firstView->isDescendantOf(*this))
                w->makeFirstResponder(nullptr);
        }
    }
    if (auto w = window())
        w->invalidateCursorRectsForView(*this);
    if (hidden)
        viewDidHide();
    else
        viewDidUnhide();
    accessibilityNoteChildrenChanged();
}

bool View::inLiveResize() const
{
    auto w = window();
    return w && w->inLiveResize();
}

bool View::isHiddenOrHasHiddenAncestor() const
{
    for (const View* v = this; v; v = v->m_superview.lock().get()) {
        if (v->m_hidden)
            return true;
    }
    return false;
}

gfx::Rect View::visibleRect() const
{
    if (isHiddenOrHasHiddenAncestor())
        return {};
    gfx::Rect visible = m_bounds;
    auto child = std::static_pointer_cast<const View>(shared_from_this());
    gfx::AffineTransform toAncestor;
    for (auto parent = superview(); parent; child = parent, parent = parent->superview()) {
        toAncestor = gfx::concatenated(toAncestor, child->transformToSuperview());
        auto back = inverseOf(toAncestor);
        visible = gfx::intersectionRect(visible, transformedRect(back, parent->bounds()));
    }
    if (auto w = window(); w && w->contentView() && isDescendantOf(*w->contentView())) {
        // Nothing shows outside the window's content.
        auto fromBase = inverseOf(transformToBase());
        visible = gfx::intersectionRect(visible, transformedRect(fromBase, w->contentView()->frame()));
    }
    return visible;
}

std::shared_ptr<View> View::hitTest(gfx::Point point)
{
    if (m_hidden)
        return nullptr;
    auto parent = superview();
    auto inverse = transformToSuperview().inverted();
    if (!inverse)
        return nullptr;
    auto local = inverse->transformPoint(point);
    // A turned frame is tested where it lies: the point, turned back, in the bounds.
    if (m_frameRotation != 0 ? !gfx::mouseInRect(local, m_bounds, isFlipped())
                             : !gfx::mouseInRect(point, m_frame, parent && parent->isFlipped()))
        return nullptr;
    for (auto it = m_subviews.rbegin(); it != m_subviews.rend(); ++it) {
        if (auto hit = (*it)->hitTest(local))
            return hit;
    }
    return std::static_pointer_cast<View>(shared_from_this());
}

bool View::mouseInRect(gfx::Point point, gfx::Rect rect) const
{
    return gfx::mouseInRect(point, rect, isFlipped());
}

// Mouse answers.

namespace {

View::ContextMenuPresenter& presenter()
{
    static View::ContextMenuPresenter p;
    return p;
}

}

std::shared_ptr<Menu> View::menuForEvent(const Event&)
{
    return menu();
}

void View::rightMouseDown(const Event& event)
{
    auto self = std::static_pointer_cast<View>(shared_from_this());
    if (auto m = menuForEvent(event); m && presenter()) {
        presenter()(m, event, *this);
        return;
    }
    Responder::rightMouseDown(event);
}

bool View::performKeyEquivalent(const Event& event)
{
    auto subviews = m_subviews;
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        if (!(*it)->isHidden() && (*it)->performKeyEquivalent(event))
            return true;
    }
    return false;
}

void View::setContextMenuPresenter(ContextMenuPresenter p)
{
    presenter() = std::move(p);
}

}
