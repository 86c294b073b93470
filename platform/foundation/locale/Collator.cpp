#include "platform/foundation/locale/Collator.h"

#include "platform/foundation/detail/ICU.h"

#include <unicode/ucol.h>

#include <map>
#include <mutex>

namespace fnd {

namespace {

std::shared_ptr<UCollator> openCollator(const Locale& locale, Collator::Case sensitivity)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale.icuName().c_str(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        collator = ucol_open("", &status);
    }
    // Secondary strength ignores case but keeps accents apart; tertiary (the default) sees both.
    if (sensitivity == Collator::Case::Insensitive)
        ucol_setStrength(collator, UCOL_SECONDARY);
    return std::shared_ptr<UCollator>(collator, &ucol_close);
}

// Opening a collator costs far more than a comparison, and sorting compares often: keep one per locale.
const Collator& cachedCollator(Collator::Case sensitivity)
{
    static std::mutex mutex;
    static std::map<std::pair<String, Collator::Case>, Collator> cache;
    Locale locale = Locale::current();
    std::lock_guard lock(mutex);
    auto key = std::make_pair(locale.localeIdentifier(), sensitivity);
    auto found = cache.find(key);
    if (found == cache.end())
        found = cache.emplace(key, Collator(locale, sensitivity)).first;
    return found->second;
}

}

Collator::Collator(const Locale& locale, Case sensitivity)
    : m_collator(openCollator(locale, sensitivity))
{
}

std::weak_ordering Collator::compare(const String& a, const String& b) const
{
    switch (ucol_strcoll(
        m_collator.get(), detail::icuChars(a), detail::icuLength(a), detail::icuChars(b), detail::icuLength(b))) {
    case UCOL_LESS:
        return std::weak_ordering::less;
    case UCOL_GREATER:
        return std::weak_ordering::greater;
    default:
        return std::weak_ordering::equivalent;
    }
}

std::weak_ordering localizedCompare(const String& a, const String& b)
{
    return cachedCollator(Collator::Case::Sensitive).compare(a, b);
}

std::weak_ordering localizedCaseInsensitiveCompare(const String& a, const String& b)
{
    return cachedCollator(Collator::Case::Insensitive).compare(a, b);
}

}
