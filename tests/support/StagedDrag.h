#pragma once

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/views/Window.h"

#include <functional>
#include <memory>
#include <vector>

namespace testsupport {

// A person's drag on the headless backend during which the program acts: a press, the drags of each stage in turn
// with `between(stage)` run after each stage on the run loop (within whatever loop the view tracks the mouse in, as
// a timer or a notification of the program would run), and a release at the last point once the last act has run.
// `runFor` moves the test's clock and turns the run loop. Answers whether the release was sent.
inline bool runStagedDrag(ui::HeadlessBackend& backend, const std::shared_ptr<ui::Window>& window, gfx::Point press,
    std::vector<std::vector<gfx::Point>> stages, std::function<void(std::size_t)> between,
    const std::function<void(double)>& runFor)
{
    if (stages.empty())
        stages.push_back({ press });
    // Held by the acts the run loop keeps, so none of them reaches a state that has gone.
    struct State {
        ui::HeadlessBackend& backend;
        std::weak_ptr<ui::Window> window;
        std::vector<std::vector<gfx::Point>> stages;
        std::function<void(std::size_t)> between;
        bool released { false };
        void stage(const std::shared_ptr<State>& self, std::size_t i)
        {
            auto w = window.lock();
            if (!w)
                return;
            for (const auto& p : stages[i])
                backend.mouseDragged(*w, p);
            backend.after(0.04, [self, i] {
                self->between(i);
                if (i + 1 < self->stages.size()) {
                    self->stage(self, i + 1);
                    return;
                }
                if (auto shown = self->window.lock())
                    self->backend.mouseUp(*shown, self->stages.back().back());
                self->released = true;
            });
        }
    };
    auto state = std::make_shared<State>(State { backend, window, std::move(stages), std::move(between) });
    backend.mouseDown(*window, press);
    state->stage(state, 0);
    backend.dispatchEvents();
    for (int wait = 0; wait < 400 && !state->released; ++wait) {
        runFor(0.05);
        backend.dispatchEvents();
    }
    backend.dispatchEvents();
    return state->released;
}

// The points of a straight move, `count` steps after `from` up to `to`.
inline std::vector<gfx::Point> stepsBetween(gfx::Point from, gfx::Point to, int count)
{
    std::vector<gfx::Point> points;
    for (int i = 1; i <= count; ++i)
        points.push_back({ from.x + (to.x - from.x) * i / count, from.y + (to.y - from.y) * i / count });
    return points;
}

}
