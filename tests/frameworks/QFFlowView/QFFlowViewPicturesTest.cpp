#include "QFFlowViewTestSupport.h"

#include "support/GeneratedPictures.h"
#include "support/SpecialFiles.h"

#include "platform/foundation/files/FileURL.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/graphics/PngTextChunks.h"
#include "platform/graphics/ThumbnailCache.h"
#include "platform/ui/views/Event.h"

#include <cstdlib>
#include <fstream>

namespace flowviewtest {
namespace {

// A folder of 200 picture files in four formats browsed as file items: every item shows its own picture.
TEST_F(FlowViewTest, BrowsesAFolderOfPicturesEachShowingItsOwn)
{
    auto pictures = testsupport::generatePictureFolder(folder / "pictures", 200);
    std::vector<fnd::Value> items;
    for (const auto& picture : pictures) {
        auto path = fnd::String(picture.path.string());
        items.push_back(TestItem::create(path, fnd::fileURLWithPath(path), QFFlowViewRepresentationType::URL,
            fnd::String(picture.path.filename().string())));
    }
    useItems(items);
    ASSERT_EQ(view->numberOfItems(), 200u);

    for (std::size_t index : { std::size_t(0), std::size_t(101), std::size_t(199), std::size_t(102) }) {
        view->setSelectedIndex(index);
        settle(1);
        drainPictures();
        // Every item near the selection holds a picture of its own file.
        auto visible = view->visibleItemIndexes();
        ASSERT_GT(visible.length, 0);
        for (auto i = visible.location; i < visible.location + visible.length; ++i) {
            auto contents = view->imageLayerAtIndex(std::size_t(i))->contents();
            ASSERT_TRUE(contents) << i;
            auto middle
                = contents->pixelBuffer().pixel(int(contents->pixelsWide() / 2), int(contents->pixelsHigh() / 2));
            EXPECT_TRUE(testsupport::pixelShowsColor(middle, pictures[std::size_t(i)].rgb))
                << "item " << i << " (" << pictures[std::size_t(i)].path.filename() << ") shows " << std::hex << middle;
        }
        // And the window shows the selected one in front.
        auto image = backend->imageOfWindow(*window);
        uitest::keepSnapshot(image, ("flowview-folder-" + std::to_string(index)).c_str());
        auto r = view->rectInViewForLayer(*view->imageLayerAtIndex(index));
        auto at = windowPoint({ r.midX(), r.midY() });
        auto pixels = image->pixelBuffer();
        auto composited = pixels.pixel(int(at.x), pixels.height - 1 - int(at.y));
        EXPECT_TRUE(testsupport::pixelShowsColor(composited, pictures[index].rgb))
            << "selected " << index << " composited " << std::hex << composited;
        EXPECT_EQ(view->title(), fnd::String(pictures[index].path.filename().string()));
    }
}

// A private desktop for the pictures of files and icons: an icon theme, a thumbnailer for plain text (a script
// that copies a green picture to its output) and a thumbnail cache, all in the test's folder.
class FlowViewDesktopTest : public FlowViewTest {
protected:
    FlowViewDesktopTest()
    {
        namespace fs = std::filesystem;
        // The desktop library keeps the data folders it first reads for the whole process: it reads the real ones
        // before this private desktop, which goes with the test, stands in for them.
        (void)fnd::Workspace::sharedWorkspace().typeOfFile(fnd::String(folder.string()));
        desktop = folder / "desktop";
        fs::create_directories(desktop / "system" / "thumbnailers");
        fs::create_directory_symlink("/usr/share/mime", desktop / "system" / "mime");
        for (const char* name : { "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "HOME" })
            if (const char* value = std::getenv(name))
                saved.emplace_back(name, value);
        ::setenv("XDG_CACHE_HOME", (desktop / "cache").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (desktop / "data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (desktop / "system").c_str(), 1);
        ::setenv("HOME", desktop.c_str(), 1);
        icon("apps", "barcode-scanner", 48, 0xFFFF0000);
        icon("mimetypes", "text-plain", 48, 0xFF0000FF);
        icon("mimetypes", "application-x-generic", 48, 0xFFFFFF00);
        (void)solidBitmap(200, 100, 0xFF00C000)
            ->writeToFile(fnd::String((desktop / "green.png").string()), gfx::BitmapImageFileType::PNG);
        auto script = desktop / "text-thumbnailer.sh";
        std::ofstream(script) << "#!/bin/sh\ncp " << (desktop / "green.png").string() << " \"$2\"\n";
        fs::permissions(script, fs::perms::owner_all);
        std::ofstream(desktop / "system" / "thumbnailers" / "text.thumbnailer")
            << "[Thumbnailer Entry]\nExec=" << script.string() << " %i %o %s\nMimeType=text/plain;\n";
    }
    ~FlowViewDesktopTest() override
    {
        for (const char* name : { "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "HOME" })
            ::unsetenv(name);
        for (const auto& [name, value] : saved)
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    void icon(const char* context, const char* name, int size, std::uint32_t argb)
    {
        auto dir
            = desktop / "system" / "icons" / "hicolor" / (std::to_string(size) + "x" + std::to_string(size)) / context;
        std::filesystem::create_directories(dir);
        (void)solidBitmap(size, size, argb)
            ->writeToFile(fnd::String((dir / (std::string(name) + ".png")).string()), gfx::BitmapImageFileType::PNG);
    }
    fnd::String file(const char* name, const char* text)
    {
        std::ofstream(desktop / name) << text;
        return fnd::String((desktop / name).string());
    }
    static std::uint32_t middle(const gfx::BitmapImageRep& picture)
    {
        return picture.pixelBuffer().pixel(int(picture.pixelsWide() / 2), int(picture.pixelsHigh() / 2));
    }

    std::filesystem::path desktop;
    std::vector<std::pair<std::string, std::string>> saved;
};

TEST_F(FlowViewDesktopTest, IconReferencesArePicturedThroughTheIconTheme)
{
    namespace RT = QFFlowViewRepresentationType;
    // An icon name, a content type and an image are all icons.
    auto named = QFFlowView::newImageFromRepresentation(fnd::String("barcode-scanner"), RT::IconRef, { 32, 32 });
    ASSERT_TRUE(named);
    EXPECT_EQ(named->pixelsWide(), 32);
    EXPECT_EQ(middle(*named), 0xFFFF0000u);
    auto typed = QFFlowView::newImageFromIcon(fnd::String("text/plain"), { 24, 24 });
    ASSERT_TRUE(typed);
    EXPECT_EQ(middle(*typed), 0xFF0000FFu);
    // A type without an icon of its own takes its family's generic one.
    auto generic = QFFlowView::newImageFromIcon(fnd::String("application/x-unknown-thing"), { 24, 24 });
    ASSERT_TRUE(generic);
    EXPECT_EQ(middle(*generic), 0xFFFFFF00u);
    auto image = gfx::Image::imageWithRepresentation(solidBitmap(10, 20, 0xFF102030));
    auto drawn = QFFlowView::newImageFromRepresentation(fnd::Value(image), RT::IconRef, { 40, 40 });
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->pixelsHigh(), 20) << "an image is not enlarged past its pixels";
    EXPECT_FALSE(QFFlowView::newImageFromIcon(fnd::String("no-such-icon-anywhere"), { 24, 24 }));
    EXPECT_FALSE(QFFlowView::newImageFromIcon(fnd::String("../../etc/passwd"), { 24, 24 }));
    EXPECT_FALSE(QFFlowView::newImageFromIcon(fnd::Value(42), { 24, 24 }));

    // An icon-reference item in the view shows its icon.
    useItems({ TestItem::create("icon", fnd::String("barcode-scanner"), RT::IconRef, "Scanner") });
    drainPictures();
    auto shown = view->imageLayerAtIndex(0)->contents();
    ASSERT_TRUE(shown);
    EXPECT_EQ(middle(*shown), 0xFFFF0000u);
    EXPECT_EQ(view->uniformTypeIdentifierAtIndex(0), fnd::String("public.image"));
}

TEST_F(FlowViewDesktopTest, OtherFilesShowTheDesktopsThumbnailElseTheirTypesIcon)
{
    namespace RT = QFFlowViewRepresentationType;
    auto notes = file("notes.txt", "some words");
    auto blob = file("blob.unknownext", "\x01\x02");
    useItems({ TestItem::create("notes", fnd::fileURLWithPath(notes), RT::QuickLookPath, "Notes"),
        TestItem::create("blob", blob, RT::IconRefPath, "Blob") });
    drainPictures();
    // The selected text file shows the thumbnailer's green picture at the item size; the thumbnail is now in the
    // desktop's cache for other programs.
    auto first = view->imageLayerAtIndex(0)->contents();
    ASSERT_TRUE(first);
    EXPECT_EQ(gfx::greenOf(middle(*first)), 0xC0);
    auto uri = gfx::ThumbnailCache::uriForPath(notes);
    // The item size decides which of the cache's sizes holds it.
    int sizes = 0;
    for (auto flavour : { gfx::ThumbnailCache::Flavour::Normal, gfx::ThumbnailCache::Flavour::Large,
             gfx::ThumbnailCache::Flavour::XLarge }) {
        std::ifstream cached(gfx::ThumbnailCache::thumbnailPath(uri, flavour).utf8(), std::ios::binary);
        if (!cached.good())
            continue;
        ++sizes;
        std::string bytes((std::istreambuf_iterator<char>(cached)), std::istreambuf_iterator<char>());
        EXPECT_EQ(gfx::PngTextChunks::read(fnd::Data(bytes.data(), bytes.size()))["Thumb::URI"], uri.utf8());
    }
    EXPECT_GE(sizes, 1);
    // A file that no thumbnailer reads shows its type's icon.
    auto second = view->imageLayerAtIndex(1)->contents();
    ASSERT_TRUE(second);
    EXPECT_EQ(middle(*second), 0xFFFFFF00u);
}

// A named pipe (named as text) and a socket in the view: their type comes from their kind on the main thread, and
// their pictures from the kind's icon on the workers, even with a thumbnailer on the desktop that claims pipes;
// neither is opened, so nothing waits on the pipe for a writer.
TEST_F(FlowViewDesktopTest, PipesAndSocketsAreNeverOpened)
{
    namespace RT = QFFlowViewRepresentationType;
    std::ofstream(desktop / "system" / "thumbnailers" / "pipe.thumbnailer")
        << "[Thumbnailer Entry]\nExec=" << (desktop / "text-thumbnailer.sh").string()
        << " %i %o %s\nMimeType=inode/fifo;inode/socket;\n";
    testsupport::WatchedSpecialFiles special("pipe.txt", "socket.txt");
    ASSERT_TRUE(special.isReady());
    fnd::String pipeType, socketType;
    bool movie = true;
    EXPECT_TRUE(special.runBounded([&] {
        // Loading the items asks for their types already.
        useItems({ TestItem::create("pipe", fnd::String(special.pipe()), RT::Path, "Pipe"),
            TestItem::create(
                "socket", fnd::fileURLWithPath(fnd::String(special.socket())), RT::QuickLookPath, "Socket") });
        pipeType = view->uniformTypeIdentifierAtIndex(0);
        socketType = view->uniformTypeIdentifierAtIndex(1);
        movie = view->isMovieAtIndex(0);
        drainPictures();
    }));
    EXPECT_EQ(pipeType, fnd::String("inode/fifo"));
    EXPECT_EQ(socketType, fnd::String("inode/socket"));
    EXPECT_FALSE(movie);
    for (std::size_t i = 0; i < 2; ++i) {
        auto shown = view->imageLayerAtIndex(i)->contents();
        ASSERT_TRUE(shown) << i;
        EXPECT_NE(gfx::greenOf(middle(*shown)), 0xC0) << i << ": no thumbnailer was given it";
    }
    EXPECT_EQ(special.opened(), std::vector<std::string>());
}

// A view so tall that its item (16,900 points square) would need a bitmap of over 1 GiB: the icon shown while a
// file's picture is made (on the main thread) and the picture of a PDF page (on the queue) are made at the
// thumbnailer's bound, 4,096 pixels a side, and the layer scales them up.
TEST_F(FlowViewDesktopTest, AViewTallerThanAnyBitmapShowsBoundedPictures)
{
    namespace RT = QFFlowViewRepresentationType;
    // A scalable text icon: drawn at whatever size is asked for.
    auto scalable = desktop / "system" / "icons" / "hicolor" / "scalable" / "mimetypes";
    std::filesystem::create_directories(scalable);
    std::ofstream(scalable / "text-plain.svg") << "<svg xmlns='http://www.w3.org/2000/svg' width='48' height='48'>"
                                                  "<rect width='48' height='48' fill='#0000ff'/></svg>";
    auto page = gfx::PDFImageRep::imageRepWithData(solidPDF({ 100, 50 }, *gfx::Color::colorWithDeviceRed(1, 0, 0, 1)));
    ASSERT_TRUE(page);
    view->setFrameSize({ 800, 17000 });
    settle(1);
    ASSERT_GT(view->itemSizeForRect(view->scrollLayer()->frame()).width, 16384);
    source->items = { TestItem::create("notes", file("notes.txt", "words"), RT::Path, "Notes"),
        TestItem::create("page", fnd::Value(*page), RT::PDFPage, "Page") };
    view->reloadContent();
    ui::Transaction::flush();
    // Before the thumbnail arrives.
    auto icon = view->imageLayerAtIndex(0)->contents();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->pixelsWide(), 4096);
    EXPECT_EQ(middle(*icon), 0xFF0000FFu);

    view->setSelectedIndex(1);
    settle(1);
    drainPictures();
    auto picture = view->imageLayerAtIndex(1)->contents();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixelsWide(), 4096);
    EXPECT_EQ(picture->pixelsHigh(), 4096);
    EXPECT_EQ(view->lookupForImageUID(fnd::String("page")), picture) << "made once, at the bounded size";
}

TEST_F(FlowViewTest, TypeTableAndSizeTestFollowTheRepresentation)
{
    namespace RT = QFFlowViewRepresentationType;
    const std::map<fnd::String, fnd::String> expected { { RT::CGImage, "public.image" },
        { RT::NSImage, "public.image" }, { RT::NSBitmap, "public.image" }, { RT::IconRef, "public.image" },
        { RT::PDFPage, "com.adobe.pdf" }, { RT::QCComposition, "com.apple.quartz-composer-composition" } };
    EXPECT_EQ(QFFlowView::uniformTypesDictionary(), expected);

    // Percent of the desired size along the side the picture fits by.
    auto at = [](int w, int h, gfx::Size desired) {
        return QFFlowView::differenceForImage(solidBitmap(w, h, 0).get(), desired);
    };
    EXPECT_FLOAT_EQ(at(91, 91, { 100, 100 }), -9);
    EXPECT_FLOAT_EQ(at(90, 45, { 100, 100 }), -10);
    EXPECT_FLOAT_EQ(at(100, 50, { 200, 100 }), -50);
    EXPECT_FLOAT_EQ(at(120, 40, { 100, 100 }), 20);
    // A tall picture that fills the height is as large as it gets.
    EXPECT_FLOAT_EQ(at(50, 100, { 200, 100 }), 0);
    EXPECT_FLOAT_EQ(at(10, 10, { 0, 100 }), 0);

    // Image sources: drawn within the larger side; one without pictures gives none.
    auto source = gfx::Image::imageWithRepresentation(solidBitmap(300, 150, 0xFF00FF00));
    auto thumbnail = QFFlowView::newImageFromCGImageSource(*source, { 60, 30 });
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->pixelsWide(), 60);
    EXPECT_EQ(thumbnail->pixelsHigh(), 30);
    EXPECT_FALSE(QFFlowView::newImageFromCGImageSource(*gfx::Image::imageWithSize({ 10, 10 }), { 60, 30 }));
    EXPECT_TRUE(QFFlowView::newImageFromRepresentation(fnd::Value(source), RT::CGImageSource, { 60, 30 }));
}

// Every operation on an empty view and on a view of one item: nothing breaks, and the view shows what it has.
TEST_F(FlowViewTest, EmptyAndSingleItemViewsTakeEveryOperation)
{
    auto exercise = [&] {
        view->setSelectedIndex(0);
        view->setSelectedIndex(1);
        view->moveLeft({});
        view->moveRight({});
        gfx::Point middle { 400, 200 };
        backend->keyDown(*window, "x", ui::KeyCode::RightArrow);
        backend->keyDown(*window, "x", ui::KeyCode::LeftArrow);
        backend->scrollWheel(*window, windowPoint(middle), 0, -3);
        backend->swipe(*window, windowPoint(middle), 1, 0);
        backend->click(*window, windowPoint(middle));
        backend->click(*window, windowPoint({ 400, 10 }));
        backend->dispatchEvents();
        view->updateImages();
        for (std::size_t index : { std::size_t(0), std::size_t(1), QFFlowView::NotFound }) {
            (void)view->itemFrameAtIndex(index);
            (void)view->titleAtIndex(index);
            (void)view->uniformTypeIdentifierAtIndex(index);
            (void)view->isMovieAtIndex(index);
            view->setImage(solidBitmap(4, 4, 0xFF000000), index);
        }
        view->setFrameSize({ 300, 120 });
        view->setFrameSize({ 800, 400 });
        view->setPreviewScale(0.5);
        settle(1);
        drainPictures();
    };

    useItems({});
    exercise();
    EXPECT_EQ(view->numberOfItems(), 0u);
    EXPECT_EQ(view->selectedIndex(), QFFlowView::NotFound);
    EXPECT_EQ(view->visibleItemIndexes().length, 0);
    EXPECT_FALSE(view->itemLayerAtIndex(0));
    EXPECT_TRUE(view->scrollBarLayer()->isHidden());
    EXPECT_EQ(view->indexOfItemAtPoint({ 400, 200 }), QFFlowView::NotFound);

    useItems(bitmapItems(1));
    exercise();
    EXPECT_EQ(view->numberOfItems(), 1u);
    EXPECT_EQ(view->selectedIndex(), 0u);
    EXPECT_EQ(view->visibleItemIndexes().location, 0);
    EXPECT_EQ(view->visibleItemIndexes().length, 1);
    EXPECT_TRUE(view->scrollBarLayer()->isHidden()) << "one item hides the scroll bar";
    EXPECT_EQ(view->title(), fnd::String("Item 0"));
    // The one item faces front in the middle of the view and shows its own picture.
    auto frame = view->rectInViewForLayer(*view->imageLayerAtIndex(0));
    EXPECT_NEAR(frame.midX(), 400, 1);
    EXPECT_EQ(view->indexOfItemAtPoint({ frame.midX(), frame.midY() }), 0u);
    auto picture = view->imageLayerAtIndex(0)->contents();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixelBuffer().pixel(2, 2) & 0x00FFFFFFu, 0x28C840u);
}

}
}
