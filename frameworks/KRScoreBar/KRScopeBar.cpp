#include "frameworks/KRScoreBar/KRScopeBar.h"

#include "frameworks/KRScoreBar/KRButtonCell.h"
#include "frameworks/KRScoreBar/KROverflowPullDownCell.h"
#include "frameworks/KRScoreBar/KRPopUpButtonCell.h"
#include "frameworks/KRScoreBar/KRScopeBarBundle.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Outlet.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/Image.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(KRScopeBar, ui::Control)

namespace {

[[noreturn]] void krScopeBarRaise(const fnd::String& name, const char* reason)
{
    throw fnd::Exception(name, reason);
}

fnd::String krScopeBarTitleOf(const fnd::Value& value, const std::shared_ptr<fnd::Formatter>& formatter)
{
    if (formatter) {
        if (auto text = formatter->stringForObjectValue(value))
            return *text;
    }
    if (value.isNil())
        return {};
    if (const auto* s = value.string())
        return *s;
    return value.description();
}

}

std::shared_ptr<gfx::Image> KRScopeBar::overflowImage()
{
    // Read once: every bar shows the same picture.
    static const auto image = [] { return loadOverflowImage(); }();
    return image;
}

std::shared_ptr<gfx::Image> KRScopeBar::loadOverflowImage()
{
    auto bundle = KRScopeBarBundle::bundle();
    auto path = bundle ? bundle->pathForResource("overflowImage", "tiff") : std::nullopt;
    if (!path) {
        fnd::log(fnd::LogLevel::Error, "KRScopeBar: the resource overflowImage.tiff is missing.");
        return nullptr;
    }
    auto image = gfx::Image::imageWithContentsOfFile(*path);
    if (!image) {
        fnd::log(fnd::LogLevel::Error,
            "KRScopeBar: overflowImage.tiff cannot be read: " + image.error().localizedDescription());
        return nullptr;
    }
    return *image;
}

void KRScopeBar::describeClass(fnd::ClassBuilder<KRScopeBar>& c)
{
    c.property("groups", [](const KRScopeBar& bar) {
        fnd::Array groups;
        for (const auto& group : bar.groups())
            groups.push_back(fnd::Value(group));
        return groups;
    });
    c.property("numberOfGroups", &KRScopeBar::numberOfGroups);
    // Interface files connect these as outlets and add groups (each with its label) as children.
    c.property("delegate", &KRScopeBar::delegate, &KRScopeBar::setDelegate);
    c.property("dataSource", &KRScopeBar::dataSource, [](KRScopeBar& bar, const std::shared_ptr<fnd::Object>& object) {
        fnd::outletOfKind<KRScopeBarDataSource>(object, "scope bar data source");
        bar.setDataSource(object);
    });
    c.action(
        "addGroup:", static_cast<void (KRScopeBar::*)(const std::shared_ptr<KRScopeBarGroup>&)>(&KRScopeBar::addGroup));
    c.keyPathsAffecting("numberOfGroups", { "groups" });
    c.property("minimumButtonWidth", &KRScopeBar::minimumButtonWidth, &KRScopeBar::setMinimumButtonWidth);
    c.property("minimumPopUpWidth", &KRScopeBar::minimumPopUpWidth, &KRScopeBar::setMinimumPopUpWidth);
    c.property("intercellSpacing", &KRScopeBar::intercellSpacing, &KRScopeBar::setIntercellSpacing);
    c.property("autoResizesGroups", &KRScopeBar::autoResizesGroups, &KRScopeBar::setAutoResizesGroups);
    c.property("ibInitialized", &KRScopeBar::ibInitialized, &KRScopeBar::setIbInitialized);
    c.property("overflowPullDownRect_", &KRScopeBar::overflowPullDownRect);
    // Groups and tracking areas are rebuilt in one layout: both keys read whether it is due.
    c.property("groupsNeedUpdate_", [](const KRScopeBar& bar) { return bar.needsLayout(); });
    c.property("trackingAreasNeedUpdate_", [](const KRScopeBar& bar) { return bar.needsLayout(); });
    c.property("delegateImplementsShouldExpand_", &KRScopeBar::delegateImplementsShouldExpand_);
    c.property("delegateImplementsShouldCollapse_", &KRScopeBar::delegateImplementsShouldCollapse_);
    c.action("overflowPullDownItemSelected:", &KRScopeBar::overflowPullDownItemSelected);
}

