#include "platform/foundation/bindings/ArrayController.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/detail/ControllerElements.h"
#include "platform/foundation/detail/KeyValueObservingInternals.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"

#include <fmt/format.h>

#include <algorithm>

namespace fnd {

FND_REGISTER_CLASS(ArrayController, ObjectController)

void ArrayController::describeClass(ClassBuilder<ArrayController>& c)
{
    c.property(
        "contentArray", [](const ArrayController& a) { return a.m_contentArray; },
        [](ArrayController& a, const Value& v) { a.setContent(v); });
    c.property("arrangedObjects", &ArrayController::arrangedObjects);
    c.property("selectionIndexes", &ArrayController::selectionIndexes,
        [](ArrayController& a, const IndexSet& s) { a.setSelectionIndexes(s); });
    c.property("selectionIndex", &ArrayController::selectionIndex,
        [](ArrayController& a, Index i) { a.setSelectionIndex(i); });
    c.property(
        "sortDescriptors", [](const ArrayController& a) { return valueFromSortDescriptors(a.m_sortDescriptors); },
        [](ArrayController& a, const Value& v) { a.setSortDescriptors(sortDescriptorsFromValue(v)); });
    c.property("avoidsEmptySelection", &ArrayController::m_avoidsEmptySelection);
    c.property("preservesSelection", &ArrayController::m_preservesSelection);
    c.property("selectsInsertedObjects", &ArrayController::m_selectsInsertedObjects);
    c.property("automaticallyRearrangesObjects", &ArrayController::automaticallyRearrangesObjects,
        &ArrayController::setAutomaticallyRearrangesObjects);
    c.property("canInsert", &ArrayController::canInsert);
    c.action("insert:", &ArrayController::insert);
    c.action("rearrangeObjects", &ArrayController::rearrangeObjects);
    c.keyPathsAffecting("selection", { "arrangedObjects", "selectionIndexes" });
    c.keyPathsAffecting("selectedObjects", { "arrangedObjects", "selectionIndexes" });
    c.keyPathsAffecting("selectionIndex", { "selectionIndexes" });
    c.keyPathsAffecting("canRemove", { "selectionIndexes" });
    c.keyPathsAffecting("canInsert", { "editable" });
    c.keyPathsAffecting("contentArray", { "content" });
    c.exposeBinding(BindingName::ContentArray);
    c.exposeBinding(BindingName::SelectionIndexes);
    c.exposeBinding(BindingName::SortDescriptors);
}

namespace detail {

// While objects rearrange automatically: an observation of every sort key of every content object.
class RearrangeObservations : public ControllerObservations {
public:
    void observeAll(ArrayController& controller, const Array& objects, const SortDescriptors& descriptors)
    {
        clear();
        WeakObjectRef weak(controller);
        for (const auto& element : objects) {
            auto object = element.object();
            if (!object)
                continue;
            for (const auto& d : descriptors) {
                if (!d->key().isEmpty())
                    add(*object, d->key(), weak,
                        [](Object& c) { static_cast<ArrayController&>(c).rearrangeObjects(); });
            }
        }
    }
};

}

namespace {

// The position of the element among the ones not yet taken; NotFound when it is not there.
Index findElement(const Array& array, const Value& element, std::vector<bool>& taken)
{
    for (std::size_t i = 0; i < array.size(); ++i) {
        if (!taken[i] && detail::sameElement(array[i], element)) {
            taken[i] = true;
            return static_cast<Index>(i);
        }
    }
    return NotFound;
}

// Whether `longer` without the elements at the indexes is `shorter`, compared as Array's == compares, without
// making that copy.
bool equalWithoutIndexes(const Array& longer, const IndexSet& indexes, const Array& shorter)
{
    if (indexes.isEmpty() || indexes.lastIndex() >= static_cast<Index>(longer.size())
        || longer.size() - static_cast<std::size_t>(indexes.count()) != shorter.size())
        return false;
    std::size_t kept = 0, from = 0;
    for (const auto& range : indexes.ranges()) {
        const auto to = static_cast<std::size_t>(range.location);
        if (!std::equal(longer.begin() + std::ptrdiff_t(from), longer.begin() + std::ptrdiff_t(to),
                shorter.begin() + std::ptrdiff_t(kept)))
            return false;
        kept += to - from;
        from = static_cast<std::size_t>(range.max());
    }
    return std::equal(longer.begin() + std::ptrdiff_t(from), longer.end(), shorter.begin() + std::ptrdiff_t(kept));
}

Array withoutIndexes(const Array& array, const IndexSet& indexes)
{
    // The stretches between the ranges, in one pass.
    Array out;
    out.reserve(array.size());
    std::size_t from = 0;
    for (const auto& range : indexes.ranges()) {
        const auto start = std::min(static_cast<std::size_t>(std::max<Index>(range.location, 0)), array.size());
        if (start > from)
            out.insert(out.end(), array.begin() + std::ptrdiff_t(from), array.begin() + std::ptrdiff_t(start));
        from = std::max(from, std::min(static_cast<std::size_t>(std::max<Index>(range.max(), 0)), array.size()));
    }
    out.insert(out.end(), array.begin() + std::ptrdiff_t(from), array.end());
    return out;
}

// Whether two arrays hold the same elements in the same order, objects by identity.
bool sameElements(const Array& a, const Array& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto* object = a[i].objectPointer();
        if (object ? object != b[i].objectPointer() : !(a[i] == b[i]))
            return false;
    }
    return true;
}

// Where the elements of an array are, so that finding many of them costs a look-up each rather than a scan each:
// objects by identity, other values by a scan as before. Each place is taken once, the first free one first, as
// findElement does.
class ElementPlaces {
public:
    explicit ElementPlaces(const Array& array)
        : m_array(array)
        , m_taken(array.size(), false)
    {
        m_objects.reserve(array.size());
        for (std::size_t i = 0; i < array.size(); ++i)
            if (auto object = array[i].object())
                m_objects.emplace_back(object.get(), i);
        // By object, each object's places in order.
        std::sort(m_objects.begin(), m_objects.end());
    }

