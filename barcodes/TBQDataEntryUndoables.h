#pragma once

#include "barcodes/TBQDataEntry.h"

#include "platform/foundation/model/UndoManager.h"

// Tree changes a document can undo: each changes the tree, then registers its inverse with the document's undo
// manager and names the action; a change the tree refuses raises and registers nothing. The undo manager stands for
// the document that owns it.
namespace TBQDataEntryUndoables {

void dataEntryAddEntry(fnd::UndoManager& undo, const TBQDataEntry::EntryPtr& entry, const TBQDataEntry::EntryPtr& child);
void dataEntryAddEntrys(
    fnd::UndoManager& undo, const TBQDataEntry::EntryPtr& entry, const TBQDataEntry::EntryArray& children);
void dataEntryInsertEntryAtIndex(fnd::UndoManager& undo, const TBQDataEntry::EntryPtr& entry,
    const TBQDataEntry::EntryPtr& child, fnd::Index index);
void dataEntryInsertEntrysAtIndex(fnd::UndoManager& undo, const TBQDataEntry::EntryPtr& entry,
    const TBQDataEntry::EntryArray& children, fnd::Index index);
void dataEntryRemoveEntry(
    fnd::UndoManager& undo, const TBQDataEntry::EntryPtr& entry, const TBQDataEntry::EntryPtr& child);
void dataEntryRemoveEntrysInRange(fnd::UndoManager& undo, const TBQDataEntry::EntryPtr& entry, fnd::Range range);

}
