#include "platform/foundation/archiving/PropertyList.h"

#include "platform/foundation/detail/PropertyListText.h"
#include "platform/foundation/detail/XmlParsingScope.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>
#include <cstring>
#include <fmt/format.h>
#include <memory>

namespace fnd::PropertyList {

namespace {

struct DocumentDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
using DocumentPtr = std::unique_ptr<xmlDoc, DocumentDeleter>;
using ContextPtr = std::unique_ptr<xmlParserCtxt, ContextDeleter>;

Error readError(const std::string& reason)
{
    return Error::make(ErrorDomain::Cocoa, ReadCorruptError,
        String(fmt::format("The property list could not be read: {}.", reason)), String(reason));
}

std::string_view nameOf(const xmlNode* node)
{
    return reinterpret_cast<const char*>(node->name);
}

// A declared entity could expand without bound or reach outside; property lists never need one, so parsing stops
// at the first declaration.
bool isWhitespaceOnly(const xmlNode* node)
{
    auto* content = reinterpret_cast<const char*>(node->content);
    return !content || detail::trimWhitespace(content).empty();
}

class TreeReader {
public:
    Expected<Value> readPlist(const xmlNode* root)
    {
        if (nameOf(root) != "plist")
            return fail(root, fmt::format("the root element is <{}>, not <plist>", nameOf(root)));
        auto children = elementChildren(root);
        if (!children)
            return std::unexpected(children.error());
        if (children->empty())
            return fail(root, "<plist> holds no value");
        if (children->size() > 1)
            return fail((*children)[1], "<plist> holds more than one value");
        return readValue(children->front(), 0);
    }

private:
    std::unexpected<Error> fail(const xmlNode* node, const std::string& what)
    {
        return std::unexpected(readError(fmt::format("line {}: {}", xmlGetLineNo(node), what)));
    }

    // The element children of a container; text between them may only be whitespace.
    Expected<std::vector<const xmlNode*>> elementChildren(const xmlNode* parent)
    {
        std::vector<const xmlNode*> out;
        for (const xmlNode* child = parent->children; child; child = child->next) {
            switch (child->type) {
            case XML_ELEMENT_NODE:
                out.push_back(child);
                break;
            case XML_TEXT_NODE:
                if (!isWhitespaceOnly(child))
                    return fail(child, fmt::format("<{}> holds stray text", nameOf(parent)));
                break;
            case XML_COMMENT_NODE:
            case XML_PI_NODE:
                break;
            case XML_ENTITY_REF_NODE:
                return fail(child, "entity references are not allowed");
            default:
                return fail(child, fmt::format("<{}> holds unexpected content", nameOf(parent)));
            }
        }
        return out;
    }

    // The character content of a leaf element, which may not hold elements.
    Expected<std::string> text(const xmlNode* element)
    {
        std::string out;
        for (const xmlNode* child = element->children; child; child = child->next) {
            switch (child->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                if (child->content)
                    out += reinterpret_cast<const char*>(child->content);
                break;
            case XML_COMMENT_NODE:
            case XML_PI_NODE:
                break;
            case XML_ENTITY_REF_NODE:
                return fail(child, "entity references are not allowed");
            default:
                return fail(child, fmt::format("<{}> may hold only text", nameOf(element)));
            }
        }
        return out;
    }

