#include "BarcodeTestSupport.h"

#include "barcodes/TBQDataEntryUndoables.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"

#include <gtest/gtest.h>

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

TEST(DataEntry, MinimumNodeCoverKeepsOnlyTopmostEntries)
{
    auto root = entry("root");
    auto a = entry("a"), b = entry("b"), a1 = entry("a1"), a2 = entry("a2");
    root->addObjects({ a, b });
    a->addObjects({ a1, a2 });
    EXPECT_EQ(a1->parent(), a);
    EXPECT_EQ(names(TBQDataEntry::minimumNodeCoverFromNodesInArray({ a1, a, b, a2 })),
        (std::vector<std::string> { "a", "b" }));
    EXPECT_EQ(names(TBQDataEntry::minimumNodeCoverFromNodesInArray({ a1, a2 })),
        (std::vector<std::string> { "a1", "a2" }));
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
