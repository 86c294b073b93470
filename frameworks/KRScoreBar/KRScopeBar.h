#pragma once

#include "frameworks/KRScoreBar/KRScopeBarAccessibility.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/locale/Formatter.h"
#include "platform/graphics/Color.h"
#include "platform/ui/controls/Control.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace gfx {
class Gradient;
class Image;
}
namespace ui {
class ButtonCell;
class PopUpButtonCell;
}

class KRScopeBarGroupHelper;

// Where the items of groups without a bound "content" come from. The image is optional: nullopt means the data
// source does not answer it.
class KRScopeBarDataSource {
public:
    virtual ~KRScopeBarDataSource() = default;
    virtual std::uint64_t scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar& bar, std::uint64_t groupIndex) = 0;
    virtual fnd::Value scopeBarValueForObjectInGroup(
        KRScopeBar& bar, std::uint64_t groupIndex, std::uint64_t objectIndex)
        = 0;
    virtual std::optional<std::shared_ptr<gfx::Image>> scopeBarImageForObjectInGroup(
        KRScopeBar&, std::uint64_t /*groupIndex*/, std::uint64_t /*objectIndex*/)
    {
        return std::nullopt;
    }
};

// The informal delegate answers these selectors when its class declares them as actions:
//   "scopeBar:shouldSelectObject:"   (bar, object) → bool
//   "scopeBar:shouldCollapseGroup:"  (bar, group) → bool
//   "scopeBar:shouldExpandGroup:"    (bar, group) → bool
//   "scopeBarSelectionDidChange:"    (notification): the delegate then hears the selection changes of every bar.
namespace KRScopeBarDelegateSelectors {
inline const fnd::Selector ShouldSelectObject { "scopeBar:shouldSelectObject:" };
inline const fnd::Selector ShouldCollapseGroup { "scopeBar:shouldCollapseGroup:" };
inline const fnd::Selector ShouldExpandGroup { "scopeBar:shouldExpandGroup:" };
inline const fnd::Selector SelectionDidChange { "scopeBarSelectionDidChange:" };
}

// A horizontal bar of grouped selection buttons. When it is too narrow, buttons shrink towards their minimum width,
// then groups collapse from the right into pop-up buttons, then items move from the right into an overflow
// pull-down at the right end. An optional accessory view sits at the right edge. Changes ask for layout, which the
// window runs before the bar is next drawn.
class KRScopeBar : public ui::Control {
    FND_OBJECT(KRScopeBar)
    static void describeClass(fnd::ClassBuilder<KRScopeBar>& c);

public:
    // Side margin, spacing between groups and gap after the accessory view: the small control size's font size.
    static std::uint64_t sideMargin();
    static constexpr std::uint64_t OverflowGap = 5;
    // The picture of the overflow pull-down (the resource "overflowImage.tiff"); nullptr when it is missing.
    static std::shared_ptr<gfx::Image> overflowImage();

    KRScopeBar() = default;
    ~KRScopeBar() override;
    static std::shared_ptr<KRScopeBar> create(gfx::Rect frame = {});
    // Bars made by class name (interface files, archives) start with the same settings as initWithFrame gives;
    // an archive then sets every setting it holds.
    void initWithFrame(gfx::Rect frame) override;

