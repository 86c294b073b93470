#include "frameworks/ZORAppKit/ZORContextMenu/ZORActionContextMenu.h"

#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(ZORActionContextMenu, fnd::Object)

void ZORActionContextMenu::init()
{
    m_menu = ui::Menu::create();
}

void ZORActionContextMenu::addMenuItem(const std::shared_ptr<ui::MenuItem>& item)
{
    m_menu->addItem(item);
}

void ZORActionContextMenu::addSeparatorItem()
{
    addMenuItem(ui::MenuItem::separatorItem());
}

void ZORActionContextMenu::removeAllItems()
{
    auto items = m_menu->itemArray();
    for (const auto& item : items)
        m_menu->removeItem(item);
}

std::shared_ptr<ui::Menu> ZORActionContextMenu::menu() const
{
    return m_menu->copy();
}

void ZORActionContextMenu::setMenu(std::shared_ptr<ui::Menu> menu)
{
    m_menu = menu ? std::move(menu) : ui::Menu::create();
}

void ZORActionContextMenu::showContextMenuForView(ui::View& view)
{
    auto frame = view.frame();
    gfx::Point centre { frame.midX(), frame.midY() };
    auto superview = view.superview();
    showContextMenuForView(view, superview ? superview->convertPointToView(centre, nullptr) : centre);
}

void ZORActionContextMenu::showContextMenuForView(ui::View& view, gfx::Point windowPosition)
{
    auto window = view.window();
    auto event = ui::Event::mouseEventWithType(
        ui::EventType::RightMouseDown, windowPosition, 0, 1.0, window ? window->windowNumber() : 0, 1, 1, 1.0f);
    ui::Menu::popUpContextMenu(m_menu, *event, view);
}
