// Files the export writes, read back by each format's own tools and by our decoders.
#include "ApplicationTestSupport.h"

#include "application/BarcodeExporter.h"
#include "application/TBQBarcodeView.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "support/Command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

using testsupport::haveTool;
using testsupport::runCommand;

namespace {

class ExportTest : public ::testing::Test {
protected:
    ExportTest()
        : folder(apptest::scratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
    }
    ~ExportTest() override { std::filesystem::remove_all(folder); }

    std::string file(const std::string& name) const { return (folder / name).string(); }

    // Exports and decodes the file again with our own decoder.
    std::shared_ptr<gfx::BitmapImageRep> exportAndRead(const std::shared_ptr<TBQGenericBarcode>& barcode,
        ExportFileType type, double dpi, long colorSpace, const std::string& path)
    {
        auto written = BarcodeExporter::exportBarcode(barcode, long(type), dpi, colorSpace, fnd::String(path));
        EXPECT_TRUE(written) << path << ": " << (written ? "" : written.error().localizedDescription().utf8());
        auto rep = gfx::BitmapImageRep::imageRepWithContentsOfFile(fnd::String(path));
        EXPECT_TRUE(rep) << path;
        return rep ? *rep : nullptr;
    }

    // Samples at a point of the barcode (points from the work area's bottom left) in a bitmap exported at dpi,
    // whose top edge is the work area's top edge.
    static std::vector<unsigned> samplesAt(
        const gfx::BitmapImageRep& rep, const TBQGenericBarcode& b, double dpi, double x, double y)
    {
        const double s = dpi / 72;
        std::vector<unsigned> out(4);
        rep.getPixel(out, long(x * s), long((b.workAreaSize().height - y) * s));
        out.resize(std::size_t(rep.samplesPerPixel()));
        return out;
    }

    std::filesystem::path folder;
};

std::shared_ptr<TBQGenericBarcode> transparentEAN()
{
    auto b = apptest::makeBarcode("EAN13", "400638133393");
    b->setShouldDrawBackground(false);
    return b;
}

double middleOfBars(const TBQGenericBarcode& b)
{
    return (b.bottomPositionForBarIndex(3) + b.topPositionForBarIndex(3)) / 2;
}

}

TEST_F(ExportTest, PixelsAreTheSymbolAtExactlyTheResolution)
{
    using S = gfx::Size;
    EXPECT_EQ(BarcodeExporter::pixelSizeForSize({ 100, 50 }, 300), (S { 417, 209 }));
    EXPECT_EQ(BarcodeExporter::pixelSizeForSize({ 72, 36 }, 300), (S { 300, 150 }));
    // Not ceil(ceil(100.2) · s) = 421: the symbol is not stretched to whole points first.
    EXPECT_EQ(BarcodeExporter::pixelSizeForSize({ 100.2, 50 }, 300), (S { 418, 209 }));
    EXPECT_EQ(BarcodeExporter::pixelSizeForSize({ 0.1, 0.1 }, 72), (S { 1, 1 }));

    // Every module of an exported symbol is dark or light where the module string says, at exactly X · s.
    auto b = apptest::makeBarcode("EAN13", "400638133393");
    b->setBarWidth(1.0);
    for (double dpi : { 300.0, 457.0 }) {
        auto rep = exportAndRead(b, ExportFileType::PNG, dpi, 0, file("modules.png"));
        ASSERT_TRUE(rep);
        EXPECT_EQ(rep->pixelsWide(), long(std::ceil(b->workAreaSize().width * dpi / 72 - 1e-6)));
        EXPECT_EQ(rep->pixelsHigh(), long(std::ceil(b->workAreaSize().height * dpi / 72 - 1e-6)));
        EXPECT_NEAR(rep->resolution().width, dpi, 1e-6);
        const ModuleString modules = b->completeEncodedBarcode();
        for (std::size_t i = 0; i < modules.size(); ++i) {
            auto px = samplesAt(*rep, *b, dpi, b->firstBarPosition() + (double(i) + 0.5), middleOfBars(*b));
            EXPECT_EQ(px[0] < 60, modules[i] == '1') << "module " << i << " at " << dpi << " dpi";
        }
    }
}

