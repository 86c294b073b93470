#include "platform/ui/containers/SplitView.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/ui/controls/ControlTypes.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace ui {

namespace {

// A thin divider is easier to grab than it is wide.
constexpr double ThinDividerGrabWidth = 5;

fnd::String splitViewAutosaveKey(const fnd::String& name)
{
    return fnd::String("NSSplitView Subview Frames ") + name;
}

}

FND_REGISTER_CLASS(SplitView, View)

void SplitView::describeClass(fnd::ClassBuilder<SplitView>& c)
{
    c.property("vertical", &SplitView::isVertical, &SplitView::setVertical);
    c.property("dividerStyle", &SplitView::dividerStyle, &SplitView::setDividerStyle);
    c.property("autosaveName", &SplitView::autosaveName, &SplitView::setAutosaveName);
}

std::shared_ptr<SplitView> SplitView::create(gfx::Rect frame)
{
    return makeView<SplitView>(frame);
}

void SplitView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
}

// Settings.

void SplitView::setVertical(bool flag)
{
    if (flag == m_vertical)
        return;
    m_vertical = flag;
    adjustSubviews();
    if (auto w = window())
        w->invalidateCursorRectsForView(*this);
}

void SplitView::setDividerStyle(SplitViewDividerStyle style)
{
    if (style == m_dividerStyle || !isWithin(style, SplitViewDividerStyle::Thick, SplitViewDividerStyle::PaneSplitter))
        return;
    m_dividerStyle = style;
    adjustSubviews();
}

double SplitView::dividerThickness() const
{
    switch (m_dividerStyle) {
    case SplitViewDividerStyle::Thin:
        return 1;
    case SplitViewDividerStyle::PaneSplitter:
        return 10;
    case SplitViewDividerStyle::Thick:
        break;
    }
    return 9;
}

gfx::ColorPtr SplitView::dividerColor() const
{
    return m_dividerColor ? m_dividerColor : ControlLook::borderColor();
}

void SplitView::setDividerColor(gfx::ColorPtr color)
{
    m_dividerColor = std::move(color);
    setNeedsDisplay(true);
}

// Geometry.

bool SplitView::isSubviewCollapsed(const View& subview) const
{
    return subview.superview().get() == this && subview.isHidden();
}

bool SplitView::canCollapse(View& subview)
{
    auto d = delegate();
    return d && d->splitViewCanCollapseSubview(*this, subview).value_or(false);
}

double SplitView::dividerThicknessAt(long index) const
{
    auto& views = subviews();
    if (index < 0 || index + 1 >= long(views.size()))
        return 0;
    if (auto d = delegate(); d && (isSubviewCollapsed(*views[index]) || isSubviewCollapsed(*views[index + 1]))) {
        auto self = const_cast<SplitView*>(this);
        if (d->splitViewShouldHideDividerAtIndex(*self, index).value_or(false))
            return 0;
    }
    return dividerThickness();
}

std::vector<double> SplitView::lengths() const
{
    std::vector<double> result;
    for (const auto& v : subviews())
        result.push_back(isSubviewCollapsed(*v) ? 0 : gfx::lengthAlong(v->frame(), axis()));
    return result;
}

double SplitView::positionOfDivider(long index) const
{
    auto lens = lengths();
    double pos = 0;
    for (long i = 0; i <= index && i < long(lens.size()); ++i) {
        pos += lens[i];
        if (i < index)
            pos += dividerThicknessAt(i);
    }
    return pos;
}

double SplitView::minPossiblePositionOfDividerAtIndex(long index) const
{
    auto lens = lengths();
    if (index < 0 || index + 1 >= long(lens.size()))
        return 0;
    return positionOfDivider(index) - lens[index];
}

double SplitView::maxPossiblePositionOfDividerAtIndex(long index) const
{
    auto lens = lengths();
    if (index < 0 || index + 1 >= long(lens.size()))
        return 0;
    return positionOfDivider(index) + lens[index + 1];
}

gfx::Rect SplitView::dividerRect(long index) const
{
    double thickness = dividerThicknessAt(index);
    if (thickness <= 0)
        return {};
    double pos = positionOfDivider(index);
    auto b = bounds();
    return gfx::rectOnAxis(axis(), pos, gfx::minAcross(b, axis()), thickness, gfx::lengthAcross(b, axis()));
}

