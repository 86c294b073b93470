#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"

#include "frameworks/ZORAppKit/table-grid/ZORTableGridCell.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridHeaderCell.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGridHeaderView.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Outlet.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/containers/Scroller.h"
#include "platform/ui/views/Animation.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>
#include <string>

FND_REGISTER_CLASS(ZORTableGrid, ui::Control)

void ZORTableGrid::describeClass(fnd::ClassBuilder<ZORTableGrid>& c)
{
    c.property(
        "allowsMultipleSelection", &ZORTableGrid::allowsMultipleSelection, &ZORTableGrid::setAllowsMultipleSelection);
    c.property("allowsEditing", &ZORTableGrid::allowsEditing, &ZORTableGrid::setAllowsEditing);
    // Outlets of interface files: an object of the wrong kind is refused rather than ignored.
    c.property(
        "dataSource",
        [](const ZORTableGrid& grid) { return std::dynamic_pointer_cast<fnd::Object>(grid.dataSource()); },
        [](ZORTableGrid& grid, const std::shared_ptr<fnd::Object>& object) {
            grid.setDataSource(fnd::outletOfKind<ZORTableGridDataSource>(object, "table grid data source"));
        });
    c.property(
        "delegate", [](const ZORTableGrid& grid) { return std::dynamic_pointer_cast<fnd::Object>(grid.delegate()); },
        [](ZORTableGrid& grid, const std::shared_ptr<fnd::Object>& object) {
            grid.setDelegate(fnd::outletOfKind<ZORTableGridDelegate>(object, "table grid delegate"));
        });
    c.action("insertTab:", &ZORTableGrid::insertTab);
    c.action("insertBacktab:", &ZORTableGrid::insertBacktab);
    c.action("insertNewline:", &ZORTableGrid::insertNewline);
    c.action("moveUp:", &ZORTableGrid::moveUp);
    c.action("moveDown:", &ZORTableGrid::moveDown);
    c.action("moveLeft:", &ZORTableGrid::moveLeft);
    c.action("moveRight:", &ZORTableGrid::moveRight);
    c.action("moveUpAndModifySelection:", &ZORTableGrid::moveUpAndModifySelection);
    c.action("moveDownAndModifySelection:", &ZORTableGrid::moveDownAndModifySelection);
    c.action("moveLeftAndModifySelection:", &ZORTableGrid::moveLeftAndModifySelection);
    c.action("moveRightAndModifySelection:", &ZORTableGrid::moveRightAndModifySelection);
    c.action("selectAll:", &ZORTableGrid::selectAll);
    c.action("deleteBackward:", &ZORTableGrid::deleteBackward);
    c.action("insertText:", &ZORTableGrid::insertText);
}

namespace {

fnd::String ZORTableGridWidthKey(fnd::Index column)
{
    return fnd::String("column" + std::to_string(column));
}

// A width the data source answers is kept however narrow; what is no width at all (not a number, infinite, negative)
// takes the minimum: a NaN width made the grid's width NaN, and then no click found a cell. The left edges are sums
// of the widths, so a width is held between a 256th of a point (unless it is 0) and the largest a view may be: a
// column of 1e30 left every later column at the same x, 0 wide in the grid, and one of 1e-30 was no width there.
float ZORTableGridAnsweredWidth(float width)
{
    if (!std::isfinite(width) || width < 0)
        return ZORTableGrid::MinimumColumnWidth;
    if (width == 0)
        return 0;
    return std::clamp(width, ZORTableGrid::NarrowestColumnWidth, ZORTableGrid::WidestColumnWidth);
}

// A resize never leaves a column narrower than the minimum; a width that is not finite takes the minimum too.
float ZORTableGridResizedWidth(float width)
{
    if (!std::isfinite(width))
        return ZORTableGrid::MinimumColumnWidth;
    return std::clamp(width, ZORTableGrid::MinimumColumnWidth, ZORTableGrid::WidestColumnWidth);
}

bool ZORTableGridContains(gfx::Rect rect, gfx::Point point)
{
    return point.x >= rect.minX() && point.x < rect.maxX() && point.y >= rect.minY() && point.y < rect.maxY();
}

bool ZORTableGridScrollerShown(const std::shared_ptr<ui::Scroller>& scroller)
{
    return scroller && !scroller->isHidden() && scroller->superview();
}

}

