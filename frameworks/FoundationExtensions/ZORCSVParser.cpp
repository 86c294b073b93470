#include "frameworks/FoundationExtensions/ZORCSVParser.h"

#include "frameworks/FoundationExtensions/ZORCSVAdditions.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/StringFormat.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t SeparatorSniffLength = 2048;
// No character of a supported encoding takes more bytes, so a chunk cut inside one decodes once this many are cut.
constexpr std::size_t LongestCharacter = 16;
// Decoded units kept ahead of the read position.
constexpr fnd::Index LookAhead = 64;

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 || c == 0x2029;
}

fnd::String errorDomain()
{
    auto identifier = fnd::Bundle::mainBundle()->bundleIdentifier();
    return identifier.isEmpty() ? fnd::String("ZORCSVParser") : identifier;
}

}

std::int64_t ZORCSVParser::autodetectSeparatorForCSVFile(const fnd::String& path)
{
    auto stream = fnd::InputStream::withFile(path);
    stream->open();
    if (stream->streamStatus() != fnd::StreamStatus::Open)
        return ZORCSVSeparator::NotFound;
    std::vector<std::uint8_t> bytes(SeparatorSniffLength);
    auto got = stream->read(bytes.data(), bytes.size());
    stream->close();
    for (std::int64_t i = 0; i < got; ++i) {
        const auto byte = bytes[static_cast<std::size_t>(i)];
        if (const auto* separator = ZORCSVSeparator::withCharacter(byte))
            return separator->code;
        if (byte == 0 || byte == '\n' || byte == '\r')
            return ZORCSVSeparator::NotFound;
    }
    return ZORCSVSeparator::NotFound;
}

fnd::Expected<std::unique_ptr<ZORCSVParser>> ZORCSVParser::make(StreamSource source, fnd::StringEncoding encoding)
{
    std::unique_ptr<ZORCSVParser> parser(new ZORCSVParser);
    parser->m_source = std::move(source);
    parser->setEncoding(encoding);
    if (auto opened = parser->openStream(); !opened)
        return std::unexpected(opened.error());
    return parser;
}

fnd::Expected<std::unique_ptr<ZORCSVParser>> ZORCSVParser::initWithStream(
    std::shared_ptr<fnd::InputStream> stream, fnd::StringEncoding encoding)
{
    // A stream is read once: a second parse finds it at its end.
    return make([stream] { return stream; }, encoding);
}

fnd::Expected<std::unique_ptr<ZORCSVParser>> ZORCSVParser::initWithContentsOfCSVFile(
    const fnd::String& path, fnd::StringEncoding encoding)
{
    auto parser = make([path] { return fnd::InputStream::withFile(path); }, encoding);
    if (parser)
        (*parser)->m_csvFile = path;
    return parser;
}

fnd::Expected<std::unique_ptr<ZORCSVParser>> ZORCSVParser::initWithCSVString(
    const fnd::String& string, fnd::StringEncoding encoding)
{
    auto data = fnd::dataUsingEncoding(string, encoding);
    if (!data)
        return std::unexpected(data.error());
    return make([data = *data] { return fnd::InputStream::withData(data); }, encoding);
}

fnd::Expected<void> ZORCSVParser::openStream()
{
    m_stream = m_source();
    if (!m_stream)
        return std::unexpected(fnd::Error::make(
            errorDomain(), ZORCSVError::Input, "Unable to open file for reading", "There is no stream to read from."));
    if (m_stream->streamStatus() == fnd::StreamStatus::NotOpen)
        m_stream->open();
    auto status = m_stream->streamStatus();
    if (status != fnd::StreamStatus::Opening && status != fnd::StreamStatus::Open
        && status != fnd::StreamStatus::Reading) {
        auto error = fnd::Error::make(errorDomain(), ZORCSVError::Input, "Unable to open file for reading");
        if (auto underlying = m_stream->streamError())
            error.setUnderlyingError(*underlying);
        return std::unexpected(error);
    }
    return {};
}

void ZORCSVParser::setDelimiter(const fnd::String& delimiter)
{
    if (m_hasStarted)
        throw fnd::Exception::invalidArgument("You cannot set a delimiter after parsing has started");
    const bool usable = delimiter.length() == 1 && !isLineBreak(delimiter.characterAt(0))
        && delimiter.characterAt(0) != u'#' && delimiter.characterAt(0) != u'"' && delimiter.characterAt(0) != u'\\';
    if (!usable)
        throw fnd::Exception::invalidArgument(delimiter + " cannot be used as a delimiter");
    m_delimiter = delimiter;
    m_delimiterCharacter = delimiter.characterAt(0);
}