    // Delegate and data source are not kept alive.
    std::shared_ptr<fnd::Object> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<fnd::Object>& delegate);
    std::shared_ptr<fnd::Object> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<fnd::Object>& dataSource);
    KRScopeBarDataSource* dataSourceInterface() const;

    // Groups, in display order.
    std::vector<std::shared_ptr<KRScopeBarGroup>> groups() const;
    std::shared_ptr<KRScopeBarGroup> addGroup();
    void addGroup(const std::shared_ptr<KRScopeBarGroup>& group);
    void insertGroup(const std::shared_ptr<KRScopeBarGroup>& group, std::uint64_t index);
    void removeGroup(const std::shared_ptr<KRScopeBarGroup>& group);
    void removeGroupAtIndex(std::uint64_t index);
    // Every element must be a KRScopeBarGroup; checked before anything changes.
    void setGroups(const fnd::Array& groups);
    void moveGroupWithIndex(std::uint64_t originalIndex, std::uint64_t destinationIndex);
    std::uint64_t numberOfGroups() const { return m_groups.size(); }
    std::shared_ptr<KRScopeBarGroup> groupAtIndex(std::uint64_t index) const;
    fnd::Index indexOfGroup(const KRScopeBarGroup& group) const;
    std::shared_ptr<KRScopeBarGroup> groupWithIdentifier(const fnd::String& identifier) const;
    const std::vector<std::shared_ptr<KRScopeBarGroupHelper>>& groupHelpers() const { return m_groups; }

    void reloadData();
    void reloadDataForGroup(std::uint64_t index);
    void adjustSubviews();
    // Every group measures its cells again at the next layout.
    void invalidateCellMetrics();
    void resizeWithOldSuperviewSize(gfx::Size oldSize) override;

    // Settings. Widths and the spacing are at most LargestWidth, as archives hold them: a larger one is taken as that.
    static constexpr std::uint64_t LargestWidth = 100'000;
    std::uint64_t minimumButtonWidth() const { return m_minimumButtonWidth; }
    void setMinimumButtonWidth(std::uint64_t width);
    std::uint64_t minimumPopUpWidth() const { return m_minimumPopUpWidth; }
    void setMinimumPopUpWidth(std::uint64_t width);
    std::uint64_t intercellSpacing() const { return m_intercellSpacing; }
    void setIntercellSpacing(std::uint64_t spacing);
    bool autoResizesGroups() const { return m_autoResizesGroups; }
    void setAutoResizesGroups(bool flag);
    const std::shared_ptr<fnd::Formatter>& formatter() const { return m_formatter; }
    void setFormatter(const std::shared_ptr<fnd::Formatter>& formatter);
    const std::shared_ptr<ui::View>& accessoryView() const { return m_accessoryView; }
    void setAccessoryView(const std::shared_ptr<ui::View>& view);
    const std::shared_ptr<gfx::Gradient>& backgroundGradient() const { return m_backgroundGradient; }
    void setBackgroundGradient(const std::shared_ptr<gfx::Gradient>& gradient);
    gfx::ColorPtr backgroundTopColor() const;
    void setBackgroundTopColor(const gfx::ColorPtr& color);
    gfx::ColorPtr backgroundBottomColor() const;
    void setBackgroundBottomColor(const gfx::ColorPtr& color);
    const gfx::ColorPtr& borderColor() const { return m_borderColor; }
    void setBorderColor(const gfx::ColorPtr& color) { m_borderColor = color; }
    const gfx::ColorPtr& separatorColor() const { return m_separatorColor; }
    void setSeparatorColor(const gfx::ColorPtr& color) { m_separatorColor = color; }
    const gfx::ColorPtr& labelColor() const { return m_labelColor; }
    void setLabelColor(const gfx::ColorPtr& color) { m_labelColor = color; }
    bool ibInitialized() const { return m_ibInitialized; }
    void setIbInitialized(bool flag) { m_ibInitialized = flag; }

    // Cell templates: the getters of the button and pop-up cells answer copies; the overflow cell is the bar's own.
    std::shared_ptr<ui::ButtonCell> buttonCell() const;
    void setButtonCell(const std::shared_ptr<ui::ButtonCell>& cell);
    std::shared_ptr<ui::PopUpButtonCell> popUpButtonCell() const;
    void setPopUpButtonCell(const std::shared_ptr<ui::PopUpButtonCell>& cell);
    const std::shared_ptr<ui::PopUpButtonCell>& overflowPullDownCell() const { return m_overflowPullDownCell; }
    void setOverflowPullDownCell(const std::shared_ptr<ui::PopUpButtonCell>& cell);

    // A copy of the button cell showing one item (nullptr without bindings or data source), and of the pop-up cell
    // showing a group's selection.
    std::shared_ptr<ui::ButtonCell> preparedButtonCellForGroup(std::uint64_t groupIndex, std::uint64_t objectIndex);
    std::shared_ptr<ui::PopUpButtonCell> preparedPopUpCellForGroup(std::uint64_t groupIndex);

    // The delegate's answers (true when it does not answer).
    bool delegateShouldSelectObject(const fnd::Value& object);
    bool delegateImplementsShouldCollapse_() const { return m_delegateImplementsShouldCollapse; }
    bool delegateImplementsShouldExpand_() const { return m_delegateImplementsShouldExpand; }
    bool delegateShouldCollapseGroup(KRScopeBarGroup& group);
    bool delegateShouldExpandGroup(KRScopeBarGroup& group);

    // Layout.
    gfx::Rect overflowPullDownRect() const { return m_overflowPullDownRect; }
    // Runs the layout now: groups, accessory view, overflow pull-down and tracking areas (layout() runs it).
    void calcSize() override;
    void layout() override;
    // Whether the overflow pull-down holds peeled items (it is drawn and tracked only then).
    bool showsOverflowPullDown() const;
    // Action of the overflow pull-down.
    void overflowPullDownItemSelected(const fnd::Value& sender);

    // Drawing and events.
    void drawRect(gfx::Rect dirtyRect) override;
    void drawBackground();
    void updateTrackingAreas() override;
    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;
    void mouseDown(const ui::Event& event) override;
    void viewWillMoveToSuperview(ui::View* superview) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Assistive technologies read a tool bar of the groups' buttons (KRScopeBarAccessibility.cpp).
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override
    {
        return ui::View::accessibilityIsAttributeSettable(attribute);
    }
    std::vector<fnd::String> accessibilityActionNames() const override { return {}; }
    bool accessibilityIsIgnored() const override { return false; }
    // The group's selection changed: its items' states are told.
    void accessibilityTellSelectionChanged(const KRScopeBarGroup& group);

