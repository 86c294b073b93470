#include "FoundationExtensions/ZORFeedbackProvider.h"

#include "FoundationExtensions/ZORAlertPanel.h"
#include "FoundationExtensions/ZORMultipartFormData.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/URLConnection.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"

FND_REGISTER_CLASS(ZORFeedbackProvider, fnd::Object)

void ZORFeedbackProvider::describeClass(fnd::ClassBuilder<ZORFeedbackProvider>& c)
{
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

ZORFeedbackProvider::ZORFeedbackProvider()
    : m_feedbackWindow(ui::Window::create({ { 0, 0 }, { 520, 400 } }, ui::WindowStyleMask::Titled))
    , m_subjects { feedbackText("FEEDBACK_SUBJECT_BUG"), feedbackText("FEEDBACK_SUBJECT_FEATURE"),
        feedbackText("FEEDBACK_SUBJECT_QUESTION"), feedbackText("FEEDBACK_SUBJECT_PRAISE") }
{
    registerDefaults();
    m_feedbackWindow->setTitle(feedbackText("FEEDBACK_WINDOW_TITLE"));
    m_feedbackWindow->center();
}

void ZORFeedbackProvider::showDialog()
{
    auto self = std::static_pointer_cast<ZORFeedbackProvider>(shared_from_this());
    m_feedbackWindow->setDelegate(std::static_pointer_cast<ui::WindowDelegate>(self));
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    m_sendMeACopy = defaults.boolForKey(SendMeACopyDefaultKey);
    m_emailAdress = defaults.stringForKey(EmailAddressDefaultKey).value_or("");
    m_messageText = {};
    m_subject = m_subjects.empty() ? fnd::String() : m_subjects.front();
    ui::Application::shared().runModalForWindow(m_feedbackWindow);
}

void ZORFeedbackProvider::sendFeedbackButtonAction(const fnd::Value&)
{
    auto self = shared_from_this();
    // Without the prefix key the subject is the chosen text alone.
    const fnd::String subject = infoString("ZORFeedbackSubjectPrefix") + m_subject;
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    defaults.setObject(m_emailAdress, EmailAddressDefaultKey);
    defaults.setBool(m_sendMeACopy, SendMeACopyDefaultKey);

    m_sent = send(subject);
    closeFeedbackWindow({});
    auto panel = ZORAlertPanel::create(m_sent ? ZORAlertPanel::Style::Informational : ZORAlertPanel::Style::Warning,
        feedbackText(m_sent ? "FEEDBACK_SUCCESS_TITLE" : "FEEDBACK_ERROR_TITLE"),
        feedbackText(m_sent ? "FEEDBACK_SUCCESS_MESSAGE" : "FEEDBACK_ERROR_MESSAGE"), feedbackText("FEEDBACK_OK"));
    panel->runModal();
}

bool ZORFeedbackProvider::send(const fnd::String& subject)
{
    const auto address = infoString("ZORFeedbackProviderCGIURL");
    if (address.isEmpty()) {
        fnd::log(fnd::LogLevel::Error, "The feedback was not sent: the application names no receiver.");
        return false;
    }
    ZORMultipartFormData form;
    form.setContentTypePreamble(true);
    form.addField("subject", subject);
    form.addField("from", m_emailAdress);
    form.addField("message", m_messageText);
    form.addField("sendmeacopy", m_sendMeACopy ? "YES" : "NO");
    form.addField("appversion", infoString("CFBundleShortVersionString"));
    fnd::URLRequest request(address);
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
    m_messageText = {};
    m_subject = m_subjects.empty() ? fnd::String() : m_subjects.front();
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
