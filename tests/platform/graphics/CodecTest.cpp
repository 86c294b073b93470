#include "platform/graphics/BitmapImageRep.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace gfx;
using gfx::test::haveTool;
using gfx::test::runCommand;
using gfx::test::TemporaryFolder;

namespace {

// Four vertical bands (red, sky blue, white, black) under a transparent strip at the top where the layout has
// alpha; CMYK gets four inks instead. 300 dpi.
std::shared_ptr<BitmapImageRep> makePattern(BitmapLayout layout, long width = 40, long height = 30)
{
    auto rep = BitmapImageRep::create(width, height, layout);
    const bool cmyk = layout == BitmapLayout::CMYK;
    const unsigned bands[4][4] = { { 255, 0, 0, 0 }, { 0, 128, 255, 0 }, { 255, 255, 255, 0 }, { 0, 0, 0, 255 } };
    const unsigned inks[4][4] = { { 255, 0, 0, 0 }, { 0, 128, 255, 0 }, { 0, 0, 0, 0 }, { 0, 0, 0, 255 } };
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x) {
            const unsigned* c = cmyk ? inks[x * 4 / width] : bands[x * 4 / width];
            std::vector<unsigned> px(c, c + rep->samplesPerPixel());
            if (rep->hasAlpha())
                px[3] = y < 5 ? 0 : 255;
            if (rep->hasAlpha() && y < 5 && rep->isPremultiplied())
                px = { 0, 0, 0, 0 };
            rep->setPixel(px, x, y);
        }
    rep->setSize({ width * 72.0 / 300, height * 72.0 / 300 });
    return rep;
}

// Mean and largest difference of two bitmaps, compared in the given layout.
struct Difference {
    double mean { 0 };
    unsigned max { 0 };
};

Difference compare(const BitmapImageRep& a, const BitmapImageRep& b, BitmapLayout layout)
{
    auto ca = a.converted(layout), cb = b.converted(layout);
    Difference d;
    std::vector<unsigned> pa(ca->samplesPerPixel()), pb(cb->samplesPerPixel());
    double sum = 0;
    long count = 0;
    for (long y = 0; y < a.pixelsHigh(); ++y)
        for (long x = 0; x < a.pixelsWide(); ++x) {
            ca->getPixel(pa, x, y);
            cb->getPixel(pb, x, y);
            for (std::size_t i = 0; i < pa.size(); ++i) {
                unsigned diff = pa[i] > pb[i] ? pa[i] - pb[i] : pb[i] - pa[i];
                d.max = std::max(d.max, diff);
                sum += diff;
                ++count;
            }
        }
    d.mean = sum / count;
    return d;
}

fnd::Data encode(const BitmapImageRep& rep, BitmapImageFileType type, const fnd::Dictionary& properties = {})
{
    auto data = rep.representationUsingType(type, properties);
    EXPECT_TRUE(data) << (data ? "" : data.error().localizedDescription().utf8());
    return data ? *data : fnd::Data();
}

const fnd::Dictionary LZW { { ImagePropertyKey::CompressionMethod, int(TIFFCompression::LZW) } };
const fnd::Dictionary PackBits { { ImagePropertyKey::CompressionMethod, int(TIFFCompression::PackBits) } };
const fnd::Dictionary Quality80 { { ImagePropertyKey::CompressionFactor, 0.8 } };
const fnd::Dictionary Lossless { { ImagePropertyKey::CompressionFactor, 1.0 } };

}