std::uint64_t KRScopeBar::sideMargin()
{
    static const auto margin
        = static_cast<std::uint64_t>(std::trunc(gfx::Font::systemFontSizeForControlSize(gfx::ControlSize::Small)));
    return margin;
}

KRScopeBar::~KRScopeBar()
{
    if (m_delegateRegistered) {
        if (auto delegate = m_delegate.lock())
            fnd::NotificationCenter::defaultCenter().removeObserver(
                *delegate, KRScopeBarSelectionDidChangeNotification);
    }
    for (const auto& helper : m_groups) {
        if (helper->group())
            helper->group()->setScopeBar(nullptr);
    }
}

std::shared_ptr<KRScopeBar> KRScopeBar::create(gfx::Rect frame)
{
    return ui::makeView<KRScopeBar>(frame);
}

void KRScopeBar::initWithFrame(gfx::Rect frame)
{
    ui::Control::initWithFrame(frame);
    m_minimumButtonWidth = 70;
    m_minimumPopUpWidth = 70;
    m_autoResizesGroups = true;
    m_intercellSpacing = 5;
    m_backgroundGradient = gfx::Gradient::gradientWithStartingColor(
        *gfx::Color::colorWithCalibratedWhite(0.8, 1), *gfx::Color::colorWithCalibratedWhite(0.94, 1));
    m_borderColor = gfx::Color::colorWithCalibratedWhite(0.6);
    m_separatorColor = gfx::Color::colorWithCalibratedWhite(0.46);
    m_labelColor = gfx::Color::colorWithCalibratedWhite(0.46);

    auto button = fnd::makeObject<KRButtonCell>();
    button->initTextCell("");
    button->setBezelStyle(ui::BezelStyle::Recessed);
    button->setButtonType(ui::ButtonType::PushOnPushOff);
    button->setControlSize(ui::ControlSize::Small);
    button->setFont(gfx::Font::boldSystemFontOfSize(12.0));
    button->setShowsBorderOnlyWhileMouseInside(true);
    button->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
    button->setState(ui::ControlStateValue::Off);
    button->setImagePosition(ui::CellImagePosition::ImageLeft);
    m_buttonCell = button;

    auto popUp = fnd::makeObject<KRPopUpButtonCell>();
    popUp->initTextCell("", false);
    popUp->setBezelStyle(ui::BezelStyle::Recessed);
    popUp->setButtonType(ui::ButtonType::PushOnPushOff);
    popUp->setArrowPosition(ui::PopUpArrowPosition::ArrowAtBottom);
    popUp->setControlSize(ui::ControlSize::Small);
    popUp->setFont(gfx::Font::boldSystemFontOfSize(12.0));
    popUp->setShowsBorderOnlyWhileMouseInside(true);
    popUp->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
    popUp->setImagePosition(ui::CellImagePosition::ImageLeft);
    setPopUpButtonCell(popUp);

    auto overflow = fnd::makeObject<KROverflowPullDownCell>();
    overflow->initTextCell("", true);
    auto menu = ui::Menu::create("");
    menu->setAutoenablesItems(false);
    auto imageItem = ui::MenuItem::create("", {}, "");
    imageItem->setImage(overflowImage());
    menu->addItem(imageItem);
    overflow->setMenu(menu);
    setOverflowPullDownCell(overflow);
    setNeedsLayout();
}

// Delegate and data source.

