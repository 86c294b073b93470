#include "ContainersTestSupport.h"

#include "platform/foundation/TestSupport.h"

namespace {

const testsupport::PrivateConfigHome g_containersConfigHome;

}

namespace containerstest {

FND_REGISTER_CLASS(ColorView, ui::View)

}
