#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/layers/LayerAction.h"
#include "platform/layers/LayerDelegate.h"
#include "platform/layers/Transform3D.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace gfx {
class BitmapImageRep;
class GraphicsContext;
}

namespace ui {

class LayerAnimation;

namespace detail {
struct LayerAccess;
struct AnimationRecord;
struct Departure;
struct PresentationCache;
}

// Autoresizing-mask bits of a layer, with the platform's values (the same as a view's).
namespace LayerAutoresizingMask {
constexpr unsigned NotSizable = 0;
constexpr unsigned MinXMargin = 1;
constexpr unsigned WidthSizable = 2;
constexpr unsigned MaxXMargin = 4;
constexpr unsigned MinYMargin = 8;
constexpr unsigned HeightSizable = 16;
constexpr unsigned MaxYMargin = 32;
}

// Where the contents image sits in the bounds, with the platform's values. Top is the bounds' maxY edge.
namespace ContentsGravity {
inline const fnd::String Center = "center";
inline const fnd::String Top = "top";
inline const fnd::String Bottom = "bottom";
inline const fnd::String Left = "left";
inline const fnd::String Right = "right";
inline const fnd::String TopLeft = "topLeft";
inline const fnd::String TopRight = "topRight";
inline const fnd::String BottomLeft = "bottomLeft";
inline const fnd::String BottomRight = "bottomRight";
inline const fnd::String Resize = "resize";
inline const fnd::String ResizeAspect = "resizeAspect";
inline const fnd::String ResizeAspectFill = "resizeAspectFill";
}

// One edge, centre or extent of a layer's frame, with the platform's values.
enum class ConstraintAttribute { MinX = 0, MidX = 1, MaxX = 2, Width = 3, MinY = 4, MidY = 5, MaxY = 6, Height = 7 };

// The source name that stands for the superlayer (its bounds) rather than a sibling (its frame).
inline const fnd::String ConstraintSuperlayerName = "superlayer";

// attribute = source's sourceAttribute × scale + offset, solved by ConstraintLayoutManager.
struct LayoutConstraint {
    ConstraintAttribute attribute { ConstraintAttribute::MinX };
    fnd::String sourceName { ConstraintSuperlayerName };
    ConstraintAttribute sourceAttribute { ConstraintAttribute::MinX };
    double scale { 1 };
    double offset { 0 };
    bool operator==(const LayoutConstraint&) const = default;
};

// A rectangle of content in a tree of layers that is composited in 3-D.
//
// Geometry. bounds is the layer's own coordinate system (y up); position is where its anchor point (a unit point
// of the bounds, the centre by default) lies in the superlayer's coordinates, and zPosition how far towards the
// eye. transform turns the layer about its anchor point; the superlayer's sublayerTransform acts on all its
// sublayers about the superlayer's anchor point, which is where a perspective's vanishing point goes. A layer's
// sublayers are flattened into its plane and drawn in ascending zPosition (equal ones in sublayer order); a
// replicator that preserves depth lets its sublayers keep their depth and sorts them by it instead.
//
// The frame ignores the transform: its origin is position − anchorPoint × bounds size and its size the bounds
// size, and setting it sets exactly those two. So it round-trips under 3-D turns, which have no rectangle of their
// own; where the layer shows on screen is convertRectToLayer(bounds, superlayer).
//
// Model and presentation. Setting a key changes the model at once. When the layer is part of a committed tree
// and the transaction allows actions, the key's action (the actions dictionary, then the delegate, then the class
// default) usually adds an animation, and the presentation copy shows the value moving there on the clock. A set
// that finds no action cancels the animations earlier actions added for the key, so the layer shows the new value
// at once. A layer made or inserted in the current transaction takes its values without animation.
//
// Any key the class does not declare is kept in the layer's value bag (KVC), copied to presentation copies and
// animatable like a declared number; the bag never raises for an unknown key.
//
// Thread safety: setters and getters may be called from any thread (one lock guards every layer). Drawing,
// layout, delegates and completions run on the main thread.
//
// Subclasses declare UI_LAYER_OBJECT(Class) instead of FND_OBJECT, keep their setup in an init() (not the
// constructor: presentation copies are made blank and then filled by initWithLayer, which subclasses with state
// extend), and register with FND_REGISTER_CLASS.
class Layer : public fnd::Object {
    FND_OBJECT(Layer)
    static void describeClass(fnd::ClassBuilder<Layer>& c);

public:
    Layer();
    ~Layer() override;
    static std::shared_ptr<Layer> layer() { return std::make_shared<Layer>(); }

