#include "platform/foundation/services/Workspace.h"

#include "platform/foundation/files/FileManager.h"

#include <fmt/format.h>
#include <gio/gio.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <string_view>
#include <utility>

namespace fnd {

namespace {

const String WorkspaceErrorDomain = "WorkspaceErrorDomain";

struct TypeMapping {
    std::string_view identifier;
    std::string_view mimeType;
};

// Concrete types: one MIME type each, in both directions.
constexpr std::array ConcreteTypes = {
    TypeMapping { "public.png", "image/png" },
    TypeMapping { "public.jpeg", "image/jpeg" },
    TypeMapping { "public.tiff", "image/tiff" },
    TypeMapping { "com.compuserve.gif", "image/gif" },
    TypeMapping { "public.jpeg-2000", "image/jp2" },
    TypeMapping { "public.svg-image", "image/svg+xml" },
    TypeMapping { "com.adobe.pdf", "application/pdf" },
    TypeMapping { "com.adobe.encapsulated-postscript", "image/x-eps" },
    TypeMapping { "public.plain-text", "text/plain" },
    TypeMapping { "public.comma-separated-values-text", "text/csv" },
    TypeMapping { "public.html", "text/html" },
    TypeMapping { "public.xml", "application/xml" },
    TypeMapping { "com.apple.property-list", "application/x-plist" },
    TypeMapping { "com.apple.quicktime-movie", "video/quicktime" },
    TypeMapping { "public.mpeg-4", "video/mp4" },
    TypeMapping { "public.folder", "inode/directory" },
    TypeMapping { "public.data", "application/octet-stream" },
};
static_assert(ConcreteTypes.size() == 17);

// Abstract types: a family of MIME types. "public.item" is handled apart: everything conforms to it.
constexpr std::array AbstractTypes = {
    TypeMapping { "public.image", "image/*" },
    TypeMapping { "public.movie", "video/*" },
    TypeMapping { "public.video", "video/*" },
    TypeMapping { "public.audio", "audio/*" },
    TypeMapping { "public.text", "text/plain" },
    TypeMapping { "public.directory", "inode/directory" },
};

constexpr std::array AllowedURLSchemes
    = { std::string_view("http"), std::string_view("https"), std::string_view("ftp"), std::string_view("mailto") };

struct GFree {
    void operator()(void* p) const { g_free(p); }
};
template <typename T> using GOwned = std::unique_ptr<T, GFree>;

struct GErrorFree {
    void operator()(GError* e) const { g_error_free(e); }
};

Error launchError(const String& uri, GError* raw)
{
    std::unique_ptr<GError, GErrorFree> error(raw);
    return Error::make(WorkspaceErrorDomain, error ? error->code : 1,
        String(fmt::format("\u201c{}\u201d could not be opened: {}.", uri.utf8(),
            error ? error->message : "no application handles it")));
}

Expected<void> openWithDefaultHandler(const String& uri)
{
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(uri.utf8().c_str(), nullptr, &error))
        return std::unexpected(launchError(uri, error));
    return {};
}

std::string schemeOf(const std::string& url)
{
    auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0)
        return {};
    std::string scheme = url.substr(0, colon);
    if (!std::isalpha(static_cast<unsigned char>(scheme.front())) || !std::ranges::all_of(scheme, [](unsigned char c) {
            return std::isalnum(c) || c == '+' || c == '-' || c == '.';
        }))
        return {};
    std::ranges::transform(scheme, scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    return scheme;
}

}

Workspace& Workspace::sharedWorkspace()
{
    static Workspace workspace;
    return workspace;
}

Workspace::Opener Workspace::setOpener(Opener opener)
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_opener, std::move(opener));
}

Expected<void> Workspace::openURL(const String& url)
{
    auto text = url.utf8();
    auto scheme = schemeOf(text);
    if (std::ranges::find(AllowedURLSchemes, scheme) == AllowedURLSchemes.end()
        || text.find_first_of("\r\n\t ") != std::string::npos)
        return std::unexpected(Error::make(WorkspaceErrorDomain, 2,
            String(fmt::format("\u201c{}\u201d is not a web or mail address and is not opened.", text))));
    Opener opener;
    {
        std::lock_guard lock(m_mutex);
        opener = m_opener;
    }
    return opener ? opener(url) : openWithDefaultHandler(url);
}

