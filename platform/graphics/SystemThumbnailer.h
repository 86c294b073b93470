#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/foundation/services/DesktopEntry.h"
#include "platform/graphics/BitmapImageRep.h"

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace gfx {

// A thumbnailer installed on the system: a program that writes a PNG picture of a file of the content types it
// names, described by a .thumbnailer file ([Thumbnailer Entry] with TryExec, Exec and MimeType) in a
// "thumbnailers" folder of $XDG_DATA_HOME or $XDG_DATA_DIRS. Its Exec line takes %i (the input path), %u (its
// URI), %o (the output PNG's path) and %s (the wanted size in pixels).
class SystemThumbnailer {
public:
    // How long a thumbnailer may take before it is stopped.
    static constexpr std::chrono::milliseconds Timeout { 10000 };

    // The entry of a .thumbnailer file's bytes; nullopt without an Exec line or a content type.
    static std::optional<SystemThumbnailer> parse(const fnd::Data& data, const fnd::String& name = {});
    // Every installed thumbnailer, the user's folder first; a file name found twice counts where it is found first.
    static std::vector<SystemThumbnailer> installed();
    // The first installed thumbnailer that handles the type and whose programs are there.
    static std::optional<SystemThumbnailer> forMIMEType(const fnd::String& mimeType);

    const fnd::String& name() const { return m_name; }
    const fnd::StringArray& mimeTypes() const { return m_mimeTypes; }
    // Named exactly, or a type the desktop's type database calls a kind of a named one.
    bool handles(const fnd::String& mimeType) const;
    // TryExec (when given) and the Exec line's program are found, as absolute paths or on PATH.
    bool isRunnable() const;
    // The Exec line with its field codes filled in; empty when the line does not parse.
    fnd::StringArray arguments(
        const fnd::String& input, const fnd::String& uri, const fnd::String& output, int size) const;
    // Runs the thumbnailer for the file into a temporary PNG and reads it back; nullptr when it fails, times out or
    // writes no picture.
    std::shared_ptr<BitmapImageRep> thumbnail(const fnd::String& path, const fnd::String& uri, int size) const;

private:
    fnd::String m_name;
    fnd::DesktopEntry m_entry;
    fnd::StringArray m_mimeTypes;
};

}
