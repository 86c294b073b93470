#include "platform/ui/MenuScript.h"

namespace ui {

namespace {

std::shared_ptr<MenuItem> findItem(const Menu& menu, const std::function<bool(const MenuItem&)>& matches)
{
    for (const auto& item : menu.itemArray()) {
        if (matches(*item))
            return item;
        if (item->submenu())
            if (auto found = findItem(*item->submenu(), matches))
                return found;
    }
    return nullptr;
}

}

std::shared_ptr<MenuScript> MenuScript::shared()
{
    static auto script = std::make_shared<MenuScript>();
    return script;
}

void MenuScript::chooseItemWithTitle(const fnd::String& title)
{
    m_answers.push_back({ Answer::Kind::Title, title });
}
void MenuScript::chooseItemWithTag(long tag)
{
    m_answers.push_back({ Answer::Kind::Tag, {}, tag });
}
void MenuScript::chooseItemAtIndex(long index)
{
    m_answers.push_back({ Answer::Kind::Index, {}, index });
}
void MenuScript::dismiss()
{
    m_answers.push_back({ Answer::Kind::Dismiss, {} });
}

void MenuScript::reset()
{
    m_answers.clear();
    m_shown.clear();
}

std::shared_ptr<MenuItem> MenuScript::popUpMenu(Menu& menu, const std::shared_ptr<MenuItem>&, gfx::Point screenLocation)
{
    Shown shown { menu.title(), {}, {}, screenLocation };
    for (const auto& item : menu.itemArray()) {
        shown.itemTitles.push_back(item->title());
        shown.enabled.push_back(item->isEnabled());
    }
    m_shown.push_back(std::move(shown));
    if (m_answers.empty())
        return nullptr;
    const Answer answer = m_answers.front();
    m_answers.pop_front();

    std::shared_ptr<MenuItem> item;
    switch (answer.kind) {
    case Answer::Kind::Title:
        item = findItem(menu, [&](const MenuItem& i) { return i.title() == answer.title; });
        break;
    case Answer::Kind::Tag:
        item = findItem(menu, [&](const MenuItem& i) { return i.tag() == answer.number; });
        break;
    case Answer::Kind::Index:
        item = menu.itemAtIndex(answer.number);
        break;
    case Answer::Kind::Dismiss:
        break;
    }
    if (!item || item->isSeparatorItem() || !item->isEnabled() || item->hasSubmenu())
        return nullptr;
    return item;
}

}
