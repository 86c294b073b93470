#include "platform/foundation/services/DesktopEntry.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/Paths.h"

#include <sstream>

namespace fnd {

namespace {

const std::string MainGroup = "[Desktop Entry]";

// The escapes of string values: \s \n \t \r \\.
std::string unescape(std::string_view raw)
{
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        switch (raw[++i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            out += raw[i];
            break;
        }
    }
    return out;
}

std::string escape(const std::string& value)
{
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    if (!out.empty() && out.front() == ' ')
        out.replace(0, 1, "\\s");
    return out;
}

}

Expected<DesktopEntry> DesktopEntry::read(const String& path)
{
    auto data = FileManager::defaultManager().contentsAtPath(path);
    if (!data)
        return std::unexpected(data.error());
    return parse(*data);
}

DesktopEntry DesktopEntry::parse(const Data& data, const String& group)
{
    const std::string header = "[" + group.utf8() + "]";
    DesktopEntry entry;
    std::istringstream lines { std::string(data.view()) };
    std::string line;
    bool inMainGroup = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inMainGroup = line == header;
            continue;
        }
        auto equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos)
            continue;
        auto key = line.substr(0, equals);
        key.erase(key.find_last_not_of(' ') + 1);
        auto raw = line.substr(equals + 1);
        raw.erase(0, raw.find_first_not_of(' ') == std::string::npos ? raw.size() : raw.find_first_not_of(' '));
        // The first occurrence of a key counts.
        entry.m_values.emplace(String(key), String(raw));
    }
    return entry;
}

Expected<void> DesktopEntry::write(const String& path) const
{
    std::string text = MainGroup + "\n";
    for (const auto& [key, raw] : m_values)
        text += key.utf8() + "=" + raw.utf8() + "\n";
    return FileManager::defaultManager().writeAtomically(path, Data::fromString(text));
}

std::optional<String> DesktopEntry::value(const String& key) const
{
    auto found = m_values.find(key);
    if (found == m_values.end())
        return std::nullopt;
    return String(unescape(found->second.utf8()));
}

void DesktopEntry::setValue(const String& key, const String& value)
{
    m_values[key] = String(escape(value.utf8()));
}

StringArray DesktopEntry::list(const String& key) const
{
    StringArray items;
    auto found = m_values.find(key);
    if (found == m_values.end())
        return items;
    auto raw = found->second.utf8();
    std::string item;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == ';') {
            item += ';';
            ++i;
        } else if (raw[i] == ';') {
            items.push_back(String(unescape(item)));
            item.clear();
        } else {
            item += raw[i];
        }
    }
    if (!item.empty())
        items.push_back(String(unescape(item)));
    return items;
}

bool DesktopEntry::boolean(const String& key) const
{
    return value(key) == std::optional<String>("true");
}

StringArray DesktopEntry::execArguments(const std::map<char, String>& fields) const
{
    auto line = value("Exec");
    StringArray arguments;
    if (!line)
        return arguments;
    auto text = line->utf8();
    std::string current;
    bool inArgument = false, quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '%' && i + 1 < text.size() && text[i + 1] == '%')
                current += text[++i];
            else if (c == '\\' && i + 1 < text.size()
                && std::string_view("\"`$\\").find(text[i + 1]) != std::string_view::npos)
                current += text[++i];
            else
                current += c;
        } else if (c == '"') {
            quoted = inArgument = true;
        } else if (c == ' ') {
            if (inArgument)
                arguments.push_back(String(current));
            current.clear();
            inArgument = false;
        } else if (c == '%' && i + 1 < text.size()) {
            // Field codes stand for files or addresses given at launch; "%%" is a percent sign.
            char code = text[++i];
            if (code == '%') {
                current += '%';
                inArgument = true;
            } else if (auto field = fields.find(code); field != fields.end()) {
                current += field->second.utf8();
                inArgument = true;
            }
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return {};
    if (inArgument)
        arguments.push_back(String(current));
    return arguments;
}

String DesktopEntry::execLine(const StringArray& arguments)
{
    std::string line;
    for (const auto& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += '"';
        for (char c : argument.utf8()) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                line += '\\';
            // A literal percent sign is written twice, so it is not read as a field code.
            if (c == '%')
                line += '%';
            line += c;
        }
        line += '"';
    }
    return String(line);
}

StringArray DesktopEntry::applicationFolders()
{
    StringArray folders { Paths::dataHome().stringByAppendingPathComponent("applications") };
    for (const auto& folder : Paths::dataDirectories())
        folders.push_back(folder.stringByAppendingPathComponent("applications"));
    return folders;
}

String DesktopEntry::autostartFolder()
{
    return Paths::configHome().stringByAppendingPathComponent("autostart");
}

}
