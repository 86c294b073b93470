#include "platform/foundation/locale/NumberFormatter.h"

#include "platform/foundation/detail/ICU.h"
#include "platform/foundation/detail/PlatformText.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/StringFormat.h"

#include <unicode/uchar.h>
#include <unicode/unum.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>

namespace fnd {

FND_REGISTER_CLASS(NumberFormatter, Formatter)

namespace {

bool isDigitPlaceholder(char16_t c)
{
    return c == u'#' || c == u'@' || (c >= u'0' && c <= u'9');
}
bool isNumberPart(char16_t c)
{
    return isDigitPlaceholder(c) || c == u',' || c == u'.';
}

// Affix text as written: quotes mark text that would otherwise look like digits ("'#'#0"), and '' is a quote.
std::u16string unquoted(std::u16string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\'')
            out += text[i];
        else if (i + 1 < text.size() && text[i + 1] == u'\'')
            out += text[++i];
    }
    return out;
}

// Affix text becomes an ICU literal: quoted, with quotes doubled, so no character of it has a pattern meaning.
std::u16string quoted(std::u16string_view text)
{
    std::u16string plain = unquoted(text);
    if (plain.empty())
        return {};
    std::u16string out = u"'";
    for (char16_t c : plain) {
        out += c;
        if (c == u'\'')
            out += u'\'';
    }
    out += u'\'';
    return out;
}

// One subpattern in ICU syntax: literal prefix, the number part, literal suffix. nullopt without a number part.
std::optional<std::u16string> icuSubpattern(std::u16string_view format)
{
    std::size_t start = 0;
    bool inQuotes = false;
    for (; start < format.size(); ++start) {
        if (format[start] == u'\'')
            inQuotes = !inQuotes;
        else if (!inQuotes && isDigitPlaceholder(format[start]))
            break;
    }
    if (start == format.size())
        return std::nullopt;
    // ".00" has no integer digits but is still a number part.
    if (start > 0 && format[start - 1] == u'.')
        --start;
    std::size_t end = start;
    while (end < format.size() && isNumberPart(format[end]))
        ++end;
    // A grouping comma cannot end a number; it is text ("#0, more").
    while (end > start && format[end - 1] == u',')
        --end;
    return quoted(format.substr(0, start)) + std::u16string(format.substr(start, end - start))
        + quoted(format.substr(end));
}

std::optional<std::u16string> icuPattern(const String& positive, const String& negative)
{
    auto pattern = icuSubpattern(positive.view());
    if (!pattern)
        return std::nullopt;
    if (!negative.isEmpty()) {
        auto negativePattern = icuSubpattern(negative.view());
        if (!negativePattern)
            return std::nullopt;
        *pattern += u';' + *negativePattern;
    }
    return pattern;
}

void closeNumberFormat(UNumberFormat* format)
{
    if (format)
        unum_close(format);
}

// ICU reads a '~' in a prefix or suffix set as text as its approximately sign, which its parser cannot match: parsing
// against such an affix aborts the program. The parser gets a copy of the format whose affixes hold this private-use
// character in the tilde's place, and a text with the same change.
constexpr char16_t TildeStandIn = 0xE07E;

bool isAffixAttribute(int attribute)
{
    return attribute == UNUM_POSITIVE_PREFIX || attribute == UNUM_POSITIVE_SUFFIX || attribute == UNUM_NEGATIVE_PREFIX
        || attribute == UNUM_NEGATIVE_SUFFIX;
}

std::u16string withTildesStoodIn(std::u16string_view text)
{
    std::u16string out(text);
    std::ranges::replace(out, u'~', TildeStandIn);
    return out;
}

struct NumberFormatCloser {
    void operator()(UNumberFormat* format) const { closeNumberFormat(format); }
};

UNumberFormat* openFormat(UNumberFormatStyle style, std::u16string_view pattern, const std::string& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat* format = unum_open(style, reinterpret_cast<const UChar*>(pattern.data()),
        static_cast<int32_t>(pattern.size()), locale.c_str(), nullptr, &status);
    if (U_FAILURE(status)) {
        closeNumberFormat(format);
        return nullptr;
    }
    return format;
}

