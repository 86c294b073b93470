// The data-entry tree as a whole: a chain far deeper than any stack is copied, listed and freed; and random public
// calls on a small tree (filtered roots and copies among them) always leave a tree whose archive reads back and
// archives again to the same data.
#include "BarcodeTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>

using namespace fnd;

namespace {

using EntryPtr = TBQDataEntry::EntryPtr;

// A chain built from the bottom, each entry the only sub-entry of the one above; labels count down from the top.
EntryPtr dataEntryChain(int depth)
{
    EntryPtr top = makeObject<TBQDataEntry>();
    top->setLabelColorType(depth - 1);
    for (int label = depth - 2; label >= 0; --label) {
        auto above = makeObject<TBQDataEntry>();
        above->setLabelColorType(label);
        above->addObject(top);
        top = above;
    }
    return top;
}

TEST(DataEntryTree, AChainAHundredThousandDeepIsCopiedListedAndFreed)
{
    constexpr int Depth = 100'000;
    auto top = dataEntryChain(Depth);
    std::weak_ptr<TBQDataEntry> deepest;
    for (auto walk = top; walk; walk = walk->objectAtIndex(0))
        deepest = walk;

    // Every entry but the top, the even labels only, deepest last.
    auto evens = top->filteredFlatObjectTreeWithPredicate(
        [](const TBQDataEntry& e) { return e.labelColorType() % 2 == 0; }, TBQDataEntry::staticClassInfo());
    ASSERT_EQ(evens.size(), std::size_t(Depth / 2 - 1)) << "labels 2, 4, ..., 99,998";
    EXPECT_EQ(evens.front()->labelColorType(), 2);
    EXPECT_EQ(evens.back()->labelColorType(), Depth - 2);
    evens.clear();

    auto copy = top->copy();
    int depth = 0;
    std::weak_ptr<TBQDataEntry> deepestCopy;
    for (EntryPtr walk = copy, above; walk; above = walk, walk = walk->objectAtIndex(0), ++depth) {
        ASSERT_EQ(walk->labelColorType(), depth);
        ASSERT_EQ(walk->parent(), above) << "at depth " << depth;
        ASSERT_LE(walk->objectCount(), 1);
        deepestCopy = walk;
    }
    EXPECT_EQ(depth, Depth);
    EXPECT_EQ(deepestCopy.lock()->rootObject(), copy);

    top.reset();
    EXPECT_TRUE(deepest.expired());
    copy.reset();
    EXPECT_TRUE(deepestCopy.expired());
}

// What the random calls work on: every entry reachable through the lists from the given ones, each once.
std::vector<EntryPtr> dataEntriesBelow(const std::vector<EntryPtr>& tops)
{
    std::vector<EntryPtr> all;
    std::set<const TBQDataEntry*> seen;
    std::vector<EntryPtr> pending(tops.rbegin(), tops.rend());
    while (!pending.empty()) {
        auto e = pending.back();
        pending.pop_back();
        if (!seen.insert(e.get()).second)
            continue;
        all.push_back(e);
        for (auto it = e->subObjects().rbegin(); it != e->subObjects().rend(); ++it)
            pending.push_back(*it);
    }
    return all;
}

bool isFilteredRoot(const TBQDataEntry& e)
{
    return e.isKindOf(LMVFilteredDataEntryRoot::staticClassInfo());
}

// The lists and parent links, by name, to see that a refused call changed nothing.
std::string dataEntryShape(const std::vector<EntryPtr>& all)
{
    std::string text;
    for (const auto& e : all) {
        text += e->name().utf8() + ":";
        for (const auto& child : e->subObjects())
            text += " " + child->name().utf8();
        text += e->parent() ? " ^" + e->parent()->name().utf8() + "; " : "; ";
    }
    return text;
}

bool dataEntryReaches(const TBQDataEntry* from, const TBQDataEntry* to)
{
    std::set<const TBQDataEntry*> seen;
    std::vector<const TBQDataEntry*> pending { from };
    while (!pending.empty()) {
        auto e = pending.back();
        pending.pop_back();
        if (e == to)
            return true;
        if (!seen.insert(e).second)
            continue;
        for (const auto& child : e->subObjects())
            pending.push_back(child.get());
    }
    return false;
}

// The tree's rules, whatever calls made it: no entry holds itself through the lists, the parent links end, an entry
// stands in one list at most of the entries that own what they list, and that entry is its parent. A filtered root
// only shows; once decoded it is the parent of nothing it lists.
void expectDataEntryTree(const std::vector<EntryPtr>& all, bool decoded, const std::string& context)
{
    std::map<const TBQDataEntry*, const TBQDataEntry*> owner;
    for (const auto& e : all) {
        for (const auto& child : e->subObjects()) {
            ASSERT_FALSE(dataEntryReaches(child.get(), e.get()))
                << context << ": " << e->name().utf8() << " holds itself through " << child->name().utf8();
            if (isFilteredRoot(*e)) {
                if (decoded) {
                    EXPECT_NE(child->parent(), e) << context << ": decoded filtered root " << e->name().utf8()
                                                  << " owns " << child->name().utf8();
                }
                continue;
            }
            ASSERT_TRUE(owner.emplace(child.get(), e.get()).second)
                << context << ": " << child->name().utf8() << " is listed twice";
            EXPECT_EQ(child->parent(), e)
                << context << ": " << child->name().utf8() << " has another parent than " << e->name().utf8();
        }
        std::size_t steps = 0;
        for (auto up = e->parent(); up; up = up->parent())
            ASSERT_LE(++steps, all.size() + 8)
                << context << ": the parent links above " << e->name().utf8() << " circle";
    }
    // The flat walk meets every entry below once.
    for (const auto& e : all) {
        auto flat = e->filteredFlatObjectTreeWithPredicate(nullptr, TBQDataEntry::staticClassInfo());
        auto below = dataEntriesBelow({ e });
        std::set<const TBQDataEntry*> listed;
        for (const auto& f : flat)
            listed.insert(f.get());
        EXPECT_EQ(listed.size(), flat.size()) << context << ": flat list of " << e->name().utf8() << " repeats";
        EXPECT_EQ(flat.size() + 1, below.size()) << context << ": flat list of " << e->name().utf8();
    }
}

// The archive of each top entry reads back and archives again to the same data; the decoded tree keeps the rules.
void expectDataEntryArchivesReadBack(const std::vector<EntryPtr>& tops, const std::string& context)
{
    for (const auto& top : tops) {
        auto data = KeyedArchiver::archivedDataWithRootObject(Value(top));
        ASSERT_TRUE(data) << context << ": " << data.error().localizedDescription();
        auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
        ASSERT_TRUE(decoded) << context << ", archive of " << top->name().utf8() << ": "
                             << decoded.error().localizedDescription();
        auto back = decoded->objectAs<TBQDataEntry>();
        ASSERT_TRUE(back) << context;
        auto again = KeyedArchiver::archivedDataWithRootObject(Value(back));
        ASSERT_TRUE(again) << context;
        EXPECT_TRUE(*again == *data) << context << ": the decoded " << top->name().utf8() << " archives differently";
        expectDataEntryTree(dataEntriesBelow({ back }), true, context + ", decoded " + top->name().utf8());
    }
}

TEST(DataEntryTree, RandomCallsKeepATreeWhoseArchiveReadsBack)
{
    constexpr int Seeds = 20, Steps = 80;
    for (unsigned seed = 1; seed <= Seeds; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        std::vector<EntryPtr> tops;
        int made = 0;
        auto make = [&](EntryPtr e) {
            e->setName(String(std::string(1, char('a' + made++))));
            tops.push_back(e);
            return e;
        };
        for (int i = 0; i < 4; ++i)
            make(makeObject<TBQDataEntry>());
        make(makeObject<TBQDataGroupEntry>());
        for (int i = 0; i < 2; ++i)
            make(makeObject<LMVFilteredDataEntryRoot>());

        for (int step = 0; step < Steps; ++step) {
            auto all = dataEntriesBelow(tops);
            auto into = all[pick(all.size())], other = all[pick(all.size())];
            const auto before = dataEntryShape(all);
            std::string what;
            std::function<void()> call;
            switch (pick(9)) {
            case 0:
                what = "insertObject";
                call = [&] { into->insertObject(other, Index(pick(std::size_t(into->objectCount()) + 2))); };
                break;
            case 1:
                what = "insertObjects";
                call = [&] {
                    into->insertObjects(
                        { other, all[pick(all.size())] }, Index(pick(std::size_t(into->objectCount()) + 1)));
                };
                break;
            case 2:
                what = "removeObject";
                call = [&] { into->removeObject(other.get()); };
                break;
            case 3:
                what = "removeObjectsInRange";
                call = [&] { into->removeObjectsInRange({ Index(pick(3)), Index(pick(3)) }); };
                break;
            case 4:
                what = "setParent";
                call = [&] { into->setParent(pick(3) == 0 ? nullptr : other); };
                break;
            case 5: {
                auto filtered = std::dynamic_pointer_cast<LMVFilteredDataEntryRoot>(tops[5 + pick(2)]);
                what = "addFilteredObjects";
                call = [&, filtered] {
                    filtered->addFilteredObjects(pick(2)
                            ? TBQDataEntry::EntryArray { other }
                            : other->filteredFlatObjectTreeWithPredicate(nullptr, TBQDataEntry::staticClassInfo()));
                };
                break;
            }
            case 6:
                what = "copy";
                call = [&] {
                    if (all.size() < 40)
                        make(other->copy());
                };
                break;
            case 7:
                what = "setParentPointerForSubObjectTree";
                call = [&] { into->setParentPointerForSubObjectTree(); };
                break;
            default:
                what = "addObject";
                call = [&] { into->addObject(other); };
                break;
            }
            const auto context = "seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " + what + " "
                + other->name().utf8() + " / " + into->name().utf8() + " with " + before;
            try {
                call();
            } catch (const Exception& e) {
                EXPECT_TRUE(e.name() == ExceptionName::InvalidArgument || e.name() == ExceptionName::Range)
                    << context << ": " << e.name().utf8();
                ASSERT_EQ(dataEntryShape(all), before) << context << ": the refused call changed the tree";
            }
            expectDataEntryTree(dataEntriesBelow(tops), false, context);
            if (::testing::Test::HasFatalFailure())
                return;
            if (step % 20 == 19)
                expectDataEntryArchivesReadBack(tops, context);
        }
    }
}

}
