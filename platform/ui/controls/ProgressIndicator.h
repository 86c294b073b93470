#pragma once

#include "platform/ui/controls/ControlTypes.h"
#include "platform/ui/views/View.h"

namespace fnd {
class Timer;
}

namespace ui {

enum class ProgressIndicatorStyle { Bar = 0, Spinning = 1 };

// Shows progress: a bar filled up to the value between a minimum and a maximum, or a spinning arc (a pie when
// determinate). An indeterminate indicator shows motion instead of a value while it animates; the animation runs
// on a timer of the main run loop in the common modes, so it keeps moving in tracking loops and modal sessions (and
// moves with the virtual clock in tests).
class ProgressIndicator : public View {
    FND_OBJECT(ProgressIndicator)
    static void describeClass(fnd::ClassBuilder<ProgressIndicator>& c);

public:
    ProgressIndicator() = default;
    ~ProgressIndicator() override;
    static std::shared_ptr<ProgressIndicator> create(gfx::Rect frame = {});

    // How often the animation advances, in seconds.
    static constexpr double AnimationInterval = 1.0 / 30;
    // The steps of one full turn of the spinning arc (one pass of the moving bar).
    static constexpr int StepsPerCycle = 30;

    ProgressIndicatorStyle style() const { return m_style; }
    void setStyle(ProgressIndicatorStyle style);
    bool isIndeterminate() const { return m_indeterminate; }
    void setIndeterminate(bool flag);
    double minValue() const { return m_minValue; }
    void setMinValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);
    double doubleValue() const { return m_value; }
    void setDoubleValue(double value);
    void incrementBy(double delta) { setDoubleValue(m_value + delta); }
    ControlSize controlSize() const { return m_controlSize; }
    void setControlSize(ControlSize size);
    bool isBezeled() const { return m_bezeled; }
    void setBezeled(bool flag);
    bool isDisplayedWhenStopped() const { return m_displayedWhenStopped; }
    void setDisplayedWhenStopped(bool flag);
    // Kept for callers that ask; the animation always runs on the main run loop.
    bool usesThreadedAnimation() const { return m_usesThreadedAnimation; }
    void setUsesThreadedAnimation(bool flag) { m_usesThreadedAnimation = flag; }

    void startAnimation(const fnd::Value& sender = {});
    void stopAnimation(const fnd::Value& sender = {});
    bool isAnimating() const { return m_timer != nullptr; }
    // Advances the animation by one step.
    void animate(const fnd::Value& sender = {});
    // Steps taken since the animation started.
    long animationStep() const { return m_step; }
    // The natural size for the style and control size.
    void sizeToFit();

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void viewDidMoveToWindow() override;

    // Accessibility: a progress indicator with its value and range (no value while indeterminate).
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }

private:
    double fraction() const;

    ProgressIndicatorStyle m_style { ProgressIndicatorStyle::Bar };
    bool m_indeterminate { true };
    double m_minValue { 0 };
    double m_maxValue { 100 };
    double m_value { 0 };
    ControlSize m_controlSize { ControlSize::Regular };
    bool m_bezeled { true };
    bool m_displayedWhenStopped { true };
    bool m_usesThreadedAnimation { false };
    bool m_wantsAnimation { false };
    long m_step { 0 };
    std::shared_ptr<fnd::Timer> m_timer;
};

}
