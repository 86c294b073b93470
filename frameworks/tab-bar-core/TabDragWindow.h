#pragma once

#include "platform/ui/views/Animation.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <functional>
#include <memory>
#include <optional>

namespace fnd {
class Timer;
}
namespace gfx {
class Image;
}

// The small floating window that shows a torn-off tab while it is dragged: borderless, at the status level, see-
// through and deaf to the mouse, so the bars below it see the drag. Under X11 such a window is an override-redirect
// ARGB window of its own.
namespace tbcore {

// Draws one picture, or two cross-faded: the image at the fade value, the alternate at its complement.
class TabDragView : public ui::View {
    FND_OBJECT(TabDragView)

public:
    static std::shared_ptr<TabDragView> create(gfx::Rect frame, std::shared_ptr<gfx::Image> image);

    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    void setImage(std::shared_ptr<gfx::Image> image) { m_image = std::move(image); }
    const std::shared_ptr<gfx::Image>& alternateImage() const { return m_alternateImage; }
    void setAlternateImage(std::shared_ptr<gfx::Image> image) { m_alternateImage = std::move(image); }
    double fadeValue() const { return m_alpha; }
    // The caller redisplays.
    void setFadeValue(double value) { m_alpha = value; }

    void drawRect(gfx::Rect dirtyRect) override;

private:
    std::shared_ptr<gfx::Image> m_image;
    std::shared_ptr<gfx::Image> m_alternateImage;
    double m_alpha { 1 };
};

class TabDragWindow : public ui::Window {
    FND_OBJECT(TabDragWindow)

public:
    // The window is as big as the image (22 points taller when the style mask has a title bar), its top edge kept.
    static std::shared_ptr<TabDragWindow> dragWindowWithImage(std::shared_ptr<gfx::Image> image, unsigned styleMask);
    const std::shared_ptr<TabDragView>& dragView() const { return m_dragView; }

protected:
    // A family's own window class starts here, with its own drag view class showing the image.
    void initWithImage(const std::shared_ptr<gfx::Image>& image, unsigned styleMask, std::shared_ptr<TabDragView> view);

private:
    std::shared_ptr<TabDragView> m_dragView;
};

// Owns a drag window. With tear-off style 1 it can switch between the tab's picture and a second one (a miniature
// of the tab's window): a quarter-second resize and cross-fade that keeps the window centred on the pointer; a
// second switch in mid-flight turns back from where it is.
class TabDragWindowController : public fnd::Object {
    FND_OBJECT(TabDragWindowController)

public:
    TabDragWindowController() = default;
    ~TabDragWindowController() override;
    static std::shared_ptr<TabDragWindowController> create(
        std::shared_ptr<gfx::Image> image, unsigned styleMask, unsigned tearOffStyle);
    // Takes over a window made for the image: see-through at 0.75, and for tear-off style 1 clear with a shadow.
    void initWithWindow(std::shared_ptr<TabDragWindow> window, unsigned tearOffStyle);

    const std::shared_ptr<TabDragWindow>& window() const { return m_window; }
    std::shared_ptr<gfx::Image> image() const { return m_view->image(); }
    std::shared_ptr<gfx::Image> alternateImage() const { return m_view->alternateImage(); }
    void setAlternateImage(std::shared_ptr<gfx::Image> image) { m_view->setAlternateImage(std::move(image)); }
    unsigned tearOffStyle() const { return m_tearOffStyle; }
    bool isAnimating() const { return m_animation != nullptr; }
    bool isShowingAlternate() const { return m_showingAlternate; }
    // Where the drag's pointer is on the screen, as the drag last told: a switch keeps the window centred on it.
    gfx::Point dragLocation() const { return m_dragLocation; }
    void setDragLocation(gfx::Point screenPoint) { m_dragLocation = screenPoint; }
    void switchImages();
    // One step of the switch (the timer calls it every 1/30 s).
    void animateTimer();
    void stop();

private:
    unsigned m_tearOffStyle { 0 };
    std::shared_ptr<TabDragWindow> m_window;
    std::shared_ptr<TabDragView> m_view;
    std::shared_ptr<ui::Animation> m_animation;
    std::shared_ptr<fnd::Timer> m_timer;
    bool m_showingAlternate { false };
    gfx::Rect m_originalWindowFrame;
    gfx::Point m_dragLocation;
};

// The picture tear-off style 1 switches to: the window's own picture or, when none can be made of it, the fallback
// (the tab's content), redrawn 125 points on its longer side with its proportions kept; nullptr when neither
// has a size.
std::shared_ptr<gfx::Image> windowMiniature(
    const std::shared_ptr<gfx::Image>& windowImage, const std::function<std::shared_ptr<gfx::Image>()>& fallback);

// Moves the drag windows with the drag (screen coordinates): the tab window's top left to the drag image's, or,
// while the windows centre on the pointer (tear-off style 1 away from every bar), the tab window's middle to the
// drag's pointer unless its switch animation places it; the content window, when there is one, keeps its offset
// from the tab window's picture. The tab window's controller learns where the pointer is.
void moveDragWindows(TabDragWindowController& tab, TabDragWindowController* content, gfx::Point imageTopLeft,
    gfx::Point pointer, bool centresOnPointer, gfx::Size contentOffset);

// Where a drag's pointer is, told by where its image is: the image keeps the offset from the pointer it had when
// the drag began (the image's origin less the pressed point).
class DragPointer {
public:
    // The drag is about to start from a press at this screen point (nullopt: none known, the image is the pointer).
    void pressedAt(std::optional<gfx::Point> screenPoint)
    {
        m_press = screenPoint;
        m_grab = {};
    }
    // The drag's image began at this screen point.
    void imageBeganAt(gfx::Point screenPoint)
    {
        m_grab = m_press ? gfx::Size { screenPoint.x - m_press->x, screenPoint.y - m_press->y } : gfx::Size {};
    }
    gfx::Point pointerFor(gfx::Point imageAt) const { return { imageAt.x - m_grab.width, imageAt.y - m_grab.height }; }

private:
    std::optional<gfx::Point> m_press;
    gfx::Size m_grab;
};

}
