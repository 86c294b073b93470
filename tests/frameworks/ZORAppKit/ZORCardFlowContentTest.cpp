// The card-flow view's content as it changes in steps, compared with a view given each content at once, and what a
// click hits among many pictures.
#include "CardFlowTestSupport.h"

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/views/Window.h"

#include "support/GeneratedPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>

namespace {

// A content object with its picture at the key "picture"; equal to another only when it is that object.
class CardFlowContentItem : public fnd::Object {
    FND_OBJECT(CardFlowContentItem)
    static void describeClass(fnd::ClassBuilder<CardFlowContentItem>& c)
    {
        c.property("picture", &CardFlowContentItem::picture, &CardFlowContentItem::setPicture);
    }

public:
    fnd::Value picture() const { return m_picture; }
    void setPicture(fnd::Value picture) { m_picture = std::move(picture); }

private:
    fnd::Value m_picture;
};

// Equal to any other of the same name, as a value object is.
class CardFlowNamedItem : public CardFlowContentItem {
    FND_OBJECT(CardFlowNamedItem)
    static void describeClass(fnd::ClassBuilder<CardFlowNamedItem>&) { }

public:
    std::string name;
    bool isEqual(const fnd::Object& other) const override
    {
        auto* named = dynamic_cast<const CardFlowNamedItem*>(&other);
        return named && named->name == name;
    }
    std::size_t hash() const override { return std::hash<std::string>()(name); }
};

FND_REGISTER_CLASS(CardFlowContentItem, fnd::Object)
FND_REGISTER_CLASS(CardFlowNamedItem, CardFlowContentItem)

std::shared_ptr<gfx::Image> cardFlowContentPicture(int width)
{
    return gfx::Image::imageWithRepresentation(testsupport::solidBitmap(width, 12, 0xFF000000u | unsigned(width)));
}

class CardFlowContentTest : public uitest::UiTest {
protected:
    CardFlowContentTest()
    {
        window = ui::Window::create({ { 100, 100 }, { 700, 450 } });
        window->makeKeyAndOrderFront();
        view = makeView();
    }

    // A view of 620 × 400 points with items of the size (140 × 100 at first, so its scroll layer is 600 points wide),
    // in the window or by itself (its layers are laid out all the same, and nothing draws them).
    std::shared_ptr<ZORCardFlowView> makeView(bool inWindow = true, gfx::Size itemSize = { 140, 100 })
    {
        auto made = ZORCardFlowView::create({ 40, 20, 620, 400 });
        if (inWindow)
            window->contentView()->addSubview(made);
        made->setAutoresizesItems(false);
        made->setItemSize(itemSize);
        made->setImageKeyPath(fnd::String("picture"));
        settle();
        return made;
    }
    void settle()
    {
        ui::Transaction::flush();
        fnd::RunLoop::current().runUntilDate(clock->now());
    }