Expected<void> Workspace::openFile(const String& path)
{
    if (!FileManager::defaultManager().fileExists(path))
        return std::unexpected(Error::make(WorkspaceErrorDomain, 3,
            String(fmt::format("\u201c{}\u201d does not exist and cannot be opened.", path.utf8()))));
    GOwned<gchar> uri(g_filename_to_uri(path.utf8().c_str(), nullptr, nullptr));
    if (!uri)
        return std::unexpected(Error::make(
            WorkspaceErrorDomain, 3, String(fmt::format("\u201c{}\u201d is not an absolute path.", path.utf8()))));
    Opener opener;
    {
        std::lock_guard lock(m_mutex);
        opener = m_opener;
    }
    String uriText(uri.get());
    return opener ? opener(uriText) : openWithDefaultHandler(uriText);
}

Expected<String> Workspace::typeOfFile(const String& path) const
{
    auto& files = FileManager::defaultManager();
    auto attributes = files.attributesOfItem(path);
    if (!attributes)
        return std::unexpected(attributes.error());
    // Only a regular file is read: opening a pipe waits for a writer, and a device may act when opened. The others
    // are named as the shared MIME database names them.
    switch (attributes->type) {
    case FileType::Directory:
        return typeForMIMEType("inode/directory");
    case FileType::Pipe:
        return typeForMIMEType("inode/fifo");
    case FileType::Socket:
        return typeForMIMEType("inode/socket");
    case FileType::CharacterDevice:
        return typeForMIMEType("inode/chardevice");
    case FileType::BlockDevice:
        return typeForMIMEType("inode/blockdevice");
    case FileType::Regular:
    case FileType::SymbolicLink:
    case FileType::Other:
        break;
    }
    // The first 4 KiB are enough for every magic number in the MIME database's usual rules. Anything but a regular
    // file is known by its name alone.
    Data head;
    if (attributes->type == FileType::Regular) {
        auto read = files.contentsOfRegularFileAtPath(path, 4096);
        if (!read)
            return std::unexpected(read.error());
        head = std::move(*read);
    }
    gboolean uncertain = false;
    GOwned<gchar> contentType(g_content_type_guess(path.utf8().c_str(), head.bytes(), head.length(), &uncertain));
    GOwned<gchar> mimeType(contentType ? g_content_type_get_mime_type(contentType.get()) : nullptr);
    return typeForMIMEType(String(mimeType ? mimeType.get() : "application/octet-stream"));
}

String Workspace::mimeTypeForType(const String& type)
{
    auto text = type.utf8();
    for (const auto& mapping : ConcreteTypes) {
        if (mapping.identifier == text)
            return String(mapping.mimeType);
    }
    for (const auto& mapping : AbstractTypes) {
        if (mapping.identifier == text)
            return String(mapping.mimeType);
    }
    // A MIME type stands for itself.
    return text.find('/') != std::string::npos ? type : String();
}

String Workspace::typeForMIMEType(const String& mimeType)
{
    GOwned<gchar> canonical(g_content_type_from_mime_type(mimeType.utf8().c_str()));
    auto text = canonical ? std::string(canonical.get()) : mimeType.utf8();
    for (const auto& mapping : ConcreteTypes) {
        if (mapping.mimeType == text)
            return String(mapping.identifier);
    }
    return String(text);
}

bool Workspace::typeConformsTo(const String& type, const String& parentType)
{
    if (type == parentType || parentType == String("public.item"))
        return !type.isEmpty();
    auto mime = mimeTypeForType(type).utf8();
    auto parentMime = mimeTypeForType(parentType).utf8();
    if (mime.empty() || parentMime.empty())
        return false;
    // As with the platform identifiers, a folder is no kind of data: the MIME database agrees.
    return g_content_type_is_a(mime.c_str(), parentMime.c_str());
}

}
