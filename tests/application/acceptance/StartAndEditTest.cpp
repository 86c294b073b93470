// Starting the application and editing a barcode through the main window's controls.
#include "AcceptanceSupport.h"

#include "application/Preferences.h"
#include "application/PreferencesKeys.h"

#include "barcodes/TBQGeneric2DBarcode.h"
#include "frameworks/FoundationExtensions/ZORNumberContainer.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/FontManager.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/panels/FontPanel.h"
#include "platform/ui/text/TextView.h"

#include <algorithm>
#include <cmath>

using namespace acceptance;

namespace {

class StartAndEdit : public ApplicationTest {
protected:
    // The preview's frame is the barcode's work area, widened by its add-on.
    void expectPreviewShowsWorkArea()
    {
        gfx::Size expected = barcode().workAreaSize();
        if (auto addOn = barcode().addOn()) {
            expected.width += addOn->workAreaSize().width;
            expected.height = std::max(expected.height, addOn->workAreaSize().height);
        }
        EXPECT_EQ(preview().frame().size, expected) << "content " << barcode().content().utf8();
        EXPECT_EQ(preview().barcode(), app().currentBarcode());
    }

    std::string infoText() { return app().contentInfoTextField()->stringValue().utf8(); }
};

}

TEST_F(StartAndEdit, AFreshStartShowsAnEmptyEAN13AtFullSizeAndWritesNothing)
{
    EXPECT_EQ(barcode().className(), fnd::String("EAN13"));
    EXPECT_EQ(app().barcodePopupButton()->titleOfSelectedItem(), barcode().barcodeName());
    EXPECT_TRUE(app().contentTextField()->stringValue().isEmpty());
    EXPECT_EQ(app().zoomPopupButton()->selectedTag(), 100);
    EXPECT_EQ(app().scaleFactor(), 1.0);
    // Module width SC 2 in millimetres with three decimals, and its preset's name.
    EXPECT_EQ(app().modulWidthComboBox()->stringValue().utf8(), "0.330 mm (SC 2)");
    EXPECT_EQ(app().barcodeHeightComboBox()->stringValue().utf8(), "26.260 mm (SC 2)");
    EXPECT_EQ(app().fontHeightComboBox()->stringValue().utf8(), "10.00 pt");
    // EAN-13 always has its check digit, and takes an add-on.
    EXPECT_FALSE(app().calculateChecksumButton()->isEnabled());
    EXPECT_TRUE(app().addOnTextField()->isEnabled());
    EXPECT_EQ(hexOf(app().barcodeColorWell()->color()), hexOf(barcode().barColor()));
    // The caption always draws black: its well shows that black, not the well's own white.
    EXPECT_EQ(hexOf(app().textColorWell()->color()), "#000000");
    expectPreviewShowsWorkArea();
    EXPECT_TRUE(app().didFinishLaunching());
    // The preview lies on the platform's light grey, two thirds white.
    auto scrollBackground = app().previewScrollView()->backgroundColor()->rgbaIfAvailable();
    ASSERT_TRUE(scrollBackground);
    EXPECT_NEAR((*scrollBackground)[0], 2.0 / 3.0, 1e-6);
    EXPECT_NEAR((*scrollBackground)[2], 2.0 / 3.0, 1e-6);

    // The 31 symbologies and 8 separators, each titled with its name.
    const auto& items = app().barcodePopupButton()->itemArray();
    ASSERT_EQ(items.size(), 39u);
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const auto& i) { return i->isSeparatorItem(); }), 8);
    EXPECT_EQ(items.back()->representedObject(), fnd::Value("DataMatrix"));

    wait(2);
    EXPECT_TRUE(storedDefaults().isEmpty()) << "starting stores no choice of the person's";
}

TEST_F(StartAndEdit, TypingUpdatesBarcodeInfoAndPreviewAtEveryKey)
{
    auto& content = *app().contentTextField();
    const std::u16string digits = u"40063813339312";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        typeKey(content, digits[i]);
        const long typed = long(i + 1);
        EXPECT_EQ(barcode().content().utf8().size(), std::size_t(typed));
        // Twelve digits at most: what is typed beyond them counts, with none left.
        const long left = std::max(0L, 12 - typed);
        EXPECT_NE(infoText().find(std::to_string(typed) + " characters \u00b7 " + std::to_string(left) + " left"),
            std::string::npos)
            << infoText();
        expectPreviewShowsWorkArea();
    }
    EXPECT_NE(infoText().find("Allowed: [0-9]"), std::string::npos) << infoText();
    EXPECT_TRUE(app().contentTextField()->currentEditor()) << "the person is still typing";
    EXPECT_EQ(barcode().caption().utf8().substr(0, 1), "4");
    // The typed content is remembered, though not at every key: once the person pauses.
    EXPECT_FALSE(storedDefaults().contains(DefaultBarcodeContentKey));
    wait(1.5);
    EXPECT_EQ(storedDefaults().get(DefaultBarcodeContentKey), fnd::Value("40063813339312"));
}

