#include "RuntimeModel.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/foundation/runtime/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace fnd;
using namespace rtmodel;

namespace {

// The names of the people in an array, joined by spaces.
std::string names(const Array& people)
{
    std::string out;
    for (const auto& p : people) {
        if (!out.empty())
            out += ' ';
        out += p.objectAs<TestPerson>() ? p.objectAs<TestPerson>()->name().utf8() : p.description().utf8();
    }
    return out;
}

std::vector<Index> indexes(const IndexSet& set)
{
    return set.indexes();
}

class ArrayControllerTest : public ::testing::Test {
protected:
    ArrayControllerTest()
    {
        al = TestPerson::make("Al", 40);
        bo = TestPerson::make("Bo", 30);
        cy = TestPerson::make("Cy", 20);
        controller->setContent(Array { Value(cy), Value(al), Value(bo) });
    }

    std::shared_ptr<ArrayController> controller = std::make_shared<ArrayController>();
    std::shared_ptr<TestPerson> al, bo, cy;
};

}

TEST_F(ArrayControllerTest, SortingKeepsTheSelectedObjectsAndTheContentOrder)
{
    EXPECT_EQ(names(controller->arrangedObjects()), "Cy Al Bo");
    EXPECT_EQ(indexes(controller->selectionIndexes()), std::vector<Index> { 0 }) << "avoids an empty selection";

    controller->setSelectedObjects({ Value(bo) });
    controller->setSortDescriptors({ SortDescriptor::sortDescriptorWithKey("name") });
    EXPECT_EQ(names(controller->arrangedObjects()), "Al Bo Cy");
    EXPECT_EQ(names(controller->contentArray()), "Cy Al Bo") << "the content keeps its own order";
    EXPECT_EQ(controller->selectionIndex(), 1) << "Bo stays selected where sorting put him";
    controller->setSortDescriptors({ SortDescriptor::sortDescriptorWithKey("age", false) });
    EXPECT_EQ(names(controller->arrangedObjects()), "Al Bo Cy");
    controller->setSortDescriptors({ SortDescriptor::sortDescriptorWithKey("age") });
    EXPECT_EQ(names(controller->arrangedObjects()), "Cy Bo Al");
    EXPECT_EQ(names(controller->selectedObjects()), "Bo");

    // New content keeps the selected objects that are still there, and is sorted.
    auto di = TestPerson::make("Di", 10);
    controller->setContent(Array { Value(bo), Value(di), Value(al) });
    EXPECT_EQ(names(controller->arrangedObjects()), "Di Bo Al");
    EXPECT_EQ(names(controller->selectedObjects()), "Bo");
    controller->setPreservesSelection(false);
    controller->setContent(Array { Value(al), Value(bo) });
    EXPECT_EQ(names(controller->selectedObjects()), "Bo") << "the first arranged object, not the old selection";
    controller->setSelectionIndexes({});
    EXPECT_TRUE(controller->selectionIndexes().isEmpty()) << "an empty selection asked for stays empty";
    EXPECT_EQ(controller->selectionIndex(), NotFound);
}

