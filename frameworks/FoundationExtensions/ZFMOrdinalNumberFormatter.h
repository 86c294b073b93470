#pragma once

#include "platform/foundation/locale/NumberFormatter.h"

#include <cstdint>
#include <optional>

// Whole numbers as ordinals: "1st", "2e", "3º", "4番", "第5", by the language of the formatter's locale.
class ZFMOrdinalNumberFormatter : public fnd::NumberFormatter {
    FND_OBJECT(ZFMOrdinalNumberFormatter)

public:
    enum GrammaticalGender : std::int32_t { Neuter = 0, Masculine = 1, Feminine = 2 };

    // No style, whole numbers only, rounded down, at least 0, lenient parsing.
    ZFMOrdinalNumberFormatter();

    // Used instead of the language's indicator when set.
    const std::optional<fnd::String>& ordinalIndicator() const { return m_ordinalIndicator; }
    void setOrdinalIndicator(std::optional<fnd::String> indicator) { m_ordinalIndicator = std::move(indicator); }
    std::int32_t grammaticalGender() const { return m_gender; }
    void setGrammaticalGender(std::int32_t gender) { m_gender = gender; }
    // 2, 3, 4 and 6 ask for the plural indicator in French.
    std::int32_t grammaticalNumber() const { return m_number; }
    void setGrammaticalNumber(std::int32_t number) { m_number = number; }

    // The number with its indicator: before it in Chinese, after it otherwise.
    fnd::String stringFromNumber(const fnd::Number& number) const;
    fnd::String localizedOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String enOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String frOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String nlOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String itOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String ptOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String esOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String gaOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String jaOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String zhHansOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;
    fnd::String deOrdinalIndicatorStringFromNumber(const fnd::Number& number) const;

    std::optional<fnd::String> stringForObjectValue(const fnd::Value& value) const override;
    // The leading whole number of the text; without one, the reason.
    std::expected<fnd::Value, fnd::String> getObjectValue(const fnd::String& string) const override;
    std::shared_ptr<fnd::Formatter> copy() const override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    // The Romance languages' indicator: º masculine, ª feminine, "." otherwise.
    fnd::String genderedIndicator() const;

    std::optional<fnd::String> m_ordinalIndicator;
    std::int32_t m_gender { Neuter };
    std::int32_t m_number { 0 };
};
