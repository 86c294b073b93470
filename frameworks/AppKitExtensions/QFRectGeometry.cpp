// The rectangle and handle functions of QFGeometry.h.

#include "frameworks/AppKitExtensions/QFGeometry.h"

#include <algorithm>
#include <cmath>

using gfx::Point;
using gfx::Rect;

Rect QFRectFromPoints(Point a, Point b)
{
    return { std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(b.x - a.x), std::fabs(b.y - a.y) };
}

Rect QFRectAtPoint(Point p)
{
    return { p.x, p.y, 0, 0 };
}

Rect QFRectCentredAtOrigin(gfx::Size size)
{
    return { -size.width / 2, -size.height / 2, size.width, size.height };
}

Rect QFStandardizedRect(const Rect& r)
{
    return gfx::standardizedRect(r);
}

Rect QFUnionRect(const Rect& r, const Rect& s)
{
    double x = std::min(r.minX(), s.minX()), y = std::min(r.minY(), s.minY());
    return { x, y, std::max(r.maxX(), s.maxX()) - x, std::max(r.maxY(), s.maxY()) - y };
}

Rect QFRectIncludingPoint(const Rect& r, Point p)
{
    Rect out = r;
    if (p.x < out.origin.x) {
        out.size.width += out.origin.x - p.x;
        out.origin.x = p.x;
    } else if (p.x > out.maxX()) {
        out.size.width = p.x - out.origin.x;
    }
    if (p.y < out.origin.y) {
        out.size.height += out.origin.y - p.y;
        out.origin.y = p.y;
    } else if (p.y > out.maxY()) {
        out.size.height = p.y - out.origin.y;
    }
    return out;
}

Rect QFCentreRectOnPoint(const Rect& r, Point p)
{
    return { p.x - r.width() / 2, p.y - r.height() / 2, r.width(), r.height() };
}

Rect QFScaleRect(const Rect& r, double sx, double sy)
{
    return { r.minX() * sx, r.minY() * sy, r.width() * sx, r.height() * sy };
}

double QFRectEdgeValue(int edge, const Rect& r)
{
    switch (edge) {
    case 0:
        return r.minX();
    case 1:
        return r.minY();
    case 2:
        return r.maxX();
    case 3:
        return r.maxY();
    default:
        return 0;
    }
}

bool QFRectsEqualWithTolerance(const Rect& r, const Rect& s, double tolerance)
{
    return gfx::nearlyEqual(r, s, tolerance);
}

bool QFRectHitsRect(bool centreOnly, const Rect& r, const Rect& s)
{
    if (!centreOnly)
        return gfx::intersectsRect(r, s);
    return gfx::pointInRect({ r.midX(), r.midY() }, s);
}

bool QFPointInAnyRect(std::span<const Rect> rects, Point p)
{
    return std::any_of(rects.begin(), rects.end(), [&](const Rect& r) { return gfx::pointInRect(p, r); });
}

Point QFHandlePoint(int handle, const Rect& r)
{
    const double midX = r.midX(), midY = r.midY();
    switch (handle) {
    case 0:
        return { midX, r.minY() };
    case 1:
        return { r.minX(), midY };
    case 2:
        return { midX, r.maxY() };
    case 3:
        return { r.maxX(), midY };
    case 4:
        return { r.minX(), r.minY() };
    case 5:
        return { r.maxX(), r.minY() };
    case 6:
        return { r.maxX(), r.maxY() };
    case 7:
        return { r.minX(), r.maxY() };
    case 8:
        return { midX, midY };
    default:
        return r.origin;
    }
}

bool QFIsCornerHandle(int handle)
{
    return handle >= 4 && handle <= 7;
}

int QFOppositeHandle(int handle)
{
    static constexpr int opposite[] = { 2, 3, 0, 1, 6, 7, 4, 5, 8 };
    return handle >= 0 && handle <= 8 ? opposite[handle] : -1;
}

Point QFOppositeHandlePoint(int handle, const Rect& r)
{
    return QFHandlePoint(QFOppositeHandle(handle), r);
}

int QFHandleAtPoint(Point p, const Rect& r)
{
    for (int handle = 0; handle <= 8; ++handle)
        if (QFHandlePoint(handle, r) == p)
            return handle;
    return -1;
}

int QFResizeRectByHandle(Rect& r, int handle, Point p)
{
    if (handle == 8) {
        r = QFCentreRectOnPoint(r, p);
        return 8;
    }
    if (handle < 0 || handle > 8)
        return handle;
    auto on = [handle](std::initializer_list<int> handles) {
        return std::find(handles.begin(), handles.end(), handle) != handles.end();
    };
    if (on({ 1, 4, 7 })) {
        r.size.width -= p.x - r.origin.x;
        r.origin.x = p.x;
    }
    if (on({ 3, 5, 6 }))
        r.size.width = p.x - r.origin.x;
    if (on({ 0, 4, 5 })) {
        r.size.height -= p.y - r.origin.y;
        r.origin.y = p.y;
    }
    if (on({ 2, 6, 7 }))
        r.size.height = p.y - r.origin.y;

    int result = handle;
    if (r.size.width < 0) {
        static constexpr int horizontal[] = { 0, 3, 2, 1, 5, 4, 7, 6, 8 };
        result = horizontal[result];
    }
    if (r.size.height < 0) {
        static constexpr int vertical[] = { 2, 1, 0, 3, 7, 6, 5, 4, 8 };
        result = vertical[result];
    }
    if (result != handle)
        r = QFStandardizedRect(r);
    return result;
}

Rect QFAlignRectInRect(int alignment, const Rect& r, const Rect& frame)
{
    double left = frame.minX(), right = frame.maxX() - r.width();
    double centreX = frame.minX() + (frame.width() - r.width()) / 2;
    double bottom = frame.minY(), top = frame.maxY() - r.height();
    double centreY = frame.minY() + (frame.height() - r.height()) / 2;
    Point origin;
    switch (alignment) {
    case 1:
        origin = { centreX, top };
        break;
    case 2:
        origin = { left, top };
        break;
    case 3:
        origin = { right, top };
        break;
    case 4:
        origin = { left, centreY };
        break;
    case 5:
        origin = { centreX, bottom };
        break;
    case 6:
        origin = { left, bottom };
        break;
    case 7:
        origin = { right, bottom };
        break;
    case 8:
        origin = { right, centreY };
        break;
    default:
        origin = { centreX, centreY };
        break;
    }
    return { origin, r.size };
}

Rect QFFitRectInRect(int scaling, int alignment, const Rect& r, const Rect& frame)
{
    if (r == frame)
        return r;
    gfx::Size size = r.size;
    // A rectangle without area has nothing to scale by.
    bool scalable = r.width() > 0 && r.height() > 0;
    double ratio = scalable ? std::min(frame.width() / r.width(), frame.height() / r.height()) : 1;
    if (scaling == 0) {
        if (scalable && (r.width() > frame.width() || r.height() > frame.height()))
            size = { r.width() * ratio, r.height() * ratio };
    } else if (scaling == 1) {
        size = { r.width() * ratio, r.height() * ratio };
    } else {
        size = frame.size;
    }
    return QFAlignRectInRect(alignment, { r.origin, size }, frame);
}