TEST_F(ArrayControllerTest, InsertingAndRemovingAtArrangedIndexesSelectAndNotify)
{
    controller->setSortDescriptors({ SortDescriptor::sortDescriptorWithKey("name") });
    auto recorder = std::make_shared<Recorder>();
    controller->addObserver(
        *recorder, "arrangedObjects", KeyValueObservingOptions::Old | KeyValueObservingOptions::New);

    // Inserted where asked, not re-sorted; the content takes it before the object that follows it.
    auto ed = TestPerson::make("Ed");
    controller->insertObjectAtArrangedObjectIndex(ed, 1);
    EXPECT_EQ(names(controller->arrangedObjects()), "Al Ed Bo Cy");
    EXPECT_EQ(names(controller->contentArray()), "Cy Al Ed Bo");
    EXPECT_EQ(names(controller->selectedObjects()), "Ed") << "selects inserted objects";
    ASSERT_EQ(recorder->seen.size(), 1u);
    EXPECT_EQ(recorder->seen[0].change.kind, KeyValueChangeKind::Insertion);
    EXPECT_EQ(indexes(*recorder->seen[0].change.indexes), std::vector<Index> { 1 });
    EXPECT_EQ(names(*recorder->seen[0].change.newValue.array()), "Ed");

    controller->addObject(TestPerson::make("Ab"));
    EXPECT_EQ(names(controller->arrangedObjects()), "Al Ed Bo Cy Ab") << "added at the end until rearranged";
    EXPECT_EQ(recorder->seen.back().change.kind, KeyValueChangeKind::Insertion);
    EXPECT_EQ(indexes(*recorder->seen.back().change.indexes), std::vector<Index> { 4 });

    // Removing the selection passes it to the object that took its place; others stay selected where they moved.
    controller->setSelectionIndexes({ 1, 3 });
    controller->removeObjectsAtArrangedObjectIndexes({ 0, 1 });
    EXPECT_EQ(names(controller->arrangedObjects()), "Bo Cy Ab");
    EXPECT_EQ(names(controller->selectedObjects()), "Cy");
    EXPECT_EQ(recorder->seen.back().change.kind, KeyValueChangeKind::Removal);
    EXPECT_EQ(indexes(*recorder->seen.back().change.indexes), (std::vector<Index> { 0, 1 }));
    EXPECT_EQ(names(*recorder->seen.back().change.oldValue.array()), "Al Ed");
    controller->remove({});
    EXPECT_EQ(names(controller->arrangedObjects()), "Bo Ab");
    EXPECT_EQ(names(controller->selectedObjects()), "Ab") << "the object that took the removed one's place";

    controller->rearrangeObjects();
    EXPECT_EQ(names(controller->arrangedObjects()), "Ab Bo");
    EXPECT_EQ(recorder->seen.back().change.kind, KeyValueChangeKind::Setting);
    controller->removeObserver(*recorder, "arrangedObjects");

    // Bad indexes raise before anything changes.
    EXPECT_THROW(controller->insertObjectAtArrangedObjectIndex(TestPerson::make("Zz"), 3), Exception);
    EXPECT_THROW(controller->removeObjectAtArrangedObjectIndex(2), Exception);
    EXPECT_THROW(controller->insertObjectsAtArrangedObjectIndexes({ Value(1) }, { 0, 1 }), Exception);
    EXPECT_EQ(names(controller->arrangedObjects()), "Ab Bo");
}

TEST_F(ArrayControllerTest, RemovingFromContentArrangedAsItStandsTakesTheSamePlaces)
{
    // Unsorted, one object twice and a plain value: the content loses the places the arranged objects lose (the
    // second Al, not the first), and the change reports what stood there.
    controller->setContent(Array { Value(al), Value(bo), Value(al), Value(7), Value(cy) });
    auto recorder = std::make_shared<Recorder>();
    controller->addObserver(*recorder, "arrangedObjects", KeyValueObservingOptions::Old);
    controller->removeObjectsAtArrangedObjectIndexes({ 2, 3, 4 });
    EXPECT_EQ(names(controller->arrangedObjects()), "Al Bo");
    EXPECT_EQ(names(controller->contentArray()), "Al Bo");
    ASSERT_EQ(recorder->seen.size(), 1u);
    EXPECT_EQ(names(*recorder->seen[0].change.oldValue.array()), "Al 7 Cy");
    controller->removeObserver(*recorder, "arrangedObjects");

    // Sorted by name, the content keeps its own order and loses the removed objects wherever they stand.
    controller->setContent(Array { Value(cy), Value(al), Value(bo), Value(al) });
    controller->setSortDescriptors({ SortDescriptor::sortDescriptorWithKey("name") });
    EXPECT_EQ(names(controller->arrangedObjects()), "Al Al Bo Cy");
    controller->removeObjectsAtArrangedObjectIndexes({ 1, 3 });
    EXPECT_EQ(names(controller->arrangedObjects()), "Al Bo");
    EXPECT_EQ(names(controller->contentArray()), "Bo Al") << "Cy and Al at its first place leave the content";
}

