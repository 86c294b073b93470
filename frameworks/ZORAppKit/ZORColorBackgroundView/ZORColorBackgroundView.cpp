#include "frameworks/ZORAppKit/ZORColorBackgroundView/ZORColorBackgroundView.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/GraphicsContext.h"

#include <array>
#include <cmath>

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

void ZORColorBackgroundView::drawRect(gfx::Rect)
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
            _drawRect(bounds(), *start, *end);
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
    auto from = start.rgbaIfAvailable();
    auto to = end.rgbaIfAvailable();
    // Whole bands only: a fraction of a point at the top stays unpainted.
    const int bands = rect.height() > 0 ? static_cast<int>(std::trunc(rect.height())) : 0;
    if (!context || !from || !to || bands <= 0)
        return;
    std::array<float, 4> colour {};
    std::array<float, 4> step {};
    for (int i = 0; i < 4; ++i) {
        colour[i] = static_cast<float>((*from)[i]);
        step[i] = static_cast<float>(((*to)[i] - (*from)[i]) / bands);
    }
    context->saveGraphicsState();
    gfx::Rect band { rect.minX(), rect.minY(), rect.width(), 1.0 };
    for (int i = 0; i < bands; ++i) {
        context->setFillColor(*gfx::Color::colorWithDeviceRed(colour[0], colour[1], colour[2], colour[3]));
        context->fillRectUsingOperation(band, gfx::CompositingOperation::SourceOver);
        band.origin.y += 1.0;
        for (int c = 0; c < 4; ++c)
            colour[c] += step[c];
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
