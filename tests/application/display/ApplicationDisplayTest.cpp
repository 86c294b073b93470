// The real program on a real X display (the private Xvfb of scripts/with-display), used as a person uses it: picked,
// typed into and exported with xdotool, read back with zbarimg and xclip, and closed from outside.
#include "DisplaySupport.h"

using namespace appdisplay;

TEST_F(ApplicationOnDisplay, PickTypeExportCopyAndClose)
{
    start();
    const unsigned long window = windowNamed("Barcodes");
    ASSERT_NE(window, 0u) << "the main window appears";
    const Geometry g = shownGeometry(window);
    ASSERT_GE(g.height, ContentHeight);

    auto previewDarkPixels = [&](const gfx::BitmapImageRep& shot) {
        int dark = 0;
        for (int y = g.contentTop() + PreviewY - 60; y < g.contentTop() + PreviewY + 60; ++y)
            for (int x = g.x + PreviewX - 80; x < g.x + PreviewX + 80; ++x)
                dark += luminance(pixel(shot, x, y)) < 60;
        return dark;
    };
    // The window as it opens, once painted (a busy machine may take a while): light controls, an EAN-13 in the
    // preview.
    std::shared_ptr<gfx::BitmapImageRep> opened;
    EXPECT_TRUE(waitFor([&] {
        opened = screenshot("opened");
        return opened && luminance(pixel(*opened, g.x + 40, g.contentTop() + 40)) > 200
            && previewDarkPixels(*opened) > 200;
    })) << "the window's light background and bars in the preview";

    // QR Code from the symbology pop-up, by typing its name in the open menu.
    const int menus = popUpsShown();
    clickAt(g.x + SymbologyPopUpX, g.contentTop() + SymbologyPopUpY);
    ASSERT_TRUE(waitForMenu(menus, "symbology-menu")) << "the pop-up's menu opens";
    xdotool("type --delay 50 QR");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return remembered("<string>QR</string>"); })) << "QR Code is chosen";
    // The address, one key at a time.
    clickAt(g.x + ContentFieldX, g.contentTop() + ContentFieldY);
    xdotool("type --delay 20 '" + Address + "'");
    ASSERT_TRUE(waitFor([&] { return remembered(Address); })) << "the typed address reaches the barcode";
    auto typed = screenshot("typed");
    ASSERT_TRUE(typed);
    EXPECT_GT(previewDarkPixels(*typed), 50) << "a QR symbol in the preview";

    // Export as PNG through the save sheet, by keyboard: the name first, then past the folder's path, the places and
    // the file list to the format, PNG.
    clickAt(g.x + ExportItemX, g.contentTop() + ExportItemY);
    const unsigned long sheet = windowNamed("Save");
    ASSERT_NE(sheet, 0u) << "the save sheet appears";
    ASSERT_TRUE(waitFor([&] { return hasKeyboard(sheet); })) << "the sheet takes the keyboard";
    settledScreenshot("save-sheet");
    xdotool("type --delay 20 code");
    xdotool("key --delay 100 Tab Tab Tab Tab Down");
    ASSERT_TRUE(waitForMenu(menus, "save-sheet-formats")) << "Down opens the format pop-up's menu";
    xdotool("type --delay 50 PNG");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return popUpsShown() == menus; })) << "Return closes the menu";
    settledScreenshot("save-sheet-png");
    xdotool("key Return");
    const auto png = home / "code.png";
    // The file is there once the sheet has saved it, and read whole once it decodes.
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(png); })) << "the sheet saves code.png in the home";
    testsupport::CommandResult read;
    waitFor([&] {
        read = runCommand("zbarimg --raw -q " + png.string());
        return read.status == 0;
    });
    EXPECT_EQ(read.output, Address + "\n");

    // Ctrl+C on the preview puts PDF on the clipboard, once the sheet has gone and the window has the keyboard back.
    EXPECT_TRUE(waitFor([&] { return hasKeyboard(window); })) << "the main window takes the keyboard back";
    clickAt(g.x + PreviewX, g.contentTop() + PreviewY);
    xdotool("key ctrl+c");
    auto targets = [] { return runCommand("timeout 10 xclip -selection clipboard -o -t TARGETS").output; };
    EXPECT_TRUE(waitFor([&] { return targets().find("application/pdf") != std::string::npos; })) << targets();
    auto pdf = runCommand("timeout 10 xclip -selection clipboard -o -t application/pdf | head -c 5");
    EXPECT_EQ(pdf.output, "%PDF-");

    // Closing the window ends the program, which keeps what was typed.
    requestClose(window);
    auto status = exitStatus();
    ASSERT_TRUE(status) << "the program ends when its window closes";
    EXPECT_EQ(*status, 0);
    EXPECT_TRUE(remembered(Address)) << "the content is remembered";
    EXPECT_TRUE(remembered("<string>QR</string>"));
}
