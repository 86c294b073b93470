#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORThemedControls/ZORTBorderedView.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/foundation/bindings/ValueTransformer.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/views/Window.h"

#include <cmath>

namespace {

using namespace zortest;
namespace Side = ZORThemeDrawing::BorderSide;

// Something to bind the active flag to.
class Switchboard : public fnd::Object {
    FND_OBJECT(Switchboard)
    static void describeClass(fnd::ClassBuilder<Switchboard>& c) { c.property("flag", &Switchboard::flag); }

public:
    fnd::Value flag;
};

}

FND_REGISTER_CLASS(Switchboard, fnd::Object)

namespace {

class ZORTBorderedViewTest : public ZORAppKitTest {
protected:
    std::shared_ptr<ZORTBorderedView> bordered(const fnd::String& key)
    {
        auto view = ZORTBorderedView::create({ 10, 10, 100, 50 });
        view->setThemeKey(key);
        add(view);
        return view;
    }

    // The background at a point of the view's lower half (y up), as the theme's gradient for the mask puts it.
    static std::uint32_t expectedBackground(const ZORTheme& theme, ZORThemeStateMask mask, gfx::Point at)
    {
        auto gradient = theme.gradientForStateMask(mask);
        if (!gradient)
            return pixelOf(theme.fillColorForStateMask(mask));
        // At 90 degrees in an unflipped view the gradient starts at the bottom.
        return pixelOf(gradient->interpolatedColorAtLocation(at.y / 50));
    }
};

TEST_F(ZORTBorderedViewTest, ItDimsWhenInactiveOrWhenItsWindowIsNotMain)
{
    const gfx::Point sample { 50.5, 20.5 };
    for (const auto& key : themeKeys()) {
        auto theme = themeNamed(key);
        auto view = bordered(key);
        auto active = expectedBackground(*theme, 0, sample);
        auto inactive = expectedBackground(*theme, ZORThemeState::Inactive, sample);
        auto at
            = [&](const std::string& name) { return pixelAt(*shot(*view, name + "-" + key.utf8()), *view, sample); };

        EXPECT_TRUE(pixelNear(at("bordered-active"), active, 3)) << key.utf8();
        // Its window is not main: still active unless it respects the window's state.
        deactivateWindow();
        EXPECT_TRUE(pixelNear(at("bordered-other-main"), active, 3)) << key.utf8();
        view->setRespectWindowState(true);
        EXPECT_TRUE(pixelNear(at("bordered-not-main"), inactive, 3)) << key.utf8();
        window->makeKeyAndOrderFront();
        EXPECT_TRUE(pixelNear(at("bordered-main-again"), active, 3)) << key.utf8();
        view->setActive(false);
        EXPECT_TRUE(pixelNear(at("bordered-inactive"), inactive, 3)) << key.utf8();
        view->removeFromSuperview();
    }
}

TEST_F(ZORTBorderedViewTest, TheMainStateOfItsWindowAsksForARedraw)
{
    auto view = bordered(ZORThemeKey::Gray);
    view->setRespectWindowState(true);
    window->displayIfNeeded();
    EXPECT_FALSE(view->needsDisplay());
    deactivateWindow();
    EXPECT_TRUE(view->needsDisplay());
    window->displayIfNeeded();
    window->makeKeyAndOrderFront();
    EXPECT_TRUE(view->needsDisplay());
    // Moved to another window, it follows that one instead.
    window->displayIfNeeded();
    view->removeFromSuperview();
    deactivateWindow();
    otherWindow->contentView()->addSubview(view);
    otherWindow->displayIfNeeded();
    window->makeKeyAndOrderFront();
    EXPECT_TRUE(view->needsDisplay());
}

TEST_F(ZORTBorderedViewTest, BordersTakeTheColourOfTheirStyleAlongTheChosenSides)
{
    auto theme = themeNamed(ZORThemeKey::Gray);
    auto view = bordered(ZORThemeKey::Gray);
    view->setBorderSides(Side::Top | Side::Left);
    const struct {
        std::uint64_t style;
        gfx::ColorPtr color;
    } styles[] = {
        { 0, theme->strokeColorForStateMask(0) },
        { 1, theme->darkStrokeColorForStateMask(0) },
        { 2, theme->gridColorForStateMask(0) },
        { 3, nullptr },
    };
    for (const auto& s : styles) {
        view->setBorderStyle(s.style);
        auto image = shot(*view, "bordered-border-" + std::to_string(s.style));
        // The top row and the left column, inside the bounds; no bottom or right line.
        auto top = pixelAt(*image, *view, { 50.5, 49.5 });
        auto left = pixelAt(*image, *view, { 0.5, 25.5 });
        auto background = expectedBackground(*theme, 0, { 50.5, 49.5 });
        if (!s.color) {
            EXPECT_TRUE(pixelNear(top, background, 3)) << "style 3 draws no border";
            continue;
        }
        auto c = s.color->rgba();
        auto over = [&](std::uint32_t under, int shift) {
            return std::lround(255
                    * c[shift == 16      ? 0
                            : shift == 8 ? 1
                                         : 2]
                    * c[3]
                + ((under >> shift) & 0xFF) * (1 - c[3]));
        };
        EXPECT_NEAR(gfx::redOf(top), over(background, 16), 3) << "style " << s.style;
        EXPECT_NEAR(gfx::blueOf(top), over(background, 0), 3) << "style " << s.style;
        auto leftUnder = expectedBackground(*theme, 0, { 0.5, 25.5 });
        EXPECT_NEAR(gfx::greenOf(left), over(leftUnder, 8), 3) << "style " << s.style;
        EXPECT_TRUE(pixelNear(pixelAt(*image, *view, { 50.5, 0.5 }), expectedBackground(*theme, 0, { 50.5, 0.5 }), 3));
        EXPECT_TRUE(pixelNear(pixelAt(*image, *view, { 99.5, 25.5 }), leftUnder, 3));
    }

    // Rounded top corners: the fill leaves the corners out, and a top border follows the rounded outline.
    view->setBorderStyle(0);
    view->setPathStyle(2);
    auto rounded = shot(*view, "bordered-rounded-top");
    EXPECT_EQ(pixelAt(*rounded, *view, { 0.5, 49.5 }), 0u) << "the corner is outside the path";
    EXPECT_NE(pixelAt(*rounded, *view, { 0.5, 0.5 }), 0u) << "the bottom corners stay square";
    EXPECT_NE(gfx::alphaOf(pixelAt(*rounded, *view, { 50.5, 49.5 })), 0);
}

TEST_F(ZORTBorderedViewTest, TheActiveBindingFollowsNumbersThroughItsTransformer)
{
    auto view = bordered(ZORThemeKey::Gray);
    auto board = fnd::makeObject<Switchboard>();
    board->flag = fnd::Value(1);
    view->setActive(false);
    view->bind("isActive", *board, "flag");
    EXPECT_TRUE(view->isActive()) << "the initial value is taken at once";
    board->setValueForKey(fnd::Value(0), "flag");
    EXPECT_FALSE(view->isActive());
    board->setValueForKey(fnd::Value("not a number"), "flag");
    EXPECT_FALSE(view->isActive()) << "other values are ignored";

    auto info = view->infoForBinding("isActive");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue(), u"flag");
    EXPECT_EQ(info->get(fnd::BindingInfoKey::ObservedObject).objectAs<Switchboard>(), board);

