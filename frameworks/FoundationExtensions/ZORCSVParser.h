#pragma once

#include "platform/foundation/files/InputStream.h"
#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/StringEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class ZORCSVParser;

// What the reader reports, in order: the document's start, per line its start, its fields and its end, then the
// document's end or the failure. Every operation is optional.
class ZORCSVParserDelegate {
public:
    virtual ~ZORCSVParserDelegate() = default;
    virtual void parserDidStartDocument(ZORCSVParser&, const fnd::String& /*path*/) { }
    virtual void parserDidStartLine(ZORCSVParser&, std::uint64_t /*lineNumber*/) { }
    virtual void parserDidReadField(ZORCSVParser&, const fnd::String& /*field*/) { }
    virtual void parserDidEndLine(ZORCSVParser&, std::uint64_t /*lineNumber*/) { }
    virtual void parserDidEndDocument(ZORCSVParser&, const fnd::String& /*path*/) { }
    virtual void parserDidFailWithError(ZORCSVParser&, const fnd::Error&) { }
};

// Separator codes shared by the reader and the writer.
namespace ZORCSVSeparator {
inline constexpr std::int64_t Comma = 0;
inline constexpr std::int64_t Semicolon = 1;
inline constexpr std::int64_t Tab = 2;
inline constexpr std::int64_t NotFound = -1;

// Every separator by its code and character: what setSeparatorType, the sniffing of a file and the writer take.
struct Separator {
    std::int64_t code;
    char character;
};
inline constexpr std::array<Separator, 3> All { { { Comma, ',' }, { Semicolon, ';' }, { Tab, '\t' } } };
// The separator of the code or the character; nullptr for any other.
inline const Separator* withCode(std::int64_t code)
{
    auto found = std::ranges::find(All, code, &Separator::code);
    return found == All.end() ? nullptr : &*found;
}
inline const Separator* withCharacter(char16_t character)
{
    auto found = std::ranges::find(All, character, [](const Separator& s) { return char16_t(s.character); });
    return found == All.end() ? nullptr : &*found;
}
}

// Line-end codes.
namespace ZORCSVLineEnd {
inline constexpr std::int32_t CRLF = 0;
inline constexpr std::int32_t CR = 1;
inline constexpr std::int32_t LF = 2;
inline constexpr std::int32_t NotFound = -1;
}

// Error codes of the reader, in the application's domain.
namespace ZORCSVError {
inline constexpr std::int64_t Input = 1; // opening, reading or decoding
inline constexpr std::int64_t Malformed = 2; // a quoted field that never closes
inline constexpr std::int64_t Cancelled = 3;
// userInfo key: the line (from 1) the failure lies on.
inline const fnd::String LineNumberKey = "ZORCSVLineNumber";
}

// Reads delimiter-separated text from a file, a string or a stream, chunk by chunk, and reports it to the delegate
// as it goes. Lines starting with "#" are comments; fields may be quoted ("" inside quotes is one quote) and may then
// hold delimiters and line breaks; outside quotes a backslash escapes the delimiter, a quote or a line break after it
// (both characters stay in the field). Inside quotes a backslash is an ordinary character, as it is in the files the
// writer and other programs write. A blank line merges into the next one. A leading byte-order mark is dropped.
class ZORCSVParser {
public:
    // Reads up to 2048 bytes of the file: the first comma, semicolon or tab before any NUL or line break decides.
    static std::int64_t autodetectSeparatorForCSVFile(const fnd::String& path);

    static fnd::Expected<std::unique_ptr<ZORCSVParser>> initWithStream(
        std::shared_ptr<fnd::InputStream> stream, fnd::StringEncoding encoding);
    static fnd::Expected<std::unique_ptr<ZORCSVParser>> initWithContentsOfCSVFile(
        const fnd::String& path, fnd::StringEncoding encoding);
    static fnd::Expected<std::unique_ptr<ZORCSVParser>> initWithCSVString(
        const fnd::String& string, fnd::StringEncoding encoding);

    // One character, not a line break, "#", a double quote or a backslash; else an invalid-argument exception, as
    // while a parse runs.
    void setDelimiter(const fnd::String& delimiter);
    const fnd::String& delimiter() const { return m_delimiter; }
    // 0 ",", 1 ";", 2 tab; other codes are ignored.
    void setSeparatorType(std::int64_t type);
    std::int64_t separatorType() const;

