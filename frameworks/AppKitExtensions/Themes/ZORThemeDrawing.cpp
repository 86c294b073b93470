#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ZORThemeDrawing {

namespace {

namespace State = ZORThemeState;

// One value per control size: regular, small, mini.
struct BySize {
    double regular, small, mini;
    double operator[](ControlSize size) const
    {
        return size == ControlSize::Small ? small : size == ControlSize::Mini ? mini : regular;
    }
};

gfx::GraphicsContext* currentContext()
{
    return gfx::GraphicsContext::current();
}

void setShadow(const std::shared_ptr<gfx::Shadow>& shadow)
{
    if (shadow)
        shadow->set();
}

void strokeWithColor(const gfx::BezierPath& path, const gfx::ColorPtr& color, double lineWidth = 1)
{
    if (!color)
        return;
    color->setStroke();
    auto stroked = path.copy();
    stroked->setLineWidth(lineWidth);
    stroked->stroke();
}

// Left half circle, right half circle: a pill as high as the rectangle, sitting half a point lower than it.
std::shared_ptr<gfx::BezierPath> capsule(gfx::Rect r)
{
    double x = r.minX(), y = r.minY(), w = r.width(), h = r.height();
    double radius = h / 2, cy = y + h / 2 + 0.5;
    auto path = gfx::BezierPath::bezierPath();
    path->appendBezierPathWithArcWithCenter({ x + radius, cy }, radius, 90, 270);
    path->appendBezierPathWithArcWithCenter({ x + w - radius, cy }, radius, 270, 90);
    path->closePath();
    return path;
}

// The steps every outlined bezel shares: the dark line (casting the shadow), the fill, the outline.
void drawOutlinedBezel(const ZORTheme& theme, const gfx::BezierPath& path, const BezelState& state,
    const std::shared_ptr<gfx::Gradient>& fill, bool castShadow)
{
    {
        gfx::GraphicsStateGuard guard;
        if (castShadow)
            setShadow(theme.dropShadow());
        strokeWithColor(path, theme.darkStrokeColorForStateMask(state.stateMask));
    }
    if (fill)
        fill->drawInBezierPath(path, 90);
    strokeWithColor(path, theme.strokeColorForStateMask(state.stateMask));
}

// A capsule filled with the theme's fill colour, a disabled one left empty. Its rectangle lies half a point inside the
// frame; at the regular and small sizes it moves in by `inset` at its origin and sides and loses the size's height
// loss, at the mini size it keeps its size and moves a point down in y. The title rectangle is the capsule's, a point
// up in y except at the regular size.
BezelRects drawFilledCapsule(
    const ZORTheme& theme, gfx::Rect frame, const BezelState& state, double inset, double regularLoss, double smallLoss)
{
    gfx::Rect shape { frame.minX() + 0.5, frame.minY() + 0.5, frame.width() - 1, frame.height() - 1 };
    if (state.controlSize == ControlSize::Mini) {
        shape.origin.y -= 1;
    } else {
        const double loss = state.controlSize == ControlSize::Regular ? regularLoss : smallLoss;
        shape = { shape.minX() + inset, shape.minY() + inset, shape.width() - 2 * inset, shape.height() - loss };
    }
    const gfx::Rect title = state.controlSize == ControlSize::Regular ? shape : gfx::offsetRect(shape, 0, 1);
    if (state.enabled) {
        if (auto color = theme.fillColorForStateMask(state.fillMask)) {
            color->setFill();
            capsule(shape)->fill();
        }
    }
    return { shape, title };
}

}

void drawHighlightedBackground(const ZORTheme& theme, std::uint64_t mode, ZORThemeStateMask mask, gfx::Rect frame,
    ZORBackgroundStyle backgroundStyle, gfx::Rect imageRect, const std::function<void()>& drawImage)
{
    auto* context = currentContext();
    if (!context)
        return;
    gfx::GraphicsStateGuard guard;
    context->clipToRect(frame);
    switch (static_cast<HighlightBackgroundMode>(mode)) {
    case HighlightBackgroundMode::Gradient:
        if (auto gradient = theme.gradientForStateMask(mask))
            gradient->drawInRect(frame, theme.gradientAngleForStateMask(mask));
        break;
    case HighlightBackgroundMode::Glow: {
        auto color = theme.fillColorForStateMask(mask);
        if (color && backgroundStyle == ZORBackgroundStyleValue::Dark)
            color = color->blendedColorWithFraction(0.9, *gfx::Color::whiteColor());
        gfx::GraphicsStateGuard halo;
        gfx::Shadow shadow;
        shadow.setShadowOffset({ 0, 0 });
        shadow.setShadowColor(color);
        shadow.setShadowBlurRadius(std::min(imageRect.width(), imageRect.height()) / 2);
        shadow.set();
        if (drawImage)
            drawImage();
        break;
    }
    case HighlightBackgroundMode::Fill:
        if (auto color = theme.fillColorForStateMask(mask)) {
            color->setFill();
            context->fillRectUsingOperation(frame, gfx::CompositingOperation::SourceAtop);
        }
        break;
    }
}