    // Presentation copies.
    virtual std::shared_ptr<Layer> makeBlankLayer() const { return std::make_shared<Layer>(); }
    // Copies the model state of another layer of this class (subclasses add their own, calling the base first).
    virtual void initWithLayer(const Layer& layer);
    // A copy of the layer as shown now: animations applied at the current media time, sublayers likewise,
    // superlayer the presentation of the model's superlayer. Built for the whole tree at once and cached until
    // the tree or the time changes.
    std::shared_ptr<Layer> presentationLayer() const;
    // The model layer a presentation copy stands for; the layer itself for a model layer.
    std::shared_ptr<Layer> modelLayer() const;
    bool isPresentation() const { return m_isPresentation; }

    // Tree.
    std::shared_ptr<Layer> superlayer() const;
    std::vector<std::shared_ptr<Layer>> sublayers() const;
    void setSublayers(std::vector<std::shared_ptr<Layer>> layers);
    void addSublayer(const std::shared_ptr<Layer>& layer);
    // An index past the end appends.
    void insertSublayer(const std::shared_ptr<Layer>& layer, std::size_t index);
    void insertSublayerBelow(const std::shared_ptr<Layer>& layer, const Layer* sibling);
    void insertSublayerAbove(const std::shared_ptr<Layer>& layer, const Layer* sibling);
    void replaceSublayer(const Layer& old, const std::shared_ptr<Layer>& replacement);
    // Inserts the layers at the indexes, the places they take in the new list (as an index set names them: one past
    // the end appends), in one pass: k layers coming into a list of n cost O(n + k log k), where inserting them one by
    // one shifts the list for each. A layer already among the sublayers moves; a layer given twice comes once.
    void insertSublayers(const std::vector<std::shared_ptr<Layer>>& layers, const std::vector<std::size_t>& indexes);
    // Takes the layers that are sublayers of this one out of the list in one pass, the others keeping their order:
    // k of n leave in O(n + k log k), where taking them out one by one searches and shifts the list for each. Each
    // leaves as removeFromSuperlayer takes it out (its order-out action runs) and is then sent removeFromSuperlayer,
    // which finds it out already, so an override lets go of what it holds. Other layers are passed over.
    void removeSublayers(const std::vector<std::shared_ptr<Layer>>& layers);
    // Lets go of layers that left their trees. Many (ReleasedAtOnce or more) are let go on a worker thread, so that
    // freeing the layers of thousands of items, and everything below them, costs the calling thread nothing; the
    // values in `mainThreadValues` (what the layers show, such as the objects of a view's content) are let go on the
    // main thread after them, where such objects live.
    static constexpr std::size_t ReleasedAtOnce = 256;
    static void release(std::vector<std::shared_ptr<Layer>> layers, std::vector<fnd::Value> mainThreadValues = {});
    // Virtual, so that a layer that must let go of something when it leaves (an observation, a timer) does so
    // however it is taken out: through a base reference, or by its superlayer's setSublayers and replaceSublayer.
    virtual void removeFromSuperlayer();
    fnd::String name() const;
    void setName(const fnd::String& name);

