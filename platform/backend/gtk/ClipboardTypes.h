#pragma once

#include "platform/foundation/runtime/String.h"

#include <optional>
#include <string>
#include <vector>

// How pasteboard types travel as MIME types on the system clipboard and in drags, and how file lists and text are
// written for other programs. Free of GTK types.
namespace ui::clipboardtypes {

// The MIME type a pasteboard type is offered as: the common types by their standard names (text as
// "text/plain;charset=utf-8", PDF as "application/pdf", PNG, TIFF, PostScript, file names and URLs as
// "text/uri-list"), a type that already is a MIME type as itself, and every other (private) type as
// "application/x-" followed by its name with the characters MIME forbids replaced.
std::string mimeTypeForPasteboardType(const fnd::String& type);

// The pasteboard type a MIME type offered by another program is read as; nullopt for the forms of text this side
// does not read directly (the others are converted when text is asked for).
std::optional<fnd::String> pasteboardTypeForMimeType(const std::string& mime);

// The other MIME names text is commonly offered under, read when no UTF-8 text is offered.
const std::vector<std::string>& textMimeTypes();

// File paths as a text/uri-list (file:// addresses, percent-encoded, CRLF line ends) and back. Lines that are not
// file addresses are skipped; comments too.
std::string uriListForPaths(const std::vector<fnd::String>& paths);
std::vector<fnd::String> pathsFromURIList(const std::string& list);

}
