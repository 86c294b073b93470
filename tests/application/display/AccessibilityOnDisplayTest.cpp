// The real program read and driven through the desktop's accessibility bus, as a screen reader reads it: a client of
// AT-SPI (tests/support/atspi_probe.py, over pyatspi) walks its tree, the person types with xdotool, and the client
// chooses and presses through the tree's actions.
#include "DisplaySupport.h"
#include "support/AccessibleTree.h"

#include <fstream>

using namespace appdisplay;
using testsupport::AccessibleTree;

namespace {

class ApplicationAccessibility : public ApplicationOnDisplay {
protected:
    // The tree once the condition holds on it (the last one read when the time runs out).
    AccessibleTree treeWhen(
        const std::function<bool(const AccessibleTree&)>& condition, double seconds = testsupport::WaitSeconds)
    {
        AccessibleTree tree;
        waitFor(
            [&] {
                tree = AccessibleTree::read("Barcodes");
                return condition(tree);
            },
            seconds);
        return tree;
    }
};

}

TEST_F(ApplicationAccessibility, WindowPopUpFieldAndExportButtonReadAndActThroughTheBus)
{
    start();
    auto tree = treeWhen([](const AccessibleTree& t) { return t.find("frame", "Barcodes") != nullptr; });
    ASSERT_TRUE(tree.find("frame", "Barcodes")) << "the main window on the bus:\n" << tree.text();
    EXPECT_EQ(tree.nodes().front().role, "application");
    EXPECT_TRUE(tree.find("frame", "Barcodes")->has("showing"));

    // The symbology pop-up, named by its label, shows the selected name; its menu holds that name selected.
    const auto* popUp = tree.find("combo box", "Type");
    ASSERT_TRUE(popUp) << tree.text();
    EXPECT_EQ(popUp->text, "EAN-13");
    const auto* selected
        = tree.findIn(*popUp, [](const auto& n) { return n.role == "menu item" && n.has("selected"); });
    ASSERT_TRUE(selected);
    EXPECT_EQ(selected->name, "EAN-13");

    // The content field, named by its label, takes typing and tells the new text; the preview's image says what it
    // holds.
    const auto* field = tree.find("entry", "Content");
    ASSERT_TRUE(field) << tree.text();
    EXPECT_EQ(field->text, "");
    EXPECT_TRUE(field->has("editable"));
    clickAt(field->x + field->width / 2, field->y + field->height / 2);
    xdotool("type --delay 30 400638133393");
    tree = treeWhen([](const AccessibleTree& t) {
        const auto* f = t.find("entry", "Content");
        return f && f->text == "400638133393";
    });
    ASSERT_TRUE(tree.find("entry", "Content"));
    EXPECT_EQ(tree.find("entry", "Content")->text, "400638133393") << tree.text();
    EXPECT_TRUE(tree.find("entry", "Content")->has("focused"));
    // Named by what the bars hold, the check digit 1 included.
    EXPECT_TRUE(tree.find("image", "EAN-13: 4006381333931")) << tree.text();

    // A choice made through the pop-up's menu changes the barcode.
    EXPECT_EQ(AccessibleTree::act("Barcodes", "menu item", "QR Code", "click"), 0);
    tree = treeWhen([](const AccessibleTree& t) {
        const auto* p = t.find("combo box", "Type");
        return p && p->text == "QR Code";
    });
    EXPECT_EQ(tree.find("combo box", "Type")->text, "QR Code");
    EXPECT_TRUE(tree.find("image", "QR Code: 400638133393")) << tree.text();

    // The toolbar's export button is pressed through its action: the save sheet comes, and goes with Cancel.
    const auto* toolbar = tree.find("tool bar", "");
    ASSERT_TRUE(toolbar);
    const auto* exportButton = tree.findIn(*toolbar, [](const auto& n) { return n.name == "Export"; });
    ASSERT_TRUE(exportButton);
    EXPECT_EQ(exportButton->role, "push button");
    EXPECT_EQ(exportButton->actions, std::vector<std::string> { "click" });
    EXPECT_EQ(AccessibleTree::act("Barcodes", "push button", "Export", "click"), 0);
    tree = treeWhen([](const AccessibleTree& t) { return t.find("dialog", "Save") != nullptr; });
    ASSERT_TRUE(tree.find("dialog", "Save")) << tree.text();
    EXPECT_TRUE(tree.find("dialog", "Save")->has("modal"));
    EXPECT_EQ(AccessibleTree::act("Barcodes", "push button", "Cancel", "click"), 0);
    // A tree that was read, with the window in it: a read that found no program holds no sheet either.
    tree = treeWhen([](const AccessibleTree& t) { return t.find("frame", "Barcodes") && !t.find("dialog", "Save"); });
    EXPECT_FALSE(tree.find("dialog", "Save")) << "the sheet is gone";
    EXPECT_TRUE(tree.find("frame", "Barcodes"));
}

