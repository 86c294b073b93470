// A person edits the grid's cells while the program acts at every step: it reloads the grid larger or smaller,
// empties its data source, changes values and makes columns read-only. A model of the data source and of the edit
// says what each cell must hold and where the edit must stand.
#include "TableGridTestSupport.h"
#include "support/GestureSeeds.h"

#include "platform/foundation/runtime/Exception.h"

#include <fmt/format.h>
#include <random>
#include <set>

using namespace gridtest;

namespace {

// Refuses edits of the columns the program locked.
class LockingGridDelegate : public ZORTableGridDelegate {
public:
    bool tableGridShouldEditColumn(ZORTableGrid&, fnd::Index column, fnd::Index) override
    {
        return !locked.contains(column);
    }
    std::set<fnd::Index> locked;
};

class ZORTableGridEditGestureTest : public TableGridTest {
protected:
    ZORTableGridEditGestureTest()
    {
        grid->setDelegate(delegate);
        // Drawn once in a while (check), not after every event: the steps stay many and fast.
        backend->setDrawsWindows(false);
    }
    ~ZORTableGridEditGestureTest() override { backend->setDrawsWindows(true); }

    struct Edit {
        fnd::Index column { fnd::NotFound };
        fnd::Index row { fnd::NotFound };
        std::string began;
        std::string typed;
        bool active() const { return column != fnd::NotFound; }
    };

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool chance(int percent) { return pick(100) < percent; }

    std::string shownAt(fnd::Index column, fnd::Index row) const
    {
        auto found = model.find({ column, row });
        return found == model.end() ? std::string() : found->second;
    }

    // The edit ends as Return, Tab or a click does: what was typed is stored where it was typed, unless it is what
    // the cell showed when the edit began.
    void editEnds()
    {
        if (edit.active() && edit.typed != edit.began && source->takesValues)
            model[{ edit.column, edit.row }] = edit.typed;
        edit = {};
    }
    bool editable(fnd::Index column) const { return source->takesValues && !delegate->locked.contains(column); }

    void reloadTo(fnd::Index columns, fnd::Index rows)
    {
        source->columns = columns;
        source->rows = rows;
        // A reload that takes the edited cell away ends the edit with nothing stored.
        if (edit.active() && (edit.column >= columns || edit.row >= rows))
            edit = {};
        selection.clip(columns, rows);
        grid->reloadData();
    }

    // The grid's selection as the model follows it: a rectangle of cells and the corner that stays put (the
    // anchor, where plain moves start). Typing edits the rectangle's first cell.
    struct Selection {
        fnd::Index c0 { fnd::NotFound }, c1 { fnd::NotFound }, r0 { fnd::NotFound }, r1 { fnd::NotFound };
        bool stickyRight { false }, stickyBottom { false };
        bool empty() const { return c0 == fnd::NotFound; }
        fnd::Index anchorColumn() const { return stickyRight ? c1 : c0; }
        fnd::Index anchorRow() const { return stickyBottom ? r1 : r0; }
        void cell(fnd::Index c, fnd::Index r)
        {
            c0 = c1 = c;
            r0 = r1 = r;
        }
        void clip(fnd::Index columns, fnd::Index rows)
        {
            if (empty())
                return;
            if (c0 >= columns || r0 >= rows) {
                *this = {};
                return;
            }
            c1 = std::min(c1, columns - 1);
            r1 = std::min(r1, rows - 1);
        }
    } selection;

