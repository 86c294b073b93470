// Exporting through the toolbar's Export item and the save sheet, every format read back by its own tools.
#include "AcceptanceSupport.h"

#include "application/BarcodeExporter.h"
#include "application/PreferencesKeys.h"

#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentation.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/text/TextView.h"
#include "support/Command.h"
#include "support/DecoderCheck.h"
#include "support/InterruptedAtomicWrite.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <set>

using namespace acceptance;
using testsupport::haveTool;
using testsupport::runCommand;

namespace {

std::shared_ptr<gfx::BitmapImageRep> readImage(const std::string& path)
{
    auto rep = gfx::BitmapImageRep::imageRepWithContentsOfFile(fnd::String(path));
    EXPECT_TRUE(rep) << path << (rep ? "" : ": " + rep.error().localizedDescription().utf8());
    return rep ? *rep : nullptr;
}

std::string firstBytes(const std::string& path, std::size_t count)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), std::streamsize(count));
    bytes.resize(std::size_t(in.gcount()));
    return bytes;
}

std::string trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// Every text field's text in a window, joined: what an alert says.
class ExportSheet : public ApplicationTest {
protected:
    ExportSheet()
    {
        typeInto(*app().contentTextField(), u"400638133393");
        toggle(*app().drawBackgroundButton());
        EXPECT_FALSE(barcode().shouldDrawBackground());
    }

    // The bars of the module string as pixel runs at the resolution: (first pixel, length).
    std::vector<std::pair<double, double>> expectedBarRuns(double dpi)
    {
        const double s = dpi / 72, x = barcode().barWidth();
        std::vector<std::pair<double, double>> runs;
        const auto modules = barcode().completeEncodedBarcode();
        for (std::size_t i = 0; i < modules.size();) {
            if (modules[i] != '1') {
                ++i;
                continue;
            }
            std::size_t n = 0;
            while (i + n < modules.size() && modules[i + n] == '1')
                ++n;
            runs.emplace_back((barcode().firstBarPosition() + double(i) * x) * s, double(n) * x * s);
            i += n;
        }
        return runs;
    }

    // Pixel row of a height of the work area (points from its bottom) in an image at the resolution.
    long rowAt(double y, double dpi) { return long((barcode().workAreaSize().height - y) * dpi / 72); }
    double middleOfBars() { return (barcode().bottomPositionForBarIndex(3) + barcode().topPositionForBarIndex(3)) / 2; }

    void expectBarsAt(const gfx::BitmapImageRep& rep, double dpi)
    {
        auto expected = expectedBarRuns(dpi);
        auto seen = darkRunsOnRow(rep, rowAt(middleOfBars(), dpi)).dark;
        ASSERT_EQ(seen.size(), expected.size()) << "module string " << barcode().completeEncodedBarcode();
        for (std::size_t i = 0; i < seen.size(); ++i) {
            EXPECT_NEAR(double(seen[i].first), expected[i].first, 1.0) << "bar " << i;
            EXPECT_NEAR(double(seen[i].second), expected[i].second, 1.0) << "bar " << i;
        }
    }
};

}

TEST_F(ExportSheet, PDFAndEPSAreOnePageTheSizeOfTheSymbol)
{
    const gfx::Size area = barcode().workAreaSize();
    auto pdf = exportAs(ExportChoice::as(PDF).named("code"));
    EXPECT_TRUE(pdf.ends_with("/code.pdf")) << pdf;
    // The dimming fades away once the sheet has gone.
    wait(ZORSheetPresentation::FadeDuration + 0.5);
    EXPECT_FALSE(ZORSheetPresentation::presentationViewForWindow(window()));
    if (haveTool("pdfinfo")) {
        auto info = runCommand("pdfinfo '" + pdf + "'").output;
        EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
        double w = 0, h = 0;
        auto at = info.find("Page size:");
        ASSERT_NE(at, std::string::npos) << info;
        ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &w, &h), 2) << info;
        EXPECT_NEAR(w, area.width, 0.01);
        EXPECT_NEAR(h, area.height, 0.01);
    }

    auto eps = exportAs(ExportChoice::as(EPS).named("code"));
    std::ifstream in(eps);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "%!PS-Adobe-3.0 EPSF-3.0");
    double x0 = 1, y0 = 1, x1 = 0, y1 = 0;
    while (std::getline(in, line))
        if (line.starts_with("%%BoundingBox:"))
            std::sscanf(line.c_str(), "%%%%BoundingBox: %lf %lf %lf %lf", &x0, &y0, &x1, &y1);
    EXPECT_LE(x0, 0);
    EXPECT_LE(y0, 0);
    EXPECT_GE(x1, area.width);
    EXPECT_GE(y1, area.height);
}