// The menu bar lies in the main window with its menus and items, and F10 tells a screen reader which item has the
// keyboard: the focus and selection move to the first item of the first menu, and back to the field on Escape.
TEST_F(ApplicationAccessibility, TheMenuBarIsFoundAndF10IsHeard)
{
    start();
    auto tree = treeWhen([](const AccessibleTree& t) { return t.find("menu bar", "") != nullptr; });
    const auto* bar = tree.find("menu bar", "");
    ASSERT_TRUE(bar) << tree.text();
    const auto* frame = tree.find("frame", "Barcodes");
    ASSERT_TRUE(frame);
    EXPECT_EQ(tree.childrenOf(*frame).front(), bar) << "the bar is the window's first child";
    EXPECT_TRUE(bar->has("showing"));
    EXPECT_EQ(bar->y + bar->height, frame->y) << "right above the content";
    std::vector<std::string> menus;
    for (const auto* menu : tree.childrenOf(*bar))
        menus.push_back(menu->role + ":" + menu->name);
    EXPECT_EQ(
        menus, (std::vector<std::string> { "menu:Barcodes", "menu:File", "menu:Edit", "menu:Format", "menu:View" }));
    // Validated while a screen reader listens, before any menu opens: Export works, Cut has nothing to cut.
    auto item = [](const AccessibleTree& t, const char* menu, const char* name) -> const testsupport::AccessibleNode* {
        const auto* m = t.find("menu", menu);
        return m ? t.findIn(*m, [&](const auto& n) { return n.name == name; }) : nullptr;
    };
    tree = treeWhen([&](const AccessibleTree& t) {
        const auto* e = item(t, "File", "Export…");
        return e && e->has("enabled");
    });
    bar = tree.find("menu bar", "");
    frame = tree.find("frame", "Barcodes");
    ASSERT_TRUE(bar && frame);
    const auto* exportItem = item(tree, "File", "Export…");
    ASSERT_TRUE(exportItem);
    EXPECT_TRUE(exportItem->has("enabled"));
    ASSERT_TRUE(item(tree, "Edit", "Cut"));
    EXPECT_FALSE(item(tree, "Edit", "Cut")->has("enabled"));
    EXPECT_EQ(exportItem->role, "menu item");
    EXPECT_EQ(exportItem->actions, std::vector<std::string> { "click" });
    EXPECT_TRUE(tree.findIn(*tree.find("menu", "Barcodes"), [](const auto& n) { return n.name == "Preferences…"; }));

    // The keyboard in the content field, then F10 and Escape twice.
    const auto* field = tree.find("entry", "Content");
    ASSERT_TRUE(field);
    clickAt(field->x + field->width / 2, field->y + field->height / 2);
    ASSERT_TRUE(treeWhen([](const AccessibleTree& t) {
        const auto* f = t.find("entry", "Content");
        return f && f->has("focused");
    }).find("entry", "Content"));
    // Escape once the menu has the keyboard, and heard until the field has it again.
    auto events = AccessibleTree::events("Barcodes",
        { { "xdotool key F10", "object:state-changed:focused|1|menu item|About Barcodes" },
            { "xdotool key Escape Escape", "object:state-changed:focused|1|entry|Content" } });
    std::string heard;
    for (const auto& event : events)
        heard += event + "\n";
    EXPECT_TRUE(AccessibleTree::heard(events, "object:state-changed:focused|1|menu item|About Barcodes")) << heard;
    EXPECT_TRUE(AccessibleTree::heard(events, "object:state-changed:selected|1|menu item|About Barcodes")) << heard;
    EXPECT_TRUE(AccessibleTree::heard(events, "object:state-changed:selected|1|menu|Barcodes")) << heard;
    EXPECT_TRUE(AccessibleTree::heard(events, "object:state-changed:showing|1|menu item|Quit")) << heard;
    EXPECT_TRUE(AccessibleTree::heard(events, "object:state-changed:focused|0|menu item|About Barcodes")) << heard;
    EXPECT_TRUE(AccessibleTree::heard(events, "object:state-changed:focused|1|entry|Content"))
        << "the keyboard is back in the field:\n"
        << heard;
}

