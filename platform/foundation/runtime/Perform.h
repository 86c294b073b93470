#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Selector.h"
#include "platform/foundation/runtime/Value.h"

#include <functional>
#include <memory>

namespace fnd {

class Thread;

// A callable held as an object, so it can travel as an argument and be recognised again by identity (cancelling a
// delayed block perform names the block that was scheduled).
class Block : public Object {
    FND_OBJECT(Block)
public:
    Block() = default;
    explicit Block(std::function<void()> work)
        : m_work(std::move(work))
    {
    }
    static std::shared_ptr<Block> create(std::function<void()> work)
    {
        return std::make_shared<Block>(std::move(work));
    }
    void invoke() const
    {
        if (m_work)
            m_work();
    }

private:
    std::function<void()> m_work;
};

// Sends the selector with the argument to the target on the current thread's run loop after the delay, in the
// modes. The target and the argument are kept until then.
void performAfterDelay(std::shared_ptr<Object> target, Selector selector, Value argument, double delay,
    RunLoopModes modes = { RunLoopMode::Default });
// Runs the work likewise; the target (may be null) is what cancellation matches. Returns the block to cancel with.
std::shared_ptr<Block> performAfterDelay(std::shared_ptr<Object> target, std::function<void()> work, double delay,
    RunLoopModes modes = { RunLoopMode::Default });
// Cancels the pending delayed performs of the current thread's run loop with this target and selector whose
// argument is equal (isEqual for objects; nil matches only nil).
void cancelPreviousPerformRequests(const Object& target, Selector selector, const Value& argument);
// Cancels the pending delayed run of that block (as returned by performAfterDelay) on that target.
void cancelPreviousPerformRequests(const Object& target, const std::shared_ptr<Block>& block);
// Cancels every pending delayed perform with this target.
void cancelPreviousPerformRequests(const Object& target);

// Runs the work on the main thread's run loop in the modes. Waiting on the main thread itself runs it at once.
void performOnMainThread(std::function<void()> work, bool waitUntilDone, RunLoopModes modes = { RunLoopMode::Common });
// Runs the work on the thread's run loop; the thread must run its loop for the work to happen. Waiting on the same
// thread runs it at once. A finished thread runs nothing, and nobody waits for it.
void performOnThread(
    const Thread& thread, std::function<void()> work, bool waitUntilDone, RunLoopModes modes = { RunLoopMode::Common });
// Runs the work on a new thread of its own.
void performInBackground(std::function<void()> work);

// Sends the selector to the target with the argument once, before the current run loop next waits in one of the
// modes; lower orders first.
void performBeforeWaiting(
    std::shared_ptr<Object> target, Selector selector, Value argument, long order, RunLoopModes modes);

}
