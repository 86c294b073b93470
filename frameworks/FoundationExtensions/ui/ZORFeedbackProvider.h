#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/Window.h"

#include <memory>

namespace ui {
class Button;
class ComboBox;
class TextField;
class TextView;
}

// The feedback dialog: the person picks a subject, gives an address and a message, and may ask for a copy; sending
// posts them with the application's version to the feedback receiver (the main bundle's "ZORFeedbackProviderCGIURL")
// and tells the person whether the receiver took them (a 2xx answer). The address and the copy flag are kept for
// the next time; the message never is.
//
// The dialog comes from the interface file "ZORFeedbackProvider" of the class's bundle, with the provider as its
// owner and its window's delegate: a combo box of subjects (the person may type another), the address field, the
// message text view, the send-me-a-copy check box, and buttons to visit the feedback page, cancel and send. Its
// texts are keys of the "ZORFeedbackProvider" string table.
class ZORFeedbackProvider : public fnd::Object, public ui::WindowDelegate {
    FND_OBJECT(ZORFeedbackProvider)
    static void describeClass(fnd::ClassBuilder<ZORFeedbackProvider>& c);

public:
    static inline const fnd::String EmailAddressDefaultKey = "ZORFeedbackProvidereMailAddressDefaultKey";
    static inline const fnd::String SendMeACopyDefaultKey = "ZORFeedbackProviderSendMeACopyDefaultKey";

    // Registers the defaults (no address, send a copy).
    static void registerDefaults();
    static void showFeedbackProviderDialog();
    // Whether the application names a receiver for feedback; a menu item for the dialog is enabled only then.
    static bool hasReceiver();

    ZORFeedbackProvider() = default;
    // Registers the defaults and loads the dialog; raises "View initialization failed" when the interface file
    // cannot be loaded or lacks a part.
    void init();
    // Fields from the defaults, an empty message, the first subject; runs the window application-modally.
    void showDialog();
    void sendFeedbackButtonAction(const fnd::Value& sender);
    void closeFeedbackWindow(const fnd::Value& sender);
    // Opens the "ZORFeedbackURL" page, then closes.
    void openURL(const fnd::Value& sender);

    // The interface file's outlets.
    const std::shared_ptr<ui::Window>& feedbackWindow() const { return m_feedbackWindow; }
    void setFeedbackWindow(const std::shared_ptr<ui::Window>& window) { m_feedbackWindow = window; }
    const std::shared_ptr<ui::ComboBox>& subjectField() const { return m_subjectField; }
    void setSubjectField(const std::shared_ptr<ui::ComboBox>& field) { m_subjectField = field; }
    const std::shared_ptr<ui::TextField>& emailAdress() const { return m_emailAdress; }
    void setEmailAdress(const std::shared_ptr<ui::TextField>& field) { m_emailAdress = field; }
    const std::shared_ptr<ui::TextView>& messageText() const { return m_messageText; }
    void setMessageText(const std::shared_ptr<ui::TextView>& view) { m_messageText = view; }
    const std::shared_ptr<ui::Button>& sendMeACopyButton() const { return m_sendMeACopyButton; }
    void setSendMeACopyButton(const std::shared_ptr<ui::Button>& button) { m_sendMeACopyButton = button; }
    const std::shared_ptr<ui::Button>& cancelButton() const { return m_cancelButton; }
    void setCancelButton(const std::shared_ptr<ui::Button>& button) { m_cancelButton = button; }
    // Whether the last sending was accepted.
    bool wasSent() const { return m_sent; }

private:
    bool send(const fnd::String& subject, const fnd::String& address, const fnd::String& message, bool copy);
    void selectFirstSubject();

    std::shared_ptr<ui::Window> m_feedbackWindow;
    std::shared_ptr<ui::ComboBox> m_subjectField;
    std::shared_ptr<ui::TextField> m_emailAdress;
    std::shared_ptr<ui::TextView> m_messageText;
    std::shared_ptr<ui::Button> m_sendMeACopyButton;
    std::shared_ptr<ui::Button> m_cancelButton;
    bool m_sent { false };
};