    Index take(const Value& element)
    {
        auto object = element.object();
        if (!object)
            return findElement(m_array, element, m_taken);
        const auto* key = object.get();
        auto it = std::lower_bound(m_objects.begin(), m_objects.end(), key,
            [](const auto& entry, const Object* o) { return entry.first < o; });
        for (; it != m_objects.end() && it->first == key; ++it) {
            if (m_taken[it->second])
                continue;
            m_taken[it->second] = true;
            return static_cast<Index>(it->second);
        }
        return NotFound;
    }

private:
    const Array& m_array;
    std::vector<bool> m_taken;
    std::vector<std::pair<const Object*, std::size_t>> m_objects;
};

// Indexes after the given ones were removed from the array they point into.
IndexSet shiftedForRemoval(const IndexSet& indexes, const IndexSet& removed)
{
    // Both run upwards: the removed indexes below each kept one are counted on the way.
    const auto gone = removed.indexes();
    std::size_t below = 0;
    IndexSet out;
    indexes.enumerate([&](Index i, bool&) {
        while (below < gone.size() && gone[below] < i)
            ++below;
        if (below < gone.size() && gone[below] == i)
            return;
        out.add(i - static_cast<Index>(below));
    });
    return out;
}

// Indexes after objects were inserted at the given places (places in the array afterwards).
IndexSet shiftedForInsertion(const IndexSet& indexes, const IndexSet& inserted)
{
    // Each index moves up by the places at or below it once it has moved by the places before: counted on the way
    // up, since a higher index moves past at least the places a lower one did.
    const auto places = inserted.indexes();
    std::size_t passed = 0;
    IndexSet out;
    indexes.enumerate([&](Index i, bool&) {
        while (passed < places.size() && places[passed] <= i + static_cast<Index>(passed))
            ++passed;
        out.add(i + static_cast<Index>(passed));
    });
    return out;
}

IndexSet indexesBelowCount(IndexSet indexes, std::size_t count)
{
    const auto end = static_cast<Index>(count);
    if (!indexes.isEmpty() && indexes.lastIndex() >= end)
        indexes.remove(Range { end, indexes.lastIndex() - end + 1 });
    return indexes;
}

void raiseBadIndexes(const char* operation, const IndexSet& indexes, std::size_t count)
{
    throw Exception::range(String(fmt::format("ArrayController {}: the indexes {} are beyond {} arranged objects.",
        operation, indexes.description().utf8(), count)));
}

}

