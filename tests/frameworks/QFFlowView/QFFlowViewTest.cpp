#include "QFFlowViewTestSupport.h"

#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"
#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/files/FileURL.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/Thread.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Animator.h"
#include "platform/ui/views/Event.h"
#include "support/GeneratedPictures.h"
#include "support/KeyRecorder.h"
#include "support/Waiting.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>

namespace flowviewtest {
namespace {

using Type = std::remove_cvref_t<decltype(QFFlowViewRepresentationType::URL)>;
namespace RT = QFFlowViewRepresentationType;

// Items and pictures.

TEST_F(FlowViewTest, ItemsComeFromTheDataSourceOnlyWhenItGivesThem)
{
    source->items = bitmapItems(3);
    source->answersItems = false;
    view->reloadContent();
    EXPECT_EQ(view->numberOfItems(), 0u);
    EXPECT_EQ(view->selectedIndex(), QFFlowView::NotFound) << "no items: nothing is selected";

    source->answersItems = true;
    view->reloadContent();
    EXPECT_EQ(view->numberOfItems(), 3u);
    EXPECT_EQ(view->selectedIndex(), 0u);
    EXPECT_EQ(view->titleAtIndex(1), fnd::String("Item 1"));
    EXPECT_EQ(view->imageUIDForItem(view->imageItemForIndex(2)), fnd::Value("uid 2"));
    EXPECT_TRUE(view->imageItemForIndex(QFFlowView::NotFound).isNil());

    // An item without a title is "Untitled item".
    source->items = { fnd::Value("an item that answers nothing") };
    view->reloadContent();
    EXPECT_EQ(view->titleAtIndex(0), fnd::String("Untitled item"));
}

TEST_F(FlowViewTest, RepresentationsBecomePicturesOfTheAskedSize)
{
    auto bitmap = solidBitmap(40, 20, 0xFFFF0000);
    auto png = bitmap->representationUsingType(gfx::BitmapImageFileType::PNG);
    ASSERT_TRUE(png);
    auto fromData = QFFlowView::newImageFromRepresentation(*png, RT::NSData, { 30, 30 });
    ASSERT_TRUE(fromData);
    EXPECT_EQ(fromData->pixelsWide(), 30);
    EXPECT_EQ(fromData->pixelsHigh(), 15);
    EXPECT_EQ(QFFlowView::newImageFromRepresentation(bitmap, RT::CGImage, { 10, 10 }), bitmap);
    EXPECT_FALSE(
        QFFlowView::newImageFromRepresentation(fnd::Data::fromString("not a picture"), RT::NSData, { 30, 30 }));
    EXPECT_FALSE(QFFlowView::newImageFromRepresentation(fnd::Value("x"), RT::QCComposition, { 30, 30 }));

    // A PDF page narrower than asked is scaled up by the widths; a wider one fits down with its aspect kept.
    auto pdf = gfx::PDFImageRep::imageRepWithData(solidPDF({ 50, 100 }, *gfx::Color::colorWithDeviceRed(0, 0, 1, 1)));
    ASSERT_TRUE(pdf);
    auto up = QFFlowView::newImageFromPDFPage(fnd::Value(*pdf), { 100, 200 }, true);
    ASSERT_TRUE(up);
    auto top = up->pixelBuffer().pixel(50, 5);
    EXPECT_EQ(gfx::blueOf(top), 255) << "the page reaches the top when scaled up";
    auto down = QFFlowView::newImageFromPDFPage(fnd::Value(*pdf), { 20, 20 }, false);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->pixelBuffer().pixel(1, 10), 0xFFFFFFFFu) << "white beside a fitted page";
    EXPECT_EQ(gfx::blueOf(down->pixelBuffer().pixel(10, 10)), 255);
    EXPECT_FALSE(QFFlowView::newImageFromPDFPage(fnd::Value(*pdf), { 0, 20 }, false));

    auto defaults = QFFlowView::defaultImage();
    EXPECT_EQ(defaults->pixelsWide(), 100);
    EXPECT_EQ(defaults->pixelsHigh(), 100);
}

TEST_F(FlowViewTest, FilesArePicturedByType)
{
    auto png = (folder / "a.png").string();
    ASSERT_TRUE(solidBitmap(80, 40, 0xFF00FF00)->writeToFile(fnd::String(png), gfx::BitmapImageFileType::PNG));
    auto text = folder / "notes.txt";
    FILE* f = std::fopen(text.c_str(), "w");
    std::fputs("hello", f);
    std::fclose(f);
    source->items = { TestItem::create("png", fnd::String(png), RT::Path),
        TestItem::create("url", fnd::fileURLWithPath(fnd::String(png)), RT::URL),
        TestItem::create("txt", fnd::String(text.string()), RT::QuickLookPath),
        TestItem::create("mov", fnd::String((folder / "clip.mp4").string()), RT::Path),
        TestItem::create("bmp", fnd::Value(solidBitmap(2, 2, 0)), RT::NSBitmap),
        TestItem::create("data", fnd::Data(), RT::NSData) };
    view->reloadContent();
    EXPECT_EQ(view->uniformTypeIdentifierAtIndex(0), fnd::String("public.png"));
    EXPECT_EQ(view->uniformTypeIdentifierAtIndex(1), fnd::String("public.png"));
    EXPECT_TRUE(view->isMovieAtIndex(3));
    EXPECT_FALSE(view->isMovieAtIndex(0));
    EXPECT_EQ(view->uniformTypeIdentifierAtIndex(4), fnd::String("public.image"));
    EXPECT_TRUE(view->uniformTypeIdentifierAtIndex(5).isEmpty());
    auto picture = QFFlowView::newImageFromRepresentation(fnd::String(png), RT::Path, { 40, 40 });
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixelsWide(), 40);
    EXPECT_EQ(gfx::greenOf(picture->pixelBuffer().pixel(20, 10)), 255);
    // Anything else shows its type's icon (when the icon theme has one) and never fails.
    (void)QFFlowView::newImageFromRepresentation(fnd::String(text.string()), RT::QuickLookPath, { 64, 64 });

    // An XPM picture, which the desktop's image library reads, shows itself rather than an icon.
    auto xpm = folder / "tiny.xpm";
    f = std::fopen(xpm.c_str(), "w");
    std::fputs("/* XPM */\nstatic char * tiny[] = {\n\"4 2 2 1\",\n\"r c red\",\n\". c None\",\n\"rr..\",\n"
               "\"rr..\"};\n",
        f);
    std::fclose(f);
    picture = QFFlowView::newImageFromRepresentation(fnd::String(xpm.string()), RT::Path, { 40, 40 });
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixelsWide(), 4) << "a picture is not enlarged past its pixels";
    EXPECT_EQ(picture->pixelsHigh(), 2);
    EXPECT_EQ(picture->pixelBuffer().pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(gfx::alphaOf(picture->pixelBuffer().pixel(3, 1)), 0);
}

TEST_F(FlowViewTest, PicturesLoadOnTheQueueAndBadDataKeepsTheDefault)
{
    auto items = bitmapItems(3);
    items.push_back(TestItem::create("bad", fnd::Data::fromString("garbage"), RT::NSData, "Bad"));
    useItems(items);
    drainPictures();
    for (std::size_t i = 0; i < 3; ++i) {
        auto contents = view->imageLayerAtIndex(i)->contents();
        ASSERT_TRUE(contents) << i;
        EXPECT_EQ(contents,
            std::dynamic_pointer_cast<TestItem>(items[i].object())->representation.objectAs<gfx::BitmapImageRep>())
            << i;
        EXPECT_NEAR(view->imageLayerAtIndex(i)->valueForKey("aspectRatioKey").doubleValue(), 64.0 / 48.0, 1e-9);
    }
    EXPECT_EQ(view->imageLayerAtIndex(3)->contents(), QFFlowView::defaultImage());
    EXPECT_EQ(view->cachedImageCount(), 3u);
}

TEST_F(FlowViewTest, CacheRuleReusesCloseEnoughPicturesAndRemakesSmallOnes)
{
    useItems(bitmapItems(2));
    drainPictures();
    auto desired = view->itemSizeForRect(view->scrollLayer()->frame());
    // 9 % smaller than desired: shown, nothing made.
    auto slightly = solidBitmap(int(desired.width * 0.91), int(desired.height * 0.91), 0xFFFF00FF);
    view->cacheImage(slightly, fnd::Value("uid 0"));
    view->updateImageLayerAtIndex(0);
    EXPECT_EQ(view->operationQueue()->operationCount(), 0u);
    EXPECT_EQ(view->imageLayerAtIndex(0)->contents(), slightly);
    // 10 % or more: shown at once, and replaced when the new one arrives.
    auto small = solidBitmap(int(desired.width * 0.5), int(desired.height * 0.5), 0xFFFFFF00);
    view->cacheImage(small, fnd::Value("uid 0"));
    view->updateImageLayerAtIndex(0);
    EXPECT_EQ(view->imageLayerAtIndex(0)->contents(), small);
    drainPictures();
    EXPECT_NE(view->imageLayerAtIndex(0)->contents(), small);

    EXPECT_FLOAT_EQ(QFFlowView::differenceForImage(nullptr, { 10, 10 }), std::numeric_limits<float>::max());
    // The larger side counts: a tall picture that fits by its height is not too small.
    auto tall = solidBitmap(50, 100, 0);
    EXPECT_FLOAT_EQ(QFFlowView::differenceForImage(tall.get(), { 100, 100 }), 0);

    // The cache stays within its bound, dropping the least recently used pictures.
    view->setImageCacheByteLimit(3 * 64 * 48 * 4);
    useItems(bitmapItems(12));
    for (std::size_t i = 0; i < 12; ++i)
        view->cacheImage(
            solidBitmap(64, 48, 0xFF000000u + std::uint32_t(i)), fnd::Value(fnd::String("uid " + std::to_string(i))));
    EXPECT_LE(view->cachedImageBytes(), std::size_t(3 * 64 * 48 * 4));
    EXPECT_TRUE(view->lookupForImageUID(fnd::Value("uid 11")));
    EXPECT_FALSE(view->lookupForImageUID(fnd::Value("uid 0")));

    // A new preview scale empties the cache.
    view->setPreviewScale(0.5);
    view->operationQueue()->cancelAllOperations();
    EXPECT_TRUE(waitForOperations(*view->operationQueue()));
    view->setPreviewScale(5);
    EXPECT_DOUBLE_EQ(view->previewScale(), 1);
}

