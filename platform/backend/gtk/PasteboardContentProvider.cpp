#include "platform/backend/gtk/PasteboardContentProvider.h"

#include "platform/backend/gtk/ClipboardTypes.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/dragging/FilePromise.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/dragging/PasteboardConversion.h"

#include <gio/gio.h>

#include <algorithm>

#include <optional>
#include <string>
#include <string_view>

namespace ui {

namespace {

// Documents a drag can hand to a file manager as a file, with the extension their file takes.
const std::pair<fnd::String, const char*> FileTypes[] = {
    { PasteboardType::PDF, "pdf" },
    { PasteboardType::PNG, "png" },
    { PasteboardType::TIFF, "tiff" },
};

std::optional<std::pair<fnd::String, const char*>> fileTypeOffered(Pasteboard& pasteboard)
{
    auto types = pasteboard.types();
    if (std::ranges::find(types, PasteboardType::Filenames) != types.end())
        return std::nullopt;
    for (const auto& fileType : FileTypes)
        if (std::ranges::find(types, fileType.first) != types.end())
            return fileType;
    return std::nullopt;
}

// A file name from the dragged text (what the document shows), else a plain one.
std::string fileNameFor(Pasteboard& pasteboard, const char* extension)
{
    std::string name;
    if (auto text = pasteboard.stringForType(PasteboardType::String)) {
        for (char c : text->utf8()) {
            if (name.size() >= 60)
                break;
            name += (c == '/' || static_cast<unsigned char>(c) < 0x20) ? '_' : c;
        }
    }
    if (name.empty() || name == "." || name == "..")
        name = "Dragged";
    return name + "." + extension;
}

// Writes the document into a folder of its own in the user's cache and answers its address as a uri-list.
std::optional<std::string> fileListFor(Pasteboard& pasteboard, const fnd::String& type, const char* extension)
{
    auto data = pasteboard.dataForType(type);
    if (!data)
        return std::nullopt;
    std::string base = std::string(g_get_user_cache_dir()) + "/barcodes-drags";
    g_mkdir_with_parents(base.c_str(), 0700);
    std::string pattern = base + "/XXXXXX";
    if (!g_mkdtemp(pattern.data()))
        return std::nullopt;
    std::string path = pattern + "/" + fileNameFor(pasteboard, extension);
    if (!g_file_set_contents(
            path.c_str(), reinterpret_cast<const char*>(data->bytes()), gssize(data->length()), nullptr))
        return std::nullopt;
    return clipboardtypes::uriListForPaths({ fnd::String(path) });
}

}

// The bytes another program gets for a MIME type, asked of the pasteboard now.
std::optional<std::string> bytesForMimeType(Pasteboard& pasteboard, const std::string& mime, bool offerFiles)
{
    if (offerFiles && mime == "text/uri-list")
        if (auto fileType = fileTypeOffered(pasteboard))
            return fileListFor(pasteboard, fileType->first, fileType->second);

    for (const auto& type : pasteboard.types()) {
        if (clipboardtypes::mimeTypeForPasteboardType(type) != mime
            && !(type == PasteboardType::String && mime == "text/plain"))
            continue;
        if (type == PasteboardType::String) {
            if (auto text = pasteboard.stringForType(type))
                return text->utf8();
        } else if (type == PasteboardType::Filenames) {
            auto list = pasteboard.propertyListForType(type);
            std::vector<fnd::String> paths;
            if (const auto* array = list.array())
                for (const auto& path : *array)
                    if (path.isString())
                        paths.push_back(path.stringValue());
            if (!paths.empty())
                return clipboardtypes::uriListForPaths(paths);
        } else if (type == PasteboardType::URL) {
            auto list = pasteboard.propertyListForType(type);
            const auto* array = list.array();
            fnd::String url = array && !array->empty() ? (*array)[0].stringValue()
                                                       : pasteboard.stringForType(type).value_or(fnd::String());
            if (!url.isEmpty())
                return url.utf8() + "\r\n";
        } else if (auto data = pasteboard.dataForType(type)) {
            return std::string(reinterpret_cast<const char*>(data->bytes()), data->length());
        }
    }
    for (const auto& type : pasteboardconversion::convertedTypes(pasteboard))
        if (clipboardtypes::mimeTypeForPasteboardType(type) == mime)
            if (auto data = pasteboardconversion::convertedData(pasteboard, type))
                return std::string(reinterpret_cast<const char*>(data->bytes()), data->length());
    return std::nullopt;
}

}

