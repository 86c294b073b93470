#include "platform/ui/panels/detail/FilePanelViews.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/Paths.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/graphics/BezierPath.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace ui::detail {

namespace {

const double Indent = 8;

std::shared_ptr<gfx::Font> listFont()
{
    static const auto font = gfx::Font::systemFontOfSize(12);
    return font;
}

// A small folder or page drawn beside a name.
void drawFileIcon(gfx::Rect r, bool folder, bool enabled)
{
    double alpha = enabled ? 1 : 0.4;
    if (folder) {
        gfx::Color::colorWithCalibratedRed(0.35, 0.6, 0.9, alpha)->setFill();
        gfx::BezierPath::bezierPathWithRoundedRect({ r.minX(), r.minY() + 1, r.width() * 0.45, 4 }, 1, 1)->fill();
        gfx::BezierPath::bezierPathWithRoundedRect({ r.minX(), r.minY() + 3, r.width(), r.height() - 4 }, 1.5, 1.5)
            ->fill();
    } else {
        auto page = gfx::BezierPath::bezierPathWithRoundedRect(
            { r.minX() + 2.5, r.minY() + 0.5, r.width() - 5, r.height() - 1 }, 1, 1);
        gfx::Color::colorWithCalibratedWhite(1, alpha)->setFill();
        page->fill();
        gfx::Color::colorWithCalibratedWhite(0.45, alpha)->setStroke();
        page->setLineWidth(1);
        page->stroke();
    }
}

}

// The list.

FND_REGISTER_CLASS(FileListView, View)

FileListView::FileListView()
    : RowListView(AccessibilityRole::Table, AccessibilityRole::Row, AccessibilitySubrole::TableRow)
{
}

std::shared_ptr<FileListView> FileListView::create(gfx::Rect frame)
{
    return ui::makeView<FileListView>(frame);
}

fnd::String FileListView::accessibilityListName() const
{
    return panelText("Files", "Files");
}

void FileListView::setEntries(std::vector<FileEntry> entries)
{
    m_entries = std::move(entries);
    m_selected.clear();
    sortEntries();
    resize();
    setNeedsDisplay(true);
    rowListChanged();
    if (onSelectionChanged)
        onSelectionChanged();
}

void FileListView::resize()
{
    // At least as tall as the clip view, so clicks below the last row land here.
    double height = RowHeight * double(m_entries.size());
    if (auto clip = superview())
        height = std::max(height, clip->bounds().height());
    setFrameSize({ superview() ? superview()->bounds().width() : frame().width(), height });
}

void FileListView::sortBy(FileSortKey key)
{
    setSort(key, key == m_sortKey ? !m_ascending : true);
}

void FileListView::setSort(FileSortKey key, bool ascending)
{
    // The selection follows its entries.
    std::vector<fnd::String> selectedNames;
    for (auto row : m_selected)
        selectedNames.push_back(m_entries[row].name);
    m_sortKey = key;
    m_ascending = ascending;
    sortEntries();
    m_selected.clear();
    for (const auto& name : selectedNames) {
        if (long row = rowOfName(name); row >= 0)
            m_selected.push_back(std::size_t(row));
    }
    setNeedsDisplay(true);
    // The rows stand for other entries now.
    rowListChanged();
}

void FileListView::sortEntries()
{
    auto byName = [](const FileEntry& a, const FileEntry& b) {
        return a.name.compare(b.name, fnd::StringCompareOptions::CaseInsensitive | fnd::StringCompareOptions::Numeric)
            < 0;
    };
    auto key = m_sortKey;
    bool ascending = m_ascending;
    // Ties go by name, then path (recent files may share names), so the order is total and a plain sort will do.
    std::ranges::sort(m_entries, [&](const FileEntry& a, const FileEntry& b) {
        bool before = false, after = false;
        switch (key) {
        case FileSortKey::Name:
            before = byName(a, b);
            after = byName(b, a);
            break;
        case FileSortKey::Size: {
            // Folders have no size: they come before the smallest file.
            auto sa = a.isDirectory ? -1.0 : double(a.size);
            auto sb = b.isDirectory ? -1.0 : double(b.size);
            before = sa < sb;
            after = sb < sa;
            break;
        }
        case FileSortKey::Modified:
            before = a.modified < b.modified;
            after = b.modified < a.modified;
            break;
        }
        if (before == after) {
            if (byName(a, b) || byName(b, a))
                return byName(a, b); // ties stay in name order either way
            return a.path.compare(b.path) < 0;
        }
        return ascending ? before : after;
    });
}

