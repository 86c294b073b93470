#include "platform/layers/Transaction.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <atomic>

namespace ui {

namespace {

constexpr double DefaultDuration = 0.25;
inline const fnd::String CompletionKey = "completionBlock";

struct Frame {
    bool implicit { false };
    fnd::Dictionary values;
    std::shared_ptr<detail::CompletionGroup> group = std::make_shared<detail::CompletionGroup>();
    std::vector<std::weak_ptr<Layer>> inserted;
};

// Each thread has its own stack; frames at the bottom may be implicit.
thread_local std::vector<Frame> t_frames;
thread_local bool t_implicitCommitScheduled = false;

void commitTop();

void scheduleImplicitCommit()
{
    if (t_implicitCommitScheduled)
        return;
    t_implicitCommitScheduled = true;
    fnd::RunLoop::current().performBeforeWaiting(
        [] {
            t_implicitCommitScheduled = false;
            // Only once no explicit transaction is open above the implicit one.
            if (t_frames.size() == 1 && t_frames.back().implicit)
                commitTop();
            else if (!t_frames.empty() && t_frames.front().implicit)
                scheduleImplicitCommit();
        },
        1000000, { fnd::RunLoopMode::Common });
}

Frame& currentFrame()
{
    if (t_frames.empty()) {
        Frame implicit;
        implicit.implicit = true;
        t_frames.push_back(std::move(implicit));
        scheduleImplicitCommit();
    }
    return t_frames.back();
}

const fnd::Value* lookup(const fnd::String& key)
{
    for (auto it = t_frames.rbegin(); it != t_frames.rend(); ++it)
        if (auto* v = it->values.find(key))
            return v;
    return nullptr;
}

void commitTop()
{
    Frame frame = std::move(t_frames.back());
    t_frames.pop_back();
    if (t_frames.empty()) {
        // The outermost transaction: what it inserted is now part of a shown tree, and layouts are due.
        // A layer already committed was reached through one inserted above it, with everything below it.
        for (const auto& weak : frame.inserted)
            if (auto layer = weak.lock(); layer && !detail::LayerAccess::isCommitted(*layer))
                detail::LayerAccess::setModelTreeCommitted(*layer, true);
        if (fnd::RunLoop::isMainThread())
            detail::layoutPendingLayers();
    } else {
        auto& outer = t_frames.back().inserted;
        outer.insert(outer.end(), frame.inserted.begin(), frame.inserted.end());
    }
    frame.group->commit();
}

}

void Transaction::begin()
{
    // An implicit transaction is opened first, so changes made after the commit still belong to one.
    currentFrame();
    t_frames.push_back(Frame {});
}

void Transaction::commit()
{
    if (t_frames.empty() || t_frames.back().implicit)
        return;
    commitTop();
}

void Transaction::flush()
{
    if (t_frames.size() == 1 && t_frames.back().implicit)
        commitTop();
}

double Transaction::animationDuration()
{
    auto* v = lookup(TransactionKey::AnimationDuration);
    return v && v->isNumber() ? v->doubleValue() : DefaultDuration;
}

void Transaction::setAnimationDuration(double seconds)
{
    currentFrame().values.set(TransactionKey::AnimationDuration, seconds);
}

std::shared_ptr<MediaTimingFunction> Transaction::animationTimingFunction()
{
    auto* v = lookup(TransactionKey::AnimationTimingFunction);
    return v ? v->objectAs<MediaTimingFunction>() : nullptr;
}

void Transaction::setAnimationTimingFunction(std::shared_ptr<MediaTimingFunction> function)
{
    currentFrame().values.set(TransactionKey::AnimationTimingFunction, fnd::Value(std::move(function)));
}

bool Transaction::disableActions()
{
    auto* v = lookup(TransactionKey::DisableActions);
    return v && v->boolValue();
}

void Transaction::setDisableActions(bool flag)
{
    currentFrame().values.set(TransactionKey::DisableActions, flag);
}

std::function<void()> Transaction::completionBlock()
{
    if (t_frames.empty())
        return {};
    std::lock_guard lock(t_frames.back().group->mutex);
    return t_frames.back().group->block;
}

void Transaction::setCompletionBlock(std::function<void()> block)
{
    auto& group = currentFrame().group;
    std::lock_guard lock(group->mutex);
    group->block = std::move(block);
}

fnd::Value Transaction::valueForKey(const fnd::String& key)
{
    if (key == TransactionKey::AnimationDuration)
        return animationDuration();
    if (key == TransactionKey::DisableActions)
        return disableActions();
    auto* v = lookup(key);
    return v ? *v : fnd::Value {};
}

void Transaction::setValueForKey(const fnd::Value& value, const fnd::String& key)
{
    if (key == TransactionKey::AnimationDuration && !value.isNumber()) {
        currentFrame().values.remove(key);
        return;
    }
    currentFrame().values.set(key, value);
}

void Transaction::lock()
{
    detail::layerMutex().lock();
}

void Transaction::unlock()
{
    detail::layerMutex().unlock();
}

namespace detail {

void CompletionGroup::join()
{
    std::lock_guard lock(mutex);
    ++pending;
}

void CompletionGroup::finishOne()
{
    std::unique_lock lock(mutex);
    if (pending > 0)
        --pending;
    runIfDone(lock);
}

void CompletionGroup::commit()
{
    std::unique_lock lock(mutex);
    committed = true;
    runIfDone(lock);
}

void CompletionGroup::runIfDone(std::unique_lock<std::mutex>& lock)
{
    if (!committed || pending > 0 || ran)
        return;
    ran = true;
    auto work = std::move(block);
    lock.unlock();
    if (work)
        runOnMain(std::move(work));
}

std::vector<std::shared_ptr<CompletionGroup>> openCompletionGroups()
{
    currentFrame();
    std::vector<std::shared_ptr<CompletionGroup>> groups;
    for (const auto& frame : t_frames)
        groups.push_back(frame.group);
    return groups;
}

void noteInserted(const std::shared_ptr<Layer>& layer)
{
    currentFrame().inserted.push_back(layer);
}

}

}
