#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Axis.h"
#include "platform/ui/views/View.h"

#include <vector>

namespace gfx {
class Image;
}

namespace ui {

class RulerMarker;
class RulerView;

// With the platform's values.
enum class RulerOrientation { Horizontal = 0, Vertical = 1 };

// What a ruler asks of its client view (a view that derives from this as well): whether and where markers move,
// appear and go, and what a press on the rule does. The defaults allow everything and keep the locations.
class RulerClient {
public:
    virtual ~RulerClient() = default;
    virtual bool rulerViewShouldMoveMarker(RulerView&, RulerMarker&) { return true; }
    virtual double rulerViewWillMoveMarker(RulerView&, RulerMarker&, double location) { return location; }
    virtual void rulerViewDidMoveMarker(RulerView&, RulerMarker&) { }
    virtual bool rulerViewShouldRemoveMarker(RulerView&, RulerMarker&) { return true; }
    virtual void rulerViewDidRemoveMarker(RulerView&, RulerMarker&) { }
    virtual bool rulerViewShouldAddMarker(RulerView&, RulerMarker&) { return true; }
    virtual double rulerViewWillAddMarker(RulerView&, RulerMarker&, double location) { return location; }
    virtual void rulerViewDidAddMarker(RulerView&, RulerMarker&) { }
    virtual void rulerViewHandleMouseDown(RulerView&, const Event&) { }
};

// A marker on a ruler: an image whose origin stands at a location in the client view's coordinates (along the
// ruler), on the ruler's baseline. Movable markers follow the mouse; removable ones go when dragged off the ruler.
class RulerMarker : public fnd::Object, public fnd::Coding {
    FND_OBJECT(RulerMarker)

public:
    RulerMarker() = default;
    RulerMarker(const std::shared_ptr<RulerView>& ruler, double location, std::shared_ptr<gfx::Image> image,
        gfx::Point imageOrigin);
    // An independent marker on the same ruler (subclasses copy their own state after calling it).
    virtual std::shared_ptr<RulerMarker> copy() const;

    std::shared_ptr<RulerView> ruler() const { return m_ruler.lock(); }
    void setRuler(const std::shared_ptr<RulerView>& ruler) { m_ruler = ruler; }
    double markerLocation() const { return m_location; }
    void setMarkerLocation(double location);
    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    void setImage(std::shared_ptr<gfx::Image> image);
    gfx::Point imageOrigin() const { return m_imageOrigin; }
    void setImageOrigin(gfx::Point origin);
    bool isMovable() const { return m_movable; }
    void setMovable(bool flag) { m_movable = flag; }
    bool isRemovable() const { return m_removable; }
    void setRemovable(bool flag) { m_removable = flag; }
    bool isDragging() const { return m_dragging; }
    const fnd::Value& representedObject() const { return m_representedObject; }
    void setRepresentedObject(const fnd::Value& object) { m_representedObject = object; }

    // Where the image is drawn in the ruler's coordinates, and how much thickness it needs.
    virtual gfx::Rect imageRectInRuler() const;
    virtual double thicknessRequiredInRuler() const;
    virtual void drawRect(gfx::Rect rect);
    // Follows the mouse from a press until it goes up, moving (or, when adding, placing) the marker as the client
    // allows; true when the marker ended on the ruler.
    virtual bool trackMouse(const Event& event, bool adding);

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    RulerMarker(const RulerMarker&) = default;

private:
    std::weak_ptr<RulerView> m_ruler;
    double m_location { 0 };
    std::shared_ptr<gfx::Image> m_image;
    gfx::Point m_imageOrigin;
    bool m_movable { true };
    bool m_removable { false };
    bool m_dragging { false };
    fnd::Value m_representedObject;
};

// A ruler along the top (horizontal) or left (vertical) edge of a scroll view's content, measuring its client view:
// from the outside in, an area for an accessory view, one for markers, then the rule with its hash marks and
// labels in the measurement units. Its thickness across is requiredThickness; the scroll view it belongs to places
// it and sizes it so (or, standing alone, it sets its own frame to that thickness).
class RulerView : public View {
    FND_OBJECT(RulerView)
    static void describeClass(fnd::ClassBuilder<RulerView>& c);

public:
    RulerView() = default;
    ~RulerView() override;
    static std::shared_ptr<RulerView> create(const std::shared_ptr<View>& scrollView, RulerOrientation orientation);
    void initWithScrollView(const std::shared_ptr<View>& scrollView, RulerOrientation orientation);

