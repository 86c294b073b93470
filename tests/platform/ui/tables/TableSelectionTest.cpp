#include "TablesTestSupport.h"

#include "platform/foundation/runtime/Selector.h"

using namespace ui;
using namespace tablestest;

namespace {

constexpr unsigned Shift = ModifierFlags::Shift;
constexpr unsigned Ctrl = ModifierFlags::Command; // the Ctrl key plays the command key's role

class TableSelectionTest : public TablesTest {
protected:
    TableSelectionTest()
    {
        table->setAllowsMultipleSelection(true);
        delegate->log.clear();
    }
};

// A table that never selects row 0, filtering whatever is asked of it.
class NoFirstRowTable : public TableView {
    FND_OBJECT(NoFirstRowTable)
public:
    void selectRowIndexes(const fnd::IndexSet& rows, bool extend) override
    {
        auto kept = rows;
        if (kept.contains(0))
            kept.remove(0);
        if (kept.isEmpty() && !rows.isEmpty())
            return;
        TableView::selectRowIndexes(kept, extend);
    }
};
FND_REGISTER_CLASS(NoFirstRowTable, TableView)

// Takes the table's single and double actions.
class ActionTarget : public fnd::Object {
    FND_OBJECT(ActionTarget)
    static void describeClass(fnd::ClassBuilder<ActionTarget>& c)
    {
        c.action("clicked:", &ActionTarget::clicked);
        c.action("opened:", &ActionTarget::opened);
    }

public:
    void clicked(const fnd::Value& sender) { log.push_back("clicked " + row(sender)); }
    void opened(const fnd::Value& sender) { log.push_back("opened " + row(sender)); }
    static std::string row(const fnd::Value& sender)
    {
        auto table = sender.objectAs<TableView>();
        return table ? std::to_string(table->clickedRow()) : "?";
    }
    std::vector<std::string> log;
};
FND_REGISTER_CLASS(ActionTarget, fnd::Object)

}

TEST_F(TableSelectionTest, ClicksSelectAndShiftAndCtrlExtendFromTheAnchor)
{
    clickCell(0, 3);
    EXPECT_EQ(selection(), "3");
    EXPECT_EQ(table->selectedRow(), 3);
    clickCell(0, 6, Shift);
    EXPECT_EQ(selection(), "3 4 5 6");
    // Shift again reaches from the same anchor: the range shrinks.
    clickCell(0, 4, Shift);
    EXPECT_EQ(selection(), "3 4");
    clickCell(0, 9, Ctrl);
    EXPECT_EQ(selection(), "3 4 9");
    clickCell(0, 3, Ctrl);
    EXPECT_EQ(selection(), "4 9");
    // The Ctrl-click set a new anchor: Shift reaches from row 3 and keeps what was picked before.
    clickCell(0, 1, Shift);
    EXPECT_EQ(selection(), "1 2 3 4 9");
    clickCell(1, 7);
    EXPECT_EQ(selection(), "7");

    // A click below the last row empties the selection; a table that must keep one refuses.
    setRows({ "Apple", "Banana", "Cherry", "Date", "Fig", "Grape", "Kiwi", "Lime" });
    press({ 50, 19 * 9 });
    release({ 50, 19 * 9 });
    dispatch();
    EXPECT_EQ(selection(), "");
    clickCell(0, 2);
    table->setAllowsEmptySelection(false);
    clickCell(0, 2, Ctrl);
    EXPECT_EQ(selection(), "2");

    // Without multiple selection Shift and Ctrl select one row.
    table->setAllowsMultipleSelection(false);
    clickCell(0, 5, Shift);
    EXPECT_EQ(selection(), "5");
    clickCell(0, 6, Ctrl);
    EXPECT_EQ(selection(), "6");
}

TEST_F(TableSelectionTest, AClickPostsIsChangingAndOneDidChangeAndSendsTheActions)
{
    auto target = fnd::makeObject<ActionTarget>();
    table->setTarget(target);
    table->setAction("clicked:");
    table->setDoubleAction("opened:");
    table->tableColumns()[0]->setEditable(false);
    table->tableColumns()[1]->setEditable(false);
    clickCell(0, 2);
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "changing", "changed" }));
    // The second click of a double click opens.
    clickCell(0, 2, 0, 2);
    EXPECT_EQ(target->log, (std::vector<std::string> { "clicked 2", "opened 2" }));
    // A click on the selected row changes nothing and posts nothing.
    delegate->log.clear();
    clickCell(0, 2);
    EXPECT_TRUE(delegate->log.empty());
}

TEST_F(TableSelectionTest, DraggingThroughRowsSelectsFromTheAnchorAndPostsDidChangeOnceAtTheEnd)
{
    auto middle = [&](long row) { return gfx::Point { 50, table->rectOfRow(row).midY() }; };
    press(middle(2));
    drag(middle(4));
    drag(middle(6));
    drag(middle(5));
    release(middle(5));
    dispatch();
    EXPECT_EQ(selection(), "2 3 4 5");
    EXPECT_EQ(std::count(delegate->log.begin(), delegate->log.end(), "changed"), 1);
    EXPECT_EQ(delegate->log.back(), "changed");
    EXPECT_GE(std::count(delegate->log.begin(), delegate->log.end(), "changing"), 3);

    // A press on one of several selected rows selects it alone only when the mouse goes up without a drag.
    press(middle(3));
    EXPECT_EQ(selection(), "2 3 4 5");
    release(middle(3));
    dispatch();
    EXPECT_EQ(selection(), "3");
}

