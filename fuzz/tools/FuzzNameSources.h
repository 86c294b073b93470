// What the fuzz targets that read class names and registered names draw from, in one place for make-fuzz-seeds,
// which writes their seeds and dictionaries, and for the test that finds those files behind the registries.
#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"
#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/bindings/ValueTransformer.h"
#include "platform/foundation/runtime/Exception.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace fuzznames {

// One libFuzzer dictionary entry: printable ASCII as it stands, every other byte, the quote and the backslash escaped.
inline std::string dictionaryEntry(std::string_view text)
{
    std::string entry = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            entry += '\\';
            entry += char(c);
        } else if (c < 0x20 || c > 0x7e) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            entry += escaped;
        } else {
            entry += char(c);
        }
    }
    return entry + "\"";
}

inline std::string xmlEscaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A default instance of the class when it adopts keyed coding and is made by name (with no arguments): the classes
// the class archive target has a seed of. nullptr for any other.
inline std::shared_ptr<fnd::Object> seedableInstance(const fnd::ClassInfo& cls)
{
    std::shared_ptr<fnd::Object> object;
    try {
        object = fnd::ClassRegistry::shared().create(cls.name);
    } catch (const fnd::Exception&) {
        // A class made only by a designated initialiser with arguments says so when made by name.
        return nullptr;
    }
    if (!object || !dynamic_cast<const fnd::Coding*>(object.get()) || &object->classInfo() != &cls)
        return nullptr;
    return object;
}

// The seed's file name for a class name: letters, digits, '-', '_' and '.' as they stand.
inline std::string seedFileNameOf(const std::string& className)
{
    std::string name = className;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.')
            c = '_';
    return name;
}

// The names the registries hold beside the class registry, which archives and interface files carry as strings:
// value transformers (a binding's option), theme keys (a themed control's key) and the looks of both tab bar
// families (a bar's style name).
inline std::set<std::string> registeredNames()
{
    std::set<std::string> names;
    auto add = [&names](const std::vector<fnd::String>& from) {
        for (const auto& name : from)
            names.insert(name.utf8());
    };
    add(fnd::ValueTransformer::valueTransformerNames());
    add(ZORThemeManager::sharedThemeManager().themeKeys());
    add(ZTBTabStyleRegistry::shared().registeredNames());
    add(QFTabStyleRegistry::shared().registeredNames());
    return names;
}

}
