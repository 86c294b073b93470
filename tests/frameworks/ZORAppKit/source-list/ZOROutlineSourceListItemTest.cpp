#include "SourceListTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/graphics/BezierPath.h"
#include "support/KeyRecorder.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace sourcelisttest;

namespace {

// Writes what it hears into a shared log, with the tree as it stood then.
class ItemLog : public ZOROutlineSourceListItemDelegate {
public:
    void outlineSourceListItemDidAddEntry(Item& parent, Item& child, fnd::Index index) override
    {
        log->push_back("delegate add " + child.title().utf8() + " at " + std::to_string(index) + " of "
            + std::to_string(parent.countOfChildren()));
    }
    void outlineSourceListItemDidRemoveEntry(Item& parent, Item& child, fnd::Index index) override
    {
        log->push_back("delegate remove " + child.title().utf8() + " at " + std::to_string(index)
            + (child.parent().get() == &parent ? " still linked" : " unlinked"));
    }
    void outlineSourceListItemAttributesChanged(Item& item) override
    {
        log->push_back("delegate title " + item.title().utf8());
    }
    std::vector<std::string>* log { nullptr };
};

class ZOROutlineSourceListItemTest : public ::testing::Test {
protected:
    ZOROutlineSourceListItemTest()
    {
        delegate->log = &log;
        root->setDelegate(delegate);
        auto& center = fnd::NotificationCenter::defaultCenter();
        for (const auto& name :
            { ZOROutlineSourceListItemNotification::DidAddEntry, ZOROutlineSourceListItemNotification::DidRemoveEntry,
                ZOROutlineSourceListItemNotification::AttributesChangedEntry })
            tokens.push_back(center.addObserverForName(name, {}, [this, name](const fnd::Notification& note) {
                auto item = note.object().objectAs<Item>();
                auto parent = note.userInfo().get("parent").objectAs<Item>();
                std::string kind = name == ZOROutlineSourceListItemNotification::DidAddEntry ? "add"
                    : name == ZOROutlineSourceListItemNotification::DidRemoveEntry           ? "remove"
                                                                                             : "title";
                log.push_back("note " + kind + " " + (item ? item->title().utf8() : "?")
                    + (parent ? " in " + parent->title().utf8() : ""));
            }));
    }
    ~ZOROutlineSourceListItemTest() override
    {
        for (auto token : tokens)
            fnd::NotificationCenter::defaultCenter().removeObserver(token);
    }

    std::vector<std::string> log;
    std::shared_ptr<ItemLog> delegate = std::make_shared<ItemLog>();
    Item::Ptr root = Item::create("root");
    std::vector<fnd::NotificationObserverToken> tokens;
};

TEST_F(ZOROutlineSourceListItemTest, ChangesAreMadeThenToldToTheRootDelegateThenPosted)
{
    auto group = Item::create("group");
    auto a = Item::create("a");
    auto b = Item::create("b");
    auto c = Item::create("c");
    auto d = Item::create("d");
    log.clear();
    root->addChild(group);
    group->addChild(a);
    group->insertChild(b, 0);
    group->childAtIndex(1)->setTitle("A");
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "delegate add group at 0 of 1",
            "note add group in root",
            "delegate add a at 0 of 1",
            "note add a in group",
            "delegate add b at 0 of 2",
            "note add b in group",
            "delegate title A",
            "note title A",
        }))
        << "only the root's delegate is asked, after the tree changed";

    log.clear();
    group->silentAddChild(c);
    group->silentInsertChild(d, 0);
    group->setBadgeValue(3);
    group->setIdentifier("id");
    EXPECT_TRUE(log.empty()) << "silent forms and the other setters report nothing";
    EXPECT_EQ(group->childAtIndex(0)->parent(), group);
}

