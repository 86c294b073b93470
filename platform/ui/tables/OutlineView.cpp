#include "platform/ui/tables/OutlineView.h"

#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/tables/detail/OutlineNode.h"
#include "platform/ui/tables/detail/OutlineViewAdapter.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui {

FND_REGISTER_CLASS(OutlineView, TableView)

void OutlineView::describeClass(fnd::ClassBuilder<OutlineView>& c)
{
    c.property("indentationPerLevel", &OutlineView::indentationPerLevel, &OutlineView::setIndentationPerLevel);
    c.property("autosaveExpandedItems", &OutlineView::autosaveExpandedItems, &OutlineView::setAutosaveExpandedItems);
    c.property("animatesExpansion", &OutlineView::animatesExpansion, &OutlineView::setAnimatesExpansion);
    c.property("outlineTableColumn", &OutlineView::outlineTableColumn, &OutlineView::setOutlineTableColumn);
    c.property(
        "dataSource",
        [](const OutlineView& o) { return fnd::Value(std::dynamic_pointer_cast<fnd::Object>(o.dataSource())); },
        [](OutlineView& o, const fnd::Value& v) { o.setDataSource(v.objectAs<OutlineViewDataSource>()); });
    c.property(
        "delegate",
        [](const OutlineView& o) { return fnd::Value(std::dynamic_pointer_cast<fnd::Object>(o.delegate())); },
        [](OutlineView& o, const fnd::Value& v) { o.setDelegate(v.objectAs<OutlineViewDelegate>()); });
}

OutlineView::OutlineView()
    : m_root(std::make_unique<Node>())
{
    m_root->loaded = true;
    m_root->expanded = true;
}

OutlineView::~OutlineView()
{
    if (m_slideTimer)
        m_slideTimer->invalidate();
}

std::shared_ptr<OutlineView> OutlineView::create(gfx::Rect frame)
{
    return makeView<OutlineView>(frame);
}

void OutlineView::initWithFrame(gfx::Rect frame)
{
    TableView::initWithFrame(frame);
    m_adapter = std::make_shared<detail::OutlineViewAdapter>(*this);
    TableView::setDataSource(m_adapter);
    TableView::setDelegate(m_adapter);
    m_outlineCell = fnd::makeObject<ButtonCell>();
    m_outlineCell->setButtonType(ButtonType::OnOff);
    m_outlineCell->setBezelStyle(BezelStyle::Disclosure);
    m_outlineCell->setBordered(true);
    m_outlineCell->setTitle({});
}

void OutlineView::setDataSource(const std::shared_ptr<OutlineViewDataSource>& dataSource)
{
    m_outlineDataSource = dataSource;
    reloadData();
}

void OutlineView::setDelegate(const std::shared_ptr<OutlineViewDelegate>& delegate)
{
    m_outlineDelegate = delegate;
    // The table half re-reads row heights and group rows through the adapter.
    TableView::setDelegate(m_adapter);
}

fnd::String OutlineView::notificationName(Notice notice) const
{
    switch (notice) {
    case Notice::SelectionDidChange:
        return OutlineViewNotification::SelectionDidChange;
    case Notice::SelectionIsChanging:
        return OutlineViewNotification::SelectionIsChanging;
    case Notice::ColumnDidMove:
        return OutlineViewNotification::ColumnDidMove;
    case Notice::ColumnDidResize:
        return OutlineViewNotification::ColumnDidResize;
    }
    return {};
}

// The tree.

OutlineView::Node* OutlineView::nodeForItem(const fnd::Value& item) const
{
    if (item.isNil())
        return m_root.get();
    auto [first, last] = m_nodesByItem.equal_range(detail::itemHash(item));
    for (auto it = first; it != last; ++it)
        if (detail::sameItem(it->second->item, item))
            return it->second;
    return nullptr;
}

bool OutlineView::isExpandableNode(const Node& node)
{
    if (&node == m_root.get())
        return true;
    auto source = dataSource();
    return source && source->outlineViewIsItemExpandable(*this, node.item);
}

void OutlineView::loadChildren(Node& node)
{
    // The old children by item, so that items still there keep their nodes and expansion.
    std::unordered_multimap<std::size_t, std::unique_ptr<Node>> old;
    for (auto& child : node.children)
        old.emplace(detail::itemHash(child->item), std::move(child));
    node.children.clear();
    auto source = dataSource();
    const long count = source ? std::max(0L, source->outlineViewNumberOfChildrenOfItem(*this, node.item)) : 0;
    node.children.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        auto item = source->outlineViewChildOfItem(*this, i, node.item);
        std::unique_ptr<Node> child;
        auto [first, last] = old.equal_range(detail::itemHash(item));
        for (auto it = first; it != last; ++it)
            if (it->second && detail::sameItem(it->second->item, item)) {
                child = std::move(it->second);
                old.erase(it);
                break;
            }
        if (!child) {
            child = std::make_unique<Node>();
            child->item = item;
        }
        child->parent = &node;
        child->level = node.level + 1;
        node.children.push_back(std::move(child));
    }
    node.loaded = true;
}

