#pragma once

#include "platform/graphics/Geometry.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace ui {
class Event;
}

class KJSplitView;
class KJSplitSubview;

// The optional questions and reports of a proportional split view. An answer of nullopt means the delegate does not
// answer, and the split view does what it does without one.
class KJSplitViewDelegate {
public:
    virtual ~KJSplitViewDelegate() = default;

    // At the start and end of every adjustment; the bounds are read again after willAdjustSubviews.
    virtual void willAdjustSubviews(KJSplitView&) { }
    virtual void didAdjustSubviews(KJSplitView&) { }
    // Replaces the subview's own collapse flag (asked only while at least two subviews are visible).
    virtual std::optional<bool> splitViewCanCollapse(KJSplitView&, KJSplitSubview&) { return std::nullopt; }
    // Which one a double click collapses when both could; an answer holding nullptr collapses none.
    virtual std::optional<std::shared_ptr<KJSplitSubview>> splitViewCollapseLeadingOrTrailing(
        KJSplitView&, KJSplitSubview& /*leading*/, KJSplitSubview& /*trailing*/)
    {
        return std::nullopt;
    }
    virtual void splitViewDidCollapse(KJSplitView&, KJSplitSubview&) { }
    virtual void splitViewDidExpand(KJSplitView&, KJSplitSubview&) { }
    // Whether splitViewChangedFrameOfSubview is wanted: only then does the subview remember the frame it reported.
    virtual bool observesSubviewFrames() const { return false; }
    virtual void splitViewChangedFrameOfSubview(KJSplitView&, KJSplitSubview&, gfx::Rect /*from*/, gfx::Rect /*to*/) { }
    virtual void splitViewWasResized(KJSplitView&, double /*from*/, double /*to*/) { }
    // The length of a collapse or expand animation in seconds; 1/60 s or less means none.
    virtual std::optional<double> splitViewWillAnimateSubview(KJSplitView&, KJSplitSubview&, double /*dimension*/)
    {
        return std::nullopt;
    }
    // The rect that gets the divider cursor; an empty one gets none.
    virtual std::optional<gfx::Rect> splitViewCursorRectForDivider(KJSplitView&, gfx::Rect /*proposed*/, std::size_t)
    {
        return std::nullopt;
    }
    // A divider a mouse-down inside the subview drags (point in the split view's coordinates); an index not below
    // the visible count − 1 means none.
    virtual std::optional<std::size_t> splitViewDividerForPoint(KJSplitView&, gfx::Point, KJSplitSubview&)
    {
        return std::nullopt;
    }
    // false makes the divider ignore the mouse-down.
    virtual std::optional<bool> splitViewShouldHandleEvent(KJSplitView&, const ui::Event&, std::size_t /*divider*/,
        KJSplitSubview& /*leading*/, KJSplitSubview& /*trailing*/)
    {
        return std::nullopt;
    }
    // true resizes the window (or the enclosing document view) instead of the partner subview.
    virtual std::optional<bool> splitViewShouldResizeWindowForDivider(KJSplitView&, std::size_t /*divider*/,
        KJSplitSubview* /*leading*/, KJSplitSubview* /*trailing*/, bool /*willGrow*/)
    {
        return std::nullopt;
    }
    // The rect the divider image is drawn in; an empty one draws none.
    virtual std::optional<gfx::Rect> splitViewWillDrawDividerInRect(KJSplitView&, gfx::Rect /*divider*/,
        KJSplitSubview* /*leading*/, KJSplitSubview* /*trailing*/, gfx::Rect /*proposed*/)
    {
        return std::nullopt;
    }
    // After a subview filled its background; the delegate may draw.
    virtual void splitViewWillDrawSubview(KJSplitView&, KJSplitSubview&, gfx::Rect /*dirtyRect*/) { }
};
