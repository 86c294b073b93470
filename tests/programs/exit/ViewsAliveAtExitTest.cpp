// A program may keep views in globals: they are destroyed after main returns, after every function-local static
// made later. The process must still exit cleanly, so this binary's own exit status is the real check.

#include "frameworks/KeyComboRecorder/KRRecorderControl.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<KRRecorderControl> viewsAliveAtExitRecorder;
std::shared_ptr<ui::Window> viewsAliveAtExitWindow;

}

TEST(ViewsAliveAtExit, AWindowAndARecorderHeldInGlobalsOutliveMain)
{
    ui::HeadlessBackend::install();
    viewsAliveAtExitWindow = ui::Window::create({ 0, 0, 300, 100 });
    viewsAliveAtExitRecorder = KRRecorderControl::create({ 20, 20, 200, 24 });
    viewsAliveAtExitWindow->contentView()->addSubview(viewsAliveAtExitRecorder);
    viewsAliveAtExitWindow->makeKeyAndOrderFront();
    viewsAliveAtExitWindow->makeFirstResponder(viewsAliveAtExitRecorder);
    ui::Application::shared().dispatchPendingEvents();
    EXPECT_TRUE(viewsAliveAtExitWindow->isVisible());
}
