#include "frameworks/proportional-split-view/ZORSplitSubviewResizeButtonCell.h"

#include "frameworks/proportional-split-view/KJSplitView.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"

#include "platform/graphics/Image.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"

FND_REGISTER_CLASS(ZORSplitSubviewResizeButtonCell, ui::ButtonCell)

void ZORSplitSubviewResizeButtonCell::init()
{
    initTextCell({});
    if (auto bundle = ZORFrameworkBundle::bundle())
        setImage(gfx::Image::imageForResource(*bundle, "ZORSplitSubviewResizeButtonResizeImage"));
    sendActionOn(
        ui::eventMaskFromType(ui::EventType::LeftMouseDown) | ui::eventMaskFromType(ui::EventType::LeftMouseDragged));
    setRefusesFirstResponder(false);
    setShowsFirstResponder(true);
    setContinuous(false);
    setTag(0);
    setButtonType(ui::ButtonType::MomentaryChange);
    setTitle({});
    setEnabled(true);
    setImagePosition(ui::CellImagePosition::ImageRight);
    setBordered(true);
    setBezeled(true);
    setBezelStyle(ui::BezelStyle::SmallSquare);
    setHighlightsBy(ui::CellMask::PushIn);
}

std::shared_ptr<KJSplitSubview> ZORSplitSubviewResizeButtonCell::superKJSplitSubviewOfView(const ui::View& view)
{
    for (auto v = view.superview(); v; v = v->superview()) {
        if (&v->classInfo() == &KJSplitSubview::staticClassInfo())
            return std::static_pointer_cast<KJSplitSubview>(v);
    }
    return nullptr;
}

bool ZORSplitSubviewResizeButtonCell::trackMouse(const ui::Event& event, gfx::Rect, ui::View& controlView, bool)
{
    auto pane = superKJSplitSubviewOfView(controlView);
    auto& app = ui::Application::shared();
    auto mask = ui::EventMasks::LeftMouseUp | ui::EventMasks::LeftMouseDragged;
    auto peeked = app.nextEvent(mask, fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, false);
    if (!peeked || peeked->type() != ui::EventType::LeftMouseDragged)
        return true;
    bool growsTowardEnd = imagePosition() == ui::CellImagePosition::ImageRight;
    // The movement along the split axis (in a stacked split view the vertical one), in the split view's flipped
    // coordinates, so that toward the end of the axis is positive either way.
    auto alongAxis = [&pane](const ui::Event& e) -> std::optional<double> {
        auto sv = pane ? pane->splitView() : nullptr;
        if (!sv)
            return std::nullopt;
        auto point = sv->convertPointFromView(e.locationInWindow(), nullptr);
        return gfx::along(point, sv->axis());
    };
    auto last = alongAxis(event);
    for (;;) {
        auto next = app.nextEvent(mask, fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
        if (!next || next->type() == ui::EventType::LeftMouseUp)
            break;
        auto at = alongAxis(*next);
        if (!at || !last)
            continue;
        double movement = *at - *last;
        last = at;
        float proposed
            = static_cast<float>(pane->dimension()) + static_cast<float>(growsTowardEnd ? movement : -movement);
        if (proposed > pane->minDimension() && proposed < pane->maxDimension()) {
            pane->setDimension(proposed);
        } else if (proposed < pane->minDimension() && pane->canCollapse()) {
            pane->collapse();
            break;
        }
    }
    return true;
}