ArrayController::ArrayController() = default;

ArrayController::~ArrayController() = default;

Array ArrayController::arrangeObjects(const Array& objects) const
{
    return sortedArrayUsingDescriptors(objects, m_sortDescriptors);
}

Array ArrayController::valuesForKeyAtIndexes(const String& key, const IndexSet& indexes) const
{
    static const String arrangedKey("arrangedObjects");
    return key == arrangedKey ? elementsAtIndexes(m_arranged, indexes)
                              : ObjectController::valuesForKeyAtIndexes(key, indexes);
}

IndexSet ArrayController::indexesOfObjects(const Array& objects, const Array& in) const
{
    IndexSet indexes;
    if (objects.empty())
        return indexes;
    ElementPlaces places(in);
    for (const auto& object : objects) {
        auto i = places.take(object);
        if (i != NotFound)
            indexes.add(i);
    }
    return indexes;
}

IndexSet ArrayController::settledSelection(IndexSet selection, std::size_t count, Index preferred) const
{
    selection = indexesBelowCount(std::move(selection), count);
    if (selection.isEmpty() && m_avoidsEmptySelection && count > 0)
        selection.add(std::clamp<Index>(preferred, 0, static_cast<Index>(count) - 1));
    return selection;
}

bool ArrayController::hintHolds(const Array& arranged, const Hint& hint) const
{
    switch (hint.kind) {
    case KeyValueChangeKind::Insertion:
        return hint.exact ? !hint.indexes.isEmpty() && hint.indexes.lastIndex() < static_cast<Index>(arranged.size())
                && arranged.size() == m_arranged.size() + static_cast<std::size_t>(hint.indexes.count())
                          : equalWithoutIndexes(arranged, hint.indexes, m_arranged);
    case KeyValueChangeKind::Removal:
        return hint.exact ? !hint.indexes.isEmpty() && hint.indexes.lastIndex() < static_cast<Index>(m_arranged.size())
                && arranged.size() + static_cast<std::size_t>(hint.indexes.count()) == m_arranged.size()
                          : equalWithoutIndexes(m_arranged, hint.indexes, arranged);
    case KeyValueChangeKind::Replacement:
        return !hint.indexes.isEmpty() && arranged.size() == m_arranged.size()
            && hint.indexes.lastIndex() < static_cast<Index>(arranged.size())
            && (hint.exact || withoutIndexes(arranged, hint.indexes) == withoutIndexes(m_arranged, hint.indexes));
    case KeyValueChangeKind::Setting:
        break;
    }
    return false;
}

