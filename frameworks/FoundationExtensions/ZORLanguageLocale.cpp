#include "frameworks/FoundationExtensions/ZORLanguageLocale.h"

FND_REGISTER_CLASS(ZORLanguageLocale, fnd::Object)

void ZORLanguageLocale::describeClass(fnd::ClassBuilder<ZORLanguageLocale>& c)
{
    c.property("displayName", &ZORLanguageLocale::displayName);
    c.property("localeIdentifier", &ZORLanguageLocale::localeIdentifier, &ZORLanguageLocale::setLocaleIdentifier);
}

std::vector<std::shared_ptr<ZORLanguageLocale>> ZORLanguageLocale::supportedLanguageLocales()
{
    static const auto codes = namedCodes(fnd::Locale::availableLocaleIdentifiers());
    return entries(codes);
}

std::vector<std::shared_ptr<ZORLanguageLocale>> ZORLanguageLocale::supportedLanguageLocalesSortedByDisplayName()
{
    return sortedByDisplayName(supportedLanguageLocales());
}
