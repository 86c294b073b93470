#pragma once

#include "platform/ui/panels/ScriptedPanel.h"
#include "platform/ui/views/Window.h"

#include <functional>
#include <memory>
#include <vector>

namespace gfx {
class Image;
}

namespace ui {

class Button;

// Alert styles, with the platform's values; each has its icon.
enum class AlertStyle { Warning = 0, Informational = 1, Critical = 2 };

// The codes an alert's buttons return, with the platform's values: the first button added gives 1000, the second
// 1001, and so on.
namespace AlertReturn {
constexpr long FirstButton = 1000;
constexpr long SecondButton = 1001;
constexpr long ThirdButton = 1002;
}

// A message with an informative text, an icon for its style, buttons, an optional suppression check box and an
// accessory view, shown application-modally (runModal) or as a sheet on a window. The first button is the default
// (Return); a button titled Cancel answers Escape, one titled Don't Save Command-D. Without buttons an OK button is
// added when the alert is shown.
class Alert : public fnd::Object {
    FND_OBJECT(Alert)
    static void describeClass(fnd::ClassBuilder<Alert>& c);

public:
    Alert() = default;
    ~Alert() override;
    static std::shared_ptr<Alert> create();

    const fnd::String& messageText() const { return m_messageText; }
    void setMessageText(const fnd::String& text) { m_messageText = text; }
    const fnd::String& informativeText() const { return m_informativeText; }
    void setInformativeText(const fnd::String& text) { m_informativeText = text; }
    AlertStyle alertStyle() const { return m_style; }
    void setAlertStyle(AlertStyle style) { m_style = style; }
    // The style's icon unless one is set.
    std::shared_ptr<gfx::Image> icon() const;
    void setIcon(std::shared_ptr<gfx::Image> icon) { m_icon = std::move(icon); }
    static std::shared_ptr<gfx::Image> iconForStyle(AlertStyle style);

    std::shared_ptr<Button> addButtonWithTitle(const fnd::String& title);
    const std::vector<std::shared_ptr<Button>>& buttons() const { return m_buttons; }

    bool showsSuppressionButton() const { return m_showsSuppressionButton; }
    void setShowsSuppressionButton(bool flag) { m_showsSuppressionButton = flag; }
    // The check box ("Do not show this message again"); its state is read after the alert ends.
    const std::shared_ptr<Button>& suppressionButton();
    const std::shared_ptr<View>& accessoryView() const { return m_accessoryView; }
    void setAccessoryView(const std::shared_ptr<View>& view) { m_accessoryView = view; }

    // Lays the panel out now (done before it is shown).
    void layout();
    const std::shared_ptr<Window>& window();

    // Runs the alert application-modally: the code of the button pressed.
    long runModal();
    // Shows the alert as a sheet on the window; the handler gets the button's code once it ends.
    void beginSheetModalForWindow(const std::shared_ptr<Window>& window, std::function<void(long)> completionHandler);

    // The buttons' action: ends the alert with the pressed button's code.
    void buttonPressed(const fnd::Value& sender);

private:
    void finish(long code);

    fnd::String m_messageText;
    fnd::String m_informativeText;
    AlertStyle m_style { AlertStyle::Warning };
    std::shared_ptr<gfx::Image> m_icon;
    std::vector<std::shared_ptr<Button>> m_buttons;
    // A first button titled Cancel: Return and Escape both press it.
    std::weak_ptr<Button> m_cancelButton;
    bool m_showsSuppressionButton { false };
    std::shared_ptr<Button> m_suppressionButton;
    std::shared_ptr<View> m_accessoryView;
    std::shared_ptr<Window> m_window;
    bool m_laidOut { false };
    bool m_runningModal { false };
};

}