std::vector<gfx::Rect> SplitView::dividerRects() const
{
    // dividerRect for each divider, with the lengths found once and the positions summed on the way, in the order
    // positionOfDivider sums them.
    const auto lens = lengths();
    const auto b = bounds();
    std::vector<gfx::Rect> rects;
    double pos = 0;
    for (long i = 0; i + 1 < long(lens.size()); ++i) {
        pos += lens[std::size_t(i)];
        const double thickness = dividerThicknessAt(i);
        rects.push_back(thickness <= 0
                ? gfx::Rect {}
                : gfx::rectOnAxis(axis(), pos, gfx::minAcross(b, axis()), thickness, gfx::lengthAcross(b, axis())));
        pos += thickness;
    }
    return rects;
}

// Layout.

void SplitView::postResize(const fnd::String& name, long dividerIndex)
{
    fnd::Dictionary info;
    if (dividerIndex >= 0)
        info.set(SplitViewNotification::DividerIndexKey, static_cast<long long>(dividerIndex));
    auto notification = std::make_shared<fnd::Notification>(name, selfValue(), info);
    if (auto d = delegate()) {
        if (name == SplitViewNotification::WillResizeSubviews)
            d->splitViewWillResizeSubviews(*notification);
        else
            d->splitViewDidResizeSubviews(*notification);
    }
    fnd::NotificationCenter::defaultCenter().postNotification(notification);
}

std::vector<bool> SplitView::collapsedFor(const std::vector<double>& lens)
{
    const auto& views = subviews();
    std::vector<bool> collapsed(lens.size());
    for (std::size_t i = 0; i < lens.size() && i < views.size(); ++i)
        collapsed[i] = lens[i] <= 0 && (isSubviewCollapsed(*views[i]) || canCollapse(*views[i]));
    return collapsed;
}

double SplitView::dividersFor(const std::vector<bool>& collapsed)
{
    auto d = delegate();
    double total = 0;
    for (std::size_t j = 0; j + 1 < collapsed.size(); ++j) {
        if (!((collapsed[j] || collapsed[j + 1]) && d
                && d->splitViewShouldHideDividerAtIndex(*this, long(j)).value_or(false)))
            total += dividerThickness();
    }
    return total;
}

void SplitView::applyLengths(const std::vector<double>& wanted, long dividerIndex)
{
    auto self = shared_from_this();
    auto views = subviews();
    if (views.empty() || wanted.size() != views.size())
        return;
    m_adjusting = true;
    postResize(SplitViewNotification::WillResizeSubviews, dividerIndex);
    // Collapse first: hidden dividers beside collapsed subviews change the room there is. A collapsed subview left
    // without room stays collapsed, even one the delegate no longer lets collapse: opened at no length, it would
    // show its dividers with no room for them.
    const auto collapse = collapsedFor(wanted);
    for (std::size_t i = 0; i < views.size(); ++i) {
        if (collapse[i] != views[i]->isHidden())
            views[i]->setHidden(collapse[i]);
    }
    auto b = bounds();
    double pos = gfx::minAlong(b, axis());
    for (std::size_t i = 0; i < views.size(); ++i) {
        auto& v = *views[i];
        if (!v.isHidden()) {
            double len = std::max(0.0, wanted[i]);
            v.setFrame(gfx::rectOnAxis(axis(), pos, gfx::minAcross(b, axis()), len, gfx::lengthAcross(b, axis())));
            pos += len;
        }
        if (i + 1 < views.size())
            pos += dividerThicknessAt(long(i));
    }
    setNeedsDisplay(true);
    if (auto w = window())
        w->invalidateCursorRectsForView(*this);
    m_adjusting = false;
    postResize(SplitViewNotification::DidResizeSubviews, dividerIndex);
}

void SplitView::adjustSubviews()
{
    auto lens = lengths();
    if (lens.empty())
        return;
    // The room there is once the dividers are placed, shared in proportion to the lengths; collapsed subviews keep
    // none. One at no length the delegate now lets collapse collapses here, and so does one whose share comes to
    // nothing: the room of the dividers that hide beside it is shared again. The collapsed only grow, so this ends.
    const auto wanted = lens;
    auto collapsed = collapsedFor(wanted);
    for (;;) {
        const double available = std::max(0.0, gfx::along(bounds().size, axis()) - dividersFor(collapsed));
        std::vector<std::size_t> open;
        double total = 0;
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (!collapsed[i]) {
                open.push_back(i);
                total += wanted[i];
            }
        }
        double used = 0;
        for (std::size_t k = 0; k < open.size(); ++k) {
            auto i = open[k];
            if (k + 1 == open.size()) {
                lens[i] = std::max(0.0, available - used);
            } else {
                // Multiplied first, so a share the room holds whole comes out whole.
                lens[i] = std::floor(total > 0 ? available * wanted[i] / total : available / double(open.size()));
                used += lens[i];
            }
        }
        auto now = collapsedFor(lens);
        if (now == collapsed)
            break;
        collapsed = std::move(now);
    }
    applyLengths(lens, -1);
    saveAutosavedPositions();
}

