#include "frameworks/FoundationExtensions/ZORCSVExport.h"
#include "frameworks/FoundationExtensions/ZORCSVParser.h"

#include "platform/foundation/runtime/Object.h"

#include "support/Command.h"
#include "support/Raised.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Collects what the reader reports: the rows, and every event in order.
class RowCollector : public ZORCSVParserDelegate {
public:
    void parserDidStartDocument(ZORCSVParser&, const fnd::String&) override { events.push_back("start"); }
    void parserDidStartLine(ZORCSVParser& parser, std::uint64_t line) override
    {
        events.push_back("line " + std::to_string(line));
        rows.emplace_back();
        if (cancelAtLine == line)
            parser.cancelParsing();
    }
    void parserDidReadField(ZORCSVParser&, const fnd::String& field) override
    {
        events.push_back("field");
        rows.back().push_back(field.utf8());
    }
    void parserDidEndLine(ZORCSVParser&, std::uint64_t line) override
    {
        events.push_back("end " + std::to_string(line));
    }
    void parserDidEndDocument(ZORCSVParser&, const fnd::String&) override { events.push_back("done"); }
    void parserDidFailWithError(ZORCSVParser&, const fnd::Error& e) override
    {
        events.push_back("fail");
        error = e;
    }

    Rows rows;
    std::vector<std::string> events;
    std::optional<fnd::Error> error;
    std::uint64_t cancelAtLine { 0 };
};

std::shared_ptr<RowCollector> parseData(
    const std::string& bytes, fnd::StringEncoding encoding = fnd::StringEncoding::UTF8, std::uint64_t chunkSize = 0)
{
    auto parser = ZORCSVParser::initWithStream(fnd::InputStream::withData(fnd::Data::fromString(bytes)), encoding);
    EXPECT_TRUE(parser);
    auto collector = std::make_shared<RowCollector>();
    if (!parser)
        return collector;
    if (chunkSize)
        (*parser)->setChunkSize(chunkSize);
    (*parser)->setParserDelegate(collector);
    (*parser)->parse();
    return collector;
}

Rows rowsOf(const std::string& text)
{
    auto collector = parseData(text);
    EXPECT_FALSE(collector->error) << text << ": " << collector->error->localizedDescription();
    return collector->rows;
}

