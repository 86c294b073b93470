#include "ControlsTestSupport.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/controls/Button.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

std::shared_ptr<gfx::Image> square(double side, double r, double g, double b)
{
    auto image = gfx::Image::imageWithSize({ side, side });
    image->lockFocus();
    auto* context = gfx::GraphicsContext::current();
    context->setFillColor(*gfx::Color::colorWithCalibratedRed(r, g, b));
    context->fillRect({ 0, 0, side, side });
    image->unlockFocus();
    return image;
}

using ButtonLayoutTest = ControlsTest;

TEST_F(ButtonLayoutTest, ImagePositionsPlaceImageAndTitle)
{
    auto button = Button::create({ 20, 100, 160, 60 }, "Title");
    button->setImage(square(16, 1, 0, 0));
    add(button);
    snapshot();
    auto cell = button->buttonCell();
    auto bounds = button->bounds();
    auto imageRect = [&] { return cell->imageRectForBounds(bounds); };
    auto titleRect = [&] { return cell->titleRectForBounds(bounds); };

    button->setImagePosition(CellImagePosition::ImageLeft);
    EXPECT_LT(imageRect().maxX(), titleRect().minX());
    EXPECT_NEAR(imageRect().midY(), bounds.midY(), 1);
    button->setImagePosition(CellImagePosition::ImageRight);
    EXPECT_GT(imageRect().minX(), titleRect().maxX());
    // The control is flipped: above on the screen is the smaller y.
    button->setImagePosition(CellImagePosition::ImageAbove);
    EXPECT_LE(imageRect().maxY(), titleRect().minY());
    EXPECT_NEAR(imageRect().midX(), bounds.midX(), 1);
    button->setImagePosition(CellImagePosition::ImageBelow);
    EXPECT_GE(imageRect().minY(), titleRect().maxY());
    button->setImagePosition(CellImagePosition::ImageOnly);
    EXPECT_TRUE(titleRect().isEmpty());
    EXPECT_NEAR(imageRect().midX(), bounds.midX(), 1);
    button->setImagePosition(CellImagePosition::ImageOverlaps);
    EXPECT_TRUE(gfx::containsRect(titleRect(), imageRect()));

    // Drawn where the rects say: the red image left of a centred title group.
    button->setImagePosition(CellImagePosition::ImageLeft);
    auto image = snapshot("button-image-left");
    auto r = imageRect();
    EXPECT_EQ(pixelIn(*image, *button, { r.midX(), r.midY() }), argb(255, 255, 0, 0));
    // A title and image sized to fit make the natural width.
    auto natural = cell->cellSize();
    EXPECT_GT(natural.width, 16 + 30);
    EXPECT_LT(natural.width, 120);
}

TEST_F(ButtonLayoutTest, AlternatesShowAsTheMasksSay)
{
    auto toggle = Button::create({ 20, 100, 120, 30 }, "Off");
    toggle->setButtonType(ButtonType::Toggle);
    toggle->setAlternateTitle("On");
    toggle->setImage(square(12, 1, 0, 0));
    toggle->setAlternateImage(square(12, 0, 0, 1));
    toggle->setImagePosition(CellImagePosition::ImageLeft);
    add(toggle);
    auto imageCentre = [&] {
        auto r = toggle->cell()->imageRectForBounds(toggle->bounds());
        return gfx::Point { r.midX(), r.midY() };
    };
    EXPECT_EQ(pixelIn(*snapshot(), *toggle, imageCentre()), argb(255, 255, 0, 0));
    click(*toggle);
    EXPECT_EQ(toggle->state(), ControlStateValue::On);
    EXPECT_EQ(pixelIn(*snapshot("toggle-on"), *toggle, imageCentre()), argb(255, 0, 0, 255))
        << "a toggle that is on shows its alternate image";

    // A momentary-change button shows the alternate only while pressed.
    auto change = Button::create({ 160, 100, 120, 30 }, "Plain");
    change->setButtonType(ButtonType::MomentaryChange);
    change->setImage(square(12, 1, 0, 0));
    change->setAlternateImage(square(12, 0, 0, 1));
    change->setImagePosition(CellImagePosition::ImageOnly);
    change->setBordered(false);
    add(change);
    auto centre = gfx::Point { 60, 15 };
    EXPECT_EQ(pixelIn(*snapshot(), *change, centre), argb(255, 255, 0, 0));
    change->setHighlighted(true);
    EXPECT_EQ(pixelIn(*snapshot(), *change, centre), argb(255, 0, 0, 255));
    change->setHighlighted(false);
    click(*change);
    EXPECT_EQ(pixelIn(*snapshot(), *change, centre), argb(255, 255, 0, 0)) << "no state is kept";
}