void KRScopeBar::registerDelegateForNotification(bool add)
{
    auto delegate = m_delegate.lock();
    if (!delegate)
        return;
    auto& center = fnd::NotificationCenter::defaultCenter();
    if (add && !m_delegateRegistered && delegate->respondsTo(KRScopeBarDelegateSelectors::SelectionDidChange)) {
        center.addObserver(
            *delegate, KRScopeBarDelegateSelectors::SelectionDidChange, KRScopeBarSelectionDidChangeNotification);
        m_delegateRegistered = true;
    } else if (!add && m_delegateRegistered) {
        center.removeObserver(*delegate, KRScopeBarSelectionDidChangeNotification);
        m_delegateRegistered = false;
    }
}

void KRScopeBar::setDelegate(const std::shared_ptr<fnd::Object>& delegate)
{
    if (m_delegate.lock() == delegate)
        return;
    registerDelegateForNotification(false);
    m_delegateRegistered = false;
    m_delegate = delegate;
    registerDelegateForNotification(true);
    m_delegateImplementsShouldSelect
        = delegate && delegate->respondsTo(KRScopeBarDelegateSelectors::ShouldSelectObject);
    m_delegateImplementsShouldCollapse
        = delegate && delegate->respondsTo(KRScopeBarDelegateSelectors::ShouldCollapseGroup);
    m_delegateImplementsShouldExpand = delegate && delegate->respondsTo(KRScopeBarDelegateSelectors::ShouldExpandGroup);
}

void KRScopeBar::viewWillMoveToSuperview(ui::View* superview)
{
    ui::Control::viewWillMoveToSuperview(superview);
    if (!superview)
        registerDelegateForNotification(false);
}

void KRScopeBar::setDataSource(const std::shared_ptr<fnd::Object>& dataSource)
{
    m_dataSource = dataSource;
    invalidateCellMetrics();
}

void KRScopeBar::invalidateCellMetrics()
{
    for (const auto& helper : m_groups)
        helper->invalidateCellMetrics();
    adjustSubviews();
}

KRScopeBarDataSource* KRScopeBar::dataSourceInterface() const
{
    auto dataSource = m_dataSource.lock();
    // The owner of the data source outlives the call: the bar does not keep it, its owner does.
    return dynamic_cast<KRScopeBarDataSource*>(dataSource.get());
}

bool KRScopeBar::delegateShouldSelectObject(const fnd::Value& object)
{
    auto delegate = m_delegate.lock();
    if (!m_delegateImplementsShouldSelect || !delegate)
        return true;
    return delegate->perform(KRScopeBarDelegateSelectors::ShouldSelectObject, selfValue(), object).boolValue();
}

bool KRScopeBar::delegateShouldCollapseGroup(KRScopeBarGroup& group)
{
    auto delegate = m_delegate.lock();
    if (!m_delegateImplementsShouldCollapse || !delegate)
        return true;
    return delegate->perform(KRScopeBarDelegateSelectors::ShouldCollapseGroup, selfValue(), group.selfValue())
        .boolValue();
}

bool KRScopeBar::delegateShouldExpandGroup(KRScopeBarGroup& group)
{
    auto delegate = m_delegate.lock();
    if (!m_delegateImplementsShouldExpand || !delegate)
        return true;
    return delegate->perform(KRScopeBarDelegateSelectors::ShouldExpandGroup, selfValue(), group.selfValue())
        .boolValue();
}

// Groups.

std::vector<std::shared_ptr<KRScopeBarGroup>> KRScopeBar::groups() const
{
    std::vector<std::shared_ptr<KRScopeBarGroup>> groups;
    groups.reserve(m_groups.size());
    for (const auto& helper : m_groups)
        groups.push_back(helper->group());
    return groups;
}

void KRScopeBar::checkGroupIndex(std::uint64_t index, const char* reason) const
{
    if (index >= m_groups.size())
        krScopeBarRaise(fnd::ExceptionName::Range, reason);
}

std::shared_ptr<KRScopeBarGroup> KRScopeBar::addGroup()
{
    auto group = fnd::makeObject<KRScopeBarGroup>();
    if (m_groups.empty())
        group->setShowsSeparator(false);
    addGroup(group);
    return group;
}

