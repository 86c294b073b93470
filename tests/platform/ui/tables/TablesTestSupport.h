#pragma once

#include "platform/ui/UiTestSupport.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/tables/TableView.h"
#include "platform/ui/views/Window.h"

#include <functional>
#include <string>
#include <vector>

namespace tablestest {

// Rows of text in named columns, kept by the test; edits and sort changes are recorded.
class ListSource : public fnd::Object, public ui::TableViewDataSource {
    FND_OBJECT(ListSource)
public:
    long numberOfRowsInTableView(ui::TableView&) override;
    fnd::Value tableViewObjectValueForTableColumn(ui::TableView&, ui::TableColumn* column, long row) override;
    void tableViewSetObjectValue(ui::TableView&, const fnd::Value& value, ui::TableColumn* column, long row) override;
    void tableViewSortDescriptorsDidChange(ui::TableView& table, const fnd::SortDescriptors&) override;

    std::vector<fnd::String> columns { "name", "kind" };
    std::vector<std::vector<fnd::String>> rows;
    // Every row a value was asked for, in order.
    std::vector<long> askedRows;
    std::vector<std::string> edits;
    int sortChanges { 0 };
};

// Records what a table's delegate hears and answers as the test says.
class RecordingDelegate : public fnd::Object, public ui::TableViewDelegate {
    FND_OBJECT(RecordingDelegate)
public:
    bool tableViewShouldSelectRow(ui::TableView&, long row) override { return !refuse || !refuse(row); }
    std::optional<fnd::IndexSet> tableViewSelectionIndexesForProposedSelection(
        ui::TableView&, const fnd::IndexSet& proposed) override
    {
        return propose ? std::optional(propose(proposed)) : std::nullopt;
    }
    void tableViewSelectionIsChanging(const fnd::Notification&) override { log.push_back("changing"); }
    void tableViewSelectionDidChange(const fnd::Notification&) override { log.push_back("changed"); }
    bool tableViewIsGroupRow(ui::TableView&, long row) override { return group && group(row); }
    std::optional<double> tableViewHeightOfRow(ui::TableView&, long row) override
    {
        return height ? std::optional(height(row)) : std::nullopt;
    }
    void tableViewDidClickTableColumn(ui::TableView&, ui::TableColumn& column) override
    {
        log.push_back("clicked " + column.identifier().utf8());
    }
    void tableViewColumnDidMove(const fnd::Notification& note) override;
    void tableViewColumnDidResize(const fnd::Notification&) override { ++resizes; }

    std::function<bool(long)> refuse;
    std::function<fnd::IndexSet(const fnd::IndexSet&)> propose;
    std::function<bool(long)> group;
    std::function<double(long)> height;
    std::vector<std::string> log;
    int resizes { 0 };
};

// A key window of 400 × 300 points with a table of two 120-point columns ("name", "kind") in a scroll view
// (vertical scroller, 20 rows of fruit), on the headless backend and a virtual clock.
class TablesTest : public uitest::UiTest {
protected:
    TablesTest();

    static std::vector<fnd::String> fruit();
    // Sets the rows (a name each, kind "fruit") and reloads.
    void setRows(const std::vector<fnd::String>& names);

    // A point of the table in window coordinates: the middle of the cell (column, row).
    gfx::Point cellPoint(long column, long row) const;
    void clickCell(long column, long row, unsigned flags = 0, long clicks = 1);
    void press(gfx::Point tablePoint, unsigned flags = 0, long clicks = 1);
    void drag(gfx::Point tablePoint, unsigned flags = 0);
    void release(gfx::Point tablePoint, unsigned flags = 0);
    void key(char16_t character, unsigned short keyCode = 0, unsigned flags = 0);
    void type(const std::string& text);
    void dispatch() { backend->dispatchEvents(); }

    // The selected rows as "0 2 3".
    std::string selection() const;
    // The window drawn now; with BARCODES_UI_SNAPSHOTS=<folder> also written there as <name>.png.
    std::shared_ptr<gfx::BitmapImageRep> snapshot(const char* name);
    // The pixel at a point of a view (its own coordinates) in a snapshot of the window, as ARGB.
    static std::uint32_t pixelIn(const gfx::BitmapImageRep& image, ui::View& view, gfx::Point p);

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ScrollView> scrollView;
    std::shared_ptr<ui::TableView> table;
    std::shared_ptr<ListSource> source;
    std::shared_ptr<RecordingDelegate> delegate;
};

// Whether a colour is the accent's blue (saturated, blue above red).
bool isAccent(std::uint32_t argb);
int luminance(std::uint32_t argb);

}
