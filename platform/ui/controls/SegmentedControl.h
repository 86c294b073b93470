#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/SegmentedCell.h"

namespace ui {

// A control with a segmented cell; everything is forwarded to it. With the keyboard, Left and Right move between
// the segments and Space chooses one.
class SegmentedControl : public Control {
    FND_OBJECT(SegmentedControl)
    static void describeClass(fnd::ClassBuilder<SegmentedControl>& c);

public:
    SegmentedControl() = default;
    static std::shared_ptr<SegmentedControl> create(gfx::Rect frame = {});
    // Segments with the labels, sized to fit.
    static std::shared_ptr<SegmentedControl> segmentedControlWithLabels(const std::vector<fnd::String>& labels,
        SegmentSwitchTracking mode, const std::shared_ptr<fnd::Object>& target, fnd::Selector action);

    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<SegmentedCell> segmentedCell() const { return std::dynamic_pointer_cast<SegmentedCell>(cell()); }
    // The tip of the segment under the point.
    fnd::String toolTipAtPoint(gfx::Point point, gfx::Rect* rect = nullptr) override;

    long segmentCount() const;
    void setSegmentCount(long count);
    SegmentSwitchTracking trackingMode() const;
    void setTrackingMode(SegmentSwitchTracking mode);
    SegmentStyle segmentStyle() const;
    void setSegmentStyle(SegmentStyle style);
    long selectedSegment() const;
    void setSelectedSegment(long segment);
    bool selectSegmentWithTag(long tag);
    void setLabel(const fnd::String& label, long segment);
    fnd::String labelForSegment(long segment) const;
    void setImage(std::shared_ptr<gfx::Image> image, long segment);
    void setWidth(double width, long segment);
    void setTag(long tag, long segment);
    void setEnabled(bool enabled, long segment);
    bool isEnabledForSegment(long segment) const;
    void setSelected(bool selected, long segment);
    bool isSelectedForSegment(long segment) const;
    using Control::setEnabled;
    using Control::setTag;

    void keyDown(const Event& event) override;
};

}
