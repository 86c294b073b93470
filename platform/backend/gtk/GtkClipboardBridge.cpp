#include "platform/backend/gtk/GtkClipboardBridge.h"

#include "platform/backend/gtk/ClipboardTypes.h"
#include "platform/backend/gtk/PasteboardContentProvider.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <algorithm>

namespace ui {

namespace {

bool offers(GdkContentFormats* formats, const std::string& mime)
{
    return gdk_content_formats_contain_mime_type(formats, mime.c_str());
}

}

// Reads another program's data into the pasteboard when a reader first asks for a type.
class ForeignContentOwner final : public PasteboardOwner {
public:
    ForeignContentOwner(GdkContentFormats* formats, ForeignReader reader)
        : m_formats(gdk_content_formats_ref(formats))
        , m_reader(std::move(reader))
    {
    }
    ~ForeignContentOwner() override { gdk_content_formats_unref(m_formats); }

    std::vector<fnd::String> types() const
    {
        std::vector<fnd::String> result;
        auto add = [&](const fnd::String& type) {
            if (std::ranges::find(result, type) == result.end())
                result.push_back(type);
        };
        gsize count = 0;
        const char* const* mimes = gdk_content_formats_get_mime_types(m_formats, &count);
        for (gsize i = 0; i < count; ++i) {
            std::string mime = mimes[i];
            if (mime == "text/uri-list") {
                add(PasteboardType::Filenames);
                add(PasteboardType::URL);
            } else if (auto type = clipboardtypes::pasteboardTypeForMimeType(mime)) {
                add(*type);
            }
        }
        if (std::ranges::any_of(clipboardtypes::textMimeTypes(), [&](const auto& m) { return offers(m_formats, m); }))
            add(PasteboardType::String);
        return result;
    }

    void pasteboardProvideDataForType(Pasteboard& pasteboard, const fnd::String& type) override
    {
        if (type == PasteboardType::String) {
            for (const auto& mime : clipboardtypes::textMimeTypes()) {
                if (!offers(m_formats, mime))
                    continue;
                if (auto bytes = m_reader(mime.c_str())) {
                    pasteboard.setString(fnd::String(*bytes), type);
                    return;
                }
            }
            return;
        }
        if (type == PasteboardType::Filenames || type == PasteboardType::URL) {
            auto list = m_reader("text/uri-list");
            if (!list)
                return;
            if (type == PasteboardType::Filenames) {
                fnd::Array paths;
                for (const auto& path : clipboardtypes::pathsFromURIList(*list))
                    paths.emplace_back(path);
                if (!paths.empty())
                    pasteboard.setPropertyList(paths, type);
            } else {
                auto end = list->find_first_of("\r\n");
                pasteboard.setString(fnd::String(list->substr(0, end)), type);
            }
            return;
        }
        auto bytes = m_reader(clipboardtypes::mimeTypeForPasteboardType(type).c_str());
        if (bytes)
            pasteboard.setData(fnd::Data(bytes->data(), bytes->size()), type);
    }

private:
    GdkContentFormats* m_formats;
    ForeignReader m_reader;
};

std::shared_ptr<PasteboardOwner> declareForeignContent(
    Pasteboard& pasteboard, GdkContentFormats* formats, ForeignReader reader)
{
    auto owner = std::make_shared<ForeignContentOwner>(formats, std::move(reader));
    pasteboard.declareTypes(owner->types(), owner);
    return owner;
}

GtkClipboardBridge::GtkClipboardBridge(GdkDisplay* display)
    : m_clipboard(gdk_display_get_clipboard(display))
{
    g_signal_connect(m_clipboard, "changed", G_CALLBACK(onChanged), this);
    importForeignContent();
}

GtkClipboardBridge::~GtkClipboardBridge()
{
    g_signal_handlers_disconnect_by_data(m_clipboard, this);
}

void GtkClipboardBridge::onChanged(GdkClipboard*, gpointer self)
{
    static_cast<GtkClipboardBridge*>(self)->importForeignContent();
}

void GtkClipboardBridge::importForeignContent()
{
    if (gdk_clipboard_is_local(m_clipboard))
        return;
    GdkContentFormats* formats = gdk_clipboard_get_formats(m_clipboard);
    if (!formats || gdk_content_formats_get_mime_types(formats, nullptr) == nullptr)
        return;
    auto* clipboard = m_clipboard;
    m_importing = true;
    // A fresh owner for each copy: data read for an older one must not answer for this one.
    m_foreignOwner = declareForeignContent(*Pasteboard::generalPasteboard(), formats,
        [clipboard](const char* mime) { return readClipboardSynchronously(clipboard, mime); });
    m_importing = false;
}

void GtkClipboardBridge::pasteboardChanged(const fnd::String& pasteboardName)
{
    if (m_importing || pasteboardName != PasteboardName::General)
        return;
    auto* provider = createPasteboardContentProvider(Pasteboard::generalPasteboard());
    gdk_clipboard_set_content(m_clipboard, provider);
    g_object_unref(provider);
}

std::vector<fnd::String> GtkClipboardBridge::types(const fnd::String& pasteboardName)
{
    if (pasteboardName != PasteboardName::General)
        return {};
    return Pasteboard::generalPasteboard()->types();
}

std::optional<fnd::Data> GtkClipboardBridge::data(const fnd::String& pasteboardName, const fnd::String& type)
{
    if (pasteboardName != PasteboardName::General)
        return std::nullopt;
    return Pasteboard::generalPasteboard()->dataForType(type);
}

}
