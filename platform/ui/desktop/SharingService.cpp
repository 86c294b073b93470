#include "platform/ui/desktop/SharingService.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/services/DesktopEntry.h"
#include "platform/foundation/services/Process.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/views/detail/PanelText.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <gio/gio.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <set>

namespace ui {

FND_REGISTER_CLASS(SharingService, fnd::Object)

namespace {

// The items sorted by what they are.
struct SharedItems {
    fnd::StringArray texts;
    fnd::StringArray links;
    fnd::StringArray files;
    std::vector<std::shared_ptr<gfx::Image>> images;
    // An item of no kind a service takes.
    bool unknown { false };

    bool empty() const { return texts.empty() && links.empty() && files.empty() && images.empty(); }
    bool onlyFilesAndImages() const { return texts.empty() && links.empty() && !(files.empty() && images.empty()); }
};

bool sharingServiceIsLink(const fnd::String& text)
{
    for (const char* scheme : { "http://", "https://", "ftp://", "mailto:" })
        if (text.hasPrefix(scheme))
            return true;
    return false;
}

SharedItems sharingServiceSort(const std::vector<fnd::Value>& items)
{
    SharedItems sorted;
    for (const auto& item : items) {
        if (item.isString()) {
            const auto text = item.stringValue();
            if (text.hasPrefix("file://")) {
                gchar* path = g_filename_from_uri(text.utf8().c_str(), nullptr, nullptr);
                if (path)
                    sorted.files.push_back(fnd::String(path));
                else
                    sorted.unknown = true;
                g_free(path);
            } else if (sharingServiceIsLink(text)) {
                sorted.links.push_back(text);
            } else {
                sorted.texts.push_back(text);
            }
        } else if (auto image = item.objectAs<gfx::Image>()) {
            sorted.images.push_back(image);
        } else if (auto attributed = item.objectAs<txt::AttributedString>()) {
            sorted.texts.push_back(attributed->string());
        } else {
            sorted.unknown = true;
        }
    }
    return sorted;
}

std::mutex& sharingServiceRunnerMutex()
{
    static std::mutex mutex;
    return mutex;
}

SharingService::ProgramRunner& sharingServiceRunner()
{
    static SharingService::ProgramRunner runner;
    return runner;
}

fnd::Expected<int> sharingServiceRun(const fnd::StringArray& arguments, bool wait)
{
    SharingService::ProgramRunner runner;
    {
        std::lock_guard lock(sharingServiceRunnerMutex());
        runner = sharingServiceRunner();
    }
    if (runner)
        return runner(arguments, wait);
    if (wait)
        return fnd::Process::run(arguments);
    auto pid = fnd::Process::launch(arguments);
    if (!pid)
        return std::unexpected(pid.error());
    return 0;
}

bool sharingServiceHasProgram(const char* name)
{
    {
        std::lock_guard lock(sharingServiceRunnerMutex());
        if (sharingServiceRunner())
            return true;
    }
    gchar* found = g_find_program_in_path(name);
    g_free(found);
    return found != nullptr;
}

fnd::Error sharingServiceError(const fnd::String& description)
{
    return fnd::Error::make("SharingService", 1, description);
}

// The images as PNG files in a fresh folder of their own, "Picture.png", "Picture 2.png", ...
fnd::Expected<fnd::StringArray> sharingServiceWriteImages(const std::vector<std::shared_ptr<gfx::Image>>& images)
{
    fnd::StringArray paths;
    if (images.empty())
        return paths;
    auto base = std::filesystem::path(g_get_user_cache_dir()) / "barcodes-share";
    std::error_code ignored;
    std::filesystem::create_directories(base, ignored);
    std::string pattern = (base / "XXXXXX").string();
    if (!g_mkdtemp(pattern.data()))
        return std::unexpected(sharingServiceError(
            fnd::String::format(detail::panelText("SharingNoFolder", "The folder “%@” could not be made."),
                { fnd::Value(fnd::String(base.string())) })));
    for (std::size_t i = 0; i < images.size(); ++i) {
        auto png = images[i]->representationUsingType(gfx::BitmapImageFileType::PNG);
        if (!png)
            return std::unexpected(png.error());
        auto name = i == 0 ? std::string("Picture.png") : "Picture " + std::to_string(i + 1) + ".png";
        auto path = fnd::String(pattern + "/" + name);
        if (auto written = fnd::FileManager::defaultManager().writeAtomically(path, *png); !written)
            return std::unexpected(written.error());
        paths.push_back(path);
    }
    return paths;
}

// The MIME type of every file and image (images travel as PNG), without repeats.
std::set<std::string> sharingServiceMimeTypes(const SharedItems& items)
{
    std::set<std::string> types;
    for (const auto& path : items.files) {
        auto type = fnd::Workspace::sharedWorkspace().typeOfFile(path);
        types.insert(type ? fnd::Workspace::mimeTypeForType(*type).utf8() : std::string("application/octet-stream"));
    }
    if (!items.images.empty())
        types.insert("image/png");
    return types;
}

// Whether an application declaring these MIME types opens a file of this one: the same type, its media type's
// wildcard, or a parent of it in the MIME database.
bool sharingServiceOpens(const fnd::StringArray& declared, const std::string& mime)
{
    for (const auto& type : declared) {
        auto text = type.utf8();
        if (text == mime)
            return true;
        // "image/*" opens every image.
        if (text.ends_with("/*") && mime.starts_with(text.substr(0, text.size() - 1)))
            return true;
        if (g_content_type_is_a(mime.c_str(), text.c_str()))
            return true;
    }
    return false;
}

// The icon a desktop entry names: a path, or a name looked up in the hicolor theme and the pixmaps folders.
std::shared_ptr<gfx::Image> sharingServiceIcon(const fnd::DesktopEntry& entry)
{
    auto icon = entry.value("Icon");
    if (!icon || icon->isEmpty())
        return nullptr;
    std::vector<std::filesystem::path> candidates;
    auto name = icon->utf8();
    if (name.front() == '/') {
        candidates.emplace_back(name);
    } else {
        std::vector<std::filesystem::path> roots { g_get_user_data_dir() };
        for (const gchar* const* dir = g_get_system_data_dirs(); *dir; ++dir)
            roots.emplace_back(*dir);
        for (const auto& root : roots) {
            for (const char* size : { "48x48", "32x32", "64x64", "scalable" }) {
                auto folder = root / "icons" / "hicolor" / size / "apps";
                candidates.push_back(folder / (name + ".png"));
                candidates.push_back(folder / (name + ".svg"));
            }
            candidates.push_back(root / "pixmaps" / (name + ".png"));
        }
    }
    for (const auto& path : candidates) {
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(path, ignored))
            continue;
        if (auto image = gfx::Image::imageWithContentsOfFile(fnd::String(path.string())); image && *image) {
            (*image)->setSize({ 16, 16 });
            return *image;
        }
    }
    return nullptr;
}

struct SharingServiceApplication {
    fnd::String path;
    fnd::String name;
    fnd::DesktopEntry entry;
};

// Every application whose desktop entry opens all the types, by name; an entry of the same file name in a more
// important folder hides the others.
std::vector<SharingServiceApplication> sharingServiceApplications(const std::set<std::string>& types)
{
    std::vector<SharingServiceApplication> found;
    std::set<std::string> seen;
    for (const auto& folder : fnd::DesktopEntry::applicationFolders()) {
        std::error_code error;
        std::vector<std::filesystem::path> files;
        for (const auto& file : std::filesystem::directory_iterator(folder.utf8(), error))
            if (file.path().extension() == ".desktop")
                files.push_back(file.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            if (!seen.insert(file.filename().string()).second)
                continue;
            auto entry = fnd::DesktopEntry::read(fnd::String(file.string()));
            if (!entry || entry->value("Type").value_or("Application") != fnd::String("Application")
                || entry->boolean("NoDisplay") || entry->boolean("Hidden") || entry->execArguments().empty())
                continue;
            const auto declared = entry->list("MimeType");
            if (!std::all_of(
                    types.begin(), types.end(), [&](const auto& t) { return sharingServiceOpens(declared, t); }))
                continue;
            auto name = entry->value("Name").value_or(fnd::String(file.stem().string()));
            found.push_back({ fnd::String(file.string()), name, *entry });
        }
    }
    std::stable_sort(found.begin(), found.end(),
        [](const auto& a, const auto& b) { return a.name.caseInsensitiveCompare(b.name) < 0; });
    return found;
}

}