// Content the symbology refuses is told on the field a person types in: it turns invalid (heard as it happens) and
// is described by the preview, which says why, and by the hint under the field.
TEST_F(ApplicationAccessibility, AnInvalidContentIsToldOnTheField)
{
    start();
    auto tree = treeWhen([](const AccessibleTree& t) { return t.find("entry", "Content") != nullptr; });
    EXPECT_EQ(AccessibleTree::act("Barcodes", "menu item", "Codabar", "click"), 0);
    tree = treeWhen([](const AccessibleTree& t) {
        const auto* p = t.find("combo box", "Type");
        return p && p->text == "Codabar";
    });
    const auto* field = tree.find("entry", "Content");
    ASSERT_TRUE(field);
    EXPECT_FALSE(field->has("invalid entry")) << "nothing typed yet";
    clickAt(field->x + field->width / 2, field->y + field->height / 2);
    auto events = AccessibleTree::events(
        "Barcodes", { { "xdotool type --delay 60 40156", "object:state-changed:invalid-entry|1|entry|Content" } });
    EXPECT_TRUE(AccessibleTree::heard(events, "object:state-changed:invalid-entry|1|entry|Content"));
    tree = treeWhen([](const AccessibleTree& t) {
        const auto* f = t.find("entry", "Content");
        return f && f->text == "40156";
    });
    field = tree.find("entry", "Content");
    ASSERT_TRUE(field);
    EXPECT_TRUE(field->has("invalid entry"));
    EXPECT_TRUE(field->description.starts_with("Codabar content must begin and end with one of the start and stop "
                                               "characters A, B, C or D"))
        << field->description;
    EXPECT_NE(field->description.find("Allowed: [0-9ABCD-$:/.+]"), std::string::npos) << field->description;
    ASSERT_EQ(field->relations.size(), 3u) << tree.text();
    EXPECT_EQ(field->relations[0], "labelled by:label/Content");
    EXPECT_TRUE(field->relations[1].starts_with("described by:image/Codabar content must begin"))
        << field->relations[1];
    EXPECT_TRUE(field->relations[2].starts_with("described by:label/Allowed:")) << field->relations[2];
}

