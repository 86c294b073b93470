// The barcode leaving the real program for others, on the private X display: copied and pasted as PNG by a
// program that takes only bitmaps. After it, the program takes a click and typing as before.
#include "DisplaySupport.h"

using namespace appdisplay;

namespace {

// EAN-13 content without its check digit, and the number a reader decodes (check digit 1).
const std::string Content = "400638133393";
const std::string Decoded = "4006381333931";

class DragAndCopyOnDisplay : public ApplicationOnDisplay {
protected:
    // Starts the program, waits for its window and types the content, which the preview then shows.
    void startWithContent()
    {
        start();
        window = windowNamed("Barcodes");
        ASSERT_NE(window, 0u) << "the main window appears";
        g = geometryOf(window);
        ASSERT_TRUE(waitFor([&] {
            clickAt(g.x + ContentFieldX, g.contentTop() + ContentFieldY);
            return typedAndRemembered(Content, 3);
        })) << "the content field takes typing";
    }
    // Types into the content field, replacing what it holds; true once the settings file has it.
    bool typedAndRemembered(const std::string& text, double seconds = 15)
    {
        xdotool("key ctrl+a");
        xdotool("type --delay 30 " + text);
        return waitFor([&] { return remembered(text); }, seconds);
    }
    int previewX() const { return g.x + PreviewX; }
    int previewY() const { return g.contentTop() + PreviewY; }

    // A click into the content field and typing reach the program.
    void expectInputTakenAgain(const std::string& text)
    {
        clickAt(g.x + ContentFieldX, g.contentTop() + ContentFieldY);
        EXPECT_TRUE(typedAndRemembered(text)) << "the program took no click or typing";
    }

    unsigned long window { 0 };
    Geometry g;
};

}

// Copy offers the barcode as PNG beside the PDF; the PNG, pasted by another program, decodes to the content, at
// the export resolution (300 dpi unless chosen otherwise).
TEST_F(DragAndCopyOnDisplay, ACopyPastesAsAPNGThatDecodes)
{
    ASSERT_NO_FATAL_FAILURE(startWithContent());
    clickAt(previewX(), previewY());
    xdotool("key ctrl+c");
    auto targets = [] { return runCommand("timeout 10 xclip -selection clipboard -o -t TARGETS").output; };
    ASSERT_TRUE(waitFor([&] { return targets().find("image/png") != std::string::npos; })) << targets();
    EXPECT_NE(targets().find("application/pdf"), std::string::npos);
    const auto png = home / "pasted.png";
    runCommand("timeout 10 xclip -selection clipboard -o -t image/png > " + png.string());
    EXPECT_EQ(runCommand("zbarimg --raw -q " + png.string()).output, Decoded + "\n");
    auto bitmap = gfx::BitmapImageRep::imageRepWithContentsOfFile(fnd::String(png.string()));
    ASSERT_TRUE(bitmap);
    EXPECT_NEAR((*bitmap)->resolution().width, 300, 0.5);
    expectInputTakenAgain("978020137962");
}
