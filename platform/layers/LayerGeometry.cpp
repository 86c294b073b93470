#include "platform/layers/Layer.h"

#include "platform/layers/ReplicatorLayer.h"
#include "platform/layers/ScrollLayer.h"
#include "platform/layers/detail/LayerGeometry.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {

using detail::Homography;
using detail::LayerAccess;
using detail::lockLayers;

namespace detail {

Transform3D placementTransform(const Layer& layer)
{
    const auto& p = LayerAccess::properties(layer);
    const double ax = p.bounds.minX() + p.anchorPoint.x * p.bounds.width();
    const double ay = p.bounds.minY() + p.anchorPoint.y * p.bounds.height();
    Transform3D m = Transform3D::translation(-ax, -ay, -p.anchorPointZ);
    if (!p.transform.isIdentity())
        m = concatenated(m, p.transform);
    return concatenated(m, Transform3D::translation(p.position.x, p.position.y, p.zPosition));
}

Transform3D sublayerTransformAboutAnchor(const Layer& layer)
{
    const auto& p = LayerAccess::properties(layer);
    if (p.sublayerTransform.isIdentity())
        return {};
    const double ax = p.bounds.minX() + p.anchorPoint.x * p.bounds.width();
    const double ay = p.bounds.minY() + p.anchorPoint.y * p.bounds.height();
    return concatenated(concatenated(Transform3D::translation(-ax, -ay, -p.anchorPointZ), p.sublayerTransform),
        Transform3D::translation(ax, ay, p.anchorPointZ));
}

Homography planeToAncestor(const Layer& layer, const Layer* ancestor)
{
    Homography h;
    Transform3D pending;
    const Layer* current = &layer;
    while (current && current != ancestor) {
        auto parent = LayerAccess::superlayer(*current);
        pending = concatenated(pending, placementTransform(*current));
        if (parent)
            pending = concatenated(pending, sublayerTransformAboutAnchor(*parent));
        if (!parent || parent.get() == ancestor || LayerAccess::flattensSublayers(*parent)) {
            h = concatenated(h, Homography::flattening(pending));
            pending = {};
        }
        current = parent.get();
    }
    return h;
}

bool facesViewer(const Homography& toBase, const gfx::Rect& bounds, bool baseIsFlipped)
{
    return toBase.preservesOrientationAt({ bounds.midX(), bounds.midY() }) != baseIsFlipped;
}

bool insideRoundedRect(gfx::Point p, const gfx::Rect& r, double radius)
{
    if (!gfx::pointInRect(p, r))
        return false;
    radius = std::min({ radius, r.width() / 2, r.height() / 2 });
    if (radius <= 0)
        return true;
    const double cx = std::clamp(p.x, r.minX() + radius, r.maxX() - radius);
    const double cy = std::clamp(p.y, r.minY() + radius, r.maxY() - radius);
    const double dx = p.x - cx, dy = p.y - cy;
    return dx * dx + dy * dy <= radius * radius;
}

namespace {

struct Walk {
    double opacity;
    std::array<double, 4> color;
    bool replica;
    std::vector<Clip> clips;
};

struct Unit {
    double depth;
    std::vector<Plane> planes;
};

// Back to front; equal depths keep their order.
void sortByDepth(std::vector<Unit>& units)
{
    std::vector<std::size_t> order(units.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return units[a].depth < units[b].depth || (units[a].depth == units[b].depth && a < b);
    });
    std::vector<Unit> sorted;
    sorted.reserve(units.size());
    for (auto i : order)
        sorted.push_back(std::move(units[i]));
    units = std::move(sorted);
}

// The shown sublayers in ascending zPosition, equal ones in sublayer order (sorted with the index as tie-break:
// std::stable_sort's temporary buffer is deprecated in this standard library). Hidden ones are left out before
// anything is worked out for them: a view that hides what is out of view keeps its frames to what it shows.
std::vector<Layer*> sortedSublayers(const Layer& layer)
{
    const auto& subs = LayerAccess::sublayers(layer);
    std::vector<std::size_t> order;
    order.reserve(subs.size());
    for (std::size_t i = 0; i < subs.size(); ++i)
        if (!LayerAccess::properties(*subs[i]).hidden)
            order.push_back(i);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const double za = LayerAccess::properties(*subs[a]).zPosition, zb = LayerAccess::properties(*subs[b]).zPosition;
        return za < zb || (za == zb && a < b);
    });
    std::vector<Layer*> children;
    children.reserve(order.size());
    for (auto i : order)
        children.push_back(subs[i].get());
    return children;
}

double depthOf(const Layer& layer, const Transform3D& toContext)
{
    const auto& b = LayerAccess::properties(layer).bounds;
    auto p = toContext.transformPoint(b.midX(), b.midY(), 0);
    return p.w > 0 ? p.z / p.w : -std::numeric_limits<double>::infinity();
}

