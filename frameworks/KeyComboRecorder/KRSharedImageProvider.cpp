#include "frameworks/KeyComboRecorder/KRSharedImageProvider.h"

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"

#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

namespace {

struct KRSharedImageKind {
    const char* name;
    gfx::Size size;
    void (*draw)(gfx::Rect);
};

// Each name with its size and drawing, looked up directly: the names are the images' own.
const std::array<KRSharedImageKind, 4> KRSharedImageKinds { {
    { "KRSnapback", { 14, 14 }, [](gfx::Rect r) { KRSharedImageProvider::_drawKRSnapback(r); } },
    { "KRRemoveShortcut", { 14, 14 },
        [](gfx::Rect r) { KRSharedImageProvider::_drawARemoveShortcutBoxUsingRep(r, 0.75); } },
    { "KRRemoveShortcutRollover", { 14, 14 },
        [](gfx::Rect r) { KRSharedImageProvider::_drawARemoveShortcutBoxUsingRep(r, 0.65); } },
    { "KRRemoveShortcutPressed", { 14, 14 },
        [](gfx::Rect r) { KRSharedImageProvider::_drawARemoveShortcutBoxUsingRep(r, 0.55); } },
} };

}

double KRRecorderEaseInOut(double t)
{
    return (std::sin(t * std::numbers::pi - std::numbers::pi / 2) + 1) / 2;
}

std::shared_ptr<gfx::Image> KRSharedImageProvider::supportingImageWithName(const fnd::String& name)
{
    static std::mutex mutex;
    static std::map<fnd::String, std::shared_ptr<gfx::Image>> cache;
    std::lock_guard lock(mutex);
    if (auto it = cache.find(name); it != cache.end())
        return it->second;
    for (const auto& kind : KRSharedImageKinds) {
        if (name != fnd::String(kind.name))
            continue;
        auto draw = kind.draw;
        auto image = gfx::Image::imageWithSize(kind.size, false, [draw](const gfx::Rect& destination) {
            draw(destination);
            return true;
        });
        cache[name] = image;
        return image;
    }
    return nullptr;
}

void KRSharedImageProvider::_drawKRSnapback(gfx::Rect rect)
{
    const double w = rect.size.width, h = rect.size.height;
    auto p = [&](double x, double y) { return gfx::Point { x * w, y * h }; };
    gfx::BezierPath path;
    path.moveToPoint(p(0.0489685, 0.6181513));
    path.lineToPoint(p(0.408575, 0.9469318));
    path.lineToPoint(p(0.408575, 0.7226146));
    path.curveToPoint(p(0.8508247, 0.4836237), p(0.408575, 0.7226146), p(0.8371143, 0.7491841));
    path.curveToPoint(p(0.5507195, 0.0530682), p(0.8677834, 0.1545071), p(0.5507195, 0.0530682));
    path.curveToPoint(p(0.7421721, 0.3391942), p(0.5507195, 0.0530682), p(0.7458685, 0.1913146));
    path.curveToPoint(p(0.408575, 0.515413), p(0.7383412, 0.4930328), p(0.408575, 0.515413));
    path.lineToPoint(p(0.408575, 0.2654));
    auto transform = gfx::AffineTransform::translation(rect.origin.x + 0.5, rect.origin.y - 0.5);
    transform.scaleBy(0.9, 1.0);
    path.transformUsingAffineTransform(transform);

    gfx::GraphicsStateGuard guard;
    auto shadow = std::make_shared<gfx::Shadow>();
    shadow->setShadowColor(gfx::Color::colorWithCalibratedWhite(0, 0.45));
    shadow->setShadowBlurRadius(1);
    shadow->setShadowOffset({ 0, -1 });
    shadow->set();
    gfx::Color::whiteColor()->setFill();
    path.fill();
}

void KRSharedImageProvider::_drawARemoveShortcutBoxUsingRep(gfx::Rect rect, double opacity)
{
    const double w = rect.size.width, h = rect.size.height;
    gfx::GraphicsStateGuard guard;
    gfx::Color::colorWithCalibratedWhite(0, 1 - opacity)->setFill();
    gfx::BezierPath::bezierPathWithOvalInRect(rect)->fill();
    auto at = [&](double x, double y) { return gfx::Point { rect.origin.x + x * w / 14, rect.origin.y + y * h / 14 }; };
    gfx::BezierPath cross;
    cross.setLineWidth(1.2 * w / 14);
    cross.moveToPoint(at(4, 4));
    cross.lineToPoint(at(10, 10));
    cross.moveToPoint(at(10, 4));
    cross.lineToPoint(at(4, 10));
    gfx::Color::whiteColor()->setStroke();
    cross.stroke();
}
