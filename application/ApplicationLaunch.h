#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Object.h"

#include <memory>
#include <vector>

class Lumvara_TessaroAppDelegate;

// The running application: its delegate and what the main interface file made, kept alive together.
struct LaunchedApplication {
    std::shared_ptr<Lumvara_TessaroAppDelegate> delegate;
    std::vector<std::shared_ptr<fnd::Object>> topLevelObjects;
};

// Everything the program does before its event loop, on the installed backend: the delegate, the main interface
// file ("MainMenu") with the delegate as its owner and its texts from the string table "MainMenu", the main menu, the
// main window on screen and the end of launching (the remembered barcode, the crash-report check). Fails when the
// interface file cannot be loaded.
fnd::Expected<LaunchedApplication> launchApplication();