TEST(ImageCodecs, RoundTripThroughOurReader)
{
    struct Case {
        const char* name;
        BitmapImageFileType type;
        fnd::Dictionary properties;
        BitmapLayout source;
        BitmapLayout readBack; // layout of the decoded bitmap
        BitmapLayout compareIn;
        double meanTolerance;
        unsigned maxTolerance;
        double dpi;
    };
    using T = BitmapImageFileType;
    using L = BitmapLayout;
    const Case cases[] = {
        { "PNG RGB", T::PNG, {}, L::RGB, L::RGB, L::RGB, 0, 0, 300 },
        { "PNG RGBA", T::PNG, {}, L::RGBA, L::RGBA, L::RGBA, 0, 0, 300 },
        { "PNG from the Cairo layout", T::PNG, {}, L::ARGB32Premultiplied, L::RGBA, L::RGBA, 0, 0, 300 },
        { "PNG from CMYK", T::PNG, {}, L::CMYK, L::RGB, L::RGB, 0, 0, 300 },
        { "TIFF RGB", T::TIFF, {}, L::RGB, L::RGB, L::RGB, 0, 0, 300 },
        { "TIFF RGBA LZW", T::TIFF, LZW, L::RGBA, L::RGBAPremultiplied, L::RGBAPremultiplied, 0, 0, 300 },
        { "TIFF Cairo layout PackBits", T::TIFF, PackBits, L::ARGB32Premultiplied, L::RGBAPremultiplied,
            L::RGBAPremultiplied, 0, 0, 300 },
        { "TIFF CMYK LZW", T::TIFF, LZW, L::CMYK, L::CMYK, L::CMYK, 0, 0, 300 },
        { "JPEG RGB", T::JPEG, Quality80, L::RGB, L::RGB, L::RGB, 8, 130, 300 },
        { "JPEG RGBA flattened", T::JPEG, Quality80, L::RGBA, L::RGB, L::RGB, 8, 130, 300 },
        { "JPEG CMYK", T::JPEG, Quality80, L::CMYK, L::CMYK, L::CMYK, 8, 130, 300 },
        { "JPEG 2000 lossless RGB", T::JPEG2000, Lossless, L::RGB, L::RGB, L::RGB, 0, 0, 300 },
        { "JPEG 2000 lossless RGBA", T::JPEG2000, Lossless, L::RGBA, L::RGBA, L::RGBA, 0, 0, 300 },
        { "JPEG 2000 lossless CMYK", T::JPEG2000, Lossless, L::CMYK, L::CMYK, L::CMYK, 0, 0, 300 },
        { "JPEG 2000 at 0.8", T::JPEG2000, Quality80, L::RGB, L::RGB, L::RGB, 4, 120, 300 },
        { "GIF RGBA", T::GIF, {}, L::RGBA, L::RGBA, L::RGBAPremultiplied, 0, 0, 300 },
    };
    for (const auto& c : cases) {
        auto source = makePattern(c.source);
        fnd::Data data = encode(*source, c.type, c.properties);
        auto decoded = BitmapImageRep::imageRepWithData(data);
        ASSERT_TRUE(decoded) << c.name << ": " << decoded.error().localizedFailureReason();
        const auto& rep = **decoded;
        EXPECT_EQ(rep.layout(), c.readBack) << c.name;
        ASSERT_EQ(rep.pixelsWide(), 40) << c.name;
        ASSERT_EQ(rep.pixelsHigh(), 30) << c.name;
        EXPECT_DOUBLE_EQ(rep.resolution().width, c.dpi) << c.name;
        EXPECT_DOUBLE_EQ(rep.resolution().height, c.dpi) << c.name;
        auto d = compare(*source, rep, c.compareIn);
        EXPECT_LE(d.mean, c.meanTolerance) << c.name;
        EXPECT_LE(d.max, c.maxTolerance) << c.name;
    }
}

TEST(ImageCodecs, OddResolutionsAndSizesSurvive)
{
    // Unequal axes and a resolution that is not whole; one pixel wide images stress the codecs' edge handling.
    using T = BitmapImageFileType;
    for (auto [w, h] : { std::pair { 1L, 1L }, { 1L, 17L }, { 257L, 3L } }) {
        auto rep = makePattern(BitmapLayout::RGB, w, h);
        rep->setSize({ w * 72.0 / 600, h * 72.0 / 150.5 });
        for (auto type : writableBitmapImageFileTypes()) {
            auto decoded = BitmapImageRep::imageRepWithData(encode(*rep, type, Lossless));
            ASSERT_TRUE(decoded) << int(type) << " " << w << "x" << h;
            EXPECT_EQ((*decoded)->pixelsWide(), w);
            EXPECT_EQ((*decoded)->pixelsHigh(), h);
            EXPECT_NEAR((*decoded)->resolution().width, 600, 0.01) << int(type);
            // JFIF densities are whole numbers.
            EXPECT_NEAR((*decoded)->resolution().height, type == T::JPEG ? 151 : 150.5, 0.01) << int(type);
        }
    }
}

