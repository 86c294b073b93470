#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"

#include "ImageTestSupport.h"
#include "support/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

using namespace gfx;
namespace fs = std::filesystem;

namespace {

// An RGB raster read from a binary PPM.
struct Raster {
    int width { 0 }, height { 0 };
    std::vector<unsigned char> rgb;
    std::array<int, 3> at(int x, int yFromTop) const
    {
        auto i = (std::size_t(yFromTop) * width + x) * 3;
        return { rgb[i], rgb[i + 1], rgb[i + 2] };
    }
};

Raster readPPM(const fs::path& file)
{
    Raster r;
    std::ifstream in(file, std::ios::binary);
    // Header fields, with the comment lines some writers put between them passed over.
    auto field = [&in]() {
        std::string token;
        while (in >> token && token.starts_with('#'))
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        return token;
    };
    std::string magic = field();
    r.width = std::atoi(field().c_str());
    r.height = std::atoi(field().c_str());
    int maxValue = std::atoi(field().c_str());
    in.get();
    if (magic != "P6" || maxValue != 255)
        return {};
    r.rgb.resize(std::size_t(r.width) * r.height * 3);
    in.read(reinterpret_cast<char*>(r.rgb.data()), static_cast<std::streamsize>(r.rgb.size()));
    return r;
}

// A drawing with edges, curves, a hairline, an image and a gradient, in a 120 × 80 point space.
void drawScene()
{
    Color::colorWithCalibratedRed(0.2, 0.4, 0.8)->set();
    BezierPath::fillRect({ 10, 10, 40, 20 });
    Color::redColor()->set();
    BezierPath::bezierPathWithOvalInRect({ 60, 10, 50, 30 })->fill();
    Color::blackColor()->set();
    BezierPath hairline;
    hairline.moveToPoint({ 0, 60.5 });
    hairline.lineToPoint({ 120, 60.5 });
    hairline.setLineWidth(0);
    hairline.stroke();
    Gradient::gradientWithStartingColor(*Color::whiteColor(), *Color::blackColor())->drawInRect({ 10, 40, 40, 15 }, 0);
    const std::uint32_t pixels[4]
        = { argb(255, 0, 128, 0), argb(255, 0, 128, 0), argb(255, 0, 128, 0), argb(255, 0, 128, 0) };
    GraphicsContext::current()->drawImage({ reinterpret_cast<const std::uint8_t*>(pixels), 2, 2, 8 },
        { 70, 50, 20, 20 }, ZeroRect, CompositingOperation::SourceOver, 1.0);
}

// The bitmap rendering composited on white, as a PPM renderer shows it.
std::array<int, 3> onWhite(std::uint32_t p)
{
    int a = alphaOf(p);
    return { redOf(p) + 255 - a, greenOf(p) + 255 - a, blueOf(p) + 255 - a };
}

}

TEST(Documents, PdfPagesHaveTheirSizesAndRasteriseLikeTheBitmap)
{
    if (!test::haveTool("pdfinfo") || !test::haveTool("pdftoppm"))
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftoppm) is not installed";
    test::TemporaryFolder dir;
    auto pdf = GraphicsContext::createForPDF({ 120, 80 });
    {
        CurrentContextScope scope(pdf);
        drawScene();
        pdf->beginPage({ 50.5, 300 });
        Color::blackColor()->set();
        BezierPath::fillRect({ 0, 0, 10, 10 });
    }
    fs::path file = dir.path() / "scene.pdf";
    ASSERT_TRUE(pdf->writeDocumentToFile(file));

    std::string info = test::runCommand("pdfinfo -f 1 -l 2 '" + file.string() + "'").output;
    EXPECT_TRUE(std::regex_search(info, std::regex(R"(Pages: +2\n)"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex(R"(Page +1 size: +120 x 80 pts)"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex(R"(Page +2 size: +50\.5 x 300 pts)"))) << info;

    test::runCommand("pdftoppm -r 72 -f 1 -l 1 '" + file.string() + "' '" + (dir.path() / "page").string() + "'");
    fs::path ppm;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().extension() == ".ppm")
            ppm = entry.path();
    Raster raster = readPPM(ppm);
    ASSERT_EQ(raster.width, 120);
    ASSERT_EQ(raster.height, 80);

    Canvas canvas(120, 80);
    drawScene();
    // Within one pixel: each channel of the bitmap's pixel lies within the range the PDF raster shows around it
    // (edges are antialiased differently by the two rasterisers).
    int mismatches = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 120; ++x) {
            auto want = onWhite(canvas.at(x, 79 - y));
            bool ok = true;
            for (int ch = 0; ch < 3; ++ch) {
                int lo = 255, hi = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int px = std::clamp(x + dx, 0, 119), py = std::clamp(y + dy, 0, 79);
                        lo = std::min(lo, raster.at(px, py)[ch]);
                        hi = std::max(hi, raster.at(px, py)[ch]);
                    }
                ok = ok && want[ch] >= lo - 8 && want[ch] <= hi + 8;
            }
            if (!ok && ++mismatches <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " differs";
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Documents, EpsBoundingBoxIsThePage)
{
    auto eps = GraphicsContext::createForEPS({ 120, 80.4 });
    {
        CurrentContextScope scope(eps);
        // Ink in one small corner only.
        Color::blackColor()->set();
        BezierPath::fillRect({ 5, 5, 10, 10 });
    }
    auto data = eps->finishDocument();
    ASSERT_TRUE(data);
    std::string text(data->view());
    EXPECT_EQ(text.rfind("%!PS-Adobe-3.0 EPSF-3.0", 0), 0u);
    EXPECT_NE(text.find("%%BoundingBox: 0 0 120 81\n"), std::string::npos) << text.substr(0, 400);
    // Finishing again gives the same bytes, and drawing afterwards is ignored.
    {
        CurrentContextScope scope(eps);
        BezierPath::fillRect({ 0, 0, 1, 1 });
    }
    EXPECT_EQ(eps->finishDocument()->vector(), data->vector());
}

