#include "GtkTestSupport.h"

#include "platform/backend/gtk/GtkDisplayState.h"
#include "platform/backend/gtk/GtkWindowHost.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/ui/menus/MenuItem.h"

#include <gdk/gdk.h>
#include <gio/gio.h>
#include <gtk/gtk.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>

namespace gtktest {

FND_REGISTER_CLASS(FillView, ui::View)
FND_REGISTER_CLASS(KeyRecorder, FillView)

namespace {

// The backend goes before the program's static objects (the notification centre it observes) do.
class ReleaseBackend : public ::testing::Environment {
public:
    void TearDown() override
    {
        for (const auto& w : ui::Application::shared().windows())
            w->close();
        ui::Backend::install(nullptr);
        GtkDisplayTest::releaseBackend();
    }
};
[[maybe_unused]] auto* const releaseBackend = ::testing::AddGlobalTestEnvironment(new ReleaseBackend);

}

void GtkDisplayTest::releaseBackend()
{
    backend.reset();
}

void GtkDisplayTest::SetUpTestSuite()
{
    if (!backend)
        backend = ui::GtkBackend::install();
    ASSERT_TRUE(backend) << "no display (run through scripts/with-display)";
}

void GtkDisplayTest::TearDownTestSuite()
{
    for (const auto& w : ui::Application::shared().windows())
        w->close();
}

void GtkDisplayTest::TearDown()
{
    for (const auto& w : ui::Application::shared().windows())
        w->close();
    ui::Application::shared().setMainMenu(nullptr);
    backend->runUntil([] { return false; }, 0.05);
}

int GtkDisplayTest::scale()
{
    const char* value = std::getenv("GDK_SCALE");
    return value ? std::max(1, std::atoi(value)) : 1;
}

bool GtkDisplayTest::waitFor(const std::function<bool()>& condition, double seconds)
{
    return backend->runUntil(condition, seconds);
}

void GtkDisplayTest::syncWithServer()
{
    if (Display* display = backend->display().xDisplay())
        XSync(display, False);
}

std::pair<int, int> GtkDisplayTest::canvasSize(const ui::Window& window)
{
    auto* host = backend->hostFor(window);
    if (!host)
        return { 0, 0 };
    return { gtk_widget_get_width(host->canvas()), gtk_widget_get_height(host->canvas()) };
}

std::pair<int, int> GtkDisplayTest::xWindowSize(const ui::Window& window)
{
    auto* host = backend->hostFor(window);
    if (!host || !host->xid())
        return { 0, 0 };
    syncWithServer();
    XWindowAttributes attributes {};
    XGetWindowAttributes(backend->display().xDisplay(), host->xid(), &attributes);
    return { attributes.width, attributes.height };
}

namespace {

long peakResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

}

PeakMemoryGrowth::PeakMemoryGrowth()
{
    // Starts the peak over from what the process holds now.
    std::ofstream("/proc/self/clear_refs") << "5";
    m_start = peakResidentKilobytes();
}

long PeakMemoryGrowth::kilobytes() const
{
    return peakResidentKilobytes() - m_start;
}

EventCount::EventCount(ui::EventMask mask)
    : m_monitor(
        ui::Application::shared().addLocalMonitorForEventsMatchingMask(mask, [count = m_count](const ui::Event&) {
            ++*count;
            return true;
        }))
{
}

EventCount::~EventCount()
{
    ui::Application::shared().removeMonitor(m_monitor);
}

GenerousDoubleClickTime::GenerousDoubleClickTime()
{
    GtkSettings* settings = gtk_settings_get_default();
    g_object_get(settings, "gtk-double-click-time", &m_previous, nullptr);
    g_object_set(settings, "gtk-double-click-time", 2000, nullptr);
}

GenerousDoubleClickTime::~GenerousDoubleClickTime()
{
    g_object_set(gtk_settings_get_default(), "gtk-double-click-time", m_previous, nullptr);
}

std::shared_ptr<ui::Window> GtkDisplayTest::showWindow(
    gfx::Rect contentRect, const std::shared_ptr<ui::View>& content, unsigned style)
{
    auto window = ui::Window::create(contentRect, style);
    content->setFrame({ 0, 0, contentRect.width(), contentRect.height() });
    window->setContentView(content);
    window->makeKeyAndOrderFront();
    EXPECT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > 0; })) << "the window was never painted";
    return window;
}

