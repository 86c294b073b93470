#include "ControlsTestSupport.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/dragging/Pasteboard.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

std::shared_ptr<gfx::Image> solidImage(gfx::Size size, double r, double g, double b)
{
    auto image = gfx::Image::imageWithSize(size);
    image->lockFocus();
    auto* context = gfx::GraphicsContext::current();
    context->setFillColor(*gfx::Color::colorWithCalibratedRed(r, g, b));
    context->fillRect({ {}, size });
    image->unlockFocus();
    return image;
}

// A drop of whatever the pasteboard holds, as the drag machinery would present it.
class FakeDrop : public DraggingInfo {
public:
    explicit FakeDrop(std::shared_ptr<Pasteboard> pasteboard)
        : m_pasteboard(std::move(pasteboard))
    {
    }
    std::shared_ptr<Window> draggingDestinationWindow() const override { return nullptr; }
    DragOperation draggingSourceOperationMask() const override { return DragOperations::Copy; }
    gfx::Point draggingLocation() const override { return {}; }
    gfx::Point draggedImageLocation() const override { return {}; }
    std::shared_ptr<gfx::Image> draggedImage() const override { return nullptr; }
    std::shared_ptr<Pasteboard> draggingPasteboard() const override { return m_pasteboard; }
    std::shared_ptr<fnd::Object> draggingSource() const override { return nullptr; }
    long draggingSequenceNumber() const override { return 1; }

private:
    std::shared_ptr<Pasteboard> m_pasteboard;
};

using ImageViewTest = ControlsTest;

TEST_F(ImageViewTest, ScalingAndAlignmentPlaceTheImage)
{
    auto view = ImageView::create({ 20, 20, 120, 120 });
    view->setImage(solidImage({ 40, 20 }, 1, 0, 0));
    add(view);
    auto* cell = view->imageCell().get();
    auto bounds = view->bounds();
    struct Row {
        ImageScaling scaling;
        ImageAlignment alignment;
        gfx::Rect expected;
    };
    const Row rows[] = {
        { ImageScaling::ProportionallyDown, ImageAlignment::Center, { 40, 50, 40, 20 } },
        { ImageScaling::ProportionallyUpOrDown, ImageAlignment::Center, { 0, 30, 120, 60 } },
        { ImageScaling::AxesIndependently, ImageAlignment::Center, { 0, 0, 120, 120 } },
        { ImageScaling::None, ImageAlignment::TopLeft, { 0, 0, 40, 20 } },
        { ImageScaling::None, ImageAlignment::BottomRight, { 80, 100, 40, 20 } },
        { ImageScaling::None, ImageAlignment::Right, { 80, 50, 40, 20 } },
    };
    for (const auto& row : rows) {
        view->setImageScaling(row.scaling);
        view->setImageAlignment(row.alignment);
        EXPECT_EQ(cell->imageRectForBounds(bounds), row.expected)
            << "scaling " << int(row.scaling) << ", alignment " << int(row.alignment);
    }
    // A large image shrinks proportionally inside the photo frame's mount.
    view->setImage(solidImage({ 400, 200 }, 0, 0, 1));
    view->setImageScaling(ImageScaling::ProportionallyDown);
    view->setImageAlignment(ImageAlignment::Center);
    view->setImageFrameStyle(ImageFrameStyle::Photo);
    EXPECT_EQ(cell->imageRectForBounds(bounds), (gfx::Rect { 4, 32, 112, 56 }));

    auto image = snapshot("image-view");
    EXPECT_EQ(pixelIn(*image, *view, { 60, 60 }), argb(255, 0, 0, 255));
    EXPECT_EQ(pixelIn(*image, *view, { 60, 20 }), argb(255, 255, 255, 255)) << "the mount";
    EXPECT_NE(pixelIn(*image, *view, { 60, 0.5 }), argb(255, 255, 255, 255)) << "its edge";
}

TEST_F(ImageViewTest, EditableViewTakesPastedDroppedAndDeletedImages)
{
    auto view = ImageView::create({ 20, 20, 120, 120 });
    view->setTarget(log);
    view->setAction("clicked:");
    add(view);
    auto pasteboard = Pasteboard::generalPasteboard();
    auto source = solidImage({ 10, 10 }, 0, 1, 0);
    pasteboard->declareTypes({ PasteboardType::TIFF });
    pasteboard->setData(*source->TIFFRepresentation(), PasteboardType::TIFF);

    view->paste({});
    EXPECT_FALSE(view->image()) << "a view that is not editable takes nothing";
    EXPECT_FALSE(view->acceptsFirstResponder());
    FakeDrop drop(pasteboard);
    EXPECT_EQ(view->draggingEntered(drop), DragOperations::None);

    view->setEditable(true);
    EXPECT_EQ(registeredDraggedTypes(*view), ImageView::readableImageTypes());
    view->paste({});
    ASSERT_TRUE(view->image());
    EXPECT_EQ(view->image()->size(), (gfx::Size { 10, 10 }));
    EXPECT_EQ(log->count("clicked"), 1);

    // Delete through the keyboard once it has the keyboard.
    click(*view);
    ASSERT_EQ(window->firstResponder(), view);
    key(u"\x7f", KeyCode::Delete);
    EXPECT_FALSE(view->image());

    // A drop of PNG data.
    auto dragPasteboard = Pasteboard::pasteboardWithName(PasteboardName::Drag);
    dragPasteboard->declareTypes({ PasteboardType::PNG });
    dragPasteboard->setData(
        *solidImage({ 8, 6 }, 0, 0, 1)->representationUsingType(gfx::BitmapImageFileType::PNG), PasteboardType::PNG);
    FakeDrop pngDrop(dragPasteboard);
    EXPECT_EQ(view->draggingEntered(pngDrop), DragOperations::Copy);
    EXPECT_TRUE(view->performDragOperation(pngDrop));
    ASSERT_TRUE(view->image());
    EXPECT_EQ(view->image()->size(), (gfx::Size { 8, 6 }));
    EXPECT_EQ(log->count("clicked"), 3);

    // Copy puts the image back as TIFF and PNG; cut also clears the view.
    pasteboard->clearContents();
    view->cut({});
    EXPECT_FALSE(view->image());
    auto copied = ImageView::imageFromPasteboard(*pasteboard);
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->size(), (gfx::Size { 8, 6 }));
    EXPECT_TRUE(pasteboard->dataForType(PasteboardType::PNG));
}

}