TEST(CSVReader, ReadsTheLineFieldAndQuoteEdgeCases)
{
    const std::pair<std::string, Rows> cases[] = {
        { "a,b\r\nc", { { "a", "b" }, { "c" } } },
        { "\"x\"\"y\"", { { "x\"y" } } },
        { "\"a,b\nc\",d\n", { { "a,b\nc", "d" } } },
        { "a,", { { "a" } } },
        { "a,\n", { { "a", "" } } },
        { ",a\n", { { "", "a" } } },
        { "#comment,x\na\n", { { "a" } } },
        { "a\n\nb\n", { { "a" }, { "b" } } },
        { "\na", { { "" }, { "a" } } },
        { "a;b,c", { { "a;b", "c" } } },
        // Outside quotes a backslash escapes what follows and stays in the field.
        { "a\\,b,c", { { "a\\,b", "c" } } },
        // A quoted field starting with the delimiter keeps it.
        { "a,\",x\"\n", { { "a", ",x" } } },
        // Inside quotes a backslash is an ordinary character, even last.
        { "\"a\\\",b\n", { { "a\\", "b" } } },
        { "\xEF\xBB\xBFid,name\n", { { "id", "name" } } },
        { "\xC3\xA4,\xE2\x82\xAC,\xF0\x9D\x84\x9E\n", { { "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9D\x84\x9E" } } },
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(rowsOf(input), expected) << input;
}

TEST(CSVReader, ReportsEventsInOrderWithLineNumbersAndLineEnds)
{
    auto collector = parseData("#c\na,b\r\nc\r\n");
    EXPECT_EQ(collector->events,
        (std::vector<std::string> {
            "start", "line 1", "field", "field", "end 1", "line 2", "field", "end 2", "done" }));

    const std::pair<std::string, std::int32_t> ends[] = { { "a\r\nb", ZORCSVLineEnd::CRLF },
        { "a\rb", ZORCSVLineEnd::CR }, { "a\nb\r", ZORCSVLineEnd::LF }, { "a,b", ZORCSVLineEnd::NotFound } };
    for (const auto& [input, code] : ends) {
        auto parser = *ZORCSVParser::initWithCSVString(input, fnd::StringEncoding::UTF8);
        parser->parse();
        EXPECT_EQ(parser->detectedLineEnd(), code) << input;
    }
}

TEST(CSVReader, MalformedAndUndecodableInputFailsNamingTheLine)
{
    auto unclosed = parseData("a,b\nc,\"open\nd\n");
    ASSERT_TRUE(unclosed->error);
    EXPECT_EQ(unclosed->error->code(), ZORCSVError::Malformed);
    EXPECT_EQ(unclosed->error->userInfo().get(ZORCSVError::LineNumberKey).integerValue(), 2);
    EXPECT_NE(unclosed->error->localizedDescription().utf8().find("line 2"), std::string::npos);
    EXPECT_EQ(unclosed->events.back(), "fail");

    auto lone = parseData("a,\"");
    ASSERT_TRUE(lone->error);
    EXPECT_EQ(lone->error->code(), ZORCSVError::Malformed);

    for (std::uint64_t chunk : { 0, 3 }) {
        auto parser = *ZORCSVParser::initWithStream(
            fnd::InputStream::withData(fnd::Data::fromString("a,b\nc\n\"d\ne\xff\",f\n")), fnd::StringEncoding::UTF8);
        auto collector = std::make_shared<RowCollector>();
        parser->setParserDelegate(collector);
        if (chunk)
            parser->setChunkSize(chunk);
        parser->parse();
        ASSERT_TRUE(collector->error);
        EXPECT_EQ(collector->error->code(), ZORCSVError::Input);
        EXPECT_EQ(collector->error->userInfo().get(ZORCSVError::LineNumberKey).integerValue(), 4) << chunk;
        EXPECT_TRUE(parser->encodingErrorOccured());
        EXPECT_EQ(collector->rows, (Rows { { "a", "b" }, { "c" }, {} }));
    }

    auto missing = ZORCSVParser::initWithContentsOfCSVFile("/nonexistent/file.csv", fnd::StringEncoding::UTF8);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().localizedDescription(), "Unable to open file for reading");
}

TEST(CSVReader, DecodesCharactersSplitAcrossChunksAndByteOrderMarks)
{
    const std::string text = "\xC3\xA4\xC3\xB6,\xE2\x82\xAC\r\n\xF0\x9D\x84\x9E,x\n";
    const Rows expected { { "\xC3\xA4\xC3\xB6", "\xE2\x82\xAC" }, { "\xF0\x9D\x84\x9E", "x" } };
    for (std::uint64_t chunk = 1; chunk <= 9; ++chunk)
        EXPECT_EQ(parseData(text, fnd::StringEncoding::UTF8, chunk)->rows, expected) << chunk;
    // A chunk is read into memory at once: a size no memory holds is taken as the largest, 16 MiB.
    for (std::uint64_t chunk : { std::uint64_t { 1 } << 40, ~std::uint64_t { 0 } })
        EXPECT_EQ(parseData(text, fnd::StringEncoding::UTF8, chunk)->rows, expected) << chunk;
    auto parser = ZORCSVParser::initWithCSVString("a", fnd::StringEncoding::UTF8);
    ASSERT_TRUE(parser);
    (*parser)->setChunkSize(std::uint64_t { 1 } << 40);
    EXPECT_EQ((*parser)->chunkSize(), 16u * 1024 * 1024);

    auto utf16 = [](const std::string& utf8, bool little) {
        auto units = fnd::String(utf8).units();
        std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t u : units) {
            char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
            out += little ? std::string { lo, hi } : std::string { hi, lo };
        }
        return out;
    };
    for (bool little : { true, false }) {
        for (std::uint64_t chunk : { 0, 3, 5 })
            EXPECT_EQ(parseData(utf16(text, little), fnd::StringEncoding::Unicode, chunk)->rows, expected)
                << little << " " << chunk;
    }
    EXPECT_EQ(parseData(std::string("\xFF\xFE\0\0a\0\0\0", 8), fnd::StringEncoding::UTF32)->rows, (Rows { { "a" } }));

    // A mark longer than a chunk is still read whole: UTF-32 little-endian is not taken for UTF-16 little-endian.
    const std::string utf32le("\xFF\xFE\0\0a\0\0\0,\0\0\0b\0\0\0\n\0\0\0", 20);
    for (std::uint64_t chunk = 1; chunk <= 5; ++chunk) {
        auto read = parseData(utf32le, fnd::StringEncoding::UTF32, chunk);
        EXPECT_FALSE(read->error) << "chunks of " << chunk;
        EXPECT_EQ(read->rows, (Rows { { "a", "b" } })) << "chunks of " << chunk;
    }
    // A stream shorter than any mark is plain big-endian text.
    EXPECT_EQ(parseData(std::string("\0a", 2), fnd::StringEncoding::Unicode, 1)->rows, (Rows { { "a" } }));
}