TEST_F(ExportTest, EveryBitmapFormatCarriesTheChosenResolution)
{
    if (!haveTool("exiftool"))
        GTEST_SKIP() << "exiftool is missing (libimage-exiftool-perl)";
    struct Case {
        ExportFileType type;
        const char* name;
        double dpi;
        const char* tags; // exiftool tags holding the resolution
        const char* expected;
    };
    const Case cases[] = {
        { ExportFileType::TIFF, "a.tiff", 300, "-IFD0:XResolution -IFD0:YResolution", "300\n300" },
        { ExportFileType::JPEG, "a.jpg", 300, "-JFIF:XResolution -JFIF:YResolution", "300\n300" },
        { ExportFileType::PNG, "a.png", 300, "-PixelsPerUnitX -PixelsPerUnitY", "11811\n11811" },
        { ExportFileType::GIF, "a.gif", 300, "-XMP-tiff:XResolution -XMP-tiff:YResolution", "300\n300" },
        // JPEG 2000 stores grid points per metre; exiftool shows them per centimetre.
        { ExportFileType::JPEG2000, "a.jp2", 254, "-CaptureXResolution -DisplayYResolution", "100\n100" },
        { ExportFileType::TIFF, "b.tiff", 600, "-IFD0:XResolution", "600" },
        { ExportFileType::GIF, "b.gif", 150, "-XMP-tiff:YResolution", "150" },
    };
    auto b = transparentEAN();
    for (const auto& c : cases) {
        auto rep = exportAndRead(b, c.type, c.dpi, 0, file(c.name));
        ASSERT_TRUE(rep) << c.name;
        EXPECT_NEAR(rep->resolution().width, c.dpi, 1e-6) << c.name;
        EXPECT_NEAR(rep->resolution().height, c.dpi, 1e-6) << c.name;
        auto size = BarcodeExporter::pixelSizeForSize(b->workAreaSize(), c.dpi);
        EXPECT_EQ(rep->pixelsWide(), long(size.width)) << c.name;
        EXPECT_EQ(rep->pixelsHigh(), long(size.height)) << c.name;
        auto meta = runCommand("exiftool -s3 " + std::string(c.tags) + " " + file(c.name));
        while (!meta.output.empty() && meta.output.back() == '\n')
            meta.output.pop_back();
        EXPECT_EQ(meta.output, c.expected) << c.name;
    }
}

TEST_F(ExportTest, TiffIsLzwWithAssociatedAlphaOrSeparatedCmyk)
{
    if (!haveTool("tiffinfo"))
        GTEST_SKIP() << "tiffinfo is missing (libtiff-tools)";
    auto b = transparentEAN();
    auto rgb = exportAndRead(b, ExportFileType::TIFF, 300, 0, file("rgb.tiff"));
    auto info = runCommand("tiffinfo " + file("rgb.tiff")).output;
    EXPECT_NE(info.find("Compression Scheme: LZW"), std::string::npos) << info;
    EXPECT_NE(info.find("Photometric Interpretation: RGB color"), std::string::npos) << info;
    EXPECT_NE(info.find("Extra Samples: 1<assoc-alpha>"), std::string::npos) << info;
    EXPECT_NE(info.find("Resolution: 300, 300 pixels/inch"), std::string::npos) << info;
    ASSERT_TRUE(rgb);
    EXPECT_EQ(samplesAt(*rgb, *b, 300, 1, 1)[3], 0u) << "no background: transparent";

    auto cmyk = exportAndRead(b, ExportFileType::TIFF, 300, 1, file("cmyk.tiff"));
    info = runCommand("tiffinfo " + file("cmyk.tiff")).output;
    EXPECT_NE(info.find("Photometric Interpretation: separated"), std::string::npos) << info;
    EXPECT_NE(info.find("Samples/Pixel: 4"), std::string::npos) << info;
    EXPECT_EQ(info.find("Extra Samples"), std::string::npos) << info;
    EXPECT_NE(info.find("Compression Scheme: LZW"), std::string::npos) << info;
    ASSERT_TRUE(cmyk);
    ASSERT_EQ(cmyk->colorModel(), gfx::BitmapColorModel::CMYK);
    // Black bars are full K; the paper around them takes no ink.
    const double firstBar = b->firstBarPosition() + b->barWidth() / 2;
    EXPECT_EQ(samplesAt(*cmyk, *b, 300, firstBar, middleOfBars(*b)), (std::vector<unsigned> { 0, 0, 0, 255 }));
    EXPECT_EQ(samplesAt(*cmyk, *b, 300, 1, 1), (std::vector<unsigned> { 0, 0, 0, 0 }));
}

