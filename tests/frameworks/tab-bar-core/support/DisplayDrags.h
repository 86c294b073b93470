#pragma once

#include "GtkTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tabbartest {

// Samples, on a run-loop timer that also fires inside a drag's own loop, where the X server's pointer is and where
// the floating tab window's middle is, while a tab is dragged with the real pointer.
struct FloatingSamples {
    struct Sample {
        gfx::Point pointer;
        gfx::Point window;
    };
    std::vector<Sample> samples;
    std::shared_ptr<fnd::Timer> timer;

    void start(std::function<std::shared_ptr<ui::Window>()> floating)
    {
        timer = fnd::Timer::create(0.03, true, [this, floating](fnd::Timer&) {
            if (auto w = floating(); w && w->isVisible())
                samples.push_back({ ui::Event::mouseLocation(), { w->frame().midX(), w->frame().midY() } });
        });
        fnd::RunLoop::main().addTimer(timer, fnd::RunLoopMode::Common);
    }
    void stop()
    {
        if (timer)
            timer->invalidate();
    }
    ~FloatingSamples() { stop(); }
    // Whether the window was seen centred on the pointer while the pointer rested at the screen point.
    bool centredAt(gfx::Point p) const
    {
        auto near = [](gfx::Point a, gfx::Point b) { return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1; };
        return std::ranges::any_of(samples, [&](const Sample& s) { return near(s.pointer, p) && near(s.window, p); });
    }
};

// The second program of the drag tests (tests/platform/backend/gtk/peer): a small GTK window at the screen's top
// left that offers a drag of a text and reports what happens to a file.
class DragPeer {
public:
    using Wait = std::function<bool(double seconds, std::function<bool()> condition)>;
    // Starts it offering the text and waits until it is shown.
    bool start(const std::string& program, const std::string& text, const Wait& wait)
    {
        m_report = ::testing::TempDir() + "drag-peer-" + std::to_string(::getpid()) + ".txt";
        std::remove(m_report.c_str());
        m_pid = gtktest::startInBackground({ program, "source", text, m_report });
        return m_pid > 0 && wait(testsupport::WaitSeconds, [this] { return reported("ready"); });
    }
    // Presses in the peer (root point 100, 75 in points) and moves a little, until its drag begins: a peer slow to
    // start under load may miss the first press. True once the drag is under way; the button stays down.
    bool beginDrag(int scale, const std::function<void(const std::string& xdotoolArguments)>& run, const Wait& wait)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            run("mousemove " + std::to_string(100 * scale) + " " + std::to_string(75 * scale)
                + " mousedown 1 mousemove " + std::to_string(110 * scale) + " " + std::to_string(85 * scale));
            if (wait(5, [this] { return reported("dragging"); }))
                return true;
            run("mouseup 1");
        }
        return false;
    }
    bool reported(const std::string& line) const
    {
        std::ifstream in(m_report);
        std::stringstream text;
        text << in.rdbuf();
        return text.str().find(line) != std::string::npos;
    }
    ~DragPeer()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
        std::remove(m_report.c_str());
    }

private:
    std::string m_report;
    int m_pid { -1 };
};

// What the display tests of both tab-bar families do with the real pointer (xdotool on a private X server).
class TabBarDisplayTest : public gtktest::GtkDisplayTest {
protected:
    // A point of a window's content (y up) as root device pixels for xdotool.
    static std::string root(const ui::Window& window, gfx::Point p)
    {
        auto [x, y, width, height] = gtktest::deviceRectOfContent(window);
        const double contentHeight = window.contentRectForFrameRect(window.frame()).height();
        return fmt::format("{} {}", x + int(p.x * scale()), y + int((contentHeight - p.y) * scale()));
    }
    void xdotool(const std::string& command)
    {
        ASSERT_EQ(gtktest::runWhileServing(*backend, "xdotool " + command).status, 0) << command;
    }
    // The whole screen as /tmp/<name>.png, for a person to look at.
    void screenshot(const char* name)
    {
        gtktest::runWhileServing(*backend, std::string("import -window root /tmp/") + name + ".png");
    }

