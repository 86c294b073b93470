#pragma once

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/dragging/DropSession.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace tabbartest {

// A view that drags something other than a tab (a file name) from its mouse-down, through the platform's own drag
// loop, the way a drag from another part of the program reaches a tab bar.
class ForeignDragSource : public ui::View, public ui::DraggingSource {
public:
    static std::shared_ptr<ForeignDragSource> create(gfx::Rect frame)
    {
        auto view = std::make_shared<ForeignDragSource>();
        view->initWithFrame(frame);
        return view;
    }
    void mouseDown(const ui::Event& event) override
    {
        auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
        pasteboard->declareTypes({ "public.file-url" });
        pasteboard->setString("file:///tmp/dropped.txt", "public.file-url");
        dragged = true;
        ui::dragImage(*this, gfx::Image::imageWithSize({ 8, 8 }), { 0, 0 }, {}, event, pasteboard,
            std::static_pointer_cast<fnd::Object>(shared_from_this()), false);
    }
    ui::DragOperation draggingSourceOperationMaskForLocal(bool) override { return ui::DragOperations::Copy; }

    bool dragged { false };
};

// Presses on the source, moves to `over` (window base coordinates) and holds the button there for `seconds` of the
// test clock before letting go: the whole drag runs inside the drag loop, which the call returns from.
inline void holdForeignDrag(
    ui::HeadlessBackend& backend, ui::Window& window, ForeignDragSource& source, gfx::Point over, double seconds)
{
    const gfx::Point start = source.convertPointToView({ source.bounds().midX(), source.bounds().midY() }, nullptr);
    backend.mouseDown(window, start);
    backend.mouseDragged(window, { (start.x + over.x) / 2, (start.y + over.y) / 2 });
    // Entering the bar and then moving on it: the second move is the first update over the tab.
    backend.mouseDragged(window, { over.x - 1, over.y });
    backend.mouseDragged(window, over);
    // The pointer rests over the tab while the button stays down.
    backend.after(seconds, [&backend, &window, over] { backend.mouseUp(window, over); });
    backend.dispatchEvents();
}

// Another program's drag of a file name, as the window system hands it over (a drop session, the way the GTK backend
// drives one): it enters beside `over` (window base coordinates), rests over it for `seconds` of the test clock
// and leaves, without a single mouse event reaching this program.
inline void holdDragFromAnotherProgram(
    ui::Window& window, gfx::Point over, double seconds, const std::function<void(double)>& runFor)
{
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    pasteboard->declareTypes({ "public.file-url" });
    pasteboard->setString("file:///tmp/dropped.txt", "public.file-url");
    ui::DropSession session(gfx::Image::imageWithSize({ 8, 8 }), pasteboard, nullptr, ui::DragOperations::Copy, false);
    session.moveTo(window.convertBaseToScreen({ over.x - 1, over.y }), 0);
    session.moveTo(window.convertBaseToScreen(over), 0);
    runFor(seconds);
    session.exit();
}

// Fires a bar's spring with a timer of someone else's: the bar's assertion fails and its text names that timer.
inline void expectForeignSpringTimerRefused(const std::function<void(fnd::Timer&)>& fireSpring)
{
    auto foreign = fnd::Timer::create(1.0, false, [](fnd::Timer&) {});
    const std::string expected = "Spring fired by unrecognized timer " + foreign->description().utf8();
    try {
        fireSpring(*foreign);
        ADD_FAILURE() << "a foreign timer fired the spring";
    } catch (const fnd::Exception& exception) {
        EXPECT_NE(exception.reason().utf8().find(expected), std::string::npos) << exception.reason().utf8();
    }
}

}