    std::string personStep()
    {
        const auto columns = source->columns, rows = source->rows;
        switch (pick(11)) {
        case 0:
        case 1:
        case 2: {
            if (columns == 0 || rows == 0)
                return "a click on no cell";
            const auto c = fnd::Index(pick(int(std::min<fnd::Index>(columns, 8))));
            const auto r = fnd::Index(pick(int(std::min<fnd::Index>(rows, 14))));
            // A click into the edited cell places the caret in the editor; the person clicks elsewhere.
            if (edit.active() && c == edit.column && r == edit.row)
                return "a click into the edited cell (not made)";
            editEnds();
            const bool extend = !selection.empty() && chance(30);
            clickCell(c, r, extend ? ui::ModifierFlags::Shift : 0);
            if (!extend) {
                selection.cell(c, r);
                selection.stickyRight = selection.stickyBottom = false;
                return fmt::format("click {},{}", c, r);
            }
            const auto ac = selection.anchorColumn(), ar = selection.anchorRow();
            selection.c0 = std::min(ac, c), selection.c1 = std::max(ac, c);
            selection.r0 = std::min(ar, r), selection.r1 = std::max(ar, r);
            selection.stickyRight = c < ac;
            selection.stickyBottom = r < ar;
            return fmt::format("shift-click {},{}", c, r);
        }
        case 3:
        case 4:
        case 5:
        case 6: {
            const char letter = char('a' + pick(26));
            type(std::string(1, letter));
            if (edit.active()) {
                edit.typed += letter;
            } else if (!selection.empty() && editable(selection.c0)) {
                // Typing into a selected cell replaces its value; the edited cell is the one selected.
                edit = { selection.c0, selection.r0, shownAt(selection.c0, selection.r0), std::string(1, letter) };
                selection.cell(selection.c0, selection.r0);
            }
            return fmt::format("type {}", letter);
        }
        case 7:
            key(u'\x7f', ui::KeyCode::Delete);
            if (edit.active()) {
                if (!edit.typed.empty())
                    edit.typed.pop_back();
            } else if (!selection.empty()) {
                // Delete clears the selected cells the person may edit.
                for (auto c = selection.c0; c <= selection.c1; ++c)
                    for (auto r = selection.r0; r <= selection.r1; ++r)
                        if (editable(c))
                            model.erase({ c, r });
            }
            return "Delete";
        case 8:
        case 9: {
            const bool wasEditing = edit.active();
            key(u'\r', ui::KeyCode::Return);
            editEnds();
            // Return without an edit moves the selection down from its anchor.
            if (!wasEditing && !selection.empty() && selection.anchorRow() + 1 < rows)
                selection.cell(selection.anchorColumn(), selection.anchorRow() + 1);
            return "Return";
        }
        default: {
            const bool wasEditing = edit.active();
            key(u'\t', ui::KeyCode::Tab);
            editEnds();
            if (!wasEditing && !selection.empty() && selection.anchorColumn() + 1 < columns)
                selection.cell(selection.anchorColumn() + 1, selection.anchorRow());
            return "Tab";
        }
        }
    }

    std::string programStep()
    {
        if (!chance(35))
            return {};
        const int what = pick(20);
        if (what < 4 || (what < 6 && (source->columns == 0 || source->rows == 0))) {
            const auto columns = fnd::Index(2 + pick(9)), rows = fnd::Index(4 + pick(17));
            reloadTo(columns, rows);
            return fmt::format("reloads at {} × {}", columns, rows);
        }
        if (what < 5) {
            reloadTo(0, 0);
            return "empties the data source";
        }
        if (what < 11) {
            // A change of the model, often in the edited cell itself; the grid is not told.
            auto c = fnd::Index(pick(10)), r = fnd::Index(pick(20));
            if (edit.active() && chance(50))
                c = edit.column, r = edit.row;
            const std::string value = fmt::format("p{}", ++programValues);
            source->values[{ c, r }] = value;
            model[{ c, r }] = value;
            return fmt::format("sets {},{} to {}", c, r, value);
        }
        if (what < 15) {
            auto c = fnd::Index(pick(10));
            if (edit.active() && chance(60))
                c = edit.column;
            if (delegate->locked.contains(c)) {
                delegate->locked.erase(c);
                return fmt::format("lets column {} be edited", c);
            }
            delegate->locked.insert(c);
            return fmt::format("makes column {} read-only", c);
        }
        if (what < 16) {
            source->takesValues = !source->takesValues;
            return source->takesValues ? "takes values again" : "takes no more values";
        }
        reloadTo(source->columns, source->rows);
        return "reloads at the same size";
    }

