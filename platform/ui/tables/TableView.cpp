#include "platform/ui/tables/TableView.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/tables/TableHeaderView.h"
#include "platform/ui/tables/detail/TableCornerView.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(TableView, Control)

void TableView::describeClass(fnd::ClassBuilder<TableView>& c)
{
    c.property("rowHeight", &TableView::rowHeight, &TableView::setRowHeight);
    c.property("intercellSpacing", &TableView::intercellSpacing, &TableView::setIntercellSpacing);
    c.property("allowsMultipleSelection", &TableView::allowsMultipleSelection, &TableView::setAllowsMultipleSelection);
    c.property("allowsEmptySelection", &TableView::allowsEmptySelection, &TableView::setAllowsEmptySelection);
    c.property("allowsColumnReordering", &TableView::allowsColumnReordering, &TableView::setAllowsColumnReordering);
    c.property("allowsColumnResizing", &TableView::allowsColumnResizing, &TableView::setAllowsColumnResizing);
    c.property("allowsTypeSelect", &TableView::allowsTypeSelect, &TableView::setAllowsTypeSelect);
    c.property("usesAlternatingRowBackgroundColors", &TableView::usesAlternatingRowBackgroundColors,
        &TableView::setUsesAlternatingRowBackgroundColors);
    c.property("gridStyleMask", &TableView::gridStyleMask, &TableView::setGridStyleMask);
    c.property("gridColor", &TableView::gridColor, &TableView::setGridColor);
    c.property("backgroundColor", &TableView::backgroundColor, &TableView::setBackgroundColor);
    c.property("autosaveName", &TableView::autosaveName, &TableView::setAutosaveName);
    c.property(
        "selectionHighlightStyle", [](const TableView& t) { return static_cast<long>(t.selectionHighlightStyle()); },
        [](TableView& t, long style) {
            t.setSelectionHighlightStyle(static_cast<TableViewSelectionHighlightStyle>(style));
        });
    c.property(
        "columnAutoresizingStyle", [](const TableView& t) { return static_cast<long>(t.columnAutoresizingStyle()); },
        [](TableView& t, long style) {
            t.setColumnAutoresizingStyle(static_cast<TableViewColumnAutoresizingStyle>(style));
        });
    c.property(
        "doubleAction", [](const TableView& t) { return t.doubleAction() ? t.doubleAction().name() : fnd::String(); },
        [](TableView& t, const fnd::String& name) {
            t.setDoubleAction(name.isEmpty() ? fnd::Selector() : fnd::Selector(name));
        });
    // Interface files connect data sources and delegates as outlets.
    c.property(
        "dataSource",
        [](const TableView& t) { return fnd::Value(std::dynamic_pointer_cast<fnd::Object>(t.dataSource())); },
        [](TableView& t, const fnd::Value& v) { t.setDataSource(v.objectAs<TableViewDataSource>()); });
    c.property(
        "delegate", [](const TableView& t) { return fnd::Value(std::dynamic_pointer_cast<fnd::Object>(t.delegate())); },
        [](TableView& t, const fnd::Value& v) { t.setDelegate(v.objectAs<TableViewDelegate>()); });
    c.property("headerView", &TableView::headerView, &TableView::setHeaderView);
    c.property("cornerView", &TableView::cornerView, &TableView::setCornerView);
    c.action("addTableColumn:", &TableView::addTableColumn);
    c.action("selectAll:", &TableView::selectAll);
    c.action("deselectAll:", &TableView::deselectAll);
    c.exposeBinding(fnd::BindingName::Content);
    c.exposeBinding(fnd::BindingName::SelectionIndexes);
    c.exposeBinding(fnd::BindingName::SortDescriptors);
}

std::shared_ptr<TableView> TableView::create(gfx::Rect frame)
{
    return makeView<TableView>(frame);
}

void TableView::initWithFrame(gfx::Rect frame)
{
    Control::initWithFrame(frame);
    setHeaderView(TableHeaderView::create());
    m_cornerView = detail::TableCornerView::create();
}

