#include "TablesTestSupport.h"

#include "platform/ui/containers/ClipView.h"
#include "platform/ui/tables/TableHeaderView.h"

using namespace ui;
using namespace tablestest;

namespace {

class TableHeaderTest : public TablesTest {
protected:
    TableHeaderTest()
    {
        header = table->headerView();
        for (const auto& column : table->tableColumns())
            column->setSortDescriptorPrototype(fnd::SortDescriptor::sortDescriptorWithKey(column->identifier()));
    }

    gfx::Point inHeader(double x) const
    {
        return header->convertPointToView({ x, TableHeaderView::DefaultHeight / 2 }, nullptr);
    }
    void headerPress(double x) { backend->mouseDown(*window, inHeader(x)); }
    void headerDrag(double x) { backend->mouseDragged(*window, inHeader(x)); }
    void headerRelease(double x)
    {
        backend->mouseUp(*window, inHeader(x));
        dispatch();
    }
    void headerClick(double x)
    {
        headerPress(x);
        headerRelease(x);
    }
    std::string columnOrder() const
    {
        std::string out;
        for (const auto& c : table->tableColumns())
            out += (out.empty() ? "" : " ") + c->identifier().utf8();
        return out;
    }
    std::string sorts() const
    {
        std::string out;
        for (const auto& d : table->sortDescriptors())
            out += (out.empty() ? "" : " ") + d->key().utf8() + (d->ascending() ? "+" : "-");
        return out;
    }

    std::shared_ptr<TableHeaderView> header;
};

}

TEST_F(TableHeaderTest, ClickingATitleSortsByItsColumnAndAgainTheOtherWay)
{
    setRows({ "Fig", "Apple", "Cherry" });
    headerClick(60);
    EXPECT_EQ(sorts(), "name+");
    EXPECT_EQ(source->sortChanges, 1);
    EXPECT_EQ(source->rows[0][0], u"Apple");
    EXPECT_EQ(delegate->log.back(), "clicked name");
    headerClick(60);
    EXPECT_EQ(sorts(), "name-");
    EXPECT_EQ(source->rows[0][0], u"Fig");
    // Another column sorts first; the earlier key stays behind it.
    headerClick(180);
    EXPECT_EQ(sorts(), "kind+ name-");
    // A press that leaves the title before the release is no click.
    headerPress(60);
    headerDrag(60);
    backend->mouseUp(*window, header->convertPointToView({ 60, 40 }, nullptr));
    dispatch();
    EXPECT_EQ(sorts(), "kind+ name-");
    EXPECT_EQ(source->sortChanges, 3);
}

TEST_F(TableHeaderTest, DraggingATitleMovesItsColumn)
{
    headerPress(40);
    headerDrag(50);
    headerDrag(200);
    headerRelease(200);
    EXPECT_EQ(columnOrder(), "kind name");
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "moved 0 to 1" }));
    EXPECT_EQ(header->draggedColumn(), -1);
    EXPECT_EQ(table->sortDescriptors().size(), 0u) << "a drag is not a click";
    // The cells follow their columns.
    EXPECT_EQ(table->preparedCellAtColumn(1, 0)->stringValue(), u"Apple");

    // A table that does not reorder keeps its columns and takes the release as a click.
    table->setAllowsColumnReordering(false);
    headerPress(40);
    headerDrag(200);
    headerRelease(60);
    EXPECT_EQ(columnOrder(), "kind name");
    EXPECT_EQ(sorts(), "kind+");
}

TEST_F(TableHeaderTest, DraggingATitlesEdgeResizesItsColumnWithinItsLimits)
{
    auto name = table->tableColumns()[0];
    name->setMinWidth(40);
    name->setMaxWidth(200);
    auto resizeBy = [&](double dx) {
        const double edge = header->headerRectOfColumn(0).maxX();
        headerPress(edge - 1);
        headerDrag(edge + dx / 2);
        headerDrag(edge - 1 + dx);
        headerRelease(edge - 1 + dx);
    };
    resizeBy(30);
    EXPECT_EQ(name->width(), 150);
    EXPECT_EQ(table->rectOfColumn(1).minX(), 153);
    EXPECT_EQ(header->resizedColumn(), -1);
    resizeBy(300);
    EXPECT_EQ(name->width(), 200);
    resizeBy(-300);
    EXPECT_EQ(name->width(), 40);
    EXPECT_GE(delegate->resizes, 3);
    EXPECT_EQ(table->sortDescriptors().size(), 0u);

    // A column the person may not resize is moved or clicked instead.
    name->setResizingMask(TableColumnResizing::NoResizing);
    headerClick(header->headerRectOfColumn(0).maxX() - 1);
    EXPECT_EQ(name->width(), 40);
    EXPECT_EQ(sorts(), "name+");
}

TEST_F(TableHeaderTest, ColumnsShareAChangeOfTheVisibleWidthAsTheirStyleSays)
{
    auto name = table->tableColumns()[0];
    auto kind = table->tableColumns()[1];
    auto widths = [&] { return std::to_string(int(name->width())) + " " + std::to_string(int(kind->width())); };
    const auto start = scrollView->frame();
    auto grow = [&](double by) { scrollView->setFrameSize({ scrollView->frame().width() + by, start.height() }); };
    grow(40);
    EXPECT_EQ(widths(), "120 160") << "the last column by default";
    table->setColumnAutoresizingStyle(TableViewColumnAutoresizingStyle::Uniform);
    grow(-40);
    EXPECT_EQ(widths(), "100 140");
    table->setColumnAutoresizingStyle(TableViewColumnAutoresizingStyle::FirstColumnOnly);
    kind->setMaxWidth(140);
    grow(20);
    EXPECT_EQ(widths(), "120 140");
    table->setColumnAutoresizingStyle(TableViewColumnAutoresizingStyle::Sequential);
    grow(30);
    EXPECT_EQ(widths(), "150 140") << "the last column is at its maximum, so the one before takes it";
    table->setColumnAutoresizingStyle(TableViewColumnAutoresizingStyle::None);
    grow(30);
    EXPECT_EQ(widths(), "150 140");
    // Columns wider than the visible area do not follow it.
    table->setColumnAutoresizingStyle(TableViewColumnAutoresizingStyle::Uniform);
    name->setWidth(600);
    grow(-30);
    EXPECT_EQ(widths(), "600 140");
    EXPECT_EQ(table->frame().width(), 600 + 140 + 6);

    // sizeLastColumnToFit gives the last column what is left.
    name->setWidth(100);
    kind->setMaxWidth(1000);
    table->sizeLastColumnToFit();
    EXPECT_EQ(name->width() + kind->width() + 6, scrollView->contentView()->bounds().width());
}