    // A tab torn off in style one: pressed at start (a content point of the window), pulled down out of the bar,
    // resting at two places, then let go over empty screen below the window. The floating miniature must be centred
    // on the pointer at both places, and the window the drop opens centred where the pointer let go. The pointer
    // rests at each place until the miniature was seen centred on it (or the wait ends): a fixed rest let a busy
    // program take the next move before it had once drawn the miniature there.
    struct StyleOneTearOff {
        std::function<std::shared_ptr<ui::Window>()> floatingWindow; // the dragged tab's, while there is one
        std::function<std::shared_ptr<ui::Window>()> openedWindow; // the one the drop opened; nullptr before
        std::function<bool()> dragging;
        std::function<bool(const ui::Window&)> shownInFull; // the opened window has finished appearing
    };
    void tearOffInStyleOne(const ui::Window& window, gfx::Point start, const StyleOneTearOff& tab)
    {
        FloatingSamples floating;
        floating.start(tab.floatingWindow);
        const gfx::Point first { start.x + 120, start.y - 110 }, second { start.x + 220, start.y - 260 },
            drop { start.x + 260, start.y - 330 };
        std::string pull = "mousemove " + root(window, start) + " mousedown 1";
        for (int i = 1; i <= 6; ++i)
            pull += " sleep 0.03 mousemove " + root(window, { start.x, start.y - i * 12 });
        const gfx::Point firstOnScreen = window.convertBaseToScreen(first),
                         secondOnScreen = window.convertBaseToScreen(second),
                         dropOnScreen = window.convertBaseToScreen(drop);
        gtktest::StagedGesture gesture;
        gesture.then(pull + " sleep 0.1 mousemove " + root(window, first))
            .then("mousemove " + root(window, second), [&] { return floating.centredAt(firstOnScreen); })
            .then("mousemove " + root(window, drop), [&] { return floating.centredAt(secondOnScreen); })
            .then("mouseup 1", [&] { return floating.centredAt(dropOnScreen); });
        gesture.start();
        ASSERT_TRUE(waitFor([&] { return gesture.isDone() && tab.openedWindow() && !tab.dragging(); }))
            << "the gesture stopped before stage " << gesture.stagesStarted() + 1 << " (" << floating.samples.size()
            << " samples)";
        floating.stop();

        EXPECT_TRUE(floating.centredAt(firstOnScreen))
            << "not centred on the pointer at the first place (" << floating.samples.size() << " samples)";
        EXPECT_TRUE(floating.centredAt(secondOnScreen)) << "not centred on the pointer at the second place";
        auto opened = tab.openedWindow();
        ASSERT_TRUE(waitFor([&] { return tab.shownInFull(*opened); })) << "the new window never appeared in full";
        EXPECT_NEAR(opened->frame().midX(), dropOnScreen.x, 1) << "the new window opens where the pointer let go";
        EXPECT_NEAR(opened->frame().midY(), dropOnScreen.y, 1);
    }

    // A drag that another program (the peer) starts with a text, moved in steps to the tab (a content point of the
    // window), held there until the tab has sprung open (`sprung`, or the wait ends), and taken back to the peer,
    // where the drop goes (never on the bar): it brings no mouse events of ours, only the window system's drop
    // motions. A fixed hold let a busy program see the drag leave before its springing delay had run.
    void holdADragFromAnotherProgramOver(
        const ui::Window& window, gfx::Point tab, const std::string& peerProgram, const std::function<bool()>& sprung)
    {
        DragPeer peer;
        auto wait
            = [&](double seconds, std::function<bool()> condition) { return waitFor(std::move(condition), seconds); };
        ASSERT_TRUE(peer.start(peerProgram, "spring text", wait));
        const int s = scale();
        ASSERT_TRUE(peer.beginDrag(
            s, [&](const std::string& arguments) { xdotool(arguments); }, wait))
            << "the other program's drag never began";
        std::string over;
        for (int i = 1; i <= 5; ++i)
            over += fmt::format("mousemove {} {} sleep 0.1 ", (110 + i * 30) * s, (85 + i * 30) * s);
        over += "mousemove " + root(window, { tab.x - 4, tab.y }) + " sleep 0.1 mousemove " + root(window, tab);
        gtktest::StagedGesture gesture;
        gesture.then(over).then(fmt::format("mousemove {} {} sleep 0.2 mousemove {} {} sleep 0.2 mouseup 1", 120 * s,
                                    90 * s, 100 * s, 75 * s),
            sprung);
        gesture.start();
        ASSERT_TRUE(waitFor([&] { return gesture.isDone(); }))
            << "the gesture stopped before stage " << gesture.stagesStarted() + 1;
    }
};

}
