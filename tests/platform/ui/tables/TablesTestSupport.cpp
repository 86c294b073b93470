#include "TablesTestSupport.h"

#include "platform/foundation/TestSupport.h"
#include "platform/ui/tables/TableHeaderView.h"

namespace {

const testsupport::PrivateConfigHome g_tablesConfigHome;

}

namespace tablestest {

FND_REGISTER_CLASS(ListSource, fnd::Object)
FND_REGISTER_CLASS(RecordingDelegate, fnd::Object)

long ListSource::numberOfRowsInTableView(ui::TableView&)
{
    return static_cast<long>(rows.size());
}

fnd::Value ListSource::tableViewObjectValueForTableColumn(ui::TableView&, ui::TableColumn* column, long row)
{
    askedRows.push_back(row);
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (column && column->identifier() == columns[c] && c < rows.at(static_cast<std::size_t>(row)).size())
            return fnd::Value(rows[static_cast<std::size_t>(row)][c]);
    return {};
}

void ListSource::tableViewSetObjectValue(ui::TableView&, const fnd::Value& value, ui::TableColumn* column, long row)
{
    edits.push_back(column->identifier().utf8() + " " + std::to_string(row) + " = " + value.stringValue().utf8());
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (column->identifier() == columns[c])
            rows.at(static_cast<std::size_t>(row)).at(c) = value.stringValue();
}

void ListSource::tableViewSortDescriptorsDidChange(ui::TableView& table, const fnd::SortDescriptors&)
{
    ++sortChanges;
    const auto& sorts = table.sortDescriptors();
    if (sorts.empty())
        return;
    std::size_t c = 0;
    while (c < columns.size() && columns[c] != sorts.front()->key())
        ++c;
    if (c == columns.size())
        return;
    std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
        auto order = a[c].compare(b[c]);
        return sorts.front()->ascending() ? order < 0 : order > 0;
    });
    table.reloadData();
}

void RecordingDelegate::tableViewColumnDidMove(const fnd::Notification& note)
{
    log.push_back("moved " + note.userInfo().get(ui::TableViewNotification::OldColumnKey).stringValue().utf8() + " to "
        + note.userInfo().get(ui::TableViewNotification::NewColumnKey).stringValue().utf8());
}

TablesTest::TablesTest()
{
    window = ui::Window::create({ 100, 100, 400, 300 });
    window->makeKeyAndOrderFront();
    scrollView = ui::ScrollView::create({ 10, 10, 300, 220 });
    scrollView->setHasVerticalScroller(true);
    scrollView->setBorderType(ui::BorderType::LineBorder);
    table = ui::TableView::create({ 0, 0, 283, 200 });
    for (const char* identifier : { "name", "kind" }) {
        auto column = ui::TableColumn::create(identifier);
        column->setWidth(120);
        table->addTableColumn(column);
    }
    source = fnd::makeObject<ListSource>();
    delegate = fnd::makeObject<RecordingDelegate>();
    setRows(fruit());
    table->setDataSource(source);
    table->setDelegate(delegate);
    scrollView->setDocumentView(table);
    window->contentView()->addSubview(scrollView);
    window->makeFirstResponder(table);
    window->displayIfNeeded();
}

std::vector<fnd::String> TablesTest::fruit()
{
    return { "Apple", "Apricot", "Banana", "Blueberry", "Cherry", "Date", "Elderberry", "Fig", "Grape", "Guava", "Kiwi",
        "Lemon", "Lime", "Mango", "Melon", "Nectarine", "Orange", "Papaya", "Peach", "Pear" };
}

void TablesTest::setRows(const std::vector<fnd::String>& names)
{
    source->rows.clear();
    for (const auto& name : names)
        source->rows.push_back({ name, "fruit" });
    table->reloadData();
}

gfx::Point TablesTest::cellPoint(long column, long row) const
{
    auto frame = table->frameOfCellAtColumn(column, row);
    return table->convertPointToView({ frame.midX(), frame.midY() }, nullptr);
}

void TablesTest::clickCell(long column, long row, unsigned flags, long clicks)
{
    table->scrollRowToVisible(row);
    auto p = cellPoint(column, row);
    backend->mouseDown(*window, p, flags, clicks);
    backend->mouseUp(*window, p, flags, clicks);
    dispatch();
}

void TablesTest::press(gfx::Point p, unsigned flags, long clicks)
{
    backend->mouseDown(*window, table->convertPointToView(p, nullptr), flags, clicks);
}

void TablesTest::drag(gfx::Point p, unsigned flags)
{
    backend->mouseDragged(*window, table->convertPointToView(p, nullptr), flags);
}

void TablesTest::release(gfx::Point p, unsigned flags)
{
    backend->mouseUp(*window, table->convertPointToView(p, nullptr), flags);
}

void TablesTest::key(char16_t character, unsigned short keyCode, unsigned flags)
{
    backend->keyDown(*window, fnd::String(std::u16string(1, character)), keyCode, flags);
    dispatch();
}

void TablesTest::type(const std::string& text)
{
    for (char c : text)
        key(static_cast<char16_t>(c));
}

std::string TablesTest::selection() const
{
    std::string out;
    for (auto index : table->selectedRowIndexes().indexes())
        out += (out.empty() ? "" : " ") + std::to_string(index);
    return out;
}

std::shared_ptr<gfx::BitmapImageRep> TablesTest::snapshot(const char* name)
{
    auto image = backend->imageOfWindow(*window);
    uitest::keepSnapshot(image, name);
    return image;
}

std::uint32_t TablesTest::pixelIn(const gfx::BitmapImageRep& image, ui::View& view, gfx::Point p)
{
    auto base = view.convertPointToView(p, nullptr);
    auto pixels = image.pixelBuffer();
    int x = int(base.x), y = pixels.height - 1 - int(base.y);
    return pixels.pixel(x, y);
}

bool isAccent(std::uint32_t argb)
{
    int r = (argb >> 16) & 0xff, b = argb & 0xff;
    return b > 150 && b - r > 60;
}

int luminance(std::uint32_t argb)
{
    return (int((argb >> 16) & 0xff) * 3 + int((argb >> 8) & 0xff) * 6 + int(argb & 0xff)) / 10;
}

}