    // Through the transformer named in the options.
    fnd::Dictionary options { { fnd::BindingOption::ValueTransformerName,
        fnd::Value(fnd::ValueTransformerName::NegateBoolean) } };
    view->bind("isActive", *board, "flag", options);
    board->setValueForKey(fnd::Value(1), "flag");
    EXPECT_FALSE(view->isActive());
    board->setValueForKey(fnd::Value(0), "flag");
    EXPECT_TRUE(view->isActive());
    // Nothing selected makes the view inactive, past the transformer; the other markers are ignored.
    board->setValueForKey(fnd::multipleValuesMarker(), "flag");
    EXPECT_TRUE(view->isActive());
    board->setValueForKey(fnd::noSelectionMarker(), "flag");
    EXPECT_FALSE(view->isActive());
    board->setValueForKey(fnd::Value(0), "flag");
    EXPECT_TRUE(view->isActive());

    view->unbind("isActive");
    EXPECT_FALSE(view->infoForBinding("isActive"));
    board->setValueForKey(fnd::Value(1), "flag");
    EXPECT_TRUE(view->isActive()) << "no longer followed";
    EXPECT_EQ(view->exposedBindings(), (std::vector<fnd::String> { "isActive" }));
}

TEST_F(ZORTBorderedViewTest, ADarkThemeTurnsItsControlsDarkAlsoThoseAddedLater)
{
    auto dark = bordered(ZORThemeKey::FlatDark);
    auto light = bordered(ZORThemeKey::Gray);
    auto early = ui::Button::create({ 5, 5, 40, 20 }, "Early");
    dark->addSubview(early);
    EXPECT_EQ(early->cell()->backgroundStyle(), ui::BackgroundStyle::Dark);
    auto holder = ui::View::create({ 0, 0, 90, 40 });
    auto nested = ui::Button::create({ 5, 5, 40, 20 }, "Nested");
    holder->addSubview(nested);
    dark->addSubview(holder);
    EXPECT_EQ(nested->cell()->backgroundStyle(), ui::BackgroundStyle::Dark) << "descendants too";

    auto lightButton = ui::Button::create({ 5, 5, 40, 20 }, "Light");
    light->addSubview(lightButton);
    EXPECT_EQ(lightButton->cell()->backgroundStyle(), ui::BackgroundStyle::Light);
}

