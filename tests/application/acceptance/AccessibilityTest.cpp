// The main window as assistive technologies read it: every control a person reaches has a name, and what is done
// through the tree (a value set, a menu choice, a button pressed) changes the barcode as the person's hands would.
#include "AcceptanceSupport.h"

#include "application/Lumvara_TessaroAppDelegate.h"
#include "application/TessaroBarcodeView.h"
#include "platform/ui/containers/ToolbarView.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/panels/SavePanel.h"
#include "platform/ui/text/TextField.h"

#include <functional>
#include <set>

using namespace acceptance;

namespace {

namespace A = ui::AccessibilityAttribute;

fnd::Value read(const fnd::Value& element, const fnd::String& attribute)
{
    auto* e = ui::accessibilityElement(element);
    return e ? ui::accessibilityAttribute(*e, attribute) : fnd::Value();
}

std::string text(const fnd::Value& value)
{
    return value.isString() ? value.string()->utf8() : std::string();
}

// What a screen reader calls the element: its title, its description, or the text of its label.
std::string nameOf(const fnd::Value& element)
{
    for (const auto& attribute : { A::Title, A::Description })
        if (auto name = text(read(element, attribute)); !name.empty())
            return name;
    auto label = read(element, A::TitleUIElement);
    return text(read(label, A::Value));
}

void walk(const fnd::Value& element, const std::function<void(const fnd::Value&)>& visit)
{
    visit(element);
    auto children = read(element, A::Children);
    if (const auto* array = children.array())
        for (const auto& child : *array)
            walk(child, visit);
}

class MainWindowAccessibility : public ApplicationTest { };

}

TEST_F(MainWindowAccessibility, EveryControlHasANameAndTheFieldsAreNamedByTheirLabels)
{
    auto w = window().selfValue();
    EXPECT_EQ(read(w, A::Role), fnd::Value("AXWindow"));
    EXPECT_EQ(read(w, A::Title), fnd::Value("Barcodes"));
    auto top = *read(w, A::Children).array();
    ASSERT_FALSE(top.empty());
    EXPECT_EQ(read(top.front(), A::Role), fnd::Value("AXToolbar")) << "the toolbar comes first";

    auto popUp = app().barcodePopupButton()->selfValue();
    EXPECT_EQ(read(popUp, A::Role), fnd::Value("AXPopUpButton"));
    EXPECT_EQ(read(popUp, A::Value), fnd::Value("EAN-13"));
    EXPECT_EQ(nameOf(popUp), "Type");
    EXPECT_EQ(nameOf(app().contentTextField()->selfValue()), "Content");
    EXPECT_EQ(nameOf(app().modulWidthComboBox()->selfValue()), "Module width");
    EXPECT_EQ(read(app().modulWidthComboBox()->selfValue(), A::Role), fnd::Value("AXComboBox"));
    EXPECT_EQ(nameOf(app().barcodeColorWell()->selfValue()), "Bars");
    EXPECT_EQ(nameOf(app().zoomPopupButton()->selfValue()), "Zoom");

    // Nothing a person can operate is left without a name.
    static const std::set<std::string> operable { "AXButton", "AXCheckBox", "AXPopUpButton", "AXTextField",
        "AXComboBox", "AXColorWell", "AXRadioButton", "AXSlider" };
    std::vector<std::string> unnamed;
    int controls = 0;
    walk(w, [&](const fnd::Value& element) {
        auto role = text(read(element, A::Role));
        if (!operable.contains(role))
            return;
        ++controls;
        if (nameOf(element).empty())
            unnamed.push_back(role + " " + element.object()->className().utf8());
    });
    EXPECT_GE(controls, 20);
    EXPECT_TRUE(unnamed.empty()) << unnamed.size() << " unnamed, the first: " << (unnamed.empty() ? "" : unnamed[0]);
}

TEST_F(MainWindowAccessibility, ValuesChoicesAndPressesThroughTheTreeChangeTheBarcode)
{
    // The content set through the field's value reaches the barcode, and the preview describes it.
    auto field = app().contentTextField();
    ASSERT_TRUE(field->accessibilityIsAttributeSettable(A::Value));
    field->accessibilitySetValue(fnd::String("400638133393"), A::Value);
    EXPECT_EQ(barcode().content(), fnd::String("400638133393"));
    EXPECT_EQ(read(preview().selfValue(), A::Role), fnd::Value("AXImage"));
    // Named by what the bars hold: the check digit 1 is encoded too.
    EXPECT_EQ(read(preview().selfValue(), A::Description), fnd::Value("EAN-13: 4006381333931"));

    // A symbology chosen through the pop-up's menu is the new barcode.
    auto menu = read(app().barcodePopupButton()->selfValue(), A::Children).array()->front();
    fnd::Value qr;
    const auto items = read(menu, A::Children);
    for (const auto& item : *items.array())
        if (read(item, A::Title) == fnd::Value("QR Code"))
            qr = item;
    ASSERT_FALSE(qr.isNil());
    ui::accessibilityElement(qr)->accessibilityPerformAction(ui::AccessibilityAction::Press);
    EXPECT_EQ(barcode().className(), fnd::String("QR"));
    EXPECT_EQ(read(app().barcodePopupButton()->selfValue(), A::Value), fnd::Value("QR Code"));
    EXPECT_TRUE(read(qr, A::Selected).boolValue());
    EXPECT_EQ(read(preview().selfValue(), A::Description), fnd::Value("QR Code: 400638133393"));

    // Code 128 leaves out the characters it has no place for ("=" here): the name says what it encodes.
    choose(*app().barcodePopupButton(), "Code 128");
    field->accessibilitySetValue(fnd::String("key=value x"), A::Value);
    ASSERT_TRUE(barcode().validatedErrorString().isEmpty());
    EXPECT_EQ(read(preview().selfValue(), A::Description), fnd::Value("Code 128: keyvalue x"));
    choose(*app().barcodePopupButton(), "QR Code");
    field->accessibilitySetValue(fnd::String("400638133393"), A::Value);

    // A check box pressed through the tree turns the background off.
    ASSERT_TRUE(barcode().shouldDrawBackground());
    app().drawBackgroundButton()->accessibilityPerformAction(ui::AccessibilityAction::Press);
    EXPECT_FALSE(barcode().shouldDrawBackground());

    // The toolbar's Export button, pressed through the tree, shows the save sheet, itself a sheet element.
    auto viewer = toolbarItemViewer(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    ASSERT_TRUE(viewer);
    EXPECT_EQ(read(viewer->selfValue(), A::Title), fnd::Value("Export"));
    viewer->accessibilityPerformAction(ui::AccessibilityAction::Press);
    auto panel = app().savePanel();
    ASSERT_TRUE(panel && panel->isSheet());
    EXPECT_EQ(read(panel->selfValue(), A::Role), fnd::Value("AXSheet"));
    EXPECT_EQ(read(panel->selfValue(), A::Parent).object().get(), &window());
    panel->cancelButton()->accessibilityPerformAction(ui::AccessibilityAction::Press);
    EXPECT_FALSE(panel->isSheet()) << "Cancel through the tree closes the sheet";
}