TEST_F(ExportTest, JpegAndJpeg2000AreFlattenedOverTheBackgroundOrWhite)
{
    auto b = transparentEAN();
    const double firstBar = b->firstBarPosition() + b->barWidth() / 2;
    for (auto [type, name] : { std::pair { ExportFileType::JPEG, "a.jpg" }, { ExportFileType::JPEG2000, "a.jp2" } }) {
        auto rep = exportAndRead(b, type, 300, 0, file(name));
        ASSERT_TRUE(rep) << name;
        EXPECT_FALSE(rep->hasAlpha()) << name;
        auto paper = samplesAt(*rep, *b, 300, 1, 1);
        EXPECT_GT(paper[0], 240u) << name << ": transparent areas become white, not black";
        EXPECT_LT(samplesAt(*rep, *b, 300, firstBar, middleOfBars(*b))[0], 40u) << name;
    }
    // A drawn background is what JPEG shows around the bars.
    b->setShouldDrawBackground(true);
    b->setBackgroundColor(gfx::Color::colorWithCalibratedRed(0, 0, 1));
    auto blue = exportAndRead(b, ExportFileType::JPEG, 300, 0, file("blue.jpg"));
    ASSERT_TRUE(blue);
    auto px = samplesAt(*blue, *b, 300, 1, 1);
    EXPECT_LT(px[0], 30u);
    EXPECT_GT(px[2], 220u);

    // CMYK JPEG: four components, read by exiftool.
    auto cmyk = exportAndRead(transparentEAN(), ExportFileType::JPEG, 300, 1, file("cmyk.jpg"));
    ASSERT_TRUE(cmyk);
    EXPECT_EQ(cmyk->colorModel(), gfx::BitmapColorModel::CMYK);
    if (haveTool("exiftool")) {
        EXPECT_EQ(runCommand("exiftool -s3 -ColorComponents " + file("cmyk.jpg")).output, "4\n");
    }
    if (haveTool("opj_dump")) {
        auto dump = runCommand("opj_dump -i " + file("a.jp2")).output;
        EXPECT_NE(dump.find("numcomps=3"), std::string::npos) << dump;
    }
}

TEST_F(ExportTest, PngAndGifAreTransparentWithoutBackgroundAndOpaqueWithIt)
{
    auto b = transparentEAN();
    auto png = exportAndRead(b, ExportFileType::PNG, 300, 0, file("clear.png"));
    ASSERT_TRUE(png);
    EXPECT_EQ(samplesAt(*png, *b, 300, 1, 1)[3], 0u);
    auto gif = exportAndRead(b, ExportFileType::GIF, 300, 0, file("clear.gif"));
    ASSERT_TRUE(gif);
    EXPECT_EQ(samplesAt(*gif, *b, 300, 1, 1)[3], 0u);
    // The colour-space choice does not make PNG or GIF anything but RGB.
    auto cmykAsked = exportAndRead(b, ExportFileType::PNG, 300, 1, file("asked-cmyk.png"));
    ASSERT_TRUE(cmykAsked);
    EXPECT_EQ(cmykAsked->colorModel(), gfx::BitmapColorModel::RGB);

    b->setShouldDrawBackground(true);
    auto opaque = exportAndRead(b, ExportFileType::PNG, 300, 0, file("opaque.png"));
    ASSERT_TRUE(opaque);
    // Every pixel is opaque, the sliver beyond the work area's last whole pixel included.
    std::vector<unsigned> px(4);
    for (long y = 0; y < opaque->pixelsHigh(); y += 7)
        for (long x = 0; x < opaque->pixelsWide(); x += 7) {
            opaque->getPixel(px, x, y);
            ASSERT_EQ(px[3], 255u) << x << "," << y;
        }
    opaque->getPixel(px, opaque->pixelsWide() - 1, opaque->pixelsHigh() - 1);
    EXPECT_EQ(px[3], 255u);

    if (haveTool("pngcheck")) {
        auto check = runCommand("pngcheck -v " + file("clear.png")).output;
        EXPECT_NE(check.find("RGB+alpha"), std::string::npos) << check;
        EXPECT_NE(check.find("(300 dpi)"), std::string::npos) << check;
    }
    if (haveTool("giftext")) {
        auto text = runCommand("giftext " + file("clear.gif")).output;
        EXPECT_NE(text.find("Transparency on"), std::string::npos) << text;
        auto solid = exportAndRead(b, ExportFileType::GIF, 300, 0, file("solid.gif"));
        EXPECT_EQ(runCommand("giftext " + file("solid.gif")).output.find("Transparency on"), std::string::npos);
    }
}

