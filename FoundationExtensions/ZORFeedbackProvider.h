#pragma once

#include "platform/foundation/Object.h"
#include "platform/ui/Window.h"

#include <memory>

// The feedback dialog: the person picks a subject, gives an address and a message, and may ask for a copy; sending
// posts them with the application's version to the feedback receiver (the main bundle's "ZORFeedbackProviderCGIURL")
// and tells the person whether the receiver took them (a 2xx answer). The address and the copy flag are kept for
// the next time; the message never is.
//
// FIXME: the dialog holds its fields as values; the combo box, text field, text view and check box come with the
// controls.
// The window's delegate is the object that owns it, as an interface file's owner would be.
class ZORFeedbackProvider : public fnd::Object, public ui::WindowDelegate {
    FND_OBJECT(ZORFeedbackProvider)
    static void describeClass(fnd::ClassBuilder<ZORFeedbackProvider>& c);

public:
    static inline const fnd::String EmailAddressDefaultKey = "ZORFeedbackProvidereMailAddressDefaultKey";
    static inline const fnd::String SendMeACopyDefaultKey = "ZORFeedbackProviderSendMeACopyDefaultKey";

    // Registers the defaults (no address, send a copy).
    static void registerDefaults();
    static void showFeedbackProviderDialog();

    ZORFeedbackProvider();
    // Fields from the defaults, an empty message, the first subject; runs the window application-modally.
    void showDialog();
    void sendFeedbackButtonAction(const fnd::Value& sender);
    void closeFeedbackWindow(const fnd::Value& sender);
    // Opens the "ZORFeedbackURL" page, then closes.
    void openURL(const fnd::Value& sender);

    const std::shared_ptr<ui::Window>& feedbackWindow() const { return m_feedbackWindow; }
    const fnd::StringArray& subjects() const { return m_subjects; }
    const fnd::String& subject() const { return m_subject; }
    void setSubject(const fnd::String& subject) { m_subject = subject; }
    const fnd::String& emailAdress() const { return m_emailAdress; }
    void setEmailAdress(const fnd::String& address) { m_emailAdress = address; }
    const fnd::String& messageText() const { return m_messageText; }
    void setMessageText(const fnd::String& text) { m_messageText = text; }
    bool sendMeACopy() const { return m_sendMeACopy; }
    void setSendMeACopy(bool flag) { m_sendMeACopy = flag; }
    // Whether the last sending was accepted.
    bool wasSent() const { return m_sent; }

private:
    bool send(const fnd::String& subject);

    std::shared_ptr<ui::Window> m_feedbackWindow;
    fnd::StringArray m_subjects;
    fnd::String m_subject;
    fnd::String m_emailAdress;
    fnd::String m_messageText;
    bool m_sendMeACopy { true };
    bool m_sent { false };
};
