// The real program on the private X display of scripts/with-display: starting it with a home and settings of its
// own, finding its windows, driving it with xdotool, reading the screen.
#pragma once

#include "platform/graphics/BitmapImageRep.h"
#include "support/Command.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

using testsupport::runCommand;

namespace appdisplay {

// The main window's content, from resources/Barcodes/MainMenu.interface (points from its top left; scale 1).
constexpr int ContentHeight = 600;
constexpr int SymbologyPopUpX = 126 + 174 / 2, SymbologyPopUpY = ContentHeight - (529 + 26 / 2);
constexpr int ContentFieldX = 126 + 174 / 2, ContentFieldY = ContentHeight - (497 + 24 / 2);
constexpr int PreviewX = 320 + 520 / 2, PreviewY = ContentHeight - (20 + 560 / 2);
// The toolbar's first item, Export, sits above the content's top left.
constexpr int ExportItemX = 28, ExportItemY = -25;

inline const std::string Address = "https://example.org/barcodes?id=42";

// The program runs in a process of its own: a test reads its state from outside (the screen, the X server's
// windows, its settings file) and waits for a condition on it, a tenth of a second between checks.
inline bool waitFor(const std::function<bool()>& condition, double seconds = testsupport::WaitSeconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return condition();
}

inline std::string xdotool(const std::string& arguments)
{
    auto result = runCommand("xdotool " + arguments + " 2>&1");
    return result.output;
}

// The id of the first shown top-level window with exactly this title, waiting for it (GDK's hidden leader window
// may carry the program's name too).
inline unsigned long windowNamed(const std::string& title)
{
    auto out
        = runCommand("timeout 30 xdotool search --sync --onlyvisible --name '^" + title + "$' 2>/dev/null | head -n1")
              .output;
    return out.empty() ? 0 : std::stoul(out);
}

struct Geometry {
    int x { 0 }, y { 0 }, width { 0 }, height { 0 };
    // The top of the content view, below the menu bar and toolbar: the window ends with its content.
    int contentTop() const { return y + height - ContentHeight; }
};

// On the display named, else on DISPLAY's.
inline Geometry geometryOf(unsigned long window, const std::string& display = {})
{
    Geometry g;
    const std::string on = display.empty() ? std::string() : "DISPLAY=" + display + " ";
    auto out = runCommand(on + "xdotool getwindowgeometry --shell " + std::to_string(window)).output;
    std::sscanf(out.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &g.x, &g.y, &g.width, &g.height);
    return g;
}

inline void clickAt(int x, int y)
{
    // xdotool moves the pointer on the first screen unless told: on the screen DISPLAY names (":5.1").
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    const auto dot = display.rfind('.');
    const std::string screen = dot == std::string::npos ? "0" : display.substr(dot + 1);
    xdotool("mousemove --screen " + screen + " " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

// The screen's pixels; of the display named, else of DISPLAY's.
inline std::shared_ptr<gfx::BitmapImageRep> grabScreen(const char* displayName = nullptr)
{
    Display* display = XOpenDisplay(displayName);
    if (!display)
        return nullptr;
    XWindowAttributes root {};
    XGetWindowAttributes(display, DefaultRootWindow(display), &root);
    XImage* image = XGetImage(
        display, DefaultRootWindow(display), 0, 0, unsigned(root.width), unsigned(root.height), AllPlanes, ZPixmap);
    std::shared_ptr<gfx::BitmapImageRep> rep;
    if (image) {
        rep = gfx::BitmapImageRep::create(root.width, root.height, gfx::BitmapLayout::ARGB32Premultiplied);
        auto buffer = rep->pixelBuffer();
        for (int row = 0; row < root.height; ++row)
            for (int column = 0; column < root.width; ++column)
                buffer.row(row)[column] = 0xFF000000u | (std::uint32_t(XGetPixel(image, column, row)) & 0xFFFFFF);
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return rep;
}

// The screen's pixels, written as PNG to look at; of the display named, else of DISPLAY's.
inline std::shared_ptr<gfx::BitmapImageRep> screenshot(const std::string& name, const char* displayName = nullptr)
{
    auto rep = grabScreen(displayName);
    if (rep)
        (void)rep->writeToFile(
            fnd::String(::testing::TempDir() + "barcodes-" + name + ".png"), gfx::BitmapImageFileType::PNG);
    return rep;
}

inline std::uint32_t pixel(const gfx::BitmapImageRep& rep, int x, int y)
{
    return rep.pixelBuffer().pixel(x, y) & 0xFFFFFF;
}

inline int luminance(std::uint32_t rgb)
{
    return int(((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF)) / 3;
}

// The main window's place once the program has laid it out and drawn it (a window just shown may still gain its
// menu bar and toolbar): its geometry read alike three times a tenth of a second apart, and its content's light
// background on the screen. On the display named, else on DISPLAY's.
inline Geometry shownGeometry(unsigned long window, const std::string& display = {})
{
    Geometry g = geometryOf(window, display);
    int alike = 1;
    waitFor([&] {
        const Geometry next = geometryOf(window, display);
        const bool same = next.x == g.x && next.y == g.y && next.width == g.width && next.height == g.height;
        alike = same ? alike + 1 : 1;
        g = next;
        if (alike < 3 || g.height < ContentHeight)
            return false;
        auto shot = grabScreen(display.empty() ? nullptr : display.c_str());
        return shot && luminance(pixel(*shot, g.x + 40, g.contentTop() + 40)) > 200;
    });
    return g;
}

// Calls visit(window, attributes) for every shown child of the root window on DISPLAY's screen.
template <typename Visit> void forEachShownTopLevel(Visit&& visit)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes {};
            if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable)
                visit(children[i], attributes);
        }
        XFree(children);
    }
    XCloseDisplay(display);
}

// The pop-up windows shown now on DISPLAY's screen, and how many: menus (the pop-up buttons', the menu bar's, a context
// menu) and sheets are windows of their own that no window manager places, taller than a tool tip. A menu opened by a
// click or a key is one more of them; one closed, one fewer.
inline std::vector<Geometry> popUps()
{
    std::vector<Geometry> shown;
    forEachShownTopLevel([&](::Window, const XWindowAttributes& attributes) {
        if (attributes.override_redirect && attributes.height >= 50)
            shown.push_back({ attributes.x, attributes.y, attributes.width, attributes.height });
    });
    return shown;
}
inline int popUpsShown()
{
    return int(popUps().size());
}

// The shown top-level windows on DISPLAY's screen: the program's windows, panels, sheets (placed by the program, as
// pop-ups are) and menus.
inline std::vector<unsigned long> shownWindows()
{
    std::vector<unsigned long> shown;
    forEachShownTopLevel([&](::Window window, const XWindowAttributes&) { shown.push_back(window); });
    return shown;
}

// A window shown besides those given (a sheet without a title, a panel), once there is one and its place has stopped
// changing (read alike three times a tenth of a second apart): a sheet may still be sliding in. 0 when none came.
inline unsigned long windowShownBeside(const std::vector<unsigned long>& known)
{
    unsigned long found = 0;
    Geometry last;
    int alike = 0;
    waitFor([&] {
        if (!found)
            for (auto id : shownWindows())
                if (std::find(known.begin(), known.end(), id) == known.end())
                    found = id;
        if (!found)
            return false;
        const Geometry now = geometryOf(found);
        alike = now.x == last.x && now.y == last.y && now.width == last.width && now.height == last.height ? alike + 1
                                                                                                           : 1;
        last = now;
        return alike >= 3;
    });
    return alike >= 3 ? found : 0;
}

// The screen once it has stopped changing: grabs a tenth of a second apart until three in a row agree (for at most
// half a minute), written as PNG under the name. A picture after a fixed pause may catch a busy machine half way
// through drawing a menu it has just opened, or before it began.
inline std::shared_ptr<gfx::BitmapImageRep> settledScreenshot(const std::string& name)
{
    auto same = [](const gfx::BitmapImageRep& a, const gfx::BitmapImageRep& b) {
        const auto pa = a.pixelBuffer(), pb = b.pixelBuffer();
        if (pa.width != pb.width || pa.height != pb.height)
            return false;
        for (int row = 0; row < pa.height; ++row)
            if (!std::equal(pa.row(row), pa.row(row) + pa.width, pb.row(row)))
                return false;
        return true;
    };
    auto shot = grabScreen();
    int alike = 1;
    waitFor([&] {
        auto next = grabScreen();
        alike = shot && next && same(*shot, *next) ? alike + 1 : 1;
        shot = next;
        return alike >= 3;
    });
    if (shot)
        (void)shot->writeToFile(
            fnd::String(::testing::TempDir() + "barcodes-" + name + ".png"), gfx::BitmapImageFileType::PNG);
    return shot;
}

// Waits until a menu more than `before` is shown (popUpsShown()) and drawn on the screen, written as PNG under the
// name: a key or a click meant for the menu goes to it only then.
inline bool waitForMenu(int before, const std::string& name)
{
    if (!waitFor([&] { return popUpsShown() > before; }))
        return false;
    settledScreenshot(name);
    return true;
}

// Presses the keys one at a time (F10, then Right…), each once the menu the key before opened is shown: one menu of
// the bar open at a time, each right of the one before. Whether every key opened its menu.
inline bool walkMenuBar(const std::vector<std::string>& keys)
{
    const auto before = popUps().size();
    int rightmost = -1;
    for (const auto& key : keys) {
        xdotool("key " + key);
        const bool opened = waitFor([&] {
            const auto shown = popUps();
            if (shown.size() != before + 1)
                return false;
            const int x = std::ranges::max(shown, {}, &Geometry::x).x;
            if (x <= rightmost)
                return false;
            rightmost = x;
            return true;
        });
        if (!opened)
            return false;
    }
    return true;
}

// Whether the X server gives the window the keyboard now (no window manager runs: the program gives it).
inline bool hasKeyboard(unsigned long window)
{
    return runCommand("xdotool getwindowfocus 2>/dev/null").output == std::to_string(window) + "\n";
}

// Asks the window to close as a window manager's close button does.
inline void requestClose(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_TRUE(display);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
}

// The program, started with a home and settings of its own.
class ApplicationOnDisplay : public ::testing::Test {
protected:
    ApplicationOnDisplay()
    {
        home = std::filesystem::path(::testing::TempDir()) / ("barcodes-home-" + std::to_string(::getpid()));
        std::filesystem::remove_all(home);
        std::filesystem::create_directories(home);
    }
    ~ApplicationOnDisplay() override
    {
        for (pid_t running : { pid, second }) {
            if (running > 0) {
                ::kill(running, SIGKILL);
                ::waitpid(running, nullptr, 0);
            }
        }
        std::filesystem::remove_all(home);
    }

