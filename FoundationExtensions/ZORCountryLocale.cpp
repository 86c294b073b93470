#include "FoundationExtensions/ZORCountryLocale.h"

#include "FoundationExtensions/detail/LocaleList.h"

FND_REGISTER_CLASS(ZORCountryLocale, fnd::Object)

void ZORCountryLocale::describeClass(fnd::ClassBuilder<ZORCountryLocale>& c)
{
    c.property("displayName", &ZORCountryLocale::displayName);
    c.property("localeIdentifier", &ZORCountryLocale::localeIdentifier, &ZORCountryLocale::setLocalIdentifier);
}

std::vector<std::shared_ptr<ZORCountryLocale>> ZORCountryLocale::supportedCountryLocales()
{
    static const auto codes = ZORLocaleList::namedCodes(fnd::Locale::ISOCountryCodes(), fnd::LocaleKey::CountryCode);
    return ZORLocaleList::entries<ZORCountryLocale>(codes);
}

std::vector<std::shared_ptr<ZORCountryLocale>> ZORCountryLocale::supportedCountryLocalesSortedByDisplayName()
{
    return ZORLocaleList::sortedByDisplayName(supportedCountryLocales());
}

fnd::String ZORCountryLocale::displayName() const
{
    return ZORLocaleList::displayName(fnd::LocaleKey::CountryCode, m_localeIdentifier);
}

bool ZORCountryLocale::isEqual(const fnd::Object& other) const
{
    auto entry = dynamic_cast<const ZORCountryLocale*>(&other);
    return entry && entry->m_localeIdentifier == m_localeIdentifier;
}

std::weak_ordering ZORCountryLocale::caseInsensitiveDisplayNameCompare(const ZORCountryLocale& other) const
{
    return fnd::localizedCaseInsensitiveCompare(displayName(), other.displayName());
}
