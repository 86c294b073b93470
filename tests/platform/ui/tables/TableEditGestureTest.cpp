// A person edits a table's cells in place while the program acts at every step: it removes and adds rows, empties
// the rows, renames entries (the edited one too) and makes a column read-only. Three ways of giving a table its
// rows meet the same gestures: a data source by index (rows come and go at the end, as a reload smaller or larger
// does), an array controller the columns are bound to (rows come and go anywhere) and an outline's items. A model
// of the entries and of the edit says what each entry must hold, which row shows which entry and where the edit
// must stand.
#include "TablesTestSupport.h"
#include "support/GestureSeeds.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/tables/OutlineView.h"
#include "platform/ui/text/TextView.h"

#include <fmt/format.h>
#include <map>
#include <random>

using namespace ui;
using namespace tablestest;

namespace {

// A row's object: a name and a kind, with every write counted.
class GestureEntry : public fnd::Object {
    FND_OBJECT(GestureEntry)
    static void describeClass(fnd::ClassBuilder<GestureEntry>& c)
    {
        c.property("name", &GestureEntry::name, &GestureEntry::setName);
        c.property("kind", &GestureEntry::kind, &GestureEntry::setKind);
    }

public:
    fnd::String name() const { return m_name; }
    void setName(const fnd::String& value)
    {
        m_name = value;
        ++writes;
    }
    fnd::String kind() const { return m_kind; }
    void setKind(const fnd::String& value)
    {
        m_kind = value;
        ++writes;
    }
    fnd::String valueFor(const fnd::String& key) const { return key == "name" ? m_name : m_kind; }

    fnd::String m_name;
    fnd::String m_kind;
    int writes { 0 };
};
FND_REGISTER_CLASS(GestureEntry, fnd::Object)

using EntryPtr = std::shared_ptr<GestureEntry>;

// Rows by index, from the test's list.
class GestureListSource : public fnd::Object, public TableViewDataSource {
    FND_OBJECT(GestureListSource)
public:
    long numberOfRowsInTableView(TableView&) override { return long(rows.size()); }
    fnd::Value tableViewObjectValueForTableColumn(TableView&, TableColumn* column, long row) override
    {
        return fnd::Value(rows.at(std::size_t(row))->valueFor(column->identifier()));
    }
    void tableViewSetObjectValue(TableView&, const fnd::Value& value, TableColumn* column, long row) override
    {
        rows.at(std::size_t(row))->setValueForKey(fnd::Value(value.stringValue()), column->identifier());
    }
    std::vector<EntryPtr> rows;
};
FND_REGISTER_CLASS(GestureListSource, fnd::Object)

// The same list as an outline's top-level items.
class GestureTreeSource : public fnd::Object, public OutlineViewDataSource {
    FND_OBJECT(GestureTreeSource)
public:
    long outlineViewNumberOfChildrenOfItem(OutlineView&, const fnd::Value& item) override
    {
        return item.isNil() ? long(rows.size()) : 0;
    }
    fnd::Value outlineViewChildOfItem(OutlineView&, long index, const fnd::Value&) override
    {
        return fnd::Value(std::static_pointer_cast<fnd::Object>(rows.at(std::size_t(index))));
    }
    bool outlineViewIsItemExpandable(OutlineView&, const fnd::Value&) override { return false; }
    fnd::Value outlineViewObjectValueForTableColumn(OutlineView&, TableColumn* column, const fnd::Value& item) override
    {
        return fnd::Value(item.objectAs<GestureEntry>()->valueFor(column->identifier()));
    }
    void outlineViewSetObjectValue(
        OutlineView&, const fnd::Value& value, TableColumn* column, const fnd::Value& item) override
    {
        item.objectAs<GestureEntry>()->setValueForKey(fnd::Value(value.stringValue()), column->identifier());
    }
    std::vector<EntryPtr> rows;
};
FND_REGISTER_CLASS(GestureTreeSource, fnd::Object)

enum class RowsFrom { DataSource, Controller, Outline };

const char* const GestureColumns[] = { "name", "kind" };

class TableEditGestureTest : public TablesTest {
protected:
    TableEditGestureTest() { backend->setDrawsWindows(false); }
    ~TableEditGestureTest() override
    {
        backend->setDrawsWindows(true);
        if (gestureTable)
            unbindTable(*gestureTable);
    }

