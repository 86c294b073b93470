#include "TablesTestSupport.h"

#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/ui/text/TextFieldCell.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"

using namespace ui;
using namespace tablestest;

namespace {

class TableEditingTest : public TablesTest {
protected:
    // The text in the field editor while a cell is edited.
    std::string editorText() const
    {
        auto editor = std::dynamic_pointer_cast<TextView>(table->currentEditor());
        return editor ? editor->string().utf8() : "<not editing>";
    }
    void typeText(const std::string& text)
    {
        for (char c : text)
            backend->keyDown(*window, fnd::String(std::u16string(1, static_cast<char16_t>(c))), 0);
        dispatch();
    }
    void returnKey() { key(u'\r', KeyCode::Return); }
    void tabKey(unsigned flags = 0) { key(u'\t', KeyCode::Tab, flags); }
    void escapeKey() { key(u'\x1b', KeyCode::Escape); }
};

// Refuses edits of one column and records the edits' notifications.
class EditingDelegate : public RecordingDelegate {
public:
    bool tableViewShouldEditTableColumn(TableView&, TableColumn* column, long) override
    {
        return column->identifier() != refusedColumn;
    }
    void controlTextDidEndEditing(const fnd::Object&) override { log.push_back("ended"); }
    fnd::String refusedColumn;
};

}

TEST_F(TableEditingTest, ADoubleClickEditsInPlaceAndTheEditReachesTheDataSource)
{
    clickCell(0, 4);
    clickCell(0, 4, 0, 2);
    EXPECT_EQ(table->editedRow(), 4);
    EXPECT_EQ(table->editedColumn(), 0);
    EXPECT_EQ(editorText(), "Cherry") << "the whole text is selected for typing over";
    auto editor = table->currentEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->superview(), table);
    EXPECT_EQ(window->firstResponder(), editor);
    typeText("Cranberry");
    EXPECT_TRUE(source->edits.empty()) << "nothing is written before the edit ends";

    // Return writes the value and goes on to the same column of the next row.
    returnKey();
    EXPECT_EQ(source->edits, (std::vector<std::string> { "name 4 = Cranberry" }));
    EXPECT_EQ(source->rows[4][0], u"Cranberry");
    EXPECT_EQ(table->editedRow(), 5);
    EXPECT_EQ(selection(), "5");
    EXPECT_EQ(editorText(), "Date");

    // Escape puts the cell back, writes nothing and leaves the keyboard with the table.
    typeText("Plum");
    escapeKey();
    EXPECT_EQ(table->currentEditor(), nullptr);
    EXPECT_EQ(source->edits.size(), 1u);
    EXPECT_EQ(source->rows[5][0], u"Date");
    EXPECT_EQ(window->firstResponder(), table);
    EXPECT_EQ(table->editedRow(), -1);
}

TEST_F(TableEditingTest, TabAndShiftTabGoToTheNextAndPreviousEditableCell)
{
    auto editing = std::make_shared<EditingDelegate>();
    table->setDelegate(editing);
    table->editColumn(1, 2, nullptr, true);
    EXPECT_EQ(editorText(), "fruit");
    // From the last column Tab goes to the first editable cell of the next row.
    tabKey();
    EXPECT_EQ(table->editedRow(), 3);
    EXPECT_EQ(table->editedColumn(), 0);
    tabKey(ModifierFlags::Shift);
    EXPECT_EQ(table->editedRow(), 2);
    EXPECT_EQ(table->editedColumn(), 1);

    // A column the delegate refuses is passed over.
    editing->refusedColumn = "name";
    tabKey();
    EXPECT_EQ(table->editedRow(), 3);
    EXPECT_EQ(table->editedColumn(), 1);
    EXPECT_EQ(std::count(editing->log.begin(), editing->log.end(), "ended"), 3);

    // A double click on a refused cell does not edit it.
    escapeKey();
    clickCell(0, 6);
    clickCell(0, 6, 0, 2);
    EXPECT_EQ(table->currentEditor(), nullptr);
}

TEST_F(TableEditingTest, AClickElsewhereEndsTheEditKeepingWhatWasTyped)
{
    clickCell(0, 1);
    clickCell(0, 1, 0, 2);
    typeText("Aronia");
    clickCell(1, 7);
    EXPECT_EQ(source->edits, (std::vector<std::string> { "name 1 = Aronia" }));
    EXPECT_EQ(table->currentEditor(), nullptr);
    EXPECT_EQ(selection(), "7");
}

// Quitting while a cell is edited writes what was typed, as a click elsewhere does: the quit would lose it otherwise.
TEST_F(TableEditingTest, QuittingWhileACellIsEditedWritesTheEditBack)
{
    // Row 3 is "Blueberry": the edit changes it (an edit that ends with the text it began with writes nothing).
    table->editColumn(0, 3, nullptr, true);
    typeText("Bilberry");
    EXPECT_TRUE(source->edits.empty());
    Application::shared().terminate();
    EXPECT_EQ(source->edits, (std::vector<std::string> { "name 3 = Bilberry" }));
    EXPECT_EQ(table->currentEditor(), nullptr);
}

TEST_F(TableEditingTest, ACellsFormatterMustReadTheTextBeforeTheEditEnds)
{
    auto cell = std::dynamic_pointer_cast<TextFieldCell>(table->tableColumns()[1]->dataCell());
    ASSERT_TRUE(cell);
    cell->setFormatter(std::make_shared<fnd::NumberFormatter>());
    source->rows[0][1] = "12";
    table->editColumn(1, 0, nullptr, true);
    typeText("twelve");
    returnKey();
    EXPECT_TRUE(source->edits.empty());
    EXPECT_EQ(table->editedRow(), 0) << "editing goes on with the text as typed";
    EXPECT_EQ(editorText(), "twelve");
    EXPECT_EQ(backend->beepCount(), 1);
    auto editor = std::dynamic_pointer_cast<TextView>(table->currentEditor());
    editor->setSelectedRange({ 0, editor->string().length() });
    typeText("13");
    returnKey();
    ASSERT_EQ(source->edits.size(), 1u);
    EXPECT_EQ(source->edits[0], "kind 0 = 13");
}

// A column made read-only during its edit ends the edit, writing what was typed while it took edits; keys after it
// go to the table, not into the column (the edit gesture test's data-source seed 1 kept on editing it).
TEST_F(TableEditingTest, AColumnMadeReadOnlyDuringItsEditEndsIt)
{
    table->editColumn(1, 2, nullptr, true);
    typeText("tree");
    table->tableColumns()[1]->setEditable(false);
    EXPECT_EQ(table->currentEditor(), nullptr);
    EXPECT_EQ(source->edits, (std::vector<std::string> { "kind 2 = tree" }));
    EXPECT_EQ(window->firstResponder(), table);
    // The other column's edit goes on when the program locks this one.
    table->editColumn(0, 3, nullptr, true);
    typeText("Bil");
    table->tableColumns()[1]->setEditable(true);
    table->tableColumns()[1]->setEditable(false);
    EXPECT_EQ(editorText(), "Bil");
    returnKey();
    EXPECT_EQ(source->edits, (std::vector<std::string> { "kind 2 = tree", "name 3 = Bil" }));
}