    // Units: a name, its abbreviation, its size in points, and how marks repeat going up (labels further apart)
    // and down (finer marks between labels). Points, Inches, Centimeters and Picas are there from the start.
    static void registerUnitWithName(const fnd::String& name, const fnd::String& abbreviation,
        double unitToPointsConversionFactor, std::vector<double> stepUpCycle, std::vector<double> stepDownCycle);

    std::shared_ptr<View> scrollView() const { return m_scrollView.lock(); }
    void setScrollView(const std::shared_ptr<View>& scrollView);
    RulerOrientation orientation() const { return m_orientation; }
    // The axis locations run along: x on a horizontal ruler, y on a vertical one.
    gfx::Axis axis() const { return m_orientation == RulerOrientation::Horizontal ? gfx::Axis::X : gfx::Axis::Y; }
    void setOrientation(RulerOrientation orientation);
    std::shared_ptr<View> clientView() const { return m_clientView.lock(); }
    virtual void setClientView(const std::shared_ptr<View>& client);

    double ruleThickness() const { return m_ruleThickness; }
    // Thicknesses are from 0 to LargestRulerLength and the origin offset within it of 0, as archives hold them; NaN
    // keeps the number there is.
    static constexpr double LargestRulerLength = 1e6;
    virtual void setRuleThickness(double thickness);
    double reservedThicknessForMarkers() const { return m_reservedForMarkers; }
    void setReservedThicknessForMarkers(double thickness);
    double reservedThicknessForAccessoryView() const { return m_reservedForAccessory; }
    void setReservedThicknessForAccessoryView(double thickness);
    // The thickness across the ruler that its parts need.
    virtual double requiredThickness() const;
    // Across, the frame stays requiredThickness; the rest is the caller's.
    void setFrame(gfx::Rect frame) override;
    // Where markers stand across the ruler: the edge between the marker area and the rule.
    virtual double baselineLocation() const;
    const std::shared_ptr<View>& accessoryView() const { return m_accessoryView; }
    void setAccessoryView(const std::shared_ptr<View>& view);

    // The distance from the client's bounds origin to the zero mark, in the client's coordinates.
    double originOffset() const { return m_originOffset; }
    void setOriginOffset(double offset);
    const fnd::String& measurementUnits() const { return m_units; }
    void setMeasurementUnits(const fnd::String& unitName);
    void invalidateHashMarks() { setNeedsDisplay(true); }

    // Markers.
    virtual std::vector<std::shared_ptr<RulerMarker>> markers() const { return m_markers; }
    virtual void setMarkers(const std::vector<std::shared_ptr<RulerMarker>>& markers);
    virtual void addMarker(const std::shared_ptr<RulerMarker>& marker);
    virtual void removeMarker(const std::shared_ptr<RulerMarker>& marker);
    // Places a new marker with the mouse (the client is asked as for any marker); true when it was added.
    bool trackMarker(const std::shared_ptr<RulerMarker>& marker, const Event& event);

    // Between the client's coordinate along the ruler and the ruler's own.
    double rulerLocationForClientLocation(double location) const;
    double clientLocationForRulerLocation(double location) const;
    // The client's rulerline at a location moved (a text view's caret while dragging): the ruler redraws there.
    void moveRulerlineFromLocation(double oldLocation, double newLocation);

    bool isFlipped() const override;
    bool isOpaque() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    virtual void drawHashMarksAndLabelsInRect(gfx::Rect rect);
    virtual void drawMarkersInRect(gfx::Rect rect);
    void mouseDown(const Event& event) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    // The ruler asks for its thickness: its own frame follows, and a scroll view lays its rulers out again.
    void noteThicknessChanged();

    std::weak_ptr<View> m_scrollView;
    std::weak_ptr<View> m_clientView;
    RulerOrientation m_orientation { RulerOrientation::Horizontal };
    double m_ruleThickness { 16 };
    double m_reservedForMarkers { 15 };
    double m_reservedForAccessory { 0 };
    double m_originOffset { 0 };
    fnd::String m_units { "Points" };
    std::shared_ptr<View> m_accessoryView;
    std::vector<std::shared_ptr<RulerMarker>> m_markers;
    std::vector<double> m_rulerlines;
    fnd::NotificationObserverToken m_scrollObserver;
};

}
