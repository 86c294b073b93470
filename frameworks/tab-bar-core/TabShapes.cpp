#include "frameworks/tab-bar-core/TabShapes.h"

#include "frameworks/FoundationExtensions/ZORTruncation.h"

#include <algorithm>

namespace tbcore {

namespace {

void tabShapesApplyFlip(gfx::BezierPath& path, unsigned capMask)
{
    if (capMask & CapMask::Flipped)
        path.transformUsingAffineTransform(flipVertical(path.bounds()));
}

}

std::shared_ptr<gfx::BezierPath> cardPath(gfx::Rect rect, double radius, unsigned capMask)
{
    auto path = gfx::BezierPath::bezierPath();
    const double x = rect.minX(), y = rect.minY(), w = rect.width(), h = rect.height();
    const double maxX = x + w;
    if (capMask & CapMask::Left) {
        path->moveToPoint({ x, y + h });
        path->appendBezierPathWithArcFromPoint({ x, y }, { x + w * 0.5, y }, radius);
    } else if (capMask & CapMask::Sides) {
        path->moveToPoint({ x, y + h });
        path->lineToPoint({ x, y });
    } else {
        path->moveToPoint({ x, y });
    }
    if (capMask & CapMask::Right) {
        path->appendBezierPathWithArcFromPoint({ maxX, y }, { maxX, y + h }, radius);
        path->lineToPoint({ maxX, y + h });
    } else {
        path->lineToPoint({ maxX, y });
        if (capMask & CapMask::Sides)
            path->lineToPoint({ maxX, y + h });
    }
    tabShapesApplyFlip(*path, capMask);
    return path;
}

std::shared_ptr<gfx::BezierPath> roundedPath(gfx::Rect rect, double radius, unsigned capMask)
{
    auto path = gfx::BezierPath::bezierPath();
    const double x = rect.minX(), y = rect.minY();
    const double midX = x + rect.width() * 0.5, maxY = y + rect.height(), maxX = x + rect.width();
    path->moveToPoint({ midX, maxY });
    if (capMask & CapMask::Left) {
        path->appendBezierPathWithArcFromPoint({ x, maxY }, { x, y }, radius);
        path->appendBezierPathWithArcFromPoint({ x, y }, { midX, y }, radius);
    } else {
        path->lineToPoint({ x, maxY });
        if (capMask & CapMask::Sides)
            path->lineToPoint({ x, y });
        else
            path->moveToPoint({ x, y });
    }
    path->lineToPoint({ midX, y });
    if (capMask & CapMask::Right) {
        path->appendBezierPathWithArcFromPoint({ maxX, y }, { maxX, maxY }, radius);
        path->appendBezierPathWithArcFromPoint({ maxX, maxY }, { midX, maxY }, radius);
    } else {
        path->lineToPoint({ maxX, y });
        if (capMask & CapMask::Sides)
            path->lineToPoint({ maxX, maxY });
        else
            path->moveToPoint({ maxX, maxY });
        path->lineToPoint({ midX, maxY });
    }
    path->closePath();
    tabShapesApplyFlip(*path, capMask);
    return path;
}

gfx::AffineTransform flipVertical(gfx::Rect rect)
{
    return { 1, 0, 0, -1, 0, 2 * rect.minY() + rect.height() };
}

gfx::Size scaleImageSizeToFit(gfx::Size image, gfx::Size box, ImageScaling scaling)
{
    const double w = image.width, h = image.height;
    switch (scaling) {
    case ImageScaling::ProportionallyDown: {
        if (w <= 0 || h <= 0)
            return {};
        const double r = std::min(box.width / w, box.height / h);
        return r < 1.0 ? gfx::Size { w * r, h * r } : image;
    }
    case ImageScaling::AxesIndependently:
        return box;
    case ImageScaling::ProportionallyUpOrDown: {
        if (w <= 0 || h <= 0)
            return {};
        const double r = std::min(box.width / w, box.height / h);
        return { w * r, h * r };
    }
    case ImageScaling::None:
        break;
    }
    return image;
}

fnd::String truncateTitle(const fnd::String& title, fnd::Index length)
{
    return ZORTruncation::stringWithEllipsisByTruncatingToLength(title, std::max<fnd::Index>(length, 1));
}

}
