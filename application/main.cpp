#include "platform/backend/gtk/GtkBackend.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/Application.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace {

// What the placeholder window shows until the application's own window exists.
class PlaceholderView final : public ui::View {
public:
    void drawRect(gfx::Rect) override
    {
        auto* context = gfx::GraphicsContext::current();
        context->setFillColor(*gfx::Color::colorWithCalibratedWhite(0.97));
        context->fillRect(bounds());
        txt::Attributes attributes;
        attributes.set(txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(15)));
        attributes.set(txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::colorWithCalibratedWhite(0.25)));
        txt::AttributedString title("Barcodes", attributes);
        title.drawAtPoint({ 24, bounds().height() - 48 });
        attributes.set(txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(12)));
        txt::AttributedString note("The framework is being built; the application window comes next.", attributes);
        note.drawAtPoint({ 24, bounds().height() - 76 });
    }
};

// Quits when its window closes.
class PlaceholderDelegate final : public ui::ApplicationDelegate {
public:
    bool applicationShouldTerminateAfterLastWindowClosed(ui::Application&) override { return true; }
};

}

int main()
{
    if (!ui::installBackendForSession()) {
        fnd::log(fnd::LogLevel::Info, "Barcodes: no display to show a window on.");
        return 0;
    }
    auto& application = ui::Application::shared();
    auto delegate = std::make_shared<PlaceholderDelegate>();
    application.setDelegate(delegate);

    using namespace ui::WindowStyleMask;
    auto window = ui::Window::create({ 0, 0, 520, 320 }, Titled | Closable | Miniaturizable | Resizable);
    window->setTitle("Barcodes");
    auto content = fnd::makeObject<PlaceholderView>();
    content->initWithFrame({ 0, 0, 520, 320 });
    content->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
    window->setContentView(content);
    window->center();
    window->makeKeyAndOrderFront();
    application.run();
    // The window system goes before the program's static objects do.
    ui::Backend::install(nullptr);
    return 0;
}
