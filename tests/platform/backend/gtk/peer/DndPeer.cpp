// Another program for the drag-and-drop tests: a GTK window at the screen's top left that either offers a drag of
// a text ("source TEXT REPORT") or takes drops ("target REPORT"). It writes what happened to the report file:
// "ready" once shown, "dragging" when its drag began, "over" once it has answered a drag over it, then what was
// dropped on it. "ready" and "over" are written only once the X server has what they announce (the mapped window,
// the answer to the drag's source): a test acts on them at once.
// As a plain drop target it behaves, by its first argument, as the programs a drag meets on a desktop do:
// "read MIME REPORT" reads that one type of the drop itself (as a file manager reads text/uri-list or a mail
// program application/pdf), writes the bytes to REPORT.data and reports "read MIME BYTES" or "failed MIME: why";
// "late MIME REPORT" takes the drop ("holding"), answers nothing for five seconds, then reads as "read" does;
// "refuse REPORT" answers the drag as taken but refuses the drop without reading ("refused").
#include <gtk/gtk.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string reportPath;

void report(const std::string& line)
{
    std::ofstream(reportPath, std::ios::app) << line << "\n";
}

// Reports the line after the requests made so far have reached the server: from an idle callback, so that what the
// current handler answers (a drop status is sent when its handler returns) is among them.
void reportOnceSent(const char* line)
{
    g_idle_add(
        +[](gpointer data) -> gboolean {
            gdk_display_sync(gdk_display_get_default());
            report(static_cast<const char*>(data));
            return G_SOURCE_REMOVE;
        },
        const_cast<char*>(line));
}

void onMapped(GtkWidget*, gpointer)
{
    reportOnceSent("ready");
}

// What the drop target would choose by itself, copy before move, and a note that it answered.
GdkDragAction onMotion(GtkDropTarget* target, double, double, gpointer)
{
    GdkDrop* drop = gtk_drop_target_get_current_drop(target);
    GdkDragAction offered = drop ? gdk_drop_get_actions(drop) : GdkDragAction(0);
    reportOnceSent("over");
    return offered & GDK_ACTION_COPY ? GDK_ACTION_COPY : GdkDragAction(offered & GDK_ACTION_MOVE);
}

// A drop target's reading of one type, done as a program reads it: asynchronously, from the drop's stream.
struct PeerRead {
    GdkDrop* drop;
    std::string mime;
    GOutputStream* sink { g_memory_output_stream_new_resizable() };
};

void peerReadEnded(PeerRead* read, GError* error)
{
    if (error) {
        report("failed " + read->mime + ": " + error->message);
        g_error_free(error);
        gdk_drop_finish(read->drop, GdkDragAction(0));
    } else {
        auto* memory = G_MEMORY_OUTPUT_STREAM(read->sink);
        std::ofstream(reportPath + ".data", std::ios::binary)
            .write(static_cast<const char*>(g_memory_output_stream_get_data(memory)),
                std::streamsize(g_memory_output_stream_get_data_size(memory)));
        report("read " + read->mime + " " + std::to_string(g_memory_output_stream_get_data_size(memory)));
        gdk_drop_finish(read->drop, GDK_ACTION_COPY);
    }
    g_object_unref(read->drop);
    g_object_unref(read->sink);
    delete read;
}

void peerReadOpened(GObject* source, GAsyncResult* result, gpointer data)
{
    auto* read = static_cast<PeerRead*>(data);
    GError* error = nullptr;
    GInputStream* stream = gdk_drop_read_finish(GDK_DROP(source), result, nullptr, &error);
    if (!stream) {
        peerReadEnded(read, error);
        return;
    }
    g_output_stream_splice_async(
        read->sink, stream,
        GOutputStreamSpliceFlags(G_OUTPUT_STREAM_SPLICE_CLOSE_SOURCE | G_OUTPUT_STREAM_SPLICE_CLOSE_TARGET),
        G_PRIORITY_DEFAULT, nullptr,
        +[](GObject* sink, GAsyncResult* spliced, gpointer data) {
            GError* error = nullptr;
            g_output_stream_splice_finish(G_OUTPUT_STREAM(sink), spliced, &error);
            peerReadEnded(static_cast<PeerRead*>(data), error);
        },
        read);
    g_object_unref(stream);
}

std::string peerMode;
std::string peerMime;

