#include "frameworks/FoundationExtensions/ui/ZORApplication_Extension.h"

#include "platform/ui/views/Application.h"

namespace ZORExtension {

void beginSheetModalForWindowDidEndBlock(ui::Application& application, const std::shared_ptr<ui::Window>& sheet,
    const std::shared_ptr<ui::Window>& window, std::function<void(std::int64_t)> block)
{
    application.beginSheet(sheet, window, [block = std::move(block)](long returnCode) {
        if (block)
            block(returnCode);
    });
}

}
