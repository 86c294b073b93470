#include "platform/layers/Layer.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/Transaction.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(Layer, fnd::Object)

using detail::LayerAccess;
using detail::lockLayers;

void Layer::describeClass(fnd::ClassBuilder<Layer>& c)
{
    c.property("name", &Layer::name, &Layer::setName);
    c.property("bounds", &Layer::bounds, &Layer::setBounds);
    c.property("position", &Layer::position, &Layer::setPosition);
    c.property("zPosition", &Layer::zPosition, &Layer::setZPosition);
    c.property("anchorPoint", &Layer::anchorPoint, &Layer::setAnchorPoint);
    c.property("anchorPointZ", &Layer::anchorPointZ, &Layer::setAnchorPointZ);
    c.property("transform", &Layer::transform, &Layer::setTransform);
    c.property("sublayerTransform", &Layer::sublayerTransform, &Layer::setSublayerTransform);
    c.property("frame", &Layer::frame, &Layer::setFrame);
    c.property("doubleSided", &Layer::isDoubleSided, &Layer::setDoubleSided);
    c.property("contents", &Layer::contents, &Layer::setContents);
    c.property("contentsGravity", &Layer::contentsGravity, &Layer::setContentsGravity);
    c.property("contentsScale", &Layer::contentsScale, &Layer::setContentsScale);
    c.property("backgroundColor", &Layer::backgroundColor, &Layer::setBackgroundColor);
    c.property("borderColor", &Layer::borderColor, &Layer::setBorderColor);
    c.property("borderWidth", &Layer::borderWidth, &Layer::setBorderWidth);
    c.property("cornerRadius", &Layer::cornerRadius, &Layer::setCornerRadius);
    c.property("masksToBounds", &Layer::masksToBounds, &Layer::setMasksToBounds);
    c.property("hidden", &Layer::isHidden, &Layer::setHidden);
    c.property("opaque", &Layer::isOpaque, &Layer::setOpaque);
    c.property("opacity", &Layer::opacity, &Layer::setOpacity);
    c.property("shadowColor", &Layer::shadowColor, &Layer::setShadowColor);
    c.property("shadowOpacity", &Layer::shadowOpacity, &Layer::setShadowOpacity);
    c.property("shadowOffset", &Layer::shadowOffset, &Layer::setShadowOffset);
    c.property("shadowRadius", &Layer::shadowRadius, &Layer::setShadowRadius);
    c.property("needsDisplayOnBoundsChange", &Layer::needsDisplayOnBoundsChange, &Layer::setNeedsDisplayOnBoundsChange);
    c.property("autoresizingMask", &Layer::autoresizingMask, &Layer::setAutoresizingMask);
    c.property("actions", &Layer::actions, &Layer::setActions);
    c.property("superlayer", &Layer::superlayer);
    c.property("sublayers", &Layer::sublayers, &Layer::setSublayers);
}

Layer::Layer()
{
    // Colours are immutable: every layer starts with the same black (a tree of thousands made two colours each).
    static const gfx::ColorPtr black = gfx::Color::colorWithCalibratedWhite(0, 1);
    m_p.borderColor = black;
    m_p.shadowColor = black;
}

Layer::~Layer()
{
    if (m_needsLayout)
        --detail::pendingModelWork();
    if (m_needsDisplay)
        --detail::pendingModelWork();
    // Transactions waiting for these animations must not wait for ever; their completions run later, on the main
    // run loop, not inside this destructor.
    std::vector<std::shared_ptr<detail::CompletionGroup>> groups;
    for (const auto& record : m_animations)
        groups.insert(groups.end(), record->groups.begin(), record->groups.end());
    for (const auto& departure : m_departures)
        groups.insert(groups.end(), departure->groups.begin(), departure->groups.end());
    if (!groups.empty())
        fnd::RunLoop::main().post([groups = std::move(groups)] {
            for (const auto& group : groups)
                group->finishOne();
        });
}

void Layer::initWithLayer(const Layer& layer)
{
    auto lock = lockLayers();
    m_p = layer.m_p;
}

std::shared_ptr<Layer> Layer::presentationLayer() const
{
    return LayerAccess::presentationOf(*this);
}

std::shared_ptr<Layer> Layer::modelLayer() const
{
    if (m_isPresentation)
        return m_model.lock();
    return std::const_pointer_cast<Layer>(std::static_pointer_cast<const Layer>(weak_from_this().lock()));
}

fnd::String Layer::name() const
{
    return read(m_p.name);
}

void Layer::setName(const fnd::String& name)
{
    setProperty("name", m_p.name, name);
}

// Geometry.

gfx::Rect Layer::bounds() const
{
    return read(m_p.bounds);
}