void ArrayController::commit(
    std::optional<Array> content, std::optional<Array> arranged, IndexSet selection, const Hint& hint, Origin origin)
{
    const bool contentChanged = content && !(*content == m_contentArray);
    const bool arrangedChanged
        = (arranged && !(*arranged == m_arranged)) || hint.kind == KeyValueChangeKind::Replacement;
    const bool selectionChanged = !(selection == m_selection);
    if (!contentChanged && !arrangedChanged && !selectionChanged)
        return;
    const bool useHint = arrangedChanged && hintHolds(arranged ? *arranged : m_arranged, hint);

    if (contentChanged)
        willChangeValueForKey("content");
    if (arrangedChanged) {
        if (useHint)
            willChange(hint.kind, hint.indexes, "arrangedObjects");
        else
            willChangeValueForKey("arrangedObjects");
    }
    if (selectionChanged)
        willChangeValueForKey("selectionIndexes");

    if (content)
        m_contentArray = std::move(*content);
    if (arranged)
        m_arranged = std::move(*arranged);
    m_selection = std::move(selection);
    if (contentChanged)
        updateRearrangeObservations();
    selectedObjectsChanged();

    if (selectionChanged)
        didChangeValueForKey("selectionIndexes");
    if (arrangedChanged) {
        if (useHint)
            didChange(hint.kind, hint.indexes, "arrangedObjects");
        else
            didChangeValueForKey("arrangedObjects");
    }
    if (contentChanged)
        didChangeValueForKey("content");

    if (contentChanged && origin == Origin::Controller)
        writeBackBinding(BindingName::ContentArray, Value(m_contentArray));
    if (selectionChanged)
        writeBackBinding(BindingName::SelectionIndexes, Value(std::make_shared<IndexSet>(m_selection)));
}

// Content.

void ArrayController::setContent(const Value& content)
{
    Array array = detail::contentArrayFromValue(content);
    if (array == m_contentArray)
        return;
    Array arranged = arrangeObjects(array);
    IndexSet selection = m_preservesSelection ? indexesOfObjects(selectedObjects(), arranged) : IndexSet {};
    selection = settledSelection(std::move(selection), arranged.size(), 0);
    commit(std::move(array), std::move(arranged), std::move(selection), {}, Origin::Outside);
}

void ArrayController::rearrangeObjects()
{
    Array arranged = arrangeObjects(m_contentArray);
    IndexSet selection = settledSelection(indexesOfObjects(selectedObjects(), arranged), arranged.size(), 0);
    commit(std::nullopt, std::move(arranged), std::move(selection), {}, Origin::Controller);
}

void ArrayController::setSortDescriptors(const SortDescriptors& descriptors)
{
    if (detail::sameSortDescriptors(descriptors, m_sortDescriptors))
        return;
    willChangeValueForKey("sortDescriptors");
    m_sortDescriptors = descriptors;
    didChangeValueForKey("sortDescriptors");
    updateRearrangeObservations();
    rearrangeObjects();
    writeBackBinding(BindingName::SortDescriptors, valueFromSortDescriptors(m_sortDescriptors));
}

void ArrayController::setAutomaticallyRearrangesObjects(bool flag)
{
    if (flag == m_automaticallyRearranges)
        return;
    m_automaticallyRearranges = flag;
    updateRearrangeObservations();
}

void ArrayController::updateRearrangeObservations()
{
    if (!m_automaticallyRearranges || m_sortDescriptors.empty()) {
        m_rearrangeObservations.reset();
        return;
    }
    if (!m_rearrangeObservations)
        m_rearrangeObservations = std::make_unique<detail::RearrangeObservations>();
    m_rearrangeObservations->observeAll(*this, m_contentArray, m_sortDescriptors);
}

// Selection.

bool ArrayController::setSelectionIndexes(const IndexSet& indexes)
{
    IndexSet selection = indexesBelowCount(indexes, m_arranged.size());
    if (selection == m_selection)
        return false;
    commit(std::nullopt, std::nullopt, std::move(selection), {}, Origin::Controller);
    return true;
}

Index ArrayController::selectionIndex() const
{
    return m_selection.firstIndex();
}

bool ArrayController::setSelectionIndex(Index index)
{
    return setSelectionIndexes(index < 0 || index == NotFound ? IndexSet {} : IndexSet(index));
}

bool ArrayController::addSelectionIndexes(const IndexSet& indexes)
{
    IndexSet selection = m_selection;
    selection.add(indexes);
    return setSelectionIndexes(selection);
}

bool ArrayController::removeSelectionIndexes(const IndexSet& indexes)
{
    IndexSet selection = m_selection;
    selection.remove(indexes);
    return setSelectionIndexes(selection);
}

