#include "platform/foundation/services/URLRequest.h"

#include <algorithm>

namespace fnd {

FND_REGISTER_CLASS(HTTPURLResponse, Object)

namespace {

bool sameFieldName(const String& a, const String& b)
{
    return std::ranges::equal(a.view(), b.view(), [](char16_t x, char16_t y) {
        auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

}

std::optional<String> HTTPHeaderFields::valueForField(const String& name) const
{
    for (const auto& [field, value] : m_fields) {
        if (sameFieldName(field, name))
            return value;
    }
    return std::nullopt;
}

void HTTPHeaderFields::setValue(const String& value, const String& name)
{
    for (auto& [field, existing] : m_fields) {
        if (sameFieldName(field, name)) {
            existing = value;
            return;
        }
    }
    m_fields.emplace_back(name, value);
}

void HTTPHeaderFields::addValue(const String& value, const String& name)
{
    for (auto& [field, existing] : m_fields) {
        if (sameFieldName(field, name)) {
            existing = existing + ", " + value;
            return;
        }
    }
    m_fields.emplace_back(name, value);
}

void HTTPHeaderFields::remove(const String& name)
{
    std::erase_if(m_fields, [&](const Field& f) { return sameFieldName(f.first, name); });
}

}
