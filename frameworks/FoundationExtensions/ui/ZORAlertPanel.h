#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>
#include <vector>

namespace ui {
class Alert;
class Window;
}

// The application-modal alert panel the services run (the offer to send a crash report, the feedback result, the
// relaunch question, a missing EditLink server): a bold title over a message, the style's icon and up to three
// buttons, answered with the platform's panel return codes. The default button sits rightmost and answers Return,
// the alternate button left of it, the other button leftmost.
class ZORAlertPanel : public fnd::Object {
    FND_OBJECT(ZORAlertPanel)

public:
    enum class Style { Warning, Informational, Critical };

    // The platform's return codes of alert panels.
    static constexpr long DefaultReturn = 1;
    static constexpr long AlternateReturn = 0;
    static constexpr long OtherReturn = -1;

    ZORAlertPanel() = default;
    ~ZORAlertPanel() override;
    // An empty default button is "OK"; empty alternate and other buttons are left out.
    static std::shared_ptr<ZORAlertPanel> create(Style style, const fnd::String& title, const fnd::String& message,
        const fnd::String& defaultButton, const fnd::String& alternateButton = {}, const fnd::String& otherButton = {});
    // The panel whose window this is, while the panel exists (for code that is handed only the window).
    static std::shared_ptr<ZORAlertPanel> panelForWindow(const ui::Window& window);

    // Runs the panel modally: DefaultReturn, AlternateReturn or OtherReturn; a session that ends otherwise (aborted)
    // counts as the alternate button, or the default when that is the only one.
    long runModal();

    Style style() const { return m_style; }
    const fnd::String& title() const { return m_title; }
    const fnd::String& message() const { return m_message; }
    const fnd::String& defaultButton() const { return m_defaultButton; }
    const fnd::String& alternateButton() const { return m_alternateButton; }
    const fnd::String& otherButton() const { return m_otherButton; }
    const std::shared_ptr<ui::Alert>& alert() const { return m_alert; }
    const std::shared_ptr<ui::Window>& window() const;

private:
    Style m_style { Style::Warning };
    fnd::String m_title;
    fnd::String m_message;
    fnd::String m_defaultButton;
    fnd::String m_alternateButton;
    fnd::String m_otherButton;
    std::shared_ptr<ui::Alert> m_alert;
    // The return code of each of the alert's buttons, in the order they were added.
    std::vector<long> m_codes;
};
