#include "FormatterFixture.h"

#include "frameworks/FoundationExtensions/ZFMArrayFormatter.h"
#include "frameworks/FoundationExtensions/ZFMOrdinalNumberFormatter.h"
#include "frameworks/FoundationExtensions/ZFMURLRequestFormatter.h"

#include "platform/foundation/services/CookieStore.h"
#include "support/Command.h"
#include "support/Raised.h"

#include <filesystem>
#include <fstream>

namespace {

using fnd::String;

using OrdinalNumberFormatter = FormatterTest;

std::shared_ptr<ZFMOrdinalNumberFormatter> ordinalFormatter(const char* locale)
{
    auto formatter = fnd::makeObject<ZFMOrdinalNumberFormatter>();
    formatter->setLocale(fnd::Locale(locale));
    return formatter;
}

TEST_F(OrdinalNumberFormatter, IndicatorsByLanguage)
{
    auto en = ordinalFormatter("en_GB");
    struct Case {
        int n;
        const char* expected;
    };
    for (const auto& c : { Case { 1, "1st" }, Case { 2, "2nd" }, Case { 3, "3rd" }, Case { 4, "4th" },
             Case { 11, "11th" }, Case { 12, "12th" }, Case { 13, "13th" }, Case { 21, "21st" }, Case { 111, "111th" },
             Case { 112, "112th" }, Case { 122, "122nd" }, Case { 0, "0th" } })
        EXPECT_EQ(en->stringFromNumber(c.n), String(c.expected)) << c.n;

    auto fr = ordinalFormatter("fr_FR");
    EXPECT_EQ(fr->stringFromNumber(1), String("1er"));
    fr->setGrammaticalGender(ZFMOrdinalNumberFormatter::Feminine);
    EXPECT_EQ(fr->stringFromNumber(1), String("1re"));
    EXPECT_EQ(fr->stringFromNumber(2), String("2e"));
    fr->setGrammaticalNumber(6);
    EXPECT_EQ(fr->stringFromNumber(2), String("2es"));
    EXPECT_EQ(fr->stringFromNumber(1), String("1res"));

    auto es = ordinalFormatter("es_ES");
    EXPECT_EQ(es->stringFromNumber(3), String("3."));
    es->setGrammaticalGender(ZFMOrdinalNumberFormatter::Masculine);
    EXPECT_EQ(es->stringFromNumber(3), String("3\u00BA"));
    auto it = ordinalFormatter("it_IT");
    it->setGrammaticalGender(ZFMOrdinalNumberFormatter::Feminine);
    EXPECT_EQ(it->stringFromNumber(3), String("3\u00AA"));
    EXPECT_EQ(ordinalFormatter("nl_NL")->stringFromNumber(5), String("5e"));
    EXPECT_EQ(ordinalFormatter("ga_IE")->stringFromNumber(5), String("5\u00FA"));
    EXPECT_EQ(ordinalFormatter("ja_JP")->stringFromNumber(5), String("5\u756A"));
    EXPECT_EQ(ordinalFormatter("zh_Hans_CN")->stringFromNumber(5), String("\u7B2C5")) << "before the number";
    EXPECT_EQ(ordinalFormatter("de_DE")->stringFromNumber(5), String("5."));
    EXPECT_EQ(ordinalFormatter("sv_SE")->stringFromNumber(5), String("5."));

    en->setOrdinalIndicator(String(" (n)"));
    EXPECT_EQ(en->stringFromNumber(2), String("2 (n)")) << "a set indicator wins";
    EXPECT_EQ(en->stringForObjectValue(fnd::Value(7.9)), String("7 (n)")) << "whole numbers, rounded down";
    EXPECT_EQ(en->stringForObjectValue(fnd::Value("7")), std::nullopt);
}

TEST_F(OrdinalNumberFormatter, ParsingReadsTheLeadingNumberAndRoundTrips)
{
    auto en = ordinalFormatter("en_US");
    for (int n = 0; n <= 130; ++n) {
        auto text = en->stringFromNumber(n);
        EXPECT_EQ(en->getObjectValue(text), fnd::Value(n)) << text;
    }
    EXPECT_EQ(en->getObjectValue("  42nd place"), fnd::Value(42));
    EXPECT_EQ(en->getObjectValue("first"), std::unexpected(String("String did not contain a valid ordinal number")));
    EXPECT_EQ(en->getObjectValue("99999999999999999999th"),
        std::unexpected(String("String did not contain a valid ordinal number")))
        << "an overflowing number is no number";

    en->setGrammaticalGender(ZFMOrdinalNumberFormatter::Feminine);
    en->setOrdinalIndicator(String("x"));
    auto decoded = throughArchive(en);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->grammaticalGender(), ZFMOrdinalNumberFormatter::Feminine);
    EXPECT_EQ(decoded->stringFromNumber(3), String("3x"));
}

