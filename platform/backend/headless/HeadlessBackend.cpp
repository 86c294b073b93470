#include "platform/backend/headless/HeadlessBackend.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace ui {

// A window's pixels, premultiplied ARGB32 like a bitmap context wants them.
class HeadlessSurface final : public gfx::WindowSurface {
public:
    HeadlessSurface(gfx::Size points, double scale)
        : m_points(points)
        , m_width(std::max(1, int(std::ceil(points.width * scale))))
        , m_height(std::max(1, int(std::ceil(points.height * scale))))
        , m_pixels(std::size_t(m_width) * std::size_t(m_height), 0)
    {
    }
    gfx::Size pointSize() const override { return m_points; }
    gfx::PixelBufferView pixels() override
    {
        return { reinterpret_cast<std::uint8_t*>(m_pixels.data()), m_width, m_height, std::ptrdiff_t(m_width) * 4 };
    }

private:
    gfx::Size m_points;
    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
};

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend()
{
    // Scripted work refers to a test's objects; it must not outlive the test.
    for (const auto& timer : m_timers)
        timer->invalidate();
}

std::shared_ptr<HeadlessBackend> HeadlessBackend::install(gfx::Size screenSize)
{
    auto backend = std::make_shared<HeadlessBackend>();
    constexpr double MenuBarHeight = 22;
    backend->m_screens = { { { 0, 0, screenSize.width, screenSize.height },
        { 0, 0, screenSize.width, std::max(0.0, screenSize.height - MenuBarHeight) }, 1 } };
    Backend::install(backend);
    Application::shared().reset();
    Event::setCurrentModifierFlags(0);
    Event::setMouseLocation({});
    Event::setPressedMouseButtons(0);
    return backend;
}

// Input.

std::shared_ptr<Event> HeadlessBackend::mouseEvent(
    EventType type, Window& window, gfx::Point point, unsigned flags, long clicks)
{
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    return Event::mouseEventWithType(type, point, flags, now, window.windowNumber(), ++m_eventNumber, clicks, 1.0f);
}

void HeadlessBackend::mouseDown(Window& window, gfx::Point point, unsigned flags, long clickCount)
{
    post(mouseEvent(EventType::LeftMouseDown, window, point, flags, clickCount));
}

void HeadlessBackend::mouseUp(Window& window, gfx::Point point, unsigned flags, long clickCount)
{
    post(mouseEvent(EventType::LeftMouseUp, window, point, flags, clickCount));
}

void HeadlessBackend::mouseDragged(Window& window, gfx::Point point, unsigned flags)
{
    post(mouseEvent(EventType::LeftMouseDragged, window, point, flags, 1));
}

void HeadlessBackend::mouseMoved(Window& window, gfx::Point point, unsigned flags)
{
    post(mouseEvent(EventType::MouseMoved, window, point, flags, 0));
}

void HeadlessBackend::mouseDragged(gfx::Point screenPoint, unsigned flags)
{
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    post(Event::mouseEventWithType(EventType::LeftMouseDragged, screenPoint, flags, now, 0, ++m_eventNumber, 1, 1.0f));
}

void HeadlessBackend::mouseUp(gfx::Point screenPoint, unsigned flags)
{
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    post(Event::mouseEventWithType(EventType::LeftMouseUp, screenPoint, flags, now, 0, ++m_eventNumber, 1, 0.0f));
}

void HeadlessBackend::swipe(Window& window, gfx::Point point, double deltaX, double deltaY)
{
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    post(Event::swipeEvent(point, 0, now, window.windowNumber(), deltaX, deltaY));
}

void HeadlessBackend::magnify(Window& window, gfx::Point point, double magnification, EventPhase phase)
{
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    post(Event::magnifyEvent(point, 0, now, window.windowNumber(), magnification, phase));
}

void HeadlessBackend::rotate(Window& window, gfx::Point point, double degrees, EventPhase phase)
{
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    post(Event::rotateEvent(point, 0, now, window.windowNumber(), degrees, phase));
}

void HeadlessBackend::rightMouseDown(Window& window, gfx::Point point, unsigned flags)
{
    post(mouseEvent(EventType::RightMouseDown, window, point, flags, 1));
}

void HeadlessBackend::rightMouseUp(Window& window, gfx::Point point, unsigned flags)
{
    post(mouseEvent(EventType::RightMouseUp, window, point, flags, 1));
}

void HeadlessBackend::scrollWheel(Window& window, gfx::Point point, double deltaX, double deltaY, unsigned flags)
{
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    post(Event::scrollEvent(point, flags, now, window.windowNumber(), deltaX, deltaY));
}

void HeadlessBackend::preciseScrollWheel(Window& window, gfx::Point point, double deltaX, double deltaY, unsigned flags)
{
    // Ten points make a line, as a touchpad's coarse deltas report them.
    constexpr double PointsPerLine = 10;
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    auto event
        = Event::scrollEvent(point, flags, now, window.windowNumber(), deltaX / PointsPerLine, deltaY / PointsPerLine);
    event->setPreciseScrollingDeltas(deltaX, deltaY);
    post(event);
}

