#include "frameworks/tab-bar-core/TabNesting.h"

namespace tbcore {

bool liesInsideTabPage(const ui::View& view, const ui::TabViewItem& item)
{
    auto page = item.view();
    if (!page)
        return false;
    if (&view == page.get())
        return true;
    for (auto v = view.superview(); v; v = v->superview())
        if (v == page)
            return true;
    return false;
}

}