    // The item layer at each content position, as its "index" says; fails when a position has none or two.
    static std::vector<std::shared_ptr<ui::Layer>> byIndex(ZORCardFlowView& v, std::string& fault)
    {
        std::vector<std::shared_ptr<ui::Layer>> layers(v.content().size());
        for (const auto& layer : v.itemLayers()) {
            auto i = layer->valueForKey("index").integerValue();
            if (i < 0 || std::size_t(i) >= layers.size() || layers[std::size_t(i)])
                fault = "index " + std::to_string(i) + " is out of the content or taken twice";
            else
                layers[std::size_t(i)] = layer;
        }
        if (v.itemLayers().size() != layers.size())
            fault = std::to_string(v.itemLayers().size()) + " item layers for " + std::to_string(layers.size())
                + " objects";
        return layers;
    }
    // What a picture layer shows: "placeholder" or the width of the picture (each test picture has its own).
    static std::string shown(ZORCardFlowView& v, const ui::Layer& item)
    {
        auto image = item.sublayers().front();
        auto contents = image->contents();
        auto reflected = image->sublayers().front()->contents();
        std::string what = contents == v.placeholder() ? "placeholder"
            : contents                                 ? std::to_string(contents->pixelsWide())
                                                       : "nothing";
        if (reflected != contents)
            what += " with another reflection";
        return what + (item.valueForKey("hasImage").boolValue() ? " (has image)" : "");
    }
    // The picture under the point as the hit test is defined: the selected one, then those before it from the
    // nearest, then those after it from the nearest.
    static std::int64_t hitByScan(ZORCardFlowView& v, gfx::Point point)
    {
        auto count = std::int64_t(v.content().size());
        auto s = v.selectionIndex();
        auto hit = [&](std::int64_t i) { return gfx::pointInRect(point, v.rectForItemAtIndex(i)); };
        if (hit(s))
            return s;
        for (auto i = std::min(s, count) - 1; i >= 0; --i)
            if (hit(i))
                return i;
        for (auto i = s + 1; i < count; ++i)
            if (hit(i))
                return i;
        return -1;
    }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ZORCardFlowView> view;
};

// Insertions, removals, replacements, moves, equal objects, selections, picture changes and item sizes, in random
// steps: after each one the view shows what a new view given that content shows: every position has one layer
// with its object, its index, its place, its turn and its picture; the selection is the one kept, or the last item
// when the content shrank below it; and a click anywhere hits what a scan of every picture hits.
TEST_F(CardFlowContentTest, ContentChangedInStepsLooksAsContentGivenAtOnce)
{
    for (unsigned seed : { 1u, 2u, 3u }) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        auto below = [&](std::size_t n) { return n == 0 ? std::size_t(0) : std::size_t(random() % n); };
        // Objects that are equal only to themselves, some without a picture; strings, equal by value.
        std::vector<fnd::Value> pool;
        std::vector<std::shared_ptr<CardFlowContentItem>> items;
        for (int k = 0; k < 30; ++k) {
            auto item = fnd::makeObject<CardFlowContentItem>();
            if (k % 5 != 4)
                item->setPicture(fnd::Value(cardFlowContentPicture(10 + k)));
            items.push_back(item);
            pool.push_back(fnd::Value(item));
        }
        for (int k = 0; k < 6; ++k)
            pool.push_back(fnd::String("text " + std::to_string(k)));
        view->setContent({});
        std::vector<fnd::Value> content;
        std::int64_t selection = 0;
        gfx::Size itemSize { 140, 100 };
        view->setItemSize(itemSize);

        for (int step = 0; step < 30; ++step) {
            switch (random() % 9) {
            case 0:
            case 1: { // insert a run of objects (strings made afresh: equal, not the same)
                auto at = below(content.size() + 1);
                auto n = 1 + below(6);
                for (std::size_t k = 0; k < n; ++k) {
                    auto object = pool[below(pool.size())];
                    if (object.isString())
                        object = fnd::String(object.stringValue().utf8());
                    content.insert(content.begin() + std::ptrdiff_t(at), object);
                }
                break;
            }
            case 2: { // remove a run
                auto at = below(content.size());
                auto n = std::min(content.size() - at, 1 + below(5));
                content.erase(content.begin() + std::ptrdiff_t(at), content.begin() + std::ptrdiff_t(at + n));
                break;
            }
            case 3: // replace some
                for (std::size_t k = 0, n = below(5); k < n && !content.empty(); ++k)
                    content[below(content.size())] = pool[below(pool.size())];
                break;
            case 4: // move one, or reverse a run
                if (content.size() > 1 && random() % 2) {
                    auto object = content[below(content.size())];
                    content.erase(std::find(content.begin(), content.end(), object));
                    content.insert(content.begin() + std::ptrdiff_t(below(content.size() + 1)), object);
                } else if (!content.empty()) {
                    auto a = below(content.size()), b = below(content.size());
                    std::reverse(content.begin() + std::ptrdiff_t(std::min(a, b)),
                        content.begin() + std::ptrdiff_t(std::max(a, b) + 1));
                }
                break;
            case 7: // take out many at once: the front half, the back half, every second one, or all
                switch (random() % 4) {
                case 0:
                    content.erase(content.begin(), content.begin() + std::ptrdiff_t(content.size() / 2));
                    break;
                case 1:
                    content.resize(content.size() / 2);
                    break;
                case 2:
                    for (std::size_t k = 1; k < content.size(); ++k)
                        content.erase(content.begin() + std::ptrdiff_t(k));
                    break;
                default:
                    content.clear();
                    break;
                }
                break;
            case 5: // select
                if (!content.empty()) {
                    selection = std::int64_t(below(content.size()));
                    view->setSelectionIndex(selection);
                }
                break;
            case 6: // a picture changes
                items[below(items.size())]->setValueForKey(
                    fnd::Value(cardFlowContentPicture(50 + int(below(20)))), "picture");
                break;
            case 8: // another item size
                itemSize = { double(100 + below(80)), double(70 + below(50)) };
                view->setItemSize(itemSize);
                break;
            }
            view->setContent(content);
            if (content.empty())
                selection = 0;
            else
                selection = std::min(selection, std::int64_t(content.size()) - 1);
            auto fresh = makeView(false, itemSize);
            fresh->setContent(content);
            fresh->setSelectionIndex(selection);
            ASSERT_TRUE(cardflowtest::drainPictures(*view));
            ASSERT_TRUE(cardflowtest::drainPictures(*fresh));
            SCOPED_TRACE("step " + std::to_string(step) + ", " + std::to_string(content.size()) + " objects");

            ASSERT_EQ(view->selectionIndex(), selection);
            std::string fault;
            auto layers = byIndex(*view, fault);
            ASSERT_EQ(fault, "");
            auto expected = byIndex(*fresh, fault);
            const double W = view->scrollLayer()->bounds().width();
            for (std::size_t i = 0; i < content.size(); ++i) {
                SCOPED_TRACE("position " + std::to_string(i));
                const auto& layer = *layers[i];
                const auto& model = *expected[i];
                ASSERT_EQ(layer.valueForKey("representedObject"), content[i]);
                // A picture in view shows in both views, and every layer that shows stands where the row's formula
                // puts it (the others wait, hidden, until they come into view).
                auto r = view->rectForItemAtIndex(std::int64_t(i));
                if (r.maxX() > 0 && r.minX() < view->bounds().width()) {
                    EXPECT_FALSE(layer.isHidden());
                    EXPECT_FALSE(model.isHidden());
                }
                auto place = cardflowtest::placeByFormula(W, itemSize, content.size(), selection, std::int64_t(i));
                for (const auto* shownLayer : { &layer, &model }) {
                    if (shownLayer->isHidden())
                        continue;
                    auto frame = shownLayer->frame();
                    EXPECT_NEAR(frame.minX(), place.frame.minX(), 1e-9);
                    EXPECT_EQ(frame.minY(), place.frame.minY());
                    EXPECT_EQ(frame.size, place.frame.size);
                    EXPECT_NEAR(shownLayer->zPosition(), place.z, 1e-9);
                    auto image = shownLayer->sublayers().front();
                    EXPECT_EQ(image->transform(), cardflowtest::turnOfSide(place.side));
                    EXPECT_EQ(image->zPosition(), place.side == 0 ? 100 : 0);
                    EXPECT_EQ(image->frame(), gfx::Rect({ 0, 0 }, place.frame.size));
                    EXPECT_EQ(image->sublayers().front()->frame(),
                        gfx::Rect(0, -place.frame.height(), place.frame.width(), place.frame.height()));
                }
                EXPECT_EQ(shown(*view, layer), shown(*fresh, model));
                EXPECT_EQ(view->rectForItemAtIndex(std::int64_t(i)), fresh->rectForItemAtIndex(std::int64_t(i)));
            }
            // Clicks: at random, on the edges of pictures and beside them.
            std::vector<gfx::Point> points;
            for (int k = 0; k < 30; ++k)
                points.push_back({ double(random() % 6200) / 10, double(random() % 4000) / 10 });
            for (std::size_t i = 0; i < content.size(); i += 1 + content.size() / 8) {
                auto r = view->rectForItemAtIndex(std::int64_t(i));
                for (double x : { r.minX(), r.minX() + 1, r.midX(), r.maxX() - 1, r.maxX() })
                    points.push_back({ x, r.midY() });
                points.push_back({ r.midX(), r.maxY() + 1 });
            }
            for (auto p : points) {
                auto hit = view->indexOfItemAtPoint(p);
                ASSERT_EQ(hit, hitByScan(*view, p)) << p.x << ", " << p.y;
                ASSERT_EQ(hit, fresh->indexOfItemAtPoint(p)) << p.x << ", " << p.y;
            }
        }
        // An object still shown is still observed: a change of its picture shows.
        for (std::size_t i = 0; i < content.size(); ++i)
            if (auto item = content[i].objectAs<CardFlowContentItem>()) {
                item->setValueForKey(fnd::Value(cardFlowContentPicture(99)), "picture");
                ASSERT_TRUE(cardflowtest::drainPictures(*view));
                std::string fault;
                EXPECT_EQ(shown(*view, *byIndex(*view, fault)[i]), "99 (has image)") << i;
                break;
            }
    }
}

