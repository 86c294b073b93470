#include "frameworks/ZORAppKit/split-view/ZORSplitViewController.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitSubview.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitView.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbar.h"

FND_REGISTER_CLASS(ZORSplitViewController, ui::ViewController)

namespace {

constexpr double ZORSplitViewControllerGripWidth = 15.0;

std::shared_ptr<ZORSplitSubview> ZORSplitViewControllerPane(ui::SplitView& splitView, long index)
{
    const auto& list = splitView.subviews();
    if (index < 0 || index >= static_cast<long>(list.size()))
        return nullptr;
    return std::dynamic_pointer_cast<ZORSplitSubview>(list[static_cast<std::size_t>(index)]);
}

}

std::shared_ptr<ZORSplitViewController> ZORSplitViewController::create()
{
    auto controller = fnd::makeObject<ZORSplitViewController>();
    controller->initWithNibName({});
    return controller;
}

std::optional<bool> ZORSplitViewController::splitViewCanCollapseSubview(ui::SplitView& splitView, ui::View& subview)
{
    if (auto d = delegate()) {
        if (auto answer = d->splitViewCanCollapseSubview(splitView, subview))
            return answer;
    }
    auto* pane = dynamic_cast<ZORSplitSubview*>(&subview);
    return pane && pane->isCollapsible();
}

std::optional<bool> ZORSplitViewController::splitViewShouldHideDividerAtIndex(ui::SplitView& splitView, long index)
{
    if (auto d = delegate()) {
        if (auto answer = d->splitViewShouldHideDividerAtIndex(splitView, index))
            return answer;
    }
    auto* split = dynamic_cast<ZORSplitView*>(&splitView);
    return split && split->hideDividersOfCollapsedSubviews();
}

std::optional<double> ZORSplitViewController::splitViewConstrainMinCoordinate(
    ui::SplitView& splitView, double proposed, long index)
{
    if (auto d = delegate()) {
        if (auto answer = d->splitViewConstrainMinCoordinate(splitView, proposed, index))
            return answer;
    }
    auto pane = ZORSplitViewControllerPane(splitView, index);
    if (!pane || pane->minSize() == 0)
        return proposed;
    return proposed + pane->minSize();
}

std::optional<double> ZORSplitViewController::splitViewConstrainMaxCoordinate(
    ui::SplitView& splitView, double proposed, long index)
{
    if (auto d = delegate()) {
        if (auto answer = d->splitViewConstrainMaxCoordinate(splitView, proposed, index))
            return answer;
    }
    // The pane after the divider keeps its minimum. (The pane before it is held by the minimum coordinate; taking
    // its minimum off here as well would forbid positions that leave both panes their room.)
    auto next = ZORSplitViewControllerPane(splitView, index + 1);
    if (next && next->minSize() != 0)
        return proposed - next->minSize();
    return proposed;
}

bool ZORSplitViewController::splitViewResizeSubviewsWithOldSize(ui::SplitView& splitView, gfx::Size oldSize)
{
    if (auto d = delegate(); d && d->splitViewResizeSubviewsWithOldSize(splitView, oldSize))
        return true;
    splitView.adjustSubviews();
    return true;
}

std::optional<gfx::Rect> ZORSplitViewController::splitViewAdditionalEffectiveRectOfDividerAtIndex(
    ui::SplitView& splitView, long index)
{
    if (auto d = delegate()) {
        if (auto answer = d->splitViewAdditionalEffectiveRectOfDividerAtIndex(splitView, index))
            return answer;
    }
    return gripRectOfDivider(splitView, index);
}

std::optional<bool> ZORSplitViewController::splitViewShouldAdjustSizeOfSubview(ui::SplitView&, ui::View& subview)
{
    auto* pane = dynamic_cast<ZORSplitSubview*>(&subview);
    return pane ? pane->resizesWithSplitView() : true;
}

gfx::Rect ZORSplitViewController::gripRectOfDivider(ui::SplitView& splitView, long index)
{
    auto withGrip = [index](const std::shared_ptr<ZORSplitSubview>& pane) -> std::shared_ptr<ZORSplitViewToolbar> {
        if (!pane || !pane->toolbar())
            return nullptr;
        auto bar = pane->toolbar();
        return bar->dividerIndexNearestToHandle() == index && bar->drawDraggingButton() ? bar : nullptr;
    };
    auto pane = ZORSplitViewControllerPane(splitView, index);
    auto bar = withGrip(pane);
    if (!bar) {
        pane = ZORSplitViewControllerPane(splitView, index + 1);
        bar = withGrip(pane);
    }
    if (!bar)
        return {};
    double height = bar->bounds().height();
    double y = splitView.frame().height() - bar->frame().minY() - height;
    double x = bar->drawDraggingButtonOnRight() ? pane->frame().maxX() - ZORSplitViewControllerGripWidth
                                                : pane->frame().minX();
    return { x, y, ZORSplitViewControllerGripWidth, height };
}
