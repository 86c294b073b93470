#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceList.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/ui/controls/Cell.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <limits>
#include <string>

FND_REGISTER_CLASS(ZOROutlineSourceList, ZOROutlineView)

void ZOROutlineSourceList::describeClass(fnd::ClassBuilder<ZOROutlineSourceList>& c)
{
    c.property(
        "dataSource",
        [](const ZOROutlineSourceList& list) {
            return fnd::Value(std::dynamic_pointer_cast<fnd::Object>(list.dataSource()));
        },
        [](ZOROutlineSourceList& list, const fnd::Value& v) { list.setDataSourceObject(v); });
    c.property(
        "delegate",
        [](const ZOROutlineSourceList& list) {
            return fnd::Value(std::dynamic_pointer_cast<fnd::Object>(list.delegate()));
        },
        [](ZOROutlineSourceList& list, const fnd::Value& v) {
            list.setDelegate(v.objectAs<ZOROutlineSourceListDelegate>());
        });
}

ZOROutlineSourceList::~ZOROutlineSourceList()
{
    unsubscribeDelegate();
}

std::shared_ptr<ZOROutlineSourceList> ZOROutlineSourceList::create(gfx::Rect frame)
{
    return ui::makeView<ZOROutlineSourceList>(frame);
}

void ZOROutlineSourceList::initWithFrame(gfx::Rect frame)
{
    ZOROutlineView::initWithFrame(frame);
    auto self = std::static_pointer_cast<ZOROutlineSourceList>(shared_from_this());
    OutlineView::setDelegate(self);
    OutlineView::setDataSource(self);
    m_iconSize = { 16, 16 };
}

void ZOROutlineSourceList::setDataSource(const std::shared_ptr<ZOROutlineSourceListDataSource>& dataSource)
{
    m_secondaryDataSource = dataSource;
    m_nonConformingDataSource.reset();
    reloadData();
}

void ZOROutlineSourceList::setDataSourceObject(const fnd::Value& object)
{
    auto conforming = object.objectAs<ZOROutlineSourceListDataSource>();
    m_secondaryDataSource = conforming;
    m_nonConformingDataSource = conforming ? nullptr : object.object();
    reloadData();
}

std::shared_ptr<ZOROutlineSourceListDataSource> ZOROutlineSourceList::conformingDataSource(bool logIfNot)
{
    auto ds = m_secondaryDataSource.lock();
    if (!ds && logIfNot)
        if (auto other = m_nonConformingDataSource.lock())
            fnd::logf(fnd::LogLevel::Warning,
                "ZOROutlineSourceList: Datasource {} is not conform to protocol <ZOROutlineSourceListDataSource>",
                other->description().utf8());
    return ds;
}

void ZOROutlineSourceList::setDelegate(const std::shared_ptr<ZOROutlineSourceListDelegate>& delegate)
{
    unsubscribeDelegate();
    m_secondaryDelegate = delegate;
    subscribeDelegate();
}

void ZOROutlineSourceList::subscribeDelegate()
{
    auto d = m_secondaryDelegate.lock();
    if (!d)
        return;
    std::weak_ptr<ZOROutlineSourceListDelegate> weak = d;
    auto& center = fnd::NotificationCenter::defaultCenter();
    using Hook = void (ZOROutlineSourceListDelegate::*)(const fnd::Notification&);
    const std::pair<const fnd::String*, Hook> pairs[] = {
        { &ZOROutlineSourceListNotification::SelectionIsChanging,
            &ZOROutlineSourceListDelegate::sourceListSelectionIsChanging },
        { &ZOROutlineSourceListNotification::SelectionDidChange,
            &ZOROutlineSourceListDelegate::sourceListSelectionDidChange },
        { &ZOROutlineSourceListNotification::ItemWillExpand, &ZOROutlineSourceListDelegate::sourceListItemWillExpand },
        { &ZOROutlineSourceListNotification::ItemDidExpand, &ZOROutlineSourceListDelegate::sourceListItemDidExpand },
        { &ZOROutlineSourceListNotification::ItemWillCollapse,
            &ZOROutlineSourceListDelegate::sourceListItemWillCollapse },
        { &ZOROutlineSourceListNotification::ItemDidCollapse,
            &ZOROutlineSourceListDelegate::sourceListItemDidCollapse },
        { &ZOROutlineSourceListNotification::DeleteKeyPressedOnRows,
            &ZOROutlineSourceListDelegate::sourceListDeleteKeyPressedOnRows },
    };
    for (const auto& [name, hook] : pairs)
        m_delegateObservers.push_back(
            center.addObserverForName(*name, selfValue(), [weak, hook = hook](const fnd::Notification& note) {
                if (auto d = weak.lock())
                    ((*d).*hook)(note);
            }));
}

