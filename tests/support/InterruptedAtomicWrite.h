#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {

// Runs the helper program that writes the target atomically and is killed half way (past a file-size limit), so the
// folder holds what a write killed mid-way leaves there.
inline ::testing::AssertionResult killAtomicWriteOf(const std::string& helperProgram, const std::string& target)
{
    std::string program = helperProgram;
    std::string path = target;
    char* argv[] = { program.data(), path.data(), nullptr };
    pid_t child = -1;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0)
        return ::testing::AssertionFailure() << "could not start " << program;
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return ::testing::AssertionFailure() << "lost " << program;
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGXFSZ)
        return ::testing::AssertionFailure() << program << " was not killed mid-write: status " << status;
    return ::testing::AssertionSuccess();
}

}
