#pragma once

#include "application/ApplicationLaunch.h"
#include "application/Lumvara_TessaroAppDelegate.h"
#include "application/TessaroBarcodeView.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/ToolbarView.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/panels/SavePanel.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace acceptance {

// The export sheet's pop-up tags: file types, then colour spaces.
constexpr long PDF = 0, EPS = 1, TIFF = 2, JPEG = 3, JPEG2000 = 4, PNG = 5, GIF = 6;
constexpr long RGB = 0, CMYK = 1;

// The whole application on the headless backend, started the way the program starts, with defaults of its own (a
// temporary configuration folder, emptied before each test) and time that moves only when the test waits. The
// helpers act as a person does: they click controls, choose menu items, type one key at a time and answer the
// export sheet through its own controls.
class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest();
    ~ApplicationTest() override;

    // Starting and quitting.
    void launch();
    // Closes the main window as its close button does; the application quits with it.
    void quit();
    void restart();
    Lumvara_TessaroAppDelegate& app() { return *m_launched->delegate; }
    ui::Window& window() { return *app().window(); }
    TessaroBarcodeView& preview() { return *app().previewView(); }
    TBQGenericBarcode& barcode() { return *app().currentBarcode(); }

    // Lets time pass while the run loop serves what becomes due.
    void wait(double seconds);

    // Hands.
    void click(ui::View& view, gfx::Point point);
    void click(ui::View& view);
    // Moves the pointer over the middle of the view, or off the view's window to its bottom left corner.
    void pointAt(ui::View& view);
    void pointAway(ui::View& view);
    void choose(ui::PopUpButton& popUp, const fnd::String& title);
    void chooseTag(ui::PopUpButton& popUp, long tag);
    // Clicks into the field, selects its text (Ctrl+A) and types the text one key at a time.
    void typeInto(ui::TextField& field, const std::u16string& text);
    // One more key at the end of what the field holds.
    void typeKey(ui::TextField& field, char16_t character);
    void pressReturn();
    void pressKey(char16_t character, unsigned short keyCode, unsigned flags = 0);
    void toggle(ui::Button& button) { click(button); }
    // Clicks the well and types the colour's hex code into the colour panel.
    void pickColour(ui::ColorWell& well, const std::string& hex);
    void pressToolbarItem(const fnd::String& identifier);
    // The main menu's item that sends the action, wherever it is; whether it is enabled once its menu is updated,
    // as when the menu opens or its shortcut is pressed.
    std::shared_ptr<ui::MenuItem> menuItemFor(const char* action);
    bool menuItemIsEnabled(const char* action);
    // The view that shows the main window's toolbar item; nullptr when the toolbar has no such item.
    std::shared_ptr<ui::ToolbarItemViewer> toolbarItemViewer(const fnd::String& identifier);

    // The export sheet, filled in through its controls: file type, resolution and colour space by their tags
    // (unset: as the sheet shows them), the name typed, then Save (or Cancel). Reads as what the person does:
    // ExportChoice::as(PNG).at(300).named("code").
    struct ExportChoice {
        std::optional<long> fileType;
        std::optional<long> resolution;
        std::optional<long> colorSpace;
        std::string name;
        bool save { true };

        static ExportChoice as(long type)
        {
            ExportChoice choice;
            choice.fileType = type;
            return choice;
        }
        ExportChoice& at(long dpi) { return resolution = dpi, *this; }
        ExportChoice& in(long space) { return colorSpace = space, *this; }
        ExportChoice& named(std::string text) { return name = std::move(text), *this; }
        ExportChoice& cancelled() { return save = false, *this; }
    };
    // Answers the sheet the Export item opened; the path the file went to.
    std::string exportAs(const ExportChoice& choice);
    ui::SavePanel* exportPanel() { return app().savePanel().get(); }

    // The defaults as the file on disk holds them (what the next start reads).
    fnd::Dictionary storedDefaults();
    std::string scratch(const std::string& name) const { return (m_folder / name).string(); }

    std::shared_ptr<fnd::VirtualClock> clock { std::make_shared<fnd::VirtualClock>() };
    fnd::ScopedClock scopedClock { clock };
    std::shared_ptr<ui::HeadlessBackend> backend;

private:
    void dispatch();
    ui::Window& windowOf(ui::View& view);

    std::optional<LaunchedApplication> m_launched;
    std::filesystem::path m_folder;
};

// The texts of the text fields in a view and its subviews, a line each (what an alert or a sheet says).
std::string textsOf(ui::View& view);

// "#RRGGBB" of a colour.
std::string hexOf(const gfx::ColorPtr& color);

// Pixels of a bitmap read back from a file: counts of dark pixels along a row, runs of dark pixels.
struct Runs {
    // Each run of dark pixels as (first pixel, length).
    std::vector<std::pair<long, long>> dark;
};
Runs darkRunsOnRow(const gfx::BitmapImageRep& rep, long row);
bool isDarkPixel(const gfx::BitmapImageRep& rep, long x, long y);
// Alpha of a pixel (255 for images without alpha).
unsigned alphaAt(const gfx::BitmapImageRep& rep, long x, long y);

}