String trimmedWhiteSpace(const String& s)
{
    auto view = s.view();
    std::size_t start = 0, end = view.size();
    while (start < end && u_isUWhiteSpace(view[start]))
        ++start;
    while (end > start && u_isUWhiteSpace(view[end - 1]))
        --end;
    return String(view.substr(start, end - start));
}

// A decimal string from ICU ("12.5", "-3", "1.2E+20") as the number it stands for: whole values that fit are
// integers, everything else doubles.
std::optional<Number> numberFromDecimal(std::string_view decimal)
{
    if (decimal.find_first_of(".eE") == std::string_view::npos) {
        std::int64_t whole = 0;
        auto [end, error] = std::from_chars(decimal.data(), decimal.data() + decimal.size(), whole);
        if (error == std::errc() && end == decimal.data() + decimal.size())
            return Number(static_cast<long long>(whole));
    }
    double value = 0;
    auto [end, error] = std::from_chars(decimal.data(), decimal.data() + decimal.size(), value);
    if (error != std::errc() || end != decimal.data() + decimal.size() || !std::isfinite(value))
        return std::nullopt;
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0)
        return Number(static_cast<long long>(value));
    return Number(value);
}

}

NumberFormatter::NumberFormatter()
    : m_locale(Locale::current())
{
}

NumberFormatter::NumberFormatter(const NumberFormatter& other)
    : Formatter(other)
    , m_style(other.m_style)
    , m_locale(other.m_locale)
    , m_positiveFormat(other.m_positiveFormat)
    , m_negativeFormat(other.m_negativeFormat)
    , m_localizesFormat(other.m_localizesFormat)
    , m_roundingMode(other.m_roundingMode)
    , m_lenient(other.m_lenient)
    , m_allowsFloats(other.m_allowsFloats)
    , m_minimum(other.m_minimum)
    , m_maximum(other.m_maximum)
    , m_settings(other.m_settings)
{
    // The same settings give the same formatter: a clone of the one already set up, when there is one.
    if (auto* format = static_cast<UNumberFormat*>(other.m_format.load(std::memory_order_acquire))) {
        UErrorCode status = U_ZERO_ERROR;
        UNumberFormat* clone = unum_clone(format, &status);
        if (U_SUCCESS(status))
            m_format.store(clone, std::memory_order_release);
        else
            closeNumberFormat(clone);
    }
}

NumberFormatter& NumberFormatter::operator=(const NumberFormatter& other)
{
    if (this != &other) {
        NumberFormatter copy(other);
        std::swap(m_style, copy.m_style);
        std::swap(m_locale, copy.m_locale);
        std::swap(m_positiveFormat, copy.m_positiveFormat);
        std::swap(m_negativeFormat, copy.m_negativeFormat);
        std::swap(m_localizesFormat, copy.m_localizesFormat);
        std::swap(m_roundingMode, copy.m_roundingMode);
        std::swap(m_lenient, copy.m_lenient);
        std::swap(m_allowsFloats, copy.m_allowsFloats);
        std::swap(m_minimum, copy.m_minimum);
        std::swap(m_maximum, copy.m_maximum);
        std::swap(m_settings, copy.m_settings);
        copy.m_format.store(m_format.exchange(copy.m_format.load()));
    }
    return *this;
}

NumberFormatter::~NumberFormatter()
{
    closeNumberFormat(static_cast<UNumberFormat*>(m_format.load()));
}

std::shared_ptr<Formatter> NumberFormatter::copy() const
{
    return std::make_shared<NumberFormatter>(*this);
}

void NumberFormatter::settingsChanged()
{
    closeNumberFormat(static_cast<UNumberFormat*>(m_format.exchange(nullptr)));
}

