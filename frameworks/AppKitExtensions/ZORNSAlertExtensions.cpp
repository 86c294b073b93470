#include "frameworks/AppKitExtensions/ZORNSAlertExtensions.h"

#include "frameworks/FoundationExtensions/ZORAppKitSuppressAlertsAndWarnings.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/files/UserDefaults.h"
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
    ZORAlertSheetCompletionHandlerRunner::initWithAlert(
        alert, suppressAlertIdentifier, returnCodeOnSuppress, std::move(completionHandler))
        ->startOnWindow(window);
}

}

std::shared_ptr<ZORAlertSheetCompletionHandlerRunner> ZORAlertSheetCompletionHandlerRunner::initWithAlert(
    const std::shared_ptr<ui::Alert>& alert, const std::optional<fnd::String>& suppressAlertIdentifier,
    long returnCodeOnSuppress, ZORExtensions::AlertCompletionHandler completionHandler)
{
    auto runner = std::make_shared<ZORAlertSheetCompletionHandlerRunner>();
    runner->m_alert = alert;
    runner->m_suppressIdentifier = suppressAlertIdentifier;
    runner->m_suppressReturnCode = returnCodeOnSuppress;
    runner->m_completionHandler = std::move(completionHandler);
    return runner;
}

void ZORAlertSheetCompletionHandlerRunner::startOnWindow(const std::shared_ptr<ui::Window>& window)
{
    auto self = shared_from_this();
    if (window) {
        m_alert->beginSheetModalForWindow(window, [self](long code) { self->alertDidEnd(*self->m_alert, code); });
        return;
    }
    const long code = m_alert->runModal();
    alertDidEnd(*m_alert, code);
}

void ZORAlertSheetCompletionHandlerRunner::alertDidEnd(ui::Alert& alert, long returnCode)
{
    fnd::assertThat(&alert == m_alert.get(), "Got a alert different from what I expected -- This should never happen");
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
