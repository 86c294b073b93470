#pragma once

#include "TestViews.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/ui/views/Window.h"

#include <string>

namespace uitest {

// The window the tint tests dim, 300 × 100 at the screen's scale: white ground, a blue view on the left third. Made
// once the test's backend is installed.
struct TintTestScene {
    void makeWindow()
    {
        window = ui::Window::create({ 100, 100, 300, 100 });
        root = TestView::make({ 0, 0, 300, 100 }, false, gfx::Color::whiteColor());
        blue = TestView::make({ 0, 0, 100, 100 }, false, gfx::Color::colorWithDeviceRed(0, 0, 1));
        window->setContentView(root);
        root->addSubview(blue);
        window->orderFront();
    }
    // A fade's step: a thirtieth of a second on the test's clock.
    static void runFrame(fnd::VirtualClock& clock)
    {
        clock.advance(1.0 / 30);
        fnd::RunLoop::current().runUntilDate(clock.now());
    }
    void forget()
    {
        root->drawn.clear();
        blue->drawn.clear();
    }
    // The pixel at a window point (y up) of pixels at the scale: red, green and blue as "r,g,b".
    static std::string rgbAt(gfx::PixelBufferView pixels, double scale, double x, double y)
    {
        const auto p = pixels.pixel(int(x * scale), pixels.height - 1 - int(y * scale));
        return std::to_string(gfx::redOf(p)) + "," + std::to_string(gfx::greenOf(p)) + ","
            + std::to_string(gfx::blueOf(p));
    }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<TestView> root, blue;
};

}
