#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace ui {
class Application;
class Window;
}

// Sheets whose end is handled by a block instead of a delegate and selector.
namespace ZORExtension {

// Starts the sheet on the window; the block gets the return code once, when the sheet ends.
void beginSheetModalForWindowDidEndBlock(ui::Application& application, const std::shared_ptr<ui::Window>& sheet,
    const std::shared_ptr<ui::Window>& window, std::function<void(std::int64_t returnCode)> block);

}
