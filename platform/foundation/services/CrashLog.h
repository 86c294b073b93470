#pragma once

#include "platform/foundation/runtime/String.h"

namespace fnd::CrashLog {

// Writes a crash log when the process dies of a fatal signal (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT):
// <folder>/<processName>_<UTC time>_<pid>.crash holding the signal and the backtrace, and beside it the same name
// with ".log" holding the most recent log lines, each written as "<processName>[<pid>]: <message>". The signal is then
// delivered as before, so the process still ends (and dumps core) as it would have.
//
// The handler only uses calls that are safe in a signal handler; everything it needs (the folder, the names, the
// log lines) is prepared beforehand. Installing again changes the folder and the name.
void install(const String& folder, const String& processName);

// $XDG_STATE_HOME/<identifier>/crashes, where an application keeps its crash logs.
String defaultFolder(const String& identifier);

// The log lines kept for the next crash log, oldest first (at most 64).
StringArray recentLogLines();

}
