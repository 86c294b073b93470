#pragma once

#include "barcodes/TBQDataEntryDelegate.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"

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
    void setParent(const EntryPtr& parent) { m_parentObject = parent; }
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
    EntryArray filteredFlatObjectTreeWithPredicate(
        const std::function<bool(const TBQDataEntry&)>& predicate, const fnd::ClassInfo& objectClass) const;
    // The smallest set of the given entries whose subtrees hold all of them: every given entry that no other given
    // entry holds below it, once, in the order given.
    static EntryArray minimumNodeCoverFromNodesInArray(const EntryArray& nodes);

    // Changing the tree. Inserting an entry into itself or into one of its own sub-entries, or one that another
    // entry (or this one) lists already, or the same entry twice, raises InvalidArgument and changes nothing.
    void insertObject(const EntryPtr& entry, fnd::Index index);
    void addObject(const EntryPtr& entry);
    void insertObjects(const EntryArray& entries, fnd::Index index);
    void addObjects(const EntryArray& entries);
    void removeObject(const TBQDataEntry* entry);
    void removeObjectsInRange(fnd::Range range);
    void setParentPointerForSubObjectTree();

    // A new entry of the same class with copies of the children (their parent set) and the same attributes.
    virtual EntryPtr copy() const;

    void encodeWithCoder(fnd::Coder& coder) const override;
    // Runs the class's init() first (through the registry), then reads the fields. The decoded children get their
    // parent link back, so an add-on read from an archive still knows it is one.
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    // The root's delegate, or nullptr.
    std::shared_ptr<TBQDataEntryDelegate> rootDelegate();
    EntryPtr selfPointer() { return std::static_pointer_cast<TBQDataEntry>(shared_from_this()); }
    // Copies what the entry level copies into a fresh instance of this class.
    void copyEntryInto(TBQDataEntry& copy) const;
    EntryArray& mutableSubObjects() { return m_subObjects; }
    // Raise InvalidArgument for what insertObject or insertObjects would refuse.
    void checkInsertable(const EntryPtr& entry) const;
    void checkInsertable(const EntryArray& entries) const;

private:
    void checkIndex(fnd::Index index, fnd::Index limit) const;
    // Raises a range exception unless the range lies within the sub-entries (a negative length included).
    void checkRange(fnd::Range range) const;
    // True when `entry` is this entry, one of its ancestors, or holds this entry somewhere below it.
    bool wouldOwnItselfThrough(const TBQDataEntry& entry) const;

    EntryArray m_subObjects;
    fnd::String m_itemName;
    fnd::String m_description;
    std::weak_ptr<TBQDataEntry> m_parentObject;
    int m_labelColor { 0 };
    fnd::Date m_cDate;
    fnd::Date m_lDate;
    std::weak_ptr<TBQDataEntryDelegate> m_delegate;
};

// A group of entries; it adds nothing of its own.
class TBQDataGroupEntry : public TBQDataEntry {
    FND_OBJECT(TBQDataGroupEntry)
};

// A root that only shows entries owned elsewhere: they join its list without parent, date or callbacks.
class LMVFilteredDataEntryRoot : public TBQDataEntry {
    FND_OBJECT(LMVFilteredDataEntryRoot)
public:
    void addFilteredObjects(const EntryArray& entries);
};
