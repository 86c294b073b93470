#include "DecoderCheck.h"

#include "support/Command.h"

#include "platform/graphics/BitmapImageRep.h"

#include <gtest/gtest.h>

#include <filesystem>

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

}
