#pragma once

// A flow view bound to an array controller, and what it shows compared with a view bound afresh to the same content.
#include "QFFlowViewTestSupport.h"

#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/detail/KeyValueObservingInternals.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace flowviewtest {

class FlowViewBoundContentTest : public FlowViewTest {
protected:
    FlowViewBoundContentTest()
    {
        reference = ui::Window::create({ { 900, 50 }, { 800, 400 } });
        view->setDataSource(nullptr);
        view->setImageTitleKeyPath(fnd::String("imageItemTitle"));
    }

    // A picture of its own for each number.
    static std::shared_ptr<gfx::BitmapImageRep> picture(int n)
    {
        return solidBitmap(64, 48,
            0xFF000000u | (std::uint32_t(37 * n % 256) << 16) | (std::uint32_t(91 * n % 256) << 8)
                | std::uint32_t(53 * n % 256));
    }
    fnd::Value objectItem()
    {
        ++made;
        auto item = TestItem::create(fnd::String("o" + std::to_string(made)), fnd::Value(picture(made)),
            QFFlowViewRepresentationType::CGImage, fnd::String("Object " + std::to_string(made)));
        madeObjects.push_back(item);
        return item;
    }
    // A value item: a dictionary answers the item keys through the content binding's key paths.
    fnd::Value dictionaryItem()
    {
        ++made;
        return fnd::Dictionary { { "imageItemUID", fnd::String("d" + std::to_string(made)) },
            { "imageItemRepresentation", fnd::Value(picture(made)) },
            { "imageItemRepresentationType", QFFlowViewRepresentationType::CGImage },
            { "imageItemTitle", fnd::String("Dictionary " + std::to_string(made)) } };
    }

    // A view in the reference window, bound to the controller with the same selection as the view under test.
    std::shared_ptr<QFFlowView> freshView(fnd::ArrayController& controller)
    {
        auto fresh = QFFlowView::create({ 0, 0, 800, 400 });
        reference->contentView()->addSubview(fresh);
        fresh->setImageTitleKeyPath(fnd::String("imageItemTitle"));
        fresh->bind("contentArray", controller, "arrangedObjects");
        if (view->selectedIndex() != QFFlowView::NotFound)
            fresh->setSelectedIndex(view->selectedIndex());
        return fresh;
    }

