#include "platform/ui/views/StandardImages.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

#include <functional>
#include <map>
#include <mutex>

namespace ui {

namespace {

constexpr double StandardImageSide = 14.0;

using StandardGlyph = std::function<void()>;

gfx::BezierPath strokedPath(double width)
{
    gfx::BezierPath path;
    path.setLineWidth(width);
    return path;
}

// Each glyph draws in a 14-point square, y up, in the current (black) colour.
const std::map<fnd::String, StandardGlyph>& standardGlyphs()
{
    static const std::map<fnd::String, StandardGlyph> glyphs {
        { "NSAddTemplate",
            [] {
                gfx::BezierPath::fillRect({ 6, 2, 2, 10 });
                gfx::BezierPath::fillRect({ 2, 6, 10, 2 });
            } },
        { "NSRemoveTemplate",
            [] {
                gfx::BezierPath::fillRect({ 2, 6, 10, 2 });
            } },
        { "NSQuickLookTemplate",
            [] {
                auto eye = strokedPath(1.5);
                eye.moveToPoint({ 1, 7 });
                eye.curveToPoint({ 13, 7 }, { 4, 12 }, { 10, 12 });
                eye.curveToPoint({ 1, 7 }, { 10, 2 }, { 4, 2 });
                eye.closePath();
                eye.stroke();
                gfx::BezierPath::bezierPathWithOvalInRect({ 5, 5, 4, 4 })->fill();
            } },
        { "NSActionTemplate",
            [] {
                // A gear: a ring with eight teeth.
                auto ring = strokedPath(2.5);
                ring.appendBezierPathWithOvalInRect({ 3.5, 3.5, 7, 7 });
                ring.stroke();
                for (int k = 0; k < 8; ++k) {
                    gfx::GraphicsStateGuard guard;
                    auto* context = gfx::GraphicsContext::current();
                    context->translateCTM(7, 7);
                    context->rotateCTM(45.0 * k * 3.14159265358979323846 / 180.0);
                    gfx::BezierPath::fillRect({ -1, 4.5, 2, 2.5 });
                }
            } },
        { "NSShareTemplate",
            [] {
                auto box = strokedPath(1.5);
                box.moveToPoint({ 4.5, 8.5 });
                box.lineToPoint({ 2.5, 8.5 });
                box.lineToPoint({ 2.5, 1.5 });
                box.lineToPoint({ 11.5, 1.5 });
                box.lineToPoint({ 11.5, 8.5 });
                box.lineToPoint({ 9.5, 8.5 });
                box.stroke();
                gfx::BezierPath::fillRect({ 6.25, 4, 1.5, 7 });
                gfx::BezierPath head;
                head.moveToPoint({ 7, 13.5 });
                head.lineToPoint({ 10, 10.5 });
                head.lineToPoint({ 4, 10.5 });
                head.closePath();
                head.fill();
            } },
        { "NSIconViewTemplate",
            [] {
                for (double x : { 2.0, 8.0 })
                    for (double y : { 2.0, 8.0 })
                        gfx::BezierPath::fillRect({ x, y, 4, 4 });
            } },
        { "NSListViewTemplate",
            [] {
                for (double y : { 2.0, 6.0, 10.0 }) {
                    gfx::BezierPath::fillRect({ 1, y, 2, 2 });
                    gfx::BezierPath::fillRect({ 4.5, y, 8.5, 2 });
                }
            } },
        { "NSLockLockedTemplate",
            [] {
                gfx::BezierPath::fillRect({ 2.5, 1, 9, 7 });
                auto shackle = strokedPath(1.5);
                shackle.moveToPoint({ 4.5, 8 });
                shackle.appendBezierPathWithArcWithCenter({ 7, 9.5 }, 2.5, 180, 0, true);
                shackle.lineToPoint({ 9.5, 8 });
                shackle.stroke();
            } },
        { "NSLockUnlockedTemplate",
            [] {
                gfx::BezierPath::fillRect({ 1, 1, 9, 7 });
                auto shackle = strokedPath(1.5);
                shackle.moveToPoint({ 8, 8 });
                shackle.appendBezierPathWithArcWithCenter({ 10.5, 9.5 }, 2.5, 180, 0, true);
                shackle.lineToPoint({ 13, 8.5 });
                shackle.stroke();
            } },
        { "NSGoRightTemplate",
            [] {
                auto chevron = strokedPath(2);
                chevron.moveToPoint({ 5, 12 });
                chevron.lineToPoint({ 10, 7 });
                chevron.lineToPoint({ 5, 2 });
                chevron.stroke();
            } },
        { "NSGoLeftTemplate",
            [] {
                auto chevron = strokedPath(2);
                chevron.moveToPoint({ 9, 12 });
                chevron.lineToPoint({ 4, 7 });
                chevron.lineToPoint({ 9, 2 });
                chevron.stroke();
            } },
        { "NSStopProgressTemplate",
            [] {
                auto cross = strokedPath(2);
                cross.moveToPoint({ 3, 3 });
                cross.lineToPoint({ 11, 11 });
                cross.moveToPoint({ 3, 11 });
                cross.lineToPoint({ 11, 3 });
                cross.stroke();
            } },
        { "NSRefreshTemplate",
            [] {
                auto arc = strokedPath(1.75);
                arc.appendBezierPathWithArcWithCenter({ 7, 7 }, 4.5, 60, 360);
                arc.stroke();
                gfx::BezierPath head;
                head.moveToPoint({ 9.5, 13 });
                head.lineToPoint({ 9.5, 7.5 });
                head.lineToPoint({ 13.5, 11 });
                head.closePath();
                head.fill();
            } },
    };
    return glyphs;
}

}

const std::vector<fnd::String>& standardImageNames()
{
    static const std::vector<fnd::String> names = [] {
        std::vector<fnd::String> all;
        for (const auto& [name, glyph] : standardGlyphs())
            all.push_back(name);
        return all;
    }();
    return names;
}

std::shared_ptr<gfx::Image> standardImage(const fnd::String& name)
{
    const auto& glyphs = standardGlyphs();
    auto found = glyphs.find(name);
    if (found == glyphs.end())
        return nullptr;
    static std::mutex lock;
    static std::map<fnd::String, std::shared_ptr<gfx::Image>> made;
    std::lock_guard guard(lock);
    if (auto it = made.find(name); it != made.end())
        return it->second;
    auto glyph = found->second;
    auto image
        = gfx::Image::imageWithSize({ StandardImageSide, StandardImageSide }, false, [glyph](const gfx::Rect& r) {
              auto* context = gfx::GraphicsContext::current();
              if (!context)
                  return false;
              gfx::GraphicsStateGuard guard;
              // The handler draws in the image's 14-point square, whatever size it is drawn at.
              context->translateCTM(r.minX(), r.minY());
              context->scaleCTM(r.width() / StandardImageSide, r.height() / StandardImageSide);
              gfx::Color::blackColor()->set();
              glyph();
              return true;
          });
    image->setName(name);
    made[name] = image;
    return image;
}

}
