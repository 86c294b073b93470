#pragma once

#include "platform/ui/UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <cstdint>
#include <memory>

namespace viewstest {

// A white key window of 240 × 180 points on the headless backend and a virtual clock.
class ViewsTest : public uitest::UiTest {
protected:
    ViewsTest();

    void add(const std::shared_ptr<ui::View>& view) { window->contentView()->addSubview(view); }
    // Lets the run loop (animations, timers) run for that long on the virtual clock.
    void runFor(double seconds);
    // Lets queued input and scripted panel answers arrive.
    void settle();

    // The window, or a view on its own, drawn now. With BARCODES_UI_SNAPSHOTS=<folder> the picture is also written
    // there as <name>.png, for a person to look at.
    std::shared_ptr<gfx::BitmapImageRep> snapshot(const char* name = nullptr);
    std::shared_ptr<gfx::BitmapImageRep> snapshotOf(ui::View& view, const char* name = nullptr);
    // The premultiplied pixel under a point (y up, in points of the picture).
    static std::uint32_t pixel(const gfx::BitmapImageRep& image, double x, double y);
    // The pixel under a point of a view (its own coordinates) in a picture of the window.
    static std::uint32_t pixelIn(const gfx::BitmapImageRep& image, ui::View& view, gfx::Point point);
    static void save(const gfx::BitmapImageRep& image, const char* name);

    std::shared_ptr<ui::Window> window;
};

// Fills its bounds with a colour (a stand-in for window content).
class SolidView : public ui::View {
    FND_OBJECT(SolidView)

public:
    static std::shared_ptr<SolidView> create(gfx::Rect frame, gfx::ColorPtr color);
    void setColor(gfx::ColorPtr color) { m_color = std::move(color); }
    void drawRect(gfx::Rect dirtyRect) override;

private:
    gfx::ColorPtr m_color;
};

}
