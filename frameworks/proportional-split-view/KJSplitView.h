#pragma once

#include "frameworks/proportional-split-view/KJSplitSubview.h"
#include "frameworks/proportional-split-view/KJSplitViewDelegate.h"

#include "platform/graphics/Axis.h"
#include "platform/graphics/Color.h"

#include <array>
#include <vector>

namespace gfx {
class Image;
}
namespace ui {
class Cursor;
}

// Lays its panes (KJSplitSubview) out side by side (vertical, the default) or stacked (horizontal), with a divider
// of fixed thickness between each two visible neighbours, and keeps their proportions when resized: every pane is
// scaled by one ratio, held to its limits, rounded to whole points with the remainder carried to the next time, and
// panes that cannot fit collapse. Changes only ask for layout (setMustAdjust); the adjustment runs in the window's
// layout pass before the next drawing, or at once on a frame change. A nested split view takes the orientation opposite
// to its container's and, while coupled, its divider image and background. Flipped: the first pane is the left or top
// one.
class KJSplitView : public KJSplitSubview {
    FND_OBJECT(KJSplitView)
    static void describeClass(fnd::ClassBuilder<KJSplitView>& c);

public:
    KJSplitView() = default;
    static std::shared_ptr<KJSplitView> create(gfx::Rect frame = {});
    // With that many new panes.
    static std::shared_ptr<KJSplitView> create(gfx::Rect frame, std::size_t subviewCount);
    void initWithFrame(gfx::Rect frame) override;
    // The split view places its panes itself (initialising and decoding turn autoresizing off): it stays off.
    void setAutoresizesSubviews(bool) override { KJSplitSubview::setAutoresizesSubviews(false); }

