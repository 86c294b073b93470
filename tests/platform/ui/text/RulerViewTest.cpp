#include "TextTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/RulerView.h"

#include <cmath>

using namespace ui;
using namespace texttest;

namespace {

// A client that snaps markers to tens and keeps the ones it is told to keep, recording what it hears.
class SnappingClient : public View, public RulerClient {
    FND_OBJECT(SnappingClient)
public:
    static std::shared_ptr<SnappingClient> make(gfx::Rect frame)
    {
        auto view = std::make_shared<SnappingClient>();
        view->initWithFrame(frame);
        return view;
    }
    bool isFlipped() const override { return true; }
    double rulerViewWillMoveMarker(RulerView&, RulerMarker&, double location) override
    {
        return std::round(location / 10) * 10;
    }
    double rulerViewWillAddMarker(RulerView&, RulerMarker&, double location) override
    {
        return std::round(location / 10) * 10;
    }
    void rulerViewDidMoveMarker(RulerView&, RulerMarker& m) override
    {
        heard.push_back("moved " + std::to_string(int(m.markerLocation())));
    }
    bool rulerViewShouldRemoveMarker(RulerView&, RulerMarker&) override { return allowRemoval; }
    void rulerViewDidRemoveMarker(RulerView&, RulerMarker&) override { heard.push_back("removed"); }
    void rulerViewDidAddMarker(RulerView&, RulerMarker& m) override
    {
        heard.push_back("added " + std::to_string(int(m.markerLocation())));
    }

    bool allowRemoval { true };
    std::vector<std::string> heard;
};
FND_REGISTER_CLASS(SnappingClient, View)

std::shared_ptr<gfx::Image> triangle()
{
    return gfx::Image::imageWithSize({ 8, 8 }, false, [](gfx::Rect) { return true; });
}

class RulerTest : public TextTest {
protected:
    RulerTest()
    {
        client = SnappingClient::make({ 30, 10, 360, 200 });
        add(client);
        ruler = RulerView::create(nullptr, RulerOrientation::Horizontal);
        ruler->setFrame({ 30, 210, 360, ruler->requiredThickness() });
        ruler->setClientView(client);
        add(ruler);
    }
    std::shared_ptr<SnappingClient> client;
    std::shared_ptr<RulerView> ruler;
};

}

TEST_F(RulerTest, ThicknessIsTheSumOfItsPartsAndTheFrameFollows)
{
    EXPECT_DOUBLE_EQ(ruler->requiredThickness(), 16 + 15);
    ruler->setRuleThickness(20);
    ruler->setReservedThicknessForAccessoryView(10);
    EXPECT_DOUBLE_EQ(ruler->requiredThickness(), 45);
    EXPECT_DOUBLE_EQ(ruler->frame().height(), 45);
    EXPECT_DOUBLE_EQ(ruler->baselineLocation(), 25);
    // A marker taller than the marker area makes room for itself.
    auto tall = std::make_shared<RulerMarker>(
        ruler, 0, gfx::Image::imageWithSize({ 8, 30 }, false, [](gfx::Rect) { return true; }), gfx::Point { 4, 0 });
    ruler->addMarker(tall);
    EXPECT_DOUBLE_EQ(ruler->requiredThickness(), 20 + 30 + 10);
    auto vertical = RulerView::create(nullptr, RulerOrientation::Vertical);
    vertical->setRuleThickness(24);
    EXPECT_DOUBLE_EQ(vertical->frame().width(), 24 + 15) << "a vertical ruler's thickness is its width";
}

TEST_F(RulerTest, LocationsMapBetweenTheClientAndTheRulerWithTheOriginOffset)
{
    // The client is scrolled by 40 points: its location 40 is at the ruler's 0.
    client->setBoundsOrigin({ 40, 0 });
    EXPECT_DOUBLE_EQ(ruler->rulerLocationForClientLocation(40), 0);
    EXPECT_DOUBLE_EQ(ruler->clientLocationForRulerLocation(100), 140);
    auto marker = std::make_shared<RulerMarker>(ruler, 90, triangle(), gfx::Point { 4, 8 });
    ruler->addMarker(marker);
    EXPECT_EQ(marker->imageRectInRuler(), (gfx::Rect { 50 - 4, 15 - 8, 8, 8 }));
    // The zero mark follows the offset: a dark mark under the ruler's location of client 0 + offset.
    client->setBoundsOrigin({ 0, 0 });
    ruler->setOriginOffset(50);
    auto image = snapshot("ruler");
    auto darkBelow = [&](double x) {
        for (double y = ruler->bounds().height() - 6; y < ruler->bounds().height() - 1; y += 1)
            if (luminance(pixelIn(*image, *ruler, { x, y })) < 180)
                return true;
        return false;
    };
    EXPECT_TRUE(darkBelow(50.6)) << "the zero mark at the origin offset";
    EXPECT_TRUE(darkBelow(100.6)) << "a mark every ten points";
    EXPECT_FALSE(darkBelow(55.6) && darkBelow(52.6)) << "nothing between the finest marks";
}

