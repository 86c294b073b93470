#include "platform/graphics/Color.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/Shadow.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gfx;

namespace {

void expectRGBA(const ColorPtr& c, double r, double g, double b, double a, const char* what)
{
    ASSERT_TRUE(c) << what;
    auto v = c->rgba();
    EXPECT_NEAR(v[0], r, 1e-9) << what;
    EXPECT_NEAR(v[1], g, 1e-9) << what;
    EXPECT_NEAR(v[2], b, 1e-9) << what;
    EXPECT_NEAR(v[3], a, 1e-9) << what;
}

class Tile : public PatternImage {
public:
    Size patternSize() const override { return { 1, 1 }; }
    void drawPatternTile(GraphicsContext&) const override { }
};

}

TEST(Color, ComponentsAreClampedOnCreation)
{
    expectRGBA(Color::colorWithCalibratedWhite(0.7, 5.0), 0.7, 0.7, 0.7, 1.0, "alpha 5");
    expectRGBA(Color::colorWithDeviceRed(-1, 2, NAN, -0.5), 0, 1, 0, 0, "out of range");
    expectRGBA(Color::colorWithDeviceCyan(2, 0, 0, 0), 0, 1, 1, 1, "cyan beyond 1");
}

TEST(Color, ConversionsBetweenSpaces)
{
    struct Case {
        const char* name;
        ColorPtr color;
        std::array<double, 4> hsb;
        std::array<double, 4> cmyk;
    };
    const Case cases[] = {
        { "red", Color::colorWithCalibratedRed(1, 0, 0), { 0, 1, 1, 1 }, { 0, 1, 1, 0 } },
        { "blue", Color::colorWithCalibratedRed(0, 0, 1), { 2.0 / 3.0, 1, 1, 1 }, { 1, 1, 0, 0 } },
        { "dark cyan", Color::colorWithCalibratedRed(0, 0.5, 0.5), { 0.5, 1, 0.5, 1 }, { 1, 0, 0, 0.5 } },
        { "grey", Color::colorWithCalibratedWhite(0.25), { 0, 0, 0.25, 1 }, { 0, 0, 0, 0.75 } },
        { "black", Color::blackColor(), { 0, 0, 0, 1 }, { 0, 0, 0, 1 } },
    };
    for (const auto& c : cases) {
        auto hsb = c.color->hsba();
        auto cmyk = c.color->cmyk();
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(hsb[i], c.hsb[i], 1e-9) << c.name << " hsb " << i;
            EXPECT_NEAR(cmyk[i], c.cmyk[i], 1e-9) << c.name << " cmyk " << i;
        }
        // Round trips through HSB and CMYK give the colour back.
        auto viaHSB = Color::colorWithCalibratedHue(hsb[0], hsb[1], hsb[2], hsb[3]);
        auto viaCMYK = c.color->colorUsingColorSpaceName(ColorSpaceName::DeviceCMYK);
        auto rgba = c.color->rgba();
        expectRGBA(viaHSB, rgba[0], rgba[1], rgba[2], rgba[3], c.name);
        expectRGBA(viaCMYK, rgba[0], rgba[1], rgba[2], rgba[3], c.name);
    }
    auto grey = Color::colorWithCalibratedRed(1, 1, 1)->colorUsingColorSpaceName(ColorSpaceName::CalibratedWhite);
    EXPECT_EQ(grey->model(), Color::Model::Gray);
    EXPECT_NEAR(grey->whiteComponent(), 1, 1e-12);
    EXPECT_FALSE(Color::redColor()->colorUsingColorSpaceName("NSNoSuchColorSpace"));
}

TEST(Color, BlendingHighlightAndShadow)
{
    auto red = Color::redColor();
    expectRGBA(
        red->blendedColorWithFraction(0.25, *Color::colorWithCalibratedRed(0, 0, 1, 0)), 0.75, 0, 0.25, 0.75, "blend");
    expectRGBA(red->blendedColorWithFraction(7, *Color::blueColor()), 0, 0, 1, 1, "fraction clamped");
    // Highlight and shadow keep the receiver's alpha.
    auto translucent = Color::colorWithCalibratedRed(0.5, 0.5, 0.5, 0.4);
    expectRGBA(translucent->highlightWithLevel(0.2), 0.6, 0.6, 0.6, 0.4, "highlight");
    expectRGBA(translucent->shadowWithLevel(0.2), 0.4, 0.4, 0.4, 0.4, "shadow");
    auto pattern = Color::colorWithPatternImage(std::make_shared<Tile>());
    EXPECT_FALSE(red->blendedColorWithFraction(0.5, *pattern));
    EXPECT_FALSE(pattern->colorUsingColorSpaceName(ColorSpaceName::CalibratedRGB));
    EXPECT_THROW(pattern->redComponent(), fnd::Exception);
    EXPECT_EQ(pattern->colorWithAlphaComponent(0.5)->alphaComponent(), 0.5);
}

