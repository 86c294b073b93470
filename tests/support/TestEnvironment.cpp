// Every test process that links this keeps its user defaults and its caches (the desktop's thumbnails among them) in
// a folder of its own, made before the first defaults are read and removed at exit, so no test reads or writes the
// settings or caches of the person running it.

#include "support/TemporaryFolder.h"

#include <cstdlib>

namespace {

struct PrivateConfigFolder {
    PrivateConfigFolder()
    {
        if (folder.path().empty())
            return;
        setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
        setenv("XDG_CACHE_HOME", (folder.path() + "/cache").c_str(), 1);
    }
    testsupport::TemporaryFolder folder;
};

const PrivateConfigFolder privateConfigFolder;

}
