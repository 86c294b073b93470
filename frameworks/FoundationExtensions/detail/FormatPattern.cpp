#include "frameworks/FoundationExtensions/detail/FormatPattern.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/locale/NumberFormatter.h"

#include <algorithm>

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

std::uint32_t clampedDigitsAfterPoint(std::int64_t digits)
{
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(digits, 0, MaximumDigitsAfterPoint));
}

bool decodeDigitsAfterPoint(fnd::Coder& coder, std::uint32_t& digits)
{
    digits = static_cast<std::uint32_t>(
        fnd::decodeBoundedIntegerForKey(coder, "numberOfDigitsAfterPoint", 0, MaximumDigitsAfterPoint, digits));
    return !coder.hasFailed();
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

namespace {

fnd::String suffixText(std::int32_t showType)
{
    const char* key = showType == 1 ? "ZORNumberTextFieldPercentChar"
        : showType == 2             ? "ZORNumberTextFieldDegreeChar"
                                    : "ZORNumberTextFieldPDIChar";
    ZORFrameworkBundle::registerClassPrefixes();
    auto bundle = fnd::Bundle::bundleForClass("ZORNumberTextField");
    return bundle ? bundle->localizedStringForKey(key, "", "ZORNumberTextField") : fnd::String();
}

}

void setSuffixedNumberFormat(fnd::NumberFormatter& formatter, std::int32_t showType, unsigned digitsAfterPoint)
{
    auto format = numberPart(digitsAfterPoint);
    if (showType != 0)
        format += literal(suffixText(showType));
    formatter.setFormat(format);
    formatter.setLocalizesFormat(true);
    formatter.setUsesGroupingSeparator(false);
}

}
