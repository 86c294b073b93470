#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/Color.h"
#include "platform/ui/containers/SplitView.h"
#include "platform/ui/views/View.h"

#include <cstdint>

// The strip along the bottom (or top) of a pane that holds bar-style buttons: the bar's gradient and edge lines, a
// light line after its last button, and, when resizable, a grip at the end next to the split view's divider. It
// tells its buttons which of them touch its ends. Not flipped.
//
// In a vertical split view a resizable bar becomes the split view's delegate once loaded: the divider can then also
// be dragged by a 15-point strip over the grip. Every other question goes to the bar's own split-view delegate,
// and without one gets the split view's usual answer.
class ZORAnchoredButtonBar : public ui::View, public ui::SplitViewDelegate {
    FND_OBJECT(ZORAnchoredButtonBar)
    static void describeClass(fnd::ClassBuilder<ZORAnchoredButtonBar>& c);

public:
    ZORAnchoredButtonBar() = default;
    // Resizable, at the bottom.
    void initWithFrame(gfx::Rect frame) override;
    static std::shared_ptr<ZORAnchoredButtonBar> create(gfx::Rect frame = {});

    // Whether the last bar to be placed with setIsAtBottom went to the top.
    static bool wasBorderedBar();

    bool isResizable() const { return m_isResizable; }
    void setResizable(bool flag) { m_isResizable = flag; }
    bool isAtBottom() const { return m_isAtBottom; }
    void setAtBottom(bool flag) { m_isAtBottom = flag; }
    // Places the bar: 23 points high at the bottom, 24 at the top; redisplays.
    void setIsAtBottom(bool flag);
    // The grip is at the bar's left end (the bar lies in the split view's last pane).
    bool handleIsRightAligned() const { return m_handleIsRightAligned; }
    void setHandleIsRightAligned(bool flag) { m_handleIsRightAligned = flag; }
    // 0 at the bottom and resizable, 1 at the bottom, 2 at the top; other values change no flag.
    std::int32_t selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(std::int32_t index);

    // The nearest split view around the bar, and whether the bar lies in its last pane.
    std::shared_ptr<ui::SplitView> splitView() const;
    bool isInLastSubview() const;
    std::shared_ptr<ui::SplitViewDelegate> splitViewDelegate() const { return m_splitViewDelegate.lock(); }
    void setSplitViewDelegate(const std::shared_ptr<ui::SplitViewDelegate>& delegate)
    {
        m_splitViewDelegate = delegate;
    }

    void awakeFromNib() override;
    void viewDidMoveToSuperview() override;
    void drawRect(gfx::Rect dirtyRect) override;
    // Three grip lines three pixels apart from the rectangle's left edge.
    void drawResizeHandleInRect(gfx::Rect rect, const gfx::Color& color);
    // Tells the buttons whether they touch the bar's ends and draws a light line after the rightmost.
    void drawLastButtonInsetInRect(gfx::Rect rect);

    // The split-view delegate's questions.
    std::optional<gfx::Rect> splitViewAdditionalEffectiveRectOfDividerAtIndex(
        ui::SplitView& splitView, long index) override;
    std::optional<double> splitViewConstrainMinCoordinate(
        ui::SplitView& splitView, double proposed, long index) override;
    std::optional<double> splitViewConstrainMaxCoordinate(
        ui::SplitView& splitView, double proposed, long index) override;
    bool splitViewResizeSubviewsWithOldSize(ui::SplitView& splitView, gfx::Size oldSize) override;
    std::optional<bool> splitViewCanCollapseSubview(ui::SplitView& splitView, ui::View& subview) override;
    std::optional<double> splitViewConstrainSplitPosition(
        ui::SplitView& splitView, double proposed, long index) override;
    std::optional<gfx::Rect> splitViewEffectiveRectForDrawnRect(
        ui::SplitView& splitView, gfx::Rect proposedEffectiveRect, gfx::Rect drawnRect, long index) override;
    std::optional<bool> splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(
        ui::SplitView& splitView, ui::View& subview, long index) override;
    std::optional<bool> splitViewShouldHideDividerAtIndex(ui::SplitView& splitView, long index) override;
    std::optional<bool> splitViewShouldAdjustSizeOfSubview(ui::SplitView& splitView, ui::View& subview) override;
    void splitViewWillResizeSubviews(const fnd::Notification& notification) override;
    void splitViewDidResizeSubviews(const fnd::Notification& notification) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    bool m_isResizable { true };
    bool m_isAtBottom { true };
    bool m_handleIsRightAligned { false };
    std::int32_t m_selectedIndex { 0 };
    std::weak_ptr<ui::SplitViewDelegate> m_splitViewDelegate;
};
