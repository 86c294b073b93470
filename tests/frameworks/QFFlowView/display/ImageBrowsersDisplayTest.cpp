#include "GtkTestSupport.h"

#include "frameworks/QFFlowView/QFFlowView.h"
#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"
#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/backend/gtk/GtkAccessibilityBridge.h"

#include "platform/graphics/Image.h"
#include "platform/layers/LayerAnimation.h"

#include <atk/atk.h>
#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

using namespace gtktest;

namespace {

std::shared_ptr<gfx::BitmapImageRep> displayPicture(int i)
{
    const int w = 160, h = 120;
    auto bitmap = gfx::BitmapImageRep::create(w, h, gfx::BitmapLayout::ARGB32Premultiplied);
    bitmap->setSize({ double(w), double(h) });
    auto pixels = bitmap->pixelBuffer();
    std::uint8_t r = std::uint8_t(40 + (i * 67) % 200), g = std::uint8_t(40 + (i * 131) % 200),
                 b = std::uint8_t(40 + (i * 29) % 200);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool frame = x < 6 || y < 6 || x >= w - 6 || y >= h - 6;
            pixels.row(y)[x] = frame ? 0xFFFFFFFFu : gfx::packPixel(255, r, g, std::uint8_t(b + (x * 40 / w)));
        }
    return bitmap;
}

// Items whose pictures are the display pictures, from a data source. Dictionaries answer the item keys through the
// content binding only, so the items are plain pictures with a small class of their own.
class DisplayPictureItem : public fnd::Object {
public:
    fnd::Value valueForKey(const fnd::String& key) const override
    {
        if (key == fnd::String("imageItemUID"))
            return uid;
        if (key == fnd::String("imageItemRepresentation"))
            return picture;
        if (key == fnd::String("imageItemRepresentationType"))
            return QFFlowViewRepresentationType::CGImage;
        if (key == fnd::String("imageItemTitle"))
            return fnd::String("Picture " + uid.stringValue().utf8());
        return Object::valueForKey(key);
    }
    bool respondsTo(fnd::Selector) const override { return true; }
    fnd::Value uid;
    fnd::Value picture;
};

class DisplayPictureSource : public QFFlowViewDataSource {
public:
    std::vector<fnd::Value> items;
    std::optional<std::size_t> numberOfItemsInFlowView(QFFlowView&) override { return items.size(); }
    std::optional<fnd::Value> flowViewItemAtIndex(QFFlowView&, std::size_t i) override
    {
        return i < items.size() ? items[i] : fnd::Value();
    }
};

std::shared_ptr<DisplayPictureSource> displayPictureSource(int count)
{
    auto source = std::make_shared<DisplayPictureSource>();
    for (int i = 0; i < count; ++i) {
        auto item = std::make_shared<DisplayPictureItem>();
        item->uid = fnd::String(std::to_string(i));
        item->picture = fnd::Value(displayPicture(i));
        source->items.push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(item)));
    }
    return source;
}

// Device pixels that differ between two shots of the same area.
int differingPixels(const Screenshot& a, const Screenshot& b)
{
    int count = 0;
    for (int y = 0; y < std::min(a.height, b.height); ++y)
        for (int x = 0; x < std::min(a.width, b.width); ++x)
            count += a.at(x, y) != b.at(x, y);
    return count;
}

// Layers whose animations have all ended.
bool layersAtRest(const std::vector<std::shared_ptr<ui::Layer>>& layers)
{
    return std::all_of(layers.begin(), layers.end(), [](const auto& layer) { return layer->animationKeys().empty(); });
}

bool cardFlowAtRest(const ZORCardFlowView& view)
{
    return layersAtRest(view.itemLayers());
}

bool flowViewAtRest(const QFFlowView& view)
{
    std::vector<std::shared_ptr<ui::Layer>> layers;
    for (std::size_t i = 0; i < view.numberOfItems(); ++i) {
        layers.push_back(view.itemLayerAtIndex(i));
        layers.push_back(view.imageLayerAtIndex(i));
    }
    return layersAtRest(layers);
}

