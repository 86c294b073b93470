#include "frameworks/FoundationExtensions/ui/ZORAlertPanel.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <vector>

FND_REGISTER_CLASS(ZORAlertPanel, fnd::Object)

namespace {

// Panels that exist, for panelForWindow. Main thread, like every panel.
std::vector<std::weak_ptr<ZORAlertPanel>>& livePanels()
{
    static std::vector<std::weak_ptr<ZORAlertPanel>> panels;
    return panels;
}

// The platform's own word, as its panels use it.
fnd::String okTitle()
{
    auto bundle = fnd::Bundle::bundleWithName("Foundation");
    return bundle ? bundle->localizedStringForKey("OK", "OK", "Panels") : fnd::String("OK");
}

ui::AlertStyle alertStyle(ZORAlertPanel::Style style)
{
    switch (style) {
    case ZORAlertPanel::Style::Informational:
        return ui::AlertStyle::Informational;
    case ZORAlertPanel::Style::Critical:
        return ui::AlertStyle::Critical;
    case ZORAlertPanel::Style::Warning:
        break;
    }
    return ui::AlertStyle::Warning;
}

}

std::shared_ptr<ZORAlertPanel> ZORAlertPanel::create(Style style, const fnd::String& title, const fnd::String& message,
    const fnd::String& defaultButton, const fnd::String& alternateButton, const fnd::String& otherButton)
{
    auto panel = fnd::makeObject<ZORAlertPanel>();
    panel->m_style = style;
    panel->m_title = title;
    panel->m_message = message;
    panel->m_defaultButton = defaultButton.isEmpty() ? okTitle() : defaultButton;
    panel->m_alternateButton = alternateButton;
    panel->m_otherButton = otherButton;

    auto& alert = panel->m_alert = ui::Alert::create();
    alert->setAlertStyle(alertStyle(style));
    alert->setMessageText(title);
    alert->setInformativeText(message);
    // The alert lays its buttons out from the right in the order they are added.
    alert->addButtonWithTitle(panel->m_defaultButton);
    panel->m_codes.push_back(DefaultReturn);
    if (!alternateButton.isEmpty()) {
        alert->addButtonWithTitle(alternateButton);
        panel->m_codes.push_back(AlternateReturn);
    }
    if (!otherButton.isEmpty()) {
        alert->addButtonWithTitle(otherButton);
        panel->m_codes.push_back(OtherReturn);
    }
    auto& panels = livePanels();
    std::erase_if(panels, [](const auto& weak) { return weak.expired(); });
    panels.push_back(panel);
    return panel;
}

ZORAlertPanel::~ZORAlertPanel() = default;

std::shared_ptr<ZORAlertPanel> ZORAlertPanel::panelForWindow(const ui::Window& window)
{
    for (const auto& weak : livePanels()) {
        if (auto panel = weak.lock(); panel && panel->window().get() == &window)
            return panel;
    }
    return nullptr;
}

const std::shared_ptr<ui::Window>& ZORAlertPanel::window() const
{
    return m_alert->window();
}

long ZORAlertPanel::runModal()
{
    auto self = shared_from_this();
    const long response = m_alert->runModal();
    const long index = response - ui::AlertReturn::FirstButton;
    if (index >= 0 && index < long(m_codes.size()))
        return m_codes[std::size_t(index)];
    return m_alternateButton.isEmpty() ? DefaultReturn : AlternateReturn;
}
