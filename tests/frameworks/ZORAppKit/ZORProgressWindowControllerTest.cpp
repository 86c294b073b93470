#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORProgressWindowController/ZORProgressWindowController.h"

#include "frameworks/FoundationExtensions/QFProgressWindowController.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/ui/views/Application.h"

#include "support/Waiting.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace progresswindowtest {

namespace QF = QFProgressWindowController;

// Steps a worker waits for, opened one at a time by the test.
class Gate {
public:
    void open()
    {
        std::lock_guard guard(m_mutex);
        ++m_opened;
        m_changed.notify_all();
    }
    // Waits for the nth opening (1-based).
    void pass(int n)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_opened >= n; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_opened { 0 };
};

class WorkOperation : public fnd::Operation {
public:
    explicit WorkOperation(std::function<void(WorkOperation&)> work)
        : m_work(std::move(work))
    {
    }
    void main() override { m_work(*this); }

private:
    std::function<void(WorkOperation&)> m_work;
};

class ProgressWindowTest : public viewstest::ViewsTest {
protected:
    ProgressWindowTest()
    {
        previousSink = fnd::setLogSink([this](fnd::LogLevel, const fnd::String& line) { logged.push_back(line); });
        // Heard after the controller's own observer, which was added when it was made: once this one has heard a
        // change, the controller has taken it in, the main thread's part included.
        countObserver = controller->operationQueue()->addOperationCountObserver([this](std::size_t) { ++countsHeard; });
    }
    ~ProgressWindowTest() override
    {
        gate.open();
        gate.open();
        gate.open();
        // The last change of the count may still be on its way to the controller, on a worker waiting for the main
        // thread: it must not reach into the next test.
        EXPECT_TRUE(drained()) << "the queue's count observers never heard it empty";
        controller->operationQueue()->removeOperationCountObserver(countObserver);
        fnd::setLogSink(previousSink);
    }
    // Every operation has run and the controller has heard every change of the queue's count: its adding and its
    // ending of each operation.
    bool drained()
    {
        return testsupport::runLoopUntil([&] { return countsHeard == 2 * operationsAdded; });
    }
    void addWork(std::function<void(WorkOperation&)> work)
    {
        ++operationsAdded;
        controller->operationQueue()->addOperation(std::make_shared<WorkOperation>(std::move(work)));
    }

    std::shared_ptr<ZORProgressWindowController> controller = ZORProgressWindowController::create();
    Gate gate;
    std::vector<fnd::String> logged;
    fnd::LogSink previousSink;
    std::vector<bool> completions;
    std::atomic<int> operationsAdded { 0 };
    std::atomic<int> countsHeard { 0 };
    std::uint64_t countObserver { 0 };
};

TEST_F(ProgressWindowTest, TheSheetFollowsTheNotificationsAndCompletesOnlyWhenTheWorkIsDone)
{
    auto run = controller->setupAsDeterminateWithTitle(fnd::String("Exporting"), 0, 10, 0, true);
    EXPECT_EQ(run->infoText(), u"Exporting\u2026");
    // The worker posts before it can publish what the post returned: the test waits for both.
    std::shared_ptr<ZORProgressDescriptor> step;
    std::atomic<bool> stepPublished { false };
    addWork([&](WorkOperation&) {
        auto& centre = fnd::NotificationCenter::defaultCenter();
        step = QF::postWillBeginProcessingWithTitle(centre, "", "Writing page 1", 0, 10, 0, true);
        stepPublished = true;
        gate.pass(1);
        QF::postUpdateProgressDescriptor(
            centre, step, std::nullopt, fnd::String("Writing page 2"), 12, fnd::String("2 of 10 pages"));
        gate.pass(2);
        QF::postDidEndProcessingWithProgressDescriptor(centre, step);
    });
    controller->beginProgressSheetForWindow(window, [&](bool cancelled) { completions.push_back(cancelled); });
    auto sheet = controller->window();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(window->attachedSheet(), sheet);

    ASSERT_TRUE(
        testsupport::runLoopUntil([&] { return stepPublished && controller->progressDescriptors().size() == 2; }));
    EXPECT_EQ(controller->currentProgressDescriptor(), step);
    EXPECT_EQ(step->title(), "Exporting") << "a descriptor without a title shows the previous one";
    EXPECT_EQ(controller->infoTextField()->stringValue(), "Writing page 1") << "bound to the current descriptor";
    EXPECT_FALSE(controller->progressIndicator()->isIndeterminate());

    gate.open();
    ASSERT_TRUE(
        testsupport::runLoopUntil([&] { return controller->infoTextField()->stringValue() == "Writing page 2"; }));
    EXPECT_EQ(controller->progressIndicator()->doubleValue(), 10) << "12 of 10 shows as full";
    EXPECT_EQ(controller->progressDescriptionTextField()->stringValue(), "2 of 10 pages");
    save(*backend->imageOfWindow(*sheet), "ZORProgressWindow-sheet");
    EXPECT_TRUE(completions.empty()) << "not done yet";

    gate.open();
    ASSERT_TRUE(testsupport::runLoopUntil([&] { return !completions.empty(); }));
    EXPECT_EQ(completions, (std::vector<bool> { false }));
    EXPECT_EQ(window->attachedSheet(), nullptr);
    EXPECT_TRUE(controller->progressDescriptors().empty());
}

