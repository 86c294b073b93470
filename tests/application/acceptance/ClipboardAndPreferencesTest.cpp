// The barcode on the clipboard and in drags; units, the About window, links, menus and the toolbar.
#include "AcceptanceSupport.h"

#include "application/AboutBox.h"
#include "application/Preferences.h"
#include "application/PreferencesKeys.h"

#include "frameworks/FoundationExtensions/ZORNumberContainer.h"

#include "frameworks/FoundationExtensions/ZORApplicationMeasurementCenter.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/ToolTipManager.h"
#include "support/Canvas.h"

using namespace acceptance;

namespace {

class ClipboardAndPreferences : public ApplicationTest {
protected:
    ClipboardAndPreferences()
    {
        typeInto(*app().contentTextField(), u"400638133393");
        toggle(*app().drawBackgroundButton());
    }

    // What a pasteboard holds is the export drawing alone: one PDF page the size of the symbol, clear where the
    // barcode has no background (no checkerboard), dark on its first bar.
    void expectExportPDF(ui::Pasteboard& pasteboard)
    {
        EXPECT_EQ(pasteboard.types(), std::vector<fnd::String> { ui::PasteboardType::PDF });
        auto pdf = pasteboard.dataForType(ui::PasteboardType::PDF);
        ASSERT_TRUE(pdf);
        auto rep = gfx::PDFImageRep::imageRepWithData(*pdf);
        ASSERT_TRUE(rep);
        const gfx::Size page = (*rep)->size();
        EXPECT_NEAR(page.width, barcode().workAreaSize().width, 0.01);
        EXPECT_NEAR(page.height, barcode().workAreaSize().height, 0.01);
        Canvas canvas(int(page.width * 2), int(page.height * 2), false, page);
        (*rep)->drawInRect(canvas.context(), { {}, page }, {}, gfx::CompositingOperation::SourceOver, 1, false);
        EXPECT_EQ(canvas.alpha(2, 2), 0);
        EXPECT_EQ(canvas.alpha(6, 6), 0) << "the checkerboard's grey square would be here";
        const double firstBar = barcode().firstBarPosition() + barcode().barWidth() / 2;
        const double middle = (barcode().bottomPositionForBarIndex(0) + barcode().topPositionForBarIndex(0)) / 2;
        EXPECT_EQ(canvas.alpha(int(firstBar * 2), int(middle * 2)), 255);
    }
};

}

TEST_F(ClipboardAndPreferences, CopyTheClipboardItemAndDragsCarryThePDFAlone)
{
    auto general = ui::Pasteboard::generalPasteboard();
    general->clearContents();
    // Edit › Copy with the preview chosen.
    click(preview());
    EXPECT_EQ(window().firstResponder(), app().previewView());
    pressKey(u'c', ui::KeyCode::C, ui::ModifierFlags::Command);
    expectExportPDF(*general);

    general->clearContents();
    pressToolbarItem(Lumvara_TessaroAppDelegate::ClipboardItemIdentifier);
    expectExportPDF(*general);
    EXPECT_FALSE(preview().drawForExport()) << "the preview draws for the screen again";

    auto drag = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    drag->clearContents();
    auto start = preview().convertPointToView({ preview().bounds().midX(), preview().bounds().midY() }, nullptr);
    backend->mouseDown(window(), start);
    backend->mouseDragged(window(), { start.x + 5, start.y });
    backend->mouseDragged(window(), { start.x + 60, start.y + 30 });
    backend->mouseUp(window(), { start.x + 60, start.y + 30 });
    backend->dispatchEvents();
    expectExportPDF(*drag);
}

TEST_F(ClipboardAndPreferences, ThePreferencesSheetSetsTheUnitsLengthsAreShownIn)
{
    auto& center = ZORApplicationMeasurementCenter::informationCenter();
    pressToolbarItem(Lumvara_TessaroAppDelegate::PreferencesItemIdentifier);
    ASSERT_EQ(window().attachedSheet(), app().prefWindow());
    EXPECT_EQ(app().prefLineSizePopupButton()->numberOfItems(), 5);
    EXPECT_EQ(app().prefLineSizePopupButton()->indexOfSelectedItem(), 3) << "millimetres at first";
    // Cancelled: nothing changes.
    chooseTag(*app().prefLineSizePopupButton(), 0);
    app().prefLineSizePopupButton()->selectItemAtIndex(4);
    pressKey(0x1B, ui::KeyCode::Escape);
    EXPECT_FALSE(window().attachedSheet());
    EXPECT_EQ(center.measurementUnitTypeForDVNAppUnitType(DVNAppUnit::Line), ZORMeasurementUnit::Millimeter);

    pressToolbarItem(Lumvara_TessaroAppDelegate::PreferencesItemIdentifier);
    choose(*app().prefLineSizePopupButton(), *ZORMeasurementUnitName(ZORMeasurementUnit::Inch));
    pressReturn();
    EXPECT_FALSE(window().attachedSheet());
    EXPECT_EQ(center.measurementUnitTypeForDVNAppUnitType(DVNAppUnit::Line), ZORMeasurementUnit::Inch);
    wait(0.2);
    EXPECT_EQ(app().modulWidthComboBox()->stringValue().utf8(), "0.013 in (SC 2)");
    EXPECT_EQ(app().barcodeWidthTextField()->stringValue().utf8().substr(0, 5), "1.234") << "width in inches";
    wait(1.5);
    EXPECT_EQ(storedDefaults().get("ZORICLineUnitMeasurementType"), fnd::Value(4));

    // A preset chosen from the list is its own length, not what its three decimals of an inch say.
    auto& moduleWidth = *app().modulWidthComboBox();
    const float sc3 = Preferences::modulWidthArray()[3].objectAs<ZORNumberContainer>()->numberObject().floatValue();
    click(moduleWidth);
    pressKey(ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow);
    ASSERT_TRUE(moduleWidth.isListShown());
    while (moduleWidth.highlightedIndex() < 3)
        pressKey(ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow);
    pressReturn();
    EXPECT_EQ(moduleWidth.stringValue().utf8(), "0.014 in (SC 3)") << "shown as the preset again";
    EXPECT_FLOAT_EQ(float(barcode().barWidth()), sc3);
}

