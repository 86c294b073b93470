#pragma once

#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListDataSource.h"
#include "frameworks/ZORAppKit/source-list/ZOROutlineView.h"

#include "platform/ui/tables/OutlineViewDataSource.h"

#include <vector>

// Notification names (their values are their names); object: the list.
namespace ZOROutlineSourceListNotification {
inline const fnd::String SelectionIsChanging = "ZOROutlineSourceListSelectionIsChanging";
inline const fnd::String SelectionDidChange = "ZOROutlineSourceListSelectionDidChange";
inline const fnd::String ItemWillExpand = "ZOROutlineSourceListItemWillExpand";
inline const fnd::String ItemDidExpand = "ZOROutlineSourceListItemDidExpand";
inline const fnd::String ItemWillCollapse = "ZOROutlineSourceListItemWillCollapse";
inline const fnd::String ItemDidCollapse = "ZOROutlineSourceListItemDidCollapse";
// User info "rows": the selected rows.
inline const fnd::String DeleteKeyPressedOnRows = "ZOROutlineSourceListDeleteKeyPressedOnRows";
}

// A sidebar: an outline whose top-level items are group headings that are never selected, whose rows may carry an
// icon and a rounded badge with a number, and whose groups may be always expanded (no triangle, never collapsed).
// The list is its own outline data source and delegate and forwards to a source-list data source and delegate of
// its own; selection, expansion and the Delete key are announced by notifications its delegate is subscribed to.
class ZOROutlineSourceList : public ZOROutlineView, public ui::OutlineViewDataSource, public ZOROutlineViewDelegate {
    FND_OBJECT(ZOROutlineSourceList)
    static void describeClass(fnd::ClassBuilder<ZOROutlineSourceList>& c);

public:
    static constexpr double GroupInset = 7;
    static constexpr double RowInset = 18;
    static constexpr double IconGap = 4;
    static constexpr double IconInset = 2;
    static constexpr double BadgeMargin = 5;
    static constexpr double BadgeMinimumWidth = 22;
    static constexpr double BadgeHeight = 14;
    static constexpr double BadgeTextPadding = 10;
    static constexpr double BadgeRadius = 7;
    static constexpr double BadgeFontSize = 11;

    ZOROutlineSourceList() = default;
    ~ZOROutlineSourceList() override;
    static std::shared_ptr<ZOROutlineSourceList> create(gfx::Rect frame = {});
    // The list becomes its own outline data source and delegate; icons are 16 × 16.
    void initWithFrame(gfx::Rect frame) override;

    std::shared_ptr<ZOROutlineSourceListDataSource> dataSource() const { return m_secondaryDataSource.lock(); }
    // Stores it and reloads.
    void setDataSource(const std::shared_ptr<ZOROutlineSourceListDataSource>& dataSource);
    // For interface files: an object that is no source-list data source is kept only to be named in the log.
    void setDataSourceObject(const fnd::Value& object);
    std::shared_ptr<ZOROutlineSourceListDelegate> delegate() const { return m_secondaryDelegate.lock(); }
    // Moves the seven subscriptions from the previous delegate to this one.
    void setDelegate(const std::shared_ptr<ZOROutlineSourceListDelegate>& delegate);

    gfx::Size iconSize() const { return m_iconSize; }
    // Never taller than a row: a taller size is scaled down to the row height.
    void setIconSize(gfx::Size size);

    fnd::Index numberOfGroups();
    bool isGroupItem(const fnd::Value& item) const;
    bool isGroupAlwaysExpanded(const fnd::Value& item);
    bool itemHasBadge(const fnd::Value& item);
    // The largest 64-bit number when the item has none.
    std::int64_t badgeValueForItem(const fnd::Value& item);
    gfx::Size sizeOfBadgeAtRow(long row);
    gfx::Rect badgeRectForRow(long row);
    gfx::Rect iconRectForRow(long row);

    // Select-all is never offered.
    bool respondsTo(fnd::Selector selector) const override;
    void reloadData() override;
    // Group rows are dropped; an empty set where empty selection is not allowed changes nothing.
    void selectRowIndexes(const fnd::IndexSet& rows, bool extend) override;
    void collapseItem(const fnd::Value& item, bool collapseChildren = false) override;
    void keyDown(const ui::Event& event) override;
    bool performKeyEquivalent(const ui::Event& event) override;
    std::shared_ptr<ui::Menu> menuForEvent(const ui::Event& event) override;
    void draggingEnded(ui::DraggingInfo& info) override;
    gfx::Rect frameOfOutlineCellAtRow(long row) const override;
    gfx::Rect frameOfCellAtColumn(long column, long row) const override;
    void drawRow(long row, gfx::Rect clipRect) override;
    void drawBadgeForRow(long row, gfx::Rect rect);
    // Assistive technologies hear a row by its title, and its badge's number as its description.
    fnd::String accessibilityTitleOfRow(long row) override;
    fnd::String accessibilityDescriptionOfRow(long row) override;

