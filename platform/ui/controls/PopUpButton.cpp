#include "platform/ui/controls/PopUpButton.h"

#include "platform/ui/views/Event.h"

namespace ui {

FND_REGISTER_CLASS(PopUpButton, Button)

void PopUpButton::describeClass(fnd::ClassBuilder<PopUpButton>& c)
{
    c.property("menu", &PopUpButton::menu, &PopUpButton::setMenu);
    c.property("pullsDown", &PopUpButton::pullsDown, &PopUpButton::setPullsDown);
    c.property("autoenablesItems", &PopUpButton::autoenablesItems, &PopUpButton::setAutoenablesItems);
    c.property("preferredEdge", &PopUpButton::preferredEdge, &PopUpButton::setPreferredEdge);
    c.property("indexOfSelectedItem", &PopUpButton::indexOfSelectedItem, &PopUpButton::selectItemAtIndex);
    c.property("titleOfSelectedItem", &PopUpButton::titleOfSelectedItem);
    c.property("selectedTag", &PopUpButton::selectedTag);
    c.action("addItemWithTitle:", &PopUpButton::addItemWithTitle);
    c.action("selectItemAtIndex:", &PopUpButton::selectItemAtIndex);
    c.action("selectItemWithTag:", &PopUpButton::selectItemWithTag);
    c.exposeBinding("content");
    c.exposeBinding("contentObjects");
    c.exposeBinding("contentValues");
    c.exposeBinding("selectedIndex");
    c.exposeBinding("selectedObject");
}

std::shared_ptr<PopUpButton> PopUpButton::create(gfx::Rect frame, bool pullsDown)
{
    auto button = makeView<PopUpButton>(frame);
    button->setPullsDown(pullsDown);
    return button;
}

std::shared_ptr<Cell> PopUpButton::makeCell() const
{
    return fnd::makeObject<PopUpButtonCell>();
}

#define UI_FORWARD(Result, Name, Fallback)                                                                             \
    Result PopUpButton::Name() const                                                                                   \
    {                                                                                                                  \
        auto c = popUpCell();                                                                                          \
        return c ? c->Name() : Fallback;                                                                               \
    }
#define UI_FORWARD_1(Result, Name, Arg, Fallback)                                                                      \
    Result PopUpButton::Name(Arg value) const                                                                          \
    {                                                                                                                  \
        auto c = popUpCell();                                                                                          \
        return c ? c->Name(value) : Fallback;                                                                          \
    }
#define UI_FORWARD_SET(Name, Arg)                                                                                      \
    void PopUpButton::Name(Arg value)                                                                                  \
    {                                                                                                                  \
        if (auto c = popUpCell())                                                                                      \
            c->Name(value);                                                                                            \
    }

UI_FORWARD(std::shared_ptr<Menu>, menu, nullptr)
UI_FORWARD(bool, pullsDown, false)
UI_FORWARD_SET(setPullsDown, bool)
UI_FORWARD(bool, autoenablesItems, false)
UI_FORWARD_SET(setAutoenablesItems, bool)
UI_FORWARD(RectEdge, preferredEdge, RectEdge::MaxY)
UI_FORWARD_SET(setPreferredEdge, RectEdge)
UI_FORWARD_SET(addItemWithTitle, const fnd::String&)
UI_FORWARD_SET(addItemsWithTitles, const std::vector<fnd::String>&)
UI_FORWARD_SET(removeItemWithTitle, const fnd::String&)
UI_FORWARD_SET(removeItemAtIndex, long)
UI_FORWARD(long, numberOfItems, 0)
UI_FORWARD_1(long, indexOfItem, const MenuItem&, -1)
UI_FORWARD_1(long, indexOfItemWithTitle, const fnd::String&, -1)
UI_FORWARD_1(long, indexOfItemWithTag, long, -1)
UI_FORWARD_1(long, indexOfItemWithRepresentedObject, const fnd::Value&, -1)
UI_FORWARD_1(std::shared_ptr<MenuItem>, itemAtIndex, long, nullptr)
UI_FORWARD_1(std::shared_ptr<MenuItem>, itemWithTitle, const fnd::String&, nullptr)
UI_FORWARD(std::shared_ptr<MenuItem>, lastItem, nullptr)
UI_FORWARD_1(fnd::String, itemTitleAtIndex, long, fnd::String())
UI_FORWARD(std::vector<fnd::String>, itemTitles, std::vector<fnd::String>())
UI_FORWARD_SET(selectItem, const std::shared_ptr<MenuItem>&)
UI_FORWARD_SET(selectItemAtIndex, long)
UI_FORWARD(std::shared_ptr<MenuItem>, selectedItem, nullptr)
UI_FORWARD(long, indexOfSelectedItem, -1)
UI_FORWARD(long, selectedTag, -1)
UI_FORWARD(fnd::String, titleOfSelectedItem, fnd::String())

#undef UI_FORWARD
#undef UI_FORWARD_1
#undef UI_FORWARD_SET

void PopUpButton::setMenu(const std::shared_ptr<Menu>& menu)
{
    if (auto c = popUpCell())
        c->setMenu(menu);
}

void PopUpButton::insertItemWithTitle(const fnd::String& title, long index)
{
    if (auto c = popUpCell())
        c->insertItemWithTitle(title, index);
}

void PopUpButton::removeAllItems()
{
    if (auto c = popUpCell())
        c->removeAllItems();
}

const std::vector<std::shared_ptr<MenuItem>>& PopUpButton::itemArray() const
{
    static const std::vector<std::shared_ptr<MenuItem>> none;
    auto c = popUpCell();
    return c ? c->itemArray() : none;
}

bool PopUpButton::selectItemWithTitle(const fnd::String& title)
{
    auto c = popUpCell();
    return c && c->selectItemWithTitle(title);
}

bool PopUpButton::selectItemWithTag(long tag)
{
    auto c = popUpCell();
    return c && c->selectItemWithTag(tag);
}

void PopUpButton::synchronizeTitleAndSelectedItem()
{
    if (auto c = popUpCell())
        c->synchronizeTitleAndSelectedItem();
}

void PopUpButton::keyDown(const Event& event)
{
    const auto& chars = event.charactersIgnoringModifiers();
    char16_t c = chars.length() > 0 ? chars.units()[0] : 0;
    const unsigned commandKeys = ModifierFlags::Command | ModifierFlags::Control | ModifierFlags::Alternate;
    if (isEnabled() && !(event.modifierFlags() & commandKeys)
        && (c == u' ' || c == FunctionKey::UpArrow || c == FunctionKey::DownArrow)) {
        performClick(selfValue());
        return;
    }
    Control::keyDown(event);
}

}
