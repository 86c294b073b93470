#include "FoundationExtensions/detail/FormatPattern.h"

namespace ZORFormatPattern {

fnd::String literal(const fnd::String& text)
{
    constexpr std::u16string_view special = u"#0123456789@,.;'";
    if (text.view().find_first_of(special) == std::u16string_view::npos)
        return text;
    std::u16string quoted = u"'";
    for (char16_t unit : text.view()) {
        quoted += unit;
        if (unit == u'\'')
            quoted += unit;
    }
    quoted += u'\'';
    return fnd::String(std::move(quoted));
}

fnd::String numberPart(unsigned digitsAfterPoint)
{
    std::u16string part = u"#0";
    if (digitsAfterPoint > 0) {
        part += u'.';
        part.append(digitsAfterPoint, u'0');
    }
    return fnd::String(std::move(part));
}

}