class ImageBrowsersDisplayTest : public GtkDisplayTest {
protected:
    // What a wait for the view on the real clock allows: a loaded machine draws its frames late.
    static constexpr double Bound = 30;
    void key(const std::string& keys) { ASSERT_EQ(runWhileServing(*backend, "xdotool key " + keys).status, 0); }
    void click(const ui::Window& window, gfx::Point inContent, double contentHeight)
    {
        auto [x, y, width, height] = deviceRectOfContent(window);
        (void)width, (void)height;
        int s = scale();
        auto command = fmt::format(
            "xdotool mousemove {} {} click 1", x + int(inContent.x * s), y + int((contentHeight - inContent.y) * s));
        ASSERT_EQ(runWhileServing(*backend, command).status, 0);
    }
    Screenshot shoot(const ui::Window& window)
    {
        auto [x, y, width, height] = deviceRectOfContent(window);
        return grabScreen(x, y, width, height);
    }
    // Two shots while something moves, the second once the window has presented two more frames and the moving
    // value (`moving`, read from the view's presentation) has changed; on a loaded machine a pair may still fall
    // between two frames, so a few pairs are tried. Answers the pair that differs most.
    std::pair<Screenshot, Screenshot> shootWhileMoving(
        const ui::Window& window, const std::function<fnd::Value()>& moving)
    {
        std::pair<Screenshot, Screenshot> best;
        int bestDifference = -1;
        for (int attempt = 0; attempt < 12; ++attempt) {
            auto early = shoot(window);
            auto frames = backend->presentedFrameCount(window);
            auto before = moving();
            if (!waitFor([&] { return backend->presentedFrameCount(window) > frames + 1 && !(moving() == before); },
                    Bound)) {
                ADD_FAILURE() << "nothing moved";
                return { early, shoot(window) };
            }
            auto later = shoot(window);
            int difference = differingPixels(early, later);
            if (difference > bestDifference) {
                bestDifference = difference;
                best = { early, later };
            }
            if (difference > 2000)
                break;
        }
        return best;
    }
};

// Arrow keys and a click move the card-flow view's selection with its perspective animation.
TEST_F(ImageBrowsersDisplayTest, CardFlowViewAnimatesKeysAndClicks)
{
    const gfx::Size size { 760, 420 };
    auto view = ZORCardFlowView::create({ { 0, 0 }, size });
    fnd::Array content;
    for (int i = 0; i < 12; ++i)
        content.push_back(fnd::Value(gfx::Image::imageWithRepresentation(displayPicture(i))));
    auto window = showWindow({ { 100, 150 }, size }, view);
    view->awakeFromNib();
    view->setShowsScrollbar(true);
    auto empty = shoot(*window);
    view->setContent(content);
    window->makeFirstResponder(view);
    ASSERT_TRUE(waitFor(
        [&] {
            for (const auto& layer : view->itemLayers())
                if (!layer->valueForKey("hasImage").boolValue())
                    return false;
            return true;
        },
        Bound))
        << "the pictures did not arrive";
    // On a loaded machine the first frames with pictures may take a while to reach the screen.
    ASSERT_TRUE(waitFor([&] { return differingPixels(empty, shoot(*window)) > 20000; }, Bound))
        << "no pictures on screen";
    ASSERT_TRUE(waitFor([&] { return cardFlowAtRest(*view); }, Bound));
    shoot(*window).save("cardflow-start.png");

    // Shift slows the move down to 2.1 s, so two shots land inside it.
    key("shift+Right");
    ASSERT_TRUE(waitFor([&] { return view->selectionIndex() == 1; }, Bound));
    auto animation = view->itemLayers().front()->animationForKey("position");
    auto [early, later] = shootWhileMoving(*window, [&] {
        auto shown = view->itemLayers().front()->presentationLayer();
        return shown ? fnd::Value(shown->position()) : fnd::Value();
    });
    early.save("cardflow-mid-1.png");
    later.save("cardflow-mid-2.png");
    EXPECT_EQ(view->selectionIndex(), 1);
    EXPECT_GT(differingPixels(early, later), 2000)
        << "the pictures move between the two shots; animation " << (animation ? animation->duration() : -1.0);
    ASSERT_TRUE(waitFor([&] { return cardFlowAtRest(*view); }, Bound));
    key("Right");
    EXPECT_TRUE(waitFor([&] { return view->selectionIndex() == 2; }, Bound)) << "selection " << view->selectionIndex();
    ASSERT_TRUE(waitFor([&] { return cardFlowAtRest(*view); }, Bound));

    // A click on the part of the next picture that shows selects it.
    auto r = view->rectForItemAtIndex(3);
    click(*window, { std::min(r.maxX(), size.width) - 10, r.midY() }, size.height);
    ASSERT_TRUE(waitFor([&] { return view->selectionIndex() == 3; }, Bound)) << "selection " << view->selectionIndex();
    ASSERT_TRUE(waitFor([&] { return cardFlowAtRest(*view); }, Bound));
    shoot(*window).save("cardflow-final.png");
    window->close();
}

