// Dividers of the proportional split view: drawing, cursor rects, dragging (crossing dividers of coupled nested split
// views included), double clicks and growing the window.
#include "frameworks/proportional-split-view/KJSplitView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Screen.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double KJSplitViewDividersHuge = 1000000.0;

std::array<std::shared_ptr<ui::Cursor>, 4>& KJSplitViewDividersCursors()
{
    static std::array<std::shared_ptr<ui::Cursor>, 4> cursors;
    return cursors;
}

// The rect lengthened by t at both ends along the divider's own length (across its split axis).
gfx::Rect KJSplitViewDividersLengthened(gfx::Rect rect, gfx::Axis splitAxis, double t)
{
    const auto length = gfx::crossAxis(splitAxis);
    return gfx::withLengthAlong(gfx::offsetAlong(rect, length, -t), length, gfx::lengthAlong(rect, length) + 2 * t);
}

}

// Cursors.

std::shared_ptr<ui::Cursor> KJSplitView::cursor(int type)
{
    if (type < 0 || type > 3)
        return ui::Cursor::currentCursor();
    if (auto set = KJSplitViewDividersCursors()[static_cast<std::size_t>(type)])
        return set;
    switch (type) {
    case 0:
        return ui::Cursor::resizeUpDownCursor();
    case 1:
        return ui::Cursor::resizeLeftRightCursor();
    case 2:
        return ui::Cursor::openHandCursor();
    default:
        return ui::Cursor::closedHandCursor();
    }
}

void KJSplitView::setCursor(int type, const std::shared_ptr<ui::Cursor>& cursor)
{
    if (type >= 0 && type <= 3)
        KJSplitViewDividersCursors()[static_cast<std::size_t>(type)] = cursor;
}

// Geometry.

gfx::Rect KJSplitView::KJ_dividerRect(std::size_t index, const ui::View* relativeTo) const
{
    std::size_t visible = KJ_numberOfSubviews();
    if (m_dividers.empty() || visible < 2 || index >= visible - 1 || index >= m_dividers.size())
        return {};
    auto rect = m_dividers[index];
    if (relativeTo && relativeTo != this)
        rect = convertRectToView(rect, relativeTo);
    return rect;
}

std::size_t KJSplitView::KJ_dividerHitBy(gfx::Point point, const ui::View* relativeTo, double thickness) const
{
    if (m_dividers.empty() || KJ_numberOfSubviews() < 2)
        return NoDivider;
    if (relativeTo && relativeTo != this)
        point = convertPointFromView(point, relativeTo);
    for (std::size_t i = 0; i < m_dividers.size(); ++i) {
        if (gfx::pointInRect(point, KJSplitViewDividersLengthened(m_dividers[i], axis(), thickness)))
            return i;
    }
    return NoDivider;
}

// Drawing.

void KJSplitView::drawRect(gfx::Rect dirtyRect)
{
    KJSplitSubview::drawRect(dirtyRect);
    auto visible = KJ_subviews();
    if (m_dividers.empty() || visible.size() < 2)
        return;
    auto image = divider();
    double t = dividerThickness();
    for (std::size_t i = 0; i < m_dividers.size() && i + 1 < visible.size(); ++i) {
        auto rect = m_dividers[i];
        if (!needsToDrawRect(rect))
            continue;
        auto* leading = visible[i].get();
        auto* trailing = visible[i + 1].get();
        auto* leadingSplit = leading->coupledSplitView() ? leading->asSplitView() : nullptr;
        auto* trailingSplit = trailing->coupledSplitView() ? trailing->asSplitView() : nullptr;
        std::shared_ptr<gfx::Image> drawn;
        if (image && !leadingSplit && !trailingSplit)
            drawn = image;
        drawDivider(drawn, rect, leading, trailing);
        if (image) {
            if (leadingSplit)
                leadingSplit->KJ_drawDividersIn(*this, rect, t);
            if (trailingSplit)
                trailingSplit->KJ_drawDividersIn(*this, rect, t);
        }
    }
}

