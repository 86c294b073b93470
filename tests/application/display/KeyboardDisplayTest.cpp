// The real program driven from the keyboard alone, on a small screen and on a German desktop, as a person would:
// the menu bar with F10, the shortcuts, the save sheet with typed paths, the panels with Tab and Escape, fifty
// export sheets, the type menu on a 1366 × 768 screen.
#include "DisplaySupport.h"

#include <fstream>
#include <sstream>

using namespace appdisplay;

namespace {

class KeyboardOnDisplay : public ApplicationOnDisplay {
protected:
    // Starts the program and waits for its window, laid out and painted.
    Geometry startAndWait(const std::vector<std::string>& extra = {})
    {
        start(extra);
        window = windowNamed("Barcodes");
        EXPECT_NE(window, 0u) << "the main window appears";
        return shownGeometry(window);
    }
    // Waits until the window of that title is shown and has the keyboard, where the keys that follow are meant for.
    bool shownWithKeyboard(const std::string& title)
    {
        const unsigned long shownWindow = windowNamed(title);
        return shownWindow && waitFor([&] { return hasKeyboard(shownWindow); });
    }
    void keys(const std::string& names) { xdotool("key --delay 150 " + names); }
    // Whether a window with exactly this title is on screen now.
    static bool shown(const std::string& title)
    {
        return !runCommand("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null").output.empty();
    }
    // Every X window of that title, shown or hidden.
    static int windowsNamed(const std::string& title)
    {
        auto out = runCommand("xdotool search --name '^" + title + "$' 2>/dev/null").output;
        return int(std::count(out.begin(), out.end(), '\n'));
    }
    long residentKilobytes() const
    {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.starts_with("VmRSS:"))
                return std::stol(line.substr(6));
        return 0;
    }
    // Processor time the program has spent, user and system (fields 14 and 15 of its stat, after the name).
    double processorMilliseconds() const
    {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(stat, line);
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string field;
        unsigned long long user = 0, system = 0;
        for (int index = 3; index <= 15 && fields >> field; ++index) {
            if (index == 14)
                user = std::stoull(field);
            else if (index == 15)
                system = std::stoull(field);
        }
        return double(user + system) * 1000.0 / double(::sysconf(_SC_CLK_TCK));
    }
    std::string clipboardTargets() { return runCommand("timeout 10 xclip -selection clipboard -o -t TARGETS").output; }

    unsigned long window { 0 };
};

}

TEST_F(KeyboardOnDisplay, TheMenuBarOpensWithF10AndGivesTheKeyboardBack)
{
    const Geometry g = startAndWait();
    clickAt(g.x + ContentFieldX, g.contentTop() + ContentFieldY);
    xdotool("type --delay 50 4006");
    // F10 opens the first menu, Escape closes it: typing goes on in the field.
    const int menus = popUpsShown();
    keys("F10");
    ASSERT_TRUE(waitForMenu(menus, "f10-menu")) << "F10 opens the first menu";
    keys("Escape");
    ASSERT_TRUE(waitFor([&] { return popUpsShown() == menus; })) << "Escape closes it";
    xdotool("type --delay 50 381");
    ASSERT_TRUE(waitFor([&] { return remembered("<string>4006381</string>"); }))
        << "keys after the menu reach the field";

    // The Edit menu opened from the keyboard has its items enabled as from the mouse: with no text selected Cut is
    // dimmed, so the first item highlighted is Copy, which copies the barcode.
    // (xclip stays to serve what it put there: its output must not hold the pipe the command is read from.)
    runCommand("printf x | xclip -selection clipboard >/dev/null 2>&1");
    ASSERT_TRUE(walkMenuBar({ "F10", "Right", "Right" })) << "F10 and Right twice open the Edit menu";
    settledScreenshot("f10-edit-menu");
    keys("Return");
    EXPECT_TRUE(waitFor([&] { return clipboardTargets().find("application/pdf") != std::string::npos; }))
        << clipboardTargets();
    xdotool("type --delay 50 3");
    EXPECT_TRUE(waitFor([&] { return remembered("<string>40063813</string>"); })) << "and the field has the keyboard";
}