// Arrow keys and a click move the flow view's selection with its perspective animation.
TEST_F(ImageBrowsersDisplayTest, FlowViewAnimatesKeysAndClicks)
{
    const gfx::Size size { 600, 320 };
    auto view = QFFlowView::create({ { 0, 0 }, size });
    auto source = displayPictureSource(12);
    view->setDataSource(source);
    view->setScrollDuration(3.0);
    auto window = showWindow({ { 100, 150 }, size }, view);
    auto empty = shoot(*window);
    view->reloadContent();
    window->makeFirstResponder(view);
    ASSERT_TRUE(waitFor([&] { return differingPixels(empty, shoot(*window)) > 20000; }, Bound))
        << "no pictures on screen";
    ASSERT_TRUE(waitFor([&] { return flowViewAtRest(*view); }, Bound));
    shoot(*window).save("flowview-start.png");

    key("Right");
    ASSERT_TRUE(waitFor([&] { return view->selectedIndex() == 1; }, Bound));
    // The row scrolls the selected item to the middle.
    auto [early, later] = shootWhileMoving(*window, [&] {
        auto shown = view->scrollLayer()->presentationLayer();
        return shown ? fnd::Value(shown->bounds().origin) : fnd::Value();
    });
    early.save("flowview-mid-1.png");
    later.save("flowview-mid-2.png");
    EXPECT_EQ(view->selectedIndex(), 1u);
    EXPECT_GT(differingPixels(early, later), 2000) << "the pictures move between the two shots";
    ASSERT_TRUE(waitFor([&] { return flowViewAtRest(*view); }, Bound));

    view->setScrollDuration(0.4);
    auto content = view->imageLayerAtIndex(2);
    auto r = view->rectInViewForLayer(*content);
    click(*window, { std::min(r.maxX(), size.width) - 8, r.midY() }, size.height);
    ASSERT_TRUE(waitFor([&] { return view->selectedIndex() == 2; }, Bound)) << "selection " << view->selectedIndex();
    ASSERT_TRUE(waitFor([&] { return flowViewAtRest(*view); }, Bound));
    shoot(*window).save("flowview-final.png");
    EXPECT_EQ(view->title(), fnd::String("Picture 2"));
    window->close();
}

}