void TableView::setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource)
{
    m_dataSource = dataSource;
    reloadData();
}

void TableView::setDelegate(const std::shared_ptr<TableViewDelegate>& delegate)
{
    m_delegate = delegate;
    // The delegate also answers for the text edited in the table's cells.
    Control::setDelegate(delegate);
    invalidateRowGeometry();
    tile();
    setNeedsDisplay(true);
}

// Columns.

void TableView::addTableColumn(const std::shared_ptr<TableColumn>& column)
{
    if (!column || std::find(m_columns.begin(), m_columns.end(), column) != m_columns.end())
        return;
    if (auto previous = column->tableView(); previous && previous.get() != this)
        previous->removeTableColumn(column);
    m_columns.push_back(column);
    column->setTableView(std::static_pointer_cast<TableView>(shared_from_this()));
    if (column->boundValues())
        columnValueWasBound(*column);
    tile();
    setNeedsDisplay(true);
}

void TableView::removeTableColumn(const std::shared_ptr<TableColumn>& column)
{
    auto it = std::find(m_columns.begin(), m_columns.end(), column);
    if (it == m_columns.end())
        return;
    if (m_editedColumn == it - m_columns.begin())
        abortEditing();
    m_columns.erase(it);
    column->setTableView(nullptr);
    tile();
    setNeedsDisplay(true);
}

void TableView::moveColumn(long column, long toColumn)
{
    const long count = numberOfColumns();
    if (column < 0 || column >= count || toColumn < 0 || toColumn >= count || column == toColumn)
        return;
    auto self = shared_from_this();
    if (m_editingCell)
        abortEditing();
    auto moved = m_columns[static_cast<std::size_t>(column)];
    m_columns.erase(m_columns.begin() + column);
    m_columns.insert(m_columns.begin() + toColumn, moved);
    setNeedsDisplay(true);
    if (m_headerView)
        m_headerView->setNeedsDisplay(true);
    fnd::Dictionary info;
    info.set(TableViewNotification::OldColumnKey, fnd::Value(column));
    info.set(TableViewNotification::NewColumnKey, fnd::Value(toColumn));
    postNotification(Notice::ColumnDidMove, info);
}

long TableView::columnWithIdentifier(const fnd::String& identifier) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i]->identifier() == identifier)
            return static_cast<long>(i);
    return -1;
}

std::shared_ptr<TableColumn> TableView::tableColumnWithIdentifier(const fnd::String& identifier) const
{
    long i = columnWithIdentifier(identifier);
    return i < 0 ? nullptr : m_columns[static_cast<std::size_t>(i)];
}

void TableView::columnDidChangeWidth(TableColumn& column, double oldWidth)
{
    auto self = shared_from_this();
    tile();
    setNeedsDisplay(true);
    if (m_headerView)
        m_headerView->setNeedsDisplay(true);
    if (oldWidth == column.width())
        return;
    fnd::Dictionary info;
    info.set(TableViewNotification::TableColumnKey, column.selfValue());
    info.set(TableViewNotification::OldWidthKey, fnd::Value(oldWidth));
    postNotification(Notice::ColumnDidResize, info);
}

namespace {

// The width of the visible columns with the spacing beside each.
double columnsWidth(const std::vector<std::shared_ptr<TableColumn>>& columns, double spacing)
{
    double total = 0;
    for (const auto& c : columns)
        if (!c->isHidden())
            total += c->width() + spacing;
    return total;
}

}

