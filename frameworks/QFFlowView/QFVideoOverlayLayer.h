#pragma once

#include "frameworks/QFFlowView/QFButtonLayer.h"

#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/BezierPath.h"

// A round play/pause indicator with a progress ring that lies over a movie item. "indicatorScale" (0: a small
// dark disc, 1: a larger disc with a ring) and "indicatorValue" (the ring's sweep, clockwise from the top) are
// animatable layer values whose change redraws it.
class QFVideoOverlayLayer : public ui::Layer {
    UI_LAYER_OBJECT(QFVideoOverlayLayer)

public:
    static constexpr double ExpandDuration = 0.15;

    QFVideoOverlayLayer() = default;
    ~QFVideoOverlayLayer() override;
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

    // The button's target and action are the overlay's.
    std::shared_ptr<fnd::Object> target() const;
    void setTarget(const std::shared_ptr<fnd::Object>& target);
    fnd::Selector action() const;
    void setAction(fnd::Selector action);

    // A timer a movie player may hang here to refresh the ring; the overlay starts none and ends it when it goes.
    const std::shared_ptr<fnd::Timer>& movieUpdateTimer() const { return m_movieUpdateTimer; }
    void setMovieUpdateTimer(std::shared_ptr<fnd::Timer> timer);

    // The overlay watches its own "hidden" key while set up; taking it out of its superlayer ends the watch,
    // whether or not it was set up.
    void setupNotifications();
    void teardownNotifications();
    void removeFromSuperlayer() override;
    bool isObservingHidden() const { return m_observingHidden; }
    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;

    fnd::Value defaultValueForKey(const fnd::String& key) const override;
    bool needsDisplayForKey(const fnd::String& key) const override;
    void drawInContext(gfx::GraphicsContext& context) override;

private:
    void animateScale(double from, double to);
    std::shared_ptr<QFButtonLayer> m_buttonLayer;
    std::shared_ptr<fnd::Timer> m_movieUpdateTimer;
    bool m_observingHidden { false };
};
