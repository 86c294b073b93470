// Drags that promise files: the source writes them only when a destination names their folder, and nothing it
// answers may reach outside that folder.
#include "UiTestSupport.h"

#include "platform/foundation/TestSupport.h"

#include "platform/foundation/files/FileURL.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/DropSession.h"
#include "platform/ui/dragging/FilePromise.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <filesystem>
#include <fstream>

namespace {

// Writes each of `files` (name, then content) into the folder it is given and answers `names`.
class PromisingSource : public fnd::Object, public ui::DraggingSource {
    FND_OBJECT(PromisingSource)
public:
    std::vector<fnd::String> namesOfPromisedFilesDroppedAtDestination(const fnd::String& destination) override
    {
        destinations.push_back(destination.utf8());
        auto folder = fnd::pathOfFileURL(destination);
        for (const auto& [name, content] : files)
            if (folder)
                std::ofstream(folder->utf8() + "/" + name) << content;
        return names;
    }
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<fnd::String> names;
    std::vector<std::string> destinations;
};
FND_REGISTER_CLASS(PromisingSource, fnd::Object)

class FilePromiseTest : public uitest::UiTest {
protected:
    FilePromiseTest()
    {
        pasteboard->declareTypes({ ui::PasteboardType::String });
        pasteboard->setString("Report", ui::PasteboardType::String);
        source->files = { { "Report.txt", "rows" }, { "Notes.txt", "more" } };
        source->names = { "Report.txt", "Notes.txt" };
    }
    ui::DropSession session(std::shared_ptr<fnd::Object> from)
    {
        return ui::DropSession(
            std::make_shared<gfx::Image>(), pasteboard, std::move(from), ui::DragOperations::Copy, false);
    }

    testsupport::TemporaryFolder cache, destination;
    testsupport::ScopedEnvironment cacheHome { "XDG_CACHE_HOME", cache.path() };
    std::shared_ptr<ui::Pasteboard> pasteboard = ui::Pasteboard::pasteboardWithUniqueName();
    std::shared_ptr<PromisingSource> source = std::make_shared<PromisingSource>();
};

}

TEST_F(FilePromiseTest, TheSourceWritesIntoTheFolderTheDestinationNames)
{
    const auto url = fnd::fileURLWithPath(fnd::String(destination.path()));
    // Nothing promised yet: the source is not asked.
    EXPECT_TRUE(session(source).namesOfPromisedFilesDroppedAtDestination(url).empty());
    EXPECT_TRUE(source->destinations.empty());

    ui::declareFilePromise(*pasteboard, { "txt", "pdf" });
    EXPECT_EQ(ui::promisedFileTypes(*pasteboard), (std::vector<fnd::String> { "txt", "pdf" }));
    EXPECT_EQ(pasteboard->stringForType(ui::PasteboardType::String), fnd::String("Report")) << "the rest stays";
    auto names = session(source).namesOfPromisedFilesDroppedAtDestination(url);
    EXPECT_EQ(names, (std::vector<fnd::String> { "Report.txt", "Notes.txt" }));
    ASSERT_EQ(source->destinations, std::vector<std::string> { url.utf8() });
    EXPECT_EQ(destination.read("Report.txt"), "rows");
    EXPECT_EQ(destination.read("Notes.txt"), "more");

    // A drag from another program has no source here to ask.
    EXPECT_TRUE(session(nullptr).namesOfPromisedFilesDroppedAtDestination(url).empty());
}

TEST_F(FilePromiseTest, NamesThatLeaveTheFolderAreDropped)
{
    for (const char* name : { "a.txt", ".hidden", "...", "with space", "ü.pdf" })
        EXPECT_TRUE(ui::isPromisedFileName(fnd::String(name))) << name;
    for (const char* name : { "", ".", "..", "../up.txt", "sub/file", "/etc/passwd" })
        EXPECT_FALSE(ui::isPromisedFileName(fnd::String(name))) << name;
    EXPECT_FALSE(ui::isPromisedFileName(fnd::String(std::string("a\0b", 3))));

    ui::declareFilePromise(*pasteboard, { "txt" });
    source->names = { "Report.txt", "../Report.txt", "/tmp/Notes.txt", ".." };
    testsupport::CapturedLog log;
    auto names = session(source).namesOfPromisedFilesDroppedAtDestination(
        fnd::fileURLWithPath(fnd::String(destination.path())));
    EXPECT_EQ(names, std::vector<fnd::String> { "Report.txt" });
    EXPECT_EQ(log.lines().size(), 3u);
    EXPECT_TRUE(log.contains(fnd::LogLevel::Warning, "../Report.txt"));
}

TEST_F(FilePromiseTest, FilesForAnotherProgramGoIntoAFreshFolderEachTime)
{
    source->names.push_back("Promised but never written.txt");
    auto first = ui::fulfilFilePromiseInNewFolder(*source);
    auto second = ui::fulfilFilePromiseInNewFolder(*source);
    ASSERT_EQ(first.size(), 2u) << "only files that exist are handed on";
    ASSERT_EQ(second.size(), 2u);
    const std::filesystem::path report(first[0].utf8());
    EXPECT_EQ(report.filename(), "Report.txt");
    EXPECT_EQ(report.parent_path().parent_path(), std::filesystem::path(cache.path()) / "barcodes-drags");
    EXPECT_NE(report.parent_path(), std::filesystem::path(second[0].utf8()).parent_path());
    std::ifstream in(report);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "rows");
}
