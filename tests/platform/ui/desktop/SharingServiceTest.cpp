// Sharing services over a desktop of our own: applications' desktop entries in a private data folder, and the
// programs they would start recorded instead of run.
#include "platform/ui/desktop/SharingService.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using ui::SharingService;
namespace fs = std::filesystem;

class RecordingSharingDelegate : public ui::SharingServiceDelegate {
public:
    void sharingServiceWillShareItems(SharingService&, const std::vector<fnd::Value>& items) override
    {
        heard.push_back("will " + std::to_string(items.size()));
    }
    void sharingServiceDidShareItems(SharingService&, const std::vector<fnd::Value>& items) override
    {
        heard.push_back("did " + std::to_string(items.size()));
    }
    void sharingServiceDidFailToShareItems(
        SharingService&, const std::vector<fnd::Value>&, const fnd::Error& e) override
    {
        heard.push_back("failed: " + e.localizedDescription().utf8());
    }
    std::vector<std::string> heard;
};

class SharingServiceTest : public ::testing::Test {
protected:
    SharingServiceTest()
        : root(fs::temp_directory_path() / ("sharing-" + std::to_string(::getpid())))
    {
        fs::create_directories(root / "data" / "applications");
        fs::create_directories(root / "system");
        // The system's MIME database stays in reach (file types are read through it); its applications do not.
        fs::create_directory_symlink("/usr/share/mime", root / "system" / "mime");
        fs::create_directories(root / "files");
        for (const char* name : { "XDG_DATA_HOME", "XDG_DATA_DIRS" })
            if (const char* value = std::getenv(name))
                saved.emplace_back(name, value);
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (root / "system").c_str(), 1);
        entry("viewer", "Picture Viewer", "viewer --new %U", "image/png;image/jpeg;");
        entry("paint", "Paint", "paint %f", "image/*;");
        entry("hidden", "Hidden Viewer", "hidden %f", "image/png;", "NoDisplay=true\n");
        entry("editor", "Editor", "editor %F", "text/plain;");
        previous = SharingService::setProgramRunner([this](const fnd::StringArray& arguments, bool wait) {
            std::string line = wait ? "wait:" : "start:";
            for (const auto& argument : arguments)
                line += " " + argument.utf8();
            commands.push_back(line);
            return fnd::Expected<int>(status);
        });
    }
    ~SharingServiceTest() override
    {
        SharingService::setProgramRunner(previous);
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_DATA_DIRS");
        for (const auto& [name, value] : saved)
            ::setenv(name.c_str(), value.c_str(), 1);
        fs::remove_all(root);
    }

    void entry(const std::string& file, const std::string& name, const std::string& exec, const std::string& types,
        const std::string& extra = {})
    {
        std::ofstream(root / "data" / "applications" / (file + ".desktop"))
            << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=" << exec << "\nMimeType=" << types << "\n"
            << extra;
    }
    // A small PNG file of the test's own.
    std::string pngFile()
    {
        auto path = (root / "files" / "dot.png").string();
        auto png = picture()->representationUsingType(gfx::BitmapImageFileType::PNG);
        EXPECT_TRUE(png);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png->bytes()), png->length());
        return path;
    }
    static std::shared_ptr<gfx::Image> picture()
    {
        return gfx::Image::imageWithSize({ 4, 4 }, false, [](const gfx::Rect& r) {
            gfx::Color::redColor()->setFill();
            gfx::BezierPath::fillRect(r);
            return true;
        });
    }
    static std::vector<std::string> titles(const std::vector<std::shared_ptr<SharingService>>& services)
    {
        std::vector<std::string> result;
        for (const auto& s : services)
            result.push_back(s->title().utf8());
        return result;
    }

    fs::path root;
    std::vector<std::pair<std::string, std::string>> saved;
    SharingService::ProgramRunner previous;
    std::vector<std::string> commands;
    int status { 0 };
};

