// The toolbar arranged on a real display as a person arranges it: its context menu (a right click) for the display
// mode and the customisation sheet, an item dragged out of it there, the View menu to hide and show it, and the
// arrangement found again after the program is closed and started anew.
#include "DisplaySupport.h"

#include <fstream>
#include <sstream>

using namespace appdisplay;

namespace {

class ToolbarOnDisplay : public ApplicationOnDisplay {
protected:
    // The kept toolbar configuration's entry for a key: the text from the key to the next key.
    std::string keptEntry(const std::string& key) const
    {
        std::ifstream file(home / "XDG_CONFIG_HOME/org.barcodes.Barcodes/org.barcodes.Barcodes.plist");
        std::stringstream text;
        text << file.rdbuf();
        const std::string all = text.str();
        const auto configuration = all.find("<key>NSToolbar Configuration LumvaraTessaroMainToolbar</key>");
        if (configuration == std::string::npos)
            return {};
        const auto at = all.find("<key>" + key + "</key>", configuration);
        if (at == std::string::npos)
            return {};
        const auto start = at + key.size() + 11;
        const auto next = all.find("<key>", start);
        return all.substr(start, next == std::string::npos ? std::string::npos : next - start);
    }
    bool keptHas(const std::string& key, const std::string& value) const
    {
        return keptEntry(key).find(value) != std::string::npos;
    }
    // A click on the View menu's first or second item (Show/Hide Toolbar, Customise Toolbar…): the bar's fifth
    // menu, its items in a popover below it.
    void chooseFromViewMenu(unsigned long window, int item)
    {
        const Geometry g = geometryOf(window);
        const int menus = popUpsShown();
        clickAt(g.x + ViewMenuX, g.y + MenuBarY);
        ASSERT_TRUE(waitForMenu(menus, item == 0 ? "view-menu" : "view-menu-customise")) << "the View menu opens";
        clickAt(g.x + ViewMenuX + 35, g.y + MenuBarY + 33 + 30 * item);
    }
    // A right click on the toolbar's free middle (a flexible space), and an entry of its menu chosen by typing.
    void chooseFromContextMenu(unsigned long window, const std::string& typed)
    {
        const Geometry g = geometryOf(window);
        const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
        const auto dot = display.rfind('.');
        const std::string screen = dot == std::string::npos ? "0" : display.substr(dot + 1);
        const int menus = popUpsShown();
        xdotool("mousemove --screen " + screen + " " + std::to_string(g.x + 300) + " "
            + std::to_string(g.contentTop() - 12) + " click 3");
        ASSERT_TRUE(waitForMenu(menus, "context-menu-" + typed)) << "the toolbar's menu opens";
        xdotool("type --delay 50 " + typed);
        xdotool("key Return");
    }

    static constexpr int ViewMenuX = 241, MenuBarY = 10;
};

}

