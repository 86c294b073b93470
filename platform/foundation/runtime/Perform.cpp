#include "platform/foundation/runtime/Perform.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Thread.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/foundation/detail/Completion.h"

namespace fnd {

FND_REGISTER_CLASS(Block, Object)

namespace {

// The selector under which block performs are recorded, so they cancel like any other perform.
const Selector& invokeBlockSelector()
{
    static const Selector selector("invokeBlock:");
    return selector;
}

void send(Object& target, Selector selector, const Value& argument)
{
    target.perform(selector, argument);
}

void scheduleDelayed(
    RunLoop::PerformIdentity identity, std::function<void()> work, double delay, const RunLoopModes& modes)
{
    auto timer = Timer::create(std::max(delay, 0.0), false, [work = std::move(work)](Timer&) { work(); });
    RunLoop::current().addDelayedPerform(timer, std::move(identity), modes);
}

// Posts the work to the loop and, when asked, blocks until it has run there, passing on what it threw.
void postAndMaybeWait(RunLoop& loop, std::function<void()> work, bool waitUntilDone, RunLoopModes modes)
{
    if (!waitUntilDone) {
        loop.post(std::move(work), std::move(modes));
        return;
    }
    auto completion = detail::Completion::create();
    loop.post(detail::Completion::wrap(completion, std::move(work)), std::move(modes));
    completion->wait();
}

}

void performAfterDelay(
    std::shared_ptr<Object> target, Selector selector, Value argument, double delay, RunLoopModes modes)
{
    if (!target)
        return;
    auto work = [target, selector, argument] { send(*target, selector, argument); };
    scheduleDelayed({ target, selector, argument }, std::move(work), delay, modes);
}

std::shared_ptr<Block> performAfterDelay(
    std::shared_ptr<Object> target, std::function<void()> work, double delay, RunLoopModes modes)
{
    auto block = Block::create(std::move(work));
    scheduleDelayed(
        { std::move(target), invokeBlockSelector(), Value(block) }, [block] { block->invoke(); }, delay, modes);
    return block;
}

void cancelPreviousPerformRequests(const Object& target, Selector selector, const Value& argument)
{
    RunLoop::current().cancelDelayedPerforms(&target, &selector, &argument);
}

void cancelPreviousPerformRequests(const Object& target, const std::shared_ptr<Block>& block)
{
    if (!block)
        return;
    cancelPreviousPerformRequests(target, invokeBlockSelector(), Value(block));
}

void cancelPreviousPerformRequests(const Object& target)
{
    RunLoop::current().cancelDelayedPerforms(&target, nullptr, nullptr);
}

void performOnMainThread(std::function<void()> work, bool waitUntilDone, RunLoopModes modes)
{
    if (waitUntilDone && RunLoop::isMainThread()) {
        work();
        return;
    }
    postAndMaybeWait(RunLoop::main(), std::move(work), waitUntilDone, std::move(modes));
}

void performOnThread(const Thread& thread, std::function<void()> work, bool waitUntilDone, RunLoopModes modes)
{
    if (waitUntilDone && &thread == Thread::current().get()) {
        work();
        return;
    }
    if (thread.isFinished() || !thread.runLoop())
        return;
    postAndMaybeWait(*thread.runLoop(), std::move(work), waitUntilDone, std::move(modes));
}

void performInBackground(std::function<void()> work)
{
    Thread::detachNewThread(std::move(work));
}

void performBeforeWaiting(
    std::shared_ptr<Object> target, Selector selector, Value argument, long order, RunLoopModes modes)
{
    if (!target)
        return;
    RunLoop::current().performBeforeWaiting(
        [target, selector, argument] { send(*target, selector, argument); }, order, std::move(modes));
}

}