void ZORCSVParser::setSeparatorType(std::int64_t type)
{
    if (const auto* separator = ZORCSVSeparator::withCode(type))
        setDelimiter(fnd::String(std::string_view(&separator->character, 1)));
}

std::int64_t ZORCSVParser::separatorType() const
{
    const auto* separator = ZORCSVSeparator::withCharacter(m_delimiterCharacter);
    return separator ? separator->code : ZORCSVSeparator::NotFound;
}

void ZORCSVParser::setEncoding(fnd::StringEncoding encoding)
{
    m_fileEncoding = encoding;
    m_fileEncodingIntern = encoding;
}

void ZORCSVParser::cancelParsing()
{
    m_state = State::Cancelled;
    if (!m_error)
        m_error = fnd::Error::make(errorDomain(), ZORCSVError::Cancelled, "The parse was cancelled.");
}

void ZORCSVParser::fail(
    std::int64_t code, const fnd::String& description, const fnd::String& reason, std::uint64_t line)
{
    if (m_error)
        return;
    m_error = fnd::Error::make(errorDomain(), code, description, reason);
    m_error->userInfo().set(ZORCSVError::LineNumberKey, static_cast<unsigned long long>(line));
}

void ZORCSVParser::reset()
{
    m_endOfStreamReached = false;
    m_fileEncodingIntern = m_fileEncoding;
    m_currentChunk = {};
    m_currentChunkString = {};
    m_stringIndex = 0;
    m_atDocumentStart = true;
    m_pendingDecodeError = false;
    m_balancedQuotes = true;
    m_balancedEscapes = true;
    m_encodingError = false;
    m_carriesDelimiter = false;
    m_currentField = {};
    m_currentLine = 0;
    m_physicalLine = 1;
    m_fieldStartPhysicalLine = 1;
    m_state = State::LineNotBegun;
    m_error.reset();
    m_detectedLineEnd = ZORCSVLineEnd::NotFound;
}

void ZORCSVParser::parse()
{
    // A parse started from a callback would reset the text and state the running one is working in.
    if (m_hasStarted)
        throw fnd::Exception::invalidArgument("You cannot start parsing while parsing has started");
    if (m_finished) {
        reset();
        if (auto opened = openStream(); !opened)
            m_error = opened.error();
    }
    m_finished = true;
    m_hasStarted = true;
    m_decodesWhole = fnd::hasShiftStates(m_fileEncoding);
    // A delegate's exception ends the parse: the parser is idle again, ready to start over.
    struct Ending {
        ZORCSVParser& parser;
        ~Ending()
        {
            parser.m_hasStarted = false;
            if (parser.m_stream)
                parser.m_stream->close();
        }
    } ending { *this };
    auto delegate = m_delegate.lock();

    if (!m_error && (m_fileEncoding == fnd::StringEncoding::Unicode || m_fileEncoding == fnd::StringEncoding::UTF32))
        detectByteOrderMark();
    if (delegate)
        delegate->parserDidStartDocument(*this, m_csvFile);

    // Each character is looked at in place in the decoded text; only its first unit is kept for the next step.
    char16_t previousFirst = 0;
    while (!m_error && m_state != State::Cancelled) {
        auto c = nextCharacter();
        if (!c)
            break;
        step(*c, previousFirst);
        previousFirst = c->front();
    }
    if (!m_error && m_state != State::Cancelled) {
        if (m_state == State::InField && !m_balancedQuotes)
            fail(ZORCSVError::Malformed,
                fnd::String::format(
                    "The quoted field that begins on line %llu is not closed.", { m_fieldStartPhysicalLine }),
                "The text ends inside quotes.", m_fieldStartPhysicalLine);
        else if (m_state == State::InField && !m_currentField.isEmpty())
            finishField();
        if (m_state == State::BetweenFields)
            finishLine();
    }

    if (m_error) {
        if (delegate)
            delegate->parserDidFailWithError(*this, *m_error);
    } else if (delegate) {
        delegate->parserDidEndDocument(*this, m_csvFile);
    }
}