// Calls visit(child, child-to-layer transform, walk) for every instance of every sublayer, in drawing order.
template <typename Visit> void forEachInstance(const Layer& layer, const Walk& walk, Visit&& visit)
{
    auto children = sortedSublayers(layer);
    if (children.empty())
        return;
    auto* replicator = dynamic_cast<const ReplicatorLayer*>(&layer);
    const long count = replicator ? replicator->instanceCount() : 1;
    const Transform3D sublayer = sublayerTransformAboutAnchor(layer);
    for (long k = 0; k < count; ++k) {
        Walk instance = walk;
        Transform3D move;
        if (replicator && k > 0) {
            move = replicator->transformOfInstance(k);
            instance.replica = true;
        }
        if (replicator) {
            auto c = replicator->colorOfInstance(k);
            for (int i = 0; i < 4; ++i)
                instance.color[i] *= c[i];
        }
        for (auto* child : children)
            visit(*child, concatenated(concatenated(placementTransform(*child), move), sublayer), instance);
    }
}

void gather(
    Layer& layer, const Transform3D& toContext, const Homography& contextToBase, Walk walk, std::vector<Unit>& units);

// A layer that flattens its sublayers, with everything below it, drawn back to front.
void emit(
    Layer& layer, const Transform3D& toParentPlane, const Homography& parentToBase, Walk walk, std::vector<Plane>& out)
{
    const auto& p = LayerAccess::properties(layer);
    if (p.hidden)
        return;
    walk.opacity *= p.opacity;
    if (!LayerAccess::flattensSublayers(layer)) {
        std::vector<Unit> units;
        gather(layer, toParentPlane, parentToBase, walk, units);
        sortByDepth(units);
        for (auto& unit : units)
            out.insert(out.end(), unit.planes.begin(), unit.planes.end());
        return;
    }
    const Homography toBase = concatenated(Homography::flattening(toParentPlane), parentToBase);
    out.push_back({ &layer, toBase, walk.opacity, walk.color, walk.replica, walk.clips });
    if (p.masksToBounds)
        walk.clips.push_back({ toBase, p.bounds, p.cornerRadius });
    forEachInstance(layer, walk,
        [&](Layer& child, const Transform3D& toLayer, const Walk& w) { emit(child, toLayer, toBase, w, out); });
}

// A layer that keeps its sublayers' depth: its plane and its sublayers' units join the 3-D context's list.
// walk.opacity already includes the layer's own.
void gather(
    Layer& layer, const Transform3D& toContext, const Homography& contextToBase, Walk walk, std::vector<Unit>& units)
{
    const auto& p = LayerAccess::properties(layer);
    const Homography toBase = concatenated(Homography::flattening(toContext), contextToBase);
    units.push_back(
        { depthOf(layer, toContext), { { &layer, toBase, walk.opacity, walk.color, walk.replica, walk.clips } } });
    if (p.masksToBounds)
        walk.clips.push_back({ toBase, p.bounds, p.cornerRadius });
    forEachInstance(layer, walk, [&](Layer& child, const Transform3D& toLayer, const Walk& w) {
        const auto& cp = LayerAccess::properties(child);
        if (cp.hidden)
            return;
        const Transform3D childToContext = concatenated(toLayer, toContext);
        if (LayerAccess::flattensSublayers(child)) {
            Unit unit { depthOf(child, childToContext), {} };
            Walk inner = w;
            emit(child, childToContext, contextToBase, inner, unit.planes);
            units.push_back(std::move(unit));
        } else {
            Walk inner = w;
            inner.opacity *= cp.opacity;
            gather(child, childToContext, contextToBase, inner, units);
        }
    });
}

}

std::vector<Plane> collectPlanes(Layer& top, const Homography& superToBase)
{
    std::vector<Plane> planes;
    Transform3D toSuper = placementTransform(top);
    if (auto parent = LayerAccess::superlayer(top))
        toSuper = concatenated(toSuper, sublayerTransformAboutAnchor(*parent));
    emit(top, toSuper, superToBase, Walk { 1, { 1, 1, 1, 1 }, false, {} }, planes);
    return planes;
}

}

namespace {

// The layers from l up to its root, l first.
std::vector<const Layer*> ancestry(const Layer* l)
{
    std::vector<const Layer*> chain;
    while (l) {
        chain.push_back(l);
        l = LayerAccess::superlayer(*l).get();
    }
    return chain;
}

const Layer* commonAncestor(const Layer& a, const Layer* b)
{
    if (!b)
        return nullptr;
    auto chain = ancestry(&a);
    for (const Layer* l = b; l; l = LayerAccess::superlayer(*l).get())
        if (std::find(chain.begin(), chain.end(), l) != chain.end())
            return l;
    return nullptr;
}

// From the layer's plane to the other's (nullptr: the root's superlayer space).
std::optional<Homography> mapping(const Layer& from, const Layer* to)
{
    const Layer* common = commonAncestor(from, to);
    Homography up = detail::planeToAncestor(from, common);
    if (!to)
        return up;
    auto down = detail::planeToAncestor(*to, common).inverted();
    if (!down)
        return std::nullopt;
    return concatenated(up, *down);
}

}

