#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/ui/text/TextField.h"

#include <cstdint>
#include <optional>

// A number field with a suffix of its own (percent, degree or per inch), built into the format of the number
// formatter its cell carries. Made in code it has a formatter, shows percent with 4 digits and wraps; made from an
// interface file or an archive it takes the formatter and settings given there and does not wrap. Without a formatter
// changes of show type and digits only store.
class ZORNumberTextField : public ui::TextField {
    FND_OBJECT(ZORNumberTextField)
    static void describeClass(fnd::ClassBuilder<ZORNumberTextField>& c);

public:
    // Values of the show type; any value above 2 shows the per-inch suffix.
    enum ShowNumberType : std::int32_t { None = 0, Percent = 1, Degree = 2, PerInch = 3 };

    ZORNumberTextField() = default;
    static std::shared_ptr<ZORNumberTextField> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;

    std::int32_t showNumberType() const { return m_showType; }
    void setShowNumberType(std::int32_t type);
    std::uint32_t numberOfDigitsAfterPoint() const { return m_numberOfDigitsAfterPoint; }
    // At most ZORFormatPattern::MaximumDigitsAfterPoint (15); more are taken as that many, also from an interface
    // file (where a negative count is 0).
    void setNumberOfDigitsAfterPoint(std::uint32_t digits);
    // "#0", the decimals and the show type's suffix from the framework's table "ZORNumberTextField"; localised
    // separators, no grouping. Nothing without a number formatter.
    void setNewFormatString();
    // A number formatter given to the field (here or by its "formatter" key) takes the field's format, as decoding
    // gives it again.
    void setFormatter(std::shared_ptr<fnd::Formatter> formatter);

    // The cell's formatter's limits (nullopt without a number formatter).
    std::optional<double> maximum() const;
    void setMaximum(std::optional<double> maximum);
    std::optional<double> minimum() const;
    void setMinimum(std::optional<double> minimum);

    fnd::String inspectorClassName() const { return "ZORNumberTextFieldInspector"; }

    // The settings of an interface file are all set by now; the field stops wrapping.
    void awakeFromNib() override;

    // After the text field's data (its cell with the formatter), "showType" and "numberOfDigitsAfterPoint";
    // keyed coders only. Decoding turns wrapping off and refuses more than 15 digits.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    std::int32_t m_showType { Percent };
    std::uint32_t m_numberOfDigitsAfterPoint { 4 };
};
