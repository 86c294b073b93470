// Random public calls on data entries, with subtrees dropped from their lists and freed, entries the test lets go
// of, and delegates set and freed along the way. After each call: whether it was refused is what a fresh look at the
// parent links and the lists says, each report reaches the delegate of the root a fresh climb finds, and the root
// every living entry reports is the one the climb ends at. Entries remember their roots and count the entries linked
// to them, so a change that leaves either stale shows here.
#include "BarcodeTestSupport.h"

#include "support/Raised.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>

using namespace fnd;

namespace {

using EntryPtr = TBQDataEntry::EntryPtr;

// The entry found by following the parent links; links that circle fail the test.
const TBQDataEntry* dataEntryRootsClimb(const TBQDataEntry* entry, std::size_t made)
{
    for (std::size_t steps = 0; steps <= made; ++steps) {
        auto up = entry->parent();
        if (!up)
            return entry;
        entry = up.get(); // held by its own owners
    }
    ADD_FAILURE() << "the parent links circle";
    return nullptr;
}

// True when `to` is `from` or one of its ancestors by parent links.
bool dataEntryRootsLinksLeadTo(const TBQDataEntry* from, const TBQDataEntry* to, std::size_t made)
{
    for (std::size_t steps = 0; from && steps <= made; ++steps) {
        if (from == to)
            return true;
        from = from->parent().get(); // held by its own owners
    }
    return false;
}

// True when `to` stands somewhere below `from` in the lists, owning or only showing.
bool dataEntryRootsListsHold(const TBQDataEntry* from, const TBQDataEntry* to)
{
    std::set<const TBQDataEntry*> seen;
    std::vector<const TBQDataEntry*> pending { from };
    while (!pending.empty()) {
        const auto* entry = pending.back();
        pending.pop_back();
        for (const auto& child : entry->subObjects()) {
            if (child.get() == to)
                return true;
            if (seen.insert(child.get()).second)
                pending.push_back(child.get());
        }
    }
    return false;
}

bool dataEntryRootsIsFiltered(const TBQDataEntry& entry)
{
    return entry.isKindOf(LMVFilteredDataEntryRoot::staticClassInfo());
}

// Notes each report it hears, and whether a fresh climb agrees that it is the root's delegate.
class DataEntryRootsDelegate : public TBQDataEntryDelegate {
public:
    DataEntryRootsDelegate(std::string name, std::vector<std::string>& heard, const std::size_t& made)
        : m_name(std::move(name))
        , m_heard(heard)
        , m_made(made)
    {
    }
    void attributesChangedOfDataEntry(TBQDataEntry& entry) override { hear(entry); }
    void dataEntryDidAddEntry(TBQDataEntry& entry, TBQDataEntry&) override { hear(entry); }
    void dataEntryDidInsertEntrys(TBQDataEntry& entry, const TBQDataEntry::EntryArray&, Index) override { hear(entry); }
    void dataEntryDidRemoveEntry(TBQDataEntry& entry, TBQDataEntry&) override { hear(entry); }
    void dataEntryDidRemoveEntryInRange(TBQDataEntry& entry, Range) override { hear(entry); }

private:
    void hear(const TBQDataEntry& about)
    {
        const auto* root = dataEntryRootsClimb(&about, m_made);
        const bool mine = root && root->delegate().get() == this;
        m_heard.push_back(m_name + (mine ? "" : " (not the root's delegate)") + " about " + about.name().utf8());
    }

