#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

// Runs the external checkers the tests call (decoders, codec tools).
namespace testsupport {

struct CommandResult {
    int status { -1 };
    std::string output;
};

// Runs a shell command and returns its standard output and exit status.
inline CommandResult runCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        result.output.append(buffer, n);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline bool haveTool(const std::string& name) { return runCommand("command -v " + name + " >/dev/null 2>&1").status == 0; }

}
