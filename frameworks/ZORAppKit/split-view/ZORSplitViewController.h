#pragma once

#include "platform/ui/containers/SplitView.h"
#include "platform/ui/controllers/ViewController.h"

// What a ZORSplitViewController's own delegate may answer first; nullopt (or false for the resize) means it does not.
class ZORSplitViewControllerDelegate {
public:
    virtual ~ZORSplitViewControllerDelegate() = default;
    virtual std::optional<bool> splitViewCanCollapseSubview(ui::SplitView&, ui::View&) { return std::nullopt; }
    virtual std::optional<bool> splitViewShouldHideDividerAtIndex(ui::SplitView&, long) { return std::nullopt; }
    virtual std::optional<double> splitViewConstrainMinCoordinate(ui::SplitView&, double, long) { return std::nullopt; }
    virtual std::optional<double> splitViewConstrainMaxCoordinate(ui::SplitView&, double, long) { return std::nullopt; }
    virtual bool splitViewResizeSubviewsWithOldSize(ui::SplitView&, gfx::Size) { return false; }
    virtual std::optional<gfx::Rect> splitViewAdditionalEffectiveRectOfDividerAtIndex(ui::SplitView&, long)
    {
        return std::nullopt;
    }
};

// The split view's delegate: answers its questions from the panes' own rules (ZORSplitSubview), unless a delegate
// of its own answers first.
class ZORSplitViewController : public ui::ViewController, public ui::SplitViewDelegate {
    FND_OBJECT(ZORSplitViewController)

public:
    ZORSplitViewController() = default;
    static std::shared_ptr<ZORSplitViewController> create();

    std::shared_ptr<ZORSplitViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ZORSplitViewControllerDelegate>& delegate) { m_delegate = delegate; }

    std::optional<bool> splitViewCanCollapseSubview(ui::SplitView& splitView, ui::View& subview) override;
    std::optional<bool> splitViewShouldHideDividerAtIndex(ui::SplitView& splitView, long index) override;
    std::optional<double> splitViewConstrainMinCoordinate(
        ui::SplitView& splitView, double proposed, long index) override;
    std::optional<double> splitViewConstrainMaxCoordinate(
        ui::SplitView& splitView, double proposed, long index) override;
    bool splitViewResizeSubviewsWithOldSize(ui::SplitView& splitView, gfx::Size oldSize) override;
    std::optional<gfx::Rect> splitViewAdditionalEffectiveRectOfDividerAtIndex(
        ui::SplitView& splitView, long index) override;
    std::optional<bool> splitViewShouldAdjustSizeOfSubview(ui::SplitView& splitView, ui::View& subview) override;

    // The grip of a pane's toolbar beside the divider, in the split view's coordinates; empty when there is none.
    static gfx::Rect gripRectOfDivider(ui::SplitView& splitView, long index);

private:
    std::weak_ptr<ZORSplitViewControllerDelegate> m_delegate;
};