// Encodings with shift sequences: a chunk cut after "ESC $ B" (ISO-2022-JP), SO (ISO-2022-KR) or "+" (UTF-7) holds
// bytes whose meaning the sequence before set. Read in chunks of any size, the text is the one read whole.
TEST(CSVReader, TextWithShiftSequencesReadsAlikeInChunksOfAnySize)
{
    const std::string text = "\xE6\x97\xA5\xE6\x9C\xAC,\xE8\xAA\x9E\n\xEB\x8B\xA8,\xEC\x96\xB4\xE3\x81\x8B\n";
    const Rows expected { { "\xE6\x97\xA5\xE6\x9C\xAC", "\xE8\xAA\x9E" },
        { "\xEB\x8B\xA8", "\xEC\x96\xB4\xE3\x81\x8B" } };
    struct Case {
        const char* name;
        fnd::StringEncoding encoding;
        std::string text;
        Rows rows;
    };
    const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC,\xE8\xAA\x9E\n\xE3\x81\x8B,\xE3\x81\x8B\xE3\x81\xAA\n";
    const Rows japaneseRows { { "\xE6\x97\xA5\xE6\x9C\xAC", "\xE8\xAA\x9E" },
        { "\xE3\x81\x8B", "\xE3\x81\x8B\xE3\x81\xAA" } };
    const std::string korean = "\xED\x95\x9C\xEA\xB8\x80,\xEB\x8B\xA8\n\xEC\x96\xB4,x\n";
    const Rows koreanRows { { "\xED\x95\x9C\xEA\xB8\x80", "\xEB\x8B\xA8" }, { "\xEC\x96\xB4", "x" } };
    const Case cases[] = {
        { "ISO-2022-JP", fnd::StringEncoding::ISO2022JP, japanese, japaneseRows },
        { "ISO-2022-KR", fnd::convertCFStringEncodingToStringEncoding(fnd::CFStringEncodings::ISO_2022_KR), korean,
            koreanRows },
        { "UTF-7", fnd::convertCFStringEncodingToStringEncoding(fnd::CFStringEncodings::UTF7), text, expected },
    };
    for (const auto& c : cases) {
        if (!fnd::isAvailableStringEncoding(c.encoding))
            continue;
        auto bytes = fnd::dataUsingEncoding(fnd::String(c.text), c.encoding);
        ASSERT_TRUE(bytes) << c.name;
        const std::string encoded(bytes->view());
        for (std::uint64_t chunk = 1; chunk <= encoded.size() + 1; ++chunk) {
            auto read = parseData(encoded, c.encoding, chunk);
            EXPECT_FALSE(read->error) << c.name << " in chunks of " << chunk;
            EXPECT_EQ(read->rows, c.rows) << c.name << " in chunks of " << chunk;
        }
    }
}

