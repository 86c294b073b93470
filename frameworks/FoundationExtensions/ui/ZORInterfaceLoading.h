#pragma once

#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/interface/InterfaceFile.h"

// Loading the services' windows from interface files in the framework's bundle.
namespace ZORInterfaceLoading {

inline const fnd::String ViewInitializationFailed = "View initialization failed";

// The interface file "<name>" of the bundle of the owner's class, loaded with the owner as file's owner, its texts
// looked up as keys in the string table of that bundle.
fnd::Expected<ui::InterfaceFile::Contents> load(
    const fnd::String& name, const std::shared_ptr<fnd::Object>& owner, const fnd::String& table);

// Like load, but a failure is logged and raises "View initialization failed" with the reason, as a dialog that
// cannot work without its views does.
void loadOrRaise(const fnd::String& name, const std::shared_ptr<fnd::Object>& owner, const fnd::String& table,
    const fnd::String& reason);

}
