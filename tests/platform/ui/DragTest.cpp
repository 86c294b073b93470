#include "UiTestSupport.h"

#include "platform/graphics/Image.h"
#include "platform/ui/dragging/DragImageWindow.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/View.h"

namespace dragtest {

using ui::DragOperation;
namespace Op = ui::DragOperations;

const fnd::String DragType = "org.example.dragtest.item";

// Starts a drag from its mouse-down and records what the source hears.
class DragSourceView : public ui::View, public ui::DraggingSource {
    FND_OBJECT(DragSourceView)
public:
    void mouseDown(const ui::Event& event) override
    {
        auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
        pasteboard->declareTypes({ DragType });
        pasteboard->setString("payload", DragType);
        result = ui::dragImage(*this, image, { 10, 10 }, {}, event, pasteboard,
            std::static_pointer_cast<fnd::Object>(shared_from_this()), slideBack);
    }
    DragOperation draggingSourceOperationMaskForLocal(bool) override { return mask; }
    void draggedImageBeganAt(gfx::Image&, gfx::Point p) override
    {
        log.push_back(fmt("began", p));
        notePicture();
    }
    void draggedImageMovedTo(gfx::Image&, gfx::Point) override { notePicture(); }
    // Where the window showing the drag's picture is, as the drag goes.
    void notePicture()
    {
        picture = ui::draggedImageWindow();
        pictureFrames.push_back(picture && picture->isVisible() ? picture->frame() : gfx::Rect {});
    }
    void draggedImageEndedAt(gfx::Image&, gfx::Point p, DragOperation op) override
    {
        log.push_back(fmt("ended", p) + " op " + std::to_string(op));
    }
    static std::string fmt(const char* what, gfx::Point p)
    {
        return std::string(what) + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y));
    }

    DragOperation mask { Op::Copy | Op::Move };
    bool slideBack { true };
    std::shared_ptr<gfx::Image> image = std::make_shared<gfx::Image>();
    ui::DragResult result;
    std::vector<std::string> log;
    std::shared_ptr<ui::Window> picture;
    std::vector<gfx::Rect> pictureFrames;
};
FND_REGISTER_CLASS(DragSourceView, ui::View)

// Takes drops of DragType with the operation it is told to answer, and records every call.
class DropView : public ui::View, public ui::DraggingDestination {
    FND_OBJECT(DropView)
public:
    DragOperation draggingEntered(ui::DraggingInfo& info) override
    {
        note("entered", info);
        return answer;
    }
    std::optional<DragOperation> draggingUpdated(ui::DraggingInfo& info) override
    {
        note("updated", info);
        return answer;
    }
    void draggingExited(ui::DraggingInfo&) override { log.push_back("exited"); }
    bool prepareForDragOperation(ui::DraggingInfo&) override
    {
        log.push_back("prepare");
        return true;
    }
    bool performDragOperation(ui::DraggingInfo& info) override
    {
        log.push_back("perform " + info.draggingPasteboard()->stringForType(DragType).value_or("?").utf8());
        return true;
    }
    void concludeDragOperation(ui::DraggingInfo&) override { log.push_back("conclude"); }
    void draggingEnded(ui::DraggingInfo&) override { log.push_back("ended"); }

    void note(const char* what, ui::DraggingInfo& info)
    {
        const auto p = info.draggingLocation();
        log.push_back(std::string(what) + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)) + " mask "
            + std::to_string(info.draggingSourceOperationMask()));
        sources.push_back(info.draggingSource());
    }

    DragOperation answer { Op::Copy };
    std::vector<std::string> log;
    std::vector<std::shared_ptr<fnd::Object>> sources;
};
FND_REGISTER_CLASS(DropView, ui::View)