std::vector<std::shared_ptr<SharingService>> SharingService::sharingServicesForItems(
    const std::vector<fnd::Value>& items)
{
    std::vector<std::shared_ptr<SharingService>> services;
    const auto sorted = sharingServiceSort(items);
    if (sorted.unknown || sorted.empty())
        return services;
    auto make = [&](Kind kind, const fnd::String& title) {
        auto service = fnd::makeObject<SharingService>();
        service->m_kind = kind;
        service->m_title = title;
        services.push_back(service);
        return service;
    };
    if (sharingServiceHasProgram("xdg-email"))
        make(Kind::ComposeEmail, detail::panelText("SharingEmail", "Email"));
    if (sorted.onlyFilesAndImages()) {
        const auto types = sharingServiceMimeTypes(sorted);
        for (auto& application : sharingServiceApplications(types)) {
            auto service = make(Kind::OpenWithApplication,
                fnd::String::format(
                    detail::panelText("SharingOpenWith", "Open With %@"), { fnd::Value(application.name) }));
            service->m_entryPath = application.path;
            service->m_image = sharingServiceIcon(application.entry);
            service->m_mimeTypes = application.entry.list("MimeType");
        }
    }
    make(Kind::CopyToPasteboard, detail::panelText("SharingCopy", "Copy"));
    return services;
}

