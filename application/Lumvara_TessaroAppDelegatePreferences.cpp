// The preferences sheet (units of font sizes and lengths), the About window, feedback and the web page.
#include "application/Lumvara_TessaroAppDelegate.h"

#include "application/AboutBox.h"
#include "application/ApplicationSupport.h"
#include "application/TessaroBarcodeView.h"

#include "frameworks/FoundationExtensions/ZORApplicationMeasurementCenter.h"
#include "frameworks/FoundationExtensions/ui/ZORFeedbackProvider.h"
#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentation.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/ui/containers/ToolbarItem.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

namespace {

// Tag 1 of a sheet's buttons applies; any other cancels.
constexpr long ApplyTag = 1;
constexpr ZORMeasurementUnitType UnitCount = 5;

void fillWithUnits(ui::PopUpButton& popUp)
{
    popUp.removeAllItems();
    for (ZORMeasurementUnitType unit = 0; unit < UnitCount; ++unit)
        popUp.addItemWithTitle(ZORMeasurementUnitName(unit).value_or(fnd::String()));
    popUp.selectItemAtIndex(
        long(ZORApplicationMeasurementCenter::informationCenter().measurementUnitTypeForDVNAppUnitType(
            DVNAppUnitType(popUp.tag()))));
}

void applyUnit(const ui::PopUpButton& popUp)
{
    const long index = popUp.indexOfSelectedItem();
    if (index < 0)
        return;
    ZORApplicationMeasurementCenter::informationCenter().setMeasurementUnitType(
        ZORMeasurementUnitType(index), DVNAppUnitType(popUp.tag()));
}

}

void Lumvara_TessaroAppDelegate::showPreferences(const fnd::Value&)
{
    if (!m_window || !m_prefWindow || m_window->attachedSheet())
        return;
    for (const auto& popUp : { m_prefFontSizePopupButton, m_prefLineSizePopupButton })
        if (popUp)
            fillWithUnits(*popUp);
    ZORSheetPresentation::sharedSheetPresentation().prepareSheetPresentationForWindow(*m_window);
    m_window->beginSheet(m_prefWindow, nullptr);
}

void Lumvara_TessaroAppDelegate::abortPreferencesDialog(const fnd::Value& sender)
{
    if (!m_window || !m_prefWindow)
        return;
    ZORSheetPresentation::sharedSheetPresentation().cleanUpSheetPresentationForWindow(*m_window);
    m_prefWindow->makeFirstResponder(nullptr);
    m_window->endSheet(m_prefWindow);
    m_prefWindow->orderOut();
    auto button = sender.objectAs<ui::Control>();
    if (!button || button->tag() != ApplyTag)
        return;
    // Each change is announced: the formatters take the unit, and the controls show it a moment later.
    if (m_prefFontSizePopupButton)
        applyUnit(*m_prefFontSizePopupButton);
    if (m_prefLineSizePopupButton)
        applyUnit(*m_prefLineSizePopupButton);
}

void Lumvara_TessaroAppDelegate::showAboutBox(const fnd::Value& sender)
{
    if (!m_aboutBoxWindow)
        m_aboutBoxWindow = fnd::makeObject<AboutBox>();
    if (auto window = m_aboutBoxWindow->window())
        window->center();
    m_aboutBoxWindow->showWindow(sender);
}

void Lumvara_TessaroAppDelegate::showSendFeedbackDialog(const fnd::Value&)
{
    ZORFeedbackProvider::showFeedbackProviderDialog();
}

namespace {

fnd::String webPageAddress(const fnd::String& className)
{
    return fnd::Bundle::bundleForClass(className)->localizedStringForKey("LSBCLink", {}, "Localizable");
}

}

bool Lumvara_TessaroAppDelegate::validateMenuItem(ui::MenuItem& item)
{
    return validateUserInterfaceAction(item.action());
}

bool Lumvara_TessaroAppDelegate::validateToolbarItem(const fnd::Value& item)
{
    auto toolbarItem = item.objectAs<ui::ToolbarItem>();
    return !toolbarItem || validateUserInterfaceAction(toolbarItem->action());
}

bool Lumvara_TessaroAppDelegate::validateUserInterfaceAction(fnd::Selector action) const
{
    if (action == fnd::Selector("showSendFeedbackDialog:"))
        return ZORFeedbackProvider::hasReceiver();
    if (action == fnd::Selector("visitURL:"))
        return !webPageAddress(className()).isEmpty();
    const bool sheetOpen = m_window && m_window->attachedSheet();
    if (action == fnd::Selector("export:"))
        return canExportBarcode() && m_window && !sheetOpen;
    if (action == fnd::Selector("showPreferences:"))
        return m_prefWindow && m_window && !sheetOpen;
    if (action == fnd::Selector("copy:") || action == fnd::Selector("exportToPasteboard:"))
        return canExportBarcode() && m_previewView && m_previewView->barcode();
    return true;
}

bool Lumvara_TessaroAppDelegate::windowCanTakeSheet() const
{
    return m_window && m_window->isVisible() && !m_window->attachedSheet();
}