void** NumberFormatter::icuFormat() const
{
    if (auto* built = m_format.load(std::memory_order_acquire))
        return built;
    UNumberFormat* format = nullptr;
    if (!m_positiveFormat.isEmpty()) {
        if (auto pattern = icuPattern(m_positiveFormat, m_negativeFormat))
            format = openFormat(UNUM_PATTERN_DECIMAL, *pattern, m_locale.icuName());
    } else if (m_style == NumberFormatterStyle::Decimal) {
        format = openFormat(UNUM_DECIMAL, {}, m_locale.icuName());
    }
    if (!format)
        format = openFormat(UNUM_PATTERN_DECIMAL, u"#0", m_locale.icuName());
    if (!format)
        format = openFormat(UNUM_PATTERN_DECIMAL, u"#0", "");

    unum_setAttribute(format, UNUM_ROUNDING_MODE, static_cast<int32_t>(m_roundingMode));
    unum_setAttribute(format, UNUM_LENIENT_PARSE, m_lenient ? 1 : 0);
    if (!m_localizesFormat) {
        UErrorCode status = U_ZERO_ERROR;
        unum_setSymbol(format, UNUM_DECIMAL_SEPARATOR_SYMBOL, u".", 1, &status);
        unum_setSymbol(format, UNUM_GROUPING_SEPARATOR_SYMBOL, u",", 1, &status);
    }
    for (const Setting& setting : m_settings) {
        auto attribute = setting.attribute;
        switch (setting.kind) {
        case Setting::Kind::Integer:
            unum_setAttribute(
                format, static_cast<UNumberFormatAttribute>(attribute), static_cast<int32_t>(setting.number));
            break;
        case Setting::Kind::Real:
            unum_setDoubleAttribute(format, static_cast<UNumberFormatAttribute>(attribute), setting.number);
            break;
        case Setting::Kind::Text: {
            UErrorCode status = U_ZERO_ERROR;
            unum_setTextAttribute(format, static_cast<UNumberFormatTextAttribute>(attribute),
                detail::icuChars(setting.text), detail::icuLength(setting.text), &status);
            break;
        }
        }
    }
    // Another thread may have set one up meanwhile: the first stays.
    void** expected = nullptr;
    if (!m_format.compare_exchange_strong(expected, format, std::memory_order_acq_rel)) {
        closeNumberFormat(format);
        return expected;
    }
    return format;
}

void NumberFormatter::record(Setting setting)
{
    if (setting.kind != Setting::Kind::Text
        && !(std::isfinite(setting.number) && setting.number >= 0
            && (setting.kind == Setting::Kind::Real || setting.number <= LargestDigitCount)))
        return;
    std::erase_if(
        m_settings, [&](const Setting& s) { return s.kind == setting.kind && s.attribute == setting.attribute; });
    m_settings.push_back(std::move(setting));
    settingsChanged();
}

int NumberFormatter::integerSetting(int attribute) const
{
    return unum_getAttribute(icuFormat(), static_cast<UNumberFormatAttribute>(attribute));
}

String NumberFormatter::textSetting(int attribute) const
{
    return detail::icuString([&](UChar* buffer, int32_t capacity, UErrorCode* status) {
        return unum_getTextAttribute(
            icuFormat(), static_cast<UNumberFormatTextAttribute>(attribute), buffer, capacity, status);
    });
}

void NumberFormatter::setNumberStyle(NumberFormatterStyle style)
{
    // The two styles there are; decoding keeps none other either.
    if (style != NumberFormatterStyle::None && style != NumberFormatterStyle::Decimal)
        return;
    m_style = style;
    m_positiveFormat = {};
    m_negativeFormat = {};
    m_settings.clear();
    settingsChanged();
}

void NumberFormatter::setLocale(const Locale& locale)
{
    if (locale == m_locale)
        return;
    m_locale = locale;
    settingsChanged();
}

String NumberFormatter::format() const
{
    if (m_positiveFormat.isEmpty()) {
        return detail::icuString([&](UChar* buffer, int32_t capacity, UErrorCode* status) {
            return unum_toPattern(icuFormat(), false, buffer, capacity, status);
        });
    }
    return m_negativeFormat.isEmpty() ? m_positiveFormat : m_positiveFormat + ";" + m_negativeFormat;
}

