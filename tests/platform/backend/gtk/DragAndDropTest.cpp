#include "GtkTestSupport.h"

#include "platform/backend/gtk/ClipboardTypes.h"
#include "platform/backend/gtk/GtkDragAndDrop.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>

using namespace gtktest;
namespace Op = ui::DragOperations;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string pdfBytes()
{
    auto context = gfx::GraphicsContext::createForPDF({ 60, 40 });
    {
        gfx::CurrentContextScope scope(context);
        context->setFillColor(*gfx::Color::blackColor());
        context->fillRect({ 5, 5, 50, 30 });
    }
    auto data = context->finishDocument();
    return std::string(reinterpret_cast<const char*>(data->bytes()), data->length());
}

// Starts a drag of a PDF and its text from every move with the button held, as the application's preview does:
// a move it is given after a drag ended would start another.
class PDFSourceView : public FillView, public ui::DraggingSource {
    FND_OBJECT(PDFSourceView)
public:
    void mouseDown(const ui::Event&) override { }
    void mouseDragged(const ui::Event& event) override
    {
        ++drags;
        auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
        pasteboard->declareTypes({ ui::PasteboardType::PDF, ui::PasteboardType::String });
        pasteboard->setData(fnd::Data::fromString(pdf), ui::PasteboardType::PDF);
        pasteboard->setString("Dragged barcode", ui::PasteboardType::String);
        started = true;
        auto image = gfx::Image::imageWithSize({ 30, 20 }, false, [](gfx::Rect rect) {
            gfx::GraphicsContext::current()->setFillColor(*gfx::Color::colorWithDeviceRed(0, 0.6, 0));
            gfx::GraphicsContext::current()->fillRect(rect);
            return true;
        });
        result = ui::dragImage(*this, image, { 5, 5 }, {}, event, pasteboard,
            std::static_pointer_cast<fnd::Object>(shared_from_this()), true);
        dragged = true;
    }
    ui::DragOperation draggingSourceOperationMaskForLocal(bool) override { return Op::Copy; }
    void draggedImageEndedAt(gfx::Image&, gfx::Point, ui::DragOperation operation) override { ended = operation; }

    std::string pdf = pdfBytes();
    ui::DragResult result;
    bool started { false };
    bool dragged { false };
    std::optional<ui::DragOperation> ended;
    int drags { 0 };
};
FND_REGISTER_CLASS(PDFSourceView, FillView)

// Records the clicks and keys it gets, to show that a program takes input again after a drag.
class InputRecorder : public KeyRecorder {
    FND_OBJECT(InputRecorder)
public:
    void mouseDown(const ui::Event&) override { ++clicks; }
    int clicks { 0 };
};
FND_REGISTER_CLASS(InputRecorder, KeyRecorder)

// Takes dropped text.
class TextDropView : public FillView, public ui::DraggingDestination {
    FND_OBJECT(TextDropView)
public:
    ui::DragOperation draggingEntered(ui::DraggingInfo& info) override
    {
        masks.push_back(info.draggingSourceOperationMask());
        return Op::Copy;
    }
    bool performDragOperation(ui::DraggingInfo& info) override
    {
        dropped.push_back(
            info.draggingPasteboard()->stringForType(ui::PasteboardType::String).value_or("<none>").utf8());
        return true;
    }
    std::vector<std::string> dropped;
    std::vector<ui::DragOperation> masks;
};
FND_REGISTER_CLASS(TextDropView, FillView)

}

