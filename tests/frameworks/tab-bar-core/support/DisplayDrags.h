#pragma once

#include "GtkTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

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
        return m_pid > 0 && wait(10, [this] { return reported("ready"); });
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

}
