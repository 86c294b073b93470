#pragma once

#include "platform/foundation/runtime/Value.h"
#include "platform/foundation/services/Places.h"
#include "platform/ui/panels/detail/RowListView.h"

#include <functional>
#include <vector>

namespace ui::detail {

// One file or folder the browser shows.
struct FileEntry {
    fnd::String name;
    fnd::String path;
    bool isDirectory { false };
    std::uint64_t size { 0 };
    fnd::Date modified;
    // Files of a type the panel does not allow are shown dimmed and cannot be chosen.
    bool enabled { true };
};

enum class FileSortKey { Name, Size, Modified };

// The browser's list: one row per entry with its name, size and modification date, sortable by each, with a
// selection (one row, or several when allowed). A double click opens a row. Flipped; it sits in a scroll view.
class FileListView : public RowListView {
    FND_OBJECT(FileListView)
public:
    FileListView();
    static constexpr double RowHeight = 20;
    static std::shared_ptr<FileListView> create(gfx::Rect frame);

    void setEntries(std::vector<FileEntry> entries);
    const std::vector<FileEntry>& entries() const { return m_entries; }
    FileSortKey sortKey() const { return m_sortKey; }
    bool isAscending() const { return m_ascending; }
    // The same key again turns the order round.
    void sortBy(FileSortKey key);
    void setSort(FileSortKey key, bool ascending);

    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool flag) { m_allowsMultipleSelection = flag; }
    const std::vector<std::size_t>& selectedRows() const { return m_selected; }
    void selectRows(std::vector<std::size_t> rows);
    // The row of the entry with the name, or -1.
    long rowOfName(const fnd::String& name) const;
    gfx::Rect rectOfRow(std::size_t row) const;

    std::function<void()> onSelectionChanged;
    std::function<void(const FileEntry&)> onOpen;

    // The columns' left edges and widths, shared with the header.
    static double sizeColumnWidth() { return 80; }
    static double dateColumnWidth() { return 140; }
    static fnd::String formattedSize(const FileEntry& entry);
    static fnd::String formattedDate(fnd::Date date);

    bool isFlipped() const override { return true; }
    bool acceptsFirstResponder() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    // Up, Down, Home and End move the selection over the rows that can be chosen, Return opens the row, and typing
    // the start of a name selects the first row with that name.
    void keyDown(const Event& event) override;
    void drawFocusRingMask() override;
    gfx::Rect focusRingMaskBounds() const override;

    // Accessibility: a table "Files" of rows named by the entries' names and described by their sizes and dates;
    // choosing a row selects it, pressing it opens it.
    void accessibilityPartPerformAction(long part, const fnd::String& action) override;

protected:
    fnd::String accessibilityListName() const override;
    long accessibilityRowCount() const override { return long(m_entries.size()); }
    fnd::String accessibilityRowTitle(long row) const override { return m_entries[std::size_t(row)].name; }
    bool accessibilityRowIsSelected(long row) const override;
    bool accessibilityRowIsEnabled(long row) const override { return m_entries[std::size_t(row)].enabled; }
    fnd::String accessibilityRowDescription(long row) const override;
    gfx::Rect accessibilityRowRect(long row) const override { return rectOfRow(std::size_t(row)); }
    void accessibilityChooseRow(long row) override { selectRows({ std::size_t(row) }); }

private:
    void sortEntries();
    void resize();
    // The next row that can be chosen from the row in the direction; the row itself when there is none.
    long step(long from, int direction) const;
    void typeSelect(const fnd::String& characters);

    std::vector<FileEntry> m_entries;
    std::vector<std::size_t> m_selected;
    FileSortKey m_sortKey { FileSortKey::Name };
    bool m_ascending { true };
    bool m_allowsMultipleSelection { false };
    fnd::String m_typed;
    fnd::Date m_lastTyped = fnd::Date::distantPast();
};

// The column titles over the list; a click sorts by the column.
class FileListHeaderView : public View {
    FND_OBJECT(FileListHeaderView)
public:
    static std::shared_ptr<FileListHeaderView> create(gfx::Rect frame, const std::shared_ptr<FileListView>& list);
    // The column under an x of this view.
    FileSortKey columnAt(double x) const;

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;

private:
    std::weak_ptr<FileListView> m_list;
};

// The folders from the root to the current one as a row of segments; a click goes to that folder.
class PathBarView : public RowListView {
    FND_OBJECT(PathBarView)
public:
    PathBarView();
    static std::shared_ptr<PathBarView> create(gfx::Rect frame);
    void setPath(const fnd::String& path);
    const fnd::String& path() const { return m_path; }
    // The folder of each segment shown, with its rect.
    std::vector<std::pair<fnd::String, gfx::Rect>> segments() const;
    std::function<void(const fnd::String&)> onNavigate;

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;

    // Accessibility: a group "Folder path" of toggle buttons named by the folders shown, the current folder's on;
    // pressing one goes there.
    fnd::Value accessibilityPartAttributeValue(long part, AccessibilityAttributeKey key) const override;
    bool accessibilityPartIsAttributeSettable(long part, AccessibilityAttributeKey key) const override;

protected:
    fnd::String accessibilityListName() const override;
    long accessibilityRowCount() const override { return long(segments().size()); }
    fnd::String accessibilityRowTitle(long row) const override;
    bool accessibilityRowIsSelected(long row) const override { return row + 1 == accessibilityRowCount(); }
    gfx::Rect accessibilityRowRect(long row) const override;
    void accessibilityChooseRow(long row) override;

private:
    fnd::String m_path;
};

// The places beside the browser: the home folder, the desktop and documents folders where they exist, the mounted
// volumes and the recent files; a click goes there, and so do Up and Down from the keyboard.
class PlacesView : public RowListView {
    FND_OBJECT(PlacesView)
public:
    PlacesView();
    static constexpr double RowHeight = 22;
    // The name of the place that lists the recent files instead of a folder.
    static const fnd::String& recentPlacePath();
    static std::shared_ptr<PlacesView> create(gfx::Rect frame);
    void initWithFrame(gfx::Rect frame) override;
    // Lists the places anew (volumes come and go).
    void reload();
    const std::vector<fnd::Places::Place>& places() const { return m_places; }
    void setCurrentPath(const fnd::String& path);
    std::function<void(const fnd::String&)> onNavigate;

    bool isFlipped() const override { return true; }
    bool acceptsFirstResponder() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    void keyDown(const Event& event) override;
    void drawFocusRingMask() override;
    gfx::Rect focusRingMaskBounds() const override { return bounds(); }

    // Accessibility: a list named by its heading, of rows named by the places, the current one selected; choosing
    // one goes there.

protected:
    fnd::String accessibilityListName() const override;
    long accessibilityRowCount() const override { return long(m_places.size()); }
    fnd::String accessibilityRowTitle(long row) const override { return m_places[std::size_t(row)].name; }
    bool accessibilityRowIsSelected(long row) const override { return m_places[std::size_t(row)].path == m_current; }
    gfx::Rect accessibilityRowRect(long row) const override;
    void accessibilityChooseRow(long row) override { go(std::size_t(row)); }

private:
    void go(std::size_t index);
    std::vector<fnd::Places::Place> m_places;
    // Where the volumes start (a heading goes above them).
    std::size_t m_firstVolume { 0 };
    fnd::String m_current;
};

}