void NumberFormatter::applyFormat(const String& positive, const String& negative)
{
    if (!icuPattern(positive, negative)) {
        // A long format is named by its start and length: a whole one of any size would flood the log.
        constexpr Index Shown = 60;
        const String format = negative.isEmpty() ? positive : positive + ";" + negative;
        if (format.length() <= Shown)
            logf(LogLevel::Warning, "Number format \"{}\" has no number part; the format is unchanged.", format.utf8());
        else
            logf(LogLevel::Warning,
                "Number format \"{}…\" ({} characters) has no number part; the format is unchanged.",
                format.substring(Range { 0, Shown }).utf8(), format.length());
        return;
    }
    m_positiveFormat = positive;
    m_negativeFormat = negative;
    m_settings.clear();
    settingsChanged();
}

void NumberFormatter::setFormat(const String& format)
{
    auto view = format.view();
    std::size_t separator = std::u16string_view::npos;
    bool inQuotes = false;
    for (std::size_t i = 0; i < view.size() && separator == std::u16string_view::npos; ++i) {
        if (view[i] == u'\'')
            inQuotes = !inQuotes;
        else if (view[i] == u';' && !inQuotes)
            separator = i;
    }
    if (separator == std::u16string_view::npos)
        applyFormat(format, {});
    else
        applyFormat(String(view.substr(0, separator)), String(view.substr(separator + 1)));
}

String NumberFormatter::positiveFormat() const
{
    return m_positiveFormat.isEmpty() ? format() : m_positiveFormat;
}
void NumberFormatter::setPositiveFormat(const String& format)
{
    applyFormat(format, m_negativeFormat);
}

String NumberFormatter::negativeFormat() const
{
    return m_negativeFormat.isEmpty() ? "-" + positiveFormat() : m_negativeFormat;
}

void NumberFormatter::setNegativeFormat(const String& format)
{
    applyFormat(positiveFormat(), format);
}

void NumberFormatter::setLocalizesFormat(bool localizes)
{
    if (localizes == m_localizesFormat)
        return;
    m_localizesFormat = localizes;
    settingsChanged();
}

bool NumberFormatter::usesGroupingSeparator() const
{
    return integerSetting(UNUM_GROUPING_USED) != 0;
}
void NumberFormatter::setUsesGroupingSeparator(bool uses)
{
    record({ Setting::Kind::Integer, UNUM_GROUPING_USED, uses ? 1.0 : 0.0, {} });
}

int NumberFormatter::minimumIntegerDigits() const
{
    return integerSetting(UNUM_MIN_INTEGER_DIGITS);
}
void NumberFormatter::setMinimumIntegerDigits(int digits)
{
    record({ Setting::Kind::Integer, UNUM_MIN_INTEGER_DIGITS, static_cast<double>(digits), {} });
}
int NumberFormatter::maximumIntegerDigits() const
{
    return integerSetting(UNUM_MAX_INTEGER_DIGITS);
}
void NumberFormatter::setMaximumIntegerDigits(int digits)
{
    record({ Setting::Kind::Integer, UNUM_MAX_INTEGER_DIGITS, static_cast<double>(digits), {} });
}
int NumberFormatter::minimumFractionDigits() const
{
    return integerSetting(UNUM_MIN_FRACTION_DIGITS);
}
void NumberFormatter::setMinimumFractionDigits(int digits)
{
    record({ Setting::Kind::Integer, UNUM_MIN_FRACTION_DIGITS, static_cast<double>(digits), {} });
}
int NumberFormatter::maximumFractionDigits() const
{
    return integerSetting(UNUM_MAX_FRACTION_DIGITS);
}
void NumberFormatter::setMaximumFractionDigits(int digits)
{
    record({ Setting::Kind::Integer, UNUM_MAX_FRACTION_DIGITS, static_cast<double>(digits), {} });
}

