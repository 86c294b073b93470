#include "platform/foundation/files/Bundle.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/detail/BundleLoading.h"

#include <algorithm>
#include <dlfcn.h>
#include <set>

namespace fnd {

namespace {

// One lock for every load: the registry is compared before and after the loader runs the library's initialisers,
// and those may load further bundles on the same thread.
std::recursive_mutex& loadingMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

// Class name → folder of the bundle that brought it.
std::map<String, String>& classOrigins()
{
    static std::map<String, String> origins;
    return origins;
}

std::set<String> registeredClassNames()
{
    std::set<String> names;
    for (const auto* info : ClassRegistry::shared().classesDerivedFrom(Object::staticClassInfo()))
        names.insert(info->name);
    return names;
}

Error loadError(std::int64_t code, const String& bundlePath, const std::string& reason)
{
    return Error::make(ErrorDomain::Cocoa, code,
        String(fmt::format("The bundle \u201c{}\u201d couldn\u2019t be loaded: {}", bundlePath.utf8(), reason)));
}

}

namespace detail {

std::optional<String> pathOfBundleThatLoadedClass(const String& className)
{
    std::lock_guard lock(loadingMutex());
    auto& origins = classOrigins();
    if (auto found = origins.find(className); found != origins.end())
        return found->second;
    return std::nullopt;
}

}

std::optional<String> Bundle::executablePath() const
{
    auto name = infoDictionary().get("CFBundleExecutable");
    if (!name.isString() || name.string()->isEmpty())
        return std::nullopt;
    return m_path.stringByAppendingPathComponent(*name.string());
}

Expected<void> Bundle::load()
{
    std::lock_guard lock(loadingMutex());
    if (m_loadResult)
        return *m_loadResult;
    auto path = executablePath();
    if (!path) {
        m_loadResult = std::unexpected(loadError(BundleErrorCode::ExecutableNotLoadable, m_path,
            "its Info.plist names no executable (CFBundleExecutable)."));
        return *m_loadResult;
    }
    if (!FileManager::defaultManager().fileExists(*path)) {
        m_loadResult = std::unexpected(loadError(
            BundleErrorCode::ExecutableNotLoadable, m_path, "its executable " + path->utf8() + " is missing."));
        return *m_loadResult;
    }
    auto before = registeredClassNames();
    // Local symbols: two plug-ins may well use the same names for their own internals.
    void* handle = dlopen(path->utf8().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        m_loadResult
            = std::unexpected(loadError(BundleErrorCode::ExecutableLoad, m_path, reason ? reason : "unknown error."));
        return *m_loadResult;
    }
    // The handle is never closed: the classes the library registered stay in the registry for good.
    for (const auto& name : registeredClassNames()) {
        if (!before.contains(name)) {
            m_loadedClassNames.push_back(name);
            classOrigins()[name] = m_path;
        }
    }
    m_loadResult.emplace();
    return *m_loadResult;
}

bool Bundle::isLoaded() const
{
    std::lock_guard lock(loadingMutex());
    return m_loadResult && m_loadResult->has_value();
}

StringArray Bundle::loadedClassNames() const
{
    std::lock_guard lock(loadingMutex());
    return m_loadedClassNames;
}

const ClassInfo* Bundle::classNamed(const String& name) const
{
    {
        std::lock_guard lock(loadingMutex());
        if (std::find(m_loadedClassNames.begin(), m_loadedClassNames.end(), name) == m_loadedClassNames.end())
            return nullptr;
    }
    return ClassRegistry::shared().find(name);
}

const ClassInfo* Bundle::principalClass()
{
    auto name = infoDictionary().get("NSPrincipalClass");
    if (!name.isString() || !load())
        return nullptr;
    return classNamed(*name.string());
}

}