TEST_F(ProgressWindowTest, TheCancelButtonCancelsTheWorkAndLaterNotificationsAreIgnored)
{
    controller->setupAsIndeterminateWithTitle(std::nullopt, true);
    EXPECT_EQ(controller->currentProgressDescriptor()->title(), "Working") << "the default title";
    auto late = ZORProgressDescriptor::initWithTitle("Late", "untouched", true);
    addWork([&](WorkOperation& op) {
        while (!op.isCancelled())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QF::postUpdateProgressDescriptor(fnd::NotificationCenter::defaultCenter(), late, fnd::String("changed"));
    });
    controller->beginProgressSheetForWindow(window, [&](bool cancelled) { completions.push_back(cancelled); });
    auto button = controller->cancelButton();
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isHidden());
    EXPECT_TRUE(button->isEnabled());
    save(*backend->imageOfWindow(*controller->window()), "ZORProgressWindow-indeterminate");

    button->performClick();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(controller->currentProgressDescriptor()->isCancelled());
    ASSERT_TRUE(testsupport::runLoopUntil([&] { return !completions.empty(); }));
    EXPECT_EQ(completions, (std::vector<bool> { true }));
    // The worker's late notification has been told once its operation has ended and the controller heard it end.
    ASSERT_TRUE(drained());
    EXPECT_EQ(late->infoText(), "untouched") << "a cancelled run takes no more notifications";
}

TEST_F(ProgressWindowTest, WithoutWorkTheBlockGetsNoAtOnceAndAQueueEmptyBeforeShowingCompletesNothing)
{
    controller->beginProgressSheetForWindow(window, [&](bool cancelled) { completions.push_back(cancelled); });
    EXPECT_EQ(completions, (std::vector<bool> { false }));
    EXPECT_EQ(window->attachedSheet(), nullptr);
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged.back(), "Warning: ZORProgressWindowController no operations in queue");

    // Work that is over before anything is shown takes nothing away and calls no block.
    controller->setCompletionBlock([&](bool cancelled) { completions.push_back(cancelled); });
    addWork([](WorkOperation&) {});
    ASSERT_TRUE(drained()) << "the controller never heard the queue run empty";
    EXPECT_EQ(completions.size(), 1u);

    // Refused off the main thread.
    std::thread([&] { controller->beginProgressSheetForWindow(window, nullptr); }).join();
    EXPECT_EQ(logged.back(),
        "-beginProgressSheetForWindow:completionHandler: It is not allowed to invoke this method from a concurrent "
        "thread.");
}

// Work may be queued from any thread: the queue's count observer then starts listening on that thread, and the main
// queue, which takes the notifications, reads what it set (the ThreadSanitizer build watches this hand-over).
TEST_F(ProgressWindowTest, WorkQueuedFromAnotherThreadIsFollowedToo)
{
    controller->setupAsIndeterminateWithTitle(fnd::String("Background"), false);
    std::shared_ptr<ZORProgressDescriptor> step;
    std::atomic<bool> stepPublished { false };
    std::thread([&] {
        addWork([&](WorkOperation&) {
            step = QF::postWillBeginProcessingWithTitle(
                fnd::NotificationCenter::defaultCenter(), "Indexing", "3 folders", false);
            stepPublished = true;
            gate.pass(1);
        });
    }).join();
    ASSERT_TRUE(
        testsupport::runLoopUntil([&] { return stepPublished && controller->progressDescriptors().size() == 2; }));
    EXPECT_EQ(controller->currentProgressDescriptor(), step);
    EXPECT_EQ(step->title(), "Indexing");
    gate.open();
}

TEST_F(ProgressWindowTest, AModalRunEndsWithTheWorkAndAPlainWindowLeavesOtherModalSessionsAlone)
{
    controller->setupAsIndeterminateWithTitle(fnd::String("Counting"), false);
    addWork([&](WorkOperation&) { gate.pass(1); });
    backend->after(0.01, [&] { gate.open(); });
    controller->showProgressWindowWithCompletionHandler([&](bool cancelled) { completions.push_back(cancelled); });
    EXPECT_EQ(completions, (std::vector<bool> { false })) << "the modal run returned once the work was done";
    EXPECT_FALSE(controller->window()->isVisible());

    auto other = ui::Window::create({ 0, 0, 100, 100 });
    auto session = app().beginModalSessionForWindow(other);
    controller->setupAsIndeterminateWithTitle(fnd::String("Counting"), false);
    addWork([&](WorkOperation&) { gate.pass(2); });
    controller->showProgressWindow();
    EXPECT_TRUE(controller->window()->isVisible());
    gate.open();
    ASSERT_TRUE(testsupport::runLoopUntil([&] { return !controller->window()->isVisible(); })) << "closed when done";
    EXPECT_EQ(app().runModalSession(session), ui::ModalResponse::Continue) << "the other session runs on";
    app().endModalSession(session);
}

TEST_F(ProgressWindowTest, TheBarReachesUnderTheButtonWhenTheWorkCannotBeCancelled)
{
    auto cancellable = controller->setupAsDeterminateWithTitle(fnd::String("A"), 0, 4, 1, true);
    EXPECT_EQ(cancellable->currentValue(), 1);
    auto w = controller->window();
    ASSERT_NE(w, nullptr);
    const double nibWidth = controller->progressIndicator()->frame().width();
    auto fixed = ZORProgressDescriptor::initWithTitle("B", "b", 0, 4, false);
    controller->addProgressDescriptor(fixed);
    const auto button = controller->cancelButton()->frame();
    EXPECT_TRUE(controller->cancelButton()->isHidden());
    EXPECT_EQ(controller->progressIndicator()->frame().maxX(), button.maxX());
    save(*backend->imageOfWindow(*w), "ZORProgressWindow-no-cancel");
    controller->removeProgressDescriptor(fixed);
    EXPECT_FALSE(controller->cancelButton()->isHidden());
    EXPECT_EQ(controller->progressIndicator()->frame().width(), nibWidth);
}

}