TEST_F(ButtonLayoutTest, RecessedButtonsShowTheirFaceUnderTheMouse)
{
    auto button = Button::create({ 20, 100, 120, 30 }, "");
    button->setBezelStyle(BezelStyle::Recessed);
    add(button);
    auto background = pixel(*snapshot(), 5, 5);
    EXPECT_EQ(pixelIn(*snapshot(), *button, { 60, 15 }), background) << "no face until the mouse comes";
    backend->mouseMoved(*window, inWindow(*button, { 60, 15 }));
    dispatch();
    EXPECT_TRUE(button->buttonCell()->isMouseInside());
    EXPECT_NE(pixelIn(*snapshot("recessed-hover"), *button, { 60, 15 }), background);
    backend->mouseMoved(*window, { 300, 20 });
    dispatch();
    EXPECT_FALSE(button->buttonCell()->isMouseInside());
    EXPECT_EQ(pixelIn(*snapshot(), *button, { 60, 15 }), background);
}

TEST_F(ButtonLayoutTest, BezelStylesDrawTheirShapes)
{
    // Each style in a 30-point square: circular and help buttons are round (the corner stays clear), square
    // styles reach the corner, the disclosure triangle points right when closed and down when open.
    struct Row {
        BezelStyle style;
        bool cornerClear;
    };
    const Row rows[] = {
        { BezelStyle::Circular, true },
        { BezelStyle::HelpButton, true },
        { BezelStyle::SmallSquare, false },
        { BezelStyle::RegularSquare, false },
    };
    std::vector<std::shared_ptr<Button>> buttons;
    double x = 20;
    for (const auto& row : rows) {
        auto b = Button::create({ x, 100, 30, 30 }, "");
        b->setBezelStyle(row.style);
        add(b);
        buttons.push_back(b);
        x += 40;
    }
    auto image = snapshot("bezels");
    auto background = pixel(*image, 5, 5);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        auto corner = pixelIn(*image, *buttons[i], { 1.5, 1.5 });
        EXPECT_EQ(corner == background, rows[i].cornerClear) << "style " << int(rows[i].style);
        EXPECT_NE(pixelIn(*image, *buttons[i], { 15, 28 }), background) << "style " << int(rows[i].style);
    }

    auto disclosure = Button::create({ 200, 100, 20, 20 }, "");
    disclosure->setBezelStyle(BezelStyle::Disclosure);
    disclosure->setButtonType(ButtonType::PushOnPushOff);
    add(disclosure);
    auto closed = snapshot();
    click(*disclosure);
    auto open = snapshot("disclosure-open");
    EXPECT_EQ(disclosure->state(), ControlStateValue::On);
    EXPECT_GT(differingShare(*closed, *open, disclosure->frame()), 0.05);
    // Closed: a triangle pointing right; open: one pointing down, wide across its top.
    auto inked
        = [&](const gfx::BitmapImageRep& img, gfx::Point p) { return luminance(pixelIn(img, *disclosure, p)) < 200; };
    EXPECT_TRUE(inked(*closed, { 9, 10 }));
    EXPECT_FALSE(inked(*closed, { 12, 8 }));
    EXPECT_TRUE(inked(*open, { 8, 9 }));
    EXPECT_TRUE(inked(*open, { 12, 9 }));
}

}
