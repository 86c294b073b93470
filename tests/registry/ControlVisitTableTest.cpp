// A visit to a table's cell writes nothing: every table class (tables, outlines, the grid), a cell gone into for
// editing and left without typing, in every way, leaves every row's value unset, whatever the rows hold.
#include "registry/ControlVisitSupport.h"
#include "registry/RegistrySupport.h"

#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceList.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/tables/OutlineView.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/tables/TableView.h"

#include <fmt/format.h>

using namespace visittest;

namespace {

constexpr long ControlVisitTableRows = 3;
const char* const ControlVisitGroup = "Group";

// Rows for tables, outlines and the grid: one model per row (the grid's rows have one per column too), every set
// through the data source counted as a write of that model.
class ControlVisitRows : public fnd::Object,
                         public ui::TableViewDataSource,
                         public ui::OutlineViewDataSource,
                         public ZORTableGridDataSource,
                         public ZOROutlineSourceListDataSource {
    FND_OBJECT(ControlVisitRows)
public:
    void fill(const fnd::Value& value, std::size_t count)
    {
        models.clear();
        for (std::size_t i = 0; i < count; ++i)
            models.push_back(VisitModel::holding(value));
    }
    fnd::Array objects() const
    {
        fnd::Array array;
        for (const auto& model : models)
            array.push_back(fnd::Value(model));
        return array;
    }
    VisitModel& at(long index) { return *models.at(static_cast<std::size_t>(index)); }
    // A set through a data source counts as a write (the model's own setter counts it).
    void write(VisitModel& model, const fnd::Value& value) { model.setValueForKey(value, "value"); }

    long numberOfRowsInTableView(ui::TableView&) override { return static_cast<long>(models.size()); }
    fnd::Value tableViewObjectValueForTableColumn(ui::TableView&, ui::TableColumn*, long row) override
    {
        return at(row).value;
    }
    void tableViewSetObjectValue(ui::TableView&, const fnd::Value& value, ui::TableColumn*, long row) override
    {
        write(at(row), value);
    }

    long outlineViewNumberOfChildrenOfItem(ui::OutlineView&, const fnd::Value& item) override
    {
        return item.isNil() ? static_cast<long>(models.size()) : 0;
    }
    fnd::Value outlineViewChildOfItem(ui::OutlineView&, long index, const fnd::Value&) override
    {
        return fnd::Value(models.at(static_cast<std::size_t>(index)));
    }
    fnd::Value outlineViewObjectValueForTableColumn(ui::OutlineView&, ui::TableColumn*, const fnd::Value& item) override
    {
        auto model = item.objectAs<VisitModel>();
        return model ? model->value : fnd::Value();
    }
    void outlineViewSetObjectValue(
        ui::OutlineView&, const fnd::Value& value, ui::TableColumn*, const fnd::Value& item) override
    {
        if (auto model = item.objectAs<VisitModel>())
            write(*model, value);
    }

    // A source list: the models in one group.
    fnd::Index sourceListNumberOfChildrenOfItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return item.isNil() ? 1 : item.isString() ? models.size() : 0;
    }
    fnd::Value sourceListChildOfItem(ZOROutlineSourceList&, fnd::Index index, const fnd::Value& item) override
    {
        return item.isNil() ? fnd::Value(ControlVisitGroup) : fnd::Value(models.at(index));
    }
    fnd::Value sourceListObjectValueForItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        auto model = item.objectAs<VisitModel>();
        return model ? model->value : item;
    }
    bool sourceListIsItemExpandable(ZOROutlineSourceList&, const fnd::Value& item) override { return item.isString(); }
    void sourceListSetObjectValue(ZOROutlineSourceList&, const fnd::Value& value, const fnd::Value& item) override
    {
        if (auto model = item.objectAs<VisitModel>())
            write(*model, value);
    }

    // The grid: two columns, the models column by column.
    std::optional<fnd::Index> numberOfColumnsInTableGrid(ZORTableGrid&) override { return 2; }
    std::optional<fnd::Index> numberOfRowsInTableGrid(ZORTableGrid&) override { return models.size() / 2; }
    fnd::Value tableGridObjectValueForColumn(ZORTableGrid&, fnd::Index column, fnd::Index row) override
    {
        return models.at(column * (models.size() / 2) + row)->value;
    }
    bool tableGridTakesObjectValues(ZORTableGrid&) override { return true; }
    void tableGridSetObjectValue(ZORTableGrid&, const fnd::Value& value, fnd::Index column, fnd::Index row) override
    {
        write(*models.at(column * (models.size() / 2) + row), value);
    }

    std::vector<std::shared_ptr<VisitModel>> models;
};

FND_REGISTER_CLASS(ControlVisitRows, fnd::Object)