    Expected<Value> readValue(const xmlNode* node, int depth)
    {
        std::string_view name = nameOf(node);
        if (name == "dict")
            return readDictionary(node, depth + 1);
        if (name == "array")
            return readArray(node, depth + 1);
        if (name == "true" || name == "false") {
            auto children = elementChildren(node);
            if (!children || !children->empty())
                return fail(node, fmt::format("<{}/> must be empty", name));
            return Value(name == "true");
        }

        auto content = text(node);
        if (!content)
            return std::unexpected(content.error());
        if (name == "string")
            return Value(String(*content));
        if (name == "integer") {
            auto result = detail::parseInteger(*content);
            if (result.problem == detail::NumberProblem::OutOfRange)
                return fail(node, fmt::format("the integer \"{}\" is beyond 64 bits", *content));
            if (result.problem)
                return fail(node, fmt::format("\"{}\" is not an integer", *content));
            return Value(result.value);
        }
        if (name == "real") {
            auto result = detail::parseReal(*content);
            if (result.problem == detail::NumberProblem::OutOfRange)
                return fail(node, fmt::format("the real \"{}\" is beyond the range of a double", *content));
            if (result.problem)
                return fail(node, fmt::format("\"{}\" is not a real number", *content));
            return Value(result.value);
        }
        if (name == "data") {
            auto data = detail::decodeBase64(*content);
            if (!data)
                return fail(node, "<data> does not hold valid base64");
            return Value(std::move(*data));
        }
        if (name == "date") {
            auto date = detail::parseDate(*content);
            if (!date)
                return fail(node, fmt::format("\"{}\" is not an ISO 8601 date", *content));
            return Value(*date);
        }
        return fail(node, fmt::format("<{}> is not a property-list element", name));
    }

    Expected<Value> readArray(const xmlNode* node, int depth)
    {
        if (depth > MaxDepth)
            return fail(node, fmt::format("containers are nested more than {} deep", MaxDepth));
        auto children = elementChildren(node);
        if (!children)
            return std::unexpected(children.error());
        Array array;
        array.reserve(children->size());
        for (const xmlNode* child : *children) {
            auto value = readValue(child, depth);
            if (!value)
                return value;
            array.push_back(std::move(*value));
        }
        return Value(std::move(array));
    }

    Expected<Value> readDictionary(const xmlNode* node, int depth)
    {
        if (depth > MaxDepth)
            return fail(node, fmt::format("containers are nested more than {} deep", MaxDepth));
        auto children = elementChildren(node);
        if (!children)
            return std::unexpected(children.error());
        Dictionary dictionary;
        for (std::size_t i = 0; i < children->size(); i += 2) {
            const xmlNode* keyNode = (*children)[i];
            if (nameOf(keyNode) != "key")
                return fail(keyNode, fmt::format("<dict> holds <{}> where a <key> belongs", nameOf(keyNode)));
            auto key = text(keyNode);
            if (!key)
                return std::unexpected(key.error());
            if (i + 1 == children->size())
                return fail(keyNode, fmt::format("the key \"{}\" has no value", *key));
            auto value = readValue((*children)[i + 1], depth);
            if (!value)
                return value;
            dictionary.set(String(*key), std::move(*value));
        }
        return Value(std::move(dictionary));
    }
};

}

Expected<Value> read(const Data& data)
{
    if (data.view().starts_with("bplist"))
        return std::unexpected(readError("binary property lists are not supported"));
    if (data.length() > static_cast<std::size_t>(INT_MAX))
        return std::unexpected(readError("the data is too large"));

    fnd::detail::XmlParsingScope scope;
    ContextPtr context(xmlNewParserCtxt());
    if (!context)
        return std::unexpected(readError("the XML parser could not be created"));
    scope.refuseEntities(*context);

    // No entity substitution, no DTD loading, no network; errors are collected, not printed.
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA | XML_PARSE_BIG_LINES;
    DocumentPtr doc(xmlCtxtReadMemory(context.get(), reinterpret_cast<const char*>(data.bytes()),
        static_cast<int>(data.length()), nullptr, nullptr, options));
    if (scope.entityDeclared())
        return std::unexpected(readError("the document declares entities"));
    if (!doc || !context->wellFormed) {
        const xmlError* error = xmlCtxtGetLastError(context.get());
        if (data.isEmpty())
            return std::unexpected(readError("the data is empty"));
        if (!error || !error->message)
            return std::unexpected(readError("the XML is not well-formed"));
        std::string message(detail::trimWhitespace(error->message));
        return std::unexpected(readError(fmt::format("line {}: {}", error->line, message)));
    }
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root)
        return std::unexpected(readError("the document has no root element"));
    return TreeReader().readPlist(root);
}

}
