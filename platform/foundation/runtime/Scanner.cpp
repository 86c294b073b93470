#include "platform/foundation/runtime/Scanner.h"

#include "platform/foundation/detail/StringDetail.h"

namespace fnd {

Scanner::Scanner(String text)
    : m_text(std::move(text))
{
}

void Scanner::setScanLocation(Index location)
{
    detail::checkRange({ location, 0 }, m_text.length());
    m_location = location;
}

std::size_t Scanner::skip() const
{
    auto text = m_text.view();
    auto at = static_cast<std::size_t>(m_location);
    std::size_t count;
    while (at < text.size() && m_skipped.longCharacterIsMember(detail::codePointAt(text, at, count)))
        at += count;
    return at;
}

bool Scanner::isAtEnd() const
{
    return skip() == m_text.view().size();
}

std::optional<std::int64_t> Scanner::scanInteger()
{
    auto scanned = detail::scanInteger(m_text.view(), skip());
    if (!scanned)
        return std::nullopt;
    m_location = static_cast<Index>(scanned->end);
    return scanned->value;
}

std::optional<double> Scanner::scanDouble()
{
    auto scanned = detail::scanDecimal(m_text.view(), skip(), m_decimalSeparator.view());
    if (!scanned)
        return std::nullopt;
    m_location = static_cast<Index>(scanned->end);
    return scanned->value;
}

std::optional<float> Scanner::scanFloat()
{
    auto d = scanDouble();
    if (!d)
        return std::nullopt;
    return static_cast<float>(*d);
}

}
