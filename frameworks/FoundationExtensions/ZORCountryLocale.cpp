#include "frameworks/FoundationExtensions/ZORCountryLocale.h"

FND_REGISTER_CLASS(ZORCountryLocale, fnd::Object)

void ZORCountryLocale::describeClass(fnd::ClassBuilder<ZORCountryLocale>& c)
{
    c.property("displayName", &ZORCountryLocale::displayName);
    c.property("localeIdentifier", &ZORCountryLocale::localeIdentifier, &ZORCountryLocale::setLocalIdentifier);
}

std::vector<std::shared_ptr<ZORCountryLocale>> ZORCountryLocale::supportedCountryLocales()
{
    static const auto codes = namedCodes(fnd::Locale::ISOCountryCodes());
    return entries(codes);
}

std::vector<std::shared_ptr<ZORCountryLocale>> ZORCountryLocale::supportedCountryLocalesSortedByDisplayName()
{
    return sortedByDisplayName(supportedCountryLocales());
}