void ZORCSVParser::detectByteOrderMark()
{
    // The longest mark has four bytes; a small chunk size must not cut it (a UTF-32 mark read as a UTF-16 one).
    constexpr std::size_t LongestMark = 4;
    do
        readChunk();
    while (m_currentChunk.length() < LongestMark && !m_endOfStreamReached && !m_error);
    struct Mark {
        std::vector<std::uint8_t> bytes;
        fnd::StringEncoding encoding;
    };
    const Mark marks[] = {
        { { 0xFF, 0xFE, 0x00, 0x00 }, fnd::StringEncoding::UTF32LittleEndian },
        { { 0xFF, 0xFE }, fnd::StringEncoding::UTF16LittleEndian },
        { { 0x00, 0x00, 0xFE, 0xFF }, fnd::StringEncoding::UTF32BigEndian },
        { { 0xFE, 0xFF }, fnd::StringEncoding::UTF16BigEndian },
    };
    // Without a mark the text is big-endian, and a later chunk must not be taken for a new mark.
    m_fileEncodingIntern = m_fileEncoding == fnd::StringEncoding::Unicode ? fnd::StringEncoding::UTF16BigEndian
                                                                          : fnd::StringEncoding::UTF32BigEndian;
    auto& bytes = m_currentChunk.vector();
    for (const auto& mark : marks) {
        if (bytes.size() >= mark.bytes.size() && std::equal(mark.bytes.begin(), mark.bytes.end(), bytes.begin())) {
            m_fileEncodingIntern = mark.encoding;
            bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(mark.bytes.size()));
            break;
        }
    }
    decodeChunk();
}

void ZORCSVParser::readChunk()
{
    if (m_endOfStreamReached)
        return;
    // The stream reads straight into the end of the undecoded bytes, with no buffer of its own per chunk.
    auto& bytes = m_currentChunk.vector();
    const auto kept = bytes.size();
    bytes.resize(kept + m_chunkSize);
    auto got = m_stream->read(bytes.data() + kept, m_chunkSize);
    bytes.resize(kept + static_cast<std::size_t>(std::max<decltype(got)>(got, 0)));
    if (got < 0) {
        fnd::Error error = fnd::Error::make(errorDomain(), ZORCSVError::Input, "Unable to read from input stream");
        if (auto underlying = m_stream->streamError())
            error.setUnderlyingError(*underlying);
        if (!m_error)
            m_error = error;
        m_endOfStreamReached = true;
        return;
    }
    if (got == 0 || m_stream->streamStatus() == fnd::StreamStatus::AtEnd)
        m_endOfStreamReached = true;
}

void ZORCSVParser::appendDecoded(fnd::String text)
{
    if (m_atDocumentStart && !text.isEmpty()) {
        // A byte-order mark is no part of the first field.
        if (text.characterAt(0) == 0xFEFF)
            text.deleteCharacters({ 0, 1 });
        m_atDocumentStart = false;
    }
    if (m_detectedLineEnd == ZORCSVLineEnd::NotFound || m_detectedLineEnd == ZORCSVLineEnd::CR)
        detectLineEnd(text);
    m_currentChunkString.append(text);
}

void ZORCSVParser::decodeChunk()
{
    auto& bytes = m_currentChunk.vector();
    if (bytes.empty() || m_pendingDecodeError)
        return;
    // After a shift sequence the bytes mean what it set: a piece of such text decodes alike only within the whole,
    // so it is decoded once the stream has ended.
    if (m_decodesWhole && !m_endOfStreamReached)
        return;
    auto decodePrefix = [&](std::size_t length) {
        return fnd::decodedStringWithData(std::span(bytes.data(), length), m_fileEncodingIntern);
    };
    auto consume = [&](std::size_t length, fnd::String text) {
        bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        appendDecoded(std::move(text));
    };
    // The whole buffer, or a little less when its end cuts a character that the next chunk completes.
    const std::size_t shortest
        = m_endOfStreamReached ? bytes.size() : bytes.size() - std::min(bytes.size() - 1, LongestCharacter);
    for (std::size_t length = bytes.size(); length >= shortest && length > 0; --length) {
        if (auto text = decodePrefix(length)) {
            consume(length, std::move(*text));
            return;
        }
    }
    // A few bytes may be the start of a character the next chunk completes.
    if (!m_endOfStreamReached && bytes.size() <= LongestCharacter)
        return;
    // Undecodable bytes: decode up to them, character by character, so the error names their line. The decoded
    // bytes leave the buffer at once: taking each character off its front would move the rest every time, and a
    // chunk's worth of characters before the bad bytes would cost the square of the chunk size.
    std::size_t start = 0;
    fnd::String decoded;
    while (start < bytes.size()) {
        bool found = false;
        for (std::size_t length = 1; length <= std::min(bytes.size() - start, LongestCharacter); ++length) {
            if (auto text = fnd::decodedStringWithData(std::span(bytes.data() + start, length), m_fileEncodingIntern)) {
                decoded.append(*text);
                start += length;
                found = true;
                break;
            }
        }
        if (!found)
            break;
    }
    if (start > 0) {
        bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
        appendDecoded(std::move(decoded));
    }
    if (m_endOfStreamReached || bytes.size() > LongestCharacter)
        m_pendingDecodeError = true;
}

