#pragma once

#include "platform/ui/Window.h"

#include <memory>

// The application-modal alert panel the services run (the offer to send a crash report, the feedback result, the
// relaunch question, a missing EditLink server): a titled panel with a message and up to three buttons, answered
// with the platform's panel return codes.
//
// FIXME: the panel carries its texts and buttons but does not draw them yet; it moves onto the alert control once
// the panels land. Until then the modal session is answered by the backend (the headless one from its script).
class ZORAlertPanel : public ui::Window {
    FND_OBJECT(ZORAlertPanel)

public:
    enum class Style { Warning, Informational, Critical };

    // The platform's return codes of alert panels.
    static constexpr long DefaultReturn = 1;
    static constexpr long AlternateReturn = 0;
    static constexpr long OtherReturn = -1;

    ZORAlertPanel() = default;
    static std::shared_ptr<ZORAlertPanel> create(Style style, const fnd::String& title, const fnd::String& message,
        const fnd::String& defaultButton, const fnd::String& alternateButton = {}, const fnd::String& otherButton = {});

    // Runs the panel modally: DefaultReturn, AlternateReturn or OtherReturn; a session that ends otherwise (aborted)
    // counts as the alternate button, or the default when that is the only one.
    long runModal();

    Style style() const { return m_style; }
    const fnd::String& message() const { return m_message; }
    const fnd::String& defaultButton() const { return m_defaultButton; }
    const fnd::String& alternateButton() const { return m_alternateButton; }
    const fnd::String& otherButton() const { return m_otherButton; }

private:
    Style m_style { Style::Warning };
    fnd::String m_message;
    fnd::String m_defaultButton;
    fnd::String m_alternateButton;
    fnd::String m_otherButton;
};
