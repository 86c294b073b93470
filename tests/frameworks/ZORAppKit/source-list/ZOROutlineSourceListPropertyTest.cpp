// Random insertions, removals and moves in a source-list tree, with random expansion and selection in between: the
// list's rows always equal a depth-first walk of the expanded tree, and no group row is ever selected.
#include "SourceListTestSupport.h"

#include <random>

using namespace sourcelisttest;

namespace {

class ZOROutlineSourceListPropertyTest : public SourceListTest {
protected:
    // Every item of the tree below the root, in pre-order.
    std::vector<Item::Ptr> allItems() const
    {
        std::vector<Item::Ptr> all;
        std::function<void(const Item::Ptr&)> walk = [&](const Item::Ptr& node) {
            if (!node->children())
                return;
            for (const auto& child : *node->children()) {
                all.push_back(child);
                walk(child);
            }
        };
        walk(source->root);
        return all;
    }
    // The rows an outline of the tree shows: each child, then its children while it is expanded.
    std::vector<const Item*> expectedRows() const
    {
        std::vector<const Item*> rows;
        std::function<void(const Item::Ptr&)> walk = [&](const Item::Ptr& node) {
            if (!node->children())
                return;
            for (const auto& child : *node->children()) {
                rows.push_back(child.get());
                if (child->hasChildren() && list->isItemExpanded(itemValue(child)))
                    walk(child);
            }
        };
        walk(source->root);
        return rows;
    }
    std::vector<const Item*> shownRows() const
    {
        std::vector<const Item*> rows;
        for (long row = 0; row < list->numberOfRows(); ++row)
            rows.push_back(list->itemAtRow(row).objectAs<Item>().get());
        return rows;
    }
};

TEST_F(ZOROutlineSourceListPropertyTest, RowsFollowTheExpandedTreeAndGroupsStayUnselected)
{
    std::mt19937 random(20261207);
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    list->setAllowsMultipleSelection(true);
    int counter = 0;
    for (int step = 0; step < 400; ++step) {
        auto items = allItems();
        const auto op = pick(6);
        if (op <= 1 || items.empty()) {
            // Insert under the root (a new group) or under any item, at any place, reporting the change.
            auto parent = items.empty() || pick(5) == 0 ? source->root : items[pick(items.size())];
            auto child = Item::create(fnd::String("n" + std::to_string(++counter)));
            if (pick(3) == 0)
                child->setBadgeValue(std::int64_t(pick(100)));
            if (pick(2) == 0)
                parent->addChild(child);
            else
                parent->insertChild(child, fnd::Index(pick(std::size_t(parent->countOfChildren()) + 1)));
        } else if (op == 2) {
            auto victim = items[pick(items.size())];
            victim->parent()->removeChild(victim.get());
        } else if (op == 3) {
            // Move an item under another that is not inside it.
            auto moving = items[pick(items.size())];
            auto target = items[pick(items.size())];
            if (target->isDescendantOfNodeOrSelf(moving.get()))
                target = source->root;
            moving->parent()->removeChild(moving.get());
            target->insertChild(moving, fnd::Index(pick(std::size_t(target->countOfChildren()) + 1)));
        } else if (op == 4) {
            auto item = itemValue(items[pick(items.size())]);
            if (list->rowForItem(item) >= 0) {
                if (list->isItemExpanded(item))
                    list->collapseItem(item);
                else
                    list->expandItem(item);
            }
        } else {
            fnd::IndexSet rows;
            for (int k = 0; k < 3 && list->numberOfRows() > 0; ++k)
                rows.add(fnd::Index(pick(std::size_t(list->numberOfRows()))));
            list->selectRowIndexes(rows, pick(2) == 0);
        }
        list->reloadData();
        ASSERT_EQ(shownRows(), expectedRows()) << "after step " << step << " (operation " << op << ")";
        for (auto row : list->selectedRowIndexes().indexes())
            ASSERT_FALSE(list->isGroupItem(list->itemAtRow(long(row)))) << "group selected after step " << step;
        for (const auto& item : allItems())
            ASSERT_TRUE(item->parent() && item->parent()->indexOfChild(item.get()) != fnd::NotFound);
    }
}

}