// Made with a title, an item sets it as setTitle does: the change is posted (a new item is its own root and has no
// delegate to tell). Made without one, it reports nothing.
TEST_F(ZOROutlineSourceListItemTest, AnItemMadeWithATitleReportsItAsSetTitleDoes)
{
    auto plain = Item::create();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(plain->title().isEmpty());
    EXPECT_EQ(plain->badgeValue(), -1);

    auto titled = Item::create("Inbox");
    auto named = Item::create("Drafts", "drafts");
    EXPECT_EQ(log, (std::vector<std::string> { "note title Inbox", "note title Drafts" }));
    EXPECT_EQ(named->identifier(), "drafts");
    EXPECT_EQ(titled->rootObject(), titled);
}

TEST_F(ZOROutlineSourceListItemTest, RemovingAllChildrenReportsEachAtIndexZeroThenUnlinksIt)
{
    auto group = Item::create("group");
    root->silentAddChild(group);
    for (const char* name : { "a", "b", "c" })
        group->silentAddChild(Item::create(name));
    auto a = group->childAtIndex(0);
    log.clear();
    group->removeAllChildren();
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "delegate remove a at 0 still linked",
            "note remove a in group",
            "delegate remove b at 0 still linked",
            "note remove b in group",
            "delegate remove c at 0 still linked",
            "note remove c in group",
        }));
    EXPECT_EQ(group->countOfChildren(), 0);
    EXPECT_EQ(a->parent(), nullptr) << "a removed child no longer points at its old parent";
    EXPECT_EQ(a->rootObject(), a);

    // Anything that is no child, or an index outside, changes nothing.
    log.clear();
    group->removeChild(root.get());
    group->removeChildAtIndex(4);
    group->removeChildAtIndex(-1);
    EXPECT_TRUE(log.empty());
}

TEST_F(ZOROutlineSourceListItemTest, NavigationBadgesAndIdentifiers)
{
    EXPECT_EQ(root->badgeValue(), -1);
    EXPECT_FALSE(root->hasBadge());
    root->setBadgeValue(0);
    EXPECT_TRUE(root->hasBadge());
    EXPECT_FALSE(root->children());
    EXPECT_TRUE(root->childEnumerator().empty());
    EXPECT_TRUE(root->children()) << "the enumerator leaves an empty list behind";
    EXPECT_FALSE(root->hasChildren());

    root->silentAddChild(Item::create("first", "same"));
    root->silentAddChild(Item::create("second", "same"));
    EXPECT_EQ(root->childWithIdentifier("same")->title().utf8(), "second");
    EXPECT_EQ(root->childWithIdentifier("other"), nullptr);
    auto leaf = Item::create("leaf");
    root->childAtIndex(0)->silentAddChild(leaf);
    EXPECT_TRUE(leaf->isDescendantOfNodeOrSelf(leaf.get())) << "an item is its own descendant";
    EXPECT_TRUE(leaf->isDescendantOfNodeOrSelf(root.get()));
    EXPECT_FALSE(leaf->isDescendantOfNodeOrSelf(root->childAtIndex(1).get()));
    EXPECT_FALSE(leaf->isDescendantOfNodeOrSelf(nullptr));
    EXPECT_EQ(leaf->rootObject(), root);
    EXPECT_EQ(root->indexOfChild(leaf.get()), fnd::NotFound);

    // The flat filter: direct matches first, then each child's own.
    auto flat = root->filteredFlatObjectTreeWithPredicate(
        [](const Item& item) { return item.title().utf8() != "second"; }, Item::staticClassInfo());
    std::vector<std::string> titles;
    for (const auto& item : flat)
        titles.push_back(item->title().utf8());
    EXPECT_EQ(titles, (std::vector<std::string> { "first", "leaf" }));
}