using ArrayFormatter = FormatterTest;

TEST_F(ArrayFormatter, SentencesAndPlainLists)
{
    auto formatter = fnd::makeObject<ZFMArrayFormatter>();
    EXPECT_EQ(formatter->stringFromArray({}), String());
    EXPECT_EQ(formatter->stringFromArray({ "a" }), String("a"));
    EXPECT_EQ(formatter->stringFromArray({ "a", "b" }), String("a and b"));
    EXPECT_EQ(formatter->stringFromArray({ "a", "b", "c" }), String("a, b, and c"));
    EXPECT_EQ(formatter->stringFromArray({ 1, 2.5, "c", "d" }), String("1, 2.5, c, and d"));
    formatter->setUsesSerialDelimiter(false);
    EXPECT_EQ(formatter->stringFromArray({ "a", "b", "c" }), String("a, b and c"));
    formatter->setUsesAbbreviatedConjunction(true);
    EXPECT_EQ(formatter->stringFromArray({ "a", "b", "c" }), String("a, b & c"));
    formatter->setArrayStyle(ZFMArrayFormatter::PlainList);
    EXPECT_EQ(formatter->stringFromArray({ "a", "b", "c" }), String("a, b, c"));
    EXPECT_EQ(
        ZFMArrayFormatter::localizedStringFromArray({ "x", "y" }, ZFMArrayFormatter::Sentence), String("x and y"));

    // Where each element's text stands; a nil element writes nothing.
    auto sentence = fnd::makeObject<ZFMArrayFormatter>();
    std::vector<fnd::Range> ranges;
    auto text = sentence->stringFromArray({ "one", fnd::Value(), "three", "four" }, &ranges);
    EXPECT_EQ(text, String("one, three, and four"));
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(text.substring(ranges[0]), String("one"));
    EXPECT_EQ(text.substring(ranges[1]), String("three"));
    EXPECT_EQ(text.substring(ranges[2]), String("four"));
    EXPECT_EQ(sentence->stringForObjectValue(fnd::Value(fnd::Array { "p", "q" })), String("p and q"));
    EXPECT_EQ(sentence->stringForObjectValue(fnd::Value("p")), std::nullopt);

    formatter->setDelimiter(";");
    auto decoded = throughArchive(formatter);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->arrayStyle(), ZFMArrayFormatter::PlainList);
    EXPECT_FALSE(decoded->usesSerialDelimiter());
    EXPECT_EQ(decoded->stringFromArray({ "a", "b" }), String("a; b"));
}

TEST_F(ArrayFormatter, SplittingKeepsSeparatorsAndWordsThatHoldTheConjunction)
{
    auto formatter = fnd::makeObject<ZFMArrayFormatter>();
    EXPECT_EQ(formatter->arrayFromString("a, b, and c"), (fnd::StringArray { "a", " b", " ", " c" }));
    EXPECT_EQ(formatter->arrayFromString("a and b"), (fnd::StringArray { "a ", " b" }));
    // "and" inside a name is no conjunction.
    EXPECT_EQ(formatter->arrayFromString("Alexander and Sandy"), (fnd::StringArray { "Alexander ", " Sandy" }));
    EXPECT_EQ(formatter->arrayFromString("Ann, Alexander"), (fnd::StringArray { "Ann", " Alexander" }));
    EXPECT_EQ(formatter->arrayFromString("Band"), (fnd::StringArray { "Band" }));

    // A plain list without separators reads back as it was written.
    formatter->setArrayStyle(ZFMArrayFormatter::PlainList);
    formatter->setSeparator("");
    fnd::Array words { "red", "green", "blue" };
    auto text = formatter->stringFromArray(words);
    EXPECT_EQ(text, String("red,green,blue"));
    EXPECT_EQ(formatter->getObjectValue(text), fnd::Value(words));
}

using URLRequestFormatter = FormatterTest;

// How a POSIX shell splits the line into words.
std::vector<std::string> shellWords(const String& line)
{
    auto path = std::filesystem::temp_directory_path() / ("shell-words-" + std::to_string(getpid()) + ".sh");
    {
        std::ofstream script(path);
        script << "set -- " << line.utf8() << "\nfor word; do printf '[%s]\\n' \"$word\"; done\n";
    }
    auto result = testsupport::runCommand("sh '" + path.string() + "'");
    std::filesystem::remove(path);
    std::vector<std::string> words;
    std::size_t start = 0;
    const auto& out = result.output;
    while ((start = out.find('[', start)) != std::string::npos) {
        auto end = out.find("]\n", start);
        if (end == std::string::npos)
            break;
        words.push_back(out.substr(start + 1, end - start - 1));
        start = end + 2;
    }
    return words;
}