    // Geometry.
    gfx::Rect bounds() const;
    void setBounds(gfx::Rect bounds);
    gfx::Point position() const;
    void setPosition(gfx::Point position);
    double zPosition() const;
    void setZPosition(double z);
    gfx::Point anchorPoint() const;
    void setAnchorPoint(gfx::Point anchor);
    double anchorPointZ() const;
    void setAnchorPointZ(double z);
    Transform3D transform() const;
    void setTransform(const Transform3D& transform);
    Transform3D sublayerTransform() const;
    void setSublayerTransform(const Transform3D& transform);
    gfx::Rect frame() const;
    void setFrame(gfx::Rect frame);
    // When false, the layer is not drawn while it faces away from the eye.
    bool isDoubleSided() const;
    void setDoubleSided(bool flag);

    // Content and looks.
    std::shared_ptr<gfx::BitmapImageRep> contents() const;
    void setContents(std::shared_ptr<gfx::BitmapImageRep> contents);
    fnd::String contentsGravity() const;
    void setContentsGravity(const fnd::String& gravity);
    // Pixels per point of the contents drawn by display (and of the contents image for the centring gravities).
    double contentsScale() const;
    void setContentsScale(double scale);
    gfx::ColorPtr backgroundColor() const;
    void setBackgroundColor(gfx::ColorPtr color);
    gfx::ColorPtr borderColor() const;
    void setBorderColor(gfx::ColorPtr color);
    double borderWidth() const;
    void setBorderWidth(double width);
    double cornerRadius() const;
    void setCornerRadius(double radius);
    // Clips the contents to the (rounded) bounds, and the sublayers too.
    bool masksToBounds() const;
    void setMasksToBounds(bool flag);
    bool isHidden() const;
    void setHidden(bool hidden);
    // A hint that the layer fills its bounds opaquely.
    bool isOpaque() const;
    void setOpaque(bool flag);
    double opacity() const;
    void setOpacity(double opacity);
    // The shadow is cast by the layer's own content (background, contents, drawing, border) in its plane.
    gfx::ColorPtr shadowColor() const;
    void setShadowColor(gfx::ColorPtr color);
    double shadowOpacity() const;
    void setShadowOpacity(double opacity);
    gfx::Size shadowOffset() const;
    void setShadowOffset(gfx::Size offset);
    double shadowRadius() const;
    void setShadowRadius(double radius);

    // Drawing. display() runs when the layer is drawn after setNeedsDisplay: the delegate's displayLayer, or else
    // a bitmap of the bounds at contentsScale drawn by drawInContext becomes the contents.
    void setNeedsDisplay();
    void setNeedsDisplayInRect(gfx::Rect rect);
    bool needsDisplay() const;
    void displayIfNeeded();
    virtual void display();
    // The default asks the delegate to draw.
    virtual void drawInContext(gfx::GraphicsContext& context);
    bool needsDisplayOnBoundsChange() const;
    void setNeedsDisplayOnBoundsChange(bool flag);
    // Whether a change of the key (also while it animates) redraws the layer; no key does by default.
    virtual bool needsDisplayForKey(const fnd::String& key) const;
    std::shared_ptr<LayerDelegate> delegate() const;
    void setDelegate(const std::shared_ptr<LayerDelegate>& delegate);

    // Layout. A change of the bounds size resizes the sublayers by their autoresizing masks and marks the layer
    // for layout; layoutIfNeeded lays out the layer and every sublayer that needs it.
    void setNeedsLayout();
    bool needsLayout() const;
    void layoutIfNeeded();
    // The layout manager's, else the delegate's layout.
    virtual void layoutSublayers();
    std::shared_ptr<LayoutManager> layoutManager() const;
    void setLayoutManager(const std::shared_ptr<LayoutManager>& manager);
    unsigned autoresizingMask() const;
    void setAutoresizingMask(unsigned mask);
    virtual void resizeSublayersWithOldSize(gfx::Size oldSize);
    virtual void resizeWithOldSuperlayerSize(gfx::Size oldSize);
    // The layout manager's answer, else the bounds size.
    virtual gfx::Size preferredFrameSize() const;
    std::vector<LayoutConstraint> constraints() const;
    void setConstraints(std::vector<LayoutConstraint> constraints);
    void addConstraint(const LayoutConstraint& constraint);