TEST_F(ArrayControllerTest, EditingARepeatedValueThroughTheSelectionChangesItsOwnPlaceInTheContent)
{
    // Two equal dictionaries, the second selected: the edit lands in the content's third place, as in the arranged
    // objects, and the model bound to the content gets that order back.
    auto owner = TestPerson::make("Owner");
    owner->items = { Value(Dictionary { { "name", Value("a") } }), Value(Dictionary { { "name", Value("b") } }),
        Value(Dictionary { { "name", Value("a") } }) };
    auto plain = std::make_shared<ArrayController>();
    plain->bind(BindingName::ContentArray, *owner, "items");
    plain->setSelectionIndexes(IndexSet { 2 });
    plain->setValueForKeyPath("z", "selection.name");
    auto namesOf = [](const Array& dictionaries) {
        std::string out;
        for (const auto& d : dictionaries)
            out += d.dictionary()->get("name").description().utf8();
        return out;
    };
    EXPECT_EQ(namesOf(plain->arrangedObjects()), "abz");
    EXPECT_EQ(namesOf(plain->contentArray()), "abz");
    EXPECT_EQ(namesOf(owner->items), "abz");
}

TEST_F(ArrayControllerTest, EditingFlagsAreObservableAndNewObjectsComeFromTheObjectClass)
{
    auto recorder = std::make_shared<Recorder>();
    controller->addObserver(*recorder, "canRemove", KeyValueObservingOptions::New);
    controller->addObserver(*recorder, "canAdd", KeyValueObservingOptions::New);
    EXPECT_TRUE(controller->canAdd());
    EXPECT_TRUE(controller->canRemove());
    controller->setSelectionIndexes({});
    EXPECT_FALSE(controller->canRemove());
    ASSERT_FALSE(recorder->seen.empty());
    EXPECT_EQ(recorder->seen.back().keyPath, String("canRemove"));
    EXPECT_EQ(recorder->seen.back().change.newValue, Value(false));
    controller->setEditable(false);
    EXPECT_FALSE(controller->canAdd());
    EXPECT_EQ(recorder->seen.back().change.newValue, Value(false));
    controller->add({});
    EXPECT_EQ(controller->arrangedObjects().size(), 3u) << "not editable: add: does nothing";
    controller->setEditable(true);
    controller->removeObserver(*recorder, "canRemove");
    controller->removeObserver(*recorder, "canAdd");

    controller->setObjectClassName("TestPerson");
    EXPECT_EQ(controller->objectClass(), &TestPerson::staticClassInfo());
    controller->add({});
    ASSERT_EQ(controller->arrangedObjects().size(), 4u);
    EXPECT_TRUE(controller->arrangedObjects().back().objectAs<TestPerson>());
    EXPECT_EQ(controller->selectionIndex(), 3);
    controller->insert({});
    EXPECT_EQ(controller->arrangedObjects().size(), 5u);
    EXPECT_EQ(controller->selectionIndex(), 3) << "insert: puts the new object at the selection";

    // Without an object class the new objects are dictionaries, edited through the selection by replacement.
    auto plain = std::make_shared<ArrayController>();
    plain->add({});
    ASSERT_EQ(plain->arrangedObjects().size(), 1u);
    EXPECT_TRUE(plain->arrangedObjects()[0].isDictionary());
    plain->addObserver(*recorder, "arrangedObjects", KeyValueObservingOptions::New);
    plain->setValueForKeyPath("Fay", "selection.name");
    EXPECT_EQ(plain->arrangedObjects()[0].dictionary()->get("name"), Value("Fay"));
    EXPECT_EQ(plain->contentArray()[0], plain->arrangedObjects()[0]);
    EXPECT_EQ(plain->valueForKeyPath("selection.name"), Value("Fay"));
    EXPECT_EQ(recorder->seen.back().change.kind, KeyValueChangeKind::Replacement);
    plain->removeObserver(*recorder, "arrangedObjects");
}

