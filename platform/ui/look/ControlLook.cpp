#include "platform/ui/look/ControlLook.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/look/SystemColors.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace ui::ControlLook {

namespace {

// How much of a colour a disabled control keeps.
constexpr double DisabledAlpha = 0.5;

gfx::ColorPtr dimmed(const gfx::ColorPtr& color, bool enabled)
{
    return enabled ? color : color->colorWithAlphaComponent(color->alphaComponent() * DisabledAlpha);
}

gfx::ColorPtr black(double alpha)
{
    return gfx::Color::colorWithCalibratedWhite(0, alpha);
}

// +1 when "down on the screen" is +y in the current context.
double screenDown()
{
    auto* context = gfx::GraphicsContext::current();
    return context && context->isFlipped() ? 1 : -1;
}

void fill(const gfx::BezierPath& path, const gfx::Color& color)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(color);
    context->fillPath(path);
}

void stroke(const gfx::BezierPath& path, const gfx::Color& color)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setStrokeColor(color);
    context->strokePath(path);
}

}

// Colours.

gfx::ColorPtr accentColor(bool active)
{
    auto accent = SystemColors::accentColor();
    if (active)
        return accent;
    // Windows in the background keep the accent's place, in a quieter grey-blue.
    return accent->blendedColorWithFraction(0.55, *gfx::Color::colorWithCalibratedWhite(0.62));
}

gfx::ColorPtr textColor(bool enabled)
{
    // Asked for by every text cell that starts editing or draws: made once (colours are immutable).
    static const gfx::ColorPtr colors[2] = { black(0.85 * DisabledAlpha), black(0.85) };
    return colors[enabled ? 1 : 0];
}

gfx::ColorPtr textOnAccentColor(bool enabled)
{
    return gfx::Color::colorWithCalibratedWhite(1, enabled ? 1 : 0.7);
}

gfx::ColorPtr secondaryTextColor(bool enabled)
{
    return black(enabled ? 0.55 : 0.55 * DisabledAlpha);
}

gfx::ColorPtr borderColor()
{
    return black(0.18);
}

gfx::ColorPtr troughColor()
{
    return black(0.12);
}

gfx::ColorPtr faceColor(const FaceState& s)
{
    if (s.emphasized) {
        auto accent = accentColor(s.active);
        if (s.pressed)
            accent = accent->shadowWithLevel(0.18);
        else if (s.hovered)
            accent = accent->highlightWithLevel(0.08);
        return dimmed(accent, s.enabled);
    }
    double alpha = 0.08;
    if (s.on && s.pressed)
        alpha = 0.3;
    else if (s.pressed)
        alpha = 0.24;
    else if (s.on)
        alpha = 0.2;
    else if (s.hovered)
        alpha = 0.12;
    return dimmed(black(alpha), s.enabled);
}

gfx::ColorPtr faceTextColor(const FaceState& s)
{
    return s.emphasized ? textOnAccentColor(s.enabled) : textColor(s.enabled);
}

gfx::ColorPtr fieldBackgroundColor()
{
    return gfx::Color::whiteColor();
}

// Sizes.

double cornerRadius(ControlSize size)
{
    switch (size) {
    case ControlSize::Small:
        return 5;
    case ControlSize::Mini:
        return 4;
    default:
        return 6;
    }
}

double checkBoxSize(ControlSize size)
{
    switch (size) {
    case ControlSize::Small:
        return 12;
    case ControlSize::Mini:
        return 10;
    default:
        return 14;
    }
}

gfx::Size facePadding(ControlSize size)
{
    switch (size) {
    case ControlSize::Small:
        return { 10, 3 };
    case ControlSize::Mini:
        return { 8, 2 };
    default:
        return { 12, 4 };
    }
}

double lineHeight(ControlSize size)
{
    // Asked for every text cell drawn (a grid or table draws hundreds a frame), while the system font of a size
    // stays the same for the program's life: worked out once per size.
    static std::map<ControlSize, double> known;
    if (auto found = known.find(size); found != known.end())
        return found->second;
    auto font = gfx::Font::systemFontOfSize(gfx::Font::systemFontSizeForControlSize(size));
    const double height = font ? std::ceil(font->ascender() - font->descender() + font->leading()) : 15;
    known.emplace(size, height);
    return height;
}

// Shapes.

gfx::Rect snapped(gfx::Rect r)
{
    double x0 = std::round(r.minX()), y0 = std::round(r.minY());
    double x1 = std::round(r.maxX()), y1 = std::round(r.maxY());
    return { x0, y0, std::max(0.0, x1 - x0), std::max(0.0, y1 - y0) };
}