std::optional<gfx::Point> Layer::convertPointToLayer(gfx::Point point, const Layer* layer) const
{
    auto lock = lockLayers();
    auto h = mapping(*this, layer);
    return h ? h->transformPoint(point) : std::nullopt;
}

std::optional<gfx::Point> Layer::convertPointFromLayer(gfx::Point point, const Layer* layer) const
{
    if (layer)
        return layer->convertPointToLayer(point, this);
    auto lock = lockLayers();
    auto h = mapping(*this, nullptr);
    auto inverse = h ? h->inverted() : std::nullopt;
    return inverse ? inverse->transformPoint(point) : std::nullopt;
}

gfx::Rect Layer::convertRectToLayer(gfx::Rect rect, const Layer* layer) const
{
    auto lock = lockLayers();
    auto h = mapping(*this, layer);
    if (!h)
        return {};
    return detail::boundingBoxOfRect(*h, rect).value_or(gfx::Rect {});
}

gfx::Rect Layer::convertRectFromLayer(gfx::Rect rect, const Layer* layer) const
{
    if (layer)
        return layer->convertRectToLayer(rect, this);
    auto lock = lockLayers();
    auto h = mapping(*this, nullptr);
    auto inverse = h ? h->inverted() : std::nullopt;
    if (!inverse)
        return {};
    return detail::boundingBoxOfRect(*inverse, rect).value_or(gfx::Rect {});
}

bool Layer::containsPoint(gfx::Point point) const
{
    return gfx::pointInRect(point, bounds());
}

std::shared_ptr<Layer> Layer::hitTest(gfx::Point point)
{
    auto keepTree = shared_from_this();
    auto lock = lockLayers();
    auto planes = detail::collectPlanes(*this, Homography::identity());
    for (auto it = planes.rbegin(); it != planes.rend(); ++it) {
        if (it->replica)
            continue;
        auto inverse = it->toBase.inverted();
        if (!inverse)
            continue;
        auto local = inverse->transformHomogeneous(point);
        if (local[2] == 0)
            continue;
        const gfx::Point p { local[0] / local[2], local[1] / local[2] };
        // The plane point must lie in front of the eye to be seen there.
        if (!(it->toBase.transformHomogeneous(p)[2] > 0))
            continue;
        const auto& props = LayerAccess::properties(*it->layer);
        if (!props.doubleSided && !detail::facesViewer(it->toBase, props.bounds, false))
            continue;
        if (!it->layer->containsPoint(p))
            continue;
        bool clipped = false;
        for (const auto& clip : it->clips) {
            auto back = clip.toBase.inverted();
            auto q = back ? back->transformPoint(point) : std::nullopt;
            if (!q || !detail::insideRoundedRect(*q, clip.bounds, clip.cornerRadius)) {
                clipped = true;
                break;
            }
        }
        if (!clipped)
            return std::static_pointer_cast<Layer>(it->layer->shared_from_this());
    }
    return nullptr;
}

gfx::Rect Layer::visibleRect() const
{
    auto lock = lockLayers();
    const auto& own = m_p.bounds;
    for (auto parent = m_superlayer.lock(); parent; parent = LayerAccess::superlayer(*parent)) {
        if (!dynamic_cast<const ScrollLayer*>(parent.get()))
            continue;
        auto toScroll = mapping(*this, parent.get());
        if (!toScroll)
            return {};
        auto shown = detail::boundingBoxOfRect(*toScroll, own);
        if (!shown)
            return {};
        auto inside = gfx::intersectionRect(*shown, LayerAccess::properties(*parent).bounds);
        if (inside.isEmpty())
            return {};
        auto back = toScroll->inverted();
        auto local = back ? detail::boundingBoxOfRect(*back, inside) : std::nullopt;
        return local ? gfx::intersectionRect(*local, own) : gfx::Rect {};
    }
    return own;
}

void Layer::scrollPoint(gfx::Point point)
{
    for (auto parent = superlayer(); parent; parent = parent->superlayer()) {
        if (auto scroll = std::dynamic_pointer_cast<ScrollLayer>(parent)) {
            if (auto p = convertPointToLayer(point, scroll.get()))
                scroll->scrollToPoint(*p);
            return;
        }
    }
}

void Layer::scrollRectToVisible(gfx::Rect rect)
{
    for (auto parent = superlayer(); parent; parent = parent->superlayer()) {
        if (auto scroll = std::dynamic_pointer_cast<ScrollLayer>(parent)) {
            scroll->scrollToRect(convertRectToLayer(rect, scroll.get()));
            return;
        }
    }
}

}