void ZOROutlineSourceList::unsubscribeDelegate()
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    for (auto token : m_delegateObservers)
        center.removeObserver(token);
    m_delegateObservers.clear();
}

void ZOROutlineSourceList::setIconSize(gfx::Size size)
{
    if (size.height > rowHeight() && size.height > 0) {
        size.width *= rowHeight() / size.height;
        size.height = rowHeight();
    }
    m_iconSize = size;
}

bool ZOROutlineSourceList::respondsTo(fnd::Selector selector) const
{
    if (selector == fnd::Selector("selectAll:"))
        return false;
    return ZOROutlineView::respondsTo(selector);
}

// Queries.

fnd::Index ZOROutlineSourceList::numberOfGroups()
{
    auto ds = conformingDataSource(false);
    return ds ? std::max<fnd::Index>(0, ds->sourceListNumberOfChildrenOfItem(*this, {})) : 0;
}

bool ZOROutlineSourceList::isGroupItem(const fnd::Value& item) const
{
    return !item.isNil() && levelForItem(item) == 0;
}

bool ZOROutlineSourceList::isGroupAlwaysExpanded(const fnd::Value& item)
{
    if (!isGroupItem(item))
        return false;
    auto d = delegate();
    return d && d->sourceListIsGroupAlwaysExpanded(*this, item);
}

bool ZOROutlineSourceList::itemHasBadge(const fnd::Value& item)
{
    auto ds = dataSource();
    return ds && ds->sourceListItemHasBadge(*this, item);
}

std::int64_t ZOROutlineSourceList::badgeValueForItem(const fnd::Value& item)
{
    auto ds = dataSource();
    if (!ds || !itemHasBadge(item))
        return std::numeric_limits<std::int64_t>::max();
    return ds->sourceListBadgeValueForItem(*this, item).value_or(std::numeric_limits<std::int64_t>::max());
}

namespace {

txt::AttributedString ZOROutlineSourceListBadgeText(std::int64_t value, const gfx::ColorPtr& color)
{
    static const auto font = gfx::Font::boldSystemFontOfSize(ZOROutlineSourceList::BadgeFontSize);
    fnd::Dictionary attributes { { txt::FontAttributeName, fnd::Value(font) } };
    if (color)
        attributes.set(txt::ForegroundColorAttributeName, fnd::Value(color));
    return txt::AttributedString(fnd::String(std::to_string(value)), attributes);
}

}

gfx::Size ZOROutlineSourceList::sizeOfBadgeAtRow(long row)
{
    const auto item = itemAtRow(row);
    if (item.isNil() || !itemHasBadge(item))
        return {};
    const auto text = ZOROutlineSourceListBadgeText(badgeValueForItem(item), nullptr);
    return { std::max(BadgeMinimumWidth, text.size().width + BadgeTextPadding), BadgeHeight };
}

gfx::Rect ZOROutlineSourceList::badgeRectForRow(long row)
{
    const auto size = sizeOfBadgeAtRow(row);
    if (size.width <= 0)
        return {};
    const auto r = rectOfRow(row);
    return { r.minX() + r.width() - size.width - BadgeMargin, r.minY() + r.height() / 2 - size.height / 2, size.width,
        size.height };
}

gfx::Rect ZOROutlineSourceList::iconRectForRow(long row)
{
    const auto item = itemAtRow(row);
    auto ds = dataSource();
    if (item.isNil() || isGroupItem(item) || !ds || !ds->sourceListItemHasIcon(*this, item))
        return {};
    const auto f = frameOfCellAtColumn(0, row);
    return { f.minX() - m_iconSize.width - IconInset, f.minY() + f.height() / 2 - m_iconSize.height / 2,
        m_iconSize.width, m_iconSize.height };
}

// Loading and selecting.

long ZOROutlineSourceList::firstNonGroupRowFrom(long row, long step)
{
    for (long r = row; r >= 0 && r < numberOfRows(); r += step)
        if (!isGroupItem(itemAtRow(r)))
            return r;
    return -1;
}

