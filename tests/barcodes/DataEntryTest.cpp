#include "BarcodeTestSupport.h"

#include "barcodes/TBQDataEntryUndoables.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/runtime/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace fnd;

namespace {

std::shared_ptr<TBQDataEntry> entry(const char* name)
{
    auto e = makeObject<TBQDataEntry>();
    e->setName(name);
    return e;
}

std::vector<std::string> names(const TBQDataEntry::EntryArray& entries)
{
    std::vector<std::string> out;
    for (auto& e : entries)
        out.push_back(e->name().utf8());
    return out;
}

Value entryRef(int index)
{
    return Dictionary { { "$ref", index } };
}

// A hand-made archive of entries; entries[i] lists the slots of object i's "subObjects", object 0 is the root.
Data entryArchive(const std::vector<Array>& entries)
{
    Array objects;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        objects.emplace_back(Dictionary {
            { "$class", 0 },
            { "itemName", String(std::string("e") + std::to_string(i)) },
            { "subObjects", Dictionary { { "$array", entries[i] } } },
        });
    }
    return *PropertyList::writeXML(Dictionary {
        { "$format", "fnd.keyed-archive" },
        { "$formatVersion", 1 },
        { "$top", Dictionary { { "root", entryRef(0) } } },
        { "$objects", objects },
        { "$classes",
            Array { Dictionary {
                { "hierarchy", Array { "TBQDataEntry", "NSObject" } }, { "versions", Array { 0, 0 } } } } },
    });
}
}

TEST(DataEntry, TreeLinksAndPaths)
{
    auto root = entry("root");
    auto child = entry("child");
    auto grandchild = entry("grandchild");
    EXPECT_EQ(root->rootObject(), root);
    EXPECT_EQ(names(root->objectTree()), std::vector<std::string> { "root" });

    root->addObject(child);
    child->addObject(grandchild);
    EXPECT_EQ(grandchild->rootObject(), root);
    EXPECT_EQ(names(grandchild->objectTree()), (std::vector<std::string> { "root", "child", "grandchild" }));
    EXPECT_TRUE(grandchild->isDescendantOfNode(root.get()));
    EXPECT_FALSE(root->isDescendantOfNode(child.get()));
    EXPECT_FALSE(root->isDescendantOfNode(nullptr));

    // Removal leaves the removed entry's parent link as it was.
    root->removeObject(child.get());
    EXPECT_EQ(root->objectCount(), 0);
    EXPECT_EQ(child->parent(), root);
    EXPECT_THROW(root->insertObject(entry("x"), 2), Exception);
}

TEST(DataEntry, OnlyTheRootsDelegateHearsOfChanges)
{
    auto root = entry("root");
    auto child = entry("child");
    auto rootDelegate = std::make_shared<RecordingDelegate>();
    auto childDelegate = std::make_shared<RecordingDelegate>();
    root->setDelegate(rootDelegate);
    child->setDelegate(childDelegate);
    root->addObject(child);
    child->setName("renamed");
    child->setLabelColorType(3);
    root->removeObject(child.get());
    EXPECT_EQ(rootDelegate->calls,
        (std::vector<std::string> { "add child", "attributes renamed", "attributes renamed", "remove renamed" }));
    EXPECT_TRUE(childDelegate->calls.empty());
}

// The cover is the smallest set of the given entries whose subtrees hold them all: the same set whatever the order
// they come in, and never an entry beside one that holds it, however far up that one stands.
TEST(DataEntry, MinimumNodeCoverKeepsOnlyTopmostEntries)
{
    auto root = entry("root");
    auto a = entry("a"), b = entry("b"), a1 = entry("a1"), a2 = entry("a2"), a11 = entry("a11");
    root->addObjects({ a, b });
    a->addObjects({ a1, a2 });
    a1->addObject(a11);
    EXPECT_EQ(a1->parent(), a);
    auto cover = [](const TBQDataEntry::EntryArray& given) {
        return names(TBQDataEntry::minimumNodeCoverFromNodesInArray(given));
    };
    EXPECT_EQ(cover({ a1, a, b, a2 }), (std::vector<std::string> { "a", "b" }));
    EXPECT_EQ(cover({ a1, a2 }), (std::vector<std::string> { "a1", "a2" }));
    // A grandparent given after its grandchild, the parent missing: only the grandparent covers.
    EXPECT_EQ(cover({ a11, a }), std::vector<std::string> { "a" });
    EXPECT_EQ(cover({ a11, b, root }), std::vector<std::string> { "root" });
    // Listed in the order given; an entry given twice once; nil entries are no entries.
    EXPECT_EQ(cover({ b, a11, a1 }), (std::vector<std::string> { "b", "a1" }));
    EXPECT_EQ(cover({ a2, nullptr, a2 }), std::vector<std::string> { "a2" });
    EXPECT_TRUE(cover({}).empty());

    // Every order of the same entries gives the same set.
    TBQDataEntry::EntryArray given { a11, a2, b, a1 };
    std::sort(given.begin(), given.end());
    do {
        auto result = cover(given);
        std::sort(result.begin(), result.end());
        EXPECT_EQ(result, (std::vector<std::string> { "a1", "a2", "b" })) << ::testing::PrintToString(names(given));
    } while (std::next_permutation(given.begin(), given.end()));
}

