#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Color.h"
#include "platform/ui/views/View.h"

namespace ui {

// The view a scroll view shows its document through: the document view is its one subview, and its bounds origin
// is the scroll position in the document's coordinates. It is flipped when the document view is. Every scroll goes
// through constrainScrollPoint, so a subclass decides where scrolling may go; the clip view follows the document
// view's frame and bounds changes (viewFrameChanged, viewBoundsChanged) and tells its scroll view to update the
// scrollers.
class ClipView : public View {
    FND_OBJECT(ClipView)
    static void describeClass(fnd::ClassBuilder<ClipView>& c);

public:
    ClipView() = default;
    ~ClipView() override;
    static std::shared_ptr<ClipView> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // After the view's data, its parts (as references to its subviews) and settings; see ContainersCoding.cpp.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    const std::shared_ptr<View>& documentView() const { return m_documentView; }
    // The clip view itself or one of its ancestors (its scroll view) raises InvalidArgument and changes nothing.
    virtual void setDocumentView(const std::shared_ptr<View>& view);
    // The document's frame, grown to the clip view's size where the document is smaller (clip view coordinates).
    gfx::Rect documentRect() const;
    // The part of the document shown, in the document view's coordinates.
    gfx::Rect documentVisibleRect() const;

    // Where a scroll to the proposed bounds origin may go: by default kept so the bounds stay inside documentRect.
    virtual gfx::Point constrainScrollPoint(gfx::Point proposedNewOrigin);
    // Scrolls to the point (constrained) and tells the scroll view.
    virtual void scrollToPoint(gfx::Point newOrigin);
    // Scrolls towards the event's location when it lies outside the bounds (by the distance it lies outside).
    bool autoscroll(const Event& event) override;

    // Sent when the document view's frame or bounds changed: the scroll position is constrained again.
    virtual void viewFrameChanged(const fnd::Notification& notification);
    virtual void viewBoundsChanged(const fnd::Notification& notification);

    const gfx::ColorPtr& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(gfx::ColorPtr color);
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool flag);
    bool copiesOnScroll() const { return m_copiesOnScroll; }
    void setCopiesOnScroll(bool flag) { m_copiesOnScroll = flag; }

    // View.
    bool isFlipped() const override { return m_documentView && m_documentView->isFlipped(); }
    bool isOpaque() const override;
    void drawRect(gfx::Rect dirtyRect) override;
    void setFrame(gfx::Rect frame) override;
    void setBounds(gfx::Rect bounds) override;
    void scaleUnitSquareToSize(gfx::Size size) override;
    void willRemoveSubview(View& subview) override;
    bool scrollRectToVisible(gfx::Rect rect) override;

protected:
    // Tells the enclosing scroll view that the scroll position or the document changed.
    void reflectToScrollView();

private:
    void observeDocument();
    void stopObservingDocument();

    std::shared_ptr<View> m_documentView;
    gfx::ColorPtr m_backgroundColor;
    bool m_drawsBackground { true };
    bool m_copiesOnScroll { true };
    fnd::NotificationObserverToken m_frameObserver;
    fnd::NotificationObserverToken m_boundsObserver;
};

}