void ZOROutlineSourceList::reloadData()
{
    auto self = shared_from_this();
    // Logs (once a reload) when the data source does not speak the source-list protocol.
    conformingDataSource(true);
    ZOROutlineView::reloadData();
    auto ds = conformingDataSource(false);
    if (ds && delegate()) {
        const auto groups = numberOfGroups();
        for (fnd::Index i = 0; i < groups; ++i) {
            auto group = ds->sourceListChildOfItem(*this, i, {});
            if (isGroupAlwaysExpanded(group))
                expandItem(group, false);
        }
    }
    if (selectedRowIndexes().isEmpty()) {
        if (allowsEmptySelection())
            return;
        if (long row = firstNonGroupRowFrom(0, 1); row >= 0)
            selectRowIndexes(fnd::IndexSet { row }, false);
        return;
    }
    const long first = long(selectedRowIndexes().firstIndex());
    if (!isGroupItem(itemAtRow(first)))
        return;
    // The selection starts on a group: the first row below it that is no group takes its place.
    if (long row = firstNonGroupRowFrom(first, 1); row >= 0)
        selectRowIndexes(fnd::IndexSet { row }, false);
    else
        TableView::selectRowIndexes({}, false);
}

void ZOROutlineSourceList::selectRowIndexes(const fnd::IndexSet& rows, bool extend)
{
    if (!allowsEmptySelection() && rows.isEmpty())
        return;
    fnd::IndexSet allowed;
    for (auto row : rows.indexes())
        if (!isGroupItem(itemAtRow(long(row))))
            allowed.add(row);
    ZOROutlineView::selectRowIndexes(allowed, extend);
}

void ZOROutlineSourceList::collapseItem(const fnd::Value& item, bool collapseChildren)
{
    if (isGroupAlwaysExpanded(item))
        return;
    ZOROutlineView::collapseItem(item, collapseChildren);
}

namespace {

bool ZOROutlineSourceListIsSelectAll(const ui::Event& event)
{
    const auto& keys = event.charactersIgnoringModifiers();
    return (event.modifierFlags() & ui::ModifierFlags::Command) && keys.length() == 1
        && (keys.units()[0] == u'a' || keys.units()[0] == u'A');
}

}

void ZOROutlineSourceList::keyDown(const ui::Event& event)
{
    auto self = shared_from_this();
    const auto& characters = event.characters();
    if (numberOfSelectedRows() > 0 && !characters.isEmpty()) {
        const char16_t key = characters.units()[0];
        if (key == 0x7F || key == 0x08) {
            fnd::NotificationCenter::defaultCenter().postNotificationName(
                ZOROutlineSourceListNotification::DeleteKeyPressedOnRows, selfValue(),
                fnd::Dictionary { { "rows", fnd::Value(std::make_shared<fnd::IndexSet>(selectedRowIndexes())) } });
            return;
        }
        const bool shift = (event.modifierFlags() & ui::ModifierFlags::Shift) != 0;
        if ((key == ui::FunctionKey::UpArrow || key == ui::FunctionKey::DownArrow) && numberOfSelectedRows() == 1
            && !shift) {
            const long step = key == ui::FunctionKey::UpArrow ? -1 : 1;
            // Past the first or last row without meeting an item, the selection stays.
            if (long row = firstNonGroupRowFrom(long(selectedRowIndexes().firstIndex()) + step, step); row >= 0) {
                selectRowIndexes(fnd::IndexSet { row }, false);
                scrollRowToVisible(row);
            }
            return;
        }
    }
    // Select-all is not offered: the key goes up the chain as if the list did not know it.
    if (ZOROutlineSourceListIsSelectAll(event)) {
        View::keyDown(event);
        return;
    }
    ZOROutlineView::keyDown(event);
}

bool ZOROutlineSourceList::performKeyEquivalent(const ui::Event& event)
{
    // Select-all is not offered: the key goes on as if the list did not know it.
    if (ZOROutlineSourceListIsSelectAll(event))
        return Control::performKeyEquivalent(event);
    return ZOROutlineView::performKeyEquivalent(event);
}

std::shared_ptr<ui::Menu> ZOROutlineSourceList::menuForEvent(const ui::Event& event)
{
    const long row = rowAtPoint(convertPointFromView(event.locationInWindow(), nullptr));
    if (auto d = delegate(); d && row >= 0)
        if (auto menu = d->sourceListMenuForEvent(*this, event, itemAtRow(row)))
            return menu;
    return ZOROutlineView::menuForEvent(event);
}

