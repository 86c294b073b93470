#include "platform/graphics/Geometry.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace gfx {

bool pointInRect(Point p, const Rect& r)
{
    return p.x >= r.minX() && p.x < r.maxX() && p.y >= r.minY() && p.y < r.maxY();
}

bool mouseInRect(Point p, const Rect& r, bool flipped)
{
    if (flipped)
        return pointInRect(p, r);
    return p.x >= r.minX() && p.x < r.maxX() && p.y > r.minY() && p.y <= r.maxY();
}

bool intersectsRect(const Rect& a, const Rect& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    return a.minX() < b.maxX() && b.minX() < a.maxX() && a.minY() < b.maxY() && b.minY() < a.maxY();
}

Rect intersectionRect(const Rect& a, const Rect& b)
{
    double x0 = std::max(a.minX(), b.minX());
    double y0 = std::max(a.minY(), b.minY());
    double x1 = std::min(a.maxX(), b.maxX());
    double y1 = std::min(a.maxY(), b.maxY());
    if (x1 <= x0 || y1 <= y0)
        return ZeroRect;
    return { x0, y0, x1 - x0, y1 - y0 };
}

Rect unionRect(const Rect& a, const Rect& b)
{
    bool aEmpty = a.isEmpty();
    bool bEmpty = b.isEmpty();
    if (aEmpty && bEmpty)
        return ZeroRect;
    if (aEmpty)
        return b;
    if (bEmpty)
        return a;
    double x0 = std::min(a.minX(), b.minX());
    double y0 = std::min(a.minY(), b.minY());
    return { x0, y0, std::max(a.maxX(), b.maxX()) - x0, std::max(a.maxY(), b.maxY()) - y0 };
}

bool containsRect(const Rect& a, const Rect& b)
{
    return !b.isEmpty() && b.minX() >= a.minX() && b.minY() >= a.minY() && b.maxX() <= a.maxX() && b.maxY() <= a.maxY();
}

Rect integralRect(const Rect& r)
{
    if (r.isEmpty())
        return ZeroRect;
    double x0 = std::floor(r.minX());
    double y0 = std::floor(r.minY());
    return { x0, y0, std::ceil(r.maxX()) - x0, std::ceil(r.maxY()) - y0 };
}

std::pair<Rect, Rect> divideRect(const Rect& r, double amount, RectEdge edge)
{
    bool horizontal = edge == RectEdge::MinX || edge == RectEdge::MaxX;
    double side = horizontal ? r.width() : r.height();
    double cut = std::clamp(amount, 0.0, std::max(side, 0.0));
    Rect slice = r;
    Rect rest = r;
    switch (edge) {
    case RectEdge::MinX:
        slice.size.width = cut;
        rest.origin.x += cut;
        rest.size.width -= cut;
        break;
    case RectEdge::MaxX:
        slice.origin.x = r.maxX() - cut;
        slice.size.width = cut;
        rest.size.width -= cut;
        break;
    case RectEdge::MinY:
        slice.size.height = cut;
        rest.origin.y += cut;
        rest.size.height -= cut;
        break;
    case RectEdge::MaxY:
        slice.origin.y = r.maxY() - cut;
        slice.size.height = cut;
        rest.size.height -= cut;
        break;
    }
    return { slice, rest };
}

Rect standardizedRect(const Rect& r)
{
    Rect out = r;
    if (out.size.width < 0) {
        out.origin.x += out.size.width;
        out.size.width = -out.size.width;
    }
    if (out.size.height < 0) {
        out.origin.y += out.size.height;
        out.size.height = -out.size.height;
    }
    return out;
}