// Holds a worker that asks for its description until the test lets it go; on the main thread it answers at once.
struct FlowViewWorkerGate {
    std::mutex mutex;
    std::condition_variable changed;
    bool workerInside { false };
    bool queueDone { false };
    bool open { false };
    // Pictures drawn on workers, the held one included.
    std::atomic<int> workerDraws { 0 };
    void set(bool FlowViewWorkerGate::*flag)
    {
        std::lock_guard lock(mutex);
        this->*flag = true;
        changed.notify_all();
    }
};

// Opens the gate when the test ends, however it ends, so the fixture's wait for the queue returns.
struct FlowViewGateOpener {
    std::shared_ptr<FlowViewWorkerGate> gate;
    ~FlowViewGateOpener() { gate->set(&FlowViewWorkerGate::open); }
};

// A picture whose first load on a worker is drawn only when the gate opens (at once on the main thread), so it ends
// after later ones. Only that first load waits: the view may ask again, and a process with two cores has only two
// workers, which must not both be held.
std::shared_ptr<gfx::Image> flowViewHeldPicture(const std::shared_ptr<FlowViewWorkerGate>& gate);

// Takes turns of the main queue and the run loop (step) until the condition holds, for at most half a minute (a
// generous deadline on a busy machine).
template <typename Condition, typename Step> bool flowViewWaitFor(Condition condition, Step step)
{
    return testsupport::waitUntilTurning(condition, [&] {
        fnd::OperationQueue::mainQueue()->waitUntilAllOperationsAreFinished();
        step();
    });
}

// Waits until the gate's flag is set, for at most half a minute; false when it is not.
bool flowViewWaitForGate(FlowViewWorkerGate& gate, bool FlowViewWorkerGate::*flag)
{
    std::unique_lock lock(gate.mutex);
    return gate.changed.wait_for(lock, RealTimeBound, [&] { return gate.*flag; });
}

// Until a worker is held at the gate.
bool flowViewWaitUntilHeld(FlowViewWorkerGate& gate)
{
    return flowViewWaitForGate(gate, &FlowViewWorkerGate::workerInside);
}

TEST_F(FlowViewTest, ALatePictureDoesNotPaintAReusedLayer)
{
    auto gate = std::make_shared<FlowViewWorkerGate>();
    FlowViewGateOpener opener { gate };
    auto slow = TestItem::create("slow", fnd::Value(flowViewHeldPicture(gate)), RT::NSImage, "Slow");
    useItems({ fnd::Value(slow), bitmapItems(2)[1] });
    ASSERT_TRUE(flowViewWaitUntilHeld(*gate));
    // While the slow picture is being made, index 0 comes to hold another item, whose picture arrives first.
    source->items = bitmapItems(2);
    view->reloadContent();
    auto layer = view->itemLayerAtIndex(0);
    ASSERT_EQ(layer->valueForKey("imageItemUID"), fnd::Value("uid 0"));
    auto own = std::dynamic_pointer_cast<TestItem>(source->items[0].object())
                   ->representation.objectAs<gfx::BitmapImageRep>();
    EXPECT_TRUE(flowViewWaitFor([&] { return view->imageLayerAtIndex(0)->contents() == own; }, [&] { settle(); }))
        << "the new item's picture did not arrive";
    gate->set(&FlowViewWorkerGate::open);
    drainPictures();
    EXPECT_EQ(view->imageLayerAtIndex(0)->contents(), own) << "the slow item's picture came too late";
}

TEST_F(FlowViewTest, APictureArrivingForAnItemOutOfViewIsCachedNotShown)
{
    auto gate = std::make_shared<FlowViewWorkerGate>();
    FlowViewGateOpener opener { gate };
    auto items = bitmapItems(200);
    items[0] = TestItem::create("slow", fnd::Value(flowViewHeldPicture(gate)), RT::NSImage, "Slow");
    useItems(items);
    ASSERT_TRUE(flowViewWaitUntilHeld(*gate));
    // The first item's picture is still being made when the selection moves far away from it.
    view->setSelectedIndex(150);
    settle(1);
    ASSERT_TRUE(view->itemLayerAtIndex(0)->isHidden());
    gate->set(&FlowViewWorkerGate::open);
    drainPictures();
    EXPECT_TRUE(view->itemLayerAtIndex(0)->isHidden());
    EXPECT_FALSE(view->imageLayerAtIndex(0)->contents()) << "a hidden item holds no picture";
    EXPECT_TRUE(view->lookupForImageUID(fnd::Value("slow"))) << "the picture made is kept for the item's return";
}

TEST_F(FlowViewTest, RefreshesWhileAPictureIsMadeMakeItOnce)
{
    auto gate = std::make_shared<FlowViewWorkerGate>();
    FlowViewGateOpener opener { gate };
    auto items = bitmapItems(4);
    items[2] = TestItem::create("slow", fnd::Value(flowViewHeldPicture(gate)), RT::NSImage, "Slow");
    useItems(items);
    ASSERT_TRUE(flowViewWaitUntilHeld(*gate));
    // The selection steps away and back, and the view refreshes once more: the slow item stays a preview, which
    // the load under way already makes.
    view->setSelectedIndex(1);
    settle(1);
    view->setSelectedIndex(0);
    settle(1);
    view->updateImages();
    settle(1);
    gate->set(&FlowViewWorkerGate::open);
    drainPictures();
    EXPECT_EQ(gate->workerDraws, 1) << "the slow picture was made again while it was being made";
    auto made = view->lookupForImageUID(fnd::Value("slow"));
    ASSERT_TRUE(made);
    EXPECT_EQ(view->imageLayerAtIndex(2)->contents(), made);
    EXPECT_EQ(gfx::redOf(made->pixelBuffer().pixel(made->pixelsWide() / 2, made->pixelsHigh() / 2)), 255);
}

TEST_F(FlowViewTest, ALoadDroppedBeforeItBeganIsMadeWhenItsItemComesBack)
{
    // One worker, held by other work: the first items' loads wait on the queue.
    auto queue = view->operationQueue();
    queue->setMaxConcurrentOperationCount(1);
    auto gate = std::make_shared<FlowViewWorkerGate>();
    FlowViewGateOpener opener { gate };
    queue->addOperationWithBlock([gate] {
        gate->set(&FlowViewWorkerGate::workerInside);
        std::unique_lock lock(gate->mutex);
        gate->changed.wait_for(lock, RealTimeBound, [&] { return gate->open; });
    });
    ASSERT_TRUE(flowViewWaitUntilHeld(*gate));
    auto items = bitmapItems(40);
    useItems(items);
    // Moving away drops their loads before they began; coming back must ask for them again.
    view->setSelectedIndex(30);
    settle(1);
    view->setSelectedIndex(0);
    settle(1);
    gate->set(&FlowViewWorkerGate::open);
    drainPictures();
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(view->imageLayerAtIndex(i)->contents(),
            std::dynamic_pointer_cast<TestItem>(items[i].object())->representation.objectAs<gfx::BitmapImageRep>())
            << i;
}

TEST_F(FlowViewTest, AReloadWhileAPictureIsHeldShowsEveryItemsOwnPicture)
{
    auto gate = std::make_shared<FlowViewWorkerGate>();
    FlowViewGateOpener opener { gate };
    auto slow = TestItem::create("slow", fnd::Value(flowViewHeldPicture(gate)), RT::NSImage, "Slow");
    auto others = bitmapItems(2);
    useItems({ fnd::Value(slow), others[1] });
    ASSERT_TRUE(flowViewWaitUntilHeld(*gate));
    // A new item takes index 0 and the slow one moves to index 1 while its first picture is held there.
    source->items = { others[0], fnd::Value(slow), others[1] };
    view->reloadContent();
    auto own = std::dynamic_pointer_cast<TestItem>(others[0].object())->representation.objectAs<gfx::BitmapImageRep>();
    // The slow picture is red; the placeholder grey.
    auto slowShown = [&] {
        auto contents = view->imageLayerAtIndex(1)->contents();
        return contents
            && contents->pixelBuffer().pixel(contents->pixelsWide() / 2, contents->pixelsHigh() / 2) == 0xFFFF0000u;
    };
    auto step = [&] { settle(); };
    EXPECT_TRUE(flowViewWaitFor([&] { return view->imageLayerAtIndex(0)->contents() == own; }, step));
    EXPECT_TRUE(flowViewWaitFor(slowShown, step)) << "the moved item waited for the load made for its old place";
    gate->set(&FlowViewWorkerGate::open);
    drainPictures();
    EXPECT_EQ(view->imageLayerAtIndex(0)->contents(), own);
    EXPECT_TRUE(slowShown());
}