TEST_F(ExportSheet, PNGHoldsTheSymbolAtExactlyTheChosenResolution)
{
    auto path = exportAs(ExportChoice::as(PNG).at(300).named("code"));
    auto rep = readImage(path);
    ASSERT_TRUE(rep);
    const gfx::Size area = barcode().workAreaSize();
    EXPECT_EQ(rep->pixelsWide(), long(std::ceil(area.width * 300 / 72 - 1e-6)));
    EXPECT_EQ(rep->pixelsHigh(), long(std::ceil(area.height * 300 / 72 - 1e-6)));
    EXPECT_TRUE(rep->hasAlpha());
    if (haveTool("exiftool")) {
        EXPECT_EQ(trimmed(runCommand("exiftool -s3 -PixelsPerUnitX -PixelsPerUnitY " + path).output), "11811\n11811");
    }
    if (haveTool("pngcheck")) {
        EXPECT_NE(runCommand("pngcheck -v " + path).output.find("RGB+alpha"), std::string::npos);
    }

    expectBarsAt(*rep, 300);
    // The caption lies below the bars' bottom.
    const double barsBottom = barcode().bottomPositionForBarIndex(10);
    long captionPixels = 0;
    for (long y = rowAt(barsBottom - 0.5, 300); y < rep->pixelsHigh(); ++y)
        for (long x = 0; x < rep->pixelsWide(); ++x)
            captionPixels += isDarkPixel(*rep, x, y);
    EXPECT_GT(captionPixels, 100) << "the digits under the bars";
    // No background: the corners are clear.
    EXPECT_EQ(alphaAt(*rep, 0, 0), 0u);
    EXPECT_EQ(alphaAt(*rep, rep->pixelsWide() - 1, rep->pixelsHigh() - 1), 0u);

    toggle(*app().drawBackgroundButton());
    ASSERT_TRUE(barcode().shouldDrawBackground());
    auto filledPath = exportAs(ExportChoice::as(PNG).named("filled"));
    auto filled = readImage(filledPath);
    ASSERT_TRUE(filled);
    EXPECT_EQ(alphaAt(*filled, 0, 0), 255u);
    EXPECT_EQ(alphaAt(*filled, filled->pixelsWide() - 1, filled->pixelsHigh() - 1), 255u);
    if (auto read = DecoderCheck::zbarimg(filledPath, true)) {
        EXPECT_EQ(*read, "4006381333931");
    }
}

TEST_F(ExportSheet, TIFFIsLZWWithAssociatedAlphaOrCMYKWithoutIt)
{
    auto rgb = exportAs(ExportChoice::as(TIFF).at(300).in(RGB).named("rgb"));
    auto cmyk = exportAs(ExportChoice::as(TIFF).at(300).in(CMYK).named("cmyk"));
    if (haveTool("tiffinfo")) {
        auto info = runCommand("tiffinfo " + rgb).output;
        EXPECT_NE(info.find("Compression Scheme: LZW"), std::string::npos) << info;
        EXPECT_NE(info.find("Extra Samples: 1<assoc-alpha>"), std::string::npos) << info;
        EXPECT_NE(info.find("Resolution: 300, 300 pixels/inch"), std::string::npos) << info;
        info = runCommand("tiffinfo " + cmyk).output;
        EXPECT_NE(info.find("Photometric Interpretation: separated"), std::string::npos) << info;
        EXPECT_NE(info.find("Samples/Pixel: 4"), std::string::npos) << info;
        EXPECT_EQ(info.find("Extra Samples"), std::string::npos) << info;
    }
    auto rep = readImage(cmyk);
    ASSERT_TRUE(rep);
    ASSERT_EQ(rep->colorModel(), gfx::BitmapColorModel::CMYK);
    expectBarsAt(*rep, 300);
    std::vector<unsigned> ink(4);
    const auto bar = expectedBarRuns(300).front();
    rep->getPixel(ink, long(bar.first + bar.second / 2), rowAt(middleOfBars(), 300));
    EXPECT_EQ(ink, (std::vector<unsigned> { 0, 0, 0, 255 })) << "bars are black ink alone";
    rep->getPixel(ink, 0, 0);
    EXPECT_EQ(ink, (std::vector<unsigned> { 0, 0, 0, 0 })) << "no background, no ink";
}