bool nearlyEqual(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

bool nearlyEqual(Point a, Point b, double tolerance)
{
    return nearlyEqual(a.x, b.x, tolerance) && nearlyEqual(a.y, b.y, tolerance);
}

bool nearlyEqual(Size a, Size b, double tolerance)
{
    return nearlyEqual(a.width, b.width, tolerance) && nearlyEqual(a.height, b.height, tolerance);
}

bool nearlyEqual(const Rect& a, const Rect& b, double tolerance)
{
    return nearlyEqual(a.origin, b.origin, tolerance) && nearlyEqual(a.size, b.size, tolerance);
}

namespace {

std::string number(double v)
{
    return fmt::format("{}", v == 0 ? 0.0 : v);
}

// Reads "{a, b}" shapes: braces, numbers and commas, any spaces between. The numbers come back in order when the
// whole text matches the expected nesting, else nothing.
class BraceReader {
public:
    explicit BraceReader(std::string text)
        : m_text(std::move(text))
    {
    }

    bool expect(char c)
    {
        skipSpaces();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    std::optional<double> number()
    {
        skipSpaces();
        const char* begin = m_text.data() + m_pos;
        const char* end = m_text.data() + m_text.size();
        if (begin < end && *begin == '+')
            ++begin;
        double value = 0;
        auto [ptr, ec] = std::from_chars(begin, end, value);
        if (ec != std::errc() || !std::isfinite(value))
            return std::nullopt;
        m_pos = static_cast<std::size_t>(ptr - m_text.data());
        return value;
    }

    std::optional<fnd::Index> integer()
    {
        skipSpaces();
        const char* begin = m_text.data() + m_pos;
        const char* end = m_text.data() + m_text.size();
        fnd::Index value = 0;
        auto [ptr, ec] = std::from_chars(begin, end, value);
        if (ec != std::errc())
            return std::nullopt;
        m_pos = static_cast<std::size_t>(ptr - m_text.data());
        return value;
    }

    std::optional<std::pair<double, double>> pair()
    {
        if (!expect('{'))
            return std::nullopt;
        auto a = number();
        if (!a || !expect(','))
            return std::nullopt;
        auto b = number();
        if (!b || !expect('}'))
            return std::nullopt;
        return std::pair { *a, *b };
    }

    bool atEnd()
    {
        skipSpaces();
        return m_pos == m_text.size();
    }

private:
    void skipSpaces()
    {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }

    std::string m_text;
    std::size_t m_pos { 0 };
};

std::optional<std::pair<double, double>> parsePair(const fnd::String& s)
{
    BraceReader reader(s.utf8());
    auto p = reader.pair();
    if (!p || !reader.atEnd())
        return std::nullopt;
    return p;
}

}

fnd::String stringFromPoint(Point p)
{
    return fnd::String(fmt::format("{{{}, {}}}", number(p.x), number(p.y)));
}

fnd::String stringFromSize(Size s)
{
    return fnd::String(fmt::format("{{{}, {}}}", number(s.width), number(s.height)));
}

fnd::String stringFromRect(const Rect& r)
{
    return fnd::String(fmt::format("{{{{{}, {}}}, {{{}, {}}}}}", number(r.origin.x), number(r.origin.y),
        number(r.size.width), number(r.size.height)));
}

fnd::String stringFromRange(fnd::Range r)
{
    return fnd::String(fmt::format("{{{}, {}}}", r.location, r.length));
}

Point pointFromString(const fnd::String& s)
{
    auto p = parsePair(s);
    return p ? Point { p->first, p->second } : ZeroPoint;
}

Size sizeFromString(const fnd::String& s)
{
    auto p = parsePair(s);
    return p ? Size { p->first, p->second } : ZeroSize;
}

Rect rectFromString(const fnd::String& s)
{
    BraceReader reader(s.utf8());
    if (!reader.expect('{'))
        return ZeroRect;
    auto origin = reader.pair();
    if (!origin || !reader.expect(','))
        return ZeroRect;
    auto size = reader.pair();
    if (!size || !reader.expect('}') || !reader.atEnd())
        return ZeroRect;
    return { origin->first, origin->second, size->first, size->second };
}

fnd::Range rangeFromString(const fnd::String& s)
{
    BraceReader reader(s.utf8());
    if (!reader.expect('{'))
        return {};
    auto location = reader.integer();
    if (!location || !reader.expect(','))
        return {};
    auto length = reader.integer();
    if (!length || !reader.expect('}') || !reader.atEnd() || *location < 0 || *length < 0)
        return {};
    return { *location, *length };
}

}