void SplitView::setPositionOfDivider(double position, long index)
{
    // std::clamp below lets NaN through: a position that is not a number moves nothing.
    if (std::isnan(position))
        return;
    auto lens = lengths();
    if (index < 0 || index + 1 >= long(lens.size()))
        return;
    double min = minPossiblePositionOfDividerAtIndex(index);
    double max = maxPossiblePositionOfDividerAtIndex(index);
    position = std::clamp(position, min, std::max(min, max));
    double pair = lens[index] + lens[index + 1];
    lens[index] = position - min;
    lens[index + 1] = pair - lens[index];
    // Dividers that show or hide as a neighbour collapses or expands change the room: the far neighbour pays. A
    // pane between two dividers hides or shows both.
    auto& views = subviews();
    std::vector<bool> collapsed;
    for (const auto& v : views)
        collapsed.push_back(isSubviewCollapsed(*v));
    const double before = dividersFor(collapsed);
    collapsed = collapsedFor(lens);
    const double after = dividersFor(collapsed);
    const bool prevCollapses = collapsed[std::size_t(index)];
    const bool nextCollapses = collapsed[std::size_t(index) + 1];
    if (after != before) {
        // A neighbour that collapses leaves the divider's room to the other; one that expands pays for it.
        double* payer = &lens[index];
        if (prevCollapses)
            payer = &lens[index + 1];
        else if (!nextCollapses && isSubviewCollapsed(*views[index + 1]))
            payer = &lens[index + 1];
        // A pane too short yet to pay for the dividers its opening shows stays as it is: the room would not add up.
        if (after > before && *payer + before - after <= 0)
            return;
        *payer += before - after;
    }
    applyLengths(lens, index);
    saveAutosavedPositions();
}

void SplitView::resizeSubviewsWithOldSize(gfx::Size oldSize)
{
    if (m_adjusting)
        return;
    auto self = shared_from_this();
    if (auto d = delegate(); d && d->splitViewResizeSubviewsWithOldSize(*this, oldSize))
        return;
    auto lens = lengths();
    if (lens.empty())
        return;
    // The change goes to the subviews that take part, in proportion to their lengths. What one cannot give (it has
    // no length left) goes to the others that take part, then to those the delegate keeps; a subview that collapses
    // on the way frees the room of the dividers that hide beside it, which the open ones take up.
    auto d = delegate();
    const auto& views = subviews();
    std::vector<bool> hidden(lens.size()), kept(lens.size());
    for (std::size_t i = 0; i < lens.size(); ++i) {
        auto& v = *views[i];
        kept[i] = d && !isSubviewCollapsed(v) && !d->splitViewShouldAdjustSizeOfSubview(*this, v).value_or(true);
    }
    const double length = gfx::along(bounds().size, axis());
    const auto gap = [&] {
        hidden = collapsedFor(lens);
        double used = dividersFor(hidden);
        for (std::size_t i = 0; i < lens.size(); ++i)
            used += hidden[i] ? 0 : lens[i];
        return length - used;
    };
    // Each pass meets the gap or leaves one more subview with nothing to give, so the passes are bounded.
    for (std::size_t pass = 0; pass <= 2 * lens.size() + 1; ++pass) {
        const double delta = gap();
        if (delta == 0)
            break;
        std::vector<std::size_t> takers;
        for (bool keptToo : { false, true }) {
            for (std::size_t i = 0; i < lens.size(); ++i)
                if (!hidden[i] && kept[i] == keptToo && (delta > 0 || lens[i] > 0))
                    takers.push_back(i);
            if (!takers.empty())
                break;
        }
        if (takers.empty())
            break;
        double total = 0;
        for (auto i : takers)
            total += lens[i];
        double given = 0;
        for (std::size_t k = 0; k < takers.size(); ++k) {
            auto i = takers[k];
            double share = k + 1 == takers.size()
                ? delta - given
                : std::round(delta * (total > 0 ? lens[i] / total : 1.0 / double(takers.size())));
            given += share;
            lens[i] = std::max(0.0, lens[i] + share);
        }
    }
    applyLengths(lens, -1);
}

