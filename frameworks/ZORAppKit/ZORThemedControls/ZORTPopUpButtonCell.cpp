#include "frameworks/ZORAppKit/ZORThemedControls/ZORTPopUpButtonCell.h"

#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedButtonDrawing.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(ZORTPopUpButtonCell, ui::PopUpButtonCell)

void ZORTPopUpButtonCell::describeClass(fnd::ClassBuilder<ZORTPopUpButtonCell>& c)
{
    c.property("themeKey", &ZORTPopUpButtonCell::themeKey, &ZORTPopUpButtonCell::setThemeKey);
    c.property("highlightBackgroundMode", &ZORTPopUpButtonCell::highlightBackgroundMode,
        &ZORTPopUpButtonCell::setHighlightBackgroundMode);
    c.property("borderSideMask", &ZORTPopUpButtonCell::borderSideMask, &ZORTPopUpButtonCell::setBorderSideMask);
}

void ZORTPopUpButtonCell::init()
{
    PopUpButtonCell::init();
    setHighlightsBy(ui::CellMask::ChangeGray | ui::CellMask::ChangeBackground);
}

std::shared_ptr<ui::Cell> ZORTPopUpButtonCell::copy() const
{
    auto clone = std::static_pointer_cast<ZORTPopUpButtonCell>(PopUpButtonCell::copy());
    clone->m_borderSideMask = 0;
    return clone;
}

std::shared_ptr<gfx::Image> ZORTPopUpButtonCell::shownImage() const
{
    auto item = shownItem();
    return item ? item->image() : image();
}

gfx::Rect ZORTPopUpButtonCell::imageRectForBounds(gfx::Rect bounds) const
{
    // Without a theme the image sits where the platform puts it, as everything else does.
    if (theme()) {
        if (auto inset = ZORThemedButtonDrawing::insetImageRect(*this, bounds, m_highlightBackgroundMode))
            return *inset;
    }
    return PopUpButtonCell::imageRectForBounds(bounds);
}

void ZORTPopUpButtonCell::drawBorderAndBackgroundWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    if (!theme()) {
        PopUpButtonCell::drawBorderAndBackgroundWithFrame(cellFrame, controlView);
        return;
    }
    if (isBordered())
        drawBezelWithFrame(cellFrame, controlView);
    if (arrowPosition() != ui::PopUpArrowPosition::NoArrow)
        drawArrowsInRect(cellFrame);
}

void ZORTPopUpButtonCell::drawBezelWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (!theme()) {
        PopUpButtonCell::drawBezelWithFrame(frame, controlView);
        return;
    }
    if (isHighlighted() && (highlightsBy() & ui::CellMask::ChangeBackground))
        drawHighlightedBackgroundForStateMask(ZORThemedControls::stateMaskForCell(*this), frame, controlView);
}

void ZORTPopUpButtonCell::drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    auto t = theme();
    if (!t) {
        PopUpButtonCell::drawInteriorWithFrame(cellFrame, controlView);
        return;
    }
    ZORThemedButtonDrawing::drawInterior(
        *t, *this, m_highlightBackgroundMode, m_borderSideMask, shownImage(), cellFrame, controlView, [&] {
            auto text = title();
            if (!text.isEmpty())
                drawTitle(txt::AttributedString(text, titleAttributes()), titleRectForBounds(cellFrame), controlView);
        });
}

void ZORTPopUpButtonCell::drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView)
{
    if (!theme()) {
        PopUpButtonCell::drawImage(image, frame, controlView);
        return;
    }
    ZORThemedButtonDrawing::drawImage(
        *this, image, frame, [&](gfx::Rect rect) { PopUpButtonCell::drawImage(image, rect, controlView); });
}

void ZORTPopUpButtonCell::drawArrowsInRect(gfx::Rect frame)
{
    auto t = theme();
    if (!t)
        return;
    auto mask = ZORThemedControls::stateMaskForCell(*this);
    auto view = controlView();
    auto window = view ? view->window() : nullptr;
    if (window && !window->isKeyWindow())
        mask |= ZORThemeState::Inactive;
    ZORThemeDrawing::drawPopUpArrows(
        *t, frame, mask, ZORThemedControls::backgroundStyleOfCell(*this), controlSize(), isBordered(), pullsDown());
}

void ZORTPopUpButtonCell::drawHighlightedBackgroundForStateMask(
    ZORThemeStateMask mask, gfx::Rect frame, ui::View& controlView)
{
    auto t = theme();
    if (!t) {
        PopUpButtonCell::drawInteriorWithFrame(frame, controlView);
        return;
    }
    ZORThemedButtonDrawing::drawHighlightedBackground(
        *t, *this, m_highlightBackgroundMode, mask, frame, shownImage(), controlView);
}

void ZORTPopUpButtonCell::encodeWithCoder(fnd::Coder& coder) const
{
    PopUpButtonCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    ZORThemedControls::encodeThemeKey(coder, m_themeKey);
    coder.encodeInt64(static_cast<std::int64_t>(m_highlightBackgroundMode), ZORThemedControls::HighlightModeArchiveKey);
}

unsigned ZORTPopUpButtonCell::archivedHighlightsBy() const
{
    return isBordered() ? highlightsBy() : highlightsBy() | ui::CellMask::ChangeBackground;
}

bool ZORTPopUpButtonCell::initWithCoder(fnd::Coder& coder)
{
    if (!PopUpButtonCell::initWithCoder(coder))
        return false;
    m_themeKey = ZORThemedControls::decodeThemeKey(coder).value_or(fnd::String());
    m_highlightBackgroundMode = coder.containsValueForKey(ZORThemedControls::HighlightModeArchiveKey)
        ? static_cast<std::uint64_t>(coder.decodeInt64ForKey(ZORThemedControls::HighlightModeArchiveKey))
        : 0;
    if (!isBordered() && !(highlightsBy() & ui::CellMask::ChangeBackground))
        setHighlightsBy(highlightsBy() | ui::CellMask::ChangeBackground);
    return !coder.hasFailed();
}
