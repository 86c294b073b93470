#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fnd {

// Text encodings by the platform's numbers, which stored documents, defaults and menu tags hold. Encodings that
// have no small number of their own are 0x80000000 plus their Core Foundation number.
enum class StringEncoding : std::uint64_t {
    ASCII = 1,
    NEXTSTEP = 2,
    JapaneseEUC = 3,
    UTF8 = 4,
    ISOLatin1 = 5,
    Symbol = 6,
    NonLossyASCII = 7,
    ShiftJIS = 8, // Windows code page 932
    ISOLatin2 = 9,
    Unicode = 10, // UTF-16 with a byte-order mark
    WindowsCP1251 = 11,
    WindowsCP1252 = 12,
    WindowsCP1253 = 13,
    WindowsCP1254 = 14,
    WindowsCP1250 = 15,
    ISO2022JP = 21,
    MacOSRoman = 30,
    UTF16BigEndian = 0x90000100,
    UTF16LittleEndian = 0x94000100,
    UTF32 = 0x8c000100, // with a byte-order mark
    UTF32BigEndian = 0x98000100,
    UTF32LittleEndian = 0x9c000100,
};

// Core Foundation's encoding numbers, for the encodings we know by name.
using CFStringEncoding = std::uint32_t;
namespace CFStringEncodings {
inline constexpr CFStringEncoding MacRoman = 0;
inline constexpr CFStringEncoding MacJapanese = 1;
inline constexpr CFStringEncoding MacChineseTrad = 2;
inline constexpr CFStringEncoding MacKorean = 3;
inline constexpr CFStringEncoding MacArabic = 4;
inline constexpr CFStringEncoding MacHebrew = 5;
inline constexpr CFStringEncoding MacGreek = 6;
inline constexpr CFStringEncoding MacCyrillic = 7;
inline constexpr CFStringEncoding MacThai = 21;
inline constexpr CFStringEncoding MacChineseSimp = 25;
inline constexpr CFStringEncoding MacCentralEurRoman = 29;
inline constexpr CFStringEncoding MacVietnamese = 30;
inline constexpr CFStringEncoding MacSymbol = 33;
inline constexpr CFStringEncoding MacTurkish = 35;
inline constexpr CFStringEncoding MacIcelandic = 37;
inline constexpr CFStringEncoding Unicode = 0x0100;
inline constexpr CFStringEncoding ISOLatin1 = 0x0201;
inline constexpr CFStringEncoding ISOLatin2 = 0x0202;
inline constexpr CFStringEncoding ISOLatin3 = 0x0203;
inline constexpr CFStringEncoding ISOLatin4 = 0x0204;
inline constexpr CFStringEncoding ISOLatinCyrillic = 0x0205;
inline constexpr CFStringEncoding ISOLatinArabic = 0x0206;
inline constexpr CFStringEncoding ISOLatinGreek = 0x0207;
inline constexpr CFStringEncoding ISOLatinHebrew = 0x0208;
inline constexpr CFStringEncoding ISOLatin5 = 0x0209;
inline constexpr CFStringEncoding ISOLatin6 = 0x020A;
inline constexpr CFStringEncoding ISOLatinThai = 0x020B;
inline constexpr CFStringEncoding ISOLatin7 = 0x020D;
inline constexpr CFStringEncoding ISOLatin8 = 0x020E;
inline constexpr CFStringEncoding ISOLatin9 = 0x020F;
inline constexpr CFStringEncoding DOSLatinUS = 0x0400;
inline constexpr CFStringEncoding DOSLatin1 = 0x0410;
inline constexpr CFStringEncoding DOSLatin2 = 0x0412;
inline constexpr CFStringEncoding DOSCyrillic = 0x0413;
inline constexpr CFStringEncoding DOSRussian = 0x041B;
inline constexpr CFStringEncoding DOSJapanese = 0x0420;
inline constexpr CFStringEncoding DOSChineseSimplif = 0x0421;
inline constexpr CFStringEncoding DOSKorean = 0x0422;
inline constexpr CFStringEncoding DOSChineseTrad = 0x0423;
inline constexpr CFStringEncoding WindowsLatin1 = 0x0500;
inline constexpr CFStringEncoding WindowsLatin2 = 0x0501;
inline constexpr CFStringEncoding WindowsCyrillic = 0x0502;
inline constexpr CFStringEncoding WindowsGreek = 0x0503;
inline constexpr CFStringEncoding WindowsLatin5 = 0x0504;
inline constexpr CFStringEncoding WindowsHebrew = 0x0505;
inline constexpr CFStringEncoding WindowsArabic = 0x0506;
inline constexpr CFStringEncoding WindowsBalticRim = 0x0507;
inline constexpr CFStringEncoding WindowsVietnamese = 0x0508;
inline constexpr CFStringEncoding ASCII = 0x0600;
inline constexpr CFStringEncoding GB_2312_80 = 0x0630;
inline constexpr CFStringEncoding GBK_95 = 0x0631;
inline constexpr CFStringEncoding GB_18030_2000 = 0x0632;
inline constexpr CFStringEncoding ISO_2022_JP = 0x0820;
inline constexpr CFStringEncoding ISO_2022_JP_2 = 0x0821;
inline constexpr CFStringEncoding ISO_2022_CN = 0x0830;
inline constexpr CFStringEncoding ISO_2022_KR = 0x0840;
inline constexpr CFStringEncoding EUC_JP = 0x0920;
inline constexpr CFStringEncoding EUC_CN = 0x0930;
inline constexpr CFStringEncoding EUC_TW = 0x0931;
inline constexpr CFStringEncoding EUC_KR = 0x0940;
inline constexpr CFStringEncoding ShiftJIS = 0x0A01;
inline constexpr CFStringEncoding KOI8_R = 0x0A02;
inline constexpr CFStringEncoding Big5 = 0x0A03;
inline constexpr CFStringEncoding HZ_GB_2312 = 0x0A05;
inline constexpr CFStringEncoding Big5_HKSCS_1999 = 0x0A06;
inline constexpr CFStringEncoding KOI8_U = 0x0A08;
inline constexpr CFStringEncoding NextStepLatin = 0x0B01;
inline constexpr CFStringEncoding NonLossyASCII = 0x0BFF;
inline constexpr CFStringEncoding UTF7 = 0x04000100;
inline constexpr CFStringEncoding UTF8 = 0x08000100;
inline constexpr CFStringEncoding UTF16BE = 0x10000100;
inline constexpr CFStringEncoding UTF16LE = 0x14000100;
inline constexpr CFStringEncoding UTF32 = 0x0c000100;
inline constexpr CFStringEncoding UTF32BE = 0x18000100;
inline constexpr CFStringEncoding UTF32LE = 0x1c000100;
inline constexpr CFStringEncoding InvalidId = 0xffffffffU;
}

