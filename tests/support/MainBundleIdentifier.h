#pragma once

#include "support/TemporaryFolder.h"

#include "platform/foundation/files/Bundle.h"

#include <string>

namespace testsupport {

// Makes the test program's main bundle a folder whose Info.plist names the identifier, so its standard defaults
// live in a file (a program without an identifier keeps them in memory). Tests that read those defaults back from
// disk, as another process or a restarted program would, keep one of these as a file-level object: it must exist
// before the standard defaults are first asked for, and for as long as the program runs.
class MainBundleIdentifier {
public:
    explicit MainBundleIdentifier(const std::string& identifier)
    {
        m_folder.write("Info.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>CFBundleIdentifier</key>"
            "<string>"
                + identifier + "</string></dict></plist>\n");
        fnd::Bundle::setMainBundlePath(fnd::String::fromUTF8(m_folder.path()));
    }

private:
    TemporaryFolder m_folder;
};

}
