#include "ZORAppKit/ZORThemedControls/ZORTImageCell.h"

#include "platform/foundation/Coding.h"
#include "platform/graphics/Image.h"

FND_REGISTER_CLASS(ZORTImageCell, ui::ImageCell)

void ZORTImageCell::describeClass(fnd::ClassBuilder<ZORTImageCell>& c)
{
    c.property("themeKey", &ZORTImageCell::themeKey, &ZORTImageCell::setThemeKey);
}

void ZORTImageCell::drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    auto theme = ZORThemedControls::themeForKey(m_themeKey);
    if (!theme) {
        ImageCell::drawInteriorWithFrame(cellFrame, controlView);
        return;
    }
    if (!image())
        return;
    const double alpha = theme->alphaValueForBackgroundStyle(
        ZORThemedControls::backgroundStyleOfCell(*this), isEnabled() ? 0 : ZORThemeState::Disabled);
    // Stretched over the whole frame, upright in flipped and unflipped views alike.
    image()->drawInRect(cellFrame, {}, gfx::CompositingOperation::SourceOver, alpha, true);
}

void ZORTImageCell::encodeWithCoder(fnd::Coder& coder) const
{
    ImageCell::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding())
        coder.encodeObject(
            m_themeKey.isEmpty() ? fnd::Value() : fnd::Value(m_themeKey), ZORThemedControls::ThemeKeyArchiveKey);
}

bool ZORTImageCell::initWithCoder(fnd::Coder& coder)
{
    if (!ImageCell::initWithCoder(coder))
        return false;
    if (coder.containsValueForKey(ZORThemedControls::ThemeKeyArchiveKey))
        m_themeKey = coder.decodeObjectForKey(ZORThemedControls::ThemeKeyArchiveKey).stringValue();
    return !coder.hasFailed();
}