TEST(CSVReader, WithoutAStreamThereIsAnErrorNotAReader)
{
    auto parser = ZORCSVParser::initWithStream(nullptr, fnd::StringEncoding::UTF8);
    ASSERT_FALSE(parser);
    EXPECT_EQ(parser.error().localizedDescription(), fnd::String("Unable to open file for reading"));
}

TEST(CSVReader, DelimitersAreCheckedAndSeparatorsDetected)
{
    auto parser = *ZORCSVParser::initWithCSVString("a|b", fnd::StringEncoding::UTF8);
    parser->setSeparatorType(ZORCSVSeparator::Semicolon);
    EXPECT_EQ(parser->separatorType(), ZORCSVSeparator::Semicolon);
    parser->setSeparatorType(7);
    EXPECT_EQ(parser->delimiter(), ";");
    parser->setDelimiter("|");
    EXPECT_EQ(parser->separatorType(), ZORCSVSeparator::NotFound);
    // The separators the writer, the sniffing and the CSV fuzz target take from the list: each code sets its
    // character and reads back.
    std::vector<std::pair<std::int64_t, fnd::String>> listed;
    for (const auto& separator : ZORCSVSeparator::All) {
        parser->setSeparatorType(separator.code);
        EXPECT_EQ(parser->separatorType(), separator.code);
        listed.emplace_back(separator.code, parser->delimiter());
    }
    EXPECT_EQ(listed,
        (std::vector<std::pair<std::int64_t, fnd::String>> {
            { ZORCSVSeparator::Comma, "," }, { ZORCSVSeparator::Semicolon, ";" }, { ZORCSVSeparator::Tab, "\t" } }));
    parser->setDelimiter("|");
    for (const char* bad : { "", "ab", "#", "\"", "\\", "\n", "\r" })
        EXPECT_TRUE(raised([&] { parser->setDelimiter(bad); })) << bad;

    struct Setter : RowCollector {
        void parserDidStartLine(ZORCSVParser& p, std::uint64_t line) override
        {
            RowCollector::parserDidStartLine(p, line);
            refused = raised([&] { p.setDelimiter(";"); }).has_value();
        }
        bool refused { false };
    };
    auto setter = std::make_shared<Setter>();
    parser->setParserDelegate(setter);
    parser->parse();
    EXPECT_TRUE(setter->refused);
    EXPECT_EQ(setter->rows, (Rows { { "a", "b" } }));

    testsupport::TemporaryFolder folder;
    const std::pair<std::string, std::int64_t> files[] = { { "a;b,c", ZORCSVSeparator::Semicolon },
        { "a\tb", ZORCSVSeparator::Tab }, { "\"a,b\"", ZORCSVSeparator::Comma }, { "ab\n,", ZORCSVSeparator::NotFound },
        { "abc", ZORCSVSeparator::NotFound }, { std::string(3000, 'x') + ",", ZORCSVSeparator::NotFound } };
    for (const auto& [content, code] : files)
        EXPECT_EQ(ZORCSVParser::autodetectSeparatorForCSVFile(folder.write("f.csv", content)), code) << content;
    EXPECT_EQ(ZORCSVParser::autodetectSeparatorForCSVFile(folder.file("missing.csv")), ZORCSVSeparator::NotFound);
}

TEST(CSVReader, CancellingStopsTheParseAndAFileParsesAgainFromTheStart)
{
    testsupport::TemporaryFolder folder;
    auto path = folder.write("rows.csv", "a\nb\nc\n");
    auto parser = *ZORCSVParser::initWithContentsOfCSVFile(path.c_str(), fnd::StringEncoding::UTF8);
    EXPECT_EQ(parser->csvFile(), fnd::String(path));

    auto cancelling = std::make_shared<RowCollector>();
    cancelling->cancelAtLine = 2;
    parser->setParserDelegate(cancelling);
    parser->parse();
    ASSERT_TRUE(cancelling->error);
    EXPECT_EQ(cancelling->error->code(), ZORCSVError::Cancelled);
    EXPECT_EQ(cancelling->rows, (Rows { { "a" }, {} }));

    auto again = std::make_shared<RowCollector>();
    parser->setParserDelegate(again);
    parser->parse();
    EXPECT_FALSE(again->error);
    EXPECT_EQ(again->rows, (Rows { { "a" }, { "b" }, { "c" } }));
}