// Screenshots.

namespace {

Display* testConnection()
{
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

}

Screenshot grabScreen(int x, int y, int width, int height)
{
    Screenshot shot;
    Display* display = testConnection();
    if (!display)
        return shot;
    XSync(display, False);
    XImage* image
        = XGetImage(display, DefaultRootWindow(display), x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image)
        return shot;
    shot.width = width;
    shot.height = height;
    shot.pixels.resize(std::size_t(width) * std::size_t(height));
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            shot.pixels[std::size_t(row) * std::size_t(width) + std::size_t(column)]
                = std::uint32_t(XGetPixel(image, column, row)) & 0xFFFFFF;
    XDestroyImage(image);
    return shot;
}

Screenshot settledScreen(ui::GtkBackend& backend, int x, int y, int width, int height, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    auto shot = grabScreen(x, y, width, height);
    int alike = 1;
    while (alike < 3 && std::chrono::steady_clock::now() < end) {
        backend.runUntil([] { return false; }, 0.1);
        auto next = grabScreen(x, y, width, height);
        alike = next.pixels == shot.pixels ? alike + 1 : 1;
        shot = std::move(next);
    }
    return shot;
}

void Screenshot::save(const std::string& path) const
{
    if (!width || !height)
        return;
    auto bitmap = gfx::BitmapImageRep::create(width, height, gfx::BitmapLayout::ARGB32Premultiplied);
    auto buffer = bitmap->pixelBuffer();
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            buffer.row(row)[column] = 0xFF000000u | at(column, row);
    // Into the temporary folder, out of the source tree whatever folder the tests run in.
    (void)bitmap->writeToFile(fnd::String(::testing::TempDir() + path), gfx::BitmapImageFileType::PNG);
}

std::array<int, 4> deviceRectOfContent(const ui::Window& window)
{
    auto screen = ui::Screen::screens().front()->frame();
    auto content = window.contentRectForFrameRect(window.frame());
    int s = GtkDisplayTest::scale();
    return { int(std::lround(content.minX() * s)), int(std::lround((screen.maxY() - content.maxY()) * s)),
        int(std::lround(content.width() * s)), int(std::lround(content.height() * s)) };
}

// Commands.

CommandOutput runWhileServing(ui::GtkBackend& backend, const std::string& command, double seconds)
{
    CommandOutput result;
    GError* error = nullptr;
    const char* argv[] = { "/bin/sh", "-c", command.c_str(), nullptr };
    GSubprocess* process = g_subprocess_newv(argv, G_SUBPROCESS_FLAGS_STDOUT_PIPE, &error);
    if (!process) {
        g_error_free(error);
        return result;
    }
    struct State {
        bool done { false };
        std::string output;
    } state;
    g_subprocess_communicate_utf8_async(
        process, nullptr, nullptr,
        [](GObject* source, GAsyncResult* res, gpointer data) {
            auto& s = *static_cast<State*>(data);
            char* out = nullptr;
            if (g_subprocess_communicate_utf8_finish(G_SUBPROCESS(source), res, &out, nullptr, nullptr) && out)
                s.output = out;
            g_free(out);
            s.done = true;
        },
        &state);
    if (backend.runUntil([&] { return state.done; }, seconds)) {
        g_subprocess_wait(process, nullptr, nullptr);
        result.status = g_subprocess_get_if_exited(process) ? g_subprocess_get_exit_status(process) : -1;
        result.output = state.output;
    } else {
        g_subprocess_force_exit(process);
        backend.runUntil([&] { return state.done; }, 5);
    }
    g_object_unref(process);
    return result;
}

int startInBackground(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    GPid pid = 0;
    if (!g_spawn_async(nullptr, argv.data(), nullptr, GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL),
            nullptr, nullptr, &pid, nullptr))
        return -1;
    return pid;
}

