#pragma once

#include "platform/foundation/files/UserDefaults.h"

// Alerts the person may switch off ("do not show again"), kept as one dictionary from alert identifier to show flag
// under the defaults key "TBQAppKitSuppressedAlertsIdentifierDictionary".
namespace ZORAppKitSuppressAlertsAndWarnings {

inline const fnd::String DefaultsKey = "TBQAppKitSuppressedAlertsIdentifierDictionary";

// True unless the identifier's flag is stored and false.
bool shouldShowAlertWithIdentifier(const fnd::UserDefaults& defaults, const fnd::String& identifier);
void setShowState(fnd::UserDefaults& defaults, bool show, const fnd::String& identifier);
// Every alert shows again.
void resetAlertsAndWarnings(fnd::UserDefaults& defaults);

}
