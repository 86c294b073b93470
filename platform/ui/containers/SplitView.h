#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Axis.h"
#include "platform/graphics/Color.h"
#include "platform/ui/views/View.h"

#include <optional>

namespace ui {

class SplitView;

// Divider styles, with the platform's values.
enum class SplitViewDividerStyle { Thick = 1, Thin = 2, PaneSplitter = 3 };

// Names of the notifications a split view posts (object: the split view; userInfo "NSSplitViewDividerIndex" when a
// divider moved).
namespace SplitViewNotification {
inline const fnd::String WillResizeSubviews = "NSSplitViewWillResizeSubviewsNotification";
inline const fnd::String DidResizeSubviews = "NSSplitViewDidResizeSubviewsNotification";
inline const fnd::String DividerIndexKey = "NSSplitViewDividerIndex";
}

// Optional questions a split view asks its delegate. An answer of nullopt (or false from
// splitViewResizeSubviewsWithOldSize) means the delegate does not answer, and the split view does what it does
// without one. Coordinates are along the split axis in the split view's (flipped) coordinates.
class SplitViewDelegate {
public:
    virtual ~SplitViewDelegate() = default;
    // Whether the subview may collapse (default no).
    virtual std::optional<bool> splitViewCanCollapseSubview(SplitView&, View&) { return std::nullopt; }
    // Whether a double click on the divider collapses the subview (default no).
    virtual std::optional<bool> splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(SplitView&, View&, long)
    {
        return std::nullopt;
    }
    // The limits of a divider drag: the proposed ones are where a neighbour would vanish.
    virtual std::optional<double> splitViewConstrainMinCoordinate(SplitView&, double /*proposedMinimum*/, long)
    {
        return std::nullopt;
    }
    virtual std::optional<double> splitViewConstrainMaxCoordinate(SplitView&, double /*proposedMaximum*/, long)
    {
        return std::nullopt;
    }
    // Where a dragged divider goes for the position the mouse proposes.
    virtual std::optional<double> splitViewConstrainSplitPosition(SplitView&, double /*proposedPosition*/, long)
    {
        return std::nullopt;
    }
    // Lays the subviews out after the split view's size changed; true when the delegate did it.
    virtual bool splitViewResizeSubviewsWithOldSize(SplitView&, gfx::Size /*oldSize*/) { return false; }
    // Whether the subview takes part in a size change of the split view (default yes).
    virtual std::optional<bool> splitViewShouldAdjustSizeOfSubview(SplitView&, View&) { return std::nullopt; }
    // Whether the divider beside a collapsed subview is hidden (default no).
    virtual std::optional<bool> splitViewShouldHideDividerAtIndex(SplitView&, long) { return std::nullopt; }
    // Where a divider answers the mouse, for the rect it is drawn in.
    virtual std::optional<gfx::Rect> splitViewEffectiveRectForDrawnRect(
        SplitView&, gfx::Rect /*proposedEffectiveRect*/, gfx::Rect /*drawnRect*/, long)
    {
        return std::nullopt;
    }
    // Another place (split view coordinates) from which the divider can be dragged, such as a grip in a pane.
    virtual std::optional<gfx::Rect> splitViewAdditionalEffectiveRectOfDividerAtIndex(SplitView&, long)
    {
        return std::nullopt;
    }
    virtual void splitViewWillResizeSubviews(const fnd::Notification&) { }
    virtual void splitViewDidResizeSubviews(const fnd::Notification&) { }
};

// Lays its subviews side by side (vertical dividers) or one above the other, with dividers between them that the
// person drags. A subview whose size reaches zero where the delegate lets it collapse is collapsed: hidden, keeping
// the frame it had, so expanding returns to it. Divider positions can be kept in the user defaults under an
// autosave name. Flipped.
class SplitView : public View {
    FND_OBJECT(SplitView)
    static void describeClass(fnd::ClassBuilder<SplitView>& c);

public:
    SplitView() = default;
    static std::shared_ptr<SplitView> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // After the view's data: "NSIsVertical", "NSDividerStyle", "NSDividerColor", "NSAutosaveName" and "NSDelegate"
    // (conditional).
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Vertical dividers: the subviews are side by side.
    bool isVertical() const { return m_vertical; }
    // The axis the panes run along: x with vertical dividers, y with horizontal ones.
    gfx::Axis axis() const { return m_vertical ? gfx::Axis::X : gfx::Axis::Y; }
    void setVertical(bool flag);
    SplitViewDividerStyle dividerStyle() const { return m_dividerStyle; }
    void setDividerStyle(SplitViewDividerStyle style);
    virtual double dividerThickness() const;
    gfx::ColorPtr dividerColor() const;
    void setDividerColor(gfx::ColorPtr color);

