#pragma once

#include "platform/ui/UiTestSupport.h"

#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridHeaderView.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Event.h"

#include <map>
#include <string>
#include <vector>

namespace gridtest {

// Holds string values per cell and records what the grid asks and tells.
class GridSource : public ZORTableGridDataSource {
public:
    std::optional<fnd::Index> numberOfColumnsInTableGrid(ZORTableGrid&) override { return columns; }
    std::optional<fnd::Index> numberOfRowsInTableGrid(ZORTableGrid&) override
    {
        ++rowCountAsks;
        return rows;
    }
    fnd::Value tableGridObjectValueForColumn(ZORTableGrid&, fnd::Index column, fnd::Index row) override
    {
        ++valueAsks;
        auto found = values.find({ column, row });
        return found == values.end() ? fnd::Value {} : fnd::Value(fnd::String(found->second));
    }
    bool tableGridTakesObjectValues(ZORTableGrid&) override { return takesValues; }
    void tableGridSetObjectValue(ZORTableGrid&, const fnd::Value& value, fnd::Index column, fnd::Index row) override
    {
        const std::string text = value.isNil() ? "nil" : value.stringValue().utf8();
        stored.push_back(std::to_string(column) + "," + std::to_string(row) + "=" + text);
        if (value.isNil())
            values.erase({ column, row });
        else
            values[{ column, row }] = text;
    }
    std::optional<fnd::String> tableGridHeaderStringForColumn(ZORTableGrid&, fnd::Index column) override
    {
        auto found = columnTitles.find(column);
        return found == columnTitles.end() ? std::nullopt : std::optional(fnd::String(found->second));
    }
    gfx::ColorPtr tableGridBackgroundColorForColumn(ZORTableGrid&, fnd::Index column, fnd::Index row) override
    {
        auto found = colors.find({ column, row });
        return found == colors.end() ? nullptr : found->second;
    }
    std::optional<float> tableGridSetWidthForColumn(ZORTableGrid&, fnd::Index column) override
    {
        widthAsks.push_back(column);
        auto found = widths.find(column);
        if (found != widths.end())
            return found->second;
        return answersWidths ? std::optional<float>(60) : std::nullopt;
    }
    bool tableGridWriteColumnsWithIndexes(ZORTableGrid&, const fnd::IndexSet& set, ui::Pasteboard&) override
    {
        written.push_back("columns " + describe(set));
        return writes;
    }
    bool tableGridWriteRowsWithIndexes(ZORTableGrid&, const fnd::IndexSet& set, ui::Pasteboard&) override
    {
        written.push_back("rows " + describe(set));
        return writes;
    }
    bool tableGridCanMoveColumns(ZORTableGrid&, const fnd::IndexSet&, fnd::Index) override { return canMove; }
    bool tableGridCanMoveRows(ZORTableGrid&, const fnd::IndexSet&, fnd::Index) override { return canMove; }
    bool tableGridMoveColumns(ZORTableGrid&, const fnd::IndexSet& set, fnd::Index to) override
    {
        moved.push_back("columns " + describe(set) + " to " + std::to_string(to));
        return moves;
    }
    bool tableGridMoveRows(ZORTableGrid&, const fnd::IndexSet& set, fnd::Index to) override
    {
        moved.push_back("rows " + describe(set) + " to " + std::to_string(to));
        return moves;
    }
    ui::DragOperation tableGridValidateDrop(
        ZORTableGrid&, ui::DraggingInfo&, fnd::Index column, fnd::Index row) override
    {
        validated.push_back(std::to_string(column) + "," + std::to_string(row));
        return validation;
    }
    bool tableGridAcceptDrop(ZORTableGrid&, ui::DraggingInfo&, fnd::Index column, fnd::Index row) override
    {
        accepted.push_back(std::to_string(column) + "," + std::to_string(row));
        return true;
    }