private:
    std::shared_ptr<KRScopeBar> selfPointer() { return std::static_pointer_cast<KRScopeBar>(shared_from_this()); }
    static std::shared_ptr<gfx::Image> loadOverflowImage();
    void checkGroupIndex(std::uint64_t index, const char* reason) const;
    // After the groups changed: the index of each group is found again when next asked, and the groups whose index
    // moved (from first to last, inclusive) measure their cells again, since the data source answers by index.
    void groupsDidChange(std::uint64_t first, std::uint64_t last);
    void resetSelectionForGroup_(std::uint64_t index);
    void updateGroup(std::uint64_t index);

    std::uint64_t sumOfMaximumWidthForAllGroups_() const;
    std::uint64_t sumOfMinimumWidthForAllGroups_() const;
    std::uint64_t countOfUnpeeledGroups_() const;
    bool collapseRightMostGroup_();
    void resetGroupsToMaxWidth_();
    void resetGroupsToZeroWidth_();
    std::shared_ptr<KRScopeBarGroupHelper> groupHelperForGroup_(const KRScopeBarGroup& group) const;
    std::shared_ptr<KRScopeBarGroup> groupContainingObject_(const fnd::Value& object, fnd::Index* index) const;
    void resetOverflowPullDownCell_();
    void peelOffItemsToFitInWidth_(std::int64_t width);
    void shrinkGroupsToFit_(std::int64_t available);
    void registerDelegateForNotification(bool add);
    void placeGroupsAndAccessory_();

    std::shared_ptr<ui::View> m_accessoryView;
    std::uint64_t m_minimumButtonWidth { 0 };
    std::uint64_t m_minimumPopUpWidth { 0 };
    std::uint64_t m_intercellSpacing { 0 };
    std::vector<std::shared_ptr<KRScopeBarGroupHelper>> m_groups;
    // Each group's index, made again after a change of the groups: every item's cell asks for its group's index.
    mutable std::unordered_map<const KRScopeBarGroup*, fnd::Index> m_groupIndexes;
    mutable bool m_groupIndexesValid { false };
    std::shared_ptr<gfx::Gradient> m_backgroundGradient;
    gfx::ColorPtr m_borderColor;
    gfx::ColorPtr m_separatorColor;
    gfx::ColorPtr m_labelColor;
    std::shared_ptr<fnd::Formatter> m_formatter;
    std::shared_ptr<ui::ButtonCell> m_buttonCell;
    std::shared_ptr<ui::PopUpButtonCell> m_popUpButtonCell;
    std::shared_ptr<ui::PopUpButtonCell> m_overflowPullDownCell;
    gfx::Rect m_overflowPullDownRect;
    bool m_trackingOverflow { false };
    std::weak_ptr<fnd::Object> m_delegate;
    std::weak_ptr<fnd::Object> m_dataSource;
    std::weak_ptr<KRScopeBarGroupHelper> m_trackingGroup;
    bool m_autoResizesGroups { false };
    bool m_delegateImplementsShouldSelect { false };
    bool m_delegateImplementsShouldCollapse { false };
    bool m_delegateImplementsShouldExpand { false };
    bool m_delegateRegistered { false };
    bool m_ibInitialized { false };
    mutable KRScopeBarAccessibilityGroups m_accessibilityGroups;
};