TEST(Color, SystemColoursAndEquality)
{
    for (const char* name : { "controlShadowColor", "controlDarkShadowColor", "gridColor", "controlHighlightColor",
             "controlBackgroundColor", "controlTextColor", "disabledControlTextColor", "selectedTextColor",
             "selectedTextBackgroundColor", "keyboardFocusIndicatorColor", "alternateSelectedControlColor",
             "windowBackgroundColor", "clearColor" }) {
        auto c = Color::systemColorNamed(name);
        ASSERT_TRUE(c) << name;
        EXPECT_EQ(c->colorName().utf8(), name);
    }
    EXPECT_FALSE(Color::systemColorNamed("noSuchColor"));
    EXPECT_NEAR(Color::darkGrayColor()->whiteComponent(), 1.0 / 3.0, 1e-12);
    EXPECT_NEAR(Color::lightGrayColor()->whiteComponent(), 2.0 / 3.0, 1e-12);
    EXPECT_EQ(Color::clearColor()->alphaComponent(), 0);
    EXPECT_TRUE(Color::redColor()->isEqual(*Color::colorWithCalibratedRed(1, 0, 0)));
    EXPECT_FALSE(Color::redColor()->isEqual(*Color::colorWithDeviceRed(1, 0, 0)));
    EXPECT_FALSE(Color::whiteColor()->isEqual(*Color::colorWithCalibratedRed(1, 1, 1)));
}

// The standard colours are looked up once and copied from then on: an override set later must still reach every
// caller.
TEST(Color, OverridesReachColoursAskedForBefore)
{
    auto before = Color::selectedControlColor();
    ASSERT_TRUE(before);
    EXPECT_NEAR(before->redComponent(), 0.702, 1e-12);
    EXPECT_NE(Color::selectedControlColor(), before) << "each request has a colour of its own";
    EXPECT_TRUE(Color::selectedControlColor()->isEqual(*before));

    Color::setSystemColorOverride("selectedControlColor", Color::colorWithCalibratedRed(1, 0.5, 0));
    auto overridden = Color::selectedControlColor();
    EXPECT_EQ(overridden->redComponent(), 1);
    EXPECT_EQ(overridden->greenComponent(), 0.5);
    EXPECT_EQ(overridden->colorName().utf8(), "selectedControlColor");
    EXPECT_EQ(Color::systemColorNamed("selectedControlColor")->greenComponent(), 0.5);
    // Other colours keep theirs.
    EXPECT_EQ(Color::textBackgroundColor()->whiteComponent(), 1);

    Color::setSystemColorOverride("selectedControlColor", nullptr);
    EXPECT_NEAR(Color::selectedControlColor()->redComponent(), 0.702, 1e-12);
    EXPECT_NEAR(Color::selectedControlColor()->greenComponent(), 0.843, 1e-12);
}

TEST(Gradient, StopsSortStablyAndInterpolate)
{
    auto g = Gradient::gradientWithColorsAndLocations({
        { Color::whiteColor(), 1.0 },
        { Color::colorWithCalibratedWhite(0.83), 0.5 },
        { Color::colorWithCalibratedWhite(0.95), 0.0 },
        { Color::colorWithCalibratedWhite(0.95), 0.5 },
    });
    ASSERT_EQ(g->numberOfColorStops(), 4);
    EXPECT_EQ(g->colorStopAtIndex(0).location, 0.0);
    // Equal locations keep the order in which they were given: 0.83 before 0.95.
    EXPECT_NEAR(g->colorStopAtIndex(1).color->whiteComponent(), 0.83, 1e-12);
    EXPECT_NEAR(g->interpolatedColorAtLocation(0.5)->redComponent(), 0.83, 1e-12);
    EXPECT_NEAR(g->interpolatedColorAtLocation(0.25)->redComponent(), 0.89, 1e-12);
    EXPECT_NEAR(g->interpolatedColorAtLocation(0.75)->redComponent(), 0.975, 1e-12);
    EXPECT_NEAR(g->interpolatedColorAtLocation(-3)->redComponent(), 0.95, 1e-12);
    EXPECT_NEAR(g->interpolatedColorAtLocation(3)->redComponent(), 1.0, 1e-12);
    EXPECT_THROW(g->colorStopAtIndex(4), fnd::Exception);
    expectRGBA(Gradient().interpolatedColorAtLocation(0.5), 1, 1, 1, 1, "empty gradient");

    auto even = Gradient::gradientWithColors({ Color::blackColor(), Color::redColor(), Color::whiteColor() });
    EXPECT_EQ(even->colorStopAtIndex(1).location, 0.5);
}

