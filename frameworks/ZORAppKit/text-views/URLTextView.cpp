#include "frameworks/ZORAppKit/text-views/URLTextView.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/Image.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"

FND_REGISTER_CLASS(URLTextView, ui::TextView)

std::shared_ptr<URLTextView> URLTextView::create(gfx::Rect frame)
{
    return ui::makeView<URLTextView>(frame);
}

gfx::ColorPtr URLTextView::linkColor()
{
    static const auto colour = gfx::Color::colorWithCalibratedRed(0.1, 0.3, 0.8, 1.0);
    return colour;
}

std::shared_ptr<ui::Cursor> URLTextView::handCursor()
{
    static const auto cursor = [] {
        // The framework's own picture, drawn for links, unless the application named one of its own so.
        auto image = gfx::Image::imageNamed("ZORURLTextViewHand");
        if (!image)
            if (auto bundle = ZORFrameworkBundle::bundle())
                image = gfx::Image::imageForResource(*bundle, "ZORURLTextViewHand");
        return image ? ui::Cursor::create(image, { 5, 0 }) : ui::Cursor::pointingHandCursor();
    }();
    return cursor;
}

std::vector<gfx::Rect> URLTextView::rectsForCharacterRangeInView(fnd::Range range) const
{
    std::vector<gfx::Rect> rects;
    auto manager = layoutManager();
    if (!manager || !textContainer())
        return rects;
    auto origin = textContainerOrigin();
    for (auto r : manager->rectsForCharacterRange(range, *textContainer()))
        rects.push_back({ r.minX() + origin.x, r.minY() + origin.y, r.width(), r.height() });
    return rects;
}

void URLTextView::mouseDown(const ui::Event& event)
{
    auto* storage = textStorage();
    auto manager = layoutManager();
    if (!storage || !manager || storage->length() == 0) {
        ui::TextView::mouseDown(event);
        return;
    }
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    auto origin = textContainerOrigin();
    auto index = manager->characterIndexForPoint({ point.x - origin.x, point.y - origin.y }, *textContainer());
    fnd::Range run;
    auto link = index < storage->length()
        ? storage->attributeAtIndexLongestEffectiveRange(txt::LinkAttributeName, index, &run, { 0, storage->length() })
        : fnd::Value();
    if (link.isNil()) {
        ui::TextView::mouseDown(event);
        return;
    }
    auto rects = rectsForCharacterRangeInView(run);
    auto inside = [&](gfx::Point p) {
        for (const auto& r : rects)
            if (gfx::pointInRect(p, r))
                return true;
        return false;
    };
    if (!inside(point)) {
        ui::TextView::mouseDown(event);
        return;
    }
    auto keep = shared_from_this();
    auto colour = [&](const gfx::ColorPtr& c) {
        storage->addAttribute(txt::ForegroundColorAttributeName, fnd::Value(c), run);
        setNeedsDisplay(true);
    };
    colour(gfx::Color::orangeColor());
    bool lit = true;
    auto& app = ui::Application::shared();
    using namespace ui::EventMasks;
    for (;;) {
        auto next = app.nextEvent(LeftMouseUp | RightMouseUp | LeftMouseDragged | RightMouseDragged,
            fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
        if (!next)
            break;
        auto at = convertPointFromView(next->locationInWindow(), nullptr);
        if (next->type() == ui::EventType::LeftMouseDragged || next->type() == ui::EventType::RightMouseDragged) {
            if (inside(at) && !lit) {
                colour(gfx::Color::orangeColor());
                lit = true;
            } else if (!inside(at) && lit) {
                colour(linkColor());
                lit = false;
            }
            continue;
        }
        if (inside(at)) {
            auto address = link.string() ? *link.string() : link.description();
            (void)fnd::Workspace::sharedWorkspace().openURL(address);
        }
        break;
    }
    colour(linkColor());
}

void URLTextView::resetCursorRects()
{
    auto* storage = textStorage();
    auto manager = layoutManager();
    if (!storage || !manager || !textContainer())
        return;
    gfx::Rect visible = visibleRect();
    if (auto scroll = enclosingScrollView())
        visible = scroll->documentVisibleRect();
    auto origin = textContainerOrigin();
    auto glyphs = manager->glyphRangeForBoundingRect(
        { visible.minX() - origin.x, visible.minY() - origin.y, visible.width(), visible.height() }, *textContainer());
    auto characters = manager->characterRangeForGlyphRange(glyphs);
    for (auto i = characters.location; i < characters.max() && i < storage->length();) {
        fnd::Range run;
        auto link = storage->attributeAtIndexLongestEffectiveRange(txt::LinkAttributeName, i, &run, characters);
        if (!link.isNil())
            for (const auto& rect : rectsForCharacterRangeInView(run))
                if (auto part = gfx::intersectionRect(rect, visible); part.width() > 0 && part.height() > 0)
                    addCursorRect(part, handCursor());
        i = std::max(run.max(), i + 1);
    }
}