// A parse started from a callback once reset the running one under its feet: the outer parse read freed text and
// reported the document twice. It is refused as a delimiter change is, and the running parse goes on unharmed.
TEST(CSVReader, AParseWhileOneRunsIsRefused)
{
    struct Reentering : RowCollector {
        void parserDidReadField(ZORCSVParser& p, const fnd::String& field) override
        {
            RowCollector::parserDidReadField(p, field);
            if (inside)
                return;
            inside = true;
            auto refusal = raised([&] { p.parse(); });
            inside = false;
            if (!refusal)
                return;
            ++refusals;
            if (letItOut)
                throw *refusal;
        }
        int refusals { 0 };
        bool letItOut { false };
        bool inside { false };
    };
    // Long enough that the text goes on being read, and dropped, in chunks after the first callback.
    std::string text = "a,b\nc\n";
    for (int i = 0; i < 2000; ++i)
        text += "field" + std::to_string(i) + ",x\n";
    auto parser = *ZORCSVParser::initWithCSVString(text, fnd::StringEncoding::UTF8);
    parser->setChunkSize(64);
    auto reentering = std::make_shared<Reentering>();
    parser->setParserDelegate(reentering);
    parser->parse();
    EXPECT_FALSE(reentering->error);
    ASSERT_EQ(reentering->rows.size(), 2002u);
    EXPECT_EQ(reentering->rows[0], (std::vector<std::string> { "a", "b" }));
    EXPECT_EQ(reentering->rows[2001], (std::vector<std::string> { "field1999", "x" }));
    EXPECT_EQ(reentering->refusals, 4003);
    EXPECT_EQ(std::count(reentering->events.begin(), reentering->events.end(), "start"), 1);
    EXPECT_EQ(std::count(reentering->events.begin(), reentering->events.end(), "done"), 1);

    // A refusal the delegate lets out ends the parse; the parser is then idle and parses from the start again.
    auto escaping = std::make_shared<Reentering>();
    escaping->letItOut = true;
    parser->setParserDelegate(escaping);
    auto e = raised([&] { parser->parse(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_FALSE(raised([&] { parser->setDelimiter(","); }));
    auto again = std::make_shared<RowCollector>();
    parser->setParserDelegate(again);
    parser->parse();
    EXPECT_FALSE(again->error);
    EXPECT_EQ(again->rows.size(), 2002u);
}

TEST(CSVReader, TrimsSpacesOnlyWhenAsked)
{
    auto parser = *ZORCSVParser::initWithCSVString(" a , \" b \"\n", fnd::StringEncoding::UTF8);
    auto collector = std::make_shared<RowCollector>();
    parser->setParserDelegate(collector);
    parser->parse();
    EXPECT_EQ(collector->rows, (Rows { { " a ", " \" b \"" } }));

    parser->setTrimSpaces(true);
    auto trimmed = std::make_shared<RowCollector>();
    parser->setParserDelegate(trimmed);
    parser->parse();
    EXPECT_EQ(trimmed->rows, (Rows { { "a", "\" b \"" } }));
}

// A value that writes itself through stringRepresentation.
class Describable : public fnd::Object {
    FND_OBJECT(Describable)
    static void describeClass(fnd::ClassBuilder<Describable>& c)
    {
        c.action("stringRepresentation", &Describable::stringRepresentation);
    }

public:
    fnd::String stringRepresentation() const { return "described, \"quoted\""; }
};
FND_REGISTER_CLASS(Describable, fnd::Object)

std::string hexRows(const Rows& rows)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            out += i ? " " : "";
            out += "<";
            for (unsigned char c : row[i])
                out += std::string { digits[c >> 4], digits[c & 15] };
            out += ">";
        }
        out += "\n";
    }
    return out;
}

