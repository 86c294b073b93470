#include "platform/foundation/services/Workspace.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/files/FileManager.h"
#include "support/SpecialFiles.h"

#include <gtest/gtest.h>

using namespace fnd;

namespace {

// Records what would have been opened; restores the previous hook at the end.
struct RecordingOpener {
    RecordingOpener()
    {
        previous = Workspace::sharedWorkspace().setOpener([this](const String& uri) -> Expected<void> {
            opened.push_back(uri.utf8());
            return {};
        });
    }
    ~RecordingOpener() { Workspace::sharedWorkspace().setOpener(previous); }
    Workspace::Opener previous;
    std::vector<std::string> opened;
};

}

TEST(Workspace, OpensWebAndMailAddressesThroughTheHookAndRefusesOthers)
{
    RecordingOpener opener;
    auto& workspace = Workspace::sharedWorkspace();
    const char* accepted[] = { "https://example.com/feedback", "HTTP://example.com", "ftp://files.example.com/a",
        "mailto:someone@example.com?subject=Hi%20there" };
    for (const char* url : accepted)
        EXPECT_TRUE(workspace.openURL(url)) << url;
    const char* refused[] = { "file:///usr/bin/xterm", "javascript:alert(1)", "www.example.com", "",
        "http://example.com/\nsecond", "1http://x" };
    for (const char* url : refused) {
        auto result = workspace.openURL(url);
        EXPECT_FALSE(result) << url;
    }
    EXPECT_EQ(opener.opened, (std::vector<std::string>(std::begin(accepted), std::end(accepted))));
}

TEST(Workspace, OpeningAFileHandsOverItsFileURI)
{
    RecordingOpener opener;
    testsupport::TemporaryFolder folder;
    auto path = folder.write("my barcode.pdf", "%PDF-1.4\n");
    ASSERT_TRUE(Workspace::sharedWorkspace().openFile(String(path)));
    EXPECT_FALSE(Workspace::sharedWorkspace().openFile(String(folder / "missing.pdf")));
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], "file://" + folder.path() + "/my%20barcode.pdf");
}

TEST(Workspace, TypeOfFileFromNameAndContent)
{
    testsupport::TemporaryFolder folder;
    struct Case {
        const char* name;
        std::string bytes;
        const char* type;
    };
    const Case cases[] = {
        { "export.png", "\x89PNG\r\n\x1a\n", "public.png" },
        { "export", "%PDF-1.4\n%", "com.adobe.pdf" }, // no extension: the content decides
        { "notes.txt", "plain words\n", "public.plain-text" },
        { "table.csv", "a,b\r\n", "public.comma-separated-values-text" },
        { "picture.tif", "II*\0", "public.tiff" },
        { "blob", std::string("\0\1\2\3", 4), "public.data" },
    };
    auto& workspace = Workspace::sharedWorkspace();
    for (const auto& c : cases) {
        auto path = folder.write(c.name, c.bytes);
        auto type = workspace.typeOfFile(String(path));
        ASSERT_TRUE(type) << c.name;
        EXPECT_EQ(type->utf8(), c.type) << c.name;
    }
    EXPECT_EQ(workspace.typeOfFile(String(folder.path()))->utf8(), "public.folder");
    EXPECT_FALSE(workspace.typeOfFile(String(folder / "missing")));
}

// A pipe, a socket and a device are named by their kind without being opened: opening the pipe would wait for a
// writer that never comes.
TEST(Workspace, TypeOfPipesSocketsAndDevicesWithoutOpeningThem)
{
    testsupport::WatchedSpecialFiles files("pipe.png", "socket.txt");
    ASSERT_TRUE(files.isReady());
    struct Case {
        std::string path;
        const char* type;
    };
    const Case cases[] = {
        { files.pipe(), "inode/fifo" },
        { files.socket(), "inode/socket" },
        { "/dev/null", "inode/chardevice" },
    };
    auto& workspace = Workspace::sharedWorkspace();
    for (const auto& c : cases) {
        Expected<String> type = std::unexpected(Error());
        EXPECT_TRUE(files.runBounded([&] { type = workspace.typeOfFile(String(c.path)); })) << c.path << " waited";
        ASSERT_TRUE(type) << c.path;
        EXPECT_EQ(type->utf8(), c.type) << c.path;
    }
    EXPECT_EQ(files.opened(), std::vector<std::string>()) << "nothing in the folder was opened";

    // The pipe's contents are refused by the reader of regular files rather than waited for.
    auto& manager = FileManager::defaultManager();
    EXPECT_EQ(manager.typeOfItem(String(files.pipe())), FileType::Pipe);
    EXPECT_EQ(manager.typeOfItem(String(files.socket())), FileType::Socket);
    EXPECT_EQ(manager.typeOfItem("/dev/null"), FileType::CharacterDevice);
    Expected<Data> read = Data();
    EXPECT_TRUE(files.runBounded([&] { read = manager.contentsOfRegularFileAtPath(String(files.pipe()), 4096); }));
    EXPECT_FALSE(read);
    EXPECT_FALSE(manager.contentsOfRegularFileAtPath("/dev/null", 4096));
}

TEST(Workspace, ConformanceFollowsTheMimeDatabase)
{
    struct Case {
        const char* type;
        const char* parent;
        bool conforms;
    };
    const Case cases[] = {
        { "public.png", "public.image", true },
        { "public.svg-image", "public.image", true },
        { "com.adobe.pdf", "public.image", false },
        { "com.adobe.pdf", "com.adobe.pdf", true },
        { "com.apple.quicktime-movie", "public.movie", true },
        { "public.mpeg-4", "public.movie", true },
        { "public.png", "public.movie", false },
        { "public.comma-separated-values-text", "public.text", true },
        { "public.png", "public.data", true },
        { "public.folder", "public.data", false },
        { "public.folder", "public.item", true },
        { "video/x-matroska", "public.movie", true }, // a MIME type stands for itself
        { "public.png", "no.such.type", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Workspace::typeConformsTo(c.type, c.parent), c.conforms) << c.type << " / " << c.parent;
    EXPECT_EQ(Workspace::mimeTypeForType("com.adobe.pdf").utf8(), "application/pdf");
    EXPECT_EQ(Workspace::typeForMIMEType("image/jpeg").utf8(), "public.jpeg");
    EXPECT_EQ(Workspace::typeForMIMEType("text/x-csrc").utf8(), "text/x-csrc");
}
