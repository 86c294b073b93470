#include "platform/ui/tables/detail/TableCornerView.h"

#include "platform/ui/tables/TableHeaderCell.h"

namespace ui::detail {

FND_REGISTER_CLASS(TableCornerView, View)

std::shared_ptr<TableCornerView> TableCornerView::create(gfx::Rect frame)
{
    return ui::makeView<TableCornerView>(frame);
}

void TableCornerView::drawRect(gfx::Rect)
{
    TableHeaderCell::drawHeaderBackground(bounds(), false);
}

}