enum class ControlVisitRowSource { Binding, DataSource, FormattedDataSource };
const char* const ControlVisitRowSourceNames[]
    = { "a bound column", "a data source", "a data source and an integer formatter" };

class ControlVisitTable : public VisitTest, public ::testing::WithParamInterface<std::string> {
protected:
    bool isGrid() const { return GetParam() == "ZORTableGrid"; }
    bool isOutline() const
    {
        const auto* cls = fnd::ClassRegistry::shared().find(fnd::String(GetParam()));
        return cls && cls->isSubclassOf(ui::OutlineView::staticClassInfo());
    }
    std::vector<ControlVisitRowSource> sources() const
    {
        if (isGrid() || isOutline())
            return { ControlVisitRowSource::DataSource };
        return { ControlVisitRowSource::Binding, ControlVisitRowSource::DataSource,
            ControlVisitRowSource::FormattedDataSource };
    }

    // The table (in a scroll view) or the grid, its rows holding the value.
    std::shared_ptr<ui::View> makeTable(ControlVisitRowSource source, const fnd::Value& value)
    {
        rows = fnd::makeObject<ControlVisitRows>();
        rows->fill(value, isGrid() ? 2 * ControlVisitTableRows : ControlVisitTableRows);
        const gfx::Rect frame { 20, 60, 300, 200 };
        auto view = registrytest::viewMadeInCode(GetParam(), isGrid() ? frame : gfx::Rect { 0, 0, 283, 200 });
        if (auto grid = std::dynamic_pointer_cast<ZORTableGrid>(view)) {
            grid->setAllowsEditing(true);
            grid->setDataSource(std::static_pointer_cast<ZORTableGridDataSource>(rows));
            grid->reloadData();
            place(grid);
            return grid;
        }
        auto table = std::dynamic_pointer_cast<ui::TableView>(view);
        if (!table)
            return nullptr;
        auto column = ui::TableColumn::create("value");
        column->setWidth(240);
        if (source == ControlVisitRowSource::FormattedDataSource) {
            auto formatter = std::make_shared<fnd::NumberFormatter>();
            formatter->setNumberStyle(fnd::NumberFormatterStyle::Decimal);
            formatter->setMaximumFractionDigits(0);
            column->dataCell()->setFormatter(formatter);
        }
        table->addTableColumn(column);
        if (auto sourceList = std::dynamic_pointer_cast<ZOROutlineSourceList>(table)) {
            sourceList->setOutlineTableColumn(column);
            sourceList->setDataSource(std::static_pointer_cast<ZOROutlineSourceListDataSource>(rows));
            sourceList->reloadData();
            sourceList->expandItem(fnd::Value(ControlVisitGroup), false);
        } else if (auto outline = std::dynamic_pointer_cast<ui::OutlineView>(table)) {
            outline->setOutlineTableColumn(column);
            outline->setDataSource(std::static_pointer_cast<ui::OutlineViewDataSource>(rows));
        } else if (source == ControlVisitRowSource::Binding) {
            controller = fnd::makeObject<fnd::ArrayController>();
            controller->setContent(rows->objects());
            column->bind("value", *controller, "arrangedObjects.value");
        } else {
            table->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(rows));
        }
        table->reloadData();
        auto scrollView = ui::ScrollView::create(frame);
        scrollView->setHasVerticalScroller(true);
        scrollView->setDocumentView(table);
        place(scrollView);
        return table;
    }

    // Row 1's cell, as a person goes into it: a double click, or the program starting the edit.
    bool enterCell(ui::View& view, bool byProgram)
    {
        gfx::Rect cell;
        if (auto grid = dynamic_cast<ZORTableGrid*>(&view)) {
            grid->setSelectedColumnIndexes(fnd::IndexSet { 0 });
            grid->setSelectedRowIndexes(fnd::IndexSet { 1 });
            window->makeFirstResponder(std::static_pointer_cast<ui::Responder>(grid->shared_from_this()));
            cell = grid->frameOfCellAtColumn(0, 1);
            byProgram = false;
        } else {
            auto& table = dynamic_cast<ui::TableView&>(view);
            cell = table.frameOfCellAtColumn(0, 1);
            if (byProgram) {
                table.selectRowIndexes(fnd::IndexSet { 1 }, false);
                table.editColumn(0, 1, nullptr, true);
            }
        }
        if (!byProgram) {
            auto point = view.convertPointToView({ cell.midX(), cell.midY() }, nullptr);
            backend->mouseDown(*window, point, 0, 1);
            backend->mouseUp(*window, point, 0, 1);
            backend->mouseDown(*window, point, 0, 2);
            backend->mouseUp(*window, point, 0, 2);
        }
        backend->dispatchEvents();
        auto editor = std::dynamic_pointer_cast<ui::View>(window->firstResponder());
        return editor && editor.get() != &view && keyboardIsIn(view);
    }

    // The model row 1 shows (a source list's row 0 is its group).
    std::size_t modelOfRow1() const { return GetParam() == "ZOROutlineSourceList" ? 0 : 1; }

    void expectRowsUntouched(const fnd::Value& value, const std::string& what)
    {
        for (std::size_t i = 0; i < rows->models.size(); ++i) {
            const auto& model = *rows->models[i];
            EXPECT_EQ(model.writes, 0) << what << ": model " << i << " written " << shown(model.lastWritten);
            EXPECT_TRUE(sameValue(model.value, value)) << what << ": model " << i << " holds " << shown(model.value);
        }
    }

    std::shared_ptr<ControlVisitRows> rows;
    std::shared_ptr<fnd::ArrayController> controller;
};