// The colour wells tell their colours; the Fonts panel's lists hold their rows; the save sheet's name field is
// labelled and its files (in a named table), places and path are listed; the alert that asks before replacing a file is
// named by its question.
TEST_F(ApplicationAccessibility, ColourWellsFontListsTheSaveSheetAndAnAlertReadThroughTheBus)
{
    // What the save sheet lists: the program's home, with a file of the name it proposes.
    std::filesystem::create_directories(home / "labels");
    std::ofstream(home / "EAN-13.pdf") << "%PDF";
    start();
    auto tree = treeWhen([](const AccessibleTree& t) { return t.find("push button", "Bars") != nullptr; });
    const auto* bars = tree.find("push button", "Bars");
    ASSERT_TRUE(bars) << tree.text();
    EXPECT_EQ(bars->valueText, "red 0%, green 0%, blue 0%");
    EXPECT_EQ(bars->text, "red 0%, green 0%, blue 0%");
    ASSERT_TRUE(tree.find("push button", "Background"));
    EXPECT_EQ(tree.find("push button", "Background")->valueText, "red 100%, green 100%, blue 100%");

    EXPECT_EQ(AccessibleTree::act("Barcodes", "push button", "Fonts", "click"), 0);
    tree = treeWhen([](const AccessibleTree& t) { return t.find("list", "Family") != nullptr; });
    const auto* families = tree.find("list", "Family");
    ASSERT_TRUE(families) << tree.text();
    auto rows = tree.childrenOf(*families);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0]->role, "list item");
    EXPECT_FALSE(rows[0]->name.empty());
    EXPECT_TRUE(tree.findIn(*families, [](const auto& n) { return n.has("selected"); })) << "the caption's family";
    EXPECT_TRUE(tree.find("list", "Typeface"));
    ASSERT_TRUE(tree.find("list", "Size"));
    EXPECT_TRUE(tree.findIn(*tree.find("list", "Size"), [](const auto& n) { return n.name == "12"; }));

    EXPECT_EQ(AccessibleTree::act("Barcodes", "push button", "Export", "click"), 0);
    tree = treeWhen([](const AccessibleTree& t) { return t.find("table row", "EAN-13.pdf") != nullptr; });
    ASSERT_TRUE(tree.find("dialog", "Save")) << tree.text();
    const auto* name = tree.find("entry", "Save As");
    ASSERT_TRUE(name) << tree.text();
    EXPECT_EQ(name->text, "EAN-13.pdf");
    EXPECT_EQ(name->relations, std::vector<std::string> { "labelled by:label/Save As:" });
    const auto* file = tree.find("table row", "EAN-13.pdf");
    ASSERT_TRUE(file);
    // The table of files is named by what it lists.
    const auto* files = tree.find("table", "Files");
    ASSERT_TRUE(files) << tree.text();
    EXPECT_TRUE(tree.findIn(*files, [](const auto& n) { return n.name == "EAN-13.pdf"; }));
    EXPECT_TRUE(file->description.starts_with("4 bytes, ")) << file->description;
    EXPECT_TRUE(tree.find("table row", "labels"));
    const auto* places = tree.find("list", "Places");
    ASSERT_TRUE(places);
    EXPECT_EQ(tree.childrenOf(*places).front()->name, "Home");
    EXPECT_TRUE(tree.childrenOf(*places).front()->has("selected"));
    const auto* path = tree.find("panel", "Folder path");
    ASSERT_TRUE(path);
    EXPECT_EQ(tree.childrenOf(*path).back()->name, home.filename().string());
    EXPECT_TRUE(tree.childrenOf(*path).back()->has("checked"));

    // Saving over the file asks first, in an alert named by its question.
    EXPECT_EQ(AccessibleTree::act("Barcodes", "push button", "Save", "click"), 0);
    tree = treeWhen([](const AccessibleTree& t) {
        return std::ranges::any_of(t.nodes(), [](const auto& n) { return n.role == "alert"; });
    });
    auto alert = std::ranges::find_if(tree.nodes(), [](const auto& n) { return n.role == "alert"; });
    ASSERT_NE(alert, tree.nodes().end()) << tree.text();
    EXPECT_EQ(alert->name, "“EAN-13.pdf” already exists. Do you want to replace it?");
    EXPECT_TRUE(tree.findIn(*alert, [](const auto& n) { return n.role == "push button" && n.name == "Replace"; }));
}
