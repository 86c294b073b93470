#include "frameworks/FoundationExtensions/ZORAppKitSuppressAlertsAndWarnings.h"

namespace ZORAppKitSuppressAlertsAndWarnings {

bool shouldShowAlertWithIdentifier(const fnd::UserDefaults& defaults, const fnd::String& identifier)
{
    auto flags = defaults.dictionaryForKey(DefaultsKey);
    if (!flags)
        return true;
    auto flag = flags->find(identifier);
    return !flag || flag->boolValue();
}

void setShowState(fnd::UserDefaults& defaults, bool show, const fnd::String& identifier)
{
    auto flags = defaults.dictionaryForKey(DefaultsKey).value_or(fnd::Dictionary());
    flags.set(identifier, show);
    defaults.setObject(flags, DefaultsKey);
}

void resetAlertsAndWarnings(fnd::UserDefaults& defaults)
{
    defaults.setObject(fnd::Dictionary(), DefaultsKey);
}

}
