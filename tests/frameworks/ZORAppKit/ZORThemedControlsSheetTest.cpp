#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORThemedControls/ZORTBorderedView.h"
#include "frameworks/ZORAppKit/ZORThemedControls/ZORTButton.h"
#include "frameworks/ZORAppKit/ZORThemedControls/ZORTImageCell.h"
#include "frameworks/ZORAppKit/ZORThemedControls/ZORTPopUpButton.h"
#include "frameworks/ZORAppKit/ZORThemedControls/ZORTSegmentedCell.h"

#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/views/Window.h"

#include <filesystem>
#include <functional>
#include <map>

namespace {

using namespace zortest;
using ui::BezelStyle;
using ui::ButtonType;

// How a control is put into a state.
enum class Look { Normal, Pressed, Selected, Disabled, Inactive };
const Look Looks[] = { Look::Normal, Look::Pressed, Look::Selected, Look::Disabled, Look::Inactive };
const char* name(Look look)
{
    switch (look) {
    case Look::Normal:
        return "normal";
    case Look::Pressed:
        return "pressed";
    case Look::Selected:
        return "selected";
    case Look::Disabled:
        return "disabled";
    default:
        return "inactive";
    }
}

struct Specimen {
    std::string name;
    std::shared_ptr<ui::Control> control;
    // Whether its look depends on the window being key.
    bool followsKeyWindow { false };
};

std::vector<Specimen> specimens(const fnd::String& key, Look look, double x)
{
    std::vector<Specimen> out;
    double y = 8;
    auto place = [&](const std::string& label, std::shared_ptr<ui::Control> control, double height,
                     bool followsKeyWindow = false) {
        control->setFrame({ x, y, 100, height });
        y += height + 8;
        out.push_back({ label, std::move(control), followsKeyWindow });
    };
    auto button = [&](BezelStyle style, const char* label) {
        auto b = ZORTButton::create({}, label);
        b->setThemeKey(key);
        b->setBezelStyle(style);
        b->setButtonType(look == Look::Selected ? ButtonType::PushOnPushOff : ButtonType::MomentaryPushIn);
        return b;
    };
    place("textured", button(BezelStyle::TexturedRounded, "Textured"), 28);
    place("roundrect", button(BezelStyle::RoundRect, "Round"), 24);
    place("rounded", button(BezelStyle::Rounded, "Rounded"), 32);
    place("smallsquare", button(BezelStyle::SmallSquare, "Square"), 24);
    place("recessed", button(BezelStyle::Recessed, "Recessed"), 22);
    for (auto type : { ButtonType::Switch, ButtonType::Radio }) {
        auto b = ZORTButton::create({}, type == ButtonType::Switch ? "Check" : "Radio");
        b->setThemeKey(key);
        b->setButtonType(type);
        place(type == ButtonType::Switch ? "check" : "radio", b, 20);
    }
    for (bool pullsDown : { false, true }) {
        auto p = ZORTPopUpButton::create({}, pullsDown);
        p->setThemeKey(key);
        p->addItemsWithTitles({ pullsDown ? "Pull" : "Pop", "Other" });
        place(pullsDown ? "pulldown" : "popup", p, 24, true);
    }
    auto segments = ui::SegmentedControl::create({});
    auto cell = fnd::makeObject<ZORTSegmentedCell>();
    cell->setThemeKey(key);
    segments->setCell(cell);
    segments->setSegmentCount(3);
    for (long i = 0; i < 3; ++i) {
        segments->setLabel(fnd::String(std::string(1, char('A' + i))), i);
        segments->setWidth(31, i);
    }
    place("segments", segments, 24);
    auto picture = ui::ImageView::create({});
    auto imageCell = fnd::makeObject<ZORTImageCell>();
    imageCell->setThemeKey(key);
    picture->setCell(imageCell);
    picture->setImage(solidImage({ 12, 12 }, gfx::Color::colorWithDeviceRed(0.9, 0.3, 0.1), true));
    place("image", picture, 20);

    for (auto& s : out) {
        switch (look) {
        case Look::Pressed:
            s.control->setHighlighted(true);
            break;
        case Look::Selected:
            s.control->setState(ui::ControlStateValue::On);
            if (auto seg = std::dynamic_pointer_cast<ui::SegmentedControl>(s.control))
                seg->setSelectedSegment(1);
            break;
        case Look::Disabled:
            s.control->setEnabled(false);
            break;
        default:
            break;
        }
    }
    return out;
}

class ZORThemedControlsSheetTest : public ZORAppKitTest { };

// Every themed control in every state under every theme, on a bordered view of the same theme, drawn to
// $TMPDIR/ZORAppKit-sheet-<theme>.png (the inactive column in a window of its own that is neither key nor main).
TEST_F(ZORThemedControlsSheetTest, EveryControlInEveryStateUnderEveryTheme)
{
    for (const auto& key : themeKeys()) {
        auto sheet = ui::Window::create({ 100, 100, 600, 380 });
        auto inactive = ui::Window::create({ 620, 100, 120, 380 });
        for (auto* w : { sheet.get(), inactive.get() }) {
            auto background = ZORTBorderedView::create(w->contentView()->bounds());
            background->setThemeKey(key);
            background->setRespectWindowState(true);
            w->contentView()->addSubview(background);
        }
        std::map<Look, std::vector<Specimen>> columns;
        double x = 8;
        for (auto look : Looks) {
            auto& host = look == Look::Inactive ? inactive : sheet;
            columns[look] = specimens(key, look, look == Look::Inactive ? 8 : x);
            for (const auto& s : columns[look])
                host->contentView()->subviews().front()->addSubview(s.control);
            x += 118;
        }
        sheet->makeKeyAndOrderFront();
        inactive->orderFront();
        backend->writePNG(*sheet,
            fnd::String(
                (std::filesystem::temp_directory_path() / ("ZORAppKit-sheet-" + key.utf8() + ".png")).string()));
        backend->writePNG(*inactive,
            fnd::String((std::filesystem::temp_directory_path() / ("ZORAppKit-sheet-" + key.utf8() + "-inactive.png"))
                            .string()));

        for (std::size_t i = 0; i < columns[Look::Normal].size(); ++i) {
            const auto& normal = columns[Look::Normal][i];
            auto normalShot = backend->imageOfView(*normal.control);
            for (auto look : Looks) {
                const auto& s = columns[look][i];
                auto image = backend->imageOfView(*s.control);
                EXPECT_GT(paintedPixels(*image, *s.control, s.control->bounds()), 20)
                    << key.utf8() << " " << s.name << " " << name(look);
                if (look != Look::Inactive)
                    continue;
                // Outside the key window only the pop-up arrows change, where the theme's text colour does.
                auto theme = themeNamed(key);
                bool arrowsChange = normal.followsKeyWindow
                    && pixelOf(theme->textColorForBackgroundStyle(0, 0))
                        != pixelOf(theme->textColorForBackgroundStyle(0, ZORThemeState::Inactive));
                bool same = true;
                auto a = normalShot->pixelBuffer(), b = image->pixelBuffer();
                for (int py = 0; py < a.height && same; ++py)
                    for (int px = 0; px < a.width && same; ++px)
                        same = a.pixel(px, py) == b.pixel(px, py);
                EXPECT_EQ(same, !arrowsChange) << key.utf8() << " " << normal.name;
            }
        }
        sheet->close();
        inactive->close();
    }
}

}
