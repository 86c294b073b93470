#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BezierPath.h"

#include <memory>
#include <optional>

// Walks a path's elements one at a time, optionally passing every point through a transform. The path is not
// copied: changes made to it while iterating are seen. There is no reset; a new iterator starts from element 0.
class ZORBezierPathIterator : public fnd::Object {
    FND_OBJECT(ZORBezierPathIterator)
public:
    explicit ZORBezierPathIterator(
        std::shared_ptr<const gfx::BezierPath> path, std::optional<gfx::AffineTransform> transform = std::nullopt);

    // The next element's kind (0 move, 1 line, 2 curve, 3 close), its points (as many as the kind carries,
    // transformed) in buffer when given, which needs room for three; fnd::NotFound once every element was read.
    std::int64_t nextWithPointBuffer(gfx::Point* buffer);
    // The same, with the coordinates x, y of the points in order in buffer, which needs room for six.
    std::int64_t nextWithCooBuffer(double* buffer);

    gfx::WindingRule windingRule() const { return m_path->windingRule(); }
    std::int64_t elementCount() const { return m_path->elementCount(); }

private:
    std::shared_ptr<const gfx::BezierPath> m_path;
    std::optional<gfx::AffineTransform> m_transform;
    std::int64_t m_index { 0 };
};
