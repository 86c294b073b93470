#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/ui/panels/ScriptedPanel.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Event.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace fnd {
class Timer;
}

namespace gfx {
class BitmapImageRep;
}

namespace ui {

class HeadlessSurface;

// The window system for tests and offscreen work: windows draw into bitmaps, a virtual screen lays them out,
// input is injected at window points, modal sessions, sheets and pop-up menus are answered from a script, and
// beeps and opened URLs are recorded.
class HeadlessBackend final : public Backend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    // Installs a new headless backend with one screen of the size (its visible frame leaves a 22-point menu bar at
    // the top) and gives the application a fresh state.
    static std::shared_ptr<HeadlessBackend> install(gfx::Size screenSize = { 1440, 900 });
    void setScreens(std::vector<ScreenGeometry> screens) { m_screens = std::move(screens); }

    // Input, at points in the window's base coordinates; the events are queued for the application.
    void mouseDown(Window& window, gfx::Point point, unsigned modifierFlags = 0, long clickCount = 1);
    void mouseUp(Window& window, gfx::Point point, unsigned modifierFlags = 0, long clickCount = 1);
    void mouseDragged(Window& window, gfx::Point point, unsigned modifierFlags = 0);
    void mouseMoved(Window& window, gfx::Point point, unsigned modifierFlags = 0);
    // The same at a point of the screen, outside any window: the pointer of a drag that leaves the windows, or of a
    // window that moves under it.
    void mouseDragged(gfx::Point screenPoint, unsigned modifierFlags = 0);
    void mouseUp(gfx::Point screenPoint, unsigned modifierFlags = 0);
    void rightMouseDown(Window& window, gfx::Point point, unsigned modifierFlags = 0);
    void rightMouseUp(Window& window, gfx::Point point, unsigned modifierFlags = 0);
    void scrollWheel(Window& window, gfx::Point point, double deltaX, double deltaY, unsigned modifierFlags = 0);
    // A touchpad's scroll: deltas in points.
    void preciseScrollWheel(Window& window, gfx::Point point, double deltaX, double deltaY, unsigned modifierFlags = 0);
    // Touchpad gestures at the point: a swipe (direction -1, 0 or 1 per axis, positive to the left and up), a step
    // of a pinch (the scale's change) and of a rotation (degrees, counterclockwise).
    void swipe(Window& window, gfx::Point point, double deltaX, double deltaY);
    void magnify(Window& window, gfx::Point point, double magnification, EventPhase phase = EventPhase::Changed);
    void rotate(Window& window, gfx::Point point, double degrees, EventPhase phase = EventPhase::Changed);
    // charactersIgnoringModifiers defaults to the characters.
    void keyDown(Window& window, const fnd::String& characters, unsigned short keyCode, unsigned modifierFlags = 0,
        std::optional<fnd::String> charactersIgnoringModifiers = std::nullopt);
    void keyUp(Window& window, const fnd::String& characters, unsigned short keyCode, unsigned modifierFlags = 0);
    // Keys injected down and not yet up count as held.
    bool isKeyDown(unsigned short keyCode) override { return m_heldKeys.contains(keyCode); }
    void flagsChanged(Window& window, unsigned modifierFlags, unsigned short keyCode);
    // A press and release at the point.
    void click(Window& window, gfx::Point point, unsigned modifierFlags = 0);
    void post(const std::shared_ptr<Event>& event);
    // Sends the queued events now.
    void dispatchEvents();
    // Runs work after the delay on the main run loop, in every mode (so during tracking loops and modal sessions).
    // Work still pending when the backend goes away is dropped.
    void after(double seconds, std::function<void()> work);

