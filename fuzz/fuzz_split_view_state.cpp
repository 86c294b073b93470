// A split view's layout comes back from a string in the user defaults, which anyone can edit: any bytes must be
// refused or applied, and an applied string must leave every open pane within its limits and the panes and dividers
// tiling the split view.
#include "frameworks/proportional-split-view/KJSplitView.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool fuzzSplitViewWellLaidOut(const KJSplitView& view)
{
    double at = 0;
    auto visible = view.KJ_subviews();
    if (visible.empty())
        return true; // every pane hidden: nothing to lay out
    double whole = view.isHorizontal() ? view.bounds().height() : view.bounds().width();
    double room = whole - static_cast<double>(visible.size() - 1) * view.dividerThickness();
    // When the open panes' maxima cannot fill the view (a string may hide the panes that could), one of them must
    // take more than its maximum: then only the tiling is checked.
    double maxima = 0;
    for (const auto& pane : visible) {
        if (pane->KJ_visibleDimension() > 0)
            maxima += pane->maxDimension();
    }
    bool limitsPossible = maxima >= room;
    for (std::size_t i = 0; i < visible.size(); ++i) {
        auto f = visible[i]->frame();
        double start = view.isHorizontal() ? f.minY() : f.minX();
        double size = view.isHorizontal() ? f.height() : f.width();
        if (size > 0 && start != at)
            return false;
        if (size > 0 && limitsPossible && (size < visible[i]->minDimension() || size > visible[i]->maxDimension()))
            return false;
        at += size;
        if (i + 1 < visible.size())
            at += view.dividerThickness();
    }
    return at == whole;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fnd::String text(std::string_view(reinterpret_cast<const char*>(data), size));
    auto split = KJSplitView::create({ 0, 0, 800, 500 });
    split->setDividerThickness(3);
    // Limits that always leave room: the last pane has none.
    const double limits[][2] = { { 50, 300 }, { 20, 0 }, { 100, 400 }, { 1, 0 } };
    for (const auto& l : limits) {
        auto pane = KJSplitSubview::create({ 0, 0, 150, 500 });
        pane->setMinDimension(l[0], l[1]);
        pane->setCanCollapse(l[0] > 20);
        split->addSubview(pane);
    }
    auto nested = KJSplitView::create({ 0, 0, 200, 500 });
    nested->addSubview(KJSplitSubview::create({ 0, 0, 200, 250 }));
    nested->addSubview(KJSplitSubview::create({ 0, 0, 200, 250 }));
    split->addSubview(nested);
    split->adjustSubviews();

    auto before = split->stringWithSavedState();
    bool applied = split->setStateFromString(text);
    if (!applied && split->stringWithSavedState() != before)
        __builtin_trap(); // refused strings change nothing
    nested->setStateFromString(text);
    split->layoutSubtreeIfNeeded();
    // Panes shown from a string take part again; the layout must hold with whatever the string hid.
    if (!fuzzSplitViewWellLaidOut(*split) || !fuzzSplitViewWellLaidOut(*nested))
        __builtin_trap();
    // What was applied reads back.
    split->setStateFromString(split->stringWithSavedState());
    return 0;
}
