#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORRoundedBox/ZORRoundedBox.h"

#include "platform/text/AttributedString.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "support/Canvas.h"

#include <cmath>

namespace roundedboxtest {

class ZORRoundedBoxTest : public viewstest::ViewsTest {
protected:
    std::shared_ptr<ZORRoundedBox> boxWithTitle(const fnd::String& title, double width)
    {
        auto box = ZORRoundedBox::create({ 10, 10, width, 80 });
        box->setTitle(title);
        add(box);
        return box;
    }
    static double titleWidth(ZORRoundedBox& box) { return box.titleCell()->attributedStringValue()->size().width; }
};

TEST_F(ZORRoundedBoxTest, TheTitleTabHasEqualMarginsAndNarrowBoxesGetAFullBar)
{
    auto box = boxWithTitle("Options", 200);
    snapshot("ZORRoundedBox-tab");
    // Border 2: the box rectangle starts at 1.5, the title 6 points in, so the tab ends 2 × 4.5 + its width + 1.
    const double tw = titleWidth(*box);
    EXPECT_EQ(box->titlePathRect().minX(), 1);
    EXPECT_NEAR(box->titlePathRect().maxX(), std::trunc(9 + 4 + tw + 1), 1e-9);

    box->setDrawsFullTitleBar(true);
    snapshot("ZORRoundedBox-bar");
    EXPECT_NEAR(box->titlePathRect().maxX(), 199.5, 1e-9) << "the bar spans the top edge";

    auto narrow = boxWithTitle("Options", std::floor(tw) + 20);
    snapshot();
    EXPECT_NEAR(narrow->titlePathRect().maxX(), narrow->bounds().width() - 0.5, 1e-9) << "too little room for a tab";

    box->setDrawsFullTitleBar(false);
    box->setBorderWidth(0);
    snapshot("ZORRoundedBox-no-border");
    EXPECT_NEAR(box->titlePathRect().maxX(), std::trunc(7 + tw), 1e-9) << "without a border the margin is 4";
}

TEST_F(ZORRoundedBoxTest, TheTabWearsTheBorderOrTheSelectionColourAndTheTitleIsWhite)
{
    auto box = boxWithTitle("Options", 200);
    box->setBorderColor(gfx::Color::colorWithDeviceRed(0.5, 0, 0));
    auto image = snapshot();
    EXPECT_EQ(pixelIn(*image, *box, { 3, 77 }), argb(255, 128, 0, 0)) << "the tab";
    EXPECT_EQ(pixelIn(*image, *box, { 100, 40 }), argb(255, 230, 230, 230)) << "the background";
    EXPECT_EQ(pixelIn(*image, *box, { 199, 40 }), argb(255, 128, 0, 0)) << "the outline";

    box->setSelected(true);
    image = snapshot("ZORRoundedBox-selected");
    auto selection = gfx::Color::alternateSelectedControlColor();
    EXPECT_LE(pixelDistance(pixelIn(*image, *box, { 3, 77 }),
                  argb(255, unsigned(std::lround(selection->redComponent() * 255)),
                      unsigned(std::lround(selection->greenComponent() * 255)),
                      unsigned(std::lround(selection->blueComponent() * 255)))),
        1);
    EXPECT_LE(pixelDistance(pixelIn(*image, *box, { 199, 40 }), pixelIn(*image, *box, { 3, 77 })), 1)
        << "the outline too";

    int white = 0;
    for (double x = 6.5; x < box->titlePathRect().maxX(); x += 1)
        for (double y = 64.5; y < 78; y += 1)
            white += gfx::redOf(pixelIn(*image, *box, { x, y })) > 240;
    EXPECT_GT(white, 10) << "white title letters on the tab";

    box->setNeedsDisplay(false);
    box->setBackgroundColor(gfx::Color::blueColor());
    EXPECT_FALSE(box->needsDisplay()) << "shows only at the next redisplay";
}

TEST_F(ZORRoundedBoxTest, ALongTitleStaysWithinTheBoxLessItsMargins)
{
    auto box = boxWithTitle("A title far too long for a box as narrow as this one", 120);
    auto image = snapshot("ZORRoundedBox-long-title");
    // Border 2: the title rectangle is at most 120 − 2 × 6 wide; the bar spans the box.
    EXPECT_NEAR(box->titlePathRect().maxX(), 119.5, 1e-9);
    int whiteBeyond = 0;
    for (double y = 64.5; y < 78; y += 1)
        whiteBeyond += gfx::redOf(pixelIn(*image, *box, { 114.5, y })) > 240;
    EXPECT_EQ(whiteBeyond, 0) << "no letters within the right margin";
}

TEST_F(ZORRoundedBoxTest, ABoxFromAnInterfaceFileTakesTheDefaultsOverTheFilesLook)
{
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="box" class="ZORRoundedBox">
    <rect key="frame" x="0" y="0" width="150" height="60"/>
    <string key="title">Loaded</string>
    <real key="borderWidth">3</real>
    <color key="titleColor" red="1" green="0" blue="0"/>
    <color key="backgroundColor" red="0" green="0" blue="1"/>
    <bool key="drawsFullTitleBar">true</bool>
    <bool key="selected">true</bool>
  </object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto box = std::dynamic_pointer_cast<ZORRoundedBox>(loaded->objectsById.at("box"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->frame(), gfx::Rect(0, 0, 150, 60));
    EXPECT_EQ(box->title(), "Loaded");
    EXPECT_EQ(box->borderWidth(), 2);
    EXPECT_TRUE(box->titleColor()->isEqual(*gfx::Color::whiteColor()));
    EXPECT_TRUE(box->backgroundColor()->isEqual(*gfx::Color::colorWithCalibratedWhite(0.9)));
    EXPECT_FALSE(box->drawsFullTitleBar());
    EXPECT_FALSE(box->isSelected());
    EXPECT_TRUE(box->preservesContentDuringLiveResize());
}

}
