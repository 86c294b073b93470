#include "frameworks/FoundationExtensions/ui/ZORFeedbackProvider.h"

#include "frameworks/FoundationExtensions/ui/ZORAlertPanel.h"
#include "frameworks/FoundationExtensions/ui/ZORInterfaceLoading.h"
#include "frameworks/FoundationExtensions/ZORMultipartFormData.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/services/URLConnection.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/TextView.h"

FND_REGISTER_CLASS(ZORFeedbackProvider, fnd::Object)

void ZORFeedbackProvider::describeClass(fnd::ClassBuilder<ZORFeedbackProvider>& c)
{
    c.property("feedbackWindow", &ZORFeedbackProvider::feedbackWindow, &ZORFeedbackProvider::setFeedbackWindow);
    c.property("subjectField", &ZORFeedbackProvider::subjectField, &ZORFeedbackProvider::setSubjectField);
    c.property("emailAdress", &ZORFeedbackProvider::emailAdress, &ZORFeedbackProvider::setEmailAdress);
    c.property("messageText", &ZORFeedbackProvider::messageText, &ZORFeedbackProvider::setMessageText);
    c.property(
        "sendMeACopyButton", &ZORFeedbackProvider::sendMeACopyButton, &ZORFeedbackProvider::setSendMeACopyButton);
    c.property("cancelButton", &ZORFeedbackProvider::cancelButton, &ZORFeedbackProvider::setCancelButton);
    c.action("sendFeedbackButtonAction:", &ZORFeedbackProvider::sendFeedbackButtonAction);
    c.action("closeFeedbackWindow:", &ZORFeedbackProvider::closeFeedbackWindow);
    c.action("openURL:", &ZORFeedbackProvider::openURL);
}

namespace {

fnd::String feedbackText(const char* key)
{
    auto bundle = fnd::Bundle::bundleForClass("ZORFeedbackProvider");
    return bundle ? bundle->localizedStringForKey(key, "", "ZORFeedbackProvider") : fnd::String(key);
}

fnd::String infoString(const char* key)
{
    auto value = fnd::Bundle::mainBundle()->objectForInfoDictionaryKey(key);
    return value.string() ? *value.string() : fnd::String();
}

}

void ZORFeedbackProvider::registerDefaults()
{
    fnd::UserDefaults::standardUserDefaults().registerDefaults(
        { { EmailAddressDefaultKey, fnd::String() }, { SendMeACopyDefaultKey, true } });
}

void ZORFeedbackProvider::showFeedbackProviderDialog()
{
    fnd::makeObject<ZORFeedbackProvider>()->showDialog();
}

void ZORFeedbackProvider::init()
{
    registerDefaults();
    auto self = shared_from_this();
    const fnd::String reason = "ZORFeedbackProvider: Could not load views resources!";
    ZORInterfaceLoading::loadOrRaise("ZORFeedbackProvider", self, "ZORFeedbackProvider", reason);
    if (!m_feedbackWindow || !m_subjectField || !m_emailAdress || !m_messageText || !m_sendMeACopyButton)
        throw fnd::Exception(ZORInterfaceLoading::ViewInitializationFailed, reason);
    if (m_cancelButton)
        m_cancelButton->setKeyEquivalent(fnd::String(u"\x1b"));
    m_feedbackWindow->center();
}

void ZORFeedbackProvider::selectFirstSubject()
{
    if (m_subjectField->numberOfItems() > 0)
        m_subjectField->selectItemAtIndex(0);
    else
        m_subjectField->setStringValue({});
}

void ZORFeedbackProvider::showDialog()
{
    auto self = std::static_pointer_cast<ZORFeedbackProvider>(shared_from_this());
    m_feedbackWindow->setDelegate(std::static_pointer_cast<ui::WindowDelegate>(self));
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    m_sendMeACopyButton->setState(
        defaults.boolForKey(SendMeACopyDefaultKey) ? ui::ControlStateValue::On : ui::ControlStateValue::Off);
    m_emailAdress->setStringValue(defaults.stringForKey(EmailAddressDefaultKey).value_or(""));
    m_messageText->setString({});
    selectFirstSubject();
    ui::Application::shared().runModalForWindow(m_feedbackWindow);
}

void ZORFeedbackProvider::sendFeedbackButtonAction(const fnd::Value&)
{
    auto self = shared_from_this();
    // Read while a field may still be edited (reading takes the editor's text), then end editing.
    const fnd::String message = m_messageText->string();
    const fnd::String address = m_emailAdress->stringValue();
    // Without the prefix key the subject is the chosen text alone.
    const fnd::String subject = infoString("ZORFeedbackSubjectPrefix") + m_subjectField->stringValue();
    const bool copy = m_sendMeACopyButton->state() == ui::ControlStateValue::On;
    m_feedbackWindow->endEditingFor(nullptr);

    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    defaults.setObject(address, EmailAddressDefaultKey);
    defaults.setBool(copy, SendMeACopyDefaultKey);

    m_sent = send(subject, address, message, copy);
    closeFeedbackWindow({});
    auto panel = ZORAlertPanel::create(m_sent ? ZORAlertPanel::Style::Informational : ZORAlertPanel::Style::Warning,
        feedbackText(m_sent ? "FEEDBACK_SUCCESS_TITLE" : "FEEDBACK_ERROR_TITLE"),
        feedbackText(m_sent ? "FEEDBACK_SUCCESS_MESSAGE" : "FEEDBACK_ERROR_MESSAGE"), feedbackText("FEEDBACK_OK"));
    panel->runModal();
}

bool ZORFeedbackProvider::hasReceiver()
{
    return !infoString("ZORFeedbackProviderCGIURL").isEmpty();
}

bool ZORFeedbackProvider::send(
    const fnd::String& subject, const fnd::String& address, const fnd::String& message, bool copy)
{
    const auto receiver = infoString("ZORFeedbackProviderCGIURL");
    if (receiver.isEmpty()) {
        fnd::log(fnd::LogLevel::Error, "The feedback was not sent: the application names no receiver.");
        return false;
    }
    ZORMultipartFormData form;
    form.setContentTypePreamble(true);
    form.addField("subject", subject);
    form.addField("from", address);
    form.addField("message", message);
    form.addField("sendmeacopy", copy ? "YES" : "NO");
    form.addField("appversion", infoString("CFBundleShortVersionString"));
    fnd::URLRequest request(receiver);
    request.setHTTPMethod("POST");
    request.setHTTPBody(form.body());
    request.setValue("ZORFeedbackProvider", "User-Agent");
    request.setValue(form.contentType(), "Content-Type");
    auto result = fnd::URLConnection::sendSynchronousRequest(request);
    if (!result) {
        fnd::logf(fnd::LogLevel::Error, "The feedback was not sent: {}", result.error().localizedDescription().utf8());
        return false;
    }
    auto status = result->response.statusCode();
    return status >= 200 && status <= 299;
}

void ZORFeedbackProvider::closeFeedbackWindow(const fnd::Value&)
{
    auto self = shared_from_this();
    m_feedbackWindow->endEditingFor(nullptr);
    m_messageText->setString({});
    selectFirstSubject();
    m_feedbackWindow->orderOut();
    ui::Application::shared().stopModal();
}

void ZORFeedbackProvider::openURL(const fnd::Value& sender)
{
    auto page = infoString("ZORFeedbackURL");
    if (!page.isEmpty()) {
        if (auto opened = ui::Application::shared().openURL(page); !opened)
            fnd::logf(fnd::LogLevel::Error, "The feedback page could not be opened: {}",
                opened.error().localizedDescription().utf8());
    }
    closeFeedbackWindow(sender);
}
