#include "platform/foundation/files/FileURL.h"

#include <glib.h>

#include <filesystem>

namespace fnd {

String fileURLWithPath(const String& path)
{
    std::filesystem::path p(path.utf8());
    std::error_code error;
    if (p.is_relative())
        p = std::filesystem::absolute(p, error);
    gchar* uri = g_filename_to_uri(p.string().c_str(), nullptr, nullptr);
    String result(uri ? uri : "");
    g_free(uri);
    return result;
}

std::optional<String> pathOfFileURL(const String& url)
{
    gchar* host = nullptr;
    gchar* path = g_filename_from_uri(url.utf8().c_str(), &host, nullptr);
    bool local = path && (!host || std::string_view(host).empty() || std::string_view(host) == "localhost");
    std::optional<String> result = local ? std::optional<String>(String(path)) : std::nullopt;
    g_free(host);
    g_free(path);
    return result;
}

bool isFileURL(const String& string)
{
    return string.utf8().starts_with("file:");
}

}