class DragAndDropTest : public GtkDisplayTest {
protected:
    void TearDown() override
    {
        stopPeer();
        GtkDisplayTest::TearDown();
    }
    // The peer program at the screen's top left; waits until it is shown.
    void startPeer(const std::vector<std::string>& arguments)
    {
        stopPeer();
        reportPath = std::string(::testing::TempDir()) + "dnd-peer-" + std::to_string(::getpid()) + ".txt";
        std::remove(reportPath.c_str());
        std::remove((reportPath + ".data").c_str());
        std::vector<std::string> argv { DND_PEER };
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        argv.push_back(reportPath);
        peer = startInBackground(argv);
        ASSERT_GT(peer, 0);
        ASSERT_TRUE(waitFor([&] { return report().find("ready") != std::string::npos; }));
    }
    // Gone before the next peer shows at the same place.
    void stopPeer()
    {
        if (peer > 0 && ::kill(peer, SIGTERM) == 0) {
            EXPECT_TRUE(waitFor([&] { return hasEnded(peer); })) << "the peer outlived its test";
        }
        peer = -1;
    }
    std::string report() const { return readFile(reportPath); }
    bool peerSaid(const std::string& text) const { return report().find(text) != std::string::npos; }
    // Our window, shown after the peer so that it has the keyboard: the drag's source on the left, a recorder of
    // clicks and keys on the right.
    void showSourceWindow()
    {
        source = std::make_shared<PDFSourceView>();
        source->initWithFrame({ 0, 0, 120, 80 });
        source->fill = gfx::Color::colorWithDeviceRed(0, 0.6, 0);
        recorder = std::make_shared<InputRecorder>();
        recorder->initWithFrame({ 120, 0, 120, 80 });
        recorder->fill = gfx::Color::colorWithDeviceWhite(0.9);
        auto content = FillView::make({ 0, 0, 240, 80 }, gfx::Color::whiteColor());
        content->addSubview(source);
        content->addSubview(recorder);
        window = showWindow({ 300, 200, 240, 80 }, content);
    }
    // Root coordinates (logical pixels) of the source's and the recorder's middles, and of the peer's.
    int screenHeight() const { return int(ui::Screen::screens().front()->frame().height()); }
    std::string at(int x, int y) const { return std::to_string(x * scale()) + ' ' + std::to_string(y * scale()); }
    // Presses at one root point (logical pixels) and moves a little; once `started` says the drag is under way,
    // moves in steps to the other point; then the stages given, each once its condition holds (by default the
    // release once `answered` says the destination has answered the drag there, as a person does who sees the drop
    // accepted before letting go).
    void dragWithPointer(int fromX, int fromY, int toX, int toY, std::function<bool()> started,
        std::vector<std::pair<std::string, std::function<bool()>>> finish)
    {
        std::string moves;
        for (int step = 1; step <= 6; ++step)
            moves += " mousemove " + at(fromX + (toX - fromX) * step / 6, fromY + (toY - fromY) * step / 6)
                + " sleep 0.1";
        gesture.then("mousemove " + at(fromX, fromY) + " mousedown 1 mousemove " + at(fromX + 10, fromY + 10))
            .then(moves, std::move(started));
        for (auto& [arguments, when] : finish)
            gesture.then(arguments, std::move(when));
        gesture.start();
    }
    void dragWithPointer(
        int fromX, int fromY, int toX, int toY, std::function<bool()> started, std::function<bool()> answered)
    {
        dragWithPointer(fromX, fromY, toX, toY, std::move(started), { { "mouseup 1", std::move(answered) } });
    }
    // From the source to the peer's middle, released once the peer has answered; waits until the drag has ended.
    void dragSourceToPeer(std::vector<std::pair<std::string, std::function<bool()>>> finish = {})
    {
        if (finish.empty())
            finish.emplace_back("mouseup 1", [this] { return peerSaid("over"); });
        dragWithPointer(
            360, screenHeight() - 240, 100, 75, [this] { return source->started; }, std::move(finish));
        ASSERT_TRUE(waitFor([&] { return source->dragged && gesture.isDone(); }, 30))
            << "the drag never ended; stages started: " << gesture.stagesStarted() << "; the peer's report:\n"
            << report();
        EXPECT_EQ(source->drags, 1) << "a move of the same press started another drag";
    }
    // A click on the recorder and a key: the program takes both once the drag is over.
    void expectInputTakenAgain()
    {
        auto typedK = [this] {
            return std::ranges::any_of(recorder->keys,
                [](const auto& key) { return key.type == ui::EventType::KeyDown && key.characters == "k"; });
        };
        auto click = runWhileServing(*backend, "xdotool mousemove " + at(480, screenHeight() - 240) + " click 1");
        EXPECT_EQ(click.status, 0);
        EXPECT_TRUE(waitFor([&] { return recorder->clicks > 0; })) << "the click was not taken";
        auto key = runWhileServing(*backend, "xdotool key k");
        EXPECT_EQ(key.status, 0);
        EXPECT_TRUE(waitFor(typedK)) << "the key was not taken";
    }
    // Whether the drag's green picture shows anywhere on the peer's window.
    bool pictureOverPeer()
    {
        auto shot = settledScreen(*backend, 0, 0, 200 * scale(), 150 * scale());
        return std::ranges::any_of(shot.pixels, [](std::uint32_t rgb) { return rgb == 0x009900; });
    }
    StagedGesture gesture;
    int peer { -1 };
    std::string reportPath;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<PDFSourceView> source;
    std::shared_ptr<InputRecorder> recorder;
};

