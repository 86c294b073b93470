#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/views/View.h"

#include <vector>

class ZORSplitView;
class ZORSplitViewToolbarButton;
class ZORSplitViewToolbarDraggingHandle;

// Names the toolbar posts (no object) when its items are to be enabled or disabled.
namespace ZORSplitViewToolbarNotification {
inline const fnd::String ItemsEnable = "ToolbarItemsEnableNotification";
inline const fnd::String ItemsDisable = "ToolbarItemsDisableNotification";
}

// The thin bar along the bottom (or top) edge of a split-view pane: small square buttons at either end or centred,
// thin gradient delimiters between them, and optionally a grip that lets the neighbouring divider be dragged from
// the bar. Grey gradients, paler while the bar's window is not key.
class ZORSplitViewToolbar : public ui::View {
    FND_OBJECT(ZORSplitViewToolbar)

public:
    static constexpr double DefaultHeight = 24.0;
    static constexpr double DelimiterWidth = 1.0;
    static constexpr double GripAllowanceVertical = 17.0;
    static constexpr double GripAllowance = 20.0;
    // Colours turn this much toward white while the window is not key.
    static constexpr double DimmingLevel = 0.42;

    enum class AnchoredEdge : int { Bottom = 1, Top = 2 };
    enum class ContentAlign : int { BothEnds = 0, Centered = 1 };

    ZORSplitViewToolbar() = default;
    ~ZORSplitViewToolbar() override;
    static std::shared_ptr<ZORSplitViewToolbar> create();
    // The settings of a new bar (height, delimiters, alignment, bottom edge) and its window-status observers.
    void initWithFrame(gfx::Rect frame) override;

    void addItem(const std::shared_ptr<ZORSplitViewToolbarButton>& button);
    void removeItem(const std::shared_ptr<ZORSplitViewToolbarButton>& button);
    void removeAllItems();
    const std::vector<std::shared_ptr<ZORSplitViewToolbarButton>>& items() const { return m_buttons; }
    void enable();
    void disable();

    double height() const { return m_height; }
    void setHeight(double height) { m_height = height; }
    AnchoredEdge anchoredEdge() const { return m_anchoredEdge; }
    void setAnchoredEdge(AnchoredEdge edge);
    bool isItemDelimiterEnabled() const { return m_itemDelimiterEnabled; }
    void setItemDelimiterEnabled(bool flag);
    ContentAlign contentAlign() const { return m_contentAlign; }
    void setContentAlign(ContentAlign align);
    bool drawDraggingButton() const { return m_shouldDrawDraggingButton; }
    void setDrawDraggingButton(bool flag);
    bool drawDraggingButtonOnRight() const { return m_drawDraggingButtonOnRight; }
    void setDrawDraggingButtonOnRight(bool flag);
    const std::shared_ptr<ZORSplitViewToolbarDraggingHandle>& draggingHandler() const { return m_draggingHandler; }

    bool isInLastSubview() const;
    long dividerIndexNearestToHandle() const;
    bool containsSubView(const ui::View& view) const;
    // The split view the bar's pane belongs to (from the notification's object).
    void injectEnclosingSplitView(const fnd::Notification& notification);
    std::shared_ptr<ZORSplitView> enclosingSplitView() const { return m_enclosingSplitView.lock(); }
    void setEnclosingSplitView(const std::shared_ptr<ZORSplitView>& splitView) { m_enclosingSplitView = splitView; }

    // Places the buttons and delimiters; layout() runs it after a change of size, buttons or alignment.
    void recalculateItemPositions();
    void layout() override;
    const std::vector<double>& delimiterOffsets() const { return m_delimiterOffsets; }

    // Whether the bar's own window is key: dimmed colours otherwise.
    bool isInKeyWindow() const;

    void drawRect(gfx::Rect dirtyRect) override;
    void viewDidMoveToWindow() override;

private:
    void windowStatusChanged(const fnd::Notification&);
    void drawItemDelimiter();
    gfx::Rect gripFrame() const;
    bool splitViewIsVertical() const;

    bool m_shouldDrawDraggingButton { false };
    bool m_drawDraggingButtonOnRight { true };
    double m_height { DefaultHeight };
    AnchoredEdge m_anchoredEdge { AnchoredEdge::Bottom };
    bool m_itemDelimiterEnabled { true };
    ContentAlign m_contentAlign { ContentAlign::BothEnds };
    std::vector<double> m_delimiterOffsets;
    std::weak_ptr<ZORSplitView> m_enclosingSplitView;
    std::vector<std::shared_ptr<ZORSplitViewToolbarButton>> m_buttons;
    std::shared_ptr<ZORSplitViewToolbarDraggingHandle> m_draggingHandler;
    std::vector<fnd::NotificationObserverToken> m_observers;
};
