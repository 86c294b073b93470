#include "platform/ui/interface/InterfaceFile.h"

#include "platform/foundation/detail/XmlParsingScope.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <fmt/format.h>
#include <unordered_map>

namespace ui {

namespace {

using fnd::Error;
using fnd::String;
using fnd::Value;
using Contents = InterfaceFile::Contents;

struct DocumentDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

const String OwnerId = "owner";
// Deeper nesting is refused, so a hostile file cannot exhaust the stack.
constexpr int MaxDepth = 256;

std::string nameOf(const xmlNode* node)
{
    return reinterpret_cast<const char*>(node->name);
}

std::optional<std::string> attribute(const xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return std::nullopt;
    std::string result(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return result;
}

std::string textOf(const xmlNode* node)
{
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<const xmlNode*> elementChildren(const xmlNode* node)
{
    std::vector<const xmlNode*> children;
    for (const xmlNode* child = node->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE)
            children.push_back(child);
    return children;
}

// "<object class="Button" id="ok"> on line 12", the way errors name an element.
std::string describe(const xmlNode* node)
{
    std::string text = fmt::format("<{}", nameOf(node));
    for (const char* name : { "id", "class", "key", "source", "selector", "destination", "ref", "name" })
        if (auto value = attribute(node, name))
            text += fmt::format(" {}=\"{}\"", name, *value);
    return text + fmt::format("> on line {}", xmlGetLineNo(node));
}

std::unexpected<Error> failure(InterfaceFile::ErrorCode code, const xmlNode* node, const std::string& what)
{
    std::string message = node ? fmt::format("The interface file is invalid: {} {}.", describe(node), what)
                               : fmt::format("The interface file is invalid: {}.", what);
    return std::unexpected(Error::make(InterfaceFile::ErrorDomain, code, String(message), String(what)));
}

std::optional<double> parseNumber(const std::string& text)
{
    const std::string value = trimmed(text);
    double result = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (error != std::errc() || end != value.data() + value.size() || value.empty() || !std::isfinite(result))
        return std::nullopt;
    return result;
}

class Loader {
public:
    explicit Loader(std::shared_ptr<fnd::Object> owner)
        : m_owner(std::move(owner))
    {
    }

    fnd::Expected<Contents> run(const xmlNode* root)
    {
        if (nameOf(root) != "interface")
            return failure(InterfaceFile::MalformedError, root, "is not an <interface> element");
        if (auto version = attribute(root, "version"); version && trimmed(*version) != "1")
            return failure(InterfaceFile::MalformedError, root, "has a version this program cannot read");

        // Every object first, so that references may point forwards.
        for (const xmlNode* child : elementChildren(root)) {
            const auto name = nameOf(child);
            if (name == "object") {
                if (auto made = make(child, 0); !made)
                    return std::unexpected(made.error());
                m_contents.topLevelObjects.push_back(m_made.at(child));
            } else if (name != "connections") {
                return failure(InterfaceFile::MalformedError, child, "is not an object or connections element");
            }
        }
        for (const xmlNode* child : elementChildren(root))
            if (nameOf(child) == "object")
                if (auto filled = fill(child); !filled)
                    return std::unexpected(filled.error());
        for (const xmlNode* child : elementChildren(root))
            if (nameOf(child) == "connections")
                if (auto connected = connect(child); !connected)
                    return std::unexpected(connected.error());

        // Every connection is made: now the objects may use each other.
        static const fnd::Selector awake("awakeFromNib");
        for (const auto& object : m_order)
            if (object->respondsTo(awake))
                object->perform(awake);
        if (m_owner && m_owner->respondsTo(awake))
            m_owner->perform(awake);
        return std::move(m_contents);
    }

private:
    // Makes the object of an <object> element and of every <object> below it.
    fnd::Expected<void> make(const xmlNode* node, int depth)
    {
        if (depth > MaxDepth)
            return failure(InterfaceFile::MalformedError, node, "is nested too deeply");
        if (nameOf(node) == "object") {
            auto className = attribute(node, "class");
            if (!className || className->empty())
                return failure(InterfaceFile::MalformedError, node, "has no class");
            const fnd::ClassInfo* cls = fnd::ClassRegistry::shared().find(String(*className));
            if (!cls)
                return failure(InterfaceFile::UnknownClassError, node, "names a class that does not exist");
            // A view goes through its designated initialiser with the file's frame, as one made in code does.
            const bool isView = cls->isSubclassOf(View::staticClassInfo());
            std::shared_ptr<fnd::Object> object;
            try {
                object = isView ? (cls->allocator ? cls->allocator() : nullptr)
                                : (cls->factory ? cls->factory() : nullptr);
            } catch (const fnd::Exception& e) {
                // A class made only by a designated initialiser with arguments raises when made by name.
                return failure(
                    InterfaceFile::UnknownClassError, node, "names a class that cannot be made: " + e.reason().utf8());
            }
            if (!object)
                return failure(InterfaceFile::UnknownClassError, node, "names a class that cannot be made");
            if (auto id = attribute(node, "id")) {
                if (String(*id) == OwnerId || m_contents.objectsById.contains(String(*id)))
                    return failure(InterfaceFile::MalformedError, node, "repeats an id");
                m_contents.objectsById[String(*id)] = object;
            }
            if (auto* window = dynamic_cast<Window*>(object.get()))
                if (auto initialised = initialiseWindow(*window, node); !initialised)
                    return initialised;
            if (auto* view = dynamic_cast<View*>(object.get()))
                if (auto initialised = initialiseView(*view, node); !initialised)
                    return initialised;
            m_made[node] = object;
            m_order.push_back(object);
        }
        for (const xmlNode* child : elementChildren(node))
            if (auto made = make(child, depth + 1); !made)
                return made;
        return {};
    }

    // A window is set up from its content rect and style mask before any other key.
    fnd::Expected<void> initialiseWindow(Window& window, const xmlNode* node)
    {
        gfx::Rect contentRect;
        unsigned styleMask = WindowStyleMask::Titled;
        for (const xmlNode* child : elementChildren(node)) {
            const auto key = attribute(child, "key");
            if (key != "contentRect" && key != "styleMask")
                continue;
            // Only plain values: the window is made before the objects nested in it, so an object here (or in an
            // array or dictionary here) would be read before it exists.
            const auto kind = nameOf(child);
            if (*key == "contentRect" ? kind != "rect" : kind != "integer" && kind != "real")
                return failure(InterfaceFile::InvalidValueError, child, "sets a value of the wrong kind for its key");
            auto value = readValue(child);
            if (!value)
                return std::unexpected(value.error());
            if (*key == "contentRect" && value->rect())
                contentRect = *value->rect();
            else if (*key == "styleMask" && value->isNumber() && value->integerValue() >= 0
                && value->integerValue() <= UINT_MAX)
                styleMask = static_cast<unsigned>(value->integerValue());
            else
                return failure(InterfaceFile::InvalidValueError, child, "sets a value of the wrong kind for its key");
        }
        window.initWithContentRect(contentRect, styleMask);
        return {};
    }

    // A view is made with the frame the file gives it (the empty rectangle without one).
    fnd::Expected<void> initialiseView(View& view, const xmlNode* node)
    {
        gfx::Rect frame;
        for (const xmlNode* child : elementChildren(node)) {
            if (attribute(child, "key") != "frame")
                continue;
            if (nameOf(child) != "rect")
                return failure(InterfaceFile::InvalidValueError, child, "sets a value of the wrong kind for its key");
            auto value = readValue(child);
            if (!value)
                return std::unexpected(value.error());
            frame = *value->rect();
        }
        try {
            view.initWithFrame(frame);
        } catch (const fnd::Exception& exception) {
            return failure(InterfaceFile::InvalidValueError, node,
                fmt::format("could not be made: {}", exception.reason().utf8()));
        }
        return {};
    }

    std::shared_ptr<fnd::Object> objectWithId(const String& id) const
    {
        if (id == OwnerId)
            return m_owner;
        auto found = m_contents.objectsById.find(id);
        return found == m_contents.objectsById.end() ? nullptr : found->second;
    }

    fnd::Expected<std::shared_ptr<fnd::Object>> reference(const xmlNode* node, const char* attributeName)
    {
        auto id = attribute(node, attributeName);
        if (!id)
            return failure(InterfaceFile::MalformedError, node, fmt::format("has no {}", attributeName));
        auto object = objectWithId(String(*id));
        if (!object)
            return failure(InterfaceFile::UnknownObjectError, node,
                fmt::format("refers to \"{}\", which is no object of the file", *id));
        return object;
    }

    // Sets the keys and adds the children of an <object> element, its nested objects first.
    fnd::Expected<void> fill(const xmlNode* node)
    {
        const auto& object = m_made.at(node);
        for (const xmlNode* child : elementChildren(node)) {
            const auto name = nameOf(child);
            if (name == "subviews" || name == "items" || name == "children") {
                if (auto added = addChildren(*object, child); !added)
                    return added;
                continue;
            }
            auto key = attribute(child, "key");
            if (!key)
                return failure(InterfaceFile::MalformedError, child, "has no key");
            auto* window = dynamic_cast<Window*>(object.get());
            if (window && (*key == "contentRect" || *key == "styleMask"))
                continue;
            if (*key == "frame" && dynamic_cast<View*>(object.get()))
                continue;
            auto value = readValue(child);
            if (!value)
                return std::unexpected(value.error());
            if (window && *key == "contentView") {
                auto view = value->objectAs<View>();
                if (!view)
                    return failure(InterfaceFile::InvalidValueError, child, "is not a view");
                window->setContentView(view);
                continue;
            }
            if (auto set = setKey(*object, *value, String(*key), child); !set)
                return set;
        }
        return {};
    }

    fnd::Expected<void> addChildren(fnd::Object& parent, const xmlNode* node)
    {
        std::string selectorName = nameOf(node) == "subviews" ? "addSubview:" : "addItem:";
        if (nameOf(node) == "children") {
            auto selector = attribute(node, "selector");
            if (!selector || selector->empty())
                return failure(InterfaceFile::MalformedError, node, "has no selector");
            selectorName = *selector;
        }
        const fnd::Selector selector { String(selectorName) };
        auto* parentView = dynamic_cast<View*>(&parent);
        if (parentView && selectorName == "addSubview:") {
            for (const xmlNode* child : elementChildren(node)) {
                auto view = nameOf(child) == "object" ? std::dynamic_pointer_cast<View>(m_made.at(child)) : nullptr;
                if (!view)
                    return failure(InterfaceFile::InvalidValueError, child, "is not a view");
                if (auto filled = fill(child); !filled)
                    return filled;
                // A class that adds subviews its own way (wrapping them, laying them out) registers addSubview:.
                if (parent.classInfo().findAction(selector))
                    parent.perform(selector, Value(m_made.at(child)));
                else
                    parentView->addSubview(view);
            }
            return {};
        }
        if (!parent.respondsTo(selector))
            return failure(InterfaceFile::UnknownKeyError, node,
                fmt::format(
                    "adds children to a {}, which does not answer {}", parent.className().utf8(), selectorName));
        for (const xmlNode* child : elementChildren(node)) {
            if (nameOf(child) != "object")
                return failure(InterfaceFile::MalformedError, child, "is not an <object> element");
            if (auto filled = fill(child); !filled)
                return filled;
            try {
                parent.perform(selector, Value(m_made.at(child)));
            } catch (const fnd::Exception& exception) {
                return failure(InterfaceFile::InvalidValueError, child,
                    fmt::format("could not be added: {}", exception.reason().utf8()));
            }
        }
        return {};
    }

    // Key-value coding converts loosely (a string to a rect gives an empty rect); a file that writes the wrong kind
    // of value for a geometry or number key is refused instead of losing the value silently.
    static bool fits(const Value& current, const Value& value)
    {
        using Type = Value::Type;
        switch (current.type()) {
        case Type::Point:
        case Type::Size:
        case Type::Rect:
        case Type::Range:
            return value.type() == current.type();
        case Type::Number:
            return value.isNumber() || value.isString();
        default:
            return true;
        }
    }

    fnd::Expected<void> setKey(fnd::Object& object, const Value& value, const String& key, const xmlNode* node)
    {
        if (const auto* property = object.classInfo().findProperty(key); property && !property->set)
            return failure(InterfaceFile::ReadOnlyKeyError, node,
                fmt::format("sets a key a {} has only to read", object.className().utf8()));
        try {
            if (!fits(object.valueForKey(key), value))
                return failure(InterfaceFile::InvalidValueError, node, "sets a value of the wrong kind for its key");
            object.setValueForKey(value, key);
        } catch (const fnd::Exception& exception) {
            if (exception.name() == fnd::ExceptionName::UndefinedKey)
                return failure(InterfaceFile::UnknownKeyError, node,
                    fmt::format("sets a key a {} does not have", object.className().utf8()));
            return failure(InterfaceFile::InvalidValueError, node,
                fmt::format("sets a value that was refused: {}", exception.reason().utf8()));
        }
        return {};
    }

    fnd::Expected<Value> readValue(const xmlNode* node, int depth = 0)
    {
        if (depth > MaxDepth)
            return failure(InterfaceFile::MalformedError, node, "is nested too deeply");
        const auto name = nameOf(node);
        auto number = [&](const char* attributeName) -> fnd::Expected<double> {
            auto text = attribute(node, attributeName);
            auto value = text ? parseNumber(*text) : std::nullopt;
            if (!value)
                return failure(
                    InterfaceFile::InvalidValueError, node, fmt::format("needs a number for {}", attributeName));
            return *value;
        };
        auto numbers = [&](std::initializer_list<const char*> names) -> fnd::Expected<std::vector<double>> {
            std::vector<double> values;
            for (const char* n : names) {
                auto value = number(n);
                if (!value)
                    return std::unexpected(value.error());
                values.push_back(*value);
            }
            return values;
        };

        if (name == "object") {
            if (auto filled = fill(node); !filled)
                return std::unexpected(filled.error());
            return Value(m_made.at(node));
        }
        if (name == "reference") {
            auto object = reference(node, "ref");
            if (!object)
                return std::unexpected(object.error());
            return Value(*object);
        }
        if (name == "string")
            return Value(String::fromUTF8(textOf(node)));
        if (name == "nil")
            return Value();
        if (name == "integer") {
            const std::string text = trimmed(textOf(node));
            long long value = 0;
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (error != std::errc() || end != text.data() + text.size() || text.empty())
                return failure(InterfaceFile::InvalidValueError, node, "does not hold an integer");
            return Value(value);
        }
        if (name == "real") {
            auto value = parseNumber(textOf(node));
            if (!value)
                return failure(InterfaceFile::InvalidValueError, node, "does not hold a number");
            return Value(*value);
        }
        if (name == "bool") {
            const std::string text = trimmed(textOf(node));
            if (text != "true" && text != "false")
                return failure(InterfaceFile::InvalidValueError, node, "holds neither true nor false");
            return Value(text == "true");
        }
        if (name == "point") {
            auto v = numbers({ "x", "y" });
            if (!v)
                return std::unexpected(v.error());
            return Value(gfx::Point { (*v)[0], (*v)[1] });
        }
        if (name == "size") {
            auto v = numbers({ "width", "height" });
            if (!v)
                return std::unexpected(v.error());
            return Value(gfx::Size { (*v)[0], (*v)[1] });
        }
        if (name == "rect") {
            auto v = numbers({ "x", "y", "width", "height" });
            if (!v)
                return std::unexpected(v.error());
            return Value(gfx::Rect { { (*v)[0], (*v)[1] }, { (*v)[2], (*v)[3] } });
        }
        if (name == "range") {
            auto v = numbers({ "location", "length" });
            if (!v || (*v)[0] < 0 || (*v)[1] < 0)
                return failure(InterfaceFile::InvalidValueError, node, "needs a location and length from 0");
            return Value(fnd::Range { static_cast<fnd::Index>((*v)[0]), static_cast<fnd::Index>((*v)[1]) });
        }
        if (name == "color") {
            double alpha = 1;
            if (attribute(node, "alpha")) {
                auto a = number("alpha");
                if (!a)
                    return std::unexpected(a.error());
                alpha = *a;
            }
            if (attribute(node, "white")) {
                auto white = number("white");
                if (!white)
                    return std::unexpected(white.error());
                return Value(gfx::Color::colorWithCalibratedWhite(*white, alpha));
            }
            auto v = numbers({ "red", "green", "blue" });
            if (!v)
                return std::unexpected(v.error());
            return Value(gfx::Color::colorWithCalibratedRed((*v)[0], (*v)[1], (*v)[2], alpha));
        }
        if (name == "image") {
            auto imageName = attribute(node, "name");
            auto image = imageName ? gfx::Image::imageNamed(String(*imageName)) : nullptr;
            if (!image)
                return failure(InterfaceFile::InvalidValueError, node, "names no image");
            return Value(image);
        }
        if (name == "font") {
            auto fontName = attribute(node, "name");
            auto size = number("size");
            if (!fontName || !size)
                return failure(InterfaceFile::InvalidValueError, node, "needs a name and a size");
            if (*size > gfx::Font::LargestPointSize)
                return failure(InterfaceFile::InvalidValueError, node, "has a size no text is set in");
            auto font = gfx::Font::fontWithName(String(*fontName), *size);
            if (!font)
                return failure(InterfaceFile::InvalidValueError, node, "names no font");
            return Value(font);
        }
        if (name == "array") {
            fnd::Array array;
            for (const xmlNode* child : elementChildren(node)) {
                auto value = readValue(child, depth + 1);
                if (!value)
                    return value;
                array.push_back(std::move(*value));
            }
            return Value(std::move(array));
        }
        if (name == "dictionary") {
            fnd::Dictionary dictionary;
            for (const xmlNode* child : elementChildren(node)) {
                auto key = attribute(child, "key");
                if (!key)
                    return failure(InterfaceFile::MalformedError, child, "has no key");
                auto value = readValue(child, depth + 1);
                if (!value)
                    return value;
                dictionary.set(String(*key), std::move(*value));
            }
            return Value(std::move(dictionary));
        }
        return failure(InterfaceFile::MalformedError, node, "is not a value this format knows");
    }

    fnd::Expected<void> connect(const xmlNode* connections)
    {
        std::vector<const xmlNode*> bindings;
        for (const xmlNode* node : elementChildren(connections)) {
            const auto name = nameOf(node);
            auto source = reference(node, "source");
            if (!source)
                return std::unexpected(source.error());
            if (name == "binding") {
                // Made once every outlet is connected, since a bound key path may pass through one.
                bindings.push_back(node);
            } else if (name == "outlet") {
                auto key = attribute(node, "key");
                if (!key || key->empty())
                    return failure(InterfaceFile::MalformedError, node, "has no key");
                auto destination = reference(node, "destination");
                if (!destination)
                    return std::unexpected(destination.error());
                if (auto set = setKey(**source, Value(*destination), String(*key), node); !set)
                    return set;
            } else if (name == "action") {
                auto selector = attribute(node, "selector");
                if (!selector || selector->empty())
                    return failure(InterfaceFile::MalformedError, node, "has no selector");
                Value target;
                if (attribute(node, "destination")) {
                    auto destination = reference(node, "destination");
                    if (!destination)
                        return std::unexpected(destination.error());
                    target = Value(*destination);
                }
                if (auto set = setKey(**source, target, "target", node); !set)
                    return set;
                if (auto set = setKey(**source, Value(String(*selector)), "action", node); !set)
                    return set;
            } else {
                return failure(InterfaceFile::MalformedError, node, "is not an outlet, action or binding");
            }
        }
        for (const xmlNode* node : bindings)
            if (auto bound = bind(node); !bound)
                return bound;
        return {};
    }

    // <binding source name destination keyPath> with the options as keyed values inside.
    fnd::Expected<void> bind(const xmlNode* node)
    {
        auto source = reference(node, "source");
        if (!source)
            return std::unexpected(source.error());
        auto destination = reference(node, "destination");
        if (!destination)
            return std::unexpected(destination.error());
        auto name = attribute(node, "name");
        auto keyPath = attribute(node, "keyPath");
        if (!name || name->empty())
            return failure(InterfaceFile::MalformedError, node, "has no name");
        if (!keyPath || keyPath->empty())
            return failure(InterfaceFile::MalformedError, node, "has no keyPath");
        fnd::Dictionary options;
        for (const xmlNode* child : elementChildren(node)) {
            auto key = attribute(child, "key");
            if (!key)
                return failure(InterfaceFile::MalformedError, child, "has no key");
            auto value = readValue(child);
            if (!value)
                return std::unexpected(value.error());
            options.set(String(*key), std::move(*value));
        }
        try {
            (*source)->bind(String(*name), **destination, String(*keyPath), options);
        } catch (const fnd::Exception& exception) {
            (*source)->unbind(String(*name));
            return failure(exception.name() == fnd::ExceptionName::UndefinedKey ? InterfaceFile::UnknownKeyError
                                                                                : InterfaceFile::InvalidValueError,
                node, fmt::format("binds to a key path that was refused: {}", exception.reason().utf8()));
        }
        return {};
    }

    std::shared_ptr<fnd::Object> m_owner;
    Contents m_contents;
    std::unordered_map<const xmlNode*, std::shared_ptr<fnd::Object>> m_made;
    std::vector<std::shared_ptr<fnd::Object>> m_order;
};

}

fnd::Expected<Contents> InterfaceFile::load(const fnd::Data& xml, const std::shared_ptr<fnd::Object>& owner)
{
    if (xml.length() > static_cast<std::size_t>(INT_MAX))
        return failure(MalformedError, nullptr, "the file is too large");
    fnd::detail::XmlParsingScope scope;
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (!context)
        return failure(MalformedError, nullptr, "the XML parser could not be created");
    scope.refuseEntities(*context);
    // No entity substitution, no DTD loading, no network.
    const int options
        = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA | XML_PARSE_BIG_LINES;
    std::unique_ptr<xmlDoc, DocumentDeleter> doc(xmlCtxtReadMemory(context.get(),
        reinterpret_cast<const char*>(xml.bytes()), static_cast<int>(xml.length()), nullptr, nullptr, options));
    if (scope.entityDeclared())
        return failure(MalformedError, nullptr, "the file declares entities");
    if (!doc || !context->wellFormed) {
        const xmlError* error = xmlCtxtGetLastError(context.get());
        if (!error || !error->message)
            return failure(MalformedError, nullptr, "the XML is not well-formed");
        return failure(MalformedError, nullptr, fmt::format("line {}: {}", error->line, trimmed(error->message)));
    }
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root)
        return failure(MalformedError, nullptr, "the document has no root element");
    return Loader(owner).run(root);
}

fnd::Expected<Contents> InterfaceFile::loadFile(const fnd::String& path, const std::shared_ptr<fnd::Object>& owner)
{
    auto data = fnd::FileManager::defaultManager().contentsAtPath(path);
    if (!data)
        return std::unexpected(Error::make(ErrorDomain, FileReadError,
            String(fmt::format("The interface file {} could not be read.", path.utf8())),
            data.error().localizedDescription()));
    return load(*data, owner);
}

fnd::Expected<Contents> InterfaceFile::loadNamed(const fnd::String& name, const std::shared_ptr<fnd::Object>& owner)
{
    auto bundle = owner ? fnd::Bundle::bundleForClass(owner->className()) : fnd::Bundle::mainBundle();
    auto path = bundle ? bundle->pathForResource(name, "interface") : std::nullopt;
    if (!path)
        return std::unexpected(Error::make(
            ErrorDomain, FileReadError, String(fmt::format("There is no interface file named \"{}\".", name.utf8()))));
    return loadFile(*path, owner);
}

}
