#pragma once

// Plain geometry values. They sit at the foundation level because values, archives and notifications carry them;
// the drawing code adds its operations in the graphics layer. Doubles, y up.

namespace gfx {

struct Point {
    double x { 0 };
    double y { 0 };
    constexpr bool operator==(const Point&) const = default;
};

struct Size {
    double width { 0 };
    double height { 0 };
    constexpr bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(Point o, Size s)
        : origin(o)
        , size(s)
    {
    }
    constexpr Rect(double x, double y, double w, double h)
        : origin { x, y }
        , size { w, h }
    {
    }

    constexpr double minX() const { return origin.x; }
    constexpr double minY() const { return origin.y; }
    constexpr double maxX() const { return origin.x + size.width; }
    constexpr double maxY() const { return origin.y + size.height; }
    constexpr double midX() const { return origin.x + size.width / 2; }
    constexpr double midY() const { return origin.y + size.height / 2; }
    constexpr double width() const { return size.width; }
    constexpr double height() const { return size.height; }
    constexpr bool isEmpty() const { return !(size.width > 0 && size.height > 0); }
    constexpr bool operator==(const Rect&) const = default;
};

}