TEST_F(ToolbarOnDisplay, ArrangedFromItsContextMenuHiddenFromTheViewMenuAndBackAfterARestart)
{
    start();
    unsigned long window = windowNamed("Barcodes");
    ASSERT_NE(window, 0u) << "the main window appears";
    const int iconAndText = shownGeometry(window).height;
    screenshot("toolbar-opened");

    // Text only, from the toolbar's own menu: a lower strip.
    ASSERT_NO_FATAL_FAILURE(chooseFromContextMenu(window, "Text"));
    ASSERT_TRUE(waitFor([&] { return geometryOf(window).height < iconAndText; })) << "a lower toolbar";
    const int textOnly = shownGeometry(window).height;
    EXPECT_TRUE(waitFor([&] { return keptHas("TB Display Mode", "<integer>3</integer>"); })) << "kept as text only";

    // Customise Toolbar… from the same menu; Copy (the Clipboard item, second in the row) dragged out onto the sheet.
    const auto before = shownWindows();
    ASSERT_NO_FATAL_FAILURE(chooseFromContextMenu(window, "Cust"));
    // The drag goes onto the sheet once it is in place.
    const unsigned long sheet = windowShownBeside(before);
    ASSERT_NE(sheet, 0u) << "the customisation sheet appears";
    settledScreenshot("toolbar-customising");
    Geometry g = geometryOf(window);
    const int fromX = g.x + 89, fromY = g.contentTop() - 17;
    // At a person's pace; the program takes the moves and the release in the order they came, however late.
    std::string drag = "mousemove " + std::to_string(fromX) + " " + std::to_string(fromY) + " sleep 0.3 mousedown 1";
    for (int step = 1; step <= 20; ++step)
        drag += " mousemove " + std::to_string(fromX + step * 15) + " " + std::to_string(fromY + step * 12)
            + " sleep 0.05";
    xdotool(drag + " sleep 0.5 mouseup 1");
    ASSERT_TRUE(waitFor([&] {
        return !keptHas("TB Item Identifiers", "Clipboard") && keptHas("TB Item Identifiers", "Export");
    })) << "Copy left the toolbar: "
        << keptEntry("TB Item Identifiers");
    settledScreenshot("toolbar-item-removed");
    xdotool("key Return"); // Done
    ASSERT_TRUE(waitFor([&] { return std::ranges::count(shownWindows(), sheet) == 0; })) << "Done ends the sheet";
    settledScreenshot("toolbar-customised");

    // Hidden from the View menu: the window keeps its content and loses the strip.
    ASSERT_NO_FATAL_FAILURE(chooseFromViewMenu(window, 0));
    ASSERT_TRUE(waitFor([&] { return geometryOf(window).height < textOnly; })) << "the toolbar is hidden";
    const int hidden = shownGeometry(window).height;
    EXPECT_GE(hidden, ContentHeight);
    EXPECT_TRUE(waitFor([&] { return keptHas("TB Is Shown", "<false/>"); })) << keptEntry("TB Is Shown");
    settledScreenshot("toolbar-hidden");
    // The menu's item now offers to show it (looked at in the picture "view-menu-hidden").
    const int menus = popUpsShown();
    clickAt(geometryOf(window).x + ViewMenuX, geometryOf(window).y + MenuBarY);
    ASSERT_TRUE(waitForMenu(menus, "view-menu-hidden")) << "the View menu opens";
    xdotool("key Escape");
    ASSERT_TRUE(waitFor([&] { return popUpsShown() == menus; })) << "Escape closes it";

    // Closed and started again: hidden, text only, without Copy.
    requestClose(window);
    auto status = exitStatus();
    ASSERT_TRUE(status) << "the program ends when its window closes";
    EXPECT_EQ(*status, 0);
    start();
    window = windowNamed("Barcodes");
    ASSERT_NE(window, 0u) << "the main window appears again";
    EXPECT_EQ(shownGeometry(window).height, hidden) << "still hidden";
    screenshot("toolbar-restarted");

    // Shown again from the View menu: the text-only strip, Copy not in it.
    ASSERT_NO_FATAL_FAILURE(chooseFromViewMenu(window, 0));
    ASSERT_TRUE(waitFor([&] { return geometryOf(window).height == textOnly; })) << geometryOf(window).height;
    EXPECT_TRUE(waitFor([&] { return keptHas("TB Is Shown", "<true/>"); }));
    EXPECT_TRUE(keptHas("TB Display Mode", "<integer>3</integer>"));
    EXPECT_EQ(keptEntry("TB Item Identifiers").find("Clipboard"), std::string::npos);
    g = shownGeometry(window);
    auto shown = settledScreenshot("toolbar-shown-again");
    ASSERT_TRUE(shown);
    // The text-only Export button's outline at the strip's left, where Copy's would follow: a dark border pixel at
    // the first item, none at the second.
    auto darkInRow = [&](int fromX, int toX) {
        int dark = 0;
        for (int x = g.x + fromX; x < g.x + toX; ++x)
            dark += luminance(pixel(*shown, x, g.contentTop() - 17)) < 100;
        return dark;
    };
    EXPECT_GT(darkInRow(12, 60), 3) << "the Export label";
    EXPECT_EQ(darkInRow(72, 110), 0) << "no Copy beside it";

    requestClose(window);
    EXPECT_TRUE(exitStatus());
}
