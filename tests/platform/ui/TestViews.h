#pragma once

// Small view classes the UI tests share.

#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/View.h"

#include <string>
#include <vector>

namespace uitest {

// A view of either orientation that fills its bounds with a colour (when it has one) and remembers what it was
// asked to draw and every event it received.
class TestView : public ui::View {
    FND_OBJECT(TestView)
public:
    static std::shared_ptr<TestView> make(gfx::Rect frame, bool flipped = false, gfx::ColorPtr fill = nullptr)
    {
        auto view = std::make_shared<TestView>();
        view->initWithFrame(frame);
        view->flipped = flipped;
        view->fill = std::move(fill);
        return view;
    }

    bool isFlipped() const override { return flipped; }
    bool acceptsFirstResponder() const override { return takesFocus; }
    bool acceptsFirstMouse(const ui::Event*) override { return takesFirstMouse; }
    bool preservesContentDuringLiveResize() const override { return preservesContent; }

    void drawRect(gfx::Rect dirty) override
    {
        drawn.push_back(dirty);
        rectsBeingDrawn.push_back(getRectsBeingDrawn());
        if (probe)
            probeAnswers.push_back(needsToDrawRect(*probe));
        if (fill) {
            auto* context = gfx::GraphicsContext::current();
            context->setFillColor(*fill);
            context->fillRect(bounds());
        }
        if (extraDrawing)
            extraDrawing(*this);
    }

    void record(const char* what, const ui::Event& e)
    {
        events.push_back(what);
        locations.push_back(convertPointFromView(e.locationInWindow(), nullptr));
    }
    void mouseDown(const ui::Event& e) override
    {
        record("down", e);
        if (onMouseDown)
            onMouseDown(e);
    }
    void mouseDragged(const ui::Event& e) override { record("dragged", e); }
    void mouseUp(const ui::Event& e) override { record("up", e); }
    void rightMouseDown(const ui::Event& e) override { record("rightDown", e); }
    void scrollWheel(const ui::Event& e) override { record("scroll", e); }
    void keyDown(const ui::Event& e) override
    {
        events.push_back("key:" + e.characters().utf8());
        locations.push_back({});
    }

    bool flipped { false };
    bool takesFocus { false };
    bool takesFirstMouse { false };
    bool preservesContent { false };
    gfx::ColorPtr fill;
    std::optional<gfx::Rect> probe;
    std::function<void(TestView&)> extraDrawing;
    std::function<void(const ui::Event&)> onMouseDown;

    std::vector<gfx::Rect> drawn;
    std::vector<std::vector<gfx::Rect>> rectsBeingDrawn;
    std::vector<bool> probeAnswers;
    std::vector<std::string> events;
    std::vector<gfx::Point> locations;
};

// A view whose look is a tint (the dimming under a sheet): it draws its colour when the tree draws it.
class TintOverlayView : public TestView {
public:
    static std::shared_ptr<TintOverlayView> make(gfx::Rect frame, gfx::ColorPtr tint)
    {
        auto view = std::make_shared<TintOverlayView>();
        view->initWithFrame(frame);
        view->fill = std::move(tint);
        return view;
    }
    std::shared_ptr<gfx::Color> overlayTintColor() const override { return fill; }
};

}