void KRScopeBar::addGroup(const std::shared_ptr<KRScopeBarGroup>& group)
{
    insertGroup(group, m_groups.size());
}

void KRScopeBar::insertGroup(const std::shared_ptr<KRScopeBarGroup>& group, std::uint64_t index)
{
    if (index > m_groups.size())
        krScopeBarRaise(fnd::ExceptionName::Range, "KRScopeBar:insertGroup:atIndex: groupIndex invalid");
    if (!group)
        krScopeBarRaise(fnd::ExceptionName::InvalidArgument, "KRScopeBar:insertGroup:atIndex: group is nil");
    willChangeValueForKey("groups");
    group->setScopeBar(selfPointer());
    m_groups.insert(
        m_groups.begin() + static_cast<std::ptrdiff_t>(index), KRScopeBarGroupHelper::create(group, selfPointer()));
    m_groupIndexesValid = false;
    didChangeValueForKey("groups");
    groupsDidChange(index, m_groups.size());
}

void KRScopeBar::groupsDidChange(std::uint64_t first, std::uint64_t last)
{
    m_groupIndexesValid = false;
    // The data source answers by group index, which has moved for these groups.
    for (auto i = first; i <= last && i < m_groups.size(); ++i)
        m_groups[i]->invalidateCellMetrics();
    adjustSubviews();
    ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::ChildrenChanged);
}

void KRScopeBar::removeGroup(const std::shared_ptr<KRScopeBarGroup>& group)
{
    if (!group)
        return;
    auto index = indexOfGroup(*group);
    if (index != fnd::NotFound)
        removeGroupAtIndex(static_cast<std::uint64_t>(index));
}

void KRScopeBar::removeGroupAtIndex(std::uint64_t index)
{
    checkGroupIndex(index, "KRScopeBar:removeGroup:atIndex: groupIndex invalid");
    auto helper = m_groups[index];
    if (m_trackingGroup.lock() == helper)
        m_trackingGroup.reset();
    willChangeValueForKey("groups");
    helper->group()->setScopeBar(nullptr);
    m_groups.erase(m_groups.begin() + static_cast<std::ptrdiff_t>(index));
    m_groupIndexesValid = false;
    didChangeValueForKey("groups");
    groupsDidChange(index, m_groups.size());
}

void KRScopeBar::setGroups(const fnd::Array& groups)
{
    // Checked before anything changes, so a bad element leaves the bar as it was.
    std::vector<std::shared_ptr<KRScopeBarGroup>> incoming;
    incoming.reserve(groups.size());
    for (const auto& element : groups) {
        auto group = element.objectAs<KRScopeBarGroup>();
        if (!group)
            krScopeBarRaise(fnd::ExceptionName::InvalidArgument,
                "KRScopeBar:setGroups: element in array not of class KRScopeBarGroup");
        incoming.push_back(std::move(group));
    }
    willChangeValueForKey("groups");
    for (const auto& helper : m_groups)
        helper->group()->setScopeBar(nullptr);
    m_groups.clear();
    m_groupIndexesValid = false;
    m_trackingGroup.reset();
    didChangeValueForKey("groups");
    for (const auto& group : incoming)
        addGroup(group);
}

void KRScopeBar::moveGroupWithIndex(std::uint64_t originalIndex, std::uint64_t destinationIndex)
{
    checkGroupIndex(originalIndex, "KRScopeBar:moveGroupWithIndex:toIndex: originalIndex invalid");
    checkGroupIndex(destinationIndex, "KRScopeBar:moveGroupWithIndex:toIndex: destinationIndex invalid");
    willChangeValueForKey("groups");
    auto helper = m_groups[originalIndex];
    m_groups.erase(m_groups.begin() + static_cast<std::ptrdiff_t>(originalIndex));
    m_groups.insert(m_groups.begin() + static_cast<std::ptrdiff_t>(destinationIndex), helper);
    m_groupIndexesValid = false;
    didChangeValueForKey("groups");
    groupsDidChange(std::min(originalIndex, destinationIndex), std::max(originalIndex, destinationIndex));
}