long FileListView::rowOfName(const fnd::String& name) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].name == name)
            return long(i);
    }
    return -1;
}

gfx::Rect FileListView::rectOfRow(std::size_t row) const
{
    return { 0, RowHeight * double(row), bounds().width(), RowHeight };
}

void FileListView::selectRows(std::vector<std::size_t> rows)
{
    std::erase_if(rows, [&](std::size_t r) { return r >= m_entries.size() || !m_entries[r].enabled; });
    if (!m_allowsMultipleSelection && rows.size() > 1)
        rows.resize(1);
    if (rows == m_selected)
        return;
    m_selected = std::move(rows);
    setNeedsDisplay(true);
    if (!m_selected.empty())
        scrollRectToVisible(rectOfRow(m_selected.front()));
    rowListSelectionChanged();
    if (onSelectionChanged)
        onSelectionChanged();
}

bool FileListView::accessibilityRowIsSelected(long row) const
{
    return std::ranges::find(m_selected, std::size_t(row)) != m_selected.end();
}

fnd::String FileListView::accessibilityRowDescription(long row) const
{
    // What the other columns show.
    const auto& entry = m_entries[std::size_t(row)];
    return formattedSize(entry) + ", " + formattedDate(entry.modified);
}

void FileListView::accessibilityPartPerformAction(long part, const fnd::String& action)
{
    // A press opens the row, as a double click does.
    if (action != AccessibilityAction::Press || part < 0 || part >= long(m_entries.size())
        || !m_entries[std::size_t(part)].enabled)
        return;
    auto self = shared_from_this();
    selectRows({ std::size_t(part) });
    if (onOpen && std::size_t(part) < m_entries.size())
        onOpen(m_entries[std::size_t(part)]);
}

fnd::String FileListView::formattedSize(const FileEntry& entry)
{
    if (entry.isDirectory)
        return "--";
    double size = double(entry.size);
    if (size == 1)
        return panelText("1 byte", "1 byte");
    if (size < 1000)
        return fnd::String::format(panelText("%.0f bytes", "%.0f bytes"), { size });
    const char* units[] = { "KB", "MB", "GB", "TB" };
    int unit = -1;
    while (size >= 1000 && unit < 3) {
        size /= 1000;
        ++unit;
    }
    return fnd::String::format(size < 10 ? "%.1f %s" : "%.0f %s", { size, fnd::String(units[unit]) });
}

fnd::String FileListView::formattedDate(fnd::Date date)
{
    std::time_t t = std::time_t(date.timeIntervalSince1970());
    std::tm local {};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return fnd::String(text);
}

void FileListView::drawRect(gfx::Rect dirty)
{
    auto b = bounds();
    bool active = window() && window()->isKeyWindow();
    double nameWidth = b.width() - sizeColumnWidth() - dateColumnWidth();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        auto row = rectOfRow(i);
        if (!gfx::intersectsRect(row, dirty))
            continue;
        const auto& e = m_entries[i];
        bool selected = std::ranges::find(m_selected, i) != m_selected.end();
        if (selected) {
            ControlLook::accentColor(active)->setFill();
            gfx::BezierPath::fillRect(row);
        } else if (i % 2 == 1) {
            gfx::Color::colorWithCalibratedWhite(0, 0.03)->setFill();
            gfx::BezierPath::fillRect(row);
        }
        auto color = selected ? ControlLook::textOnAccentColor(true) : ControlLook::textColor(e.enabled);
        auto secondary = selected ? color : ControlLook::secondaryTextColor(e.enabled);
        drawFileIcon({ row.minX() + Indent, row.minY() + 3, 16, 14 }, e.isDirectory, e.enabled);
        drawLabel(
            e.name, { row.minX() + Indent + 22, row.minY(), nameWidth - Indent - 26, RowHeight }, listFont(), color);
        drawLabel(formattedSize(e), { nameWidth, row.minY(), sizeColumnWidth() - 8, RowHeight }, listFont(), secondary,
            txt::TextAlignment::Right);
        drawLabel(formattedDate(e.modified),
            { nameWidth + sizeColumnWidth() + 4, row.minY(), dateColumnWidth() - 8, RowHeight }, listFont(), secondary);
    }
}