void TableView::autoresizeColumns(double delta)
{
    std::vector<TableColumn*> candidates;
    for (const auto& c : m_columns)
        if (!c->isHidden() && (c->resizingMask() & TableColumnResizing::AutoresizingMask))
            candidates.push_back(c.get());
    if (candidates.empty() || std::abs(delta) < 1e-9)
        return;
    // Gives a column as much of the change as its limits let it take; answers what is left.
    auto give = [](TableColumn& c, double amount) {
        double old = c.width();
        c.setWidth(std::clamp(old + amount, c.minWidth(), c.maxWidth()));
        return amount - (c.width() - old);
    };
    switch (m_columnAutoresizingStyle) {
    case TableViewColumnAutoresizingStyle::None:
        break;
    case TableViewColumnAutoresizingStyle::Uniform: {
        // Equal shares, handed out again while some columns reach their limits.
        for (int round = 0; round < 8 && std::abs(delta) > 1e-9; ++round) {
            std::vector<TableColumn*> open;
            for (auto* c : candidates)
                if (delta > 0 ? c->width() < c->maxWidth() : c->width() > c->minWidth())
                    open.push_back(c);
            if (open.empty())
                break;
            double share = delta / static_cast<double>(open.size());
            delta = 0;
            for (auto* c : open)
                delta += give(*c, share);
        }
        break;
    }
    case TableViewColumnAutoresizingStyle::Sequential:
        for (auto it = candidates.rbegin(); it != candidates.rend() && std::abs(delta) > 1e-9; ++it)
            delta = give(**it, delta);
        break;
    case TableViewColumnAutoresizingStyle::ReverseSequential:
        for (auto* c : candidates) {
            if (std::abs(delta) <= 1e-9)
                break;
            delta = give(*c, delta);
        }
        break;
    case TableViewColumnAutoresizingStyle::LastColumnOnly:
        give(*candidates.back(), delta);
        break;
    case TableViewColumnAutoresizingStyle::FirstColumnOnly:
        give(*candidates.front(), delta);
        break;
    }
}

void TableView::sizeToFit()
{
    double visible = visibleRowsRect().width();
    auto style = m_columnAutoresizingStyle;
    if (style == TableViewColumnAutoresizingStyle::None)
        m_columnAutoresizingStyle = TableViewColumnAutoresizingStyle::Uniform;
    autoresizeColumns(visible - columnsWidth(m_columns, m_intercellSpacing.width));
    m_columnAutoresizingStyle = style;
}

void TableView::sizeLastColumnToFit()
{
    for (auto it = m_columns.rbegin(); it != m_columns.rend(); ++it) {
        if ((*it)->isHidden())
            continue;
        double rest = visibleRowsRect().width() - columnsWidth(m_columns, m_intercellSpacing.width);
        (*it)->setWidth(std::clamp((*it)->width() + rest, (*it)->minWidth(), (*it)->maxWidth()));
        return;
    }
}

// Header and corner.

void TableView::setHeaderView(const std::shared_ptr<TableHeaderView>& headerView)
{
    if (headerView == m_headerView)
        return;
    if (m_headerView) {
        m_headerView->setTableView(nullptr);
        m_headerView->removeFromSuperview();
    }
    m_headerView = headerView;
    if (m_headerView)
        m_headerView->setTableView(std::static_pointer_cast<TableView>(shared_from_this()));
    tile();
    if (auto scrollView = enclosingScrollView())
        scrollView->tile();
}

void TableView::setCornerView(const std::shared_ptr<View>& cornerView)
{
    if (cornerView == m_cornerView)
        return;
    // Checked before anything changes: the table would hold a view that holds it, and neither would be let go.
    if (cornerView && (cornerView.get() == this || isDescendantOf(*cornerView)))
        throw fnd::Exception::invalidArgument(
            "TableView: setCornerView: the view is the table or one of its ancestors");
    if (m_cornerView)
        m_cornerView->removeFromSuperview();
    m_cornerView = cornerView;
    if (auto scrollView = enclosingScrollView())
        scrollView->tile();
}

// Rows.

void TableView::ensureRowCount() const
{
    if (m_rowCountValid)
        return;
    auto* self = const_cast<TableView*>(this);
    long count = 0;
    if (m_hasBoundContent) {
        const auto* array = m_boundContent.array();
        count = array ? static_cast<long>(array->size()) : 0;
    } else {
        bool bound = false;
        for (const auto& column : m_columns)
            if (column->boundValues()) {
                count = static_cast<long>(column->boundValues()->size());
                bound = true;
                break;
            }
        if (!bound)
            if (auto source = dataSource())
                count = std::max(0L, source->numberOfRowsInTableView(*self));
    }
    m_numberOfRows = count;
    m_rowCountValid = true;
    m_heightsAsked = false;
}