void Lumvara_TessaroAppDelegate::showSettingsAlert(const fnd::String& message, const fnd::String& informative)
{
    auto alert = ui::Alert::create();
    alert->setAlertStyle(ui::AlertStyle::Warning);
    alert->setMessageText(message);
    alert->setInformativeText(informative);
    // On the window when it can take a sheet; else on its own, so the report is never dropped.
    if (!windowCanTakeSheet()) {
        alert->runModal();
        return;
    }
    ZORSheetPresentation::sharedSheetPresentation().prepareSheetPresentationForWindow(*m_window);
    std::weak_ptr<ui::Window> weakWindow = m_window;
    alert->beginSheetModalForWindow(m_window, [weakWindow](long) {
        if (auto window = weakWindow.lock())
            ZORSheetPresentation::sharedSheetPresentation().cleanUpSheetPresentationForWindow(*window);
    });
}

void Lumvara_TessaroAppDelegate::reportSettingsSetAside()
{
    for (const auto& file : defaults().takeFilesSetAside())
        showSettingsAlert(applicationText("SettingsSetAsideMessage"),
            fnd::stringWithFormat(
                applicationText("SettingsSetAsideInformative"), file.path, file.reason, file.movedTo));
}

namespace {

fnd::String settingsFailureReason(const fnd::Error& error)
{
    auto reason = error.localizedFailureReason();
    return reason.isEmpty() ? error.localizedDescription() : reason;
}

// Don't Quit comes first, so Return stays.
constexpr long QuitAnywayButton = ui::AlertReturn::SecondButton;

}

void Lumvara_TessaroAppDelegate::reportSettingsNotSaved()
{
    for (const auto& failure : defaults().takeWriteFailures())
        showSettingsAlert(applicationText("SettingsNotSavedMessage"),
            fnd::stringWithFormat(
                applicationText("SettingsNotSavedInformative"), failure.path, settingsFailureReason(failure.error)));
}

ui::TerminateReply Lumvara_TessaroAppDelegate::applicationShouldTerminate(ui::Application&)
{
    // Asked already: the answer to that question decides.
    if (m_askingToQuit)
        return ui::TerminateReply::Cancel;
    // What a field being edited holds is a change too, saved with the rest.
    if (m_window && !m_window->isClosed())
        m_window->endEditingFor(nullptr);
    if (defaults().synchronize())
        return ui::TerminateReply::Now;
    // Told here; the report the failed write posted for the running program finds nothing left to tell.
    auto failures = defaults().takeWriteFailures();
    const auto failure = failures.empty() ? defaults().currentWriteFailure() : std::optional(failures.front());
    auto alert = ui::Alert::create();
    alert->setAlertStyle(ui::AlertStyle::Warning);
    alert->setMessageText(applicationText("SettingsNotSavedMessage"));
    alert->setInformativeText(fnd::stringWithFormat(applicationText("SettingsNotSavedAtQuitInformative"),
        failure ? failure->path : defaults().filePath(),
        failure ? settingsFailureReason(failure->error) : fnd::String()));
    alert->addButtonWithTitle(applicationText("DontQuitButton"));
    alert->addButtonWithTitle(applicationText("QuitAnywayButton"));
    m_askingToQuit = true;
    if (windowCanTakeSheet()) {
        ZORSheetPresentation::sharedSheetPresentation().prepareSheetPresentationForWindow(*m_window);
        // The answer goes to the application once this has answered Later; one given at once (an alert that could
        // not be a sheet ran on its own) is the answer itself.
        struct Question {
            bool waiting { false };
            std::optional<bool> quit;
        };
        auto question = std::make_shared<Question>();
        std::weak_ptr<Lumvara_TessaroAppDelegate> weakSelf = self();
        alert->beginSheetModalForWindow(m_window, [weakSelf, question](long code) {
            if (auto delegate = weakSelf.lock()) {
                delegate->m_askingToQuit = false;
                if (delegate->m_window)
                    ZORSheetPresentation::sharedSheetPresentation().cleanUpSheetPresentationForWindow(
                        *delegate->m_window);
            }
            question->quit = code == QuitAnywayButton;
            if (question->waiting)
                ui::Application::shared().replyToApplicationShouldTerminate(*question->quit);
        });
        if (question->quit)
            return *question->quit ? ui::TerminateReply::Now : ui::TerminateReply::Cancel;
        question->waiting = true;
        return ui::TerminateReply::Later;
    }
    const long code = alert->runModal();
    m_askingToQuit = false;
    if (code == QuitAnywayButton)
        return ui::TerminateReply::Now;
    // Closing the window asked to quit: it comes back to the person who stays.
    if (m_window && !m_window->isVisible())
        m_window->makeKeyAndOrderFront();
    return ui::TerminateReply::Cancel;
}

void Lumvara_TessaroAppDelegate::visitURL(const fnd::Value&)
{
    const auto address = webPageAddress(className());
    if (auto opened = ui::Application::shared().openURL(address); !opened)
        fnd::logf(fnd::LogLevel::Warning, "The web page {} could not be opened: {}", address.utf8(),
            opened.error().localizedDescription().utf8());
}

void Lumvara_TessaroAppDelegate::terminate(const fnd::Value& sender)
{
    ui::Application::shared().terminate(sender);
}