std::shared_ptr<gfx::BezierPath> facePath(gfx::Rect rect, FaceShape shape, ControlSize size)
{
    switch (shape) {
    case FaceShape::Square:
        return gfx::BezierPath::bezierPathWithRect(rect);
    case FaceShape::Circle: {
        double side = std::min(rect.width(), rect.height());
        return gfx::BezierPath::bezierPathWithOvalInRect(
            { rect.midX() - side / 2, rect.midY() - side / 2, side, side });
    }
    case FaceShape::Pill: {
        double r = std::min(rect.width(), rect.height()) / 2;
        return gfx::BezierPath::bezierPathWithRoundedRect(rect, r, r);
    }
    default: {
        double r = std::min({ cornerRadius(size), rect.width() / 2, rect.height() / 2 });
        return gfx::BezierPath::bezierPathWithRoundedRect(rect, r, r);
    }
    }
}

// Faces and marks.

void drawFace(gfx::Rect rect, FaceShape shape, ControlSize size, const FaceState& state)
{
    rect = snapped(rect);
    if (rect.isEmpty())
        return;
    fill(*facePath(rect, shape, size), *faceColor(state));
}

void drawOutlinedFace(gfx::Rect rect, FaceShape shape, ControlSize size, const FaceState& state)
{
    rect = snapped(rect);
    if (rect.isEmpty())
        return;
    if (!state.emphasized)
        fill(*facePath(rect, shape, size), *dimmed(fieldBackgroundColor(), state.enabled));
    drawFace(rect, shape, size, state);
    auto outline = facePath(gfx::insetRect(rect, 0.5, 0.5), shape, size);
    outline->setLineWidth(1);
    stroke(*outline, *dimmed(borderColor(), state.enabled));
}

namespace {

void drawMarkBox(gfx::Rect box, ControlStateValue state, const FaceState& face, bool round)
{
    box = snapped(box);
    if (box.isEmpty())
        return;
    double radius = round ? box.width() / 2 : std::max(2.0, box.width() / 5);
    auto shape = gfx::BezierPath::bezierPathWithRoundedRect(box, radius, radius);
    bool marked = state != ControlStateValue::Off;
    if (marked) {
        auto accent = accentColor(face.active);
        if (face.pressed)
            accent = accent->shadowWithLevel(0.18);
        fill(*shape, *dimmed(accent, face.enabled));
    } else {
        fill(*shape, *dimmed(fieldBackgroundColor(), face.enabled));
        if (face.pressed)
            fill(*shape, *black(0.12));
        double inner = round ? box.width() / 2 - 0.5 : radius - 0.5;
        auto outline = gfx::BezierPath::bezierPathWithRoundedRect(gfx::insetRect(box, 0.5, 0.5), inner, inner);
        outline->setLineWidth(1);
        stroke(*outline, *dimmed(black(0.35), face.enabled));
    }
    if (!marked)
        return;
    auto mark = *textOnAccentColor(face.enabled);
    double s = box.width();
    double down = screenDown();
    if (state == ControlStateValue::Mixed) {
        auto dash = gfx::BezierPath::bezierPath();
        dash->moveToPoint({ box.minX() + s * 0.28, box.midY() });
        dash->lineToPoint({ box.maxX() - s * 0.28, box.midY() });
        dash->setLineWidth(std::max(1.5, s / 7));
        dash->setLineCapStyle(gfx::LineCapStyle::Round);
        stroke(*dash, mark);
    } else if (round) {
        double dot = std::round(s * 0.4);
        fill(
            *gfx::BezierPath::bezierPathWithOvalInRect({ box.midX() - dot / 2, box.midY() - dot / 2, dot, dot }), mark);
    } else {
        auto tick = gfx::BezierPath::bezierPath();
        tick->moveToPoint({ box.minX() + s * 0.24, box.midY() });
        tick->lineToPoint({ box.minX() + s * 0.42, box.midY() + down * s * 0.2 });
        tick->lineToPoint({ box.maxX() - s * 0.22, box.midY() - down * s * 0.22 });
        tick->setLineWidth(std::max(1.5, s / 7));
        tick->setLineCapStyle(gfx::LineCapStyle::Round);
        tick->setLineJoinStyle(gfx::LineJoinStyle::Round);
        stroke(*tick, mark);
    }
}

}

void drawCheckBox(gfx::Rect box, ControlStateValue state, const FaceState& face)
{
    drawMarkBox(box, state, face, false);
}

void drawRadioButton(gfx::Rect box, ControlStateValue state, const FaceState& face)
{
    drawMarkBox(box, state, face, true);
}

void drawChevron(gfx::Point c, double halfWidth, Direction direction, const gfx::Color& color)
{
    double down = screenDown();
    double h = halfWidth / 2;
    gfx::Point a, tip, b;
    switch (direction) {
    case Direction::Down:
        a = { c.x - halfWidth, c.y - down * h };
        tip = { c.x, c.y + down * h };
        b = { c.x + halfWidth, c.y - down * h };
        break;
    case Direction::Up:
        a = { c.x - halfWidth, c.y + down * h };
        tip = { c.x, c.y - down * h };
        b = { c.x + halfWidth, c.y + down * h };
        break;
    case Direction::Right:
        a = { c.x - h, c.y - halfWidth };
        tip = { c.x + h, c.y };
        b = { c.x - h, c.y + halfWidth };
        break;
    case Direction::Left:
        a = { c.x + h, c.y - halfWidth };
        tip = { c.x - h, c.y };
        b = { c.x + h, c.y + halfWidth };
        break;
    }
    auto path = gfx::BezierPath::bezierPath();
    path->moveToPoint(a);
    path->lineToPoint(tip);
    path->lineToPoint(b);
    path->setLineWidth(1.5);
    path->setLineCapStyle(gfx::LineCapStyle::Round);
    path->setLineJoinStyle(gfx::LineJoinStyle::Round);
    stroke(*path, color);
}

