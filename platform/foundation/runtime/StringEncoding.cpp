#include "platform/foundation/runtime/StringEncoding.h"

#include "platform/foundation/detail/PlatformText.h"
#include "platform/foundation/detail/StringEncodingTable.h"
#include "platform/foundation/runtime/StringFormat.h"

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fnd {

namespace {

using detail::StringEncodingEntry;

// The encodings with a small number of their own, and their Core Foundation numbers; all others are
// 0x80000000 plus the Core Foundation number.
constexpr std::array<std::pair<StringEncoding, CFStringEncoding>, 17> builtIn { {
    { StringEncoding::ASCII, CFStringEncodings::ASCII },
    { StringEncoding::NEXTSTEP, CFStringEncodings::NextStepLatin },
    { StringEncoding::JapaneseEUC, CFStringEncodings::EUC_JP },
    { StringEncoding::UTF8, CFStringEncodings::UTF8 },
    { StringEncoding::ISOLatin1, CFStringEncodings::ISOLatin1 },
    { StringEncoding::Symbol, CFStringEncodings::MacSymbol },
    { StringEncoding::NonLossyASCII, CFStringEncodings::NonLossyASCII },
    { StringEncoding::ShiftJIS, CFStringEncodings::DOSJapanese },
    { StringEncoding::ISOLatin2, CFStringEncodings::ISOLatin2 },
    { StringEncoding::Unicode, CFStringEncodings::Unicode },
    { StringEncoding::WindowsCP1251, CFStringEncodings::WindowsCyrillic },
    { StringEncoding::WindowsCP1252, CFStringEncodings::WindowsLatin1 },
    { StringEncoding::WindowsCP1253, CFStringEncodings::WindowsGreek },
    { StringEncoding::WindowsCP1254, CFStringEncodings::WindowsLatin5 },
    { StringEncoding::WindowsCP1250, CFStringEncodings::WindowsLatin2 },
    { StringEncoding::ISO2022JP, CFStringEncodings::ISO_2022_JP },
    { StringEncoding::MacOSRoman, CFStringEncodings::MacRoman },
} };

struct ConverterDeleter {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterDeleter>;

Converter openConverter(const char* name)
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    if (U_FAILURE(status))
        return nullptr;
    return converter;
}

std::string lowercased(std::string s)
{
    std::ranges::transform(s, s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// ICU's own name of the converter behind each available encoding, so that any alias can be matched.
const std::map<std::string, StringEncoding>& encodingsByConverterName()
{
    static const auto map = [] {
        std::map<std::string, StringEncoding> out;
        for (const auto& entry : detail::stringEncodingTable()) {
            if (!entry.converter)
                continue;
            if (auto converter = openConverter(entry.converter)) {
                UErrorCode status = U_ZERO_ERROR;
                // The first entry wins where two share a converter (Shift JIS and code page 932).
                out.emplace(ucnv_getName(converter.get(), &status), entry.encoding);
            }
        }
        return out;
    }();
    return map;
}

const std::vector<StringEncoding>& availableList()
{
    static const auto list = [] {
        std::vector<StringEncoding> out;
        for (const auto& entry : detail::stringEncodingTable()) {
            if (entry.encoding == StringEncoding::NonLossyASCII || (entry.converter && openConverter(entry.converter)))
                out.push_back(entry.encoding);
        }
        return out;
    }();
    return list;
}

String describe(StringEncoding encoding)
{
    String name = localizedNameOfStringEncoding(encoding);
    return name.isEmpty() ? String(std::to_string(static_cast<std::uint64_t>(encoding))) : name;
}

String text(const char* key)
{
    return detail::platformText(key, "StringEncodings");
}

Error unsupported(StringEncoding encoding, std::int64_t code)
{
    return Error::make(StringEncodingError::Domain, code,
        stringWithFormat(text("The text encoding “%@” is not supported on this system."), describe(encoding)));
}

Error undecodable(StringEncoding encoding, std::size_t offset)
{
    return Error::make(StringEncodingError::Domain, StringEncodingError::ReadInapplicableEncoding,
        stringWithFormat(text("The data is not valid text in the encoding “%@”."), describe(encoding)),
        stringWithFormat(text("The bytes at offset %lu cannot be decoded."), static_cast<unsigned long>(offset)));
}

Error unencodable(StringEncoding encoding, const String& string, std::size_t index)
{
    auto at = static_cast<Index>(index);
    String character = string.substring({ at, Index(string.codePointAt(at).length) });
    return Error::make(StringEncodingError::Domain, StringEncodingError::WriteInapplicableEncoding,
        stringWithFormat(text("The text cannot be written in the encoding “%@”."), describe(encoding)),
        stringWithFormat(
            text("The character “%@” at index %lu has no form in it."), character, static_cast<unsigned long>(index)));
}

// A decoding before any error is made of it: readers that try many prefixes of their input (to find where a
// character is cut) ask for no reason, and a localized reason costs more than the decoding.
struct Decoded {
    std::optional<String> text;
    // Without text: where the undecodable bytes start, or that this system has no converter for the encoding.
    std::size_t failureOffset { 0 };
    bool unsupported { false };
};

Decoded decodeFailure(std::size_t offset)
{
    return { std::nullopt, offset, false };
}

// Opening a converter costs more than decoding a line of text: each thread keeps the decoders it opened, reset
// before every use.
UConverter* decoderNamed(const char* name)
{
    thread_local std::vector<std::pair<std::string, Converter>> opened;
    for (auto& [openedName, converter] : opened) {
        if (openedName == name) {
            ucnv_reset(converter.get());
            return converter.get();
        }
    }
    Converter converter = openConverter(name);
    if (!converter)
        return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    opened.emplace_back(name, std::move(converter));
    return opened.back().second.get();
}

Decoded decodeWith(const char* converterName, std::span<const std::uint8_t> bytes)
{
    UConverter* converter = decoderNamed(converterName);
    if (!converter)
        return { std::nullopt, 0, true };
    UErrorCode status = U_ZERO_ERROR;

    const char* begin = reinterpret_cast<const char*>(bytes.data());
    const char* source = begin;
    const char* end = begin + bytes.size();
    std::u16string out(bytes.size() + 16, u'\0');
    std::size_t written = 0;
    for (;;) {
        auto* target = reinterpret_cast<UChar*>(out.data() + written);
        status = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, reinterpret_cast<UChar*>(out.data() + out.size()), &source, end, nullptr,
            true, &status);
        written = static_cast<std::size_t>(target - reinterpret_cast<UChar*>(out.data()));
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        out.resize(out.size() * 2);
    }
    if (U_FAILURE(status)) {
        char invalid[32];
        int8_t invalidLength = sizeof invalid;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidChars(converter, invalid, &invalidLength, &ignored);
        auto offset = static_cast<std::size_t>(source - begin);
        return decodeFailure(offset - std::min<std::size_t>(offset, U_SUCCESS(ignored) ? invalidLength : 0));
    }
    out.resize(written);
    return { String(std::move(out)) };
}

Expected<Data> encodeWith(const char* converterName, const String& string, StringEncoding encoding, Lossy lossy)
{
    Converter converter = openConverter(converterName);
    if (!converter)
        return std::unexpected(unsupported(encoding, StringEncodingError::WriteInapplicableEncoding));
    UErrorCode status = U_ZERO_ERROR;
    if (lossy == Lossy::Yes) {
        ucnv_setSubstString(converter.get(), u"?", 1, &status);
        ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
    } else {
        ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    }

    const UChar* begin = reinterpret_cast<const UChar*>(string.units().data());
    const UChar* source = begin;
    const UChar* end = begin + string.length();
    std::vector<std::uint8_t> out(static_cast<std::size_t>(string.length()) * 2 + 16);
    std::size_t written = 0;
    for (;;) {
        char* target = reinterpret_cast<char*>(out.data() + written);
        status = U_ZERO_ERROR;
        ucnv_fromUnicode(converter.get(), &target, reinterpret_cast<char*>(out.data() + out.size()), &source, end,
            nullptr, true, &status);
        written = static_cast<std::size_t>(target - reinterpret_cast<char*>(out.data()));
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        out.resize(out.size() * 2);
    }
    if (U_FAILURE(status)) {
        UChar invalid[4];
        int8_t invalidLength = 4;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidUChars(converter.get(), invalid, &invalidLength, &ignored);
        auto index = static_cast<std::size_t>(source - begin);
        return std::unexpected(unencodable(
            encoding, string, index - std::min<std::size_t>(index, U_SUCCESS(ignored) ? invalidLength : 0)));
    }
    out.resize(written);
    return Data(std::move(out));
}

// Non-lossy ASCII: ASCII as itself, a backslash doubled, other units as \ooo (up to 0xFF) or \uXXXX.
Expected<Data> encodeNonLossyASCII(const String& string)
{
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(string.length()));
    static constexpr char hex[] = "0123456789abcdef";
    for (char16_t unit : string.view()) {
        if (unit == u'\\') {
            out.insert(out.end(), { '\\', '\\' });
        } else if (unit < 0x80) {
            out.push_back(static_cast<std::uint8_t>(unit));
        } else if (unit < 0x100) {
            out.insert(out.end(),
                { '\\', static_cast<std::uint8_t>('0' + (unit >> 6)),
                    static_cast<std::uint8_t>('0' + ((unit >> 3) & 7)), static_cast<std::uint8_t>('0' + (unit & 7)) });
        } else {
            out.insert(out.end(),
                { '\\', 'u', static_cast<std::uint8_t>(hex[unit >> 12]),
                    static_cast<std::uint8_t>(hex[(unit >> 8) & 15]), static_cast<std::uint8_t>(hex[(unit >> 4) & 15]),
                    static_cast<std::uint8_t>(hex[unit & 15]) });
        }
    }
    return Data(std::move(out));
}

Decoded decodeNonLossyASCII(std::span<const std::uint8_t> bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    auto digitValue = [](std::uint8_t c, int base) -> int {
        int v = c >= '0' && c <= '9' ? c - '0'
            : c >= 'a' && c <= 'f'   ? c - 'a' + 10
            : c >= 'A' && c <= 'F'   ? c - 'A' + 10
                                     : 99;
        return v < base ? v : -1;
    };
    for (std::size_t i = 0; i < bytes.size();) {
        std::uint8_t c = bytes[i];
        if (c >= 0x80)
            return decodeFailure(i);
        if (c != '\\') {
            out += static_cast<char16_t>(c);
            ++i;
            continue;
        }
        bool unicode = i + 1 < bytes.size() && bytes[i + 1] == 'u';
        std::size_t first = i + (unicode ? 2 : 1);
        std::size_t count = unicode ? 4 : 3;
        if (!unicode && i + 1 < bytes.size() && bytes[i + 1] == '\\') {
            out += u'\\';
            i += 2;
            continue;
        }
        if (first + count > bytes.size())
            return decodeFailure(i);
        unsigned value = 0;
        for (std::size_t k = 0; k < count; ++k) {
            int digit = digitValue(bytes[first + k], unicode ? 16 : 8);
            if (digit < 0)
                return decodeFailure(i);
            value = value * (unicode ? 16 : 8) + static_cast<unsigned>(digit);
        }
        if (value > 0xFFFF)
            return decodeFailure(i);
        out += static_cast<char16_t>(value);
        i = first + count;
    }
    return { String(std::move(out)) };
}

bool startsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix)
{
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

}

StringEncoding convertCFStringEncodingToStringEncoding(CFStringEncoding encoding)
{
    for (auto [ns, cf] : builtIn) {
        if (cf == encoding)
            return ns;
    }
    return static_cast<StringEncoding>(0x80000000ULL | encoding);
}

CFStringEncoding convertStringEncodingToCFStringEncoding(StringEncoding encoding)
{
    for (auto [ns, cf] : builtIn) {
        if (ns == encoding)
            return cf;
    }
    auto value = static_cast<std::uint64_t>(encoding);
    // 0xFFFFFFFF is the "no encoding" tag of menus, not an encoding.
    if ((value & 0xFFFFFFFF80000000ULL) == 0x80000000ULL && value != 0xFFFFFFFFULL)
        return static_cast<CFStringEncoding>(value & 0x7FFFFFFF);
    return CFStringEncodings::InvalidId;
}

std::span<const StringEncoding> availableStringEncodings()
{
    return availableList();
}

bool isAvailableStringEncoding(StringEncoding encoding)
{
    return std::ranges::find(availableList(), encoding) != availableList().end();
}

bool hasShiftStates(StringEncoding encoding)
{
    const auto* entry = detail::findStringEncoding(encoding);
    auto converter = entry && entry->converter ? openConverter(entry->converter) : nullptr;
    if (!converter)
        return false;
    switch (ucnv_getType(converter.get())) {
    case UCNV_EBCDIC_STATEFUL:
    case UCNV_ISO_2022:
    case UCNV_HZ:
    case UCNV_SCSU:
    case UCNV_ISCII:
    case UCNV_UTF7:
    case UCNV_BOCU1:
    case UCNV_IMAP_MAILBOX:
    case UCNV_COMPOUND_TEXT:
        return true;
    default:
        return false;
    }
}

String localizedNameOfStringEncoding(StringEncoding encoding)
{
    const auto* entry = detail::findStringEncoding(encoding);
    return entry ? text(entry->name) : String();
}

std::optional<String> IANACharSetNameOfStringEncoding(StringEncoding encoding)
{
    const auto* entry = detail::findStringEncoding(encoding);
    if (!entry || !entry->ianaName)
        return std::nullopt;
    return String(entry->ianaName);
}

std::optional<StringEncoding> stringEncodingFromIANACharSetName(const String& name)
{
    std::string wanted = lowercased(name.utf8());
    if (wanted.empty())
        return std::nullopt;
    for (const auto& entry : detail::stringEncodingTable()) {
        if (entry.ianaName && wanted == entry.ianaName)
            return entry.encoding;
    }
    if (wanted.find('\0') != std::string::npos)
        return std::nullopt;
    auto converter = openConverter(wanted.c_str());
    if (!converter)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    const auto& map = encodingsByConverterName();
    auto found = map.find(ucnv_getName(converter.get(), &status));
    if (found == map.end())
        return std::nullopt;
    return found->second;
}

CFStringEncoding mostCompatibleMacStringEncoding(StringEncoding encoding)
{
    const auto* entry = detail::findStringEncoding(encoding);
    return entry ? entry->mostCompatibleMac : CFStringEncodings::InvalidId;
}

StringEncoding defaultCStringEncoding()
{
    for (const char* variable : { "LC_ALL", "LC_CTYPE", "LANG" }) {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            continue;
        std::string_view name(value);
        auto dot = name.find('.');
        if (dot == std::string_view::npos)
            break;
        std::string_view codeset = name.substr(dot + 1);
        codeset = codeset.substr(0, codeset.find('@'));
        return stringEncodingFromIANACharSetName(String(codeset)).value_or(StringEncoding::UTF8);
    }
    return StringEncoding::UTF8;
}

Expected<Data> dataUsingEncoding(const String& string, StringEncoding encoding, Lossy lossy)
{
    switch (encoding) {
    case StringEncoding::NonLossyASCII:
        return encodeNonLossyASCII(string);
    case StringEncoding::Unicode:
    case StringEncoding::UTF32: {
        bool wide = encoding == StringEncoding::UTF32;
        auto body = encodeWith(wide ? "UTF-32LE" : "UTF-16LE", string, encoding, lossy);
        if (!body)
            return body;
        Data out = wide ? Data(std::vector<std::uint8_t> { 0xFF, 0xFE, 0, 0 })
                        : Data(std::vector<std::uint8_t> { 0xFF, 0xFE });
        out.append(*body);
        return out;
    }
    default:
        break;
    }
    const auto* entry = detail::findStringEncoding(encoding);
    if (!entry || !entry->converter)
        return std::unexpected(unsupported(encoding, StringEncodingError::WriteInapplicableEncoding));
    return encodeWith(entry->converter, string, encoding, lossy);
}

namespace {

Decoded decode(std::span<const std::uint8_t> bytes, StringEncoding encoding)
{
    switch (encoding) {
    case StringEncoding::NonLossyASCII:
        return decodeNonLossyASCII(bytes);
    case StringEncoding::Unicode:
        if (startsWith(bytes, { 0xFF, 0xFE }))
            return decodeWith("UTF-16LE", bytes.subspan(2));
        if (startsWith(bytes, { 0xFE, 0xFF }))
            return decodeWith("UTF-16BE", bytes.subspan(2));
        return decodeWith("UTF-16BE", bytes);
    case StringEncoding::UTF32:
        if (startsWith(bytes, { 0xFF, 0xFE, 0, 0 }))
            return decodeWith("UTF-32LE", bytes.subspan(4));
        if (startsWith(bytes, { 0, 0, 0xFE, 0xFF }))
            return decodeWith("UTF-32BE", bytes.subspan(4));
        return decodeWith("UTF-32BE", bytes);
    default:
        break;
    }
    const auto* entry = detail::findStringEncoding(encoding);
    if (!entry || !entry->converter)
        return { std::nullopt, 0, true };
    return decodeWith(entry->converter, bytes);
}

}

Expected<String> stringWithData(std::span<const std::uint8_t> bytes, StringEncoding encoding)
{
    auto decoded = decode(bytes, encoding);
    if (decoded.text)
        return std::move(*decoded.text);
    if (decoded.unsupported)
        return std::unexpected(unsupported(encoding, StringEncodingError::ReadInapplicableEncoding));
    return std::unexpected(undecodable(encoding, decoded.failureOffset));
}

std::optional<String> decodedStringWithData(std::span<const std::uint8_t> bytes, StringEncoding encoding)
{
    return decode(bytes, encoding).text;
}

bool canBeConvertedToEncoding(const String& string, StringEncoding encoding)
{
    return dataUsingEncoding(string, encoding).has_value();
}

std::vector<EncodingCandidate> detectStringEncodings(std::span<const std::uint8_t> bytes)
{
    std::vector<EncodingCandidate> out;
    if (bytes.empty())
        return out;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status), &ucsdet_close);
    if (U_FAILURE(status))
        return out;
    // ICU keeps only an int32 length; a sniffer needs no more than the first megabytes anyway.
    auto length = static_cast<int32_t>(std::min<std::size_t>(bytes.size(), 1 << 24));
    ucsdet_setText(detector.get(), reinterpret_cast<const char*>(bytes.data()), length, &status);
    int32_t count = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
    if (U_FAILURE(status))
        return out;
    bool utf16Mark = startsWith(bytes, { 0xFF, 0xFE }) || startsWith(bytes, { 0xFE, 0xFF });
    bool utf32Mark = startsWith(bytes, { 0xFF, 0xFE, 0, 0 }) || startsWith(bytes, { 0, 0, 0xFE, 0xFF });
    for (int32_t i = 0; i < count; ++i) {
        UErrorCode matchStatus = U_ZERO_ERROR;
        const char* name = ucsdet_getName(matches[i], &matchStatus);
        int32_t confidence = ucsdet_getConfidence(matches[i], &matchStatus);
        if (U_FAILURE(matchStatus) || !name)
            continue;
        auto encoding = stringEncodingFromIANACharSetName(String(name));
        if (!encoding)
            continue;
        // Text that opens with a byte-order mark is read best by the form that honours (and drops) it.
        if (utf32Mark
            && (*encoding == StringEncoding::UTF32BigEndian || *encoding == StringEncoding::UTF32LittleEndian))
            encoding = StringEncoding::UTF32;
        else if (utf16Mark && !utf32Mark
            && (*encoding == StringEncoding::UTF16BigEndian || *encoding == StringEncoding::UTF16LittleEndian))
            encoding = StringEncoding::Unicode;
        if (std::ranges::none_of(out, [&](const EncodingCandidate& c) { return c.encoding == *encoding; }))
            out.push_back({ *encoding, confidence });
    }
    return out;
}

std::optional<StringEncoding> detectStringEncoding(std::span<const std::uint8_t> bytes)
{
    auto candidates = detectStringEncodings(bytes);
    if (candidates.empty())
        return std::nullopt;
    return candidates.front().encoding;
}

}
