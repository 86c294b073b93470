#pragma once

#include "platform/ui/panels/Alert.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Alerts run as a sheet on a window or, without one, application-modally, with a completion block instead of a
// delegate, and alerts the person may switch off: an alert with a suppression identifier shows the "do not show
// again" box; once that was ticked, later alerts with the identifier are not shown and their completion runs at once
// with the code the caller chose for that case. The flags live in the user defaults
// (ZORAppKitSuppressAlertsAndWarnings).
class ZORAlertSheetCompletionHandlerRunner;

namespace ZORExtensions {

// The alert and its return code: 1 for the first button, 0 for the second, −1 for any other (or the caller's code
// for a suppressed alert).
using AlertCompletionHandler = std::function<void(ui::Alert& alert, long returnCode)>;

void zorBeginSheetModalForWindow(const std::shared_ptr<ui::Alert>& alert, const std::shared_ptr<ui::Window>& window,
    const std::optional<fnd::String>& suppressAlertIdentifier, long returnCodeOnSuppress,
    AlertCompletionHandler completionHandler);

// The runner attached to an alert that was begun (nullptr before, and for an alert that was suppressed). Read under
// the alert's own lock; the alert keeps its runner for as long as it lives.
std::shared_ptr<ZORAlertSheetCompletionHandlerRunner> myZORAlertSheetCompletionHandlerRunner(const ui::Alert& alert);
void setMyZORAlertSheetCompletionHandlerRunner(
    const ui::Alert& alert, const std::shared_ptr<ZORAlertSheetCompletionHandlerRunner>& runner);

}

// Runs one alert and hands its outcome to the completion block, recording the suppression box. The alert owns its
// runner, so the runner refers to the alert without owning it back; the sheet (or the modal run's caller) keeps the
// alert while it is shown.
class ZORAlertSheetCompletionHandlerRunner : public fnd::Object {
    FND_OBJECT(ZORAlertSheetCompletionHandlerRunner)

public:
    static std::shared_ptr<ZORAlertSheetCompletionHandlerRunner> initWithAlert(const std::shared_ptr<ui::Alert>& alert,
        const std::optional<fnd::String>& suppressAlertIdentifier, long returnCodeOnSuppress,
        ZORExtensions::AlertCompletionHandler completionHandler);

    void startOnWindow(const std::shared_ptr<ui::Window>& window);
    // The end of the alert, with the platform's return code (1000 for the first button, and so on).
    void alertDidEnd(ui::Alert& alert, long returnCode);

    std::shared_ptr<ui::Alert> alert() const { return m_alert.lock(); }

private:
    std::weak_ptr<ui::Alert> m_alert;
    ZORExtensions::AlertCompletionHandler m_completionHandler;
    std::optional<fnd::String> m_suppressIdentifier;
    long m_suppressReturnCode { 0 };
};

// A new alert with the message, the default button, then the alternate and other buttons where given, and the
// informative text formatted from the format and its arguments (none without a format), begun on the window.
void ZORBeginAlertSheetWithSuppression(const fnd::String& message, const fnd::String& defaultButton,
    const std::optional<fnd::String>& alternateButton, const std::optional<fnd::String>& otherButton,
    const std::shared_ptr<ui::Window>& window, const std::optional<fnd::String>& suppressAlertIdentifier,
    long returnCodeOnSuppress, ZORExtensions::AlertCompletionHandler completionHandler,
    const std::optional<fnd::String>& informativeFormat, const std::vector<fnd::Value>& arguments = {});
// The same, run application-modally.
void ZORRunAlertPanelWithSuppression(const fnd::String& message, const fnd::String& defaultButton,
    const std::optional<fnd::String>& alternateButton, const std::optional<fnd::String>& otherButton,
    const std::optional<fnd::String>& suppressAlertIdentifier, long returnCodeOnSuppress,
    ZORExtensions::AlertCompletionHandler completionHandler, const std::optional<fnd::String>& informativeFormat,
    const std::vector<fnd::Value>& arguments = {});