// The rows as ZORCSVExport writes them into the file, with the separator and line end.
void writeRowsTo(const std::string& path, const Rows& rows, std::int64_t separator, std::int32_t lineEnd)
{
    ZORCSVExport writer(*fnd::FileHandle::createForWritingAtPath(path.c_str()));
    writer.setSeparatorType(separator);
    writer.setLineEndType(lineEnd);
    std::vector<fnd::Array> values;
    for (const auto& row : rows) {
        fnd::Array array;
        for (const auto& field : row)
            array.push_back(fnd::String(field));
        values.push_back(array);
    }
    ASSERT_TRUE(writer.writeRows(values));
    writer.filehandle()->closeFile();
}

TEST(CSVWriter, OutputReadsBackAsTheSameRowsHereAndInPython)
{
    const Rows rows {
        { "plain", "with space", "comma,inside", "semi;colon", "tab\there" },
        { "quote \"q\"", "\"", "line\nfeed", "carriage\rreturn", "both\r\nends" },
        { "back\\slash", "trailing\\", "\\", "a\\,b", "\\\"" },
        { "#not a comment", "", "\xC3\xA4\xC3\xB6\xC3\xBC \xE2\x82\xAC \xF0\x9D\x84\x9E", " lead", "trail " },
        { "" },
        { "\xEF\xBB\xBF"
          "bom",
            "x" },
    };
    testsupport::TemporaryFolder folder;
    for (const auto& [separator, character] : ZORCSVSeparator::All) {
        for (std::int32_t lineEnd : { ZORCSVLineEnd::CRLF, ZORCSVLineEnd::CR, ZORCSVLineEnd::LF }) {
            auto path = folder.file("out.csv");
            writeRowsTo(path, rows, separator, lineEnd);
            const std::string label = "separator " + std::to_string(separator) + " line end " + std::to_string(lineEnd);

            auto parser = *ZORCSVParser::initWithContentsOfCSVFile(path.c_str(), fnd::StringEncoding::UTF8);
            parser->setSeparatorType(separator);
            auto collector = std::make_shared<RowCollector>();
            parser->setParserDelegate(collector);
            parser->parse();
            EXPECT_FALSE(collector->error) << label;
            EXPECT_EQ(hexRows(collector->rows), hexRows(rows)) << label << "\n" << folder.read("out.csv");

            const std::string delimiter = character == '\t' ? "\\t" : std::string(1, character);
            auto python
                = testsupport::runCommand("python3 -c \"import csv, sys\n"
                                          "for row in csv.reader(open(sys.argv[1], newline='', encoding='utf-8'), "
                                          "delimiter='"
                    + delimiter
                    + "'):\n"
                      "    print(' '.join('<' + f.encode().hex() + '>' for f in row))\" "
                    + path);
            ASSERT_EQ(python.status, 0) << label;
            EXPECT_EQ(python.output, hexRows(rows)) << label << "\n" << folder.read("out.csv");
        }
    }
}

TEST(CSVWriter, FreshWriterUsesCommaAndCarriageReturnAndDescribesValues)
{
    testsupport::TemporaryFolder folder;
    auto path = folder.file("row.csv");
    ZORCSVExport writer(*fnd::FileHandle::createForWritingAtPath(path.c_str()));
    ASSERT_TRUE(writer.writeRow({ fnd::String("a"), 42, std::make_shared<Describable>() }));
    ASSERT_TRUE(writer.writeRow({ fnd::String("b") }));
    writer.setForceQuotes(true);
    ASSERT_TRUE(writer.writeRow({ fnd::String("c") }));
    writer.filehandle()->closeFile();
    EXPECT_EQ(folder.read("row.csv"), "a,42,\"described, \"\"quoted\"\"\"\rb\r\"c\"\r");

    ZORCSVExport latin;
    latin.setEncoding(fnd::StringEncoding::ISOLatin1);
    EXPECT_EQ(latin.encodeString("\u00e4")->vector(), std::vector<std::uint8_t> { 0xE4 });
    EXPECT_FALSE(latin.encodeString("\u20ac"));
    EXPECT_FALSE(latin.writeRow({ fnd::String("x") })) << "no file handle";
}

