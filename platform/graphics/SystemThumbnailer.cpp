#include "platform/graphics/SystemThumbnailer.h"

#include "platform/foundation/files/Paths.h"
#include "platform/foundation/services/Process.h"

#include <gio/gio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <unistd.h>

namespace gfx {

namespace {

bool SystemThumbnailerProgramExists(const fnd::String& program)
{
    auto name = program.utf8();
    if (name.empty())
        return false;
    if (name.find('/') != std::string::npos)
        return ::access(name.c_str(), X_OK) == 0;
    gchar* found = g_find_program_in_path(name.c_str());
    bool exists = found != nullptr;
    g_free(found);
    return exists;
}

}

std::optional<SystemThumbnailer> SystemThumbnailer::parse(const fnd::Data& data, const fnd::String& name)
{
    SystemThumbnailer thumbnailer;
    thumbnailer.m_name = name;
    thumbnailer.m_entry = fnd::DesktopEntry::parse(data, "Thumbnailer Entry");
    for (const auto& type : thumbnailer.m_entry.list("MimeType"))
        if (!type.isEmpty())
            thumbnailer.m_mimeTypes.push_back(type);
    if (thumbnailer.m_mimeTypes.empty() || thumbnailer.m_entry.execArguments().empty())
        return std::nullopt;
    return thumbnailer;
}

std::vector<SystemThumbnailer> SystemThumbnailer::installed()
{
    fnd::StringArray folders { fnd::Paths::dataHome() };
    for (const auto& folder : fnd::Paths::dataDirectories())
        folders.push_back(folder);
    std::vector<SystemThumbnailer> found;
    std::set<std::string> names;
    for (const auto& folder : folders) {
        std::error_code error;
        std::vector<std::filesystem::path> files;
        for (const auto& entry :
            std::filesystem::directory_iterator(std::filesystem::path(folder.utf8()) / "thumbnailers", error))
            if (entry.path().extension() == ".thumbnailer")
                files.push_back(entry.path());
        // Directory order is arbitrary: by name, so the same system always picks the same thumbnailer.
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            if (!names.insert(file.filename().string()).second)
                continue;
            std::ifstream in(file, std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (auto thumbnailer = parse(fnd::Data(bytes.data(), bytes.size()), fnd::String(file.stem().string())))
                found.push_back(std::move(*thumbnailer));
        }
    }
    return found;
}

std::optional<SystemThumbnailer> SystemThumbnailer::forMIMEType(const fnd::String& mimeType)
{
    auto all = installed();
    // An exact match wins over a thumbnailer of a broader type.
    for (const auto& thumbnailer : all)
        if (std::find(thumbnailer.m_mimeTypes.begin(), thumbnailer.m_mimeTypes.end(), mimeType)
                != thumbnailer.m_mimeTypes.end()
            && thumbnailer.isRunnable())
            return thumbnailer;
    for (const auto& thumbnailer : all)
        if (thumbnailer.handles(mimeType) && thumbnailer.isRunnable())
            return thumbnailer;
    return std::nullopt;
}

bool SystemThumbnailer::handles(const fnd::String& mimeType) const
{
    auto mime = mimeType.utf8();
    gchar* type = g_content_type_from_mime_type(mime.c_str());
    bool result = false;
    for (const auto& named : m_mimeTypes) {
        if (named == mimeType) {
            result = true;
            break;
        }
        gchar* namedType = g_content_type_from_mime_type(named.utf8().c_str());
        result = type && namedType && g_content_type_is_a(type, namedType);
        g_free(namedType);
        if (result)
            break;
    }
    g_free(type);
    return result;
}

bool SystemThumbnailer::isRunnable() const
{
    if (auto tryExec = m_entry.value("TryExec"); tryExec && !SystemThumbnailerProgramExists(*tryExec))
        return false;
    auto arguments = m_entry.execArguments();
    return !arguments.empty() && SystemThumbnailerProgramExists(arguments.front());
}

fnd::StringArray SystemThumbnailer::arguments(
    const fnd::String& input, const fnd::String& uri, const fnd::String& output, int size) const
{
    return m_entry.execArguments(
        { { 'i', input }, { 'u', uri }, { 'o', output }, { 's', fnd::String(std::to_string(size)) } });
}

std::shared_ptr<BitmapImageRep> SystemThumbnailer::thumbnail(
    const fnd::String& path, const fnd::String& uri, int size) const
{
    std::string output
        = (std::filesystem::path(fnd::Paths::temporaryDirectory().utf8()) / "thumbnail-XXXXXX.png").string();
    int descriptor = ::mkstemps(output.data(), 4);
    if (descriptor < 0)
        return nullptr;
    ::close(descriptor);
    std::shared_ptr<BitmapImageRep> picture;
    auto status = fnd::Process::run(arguments(path, uri, fnd::String(output), size), Timeout);
    if (status && *status == 0) {
        if (auto bitmap = BitmapImageRep::imageRepWithContentsOfFile(fnd::String(output)))
            picture = *bitmap;
    }
    ::unlink(output.c_str());
    return picture;
}

}