void FileListView::mouseDown(const Event& event)
{
    auto p = convertPointFromView(event.locationInWindow(), nullptr);
    if (p.y < 0)
        return;
    auto row = std::size_t(p.y / RowHeight);
    if (row >= m_entries.size()) {
        selectRows({});
        return;
    }
    if (!m_entries[row].enabled)
        return;
    bool extend = m_allowsMultipleSelection
        && (event.modifierFlags() & (ModifierFlags::Command | ModifierFlags::Control | ModifierFlags::Shift));
    auto rows = m_selected;
    if (extend) {
        if (auto found = std::ranges::find(rows, row); found != rows.end())
            rows.erase(found);
        else
            rows.push_back(row);
    } else {
        rows = { row };
    }
    selectRows(rows);
    if (event.clickCount() == 2 && onOpen)
        onOpen(m_entries[row]);
}

long FileListView::step(long from, int direction) const
{
    for (long row = from + direction; row >= 0 && row < long(m_entries.size()); row += direction)
        if (m_entries[std::size_t(row)].enabled)
            return row;
    return from;
}

void FileListView::keyDown(const Event& event)
{
    auto chars = event.charactersIgnoringModifiers();
    const unsigned commandKeys = ModifierFlags::Command | ModifierFlags::Control | ModifierFlags::Alternate;
    if (chars.length() != 1 || m_entries.empty() || (event.modifierFlags() & commandKeys)) {
        View::keyDown(event);
        return;
    }
    long current = m_selected.empty() ? -1 : long(m_selected.front());
    const long count = long(m_entries.size());
    char16_t c = chars.characterAt(0);
    long next = current;
    switch (c) {
    case FunctionKey::DownArrow:
        next = step(current, +1);
        break;
    case FunctionKey::UpArrow:
        next = step(current < 0 ? count : current, -1);
        break;
    case FunctionKey::Home:
    case FunctionKey::PageUp:
        next = step(-1, +1);
        break;
    case FunctionKey::End:
    case FunctionKey::PageDown:
        next = step(count, -1);
        break;
    case u'\r':
    case 3:
        if (current >= 0 && onOpen)
            onOpen(m_entries[std::size_t(current)]);
        else
            View::keyDown(event);
        return;
    default:
        if (c > u' ' && (c < 0xF700 || c > 0xF8FF) && c != 0x7F) {
            typeSelect(chars);
            return;
        }
        View::keyDown(event);
        return;
    }
    if (next >= 0)
        selectRows({ std::size_t(next) });
}

void FileListView::typeSelect(const fnd::String& characters)
{
    // Letters typed within a second of each other spell one name.
    constexpr double TypeSelectPause = 1.0;
    const auto now = fnd::Clock::current()->now();
    if (now.timeIntervalSince(m_lastTyped) > TypeSelectPause)
        m_typed = {};
    m_lastTyped = now;
    m_typed = m_typed + characters.lowercaseString();
    for (std::size_t row = 0; row < m_entries.size(); ++row) {
        if (m_entries[row].enabled && m_entries[row].name.lowercaseString().hasPrefix(m_typed)) {
            selectRows({ row });
            return;
        }
    }
}

void FileListView::drawFocusRingMask()
{
    gfx::BezierPath::fillRect(focusRingMaskBounds());
}

gfx::Rect FileListView::focusRingMaskBounds() const
{
    return visibleRect();
}

// The header.

FND_REGISTER_CLASS(FileListHeaderView, View)

std::shared_ptr<FileListHeaderView> FileListHeaderView::create(
    gfx::Rect frame, const std::shared_ptr<FileListView>& list)
{
    auto view = ui::makeView<FileListHeaderView>(frame);
    view->m_list = list;
    return view;
}

FileSortKey FileListHeaderView::columnAt(double x) const
{
    double nameWidth = bounds().width() - FileListView::sizeColumnWidth() - FileListView::dateColumnWidth();
    if (x < nameWidth)
        return FileSortKey::Name;
    return x < nameWidth + FileListView::sizeColumnWidth() ? FileSortKey::Size : FileSortKey::Modified;
}

