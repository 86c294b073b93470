// Reads arbitrary bytes as a desktop entry, as the sharing services read the applications' entries, and asks it
// what they ask. An Exec line written from the arguments read must give the same arguments back.
#include "platform/foundation/services/DesktopEntry.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    auto entry = fnd::DesktopEntry::parse(fnd::Data(bytes, size));
    (void)entry.value("Name");
    (void)entry.value("Icon");
    (void)entry.list("MimeType");
    (void)entry.boolean("NoDisplay");
    auto arguments = entry.execArguments();
    if (arguments.empty())
        return 0;
    fnd::DesktopEntry written;
    written.setValue("Exec", fnd::DesktopEntry::execLine(arguments));
    if (written.execArguments() != arguments)
        std::abort();
    return 0;
}