// What an assistive technology reads of the flow view through the desktop's bridge: the list where the view is on
// the screen, the items in view inside it and showing where their pictures meet the window (the outermost ones the
// scroll layer holds show beyond its edges), an item scrolled far away beyond its right edge and not showing; with
// the view pushed half out of the window, the pictures right of the selected one, wholly out, not showing.
TEST_F(ImageBrowsersDisplayTest, FlowViewItemsReadThroughTheBridgeWhereTheyShow)
{
    const gfx::Size size { 600, 320 };
    auto view = QFFlowView::create({ { 0, 0 }, size });
    auto source = displayPictureSource(40);
    view->setDataSource(source);
    // In a content view of its own size, so that it can be pushed partly out of the window.
    auto container = ui::View::create({ { 0, 0 }, size });
    container->addSubview(view);
    auto window = showWindow({ { 100, 150 }, size }, container);
    view->reloadContent();
    ASSERT_TRUE(waitFor([&] { return view->visibleItemIndexes().length > 0; }, Bound));
    ASSERT_TRUE(waitFor([&] { return flowViewAtRest(*view); }, Bound));
    auto& bridge = ui::GtkAccessibilityBridge::shared();
    auto listElement = view->accessibilityElementOfLayer(*view->backgroundLayer());
    ASSERT_TRUE(listElement);
    auto* list = bridge.accessibleFor(*listElement);
    auto extents = [](AtkObject* object) {
        std::array<int, 4> r {};
        atk_component_get_extents(ATK_COMPONENT(object), &r[0], &r[1], &r[2], &r[3], ATK_XY_SCREEN);
        return r;
    };
    auto showing = [](AtkObject* object) {
        auto* set = atk_object_ref_state_set(object);
        bool result = atk_state_set_contains_state(set, ATK_STATE_SHOWING);
        g_object_unref(set);
        return result;
    };
    auto content = deviceRectOfContent(*window);
    EXPECT_EQ(extents(list), content);
    EXPECT_TRUE(showing(list));

    auto meetsContent = [&](const std::array<int, 4>& r) {
        return r[0] < content[0] + content[2] && r[0] + r[2] > content[0] && r[1] < content[1] + content[3]
            && r[1] + r[3] > content[1];
    };
    auto visible = view->visibleItemIndexes();
    int showingItems = 0;
    for (auto i = std::size_t(visible.location); i < std::size_t(visible.location + visible.length); ++i) {
        auto* item = bridge.accessibleFor(*listElement->objectInChildrenAtIndex(i));
        auto r = extents(item);
        EXPECT_EQ(showing(item), meetsContent(r)) << i;
        showingItems += showing(item) ? 1 : 0;
        EXPECT_GE(r[1], content[1]) << i;
        EXPECT_LE(r[1] + r[3], content[1] + content[3]) << i;
        EXPECT_GT(r[2], 0) << i;
    }
    EXPECT_GE(showingItems, 3);
    auto selected = extents(bridge.accessibleFor(*listElement->objectInChildrenAtIndex(0)));
    EXPECT_NEAR(selected[0] + selected[2] / 2.0, content[0] + content[2] / 2.0, 2 * scale());
    auto* away = bridge.accessibleFor(*listElement->objectInChildrenAtIndex(39));
    EXPECT_FALSE(showing(away));
    EXPECT_GE(extents(away)[0], content[0] + content[2]);

    // The items right of the selection stay held in view by the scroll layer.
    auto holdsRightOfSelection = [&] {
        auto held = view->visibleItemIndexes();
        return held.location + held.length > 6 && flowViewAtRest(*view);
    };
    view->setSelectedIndex(5);
    ASSERT_TRUE(waitFor(holdsRightOfSelection, Bound));
    view->setFrameOrigin({ size.width / 2, 0 });
    ASSERT_TRUE(waitFor(holdsRightOfSelection, Bound));
    auto* selectedItem = bridge.accessibleFor(*listElement->objectInChildrenAtIndex(5));
    auto* right = bridge.accessibleFor(*listElement->objectInChildrenAtIndex(6));
    EXPECT_TRUE(waitFor([&] { return !showing(right); }, Bound)) << "wholly out of the window";
    EXPECT_GE(extents(right)[0], content[0] + content[2]);
    EXPECT_TRUE(showing(selectedItem)) << "across the window's edge";
    window->close();
}