void Layer::setBounds(gfx::Rect bounds)
{
    setProperty("bounds", m_p.bounds, bounds);
}

gfx::Point Layer::position() const
{
    return read(m_p.position);
}

void Layer::setPosition(gfx::Point position)
{
    setProperty("position", m_p.position, position);
}

double Layer::zPosition() const
{
    return read(m_p.zPosition);
}

void Layer::setZPosition(double z)
{
    setProperty("zPosition", m_p.zPosition, z);
}

gfx::Point Layer::anchorPoint() const
{
    return read(m_p.anchorPoint);
}

void Layer::setAnchorPoint(gfx::Point anchor)
{
    setProperty("anchorPoint", m_p.anchorPoint, anchor);
}

double Layer::anchorPointZ() const
{
    return read(m_p.anchorPointZ);
}

void Layer::setAnchorPointZ(double z)
{
    setProperty("anchorPointZ", m_p.anchorPointZ, z);
}

Transform3D Layer::transform() const
{
    return read(m_p.transform);
}

void Layer::setTransform(const Transform3D& transform)
{
    setProperty("transform", m_p.transform, transform);
}

Transform3D Layer::sublayerTransform() const
{
    return read(m_p.sublayerTransform);
}

void Layer::setSublayerTransform(const Transform3D& transform)
{
    setProperty("sublayerTransform", m_p.sublayerTransform, transform);
}

gfx::Rect Layer::frame() const
{
    auto lock = lockLayers();
    const auto& b = m_p.bounds;
    return { m_p.position.x - m_p.anchorPoint.x * b.width(), m_p.position.y - m_p.anchorPoint.y * b.height(), b.width(),
        b.height() };
}

void Layer::setFrame(gfx::Rect frame)
{
    frame = gfx::standardizedRect(frame);
    gfx::Point anchor = anchorPoint();
    gfx::Rect b = bounds();
    setPosition({ frame.minX() + anchor.x * frame.width(), frame.minY() + anchor.y * frame.height() });
    setBounds({ b.origin, frame.size });
}

bool Layer::isDoubleSided() const
{
    return read(m_p.doubleSided);
}

void Layer::setDoubleSided(bool flag)
{
    setProperty("doubleSided", m_p.doubleSided, flag);
}

// Content and looks.

std::shared_ptr<gfx::BitmapImageRep> Layer::contents() const
{
    return read(m_p.contents);
}

void Layer::setContents(std::shared_ptr<gfx::BitmapImageRep> contents)
{
    changeProperty(
        "contents", [&] { return m_p.contents != contents; }, [&] { m_p.contents = contents; });
}

fnd::String Layer::contentsGravity() const
{
    return read(m_p.contentsGravity);
}

void Layer::setContentsGravity(const fnd::String& gravity)
{
    setProperty("contentsGravity", m_p.contentsGravity, gravity);
}

double Layer::contentsScale() const
{
    return read(m_p.contentsScale);
}

void Layer::setContentsScale(double scale)
{
    setProperty("contentsScale", m_p.contentsScale, scale > 0 ? scale : 1.0);
}

gfx::ColorPtr Layer::backgroundColor() const
{
    return read(m_p.backgroundColor);
}

void Layer::setBackgroundColor(gfx::ColorPtr color)
{
    setProperty("backgroundColor", m_p.backgroundColor, color);
}

gfx::ColorPtr Layer::borderColor() const
{
    return read(m_p.borderColor);
}

void Layer::setBorderColor(gfx::ColorPtr color)
{
    setProperty("borderColor", m_p.borderColor, color);
}

double Layer::borderWidth() const
{
    return read(m_p.borderWidth);
}

void Layer::setBorderWidth(double width)
{
    setProperty("borderWidth", m_p.borderWidth, std::max(0.0, width));
}

double Layer::cornerRadius() const
{
    return read(m_p.cornerRadius);
}

void Layer::setCornerRadius(double radius)
{
    setProperty("cornerRadius", m_p.cornerRadius, std::max(0.0, radius));
}

bool Layer::masksToBounds() const
{
    return read(m_p.masksToBounds);
}

void Layer::setMasksToBounds(bool flag)
{
    setProperty("masksToBounds", m_p.masksToBounds, flag);
}

bool Layer::isHidden() const
{
    return read(m_p.hidden);
}

void Layer::setHidden(bool hidden)
{
    setProperty("hidden", m_p.hidden, hidden);
}

bool Layer::isOpaque() const
{
    return read(m_p.opaque);
}

void Layer::setOpaque(bool flag)
{
    setProperty("opaque", m_p.opaque, flag);
}

double Layer::opacity() const
{
    return read(m_p.opacity);
}

