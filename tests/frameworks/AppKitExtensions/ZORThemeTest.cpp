#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORFlatDarkTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORHUDTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"
#include "frameworks/AppKitExtensions/ZORNSGradientExtensions.h"

#include "DrawingTestSupport.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using drawing::grey;
using drawing::hasStops;
using drawing::near;
using drawing::rgba;
using drawing::RGBA;
using gfx::Color;

const RGBA Outline { 0.749, 0.761, 0.788, 1 };

RGBA withAlpha(RGBA c, double a)
{
    c[3] = a;
    return c;
}

std::shared_ptr<ZORTheme> checkedTheme(const char* key)
{
    auto found = ZORThemeManager::sharedThemeManager().themeForKey(key);
    EXPECT_TRUE(found) << key;
    return found;
}

const char* const AllKeys[]
    = { "ZORGlassTheme", "ZORFlatDarkTheme", "ZORHUDTheme", "ZORGrayTheme", "ZORLightGrayTheme", "ZORWhiteTheme" };

::testing::AssertionResult isShadow(
    const std::shared_ptr<gfx::Shadow>& shadow, RGBA color, double blur, gfx::Size offset)
{
    if (!shadow)
        return ::testing::AssertionFailure() << "no shadow";
    if (shadow->shadowBlurRadius() != blur || shadow->shadowOffset() != offset)
        return ::testing::AssertionFailure() << "blur " << shadow->shadowBlurRadius() << ", offset "
                                             << shadow->shadowOffset().width << ", " << shadow->shadowOffset().height;
    return near(rgba(shadow->shadowColor()), color);
}

TEST(ZORThemeManager, FindsTheSixThemesByTheirClassNamesThenByTheDefaultKey)
{
    auto& manager = ZORThemeManager::sharedThemeManager();
    for (const char* key : AllKeys) {
        auto found = manager.themeForKey(key);
        ASSERT_TRUE(found) << key;
        EXPECT_EQ(dynamic_cast<fnd::Object&>(*found).className(), fnd::String(key));
        EXPECT_EQ(manager.themeForKey(key), found) << "the same instance on every lookup";
    }
    EXPECT_FALSE(ZORThemeManager::keyOfDefaultTheme());
    for (const char* key : { "ZORAbstractTheme", "", "zorglasstheme", "NoSuchTheme" })
        EXPECT_FALSE(manager.themeForKey(key)) << key;

    ZORThemeManager::setKeyOfDefaultThemeKey(fnd::String("ZORGrayTheme"));
    EXPECT_EQ(manager.themeForKey("NoSuchTheme"), manager.themeForKey("ZORGrayTheme"));
    EXPECT_EQ(manager.themeForKey(""), manager.themeForKey("ZORGrayTheme"));
    EXPECT_NE(manager.themeForKey("ZORWhiteTheme"), manager.themeForKey("ZORGrayTheme"));
    ZORThemeManager::setKeyOfDefaultThemeKey(fnd::String("NotRegisteredEither"));
    EXPECT_FALSE(manager.themeForKey("NoSuchTheme"));
    ZORThemeManager::setKeyOfDefaultThemeKey(std::nullopt);
    EXPECT_FALSE(manager.themeForKey("NoSuchTheme"));
}

