#include "platform/foundation/detail/StringEncodingTable.h"

#include <array>

namespace fnd::detail {

namespace {

namespace CF = CFStringEncodings;

constexpr StringEncoding fromCF(CFStringEncoding cf)
{
    return static_cast<StringEncoding>(0x80000000ULL | cf);
}

// Unicode forms first, then by script; the names are shown in encoding menus.
constexpr std::array entries {
    // Unicode
    StringEncodingEntry { StringEncoding::UTF8, "UTF-8", "utf-8", "Unicode (UTF-8)", CF::Unicode },
    StringEncodingEntry { StringEncoding::Unicode, "UTF-16", "utf-16", "Unicode (UTF-16)", CF::Unicode },
    StringEncodingEntry { StringEncoding::UTF16BigEndian, "UTF-16BE", "utf-16be", "Unicode (UTF-16BE)", CF::Unicode },
    StringEncodingEntry {
        StringEncoding::UTF16LittleEndian, "UTF-16LE", "utf-16le", "Unicode (UTF-16LE)", CF::Unicode },
    StringEncodingEntry { StringEncoding::UTF32, "UTF-32", "utf-32", "Unicode (UTF-32)", CF::Unicode },
    // 5
    StringEncodingEntry { StringEncoding::UTF32BigEndian, "UTF-32BE", "utf-32be", "Unicode (UTF-32BE)", CF::Unicode },
    StringEncodingEntry {
        StringEncoding::UTF32LittleEndian, "UTF-32LE", "utf-32le", "Unicode (UTF-32LE)", CF::Unicode },
    StringEncodingEntry { fromCF(CF::UTF7), "UTF-7", "utf-7", "Unicode (UTF-7)", CF::Unicode },
    StringEncodingEntry { StringEncoding::NonLossyASCII, nullptr, nullptr, "Non-lossy ASCII", CF::MacRoman },
    // Western
    StringEncodingEntry { StringEncoding::ASCII, "US-ASCII", "us-ascii", "Western (ASCII)", CF::MacRoman },
    // 10
    StringEncodingEntry {
        StringEncoding::MacOSRoman, "macos-0_2-10.2", "macintosh", "Western (Mac OS Roman)", CF::MacRoman },
    StringEncodingEntry {
        StringEncoding::ISOLatin1, "ISO-8859-1", "iso-8859-1", "Western (ISO Latin 1)", CF::MacRoman },
    StringEncodingEntry {
        StringEncoding::WindowsCP1252, "windows-1252", "windows-1252", "Western (Windows Latin 1)", CF::MacRoman },
    StringEncodingEntry { fromCF(CF::ISOLatin9), "ISO-8859-15", "iso-8859-15", "Western (ISO Latin 9)", CF::MacRoman },
    StringEncodingEntry { fromCF(CF::ISOLatin3), "ISO-8859-3", "iso-8859-3", "Western (ISO Latin 3)", CF::MacRoman },
    // 15
    StringEncodingEntry { fromCF(CF::DOSLatinUS), "IBM437", "cp437", "Latin-US (DOS)", CF::MacRoman },
    StringEncodingEntry { fromCF(CF::DOSLatin1), "IBM850", "cp850", "Western (DOS Latin 1)", CF::MacRoman },
    StringEncodingEntry { StringEncoding::NEXTSTEP, nullptr, "x-nextstep", "Western (NextStep)", CF::MacRoman },
    StringEncodingEntry { StringEncoding::Symbol, nullptr, "x-mac-symbol", "Symbol (Mac OS)", CF::MacSymbol },
    StringEncodingEntry { fromCF(CF::ISOLatin6), "ISO-8859-10", "iso-8859-10", "Nordic (ISO Latin 6)", CF::MacRoman },
    // 20
    StringEncodingEntry { fromCF(CF::ISOLatin8), "ISO-8859-14", "iso-8859-14", "Celtic (ISO Latin 8)", CF::MacRoman },
    // Central European and Baltic
    StringEncodingEntry { StringEncoding::ISOLatin2, "ISO-8859-2", "iso-8859-2", "Central European (ISO Latin 2)",
        CF::MacCentralEurRoman },
    StringEncodingEntry { StringEncoding::WindowsCP1250, "windows-1250", "windows-1250",
        "Central European (Windows Latin 2)", CF::MacCentralEurRoman },
    StringEncodingEntry { fromCF(CF::MacCentralEurRoman), "macos-29-10.2", "x-mac-centraleurroman",
        "Central European (Mac OS)", CF::MacCentralEurRoman },
    StringEncodingEntry {
        fromCF(CF::ISOLatin4), "ISO-8859-4", "iso-8859-4", "Central European (ISO Latin 4)", CF::MacCentralEurRoman },
    // 25
    StringEncodingEntry {
        fromCF(CF::DOSLatin2), "IBM852", "cp852", "Central European (DOS Latin 2)", CF::MacCentralEurRoman },
    StringEncodingEntry {
        fromCF(CF::ISOLatin7), "ISO-8859-13", "iso-8859-13", "Baltic (ISO Latin 7)", CF::MacCentralEurRoman },
    StringEncodingEntry {
        fromCF(CF::WindowsBalticRim), "windows-1257", "windows-1257", "Baltic (Windows)", CF::MacCentralEurRoman },
    // Cyrillic
    StringEncodingEntry {
        StringEncoding::WindowsCP1251, "windows-1251", "windows-1251", "Cyrillic (Windows)", CF::MacCyrillic },
    StringEncodingEntry {
        fromCF(CF::ISOLatinCyrillic), "ISO-8859-5", "iso-8859-5", "Cyrillic (ISO 8859-5)", CF::MacCyrillic },
    // 30
    StringEncodingEntry { fromCF(CF::KOI8_R), "KOI8-R", "koi8-r", "Cyrillic (KOI8-R)", CF::MacCyrillic },
    StringEncodingEntry { fromCF(CF::KOI8_U), "KOI8-U", "koi8-u", "Ukrainian (KOI8-U)", CF::MacCyrillic },
    StringEncodingEntry {
        fromCF(CF::MacCyrillic), "macos-7_3-10.2", "x-mac-cyrillic", "Cyrillic (Mac OS)", CF::MacCyrillic },
    StringEncodingEntry { fromCF(CF::DOSCyrillic), "IBM855", "cp855", "Cyrillic (DOS)", CF::MacCyrillic },
    StringEncodingEntry { fromCF(CF::DOSRussian), "IBM866", "cp866", "Russian (DOS)", CF::MacCyrillic },
    // 35: Greek
    StringEncodingEntry {
        StringEncoding::WindowsCP1253, "windows-1253", "windows-1253", "Greek (Windows)", CF::MacGreek },
    StringEncodingEntry { fromCF(CF::ISOLatinGreek), "ISO-8859-7", "iso-8859-7", "Greek (ISO 8859-7)", CF::MacGreek },
    StringEncodingEntry { fromCF(CF::MacGreek), "macos-6_2-10.4", "x-mac-greek", "Greek (Mac OS)", CF::MacGreek },
    // Turkish
    StringEncodingEntry {
        StringEncoding::WindowsCP1254, "windows-1254", "windows-1254", "Turkish (Windows Latin 5)", CF::MacTurkish },
    StringEncodingEntry { fromCF(CF::ISOLatin5), "ISO-8859-9", "iso-8859-9", "Turkish (ISO Latin 5)", CF::MacTurkish },
    // 40
    StringEncodingEntry {
        fromCF(CF::MacTurkish), "macos-35-10.2", "x-mac-turkish", "Turkish (Mac OS)", CF::MacTurkish },
    // Hebrew, Arabic, Thai, Vietnamese
    StringEncodingEntry {
        fromCF(CF::WindowsHebrew), "windows-1255", "windows-1255", "Hebrew (Windows)", CF::MacHebrew },
    StringEncodingEntry {
        fromCF(CF::ISOLatinHebrew), "ISO-8859-8", "iso-8859-8", "Hebrew (ISO 8859-8)", CF::MacHebrew },
    StringEncodingEntry {
        fromCF(CF::WindowsArabic), "windows-1256", "windows-1256", "Arabic (Windows)", CF::MacArabic },
    StringEncodingEntry {
        fromCF(CF::ISOLatinArabic), "ISO-8859-6", "iso-8859-6", "Arabic (ISO 8859-6)", CF::MacArabic },
    // 45
    StringEncodingEntry { fromCF(CF::ISOLatinThai), "ISO-8859-11", "iso-8859-11", "Thai (ISO 8859-11)", CF::MacThai },
    StringEncodingEntry {
        fromCF(CF::WindowsVietnamese), "windows-1258", "windows-1258", "Vietnamese (Windows)", CF::MacVietnamese },
    // Japanese
    StringEncodingEntry {
        StringEncoding::ShiftJIS, "windows-31j", "cp932", "Japanese (Windows, DOS)", CF::MacJapanese },
    StringEncodingEntry { fromCF(CF::ShiftJIS), "Shift_JIS", "shift_jis", "Japanese (Shift JIS)", CF::MacJapanese },
    StringEncodingEntry { StringEncoding::JapaneseEUC, "EUC-JP", "euc-jp", "Japanese (EUC)", CF::MacJapanese },
    // 50
    StringEncodingEntry {
        StringEncoding::ISO2022JP, "ISO-2022-JP", "iso-2022-jp", "Japanese (ISO 2022-JP)", CF::MacJapanese },
    StringEncodingEntry {
        fromCF(CF::ISO_2022_JP_2), "ISO-2022-JP-2", "iso-2022-jp-2", "Japanese (ISO 2022-JP-2)", CF::MacJapanese },
    StringEncodingEntry { fromCF(CF::MacJapanese), nullptr, "x-mac-japanese", "Japanese (Mac OS)", CF::MacJapanese },
    // Chinese
    StringEncodingEntry { fromCF(CF::GB_18030_2000), "GB18030", "gb18030", "Chinese (GB 18030)", CF::MacChineseSimp },
    StringEncodingEntry { fromCF(CF::GBK_95), "GBK", "gbk", "Chinese (GBK)", CF::MacChineseSimp },
    // 55
    StringEncodingEntry { fromCF(CF::EUC_CN), "EUC-CN", "gb2312", "Simplified Chinese (GB 2312)", CF::MacChineseSimp },
    StringEncodingEntry {
        fromCF(CF::HZ_GB_2312), "HZ-GB-2312", "hz-gb-2312", "Simplified Chinese (HZ GB 2312)", CF::MacChineseSimp },
    StringEncodingEntry {
        fromCF(CF::ISO_2022_CN), "ISO-2022-CN", "iso-2022-cn", "Simplified Chinese (ISO 2022-CN)", CF::MacChineseSimp },
    StringEncodingEntry {
        fromCF(CF::MacChineseSimp), nullptr, "x-mac-simp-chinese", "Simplified Chinese (Mac OS)", CF::MacChineseSimp },
    StringEncodingEntry { fromCF(CF::Big5), "Big5", "big5", "Traditional Chinese (Big 5)", CF::MacChineseTrad },
    // 60
    StringEncodingEntry { fromCF(CF::Big5_HKSCS_1999), "Big5-HKSCS", "big5-hkscs", "Traditional Chinese (Big 5 HKSCS)",
        CF::MacChineseTrad },
    StringEncodingEntry { fromCF(CF::EUC_TW), "EUC-TW", "euc-tw", "Traditional Chinese (EUC)", CF::MacChineseTrad },
    StringEncodingEntry {
        fromCF(CF::MacChineseTrad), nullptr, "x-mac-trad-chinese", "Traditional Chinese (Mac OS)", CF::MacChineseTrad },
    // Korean
    StringEncodingEntry { fromCF(CF::EUC_KR), "EUC-KR", "euc-kr", "Korean (EUC)", CF::MacKorean },
    StringEncodingEntry {
        fromCF(CF::ISO_2022_KR), "ISO-2022-KR", "iso-2022-kr", "Korean (ISO 2022-KR)", CF::MacKorean },
    // 65
    StringEncodingEntry { fromCF(CF::DOSKorean), "windows-949", "cp949", "Korean (Windows, DOS)", CF::MacKorean },
    StringEncodingEntry { fromCF(CF::MacKorean), nullptr, "x-mac-korean", "Korean (Mac OS)", CF::MacKorean },
};
static_assert(entries.size() == 67);

}

std::span<const StringEncodingEntry> stringEncodingTable()
{
    return entries;
}

const StringEncodingEntry* findStringEncoding(StringEncoding encoding)
{
    for (const auto& entry : entries) {
        if (entry.encoding == encoding)
            return &entry;
    }
    return nullptr;
}

}
