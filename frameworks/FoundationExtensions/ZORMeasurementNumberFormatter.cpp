#include "frameworks/FoundationExtensions/ZORMeasurementNumberFormatter.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "frameworks/FoundationExtensions/detail/FormatPattern.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Scanner.h"
#include "platform/foundation/runtime/StringFormat.h"

FND_REGISTER_CLASS(ZORMeasurementNumberFormatter, fnd::NumberFormatter)

namespace {

fnd::String textFieldText(const char* key, const char* fallback = "")
{
    ZORFrameworkBundle::registerClassPrefixes();
    auto bundle = fnd::Bundle::bundleForClass("ZORMeasurementTextField");
    return bundle ? bundle->localizedStringForKey(key, fallback, "ZORMeasurementTextField") : fnd::String(fallback);
}

struct Scanned {
    double value;
    bool readAll;
};

std::optional<Scanned> scanNumber(const fnd::String& text, const fnd::String& decimalSeparator)
{
    fnd::Scanner scanner(text);
    scanner.setDecimalSeparator(decimalSeparator);
    auto value = scanner.scanDouble();
    if (!value)
        return std::nullopt;
    return Scanned { *value, scanner.isAtEnd() };
}

}

ZORMeasurementNumberFormatter::ZORMeasurementNumberFormatter()
{
    setNumberStyle(fnd::NumberFormatterStyle::Decimal);
    setNewFormatString();
}

void ZORMeasurementNumberFormatter::setShowType(ZORMeasurementUnitType type)
{
    m_showType = type;
    setNewFormatString();
}

void ZORMeasurementNumberFormatter::setNumberOfDigitsAfterPoint(std::uint32_t digits)
{
    m_numberOfDigitsAfterPoint = digits;
    setNewFormatString();
}

void ZORMeasurementNumberFormatter::setNewFormatString()
{
    auto suffix
        = textFieldText("ZORMeasurementTextFieldSeparatorChar") + ZORMeasurementUnitShortName(m_showType).value_or("");
    setFormat(ZORFormatPattern::numberPart(m_numberOfDigitsAfterPoint) + ZORFormatPattern::literal(suffix));
    setLocalizesFormat(true);
    setUsesGroupingSeparator(false);
}

std::optional<fnd::String> ZORMeasurementNumberFormatter::stringForObjectValue(const fnd::Value& value) const
{
    if (value.isNil())
        return fnd::String();
    if (!value.isNumber() && !value.isString())
        return NumberFormatter::stringForObjectValue(value);
    const float points = value.floatValue();
    const double shown = points != 0 ? ZORMeasurementConvert(ZORMeasurementUnit::Point, m_showType, points) : 0.0;
    return stringFromNumber(fnd::Number(shown));
}

std::expected<fnd::Value, fnd::String> ZORMeasurementNumberFormatter::getObjectValue(const fnd::String& string) const
{
    if (string.isEmpty())
        return fnd::Value();
    if (auto parsed = NumberFormatter::getObjectValue(string)) {
        if (auto* number = parsed->number())
            return fnd::Value(ZORMeasurementConvert(m_showType, ZORMeasurementUnit::Point, number->doubleValue()));
        return parsed;
    }
    return parseLeniently(string);
}

// What people type besides the exact format: another unit's suffix, no suffix, no space, fewer decimals, or the
// point where the locale has a comma.
std::expected<fnd::Value, fnd::String> ZORMeasurementNumberFormatter::parseLeniently(const fnd::String& string) const
{
    ZORMeasurementUnitType unit = m_showType;
    ZORMeasurementUnitFromSuffix(string, unit);
    auto digits = fnd::componentsJoinedByString(
        string.componentsSeparatedByCharactersInSet(fnd::CharacterSet::letterCharacterSet()), "");

    auto localised = scanNumber(digits, locale().decimalSeparator());
    auto plain = scanNumber(digits, ".");
    std::optional<double> value;
    if (localised && localised->readAll)
        value = localised->value;
    else if (plain && plain->readAll)
        value = plain->value;
    else if (localised)
        value = localised->value;
    else if (plain)
        value = plain->value;
    if (!value)
        return std::unexpected(fnd::stringWithFormat(
            textFieldText("ZORMeasurementTextFieldNotALength", "\u201c%@\u201d is not a length."), string));
    return fnd::Value(ZORMeasurementConvert(unit, ZORMeasurementUnit::Point, *value));
}

std::shared_ptr<fnd::Formatter> ZORMeasurementNumberFormatter::copy() const
{
    return std::make_shared<ZORMeasurementNumberFormatter>(*this);
}

void ZORMeasurementNumberFormatter::encodeWithCoder(fnd::Coder& coder) const
{
    NumberFormatter::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt64(static_cast<std::int64_t>(m_showType), "showType");
    coder.encodeInt64(m_numberOfDigitsAfterPoint, "numberOfDigitsAfterPoint");
}

bool ZORMeasurementNumberFormatter::initWithCoder(fnd::Coder& coder)
{
    if (!NumberFormatter::initWithCoder(coder))
        return false;
    if (coder.allowsKeyedCoding()) {
        if (coder.containsValueForKey("showType"))
            m_showType = static_cast<ZORMeasurementUnitType>(coder.decodeInt64ForKey("showType"));
        if (coder.containsValueForKey("numberOfDigitsAfterPoint"))
            m_numberOfDigitsAfterPoint
                = static_cast<std::uint32_t>(coder.decodeInt64ForKey("numberOfDigitsAfterPoint"));
    }
    setNewFormatString();
    return true;
}