void KJSplitView::drawDivider(
    const std::shared_ptr<gfx::Image>& image, gfx::Rect rect, KJSplitSubview* leading, KJSplitSubview* trailing)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    gfx::GraphicsStateGuard guard;
    auto fill = background();
    if ((leading || trailing) && fill) {
        fill->setFill();
        context->fillRectUsingOperation(rect, gfx::CompositingOperation::SourceOver);
    }
    gfx::Rect imageRect;
    if (image) {
        auto size = image->size();
        imageRect = { std::floor(rect.midX() - size.width / 2), std::floor(rect.midY() - size.height / 2), size.width,
            size.height };
    }
    if (auto d = delegate()) {
        if (auto answer = d->splitViewWillDrawDividerInRect(*this, rect, leading, trailing, imageRect))
            imageRect = *answer;
    }
    if (image && !imageRect.isEmpty())
        image->drawInRect(imageRect, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
}

void KJSplitView::KJ_drawDividersIn(KJSplitView& container, gfx::Rect rect, double thickness)
{
    if (m_dividers.empty() || KJ_numberOfSubviews() < 2)
        return;
    auto image = container.divider();
    for (const auto& own : m_dividers) {
        auto piece = KJSplitViewDividersLengthened(convertRectToView(own, &container), axis(), thickness);
        piece = gfx::intersectionRect(piece, rect);
        if (!piece.isEmpty())
            container.drawDivider(image, piece, nullptr, nullptr);
    }
}

// Cursor rects.

void KJSplitView::resetCursorRects()
{
    if (m_dividers.empty())
        return;
    auto visible = KJ_subviews();
    auto d = delegate();
    if (visible.size() >= 2 && divider()) {
        auto dividerCursor = cursor(isHorizontal() ? 0 : 1);
        double t = dividerThickness();
        for (std::size_t i = 0; i < m_dividers.size() && i + 1 < visible.size(); ++i) {
            for (auto* side : { visible[i].get(), visible[i + 1].get() }) {
                if (side->coupledSplitView())
                    side->asSplitView()->KJ_addCursorRectsTo(*this, m_dividers[i], t);
            }
            auto rect = m_dividers[i];
            if (d) {
                if (auto answer = d->splitViewCursorRectForDivider(*this, rect, i))
                    rect = *answer;
            }
            if (!rect.isEmpty())
                addCursorRect(rect, dividerCursor);
        }
    } else if (d) {
        (void)d->splitViewCursorRectForDivider(*this, {}, 0);
    }
}

void KJSplitView::KJ_addCursorRectsTo(KJSplitView& container, gfx::Rect rect, double thickness)
{
    if (m_dividers.empty() || !divider() || KJ_numberOfSubviews() < 2)
        return;
    auto crossing = cursor(2);
    for (const auto& own : m_dividers) {
        auto piece = KJSplitViewDividersLengthened(convertRectToView(own, &container), axis(), thickness);
        piece = gfx::intersectionRect(piece, rect);
        if (!piece.isEmpty())
            container.addCursorRect(piece, crossing);
    }
}

// Mouse.

void KJSplitView::mouseDown(const ui::Event& event)
{
    auto visible = KJ_subviews();
    if (m_dividers.empty() || visible.size() < 2)
        return;
    if (actDivider() != NoDivider || !divider()) {
        KJSplitSubview::mouseDown(event);
        return;
    }
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    std::size_t index = NoDivider;
    for (std::size_t i = 0; i < m_dividers.size() && i + 1 < visible.size(); ++i) {
        if (gfx::pointInRect(point, m_dividers[i])) {
            index = i;
            break;
        }
    }
    if (index == NoDivider)
        return;
    auto self = std::static_pointer_cast<KJSplitView>(shared_from_this());
    if (auto d = delegate()) {
        if (d->splitViewShouldHandleEvent(*this, event, index, *visible[index], *visible[index + 1]) == false)
            return;
    }
    if (event.clickCount() < 2)
        dragDividers(event, index, point);
    else
        doubleClickDivider(index);
}

