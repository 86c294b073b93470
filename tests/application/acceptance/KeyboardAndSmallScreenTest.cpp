// The application from the keyboard alone and on a small screen: the menus' items and shortcuts, F6, the size
// fields when a length is taken back or mistyped, the form closing up, and export sheets that leave nothing behind.
#include "AcceptanceSupport.h"

#include "application/PreferencesKeys.h"

#include "frameworks/FoundationExtensions/ZORApplicationMeasurementCenter.h"
#include "frameworks/ZORAppKit/ZORScrollView/ZORScrollView.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/panels/ColorPanel.h"
#include "platform/ui/panels/FontPanel.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"

using namespace acceptance;

namespace {

class KeyboardAndSmallScreen : public ApplicationTest {
protected:
    // The view that has the keyboard (a field for its editor).
    std::shared_ptr<ui::View> focused(ui::Window& w)
    {
        auto first = std::dynamic_pointer_cast<ui::View>(w.firstResponder());
        if (auto editor = std::dynamic_pointer_cast<ui::TextView>(first); editor && editor->isFieldEditor())
            return first->superview();
        return first;
    }
    std::shared_ptr<ui::TextView> editorOf(ui::TextField& field)
    {
        return std::dynamic_pointer_cast<ui::TextView>(field.currentEditor());
    }
    void escape() { pressKey(0x1B, ui::KeyCode::Escape); }
};

}

TEST_F(KeyboardAndSmallScreen, EveryActionHasAMenuItemWithTheDesktopsShortcut)
{
    struct Expected {
        const char* action;
        const char* key;
    };
    for (const auto& e :
        { Expected { "export:", "e" }, Expected { "showPreferences:", "," }, Expected { "orderFrontFontPanel:", "t" },
            Expected { "orderFrontColorPanel:", "C" }, Expected { "copy:", "c" }, Expected { "terminate:", "q" } }) {
        auto item = menuItemFor(e.action);
        ASSERT_TRUE(item) << e.action;
        EXPECT_EQ(item->keyEquivalent().utf8(), e.key) << e.action;
        EXPECT_EQ(item->keyEquivalentModifierMask(), ui::ModifierFlags::Command) << e.action;
    }

    // Ctrl+E: the export sheet, which Escape closes.
    pressKey(u'e', ui::KeyCode::E, ui::ModifierFlags::Command);
    ASSERT_TRUE(exportPanel()) << "Ctrl+E exports";
    EXPECT_EQ(window().attachedSheet().get(), exportPanel());
    escape();
    EXPECT_FALSE(window().attachedSheet());

    // Ctrl+comma: the preferences sheet, which Escape cancels.
    pressKey(u',', ui::KeyCode::Comma, ui::ModifierFlags::Command);
    EXPECT_EQ(window().attachedSheet(), app().prefWindow());
    escape();
    EXPECT_FALSE(window().attachedSheet());

    // Ctrl+T and Ctrl+Shift+C: the panels, each taking the keyboard; Escape and Ctrl+W close them.
    pressKey(u't', ui::KeyCode::T, ui::ModifierFlags::Command);
    auto fonts = ui::FontPanel::sharedFontPanel();
    EXPECT_TRUE(fonts->isVisible());
    EXPECT_TRUE(fonts->isKeyWindow());
    escape();
    EXPECT_FALSE(fonts->isVisible());
    backend->keyDown(window(), u"C", ui::KeyCode::C, ui::ModifierFlags::Command | ui::ModifierFlags::Shift, u"C");
    backend->dispatchEvents();
    auto colours = ui::ColorPanel::sharedColorPanel();
    EXPECT_TRUE(colours->isVisible());
    EXPECT_TRUE(colours->isKeyWindow());
    pressKey(u'w', ui::KeyCode::W, ui::ModifierFlags::Command);
    EXPECT_FALSE(colours->isVisible());
}

TEST_F(KeyboardAndSmallScreen, CtrlCCopiesTheBarcodeWhenNoTextIsSelected)
{
    typeInto(*app().contentTextField(), u"400638133393");
    // The caret at the end, nothing selected.
    pressKey(ui::FunctionKey::End, ui::KeyCode::End);
    ASSERT_TRUE(editorOf(*app().contentTextField()));
    ASSERT_EQ(editorOf(*app().contentTextField())->selectedRange().length, 0u);
    auto pasteboard = ui::Pasteboard::generalPasteboard();
    pasteboard->clearContents();
    pressKey(u'c', ui::KeyCode::C, ui::ModifierFlags::Command);
    auto types = pasteboard->types();
    EXPECT_NE(std::ranges::find(types, ui::PasteboardType::PDF), types.end()) << "the barcode as PDF";

    // With the content selected, Ctrl+C copies the text.
    pressKey(u'a', ui::KeyCode::A, ui::ModifierFlags::Command);
    pressKey(u'c', ui::KeyCode::C, ui::ModifierFlags::Command);
    EXPECT_EQ(pasteboard->stringForType(ui::PasteboardType::String).value_or(fnd::String()).utf8(), "400638133393");
}

