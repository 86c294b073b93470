#include "frameworks/KRScoreBar/KRScopeBar.h"

#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/graphics/Gradient.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

// Keyed archive, after the control's own data. Decoding goes through the setters, over the defaults initWithFrame
// set (a key an archive lacks keeps its default).

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
    ui::Control::encodeWithCoder(coder);
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
    coder.encodeObject(krScopeBarCodingArchivable(m_accessoryView), "KRScopeBar accessoryView");
    coder.encodeObject(krScopeBarCodingArchivable(m_backgroundGradient), "KRScopeBar backgroundGradient");
    coder.encodeObject(m_borderColor ? fnd::Value(m_borderColor) : fnd::Value(), "KRScopeBar borderColor");
    coder.encodeObject(m_separatorColor ? fnd::Value(m_separatorColor) : fnd::Value(), "KRScopeBar separatorColor");
    coder.encodeObject(m_labelColor ? fnd::Value(m_labelColor) : fnd::Value(), "KRScopeBar labelColor");
    coder.encodeBool(m_autoResizesGroups, "KRScopeBar autoResizesGroups");
    coder.encodeObject(krScopeBarCodingArchivable(m_formatter), "KRScopeBar formatter");
    coder.encodeBool(m_ibInitialized, "KRScopeBar ibInitialized");
}

bool KRScopeBar::initWithCoder(fnd::Coder& coder)
{
    if (!ui::Control::initWithCoder(coder) || !coder.allowsKeyedCoding())
        return false;
    // Every object is checked for its kind: an archive is outside data.
    auto delegateObject = coder.decodeObjectForKey("KRScopeBar delegate").object();
    auto dataSourceObject = coder.decodeObjectForKey("KRScopeBar dataSource").object();
    auto groups = fnd::decodeArrayOfClass<KRScopeBarGroup>(coder, "KRScopeBar groups", 10000);
    auto buttonCell = fnd::decodeObjectOfClass<ui::ButtonCell>(coder, "KRScopeBar buttonCell");
    auto popUpCell = fnd::decodeObjectOfClass<ui::PopUpButtonCell>(coder, "KRScopeBar popUpButtonCell");
    auto overflowCell = fnd::decodeObjectOfClass<ui::PopUpButtonCell>(coder, KRScopeBarOverflowCellKey);
    // Widths past anything a screen shows are damage; they would only overflow the layout's sums.
    auto width = [&](const char* key, std::uint64_t fallback) {
        return static_cast<std::uint64_t>(
            fnd::decodeBoundedIntegerForKey(coder, key, 0, LargestWidth, static_cast<std::int64_t>(fallback)));
    };
    auto minimumButtonWidth = width("KRScopeBar minimumButtonWidth", m_minimumButtonWidth);
    auto minimumPopUpWidth = width("KRScopeBar minimumPopUpWidth", m_minimumPopUpWidth);
    auto intercellSpacing = width("KRScopeBar intercellSpacing", m_intercellSpacing);
    auto formatter = fnd::decodeObjectOfClass<fnd::Formatter>(coder, "KRScopeBar formatter");
    auto accessory = decodeSubviewForKey<ui::View>(coder, "KRScopeBar accessoryView");
    auto gradient = fnd::decodeObjectOfClass<gfx::Gradient>(coder, "KRScopeBar backgroundGradient");
    auto borderColor = fnd::decodeObjectOfClass<gfx::Color>(coder, "KRScopeBar borderColor");
    auto separatorColor = fnd::decodeObjectOfClass<gfx::Color>(coder, "KRScopeBar separatorColor");
    auto labelColor = fnd::decodeObjectOfClass<gfx::Color>(coder, "KRScopeBar labelColor");
    bool autoResizesGroups = !coder.containsValueForKey("KRScopeBar autoResizesGroups")
        || coder.decodeBoolForKey("KRScopeBar autoResizesGroups");
    bool ibInitialized = coder.decodeBoolForKey("KRScopeBar ibInitialized");
    if (coder.hasFailed())
        return false;

    setDelegate(delegateObject);
    setDataSource(dataSourceObject);
    fnd::Array kept;
    for (const auto& group : groups)
        kept.emplace_back(group);
    setGroups(kept);
    if (buttonCell)
        setButtonCell(buttonCell);
    if (popUpCell)
        setPopUpButtonCell(popUpCell);
    if (overflowCell) {
        // The pull-down's first item is the picture the bar shows; an archive without it gets ours.
        auto menu = overflowCell->menu();
        if (!menu || menu->numberOfItems() == 0) {
            menu = ui::Menu::create("");
            menu->addItem(ui::MenuItem::create("", {}, ""));
            overflowCell->setMenu(menu);
        }
        menu->setAutoenablesItems(false);
        if (!menu->itemAtIndex(0)->image())
            menu->itemAtIndex(0)->setImage(overflowImage());
        setOverflowPullDownCell(overflowCell);
    }
    setMinimumButtonWidth(minimumButtonWidth);
    setMinimumPopUpWidth(minimumPopUpWidth);
    setIntercellSpacing(intercellSpacing);
    if (formatter)
        setFormatter(formatter);
    if (accessory)
        setAccessoryView(accessory);
    if (gradient)
        setBackgroundGradient(gradient);
    if (borderColor)
        setBorderColor(borderColor);
    if (separatorColor)
        setSeparatorColor(separatorColor);
    if (labelColor)
        setLabelColor(labelColor);
    setAutoResizesGroups(autoResizesGroups);
    m_ibInitialized = ibInitialized;
    return true;
}