// A drop handler that moves a group onto its own child: the parent links would circle and rootObject() would never
// return. Every way of placing an item under itself or a descendant is refused before anything changes.
TEST_F(ZOROutlineSourceListItemTest, PlacingAnItemUnderItselfOrItsDescendantIsRefused)
{
    auto group = Item::create("group"), child = Item::create("child"), grandchild = Item::create("grandchild");
    root->addChild(group);
    group->addChild(child);
    child->addChild(grandchild);
    // Linked by its parent link alone: `loose` lists no children, yet it is `tied`'s parent.
    auto loose = Item::create("loose"), tied = Item::create("tied");
    tied->setParent(loose);
    log.clear();
    const std::vector<std::pair<const char*, std::function<void()>>> moves {
        { "addChild of itself", [&] { group->addChild(group); } },
        { "addChild onto its child", [&] { child->addChild(group); } },
        { "insertChild onto its grandchild", [&] { grandchild->insertChild(group, 0); } },
        { "silentAddChild of the root onto a grandchild", [&] { grandchild->silentAddChild(root); } },
        { "silentInsertChild of itself", [&] { child->silentInsertChild(child, 0); } },
        { "setParent to its own child", [&] { group->setParent(child); } },
        { "silentAddChild onto the item it is the parent of", [&] { tied->silentAddChild(loose); } },
        { "setParent to the item it is the parent of", [&] { loose->setParent(tied); } },
    };
    for (const auto& [what, move] : moves) {
        auto error = raised(move);
        ASSERT_TRUE(error) << what;
        EXPECT_EQ(error->name(), fnd::ExceptionName::InvalidArgument) << what;
        EXPECT_EQ(root->rootObject(), root) << what;
        EXPECT_EQ(grandchild->rootObject(), root) << what;
        EXPECT_EQ(group->countOfChildren(), 1) << what;
        EXPECT_EQ(child->countOfChildren(), 1) << what;
        EXPECT_EQ(grandchild->countOfChildren(), 0) << what;
        EXPECT_EQ(group->parent(), root) << what;
        EXPECT_EQ(loose->parent(), nullptr) << what;
    }
    EXPECT_TRUE(log.empty()) << "a refused change reports nothing";

    // Moving the grandchild up beside its grandparent is fine.
    child->removeChild(grandchild.get());
    root->addChild(grandchild);
    EXPECT_EQ(grandchild->parent(), root);
}

// A child list is a list of items: a nil in it was read as an item by the lookup by identifier and by the archive.
TEST_F(ZOROutlineSourceListItemTest, AChildListWithANilItemIsRefused)
{
    auto group = Item::create("group"), kept = Item::create("kept");
    kept->setIdentifier("k");
    group->silentAddChild(kept);
    for (const auto& list : { Item::Children { nullptr }, Item::Children { Item::create("new"), nullptr } }) {
        auto error = raised([&] { group->setChildren(list); });
        ASSERT_TRUE(error) << "a list of " << list.size() << " with a nil was accepted";
        EXPECT_EQ(error->name(), fnd::ExceptionName::InvalidArgument);
        ASSERT_EQ(group->countOfChildren(), 1);
        EXPECT_EQ(group->childAtIndex(0), kept);
    }
    EXPECT_EQ(group->childWithIdentifier("k"), kept);
    EXPECT_EQ(group->childWithIdentifier("none"), nullptr);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(itemValue(group));
    ASSERT_TRUE(data);
    // An empty list is a list.
    group->setChildren(Item::Children {});
    EXPECT_FALSE(group->hasChildren());
    EXPECT_EQ(kept->parent(), group) << "setChildren sets no parent links";
}