void SplitView::didAddSubview(View& subview)
{
    View::didAddSubview(subview);
    if (!m_adjusting)
        adjustSubviews();
}

void SplitView::willRemoveSubview(View& subview)
{
    View::willRemoveSubview(subview);
    m_paneRemoved = true;
    setNeedsLayout(true);
}

void SplitView::layout()
{
    View::layout();
    if (std::exchange(m_paneRemoved, false))
        adjustSubviews();
}

// Autosave.

void SplitView::setAutosaveName(const fnd::String& name)
{
    if (name == m_autosaveName)
        return;
    m_autosaveName = name;
    if (!restoreAutosavedPositions())
        saveAutosavedPositions();
}

void SplitView::saveAutosavedPositions()
{
    if (m_autosaveName.isEmpty() || subviews().empty())
        return;
    fnd::Array frames;
    for (const auto& v : subviews()) {
        auto f = v->frame();
        frames.push_back(fnd::String::format("%g, %g, %g, %g, %@",
            { f.minX(), f.minY(), f.width(), f.height(), fnd::String(v->isHidden() ? "YES" : "NO") }));
    }
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    if (defaults.objectForKey(splitViewAutosaveKey(m_autosaveName)) != fnd::Value(frames))
        defaults.setObject(frames, splitViewAutosaveKey(m_autosaveName));
}

bool SplitView::restoreAutosavedPositions()
{
    if (m_autosaveName.isEmpty())
        return false;
    auto frames = fnd::UserDefaults::standardUserDefaults().arrayForKey(splitViewAutosaveKey(m_autosaveName));
    auto views = subviews();
    if (!frames || frames->size() != views.size() || views.empty())
        return false;
    std::vector<std::pair<gfx::Rect, bool>> saved;
    for (const auto& entry : *frames) {
        auto parts = entry.stringValue().componentsSeparatedByString(",");
        if (parts.size() < 5)
            return false;
        double n[4];
        for (int k = 0; k < 4; ++k) {
            auto number = parts[k].stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceCharacterSet());
            if (number.isEmpty())
                return false;
            n[k] = number.doubleValue();
            if (!std::isfinite(n[k]) || (k >= 2 && n[k] < 0))
                return false;
        }
        bool collapsed = parts[4].stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceCharacterSet())
            == fnd::String("YES");
        saved.push_back({ { n[0], n[1], n[2], n[3] }, collapsed });
    }
    m_adjusting = true;
    for (std::size_t i = 0; i < views.size(); ++i) {
        views[i]->setFrame(saved[i].first);
        views[i]->setHidden(saved[i].second);
    }
    m_adjusting = false;
    // The kept lengths, fitted to the size the split view has now.
    adjustSubviews();
    return true;
}

// Mouse.

long SplitView::dividerIndexAtPoint(gfx::Point p)
{
    auto d = delegate();
    const auto rects = dividerRects();
    for (long i = 0; i < long(rects.size()); ++i) {
        auto drawn = rects[std::size_t(i)];
        auto effective = drawn;
        if (!drawn.isEmpty() && gfx::lengthAlong(drawn, axis()) < ThinDividerGrabWidth) {
            double grow = (ThinDividerGrabWidth - gfx::lengthAlong(drawn, axis())) / 2;
            effective = gfx::withLengthAlong(
                gfx::offsetAlong(drawn, axis(), -grow), axis(), gfx::lengthAlong(drawn, axis()) + 2 * grow);
        }
        if (d) {
            if (auto answer = d->splitViewEffectiveRectForDrawnRect(*this, effective, drawn, i))
                effective = *answer;
        }
        if (!effective.isEmpty() && gfx::mouseInRect(p, effective, true))
            return i;
        if (d) {
            if (auto extra = d->splitViewAdditionalEffectiveRectOfDividerAtIndex(*this, i);
                extra && !extra->isEmpty() && gfx::mouseInRect(p, *extra, true))
                return i;
        }
    }
    return -1;
}

void SplitView::mouseDown(const Event& event)
{
    auto p = convertPointFromView(event.locationInWindow(), nullptr);
    long index = dividerIndexAtPoint(p);
    if (index < 0) {
        View::mouseDown(event);
        return;
    }
    auto self = shared_from_this();
    if (event.clickCount() == 2) {
        auto d = delegate();
        auto& views = subviews();
        for (long k : { index, index + 1 }) {
            auto& v = *views[k];
            if (d && !isSubviewCollapsed(v)
                && d->splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(*this, v, index).value_or(false)
                && canCollapse(v)) {
                setPositionOfDivider(k == index ? minPossiblePositionOfDividerAtIndex(index)
                                                : maxPossiblePositionOfDividerAtIndex(index),
                    index);
                return;
            }
        }
    }
    trackDivider(index, event);
}