TEST_F(KeyboardAndSmallScreen, F6GoesFromTheFormToThePreviewToTheToolbarAndRound)
{
    typeInto(*app().contentTextField(), u"1");
    pressKey(char16_t(ui::FunctionKey::F1 + 5), 0x61);
    EXPECT_EQ(focused(window()), app().previewView());
    pressKey(char16_t(ui::FunctionKey::F1 + 5), 0x61);
    auto exportItem = toolbarItemViewer(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    EXPECT_EQ(focused(window()), exportItem) << "the toolbar's first button";
    // Right goes to the next button, Space presses it: Clipboard copies.
    pressKey(ui::FunctionKey::RightArrow, ui::KeyCode::RightArrow);
    EXPECT_EQ(focused(window()), toolbarItemViewer(Lumvara_TessaroAppDelegate::ClipboardItemIdentifier));
    pressKey(ui::FunctionKey::LeftArrow, ui::KeyCode::LeftArrow);
    pressKey(u' ', ui::KeyCode::Space);
    EXPECT_TRUE(exportPanel()) << "Space pressed Export";
    escape();
    pressKey(char16_t(ui::FunctionKey::F1 + 5), 0x61);
    EXPECT_EQ(focused(window()), app().barcodePopupButton()) << "back to the top of the form";
    // A click on a toolbar button leaves the keyboard where it was.
    typeInto(*app().contentTextField(), u"2");
    pressToolbarItem(Lumvara_TessaroAppDelegate::ClipboardItemIdentifier);
    EXPECT_EQ(focused(window()), app().contentTextField());
}

TEST_F(KeyboardAndSmallScreen, ASizeFieldNeverShowsALengthTheBarcodeDoesNotUse)
{
    auto& field = *app().modulWidthComboBox();
    const auto width = barcode().barWidth();
    click(field);
    ASSERT_TRUE(editorOf(field));
    const auto shown = editorOf(field)->string();
    // The arrows browse the list; Escape takes the browsing back.
    pressKey(ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow);
    pressKey(ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow);
    pressKey(ui::FunctionKey::DownArrow, ui::KeyCode::DownArrow);
    ASSERT_NE(editorOf(field)->string(), shown) << "browsing shows another entry";
    escape();
    EXPECT_EQ(editorOf(field)->string(), shown);
    EXPECT_EQ(barcode().barWidth(), width);

    // Typed and taken back with Escape.
    typeInto(field, u"0.5");
    escape();
    EXPECT_EQ(editorOf(field)->string(), shown);

    // Text that is no length: a beep, the field shows the width in use, which stays.
    for (const auto* text : { u"abc", u"1e-9" }) {
        const int beeps = backend->beepCount();
        typeInto(field, text);
        pressReturn();
        EXPECT_EQ(backend->beepCount(), beeps + 1) << "refused aloud";
        EXPECT_EQ(barcode().barWidth(), width);
        EXPECT_EQ(field.currentEditor() ? editorOf(field)->string() : field.stringValue(), shown);
    }
}

TEST_F(KeyboardAndSmallScreen, AFieldBeingEditedShowsItsLengthInTheNewUnit)
{
    auto& field = *app().barcodeWidthTextField();
    click(field);
    ASSERT_TRUE(editorOf(field));
    EXPECT_NE(editorOf(field)->string().utf8().find("mm"), std::string::npos) << editorOf(field)->string().utf8();
    ZORApplicationMeasurementCenter::informationCenter().setMeasurementUnitType(
        ZORMeasurementUnit::Inch, DVNAppUnit::Line);
    wait(0.2);
    ASSERT_TRUE(editorOf(field));
    const auto text = editorOf(field)->string().utf8();
    EXPECT_NE(text.find("in"), std::string::npos) << text;
    // Return takes it as it now reads: the width does not change.
    const auto width = barcode().width();
    pressReturn();
    EXPECT_NEAR(barcode().width(), width, 0.01);
    ZORApplicationMeasurementCenter::informationCenter().setMeasurementUnitType(
        ZORMeasurementUnit::Millimeter, DVNAppUnit::Line);
}

TEST_F(KeyboardAndSmallScreen, TheFormClosesUpAroundTheRowsAMatrixSymbolHides)
{
    // From the layout: the bar height row (32 points to the next row) and the caption's heading, font, size and
    // check box (121 points from the heading's top to the colours' heading) go.
    const double symbolWidthY = app().barcodeWidthTextField()->frame().minY();
    const double backgroundY = app().drawBackgroundButton()->frame().minY();
    choose(*app().barcodePopupButton(), "QR Code");
    EXPECT_EQ(app().barcodeWidthTextField()->frame().minY(), symbolWidthY + 32);
    EXPECT_EQ(app().drawBackgroundButton()->frame().minY(), backgroundY + 32 + 121);
    choose(*app().barcodePopupButton(), "Code 128");
    EXPECT_EQ(app().barcodeWidthTextField()->frame().minY(), symbolWidthY);
    EXPECT_EQ(app().drawBackgroundButton()->frame().minY(), backgroundY);
    // The window fits a 768-point screen with a title bar and a desktop's top bar.
    EXPECT_LE(window().minSize().height + 37 + 32, 768);
}

// A tiling window manager gives the window less room than its minimum (down to nothing); grown again, its layout is
// the one a window opened at that size has, at any zoom: the preview fits the window, with its scroll bars and
// zoom pop-up inside it.
TEST_F(KeyboardAndSmallScreen, TheLayoutComesBackFromASizeBelowTheMinimum)
{
    struct Placed {
        std::string path;
        gfx::Rect frame;
        gfx::Rect bounds;
        bool hidden;
    };
    std::function<void(ui::View&, const std::string&, std::vector<Placed>&)> collect
        = [&](ui::View& view, const std::string& path, std::vector<Placed>& out) {
              out.push_back({ path + view.className().utf8(), view.frame(), view.bounds(), view.isHidden() });
              long i = 0;
              for (const auto& sub : view.subviews())
                  collect(*sub, path + view.className().utf8() + "/" + std::to_string(i++) + "/", out);
          };
    auto layout = [&] {
        std::vector<Placed> out;
        collect(*window().contentView(), "", out);
        return out;
    };
    auto describe = [](const Placed& p) {
        return p.path + " " + gfx::stringFromRect(p.frame).utf8() + " " + gfx::stringFromRect(p.bounds).utf8();
    };
    auto near = [](gfx::Rect a, gfx::Rect b) {
        return std::abs(a.minX() - b.minX()) < 1e-6 && std::abs(a.minY() - b.minY()) < 1e-6
            && std::abs(a.width() - b.width()) < 1e-6 && std::abs(a.height() - b.height()) < 1e-6;
    };

    for (long zoom : { 100, 200, 50 }) {
        SCOPED_TRACE(zoom);
        chooseTag(*app().zoomPopupButton(), zoom);
        typeInto(*app().contentTextField(), u"400638133393");
        // A window that opens at the size compared with.
        restart();
        const gfx::Rect opened = window().frame();
        const gfx::Rect wide { opened.origin, { opened.width() + 140, opened.height() + 60 } };
        window().setFrame(wide, true);
        wait(0.1);
        const auto fresh = layout();
        const auto preview = app().previewScrollView()->frame();
        ASSERT_LE(preview.maxX(), window().contentView()->bounds().maxX());

        for (gfx::Size small :
            { gfx::Size { opened.width() - 400, opened.height() }, gfx::Size { 250, 300 }, gfx::Size { 1, 1 } }) {
            SCOPED_TRACE(gfx::stringFromSize(small).utf8());
            window().setFrame({ opened.origin, small }, true);
            wait(0.1);
            window().setFrame(wide, true);
            wait(0.1);
            const auto after = layout();
            ASSERT_EQ(after.size(), fresh.size());
            for (std::size_t i = 0; i < fresh.size(); ++i) {
                EXPECT_EQ(after[i].path, fresh[i].path);
                EXPECT_TRUE(near(after[i].frame, fresh[i].frame) && near(after[i].bounds, fresh[i].bounds))
                    << "now " << describe(after[i]) << "\nfresh " << describe(fresh[i]);
                EXPECT_EQ(after[i].hidden, fresh[i].hidden) << describe(after[i]);
            }
            EXPECT_EQ(app().scaleFactor(), zoom / 100.0);
        }
    }
}

TEST_F(KeyboardAndSmallScreen, ExportSheetsOpenedAndCancelledLeaveNoWindowBehind)
{
    // One sheet first: what the first export makes once (the accessory's pop-ups' menus, the panel's images) stays.
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    click(*exportPanel()->cancelButton());
    const auto windows = ui::Application::shared().windows().size();
    const auto surfaces = backend->surfaceCount();
    std::weak_ptr<ui::SavePanel> last;
    for (int sheet = 0; sheet < 50; ++sheet) {
        pressKey(u'e', ui::KeyCode::E, ui::ModifierFlags::Command);
        ASSERT_TRUE(exportPanel());
        last = app().savePanel();
        escape();
        ASSERT_FALSE(window().attachedSheet());
    }
    EXPECT_TRUE(last.expired()) << "a closed sheet is released";
    EXPECT_EQ(ui::Application::shared().windows().size(), windows);
    EXPECT_EQ(backend->surfaceCount(), surfaces);
}

TEST_F(KeyboardAndSmallScreen, TheSheetOpensWhereTheLastExportWentWithANameProposed)
{
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    chooseTag(*app().exportFileTypePopup(), PNG);
    EXPECT_EQ(exportPanel()->nameFieldStringValue().utf8(), barcode().barcodeName().utf8() + ".png");
    click(*exportPanel()->cancelButton());

    typeInto(*app().contentTextField(), u"400638133393");
    std::filesystem::create_directories(scratch("labels"));
    auto path = exportAs(ExportChoice::as(PNG).named("labels/first"));
    EXPECT_EQ(path, scratch("labels/first.png"));
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    EXPECT_EQ(exportPanel()->directory().utf8(), scratch("labels"));
    EXPECT_EQ(exportPanel()->nameFieldStringValue().utf8(),
        barcode().barcodeName().utf8() + " " + barcode().content().utf8() + ".png");
    click(*exportPanel()->cancelButton());
}