void TableView::invalidateRowGeometry()
{
    m_heightsAsked = false;
    m_rowTops.clear();
}

long TableView::numberOfRows() const
{
    ensureRowCount();
    return m_numberOfRows;
}

double TableView::rowPitch(long row) const
{
    ensureRowCount();
    if (!m_heightsAsked)
        (void)rowTop(0);
    if (!m_rowTops.empty() && row >= 0 && row < m_numberOfRows)
        return m_rowTops[static_cast<std::size_t>(row) + 1] - m_rowTops[static_cast<std::size_t>(row)];
    return m_rowHeight + m_intercellSpacing.height;
}

double TableView::rowTop(long row) const
{
    ensureRowCount();
    if (!m_heightsAsked) {
        m_heightsAsked = true;
        m_rowTops.clear();
        // A delegate that answers the first row's height gives every row its own height.
        auto* self = const_cast<TableView*>(this);
        if (auto d = delegate(); d && m_numberOfRows > 0 && d->tableViewHeightOfRow(*self, 0)) {
            m_rowTops.reserve(static_cast<std::size_t>(m_numberOfRows) + 1);
            double y = 0;
            m_rowTops.push_back(0);
            for (long r = 0; r < m_numberOfRows; ++r) {
                double h = d->tableViewHeightOfRow(*self, r).value_or(m_rowHeight);
                y += std::max(1.0, h) + m_intercellSpacing.height;
                m_rowTops.push_back(y);
            }
        }
    }
    if (!m_rowTops.empty())
        return m_rowTops[static_cast<std::size_t>(std::clamp(row, 0L, m_numberOfRows))];
    return static_cast<double>(row) * (m_rowHeight + m_intercellSpacing.height);
}

double TableView::totalRowsHeight() const
{
    return rowTop(numberOfRows());
}

void TableView::reloadData()
{
    auto self = weak_from_this().lock();
    m_rowCountValid = false;
    invalidateRowGeometry();
    noteNumberOfRowsChanged();
    setNeedsDisplay(true);
}

void TableView::noteNumberOfRowsChanged()
{
    m_rowCountValid = false;
    invalidateRowGeometry();
    const long count = numberOfRows();
    if (m_editingCell && m_editedRow >= count)
        abortEditing();
    // Rows that went away leave the selection; a table that must keep one selects the first row.
    fnd::IndexSet kept;
    for (const auto& range : m_selectedRows.ranges())
        if (range.location < count)
            kept.add(fnd::Range { range.location, std::min<fnd::Index>(range.length, count - range.location) });
    if (kept.isEmpty() && !m_allowsEmptySelection && count > 0)
        kept.add(0);
    replaceSelection(kept, true);
    if (m_anchorRow >= count)
        m_anchorRow = -1;
    tile();
    setNeedsDisplay(true);
    if (static_cast<long>(m_accessibilityRows.size()) > count)
        m_accessibilityRows.resize(static_cast<std::size_t>(count));
    accessibilityPostNotification(*this, AccessibilityNotification::RowCountChanged);
}

void TableView::noteHeightOfRowsWithIndexesChanged(const fnd::IndexSet&)
{
    invalidateRowGeometry();
    tile();
    setNeedsDisplay(true);
}

void TableView::reloadDataForRowIndexes(const fnd::IndexSet& rows, const fnd::IndexSet& columns)
{
    auto visible = rowsInRect(visibleRowsRect());
    rows.enumerate([&](fnd::Index row, bool& stop) {
        if (row >= visible.max()) {
            stop = true;
            return;
        }
        if (row < visible.location)
            return;
        columns.enumerate([&](fnd::Index column, bool&) {
            setNeedsDisplayInRect(frameOfCellAtColumn(static_cast<long>(column), static_cast<long>(row)));
        });
    });
}