// Geometry and drawing.

gfx::Rect ZOROutlineSourceList::frameOfOutlineCellAtRow(long row) const
{
    auto* self = const_cast<ZOROutlineSourceList*>(this);
    if (self->isGroupAlwaysExpanded(itemAtRow(row)))
        return {};
    return ZOROutlineView::frameOfOutlineCellAtRow(row);
}

gfx::Rect ZOROutlineSourceList::frameOfCellAtColumn(long column, long row) const
{
    auto* self = const_cast<ZOROutlineSourceList*>(this);
    const auto s = ZOROutlineView::frameOfCellAtColumn(column, row);
    if (s.isEmpty())
        return s;
    const auto r = rectOfRow(row);
    auto cell = self->preparedCellAtColumn(column, row);
    double h = s.height();
    if (cell) {
        const bool plain = cell->type() == ui::CellType::Text || cell->type() == ui::CellType::Image;
        h = plain ? cell->cellSize().height : cell->cellSizeForBounds(s).height;
    }
    const auto item = itemAtRow(row);
    if (isGroupItem(item)) {
        const double x = self->isGroupAlwaysExpanded(item) ? GroupInset : s.minX();
        return { x, s.minY() + s.height() / 2 - h / 2, r.width() - x, h };
    }
    double x = indentationPerLevel() * double(levelForRow(row)) + RowInset;
    auto ds = self->dataSource();
    if (ds && ds->sourceListItemHasIcon(*self, item))
        x += m_iconSize.width + IconGap;
    const double badge = self->sizeOfBadgeAtRow(row).width;
    return { x, r.minY() + r.height() / 2 - h / 2, r.width() - (badge + BadgeMargin) - x, h };
}

