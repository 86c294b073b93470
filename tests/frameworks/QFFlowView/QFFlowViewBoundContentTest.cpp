// A view bound to an array controller follows insertions, removals and replacements by changing only the items they
// touch: what it shows after each change must be what a view bound afresh to the same content shows, and what a
// view given the same items by a data source shows.
#include "QFFlowViewBoundContent.h"

#include "support/Waiting.h"

#include <algorithm>
#include <random>

namespace flowviewtest {
namespace {

namespace RT = QFFlowViewRepresentationType;

// Changes of every kind at random places, from a fixed seed: after each one the view shows what a view bound to the
// content afresh shows (its items, layers, identifiers, titles, accessible elements, selection and pictures), and
// observes each object of the content once at each key path, and none that left.
TEST_F(FlowViewBoundContentTest, RandomChangesLeaveTheViewAsAFreshBindingShowsIt)
{
    const unsigned seed = 20261209;
    std::mt19937 random(seed);
    auto pick = [&](std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(random); };
    auto controller = std::make_shared<fnd::ArrayController>();
    controller->setSelectsInsertedObjects(false);
    fnd::Array content;
    for (int i = 0; i < 24; ++i)
        content.push_back(i % 3 == 2 ? dictionaryItem() : objectItem());
    controller->setContent(fnd::Value(content));
    view->bind("contentArray", *controller, "arrangedObjects");
    settle(1);
    ASSERT_EQ(differencesFromFreshView(*controller), "");

    auto objectIndexes = [&] {
        std::vector<std::size_t> found;
        const auto& items = controller->arrangedObjects();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].isObject())
                found.push_back(i);
        return found;
    };
    auto dictionaryIndexes = [&] {
        std::vector<std::size_t> found;
        const auto& items = controller->arrangedObjects();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].isDictionary())
                found.push_back(i);
        return found;
    };
    for (int step = 0; step < 70; ++step) {
        auto count = controller->arrangedObjects().size();
        std::string done;
        switch (pick(10)) {
        case 0: {
            auto at = pick(count + 1);
            // Now and then an object the content holds already.
            auto objects = objectIndexes();
            auto item = !objects.empty() && pick(3) == 0 ? controller->arrangedObjects()[objects[pick(objects.size())]]
                                                         : objectItem();
            controller->insertObjectAtArrangedObjectIndex(item, fnd::Index(at));
            done = "insert an object at " + std::to_string(at);
            break;
        }
        case 1: {
            auto at = pick(count + 1);
            controller->insertObjectAtArrangedObjectIndex(dictionaryItem(), fnd::Index(at));
            done = "insert a dictionary at " + std::to_string(at);
            break;
        }
        case 2: {
            // Several at once, at places in the content afterwards.
            auto k = 1 + pick(3);
            fnd::IndexSet places;
            while (std::size_t(places.count()) < k)
                places.add(fnd::Index(pick(count + k)));
            fnd::Array items;
            for (std::size_t i = 0; i < k; ++i)
                items.push_back(pick(2) ? objectItem() : dictionaryItem());
            controller->insertObjectsAtArrangedObjectIndexes(items, places);
            done = "insert at " + places.description().utf8();
            break;
        }
        case 3:
            controller->addObject(objectItem());
            done = "add an object";
            break;
        case 4: {
            if (count == 0)
                continue;
            fnd::IndexSet gone { fnd::Index(pick(count)) };
            if (pick(2))
                gone.add(fnd::Index(pick(count)));
            controller->removeObjectsAtArrangedObjectIndexes(gone);
            done = "remove " + gone.description().utf8();
            break;
        }
        case 5: {
            // Many at once: every second one from a place, or a run.
            if (count < 2)
                continue;
            fnd::IndexSet gone;
            auto from = pick(count);
            if (pick(2))
                for (auto i = from; i < count; i += 2)
                    gone.add(fnd::Index(i));
            else
                gone.add(fnd::Range { fnd::Index(from), fnd::Index(1 + pick(count - from)) });
            controller->removeObjectsAtArrangedObjectIndexes(gone);
            done = "remove " + gone.description().utf8();
            break;
        }
        case 6: {
            // A dictionary is a value: the controller replaces it with its changed copy.
            auto dictionaries = dictionaryIndexes();
            if (dictionaries.empty())
                continue;
            auto at = dictionaries[pick(dictionaries.size())];
            controller->setSelectionIndex(fnd::Index(at));
            const char* keys[] = { "imageItemTitle", "imageItemUID", "imageItemRepresentation" };
            auto key = keys[pick(3)];
            ++made;
            fnd::Value value = std::string_view(key) == "imageItemRepresentation"
                ? fnd::Value(picture(made))
                : fnd::Value(fnd::String("changed " + std::to_string(made)));
            controller->setValueForKeyPath(value, fnd::String(std::string("selection.") + key));
            done = std::string("replace the dictionary's ") + key + " at " + std::to_string(at);
            break;
        }
        case 7: {
            auto objects = objectIndexes();
            if (objects.empty())
                continue;
            auto at = objects[pick(objects.size())];
            auto item = controller->arrangedObjects()[at].objectAs<TestItem>();
            ++made;
            switch (pick(4)) {
            case 0:
                item->setValueForKey(fnd::String("changed o" + std::to_string(made)), "imageItemUID");
                done = "change the identifier";
                break;
            case 1:
                item->setValueForKey(fnd::Value(picture(made)), "imageItemRepresentation");
                done = "change the picture";
                break;
            case 2:
                // A composition shows the default picture and names its content layer so.
                item->setValueForKey(
                    item->type == RT::CGImage ? RT::QCComposition : RT::CGImage, "imageItemRepresentationType");
                done = "change the type";
                break;
            default:
                item->setValueForKey(fnd::String("Renamed " + std::to_string(made)), "imageItemTitle");
                done = "change the title";
                break;
            }
            done += " of the object at " + std::to_string(at);
            break;
        }
        case 8:
            if (count == 0)
                continue;
            view->setSelectedIndex(pick(count));
            done = "select " + std::to_string(view->selectedIndex());
            break;
        default: {
            auto items = controller->arrangedObjects();
            if (pick(2)) {
                std::shuffle(items.begin(), items.end(), random);
                controller->setContent(fnd::Value(items));
                done = "set shuffled content";
                break;
            }
            // Part of itself, in its order: the items that stay keep their layers.
            fnd::Array part;
            const auto kept = pick(4);
            for (const auto& item : items)
                if (pick(4) < kept)
                    part.push_back(item);
            controller->setContent(fnd::Value(part));
            done = "set content to " + std::to_string(part.size()) + " of its items";
            break;
        }
        }
        settle(1);
        EXPECT_EQ(differencesFromFreshView(*controller), "") << "step " << step << " (" << done << "), seed " << seed;
        EXPECT_EQ(observationDifferences(controller->arrangedObjects()), "")
            << "step " << step << " (" << done << "), seed " << seed;
        if (HasFailure())
            break;
    }
    view->unbind("contentArray");
    EXPECT_EQ(observationDifferences({}), "") << "after unbinding";
}

