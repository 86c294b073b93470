#pragma once

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/UserDefaults.h"

// The application's texts come from its own string table; its classes live in the main bundle.
inline fnd::String applicationText(const char* key)
{
    return fnd::Bundle::mainBundle()->localizedStringForKey(key, {}, "Localizable");
}

inline fnd::UserDefaults& defaults()
{
    return fnd::UserDefaults::standardUserDefaults();
}
