#include "frameworks/FoundationExtensions/QFProgressWindowController.h"

namespace QFProgressWindowController {

namespace {

void setIfGiven(fnd::Dictionary& change, const char* key, const std::optional<fnd::String>& text)
{
    if (text)
        change.set(key, *text);
}

void setValueUnlessIndeterminate(fnd::Dictionary& change, const ZORProgressDescriptor& descriptor, double value)
{
    if (!descriptor.isIndeterminate())
        change.set("currentValue", static_cast<float>(value));
}

}

std::shared_ptr<ZORProgressDescriptor> postWillBeginProcessingWithTitle(fnd::NotificationCenter& center,
    const fnd::String& title, const fnd::String& infoText, double minValue, double maxValue, double startValue,
    bool allowCancel)
{
    auto descriptor = ZORProgressDescriptor::initWithTitle(title, infoText, minValue, maxValue, allowCancel);
    descriptor->setCurrentValue(startValue);
    postWillBeginProcessingWithProgressDescriptor(center, descriptor);
    return descriptor;
}

std::shared_ptr<ZORProgressDescriptor> postWillBeginProcessingWithTitle(
    fnd::NotificationCenter& center, const fnd::String& title, const fnd::String& infoText, bool allowCancel)
{
    auto descriptor = ZORProgressDescriptor::initWithTitle(title, infoText, allowCancel);
    postWillBeginProcessingWithProgressDescriptor(center, descriptor);
    return descriptor;
}

void postWillBeginProcessingWithProgressDescriptor(
    fnd::NotificationCenter& center, const std::shared_ptr<ZORProgressDescriptor>& descriptor)
{
    center.postNotificationName(QFWillBeginProcessingWithProgressDescriptor, fnd::Value(descriptor));
}

void postUpdateProgressDescriptor(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, const fnd::Dictionary& change)
{
    center.postNotificationName(QFUpdateProcessingWithProgressDescriptor, fnd::Value(descriptor), change);
}

void postUpdateProgressDescriptor(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, const std::optional<fnd::String>& infoText)
{
    fnd::Dictionary change;
    setIfGiven(change, "infoText", infoText);
    postUpdateProgressDescriptor(center, descriptor, change);
}

void postUpdateProgressDescriptor(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, const std::optional<fnd::String>& title,
    const std::optional<fnd::String>& infoText, double currentValue,
    const std::optional<fnd::String>& progressDescription)
{
    fnd::Dictionary change;
    setIfGiven(change, "title", title);
    setIfGiven(change, "infoText", infoText);
    setIfGiven(change, "progressDescription", progressDescription);
    setValueUnlessIndeterminate(change, *descriptor, currentValue);
    postUpdateProgressDescriptor(center, descriptor, change);
}

void postUpdateProgressDescriptor(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, double currentValue,
    const std::optional<fnd::String>& progressDescription)
{
    fnd::Dictionary change;
    setIfGiven(change, "progressDescription", progressDescription);
    setValueUnlessIndeterminate(change, *descriptor, currentValue);
    postUpdateProgressDescriptor(center, descriptor, change);
}

void postUpdateProgressDescriptorWithProgressDescription(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, const std::optional<fnd::String>& progressDescription)
{
    fnd::Dictionary change;
    setIfGiven(change, "progressDescription", progressDescription);
    postUpdateProgressDescriptor(center, descriptor, change);
}

void postDidEndProcessingWithProgressDescriptor(
    fnd::NotificationCenter& center, const std::shared_ptr<ZORProgressDescriptor>& descriptor)
{
    center.postNotificationName(QFDidEndProcessingWithProgressDescriptor, fnd::Value(descriptor));
}

}
