#pragma once

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/services/Process.h"
#include "platform/foundation/runtime/Value.h"

namespace ZORProcessName {

// The name this process goes by: the main bundle's executable name, else the executable file's name.
inline fnd::String processName()
{
    auto name = fnd::Bundle::mainBundle()->objectForInfoDictionaryKey("CFBundleExecutable");
    return name.string() ? *name.string() : fnd::Process::executablePath().lastPathComponent();
}

}