void ZORCSVParser::detectLineEnd(const fnd::String& text)
{
    for (fnd::Index i = 0; i < text.length(); ++i) {
        auto c = text.characterAt(i);
        if (c == u'\n') {
            if (m_detectedLineEnd == ZORCSVLineEnd::NotFound)
                m_detectedLineEnd = ZORCSVLineEnd::LF;
            else if (m_detectedLineEnd == ZORCSVLineEnd::CR)
                m_detectedLineEnd = ZORCSVLineEnd::CRLF;
            return;
        }
        if (c == u'\r' && m_detectedLineEnd == ZORCSVLineEnd::NotFound)
            m_detectedLineEnd = ZORCSVLineEnd::CR;
    }
}

std::optional<std::u16string_view> ZORCSVParser::nextCharacter()
{
    // Text already handed on is dropped now and then, so a long file does not stay in memory. It is dropped here,
    // before the next character, because the one handed on last is a view into this text.
    if (m_stringIndex > static_cast<fnd::Index>(m_chunkSize) && m_stringIndex * 2 > m_currentChunkString.length()) {
        m_currentChunkString.deleteCharacters({ 0, m_stringIndex });
        m_stringIndex = 0;
    }
    // Read ahead once half of the decoded text is used, and keep a few units in hand, so a character sequence cut by
    // a chunk's end (CR LF, a letter and its marks) is joined before it is handed on.
    auto needsMore = [this] {
        const auto length = m_currentChunkString.length();
        return m_stringIndex * 2 >= length || length - m_stringIndex < LookAhead;
    };
    while (!m_endOfStreamReached && !m_error && needsMore()) {
        readChunk();
        decodeChunk();
        if (m_pendingDecodeError)
            break;
    }
    if (m_stringIndex >= m_currentChunkString.length()) {
        if (m_pendingDecodeError || (m_endOfStreamReached && !m_currentChunk.isEmpty())) {
            m_encodingError = true;
            fail(ZORCSVError::Input, "unable to interpret current chunk as a string",
                fnd::String::format("The text on line %llu is not valid in the encoding \u201c%@\u201d.",
                    { m_physicalLine, fnd::localizedNameOfStringEncoding(m_fileEncodingIntern) }),
                m_physicalLine);
        }
        return std::nullopt;
    }
    const auto length = characterLengthAt(m_stringIndex);
    const auto c
        = m_currentChunkString.view().substr(static_cast<std::size_t>(m_stringIndex), static_cast<std::size_t>(length));
    m_stringIndex += length;
    return c;
}

bool ZORCSVParser::isStructural(char16_t unit) const
{
    return unit == m_delimiterCharacter || unit == u'"' || unit == u'\\' || isLineBreak(unit);
}

fnd::Index ZORCSVParser::characterLengthAt(fnd::Index index) const
{
    // Composed sequences are handed on whole, but a delimiter, quote, backslash or line break is always a character
    // of its own: joined to a neighbouring mark or prepend character, it would no longer end a field or a quote.
    const auto& text = m_currentChunkString;
    const auto end = text.rangeOfComposedCharacterSequenceAtIndex(index).max();
    if (isStructural(text.characterAt(index))) {
        const bool crlf = text.characterAt(index) == u'\r' && index + 1 < end && text.characterAt(index + 1) == u'\n';
        return crlf ? 2 : 1;
    }
    for (auto i = index + 1; i < end; ++i)
        if (isStructural(text.characterAt(i)))
            return i - index;
    return end - index;
}

