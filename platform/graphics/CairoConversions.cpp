#include "platform/graphics/CairoConversions.h"

namespace gfx {

cairo_matrix_t toCairo(const AffineTransform& t)
{
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.m11, t.m12, t.m21, t.m22, t.tX, t.tY);
    return m;
}

AffineTransform fromCairo(const cairo_matrix_t& m)
{
    return { m.xx, m.yx, m.xy, m.yy, m.x0, m.y0 };
}

cairo_line_cap_t toCairo(LineCapStyle s)
{
    switch (s) {
    case LineCapStyle::Butt:
        return CAIRO_LINE_CAP_BUTT;
    case LineCapStyle::Round:
        return CAIRO_LINE_CAP_ROUND;
    case LineCapStyle::Square:
        return CAIRO_LINE_CAP_SQUARE;
    }
    return CAIRO_LINE_CAP_BUTT;
}

cairo_line_join_t toCairo(LineJoinStyle s)
{
    switch (s) {
    case LineJoinStyle::Miter:
        return CAIRO_LINE_JOIN_MITER;
    case LineJoinStyle::Round:
        return CAIRO_LINE_JOIN_ROUND;
    case LineJoinStyle::Bevel:
        return CAIRO_LINE_JOIN_BEVEL;
    }
    return CAIRO_LINE_JOIN_MITER;
}

cairo_fill_rule_t toCairo(WindingRule r)
{
    return r == WindingRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
}

cairo_operator_t toCairo(CompositingOperation op)
{
    switch (op) {
    case CompositingOperation::Clear:
        return CAIRO_OPERATOR_CLEAR;
    case CompositingOperation::Copy:
        return CAIRO_OPERATOR_SOURCE;
    case CompositingOperation::SourceOver:
    case CompositingOperation::Highlight:
        return CAIRO_OPERATOR_OVER;
    case CompositingOperation::SourceIn:
        return CAIRO_OPERATOR_IN;
    case CompositingOperation::SourceOut:
        return CAIRO_OPERATOR_OUT;
    case CompositingOperation::SourceAtop:
        return CAIRO_OPERATOR_ATOP;
    case CompositingOperation::DestinationOver:
        return CAIRO_OPERATOR_DEST_OVER;
    case CompositingOperation::DestinationIn:
        return CAIRO_OPERATOR_DEST_IN;
    case CompositingOperation::DestinationOut:
        return CAIRO_OPERATOR_DEST_OUT;
    case CompositingOperation::DestinationAtop:
        return CAIRO_OPERATOR_DEST_ATOP;
    case CompositingOperation::XOR:
        return CAIRO_OPERATOR_XOR;
    case CompositingOperation::PlusDarker:
        return CAIRO_OPERATOR_MULTIPLY;
    case CompositingOperation::PlusLighter:
        return CAIRO_OPERATOR_ADD;
    }
    return CAIRO_OPERATOR_OVER;
}

bool isUnbounded(cairo_operator_t op)
{
    return op == CAIRO_OPERATOR_IN || op == CAIRO_OPERATOR_OUT || op == CAIRO_OPERATOR_DEST_IN
        || op == CAIRO_OPERATOR_DEST_ATOP;
}

cairo_filter_t toCairo(ImageInterpolation i)
{
    switch (i) {
    case ImageInterpolation::None:
        return CAIRO_FILTER_NEAREST;
    case ImageInterpolation::Low:
        return CAIRO_FILTER_FAST;
    case ImageInterpolation::High:
        return CAIRO_FILTER_BEST;
    case ImageInterpolation::Default:
    case ImageInterpolation::Medium:
        return CAIRO_FILTER_GOOD;
    }
    return CAIRO_FILTER_GOOD;
}

void appendPath(cairo_t* cr, const BezierPath& path)
{
    cairo_new_path(cr);
    const auto& kinds = path.elementKinds();
    const auto& pts = path.allPoints();
    std::size_t p = 0;
    for (auto kind : kinds) {
        switch (kind) {
        case BezierPathElement::MoveTo:
            cairo_move_to(cr, pts[p].x, pts[p].y);
            break;
        case BezierPathElement::LineTo:
            cairo_line_to(cr, pts[p].x, pts[p].y);
            break;
        case BezierPathElement::CurveTo:
            cairo_curve_to(cr, pts[p].x, pts[p].y, pts[p + 1].x, pts[p + 1].y, pts[p + 2].x, pts[p + 2].y);
            break;
        case BezierPathElement::ClosePath:
            cairo_close_path(cr);
            break;
        }
        p += static_cast<std::size_t>(pointCountOf(kind));
    }
}

}
