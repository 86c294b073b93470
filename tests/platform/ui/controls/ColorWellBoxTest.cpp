#include "ControlsTestSupport.h"

#include "platform/graphics/Font.h"
#include "platform/ui/containers/Box.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/look/SystemColors.h"

#include "support/Canvas.h"

#include <cmath>

using namespace ui;
using namespace controlstest;

namespace {

// Stands in for the shared colour panel: it answers "color".
class FakeColorPanel : public fnd::Object {
    FND_OBJECT(FakeColorPanel)
    static void describeClass(fnd::ClassBuilder<FakeColorPanel>& c) { c.property("color", &FakeColorPanel::color); }

public:
    gfx::ColorPtr color;
};
FND_REGISTER_CLASS(FakeColorPanel, fnd::Object)

class ColorWellBoxTest : public ControlsTest {
protected:
    ~ColorWellBoxTest() override { ColorWell::setColorPanelOpener(nullptr); }

    static std::uint32_t pixelOf(const gfx::Color& c)
    {
        auto rgba = c.rgba();
        return argb(255, unsigned(rgba[0] * 255 + 0.5), unsigned(rgba[1] * 255 + 0.5), unsigned(rgba[2] * 255 + 0.5));
    }
};

TEST_F(ColorWellBoxTest, OneWellAtATimeTakesThePanelsColour)
{
    std::vector<ColorWell*> opened;
    ColorWell::setColorPanelOpener([&](ColorWell& well) { opened.push_back(&well); });
    auto first = ColorWell::create({ 20, 100, 60, 30 });
    auto second = ColorWell::create({ 100, 100, 60, 30 });
    for (auto& well : { first, second }) {
        well->setTarget(log);
        well->setAction("clicked:");
        add(well);
    }
    auto panel = std::make_shared<FakeColorPanel>();
    panel->color = gfx::Color::colorWithCalibratedRed(0.8, 0.2, 0.1);

    first->changeColor(fnd::Value(panel));
    EXPECT_TRUE(first->color()->isEqual(*gfx::Color::whiteColor())) << "an inactive well ignores the panel";

    click(*first);
    EXPECT_TRUE(first->isActive());
    EXPECT_EQ(ColorWell::activeColorWell(), first);
    EXPECT_EQ(opened, std::vector<ColorWell*> { first.get() });
    first->changeColor(fnd::Value(panel));
    EXPECT_TRUE(first->color()->isEqual(*panel->color));
    EXPECT_EQ(log->count("clicked"), 1);

    click(*second);
    EXPECT_FALSE(first->isActive()) << "one active well at a time";
    EXPECT_TRUE(second->isActive());
    click(*second);
    EXPECT_FALSE(second->isActive());
    EXPECT_FALSE(ColorWell::activeColorWell());

    first->setEnabled(false);
    click(*first);
    EXPECT_FALSE(first->isActive());

    // Drawn: the colour in the swatch; the active well ringed in the accent colour.
    second->setColor(gfx::Color::colorWithCalibratedRed(0, 0.5, 0));
    second->activate();
    auto image = snapshot("color-wells");
    EXPECT_EQ(pixelIn(*image, *second, { 30, 15 }), pixelOf(*second->color()));
    EXPECT_LE(pixelDistance(pixelIn(*image, *second, { 30, 3.5 }), pixelOf(*SystemColors::accentColor())), 40);
    // A colour that is not opaque shows a checkerboard through it.
    second->setColor(gfx::Color::colorWithCalibratedRed(0, 0, 1, 0.5));
    image = snapshot();
    EXPECT_NE(pixelIn(*image, *second, { 7, 7 }), pixelIn(*image, *second, { 11, 7 }));
}

TEST_F(ColorWellBoxTest, BoxLaysOutItsTitleBorderAndContent)
{
    auto box = Box::create({ 20, 20, 200, 150 });
    box->setTitle("Group");
    add(box);
    double th = box->titleRect().height();
    ASSERT_GT(th, 10);
    struct Row {
        TitlePosition position;
        gfx::Rect border;
    };
    const Row rows[] = {
        { TitlePosition::NoTitle, { 0, 0, 200, 150 } },
        { TitlePosition::AboveTop, { 0, 0, 200, 150 - th - 2 } },
        { TitlePosition::AtTop, { 0, 0, 200, 150 - std::round(th / 2) } },
        { TitlePosition::BelowTop, { 0, 0, 200, 150 } },
        { TitlePosition::BelowBottom, { 0, th + 2, 200, 150 - th - 2 } },
    };
    for (const auto& row : rows) {
        box->setTitlePosition(row.position);
        EXPECT_EQ(box->borderRect(), row.border) << int(row.position);
        auto content = box->contentView()->frame();
        EXPECT_EQ(content.minX(), 1 + 5) << "the border and the margin";
        EXPECT_LE(content.maxY(), row.border.maxY() - 6);
        if (row.position == TitlePosition::BelowTop) {
            EXPECT_LE(content.maxY(), box->titleRect().minY());
        }
    }
    // The content view follows the box's size and the margins.
    box->setTitlePosition(TitlePosition::AboveTop);
    box->setContentViewMargins({ 10, 8 });
    box->setFrameSize({ 300, 200 });
    EXPECT_EQ(box->contentView()->frame(), (gfx::Rect { 11, 9, 300 - 22, 200 - th - 2 - 18 }));
    auto contentInWindow
        = box->contentView()->convertRectToView(box->contentView()->bounds(), window->contentView().get());
    box->setFrameFromContentFrame({ 40, 30, 100, 50 });
    EXPECT_EQ(box->contentView()->convertRectToView(box->contentView()->bounds(), window->contentView().get()),
        (gfx::Rect { 40, 30, 100, 50 }));
    (void)contentInWindow;
}

TEST_F(ColorWellBoxTest, BoxesDrawTheirStyles)
{
    auto group = Box::create({ 20, 130, 200, 90 });
    group->setTitle("Settings");
    auto custom = Box::create({ 20, 20, 120, 90 });
    custom->setBoxType(BoxType::Custom);
    custom->setTitlePosition(TitlePosition::NoTitle);
    custom->setFillColor(gfx::Color::colorWithCalibratedRed(1, 1, 0));
    custom->setBorderColor(gfx::Color::colorWithCalibratedRed(0, 0, 1));
    custom->setBorderWidth(3);
    auto separator = Box::create({ 160, 60, 120, 5 });
    separator->setBoxType(BoxType::Separator);
    for (auto& b : { group, custom, separator })
        add(b);
    auto image = snapshot("boxes");
    auto background = pixel(*image, 5, 5);

    EXPECT_EQ(pixelIn(*image, *custom, { 60, 45 }), argb(255, 255, 255, 0));
    EXPECT_EQ(pixelIn(*image, *custom, { 60, 1.5 }), argb(255, 0, 0, 255));
    EXPECT_EQ(pixelIn(*image, *custom, { 60, 4 }), argb(255, 255, 255, 0)) << "three points of border";

    // A separator is one line across the middle.
    EXPECT_LT(luminance(pixelIn(*image, *separator, { 60, 2.5 })), luminance(background));
    EXPECT_EQ(pixelIn(*image, *separator, { 60, 0.5 }), background);

    // The group's top line stops under its title, and the title is drawn there.
    auto title = group->titleRect();
    auto topLine = group->borderRect().maxY() - 0.5;
    EXPECT_LT(luminance(pixelIn(*image, *group, { 150, topLine })), luminance(background) - 10);
    EXPECT_EQ(pixelIn(*image, *group, { title.minX() - 2, topLine }), background);
    int darkest = 255;
    for (double x = title.minX(); x < title.maxX(); x += 1)
        for (double y = title.minY(); y < title.maxY(); y += 1)
            darkest = std::min(darkest, luminance(pixelIn(*image, *group, { x + 0.5, y + 0.5 })));
    EXPECT_LT(darkest, 100);
}

}