TEST_F(ExportSheet, JPEGJPEG2000AndGIFCarryTheirMarks)
{
    exportAs(ExportChoice::as(TIFF).in(CMYK).named("first"));
    // JPEG offers RGB only: the colour space goes back to RGB and is remembered so.
    auto jpeg = exportAs(ExportChoice::as(JPEG).at(300).named("code"));
    EXPECT_EQ(app().exportImageColorSpacePopup()->selectedTag(), RGB);
    EXPECT_FALSE(app().exportImageColorSpacePopup()->isEnabled());
    wait(1.5);
    EXPECT_EQ(storedDefaults().get(LMVExportColorSpaceTag), fnd::Value(0));
    auto rep = readImage(jpeg);
    ASSERT_TRUE(rep);
    EXPECT_EQ(rep->pixelsWide(), long(std::ceil(barcode().workAreaSize().width * 300 / 72 - 1e-6)));
    EXPECT_FALSE(rep->hasAlpha());
    EXPECT_EQ(firstBytes(jpeg, 2), "\xFF\xD8");
    if (haveTool("exiftool")) {
        EXPECT_EQ(trimmed(runCommand("exiftool -s3 -JFIF:XResolution -JFIF:YResolution " + jpeg).output), "300\n300");
    }
    // Paper white where there is no background, not black.
    std::vector<unsigned> paper(3);
    rep->getPixel(paper, 0, 0);
    EXPECT_GT(paper[0], 240u);

    auto jp2 = exportAs(ExportChoice::as(JPEG2000).named("code"));
    EXPECT_EQ(firstBytes(jp2, 12), std::string("\x00\x00\x00\x0CjP  \r\n\x87\n", 12)) << "the signature box";

    auto gif = exportAs(ExportChoice::as(GIF).named("code"));
    EXPECT_EQ(firstBytes(gif, 6), "GIF89a");
    if (haveTool("giftext")) {
        EXPECT_NE(runCommand("giftext " + gif).output.find("Transparency on"), std::string::npos);
    }
}

TEST_F(ExportSheet, TheSheetAppendsTheExtensionForgetsACancelAndRemembersItsChoices)
{
    // PDF shows neither resolution nor colour space.
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    chooseTag(*app().exportFileTypePopup(), PDF);
    for (const std::shared_ptr<ui::View>& v : std::initializer_list<std::shared_ptr<ui::View>> {
             app().exportImageResolutionPopup(), app().exportImageResolutionTitle(), app().exportImageColorSpacePopup(),
             app().exportImageColorSpaceTitle() })
        EXPECT_TRUE(v->isHidden());
    chooseTag(*app().exportFileTypePopup(), TIFF);
    EXPECT_FALSE(app().exportImageColorSpacePopup()->isHidden());
    EXPECT_TRUE(app().exportImageColorSpacePopup()->isEnabled());
    click(*exportPanel()->cancelButton());

    // A name without the extension gets it.
    auto path = exportAs(ExportChoice::as(PNG).at(150).named("label"));
    EXPECT_TRUE(path.ends_with("/label.png")) << path;
    EXPECT_TRUE(std::filesystem::exists(path));

    // Cancelled: no file, nothing remembered.
    wait(1.5);
    const auto before = storedDefaults();
    exportAs(ExportChoice::as(GIF).at(600).named("never").cancelled());
    wait(1.5);
    EXPECT_FALSE(std::filesystem::exists(scratch("never.gif")));
    EXPECT_EQ(storedDefaults(), before);
    EXPECT_EQ(before.get(LMVExportFileTypeTag), fnd::Value(PNG));
    EXPECT_EQ(before.get(LMVExportResolutionTag), fnd::Value(150));

    // The next sheet opens with the last saved choices.
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    EXPECT_EQ(app().exportFileTypePopup()->selectedTag(), PNG);
    EXPECT_EQ(app().exportImageResolutionPopup()->selectedTag(), 150);
    EXPECT_EQ(exportPanel()->allowedFileTypes(), std::vector<fnd::String> { "png" });
    click(*exportPanel()->cancelButton());
}