void OutlineView::reloadSubtree(Node& node)
{
    loadChildren(node);
    for (auto& child : node.children) {
        if (child->expanded && isExpandableNode(*child))
            reloadSubtree(*child);
        else
            child->loaded = false; // asked again when it expands; its children keep their expansion meanwhile
    }
}

void OutlineView::rebuildRows()
{
    m_rows.clear();
    m_nodesByItem.clear();
    // Every node is indexed (collapsed ones too); only expanded branches give rows.
    auto walk = [&](auto&& self, Node& node, bool visible) -> void {
        for (auto& child : node.children) {
            child->row = -1;
            m_nodesByItem.emplace(detail::itemHash(child->item), child.get());
            if (visible) {
                child->row = static_cast<long>(m_rows.size());
                m_rows.push_back(child.get());
            }
            bool open = visible && child->expanded && child->loaded && isExpandableNode(*child);
            self(self, *child, open);
        }
    };
    walk(walk, *m_root, true);
}

fnd::Array OutlineView::selectedItems() const
{
    fnd::Array items;
    selectedRowIndexes().enumerate([&](fnd::Index row, bool&) { items.push_back(itemAtRow(static_cast<long>(row))); });
    return items;
}

void OutlineView::treeDidChange(const fnd::Array& selectedBefore)
{
    auto self = shared_from_this();
    rebuildRows();
    rowsDidChange(selectedBefore);
}

bool OutlineView::unindexDescendants(Node& node)
{
    bool hadRows = false;
    auto walk = [&](auto&& self, Node& parent) -> void {
        for (auto& child : parent.children) {
            hadRows = hadRows || child->row >= 0;
            auto [first, last] = m_nodesByItem.equal_range(detail::itemHash(child->item));
            for (auto it = first; it != last; ++it)
                if (it->second == child.get()) {
                    m_nodesByItem.erase(it);
                    break;
                }
            self(self, *child);
        }
    };
    walk(walk, node);
    return hadRows;
}

void OutlineView::nodeDidExpand(Node& node, bool descendantsHadRows, const fnd::Array& selectedBefore)
{
    auto self = shared_from_this();
    std::vector<Node*> shown;
    auto walk = [&](auto&& walk, Node& parent, bool visible) -> void {
        for (auto& child : parent.children) {
            child->row = -1;
            m_nodesByItem.emplace(detail::itemHash(child->item), child.get());
            if (visible)
                shown.push_back(child.get());
            walk(walk, *child, visible && child->expanded && child->loaded && isExpandableNode(*child));
        }
    };
    walk(walk, node, node.expanded && node.loaded && isExpandableNode(node));
    if (descendantsHadRows || node.row < 0 || &node == m_root.get()) {
        rebuildRows();
    } else {
        // The descendants that show go in after the node; the rows after them move down.
        const auto first = static_cast<std::size_t>(node.row + 1);
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(first), shown.begin(), shown.end());
        for (std::size_t i = first; i < m_rows.size(); ++i)
            m_rows[i]->row = static_cast<long>(i);
    }
    rowsDidChange(selectedBefore);
}

void OutlineView::nodeDidCollapse(Node& node, long firstRow, long afterRows, const fnd::Array& selectedBefore)
{
    auto self = shared_from_this();
    if (node.row < 0 || firstRow != node.row + 1 || afterRows < firstRow
        || afterRows > static_cast<long>(m_rows.size())) {
        rebuildRows();
    } else {
        // The descendants' rows go; the rows after them move up.
        for (long row = firstRow; row < afterRows; ++row)
            m_rows[static_cast<std::size_t>(row)]->row = -1;
        m_rows.erase(m_rows.begin() + firstRow, m_rows.begin() + afterRows);
        for (std::size_t i = static_cast<std::size_t>(firstRow); i < m_rows.size(); ++i)
            m_rows[i]->row = static_cast<long>(i);
    }
    rowsDidChange(selectedBefore);
}

void OutlineView::rowsDidChange(const fnd::Array& selectedBefore)
{
    fnd::IndexSet rows;
    for (const auto& item : selectedBefore)
        if (long row = rowForItem(item); row >= 0)
            rows.add(row);
    replaceSelection(rows, static_cast<std::size_t>(rows.count()) != selectedBefore.size());
    TableView::noteNumberOfRowsChanged();
}

void OutlineView::reloadData()
{
    if (!m_root)
        return;
    auto self = weak_from_this().lock();
    endEditingKeepingTyped();
    // Rows are kept by index across a reload, as a table keeps them.
    reloadSubtree(*m_root);
    rebuildRows();
    TableView::reloadData();
    if (!m_expansionRestored && m_autosaveExpandedItems && !autosaveName().isEmpty() && dataSource())
        restoreExpandedItems();
}

void OutlineView::reloadItem(const fnd::Value& item, bool reloadChildren)
{
    Node* node = nodeForItem(item);
    if (!node)
        return;
    if (!reloadChildren) {
        if (node->row >= 0)
            setNeedsDisplayInRect(rectOfRow(node->row));
        return;
    }
    endEditingKeepingTyped();
    auto selected = selectedItems();
    if (node == m_root.get() || (node->expanded && isExpandableNode(*node)))
        reloadSubtree(*node);
    else
        node->loaded = false;
    treeDidChange(selected);
    setNeedsDisplay(true);
}