TEST_F(ClipboardAndPreferences, AboutComesFromTheMenuAndItemsWithoutAReceiverAreDisabled)
{
    auto menu = std::dynamic_pointer_cast<ui::Menu>(ui::Application::shared().mainMenu());
    ASSERT_TRUE(menu);
    auto appMenu = menu->itemAtIndex(0)->submenu();
    auto perform = [&](const char* action) {
        const long index = appMenu->indexOfItemWithTarget(app().shared_from_this().get(), fnd::Selector(action));
        ASSERT_GE(index, 0) << action;
        EXPECT_TRUE(appMenu->performActionForItemAtIndex(index)) << action;
    };
    perform("showAboutBox:");
    auto about = app().aboutBox();
    ASSERT_TRUE(about);
    auto aboutWindow = about->window();
    ASSERT_TRUE(aboutWindow && aboutWindow->isVisible());
    EXPECT_EQ(about->versionString()->stringValue().utf8(), "Barcodes 1.0 (1)");
    EXPECT_FALSE(about->copyrightString()->stringValue().isEmpty());
    // Again: the same window, centred again.
    aboutWindow->setFrameOrigin({ 5, 5 });
    perform("showAboutBox:");
    EXPECT_EQ(app().aboutBox()->window(), aboutWindow);
    EXPECT_NE(aboutWindow->frame().origin, (gfx::Point { 5, 5 }));
    pressReturn();
    EXPECT_FALSE(aboutWindow->isVisible()) << "Close";

    // The shipped application names no feedback receiver and has no web page: those items are disabled.
    appMenu->update();
    for (const char* action : { "showSendFeedbackDialog:", "visitURL:" }) {
        const long index = appMenu->indexOfItemWithTarget(app().shared_from_this().get(), fnd::Selector(action));
        ASSERT_GE(index, 0) << action;
        EXPECT_FALSE(appMenu->itemAtIndex(index)->isEnabled()) << action;
    }

    // Quit ends the application and keeps what was typed.
    const long quit = appMenu->indexOfItemWithTarget(app().shared_from_this().get(), fnd::Selector("terminate:"));
    ASSERT_GE(quit, 0);
    appMenu->performActionForItemAtIndex(quit);
    EXPECT_TRUE(ui::Application::shared().hasTerminated());
    EXPECT_EQ(storedDefaults().get(DefaultBarcodeContentKey), fnd::Value("400638133393"));
}

TEST_F(ClipboardAndPreferences, TheToolbarItemsTellWhatTheyDoWhenThePointerRestsOnThem)
{
    auto tipOf = [&](const fnd::String& identifier) {
        auto viewer = toolbarItemViewer(identifier);
        if (!viewer)
            return std::string("no item ") + identifier.utf8();
        pointAt(*viewer);
        wait(ui::ToolTipManager::InitialDelay + 0.2);
        auto text = ui::ToolTipManager::shared().shownText().utf8();
        pointAway(*viewer);
        wait(2);
        return text;
    };
    EXPECT_EQ(tipOf("Export"), "Save the barcode as a PDF, EPS or image file");
    EXPECT_EQ(tipOf("Clipboard"), "Copy the barcode to the clipboard as PDF");
}

TEST_F(ClipboardAndPreferences, TheToolbarCanBeArrangedAndKeepsItsArrangement)
{
    auto toolbar = std::dynamic_pointer_cast<ui::Toolbar>(window().toolbar());
    ASSERT_TRUE(toolbar);
    using namespace ui::ToolbarItemIdentifier;
    EXPECT_EQ(toolbar->itemIdentifiers(),
        (std::vector<fnd::String> {
            "Export", "Clipboard", FlexibleSpace, ShowFonts, ShowColors, FlexibleSpace, "Preferences" }));
    EXPECT_TRUE(toolbar->allowsUserCustomization());
    for (const auto& item : toolbar->items())
        EXPECT_TRUE(item->isSpace() || item->image()) << item->itemIdentifier().utf8() << " has its picture";
    toolbar->removeItemAtIndex(1);
    restart();
    toolbar = std::dynamic_pointer_cast<ui::Toolbar>(window().toolbar());
    EXPECT_EQ(toolbar->itemIdentifiers().size(), 6u);
    EXPECT_EQ(toolbar->itemIdentifiers()[1], FlexibleSpace);
}
