#pragma once

#include "platform/foundation/files/StringsFile.h"
#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace fnd {

struct ClassInfo;

// A folder of resources for one component: an Info.plist, string tables in <language>.lproj folders, images and
// interface files. Component bundles are found by name in the resource roots; the main bundle is the application's.
//
// The bundle of a class: an explicit registration for the class name wins, then the longest registered class-name
// prefix; a class matching neither belongs to the main bundle (as the application's own classes do). Modules
// register their prefixes once, for example registerClassPrefix("ZOR", "ZORAppKit"). A class that a bundle's own
// executable registered when it was loaded belongs to that bundle before all of these.
//
// A bundle may carry code: a shared library named by "CFBundleExecutable" (a path inside the bundle folder), whose
// classes register themselves when it is loaded. Loading happens once per bundle and is never undone, since the
// registered classes point into the library.
class Bundle {
public:
    // The application's bundle: the folder named by setMainBundleName (called before first use), else by the
    // executable's file name. When no such folder exists the main bundle is empty: every resource is missing and
    // texts fall back to their default values.
    static std::shared_ptr<Bundle> mainBundle();
    static void setMainBundleName(const String& name);
    // The folder at the path becomes the main bundle (an empty bundle when it is no folder), for an application run
    // from elsewhere and for tests.
    static void setMainBundlePath(const String& path);

    // The component bundle of that name in the first resource root that has it; nullptr when none does.
    static std::shared_ptr<Bundle> bundleWithName(const String& name);
    // The bundle in that folder (one shared object per path); nullptr when it is not a folder.
    static std::shared_ptr<Bundle> bundleWithPath(const String& path);
    static std::shared_ptr<Bundle> bundleForClass(const String& className);

    static void registerClass(const String& className, const String& bundleName);
    static void registerClassPrefix(const String& prefix, const String& bundleName);

    // Where bundles are looked for, in order: <executable folder>/../share/<executable name>/resources,
    // <executable folder>/resources, then the framework's own: share/Barcodes/resources of the prefix an installed
    // foundation library lies in, or the source tree's resources folder of a build that was not installed.
    static StringArray resourceRoots();
    // The user's languages from LANGUAGE, LC_ALL, LC_MESSAGES or LANG (the first set), each followed by its language
    // without region; "en" closes the list. "C" and "POSIX" name no language.
    static StringArray preferredLanguages();

    // The localizations this bundle has, in the order its texts are looked up: the user's languages that it has,
    // then its development region, then "Base". The first is the language the program speaks.
    StringArray preferredLocalizations() const { return localizationsInOrder(); }

    const String& bundlePath() const { return m_path; }
    String bundleIdentifier() const;

    const Dictionary& infoDictionary() const;
    // The Info.plist keys overridden by the preferred localization's InfoPlist.strings.
    Dictionary localizedInfoDictionary() const;
    // Localized value first, then the Info.plist's.
    Value objectForInfoDictionaryKey(const String& key) const;

    // The text of `key` in `table` ("Localizable" when empty), trying each preferred language in turn. A missing key
    // gives `value`, or the key itself when `value` is empty.
    String localizedStringForKey(const String& key, const String& value, const String& table = {}) const;

    // <bundle>/<subdirectory>/<name>.<type>, then the same inside each preferred language's .lproj folder.
    // An empty type takes the name as it is.
    std::optional<String> pathForResource(
        const String& name, const String& type, const String& subdirectory = {}) const;
    // The first image file of that name (png, tiff, tif, jpg, jpeg, gif, pdf, svg).
    std::optional<String> pathForImageResource(const String& name) const;

    // The executable's path; nullopt when the Info.plist names none.
    std::optional<String> executablePath() const;
    // Loads the executable (once; later calls answer the first outcome). Errors (Cocoa domain, the platform's
    // executable codes) name the bundle and say why: no executable named, the file missing, or the loader's message.
    Expected<void> load();
    bool isLoaded() const;
    // The names of the classes the executable registered while it was loaded.
    StringArray loadedClassNames() const;
    // The class of that name when this bundle's executable registered it; nullptr otherwise (also when it is not
    // loaded).
    const ClassInfo* classNamed(const String& name) const;
    // The class named by "NSPrincipalClass", loading the executable first; nullptr when the key is missing, the
    // executable does not load, or it registered no class of that name.
    const ClassInfo* principalClass();

    explicit Bundle(String path);

private:
    const StringsFile::Table& table(const String& language, const String& table) const;
    // Stays valid while the bundle lives: the answers are kept, never dropped.
    const StringArray& localizationsInOrder() const;

    String m_path;
    mutable std::mutex m_mutex;
    mutable std::optional<Dictionary> m_info;
    // By table name, then language; a missing or malformed table is cached empty.
    mutable std::map<String, std::map<String, std::unique_ptr<StringsFile::Table>>> m_tables;
    // localizationsInOrder() by the preferred languages it was asked with.
    mutable std::map<StringArray, StringArray> m_localizations;
    // Set once by load(), under the process-wide loading lock.
    std::optional<Expected<void>> m_loadResult;
    StringArray m_loadedClassNames;
};

// The platform's error codes of bundle executables.
namespace BundleErrorCode {
constexpr std::int64_t ExecutableNotLoadable = 3584;
constexpr std::int64_t ExecutableLoad = 3587;
}

}
