// The real program read and driven through the desktop's accessibility bus, as a screen reader reads it: a client of
// AT-SPI (tests/support/atspi_probe.py, over pyatspi) walks its tree, the person types with xdotool, and the client
// chooses and presses through the tree's actions.
#include "DisplaySupport.h"
#include "support/AccessibleTree.h"

using namespace appdisplay;
using testsupport::AccessibleTree;

namespace {

class ApplicationAccessibility : public ApplicationOnDisplay {
protected:
    // The tree once the condition holds on it (the last one read when the time runs out).
    AccessibleTree treeWhen(const std::function<bool(const AccessibleTree&)>& condition, double seconds = 15)
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
    auto tree = treeWhen([](const AccessibleTree& t) { return t.find("frame", "Barcodes") != nullptr; }, 20);
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
    tree = treeWhen([](const AccessibleTree& t) { return t.find("dialog", "Save") == nullptr; });
    EXPECT_FALSE(tree.find("dialog", "Save")) << "the sheet is gone";
    EXPECT_TRUE(tree.find("frame", "Barcodes"));
}
