#include "barcodes/TBQDataEntryUndoables.h"

using namespace fnd;
using EntryPtr = TBQDataEntry::EntryPtr;
using EntryArray = TBQDataEntry::EntryArray;

namespace TBQDataEntryUndoables {

namespace {

void nameAction(UndoManager& undo) { undo.setActionName(undo.isUndoing() ? undo.undoActionName() : undo.redoActionName()); }

}

// Each change is made before its inverse is registered: a change the tree refuses raises and leaves no action
// behind that would raise in turn when undone.

void dataEntryAddEntry(UndoManager& undo, const EntryPtr& entry, const EntryPtr& child)
{
    entry->addObject(child);
    undo.registerUndo([&undo, entry, child] { dataEntryRemoveEntry(undo, entry, child); });
    nameAction(undo);
}

void dataEntryAddEntrys(UndoManager& undo, const EntryPtr& entry, const EntryArray& children)
{
    dataEntryInsertEntrysAtIndex(undo, entry, children, entry->objectCount());
}

void dataEntryInsertEntryAtIndex(UndoManager& undo, const EntryPtr& entry, const EntryPtr& child, Index index)
{
    entry->insertObject(child, index);
    undo.registerUndo([&undo, entry, child] { dataEntryRemoveEntry(undo, entry, child); });
    nameAction(undo);
}

void dataEntryInsertEntrysAtIndex(UndoManager& undo, const EntryPtr& entry, const EntryArray& children, Index index)
{
    entry->insertObjects(children, index);
    Range inserted { index, static_cast<Index>(children.size()) };
    undo.registerUndo([&undo, entry, inserted] { dataEntryRemoveEntrysInRange(undo, entry, inserted); });
    nameAction(undo);
}

void dataEntryRemoveEntry(UndoManager& undo, const EntryPtr& entry, const EntryPtr& child)
{
    Index index = entry->indexOfObject(child.get());
    entry->removeObject(child.get());
    if (index != NotFound)
        undo.registerUndo([&undo, entry, child, index] { dataEntryInsertEntryAtIndex(undo, entry, child, index); });
    nameAction(undo);
}

void dataEntryRemoveEntrysInRange(UndoManager& undo, const EntryPtr& entry, Range range)
{
    EntryArray removed = entry->objectsInRange(range);
    entry->removeObjectsInRange(range);
    undo.registerUndo(
        [&undo, entry, removed, range] { dataEntryInsertEntrysAtIndex(undo, entry, removed, range.location); });
    nameAction(undo);
}

}
