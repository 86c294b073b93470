#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPreferenceWindowController.h"

#include "frameworks/ZORAppKit/ZORWindow/ZORWindow.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/ToolbarItem.h"

namespace {

// The picture of "Show All": a grid of twelve tiles, the way an overview of panes looks.
std::shared_ptr<gfx::Image> showAllImage()
{
    static const std::shared_ptr<gfx::Image> image
        = gfx::Image::imageWithSize({ 32, 32 }, false, [](const gfx::Rect& destination) {
              double unit = destination.width() / 32;
              gfx::Color::colorWithCalibratedWhite(0.42, 1)->setFill();
              for (int row = 0; row < 3; ++row) {
                  for (int column = 0; column < 4; ++column) {
                      gfx::Rect tile { destination.minX() + (2 + column * 7.5) * unit,
                          destination.minY() + (5 + row * 8) * unit, 6 * unit, 6 * unit };
                      gfx::BezierPath::bezierPathWithRoundedRect(tile, 1.5 * unit, 1.5 * unit)->fill();
                  }
              }
              return true;
          });
    return image;
}

}

void ZORPreferenceWindowController::buildToolbar()
{
    if (m_toolbar || m_zorWindow->toolbar())
        return;
    m_toolbar = ui::Toolbar::create(ToolbarIdentifier);
    m_toolbar->setDelegate(std::static_pointer_cast<ZORPreferenceWindowController>(shared_from_this()));
    m_toolbar->setVisible(true);
    m_toolbar->setAllowsUserCustomization(m_usesConfigurationPane);
    m_toolbar->setAutosavesConfiguration(true);
    m_toolbar->attachToWindow(m_zorWindow);
}

void ZORPreferenceWindowController::selectShownItem()
{
    if (!m_toolbar)
        return;
    if (m_activePane)
        m_toolbar->setSelectedItemIdentifier(m_activePane->identifier());
    else
        m_toolbar->setSelectedItemIdentifier(m_usesConfigurationPane ? ShowAllItemIdentifier : fnd::String());
}

std::shared_ptr<ui::ToolbarItem> ZORPreferenceWindowController::toolbarItemForItemIdentifier(
    ui::Toolbar&, const fnd::String& identifier, bool)
{
    auto self = shared_from_this();
    if (identifier == ShowAllItemIdentifier) {
        auto item = ui::ToolbarItem::create(identifier);
        item->setTarget(self);
        item->setAction("toolbarShowAll");
        item->setEnabled(true);
        item->setImage(showAllImage());
        ZORFrameworkBundle::registerClassPrefixes();
        item->setLabel(fnd::Bundle::bundleForClass("ZORPreferenceWindowController")
                           ->localizedStringForKey("ZORPWShowAll", {}, "ZORPreferenceWindow"));
        return item;
    }
    auto pane = prefPaneWithIdentifier(identifier);
    if (!pane)
        return nullptr;
    auto item = ui::ToolbarItem::create(identifier);
    item->setTarget(self);
    item->setAction("toolbarShowPane:");
    item->setImage(pane->icon());
    item->setLabel(pane->label());
    return item;
}

std::vector<fnd::String> ZORPreferenceWindowController::toolbarDefaultItemIdentifiers(ui::Toolbar&)
{
    std::vector<fnd::String> identifiers;
    if (m_usesConfigurationPane)
        identifiers = { ShowAllItemIdentifier, ui::ToolbarItemIdentifier::Separator };
    auto panes = validPrefPaneIdentifiers();
    identifiers.insert(identifiers.end(), panes.begin(), panes.end());
    return identifiers;
}

std::vector<fnd::String> ZORPreferenceWindowController::toolbarAllowedItemIdentifiers(ui::Toolbar& toolbar)
{
    return toolbarDefaultItemIdentifiers(toolbar);
}

std::optional<std::vector<fnd::String>> ZORPreferenceWindowController::toolbarSelectableItemIdentifiers(ui::Toolbar&)
{
    std::vector<fnd::String> identifiers;
    if (m_usesConfigurationPane)
        identifiers.push_back(ShowAllItemIdentifier);
    auto panes = validPrefPaneIdentifiers();
    identifiers.insert(identifiers.end(), panes.begin(), panes.end());
    return identifiers;
}