    // The layout a fresh grid of the same size gives the same data.
    struct Layout {
        gfx::Size content, columnHeader, rowHeader;
        bool operator==(const Layout&) const = default;
    };
    static std::string describe(const Layout& l)
    {
        return fmt::format("content {}×{}, column header {}×{}, row header {}×{}", l.content.width, l.content.height,
            l.columnHeader.width, l.columnHeader.height, l.rowHeader.width, l.rowHeader.height);
    }
    static Layout layoutOf(ZORTableGrid& g)
    {
        return { g.contentView()->frame().size, g.columnHeaderView()->frame().size, g.rowHeaderView()->frame().size };
    }
    Layout freshLayout()
    {
        auto other = ui::Window::create({ { 600, 100 }, window->frame().size });
        auto fresh = ZORTableGrid::create(grid->frame());
        other->contentView()->addSubview(fresh);
        fresh->awakeFromNib();
        fresh->setDataSource(source);
        fresh->reloadData();
        auto layout = layoutOf(*fresh);
        other->close();
        return layout;
    }

    void check(const std::string& where, bool draw)
    {
        std::map<std::pair<fnd::Index, fnd::Index>, std::string> held(source->values.begin(), source->values.end());
        EXPECT_EQ(held, model) << where << ": the data source holds what the person and the program put there";
        EXPECT_EQ(content().isEditing(), edit.active()) << where;
        if (edit.active() && content().isEditing()) {
            EXPECT_EQ(content().editedColumn(), edit.column) << where;
            EXPECT_EQ(content().editedRow(), edit.row) << where;
            auto editor = window->fieldEditor(false, nullptr);
            ASSERT_TRUE(editor) << where;
            EXPECT_EQ(editor->string().utf8(), edit.typed) << where << ": what was typed stays in its cell";
            EXPECT_EQ(window->firstResponder(), editor) << where;
        } else {
            EXPECT_EQ(window->firstResponder(), grid) << where << ": the keyboard stays with the grid";
        }
        const auto& columns = *grid->selectedColumnIndexes();
        const auto& rows = *grid->selectedRowIndexes();
        EXPECT_TRUE(columns.isEmpty() || columns.lastIndex() < grid->numberOfColumns()) << where;
        EXPECT_TRUE(rows.isEmpty() || rows.lastIndex() < grid->numberOfRows()) << where;
        const auto span = [](fnd::Index from, fnd::Index to) {
            return from == fnd::NotFound ? fnd::IndexSet {} : fnd::IndexSet(fnd::Range { from, to - from + 1 });
        };
        EXPECT_EQ(GridSource::describe(columns), GridSource::describe(span(selection.c0, selection.c1))) << where;
        EXPECT_EQ(GridSource::describe(rows), GridSource::describe(span(selection.r0, selection.r1))) << where;
        EXPECT_EQ(describe(layoutOf(*grid)), describe(freshLayout())) << where << ": the grid lays itself out again";
        if (draw) {
            // Drawn, the grid asks for cells within its counts only, and nothing raises.
            backend->setDrawsWindows(true);
            window->display();
            backend->setDrawsWindows(false);
        }
    }

    std::shared_ptr<LockingGridDelegate> delegate = std::make_shared<LockingGridDelegate>();
    std::map<std::pair<fnd::Index, fnd::Index>, std::string> model;
    Edit edit;
    std::mt19937 random;
    int programValues { 0 };
};

TEST_F(ZORTableGridEditGestureTest, EveryCellHoldsWhatWasTypedIntoItWhateverTheProgramDoesMeanwhile)
{
    const int seeds = testsupport::gestureSeeds(3);
    for (int seed = 1; seed <= seeds && !HasFailure(); ++seed) {
        random.seed(unsigned(seed));
        window->endEditingFor(nullptr);
        window->makeFirstResponder(grid);
        source->values = { { { 0, 0 }, "a0" }, { { 2, 3 }, "c3" }, { { 4, 7 }, "e7" } };
        model = source->values;
        source->takesValues = true;
        delegate->locked.clear();
        edit = {};
        selection = {};
        reloadTo(10, 20);
        grid->setSelectedColumnIndexes(fnd::IndexSet {});
        grid->setSelectedRowIndexes(fnd::IndexSet {});
        for (int step = 0; step < 120 && !HasFailure(); ++step) {
            std::string what = personStep();
            if (auto acted = programStep(); !acted.empty())
                what += "; the program " + acted;
            try {
                check(fmt::format("seed {} step {} ({})", seed, step, what), step % 10 == 9);
            } catch (const fnd::Exception& e) {
                ADD_FAILURE() << fmt::format("seed {} step {} ({}): ", seed, step, what) << e.what();
            }
        }
    }
}

}