TEST_F(FlowViewTest, AnItemChangedWhileItsPictureIsMadeKeepsItsNewPicture)
{
    auto gate = std::make_shared<FlowViewWorkerGate>();
    FlowViewGateOpener opener { gate };
    auto slow = TestItem::create("slow", fnd::Value(flowViewHeldPicture(gate)), RT::NSImage, "Slow");
    auto controller = std::make_shared<fnd::ArrayController>();
    controller->setContent(fnd::Value(fnd::Array { fnd::Value(slow), bitmapItems(2)[1] }));
    view->setDataSource(nullptr);
    view->bind("contentArray", *controller, "arrangedObjects");
    settle(1);
    ASSERT_TRUE(flowViewWaitUntilHeld(*gate));
    // The item becomes a blue picture while its red one is being made.
    const std::uint32_t blue = 0xFF0000FFu;
    slow->setValueForKey(
        fnd::Value(gfx::Image::imageWithRepresentation(solidBitmap(64, 48, blue))), "imageItemRepresentation");
    auto middle = [](const std::shared_ptr<gfx::BitmapImageRep>& picture) {
        return picture ? picture->pixelBuffer().pixel(picture->pixelsWide() / 2, picture->pixelsHigh() / 2) : 0u;
    };
    EXPECT_TRUE(
        flowViewWaitFor([&] { return middle(view->imageLayerAtIndex(0)->contents()) == blue; }, [&] { settle(); }));
    gate->set(&FlowViewWorkerGate::open);
    drainPictures();
    EXPECT_EQ(middle(view->imageLayerAtIndex(0)->contents()), blue) << "the old picture came late and replaced it";
    EXPECT_EQ(middle(view->lookupForImageUID(fnd::Value("slow"))), blue);
    view->unbind("contentArray");
}

std::shared_ptr<gfx::Image> flowViewHeldPicture(const std::shared_ptr<FlowViewWorkerGate>& gate)
{
    return gfx::Image::imageWithSize({ 64, 48 }, false, [gate](const gfx::Rect& r) {
        if (!fnd::Thread::isMainThread()) {
            ++gate->workerDraws;
            std::unique_lock lock(gate->mutex);
            if (!gate->workerInside) {
                gate->workerInside = true;
                gate->changed.notify_all();
                gate->changed.wait_for(lock, RealTimeBound, [&] { return gate->open; });
            }
        }
        gfx::Color::redColor()->setFill();
        gfx::BezierPath::fillRect(r);
        return true;
    });
}

class FlowViewGatedUID : public fnd::Object {
    FND_OBJECT(FlowViewGatedUID)
public:
    fnd::String description() const override
    {
        if (!fnd::Thread::isMainThread() && gate) {
            gate->set(&FlowViewWorkerGate::workerInside);
            std::unique_lock lock(gate->mutex);
            gate->changed.wait_for(lock, RealTimeBound, [this] { return gate->open; });
        }
        return "gated uid";
    }
    std::shared_ptr<FlowViewWorkerGate> gate;
};
FND_REGISTER_CLASS(FlowViewGatedUID, fnd::Object)

// Notes the thread it is destroyed on.
class FlowViewDestructionWitness : public ui::View {
    FND_OBJECT(FlowViewDestructionWitness)
public:
    ~FlowViewDestructionWitness() override { *destroyedOnMain = fnd::Thread::isMainThread(); }
    std::shared_ptr<std::optional<bool>> destroyedOnMain = std::make_shared<std::optional<bool>>();
};
FND_REGISTER_CLASS(FlowViewDestructionWitness, ui::View)

TEST_F(FlowViewTest, TheViewIsReleasedOnTheMainThreadWhileAPictureIsBeingMade)
{
    auto queue = view->operationQueue();
    queue->setMaxConcurrentOperationCount(1);
    auto gate = std::make_shared<FlowViewWorkerGate>();
    FlowViewGateOpener opener { gate };
    auto uid = fnd::makeObject<FlowViewGatedUID>();
    uid->gate = gate;
    auto witness = ui::makeView<FlowViewDestructionWitness>(gfx::Rect { 0, 0, 10, 10 });
    auto destroyedOnMain = witness->destroyedOnMain;
    view->addSubview(witness);
    witness.reset();
    useItems({ TestItem::create(fnd::Value(uid), fnd::Value(solidBitmap(64, 48, 0xFF00FF00)), RT::CGImage, "Held") });
    queue->addOperationWithBlock([gate] { gate->set(&FlowViewWorkerGate::queueDone); });
    {
        std::unique_lock lock(gate->mutex);
        ASSERT_TRUE(gate->changed.wait_for(lock, RealTimeBound, [&] { return gate->workerInside || gate->queueDone; }))
            << "the view's picture load never began";
    }
    // The window lets go of the view while its picture is on the way.
    window->makeFirstResponder(nullptr);
    view->removeFromSuperview();
    view.reset();
    gate->set(&FlowViewWorkerGate::open);
    EXPECT_TRUE(waitForOperations(*queue));
    // The load's main-queue part lets go of the last reference.
    ASSERT_TRUE(flowViewWaitFor([&] { return destroyedOnMain->has_value(); }, [] {})) << "the view was never released";
    EXPECT_TRUE(**destroyedOnMain);
    view = QFFlowView::create({ 0, 0, 800, 400 }); // for the fixture's tear-down
}

// Layer tree and layout.

TEST_F(FlowViewTest, TheAnimatorMovesSpacingAndAngleToTheirNewValues)
{
    ASSERT_DOUBLE_EQ(view->spacing(), 50);
    ASSERT_DOUBLE_EQ(view->stackedAngle(), 70);
    ui::Animator::setValueForKey(*view, fnd::Value(100.0), "spacing");
    ui::Animator::setValueForKey(*view, fnd::Value(30.0), "stackedAngle");
    EXPECT_DOUBLE_EQ(view->spacing(), 50) << "it starts where it was";
    EXPECT_TRUE(ui::Animator::isAnimatingKey(*view, "spacing"));
    settle(0.125);
    EXPECT_NEAR(view->spacing(), 75, 2);
    EXPECT_NEAR(view->stackedAngle(), 50, 2);
    settle(0.2);
    EXPECT_FALSE(ui::Animator::isAnimatingKey(*view, "spacing"));
    EXPECT_DOUBLE_EQ(view->spacing(), 100) << "it rests at the value set";
    EXPECT_DOUBLE_EQ(view->stackedAngle(), 30);
    // Other keys change at once.
    ui::Animator::setValueForKey(*view, fnd::Value(0.5), "selectedScale");
    EXPECT_FALSE(ui::Animator::isAnimatingKey(*view, "selectedScale"));

    view->setTitleFont(fnd::Value("Serif"));
    EXPECT_EQ(view->titleLayer()->font(), fnd::Value("Serif"));
    EXPECT_DOUBLE_EQ(view->titleLayer()->fontSize(), 18) << "the size stays its own";
}

TEST_F(FlowViewTest, GeometryFormulasAndClamps)
{
    constexpr auto NotFound = QFFlowView::NotFound;
    EXPECT_DOUBLE_EQ(QFFlowView::horizontalOffsetForItem(0, 100, 70, 50, 0), 0);
    EXPECT_DOUBLE_EQ(QFFlowView::horizontalOffsetForItem(1, 100, 90, 50, 0), 50 + 50);
    EXPECT_DOUBLE_EQ(QFFlowView::horizontalOffsetForItem(3, 90, 0, 10, 3), 3 * 100 + 45);
    EXPECT_DOUBLE_EQ(QFFlowView::horizontalOffsetForItem(4, 90, 0, 10, 3), 4 * 100 + 90);
    EXPECT_DOUBLE_EQ(QFFlowView::horizontalOffsetForItem(2, 90, 0, 10, NotFound), 200);
    EXPECT_EQ(QFFlowView::boundsFromContentWithAspectRatio(2, { 0, 0, 100, 100 }), (gfx::Rect { 0, 0, 100, 50 }));
    EXPECT_EQ(QFFlowView::boundsFromContentWithAspectRatio(0.5, { 0, 0, 100, 100 }), (gfx::Rect { 0, 0, 50, 100 }));

    view->setStackedAngle(120);
    EXPECT_DOUBLE_EQ(view->stackedAngle(), 90);
    view->setReflectionOffset(-3);
    EXPECT_DOUBLE_EQ(view->reflectionOffset(), -1);
    view->setItemScale(0);
    EXPECT_DOUBLE_EQ(view->itemScale(), 0.1);
    view->setPreviewScale(0);
    EXPECT_DOUBLE_EQ(view->previewScale(), 0.01);
    EXPECT_EQ(view->itemSizeForRect({ 0, 0, 10, 250 }), (gfx::Size { 20, 20 }));
}