// The two numbering schemes; every Core Foundation number has a platform number and back.
StringEncoding convertCFStringEncodingToStringEncoding(CFStringEncoding encoding);
CFStringEncoding convertStringEncodingToCFStringEncoding(StringEncoding encoding);

// Encodings this system can convert, in the order of our table (Unicode forms first, then by script).
std::span<const StringEncoding> availableStringEncodings();
bool isAvailableStringEncoding(StringEncoding encoding);
// Whether bytes of the encoding change meaning after a shift sequence (ISO 2022, HZ, UTF-7 and the like), so that a
// piece cut from a text need not decode as it does within the whole: a reader that decodes in pieces reads such a
// text whole. False for an encoding this system does not convert.
bool hasShiftStates(StringEncoding encoding);

// "Western (Windows Latin 1)"; empty for an encoding we do not know.
String localizedNameOfStringEncoding(StringEncoding encoding);
// The IANA charset name ("windows-1252"); nullopt when the encoding has none.
std::optional<String> IANACharSetNameOfStringEncoding(StringEncoding encoding);
// The encoding of an IANA name or any alias ICU knows ("latin1", "UTF8"), case-insensitively; nullopt otherwise.
std::optional<StringEncoding> stringEncodingFromIANACharSetName(const String& name);

// The Mac script encoding closest to an encoding, in Core Foundation numbers (the Unicode forms answer Unicode,
// Western ones Mac Roman); InvalidId for an unknown encoding.
CFStringEncoding mostCompatibleMacStringEncoding(StringEncoding encoding);
// The encoding of the user's C strings: the codeset of the environment's locale, UTF-8 when it names none we know.
StringEncoding defaultCStringEncoding();

enum class Lossy { No, Yes };

// Text to bytes. An unencodable character fails the conversion unless a lossy conversion is asked for, which
// writes '?' in its place. Unicode and UTF32 write a byte-order mark and then little-endian units.
Expected<Data> dataUsingEncoding(const String& string, StringEncoding encoding, Lossy lossy = Lossy::No);
// Bytes to text. An undecodable or truncated sequence fails; nothing is replaced. Unicode and UTF32 read the
// byte-order mark (and drop it), big-endian without one; the other forms keep a leading U+FEFF as text.
Expected<String> stringWithData(std::span<const std::uint8_t> bytes, StringEncoding encoding);
inline Expected<String> stringWithData(const Data& data, StringEncoding encoding)
{
    return stringWithData(std::span(data.bytes(), data.length()), encoding);
}
// The same without the reason: nullopt where stringWithData fails. For readers that try many lengths of their input
// to find where a character is cut, and would otherwise pay for a localized error at every miss.
std::optional<String> decodedStringWithData(std::span<const std::uint8_t> bytes, StringEncoding encoding);
bool canBeConvertedToEncoding(const String& string, StringEncoding encoding);

// Charset detection. Candidates come best first, with ICU's confidence (0-100); charsets we have no number for
// are left out.
struct EncodingCandidate {
    StringEncoding encoding;
    int confidence;
};
std::vector<EncodingCandidate> detectStringEncodings(std::span<const std::uint8_t> bytes);
std::optional<StringEncoding> detectStringEncoding(std::span<const std::uint8_t> bytes);

// Error domain and codes of failed conversions.
namespace StringEncodingError {
inline const String Domain = ErrorDomain::Cocoa;
inline constexpr std::int64_t ReadInapplicableEncoding = 261;
inline constexpr std::int64_t WriteInapplicableEncoding = 517;
}

}