void SplitView::trackDivider(long index, const Event& event)
{
    auto& app = Application::shared();
    double grab
        = gfx::along(convertPointFromView(event.locationInWindow(), nullptr), axis()) - positionOfDivider(index);
    // The divider is the one between these two panes, wherever the program's changes during the drag put it.
    auto prev = subviews()[index];
    auto next = subviews()[index + 1];
    auto cursor = m_vertical ? Cursor::resizeLeftRightCursor() : Cursor::resizeUpDownCursor();
    cursor->push();
    auto savedName = m_autosaveName;
    m_autosaveName = {}; // saved once, when the drag ends
    for (;;) {
        auto next_ = app.nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, fnd::Date::distantFuture(),
            fnd::RunLoopMode::EventTracking, true);
        if (!next_)
            break;
        // Panes added, removed or resized meanwhile: the layout is brought up to date, the divider found again (the
        // drag ends with it when one of its panes went) and its limits taken anew.
        layoutSubtreeIfNeeded();
        const auto& views = subviews();
        auto at = std::find(views.begin(), views.end(), prev);
        if (at == views.end() || at + 1 == views.end() || *(at + 1) != next)
            break;
        index = long(at - views.begin());
        auto d = delegate();
        const double min = minPossiblePositionOfDividerAtIndex(index);
        const double max = maxPossiblePositionOfDividerAtIndex(index);
        const double minAllowed = d ? d->splitViewConstrainMinCoordinate(*this, min, index).value_or(min) : min;
        const double maxAllowed = d ? d->splitViewConstrainMaxCoordinate(*this, max, index).value_or(max) : max;
        double proposed = gfx::along(convertPointFromView(next_->locationInWindow(), nullptr), axis()) - grab;
        double position = proposed;
        // Past a limit the subview collapses once the mouse is over half way to where it would vanish.
        if (position < minAllowed)
            position = canCollapse(*prev) && position < (min + minAllowed) / 2 ? min : minAllowed;
        else if (position > maxAllowed)
            position = canCollapse(*next) && position > (maxAllowed + max) / 2 ? max : maxAllowed;
        else if (d)
            position = std::clamp(
                d->splitViewConstrainSplitPosition(*this, position, index).value_or(position), minAllowed, maxAllowed);
        // Where the divider is now: the program may have moved it (a resize) since the last move.
        if (position != positionOfDivider(index))
            setPositionOfDivider(position, index);
        if (next_->type() == EventType::LeftMouseUp)
            break;
    }
    Cursor::pop();
    m_autosaveName = savedName;
    saveAutosavedPositions();
}

void SplitView::resetCursorRects()
{
    auto cursor = m_vertical ? Cursor::resizeLeftRightCursor() : Cursor::resizeUpDownCursor();
    for (const auto& r : dividerRects())
        if (!r.isEmpty())
            addCursorRect(r, cursor);
}

// Drawing.

void SplitView::drawRect(gfx::Rect)
{
    for (const auto& r : dividerRects())
        if (!r.isEmpty() && needsToDrawRect(r))
            drawDividerInRect(r);
}

void SplitView::drawDividerInRect(gfx::Rect rect)
{
    if (m_dividerStyle == SplitViewDividerStyle::Thin) {
        dividerColor()->setFill();
        gfx::BezierPath::fillRect(rect);
        return;
    }
    gfx::Color::colorWithCalibratedWhite(0.96)->setFill();
    gfx::BezierPath::fillRect(rect);
    dividerColor()->setFill();
    // A line along each long edge of the divider.
    gfx::BezierPath::fillRect(gfx::withLengthAlong(rect, axis(), 1));
    gfx::BezierPath::fillRect(
        gfx::withLengthAlong(gfx::offsetAlong(rect, axis(), gfx::lengthAlong(rect, axis()) - 1), axis(), 1));
    // A dimple in the middle says it can be dragged.
    constexpr double Dimple = 4;
    gfx::Color::colorWithCalibratedWhite(0, 0.35)->setFill();
    gfx::BezierPath::bezierPathWithOvalInRect(
        { std::round(rect.midX() - Dimple / 2), std::round(rect.midY() - Dimple / 2), Dimple, Dimple })
        ->fill();
}

}