std::shared_ptr<KRScopeBarGroup> KRScopeBar::groupAtIndex(std::uint64_t index) const
{
    checkGroupIndex(index, "KRScopeBar:groupAtIndex: groupIndex invalid");
    return m_groups[index]->group();
}

fnd::Index KRScopeBar::indexOfGroup(const KRScopeBarGroup& group) const
{
    constexpr std::size_t ScannedGroups = 8;
    if (m_groups.size() <= ScannedGroups) {
        for (std::size_t i = 0; i < m_groups.size(); ++i) {
            if (m_groups[i]->group().get() == &group)
                return static_cast<fnd::Index>(i);
        }
        return fnd::NotFound;
    }
    if (!m_groupIndexesValid) {
        m_groupIndexes.clear();
        m_groupIndexes.reserve(m_groups.size());
        // The first place of a group wins, as a scan from the front finds it.
        for (std::size_t i = 0; i < m_groups.size(); ++i)
            m_groupIndexes.emplace(m_groups[i]->group().get(), static_cast<fnd::Index>(i));
        m_groupIndexesValid = true;
    }
    auto found = m_groupIndexes.find(&group);
    return found == m_groupIndexes.end() ? fnd::NotFound : found->second;
}

std::shared_ptr<KRScopeBarGroup> KRScopeBar::groupWithIdentifier(const fnd::String& identifier) const
{
    for (const auto& helper : m_groups) {
        const auto& id = helper->group()->identifier();
        if (id && *id == identifier)
            return helper->group();
    }
    return nullptr;
}

// Reloading.

void KRScopeBar::updateGroup(std::uint64_t index)
{
    m_groups[index]->invalidateCellMetrics();
    m_groups[index]->updateGroupDimensions();
    resetSelectionForGroup_(index);
}

void KRScopeBar::reloadData()
{
    for (std::uint64_t i = 0; i < m_groups.size(); ++i)
        updateGroup(i);
    adjustSubviews();
}

void KRScopeBar::reloadDataForGroup(std::uint64_t index)
{
    checkGroupIndex(index, "KRScopeBar:reloadDataForGroup: groupIndex invalid");
    updateGroup(index);
    adjustSubviews();
}

void KRScopeBar::adjustSubviews()
{
    setNeedsLayout();
}

void KRScopeBar::resizeWithOldSuperviewSize(gfx::Size oldSize)
{
    ui::Control::resizeWithOldSuperviewSize(oldSize);
    setNeedsLayout();
}

void KRScopeBar::resetSelectionForGroup_(std::uint64_t index)
{
    auto group = m_groups[index]->group();
    if (group->groupSelectionStyle() != KRScopeBarGroupSelectionStyleRadio)
        return;
    const auto& selection = group->selectionIndexes();
    if (selection.count() == 1)
        return;
    if (selection.count() > 1) {
        group->setSelectionIndexes(fnd::IndexSet(selection.firstIndex()));
        return;
    }
    const auto count = group->numberOfObjects();
    for (std::uint64_t i = 0; i < count; ++i) {
        if (delegateShouldSelectObject(group->objectAtIndex(i))) {
            group->setSelectionIndexes(fnd::IndexSet(static_cast<fnd::Index>(i)));
            return;
        }
    }
}

// Settings.

void KRScopeBar::setMinimumButtonWidth(std::uint64_t width)
{
    m_minimumButtonWidth = std::min(width, LargestWidth);
    reloadData();
}

void KRScopeBar::setMinimumPopUpWidth(std::uint64_t width)
{
    m_minimumPopUpWidth = std::min(width, LargestWidth);
    reloadData();
}

void KRScopeBar::setIntercellSpacing(std::uint64_t spacing)
{
    m_intercellSpacing = std::min(spacing, LargestWidth);
    reloadData();
}

void KRScopeBar::setAutoResizesGroups(bool flag)
{
    if (m_autoResizesGroups == flag)
        return;
    m_autoResizesGroups = flag;
    adjustSubviews();
}

