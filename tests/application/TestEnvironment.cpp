// Every test process reads the application's texts as the application does; its user defaults stay in a private
// folder (support/TestEnvironment.cpp).

#include "platform/foundation/files/Bundle.h"

namespace {

const bool usesApplicationBundle = (fnd::Bundle::setMainBundleName("Barcodes"), true);

}