// A number that is no number leaves a setting as it was; an infinity goes to the bound the setting has. A NaN angle,
// spacing or scale once placed every item nowhere.
TEST_F(FlowViewTest, GeometryRefusesNumbersThatAreNoNumbers)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), infinity = std::numeric_limits<double>::infinity();
    struct Setting {
        const char* name;
        void (QFFlowView::*set)(double);
        double (QFFlowView::*get)() const;
        double good, afterInfinity, afterMinusInfinity;
    };
    const Setting settings[] = {
        { "stackedAngle", &QFFlowView::setStackedAngle, &QFFlowView::stackedAngle, 45, 90, 0 },
        { "reflectionOffset", &QFFlowView::setReflectionOffset, &QFFlowView::reflectionOffset, -0.5, 0, -1 },
        { "itemScale", &QFFlowView::setItemScale, &QFFlowView::itemScale, 0.5, 1, 0.1 },
        { "previewScale", &QFFlowView::setPreviewScale, &QFFlowView::previewScale, 0.5, 1, 0.01 },
        { "spacing", &QFFlowView::setSpacing, &QFFlowView::spacing, 30, 1e7, -1e7 },
        { "selectedScale", &QFFlowView::setSelectedScale, &QFFlowView::selectedScale, 150, 1e7, -1e7 },
        { "stackedScale", &QFFlowView::setStackedScale, &QFFlowView::stackedScale, -150, 1e7, -1e7 },
        { "scrollDuration", &QFFlowView::setScrollDuration, &QFFlowView::scrollDuration, 0.3, 60, 0 },
    };
    for (const auto& setting : settings) {
        const std::pair<double, double> cases[]
            = { { nan, setting.good }, { infinity, setting.afterInfinity }, { -infinity, setting.afterMinusInfinity } };
        for (auto [given, expected] : cases) {
            (view.get()->*setting.set)(setting.good);
            (view.get()->*setting.set)(given);
            EXPECT_EQ((view.get()->*setting.get)(), expected) << setting.name << " set to " << given;
        }
        // Through key-value coding too, as an interface file or a binding sets it.
        (view.get()->*setting.set)(setting.good);
        view->setValueForKey(nan, setting.name);
        EXPECT_EQ((view.get()->*setting.get)(), setting.good) << setting.name << " set to NaN by its key";
    }
    auto perspective = view->perspective();
    auto broken = perspective;
    broken.m34 = nan;
    view->setPerspective(broken);
    EXPECT_EQ(view->perspective().m34, perspective.m34);

    // After every one of them was given NaN, the items still show where they belong.
    useItems(bitmapItems(3));
    view->setSelectedIndex(1);
    for (const auto& setting : settings)
        (view.get()->*setting.set)(nan);
    view->setSpacing(nan);
    view->setTitleSize(nan);
    EXPECT_DOUBLE_EQ(view->titleLayer()->fontSize(), 18);
    settle(1);
    EXPECT_EQ(view->visibleItemIndexes().length, 3);
    // The last settings above: angle 45 (factor 0.5), spacing 30, item scale 0.5, selection 1.
    double side = view->itemLayerAtIndex(1)->frame().width();
    ASSERT_GT(side, 0);
    EXPECT_DOUBLE_EQ(view->itemLayerAtIndex(1)->frame().minX(), side * 0.5 + 30 + side * 0.5);
    EXPECT_DOUBLE_EQ(view->itemLayerAtIndex(2)->frame().minX(), 2 * (side * 0.5 + 30) + side);
}

TEST_F(FlowViewTest, LayoutOnTheVirtualClockEndsInLoadingPictures)
{
    auto items = bitmapItems(5);
    source->items = items;
    view->reloadContent();
    ASSERT_EQ(view->selectedIndex(), 0u);
    // The layout transaction lasts scrollDuration; its completion loads the visible pictures.
    view->setSelectedIndex(2);
    settle(0.1);
    auto moving = view->itemLayerAtIndex(1)->presentationLayer()->position();
    EXPECT_NE(moving, view->itemLayerAtIndex(1)->position()) << "the move animates";
    settle(1);
    drainPictures();
    EXPECT_EQ(view->itemLayerAtIndex(1)->presentationLayer()->position(), view->itemLayerAtIndex(1)->position());
    EXPECT_TRUE(view->imageLayerAtIndex(2)->contents());

    auto size = view->itemSizeForRect(view->scrollLayer()->bounds());
    EXPECT_DOUBLE_EQ(
        view->itemLayerAtIndex(2)->frame().minX(), QFFlowView::horizontalOffsetForItem(2, size.width, 70, 50, 2));
    EXPECT_DOUBLE_EQ(view->scrollLayer()->bounds().minX(), view->selectedScrollPoint().x);
    EXPECT_DOUBLE_EQ(view->imageLayerAtIndex(2)->zPosition(), 200);
    EXPECT_DOUBLE_EQ(view->imageLayerAtIndex(0)->zPosition(), -200);
    EXPECT_DOUBLE_EQ(view->itemLayerAtIndex(0)->zPosition(), -201);
    EXPECT_EQ(view->imageLayerAtIndex(0)->anchorPoint(), (gfx::Point { 0, 0 }));
    EXPECT_EQ(view->imageLayerAtIndex(4)->anchorPoint(), (gfx::Point { 1, 0 }));
    EXPECT_GT(view->visibleItemIndexes().length, 0);
    EXPECT_EQ(view->title(), fnd::String("Item 2"));
    EXPECT_GT(view->titleLayer()->bounds().width(), 0) << "the title is sized to its string";
}

TEST_F(FlowViewTest, ScrollKnobAndReflections)
{
    useItems(bitmapItems(1));
    EXPECT_TRUE(view->scrollBarLayer()->isHidden());
    useItems(bitmapItems(2));
    EXPECT_FALSE(view->scrollBarLayer()->isHidden());
    double bar = view->scrollBarLayer()->bounds().width();
    EXPECT_DOUBLE_EQ(view->scrollKnobLayer()->frame().minX(), 5);
    view->setSelectedIndex(1);
    settle(1);
    EXPECT_DOUBLE_EQ(view->scrollKnobLayer()->frame().maxX(), bar - 5);

    EXPECT_EQ(view->itemLayerAtIndex(0)->instanceCount(), 2);
    view->setShowsReflection(false);
    EXPECT_EQ(view->itemLayerAtIndex(0)->instanceCount(), 1);
    view->setReflectionOffset(-0.7);
    EXPECT_DOUBLE_EQ(view->itemLayerAtIndex(1)->instanceRedOffset(), -0.7);
}

TEST_F(FlowViewTest, ReloadReusesLayersAndKeepsOneElementPerItem)
{
    useItems(bitmapItems(4));
    auto first = view->itemLayerAtIndex(0);
    view->reloadContent();
    view->reloadContent();
    bool reused = false;
    for (std::size_t i = 0; i < 4; ++i)
        reused = reused || view->itemLayerAtIndex(i) == first;
    EXPECT_TRUE(reused);
    EXPECT_EQ(view->queuedItemLayerCount(), 0u);
    auto list = view->accessibilityElementOfLayer(*view->backgroundLayer());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->countOfChildren(), 4u);

    source->items.resize(2);
    view->setSelectedIndex(3);
    view->reloadContent();
    EXPECT_EQ(view->selectedIndex(), 0u) << "a selection past the items moves to the first";
    EXPECT_EQ(list->countOfChildren(), 2u);
    EXPECT_EQ(view->queuedItemLayerCount(), 2u);
}

// Interaction.

TEST_F(FlowViewTest, ClicksDoubleClicksAndTheWheelSelect)
{
    struct Delegate : QFFlowViewDelegate {
        std::vector<std::size_t> doubleClicks;
        int selectionChanges = 0;
        void flowViewSelectionDidChange(QFFlowView&) override { ++selectionChanges; }
        bool flowViewItemWasDoubleClickedAtIndex(QFFlowView&, std::size_t index) override
        {
            doubleClicks.push_back(index);
            return true;
        }
    };
    auto delegate = std::make_shared<Delegate>();
    view->setDelegate(delegate);
    useItems(bitmapItems(8));
    drainPictures();
    delegate->selectionChanges = 0;

    auto p = pointOnItem(2);
    EXPECT_EQ(view->indexOfItemAtPoint(p), 2u);
    backend->click(*window, windowPoint(p));
    backend->dispatchEvents();
    settle(1);
    EXPECT_EQ(view->selectedIndex(), 2u);
    EXPECT_EQ(delegate->selectionChanges, 1);

    // The second click of a pair finds the item selected: a double click.
    p = pointOnItem(2);
    backend->mouseDown(*window, windowPoint(p), 0, 2);
    backend->mouseUp(*window, windowPoint(p), 0, 2);
    backend->dispatchEvents();
    EXPECT_EQ(delegate->doubleClicks, std::vector<std::size_t> { 2 });

    // Wheel: a positive delta goes back (as a scroll view shows what lies before), the index truncated toward zero;
    // before the first item nothing happens.
    backend->scrollWheel(*window, windowPoint(p), 0, -0.5);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 2u) << "2 + 0.5 truncated";
    backend->scrollWheel(*window, windowPoint(p), 0, 0.5);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 1u) << "2 - 0.5 truncated";
    backend->scrollWheel(*window, windowPoint(p), -2.5, 1);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 3u) << "1 + 2.5 truncated";
    view->setSelectedIndex(0);
    backend->scrollWheel(*window, windowPoint(p), 0, 3);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 0u);

    // Touchpad swipes move by one: to the left selects the next item, to the right (or before the first) the
    // previous; a vertical swipe moves along the same way. The view takes touches.
    EXPECT_TRUE(view->acceptsTouchEvents());
    backend->swipe(*window, windowPoint(p), 1, 0);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 1u);
    backend->swipe(*window, windowPoint(p), 0, 1);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 2u);
    backend->swipe(*window, windowPoint(p), -1, 0);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 1u);
    view->setSelectedIndex(0);
    backend->swipe(*window, windowPoint(p), -1, 0);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 0u);
    view->moveLeft({});
    EXPECT_EQ(view->selectedIndex(), 0u);
    backend->keyDown(*window, "x", ui::KeyCode::RightArrow);
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 1u);
}

