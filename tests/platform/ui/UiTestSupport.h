#pragma once

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/Clock.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

namespace uitest {

// Every UI test starts with a fresh headless backend, a fresh application and time that moves only when told.
class UiTest : public ::testing::Test {
protected:
    UiTest()
        : clock(std::make_shared<fnd::VirtualClock>())
        , scopedClock(clock)
        , backend(ui::HeadlessBackend::install())
    {
    }
    ~UiTest() override
    {
        for (const auto& w : ui::Application::shared().windows())
            w->close();
        ui::Backend::install(nullptr);
    }

    ui::Application& app() { return ui::Application::shared(); }

    std::shared_ptr<fnd::VirtualClock> clock;
    fnd::ScopedClock scopedClock;
    std::shared_ptr<ui::HeadlessBackend> backend;
};

}