    std::shared_ptr<SplitViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<SplitViewDelegate>& delegate) { m_delegate = delegate; }

    // Makes the subviews fill the split view again, each keeping its share of the length.
    void adjustSubviews();
    // Moves the divider's leading edge to the position; neighbours that reach zero collapse when allowed.
    void setPositionOfDivider(double position, long dividerIndex);
    // The divider's leading edge now.
    double positionOfDivider(long dividerIndex) const;
    // Where the divider could go before a neighbour vanished.
    double minPossiblePositionOfDividerAtIndex(long dividerIndex) const;
    double maxPossiblePositionOfDividerAtIndex(long dividerIndex) const;
    bool isSubviewCollapsed(const View& subview) const;
    // The divider's rect (empty when hidden or out of range).
    gfx::Rect dividerRect(long dividerIndex) const;
    virtual void drawDividerInRect(gfx::Rect rect);

    // Divider positions and collapsed subviews kept in the user defaults under "NSSplitView Subview Frames <name>";
    // setting a name restores what was kept under it.
    const fnd::String& autosaveName() const { return m_autosaveName; }
    void setAutosaveName(const fnd::String& name);
    bool restoreAutosavedPositions();

    // View.
    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    void resetCursorRects() override;
    void resizeSubviewsWithOldSize(gfx::Size oldSize) override;
    void didAddSubview(View& subview) override;
    // A pane taken away leaves no gap: the others share the split view again at the next layout pass.
    void willRemoveSubview(View& subview) override;
    void layout() override;

    // Accessibility: a split group of its panes, with its orientation.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }

private:
    // The thickness divider i takes now (0 when hidden beside a collapsed subview).
    double dividerThicknessAt(long index) const;
    // Each subview's length along the axis (0 when collapsed).
    std::vector<double> lengths() const;
    // Every divider's rect (dividerRect of each index), in one pass over the subviews.
    std::vector<gfx::Rect> dividerRects() const;
    // Which subviews applyLengths collapses for these lengths (a collapsed one, or one at no length the delegate
    // lets collapse), and the room the dividers take beside them.
    std::vector<bool> collapsedFor(const std::vector<double>& lengths);
    double dividersFor(const std::vector<bool>& collapsed);
    // Sets the subview frames from lengths; a zero length collapses a subview the delegate allows to.
    void applyLengths(const std::vector<double>& lengths, long dividerIndex);
    bool canCollapse(View& subview);
    // The divider under the point, including the delegate's effective and additional rects; -1 for none.
    long dividerIndexAtPoint(gfx::Point point);
    void trackDivider(long index, const Event& event);
    void saveAutosavedPositions();
    void postResize(const fnd::String& name, long dividerIndex);

    bool m_vertical { false };
    SplitViewDividerStyle m_dividerStyle { SplitViewDividerStyle::Thick };
    gfx::ColorPtr m_dividerColor;
    std::weak_ptr<SplitViewDelegate> m_delegate;
    fnd::String m_autosaveName;
    bool m_adjusting { false };
    bool m_paneRemoved { false };
};

}