TEST_F(RulerTest, MarkersMoveAsTheClientSaysAndRemovableOnesComeOff)
{
    auto marker = std::make_shared<RulerMarker>(ruler, 20, triangle(), gfx::Point { 4, 8 });
    ruler->addMarker(marker);
    auto at = [&](double x, double y) { return ruler->convertPointToView({ x, y }, nullptr); };
    backend->mouseDown(*window, at(20, 12));
    backend->mouseDragged(*window, at(57, 12));
    backend->mouseUp(*window, at(57, 12));
    dispatch();
    EXPECT_DOUBLE_EQ(marker->markerLocation(), 60) << "snapped by the client";
    // Dragged well off the ruler, a removable marker goes; a client may keep it where it was.
    marker->setRemovable(true);
    client->allowRemoval = false;
    backend->mouseDown(*window, at(60, 12));
    backend->mouseDragged(*window, at(90, 12));
    backend->mouseDragged(*window, at(90, -60));
    backend->mouseUp(*window, at(90, -60));
    dispatch();
    EXPECT_EQ(ruler->markers().size(), 1u);
    EXPECT_DOUBLE_EQ(marker->markerLocation(), 60);
    client->allowRemoval = true;
    backend->mouseDown(*window, at(60, 12));
    backend->mouseDragged(*window, at(60, -60));
    backend->mouseUp(*window, at(60, -60));
    dispatch();
    EXPECT_TRUE(ruler->markers().empty());
    EXPECT_EQ(client->heard, (std::vector<std::string> { "moved 60", "removed" }));
}

TEST_F(RulerTest, ANewMarkerIsPlacedWithTheMouse)
{
    auto marker = std::make_shared<RulerMarker>(nullptr, 0, triangle(), gfx::Point { 4, 8 });
    auto p = ruler->convertPointToView({ 123, 12 }, nullptr);
    backend->mouseUp(*window, p);
    auto press = Event::mouseEventWithType(EventType::LeftMouseDown, p, 0, 0, window->windowNumber());
    EXPECT_TRUE(ruler->trackMarker(marker, *press));
    EXPECT_DOUBLE_EQ(marker->markerLocation(), 120);
    EXPECT_EQ(ruler->markers().size(), 1u);
    EXPECT_EQ(client->heard.back(), "added 120");
}

TEST_F(RulerTest, RulersAndMarkersKeepTheirSettingsInArchives)
{
    ruler->setRuleThickness(22);
    ruler->setOriginOffset(12.5);
    ruler->setMeasurementUnits("Centimeters");
    auto marker = std::make_shared<RulerMarker>(ruler, 42, nullptr, gfx::Point { 3, 4 });
    marker->setRemovable(true);
    marker->setMovable(false);
    marker->setRepresentedObject(fnd::Value("tab stop"));
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(
        fnd::Value(fnd::Array { fnd::Value(ruler), fnd::Value(marker) }));
    ASSERT_TRUE(data.has_value());
    auto back = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data);
    ASSERT_TRUE(back.array() && back.array()->size() == 2);
    auto ruler2 = (*back.array())[0].objectAs<RulerView>();
    auto marker2 = (*back.array())[1].objectAs<RulerMarker>();
    ASSERT_TRUE(ruler2 && marker2);
    EXPECT_DOUBLE_EQ(ruler2->ruleThickness(), 22);
    EXPECT_DOUBLE_EQ(ruler2->originOffset(), 12.5);
    EXPECT_EQ(ruler2->measurementUnits().utf8(), "Centimeters");
    EXPECT_DOUBLE_EQ(marker2->markerLocation(), 42);
    EXPECT_EQ(marker2->imageOrigin(), (gfx::Point { 3, 4 }));
    EXPECT_TRUE(marker2->isRemovable());
    EXPECT_FALSE(marker2->isMovable());
    EXPECT_EQ(marker2->representedObject().stringValue().utf8(), "tab stop");
}