// Many pictures: a click on any of them, or beside them all, finds what a scan of every picture finds, for a
// selection at either end or in the middle.
TEST_F(CardFlowContentTest, ClicksAmongAThousandPicturesHitWhatAScanHits)
{
    fnd::Array content;
    for (int i = 0; i < 1000; ++i)
        content.push_back(fnd::String("item " + std::to_string(i)));
    view->setContent(content);
    for (std::int64_t selected : { 0, 1, 500, 998, 999 }) {
        view->setSelectionIndex(selected);
        settle();
        for (std::int64_t i :
            { std::int64_t(0), selected - 2, selected - 1, selected, selected + 1, selected + 2, std::int64_t(999) }) {
            if (i < 0 || i > 999)
                continue;
            auto r = view->rectForItemAtIndex(i);
            for (gfx::Point p : { gfx::Point { r.minX() + 0.5, r.midY() }, gfx::Point { r.midX(), r.midY() },
                     gfx::Point { r.maxX() - 0.5, r.midY() }, gfx::Point { r.midX(), r.minY() - 0.5 } })
                ASSERT_EQ(view->indexOfItemAtPoint(p), hitByScan(*view, p))
                    << "selected " << selected << ", near " << i << " at " << p.x << ", " << p.y;
        }
        EXPECT_EQ(view->indexOfItemAtPoint({ 5, 395 }), -1) << "above every picture";
    }
}

