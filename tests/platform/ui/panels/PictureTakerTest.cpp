// The picture taker: effects and cropping worked out pixel by pixel, the crop rectangle drawn with the mouse, and
// whole runs of the panel with a camera played by GStreamer's test source.
#include "PanelsTestSupport.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/ui/panels/detail/FilePanelViews.h"
#include "platform/ui/panels/CameraCapture.h"
#include "platform/ui/panels/PictureTaker.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace panelstest;
using ui::PictureEffect;
namespace fs = std::filesystem;

std::uint32_t pictureTakerArgb(int a, int r, int g, int b)
{
    return std::uint32_t(a) << 24 | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

// A picture of 40 × 20 points: red on the left half, blue on the right.
std::shared_ptr<gfx::Image> halves()
{
    return gfx::Image::imageWithSize({ 40, 20 }, false, [](const gfx::Rect&) {
        gfx::Color::redColor()->setFill();
        gfx::BezierPath::fillRect({ 0, 0, 20, 20 });
        gfx::Color::blueColor()->setFill();
        gfx::BezierPath::fillRect({ 20, 0, 20, 20 });
        return true;
    });
}

std::uint32_t pixelOfPicture(const gfx::Image& image, int x, int y)
{
    auto bitmap = image.CGImageForProposedRect();
    return bitmap ? bitmap->pixelBuffer().pixel(x, y) : 0;
}

TEST(PictureEditing, EffectsWorkOnPremultipliedPixelsAndKeepAlpha)
{
    auto bitmap = gfx::BitmapImageRep::create(2, 1, gfx::BitmapLayout::ARGB32Premultiplied);
    auto apply = [&](PictureEffect effect) {
        auto pixels = bitmap->pixelBuffer();
        pixels.row(0)[0] = pictureTakerArgb(255, 255, 0, 0);
        pixels.row(0)[1] = pictureTakerArgb(128, 128, 0, 0); // half-transparent red
        ui::applyPictureEffect(*bitmap, effect);
        return std::pair { pixels.pixel(0, 0), pixels.pixel(1, 0) };
    };
    // Luma 0.299 of red; sepia rows (0.393, 0.349, 0.272) of red; the inverse of red is cyan.
    EXPECT_EQ(apply(PictureEffect::Greyscale),
        std::pair(pictureTakerArgb(255, 76, 76, 76), pictureTakerArgb(128, 38, 38, 38)));
    EXPECT_EQ(
        apply(PictureEffect::Sepia), std::pair(pictureTakerArgb(255, 100, 89, 69), pictureTakerArgb(128, 50, 45, 35)));
    EXPECT_EQ(apply(PictureEffect::Invert),
        std::pair(pictureTakerArgb(255, 0, 255, 255), pictureTakerArgb(128, 0, 128, 128)));
    EXPECT_EQ(
        apply(PictureEffect::None), std::pair(pictureTakerArgb(255, 255, 0, 0), pictureTakerArgb(128, 128, 0, 0)));
}

TEST(PictureEditing, CroppingKeepsThePartAndScalingSizesIt)
{
    auto picture = halves();
    // The right half at half its size: 10 × 10 of blue.
    auto right = ui::editedPicture(*picture, gfx::Rect { 20, 0, 20, 20 }, 0.5, PictureEffect::None);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->size(), gfx::Size(10, 10));
    EXPECT_EQ(pixelOfPicture(*right, 0, 0), pictureTakerArgb(255, 0, 0, 255));
    EXPECT_EQ(pixelOfPicture(*right, 9, 9), pictureTakerArgb(255, 0, 0, 255));
    // A crop reaching beyond the picture keeps what lies inside; the effect comes last.
    auto left = ui::editedPicture(*picture, gfx::Rect { -10, 5, 25, 100 }, 1, PictureEffect::Invert);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->size(), gfx::Size(15, 15));
    EXPECT_EQ(pixelOfPicture(*left, 7, 7), pictureTakerArgb(255, 0, 255, 255));
    EXPECT_EQ(ui::editedPicture(*picture, gfx::Rect { 50, 0, 10, 10 }, 1, PictureEffect::None), nullptr);
}

