#pragma once

#include "frameworks/FoundationExtensions/ZORMeasurementLib.h"

#include "platform/foundation/locale/NumberFormatter.h"

#include <cstdint>

// Lengths are kept in points and shown in a display unit: the formatter converts points to the unit and appends the
// unit's short name on the way out, and on the way in reads a number with or without a unit suffix (a known suffix
// wins over the display unit) and converts it back to points.
class ZORMeasurementNumberFormatter : public fnd::NumberFormatter {
    FND_OBJECT(ZORMeasurementNumberFormatter)

public:
    // Decimal style, inches, 4 digits after the point, in the current locale.
    ZORMeasurementNumberFormatter();

    ZORMeasurementUnitType showType() const { return m_showType; }
    // A unit beyond the known ones (a stored default of a later version, say) is taken as inches, the default: its
    // lengths would otherwise all show as 0.
    virtual void setShowType(ZORMeasurementUnitType type);
    std::uint32_t numberOfDigitsAfterPoint() const { return m_numberOfDigitsAfterPoint; }
    // At most ZORFormatPattern::MaximumDigitsAfterPoint (15); more are taken as that many.
    void setNumberOfDigitsAfterPoint(std::uint32_t digits);

    // "#0", the decimals, the separator of the framework's table "ZORMeasurementTextField", then the unit's short
    // name; localised separators, no grouping.
    void setNewFormatString();

    // nil gives the empty text; a number or a numeric string is a length in points; other values go to the plain
    // number formatter.
    std::optional<fnd::String> stringForObjectValue(const fnd::Value& value) const override;
    // The empty text gives nil. A length comes back in points, rounded to single precision. Text with no number in
    // it is refused with a sentence naming it, so a typing slip never becomes a length of 0.
    std::expected<fnd::Value, fnd::String> getObjectValue(const fnd::String& string) const override;
    std::shared_ptr<fnd::Formatter> copy() const override;

    // After the base formatter's state, keyed coders only: "showType" and "numberOfDigitsAfterPoint"; decoding
    // rebuilds the format, so unit and suffix always agree. An archive with an unknown unit or more than 15 digits is
    // refused.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    std::expected<fnd::Value, fnd::String> parseLeniently(const fnd::String& string) const;

    ZORMeasurementUnitType m_showType { ZORMeasurementUnit::Inch };
    std::uint32_t m_numberOfDigitsAfterPoint { 4 };
};