    // Starts the program; `extra` entries ("LANG=de_DE.UTF-8", "DISPLAY=:5.1") replace the environment's own.
    void start(const std::vector<std::string>& extra = {}) { pid = spawnProgram(extra); }
    // A second copy of the program, with the same home and settings.
    void startSecond(const std::vector<std::string>& extra = {}) { second = spawnProgram(extra); }

    pid_t spawnProgram(const std::vector<std::string>& extra)
    {
        std::vector<std::string> variables;
        auto replaced = [&](const std::string& entry) {
            const auto name = entry.substr(0, entry.find('=') + 1);
            return std::ranges::any_of(extra, [&](const std::string& e) { return e.starts_with(name); });
        };
        for (char** e = environ; *e; ++e) {
            std::string entry(*e);
            if (!entry.starts_with("HOME=") && !entry.starts_with("XDG_") && !replaced(entry))
                variables.push_back(entry);
        }
        variables.insert(variables.end(), extra.begin(), extra.end());
        variables.push_back("HOME=" + home.string());
        for (const char* name : { "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME" })
            variables.push_back(std::string(name) + "=" + (home / name).string());
        std::vector<char*> envp;
        for (auto& v : variables)
            envp.push_back(v.data());
        envp.push_back(nullptr);
        std::string program = BARCODES_APPLICATION;
        char* argv[] = { program.data(), nullptr };
        pid_t started = -1;
        EXPECT_EQ(posix_spawn(&started, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
        return started;
    }

    // The exit status once the program has ended, waiting at most the time given; nullopt while it runs. A program
    // ended by a signal gives 128 + the signal's number, as a shell says.
    std::optional<int> exitStatus(double seconds = testsupport::WaitSeconds) { return exitStatusOf(pid, seconds); }
    static std::optional<int> exitStatusOf(pid_t& process, double seconds = testsupport::WaitSeconds)
    {
        int status = 0;
        bool ended = waitFor([&] { return ::waitpid(process, &status, WNOHANG) == process; }, seconds);
        if (!ended)
            return std::nullopt;
        process = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Whether the program's settings file holds the text: settings are written a moment after each change, so this
    // tells when the program has taken what was typed.
    bool remembered(const std::string& text) const
    {
        auto plist = runCommand("cat "
            + (home / "XDG_CONFIG_HOME/org.barcodes.Barcodes/org.barcodes.Barcodes.plist").string() + " 2>/dev/null");
        return plist.output.find(text) != std::string::npos;
    }

    std::filesystem::path home;
    pid_t pid { -1 };
    pid_t second { -1 };
};

}