void ZORCSVParser::beginLine()
{
    if (m_state == State::Cancelled)
        return;
    ++m_currentLine;
    if (auto delegate = m_delegate.lock())
        delegate->parserDidStartLine(*this, m_currentLine);
    if (m_state != State::Cancelled)
        m_state = State::BetweenFields;
}

void ZORCSVParser::beginField()
{
    if (m_state == State::Cancelled)
        return;
    m_currentField = {};
    m_carriesDelimiter = false;
    m_balancedQuotes = true;
    m_balancedEscapes = true;
    m_fieldStartPhysicalLine = m_physicalLine;
    m_state = State::InField;
}

void ZORCSVParser::finishField()
{
    if (m_state == State::Cancelled)
        return;
    auto& text = m_currentField;
    // The delimiter that ended the previous field is dropped first, so a quoted field starting with a delimiter
    // keeps it.
    if (m_carriesDelimiter && !text.isEmpty() && text.characterAt(0) == m_delimiterCharacter)
        text.deleteCharacters({ 0, 1 });
    ZORCSVAdditions::trimCharactersInSet_csv(text, fnd::CharacterSet::newlineCharacterSet());
    if (text.length() >= 2 && text.characterAt(0) == u'"' && text.characterAt(text.length() - 1) == u'"')
        ZORCSVAdditions::trimString_csv(text, "\"");
    if (m_trimSpaces)
        ZORCSVAdditions::trimCharactersInSet_csv(text, fnd::CharacterSet::whitespaceAndNewlineCharacterSet());
    ZORCSVAdditions::replaceOccurrencesOfString_csv(text, "\"\"", "\"");
    auto field = text;
    text = {};
    m_carriesDelimiter = false;
    if (auto delegate = m_delegate.lock())
        delegate->parserDidReadField(*this, field);
    if (m_state != State::Cancelled)
        m_state = State::BetweenFields;
}

void ZORCSVParser::finishLine()
{
    if (m_state == State::Cancelled)
        return;
    if (auto delegate = m_delegate.lock())
        delegate->parserDidEndLine(*this, m_currentLine);
    if (m_state != State::Cancelled)
        m_state = State::LineNotBegun;
}

void ZORCSVParser::step(std::u16string_view c, char16_t previousFirst)
{
    const char16_t first = c.front();
    const bool previousIsLineBreak = previousFirst != 0 && isLineBreak(previousFirst);
    const bool lineBreak = isLineBreak(first) && !previousIsLineBreak;
    if (isLineBreak(first))
        ++m_physicalLine;

    if (m_state == State::LineNotBegun) {
        if (first == u'#')
            m_state = State::InComment;
        else
            beginLine();
    }
    if (m_state == State::Cancelled)
        return;

    bool delimiterEndedField = false;
    if (m_state == State::InComment) {
        if (lineBreak)
            m_state = State::LineNotBegun;
    } else if (first == u'"') {
        if (m_state == State::BetweenFields) {
            beginField();
            m_balancedQuotes = false;
        } else if (m_state == State::InField) {
            if (m_balancedEscapes)
                m_balancedQuotes = !m_balancedQuotes;
            else
                m_balancedEscapes = true;
        }
    } else if (first == m_delimiterCharacter) {
        if (m_state == State::BetweenFields) {
            beginField();
            finishField();
            delimiterEndedField = true;
        } else if (m_state == State::InField) {
            if (!m_balancedEscapes)
                m_balancedEscapes = true;
            else if (m_balancedQuotes) {
                finishField();
                delimiterEndedField = true;
            }
        }
    } else if (first == u'\\' && m_balancedQuotes) {
        if (m_state == State::BetweenFields) {
            beginField();
            m_balancedEscapes = false;
        } else if (m_state == State::InField) {
            m_balancedEscapes = !m_balancedEscapes;
        }
    } else if (lineBreak && m_balancedQuotes && m_balancedEscapes) {
        if (m_state == State::BetweenFields || m_state == State::InField) {
            if (m_state == State::BetweenFields)
                beginField();
            finishField();
            finishLine();
        }
    } else {
        if (m_state == State::BetweenFields)
            beginField();
        m_balancedEscapes = true;
    }

    if (m_state != State::InComment && m_state != State::Cancelled) {
        for (const char16_t unit : c)
            m_currentField.append(unit);
        if (delimiterEndedField)
            m_carriesDelimiter = true;
    }
}