void drawPopUpArrows(gfx::Rect rect, bool pullsDown, const gfx::Color& color)
{
    double half = std::clamp(std::min(rect.width(), rect.height()) / 4, 2.5, 4.0);
    gfx::Point c { rect.midX(), rect.midY() };
    if (pullsDown) {
        drawChevron(c, half, Direction::Down, color);
        return;
    }
    double down = screenDown();
    double gap = half * 0.8;
    drawChevron({ c.x, c.y - down * gap }, half * 0.85, Direction::Up, color);
    drawChevron({ c.x, c.y + down * gap }, half * 0.85, Direction::Down, color);
}

void drawDisclosureTriangle(gfx::Rect rect, bool open, const gfx::Color& color)
{
    double side = std::min(rect.width(), rect.height()) * 0.6;
    gfx::Point c { rect.midX(), rect.midY() };
    double down = screenDown();
    auto path = gfx::BezierPath::bezierPath();
    if (open) {
        path->moveToPoint({ c.x - side / 2, c.y - down * side / 4 });
        path->lineToPoint({ c.x + side / 2, c.y - down * side / 4 });
        path->lineToPoint({ c.x, c.y + down * side / 3 });
    } else {
        path->moveToPoint({ c.x - side / 4, c.y - side / 2 });
        path->lineToPoint({ c.x + side / 3, c.y });
        path->lineToPoint({ c.x - side / 4, c.y + side / 2 });
    }
    path->closePath();
    fill(*path, color);
}

void drawFieldBezel(gfx::Rect rect, bool rounded, const gfx::Color* background, bool enabled)
{
    rect = snapped(rect);
    if (rect.isEmpty())
        return;
    double radius = rounded ? rect.height() / 2 : std::min(4.0, rect.height() / 2);
    auto shape = gfx::BezierPath::bezierPathWithRoundedRect(rect, radius, radius);
    if (background)
        fill(*shape, *dimmed(std::make_shared<gfx::Color>(*background), enabled));
    auto outline = gfx::BezierPath::bezierPathWithRoundedRect(
        gfx::insetRect(rect, 0.5, 0.5), std::max(0.0, radius - 0.5), std::max(0.0, radius - 0.5));
    outline->setLineWidth(1);
    stroke(*outline, *dimmed(borderColor(), enabled));
}

void drawSeparator(gfx::Rect rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(*borderColor());
    if (rect.width() >= rect.height())
        context->fillRect({ rect.minX(), std::floor(rect.midY()), rect.width(), 1 });
    else
        context->fillRect({ std::floor(rect.midX()), rect.minY(), 1, rect.height() });
}

void drawTrough(gfx::Rect rect, double fraction, bool vertical, bool enabled, bool active)
{
    rect = snapped(rect);
    if (rect.isEmpty())
        return;
    double r = std::min(rect.width(), rect.height()) / 2;
    fill(*gfx::BezierPath::bezierPathWithRoundedRect(rect, r, r), *dimmed(troughColor(), enabled));
    if (fraction < 0)
        return;
    fraction = std::clamp(fraction, 0.0, 1.0);
    gfx::Rect filled = rect;
    if (vertical) {
        // Vertical bars fill from the bottom of the screen up.
        double h = rect.height() * fraction;
        filled.size.height = h;
        if (screenDown() > 0)
            filled.origin.y = rect.maxY() - h;
    } else {
        filled.size.width = rect.width() * fraction;
    }
    if (filled.isEmpty())
        return;
    auto* context = gfx::GraphicsContext::current();
    context->saveGraphicsState();
    context->clipToRect(filled);
    fill(*gfx::BezierPath::bezierPathWithRoundedRect(rect, r, r), *dimmed(accentColor(active), enabled));
    context->restoreGraphicsState();
}

void drawKnob(gfx::Rect rect, bool pressed, bool enabled)
{
    double side = std::floor(std::min(rect.width(), rect.height()));
    gfx::Rect knob { std::round(rect.midX() - side / 2), std::round(rect.midY() - side / 2), side, side };
    auto oval = gfx::BezierPath::bezierPathWithOvalInRect(knob);
    fill(*oval, *dimmed(pressed ? gfx::Color::colorWithCalibratedWhite(0.93) : fieldBackgroundColor(), enabled));
    auto outline = gfx::BezierPath::bezierPathWithOvalInRect(gfx::insetRect(knob, 0.5, 0.5));
    outline->setLineWidth(1);
    stroke(*outline, *dimmed(black(0.3), enabled));
}

}
