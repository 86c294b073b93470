// Extensions a library installs for every table or outline view: they stand in for the view's own handling, in
// the order installed, for plain views and subclasses alike, and only for the kind of view they name.
#include "TablesTestSupport.h"

#include "platform/ui/menus/Menu.h"
#include "platform/ui/tables/OutlineView.h"
#include "platform/ui/tables/TableViewExtensions.h"

using namespace ui;
using namespace tablestest;

namespace {

// A table subclass that handles one key itself and passes the rest on, as subclasses do.
class LetterTable : public TableView {
    FND_OBJECT(LetterTable)
public:
    void keyDown(const Event& event) override
    {
        if (event.charactersIgnoringModifiers() == fnd::String("q"))
            log.push_back("subclass q");
        else
            TableView::keyDown(event);
    }
    std::vector<std::string> log;
};
FND_REGISTER_CLASS(LetterTable, TableView)

class TableViewExtensionsTest : public TablesTest {
protected:
    ~TableViewExtensionsTest() override
    {
        for (long token : tokens)
            removeTableViewExtension(token);
    }
    // An extension that logs `name` for each key and menu it sees; it takes the key `swallow` itself.
    void install(const std::string& name, TableViewExtension::Scope scope, char16_t swallow = 0)
    {
        TableViewExtension extension;
        extension.scope = scope;
        extension.keyDown = [this, name, swallow](TableView&, const Event& event, const auto& next) {
            log.push_back(name);
            if (event.charactersIgnoringModifiers().units()[0] != swallow)
                next(event);
        };
        extension.menuForEvent = [this, name](TableView& view, const Event& event, const auto& next) {
            log.push_back(name + " menu " + std::to_string(view.clickedRow()));
            return next(event);
        };
        tokens.push_back(installTableViewExtension(std::move(extension)));
    }
    std::vector<std::string> log;
    std::vector<long> tokens;
};

}

TEST_F(TableViewExtensionsTest, LaterExtensionsRunFirstAndMayKeepAKeyFromTheTable)
{
    install("first", TableViewExtension::Scope::TableViews);
    install("second", TableViewExtension::Scope::TableViews, u'x');
    table->selectRowIndexes(fnd::IndexSet { 2 }, false);
    key(FunctionKey::DownArrow);
    EXPECT_EQ(log, (std::vector<std::string> { "second", "first" }));
    EXPECT_EQ(selection(), "3") << "the table's own handling ran last";
    log.clear();
    key(u'x');
    EXPECT_EQ(log, std::vector<std::string> { "second" });

    // Removed, an extension is asked no more.
    removeTableViewExtension(tokens.back());
    tokens.pop_back();
    log.clear();
    key(u'x');
    EXPECT_EQ(log, std::vector<std::string> { "first" });
}

TEST_F(TableViewExtensionsTest, SubclassesReachTheExtensionsThroughTheirSuperclass)
{
    install("tables", TableViewExtension::Scope::TableViews);
    auto letters = makeView<LetterTable>(gfx::Rect { 0, 0, 100, 100 });
    letters->keyDown(
        *Event::keyEventWithType(EventType::KeyDown, {}, 0, 0, window->windowNumber(), "q", "q", false, 12));
    letters->keyDown(
        *Event::keyEventWithType(EventType::KeyDown, {}, 0, 0, window->windowNumber(), "w", "w", false, 13));
    EXPECT_EQ(letters->log, std::vector<std::string> { "subclass q" });
    EXPECT_EQ(log, std::vector<std::string> { "tables" });
}

TEST_F(TableViewExtensionsTest, OutlineExtensionsLeavePlainTablesAlone)
{
    install("outlines", TableViewExtension::Scope::OutlineViews);
    install("tables", TableViewExtension::Scope::TableViews);
    key(FunctionKey::DownArrow);
    EXPECT_EQ(log, std::vector<std::string> { "tables" });

    log.clear();
    auto outline = OutlineView::create({ 0, 0, 100, 100 });
    outline->keyDown(
        *Event::keyEventWithType(EventType::KeyDown, {}, 0, 0, window->windowNumber(), "w", "w", false, 13));
    EXPECT_EQ(log, (std::vector<std::string> { "tables", "outlines" })) << "each once, the outline's own next";

    // Menus are asked once the clicked row is known.
    log.clear();
    auto click
        = Event::mouseEventWithType(EventType::RightMouseDown, cellPoint(0, 4), 0, 0, window->windowNumber(), 0, 1, 1);
    table->setMenu(Menu::create());
    EXPECT_EQ(table->menuForEvent(*click), table->menu());
    EXPECT_EQ(log, std::vector<std::string> { "tables menu 4" });
}