    // Everything a view shows of its items that the other shows too, as a list of differences (the title included:
    // an item renamed shows its new title only when it is the selected one).
    static std::string differences(QFFlowView& tested, QFFlowView& expected, const fnd::Array& items)
    {
        std::ostringstream out;
        auto differ = [&](const std::string& what) { out << what << "; "; };
        auto n = expected.numberOfItems();
        if (tested.numberOfItems() != n || items.size() != n) {
            out << "items " << tested.numberOfItems() << " instead of " << n;
            return out.str();
        }
        if (tested.selectedIndex() != expected.selectedIndex())
            differ("selection " + std::to_string(tested.selectedIndex()));
        if (tested.title() != expected.title())
            differ("title " + tested.title().utf8());
        auto sublayers = tested.scrollLayer()->sublayers();
        if (sublayers.size() != n)
            differ("scroll layer holds " + std::to_string(sublayers.size()) + " layers");
        auto list = tested.accessibilityElementOfLayer(*tested.backgroundLayer());
        auto expectedList = expected.accessibilityElementOfLayer(*expected.backgroundLayer());
        if (!list || list->countOfChildren() != n)
            differ("accessible list of " + std::to_string(list ? list->countOfChildren() : 0));
        for (std::size_t i = 0; i < n; ++i) {
            const std::string at = " at " + std::to_string(i);
            const auto& item = items[i];
            auto own = tested.imageItemForIndex(i);
            if (!(item.isObject() ? own.objectPointer() == item.objectPointer() : own == item))
                differ("item" + at);
            if (tested.titleAtIndex(i) != expected.titleAtIndex(i))
                differ("title" + at + ": " + tested.titleAtIndex(i).utf8());
            auto layer = tested.itemLayerAtIndex(i);
            auto content = tested.imageLayerAtIndex(i);
            auto expectedContent = expected.imageLayerAtIndex(i);
            if (!layer || !content || !expectedContent) {
                differ("no layers" + at);
                continue;
            }
            if (i < sublayers.size() && sublayers[i] != layer)
                differ("scroll layer order" + at);
            if (layer->valueForKey("index") != fnd::Value(std::int64_t(i))
                || content->valueForKey("index") != fnd::Value(std::int64_t(i)))
                differ("index value" + at);
            auto uid = expected.itemLayerAtIndex(i)->valueForKey("imageItemUID");
            if (layer->valueForKey("imageItemUID") != uid || content->valueForKey("imageItemUID") != uid)
                differ("identifier" + at + ": " + layer->valueForKey("imageItemUID").description().utf8());
            if (content->name() != expectedContent->name())
                differ("content layer name" + at + ": " + content->name().utf8());
            // A hidden item holds no picture (the cache alone keeps them).
            if (layer->isHidden() && content->contents())
                differ("hidden layer with a picture" + at);
            if (list && i < list->countOfChildren() && expectedList) {
                auto element = list->objectInChildrenAtIndex(i);
                if (element->layer() != content)
                    differ("accessible element's layer" + at);
                if (element->accessibilityAttributeValue(ui::AccessibilityAttribute::Title)
                    != expectedList->objectInChildrenAtIndex(i)->accessibilityAttributeValue(
                        ui::AccessibilityAttribute::Title))
                    differ("accessible title" + at);
                if (element->accessibilityAttributeValue(ui::AccessibilityAttribute::Selected).boolValue()
                    != (i == tested.selectedIndex()))
                    differ("accessible selection" + at);
            }
        }
        // The items in view: the same ones, in the same places, with the same pictures.
        auto visible = tested.visibleItemIndexes();
        if (visible.location != expected.visibleItemIndexes().location
            || visible.length != expected.visibleItemIndexes().length) {
            differ("items in view from " + std::to_string(visible.location) + ", " + std::to_string(visible.length));
            return out.str();
        }
        // A click on the selected picture finds its item (through the presentation tree's copies).
        if (auto selected = tested.selectedIndex(); selected != QFFlowView::NotFound) {
            auto r = tested.rectInViewForLayer(*tested.imageLayerAtIndex(selected));
            if (auto hit = tested.indexOfItemAtPoint({ r.midX(), r.midY() }); hit != selected)
                differ("a click on the selected item finds " + std::to_string(hit));
        }
        for (auto i = std::size_t(visible.location); i < std::size_t(visible.location + visible.length); ++i) {
            const std::string at = " at " + std::to_string(i);
            auto layer = tested.itemLayerAtIndex(i);
            auto other = expected.itemLayerAtIndex(i);
            if (layer->isHidden() || layer->frame() != other->frame() || layer->zPosition() != other->zPosition())
                differ("place" + at);
            auto content = tested.imageLayerAtIndex(i);
            auto otherContent = expected.imageLayerAtIndex(i);
            if (content->frame() != otherContent->frame())
                differ("picture frame" + at);
            if (!content->contents() || content->contents() != otherContent->contents()) {
                auto describe = [](const std::shared_ptr<gfx::BitmapImageRep>& p) {
                    if (!p)
                        return std::string("none");
                    if (p == QFFlowView::defaultImage())
                        return std::string("the default");
                    std::ostringstream text;
                    text << p->pixelsWide() << " x " << p->pixelsHigh() << " of " << std::hex
                         << p->pixelBuffer().pixel(1, 1);
                    return text.str();
                };
                differ("picture" + at + ": " + describe(content->contents()) + " instead of "
                    + describe(otherContent->contents()));
            }
        }
        return out.str();
    }

    // The view under test against a view bound afresh to the same content, once both are at rest.
    std::string differencesFromFreshView(fnd::ArrayController& controller)
    {
        auto fresh = freshView(controller);
        settle(1);
        drainPictures(*view);
        drainPictures(*fresh);
        auto found = differences(*view, *fresh, controller.arrangedObjects());
        fresh->removeFromSuperview();
        return found;
    }

    // The view observes each object of the content once at each of its item key paths, and no object that is not
    // in the content (one that left, or never came); the differences as a list.
    std::string observationDifferences(const fnd::Array& items) const
    {
        static const std::vector<std::string> keyPaths { "imageItemRepresentation", "imageItemRepresentationType",
            "imageItemTitle", "imageItemUID" };
        std::set<const fnd::Object*> inContent;
        for (const auto& item : items)
            inContent.insert(item.objectPointer());
        std::ostringstream out;
        for (std::size_t i = 0; i < madeObjects.size(); ++i) {
            auto object = madeObjects[i].lock();
            if (!object)
                continue;
            std::vector<std::string> observed;
            if (auto* state = fnd::detail::ObjectAccess::existingState(*object)) {
                std::lock_guard lock(state->mutex);
                for (const auto& registration : state->registrations)
                    if (registration && registration->observer == view.get())
                        observed.push_back(registration->keyPath().utf8());
            }
            std::sort(observed.begin(), observed.end());
            const auto& expected = inContent.contains(object.get()) ? keyPaths : std::vector<std::string> {};
            if (observed != expected) {
                out << "object " << i + 1 << (inContent.contains(object.get()) ? " (in the content)" : "")
                    << " observed at";
                for (const auto& path : observed)
                    out << " " << path;
                out << "; ";
            }
        }
        return out.str();
    }

    std::shared_ptr<ui::Window> reference;
    int made { 0 };
    // Every object item made, so that one that left can be checked for observations it kept.
    std::vector<std::weak_ptr<fnd::Object>> madeObjects;
};

}