void ZOROutlineSourceList::drawRow(long row, gfx::Rect clipRect)
{
    ZOROutlineView::drawRow(row, clipRect);
    const auto item = itemAtRow(row);
    auto ds = dataSource();
    if (item.isNil() || !ds)
        return;
    if (const auto iconRect = iconRectForRow(row); !iconRect.isEmpty())
        if (auto icon = ds->sourceListIconForItem(*this, item)) {
            auto place = iconRect;
            // A smaller image keeps its size, centred.
            const auto size = icon->size();
            if (size.width < iconRect.width() || size.height < iconRect.height())
                place
                    = { iconRect.midX() - size.width / 2, iconRect.midY() - size.height / 2, size.width, size.height };
            icon->drawInRect(place, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
        }
    if (const auto badgeRect = badgeRectForRow(row); !badgeRect.isEmpty())
        drawBadgeForRow(row, badgeRect);
}

void ZOROutlineSourceList::drawBadgeForRow(long row, gfx::Rect rect)
{
    const auto item = itemAtRow(row);
    auto ds = dataSource();
    auto main = ui::Application::shared().mainWindow();
    const bool mainVisible = main && main->isVisible();
    auto rgb
        = [](int r, int g, int b) { return gfx::Color::colorWithCalibratedRed(r / 255.0, g / 255.0, b / 255.0, 1); };
    gfx::ColorPtr fill, text;
    if (isRowSelected(row)) {
        fill = gfx::Color::whiteColor();
        if (!mainVisible) {
            text = gfx::Color::colorWithCalibratedWhite(170 / 255.0, 1);
        } else {
            auto w = window();
            const bool focused
                = (w && w->firstResponder().get() == static_cast<ui::Responder*>(this)) || editedRow() == row;
            text = focused ? gfx::Color::keyboardFocusIndicatorColor() : rgb(153, 169, 203);
        }
    } else if (mainVisible) {
        fill = ds ? ds->sourceListBadgeBackgroundColorForItem(*this, item) : nullptr;
        if (!fill)
            fill = rgb(152, 168, 202);
        text = ds ? ds->sourceListBadgeTextColorForItem(*this, item) : nullptr;
        if (!text)
            text = gfx::Color::whiteColor();
    } else {
        fill = gfx::Color::colorWithDeviceWhite(180 / 255.0, 1);
        text = gfx::Color::whiteColor();
    }
    fill->setFill();
    gfx::BezierPath::bezierPathWithRoundedRect(rect, BadgeRadius, BadgeRadius)->fill();
    const auto label = ZOROutlineSourceListBadgeText(badgeValueForItem(item), text);
    const auto size = label.size();
    label.drawAtPoint({ rect.midX() - size.width / 2, rect.midY() - size.height / 2 });
}

fnd::String ZOROutlineSourceList::accessibilityTitleOfRow(long row)
{
    auto ds = conformingDataSource(false);
    auto title = ds ? ds->sourceListObjectValueForItem(*this, itemAtRow(row)) : fnd::Value();
    return title.isString() ? *title.string() : fnd::String();
}

fnd::String ZOROutlineSourceList::accessibilityDescriptionOfRow(long row)
{
    const auto item = itemAtRow(row);
    if (item.isNil() || !itemHasBadge(item))
        return {};
    // The number the badge shows.
    return fnd::String(std::to_string(badgeValueForItem(item)));
}

// As the outline's data source.

long ZOROutlineSourceList::outlineViewNumberOfChildrenOfItem(ui::OutlineView&, const fnd::Value& item)
{
    auto ds = conformingDataSource(false);
    return ds ? long(std::max<fnd::Index>(0, ds->sourceListNumberOfChildrenOfItem(*this, item))) : 0;
}

fnd::Value ZOROutlineSourceList::outlineViewChildOfItem(ui::OutlineView&, long index, const fnd::Value& item)
{
    auto ds = conformingDataSource(false);
    return ds ? ds->sourceListChildOfItem(*this, index, item) : fnd::Value {};
}

bool ZOROutlineSourceList::outlineViewIsItemExpandable(ui::OutlineView&, const fnd::Value& item)
{
    auto ds = conformingDataSource(false);
    return ds && ds->sourceListIsItemExpandable(*this, item);
}

fnd::Value ZOROutlineSourceList::outlineViewObjectValueForTableColumn(
    ui::OutlineView&, ui::TableColumn*, const fnd::Value& item)
{
    auto ds = conformingDataSource(false);
    return ds ? ds->sourceListObjectValueForItem(*this, item) : fnd::Value {};
}

void ZOROutlineSourceList::outlineViewSetObjectValue(
    ui::OutlineView&, const fnd::Value& value, ui::TableColumn*, const fnd::Value& item)
{
    if (auto ds = conformingDataSource(false))
        ds->sourceListSetObjectValue(*this, value, item);
}

fnd::Value ZOROutlineSourceList::outlineViewItemForPersistentObject(ui::OutlineView&, const fnd::Value& object)
{
    auto ds = dataSource();
    return ds ? ds->sourceListItemForPersistentObject(*this, object) : fnd::Value {};
}

fnd::Value ZOROutlineSourceList::outlineViewPersistentObjectForItem(ui::OutlineView&, const fnd::Value& item)
{
    auto ds = dataSource();
    return ds ? ds->sourceListPersistentObjectForItem(*this, item) : fnd::Value {};
}

bool ZOROutlineSourceList::outlineViewWriteItems(ui::OutlineView&, const fnd::Array& items, ui::Pasteboard& pasteboard)
{
    auto ds = dataSource();
    return ds && ds->sourceListWriteItems(*this, items, pasteboard);
}

std::vector<fnd::String> ZOROutlineSourceList::outlineViewNamesOfPromisedFilesDroppedAtDestination(
    ui::OutlineView&, const fnd::String& dropDestination, const fnd::Array& items)
{
    auto ds = dataSource();
    return ds ? ds->sourceListNamesOfPromisedFilesDroppedAtDestination(*this, dropDestination, items)
              : std::vector<fnd::String> {};
}

ui::DragOperation ZOROutlineSourceList::outlineViewValidateDrop(
    ui::OutlineView&, ui::DraggingInfo& info, const fnd::Value& item, long childIndex)
{
    auto ds = dataSource();
    return ds ? ds->sourceListValidateDrop(*this, info, item, childIndex) : ui::DragOperations::None;
}

bool ZOROutlineSourceList::outlineViewAcceptDrop(
    ui::OutlineView&, ui::DraggingInfo& info, const fnd::Value& item, long childIndex)
{
    auto ds = dataSource();
    return ds && ds->sourceListAcceptDrop(*this, info, item, childIndex);
}

void ZOROutlineSourceList::draggingEnded(ui::DraggingInfo& info)
{
    auto self = shared_from_this();
    ZOROutlineView::draggingEnded(info);
    if (auto ds = dataSource())
        ds->sourceListDraggingEnded(*this, info);
}

// As the outline's delegate.

bool ZOROutlineSourceList::outlineViewIsGroupItem(ui::OutlineView&, const fnd::Value& item)
{
    return isGroupItem(item);
}

bool ZOROutlineSourceList::outlineViewShouldExpandItem(ui::OutlineView&, const fnd::Value& item)
{
    auto d = delegate();
    return !d || d->sourceListShouldExpandItem(*this, item);
}

bool ZOROutlineSourceList::outlineViewShouldCollapseItem(ui::OutlineView&, const fnd::Value& item)
{
    if (isGroupAlwaysExpanded(item))
        return false;
    auto d = delegate();
    return !d || d->sourceListShouldCollapseItem(*this, item);
}

std::shared_ptr<ui::Cell> ZOROutlineSourceList::outlineViewDataCellForTableColumn(
    ui::OutlineView&, ui::TableColumn*, const fnd::Value& item)
{
    auto d = delegate();
    return d && !item.isNil() ? d->sourceListDataCellForItem(*this, item) : nullptr;
}

void ZOROutlineSourceList::outlineViewWillDisplayCell(
    ui::OutlineView&, ui::Cell& cell, ui::TableColumn*, const fnd::Value& item)
{
    if (auto d = delegate())
        d->sourceListWillDisplayCell(*this, cell, item);
}

bool ZOROutlineSourceList::outlineViewShouldSelectItem(ui::OutlineView&, const fnd::Value& item)
{
    if (isGroupItem(item))
        return false;
    auto d = delegate();
    return !d || d->sourceListShouldSelectItem(*this, item);
}

std::optional<fnd::IndexSet> ZOROutlineSourceList::outlineViewSelectionIndexesForProposedSelection(
    ui::OutlineView&, const fnd::IndexSet& proposed)
{
    if (selectedRowIndexes().isEmpty() && !proposed.isEmpty() && isGroupItem(itemAtRow(long(proposed.firstIndex()))))
        return fnd::IndexSet {};
    auto d = delegate();
    return d ? d->sourceListSelectionIndexesForProposedSelection(*this, proposed) : std::nullopt;
}

bool ZOROutlineSourceList::outlineViewShouldEditTableColumn(ui::OutlineView&, ui::TableColumn*, const fnd::Value& item)
{
    if (isGroupItem(item))
        return false;
    auto d = delegate();
    return !d || d->sourceListShouldEditItem(*this, item);
}

std::optional<bool> ZOROutlineSourceList::outlineViewShouldTrackCell(
    ui::OutlineView&, ui::Cell& cell, ui::TableColumn*, const fnd::Value& item)
{
    auto d = delegate();
    return d ? d->sourceListShouldTrackCell(*this, cell, item) : false;
}

std::optional<double> ZOROutlineSourceList::outlineViewHeightOfRowByItem(ui::OutlineView&, const fnd::Value& item)
{
    auto d = delegate();
    return d ? d->sourceListHeightOfRowByItem(*this, item) : std::nullopt;
}

void ZOROutlineSourceList::repost(const fnd::String& name, const fnd::Notification& note)
{
    fnd::NotificationCenter::defaultCenter().postNotificationName(name, selfValue(), note.userInfo());
}

void ZOROutlineSourceList::outlineViewSelectionIsChanging(const fnd::Notification&)
{
    fnd::NotificationCenter::defaultCenter().postNotificationName(
        ZOROutlineSourceListNotification::SelectionIsChanging, selfValue());
}

void ZOROutlineSourceList::outlineViewSelectionDidChange(const fnd::Notification&)
{
    fnd::NotificationCenter::defaultCenter().postNotificationName(
        ZOROutlineSourceListNotification::SelectionDidChange, selfValue());
}

void ZOROutlineSourceList::outlineViewItemWillExpand(const fnd::Notification& note)
{
    repost(ZOROutlineSourceListNotification::ItemWillExpand, note);
}

void ZOROutlineSourceList::outlineViewItemDidExpand(const fnd::Notification& note)
{
    repost(ZOROutlineSourceListNotification::ItemDidExpand, note);
}

void ZOROutlineSourceList::outlineViewItemWillCollapse(const fnd::Notification& note)
{
    repost(ZOROutlineSourceListNotification::ItemWillCollapse, note);
}

void ZOROutlineSourceList::outlineViewItemDidCollapse(const fnd::Notification& note)
{
    repost(ZOROutlineSourceListNotification::ItemDidCollapse, note);
}