void KRScopeBar::setFormatter(const std::shared_ptr<fnd::Formatter>& formatter)
{
    if (m_formatter == formatter)
        return;
    m_formatter = formatter;
    reloadData();
}

void KRScopeBar::setAccessoryView(const std::shared_ptr<ui::View>& view)
{
    if (m_accessoryView == view)
        return;
    auto subviews = this->subviews();
    for (const auto& subview : subviews)
        subview->removeFromSuperview();
    m_accessoryView = view;
    if (view)
        addSubview(view);
    adjustSubviews();
}

void KRScopeBar::setBackgroundGradient(const std::shared_ptr<gfx::Gradient>& gradient)
{
    if (m_backgroundGradient == gradient
        || (m_backgroundGradient && gradient && m_backgroundGradient->isEqual(*gradient)))
        return;
    m_backgroundGradient = gradient;
    adjustSubviews();
}

gfx::ColorPtr KRScopeBar::backgroundTopColor() const
{
    return m_backgroundGradient ? m_backgroundGradient->interpolatedColorAtLocation(1.0) : nullptr;
}

gfx::ColorPtr KRScopeBar::backgroundBottomColor() const
{
    return m_backgroundGradient ? m_backgroundGradient->interpolatedColorAtLocation(0.0) : nullptr;
}

void KRScopeBar::setBackgroundTopColor(const gfx::ColorPtr& color)
{
    auto bottom = backgroundBottomColor();
    if (!color || !bottom)
        return;
    setBackgroundGradient(gfx::Gradient::gradientWithStartingColor(*bottom, *color));
}

void KRScopeBar::setBackgroundBottomColor(const gfx::ColorPtr& color)
{
    auto top = backgroundTopColor();
    if (!color || !top)
        return;
    setBackgroundGradient(gfx::Gradient::gradientWithStartingColor(*color, *top));
}

// Cells.

std::shared_ptr<ui::ButtonCell> KRScopeBar::buttonCell() const
{
    return m_buttonCell ? std::static_pointer_cast<ui::ButtonCell>(m_buttonCell->copy()) : nullptr;
}

void KRScopeBar::setButtonCell(const std::shared_ptr<ui::ButtonCell>& cell)
{
    if (m_buttonCell == cell)
        return;
    m_buttonCell = cell ? std::static_pointer_cast<ui::ButtonCell>(cell->copy()) : nullptr;
    invalidateCellMetrics();
}

std::shared_ptr<ui::PopUpButtonCell> KRScopeBar::popUpButtonCell() const
{
    return m_popUpButtonCell ? std::static_pointer_cast<ui::PopUpButtonCell>(m_popUpButtonCell->copy()) : nullptr;
}

void KRScopeBar::setPopUpButtonCell(const std::shared_ptr<ui::PopUpButtonCell>& cell)
{
    if (!cell) {
        m_popUpButtonCell = nullptr;
        return;
    }
    auto copy = std::static_pointer_cast<ui::PopUpButtonCell>(cell->copy());
    copy->setUsesItemFromMenu(false);
    copy->setAltersStateOfSelectedItem(false);
    copy->setAction(fnd::Selector("popUpMenuItemSelected:"));
    copy->setAutoenablesItems(false);
    m_popUpButtonCell = copy;
    invalidateCellMetrics();
}

void KRScopeBar::setOverflowPullDownCell(const std::shared_ptr<ui::PopUpButtonCell>& cell)
{
    if (!cell) {
        m_overflowPullDownCell = nullptr;
        return;
    }
    auto copy = std::static_pointer_cast<ui::PopUpButtonCell>(cell->copy());
    copy->setTarget(selfPointer());
    copy->setAction(fnd::Selector("overflowPullDownItemSelected:"));
    copy->setAutoenablesItems(false);
    copy->setAltersStateOfSelectedItem(false);
    copy->setUsesItemFromMenu(true);
    m_overflowPullDownCell = copy;
}