// Each level lists its matching children first, then each child's own list in turn; the class and the predicate both
// filter, and a child that does not match is still searched.
TEST(DataEntry, FilteredFlatTreeListsEachLevelBeforeTheNext)
{
    auto group = [](const char* name) -> std::shared_ptr<TBQDataEntry> {
        auto e = makeObject<TBQDataGroupEntry>();
        e->setName(name);
        return e;
    };
    auto root = entry("root");
    auto a = group("a"), b = entry("b"), c = group("c");
    root->addObjects({ a, b, c });
    a->addObjects({ group("a1"), entry("a2") });
    b->addObject(group("x"));
    c->addObject(group("c1"));
    auto notX = [](const TBQDataEntry& e) { return e.name() != String("x"); };
    EXPECT_EQ(names(root->filteredFlatObjectTreeWithPredicate(notX, TBQDataGroupEntry::staticClassInfo())),
        (std::vector<std::string> { "a", "c", "a1", "c1" }));
    EXPECT_EQ(names(root->filteredFlatObjectTreeWithPredicate(nullptr, TBQDataEntry::staticClassInfo())),
        (std::vector<std::string> { "a", "b", "c", "a1", "a2", "x", "c1" }));
}

// Every operation that takes a range checks it alike: one that starts outside the sub-entries, reaches past them or
// has a negative length raises a range exception and leaves the tree as it was.
TEST(DataEntry, RangesOutsideTheSubEntriesRaiseRangeExceptions)
{
    auto root = entry("root");
    root->addObjects({ entry("a"), entry("b"), entry("c") });
    auto raisedName = [](auto&& call) {
        try {
            call();
        } catch (const Exception& e) {
            return e.name();
        }
        return String("(nothing raised)");
    };
    const Range refused[] = { { 2, -1 }, { 0, -1 }, { 3, -3 }, { -1, 1 }, { 2, 2 }, { 4, 0 }, { 1, NotFound },
        { NotFound, 0 }, { NotFound, NotFound } };
    for (auto range : refused) {
        const auto what = "{" + std::to_string(range.location) + ", " + std::to_string(range.length) + "}";
        EXPECT_EQ(raisedName([&] { (void)root->objectsInRange(range); }), ExceptionName::Range) << what;
        EXPECT_EQ(raisedName([&] { root->removeObjectsInRange(range); }), ExceptionName::Range) << what;
        EXPECT_EQ(names(root->subObjects()), (std::vector<std::string> { "a", "b", "c" })) << what;
    }
    EXPECT_EQ(names(root->objectsInRange({ 1, 2 })), (std::vector<std::string> { "b", "c" }));
    EXPECT_TRUE(root->objectsInRange({ 3, 0 }).empty());
    root->removeObjectsInRange({ 0, 2 });
    EXPECT_EQ(names(root->subObjects()), std::vector<std::string> { "c" });
}

TEST(DataEntry, ArchiveRestoresChildrenWithTheirParents)
{
    auto root = entry("root");
    root->setDescr("notes");
    root->setLabelColorType(5);
    auto child = entry("child");
    root->addObject(child);

    auto data = KeyedArchiver::archivedDataWithRootObject(Value(root));
    ASSERT_TRUE(data) << data.error().localizedDescription();
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(decoded) << decoded.error().localizedDescription();
    auto copy = decoded->objectAs<TBQDataEntry>();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->name(), String("root"));
    EXPECT_EQ(copy->descr(), String("notes"));
    EXPECT_EQ(copy->labelColorType(), 5);
    EXPECT_EQ(copy->creationDate(), root->creationDate());
    ASSERT_EQ(copy->objectCount(), 1);
    EXPECT_EQ(copy->objectAtIndex(0)->name(), String("child"));
    // Mended: the decoded child knows its parent.
    EXPECT_EQ(copy->objectAtIndex(0)->parent(), copy);
}

