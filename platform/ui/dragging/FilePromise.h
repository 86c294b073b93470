#pragma once

#include "platform/foundation/runtime/String.h"

#include <optional>
#include <vector>

namespace ui {

class DraggingSource;
class Pasteboard;

// A drag may promise files instead of carrying them: the source puts PasteboardType::FilesPromise on the drag
// pasteboard with the types of the files it will write (extensions, as a property-list array of strings), and writes
// the files only when a destination that takes files names the folder they go into. A destination in this program
// asks through DraggingInfo::namesOfPromisedFilesDroppedAtDestination; another program is handed the files the
// source wrote into a folder of their own, as a list of file addresses.

// Adds the promise to what the pasteboard holds (after the source's own declaration).
void declareFilePromise(Pasteboard& pasteboard, const std::vector<fnd::String>& fileTypes);
// The promised file types; empty when nothing is promised.
std::vector<fnd::String> promisedFileTypes(Pasteboard& pasteboard);
bool hasFilePromise(const Pasteboard& pasteboard);

// A name a source answered counts only when it names one entry right inside the folder: not empty, no "/", not
// "." or "..", no NUL. Anything else could reach outside the folder the destination chose.
bool isPromisedFileName(const fnd::String& name);

// Asks the source to write its files into the folder given as a file URL; answers the names it wrote, the unsafe
// ones left out (and logged).
std::vector<fnd::String> fulfilFilePromise(DraggingSource& source, const fnd::String& destinationURL);

// A new, empty folder in the user's cache for files promised to another program (each drop gets its own, so names
// never collide); nullopt when it cannot be made.
std::optional<fnd::String> makeFilePromiseFolder();

// Has the source write its files into a fresh folder and answers their paths, only those that exist there.
std::vector<fnd::String> fulfilFilePromiseInNewFolder(DraggingSource& source);

}