    static void unbindTable(TableView& t)
    {
        for (const auto& column : t.tableColumns())
            column->unbind(fnd::BindingName::Value);
        for (const auto& binding :
            { fnd::BindingName::Content, fnd::BindingName::SelectionIndexes, fnd::BindingName::SortDescriptors })
            t.unbind(binding);
    }

    struct Edit {
        EntryPtr entry;
        long column { -1 };
        std::string began;
        std::string typed;
        bool wholeSelected { false };
        bool active() const { return entry != nullptr; }
    };

    // A table (or outline) of the kind over the entries, in a scroll view of the fixture's size.
    struct Made {
        std::shared_ptr<TableView> table;
        std::shared_ptr<GestureListSource> list;
        std::shared_ptr<GestureTreeSource> tree;
        std::shared_ptr<fnd::ArrayController> controller;
    };
    static Made make(RowsFrom kind, const std::vector<EntryPtr>& rows)
    {
        Made made;
        if (kind == RowsFrom::Outline)
            made.table = OutlineView::create({ 0, 0, 283, 200 });
        else
            made.table = TableView::create({ 0, 0, 283, 200 });
        for (const char* identifier : GestureColumns) {
            auto column = TableColumn::create(identifier);
            column->setWidth(120);
            made.table->addTableColumn(column);
        }
        if (kind == RowsFrom::DataSource) {
            made.list = fnd::makeObject<GestureListSource>();
            made.list->rows = rows;
            made.table->setDataSource(made.list);
        } else if (kind == RowsFrom::Outline) {
            made.tree = fnd::makeObject<GestureTreeSource>();
            made.tree->rows = rows;
            std::static_pointer_cast<OutlineView>(made.table)->setDataSource(made.tree);
        } else {
            made.controller = fnd::makeObject<fnd::ArrayController>();
            made.controller->setSelectsInsertedObjects(false);
            fnd::Array content;
            for (const auto& entry : rows)
                content.push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(entry)));
            made.controller->setContent(content);
            for (const auto& column : made.table->tableColumns())
                column->bind(fnd::BindingName::Value, *made.controller, "arrangedObjects." + column->identifier());
        }
        made.table->reloadData();
        return made;
    }

    void start(RowsFrom kind, unsigned seed)
    {
        random.seed(seed);
        rowsFrom = kind;
        entries.clear();
        expected.clear();
        rows.clear();
        edit = {};
        for (int i = 0; i < 8; ++i)
            rows.push_back(newEntry());
        if (gestureTable)
            unbindTable(*gestureTable);
        made = make(kind, rows);
        gestureTable = made.table;
        scrollView->setDocumentView(gestureTable);
        table = gestureTable;
        window->makeFirstResponder(gestureTable);
        editable = { true, true };
    }

    EntryPtr newEntry()
    {
        auto entry = fnd::makeObject<GestureEntry>();
        entry->m_name = fnd::String(fmt::format("e{}", ++entryCount));
        entry->m_kind = "fruit";
        entries.push_back(entry);
        expected[entry.get()] = { entry->m_name.utf8(), "fruit", 0 };
        return entry;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, std::max(n, 1) - 1)(random); }
    bool chance(int percent) { return pick(100) < percent; }

    long rowOf(const EntryPtr& entry) const
    {
        auto found = std::find(rows.begin(), rows.end(), entry);
        return found == rows.end() ? -1 : long(found - rows.begin());
    }

    // The edit ends as Return, Tab or a click elsewhere end it: what was typed reaches the entry it was typed for,
    // unless it is the text the cell began with.
    void editEnds()
    {
        if (edit.active() && edit.typed != edit.began) {
            auto& held = expected[edit.entry.get()];
            (edit.column == 0 ? held.name : held.kind) = edit.typed;
            ++held.writes;
        }
        edit = {};
    }
    void editBegins(long column, long row)
    {
        auto entry = rows.at(std::size_t(row));
        const auto value = entry->valueFor(GestureColumns[column]).utf8();
        edit = { entry, column, value, value, true };
    }

    void pressCell(long column, long row, long clicks)
    {
        table->scrollRowToVisible(row);
        auto p = cellPoint(column, row);
        for (long click = 1; click <= clicks; ++click) {
            backend->mouseDown(*window, p, 0, click);
            backend->mouseUp(*window, p, 0, click);
        }
        dispatch();
    }

    std::string personStep()
    {
        const long count = long(rows.size());
        // Without an edit the person clicks; keys would go to the table's type-select.
        switch (edit.active() ? pick(12) : pick(4)) {
        case 0:
        case 1:
        case 2: {
            if (count == 0)
                return "a double click on no row";
            const long column = pick(2), row = pick(int(std::min(count, 9L)));
            if (edit.active() && rowOf(edit.entry) == row && edit.column == column)
                return "a double click into the edited cell (not made)";
            editEnds();
            pressCell(column, row, 2);
            if (editable[std::size_t(column)])
                editBegins(column, row);
            return fmt::format("double-click {},{}", column, row);
        }
        case 3: {
            if (count == 0)
                return "a click on no row";
            const long column = pick(2), row = pick(int(std::min(count, 9L)));
            if (edit.active() && rowOf(edit.entry) == row && edit.column == column)
                return "a click into the edited cell (not made)";
            editEnds();
            pressCell(column, row, 1);
            return fmt::format("click {},{}", column, row);
        }
        case 4:
        case 5:
        case 6:
        case 7: {
            if (!edit.active())
                return "no key without an edit";
            const char letter = char('a' + pick(26));
            key(char16_t(letter));
            edit.typed = (edit.wholeSelected ? std::string() : edit.typed) + letter;
            edit.wholeSelected = false;
            return fmt::format("type {}", letter);
        }
        case 8:
            if (!edit.active())
                return "no Delete without an edit";
            key(u'\x7f', KeyCode::Delete);
            if (edit.wholeSelected)
                edit.typed.clear();
            else if (!edit.typed.empty())
                edit.typed.pop_back();
            edit.wholeSelected = false;
            return "Delete";
        case 9: {
            if (!edit.active())
                return "no Return without an edit";
            const long row = rowOf(edit.entry), column = edit.column;
            key(u'\r', KeyCode::Return);
            editEnds();
            // On to the same column of the next row.
            if (row + 1 < long(rows.size()) && editable[std::size_t(column)])
                editBegins(column, row + 1);
            return "Return";
        }
        case 10: {
            if (!edit.active())
                return "no Tab without an edit";
            const long row = rowOf(edit.entry), column = edit.column;
            key(u'\t', KeyCode::Tab);
            editEnds();
            // The next editable cell of the row, else of the rows after it.
            for (long r = row, c = column + 1; r < long(rows.size()); ++r, c = 0)
                for (; c < 2; ++c)
                    if (editable[std::size_t(c)]) {
                        editBegins(c, r);
                        return "Tab";
                    }
            return "Tab";
        }
        default:
            if (!edit.active())
                return "no Escape without an edit";
            key(u'\x1b', KeyCode::Escape);
            edit = {};
            return "Escape";
        }
    }

    // The program's rows change: the outline and a data source are told by a reload, bound columns by their
    // controller.
    void rowsChanged()
    {
        if (made.list) {
            made.list->rows = rows;
            table->reloadData();
            // A reload that takes the edited row away ends the edit: the data source has no such row to write.
            if (edit.active() && rowOf(edit.entry) < 0)
                edit = {};
        } else if (made.tree) {
            made.tree->rows = rows;
            // The outline ends an edit before it reloads, keeping what was typed.
            editEnds();
            table->reloadData();
        } else if (edit.active() && rowOf(edit.entry) < 0) {
            // The edited object left the controller: the edit ends, and what was typed reaches it all the same.
            editEnds();
        }
    }
    fnd::Value valueOf(const EntryPtr& entry) { return fnd::Value(std::static_pointer_cast<fnd::Object>(entry)); }

    std::string programStep()
    {
        if (!chance(35))
            return {};
        // An empty table is filled again soon, so the person has rows to edit.
        const int what = rows.empty() && chance(60) ? 4 : pick(20);
        if (what < 4 && !rows.empty()) {
            // Rows go: at the end from a data source, anywhere else.
            const int gone = 1 + pick(std::min<int>(3, int(rows.size())));
            std::string names;
            for (int i = 0; i < gone; ++i) {
                const std::size_t at = made.list ? rows.size() - 1 : std::size_t(pick(int(rows.size())));
                names += (names.empty() ? "" : " ") + rows[at]->m_name.utf8();
                if (made.controller)
                    made.controller->removeObject(valueOf(rows[at]));
                rows.erase(rows.begin() + std::ptrdiff_t(at));
            }
            rowsChanged();
            return "removes " + names;
        }
        if (what < 8) {
            const int added = 1 + pick(3);
            for (int i = 0; i < added; ++i) {
                const std::size_t at = made.list ? rows.size() : std::size_t(pick(int(rows.size()) + 1));
                auto entry = newEntry();
                rows.insert(rows.begin() + std::ptrdiff_t(at), entry);
                if (made.controller)
                    made.controller->insertObjectAtArrangedObjectIndex(valueOf(entry), fnd::Index(at));
            }
            rowsChanged();
            return fmt::format("adds {} rows", added);
        }
        if (what < 9) {
            rows.clear();
            if (made.controller)
                made.controller->setContent(fnd::Array {});
            rowsChanged();
            return "empties the rows";
        }
        if (what < 15 && !rows.empty()) {
            auto entry = rows[std::size_t(pick(int(rows.size())))];
            if (edit.active() && chance(50))
                entry = edit.entry;
            const std::string name = fmt::format("p{}", ++programNames);
            entry->setValueForKey(fnd::Value(fnd::String(name)), "name");
            expected[entry.get()].name = name;
            ++expected[entry.get()].writes;
            // A data source's table shows the change after a reload, now and then under the edit.
            if (made.list && chance(50))
                table->reloadData();
            return "renames " + name;
        }
        if (what < 19) {
            long column = pick(2);
            if (edit.active() && chance(60))
                column = edit.column;
            // At most one column is read-only at a time.
            if (!editable[std::size_t(1 - column)])
                column = 1 - column;
            const bool locking = editable[std::size_t(column)];
            editable[std::size_t(column)] = !locking;
            // Made read-only, the column's edit ends, keeping what was typed, as a click elsewhere would.
            if (locking && edit.active() && edit.column == column)
                editEnds();
            table->tableColumns()[std::size_t(column)]->setEditable(!locking);
            return fmt::format("makes column {} {}", column, locking ? "read-only" : "editable");
        }
        rowsChanged();
        if (made.list || made.tree)
            return "reloads";
        return {};
    }

    // What a fresh table of the kind over the same rows shows: its frame and its row count.
    std::string freshLayout()
    {
        auto other = Window::create({ 600, 100, 400, 300 });
        auto scroll = ScrollView::create(scrollView->frame());
        scroll->setHasVerticalScroller(true);
        scroll->setBorderType(BorderType::LineBorder);
        auto fresh = make(rowsFrom, rows);
        scroll->setDocumentView(fresh.table);
        other->contentView()->addSubview(scroll);
        other->contentView()->layoutSubtreeIfNeeded();
        auto layout = describeLayout(*fresh.table);
        unbindTable(*fresh.table);
        other->close();
        return layout;
    }
    static std::string describeLayout(TableView& t)
    {
        const auto f = t.frame();
        return fmt::format("{} rows, {}×{}", t.numberOfRows(), f.width(), f.height());
    }

    void check(const std::string& where)
    {
        for (const auto& entry : entries) {
            const auto& held = expected[entry.get()];
            EXPECT_EQ(entry->m_name.utf8(), held.name) << where << ": the name of " << held.name;
            EXPECT_EQ(entry->m_kind.utf8(), held.kind) << where << ": the kind of " << held.name;
            EXPECT_EQ(entry->writes, held.writes) << where << ": writes to " << held.name;
        }
        ASSERT_EQ(table->numberOfRows(), long(rows.size())) << where;
        for (long row = 0; row < long(rows.size()); ++row) {
            auto cell = table->preparedCellAtColumn(0, row);
            ASSERT_TRUE(cell) << where;
            EXPECT_EQ(cell->stringValue().utf8(), rows[std::size_t(row)]->m_name.utf8())
                << where << ": row " << row << " shows its entry";
        }
        auto editor = std::dynamic_pointer_cast<TextView>(table->currentEditor());
        EXPECT_EQ(editor != nullptr, edit.active()) << where << ": the edit";
        if (edit.active() && editor) {
            EXPECT_EQ(table->editedRow(), rowOf(edit.entry)) << where << ": the edit follows its entry";
            EXPECT_EQ(table->editedColumn(), edit.column) << where;
            EXPECT_EQ(editor->string().utf8(), edit.typed) << where << ": what was typed stays in its cell";
            const auto frame = editor->frame();
            EXPECT_TRUE(gfx::pointInRect(
                { frame.midX(), frame.midY() }, table->frameOfCellAtColumn(edit.column, rowOf(edit.entry))))
                << where << ": the editor stands over its cell";
            EXPECT_TRUE(window->firstResponder() == editor) << where << ": the keyboard is in the editor";
        } else {
            EXPECT_EQ(table->editedRow(), -1) << where;
            EXPECT_TRUE(window->firstResponder() == table) << where << ": the keyboard stays with the table";
        }
        EXPECT_EQ(describeLayout(*table), freshLayout()) << where << ": the table lays itself out again";
    }

    void run(RowsFrom kind, const char* name)
    {
        const int seeds = testsupport::gestureSeeds(2);
        for (int seed = 1; seed <= seeds && !HasFailure(); ++seed) {
            start(kind, unsigned(seed));
            for (int step = 0; step < 100 && !HasFailure(); ++step) {
                std::string what = personStep();
                if (auto acted = programStep(); !acted.empty())
                    what += "; the program " + acted;
                const auto where = fmt::format("{} seed {} step {} ({})", name, seed, step, what);
                try {
                    check(where);
                } catch (const fnd::Exception& e) {
                    ADD_FAILURE() << where << ": " << e.what();
                }
            }
            window->endEditingFor(nullptr);
        }
    }

    struct Held {
        std::string name;
        std::string kind;
        int writes { 0 };
    };
    RowsFrom rowsFrom { RowsFrom::DataSource };
    Made made;
    std::shared_ptr<TableView> gestureTable;
    std::vector<EntryPtr> entries;
    std::vector<EntryPtr> rows;
    std::map<const GestureEntry*, Held> expected;
    std::array<bool, 2> editable { true, true };
    Edit edit;
    std::mt19937 random;
    int entryCount { 0 };
    int programNames { 0 };
};

TEST_F(TableEditGestureTest, ADataSourcesRowsHoldWhatWasTypedIntoThem)
{
    run(RowsFrom::DataSource, "data source");
}

TEST_F(TableEditGestureTest, ABoundControllersObjectsHoldWhatWasTypedForThem)
{
    run(RowsFrom::Controller, "controller");
}

TEST_F(TableEditGestureTest, AnOutlinesItemsHoldWhatWasTypedForThem)
{
    run(RowsFrom::Outline, "outline");
}

}
