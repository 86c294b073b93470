// Random public calls on source-list items, with items freed and delegates set and cleared along the way: after each
// call, the root every living item reports, and the delegate each report reaches, are those a fresh climb along the
// parent links gives. Items remember their roots, so a change that leaves a remembered root stale shows here.
#include "SourceListTestSupport.h"

#include "support/Raised.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace sourcelisttest;

namespace {

// The item found by following the parent links; links that circle fail the test.
const Item* sourceListItemRootsClimb(const Item* item, std::size_t made)
{
    for (std::size_t steps = 0; steps <= made; ++steps) {
        auto up = item->parent();
        if (!up)
            return item;
        item = up.get(); // held by its own owners
    }
    ADD_FAILURE() << "the parent links circle";
    return nullptr;
}

// Notes each report it hears, and whether the climb agrees that it is the root's delegate.
class SourceListItemRootsDelegate : public ZOROutlineSourceListItemDelegate {
public:
    SourceListItemRootsDelegate(std::string name, std::vector<std::string>& heard, const std::size_t& made)
        : m_name(std::move(name))
        , m_heard(heard)
        , m_made(made)
    {
    }
    void outlineSourceListItemDidAddEntry(Item& parent, Item&, fnd::Index) override { hear(parent); }
    void outlineSourceListItemDidRemoveEntry(Item& parent, Item&, fnd::Index) override { hear(parent); }
    void outlineSourceListItemAttributesChanged(Item& item) override { hear(item); }

private:
    void hear(const Item& about)
    {
        const auto* root = sourceListItemRootsClimb(&about, m_made);
        const bool mine = root && root->delegate().get() == this;
        m_heard.push_back(m_name + (mine ? "" : " (not the root's delegate)") + " about " + about.title().utf8());
    }

    std::string m_name;
    std::vector<std::string>& m_heard;
    const std::size_t& m_made;
};

TEST(ZOROutlineSourceListItemRootProperty, RootsAndDelegatesHeardMatchAFreshClimb)
{
    constexpr int Seeds = 30, Steps = 200, Slots = 8, Delegates = 3;
    for (unsigned seed = 1; seed <= Seeds; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        std::vector<std::string> heard;
        std::vector<std::weak_ptr<Item>> made;
        std::size_t madeCount = 0;
        auto make = [&] {
            // Titled without telling anyone: setTitle reports, and the test keeps count of reports itself.
            auto item = Item::create();
            item->setIdentifier(fnd::String("i" + std::to_string(made.size())));
            made.push_back(item);
            madeCount = made.size();
            return item;
        };
        std::vector<Item::Ptr> slots;
        for (int i = 0; i < Slots; ++i)
            slots.push_back(make());
        std::vector<std::shared_ptr<SourceListItemRootsDelegate>> delegates;
        int delegatesMade = 0;
        auto makeDelegate = [&] {
            return std::make_shared<SourceListItemRootsDelegate>(
                "d" + std::to_string(delegatesMade++), heard, madeCount);
        };
        for (int i = 0; i < Delegates; ++i)
            delegates.push_back(makeDelegate());

        for (int step = 0; step < Steps; ++step) {
            // Any living item may be acted on, also one only the lists still hold.
            std::vector<Item::Ptr> living;
            for (const auto& weak : made)
                if (auto item = weak.lock())
                    living.push_back(item);
            auto into = living[pick(living.size())];
            auto other = living[pick(living.size())];
            const auto* rootBefore = sourceListItemRootsClimb(into.get(), madeCount);
            ASSERT_TRUE(rootBefore);
            const auto told = rootBefore->delegate();
            const auto listed = into->countOfChildren();
            const bool isChild = into->indexOfChild(other.get()) != fnd::NotFound;
            // How many reports the call makes (when not refused).
            std::size_t reports = 0;
            std::function<void()> call;
            std::string what;
            switch (pick(14)) {
            case 0:
            case 1:
                what = "addChild";
                call = [&] { into->addChild(other); };
                reports = 1;
                break;
            case 2:
                what = "insertChild";
                call = [&] { into->insertChild(other, fnd::Index(pick(3))); };
                reports = 1;
                break;
            case 3:
                what = "silentAddChild";
                call = [&] { into->silentAddChild(other); };
                break;
            case 4:
                what = "silentInsertChild";
                call = [&] { into->silentInsertChild(other, fnd::Index(pick(3))); };
                break;
            case 5:
                what = "removeChild";
                call = [&] { into->removeChild(other.get()); };
                reports = isChild ? 1 : 0;
                break;
            case 6:
                what = "removeAllChildren";
                call = [&] { into->removeAllChildren(); };
                reports = std::size_t(listed);
                break;
            case 7: {
                Item::Children list;
                for (auto n = pick(4); n > 0; --n)
                    list.push_back(living[pick(living.size())]);
                what = "setChildren";
                call = [&, list] { into->setChildren(list); };
                break;
            }
            case 8: {
                auto parent = pick(4) == 0 ? nullptr : other;
                what = parent ? "setParent" : "setParent nil";
                call = [&, parent] { into->setParent(parent); };
                break;
            }
            case 9:
                what = "setParentForTree";
                call = [&] { into->setParentForTree(); };
                break;
            case 10:
                what = "setTitle";
                call = [&] { into->setTitle(fnd::String("t" + std::to_string(step))); };
                reports = 1;
                break;
            case 11:
                // The test lets go of one of its items, which lives on only in the lists that hold it, if any.
                what = "free a slot";
                call = [&] { slots[pick(slots.size())] = make(); };
                break;
            case 12:
                what = "setDelegate";
                call = [&] { into->setDelegate(pick(3) == 0 ? nullptr : delegates[pick(delegates.size())]); };
                break;
            default:
                what = "free a delegate";
                call = [&] { delegates[pick(delegates.size())] = makeDelegate(); };
                break;
            }
            const auto context = "seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " + what + " "
                + other->identifier().utf8() + " into " + into->identifier().utf8();
            heard.clear();
            if (raised(call))
                reports = 0;
            // `into` holds its own root; a refused call changes nothing.
            const auto expectedHeard = told ? reports : 0;
            ASSERT_EQ(heard.size(), expectedHeard) << context;
            for (const auto& report : heard)
                ASSERT_EQ(report.find("(not"), std::string::npos) << context << ": " << report;

            into.reset();
            other.reset();
            living.clear();
            // Checked in a random order, and only some of them, so some roots stay unasked across later steps.
            std::vector<std::size_t> order(made.size());
            for (std::size_t i = 0; i < order.size(); ++i)
                order[i] = i;
            std::shuffle(order.begin(), order.end(), random);
            for (auto i : order) {
                auto item = made[i].lock();
                if (!item || pick(3) == 0)
                    continue;
                const auto* expected = sourceListItemRootsClimb(item.get(), madeCount);
                ASSERT_EQ(item->rootObject().get(), expected)
                    << context << ": the root of " << item->identifier().utf8() << " is "
                    << item->rootObject()->identifier().utf8() << ", the climb ends at "
                    << (expected ? expected->identifier().utf8() : "?");
            }
        }
        // Remembered roots own nothing: the items go with their last owner.
        slots.clear();
        for (const auto& item : made)
            EXPECT_TRUE(item.expired()) << "seed " << seed << ": an item outlived its owners";
    }
}

}