void FileListHeaderView::drawRect(gfx::Rect)
{
    auto b = bounds();
    auto list = m_list.lock();
    gfx::Color::colorWithCalibratedWhite(0.97)->setFill();
    gfx::BezierPath::fillRect(b);
    ControlLook::borderColor()->setFill();
    gfx::BezierPath::fillRect({ b.minX(), b.maxY() - 1, b.width(), 1 });
    double nameWidth = b.width() - FileListView::sizeColumnWidth() - FileListView::dateColumnWidth();
    struct Column {
        FileSortKey key;
        fnd::String title;
        gfx::Rect rect;
    };
    Column columns[] = {
        { FileSortKey::Name, panelText("Name", "Name"), { b.minX(), b.minY(), nameWidth, b.height() - 1 } },
        { FileSortKey::Size, panelText("Size", "Size"),
            { nameWidth, b.minY(), FileListView::sizeColumnWidth(), b.height() - 1 } },
        { FileSortKey::Modified, panelText("Modified", "Modified"),
            { nameWidth + FileListView::sizeColumnWidth(), b.minY(), FileListView::dateColumnWidth(),
                b.height() - 1 } },
    };
    auto font = gfx::Font::systemFontOfSize(11);
    for (const auto& c : columns) {
        if (c.rect.minX() > b.minX()) {
            ControlLook::borderColor()->setFill();
            gfx::BezierPath::fillRect({ c.rect.minX(), c.rect.minY() + 3, 1, c.rect.height() - 6 });
        }
        bool sorted = list && list->sortKey() == c.key;
        drawLabel(c.title, { c.rect.minX() + Indent, c.rect.minY(), c.rect.width() - Indent - 18, c.rect.height() },
            sorted ? gfx::Font::boldSystemFontOfSize(11) : font, ControlLook::textColor(true));
        if (sorted) {
            ControlLook::drawChevron({ c.rect.maxX() - 10, c.rect.midY() }, 3,
                list->isAscending() ? ControlLook::Direction::Up : ControlLook::Direction::Down,
                *ControlLook::secondaryTextColor(true));
        }
    }
}

void FileListHeaderView::mouseDown(const Event& event)
{
    auto list = m_list.lock();
    if (!list)
        return;
    list->sortBy(columnAt(convertPointFromView(event.locationInWindow(), nullptr).x));
    setNeedsDisplay(true);
}

// The path bar.

FND_REGISTER_CLASS(PathBarView, View)

std::shared_ptr<PathBarView> PathBarView::create(gfx::Rect frame)
{
    return ui::makeView<PathBarView>(frame);
}

void PathBarView::setPath(const fnd::String& path)
{
    if (path == m_path)
        return;
    m_path = path;
    setNeedsDisplay(true);
    rowListChanged();
}

PathBarView::PathBarView()
    : RowListView(AccessibilityRole::Group, AccessibilityRole::Button, AccessibilitySubrole::Toggle)
{
}

fnd::String PathBarView::accessibilityListName() const
{
    return panelText("Folder path", "Folder path");
}

fnd::Value PathBarView::accessibilityPartAttributeValue(long part, AccessibilityAttributeKey key) const
{
    // A button of each folder shown, the current folder's on.
    if (key == AccessibilityAttributeKey::Value)
        return part < accessibilityRowCount() ? fnd::Value(accessibilityRowIsSelected(part) ? 1 : 0) : fnd::Value();
    if (key == AccessibilityAttributeKey::Selected)
        return {};
    return RowListView::accessibilityPartAttributeValue(part, key);
}

bool PathBarView::accessibilityPartIsAttributeSettable(long, AccessibilityAttributeKey) const
{
    return false;
}

fnd::String PathBarView::accessibilityRowTitle(long row) const
{
    const auto folder = segments()[std::size_t(row)].first;
    return folder == fnd::String("/") ? folder : folder.lastPathComponent();
}

gfx::Rect PathBarView::accessibilityRowRect(long row) const
{
    return segments()[std::size_t(row)].second;
}