TEST_F(ArrayControllerTest, SelectionAnswersMarkersAndWritesToEverySelectedObject)
{
    auto empty = std::make_shared<ArrayController>();
    EXPECT_EQ(empty->valueForKeyPath("selection.name"), noSelectionMarker());

    EXPECT_EQ(controller->valueForKeyPath("selection.name"), Value("Cy"));
    controller->setSelectionIndexes({ 0, 2 });
    EXPECT_EQ(controller->valueForKeyPath("selection.name"), multipleValuesMarker());
    EXPECT_EQ(controller->valueForKeyPath("selection.shout"), multipleValuesMarker());
    EXPECT_EQ(controller->valueForKeyPath("selection.wingspan"), notApplicableMarker());
    EXPECT_EQ(controller->valueForKeyPath("selection.wingspan.length"), notApplicableMarker());
    cy->age = 30;
    EXPECT_EQ(controller->valueForKeyPath("selection.age"), Value(30)) << "equal values are one value";

    // An observer of the selection hears the selected objects' changes and selection changes, nothing else.
    auto recorder = std::make_shared<Recorder>();
    controller->addObserver(*recorder, "selection.name", KeyValueObservingOptions::New);
    al->setName("Alf");
    EXPECT_TRUE(recorder->seen.empty()) << "Al is not selected";
    bo->setName("Cy");
    ASSERT_EQ(recorder->seen.size(), 1u);
    EXPECT_EQ(recorder->seen.back().change.newValue, Value("Cy"));
    controller->setSelectionIndex(1);
    ASSERT_EQ(recorder->seen.size(), 2u);
    EXPECT_EQ(recorder->seen.back().change.newValue, Value("Alf"));
    al->setName("Al");
    ASSERT_EQ(recorder->seen.size(), 3u) << "now Al is selected";

    controller->setSelectionIndexes({ 0, 2 });
    controller->setValueForKeyPath("Dee", "selection.name");
    EXPECT_EQ(cy->name(), String("Dee"));
    EXPECT_EQ(bo->name(), String("Dee"));
    EXPECT_EQ(al->name(), String("Al"));
    EXPECT_EQ(recorder->seen.back().change.newValue, Value("Dee"));
    controller->setValueForKeyPath(multipleValuesMarker(), "selection.name");
    EXPECT_EQ(cy->name(), String("Dee")) << "a marker is never stored";
    controller->removeObserver(*recorder, "selection.name");
}

TEST_F(ArrayControllerTest, BoundContentAndSelectionStayInStepWithTheModel)
{
    auto model = TestPerson::make("Model");
    model->items = { Value(al), Value(bo) };
    controller->bind(BindingName::ContentArray, *model, "items");
    EXPECT_EQ(names(controller->arrangedObjects()), "Al Bo");

    // Edits through the controller reach the model, and the model's new lists reach the controller.
    controller->addObject(cy);
    EXPECT_EQ(names(model->items), "Al Bo Cy");
    controller->removeObjectAtArrangedObjectIndex(0);
    EXPECT_EQ(names(model->items), "Bo Cy");
    controller->setSelectedObjects({ Value(cy) });
    model->setValueForKey(Array { Value(cy), Value(al) }, "items");
    EXPECT_EQ(names(controller->arrangedObjects()), "Cy Al");
    EXPECT_EQ(names(controller->selectedObjects()), "Cy");

    // A second controller bound to the first one's selection follows it, and moves it.
    auto follower = std::make_shared<ArrayController>();
    follower->bind(BindingName::ContentArray, *controller, "arrangedObjects");
    follower->bind(BindingName::SelectionIndexes, *controller, "selectionIndexes");
    EXPECT_EQ(follower->selectionIndex(), 0);
    controller->setSelectionIndex(1);
    EXPECT_EQ(follower->selectionIndex(), 1);
    follower->setSelectionIndex(0);
    EXPECT_EQ(controller->selectionIndex(), 0);
}

TEST_F(ArrayControllerTest, AKeyPathThroughTheArrangedObjectsHearsEveryElement)
{
    // What a table column bound to "arrangedObjects.name" relies on.
    auto recorder = std::make_shared<Recorder>();
    controller->addObserver(*recorder, "arrangedObjects.name", KeyValueObservingOptions::New);
    controller->addObserver(*recorder, "arrangedObjects.@count", KeyValueObservingOptions::New);
    al->setName("Alf");
    ASSERT_EQ(recorder->seen.size(), 1u);
    EXPECT_EQ(recorder->seen[0].keyPath, String("arrangedObjects.name"));
    EXPECT_EQ(recorder->seen[0].change.kind, KeyValueChangeKind::Setting);
    EXPECT_EQ(recorder->seen[0].change.newValue, Value(Array { "Cy", "Alf", "Bo" }));

    controller->removeObject(al);
    EXPECT_EQ(recorder->seen.back().change.newValue, Value(2)) << "the count";
    auto seen = recorder->seen.size();
    al->setName("Al");
    EXPECT_EQ(recorder->seen.size(), seen) << "a removed element is no longer followed";
    auto di = TestPerson::make("Di");
    controller->addObject(di);
    di->setName("Dee");
    EXPECT_EQ(recorder->seen.back().change.newValue, Value(Array { "Cy", "Bo", "Dee" })) << "an added one is";
    // An element's own to-many change reaches the path as a setting.
    auto items = std::make_shared<Recorder>();
    controller->addObserver(*items, "arrangedObjects.items");
    di->willChange(KeyValueChangeKind::Insertion, IndexSet(0), "items");
    di->items.push_back(Value(1));
    di->didChange(KeyValueChangeKind::Insertion, IndexSet(0), "items");
    ASSERT_EQ(items->seen.size(), 1u);
    EXPECT_EQ(items->seen[0].change.kind, KeyValueChangeKind::Setting);
    EXPECT_FALSE(items->seen[0].change.indexes);
    controller->removeObserver(*items, "arrangedObjects.items");
    controller->removeObserver(*recorder, "arrangedObjects.name");
    controller->removeObserver(*recorder, "arrangedObjects.@count");
}