ZORTableGrid::~ZORTableGrid()
{
    if (m_scrollAnimation)
        m_scrollAnimation->stopAnimation();
    stopObserving();
}

std::shared_ptr<ZORTableGrid> ZORTableGrid::create(gfx::Rect frame)
{
    return ui::makeView<ZORTableGrid>(frame);
}

void ZORTableGrid::initWithFrame(gfx::Rect frame)
{
    Control::initWithFrame(frame);
    buildParts(frame);
}

std::shared_ptr<ui::Cell> ZORTableGrid::makeCell() const
{
    return ZORTableGridCell::create();
}

void ZORTableGrid::buildParts(gfx::Rect frame)
{
    const double w = frame.width(), h = frame.height();
    setPostsFrameChangedNotifications(true);
    m_headerCell = ZORTableGridHeaderCell::create();

    m_columnHeaderScrollView = ui::ScrollView::create({ RowHeaderWidth, 0, w - RowHeaderWidth, ColumnHeaderHeight });
    m_columnHeaderScrollView->setAutoresizingMask(ui::AutoresizingMask::WidthSizable);
    m_columnHeaderScrollView->setDrawsBackground(false);
    m_columnHeaderView = ZORTableGridHeaderView::create(
        { 0, 0, w - RowHeaderWidth, ColumnHeaderHeight }, ZORTableGridHeaderCell::ColumnOrientation);
    m_columnHeaderScrollView->setDocumentView(m_columnHeaderView);
    m_columnHeaderScrollView->contentView()->setDrawsBackground(false);
    addSubview(m_columnHeaderScrollView);

    m_rowHeaderScrollView = ui::ScrollView::create({ 0, ColumnHeaderHeight, RowHeaderWidth, h - ColumnHeaderHeight });
    m_rowHeaderScrollView->setAutoresizingMask(ui::AutoresizingMask::HeightSizable);
    m_rowHeaderScrollView->setDrawsBackground(false);
    m_rowHeaderView = ZORTableGridHeaderView::create(
        { 0, 0, RowHeaderWidth, h - ColumnHeaderHeight }, ZORTableGridHeaderCell::RowOrientation);
    m_rowHeaderScrollView->setDocumentView(m_rowHeaderView);
    m_rowHeaderScrollView->contentView()->setDrawsBackground(false);
    addSubview(m_rowHeaderScrollView);

    m_contentScrollView
        = ui::ScrollView::create({ RowHeaderWidth, ColumnHeaderHeight, w - RowHeaderWidth, h - ColumnHeaderHeight });
    m_contentScrollView->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
    m_contentScrollView->setHasHorizontalScroller(true);
    m_contentScrollView->setHasVerticalScroller(true);
    m_contentScrollView->setAutohidesScrollers(true);
    m_contentView = ZORTableGridContentView::create({ 0, 0, w - RowHeaderWidth, h - ColumnHeaderHeight });
    m_contentScrollView->setDocumentView(m_contentView);
    // A wheel step moves the cells by whole rows.
    m_contentScrollView->setVerticalLineScroll(RowHeight);
    addSubview(m_contentScrollView);

    observeContentScrolling();

    m_selectedColumnIndexes = std::make_shared<fnd::IndexSet>();
    m_selectedRowIndexes = std::make_shared<fnd::IndexSet>();
    m_allowsMultipleSelection = true;
    m_stickyColumnEdge = StickyLeftEdge;
    m_stickyRowEdge = StickyTopEdge;
    m_shouldOverrideModifiers = false;
}

void ZORTableGrid::observeContentScrolling()
{
    std::weak_ptr<ZORTableGrid> weak = std::static_pointer_cast<ZORTableGrid>(shared_from_this());
    auto clip = m_contentScrollView->contentView();
    clip->setPostsBoundsChangedNotifications(true);
    m_scrollObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ui::ViewNotification::BoundsDidChange, clip->selfValue(), [weak](const fnd::Notification& note) {
            if (auto self = weak.lock())
                self->contentViewDidScroll(note);
        });
}