// A drag from our view to another program hands it the PDF as a file, which that program can read.
TEST_F(DragAndDropTest, DraggedPDFArrivesInAnotherProgramAsAFile)
{
    startPeer({ "target" });
    showSourceWindow();
    ASSERT_NO_FATAL_FAILURE(dragSourceToPeer());
    EXPECT_EQ(source->result.operation, Op::Copy);
    EXPECT_EQ(source->ended, Op::Copy);
    ASSERT_TRUE(waitFor([&] { return peerSaid("file "); })) << report();
    auto lines = report();
    auto start = lines.find("file ") + 5;
    auto path = lines.substr(start, lines.find('\n', start) - start);
    EXPECT_NE(path.find("Dragged barcode.pdf"), std::string::npos) << path;
    EXPECT_EQ(readFile(path), source->pdf);
    expectInputTakenAgain();
}

// Another program reads the drop itself, one type at a time, as a file manager reads the file list, a mail
// program the PDF and an image editor the PNG made from it: it gets the data, the drag ends with its answer, and
// this program takes input again.
TEST_F(DragAndDropTest, AnotherProgramReadsEachTypeTheDragOffers)
{
    for (std::string mime : { "application/pdf", "text/uri-list", "image/png" }) {
        SCOPED_TRACE(mime);
        startPeer({ "read", mime });
        showSourceWindow();
        ASSERT_NO_FATAL_FAILURE(dragSourceToPeer());
        ASSERT_TRUE(waitFor([&] { return peerSaid("read " + mime) || peerSaid("failed"); })) << report();
        EXPECT_TRUE(peerSaid("read " + mime)) << report();
        EXPECT_EQ(source->result.operation, Op::Copy);
        auto data = readFile(reportPath + ".data");
        if (mime == "application/pdf") {
            EXPECT_EQ(data, source->pdf);
        } else if (mime == "image/png") {
            // The 60 × 40 point page at a pixel a point, black in the rectangle's middle.
            auto png = gfx::BitmapImageRep::imageRepWithData(fnd::Data::fromString(data));
            ASSERT_TRUE(png);
            auto pixels = (*png)->converted(gfx::BitmapLayout::ARGB32Premultiplied);
            EXPECT_EQ(pixels->pixelsWide(), 60);
            EXPECT_EQ(pixels->pixelsHigh(), 40);
            EXPECT_EQ(pixels->pixelBuffer().pixel(30, 20), 0xFF000000u);
        } else {
            auto paths = ui::clipboardtypes::pathsFromURIList(data);
            ASSERT_EQ(paths.size(), 1u) << data;
            EXPECT_EQ(readFile(paths[0].utf8()), source->pdf);
        }
        expectInputTakenAgain();
        window->close();
    }
}

// A program that takes the drag but refuses the drop: the drag ends with no operation and slides back.
TEST_F(DragAndDropTest, ARefusedDropEndsWithoutAnOperation)
{
    startPeer({ "refuse" });
    showSourceWindow();
    ASSERT_NO_FATAL_FAILURE(dragSourceToPeer());
    EXPECT_TRUE(peerSaid("refused")) << report();
    EXPECT_EQ(source->result.operation, Op::None);
    EXPECT_TRUE(source->result.slidBack);
    EXPECT_EQ(source->ended, Op::None);
    expectInputTakenAgain();
}

// A program that takes the drop and answers only long after (hung, or busy): the drag ends in a few seconds with no
// operation and its picture gone, and the program still gets the data when it reads it at last.
TEST_F(DragAndDropTest, ADropNobodyAnswersEndsInTimeAndIsStillServedLater)
{
    startPeer({ "late", "application/pdf" });
    showSourceWindow();
    ASSERT_NO_FATAL_FAILURE(dragSourceToPeer());
    EXPECT_TRUE(peerSaid("holding")) << report();
    EXPECT_EQ(source->result.operation, Op::None);
    EXPECT_FALSE(pictureOverPeer()) << "the drag's picture stays on the screen";
    expectInputTakenAgain();
    ASSERT_TRUE(waitFor([&] { return peerSaid("read application/pdf") || peerSaid("failed"); })) << report();
    EXPECT_TRUE(peerSaid("read application/pdf")) << report();
    EXPECT_EQ(readFile(reportPath + ".data"), source->pdf);
}

