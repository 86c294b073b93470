#pragma once

#include "platform/backend/gtk/GtkBackend.h"
#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/text/TextInputClient.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Screen.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace gtktest {

// One GTK backend for the whole binary (GTK opens its display once); every test closes the windows it made.
class GtkDisplayTest : public ::testing::Test {
public:
    // GDK's scale on this run (scripts/with-display --scale).
    static int scale();
    static void releaseBackend();

protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void TearDown() override;

    // A visible window with the content rect on the screen (points, y up), shown and painted.
    std::shared_ptr<ui::Window> showWindow(gfx::Rect contentRect, const std::shared_ptr<ui::View>& content,
        unsigned style = ui::WindowStyleMask::Titled | ui::WindowStyleMask::Closable);
    // Turns the run loop until the condition holds, for at most the seconds; whether it held.
    bool waitFor(const std::function<bool()>& condition, double seconds = testsupport::WaitSeconds);
    // Has the X server take in every request this program made so far (a raise, a property, a grab), so that another
    // connection (the test's own, xdotool) sees their effect. A check that something did not happen reads the server
    // after this, not after a while.
    static void syncWithServer();
    // The window's canvas as GTK laid it out (GTK's logical pixels), and its X window as the X server has it
    // (device pixels): width, height.
    static std::pair<int, int> canvasSize(const ui::Window& window);
    static std::pair<int, int> xWindowSize(const ui::Window& window);

    static inline std::shared_ptr<ui::GtkBackend> backend;
};

// How much the process's peak resident memory grew since this was made, in kilobytes: what windows cost at their
// largest, however briefly.
class PeakMemoryGrowth {
public:
    PeakMemoryGrowth();
    long kilobytes() const;

private:
    long m_start { 0 };
};

// Pixels read back from the X server (device pixels, 0xRRGGBB).
struct Screenshot {
    int width { 0 };
    int height { 0 };
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    // Written as PNG into the temporary folder (/tmp), to look at.
    void save(const std::string& path) const;
};
// The screen's pixels in the rectangle of root coordinates (device pixels).
Screenshot grabScreen(int x, int y, int width, int height);
// The screen's pixels in the rectangle once they have stopped changing: grabs taken while the run loop turns, until
// three in a row a tenth of a second apart agree (at most `seconds`). A picture taken after a fixed pause may catch a
// busy machine half way through a redraw.
Screenshot settledScreen(
    ui::GtkBackend& backend, int x, int y, int width, int height, double seconds = testsupport::WaitSeconds);
// The device-pixel rectangle a window's content covers on the screen: x, y (top left), width, height.
std::array<int, 4> deviceRectOfContent(const ui::Window& window);

// Runs a command (through the shell) while GLib's main context keeps turning, so the command may talk to this
// process through the X server; answers its standard output and exit status.
struct CommandOutput {
    int status { -1 };
    std::string output;
};
CommandOutput runWhileServing(
    ui::GtkBackend& backend, const std::string& command, double seconds = testsupport::WaitSeconds);
// Starts a command in the background and answers its process id.
int startInBackground(const std::vector<std::string>& argv);
// Whether a process startInBackground started has ended (an ended process nobody has reaped counts as ended).
bool hasEnded(int pid);

// Input in stages, each an xdotool command that starts once the one before has ended and the program has reached the
// stage's condition (the press arrived, the drag began, the destination answered, the modal session runs). A gesture
// with fixed pauses between its press, moves and release tells how busy the machine is: a release that comes before the
// destination's answer cancels the drop. A run-loop timer in the common modes drives the stages, so they go on inside
// a press's or a drag's own loop too.
class StagedGesture {
public:
    StagedGesture() = default;
    StagedGesture(const StagedGesture&) = delete;
    StagedGesture& operator=(const StagedGesture&) = delete;
    ~StagedGesture();
    // xdotool's arguments, and what must hold before they run (nothing: at once).
    StagedGesture& then(std::string arguments, std::function<bool()> when = {});
    void start();
    // Every stage has run and ended.
    bool isDone() const { return m_done; }
    // How many stages have started, to say where a gesture stopped.
    std::size_t stagesStarted() const { return m_next; }

private:
    void step();

    struct Stage {
        std::string arguments;
        std::function<bool()> when;
    };
    std::vector<Stage> m_stages;
    std::size_t m_next { 0 };
    int m_running { -1 };
    bool m_done { false };
    std::shared_ptr<fnd::Timer> m_timer;
};

// Counts the events of a mask the application sends on, from a local monitor: that a press arrived and was handled
// (the count is read between events), where a check that input changed nothing needs to know the input has come.
class EventCount {
public:
    explicit EventCount(ui::EventMask mask);
    ~EventCount();
    EventCount(const EventCount&) = delete;
    EventCount& operator=(const EventCount&) = delete;
    long count() const { return *m_count; }

private:
    std::shared_ptr<long> m_count = std::make_shared<long>(0);
    long m_monitor { 0 };
};

// The desktop's double-click time made a generous two seconds for the scope: a busy machine may hold xdotool up
// between the two clicks of its double click for longer than the desktop's 400 ms, and the program then saw two
// single clicks.
class GenerousDoubleClickTime {
public:
    GenerousDoubleClickTime();
    ~GenerousDoubleClickTime();
    GenerousDoubleClickTime(const GenerousDoubleClickTime&) = delete;
    GenerousDoubleClickTime& operator=(const GenerousDoubleClickTime&) = delete;

private:
    int m_previous { 0 };
};

// A view that fills itself with a colour and runs an optional extra drawing step.
class FillView : public ui::View {
    FND_OBJECT(FillView)
public:
    static std::shared_ptr<FillView> make(gfx::Rect frame, gfx::ColorPtr fill);
    void drawRect(gfx::Rect dirty) override;
    gfx::ColorPtr fill;
    std::function<void(FillView&)> extra;
};

// A view that takes the keyboard and records the key events and key equivalents it gets; "paste:" reads the
// general pasteboard's text.
class KeyRecorder : public FillView, public ui::TextInputClient {
    FND_OBJECT(KeyRecorder)
    static void describeClass(fnd::ClassBuilder<KeyRecorder>& c);

public:
    struct Key {
        ui::EventType type;
        std::string characters;
        std::string ignoringModifiers;
        unsigned short keyCode;
        unsigned flags;
    };
    static std::shared_ptr<KeyRecorder> make(gfx::Rect frame);
    bool acceptsFirstResponder() const override { return true; }
    void keyDown(const ui::Event& event) override { record(event); }
    void keyUp(const ui::Event& event) override { record(event); }
    void flagsChanged(const ui::Event& event) override { record(event); }
    bool performKeyEquivalent(const ui::Event& event) override;
    void paste(const fnd::Value& sender);
    // Records the title of the menu item that sent it.
    void pick(const fnd::Value& sender);
    std::vector<std::string> picked;

    void record(const ui::Event& event);
    // Input-method composition.
    void setMarkedText(const fnd::String& text, fnd::Range) override { marked.push_back(text.utf8()); }
    void unmarkText() override { marked.push_back("<unmarked>"); }
    // An empty marked text ends the composition, as unmarking does.
    bool hasMarkedText() const override
    {
        return !marked.empty() && marked.back() != "<unmarked>" && !marked.back().empty();
    }
    std::vector<std::string> marked;
    std::vector<Key> keys;
    std::vector<Key> equivalents;
    std::vector<std::string> pasted;
    bool takeEquivalents { false };
};

}