class DragTest : public uitest::UiTest {
protected:
    void SetUp() override
    {
        // The source window's content spans screen x 100..400; the destination's 500..800, both at y 100..300.
        sourceWindow = ui::Window::create({ { 100, 100 }, { 300, 200 } });
        source = std::make_shared<DragSourceView>();
        source->initWithFrame({ { 0, 0 }, { 300, 200 } });
        sourceWindow->contentView()->addSubview(source);
        sourceWindow->makeKeyAndOrderFront();

        targetWindow = ui::Window::create({ { 500, 100 }, { 300, 200 } });
        drop = std::make_shared<DropView>();
        drop->initWithFrame({ { 50, 50 }, { 100, 100 } });
        targetWindow->contentView()->addSubview(drop);
        ui::registerForDraggedTypes(*drop, { "other", DragType });
        targetWindow->orderFront();
    }

    // Points in the source window's base coordinates: x 450 is screen 550, in the drop view (screen 550..650).
    void dragThrough(std::vector<gfx::Point> points, unsigned flags = 0)
    {
        backend->mouseDown(*sourceWindow, { 20, 20 });
        for (auto p : points)
            backend->mouseDragged(*sourceWindow, p, flags);
        backend->mouseUp(*sourceWindow, points.back(), flags);
        backend->dispatchEvents();
    }

    std::shared_ptr<ui::Window> sourceWindow, targetWindow;
    std::shared_ptr<DragSourceView> source;
    std::shared_ptr<DropView> drop;
};

TEST_F(DragTest, AcceptedDropRunsTheWholeProtocol)
{
    dragThrough({ { 30, 30 }, { 460, 60 }, { 470, 70 }, { 480, 80 } });
    EXPECT_EQ(drop->log,
        (std::vector<std::string> { "entered 60,60 mask 17", "updated 70,70 mask 17", "updated 80,80 mask 17",
            "prepare", "perform payload", "conclude", "ended" }));
    ASSERT_FALSE(drop->sources.empty());
    EXPECT_EQ(drop->sources[0], source);
    // The image's origin follows the mouse: it started at screen (110, 110), 10 below and left of the press.
    EXPECT_EQ(source->log, (std::vector<std::string> { "began 110,110", "ended 570,170 op 1" }));
    EXPECT_EQ(source->result.operation, Op::Copy);
    EXPECT_FALSE(source->result.slidBack);
}

TEST_F(DragTest, NothingAcceptsAndTheImageSlidesBack)
{
    struct Case {
        const char* title;
        std::vector<gfx::Point> path;
        DragOperation answer;
        DragOperation sourceMask;
        unsigned flags;
        std::vector<std::string> destinationLog;
    };
    const Case cases[] = {
        { "dropped on empty screen after passing the view", { { 460, 60 }, { 460, 400 } }, Op::Copy,
            Op::Copy | Op::Move, 0, { "entered 60,60 mask 17", "exited" } },
        { "the view refuses", { { 460, 60 }, { 465, 65 } }, Op::None, Op::Copy | Op::Move, 0,
            { "entered 60,60 mask 17", "updated 65,65 mask 17", "exited", "ended" } },
        { "the view answers an operation the source does not allow", { { 460, 60 } }, Op::Link, Op::Copy | Op::Move, 0,
            { "entered 60,60 mask 17", "exited", "ended" } },
        { "Option narrows the mask to a copy the source does not allow", { { 460, 60 } }, Op::Move, Op::Move,
            ui::ModifierFlags::Alternate, { "entered 60,60 mask 0", "exited", "ended" } },
        { "over the window beside the view", { { 420, 20 } }, Op::Copy, Op::Copy, 0, {} },
    };
    for (const auto& c : cases) {
        drop->log.clear();
        source->log.clear();
        drop->answer = c.answer;
        source->mask = c.sourceMask;
        dragThrough(c.path, c.flags);
        EXPECT_EQ(drop->log, c.destinationLog) << c.title;
        ASSERT_EQ(source->log.size(), 2u) << c.title;
        EXPECT_TRUE(source->log[1].ends_with("op 0")) << c.title << ": " << source->log[1];
        EXPECT_EQ(source->result.operation, Op::None) << c.title;
        EXPECT_TRUE(source->result.slidBack) << c.title;
        EXPECT_EQ(source->result.finalImageLocation, (gfx::Point { 110, 110 })) << c.title;
    }

    // Without slide-back the image stays where it was let go.
    source->slideBack = false;
    dragThrough({ { 460, 400 } });
    EXPECT_FALSE(source->result.slidBack);
    EXPECT_EQ(source->result.finalImageLocation, (gfx::Point { 550, 490 }));
}

