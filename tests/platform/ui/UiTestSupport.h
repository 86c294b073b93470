#pragma once

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace uitest {

// Every UI test starts with a fresh headless backend, a fresh application and time that moves only when told.
class UiTest : public ::testing::Test {
protected:
    UiTest()
        : clock(std::make_shared<fnd::VirtualClock>())
        , scopedClock(clock)
        , backend(ui::HeadlessBackend::install())
    {
    }
    ~UiTest() override
    {
        for (const auto& w : ui::Application::shared().windows())
            w->close();
        ui::Backend::install(nullptr);
    }

    ui::Application& app() { return ui::Application::shared(); }

    std::shared_ptr<fnd::VirtualClock> clock;
    fnd::ScopedClock scopedClock;
    std::shared_ptr<ui::HeadlessBackend> backend;
};

// A picture for a person to look at: with BARCODES_UI_SNAPSHOTS=<folder> the image is written there as <name>.png
// (nothing without a name).
inline void keepSnapshot(const std::shared_ptr<gfx::BitmapImageRep>& image, const char* name)
{
    if (const char* folder = std::getenv("BARCODES_UI_SNAPSHOTS"); folder && name && image)
        (void)image->writeToFile(fnd::String(std::string(folder) + "/" + name + ".png"), gfx::BitmapImageFileType::PNG);
}

// A key window at (100, 100) of the given size with an empty content view, and the pixel reads of the tests that
// look at what it draws.
class KeyWindowTest : public UiTest {
protected:
    explicit KeyWindowTest(gfx::Size size)
    {
        window = ui::Window::create({ { 100, 100 }, size });
        window->makeKeyAndOrderFront();
    }

    void add(const std::shared_ptr<ui::View>& view) { window->contentView()->addSubview(view); }
    void dispatch() { backend->dispatchEvents(); }

    // The window drawn now; pixels are read at window points (y up).
    std::shared_ptr<gfx::BitmapImageRep> snapshot(const char* name = nullptr)
    {
        auto image = backend->imageOfWindow(*window);
        keepSnapshot(image, name);
        return image;
    }
    // The pixel at a window point (y up), as ARGB; points outside read the nearest edge.
    static std::uint32_t pixel(const gfx::BitmapImageRep& image, double x, double y)
    {
        auto pixels = image.pixelBuffer();
        double scale = image.size().width > 0 ? pixels.width / image.size().width : 1;
        int px = std::clamp(static_cast<int>(std::floor(x * scale)), 0, pixels.width - 1);
        int py = std::clamp(static_cast<int>(std::floor(y * scale)), 0, pixels.height - 1);
        return pixels.pixel(px, pixels.height - 1 - py);
    }
    // The pixel at a point of the view (its own coordinates) in the snapshot.
    std::uint32_t pixelIn(const gfx::BitmapImageRep& image, ui::View& view, gfx::Point point) const
    {
        auto p = view.convertPointToView(point, nullptr);
        return pixel(image, p.x, p.y);
    }
    static int luminance(std::uint32_t p)
    {
        return (gfx::redOf(p) * 299 + gfx::greenOf(p) * 587 + gfx::blueOf(p) * 114) / 1000;
    }

    std::shared_ptr<ui::Window> window;
};

}