// What the writer wrote, read back with the separator it used, the text fed in chunks of the given size.
Rows readBack(const std::string& bytes, std::int64_t separator, std::uint64_t chunkSize)
{
    auto parser = *ZORCSVParser::initWithStream(
        fnd::InputStream::withData(fnd::Data::fromString(bytes)), fnd::StringEncoding::UTF8);
    parser->setSeparatorType(separator);
    parser->setChunkSize(chunkSize);
    auto collector = std::make_shared<RowCollector>();
    parser->setParserDelegate(collector);
    parser->parse();
    EXPECT_FALSE(collector->error) << bytes;
    return collector->rows;
}

std::string written(const Rows& rows, std::int64_t separator, std::int32_t lineEnd)
{
    testsupport::TemporaryFolder folder;
    writeRowsTo(folder.file("rows.csv"), rows, separator, lineEnd);
    return folder.read("rows.csv");
}

TEST(CSVRoundTrip, MarksAndPrependCharactersNeverSwallowADelimiterOrQuote)
{
    // U+0600 is a prepend character: it joins the character after it, here the delimiter.
    EXPECT_EQ(hexRows(rowsOf("x\xD8\x80,y\n")), hexRows({ { "x\xD8\x80", "y" } }));
    // A combining accent after the delimiter stays with the second field.
    EXPECT_EQ(hexRows(rowsOf("a,\xCC\x81"
                             "b\n")),
        hexRows({ { "a",
            "\xCC\x81"
            "b" } }));
    // A prepend character before the closing quote leaves the quote closing the field.
    EXPECT_EQ(hexRows(rowsOf("\"q\xD8\x80\",z\n")), hexRows({ { "q\xD8\x80", "z" } }));
    // CR LF stays one line end.
    EXPECT_EQ(rowsOf("a\r\nb\r\n"), (Rows { { "a" }, { "b" } }));
    // A quote that a combining mark (U+035D) follows is still a quote: the writer quotes the field and doubles it.
    const Rows marked { { "t\"\xCD\x9Dp", "x" } };
    EXPECT_EQ(written(marked, ZORCSVSeparator::Comma, ZORCSVLineEnd::LF), "\"t\"\"\xCD\x9Dp\",x\n");
    EXPECT_EQ(hexRows(readBack(written(marked, ZORCSVSeparator::Comma, ZORCSVLineEnd::LF), 0, 3)), hexRows(marked));
}

TEST(CSVRoundTrip, RandomRowsOfAwkwardCharactersReadBackUnchanged)
{
    const std::vector<std::string> pieces { "a", "Z", "7", " ", ",", ";", "\t", "\"", "'", "\\", "#", "!", "-", ".",
        "\r", "\n", "\r\n", "\xE2\x80\xA8", "\xCC\x81", "\xCC\x88", "\xD8\x80", "\xF0\x91\x82\xBD", "\xE2\x80\x8D",
        "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD",
        "\xC3\xA9", "\xE2\x82\xAC" };
    std::mt19937 random(20261207);
    auto draw = [&](std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count)(random); };
    for (int round = 0; round < 12; ++round) {
        Rows rows(1 + draw(6));
        for (auto& row : rows) {
            row.resize(1 + draw(4));
            for (auto& field : row)
                for (std::size_t n = draw(6); n > 0; --n)
                    field += pieces[draw(pieces.size() - 1)];
        }
        for (const auto& [separator, character] : ZORCSVSeparator::All)
            for (std::int32_t lineEnd : { ZORCSVLineEnd::CRLF, ZORCSVLineEnd::CR, ZORCSVLineEnd::LF }) {
                const auto bytes = written(rows, separator, lineEnd);
                for (std::uint64_t chunk = 1; chunk <= 64; chunk += round % 2 ? 7 : 1)
                    ASSERT_EQ(hexRows(readBack(bytes, separator, chunk)), hexRows(rows))
                        << "round " << round << ", separator " << separator << ", line end " << lineEnd
                        << ", chunks of " << chunk << "\n"
                        << bytes;
            }
    }
}

}