TEST_F(SharingServiceTest, EveryKindOfItemGetsTheServicesThatTakeItAndOthersGetNone)
{
    auto file = pngFile();
    auto uri = "file://" + file;
    // A PNG: e-mail, the applications that open PNG (a parent type counts, a hidden entry does not), copy.
    EXPECT_EQ(titles(SharingService::sharingServicesForItems({ fnd::Value(fnd::String(uri)) })),
        (std::vector<std::string> { "Email", "Open With Paint", "Open With Picture Viewer", "Copy" }));
    // Text and links go by e-mail or the clipboard only.
    EXPECT_EQ(titles(SharingService::sharingServicesForItems({ fnd::Value("Hello"), fnd::Value("https://x.org") })),
        (std::vector<std::string> { "Email", "Copy" }));
    // An image travels as PNG.
    EXPECT_EQ(titles(SharingService::sharingServicesForItems({ fnd::Value(picture()) })).size(), 4u);
    EXPECT_TRUE(SharingService::sharingServicesForItems({}).empty());
    EXPECT_TRUE(SharingService::sharingServicesForItems({ fnd::Value("text"), fnd::Value(42) }).empty());

    auto services = SharingService::sharingServicesForItems({ fnd::Value(fnd::String(uri)) });
    EXPECT_TRUE(services[1]->canPerformWithItems({ fnd::Value(fnd::String(uri)) }));
    EXPECT_FALSE(services[1]->canPerformWithItems({ fnd::Value("text") })) << "an application opens files only";
}

TEST_F(SharingServiceTest, EmailPutsTextInTheBodyAndAttachesFilesAndPictures)
{
    auto file = pngFile();
    auto delegate = std::make_shared<RecordingSharingDelegate>();
    const std::vector<fnd::Value> items { fnd::Value("Look at this"), fnd::Value("https://example.org/a"),
        fnd::Value(fnd::String("file://" + file)), fnd::Value(picture()) };
    auto email = SharingService::sharingServicesForItems(items).front();
    ASSERT_EQ(email->kind(), SharingService::Kind::ComposeEmail);
    email->setDelegate(delegate);
    email->performWithItems(items);
    ASSERT_EQ(commands.size(), 1u);
    const std::string expectedStart
        = "wait: xdg-email --utf8 --body Look at this\nhttps://example.org/a --attach " + file + " --attach ";
    EXPECT_EQ(commands[0].substr(0, expectedStart.size()), expectedStart);
    // The picture was written as a PNG of its own for the mail.
    auto written = commands[0].substr(expectedStart.size());
    EXPECT_TRUE(written.ends_with("/Picture.png")) << written;
    std::ifstream png(written, std::ios::binary);
    char magic[4] {};
    png.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    fs::remove_all(fs::path(written).parent_path());
    EXPECT_EQ(delegate->heard, (std::vector<std::string> { "will 4", "did 4" }));

    // A mail program that fails is reported as a failure.
    status = 3;
    email->performWithItems({ fnd::Value("Again") });
    ASSERT_EQ(delegate->heard.size(), 4u);
    EXPECT_TRUE(delegate->heard[3].starts_with("failed: ")) << delegate->heard[3];
}

TEST_F(SharingServiceTest, ApplicationsStartWithTheirFilesAndCopyFillsTheClipboard)
{
    auto file = pngFile();
    const fnd::Value item(fnd::String("file://" + file));
    auto services = SharingService::sharingServicesForItems({ item, item });
    ASSERT_EQ(services.size(), 4u);
    // Paint takes one path (%f): started once per file; the viewer takes addresses (%U), all at once.
    services[1]->performWithItems({ item, item });
    services[2]->performWithItems({ item, item });
    EXPECT_EQ(commands,
        (std::vector<std::string> { "start: paint " + file, "start: paint " + file,
            "start: viewer --new file://" + file + " file://" + file }));

    auto general = ui::Pasteboard::generalPasteboard();
    services[3]->performWithItems({ item });
    EXPECT_EQ(general->propertyListForType(ui::PasteboardType::Filenames),
        fnd::Value(fnd::Array { fnd::Value(fnd::String(file)) }));
    auto copy = SharingService::sharingServicesForItems({ fnd::Value("Hello") }).back();
    copy->performWithItems({ fnd::Value("Hello"), fnd::Value("https://example.org") });
    EXPECT_EQ(general->stringForType(ui::PasteboardType::String), fnd::String("Hello\nhttps://example.org"));
    EXPECT_EQ(general->propertyListForType(ui::PasteboardType::URL),
        fnd::Value(fnd::Array { fnd::Value("https://example.org") }));
    copy->performWithItems({ fnd::Value(picture()) });
    auto png = general->dataForType(ui::PasteboardType::PNG);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->view().substr(1, 3), "PNG");
}

}