bool NumberFormatter::usesSignificantDigits() const
{
    return integerSetting(UNUM_SIGNIFICANT_DIGITS_USED) != 0;
}
void NumberFormatter::setUsesSignificantDigits(bool uses)
{
    record({ Setting::Kind::Integer, UNUM_SIGNIFICANT_DIGITS_USED, uses ? 1.0 : 0.0, {} });
}
int NumberFormatter::minimumSignificantDigits() const
{
    return integerSetting(UNUM_MIN_SIGNIFICANT_DIGITS);
}
void NumberFormatter::setMinimumSignificantDigits(int digits)
{
    record({ Setting::Kind::Integer, UNUM_MIN_SIGNIFICANT_DIGITS, static_cast<double>(digits), {} });
}
int NumberFormatter::maximumSignificantDigits() const
{
    return integerSetting(UNUM_MAX_SIGNIFICANT_DIGITS);
}
void NumberFormatter::setMaximumSignificantDigits(int digits)
{
    record({ Setting::Kind::Integer, UNUM_MAX_SIGNIFICANT_DIGITS, static_cast<double>(digits), {} });
}

double NumberFormatter::roundingIncrement() const
{
    return unum_getDoubleAttribute(icuFormat(), UNUM_ROUNDING_INCREMENT);
}
void NumberFormatter::setRoundingIncrement(double increment)
{
    record({ Setting::Kind::Real, UNUM_ROUNDING_INCREMENT, increment, {} });
}

void NumberFormatter::setRoundingMode(NumberFormatterRoundingMode mode)
{
    if (static_cast<int>(mode) < 0 || static_cast<int>(mode) > static_cast<int>(NumberFormatterRoundingMode::HalfUp))
        return;
    m_roundingMode = mode;
    // Independent of the other settings: a formatter already set up takes it as it is.
    if (auto* format = static_cast<UNumberFormat*>(m_format.load()))
        unum_setAttribute(format, UNUM_ROUNDING_MODE, static_cast<int32_t>(mode));
}

void NumberFormatter::setLenient(bool lenient)
{
    m_lenient = lenient;
    if (auto* format = static_cast<UNumberFormat*>(m_format.load()))
        unum_setAttribute(format, UNUM_LENIENT_PARSE, lenient ? 1 : 0);
}

String NumberFormatter::positivePrefix() const
{
    return textSetting(UNUM_POSITIVE_PREFIX);
}
void NumberFormatter::setPositivePrefix(const String& prefix)
{
    record({ Setting::Kind::Text, UNUM_POSITIVE_PREFIX, 0, prefix });
}
String NumberFormatter::positiveSuffix() const
{
    return textSetting(UNUM_POSITIVE_SUFFIX);
}
void NumberFormatter::setPositiveSuffix(const String& suffix)
{
    record({ Setting::Kind::Text, UNUM_POSITIVE_SUFFIX, 0, suffix });
}
String NumberFormatter::negativePrefix() const
{
    return textSetting(UNUM_NEGATIVE_PREFIX);
}
void NumberFormatter::setNegativePrefix(const String& prefix)
{
    record({ Setting::Kind::Text, UNUM_NEGATIVE_PREFIX, 0, prefix });
}
String NumberFormatter::negativeSuffix() const
{
    return textSetting(UNUM_NEGATIVE_SUFFIX);
}
void NumberFormatter::setNegativeSuffix(const String& suffix)
{
    record({ Setting::Kind::Text, UNUM_NEGATIVE_SUFFIX, 0, suffix });
}