// Queries.

fnd::Value OutlineView::itemAtRow(long row) const
{
    if (row < 0 || row >= static_cast<long>(m_rows.size()))
        return {};
    return m_rows[static_cast<std::size_t>(row)]->item;
}

long OutlineView::rowForItem(const fnd::Value& item) const
{
    if (item.isNil())
        return -1;
    Node* node = nodeForItem(item);
    return node ? node->row : -1;
}

fnd::Value OutlineView::parentForItem(const fnd::Value& item) const
{
    Node* node = item.isNil() ? nullptr : nodeForItem(item);
    if (!node || !node->parent || node->parent == m_root.get())
        return {};
    return node->parent->item;
}

long OutlineView::levelForRow(long row) const
{
    if (row < 0 || row >= static_cast<long>(m_rows.size()))
        return -1;
    return m_rows[static_cast<std::size_t>(row)]->level;
}

long OutlineView::levelForItem(const fnd::Value& item) const
{
    Node* node = item.isNil() ? nullptr : nodeForItem(item);
    return node ? node->level : -1;
}

bool OutlineView::isExpandable(const fnd::Value& item)
{
    Node* node = nodeForItem(item);
    if (node)
        return isExpandableNode(*node);
    auto source = dataSource();
    return source && source->outlineViewIsItemExpandable(*this, item);
}

bool OutlineView::isItemExpanded(const fnd::Value& item) const
{
    Node* node = nodeForItem(item);
    return node && node->expanded && (node == m_root.get() || node->loaded);
}

long OutlineView::numberOfChildrenOfItem(const fnd::Value& item) const
{
    Node* node = nodeForItem(item);
    return node && node->loaded ? static_cast<long>(node->children.size()) : 0;
}

fnd::Value OutlineView::childOfItem(long index, const fnd::Value& item) const
{
    Node* node = nodeForItem(item);
    if (!node || !node->loaded || index < 0 || index >= static_cast<long>(node->children.size()))
        return {};
    return node->children[static_cast<std::size_t>(index)]->item;
}

long OutlineView::rowAfterDescendants(const Node& node) const
{
    const Node* last = &node;
    while (last->expanded && last->loaded && !last->children.empty() && last->children.back()->row >= 0)
        last = last->children.back().get();
    if (last == m_root.get())
        return 0;
    return last->row >= 0 ? last->row + 1 : static_cast<long>(m_rows.size());
}

// The outline column.

long OutlineView::outlineColumnIndex() const
{
    auto column = m_outlineColumn.lock();
    const auto& columns = tableColumns();
    if (column) {
        auto it = std::find(columns.begin(), columns.end(), column);
        if (it != columns.end())
            return static_cast<long>(it - columns.begin());
    }
    return columns.empty() ? -1 : 0;
}

std::shared_ptr<TableColumn> OutlineView::outlineTableColumn() const
{
    long index = outlineColumnIndex();
    return index < 0 ? nullptr : tableColumns()[static_cast<std::size_t>(index)];
}

void OutlineView::setOutlineTableColumn(const std::shared_ptr<TableColumn>& column)
{
    m_outlineColumn = column;
    setNeedsDisplay(true);
}

void OutlineView::setIndentationPerLevel(double indentation)
{
    indentation = boundedLength(indentation, m_indentationPerLevel);
    if (indentation == m_indentationPerLevel)
        return;
    m_indentationPerLevel = indentation;
    setNeedsDisplay(true);
}

gfx::Rect OutlineView::frameOfOutlineCellAtRow(long row) const
{
    long column = outlineColumnIndex();
    if (column < 0 || row < 0 || row >= static_cast<long>(m_rows.size()))
        return {};
    if (!const_cast<OutlineView*>(this)->isExpandableNode(*m_rows[static_cast<std::size_t>(row)]))
        return {};
    auto cell = TableView::frameOfCellAtColumn(column, row);
    if (cell.isEmpty())
        return {};
    auto rowRect = rectOfRow(row);
    double x = cell.minX() + m_indentationPerLevel * static_cast<double>(levelForRow(row));
    return { x, rowRect.minY(), OutlineCellWidth, rowRect.height() };
}

gfx::Rect OutlineView::frameOfCellAtColumn(long column, long row) const
{
    auto frame = TableView::frameOfCellAtColumn(column, row);
    if (frame.isEmpty())
        return frame;
    // The outline column's cell (a group row's too) starts after the indentation and the triangle's room.
    bool outlineCell = column == outlineColumnIndex();
    if (!outlineCell && const_cast<OutlineView*>(this)->isGroupRow(row))
        outlineCell = true;
    if (!outlineCell)
        return frame;
    double indent = m_indentationPerLevel * static_cast<double>(levelForRow(row)) + OutlineCellWidth;
    indent = std::min(indent, frame.width());
    return { frame.minX() + indent, frame.minY(), frame.width() - indent, frame.height() };
}

}