TEST(ZORThemeManager, RegistersAndReplacesButRefusesAMissingThemeOrKey)
{
    auto& manager = ZORThemeManager::sharedThemeManager();
    auto custom = fnd::makeObject<ZORHUDTheme>();
    manager.setTheme(custom, "TestTheme");
    EXPECT_EQ(manager.themeForKey("TestTheme"), custom);
    auto replacement = fnd::makeObject<ZORAbstractTheme>();
    manager.setTheme(replacement, "TestTheme");
    EXPECT_EQ(manager.themeForKey("TestTheme"), replacement);
    // The keys listed (which the fuzz dictionaries are written from) are the built-in ones and each added key once.
    auto keys = manager.themeKeys();
    for (const char* key : AllKeys)
        EXPECT_EQ(std::ranges::count(keys, fnd::String(key)), 1) << key;
    EXPECT_EQ(std::ranges::count(keys, fnd::String("TestTheme")), 1);
    EXPECT_EQ(keys.size(), std::size(AllKeys) + 1);

    auto noTheme = raised([&] { manager.setTheme(nullptr, "Other"); });
    auto noKey = raised([&] { manager.setTheme(custom, ""); });
    ASSERT_TRUE(noTheme && noKey);
    EXPECT_EQ(noTheme->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_EQ(noKey->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_FALSE(manager.themeForKey("Other"));
}

TEST(ZORTheme, ShadowsAndTheBaseThemesStateAnswers)
{
    auto base = fnd::makeObject<ZORAbstractTheme>();
    EXPECT_TRUE(isShadow(base->focusRing(), { 1, 1, 1, 1 }, 3, { 0, 0 }));
    EXPECT_TRUE(isShadow(base->dropShadow(), { 0, 0, 0, 1 }, 2, { 0, -1 }));
    EXPECT_TRUE(isShadow(base->dropShadowForBackgroundStyle(0), { 0, 0, 0, 1 }, 2, { 0, -1 }));
    EXPECT_TRUE(isShadow(base->dropShadowForBackgroundStyle(1), { 1, 1, 1, 1 }, 2, { 0, -1 }));
    EXPECT_FALSE(base->dropShadowForBackgroundStyle(2));
    EXPECT_FALSE(base->dropShadowForBackgroundStyle(-1));
    // Every answer is a new object that the caller may keep and change.
    EXPECT_NE(base->strokeColorForStateMask(0), base->strokeColorForStateMask(0));
    EXPECT_NE(base->dropShadow(), base->dropShadow());

    EXPECT_TRUE(base->fillColorForStateMask(4)->isEqual(*Color::controlHighlightColor()));
    EXPECT_TRUE(base->fillColorForStateMask(11)->isEqual(*Color::controlBackgroundColor()));
    EXPECT_TRUE(base->textColorForBackgroundStyle(1, 5)->isEqual(*Color::disabledControlTextColor()));
    EXPECT_TRUE(base->textColorForBackgroundStyle(1, 14)->isEqual(*Color::controlTextColor()));
    EXPECT_FALSE(base->gradientForStateMask(0) || base->complexGradientForStateMask(0)
        || base->borderSideGradientForStateMask(0));
}

TEST(ZORTheme, AlphaOnADarkBackgroundIsOpaqueUnlessDisabledOnEveryTheme)
{
    for (const char* key : AllKeys) {
        auto t = checkedTheme(key);
        EXPECT_EQ(t->alphaValueForBackgroundStyle(1, 0), 1.0) << key;
        EXPECT_EQ(t->alphaValueForBackgroundStyle(1, 4), 1.0) << key;
        EXPECT_EQ(t->alphaValueForBackgroundStyle(1, 1), 0.2) << key;
        // Any other style asks the theme's own state alpha.
        double light = std::string(key) == "ZORHUDTheme" ? 0.7 : 0.6;
        EXPECT_EQ(t->alphaValueForBackgroundStyle(0, 0), light) << key;
        EXPECT_EQ(t->alphaValueForBackgroundStyle(5, 0), light) << key;
        EXPECT_EQ(t->alphaValueForBackgroundStyle(0, 5), 0.2) << key;
        EXPECT_FALSE(t->applyShadows()) << key;
    }
}

TEST(ZORTheme, TheFlatDarkThemeByState)
{
    auto dark = checkedTheme("ZORFlatDarkTheme");
    EXPECT_EQ(dark->backgroundStyle(), 1);
    const RGBA darkPair[] = { { 0.251, 0.251, 0.255, 1 }, grey(0.118) };
    const RGBA lightPair[] = { { 0.451, 0.451, 0.455, 1 }, grey(0.318) };
    struct Case {
        ZORThemeStateMask mask;
        double alpha;
        double strokeAlpha;
        double fill;
        bool lightGradient;
        bool lightComplex;
        RGBA text;
    };
    const RGBA darkGray = grey(1.0 / 3);
    const Case cases[] = {
        { 0, 0.6, 1.0, 0.141, false, false, grey(1) },
        { 1, 0.2, 0.2, 0.141, false, false, grey(1, 0.2) }, // disabled
        { 2, 0.6, 0.6, 0.141, false, false, darkGray }, // inactive
        { 4, 0.6, 1.0, 0.941, true, true, darkGray }, // on: the selected text background colour
        { 8, 0.6, 1.0, 0.941, true, true, grey(1) }, // pressed
        { 5, 0.2, 0.2, 0.141, false, false, grey(1, 0.2) }, // disabled is looked at first
        { 6, 0.6, 0.6, 0.141, false, true, darkGray }, // the complex gradient ignores the inactive bit
        { 10, 0.6, 0.6, 0.141, false, true, darkGray },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(dark->alphaValueForStateMask(c.mask), c.alpha);
        EXPECT_TRUE(near(rgba(dark->strokeColorForStateMask(c.mask)), withAlpha(Outline, c.strokeAlpha)));
        EXPECT_TRUE(near(rgba(dark->darkStrokeColorForStateMask(c.mask)), grey(0.141, 0.5)));
        EXPECT_TRUE(near(rgba(dark->fillColorForStateMask(c.mask)), grey(c.fill, c.alpha)));
        const RGBA* pair = c.lightGradient ? lightPair : darkPair;
        EXPECT_TRUE(hasStops(dark->gradientForStateMask(c.mask),
            { { withAlpha(pair[0], c.alpha), 0 }, { withAlpha(pair[1], c.alpha), 1 } }));
        auto expected
            = c.lightComplex ? ZORFlatDarkTheme::lightSetGradient(c.alpha) : ZORFlatDarkTheme::darkSetGradient(c.alpha);
        EXPECT_TRUE(dark->complexGradientForStateMask(c.mask)->isEqual(*expected));
        EXPECT_TRUE(near(rgba(dark->textColorForBackgroundStyle(0, c.mask)), c.text, 1e-12));
    }
    EXPECT_TRUE(hasStops(ZORFlatDarkTheme::darkSetGradient(0.6),
        { { { 0.324, 0.331, 0.347, 0.6 }, 0 }, { { 0.245, 0.253, 0.269, 0.6 }, 0.5 },
            { { 0.206, 0.214, 0.233, 0.6 }, 0.5 }, { { 0.139, 0.147, 0.167, 0.6 }, 1 } }));
    EXPECT_TRUE(hasStops(ZORFlatDarkTheme::lightSetGradient(0.6),
        { { { 0.524, 0.531, 0.547, 0.6 }, 0 }, { { 0.445, 0.453, 0.469, 0.6 }, 0.5 },
            { { 0.406, 0.414, 0.433, 0.6 }, 0.5 }, { { 0.339, 0.347, 0.367, 0.6 }, 1 } }));
    EXPECT_TRUE(hasStops(
        dark->borderSideGradientForStateMask(7), { { grey(0.99), 0 }, { grey(0.46), 0.5 }, { grey(0.88), 1 } }));
    EXPECT_TRUE(dark->gridColorForStateMask(0)->isEqual(*Color::gridColor()));
}

TEST(ZORTheme, TheHUDThemeIsMoreOpaqueAtRestAndUsesFourStopBezels)
{
    auto hud = checkedTheme("ZORHUDTheme");
    EXPECT_EQ(hud->alphaValueForStateMask(0), 0.7);
    EXPECT_TRUE(near(rgba(hud->strokeColorForStateMask(0)), withAlpha(Outline, 0.7)));
    EXPECT_TRUE(near(rgba(hud->fillColorForStateMask(0)), grey(0.141, 0.7)));
    EXPECT_TRUE(hud->gradientForStateMask(0)->isEqual(*ZORFlatDarkTheme::darkSetGradient(0.7)));
    EXPECT_TRUE(hud->gradientForStateMask(4)->isEqual(*ZORFlatDarkTheme::lightSetGradient(0.6)));
    EXPECT_TRUE(hud->gradientForStateMask(8)->isEqual(*ZORFlatDarkTheme::lightSetGradient(0.6)));
    EXPECT_TRUE(hud->gradientForStateMask(1)->isEqual(*ZORFlatDarkTheme::darkPairGradient(0.2)));
    EXPECT_TRUE(hud->gradientForStateMask(6)->isEqual(*ZORFlatDarkTheme::darkPairGradient(0.6)));
    // Any other mask answers as the dark theme.
    auto dark = checkedTheme("ZORFlatDarkTheme");
    for (ZORThemeStateMask mask : { 1, 2, 4, 8, 5 }) {
        EXPECT_TRUE(hud->strokeColorForStateMask(mask)->isEqual(*dark->strokeColorForStateMask(mask))) << mask;
        EXPECT_EQ(hud->alphaValueForStateMask(mask), dark->alphaValueForStateMask(mask)) << mask;
    }
}

TEST(ZORTheme, TheLightThemesDifferInTheirBezelFills)
{
    namespace G = ZORNSGradientExtensions;
    auto white = checkedTheme("ZORWhiteTheme"), lightGray = checkedTheme("ZORLightGrayTheme");
    auto gray = checkedTheme("ZORGrayTheme"), glass = checkedTheme("ZORGlassTheme");
    const RGBA onFill = withAlpha(rgba(Color::controlShadowColor()), 0.7);
    for (ZORThemeStateMask mask : { 0, 1, 2, 4, 6, 8 }) {
        SCOPED_TRACE(mask);
        EXPECT_FALSE(white->gradientForStateMask(mask));
        EXPECT_TRUE(near(rgba(white->fillColorForStateMask(mask)), grey(1)));
        EXPECT_EQ(lightGray->gradientForStateMask(mask), G::lightGrayBarGradient());
        EXPECT_TRUE(near(rgba(lightGray->fillColorForStateMask(mask)), grey(2.0 / 3), 1e-12));
        EXPECT_EQ(gray->gradientForStateMask(mask), mask & 2 ? G::lightGrayBarGradient() : G::grayBarGradient());
        EXPECT_EQ(glass->gradientForStateMask(mask), G::glassBarGradient());
        for (const auto& t : { gray, glass }) {
            auto fill = t->fillColorForStateMask(mask);
            EXPECT_TRUE(mask & 4 ? near(rgba(fill), onFill) : ::testing::AssertionResult(!fill));
            EXPECT_TRUE(t->borderSideGradientForStateMask(mask)->isEqual(*ZORFlatDarkTheme::sideBorderGradient()));
        }
        for (const auto& t : { white, lightGray, gray, glass }) {
            EXPECT_EQ(t->backgroundStyle(), 0);
            EXPECT_TRUE(t->strokeColorForStateMask(mask)->isEqual(*Color::controlShadowColor()));
            EXPECT_FALSE(t->complexGradientForStateMask(mask));
        }
        EXPECT_FALSE(white->borderSideGradientForStateMask(mask) || lightGray->borderSideGradientForStateMask(mask));
    }
}

}
