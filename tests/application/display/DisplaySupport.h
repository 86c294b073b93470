// The real program on the private X display of scripts/with-display: starting it with a home and settings of its
// own, finding its windows, driving it with xdotool, reading the screen.
#pragma once

#include "platform/graphics/BitmapImageRep.h"
#include "support/Command.h"

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

inline bool waitFor(const std::function<bool()>& condition, double seconds = 15)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return condition();
}

inline void pause(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
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
        = runCommand("timeout 20 xdotool search --sync --onlyvisible --name '^" + title + "$' 2>/dev/null | head -n1")
              .output;
    return out.empty() ? 0 : std::stoul(out);
}

struct Geometry {
    int x { 0 }, y { 0 }, width { 0 }, height { 0 };
    // The top of the content view, below the menu bar and toolbar: the window ends with its content.
    int contentTop() const { return y + height - ContentHeight; }
};

inline Geometry geometryOf(unsigned long window)
{
    Geometry g;
    auto out = runCommand("xdotool getwindowgeometry --shell " + std::to_string(window)).output;
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

// The screen's pixels, written as PNG to look at; of the display named, else of DISPLAY's.
inline std::shared_ptr<gfx::BitmapImageRep> screenshot(const std::string& name, const char* displayName = nullptr)
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
        (void)rep->writeToFile(
            fnd::String(::testing::TempDir() + "barcodes-" + name + ".png"), gfx::BitmapImageFileType::PNG);
    }
    XCloseDisplay(display);
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
    std::optional<int> exitStatus(double seconds) { return exitStatusOf(pid, seconds); }
    static std::optional<int> exitStatusOf(pid_t& process, double seconds)
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