    static std::string describe(const fnd::IndexSet& set)
    {
        std::string text;
        for (auto i : set.indexes())
            text += (text.empty() ? "" : " ") + std::to_string(i);
        return "{" + text + "}";
    }

    fnd::Index columns { 10 };
    fnd::Index rows { 20 };
    std::map<std::pair<fnd::Index, fnd::Index>, std::string> values;
    std::map<std::pair<fnd::Index, fnd::Index>, gfx::ColorPtr> colors;
    std::map<fnd::Index, std::string> columnTitles;
    std::map<fnd::Index, float> widths;
    bool answersWidths { false };
    bool takesValues { true };
    bool writes { true };
    bool canMove { true };
    bool moves { true };
    ui::DragOperation validation { ui::DragOperations::Copy };
    int rowCountAsks { 0 };
    fnd::Index valueAsks { 0 };
    std::vector<fnd::Index> widthAsks;
    std::vector<std::string> stored;
    std::vector<std::string> written;
    std::vector<std::string> moved;
    std::vector<std::string> validated;
    std::vector<std::string> accepted;
};

// A grid of 400 × 300 points filling a key window, over a GridSource of 10 columns and 20 rows.
class TableGridTest : public uitest::KeyWindowTest {
protected:
    TableGridTest()
        : KeyWindowTest({ 400, 300 })
    {
        grid = ZORTableGrid::create({ 0, 0, 400, 300 });
        add(grid);
        grid->awakeFromNib();
        grid->setDataSource(source);
        grid->reloadData();
        selectionNotes
            = fnd::NotificationCenter::defaultCenter().addObserverForName(ZORTableGridNotification::DidChangeSelection,
                grid->selfValue(), [this](const fnd::Notification&) { ++selectionChanges; });
    }
    ~TableGridTest() override { fnd::NotificationCenter::defaultCenter().removeObserver(selectionNotes); }

    ZORTableGridContentView& content() { return *grid->contentView(); }
    // Input at a point of a view (its own coordinates).
    void press(ui::View& view, gfx::Point p, unsigned flags = 0, long clicks = 1)
    {
        backend->mouseDown(*window, view.convertPointToView(p, nullptr), flags, clicks);
    }
    void dragTo(ui::View& view, gfx::Point p) { backend->mouseDragged(*window, view.convertPointToView(p, nullptr)); }
    void release(ui::View& view, gfx::Point p, unsigned flags = 0, long clicks = 1)
    {
        backend->mouseUp(*window, view.convertPointToView(p, nullptr), flags, clicks);
    }
    void clickCell(fnd::Index column, fnd::Index row, unsigned flags = 0)
    {
        auto frame = content().frameOfCellAtColumn(column, row);
        grid->scrollToArea(frame, false);
        gfx::Point p { frame.midX(), frame.midY() };
        press(content(), p, flags);
        release(content(), p, flags);
        dispatch();
    }
    void key(char16_t character, unsigned short keyCode, unsigned flags = 0)
    {
        backend->keyDown(*window, fnd::String(std::u16string(1, character)), keyCode, flags);
        dispatch();
    }
    void type(const std::string& text)
    {
        for (char c : text)
            backend->keyDown(*window, fnd::String(std::string(1, c)), ui::KeyCode::A);
        dispatch();
    }
    std::string columns() const { return GridSource::describe(*grid->selectedColumnIndexes()); }
    std::string rows() const { return GridSource::describe(*grid->selectedRowIndexes()); }
    void select(fnd::Range columnRange, fnd::Range rowRange)
    {
        grid->setSelectedColumnIndexes(fnd::IndexSet(columnRange));
        grid->setSelectedRowIndexes(fnd::IndexSet(rowRange));
    }
    void perform(const char* command) { grid->perform(fnd::Selector(command), grid->selfValue()); }

    std::shared_ptr<GridSource> source = std::make_shared<GridSource>();
    std::shared_ptr<ZORTableGrid> grid;
    int selectionChanges { 0 };
    fnd::NotificationObserverToken selectionNotes;
};

}