void ZORTableGrid::encodeWithCoder(fnd::Coder& coder) const
{
    ui::Control::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(fnd::Value(m_columnHeaderScrollView), "ZORTableGridColumnHeaderScrollView");
    coder.encodeObject(fnd::Value(m_columnHeaderView), "ZORTableGridColumnHeaderView");
    coder.encodeObject(fnd::Value(m_rowHeaderScrollView), "ZORTableGridRowHeaderScrollView");
    coder.encodeObject(fnd::Value(m_rowHeaderView), "ZORTableGridRowHeaderView");
    coder.encodeObject(fnd::Value(m_contentScrollView), "ZORTableGridContentScrollView");
    coder.encodeObject(fnd::Value(m_contentView), "ZORTableGridContentView");
}

bool ZORTableGrid::initWithCoder(fnd::Coder& coder)
{
    if (!ui::Control::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding()) {
        fnd::failDecoding(coder, "a table grid is kept in keyed archives only");
        return false;
    }
    auto columnScroll = decodeSubviewForKey<ui::ScrollView>(coder, "ZORTableGridColumnHeaderScrollView");
    auto rowScroll = decodeSubviewForKey<ui::ScrollView>(coder, "ZORTableGridRowHeaderScrollView");
    auto contentScroll = decodeSubviewForKey<ui::ScrollView>(coder, "ZORTableGridContentScrollView");
    auto columnHeader = fnd::decodeObjectOfClass<ZORTableGridHeaderView>(coder, "ZORTableGridColumnHeaderView");
    auto rowHeader = fnd::decodeObjectOfClass<ZORTableGridHeaderView>(coder, "ZORTableGridRowHeaderView");
    auto content = fnd::decodeObjectOfClass<ZORTableGridContentView>(coder, "ZORTableGridContentView");
    if (coder.hasFailed())
        return false;
    // Each part where the grid's own code looks for it.
    if (!columnScroll || !rowScroll || !contentScroll || !columnHeader || !rowHeader || !content
        || columnScroll->documentView() != columnHeader || rowScroll->documentView() != rowHeader
        || contentScroll->documentView() != content) {
        fnd::failDecoding(coder, "a table grid's scroll views and their documents do not match");
        return false;
    }
    stopObserving();
    m_columnHeaderScrollView = columnScroll;
    m_rowHeaderScrollView = rowScroll;
    m_contentScrollView = contentScroll;
    m_columnHeaderView = columnHeader;
    m_rowHeaderView = rowHeader;
    m_contentView = content;
    m_contentScrollView->setVerticalLineScroll(RowHeight);
    observeContentScrolling();
    return true;
}

void ZORTableGrid::stopObserving()
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    if (m_scrollObserver)
        center.removeObserver(m_scrollObserver);
    m_scrollObserver = {};
    for (auto token : m_delegateObservers)
        center.removeObserver(token);
    m_delegateObservers.clear();
}

void ZORTableGrid::awakeFromNib()
{
    Control::awakeFromNib();
    registerForDraggedTypes({});
}

void ZORTableGrid::setDataSource(const std::shared_ptr<ZORTableGridDataSource>& dataSource)
{
    m_dataSource = dataSource;
    invalidateColumnOffsets(0);
}

void ZORTableGrid::setDelegate(const std::shared_ptr<ZORTableGridDelegate>& delegate)
{
    if (delegate == m_delegate.lock() && (delegate || m_delegate.expired()))
        return;
    auto& center = fnd::NotificationCenter::defaultCenter();
    for (auto token : m_delegateObservers)
        center.removeObserver(token);
    m_delegateObservers.clear();
    m_delegate = delegate;
    if (!delegate)
        return;
    std::weak_ptr<ZORTableGridDelegate> weak = delegate;
    auto observe = [&](const fnd::String& name, void (ZORTableGridDelegate::*hook)(const fnd::Notification&)) {
        m_delegateObservers.push_back(
            center.addObserverForName(name, selfValue(), [weak, hook](const fnd::Notification& note) {
                if (auto d = weak.lock())
                    ((*d).*hook)(note);
            }));
    };
    observe(ZORTableGridNotification::DidChangeSelection, &ZORTableGridDelegate::tableGridDidChangeSelection);
    observe(ZORTableGridNotification::DidMoveColumns, &ZORTableGridDelegate::tableGridDidMoveColumns);
    observe(ZORTableGridNotification::DidMoveRows, &ZORTableGridDelegate::tableGridDidMoveRows);
}