void TableView::setRowHeight(double height)
{
    // At least a point, and no more than any view can be tall; NaN keeps the height there is.
    height = boundedNumber(height, 1.0, LargestCoordinate, m_rowHeight);
    if (height == m_rowHeight)
        return;
    m_rowHeight = height;
    invalidateRowGeometry();
    tile();
    setNeedsDisplay(true);
}

void TableView::setIntercellSpacing(gfx::Size spacing)
{
    spacing = boundedSize(spacing, m_intercellSpacing);
    if (spacing == m_intercellSpacing)
        return;
    m_intercellSpacing = spacing;
    invalidateRowGeometry();
    tile();
    setNeedsDisplay(true);
}

// Geometry.

gfx::Rect TableView::rectOfRow(long row) const
{
    if (row < 0 || row >= numberOfRows())
        return {};
    return { 0, rowTop(row), bounds().width(), rowPitch(row) };
}

gfx::Rect TableView::rectOfColumn(long column) const
{
    if (column < 0 || column >= numberOfColumns())
        return {};
    double x = 0;
    for (long i = 0; i < column; ++i)
        if (!m_columns[static_cast<std::size_t>(i)]->isHidden())
            x += m_columns[static_cast<std::size_t>(i)]->width() + m_intercellSpacing.width;
    const auto& c = m_columns[static_cast<std::size_t>(column)];
    double width = c->isHidden() ? 0 : c->width() + m_intercellSpacing.width;
    return { x, 0, width, bounds().height() };
}

fnd::Range TableView::rowsInRect(gfx::Rect rect) const
{
    const long count = numberOfRows();
    if (count == 0 || rect.height() <= 0 || rect.maxY() <= 0 || rect.minY() >= totalRowsHeight())
        return { 0, 0 };
    // The row holding a y: by division with equal rows, by a search through the tops otherwise.
    auto rowAtY = [&](double y) -> long {
        if (y <= 0)
            return 0;
        if (m_rowTops.empty())
            return std::min(count - 1, static_cast<long>(std::floor(y / (m_rowHeight + m_intercellSpacing.height))));
        auto it = std::upper_bound(m_rowTops.begin(), m_rowTops.end(), y);
        return std::clamp(static_cast<long>(it - m_rowTops.begin()) - 1, 0L, count - 1);
    };
    (void)rowTop(0); // the tops are known before they are searched
    long first = rowAtY(rect.minY());
    long last = rowAtY(std::nextafter(rect.maxY(), rect.minY()));
    return { first, last - first + 1 };
}

fnd::IndexSet TableView::columnIndexesInRect(gfx::Rect rect) const
{
    fnd::IndexSet columns;
    double x = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i]->isHidden())
            continue;
        double w = m_columns[i]->width() + m_intercellSpacing.width;
        if (x < rect.maxX() && x + w > rect.minX() && rect.width() > 0)
            columns.add(static_cast<fnd::Index>(i));
        x += w;
    }
    return columns;
}

long TableView::rowAtPoint(gfx::Point point) const
{
    if (point.x < 0 || point.x >= bounds().width() || point.y < 0 || point.y >= totalRowsHeight())
        return -1;
    auto rows = rowsInRect({ point.x, point.y, 1, 1e-6 });
    return rows.length > 0 ? static_cast<long>(rows.location) : -1;
}

long TableView::columnAtPoint(gfx::Point point) const
{
    double x = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i]->isHidden())
            continue;
        double w = m_columns[i]->width() + m_intercellSpacing.width;
        if (point.x >= x && point.x < x + w)
            return static_cast<long>(i);
        x += w;
    }
    return -1;
}

bool TableView::isGroupRow(long row)
{
    auto d = delegate();
    return d && row >= 0 && row < numberOfRows() && d->tableViewIsGroupRow(*this, row);
}

