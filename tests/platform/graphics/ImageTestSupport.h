#pragma once

#include "support/Command.h"

#include "platform/graphics/BitmapImageRep.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace gfx::test {

using testsupport::CommandResult;
using testsupport::haveTool;

// Runs a shell command, standard error folded into the output.
inline CommandResult runCommand(const std::string& command) { return testsupport::runCommand(command + " 2>&1"); }

// A fresh folder, removed with its contents at the end of the test.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "gfx-test-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}
