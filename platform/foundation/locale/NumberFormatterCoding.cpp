#include "platform/foundation/locale/NumberFormatter.h"

#include <unicode/unum.h>

#include <array>
#include <cmath>

namespace fnd {

namespace {

struct SettingName {
    const char* name;
    int attribute;
    bool text;
};

// The archive names of the settings that refine a format; ICU's attribute numbers never reach an archive.
constexpr std::array<SettingName, 13> settingNames { {
    { "usesGroupingSeparator", UNUM_GROUPING_USED, false },
    { "minimumIntegerDigits", UNUM_MIN_INTEGER_DIGITS, false },
    { "maximumIntegerDigits", UNUM_MAX_INTEGER_DIGITS, false },
    { "minimumFractionDigits", UNUM_MIN_FRACTION_DIGITS, false },
    { "maximumFractionDigits", UNUM_MAX_FRACTION_DIGITS, false },
    { "usesSignificantDigits", UNUM_SIGNIFICANT_DIGITS_USED, false },
    { "minimumSignificantDigits", UNUM_MIN_SIGNIFICANT_DIGITS, false },
    { "maximumSignificantDigits", UNUM_MAX_SIGNIFICANT_DIGITS, false },
    { "roundingIncrement", UNUM_ROUNDING_INCREMENT, false },
    { "positivePrefix", UNUM_POSITIVE_PREFIX, true },
    { "positiveSuffix", UNUM_POSITIVE_SUFFIX, true },
    { "negativePrefix", UNUM_NEGATIVE_PREFIX, true },
    { "negativeSuffix", UNUM_NEGATIVE_SUFFIX, true },
} };

}

void NumberFormatter::encodeWithCoder(Coder& coder) const
{
    Array settings;
    for (const Setting& setting : m_settings) {
        for (const SettingName& name : settingNames) {
            if (name.attribute != setting.attribute || name.text != (setting.kind == Setting::Kind::Text))
                continue;
            Value value = setting.kind == Setting::Kind::Text ? Value(setting.text) : Value(setting.number);
            settings.emplace_back(Dictionary { { name.name, value } });
        }
    }
    Dictionary state {
        { "numberStyle", static_cast<int>(m_style) },
        { "locale", m_locale.localeIdentifier() },
        { "localizesFormat", m_localizesFormat },
        { "roundingMode", static_cast<int>(m_roundingMode) },
        { "lenient", m_lenient },
        { "allowsFloats", m_allowsFloats },
    };
    state.set("settings", std::move(settings));
    if (!m_positiveFormat.isEmpty())
        state.set("positiveFormat", m_positiveFormat);
    if (!m_negativeFormat.isEmpty())
        state.set("negativeFormat", m_negativeFormat);
    if (m_minimum)
        state.set("minimum", *m_minimum);
    if (m_maximum)
        state.set("maximum", *m_maximum);

    if (!coder.allowsKeyedCoding()) {
        coder.encodeObject(state);
        return;
    }
    for (const auto& [key, value] : state) {
        if (const Number* number = value.number(); number && number->kind() == Number::Kind::Bool)
            coder.encodeBool(number->boolValue(), key);
        else if (number && number->kind() == Number::Kind::Integer)
            coder.encodeInt32(static_cast<std::int32_t>(number->integerValue()), key);
        else
            coder.encodeObject(value, key);
    }
}

bool NumberFormatter::initWithCoder(Coder& coder)
{
    Dictionary state;
    if (coder.allowsKeyedCoding()) {
        for (const char* key : { "locale", "positiveFormat", "negativeFormat", "minimum", "maximum", "settings" }) {
            if (coder.containsValueForKey(key))
                state.set(key, coder.decodeObjectForKey(key));
        }
        state.set("numberStyle", coder.decodeInt32ForKey("numberStyle"));
        state.set("roundingMode", coder.decodeInt32ForKey("roundingMode"));
        for (const char* key : { "localizesFormat", "lenient", "allowsFloats" }) {
            if (coder.containsValueForKey(key))
                state.set(key, coder.decodeBoolForKey(key));
        }
    } else {
        Value decoded = coder.decodeObject();
        if (const Dictionary* dictionary = decoded.dictionary())
            state = *dictionary;
    }

    // Pointers into the state itself (get() answers a copy).
    auto numberAt = [&](const char* key) -> const Number* {
        const Value* value = state.find(key);
        return value ? value->number() : nullptr;
    };
    auto stringAt = [&](const char* key) -> const String* {
        const Value* value = state.find(key);
        return value ? value->string() : nullptr;
    };
    auto integer = [&](const char* key, std::int64_t low, std::int64_t high, std::int64_t fallback) {
        const Number* number = numberAt(key);
        std::int64_t value = number ? number->integerValue() : fallback;
        return value >= low && value <= high ? value : fallback;
    };
    auto flag = [&](const char* key, bool fallback) {
        const Number* number = numberAt(key);
        return number ? number->boolValue() : fallback;
    };
    auto bound = [&](const char* key) -> std::optional<double> {
        const Number* number = numberAt(key);
        if (!number || !std::isfinite(number->doubleValue()))
            return std::nullopt;
        return number->doubleValue();
    };

    m_style = static_cast<NumberFormatterStyle>(integer("numberStyle", 0, 1, 0));
    if (const String* identifier = stringAt("locale"))
        m_locale = Locale(*identifier);
    m_positiveFormat = {};
    m_negativeFormat = {};
    m_settings.clear();
    if (const String* positive = stringAt("positiveFormat")) {
        const String* negative = stringAt("negativeFormat");
        applyFormat(*positive, negative ? *negative : String());
    }
    m_localizesFormat = flag("localizesFormat", true);
    m_roundingMode = static_cast<NumberFormatterRoundingMode>(integer("roundingMode", 0, 6, 4));
    m_lenient = flag("lenient", false);
    m_allowsFloats = flag("allowsFloats", true);
    m_minimum = bound("minimum");
    m_maximum = bound("maximum");

    // Settings whose name or value does not fit are left out: a damaged entry must not break the formatter.
    const Value* settingsValue = state.find("settings");
    if (const Array* settings = settingsValue ? settingsValue->array() : nullptr) {
        for (const Value& entry : *settings) {
            const Dictionary* pair = entry.dictionary();
            if (!pair || pair->count() != 1)
                continue;
            const auto& [key, value] = *pair->begin();
            for (const SettingName& name : settingNames) {
                if (key != String(name.name))
                    continue;
                if (name.text) {
                    if (const String* text = value.string())
                        m_settings.push_back({ Setting::Kind::Text, name.attribute, 0, *text });
                } else if (const Number* number = value.number()) {
                    double amount = number->doubleValue();
                    bool increment = name.attribute == UNUM_ROUNDING_INCREMENT;
                    if (std::isfinite(amount) && amount >= 0 && (increment || amount <= LargestDigitCount))
                        m_settings.push_back(
                            { increment ? Setting::Kind::Real : Setting::Kind::Integer, name.attribute, amount, {} });
                }
            }
        }
    }
    settingsChanged();
    return true;
}

}