void drawBorderSides(const ZORTheme& theme, ZORThemeStateMask mask, gfx::Rect r, std::uint64_t sides)
{
    if (!sides)
        return;
    auto gradient = theme.borderSideGradientForStateMask(mask);
    if (!gradient)
        return;
    if (sides & BorderSide::Left) {
        auto in = gfx::insetRect(r, 0, 2);
        gradient->drawInRect({ in.minX(), in.minY(), 1, in.height() }, 90);
    }
    if (sides & BorderSide::Right) {
        auto in = gfx::insetRect(r, 1, 2);
        gradient->drawInRect({ in.maxX(), in.minY(), 1, in.height() }, 90);
    }
    if (sides & BorderSide::Top) {
        auto in = gfx::insetRect(r, 2, 0);
        gradient->drawInRect({ in.minX(), in.minY(), in.width(), 1 }, 90);
    }
    if (sides & BorderSide::Bottom) {
        auto in = gfx::insetRect(r, 2, 1);
        gradient->drawInRect({ in.minX(), in.maxY(), in.width(), 1 }, 90);
    }
}

ZORThemeStateMask bezelGradientMask(
    bool enabled, unsigned showsStateBy, unsigned highlightsBy, long state, bool highlighted)
{
    using namespace CellStyleMask;
    if (!enabled)
        return State::Disabled;
    constexpr unsigned GreyAndBackground = ChangeGray | ChangeBackground;
    if (showsStateBy == GreyAndBackground
        && (highlightsBy == GreyAndBackground || highlightsBy == (GreyAndBackground | PushIn)))
        return state == 1 ? State::On : 0;
    return highlighted ? State::Pressed : 0;
}

ZORThemeStateMask recessedFillMask(bool on, bool mouseIn)
{
    return on ? State::Pressed : mouseIn ? State::On : 0;
}

BezelRects drawTexturedRoundedBezel(const ZORTheme& theme, gfx::Rect frame, const BezelState& state)
{
    gfx::Rect shape { frame.minX() + 1.5, frame.minY() + 0.5, frame.width() - 3, frame.height() - 4 };
    if (state.controlSize == ControlSize::Regular)
        shape.origin.y += 1;
    auto path = gfx::BezierPath::bezierPathWithRoundedRect(shape, 4, 4);
    drawOutlinedBezel(
        theme, *path, state, theme.gradientForStateMask(state.fillMask), state.enabled && theme.applyShadows());
    return { shape, shape };
}

BezelRects drawRoundRectBezel(const ZORTheme& theme, gfx::Rect frame, const BezelState& state)
{
    gfx::Rect shape { frame.minX() + 1.5, frame.minY(), frame.width() - 3, frame.height() };
    if (state.controlSize == ControlSize::Mini) {
        shape.origin.y += 1;
        shape.size.height -= 5;
    } else {
        shape.size.height -= 3;
    }
    drawOutlinedBezel(theme, *capsule(shape), state, theme.gradientForStateMask(state.fillMask),
        state.enabled && theme.applyShadows());
    return { shape, gfx::offsetRect(shape, 0, 1) };
}

BezelRects drawSmallSquareBezel(
    const ZORTheme& theme, gfx::Rect frame, const BezelState& state, double controlViewHeight)
{
    gfx::Rect shape { frame.minX() + 1.5, frame.minY() + 0.5, frame.width() - 3, controlViewHeight - 3 };
    drawOutlinedBezel(theme, *gfx::BezierPath::bezierPathWithRect(shape), state,
        theme.complexGradientForStateMask(state.fillMask), state.enabled);
    return { shape, shape };
}

BezelRects drawRoundedBezel(const ZORTheme& theme, gfx::Rect frame, const BezelState& state)
{
    return drawFilledCapsule(theme, frame, state, 4, 12, 11);
}

