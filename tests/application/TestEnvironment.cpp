// Every test process keeps its user defaults in a folder of its own, made before the first defaults are read and
// removed at exit, and reads the application's texts as the application does.

#include "platform/foundation/Bundle.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct ApplicationEnvironment {
    ApplicationEnvironment()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "app-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            path = pattern;
            setenv("XDG_CONFIG_HOME", path.c_str(), 1);
        }
        fnd::Bundle::setMainBundleName("Barcodes");
    }
    ~ApplicationEnvironment()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

const ApplicationEnvironment environment;

}
