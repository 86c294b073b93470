#include "DecoderCheck.h"

#include "support/Command.h"

#include "platform/graphics/BitmapImageRep.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace DecoderCheck {

namespace {

bool writeGray(int width, int height, const std::function<bool(int, int)>& isDarkPixel, const std::string& path)
{
    auto bitmap = gfx::BitmapImageRep::create(width, height, gfx::BitmapLayout::RGB);
    if (!bitmap)
        return false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned v = isDarkPixel(x, y) ? 0 : 255;
            const unsigned rgb[] = { v, v, v };
            bitmap->setPixel(rgb, x, y);
        }
    }
    return bitmap->writeToFile(fnd::String(path), gfx::BitmapImageFileType::PNG).has_value();
}

// Debian's zxing-cpp module is built for the system's interpreter, whichever python3 comes first on the PATH.
constexpr const char* SystemPython = "/usr/bin/python3";

// Reads a binary PGM (argument 1) and writes the bytes of every Data Matrix symbol zxing-cpp finds in it.
constexpr const char* ZxingDataMatrixScript = R"(import sys, numpy, zxingcpp
header, size, depth, pixels = open(sys.argv[1], 'rb').read().split(b'\n', 3)
width, height = map(int, size.split())
image = numpy.frombuffer(pixels, dtype=numpy.uint8).reshape(height, width)
for symbol in zxingcpp.read_barcodes(image, formats=zxingcpp.BarcodeFormat.DataMatrix):
    sys.stdout.buffer.write(symbol.bytes)
)";

std::optional<std::string> run(const std::string& command)
{
    auto result = testsupport::runCommand(command);
    std::string out = std::move(result.output);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

}

std::string scratchPath(const std::string& name)
{
    // Tests run in parallel processes, and test runs of other checkouts beside them: the process and the test's own
    // name keep their files apart.
    auto dir = std::filesystem::temp_directory_path() / ("barcode-decoder-checks-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string owner;
    if (auto* test = ::testing::UnitTest::GetInstance()->current_test_info())
        owner = std::string(test->test_suite_name()) + "." + test->name() + "-";
    return (dir / (owner + name + ".png")).string();
}

bool renderLinear(const ModuleString& modules, const std::string& pngPath, int moduleWidth, int height, int quietModules)
{
    int width = (static_cast<int>(modules.size()) + 2 * quietModules) * moduleWidth;
    return writeGray(width, height, [&](int x, int) {
        int module = x / moduleWidth - quietModules;
        return module >= 0 && module < static_cast<int>(modules.size()) && modules[static_cast<std::size_t>(module)] == '1';
    }, pngPath);
}

bool renderMatrix(int rows, int columns, const std::function<bool(int, int)>& isDark, const std::string& pngPath,
    int moduleSize, int quietModules)
{
    int width = (columns + 2 * quietModules) * moduleSize;
    int height = (rows + 2 * quietModules) * moduleSize;
    return writeGray(width, height, [&](int x, int y) {
        int column = x / moduleSize - quietModules;
        int row = y / moduleSize - quietModules;
        return row >= 0 && row < rows && column >= 0 && column < columns && isDark(row, column);
    }, pngPath);
}

std::optional<std::string> zbarimg(const std::string& pngPath, bool raw, const std::string& options)
{
    if (!testsupport::haveTool("zbarimg"))
        return std::nullopt;
    return run(std::string("zbarimg --quiet ") + (raw ? "--raw " : "") + options + (options.empty() ? "" : " ") + "'"
        + pngPath + "' 2>/dev/null");
}

std::optional<std::string> dmtxread(const std::string& pngPath)
{
    if (!testsupport::haveTool("dmtxread"))
        return std::nullopt;
    return run("dmtxread '" + pngPath + "' 2>/dev/null");
}

std::optional<std::string> zxingDataMatrix(const std::string& pngPath)
{
    const std::string python = SystemPython;
    if (testsupport::runCommand(python + " -c 'import numpy, zxingcpp' >/dev/null 2>&1").status != 0)
        return std::nullopt;
    auto bitmap = gfx::BitmapImageRep::imageRepWithContentsOfFile(fnd::String(pngPath));
    if (!bitmap)
        return std::string("(not read: " + pngPath + ")");
    // The module takes pixel arrays, not files: the picture goes over as grey levels.
    const std::string pgmPath = pngPath + ".pgm";
    const std::string scriptPath = pngPath + ".py";
    {
        const long width = (*bitmap)->pixelsWide(), height = (*bitmap)->pixelsHigh();
        std::ofstream pgm(pgmPath, std::ios::binary);
        pgm << "P5\n" << width << ' ' << height << "\n255\n";
        std::array<unsigned, 5> samples {};
        for (long y = 0; y < height; ++y) {
            for (long x = 0; x < width; ++x) {
                (*bitmap)->getPixel(samples, x, y);
                pgm.put(static_cast<char>(samples[0]));
            }
        }
        std::ofstream(scriptPath) << ZxingDataMatrixScript;
    }
    auto read = run(python + " '" + scriptPath + "' '" + pgmPath + "' 2>/dev/null");
    std::filesystem::remove(pgmPath);
    std::filesystem::remove(scriptPath);
    return read;
}
}
