#include "platform/foundation/files/Paths.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fnd::Paths {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string home()
{
    auto value = environment("HOME");
    if (!value.empty() && value.front() == '/')
        return value;
    // getpwuid_r, since another thread may be reading the database too.
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/";
}

String xdgFolder(const char* variable, const char* fallbackBelowHome)
{
    auto value = environment(variable);
    if (!value.empty() && value.front() == '/')
        return String(value);
    return String(home()).stringByAppendingPathComponent(fallbackBelowHome);
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents". Only "$HOME/..." and absolute values are valid.
std::string userDirFromLine(const std::string& line, const std::string& key)
{
    auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
        return {};
    auto rest = line.substr(start + key.size());
    auto equals = rest.find_first_not_of(" \t");
    if (equals == std::string::npos || rest[equals] != '=')
        return {};
    rest = rest.substr(equals + 1);
    auto open = rest.find('"');
    auto close = rest.rfind('"');
    if (open == std::string::npos || close == open)
        return {};
    auto value = rest.substr(open + 1, close - open - 1);
    std::string unescaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        unescaped += value[i];
    }
    if (unescaped.starts_with("$HOME")) {
        auto tail = unescaped.substr(5);
        if (!tail.empty() && tail.front() != '/')
            return {};
        return home() + tail;
    }
    return unescaped.starts_with("/") ? unescaped : std::string();
}

}

String homeDirectory()
{
    return String(home());
}

String temporaryDirectory()
{
    auto value = environment("TMPDIR");
    struct stat info { };
    if (!value.empty() && value.front() == '/' && stat(value.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        while (value.size() > 1 && value.back() == '/')
            value.pop_back();
        return String(value);
    }
    return "/tmp";
}

std::uint32_t userID()
{
    return static_cast<std::uint32_t>(getuid());
}

String userName()
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return String(found->pw_name);
    auto value = environment("USER");
    return value.empty() ? String(std::to_string(getuid())) : String(value);
}

String configHome()
{
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}
String dataHome()
{
    return xdgFolder("XDG_DATA_HOME", ".local/share");
}
String stateHome()
{
    return xdgFolder("XDG_STATE_HOME", ".local/state");
}
String cacheHome()
{
    return xdgFolder("XDG_CACHE_HOME", ".cache");
}

StringArray dataDirectories()
{
    auto value = environment("XDG_DATA_DIRS");
    std::string list = value.empty() ? "/usr/local/share:/usr/share" : value;
    StringArray folders;
    std::size_t start = 0;
    while (start <= list.size()) {
        auto end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        auto folder = list.substr(start, end - start);
        if (!folder.empty() && folder.front() == '/')
            folders.push_back(String(folder));
        start = end + 1;
    }
    return folders;
}

String documentsDirectory()
{
    std::ifstream file(configHome().stringByAppendingPathComponent("user-dirs.dirs").utf8());
    std::string line;
    std::string found;
    while (std::getline(file, line)) {
        if (auto value = userDirFromLine(line, "XDG_DOCUMENTS_DIR"); !value.empty())
            found = value;
    }
    return found.empty() ? String(home()).stringByAppendingPathComponent("Documents") : String(found);
}

}
