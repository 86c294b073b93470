#include "platform/ui/interface/InterfaceLocalization.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/ui/containers/Box.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/controls/Matrix.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Window.h"

#include <set>

namespace ui {

namespace {

class Localizer {
public:
    Localizer(const fnd::Bundle& bundle, const fnd::String& table)
        : m_bundle(bundle)
        , m_table(table)
    {
    }

    void object(const std::shared_ptr<fnd::Object>& object)
    {
        if (!object || !m_seen.insert(object.get()).second)
            return;
        if (auto window = std::dynamic_pointer_cast<Window>(object)) {
            window->setTitle(text(window->title()));
            this->object(window->contentView());
        } else if (auto menu = std::dynamic_pointer_cast<Menu>(object)) {
            this->menu(*menu);
        } else if (auto view = std::dynamic_pointer_cast<View>(object)) {
            this->view(*view);
        }
    }

private:
    fnd::String text(const fnd::String& key) const
    {
        return key.isEmpty() ? key : m_bundle.localizedStringForKey(key, key, m_table);
    }

    void menu(Menu& menu)
    {
        menu.setTitle(text(menu.title()));
        for (const auto& item : menu.itemArray()) {
            if (item->isSeparatorItem())
                continue;
            item->setTitle(text(item->title()));
            if (auto submenu = item->submenu(); submenu && m_seen.insert(submenu.get()).second)
                this->menu(*submenu);
        }
    }

    void view(View& view)
    {
        if (auto popUp = dynamic_cast<PopUpButton*>(&view)) {
            if (auto menu = popUp->menu(); menu && m_seen.insert(menu.get()).second)
                this->menu(*menu);
            popUp->synchronizeTitleAndSelectedItem();
        } else if (auto button = dynamic_cast<Button*>(&view)) {
            button->setTitle(text(button->title()));
            if (!button->alternateTitle().isEmpty())
                button->setAlternateTitle(text(button->alternateTitle()));
        } else if (auto matrix = dynamic_cast<Matrix*>(&view)) {
            for (const auto& cell : matrix->cells())
                cell->setTitle(text(cell->title()));
        } else if (auto field = dynamic_cast<TextField*>(&view)) {
            if (auto combo = dynamic_cast<ComboBox*>(field); combo && !combo->usesDataSource()) {
                std::vector<fnd::Value> items;
                for (const auto& item : combo->objectValues())
                    items.push_back(item.isString() ? fnd::Value(text(item.stringValue())) : item);
                combo->removeAllItems();
                combo->addItemsWithObjectValues(items);
            }
            if (field->objectValue().isString())
                field->setStringValue(text(field->stringValue()));
            field->setPlaceholderString(text(field->placeholderString()));
        } else if (auto box = dynamic_cast<Box*>(&view)) {
            box->setTitle(text(box->title()));
        }
        if (auto description = view.accessibilityDescription(); !description.isEmpty())
            view.setAccessibilityDescription(text(description));
        for (const auto& subview : view.subviews())
            object(subview);
    }

    const fnd::Bundle& m_bundle;
    fnd::String m_table;
    std::set<const void*> m_seen;
};

}

void localizeInterface(const InterfaceFile::Contents& contents, const fnd::Bundle& bundle, const fnd::String& table)
{
    Localizer localizer(bundle, table);
    for (const auto& object : contents.topLevelObjects)
        localizer.object(object);
    for (const auto& [id, object] : contents.objectsById)
        localizer.object(object);
}

}
