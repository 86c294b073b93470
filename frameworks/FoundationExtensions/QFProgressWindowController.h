#pragma once

#include "frameworks/FoundationExtensions/ZORProgressDescriptor.h"

#include "platform/foundation/runtime/NotificationCenter.h"

#include <memory>
#include <optional>

// Notifications of a run of long work; the object is the run's descriptor.
inline const fnd::NotificationName QFWillBeginProcessingWithProgressDescriptor
    = "QFWillBeginProcessingWithProgressDescriptor";
// userInfo: "title", "infoText", "progressDescription" (strings) and "currentValue" (a single-precision number), each
// only when given. The observer applies them to the descriptor; posting leaves it unchanged.
inline const fnd::NotificationName QFUpdateProcessingWithProgressDescriptor
    = "QFUpdateProcessingWithProgressDescriptor";
inline const fnd::NotificationName QFDidEndProcessingWithProgressDescriptor
    = "QFDidEndProcessingWithProgressDescriptor";

// Posting the three progress notifications, synchronously on the calling thread. An indeterminate descriptor's
// updates never carry a current value.
namespace QFProgressWindowController {

std::shared_ptr<ZORProgressDescriptor> postWillBeginProcessingWithTitle(fnd::NotificationCenter& center,
    const fnd::String& title, const fnd::String& infoText, double minValue, double maxValue, double startValue,
    bool allowCancel);
std::shared_ptr<ZORProgressDescriptor> postWillBeginProcessingWithTitle(
    fnd::NotificationCenter& center, const fnd::String& title, const fnd::String& infoText, bool allowCancel);
void postWillBeginProcessingWithProgressDescriptor(
    fnd::NotificationCenter& center, const std::shared_ptr<ZORProgressDescriptor>& descriptor);

void postUpdateProgressDescriptor(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, const fnd::Dictionary& change);
void postUpdateProgressDescriptor(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, const std::optional<fnd::String>& infoText);
void postUpdateProgressDescriptor(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, const std::optional<fnd::String>& title,
    const std::optional<fnd::String>& infoText, double currentValue,
    const std::optional<fnd::String>& progressDescription);
void postUpdateProgressDescriptor(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, double currentValue,
    const std::optional<fnd::String>& progressDescription);
void postUpdateProgressDescriptorWithProgressDescription(fnd::NotificationCenter& center,
    const std::shared_ptr<ZORProgressDescriptor>& descriptor, const std::optional<fnd::String>& progressDescription);

void postDidEndProcessingWithProgressDescriptor(
    fnd::NotificationCenter& center, const std::shared_ptr<ZORProgressDescriptor>& descriptor);

}