// GObject boilerplate, in C form.
extern "C" {

typedef struct {
    GdkContentProvider parent;
    std::shared_ptr<ui::Pasteboard>* pasteboard;
    long changeCount;
    bool offerFiles;
    // The drag's source, when it may promise files, and the files it wrote once a program asked for them.
    std::weak_ptr<fnd::Object>* promiser;
    std::optional<std::string>* promisedFiles;
} BarcodesPasteboardProvider;

typedef struct {
    GdkContentProviderClass parent_class;
} BarcodesPasteboardProviderClass;

G_DEFINE_TYPE(BarcodesPasteboardProvider, barcodes_pasteboard_provider, GDK_TYPE_CONTENT_PROVIDER)

static void barcodes_pasteboard_provider_finalize(GObject* object)
{
    auto* self = reinterpret_cast<BarcodesPasteboardProvider*>(object);
    delete self->pasteboard;
    delete self->promiser;
    delete self->promisedFiles;
    G_OBJECT_CLASS(barcodes_pasteboard_provider_parent_class)->finalize(object);
}

// The drag's source when the pasteboard promises files it can write.
static ui::DraggingSource* promisingSource(BarcodesPasteboardProvider* self)
{
    auto source = self->promiser->lock();
    auto* promiser = dynamic_cast<ui::DraggingSource*>(source.get());
    return promiser && ui::hasFilePromise(**self->pasteboard) ? promiser : nullptr;
}

// The promised files as a uri-list: written into a folder of their own the first time a program asks, and the same
// files for every later question about this drag.
static std::optional<std::string> promisedFileList(BarcodesPasteboardProvider* self)
{
    if (!*self->promisedFiles) {
        auto keepSource = self->promiser->lock();
        auto* promiser = promisingSource(self);
        if (!promiser)
            return std::nullopt;
        auto paths = ui::fulfilFilePromiseInNewFolder(*promiser);
        *self->promisedFiles = ui::clipboardtypes::uriListForPaths(paths);
    }
    if ((*self->promisedFiles)->empty())
        return std::nullopt;
    return *self->promisedFiles;
}

static GdkContentFormats* barcodes_pasteboard_provider_ref_formats(GdkContentProvider* provider)
{
    auto* self = reinterpret_cast<BarcodesPasteboardProvider*>(provider);
    GdkContentFormatsBuilder* builder = gdk_content_formats_builder_new();
    auto& pasteboard = **self->pasteboard;
    if (pasteboard.changeCount() == self->changeCount) {
        for (const auto& type : pasteboard.types()) {
            gdk_content_formats_builder_add_mime_type(
                builder, ui::clipboardtypes::mimeTypeForPasteboardType(type).c_str());
            // Older readers ask for text without a charset.
            if (type == ui::PasteboardType::String)
                gdk_content_formats_builder_add_mime_type(builder, "text/plain");
        }
        for (const auto& type : ui::pasteboardconversion::convertedTypes(pasteboard))
            gdk_content_formats_builder_add_mime_type(
                builder, ui::clipboardtypes::mimeTypeForPasteboardType(type).c_str());
        if (self->offerFiles && (ui::fileTypeOffered(pasteboard) || promisingSource(self)))
            gdk_content_formats_builder_add_mime_type(builder, "text/uri-list");
    }
    return gdk_content_formats_builder_free_to_formats(builder);
}

static void writeDone(GObject* stream, GAsyncResult* result, gpointer data)
{
    auto* task = static_cast<GTask*>(data);
    GError* error = nullptr;
    if (!g_output_stream_write_all_finish(G_OUTPUT_STREAM(stream), result, nullptr, &error))
        g_task_return_error(task, error);
    else
        g_task_return_boolean(task, TRUE);
    g_object_unref(task);
}

static void barcodes_pasteboard_provider_write_mime_type_async(GdkContentProvider* provider, const char* mimeType,
    GOutputStream* stream, int priority, GCancellable* cancellable, GAsyncReadyCallback callback, gpointer userData)
{
    auto* self = reinterpret_cast<BarcodesPasteboardProvider*>(provider);
    GTask* task = g_task_new(provider, cancellable, callback, userData);
    g_task_set_priority(task, priority);
    auto& pasteboard = **self->pasteboard;
    std::optional<std::string> bytes;
    // Content replaced since this provider was made is no longer ours to give.
    if (pasteboard.changeCount() == self->changeCount) {
        if (self->offerFiles && std::string_view(mimeType) == "text/uri-list" && promisingSource(self))
            bytes = promisedFileList(self);
        else
            bytes = ui::bytesForMimeType(pasteboard, mimeType, self->offerFiles);
    }
    if (!bytes) {
        g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED, "Cannot provide %s", mimeType);
        g_object_unref(task);
        return;
    }
    auto* buffer = new std::string(std::move(*bytes));
    g_task_set_task_data(task, buffer, [](gpointer p) { delete static_cast<std::string*>(p); });
    g_output_stream_write_all_async(stream, buffer->data(), buffer->size(), priority, cancellable, writeDone, task);
}

static gboolean barcodes_pasteboard_provider_write_mime_type_finish(
    GdkContentProvider*, GAsyncResult* result, GError** error)
{
    return g_task_propagate_boolean(G_TASK(result), error);
}

