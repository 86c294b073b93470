#pragma once

#include "frameworks/tab-bar-core/TabDragOrigin.h"
#include "frameworks/tab-bar-core/TabDragWindow.h"
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"

#include <memory>
#include <set>
#include <vector>

namespace fnd {
class Timer;
}
namespace tbcore {
class TabDragWindowController;
}
namespace gfx {
class Image;
}
namespace ui {
class Event;
class Window;
}
class ZTBTabBarCell;
class ZTBTabBarControl;

inline const fnd::String ZTBTabDragDidBeginNotification = "ZTBTabDragDidBeginNotification";
inline const fnd::String ZTBTabDragDidEndNotification = "ZTBTabDragDidEndNotification";

// Runs every tab drag of the process: placeholder gaps that open under the pointer, reordering, moving a tab to
// another bar and tearing it off into a new bar the delegate makes.
class ZTBTabDragAssistant : public fnd::Object, public fnd::Coding {
    FND_OBJECT(ZTBTabDragAssistant)

public:
    // Keyed archives: "sourceTabBar", "destinationTabBar", "participatingTabBars", "draggedCell",
    // "draggedCellIndex", "isDragging", "animationTimer" (always nil: a timer is not archived), "sineCurveWidths",
    // "currentMouseLoc", "targetCell", read back into the receiver. A width table that is neither empty nor one
    // extent (0 to 100000) per step fails the decoding.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    static const std::shared_ptr<ZTBTabDragAssistant>& sharedDragAssistant();

    std::shared_ptr<ZTBTabBarControl> sourceTabBar() const { return m_sourceTabBar; }
    std::shared_ptr<ZTBTabBarControl> destinationTabBar() const { return m_destinationTabBar; }
    std::shared_ptr<ZTBTabBarCell> draggedCell() const { return m_draggedCell; }
    std::shared_ptr<ZTBTabBarCell> targetCell() const { return m_targetCell; }
    long draggedCellIndex() const { return m_draggedCellIndex; }
    bool isDragging() const { return m_isDragging; }
    gfx::Point currentMouseLoc() const { return m_currentMouseLoc; }
    const std::vector<long>& sineCurveWidths() const { return m_sineCurveWidths; }
    // A placeholder's extent at a step: the table's entry, 0 outside it (no drag, or a step no table has).
    long widthOfStep(long step) const;
    static constexpr std::size_t PlaceholderSteps = 8;
    const std::shared_ptr<tbcore::TabDragWindowController>& draggedTab() const { return m_draggedTab; }
    // The window with the tab's content (tear-off style 0), once the pointer has left a bar.
    const std::shared_ptr<tbcore::TabDragWindowController>& draggedView() const { return m_draggedView; }
    bool isFading() const { return m_fadeTimer != nullptr; }
    // One step of the cross-fade: the content window in and the tab window out, or back.
    void fadeInDragWindow();
    void fadeOutDragWindow();
    // A new bar's window grows from the pointer: 0.1 of its size and opacity to the whole in a quarter second.
    void expandWindow(const std::shared_ptr<ui::Window>& window, gfx::Point screenPoint);
    bool isParticipating(const ZTBTabBarControl& bar) const;
    // The extent of a placeholder at each step 0..7 for a tab of that extent.
    static std::vector<long> widthTable(double extent, double fullExtent);

    // Prepares the drag (placeholders, width table, timer); the platform drag follows unless `runDrag` is false.
    void startDraggingCell(const std::shared_ptr<ZTBTabBarCell>& cell, const std::shared_ptr<ZTBTabBarControl>& bar,
        const std::shared_ptr<ui::Event>& mouseDownEvent, bool runDrag = true);
    void draggingBeganAt(gfx::Point screenPoint);
    void draggingMovedTo(gfx::Point screenPoint);
    void draggingEnteredTabBar(const std::shared_ptr<ZTBTabBarControl>& bar, gfx::Point point);
    void draggingUpdatedInTabBar(const std::shared_ptr<ZTBTabBarControl>& bar, gfx::Point point);
    void draggingExitedTabBar(const std::shared_ptr<ZTBTabBarControl>& bar);
    // Drops the tab on the destination bar; answers whether it took it.
    bool performDragOperation();
    void draggedImageEndedAt(gfx::Point screenPoint);
    void finishDrag();

    // One tick of the gap animation over every participating bar.
    void animateDrag();
    void calculateDragAnimationForTabBar(const std::shared_ptr<ZTBTabBarControl>& bar);
    void distributePlaceholdersInTabBar(const std::shared_ptr<ZTBTabBarControl>& bar);
    void distributePlaceholdersInTabBar(
        const std::shared_ptr<ZTBTabBarControl>& bar, const std::shared_ptr<ZTBTabBarCell>& cell);
    void removeAllPlaceholdersFromTabBar(const std::shared_ptr<ZTBTabBarControl>& bar);

private:
    std::shared_ptr<gfx::Image> imageForViewOfCell(ZTBTabBarCell& cell, unsigned* styleMask);
    // Whether the dragged tab has nowhere to come back to: the program closed it or took its tab view from the bar.
    bool draggedTabHasLeft() const;
    void endDragOfDepartedTab();
    // The dragged cell back in its source bar, at the place among its tabs it started from.
    void putDraggedCellBack();
    void startFade(bool in);

    std::shared_ptr<ZTBTabBarControl> m_sourceTabBar;
    std::shared_ptr<ZTBTabBarControl> m_destinationTabBar;
    std::vector<std::shared_ptr<ZTBTabBarControl>> m_participatingTabBars;
    std::shared_ptr<ZTBTabBarCell> m_draggedCell;
    long m_draggedCellIndex { 0 };
    tbcore::DraggedTabOrigin m_origin;
    // The source window, made see-through while its only tab is carried away.
    std::weak_ptr<ui::Window> m_steppedAsideWindow;
    bool m_isDragging { false };
    std::shared_ptr<tbcore::TabDragWindowController> m_draggedTab;
    std::shared_ptr<tbcore::TabDragWindowController> m_draggedView;
    gfx::Size m_dragWindowOffset;
    // The drag's pointer, from where its image is.
    tbcore::DragPointer m_dragPointer;
    std::shared_ptr<fnd::Timer> m_fadeTimer;
    bool m_centersDragWindows { false };
    int m_currentTearOffStyle { 0 };
    std::shared_ptr<fnd::Timer> m_animationTimer;
    std::vector<long> m_sineCurveWidths;
    gfx::Point m_currentMouseLoc;
    std::shared_ptr<ZTBTabBarCell> m_targetCell;
};
