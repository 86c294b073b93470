#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Window.h"

#include <memory>
#include <optional>

// A borderless, shadowed window showing one view in a rounded bubble with an arrow pointing at a point: a help
// balloon or a small inline panel. The point is in the parent window's base coordinates, or on the screen without
// a parent. The window lays itself out around the view, draws the bubble into the pattern that is its background
// (transparent outside the bubble), and lays itself out again when it is resized or one of its looks changes. It
// does not follow the parent window when that moves.
//
// Lengths that add to the window's size are bounded where they come in, so no value makes the window, and the pixels
// a draw needs, more than 3,000 points larger than its view: the margin and the arrow's height lie between 0 and
// 1,000 points, the distance between -1,000 and 1,000; a length or flag that is not a number is passed over (a
// distance that is not one is 0).
class ZORAttachedWindow : public ui::Window {
    FND_OBJECT(ZORAttachedWindow)
    static void describeClass(fnd::ClassBuilder<ZORAttachedWindow>& c);

public:
    // Where the window lies relative to the point, and so which edge carries the arrow.
    enum Side : int {
        Left = 0, // arrow on the right edge, centred
        Below = 1, // arrow on the top edge, centred
        Right = 2, // arrow on the left edge, centred
        Above = 3, // arrow on the bottom edge, centred
        LeftExtendingUp = 4, // arrow near the bottom of the right edge
        LeftExtendingDown = 5, // arrow near the top of the right edge
        RightExtendingUp = 6, // arrow near the bottom of the left edge
        RightExtendingDown = 7, // arrow near the top of the left edge
        AboveExtendingLeft = 8, // arrow near the right end of the bottom edge
        AboveExtendingRight = 9, // arrow near the left end of the bottom edge
        BelowExtendingLeft = 10, // arrow near the right end of the top edge
        BelowExtendingRight = 11, // arrow near the left end of the top edge
        Automatic = 12, // chosen once, at creation
    };

    ZORAttachedWindow() = default;
    ~ZORAttachedWindow() override;
    // nullptr without a view. Without a parent window the point is on the screen.
    static std::shared_ptr<ZORAttachedWindow> create(const std::shared_ptr<ui::View>& view, gfx::Point point,
        const std::shared_ptr<ui::Window>& window, int side = Automatic, float distance = 0);
    static std::shared_ptr<ZORAttachedWindow> create(
        const std::shared_ptr<ui::View>& view, gfx::Point point, int side = Automatic, float distance = 0)
    {
        return create(view, point, nullptr, side, distance);
    }
    void initWithView(const std::shared_ptr<ui::View>& view, gfx::Point point,
        const std::shared_ptr<ui::Window>& window, int side, float distance);

    bool canBecomeMainWindow() const override { return false; }
    bool canBecomeKeyWindow() const override { return true; }
    bool isExcludedFromWindowsMenu() const { return true; }
    // Both go to the parent window when there is one.
    bool validateMenuItem(const fnd::Value& item);
    void performClose(const fnd::Value& sender = {});

    // The bubble's fill (not the window's own background, which is the bubble's picture).
    gfx::ColorPtr windowBackgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(gfx::ColorPtr color);
    // The bubble filled with a pattern of the image; nullptr is ignored.
    void setBackgroundImage(const std::shared_ptr<gfx::Image>& image);
    const gfx::ColorPtr& borderColor() const { return m_borderColor; }
    void setBorderColor(gfx::ColorPtr color);
    float borderWidth() const { return m_borderWidth; }
    // Between 0 and the view margin.
    void setBorderWidth(float width);
    float viewMargin() const { return m_viewMargin; }
    // Between 0 and 1,000 points; the corner radius is checked again.
    void setViewMargin(float margin);
    float arrowBaseWidth() const { return m_arrowBaseWidth; }
    // Limited so the arrow and the corners beside it fit along the shorter side of the view; not below 0.
    void setArrowBaseWidth(float width);
    float arrowHeight() const { return m_arrowHeight; }
    // Between 0 and 1,000 points.
    void setArrowHeight(float height);
    // 0 or 1, as a float; the window keeps the arrow's room without the arrow.
    float hasArrow() const { return m_hasArrow ? 1.0f : 0.0f; }
    void setHasArrow(float flag);
    float cornerRadius() const { return m_cornerRadius; }
    // Between 0 and what the view's shorter side leaves beside the arrow; the arrow width is checked again.
    void setCornerRadius(float radius);
    float drawsRoundCornerBesideArrow() const { return m_drawsRoundCornerBesideArrow ? 1.0f : 0.0f; }
    void setDrawsRoundCornerBesideArrow(float flag);

    int side() const { return m_side; }
    gfx::Point point() const { return m_point; }
    float distance() const { return m_distance; }
    std::shared_ptr<ui::View> view() const { return m_view.lock(); }
    std::shared_ptr<ui::Window> attachedToWindow() const { return m_window.lock(); }
    // The view's frame in the window.
    gfx::Rect viewFrame() const { return m_viewFrame; }

    // The bubble's outline in the window's base coordinates.
    gfx::BezierPath _backgroundPath() const;
    // How far the arrow's middle keeps from a corner.
    double _arrowInset() const;
    int _bestSideForAutomaticPosition() const;

private:
    void _updateGeometry();
    void _updateBackground();
    void _redisplay();
    void _appendArrowToPath(gfx::BezierPath& path) const;
    // The point on the screen.
    gfx::Point screenPoint() const;
    // The user-space scale lengths are multiplied by, once.
    double scale() const { return 1.0; }

    gfx::ColorPtr m_borderColor;
    float m_borderWidth { 2 };
    float m_viewMargin { 2 };
    float m_arrowBaseWidth { 20 };
    float m_arrowHeight { 16 };
    bool m_hasArrow { true };
    float m_cornerRadius { 8 };
    bool m_drawsRoundCornerBesideArrow { true };
    gfx::ColorPtr m_backgroundColor;
    std::weak_ptr<ui::View> m_view;
    std::weak_ptr<ui::Window> m_window;
    gfx::Point m_point;
    int m_side { Below };
    float m_distance { 0 };
    gfx::Rect m_viewFrame;
    bool m_resizing { false };
    std::optional<fnd::NotificationObserverToken> m_resizeToken;
};
