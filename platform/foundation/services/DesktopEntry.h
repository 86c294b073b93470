#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

#include <map>
#include <optional>

namespace fnd {

// A freedesktop.org desktop entry (.desktop file): the keys of its [Desktop Entry] group. Used for autostart
// entries and for finding applications by the keys they declare.
class DesktopEntry {
public:
    DesktopEntry() = default;
    static Expected<DesktopEntry> read(const String& path);
    // The keys of the [Desktop Entry] group (or another group of the same format, such as a thumbnailer's
    // [Thumbnailer Entry]) of a file's bytes; lines that are no key are skipped.
    static DesktopEntry parse(const Data& data, const String& group = "Desktop Entry");
    // Written atomically.
    Expected<void> write(const String& path) const;

    std::optional<String> value(const String& key) const;
    // Stored with the string escapes of the format.
    void setValue(const String& key, const String& value);
    // A list value (";"-separated, with "\;" for a semicolon in an item).
    StringArray list(const String& key) const;
    bool boolean(const String& key) const;

    // The Exec line as an argument vector, empty when it does not parse. A field code (%f, %u, ...) found in
    // `fields` is replaced by its value where it stands; the others are dropped.
    StringArray execArguments(const std::map<char, String>& fields = {}) const;
    // An Exec line running exactly these arguments, quoted as the desktop-entry standard asks.
    static String execLine(const StringArray& arguments);

    // The folders applications' desktop entries live in, most important first: $XDG_DATA_HOME/applications, then
    // each $XDG_DATA_DIRS folder's applications.
    static StringArray applicationFolders();
    // The user's autostart folder, $XDG_CONFIG_HOME/autostart.
    static String autostartFolder();

private:
    std::map<String, String> m_values;
};

}