// A keystroke refreshes the form, but a control whose state stays is left alone: no redraw, no state change for
// assistive technologies. EAN-13's check digit box stays disabled, Code 39's add-on field too.
TEST_F(StartAndEdit, AKeystrokeLeavesControlsWhoseStateStaysAlone)
{
    for (const char* symbology : { "EAN-13", "Code 39" }) {
        SCOPED_TRACE(symbology);
        choose(*app().barcodePopupButton(), symbology);
        typeInto(*app().contentTextField(), u"4006");
        auto& still = symbology == std::string("EAN-13") ? static_cast<ui::Control&>(*app().calculateChecksumButton())
                                                         : static_cast<ui::Control&>(*app().addOnTextField());
        ASSERT_FALSE(still.isEnabled());
        window().displayIfNeeded();
        ASSERT_FALSE(still.needsDisplay());
        typeKey(*app().contentTextField(), u'3');
        EXPECT_EQ(barcode().content().utf8(), "40063");
        EXPECT_FALSE(still.isEnabled());
        EXPECT_FALSE(still.needsDisplay()) << "its state was changed and changed back";
    }
}

// The line under the field never promises room the symbol does not have: a QR Code holds 2953 bytes of text, so
// 3000 letters pasted are too long, with none left, and 2900 leave 53.
TEST_F(StartAndEdit, TheRoomLeftIsWhatTheSymbolHoldsOfTheContentsKind)
{
    choose(*app().barcodePopupButton(), "QR Code");
    auto paste = [&](const std::string& text) {
        auto pasteboard = ui::Pasteboard::generalPasteboard();
        pasteboard->declareTypes({ ui::PasteboardType::String });
        pasteboard->setString(fnd::String(text), ui::PasteboardType::String);
        click(*app().contentTextField());
        pressKey(u'a', ui::KeyCode::A, ui::ModifierFlags::Command);
        pressKey(u'v', ui::KeyCode::V, ui::ModifierFlags::Command);
        ASSERT_EQ(barcode().content().length(), fnd::Index(text.size()));
    };
    std::string letters;
    for (int i = 0; i < 300; ++i)
        letters += "abcdefghij";
    paste(letters);
    EXPECT_FALSE(app().canExportBarcode()) << "the preview shows that the content is too long";
    EXPECT_NE(infoText().find("3000 characters \u00b7 0 left"), std::string::npos) << infoText();
    paste(letters.substr(0, 2900));
    EXPECT_TRUE(app().canExportBarcode());
    EXPECT_NE(infoText().find("2900 characters \u00b7 53 left"), std::string::npos) << infoText();
    // Digits and capitals go in their own modes: 4296 characters are taken, whichever fits more.
    paste(std::string(4000, '7'));
    EXPECT_NE(infoText().find("4000 characters \u00b7 296 left"), std::string::npos) << infoText();
}

// Pasted content of several lines (a contact card for a QR Code) is encoded whole but the one-line field shows its
// first line: the line under the field says how many there are, and the field's tool tip shows them all.
TEST_F(StartAndEdit, PastedContentOfSeveralLinesSaysSo)
{
    choose(*app().barcodePopupButton(), "QR Code");
    const fnd::String card = "BEGIN:VCARD\nFN:Ada Lovelace\r\nTEL:+44 20 1234\nEND:VCARD";
    auto pasteboard = ui::Pasteboard::generalPasteboard();
    pasteboard->declareTypes({ ui::PasteboardType::String });
    pasteboard->setString(card, ui::PasteboardType::String);
    click(*app().contentTextField());
    pressKey(u'v', ui::KeyCode::V, ui::ModifierFlags::Command);
    ASSERT_EQ(barcode().content(), card);
    // The card needs byte mode: after its segments (437 bits), a byte segment of 20 + 8k bits holds 2898 more of the
    // largest symbol's 23648 bits.
    EXPECT_NE(infoText().find("54 characters, 4 lines \u00b7 2898 left"), std::string::npos) << infoText();
    EXPECT_EQ(app().contentTextField()->toolTip(), card);
    // One line again: no more said than the count.
    typeInto(*app().contentTextField(), u"BEGIN");
    EXPECT_EQ(infoText().find("lines"), std::string::npos) << infoText();
    EXPECT_TRUE(app().contentTextField()->toolTip().isEmpty());
}

