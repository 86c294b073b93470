// Writes a file atomically and is killed half way, as a program killed mid-write is: past a file-size limit the
// system ends it with SIGXFSZ. Usage: fnd_interrupted_atomic_write PATH
#include "platform/foundation/files/FileManager.h"

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const rlimit noCore { 0, 0 };
    setrlimit(RLIMIT_CORE, &noCore);
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit small { 4096, 4096 };
    setrlimit(RLIMIT_FSIZE, &small);
    (void)fnd::FileManager::defaultManager().writeAtomically(
        fnd::String(argv[1]), fnd::Data(std::vector<std::uint8_t>(100000, 'x')));
    return 3; // not stopped
}