// The program under the pointer dies while the drag is over it: the drag ends all the same.
TEST_F(DragAndDropTest, ADragWhoseDestinationDiesEnds)
{
    startPeer({ "read", "application/pdf" });
    showSourceWindow();
    bool killed = false;
    ASSERT_NO_FATAL_FAILURE(dragSourceToPeer({ { "mouseup 1", [&] {
                                                    if (!killed && peerSaid("over"))
                                                        killed = ::kill(peer, SIGKILL) == 0;
                                                    return killed && hasEnded(peer);
                                                } } }));
    EXPECT_EQ(source->result.operation, Op::None);
    EXPECT_FALSE(pictureOverPeer()) << "the drag's picture stays on the screen";
    expectInputTakenAgain();
}

// Escape over a destination cancels the drag before the release, which is not taken for a new press.
TEST_F(DragAndDropTest, EscapeCancelsADrag)
{
    startPeer({ "read", "application/pdf" });
    showSourceWindow();
    ASSERT_NO_FATAL_FAILURE(
        dragSourceToPeer({ { "keydown Escape sleep 0.2 keyup Escape", [this] { return peerSaid("over"); } },
            { "mousemove " + at(360, screenHeight() - 240) + " sleep 0.2 mouseup 1",
                [this] { return source->ended.has_value(); } } }));
    EXPECT_EQ(source->result.operation, Op::None);
    EXPECT_FALSE(peerSaid("read application/pdf")) << report();
    expectInputTakenAgain();
}

// A drag asked for once the button is up (a move read late, after the release) ends at once: the window system's
// drag would wait for a release that never comes.
TEST_F(DragAndDropTest, ADragAskedForAfterTheReleaseEndsAtOnce)
{
    startPeer({ "read", "application/pdf" });
    showSourceWindow();
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    pasteboard->declareTypes({ ui::PasteboardType::PDF });
    pasteboard->setData(fnd::Data::fromString(source->pdf), ui::PasteboardType::PDF);
    auto late = ui::Event::mouseEventWithType(
        ui::EventType::LeftMouseDragged, { 60, 40 }, 0, 0, window->windowNumber(), 0, 1, 1.0f);
    auto result = ui::dragImage(*source, gfx::Image::imageWithSize({ 30, 20 }), { 5, 5 }, {}, *late, pasteboard,
        std::static_pointer_cast<fnd::Object>(source), true);
    EXPECT_EQ(result.operation, Op::None);
    expectInputTakenAgain();
}

// Text dragged from another program reaches the destination view registered for text, with the operations the
// other program allows.
TEST_F(DragAndDropTest, TextFromAnotherProgramIsDroppedOnOurView)
{
    startPeer({ "source", "dropped from afar" });
    auto view = std::make_shared<TextDropView>();
    view->initWithFrame({});
    view->fill = gfx::Color::colorWithDeviceWhite(0.8);
    ui::registerForDraggedTypes(*view, { ui::PasteboardType::String });
    window = showWindow({ 300, 200, 120, 80 }, view);
    dragWithPointer(
        100, 75, 360, screenHeight() - 240, [this] { return report().find("dragging") != std::string::npos; },
        [view] { return !view->masks.empty(); });
    ASSERT_TRUE(waitFor([&] { return !view->dropped.empty(); }, 30))
        << "nothing was dropped; stages started: " << gesture.stagesStarted() << "; the peer's report:\n"
        << report();
    EXPECT_EQ(view->dropped[0], "dropped from afar");
    ASSERT_FALSE(view->masks.empty());
    EXPECT_EQ(view->masks[0] & Op::Copy, Op::Copy);
    EXPECT_EQ(view->masks[0] & Op::Link, 0u);
}

// The action tables: every operation we offer is one GDK knows, and a destination's choice picks one action.
TEST(GtkDragActions, OperationsMapToActions)
{
    EXPECT_EQ(ui::gdkActionsForOperations(Op::Copy | Op::Move), GDK_ACTION_COPY | GDK_ACTION_MOVE);
    EXPECT_EQ(ui::gdkActionsForOperations(Op::Generic), GDK_ACTION_MOVE);
    EXPECT_EQ(ui::gdkActionsForOperations(Op::Private | Op::Delete), 0);
    EXPECT_EQ(ui::operationsForGdkActions(GDK_ACTION_COPY), Op::Copy);
    EXPECT_EQ(
        ui::preferredGdkAction(Op::Copy | Op::Move, GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE)), GDK_ACTION_MOVE);
    EXPECT_EQ(ui::preferredGdkAction(Op::Copy | Op::Move, GDK_ACTION_COPY), GDK_ACTION_COPY);
    EXPECT_EQ(ui::preferredGdkAction(Op::Link, GDK_ACTION_COPY), 0);
}