// The root's delegate may drop the very item that reported: a delegate that removes the group a child was added to
// frees it while the add is still being reported.
TEST_F(ZOROutlineSourceListItemTest, AnItemFreedByTheDelegateItToldFinishesItsReport)
{
    class DroppingDelegate : public ZOROutlineSourceListItemDelegate {
    public:
        void outlineSourceListItemDidAddEntry(Item& parent, Item&, fnd::Index) override { root->removeChild(&parent); }
        void outlineSourceListItemDidRemoveEntry(Item& parent, Item& child, fnd::Index) override
        {
            if (&parent == root.get())
                heard.push_back("removed " + child.title().utf8());
        }
        Item::Ptr root;
        std::vector<std::string> heard;
    };
    auto dropping = std::make_shared<DroppingDelegate>();
    dropping->root = root;
    root->setDelegate(dropping);
    const std::vector<std::pair<const char*, std::function<void(Item&, const Item::Ptr&)>>> adds {
        { "addChild", [](Item& group, const Item::Ptr& child) { group.addChild(child); } },
        { "insertChild", [](Item& group, const Item::Ptr& child) { group.insertChild(child, 0); } },
    };
    for (const auto& [what, add] : adds) {
        std::weak_ptr<Item> group;
        auto child = Item::create("child");
        {
            auto made = Item::create("group");
            root->silentAddChild(made);
            group = made;
        }
        // Only root's list holds the group while it reports.
        Item* reporting = group.lock().get();
        log.clear();
        add(*reporting, child);
        EXPECT_TRUE(group.expired()) << what;
        EXPECT_EQ(root->countOfChildren(), 0) << what;
        EXPECT_EQ(log, (std::vector<std::string> { "note remove group in root", "note add child in group" })) << what;
    }
    EXPECT_EQ(dropping->heard, (std::vector<std::string> { "removed group", "removed group" }));
    dropping->root.reset();
}

// An item may stand in two child lists (b under a and under z); its parent link names only the last. Adding a
// below c, which b holds, would close the loop a, b, c, a through the child lists, where the parent links c, b, z
// show none: the loop would never be freed and z's archive would not read back. Every form of adding refuses it and
// changes nothing; adds that close no loop still go through, a shared item and a subtree with children of its own
// among them.
TEST_F(ZOROutlineSourceListItemTest, AnAddThatClosesALoopThroughTheChildListsIsRefused)
{
    std::vector<std::weak_ptr<Item>> made;
    {
        auto a = Item::create("a"), b = Item::create("b"), c = Item::create("c"), z = Item::create("z");
        made = { a, b, c, z };
        a->silentAddChild(b);
        z->silentAddChild(b);
        b->silentAddChild(c);
        root->addChild(z);
        auto fresh = Item::create("fresh");
        log.clear();
        const std::vector<std::pair<const char*, std::function<void()>>> loops {
            { "addChild", [&] { c->addChild(a); } },
            { "insertChild", [&] { c->insertChild(a, 0); } },
            { "silentAddChild", [&] { c->silentAddChild(a); } },
            { "silentInsertChild", [&] { c->silentInsertChild(a, 0); } },
            { "setChildren",
                [&] {
                    c->setChildren(Item::Children { fresh, a });
                } },
            { "addChild of the item holding the shared one", [&] { c->addChild(z); } },
            { "setChildren of the item itself", [&] { c->setChildren(Item::Children { c }); } },
        };
        for (const auto& [what, add] : loops) {
            auto error = raised(add);
            ASSERT_TRUE(error) << what << " was accepted";
            EXPECT_EQ(error->name(), fnd::ExceptionName::InvalidArgument) << what;
            EXPECT_FALSE(c->children()) << what << " changed c's children";
            EXPECT_EQ(a->parent(), nullptr) << what;
            EXPECT_EQ(z->parent(), root) << what;
            EXPECT_EQ(b->parent(), z) << what;
        }
        EXPECT_TRUE(log.empty()) << "a refused add reports nothing";

        for (const auto& top : { z, a }) {
            auto data = fnd::KeyedArchiver::archivedDataWithRootObject(itemValue(top));
            ASSERT_TRUE(data) << top->title().utf8();
            auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
            ASSERT_TRUE(back) << top->title().utf8() << ": " << back.error().localizedDescription().utf8();
        }

        // No loop: a shared item under a third holder; a subtree with children of its own beside it; a tree that
        // holds the shared item, under a new top.
        auto d = Item::create("d");
        d->silentAddChild(Item::create("e"));
        c->addChild(d);
        root->addChild(b);
        auto top = Item::create("top");
        top->addChild(a);
        c->setChildren(Item::Children { d, Item::create("f") });
        EXPECT_EQ(c->countOfChildren(), 2);
        EXPECT_EQ(a->parent(), top);
        root->removeChild(z.get());
        root->removeChild(b.get());
    }
    for (const auto& item : made)
        EXPECT_TRUE(item.expired()) << "an item of the refused loop outlived its trees";
}

