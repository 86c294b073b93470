#pragma once

#include "platform/graphics/GraphicsPrinters.h"
#include "platform/ui/UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/views/Window.h"

#include <string>

namespace panelstest {

// A key document window of 480 × 360 points on the headless backend and a virtual clock.
class PanelsTest : public uitest::UiTest {
protected:
    PanelsTest()
    {
        window = ui::Window::create({ 100, 100, 480, 360 });
        window->makeKeyAndOrderFront();
    }

    gfx::Point at(ui::View& view, gfx::Point p) const { return view.convertPointToView(p, nullptr); }
    void dispatch() { backend->dispatchEvents(); }
    // Lets scripted answers (run on the run loop) and what they start happen.
    void settle()
    {
        for (int pass = 0; pass < 8; ++pass) {
            app().nextEvent(ui::EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::Default, false);
            dispatch();
        }
    }
    // The window drawn now; with BARCODES_UI_SNAPSHOTS=<folder> it is also written there for a person to look at.
    std::shared_ptr<gfx::BitmapImageRep> snapshot(ui::Window& w, const char* name)
    {
        auto image = backend->imageOfWindow(w);
        uitest::keepSnapshot(image, name);
        return image;
    }

    std::shared_ptr<ui::Window> window;
};

}
