#pragma once

#include "platform/graphics/GraphicsPrinters.h"
#include "platform/ui/UiTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/views/Window.h"

#include <cstdint>
#include <string>

namespace containerstest {

// A view that fills itself with a colour, so pictures show where it is.
class ColorView : public ui::View {
    FND_OBJECT(ColorView)
public:
    static std::shared_ptr<ColorView> make(gfx::Rect frame, gfx::ColorPtr fill, bool flipped = false)
    {
        auto view = std::make_shared<ColorView>();
        view->initWithFrame(frame);
        view->fill = std::move(fill);
        view->flipped = flipped;
        return view;
    }
    bool isFlipped() const override { return flipped; }
    void drawRect(gfx::Rect) override
    {
        if (!fill)
            return;
        fill->setFill();
        gfx::BezierPath::fillRect(bounds());
    }
    gfx::ColorPtr fill;
    bool flipped { false };
};

// A key window of 400 × 300 points on the headless backend and a virtual clock, with helpers that queue input at
// points of a view and send it.
class ContainersTest : public uitest::UiTest {
protected:
    ContainersTest()
    {
        window = ui::Window::create({ 100, 100, 400, 300 });
        window->makeKeyAndOrderFront();
    }

    void add(const std::shared_ptr<ui::View>& view) { window->contentView()->addSubview(view); }
    gfx::Point at(ui::View& view, gfx::Point point) const { return view.convertPointToView(point, nullptr); }
    void press(ui::View& view, gfx::Point p) { backend->mouseDown(*view.window(), at(view, p)); }
    void drag(ui::View& view, gfx::Point p) { backend->mouseDragged(*view.window(), at(view, p)); }
    void release(ui::View& view, gfx::Point p) { backend->mouseUp(*view.window(), at(view, p)); }
    void click(ui::View& view, gfx::Point p)
    {
        press(view, p);
        release(view, p);
        dispatch();
    }
    void dispatch() { backend->dispatchEvents(); }

    // The window drawn now; with BARCODES_UI_SNAPSHOTS=<folder> it is also written there for a person to look at.
    std::shared_ptr<gfx::BitmapImageRep> snapshot(ui::Window& w, const char* name)
    {
        auto image = backend->imageOfWindow(w);
        uitest::keepSnapshot(image, name);
        return image;
    }
    // The pixel at a point of the view (its own coordinates) in a snapshot of its window, as ARGB.
    static std::uint32_t pixelIn(const gfx::BitmapImageRep& image, ui::View& view, gfx::Point p)
    {
        auto base = view.convertPointToView(p, nullptr);
        auto pixels = image.pixelBuffer();
        int x = int(base.x), y = pixels.height - 1 - int(base.y);
        return pixels.pixel(x, y);
    }
    static int luminance(std::uint32_t argb)
    {
        return (int((argb >> 16) & 0xff) * 3 + int((argb >> 8) & 0xff) * 6 + int(argb & 0xff)) / 10;
    }

    std::shared_ptr<ui::Window> window;
};

}
