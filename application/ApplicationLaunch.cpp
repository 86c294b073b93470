#include "application/ApplicationLaunch.h"

#include "application/Lumvara_TessaroAppDelegate.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/interface/InterfaceLocalization.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

fnd::Expected<LaunchedApplication> launchApplication()
{
    Lumvara_TessaroAppDelegate::initialize();
    auto delegate = fnd::makeObject<Lumvara_TessaroAppDelegate>();
    auto& application = ui::Application::shared();
    application.setDelegate(delegate);
    auto loaded = ui::InterfaceFile::loadNamed("MainMenu", delegate);
    if (!loaded) {
        application.setDelegate(nullptr);
        return std::unexpected(loaded.error());
    }
    // The file's texts are keys of the string table of the same name.
    if (auto bundle = fnd::Bundle::bundleForClass(delegate->className()))
        ui::localizeInterface(*loaded, *bundle, "MainMenu");
    if (auto menu = loaded->objectsById.find("mainMenu"); menu != loaded->objectsById.end())
        application.setMainMenu(menu->second);
    if (auto window = delegate->window()) {
        window->center();
        window->makeKeyAndOrderFront();
    }
    application.finishLaunching();
    return LaunchedApplication { delegate, loaded->topLevelObjects };
}