// The lists the fuzz target and callers draw from are what the encoder does: every type but BMP is written, every
// listed TIFF compression writes a file that reads back, and a compression left out is refused.
TEST(ImageCodecs, WritesWhatItListsAndNothingElse)
{
    using T = BitmapImageFileType;
    auto rep = makePattern(BitmapLayout::RGBA);
    const std::vector<T> listed(writableBitmapImageFileTypes().begin(), writableBitmapImageFileTypes().end());
    EXPECT_EQ(listed, (std::vector<T> { T::TIFF, T::GIF, T::JPEG, T::PNG, T::JPEG2000 }));
    for (auto type : { T::TIFF, T::BMP, T::GIF, T::JPEG, T::PNG, T::JPEG2000, T(6), T(-1) }) {
        const bool isListed = std::ranges::find(listed, type) != listed.end();
        EXPECT_EQ(rep->representationUsingType(type).has_value(), isListed) << int(type);
    }

    const std::vector<TIFFCompression> compressions(
        writableTIFFCompressions().begin(), writableTIFFCompressions().end());
    EXPECT_EQ(compressions,
        (std::vector<TIFFCompression> { TIFFCompression::None, TIFFCompression::LZW, TIFFCompression::PackBits }));
    for (auto compression : compressions) {
        auto decoded = BitmapImageRep::imageRepWithData(
            encode(*rep, T::TIFF, { { ImagePropertyKey::CompressionMethod, int(compression) } }));
        ASSERT_TRUE(decoded) << int(compression);
        EXPECT_EQ(compare(*rep, **decoded, BitmapLayout::RGBAPremultiplied).max, 0u) << int(compression);
    }
    // CCITT group 3, JPEG in TIFF, Deflate: schemes the TIFF tag knows that we do not write.
    for (int unlisted : { 2, 7, 8, 0, -1 })
        EXPECT_FALSE(rep->representationUsingType(T::TIFF, { { ImagePropertyKey::CompressionMethod, unlisted } }))
            << unlisted;
}

// A compression factor that is no number (a damaged preference, a computed ratio) is no factor: the default quality,
// not the worst one.
TEST(ImageCodecs, AFactorThatIsNoNumberGivesTheDefaultQuality)
{
    using T = BitmapImageFileType;
    auto rep = makePattern(BitmapLayout::RGB);
    const fnd::Dictionary notANumber { { ImagePropertyKey::CompressionFactor, std::nan("") } };
    for (auto type : { T::JPEG, T::JPEG2000 })
        EXPECT_EQ(encode(*rep, type, notANumber), encode(*rep, type)) << int(type);
}

// A picture whose point size is next to nothing has a resolution past what any format holds (a decoded file may say
// 10^78 dpi). Every type writes it as the highest it holds, 10^8 dpi (JPEG's density stops at 65535), and reads back
// at that: a number no integer holds was cast into one (undefined), and PNG and GIF wrote a resolution of nothing.
TEST(ImageCodecs, AResolutionPastEveryFormatIsWrittenAsTheHighestTheyHold)
{
    using T = BitmapImageFileType;
    auto rep = makePattern(BitmapLayout::RGB);
    rep->setSize({ 1e-298, 1e-298 });
    for (auto type : writableBitmapImageFileTypes()) {
        auto decoded = BitmapImageRep::imageRepWithData(encode(*rep, type, Lossless));
        ASSERT_TRUE(decoded) << int(type);
        const double highest = type == T::JPEG ? 65535 : 1e8;
        EXPECT_NEAR((*decoded)->resolution().width, highest, highest * 1e-6) << int(type);
        EXPECT_NEAR((*decoded)->resolution().height, highest, highest * 1e-6) << int(type);
    }
}

