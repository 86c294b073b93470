#pragma once

#include "SourceListPromisedFiles.h"
#include "platform/ui/UiTestSupport.h"

#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceList.h"
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include "platform/foundation/files/FileURL.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/dragging/FilePromise.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/views/Event.h"

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace sourcelisttest {

using Item = ZOROutlineSourceListItem;

inline fnd::Value itemValue(const Item::Ptr& item)
{
    return fnd::Value(std::static_pointer_cast<fnd::Object>(item));
}

// Serves a tree of items: the root's children are the groups; badges are the items' own.
class ItemSource : public fnd::Object, public ZOROutlineSourceListDataSource {
public:
    Item::Ptr itemOf(const fnd::Value& value) const { return value.isNil() ? root : value.objectAs<Item>(); }
    fnd::Index sourceListNumberOfChildrenOfItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        auto node = itemOf(item);
        return node ? node->countOfChildren() : 0;
    }
    fnd::Value sourceListChildOfItem(ZOROutlineSourceList&, fnd::Index index, const fnd::Value& item) override
    {
        auto node = itemOf(item);
        auto child = node ? node->childAtIndex(index) : nullptr;
        return child ? itemValue(child) : fnd::Value {};
    }
    fnd::Value sourceListObjectValueForItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        auto node = itemOf(item);
        return node ? fnd::Value(node->title()) : fnd::Value {};
    }
    bool sourceListIsItemExpandable(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        auto node = itemOf(item);
        return node && node->hasChildren();
    }
    void sourceListSetObjectValue(ZOROutlineSourceList&, const fnd::Value& value, const fnd::Value& item) override
    {
        if (auto node = itemOf(item))
            node->setTitle(value.stringValue());
    }
    bool sourceListItemHasBadge(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        auto node = itemOf(item);
        return node && node->hasBadge();
    }
    std::optional<std::int64_t> sourceListBadgeValueForItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return itemOf(item)->badgeValue();
    }
    gfx::ColorPtr sourceListBadgeBackgroundColorForItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        auto found = badgeColors.find(itemOf(item).get());
        return found == badgeColors.end() ? nullptr : found->second;
    }
    bool sourceListItemHasIcon(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        auto node = itemOf(item);
        return node && node->hasIcon();
    }
    std::shared_ptr<gfx::Image> sourceListIconForItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return itemOf(item)->icon();
    }

    void sourceListDraggingEnded(ZOROutlineSourceList&, ui::DraggingInfo&) override { ++dragsEnded; }
    // Dragged items go out as text files named by their titles, written when a destination names the folder.
    bool sourceListWriteItems(ZOROutlineSourceList&, const fnd::Array& items, ui::Pasteboard& pasteboard) override
    {
        pasteboard.declareTypes({ ui::PasteboardType::String });
        pasteboard.setString(fnd::String(std::to_string(items.size()) + " items"), ui::PasteboardType::String);
        ui::declareFilePromise(pasteboard, { "txt" });
        return true;
    }
    std::vector<fnd::String> sourceListNamesOfPromisedFilesDroppedAtDestination(
        ZOROutlineSourceList&, const fnd::String& destination, const fnd::Array& items) override
    {
        return writePromisedItemFiles(destination, items, [this](const fnd::Value& v) { return itemOf(v); });
    }

    Item::Ptr root = Item::create("root");
    int dragsEnded { 0 };
    std::map<const Item*, gfx::ColorPtr> badgeColors;
};

// Counts what the list tells its delegate; groups named in `alwaysExpanded` never close.
class ListDelegate : public fnd::Object, public ZOROutlineSourceListDelegate {
public:
    bool sourceListIsGroupAlwaysExpanded(ZOROutlineSourceList&, const fnd::Value& group) override
    {
        auto item = group.objectAs<Item>();
        return item && alwaysExpanded.count(item->title().utf8());
    }
    void sourceListSelectionDidChange(const fnd::Notification&) override { ++selectionChanges; }
    void sourceListItemDidCollapse(const fnd::Notification&) override { ++collapses; }
    void sourceListDeleteKeyPressedOnRows(const fnd::Notification& note) override
    {
        auto rows = note.userInfo().get("rows").objectAs<fnd::IndexSet>();
        deleted.push_back(rows ? *rows : fnd::IndexSet {});
    }
    std::set<std::string> alwaysExpanded;
    int selectionChanges { 0 };
    int collapses { 0 };
    std::vector<fnd::IndexSet> deleted;
};

// A source list of two groups in a scroll view filling a 240 × 300 key window:
// Places (Home, Desktop (badge 7), Documents) and Devices (Disk (badge 12345), Stick).
class SourceListTest : public uitest::KeyWindowTest {
protected:
    SourceListTest()
        : KeyWindowTest({ 240, 300 })
    {
        places = group("Places", { "Home", "Desktop", "Documents" });
        devices = group("Devices", { "Disk", "Stick" });
        places->childAtIndex(1)->setBadgeValue(7);
        devices->childAtIndex(0)->setBadgeValue(12345);
        scrollView = ui::ScrollView::create({ 0, 0, 240, 300 });
        scrollView->setHasVerticalScroller(true);
        list = ZOROutlineSourceList::create({ 0, 0, 225, 300 });
        auto column = ui::TableColumn::create("title");
        column->setWidth(220);
        list->addTableColumn(column);
        list->setOutlineTableColumn(column);
        scrollView->setDocumentView(list);
        add(scrollView);
        list->setDelegate(delegate);
        list->setDataSource(source);
        window->makeFirstResponder(list);
    }
    Item::Ptr group(const char* title, std::vector<const char*> children)
    {
        auto g = Item::create(title);
        for (auto* name : children)
            g->silentAddChild(Item::create(name));
        source->root->silentAddChild(g);
        return g;
    }
    void expandAll()
    {
        list->expandItem(itemValue(places));
        list->expandItem(itemValue(devices));
    }
    std::string rowTitle(long row) const
    {
        auto item = list->itemAtRow(row).objectAs<Item>();
        return item ? item->title().utf8() : "-";
    }
    std::string selection() const
    {
        std::string text;
        for (auto row : list->selectedRowIndexes().indexes())
            text += (text.empty() ? "" : " ") + rowTitle(long(row));
        return text;
    }
    gfx::Point rowPoint(long row, double x = 100) const
    {
        auto r = list->rectOfRow(row);
        return list->convertPointToView({ x, r.midY() }, nullptr);
    }
    void click(long row, double x = 100)
    {
        backend->mouseDown(*window, rowPoint(row, x));
        backend->mouseUp(*window, rowPoint(row, x));
        dispatch();
    }
    void key(char16_t character, unsigned short keyCode, unsigned flags = 0)
    {
        backend->keyDown(*window, fnd::String(std::u16string(1, character)), keyCode, flags);
        dispatch();
    }

    std::shared_ptr<ItemSource> source = std::make_shared<ItemSource>();
    std::shared_ptr<ListDelegate> delegate = std::make_shared<ListDelegate>();
    Item::Ptr places;
    Item::Ptr devices;
    std::shared_ptr<ui::ScrollView> scrollView;
    std::shared_ptr<ZOROutlineSourceList> list;
};

}
