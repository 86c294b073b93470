#pragma once

#include "platform/foundation/runtime/Value.h"
#include "platform/layers/MediaTimingFunction.h"

#include <functional>
#include <memory>

namespace ui {

// Keys of a transaction's values, with the platform's names.
namespace TransactionKey {
inline const fnd::String AnimationDuration = "animationDuration";
inline const fnd::String AnimationTimingFunction = "animationTimingFunction";
inline const fnd::String DisableActions = "disableActions";
}

// Groups layer changes on the calling thread. Transactions nest; a value not set in the innermost one is looked up
// in the enclosing ones. When a layer changes outside any, an implicit transaction opens and commits at the end of
// the run loop's pass (or at flush). Values: the duration of the implicit animations (0.25 s unless set), their
// timing function (the default curve unless set), whether actions run, and a completion that runs once on the main
// thread after the transaction committed and every animation added while it was open has ended or was removed
// (at once when there were none). When the outermost transaction commits on the main thread, layers that need
// layout are laid out.
class Transaction {
public:
    static void begin();
    // A commit without a begin is ignored.
    static void commit();
    // Commits the implicit transaction now.
    static void flush();

    static double animationDuration();
    static void setAnimationDuration(double seconds);
    static std::shared_ptr<MediaTimingFunction> animationTimingFunction();
    static void setAnimationTimingFunction(std::shared_ptr<MediaTimingFunction> function);
    static bool disableActions();
    static void setDisableActions(bool flag);
    static std::function<void()> completionBlock();
    static void setCompletionBlock(std::function<void()> block);
    // Any value under any key; the keys above reach the typed values (a duration as a number).
    static fnd::Value valueForKey(const fnd::String& key);
    static void setValueForKey(const fnd::Value& value, const fnd::String& key);

    // The lock every layer change takes, for grouping reads and writes from other threads.
    static void lock();
    static void unlock();
};

// Begins a transaction for a scope and commits it at the end.
class TransactionScope {
public:
    TransactionScope() { Transaction::begin(); }
    ~TransactionScope() { Transaction::commit(); }
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;
};

}