    // Conversions between layers of one tree (nullptr: the root's superlayer space, the hosting view's), through
    // every transform with the perspective divide. A point that lands behind the eye has no image.
    std::optional<gfx::Point> convertPointFromLayer(gfx::Point point, const Layer* layer) const;
    std::optional<gfx::Point> convertPointToLayer(gfx::Point point, const Layer* layer) const;
    // The bounding box of the converted corners (of the part in front of the eye; the zero rectangle if none).
    gfx::Rect convertRectFromLayer(gfx::Rect rect, const Layer* layer) const;
    gfx::Rect convertRectToLayer(gfx::Rect rect, const Layer* layer) const;
    // The frontmost shown layer under the point (in the superlayer's coordinates) among this layer and its
    // descendants, through the inverse of each plane's projection; hidden layers, layers turned away that are not
    // double-sided and parts outside a masking ancestor are not hit. Use it on the presentation tree to hit
    // what is on screen.
    std::shared_ptr<Layer> hitTest(gfx::Point point);
    // The point is in the layer's own coordinates.
    virtual bool containsPoint(gfx::Point point) const;
    // The part of the bounds inside the nearest scroll layer above (the bounds when there is none).
    gfx::Rect visibleRect() const;
    // Ask the nearest scroll layer above to show the point or rect (in this layer's coordinates).
    void scrollPoint(gfx::Point point);
    void scrollRectToVisible(gfx::Rect rect);

    // Actions and animations.
    // Values are actions (LayerAnimation objects) or Null for "no action".
    fnd::Dictionary actions() const;
    void setActions(fnd::Dictionary actions);
    // One dictionary for many layers made alike, which they share rather than copy (its actions are copied when they
    // run, so sharing them is safe).
    void shareActions(std::shared_ptr<const fnd::Dictionary> actions);
    // The actions dictionary, then the delegate, then defaultActionForKey; nullptr for none.
    virtual std::shared_ptr<LayerAction> actionForKey(const fnd::String& key);
    // A basic animation for the animatable keys of the class (geometry, opacity, colours, border, corner radius,
    // shadow); nullptr for others.
    virtual std::shared_ptr<LayerAction> defaultActionForKey(const fnd::String& key) const;
    // Adds a copy, replacing (and stopping) one under the same key; an empty key never replaces.
    void addAnimation(const std::shared_ptr<LayerAnimation>& animation, const fnd::String& key);
    std::shared_ptr<LayerAnimation> animationForKey(const fnd::String& key) const;
    std::vector<fnd::String> animationKeys() const;
    void removeAnimationForKey(const fnd::String& key);
    void removeAllAnimations();

    // The view (or other host) of a root layer, told when the tree must be drawn again.
    void setHost(const std::shared_ptr<LayerHost>& host);

    // The value bag.
    fnd::Value valueForUndefinedKey(const fnd::String& key) const override;
    void setValueForUndefinedKey(const fnd::Value& value, const fnd::String& key) override;
    // What an unset bag key reads as; nil by default.
    virtual fnd::Value defaultValueForKey(const fnd::String& key) const;

protected:
    // The one path of every change: compares, looks up the key's action, stores (under the layer lock), runs the
    // action or cancels what an earlier action started, redraws or relays out as the key needs and tells the host.
    void changeProperty(
        const fnd::String& key, const std::function<bool()>& differs, const std::function<void()>& store);
    template <typename T> void setProperty(const fnd::String& key, T& field, const T& value);
    template <typename T> T read(const T& field) const;
    // For constructors of subclasses: the default, set without the change machinery.
    void initNeedsDisplayOnBoundsChange(bool flag) { m_p.needsDisplayOnBoundsChange = flag; }
    // Whether the sublayers keep their depth in the superlayer's 3-D space instead of being flattened into this
    // layer's plane.
    virtual bool preservesSublayerDepth() const { return false; }

private:
    friend struct detail::LayerAccess;

