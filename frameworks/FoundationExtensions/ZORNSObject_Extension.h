#pragma once

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/DispatchQueue.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Perform.h"
#include "platform/foundation/runtime/Thread.h"

#include <cstdint>
#include <functional>
#include <memory>

// Services every object of the framework leans on: the bundle its texts come from, the widened key-value coding,
// pushing an edited value back through a binding, and running blocks on threads, queues and after delays.
namespace ZORNSObject_Extension {

// The name of the exception raised for keys nobody defines.
inline const fnd::String UndefinedKeyExceptionName = "KVO/Undefined Key";

// The bundle holding the class: the framework bundle for the framework's prefixes, else the main bundle. A
// component reads its texts from it, so they come from the bundle its class lies in.
std::shared_ptr<fnd::Bundle> bundle(const fnd::ClassInfo& cls);
std::shared_ptr<fnd::Bundle> bundle(const fnd::Object& object);

// Widens key-value coding for the whole process, through the foundation layer's undefined-key hook (classes that
// override valueForUndefinedKey stay exempt). Every array answers "allValues" (its elements' descriptions joined by
// one blank) and "objectAtIndex<N>" (element N, or the empty string when N, read as an unsigned number, is not below
// the count; no number reads as 0); any other undefined key raises "KVO/Undefined Key" naming the class and the
// key. Installed when the library loads; calling it again changes nothing.
void installKeyValueCodingExtension();

// Writes a value edited on the receiver's side of a binding to the object and key path the binding observes,
// reverse-transformed through the binding's value transformer. A transformer that cannot reverse is reported in
// the log and the value is written as it is. An unbound binding does nothing; a binding that lost its observed
// object logs an error and writes nothing. The binding name must not be empty (assertion).
void propagateValue(fnd::Object& receiver, const fnd::Value& value, const fnd::String& binding);

// Runs the block; a null block does nothing. Every perform form below runs its block through it.
void ZOR_invokeTargetBlock(const std::shared_ptr<fnd::Block>& block);

// On the current thread's run loop after the delay (seconds), in the default mode or the given modes. The receiver
// is the target a cancellation names; it and the block are kept until then. Returns the block to cancel with.
std::shared_ptr<fnd::Block> performBlockAfterDelay(
    const std::shared_ptr<fnd::Object>& receiver, std::function<void()> block, double delay);
std::shared_ptr<fnd::Block> performBlockAfterDelay(const std::shared_ptr<fnd::Object>& receiver,
    std::function<void()> block, double delay, const fnd::RunLoopModes& modes);
// Cancels the pending delayed run of that block (as performBlockAfterDelay returned it) on that target; a null
// target or block cancels nothing.
void cancelPreviousPerformRequestsWithTarget(const fnd::Object* target, const std::shared_ptr<fnd::Block>& block);

// The receiver plays no part in the following forms, so they take none. Waiting on the thread that would run the
// block runs it at once.
void performBlockOnMainThread(std::function<void()> block, bool waitUntilDone);
void performBlockOnMainThread(std::function<void()> block, bool waitUntilDone, const fnd::RunLoopModes& modes);
// The thread must run its run loop for the block to run.
void performBlockOnThread(std::function<void()> block, const fnd::Thread& thread, bool waitUntilDone);
void performBlockOnThread(
    std::function<void()> block, const fnd::Thread& thread, bool waitUntilDone, const fnd::RunLoopModes& modes);
// On a new thread of its own.
void performBlockInBackground(std::function<void()> block);
// Synchronously when waiting, else queued. A null queue raises an invalid-argument exception.
void performBlockOnQueue(std::function<void()> block, fnd::DispatchQueue* queue, bool waitUntilDone);

}

// A plain hash of bytes: h = (h << 4) + byte, then h ^= (h >> 24) & 0xF0, over 64 bits with no high bits cleared.
// The empty input hashes to 0.
std::uint64_t ZORHashBytes(const void* bytes, std::uint64_t length);
