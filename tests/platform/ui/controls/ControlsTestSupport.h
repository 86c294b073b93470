#pragma once

#include "platform/ui/UiTestSupport.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/views/Window.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace controlstest {

// Receives actions and remembers who sent them, in order.
class ActionLog : public fnd::Object {
    FND_OBJECT(ActionLog)
    static void describeClass(fnd::ClassBuilder<ActionLog>& c);

public:
    static std::shared_ptr<ActionLog> make() { return std::make_shared<ActionLog>(); }
    void clicked(const fnd::Value& sender);
    void cancelled(const fnd::Value& sender);
    long count(const std::string& what) const;

    std::vector<std::string> received;
    std::vector<fnd::Value> senders;
};

// A key window of 320 × 240 points with an empty content view, on the headless backend and a virtual clock.
class ControlsTest : public uitest::KeyWindowTest {
protected:
    ControlsTest()
        : KeyWindowTest({ 320, 240 })
    {
    }

    // Queued input at a point of a view (its own coordinates); dispatch() sends it.
    gfx::Point inWindow(ui::View& view, gfx::Point point) const { return view.convertPointToView(point, nullptr); }
    void press(ui::View& view, gfx::Point point, unsigned flags = 0);
    void drag(ui::View& view, gfx::Point point);
    void release(ui::View& view, gfx::Point point);
    // A click in the middle of the view, sent at once.
    void click(ui::View& view);
    void key(const fnd::String& characters, unsigned short keyCode, unsigned flags = 0);

    // A view drawn on its own.
    std::shared_ptr<gfx::BitmapImageRep> snapshotOf(ui::View& view, const char* name = nullptr);
    // Whether the image has a pixel close to the colour in the rect (window points).
    static bool hasColorNear(const gfx::BitmapImageRep& image, gfx::Rect rect, std::uint32_t argb, int tolerance);
    // The share of pixels in a rect that differ between two snapshots.
    static double differingShare(const gfx::BitmapImageRep& a, const gfx::BitmapImageRep& b, gfx::Rect rect);

    std::shared_ptr<ActionLog> log = ActionLog::make();
};

}
