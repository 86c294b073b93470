// The temporary files of atomic writes: what a killed write left is taken away once nothing writes it; a file the
// writer did not make itself is never taken, whatever its name.
#include "platform/foundation/files/FileManager.h"

#include "platform/foundation/TestSupport.h"
#include "support/InterruptedAtomicWrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace fnd;
using testsupport::TemporaryFolder;

namespace {

void setUnwrittenSince(const std::string& path, time_t seconds)
{
    timespec times[2] = { { seconds, 0 }, { seconds, 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

std::vector<std::string> folderNames(const TemporaryFolder& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What a write of the target killed half way left in the folder: the name of its one temporary file.
std::string leftoverOfKilledWrite(const TemporaryFolder& folder, const std::string& target)
{
    const auto before = folderNames(folder);
    EXPECT_TRUE(testsupport::killAtomicWriteOf(INTERRUPTED_ATOMIC_WRITE, folder / target));
    std::vector<std::string> added;
    for (const auto& name : folderNames(folder))
        if (!std::ranges::binary_search(before, name))
            added.push_back(name);
    EXPECT_EQ(added.size(), 1u) << "the killed write left its temporary file";
    return added.empty() ? std::string() : added.front();
}

std::size_t sweepStale(const TemporaryFolder& folder, double minimumAge = FileManager::StaleTemporaryFileAge)
{
    auto removed = FileManager::defaultManager().removeStaleTemporaryFiles(String(folder.path()), minimumAge);
    EXPECT_TRUE(removed) << removed.error().localizedDescription().utf8();
    return removed ? *removed : 0;
}

const time_t AnHourAgo = time(nullptr) - 3600;

}

// A leftover just written may belong to a write at work elsewhere (a second copy of the program); once it has rested
// a minute it goes, unless a writer still holds it.
TEST(AtomicWriteTemporaryFiles, WhatAKilledWriteLeftGoesOnceRestedAndHeldByNoWriter)
{
    TemporaryFolder folder;
    const auto leftover = leftoverOfKilledWrite(folder, "label.png");
    EXPECT_TRUE(leftover.starts_with(".label.png.")) << leftover;
    EXPECT_EQ(sweepStale(folder), 0u);
    setUnwrittenSince(folder / leftover, AnHourAgo);

    const auto held = leftoverOfKilledWrite(folder, "held.png");
    setUnwrittenSince(folder / held, AnHourAgo);
    int holder = open((folder / held).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);

    EXPECT_EQ(sweepStale(folder), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder / leftover));
    EXPECT_TRUE(std::filesystem::exists(folder / held)) << "a writer at work keeps its file";
    close(holder);
    EXPECT_EQ(sweepStale(folder), 1u);
    EXPECT_TRUE(folderNames(folder).empty());
    EXPECT_FALSE(FileManager::defaultManager().removeStaleTemporaryFiles(String(folder / "absent")));
}

// Files a person made stay at any age, however much their names look like the writer's: the names people give
// temporary copies, the writer's own name on a file it did not make (a copy of a leftover put in its place), and a
// leftover that got a second name (a person's hard-linked backup).
TEST(AtomicWriteTemporaryFiles, APersonsFilesStayWhateverTheirNameAndAge)
{
    TemporaryFolder folder;
    const auto ours = leftoverOfKilledWrite(folder, "label.png");
    const auto copied = folder.read(ours);
    ASSERT_TRUE(std::filesystem::remove(folder / ours));
    folder.write(ours, copied);
    const auto linked = leftoverOfKilledWrite(folder, "photo.png");
    ASSERT_EQ(link((folder / linked).c_str(), (folder / "photo-backup.png").c_str()), 0);

    std::string otherTag = ours;
    otherTag.back() = otherTag.back() == '0' ? '1' : '0';
    std::string otherTarget = ours;
    otherTarget.replace(1, std::string("label.png").size(), "notes.odt");
    const std::vector<std::pair<std::string, std::string>> personal { { ".notes.txt.tmp-backup", "my notes" },
        { ".notes.odt.tmp-Ab12Cd", "draft" }, { ".label.png.tmp-Xq3Zt9", "x" }, { ".tmp-Ab12Cd", "x" },
        { otherTag, "x" }, { otherTarget, "x" }, { ours.substr(0, ours.rfind('-')), "x" } };
    for (const auto& [name, text] : personal)
        folder.write(name, text);
    const time_t tenYearsAgo = time(nullptr) - 10 * 365 * 86400;
    for (const auto& name : folderNames(folder))
        setUnwrittenSince(folder / name, tenYearsAgo);

    EXPECT_EQ(sweepStale(folder), 0u);
    EXPECT_EQ(sweepStale(folder, 0), 0u);
    for (const auto& [name, text] : personal)
        EXPECT_EQ(folder.read(name), text) << name;
    EXPECT_TRUE(folder.read(ours) == copied) << "a person's file under the writer's own name";
    EXPECT_TRUE(std::filesystem::exists(folder / linked));
    EXPECT_TRUE(std::filesystem::exists(folder / "photo-backup.png"));
}

// The temporary file's name is longer than the target's: a target as long as the file system allows still gets
// one, and what its killed write leaves is still known as the writer's own.
TEST(AtomicWriteTemporaryFiles, ATargetNamedAsLongAsTheFileSystemAllowsIsWrittenAndCleanedUpAfter)
{
    TemporaryFolder folder;
    auto& files = FileManager::defaultManager();
    const std::string longest(pathconf(folder.path().c_str(), _PC_NAME_MAX), 'n');
    auto written = files.writeAtomically(String(folder / longest), Data::fromString("data"));
    ASSERT_TRUE(written) << written.error().localizedDescription().utf8();
    EXPECT_EQ(folderNames(folder), std::vector<std::string> { longest });

    const std::string multibyte = std::string(longest.size() - 9, 'n') + "\xC3\xA9\xC3\xA9\xC3\xA9.png";
    const auto leftover = leftoverOfKilledWrite(folder, multibyte);
    EXPECT_TRUE(String(leftover).utf8() == leftover) << "cut between characters: " << leftover;
    setUnwrittenSince(folder / leftover, AnHourAgo);
    EXPECT_EQ(sweepStale(folder), 1u);
    EXPECT_EQ(folderNames(folder), std::vector<std::string> { longest });
}

// Two writers to one folder: one cleaning it (with no wait at all) while the other writes never takes the other's
// temporary file, so every write lands.
TEST(AtomicWriteTemporaryFiles, AWriteAtWorkKeepsItsTemporaryFileWhileTheFolderIsCleaned)
{
    TemporaryFolder folder;
    auto& files = FileManager::defaultManager();
    std::atomic<bool> done { false };
    std::atomic<int> failed { 0 };
    std::thread writer([&] {
        const Data data(std::vector<std::uint8_t>(256 * 1024, 'w'));
        for (int i = 0; i < 100; ++i)
            if (!files.writeAtomically(String(folder / "label.png"), data))
                ++failed;
        done = true;
    });
    long cleans = 0;
    while (!done) {
        (void)files.removeStaleTemporaryFiles(String(folder.path()), 0);
        ++cleans;
    }
    writer.join();
    EXPECT_EQ(failed, 0) << "in " << cleans << " cleans";
    EXPECT_EQ(folderNames(folder), std::vector<std::string> { "label.png" });
    EXPECT_EQ(std::filesystem::file_size(folder / "label.png"), 256u * 1024u);
}