std::shared_ptr<ui::ButtonCell> KRScopeBar::preparedButtonCellForGroup(
    std::uint64_t groupIndex, std::uint64_t objectIndex)
{
    checkGroupIndex(groupIndex, "KRScopeBar:preparedButtonCellForGroup:object: groupIndex invalid");
    auto group = m_groups[groupIndex]->group();
    if (objectIndex >= group->numberOfObjects())
        krScopeBarRaise(fnd::ExceptionName::Range, "KRScopeBar:preparedButtonCellForGroup:object: objectIndex invalid");
    auto* dataSource = dataSourceInterface();
    const bool bound = group->usesBindings();
    if (!bound && !dataSource)
        return nullptr;
    auto cell = buttonCell();
    if (!cell) {
        // A bar decoded without a button cell still shows its items.
        cell = fnd::makeObject<KRButtonCell>();
        cell->initTextCell("");
    }
    std::shared_ptr<gfx::Image> image;
    fnd::String title;
    if (bound) {
        title = krScopeBarTitleOf(group->objectAtIndex(objectIndex), m_formatter);
        if (auto value = group->boundElement(fnd::BindingName::ContentValues, objectIndex))
            title = krScopeBarTitleOf(*value, nullptr);
        if (auto value = group->boundElement("image", objectIndex))
            image = value->objectAs<gfx::Image>();
    } else {
        title
            = krScopeBarTitleOf(dataSource->scopeBarValueForObjectInGroup(*this, groupIndex, objectIndex), m_formatter);
        if (auto answer = dataSource->scopeBarImageForObjectInGroup(*this, groupIndex, objectIndex))
            image = *answer;
    }
    cell->setTitle(title);
    cell->setImage(image);
    cell->setState(group->selectionIndexes().contains(static_cast<fnd::Index>(objectIndex))
            ? ui::ControlStateValue::On
            : ui::ControlStateValue::Off);
    return cell;
}

std::shared_ptr<ui::PopUpButtonCell> KRScopeBar::preparedPopUpCellForGroup(std::uint64_t groupIndex)
{
    checkGroupIndex(groupIndex, "KRScopeBar:preparedPopUpCellForGroup: groupIndex invalid");
    auto group = m_groups[groupIndex]->group();
    auto cell = popUpButtonCell();
    if (!cell) {
        auto fresh = fnd::makeObject<KRPopUpButtonCell>();
        fresh->initTextCell("", false);
        fresh->setUsesItemFromMenu(false);
        cell = fresh;
    }
    auto item = ui::MenuItem::create("", {}, "");
    item->setState(ui::ControlStateValue::On);
    const auto& selection = group->selectionIndexes();
    fnd::String title;
    std::shared_ptr<gfx::Image> image;
    if (selection.count() >= 2) {
        title = group->multipleSelectionPlaceholder();
        cell->setShowsBorderOnlyWhileMouseInside(false);
    } else if (selection.isEmpty()) {
        title = group->noSelectionPlaceholder();
        cell->setShowsBorderOnlyWhileMouseInside(true);
    } else {
        cell->setShowsBorderOnlyWhileMouseInside(false);
        auto index = static_cast<std::uint64_t>(selection.firstIndex());
        if (index < group->numberOfObjects()) {
            if (auto shown = preparedButtonCellForGroup(groupIndex, index)) {
                title = shown->title();
                image = shown->image();
            }
        }
    }
    item->setTitle(title);
    item->setImage(image);
    // Our recessed faces show while the mouse is inside or while the cell is on; a border that always shows is the
    // face of the on state.
    cell->setState(cell->showsBorderOnlyWhileMouseInside() ? ui::ControlStateValue::Off : ui::ControlStateValue::On);
    auto menu = ui::Menu::create("");
    menu->setAutoenablesItems(false);
    menu->addItem(item);
    cell->setMenu(menu);
    // The pop-up shows its own title (it does not take it from the menu).
    cell->ui::ButtonCell::setTitle(title);
    cell->setImage(image);
    return cell;
}
