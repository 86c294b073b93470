#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORImageView/ZORImageView.h"
#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentation.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/panels/PictureTaker.h"
#include "platform/ui/panels/ScriptedPanel.h"
#include "platform/ui/panels/detail/FilePanelViews.h"

#include "platform/graphics/GraphicsContext.h"
#include "support/Canvas.h"

#include <filesystem>
#include <unistd.h>

namespace imageviewtest {

std::shared_ptr<gfx::Image> filled(gfx::Size size, gfx::ColorPtr colour)
{
    auto image = gfx::Image::imageWithSize(size);
    image->lockFocus();
    gfx::GraphicsContext::current()->setFillColor(*colour);
    gfx::GraphicsContext::current()->fillRect({ {}, size });
    image->unlockFocus();
    return image;
}

class ZORImageViewTest : public viewstest::ViewsTest {
protected:
    ZORImageViewTest()
    {
        well = ZORImageView::create({ 60, 30, 120, 120 });
        add(well);
    }
    std::shared_ptr<ZORImageView> well;
};

TEST_F(ZORImageViewTest, TheImageIsScaledToFitEightPointsInsideAndCentred)
{
    well->setImage(filled({ 40, 20 }, gfx::Color::blueColor()));
    EXPECT_EQ(well->imageRect(), (gfx::Rect { 8, 34, 104, 52 }));
    auto image = snapshot("ZORImageView-image");
    const auto blue = argb(255, 0, 0, 255);
    EXPECT_EQ(pixelIn(*image, *well, { 60, 60 }), blue);
    EXPECT_EQ(pixelIn(*image, *well, { 10, 36 }), blue) << "enlarged to the inset";
    EXPECT_NE(pixelIn(*image, *well, { 60, 33.5 }), argb(255, 255, 255, 255)) << "the shadow below";
    EXPECT_EQ(pixelIn(*image, *well, { 60, 100 }), argb(255, 255, 255, 255)) << "white above";
    ASSERT_NE(well->shadow(), nullptr) << "made at the first drawing";
    EXPECT_NEAR(well->shadow()->shadowBlurRadius(), 5.520833, 1e-9);

    auto own = fnd::makeObject<gfx::Shadow>();
    own->setShadowColor(nullptr);
    well->setShadow(own);
    image = snapshot();
    EXPECT_EQ(well->shadow(), own) << "a shadow set by the caller is kept";
    EXPECT_EQ(pixelIn(*image, *well, { 60, 31.5 }), argb(255, 255, 255, 255));

    well->setImage(filled({ 300, 600 }, gfx::Color::blueColor()));
    EXPECT_EQ(well->imageRect(), (gfx::Rect { 34, 8, 52, 104 })) << "reduced to the height";
}

TEST_F(ZORImageViewTest, WithoutAnImageADashedFrameSurroundsTheText)
{
    auto image = snapshot("ZORImageView-placeholder");
    // Dashes of 10 along the top edge, 7.5 points in from the bounds: some stretches are grey, some white.
    int grey = 0, white = 0;
    for (double x = 25.5; x < 95; x += 1) {
        auto p = pixelIn(*image, *well, { x, 120 - 7.5 });
        grey += gfx::redOf(p) < 230;
        white += gfx::redOf(p) == 255;
    }
    EXPECT_GT(grey, 20);
    EXPECT_GT(white, 20);
    bool text = false;
    for (double x = 15.5; x < 105 && !text; x += 1)
        for (double y = 50.5; y < 70 && !text; y += 1)
            text = gfx::redOf(pixelIn(*image, *well, { x, y })) < 230;
    EXPECT_TRUE(text) << "the localised placeholder in the middle";

    well->setInfoText(fnd::String("Drop a picture"));
    EXPECT_TRUE(well->needsDisplay());
    auto other = snapshot("ZORImageView-info-text");
    int differing = 0;
    for (double x = 15.5; x < 105; x += 1)
        differing += pixelIn(*image, *well, { x, 60 }) != pixelIn(*other, *well, { x, 60 });
    EXPECT_GT(differing, 5);
    well->setInfoText(std::nullopt);
    auto back = snapshot();
    for (double x = 15.5; x < 105; x += 1)
        EXPECT_EQ(pixelIn(*image, *well, { x, 60 }), pixelIn(*back, *well, { x, 60 })) << "the placeholder again";
}

}