// The picture follows the mouse in a window of its own, held where it was grabbed, over our windows and the empty
// screen, and goes with the release; the window under it still takes the drop.
TEST_F(DragTest, ThePictureFollowsTheMouseInAWindowOfItsOwn)
{
    source->image = gfx::Image::imageWithSize({ 40, 20 });
    dragThrough({ { 30, 30 }, { 460, 60 }, { 460, 400 }, { 470, 70 } });
    // Pressed at screen (120, 120), the image's corner at (110, 110): 10 below and left of the mouse.
    EXPECT_EQ(source->pictureFrames,
        (std::vector<gfx::Rect> { { 110, 110, 40, 20 }, { 120, 120, 40, 20 }, { 550, 150, 40, 20 },
            { 550, 490, 40, 20 }, { 560, 160, 40, 20 } }));
    EXPECT_EQ(drop->log.back(), "ended") << "the picture under the mouse hid the destination";
    EXPECT_EQ(source->result.operation, Op::Copy);
    ASSERT_TRUE(source->picture);
    EXPECT_FALSE(source->picture->isVisible());
    EXPECT_EQ(ui::draggedImageWindow(), nullptr);
    EXPECT_GT(source->picture->level(), sourceWindow->level()) << "the picture goes above the windows";

    // A picture without a size shows nothing.
    source->image = std::make_shared<gfx::Image>();
    source->pictureFrames.clear();
    dragThrough({ { 30, 30 } });
    EXPECT_EQ(source->pictureFrames, (std::vector<gfx::Rect> { {}, {} }));
}

TEST_F(DragTest, DestinationsNeedAMatchingTypeAndAWindowThatTakesTheMouse)
{
    ui::unregisterDraggedTypes(*drop);
    ui::registerForDraggedTypes(*drop, { "other" });
    dragThrough({ { 460, 60 } });
    EXPECT_TRUE(drop->log.empty());
    EXPECT_EQ(ui::registeredDraggedTypes(*drop), std::vector<fnd::String> { "other" });

    ui::registerForDraggedTypes(*drop, { DragType });
    targetWindow->setIgnoresMouseEvents(true);
    dragThrough({ { 460, 60 } });
    EXPECT_TRUE(drop->log.empty()) << "a window that ignores the mouse is passed through";

    targetWindow->setIgnoresMouseEvents(false);
    dragThrough({ { 460, 60 } });
    EXPECT_EQ(drop->log.size(), 5u);
}

// Counts the blocks a view made through it holds: the view and its count share one, as with make_shared.
template <typename T> struct DragTestCountingAllocator {
    using value_type = T;
    int* live;
    explicit DragTestCountingAllocator(int* live)
        : live(live)
    {
    }
    template <typename U>
    DragTestCountingAllocator(const DragTestCountingAllocator<U>& other)
        : live(other.live)
    {
    }
    T* allocate(std::size_t n)
    {
        ++*live;
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n)
    {
        --*live;
        std::allocator<T>().deallocate(p, n);
    }
    template <typename U> bool operator==(const DragTestCountingAllocator<U>& other) const
    {
        return live == other.live;
    }
};

TEST(DragRegistration, AViewThatIsGoneLeavesNoMemoryBehind)
{
    int live = 0;
    for (int i = 0; i < 3; ++i) {
        auto view = std::allocate_shared<ui::View>(DragTestCountingAllocator<ui::View>(&live));
        view->initWithFrame({ 0, 0, 10, 10 });
        ui::registerForDraggedTypes(*view, { DragType });
        EXPECT_EQ(ui::registeredDraggedTypes(*view), std::vector<fnd::String> { DragType });
    }
    // Registering another view clears out what the gone ones left.
    auto other = ui::View::create({ 0, 0, 10, 10 });
    ui::registerForDraggedTypes(*other, { DragType });
    EXPECT_EQ(live, 0);
    ui::unregisterDraggedTypes(*other);
    EXPECT_TRUE(ui::registeredDraggedTypes(*other).empty());
}

}