    // A dictionary that copies share until one of them changes it: a presentation copy of a layer reads its
    // model's values without copying them. Used under the layer lock.
    class SharedDictionary {
    public:
        const fnd::Value* find(const fnd::String& key) const { return m_d ? m_d->find(key) : nullptr; }
        const fnd::Dictionary& get() const
        {
            static const fnd::Dictionary empty;
            return m_d ? *m_d : empty;
        }
        void assign(fnd::Dictionary d)
        {
            m_d = d.isEmpty() ? nullptr : std::make_shared<fnd::Dictionary>(std::move(d));
        }
        // Shared with its other holders: it is copied before any change (none while they hold it).
        void share(std::shared_ptr<const fnd::Dictionary> d)
        {
            m_d = std::const_pointer_cast<fnd::Dictionary>(std::move(d));
        }
        void set(const fnd::String& key, fnd::Value value) { own().set(key, std::move(value)); }
        void remove(const fnd::String& key)
        {
            if (m_d && m_d->contains(key))
                own().remove(key);
        }

    private:
        fnd::Dictionary& own()
        {
            if (!m_d)
                m_d = std::make_shared<fnd::Dictionary>();
            else if (m_d.use_count() > 1)
                m_d = std::make_shared<fnd::Dictionary>(*m_d);
            return *m_d;
        }
        std::shared_ptr<fnd::Dictionary> m_d;
    };

    struct Properties {
        fnd::String name;
        gfx::Rect bounds;
        gfx::Point position;
        double zPosition { 0 };
        gfx::Point anchorPoint { 0.5, 0.5 };
        double anchorPointZ { 0 };
        Transform3D transform;
        Transform3D sublayerTransform;
        bool doubleSided { true };
        std::shared_ptr<gfx::BitmapImageRep> contents;
        fnd::String contentsGravity { ContentsGravity::Resize };
        double contentsScale { 1 };
        gfx::ColorPtr backgroundColor;
        gfx::ColorPtr borderColor;
        double borderWidth { 0 };
        double cornerRadius { 0 };
        bool masksToBounds { false };
        bool hidden { false };
        bool opaque { false };
        double opacity { 1 };
        gfx::ColorPtr shadowColor;
        double shadowOpacity { 0 };
        gfx::Size shadowOffset { 0, -3 };
        double shadowRadius { 3 };
        bool needsDisplayOnBoundsChange { false };
        unsigned autoresizingMask { LayerAutoresizingMask::NotSizable };
        std::vector<LayoutConstraint> constraints;
        SharedDictionary actions;
        SharedDictionary bag;
    };

    void insertAt(const std::shared_ptr<Layer>& layer, std::size_t index);
    // Under the layer lock, for a layer just put into the list: its superlayer, the end of an order-out transition
    // it had (into `ended`, when given), and uncommitted until the transaction ends.
    void adoptSublayer(
        Layer& layer, const std::shared_ptr<Layer>& self, std::vector<std::shared_ptr<detail::Departure>>* ended);
    void detachFromSuperlayer();
    // Under the layer lock, for a layer just taken out of its superlayer's list.
    void leftSuperlayer(const std::shared_ptr<Layer>& parent);
    // Takes the `count` marked sublayers out of the list in one pass, unmarked; answers them in list order.
    std::vector<std::shared_ptr<Layer>> detachMarkedSublayers(std::size_t count);
    void afterChange(const fnd::String& key, gfx::Rect oldBounds);
    // What a change means to the layer itself: a new size lays out and may redraw it, a key that shows redraws it.
    void afterOwnChange(const fnd::String& key, gfx::Rect oldBounds);
    void boundsSizeChanged(gfx::Size oldSize);
    // Under the layer lock: the superlayers learn that a layer below them needs layout.
    void noteSublayerNeedsLayout();
    void treeDidChange();
    // Has the tree's host draw it again, with the model as it is (an animation moved on).
    void treeNeedsRedraw();

