#include "frameworks/ZORAppKit/split-view/ZORSplitView.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitSubview.h"

FND_REGISTER_CLASS(ZORSplitView, ui::SplitView)

void ZORSplitView::describeClass(fnd::ClassBuilder<ZORSplitView>& c)
{
    c.property("hideDividersOfCollapsedSubviews", &ZORSplitView::hideDividersOfCollapsedSubviews,
        &ZORSplitView::setHideDividersOfCollapsedSubviews);
}

std::shared_ptr<ZORSplitView> ZORSplitView::create(gfx::Rect frame)
{
    return ui::makeView<ZORSplitView>(frame);
}

long ZORSplitView::indexOfSubview(const ui::View& view) const
{
    const auto& list = subviews();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].get() == &view)
            return static_cast<long>(i);
    }
    return -1;
}

bool ZORSplitView::delegateAllowsCollapse(ZORSplitSubview& pane)
{
    if (auto d = delegate())
        return d->splitViewCanCollapseSubview(*this, pane).value_or(true);
    return true;
}

void ZORSplitView::encodeWithCoder(fnd::Coder& coder) const
{
    ui::SplitView::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding())
        coder.encodeBool(m_hideDividersOfCollapsedSubviews, "hideDividersOfCollapsedSubviews");
}

bool ZORSplitView::initWithCoder(fnd::Coder& coder)
{
    if (!ui::SplitView::initWithCoder(coder))
        return false;
    m_hideDividersOfCollapsedSubviews = coder.allowsKeyedCoding()
        && coder.containsValueForKey("hideDividersOfCollapsedSubviews")
        && coder.decodeBoolForKey("hideDividersOfCollapsedSubviews");
    return !coder.hasFailed();
}

void ZORSplitView::collapseSubview(ZORSplitSubview& pane)
{
    long i = indexOfSubview(pane);
    if (i < 0 || !delegateAllowsCollapse(pane))
        return;
    auto self = shared_from_this();
    auto sibling = pane.splitSubviewToExpand();
    long s = sibling ? indexOfSubview(*sibling) : -1;
    long dividers = static_cast<long>(subviews().size()) - 1;
    if (sibling && i >= s) {
        // The sibling comes before: the pane shrinks to nothing toward its end.
        setPositionOfDivider(maxPossiblePositionOfDividerAtIndex(i - 1), i - 1);
    } else if (i < dividers) {
        setPositionOfDivider(minPossiblePositionOfDividerAtIndex(i), i);
    }
    // The last pane naming the next one has no divider after it: nothing to move.
}

void ZORSplitView::expandSubview(ZORSplitSubview& pane)
{
    long i = indexOfSubview(pane);
    if (i < 0 || !delegateAllowsCollapse(pane))
        return;
    auto self = shared_from_this();
    auto sibling = pane.splitSubviewToExpand();
    long s = sibling ? indexOfSubview(*sibling) : -1;
    long dividers = static_cast<long>(subviews().size()) - 1;
    auto f = pane.frame();
    if (sibling && i >= s)
        setPositionOfDivider(gfx::minAlong(f, axis()) - dividerThickness(), i - 1);
    else if (i < dividers)
        setPositionOfDivider(gfx::maxAlong(f, axis()), i);
}