    std::shared_ptr<KJSplitViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<KJSplitViewDelegate>& delegate) { m_delegate = delegate; }

    // Panes. A view that is not a KJSplitSubview is wrapped in a new one.
    void addSubview(const std::shared_ptr<ui::View>& view);
    void addSubview(const std::shared_ptr<ui::View>& view, ui::WindowOrderingMode place, const ui::View* relativeTo);
    void addSubviewAtPosition(const std::shared_ptr<ui::View>& view, std::size_t position);
    std::shared_ptr<KJSplitSubview> subviewWithIdentifier(const fnd::String& identifier) const;
    std::shared_ptr<KJSplitSubview> subviewAtPosition(std::size_t position) const;
    // The panes that are not hidden, in order.
    std::vector<std::shared_ptr<KJSplitSubview>> KJ_subviews() const;
    std::size_t KJ_numberOfSubviews() const;

    // Orientation and appearance.
    bool isHorizontal() const;
    void setHorizontal(bool flag);
    bool isVertical() const { return !isHorizontal(); }
    // The axis the panes run along: y when stacked (horizontal), x side by side.
    gfx::Axis axis() const { return isHorizontal() ? gfx::Axis::Y : gfx::Axis::X; }
    void setVertical(bool flag) { setHorizontal(!flag); }
    gfx::ColorPtr background() const;
    void setBackground(gfx::ColorPtr color);
    std::shared_ptr<gfx::Image> divider() const;
    void setDivider(const std::shared_ptr<gfx::Image>& image);
    // Whole points, within [0, LargestDividerThickness]; a value that is not finite counts as 0.
    static constexpr double LargestDividerThickness = 10000;
    double dividerThickness() const;
    void setDividerThickness(double thickness);
    double KJ_dividerThickness() const { return m_dividerThickness; }
    double KJ_dimensionWithoutDividers() const;
    fnd::String description() const override;

    // Coupling of a nested split view.
    void setCoupled(bool flag) override;
    bool isCoupled() const override;
    std::shared_ptr<KJSplitView> couplingSplitView() const override;
    std::shared_ptr<KJSplitView> coupledSplitView() const override;
    KJSplitView* asSplitView() override { return this; }

    // Adjusting: the view's layout is the adjustment.
    void setMustAdjust() { setNeedsLayout(); }
    bool mustAdjust() const { return needsLayout(); }
    void adjustSubviews() { KJ_adjustSubviewsExcepting(nullptr); }
    void adjustSubviewsExcepting(KJSplitSubview* subview);
    // Runs a due adjustment now, from the outermost split view down.
    void KJ_adjustOutermostIfNeeded();
    void KJ_setMustClearFractions() { m_mustClearFractions = true; }
    double KJ_dividerOrigin(std::size_t index) const;
    bool isDragging() const { return m_isDragging; }
    bool isInScrollView() const { return m_isInScrollView; }
    bool isAdjusting() const { return m_isAdjusting; }
    void KJ_setDragging(bool flag);
    void KJ_adjustSubviewsExcepting(KJSplitSubview* subview);
    const std::vector<gfx::Rect>& dividerRects() const { return m_dividers; }

    // Cursors by type: 0 dividers of a horizontal split view, 1 of a vertical one, 2 crossings, 3 while dragging.
    static std::shared_ptr<ui::Cursor> cursor(int type);
    static void setCursor(int type, const std::shared_ptr<ui::Cursor>& cursor);

    // Dividers.
    gfx::Rect KJ_dividerRect(std::size_t index, const ui::View* relativeTo) const;
    std::size_t KJ_dividerHitBy(gfx::Point point, const ui::View* relativeTo, double thickness) const;
    virtual void drawDivider(
        const std::shared_ptr<gfx::Image>& image, gfx::Rect rect, KJSplitSubview* leading, KJSplitSubview* trailing);
    void KJ_drawDividersIn(KJSplitView& container, gfx::Rect rect, double thickness);
    void KJ_addCursorRectsTo(KJSplitView& container, gfx::Rect rect, double thickness);
    // Follows one event of a divider drag; start and base in this view's coordinates.
    void KJ_trackMouseEvent(const ui::Event& event, gfx::Point start, gfx::Point base, std::size_t divider);

    // Autosave and state strings.
    static fnd::String defaultsKeyForName(const fnd::String& name, bool isHorizontal);
    static void removeStateUsingName(const fnd::String& name);
    const fnd::String& autosaveName() const { return m_autosaveName; }
    void setAutosaveName(const fnd::String& name, bool recursively);
    bool saveState(bool recursive);
    bool restoreState(bool recursive);
    bool canSaveState() const { return m_canSaveState; }
    fnd::String stringWithSavedState() const;
    fnd::Value arrayWithStates() const;
    bool setStateFromString(const fnd::String& string);
    bool setStatesFromArray(const fnd::Value& array);

    // View.
    bool isFlipped() const override { return true; }
    bool isOpaque() const override;
    bool acceptsFirstMouse(const ui::Event* event) override;
    bool shouldDelayWindowOrderingForEvent(const ui::Event& event) override;
    bool mouseDownCanMoveWindow() const override { return false; }
    void setFrame(gfx::Rect frame) override;
    void layout() override;
    void viewDidMoveToSuperview() override;
    void didAddSubview(ui::View& subview) override;
    void willRemoveSubview(ui::View& subview) override;
    void awakeFromNib() override;
    void drawRect(gfx::Rect dirtyRect) override;
    void resetCursorRects() override;
    void mouseDown(const ui::Event& event) override;

    // Coding.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    // Gives a pane its adjusted frame: it expands, collapses or just moves and resizes.
    void KJ_updateFromCache(
        KJSplitSubview& subview, gfx::Rect rect, double size, double fraction, double totalDimension);
    std::shared_ptr<KJSplitSubview> wrapped(const std::shared_ptr<ui::View>& view);
    void noteEnclosingScrollView();
    void dragDividers(const ui::Event& event, std::size_t index, gfx::Point point);
    void doubleClickDivider(std::size_t index);

    // The four ways a divider moves (dividers.cpp).
    void KJ_tryToExpandLeading(KJSplitSubview& leading, std::size_t divider, KJSplitSubview* partner, double delta);
    void KJ_tryToExpandTrailing(KJSplitSubview* trailing, KJSplitSubview& partner, double delta);
    void KJ_tryToShortenLeading(
        KJSplitSubview& leading, std::size_t divider, KJSplitSubview* trailing, double delta, bool always);
    void KJ_tryToShortenTrailing(
        KJSplitSubview* trailing, std::size_t divider, KJSplitSubview& leading, double delta, bool always);
    bool KJ_shouldResizeWindow(std::size_t divider, KJSplitSubview* leading, KJSplitSubview* trailing, bool grow);
    double windowRoom(bool grow) const;
    void resizeWindowBy(double change);

    std::weak_ptr<KJSplitViewDelegate> m_delegate;
    fnd::String m_autosaveName;
    gfx::ColorPtr m_background;
    std::shared_ptr<gfx::Image> m_divider;
    std::vector<gfx::Rect> m_dividers;
    double m_dividerThickness { 0 };
    bool m_mustClearFractions { false };
    bool m_isHorizontal { false };
    bool m_canSaveState { false };
    bool m_isCoupled { true };
    bool m_isAdjusting { false };
    bool m_isDragging { false };
    bool m_isInScrollView { false };
};