TEST_F(KeyboardOnDisplay, ShortcutsTheSaveSheetWithTypedPathsAndThePanels)
{
    const Geometry g = startAndWait();
    std::filesystem::create_directories(home / "sub");
    std::filesystem::create_directories(home / "labels");

    // Ctrl+E, a path from the folder shown (the home: it has no Documents folder).
    keys("ctrl+e");
    ASSERT_TRUE(shownWithKeyboard("Save")) << "Ctrl+E shows the save sheet";
    settledScreenshot("typed-path-sheet");
    keys("ctrl+a");
    xdotool("type --delay 30 sub/first");
    keys("Return");
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(home / "sub/first.pdf"); })) << "saved in sub/";
    EXPECT_TRUE(waitFor([&] { return !shown("Save"); }));

    // From the home with "~", and from the root.
    keys("ctrl+e");
    ASSERT_TRUE(shownWithKeyboard("Save"));
    keys("ctrl+a");
    xdotool("type --delay 30 '~/labels/second'");
    keys("Return");
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(home / "labels/second.pdf"); }));
    EXPECT_TRUE(waitFor([&] { return !shown("Save"); }));
    keys("ctrl+e");
    ASSERT_TRUE(shownWithKeyboard("Save"));
    keys("ctrl+a");
    xdotool("type --delay 30 '" + (home / "third").string() + "'");
    keys("Return");
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(home / "third.pdf"); }));
    EXPECT_TRUE(waitFor([&] { return !shown("Save"); }));

    // The panels take the keyboard: Tab moves in them, Escape and Ctrl+W close them.
    keys("ctrl+t");
    ASSERT_TRUE(shownWithKeyboard("Fonts")) << "Ctrl+T shows the fonts";
    keys("Tab Tab Down");
    settledScreenshot("fonts-panel");
    keys("Escape");
    EXPECT_TRUE(waitFor([&] { return !shown("Fonts"); })) << "Escape closes the fonts";
    keys("ctrl+shift+c");
    ASSERT_TRUE(shownWithKeyboard("Colours")) << "Ctrl+Shift+C shows the colours";
    settledScreenshot("colours-panel");
    keys("ctrl+w");
    EXPECT_TRUE(waitFor([&] { return !shown("Colours"); })) << "Ctrl+W closes the colours";

    // Ctrl+comma: the preferences sheet, Escape cancels it; the About window closes with Escape.
    keys("ctrl+comma");
    ASSERT_TRUE(shownWithKeyboard("Preferences"));
    keys("Escape");
    EXPECT_TRUE(waitFor([&] { return !shown("Preferences"); }));
    const int menus = popUpsShown();
    keys("F10");
    ASSERT_TRUE(waitForMenu(menus, "first-menu")) << "F10 opens the first menu";
    keys("Return");
    ASSERT_TRUE(shownWithKeyboard("About Barcodes")) << "About, the first item of the first menu";
    keys("Escape");
    EXPECT_TRUE(waitFor([&] { return !shown("About Barcodes"); }));

    requestClose(window);
    auto status = exitStatus();
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
    (void)g;
}

TEST_F(KeyboardOnDisplay, FiftyExportSheetsLeaveNoWindowAndNoMemoryBehind)
{
    startAndWait();
    // Escape once the sheet has the keyboard; the next sheet once this one has gone.
    auto openAndCancel = [&] {
        keys("ctrl+e");
        EXPECT_TRUE(shownWithKeyboard("Save"));
        keys("Escape");
        EXPECT_TRUE(waitFor([&] { return !shown("Save"); }));
    };
    openAndCancel();
    // Measured once the cancelled sheet's window is gone, with what it held.
    EXPECT_TRUE(waitFor([&] { return windowsNamed("Save") <= 1; }));
    const long before = residentKilobytes();
    const double cpuBefore = processorMilliseconds();
    for (int sheet = 0; sheet < 50; ++sheet)
        openAndCancel();
    EXPECT_TRUE(waitFor([&] { return windowsNamed("Save") <= 1; })) << "a cancelled sheet leaves no hidden window";
    const double cpuPerSheet = (processorMilliseconds() - cpuBefore) / 50;
    const long after = residentKilobytes();
    // A sheet's window and surface took about 3 MB each when they stayed.
    EXPECT_LT(after - before, 30 * 1024) << before << " kB, then " << after << " kB";
    std::cout << "resident after one sheet " << before << " kB, after fifty more " << after << " kB\n";
    // The figure to watch for the cost of a sheet's fades and composites (not asserted: the machine's load sets it).
    std::cout << "processor time per sheet opened and cancelled: " << cpuPerSheet << " ms\n";
}