TEST(ImageCodecs, GifQuantisesRichPictures)
{
    // 64 × 64 distinct colours: more than a palette holds, so the median cut must keep every pixel close.
    auto rep = BitmapImageRep::create(64, 64, BitmapLayout::RGB);
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 64; ++x)
            rep->setPixel(std::vector<unsigned> { x * 4, y * 4, (x + y) * 2 }, x, y);
    auto decoded = BitmapImageRep::imageRepWithData(encode(*rep, BitmapImageFileType::GIF));
    ASSERT_TRUE(decoded);
    auto d = compare(*rep, **decoded, BitmapLayout::RGB);
    EXPECT_LE(d.mean, 6);
    EXPECT_LE(d.max, 24);
}

TEST(ImageCodecs, FilesReadByTheFormatsOwnTools)
{
    TemporaryFolder folder;
    {
        SCOPED_TRACE("TIFF");
        if (!haveTool("tiffinfo"))
            GTEST_SKIP() << "tiffinfo is missing (libtiff-tools)";
        auto path = folder.file("rgba.tiff");
        ASSERT_TRUE(makePattern(BitmapLayout::RGBA)->writeToFile(path, BitmapImageFileType::TIFF, LZW));
        auto info = runCommand("tiffinfo " + path);
        EXPECT_EQ(info.status, 0) << info.output;
        EXPECT_NE(info.output.find("Compression Scheme: LZW"), std::string::npos) << info.output;
        EXPECT_NE(info.output.find("Resolution: 300, 300 pixels/inch"), std::string::npos) << info.output;
        EXPECT_NE(info.output.find("assoc-alpha"), std::string::npos) << info.output;

        auto cmykPath = folder.file("cmyk.tiff");
        ASSERT_TRUE(makePattern(BitmapLayout::CMYK)->writeToFile(cmykPath, BitmapImageFileType::TIFF, LZW));
        auto cmyk = runCommand("tiffinfo " + cmykPath);
        EXPECT_NE(cmyk.output.find("Photometric Interpretation: separated"), std::string::npos) << cmyk.output;
        EXPECT_NE(cmyk.output.find("InkSet: 1"), std::string::npos) << cmyk.output;
        EXPECT_NE(cmyk.output.find("Samples/Pixel: 4"), std::string::npos) << cmyk.output;
    }
    {
        SCOPED_TRACE("PNG");
        if (!haveTool("pngcheck"))
            GTEST_SKIP() << "pngcheck is missing";
        auto path = folder.file("a.png");
        ASSERT_TRUE(makePattern(BitmapLayout::RGBA)->writeToFile(path, BitmapImageFileType::PNG));
        auto check = runCommand("pngcheck -v " + path);
        EXPECT_EQ(check.status, 0) << check.output;
        EXPECT_NE(check.output.find("11811x11811 pixels/meter (300 dpi)"), std::string::npos) << check.output;
        EXPECT_NE(check.output.find("40 x 30 image, 32-bit RGB+alpha"), std::string::npos) << check.output;
    }
    {
        SCOPED_TRACE("JPEG 2000");
        if (!haveTool("opj_decompress"))
            GTEST_SKIP() << "opj_decompress is missing (libopenjp2-tools)";
        auto source = makePattern(BitmapLayout::RGBA);
        auto path = folder.file("a.jp2");
        ASSERT_TRUE(source->writeToFile(path, BitmapImageFileType::JPEG2000, Lossless));
        auto out = folder.file("from-jp2.png");
        auto run = runCommand("opj_decompress -i " + path + " -o " + out);
        ASSERT_EQ(run.status, 0) << run.output;
        auto decoded = BitmapImageRep::imageRepWithContentsOfFile(out);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(compare(*source, **decoded, BitmapLayout::RGBA).max, 0u);
    }
    {
        SCOPED_TRACE("GIF");
        if (!haveTool("gif2rgb"))
            GTEST_SKIP() << "gif2rgb is missing (giflib-tools)";
        auto source = makePattern(BitmapLayout::RGBA);
        auto path = folder.file("a.gif");
        ASSERT_TRUE(source->writeToFile(path, BitmapImageFileType::GIF));
        auto text = runCommand("giftext " + path);
        EXPECT_EQ(text.status, 0) << text.output;
        EXPECT_NE(text.output.find("Transparency on"), std::string::npos) << text.output;
        // The resolution travels as XMP, which general metadata readers take from the application extension.
        EXPECT_NE(text.output.find("XMP DataXMP"), std::string::npos) << text.output;
        if (haveTool("exiftool")) {
            auto meta = runCommand("exiftool -s -XMP-tiff:XResolution -XMP-tiff:YResolution " + path);
            EXPECT_NE(meta.output.find("XResolution                     : 300"), std::string::npos) << meta.output;
            EXPECT_NE(meta.output.find("YResolution                     : 300"), std::string::npos) << meta.output;
        }
        auto out = folder.file("a.rgb");
        auto run = runCommand("gif2rgb -1 -o " + out + " " + path);
        ASSERT_EQ(run.status, 0) << run.output;
        std::ifstream in(out, std::ios::binary);
        std::vector<unsigned char> rgb((std::istreambuf_iterator<char>(in)), {});
        ASSERT_EQ(rgb.size(), 40u * 30 * 3);
        // Opaque rows carry the bands' colours exactly.
        std::vector<unsigned> px(4);
        for (long y = 5; y < 30; ++y)
            for (long x = 0; x < 40; ++x) {
                source->getPixel(px, x, y);
                const unsigned char* p = &rgb[(y * 40 + x) * 3];
                ASSERT_EQ((std::vector<unsigned> { p[0], p[1], p[2] }), (std::vector<unsigned> { px[0], px[1], px[2] }))
                    << x << "," << y;
            }
    }
}