void PathBarView::accessibilityChooseRow(long row)
{
    auto parts = segments();
    if (std::size_t(row) < parts.size() && onNavigate)
        onNavigate(parts[std::size_t(row)].first);
}

std::vector<std::pair<fnd::String, gfx::Rect>> PathBarView::segments() const
{
    // Each folder from the root; when they do not fit, the ones nearest the root give way.
    std::vector<std::pair<fnd::String, double>> all;
    fnd::String folder = "/";
    all.push_back({ folder, detail::labelSize("/", listFont()).width + 16 });
    for (const auto& part : m_path.pathComponents()) {
        if (part == fnd::String("/"))
            continue;
        folder = folder.stringByAppendingPathComponent(part);
        all.push_back({ folder, detail::labelSize(part, listFont()).width + 16 });
    }
    // The current folder is shown in bold.
    if (all.size() > 1)
        all.back().second
            = detail::labelSize(all.back().first.lastPathComponent(), gfx::Font::boldSystemFontOfSize(12)).width + 16;
    constexpr double Separator = 12;
    double total = 0;
    for (const auto& s : all)
        total += s.second + Separator;
    std::size_t first = 0;
    while (first + 1 < all.size() && total > bounds().width()) {
        total -= all[first].second + Separator;
        ++first;
    }
    std::vector<std::pair<fnd::String, gfx::Rect>> result;
    double x = bounds().minX();
    for (std::size_t i = first; i < all.size(); ++i) {
        result.push_back({ all[i].first, { x, bounds().minY(), all[i].second, bounds().height() } });
        x += all[i].second + Separator;
    }
    return result;
}

void PathBarView::drawRect(gfx::Rect)
{
    auto parts = segments();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const auto& [folder, r] = parts[i];
        bool last = i + 1 == parts.size();
        if (last) {
            ControlLook::FaceState face;
            face.on = true;
            ControlLook::drawFace(r, ControlLook::FaceShape::RoundedRect, ControlSize::Small, face);
        }
        auto name = folder == fnd::String("/") ? fnd::String("/") : folder.lastPathComponent();
        drawLabel(name, gfx::insetRect(r, 8, 0), last ? gfx::Font::boldSystemFontOfSize(12) : listFont(),
            ControlLook::textColor(true), txt::TextAlignment::Center);
        if (!last)
            ControlLook::drawChevron(
                { r.maxX() + 6, r.midY() }, 3, ControlLook::Direction::Right, *ControlLook::secondaryTextColor(true));
    }
}

void PathBarView::mouseDown(const Event& event)
{
    auto p = convertPointFromView(event.locationInWindow(), nullptr);
    for (const auto& [folder, r] : segments()) {
        if (gfx::mouseInRect(p, r, true)) {
            if (onNavigate)
                onNavigate(folder);
            return;
        }
    }
}

// The places.

FND_REGISTER_CLASS(PlacesView, View)

const fnd::String& PlacesView::recentPlacePath()
{
    static const fnd::String recent = "recent:///";
    return recent;
}

PlacesView::PlacesView()
    : RowListView(AccessibilityRole::List, AccessibilityRole::Row)
{
}

fnd::String PlacesView::accessibilityListName() const
{
    // The heading it draws over its rows.
    return panelText("Places", "Places");
}

std::shared_ptr<PlacesView> PlacesView::create(gfx::Rect frame)
{
    return ui::makeView<PlacesView>(frame);
}

void PlacesView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    reload();
}

void PlacesView::reload()
{
    m_places = { { panelText("Home", "Home"), fnd::Paths::homeDirectory() } };
    // A desktop without these folders has nothing to go to there.
    for (const auto& [name, path] : { std::pair { panelText("Desktop", "Desktop"), fnd::Places::desktopDirectory() },
             std::pair { panelText("Documents", "Documents"), fnd::Paths::documentsDirectory() } }) {
        bool isFolder = false;
        if (path != m_places.front().path && fnd::FileManager::defaultManager().fileExists(path, isFolder) && isFolder)
            m_places.push_back({ name, path });
    }
    m_firstVolume = m_places.size();
    for (auto& volume : fnd::Places::mountedVolumes()) {
        if (volume.path != fnd::String("/"))
            m_places.push_back(std::move(volume));
    }
    m_places.push_back({ panelText("Recent", "Recent"), recentPlacePath() });
    setNeedsDisplay(true);
    rowListChanged();
}

