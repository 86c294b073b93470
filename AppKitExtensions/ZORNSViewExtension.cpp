#include "AppKitExtensions/ZORNSViewExtension.h"

namespace ZORNSViewExtension {

void zorBringToFront(ui::View& view)
{
    auto superview = view.superview();
    if (!superview)
        return;
    // The sort is stable, so everyone but the view keeps their place.
    superview->sortSubviewsUsingFunction([&view](const ui::View& a, const ui::View& b) {
        if (&a == &view)
            return ui::ComparisonResult::Descending;
        if (&b == &view)
            return ui::ComparisonResult::Ascending;
        return ui::ComparisonResult::Same;
    });
}

namespace {

void collect(const ui::View& view, const fnd::ClassInfo* cls, std::vector<std::shared_ptr<ui::View>>& into)
{
    for (const auto& subview : view.subviews()) {
        if (!cls || subview->isKindOf(*cls))
            into.push_back(subview);
        collect(*subview, cls, into);
    }
}

}

std::vector<std::shared_ptr<ui::View>> descendantsKindOfClass(const ui::View& view, const fnd::ClassInfo* cls)
{
    std::vector<std::shared_ptr<ui::View>> found;
    collect(view, cls, found);
    return found;
}

}
