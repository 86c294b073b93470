#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/locale/NumberFormatter.h"

#include <cstdint>

// A number formatter for plain values with a fixed suffix: percent, degree or per inch.
class ZORNumberValueFormatter : public fnd::NumberFormatter {
    FND_OBJECT(ZORNumberValueFormatter)

public:
    // Values of showNumberType; any value above 2 shows the per-inch suffix.
    enum ShowNumberType : std::int32_t { None = 0, Percent = 1, Degree = 2, PerInch = 3 };

    // Percent with 2 digits after the point.
    ZORNumberValueFormatter();

    std::int32_t showNumberType() const { return m_showType; }
    void setShowNumberType(std::int32_t type);
    std::uint32_t numberOfDigitsAfterPoint() const { return m_numberOfDigitsAfterPoint; }
    // At most ZORFormatPattern::MaximumDigitsAfterPoint (15); more are taken as that many.
    void setNumberOfDigitsAfterPoint(std::uint32_t digits);

    // "#0", the decimals, then the suffix of the show type from the framework's table "ZORNumberTextField";
    // localised separators, no grouping.
    void setNewFormatString();

    std::shared_ptr<fnd::Formatter> copy() const override;

    // Keyed coders only: "showType" and "numberOfDigitsAfterPoint"; an archive with more than 15 digits is refused.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    std::int32_t m_showType { Percent };
    std::uint32_t m_numberOfDigitsAfterPoint { 2 };
};