// One turn of the wheel moves a scroll view, the card-flow view and the flow view the same way: up or left (a
// positive delta) shows what lies before, down or right what lies after.
TEST_F(FlowViewTest, TheWheelMovesBothBrowsersTheWayAScrollViewMoves)
{
    auto scrollView = ui::ScrollView::create({ 0, 0, 200, 100 });
    scrollView->setHasHorizontalScroller(true);
    scrollView->setDocumentView(ui::View::create({ 0, 0, 2000, 80 }));
    scrollView->contentView()->scrollToPoint({ 500, 0 });
    auto cards = ZORCardFlowView::create({ 0, 0, 400, 300 });
    cards->setContent({ fnd::Value("a"), fnd::Value("b"), fnd::Value("c"), fnd::Value("d") });
    cards->setSelectionIndex(2);
    useItems(bitmapItems(4));
    view->setSelectedIndex(2);
    settle(1);

    auto wheel = [&](ui::View& target, double dx, double dy) {
        target.scrollWheel(*ui::Event::scrollEvent({}, 0, 0, window->windowNumber(), dx, dy));
    };
    wheel(*scrollView, 1, 0);
    EXPECT_LT(scrollView->contentView()->bounds().minX(), 500) << "left: what lies before";
    wheel(*cards, 0, 1);
    wheel(*view, 0, 1);
    EXPECT_EQ(cards->selectionIndex(), 1);
    EXPECT_EQ(view->selectedIndex(), 1u);
    wheel(*cards, 0, -1);
    wheel(*view, 0, -1);
    EXPECT_EQ(cards->selectionIndex(), 2);
    EXPECT_EQ(view->selectedIndex(), 2u);
    wheel(*cards, -1, 0);
    wheel(*view, -1, 0);
    EXPECT_EQ(cards->selectionIndex(), 3);
    EXPECT_EQ(view->selectedIndex(), 3u);
}

TEST_F(FlowViewTest, DoubleClickFallsBackToTheActionThenToOpeningTheFile)
{
    auto png = (folder / "open me.png").string();
    ASSERT_TRUE(solidBitmap(8, 8, 0xFF0000FF)->writeToFile(fnd::String(png), gfx::BitmapImageFileType::PNG));
    useItems({ TestItem::create("p", fnd::String(png), RT::Path, "P") });
    drainPictures();
    std::vector<fnd::String> opened;
    auto previous = fnd::Workspace::sharedWorkspace().setOpener([&](const fnd::String& uri) -> fnd::Expected<void> {
        opened.push_back(uri);
        return {};
    });
    auto p = windowPoint(pointOnItem(0));
    backend->mouseDown(*window, p, 0, 2);
    backend->mouseUp(*window, p, 0, 2);
    backend->dispatchEvents();
    fnd::Workspace::sharedWorkspace().setOpener(previous);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].utf8().find("open"), std::string::npos);
}

TEST_F(FlowViewTest, DraggingTheKnobToTheFarEndSelectsTheLastItem)
{
    useItems(bitmapItems(6));
    auto knob = view->scrollKnobLayer();
    auto start = view->backgroundLayer()->convertPointFromLayer({ 5, 8 }, knob.get());
    ASSERT_TRUE(start);
    backend->mouseDown(*window, windowPoint(*start));
    backend->mouseDragged(*window, windowPoint({ 799, start->y }));
    backend->mouseUp(*window, windowPoint({ 799, start->y }));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 5u);
    EXPECT_FALSE(view->draggingKnob());
}

// The knob's width follows the items in view, which a move changes before it is laid out: a drag past the bar's end
// still reaches the last item when the knob, grabbed near its far edge, is narrower at the last move than it was at
// the press (the knob gesture test's seed 4 stopped three items short).
TEST_F(FlowViewTest, DraggingTheKnobPastTheEndReachesTheLastItemWhateverItsWidthWasWhenGrabbed)
{
    useItems(bitmapItems(24));
    view->setSelectedIndex(23);
    settle(1);
    auto knob = view->scrollKnobLayer();
    const double width = knob->bounds().width();
    auto start = view->backgroundLayer()->convertPointFromLayer({ width - 2, 8 }, knob.get());
    ASSERT_TRUE(start);
    // The bar spans the middle 600 points of the view: 5 points past its end.
    const double barEnd = view->scrollBarLayer()->convertPointToLayer({ 600, 8 }, nullptr)->x;
    backend->mouseDown(*window, windowPoint(*start));
    backend->mouseDragged(*window, windowPoint({ 400, start->y }));
    backend->mouseDragged(*window, windowPoint({ barEnd + 5, start->y }));
    backend->mouseUp(*window, windowPoint({ barEnd + 5, start->y }));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 23u);
}

// A knob drag ends when the view leaves its window: the release went elsewhere, and a later press and drag over the
// items moved the selection as the knob would (the knob gesture test's seed 2).
TEST_F(FlowViewTest, AKnobDragEndsWhenTheViewLeavesItsWindow)
{
    useItems(bitmapItems(6));
    auto holder = ui::makeView<ui::View>(gfx::Rect { 0, 0, 800, 400 });
    window->contentView()->addSubview(holder);
    holder->addSubview(view);
    settle(1);
    auto start = view->backgroundLayer()->convertPointFromLayer({ 5, 8 }, view->scrollKnobLayer().get());
    ASSERT_TRUE(start);
    backend->mouseDown(*window, windowPoint(*start));
    backend->dispatchEvents();
    ASSERT_TRUE(view->draggingKnob());
    holder->removeFromSuperview();
    backend->mouseUp(*window, windowPoint(*start));
    backend->dispatchEvents();
    EXPECT_FALSE(view->draggingKnob());

    window->contentView()->addSubview(holder);
    settle(1);
    // A press on the second item selects it, and a drag from there to the far right leaves it so.
    auto p = windowPoint(pointOnItem(1));
    backend->mouseDown(*window, p);
    backend->mouseDragged(*window, windowPoint({ 799, start->y }));
    backend->mouseUp(*window, windowPoint({ 799, start->y }));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 1u);
}

// Notes the characters of the keys that reach it.
class FlowViewKeyRecorder : public ui::View {
    FND_OBJECT(FlowViewKeyRecorder)
public:
    void keyDown(const ui::Event& event) override { keys.push_back(event.characters().utf8()); }
    std::vector<std::string> keys;
};
FND_REGISTER_CLASS(FlowViewKeyRecorder, ui::View)

TEST_F(FlowViewTest, SpaceTogglesThePreviewPanelForFileItems)
{
    auto png = (folder / "preview.png").string();
    ASSERT_TRUE(solidBitmap(32, 32, 0xFF00FF00)->writeToFile(fnd::String(png), gfx::BitmapImageFileType::PNG));
    useItems({ TestItem::create("p", fnd::String(png), RT::Path, "P"), bitmapItems(1)[0] });
    view->setCanControlQuickLookPanel(true);
    // The view sits in a view that hears the keys passed on to it.
    auto outer = ui::makeView<FlowViewKeyRecorder>(gfx::Rect { 0, 0, 800, 400 });
    window->contentView()->addSubview(outer);
    outer->addSubview(view);
    window->makeFirstResponder(view);
    backend->keyDown(*window, " ", ui::KeyCode::Space);
    backend->dispatchEvents();
    auto panel = ui::PreviewPanel::sharedPreviewPanel();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(outer->keys, (std::vector<std::string> { " " })) << "the space goes on after the toggle";
    EXPECT_EQ(panel->currentPreviewItem(), fnd::fileURLWithPath(fnd::String(png)));
    EXPECT_EQ(panel->dataSource().get(), static_cast<ui::PreviewPanelDataSource*>(view.get()));
    view->togglePreviewPanel({});
    EXPECT_FALSE(panel->isVisible());
    // A picture item has no file to preview.
    view->setSelectedIndex(1);
    EXPECT_FALSE(view->acceptsPreviewPanelControl(*panel));
}

