// Random public calls on a handful of source-list items, an item allowed in several child lists: every add or
// parent change is refused exactly when it would close a loop (through the child lists, or through the parent links
// that rootObject follows), a refused call changes nothing, and at the end every item's archive reads back and every
// item is freed with its last owner.
#include "SourceListTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace sourcelisttest;

namespace {

// The lists as they stand, each item's children by title.
std::string sourceListItemLists(const std::vector<Item::Ptr>& items)
{
    std::string text;
    for (const auto& item : items) {
        text += item->title().utf8() + ":";
        for (fnd::Index i = 0; i < item->countOfChildren(); ++i)
            text += " " + item->childAtIndex(i)->title().utf8();
        text += item->parent() ? " ^" + item->parent()->title().utf8() : "";
        text += "; ";
    }
    return text;
}

// True when `to` can be reached from `from` through child lists (an item reaches itself).
bool sourceListItemReaches(const Item* from, const Item* to)
{
    std::set<const Item*> seen;
    std::vector<const Item*> pending { from };
    while (!pending.empty()) {
        const Item* item = pending.back();
        pending.pop_back();
        if (item == to)
            return true;
        if (!seen.insert(item).second)
            continue;
        for (fnd::Index i = 0; i < item->countOfChildren(); ++i)
            pending.push_back(item->childAtIndex(i).get());
    }
    return false;
}

// True when `item` is `from` or one of its ancestors by parent link; links that circle fail the test.
bool sourceListItemOnParentChain(const Item* from, const Item* item, std::size_t count)
{
    std::size_t steps = 0;
    for (const Item* walk = from; walk;) {
        if (walk == item)
            return true;
        if (++steps > count) {
            ADD_FAILURE() << "the parent links circle";
            return false;
        }
        walk = walk->parent().get(); // every item stays alive in the test's list
    }
    return false;
}

TEST(ZOROutlineSourceListItemProperty, AddsAreRefusedExactlyWhenTheyCloseALoop)
{
    constexpr int Seeds = 40, Steps = 120, Items = 6;
    for (unsigned seed = 1; seed <= Seeds; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        std::vector<Item::Ptr> items;
        for (int i = 0; i < Items; ++i)
            items.push_back(Item::create(fnd::String(std::string(1, char('a' + i)))));
        std::vector<std::weak_ptr<Item>> made(items.begin(), items.end());

        for (int step = 0; step < Steps; ++step) {
            auto& into = items[std::size_t(pick(Items))];
            auto& other = items[std::size_t(pick(Items))];
            const auto before = sourceListItemLists(items);
            // Adding `other` under `into` closes a loop when `other` reaches `into` through the child lists, or
            // stands on `into`'s parent links.
            const bool addLoops = sourceListItemReaches(other.get(), into.get())
                || sourceListItemOnParentChain(into.get(), other.get(), Items);
            bool refuses = false;
            std::function<void()> call;
            std::string what;
            switch (pick(9)) {
            case 0:
                what = "addChild";
                call = [&] { into->addChild(other); };
                refuses = addLoops;
                break;
            case 1:
                what = "insertChild";
                call = [&] { into->insertChild(other, pick(3)); };
                refuses = addLoops;
                break;
            case 2:
                what = "silentAddChild";
                call = [&] { into->silentAddChild(other); };
                refuses = addLoops;
                break;
            case 3:
                what = "silentInsertChild";
                call = [&] { into->silentInsertChild(other, pick(3)); };
                refuses = addLoops;
                break;
            case 4: {
                // A new list of up to three items (repeats allowed); it sets no parent links.
                Item::Children list;
                for (int n = pick(4); n > 0; --n)
                    list.push_back(items[std::size_t(pick(Items))]);
                for (const auto& child : list)
                    refuses = refuses || sourceListItemReaches(child.get(), into.get());
                what = "setChildren";
                call = [&, list] { into->setChildren(list); };
                break;
            }
            case 5: {
                // Refused when the new parent's links lead back to the item.
                auto parent = pick(4) == 0 ? nullptr : other;
                what = parent ? "setParent" : "setParent nil";
                refuses = parent && sourceListItemOnParentChain(parent.get(), into.get(), Items);
                call = [&, parent] { into->setParent(parent); };
                break;
            }
            case 6:
                what = "removeChild";
                call = [&] { into->removeChild(other.get()); };
                break;
            case 7:
                what = "removeAllChildren";
                call = [&] { into->removeAllChildren(); };
                break;
            default:
                what = "setParentForTree";
                call = [&] { into->setParentForTree(); };
                break;
            }
            const auto context = "seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " + what + " "
                + other->title().utf8() + " into " + into->title().utf8() + " with " + before;
            auto error = raised(call);
            ASSERT_EQ(bool(error), refuses) << context << (error ? " raised " + error->reason().utf8() : "");
            if (error) {
                EXPECT_EQ(error->name(), fnd::ExceptionName::InvalidArgument) << context;
                ASSERT_EQ(sourceListItemLists(items), before) << context << ": the refused call changed the tree";
            }
            for (const auto& item : items) {
                for (fnd::Index i = 0; i < item->countOfChildren(); ++i)
                    ASSERT_FALSE(sourceListItemReaches(item->childAtIndex(i).get(), item.get()))
                        << context << ": the child lists loop through " << item->title().utf8();
                ASSERT_FALSE(sourceListItemOnParentChain(item->parent().get(), item.get(), Items))
                    << context << ": the parent links loop through " << item->title().utf8();
            }
        }

        for (const auto& item : items) {
            auto data = fnd::KeyedArchiver::archivedDataWithRootObject(itemValue(item));
            ASSERT_TRUE(data) << "seed " << seed;
            auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
            ASSERT_TRUE(back) << "seed " << seed << ", " << item->title().utf8() << ": "
                              << back.error().localizedDescription().utf8() << " with " << sourceListItemLists(items);
        }
        items.clear();
        for (const auto& item : made)
            EXPECT_TRUE(item.expired()) << "seed " << seed << ": an item outlived its owners";
    }
}

}
