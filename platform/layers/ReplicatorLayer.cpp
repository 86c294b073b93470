#include "platform/layers/ReplicatorLayer.h"

#include <algorithm>

namespace ui {

FND_REGISTER_CLASS(ReplicatorLayer, Layer)

void ReplicatorLayer::describeClass(fnd::ClassBuilder<ReplicatorLayer>& c)
{
    c.property("instanceCount", &ReplicatorLayer::instanceCount, &ReplicatorLayer::setInstanceCount);
    c.property("instanceTransform", &ReplicatorLayer::instanceTransform, &ReplicatorLayer::setInstanceTransform);
    c.property("instanceColor", &ReplicatorLayer::instanceColor, &ReplicatorLayer::setInstanceColor);
    c.property("instanceRedOffset", &ReplicatorLayer::instanceRedOffset, &ReplicatorLayer::setInstanceRedOffset);
    c.property("instanceGreenOffset", &ReplicatorLayer::instanceGreenOffset, &ReplicatorLayer::setInstanceGreenOffset);
    c.property("instanceBlueOffset", &ReplicatorLayer::instanceBlueOffset, &ReplicatorLayer::setInstanceBlueOffset);
    c.property("instanceAlphaOffset", &ReplicatorLayer::instanceAlphaOffset, &ReplicatorLayer::setInstanceAlphaOffset);
    c.property("preservesDepth", &ReplicatorLayer::preservesDepth, &ReplicatorLayer::setPreservesDepth);
}

void ReplicatorLayer::initWithLayer(const Layer& layer)
{
    Layer::initWithLayer(layer);
    if (auto* other = dynamic_cast<const ReplicatorLayer*>(&layer))
        m_r = other->read(other->m_r);
}

long ReplicatorLayer::instanceCount() const
{
    return read(m_r.count);
}

void ReplicatorLayer::setInstanceCount(long count)
{
    setProperty("instanceCount", m_r.count, std::max(0L, count));
}

Transform3D ReplicatorLayer::instanceTransform() const
{
    return read(m_r.transform);
}

void ReplicatorLayer::setInstanceTransform(const Transform3D& transform)
{
    setProperty("instanceTransform", m_r.transform, transform);
}

gfx::ColorPtr ReplicatorLayer::instanceColor() const
{
    return read(m_r.color);
}

void ReplicatorLayer::setInstanceColor(gfx::ColorPtr color)
{
    setProperty("instanceColor", m_r.color, color);
}

double ReplicatorLayer::instanceRedOffset() const
{
    return read(m_r.redOffset);
}

void ReplicatorLayer::setInstanceRedOffset(double offset)
{
    setProperty("instanceRedOffset", m_r.redOffset, offset);
}

double ReplicatorLayer::instanceGreenOffset() const
{
    return read(m_r.greenOffset);
}

void ReplicatorLayer::setInstanceGreenOffset(double offset)
{
    setProperty("instanceGreenOffset", m_r.greenOffset, offset);
}

double ReplicatorLayer::instanceBlueOffset() const
{
    return read(m_r.blueOffset);
}

void ReplicatorLayer::setInstanceBlueOffset(double offset)
{
    setProperty("instanceBlueOffset", m_r.blueOffset, offset);
}

double ReplicatorLayer::instanceAlphaOffset() const
{
    return read(m_r.alphaOffset);
}

void ReplicatorLayer::setInstanceAlphaOffset(double offset)
{
    setProperty("instanceAlphaOffset", m_r.alphaOffset, offset);
}

bool ReplicatorLayer::preservesDepth() const
{
    return read(m_r.preservesDepth);
}

void ReplicatorLayer::setPreservesDepth(bool flag)
{
    setProperty("preservesDepth", m_r.preservesDepth, flag);
}

std::array<double, 4> ReplicatorLayer::colorOfInstance(long k) const
{
    auto r = read(m_r);
    std::array<double, 4> base { 1, 1, 1, 1 };
    if (r.color)
        if (auto rgba = r.color->rgbaIfAvailable())
            base = *rgba;
    const double offsets[4] = { r.redOffset, r.greenOffset, r.blueOffset, r.alphaOffset };
    for (int i = 0; i < 4; ++i)
        base[i] = std::clamp(base[i] + double(k) * offsets[i], 0.0, 1.0);
    return base;
}

Transform3D ReplicatorLayer::transformOfInstance(long k) const
{
    auto b = bounds();
    auto step = instanceTransform();
    const double cx = b.midX(), cy = b.midY();
    Transform3D about
        = concatenated(concatenated(Transform3D::translation(-cx, -cy, 0), step), Transform3D::translation(cx, cy, 0));
    Transform3D result;
    for (long i = 0; i < k; ++i)
        result = concatenated(result, about);
    return result;
}

}