    void setEncoding(fnd::StringEncoding encoding);
    fnd::StringEncoding encoding() const { return m_fileEncoding; }
    bool encodingErrorOccured() const { return m_encodingError; }
    std::int32_t detectedLineEnd() const { return m_detectedLineEnd; }
    bool trimSpaces() const { return m_trimSpaces; }
    void setTrimSpaces(bool trim) { m_trimSpaces = trim; }
    // Bytes read at a time, from 1 to MaximumChunkSize: a chunk's bytes and their decoded text are held at once, so a
    // larger size would only ask for memory the system may not have.
    static constexpr std::uint64_t MaximumChunkSize = 16 * 1024 * 1024;
    std::uint64_t chunkSize() const { return m_chunkSize; }
    void setChunkSize(std::uint64_t size) { m_chunkSize = std::clamp<std::uint64_t>(size, 1, MaximumChunkSize); }
    const fnd::Data& currentChunk() const { return m_currentChunk; }
    void setCurrentChunk(fnd::Data chunk) { m_currentChunk = std::move(chunk); }
    const std::optional<fnd::Error>& error() const { return m_error; }
    const fnd::String& csvFile() const { return m_csvFile; }
    std::shared_ptr<ZORCSVParserDelegate> parserDelegate() const { return m_delegate.lock(); }
    void setParserDelegate(const std::shared_ptr<ZORCSVParserDelegate>& delegate) { m_delegate = delegate; }

    // Runs the whole parse on the calling thread. A parser that has finished a parse starts over from the beginning
    // of its file or string. Called while a parse runs (from a delegate callback), it raises an invalid-argument
    // exception, as setDelimiter does, and the running parse goes on; a delegate's exception that escapes a callback
    // ends the parse, after which the parser is idle again.
    void parse();
    // From a delegate callback: the parse stops after the current character with the cancellation error.
    void cancelParsing();

private:
    using StreamSource = std::function<std::shared_ptr<fnd::InputStream>()>;
    enum class State { LineNotBegun = 0, BetweenFields = 1, InField = 2, InComment = 3, Cancelled = 4 };

    ZORCSVParser() = default;
    static fnd::Expected<std::unique_ptr<ZORCSVParser>> make(StreamSource source, fnd::StringEncoding encoding);
    fnd::Expected<void> openStream();
    void reset();
    void detectByteOrderMark();
    void readChunk();
    void appendDecoded(fnd::String text);
    void decodeChunk();
    void detectLineEnd(const fnd::String& text);
    bool isStructural(char16_t unit) const;
    fnd::Index characterLengthAt(fnd::Index index) const;
    std::optional<std::u16string_view> nextCharacter();
    void step(std::u16string_view c, char16_t previousFirst);
    void beginLine();
    void beginField();
    void finishField();
    void finishLine();
    void fail(std::int64_t code, const fnd::String& description, const fnd::String& reason, std::uint64_t line);

    StreamSource m_source;
    std::shared_ptr<fnd::InputStream> m_stream;
    std::weak_ptr<ZORCSVParserDelegate> m_delegate;
    bool m_endOfStreamReached { false };
    bool m_finished { false };
    fnd::StringEncoding m_fileEncoding { fnd::StringEncoding::UTF8 };
    fnd::StringEncoding m_fileEncodingIntern { fnd::StringEncoding::UTF8 };
    // Text in an encoding with shift sequences is decoded whole, once the stream has ended (set as a parse starts).
    bool m_decodesWhole { false };
    fnd::String m_csvFile;
    bool m_hasStarted { false };
    fnd::String m_delimiter { "," };
    char16_t m_delimiterCharacter { u',' };
    fnd::Data m_currentChunk;
    // Decoded text not yet handed on starts at m_stringIndex; text before it is dropped now and then.
    fnd::String m_currentChunkString;
    fnd::Index m_stringIndex { 0 };
    bool m_atDocumentStart { true };
    // Set when undecodable bytes follow the decoded text; reported once the text before them is parsed.
    bool m_pendingDecodeError { false };
    bool m_balancedQuotes { true };
    bool m_balancedEscapes { true };
    bool m_encodingError { false };
    bool m_trimSpaces { false };
    // The field text begins with the delimiter that ended the previous field.
    bool m_carriesDelimiter { false };
    fnd::String m_currentField;
    std::uint64_t m_currentLine { 0 };
    // Lines of the text as an editor counts them (a quoted line break starts one), for error messages.
    std::uint64_t m_physicalLine { 1 };
    std::uint64_t m_fieldStartPhysicalLine { 1 };
    std::uint64_t m_chunkSize { 16384 };
    State m_state { State::LineNotBegun };
    std::optional<fnd::Error> m_error;
    std::int32_t m_detectedLineEnd { ZORCSVLineEnd::NotFound };
};
