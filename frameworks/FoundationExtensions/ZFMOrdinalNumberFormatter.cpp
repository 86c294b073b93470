#include "frameworks/FoundationExtensions/ZFMOrdinalNumberFormatter.h"

#include "frameworks/FoundationExtensions/detail/FormatterStrings.h"

#include "platform/foundation/runtime/Scanner.h"

#include <limits>

FND_REGISTER_CLASS(ZFMOrdinalNumberFormatter, fnd::NumberFormatter)

ZFMOrdinalNumberFormatter::ZFMOrdinalNumberFormatter()
{
    setNumberStyle(fnd::NumberFormatterStyle::None);
    setAllowsFloats(false);
    setRoundingMode(fnd::NumberFormatterRoundingMode::Floor);
    setMinimum(0);
    setLenient(true);
}

fnd::String ZFMOrdinalNumberFormatter::stringFromNumber(const fnd::Number& number) const
{
    auto indicator = m_ordinalIndicator ? *m_ordinalIndicator : localizedOrdinalIndicatorStringFromNumber(number);
    // The indicator goes on a copy of the number settings, so formatting leaves this formatter as it is.
    fnd::NumberFormatter formatter(*this);
    formatter.setPositivePrefix({});
    formatter.setPositiveSuffix({});
    if (locale().languageCode() == fnd::String("zh"))
        formatter.setPositivePrefix(indicator);
    else
        formatter.setPositiveSuffix(indicator);
    return formatter.fnd::NumberFormatter::stringFromNumber(number);
}

fnd::String ZFMOrdinalNumberFormatter::localizedOrdinalIndicatorStringFromNumber(const fnd::Number& number) const
{
    const auto language = locale().languageCode().utf8();
    if (language == "en")
        return enOrdinalIndicatorStringFromNumber(number);
    if (language == "fr")
        return frOrdinalIndicatorStringFromNumber(number);
    if (language == "nl")
        return nlOrdinalIndicatorStringFromNumber(number);
    if (language == "it")
        return itOrdinalIndicatorStringFromNumber(number);
    if (language == "pt")
        return ptOrdinalIndicatorStringFromNumber(number);
    if (language == "es")
        return esOrdinalIndicatorStringFromNumber(number);
    if (language == "ga")
        return gaOrdinalIndicatorStringFromNumber(number);
    if (language == "ja")
        return jaOrdinalIndicatorStringFromNumber(number);
    if (language == "zh")
        return zhHansOrdinalIndicatorStringFromNumber(number);
    return ".";
}

fnd::String ZFMOrdinalNumberFormatter::enOrdinalIndicatorStringFromNumber(const fnd::Number& number) const
{
    const auto n = number.integerValue();
    const auto lastTwo = n % 100;
    if (lastTwo >= 11 && lastTwo <= 13)
        return "th";
    switch (n % 10) {
    case 1:
        return "st";
    case 2:
        return "nd";
    case 3:
        return "rd";
    default:
        return "th";
    }
}

fnd::String ZFMOrdinalNumberFormatter::frOrdinalIndicatorStringFromNumber(const fnd::Number& number) const
{
    fnd::String indicator = number.integerValue() == 1 ? (m_gender == Feminine ? "re" : "er") : "e";
    if (m_number == 2 || m_number == 3 || m_number == 4 || m_number == 6)
        indicator += "s";
    return indicator;
}

fnd::String ZFMOrdinalNumberFormatter::nlOrdinalIndicatorStringFromNumber(const fnd::Number&) const
{
    return "e";
}

fnd::String ZFMOrdinalNumberFormatter::genderedIndicator() const
{
    if (m_gender == Masculine)
        return "\u00BA";
    if (m_gender == Feminine)
        return "\u00AA";
    return ".";
}

fnd::String ZFMOrdinalNumberFormatter::itOrdinalIndicatorStringFromNumber(const fnd::Number&) const
{
    return genderedIndicator();
}

fnd::String ZFMOrdinalNumberFormatter::ptOrdinalIndicatorStringFromNumber(const fnd::Number&) const
{
    return genderedIndicator();
}

fnd::String ZFMOrdinalNumberFormatter::esOrdinalIndicatorStringFromNumber(const fnd::Number&) const
{
    return genderedIndicator();
}

fnd::String ZFMOrdinalNumberFormatter::gaOrdinalIndicatorStringFromNumber(const fnd::Number&) const
{
    return "\u00FA";
}

fnd::String ZFMOrdinalNumberFormatter::jaOrdinalIndicatorStringFromNumber(const fnd::Number&) const
{
    return "\u756A";
}

fnd::String ZFMOrdinalNumberFormatter::zhHansOrdinalIndicatorStringFromNumber(const fnd::Number&) const
{
    return "\u7B2C";
}

fnd::String ZFMOrdinalNumberFormatter::deOrdinalIndicatorStringFromNumber(const fnd::Number&) const
{
    return ".";
}

std::optional<fnd::String> ZFMOrdinalNumberFormatter::stringForObjectValue(const fnd::Value& value) const
{
    if (auto* number = value.number())
        return stringFromNumber(*number);
    return std::nullopt;
}

std::expected<fnd::Value, fnd::String> ZFMOrdinalNumberFormatter::getObjectValue(const fnd::String& string) const
{
    fnd::Scanner scanner(string);
    auto value = scanner.scanInteger();
    // The largest value is also what an overflowing scan gives.
    if (!value || *value == std::numeric_limits<std::int64_t>::max())
        return std::unexpected(ZFMFormatterStrings::text("String did not contain a valid ordinal number"));
    return fnd::Value(static_cast<long long>(*value));
}

std::shared_ptr<fnd::Formatter> ZFMOrdinalNumberFormatter::copy() const
{
    return std::make_shared<ZFMOrdinalNumberFormatter>(*this);
}

void ZFMOrdinalNumberFormatter::encodeWithCoder(fnd::Coder& coder) const
{
    fnd::NumberFormatter::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    if (m_ordinalIndicator)
        coder.encodeObject(*m_ordinalIndicator, "ordinalIndicator");
    coder.encodeInt32(m_gender, "grammaticalGender");
    coder.encodeInt32(m_number, "grammaticalNumber");
}

bool ZFMOrdinalNumberFormatter::initWithCoder(fnd::Coder& coder)
{
    if (!fnd::NumberFormatter::initWithCoder(coder))
        return false;
    if (coder.allowsKeyedCoding()) {
        auto indicator = coder.decodeObjectForKey("ordinalIndicator");
        if (auto* text = indicator.string())
            m_ordinalIndicator = *text;
        m_gender = coder.decodeInt32ForKey("grammaticalGender");
        m_number = coder.decodeInt32ForKey("grammaticalNumber");
    }
    return true;
}