String NumberFormatter::stringFromNumber(const Number& number) const
{
    // Every kind goes to ICU as decimal digits: a float is written by its own shortest form, so 2.3f floors to
    // 2.3 and not to the 2.2999999523 its double widening holds.
    char digits[64];
    std::to_chars_result written;
    switch (number.kind()) {
    case Number::Kind::Bool:
    case Number::Kind::Integer:
        written = std::to_chars(digits, digits + sizeof digits, number.integerValue());
        break;
    case Number::Kind::Unsigned:
        written = std::to_chars(digits, digits + sizeof digits, number.unsignedValue());
        break;
    case Number::Kind::Float:
        written = std::to_chars(digits, digits + sizeof digits, number.floatValue());
        break;
    case Number::Kind::Double:
    default:
        written = std::to_chars(digits, digits + sizeof digits, number.doubleValue());
        break;
    }
    std::string_view decimal(digits, static_cast<std::size_t>(written.ptr - digits));
    bool finite = decimal.find_first_of("in") == std::string_view::npos; // "inf", "nan"
    return detail::icuString([&](UChar* buffer, int32_t capacity, UErrorCode* status) {
        if (!finite) {
            double value
                = std::isnan(number.doubleValue()) ? std::numeric_limits<double>::quiet_NaN() : number.doubleValue();
            return unum_formatDouble(icuFormat(), value, buffer, capacity, nullptr, status);
        }
        return unum_formatDecimal(
            icuFormat(), decimal.data(), static_cast<int32_t>(decimal.size()), buffer, capacity, nullptr, status);
    });
}

std::optional<String> NumberFormatter::stringForObjectValue(const Value& value) const
{
    if (const Number* number = value.number())
        return stringFromNumber(*number);
    return std::nullopt;
}

std::expected<Value, String> NumberFormatter::getObjectValue(const String& string) const
{
    String text = m_lenient ? trimmedWhiteSpace(string) : string;
    if (text.isEmpty())
        return Value();

    auto failure = [&](const char* text, auto... more) {
        return std::unexpected(stringWithFormat(detail::platformText(text, "Formatters"), string, more...));
    };
    auto invalid = [&] { return failure("“%@” is not a valid number."); };
    UNumberFormat* parser = icuFormat();
    std::unique_ptr<UNumberFormat, NumberFormatCloser> standIn;
    const bool tildes = std::ranges::any_of(m_settings, [](const Setting& setting) {
        return setting.kind == Setting::Kind::Text && isAffixAttribute(setting.attribute)
            && setting.text.view().find(u'~') != std::u16string_view::npos;
    });
    if (tildes) {
        if (text.view().find(TildeStandIn) != std::u16string_view::npos)
            return invalid();
        UErrorCode status = U_ZERO_ERROR;
        standIn.reset(unum_clone(parser, &status));
        if (U_FAILURE(status) || !standIn)
            return invalid();
        for (const Setting& setting : m_settings) {
            if (setting.kind != Setting::Kind::Text || !isAffixAttribute(setting.attribute))
                continue;
            const auto affix = withTildesStoodIn(setting.text.view());
            unum_setTextAttribute(standIn.get(), static_cast<UNumberFormatTextAttribute>(setting.attribute),
                reinterpret_cast<const UChar*>(affix.data()), static_cast<int32_t>(affix.size()), &status);
        }
        parser = standIn.get();
        text = String(withTildesStoodIn(text.view()));
    }
    int32_t position = 0;
    UErrorCode status = U_ZERO_ERROR;
    char decimal[128];
    int32_t length = unum_parseDecimal(
        parser, detail::icuChars(text), detail::icuLength(text), &position, decimal, sizeof decimal, &status);
    if (U_FAILURE(status) || position != text.length() || length <= 0 || length >= static_cast<int32_t>(sizeof decimal))
        return invalid();
    auto number = numberFromDecimal(std::string_view(decimal, static_cast<std::size_t>(length)));
    if (!number)
        return invalid();

    if (!m_allowsFloats && number->isReal())
        return failure("“%@” is not a whole number.");
    double value = number->doubleValue();
    if (m_minimum && value < *m_minimum)
        return failure("“%@” is less than the minimum of %@.", stringFromNumber(*m_minimum));
    if (m_maximum && value > *m_maximum)
        return failure("“%@” is more than the maximum of %@.", stringFromNumber(*m_maximum));
    return Value(*number);
}

std::optional<Number> NumberFormatter::numberFromString(const String& string) const
{
    auto value = getObjectValue(string);
    if (!value || !value->number())
        return std::nullopt;
    return *value->number();
}

}
