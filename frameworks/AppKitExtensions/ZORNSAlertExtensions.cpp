#include "frameworks/AppKitExtensions/ZORNSAlertExtensions.h"

#include "frameworks/FoundationExtensions/ZORAppKitSuppressAlertsAndWarnings.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/AssociatedObjects.h"
#include "platform/foundation/runtime/Lock.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/ui/controls/Button.h"

namespace ZORExtensions {

void zorBeginSheetModalForWindow(const std::shared_ptr<ui::Alert>& alert, const std::shared_ptr<ui::Window>& window,
    const std::optional<fnd::String>& suppressAlertIdentifier, long returnCodeOnSuppress,
    AlertCompletionHandler completionHandler)
{
    if (!alert)
        return;
    if (suppressAlertIdentifier) {
        alert->setShowsSuppressionButton(true);
        if (!ZORAppKitSuppressAlertsAndWarnings::shouldShowAlertWithIdentifier(
                fnd::UserDefaults::standardUserDefaults(), *suppressAlertIdentifier)) {
            if (completionHandler)
                completionHandler(*alert, returnCodeOnSuppress);
            return;
        }
    }
    auto runner = ZORAlertSheetCompletionHandlerRunner::initWithAlert(
        alert, suppressAlertIdentifier, returnCodeOnSuppress, std::move(completionHandler));
    setMyZORAlertSheetCompletionHandlerRunner(*alert, runner);
    runner->startOnWindow(window);
}

namespace {

// The runner's key among the alert's associated objects.
const char AlertRunnerAssociationKey = 0;

}

std::shared_ptr<ZORAlertSheetCompletionHandlerRunner> myZORAlertSheetCompletionHandlerRunner(const ui::Alert& alert)
{
    auto guard = fnd::synchronize(alert);
    return fnd::associatedObject(alert, &AlertRunnerAssociationKey).objectAs<ZORAlertSheetCompletionHandlerRunner>();
}

void setMyZORAlertSheetCompletionHandlerRunner(
    const ui::Alert& alert, const std::shared_ptr<ZORAlertSheetCompletionHandlerRunner>& runner)
{
    fnd::setAssociatedObject(alert, &AlertRunnerAssociationKey, runner ? fnd::Value(runner) : fnd::Value());
}

}

FND_REGISTER_CLASS(ZORAlertSheetCompletionHandlerRunner, fnd::Object)

std::shared_ptr<ZORAlertSheetCompletionHandlerRunner> ZORAlertSheetCompletionHandlerRunner::initWithAlert(
    const std::shared_ptr<ui::Alert>& alert, const std::optional<fnd::String>& suppressAlertIdentifier,
    long returnCodeOnSuppress, ZORExtensions::AlertCompletionHandler completionHandler)
{
    auto runner = fnd::makeObject<ZORAlertSheetCompletionHandlerRunner>();
    runner->m_alert = alert;
    runner->m_suppressIdentifier = suppressAlertIdentifier;
    runner->m_suppressReturnCode = returnCodeOnSuppress;
    runner->m_completionHandler = std::move(completionHandler);
    return runner;
}

void ZORAlertSheetCompletionHandlerRunner::startOnWindow(const std::shared_ptr<ui::Window>& window)
{
    auto alert = m_alert.lock();
    if (!alert)
        return;
    auto self = std::static_pointer_cast<ZORAlertSheetCompletionHandlerRunner>(shared_from_this());
    if (window) {
        std::weak_ptr<ui::Alert> shown = alert;
        alert->beginSheetModalForWindow(window, [self, shown](long code) {
            if (auto ended = shown.lock())
                self->alertDidEnd(*ended, code);
        });
        return;
    }
    const long code = alert->runModal();
    alertDidEnd(*alert, code);
}

void ZORAlertSheetCompletionHandlerRunner::alertDidEnd(ui::Alert& alert, long returnCode)
{
    fnd::assertThat(
        &alert == m_alert.lock().get(), "Got a alert different from what I expected -- This should never happen");
    if (m_suppressIdentifier && alert.suppressionButton()->state() == ui::ControlStateValue::On)
        ZORAppKitSuppressAlertsAndWarnings::setShowState(
            fnd::UserDefaults::standardUserDefaults(), false, *m_suppressIdentifier);
    if (!m_completionHandler)
        return;
    const long mapped = returnCode == ui::AlertReturn::FirstButton ? 1
        : returnCode == ui::AlertReturn::SecondButton              ? 0
                                                                   : -1;
    // Runs once: the block is let go before it is called.
    auto handler = std::move(m_completionHandler);
    m_completionHandler = nullptr;
    handler(alert, mapped);
}

namespace {

std::shared_ptr<ui::Alert> makeAlert(const fnd::String& message, const fnd::String& defaultButton,
    const std::optional<fnd::String>& alternateButton, const std::optional<fnd::String>& otherButton,
    const std::optional<fnd::String>& informativeFormat, const std::vector<fnd::Value>& arguments)
{
    auto alert = ui::Alert::create();
    alert->setMessageText(message);
    alert->addButtonWithTitle(defaultButton);
    if (alternateButton)
        alert->addButtonWithTitle(*alternateButton);
    if (otherButton)
        alert->addButtonWithTitle(*otherButton);
    if (informativeFormat)
        alert->setInformativeText(fnd::String::format(*informativeFormat, arguments));
    return alert;
}

}

void ZORBeginAlertSheetWithSuppression(const fnd::String& message, const fnd::String& defaultButton,
    const std::optional<fnd::String>& alternateButton, const std::optional<fnd::String>& otherButton,
    const std::shared_ptr<ui::Window>& window, const std::optional<fnd::String>& suppressAlertIdentifier,
    long returnCodeOnSuppress, ZORExtensions::AlertCompletionHandler completionHandler,
    const std::optional<fnd::String>& informativeFormat, const std::vector<fnd::Value>& arguments)
{
    auto alert = makeAlert(message, defaultButton, alternateButton, otherButton, informativeFormat, arguments);
    ZORExtensions::zorBeginSheetModalForWindow(
        alert, window, suppressAlertIdentifier, returnCodeOnSuppress, std::move(completionHandler));
}

void ZORRunAlertPanelWithSuppression(const fnd::String& message, const fnd::String& defaultButton,
    const std::optional<fnd::String>& alternateButton, const std::optional<fnd::String>& otherButton,
    const std::optional<fnd::String>& suppressAlertIdentifier, long returnCodeOnSuppress,
    ZORExtensions::AlertCompletionHandler completionHandler, const std::optional<fnd::String>& informativeFormat,
    const std::vector<fnd::Value>& arguments)
{
    ZORBeginAlertSheetWithSuppression(message, defaultButton, alternateButton, otherButton, nullptr,
        suppressAlertIdentifier, returnCodeOnSuppress, std::move(completionHandler), informativeFormat, arguments);
}
