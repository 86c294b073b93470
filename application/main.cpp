#include "application/ApplicationLaunch.h"
#include "application/Lumvara_TessaroAppDelegate.h"

#include "frameworks/FoundationExtensions/ui/ZORCrashReporter.h"
#include "platform/backend/gtk/GtkBackend.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/views/Application.h"

#include <cstdio>

int main()
{
    ZORCrashReporter::installCrashHandler();
    if (!ui::installBackendForSession()) {
        std::fputs("Barcodes needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY leads to one.\n", stderr);
        return 1;
    }
    // A logout or a service manager ending the program writes what the person did first.
    ui::Application::handleTerminationSignals();
    auto launched = launchApplication();
    if (!launched) {
        std::fprintf(stderr, "Barcodes could not start: %s\n", launched.error().localizedDescription().utf8().c_str());
        ui::Backend::install(nullptr);
        return 1;
    }
    ui::Application::shared().run();
    fnd::UserDefaults::standardUserDefaults().synchronize();
    // The window system goes before the program's static objects do.
    ui::Application::shared().setDelegate(nullptr);
    launched->delegate.reset();
    launched->topLevelObjects.clear();
    ui::Backend::install(nullptr);
    return 0;
}
