#pragma once

#include "platform/foundation/bindings/ObjectController.h"
#include "platform/foundation/bindings/SortDescriptor.h"
#include "platform/foundation/runtime/IndexSet.h"

namespace fnd {

namespace detail {
class RearrangeObservations;
}

// Mediates between an array of objects and the views bound to it: the content in its own order, the arranged
// objects (the content sorted by the sort descriptors; a subclass may filter it in arrangeObjects) and a
// selection of arranged indexes. A table binds its rows to "arrangedObjects" and its selection to
// "selectionIndexes"; a pop-up binds "content" to "arrangedObjects" and "selectedIndex" to "selectionIndex"; a
// detail view binds to "selection.<key path>".
//
// Observers of "arrangedObjects" hear an insertion, removal or replacement with its indexes when only that
// happened (an insert at an arranged index that is not rearranged), otherwise a setting. Changes the controller
// makes to the content are written back through its "contentArray" binding, and selection changes through its
// "selectionIndexes" binding, when those are bound.
//
// Selection rules: preservesSelection keeps the selected objects selected when the content is replaced or
// rearranged; avoidsEmptySelection selects an object whenever a change of content or arrangement would leave
// nothing selected (an empty selection asked for explicitly stays empty); selectsInsertedObjects makes added and
// inserted objects the selection. With automaticallyRearrangesObjects, a change of a sort key of any content
// object, and every insertion, rearranges.
class ArrayController : public ObjectController {
    FND_OBJECT(ArrayController)
    static void describeClass(ClassBuilder<ArrayController>& c);

public:
    ArrayController();
    ~ArrayController() override;

    // The content is an array; nil gives an empty one and any other single value a one-element array.
    Value content() const override { return Value(m_contentArray); }
    void setContent(const Value& content) override;
    const Array& contentArray() const { return m_contentArray; }
    const Array& arrangedObjects() const { return m_arranged; }
    Array valuesForKeyAtIndexes(const String& key, const IndexSet& indexes) const override;

    // What arrangedObjects is made from: the objects sorted by the sort descriptors. Override to filter.
    virtual Array arrangeObjects(const Array& objects) const;
    void rearrangeObjects();
    const SortDescriptors& sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(const SortDescriptors& descriptors);

    // Selection, as arranged indexes. The setters answer whether the selection changed; indexes past the
    // arranged objects are dropped.
    const IndexSet& selectionIndexes() const { return m_selection; }
    bool setSelectionIndexes(const IndexSet& indexes);
    // The first selected index; NotFound when nothing is selected.
    Index selectionIndex() const;
    bool setSelectionIndex(Index index);
    bool addSelectionIndexes(const IndexSet& indexes);
    bool removeSelectionIndexes(const IndexSet& indexes);
    Array selectedObjects() const override;
    bool setSelectedObjects(const Array& objects) override;

    bool avoidsEmptySelection() const { return m_avoidsEmptySelection; }
    void setAvoidsEmptySelection(bool flag) { m_avoidsEmptySelection = flag; }
    bool preservesSelection() const { return m_preservesSelection; }
    void setPreservesSelection(bool flag) { m_preservesSelection = flag; }
    bool selectsInsertedObjects() const { return m_selectsInsertedObjects; }
    void setSelectsInsertedObjects(bool flag) { m_selectsInsertedObjects = flag; }
    bool automaticallyRearrangesObjects() const { return m_automaticallyRearranges; }
    void setAutomaticallyRearrangesObjects(bool flag);

    // Editing. Objects are added at the end, inserted at an arranged index (the content takes them in the same
    // place among its own objects), removed by arranged index or by value. An arranged index past the end raises a
    // range exception.
    bool canInsert() const { return isEditable(); }
    void insert(const Value& sender);
    void addObject(const Value& object) override;
    void addObjects(const Array& objects);
    void insertObjectAtArrangedObjectIndex(const Value& object, Index index);
    // The indexes are the objects' places in the arranged objects afterwards, as for inserting into an array.
    void insertObjectsAtArrangedObjectIndexes(const Array& objects, const IndexSet& indexes);
    void removeObject(const Value& object) override;
    void removeObjects(const Array& objects);
    void removeObjectAtArrangedObjectIndex(Index index);
    void removeObjectsAtArrangedObjectIndexes(const IndexSet& indexes);
    // Action: removes the selected objects.
    void remove(const Value& sender) override;

protected:
    void setValueForKeyPathOfSelection(const Value& value, const String& keyPath) override;

private:
    enum class Origin { Outside, Controller };
    struct Hint {
        KeyValueChangeKind kind { KeyValueChangeKind::Setting };
        IndexSet indexes;
        // The arrangement was made from the old one by this very change, so the hint holds without comparing the
        // arrangements element by element.
        bool exact { false };
    };

    // Announces and stores a new state; only what differs is announced. nullopt stands for a content or
    // arrangement that stays as it is (neither copied nor compared, which a selection among many objects would pay
    // for).
    void commit(std::optional<Array> content, std::optional<Array> arranged, IndexSet selection, const Hint& hint,
        Origin origin);
    bool hintHolds(const Array& arranged, const Hint& hint) const;
    // A selection within count, with avoidsEmptySelection applied (preferring the index given).
    IndexSet settledSelection(IndexSet selection, std::size_t count, Index preferred) const;
    IndexSet indexesOfObjects(const Array& objects, const Array& in) const;
    void updateRearrangeObservations();

    Array m_contentArray;
    Array m_arranged;
    IndexSet m_selection;
    SortDescriptors m_sortDescriptors;
    bool m_avoidsEmptySelection { true };
    bool m_preservesSelection { true };
    bool m_selectsInsertedObjects { true };
    bool m_automaticallyRearranges { false };
    std::unique_ptr<detail::RearrangeObservations> m_rearrangeObservations;
};

}
