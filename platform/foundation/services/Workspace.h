#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

#include <functional>
#include <mutex>

namespace fnd {

// Desktop services: opening addresses and files with the user's default applications, and file types.
//
// Types are named by type identifiers as the platform knows them ("public.png", "com.adobe.pdf", "public.image");
// the identifiers used here are mapped to MIME types of the shared MIME database, and a file whose MIME type has
// no identifier here is named by its MIME type itself ("text/x-csrc"). Conformance follows the MIME database's
// subclass relations.
class Workspace {
public:
    static Workspace& sharedWorkspace();

    // Hands the address or file to whatever opens it. Tests replace it so that nothing is launched.
    using Opener = std::function<Expected<void>(const String& uri)>;
    // nullptr restores the desktop's default handlers. Returns the previous hook (nullptr for the default).
    Opener setOpener(Opener opener);

    // Opens a web, ftp or mail address with the default handler; other schemes (file:, script-like ones) are refused
    // so that a link in a document cannot start local programs.
    Expected<void> openURL(const String& url);
    // Opens an existing file with the default application for its type.
    Expected<void> openFile(const String& path);

    // The type identifier of the file at the path, from its name and its first bytes; folders are "public.folder".
    Expected<String> typeOfFile(const String& path) const;

    static bool typeConformsTo(const String& type, const String& parentType);
    static String mimeTypeForType(const String& type);
    static String typeForMIMEType(const String& mimeType);

private:
    mutable std::mutex m_mutex;
    Opener m_opener;
};

}