TEST(ImageCodecs, JpegCarriesItsDensityInTheJfifHeader)
{
    // JFIF APP0: "JFIF\0", version, units (1 = dots per inch), X and Y density, big-endian.
    fnd::Data data = encode(*makePattern(BitmapLayout::RGB), BitmapImageFileType::JPEG, Quality80);
    auto bytes = data.view();
    auto at = bytes.find(std::string_view("JFIF\0", 5));
    ASSERT_NE(at, std::string_view::npos);
    auto u8 = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    EXPECT_EQ(u8(7), 1);
    EXPECT_EQ(u8(8) << 8 | u8(9), 300);
    EXPECT_EQ(u8(10) << 8 | u8(11), 300);
}

TEST(ImageCodecs, FailedWritesLeaveNoFile)
{
    TemporaryFolder folder;
    auto rep = makePattern(BitmapLayout::RGB);
    std::ofstream(folder.file("plain")) << "x";
    std::filesystem::create_directory(folder.path() / "a-folder");
    struct Case {
        const char* name;
        std::string path;
        BitmapImageFileType type;
    };
    const Case cases[] = {
        { "missing folder", folder.file("missing/a.png"), BitmapImageFileType::PNG },
        { "parent is a file", folder.file("plain/a.png"), BitmapImageFileType::PNG },
        { "target is a folder", folder.file("a-folder"), BitmapImageFileType::PNG },
        { "unsupported type", folder.file("a.bmp"), BitmapImageFileType::BMP },
    };
    for (const auto& c : cases) {
        auto result = rep->writeToFile(c.path, c.type);
        ASSERT_FALSE(result) << c.name;
        EXPECT_FALSE(result.error().localizedDescription().isEmpty()) << c.name;
    }
    // Only what was there before: no partial file, no temporary left behind.
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "a-folder", "plain" }));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "a-folder"));

    // A failed encode keeps the previous file as it was.
    auto kept = folder.file("kept.gif");
    ASSERT_TRUE(rep->writeToFile(kept, BitmapImageFileType::GIF));
    auto before = std::filesystem::file_size(kept);
    EXPECT_FALSE(rep->writeToFile(kept, BitmapImageFileType::BMP));
    EXPECT_EQ(std::filesystem::file_size(kept), before);
}

