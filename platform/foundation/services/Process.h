#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/String.h"

#include <chrono>
#include <sys/types.h>

namespace fnd::Process {

// Programs are started from an argument vector, never through a shell, so no argument is ever read as shell syntax.
// The first argument names the program; without a "/" it is searched on PATH.

// Starts the program and returns at once; the child is reaped in the background.
Expected<pid_t> launch(const StringArray& arguments);
// Starts the program and waits for it: its exit status (128 + the signal's number when a signal ended it).
Expected<int> run(const StringArray& arguments);
// As run, but a program still running after the timeout is killed, with every process it started, and reported as
// an error (ETIMEDOUT), so a hung helper cannot hold its caller for ever. The program runs in a process group of its
// own.
Expected<int> run(const StringArray& arguments, std::chrono::milliseconds timeout);

// The running executable (resolved from /proc/self/exe) and the arguments this process was started with.
String executablePath();
StringArray commandLine();

}
