#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/String.h"

#include <functional>
#include <optional>

// Desktop services of the running application: the relaunch question, e-mail through the user's mail program and
// the login item.
//
// There is no Dock here: showing the icon only brings the application to the front, and hiding it asks to relaunch
// (as the change would need) without changing anything else.
namespace ZORNSWorkspaceExtension {

// true: activates the application. false: asks whether to relaunch now (texts of the main bundle's table
// "ZORLocalizable"); on "relaunch now" a new instance of the running executable is started with this process's
// arguments and the application terminates.
void setShowsDockIcon(bool show);

// Hands a message to the user's mail program through xdg-email, each text as an argument of its own (never through
// a shell); a missing or empty subject or body is left out. true when the mail program took it.
bool emailTo(const std::optional<fnd::String>& recipient, const std::optional<fnd::String>& subject,
    const std::optional<fnd::String>& body, const fnd::StringArray& attachments);

// Login items are XDG autostart entries ($XDG_CONFIG_HOME/autostart/<bundle identifier>.desktop) that run the
// running executable.
bool isAppRegisteredAsLoginItem();
bool addAppAsLoginItem();
// Removes every autostart entry of the user that runs this executable.
bool removeAppFromLoginItem();

// The arguments a relaunch starts: the running executable, then the arguments this process got.
fnd::StringArray relaunchArguments();

// Tests replace the mail program and the relaunch so that nothing leaves the test. Each setter returns the
// previous value; an empty program or a null launcher restores the real one.
fnd::String setEmailProgram(const fnd::String& program);
using Launcher = std::function<fnd::Expected<void>(const fnd::StringArray& arguments)>;
Launcher setRelaunchLauncher(Launcher launcher);

}
