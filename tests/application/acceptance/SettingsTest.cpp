// Settings that come back wrong: values out of their range, a damaged size list, a damaged file. Each gives way to
// the default once, said once.
#include "AcceptanceSupport.h"

#include "application/Preferences.h"
#include "application/PreferencesKeys.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/panels/Alert.h"
#include "support/ReadOnlyFolder.h"

#include <algorithm>
#include <fstream>

using namespace acceptance;

namespace {

class Settings : public ApplicationTest {
protected:
    fnd::UserDefaults& stored() { return fnd::UserDefaults::standardUserDefaults(); }
    // Log lines of the level that name the key.
    static long linesNaming(const testsupport::CapturedLog& log, const fnd::String& key)
    {
        return std::ranges::count_if(log.lines(), [&](const auto& line) {
            return line.level == fnd::LogLevel::Warning && line.text.find(key.utf8()) != std::string::npos;
        });
    }
    // The titles of the push buttons in a view and its subviews, in order.
    static std::string buttonTitlesOf(ui::View& view)
    {
        std::string titles;
        if (auto button = dynamic_cast<ui::Button*>(&view); button && !button->title().isEmpty())
            titles += button->title().utf8();
        for (const auto& child : view.subviews()) {
            const auto inner = buttonTitlesOf(*child);
            titles += titles.empty() || inner.empty() ? inner : ", " + inner;
        }
        return titles;
    }
};

}

// A unit number no version knows would show every length as a bare "0.000": the default unit stands in.
TEST_F(Settings, AStoredUnitNoOneKnowsShowsLengthsInTheDefaultUnit)
{
    stored().setInteger(9, "ZORICLineUnitMeasurementType");
    stored().setInteger(-1, "ZORICFontUnitMeasurementType");
    restart();
    EXPECT_EQ(app().modulWidthComboBox()->stringValue().utf8(), "0.330 mm (SC 2)");
    EXPECT_EQ(app().fontHeightComboBox()->stringValue().utf8(), "10.00 pt");
    EXPECT_NE(app().barcodeWidthTextField()->stringValue().utf8().find(" mm"), std::string::npos)
        << app().barcodeWidthTextField()->stringValue().utf8();
}

// A bar height of 1e30 points, a zoom and a resolution no pop-up offers, a size list that is no archive: each reads as
// its default, and each is told in one log line however often it is read.
TEST_F(Settings, ValuesOutOfTheirRangeFallBackToTheDefaultWithOneLogLine)
{
    auto& d = stored();
    const double height = d.registrationDomain().get(DefaultBarcodeValueHeightKey).floatValue();
    d.setDouble(1e30, DefaultBarcodeValueHeightKey);
    d.setInteger(333, DefaultBarcodeZoomScaleKey);
    d.setInteger(0, LMVExportResolutionTag);
    d.setObject(fnd::Data::fromString("not an archive"), TBQBCBarcodeHeightArrayKey);
    testsupport::CapturedLog log;
    restart();
    EXPECT_EQ(barcode().height(), height);
    EXPECT_EQ(app().zoomPopupButton()->selectedTag(), 100);
    EXPECT_LT(preview().frame().height(), 1000) << "a document of a normal height";
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Preferences::barcodeHeightArray().size(), 10u);
        EXPECT_EQ(app().numberOfItemsInComboBox(*app().barcodeHeightComboBox()), 10);
    }
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    EXPECT_EQ(app().exportImageResolutionPopup()->selectedTag(), 300);
    click(*exportPanel()->cancelButton());
    for (const auto& key : { DefaultBarcodeValueHeightKey, DefaultBarcodeZoomScaleKey, LMVExportResolutionTag,
             TBQBCBarcodeHeightArrayKey })
        EXPECT_EQ(linesNaming(log, key), 1) << key.utf8();
    // Applying a height stores it, and it is read as stored.
    typeInto(*app().barcodeHeightComboBox(), u"30");
    pressReturn();
    EXPECT_NEAR(barcode().height(), 30 / 25.4 * 72, 0.01);
    EXPECT_EQ(Preferences::barcodeHeightArray().size(), 11u) << "the list, read as its default, grows by it";
}

// A file that cannot be read is moved aside (never dropped), and the person is told once where it went.
TEST_F(Settings, ADamagedSettingsFileIsToldOnceWithWhereItWent)
{
    quit();
    const std::string path = stored().filePath().utf8();
    {
        std::ofstream damaged(path, std::ios::trunc);
        damaged << "<?xml version=\"1.0\"?><plist><dict><key>";
    }
    launch();
    auto sheet = window().attachedSheet();
    ASSERT_TRUE(sheet) << "an alert tells of it";
    const auto said = textsOf(*sheet->contentView());
    EXPECT_NE(said.find("could not be read"), std::string::npos) << said;
    EXPECT_NE(said.find(path + ".damaged-"), std::string::npos) << "where it went: " << said;
    pressReturn();
    EXPECT_FALSE(window().attachedSheet());
    restart();
    EXPECT_FALSE(window().attachedSheet()) << "told once";
    // What was set aside is still there, for the person to look at.
    bool found = false;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        found = found
            || entry.path().filename().string().starts_with(
                std::filesystem::path(path).filename().string() + ".damaged-");
    EXPECT_TRUE(found);
}