TEST_F(ZOROutlineSourceListItemTest, TheMinimumCoverKeepsOnlyTheTopmostNodes)
{
    auto g = Item::create("g"), p = Item::create("p"), c = Item::create("c"), other = Item::create("other");
    root->silentAddChild(g);
    g->silentAddChild(p);
    p->silentAddChild(c);
    root->silentAddChild(other);
    auto titles = [](const std::vector<Item::Ptr>& items) {
        std::string text;
        for (const auto& item : items)
            text += item->title().utf8() + " ";
        return text;
    };
    EXPECT_EQ(titles(Item::minimumNodeCoverFromNodesInArray({ c, p, other })), "p other ");
    EXPECT_EQ(titles(Item::minimumNodeCoverFromNodesInArray({ p, c })), "p ");
    // The grandparent comes after the grandchild, with the parent absent: only the grandparent covers.
    EXPECT_EQ(titles(Item::minimumNodeCoverFromNodesInArray({ c, other, g })), "other g ");
    EXPECT_EQ(titles(Item::minimumNodeCoverFromNodesInArray({ c, c })), "c ");
    EXPECT_TRUE(Item::minimumNodeCoverFromNodesInArray({}).empty());
}

// The cover step by step as it is defined: take the first node left, climb while its parent is left (taking each node
// passed), keep the node reached unless a kept one holds it, then drop every kept node another kept one holds.
std::vector<Item::Ptr> sourceListItemCoverStepByStep(const std::vector<Item::Ptr>& nodes)
{
    auto remaining = nodes;
    std::vector<Item::Ptr> cover;
    auto take
        = [&](const Item* node) { std::erase_if(remaining, [&](const Item::Ptr& p) { return p.get() == node; }); };
    auto holds = [&](const Item* node) {
        return std::any_of(remaining.begin(), remaining.end(), [&](const Item::Ptr& p) { return p.get() == node; });
    };
    while (!remaining.empty()) {
        auto node = remaining.front();
        remaining.erase(remaining.begin());
        if (!node)
            continue;
        for (auto up = node->parent(); up && holds(up.get()); up = node->parent()) {
            take(node.get());
            node = up;
        }
        if (!node->isDescendantOfNodeInArray(cover))
            cover.push_back(node);
        take(node.get());
    }
    std::vector<Item::Ptr> pruned;
    for (const auto& node : cover)
        if (std::none_of(cover.begin(), cover.end(),
                [&](const Item::Ptr& other) { return other != node && node->isDescendantOfNodeOrSelf(other.get()); }))
            pruned.push_back(node);
    return pruned;
}

// Random selections (repeats, nils and ancestors in any order) of random trees: the cover is the step-by-step one,
// order included.
TEST(ZOROutlineSourceListItemTree, TheMinimumCoverOfRandomSelectionsIsTheStepByStepOne)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        std::vector<Item::Ptr> items { Item::create("0") };
        const std::size_t count = 2 + pick(30);
        for (std::size_t i = 1; i < count; ++i) {
            items.push_back(Item::create(fnd::String(std::to_string(i))));
            items[pick(i)]->silentAddChild(items.back());
        }
        std::vector<Item::Ptr> selection;
        for (std::size_t n = pick(2 * count); n > 0; --n)
            selection.push_back(pick(12) == 0 ? nullptr : items[pick(count)]);
        auto names = [](const std::vector<Item::Ptr>& list) {
            std::string text;
            for (const auto& item : list)
                text += (item ? item->title().utf8() : "nil") + " ";
            return text;
        };
        EXPECT_EQ(
            names(Item::minimumNodeCoverFromNodesInArray(selection)), names(sourceListItemCoverStepByStep(selection)))
            << "seed " << seed << ", selection " << names(selection);
    }
}