TEST_F(ArrayControllerTest, AutomaticRearrangingFollowsSortKeysAndInsertions)
{
    controller->setSortDescriptors({ SortDescriptor::sortDescriptorWithKey("name") });
    controller->setAutomaticallyRearrangesObjects(true);
    controller->setSelectedObjects({ Value(al) });
    al->setName("Zed");
    EXPECT_EQ(names(controller->arrangedObjects()), "Bo Cy Zed");
    EXPECT_EQ(controller->selectionIndex(), 2) << "the selection follows the object";
    controller->insertObjectAtArrangedObjectIndex(TestPerson::make("Ann"), 3);
    EXPECT_EQ(names(controller->arrangedObjects()), "Ann Bo Cy Zed");
    EXPECT_EQ(controller->selectionIndex(), 0);
    // An object that left the content is no longer followed.
    controller->removeObject(bo);
    bo->setName("Aaa");
    EXPECT_EQ(names(controller->arrangedObjects()), "Ann Cy Zed");
    controller->setAutomaticallyRearrangesObjects(false);
    cy->setName("Zzz");
    EXPECT_EQ(names(controller->arrangedObjects()), "Ann Zzz Zed");
}

TEST(ObjectController, OneContentObjectIsTheSelectionAndAddsAndRemovesThroughItsBinding)
{
    auto owner = TestPerson::make("Owner");
    auto address = std::make_shared<TestAddress>();
    address->city = "Oslo";
    owner->address = address;
    auto controller = std::make_shared<ObjectController>();
    EXPECT_EQ(controller->valueForKeyPath("selection.city"), noSelectionMarker());
    EXPECT_FALSE(controller->canRemove());
    controller->bind(BindingName::ContentObject, *owner, "address");
    EXPECT_EQ(controller->valueForKeyPath("selection.city"), Value("Oslo"));
    EXPECT_TRUE(controller->canRemove());

    auto recorder = std::make_shared<Recorder>();
    controller->addObserver(*recorder, "selection.city", KeyValueObservingOptions::New);
    controller->setValueForKeyPath("Rome", "selection.city");
    EXPECT_EQ(address->city, String("Rome"));
    ASSERT_EQ(recorder->seen.size(), 1u);
    EXPECT_EQ(recorder->seen[0].change.newValue, Value("Rome"));

    // remove: and add: replace the content and write it back to the model.
    controller->remove({});
    EXPECT_FALSE(owner->address);
    EXPECT_EQ(recorder->seen.back().change.newValue, noSelectionMarker());
    controller->setObjectClassName("TestAddress");
    controller->add({});
    ASSERT_TRUE(owner->address);
    EXPECT_NE(owner->address, address);
    controller->removeObserver(*recorder, "selection.city");

    // Content that is a value is edited by replacing it.
    auto settings = std::make_shared<ObjectController>();
    settings->setContent(Dictionary { { "unit", "mm" } });
    settings->setValueForKeyPath("pt", "selection.unit");
    EXPECT_EQ(settings->content(), Value(Dictionary { { "unit", "pt" } }));
}

