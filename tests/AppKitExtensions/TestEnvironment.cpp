// Every test process keeps its user defaults in a folder of its own, made before the first defaults are read and
// removed at exit, so no test reads or writes the settings of the person running it.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct PrivateConfigFolder {
    PrivateConfigFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "appkitext-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            path = pattern;
            setenv("XDG_CONFIG_HOME", path.c_str(), 1);
        }
    }
    ~PrivateConfigFolder()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

const PrivateConfigFolder folder;

}