Array ArrayController::selectedObjects() const
{
    Array objects;
    m_selection.enumerate([&](Index i, bool& stop) {
        if (i >= static_cast<Index>(m_arranged.size())) {
            stop = true;
            return;
        }
        objects.push_back(m_arranged[static_cast<std::size_t>(i)]);
    });
    return objects;
}

bool ArrayController::setSelectedObjects(const Array& objects)
{
    return setSelectionIndexes(indexesOfObjects(objects, m_arranged));
}

// Editing.

void ArrayController::insert(const Value&)
{
    if (!canInsert())
        return;
    Value object = newObject();
    if (object.isNil())
        return;
    Index at = m_selection.isEmpty() ? static_cast<Index>(m_arranged.size()) : m_selection.firstIndex();
    insertObjectAtArrangedObjectIndex(object, at);
}

void ArrayController::addObject(const Value& object)
{
    addObjects({ object });
}

void ArrayController::addObjects(const Array& objects)
{
    if (objects.empty())
        return;
    IndexSet places(Range { static_cast<Index>(m_arranged.size()), static_cast<Index>(objects.size()) });
    insertObjectsAtArrangedObjectIndexes(objects, places);
}

void ArrayController::insertObjectAtArrangedObjectIndex(const Value& object, Index index)
{
    if (index < 0)
        raiseBadIndexes("insertObjectAtArrangedObjectIndex", IndexSet {}, m_arranged.size());
    insertObjectsAtArrangedObjectIndexes({ object }, IndexSet(index));
}

void ArrayController::insertObjectsAtArrangedObjectIndexes(const Array& objects, const IndexSet& indexes)
{
    if (static_cast<Index>(objects.size()) != indexes.count())
        throw Exception::invalidArgument(String(
            fmt::format("ArrayController: {} objects to insert at {} indexes.", objects.size(), indexes.count())));
    if (objects.empty())
        return;
    const auto total = m_arranged.size() + objects.size();
    if (indexes.lastIndex() >= static_cast<Index>(total))
        raiseBadIndexes("insertObjectsAtArrangedObjectIndexes", indexes, m_arranged.size());

    // The arranged objects with the new ones in their places.
    Array arranged;
    arranged.reserve(total);
    std::size_t next = 0, old = 0;
    for (std::size_t i = 0; i < total; ++i) {
        if (indexes.contains(static_cast<Index>(i)))
            arranged.push_back(objects[next++]);
        else
            arranged.push_back(m_arranged[old++]);
    }
    // The content takes each new object before the content place of the next old arranged object after it.
    Array content = m_contentArray;
    {
        std::vector<bool> isNew(total, false);
        indexes.enumerate([&](Index i, bool&) { isNew[static_cast<std::size_t>(i)] = true; });
        std::vector<Value> pending;
        for (std::size_t i = 0; i <= total; ++i) {
            if (i < total && isNew[i]) {
                pending.push_back(arranged[i]);
                continue;
            }
            if (pending.empty())
                continue;
            std::size_t at = content.size();
            if (i < total) {
                std::vector<bool> taken(content.size(), false);
                auto found = findElement(content, arranged[i], taken);
                if (found != NotFound)
                    at = static_cast<std::size_t>(found);
            }
            content.insert(content.begin() + static_cast<std::ptrdiff_t>(at), pending.begin(), pending.end());
            pending.clear();
        }
    }

    Hint hint { KeyValueChangeKind::Insertion, indexes, !m_automaticallyRearranges };
    IndexSet inserted = indexes;
    if (m_automaticallyRearranges) {
        arranged = arrangeObjects(content);
        inserted = indexesOfObjects(objects, arranged);
    }
    IndexSet selection;
    if (m_selectsInsertedObjects)
        selection = inserted;
    else if (m_automaticallyRearranges)
        selection = indexesOfObjects(selectedObjects(), arranged);
    else
        selection = shiftedForInsertion(m_selection, indexes);
    selection = settledSelection(std::move(selection), arranged.size(), inserted.firstIndex());
    commit(std::move(content), std::move(arranged), std::move(selection), hint, Origin::Controller);
}

void ArrayController::removeObject(const Value& object)
{
    removeObjects({ object });
}

