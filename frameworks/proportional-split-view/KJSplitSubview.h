#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/Axis.h"
#include "platform/ui/views/View.h"

#include <cstddef>
#include <limits>
#include <memory>

class KJSplitView;

// One pane of a proportional split view (KJSplitView): its limits along the split axis (its width in a vertical
// split view, its height in a horizontal one), collapsing to zero and expanding again (at once or animated), an
// identifier and tag to find it by, and the rounding remainder of the last proportional adjustment. A KJSplitView is
// itself a KJSplitSubview, so split views nest.
class KJSplitSubview : public ui::View {
    FND_OBJECT(KJSplitSubview)
    static void describeClass(fnd::ClassBuilder<KJSplitSubview>& c);

public:
    static constexpr std::size_t NoDivider = std::numeric_limits<std::size_t>::max();
    static constexpr double DefaultMaxDimension = 1000000.0;
    // Collapsing a pane dragged below this share of its minimum, expanding one dragged open past the other.
    static constexpr double CollapseThreshold = 0.45;
    static constexpr double ExpandThreshold = 0.55;

    KJSplitSubview() = default;
    ~KJSplitSubview() override;
    static std::shared_ptr<KJSplitSubview> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;

    // Whether some pane animates now (one at a time in the process).
    static bool animating();

    // Structure.
    std::shared_ptr<KJSplitView> splitView() const;
    virtual std::shared_ptr<KJSplitView> couplingSplitView() const { return splitView(); }
    std::shared_ptr<KJSplitView> outermostSplitView() const;
    bool splitViewIsHorizontal() const;
    virtual KJSplitView* asSplitView() { return nullptr; }
    virtual std::shared_ptr<KJSplitView> coupledSplitView() const { return nullptr; }
    virtual bool isCoupled() const { return false; }
    virtual void setCoupled(bool) { }
    std::size_t numberOfSubviews() const { return subviews().size(); }
    // The index among the split view's subviews (0 without one); setting it moves the pane there.
    std::size_t position() const;
    void setPosition(std::size_t position);
    long tag() const override { return m_tag; }
    void setTag(long tag) { m_tag = tag; }
    const fnd::String& identifier() const { return m_identifier; }
    void setIdentifier(const fnd::String& identifier) { m_identifier = identifier; }
    fnd::String description() const override;
    // Hides or shows the pane; the split view then lays the others out again.
    void setHidden(bool hidden);

    // Dimension and limits.
    double minDimension() const { return m_minDimension; }
    double maxDimension() const { return m_maxDimension; }
    void setMinDimension(double minimum, double maximum);
    // The visible dimension, or for a collapsed pane the one it would expand to.
    double dimension() const;
    void setDimension(double value);
    bool isCollapsed() const { return KJ_visibleDimension() <= 0; }
    bool canShrink() const;
    bool canExpand() const { return m_maxDimension > KJ_visibleDimension(); }
    // 0 expanded, 1 collapsed, -1 collapsing, -2 expanding.
    int status() const;
    bool canCollapse() const;
    void setCanCollapse(bool flag) { m_canCollapse = flag; }
    double fraction() const { return m_fraction; }

    // Collapse and expand; each answers the change of the dimension.
    double collapse();
    double expand();
    bool collapseWithAnimation() { return collapseWithAnimation(true, true); }
    bool expandWithAnimation() { return expandWithAnimation(true, true); }
    bool collapseWithAnimation(bool animate, bool resize);
    bool expandWithAnimation(bool animate, bool resize);
    // The primitive of divider dragging: answers the change actually made.
    double changeDimensionBy(double delta, bool mayCollapse, bool move);

    // View.
    bool isFlipped() const override { return false; }
    bool isOpaque() const override;
    void drawRect(gfx::Rect dirtyRect) override;
    void resizeSubviewsWithOldSize(gfx::Size oldSize) override;
    std::shared_ptr<ui::View> hitTest(gfx::Point point) override;
    void mouseDown(const ui::Event& event) override;

    // Coding: the view's data (its frame marked while collapsed), then the pane's keys.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    gfx::Rect frameForCoding() const override;

public:
    // Used by the split view and the animation.
    double KJ_visibleDimension() const;
    double KJ_fraction() const { return m_fraction; }
    void KJ_setHidden(bool hidden) { View::setHidden(hidden); }
    void KJ_setFrame(gfx::Rect frame, double fraction, bool notify);
    void KJ_setFrameSize(gfx::Size size, double fraction);
    bool KJ_clearResponder();
    double KJ_collapse();
    void KJ_finishCollapse(gfx::Rect frame, double fraction);
    void KJ_finishExpand(gfx::Rect frame, double fraction);
    double KJ_expandAndSetToMinimum(bool toMinimum);
    double KJ_setMinAndMaxTo(double value, double& savedMin, double& savedMax);
    bool KJ_stopAnimation();
    void KJ_stepAnimation();
    std::size_t actDivider() const { return m_actDivider; }
    bool canDragWindow() const { return m_canDragWindow; }
    gfx::Rect previous() const { return m_previous; }
    gfx::Size savedSize() const { return m_savedSize; }

protected:
    // The axis of the split view the pane is in (x without one).
    gfx::Axis splitAxis() const;
    // Reads the pane's own part of an archive; the split view reads its part after it.

private:
    // What initWithFrame sets besides the frame; decoding sets it too, before the archived values.
    void setPaneDefaults(gfx::Size size);
    struct Animation;
    static std::unique_ptr<Animation>& animationRecord();
    // The record when this pane owns it; with create, a new one when the animation is long enough.
    Animation* KJ_animationData(bool create, bool resize);
    bool ownsAnimation() const;
    void dragDivider(const ui::Event& event);
    // Whether the window's background shows at the hit view, so a press there may move the window.
    bool showsWindowBackground(const ui::View& hit) const;
    // A press on the pane's background of a window movable by it moves the window with the mouse.
    void moveWindowWithMouse(const ui::Event& event);

    fnd::String m_identifier;
    long m_tag { 0 };
    double m_minDimension { 1.0 };
    double m_maxDimension { DefaultMaxDimension };
    double m_fraction { 0.0 };
    gfx::Rect m_previous;
    gfx::Size m_savedSize;
    std::size_t m_actDivider { NoDivider };
    bool m_canDragWindow { false };
    bool m_canCollapse { false };
    bool m_notInLimits { false };
};