void Layer::setOpacity(double opacity)
{
    // std::clamp lets NaN through: an opacity that is not a number is ignored (here and for the shadow's).
    if (std::isnan(opacity))
        return;
    // Presentation copies take in-between values as they come; the model keeps 0..1.
    setProperty("opacity", m_p.opacity, m_isPresentation ? opacity : std::clamp(opacity, 0.0, 1.0));
}

gfx::ColorPtr Layer::shadowColor() const
{
    return read(m_p.shadowColor);
}

void Layer::setShadowColor(gfx::ColorPtr color)
{
    setProperty("shadowColor", m_p.shadowColor, color);
}

double Layer::shadowOpacity() const
{
    return read(m_p.shadowOpacity);
}

void Layer::setShadowOpacity(double opacity)
{
    if (std::isnan(opacity))
        return;
    setProperty("shadowOpacity", m_p.shadowOpacity, m_isPresentation ? opacity : std::clamp(opacity, 0.0, 1.0));
}

gfx::Size Layer::shadowOffset() const
{
    return read(m_p.shadowOffset);
}

void Layer::setShadowOffset(gfx::Size offset)
{
    setProperty("shadowOffset", m_p.shadowOffset, offset);
}

double Layer::shadowRadius() const
{
    return read(m_p.shadowRadius);
}

void Layer::setShadowRadius(double radius)
{
    setProperty("shadowRadius", m_p.shadowRadius, std::max(0.0, radius));
}

// Drawing state.

bool Layer::needsDisplayOnBoundsChange() const
{
    return read(m_p.needsDisplayOnBoundsChange);
}

void Layer::setNeedsDisplayOnBoundsChange(bool flag)
{
    setProperty("needsDisplayOnBoundsChange", m_p.needsDisplayOnBoundsChange, flag);
}

bool Layer::needsDisplayForKey(const fnd::String&) const
{
    return false;
}

std::shared_ptr<LayerDelegate> Layer::delegate() const
{
    auto lock = lockLayers();
    return m_delegate.lock();
}

void Layer::setDelegate(const std::shared_ptr<LayerDelegate>& delegate)
{
    auto lock = lockLayers();
    m_delegate = delegate;
}

// Layout state.

std::shared_ptr<LayoutManager> Layer::layoutManager() const
{
    auto lock = lockLayers();
    return m_layoutManager.lock();
}

void Layer::setLayoutManager(const std::shared_ptr<LayoutManager>& manager)
{
    {
        auto lock = lockLayers();
        m_layoutManager = manager;
    }
    setNeedsLayout();
}

unsigned Layer::autoresizingMask() const
{
    return read(m_p.autoresizingMask);
}

void Layer::setAutoresizingMask(unsigned mask)
{
    setProperty("autoresizingMask", m_p.autoresizingMask, mask);
}

std::vector<LayoutConstraint> Layer::constraints() const
{
    return read(m_p.constraints);
}

void Layer::setConstraints(std::vector<LayoutConstraint> constraints)
{
    {
        auto lock = lockLayers();
        m_p.constraints = std::move(constraints);
    }
    if (auto super = superlayer())
        super->setNeedsLayout();
    treeDidChange();
}

void Layer::addConstraint(const LayoutConstraint& constraint)
{
    auto list = constraints();
    list.push_back(constraint);
    setConstraints(std::move(list));
}

// Actions.

fnd::Dictionary Layer::actions() const
{
    auto lock = lockLayers();
    return m_p.actions.get();
}

void Layer::setActions(fnd::Dictionary actions)
{
    auto lock = lockLayers();
    m_p.actions.assign(std::move(actions));
}

void Layer::shareActions(std::shared_ptr<const fnd::Dictionary> actions)
{
    auto lock = lockLayers();
    m_p.actions.share(std::move(actions));
}

std::shared_ptr<LayerAction> Layer::actionForKey(const fnd::String& key)
{
    fnd::Value entry;
    {
        auto lock = lockLayers();
        if (auto* v = m_p.actions.find(key))
            entry = *v;
    }
    if (!entry.isNil())
        return entry.isNull() ? nullptr : std::dynamic_pointer_cast<LayerAction>(entry.object());
    if (auto d = delegate()) {
        if (auto answer = d->actionForLayer(*this, key))
            return *answer;
    }
    return defaultActionForKey(key);
}

std::shared_ptr<LayerAction> Layer::defaultActionForKey(const fnd::String& key) const
{
    static const std::vector<fnd::String> animatable { "bounds", "position", "zPosition", "anchorPoint", "anchorPointZ",
        "transform", "sublayerTransform", "opacity", "backgroundColor", "borderColor", "borderWidth", "cornerRadius",
        "shadowColor", "shadowOpacity", "shadowOffset", "shadowRadius" };
    if (std::find(animatable.begin(), animatable.end(), key) == animatable.end())
        return nullptr;
    return BasicAnimation::animationWithKeyPath(key);
}