TEST_F(ZORTBorderedViewTest, ADecodedViewKeepsItsSettingsAndItsActiveFlag)
{
    auto view = ZORTBorderedView::create({ 0, 0, 100, 50 });
    view->setThemeKey(ZORThemeKey::HUD);
    view->setBorderSides(Side::Bottom);
    view->setBorderStyle(2);
    view->setPathStyle(3);
    view->setRespectWindowState(true);
    view->setActiveBackgroundGradientAngle(45);
    auto decoded = [](const fnd::Data& data) {
        auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(data);
        EXPECT_TRUE(back) << back.error().localizedDescription();
        return back ? back->objectAs<ZORTBorderedView>() : nullptr;
    };
    for (bool active : { false, true }) {
        view->setActive(active);
        auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
        ASSERT_TRUE(data);
        auto restored = decoded(*data);
        ASSERT_TRUE(restored);
        EXPECT_EQ(restored->themeKey(), ZORThemeKey::HUD);
        EXPECT_EQ(restored->borderSides(), Side::Bottom);
        EXPECT_EQ(restored->borderStyle(), 2u);
        EXPECT_EQ(restored->pathStyle(), 3u);
        EXPECT_TRUE(restored->respectWindowState());
        EXPECT_EQ(restored->activeBackgroundGradientAngle(), 45);
        EXPECT_EQ(restored->isActive(), active);
    }

    // An archive without the flag (written before it was kept) starts active.
    view->setActive(false);
    std::string text(fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view))->view());
    const auto key = text.find("<key>isActive</key>");
    ASSERT_NE(key, std::string::npos) << text;
    const auto value = text.find("<false/>", key);
    ASSERT_NE(value, std::string::npos);
    text.erase(key, value + 8 - key);
    auto older = decoded(fnd::Data::fromString(text));
    ASSERT_TRUE(older) << text;
    EXPECT_TRUE(older->isActive());
}

}