TEST_F(FlowViewTest, DraggingAFileItemOutCarriesItsURL)
{
    auto png = (folder / "drag.png").string();
    ASSERT_TRUE(solidBitmap(32, 32, 0xFF00FF00)->writeToFile(fnd::String(png), gfx::BitmapImageFileType::PNG));
    useItems({ TestItem::create("p", fnd::String(png), RT::Path, "P") });
    drainPictures();
    auto p = windowPoint(pointOnItem(0));
    backend->mouseDown(*window, p);
    backend->mouseDragged(*window, { p.x + 30, p.y + 30 });
    backend->mouseUp(*window, { p.x + 30, p.y + 30 });
    backend->dispatchEvents();
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    auto url = pasteboard->stringForType(ui::PasteboardType::URL);
    ASSERT_TRUE(url);
    EXPECT_EQ(fnd::pathOfFileURL(*url), fnd::String(png));
    EXPECT_EQ(view->draggingSourceOperationMaskForLocal(true), ui::DragOperations::Move);
    EXPECT_EQ(view->draggingSourceOperationMaskForLocal(false), ui::DragOperations::Copy);
}

// A drag as a destination sees it, at a point of the window.
class StubDraggingInfo : public ui::DraggingInfo {
public:
    gfx::Point location;
    std::shared_ptr<fnd::Object> source;
    std::shared_ptr<ui::Window> draggingDestinationWindow() const override { return nullptr; }
    ui::DragOperation draggingSourceOperationMask() const override { return ui::DragOperations::Copy; }
    gfx::Point draggingLocation() const override { return location; }
    gfx::Point draggedImageLocation() const override { return location; }
    std::shared_ptr<gfx::Image> draggedImage() const override { return nullptr; }
    std::shared_ptr<ui::Pasteboard> draggingPasteboard() const override { return nullptr; }
    std::shared_ptr<fnd::Object> draggingSource() const override { return source; }
    long draggingSequenceNumber() const override { return 1; }
};

TEST_F(FlowViewTest, DropsGoThroughTheDataSource)
{
    useItems(bitmapItems(4));
    view->setSelectedIndex(1);
    settle(1);
    StubDraggingInfo info;
    info.location = windowPoint(pointOnItem(2));
    EXPECT_EQ(view->draggingEntered(info), ui::DragOperations::None);
    EXPECT_EQ(view->highlightedLayer(), view->backgroundLayer());
    EXPECT_EQ(view->draggingUpdated(info), ui::DragOperations::None) << "no validation answer";
    EXPECT_EQ(view->highlightedLayer(), view->imageLayerAtIndex(2));
    source->validation = ui::DragOperations::Copy;
    source->acceptance = true;
    EXPECT_EQ(view->draggingUpdated(info), ui::DragOperations::Copy);
    EXPECT_TRUE(view->performDragOperation(info));
    EXPECT_EQ(source->dropIndexes.back(), 2u);
    view->concludeDragOperation(info);
    EXPECT_FALSE(view->highlightedLayer());

    // From the view itself onto its selected item, and between items: refused.
    info.source = view;
    info.location = windowPoint(pointOnItem(1));
    EXPECT_EQ(view->draggingUpdated(info), ui::DragOperations::None);
    info.location = windowPoint({ 2, 2 });
    EXPECT_EQ(view->draggingUpdated(info), ui::DragOperations::None);
    EXPECT_FALSE(view->performDragOperation(info));
}

TEST_F(FlowViewTest, ContentBindingFollowsTheControllerAndItsItems)
{
    auto controller = std::make_shared<fnd::ArrayController>();
    fnd::Array items;
    for (auto& item : bitmapItems(3))
        items.push_back(item);
    controller->setContent(fnd::Value(items));
    view->setDataSource(nullptr);
    view->bind("contentArray", *controller, "arrangedObjects");
    EXPECT_TRUE(view->bindingsEnabled());
    EXPECT_EQ(view->numberOfItems(), 3u);
    EXPECT_EQ(*view->imageUIDKeyPath(), fnd::String("imageItemUID"));
    EXPECT_FALSE(view->imageTitleKeyPath().has_value());

    view->setSelectedIndex(2);
    EXPECT_EQ(controller->selectionIndex(), 2);
    // Items are observed from the start: the title path names the selected item's title, not the last item's.
    view->setSelectedIndex(1);
    view->setTitle("none");
    view->setImageTitleKeyPath(fnd::String("imageItemTitle"));
    EXPECT_EQ(view->title(), fnd::String("Item 1"));
    // A picture cached under the identifier of an item that joins is not its picture.
    auto stale = solidBitmap(5, 5, 0xFF123456);
    view->cacheImage(stale, fnd::Value("uid 3"));
    controller->addObject(bitmapItems(4)[3]);
    EXPECT_EQ(view->numberOfItems(), 4u);
    EXPECT_NE(view->lookupForImageUID(fnd::Value("uid 3")), stale);
    EXPECT_EQ(view->title(), fnd::String("Item 1"));
    drainPictures();

    // A changed representation removes the item's cached picture.
    ASSERT_TRUE(view->lookupForImageUID(fnd::Value("uid 0")));
    auto item = std::dynamic_pointer_cast<TestItem>(items[0].object());
    item->setValueForKey(fnd::Value(solidBitmap(4, 4, 0xFFFFFFFF)), "imageItemRepresentation");
    EXPECT_FALSE(view->lookupForImageUID(fnd::Value("uid 0")));

    view->unbind("contentArray");
    EXPECT_FALSE(view->bindingsEnabled());
    EXPECT_FALSE(view->infoForBinding("contentArray"));
}

// The caption follows a title change that the selected item announces by key-value observation, whether the item
// came from the data source or from a bound controller (with or without a title key path); another item's change
// leaves it alone.
TEST_F(FlowViewTest, TheCaptionFollowsTheSelectedItemsTitle)
{
    auto rename = [](const fnd::Value& item, const char* title) {
        item.object()->setValueForKey(fnd::String(title), "imageItemTitle");
    };
    auto items = bitmapItems(3);
    useItems(items);
    view->setSelectedIndex(1);
    settle(1);
    ASSERT_EQ(view->title(), fnd::String("Item 1"));
    rename(items[1], "Renamed one");
    EXPECT_EQ(view->title(), fnd::String("Renamed one")) << "a data-source item";
    EXPECT_EQ(view->titleLayer()->string(), fnd::Value("Renamed one"));
    rename(items[0], "Renamed zero");
    EXPECT_EQ(view->title(), fnd::String("Renamed one")) << "an item not selected";
    view->setSelectedIndex(0);
    settle(1);
    EXPECT_EQ(view->title(), fnd::String("Renamed zero"));
    rename(items[1], "Renamed again");
    EXPECT_EQ(view->title(), fnd::String("Renamed zero")) << "the item selected before";

    for (bool titleKeyPath : { false, true }) {
        SCOPED_TRACE(titleKeyPath ? "bound, with a title key path" : "bound, without a title key path");
        auto controller = std::make_shared<fnd::ArrayController>();
        fnd::Array bound;
        for (auto& item : bitmapItems(3))
            bound.push_back(item);
        controller->setContent(fnd::Value(bound));
        auto boundView = QFFlowView::create({ 0, 0, 800, 400 });
        window->contentView()->addSubview(boundView);
        if (titleKeyPath)
            boundView->setImageTitleKeyPath(fnd::String("imageItemTitle"));
        boundView->bind("contentArray", *controller, "arrangedObjects");
        boundView->setSelectedIndex(2);
        settle(1);
        ASSERT_EQ(boundView->title(), fnd::String("Item 2"));
        rename(bound[2], "Renamed two");
        EXPECT_EQ(boundView->title(), fnd::String("Renamed two"));
        rename(bound[0], "Renamed zero");
        EXPECT_EQ(boundView->title(), fnd::String("Renamed two")) << "an item not selected";
        boundView->removeFromSuperview();
    }
}

TEST_F(FlowViewTest, ContentBindingNeedsAnArrayController)
{
    struct Recorder : fnd::AssertionHandler {
        std::vector<fnd::String> failures;
        void handleFailure(const fnd::String& description, const std::source_location&) override
        {
            failures.push_back(description);
        }
    } recorder;
    auto* previous = &fnd::AssertionHandler::current();
    fnd::AssertionHandler::setCurrent(&recorder);
    auto plain = std::make_shared<fnd::ObjectController>();
    view->bind("contentArray", *plain, "content");
    fnd::AssertionHandler::setCurrent(previous);
    ASSERT_EQ(recorder.failures.size(), 1u);
    EXPECT_EQ(recorder.failures[0], fnd::String("NSContentArrayBinding needs to be bound to an NSArrayController!"));
    EXPECT_FALSE(view->bindingsEnabled());
}