TEST_F(ExportSheet, EscapeCancelsTheSheetAndWritesNothing)
{
    wait(1.5);
    const auto before = storedDefaults();
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    ASSERT_TRUE(app().window()->attachedSheet());
    chooseTag(*app().exportFileTypePopup(), GIF);
    // Escape while the name is being typed.
    typeInto(*exportPanel()->nameField(), u"escaped");
    ASSERT_TRUE(exportPanel()->nameField()->currentEditor());
    pressKey(0x1B, ui::KeyCode::Escape);
    EXPECT_FALSE(app().window()->attachedSheet());
    wait(1.5);
    EXPECT_FALSE(std::filesystem::exists(scratch("escaped.gif")));
    EXPECT_EQ(storedDefaults(), before);
}

TEST_F(ExportSheet, AFileThatCannotBeWrittenIsReportedWithItsPathAndReason)
{
    // A name longer than the file system takes: the panel accepts it, writing fails.
    const std::string name(300, 'x');
    exportAs(ExportChoice::as(PNG).named(name));
    auto sheet = window().attachedSheet();
    ASSERT_TRUE(sheet) << "an alert tells of the failure";
    const auto said = textsOf(*sheet->contentView());
    EXPECT_NE(said.find(name + ".png"), std::string::npos) << said;
    EXPECT_NE(said.find("too long"), std::string::npos) << said;
    EXPECT_TRUE(ZORSheetPresentation::presentationViewForWindow(window()));
    pressReturn();
    EXPECT_FALSE(window().attachedSheet());
    // Nothing half written is left behind.
    EXPECT_TRUE(std::filesystem::is_empty(scratch("")));
}

namespace {

// What an export killed mid-write leaves in the folder: the path of its one hidden temporary file.
std::string exportSheetLeftoverOfKilledWrite(const std::string& target)
{
    const auto folder = std::filesystem::path(target).parent_path();
    std::set<std::string> before;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        before.insert(entry.path().filename().string());
    EXPECT_TRUE(testsupport::killAtomicWriteOf(INTERRUPTED_ATOMIC_WRITE, target));
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (!before.contains(entry.path().filename().string()))
            return (folder / entry.path().filename()).string();
    ADD_FAILURE() << "the killed write left no temporary file";
    return {};
}

}

// An export killed mid-write left its hidden temporary file in the folder: the next export there removes it. A
// person's files stay however their names look (a hidden backup of notes, a copy an editor named like a temporary
// file), and so does a temporary file just written (a second copy of the program exporting now).
TEST_F(ExportSheet, TheNextExportRemovesWhatAKilledExportLeftAndNothingOfThePersons)
{
    const auto left = exportSheetLeftoverOfKilledWrite(scratch("label.png"));
    const auto fresh = exportSheetLeftoverOfKilledWrite(scratch("other.png"));
    const std::vector<std::pair<std::string, std::string>> persons { { scratch(".notes.txt.tmp-backup"), "my notes" },
        { scratch(".notes.odt.tmp-Ab12Cd"), "draft" }, { scratch(".label.png.swp"), "swap" },
        { scratch("notes.tmp-Ab12Cd"), "visible" } };
    for (const auto& [path, text] : persons)
        std::ofstream(path) << text;
    const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(left, hourAgo);
    for (const auto& [path, text] : persons)
        std::filesystem::last_write_time(path, hourAgo);

    exportAs(ExportChoice::as(PNG).named("code"));
    EXPECT_TRUE(std::filesystem::exists(scratch("code.png")));
    EXPECT_FALSE(std::filesystem::exists(left)) << "what the killed export left is gone";
    EXPECT_TRUE(std::filesystem::exists(fresh)) << "a write that may be at work keeps its file";
    for (const auto& [path, text] : persons) {
        std::ifstream in(path);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text) << path;
    }
}

