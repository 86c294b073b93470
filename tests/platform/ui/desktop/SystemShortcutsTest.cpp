#include "platform/ui/desktop/SystemShortcuts.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

namespace {

// A backend that shows nothing and records what it is asked to inhibit.
class InhibitRecordingBackend final : public ui::Backend {
public:
    std::vector<ScreenGeometry> screens() override { return { { { 0, 0, 1440, 900 }, { 0, 0, 1440, 878 }, 1 } }; }
    std::shared_ptr<gfx::WindowSurface> surfaceForWindow(ui::Window&) override { return nullptr; }
    void setSystemShortcutsInhibited(ui::Window& window, bool inhibited) override
    {
        calls.push_back({ &window, inhibited });
    }
    std::vector<std::pair<const ui::Window*, bool>> calls;
};

class SystemShortcutsTest : public ::testing::Test {
protected:
    SystemShortcutsTest()
        : backend(std::make_shared<InhibitRecordingBackend>())
    {
        ui::Backend::install(backend);
    }
    ~SystemShortcutsTest() override
    {
        ui::SystemShortcutProvider::setShared(nullptr);
        ui::Backend::install(nullptr);
    }
    std::shared_ptr<InhibitRecordingBackend> backend;
};

// Pauses nest per window: the desktop's shortcuts are inhibited at the first and given back at the last.
TEST_F(SystemShortcutsTest, PausesNestPerWindow)
{
    auto first = ui::Window::create({ { 0, 0 }, { 100, 100 } });
    auto second = ui::Window::create({ { 200, 0 }, { 100, 100 } });
    auto a = ui::SystemShortcutPause::pause(*first);
    auto b = ui::SystemShortcutPause::pause(*first);
    auto c = ui::SystemShortcutPause::pause(*second);
    EXPECT_NE(a, b);
    ASSERT_EQ(backend->calls.size(), 2u) << "one inhibit per window";
    ui::SystemShortcutPause::resume(a);
    EXPECT_TRUE(ui::SystemShortcutPause::isPaused(*first));
    EXPECT_EQ(backend->calls.size(), 2u);
    ui::SystemShortcutPause::resume(b);
    ui::SystemShortcutPause::resume(b); // ended already: nothing happens
    EXPECT_FALSE(ui::SystemShortcutPause::isPaused(*first));
    ASSERT_EQ(backend->calls.size(), 3u);
    EXPECT_EQ(backend->calls[2], std::make_pair(static_cast<const ui::Window*>(first.get()), false));
    EXPECT_TRUE(ui::SystemShortcutPause::isPaused(*second));
    ui::SystemShortcutPause::resume(c);
    EXPECT_EQ(backend->calls.size(), 4u);
    ui::SystemShortcutPause::resume(0);
    EXPECT_EQ(backend->calls.size(), 4u);
    first->close();
    second->close();
}

// Without a desktop that keeps shortcuts the list is empty; a fixed one (or an unreadable one) can be installed.
TEST_F(SystemShortcutsTest, ProviderIsInjectable)
{
    auto list = ui::SystemShortcutProvider::shared()->systemShortcuts();
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->empty());
    ui::SystemShortcut shortcut { "test/close", 0x28, ui::ModifierFlags::Command, true };
    ui::SystemShortcutProvider::setShared(std::make_shared<ui::FixedSystemShortcutProvider>(
        std::vector<ui::SystemShortcut> { shortcut }));
    EXPECT_EQ(ui::SystemShortcutProvider::shared()->systemShortcuts(), std::vector<ui::SystemShortcut> { shortcut });
    ui::SystemShortcutProvider::setShared(std::make_shared<ui::FixedSystemShortcutProvider>(std::nullopt));
    EXPECT_FALSE(ui::SystemShortcutProvider::shared()->systemShortcuts());
    ui::SystemShortcutProvider::setShared(nullptr);
    EXPECT_TRUE(ui::SystemShortcutProvider::shared()->systemShortcuts()->empty());
}

}