class PictureTakerTest : public PanelsTest {
protected:
    PictureTakerTest()
        : folder(fs::temp_directory_path() / ("picture-taker-" + std::to_string(::getpid())))
    {
        fs::create_directories(folder / "cache");
        if (const char* cache = std::getenv("XDG_CACHE_HOME"))
            savedCache = cache;
        ::setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
        auto bitmap = halves()->CGImageForProposedRect();
        EXPECT_TRUE(bitmap->writeToFile(fnd::String((folder / "halves.png").string()), gfx::BitmapImageFileType::PNG));
        taker.setAllowsEditing(false);
        taker.setShowsEffects(false);
        taker.setAllowsVideoCapture(false);
        taker.setInputImage(nullptr);
    }
    ~PictureTakerTest() override
    {
        ui::CameraCapture::setSourceDescription({});
        fnd::UserDefaults::standardUserDefaults().removeObjectForKey(ui::PictureTaker::RecentPicturesKey);
        if (savedCache)
            ::setenv("XDG_CACHE_HOME", savedCache->c_str(), 1);
        else
            ::unsetenv("XDG_CACHE_HOME");
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Runs the taker on the window; the code its handler got is kept in `ended`.
    void begin()
    {
        ended.reset();
        taker.beginPictureTakerSheetForWindow(window, [this](long code) { ended = code; });
        ASSERT_NE(taker.panel(), nullptr);
    }
    void press(long button)
    {
        taker.panel()->performScriptedAnswer(ui::PanelAnswer::pressing(button));
        settle();
    }
    void choose(const char* name)
    {
        taker.panel()->setDirectory(fnd::String(folder.string()));
        auto list = taker.panel()->fileList();
        list->selectRows({ std::size_t(list->rowOfName(name)) });
    }

    fs::path folder;
    std::optional<std::string> savedCache;
    std::optional<long> ended;
    ui::PictureTaker& taker = *ui::PictureTaker::sharedPictureTaker();
};

TEST_F(PictureTakerTest, WithoutOptionsThePanelOffersFilesAndThePictureComesUntouched)
{
    begin();
    EXPECT_EQ(taker.effectsMenu(), nullptr);
    EXPECT_EQ(taker.sizeSlider(), nullptr);
    EXPECT_EQ(taker.snapshotButton(), nullptr);
    EXPECT_FALSE(taker.preview()->isEditable());
    choose("halves.png");
    EXPECT_EQ(taker.preview()->image()->size(), gfx::Size(40, 20));
    press(ui::ModalResponse::OK);
    ASSERT_EQ(ended, ui::ModalResponse::OK);
    EXPECT_EQ(taker.outputImage()->size(), gfx::Size(40, 20));
    EXPECT_EQ(taker.recentPictures().front(), fnd::String((folder / "halves.png").string()));
}

TEST_F(PictureTakerTest, EditingKeepsTheRectangleDrawnOnThePreviewAtTheChosenSizeWithTheEffect)
{
    taker.setValueForKey(fnd::Value(true), ui::PictureTakerKey::AllowsEditing);
    taker.setValueForKey(fnd::Value(true), ui::PictureTakerKey::ShowEffects);
    begin();
    ASSERT_NE(taker.effectsMenu(), nullptr);
    ASSERT_NE(taker.sizeSlider(), nullptr);
    choose("halves.png");
    auto preview = taker.preview();
    ASSERT_TRUE(preview->isEditable());

    // The 40 × 20 picture fills the preview's 172 points less its inset: 4.3 points a picture point, 86 high.
    const gfx::Rect shown = preview->pictureRect();
    ASSERT_NEAR(shown.width(), 172, 1e-9);
    const double k = shown.width() / 40;
    auto viewPoint = [&](double x, double y) { return gfx::Point { shown.minX() + x * k, shown.minY() + y * k }; };
    auto drag = [&](gfx::Point from, gfx::Point to) {
        auto panel = taker.panel();
        backend->mouseDown(*panel, at(*preview, from));
        backend->mouseDragged(*panel, at(*preview, { (from.x + to.x) / 2, (from.y + to.y) / 2 }));
        backend->mouseUp(*panel, at(*preview, to));
        dispatch();
    };
    // Drawn from the picture's (4, 2) to (14, 12), then moved by 20 points to the right: the blue half.
    drag(viewPoint(4, 2), viewPoint(14, 12));
    ASSERT_TRUE(preview->cropRect());
    EXPECT_NEAR(preview->cropRect()->minX(), 4, 1e-6);
    EXPECT_NEAR(preview->cropRect()->height(), 10, 1e-6);
    drag(viewPoint(9, 7), viewPoint(29, 7));
    EXPECT_NEAR(preview->cropRect()->minX(), 24, 1e-6);
    EXPECT_NEAR(preview->cropRect()->width(), 10, 1e-6);
    // Moving it past the edge stops it there.
    drag(viewPoint(29, 7), viewPoint(45, 7));
    EXPECT_NEAR(preview->cropRect()->maxX(), 40, 1e-6);
    drag(viewPoint(35, 7), viewPoint(31, 7));
    EXPECT_NEAR(preview->cropRect()->minX(), 26, 1e-6);
    snapshot(*taker.panel(), "PictureTaker-editing");

    // Half the size, inverted: 5 × 5 of the inverse of blue, yellow.
    taker.sizeSlider()->setDoubleValue(50);
    taker.sizeChanged(fnd::Value(taker.sizeSlider()));
    taker.effectsMenu()->selectItemAtIndex(3);
    taker.effectChanged(fnd::Value(taker.effectsMenu()));
    EXPECT_TRUE(preview->cropRect()) << "an effect keeps the rectangle";
    EXPECT_EQ(pixelOfPicture(*preview->image(), 30, 10), pictureTakerArgb(255, 255, 255, 0)) << "the preview shows it";
    press(ui::ModalResponse::OK);
    ASSERT_EQ(ended, ui::ModalResponse::OK);
    auto output = taker.outputImage();
    EXPECT_EQ(output->size(), gfx::Size(5, 5));
    EXPECT_EQ(pixelOfPicture(*output, 2, 2), pictureTakerArgb(255, 255, 255, 0));
}

TEST_F(PictureTakerTest, ASnapshotFromTheCameraIsSavedChosenAndEdited)
{
    ui::CameraCapture::setSourceDescription(
        "videotestsrc pattern=green ! capsfilter caps=video/x-raw,width=64,height=48");
    taker.setAllowsVideoCapture(true);
    taker.setShowsEffects(true);
    begin();
    ASSERT_NE(taker.snapshotButton(), nullptr);
    EXPECT_TRUE(taker.snapshotButton()->isEnabled());
    EXPECT_TRUE(taker.cameraNote()->stringValue().isEmpty());
    taker.snapshotButton()->performClick();
    EXPECT_TRUE(taker.cameraNote()->stringValue().isEmpty()) << taker.cameraNote()->stringValue().utf8();
    // Saved as a PNG among the snapshots and selected there, so it shows and OK takes it.
    const auto snapshots = folder / "cache" / "barcodes-snapshots";
    EXPECT_EQ(taker.panel()->directory(), fnd::String(snapshots.string()));
    ASSERT_EQ(std::distance(fs::directory_iterator(snapshots), fs::directory_iterator()), 1);
    EXPECT_EQ(taker.preview()->image()->size(), gfx::Size(64, 48));
    taker.effectsMenu()->selectItemAtIndex(3);
    taker.effectChanged(fnd::Value(taker.effectsMenu()));
    press(ui::ModalResponse::OK);
    ASSERT_EQ(ended, ui::ModalResponse::OK);
    // The test source's green is (0, 255, 0); inverted, magenta.
    EXPECT_EQ(taker.outputImage()->size(), gfx::Size(64, 48));
    EXPECT_EQ(pixelOfPicture(*taker.outputImage(), 32, 24), pictureTakerArgb(255, 255, 0, 255));
    EXPECT_TRUE(taker.recentPictures().front().hasPrefix(fnd::String(snapshots.string())));

    // A camera that gives nothing says why, and nothing is chosen.
    ui::CameraCapture::setSourceDescription("nosuchgstreamerelement");
    begin();
    taker.snapshotButton()->performClick();
    EXPECT_FALSE(taker.cameraNote()->stringValue().isEmpty());
    EXPECT_NE(taker.panel()->directory(), fnd::String(snapshots.string()));
    press(ui::ModalResponse::Cancel);
    EXPECT_EQ(ended, ui::ModalResponse::Cancel);

    // Without a camera the button is off and the note says so.
    ui::CameraCapture::setSourceDescription({});
    begin();
    EXPECT_EQ(taker.snapshotButton()->isEnabled(), ui::CameraCapture::isCameraAvailable());
    if (!ui::CameraCapture::isCameraAvailable()) {
        EXPECT_EQ(taker.cameraNote()->stringValue(), fnd::String("No camera found"));
    }
    press(ui::ModalResponse::Cancel);
}

}
