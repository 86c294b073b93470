#pragma once

#include "platform/ui/controls/ActionCell.h"
#include "platform/ui/look/ControlLook.h"

#include <vector>

namespace ui {

// With the platform's values.
enum class SegmentSwitchTracking { SelectOne = 0, SelectAny = 1, Momentary = 2, MomentaryAccelerator = 3 };
enum class SegmentStyle {
    Automatic = 0,
    Rounded = 1,
    TexturedRounded = 2,
    RoundRect = 3,
    TexturedSquare = 4,
    Capsule = 5,
    SmallSquare = 6,
    Separated = 8,
};

// The cell of segmented controls: a row of segments, each with a label or image, a width (0: as wide as its
// content, sharing what is left of the frame), a tag, a tool tip, a menu and enabled and selected flags. The tracking
// mode decides what a click does: select one segment, toggle any, or act while pressed only. The value is the
// selected segment.
//
// Drawing: drawWithFrame draws the trough, then drawSegment for each segment in rectForSegment; both are virtual.
class SegmentedCell : public ActionCell {
    UI_CELL_OBJECT(SegmentedCell)
    static void describeClass(fnd::ClassBuilder<SegmentedCell>& c);

public:
    SegmentedCell() = default;
    void init();

    // Far beyond any row of segments a person can click; more is no control (setSegmentCount takes at most this
    // many, a decoder refuses more).
    static constexpr std::size_t MaximumSegmentCount = 10'000;
    long segmentCount() const { return static_cast<long>(m_segments.size()); }
    void setSegmentCount(long count);
    SegmentSwitchTracking trackingMode() const { return m_trackingMode; }
    void setTrackingMode(SegmentSwitchTracking mode);
    SegmentStyle segmentStyle() const { return m_segmentStyle; }
    virtual void setSegmentStyle(SegmentStyle style);

    // Segments; indexes out of range are ignored (getters answer the defaults).
    void setLabel(const fnd::String& label, long segment);
    fnd::String labelForSegment(long segment) const;
    void setImage(std::shared_ptr<gfx::Image> image, long segment);
    std::shared_ptr<gfx::Image> imageForSegment(long segment) const;
    void setImageScaling(ImageScaling scaling, long segment);
    ImageScaling imageScalingForSegment(long segment) const;
    void setWidth(double width, long segment);
    double widthForSegment(long segment) const;
    void setTag(long tag, long segment);
    long tagForSegment(long segment) const;
    void setEnabled(bool enabled, long segment);
    bool isEnabledForSegment(long segment) const;
    void setSelected(bool selected, long segment);
    bool isSelectedForSegment(long segment) const;
    void setMenu(std::shared_ptr<Menu> menu, long segment);
    std::shared_ptr<Menu> menuForSegment(long segment) const;
    void setToolTip(const fnd::String& toolTip, long segment);
    fnd::String toolTipForSegment(long segment) const;
    using ActionCell::setEnabled;
    using ActionCell::setImage;
    using ActionCell::setMenu;
    using ActionCell::setTag;

    // The last segment chosen (-1: none). Selecting one in select-one mode deselects the others.
    long selectedSegment() const { return m_selectedSegment; }
    virtual void setSelectedSegment(long segment);
    bool selectSegmentWithTag(long tag);
    // The segment the keyboard is on (moved with the arrow keys while the control has the keyboard).
    long keyboardSegment() const { return m_keySegment; }
    void makeNextSegmentKey();
    void makePreviousSegmentKey();
    // Chooses the segment as a click would (the tracking mode's rule), without sending the action.
    void chooseSegment(long segment);

    fnd::Value objectValue() const override { return fnd::Value(m_selectedSegment); }
    void setObjectValue(const fnd::Value& value) override;
    std::int64_t integerValue() const override { return m_selectedSegment; }
    double doubleValue() const override { return static_cast<double>(m_selectedSegment); }
    fnd::String stringValue() const override { return fnd::String(std::to_string(m_selectedSegment)); }

    // Geometry: the segment's rect in a frame, and which segment a point is in (-1: none).
    // Accessibility (ControlAccessibility.cpp): a radio group (a group unless one segment is chosen at a time)
    // whose children are its segments: radio buttons, check boxes or buttons as the tracking mode makes them,
    // pressed as a click on them would.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }

    virtual gfx::Rect rectForSegment(long segment, gfx::Rect frame) const;
    long segmentAtPoint(gfx::Point point, gfx::Rect frame) const;
    // The width a segment needs for its content.
    double naturalWidthForSegment(long segment) const;
    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;

    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    virtual void drawSegment(long segment, gfx::Rect frame, View& controlView);
    void drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View& controlView) override;

    bool trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool untilMouseUp) override;
    void setNextState() override { }

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    // The segment being pressed (-1: none).
    long pressedSegment() const { return m_pressedSegment; }
    // What the segment's face shows now.
    ControlLook::FaceState faceStateForSegment(long segment) const;

private:
    struct Segment {
        fnd::String label;
        std::shared_ptr<gfx::Image> image;
        ImageScaling imageScaling { ImageScaling::ProportionallyDown };
        double width { 0 };
        long tag { 0 };
        bool enabled { true };
        bool selected { false };
        std::shared_ptr<Menu> menu;
        fnd::String toolTip;
    };
    const Segment* segmentAt(long index) const;
    Segment* segmentAt(long index);

    std::vector<Segment> m_segments;
    SegmentSwitchTracking m_trackingMode { SegmentSwitchTracking::SelectOne };
    SegmentStyle m_segmentStyle { SegmentStyle::Automatic };
    long m_selectedSegment { -1 };
    long m_pressedSegment { -1 };
    long m_keySegment { 0 };
    // The segments' elements; a copy of the cell makes its own.
    struct AccessibilitySegments {
        AccessibilitySegments() = default;
        AccessibilitySegments(const AccessibilitySegments&) { }
        AccessibilitySegments& operator=(const AccessibilitySegments&) { return *this; }
        std::vector<std::shared_ptr<fnd::Object>> elements;
    };
    mutable AccessibilitySegments m_accessibilitySegments;
};

}
