// What the person did survives the ways a program ends or shares its settings on a real display: two copies on one
// profile, SIGTERM just after typing, the display going away. And content that cannot be encoded cannot be exported,
// from the menu, the shortcut or the toolbar.
#include "DisplaySupport.h"

#include <csignal>
#include <fstream>
#include <sstream>

using namespace appdisplay;

namespace {

class SettingsOnDisplay : public ApplicationOnDisplay {
protected:
    // A shown main window of the program other than those given (GTK leaves the window's process unnamed), waiting
    // for it; on the display named, else on DISPLAY's. A whole program starting on a loaded machine gets a minute.
    static unsigned long newWindow(const std::vector<unsigned long>& known = {}, const std::string& display = {})
    {
        const std::string prefix = display.empty() ? std::string() : "DISPLAY=" + display + " ";
        unsigned long found = 0;
        waitFor(
            [&] {
                std::istringstream ids(
                    runCommand(prefix + "xdotool search --onlyvisible --name '^Barcodes$' 2>/dev/null").output);
                for (unsigned long id = 0; ids >> id;)
                    if (std::find(known.begin(), known.end(), id) == known.end())
                        found = id;
                return found != 0;
            },
            2 * testsupport::WaitSeconds);
        return found;
    }
    // The sum of the preview's pixels: it changes when the symbol does.
    static long previewSignature(const Geometry& g, const char* display = nullptr)
    {
        auto shot = screenshot("preview", display);
        if (!shot)
            return -1;
        long sum = 0;
        for (int y = g.contentTop() + PreviewY - 100; y < g.contentTop() + PreviewY + 100; ++y)
            for (int x = g.x + PreviewX - 150; x < g.x + PreviewX + 150; ++x)
                sum += luminance(pixel(*shot, x, y));
        return sum;
    }
    static bool shown(const std::string& title)
    {
        return !runCommand("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null").output.empty();
    }
    // Starts the program and waits for its window, laid out and painted; where it is.
    Geometry startOnScreen()
    {
        start();
        window = newWindow();
        return window ? shownGeometry(window) : Geometry {};
    }
    std::string settings() const
    {
        std::ifstream in(home / "XDG_CONFIG_HOME/org.barcodes.Barcodes/org.barcodes.Barcodes.plist");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    unsigned long window { 0 };
};

}

// Two copies on one profile change different settings in the same second: the file keeps both changes.
TEST_F(SettingsOnDisplay, TwoCopiesOnOneProfileKeepEachOthersChanges)
{
    start();
    const unsigned long first = newWindow();
    ASSERT_NE(first, 0u);
    startSecond();
    const unsigned long other = newWindow({ first });
    ASSERT_NE(other, 0u);
    shownGeometry(first);
    shownGeometry(other);
    // Side by side as far as the screen allows: the first copy's form stays uncovered.
    ASSERT_TRUE(waitFor([&] {
        xdotool("windowmove " + std::to_string(first) + " 0 60");
        xdotool("windowmove " + std::to_string(other) + " 420 120");
        return geometryOf(first).x == 0 && geometryOf(other).x == 420;
    }));
    const Geometry a = shownGeometry(first), b = shownGeometry(other);

    // The first copy takes content while the second picks QR Code, each within the other's second of waiting. With
    // no window manager to hand the keyboard over, the test gives it to the first copy's window.
    auto giveKeyboardTo = [](unsigned long window) {
        return waitFor([&] {
            xdotool("windowfocus " + std::to_string(window));
            return xdotool("getwindowfocus") == std::to_string(window) + "\n";
        });
    };
    ASSERT_TRUE(giveKeyboardTo(first));
    clickAt(a.x + ContentFieldX, a.contentTop() + ContentFieldY);
    xdotool("type --delay 20 400638133393");
    ASSERT_TRUE(giveKeyboardTo(other));
    const int menus = popUpsShown();
    clickAt(b.x + SymbologyPopUpX, b.contentTop() + SymbologyPopUpY);
    ASSERT_TRUE(waitForMenu(menus, "two-copies-menu")) << "the second copy's pop-up menu opens";
    xdotool("type --delay 50 QR");
    xdotool("key Return");
    EXPECT_TRUE(waitFor([&] {
        return remembered("<string>400638133393</string>") && remembered("<string>QR</string>");
    })) << settings();
    screenshot("two-copies");

    requestClose(first);
    requestClose(other);
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_EQ(exitStatusOf(second), 0);
    EXPECT_TRUE(remembered("<string>400638133393</string>")) << "the first copy's content: " << settings();
    EXPECT_TRUE(remembered("<string>QR</string>")) << "the second copy's choice: " << settings();
}

// SIGTERM (a logout, a service manager) 0.3 s after typing, within the second the settings wait: they are written
// before the program ends, by the signal.
TEST_F(SettingsOnDisplay, SigtermJustAfterTypingKeepsWhatWasTyped)
{
    const Geometry g = startOnScreen();
    ASSERT_NE(window, 0u) << "the main window appears";
    const long before = previewSignature(g);
    clickAt(g.x + ContentFieldX, g.contentTop() + ContentFieldY);
    xdotool("type --delay 20 590123412345");
    // The program has taken the keys once the preview shows the new symbol: the signal at once, while the settings
    // still wait for their second.
    ASSERT_TRUE(waitFor([&] { return previewSignature(g) != before; })) << "the typed content reaches the preview";
    ::kill(pid, SIGTERM);
    auto status = exitStatus();
    ASSERT_TRUE(status) << "the program ends";
    EXPECT_EQ(*status, 128 + SIGTERM) << "ended by the signal, as asked";
    EXPECT_TRUE(remembered("<string>590123412345</string>")) << settings();
}

// The display going (the X server ends at a logout) within that second: the settings are written first.
TEST_F(SettingsOnDisplay, TheDisplayGoingKeepsWhatWasTyped)
{
    // A display of this test's own, to take away.
    const auto folder = home / "xvfb";
    std::filesystem::create_directories(folder);
    const auto numberFile = folder / "display";
    pid_t server = -1;
    // The server goes with the test, whatever its end.
    struct ServerGuard {
        pid_t& server;
        ~ServerGuard()
        {
            if (server > 0 && ::kill(server, SIGTERM) == 0)
                ::waitpid(server, nullptr, 0);
        }
    } serverGuard { server };
    {
        // Without key repeats, as scripts/with-display's server.
        std::string command = "exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -r 3>" + numberFile.string()
            + " 2>" + (folder / "log").string();
        char* argv[] = { const_cast<char*>("/bin/sh"), const_cast<char*>("-c"), command.data(), nullptr };
        ASSERT_EQ(posix_spawn(&server, "/bin/sh", nullptr, nullptr, argv, environ), 0);
    }
    std::string display;
    ASSERT_TRUE(waitFor([&] {
        std::ifstream in(numberFile);
        std::string number;
        if (in >> number)
            display = ":" + number;
        return !display.empty();
    })) << "the private display starts";

    start({ "DISPLAY=" + display });
    window = newWindow({}, display);
    ASSERT_NE(window, 0u);
    const std::string on = "DISPLAY=" + display + " ";
    const Geometry g = shownGeometry(window, display);
    const long before = previewSignature(g, display.c_str());
    runCommand(on + "xdotool mousemove " + std::to_string(g.x + ContentFieldX) + " "
        + std::to_string(g.contentTop() + ContentFieldY) + " click 1");
    runCommand(on + "xdotool type --delay 20 978020137962");
    ASSERT_TRUE(waitFor([&] { return previewSignature(g, display.c_str()) != before; }))
        << "the typed content reaches the preview";
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    server = -1;
    auto status = exitStatus();
    ASSERT_TRUE(status) << "the program ends with its display";
    EXPECT_TRUE(remembered("<string>978020137962</string>")) << settings();
}

// Content that cannot be encoded: Export cannot be reached by the toolbar, the shortcut or the File menu (whose
// item is shown disabled), Copy puts nothing on the clipboard, and the preview says why. Content that can be
// encoded brings Export back by the same keys.
TEST_F(SettingsOnDisplay, ContentThatCannotBeEncodedCannotBeExported)
{
    const Geometry g = startOnScreen();
    ASSERT_NE(window, 0u) << "the main window appears";
    const int menus = popUpsShown();
    clickAt(g.x + SymbologyPopUpX, g.contentTop() + SymbologyPopUpY);
    ASSERT_TRUE(waitForMenu(menus, "codabar-menu")) << "the pop-up's menu opens";
    xdotool("type --delay 50 Codabar");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return remembered("<string>Codabar</string>"); }));
    clickAt(g.x + ContentFieldX, g.contentTop() + ContentFieldY);
    xdotool("type --delay 20 40156");
    ASSERT_TRUE(waitFor([&] { return remembered("<string>40156</string>"); }));
    // Red text in the preview, where the symbol would be, once the preview has drawn the content.
    int red = 0;
    waitFor([&] {
        auto invalid = screenshot("cannot-encode");
        red = 0;
        if (invalid)
            for (int y = g.contentTop() + PreviewY - 80; y < g.contentTop() + PreviewY + 80; ++y)
                for (int x = g.x + PreviewX - 80; x < g.x + PreviewX + 80; ++x) {
                    const auto rgb = pixel(*invalid, x, y);
                    red += ((rgb >> 16) & 0xFF) > 180 && ((rgb >> 8) & 0xFF) < 100 && (rgb & 0xFF) < 100;
                }
        return red > 50;
    });
    EXPECT_GT(red, 50) << "the preview shows why";

    // The toolbar's Export, Ctrl+E, and File ▸ Export… from the keyboard.
    clickAt(g.x + ExportItemX, g.contentTop() + ExportItemY);
    xdotool("key ctrl+e");
    // F10 opens the first menu, Right the File menu, whose first item Return would choose; Escape closes the menu
    // the disabled item leaves open.
    ASSERT_TRUE(walkMenuBar({ "F10", "Right" })) << "F10 and Right open the File menu";
    settledScreenshot("cannot-encode-file-menu");
    xdotool("key --delay 300 Return Escape");
    ASSERT_TRUE(waitFor([&] { return popUpsShown() == menus; })) << "Escape closes the menu";
    // Copy from the preview.
    clickAt(g.x + PreviewX, g.contentTop() + PreviewY);
    xdotool("key ctrl+c");
    // What follows reaches the content field only if no sheet took the keyboard meanwhile.
    clickAt(g.x + ContentFieldX, g.contentTop() + ContentFieldY);
    xdotool("key ctrl+a");
    xdotool("type --delay 20 A40156B");
    ASSERT_TRUE(waitFor([&] { return remembered("<string>A40156B</string>"); })) << "no sheet opened";
    EXPECT_FALSE(shown("Save"));
    const auto targets = runCommand("timeout 10 xclip -selection clipboard -o -t TARGETS 2>/dev/null").output;
    EXPECT_EQ(targets.find("application/pdf"), std::string::npos) << targets;

    // Encodable again: the same keys export.
    ASSERT_TRUE(walkMenuBar({ "F10", "Right" })) << "F10 and Right open the File menu";
    xdotool("key Return");
    const unsigned long sheet = windowNamed("Save");
    EXPECT_NE(sheet, 0u) << "File ▸ Export… opens the sheet again";
    EXPECT_TRUE(waitFor([&] { return hasKeyboard(sheet); })) << "the sheet takes the keyboard";
    settledScreenshot("can-encode-sheet");
    xdotool("key Escape");
    EXPECT_TRUE(waitFor([&] { return !shown("Save"); })) << "Escape cancels the sheet";
    requestClose(window);
    EXPECT_EQ(exitStatus(), 0);
}