TEST_F(ZOROutlineSourceListItemTest, AnArchiveBringsTheTreeBackAndACopyLeavesItBehind)
{
    auto group = Item::create("group", "g");
    group->setBadgeValue(42);
    auto icon = gfx::Image::imageWithSize({ 4, 4 });
    icon->lockFocus();
    gfx::Color::redColor()->setFill();
    gfx::BezierPath::fillRect({ 0, 0, 4, 4 });
    icon->unlockFocus();
    group->setIcon(icon);
    group->silentAddChild(Item::create("a"));
    group->silentAddChild(Item::create("b", "bee"));
    root->silentAddChild(group);

    // Every key is written, in this order, even for an item without icon or children.
    const std::vector<std::string> itemKeys { "title", "identifier", "icon", "children", "badgeValue" };
    EXPECT_EQ(testsupport::KeyRecorder::keyNamesOf(*group), itemKeys);
    EXPECT_EQ(testsupport::KeyRecorder::keyNamesOf(*Item::create("a")), itemKeys);

    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(itemValue(root));
    ASSERT_TRUE(data);
    log.clear();
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(back);
    auto copyRoot = back->objectAs<Item>();
    ASSERT_TRUE(copyRoot);
    EXPECT_EQ(std::count(log.begin(), log.end(), "note title group"), 1)
        << "decoding sets the title through its setter";
    auto g = copyRoot->childAtIndex(0);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->title().utf8(), "group");
    EXPECT_EQ(g->identifier().utf8(), "g");
    EXPECT_EQ(g->badgeValue(), 42);
    ASSERT_TRUE(g->icon());
    EXPECT_EQ(g->icon()->size(), (gfx::Size { 4, 4 }));
    EXPECT_EQ(g->childAtIndex(1)->identifier().utf8(), "bee");
    EXPECT_EQ(copyRoot->childAtIndex(1), nullptr);
    EXPECT_EQ(g->childAtIndex(0)->badgeValue(), -1);
    EXPECT_EQ(g->parent(), nullptr) << "parent links are not archived";
    copyRoot->setParentForTree();
    EXPECT_EQ(g->parent(), copyRoot);
    EXPECT_EQ(g->childAtIndex(1)->rootObject(), copyRoot);

    auto copy = group->copy();
    EXPECT_EQ(copy->title().utf8(), "group");
    EXPECT_EQ(copy->badgeValue(), 42);
    EXPECT_EQ(copy->icon(), icon);
    EXPECT_FALSE(copy->children());
    EXPECT_EQ(copy->parent(), nullptr);
    root->setDelegate(delegate);
    EXPECT_EQ(root->copy()->delegate(), delegate);
}

}

namespace {

TEST(ZOROutlineSourceListItemTree, LinkingUpATreeWithASharedItemKeepsEachItemInOnePlace)
{
    // The root holds its child twice, the child holds b twice; the root below its own child would close a loop.
    auto root = Item::create("root");
    auto a = Item::create("a");
    auto b = Item::create("b");
    root->setChildren(Item::Children { a, a });
    EXPECT_TRUE(raised([&] { a->setChildren(Item::Children { root, b }); }));
    a->setChildren(Item::Children { b, b });
    // Before the links are made, the flat list meets every item once.
    std::vector<std::string> titles;
    for (const auto& item : root->filteredFlatObjectTreeWithPredicate({}, Item::staticClassInfo()))
        titles.push_back(item->title().utf8());
    EXPECT_EQ(titles, (std::vector<std::string> { "a", "b" }));

    root->setParentForTree();
    EXPECT_EQ(root->countOfChildren(), 1);
    ASSERT_EQ(a->countOfChildren(), 1);
    EXPECT_EQ(a->childAtIndex(0)->title().utf8(), "b");
    EXPECT_EQ(a->childAtIndex(0)->rootObject(), root);
    EXPECT_EQ(root->parent(), nullptr);
}

}