TEST_F(ExportTest, PdfAndEpsAreOnePageTheSizeOfTheWorkArea)
{
    auto b = transparentEAN();
    const gfx::Size area = b->workAreaSize();
    ASSERT_TRUE(BarcodeExporter::exportBarcode(b, long(ExportFileType::PDF), 300, 0, fnd::String(file("a.pdf"))));
    ASSERT_TRUE(BarcodeExporter::exportBarcode(b, long(ExportFileType::EPS), 300, 0, fnd::String(file("a.eps"))));
    if (haveTool("pdfinfo")) {
        auto info = runCommand("pdfinfo " + file("a.pdf")).output;
        EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
        double w = 0, h = 0;
        auto at = info.find("Page size:");
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &w, &h), 2) << info;
        EXPECT_NEAR(w, area.width, 0.01);
        EXPECT_NEAR(h, area.height, 0.01);
    }
    // The exported file carries the caption as text a reader finds (the digits are letter-spaced, so a reader may
    // put spaces between them): 400638133393 with its check digit 1.
    if (haveTool("pdftotext")) {
        std::string text;
        for (char c : runCommand("pdftotext " + file("a.pdf") + " -").output)
            if (c != ' ' && c != '\n' && c != '\f')
                text += c;
        EXPECT_NE(text.find("4006381333931"), std::string::npos) << text;
    }
    std::ifstream eps(file("a.eps"));
    std::string first, line, box;
    std::getline(eps, first);
    EXPECT_EQ(first, "%!PS-Adobe-3.0 EPSF-3.0");
    while (std::getline(eps, line))
        if (line.starts_with("%%BoundingBox:"))
            box = line;
    EXPECT_EQ(box,
        "%%BoundingBox: 0 0 " + std::to_string(int(std::ceil(area.width))) + " "
            + std::to_string(int(std::ceil(area.height))));
    if (haveTool("gs")) {
        auto png = file("eps.png");
        auto run = runCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=png16m -r144 -sOutputFile=" + png
            + " " + file("a.eps") + " 2>&1");
        ASSERT_EQ(run.status, 0) << run.output;
        auto rep = gfx::BitmapImageRep::imageRepWithContentsOfFile(fnd::String(png));
        ASSERT_TRUE(rep);
        EXPECT_NEAR((*rep)->pixelsWide(), std::ceil(area.width) * 2, 2);
    }
}

