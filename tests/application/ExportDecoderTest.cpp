// Every exported symbol a common reader knows is read back from the exported file with the typed content.
#include "ApplicationTestSupport.h"

#include "application/BarcodeExporter.h"

#include "support/Command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using testsupport::haveTool;
using testsupport::runCommand;

namespace {

struct Symbol {
    const char* className;
    const char* content;
    bool checksum;
    const char* read; // what the reader reports (lines in any order)
    const char* addOn = "";
    const char* zbarOptions = "";
};

const Symbol Symbols[] = {
    { "EAN13", "400638133393", true, "4006381333931" },
    { "EAN13", "400638133393", true, "12\n4006381333931", "12", "-Sean2.enable" },
    { "EAN8", "9638507", true, "96385074" },
    { "EANVelocity", "123456", true, "01234565" },
    { "UPC_A", "03600029145", true, "0036000291452" },
    { "UPC_E", "0123450", true, "01234505", "", "-Supce.enable" },
    { "ISBN13", "978316148410", true, "9783161484100" },
    { "ISSN", "031784700", true, "9770317847001" },
    { "ISMN", "26000004", true, "9790260000049" },
    { "Code128", "ABC-123 xyz", true, "ABC-123 xyz" },
    { "EAN128", "[10]12345[21]AB", true,
        "1012345\x1d"
        "21AB" },
    { "EAN18", "34001234567890123", true, "00340012345678901238" },
    { "Code39", "HELLO WORLD", false, "HELLO WORLD" },
    { "Code39FullASCII", "Mixed Case 42!", false, "M+I+X+E+D C+A+S+E 42/A" },
    { "PZN", "1234562", true, "-12345626" },
    { "Code93", "TEST93", true, "TEST93" },
    { "Codabar", "A0123456789B", false, "A0123456789B" },
    { "CodeTwoOfFiveInterleaved", "123456", false, "123456" },
    { "ITF14", "1234567890123", true, "12345678901231" },
    { "Identcode", "56310243031", true, "563102430313" },
    { "Leitcode", "1234567890123", true, "12345678901236" },
    { "OPC", "123456789", true, "1234567897" },
    { "QR", "https://example.org/path?x=1&y=2", true, "https://example.org/path?x=1&y=2" },
    { "DataMatrix", "Hello, World 123", true, "Hello, World 123" },
};

std::vector<std::string> sortedLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::shared_ptr<TBQGenericBarcode> make(const Symbol& s)
{
    auto b = apptest::makeBarcode(s.className, s.content);
    b->setCalculateChecksum(s.checksum);
    b->setContent(s.content);
    if (*s.addOn)
        b->setAddOnContent(s.addOn);
    return b;
}

// What the reader sees in a PNG, JPEG or TIFF; nullopt when the reader is missing.
std::optional<std::string> read(const Symbol& s, const std::string& path)
{
    bool matrix = std::string(s.className) == "DataMatrix";
    const char* tool = matrix ? "dmtxread" : "zbarimg";
    if (!haveTool(tool))
        return std::nullopt;
    auto command = matrix ? "dmtxread '" + path + "' 2>/dev/null"
                          : "zbarimg --quiet --raw " + std::string(s.zbarOptions) + " '" + path + "' 2>/dev/null";
    return runCommand(command).output;
}

class ExportDecoder : public ::testing::Test {
protected:
    ExportDecoder()
        : folder(apptest::scratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
    }
    ~ExportDecoder() override { std::filesystem::remove_all(folder); }

    // Exports every symbol as the file type, turns the file into what the reader takes, and reads it.
    void readEverySymbol(ExportFileType type, const char* extension, long colorSpace = 0,
        const std::string& convert = {}, const char* convertedExtension = nullptr)
    {
        int index = 0;
        for (const auto& s : Symbols) {
            auto b = make(s);
            ASSERT_TRUE(TBQBarcodeView::errorTextOfBarcode(*b).isEmpty()) << s.className;
            auto path = (folder / (std::to_string(index) + "-" + s.className + "." + extension)).string();
            ++index;
            auto written = BarcodeExporter::exportBarcode(b, long(type), 300, colorSpace, fnd::String(path));
            ASSERT_TRUE(written) << s.className << ": " << written.error().localizedDescription().utf8();
            std::string readable = path;
            if (!convert.empty()) {
                readable = path + "." + convertedExtension;
                auto run = runCommand(convert + " '" + path + "' '"
                    + readable.substr(0, readable.size() - (std::string(convertedExtension) == "png" ? 4 : 0))
                    + "' 2>&1");
                ASSERT_EQ(run.status, 0) << run.output;
            }
            auto seen = read(s, readable);
            if (!seen)
                GTEST_SKIP() << "zbarimg or dmtxread is missing";
            EXPECT_EQ(sortedLines(*seen), sortedLines(s.read))
                << s.className << " \"" << s.content << "\" from " << readable;
        }
    }

    std::filesystem::path folder;
};

}

TEST_F(ExportDecoder, FromPNG)
{
    readEverySymbol(ExportFileType::PNG, "png");
}

TEST_F(ExportDecoder, FromTIFF)
{
    readEverySymbol(ExportFileType::TIFF, "tiff");
}

TEST_F(ExportDecoder, FromJPEG)
{
    readEverySymbol(ExportFileType::JPEG, "jpg");
}

TEST_F(ExportDecoder, FromCMYKTIFFThroughTheLibtiffConverter)
{
    if (!haveTool("tiff2rgba"))
        GTEST_SKIP() << "tiff2rgba is missing (libtiff-tools)";
    readEverySymbol(ExportFileType::TIFF, "tiff", 1, "tiff2rgba", "rgba.tiff");
}

TEST_F(ExportDecoder, FromPDFRasterisedByPoppler)
{
    if (!haveTool("pdftoppm"))
        GTEST_SKIP() << "pdftoppm is missing (poppler-utils)";
    // pdftoppm -singlefile writes <root>.png.
    readEverySymbol(ExportFileType::PDF, "pdf", 0, "pdftoppm -r 300 -png -singlefile", "png");
}

// Plain Interleaved 2 of 5 pairs its digits: an odd count (here the content and its check digit 8) begins with a
// "0" in the bars, and the caption shows it.
TEST_F(ExportDecoder, AnInterleavedCaptionShowsWhatTheBarsHold)
{
    const Symbol odd { "CodeTwoOfFiveInterleaved", "1234", true, "012348" };
    auto b = make(odd);
    auto path = (folder / "interleaved.png").string();
    auto written = BarcodeExporter::exportBarcode(b, long(ExportFileType::PNG), 300, 0, fnd::String(path));
    ASSERT_TRUE(written) << written.error().localizedDescription().utf8();
    auto seen = read(odd, path);
    if (!seen)
        GTEST_SKIP() << "zbarimg is missing";
    EXPECT_EQ(sortedLines(*seen), sortedLines(odd.read));
    EXPECT_EQ(b->caption().utf8(), odd.read);
}