// Reads the peer's type of the drop, which it holds a reference to.
void peerRead(GdkDrop* drop)
{
    const char* types[] = { peerMime.c_str(), nullptr };
    gdk_drop_read_async(drop, types, G_PRIORITY_DEFAULT, nullptr, peerReadOpened, new PeerRead { drop, peerMime });
}

GdkDragAction onAsyncMotion(GtkDropTargetAsync*, GdkDrop* drop, double, double, gpointer)
{
    reportOnceSent("over");
    return gdk_drop_get_actions(drop) & GDK_ACTION_COPY ? GDK_ACTION_COPY : GdkDragAction(0);
}

gboolean onAsyncDrop(GtkDropTargetAsync*, GdkDrop* drop, double, double, gpointer)
{
    if (peerMode == "refuse") {
        report("refused");
        gdk_drop_finish(drop, GdkDragAction(0));
    } else if (peerMode == "late") {
        reportOnceSent("holding");
        g_timeout_add_once(
            5000, [](gpointer drop) { peerRead(GDK_DROP(drop)); }, g_object_ref(drop));
    } else {
        peerRead(GDK_DROP(g_object_ref(drop)));
    }
    return TRUE;
}

gboolean onDrop(GtkDropTarget*, const GValue* value, double, double, gpointer)
{
    if (G_VALUE_HOLDS(value, GDK_TYPE_FILE_LIST)) {
        for (GSList* f = static_cast<GSList*>(g_value_get_boxed(value)); f; f = f->next) {
            char* path = g_file_get_path(G_FILE(f->data));
            report(std::string("file ") + (path ? path : "?"));
            g_free(path);
        }
        return TRUE;
    }
    if (G_VALUE_HOLDS_STRING(value)) {
        report(std::string("text ") + g_value_get_string(value));
        return TRUE;
    }
    return FALSE;
}

}

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr,
            "usage: %s source TEXT REPORT | target REPORT | read MIME REPORT | late MIME REPORT | refuse REPORT\n",
            argv[0]);
        return 2;
    }
    peerMode = argv[1];
    bool source = peerMode == "source";
    bool reads = peerMode == "read" || peerMode == "late";
    if ((source || reads) && argc < 4)
        return 2;
    if (reads)
        peerMime = argv[2];
    reportPath = argv[source || reads ? 3 : 2];
    gtk_init();
    GtkWidget* window = gtk_window_new();
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_default_size(GTK_WINDOW(window), 200, 150);
    GtkWidget* area = gtk_label_new(source ? "drag me" : ("drop here: " + peerMode).c_str());
    gtk_window_set_child(GTK_WINDOW(window), area);
    if (source) {
        auto* drag = gtk_drag_source_new();
        GdkContentProvider* content = gdk_content_provider_new_typed(G_TYPE_STRING, argv[2]);
        gtk_drag_source_set_content(drag, content);
        gtk_drag_source_set_actions(drag, GDK_ACTION_COPY);
        g_object_unref(content);
        g_signal_connect(
            drag, "drag-begin", G_CALLBACK(+[](GtkDragSource*, GdkDrag*) { report("dragging"); }), nullptr);
        gtk_widget_add_controller(area, GTK_EVENT_CONTROLLER(drag));
    } else if (peerMode != "target") {
        auto* drop = gtk_drop_target_async_new(nullptr, GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE));
        g_signal_connect(drop, "drag-enter", G_CALLBACK(onAsyncMotion), nullptr);
        g_signal_connect(drop, "drag-motion", G_CALLBACK(onAsyncMotion), nullptr);
        g_signal_connect(drop, "drop", G_CALLBACK(onAsyncDrop), nullptr);
        gtk_widget_add_controller(area, GTK_EVENT_CONTROLLER(drop));
    } else {
        auto* drop = gtk_drop_target_new(G_TYPE_INVALID, GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE));
        GType types[] = { GDK_TYPE_FILE_LIST, G_TYPE_STRING };
        gtk_drop_target_set_gtypes(drop, types, 2);
        g_signal_connect(drop, "enter", G_CALLBACK(onMotion), nullptr);
        g_signal_connect(drop, "motion", G_CALLBACK(onMotion), nullptr);
        g_signal_connect(drop, "drop", G_CALLBACK(onDrop), nullptr);
        gtk_widget_add_controller(area, GTK_EVENT_CONTROLLER(drop));
    }
    g_signal_connect(window, "map", G_CALLBACK(onMapped), nullptr);
    gtk_window_present(GTK_WINDOW(window));
    while (true)
        g_main_context_iteration(nullptr, TRUE);
}