// An entry never comes to own itself: inserting it into itself or below itself is refused and leaves the tree as it
// was, whether the link up is a parent link or a listing without one (a filtered root shows entries owned elsewhere).
TEST(DataEntry, InsertionRefusesTheEntryItselfAndItsAncestors)
{
    auto root = entry("root");
    auto child = entry("child");
    auto grandchild = entry("grandchild");
    root->addObject(child);
    child->addObject(grandchild);
    auto shown = makeObject<LMVFilteredDataEntryRoot>();
    shown->setName("shown");
    shown->addFilteredObjects({ child });

    // (into, inserted): itself; ancestors by parent link; `shown`, which lists `child` without being its parent.
    const std::vector<std::pair<std::shared_ptr<TBQDataEntry>, std::shared_ptr<TBQDataEntry>>> refused {
        { grandchild, grandchild },
        { grandchild, child },
        { grandchild, root },
        { child, root },
        { child, shown },
    };
    for (const auto& [into, inserted] : refused) {
        const auto before = names(into->subObjects());
        EXPECT_THROW(into->addObject(inserted), Exception)
            << inserted->name().utf8() << " into " << into->name().utf8();
        EXPECT_THROW(into->insertObjects({ entry("fresh"), inserted }, 0), Exception)
            << inserted->name().utf8() << " into " << into->name().utf8();
        EXPECT_EQ(names(into->subObjects()), before) << "the refused insertion changed " << into->name().utf8();
    }
    EXPECT_EQ(grandchild->rootObject(), root);
    EXPECT_EQ(child->rootObject(), root);
    // A sibling or a separate tree may still go in.
    child->addObject(entry("sibling"));
    EXPECT_EQ(names(child->subObjects()), (std::vector<std::string> { "grandchild", "sibling" }));
}

// An entry has one place in a tree: inserted twice, or under a second parent, the tree would write an archive that
// its reader refuses ("appears twice"). Such insertions are refused and change nothing; a removed entry, which keeps
// its parent link, may go in again.
TEST(DataEntry, AnEntryListedAlreadyIsRefused)
{
    auto root = entry("root"), other = entry("other"), a = entry("a"), b = entry("b");
    root->addObject(a);
    const std::vector<std::pair<const char*, std::function<void()>>> refused {
        { "again into its parent", [&] { root->addObject(a); } },
        { "again into its parent, in an array",
            [&] {
                root->insertObjects({ b, a }, 0);
            } },
        { "under a second parent", [&] { other->insertObject(a, 0); } },
        { "under a second parent, in an array", [&] { other->addObjects({ a }); } },
        { "twice in one array",
            [&] {
                other->addObjects({ b, b });
            } },
    };
    for (const auto& [what, insert] : refused) {
        try {
            insert();
            ADD_FAILURE() << what << " was accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.name(), ExceptionName::InvalidArgument) << what;
        }
        EXPECT_EQ(names(root->subObjects()), std::vector<std::string> { "a" }) << what;
        EXPECT_TRUE(other->subObjects().empty()) << what;
        EXPECT_EQ(a->parent(), root) << what;
        EXPECT_EQ(b->parent(), nullptr) << what;
    }

    root->removeObject(a.get());
    EXPECT_EQ(a->parent(), root) << "removal leaves the parent link";
    other->addObjects({ a, b });
    EXPECT_EQ(a->parent(), other);
    root->addObject(other);
    auto data = KeyedArchiver::archivedDataWithRootObject(Value(root));
    ASSERT_TRUE(data) << data.error().localizedDescription();
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(decoded) << decoded.error().localizedDescription();
    auto back = decoded->objectAs<TBQDataEntry>();
    ASSERT_TRUE(back);
    EXPECT_EQ(names(back->objectAtIndex(0)->subObjects()), (std::vector<std::string> { "a", "b" }));
}

