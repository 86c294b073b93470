#include "platform/foundation/archiving/PropertyList.h"

#include "platform/foundation/detail/PropertyListText.h"
#include "platform/foundation/detail/XmlParsingScope.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <climits>
#include <fmt/format.h>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace fnd::PropertyList {

namespace {

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const
    {
        // The document node the default start-of-document handler made; no element was ever added to it.
        if (context->myDoc)
            xmlFreeDoc(context->myDoc);
        xmlFreeParserCtxt(context);
    }
};
using ContextPtr = std::unique_ptr<xmlParserCtxt, ContextDeleter>;

Error readError(const std::string& reason)
{
    return Error::make(ErrorDomain::Cocoa, ReadCorruptError,
        String(fmt::format("The property list could not be read: {}.", reason)), String(reason));
}

bool isWhitespaceOnly(std::string_view text)
{
    return detail::trimWhitespace(text).empty();
}

// Builds the value as the parser reports elements and text, without a document tree in between: a tree of nodes
// costs an allocation per element and per run of whitespace, several times the cost of the values themselves. The
// first problem, in document order, stops the parse.
class ValueBuilder {
public:
    explicit ValueBuilder(xmlParserCtxt& context)
        : m_context(context)
    {
    }

    static void install(xmlSAXHandler& sax)
    {
        sax.startElementNs = startElement;
        sax.endElementNs = endElement;
        sax.characters = characters;
        sax.ignorableWhitespace = characters;
        sax.cdataBlock = characters;
        sax.reference = reference;
        sax.comment = nullptr;
        sax.processingInstruction = nullptr;
    }

    const std::optional<Error>& error() const { return m_error; }
    std::optional<Value>& result() { return m_result; }

private:
    // What an open element is, and so what it may hold.
    enum class Kind { Plist, Array, Dictionary, Key, Text, Empty };

    struct Element {
        Kind kind;
        std::string_view name;
        int line;
        // Containers open around this element, itself included.
        int depth;
        // Where this element's values start on the value stack; a dictionary's alternate key and value.
        std::size_t firstValue;
        // The line of a dictionary's last key.
        int keyLine { 0 };
    };

    static ValueBuilder& from(void* context)
    {
        return *static_cast<ValueBuilder*>(fnd::detail::XmlParsingScope::readerOf(context));
    }
    static std::string_view view(const xmlChar* text, int length = -1)
    {
        auto* chars = reinterpret_cast<const char*>(text);
        return length < 0 ? std::string_view(chars) : std::string_view(chars, std::size_t(length));
    }

