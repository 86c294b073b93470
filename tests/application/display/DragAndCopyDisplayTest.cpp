// The barcode leaving the real program for others, on the private X display: copied and pasted as PNG by a
// program that takes only bitmaps, and dragged out of the preview onto a second program that reads the drop, or
// that takes it and never answers. After each, the program takes a click and typing as before.
#include "DisplaySupport.h"

#include <csignal>
#include <fstream>
#include <sstream>

using namespace appdisplay;

namespace {

std::string fileContents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// EAN-13 content without its check digit, and the number a reader decodes (check digit 1).
const std::string Content = "400638133393";
const std::string Decoded = "4006381333931";

class DragAndCopyOnDisplay : public ApplicationOnDisplay {
protected:
    ~DragAndCopyOnDisplay() override
    {
        if (peer > 0) {
            ::kill(peer, SIGKILL);
            ::waitpid(peer, nullptr, 0);
        }
    }
    // The second program, at the screen's top left, as a drop target of the given kind ("read MIME", "late MIME");
    // started before ours, so that ours has the keyboard on a server without a window manager.
    void startPeer(const std::vector<std::string>& arguments)
    {
        report = home / "peer-report.txt";
        std::vector<std::string> words { DND_PEER };
        words.insert(words.end(), arguments.begin(), arguments.end());
        words.push_back(report.string());
        std::vector<char*> argv;
        for (auto& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        ASSERT_EQ(posix_spawn(&peer, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        ASSERT_TRUE(waitFor([&] { return peerSaid("ready"); })) << "the peer shows";
    }
    bool peerSaid(const std::string& text) const { return fileContents(report).find(text) != std::string::npos; }

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
    bool typedAndRemembered(const std::string& text, double seconds = testsupport::WaitSeconds)
    {
        xdotool("key ctrl+a");
        xdotool("type --delay 30 " + text);
        return waitFor([&] { return remembered(text); }, seconds);
    }
    int previewX() const { return g.x + PreviewX; }
    int previewY() const { return g.contentTop() + PreviewY; }

    // Drags from the preview's middle to the peer's and lets go once the peer has answered the drag. The moves go
    // on, a pixel at a time, until it has: a busy program may begin its drag only after the pointer arrived.
    void dragPreviewToPeer()
    {
        xdotool("mousemove " + std::to_string(previewX()) + " " + std::to_string(previewY()) + " mousedown 1");
        xdotool("mousemove " + std::to_string(previewX() + 10) + " " + std::to_string(previewY() + 10));
        for (int step = 1; step <= 6; ++step)
            xdotool("mousemove " + std::to_string(previewX() + (100 - previewX()) * step / 6) + " "
                + std::to_string(previewY() + (75 - previewY()) * step / 6) + " sleep 0.1");
        int wiggle = 0;
        bool over = waitFor(
            [&] {
                xdotool("mousemove " + std::to_string(100 + wiggle % 2) + " 75");
                ++wiggle;
                return peerSaid("over");
            },
            20);
        xdotool("mouseup 1");
        ASSERT_TRUE(over) << "the drag never reached the peer:\n" << fileContents(report);
    }
    // A click into the content field and typing reach the program.
    void expectInputTakenAgain(const std::string& text)
    {
        clickAt(g.x + ContentFieldX, g.contentTop() + ContentFieldY);
        EXPECT_TRUE(typedAndRemembered(text)) << "the program took no click or typing";
    }

    pid_t peer { -1 };
    std::filesystem::path report;
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

// Dragged onto a program that reads the PDF itself, as a mail program does: the PDF arrives whole (its page
// decodes to the content) and the program goes on.
TEST_F(DragAndCopyOnDisplay, ABarcodeDraggedToAReaderArrivesAndTheProgramGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(startPeer({ "read", "application/pdf" }));
    ASSERT_NO_FATAL_FAILURE(startWithContent());
    ASSERT_NO_FATAL_FAILURE(dragPreviewToPeer());
    ASSERT_TRUE(waitFor([&] { return peerSaid("read application/pdf") || peerSaid("failed"); }))
        << fileContents(report);
    EXPECT_TRUE(peerSaid("read application/pdf")) << fileContents(report);
    const auto pdf = home / "dropped.pdf";
    std::filesystem::copy_file(report.string() + ".data", pdf);
    EXPECT_EQ(fileContents(pdf).substr(0, 5), "%PDF-");
    runCommand("pdftoppm -r 300 -png -singlefile " + pdf.string() + " " + (home / "dropped").string());
    EXPECT_EQ(runCommand("zbarimg --raw -q " + (home / "dropped.png").string()).output, Decoded + "\n");
    expectInputTakenAgain("978020137962");
}

// Dragged onto a program that takes the drop and does not answer for seconds (hung, or gone): the drag ends on
// its own, the picture goes, and the program takes input while the other still holds the drop.
TEST_F(DragAndCopyOnDisplay, ABarcodeDroppedOnAProgramThatNeverAnswersLeavesTheProgramFree)
{
    ASSERT_NO_FATAL_FAILURE(startPeer({ "late", "application/pdf" }));
    ASSERT_NO_FATAL_FAILURE(startWithContent());
    ASSERT_NO_FATAL_FAILURE(dragPreviewToPeer());
    ASSERT_TRUE(waitFor([&] { return peerSaid("holding"); })) << fileContents(report);
    ::kill(peer, SIGKILL);
    ::waitpid(peer, nullptr, 0);
    peer = -1;
    expectInputTakenAgain("978020137962");
    // Where the peer was, the empty screen: no picture of the drag is left there.
    auto shot = screenshot("after-unanswered-drop");
    ASSERT_TRUE(shot);
    int lit = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            lit += luminance(pixel(*shot, x, y)) > 10;
    EXPECT_EQ(lit, 0) << "the drag's picture stays on the screen";
}
