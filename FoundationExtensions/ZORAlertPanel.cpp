#include "FoundationExtensions/ZORAlertPanel.h"

#include "platform/ui/Application.h"

FND_REGISTER_CLASS(ZORAlertPanel, ui::Window)

std::shared_ptr<ZORAlertPanel> ZORAlertPanel::create(Style style, const fnd::String& title, const fnd::String& message,
    const fnd::String& defaultButton, const fnd::String& alternateButton, const fnd::String& otherButton)
{
    auto panel = std::make_shared<ZORAlertPanel>();
    panel->initWithContentRect({ { 0, 0 }, { 420, 150 } }, ui::WindowStyleMask::Titled);
    panel->setTitle(title);
    panel->setLevel(ui::WindowLevel::ModalPanel);
    panel->m_style = style;
    panel->m_message = message;
    panel->m_defaultButton = defaultButton;
    panel->m_alternateButton = alternateButton;
    panel->m_otherButton = otherButton;
    panel->center();
    return panel;
}

long ZORAlertPanel::runModal()
{
    auto self = std::static_pointer_cast<ZORAlertPanel>(shared_from_this());
    long response = ui::Application::shared().runModalForWindow(self);
    orderOut();
    switch (response) {
    case DefaultReturn:
    case AlternateReturn:
    case OtherReturn:
        return response;
    default:
        return m_alternateButton.isEmpty() ? DefaultReturn : AlternateReturn;
    }
}
