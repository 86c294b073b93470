#include "platform/foundation/files/FileManager.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/files/FileHandle.h"
#include "platform/foundation/files/InputStream.h"
#include "platform/foundation/files/Paths.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace fnd;
using testsupport::ScopedEnvironment;
using testsupport::TemporaryFolder;

namespace {

void setModificationTime(const std::string& path, time_t seconds)
{
    timespec times[2] = { { seconds, 0 }, { seconds, 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

}

TEST(Paths, XDGFoldersUseAbsoluteVariablesElseTheStandardFallbacks)
{
    ScopedEnvironment home("HOME", "/home/tester");
    struct Case {
        const char* variable;
        String (*folder)();
        const char* fallback;
    };
    const Case cases[] = {
        { "XDG_CONFIG_HOME", Paths::configHome, "/home/tester/.config" },
        { "XDG_DATA_HOME", Paths::dataHome, "/home/tester/.local/share" },
        { "XDG_STATE_HOME", Paths::stateHome, "/home/tester/.local/state" },
        { "XDG_CACHE_HOME", Paths::cacheHome, "/home/tester/.cache" },
    };
    for (const auto& c : cases) {
        {
            ScopedEnvironment unset(c.variable, std::nullopt);
            EXPECT_EQ(c.folder().utf8(), c.fallback) << c.variable << " unset";
        }
        {
            // Relative values are invalid for these variables and must not be used.
            ScopedEnvironment relative(c.variable, "relative/place");
            EXPECT_EQ(c.folder().utf8(), c.fallback) << c.variable << " relative";
        }
        {
            ScopedEnvironment absolute(c.variable, "/srv/xdg");
            EXPECT_EQ(c.folder().utf8(), "/srv/xdg") << c.variable << " absolute";
        }
    }
}

TEST(Paths, DocumentsFolderComesFromUserDirsFile)
{
    TemporaryFolder folder;
    ScopedEnvironment home("HOME", folder.path());
    ScopedEnvironment config("XDG_CONFIG_HOME", folder / "config");
    EXPECT_EQ(Paths::documentsDirectory().utf8(), folder / "Documents");

    folder.write("config/user-dirs.dirs",
        "# written by a tool\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/Papers\\\"x\"\n");
    EXPECT_EQ(Paths::documentsDirectory().utf8(), folder / "Papers\"x");

    folder.write("config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/data/docs\"\n");
    EXPECT_EQ(FileManager::defaultManager().searchPathForDirectory(SearchPathDirectory::Documents).front().utf8(),
        "/data/docs");
}

TEST(FileManager, AtomicWriteReplacesContentAndKeepsTheFileMode)
{
    TemporaryFolder folder;
    auto& files = FileManager::defaultManager();
    auto path = folder.write("prefs.plist", "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    ASSERT_TRUE(files.writeAtomically(String(path), Data::fromString("new content")));
    EXPECT_EQ(testsupport::readFile(path), "new content");
    struct stat info { };
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(*files.contentsOfDirectory(String(folder.path())), StringArray { "prefs.plist" });
}

TEST(FileManager, FailedAtomicWriteLeavesTheOldFileAndNoPartialFile)
{
    TemporaryFolder folder;
    auto& files = FileManager::defaultManager();
    auto path = folder.write("data.bin", "original");

    // A file-size limit makes the write fail half way, as a full disk would.
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto result = files.writeAtomically(String(path), Data(std::vector<std::uint8_t>(100000, 'x')));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().domain(), ErrorDomain::POSIX);
    EXPECT_EQ(result.error().code(), EFBIG);
    EXPECT_EQ(result.error().userInfo().get(ErrorKey::FilePath).stringValue().utf8(), path);
    EXPECT_EQ(testsupport::readFile(path), "original");
    EXPECT_EQ(*files.contentsOfDirectory(String(folder.path())), StringArray { "data.bin" });

    // The rename is the last step: a folder in the way makes it fail after the data was written.
    folder.write("blocked/inside", "x");
    auto blocked = files.writeAtomically(String(folder / "blocked"), Data::fromString("data"));
    EXPECT_FALSE(blocked);
    EXPECT_EQ(*files.contentsOfDirectory(String(folder.path())), (StringArray { "blocked", "data.bin" }));

    auto missingFolder = files.writeAtomically(String(folder / "absent/file"), Data::fromString("data"));
    ASSERT_FALSE(missingFolder);
    EXPECT_EQ(missingFolder.error().code(), ENOENT);
}

TEST(FileManager, DeepEnumerationGivesRelativePathsDatesAndDoesNotFollowLinkedFolders)
{
    TemporaryFolder folder;
    auto& files = FileManager::defaultManager();
    auto older = folder.write("Logs/app_1.crash", "one");
    auto newer = folder.write("Logs/sub/app_2.crash", "two");
    folder.write("Logs/other.txt", "");
    setModificationTime(older, 1'000'000'000);
    setModificationTime(newer, 1'200'000'000);
    ASSERT_EQ(symlink((folder / "Logs").c_str(), (folder / "Logs/sub/loop").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (folder / "Logs/dangling").c_str()), 0);

    auto entries = files.enumerateDirectory(String(folder / "Logs"));
    ASSERT_TRUE(entries);
    std::vector<std::string> paths;
    for (const auto& e : *entries)
        paths.push_back(e.relativePath.utf8());
    EXPECT_EQ(paths,
        (std::vector<std::string> { "app_1.crash", "dangling", "other.txt", "sub", "sub/app_2.crash", "sub/loop" }));

    auto find = [&](const std::string& p) {
        for (const auto& e : *entries) {
            if (e.relativePath.utf8() == p)
                return e.attributes;
        }
        return FileAttributes {};
    };
    EXPECT_EQ(find("app_1.crash").modificationDate.timeIntervalSince1970(), 1'000'000'000);
    EXPECT_EQ(find("sub/app_2.crash").modificationDate.timeIntervalSince1970(), 1'200'000'000);
    EXPECT_EQ(find("sub/app_2.crash").size, 3u);
    EXPECT_EQ(find("sub").type, FileType::Directory);
    EXPECT_EQ(find("sub/loop").type, FileType::Directory) << "attributes follow the link";
    EXPECT_EQ(find("dangling").type, FileType::SymbolicLink);

    auto missing = files.enumerateDirectory(String(folder / "none"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code(), ENOENT);
}

TEST(FileManager, ExistenceKindAndReading)
{
    TemporaryFolder folder;
    auto& files = FileManager::defaultManager();
    auto file = folder.write("a/file.txt", "0123456789");
    ASSERT_EQ(symlink(file.c_str(), (folder / "link").c_str()), 0);
    ASSERT_EQ(symlink("missing", (folder / "dangling").c_str()), 0);

    bool isDirectory = true;
    EXPECT_TRUE(files.fileExists(String(file), isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_TRUE(files.fileExists(String(folder / "a"), isDirectory));
    EXPECT_TRUE(isDirectory);
    EXPECT_EQ(files.typeOfItem(String(folder / "link")), FileType::Regular);
    EXPECT_FALSE(files.fileExists(String(folder / "dangling")));
    EXPECT_EQ(files.attributesOfItem(String(folder / "dangling"), FollowLinks::No)->type, FileType::SymbolicLink);

    EXPECT_EQ(files.contentsAtPath(String(file))->view(), "0123456789");
    EXPECT_EQ(files.contentsAtPath(String(file), 4)->view(), "0123");
    EXPECT_EQ(files.contentsAtPath(String(file), 2048)->view(), "0123456789");
}

TEST(FileManager, ReadingAFolderOrMissingFileIsAnError)
{
    TemporaryFolder folder;
    auto& files = FileManager::defaultManager();
    auto asFile = files.contentsAtPath(String(folder.path()));
    ASSERT_FALSE(asFile);
    EXPECT_EQ(asFile.error().code(), EISDIR);
    auto missing = files.contentsAtPath(String(folder / "none"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code(), ENOENT);
    EXPECT_NE(missing.error().localizedDescription().utf8().find("none"), std::string::npos);
}

TEST(FileManager, CreateMoveAndRemove)
{
    TemporaryFolder folder;
    auto& files = FileManager::defaultManager();
    ASSERT_TRUE(files.createDirectory(String(folder / "x/y/z")));
    ASSERT_TRUE(files.createDirectory(String(folder / "x/y/z"))) << "an existing folder is fine";
    folder.write("x/y/z/f", "1");
    EXPECT_FALSE(files.createDirectory(String(folder / "x/y/z/f/g")));
    ASSERT_TRUE(files.moveItem(String(folder / "x/y/z/f"), String(folder / "x/g")));
    EXPECT_EQ(testsupport::readFile(folder / "x/g"), "1");
    ASSERT_TRUE(files.removeItem(String(folder / "x")));
    EXPECT_FALSE(files.fileExists(String(folder / "x")));
    EXPECT_FALSE(files.removeItem(String(folder / "x")));
}

TEST(InputStream, StatusSequenceForAFileReadInChunks)
{
    TemporaryFolder folder;
    auto path = folder.write("in.csv", "abcdefghij");
    auto stream = InputStream::withFile(String(path));
    EXPECT_EQ(stream->streamStatus(), StreamStatus::NotOpen);
    std::uint8_t buffer[4];
    EXPECT_EQ(stream->read(buffer, sizeof buffer), -1) << "not open yet";
    stream->open();
    EXPECT_EQ(stream->streamStatus(), StreamStatus::Open);

    std::string text;
    std::int64_t got;
    while ((got = stream->read(buffer, sizeof buffer)) > 0) {
        text.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(got));
        EXPECT_EQ(stream->streamStatus(), StreamStatus::Open);
    }
    EXPECT_EQ(got, 0);
    EXPECT_EQ(text, "abcdefghij");
    EXPECT_EQ(stream->streamStatus(), StreamStatus::AtEnd);
    EXPECT_FALSE(stream->hasBytesAvailable());
    EXPECT_FALSE(stream->streamError());
    stream->close();
    EXPECT_EQ(stream->streamStatus(), StreamStatus::Closed);
}

TEST(InputStream, OpenAndReadFailuresLeaveAnErrorStatusAndObject)
{
    TemporaryFolder folder;
    auto missing = InputStream::withFile(String(folder / "absent"));
    missing->open();
    EXPECT_EQ(missing->streamStatus(), StreamStatus::Error);
    ASSERT_TRUE(missing->streamError());
    EXPECT_EQ(missing->streamError()->code(), ENOENT);

    // A folder opens but cannot be read.
    auto folderStream = InputStream::withFile(String(folder.path()));
    folderStream->open();
    EXPECT_EQ(folderStream->streamStatus(), StreamStatus::Open);
    std::uint8_t buffer[8];
    EXPECT_EQ(folderStream->read(buffer, sizeof buffer), -1);
    EXPECT_EQ(folderStream->streamStatus(), StreamStatus::Error);
    EXPECT_EQ(folderStream->streamError()->code(), EISDIR);

    auto memory = InputStream::withData(Data::fromString("xyz"));
    memory->open();
    EXPECT_EQ(memory->read(buffer, sizeof buffer), 3);
    EXPECT_EQ(memory->read(buffer, sizeof buffer), 0);
    EXPECT_EQ(memory->streamStatus(), StreamStatus::AtEnd);
}

TEST(FileHandle, WritesAppendsTruncatesAndRefusesUseAfterClose)
{
    TemporaryFolder folder;
    auto path = folder / "out.csv";
    EXPECT_FALSE(FileHandle::forWritingAtPath(String(path))) << "the file must exist";
    auto created = FileHandle::createForWritingAtPath(String(path));
    ASSERT_TRUE(created);
    auto handle = *created;
    ASSERT_TRUE(handle->writeData(Data::fromString("a,b\r")));
    ASSERT_TRUE(handle->writeData(Data::fromString("c,d\r")));
    ASSERT_TRUE(handle->closeFile());
    EXPECT_EQ(testsupport::readFile(path), "a,b\rc,d\r");
    EXPECT_FALSE(handle->writeData(Data::fromString("late")));
    EXPECT_FALSE(handle->closeFile());

    auto again = *FileHandle::forWritingAtPath(String(path));
    ASSERT_TRUE(again->writeData(Data::fromString("X")));
    EXPECT_EQ(*again->seekToEndOfFile(), 8u);
    ASSERT_TRUE(again->writeData(Data::fromString("e")));
    ASSERT_TRUE(again->synchronizeFile());
    EXPECT_EQ(testsupport::readFile(path), "X,b\rc,d\re");
    ASSERT_TRUE(again->truncateFileAtOffset(2));
    ASSERT_TRUE(again->writeData(Data::fromString("!")));
    EXPECT_EQ(*again->offsetInFile(), 3u);
    EXPECT_EQ(testsupport::readFile(path), "X,!");
}