// Content a symbology cannot encode has no symbol: its red error sentence is no barcode, so no format writes it, and
// the error says why, with the barcode's own text.
TEST_F(ExportTest, ABarcodeThatShowsAnErrorIsNotWritten)
{
    struct Case {
        const char* symbology;
        const char* content;
    };
    for (const auto& c :
        { Case { "QR", "Preis 5 \u20ac" }, Case { "EAN128", "[01]123" }, Case { "Codabar", "40156" } }) {
        auto broken = apptest::makeBarcode(c.symbology, c.content);
        const auto error = TBQBarcodeView::errorTextOfBarcode(*broken);
        ASSERT_FALSE(error.isEmpty()) << c.symbology << " " << c.content;
        for (auto type : { ExportFileType::PDF, ExportFileType::EPS, ExportFileType::PNG, ExportFileType::JPEG }) {
            const auto path = file(std::string("error-") + c.symbology + "." + std::to_string(long(type)));
            auto result = BarcodeExporter::exportBarcode(broken, long(type), 300, 0, fnd::String(path));
            ASSERT_FALSE(result) << c.symbology << " as type " << long(type) << " is written";
            EXPECT_NE(result.error().localizedDescription().utf8().find(path), std::string::npos);
            EXPECT_NE(result.error().localizedFailureReason().utf8().find(error.utf8()), std::string::npos)
                << result.error().localizedFailureReason().utf8();
            EXPECT_FALSE(std::filesystem::exists(path)) << path;
        }
    }
}

