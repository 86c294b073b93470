#include "platform/backend/gtk/ClipboardTypes.h"

#include "platform/ui/dragging/Pasteboard.h"

#include <glib.h>

#include <memory>
#include <utility>

namespace ui::clipboardtypes {

namespace {

constexpr const char* Utf8Text = "text/plain;charset=utf-8";
constexpr const char* UriList = "text/uri-list";
constexpr const char* PrivatePrefix = "application/x-";

// Pasteboard type ↔ MIME type for the types other programs know. The first row of a MIME type wins when reading.
const std::vector<std::pair<fnd::String, std::string>>& knownTypes()
{
    static const std::vector<std::pair<fnd::String, std::string>> table = {
        { PasteboardType::String, Utf8Text },
        { PasteboardType::PDF, "application/pdf" },
        { PasteboardType::PNG, "image/png" },
        { PasteboardType::TIFF, "image/tiff" },
        { PasteboardType::PostScript, "application/postscript" },
        { PasteboardType::Filenames, UriList },
        { PasteboardType::URL, UriList },
    };
    return table;
}

bool isTokenCharacter(char c)
{
    // RFC 2045 token characters, less the ones that would confuse a reader of the name.
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '+' || c == '_';
}

template <typename T> using GPtr = std::unique_ptr<T, decltype(&g_free)>;

}

std::string mimeTypeForPasteboardType(const fnd::String& type)
{
    for (const auto& [pasteboardType, mime] : knownTypes())
        if (pasteboardType == type)
            return mime;
    std::string name = type.utf8();
    if (name.find('/') != std::string::npos)
        return name;
    std::string mime = PrivatePrefix;
    for (char c : name)
        mime += isTokenCharacter(c) ? c : '_';
    return mime;
}

std::optional<fnd::String> pasteboardTypeForMimeType(const std::string& mime)
{
    for (const auto& [pasteboardType, known] : knownTypes())
        if (known == mime)
            return pasteboardType;
    if (mime.rfind("text/", 0) == 0)
        return std::nullopt;
    if (mime.rfind(PrivatePrefix, 0) == 0)
        return fnd::String(mime.substr(std::char_traits<char>::length(PrivatePrefix)));
    return fnd::String(mime);
}

const std::vector<std::string>& textMimeTypes()
{
    static const std::vector<std::string> types = { Utf8Text, "UTF8_STRING", "text/plain", "STRING", "TEXT" };
    return types;
}

std::string uriListForPaths(const std::vector<fnd::String>& paths)
{
    std::string list;
    for (const auto& path : paths) {
        GPtr<char> uri(g_filename_to_uri(path.utf8().c_str(), nullptr, nullptr), g_free);
        if (!uri)
            continue;
        list += uri.get();
        list += "\r\n";
    }
    return list;
}

std::vector<fnd::String> pathsFromURIList(const std::string& list)
{
    std::vector<fnd::String> paths;
    char** uris = g_uri_list_extract_uris(list.c_str());
    for (char** uri = uris; uri && *uri; ++uri) {
        GPtr<char> path(g_filename_from_uri(*uri, nullptr, nullptr), g_free);
        if (path)
            paths.emplace_back(path.get());
    }
    g_strfreev(uris);
    return paths;
}

}
