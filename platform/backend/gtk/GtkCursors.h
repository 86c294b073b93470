#pragma once

#include <gdk/gdk.h>

#include <map>
#include <memory>

namespace ui {

class Cursor;
class GtkBackend;

// Shows the current cursor over our windows: standard cursors by their freedesktop names, image cursors as
// textures with their hot spot.
class GtkCursors {
public:
    explicit GtkCursors(GtkBackend& backend);
    ~GtkCursors();

    // The GDK cursor for ours (nullptr: the default).
    GdkCursor* cursorFor(const std::shared_ptr<Cursor>& cursor);
    GdkCursor* current() const { return m_current; }

private:
    void show(const std::shared_ptr<Cursor>& cursor);

    GtkBackend& m_backend;
    std::map<const Cursor*, GdkCursor*> m_made;
    GdkCursor* m_current { nullptr };
};

}
