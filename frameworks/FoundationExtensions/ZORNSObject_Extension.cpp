#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/StringFormat.h"

#include <mutex>

namespace ZORNSObject_Extension {

namespace {

const fnd::String ObjectAtIndexPrefix = "objectAtIndex";

// The two keys every array answers; nullopt for any other key.
std::optional<fnd::Value> arrayKey(const fnd::Array& array, const fnd::String& key)
{
    if (key == fnd::String("allValues")) {
        std::vector<fnd::String> descriptions;
        descriptions.reserve(array.size());
        for (const auto& element : array)
            descriptions.push_back(element.description());
        return fnd::Value(fnd::componentsJoinedByString(descriptions, " "));
    }
    if (key.hasPrefix(ObjectAtIndexPrefix)) {
        // A negative number compares as a huge unsigned one, so it is out of range too.
        auto index = static_cast<std::uint64_t>(key.substringFrom(ObjectAtIndexPrefix.length()).integerValue());
        if (index >= array.size())
            return fnd::Value(fnd::String());
        return array[index];
    }
    return std::nullopt;
}

fnd::Value valueForUndefinedKey(const fnd::Value& receiver, const fnd::String& key)
{
    if (auto* array = receiver.array()) {
        if (auto answer = arrayKey(*array, key))
            return *answer;
    }
    throw fnd::Exception(
        UndefinedKeyExceptionName, fnd::stringWithFormat("%@ KVO/Undefined Key: %@", fnd::classNameOf(receiver), key));
}

}

std::shared_ptr<fnd::Bundle> bundle(const fnd::ClassInfo& cls)
{
    ZORFrameworkBundle::registerClassPrefixes();
    return fnd::Bundle::bundleForClass(cls.name);
}

std::shared_ptr<fnd::Bundle> bundle(const fnd::Object& object)
{
    return bundle(object.classInfo());
}

void installKeyValueCodingExtension()
{
    static std::once_flag once;
    std::call_once(once, [] {
        fnd::KeyValueCoding::setUndefinedKeyGetter(valueForUndefinedKey);
        fnd::KeyValueCoding::setArrayKeyHandler(arrayKey);
    });
}

namespace {
[[maybe_unused]] const bool installedAtLoad = (installKeyValueCodingExtension(), true);
}

void propagateValue(fnd::Object& receiver, const fnd::Value& value, const fnd::String& binding)
{
    fnd::assertThat(!binding.isEmpty(), "Invalid parameter not satisfying: binding != nil");
    auto info = receiver.infoForBinding(binding);
    if (!info)
        return;

    fnd::Value written = value;
    const fnd::Value options = info->get(fnd::BindingInfoKey::Options);
    if (auto transformer
        = options.dictionary() ? fnd::valueTransformerForBindingOptions(*options.dictionary()) : nullptr) {
        if (transformer->allowsReverseTransformation())
            written = transformer->reverseTransformedValue(value);
        else
            fnd::log(fnd::LogLevel::Warning,
                fnd::stringWithFormat("WARNING: binding \"%@\" has value transformer, but it doesn't allow reverse "
                                      "transformations in %s",
                    binding, "propagateValue"));
    }

    auto observed = info->get(fnd::BindingInfoKey::ObservedObject).object();
    auto keyPath = info->get(fnd::BindingInfoKey::ObservedKeyPath);
    if (!observed) {
        fnd::log(fnd::LogLevel::Error,
            fnd::stringWithFormat(
                "ERROR: NSObservedObjectKey was nil for binding \"%@\" in %s", binding, "propagateValue"));
        return;
    }
    if (!keyPath.isString()) {
        fnd::log(fnd::LogLevel::Error,
            fnd::stringWithFormat(
                "ERROR: NSObservedKeyPathKey was nil for binding \"%@\" in %s", binding, "propagateValue"));
        return;
    }
    observed->setValueForKeyPath(written, *keyPath.string());
}

void ZOR_invokeTargetBlock(const std::shared_ptr<fnd::Block>& block)
{
    if (block)
        block->invoke();
}

std::shared_ptr<fnd::Block> performBlockAfterDelay(
    const std::shared_ptr<fnd::Object>& receiver, std::function<void()> block, double delay)
{
    return performBlockAfterDelay(receiver, std::move(block), delay, { fnd::RunLoopMode::Default });
}

std::shared_ptr<fnd::Block> performBlockAfterDelay(const std::shared_ptr<fnd::Object>& receiver,
    std::function<void()> block, double delay, const fnd::RunLoopModes& modes)
{
    return fnd::performAfterDelay(receiver, std::move(block), delay, modes);
}

void cancelPreviousPerformRequestsWithTarget(const fnd::Object* target, const std::shared_ptr<fnd::Block>& block)
{
    if (target && block)
        fnd::cancelPreviousPerformRequests(*target, block);
}

void performBlockOnMainThread(std::function<void()> block, bool waitUntilDone)
{
    fnd::performOnMainThread(std::move(block), waitUntilDone);
}

void performBlockOnMainThread(std::function<void()> block, bool waitUntilDone, const fnd::RunLoopModes& modes)
{
    fnd::performOnMainThread(std::move(block), waitUntilDone, modes);
}

void performBlockOnThread(std::function<void()> block, const fnd::Thread& thread, bool waitUntilDone)
{
    fnd::performOnThread(thread, std::move(block), waitUntilDone);
}

void performBlockOnThread(
    std::function<void()> block, const fnd::Thread& thread, bool waitUntilDone, const fnd::RunLoopModes& modes)
{
    fnd::performOnThread(thread, std::move(block), waitUntilDone, modes);
}

void performBlockInBackground(std::function<void()> block)
{
    fnd::performInBackground(std::move(block));
}

void performBlockOnQueue(std::function<void()> block, fnd::DispatchQueue* queue, bool waitUntilDone)
{
    if (!queue)
        throw fnd::Exception::invalidArgument("aQueue is NULL (in 'performBlockOnQueue')");
    if (waitUntilDone)
        queue->sync(block);
    else
        queue->async(std::move(block));
}

}

std::uint64_t ZORHashBytes(const void* bytes, std::uint64_t length)
{
    const auto* byte = static_cast<const unsigned char*>(bytes);
    std::uint64_t h = 0;
    for (std::uint64_t i = 0; i < length; ++i) {
        h = (h << 4) + byte[i];
        h ^= (h >> 24) & 0xF0;
    }
    return h;
}