// XPM, read through the desktop's image library: colours by value and by name, "None" transparent. The library trusts
// the header, so one announcing more than the data holds is refused before anything is made.
TEST(ImageCodecs, XpmPicturesAreReadAndTheirHeadersChecked)
{
    auto xpm = [](std::string_view header, std::string_view rows) {
        return fnd::Data::fromString("/* XPM */\nstatic char * tiny[] = {\n/* width height colours chars */\n\""
            + std::string(header) + "\",\n\"r c red\",\n\"g c #00FF00\",\n\". c None\",\n" + std::string(rows)
            + "};\n");
    };
    auto read = BitmapImageRep::imageRepWithData(xpm("3 2 3 1", "\"rg.\",\n\".gr\""));
    ASSERT_TRUE(read) << read.error().localizedFailureReason().utf8();
    const auto& rep = **read;
    ASSERT_EQ(rep.pixelsWide(), 3);
    ASSERT_EQ(rep.pixelsHigh(), 2);
    auto rgba = [&](int x, int y) {
        const std::uint8_t* p = rep.bitmapData() + y * rep.bytesPerRow() + x * rep.bitsPerPixel() / 8;
        return std::vector<int> { p[0], p[1], p[2], p[3] };
    };
    EXPECT_EQ(rgba(0, 0), (std::vector<int> { 255, 0, 0, 255 }));
    EXPECT_EQ(rgba(1, 0), (std::vector<int> { 0, 255, 0, 255 }));
    EXPECT_EQ(rgba(2, 0)[3], 0) << "None is transparent";
    EXPECT_EQ(rgba(2, 1), (std::vector<int> { 255, 0, 0, 255 }));

    const std::pair<const char*, const char*> refused[] = {
        { "8000 8000 3 1", "\"rg.\"" }, // far more pixels than the data holds
        { "3 3 3 1", "\"rg.\",\n\".gr\"" }, // a row missing
        { "3 2 3 1", "\"rg\",\n\".gr\"" }, // a row too short
        { "3 2 9 1", "\"rg.\",\n\".gr\"" }, // colours missing (the rows stand in for them)
        { "3 2 3 0", "\"rg.\",\n\".gr\"" }, // no characters a pixel
        { "3 2 3 40", "\"rg.\",\n\".gr\"" }, { "3 two 3 1", "\"rg.\",\n\".gr\"" },
        { "3 2 3 1", "\"rg.\",\n\".gr" }, // a string never closed
    };
    for (auto [header, rows] : refused)
        EXPECT_FALSE(BitmapImageRep::imageRepWithData(xpm(header, rows))) << header << " / " << rows;
}

TEST(ImageCodecs, DamagedDataIsAnErrorNotACrash)
{
    using T = BitmapImageFileType;
    auto source = makePattern(BitmapLayout::RGBA, 64, 48);
    for (auto type : { T::PNG, T::TIFF, T::JPEG, T::JPEG2000, T::GIF }) {
        fnd::Data whole = encode(*source, type, Quality80);
        // Cut short: every format must notice that pixels are missing.
        for (double fraction : { 0.1, 0.5, 0.9 }) {
            fnd::Data cut(whole.bytes(), static_cast<std::size_t>(whole.length() * fraction));
            auto read = BitmapImageRep::imageRepWithData(cut);
            EXPECT_FALSE(read) << int(type) << " cut at " << fraction;
            // A JPEG cut inside its pixels says so, though its reader stops at the cut.
            if (!read && type == T::JPEG && fraction > 0.5) {
                EXPECT_EQ(read.error().localizedFailureReason(), fnd::String("The data ends before the image does."));
            }
        }
        // Scribbled over: an error or some picture, but never a crash or a read out of bounds.
        for (std::size_t stride : { 7u, 13u, 31u }) {
            fnd::Data scribbled = whole;
            for (std::size_t i = 16; i < scribbled.length(); i += stride)
                scribbled.mutableBytes()[i] ^= 0x5a;
            (void)BitmapImageRep::imageRepWithData(scribbled);
        }
    }
    for (std::string_view junk :
        { std::string_view(""), std::string_view("GIF89a"), std::string_view("\x89PNG\r\n\x1a\n"),
            std::string_view("II*\0\x08\0\0\0", 8), std::string_view("\xff\xd8\xff\xe0"), std::string_view("hello") }) {
        auto result = BitmapImageRep::imageRepWithData(fnd::Data::fromString(junk));
        EXPECT_FALSE(result) << junk.size();
    }
    EXPECT_FALSE(BitmapImageRep::imageRepWithContentsOfFile("/nonexistent/file.png"));
}
