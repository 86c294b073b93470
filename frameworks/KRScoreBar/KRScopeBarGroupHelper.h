#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Event.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace ui {
class ButtonCell;
class Menu;
class MenuItem;
}

class KRScopeBar;
class KRScopeBarGroup;

// Lays out, draws and tracks one group of a scope bar: measures its header, widest and narrowest widths, divides
// the frame the bar gives it into separator, label and button areas, places the item buttons, hands items over to
// the overflow menu from the right, and runs hover, click and pop-up choice.
class KRScopeBarGroupHelper : public fnd::Object {
    FND_OBJECT(KRScopeBarGroupHelper)
    static void describeClass(fnd::ClassBuilder<KRScopeBarGroupHelper>& c);

public:
    static constexpr double SeparatorWidth = 1;
    static constexpr double SeparatorGap = 10;
    static constexpr double LabelSlack = 1;
    static constexpr double LabelGap = 10;

    KRScopeBarGroupHelper() = default;
    // A helper needs its group and bar: made by the registry without them it raises "KRScopeBarException".
    void init();
    static std::shared_ptr<KRScopeBarGroupHelper> create(
        const std::shared_ptr<KRScopeBarGroup>& group, const std::shared_ptr<KRScopeBar>& bar);

    const std::shared_ptr<KRScopeBarGroup>& group() const { return m_group; }
    std::shared_ptr<KRScopeBar> scopeBar() const { return m_scopeBar.lock(); }
    gfx::Rect frame() const { return m_frame; }
    void setFrame(gfx::Rect frame);
    gfx::Rect buttonRect() const { return m_buttonRect; }
    gfx::Rect separatorRect() const { return m_separatorRect; }
    gfx::Rect labelRect() const { return m_labelRect; }
    const std::vector<gfx::Rect>& buttonRects() const { return m_buttonRects; }
    std::uint64_t headerWidth() const { return m_headerWidth; }
    std::uint64_t maximumWidth() const { return m_maximumWidth; }
    std::uint64_t minimumWidth() const { return m_minimumWidth; }
    std::uint64_t numberOfItemsPeeledOff() const { return m_numberOfItemsPeeledOff; }
    std::uint64_t numberOfVisibleItems() const;
    const std::shared_ptr<ui::ButtonCell>& trackingCell() const { return m_trackingCell; }
    std::int64_t trackingIndex() const { return m_trackingIndex; }

    void updateGroupDimensions();
    // Forgets the measured cell and label sizes; the bar calls it when the group's items, selection or labels, or
    // the cells or formatter they are drawn with, may have changed. Layouts in between reuse the measurements.
    void invalidateCellMetrics();
    void unpeel() { m_numberOfItemsPeeledOff = 0; }
    // The menu items of what was peeled: one item from the right of an expanded group, all items of a collapsed one;
    // empty when nothing is left to peel.
    std::vector<std::shared_ptr<ui::MenuItem>> peelOffNextItem();
    bool isPeeled() const;
    std::shared_ptr<ui::MenuItem> menuItemForObject_(std::uint64_t index) const;
    std::shared_ptr<ui::Menu> menu_() const;
    bool usesBindings() const;

    void drawGroup();
    void addTrackingAreas();
    void mouseEntered(const ui::Event& event);
    void mouseExited(const ui::Event& event);
    void mouseDown(const ui::Event& event);
    // Action of the pop-up tracking cell.
    void popUpMenuItemSelected(const fnd::Value& sender);
    void removeTrackingCell_();

private:
    void calculateHeaderWidth_();
    void calculateMaximumWidth_();
    void calculateMinimumWidth_();
    void recalculateRects_();
    void updateButtonFrames_();
    void setItemsToMaximumWidth_();
    void generatePopUpTrackingCellForPoint_(gfx::Point pointInBar);
    void trackClickInButton_(const ui::Event& event);
    std::int64_t groupIndex() const;
    double labelWidth() const;
    // The group's separator, except for the first group of the bar.
    bool showsSeparatorHere() const;
    gfx::Rect hotRect() const;
    // The cell widths of the visible items, measured from prepared cells once and kept until invalidated.
    std::vector<double> visibleCellWidths() const;
    double popUpCellWidth() const;
    double firstCellHeight() const;
    void measureCells() const;

    std::weak_ptr<KRScopeBar> m_scopeBar;
    std::shared_ptr<KRScopeBarGroup> m_group;
    gfx::Rect m_frame;
    gfx::Rect m_buttonRect;
    gfx::Rect m_separatorRect;
    gfx::Rect m_labelRect;
    std::vector<gfx::Rect> m_buttonRects;
    std::shared_ptr<ui::ButtonCell> m_trackingCell;
    std::int64_t m_trackingIndex { -1 };
    std::uint64_t m_headerWidth { 0 };
    std::uint64_t m_maximumWidth { 0 };
    std::uint64_t m_minimumWidth { 0 };
    std::uint64_t m_numberOfItemsPeeledOff { 0 };

    struct CellMetrics {
        std::vector<double> itemWidths;
        double firstItemHeight { 0 };
        double popUpWidth { 0 };
        double labelWidth { 0 };
        double labelHeight { 0 };
    };
    mutable std::optional<CellMetrics> m_metrics;
};
