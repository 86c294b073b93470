#pragma once

#include <gdk/gdk.h>

#include <memory>
#include <optional>
#include <string>

namespace fnd {
class Object;
}

namespace ui {

class Pasteboard;

// A GDK content provider that offers a pasteboard's types to other programs under their MIME names and asks the
// pasteboard for the data only when a program reads it (so an owner's promised data is made on demand). Used for
// the clipboard and for drags, with the types the pasteboard gives by conversion (PasteboardConversion.h: a PDF as
// PNG too). With offerFiles (drags), a PDF, PNG or TIFF without file names is offered as a file
// too (text/uri-list), written to a fresh cache folder when a program asks for it, so a file manager takes the
// drop as a document. A drag whose pasteboard promises files (FilePromise.h) offers them the same way: the source
// (a DraggingSource) writes them into a fresh cache folder the first time a program asks.
GdkContentProvider* createPasteboardContentProvider(const std::shared_ptr<Pasteboard>& pasteboard,
    bool offerFiles = false, const std::shared_ptr<fnd::Object>& source = nullptr);

// Reads one MIME type of what another program offers, waiting for it in GLib's main context (at most a few
// seconds); nullopt when it is not offered or does not come.
std::optional<std::string> readClipboardSynchronously(GdkClipboard* clipboard, const char* mimeType);
std::optional<std::string> readDropSynchronously(GdkDrop* drop, const char* mimeType);

}