    // Pictures: the window's content redrawn, or a view drawn on its own.
    std::shared_ptr<gfx::BitmapImageRep> imageOfWindow(Window& window);
    std::shared_ptr<gfx::BitmapImageRep> imageOfView(View& view);
    // The window's content as the screen shows it: scaled about its centre by its display scale, over its
    // background colour.
    std::shared_ptr<gfx::BitmapImageRep> imageOfWindowAsShown(Window& window);
    fnd::Expected<void> writePNG(Window& window, const fnd::String& path);
    fnd::Expected<void> writePNG(View& view, const fnd::String& path);

    // Scripts, used in order. A modal answer runs inside the session (typically stopModalWithCode); a sheet answer
    // runs once the sheet is up (typically endSheet); a pop-up answer is the chosen index, nullopt to dismiss. A
    // pop-up menu without a scripted answer is shown and tracked over the queued input (dismissed when none is
    // queued).
    void answerNextModal(std::function<void(Window& window)> answer);
    void answerNextSheet(std::function<void(Window& sheet, Window& parent)> answer);
    void answerNextPopUpMenu(std::optional<long> index);
    // Answers for panels (alerts, save and open panels), used in order whenever a panel runs modally, begins as a
    // sheet, or takes input again after a sheet of its own ended (a refused overwrite). They come before the
    // plain modal and sheet answers.
    void answerNextPanel(PanelAnswer answer);
    std::size_t pendingPanelAnswers() const { return m_panelAnswers.size(); }

    // Records.
    int beepCount() const { return m_beeps; }
    const std::vector<fnd::String>& openedURLs() const { return m_openedURLs; }
    // How many times the window's drawing was handed to the screen: once per display pass, and once per drawing
    // outside one.
    long flushCount(const Window& window) const;
    // Where each pop-up or context menu was asked to open (its top left on the screen), in order.
    const std::vector<gfx::Point>& popUpMenuLocations() const { return m_popUpMenuLocations; }

    // Backend.
    std::vector<ScreenGeometry> screens() override { return m_screens; }
    std::shared_ptr<gfx::WindowSurface> surfaceForWindow(Window& window) override;
    void windowClosed(Window& window) override;
    void windowDestroyed(long windowNumber) override;
    void windowFlushed(Window& window) override;
    // The windows the backend keeps pixels for: every window shown and neither closed nor gone.
    std::size_t surfaceCount() const { return m_surfaces.size(); }
    // Off: windows get no surface, so they lay out but draw nothing (work that reads no pixels, such as a fuzz
    // target driving controls, then pays for none). Takes effect for windows that have not drawn yet.
    bool drawsWindows() const { return m_drawsWindows; }
    void setDrawsWindows(bool flag) { m_drawsWindows = flag; }
    void beep() override { ++m_beeps; }
    fnd::Expected<void> openURL(const fnd::String& url) override;
    void modalSessionBegan(Window& window) override;
    void sheetBegan(Window& sheet, Window& parent) override;
    void sheetEnded(Window& sheet, Window& parent) override;
    std::optional<long> popUpMenu(Menu& menu, gfx::Point screenLocation) override;

private:
    std::set<unsigned short> m_heldKeys;
    std::shared_ptr<Event> mouseEvent(EventType type, Window& window, gfx::Point point, unsigned flags, long clicks);
    // Answers the window from the panel script when it is a panel and an answer waits.
    bool answerPanel(Window& window);

    std::vector<ScreenGeometry> m_screens;
    std::map<long, std::shared_ptr<HeadlessSurface>> m_surfaces;
    std::deque<std::function<void(Window&)>> m_modalAnswers;
    std::deque<std::function<void(Window&, Window&)>> m_sheetAnswers;
    std::deque<std::optional<long>> m_popUpAnswers;
    std::deque<PanelAnswer> m_panelAnswers;
    std::vector<fnd::String> m_openedURLs;
    std::vector<gfx::Point> m_popUpMenuLocations;
    std::vector<std::shared_ptr<fnd::Timer>> m_timers;
    std::map<long, long> m_flushes;
    int m_beeps { 0 };
    long m_eventNumber { 0 };
    bool m_drawsWindows { true };
};

}