    std::string m_name;
    std::vector<std::string>& m_heard;
    const std::size_t& m_made;
};

TEST(DataEntryRoots, RefusalsReportsAndRootsMatchAFreshLook)
{
    constexpr int Seeds = 30, Steps = 200, Slots = 8, Delegates = 3;
    constexpr std::size_t MostLiving = 40;
    for (unsigned seed = 1; seed <= Seeds; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        std::vector<std::string> heard;
        std::vector<std::weak_ptr<TBQDataEntry>> made;
        std::size_t madeCount = 0;
        // Named without telling anyone: the test counts the reports of its own calls only.
        auto adopt = [&](const EntryPtr& top) {
            std::vector<EntryPtr> pending { top };
            while (!pending.empty()) {
                auto e = pending.back();
                pending.pop_back();
                if (std::any_of(made.begin(), made.end(), [&](const auto& m) { return m.lock() == e; }))
                    continue;
                e->setName(String("e" + std::to_string(made.size())));
                made.push_back(e);
                pending.insert(pending.end(), e->subObjects().begin(), e->subObjects().end());
            }
            madeCount = made.size();
            return top;
        };
        auto make = [&] { return adopt(makeObject<TBQDataEntry>()); };
        std::vector<EntryPtr> slots;
        for (int i = 0; i < Slots; ++i)
            slots.push_back(make());
        auto filtered = makeObject<LMVFilteredDataEntryRoot>();
        adopt(filtered);
        std::vector<std::shared_ptr<DataEntryRootsDelegate>> delegates;
        int delegatesMade = 0;
        auto makeDelegate = [&] {
            return std::make_shared<DataEntryRootsDelegate>("d" + std::to_string(delegatesMade++), heard, madeCount);
        };
        for (int i = 0; i < Delegates; ++i)
            delegates.push_back(makeDelegate());

        for (int step = 0; step < Steps; ++step) {
            // Any living entry may be acted on, also one only the lists or a parent link's owner still hold.
            std::vector<EntryPtr> living;
            for (const auto& weak : made)
                if (auto e = weak.lock())
                    living.push_back(e);
            auto into = living[pick(living.size())];
            auto other = living[pick(living.size())];
            auto third = living[pick(living.size())];
            // What the tree's rules refuse: an entry that is `into` or one of its ancestors, that holds `into` below
            // itself, or that its parent or an owning list holds already.
            auto listedByOwner = [&](const TBQDataEntry* e) {
                if (auto parent = e->parent(); parent && parent->indexOfObject(e) != NotFound)
                    return true;
                return std::any_of(living.begin(), living.end(), [&](const EntryPtr& holder) {
                    return !dataEntryRootsIsFiltered(*holder) && holder->indexOfObject(e) != NotFound;
                });
            };
            auto refusedUnder = [&](const TBQDataEntry* e) {
                return dataEntryRootsLinksLeadTo(into.get(), e, madeCount) || dataEntryRootsListsHold(e, into.get())
                    || listedByOwner(e);
            };
            const auto* rootBefore = dataEntryRootsClimb(into.get(), madeCount);
            ASSERT_TRUE(rootBefore);
            const auto told = rootBefore->delegate();
            const auto count = std::size_t(into->objectCount());
            bool refused = false;
            std::size_t reports = 0;
            std::function<void()> call;
            std::string what;
            switch (pick(15)) {
            case 0:
            case 1:
                what = "addObject";
                call = [&] { into->addObject(other); };
                refused = refusedUnder(other.get());
                reports = 1;
                break;
            case 2:
                what = "insertObject";
                call = [&, index = Index(pick(count + 1))] { into->insertObject(other, index); };
                refused = refusedUnder(other.get());
                reports = 1;
                break;
            case 3:
                what = "insertObjects";
                call = [&, index = Index(pick(count + 1))] { into->insertObjects({ other, third }, index); };
                refused = other == third || refusedUnder(other.get()) || refusedUnder(third.get());
                reports = 1;
                break;
            case 4:
                what = "removeObject";
                call = [&] { into->removeObject(other.get()); };
                reports = into->indexOfObject(other.get()) != NotFound ? 1 : 0;
                break;
            case 5: {
                // The whole list as often as not: whole subtrees go, with entries that remember their roots.
                const auto location = pick(2) ? 0 : pick(count + 1);
                const auto length = pick(2) ? count - location : pick(count - location + 1);
                what = "removeObjectsInRange";
                call = [&, range = Range { Index(location), Index(length) }] { into->removeObjectsInRange(range); };
                reports = 1;
                break;
            }
            case 6: {
                auto parent = pick(4) == 0 ? nullptr : other;
                what = parent ? "setParent" : "setParent nil";
                call = [&, parent] { into->setParent(parent); };
                const auto current = into->parent();
                refused = parent != current
                    && ((current && current->indexOfObject(into.get()) != NotFound)
                        || (parent && dataEntryRootsLinksLeadTo(parent.get(), into.get(), madeCount)));
                break;
            }
            case 7:
                what = "setParentPointerForSubObjectTree";
                call = [&] { into->setParentPointerForSubObjectTree(); };
                break;
            case 8:
                what = "setName";
                call = [&] { into->setName(into->name()); };
                reports = 1;
                break;
            case 9:
                // The test lets go of one of its entries, which lives on only where the lists hold it, if anywhere.
                what = "free a slot";
                call = [&] { slots[pick(slots.size())] = make(); };
                break;
            case 10:
                what = "setDelegate";
                call = [&] { into->setDelegate(pick(3) == 0 ? nullptr : delegates[pick(delegates.size())]); };
                break;
            case 11:
                what = "free a delegate";
                call = [&] { delegates[pick(delegates.size())] = makeDelegate(); };
                break;
            case 12:
                what = "copy";
                call = [&] {
                    if (living.size() < MostLiving)
                        slots[pick(slots.size())] = adopt(other->copy());
                };
                break;
            case 13:
                what = "archive and read back";
                call = [&] {
                    if (living.size() >= MostLiving)
                        return;
                    auto data = KeyedArchiver::archivedDataWithRootObject(Value(other));
                    ASSERT_TRUE(data) << data.error().localizedDescription();
                    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
                    ASSERT_TRUE(decoded) << decoded.error().localizedDescription();
                    slots[pick(slots.size())] = adopt(decoded->objectAs<TBQDataEntry>());
                };
                break;
            default:
                what = "addFilteredObjects";
                call = [&] { filtered->addFilteredObjects({ other }); };
                refused = other == filtered || dataEntryRootsListsHold(other.get(), filtered.get());
                break;
            }
            const auto context = "seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " + what + " "
                + other->name().utf8() + " / " + third->name().utf8() + " into " + into->name().utf8();
            heard.clear();
            auto error = raised(call);
            ASSERT_FALSE(::testing::Test::HasFatalFailure()) << context;
            ASSERT_EQ(bool(error), refused) << context << (error ? ": " + error->reason().utf8() : "");
            if (error) {
                EXPECT_EQ(error->name(), ExceptionName::InvalidArgument) << context;
                reports = 0;
            }
            // `into` keeps its root through its own call.
            ASSERT_EQ(heard.size(), told ? reports : 0) << context;
            for (const auto& report : heard)
                ASSERT_EQ(report.find("(not"), std::string::npos) << context << ": " << report;

            // Whatever the call dropped is freed here.
            into.reset();
            other.reset();
            third.reset();
            living.clear();
            // Checked in a random order, and only some of them, so some roots stay unasked across later steps.
            std::vector<std::size_t> order(made.size());
            for (std::size_t i = 0; i < order.size(); ++i)
                order[i] = i;
            std::shuffle(order.begin(), order.end(), random);
            EntryPtr previous;
            for (auto i : order) {
                auto e = made[i].lock();
                if (!e || pick(3) == 0)
                    continue;
                const auto* expected = dataEntryRootsClimb(e.get(), madeCount);
                ASSERT_EQ(e->rootObject().get(), expected)
                    << context << ": the root of " << e->name().utf8() << " is " << e->rootObject()->name().utf8()
                    << ", the climb ends at " << (expected ? expected->name().utf8() : "?");
                if (previous) {
                    EXPECT_EQ(e->isDescendantOfNode(previous.get()),
                        dataEntryRootsLinksLeadTo(e.get(), previous.get(), madeCount))
                        << context << ": is " << previous->name().utf8() << " an ancestor of " << e->name().utf8();
                }
                previous = e;
            }
        }
        // Remembered roots and linked counts own nothing: the entries go with their last owner.
        slots.clear();
        filtered.reset();
        for (const auto& e : made)
            EXPECT_TRUE(e.expired()) << "seed " << seed << ": an entry outlived its owners";
    }
}

}