TEST_F(TableSelectionTest, TheDelegateFiltersWhatThePersonSelectsButNotWhatCodeSelects)
{
    delegate->refuse = [](long row) { return row % 2 == 1; };
    clickCell(0, 3);
    EXPECT_EQ(selection(), "") << "an odd row is refused";
    clickCell(0, 2);
    clickCell(0, 6, Shift);
    EXPECT_EQ(selection(), "2 4 6") << "each row of a range is asked";
    table->selectRowIndexes(fnd::IndexSet { 1 }, false);
    EXPECT_EQ(selection(), "1") << "code is not filtered";

    // The proposed set may be replaced as a whole.
    delegate->refuse = nullptr;
    delegate->propose = [](const fnd::IndexSet& proposed) {
        auto answer = proposed;
        if (!proposed.isEmpty())
            answer.add(proposed.lastIndex() + 1);
        return answer;
    };
    clickCell(0, 10);
    EXPECT_EQ(selection(), "10 11");
}

TEST_F(TableSelectionTest, ASubclassFiltersEverySelection)
{
    auto filtered = std::make_shared<NoFirstRowTable>();
    filtered->initWithFrame({ 0, 0, 283, 200 });
    filtered->addTableColumn(TableColumn::create("name"));
    filtered->setAllowsMultipleSelection(true);
    filtered->setDataSource(source);
    scrollView->setDocumentView(filtered);
    table = filtered;
    window->makeFirstResponder(table);
    clickCell(0, 0);
    EXPECT_EQ(selection(), "");
    clickCell(0, 3);
    clickCell(0, 0, Shift);
    EXPECT_EQ(selection(), "1 2 3");
    key(FunctionKey::Home, KeyCode::Home);
    EXPECT_EQ(selection(), "1 2 3") << "Home proposes row 0 alone, which the table refuses";
    key(u'a', KeyCode::A, Ctrl);
    EXPECT_EQ(table->numberOfSelectedRows(), 19);
}

TEST_F(TableSelectionTest, KeysMoveAndExtendTheSelection)
{
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    EXPECT_EQ(selection(), "0") << "Down without a selection takes the first row";
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    key(FunctionKey::DownArrow, KeyCode::DownArrow, Shift);
    key(FunctionKey::DownArrow, KeyCode::DownArrow, Shift);
    EXPECT_EQ(selection(), "1 2 3");
    key(FunctionKey::UpArrow, KeyCode::UpArrow, Shift);
    EXPECT_EQ(selection(), "1 2");
    key(FunctionKey::UpArrow, KeyCode::UpArrow);
    EXPECT_EQ(selection(), "1");

    // A page is what shows less one row; the selection stays in sight.
    const long page = static_cast<long>(table->rowsInRect(scrollView->documentVisibleRect()).length) - 1;
    key(FunctionKey::PageDown, KeyCode::PageDown);
    EXPECT_EQ(selection(), std::to_string(1 + page));
    key(FunctionKey::End, KeyCode::End);
    EXPECT_EQ(selection(), "19");
    EXPECT_TRUE(gfx::containsRect(scrollView->documentVisibleRect(), table->rectOfRow(19)));
    key(FunctionKey::PageUp, KeyCode::PageUp, Shift);
    EXPECT_EQ(table->numberOfSelectedRows(), page + 1);
    key(FunctionKey::Home, KeyCode::Home);
    EXPECT_EQ(selection(), "0");
    EXPECT_EQ(scrollView->documentVisibleRect().minY(), 0);

    // Rows the delegate refuses are passed over.
    delegate->refuse = [](long row) { return row == 1 || row == 2; };
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    EXPECT_EQ(selection(), "3");
    key(FunctionKey::UpArrow, KeyCode::UpArrow);
    EXPECT_EQ(selection(), "0");

    key(u'a', KeyCode::A, Ctrl);
    EXPECT_EQ(table->numberOfSelectedRows(), 18);
}

TEST_F(TableSelectionTest, TypingFindsARowByTheStartOfItsText)
{
    type("b");
    EXPECT_EQ(selection(), "2") << "Banana";
    type("l");
    EXPECT_EQ(selection(), "3") << "Blueberry";
    // After a pause a search starts again, after the selected row.
    clock->advance(TableView::TypeSelectTimeout + 0.1);
    type("B");
    EXPECT_EQ(selection(), "2") << "round from Blueberry to Banana";
    clock->advance(TableView::TypeSelectTimeout + 0.1);
    type("gu");
    EXPECT_EQ(selection(), "9") << "Guava";
    clock->advance(TableView::TypeSelectTimeout + 0.1);
    type("x");
    EXPECT_EQ(selection(), "9") << "no match keeps the selection";

    // The delegate's own search answers for the table's.
    struct Matcher : RecordingDelegate {
        std::optional<long> tableViewNextTypeSelectMatch(TableView&, long, long, const fnd::String&) override
        {
            return 14;
        }
    };
    auto matcher = std::make_shared<Matcher>();
    table->setDelegate(matcher);
    clock->advance(TableView::TypeSelectTimeout + 0.1);
    type("a");
    EXPECT_EQ(selection(), "14");
    table->setAllowsTypeSelect(false);
    clock->advance(TableView::TypeSelectTimeout + 0.1);
    type("a");
    EXPECT_EQ(selection(), "14");
}
