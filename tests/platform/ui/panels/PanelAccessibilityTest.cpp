// The platform's panels as an assistive technology walks them: every list, field, slider and wheel has a role and a
// name, the lists have their rows, and what is set or pressed through the tree does what the mouse would.
#include "PanelsTestSupport.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/files/Paths.h"
#include "platform/graphics/FontManager.h"
#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/panels/ColorPanel.h"
#include "platform/ui/panels/FontPanel.h"
#include "platform/ui/panels/SavePanel.h"
#include "platform/ui/panels/detail/ChoiceListView.h"
#include "platform/ui/panels/detail/ColorPanelViews.h"
#include "platform/ui/panels/detail/FilePanelViews.h"
#include "platform/ui/text/TextField.h"

#include <cmath>
#include <functional>

using namespace ui;
using panelstest::PanelsTest;

namespace {

namespace A = AccessibilityAttribute;

fnd::Value attribute(const fnd::Value& element, const fnd::String& name)
{
    auto* e = accessibilityElement(element);
    return e ? accessibilityAttribute(*e, name) : fnd::Value();
}

std::string text(const fnd::Value& element, const fnd::String& name)
{
    return attribute(element, name).stringValue().utf8();
}

fnd::Array childrenOf(const fnd::Value& element)
{
    auto children = attribute(element, A::Children);
    return children.isArray() ? accessibilityUnignoredChildren(*children.array()) : fnd::Array();
}

// The name a screen reader gives: the title, else the description, else the text of the label naming it.
std::string nameOf(const fnd::Value& element)
{
    for (const auto& name : { A::Title, A::Description })
        if (auto value = text(element, name); !value.empty())
            return value;
    auto label = attribute(element, A::TitleUIElement);
    return label.isNil() ? std::string() : text(label, A::Value);
}

// The first element of the role and name in the tree below the element, depth first.
fnd::Value findIn(const fnd::Value& root, const fnd::String& role, const std::string& name)
{
    for (const auto& child : childrenOf(root)) {
        if (attribute(child, A::Role) == fnd::Value(role) && nameOf(child) == name)
            return child;
        if (auto found = findIn(child, role, name); !found.isNil())
            return found;
    }
    return {};
}

std::vector<std::string> rowNames(const fnd::Value& list)
{
    std::vector<std::string> names;
    for (const auto& row : childrenOf(list))
        names.push_back(nameOf(row));
    return names;
}

void setValue(const fnd::Value& element, const fnd::Value& value, const fnd::String& name = A::Value)
{
    auto* e = accessibilityElement(element);
    ASSERT_TRUE(e);
    ASSERT_TRUE(e->accessibilityIsAttributeSettable(name)) << name.utf8();
    e->accessibilitySetValue(value, name);
}

void perform(const fnd::Value& element, const fnd::String& action)
{
    auto* e = accessibilityElement(element);
    ASSERT_TRUE(e);
    e->accessibilityPerformAction(action);
}

class PanelAccessibilityTest : public PanelsTest { };

}

// The colour panel: its fields and sliders are named by their channels, the wheel is a group of a hue and a
// saturation slider, and the swatch tells the colour in words; values set through them choose colours.
TEST_F(PanelAccessibilityTest, ColourPanelNamesItsFieldsSlidersAndWheelAndTakesValuesThroughThem)
{
    auto panel = ColorPanel::sharedColorPanel();
    panel->setShowsAlpha(true);
    panel->setTarget(nullptr);
    panel->setMode(ColorPanelMode::RGB);
    panel->setColor(gfx::Color::colorWithCalibratedRed(1, 0, 0, 1));
    panel->orderFrontColorPanel({});
    auto root = panel->selfValue();

    for (const char* channel : { "Red", "Green", "Blue" }) {
        EXPECT_FALSE(findIn(root, AccessibilityRole::TextField, channel).isNil()) << channel << " field";
        EXPECT_FALSE(findIn(root, AccessibilityRole::Slider, channel).isNil()) << channel << " slider";
    }
    EXPECT_FALSE(findIn(root, AccessibilityRole::TextField, "Hex").isNil());
    EXPECT_FALSE(findIn(root, AccessibilityRole::Slider, "Opacity").isNil());

    // The green slider at a half: red 255, green 128 (0.5 of 255, rounded), blue 0.
    auto green = findIn(root, AccessibilityRole::Slider, "Green");
    EXPECT_EQ(attribute(green, A::MaxValue), fnd::Value(1.0));
    setValue(green, 0.5);
    EXPECT_NEAR(panel->color()->greenComponent(), 0.5, 1e-9);
    EXPECT_EQ(panel->hexField()->stringValue(), fnd::String("#FF8000"));
    // A twentieth up: 0.55.
    perform(green, AccessibilityAction::Increment);
    EXPECT_NEAR(panel->color()->greenComponent(), 0.55, 1e-9);

    auto swatch = findIn(root, AccessibilityRole::ColorWell, "Current colour");
    ASSERT_FALSE(swatch.isNil());
    // 0.55 × 100 = 55.
    EXPECT_EQ(text(swatch, A::Value), "red 100%, green 55%, blue 0%");
    EXPECT_TRUE(accessibilityElement(swatch)->accessibilityActionNames().empty()) << "the swatch is not pressed";

    // The wheel: hue in degrees, saturation in per cent. Pure red is hue 0, saturation 100.
    panel->setMode(ColorPanelMode::Wheel);
    panel->setColor(gfx::Color::colorWithCalibratedRed(1, 0, 0, 1));
    auto wheel = findIn(root, AccessibilityRole::Group, "Colour wheel");
    ASSERT_FALSE(wheel.isNil());
    ASSERT_EQ(rowNames(wheel), (std::vector<std::string> { "Hue", "Saturation" }));
    auto hue = childrenOf(wheel)[0];
    auto saturation = childrenOf(wheel)[1];
    EXPECT_EQ(attribute(hue, A::Value), fnd::Value(0.0));
    EXPECT_EQ(attribute(hue, A::MaxValue), fnd::Value(360.0));
    EXPECT_EQ(attribute(saturation, A::Value), fnd::Value(100.0));
    // Hue 120° is green; saturation one step (5 %) down leaves 95 %: rgb (0.05, 1, 0.05).
    setValue(hue, 120.0);
    perform(saturation, AccessibilityAction::Decrement);
    auto rgba = panel->color()->rgba();
    EXPECT_NEAR(rgba[0], 0.05, 0.01);
    EXPECT_NEAR(rgba[1], 1.0, 0.01);
    EXPECT_NEAR(rgba[2], 0.05, 0.01);
    EXPECT_EQ(attribute(hue, A::Value), fnd::Value(120.0));
    setValue(hue, 1e9);
    EXPECT_EQ(attribute(hue, A::Value), fnd::Value(360.0)) << "kept within the turn";
    panel->close();
}