void Layer::setHost(const std::shared_ptr<LayerHost>& host)
{
    {
        auto lock = lockLayers();
        m_host = host;
        m_redrawRequested = false;
    }
    if (host)
        detail::noteInserted(std::static_pointer_cast<Layer>(shared_from_this()));
    treeDidChange();
}

// The value bag.

fnd::Value Layer::valueForUndefinedKey(const fnd::String& key) const
{
    {
        auto lock = lockLayers();
        if (auto* v = m_p.bag.find(key))
            return *v;
    }
    return defaultValueForKey(key);
}

void Layer::setValueForUndefinedKey(const fnd::Value& value, const fnd::String& key)
{
    changeProperty(
        key,
        [&] {
            auto* v = m_p.bag.find(key);
            return v ? !(*v == value) : !value.isNil();
        },
        [&] {
            if (value.isNil())
                m_p.bag.remove(key);
            else
                m_p.bag.set(key, value);
        });
}

fnd::Value Layer::defaultValueForKey(const fnd::String&) const
{
    return {};
}

// Changes.

void Layer::changeProperty(
    const fnd::String& key, const std::function<bool()>& differs, const std::function<void()>& store)
{
    if (m_isPresentation) {
        auto lock = lockLayers();
        store();
        return;
    }
    gfx::Rect oldBounds;
    bool committed = false;
    bool animates = false;
    {
        auto lock = lockLayers();
        if (!differs())
            return;
        oldBounds = m_p.bounds;
        committed = m_committed;
        animates = !m_animations.empty();
        // A layer being set up (in no tree, with no host, animation or observer) has no action to run and no one to
        // tell but itself: the change is stored under this lock (a view that makes thousands of layers sets each up
        // key by key).
        if (!committed && !animates && !mayHaveObservers() && m_superlayer.expired() && m_host.expired()) {
            store();
            ++m_changes;
            lock.unlock();
            detail::noteModelChanged();
            afterOwnChange(key, oldBounds);
            return;
        }
    }
    std::shared_ptr<LayerAction> action;
    fnd::Value previous;
    if (committed && !Transaction::disableActions()) {
        action = actionForKey(key);
        if (action)
            previous = LayerAccess::presentedValue(*this, key);
    }
    willChangeValueForKey(key);
    {
        auto lock = lockLayers();
        store();
    }
    if (action) {
        fnd::Dictionary arguments;
        arguments.set(LayerActionPreviousValueKey, previous);
        action->runActionForKey(key, *this, arguments);
    } else if (animates) {
        LayerAccess::cancelActionAnimations(*this, key);
    }
    afterChange(key, oldBounds);
    didChangeValueForKey(key);
}

void Layer::afterOwnChange(const fnd::String& key, gfx::Rect oldBounds)
{
    static const fnd::String boundsKey("bounds");
    if (key == boundsKey) {
        auto now = bounds();
        if (now.size != oldBounds.size)
            boundsSizeChanged(oldBounds.size);
    }
    if (needsDisplayForKey(key))
        setNeedsDisplay();
}

void Layer::afterChange(const fnd::String& key, gfx::Rect oldBounds)
{
    afterOwnChange(key, oldBounds);
    treeDidChange();
}

void Layer::boundsSizeChanged(gfx::Size oldSize)
{
    resizeSublayersWithOldSize(oldSize);
    setNeedsLayout();
    if (needsDisplayOnBoundsChange())
        setNeedsDisplay();
}

void Layer::treeDidChange()
{
    if (m_isPresentation)
        return;
    detail::noteModelChanged();
    {
        auto lock = lockLayers();
        ++m_changes;
    }
    treeNeedsRedraw();
}

void Layer::treeNeedsRedraw()
{
    if (m_isPresentation)
        return;
    std::shared_ptr<LayerHost> host;
    {
        auto lock = lockLayers();
        const Layer* root = this;
        while (auto super = root->m_superlayer.lock())
            root = super.get();
        // Asked once until the tree is drawn: thousands of changes in one transaction tell the host once.
        if (root->m_redrawRequested)
            return;
        host = root->m_host.lock();
        if (host)
            const_cast<Layer*>(root)->m_redrawRequested = true;
    }
    if (host)
        host->layerTreeNeedsDisplay();
}

namespace detail {

void LayerAccess::setModelTreeCommitted(Layer& layer, bool committed)
{
    auto lock = lockLayers();
    layer.m_committed = committed;
    for (const auto& sub : layer.m_sublayers)
        setModelTreeCommitted(*sub, committed);
}

}

}
