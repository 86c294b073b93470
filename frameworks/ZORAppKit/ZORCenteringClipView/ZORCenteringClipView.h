#pragma once

#include "platform/ui/containers/ClipView.h"

// A clip view that shows a document smaller than itself centred: along each axis where the document is smaller it
// sits in the middle, whatever scroll is asked for; along an axis where it is larger it scrolls normally and never
// past its edges. Scroll positions fall on whole units of the clip view's bounds (also after a zoom through
// scaleUnitSquareToSize, which centres the document again in the new units). Every change of its frame (a move, a
// new size or a turn) centres the document again. The document's frame origin is taken to be (0, 0). Class version 1.
class ZORCenteringClipView : public ui::ClipView {
    FND_OBJECT(ZORCenteringClipView)

public:
    ZORCenteringClipView() = default;
    static std::shared_ptr<ZORCenteringClipView> create(gfx::Rect frame = {});

    // Centres the document view now; nothing without one.
    void centerDocument();
    gfx::Point constrainScrollPoint(gfx::Point proposedNewOrigin) override;
    // The document's menu, also for clicks in the margins around a centred document.
    std::shared_ptr<ui::Menu> menuForEvent(const ui::Event& event) override;

    void setDocumentView(const std::shared_ptr<ui::View>& view) override;
    void setFrame(gfx::Rect frame) override;
    void setFrameOrigin(gfx::Point origin) override;
    void setFrameSize(gfx::Size size) override;
    void setFrameRotation(double degrees) override;
    void scaleUnitSquareToSize(gfx::Size size) override;
    void viewFrameChanged(const fnd::Notification& notification) override;
    void viewBoundsChanged(const fnd::Notification& notification) override;
};