gfx::Rect TableView::frameOfCellAtColumn(long column, long row) const
{
    auto rowRect = rectOfRow(row);
    if (rowRect.isEmpty() || column < 0 || column >= numberOfColumns())
        return {};
    const double sw = m_intercellSpacing.width, sh = m_intercellSpacing.height;
    if (const_cast<TableView*>(this)->isGroupRow(row)) {
        // A group row is one cell across the row, in the place of the first visible column.
        for (long c = 0; c < column; ++c)
            if (!m_columns[static_cast<std::size_t>(c)]->isHidden())
                return {};
        return { rowRect.minX() + sw / 2, rowRect.minY() + sh / 2, std::max(0.0, rowRect.width() - sw),
            std::max(0.0, rowRect.height() - sh) };
    }
    auto columnRect = rectOfColumn(column);
    if (columnRect.width() <= 0)
        return {};
    return { columnRect.minX() + sw / 2, rowRect.minY() + sh / 2, std::max(0.0, columnRect.width() - sw),
        std::max(0.0, rowRect.height() - sh) };
}

gfx::Rect TableView::visibleRowsRect() const
{
    if (auto clip = std::dynamic_pointer_cast<ClipView>(superview()))
        return clip->documentVisibleRect();
    return bounds();
}

void TableView::scrollRowToVisible(long row)
{
    auto rect = rectOfRow(row);
    if (rect.isEmpty())
        return;
    // Only the vertical position matters: keep the horizontal one.
    auto visible = visibleRowsRect();
    scrollRectToVisible({ visible.minX(), rect.minY(), std::min(visible.width(), rect.width()), rect.height() });
}

void TableView::scrollColumnToVisible(long column)
{
    auto rect = rectOfColumn(column);
    if (rect.isEmpty() && rect.width() <= 0)
        return;
    auto visible = visibleRowsRect();
    scrollRectToVisible({ rect.minX(), visible.minY(), rect.width(), std::min(visible.height(), 1.0) });
}

void TableView::setFrame(gfx::Rect frame)
{
    View::setFrame(frame);
    tile();
}

void TableView::tile()
{
    if (m_tiling)
        return;
    m_tiling = true;
    double width = columnsWidth(m_columns, m_intercellSpacing.width);
    double height = totalRowsHeight();
    // The table covers the visible area too, so backgrounds, grids and clicks below the last row reach it.
    if (auto clip = std::dynamic_pointer_cast<ClipView>(superview())) {
        auto visible = clip->bounds().size;
        width = std::max(width, visible.width);
        height = std::max(height, visible.height);
    }
    if (frame().size != gfx::Size { width, height })
        setFrameSize({ width, height });
    if (m_headerView) {
        auto header = m_headerView->frame();
        if (header.width() != width)
            m_headerView->setFrameSize({ width, header.height() });
        m_headerView->setNeedsDisplay(true);
    }
    m_tiling = false;
}

void TableView::observeClipView()
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    if (m_clipFrameObserver)
        center.removeObserver(m_clipFrameObserver);
    m_clipFrameObserver = {};
    auto clip = std::dynamic_pointer_cast<ClipView>(superview());
    if (!clip)
        return;
    m_lastClipWidth = clip->bounds().width();
    // Heard without naming the clip view as the observed object, so that the observation never holds on to it
    // (and through it to this table); the block picks the clip view's changes out.
    std::weak_ptr<TableView> weak = std::static_pointer_cast<TableView>(shared_from_this());
    m_clipFrameObserver
        = center.addObserverForName(ViewNotification::FrameDidChange, {}, [weak](const fnd::Notification& note) {
              auto self = weak.lock();
              if (self && note.object().object() == self->superview())
                  self->clipViewFrameDidChange();
          });
}

void TableView::clipViewFrameDidChange()
{
    auto clip = std::dynamic_pointer_cast<ClipView>(superview());
    if (!clip)
        return;
    auto self = shared_from_this();
    // The table follows the visible width while its columns fit in it; the change of width is shared out among
    // the columns as the autoresizing style says.
    double width = clip->bounds().width();
    double old = m_lastClipWidth;
    m_lastClipWidth = width;
    if (old >= 0 && width != old && columnsWidth(m_columns, m_intercellSpacing.width) <= old + 0.5)
        autoresizeColumns(width - old);
    tile();
}

