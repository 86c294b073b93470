#pragma once

// Forward declarations of the graphics module's types.

#include <memory>

namespace gfx {

struct Point;
struct Size;
struct Rect;
struct EdgeInsets;
struct AffineTransform;
struct PixelBufferView;
struct ConstPixelBufferView;
struct GradientStop;
class BezierPath;
class Color;
class Gradient;
class GraphicsContext;
class PatternImage;
class Shadow;
class WindowSurface;
using ColorPtr = std::shared_ptr<Color>;

}
