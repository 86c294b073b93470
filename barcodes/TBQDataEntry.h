#pragma once

#include "barcodes/TBQDataEntryDelegate.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// A named, dated node of a tree of entries. The tree owns its children; parent and delegate links are weak. Only
// the root's delegate hears of changes, wherever in the tree they happen.
class TBQDataEntry : public fnd::Object, public fnd::Coding {
    FND_OBJECT(TBQDataEntry)
public:
    using EntryPtr = std::shared_ptr<TBQDataEntry>;
    using EntryArray = std::vector<EntryPtr>;

    static void describeClass(fnd::ClassBuilder<TBQDataEntry>& c);

    TBQDataEntry();
    // Lets go of the subtree one level at a time: a chain of any depth is freed without deep recursion.
    ~TBQDataEntry() override;
    // The designated initializer, run after construction (fnd::makeObject, the class registry).
    virtual void init();

    // Attributes
    // A date an archive cannot hold (not finite, or outside the years 0000 to 9999) is ignored.
    const fnd::Date& creationDate() const { return m_cDate; }
    void setCreationDate(fnd::Date date);
    const fnd::Date& modificationDate() const { return m_lDate; }
    void setModificationDate(fnd::Date date);
    void updateModficationDate();

    const fnd::String& name() const { return m_itemName; }
    void setName(const fnd::String& name);
    const fnd::String& descr() const { return m_description; }
    void setDescr(const fnd::String& descr);
    int labelColorType() const { return m_labelColor; }
    void setLabelColorType(int type);
    fnd::StringArray subObjectNames() const;

    std::shared_ptr<TBQDataEntryDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TBQDataEntryDelegate>& delegate) { m_delegate = delegate; }

    // Tree access
    EntryPtr parent() const { return m_parentObject.lock(); }
    // The parent of a listed entry is the entry that lists it: another one (or none) raises InvalidArgument, as does
    // a parent whose parent links lead back to this entry. An entry no list holds (a root, one removed) may take any
    // other parent; lists are not touched.
    void setParent(const EntryPtr& parent);
    // Remembered from the last call until a change may have moved it, so asking it again (as every reported change
    // does) costs no climb.
    EntryPtr rootObject();
    EntryArray objectTree();
    fnd::Index objectCount() const { return static_cast<fnd::Index>(m_subObjects.size()); }
    // nullptr beyond the end.
    EntryPtr objectAtIndex(fnd::Index index) const;
    // By identity; fnd::NotFound when absent.
    fnd::Index indexOfObject(const TBQDataEntry* entry) const;
    // A range beyond the sub-entries (or of negative length) raises a range exception, as removal does.
    EntryArray objectsInRange(fnd::Range range) const;
    const EntryArray& subObjects() const { return m_subObjects; }
    bool isDescendantOfNode(const TBQDataEntry* node) const;
    bool isDescendantOfNodeInArray(const EntryArray& nodes) const;
    // The matching sub-entries, then each sub-entry's own result, in order; an entry that several lists hold (a
    // filtered root shows entries owned elsewhere) is met once.
    EntryArray filteredFlatObjectTreeWithPredicate(
        const std::function<bool(const TBQDataEntry&)>& predicate, const fnd::ClassInfo& objectClass) const;
    // The smallest set of the given entries whose subtrees hold all of them: every given entry that no other given
    // entry holds below it, once, in the order given.
    static EntryArray minimumNodeCoverFromNodesInArray(const EntryArray& nodes);

    // Changing the tree. Inserting an entry into itself or into one of its own sub-entries, or one that another
    // entry (or this one) lists already, or the same entry twice, raises InvalidArgument and changes nothing. The
    // inserted entries' parent is this entry.
    void insertObject(const EntryPtr& entry, fnd::Index index);
    void addObject(const EntryPtr& entry);
    void insertObjects(const EntryArray& entries, fnd::Index index);
    void addObjects(const EntryArray& entries);
    void removeObject(const TBQDataEntry* entry);
    void removeObjectsInRange(fnd::Range range);
    // Links every sub-entry of the subtree to the entry that lists it; a filtered root's list is neither linked nor
    // walked, since it only shows its entries.
    void setParentPointerForSubObjectTree();

    // A new entry of the same class with the same attributes and copies of the sub-entries, each copied once and held
    // as the original is: owned (their parent set) or, in a filtered root, only shown.
    EntryPtr copy() const;

    void encodeWithCoder(fnd::Coder& coder) const override;
    // Runs the class's init() first (through the registry), then reads the fields. The decoded children get their
    // parent link back, so an add-on read from an archive still knows it is one; a filtered root's do not.
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    // The root's delegate, or nullptr.
    std::shared_ptr<TBQDataEntryDelegate> rootDelegate();
    EntryPtr selfPointer() { return std::static_pointer_cast<TBQDataEntry>(shared_from_this()); }
    // A fresh instance of this class with this entry's own attributes and no sub-entries.
    virtual EntryPtr copyWithoutSubObjects() const;
    // Sent to each entry of a new copy once the whole copy stands, sub-entries before the entries that list them.
    virtual void copyIsComplete() { }
    // False for a root that only shows entries owned elsewhere: decoding, copying and relinking leave the parent
    // links of what it lists alone.
    virtual bool ownsSubObjects() const { return true; }
    // Appends entries without parent link, date or callback. An entry that is this one or holds it below itself
    // raises InvalidArgument and nothing is appended.
    void showObjects(const EntryArray& entries);
    // Raise InvalidArgument for what insertObject or insertObjects would refuse.
    void checkInsertable(const EntryPtr& entry) const;
    void checkInsertable(const EntryArray& entries) const;