// The bound view shows the items, titles, selection and pictures that a view given the same items by a data source
// shows, as the content grows and shrinks around the selection.
TEST_F(FlowViewBoundContentTest, ABoundViewShowsWhatADataSourceShows)
{
    auto controller = std::make_shared<fnd::ArrayController>();
    controller->setSelectsInsertedObjects(false);
    fnd::Array content;
    for (int i = 0; i < 40; ++i)
        content.push_back(objectItem());
    controller->setContent(fnd::Value(content));
    view->bind("contentArray", *controller, "arrangedObjects");
    auto sourced = QFFlowView::create({ 0, 0, 800, 400 });
    reference->contentView()->addSubview(sourced);
    sourced->setDataSource(source);
    auto compare = [&](const char* after) {
        source->items.assign(controller->arrangedObjects().begin(), controller->arrangedObjects().end());
        sourced->reloadContent();
        if (view->selectedIndex() != QFFlowView::NotFound)
            sourced->setSelectedIndex(view->selectedIndex());
        settle(1);
        drainPictures(*view);
        drainPictures(*sourced);
        EXPECT_EQ(differences(*view, *sourced, controller->arrangedObjects()), "") << "after " << after;
    };
    compare("binding");
    view->setSelectedIndex(20);
    compare("selecting the twentieth");
    EXPECT_EQ(controller->selectionIndex(), 20) << "the selection reaches the controller";
    controller->insertObjectAtArrangedObjectIndex(objectItem(), 5);
    compare("an insertion before the selection");
    controller->addObject(objectItem());
    compare("an addition");
    controller->removeObjectAtArrangedObjectIndex(20);
    compare("the selected item's removal");
    controller->removeObjectsAtArrangedObjectIndexes(fnd::IndexSet(fnd::Range { 0, 10 }));
    compare("a removal of ten before the selection");
    controller->removeObjectsAtArrangedObjectIndexes(
        fnd::IndexSet(fnd::Range { 0, fnd::Index(controller->arrangedObjects().size()) - 3 }));
    compare("a removal past the selection");
    EXPECT_EQ(view->selectedIndex(), 0u) << "a selection past the items moves to the first";
    view->unbind("contentArray");
}

