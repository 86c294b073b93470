#include "frameworks/FoundationExtensions/ZFMUnitOfInformationFormatter.h"

#include "frameworks/FoundationExtensions/detail/FormatterStrings.h"

#include <array>
#include <cmath>

FND_REGISTER_CLASS(ZFMUnitOfInformationFormatter, fnd::Formatter)

namespace {

constexpr std::array<std::int64_t, 5> BitsPerUnit = { 1, 4, 8, 16, 32 };

// Unit words by prefix: bytes SI, bytes IEC, bits SI, bits IEC.
struct PrefixWords {
    const char* bytesSI;
    const char* bytesIEC;
    const char* bitsSI;
    const char* bitsIEC;
};
constexpr std::array<PrefixWords, 6> Words = {
    PrefixWords { "KB", "KiB", "kbit", "Kibit" },
    PrefixWords { "MB", "MiB", "Mbit", "Mibit" },
    PrefixWords { "GB", "GiB", "Gbit", "Gibit" },
    PrefixWords { "TB", "TiB", "Tbit", "Tibit" },
    PrefixWords { "PB", "PiB", "Pbit", "Pibit" },
    PrefixWords { "EB", "EiB", "Ebit", "Eibit" },
};

std::shared_ptr<fnd::NumberFormatter> defaultByteCountNumberFormatter()
{
    auto formatter = std::make_shared<fnd::NumberFormatter>();
    formatter->setNumberStyle(fnd::NumberFormatterStyle::Decimal);
    formatter->setRoundingIncrement(0.01);
    return formatter;
}

}

ZFMUnitOfInformationFormatter::ZFMUnitOfInformationFormatter()
    : m_numberFormatter(defaultByteCountNumberFormatter())
{
}

ZFMUnitOfInformationFormatter::ZFMUnitOfInformationFormatter(const ZFMUnitOfInformationFormatter& other)
    : fnd::Formatter(other)
    , fnd::Coding(other)
    , m_numberFormatter(std::make_shared<fnd::NumberFormatter>(*other.m_numberFormatter))
    , m_displaysBytes(other.m_displaysBytes)
    , m_iecCalculation(other.m_iecCalculation)
    , m_iecDisplay(other.m_iecDisplay)
{
}

fnd::String ZFMUnitOfInformationFormatter::stringFromNumberOfBits(const fnd::Number& bits) const
{
    double value = bits.doubleValue();
    if (m_displaysBytes)
        value *= 0.125;
    fnd::String unit;
    // Written so that NaN, which compares false with everything, is shown unscaled.
    if (!(value >= *scaleFactorForPrefix(Kilo))) {
        unit = ZFMFormatterStrings::text(m_displaysBytes ? "bytes" : "bits");
    } else {
        // The prefix follows the bit count even when bytes are shown (2 × 10⁹ bits are 0.25 GB). The integer value
        // is clamped, so huge and infinite counts take the largest prefix.
        const int prefix = prefixForInteger(static_cast<std::uint64_t>(bits.integerValue()));
        value /= *scaleFactorForPrefix(prefix);
        const auto& words = Words[static_cast<std::size_t>(prefix)];
        unit = ZFMFormatterStrings::text(m_displaysBytes ? (m_iecDisplay ? words.bytesIEC : words.bytesSI)
                                                         : (m_iecDisplay ? words.bitsIEC : words.bitsSI));
    }
    return ZFMFormatterStrings::fill(ZFMFormatterStrings::text("Unit of Information Format String", "%@ %@"),
        { m_numberFormatter->stringFromNumber(value), unit });
}

std::optional<fnd::String> ZFMUnitOfInformationFormatter::stringFromNumber(const fnd::Number& number, int ofUnit) const
{
    if (ofUnit < Bit || ofUnit > DoubleWord)
        return std::nullopt;
    const auto count = number.integerValue();
    const auto size = BitsPerUnit[static_cast<std::size_t>(ofUnit)];
    std::int64_t bits = 0;
    // Past the integers, the count goes on as a real number rather than wrapping around.
    if (__builtin_mul_overflow(count, size, &bits))
        return stringFromNumberOfBits(fnd::Number(static_cast<double>(count) * static_cast<double>(size)));
    return stringFromNumberOfBits(fnd::Number(bits));
}

std::optional<fnd::String> ZFMUnitOfInformationFormatter::stringFromNumber(
    const fnd::Number& number, int ofUnit, int withPrefix) const
{
    auto factor = scaleFactorForPrefix(withPrefix);
    if (!factor)
        return std::nullopt;
    return stringFromNumber(fnd::Number(static_cast<double>(number.integerValue()) * *factor), ofUnit);
}

std::optional<double> ZFMUnitOfInformationFormatter::scaleFactorForPrefix(int prefix) const
{
    if (prefix < Kilo || prefix > Exa)
        return std::nullopt;
    return std::pow(m_iecCalculation ? 1024.0 : 1000.0, prefix + 1);
}

int ZFMUnitOfInformationFormatter::prefixForInteger(std::uint64_t value) const
{
    for (int prefix = Exa; prefix > Kilo; --prefix) {
        if (static_cast<double>(value) > *scaleFactorForPrefix(prefix))
            return prefix;
    }
    return Kilo;
}

std::optional<fnd::String> ZFMUnitOfInformationFormatter::stringForObjectValue(const fnd::Value& value) const
{
    if (auto* number = value.number())
        return stringFromNumberOfBits(*number);
    return std::nullopt;
}

std::expected<fnd::Value, fnd::String> ZFMUnitOfInformationFormatter::getObjectValue(const fnd::String&) const
{
    return std::unexpected(ZFMFormatterStrings::methodNotImplemented());
}

std::shared_ptr<fnd::Formatter> ZFMUnitOfInformationFormatter::copy() const
{
    return std::make_shared<ZFMUnitOfInformationFormatter>(*this);
}

void ZFMUnitOfInformationFormatter::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(m_numberFormatter, "numberFormatter");
    coder.encodeBool(m_displaysBytes, "displaysInTermsOfBytes");
    coder.encodeBool(m_iecCalculation, "usesIECBinaryPrefixesForCalculation");
    coder.encodeBool(m_iecDisplay, "usesIECBinaryPrefixesForDisplay");
}

bool ZFMUnitOfInformationFormatter::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    if (auto formatter = coder.decodeObjectForKey("numberFormatter").objectAs<fnd::NumberFormatter>())
        m_numberFormatter = formatter;
    // Settings the archive lacks keep their defaults.
    auto flag = [&](const char* key, bool& into) {
        if (coder.containsValueForKey(key))
            into = coder.decodeBoolForKey(key);
    };
    flag("displaysInTermsOfBytes", m_displaysBytes);
    flag("usesIECBinaryPrefixesForCalculation", m_iecCalculation);
    flag("usesIECBinaryPrefixesForDisplay", m_iecDisplay);
    return true;
}
