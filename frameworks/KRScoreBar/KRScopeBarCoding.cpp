#include "frameworks/KRScoreBar/KRScopeBar.h"

#include "frameworks/KRScoreBar/KRScopeBarArchiving.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/Gradient.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

// Keyed archive. Decoding goes through the setters; the defaults of initWithFrame are not applied.

namespace {

// Archives written so far carry this spelling; it must stay as it is for them to be read.
const fnd::String KRScopeBarOverflowCellKey = "KRScopeBar overfloPullDownCell";

fnd::Value krScopeBarCodingArchivable(const std::shared_ptr<fnd::Object>& object)
{
    if (object && dynamic_cast<const fnd::Coding*>(object.get()))
        return fnd::Value(object);
    return {};
}

}

void KRScopeBar::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeConditionalObject(krScopeBarCodingArchivable(delegate()), "KRScopeBar delegate");
    coder.encodeConditionalObject(krScopeBarCodingArchivable(dataSource()), "KRScopeBar dataSource");
    fnd::Array groups;
    for (const auto& group : this->groups())
        groups.push_back(fnd::Value(group));
    coder.encodeObject(fnd::Value(groups), "KRScopeBar groups");
    coder.encodeObject(m_buttonCell ? fnd::Value(m_buttonCell) : fnd::Value(), "KRScopeBar buttonCell");
    coder.encodeObject(m_popUpButtonCell ? fnd::Value(m_popUpButtonCell) : fnd::Value(), "KRScopeBar popUpButtonCell");
    coder.encodeObject(
        m_overflowPullDownCell ? fnd::Value(m_overflowPullDownCell) : fnd::Value(), KRScopeBarOverflowCellKey);
    coder.encodeInt64(static_cast<std::int64_t>(m_minimumButtonWidth), "KRScopeBar minimumButtonWidth");
    coder.encodeInt64(static_cast<std::int64_t>(m_minimumPopUpWidth), "KRScopeBar minimumPopUpWidth");
    coder.encodeInt64(static_cast<std::int64_t>(m_intercellSpacing), "KRScopeBar intercellSpacing");
    // A view that cannot archive itself is left out rather than failing the whole archive.
    if (m_accessoryView && !dynamic_cast<const fnd::Coding*>(m_accessoryView.get()))
        fnd::log(fnd::LogLevel::Warning,
            "KRScopeBar: the accessory view of class " + m_accessoryView->className() + " cannot be archived.");
    coder.encodeObject(krScopeBarCodingArchivable(m_accessoryView), "KRScopeBar accessoryView");
    coder.encodeObject(KRScopeBarArchiving::gradientToValue(m_backgroundGradient), "KRScopeBar backgroundGradient");
    coder.encodeObject(m_borderColor ? fnd::Value(m_borderColor) : fnd::Value(), "KRScopeBar borderColor");
    coder.encodeObject(m_separatorColor ? fnd::Value(m_separatorColor) : fnd::Value(), "KRScopeBar separatorColor");
    coder.encodeObject(m_labelColor ? fnd::Value(m_labelColor) : fnd::Value(), "KRScopeBar labelColor");
    coder.encodeBool(m_autoResizesGroups, "KRScopeBar autoResizesGroups");
    coder.encodeObject(krScopeBarCodingArchivable(m_formatter), "KRScopeBar formatter");
    coder.encodeBool(m_ibInitialized, "KRScopeBar ibInitialized");
}

bool KRScopeBar::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    setDelegate(coder.decodeObjectForKey("KRScopeBar delegate").object());
    setDataSource(coder.decodeObjectForKey("KRScopeBar dataSource").object());
    auto groups = coder.decodeObjectForKey("KRScopeBar groups");
    if (const auto* list = groups.array()) {
        // Only groups are taken (an archive is outside data; setGroups would raise on anything else).
        fnd::Array kept;
        for (const auto& element : *list) {
            if (element.objectAs<KRScopeBarGroup>())
                kept.push_back(element);
        }
        setGroups(kept);
    }
    if (auto cell = coder.decodeObjectForKey("KRScopeBar buttonCell").objectAs<ui::ButtonCell>())
        setButtonCell(cell);
    if (auto cell = coder.decodeObjectForKey("KRScopeBar popUpButtonCell").objectAs<ui::PopUpButtonCell>())
        setPopUpButtonCell(cell);
    if (auto cell = coder.decodeObjectForKey(KRScopeBarOverflowCellKey).objectAs<ui::PopUpButtonCell>()) {
        // Cells archive their items' titles, not their images; the pull-down's picture is a resource of ours.
        auto menu = cell->menu();
        if (!menu || menu->numberOfItems() == 0) {
            menu = ui::Menu::create("");
            menu->addItem(ui::MenuItem::create("", {}, ""));
            cell->setMenu(menu);
        }
        menu->setAutoenablesItems(false);
        if (!menu->itemAtIndex(0)->image())
            menu->itemAtIndex(0)->setImage(overflowImage());
        setOverflowPullDownCell(cell);
    }
    // Widths past anything a screen shows are damage; they would only overflow the layout's sums.
    auto width = [&](const char* key) {
        return static_cast<std::uint64_t>(std::clamp<std::int64_t>(coder.decodeInt64ForKey(key), 0, 100000));
    };
    setMinimumButtonWidth(width("KRScopeBar minimumButtonWidth"));
    setMinimumPopUpWidth(width("KRScopeBar minimumPopUpWidth"));
    setIntercellSpacing(width("KRScopeBar intercellSpacing"));
    if (auto formatter = coder.decodeObjectForKey("KRScopeBar formatter").objectAs<fnd::Formatter>())
        setFormatter(formatter);
    if (auto view = coder.decodeObjectForKey("KRScopeBar accessoryView").objectAs<ui::View>();
        view && view.get() != this)
        setAccessoryView(view);
    if (auto gradient
        = KRScopeBarArchiving::gradientFromValue(coder.decodeObjectForKey("KRScopeBar backgroundGradient")))
        setBackgroundGradient(gradient);
    if (auto color = coder.decodeObjectForKey("KRScopeBar borderColor").objectAs<gfx::Color>())
        setBorderColor(color);
    if (auto color = coder.decodeObjectForKey("KRScopeBar separatorColor").objectAs<gfx::Color>())
        setSeparatorColor(color);
    if (auto color = coder.decodeObjectForKey("KRScopeBar labelColor").objectAs<gfx::Color>())
        setLabelColor(color);
    setAutoResizesGroups(coder.decodeBoolForKey("KRScopeBar autoResizesGroups"));
    m_ibInitialized = coder.decodeBoolForKey("KRScopeBar ibInitialized");
    return !coder.hasFailed();
}
