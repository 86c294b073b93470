#pragma once

#include "platform/foundation/runtime/Value.h"

#include <gdk/gdk.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class Pasteboard;
class PasteboardOwner;

// The general pasteboard as the desktop's clipboard. When our program writes to it, the clipboard offers its types
// and asks the pasteboard for data only when another program pastes; when another program copies, its types are
// declared on the general pasteboard, promised by an owner that reads them from the clipboard when asked.
class GtkClipboardBridge {
public:
    explicit GtkClipboardBridge(GdkDisplay* display);
    ~GtkClipboardBridge();
    GtkClipboardBridge(const GtkClipboardBridge&) = delete;
    GtkClipboardBridge& operator=(const GtkClipboardBridge&) = delete;

    void pasteboardChanged(const fnd::String& pasteboardName);
    std::vector<fnd::String> types(const fnd::String& pasteboardName);
    std::optional<fnd::Data> data(const fnd::String& pasteboardName, const fnd::String& type);

private:
    static void onChanged(GdkClipboard*, gpointer self);
    void importForeignContent();

    GdkClipboard* m_clipboard;
    std::shared_ptr<PasteboardOwner> m_foreignOwner;
    bool m_importing { false };
};

// Declares what another program offers (clipboard or drop) on a pasteboard, read through the function when asked.
using ForeignReader = std::function<std::optional<std::string>(const char* mimeType)>;
std::shared_ptr<PasteboardOwner> declareForeignContent(
    Pasteboard& pasteboard, GdkContentFormats* formats, ForeignReader reader);

}