namespace imageviewtest {

// Receives the well's action.
class Receiver : public fnd::Object {
    FND_OBJECT(Receiver)
    static void describeClass(fnd::ClassBuilder<Receiver>& c) { c.action("imageChanged:", &Receiver::imageChanged); }

public:
    void imageChanged(const fnd::Value& sender) { senders.push_back(sender.objectAs<ZORImageView>()); }
    std::vector<std::shared_ptr<ZORImageView>> senders;
};
FND_REGISTER_CLASS(Receiver, fnd::Object)

class PictureTakerTest : public ZORImageViewTest {
protected:
    PictureTakerTest()
    {
        folder = std::filesystem::temp_directory_path() / ("zor-pictures-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        writePicture("red.png", gfx::Color::redColor());
        writePicture("green.png", gfx::Color::greenColor());
        well->setImage(filled({ 40, 40 }, gfx::Color::blueColor()));
        well->setTarget(receiver);
        well->setAction("imageChanged:");
    }
    ~PictureTakerTest() override
    {
        fnd::UserDefaults::standardUserDefaults().removeObjectForKey(ui::PictureTaker::RecentPicturesKey);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    void writePicture(const char* name, gfx::ColorPtr colour)
    {
        auto bitmap = filled({ 30, 20 }, colour)->CGImageForProposedRect();
        ASSERT_TRUE(bitmap->writeToFile(fnd::String((folder / name).string()), gfx::BitmapImageFileType::PNG));
    }
    fnd::String dir() const { return fnd::String(folder.string()); }
    void clickWell()
    {
        backend->mouseDown(*window, well->convertPointToView({ 60, 60 }, nullptr));
        backend->mouseUp(*window, well->convertPointToView({ 60, 60 }, nullptr));
        backend->dispatchEvents();
    }
    std::uint32_t centreOfWell() { return pixelIn(*snapshot(), *well, { 60, 60 }); }

    std::filesystem::path folder;
    std::shared_ptr<Receiver> receiver = fnd::makeObject<Receiver>();
    ui::PictureTaker& taker = *ui::PictureTaker::sharedPictureTaker();
};

TEST_F(PictureTakerTest, AChosenPictureReplacesTheImageOnADimmedWindowAndIsRemembered)
{
    clickWell();
    auto panel = taker.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(window->attachedSheet(), panel) << "a sheet on the well's window";
    EXPECT_NE(ZORSheetPresentation::presentationViewForWindow(*window), nullptr) << "dimmed meanwhile";
    EXPECT_EQ(taker.preview()->image(), well->image()) << "the current picture in the preview";
    EXPECT_EQ(panel->allowedFileTypes().front(), "png");
    // The well asks for the camera, the effects and editing.
    EXPECT_TRUE(taker.allowsVideoCapture() && taker.showsEffects() && taker.allowsEditing());
    EXPECT_NE(taker.snapshotButton(), nullptr);
    EXPECT_NE(taker.effectsMenu(), nullptr);
    EXPECT_TRUE(taker.preview()->isEditable());

    panel->setDirectory(dir());
    panel->fileList()->selectRows({ std::size_t(panel->fileList()->rowOfName("green.png")) });
    EXPECT_NE(taker.preview()->image(), well->image()) << "the selected picture previewed";
    save(*backend->imageOfWindow(*panel), "ZORImageView-picture-taker");

    panel->performScriptedAnswer(
        ui::PanelAnswer::pressing(ui::ModalResponse::OK).inFolder(dir()).selecting({ "red.png" }));
    settle();
    EXPECT_EQ(window->attachedSheet(), nullptr);
    EXPECT_EQ(centreOfWell(), argb(255, 255, 0, 0)) << "the red picture shows";
    ASSERT_EQ(receiver->senders.size(), 1u);
    EXPECT_EQ(receiver->senders[0], well);
    runFor(1.5);
    EXPECT_EQ(ZORSheetPresentation::presentationViewForWindow(*window), nullptr) << "undimmed";
    ASSERT_FALSE(taker.recentPictures().empty());
    EXPECT_EQ(taker.recentPictures().front(), fnd::String((folder / "red.png").string()));

    // The next run offers it among the recent pictures; choosing it selects it in the browser.
    clickWell();
    auto menu = taker.recentMenu();
    ASSERT_EQ(menu->numberOfItems(), 2);
    EXPECT_EQ(menu->itemAtIndex(1)->title(), "red.png");
    taker.chooseRecent(menu->itemAtIndex(1));
    EXPECT_EQ(taker.panel()->directory(), dir());
    const auto& rows = taker.panel()->fileList()->selectedRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(taker.panel()->fileList()->entries()[rows.front()].name, "red.png");
    taker.panel()->performScriptedAnswer(ui::PanelAnswer::pressing(ui::ModalResponse::Cancel));
    settle();
}

TEST_F(PictureTakerTest, CancellingChangesNothingAndAWellThatIsNotEditableOpensNothing)
{
    backend->answerNextPanel(
        ui::PanelAnswer::pressing(ui::ModalResponse::Cancel).inFolder(dir()).selecting({ "red.png" }));
    clickWell();
    settle();
    EXPECT_EQ(centreOfWell(), argb(255, 0, 0, 255));
    EXPECT_TRUE(receiver->senders.empty());
    runFor(1.5);

    well->setEditable(false);
    clickWell();
    EXPECT_EQ(window->attachedSheet(), nullptr);
    EXPECT_EQ(ZORSheetPresentation::presentationViewForWindow(*window), nullptr) << "not dimmed";

    // Without target and action the picture still changes; the click comes at once after the last sheet.
    backend->answerNextPanel(ui::PanelAnswer::pressing(ui::ModalResponse::Cancel));
    well->setEditable(true);
    clickWell();
    settle();
    well->setTarget(nullptr);
    backend->answerNextPanel(
        ui::PanelAnswer::pressing(ui::ModalResponse::OK).inFolder(dir()).selecting({ "green.png" }));
    clickWell();
    settle();
    EXPECT_EQ(centreOfWell(), argb(255, 0, 255, 0));
    EXPECT_TRUE(receiver->senders.empty());
}

}