void ZORTableGrid::reloadData()
{
    auto self = shared_from_this();
    auto ds = dataSource();
    m_numberOfColumns = std::max<fnd::Index>(0, ds ? ds->numberOfColumnsInTableGrid(*this).value_or(0) : 0);
    m_numberOfRows = std::max<fnd::Index>(0, ds ? ds->numberOfRowsInTableGrid(*this).value_or(0) : 0);
    invalidateColumnOffsets(0);
    m_contentView->endEditingOfCellOutsideCounts();
    clipSelectionToCounts();
    // Without a last cell the content is empty.
    const double width = m_numberOfColumns > 0 ? _offsetOfColumn(m_numberOfColumns) : 0;
    const double height = m_numberOfRows > 0 ? double(m_numberOfRows) * RowHeight : 0;
    m_contentView->setFrameSize({ width, height });
    const auto vertical = m_contentScrollView->verticalScroller();
    const auto horizontal = m_contentScrollView->horizontalScroller();
    m_columnHeaderView->setFrameSize({ width + (ZORTableGridScrollerShown(vertical) ? vertical->frame().width() : 0),
        m_columnHeaderView->frame().height() });
    m_rowHeaderView->setFrameSize({ m_rowHeaderView->frame().width(),
        height + (ZORTableGridScrollerShown(horizontal) ? horizontal->frame().height() : 0) });
    setNeedsDisplay(true);
    m_contentView->setNeedsDisplay(true);
    m_columnHeaderView->setNeedsDisplay(true);
    m_rowHeaderView->setNeedsDisplay(true);
    // The columns may have moved within an unchanged width: the resize areas follow them.
    m_columnHeaderView->setNeedsLayout();
}

// Commands, drawing and the headers take the selection for cells that exist: after the data shrank, a selection
// left as it was would clear, select and measure cells beyond the counts.
void ZORTableGrid::clipSelectionToCounts()
{
    const auto clipped = [](const IndexSetPtr& indexes, fnd::Index count) -> IndexSetPtr {
        if (!indexes || indexes->isEmpty() || indexes->lastIndex() < count)
            return indexes;
        auto kept = std::make_shared<fnd::IndexSet>(*indexes);
        kept->remove(fnd::Range { count, indexes->lastIndex() + 1 - count });
        return kept;
    };
    auto columns = clipped(m_selectedColumnIndexes, m_numberOfColumns);
    auto rows = clipped(m_selectedRowIndexes, m_numberOfRows);
    // A rectangle that lost all its columns or all its rows selects no cell.
    const bool columnsGone = columns != m_selectedColumnIndexes && columns->isEmpty();
    const bool rowsGone = rows != m_selectedRowIndexes && rows->isEmpty();
    if (columnsGone && rows && !rows->isEmpty())
        rows = std::make_shared<fnd::IndexSet>();
    if (rowsGone && columns && !columns->isEmpty())
        columns = std::make_shared<fnd::IndexSet>();
    if (columns != m_selectedColumnIndexes)
        setSelectedColumnIndexes(columns);
    if (rows != m_selectedRowIndexes)
        setSelectedRowIndexes(rows);
}

// The width store.

float ZORTableGrid::_widthForColumn(fnd::Index column) const
{
    if (const auto* stored = m_columnWidths.find(ZORTableGridWidthKey(column)))
        return stored->floatValue();
    return _setWidthForColumn(column);
}

float ZORTableGrid::_setWidthForColumn(fnd::Index column) const
{
    auto ds = m_dataSource.lock();
    auto* self = const_cast<ZORTableGrid*>(this);
    if (auto answer = ds ? ds->tableGridSetWidthForColumn(*self, column) : std::nullopt) {
        const float width = ZORTableGridAnsweredWidth(*answer);
        m_columnWidths.set(ZORTableGridWidthKey(column), fnd::Value(width));
        return width;
    }
    return DefaultColumnWidth;
}