    static void startElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
        const xmlChar**, int, int, const xmlChar**)
    {
        from(context).opened(view(localName));
    }
    static void endElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) { from(context).closed(); }
    static void characters(void* context, const xmlChar* text, int length)
    {
        from(context).textArrived(view(text, length));
    }
    static void reference(void* context, const xmlChar*) { from(context).referenceArrived(); }

    int line() const { return m_context.input ? m_context.input->line : 0; }
    std::size_t valuesOf(const Element& element) const { return m_values.size() - element.firstValue; }

    // Out of line: the formatting stays out of the frames of the handlers, which run for every element.
    template <typename... Args>
    [[gnu::noinline]] void fail(int line, fmt::format_string<Args...> format, Args&&... args)
    {
        if (m_error)
            return;
        m_error = readError(fmt::format("line {}: {}", line, fmt::format(format, std::forward<Args>(args)...)));
        xmlStopParser(&m_context);
    }

    void open(Kind kind, std::string_view name, int line, int depth)
    {
        m_open.push_back({ .kind = kind, .name = name, .line = line, .depth = depth, .firstValue = m_values.size() });
    }

    void opened(std::string_view name)
    {
        if (m_error)
            return;
        const int at = line();
        if (m_open.empty()) {
            if (name != "plist")
                return fail(at, "the root element is <{}>, not <plist>", name);
            return open(Kind::Plist, name, at, 0);
        }
        const Element& parent = m_open.back();
        switch (parent.kind) {
        case Kind::Plist:
            if (valuesOf(parent) > 0)
                return fail(at, "<plist> holds more than one value");
            break;
        case Kind::Dictionary:
            if (valuesOf(parent) % 2 == 0) {
                if (name != "key")
                    return fail(at, "<dict> holds <{}> where a <key> belongs", name);
                m_text.clear();
                return open(Kind::Key, name, at, parent.depth);
            }
            break;
        case Kind::Array:
            break;
        case Kind::Key:
        case Kind::Text:
            return fail(at, "<{}> may hold only text", parent.name);
        case Kind::Empty:
            return fail(parent.line, "<{}/> must be empty", parent.name);
        }
        openValue(name, at, parent.depth);
    }

    void openValue(std::string_view name, int at, int depth)
    {
        if (name == "dict" || name == "array") {
            if (depth + 1 > MaxDepth)
                return fail(at, "containers are nested more than {} deep", MaxDepth);
            return open(name == "dict" ? Kind::Dictionary : Kind::Array, name, at, depth + 1);
        }
        if (name == "true" || name == "false")
            return open(Kind::Empty, name, at, depth);
        if (name == "string" || name == "integer" || name == "real" || name == "data" || name == "date") {
            m_text.clear();
            return open(Kind::Text, name, at, depth);
        }
        fail(at, "<{}> is not a property-list element", name);
    }

    void textArrived(std::string_view text)
    {
        if (m_error || m_open.empty())
            return;
        const Element& element = m_open.back();
        switch (element.kind) {
        case Kind::Key:
        case Kind::Text:
            m_text += text;
            return;
        case Kind::Empty:
            if (!isWhitespaceOnly(text))
                fail(element.line, "<{}/> must be empty", element.name);
            return;
        case Kind::Plist:
        case Kind::Array:
        case Kind::Dictionary:
            if (!isWhitespaceOnly(text))
                fail(line(), "<{}> holds stray text", element.name);
            return;
        }
    }

    void referenceArrived()
    {
        if (m_error || m_open.empty())
            return;
        const Element& element = m_open.back();
        if (element.kind == Kind::Empty)
            return fail(element.line, "<{}/> must be empty", element.name);
        fail(line(), "entity references are not allowed");
    }

    void closed()
    {
        if (m_error || m_open.empty())
            return;
        const Element element = m_open.back();
        m_open.pop_back();
        const auto first = m_values.begin() + std::ptrdiff_t(element.firstValue);
        switch (element.kind) {
        case Kind::Plist:
            if (valuesOf(element) == 0)
                return fail(element.line, "<plist> holds no value");
            m_result = std::move(*first);
            return;
        case Kind::Key:
            m_open.back().keyLine = element.line;
            m_keys.emplace_back(m_text);
            m_values.emplace_back();
            return;
        case Kind::Array: {
            Array array(std::make_move_iterator(first), std::make_move_iterator(m_values.end()));
            m_values.erase(first, m_values.end());
            m_values.emplace_back(std::move(array));
            return;
        }
        case Kind::Dictionary: {
            if (valuesOf(element) % 2)
                return fail(element.keyLine, "the key \"{}\" has no value", m_keys.back().utf8());
            Dictionary dictionary;
            const auto keys = m_keys.end() - std::ptrdiff_t(valuesOf(element) / 2);
            // Each key left a placeholder before its value; an empty dictionary may stand where no value is held yet.
            auto key = keys;
            for (std::size_t value = 1; value < valuesOf(element); value += 2, ++key)
                dictionary.set(std::move(*key), std::move(first[std::ptrdiff_t(value)]));
            m_keys.erase(keys, m_keys.end());
            m_values.erase(first, m_values.end());
            m_values.emplace_back(std::move(dictionary));
            return;
        }
        case Kind::Empty:
            m_values.emplace_back(element.name == "true");
            return;
        case Kind::Text:
            if (auto value = leafValue(element))
                m_values.push_back(std::move(*value));
            return;
        }
    }

    std::optional<Value> leafValue(const Element& element)
    {
        const std::string& content = m_text;
        if (element.name == "string")
            return Value(String(content));
        if (element.name == "integer") {
            auto result = detail::parseInteger(content);
            if (result.problem == detail::NumberProblem::OutOfRange)
                fail(element.line, "the integer \"{}\" is beyond 64 bits", content);
            else if (result.problem)
                fail(element.line, "\"{}\" is not an integer", content);
            else
                return Value(result.value);
            return std::nullopt;
        }
        if (element.name == "real") {
            auto result = detail::parseReal(content);
            if (result.problem == detail::NumberProblem::OutOfRange)
                fail(element.line, "the real \"{}\" is beyond the range of a double", content);
            else if (result.problem)
                fail(element.line, "\"{}\" is not a real number", content);
            else
                return Value(result.value);
            return std::nullopt;
        }
        if (element.name == "data") {
            if (auto data = detail::decodeBase64(content))
                return Value(std::move(*data));
            fail(element.line, "<data> does not hold valid base64");
            return std::nullopt;
        }
        if (auto date = detail::parseDate(content))
            return Value(*date);
        fail(element.line, "\"{}\" is not an ISO 8601 date", content);
        return std::nullopt;
    }

    xmlParserCtxt& m_context;
    std::vector<Element> m_open;
    // The values of the open containers, innermost last; a dictionary's key holds its place here as a nil value and
    // waits in m_keys, from where it moves into the dictionary without a copy.
    std::vector<Value> m_values;
    std::vector<String> m_keys;
    // The character content of the open key or leaf (neither holds elements).
    std::string m_text;
    std::optional<Value> m_result;
    std::optional<Error> m_error;
};

}

Expected<Value> read(const Data& data)
{
    if (data.view().starts_with("bplist"))
        return std::unexpected(readError("binary property lists are not supported"));
    if (data.length() > static_cast<std::size_t>(INT_MAX))
        return std::unexpected(readError("the data is too large"));
    if (data.isEmpty())
        return std::unexpected(readError("the data is empty"));

    fnd::detail::XmlParsingScope scope;
    ContextPtr context(
        xmlCreateMemoryParserCtxt(reinterpret_cast<const char*>(data.bytes()), static_cast<int>(data.length())));
    if (!context)
        return std::unexpected(readError("the XML parser could not be created"));
    // No entity substitution, no DTD loading, no network; errors are collected, not printed.
    xmlCtxtUseOptions(context.get(),
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA | XML_PARSE_BIG_LINES);
    ValueBuilder builder(*context);
    ValueBuilder::install(*context->sax);
    scope.refuseEntities(*context, &builder);
    xmlParseDocument(context.get());

    if (scope.entityDeclared())
        return std::unexpected(readError("the document declares entities"));
    // The builder stops the parser at the first problem it finds, which libxml2 may then report as one of its own.
    if (builder.error())
        return std::unexpected(*builder.error());
    if (!context->wellFormed) {
        const xmlError* error = xmlCtxtGetLastError(context.get());
        if (!error || !error->message)
            return std::unexpected(readError("the XML is not well-formed"));
        std::string message(detail::trimWhitespace(error->message));
        return std::unexpected(readError(fmt::format("line {}: {}", error->line, message)));
    }
    if (!builder.result())
        return std::unexpected(readError("the document has no root element"));
    return std::move(*builder.result());
}

}
