#include "platform/ui/containers/TabViewItem.h"

#include "platform/ui/containers/TabView.h"
#include "platform/ui/views/detail/PanelText.h"

namespace ui {

FND_REGISTER_CLASS(TabViewItem, fnd::Object)

void TabViewItem::describeClass(fnd::ClassBuilder<TabViewItem>& c)
{
    c.property("label", &TabViewItem::label, &TabViewItem::setLabel);
    c.property("identifier", &TabViewItem::identifier, &TabViewItem::setIdentifier);
    c.property("toolTip", &TabViewItem::toolTip, &TabViewItem::setToolTip);
    c.property("view", &TabViewItem::view, &TabViewItem::setView);
    c.exposeBinding("label");
}

std::shared_ptr<TabViewItem> TabViewItem::create(const fnd::Value& identifier)
{
    auto item = fnd::makeObject<TabViewItem>();
    item->initWithIdentifier(identifier);
    return item;
}

void TabViewItem::initWithIdentifier(const fnd::Value& identifier)
{
    m_identifier = identifier;
}

void TabViewItem::setLabel(const fnd::String& label)
{
    if (label == m_label)
        return;
    willChangeValueForKey("label");
    m_label = label;
    didChangeValueForKey("label");
    if (auto tabs = tabView())
        tabs->itemLabelChanged(*this);
}

void TabViewItem::setIdentifier(const fnd::Value& identifier)
{
    if (identifier == m_identifier)
        return;
    willChangeValueForKey("identifier");
    m_identifier = identifier;
    didChangeValueForKey("identifier");
}

void TabViewItem::setView(const std::shared_ptr<View>& view)
{
    if (view == m_view)
        return;
    auto tabs = tabView();
    bool shown = tabs && m_tabState == TabState::Selected && m_view && m_view->superview() == tabs;
    if (shown)
        m_view->removeFromSuperview();
    m_view = view;
    if (shown && view) {
        view->setFrame(tabs->contentRect());
        view->setAutoresizingMask(AutoresizingMask::WidthSizable | AutoresizingMask::HeightSizable);
        tabs->addSubview(view);
    }
}

gfx::Size TabViewItem::sizeOfLabel(bool) const
{
    auto tabs = tabView();
    return detail::labelSize(m_label, tabs ? tabs->font() : gfx::Font::systemFontOfSize(0));
}

}