// The window's pixels go to the screen in place, frame after frame, and a sheet's dimming is laid over them: once
// the sheet is gone, the window shows as it did before, with no dimming and nothing of an earlier frame left. (Text
// drawn again may differ by a level at an edge pixel; dimming left behind is a third darker.)
TEST_F(KeyboardOnDisplay, ASheetOpenedAndCancelledLeavesTheWindowAsItWas)
{
    const Geometry g = startAndWait();
    const auto before = settledScreenshot("before-sheet");
    keys("ctrl+e");
    ASSERT_TRUE(shownWithKeyboard("Save"));
    const auto dimmed = settledScreenshot("sheet-dimming");
    keys("Escape");
    ASSERT_TRUE(waitFor([&] { return !shown("Save"); }));
    const auto after = settledScreenshot("after-sheet");
    ASSERT_TRUE(before && dimmed && after);
    // Left of the sheet, which hangs from the middle of the window's top, the dimming shows while it is open.
    const int x = g.x + 30, y = g.contentTop() + 400;
    EXPECT_LT(luminance(pixel(*dimmed, x, y)), luminance(pixel(*before, x, y)) * 3 / 4)
        << std::hex << pixel(*dimmed, x, y) << " " << pixel(*before, x, y);
    int differing = 0;
    for (int row = g.y; row < g.y + g.height; ++row) {
        for (int column = g.x; column < g.x + g.width; ++column) {
            const auto a = pixel(*before, column, row), b = pixel(*after, column, row);
            for (int shift = 0; shift < 24; shift += 8)
                if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8) {
                    ++differing;
                    break;
                }
        }
    }
    EXPECT_EQ(differing, 0) << "see barcodes-before-sheet.png and barcodes-after-sheet.png";
}

TEST_F(KeyboardOnDisplay, OnA1366By768ScreenTheWindowFitsAndTheTypeMenuScrollsToDataMatrix)
{
    // The second screen of the private server is a small laptop's.
    const std::string small = std::string(std::getenv("DISPLAY")) + ".1";
    const std::string mine = std::getenv("DISPLAY");
    ::setenv("DISPLAY", small.c_str(), 1);
    struct Restore {
        std::string value;
        ~Restore() { ::setenv("DISPLAY", value.c_str(), 1); }
    } restore { mine };
    const Geometry g = startAndWait({ "DISPLAY=" + small });
    ASSERT_NE(window, 0u);
    EXPECT_LE(g.y + g.height, 768) << "the whole window is on the screen";
    // The type menu, opened by a click, runs off no edge: the wheel takes it to its last item, Data Matrix.
    const int menus = popUpsShown();
    clickAt(g.x + SymbologyPopUpX, g.contentTop() + SymbologyPopUpY);
    ASSERT_TRUE(waitForMenu(menus, "small-type-menu")) << "the pop-up's menu opens";
    for (int notch = 0; notch < 40; ++notch)
        xdotool("click 5");
    // The click once the menu has scrolled as far as the wheel took it.
    settledScreenshot("small-type-menu-scrolled");
    // The last item sits above the bottom arrow strip (18 points) and the menu's margin (4).
    clickAt(g.x + SymbologyPopUpX, 768 - 18 - 4 - 10);
    EXPECT_TRUE(waitFor([&] { return remembered("<string>DataMatrix</string>"); })) << "Data Matrix is picked";
}

TEST_F(KeyboardOnDisplay, AGermanDesktopShowsTheShortcutsInTheProgramsLanguage)
{
    // The first menu, open, in the program's English and on a German desktop: the same pixels ("Ctrl+Q", not
    // "Strg+Q").
    auto menuPixels = [&](const std::vector<std::string>& environment, const std::string& name) {
        const Geometry g = startAndWait(environment);
        const int menus = popUpsShown();
        keys("F10");
        EXPECT_TRUE(waitFor([&] { return popUpsShown() > menus; })) << "F10 opens the first menu";
        auto shot = settledScreenshot(name);
        std::vector<std::uint32_t> pixels;
        if (shot)
            for (int y = g.y + 30; y < g.y + 230; ++y)
                for (int x = g.x; x < g.x + 260; ++x)
                    pixels.push_back(pixel(*shot, x, y));
        keys("Escape");
        requestClose(window);
        EXPECT_TRUE(exitStatus());
        return pixels;
    };
    const auto english = menuPixels({ "LANG=C.UTF-8", "LC_ALL=C.UTF-8", "LANGUAGE=" }, "menu-english");
    const auto german = menuPixels({ "LANG=de_DE.UTF-8", "LC_ALL=de_DE.UTF-8", "LANGUAGE=" }, "menu-german");
    ASSERT_FALSE(english.empty());
    EXPECT_TRUE(english == german) << "the German run's menu differs: see barcodes-menu-german.png";
}