TEST_F(StartAndEdit, AnAddOnWidensTheSymbolAndAnotherTypeForgetsIt)
{
    typeInto(*app().contentTextField(), u"400638133393");
    const double plain = preview().frame().width();
    typeInto(*app().addOnTextField(), u"12");
    ASSERT_TRUE(barcode().addOn());
    EXPECT_GT(preview().frame().width(), plain);
    expectPreviewShowsWorkArea();

    choose(*app().barcodePopupButton(), "Code 39");
    EXPECT_EQ(barcode().className(), fnd::String("Code39"));
    EXPECT_FALSE(app().addOnTextField()->isEnabled());
    choose(*app().barcodePopupButton(), "EAN-13");
    EXPECT_FALSE(barcode().addOn()) << "a type without add-on clears the remembered one";
    EXPECT_TRUE(app().addOnTextField()->stringValue().isEmpty());
    EXPECT_EQ(barcode().content().utf8(), "400638133393");
}

TEST_F(StartAndEdit, MatrixSymbologiesHideWhatTheyLack)
{
    auto hidden = [&] {
        std::vector<bool> states;
        for (const std::shared_ptr<ui::View>& v :
            std::initializer_list<std::shared_ptr<ui::View>> { app().barcodeHeightComboBox(),
                app().barcodeHeightComboBoxLabel(), app().fontHeightComboBox(), app().fontHeightComboBoxLabel(),
                app().chooseFontButton(), app().chooseFontButtonLabel(), app().drawCaptionButton() })
            states.push_back(v->isHidden());
        return states;
    };
    choose(*app().barcodePopupButton(), "QR Code");
    ASSERT_TRUE(std::dynamic_pointer_cast<TBQGeneric2DBarcode>(app().currentBarcode()));
    EXPECT_EQ(hidden(), std::vector<bool>(7, true));
    EXPECT_FALSE(app().modulWidthComboBox()->isHidden());
    choose(*app().barcodePopupButton(), "Code 128");
    EXPECT_EQ(hidden(), std::vector<bool>(7, false));
}

TEST_F(StartAndEdit, ContentAMatrixCannotHoldShowsTheErrorInsteadOfAShorterSymbol)
{
    choose(*app().barcodePopupButton(), "QR Code");
    // Pasted, as such a text would come.
    auto pasteboard = ui::Pasteboard::generalPasteboard();
    pasteboard->declareTypes({ ui::PasteboardType::String });
    pasteboard->setString(fnd::String(std::string(4297, '7')), ui::PasteboardType::String);
    click(*app().contentTextField());
    pressKey(u'v', ui::KeyCode::V, ui::ModifierFlags::Command);
    EXPECT_EQ(barcode().content().length(), 4297);
    EXPECT_NE(barcode().validatedErrorString().utf8().find("4296"), std::string::npos)
        << barcode().validatedErrorString().utf8();
    EXPECT_EQ(preview().frame(), TBQBarcodeView::DefaultFrame) << "the error is shown, not a cut symbol";

    // A linear symbology keeps its cut, which its caption shows.
    choose(*app().barcodePopupButton(), "EAN-13");
    EXPECT_TRUE(barcode().validatedErrorString().isEmpty());
    EXPECT_NE(preview().frame(), TBQBarcodeView::DefaultFrame);
}