double ZORTableGrid::_offsetOfColumn(fnd::Index column) const
{
    if (column <= 0)
        return 0;
    if (m_columnOffsets.empty())
        m_columnOffsets.push_back(0);
    while (fnd::Index(m_columnOffsets.size()) <= column) {
        const auto last = fnd::Index(m_columnOffsets.size()) - 1;
        m_columnOffsets.push_back(m_columnOffsets.back() + double(_widthForColumn(last)));
    }
    return m_columnOffsets[std::size_t(column)];
}

// Forgets the left edges that depend on the column's width (those after it).
void ZORTableGrid::invalidateColumnOffsets(fnd::Index fromColumn) const
{
    const auto keep = std::size_t(std::max<fnd::Index>(fromColumn, 0) + 1);
    if (m_columnOffsets.size() > keep)
        m_columnOffsets.resize(keep);
}

void ZORTableGrid::resizeColumnWithIndex(fnd::Index column, float distance)
{
    const float oldWidth = _widthForColumn(column);
    const float width = ZORTableGridResizedWidth(oldWidth + distance);
    m_columnWidths.set(ZORTableGridWidthKey(column), fnd::Value(width));
    invalidateColumnOffsets(column);
    // The views grow by what the column really grew, so they keep matching the columns at the clamp.
    const double change = double(width) - double(oldWidth);
    auto content = m_contentView->frame();
    m_contentView->setFrameSize({ content.width() + change, content.height() });
    auto header = m_columnHeaderView->frame();
    m_columnHeaderView->setFrameSize({ header.width() + change, header.height() });
    m_contentView->setNeedsDisplay(true);
    m_columnHeaderView->setNeedsDisplayInRect(m_columnHeaderView->bounds());
    m_columnHeaderView->updateTrackingAreas();
}

// Geometry.

gfx::Rect ZORTableGrid::rectOfColumn(fnd::Index column) const
{
    auto rect = m_contentView->convertRectToView(m_contentView->rectOfColumn(column), this);
    rect.origin.y = 0;
    rect.size.height += ColumnHeaderHeight;
    if (rect.height() > frame().height()) {
        rect.size.height = frame().height();
        const auto horizontal = m_contentScrollView->horizontalScroller();
        if (ZORTableGridScrollerShown(horizontal))
            rect.size.height -= horizontal->frame().height();
    }
    return rect;
}

gfx::Rect ZORTableGrid::rectOfRow(fnd::Index row) const
{
    auto rect = m_contentView->convertRectToView(m_contentView->rectOfRow(row), this);
    rect.origin.x = 0;
    rect.size.width += RowHeaderWidth;
    return rect;
}

gfx::Rect ZORTableGrid::frameOfCellAtColumn(fnd::Index column, fnd::Index row) const
{
    return m_contentView->convertRectToView(m_contentView->frameOfCellAtColumn(column, row), this);
}

gfx::Rect ZORTableGrid::headerRectOfColumn(fnd::Index column) const
{
    return m_columnHeaderView->convertRectToView(m_columnHeaderView->headerRectOfColumn(column), this);
}

gfx::Rect ZORTableGrid::headerRectOfRow(fnd::Index row) const
{
    return m_rowHeaderView->convertRectToView(m_rowHeaderView->headerRectOfRow(row), this);
}

fnd::Index ZORTableGrid::columnAtPoint(gfx::Point point) const
{
    // The columns lie side by side: the one whose span holds the point's x is the only candidate.
    const auto x = m_contentView->convertPointFromView(point, this).x;
    if (m_numberOfColumns <= 0 || x < 0)
        return fnd::NotFound;
    fnd::Index low = 0, high = m_numberOfColumns - 1;
    while (low < high) {
        const auto mid = low + (high - low + 1) / 2;
        if (_offsetOfColumn(mid) <= x)
            low = mid;
        else
            high = mid - 1;
    }
    return ZORTableGridContains(rectOfColumn(low), point) ? low : fnd::NotFound;
}