TEST(Shadow, DefaultsAndSanitising)
{
    Shadow shadow;
    EXPECT_NEAR(shadow.shadowColor()->alphaComponent(), 1.0 / 3.0, 1e-12);
    EXPECT_EQ(shadow.shadowOffset(), (Size { 0, 0 }));
    shadow.setShadowBlurRadius(-4);
    EXPECT_EQ(shadow.shadowBlurRadius(), 0);
    Shadow other;
    EXPECT_TRUE(shadow.isEqual(other));
    other.setShadowOffset({ 0, -1 });
    EXPECT_FALSE(shadow.isEqual(other));
}

namespace {

// Writes what a colour would, with a colour-space number no colour has.
class BogusColor final : public fnd::Object, public fnd::Coding {
    FND_OBJECT(BogusColor)
public:
    void encodeWithCoder(fnd::Coder& coder) const override
    {
        coder.encodeInt(99, "NSColorSpace");
        coder.encodeObject(fnd::Value(fnd::Array { 1.0, 1.0 }), "NSComponents");
    }
    bool initWithCoder(fnd::Coder&) override { return true; }
};
FND_REGISTER_CLASS(BogusColor, fnd::Object)

}

TEST(Color, ArchivesRoundTripWithBothCoders)
{
    const ColorPtr colors[] = {
        Color::colorWithCalibratedRed(0.1, 0.2, 0.3, 0.4),
        Color::colorWithDeviceRed(1.0 / 3.0, 0, 1),
        Color::colorWithCalibratedWhite(0.123456789, 0.5),
        Color::colorWithDeviceWhite(1),
        Color::colorWithDeviceCyan(0.1, 0.2, 0.3, 0.4, 0.9),
        Color::controlShadowColor(),
    };
    for (const auto& color : colors) {
        for (bool keyed : { true, false }) {
            auto data = keyed ? fnd::KeyedArchiver::archivedDataWithRootObject(color)
                              : fnd::SequentialArchiver::archivedDataWithRootObject(color);
            ASSERT_TRUE(data) << color->description();
            auto back = keyed ? fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data)
                              : fnd::SequentialUnarchiver::unarchiveTopLevelObjectWithData(*data);
            ASSERT_TRUE(back) << color->description();
            auto decoded = back->objectAs<Color>();
            ASSERT_TRUE(decoded) << color->description();
            EXPECT_TRUE(decoded->isEqual(*color)) << color->description() << " became " << decoded->description();
            EXPECT_EQ(decoded->colorSpaceName(), color->colorSpaceName());
            if (keyed) {
                EXPECT_EQ(decoded->colorName(), color->colorName());
            }
        }
    }
    // A pattern whose image cannot be archived comes back clear.
    auto pattern = Color::colorWithPatternImage(std::make_shared<Tile>());
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(pattern);
    ASSERT_TRUE(data);
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data)->objectAs<Color>();
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->alphaComponent(), 0);
}

TEST(Color, DamagedArchivesAreErrors)
{
    fnd::KeyedArchiver::setGlobalClassName("Color", BogusColor::staticClassInfo());
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(std::make_shared<BogusColor>());
    fnd::KeyedArchiver::setGlobalClassName("BogusColor", BogusColor::staticClassInfo());
    ASSERT_TRUE(data);
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_FALSE(back);
    EXPECT_NE(back.error().localizedDescription().utf8().find("unknown colour space (99)"), std::string::npos)
        << back.error().localizedDescription();
}