// Settings that cannot be saved (here a read-only settings folder) are told once, in an alert on the window as a
// damaged file is; what is typed keeps working, and the next change that can be saved saves it all.
TEST_F(Settings, SettingsThatCannotBeSavedAreToldOnceAndSavedWhenTheyCanBe)
{
    typeInto(*app().contentTextField(), u"1");
    wait(1.5);
    ASSERT_EQ(storedDefaults().get(DefaultBarcodeContentKey), fnd::Value("1"));
    const std::string path = stored().filePath().utf8();
    {
        testsupport::ReadOnlyFolder readOnly(std::filesystem::path(path).parent_path().string());
        typeInto(*app().contentTextField(), u"4006");
        wait(1.5);
        auto sheet = window().attachedSheet();
        ASSERT_TRUE(sheet) << "an alert tells of it";
        const auto said = textsOf(*sheet->contentView());
        EXPECT_NE(said.find("could not be saved"), std::string::npos) << said;
        EXPECT_NE(said.find(path), std::string::npos) << "which file: " << said;
        pressReturn();
        EXPECT_FALSE(window().attachedSheet());
        EXPECT_EQ(barcode().content().utf8(), "4006") << "the content serves";
        typeKey(*app().contentTextField(), u'3');
        wait(1.5);
        EXPECT_FALSE(window().attachedSheet()) << "told once, not at every change";
        EXPECT_EQ(storedDefaults().get(DefaultBarcodeContentKey), fnd::Value("1"));
    }
    typeKey(*app().contentTextField(), u'8');
    wait(1.5);
    EXPECT_EQ(storedDefaults().get(DefaultBarcodeContentKey), fnd::Value("400638")) << "saved at the next change";
    EXPECT_FALSE(window().attachedSheet());
    restart();
    EXPECT_EQ(barcode().content().utf8(), "400638");
}

// Settings that cannot be saved when the person quits (a change made with the settings folder read-only, then Quit
// at once) are told before the program ends, as they are while it runs: the person may stay, put the folder right
// and quit again (then they are saved), or quit anyway. Closing the window quits too, and asks alike.
TEST_F(Settings, QuittingWithSettingsThatCannotBeSavedAsksFirstAndMayStay)
{
    typeInto(*app().contentTextField(), u"1");
    wait(1.5);
    const std::string path = stored().filePath().utf8();
    {
        testsupport::ReadOnlyFolder readOnly(std::filesystem::path(path).parent_path().string());
        typeInto(*app().contentTextField(), u"4006");
        pressKey(u'q', ui::KeyCode::Q, ui::ModifierFlags::Command);
        EXPECT_FALSE(ui::Application::shared().hasTerminated()) << "the person is asked first";
        auto sheet = window().attachedSheet();
        ASSERT_TRUE(sheet) << "an alert tells of it";
        const auto said = textsOf(*sheet->contentView());
        EXPECT_NE(said.find("could not be saved"), std::string::npos) << said;
        EXPECT_NE(said.find(path), std::string::npos) << "which file: " << said;
        EXPECT_EQ(buttonTitlesOf(*sheet->contentView()), "Don’t Quit, Quit Anyway");
        pressReturn();
        EXPECT_FALSE(window().attachedSheet());
        EXPECT_FALSE(ui::Application::shared().hasTerminated()) << "Return stays";
        wait(1.5);
        EXPECT_FALSE(window().attachedSheet()) << "told once";

        // The close button quits as well; the window comes back to a person who stays.
        backend->answerNextPanel(ui::PanelAnswer::pressing(ui::AlertReturn::FirstButton));
        window().performClose();
        wait(0.1);
        EXPECT_EQ(backend->pendingPanelAnswers(), 0u) << "asked";
        EXPECT_FALSE(ui::Application::shared().hasTerminated());
        EXPECT_TRUE(window().isVisible()) << "the window is back";
        EXPECT_EQ(barcode().content().utf8(), "4006");
    }
    // The folder put right, Quit saves and ends without a word.
    pressKey(u'q', ui::KeyCode::Q, ui::ModifierFlags::Command);
    EXPECT_TRUE(ui::Application::shared().hasTerminated());
    EXPECT_FALSE(window().attachedSheet());
    EXPECT_EQ(storedDefaults().get(DefaultBarcodeContentKey), fnd::Value("4006"));
}

// Quit Anyway ends the program without the changes that could not be saved, also when the failure was told already
// while it ran; the next start has the settings last saved.
TEST_F(Settings, QuitAnywayEndsWithoutTheUnsavedChanges)
{
    typeInto(*app().contentTextField(), u"1");
    wait(1.5);
    {
        testsupport::ReadOnlyFolder readOnly(std::filesystem::path(stored().filePath().utf8()).parent_path().string());
        typeInto(*app().contentTextField(), u"4006");
        wait(1.5);
        ASSERT_TRUE(window().attachedSheet()) << "told while running";
        pressReturn();
        backend->answerNextPanel(ui::PanelAnswer::pressing(ui::AlertReturn::SecondButton));
        pressKey(u'q', ui::KeyCode::Q, ui::ModifierFlags::Command);
        wait(0.1);
        EXPECT_EQ(backend->pendingPanelAnswers(), 0u) << "asked again at quit";
        EXPECT_TRUE(ui::Application::shared().hasTerminated());
    }
    EXPECT_EQ(storedDefaults().get(DefaultBarcodeContentKey), fnd::Value("1"));
}