private:
    void checkIndex(fnd::Index index, fnd::Index limit) const;
    // Raises a range exception unless the range lies within the sub-entries (a negative length included).
    void checkRange(fnd::Range range) const;
    // True when `entry` is this entry, one of its ancestors, or holds this entry somewhere below it.
    bool wouldOwnItselfThrough(const TBQDataEntry& entry) const;
    // True when this entry stands somewhere below one of `entries` in the lists (not when it is one of them).
    bool standsBelowAnyOf(std::vector<const TBQDataEntry*> entries) const;
    void holdSubObject(const EntryPtr& entry) { ++entry->m_holders; }
    void letGoOfSubObject(const EntryPtr& entry) { --entry->m_holders; }
    // Every change of the parent link goes through here, keeping the counts of linked entries and the remembered
    // roots true.
    void linkParent(const EntryPtr& parent);

    EntryArray m_subObjects;
    fnd::String m_itemName;
    fnd::String m_description;
    std::weak_ptr<TBQDataEntry> m_parentObject;
    int m_labelColor { 0 };
    fnd::Date m_cDate;
    fnd::Date m_lDate;
    std::weak_ptr<TBQDataEntryDelegate> m_delegate;
    // How many lists (owning or only showing) hold this entry. One that none holds heads its tree: nothing below
    // another entry can hold it, so inserting into it needs no search.
    std::size_t m_holders { 0 };
    // How many living entries name this one as their parent. None: this entry is on no other entry's way to the
    // root, so it is nobody's ancestor, and relinking it moves no other entry's root.
    std::size_t m_linkedEntries { 0 };
    // The root found last, true while m_rootEpoch is the current epoch of all trees. The epoch moves on whenever an
    // entry that others link to is relinked or freed (every root below it may change); relinking one that none links
    // to makes only its own root stale. Weak: a root remembered never outlives its owners.
    std::weak_ptr<TBQDataEntry> m_root;
    std::uint64_t m_rootEpoch { 0 };
};

// A group of entries; it adds nothing of its own.
class TBQDataGroupEntry : public TBQDataEntry {
    FND_OBJECT(TBQDataGroupEntry)
};

// A root that only shows entries owned elsewhere: they join its list without parent, date or callbacks, and it
// does not become their parent when decoded or copied. Showing itself, or an entry that holds it, raises
// InvalidArgument.
class LMVFilteredDataEntryRoot : public TBQDataEntry {
    FND_OBJECT(LMVFilteredDataEntryRoot)
public:
    void addFilteredObjects(const EntryArray& entries) { showObjects(entries); }

protected:
    bool ownsSubObjects() const override { return false; }
};
