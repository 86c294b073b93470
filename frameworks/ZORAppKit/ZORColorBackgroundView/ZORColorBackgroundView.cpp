#include "frameworks/ZORAppKit/ZORColorBackgroundView/ZORColorBackgroundView.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

FND_REGISTER_CLASS(ZORColorBackgroundView, ui::View)

namespace {

[[maybe_unused]] const bool colorBackgroundViewVersionIsSet
    = (fnd::setClassVersion(ZORColorBackgroundView::staticClassInfo(), 1), true);

// Fractions towards white of the ramp's ends.
constexpr double StartWhiteness = 0.01;
constexpr double EndWhiteness = 0.6;

}

void ZORColorBackgroundView::describeClass(fnd::ClassBuilder<ZORColorBackgroundView>& c)
{
    c.property(
        "backgroundColor", &ZORColorBackgroundView::backgroundColor, &ZORColorBackgroundView::setBackgroundColor);
    c.property("blended", &ZORColorBackgroundView::blended, &ZORColorBackgroundView::setBlended);
}

ZORColorBackgroundView::ZORColorBackgroundView()
    : m_bgColor(gfx::Color::colorWithCalibratedRed(0.8, 0.8, 0.8, 1.0))
{
}

std::shared_ptr<ZORColorBackgroundView> ZORColorBackgroundView::create(gfx::Rect frame)
{
    return ui::makeView<ZORColorBackgroundView>(frame);
}

void ZORColorBackgroundView::setBackgroundColor(gfx::ColorPtr color)
{
    m_bgColor = std::move(color);
    setNeedsDisplay(true);
}

void ZORColorBackgroundView::setBlended(bool flag)
{
    m_blended = flag;
    setNeedsDisplay(true);
}

void ZORColorBackgroundView::drawRect(gfx::Rect dirtyRect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context || !m_bgColor)
        return;
    if (m_blended) {
        // Blending works on RGB components: system and grey colours are converted, a pattern has none and is
        // drawn unblended.
        auto white = gfx::Color::whiteColor();
        auto start = m_bgColor->blendedColorWithFraction(StartWhiteness, *white);
        auto end = m_bgColor->blendedColorWithFraction(EndWhiteness, *white);
        if (start && end) {
            drawBands(bounds(), *start, *end, gfx::intersectionRect(dirtyRect, context->clipBoundingBox()));
            return;
        }
    }
    context->saveGraphicsState();
    context->setFillColor(*m_bgColor);
    context->fillRectUsingOperation(bounds(), gfx::CompositingOperation::Copy);
    context->restoreGraphicsState();
}

void ZORColorBackgroundView::_drawRect(gfx::Rect rect, const gfx::Color& start, const gfx::Color& end) const
{
    auto* context = gfx::GraphicsContext::current();
    if (context)
        drawBands(rect, start, end, context->clipBoundingBox());
}

void ZORColorBackgroundView::drawBands(
    gfx::Rect rect, const gfx::Color& start, const gfx::Color& end, gfx::Rect needed) const
{
    auto* context = gfx::GraphicsContext::current();
    auto from = start.rgbaIfAvailable();
    auto to = end.rgbaIfAvailable();
    // Whole bands only: a fraction of a point at the top stays unpainted. Counted in doubles: a view may be taller
    // than any integer type's range of points.
    const double bands = rect.height() > 0 ? std::trunc(rect.height()) : 0;
    if (!context || !from || !to || !(bands >= 1) || needed.isEmpty())
        return;
    // The bands that meet the area to draw, and one more on each side: a band's edge may share a pixel with it.
    const double first = std::max(0.0, std::floor(needed.minY() - rect.minY()) - 1);
    const double last = std::min(bands - 1, std::ceil(needed.maxY() - rect.minY()));
    if (!(first <= last))
        return;
    // Each band's colour is worked out from its index, so a band drawn alone has the colour it has in a whole draw;
    // single-precision steps added up band after band drift, and stop moving at all in a tall view.
    std::array<double, 4> step {};
    for (int c = 0; c < 4; ++c)
        step[c] = ((*to)[c] - (*from)[c]) / bands;
    context->saveGraphicsState();
    const double count = last - first + 1;
    for (std::int64_t i = 0; static_cast<double>(i) < count; ++i) {
        const double band = first + static_cast<double>(i);
        std::array<double, 4> colour {};
        for (int c = 0; c < 4; ++c)
            colour[c] = (*from)[c] + step[c] * band;
        context->setFillColor(*gfx::Color::colorWithDeviceRed(colour[0], colour[1], colour[2], colour[3]));
        context->fillRectUsingOperation(
            { rect.minX(), rect.minY() + band, rect.width(), 1.0 }, gfx::CompositingOperation::SourceOver);
    }
    context->restoreGraphicsState();
}

void ZORColorBackgroundView::encodeWithCoder(fnd::Coder& coder) const
{
    ui::View::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding()) {
        coder.encodeObject(fnd::Value(m_bgColor), "_bgColor");
        coder.encodeBool(m_blended, "_blended");
    } else {
        coder.encodeObject(fnd::Value(m_bgColor));
        coder.encodeValueOfObjCType('c', fnd::Number(m_blended ? 1 : 0));
    }
}

bool ZORColorBackgroundView::initWithCoder(fnd::Coder& coder)
{
    if (!ui::View::initWithCoder(coder))
        return false;
    m_blended = false;
    const bool keyed = coder.allowsKeyedCoding();
    auto color = keyed ? coder.decodeObjectForKey("_bgColor") : coder.decodeObject();
    setBackgroundColor(color.objectAs<gfx::Color>());
    // Compared unsigned, so a coder that never heard of the old name (NotFound) reads the flag.
    if (static_cast<std::uint64_t>(coder.versionForClassName("TBQColorBackgroundView")) >= 2) {
        setBlended(keyed ? coder.decodeBoolForKey("_blended") : coder.decodeValueOfObjCType('c').integerValue() != 0);
    }
    return true;
}
