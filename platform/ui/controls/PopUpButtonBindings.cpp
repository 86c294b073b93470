// The bindings of a pop-up button's items and choice; a part of PopUpButton.

#include "platform/ui/controls/PopUpButton.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/ui/controls/detail/BindingPlaceholders.h"
#include "platform/ui/menus/MenuItem.h"

namespace ui {

namespace {

fnd::String titleOf(const fnd::Value& value)
{
    return value.isNil() || value.isNull() ? fnd::String() : value.description();
}

fnd::Array arrayOf(const fnd::Value& value)
{
    if (auto* array = value.array())
        return *array;
    return {};
}

bool sameElement(const fnd::Value& a, const fnd::Value& b)
{
    if (a.isObject() && b.isObject())
        return a.object() == b.object();
    return a == b;
}

}

void PopUpButton::takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options)
{
    if (binding == fnd::BindingName::Content) {
        m_bound.hasContent = true;
        m_bound.content = arrayOf(value);
        rebuildBoundItems();
    } else if (binding == fnd::BindingName::ContentObjects) {
        m_bound.objects = arrayOf(value);
        rebuildBoundItems();
    } else if (binding == fnd::BindingName::ContentValues) {
        m_bound.values = arrayOf(value);
        rebuildBoundItems();
    } else if (binding == fnd::BindingName::SelectedIndex || binding == fnd::BindingName::SelectedObject) {
        m_bound.selectionBinding = binding;
        m_bound.selection = value;
        std::optional<fnd::String> title;
        if (auto marker = fnd::selectionMarkerKind(value)) {
            auto placeholder = fnd::placeholderForBoundValue(value, options);
            title = placeholder ? titleOf(*placeholder) : detail::defaultPlaceholder(*marker);
        }
        if (title != m_bound.placeholderTitle) {
            m_bound.placeholderTitle = title;
            rebuildBoundItems();
        } else {
            showBoundSelection();
        }
    } else {
        Button::takeBoundValue(value, binding, options);
    }
}

void PopUpButton::rebuildBoundItems()
{
    const bool fromBindings = m_bound.hasContent || m_bound.objects || m_bound.values;
    if (!fromBindings || !menu()) {
        showBoundSelection();
        return;
    }
    const std::size_t count = boundItemCount();
    removeAllItems();
    auto m = menu();
    if (m_bound.placeholderTitle)
        m->addItem(MenuItem::create(*m_bound.placeholderTitle));
    for (std::size_t i = 0; i < count; ++i) {
        fnd::String title;
        if (m_bound.values && i < m_bound.values->size())
            title = titleOf((*m_bound.values)[i]);
        else if (m_bound.hasContent)
            title = titleOf(m_bound.content[i]);
        auto item = MenuItem::create(title);
        if (m_bound.objects && i < m_bound.objects->size())
            item->setRepresentedObject((*m_bound.objects)[i]);
        else if (m_bound.hasContent)
            item->setRepresentedObject(m_bound.content[i]);
        m->addItem(item);
    }
    showBoundSelection();
}

std::size_t PopUpButton::boundItemCount() const
{
    return m_bound.hasContent ? m_bound.content.size()
        : m_bound.values      ? m_bound.values->size()
        : m_bound.objects     ? m_bound.objects->size()
                              : 0;
}

void PopUpButton::showBoundSelection()
{
    const long offset = m_bound.placeholderTitle ? 1 : 0;
    if (m_bound.placeholderTitle) {
        selectItemAtIndex(0);
    } else if (m_bound.selectionBinding == fnd::BindingName::SelectedIndex) {
        const auto& v = m_bound.selection;
        long index = v.isNumber() ? static_cast<long>(v.integerValue()) : -1;
        selectItemAtIndex(index >= 0 && index < numberOfItems() - offset ? index + offset : -1);
    } else if (m_bound.selectionBinding == fnd::BindingName::SelectedObject) {
        long found = -1;
        const auto& items = itemArray();
        for (std::size_t i = static_cast<std::size_t>(offset); i < items.size() && found < 0; ++i) {
            if (!m_bound.selection.isNil() && sameElement(items[i]->representedObject(), m_bound.selection))
                found = static_cast<long>(i);
        }
        selectItemAtIndex(found);
    } else if (numberOfItems() > 0 && !pullsDown()) {
        selectItemAtIndex(0);
    }
    setNeedsDisplay(true);
}

void PopUpButton::unbind(const fnd::String& binding)
{
    Button::unbind(binding);
    if (binding == m_bound.selectionBinding) {
        m_bound.selectionBinding = {};
        m_bound.selection = {};
        if (m_bound.placeholderTitle) {
            m_bound.placeholderTitle.reset();
            rebuildBoundItems();
        }
    } else if (binding == fnd::BindingName::Content) {
        m_bound.hasContent = false;
        m_bound.content.clear();
    } else if (binding == fnd::BindingName::ContentObjects) {
        m_bound.objects.reset();
    } else if (binding == fnd::BindingName::ContentValues) {
        m_bound.values.reset();
    }
}

void PopUpButton::pushBoundValues()
{
    Button::pushBoundValues();
    if (m_bound.selectionBinding.isEmpty())
        return;
    long index = indexOfSelectedItem();
    // The placeholder item stands for no choice of the user's.
    if (index < 0 || (m_bound.placeholderTitle && index == 0))
        return;
    const long contentIndex = index - (m_bound.placeholderTitle ? 1 : 0);
    // An item added besides the bound content (a title set by hand) stands for nothing in it.
    const bool fromBindings = m_bound.hasContent || m_bound.objects || m_bound.values;
    if (fromBindings && static_cast<std::size_t>(contentIndex) >= boundItemCount())
        return;
    if (m_bound.selectionBinding == fnd::BindingName::SelectedIndex)
        (void)fnd::writeBackBindingValue(*this, fnd::BindingName::SelectedIndex, fnd::Value(contentIndex));
    else if (auto item = itemAtIndex(index))
        (void)fnd::writeBackBindingValue(*this, fnd::BindingName::SelectedObject, item->representedObject());
}

}