    // As the outline's data source.
    long outlineViewNumberOfChildrenOfItem(ui::OutlineView&, const fnd::Value& item) override;
    fnd::Value outlineViewChildOfItem(ui::OutlineView&, long index, const fnd::Value& item) override;
    bool outlineViewIsItemExpandable(ui::OutlineView&, const fnd::Value& item) override;
    fnd::Value outlineViewObjectValueForTableColumn(
        ui::OutlineView&, ui::TableColumn*, const fnd::Value& item) override;
    void outlineViewSetObjectValue(
        ui::OutlineView&, const fnd::Value& value, ui::TableColumn*, const fnd::Value& item) override;
    fnd::Value outlineViewItemForPersistentObject(ui::OutlineView&, const fnd::Value& object) override;
    fnd::Value outlineViewPersistentObjectForItem(ui::OutlineView&, const fnd::Value& item) override;
    bool outlineViewWriteItems(ui::OutlineView&, const fnd::Array& items, ui::Pasteboard& pasteboard) override;
    std::vector<fnd::String> outlineViewNamesOfPromisedFilesDroppedAtDestination(
        ui::OutlineView&, const fnd::String& dropDestination, const fnd::Array& items) override;
    ui::DragOperation outlineViewValidateDrop(
        ui::OutlineView&, ui::DraggingInfo& info, const fnd::Value& item, long childIndex) override;
    bool outlineViewAcceptDrop(
        ui::OutlineView&, ui::DraggingInfo& info, const fnd::Value& item, long childIndex) override;

    // As the outline's delegate.
    bool outlineViewIsGroupItem(ui::OutlineView&, const fnd::Value& item) override;
    bool outlineViewShouldExpandItem(ui::OutlineView&, const fnd::Value& item) override;
    bool outlineViewShouldCollapseItem(ui::OutlineView&, const fnd::Value& item) override;
    std::shared_ptr<ui::Cell> outlineViewDataCellForTableColumn(
        ui::OutlineView&, ui::TableColumn*, const fnd::Value& item) override;
    void outlineViewWillDisplayCell(
        ui::OutlineView&, ui::Cell& cell, ui::TableColumn*, const fnd::Value& item) override;
    bool outlineViewShouldSelectItem(ui::OutlineView&, const fnd::Value& item) override;
    std::optional<fnd::IndexSet> outlineViewSelectionIndexesForProposedSelection(
        ui::OutlineView&, const fnd::IndexSet& proposed) override;
    bool outlineViewShouldEditTableColumn(ui::OutlineView&, ui::TableColumn*, const fnd::Value& item) override;
    std::optional<bool> outlineViewShouldTrackCell(
        ui::OutlineView&, ui::Cell& cell, ui::TableColumn*, const fnd::Value& item) override;
    std::optional<double> outlineViewHeightOfRowByItem(ui::OutlineView&, const fnd::Value& item) override;
    void outlineViewSelectionIsChanging(const fnd::Notification& note) override;
    void outlineViewSelectionDidChange(const fnd::Notification& note) override;
    void outlineViewItemWillExpand(const fnd::Notification& note) override;
    void outlineViewItemDidExpand(const fnd::Notification& note) override;
    void outlineViewItemWillCollapse(const fnd::Notification& note) override;
    void outlineViewItemDidCollapse(const fnd::Notification& note) override;
    // Every outline of the framework answers Delete, doing nothing with it here.
    bool outlineViewDidReceiveDelete(ui::OutlineView&, const ui::Event&) override { return true; }

private:
    void subscribeDelegate();
    void unsubscribeDelegate();
    void repost(const fnd::String& name, const fnd::Notification& note);
    // Without a conforming data source nothing is asked; a non-conforming object is named in the log.
    std::shared_ptr<ZOROutlineSourceListDataSource> conformingDataSource(bool logIfNot);
    long firstNonGroupRowFrom(long row, long step);

    std::weak_ptr<ZOROutlineSourceListDelegate> m_secondaryDelegate;
    std::weak_ptr<ZOROutlineSourceListDataSource> m_secondaryDataSource;
    std::weak_ptr<fnd::Object> m_nonConformingDataSource;
    gfx::Size m_iconSize { 16, 16 };
    std::vector<fnd::NotificationObserverToken> m_delegateObservers;
};