// An object equal to one the view observes takes its place: the view keeps observing the first, and lets go of it,
// not of the second, when it goes.
TEST_F(CardFlowContentTest, AnEqualObjectInTheContentLeavesTheObservationOnTheFirst)
{
    auto first = fnd::makeObject<CardFlowNamedItem>();
    first->name = "a";
    auto equal = fnd::makeObject<CardFlowNamedItem>();
    equal->name = "a";
    auto other = fnd::makeObject<CardFlowNamedItem>();
    other->name = "b";
    view->setContent({ fnd::Value(first), fnd::Value(other) });
    auto layer = view->itemLayers().front();
    view->setContent({ fnd::Value(equal) });
    ASSERT_EQ(view->itemLayers(), (std::vector { layer })) << "the equal object keeps the layer";
    first->setValueForKey(fnd::Value(cardFlowContentPicture(33)), "picture");
    ASSERT_TRUE(cardflowtest::drainPictures(*view));
    EXPECT_EQ(shown(*view, *layer), "33 (has image)");
    // Removing the view's observation from the object it never observed would raise in its destructor.
    view->removeFromSuperview();
    view.reset();
    first->setValueForKey(fnd::Value(), "picture");
    equal->setValueForKey(fnd::Value(), "picture");
}

// Four PNGs of 5 × 5 pixels that declare 1 pixel per metre (14,173 points a side) show as pictures of their 5 × 5
// pixels: 100 bytes each where a bitmap of their size in points took 800 MB.
TEST_F(CardFlowContentTest, PicturesThatDeclareALowResolutionAreMadeFromTheirPixels)
{
    fnd::Array content;
    for (int i = 0; i < 4; ++i)
        content.push_back(fnd::Value(testsupport::lowResolutionPNG()));
    view->setImageKeyPath(std::nullopt);
    view->setContent(content);
    ASSERT_TRUE(cardflowtest::drainPictures(*view));
    ASSERT_EQ(view->itemLayers().size(), 4u);
    for (const auto& layer : view->itemLayers()) {
        ASSERT_TRUE(layer->valueForKey("hasImage").boolValue());
        auto picture = layer->sublayers().front()->contents();
        EXPECT_EQ(picture->pixelsWide(), 5);
        EXPECT_EQ(picture->pixelsHigh(), 5);
        // Pixel (1, 3) from the top left is (60, 140, 100).
        EXPECT_EQ(picture->pixelBuffer().pixel(1, 3), gfx::packPixel(255, 60, 140, 100));
    }
}

}
