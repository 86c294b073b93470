#include "TablesTestSupport.h"

#include <cstring>

#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/tables/TableHeaderView.h"

using namespace ui;
using namespace tablestest;

namespace {

using TableCellsTest = TablesTest;

// Notes the row a menu item was chosen for.
class RowReader : public fnd::Object {
    FND_OBJECT(RowReader)
    static void describeClass(fnd::ClassBuilder<RowReader>& c) { c.action("remove:", &RowReader::remove); }

public:
    void remove(const fnd::Value&) { rows.push_back(table ? table->clickedRow() : -2); }
    std::shared_ptr<TableView> table;
    std::vector<long> rows;
};
FND_REGISTER_CLASS(RowReader, fnd::Object)

// Gives each row's name a tool tip.
class TipDelegate : public RecordingDelegate {
public:
    fnd::String tableViewToolTipForCell(
        TableView&, Cell& cell, gfx::Rect&, TableColumn* column, long row, gfx::Point) override
    {
        if (column->identifier() != "name")
            return {};
        return fnd::String("Row " + std::to_string(row) + ": ") + cell.stringValue();
    }
};

}

TEST_F(TableCellsTest, AButtonCellInARowTracksTheClickAndWritesItsNewState)
{
    auto check = fnd::makeObject<ButtonCell>();
    check->setButtonType(ButtonType::Switch);
    check->setTitle({});
    table->tableColumns()[1]->setDataCell(check);
    for (auto& row : source->rows)
        row[1] = "0";
    clickCell(0, 2);
    clickCell(1, 5);
    EXPECT_EQ(source->edits, (std::vector<std::string> { "kind 5 = 1" }));
    EXPECT_EQ(selection(), "2") << "the click went to the button, not to the selection";
    clickCell(1, 5);
    EXPECT_EQ(source->edits.back(), "kind 5 = 0");
    // Released outside the cell, the button keeps its state.
    auto inside = cellPoint(1, 7);
    backend->mouseDown(*window, inside);
    backend->mouseUp(*window, cellPoint(0, 7));
    dispatch();
    EXPECT_EQ(source->edits.size(), 2u);

    // Text cells do not track: the click selects.
    clickCell(0, 6);
    EXPECT_EQ(selection(), "6");
}

TEST_F(TableCellsTest, TheContextMenuKnowsTheClickedRow)
{
    auto reader = fnd::makeObject<RowReader>();
    reader->table = table;
    auto menu = Menu::create("Rows");
    auto item = MenuItem::create("Remove", "remove:");
    item->setTarget(reader);
    menu->addItem(item);
    table->setMenu(menu);
    clickCell(0, 1);
    table->scrollRowToVisible(4);
    backend->answerNextPopUpMenu(0);
    backend->rightMouseDown(*window, cellPoint(0, 4));
    backend->rightMouseUp(*window, cellPoint(0, 4));
    dispatch();
    EXPECT_EQ(reader->rows, (std::vector<long> { 4 }));
    EXPECT_EQ(table->clickedColumn(), 0);
    EXPECT_EQ(selection(), "1") << "a right click leaves the selection alone";
}

TEST_F(TableCellsTest, ToolTipsComeFromTheDelegateForTheCellUnderThePoint)
{
    auto tips = std::make_shared<TipDelegate>();
    table->setDelegate(tips);
    gfx::Rect rect;
    auto frame = table->frameOfCellAtColumn(0, 3);
    EXPECT_EQ(table->toolTipAtPoint({ frame.midX(), frame.midY() }, &rect), u"Row 3: Blueberry");
    EXPECT_EQ(rect, frame);
    auto kind = table->frameOfCellAtColumn(1, 3);
    EXPECT_EQ(table->toolTipAtPoint({ kind.midX(), kind.midY() }, &rect), u"");
    EXPECT_TRUE(rect.isEmpty());
    EXPECT_EQ(table->toolTipAtPoint({ 5, 19 * 40 }), u"") << "below the rows";
}

TEST_F(TableCellsTest, AnInterfaceFileMakesATableWithItsColumnsInAScrollView)
{
    const char* xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="scroll" class="ScrollView">
    <rect key="frame" x="0" y="0" width="240" height="120"/>
    <bool key="hasVerticalScroller">true</bool>
    <object key="documentView" id="list" class="TableView">
      <rect key="frame" x="0" y="0" width="225" height="100"/>
      <bool key="allowsMultipleSelection">true</bool>
      <integer key="selectionHighlightStyle">1</integer>
      <children selector="addTableColumn:">
        <object class="TableColumn">
          <string key="identifier">name</string>
          <string key="title">Name</string>
          <real key="width">150</real>
          <real key="minWidth">60</real>
        </object>
        <object class="TableColumn">
          <string key="identifier">kind</string>
          <bool key="editable">false</bool>
        </object>
      </children>
    </object>
  </object>
  <connections>
    <outlet source="list" key="dataSource" destination="owner"/>
    <outlet source="list" key="delegate" destination="owner"/>
  </connections>
</interface>)";
    auto owner = std::make_shared<ListSource>();
    owner->rows = { { "Apple", "fruit" }, { "Leek", "vegetable" } };
    auto loaded = InterfaceFile::load(fnd::Data(xml, std::strlen(xml)), owner);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto scroll = loaded->topLevelObjects.at(0);
    auto list = std::dynamic_pointer_cast<TableView>(std::dynamic_pointer_cast<ScrollView>(scroll)->documentView());
    ASSERT_TRUE(list);
    ASSERT_EQ(list->numberOfColumns(), 2);
    EXPECT_EQ(list->tableColumns()[0]->title(), u"Name");
    EXPECT_EQ(list->tableColumns()[0]->width(), 150);
    EXPECT_FALSE(list->tableColumns()[1]->isEditable());
    EXPECT_TRUE(list->allowsMultipleSelection());
    EXPECT_EQ(list->selectionHighlightStyle(), TableViewSelectionHighlightStyle::SourceList);
    EXPECT_EQ(std::dynamic_pointer_cast<ListSource>(list->dataSource()), owner);
    EXPECT_EQ(list->numberOfRows(), 2);
    EXPECT_EQ(list->preparedCellAtColumn(1, 1)->stringValue(), u"vegetable");
    EXPECT_TRUE(std::dynamic_pointer_cast<ScrollView>(scroll)->headerClipView());
}
