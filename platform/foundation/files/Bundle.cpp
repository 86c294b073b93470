#include "platform/foundation/files/Bundle.h"

#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/detail/BundleLoading.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/Paths.h"
#include "platform/foundation/runtime/Log.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#ifndef BARCODES_RESOURCE_DIR
#define BARCODES_RESOURCE_DIR ""
#endif
#ifndef BARCODES_RESOURCES_FROM_LIBRARY
#define BARCODES_RESOURCES_FROM_LIBRARY ""
#endif

namespace fnd {

namespace {

const String DefaultTable = "Localizable";

struct BundleRegistry {
    std::mutex mutex;
    String mainBundleName;
    std::shared_ptr<Bundle> mainBundle;
    std::map<String, std::shared_ptr<Bundle>> byPath;
    // Bundles found by name: the resource roots do not change while the process runs.
    std::map<String, std::shared_ptr<Bundle>> byName;
    std::map<String, String> classes;
    std::map<String, String> prefixes;
};

BundleRegistry& bundleRegistry()
{
    static BundleRegistry r;
    return r;
}

String processExecutablePath()
{
    static const String path = [] {
        char buffer[PATH_MAX];
        auto length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (length <= 0)
            return String();
        return String(std::string_view(buffer, static_cast<std::size_t>(length)));
    }();
    return path;
}

bool isFolder(const String& path)
{
    bool isDirectory = false;
    return FileManager::defaultManager().fileExists(path, isDirectory) && isDirectory;
}

// The framework's own bundles: those installed with this library (found from the library's folder, so an installed
// copy never reads the source tree it was built from, which may be gone), else the source tree's of a build that was
// not installed. Empty when neither is known.
String frameworkResourceRoot()
{
    static const String root = [] {
        Dl_info info {};
        if (std::string_view(BARCODES_RESOURCES_FROM_LIBRARY).size() > 0
            && dladdr(reinterpret_cast<const void*>(&frameworkResourceRoot), &info) != 0 && info.dli_fname) {
            auto installed = String(info.dli_fname)
                                 .stringByDeletingLastPathComponent()
                                 .stringByAppendingPathComponent(BARCODES_RESOURCES_FROM_LIBRARY);
            char resolved[PATH_MAX];
            if (::realpath(installed.utf8().c_str(), resolved) && isFolder(String(resolved)))
                return String(resolved);
        }
        return String(BARCODES_RESOURCE_DIR);
    }();
    return root;
}

// "de_DE.UTF-8@euro" → "de_DE"; "C" and "POSIX" → empty.
std::string languageOfLocaleName(std::string_view name)
{
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX")
        return {};
    return std::string(name);
}

std::shared_ptr<Bundle> bundleAtPathLocked(BundleRegistry& r, const String& path)
{
    if (auto found = r.byPath.find(path); found != r.byPath.end())
        return found->second;
    if (!isFolder(path))
        return nullptr;
    auto bundle = std::make_shared<Bundle>(path);
    r.byPath.emplace(path, bundle);
    return bundle;
}

std::shared_ptr<Bundle> bundleNamedLocked(BundleRegistry& r, const String& name)
{
    if (name.isEmpty() || name.view().find(u'/') != std::u16string_view::npos)
        return nullptr;
    if (auto found = r.byName.find(name); found != r.byName.end())
        return found->second;
    for (const auto& root : Bundle::resourceRoots()) {
        if (auto bundle = bundleAtPathLocked(r, root.stringByAppendingPathComponent(name))) {
            r.byName.emplace(name, bundle);
            return bundle;
        }
    }
    return nullptr;
}

}

Bundle::Bundle(String path)
    : m_path(std::move(path))
{
}

std::shared_ptr<Bundle> Bundle::mainBundle()
{
    auto& r = bundleRegistry();
    std::lock_guard lock(r.mutex);
    if (!r.mainBundle) {
        auto name = r.mainBundleName.isEmpty() ? processExecutablePath().lastPathComponent() : r.mainBundleName;
        r.mainBundle = bundleNamedLocked(r, name);
        // No folder: an empty bundle, so that texts still fall back to their defaults.
        if (!r.mainBundle)
            r.mainBundle = std::make_shared<Bundle>(String());
    }
    return r.mainBundle;
}

void Bundle::setMainBundleName(const String& name)
{
    auto& r = bundleRegistry();
    std::lock_guard lock(r.mutex);
    r.mainBundleName = name;
    r.mainBundle.reset();
}

void Bundle::setMainBundlePath(const String& path)
{
    auto& r = bundleRegistry();
    std::lock_guard lock(r.mutex);
    r.mainBundle = bundleAtPathLocked(r, path);
    if (!r.mainBundle)
        r.mainBundle = std::make_shared<Bundle>(String());
}

std::shared_ptr<Bundle> Bundle::bundleWithName(const String& name)
{
    auto& r = bundleRegistry();
    std::lock_guard lock(r.mutex);
    return bundleNamedLocked(r, name);
}

std::shared_ptr<Bundle> Bundle::bundleWithPath(const String& path)
{
    auto& r = bundleRegistry();
    std::lock_guard lock(r.mutex);
    return bundleAtPathLocked(r, path);
}

std::shared_ptr<Bundle> Bundle::bundleForClass(const String& className)
{
    if (auto path = detail::pathOfBundleThatLoadedClass(className)) {
        if (auto bundle = bundleWithPath(*path))
            return bundle;
    }
    String bundleName;
    {
        auto& r = bundleRegistry();
        std::lock_guard lock(r.mutex);
        if (auto found = r.classes.find(className); found != r.classes.end()) {
            bundleName = found->second;
        } else {
            Index longest = -1;
            for (const auto& [prefix, name] : r.prefixes) {
                if (prefix.length() > longest && className.view().starts_with(prefix.view())) {
                    longest = prefix.length();
                    bundleName = name;
                }
            }
        }
    }
    if (bundleName.isEmpty())
        return mainBundle();
    if (auto bundle = bundleWithName(bundleName))
        return bundle;
    logf(LogLevel::Error, "The bundle \u201c{}\u201d of the class {} is missing; its texts fall back to defaults.",
        bundleName.utf8(), className.utf8());
    return mainBundle();
}

void Bundle::registerClass(const String& className, const String& bundleName)
{
    auto& r = bundleRegistry();
    std::lock_guard lock(r.mutex);
    r.classes[className] = bundleName;
}

void Bundle::registerClassPrefix(const String& prefix, const String& bundleName)
{
    auto& r = bundleRegistry();
    std::lock_guard lock(r.mutex);
    r.prefixes[prefix] = bundleName;
}

StringArray Bundle::resourceRoots()
{
    StringArray roots;
    auto executable = processExecutablePath();
    if (!executable.isEmpty()) {
        auto folder = executable.stringByDeletingLastPathComponent();
        auto name = executable.lastPathComponent();
        roots.push_back(
            folder.stringByAppendingPathComponent("../share").stringByAppendingPathComponent(name + "/resources"));
        roots.push_back(folder.stringByAppendingPathComponent("resources"));
    }
    if (auto framework = frameworkResourceRoot(); !framework.isEmpty())
        roots.push_back(framework);
    return roots;
}

namespace {

// Every localized text asks for the list: it is worked out again only when the variables it comes from change, and
// finding that they did not allocates nothing.
const StringArray& currentPreferredLanguages()
{
    static constexpr std::array<const char*, 4> Sources { "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG" };
    struct Cached {
        std::array<std::string, 4> values;
        StringArray languages;
    };
    thread_local std::optional<Cached> last;
    auto unchanged = [](const Cached& cached) {
        for (std::size_t i = 0; i < Sources.size(); ++i) {
            const char* value = std::getenv(Sources[i]);
            if (cached.values[i] != (value ? value : ""))
                return false;
        }
        return true;
    };
    if (last && unchanged(*last))
        return last->languages;

    std::array<std::string, 4> values;
    for (std::size_t i = 0; i < Sources.size(); ++i) {
        const char* value = std::getenv(Sources[i]);
        values[i] = value ? value : "";
    }
    std::vector<std::string> names;
    if (const auto& list = values[0]; !list.empty()) {
        std::size_t start = 0;
        while (start <= list.size()) {
            auto colon = list.find(':', start);
            names.push_back(list.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
            if (colon == std::string::npos)
                break;
            start = colon + 1;
        }
    } else {
        for (std::size_t i = 1; i < values.size(); ++i) {
            if (!values[i].empty()) {
                names.push_back(values[i]);
                break;
            }
        }
    }

    StringArray languages;
    auto add = [&](const std::string& language) {
        if (!language.empty() && std::find(languages.begin(), languages.end(), String(language)) == languages.end())
            languages.emplace_back(language);
    };
    for (const auto& name : names) {
        auto language = languageOfLocaleName(name);
        add(language);
        add(language.substr(0, language.find_first_of("_-")));
    }
    add("en");
    last = Cached { std::move(values), std::move(languages) };
    return last->languages;
}

}

StringArray Bundle::preferredLanguages()
{
    return currentPreferredLanguages();
}

String Bundle::bundleIdentifier() const
{
    return infoDictionary().get("CFBundleIdentifier").stringValue();
}

const Dictionary& Bundle::infoDictionary() const
{
    std::lock_guard lock(m_mutex);
    if (m_info)
        return *m_info;
    m_info.emplace();
    if (m_path.isEmpty())
        return *m_info;
    auto path = m_path.stringByAppendingPathComponent("Info.plist");
    auto& files = FileManager::defaultManager();
    if (!files.fileExists(path))
        return *m_info;
    auto data = files.contentsAtPath(path);
    if (!data) {
        logf(LogLevel::Error, "{}", data.error().localizedDescription().utf8());
        return *m_info;
    }
    auto root = PropertyList::read(*data);
    if (!root || !root->isDictionary()) {
        logf(LogLevel::Error, "The bundle information \u201c{}\u201d is not a property-list dictionary{}{}",
            path.utf8(), root ? "." : ": ", root ? "" : root.error().localizedDescription().utf8());
        return *m_info;
    }
    m_info = *root->dictionary();
    return *m_info;
}

const StringArray& Bundle::localizationsInOrder() const
{
    static const StringArray none;
    if (m_path.isEmpty())
        return none;
    // The folders a bundle holds do not change while it is in use: they are looked for once per choice of languages.
    const auto& languages = currentPreferredLanguages();
    {
        std::lock_guard lock(m_mutex);
        if (auto cached = m_localizations.find(languages); cached != m_localizations.end())
            return cached->second;
    }
    StringArray found;
    auto consider = [&](const String& name) {
        if (std::find(found.begin(), found.end(), name) == found.end()
            && isFolder(m_path.stringByAppendingPathComponent(name + ".lproj")))
            found.push_back(name);
    };
    for (const auto& language : languages) {
        consider(language);
        auto text = language.utf8();
        if (auto underscore = text.find('_'); underscore != std::string::npos) {
            text[underscore] = '-';
            consider(String(text));
        }
    }
    if (auto region = infoDictionary().get("CFBundleDevelopmentRegion"); region.isString())
        consider(*region.string());
    consider("Base");
    std::lock_guard lock(m_mutex);
    return m_localizations.emplace(languages, std::move(found)).first->second;
}

const StringsFile::Table& Bundle::table(const String& language, const String& tableName) const
{
    auto& byLanguage = m_tables[tableName];
    if (auto found = byLanguage.find(language); found != byLanguage.end())
        return *found->second;
    auto table = std::make_unique<StringsFile::Table>();
    auto path = m_path.stringByAppendingPathComponent(language + ".lproj/" + tableName + ".strings");
    auto& files = FileManager::defaultManager();
    if (files.fileExists(path)) {
        auto data = files.contentsAtPath(path);
        auto parsed = data ? StringsFile::parse(*data) : Expected<StringsFile::Table>(std::unexpected(data.error()));
        if (parsed)
            *table = std::move(*parsed);
        else
            logf(LogLevel::Error, "The string table \u201c{}\u201d is not used: {}", path.utf8(),
                parsed.error().localizedDescription().utf8());
    }
    return *byLanguage.emplace(language, std::move(table)).first->second;
}

String Bundle::localizedStringForKey(const String& key, const String& value, const String& tableName) const
{
    const auto& name = tableName.isEmpty() ? DefaultTable : tableName;
    const auto& localizations = localizationsInOrder();
    std::lock_guard lock(m_mutex);
    for (const auto& language : localizations) {
        const auto& entries = table(language, name);
        if (auto found = entries.find(key); found != entries.end())
            return found->second;
    }
    return value.isEmpty() ? key : value;
}

Dictionary Bundle::localizedInfoDictionary() const
{
    Dictionary localized;
    const auto& localizations = localizationsInOrder();
    std::lock_guard lock(m_mutex);
    // The most preferred language wins, so apply the list from its end.
    for (auto language = localizations.rbegin(); language != localizations.rend(); ++language) {
        for (const auto& [key, text] : table(*language, "InfoPlist"))
            localized.set(key, text);
    }
    return localized;
}

Value Bundle::objectForInfoDictionaryKey(const String& key) const
{
    if (auto localized = localizedInfoDictionary().get(key); !localized.isNil())
        return localized;
    return infoDictionary().get(key);
}

std::optional<String> Bundle::pathForResource(const String& name, const String& type, const String& subdirectory) const
{
    if (m_path.isEmpty() || name.isEmpty())
        return std::nullopt;
    auto fileName = type.isEmpty() ? name : name + "." + type;
    auto& files = FileManager::defaultManager();
    auto lookIn = [&](const String& folder) -> std::optional<String> {
        auto inside = subdirectory.isEmpty() ? folder : folder.stringByAppendingPathComponent(subdirectory);
        auto candidate = inside.stringByAppendingPathComponent(fileName);
        if (files.fileExists(candidate))
            return candidate;
        return std::nullopt;
    };
    if (auto found = lookIn(m_path))
        return found;
    for (const auto& language : localizationsInOrder()) {
        if (auto found = lookIn(m_path.stringByAppendingPathComponent(language + ".lproj")))
            return found;
    }
    return std::nullopt;
}

std::optional<String> Bundle::pathForImageResource(const String& name) const
{
    if (!name.pathExtension().isEmpty()) {
        if (auto found = pathForResource(name, {}))
            return found;
    }
    for (const char* type : { "png", "tiff", "tif", "jpg", "jpeg", "gif", "pdf", "svg" }) {
        if (auto found = pathForResource(name, type))
            return found;
    }
    return std::nullopt;
}

}