void HeadlessBackend::keyDown(Window& window, const fnd::String& characters, unsigned short keyCode, unsigned flags,
    std::optional<fnd::String> ignoringModifiers)
{
    m_heldKeys.insert(keyCode);
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    post(Event::keyEventWithType(EventType::KeyDown, {}, flags, now, window.windowNumber(), characters,
        ignoringModifiers.value_or(characters), false, keyCode));
}

void HeadlessBackend::keyUp(Window& window, const fnd::String& characters, unsigned short keyCode, unsigned flags)
{
    m_heldKeys.erase(keyCode);
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    post(Event::keyEventWithType(
        EventType::KeyUp, {}, flags, now, window.windowNumber(), characters, characters, false, keyCode));
}

void HeadlessBackend::flagsChanged(Window& window, unsigned flags, unsigned short keyCode)
{
    double now = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
    post(Event::keyEventWithType(
        EventType::FlagsChanged, {}, flags, now, window.windowNumber(), {}, {}, false, keyCode));
}

void HeadlessBackend::click(Window& window, gfx::Point point, unsigned flags)
{
    mouseDown(window, point, flags);
    mouseUp(window, point, flags);
}

void HeadlessBackend::post(const std::shared_ptr<Event>& event)
{
    Application::shared().postEvent(event, false);
}

void HeadlessBackend::dispatchEvents()
{
    Application::shared().dispatchPendingEvents();
}

void HeadlessBackend::after(double seconds, std::function<void()> work)
{
    auto timer = fnd::Timer::create(seconds, false, [work = std::move(work)](fnd::Timer&) { work(); });
    std::erase_if(m_timers, [](const auto& t) { return !t->isValid(); });
    m_timers.push_back(timer);
    fnd::RunLoop::main().addTimer(timer, fnd::RunLoopMode::Common);
}

// Pictures.

std::shared_ptr<gfx::WindowSurface> HeadlessBackend::surfaceForWindow(Window& window)
{
    if (!m_drawsWindows)
        return nullptr;
    // The content and the toolbar's strip above it.
    auto size = Window::contentRectForFrameRect(window.frame(), window.styleMask()).size;
    auto& surface = m_surfaces[window.windowNumber()];
    if (!surface || surface->pointSize() != size)
        surface = std::make_shared<HeadlessSurface>(size, window.backingScaleFactor());
    return surface;
}

void HeadlessBackend::windowClosed(Window& window)
{
    windowDestroyed(window.windowNumber());
}

void HeadlessBackend::windowDestroyed(long windowNumber)
{
    m_surfaces.erase(windowNumber);
    m_flushes.erase(windowNumber);
}

void HeadlessBackend::windowFlushed(Window& window)
{
    ++m_flushes[window.windowNumber()];
}

long HeadlessBackend::flushCount(const Window& window) const
{
    auto found = m_flushes.find(window.windowNumber());
    return found == m_flushes.end() ? 0 : found->second;
}

namespace {

// A colour as one premultiplied ARGB pixel (a pattern, or none, as clear).
std::uint32_t headlessPremultiplied(const gfx::ColorPtr& color)
{
    if (!color || color->model() == gfx::Color::Model::Pattern)
        return 0;
    const double a = std::clamp(color->alphaComponent(), 0.0, 1.0);
    auto byte = [&](double v) { return std::uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * a * 255)); };
    return std::uint32_t(std::lround(a * 255)) << 24 | byte(color->redComponent()) << 16
        | byte(color->greenComponent()) << 8 | byte(color->blueComponent());
}

std::shared_ptr<gfx::BitmapImageRep> copyOf(gfx::ConstPixelBufferView pixels, gfx::Size points)
{
    auto bitmap = gfx::BitmapImageRep::create(pixels.width, pixels.height, gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return nullptr;
    auto target = bitmap->pixelBuffer();
    for (int y = 0; y < pixels.height; ++y)
        std::memcpy(target.row(y), pixels.row(y), std::size_t(pixels.width) * 4);
    bitmap->setSize(points);
    return bitmap;
}

}

std::shared_ptr<gfx::BitmapImageRep> HeadlessBackend::imageOfWindow(Window& window)
{
    window.display();
    auto surface = std::static_pointer_cast<HeadlessSurface>(surfaceForWindow(window));
    if (!surface)
        return nullptr;
    return copyOf(surface->pixels(), surface->pointSize());
}