// The font panel's three lists are named by their titles and hold the families, typefaces and sizes as rows; a row
// chosen through the tree is a choice as a click makes it.
TEST_F(PanelAccessibilityTest, FontPanelListsAreNamedListsOfRowsAndChooseThroughThem)
{
    auto& manager = gfx::FontManager::shared();
    manager.setSelectedFont(gfx::Font::fontWithName("DejaVu Sans", 12), false);
    auto panel = FontPanel::sharedFontPanel();
    panel->orderFrontFontPanel({});
    auto root = panel->selfValue();

    auto families = findIn(root, AccessibilityRole::List, "Family");
    auto faces = findIn(root, AccessibilityRole::List, "Typeface");
    auto sizes = findIn(root, AccessibilityRole::List, "Size");
    ASSERT_FALSE(families.isNil());
    ASSERT_FALSE(faces.isNil());
    ASSERT_FALSE(sizes.isNil());
    EXPECT_EQ(families.object(), panel->familyList());
    EXPECT_FALSE(findIn(root, AccessibilityRole::TextField, "Size").isNil()) << "the size field is named too";

    auto familyRows = rowNames(families);
    EXPECT_EQ(long(familyRows.size()), long(panel->familyList()->titles().size()));
    ASSERT_NE(std::ranges::find(familyRows, "DejaVu Serif"), familyRows.end());
    auto selected = attribute(families, A::SelectedChildren);
    ASSERT_TRUE(selected.isArray());
    ASSERT_EQ(selected.array()->size(), 1u);
    EXPECT_EQ(nameOf(selected.array()->front()), "DejaVu Sans");
    EXPECT_EQ(attribute(selected.array()->front(), A::Role), fnd::Value(AccessibilityRole::Row));
    // 12 is in the standard sizes, selected.
    auto sizeSelected = attribute(sizes, A::SelectedChildren);
    ASSERT_TRUE(sizeSelected.isArray() && sizeSelected.array()->size() == 1);
    EXPECT_EQ(nameOf(sizeSelected.array()->front()), "12");

    // A row's place is where the list draws it: row 0 sits at the list's top (flipped), 19 points high.
    auto& list = *panel->familyList();
    auto firstRow = childrenOf(families)[0];
    auto expected = panel->convertRectToScreen(list.convertRectToView(list.rectOfRow(0), nullptr));
    EXPECT_EQ(attribute(firstRow, A::Position).point(), expected.origin);
    EXPECT_EQ(attribute(firstRow, A::Size).size(), (gfx::Size { list.bounds().width(), 19 }));

    // Choosing "DejaVu Serif" through its row: the family list selects it and the panel lists its typefaces.
    auto serif = childrenOf(families)[std::size_t(std::ranges::find(familyRows, "DejaVu Serif") - familyRows.begin())];
    setValue(serif, true, A::Selected);
    EXPECT_EQ(list.selectedRow(), list.rowOfTitle("DejaVu Serif"));
    EXPECT_EQ(attribute(serif, A::Selected), fnd::Value(true));
    std::vector<std::string> faceTitles;
    for (const auto& title : panel->faceList()->titles())
        faceTitles.push_back(title.utf8());
    EXPECT_FALSE(faceTitles.empty());
    EXPECT_EQ(rowNames(faces), faceTitles);
    panel->close();
}

