#pragma once

// Private to the graphics module: conversions between our values and Cairo's.

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <cairo.h>

#include <memory>

namespace gfx {

cairo_matrix_t toCairo(const AffineTransform& t);
AffineTransform fromCairo(const cairo_matrix_t& m);
cairo_line_cap_t toCairo(LineCapStyle s);
cairo_line_join_t toCairo(LineJoinStyle s);
cairo_fill_rule_t toCairo(WindingRule r);
// The operator Cairo draws for ours (PlusDarker is handled apart and maps to MULTIPLY here).
cairo_operator_t toCairo(CompositingOperation op);
// Operators that change the destination outside the drawn shape in Cairo but not on the platform.
bool isUnbounded(cairo_operator_t op);
cairo_filter_t toCairo(ImageInterpolation i);
// Replaces the current Cairo path with ours, in the current user space.
void appendPath(cairo_t* cr, const BezierPath& path);

struct CairoSurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct CairoPatternDeleter {
    void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;
using CairoPatternPtr = std::unique_ptr<cairo_pattern_t, CairoPatternDeleter>;

}
