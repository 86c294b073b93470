#include "platform/ui/views/Window.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Screen.h"
#include "platform/ui/views/ToolTipManager.h"
#include "platform/ui/views/ViewDrawing.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <utility>

namespace ui {

FND_REGISTER_CLASS(Window, Responder)

void Window::describeClass(fnd::ClassBuilder<Window>& c)
{
    c.property("title", &Window::title, &Window::setTitle);
    c.property("styleMask", &Window::styleMask, &Window::setStyleMask);
    c.property("level", &Window::level, &Window::setLevel);
    c.property("alphaValue", &Window::alphaValue, &Window::setAlphaValue);
    c.property("backgroundColor", &Window::backgroundColor, &Window::setBackgroundColor);
    c.property("frame", &Window::frame, [](Window& w, gfx::Rect r) { w.setFrame(r, true); });
    c.property("frameAutosaveName", &Window::frameAutosaveName,
        [](Window& w, fnd::String name) { w.setFrameAutosaveName(name); });
    c.property("worksWhenModal", &Window::worksWhenModal, &Window::setWorksWhenModal);
    c.property("initialFirstResponder", &Window::initialFirstResponder, &Window::setInitialFirstResponder);
    // Observable, so that views can follow "toolbar.visible".
    c.property("toolbar", &Window::toolbar);
    c.action("orderFront:", &Window::orderFront);
    c.action("orderBack:", &Window::orderBack);
    c.action("orderOut:", &Window::orderOut);
    c.action("makeKeyAndOrderFront:", &Window::makeKeyAndOrderFront);
    c.action("performClose:", &Window::performClose);
    c.action("performZoom:", &Window::performZoom);
    c.action("validateMenuItem:", &Window::validateMenuItem);
    c.action("toggleToolbarShown:", &Window::toggleToolbarShown);
    c.action("runToolbarCustomizationPalette:", &Window::runToolbarCustomizationPalette);
}

namespace {

fnd::String windowFrameAutosaveKey(const fnd::String& name)
{
    return fnd::String("NSWindow Frame ") + name;
}

}

Window::~Window()
{
    // A window that was only ordered out (a sheet's panel, dropped by its owner) leaves nothing behind on screen.
    if (m_windowNumber && !m_closed)
        Backend::noteWindowDestroyed(m_windowNumber);
    if (m_nextFrameTimer)
        m_nextFrameTimer->invalidate();
}

std::shared_ptr<Window> Window::create(gfx::Rect contentRect, unsigned styleMask, BackingStoreType, bool)
{
    auto window = fnd::makeObject<Window>();
    window->initWithContentRect(contentRect, styleMask);
    return window;
}

void Window::init()
{
    initWithContentRect({}, WindowStyleMask::Titled);
}

void Window::initWithContentRect(gfx::Rect contentRect, unsigned styleMask)
{
    m_styleMask = styleMask;
    if (!m_backgroundColor)
        m_backgroundColor = gfx::Color::windowBackgroundColor();
    if (!m_windowNumber)
        m_windowNumber = Application::shared().registerWindow(*this);
    if (!m_contentView) {
        m_frame = frameRectForContentRect(contentRect, styleMask);
        setContentView(View::create({ 0, 0, contentRect.width(), contentRect.height() }));
    } else {
        applyFrame(frameRectForContentRect(contentRect, styleMask), false);
    }
}

// Geometry.

gfx::Rect Window::contentRectForFrameRect(gfx::Rect frame, unsigned styleMask)
{
    auto in = Backend::current().frameInsets(styleMask);
    return { frame.minX() + in.left, frame.minY() + in.bottom, std::max(0.0, frame.width() - in.left - in.right),
        std::max(0.0, frame.height() - in.top - in.bottom) };
}

gfx::Rect Window::frameRectForContentRect(gfx::Rect content, unsigned styleMask)
{
    auto in = Backend::current().frameInsets(styleMask);
    return { content.minX() - in.left, content.minY() - in.bottom, content.width() + in.left + in.right,
        content.height() + in.top + in.bottom };
}

gfx::Rect Window::contentRectForFrameRect(gfx::Rect frame) const
{
    auto content = contentRectForFrameRect(frame, m_styleMask);
    content.size.height = std::max(0.0, content.size.height - m_toolbarHeight);
    return content;
}

gfx::Rect Window::frameRectForContentRect(gfx::Rect content) const
{
    auto frame = frameRectForContentRect(content, m_styleMask);
    frame.size.height += m_toolbarHeight;
    return frame;
}

void Window::setFrame(gfx::Rect frame, bool display)
{
    applyFrame(frame, display);
}

namespace {

// A frame the window can take: a length that is no number or infinite keeps the window's, a finite one is taken within
// detail::ViewLargestCoordinate of 0 (sizes from 0), so no edge or step of a resize computed from it overflows.
gfx::Rect windowFrameWithin(gfx::Rect frame, gfx::Rect current)
{
    auto length = [](double asked, double kept, double least) {
        return std::isfinite(asked) ? std::clamp(asked, least, detail::ViewLargestCoordinate) : kept;
    };
    constexpr double Farthest = -detail::ViewLargestCoordinate;
    return { length(frame.minX(), current.minX(), Farthest), length(frame.minY(), current.minY(), Farthest),
        length(frame.width(), current.width(), 0), length(frame.height(), current.height(), 0) };
}

}

void Window::applyFrame(gfx::Rect frame, bool display)
{
    frame = windowFrameWithin(frame, m_frame);
    if (frame == m_frame)
        return;
    auto self = shared_from_this();
    auto old = m_frame;
    m_frame = frame;
    bool moved = old.origin != frame.origin;
    bool resized = old.size != frame.size;
    if (resized) {
        m_context.reset(); // the surface follows the content size
        if (m_contentView) {
            auto content = contentRectForFrameRect(frame);
            auto in = Backend::current().frameInsets(m_styleMask);
            m_contentView->setFrame({ in.left, in.bottom, content.width(), content.height() });
            m_contentView->setNeedsDisplay(true);
        }
        layoutToolbarView();
    }
    for (auto& [child, place] : m_children) {
        if (auto c = child.lock()) {
            auto f = c->frame();
            c->setFrameOrigin({ f.minX() + frame.minX() - old.minX(), f.minY() + frame.minY() - old.minY() });
        }
    }
    Backend::current().windowChanged(*this);
    if (!m_frameAutosaveName.isEmpty())
        saveFrameUsingName(m_frameAutosaveName);
    if (resized) {
        postNotification(WindowNotification::DidResize);
        if (auto d = delegate())
            d->windowDidResize(*this);
    }
    if (moved) {
        postNotification(WindowNotification::DidMove);
        if (auto d = delegate())
            d->windowDidMove(*this);
    }
    if (isAccessibilityObserved() && m_visible) {
        if (moved)
            accessibilityPostNotification(*this, AccessibilityNotification::Moved);
        if (resized)
            accessibilityPostNotification(*this, AccessibilityNotification::Resized);
    }
    if (display && m_visible)
        displayIfNeeded();
}

double Window::animationResizeTime(gfx::Rect newFrame) const
{
    // The platform's pace: 0.2 s for every 150 points the farthest edge travels.
    double travel = std::max({ std::abs(newFrame.minX() - m_frame.minX()), std::abs(newFrame.minY() - m_frame.minY()),
        std::abs(newFrame.maxX() - m_frame.maxX()), std::abs(newFrame.maxY() - m_frame.maxY()) });
    return 0.2 * travel / 150.0;
}

void Window::setFrame(gfx::Rect frame, bool display, bool animate)
{
    frame = windowFrameWithin(frame, m_frame);
    double duration = animate && m_visible ? animationResizeTime(frame) : 0;
    if (duration <= 0) {
        applyFrame(frame, display);
        return;
    }
    // Blocking, like the platform: steps at 60 per second on the run loop's clock.
    auto self = shared_from_this();
    auto clock = fnd::Clock::current();
    auto start = clock->now();
    auto from = m_frame;
    for (;;) {
        double t = std::min(1.0, fnd::Clock::current()->now().timeIntervalSince(start) / duration);
        auto mix = [t](double a, double b) { return a + (b - a) * t; };
        applyFrame({ mix(from.minX(), frame.minX()), mix(from.minY(), frame.minY()), mix(from.width(), frame.width()),
                       mix(from.height(), frame.height()) },
            display);
        if (t >= 1)
            break;
        fnd::RunLoop::current().runInMode(
            fnd::RunLoopMode::EventTracking, fnd::Clock::current()->now().addingTimeInterval(1.0 / 60), false);
    }
}

void Window::setFrameOrigin(gfx::Point origin)
{
    applyFrame({ origin, m_frame.size }, false);
}

void Window::setFrameTopLeftPoint(gfx::Point point)
{
    applyFrame({ point.x, point.y - m_frame.height(), m_frame.width(), m_frame.height() }, false);
}

void Window::setContentSize(gfx::Size size)
{
    auto content = contentRectForFrameRect(m_frame);
    auto frame = frameRectForContentRect({ content.origin, size });
    // Keep the top edge where it is, as the platform does.
    frame.origin.y = m_frame.maxY() - frame.height();
    applyFrame(m_visible ? frameKeptOnScreen(frame) : frame, true);
}

gfx::Rect Window::frameKeptOnScreen(gfx::Rect frame) const
{
    // Only windows with a title bar: pop-ups, tips and drag images are placed where they must be.
    return (m_styleMask & WindowStyleMask::Titled) ? Screen::frameKeptOnScreen(frame) : frame;
}

void Window::center()
{
    auto s = screen();
    if (!s)
        return;
    auto visible = s->visibleFrame();
    applyFrame({ std::floor(visible.midX() - m_frame.width() / 2),
                   std::floor(visible.minY() + (visible.height() - m_frame.height()) * 2 / 3), m_frame.width(),
                   m_frame.height() },
        false);
}

gfx::Rect Window::standardFrame()
{
    auto s = screen();
    gfx::Rect frame = s ? s->visibleFrame() : m_frame;
    if (auto d = delegate()) {
        if (auto chosen = d->windowWillUseStandardFrame(*this, frame))
            frame = *chosen;
    }
    return frame;
}

bool Window::isZoomed() const
{
    return gfx::nearlyEqual(m_frame, const_cast<Window*>(this)->standardFrame(), 0.5);
}

bool Window::isZoomable() const
{
    return (m_styleMask & WindowStyleMask::Resizable) && isStandardWindowButtonEnabled(WindowButton::Zoom);
}

void Window::performZoom(const fnd::Value& sender)
{
    if (!isZoomable()) {
        Application::shared().beep();
        return;
    }
    zoom(sender);
}

bool Window::isMovableByWindowBackground() const
{
    if (isSheet())
        return false;
    return m_movableByWindowBackground.value_or((m_styleMask & WindowStyleMask::TexturedBackground) != 0);
}

void Window::zoom(const fnd::Value&)
{
    if (isZoomed() && m_unzoomedFrame) {
        auto back = *m_unzoomedFrame;
        m_unzoomedFrame.reset();
        setFrame(back, true);
        return;
    }
    m_unzoomedFrame = m_frame;
    setFrame(standardFrame(), true);
}

// Frame strings.

fnd::String Window::stringWithSavedFrame() const
{
    auto number = [](double v) { return fmt::format("{}", std::lround(v)); };
    return fnd::String(fmt::format("{} {} {} {}", number(m_frame.minX()), number(m_frame.minY()),
        number(m_frame.width()), number(m_frame.height())));
}

std::optional<gfx::Rect> Window::frameFromSavedString(const fnd::String& string)
{
    std::istringstream in(string.utf8());
    double values[4];
    for (double& v : values) {
        if (!(in >> v) || !std::isfinite(v) || std::abs(v) > detail::ViewLargestCoordinate)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return gfx::Rect { values[0], values[1], values[2], values[3] };
}

void Window::setFrameFromString(const fnd::String& string)
{
    auto frame = frameFromSavedString(string);
    if (!frame) {
        fnd::log(fnd::String("Ignoring a malformed window frame string: \"") + string + "\"");
        return;
    }
    if (auto screen = Screen::screenForRect(*frame); screen && !screen->frame().isEmpty()) {
        frame->size.width = std::min(frame->width(), screen->frame().width());
        frame->size.height = std::min(frame->height(), screen->frame().height());
    }
    applyFrame(*frame, true);
}

bool Window::setFrameAutosaveName(const fnd::String& name)
{
    if (name == m_frameAutosaveName)
        return true;
    if (!name.isEmpty()) {
        for (const auto& w : Application::shared().windows()) {
            if (w.get() != this && w->frameAutosaveName() == name)
                return false;
        }
    }
    m_frameAutosaveName = name;
    if (!name.isEmpty() && !setFrameUsingName(name))
        saveFrameUsingName(name);
    return true;
}

void Window::saveFrameUsingName(const fnd::String& name) const
{
    if (!name.isEmpty())
        fnd::UserDefaults::standardUserDefaults().setObject(stringWithSavedFrame(), windowFrameAutosaveKey(name));
}

bool Window::setFrameUsingName(const fnd::String& name)
{
    auto saved = fnd::UserDefaults::standardUserDefaults().stringForKey(windowFrameAutosaveKey(name));
    if (!saved)
        return false;
    auto before = m_frame;
    setFrameFromString(*saved);
    return m_frame != before || stringWithSavedFrame() == *saved;
}

// Appearance.

void Window::setStyleMask(unsigned mask)
{
    if (mask == m_styleMask)
        return;
    auto content = contentRectForFrameRect(m_frame);
    m_styleMask = mask;
    applyFrame(frameRectForContentRect(content), true);
    Backend::current().windowChanged(*this);
}

void Window::setTitle(const fnd::String& title)
{
    if (title == m_title)
        return;
    m_title = title;
    Backend::current().windowChanged(*this);
    accessibilityPostNotification(*this, AccessibilityNotification::TitleChanged);
}

void Window::setDisplayScale(double scale)
{
    scale = std::isfinite(scale) ? std::clamp(scale, 0.01, 1.0) : 1.0;
    if (scale == m_displayScale)
        return;
    m_displayScale = scale;
    Backend::current().windowChanged(*this);
}

void Window::setLevel(long level)
{
    if (level == m_level)
        return;
    m_level = level;
    if (m_visible)
        Application::shared().orderWindow(*this, static_cast<int>(WindowOrderingMode::Above), 0);
}

bool Window::isStandardWindowButtonEnabled(WindowButton button) const
{
    return (m_disabledButtons & (1u << static_cast<unsigned>(button))) == 0;
}

void Window::setStandardWindowButtonEnabled(WindowButton button, bool enabled)
{
    const unsigned bit = 1u << static_cast<unsigned>(button);
    const unsigned disabled = enabled ? m_disabledButtons & ~bit : m_disabledButtons | bit;
    if (disabled == m_disabledButtons)
        return;
    m_disabledButtons = disabled;
    Backend::current().windowChanged(*this);
}

double Window::contentBorderThicknessForEdge(gfx::RectEdge edge) const
{
    return edge == gfx::RectEdge::MinY ? m_contentBorderBottom : edge == gfx::RectEdge::MaxY ? m_contentBorderTop : 0;
}

void Window::setContentBorderThickness(double thickness, gfx::RectEdge edge)
{
    // std::max and std::clamp let NaN through: values that are not numbers are ignored here and in setAlphaValue.
    if (std::isnan(thickness))
        return;
    thickness = std::max(thickness, 0.0);
    if (edge == gfx::RectEdge::MinY)
        m_contentBorderBottom = thickness;
    else if (edge == gfx::RectEdge::MaxY)
        m_contentBorderTop = thickness;
}

namespace {

gfx::Size windowSizeLimit(gfx::Size proposed, gfx::Size current)
{
    auto dimension = [](double value, double kept) { return std::isnan(value) ? kept : std::clamp(value, 0.0, 1e7); };
    return { dimension(proposed.width, current.width), dimension(proposed.height, current.height) };
}

}

void Window::setMinSize(gfx::Size size)
{
    size = windowSizeLimit(size, m_minSize);
    if (size == m_minSize)
        return;
    m_minSize = size;
    // The window system holds a shown window to it.
    Backend::current().windowChanged(*this);
}

void Window::setMaxSize(gfx::Size size)
{
    size = windowSizeLimit(size, m_maxSize);
    if (size == m_maxSize)
        return;
    m_maxSize = size;
    Backend::current().windowChanged(*this);
}

void Window::setAlphaValue(double alpha)
{
    if (std::isnan(alpha))
        return;
    alpha = std::clamp(alpha, 0.0, 1.0);
    if (alpha == m_alpha)
        return;
    m_alpha = alpha;
    Backend::current().windowChanged(*this);
}

void Window::setBackgroundColor(gfx::ColorPtr color)
{
    m_backgroundColor = color ? std::move(color) : gfx::Color::windowBackgroundColor();
    if (m_contentView)
        m_contentView->setNeedsDisplay(true);
}

double Window::backingScaleFactor() const
{
    auto s = screen();
    return s ? s->backingScaleFactor() : 1.0;
}

void Window::setToolbar(const std::shared_ptr<fnd::Object>& toolbar, double height)
{
    auto content = contentRectForFrameRect(m_frame);
    const bool changes = toolbar != m_toolbar;
    if (changes)
        willChangeValueForKey("toolbar");
    m_toolbar = toolbar;
    if (changes)
        didChangeValueForKey("toolbar");
    m_toolbarHeight = toolbar ? std::max(0.0, height) : 0;
    // The content keeps its size; the frame grows upwards by the toolbar.
    auto frame = frameRectForContentRect(content);
    applyFrame(frame, true);
    layoutToolbarView();
}

void Window::setToolbarView(const std::shared_ptr<View>& view)
{
    if (view == m_toolbarView)
        return;
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    if (m_toolbarView)
        View::setIsRootViewOfWindow(*m_toolbarView, nullptr);
    m_toolbarView = view;
    if (!view)
        return;
    if (view->superview())
        view->removeFromSuperview();
    View::setIsRootViewOfWindow(*view, self);
    layoutToolbarView();
    view->setNeedsDisplay(true);
    m_cursorRectsValid = false;
}

void Window::layoutToolbarView()
{
    if (!m_toolbarView)
        return;
    auto content = contentRectForFrameRect(m_frame);
    auto in = Backend::current().frameInsets(m_styleMask);
    m_toolbarView->setHidden(m_toolbarHeight <= 0);
    m_toolbarView->setFrame({ in.left, in.bottom + content.height(), content.width(), m_toolbarHeight });
}

std::vector<std::shared_ptr<View>> Window::rootViews() const
{
    std::vector<std::shared_ptr<View>> roots;
    if (m_contentView)
        roots.push_back(m_contentView);
    if (m_toolbarView && !m_toolbarView->isHidden())
        roots.push_back(m_toolbarView);
    return roots;
}

std::shared_ptr<View> Window::hitTestViews(gfx::Point basePoint) const
{
    if (m_toolbarView && !m_toolbarView->isHidden() && gfx::pointInRect(basePoint, m_toolbarView->frame()))
        return m_toolbarView->hitTest(basePoint);
    return m_contentView ? m_contentView->hitTest(basePoint) : nullptr;
}

void Window::setContentView(const std::shared_ptr<View>& view)
{
    if (view == m_contentView)
        return;
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    if (m_contentView)
        View::setIsRootViewOfWindow(*m_contentView, nullptr);
    m_contentView = view;
    if (!view)
        return;
    if (auto parent = view->superview())
        view->removeFromSuperview();
    auto content = contentRectForFrameRect(m_frame);
    auto in = Backend::current().frameInsets(m_styleMask);
    view->setFrame({ in.left, in.bottom, content.width(), content.height() });
    View::setIsRootViewOfWindow(*view, self);
    view->setNeedsDisplay(true);
    m_cursorRectsValid = false;
}

// Order.

void Window::orderFront(const fnd::Value&)
{
    orderWindow(WindowOrderingMode::Above, 0);
}

void Window::orderBack(const fnd::Value&)
{
    orderWindow(WindowOrderingMode::Below, 0);
}

void Window::orderOut(const fnd::Value&)
{
    orderWindow(WindowOrderingMode::Out, 0);
}

void Window::orderFrontRegardless()
{
    orderFront();
}

void Window::makeKeyAndOrderFront(const fnd::Value&)
{
    auto self = shared_from_this();
    orderFront();
    makeKeyWindow();
}

void Window::orderWindow(WindowOrderingMode place, long otherWindowNumber)
{
    auto self = shared_from_this();
    if (m_closed && place != WindowOrderingMode::Out) {
        // A closed window shown again (a window controller keeps its window) is open again, and can close again.
        m_closed = false;
        m_windowNumber = Application::shared().registerWindow(*this);
    }
    bool wasVisible = m_visible;
    // A window coming on screen lies inside the screen's visible frame, its title bar first, wherever it was made.
    if (!wasVisible)
        applyFrame(frameKeptOnScreen(m_frame), false);
    Application::shared().orderWindow(*this, static_cast<int>(place), otherWindowNumber);
    if (wasVisible != m_visible) {
        if (m_visible)
            accessibilityPostNotification(*this, AccessibilityNotification::WindowCreated);
        accessibilityPostNotification(Application::shared(), AccessibilityNotification::ChildrenChanged);
    }
    if (place == WindowOrderingMode::Out)
        return;
    for (auto& [child, childPlace] : m_children) {
        if (auto c = child.lock())
            c->orderWindow(childPlace, m_windowNumber);
    }
    if (!wasVisible && m_contentView) {
        m_contentView->setNeedsDisplay(true);
        displayIfNeeded();
    }
}

std::shared_ptr<Screen> Window::screen() const
{
    return Screen::screenForRect(m_frame);
}

// Key and main.

bool Window::isKeyWindow() const
{
    return m_isKey;
}

bool Window::isMainWindow() const
{
    return m_isMain;
}

bool Window::canBecomeKeyWindow() const
{
    return (m_styleMask & (WindowStyleMask::Titled | WindowStyleMask::Resizable)) != 0 || isSheet();
}

bool Window::canBecomeMainWindow() const
{
    return m_visible && canBecomeKeyWindow() && !isSheet();
}

void Window::makeKeyWindow()
{
    if (!canBecomeKeyWindow())
        return;
    Application::shared().makeKey(this);
    if (canBecomeMainWindow())
        makeMainWindow();
}

void Window::makeMainWindow()
{
    if (canBecomeMainWindow())
        Application::shared().makeMain(this);
}

void Window::setKeyState(bool isKey)
{
    if (isKey == m_isKey)
        return;
    m_isKey = isKey;
    if (isKey)
        becomeKeyWindow();
    else
        resignKeyWindow();
    if (isKey) {
        accessibilityPostNotification(*this, AccessibilityNotification::FocusedWindowChanged);
        accessibilityPostNotification(
            accessibilityFocusedUIElement(), AccessibilityNotification::FocusedUIElementChanged);
    } else {
        accessibilityPostNotification(*this, AccessibilityNotification::StateChanged);
    }
}

void Window::setMainState(bool isMain)
{
    if (isMain == m_isMain)
        return;
    m_isMain = isMain;
    if (isMain)
        becomeMainWindow();
    else
        resignMainWindow();
    if (isMain)
        accessibilityPostNotification(*this, AccessibilityNotification::MainWindowChanged);
}

void Window::becomeKeyWindow()
{
    if (m_firstResponder.expired()) {
        if (auto initial = initialFirstResponder())
            makeFirstResponder(initial);
    }
    // Controls look different in the key window (the accent colour, the focus ring).
    if (m_contentView)
        m_contentView->setNeedsDisplay(true);
    postNotification(WindowNotification::DidBecomeKey);
    if (auto d = delegate())
        d->windowDidBecomeKey(*this);
}

void Window::resignKeyWindow()
{
    ToolTipManager::shared().windowDidResignKey(*this);
    if (m_contentView)
        m_contentView->setNeedsDisplay(true);
    postNotification(WindowNotification::DidResignKey);
    if (auto d = delegate())
        d->windowDidResignKey(*this);
}

void Window::becomeMainWindow()
{
    postNotification(WindowNotification::DidBecomeMain);
    if (auto d = delegate())
        d->windowDidBecomeMain(*this);
}

void Window::resignMainWindow()
{
    postNotification(WindowNotification::DidResignMain);
    if (auto d = delegate())
        d->windowDidResignMain(*this);
}

void Window::postNotification(const fnd::String& name)
{
    fnd::NotificationCenter::defaultCenter().postNotificationName(name, selfValue());
}

// First responder.

std::shared_ptr<Responder> Window::firstResponder() const
{
    if (auto r = m_firstResponder.lock())
        return r;
    return std::static_pointer_cast<Responder>(std::const_pointer_cast<fnd::Object>(shared_from_this()));
}

bool Window::makeFirstResponder(const std::shared_ptr<Responder>& responder)
{
    auto self = shared_from_this();
    auto current = m_firstResponder.lock();
    if (current && current == responder)
        return true;
    if (!current && (!responder || responder.get() == this))
        return true;
    if (current && !current->resignFirstResponder())
        return false;
    m_firstResponder.reset();
    // The rings of the old and the new first responder change.
    auto noteRing = [](const std::shared_ptr<Responder>& r) {
        if (auto view = std::dynamic_pointer_cast<View>(r))
            view->noteFocusRingMaskChanged();
    };
    noteRing(current);
    if (!responder || responder.get() == this)
        return true;
    if (!responder->acceptsFirstResponder() || !responder->becomeFirstResponder())
        return false;
    // A responder may hand the keyboard on while becoming first responder (a text field to its field editor).
    if (!m_firstResponder.lock())
        m_firstResponder = responder;
    noteRing(responder);
    if (m_isKey)
        accessibilityPostNotification(
            accessibilityFocusedUIElement(), AccessibilityNotification::FocusedUIElementChanged);
    return true;
}

// Closing.

void Window::close()
{
    if (m_closed)
        return;
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    postNotification(WindowNotification::WillClose);
    if (auto d = delegate())
        d->windowWillClose(*this);
    ToolTipManager::shared().windowWillClose(*this);
    if (m_attachedSheet)
        endSheet(m_attachedSheet, ModalResponse::Aborted);
    if (auto parent = sheetParent())
        parent->endSheet(self, ModalResponse::Aborted);
    if (auto parent = parentWindow())
        parent->removeChildWindow(self);
    Application::shared().windowWillClose(*this);
    orderOut();
    m_closed = true;
    accessibilityPostNotification(*this, AccessibilityNotification::UIElementDestroyed);
    Backend::current().windowClosed(*this);
    Application::shared().windowDidClose(*this);
}

void Window::performClose(const fnd::Value&)
{
    auto self = shared_from_this();
    if (!(m_styleMask & WindowStyleMask::Closable)) {
        Application::shared().beep();
        return;
    }
    if (auto d = delegate(); d && !d->windowShouldClose(*this)) {
        Application::shared().beep();
        return;
    }
    // The person closing the window is done with it: a field still being edited hands its text to its owner, as a
    // click elsewhere would, rather than losing it. (A program that closes a window itself, after Cancel, does not.)
    endEditingFor(nullptr);
    if (m_closed)
        return;
    close();
}

// Child windows.

void Window::addChildWindow(const std::shared_ptr<Window>& child, WindowOrderingMode place)
{
    if (!child || child.get() == this)
        return;
    removeChildWindow(child);
    m_children.push_back({ child, place });
    child->m_parentWindow = std::static_pointer_cast<Window>(shared_from_this());
    if (m_visible)
        child->orderWindow(place, m_windowNumber);
}

void Window::removeChildWindow(const std::shared_ptr<Window>& child)
{
    std::erase_if(m_children, [&](const auto& entry) {
        auto c = entry.first.lock();
        return !c || c == child;
    });
    if (child && child->m_parentWindow.lock().get() == this)
        child->m_parentWindow.reset();
}

std::vector<std::shared_ptr<Window>> Window::childWindows() const
{
    std::vector<std::shared_ptr<Window>> children;
    for (const auto& [child, place] : m_children) {
        if (auto c = child.lock())
            children.push_back(c);
    }
    return children;
}

// Sheets.

void Window::beginSheet(const std::shared_ptr<Window>& sheet, std::function<void(long)> completionHandler)
{
    if (!sheet || sheet.get() == this)
        return;
    if (m_attachedSheet) {
        fnd::log("A window can show one sheet at a time; the new sheet is refused.");
        if (completionHandler)
            completionHandler(ModalResponse::Aborted);
        return;
    }
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    postNotification(WindowNotification::WillBeginSheet);
    m_attachedSheet = sheet;
    m_sheetHandler = std::move(completionHandler);
    sheet->setSheetParent(self);
    // Hangs from the top of the content, centred.
    auto content = contentRectForFrameRect(m_frame);
    auto f = sheet->frame();
    sheet->setFrameOrigin({ std::floor(m_frame.midX() - f.width() / 2), content.maxY() - f.height() });
    addChildWindow(sheet, WindowOrderingMode::Above);
    sheet->orderWindow(WindowOrderingMode::Above, m_windowNumber);
    sheet->makeKeyWindow();
    Backend::current().sheetBegan(*sheet, *this);
}

void Window::endSheet(const std::shared_ptr<Window>& sheetRef, long returnCode)
{
    if (!sheetRef || sheetRef != m_attachedSheet)
        return;
    // A copy: the caller's pointer may be one the handler resets (a toolbar's palette, say).
    auto sheet = sheetRef;
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    auto handler = std::move(m_sheetHandler);
    m_sheetHandler = nullptr;
    m_attachedSheet.reset();
    removeChildWindow(sheet);
    sheet->setSheetParent(nullptr);
    sheet->orderOut();
    postNotification(WindowNotification::DidEndSheet);
    if (m_visible)
        makeKeyWindow();
    // The handler may drop the caller's reference to the sheet.
    auto ended = sheet;
    if (handler)
        handler(returnCode);
    Backend::current().sheetEnded(*ended, *this);
}

// Conversions.

gfx::Point Window::convertBaseToScreen(gfx::Point p) const
{
    return { p.x + m_frame.minX(), p.y + m_frame.minY() };
}

gfx::Point Window::convertScreenToBase(gfx::Point p) const
{
    return { p.x - m_frame.minX(), p.y - m_frame.minY() };
}

gfx::Rect Window::convertRectToScreen(gfx::Rect r) const
{
    return { convertBaseToScreen(r.origin), r.size };
}

gfx::Rect Window::convertRectFromScreen(gfx::Rect r) const
{
    return { convertScreenToBase(r.origin), r.size };
}

gfx::Point Window::mouseLocationOutsideOfEventStream() const
{
    return convertScreenToBase(Event::mouseLocation());
}

std::shared_ptr<Event> Window::currentEvent() const
{
    return Application::shared().currentEvent();
}

}