TEST_F(StartAndEdit, ChecksFieldsAndBoxesReachTheBarcode)
{
    choose(*app().barcodePopupButton(), "Code 39");
    auto& checksum = *app().calculateChecksumButton();
    ASSERT_TRUE(checksum.isEnabled()) << "Code 39's check digit is optional";
    const bool before = barcode().calculateChecksum();
    toggle(checksum);
    EXPECT_NE(barcode().calculateChecksum(), before);

    toggle(*app().autoCalcQuietZoneButton());
    EXPECT_FALSE(barcode().calcQuietZone());
    EXPECT_EQ(barcode().quietZone(), gfx::Rect {}) << "switched off, every quiet zone is 0";
    toggle(*app().drawCaptionButton());
    EXPECT_FALSE(barcode().drawCaption());
    toggle(*app().drawBackgroundButton());
    EXPECT_FALSE(barcode().shouldDrawBackground());

    pickColour(*app().barcodeColorWell(), "#123456");
    EXPECT_EQ(hexOf(barcode().barColor()), "#123456");
    pickColour(*app().backgroundColorWell(), "#FFEE00");
    EXPECT_EQ(hexOf(barcode().backgroundColor()), "#FFEE00");

    wait(1.5);
    auto stored = storedDefaults();
    EXPECT_EQ(stored.get(DefaultBarcodeValueCalculateChecksumKey), fnd::Value(!before));
    EXPECT_EQ(stored.get(DefaultBarcodeValueAutoCalcQuietZoneKey), fnd::Value(false));
    EXPECT_EQ(stored.get(DefaultBarcodeValueDrawCaptionKey), fnd::Value(false));
    EXPECT_EQ(stored.get(DefaultBarcodeValueShouldDrawBackgroundKey), fnd::Value(false));
    EXPECT_TRUE(stored.contains(DefaultBarcodeValueBarColorKey));
    EXPECT_EQ(stored.get(DefaultBarcodeClassNameKey), fnd::Value("Code39"));
}

TEST_F(StartAndEdit, SizesComeFromTheListsOrAreTypedAndTheSymbolWidthIsRemembered)
{
    auto& moduleWidth = *app().modulWidthComboBox();
    typeInto(moduleWidth, u"0.5");
    pressReturn();
    const float half = float(0.5 / 25.4 * 72);
    EXPECT_FLOAT_EQ(float(barcode().barWidth()), half);
    EXPECT_EQ(moduleWidth.stringValue().utf8(), "0.500 mm") << "a typed size has no preset name";
    // The list gained the size, in order, with no name.
    auto list = Preferences::modulWidthArray();
    ASSERT_EQ(list.size(), 11u);
    auto added = list[7].objectAs<ZORNumberContainer>();
    ASSERT_TRUE(added);
    EXPECT_FLOAT_EQ(added->numberObject().floatValue(), half);
    EXPECT_TRUE(added->infoString().value_or("").isEmpty());

    // The data source finds typed texts among the presets, and nothing for text that is no size.
    EXPECT_EQ(app().comboBoxIndexOfItemWithStringValue(moduleWidth, "0.33 mm"), 2L);
    EXPECT_EQ(app().comboBoxIndexOfItemWithStringValue(moduleWidth, "wide"), long(fnd::NotFound));
    EXPECT_EQ(app().comboBoxIndexOfItemWithStringValue(moduleWidth, "0.34 mm"), long(fnd::NotFound));

    // The symbol width sets the module width, which the next start finds again.
    typeInto(*app().barcodeWidthTextField(), u"40 mm");
    pressReturn();
    EXPECT_NEAR(barcode().width(), 40 / 25.4 * 72, 0.01);
    wait(1.5);
    EXPECT_FLOAT_EQ(storedDefaults().get(DefaultBarcodeValueBarWidthKey).floatValue(), float(barcode().barWidth()));

    // A font size of 0 changes nothing and the field shows the real size again.
    typeInto(*app().fontHeightComboBox(), u"0");
    pressReturn();
    EXPECT_EQ(barcode().font()->pointSize(), 10);
    EXPECT_EQ(app().fontHeightComboBox()->stringValue().utf8(), "10.00 pt");
    typeInto(*app().fontHeightComboBox(), u"15");
    pressReturn();
    EXPECT_EQ(barcode().font()->pointSize(), 15);
}

TEST_F(StartAndEdit, AStoredTypeThatDoesNotExistStartsAnEAN13AndTheChecksumChoiceHolds)
{
    auto& d = fnd::UserDefaults::standardUserDefaults();
    d.setObject("NoSuchSymbology", DefaultBarcodeClassNameKey);
    d.setBool(false, DefaultBarcodeValueCalculateChecksumKey);
    restart();
    EXPECT_EQ(barcode().className(), fnd::String("EAN13"));
    EXPECT_NE(preview().frame(), TBQBarcodeView::DefaultFrame);
    // The remembered choice is applied to each new barcode whose check digit is optional.
    choose(*app().barcodePopupButton(), "Code 39");
    EXPECT_FALSE(barcode().calculateChecksum());
    EXPECT_EQ(app().calculateChecksumButton()->state(), ui::ControlStateValue::Off);
}

