#pragma once

#include "frameworks/QFTabBarView/QFTabDragWindow.h"
#include "frameworks/tab-bar-core/TabDragOrigin.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/dragging/PasteboardItem.h"
#include "platform/ui/views/Animation.h"

#include <memory>

namespace fnd {
class Timer;
}
class QFAttachedTabBarButton;
class QFSlideButtonsAnimation;
class QFTabBarView;

// A dragged tab on the drag pasteboard: the bar it came from, its button and where it stood. Readers in this program
// get the very object back; others see the title under QFAttachedTabBarButtonPasteboardType.
class QFTabPasteboardItem : public ui::PasteboardItem {
    FND_OBJECT(QFTabPasteboardItem)

public:
    std::shared_ptr<QFTabBarView> sourceTabBar;
    std::shared_ptr<QFAttachedTabBarButton> attachedTabBarButton;
    long sourceIndex { fnd::NotFound };
};

inline const fnd::String QFTabDragDidBeginNotification = "QFTabDragDidBeginNotification";
inline const fnd::String QFTabDragDidEndNotification = "QFTabDragDidEndNotification";

// Runs every tab drag of the process: sliding a tab along its bar, tearing it off, carrying it in a floating window
// to another bar or to empty screen, and dropping it. One drag at a time.
class QFTabDragAssistant : public fnd::Object, public ui::AnimationDelegate {
    FND_OBJECT(QFTabDragAssistant)

public:
    static std::shared_ptr<QFTabDragAssistant> sharedDragAssistant();

    gfx::Point currentMouseLocation() const { return m_currentMouseLocation; }
    const std::shared_ptr<QFTabPasteboardItem>& pasteboardItem() const { return m_pasteboardItem; }
    const std::shared_ptr<QFTabBarView>& destinationTabBar() const { return m_destinationTabBar; }
    bool isDragging() const { return m_isDragging; }
    bool isSliding() const { return m_isSliding; }
    const std::shared_ptr<QFTabDragWindowController>& draggedTab() const { return m_draggedTab; }
    const std::shared_ptr<QFTabDragWindowController>& draggedView() const { return m_draggedView; }
    bool centersDragWindows() const { return m_centersDragWindows; }
    unsigned currentTearOffStyle() const { return m_currentTearOffStyle; }
    bool isFading() const { return m_fadeTimer != nullptr; }

    bool shouldStartDraggingAttachedTabBarButton(
        QFAttachedTabBarButton& button, QFTabBarView& bar, const ui::Event& event);
    void startDraggingAttachedTabBarButton(QFAttachedTabBarButton& button, QFTabBarView& bar, const ui::Event& event);
    ui::DragOperation draggingSourceOperationMaskForLocal(bool isLocal, QFTabBarView& bar);
    void draggedImageBeganAt(gfx::Point point, QFTabBarView& bar);
    void draggedImageMovedTo(gfx::Point point);
    void draggedImageEndedAt(gfx::Point point, ui::DragOperation operation);

    ui::DragOperation draggingEntered(ui::DraggingInfo& info, QFTabBarView& bar);
    ui::DragOperation draggingUpdated(ui::DraggingInfo& info, QFTabBarView& bar);
    void draggingExitedTabBarView(QFTabBarView& bar, ui::DraggingInfo& info);
    bool performDragOperation(ui::DraggingInfo& info, QFTabBarView& bar);
    void finishDragOfPasteboardItem(const std::shared_ptr<QFTabPasteboardItem>& item);

    std::shared_ptr<QFAttachedTabBarButton> attachedTabBarButtonForDraggedItems() const;
    long destinationIndexForButton(QFAttachedTabBarButton* button, gfx::Point point, QFTabBarView& bar);

    // Stops the slide of the bar's buttons: the bar is laid out anew, and a slide left running would carry its
    // buttons on to where they rested before.
    void stopSlidingButtonsOf(const QFTabBarView& bar);
    void animationDidStop(ui::Animation& animation) override;
    void animationDidEnd(ui::Animation& animation) override;

    // A window's look as a picture, for the miniature of tear-off style 1.
    static std::shared_ptr<gfx::Image> miniwindowImageOfWindow(ui::Window& window);
    // The picture of the tab's content view, its drag offset and style mask (from the delegate when it offers one).
    std::shared_ptr<gfx::Image> imageForViewOfAttachedButton(
        QFAttachedTabBarButton& button, QFTabBarView& bar, unsigned& styleMask);

private:
    std::shared_ptr<QFTabPasteboardItem> pasteboardItemOf(ui::DraggingInfo& info) const;
    void slideLoop(QFAttachedTabBarButton& button, QFTabBarView& bar, gfx::Point start, const ui::Event& event);
    long moveAttachedTabBarButton(QFAttachedTabBarButton& button, QFTabBarView& bar, long from, long to);
    void slideBackTabBarButton(QFAttachedTabBarButton& button, QFTabBarView& bar);
    void dragDetachedButton(QFAttachedTabBarButton& button, QFTabBarView& bar, const ui::Event& event);
    void draggingExited(QFTabBarView& bar, const std::shared_ptr<QFTabPasteboardItem>& item);
    void beginDraggingWindow(const std::shared_ptr<QFTabPasteboardItem>& item, bool isSourceWindow);
    void endDraggingWindow(const std::shared_ptr<QFTabPasteboardItem>& item);
    void startFade(bool fadeIn);
    void stopFade();
    void expandWindow(ui::Window& window, gfx::Point point);
    void finalizeAnimation(ui::Animation& animation);
    // Whether the dragged tab has nowhere to come back to: the program closed it or took its tab view from the bar.
    bool draggedTabHasDeparted(const QFTabPasteboardItem& item) const;
    // Ends the drag of a departed tab: it goes nowhere, and a closed one is told detached once the drag is over.
    void endDragOfDepartedTab(const std::shared_ptr<QFTabPasteboardItem>& item);
    // The torn-off button back in its source bar; its item never left the tab view.
    void putBackInSourceBar(const QFTabPasteboardItem& item);
    std::shared_ptr<QFTabDragAssistant> self();

    gfx::Point m_currentMouseLocation;
    // Where the pointer was (on the screen) when the tab tore off.
    gfx::Point m_tearOffPoint;
    std::shared_ptr<QFTabPasteboardItem> m_pasteboardItem;
    tbcore::DraggedTabOrigin m_origin;
    // The source window, ordered out while its only tab is carried away.
    std::weak_ptr<ui::Window> m_steppedAsideWindow;
    std::shared_ptr<QFTabBarView> m_destinationTabBar;
    bool m_isDragging { false };
    bool m_isSliding { false };
    std::shared_ptr<QFTabDragWindowController> m_draggedTab;
    std::shared_ptr<QFTabDragWindowController> m_draggedView;
    gfx::Size m_dragWindowOffset;
    // The drag's pointer, from where its image is.
    tbcore::DragPointer m_dragPointer;
    std::shared_ptr<fnd::Timer> m_fadeTimer;
    bool m_fadingIn { false };
    bool m_centersDragWindows { false };
    unsigned m_currentTearOffStyle { 0 };
    std::shared_ptr<QFSlideButtonsAnimation> m_slideButtonsAnimation;
};