// A listed entry's parent is the entry that lists it: giving it none, or another, is refused, so it cannot be listed
// a second time and the tree keeps writing archives its reader takes. An entry no list holds may take any parent
// whose links do not lead back to it (rootObject would never return).
TEST(DataEntry, AListedEntryKeepsItsParent)
{
    auto root = entry("root"), other = entry("other"), a = entry("a"), b = entry("b"), c = entry("c");
    root->addObject(a);
    const std::vector<std::pair<const char*, std::function<void()>>> refused {
        { "no parent for a listed entry", [&] { a->setParent(nullptr); } },
        { "another parent for a listed entry", [&] { a->setParent(other); } },
        { "itself as parent", [&] { b->setParent(b); } },
        { "a parent whose parent it is",
            [&] {
                c->setParent(b);
                b->setParent(c);
            } },
    };
    for (const auto& [what, change] : refused) {
        try {
            change();
            ADD_FAILURE() << what << " was accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.name(), ExceptionName::InvalidArgument) << what;
        }
        EXPECT_EQ(a->parent(), root) << what;
        EXPECT_EQ(b->parent(), nullptr) << what;
    }
    EXPECT_THROW(other->addObject(a), Exception) << "a is still root's";
    EXPECT_TRUE(other->subObjects().empty());

    a->setParent(root);
    c->setParent(nullptr);
    root->removeObject(a.get());
    EXPECT_EQ(a->parent(), root) << "removal leaves the parent link";
    a->setParent(other);
    a->setParent(nullptr);
    other->addObjects({ a, c });
    root->addObject(other);
    auto data = KeyedArchiver::archivedDataWithRootObject(Value(root));
    ASSERT_TRUE(data) << data.error().localizedDescription();
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(decoded) << decoded.error().localizedDescription();
    EXPECT_EQ(names(decoded->objectAs<TBQDataEntry>()->objectAtIndex(0)->subObjects()),
        (std::vector<std::string> { "a", "c" }));
}

// A filtered root only shows entries: it lists what the flat filtered walk gives, an entry and its sub-entries
// together. Its archive reads back with every entry once, each still below the entry that owned it and none below the
// filtered root, and the decoded root archives again to the same data, alone or inside a tree.
TEST(DataEntry, AFilteredRootsArchiveReadsBackShowingWhatItShowed)
{
    auto root = entry("root"), a = entry("a"), a1 = entry("a1"), b = entry("b");
    root->addObjects({ a, b });
    a->addObject(a1);
    auto shown = makeObject<LMVFilteredDataEntryRoot>();
    shown->setName("shown");
    shown->addFilteredObjects(root->filteredFlatObjectTreeWithPredicate(nullptr, TBQDataEntry::staticClassInfo()));
    ASSERT_EQ(names(shown->subObjects()), (std::vector<std::string> { "a", "b", "a1" }));
    EXPECT_EQ(a->parent(), root) << "showing takes nothing from the owner";

    auto roundTrip = [](const std::shared_ptr<TBQDataEntry>& top) -> std::shared_ptr<TBQDataEntry> {
        auto data = KeyedArchiver::archivedDataWithRootObject(Value(top));
        EXPECT_TRUE(data) << data.error().localizedDescription();
        if (!data)
            return nullptr;
        auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
        EXPECT_TRUE(decoded) << top->name().utf8() << ": " << decoded.error().localizedDescription();
        if (!decoded)
            return nullptr;
        auto back = decoded->objectAs<TBQDataEntry>();
        auto again = KeyedArchiver::archivedDataWithRootObject(Value(back));
        EXPECT_TRUE(again && *again == *data) << top->name().utf8() << " archives differently once decoded";
        return back;
    };

    auto back = roundTrip(shown);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->className(), String("LMVFilteredDataEntryRoot"));
    ASSERT_EQ(names(back->subObjects()), (std::vector<std::string> { "a", "b", "a1" }));
    auto backA = back->objectAtIndex(0), backA1 = back->objectAtIndex(2);
    EXPECT_EQ(backA->parent(), nullptr) << "a decoded filtered root owns nothing it showed";
    EXPECT_EQ(back->objectAtIndex(1)->parent(), nullptr);
    EXPECT_EQ(backA->objectAtIndex(0), backA1) << "a1 is one entry, shown and owned";
    EXPECT_EQ(backA1->parent(), backA);
    auto elsewhere = entry("elsewhere");
    elsewhere->addObject(backA);
    EXPECT_EQ(backA->parent(), elsewhere) << "an entry only shown may go into a tree";

    // Inside the tree whose entries it shows, before and after their owner.
    for (bool shownFirst : { true, false }) {
        auto top = entry(shownFirst ? "top, shown first" : "top, owner first");
        auto owner = entry("owner"), owned = entry("owned");
        owner->addObject(owned);
        auto filter = makeObject<LMVFilteredDataEntryRoot>();
        filter->setName("filter");
        filter->addFilteredObjects({ owner, owned });
        top->addObjects(
            shownFirst ? TBQDataEntry::EntryArray { filter, owner } : TBQDataEntry::EntryArray { owner, filter });
        auto decoded = roundTrip(top);
        ASSERT_TRUE(decoded) << top->name().utf8();
        auto decodedFilter = decoded->objectAtIndex(shownFirst ? 0 : 1),
             decodedOwner = decoded->objectAtIndex(shownFirst ? 1 : 0);
        EXPECT_EQ(decodedFilter->parent(), decoded) << top->name().utf8();
        EXPECT_EQ(decodedOwner->parent(), decoded) << top->name().utf8();
        EXPECT_EQ(decodedFilter->objectAtIndex(0), decodedOwner) << top->name().utf8();
        EXPECT_EQ(decodedOwner->objectAtIndex(0)->parent(), decodedOwner) << top->name().utf8();
    }
}

