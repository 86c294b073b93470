#include "frameworks/AppKitExtensions/ZORBezierPathIterator.h"

FND_REGISTER_CLASS(ZORBezierPathIterator, fnd::Object)

ZORBezierPathIterator::ZORBezierPathIterator(
    std::shared_ptr<const gfx::BezierPath> path, std::optional<gfx::AffineTransform> transform)
    : m_path(path ? std::move(path) : std::make_shared<const gfx::BezierPath>())
    , m_transform(transform)
{
}

std::int64_t ZORBezierPathIterator::nextWithPointBuffer(gfx::Point* buffer)
{
    if (m_index >= m_path->elementCount())
        return fnd::NotFound;
    auto kind = m_path->elementAtIndex(m_index, buffer);
    if (buffer && m_transform)
        for (int i = 0; i < gfx::pointCountOf(kind); ++i)
            buffer[i] = m_transform->transformPoint(buffer[i]);
    ++m_index;
    return static_cast<std::int64_t>(kind);
}

std::int64_t ZORBezierPathIterator::nextWithCooBuffer(double* buffer)
{
    gfx::Point points[3];
    auto kind = nextWithPointBuffer(points);
    if (kind > static_cast<std::int64_t>(gfx::BezierPathElement::CurveTo))
        return kind;
    int count = gfx::pointCountOf(static_cast<gfx::BezierPathElement>(kind));
    for (int i = 0; i < count; ++i) {
        buffer[2 * i] = points[i].x;
        buffer[2 * i + 1] = points[i].y;
    }
    return kind;
}