// Every class that edits cells in place: tables, outlines and the grid, and the subclasses of each.
std::vector<std::string> controlVisitTableClasses()
{
    std::vector<std::string> names;
    for (const auto* cls : fnd::ClassRegistry::shared().classesDerivedFrom(ui::TableView::staticClassInfo()))
        if (cls->allocator)
            names.push_back(cls->name.utf8());
    for (const auto* cls : fnd::ClassRegistry::shared().classesDerivedFrom(ZORTableGrid::staticClassInfo()))
        if (cls->allocator)
            names.push_back(cls->name.utf8());
    return names;
}

}

TEST_P(ControlVisitTable, AVisitToACellThatTypesNothingWritesNothing)
{
    const auto values = visitValues();
    const unsigned seed = visitSeed();
    std::mt19937 random(seed ^ static_cast<unsigned>(std::hash<std::string> {}(GetParam())));
    const auto sourcesVisited = sources();
    std::vector<unsigned> starts;
    for (std::size_t i = 0; i < sourcesVisited.size(); ++i)
        starts.push_back(random());
    for (int round = 0; round < visitRounds(); ++round) {
        for (std::size_t s = 0; s < sourcesVisited.size(); ++s) {
            const auto source = sourcesVisited[s];
            for (std::size_t index = 0; index < values.size(); ++index) {
                const auto& value = values[index];
                // Each row is its own model; a selection's markers are no row's value.
                if (value.holder != VisitHolder::Model)
                    continue;
                const auto exit = visitExitFor(index, round, starts[s]);
                const bool byProgram = std::bernoulli_distribution(0.5)(random);
                auto what = fmt::format("{} ({}) holding {} ({}), in by {}, out by {} [seed {}, round {}]", GetParam(),
                    ControlVisitRowSourceNames[static_cast<int>(source)], value.what, shown(value.value),
                    byProgram ? "the program" : "a double click", VisitExitNames[static_cast<int>(exit)], seed, round);
                makeWindow();
                auto view = makeTable(source, value.value);
                ASSERT_TRUE(view) << what;
                ASSERT_TRUE(enterCell(*view, byProgram)) << what << ": no cell is being edited";
                leave(*view, exit);
                expectRowsUntouched(value.value, what);
                closeWindow();
                expectRowsUntouched(value.value, what + ", then the window closed");
                if (HasFailure())
                    return;
            }
        }
    }
}

// What a cell's visit writes once something is typed: the typed text, to that row alone, once.
TEST_P(ControlVisitTable, TypingIntoACellStillWritesOnce)
{
    for (auto source : sources()) {
        for (auto exit : AllVisitExits) {
            auto what = fmt::format("{} ({}), out by {}", GetParam(),
                ControlVisitRowSourceNames[static_cast<int>(source)], VisitExitNames[static_cast<int>(exit)]);
            makeWindow();
            auto view = makeTable(source, fnd::Value(3.7));
            ASSERT_TRUE(view) << what;
            if (auto grid = std::dynamic_pointer_cast<ZORTableGrid>(view)) {
                // A key typed on a selected cell of the grid replaces its value.
                grid->setSelectedColumnIndexes(fnd::IndexSet { 0 });
                grid->setSelectedRowIndexes(fnd::IndexSet { 1 });
                window->makeFirstResponder(grid);
            } else {
                // The edit starts with the whole value selected.
                ASSERT_TRUE(enterCell(*view, false)) << what;
            }
            press(u"7", ui::KeyCode::Digit7);
            leave(*view, exit);
            closeWindow();
            for (std::size_t i = 0; i < rows->models.size(); ++i) {
                const auto& model = *rows->models[i];
                const bool edited = i == modelOfRow1();
                EXPECT_EQ(model.writes, edited ? 1 : 0) << what << ": model " << i;
                if (edited && source == ControlVisitRowSource::FormattedDataSource) {
                    EXPECT_TRUE(sameValue(model.value, fnd::Value(7))) << what << ": holds " << shown(model.value);
                }
            }
            if (HasFailure())
                return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Registry, ControlVisitTable, ::testing::ValuesIn(controlVisitTableClasses()), registrytest::testNameOf);