// A filtered root that showed itself, or an entry holding it, would own itself: refused, and nothing changes.
TEST(DataEntry, AFilteredRootRefusesToShowWhatHoldsIt)
{
    auto root = entry("root"), sibling = entry("sibling");
    auto shown = makeObject<LMVFilteredDataEntryRoot>();
    root->addObjects({ shown, sibling });
    for (const auto& refused : { TBQDataEntry::EntryArray { shown }, TBQDataEntry::EntryArray { sibling, root } }) {
        EXPECT_THROW(shown->addFilteredObjects(refused), Exception);
        EXPECT_TRUE(shown->subObjects().empty());
    }
    shown->addFilteredObjects({ sibling, entry("from another tree") });
    EXPECT_EQ(names(shown->subObjects()), (std::vector<std::string> { "sibling", "from another tree" }));
}

// An add-on has one main barcode: one that belongs to another is refused, and both keep their own.
TEST(DataEntry, AnAddOnOfAnotherBarcodeIsRefused)
{
    auto first = TBQGenericBarcode::barcodeWithClassName("EAN13");
    auto second = TBQGenericBarcode::barcodeWithClassName("EAN13");
    first->setContent("400638133393");
    second->setContent("400638133393");
    first->setAddOnContent("12");
    second->setAddOnContent("12345");
    auto firstAddOn = first->addOn(), secondAddOn = second->addOn();
    ASSERT_TRUE(firstAddOn && secondAddOn);
    EXPECT_THROW(second->setAddOn(firstAddOn), Exception);
    EXPECT_EQ(first->addOn(), firstAddOn);
    EXPECT_EQ(second->addOn(), secondAddOn);
    EXPECT_EQ(second->objectCount(), 1);
    EXPECT_EQ(firstAddOn->parent(), first);
    second->setAddOn(secondAddOn);
    EXPECT_EQ(second->addOn(), secondAddOn) << "its own add-on again changes nothing";
    EXPECT_EQ(second->objectCount(), 1);
    for (const auto& main : { first, second }) {
        auto data = KeyedArchiver::archivedDataWithRootObject(Value(main));
        ASSERT_TRUE(data) << data.error().localizedDescription();
        EXPECT_TRUE(KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data));
    }
}

// An archive whose "subObjects" name the entry itself, one that contains it, or an entry already placed elsewhere
// fails with an error instead of recursing or multiplying the tree.
TEST(DataEntry, ArchivesThatAreNotTreesFail)
{
    const std::vector<std::tuple<const char*, std::vector<Array>, const char*>> cases {
        { "itself", { Array { entryRef(0) } }, "would own itself" },
        { "its parent", { Array { entryRef(1) }, Array { entryRef(0) } }, "would own itself" },
        { "the root, two levels up", { Array { entryRef(1) }, Array { entryRef(2) }, Array { entryRef(0) } },
            "would own itself" },
        { "one entry under two parents", { Array { entryRef(1), entryRef(2) }, Array { entryRef(2) }, Array {} },
            "\"e2\" appears twice" },
        { "one entry twice in one list", { Array { entryRef(1), entryRef(1) }, Array {} }, "\"e1\" appears twice" },
    };
    for (const auto& [what, entries, message] : cases) {
        auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(entryArchive(entries));
        ASSERT_FALSE(decoded) << what;
        EXPECT_EQ(decoded.error().code(), CoderError::ReadCorrupt) << what;
        EXPECT_NE(decoded.error().localizedDescription().utf8().find(message), std::string::npos)
            << what << ": " << decoded.error().localizedDescription().utf8();
    }

    auto tree = KeyedUnarchiver::unarchiveTopLevelObjectWithData(
        entryArchive({ Array { entryRef(1), entryRef(3) }, Array { entryRef(2) }, Array {}, Array {} }));
    ASSERT_TRUE(tree) << tree.error().localizedDescription().utf8();
    auto root = tree->objectAs<TBQDataEntry>();
    ASSERT_TRUE(root);
    EXPECT_EQ(names(root->subObjects()), (std::vector<std::string> { "e1", "e3" }));
    EXPECT_EQ(
        names(root->objectAtIndex(0)->objectAtIndex(0)->objectTree()), (std::vector<std::string> { "e0", "e1", "e2" }));
}

