#include "ContainersTestSupport.h"

#include "platform/foundation/TestSupport.h"

namespace {

// The user defaults of this test program live in a folder of their own, removed when it ends, so autosaved
// layouts never touch the person's settings and each run starts empty.
struct DefaultsFolder {
    testsupport::TemporaryFolder folder;
    testsupport::ScopedEnvironment config { "XDG_CONFIG_HOME", folder.path() };
};

const DefaultsFolder g_defaultsFolder;

}

namespace containerstest {

FND_REGISTER_CLASS(ColorView, ui::View)

}
