#include "GtkTestSupport.h"

#include "platform/backend/gtk/GtkDragAndDrop.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/dragging/Pasteboard.h"

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

// Starts a drag of a PDF and its text from its mouse-down.
class PDFSourceView : public FillView, public ui::DraggingSource {
    FND_OBJECT(PDFSourceView)
public:
    void mouseDown(const ui::Event& event) override
    {
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
};
FND_REGISTER_CLASS(PDFSourceView, FillView)

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
        // Gone before the next test's peer shows at the same place.
        if (peer > 0 && ::kill(peer, SIGTERM) == 0) {
            EXPECT_TRUE(waitFor([&] { return hasEnded(peer); }, 20)) << "the peer outlived its test";
        }
        GtkDisplayTest::TearDown();
    }
    // The peer program at the screen's top left; waits until it is shown.
    void startPeer(const std::vector<std::string>& arguments)
    {
        reportPath = std::string(::testing::TempDir()) + "dnd-peer-" + std::to_string(::getpid()) + ".txt";
        std::remove(reportPath.c_str());
        std::vector<std::string> argv { DND_PEER };
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        argv.push_back(reportPath);
        peer = startInBackground(argv);
        ASSERT_GT(peer, 0);
        ASSERT_TRUE(waitFor([&] { return report().find("ready") != std::string::npos; }, 20));
    }
    std::string report() const { return readFile(reportPath); }
    // Presses at one root point (logical pixels) and moves a little; once `started` says the drag is under way,
    // moves in steps to the other point; once `answered` says the destination has answered the drag there,
    // releases, as a person does who sees the drop accepted before letting go.
    void dragWithPointer(
        int fromX, int fromY, int toX, int toY, std::function<bool()> started, std::function<bool()> answered)
    {
        int s = scale();
        auto at = [s](int x, int y) { return std::to_string(x * s) + ' ' + std::to_string(y * s); };
        std::string moves;
        for (int step = 1; step <= 6; ++step)
            moves += " mousemove " + at(fromX + (toX - fromX) * step / 6, fromY + (toY - fromY) * step / 6)
                + " sleep 0.1";
        gesture.then("mousemove " + at(fromX, fromY) + " mousedown 1 mousemove " + at(fromX + 10, fromY + 10))
            .then(moves, std::move(started))
            .then("mouseup 1", std::move(answered))
            .start();
    }
    StagedGesture gesture;
    int peer { -1 };
    std::string reportPath;
};

// A drag from our view to another program hands it the PDF as a file, which that program can read.
TEST_F(DragAndDropTest, DraggedPDFArrivesInAnotherProgramAsAFile)
{
    startPeer({ "target" });
    auto view = std::make_shared<PDFSourceView>();
    view->initWithFrame({});
    view->fill = gfx::Color::colorWithDeviceRed(0, 0.6, 0);
    auto window = showWindow({ 300, 200, 120, 80 }, view);
    auto screen = ui::Screen::screens().front()->frame();
    // Our window's middle, in root coordinates, to the peer's middle.
    dragWithPointer(
        360, int(screen.height() - 240), 100, 75, [view] { return view->started; },
        [this] { return report().find("over") != std::string::npos; });
    ASSERT_TRUE(waitFor([&] { return view->dragged; }, 30))
        << "the drag never ended; stages started: " << gesture.stagesStarted() << "; the peer's report:\n"
        << report();
    EXPECT_EQ(view->result.operation, Op::Copy);
    EXPECT_EQ(view->ended, Op::Copy);
    ASSERT_TRUE(waitFor([&] { return report().find("file ") != std::string::npos; }, 20)) << report();
    auto lines = report();
    auto start = lines.find("file ") + 5;
    auto path = lines.substr(start, lines.find('\n', start) - start);
    EXPECT_NE(path.find("Dragged barcode.pdf"), std::string::npos) << path;
    EXPECT_EQ(readFile(path), view->pdf);
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
    auto window = showWindow({ 300, 200, 120, 80 }, view);
    auto screen = ui::Screen::screens().front()->frame();
    dragWithPointer(
        100, 75, 360, int(screen.height() - 240), [this] { return report().find("dragging") != std::string::npos; },
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