bool hasEnded(int pid)
{
    if (pid <= 0 || ::kill(pid, 0) != 0)
        return true;
    // The process was started by an intermediate child, so it belongs to whoever reaps orphans here; one that does
    // not reap leaves a zombie, which kill() still finds.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    auto end = line.rfind(')');
    return end == std::string::npos || line.size() < end + 3 || line[end + 2] == 'Z' || line[end + 2] == 'X';
}

StagedGesture::~StagedGesture()
{
    if (m_timer)
        m_timer->invalidate();
}

StagedGesture& StagedGesture::then(std::string arguments, std::function<bool()> when)
{
    m_stages.push_back({ std::move(arguments), std::move(when) });
    return *this;
}

void StagedGesture::start()
{
    m_timer = fnd::Timer::create(0.02, true, [this](fnd::Timer&) { step(); });
    fnd::RunLoop::main().addTimer(m_timer, fnd::RunLoopMode::Common);
}

void StagedGesture::step()
{
    if (m_running > 0 && !hasEnded(m_running))
        return;
    m_running = -1;
    if (m_next == m_stages.size()) {
        m_timer->invalidate();
        m_done = true;
        return;
    }
    const auto& stage = m_stages[m_next];
    if (stage.when && !stage.when())
        return;
    // What this program answered to the last stage (a drop status, a grab) goes to the server before the next
    // stage's input does.
    if (GdkDisplay* display = gdk_display_get_default())
        gdk_display_flush(display);
    m_running = startInBackground({ "/bin/sh", "-c", "exec xdotool " + stage.arguments });
    ++m_next;
}

// Views.

std::shared_ptr<FillView> FillView::make(gfx::Rect frame, gfx::ColorPtr fill)
{
    auto view = std::make_shared<FillView>();
    view->initWithFrame(frame);
    view->fill = std::move(fill);
    return view;
}

void FillView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (fill) {
        context->setFillColor(*fill);
        context->fillRect(bounds());
    }
    if (extra)
        extra(*this);
}

void KeyRecorder::describeClass(fnd::ClassBuilder<KeyRecorder>& c)
{
    c.action("paste:", &KeyRecorder::paste);
    c.action("pick:", &KeyRecorder::pick);
}

std::shared_ptr<KeyRecorder> KeyRecorder::make(gfx::Rect frame)
{
    auto view = std::make_shared<KeyRecorder>();
    view->initWithFrame(frame);
    view->fill = gfx::Color::colorWithDeviceWhite(0.9);
    return view;
}

void KeyRecorder::record(const ui::Event& event)
{
    bool isKey = event.isKeyEvent();
    keys.push_back({ event.type(), isKey ? event.characters().utf8() : "",
        isKey ? event.charactersIgnoringModifiers().utf8() : "", event.keyCode(), event.modifierFlags() });
}

bool KeyRecorder::performKeyEquivalent(const ui::Event& event)
{
    if (!takeEquivalents)
        return FillView::performKeyEquivalent(event);
    equivalents.push_back({ event.type(), event.characters().utf8(), event.charactersIgnoringModifiers().utf8(),
        event.keyCode(), event.modifierFlags() });
    return true;
}

void KeyRecorder::paste(const fnd::Value&)
{
    auto text = ui::Pasteboard::generalPasteboard()->stringForType(ui::PasteboardType::String);
    pasted.push_back(text ? text->utf8() : "<none>");
}

}

namespace gtktest {

void KeyRecorder::pick(const fnd::Value& sender)
{
    auto item = sender.objectAs<ui::MenuItem>();
    picked.push_back(item ? item->title().utf8() : "<control>");
}

}