TEST_F(FlowViewTest, ArchivesItsGeometryInKeyedArchivesOnly)
{
    view->setStackedAngle(45);
    view->setSpacing(12);
    view->setShowsReflection(false);
    view->setPreviewScale(0.5);
    auto perspective = ui::Transform3D::identity();
    perspective.m34 = -1.0 / 700;
    view->setPerspective(perspective);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
    ASSERT_TRUE(data);
    auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<QFFlowView>();
    ASSERT_TRUE(copy);
    EXPECT_DOUBLE_EQ(copy->stackedAngle(), 45);
    EXPECT_DOUBLE_EQ(copy->spacing(), 12);
    EXPECT_FALSE(copy->showsReflection());
    EXPECT_DOUBLE_EQ(copy->previewScale(), 0.5);
    EXPECT_DOUBLE_EQ(copy->perspective().m34, -1.0 / 700);
    EXPECT_DOUBLE_EQ(copy->scrollDuration(), 0.4);
    EXPECT_EQ(copy->selectedIndex(), QFFlowView::NotFound);
    EXPECT_TRUE(copy->scrollLayer());
    // Made in code it has a title and takes URLs; decoded, neither.
    EXPECT_EQ(view->title(), fnd::String("Title"));
    EXPECT_EQ(ui::registeredDraggedTypes(*view), std::vector<fnd::String> { ui::PasteboardType::URL });
    EXPECT_EQ(copy->title(), fnd::String());
    EXPECT_EQ(copy->titleLayer()->string(), fnd::Value(fnd::String()));
    EXPECT_TRUE(ui::registeredDraggedTypes(*copy).empty());

    fnd::SequentialArchiver sequential;
    EXPECT_THROW(view->encodeWithCoder(sequential), fnd::Exception);

    EXPECT_EQ(testsupport::KeyRecorder::ownKeyNames<ui::Control>(*view),
        (std::vector<std::string> { "stackedAngle", "spacing", "selectedScale", "stackedScale", "reflectionOffset",
            "showsReflection", "perspective", "scrollDuration", "itemScale", "previewScale" }));
    auto keys = testsupport::KeyRecorder::keysOf(*view);
    EXPECT_NE(std::ranges::find(keys, testsupport::KeyRecorder::Entry { "showsReflection", "double" }), keys.end())
        << "the switch is written as a number";
}

// Being shown.

// Each item in view shows its own picture: a picture item's is its representation itself.
::testing::AssertionResult showsOwnPictures(QFFlowView& view, const std::vector<fnd::Value>& items)
{
    auto visible = view.visibleItemIndexes();
    if (visible.length == 0)
        return ::testing::AssertionFailure() << "no item in view";
    for (auto i = std::size_t(visible.location); i < std::size_t(visible.location + visible.length); ++i) {
        auto content = view.imageLayerAtIndex(i);
        auto own = items[i].objectAs<TestItem>()->representation.objectAs<gfx::BitmapImageRep>();
        if (!content || content->contents() != own)
            return ::testing::AssertionFailure() << "item " << i << " shows another picture";
    }
    return ::testing::AssertionSuccess();
}

// Items given before the view is in a window (as awakeFromNib gives them), or while it is in one but not yet laid
// out, show their pictures once it is shown: not blank pages, not their type's icon.
TEST_F(FlowViewTest, ItemsGivenBeforeTheViewIsShownOrLaidOutShowTheirPictures)
{
    auto items = bitmapItems(6);
    auto early = QFFlowView::create({ 0, 0, 800, 400 });
    early->setDataSource(source);
    source->items = items;
    early->reloadContent();
    view->removeFromSuperview();
    window->contentView()->addSubview(early);
    settle(1);
    drainPictures(*early);
    EXPECT_EQ(early->scrollLayer()->sublayers().size(), 6u);
    EXPECT_TRUE(showsOwnPictures(*early, items));
    early->removeFromSuperview();

    // Files, whose type's icon stands in until their picture is made, in a window laid out only after the reload.
    auto pictures = testsupport::generatePictureFolder(folder / "pictures", 6);
    std::vector<fnd::Value> files;
    for (const auto& picture : pictures) {
        auto path = fnd::String(picture.path.string());
        files.push_back(TestItem::create(path, fnd::fileURLWithPath(path), RT::URL, "File"));
    }
    auto other = ui::Window::create({ { 50, 50 }, { 800, 400 } });
    auto unlaid = QFFlowView::create({ 0, 0, 800, 400 });
    other->contentView()->addSubview(unlaid);
    unlaid->setDataSource(source);
    source->items = files;
    unlaid->reloadContent();
    ASSERT_EQ(unlaid->scrollLayer()->bounds().width(), 0) << "not laid out yet";
    other->makeKeyAndOrderFront();
    drainPictures(*unlaid);
    auto visible = unlaid->visibleItemIndexes();
    ASSERT_GT(visible.length, 0);
    for (auto i = std::size_t(visible.location); i < std::size_t(visible.location + visible.length); ++i) {
        auto contents = unlaid->imageLayerAtIndex(i)->contents();
        ASSERT_TRUE(contents);
        auto middle = contents->pixelBuffer().pixel(int(contents->pixelsWide() / 2), int(contents->pixelsHigh() / 2));
        EXPECT_TRUE(testsupport::pixelShowsColor(middle, pictures[i].rgb))
            << "item " << i << " shows " << std::hex << middle;
    }
    other->close();
}

// A tab page hidden and shown again: the view drops its layer while out of the window and shows the same items,
// selection and pictures when it comes back.
// A view out of every window keeps no pictures, neither in its cache nor on its layers, and a picture still being made
// as it leaves is not kept either (a view on each of 200 tab pages kept 128 MiB each); shown again, it loads them.
TEST_F(FlowViewTest, AViewOutOfItsWindowKeepsNoPicturesAndShowsThemWhenShownAgain)
{
    auto gate = std::make_shared<FlowViewWorkerGate>();
    FlowViewGateOpener opener { gate };
    auto items = bitmapItems(6);
    items[3] = TestItem::create("slow", fnd::Value(flowViewHeldPicture(gate)), RT::NSImage, "Slow");
    useItems(items);
    view->setSelectedIndex(2);
    settle(1);
    ASSERT_TRUE(flowViewWaitUntilHeld(*gate));
    ASSERT_TRUE(flowViewWaitFor([&] { return view->cachedImageCount() >= 3; }, [&] { settle(); }));
    auto holdsNoPictures = [&] {
        if (view->cachedImageCount() != 0 || view->cachedImageBytes() != 0)
            return ::testing::AssertionFailure() << view->cachedImageCount() << " pictures cached";
        for (std::size_t i = 0; i < items.size(); ++i)
            if (auto content = view->imageLayerAtIndex(i);
                content && content->contents() && content->contents() != QFFlowView::defaultImage())
                return ::testing::AssertionFailure() << "item " << i << " holds its picture";
        return ::testing::AssertionSuccess();
    };

    view->removeFromSuperview();
    EXPECT_TRUE(holdsNoPictures()) << "removed from its window";
    // The slow picture, made after the view left, is not kept.
    gate->set(&FlowViewWorkerGate::open);
    ASSERT_TRUE(waitForOperations(*view->operationQueue()));
    settle();
    EXPECT_TRUE(holdsNoPictures()) << "after the picture under way was made";

    auto tabs = ui::TabView::create({ 0, 0, 800, 400 });
    for (int i = 0; i < 2; ++i) {
        auto page = ui::TabViewItem::create(fnd::Value(i));
        page->setView(i == 0 ? std::static_pointer_cast<ui::View>(view) : ui::View::create());
        tabs->addTabViewItem(page);
    }
    window->contentView()->addSubview(tabs);
    tabs->selectTabViewItemAtIndex(0);
    settle(1);
    drainPictures();
    ASSERT_TRUE(view->window());
    EXPECT_GT(view->cachedImageCount(), 0u);
    tabs->selectTabViewItemAtIndex(1);
    settle(1);
    EXPECT_FALSE(view->window());
    EXPECT_FALSE(view->layer()) << "a view out of its window drops its layer";
    EXPECT_TRUE(holdsNoPictures()) << "on a tab page not shown";

    tabs->selectTabViewItemAtIndex(0);
    settle(1);
    drainPictures();
    ASSERT_EQ(view->layer(), view->backgroundLayer());
    EXPECT_EQ(view->numberOfItems(), 6u);
    EXPECT_EQ(view->selectedIndex(), 2u);
    EXPECT_EQ(view->scrollLayer()->sublayers().size(), 6u);
    auto visible = view->visibleItemIndexes();
    ASSERT_GT(visible.length, 0);
    for (auto i = std::size_t(visible.location); i < std::size_t(visible.location + visible.length); ++i) {
        auto shown = view->imageLayerAtIndex(i)->contents();
        if (i == 3)
            EXPECT_TRUE(shown && shown != QFFlowView::defaultImage()) << "the slow item's picture is made again";
        else
            EXPECT_EQ(shown, items[i].objectAs<TestItem>()->representation.objectAs<gfx::BitmapImageRep>()) << i;
    }
    EXPECT_EQ(view->title(), fnd::String("Item 2"));
}

// Accessibility and auxiliary layers.

