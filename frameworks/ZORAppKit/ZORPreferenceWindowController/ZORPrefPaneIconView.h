#pragma once

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIcon.h"

#include "platform/foundation/runtime/Value.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/views/View.h"

#include <unordered_map>
#include <vector>

class ZORPreferenceWindowController;

// The overview of every pane: one icon per pane in a grid of a fixed number of columns, optionally grouped by
// category under a bold caption with every other band shaded. A click on an icon sends its action; an icon can be
// dragged onto a toolbar as an item.
//
// One layout serves drawing, hit testing and the view's size: category k is a band that starts with its caption
// (when sorted by category) and holds its icons in rows of iconHeight; see iconLayout().
class ZORPrefPaneIconView : public ui::View, public ui::DraggingSource {
    FND_OBJECT(ZORPrefPaneIconView)

public:
    ZORPrefPaneIconView() = default;
    // No controller, no icons, 7 columns.
    static std::shared_ptr<ZORPrefPaneIconView> create();
    static std::shared_ptr<ZORPrefPaneIconView> create(const std::shared_ptr<ZORPreferenceWindowController>& controller,
        const std::vector<std::shared_ptr<ZORPrefPaneIcon>>& icons, long columns);
    void initWithFrame(gfx::Rect frame) override;
    void initWithController(const std::shared_ptr<ZORPreferenceWindowController>& controller,
        const std::vector<std::shared_ptr<ZORPrefPaneIcon>>& icons, long columns);

    // Each change lays the view out again at once, so its frame always fits its icons. Empty places of a list
    // (here and in initWithController) are no icons and are left out, as addIcon leaves out an empty icon.
    const std::vector<std::shared_ptr<ZORPrefPaneIcon>>& icons() const { return m_icons; }
    void setIcons(const std::vector<std::shared_ptr<ZORPrefPaneIcon>>& icons);
    void addIcon(const std::shared_ptr<ZORPrefPaneIcon>& icon);
    void removeAllIcons();
    // Taken between 1 and 1,000 (any count beyond the icons gives one row per category).
    long columns() const { return m_columns; }
    void setColumns(long columns);
    bool sortByCategory() const { return m_sortByCategory; }
    void setSortByCategory(bool flag);
    // Category names in the order their groups should come; groups not named follow in their current order.
    const std::optional<std::vector<fnd::String>>& categorySortOrder() const { return m_categorySortOrder; }
    void setCategorySortOrder(const std::optional<std::vector<fnd::String>>& order);

    // Layout steps, in the order rebuild runs them.
    void rebuild();
    void sortCategories();
    void calculateGeometry();

    // The icons by category, in display order.
    const std::vector<std::vector<std::shared_ptr<ZORPrefPaneIcon>>>& iconListList() const { return m_iconListList; }
    double iconSpacing() const { return m_iconSpacing; }
    double iconHeight() const { return m_iconHeight; }
    double horizontalPadding() const { return m_horizontalPadding; }
    double captionHeight() const { return m_captionHeight; }

    // Layout queries (view coordinates, y down).
    gfx::Rect frameForCategoryWithIndex(long category) const;
    // The point an icon is drawn at: its column's centre and the top of its cell.
    gfx::Point positionForIconInCategoryWithIndex(long category, long index) const;
    gfx::Rect imageFrameForIconInCategoryWithIndex(long category, long index) const;
    gfx::Rect labelFrameForIconInCategoryWithIndex(long category, long index) const;
    // The icon whose picture or title is under the point, with its category and index.
    std::shared_ptr<ZORPrefPaneIcon> iconAt(
        gfx::Point point, long* categoryIndex = nullptr, long* iconIndex = nullptr) const;

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    // Raises the range exception for a category the view does not have.
    void drawBackgroundForCategoryWithIndex(long category);
    void drawIcon(const ZORPrefPaneIcon& icon, gfx::Point position, bool highlighted);

    void mouseDown(const ui::Event& event) override;
    void mouseUp(const ui::Event& event) override;
    void mouseDragged(const ui::Event& event) override;
    ui::DragOperation draggingSourceOperationMaskForLocal(bool isLocal) override;
    bool ignoreModifierKeysWhileDragging() override { return true; }

    // The icon pressed and not yet released.
    const std::shared_ptr<ZORPrefPaneIcon>& selectedIcon() const { return m_selectedIcon; }

private:
    struct IconLayout {
        gfx::Point position;
        gfx::Rect imageFrame;
        gfx::Rect labelFrame;
    };
    // The one place icons are placed.
    IconLayout iconLayout(long category, long index) const;
    // Where category k's band starts, before the extra points the frames add.
    double categoryTop(long category) const;
    // Rows of category k; none for a category that is not there.
    long rowsInCategory(long category) const;
    // Where the icon is in the lists now; false when it is in none.
    bool locateIcon(const std::shared_ptr<ZORPrefPaneIcon>& icon, long& category, long& index) const;
    gfx::Size titleSize(const ZORPrefPaneIcon& icon) const;
    fnd::String categoryDisplayName(const ZORPrefPaneIcon& icon) const;
    void dataChanged();
    // The lists as they are shown, from m_groups: the categories in order, the pressed icon found again, the
    // geometry.
    void arrangeGroups();
    void startDrag(const ui::Event& event);

    std::weak_ptr<ZORPreferenceWindowController> m_prefsController;
    std::vector<std::shared_ptr<ZORPrefPaneIcon>> m_icons;
    bool m_sortByCategory { false };
    std::optional<std::vector<fnd::String>> m_categorySortOrder;
    std::vector<std::vector<std::shared_ptr<ZORPrefPaneIcon>>> m_iconListList;
    // The lists before the categories are put in order: in the order categories first appear, each sorted by
    // title. Kept so that an icon added takes its place without every list being sorted again.
    std::vector<std::vector<std::shared_ptr<ZORPrefPaneIcon>>> m_groups;
    bool m_groupsValid { false };
    // Each icon's title and category when the lists were made.
    std::vector<std::pair<fnd::String, fnd::String>> m_groupedKeys;
    mutable std::unordered_map<fnd::String, gfx::Size> m_titleSizes;
    long m_columns { 7 };
    float m_iconSpacing { 32 };
    float m_iconHeight { 0 };
    float m_horizontalPadding { 12 };
    float m_captionHeight { 0 };
    fnd::Dictionary m_iconLabelAttributes;
    fnd::Dictionary m_captionAttributes;
    std::shared_ptr<ZORPrefPaneIcon> m_selectedIcon;
    long m_selectedIconCategory { -1 };
    long m_selectedIconIndex { -1 };
    gfx::Point m_mouseDownPoint;
};