TEST_F(URLRequestFormatter, CommandLinesRepeatTheRequestWordForWord)
{
    fnd::URLRequest get(String("https://example.org/a?b=1&c=2"));
    auto formatter = fnd::makeObject<ZFMURLRequestFormatter>();
    EXPECT_EQ(formatter->stringFromURLRequest(get), String("GET 'https://example.org/a?b=1&c=2'"));
    EXPECT_EQ(
        ZFMURLRequestFormatter::cURLCommandFromURLRequest(get), String("curl -X GET 'https://example.org/a?b=1&c=2'"));
    EXPECT_EQ(ZFMURLRequestFormatter::WgetCommandFromURLRequest(get), String("wget 'https://example.org/a?b=1&c=2'"));

    // Everything a shell reads specially arrives unchanged.
    const std::string body = " $HOME `id` \"q\" \\n 'single' ";
    fnd::URLRequest post(String("http://example.org/submit"));
    post.setHTTPMethod("POST");
    post.setHTTPBody(fnd::Data::fromString(body));
    post.setValue("gzip, deflate", "Accept-Encoding");
    post.setValue("it's \"quoted\" $x", "X-Note");
    fnd::HTTPCookieStorage::sharedHTTPCookieStorage().removeAllCookies();
    fnd::HTTPCookie cookie;
    cookie.name = "session";
    cookie.value = "a b;c";
    cookie.domain = "example.org";
    fnd::HTTPCookieStorage::sharedHTTPCookieStorage().setCookie(cookie);

    auto curl = ZFMURLRequestFormatter::cURLCommandFromURLRequest(post);
    EXPECT_EQ(shellWords(curl),
        (std::vector<std::string> { "curl", "-X", "POST", "-d", body, "--compressed", "--cookie", "session=a b;c", "-H",
            "Accept-Encoding: gzip, deflate", "-H", "X-Note: it's \"quoted\" $x", "http://example.org/submit" }))
        << curl;
    auto wget = ZFMURLRequestFormatter::WgetCommandFromURLRequest(post);
    EXPECT_EQ(shellWords(wget),
        (std::vector<std::string> { "wget", "--post-data=" + body, "--header=Accept-Encoding: gzip, deflate",
            "--header=X-Note: it's \"quoted\" $x", "http://example.org/submit" }))
        << wget;
    fnd::HTTPCookieStorage::sharedHTTPCookieStorage().removeAllCookies();

    fnd::URLRequest put(String("http://example.org/"));
    put.setHTTPMethod("PUT");
    auto raised = ::raised([&] { ZFMURLRequestFormatter::WgetCommandFromURLRequest(put); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->name(), String("Invalid HTTP Method"));
    EXPECT_EQ(raised->reason(), String("Wget can only make GET and POST requests"));
    EXPECT_EQ(ZFMURLRequestFormatter::cURLCommandFromURLRequest(put), String("curl -X PUT http://example.org/"));

    String line = "curl";
    ZFMURLRequestFormatter::appendCommandLineArgument(line, "  -k\n");
    EXPECT_EQ(line, String("curl -k"));
    EXPECT_EQ(ZFMURLRequestFormatter::shellQuoted(""), String("''"));
}

TEST_F(URLRequestFormatter, ResponsesAsSummaries)
{
    auto formatter = fnd::makeObject<ZFMHTTPURLResponseFormatter>();
    fnd::HTTPURLResponse response(String("https://example.org/x"), 404, {});
    EXPECT_EQ(formatter->stringFromHTTPURLResponse(response), String("404 'https://example.org/x'"));
    EXPECT_EQ(formatter->getObjectValue("404"), std::unexpected(String("Method Not Implemented")));

    // Handed as a value, as a control or a binding hands it: the response object formats, nothing else does.
    auto held = std::make_shared<fnd::HTTPURLResponse>(String("http://example.org/"), 200, fnd::HTTPHeaderFields {});
    EXPECT_EQ(formatter->stringForObjectValue(fnd::Value(held)), std::optional<String>("200 'http://example.org/'"));
    EXPECT_EQ(formatter->stringForObjectValue(fnd::Value("200 'http://example.org/'")), std::nullopt);
    EXPECT_EQ(formatter->stringForObjectValue(fnd::Value()), std::nullopt);
}

}