// A name pasted into the sheet with a line break (a spreadsheet cell, two lines of a label) names a file without
// one: the break between words is a space, the one at the end goes.
TEST_F(ExportSheet, ANamePastedWithLineBreaksNamesAFileWithout)
{
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    auto panel = app().savePanel();
    ASSERT_TRUE(panel);
    chooseTag(*app().exportFileTypePopup(), PNG);
    panel->setDirectory(fnd::String(scratch("")));
    auto pasteboard = ui::Pasteboard::generalPasteboard();
    pasteboard->declareTypes({ ui::PasteboardType::String });
    pasteboard->setString("Batch 12\nShelf A\n", ui::PasteboardType::String);
    click(*panel->nameField());
    pressKey(u'a', ui::KeyCode::A, ui::ModifierFlags::Command);
    pressKey(u'v', ui::KeyCode::V, ui::ModifierFlags::Command);
    auto editor = std::dynamic_pointer_cast<ui::TextView>(panel->nameField()->currentEditor());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->string().utf8(), "Batch 12 Shelf A ") << "the field shows the name the file gets";
    EXPECT_EQ(editor->selectedRange(), fnd::Range(17, 0));
    pressReturn();
    EXPECT_FALSE(window().attachedSheet()) << "saved";
    EXPECT_EQ(panel->path().utf8(), scratch("Batch 12 Shelf A.png"));
    EXPECT_TRUE(std::filesystem::exists(scratch("Batch 12 Shelf A.png")));
    for (const auto& entry : std::filesystem::directory_iterator(scratch("")))
        EXPECT_EQ(entry.path().filename().string().find('\n'), std::string::npos) << entry.path();
}

// A typed name whose extension names another format chooses that format, as a save panel does: "label.png" while
// PDF is chosen is a PNG named label.png, never "label.png.pdf". An extension no format has gets the format's own.
TEST_F(ExportSheet, ANameEndingInAnotherFormatsExtensionChoosesThatFormat)
{
    struct Case {
        long chosen;
        const char* typed;
        const char* written;
        long format;
        const char* magic;
    };
    for (const auto& c : { Case { PDF, "label.png", "label.png", PNG, "\x89PNG" },
             Case { PNG, "label.JPEG", "label.JPEG", JPEG, "\xff\xd8\xff" },
             Case { TIFF, "label.pdf", "label.pdf", PDF, "%PDF" }, Case { PDF, "label.tif", "label.tif", TIFF, "II*" },
             Case { PDF, "label.v2", "label.v2.pdf", PDF, "%PDF" } }) {
        SCOPED_TRACE(c.typed);
        auto path = exportAs(ExportChoice::as(c.chosen).named(c.typed));
        EXPECT_EQ(path, scratch(c.written));
        std::ifstream in(scratch(c.written), std::ios::binary);
        std::string head(std::strlen(c.magic), '\0');
        in.read(head.data(), std::streamsize(head.size()));
        EXPECT_EQ(head, c.magic) << "the file is what its name says";
        EXPECT_EQ(app().exportFileTypePopup()->selectedTag(), c.format) << "the format pop-up follows";
        wait(1.5);
        EXPECT_EQ(storedDefaults().get(LMVExportFileTypeTag), fnd::Value(c.format));
    }
    EXPECT_FALSE(std::filesystem::exists(scratch("label.png.pdf")));
}
