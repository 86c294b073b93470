#include "barcodes/TBQDataEntryUndoables.h"

using namespace fnd;
using EntryPtr = TBQDataEntry::EntryPtr;
using EntryArray = TBQDataEntry::EntryArray;

namespace TBQDataEntryUndoables {

namespace {

void nameAction(UndoManager& undo) { undo.setActionName(undo.isUndoing() ? undo.undoActionName() : undo.redoActionName()); }

}

void dataEntryAddEntry(UndoManager& undo, const EntryPtr& entry, const EntryPtr& child)
{
    undo.registerUndo([&undo, entry, child] { dataEntryRemoveEntry(undo, entry, child); });
    nameAction(undo);
    entry->addObject(child);
}

void dataEntryAddEntrys(UndoManager& undo, const EntryPtr& entry, const EntryArray& children)
{
    dataEntryInsertEntrysAtIndex(undo, entry, children, entry->objectCount());
}

void dataEntryInsertEntryAtIndex(UndoManager& undo, const EntryPtr& entry, const EntryPtr& child, Index index)
{
    undo.registerUndo([&undo, entry, child] { dataEntryRemoveEntry(undo, entry, child); });
    nameAction(undo);
    entry->insertObject(child, index);
}

void dataEntryInsertEntrysAtIndex(UndoManager& undo, const EntryPtr& entry, const EntryArray& children, Index index)
{
    Range inserted { index, static_cast<Index>(children.size()) };
    undo.registerUndo([&undo, entry, inserted] { dataEntryRemoveEntrysInRange(undo, entry, inserted); });
    nameAction(undo);
    entry->insertObjects(children, index);
}

void dataEntryRemoveEntry(UndoManager& undo, const EntryPtr& entry, const EntryPtr& child)
{
    Index index = entry->indexOfObject(child.get());
    if (index != NotFound)
        undo.registerUndo([&undo, entry, child, index] { dataEntryInsertEntryAtIndex(undo, entry, child, index); });
    nameAction(undo);
    entry->removeObject(child.get());
}

void dataEntryRemoveEntrysInRange(UndoManager& undo, const EntryPtr& entry, Range range)
{
    EntryArray removed = entry->objectsInRange(range);
    undo.registerUndo([&undo, entry, removed, range] {
        dataEntryInsertEntrysAtIndex(undo, entry, removed, range.location);
    });
    nameAction(undo);
    entry->removeObjectsInRange(range);
}

}
