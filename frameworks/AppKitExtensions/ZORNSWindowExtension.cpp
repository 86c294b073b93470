#include "frameworks/AppKitExtensions/ZORNSWindowExtension.h"

#include "frameworks/AppKitExtensions/NSWindowFlipperDelegate.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/Layer.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/MediaTimingFunction.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/views/Event.h"

#include <cmath>
#include <numbers>

namespace ZORNSWindowExtension {

namespace {

// Room around each card in its flip window, so the turning card and its shadow fit.
constexpr double FlipMargin = 100;

// The window as it shows: its content drawn over its background, at the place the content takes in the frame (the
// title bar, which the window system draws, stays clear).
std::shared_ptr<gfx::BitmapImageRep> snapshotOfWindow(ui::Window& window)
{
    const gfx::Rect frame = window.frame();
    const double scale = window.backingScaleFactor();
    auto picture = gfx::BitmapImageRep::create(std::lround(std::ceil(frame.width() * scale)),
        std::lround(std::ceil(frame.height() * scale)), gfx::BitmapLayout::ARGB32Premultiplied);
    const auto& content = window.contentView();
    if (!picture || !content)
        return picture;
    picture->setSize(frame.size);
    const gfx::Rect bounds = content->bounds();
    auto contentPicture = content->bitmapImageRepForCachingDisplayInRect(bounds);
    if (contentPicture) {
        auto background = gfx::GraphicsContext::createForBitmap(contentPicture->pixelBuffer(), bounds.size);
        if (const auto& colour = window.backgroundColor())
            background->setFillColor(*colour);
        background->fillRect({ {}, bounds.size });
        background->flush();
        content->cacheDisplayInRect(bounds, *contentPicture);
    }
    auto context = gfx::GraphicsContext::createForBitmap(picture->pixelBuffer(), frame.size);
    if (contentPicture) {
        gfx::Rect place = window.contentRectForFrameRect(frame);
        place.origin = { place.minX() - frame.minX(), place.minY() - frame.minY() };
        context->drawImage(contentPicture->pixelBuffer(), place, {}, gfx::CompositingOperation::Copy, 1.0);
    }
    context->flush();
    return picture;
}

// A borderless, clear window around the frame, hosting one layer that shows the picture in its middle.
std::shared_ptr<ui::Window> makeFlipWindow(
    gfx::Rect frame, const std::shared_ptr<gfx::BitmapImageRep>& picture, const std::shared_ptr<ui::Layer>& layer)
{
    const gfx::Rect around = gfx::insetRect(frame, -FlipMargin, -FlipMargin);
    auto flipWindow
        = ui::Window::create(around, ui::WindowStyleMask::Borderless, ui::BackingStoreType::Buffered, false);
    flipWindow->setOpaque(false);
    flipWindow->setHasShadow(false);
    flipWindow->setBackgroundColor(gfx::Color::clearColor());

    const gfx::Rect bounds { 0, 0, around.width(), around.height() };
    auto view = ui::View::create(bounds);
    view->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
    flipWindow->setContentView(view);
    layer->setFrame(bounds);
    layer->setContents(picture);
    layer->setDoubleSided(false);
    layer->setContentsGravity(ui::ContentsGravity::Center);
    view->setLayer(layer);
    view->setWantsLayer(true);
    return flipWindow;
}

std::shared_ptr<ui::BasicAnimation> turn(const ui::Transform3D& from, const ui::Transform3D& to, double duration)
{
    auto animation = ui::BasicAnimation::animationWithKeyPath("transform");
    animation->setFromValue(fnd::toValue(from));
    animation->setToValue(fnd::toValue(to));
    animation->setRemovedOnCompletion(false);
    animation->setTimingFunction(ui::MediaTimingFunction::functionWithName(ui::MediaTimingFunctionName::EaseInEaseOut));
    animation->setDuration(duration);
    return animation;
}

}

gfx::Point midpoint(const ui::Window& window)
{
    const gfx::Rect frame = window.frame();
    return { frame.minX() + frame.width() / 2, frame.minY() + frame.height() / 2 };
}

void setMidpoint(ui::Window& window, gfx::Point point)
{
    const gfx::Size size = window.frame().size;
    window.setFrame({ point.x - size.width / 2, point.y - size.height / 2, size.width, size.height }, true);
}

void flipToWindow(ui::Window& window, const std::shared_ptr<ui::Window>& toWindow, double duration, bool shadowed)
{
    flipWithArguments(window, *FlipArguments::initWithToWindow(toWindow, duration, shadowed));
}

void flipToWindow(ui::Window& window, const std::shared_ptr<ui::Window>& toWindow, bool adjustWindowFrame,
    double duration, bool shadowed)
{
    if (adjustWindowFrame && toWindow)
        toWindow->setFrame(window.frame(), false);
    flipToWindow(window, toWindow, duration, shadowed);
}

void flipWithArguments(ui::Window& window, const FlipArguments& arguments)
{
    auto from = std::static_pointer_cast<ui::Window>(window.shared_from_this());
    auto to = arguments.toWindow();
    if (!to || to == from)
        return;
    setMidpoint(*to, midpoint(*from));
    to->display();

    // The layers take their settings at once; only the turn itself animates.
    ui::Transaction::begin();
    ui::Transaction::setDisableActions(true);
    auto fromLayer = ui::Layer::layer();
    auto toLayer = ui::Layer::layer();
    auto fromFlip = makeFlipWindow(from->frame(), snapshotOfWindow(*from), fromLayer);
    auto toFlip = makeFlipWindow(to->frame(), snapshotOfWindow(*to), toLayer);
    // The target's card starts turned away.
    const auto halfTurn = ui::Transform3D::rotation(std::numbers::pi, 0, 1, 0);
    toLayer->setTransform(halfTurn);
    if (arguments.shadowed()) {
        for (const auto& layer : { fromLayer, toLayer }) {
            layer->setShadowColor(gfx::Color::blackColor());
            layer->setShadowRadius(14.0);
            layer->setShadowOffset({ 0, -22.5 });
            layer->setShadowOpacity(0.4);
        }
    }

    // From here on only the flip windows show.
    toFlip->orderFront();
    fromFlip->orderFront();
    toFlip->display();
    fromFlip->display();
    from->orderOut();
    to->setAlphaValue(0.0);
    to->orderFront();

    auto fromEnd = ui::Transform3D::perspective(FlipEyeDistance);
    fromEnd.rotateBy(std::numbers::pi, 0, 1, 0);
    auto toEnd = ui::Transform3D::perspective(FlipEyeDistance);
    toEnd.rotateBy(2 * std::numbers::pi, 0, 1, 0);

    double duration = arguments.duration();
    const unsigned modifiers = ui::Event::currentModifierFlags();
    if (modifiers & ui::ModifierFlags::Shift) {
        duration *= 2;
        if (modifiers & ui::ModifierFlags::Control)
            duration *= 4;
    }
    auto fromTurn = turn(ui::Transform3D::identity(), fromEnd, duration);
    auto toTurn = turn(halfTurn, toEnd, duration);
    toTurn->setDelegate(std::make_shared<NSWindowFlipperDelegate>(from, to, fromFlip, toFlip));

    fromLayer->setTransform(fromEnd);
    fromLayer->addAnimation(fromTurn, "transform");
    toLayer->setTransform(toEnd);
    toLayer->addAnimation(toTurn, "transform");
    ui::Transaction::commit();
}

}
