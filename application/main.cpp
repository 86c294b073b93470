#include "platform/foundation/Log.h"

// Placeholder until the application's window exists: the framework below it is being built first.
int main()
{
    fnd::log(fnd::LogLevel::Info, "Barcodes: the framework is being built; the application window is not there yet.");
    return 0;
}