TEST(ArrayControllerRandom, SelectionsFollowTheirObjectsThroughRandomChanges)
{
    // Objects (some of them more than once, some plain values) inserted, removed, and given as new content at
    // random, with a random selection: the selection must stay on the same places of a plain list of the arranged
    // objects, and new content must select, for each object selected before (in order), its first place not
    // taken yet, as a scan from the front finds it.
    for (unsigned seed = 1; seed <= 10; ++seed) {
        std::mt19937 random(seed);
        std::vector<std::shared_ptr<TestPerson>> people;
        for (int i = 0; i < 15; ++i)
            people.push_back(TestPerson::make(String("P" + std::to_string(i))));
        auto element = [&]() -> Value {
            return random() % 5 == 0 ? Value(int(random() % 4)) : Value(people[random() % people.size()]);
        };
        auto same = [](const Value& a, const Value& b) {
            return a.isObject() && b.isObject() ? a.object() == b.object() : a == b;
        };
        auto controller = std::make_shared<ArrayController>();
        controller->setAvoidsEmptySelection(false);
        controller->setSelectsInsertedObjects(false);
        Array arranged;
        std::vector<bool> selected;
        auto check = [&](int step) {
            ASSERT_EQ(controller->arrangedObjects(), arranged) << "seed " << seed << " step " << step;
            IndexSet expected;
            for (std::size_t i = 0; i < selected.size(); ++i)
                if (selected[i])
                    expected.add(Index(i));
            ASSERT_EQ(controller->selectionIndexes(), expected) << "seed " << seed << " step " << step;
        };
        for (int step = 0; step < 300; ++step) {
            const unsigned what = random() % 10;
            if (what < 4) {
                // Some objects at new places (places in the array afterwards).
                const auto n = 1 + random() % 4;
                std::vector<bool> isNew;
                Array objects;
                IndexSet places;
                Array next = arranged;
                std::vector<bool> nextSelected = selected;
                for (unsigned i = 0; i < n; ++i) {
                    const auto at = random() % (next.size() + 1);
                    IndexSet moved;
                    places.enumerate([&](Index index, bool&) { moved.add(index >= Index(at) ? index + 1 : index); });
                    moved.add(Index(at));
                    places = moved;
                    next.insert(next.begin() + std::ptrdiff_t(at), element());
                    nextSelected.insert(nextSelected.begin() + std::ptrdiff_t(at), false);
                }
                places.enumerate([&](Index index, bool&) { objects.push_back(next[std::size_t(index)]); });
                controller->insertObjectsAtArrangedObjectIndexes(objects, places);
                arranged = next;
                selected = nextSelected;
            } else if (what < 6 && !arranged.empty()) {
                IndexSet gone;
                for (unsigned i = 0; i < 1 + random() % 4; ++i)
                    gone.add(Index(random() % arranged.size()));
                controller->removeObjectsAtArrangedObjectIndexes(gone);
                Array next;
                std::vector<bool> nextSelected;
                for (std::size_t i = 0; i < arranged.size(); ++i)
                    if (!gone.contains(Index(i))) {
                        next.push_back(arranged[i]);
                        nextSelected.push_back(selected[i]);
                    }
                arranged = next;
                selected = nextSelected;
            } else if (what < 8) {
                IndexSet chosen;
                for (std::size_t i = 0; i < arranged.size(); ++i)
                    if (random() % 3 == 0)
                        chosen.add(Index(i));
                controller->setSelectionIndexes(chosen);
                for (std::size_t i = 0; i < selected.size(); ++i)
                    selected[i] = chosen.contains(Index(i));
            } else {
                // New content: the old objects shuffled, some dropped and some added.
                Array next;
                for (const auto& v : arranged)
                    if (random() % 4 != 0)
                        next.push_back(v);
                for (unsigned i = 0; i < random() % 4; ++i)
                    next.push_back(element());
                std::shuffle(next.begin(), next.end(), random);
                std::vector<bool> taken(next.size(), false);
                std::vector<bool> nextSelected(next.size(), false);
                for (std::size_t i = 0; i < arranged.size(); ++i) {
                    if (!selected[i])
                        continue;
                    for (std::size_t j = 0; j < next.size(); ++j)
                        if (!taken[j] && same(next[j], arranged[i])) {
                            taken[j] = nextSelected[j] = true;
                            break;
                        }
                }
                // The same content again changes nothing.
                const bool changes = !(next == controller->contentArray());
                controller->setContent(Value(next));
                if (changes) {
                    arranged = next;
                    selected = nextSelected;
                }
            }
            check(step);
        }
    }
}
