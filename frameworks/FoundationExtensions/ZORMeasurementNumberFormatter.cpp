#include "frameworks/FoundationExtensions/ZORMeasurementNumberFormatter.h"

#include <cmath>

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "frameworks/FoundationExtensions/detail/FormatPattern.h"

#include "platform/foundation/archiving/TypedDecoding.h"
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
    m_showType = type <= ZORMeasurementUnit::Last ? type : ZORMeasurementUnit::Last;
    setNewFormatString();
}

void ZORMeasurementNumberFormatter::setNumberOfDigitsAfterPoint(std::uint32_t digits)
{
    m_numberOfDigitsAfterPoint = ZORFormatPattern::clampedDigitsAfterPoint(digits);
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
std::expected<fnd::Value, fnd::String> ZORMeasurementNumberFormatter::parseLeniently(const fnd::String& text) const
{
    // A name in parentheses after the length ("0.363 mm (SC 3)", a size list's entry) is no part of it.
    fnd::String string = text.stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet());
    if (string.hasSuffix(")")) {
        const auto open = string.rangeOfString("(", fnd::StringCompareOptions::Backwards);
        if (open.location != fnd::NotFound && open.location > 0)
            string = string.substringTo(open.location);
    }
    ZORMeasurementUnitType unit = m_showType;
    auto digits = fnd::componentsJoinedByString(
        string.componentsSeparatedByCharactersInSet(fnd::CharacterSet::letterCharacterSet()), "")
                      .stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet());
    // Letters are a unit or nothing this can read: "1e-9" is not 1 of anything, and "abc" is no length at all.
    const bool hasLetters
        = string.rangeOfCharacterFromSet(fnd::CharacterSet::letterCharacterSet()).location != fnd::NotFound;
    const bool knownUnit = ZORMeasurementUnitFromSuffix(string, unit);

    // The whole number or nothing: text after it is never ignored.
    std::optional<double> value;
    if (!hasLetters || knownUnit) {
        auto localised = scanNumber(digits, locale().decimalSeparator());
        auto plain = scanNumber(digits, ".");
        if (localised && localised->readAll)
            value = localised->value;
        else if (plain && plain->readAll)
            value = plain->value;
    }
    if (!value || !std::isfinite(*value))
        return std::unexpected(fnd::stringWithFormat(
            textFieldText("ZORMeasurementTextFieldNotALength", "\u201c%@\u201d is not a length."), text));
    return fnd::Value(ZORMeasurementConvert(unit, ZORMeasurementUnit::Point, *value));
}

std::shared_ptr<fnd::Formatter> ZORMeasurementNumberFormatter::copy() const
{
    return std::make_shared<ZORMeasurementNumberFormatter>(*this);
}

void ZORMeasurementNumberFormatter::encodeWithCoder(fnd::Coder& coder) const
{
    // Decoding makes the format from the settings: the archive holds that format, not one set directly since, so it
    // reads back as it was written.
    auto made = std::static_pointer_cast<ZORMeasurementNumberFormatter>(copy());
    made->setNewFormatString();
    made->NumberFormatter::encodeWithCoder(coder);
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
        const auto unit = fnd::decodeBoundedIntegerForKey(
            coder, "showType", 0, ZORMeasurementUnit::Last, static_cast<std::int64_t>(m_showType));
        if (!ZORFormatPattern::decodeDigitsAfterPoint(coder, m_numberOfDigitsAfterPoint))
            return false;
        m_showType = static_cast<ZORMeasurementUnitType>(unit);
    }
    setNewFormatString();
    return true;
}
