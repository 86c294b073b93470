#include "frameworks/ZORAppKit/ZORDelayedPopUpButton/ZORContextMenuToolbarItem.h"

#include "platform/graphics/Image.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(ZORContextMenuToolbarItem, ui::ToolbarItem)

std::shared_ptr<ZORContextMenuToolbarItem> ZORContextMenuToolbarItem::create(const fnd::String& itemIdentifier)
{
    auto item = fnd::makeObject<ZORContextMenuToolbarItem>();
    item->initWithItemIdentifier(itemIdentifier);
    return item;
}

void ZORContextMenuToolbarItem::initWithItemIdentifier(const fnd::String& itemIdentifier)
{
    ToolbarItem::initWithItemIdentifier(itemIdentifier);
    m_button = ZORDelayedPopUpButton::create({ {}, RegularImageSize });
    m_button->setButtonType(ui::ButtonType::MomentaryChange);
    m_button->setBordered(false);
    m_button->setImagePosition(ui::CellImagePosition::ImageOnly);
    setView(m_button);
    setMinSize(RegularImageSize);
    setMaxSize(RegularImageSize);
}

std::shared_ptr<ui::Menu> ZORContextMenuToolbarItem::menu() const
{
    return popupCell()->menu();
}

void ZORContextMenuToolbarItem::setMenu(std::shared_ptr<ui::Menu> menu)
{
    popupCell()->setMenu(menu);
    // A menu is the submenu of one item at a time: the old form lets go of it first.
    if (m_menuForm)
        m_menuForm->setSubmenu(nullptr);
    m_menuForm = ui::MenuItem::create(label());
    m_menuForm->setSubmenu(std::move(menu));
    setMenuFormRepresentation(m_menuForm);
}

fnd::Selector ZORContextMenuToolbarItem::action() const
{
    return popupCell()->action();
}

void ZORContextMenuToolbarItem::setAction(fnd::Selector action)
{
    popupCell()->setAction(action);
}

std::shared_ptr<fnd::Object> ZORContextMenuToolbarItem::target() const
{
    return popupCell()->target();
}

void ZORContextMenuToolbarItem::setTarget(const std::shared_ptr<fnd::Object>& target)
{
    popupCell()->setTarget(target);
}

std::shared_ptr<gfx::Image> ZORContextMenuToolbarItem::image() const
{
    return popupCell()->image();
}

void ZORContextMenuToolbarItem::setImage(const std::shared_ptr<gfx::Image>& image)
{
    // Copies, so that the caller's image keeps its size.
    m_regularImage = image ? image->copy() : nullptr;
    m_smallImage = image ? image->copy() : nullptr;
    if (image) {
        m_regularImage->setSize(RegularImageSize);
        m_smallImage->setSize(SmallImageSize);
    }
    popupCell()->setImage(isSmall() ? m_smallImage : m_regularImage);
}

void ZORContextMenuToolbarItem::setToolTip(const fnd::String& toolTip)
{
    m_button->setToolTip(toolTip);
    ToolbarItem::setToolTip(toolTip);
}

bool ZORContextMenuToolbarItem::isSmall() const
{
    auto t = toolbar();
    return t && t->sizeMode() == ui::ToolbarSizeMode::Small;
}

void ZORContextMenuToolbarItem::validate()
{
    auto self = shared_from_this();
    auto t = toolbar();
    auto shown = popupCell()->image();
    if (t && t->sizeMode() == ui::ToolbarSizeMode::Small) {
        if (!shown || shown->size().width != SmallImageSize.width)
            popupCell()->setImage(m_smallImage);
    } else if (t && t->sizeMode() == ui::ToolbarSizeMode::Regular) {
        if (shown && shown->size().width == SmallImageSize.width)
            popupCell()->setImage(m_regularImage);
    }

    bool enabled = true;
    if (auto delegate = t ? std::dynamic_pointer_cast<fnd::Object>(t->delegate()) : nullptr) {
        static const fnd::Selector validateToolbarItem("validateToolbarItem:");
        static const fnd::Selector validateUserInterfaceItem("validateUserInterfaceItem:");
        if (delegate->respondsTo(validateToolbarItem))
            enabled = delegate->perform(validateToolbarItem, selfValue()).boolValue();
        else if (delegate->respondsTo(validateUserInterfaceItem))
            enabled = delegate->perform(validateUserInterfaceItem, selfValue()).boolValue();
    } else if (auto a = action()) {
        std::shared_ptr<fnd::Object> receiver = target();
        if (!receiver) {
            auto window = m_button->window();
            receiver = window ? std::static_pointer_cast<fnd::Object>(window->firstResponder()) : nullptr;
        }
        enabled = receiver && receiver->respondsTo(a);
    } else {
        ToolbarItem::validate();
        return;
    }
    setEnabled(enabled);
    m_button->setEnabled(enabled);
}