BezelRects drawRecessedBezel(const ZORTheme& theme, gfx::Rect frame, const BezelState& state)
{
    return drawFilledCapsule(theme, frame, state, 1, 4, 3);
}

gfx::Rect drawCheck(const ZORTheme& theme, gfx::Rect frame, const CheckState& state, bool isRadio)
{
    const ControlSize size = state.controlSize;
    gfx::Rect f = gfx::offsetRect(frame, 0.5, 0.5);
    double bw = BySize { 13, 11, 9 }[size];
    double bh = isRadio ? bw : BySize { 12, 10, 8 }[size];
    double by = f.minY() + state.verticalShift + BySize { 2, 3, 5 }[size];
    double bx = f.minX();
    gfx::Rect title = f;
    double titleDrop = BySize { 2, 1, 0 }[size];
    switch (state.imagePosition) {
    case 1: // the box alone, centred
        bx = f.minX() + (f.width() - bw) / 2 + BySize { -0.5, 0, 0.5 }[size];
        break;
    case 2: { // box, then title
        bx = f.minX() + BySize { 2, 3, 4 }[size];
        double titleX = bx + bw + BySize { 5, 6, 4 }[size];
        title = { titleX, f.minY() + titleDrop, f.width() - (titleX - f.minX()), f.height() };
        break;
    }
    case 3: { // title, then box
        bx = f.minX() + f.width() - bw - 1.5;
        double titleX = f.minX() + 2;
        title = { titleX, f.minY() + titleDrop, bx - 5 - titleX, f.height() };
        break;
    }
    default:
        break;
    }
    gfx::Rect box { bx, by, bw, bh };

    auto path = isRadio ? gfx::BezierPath::bezierPathWithOvalInRect(box)
                        : gfx::BezierPath::bezierPathWithRoundedRect(box, 2, 2);
    ZORThemeStateMask fillMask = !state.enabled ? State::Disabled : state.highlighted ? State::On : 0;
    drawOutlinedBezel(theme, *path, { state.stateMask, fillMask, size, state.enabled },
        theme.gradientForStateMask(fillMask), state.enabled && theme.applyShadows());

    auto mark = theme.strokeColorForStateMask(state.stateMask);
    double my = by + bh / 2;
    if (mark && state.state == 1) {
        if (isRadio) {
            double inset = BySize { 4, 3.5, 3 }[size];
            mark->setFill();
            gfx::BezierPath::bezierPathWithOvalInRect(gfx::insetRect(box, inset, inset))->fill();
        } else {
            auto tick = gfx::BezierPath::bezierPath();
            tick->moveToPoint({ bx + 3, my - 2 });
            tick->lineToPoint({ bx + bw / 2, my + 2 });
            tick->lineToPoint({ bx + bw - 1, by - 2 });
            strokeWithColor(*tick, mark, size == ControlSize::Mini ? 1.5 : 2);
        }
    } else if (mark && state.state == -1) {
        auto dash = gfx::BezierPath::bezierPath();
        dash->moveToPoint({ bx + 3, my });
        dash->lineToPoint({ bx + bw - 3, my });
        strokeWithColor(*dash, mark, 2);
    }
    return title;
}

void drawPopUpArrows(const ZORTheme& theme, gfx::Rect frame, ZORThemeStateMask mask, ZORBackgroundStyle backgroundStyle,
    ControlSize controlSize, bool bordered, bool pullsDown)
{
    auto color = theme.textColorForBackgroundStyle(backgroundStyle, mask);
    if (!color)
        return;
    double strip = bordered ? BySize { 21, 18, 15 }[controlSize] : BySize { 11, 8, 5 }[controlSize];
    double cx = frame.maxX() - strip + strip / 2, cy = frame.midY();
    bool mini = controlSize == ControlSize::Mini;
    auto triangle = [](gfx::Point a, gfx::Point b, gfx::Point c) {
        auto path = gfx::BezierPath::bezierPath();
        path->moveToPoint(a);
        path->lineToPoint(b);
        path->lineToPoint(c);
        path->closePath();
        path->fill();
    };
    color->setFill();
    if (pullsDown) {
        double a = mini ? 2.5 : 3.5, b = mini ? 1.5 : 2.5;
        triangle({ cx - a, cy - b }, { cx + a, cy - b }, { cx, cy + b });
    } else {
        double c = mini ? 2.0 : 2.5, d = mini ? 1.5 : 2.0;
        triangle({ cx - c, cy - d }, { cx + c, cy - d }, { cx, cy - 2 * d - 2 });
        triangle({ cx - c, cy + d }, { cx + c, cy + d }, { cx, cy + 2 * d + 2 });
    }
}

