#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/String.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Geometry.h"

#include <ctime>
#include <memory>
#include <optional>

namespace gfx {

// The desktop's shared thumbnail cache, as the freedesktop thumbnail-managing standard lays it out: a PNG per file
// in $XDG_CACHE_HOME/thumbnails/<size>/, named by the MD5 of the file's URI, carrying the URI and the file's
// modification time in its text chunks. Thumbnails written here are read by the file managers and every other
// program that follows the standard, and theirs are read here. Safe to call from any thread.
class ThumbnailCache {
public:
    // The standard's sizes and their folders: 128 (normal), 256 (large), 512 (x-large), 1024 (xx-large) pixels.
    enum class Flavour { Normal, Large, XLarge, XXLarge };
    static int pixels(Flavour flavour);
    static fnd::String folderName(Flavour flavour);
    // The smallest flavour whose square holds the size, else the largest.
    static Flavour flavourForSize(Size size);

    // $XDG_CACHE_HOME/thumbnails.
    static fnd::String root();
    // The absolute file URI of a path, escaped as the desktop escapes it ("file:///tmp/a%20b.txt").
    static fnd::String uriForPath(const fnd::String& path);
    // Where the thumbnail of the URI is kept in a flavour.
    static fnd::String thumbnailPath(const fnd::String& uri, Flavour flavour);
    // The file's modification time in whole seconds, or nullopt when the file cannot be read.
    static std::optional<std::time_t> modificationTime(const fnd::String& path);
    // Whether the PNG's text chunks name the URI and the modification time (Thumb::URI, Thumb::MTime).
    static bool describes(const fnd::Data& png, const fnd::String& uri, std::time_t modified);

    // The cached thumbnail of the file in the flavour when it is still the file's (same URI and modification time).
    static std::shared_ptr<BitmapImageRep> lookup(const fnd::String& path, Flavour flavour);
    // Writes the bitmap as the file's thumbnail (owner-only permissions, by a rename, so no reader sees half).
    static fnd::Expected<void> store(
        const fnd::String& path, const BitmapImageRep& thumbnail, Flavour flavour, const fnd::String& mimeType);
    // Failure records: thumbnails/fail/<application>/, so a file no thumbnailer could read is not tried again
    // until it changes.
    static bool hasFailed(const fnd::String& path, const fnd::String& application);
    static void recordFailure(const fnd::String& path, const fnd::String& application);
    // Files inside the cache get no thumbnails of their own.
    static bool isInsideCache(const fnd::String& path);
};

}
