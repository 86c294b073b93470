#pragma once

#include "frameworks/QFFlowView/QFButtonLayer.h"

#include "platform/graphics/BezierPath.h"

// A round play/pause indicator with a progress ring that lies over a movie item. "indicatorScale" (0: a small
// dark disc, 1: a larger disc with a ring) and "indicatorValue" (the ring's sweep, clockwise from the top) are
// animatable layer values whose change redraws it.
class QFVideoOverlayLayer : public ui::Layer {
    UI_LAYER_OBJECT(QFVideoOverlayLayer)

public:
    static constexpr double ExpandDuration = 0.15;

    QFVideoOverlayLayer() = default;
    // Constraints to its superlayer's centre and the play/pause button.
    static std::shared_ptr<QFVideoOverlayLayer> layer();

    const std::shared_ptr<QFButtonLayer>& buttonLayer() const { return m_buttonLayer; }
    double indicatorScale() const { return valueForKey("indicatorScale").doubleValue(); }
    void setIndicatorScale(double scale) { setValueForKey(scale, "indicatorScale"); }
    double indicatorValue() const { return valueForKey("indicatorValue").doubleValue(); }
    void setIndicatorValue(double value) { setValueForKey(value, "indicatorValue"); }

    static std::shared_ptr<gfx::BitmapImageRep> playImage();
    static std::shared_ptr<gfx::BitmapImageRep> pauseImage();
    static gfx::BezierPath newTrianglePathInRect(gfx::Rect rect);
    static gfx::BezierPath newPausePathInRect(gfx::Rect rect);

    // Grows to the ring (pause picture) or shrinks back to the disc (play picture) in 0.15 s.
    void expand();
    void collapse();
    void buttonClicked(const fnd::Value&) { }

    fnd::Value defaultValueForKey(const fnd::String& key) const override;
    bool needsDisplayForKey(const fnd::String& key) const override;
    void drawInContext(gfx::GraphicsContext& context) override;

private:
    void animateScale(double from, double to);
    std::shared_ptr<QFButtonLayer> m_buttonLayer;
};