bool SharingService::canPerformWithItems(const std::vector<fnd::Value>& items) const
{
    const auto sorted = sharingServiceSort(items);
    if (sorted.unknown || sorted.empty())
        return false;
    if (m_kind != Kind::OpenWithApplication)
        return true;
    if (!sorted.onlyFilesAndImages())
        return false;
    const auto types = sharingServiceMimeTypes(sorted);
    return std::all_of(types.begin(), types.end(), [&](const auto& t) { return sharingServiceOpens(m_mimeTypes, t); });
}

void SharingService::performWithItems(const std::vector<fnd::Value>& items)
{
    auto self = shared_from_this(); // the delegate may let the service go
    auto d = delegate();
    if (d)
        d->sharingServiceWillShareItems(*this, items);
    auto shared = canPerformWithItems(items)
        ? share(items)
        : fnd::Expected<void>(std::unexpected(
            sharingServiceError(detail::panelText("SharingCannotShare", "These items cannot be shared this way."))));
    if (!d)
        return;
    if (shared)
        d->sharingServiceDidShareItems(*this, items);
    else
        d->sharingServiceDidFailToShareItems(*this, items, shared.error());
}

fnd::Expected<void> SharingService::share(const std::vector<fnd::Value>& items) const
{
    const auto sorted = sharingServiceSort(items);
    switch (m_kind) {
    case Kind::ComposeEmail: {
        auto pictures = sharingServiceWriteImages(sorted.images);
        if (!pictures)
            return std::unexpected(pictures.error());
        fnd::StringArray arguments { "xdg-email", "--utf8" };
        fnd::StringArray lines = sorted.texts;
        lines.insert(lines.end(), sorted.links.begin(), sorted.links.end());
        if (!lines.empty()) {
            fnd::String body;
            for (std::size_t i = 0; i < lines.size(); ++i)
                body = i == 0 ? lines[i] : body + "\n" + lines[i];
            arguments.push_back("--body");
            arguments.push_back(body);
        }
        auto attach = [&](const fnd::String& path) {
            arguments.push_back("--attach");
            arguments.push_back(path);
        };
        std::for_each(sorted.files.begin(), sorted.files.end(), attach);
        std::for_each(pictures->begin(), pictures->end(), attach);
        auto status = sharingServiceRun(arguments, true);
        if (!status)
            return std::unexpected(status.error());
        if (*status != 0)
            return std::unexpected(sharingServiceError(fnd::String::format(
                detail::panelText("SharingMailFailed", "The mail program could not be started (status %@)."),
                { fnd::Value(long(*status)) })));
        return {};
    }
    case Kind::OpenWithApplication: {
        auto entry = fnd::DesktopEntry::read(m_entryPath);
        if (!entry)
            return std::unexpected(entry.error());
        auto pictures = sharingServiceWriteImages(sorted.images);
        if (!pictures)
            return std::unexpected(pictures.error());
        fnd::StringArray paths = sorted.files;
        paths.insert(paths.end(), pictures->begin(), pictures->end());
        // %u and %U ask for addresses, %f and %F (or nothing) for paths.
        const auto exec = entry->value("Exec").value_or(fnd::String()).utf8();
        const bool wantsURIs = exec.find("%u") != std::string::npos || exec.find("%U") != std::string::npos;
        const bool takesMany = exec.find("%F") != std::string::npos || exec.find("%U") != std::string::npos;
        auto argumentFor = [&](const fnd::String& path) {
            if (!wantsURIs)
                return path;
            gchar* uri = g_filename_to_uri(path.utf8().c_str(), nullptr, nullptr);
            fnd::String text(uri ? uri : "");
            g_free(uri);
            return text;
        };
        // A program that takes one file at a time is started once per file.
        std::vector<fnd::StringArray> launches;
        if (takesMany) {
            launches.push_back(entry->execArguments());
            for (const auto& path : paths)
                launches.back().push_back(argumentFor(path));
        } else {
            for (const auto& path : paths) {
                launches.push_back(entry->execArguments());
                launches.back().push_back(argumentFor(path));
            }
        }
        for (const auto& arguments : launches)
            if (auto started = sharingServiceRun(arguments, false); !started)
                return std::unexpected(started.error());
        return {};
    }
    case Kind::CopyToPasteboard: {
        auto pasteboard = Pasteboard::generalPasteboard();
        std::vector<fnd::String> types;
        fnd::StringArray lines = sorted.texts;
        lines.insert(lines.end(), sorted.links.begin(), sorted.links.end());
        if (!lines.empty())
            types.push_back(PasteboardType::String);
        if (!sorted.links.empty())
            types.push_back(PasteboardType::URL);
        if (!sorted.files.empty())
            types.push_back(PasteboardType::Filenames);
        std::optional<fnd::Data> png;
        if (!sorted.images.empty()) {
            auto encoded = sorted.images.front()->representationUsingType(gfx::BitmapImageFileType::PNG);
            if (!encoded)
                return std::unexpected(encoded.error());
            png = *encoded;
            types.push_back(PasteboardType::PNG);
        }
        pasteboard->declareTypes(types);
        if (!lines.empty()) {
            fnd::String text;
            for (std::size_t i = 0; i < lines.size(); ++i)
                text = i == 0 ? lines[i] : text + "\n" + lines[i];
            pasteboard->setString(text, PasteboardType::String);
        }
        if (!sorted.links.empty()) {
            fnd::Array urls;
            for (const auto& link : sorted.links)
                urls.push_back(fnd::Value(link));
            pasteboard->setPropertyList(fnd::Value(urls), PasteboardType::URL);
        }
        if (!sorted.files.empty()) {
            fnd::Array files;
            for (const auto& file : sorted.files)
                files.push_back(fnd::Value(file));
            pasteboard->setPropertyList(fnd::Value(files), PasteboardType::Filenames);
        }
        if (png)
            pasteboard->setData(*png, PasteboardType::PNG);
        return {};
    }
    }
    return {};
}

SharingService::ProgramRunner SharingService::setProgramRunner(ProgramRunner runner)
{
    std::lock_guard lock(sharingServiceRunnerMutex());
    auto previous = std::move(sharingServiceRunner());
    sharingServiceRunner() = std::move(runner);
    return previous;
}

}