std::shared_ptr<gfx::BitmapImageRep> HeadlessBackend::imageOfWindowAsShown(Window& window)
{
    auto drawn = imageOfWindow(window);
    const double scale = window.displayScale();
    if (!drawn || scale == 1)
        return drawn;
    auto from = std::as_const(*drawn).pixelBuffer();
    auto shown = gfx::BitmapImageRep::create(from.width, from.height, gfx::BitmapLayout::ARGB32Premultiplied);
    shown->setSize(drawn->size());
    auto to = shown->pixelBuffer();
    const std::uint32_t ground = headlessPremultiplied(window.backgroundColor());
    // Each shown pixel's centre, taken back through the scale about the middle, picks the drawn pixel there.
    const double cx = from.width / 2.0, cy = from.height / 2.0;
    for (int y = 0; y < to.height; ++y) {
        for (int x = 0; x < to.width; ++x) {
            const double sx = cx + (x + 0.5 - cx) / scale, sy = cy + (y + 0.5 - cy) / scale;
            const bool inside = sx >= 0 && sy >= 0 && sx < from.width && sy < from.height;
            to.row(y)[x] = inside ? from.row(int(sy))[int(sx)] : ground;
        }
    }
    return shown;
}

std::shared_ptr<gfx::BitmapImageRep> HeadlessBackend::imageOfView(View& view)
{
    auto bitmap = view.bitmapImageRepForCachingDisplayInRect(view.bounds());
    if (bitmap)
        view.cacheDisplayInRect(view.bounds(), *bitmap);
    return bitmap;
}

fnd::Expected<void> HeadlessBackend::writePNG(Window& window, const fnd::String& path)
{
    auto image = imageOfWindow(window);
    if (!image)
        return std::unexpected(fnd::Error::make("ui", 3, "The window has no pixels to write"));
    return image->writeToFile(path, gfx::BitmapImageFileType::PNG);
}

fnd::Expected<void> HeadlessBackend::writePNG(View& view, const fnd::String& path)
{
    auto image = imageOfView(view);
    if (!image)
        return std::unexpected(fnd::Error::make("ui", 3, "The view has no pixels to write (empty bounds)"));
    return image->writeToFile(path, gfx::BitmapImageFileType::PNG);
}

// Scripts and records.

void HeadlessBackend::answerNextModal(std::function<void(Window&)> answer)
{
    m_modalAnswers.push_back(std::move(answer));
}

void HeadlessBackend::answerNextSheet(std::function<void(Window&, Window&)> answer)
{
    m_sheetAnswers.push_back(std::move(answer));
}

void HeadlessBackend::answerNextPopUpMenu(std::optional<long> index)
{
    m_popUpAnswers.push_back(index);
}

void HeadlessBackend::answerNextPanel(PanelAnswer answer)
{
    m_panelAnswers.push_back(std::move(answer));
}

bool HeadlessBackend::answerPanel(Window& window)
{
    if (m_panelAnswers.empty() || !dynamic_cast<ScriptedPanel*>(&window))
        return false;
    auto answer = std::move(m_panelAnswers.front());
    m_panelAnswers.pop_front();
    std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(window.shared_from_this());
    // Carried out inside the panel's session or once the sheet is up, as a person's clicks would be.
    after(0, [weak, answer = std::move(answer)] {
        if (auto w = weak.lock())
            dynamic_cast<ScriptedPanel&>(*w).performScriptedAnswer(answer);
    });
    return true;
}

void HeadlessBackend::sheetEnded(Window&, Window& parent)
{
    if (parent.isVisible())
        answerPanel(parent);
}

void HeadlessBackend::modalSessionBegan(Window& window)
{
    if (answerPanel(window))
        return;
    if (m_modalAnswers.empty())
        return;
    auto answer = std::move(m_modalAnswers.front());
    m_modalAnswers.pop_front();
    std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(window.shared_from_this());
    // Runs inside the session's loop, as a person's answer would arrive.
    after(0, [weak, answer = std::move(answer)] {
        if (auto w = weak.lock())
            answer(*w);
    });
}

void HeadlessBackend::sheetBegan(Window& sheet, Window& parent)
{
    if (answerPanel(sheet))
        return;
    if (m_sheetAnswers.empty())
        return;
    auto answer = std::move(m_sheetAnswers.front());
    m_sheetAnswers.pop_front();
    std::weak_ptr<Window> weakSheet = std::static_pointer_cast<Window>(sheet.shared_from_this());
    std::weak_ptr<Window> weakParent = std::static_pointer_cast<Window>(parent.shared_from_this());
    after(0, [weakSheet, weakParent, answer = std::move(answer)] {
        auto s = weakSheet.lock();
        auto p = weakParent.lock();
        if (s && p)
            answer(*s, *p);
    });
}

std::optional<long> HeadlessBackend::popUpMenu(Menu& menu, gfx::Point screenLocation)
{
    m_popUpMenuLocations.push_back(screenLocation);
    if (m_popUpAnswers.empty()) {
        // With input queued the menu is shown and tracked as on a real screen; without any it is dismissed at once.
        auto queued = Application::shared().nextEvent(
            EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::EventTracking, false);
        if (!queued)
            return std::nullopt;
        return Backend::popUpMenu(menu, screenLocation);
    }
    auto answer = m_popUpAnswers.front();
    m_popUpAnswers.pop_front();
    return answer;
}

fnd::Expected<void> HeadlessBackend::openURL(const fnd::String& url)
{
    m_openedURLs.push_back(url);
    return {};
}

}