TEST(DataEntry, CopyHasItsOwnChildren)
{
    auto root = entry("root");
    root->addObject(entry("child"));
    auto copy = root->copy();
    ASSERT_EQ(copy->objectCount(), 1);
    EXPECT_NE(copy->objectAtIndex(0), root->objectAtIndex(0));
    EXPECT_EQ(copy->objectAtIndex(0)->parent(), copy);
    EXPECT_EQ(copy->name(), String("root"));
}

TEST(DataEntry, UndoableTreeChangesReverseExactly)
{
    UndoManager undo;
    auto root = entry("root");
    auto a = entry("a"), b = entry("b"), c = entry("c");
    TBQDataEntryUndoables::dataEntryAddEntrys(undo, root, { a, b });
    TBQDataEntryUndoables::dataEntryInsertEntryAtIndex(undo, root, c, 1);
    TBQDataEntryUndoables::dataEntryRemoveEntrysInRange(undo, root, { 0, 2 });
    EXPECT_EQ(names(root->subObjects()), std::vector<std::string> { "b" });

    const std::vector<std::vector<std::string>> afterEachUndo = { { "a", "c", "b" }, { "a", "b" }, {} };
    for (auto& expected : afterEachUndo) {
        undo.undo();
        EXPECT_EQ(names(root->subObjects()), expected);
    }
    undo.redo();
    undo.redo();
    undo.redo();
    EXPECT_EQ(names(root->subObjects()), std::vector<std::string> { "b" });
    TBQDataEntryUndoables::dataEntryRemoveEntry(undo, root, b);
    undo.undo();
    EXPECT_EQ(names(root->subObjects()), std::vector<std::string> { "b" });
    EXPECT_EQ(b->parent(), root);
}

// A change the tree refuses raises and leaves nothing to undo: an inverse registered for it would raise in turn, or
// take away what was there before.
TEST(DataEntry, ARefusedUndoableChangeRegistersNothing)
{
    UndoManager undo;
    auto root = entry("root"), other = entry("other"), a = entry("a"), b = entry("b");
    root->addObject(a);
    const std::vector<std::pair<const char*, std::function<void()>>> refused {
        { "add of an entry placed elsewhere", [&] { TBQDataEntryUndoables::dataEntryAddEntry(undo, other, a); } },
        { "insert of an entry into itself",
            [&] { TBQDataEntryUndoables::dataEntryInsertEntryAtIndex(undo, a, a, 0); } },
        { "insert at an index beyond the end",
            [&] { TBQDataEntryUndoables::dataEntryInsertEntryAtIndex(undo, other, b, 3); } },
        { "insert of an array holding an entry placed elsewhere",
            [&] {
                TBQDataEntryUndoables::dataEntryInsertEntrysAtIndex(undo, other, { b, a }, 0);
            } },
        { "add of an array holding an entry twice",
            [&] {
                TBQDataEntryUndoables::dataEntryAddEntrys(undo, other, { b, b });
            } },
        { "removal of a range beyond the end",
            [&] {
                TBQDataEntryUndoables::dataEntryRemoveEntrysInRange(undo, root, { 0, 2 });
            } },
    };
    for (const auto& [what, change] : refused) {
        EXPECT_THROW(change(), Exception) << what;
        EXPECT_FALSE(undo.canUndo()) << what << " left an action to undo";
    }
    EXPECT_EQ(names(root->subObjects()), std::vector<std::string> { "a" });
    EXPECT_TRUE(other->subObjects().empty());

    TBQDataEntryUndoables::dataEntryAddEntry(undo, other, b);
    EXPECT_TRUE(undo.canUndo());
    undo.undo();
    EXPECT_TRUE(other->subObjects().empty());
}