gfx::Rect segmentedDrawingRect(const ZORTheme& theme, gfx::Rect platformRect)
{
    if (!theme.applyShadows())
        return platformRect;
    return { platformRect.minX() + 1.5, platformRect.minY() + 0.5, platformRect.width() - 3,
        platformRect.height() - 3 };
}

void drawSegment(const ZORTheme& theme, gfx::Rect rect, ZORThemeStateMask gradientMask, bool isLast)
{
    if (auto gradient = theme.gradientForStateMask(gradientMask))
        gradient->drawInRect(rect, 90);
    if (auto stroke = theme.strokeColorForStateMask(0); stroke && !isLast) {
        stroke->setStroke();
        gfx::BezierPath::strokeLineFromPoint(
            { rect.maxX(), rect.minY() }, { rect.maxX(), rect.minY() + rect.height() });
    }
}

void drawSegmentOfStrip(const ZORTheme& theme, long segment, gfx::Rect rect, const SegmentStrip& strip)
{
    const ZORThemeStateMask mask = !strip.enabled ? State::Disabled : segment == strip.selectedSegment ? State::On : 0;
    drawSegment(theme, rect, mask, segment + 1 >= static_cast<long>(strip.segmentRects.size()));
}

bool drawSegmentedStrip(const ZORTheme& theme, gfx::Rect r, const SegmentStrip& strip,
    const std::function<void(long segment, gfx::Rect rect)>& drawSegment)
{
    auto stroke = theme.strokeColorForStateMask(0);
    if (!stroke)
        return false;
    auto outline = strip.segmentStyle == 1 ? gfx::BezierPath::bezierPathWithRoundedRect(r, 4, 4)
                                           : gfx::BezierPath::bezierPathWithRect(r);
    // The outline is laid once, over the segments, so that their fills never hide its inner half and a translucent
    // outline is not laid over itself. Its shadow goes first, on its own: only outside the line, as the line and the
    // segments cover the rest.
    if (strip.enabled && theme.applyShadows()) {
        gfx::GraphicsStateGuard guard;
        constexpr double ShadowRoom = 1000;
        auto outside = gfx::BezierPath::bezierPathWithRect(gfx::insetRect(r, -ShadowRoom, -ShadowRoom));
        const gfx::Rect lineEdge = gfx::insetRect(r, -0.5, -0.5);
        outside->appendBezierPath(strip.segmentStyle == 1
                ? *gfx::BezierPath::bezierPathWithRoundedRect(lineEdge, 4.5, 4.5)
                : *gfx::BezierPath::bezierPathWithRect(lineEdge));
        outside->setWindingRule(gfx::WindingRule::EvenOdd);
        outside->addClip();
        setShadow(theme.dropShadowForBackgroundStyle(strip.backgroundStyle));
        strokeWithColor(*outline, stroke);
    }
    {
        gfx::GraphicsStateGuard guard;
        outline->addClip();
        long count = static_cast<long>(strip.segmentRects.size());
        for (long i = 0; i < count; ++i) {
            gfx::Rect segment = gfx::intersectionRect(strip.segmentRects[static_cast<std::size_t>(i)], r);
            if (drawSegment)
                drawSegment(i, segment);
            else
                drawSegmentOfStrip(theme, i, segment, strip);
        }
    }
    strokeWithColor(*outline, stroke);
    return true;
}

namespace {

// The fill shape of a bordered view: rounded at the top (style 2) or the bottom (style 3) with radius 8, open along
// the square side. nullptr for the plain rectangle.
std::shared_ptr<gfx::BezierPath> borderedViewPath(gfx::Rect b, std::uint64_t pathStyle)
{
    constexpr double Radius = 8;
    switch (pathStyle) {
    case 1:
        return gfx::BezierPath::bezierPathWithRoundedRect(b, 4, 4);
    case 2: {
        auto path = gfx::BezierPath::bezierPath();
        path->moveToPoint({ b.minX(), b.minY() });
        path->appendBezierPathWithArcFromPoint({ b.minX(), b.maxY() }, { b.midX(), b.maxY() }, Radius);
        path->appendBezierPathWithArcFromPoint({ b.maxX(), b.maxY() }, { b.maxX(), b.minY() }, Radius);
        path->lineToPoint({ b.maxX(), b.minY() });
        return path;
    }
    case 3: {
        auto path = gfx::BezierPath::bezierPath();
        path->moveToPoint({ b.minX(), b.maxY() });
        path->appendBezierPathWithArcFromPoint({ b.minX(), b.minY() }, { b.midX(), b.minY() }, Radius);
        path->appendBezierPathWithArcFromPoint({ b.maxX(), b.minY() }, { b.maxX(), b.maxY() }, Radius);
        path->lineToPoint({ b.maxX(), b.maxY() });
        return path;
    }
    default:
        return nullptr;
    }
}

// A view's own gradient fades out from left to right: its alpha, as a mask the size of the bounds.
void clipToFadeMask(gfx::GraphicsContext& context, gfx::Rect b)
{
    long wide = std::max(1L, static_cast<long>(std::ceil(b.width())));
    long high = std::max(1L, static_cast<long>(std::ceil(b.height())));
    auto mask = gfx::BitmapImageRep::create(wide, high, gfx::BitmapLayout::ARGB32Premultiplied);
    if (!mask)
        return;
    {
        auto maskContext = gfx::GraphicsContext::createForBitmap(mask->pixelBuffer(), { b.width(), b.height() });
        gfx::CurrentContextScope scope(maskContext);
        auto fade = gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::blackColor(), *gfx::Color::blackColor()->colorWithAlphaComponent(0));
        fade->drawInRect({ 0, 0, b.width(), b.height() }, 0);
        maskContext->flush();
    }
    context.clipToMask(std::as_const(*mask).pixelBuffer(), b);
}

}

void drawBorderedView(const ZORTheme& theme, gfx::Rect b, bool active, const BorderedViewLook& look)
{
    auto* context = currentContext();
    if (!context)
        return;
    ZORThemeStateMask s = active ? 0 : State::Inactive;
    const auto& own = active ? look.activeBackgroundGradient : look.inactiveBackgroundGradient;
    auto gradient = own ? own : theme.gradientForStateMask(s);
    double angle = own ? (active ? look.activeBackgroundGradientAngle : look.inactiveBackgroundGradientAngle)
                       : theme.gradientAngleForStateMask(s);
    auto fill = theme.fillColorForStateMask(s);
    auto path = borderedViewPath(b, look.pathStyle);

    if (gradient) {
        gfx::GraphicsStateGuard guard;
        if (path)
            path->addClip();
        if (own)
            clipToFadeMask(*context, b);
        if (path)
            gradient->drawInBezierPath(*path, angle);
        else
            gradient->drawInRect(b, angle);
    } else if (fill) {
        gfx::GraphicsStateGuard guard;
        fill->setFill();
        if (path) {
            path->addClip();
            path->fill();
        } else {
            gfx::BezierPath::fillRect(b);
        }
    }

    gfx::ColorPtr border;
    switch (look.borderStyle) {
    case 0:
        border = theme.strokeColorForStateMask(s);
        break;
    case 1:
        border = theme.darkStrokeColorForStateMask(s);
        break;
    case 2:
        border = theme.gridColorForStateMask(s);
        break;
    default:
        return;
    }
    if (!border)
        return;
    // The rounded side's outline, when that side has a border; half a point inside the bounds like the straight
    // lines, so that the view's clip does not cut the line in half.
    bool roundedSideHasBorder = (look.pathStyle == 2 && (look.borderSides & BorderSide::Top))
        || (look.pathStyle == 3 && (look.borderSides & BorderSide::Bottom));
    auto line = roundedSideHasBorder ? borderedViewPath(gfx::insetRect(b, 0.5, 0.5), look.pathStyle) : nullptr;
    if (line)
        line->setLineWidth(0);
    gfx::GraphicsStateGuard guard;
    border->setStroke();
    auto side = [&](std::uint64_t bit, gfx::Point from, gfx::Point to) {
        if (!(look.borderSides & bit))
            return;
        if (line)
            line->stroke();
        else
            gfx::BezierPath::strokeLineFromPoint(from, to);
    };
    side(BorderSide::Top, { b.minX(), b.maxY() - 0.5 }, { b.maxX(), b.maxY() - 0.5 });
    side(BorderSide::Bottom, { b.minX(), b.minY() + 0.5 }, { b.maxX(), b.minY() + 0.5 });
    side(BorderSide::Left, { b.minX() + 0.5, b.minY() + 0.5 }, { b.minX() + 0.5, b.maxY() + 0.5 });
    side(BorderSide::Right, { b.maxX() - 0.5, b.minY() - 0.5 }, { b.maxX() - 0.5, b.maxY() - 0.5 });
}

}
