#include "FoundationExtensions/ZORLanguageLocale.h"

#include "FoundationExtensions/detail/LocaleList.h"

FND_REGISTER_CLASS(ZORLanguageLocale, fnd::Object)

void ZORLanguageLocale::describeClass(fnd::ClassBuilder<ZORLanguageLocale>& c)
{
    c.property("displayName", &ZORLanguageLocale::displayName);
    c.property("localeIdentifier", &ZORLanguageLocale::localeIdentifier, &ZORLanguageLocale::setLocaleIdentifier);
}

std::vector<std::shared_ptr<ZORLanguageLocale>> ZORLanguageLocale::supportedLanguageLocales()
{
    static const auto codes
        = ZORLocaleList::namedCodes(fnd::Locale::availableLocaleIdentifiers(), fnd::LocaleKey::Identifier);
    return ZORLocaleList::entries<ZORLanguageLocale>(codes);
}

std::vector<std::shared_ptr<ZORLanguageLocale>> ZORLanguageLocale::supportedLanguageLocalesSortedByDisplayName()
{
    return ZORLocaleList::sortedByDisplayName(supportedLanguageLocales());
}

fnd::String ZORLanguageLocale::displayName() const
{
    return ZORLocaleList::displayName(fnd::LocaleKey::Identifier, m_localeIdentifier);
}

bool ZORLanguageLocale::isEqual(const fnd::Object& other) const
{
    auto entry = dynamic_cast<const ZORLanguageLocale*>(&other);
    return entry && entry->m_localeIdentifier == m_localeIdentifier;
}

std::weak_ordering ZORLanguageLocale::caseInsensitiveDisplayNameCompare(const ZORLanguageLocale& other) const
{
    return fnd::localizedCaseInsensitiveCompare(displayName(), other.displayName());
}