namespace {

fnd::Value sourceListItemRef(int index)
{
    return fnd::Dictionary { { "$ref", index } };
}

// A hand-made archive of items titled "i0", "i1", ...; items[i] lists the slots of item i's children, item 0 is the
// root.
fnd::Data sourceListItemArchive(const std::vector<fnd::Array>& items)
{
    fnd::Array objects;
    for (std::size_t i = 0; i < items.size(); ++i) {
        objects.emplace_back(fnd::Dictionary {
            { "$class", 0 },
            { "title", fnd::String("i" + std::to_string(i)) },
            { "children", fnd::Dictionary { { "$array", items[i] } } },
        });
    }
    return *fnd::PropertyList::writeXML(fnd::Dictionary {
        { "$format", "fnd.keyed-archive" },
        { "$formatVersion", 1 },
        { "$top", fnd::Dictionary { { "root", sourceListItemRef(0) } } },
        { "$objects", objects },
        { "$classes",
            fnd::Array { fnd::Dictionary { { "hierarchy", fnd::Array { "ZOROutlineSourceListItem", "NSObject" } },
                { "versions", fnd::Array { 0, 0 } } } } },
    });
}

// An archive that lists an item below itself fails with an error, and every item made on the way is freed (the
// items are seen through the title notification each posts while it reads itself).
TEST(ZOROutlineSourceListItemTree, AnArchivedItemListedBelowItselfFailsAndLeavesNothingBehind)
{
    std::vector<std::weak_ptr<Item>> made;
    auto& center = fnd::NotificationCenter::defaultCenter();
    auto token = center.addObserverForName(ZOROutlineSourceListItemNotification::AttributesChangedEntry, {},
        [&](const fnd::Notification& note) { made.push_back(note.object().objectAs<Item>()); });
    const std::vector<std::pair<const char*, std::vector<fnd::Array>>> cycles {
        { "itself", { fnd::Array { sourceListItemRef(0) } } },
        { "its parent", { fnd::Array { sourceListItemRef(1) }, fnd::Array { sourceListItemRef(0) } } },
        { "the root below a grandchild",
            { fnd::Array { sourceListItemRef(1) }, fnd::Array { sourceListItemRef(2) },
                fnd::Array { sourceListItemRef(0) } } },
    };
    for (const auto& [what, items] : cycles) {
        made.clear();
        auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(sourceListItemArchive(items));
        ASSERT_FALSE(decoded) << what;
        EXPECT_EQ(decoded.error().code(), fnd::CoderError::ReadCorrupt) << what;
        EXPECT_EQ(made.size(), items.size()) << what;
        for (const auto& item : made)
            EXPECT_TRUE(item.expired()) << what << ": an item outlived the failed decode";
    }
    center.removeObserver(token);
}

}

namespace {

// A chain built in code, each item the only child of the one before: listing, linking and freeing it walk its depth
// with stacks of their own, where one stack frame per level ran out of stack.
TEST(ZOROutlineSourceListItemTree, AChainAHundredThousandDeepIsListedLinkedAndFreed)
{
    constexpr int Depth = 100'000;
    // Built from the bottom up: each new item is a root, so the check that it is no descendant of its child is short.
    auto root = Item::create();
    root->setBadgeValue(Depth - 1);
    std::weak_ptr<Item> deepest = root;
    for (int i = Depth - 2; i >= 0; --i) {
        auto above = Item::create();
        above->setBadgeValue(i);
        above->silentAddChild(root);
        root = above;
    }
    auto evens = root->filteredFlatObjectTreeWithPredicate(
        [](const Item& item) { return item.badgeValue() % 2 == 0; }, Item::staticClassInfo());
    ASSERT_EQ(evens.size(), std::size_t(Depth / 2 - 1)) << "badges 2, 4, ..., 99,998";
    EXPECT_EQ(evens.front()->badgeValue(), 2);
    EXPECT_EQ(evens.back()->badgeValue(), Depth - 2);
    evens.clear();

    root->setParentForTree();
    EXPECT_EQ(deepest.lock()->rootObject(), root);

    root.reset();
    EXPECT_TRUE(deepest.expired());
}

}
