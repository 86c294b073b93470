// The application under test keeps its settings, crash logs and caches in folders of its own, made before anything
// reads them and removed at exit, and reads its resources as the program does.

#include "platform/foundation/files/Bundle.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct ApplicationEnvironment {
    ApplicationEnvironment()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "app-acceptance-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            return;
        path = pattern;
        for (const char* name : { "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME" }) {
            auto folder = path / name;
            std::filesystem::create_directories(folder);
            setenv(name, folder.c_str(), 1);
        }
        fnd::Bundle::setMainBundleName("Barcodes");
    }
    ~ApplicationEnvironment()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

const ApplicationEnvironment environment;

}
