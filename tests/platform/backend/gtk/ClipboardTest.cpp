#include "GtkTestSupport.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/Menu.h"

#include <csignal>
#include <fstream>
#include <unistd.h>

using namespace gtktest;
using ui::Pasteboard;
namespace Type = ui::PasteboardType;

namespace {

// A small real PDF, made by our drawing context.
std::string pdfBytes()
{
    auto context = gfx::GraphicsContext::createForPDF({ 100, 50 });
    {
        gfx::CurrentContextScope scope(context);
        context->setFillColor(*gfx::Color::colorWithDeviceRed(0, 0.5, 0));
        context->fillRect({ 10, 10, 80, 30 });
    }
    auto data = context->finishDocument();
    return data ? std::string(reinterpret_cast<const char*>(data->bytes()), data->length()) : std::string();
}

// Promises text and PDF and writes each only when asked, counting the requests.
class LazyOwner : public ui::PasteboardOwner {
public:
    void pasteboardProvideDataForType(Pasteboard& pasteboard, const fnd::String& type) override
    {
        ++asked[type.utf8()];
        if (type == Type::String)
            pasteboard.setString("Grüße, 12 €", type);
        else if (type == Type::PDF)
            pasteboard.setData(fnd::Data::fromString(pdf), type);
    }
    std::string pdf = pdfBytes();
    std::map<std::string, int> asked;
};

}

class ClipboardTest : public GtkDisplayTest {
protected:
    void TearDown() override
    {
        for (int pid : servers)
            ::kill(pid, SIGTERM);
        for (const auto& path : files)
            ::unlink(path.c_str());
        GtkDisplayTest::TearDown();
    }

    std::string temporaryFile(const std::string& name, const std::string& contents)
    {
        // Named per process: the scales run side by side.
        auto path = std::string(::testing::TempDir()) + std::to_string(::getpid()) + "-" + name;
        std::ofstream(path, std::ios::binary) << contents;
        files.push_back(path);
        return path;
    }

    std::vector<int> servers;
    std::vector<std::string> files;
};

// Another program reads what we copied, by MIME type, and the owner makes each type only when it is read. The
// PDF is also offered as PNG, rendered when a program pastes it at the resolution the copy chose.
TEST_F(ClipboardTest, OtherProgramsReadTextAndPDFWeCopied)
{
    auto owner = std::make_shared<LazyOwner>();
    auto pasteboard = Pasteboard::generalPasteboard();
    pasteboard->declareTypes({ Type::String, Type::PDF }, owner);
    pasteboard->setImageResolution(144);
    EXPECT_TRUE(owner->asked.empty());

    auto targets = runWhileServing(*backend, "xclip -selection clipboard -o -t TARGETS");
    ASSERT_EQ(targets.status, 0);
    EXPECT_NE(targets.output.find("application/pdf"), std::string::npos) << targets.output;
    EXPECT_NE(targets.output.find("image/png"), std::string::npos) << targets.output;
    EXPECT_NE(targets.output.find("UTF8_STRING"), std::string::npos) << targets.output;
    EXPECT_TRUE(owner->asked.empty()) << "listing the types makes no data";

    // The page is 100 × 50 points with a green rectangle from (10, 10) to (90, 40), y up: at 144 dpi 200 × 100
    // pixels, the rectangle 20 pixels in from the left, right and top, 20 from the bottom.
    auto pngPath = temporaryFile("clipboard-out.png", "");
    auto png = runWhileServing(*backend, "xclip -selection clipboard -o -t image/png > '" + pngPath + "'");
    EXPECT_EQ(png.status, 0);
    auto bitmap = gfx::BitmapImageRep::imageRepWithContentsOfFile(fnd::String(pngPath));
    ASSERT_TRUE(bitmap) << "another program pastes a PNG it can read";
    auto pixels = (*bitmap)->converted(gfx::BitmapLayout::ARGB32Premultiplied);
    ASSERT_EQ(pixels->pixelsWide(), 200);
    ASSERT_EQ(pixels->pixelsHigh(), 100);
    EXPECT_EQ(pixels->pixelBuffer().pixel(100, 50), 0xFF008000u) << "the rectangle's middle";
    EXPECT_EQ(pixels->pixelBuffer().pixel(10, 50) >> 24, 0u) << "the page beside it";
    EXPECT_EQ(owner->asked["NSPDFPboardType"], 1) << "the PNG is made from the PDF, asked for once";

    auto text = runWhileServing(*backend, "xclip -selection clipboard -o -t UTF8_STRING");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.output, "Grüße, 12 €");
    auto pdfPath = temporaryFile("clipboard-out.pdf", "");
    auto pdf = runWhileServing(
        *backend, "xclip -selection clipboard -o -t application/pdf > '" + pdfPath + "' && pdfinfo '" + pdfPath + "'");
    EXPECT_EQ(pdf.status, 0) << "poppler reads the PDF another program pasted";
    EXPECT_NE(pdf.output.find("Pages:"), std::string::npos);
    std::ifstream in(pdfPath, std::ios::binary);
    std::string pasted((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(pasted, owner->pdf);
    EXPECT_EQ(owner->asked["NSPDFPboardType"], 1);
    EXPECT_EQ(owner->asked.size(), 2u) << "nothing else was asked for";
}

// What another program copies becomes the general pasteboard's content: text pasted with Ctrl+V through the main
// menu's Paste item, and PDF bytes as they were.
TEST_F(ClipboardTest, WhatAnotherProgramCopiedIsPasted)
{
    auto recorder = KeyRecorder::make({});
    auto window = showWindow({ 60, 60, 120, 80 }, recorder);
    window->makeFirstResponder(recorder);
    auto menu = ui::Menu::create("Main");
    auto edit = ui::Menu::create("Edit");
    edit->addItemWithTitle("Paste", fnd::Selector("paste:"), "v");
    menu->addItemWithTitle("Edit")->setSubmenu(edit);
    ui::Application::shared().setMainMenu(menu);
    window->orderFront();
    ASSERT_TRUE(waitFor([&] { return backend->hasKeyboardFocus(*window); }));

    auto pasteboard = Pasteboard::generalPasteboard();
    long before = pasteboard->changeCount();
    auto textFile = temporaryFile("clipboard-in.txt", "from xclip, ü");
    servers.push_back(startInBackground({ "xclip", "-quiet", "-selection", "clipboard", "-i", textFile }));
    ASSERT_TRUE(waitFor([&] {
        return pasteboard->changeCount() != before && pasteboard->availableTypeFromArray({ Type::String });
    })) << "the clipboard's new owner was never seen";
    ASSERT_EQ(runWhileServing(*backend, "xdotool key ctrl+v").status, 0);
    ASSERT_TRUE(waitFor([&] { return !recorder->pasted.empty(); })) << "Ctrl+V did not reach paste:";
    EXPECT_EQ(recorder->pasted[0], "from xclip, ü");

    auto pdf = pdfBytes();
    auto pdfFile = temporaryFile("clipboard-in.pdf", pdf);
    before = pasteboard->changeCount();
    servers.push_back(
        startInBackground({ "xclip", "-quiet", "-selection", "clipboard", "-t", "application/pdf", "-i", pdfFile }));
    ASSERT_TRUE(waitFor(
        [&] { return pasteboard->changeCount() != before && pasteboard->availableTypeFromArray({ Type::PDF }); }));
    auto data = pasteboard->dataForType(Type::PDF);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data->bytes()), data->length()), pdf);
}