static void barcodes_pasteboard_provider_class_init(BarcodesPasteboardProviderClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = barcodes_pasteboard_provider_finalize;
    auto* providerClass = GDK_CONTENT_PROVIDER_CLASS(klass);
    providerClass->ref_formats = barcodes_pasteboard_provider_ref_formats;
    providerClass->write_mime_type_async = barcodes_pasteboard_provider_write_mime_type_async;
    providerClass->write_mime_type_finish = barcodes_pasteboard_provider_write_mime_type_finish;
}

static void barcodes_pasteboard_provider_init(BarcodesPasteboardProvider* self)
{
    self->pasteboard = nullptr;
    self->changeCount = 0;
    self->offerFiles = false;
    self->promiser = new std::weak_ptr<fnd::Object>();
    self->promisedFiles = new std::optional<std::string>();
}
}

namespace ui {

GdkContentProvider* createPasteboardContentProvider(
    const std::shared_ptr<Pasteboard>& pasteboard, bool offerFiles, const std::shared_ptr<fnd::Object>& source)
{
    auto* provider
        = static_cast<BarcodesPasteboardProvider*>(g_object_new(barcodes_pasteboard_provider_get_type(), nullptr));
    provider->pasteboard = new std::shared_ptr<Pasteboard>(pasteboard);
    provider->changeCount = pasteboard->changeCount();
    provider->offerFiles = offerFiles;
    *provider->promiser = source;
    return GDK_CONTENT_PROVIDER(provider);
}

namespace {

constexpr double ReadTimeoutSeconds = 5;

// Shared by the waiting caller and the callbacks, which may come after a timeout gave up waiting.
struct PendingRead {
    bool done { false };
    std::optional<std::string> bytes;
    GCancellable* cancellable { g_cancellable_new() };
    GOutputStream* sink { nullptr };
    ~PendingRead()
    {
        g_object_unref(cancellable);
        if (sink)
            g_object_unref(sink);
    }
};
using PendingHolder = std::shared_ptr<PendingRead>;

void finish(PendingHolder* holder)
{
    (*holder)->done = true;
    delete holder;
}

void onSpliced(GObject*, GAsyncResult* result, gpointer data)
{
    auto* holder = static_cast<PendingHolder*>(data);
    auto& pending = **holder;
    if (g_output_stream_splice_finish(pending.sink, result, nullptr) >= 0) {
        auto* memory = G_MEMORY_OUTPUT_STREAM(pending.sink);
        pending.bytes = std::string(static_cast<const char*>(g_memory_output_stream_get_data(memory)),
            g_memory_output_stream_get_data_size(memory));
    }
    finish(holder);
}

// The stream's data arrives through the window system's events, so it is copied asynchronously too.
void collect(GInputStream* stream, PendingHolder* holder)
{
    if (!stream) {
        finish(holder);
        return;
    }
    auto& pending = **holder;
    pending.sink = g_memory_output_stream_new_resizable();
    g_output_stream_splice_async(pending.sink, stream,
        GOutputStreamSpliceFlags(G_OUTPUT_STREAM_SPLICE_CLOSE_SOURCE | G_OUTPUT_STREAM_SPLICE_CLOSE_TARGET),
        G_PRIORITY_DEFAULT, pending.cancellable, onSpliced, holder);
    g_object_unref(stream);
}

// Iterates GLib's main context until the read finished or the time is up.
std::optional<std::string> waitFor(const PendingHolder& pending)
{
    gint64 deadline = g_get_monotonic_time() + gint64(ReadTimeoutSeconds * 1e6);
    while (!pending->done && g_get_monotonic_time() < deadline) {
        if (!g_main_context_iteration(nullptr, FALSE))
            g_usleep(500);
    }
    if (!pending->done) {
        g_cancellable_cancel(pending->cancellable);
        return std::nullopt;
    }
    return pending->bytes;
}

}

std::optional<std::string> readClipboardSynchronously(GdkClipboard* clipboard, const char* mimeType)
{
    auto pending = std::make_shared<PendingRead>();
    const char* types[] = { mimeType, nullptr };
    gdk_clipboard_read_async(
        clipboard, types, G_PRIORITY_DEFAULT, pending->cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            collect(gdk_clipboard_read_finish(GDK_CLIPBOARD(source), result, nullptr, nullptr),
                static_cast<PendingHolder*>(data));
        },
        new PendingHolder(pending));
    return waitFor(pending);
}

std::optional<std::string> readDropSynchronously(GdkDrop* drop, const char* mimeType)
{
    auto pending = std::make_shared<PendingRead>();
    const char* types[] = { mimeType, nullptr };
    gdk_drop_read_async(
        drop, types, G_PRIORITY_DEFAULT, pending->cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            collect(
                gdk_drop_read_finish(GDK_DROP(source), result, nullptr, nullptr), static_cast<PendingHolder*>(data));
        },
        new PendingHolder(pending));
    return waitFor(pending);
}

}