void ArrayController::removeObjects(const Array& objects)
{
    // Objects in the arrangement go by arranged index; ones the arrangement leaves out only leave the content.
    ElementPlaces places(m_arranged);
    IndexSet arrangedIndexes;
    Array hidden;
    for (const auto& object : objects) {
        auto i = places.take(object);
        if (i != NotFound)
            arrangedIndexes.add(i);
        else
            hidden.push_back(object);
    }
    if (!arrangedIndexes.isEmpty())
        removeObjectsAtArrangedObjectIndexes(arrangedIndexes);
    if (!hidden.empty())
        commit(withoutIndexes(m_contentArray, indexesOfObjects(hidden, m_contentArray)), std::nullopt, m_selection, {},
            Origin::Controller);
}

void ArrayController::removeObjectAtArrangedObjectIndex(Index index)
{
    if (index < 0 || index >= static_cast<Index>(m_arranged.size()))
        raiseBadIndexes(
            "removeObjectAtArrangedObjectIndex", index < 0 ? IndexSet {} : IndexSet(index), m_arranged.size());
    removeObjectsAtArrangedObjectIndexes(IndexSet(index));
}

void ArrayController::removeObjectsAtArrangedObjectIndexes(const IndexSet& indexes)
{
    if (indexes.isEmpty())
        return;
    if (indexes.lastIndex() >= static_cast<Index>(m_arranged.size()))
        raiseBadIndexes("removeObjectsAtArrangedObjectIndexes", indexes, m_arranged.size());
    Array arranged = withoutIndexes(m_arranged, indexes);
    // Content arranged as it stands (nothing sorted or filtered out) loses the same places, found with no look-up.
    Array content = sameElements(m_contentArray, m_arranged)
        ? arranged
        : withoutIndexes(m_contentArray, indexesOfObjects(elementsAtIndexes(m_arranged, indexes), m_contentArray));
    // What stays selected keeps its selection; a selection removed entirely passes to the object that took the
    // first removed object's place.
    IndexSet selection = shiftedForRemoval(m_selection, indexes);
    Index preferred = indexes.firstIndex();
    if (!selection.isEmpty() || m_selection.isEmpty())
        preferred = 0;
    selection = settledSelection(std::move(selection), arranged.size(), preferred);
    commit(std::move(content), std::move(arranged), std::move(selection),
        { KeyValueChangeKind::Removal, indexes, true }, Origin::Controller);
}

void ArrayController::remove(const Value&)
{
    if (canRemove())
        removeObjectsAtArrangedObjectIndexes(m_selection);
}

void ArrayController::setValueForKeyPathOfSelection(const Value& value, const String& keyPath)
{
    Array arranged = m_arranged;
    Array content = m_contentArray;
    // Content arranged as it stands has each value in its arranged place: an equal value elsewhere stays as it is.
    const bool samePlaces = sameElements(m_contentArray, m_arranged);
    IndexSet replaced;
    m_selection.enumerate([&](Index i, bool&) {
        auto& element = arranged[static_cast<std::size_t>(i)];
        if (auto object = element.object()) {
            object->setValueForKeyPath(value, keyPath);
            return;
        }
        if (element.isNil() || element.isNull())
            return;
        // A value element is replaced by its changed copy, in the arranged objects and in the content.
        Value changed = element;
        fnd::setValueForKeyPath(changed, value, keyPath);
        if (samePlaces) {
            content[static_cast<std::size_t>(i)] = changed;
        } else {
            std::vector<bool> taken(content.size(), false);
            auto at = findElement(content, element, taken);
            if (at != NotFound)
                content[static_cast<std::size_t>(at)] = changed;
        }
        element = changed;
        replaced.add(i);
    });
    if (replaced.isEmpty())
        return;
    commit(std::move(content), std::move(arranged), m_selection, { KeyValueChangeKind::Replacement, replaced, true },
        Origin::Controller);
    if (m_automaticallyRearranges)
        rearrangeObjects();
}

}
