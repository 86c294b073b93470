#include "platform/foundation/services/Process.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/graphics/PngTextChunks.h"
#include "platform/graphics/SystemThumbnailer.h"
#include "platform/graphics/ThumbnailCache.h"
#include "platform/graphics/Thumbnailer.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utime.h>

namespace {

namespace fs = std::filesystem;
using gfx::ThumbnailCache;

fnd::Data DesktopThumbnailsPng(int width, int height, std::uint32_t argb)
{
    auto bitmap = gfx::BitmapImageRep::create(width, height, gfx::BitmapLayout::ARGB32Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap->pixelBuffer().row(y)[x] = argb;
    return *bitmap->representationUsingType(gfx::BitmapImageFileType::PNG);
}

fs::path DesktopThumbnailsFolder()
{
    std::string pattern = (fs::temp_directory_path() / "desktop-thumbnails-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
}

std::string DesktopThumbnailsText(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(PngTextChunks, TextWrittenIntoAPictureIsReadBackAndThePictureStillDecodes)
{
    auto png = DesktopThumbnailsPng(3, 2, 0xff102030);
    auto tagged = gfx::PngTextChunks::withText(png,
        { { "Thumb::URI", "file:///tmp/a%20b.txt" }, { "Thumb::MTime", "1700000000" }, { "", "no keyword" },
            { std::string(80, 'k'), "keyword too long" } });
    auto text = gfx::PngTextChunks::read(tagged);
    EXPECT_EQ(text.size(), 2u);
    EXPECT_EQ(text["Thumb::URI"], "file:///tmp/a%20b.txt");
    EXPECT_EQ(text["Thumb::MTime"], "1700000000");
    auto decoded = gfx::BitmapImageRep::imageRepWithData(tagged);
    ASSERT_TRUE(decoded);
    EXPECT_EQ((*decoded)->pixelsWide(), 3);

    // A damaged checksum ends the reading there; bytes that are no PNG have no text and are left alone.
    auto damaged = tagged;
    const_cast<std::uint8_t*>(damaged.bytes())[33 + 8 + 2] ^= 0x20; // inside the first text chunk's keyword
    EXPECT_TRUE(gfx::PngTextChunks::read(damaged).empty());
    // Nor is text put behind a damaged header, where readers would never reach it.
    auto badHeader = png;
    const_cast<std::uint8_t*>(badHeader.bytes())[20] ^= 1;
    EXPECT_EQ(gfx::PngTextChunks::withText(badHeader, { { "a", "b" } }).length(), badHeader.length());
    fnd::Data notPng("GIF89a....", 10);
    EXPECT_TRUE(gfx::PngTextChunks::read(notPng).empty());
    EXPECT_EQ(gfx::PngTextChunks::withText(notPng, { { "a", "b" } }).length(), 10u);
}

// A private desktop: XDG_CACHE_HOME, XDG_DATA_HOME and XDG_DATA_DIRS point into a temporary folder holding a
// thumbnailer of our own, a shell script that logs its arguments and writes a known picture.
class DesktopThumbnailsTest : public ::testing::Test {
protected:
    DesktopThumbnailsTest()
        : root(DesktopThumbnailsFolder())
    {
        // File types come from the system's MIME database, which GLib finds through XDG_DATA_DIRS once, at its first
        // use, and keeps: had that been while the variable named our folder, every later test of the program would
        // find no types once the folder is gone (GLib looks again a few seconds on).
        (void)gfx::Thumbnailer::mimeTypeForFileName("first.png");
        fs::create_directories(root / "system" / "thumbnailers");
        fs::create_directories(root / "data");
        fs::create_directories(root / "files");
        for (const char* name : { "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS" })
            if (const char* value = std::getenv(name))
                saved.emplace_back(name, value);
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (root / "system").c_str(), 1);
        auto picture = DesktopThumbnailsPng(300, 150, 0xff00c000);
        std::ofstream(root / "green.png", std::ios::binary)
            .write(reinterpret_cast<const char*>(picture.bytes()), std::streamsize(picture.length()));
    }
    ~DesktopThumbnailsTest() override
    {
        for (const char* name : { "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS" })
            ::unsetenv(name);
        for (const auto& [name, value] : saved)
            ::setenv(name.c_str(), value.c_str(), 1);
        std::error_code error;
        fs::remove_all(root, error);
    }

    // Installs a thumbnailer whose script runs `body` after logging "$@".
    void install(
        const std::string& name, const std::string& types, const std::string& body, const std::string& extra = {})
    {
        auto script = root / (name + ".sh");
        std::ofstream(script) << "#!/bin/sh\necho \"$@\" >> " << (root / (name + ".log")).string() << "\n"
                              << body << "\n";
        fs::permissions(script, fs::perms::owner_all);
        std::ofstream(root / "system" / "thumbnailers" / (name + ".thumbnailer"))
            << "[Thumbnailer Entry]\n"
            << extra << "Exec=" << script.string() << " -s %s %i %o %u\nMimeType=" << types << "\n";
    }
    std::vector<std::string> runs(const std::string& name)
    {
        std::vector<std::string> lines;
        std::istringstream log(DesktopThumbnailsText(root / (name + ".log")));
        for (std::string line; std::getline(log, line);)
            lines.push_back(line);
        return lines;
    }
    fnd::String file(const std::string& name, const std::string& text = "plain words")
    {
        std::ofstream(root / "files" / name) << text;
        return fnd::String((root / "files" / name).string());
    }

    fs::path root;
    std::vector<std::pair<std::string, std::string>> saved;
};

TEST_F(DesktopThumbnailsTest, CacheNamesFollowTheUriDigest)
{
    EXPECT_EQ(ThumbnailCache::uriForPath("/tmp/a b.txt"), fnd::String("file:///tmp/a%20b.txt"));
    EXPECT_EQ(ThumbnailCache::thumbnailPath("file:///home/jens/photos/me.png", ThumbnailCache::Flavour::Normal),
        fnd::String((root / "cache/thumbnails/normal/c6ee772d9e49320e97ec29a7eb5b1697.png").string()));
    EXPECT_EQ(ThumbnailCache::thumbnailPath("file:///tmp/a%20b.txt", ThumbnailCache::Flavour::XXLarge),
        fnd::String((root / "cache/thumbnails/xx-large/fa2e28cea285b7efcfe62faa3a73c4a6.png").string()));
    // The smallest size whose square holds the request.
    EXPECT_EQ(ThumbnailCache::flavourForSize({ 128, 40 }), ThumbnailCache::Flavour::Normal);
    EXPECT_EQ(ThumbnailCache::flavourForSize({ 100, 129 }), ThumbnailCache::Flavour::Large);
    EXPECT_EQ(ThumbnailCache::flavourForSize({ 512, 512 }), ThumbnailCache::Flavour::XLarge);
    EXPECT_EQ(ThumbnailCache::flavourForSize({ 4000, 10 }), ThumbnailCache::Flavour::XXLarge);
}

TEST_F(DesktopThumbnailsTest, AThumbnailOfAnotherProgramIsUsedWhileTheFileIsUnchanged)
{
    auto path = file("notes.txt");
    auto uri = ThumbnailCache::uriForPath(path);
    auto modified = *ThumbnailCache::modificationTime(path);
    auto cached = root / "cache/thumbnails/large"
        / fs::path(ThumbnailCache::thumbnailPath(uri, ThumbnailCache::Flavour::Large).utf8()).filename();
    fs::create_directories(cached.parent_path());
    auto png = gfx::PngTextChunks::withText(DesktopThumbnailsPng(256, 128, 0xff0000ff),
        { { "Thumb::URI", uri.utf8() }, { "Thumb::MTime", std::to_string(modified) } });
    std::ofstream(cached, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.bytes()), std::streamsize(png.length()));

    // A larger size serves a smaller request, fitted to it.
    auto thumbnail = gfx::Thumbnailer::thumbnailOfFile(path, { 64, 64 });
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->pixelsWide(), 64);
    EXPECT_EQ(thumbnail->pixelsHigh(), 32);
    EXPECT_EQ(gfx::blueOf(thumbnail->pixelBuffer().pixel(10, 10)), 255);

    // Once the file changes the thumbnail is stale and is not shown.
    struct utimbuf times {
        modified + 60, modified + 60
    };
    ASSERT_EQ(::utime(path.utf8().c_str(), &times), 0);
    EXPECT_FALSE(ThumbnailCache::lookup(path, ThumbnailCache::Flavour::Large));
}

TEST_F(DesktopThumbnailsTest, AnInstalledThumbnailerMakesTheThumbnailOnceAndTheCacheKeepsIt)
{
    install("texts", "text/plain;", "cp " + (root / "green.png").string() + " \"$4\"");
    auto path = file("notes.txt");
    auto thumbnail = gfx::Thumbnailer::thumbnailOfFile(path, { 100, 100 });
    ASSERT_TRUE(thumbnail);
    // The 300 x 150 picture is kept at 128 pixels in the cache and fitted to 100 for the caller.
    EXPECT_EQ(thumbnail->pixelsWide(), 100);
    EXPECT_EQ(thumbnail->pixelsHigh(), 50);
    EXPECT_EQ(gfx::greenOf(thumbnail->pixelBuffer().pixel(50, 25)), 0xc0);
    auto uri = ThumbnailCache::uriForPath(path);
    auto arguments = runs("texts");
    ASSERT_EQ(arguments.size(), 1u);
    EXPECT_TRUE(arguments[0].starts_with("-s 128 " + path.utf8() + " ")) << arguments[0];
    EXPECT_TRUE(arguments[0].ends_with(".png " + uri.utf8())) << arguments[0];

    // The cache file is the standard's: owner-only, tagged with the URI and the time, 128 pixels at most.
    auto stored = fs::path(ThumbnailCache::thumbnailPath(uri, ThumbnailCache::Flavour::Normal).utf8());
    struct stat info { };
    ASSERT_EQ(::stat(stored.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(stored.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    std::ifstream in(stored, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto text = gfx::PngTextChunks::read(fnd::Data(bytes.data(), bytes.size()));
    EXPECT_EQ(text["Thumb::URI"], uri.utf8());
    EXPECT_EQ(text["Thumb::MTime"], std::to_string(*ThumbnailCache::modificationTime(path)));
    EXPECT_EQ(text["Thumb::Mime"], "text/plain");
    EXPECT_EQ(text["Thumb::Size"], "11");
    auto kept = ThumbnailCache::lookup(path, ThumbnailCache::Flavour::Normal);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->pixelsWide(), 128);
    EXPECT_EQ(kept->pixelsHigh(), 64);

    // Asked again, the cache answers and the thumbnailer does not run.
    ASSERT_TRUE(gfx::Thumbnailer::thumbnailOfFile(path, { 100, 100 }));
    EXPECT_EQ(runs("texts").size(), 1u);
}

TEST_F(DesktopThumbnailsTest, AFailingThumbnailerIsRecordedAndTheTypesIconStands)
{
    install("broken", "text/plain;", "exit 3");
    install(
        "absent", "text/x-csrc;", "cp " + (root / "green.png").string() + " \"$4\"", "TryExec=no-such-program-here\n");
    auto path = file("notes.txt");
    (void)gfx::Thumbnailer::thumbnailOfFile(path, { 64, 64 });
    (void)gfx::Thumbnailer::thumbnailOfFile(path, { 64, 64 });
    EXPECT_EQ(runs("broken").size(), 1u);
    EXPECT_TRUE(ThumbnailCache::hasFailed(path, "barcodes"));
    EXPECT_FALSE(ThumbnailCache::lookup(path, ThumbnailCache::Flavour::Normal));
    // A changed file is tried again.
    auto modified = *ThumbnailCache::modificationTime(path);
    struct utimbuf times {
        modified + 5, modified + 5
    };
    ::utime(path.utf8().c_str(), &times);
    (void)gfx::Thumbnailer::thumbnailOfFile(path, { 64, 64 });
    EXPECT_EQ(runs("broken").size(), 2u);

    // A thumbnailer whose TryExec program is missing is never run: C source goes to the plain-text one.
    (void)gfx::Thumbnailer::thumbnailOfFile(file("main.c", "int main() {}"), { 64, 64 });
    EXPECT_TRUE(runs("absent").empty());
    EXPECT_EQ(runs("broken").size(), 3u);
    EXPECT_EQ(gfx::SystemThumbnailer::forMIMEType("text/x-csrc")->name(), fnd::String("broken"));
}

TEST_F(DesktopThumbnailsTest, ThumbnailersAreFoundByTypeWithTheUsersFolderFirst)
{
    install("texts", "text/plain;image/x-weird;", "true");
    fs::create_directories(root / "data" / "thumbnailers");
    std::ofstream(root / "data" / "thumbnailers" / "texts.thumbnailer")
        << "[Thumbnailer Entry]\nExec=/bin/true --user %o\nMimeType=text/plain;\n";
    auto all = gfx::SystemThumbnailer::installed();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(
        all[0].arguments("in", "file:///in", "out.png", 256), (fnd::StringArray { "/bin/true", "--user", "out.png" }));
    // A broader type covers its subtypes (C source is a kind of plain text).
    EXPECT_TRUE(all[0].handles("text/x-csrc"));
    EXPECT_FALSE(all[0].handles("image/png"));
    EXPECT_FALSE(gfx::SystemThumbnailer::parse(fnd::Data::fromString("[Desktop Entry]\nExec=x %o\nMimeType=a/b;\n")));
    EXPECT_FALSE(gfx::SystemThumbnailer::parse(fnd::Data::fromString("[Thumbnailer Entry]\nExec=x %o\n")));
}

TEST(ProcessTimeout, AProgramThatOverrunsIsStoppedAndReportedAsAnError)
{
    // Half a minute for a program that ends at once: a loaded machine may take seconds to start it.
    auto quick = fnd::Process::run({ "/bin/sh", "-c", "exit 4" }, std::chrono::seconds(30));
    ASSERT_TRUE(quick);
    EXPECT_EQ(*quick, 4);
    auto start = std::chrono::steady_clock::now();
    auto slow = fnd::Process::run({ "/bin/sh", "-c", "sleep 120" }, std::chrono::milliseconds(50));
    EXPECT_FALSE(slow);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60)) << "it waited for the program's end";

    // What the program started goes with it: a child left running would keep what it inherited open (the output
    // pipe of whoever ran this test) for as long as it runs.
    testsupport::TemporaryFolder folder;
    auto pidFile = folder.file("child");
    auto script = "sleep 120 & echo $! > '" + pidFile + "'; wait";
    auto parent = fnd::Process::run({ "/bin/sh", "-c", fnd::String(script) }, std::chrono::milliseconds(300));
    EXPECT_FALSE(parent);
    std::ifstream file(pidFile);
    long child = 0;
    ASSERT_TRUE(file >> child) << "the shell started no child";
    // Killed, it is reaped by whoever adopted it: gone, or a zombie until then.
    auto gone = [child] {
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string pid, name, state;
        return !(stat >> pid >> name >> state) || state == "Z";
    };
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!gone() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(gone()) << "process " << child << " still runs";
}

}