TableView::~TableView()
{
    if (m_clipFrameObserver)
        fnd::NotificationCenter::defaultCenter().removeObserver(m_clipFrameObserver);
}

void TableView::viewDidMoveToSuperview()
{
    Control::viewDidMoveToSuperview();
    observeClipView();
    tile();
    if (auto scrollView = enclosingScrollView())
        scrollView->tile();
}

void TableView::viewDidMoveToWindow()
{
    Control::viewDidMoveToWindow();
    tile();
}

// Cells and values.

fnd::Value TableView::objectValueForColumn(long column, long row)
{
    if (column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows())
        return {};
    const auto& c = m_columns[static_cast<std::size_t>(column)];
    if (const auto& bound = c->boundValues()) {
        if (static_cast<std::size_t>(row) < bound->size())
            return (*bound)[static_cast<std::size_t>(row)];
        return {};
    }
    if (m_hasBoundContent)
        return {};
    if (auto source = dataSource())
        return source->tableViewObjectValueForTableColumn(*this, c.get(), row);
    return {};
}

std::shared_ptr<Cell> TableView::preparedCellAtColumn(long column, long row)
{
    if (column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows())
        return nullptr;
    auto* tableColumn = m_columns[static_cast<std::size_t>(column)].get();
    auto d = delegate();
    std::shared_ptr<Cell> cell = d ? d->tableViewDataCellForTableColumn(*this, tableColumn, row) : nullptr;
    if (!cell)
        cell = tableColumn->dataCellForRow(row);
    if (!cell)
        return nullptr;
    cell->setObjectValue(objectValueForColumn(column, row));
    cell->setHighlighted(false);
    // Selected rows on an accent band take light text.
    bool selected = isRowSelected(row) && m_highlightStyle != TableViewSelectionHighlightStyle::None;
    bool emphasized = m_highlightStyle == TableViewSelectionHighlightStyle::SourceList;
    if (auto w = window(); w && w->isKeyWindow() && w->firstResponder().get() == this)
        emphasized = true;
    cell->setBackgroundStyle(selected && emphasized ? BackgroundStyle::Dark : BackgroundStyle::Light);
    if (d)
        d->tableViewWillDisplayCell(*this, *cell, tableColumn, row);
    return cell;
}

void TableView::updateCell(Cell& cell)
{
    // Data cells serve every row and are prepared before they draw; only a cell the mouse tracks redraws itself.
    if (&cell == m_trackedCell.get())
        setNeedsDisplayInRect(frameOfCellAtColumn(m_trackedColumn, m_trackedRow));
}

void TableView::updateCellInside(Cell& cell)
{
    updateCell(cell);
}

void TableView::setObjectValueForColumn(const fnd::Value& value, long column, long row)
{
    if (column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows())
        return;
    auto self = shared_from_this();
    auto tableColumn = m_columns[static_cast<std::size_t>(column)];
    if (tableColumn->boundValues()) {
        // "arrangedObjects.<key>": the key of the row's object.
        auto info = tableColumn->infoForBinding(fnd::BindingName::Value);
        if (!info)
            return;
        auto observed = info->get(fnd::BindingInfoKey::ObservedObject).object();
        auto keyPath = info->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue();
        auto dot = keyPath.rangeOfString(".");
        if (!observed || dot.location == fnd::NotFound) {
            (void)fnd::writeBackBindingValue(*tableColumn, fnd::BindingName::Value, value);
            return;
        }
        auto rows = observed->valueForKeyPath(keyPath.substringTo(dot.location));
        const auto* array = rows.array();
        if (!array || static_cast<std::size_t>(row) >= array->size())
            return;
        auto object = (*array)[static_cast<std::size_t>(row)].object();
        if (!object) {
            fnd::log("A table cell bound to " + keyPath + " cannot write to a row that is not an object.");
            return;
        }
        setBoundValueOfRowObject(value, *tableColumn, *object);
        return;
    }
    if (auto source = dataSource())
        source->tableViewSetObjectValue(*this, value, tableColumn.get(), row);
}

