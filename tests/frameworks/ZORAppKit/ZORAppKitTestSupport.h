#pragma once

#include "platform/ui/UiTestSupport.h"
#include "support/Canvas.h"

#include "frameworks/AppKitExtensions/Themes/ZORTheme.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/View.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zortest {

// Receives actions and remembers who sent them, in order.
class ActionLog : public fnd::Object {
    FND_OBJECT(ActionLog)
    static void describeClass(fnd::ClassBuilder<ActionLog>& c);

public:
    static std::shared_ptr<ActionLog> make() { return std::make_shared<ActionLog>(); }
    void clicked(const fnd::Value& sender);
    void chose(const fnd::Value& sender);

    std::vector<std::string> received;
    // The virtual time of each action, from the fixture's start.
    std::vector<double> times;
    std::shared_ptr<fnd::VirtualClock> clock;
};

// A key and main window of 320 × 240 points on the headless backend and a virtual clock.
class ZORAppKitTest : public uitest::UiTest {
protected:
    ZORAppKitTest();

    void add(const std::shared_ptr<ui::View>& view) { window->contentView()->addSubview(view); }
    gfx::Point inWindow(ui::View& view, gfx::Point point) const { return view.convertPointToView(point, nullptr); }
    // Queued input at a point of a view (its own coordinates); dispatch() sends it.
    void press(ui::View& view, gfx::Point point);
    void drag(ui::View& view, gfx::Point point);
    void release(ui::View& view, gfx::Point point);
    void dispatch() { backend->dispatchEvents(); }
    // Makes another window key and main, so that this one is inactive.
    void deactivateWindow();

    // The view drawn on its own over nothing, written to $TMPDIR/ZORAppKit-<name>.png to be looked at.
    std::shared_ptr<gfx::BitmapImageRep> shot(ui::View& view, const std::string& name);
    // The whole window drawn, background included, written the same way.
    std::shared_ptr<gfx::BitmapImageRep> windowShot(const std::string& name);
    // The pixel of a window shot at a point of a view in the window.
    std::uint32_t windowPixel(const gfx::BitmapImageRep& shot, ui::View& view, gfx::Point point) const;

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::Window> otherWindow;
    std::shared_ptr<ActionLog> log = ActionLog::make();
};

// The pixel of a shot at a point of the view (its own coordinates, flipped or not), premultiplied ARGB.
std::uint32_t pixelAt(const gfx::BitmapImageRep& shot, const ui::View& view, gfx::Point point);

// A bitmap image of the size: an opaque oval filling it, or an opaque rectangle.
std::shared_ptr<gfx::Image> solidImage(gfx::Size size, const gfx::ColorPtr& color, bool oval = false);

// A colour as it lands over nothing: premultiplied and rounded to bytes.
std::uint32_t pixelOf(const gfx::ColorPtr& color);
// Channel-wise distance within the tolerance, with both pixels in the message.
::testing::AssertionResult pixelNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 2);
// The number of pixels of the rect that are not transparent.
int paintedPixels(const gfx::BitmapImageRep& shot, const ui::View& view, gfx::Rect rect);

// The built-in themes by key.
const std::vector<fnd::String>& themeKeys();
std::shared_ptr<ZORTheme> themeNamed(const fnd::String& key);

}
