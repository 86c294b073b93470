#include "QFFlowViewTestSupport.h"

#include "support/Waiting.h"

#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/graphics/Color.h"

#include <chrono>
#include <thread>

#include <unistd.h>

namespace flowviewtest {

FND_REGISTER_CLASS(TestItem, fnd::Object)

void TestItem::describeClass(fnd::ClassBuilder<TestItem>& c)
{
    c.property("imageItemUID", &TestItem::uid);
    c.property("imageItemRepresentation", &TestItem::representation);
    c.property("imageItemRepresentationType", &TestItem::type);
    c.property("imageItemTitle", &TestItem::title);
}

std::shared_ptr<TestItem> TestItem::create(
    fnd::Value uid, fnd::Value representation, fnd::String type, fnd::String title)
{
    auto item = fnd::makeObject<TestItem>();
    item->uid = std::move(uid);
    item->representation = std::move(representation);
    item->type = std::move(type);
    item->title = std::move(title);
    return item;
}

fnd::Data solidPDF(gfx::Size size, const gfx::Color& color)
{
    auto context = gfx::GraphicsContext::createForPDF(size);
    context->setFillColor(color);
    context->fillRect({ {}, size });
    auto data = context->finishDocument();
    return data ? *data : fnd::Data {};
}

FlowViewTest::FlowViewTest()
    : source(std::make_shared<TestDataSource>())
{
    window = ui::Window::create({ { 50, 50 }, { 800, 400 } });
    window->makeKeyAndOrderFront();
    view = QFFlowView::create({ 0, 0, 800, 400 });
    window->contentView()->addSubview(view);
    window->makeFirstResponder(view);
    view->setDataSource(source);
    folder = std::filesystem::temp_directory_path() / ("flowview-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    settle();
}

bool waitForOperations(fnd::OperationQueue& queue)
{
    return testsupport::waitUntil([&] { return queue.operationCount() == 0; });
}

FlowViewTest::~FlowViewTest()
{
    view->operationQueue()->cancelAllOperations();
    EXPECT_TRUE(waitForOperations(*view->operationQueue())) << "the view's picture loads did not end";
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

void FlowViewTest::settle(double seconds)
{
    ui::Transaction::flush();
    fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
}

void FlowViewTest::drainPictures(QFFlowView& flowView)
{
    // A round's run-loop pass can queue more loads (a preview's full picture, items laid out late): rounds go on
    // until one begins with nothing left to make.
    auto until = std::chrono::steady_clock::now() + RealTimeBound;
    for (int quietRounds = 0; quietRounds < 2 && std::chrono::steady_clock::now() < until;) {
        bool quiet = flowView.operationQueue()->operationCount() == 0
            && fnd::OperationQueue::mainQueue()->operationCount() == 0;
        quietRounds = quiet ? quietRounds + 1 : 0;
        waitForOperations(*flowView.operationQueue());
        fnd::OperationQueue::mainQueue()->waitUntilAllOperationsAreFinished();
        settle(1);
    }
}

std::vector<fnd::Value> FlowViewTest::bitmapItems(int n)
{
    std::vector<fnd::Value> items;
    for (int i = 0; i < n; ++i) {
        std::uint32_t argb = 0xFF000000u | (std::uint32_t(40 + 20 * (i % 10)) << 16)
            | (std::uint32_t(200 - 15 * (i % 10)) << 8) | 0x40u;
        items.push_back(TestItem::create(fnd::String("uid " + std::to_string(i)), fnd::Value(solidBitmap(64, 48, argb)),
            QFFlowViewRepresentationType::CGImage, fnd::String("Item " + std::to_string(i))));
    }
    return items;
}

void FlowViewTest::useItems(const std::vector<fnd::Value>& items)
{
    source->items = items;
    view->reloadContent();
    settle(1);
}

gfx::Point FlowViewTest::pointOnItem(std::size_t index)
{
    auto content = view->imageLayerAtIndex(index);
    auto r = view->rectInViewForLayer(*content);
    double x = index < view->selectedIndex() ? r.minX() + 3 : index > view->selectedIndex() ? r.maxX() - 3 : r.midX();
    return { x, r.midY() };
}

}
