#include "frameworks/ZORAppKit/ZORThemedControls/ZORTImageCell.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/Image.h"

FND_REGISTER_CLASS(ZORTImageCell, ui::ImageCell)

void ZORTImageCell::describeClass(fnd::ClassBuilder<ZORTImageCell>& c)
{
    c.property("themeKey", &ZORTImageCell::themeKey, &ZORTImageCell::setThemeKey);
}

void ZORTImageCell::drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    auto t = theme();
    if (!t) {
        ImageCell::drawInteriorWithFrame(cellFrame, controlView);
        return;
    }
    if (!image())
        return;
    const double alpha = t->alphaValueForBackgroundStyle(
        ZORThemedControls::backgroundStyleOfCell(*this), isEnabled() ? 0 : ZORThemeState::Disabled);
    // Stretched over the whole frame, upright in flipped and unflipped views alike.
    image()->drawInRect(cellFrame, {}, gfx::CompositingOperation::SourceOver, alpha, true);
}

void ZORTImageCell::encodeWithCoder(fnd::Coder& coder) const
{
    ImageCell::encodeWithCoder(coder);
    ZORThemedControls::encodeThemeKey(coder, m_themeKey);
}

bool ZORTImageCell::initWithCoder(fnd::Coder& coder)
{
    if (!ImageCell::initWithCoder(coder))
        return false;
    if (auto key = ZORThemedControls::decodeThemeKey(coder))
        m_themeKey = *key;
    return !coder.hasFailed();
}