// Ghostscript, an independent reader, renders the EPS at its bounding box: the page size and the ink where drawn.
TEST(Documents, EpsRasterisesInAnIndependentReader)
{
    if (!test::haveTool("gs"))
        GTEST_SKIP() << "ghostscript (gs) is not installed";
    auto eps = GraphicsContext::createForEPS({ 120, 80 });
    {
        CurrentContextScope scope(eps);
        Color::blackColor()->set();
        BezierPath::fillRect({ 5, 5, 10, 10 });
        Color::redColor()->set();
        BezierPath::fillRect({ 100, 60, 20, 20 });
    }
    auto data = eps->finishDocument();
    ASSERT_TRUE(data);
    test::TemporaryFolder dir;
    auto file = dir.path() / "page.eps";
    std::ofstream(file, std::ios::binary).write(data->view().data(), static_cast<std::streamsize>(data->view().size()));
    auto image = dir.path() / "page.ppm";
    test::runCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=ppmraw -r72 -sOutputFile='" + image.string()
        + "' '" + file.string() + "'");
    auto raster = readPPM(image);
    ASSERT_EQ(raster.width, 120);
    ASSERT_EQ(raster.height, 80);
    struct Probe {
        int x, yFromBottom;
        std::array<int, 3> rgb;
    };
    const Probe probes[] = {
        { 10, 10, { 0, 0, 0 } },
        { 110, 70, { 255, 0, 0 } },
        { 60, 40, { 255, 255, 255 } },
        { 2, 77, { 255, 255, 255 } },
    };
    for (const auto& p : probes)
        EXPECT_EQ(raster.at(p.x, 79 - p.yFromBottom), p.rgb) << "at " << p.x << "," << p.yFromBottom;
}

TEST(Documents, FlippedPdfAndFailedWrites)
{
    if (!test::haveTool("pdftoppm"))
        GTEST_SKIP() << "poppler-utils (pdftoppm) is not installed";
    test::TemporaryFolder dir;
    auto pdf = GraphicsContext::createForPDF({ 20, 10 }, true);
    {
        CurrentContextScope scope(pdf);
        Color::blackColor()->set();
        BezierPath::fillRect({ 0, 0, 20, 2 }); // the top two rows in a flipped page
    }
    fs::path file = dir.path() / "flipped.pdf";
    ASSERT_TRUE(pdf->writeDocumentToFile(file));
    test::runCommand("pdftoppm -r 72 '" + file.string() + "' '" + (dir.path() / "f").string() + "'");
    fs::path ppm;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().extension() == ".ppm")
            ppm = entry.path();
    Raster raster = readPPM(ppm);
    ASSERT_EQ(raster.height, 10);
    EXPECT_EQ(raster.at(10, 0)[0], 0);
    EXPECT_EQ(raster.at(10, 9)[0], 255);

    // An unwritable place reports an error and leaves nothing behind.
    fs::path missing = dir.path() / "no" / "such" / "folder" / "x.pdf";
    auto result = GraphicsContext::createForPDF({ 10, 10 })->writeDocumentToFile(missing);
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().localizedDescription().utf8().find("x.pdf"), std::string::npos);
    EXPECT_FALSE(fs::exists(missing.parent_path()));
    EXPECT_FALSE(GraphicsContext::createForBitmap(2, 2)->finishDocument());
}
