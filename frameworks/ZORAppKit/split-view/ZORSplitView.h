#pragma once

#include "platform/ui/containers/SplitView.h"

class ZORSplitSubview;

// A platform split view whose panes (ZORSplitSubview) collapse into the neighbour they name, by moving the right
// divider to its limit, and expand again to the frame they kept.
class ZORSplitView : public ui::SplitView {
    FND_OBJECT(ZORSplitView)
    static void describeClass(fnd::ClassBuilder<ZORSplitView>& c);

public:
    ZORSplitView() = default;
    static std::shared_ptr<ZORSplitView> create(gfx::Rect frame = {});

    // Whether the divider beside a collapsed pane is hidden: YES for a split view made with a frame, NO for one
    // decoded from an archive that does not say (an interface file or archive may set it).
    bool hideDividersOfCollapsedSubviews() const { return m_hideDividersOfCollapsedSubviews; }
    void setHideDividersOfCollapsedSubviews(bool flag) { m_hideDividersOfCollapsedSubviews = flag; }

    // After the split view's data: "hideDividersOfCollapsedSubviews".
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    void collapseSubview(ZORSplitSubview& pane);
    void expandSubview(ZORSplitSubview& pane);

private:
    // The pane's index among the subviews, or -1.
    long indexOfSubview(const ui::View& view) const;
    bool delegateAllowsCollapse(ZORSplitSubview& pane);

    bool m_hideDividersOfCollapsedSubviews { true };
};