fnd::Index ZORTableGrid::rowAtPoint(gfx::Point point) const
{
    const auto y = m_contentView->convertPointFromView(point, this).y;
    if (y < 0 || m_numberOfRows <= 0)
        return fnd::NotFound;
    const auto row = std::min<fnd::Index>(fnd::Index(std::floor(y / RowHeight)), m_numberOfRows - 1);
    return ZORTableGridContains(rectOfRow(row), point) ? row : fnd::NotFound;
}

namespace {

// Moves a clip view's origin from one point to another as the progress runs; the scroll view follows each step.
class ZORTableGridScrollAnimation : public ui::Animation {
    FND_OBJECT(ZORTableGridScrollAnimation)
public:
    std::weak_ptr<ui::ClipView> clip;
    std::weak_ptr<ui::ScrollView> scrollView;
    gfx::Point from;
    gfx::Point to;

    void setCurrentProgress(ui::AnimationProgress progress) override
    {
        ui::Animation::setCurrentProgress(progress);
        auto c = clip.lock();
        if (!c)
            return;
        const double v = currentValue();
        c->scrollToPoint({ from.x + (to.x - from.x) * v, from.y + (to.y - from.y) * v });
        if (auto s = scrollView.lock())
            s->reflectScrolledClipView(*c);
    }
};

}

FND_REGISTER_CLASS(ZORTableGridScrollAnimation, ui::Animation)

void ZORTableGrid::scrollToArea(gfx::Rect area, bool animate)
{
    if (m_scrollAnimation) {
        m_scrollAnimation->stopAnimation();
        m_scrollAnimation = nullptr;
    }
    auto clip = m_contentScrollView->contentView();
    const auto start = clip->bounds().origin;
    clip->scrollRectToVisible(clip->convertRectFromView(area, m_contentView.get()));
    const auto end = clip->bounds().origin;
    if (!animate || start == end)
        return;
    // The platform's implicit animation: the same end point, reached over the default duration.
    clip->scrollToPoint(start);
    m_contentScrollView->reflectScrolledClipView(*clip);
    auto animation = fnd::makeObject<ZORTableGridScrollAnimation>();
    animation->clip = clip;
    animation->scrollView = m_contentScrollView;
    animation->from = start;
    animation->to = end;
    animation->setDuration(0.25);
    animation->setAnimationCurve(ui::AnimationCurve::EaseInOut);
    animation->setAnimationBlockingMode(ui::AnimationBlockingMode::Nonblocking);
    m_scrollAnimation = animation;
    animation->startAnimation();
}

bool ZORTableGrid::isScrollAnimating() const
{
    return m_scrollAnimation && m_scrollAnimation->isAnimating();
}

void ZORTableGrid::contentViewDidScroll(const fnd::Notification& notification)
{
    auto clip = notification.object().objectAs<ui::ClipView>();
    if (!clip)
        return;
    const auto origin = clip->bounds().origin;
    auto columnClip = m_columnHeaderScrollView->contentView();
    if (columnClip->bounds().origin != origin) {
        columnClip->scrollToPoint({ origin.x, columnClip->bounds().origin.y });
        m_columnHeaderScrollView->reflectScrolledClipView(*columnClip);
    }
    auto rowClip = m_rowHeaderScrollView->contentView();
    if (rowClip->bounds().origin != origin) {
        rowClip->scrollToPoint({ rowClip->bounds().origin.x, origin.y });
        m_rowHeaderScrollView->reflectScrolledClipView(*rowClip);
    }
    m_columnHeaderView->updateTrackingAreas();
}

// The data source's answers, with their fallbacks.

fnd::Value ZORTableGrid::_objectValueForColumn(fnd::Index column, fnd::Index row)
{
    auto ds = dataSource();
    return ds ? ds->tableGridObjectValueForColumn(*this, column, row) : fnd::Value {};
}

gfx::ColorPtr ZORTableGrid::_backgroundColorForColumn(fnd::Index column, fnd::Index row)
{
    auto ds = dataSource();
    return ds ? ds->tableGridBackgroundColorForColumn(*this, column, row) : nullptr;
}

void ZORTableGrid::_setObjectValue(const fnd::Value& value, fnd::Index column, fnd::Index row)
{
    if (auto ds = dataSource(); ds && ds->tableGridTakesObjectValues(*this))
        ds->tableGridSetObjectValue(*this, value, column, row);
}

