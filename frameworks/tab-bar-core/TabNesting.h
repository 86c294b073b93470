#pragma once

#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/View.h"

namespace tbcore {

// Whether the view lies in the page of the tab item (its view or below it). A tab dropped on a bar there would put
// its page inside itself: the page would leave every window and hold itself for good.
bool liesInsideTabPage(const ui::View& view, const ui::TabViewItem& item);

}
