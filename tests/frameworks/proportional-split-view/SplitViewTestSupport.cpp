#include "SplitViewTestSupport.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"

#include <cmath>
#include <sstream>

namespace kjtest {

std::shared_ptr<gfx::Image> dividerImage(gfx::Size size)
{
    return gfx::Image::imageWithSize(size, true, [size](const gfx::Rect&) {
        auto* context = gfx::GraphicsContext::current();
        gfx::Color::colorWithCalibratedWhite(0.6)->setFill();
        context->fillRect({ 0, 0, size.width, size.height });
        gfx::Color::colorWithCalibratedWhite(0.2)->setFill();
        context->fillRect({ size.width / 2 - 1, size.height / 2 - 1, 2, 2 });
        return true;
    });
}

std::string sizes(const KJSplitView& view)
{
    std::ostringstream out;
    bool first = true;
    for (const auto& v : view.subviews()) {
        auto f = v->frame();
        double d = view.isHorizontal() ? f.height() : f.width();
        out << (first ? "" : " ") << d;
        first = false;
    }
    return out.str();
}

std::string frames(const KJSplitView& view)
{
    std::ostringstream out;
    bool first = true;
    for (const auto& v : view.subviews()) {
        auto f = v->frame();
        out << (first ? "" : " | ") << f.minX() << " " << f.minY() << " " << f.width() << " " << f.height();
        first = false;
    }
    return out.str();
}

SplitViewTest::SplitViewTest(gfx::Size size)
    : KeyWindowTest(size)
{
    split = KJSplitView::create({ { 0, 0 }, size });
    split->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
    add(split);
    split->setDelegate(delegate);
}

void SplitViewTest::makePanes(const std::vector<double>& dimensions, double thickness)
{
    std::string name = "a";
    for (double d : dimensions) {
        auto f = split->isHorizontal() ? gfx::Rect { 0, 0, 10, d } : gfx::Rect { 0, 0, d, 10 };
        auto pane = KJSplitSubview::create(f);
        pane->setIdentifier(fnd::String(name));
        split->addSubview(pane);
        name[0] += 1;
    }
    split->setDividerThickness(thickness);
    split->adjustSubviews();
}

void SplitViewTest::press(gfx::Point p, long clickCount, unsigned flags)
{
    backend->mouseDown(*window, split->convertPointToView(p, nullptr), flags, clickCount);
}

void SplitViewTest::dragTo(gfx::Point p)
{
    backend->mouseDragged(*window, split->convertPointToView(p, nullptr));
}

void SplitViewTest::release(gfx::Point p, long clickCount)
{
    backend->mouseUp(*window, split->convertPointToView(p, nullptr), 0, clickCount);
}

void SplitViewTest::dragDivider(gfx::Point from, const std::vector<gfx::Point>& steps)
{
    press(from);
    for (auto p : steps)
        dragTo(p);
    release(steps.empty() ? from : steps.back());
    dispatch();
}

void SplitViewTest::doubleClick(gfx::Point p)
{
    press(p, 1);
    release(p, 1);
    press(p, 2);
    release(p, 2);
    dispatch();
}

void SplitViewTest::resizeAlong(double size)
{
    auto f = split->frame();
    if (split->isHorizontal())
        f.size.height = size;
    else
        f.size.width = size;
    split->setFrame(f);
}

}