void PlacesView::setCurrentPath(const fnd::String& path)
{
    if (path == m_current)
        return;
    m_current = path;
    setNeedsDisplay(true);
    rowListSelectionChanged();
}

namespace {

// Rows: a heading, the fixed places, a heading over the volumes when there are any, the volumes, then Recent.
double rowTop(std::size_t index, std::size_t firstVolume, std::size_t count)
{
    bool volumes = count > firstVolume + 1;
    double headings = 1 + (volumes && index >= firstVolume ? 1 : 0);
    return PlacesView::RowHeight * (double(index) + headings);
}

}

void PlacesView::drawRect(gfx::Rect)
{
    auto b = bounds();
    gfx::Color::colorWithCalibratedWhite(0, 0.04)->setFill();
    gfx::BezierPath::fillRect(b);
    auto headingFont = gfx::Font::boldSystemFontOfSize(11);
    drawLabel(panelText("Places", "Places"), { Indent, 0, b.width() - Indent, RowHeight }, headingFont,
        ControlLook::secondaryTextColor(true));
    if (m_places.size() > m_firstVolume + 1)
        drawLabel(panelText("Volumes", "Volumes"),
            { Indent, rowTop(m_firstVolume, m_firstVolume, m_places.size()) - RowHeight, b.width() - Indent,
                RowHeight },
            headingFont, ControlLook::secondaryTextColor(true));
    bool active = window() && window()->isKeyWindow();
    for (std::size_t i = 0; i < m_places.size(); ++i) {
        gfx::Rect row { b.minX(), rowTop(i, m_firstVolume, m_places.size()), b.width(), RowHeight };
        bool current = m_places[i].path == m_current;
        if (current) {
            ControlLook::FaceState face;
            face.on = true;
            face.active = active;
            ControlLook::drawFace(
                gfx::insetRect(row, 4, 1), ControlLook::FaceShape::RoundedRect, ControlSize::Small, face);
        }
        bool recent = m_places[i].path == recentPlacePath();
        if (!recent)
            drawFileIcon({ row.minX() + 12, row.minY() + 4, 16, 14 }, true, true);
        drawLabel(m_places[i].name, { row.minX() + (recent ? 12 : 34), row.minY(), b.width() - 40, RowHeight },
            listFont(), ControlLook::textColor(true));
    }
}

gfx::Rect PlacesView::accessibilityRowRect(long row) const
{
    return { bounds().minX(), rowTop(std::size_t(row), m_firstVolume, m_places.size()), bounds().width(), RowHeight };
}

void PlacesView::mouseDown(const Event& event)
{
    auto p = convertPointFromView(event.locationInWindow(), nullptr);
    for (std::size_t i = 0; i < m_places.size(); ++i) {
        double top = rowTop(i, m_firstVolume, m_places.size());
        if (p.y >= top && p.y < top + RowHeight) {
            go(i);
            return;
        }
    }
}

void PlacesView::go(std::size_t index)
{
    if (index < m_places.size() && onNavigate)
        onNavigate(m_places[index].path);
}

void PlacesView::keyDown(const Event& event)
{
    auto chars = event.charactersIgnoringModifiers();
    if (chars.length() != 1 || m_places.empty()) {
        View::keyDown(event);
        return;
    }
    auto current = std::find_if(m_places.begin(), m_places.end(), [&](const auto& p) { return p.path == m_current; });
    const long at = current == m_places.end() ? -1 : long(current - m_places.begin());
    const long last = long(m_places.size()) - 1;
    switch (chars.characterAt(0)) {
    case FunctionKey::DownArrow:
        go(std::size_t(std::min(last, at + 1)));
        return;
    case FunctionKey::UpArrow:
        go(std::size_t(at < 0 ? last : std::max(0L, at - 1)));
        return;
    case FunctionKey::Home:
        go(0);
        return;
    case FunctionKey::End:
        go(std::size_t(last));
        return;
    default:
        View::keyDown(event);
    }
}

void PlacesView::drawFocusRingMask()
{
    gfx::BezierPath::fillRect(bounds());
}

}
