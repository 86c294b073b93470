#pragma once

#include "platform/ui/UiTestSupport.h"

#include "frameworks/proportional-split-view/KJSplitView.h"

#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kjtest {

// Records what a split view tells its delegate, and answers what a test sets.
class RecordingDelegate : public KJSplitViewDelegate {
public:
    void willAdjustSubviews(KJSplitView&) override { ++willAdjust; }
    void didAdjustSubviews(KJSplitView&) override { ++didAdjust; }
    std::optional<bool> splitViewCanCollapse(KJSplitView&, KJSplitSubview& s) override
    {
        if (canCollapseAnswer && &s == canCollapseFor)
            return canCollapseAnswer;
        return std::nullopt;
    }
    std::optional<std::shared_ptr<KJSplitSubview>> splitViewCollapseLeadingOrTrailing(
        KJSplitView&, KJSplitSubview&, KJSplitSubview&) override
    {
        return collapseChoice;
    }
    void splitViewDidCollapse(KJSplitView&, KJSplitSubview& s) override
    {
        events.push_back("collapse " + s.identifier().utf8());
    }
    void splitViewDidExpand(KJSplitView&, KJSplitSubview& s) override
    {
        events.push_back("expand " + s.identifier().utf8());
    }
    bool observesSubviewFrames() const override { return observeFrames; }
    void splitViewChangedFrameOfSubview(KJSplitView&, KJSplitSubview& s, gfx::Rect from, gfx::Rect to) override
    {
        frameReports.push_back({ s.identifier().utf8(), from, to });
    }
    void splitViewWasResized(KJSplitView&, double from, double to) override { resizes.push_back({ from, to }); }
    std::optional<double> splitViewWillAnimateSubview(KJSplitView&, KJSplitSubview&, double) override
    {
        return animationTime;
    }
    std::optional<std::size_t> splitViewDividerForPoint(KJSplitView&, gfx::Point, KJSplitSubview& s) override
    {
        if (&s == dragFrom)
            return dragDivider;
        return std::nullopt;
    }
    std::optional<bool> splitViewShouldHandleEvent(
        KJSplitView&, const ui::Event&, std::size_t, KJSplitSubview&, KJSplitSubview&) override
    {
        return handleEvents;
    }
    std::optional<bool> splitViewShouldResizeWindowForDivider(
        KJSplitView&, std::size_t, KJSplitSubview*, KJSplitSubview*, bool) override
    {
        return resizeWindow;
    }

    int willAdjust { 0 };
    int didAdjust { 0 };
    std::vector<std::string> events;
    struct FrameReport {
        std::string identifier;
        gfx::Rect from;
        gfx::Rect to;
    };
    std::vector<FrameReport> frameReports;
    std::vector<std::pair<double, double>> resizes;
    bool observeFrames { false };
    KJSplitSubview* canCollapseFor { nullptr };
    std::optional<bool> canCollapseAnswer;
    std::optional<std::shared_ptr<KJSplitSubview>> collapseChoice;
    std::optional<double> animationTime;
    KJSplitSubview* dragFrom { nullptr };
    std::optional<std::size_t> dragDivider;
    std::optional<bool> handleEvents;
    std::optional<bool> resizeWindow;
};

// A divider image: a grey bar with a darker dimple, of the given size.
std::shared_ptr<gfx::Image> dividerImage(gfx::Size size);

// The panes' sizes along the split axis, in order ("100 0 300").
std::string sizes(const KJSplitView& view);
// Each pane's frame as "x y w h", joined by " | ".
std::string frames(const KJSplitView& view);

// A key window with a split view filling its content view; the split view has no divider image until a test
// gives it one.
class SplitViewTest : public uitest::KeyWindowTest {
protected:
    explicit SplitViewTest(gfx::Size size = { 401, 200 });

    // Panes with identifiers "a", "b", "c"... of the given sizes along the axis, laid out now.
    void makePanes(const std::vector<double>& dimensions, double thickness = 1);
    std::shared_ptr<KJSplitSubview> pane(std::size_t i) const { return split->subviewAtPosition(i); }
    // Queued input at points of the split view (its flipped coordinates); dispatch() sends it.
    void press(gfx::Point p, long clickCount = 1, unsigned flags = 0);
    void dragTo(gfx::Point p);
    void release(gfx::Point p, long clickCount = 1);
    // A whole drag from one point to another through the steps, sent at once.
    void dragDivider(gfx::Point from, const std::vector<gfx::Point>& steps);
    void doubleClick(gfx::Point p);
    // Resizes the split view along its axis and lets it adjust.
    void resizeAlong(double size);

    std::shared_ptr<KJSplitView> split;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
};

}