void KJSplitView::dragDividers(const ui::Event&, std::size_t index, gfx::Point point)
{
    auto visible = KJ_subviews();
    double offset = gfx::along(point, axis()) - KJ_dividerOrigin(index);
    // Dividers of coupled nested split views under the point move along.
    struct Crossing {
        KJSplitView* view;
        std::shared_ptr<KJSplitView> keep;
        std::size_t divider;
        double offset;
        gfx::Point start;
    };
    std::vector<Crossing> crossings;
    double t = dividerThickness();
    for (auto* side : { visible[index].get(), visible[index + 1].get() }) {
        if (!side->coupledSplitView())
            continue;
        auto* nested = side->asSplitView();
        std::size_t hit = nested->KJ_dividerHitBy(point, this, t);
        if (hit == NoDivider)
            continue;
        auto inNested = nested->convertPointFromView(point, this);
        crossings.push_back({ nested, nested->coupledSplitView(), hit,
            gfx::along(inNested, nested->axis()) - nested->KJ_dividerOrigin(hit), inNested });
    }
    cursor(3)->push();
    KJ_setDragging(true);
    auto start = point;
    auto& app = ui::Application::shared();
    auto container = splitView();
    for (;;) {
        auto next = app.nextEvent(ui::EventMasks::LeftMouseUp | ui::EventMasks::LeftMouseDragged,
            fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
        if (!next)
            break;
        KJ_trackMouseEvent(*next, start, {}, index);
        for (auto& c : crossings)
            c.view->KJ_trackMouseEvent(*next, c.start, {}, c.divider);
        bool must = mustAdjust()
            || std::any_of(crossings.begin(), crossings.end(), [](const Crossing& c) { return c.view->mustAdjust(); });
        if (must) {
            KJ_setMustClearFractions();
            for (auto& c : crossings)
                c.view->KJ_setMustClearFractions();
            if (container)
                container->adjustSubviews();
            else
                adjustSubviews();
            for (auto& c : crossings)
                c.view->layoutSubtreeIfNeeded();
            View::display();
            start = gfx::withAlong(start, axis(), KJ_dividerOrigin(index) + offset);
            for (auto& c : crossings) {
                if (!c.view->isCollapsed())
                    c.start = gfx::withAlong(c.start, c.view->axis(), c.view->KJ_dividerOrigin(c.divider) + c.offset);
            }
        }
        if (next->type() == ui::EventType::LeftMouseUp)
            break;
    }
    KJ_setDragging(false);
    ui::Cursor::pop();
}

void KJSplitView::doubleClickDivider(std::size_t index)
{
    auto visible = KJ_subviews();
    auto& leading = *visible[index];
    auto& trailing = *visible[index + 1];
    auto* trailingPartner = m_isInScrollView ? nullptr : &trailing;
    if (leading.isCollapsed() && !trailing.isCollapsed()) {
        KJ_tryToExpandLeading(leading, index, trailingPartner, leading.dimension());
    } else if (trailing.isCollapsed() && !leading.isCollapsed()) {
        KJ_tryToExpandTrailing(&trailing, leading, -trailing.dimension());
    } else if (!leading.isCollapsed() && !trailing.isCollapsed()) {
        KJSplitSubview* leadingCandidate = leading.canCollapse() ? &leading : nullptr;
        KJSplitSubview* trailingCandidate = trailing.canCollapse() ? &trailing : nullptr;
        if (leadingCandidate && trailingCandidate) {
            auto d = delegate();
            std::optional<std::shared_ptr<KJSplitSubview>> answer;
            if (d)
                answer = d->splitViewCollapseLeadingOrTrailing(*this, leading, trailing);
            if (answer) {
                leadingCandidate = answer->get() == &leading ? &leading : nullptr;
                trailingCandidate = answer->get() == &trailing ? &trailing : nullptr;
            } else if (!(leading.dimension() < trailing.dimension())) {
                // The trailing pane stays a candidate either way: it is tried when the smaller leading one could
                // not collapse.
                leadingCandidate = nullptr;
            }
        }
        bool adjusted = false;
        if (leadingCandidate) {
            KJ_tryToShortenLeading(leading, index, trailingPartner, -leading.dimension(), false);
            adjusted = mustAdjust();
        }
        if (!adjusted && trailingCandidate)
            KJ_tryToShortenTrailing(&trailing, index, leading, trailing.dimension(), false);
    }
    if (mustAdjust()) {
        KJ_setMustClearFractions();
        if (auto container = splitView())
            container->adjustSubviews();
        else
            adjustSubviews();
        View::display();
    }
}

void KJSplitView::KJ_trackMouseEvent(const ui::Event& event, gfx::Point start, gfx::Point base, std::size_t index)
{
    auto visible = KJ_subviews();
    if (index + 1 >= visible.size())
        return;
    auto& leading = *visible[index];
    auto& trailing = *visible[index + 1];
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    double d = gfx::along(point, axis()) - gfx::along(base, axis()) - gfx::along(start, axis());
    if (d == 0)
        return;
    if (d > 0) {
        KJSplitSubview* partner = nullptr;
        if (!m_isInScrollView) {
            partner = &trailing;
            if (!trailing.canShrink()) {
                for (std::size_t j = index + 2; j < visible.size(); ++j) {
                    if (visible[j]->canShrink()) {
                        partner = visible[j].get();
                        break;
                    }
                }
            }
        }
        if (leading.isCollapsed())
            KJ_tryToExpandLeading(leading, index, partner, d);
        else
            KJ_tryToShortenTrailing(partner, index, leading, d, true);
    } else {
        KJSplitSubview* partner = &leading;
        if (!leading.canShrink()) {
            for (std::size_t j = index; j-- > 0;) {
                if (visible[j]->canShrink()) {
                    partner = visible[j].get();
                    break;
                }
            }
        }
        KJSplitSubview* other = m_isInScrollView ? nullptr : &trailing;
        if (other && other->isCollapsed())
            KJ_tryToExpandTrailing(other, *partner, d);
        else
            KJ_tryToShortenLeading(*partner, index, other, d, true);
    }
}

// Moving a divider.

bool KJSplitView::KJ_shouldResizeWindow(
    std::size_t divider, KJSplitSubview* leading, KJSplitSubview* trailing, bool grow)
{
    if (m_isInScrollView)
        return false;
    if (auto d = delegate())
        return d->splitViewShouldResizeWindowForDivider(*this, divider, leading, trailing, grow).value_or(false);
    return false;
}

double KJSplitView::windowRoom(bool grow) const
{
    bool horizontal = isHorizontal();
    auto scrollView = enclosingScrollView();
    auto document = scrollView ? scrollView->documentView() : nullptr;
    if (document) {
        auto f = document->frame();
        double size = gfx::along(f.size, axis());
        if (!grow)
            return std::max(0.0, size);
        double room = horizontal ? f.origin.y : KJSplitViewDividersHuge - f.maxX();
        return std::clamp(room, 0.0, std::max(0.0, KJSplitViewDividersHuge - size));
    }
    auto w = window();
    if (!w)
        return 0;
    auto f = w->frame();
    double size = gfx::along(f.size, axis());
    double maxSize = gfx::along(w->maxSize(), axis());
    if (!grow) {
        double minSize = gfx::along(w->minSize(), axis());
        return std::max(0.0, size - minSize);
    }
    auto screen = ui::Screen::mainScreen();
    if (!screen)
        return 0;
    auto visibleFrame = screen->visibleFrame();
    double room = horizontal ? f.origin.y - visibleFrame.origin.y : visibleFrame.maxX() - f.maxX();
    return std::clamp(room, 0.0, std::max(0.0, maxSize - size));
}

void KJSplitView::resizeWindowBy(double change)
{
    if (change == 0)
        return;
    bool horizontal = isHorizontal();
    auto scrollView = enclosingScrollView();
    if (auto document = scrollView ? scrollView->documentView() : nullptr) {
        auto f = document->frame();
        document->setFrame(gfx::withLengthAlong(f, axis(), gfx::lengthAlong(f, axis()) + change));
        document->setNeedsDisplay(true);
    } else if (auto w = window()) {
        auto f = w->frame();
        if (horizontal) {
            f.size.height += change;
            f.origin.y -= change;
        } else {
            f.size.width += change;
        }
        w->setFrame(f, true);
    }
    setMustAdjust();
}

void KJSplitView::KJ_tryToExpandLeading(
    KJSplitSubview& leading, std::size_t divider, KJSplitSubview* partner, double delta)
{
    bool useWindow = KJ_shouldResizeWindow(divider, &leading, partner, true);
    double room = useWindow ? windowRoom(true) : (partner ? partner->dimension() : KJSplitViewDividersHuge);
    if (leading.minDimension() > room)
        return;
    if (useWindow || !partner || leading.minDimension() + partner->minDimension() <= room) {
        double change = leading.changeDimensionBy(delta, false, false);
        if (useWindow)
            resizeWindowBy(change);
        else if (partner)
            partner->changeDimensionBy(-change, false, true);
    } else if (partner->canCollapse() && delta > KJSplitSubview::ExpandThreshold * room
        && leading.maxDimension() <= room) {
        double former = partner->dimension();
        partner->collapse();
        leading.changeDimensionBy(former, false, false);
    }
}

void KJSplitView::KJ_tryToExpandTrailing(KJSplitSubview* trailing, KJSplitSubview& partner, double delta)
{
    double minTrailing = trailing ? trailing->minDimension() : 0;
    double partnerDimension = partner.dimension();
    if (minTrailing > partnerDimension)
        return;
    if (minTrailing + partner.minDimension() <= partnerDimension) {
        if (trailing)
            delta = -trailing->changeDimensionBy(-delta, false, true);
        partner.changeDimensionBy(delta, false, false);
    } else if (partner.canCollapse() && -delta > KJSplitSubview::ExpandThreshold * partnerDimension
        && partnerDimension >= (trailing ? trailing->maxDimension() : 0)) {
        double former = partner.dimension();
        partner.collapse();
        if (trailing)
            trailing->changeDimensionBy(former, false, true);
    }
}

void KJSplitView::KJ_tryToShortenLeading(
    KJSplitSubview& leading, std::size_t divider, KJSplitSubview* trailing, double delta, bool always)
{
    bool useWindow = KJ_shouldResizeWindow(divider, &leading, trailing, false);
    double room = useWindow ? windowRoom(false)
                            : (trailing ? trailing->maxDimension() - trailing->dimension() : KJSplitViewDividersHuge);
    if (-delta > room) {
        if (!always)
            return;
        delta = -room;
    }
    double dimension = leading.dimension();
    if (!always && dimension > room)
        return;
    double change = leading.changeDimensionBy(delta, dimension <= room, false);
    if (useWindow)
        resizeWindowBy(change);
    else if (trailing)
        trailing->changeDimensionBy(-change, false, true);
}

void KJSplitView::KJ_tryToShortenTrailing(
    KJSplitSubview* trailing, std::size_t divider, KJSplitSubview& leading, double delta, bool always)
{
    bool useWindow = KJ_shouldResizeWindow(divider, &leading, trailing, true);
    double room = useWindow ? windowRoom(true) : leading.maxDimension() - leading.dimension();
    if (delta > room) {
        if (!always)
            return;
        delta = room;
    }
    if (useWindow) {
        double change = leading.changeDimensionBy(delta, false, false);
        resizeWindowBy(change);
        return;
    }
    double trailingDimension = trailing ? trailing->dimension() : KJSplitViewDividersHuge;
    if (!always && trailingDimension > room)
        return;
    double change = trailing ? trailing->changeDimensionBy(-delta, trailingDimension <= room, true) : -delta;
    leading.changeDimensionBy(-change, false, false);
}
