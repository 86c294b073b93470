#include "platform/foundation/model/UndoManager.h"

#include <gtest/gtest.h>

using namespace fnd;

namespace {

// A counter whose changes register their own inverse, as model setters do.
struct Counter {
    UndoManager& undo;
    int value { 0 };
    void add(int n)
    {
        undo.registerUndo([this, n] { add(-n); });
        value += n;
    }
};

}

TEST(UndoManager, UndoAndRedoReverseEachOther)
{
    UndoManager undo;
    Counter c { undo };
    c.add(5);
    undo.setActionName("Add Five");
    c.add(2);
    EXPECT_EQ(undo.undoActionName(), String());
    undo.undo();
    EXPECT_EQ(c.value, 5);
    EXPECT_EQ(undo.undoActionName(), String("Add Five"));
    undo.undo();
    EXPECT_EQ(c.value, 0);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.redoActionName(), String("Add Five"));
    undo.redo();
    undo.redo();
    EXPECT_EQ(c.value, 7);
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    // A new change drops what could be redone.
    c.add(10);
    EXPECT_FALSE(undo.canRedo());
    EXPECT_EQ(c.value, 15);
}

TEST(UndoManager, GroupsUndoAsOne)
{
    UndoManager undo;
    Counter c { undo };
    undo.beginUndoGrouping();
    c.add(1);
    c.add(2);
    undo.endUndoGrouping();
    c.add(4);
    undo.undo();
    undo.undo();
    EXPECT_EQ(c.value, 0);
    EXPECT_FALSE(undo.canUndo());
    undo.beginUndoGrouping();
    undo.endUndoGrouping();
    EXPECT_FALSE(undo.canUndo()) << "an empty group is dropped";
}