TEST_F(StartAndEdit, StoredSizesThatAreNoSizesGiveWayToTheDefaults)
{
    auto& d = fnd::UserDefaults::standardUserDefaults();
    const double width = d.registrationDomain().get(DefaultBarcodeValueBarWidthKey).floatValue();
    const double height = d.registrationDomain().get(DefaultBarcodeValueHeightKey).floatValue();
    for (double stored : { -5.0, 0.0, std::nan("") }) {
        d.setFloat(float(stored), DefaultBarcodeValueBarWidthKey);
        d.setFloat(float(-stored), DefaultBarcodeValueHeightKey);
        restart();
        EXPECT_EQ(barcode().barWidth(), width) << stored;
        // The height was stored as the opposite: 5 is a size and stays, 0 and -0 are not.
        EXPECT_EQ(barcode().height(), -stored > 0 ? 5.0 : height) << stored;
        EXPECT_EQ(app().modulWidthComboBox()->stringValue().utf8(), "0.330 mm (SC 2)") << stored;
    }
    // The symbol exports at its normal size.
    typeInto(*app().contentTextField(), u"590123412345");
    auto path = exportAs(ExportChoice::as(PNG).at(72).named("sized"));
    auto rep = gfx::BitmapImageRep::imageRepWithContentsOfFile(fnd::String(path));
    ASSERT_TRUE(rep);
    EXPECT_NEAR(double((*rep)->pixelsWide()), barcode().workAreaSize().width, 1.0);
    EXPECT_GT((*rep)->pixelsHigh(), 60);
}

TEST_F(StartAndEdit, TabFollowsTheFormTopToBottomAndThePreviewComesLast)
{
    // The view that has the keyboard: a field being edited has it through its field editor.
    auto focused = [&]() -> std::shared_ptr<ui::View> {
        auto first = std::dynamic_pointer_cast<ui::View>(window().firstResponder());
        if (auto editor = std::dynamic_pointer_cast<ui::TextView>(first); editor && editor->isFieldEditor())
            return first->superview();
        return first;
    };
    typeInto(*app().contentTextField(), u"1");
    std::vector<std::shared_ptr<ui::View>> stops { focused() };
    for (int i = 0; i < 30; ++i) {
        pressKey(u'\t', ui::KeyCode::Tab);
        if (focused() == stops.front())
            break;
        stops.push_back(focused());
    }
    auto indexOf = [&](const std::shared_ptr<ui::View>& view) {
        return long(std::find(stops.begin(), stops.end(), view) - stops.begin());
    };
    const std::vector<std::shared_ptr<ui::View>> form { app().contentTextField(), app().addOnTextField(),
        app().modulWidthComboBox(), app().barcodeHeightComboBox(), app().barcodeWidthTextField(),
        app().fontHeightComboBox(), app().drawBackgroundButton() };
    for (std::size_t i = 1; i < form.size(); ++i)
        EXPECT_LT(indexOf(form[i - 1]), indexOf(form[i])) << "stop " << i;
    EXPECT_EQ(indexOf(app().previewView()), indexOf(form.back()) + 1) << "the preview comes after the last control";
}

TEST_F(StartAndEdit, TheFontPanelChangesTheCaptionFont)
{
    click(*app().chooseFontButton());
    auto panel = ui::FontPanel::sharedFontPanel();
    ASSERT_TRUE(panel->isVisible()) << "Choose… opens the font panel";
    EXPECT_EQ(panel->validModes(), 7u) << "faces, sizes and collections";
    EXPECT_EQ(gfx::FontManager::shared().selectedFont(), barcode().font());
    const auto family = barcode().font()->familyName();
    typeInto(*panel->sizeField(), u"14");
    pressReturn();
    EXPECT_EQ(barcode().font()->pointSize(), 14);
    EXPECT_EQ(barcode().font()->familyName(), family);
    EXPECT_EQ(app().fontHeightComboBox()->stringValue().utf8(), "14.00 pt");
    wait(1.5);
    EXPECT_TRUE(storedDefaults().contains(DefaultBarcodeValueFontKey));
    panel->close();
}
