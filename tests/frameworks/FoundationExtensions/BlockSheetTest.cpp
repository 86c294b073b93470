#include "frameworks/FoundationExtensions/ui/ZORApplication_Extension.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

TEST(BlockSheet, TheBlockGetsTheReturnCodeOnce)
{
    auto backend = ui::HeadlessBackend::install();
    auto& app = ui::Application::shared();
    auto window = ui::Window::create({ 0, 0, 400, 300 });
    auto sheet = ui::Window::create({ 0, 0, 200, 100 });
    window->makeKeyAndOrderFront();

    std::vector<std::int64_t> codes;
    ZORExtension::beginSheetModalForWindowDidEndBlock(
        app, sheet, window, [&](std::int64_t code) { codes.push_back(code); });
    EXPECT_EQ(window->attachedSheet(), sheet);
    app.endSheet(sheet, 1);
    app.endSheet(sheet, 2);
    EXPECT_EQ(codes, std::vector<std::int64_t> { 1 });

    // A sheet without a block ends quietly.
    ZORExtension::beginSheetModalForWindowDidEndBlock(app, sheet, window, nullptr);
    app.endSheet(sheet, 3);
    EXPECT_EQ(window->attachedSheet(), nullptr);

    window->close();
    sheet->close();
    ui::Backend::install(nullptr);
}
