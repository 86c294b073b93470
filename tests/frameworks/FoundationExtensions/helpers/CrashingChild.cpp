// Starts as an application of the bundle given as the first argument, installs the crash handler, logs two lines
// and crashes, so the tests see the crash log a real crash leaves.
#include "frameworks/FoundationExtensions/ui/ZORCrashReporter.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Log.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    fnd::Bundle::setMainBundlePath(argv[1]);
    ZORCrashReporter::installCrashHandler();
    fnd::log("starting the export");
    fnd::log(fnd::LogLevel::Error, "the export went wrong");
    std::abort();
}
