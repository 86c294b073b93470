// A program of its own, built against an installed copy of the framework, once with CMake's find_package and once
// with pkg-config (scripts/check-installed). Its interface file, found in its own bundle, names the tab bar control,
// which its code never refers to; the bar draws its background from a picture of the framework's bundle. It writes
// its window to the PNG file named by its argument and prints the folder of the bundle the bar took its resources
// from, so the check can see that the installed copy's resources were used.

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/views/Window.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PNG-FILE\n", argv[0]);
        return 2;
    }
    auto backend = ui::HeadlessBackend::install();
    if (!fnd::ClassRegistry::shared().find("ZTBTabBarControl")) {
        std::fprintf(stderr, "The tab bar control's library was not loaded.\n");
        return 1;
    }
    auto loaded = ui::InterfaceFile::loadNamed("Snapshot");
    if (!loaded) {
        std::fprintf(stderr, "%s\n", loaded.error().localizedDescription().utf8().c_str());
        return 1;
    }
    auto window = std::dynamic_pointer_cast<ui::Window>(loaded->objectsById.at("window"));
    if (auto written = backend->writePNG(*window, argv[1]); !written) {
        std::fprintf(stderr, "%s\n", written.error().localizedDescription().utf8().c_str());
        return 1;
    }
    auto bundle = fnd::Bundle::bundleForClass("ZTBTabBarControl");
    std::printf("%s\n", bundle->bundlePath().utf8().c_str());
    window->close();
    // The window system goes before the program's statics.
    ui::Backend::install(nullptr);
    return 0;
}