// Item layers of items that leave are let go, with their pictures and accessibility elements, however many leave at
// once; only a few are kept for items to come. Every one that left stayed in the view's spare stack before.
TEST_F(FlowViewBoundContentTest, LayersOfItemsThatLeaveAreReleased)
{
    constexpr std::size_t Items = 1200;
    auto controller = std::make_shared<fnd::ArrayController>();
    controller->setSelectsInsertedObjects(false);
    fnd::Array content;
    for (std::size_t i = 0; i < Items; ++i)
        content.push_back(objectItem());
    controller->setContent(fnd::Value(content));
    view->bind("contentArray", *controller, "arrangedObjects");
    view->setSelectedIndex(Items / 2);
    settle(1);
    std::vector<std::weak_ptr<ui::Layer>> layers, contentLayers;
    std::vector<std::weak_ptr<fnd::Object>> elements;
    auto watch = [&](std::size_t from, std::size_t to) {
        for (auto i = from; i < to; ++i) {
            layers.push_back(view->itemLayerAtIndex(i));
            contentLayers.push_back(view->imageLayerAtIndex(i));
            elements.push_back(contentLayers.back().lock()->valueForKey("axHelper").object());
            EXPECT_TRUE(elements.back().lock()) << "item " << i;
        }
    };
    auto alive = [](const auto& list) {
        return std::size_t(std::count_if(list.begin(), list.end(), [](const auto& w) { return !w.expired(); }));
    };

    // Every second item, then the front half of the rest: 900 item layers leave.
    watch(0, Items);
    fnd::IndexSet everySecond;
    for (std::size_t i = 1; i < Items; i += 2)
        everySecond.add(fnd::Index(i));
    controller->removeObjectsAtArrangedObjectIndexes(everySecond);
    controller->removeObjectsAtArrangedObjectIndexes(fnd::IndexSet(fnd::Range { 0, fnd::Index(Items / 4) }));
    settle(1);
    ASSERT_EQ(view->numberOfItems(), Items / 4);
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return alive(layers) <= Items / 4 + QFFlowView::MaxQueuedItemLayers; }))
        << alive(layers) << " item layers alive";
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return alive(elements) == Items / 4; }))
        << alive(elements) << " accessibility elements alive, for " << Items / 4 << " items";
    EXPECT_EQ(alive(contentLayers), alive(layers));
    // The layers kept for items to come show nothing of the items that left.
    for (std::size_t i = 0; i < layers.size(); ++i)
        if (auto layer = layers[i].lock(); layer && !layer->superlayer()) {
            EXPECT_TRUE(layer->valueForKey("imageItemUID").isNil());
            EXPECT_EQ(contentLayers[i].lock()->contents(), nullptr);
        }

    // Clearing lets go of the rest but the spares.
    controller->removeObjectsAtArrangedObjectIndexes(
        fnd::IndexSet(fnd::Range { 0, fnd::Index(controller->arrangedObjects().size()) }));
    settle(1);
    EXPECT_EQ(view->numberOfItems(), 0u);
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return alive(layers) <= QFFlowView::MaxQueuedItemLayers; }))
        << alive(layers) << " item layers alive";
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return alive(elements) == 0; }));
    view->unbind("contentArray");
}

}
}
