#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/locale/Formatter.h"
#include "platform/foundation/locale/Locale.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace fnd {

// The platform's numbers for these settings, as stored archives hold them.
enum class NumberFormatterStyle { None = 0, Decimal = 1 };
enum class NumberFormatterRoundingMode {
    Ceiling = 0,
    Floor = 1,
    Down = 2,
    Up = 3,
    HalfEven = 4,
    HalfDown = 5,
    HalfUp = 6
};

// Numbers to text and back in a locale, over ICU.
//
// A format is "positive" or "positive;negative". Its number part is written with '#', '0', '@', ',' and '.', where
// '.' and ',' stand for the locale's decimal and grouping separators ("#0.0000" shows 1,5000 in German). Text
// before and after the number part is literal: "#0.0000 mm" and "#0 %" append " mm" and " %" (a '%' does not
// scale the value). Quotes mark text that would look like digits ("'#'#0" shows #7); '' is a quote.
//
// Settings apply in the order they are made: a format or a style replaces the digit, grouping, rounding-increment
// and affix settings made before it, and later settings refine it.
//
// Archives hold the settings themselves (style, locale identifier, formats, flags, bounds and the later settings in
// their order), so a decoded formatter formats as the encoded one did.
class NumberFormatter : public Formatter, public Coding {
    FND_OBJECT(NumberFormatter)

public:
    // Style none ("#0") in the current locale.
    NumberFormatter();
    NumberFormatter(const NumberFormatter& other);
    NumberFormatter& operator=(const NumberFormatter& other);
    ~NumberFormatter() override;

    NumberFormatterStyle numberStyle() const { return m_style; }
    void setNumberStyle(NumberFormatterStyle style);

    const Locale& locale() const { return m_locale; }
    void setLocale(const Locale& locale);

    // The format set, or the pattern of the style when none was set.
    String format() const;
    // An unreadable format (no number part) is logged and leaves the formatter unchanged.
    void setFormat(const String& format);
    String positiveFormat() const;
    void setPositiveFormat(const String& format);
    String negativeFormat() const;
    void setNegativeFormat(const String& format);

    // On (the default): the locale's separators. Off: "." and "," whatever the locale.
    bool localizesFormat() const { return m_localizesFormat; }
    void setLocalizesFormat(bool localizes);

    bool usesGroupingSeparator() const;
    void setUsesGroupingSeparator(bool uses);

    // Digit counts are from 0 to LargestDigitCount, the rounding increment finite and not negative: a setter ignores
    // any other number, as a decoder leaves it out.
    static constexpr double LargestDigitCount = 1000;
    int minimumIntegerDigits() const;
    void setMinimumIntegerDigits(int digits);
    int maximumIntegerDigits() const;
    void setMaximumIntegerDigits(int digits);
    int minimumFractionDigits() const;
    void setMinimumFractionDigits(int digits);
    int maximumFractionDigits() const;
    void setMaximumFractionDigits(int digits);

    bool usesSignificantDigits() const;
    void setUsesSignificantDigits(bool uses);
    int minimumSignificantDigits() const;
    void setMinimumSignificantDigits(int digits);
    int maximumSignificantDigits() const;
    void setMaximumSignificantDigits(int digits);

    // 0 means no increment.
    double roundingIncrement() const;
    void setRoundingIncrement(double increment);
    NumberFormatterRoundingMode roundingMode() const { return m_roundingMode; }
    void setRoundingMode(NumberFormatterRoundingMode mode);

    String positivePrefix() const;
    void setPositivePrefix(const String& prefix);
    String positiveSuffix() const;
    void setPositiveSuffix(const String& suffix);
    String negativePrefix() const;
    void setNegativePrefix(const String& prefix);
    String negativeSuffix() const;
    void setNegativeSuffix(const String& suffix);

    // Parsing only: whether text may hold a fractional value, and the range a parsed value must lie in.
    bool allowsFloats() const { return m_allowsFloats; }
    void setAllowsFloats(bool allows) { m_allowsFloats = allows; }
    std::optional<double> minimum() const { return m_minimum; }
    // A bound that is not finite is no bound (nullopt), as decoding reads it.
    void setMinimum(std::optional<double> minimum) { m_minimum = finiteBound(minimum); }
    std::optional<double> maximum() const { return m_maximum; }
    void setMaximum(std::optional<double> maximum) { m_maximum = finiteBound(maximum); }

    // Lenient parsing ignores surrounding white space, accepts a missing prefix or suffix and looser separators.
    bool isLenient() const { return m_lenient; }
    void setLenient(bool lenient);

    String stringFromNumber(const Number& number) const;
    // nullopt when the text is not a number of this format (or is empty).
    std::optional<Number> numberFromString(const String& string) const;

    // Numbers only; other values have no text.
    std::optional<String> stringForObjectValue(const Value& value) const override;
    // The empty text gives nil. Whole values come back as integers, others as doubles.
    std::expected<Value, String> getObjectValue(const String& string) const override;
    std::shared_ptr<Formatter> copy() const override;

    void encodeWithCoder(Coder& coder) const override;
    bool initWithCoder(Coder& coder) override;

private:
    // Settings made after the last format or style, replayed in order over it when the formatter is set up.
    static std::optional<double> finiteBound(std::optional<double> bound)
    {
        return bound && std::isfinite(*bound) ? bound : std::nullopt;
    }

    struct Setting {
        enum class Kind { Integer, Real, Text } kind;
        int attribute;
        double number;
        String text;
    };

    // The settings changed: the ICU formatter is set up again when next needed, so a run of settings (a decoder's,
    // a copy's refinements) sets it up once.
    void settingsChanged();
    // The ICU formatter for the current settings (a UNumberFormat*), set up on first use.
    void** icuFormat() const;
    void applyFormat(const String& positive, const String& negative);
    void record(Setting setting);
    int integerSetting(int attribute) const;
    String textSetting(int attribute) const;

    NumberFormatterStyle m_style { NumberFormatterStyle::None };
    Locale m_locale;
    String m_positiveFormat;
    String m_negativeFormat;
    bool m_localizesFormat { true };
    NumberFormatterRoundingMode m_roundingMode { NumberFormatterRoundingMode::HalfEven };
    bool m_lenient { false };
    bool m_allowsFloats { true };
    std::optional<double> m_minimum;
    std::optional<double> m_maximum;
    std::vector<Setting> m_settings;

    // ICU's UNumberFormat* (a void**), kept out of this header; null until first needed after a change. Set once
    // by whichever const call needs it first, on any thread.
    mutable std::atomic<void**> m_format { nullptr };
};

}