TEST_F(FlowViewTest, AccessibilityTreeAnswersQueriesAndChangesTheSelection)
{
    namespace A = ui::AccessibilityAttribute;
    namespace R = ui::AccessibilityRole;
    useItems(bitmapItems(3));
    EXPECT_FALSE(view->accessibilityIsIgnored());
    auto children = view->accessibilityAttributeValue(A::Children);
    ASSERT_TRUE(children.isArray());
    ASSERT_EQ(children.array()->size(), 2u);
    EXPECT_EQ(view->accessibilityAttributeValue(A::Contents), children);
    auto names = view->accessibilityAttributeNames();
    EXPECT_NE(std::find(names.begin(), names.end(), A::Contents), names.end());
    auto list = (*children.array())[0].objectAs<QFLayerAccessibilityHelper>();
    auto bar = (*children.array())[1].objectAs<QFLayerAccessibilityHelper>();
    ASSERT_TRUE(list && bar);
    EXPECT_EQ(view->accessibilityAttributeValue(A::Role), fnd::Value(R::ScrollArea));
    EXPECT_EQ(view->accessibilityAttributeValue(A::RoleDescription), fnd::Value("scroll area"));
    EXPECT_EQ(list->accessibilityAttributeValue(A::Role), fnd::Value(R::List));
    EXPECT_EQ(list->accessibilityAttributeValue(A::RoleDescription), fnd::Value("list"));
    EXPECT_EQ(list->accessibilityAttributeValue(A::Parent).object(), view);
    EXPECT_EQ(list->accessibilityAttributeValue(A::Window).object(), window);
    EXPECT_EQ(list->accessibilityAttributeValue(A::Orientation), fnd::Value(ui::AccessibilityOrientation::Horizontal));
    auto selected = list->accessibilityAttributeValue(A::SelectedChildren);
    ASSERT_EQ(selected.array()->size(), 1u);
    auto first = selected.array()->front().objectAs<QFLayerAccessibilityHelper>();
    EXPECT_EQ(first->accessibilityAttributeValue(A::Title), fnd::Value("Item 0"));
    EXPECT_TRUE(first->accessibilityAttributeValue(A::Selected).boolValue());
    EXPECT_EQ(first->accessibilityAttributeValue(A::Parent).object(), list);
    // An item's element reads the same window as its list, through its parent.
    EXPECT_EQ(first->accessibilityAttributeValue(A::TopLevelUIElement).object(), window);

    // The knob reads 0 at the first item and 1 at the last; the selection moves through either element.
    auto knob = bar->objectInChildrenAtIndex(0);
    EXPECT_DOUBLE_EQ(knob->accessibilityAttributeValue(A::Value).doubleValue(), 0);
    list->accessibilitySetValue(fnd::Array { fnd::Value(2) }, A::SelectedChildren);
    EXPECT_EQ(view->selectedIndex(), 2u);
    EXPECT_DOUBLE_EQ(knob->accessibilityAttributeValue(A::Value).doubleValue(), 1);
    list->accessibilitySetValue(fnd::Array { fnd::Value(list->objectInChildrenAtIndex(0)) }, A::SelectedChildren);
    EXPECT_EQ(view->selectedIndex(), 0u);
    list->accessibilitySetValue(fnd::Array {}, A::SelectedChildren);
    EXPECT_EQ(view->selectedIndex(), 0u) << "an empty array is ignored";
    list->objectInChildrenAtIndex(1)->accessibilitySetValue(true, A::Selected);
    EXPECT_EQ(view->selectedIndex(), 1u);
    list->objectInChildrenAtIndex(2)->accessibilitySetValue(false, A::Selected);
    EXPECT_EQ(view->selectedIndex(), 1u) << "a false value does nothing";
    EXPECT_TRUE(list->accessibilityIsAttributeSettable(A::SelectedChildren));
    EXPECT_FALSE(list->accessibilityIsAttributeSettable(A::Orientation));
    EXPECT_TRUE(list->accessibilityActionNames().empty());
    EXPECT_TRUE(list->accessibilityActionDescription(ui::AccessibilityAction::Press).isEmpty());
    EXPECT_EQ(list->accessibilityFocusedUIElement().object(), list);
    EXPECT_EQ(list->description(), fnd::String("<QFLayerAccessibilityHelper> role: AXList"));

    // Hit testing takes a screen point: an item's element there, the list's on the background between items.
    settle(1);
    auto onScreen = [&](gfx::Point p) { return window->convertBaseToScreen(windowPoint(p)); };
    auto element = ui::accessibilityElement(view->accessibilityHitTest(onScreen(pointOnItem(1))));
    ASSERT_TRUE(element);
    EXPECT_EQ(ui::accessibilityAttribute(*element, A::Title), fnd::Value("Item 1"));
    EXPECT_EQ(view->accessibilityHitTest(onScreen({ 2, 2 })).object(), list) << "over the background";
    auto item = list->objectInChildrenAtIndex(1);
    EXPECT_EQ(item->accessibilityHitTest(onScreen(pointOnItem(1))).object(), item);
    EXPECT_EQ(item->accessibilityHitTest(onScreen({ 2, 2 })).object(), list) << "elsewhere: the parent";
}

// The view fills the content of a window at (50, 50) on the screen, y up: its layers' coordinates are the window's.
// The list covers the view; the items in view lie inside it, left to right, the selected one centred at x 450;
// an item far out of view lies beyond the right edge at the same height, not at some shared corner.
TEST_F(FlowViewTest, AccessibleFramesAreWhereThePicturesShowOnTheScreen)
{
    namespace A = ui::AccessibilityAttribute;
    useItems(bitmapItems(200));
    settle(1);
    auto list = view->accessibilityElementOfLayer(*view->backgroundLayer());
    ASSERT_TRUE(list);
    auto frame = [](const QFLayerAccessibilityHelper& element) {
        auto origin = element.accessibilityAttributeValue(A::Position).point();
        auto size = element.accessibilityAttributeValue(A::Size).size();
        return origin && size ? gfx::Rect { *origin, *size } : gfx::Rect {};
    };
    EXPECT_EQ(frame(*list), (gfx::Rect { 50, 50, 800, 400 }));

    auto visible = view->visibleItemIndexes();
    ASSERT_EQ(visible.location, 0);
    ASSERT_GE(visible.length, 3);
    double lastX = -1;
    for (auto i = std::size_t(0); i < std::size_t(visible.length); ++i) {
        auto item = frame(*list->objectInChildrenAtIndex(i));
        EXPECT_GT(item.width(), 0) << i;
        EXPECT_GE(item.minY(), 50) << i;
        EXPECT_LE(item.maxY(), 450) << i;
        EXPECT_GT(item.minX(), lastX) << i;
        lastX = item.minX();
    }
    EXPECT_NEAR(frame(*list->objectInChildrenAtIndex(0)).midX(), 450, 1);
    auto far = frame(*list->objectInChildrenAtIndex(199));
    auto farther = frame(*list->objectInChildrenAtIndex(150));
    EXPECT_GE(farther.minX(), 850);
    EXPECT_GT(far.minX(), farther.minX());
    EXPECT_GE(far.minY(), 50);
    EXPECT_LE(far.maxY(), 450);

    // A click where the scroll bar shows, right of its knob (in the window's coordinates, which are the layers'
    // here), moves to the next item.
    auto bar = view->scrollBarLayer()->frame();
    ASSERT_LT(bar.maxY(), 60) << "the bar lies along the bottom";
    backend->click(*window, { bar.maxX() - 10, bar.midY() });
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIndex(), 1u);
}

TEST(QFLayerAccessibilityHelperTest, ChildrenKeepTheirParentAndTheChildrenAttribute)
{
    auto make = [](const char* role) {
        return QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(role, nullptr, nullptr, nullptr);
    };
    auto listsChildren = [](const QFLayerAccessibilityHelper& e) {
        auto n = e.accessibilityAttributeNames();
        return std::find(n.begin(), n.end(), ui::AccessibilityAttribute::Children) != n.end();
    };
    auto roles = [](const std::vector<std::shared_ptr<QFLayerAccessibilityHelper>>& list) {
        std::string text;
        for (const auto& e : list)
            text += e->role().utf8();
        return text;
    };
    auto parent = make("P");
    EXPECT_FALSE(listsChildren(*parent));
    auto a = make("a"), b = make("b"), c = make("c"), d = make("d");
    parent->addChildrenObject(a);
    EXPECT_TRUE(listsChildren(*parent));
    // Inserted at 0 and 2 of the growing list: b a c.
    parent->insertChildren({ b, c }, fnd::IndexSet { 0, 2 });
    EXPECT_EQ(roles(parent->children()), "bac");
    parent->insertObjectInChildrenAtIndex(d, 99);
    EXPECT_EQ(roles(parent->children()), "bacd") << "past the end appends";
    EXPECT_EQ(roles(parent->childrenAtIndexes(fnd::IndexSet { 1, 3, 7 })), "ad");
    for (const auto& child : parent->children())
        EXPECT_EQ(child->parent(), parent);
    EXPECT_EQ(roles(parent->removeChildrenAtIndexes(fnd::IndexSet { 0, 2, 9 })), "bc");
    EXPECT_EQ(roles(parent->children()), "ad");
    EXPECT_FALSE(b->parent());
    EXPECT_FALSE(c->parent());
    parent->removeObjectFromChildrenAtIndex(5);
    EXPECT_EQ(parent->countOfChildren(), 2u);
    parent->removeObjectFromChildrenAtIndex(0);
    parent->removeObjectFromChildrenAtIndex(0);
    EXPECT_FALSE(listsChildren(*parent));
    EXPECT_FALSE(d->parent());

    // initWithRole sets what the class method does; the parent reads through unignored ancestors.
    auto child = fnd::makeObject<QFLayerAccessibilityHelper>();
    child->initWithRole(ui::AccessibilityRole::Image, parent, nullptr, nullptr);
    EXPECT_EQ(child->accessibilityAttributeValue(ui::AccessibilityAttribute::Role), fnd::Value("AXImage"));
    EXPECT_EQ(child->accessibilityAttributeValue(ui::AccessibilityAttribute::Parent).object(), parent);
    EXPECT_TRUE(child->accessibilityAttributeValue(ui::AccessibilityAttribute::Position).isNil()) << "no layer";
}
}
}