fnd::String ZORTableGrid::columnLetters(fnd::Index column)
{
    // Bijective base 26: A..Z, AA..AZ, BA.., ZZ, AAA..
    std::u16string letters;
    for (auto n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), char16_t(u'A' + (n - 1) % 26));
    return fnd::String(letters);
}

fnd::String ZORTableGrid::_headerStringForColumn(fnd::Index column)
{
    auto ds = dataSource();
    if (auto answer = ds ? ds->tableGridHeaderStringForColumn(*this, column) : std::nullopt)
        return *answer;
    return columnLetters(column);
}

fnd::String ZORTableGrid::_headerStringForRow(fnd::Index row)
{
    auto ds = dataSource();
    if (auto answer = ds ? ds->tableGridHeaderStringForRow(*this, row) : std::nullopt)
        return *answer;
    return fnd::String(std::to_string(row + 1));
}

bool ZORTableGrid::_canEditCellAtColumn(fnd::Index column, fnd::Index row)
{
    auto ds = dataSource();
    if (!ds || !ds->tableGridTakesObjectValues(*this))
        return false;
    auto d = delegate();
    return !d || d->tableGridShouldEditColumn(*this, column, row);
}

void ZORTableGrid::_setStickyColumn(int columnEdge, int rowEdge)
{
    m_stickyColumnEdge = columnEdge;
    m_stickyRowEdge = rowEdge;
}

// The selection.

void ZORTableGrid::setSelectedColumnIndexes(IndexSetPtr indexes)
{
    if (indexes && indexes == m_selectedColumnIndexes)
        return;
    if (!indexes)
        indexes = std::make_shared<fnd::IndexSet>();
    if (auto d = delegate())
        if (auto answer = d->tableGridWillSelectColumnsAtIndexPath(*this, *indexes))
            indexes = std::make_shared<fnd::IndexSet>(*answer);
    m_selectedColumnIndexes = std::move(indexes);
    setNeedsDisplay(true);
    m_contentView->setNeedsDisplay(true);
    m_columnHeaderView->setNeedsDisplay(true);
    fnd::NotificationCenter::defaultCenter().postNotificationName(
        ZORTableGridNotification::DidChangeSelection, selfValue());
}

void ZORTableGrid::setSelectedColumnIndexes(const fnd::IndexSet& indexes)
{
    setSelectedColumnIndexes(std::make_shared<fnd::IndexSet>(indexes));
}

void ZORTableGrid::setSelectedRowIndexes(IndexSetPtr indexes)
{
    if (indexes && indexes == m_selectedRowIndexes)
        return;
    if (!indexes)
        indexes = std::make_shared<fnd::IndexSet>();
    if (auto d = delegate())
        if (auto answer = d->tableGridWillSelectRowsAtIndexPath(*this, *indexes))
            indexes = std::make_shared<fnd::IndexSet>(*answer);
    m_selectedRowIndexes = std::move(indexes);
    setNeedsDisplay(true);
    m_contentView->setNeedsDisplay(true);
    m_rowHeaderView->setNeedsDisplay(true);
    fnd::NotificationCenter::defaultCenter().postNotificationName(
        ZORTableGridNotification::DidChangeSelection, selfValue());
}

void ZORTableGrid::setSelectedRowIndexes(const fnd::IndexSet& indexes)
{
    setSelectedRowIndexes(std::make_shared<fnd::IndexSet>(indexes));
}

// The pasteboard form of dragged indexes.

fnd::Data ZORTableGrid::archivedIndexSet(const fnd::IndexSet& indexes)
{
    return fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(std::make_shared<fnd::IndexSet>(indexes)))
        .value_or(fnd::Data {});
}

std::optional<fnd::IndexSet> ZORTableGrid::unarchivedIndexSet(const fnd::Data& data)
{
    // The index set checks its own ranges when it reads them.
    auto root = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(data);
    auto indexes = root ? root->objectAs<fnd::IndexSet>() : nullptr;
    if (!indexes)
        return std::nullopt;
    return *indexes;
}
