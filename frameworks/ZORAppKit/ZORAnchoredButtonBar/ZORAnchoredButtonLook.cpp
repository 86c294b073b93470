#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonLook.h"

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredBarEdges.h"
#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonBar.h"

#include "frameworks/AppKitExtensions/ZORColor_Extension.h"
#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/Attributes.h"
#include "platform/ui/views/View.h"

namespace ZORAnchoredButtonLook {

namespace {

gfx::ColorPtr white(double level, double alpha = 1)
{
    return gfx::Color::colorWithCalibratedWhite(level, alpha);
}

void line(const gfx::ColorPtr& color, long position, long inset, gfx::Rect rect, const ui::View& view, bool horizontal,
    bool flip)
{
    ZORExtension::zorDrawPixelThickLineAtPosition(*color, position, inset, rect, &view, horizontal, flip);
}

constexpr bool Horizontal = true;
constexpr bool Vertical = false;
constexpr bool Flip = true;
constexpr bool NoFlip = false;

}

const Palette& anchored()
{
    static const Palette palette = [] {
        Palette p;
        p.faceGradient = ZORStopGradient::aquaNormalGradient();
        p.bottomBarTopLine = white(202.0 / 255);
        p.topBarTopLine = white(190.0 / 255);
        p.bottomLine = white(170.0 / 255);
        p.bottomBarSideLine = white(0, 0.2);
        p.topBarSideLine = white(0, 0.25);
        p.innerHighlight = white(1, 0.5);
        p.pressedOverlay = white(0, 0.35);
        p.textColor = white(10.0 / 255);
        p.disabledTextColor = white(10.0 / 255, 0.6);
        p.imageColor = white(72.0 / 255);
        p.disabledImageColor = white(72.0 / 255, 0.6);
        p.textShadow = std::make_shared<gfx::Shadow>();
        p.textShadow->setShadowOffset({ 0, -1 });
        p.textShadow->setShadowColor(white(1, 0.75));
        if (auto bundle = ZORNSObject_Extension::bundle(ZORAnchoredButtonBar::staticClassInfo()))
            p.pullDownArrow = gfx::Image::imageForResource(*bundle, "ButtonBarPullDownArrow.pdf");
        return p;
    }();
    return palette;
}

const FreeStandingPalette& freeStanding()
{
    static const FreeStandingPalette palette = [] {
        FreeStandingPalette p;
        p.faceGradient = ZORStopGradient::aquaNormalGradient();
        p.topLine = white(0, 0.08);
        p.secondLine = white(126.0 / 255);
        p.lowerAndSideLines = white(151.0 / 255);
        p.bottomLine = white(1, 0.54);
        return p;
    }();
    return palette;
}

void drawPressedOverlay(gfx::Rect rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    anchored().pressedOverlay->setFill();
    context->fillRectUsingOperation(rect, gfx::CompositingOperation::SourceOver);
}

void drawAnchoredFace(gfx::Rect f, ui::View& view)
{
    const auto& p = anchored();
    p.faceGradient->drawInRect(f, 90);
    line(p.bottomLine, 0, 0, f, view, Horizontal, Flip);
    line(p.innerHighlight, 1, 1, f, view, Vertical, NoFlip);
    line(p.innerHighlight, 1, 1, f, view, Vertical, Flip);
    auto bar = std::dynamic_pointer_cast<ZORAnchoredButtonBar>(view.superview());
    if (bar && bar->isAtBottom()) {
        line(p.bottomBarTopLine, 0, 0, f, view, Horizontal, NoFlip);
        line(p.bottomBarSideLine, 0, 1, f, view, Vertical, NoFlip);
        line(p.bottomBarSideLine, 0, 1, f, view, Vertical, Flip);
        return;
    }
    line(p.topBarTopLine, 0, 0, f, view, Horizontal, NoFlip);
    line(p.topBarSideLine, 0, 1, f, view, Vertical, NoFlip);
    line(p.topBarSideLine, 0, 1, f, view, Vertical, Flip);
    if (auto* edges = dynamic_cast<const ZORAnchoredBarEdges*>(&view)) {
        if (edges->isAtLeftEdgeOfBar())
            line(p.bottomLine, 0, 1, f, view, Vertical, NoFlip);
        if (edges->isAtRightEdgeOfBar())
            line(p.bottomLine, 0, 1, f, view, Vertical, Flip);
    }
}

void drawFreeStandingFace(gfx::Rect f, ui::View& view)
{
    const auto& p = freeStanding();
    p.faceGradient->drawInRect(gfx::insetRect(f, 0, 2), 270);
    line(p.topLine, 0, 0, f, view, Horizontal, NoFlip);
    line(p.secondLine, 1, 0, f, view, Horizontal, NoFlip);
    line(p.lowerAndSideLines, 1, 0, f, view, Horizontal, Flip);
    line(p.bottomLine, 0, 0, f, view, Horizontal, Flip);
    line(p.lowerAndSideLines, 0, 2, f, view, Vertical, Flip);
    line(p.lowerAndSideLines, 0, 2, f, view, Vertical, NoFlip);
}

fnd::Dictionary textAttributes(fnd::Dictionary attributes, const gfx::ColorPtr& color)
{
    attributes.set(txt::ForegroundColorAttributeName, fnd::Value(color));
    attributes.set(txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(11)));
    attributes.set(txt::ShadowAttributeName, fnd::Value(anchored().textShadow));
    return attributes;
}

bool isActionTemplate(const gfx::Image& image)
{
    return image.name() == u"NSActionTemplate";
}

gfx::Rect actionTemplateRect(gfx::Rect in)
{
    return { in.midX() - 5, in.midY() - 5, 10, 10 };
}

}
