#include "frameworks/ZORAppKit/source-list/ZORTableViewExtension.h"

#include "platform/ui/controls/Cell.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/views/Event.h"

#include <algorithm>

FND_REGISTER_CLASS(ZORTableViewExtension, ui::TableView)

std::shared_ptr<ZORTableViewExtension> ZORTableViewExtension::create(gfx::Rect frame)
{
    return ui::makeView<ZORTableViewExtension>(frame);
}

void ZORTableViewExtension::keyDown(const ui::Event& event)
{
    const auto& keys = event.charactersIgnoringModifiers();
    if (!keys.isEmpty() && (keys.units()[0] == 0x7F || keys.units()[0] == ui::FunctionKey::Delete))
        if (auto d = std::dynamic_pointer_cast<ZORTableViewExtensionDelegate>(delegate()))
            if (d->tableViewDidReceiveDeleteEvent(*this, event))
                return;
    TableView::keyDown(event);
}

namespace ZORTableViewExtensionCat {

void adjustWidthForTableColumns(ui::TableView& table, const std::vector<std::shared_ptr<ui::TableColumn>>& columns)
{
    const auto& all = table.tableColumns();
    for (const auto& column : columns) {
        const auto found = std::find(all.begin(), all.end(), column);
        if (found == all.end())
            continue;
        const long index = long(found - all.begin());
        double width = 0;
        for (long row = 0; row < table.numberOfRows(); ++row)
            if (auto cell = table.preparedCellAtColumn(index, row))
                width = std::max(width, cell->cellSize().width);
        column->setWidth(width);
    }
}

}