// Sorting.

void TableView::setSortDescriptors(const fnd::SortDescriptors& descriptors)
{
    auto same = [](const fnd::SortDescriptors& a, const fnd::SortDescriptors& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
            [](const auto& x, const auto& y) { return x && y ? x->isEqual(*y) : x == y; });
    };
    if (same(descriptors, m_sortDescriptors))
        return;
    auto self = shared_from_this();
    auto old = m_sortDescriptors;
    m_sortDescriptors = descriptors;
    if (m_headerView)
        m_headerView->setNeedsDisplay(true);
    if (!m_applyingBoundSortDescriptors && infoForBinding(fnd::BindingName::SortDescriptors))
        (void)fnd::writeBackBindingValue(
            *this, fnd::BindingName::SortDescriptors, fnd::valueFromSortDescriptors(descriptors));
    if (auto source = dataSource())
        source->tableViewSortDescriptorsDidChange(*this, old);
}

void TableView::didClickTableColumn(TableColumn& column)
{
    auto self = shared_from_this();
    if (auto prototype = column.sortDescriptorPrototype()) {
        // The clicked column sorts first; clicked again, it sorts the other way.
        fnd::SortDescriptors next;
        if (!m_sortDescriptors.empty() && m_sortDescriptors.front()->key() == prototype->key())
            next.push_back(m_sortDescriptors.front()->reversedSortDescriptor());
        else
            next.push_back(prototype);
        for (const auto& d : m_sortDescriptors)
            if (d->key() != prototype->key())
                next.push_back(d);
        setSortDescriptors(next);
    }
    if (auto d = delegate())
        d->tableViewDidClickTableColumn(*this, column);
}

// Notifications.

fnd::String TableView::notificationName(Notice notice) const
{
    switch (notice) {
    case Notice::SelectionDidChange:
        return TableViewNotification::SelectionDidChange;
    case Notice::SelectionIsChanging:
        return TableViewNotification::SelectionIsChanging;
    case Notice::ColumnDidMove:
        return TableViewNotification::ColumnDidMove;
    case Notice::ColumnDidResize:
        return TableViewNotification::ColumnDidResize;
    }
    return {};
}

void TableView::postNotification(Notice notice, fnd::Dictionary info)
{
    auto self = weak_from_this().lock();
    auto note = std::make_shared<fnd::Notification>(notificationName(notice), selfValue(), std::move(info));
    fnd::NotificationCenter::defaultCenter().postNotification(note);
    auto d = delegate();
    if (!d)
        return;
    switch (notice) {
    case Notice::SelectionDidChange:
        d->tableViewSelectionDidChange(*note);
        break;
    case Notice::SelectionIsChanging:
        d->tableViewSelectionIsChanging(*note);
        break;
    case Notice::ColumnDidMove:
        d->tableViewColumnDidMove(*note);
        break;
    case Notice::ColumnDidResize:
        d->tableViewColumnDidResize(*note);
        break;
    }
}

// Tool tips.

fnd::String TableView::toolTipAtPoint(gfx::Point point, gfx::Rect* rect)
{
    long row = rowAtPoint(point), column = columnAtPoint(point);
    auto d = delegate();
    std::shared_ptr<Cell> cell;
    if (d && row >= 0 && column >= 0)
        cell = preparedCellAtColumn(column, row);
    if (!cell)
        return View::toolTipAtPoint(point, rect);
    auto frame = frameOfCellAtColumn(column, row);
    auto tip = d->tableViewToolTipForCell(
        *this, *cell, frame, m_columns[static_cast<std::size_t>(column)].get(), row, point);
    if (tip.isEmpty())
        return View::toolTipAtPoint(point, rect);
    if (rect)
        *rect = frame;
    return tip;
}

}
