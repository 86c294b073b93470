#pragma once

#include "platform/foundation/locale/Locale.h"
#include "platform/foundation/runtime/String.h"

#include <compare>
#include <memory>

struct UCollator;

namespace fnd {

// Orders strings as people of a locale expect ("a" < "B" < "c", accents after their base letter), through ICU
// collation. Comparing is thread-safe.
class Collator {
public:
    enum class Case { Sensitive, Insensitive };

    explicit Collator(const Locale& locale, Case sensitivity = Case::Sensitive);

    std::weak_ordering compare(const String& a, const String& b) const;

private:
    std::shared_ptr<UCollator> m_collator;
};

// Localised comparison in the current locale; case-insensitive still tells accents apart.
std::weak_ordering localizedCompare(const String& a, const String& b);
std::weak_ordering localizedCaseInsensitiveCompare(const String& a, const String& b);

}