    Properties m_p;
    std::vector<std::shared_ptr<Layer>> m_sublayers;
    std::weak_ptr<Layer> m_superlayer;
    std::weak_ptr<LayerDelegate> m_delegate;
    std::weak_ptr<LayoutManager> m_layoutManager;
    std::weak_ptr<LayerHost> m_host;
    bool m_needsDisplay { false };
    bool m_needsLayout { false };
    // Some layer below may need layout: layoutIfNeeded goes down only there, so a layer of thousands of sublayers
    // that need none is not walked. It may stay set after the layer below was laid out on its own.
    bool m_sublayerNeedsLayout { false };
    // Part of a tree that has been committed: changes may animate.
    bool m_committed { false };
    // Under the layer lock, while many layers come into or leave a list at once: picked out without a table.
    bool m_marked { false };
    bool m_isPresentation { false };
    std::vector<std::shared_ptr<detail::AnimationRecord>> m_animations;
    // Layers that left this one and are still drawn while their order-out transition runs.
    std::vector<std::shared_ptr<detail::Departure>> m_departures;
    // Where the layer was before it was last removed, for its order-out transition.
    std::weak_ptr<Layer> m_formerSuperlayer;
    std::size_t m_formerIndex { 0 };
    // On a hosted root: its host was told to draw it and has not yet.
    bool m_redrawRequested { false };
    // On a root: the presentation tree last built.
    mutable std::shared_ptr<detail::PresentationCache> m_presentation;
    // On a presentation copy: the model layer, the transition state and the keys that animate now.
    std::weak_ptr<Layer> m_model;
    // On a model layer: counts its changes. On a copy: the count it was made from, the presentation pass that last
    // placed it, and whether a transition moved or faded it (so the next pass makes it afresh).
    std::uint64_t m_changes { 0 };
    // On a model layer: its copy in the last presentation tree that placed it (and that tree's cache).
    std::shared_ptr<Layer> m_presentationCopy;
    const detail::PresentationCache* m_presentationOwner { nullptr };
    std::uint64_t m_madeFromChanges { 0 };
    // A model layer's m_changes when its copy was last brought up to date, and whether that copy then showed the
    // model as it is (nothing animated or in transition): a pass can keep a hidden layer's copy without reading it.
    std::uint64_t m_presentedChanges { 0 };
    bool m_presentedStill { false };
    std::uint64_t m_presentationPass { 0 };
    bool m_transitioned { false };
    // On a copy: made for a hidden layer without its values (nothing reads a hidden copy); it is filled in when its
    // layer shows or someone asks for it.
    bool m_sketch { false };
    double m_transitionOpacity { 1 };
    gfx::Size m_transitionOffset;
    std::vector<fnd::String> m_animatingKeys;
};

namespace detail {

// The lock that guards every layer's state.
std::unique_lock<std::recursive_mutex> lockLayers();

template <typename T> bool sameValue(const T& a, const T& b)
{
    if constexpr (requires { a->isEqual(*b); })
        return a == b || (a && b && a->isEqual(*b));
    else
        return a == b;
}

// Lists of values (colours, locations) are the same when their elements are, one by one.
template <typename T> bool sameValue(const std::vector<T>& a, const std::vector<T>& b)
{
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const T& x, const T& y) { return detail::sameValue(x, y); });
}

}

template <typename T> void Layer::setProperty(const fnd::String& key, T& field, const T& value)
{
    changeProperty(
        key, [&] { return !detail::sameValue(field, value); }, [&] { field = value; });
}

template <typename T> T Layer::read(const T& field) const
{
    auto lock = detail::lockLayers();
    return field;
}

}

// Declares a layer subclass: FND_OBJECT plus the blank copy presentation trees are made from.
#define UI_LAYER_OBJECT(Class)                                                                                         \
    FND_OBJECT(Class)                                                                                                  \
public:                                                                                                                \
    std::shared_ptr<::ui::Layer> makeBlankLayer() const override                                                       \
    {                                                                                                                  \
        return std::make_shared<Class>();                                                                              \
    }                                                                                                                  \
                                                                                                                       \
private:
