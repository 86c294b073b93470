#include "frameworks/attached-window/ZORAttachedWindow.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Responder.h"
#include "platform/ui/views/Screen.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(ZORAttachedWindow, ui::Window)

namespace {

// The longest margin, arrow or distance taken, in points: each adds to the window's size, and with it to the pixels
// a draw needs (an arrow five million points high asked for two gigabytes).
constexpr float AttachedWindowLongestLength = 1000;

bool attachedWindowSameColor(const gfx::ColorPtr& a, const gfx::ColorPtr& b)
{
    if (a == b)
        return true;
    return a && b && a->isEqual(*b);
}

// The sides sharing an arrow edge.
bool attachedWindowArrowOnRight(int side)
{
    return side == 0 || side == 4 || side == 5;
}
bool attachedWindowArrowOnTop(int side)
{
    return side == 1 || side == 10 || side == 11;
}
bool attachedWindowArrowOnLeft(int side)
{
    return side == 2 || side == 6 || side == 7;
}
bool attachedWindowArrowOnBottom(int side)
{
    return side == 3 || side == 8 || side == 9;
}

}

void ZORAttachedWindow::describeClass(fnd::ClassBuilder<ZORAttachedWindow>& c)
{
    c.action("performClose:", &ZORAttachedWindow::performClose);
    c.action("validateMenuItem:", &ZORAttachedWindow::validateMenuItem);
}

std::shared_ptr<ZORAttachedWindow> ZORAttachedWindow::create(const std::shared_ptr<ui::View>& view, gfx::Point point,
    const std::shared_ptr<ui::Window>& window, int side, float distance)
{
    if (!view)
        return nullptr;
    auto attached = fnd::makeObject<ZORAttachedWindow>();
    attached->initWithView(view, point, window, side, distance);
    return attached;
}

void ZORAttachedWindow::initWithView(const std::shared_ptr<ui::View>& view, gfx::Point point,
    const std::shared_ptr<ui::Window>& window, int side, float distance)
{
    auto size = view->frame().size;
    initWithContentRect({ { 0, 0 }, size }, ui::WindowStyleMask::Borderless);
    m_view = view;
    m_window = window;
    m_point = point;
    m_side = std::clamp(side, 0, int(Automatic));
    m_distance
        = std::isnan(distance) ? 0.0f : std::clamp(distance, -AttachedWindowLongestLength, AttachedWindowLongestLength);

    ui::Window::setBackgroundColor(gfx::Color::clearColor());
    setAlphaValue(1.0);
    setOpaque(false);
    setHasShadow(true);

    // The defaults are set as they are: the clamping setters would measure a view frame not laid out yet.
    m_borderColor = gfx::Color::darkGrayColor();
    m_borderWidth = 2;
    m_viewMargin = 2;
    m_arrowBaseWidth = 20;
    m_arrowHeight = 16;
    m_hasArrow = true;
    m_cornerRadius = 8;
    m_drawsRoundCornerBesideArrow = true;
    m_backgroundColor = gfx::Color::windowBackgroundColor();

    if (m_side == Automatic)
        m_side = _bestSideForAutomaticPosition();
    _updateGeometry();
    _updateBackground();
    contentView()->addSubview(view);
    view->setFrame(m_viewFrame);

    // The raw pointer is safe: the token goes with the window.
    m_resizeToken = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ui::WindowNotification::DidResize, {}, [this](const fnd::Notification& note) {
            if (note.object().object().get() == this)
                _redisplay();
        });
}

ZORAttachedWindow::~ZORAttachedWindow()
{
    if (m_resizeToken)
        fnd::NotificationCenter::defaultCenter().removeObserver(*m_resizeToken);
}

bool ZORAttachedWindow::validateMenuItem(const fnd::Value& item)
{
    if (auto parent = m_window.lock())
        return ui::validateItem(*parent, "validateMenuItem:", item);
    // A window enables what it has no validator for.
    return true;
}

void ZORAttachedWindow::performClose(const fnd::Value& sender)
{
    if (auto parent = m_window.lock()) {
        parent->performClose(sender);
        return;
    }
    ui::Window::performClose(sender);
}

// Looks.

void ZORAttachedWindow::setBackgroundColor(gfx::ColorPtr color)
{
    if (attachedWindowSameColor(color, m_backgroundColor))
        return;
    m_backgroundColor = std::move(color);
    _updateBackground();
}

void ZORAttachedWindow::setBackgroundImage(const std::shared_ptr<gfx::Image>& image)
{
    if (!image)
        return;
    setBackgroundColor(gfx::Color::colorWithPatternImage(image));
}

void ZORAttachedWindow::setBorderColor(gfx::ColorPtr color)
{
    if (attachedWindowSameColor(color, m_borderColor))
        return;
    m_borderColor = std::move(color);
    _updateBackground();
}

// Every length setter passes over a value that is not a number: the window keeps the look it has.

void ZORAttachedWindow::setBorderWidth(float width)
{
    if (std::isnan(width) || width == m_borderWidth)
        return;
    // Not below 0 either: a border of no width is not stroked.
    m_borderWidth = std::clamp(width, 0.0f, m_viewMargin);
    _updateBackground();
}

void ZORAttachedWindow::setViewMargin(float margin)
{
    if (std::isnan(margin) || margin == m_viewMargin)
        return;
    m_viewMargin = std::clamp(margin, 0.0f, AttachedWindowLongestLength);
    setCornerRadius(m_cornerRadius);
}

void ZORAttachedWindow::setArrowBaseWidth(float width)
{
    if (std::isnan(width))
        return;
    float shorter = static_cast<float>(std::min(m_viewFrame.width(), m_viewFrame.height()));
    float limit = 2 * m_viewMargin + shorter - m_cornerRadius;
    if (m_drawsRoundCornerBesideArrow)
        limit -= m_cornerRadius;
    // Not below 0 either: a negative width would turn the arrow inside out and lift the corner radius's limit.
    m_arrowBaseWidth = std::max(0.0f, std::min(width, limit));
    _redisplay();
}

void ZORAttachedWindow::setArrowHeight(float height)
{
    if (std::isnan(height) || height == m_arrowHeight)
        return;
    m_arrowHeight = std::clamp(height, 0.0f, AttachedWindowLongestLength);
    _redisplay();
}

void ZORAttachedWindow::setHasArrow(float flag)
{
    if (std::isnan(flag))
        return;
    // The whole part decides, as a flag truncated from the number would (and any size of number may come).
    bool value = std::trunc(flag) != 0;
    if (value == m_hasArrow)
        return;
    m_hasArrow = value;
    _updateBackground();
}

void ZORAttachedWindow::setCornerRadius(float radius)
{
    if (std::isnan(radius))
        return;
    float shorter = static_cast<float>(std::min(m_viewFrame.width(), m_viewFrame.height()));
    float limit = (2 * m_viewMargin + shorter - m_arrowBaseWidth) / 2;
    m_cornerRadius = std::max(0.0f, std::min(radius, limit));
    setArrowBaseWidth(m_arrowBaseWidth);
}

void ZORAttachedWindow::setDrawsRoundCornerBesideArrow(float flag)
{
    if (std::isnan(flag))
        return;
    bool value = std::trunc(flag) != 0;
    if (value == m_drawsRoundCornerBesideArrow)
        return;
    m_drawsRoundCornerBesideArrow = value;
    _redisplay();
}

// Placement.

gfx::Point ZORAttachedWindow::screenPoint() const
{
    if (auto parent = m_window.lock())
        return parent->convertBaseToScreen(m_point);
    return m_point;
}

double ZORAttachedWindow::_arrowInset() const
{
    return (m_arrowBaseWidth / 2.0 + (m_drawsRoundCornerBesideArrow ? m_cornerRadius : 0)) * scale();
}

int ZORAttachedWindow::_bestSideForAutomaticPosition() const
{
    auto parent = m_window.lock();
    std::shared_ptr<ui::Screen> screen = parent ? parent->screen() : nullptr;
    if (!screen)
        screen = ui::Screen::mainScreen();
    gfx::Rect S = screen ? screen->visibleFrame() : gfx::Rect {};
    auto P = screenPoint();
    auto view = m_view.lock();
    gfx::Size viewSize = view ? view->frame().size : gfx::Size {};
    double s = scale();
    double w = viewSize.width + 2 * m_viewMargin * s;
    double h = viewSize.height + 2 * m_viewMargin * s;
    double a = m_distance + m_arrowHeight * s;

    int side = Below;
    if (P.y - h - a >= S.minY())
        side = Below;
    else if (P.x + w + a < S.maxX())
        side = Right;
    else if (P.x - w - a >= S.minX())
        side = Left;
    else if (P.y + h + a < S.maxY())
        side = Above;

    gfx::Rect F = parent ? parent->frame() : S;
    double i = _arrowInset();
    if (side == Below || side == Above) {
        if (F.minX() > P.x - w / 2 && S.maxX() > P.x + w - i)
            side = side == Below ? BelowExtendingRight : AboveExtendingRight;
        else if (P.x + w / 2 >= F.maxX() && P.x - w + i >= S.minX())
            side = side == Below ? BelowExtendingLeft : AboveExtendingLeft;
    } else {
        if (F.minY() > P.y - h / 2 && S.maxY() > P.y + h - i)
            side = side == Right ? RightExtendingUp : LeftExtendingUp;
        else if (P.y + h / 2 >= F.maxY() && P.y - h + i >= S.minY())
            side = side == Right ? RightExtendingDown : LeftExtendingDown;
    }
    return side;
}

void ZORAttachedWindow::_updateGeometry()
{
    auto view = m_view.lock();
    gfx::Size viewSize = view ? view->frame().size : m_viewFrame.size;
    double s = scale();
    double m = m_viewMargin * s;
    double a = m_arrowHeight * s;
    double W = viewSize.width + 2 * m;
    double H = viewSize.height + 2 * m;
    m_viewFrame = { m, m, viewSize.width, viewSize.height };
    // The arrow's room is kept with or without the arrow.
    if (attachedWindowArrowOnRight(m_side)) {
        W += a;
    } else if (attachedWindowArrowOnLeft(m_side)) {
        m_viewFrame.origin.x += a;
        W += a;
    } else if (attachedWindowArrowOnTop(m_side)) {
        H += a;
    } else if (attachedWindowArrowOnBottom(m_side)) {
        m_viewFrame.origin.y += a;
        H += a;
    }

    auto P = screenPoint();
    double i = _arrowInset();
    double d = m_distance;
    gfx::Point origin;
    switch (m_side) {
    case Left:
        origin = { P.x - W - d, P.y - H / 2 };
        break;
    case Below:
        origin = { P.x - W / 2, P.y - H - d };
        break;
    case Right:
        origin = { P.x + d, P.y - H / 2 };
        break;
    case Above:
        origin = { P.x - W / 2, P.y + d };
        break;
    case LeftExtendingUp:
        origin = { P.x - W - d, P.y - i };
        break;
    case LeftExtendingDown:
        origin = { P.x - W - d, P.y - (H - i) };
        break;
    case RightExtendingUp:
        origin = { P.x + d, P.y - i };
        break;
    case RightExtendingDown:
        origin = { P.x + d, P.y - (H - i) };
        break;
    case AboveExtendingLeft:
        origin = { P.x - (W - i), P.y + d };
        break;
    case AboveExtendingRight:
        origin = { P.x - i, P.y + d };
        break;
    case BelowExtendingLeft:
        origin = { P.x - (W - i), P.y - H - d };
        break;
    case BelowExtendingRight:
        origin = { P.x - i, P.y - H - d };
        break;
    default:
        break;
    }
    setFrame({ origin, { W, H } }, false);
    if (view)
        view->setFrame(m_viewFrame);
}

// The bubble.

void ZORAttachedWindow::_appendArrowToPath(gfx::BezierPath& path) const
{
    if (!m_hasArrow)
        return;
    double s = scale();
    double B = m_arrowBaseWidth * s;
    double a = m_arrowHeight * s;
    auto [x, y] = path.currentPoint();
    if (attachedWindowArrowOnTop(m_side)) {
        path.lineToPoint({ x + B / 2, y + a });
        path.lineToPoint({ x + B, y });
    } else if (attachedWindowArrowOnRight(m_side)) {
        path.lineToPoint({ x + a, y - B / 2 });
        path.lineToPoint({ x, y - B });
    } else if (attachedWindowArrowOnBottom(m_side)) {
        path.lineToPoint({ x - B / 2, y - a });
        path.lineToPoint({ x - B, y });
    } else if (attachedWindowArrowOnLeft(m_side)) {
        path.lineToPoint({ x - a, y + B / 2 });
        path.lineToPoint({ x, y + B });
    }
}

gfx::BezierPath ZORAttachedWindow::_backgroundPath() const
{
    double s = scale();
    double r = m_cornerRadius * s;
    double B = m_arrowBaseWidth * s;
    double m = m_viewMargin * s;
    // The content rectangle: the view's frame and its margin (the scale is already in both).
    gfx::Rect C = gfx::insetRect(m_viewFrame, -m, -m);
    double left = C.minX(), right = C.maxX(), bottom = C.minY(), top = C.maxY();
    double midX = C.midX(), midY = C.midY();

    bool square = !m_drawsRoundCornerBesideArrow;
    auto radius = [&](bool besideArrow) { return r > 0 && !(square && besideArrow) ? r : 0.0; };
    double rTL = radius(m_side == RightExtendingDown || m_side == BelowExtendingRight);
    double rTR = radius(m_side == LeftExtendingDown || m_side == BelowExtendingLeft);
    double rBR = radius(m_side == LeftExtendingUp || m_side == AboveExtendingLeft);
    double rBL = radius(m_side == RightExtendingUp || m_side == AboveExtendingRight);

    gfx::BezierPath path;
    path.setLineJoinStyle(gfx::LineJoinStyle::Round);
    path.moveToPoint({ left + rTL, top });

    // Top edge, rightwards.
    if (m_side == Below) {
        path.lineToPoint({ midX - B / 2, top });
        _appendArrowToPath(path);
    } else if (m_side == BelowExtendingLeft) {
        path.lineToPoint({ right - rTR - B, top });
        _appendArrowToPath(path);
    } else if (m_side == BelowExtendingRight) {
        _appendArrowToPath(path);
    }
    path.lineToPoint({ right - rTR, top });
    if (rTR > 0)
        path.appendBezierPathWithArcFromPoint({ right, top }, { right, top - rTR }, rTR);

    // Right edge, downwards.
    if (m_side == Left) {
        path.lineToPoint({ right, midY + B / 2 });
        _appendArrowToPath(path);
    } else if (m_side == LeftExtendingUp) {
        path.lineToPoint({ right, bottom + rBR + B });
        _appendArrowToPath(path);
    } else if (m_side == LeftExtendingDown) {
        _appendArrowToPath(path);
    }
    path.lineToPoint({ right, bottom + rBR });
    if (rBR > 0)
        path.appendBezierPathWithArcFromPoint({ right, bottom }, { right - rBR, bottom }, rBR);

    // Bottom edge, leftwards.
    if (m_side == Above) {
        path.lineToPoint({ midX + B / 2, bottom });
        _appendArrowToPath(path);
    } else if (m_side == AboveExtendingRight) {
        path.lineToPoint({ left + rBL + B, bottom });
        _appendArrowToPath(path);
    } else if (m_side == AboveExtendingLeft) {
        _appendArrowToPath(path);
    }
    path.lineToPoint({ left + rBL, bottom });
    if (rBL > 0)
        path.appendBezierPathWithArcFromPoint({ left, bottom }, { left, bottom + rBL }, rBL);

    // Left edge, upwards.
    if (m_side == Right) {
        path.lineToPoint({ left, midY - B / 2 });
        _appendArrowToPath(path);
    } else if (m_side == RightExtendingDown) {
        path.lineToPoint({ left, top - rTL - B });
        _appendArrowToPath(path);
    } else if (m_side == RightExtendingUp) {
        _appendArrowToPath(path);
    }
    path.lineToPoint({ left, top - rTL });
    if (rTL > 0)
        path.appendBezierPathWithArcFromPoint({ left, top }, { left + rTL, top }, rTL);
    path.closePath();
    return path;
}

void ZORAttachedWindow::_updateBackground()
{
    auto size = frame().size;
    if (size.width <= 0 || size.height <= 0)
        return;
    auto path = _backgroundPath();
    auto fill = m_backgroundColor ? m_backgroundColor : gfx::Color::windowBackgroundColor();
    auto border = m_borderColor;
    double lineWidth = 2 * m_borderWidth * scale();
    // Drawn at whatever scale the window shows at, so the bubble stays sharp on a 2x screen.
    auto image = gfx::Image::imageWithSize(size, false, [path, fill, border, lineWidth](const gfx::Rect&) {
        auto* context = gfx::GraphicsContext::current();
        if (!context)
            return false;
        gfx::GraphicsStateGuard guard;
        context->clipToPath(path);
        context->setFillColor(*fill);
        context->fillPath(path);
        if (lineWidth > 0 && border) {
            // Half the line falls inside the clip: the border is as wide as borderWidth.
            auto stroke = path;
            stroke.setLineWidth(lineWidth);
            context->setStrokeColor(*border);
            context->strokePath(stroke);
        }
        return true;
    });
    ui::Window::setBackgroundColor(gfx::Color::colorWithPatternImage(image));
    if (isVisible())
        display();
}

void ZORAttachedWindow::_redisplay()
{
    if (m_resizing)
        return;
    m_resizing = true;
    _updateGeometry();
    _updateBackground();
    m_resizing = false;
}