TEST_F(ExportTest, FailuresAreErrorsNamingThePathAndLeaveFilesAlone)
{
    auto b = transparentEAN();
    // A folder that does not exist.
    const std::string missing = file("no-such-folder/a.png");
    auto result = BarcodeExporter::exportBarcode(b, long(ExportFileType::PNG), 300, 0, fnd::String(missing));
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().localizedDescription().utf8().find(missing), std::string::npos)
        << result.error().localizedDescription().utf8();
    EXPECT_FALSE(result.error().localizedFailureReason().isEmpty());
    EXPECT_FALSE(std::filesystem::exists(missing));
    auto pdf = BarcodeExporter::exportBarcode(b, long(ExportFileType::PDF), 0, 0, fnd::String(missing));
    ASSERT_FALSE(pdf);
    EXPECT_NE(pdf.error().localizedDescription().utf8().find(missing), std::string::npos);

    // A file that exists keeps its contents when the export cannot be made.
    const std::string existing = file("keep.png");
    std::ofstream(existing) << "earlier";
    struct Case {
        long type;
        double dpi;
    };
    for (auto c : { Case { 9, 300 }, Case { long(ExportFileType::PNG), 0 }, Case { long(ExportFileType::TIFF), -72 },
             Case { long(ExportFileType::PNG), 1e7 } }) {
        auto failed = BarcodeExporter::exportBarcode(b, c.type, c.dpi, 0, fnd::String(existing));
        EXPECT_FALSE(failed) << c.type << " at " << c.dpi;
        if (!failed)
            continue;
        EXPECT_NE(failed.error().localizedDescription().utf8().find(existing), std::string::npos);
        EXPECT_FALSE(failed.error().localizedFailureReason().isEmpty()) << c.type << " at " << c.dpi;
        std::ifstream in(existing);
        std::string contents;
        std::getline(in, contents);
        EXPECT_EQ(contents, "earlier");
    }
    // Nothing but the kept file is left in the folder: no temporary from a failed write.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(ExportTest, ReasonsAreSaidOnceAsAPersonWouldSayThem)
{
    auto b = transparentEAN();
    // The folder is gone: one sentence about it, not the system's text wrapped around itself.
    const std::string folderPath = file("gone");
    auto missing
        = BarcodeExporter::exportBarcode(b, long(ExportFileType::PNG), 300, 0, fnd::String(folderPath + "/a.png"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(
        missing.error().localizedFailureReason().utf8(), "The folder \u201c" + folderPath + "\u201d doesn't exist.");

    // Too many pixels: how many, and what to change. An EAN-13 of 0.33 mm modules is 95 modules and quiet zones
    // wide, so at 10,000,000 dpi it is far beyond any bitmap.
    auto huge = BarcodeExporter::exportBarcode(b, long(ExportFileType::PNG), 1e7, 0, fnd::String(file("huge.png")));
    ASSERT_FALSE(huge);
    const auto reason = huge.error().localizedFailureReason().utf8();
    EXPECT_EQ(reason.find("At 10,000,000 dpi the image would be "), 0u) << reason;
    EXPECT_NE(reason.find(" pixels"), std::string::npos) << reason;
    EXPECT_NE(reason.find("Lower the resolution or the module width."), std::string::npos) << reason;
    // Said once: the alert's first line names the file, the second gives this reason alone.
    EXPECT_EQ(huge.error().localizedDescription().utf8().find("pixels"), std::string::npos);

    // Pixel counts beyond any integer are told as they are, not as whatever their conversion to one gives.
    const gfx::Size area = b->workAreaSize();
    for (double dpi : { 1e20, 1e300 }) {
        auto vast = BarcodeExporter::exportBarcode(b, long(ExportFileType::PNG), dpi, 0, fnd::String(file("v.png")));
        ASSERT_FALSE(vast) << dpi;
        const auto said = vast.error().localizedFailureReason().utf8();
        const auto from = said.find("would be "), by = said.find(" \u00d7 "), to = said.find(" pixels");
        ASSERT_TRUE(from != std::string::npos && by != std::string::npos && to != std::string::npos) << said;
        auto number = [](std::string text) {
            std::erase(text, ',');
            return std::strtod(text.c_str(), nullptr);
        };
        EXPECT_NEAR(number(said.substr(from + 9, by - from - 9)) / (area.width * dpi / 72), 1, 1e-5) << said;
        EXPECT_NEAR(number(said.substr(by + 4, to - by - 4)) / (area.height * dpi / 72), 1, 1e-5) << said;
    }
}

TEST(ExportFileNames, TheSheetProposesTheSymbologyAndContent)
{
    auto ean = apptest::makeBarcode("EAN13", "400638133393");
    EXPECT_EQ(BarcodeExporter::proposedFileName(*ean), ean->barcodeName() + " 400638133393");
    // What a file name cannot hold goes; a long content is cut without splitting a character.
    auto qr = apptest::makeBarcode("QR", "https://example.org/a/b\n");
    EXPECT_EQ(BarcodeExporter::proposedFileName(*qr), qr->barcodeName() + " https:__example.org_a_b");
    // The name and a space take the first units, the x's up to unit 58, the emoji's two units 59 and 60: cut at 60
    // units, its first half would be left alone.
    const auto qrName = qr->barcodeName().length();
    auto emoji = apptest::makeBarcode("QR", std::string(58 - qrName, 'x') + "\xF0\x9F\x98\x80 more");
    EXPECT_EQ(BarcodeExporter::proposedFileName(*emoji).length(), 59u);
    auto empty = apptest::makeBarcode("EAN13", "");
    EXPECT_EQ(BarcodeExporter::proposedFileName(*empty), empty->barcodeName());
}

TEST(ExportFileTypes, TheSheetShowsWhatEachTypeTakes)
{
    struct Case {
        long tag;
        const char* extension;
        bool resolution, colorSpaceEnabled, reset;
    };
    for (auto c : { Case { 0, "pdf", false, false, false }, Case { 1, "eps", false, false, false },
             Case { 2, "tiff", true, true, false }, Case { 3, "jpg", true, false, true },
             Case { 4, "jp2", true, false, true }, Case { 5, "png", true, false, true },
             Case { 6, "gif", true, false, true } }) {
        auto s = BarcodeExporter::settingsForFileType(c.tag);
        EXPECT_EQ(s.requiredExtension.utf8(), c.extension);
        EXPECT_EQ(s.resolutionShown, c.resolution) << c.tag;
        EXPECT_EQ(s.resolutionEnabled, c.resolution) << c.tag;
        EXPECT_EQ(s.colorSpaceShown, c.resolution) << c.tag;
        EXPECT_EQ(s.colorSpaceEnabled, c.colorSpaceEnabled) << c.tag;
        EXPECT_EQ(s.colorSpaceResetToRGB, c.reset) << c.tag;
    }
    auto other = BarcodeExporter::settingsForFileType(7);
    EXPECT_TRUE(other.requiredExtension.isEmpty());
    EXPECT_TRUE(other.resolutionShown && other.colorSpaceShown);
    EXPECT_FALSE(other.resolutionEnabled || other.colorSpaceEnabled);
}