// The save panel: the name field is labelled, the files are a table "Files" of rows named by the files and described by
// their sizes and dates, the places a list named "Places", the path a group of toggle buttons; pressing a folder's
// row opens it, pressing a place or a folder of the path goes there.
TEST_F(PanelAccessibilityTest, SavePanelLabelsItsNameFieldAndListsFilesPlacesAndPath)
{
    testsupport::TemporaryFolder folder;
    folder.write("label.pdf", std::string(1500, 'x'));
    std::filesystem::create_directory(folder / "Archive");
    auto panel = SavePanel::savePanel();
    panel->setAllowedFileTypes({ "pdf" });
    panel->setDirectory(fnd::String(folder.path()));
    panel->makeKeyAndOrderFront();
    auto root = panel->selfValue();

    auto field = findIn(root, AccessibilityRole::TextField, "Save As:");
    ASSERT_FALSE(field.isNil());
    EXPECT_EQ(field.object(), panel->nameField());

    auto table = findIn(root, AccessibilityRole::Table, "Files");
    ASSERT_FALSE(table.isNil()) << "the table of files is named by what it lists";
    EXPECT_EQ(table.object(), panel->fileList());
    auto rows = childrenOf(panel->fileList()->selfValue());
    ASSERT_EQ(rowNames(panel->fileList()->selfValue()), (std::vector<std::string> { "Archive", "label.pdf" }));
    EXPECT_EQ(attribute(rows[1], A::Subrole), fnd::Value(AccessibilitySubrole::TableRow));
    // 1,500 bytes are "1.5 KB"; a folder has no size.
    EXPECT_TRUE(text(rows[1], A::Description).starts_with("1.5 KB, ")) << text(rows[1], A::Description);
    EXPECT_TRUE(text(rows[0], A::Description).starts_with("--, "));
    setValue(rows[1], true, A::Selected);
    EXPECT_EQ(panel->nameFieldStringValue(), fnd::String("label.pdf")) << "a chosen file lends its name";

    auto places = findIn(root, AccessibilityRole::List, "Places");
    ASSERT_FALSE(places.isNil());
    auto placeNames = rowNames(places);
    ASSERT_GE(placeNames.size(), 2u);
    EXPECT_EQ(placeNames.front(), "Home");
    EXPECT_EQ(placeNames.back(), "Recent");

    auto path = findIn(root, AccessibilityRole::Group, "Folder path");
    ASSERT_FALSE(path.isNil());
    auto folders = childrenOf(path);
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(nameOf(folders.back()), std::filesystem::path(folder.path()).filename().string());
    EXPECT_EQ(attribute(folders.back(), A::Value), fnd::Value(1)) << "the current folder's button is on";
    EXPECT_EQ(attribute(folders.front(), A::Value), fnd::Value(0));

    // A folder's row opens it; its path then has one more button, and the one before goes back up.
    perform(rows[0], AccessibilityAction::Press);
    EXPECT_EQ(panel->directory().utf8(), folder / "Archive");
    EXPECT_TRUE(childrenOf(panel->fileList()->selfValue()).empty());
    folders = childrenOf(path);
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(nameOf(folders.back()), "Archive");
    perform(folders[folders.size() - 2], AccessibilityAction::Press);
    EXPECT_EQ(panel->directory().utf8(), folder.path());

    perform(childrenOf(places).front(), AccessibilityAction::Press);
    EXPECT_EQ(panel->directory(), fnd::Paths::homeDirectory());
    panel->close();
}

// An alert is named by its message and described by its informative text, as a sheet and alone.
TEST_F(PanelAccessibilityTest, AlertsAreNamedByTheirMessage)
{
    auto alert = Alert::create();
    alert->setMessageText("“label.pdf” already exists. Do you want to replace it?");
    alert->setInformativeText("Replacing it will overwrite its contents.");
    alert->addButtonWithTitle("Replace");
    alert->addButtonWithTitle("Cancel");
    alert->layout();
    auto panel = alert->window()->selfValue();
    EXPECT_EQ(attribute(panel, A::Role), fnd::Value(AccessibilityRole::Window));
    EXPECT_EQ(attribute(panel, A::Subrole), fnd::Value(AccessibilitySubrole::Alert));
    EXPECT_EQ(text(panel, A::Title), "“label.pdf” already exists. Do you want to replace it?");
    EXPECT_EQ(text(panel, A::Help), "Replacing it will overwrite its contents.");

    bool checked = false;
    backend->answerNextPanel(PanelAnswer::pressing(AlertReturn::SecondButton));
    alert->beginSheetModalForWindow(window, [&](long) {});
    if (auto sheet = window->attachedSheet()) {
        checked = true;
        EXPECT_EQ(attribute(sheet->selfValue(), A::Role), fnd::Value(AccessibilityRole::Sheet));
        EXPECT_EQ(attribute(sheet->selfValue(), A::Subrole), fnd::Value(AccessibilitySubrole::Alert));
    }
    EXPECT_TRUE(checked);
    settle();
}
