#pragma once

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/layers/Layer.h"
#include "platform/layers/Transaction.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace layerstest {

// Time that moves only when a test moves it, and a committed root to hang layers on.
class LayerTest : public ::testing::Test {
protected:
    LayerTest()
        : clock(std::make_shared<fnd::VirtualClock>(fnd::Date::fromReferenceDate(1000)))
        , scopedClock(clock)
    {
        ui::Transaction::flush();
    }
    ~LayerTest() override { ui::Transaction::flush(); }

    double now() const { return clock->now().timeIntervalSinceReferenceDate(); }
    // Runs the main run loop (timers, completions) until the time has moved on by the seconds.
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
    // Moves time without running anything.
    void advance(double seconds) { clock->advance(seconds); }

    // Layers inserted now animate their later changes.
    void commit() { ui::Transaction::flush(); }

    std::shared_ptr<fnd::VirtualClock> clock;
    fnd::ScopedClock scopedClock;
};

inline gfx::ColorPtr rgb(double r, double g, double b, double a = 1)
{
    return gfx::Color::colorWithCalibratedRed(r, g, b, a);
}

// A solid picture of w × h pixels.
inline std::shared_ptr<gfx::BitmapImageRep> solidImage(int w, int h, std::uint32_t argb)
{
    auto image = gfx::BitmapImageRep::create(w, h, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = image->pixelBuffer();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.row(y)[x] = argb;
    image->setSize({ double(w), double(h) });
    return image;
}

// RGBA of the pixel at (x, y) counted from the bottom left.
inline std::array<int, 4> rgbaAt(const gfx::BitmapImageRep& image, int x, int yUp)
{
    auto pixels = image.pixelBuffer();
    auto p = pixels.pixel(x, pixels.height - 1 - yUp);
    return { gfx::redOf(p), gfx::greenOf(p), gfx::blueOf(p), gfx::alphaOf(p) };
}

inline bool near(const std::array<int, 4>& a, const std::array<int, 4>& b, int tolerance = 3)
{
    for (int i = 0; i < 4; ++i)
        if (std::abs(a[i] - b[i]) > tolerance)
            return false;
    return true;
}

}
