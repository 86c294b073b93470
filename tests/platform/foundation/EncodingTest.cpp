#include "platform/foundation/runtime/StringEncoding.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace fnd;

namespace {

Data bytes(std::initializer_list<std::uint8_t> list)
{
    return Data(std::vector<std::uint8_t>(list));
}

std::string hex(const Data& data)
{
    std::string out;
    char buffer[4];
    for (std::uint8_t b : data.vector()) {
        std::snprintf(buffer, sizeof buffer, "%02X ", b);
        out += buffer;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

}

TEST(StringEncoding, KnownTextHasTheBytesOfEachEncoding)
{
    struct Case {
        StringEncoding encoding;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        { StringEncoding::UTF8, "é€", "C3 A9 E2 82 AC" },
        { StringEncoding::ISOLatin1, "café", "63 61 66 E9" },
        { StringEncoding::WindowsCP1252, "€", "80" },
        { StringEncoding::MacOSRoman, "é", "8E" },
        { StringEncoding::ISOLatin2, "ł", "B3" },
        { StringEncoding::WindowsCP1251, "Ж", "C6" },
        { StringEncoding::ShiftJIS, "日本", "93 FA 96 7B" },
        { StringEncoding::JapaneseEUC, "日本", "C6 FC CB DC" },
        { StringEncoding::ISO2022JP, "日", "1B 24 42 46 7C 1B 28 42" },
        { StringEncoding::Unicode, "a€", "FF FE 61 00 AC 20" }, // mark, then little-endian
        { StringEncoding::UTF16BigEndian, "a€", "00 61 20 AC" },
        { StringEncoding::UTF16LittleEndian, "a\xF0\x9F\x98\x80", "61 00 3D D8 00 DE" },
        { StringEncoding::UTF32, "a", "FF FE 00 00 61 00 00 00" },
        { StringEncoding::UTF32BigEndian, "\xF0\x9F\x98\x80", "00 01 F6 00" },
        { StringEncoding::NonLossyASCII, "a\\é€", "61 5C 5C 5C 33 35 31 5C 75 32 30 61 63" }, // a \\ \351 \u20ac
        { convertCFStringEncodingToStringEncoding(CFStringEncodings::GB_18030_2000), "中", "D6 D0" },
        { convertCFStringEncodingToStringEncoding(CFStringEncodings::KOI8_R), "Ж", "F6" },
    };
    for (const Case& c : cases) {
        auto encoded = dataUsingEncoding(c.text, c.encoding);
        ASSERT_TRUE(encoded) << localizedNameOfStringEncoding(c.encoding) << ": "
                             << encoded.error().localizedDescription();
        EXPECT_EQ(hex(*encoded), c.expected) << localizedNameOfStringEncoding(c.encoding);
        auto decoded = stringWithData(*encoded, c.encoding);
        ASSERT_TRUE(decoded) << localizedNameOfStringEncoding(c.encoding);
        EXPECT_EQ(*decoded, String(c.text)) << localizedNameOfStringEncoding(c.encoding);
    }
}

TEST(StringEncoding, EveryAvailableEncodingRoundTripsASCIIAndKnowsItsNames)
{
    const String text = "Barcode 123, (a+b)=c; x_y.";
    for (StringEncoding encoding : availableStringEncodings()) {
        auto name = localizedNameOfStringEncoding(encoding);
        EXPECT_FALSE(name.isEmpty()) << static_cast<std::uint64_t>(encoding);
        auto encoded = dataUsingEncoding(text, encoding);
        ASSERT_TRUE(encoded) << name;
        EXPECT_EQ(stringWithData(*encoded, encoding).value_or("failed"), text) << name;
        if (auto iana = IANACharSetNameOfStringEncoding(encoding)) {
            EXPECT_EQ(stringEncodingFromIANACharSetName(*iana), encoding) << name << " / " << *iana;
        }
    }
}

// Readers that decode in pieces read these whole: after "ESC $ B" the bytes "F|" are a kanji, not two letters.
TEST(StringEncoding, EncodingsWithShiftSequencesAreKnownAsSuch)
{
    const auto iso2022kr = convertCFStringEncodingToStringEncoding(CFStringEncodings::ISO_2022_KR);
    const auto utf7 = convertCFStringEncodingToStringEncoding(CFStringEncodings::UTF7);
    const auto hz = convertCFStringEncodingToStringEncoding(CFStringEncodings::HZ_GB_2312);
    for (StringEncoding encoding : { StringEncoding::ISO2022JP, iso2022kr, utf7, hz })
        EXPECT_EQ(hasShiftStates(encoding), isAvailableStringEncoding(encoding))
            << localizedNameOfStringEncoding(encoding);
    for (StringEncoding encoding : { StringEncoding::UTF8, StringEncoding::Unicode, StringEncoding::ShiftJIS,
             StringEncoding::JapaneseEUC, StringEncoding::ISOLatin1, StringEncoding::NonLossyASCII,
             StringEncoding::UTF32LittleEndian, static_cast<StringEncoding>(999) })
        EXPECT_FALSE(hasShiftStates(encoding)) << static_cast<std::uint64_t>(encoding);

    const std::string kanji = "\x1B$BF|\x1B(B";
    const auto bytes = reinterpret_cast<const std::uint8_t*>(kanji.data());
    EXPECT_EQ(stringWithData(std::span(bytes, kanji.size()), StringEncoding::ISO2022JP).value_or("failed"),
        String("\xE6\x97\xA5"));
    EXPECT_EQ(stringWithData(std::span(bytes + 3, 2), StringEncoding::ISO2022JP).value_or("failed"), String("F|"));
}

TEST(StringEncoding, UndecodableOrTruncatedBytesFailInsteadOfBeingReplaced)
{
    struct Case {
        StringEncoding encoding;
        Data data;
        const char* reason;
    };
    const Case cases[] = {
        { StringEncoding::UTF8, bytes({ 'a', 'b', 0xC3, 0x28, 'z' }), "The bytes at offset 2 cannot be decoded." },
        { StringEncoding::UTF8, bytes({ 'a', 0xE2, 0x82 }), "The bytes at offset 1 cannot be decoded." },
        { StringEncoding::UTF8, bytes({ 0xC0, 0xAF }), "The bytes at offset 0 cannot be decoded." }, // overlong "/"
        { StringEncoding::UTF8, bytes({ 0xED, 0xA0, 0x80 }), "The bytes at offset 0 cannot be decoded." }, // surrogate
        { StringEncoding::ASCII, bytes({ 'o', 'k', 0xE9 }), "The bytes at offset 2 cannot be decoded." },
        { StringEncoding::ShiftJIS, bytes({ 0x93 }), "The bytes at offset 0 cannot be decoded." },
        { StringEncoding::UTF16BigEndian, bytes({ 0xD8, 0x3D, 0x00, 0x61 }),
            "The bytes at offset 0 cannot be decoded." },
        { StringEncoding::Unicode, bytes({ 0xFF, 0xFE, 0x61 }), "The bytes at offset 0 cannot be decoded." },
        { StringEncoding::NonLossyASCII, bytes({ '\\', 'u', '1', 'x', '3', '4' }),
            "The bytes at offset 0 cannot be decoded." },
    };
    for (const Case& c : cases) {
        auto decoded = stringWithData(c.data, c.encoding);
        ASSERT_FALSE(decoded) << localizedNameOfStringEncoding(c.encoding) << " gave " << *decoded;
        EXPECT_EQ(decoded.error().code(), StringEncodingError::ReadInapplicableEncoding);
        EXPECT_EQ(decoded.error().localizedFailureReason(), String(c.reason))
            << localizedNameOfStringEncoding(c.encoding);
        // The form without a reason fails alike, and reads what the full form reads once the bad bytes are gone.
        EXPECT_FALSE(decodedStringWithData(std::span(c.data.bytes(), c.data.length()), c.encoding));
    }
    const auto valid = bytes({ 0xFF, 0xFE, 0x61, 0x00, 0x3D, 0xD8, 0x00, 0xDE });
    EXPECT_EQ(decodedStringWithData(std::span(valid.bytes(), valid.length()), StringEncoding::Unicode),
        std::optional(String(u"a\U0001F600")));
    auto failure = stringWithData(bytes({ 0xFF }), StringEncoding::UTF8);
    EXPECT_EQ(failure.error().localizedDescription(),
        String("The data is not valid text in the encoding “Unicode (UTF-8)”."));
}

TEST(StringEncoding, UnencodableTextFailsUnlessLossyIsAsked)
{
    auto strict = dataUsingEncoding("café €", StringEncoding::ISOLatin1);
    ASSERT_FALSE(strict);
    EXPECT_EQ(strict.error().code(), StringEncodingError::WriteInapplicableEncoding);
    EXPECT_EQ(strict.error().localizedFailureReason(), String("The character “€” at index 5 has no form in it."));
    EXPECT_EQ(hex(dataUsingEncoding("café €", StringEncoding::ISOLatin1, Lossy::Yes).value()), "63 61 66 E9 20 3F");
    auto astral = dataUsingEncoding("a\xF0\x9F\x98\x80", StringEncoding::WindowsCP1252);
    EXPECT_EQ(astral.error().localizedFailureReason(),
        String("The character “\xF0\x9F\x98\x80” at index 1 has no form in it."));

    String loneSurrogate(std::u16string { u'a', char16_t(0xD800), u'b' });
    EXPECT_FALSE(dataUsingEncoding(loneSurrogate, StringEncoding::UTF8));
    EXPECT_EQ(hex(dataUsingEncoding(loneSurrogate, StringEncoding::UTF8, Lossy::Yes).value()), "61 3F 62");

    EXPECT_TRUE(canBeConvertedToEncoding("Ünïcödé", StringEncoding::WindowsCP1252));
    EXPECT_FALSE(canBeConvertedToEncoding("日本", StringEncoding::WindowsCP1252));
    EXPECT_TRUE(canBeConvertedToEncoding("日本", StringEncoding::ShiftJIS));
    EXPECT_FALSE(canBeConvertedToEncoding("x", StringEncoding::NEXTSTEP)); // no converter on this system
}

TEST(StringEncoding, ByteOrderMarksChooseTheOrderAndAreDropped)
{
    struct Case {
        StringEncoding encoding;
        Data data;
        std::u16string expected;
    };
    const Case cases[] = {
        { StringEncoding::Unicode, bytes({ 0xFF, 0xFE, 0x61, 0x00 }), u"a" },
        { StringEncoding::Unicode, bytes({ 0xFE, 0xFF, 0x00, 0x61 }), u"a" },
        { StringEncoding::Unicode, bytes({ 0x00, 0x61 }), u"a" }, // big-endian without a mark
        { StringEncoding::UTF32, bytes({ 0xFF, 0xFE, 0, 0, 0x61, 0, 0, 0 }), u"a" },
        { StringEncoding::UTF32, bytes({ 0, 0, 0xFE, 0xFF, 0, 0, 0, 0x61 }), u"a" },
        { StringEncoding::UTF32, bytes({ 0, 0, 0, 0x61 }), u"a" },
        // The explicit forms keep a leading U+FEFF as text, as UTF-8 does.
        { StringEncoding::UTF16LittleEndian, bytes({ 0xFF, 0xFE, 0x61, 0x00 }), u"\uFEFFa" },
        { StringEncoding::UTF8, bytes({ 0xEF, 0xBB, 0xBF, 0x61 }), u"\uFEFFa" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(stringWithData(c.data, c.encoding).value_or("failed"), String(c.expected)) << hex(c.data);
}

TEST(StringEncoding, PlatformAndCoreFoundationNumbersMapBothWays)
{
    struct Case {
        StringEncoding encoding;
        CFStringEncoding cf;
    };
    const Case cases[] = {
        { StringEncoding::ASCII, 0x0600 },
        { StringEncoding::UTF8, 0x08000100 },
        { StringEncoding::ShiftJIS, 0x0420 },
        { StringEncoding::Unicode, 0x0100 },
        { StringEncoding::WindowsCP1252, 0x0500 },
        { StringEncoding::MacOSRoman, 0 },
        { StringEncoding::UTF16LittleEndian, 0x14000100 },
        { StringEncoding::UTF32, 0x0c000100 },
        { static_cast<StringEncoding>(0x80000001), CFStringEncodings::MacJapanese },
        { static_cast<StringEncoding>(0x80000632), CFStringEncodings::GB_18030_2000 },
        { static_cast<StringEncoding>(0x80000A01), CFStringEncodings::ShiftJIS },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convertStringEncodingToCFStringEncoding(c.encoding), c.cf) << static_cast<std::uint64_t>(c.encoding);
        EXPECT_EQ(convertCFStringEncodingToStringEncoding(c.cf), c.encoding) << c.cf;
    }
    EXPECT_EQ(
        convertStringEncodingToCFStringEncoding(static_cast<StringEncoding>(0xFFFFFFFF)), CFStringEncodings::InvalidId);
}

TEST(StringEncoding, NamesAndMacCompatibility)
{
    struct Case {
        const char* name;
        std::optional<StringEncoding> encoding;
    };
    const Case cases[] = {
        { "utf-8", StringEncoding::UTF8 },
        { "UTF8", StringEncoding::UTF8 }, // an alias
        { "Latin1", StringEncoding::ISOLatin1 },
        { "WINDOWS-1252", StringEncoding::WindowsCP1252 },
        { "Shift_JIS", static_cast<StringEncoding>(0x80000A01) },
        { "cp932", StringEncoding::ShiftJIS },
        { "macintosh", StringEncoding::MacOSRoman },
        { "UTF-16", StringEncoding::Unicode },
        { "no-such-charset", std::nullopt },
        { "", std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(stringEncodingFromIANACharSetName(c.name), c.encoding) << c.name;
    EXPECT_EQ(IANACharSetNameOfStringEncoding(StringEncoding::WindowsCP1251), String("windows-1251"));
    EXPECT_EQ(IANACharSetNameOfStringEncoding(StringEncoding::NonLossyASCII), std::nullopt);
    EXPECT_EQ(localizedNameOfStringEncoding(StringEncoding::WindowsCP1252), String("Western (Windows Latin 1)"));
    EXPECT_EQ(localizedNameOfStringEncoding(static_cast<StringEncoding>(12345)), String());

    EXPECT_EQ(mostCompatibleMacStringEncoding(StringEncoding::UTF16BigEndian), CFStringEncodings::Unicode);
    EXPECT_EQ(mostCompatibleMacStringEncoding(StringEncoding::WindowsCP1252), CFStringEncodings::MacRoman);
    EXPECT_EQ(mostCompatibleMacStringEncoding(StringEncoding::ShiftJIS), CFStringEncodings::MacJapanese);
    EXPECT_EQ(mostCompatibleMacStringEncoding(StringEncoding::WindowsCP1251), CFStringEncodings::MacCyrillic);
    EXPECT_EQ(mostCompatibleMacStringEncoding(static_cast<StringEncoding>(12345)), CFStringEncodings::InvalidId);
}

TEST(StringEncoding, DefaultCStringEncodingFollowsTheLocaleCodeset)
{
    const char* saved[3];
    const char* names[] = { "LC_ALL", "LC_CTYPE", "LANG" };
    for (int i = 0; i < 3; ++i) {
        saved[i] = std::getenv(names[i]);
        unsetenv(names[i]);
    }
    EXPECT_EQ(defaultCStringEncoding(), StringEncoding::UTF8);
    setenv("LANG", "de_DE.ISO-8859-1", 1);
    EXPECT_EQ(defaultCStringEncoding(), StringEncoding::ISOLatin1);
    setenv("LC_ALL", "ja_JP.eucJP", 1);
    EXPECT_EQ(defaultCStringEncoding(), StringEncoding::JapaneseEUC);
    setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_EQ(defaultCStringEncoding(), StringEncoding::UTF8);
    for (int i = 0; i < 3; ++i) {
        if (saved[i])
            setenv(names[i], saved[i], 1);
        else
            unsetenv(names[i]);
    }
}

TEST(StringEncoding, DetectsUTF16AndLatin1Samples)
{
    const String text = "Der Bäcker öffnet früh am Morgen seine Tür, und die Kunden genießen frische Brötchen mit "
                        "Käse. Übermorgen gibt es Kuchen für alle Gäste im Café am Marktplatz.";
    struct Case {
        StringEncoding written;
        StringEncoding detected;
    };
    const Case cases[] = {
        { StringEncoding::ISOLatin1, StringEncoding::ISOLatin1 },
        { StringEncoding::UTF16LittleEndian, StringEncoding::UTF16LittleEndian },
        { StringEncoding::UTF16BigEndian, StringEncoding::UTF16BigEndian },
        { StringEncoding::Unicode, StringEncoding::Unicode }, // with its mark
        { StringEncoding::UTF8, StringEncoding::UTF8 },
    };
    for (const Case& c : cases) {
        Data data = dataUsingEncoding(text, c.written).value();
        auto detected = detectStringEncoding(std::span(data.bytes(), data.length()));
        ASSERT_TRUE(detected) << localizedNameOfStringEncoding(c.written);
        EXPECT_EQ(*detected, c.detected) << localizedNameOfStringEncoding(c.written) << " detected as "
                                         << localizedNameOfStringEncoding(*detected);
        EXPECT_EQ(stringWithData(data, *detected).value_or("failed"), text);
    }
    EXPECT_EQ(detectStringEncoding({}), std::nullopt);
}

TEST(StringEncoding, ADecodingStartsAfreshWhateverTheOneBeforeLeftBehind)
{
    // Shifted into JIS X 0208 and never shifted back; a sequence cut short; a failure halfway through.
    const Data shifted = bytes({ 0x1B, 0x24, 0x42, 0x46, 0x7C });
    EXPECT_EQ(stringWithData(shifted, StringEncoding::ISO2022JP).value_or("?"), String("日"));
    EXPECT_EQ(stringWithData(bytes({ 0x46, 0x7C }), StringEncoding::ISO2022JP).value_or("?"), String("F|"));
    EXPECT_FALSE(stringWithData(bytes({ 'a', 0xE2, 0x82 }), StringEncoding::UTF8));
    EXPECT_EQ(stringWithData(bytes({ 0xAC, 'b' }), StringEncoding::UTF8).value_or("?"), String("?"));
    EXPECT_EQ(stringWithData(bytes({ 'b' }), StringEncoding::UTF8).value_or("?"), String("b"));
    EXPECT_FALSE(stringWithData(bytes({ 0xFF, 0xFE, 0x3D, 0xD8 }), StringEncoding::Unicode));
    EXPECT_EQ(stringWithData(bytes({ 0xFF, 0xFE, 0x00, 0xDE }), StringEncoding::Unicode).has_value(), false);
    EXPECT_EQ(stringWithData(bytes({ 0xFF, 0xFE, 0x61, 0x00 }), StringEncoding::Unicode).value_or("?"), String("a"));
}
