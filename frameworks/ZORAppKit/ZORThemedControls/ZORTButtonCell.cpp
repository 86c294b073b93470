#include "frameworks/ZORAppKit/ZORThemedControls/ZORTButtonCell.h"

#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedButtonDrawing.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/ui/controls/Matrix.h"
#include "platform/ui/views/View.h"

FND_REGISTER_CLASS(ZORTButtonCell, ui::ButtonCell)

namespace {

namespace Drawing = ZORThemeDrawing;
using ui::BezelStyle;
using ui::ButtonType;
using ui::CellImagePosition;
using ui::CellMask::ChangeBackground;
using ui::CellMask::ChangeGray;

const fnd::String ButtonTypeKey = "QFButtonType";
const fnd::String StateModeKey = "stateBgMode";

// Rows of the heads-up tables centre their check boxes themselves.
bool isHeadsUpRow(const ui::View& view)
{
    auto named = [](const fnd::ClassInfo* info) {
        return info && (info->name == u"ZORHUDTableView" || info->name == u"ZORHUDOutlineView");
    };
    return named(&view.classInfo()) || named(view.classInfo().superclass);
}

// How far the box moves up from the frame's edge to sit in the middle of its row: a matrix draws each cell in its own
// row's frame, so the box is centred in one row's share of the matrix, not in the whole matrix.
double checkBoxShift(const ui::View& controlView, gfx::Rect frame)
{
    if (isHeadsUpRow(controlView))
        return 0;
    const double height = controlView.bounds().height();
    if (auto* matrix = dynamic_cast<const ui::Matrix*>(&controlView); matrix && matrix->numberOfRows() > 0)
        return height / 2 / double(matrix->numberOfRows()) - frame.height() / 2;
    return (height - frame.height()) / 2;
}

}

void ZORTButtonCell::describeClass(fnd::ClassBuilder<ZORTButtonCell>& c)
{
    c.property("themeKey", &ZORTButtonCell::themeKey, &ZORTButtonCell::setThemeKey);
    c.property("highlightBackgroundMode", &ZORTButtonCell::highlightBackgroundMode,
        &ZORTButtonCell::setHighlightBackgroundMode);
    c.property("stateBackgroundMode", &ZORTButtonCell::stateBackgroundMode, &ZORTButtonCell::setStateBackgroundMode);
    c.property("borderSideMask", &ZORTButtonCell::borderSideMask, &ZORTButtonCell::setBorderSideMask);
}

void ZORTButtonCell::init()
{
    ButtonCell::init();
    setHighlightsBy(ChangeGray | ChangeBackground);
}

std::shared_ptr<ui::Cell> ZORTButtonCell::copy() const
{
    auto clone = std::static_pointer_cast<ZORTButtonCell>(ButtonCell::copy());
    clone->m_borderSideMask = 0;
    clone->m_isMouseIn = false;
    return clone;
}

void ZORTButtonCell::addChangeBackgroundWhenBorderless()
{
    if (!isBordered() && !(highlightsBy() & ChangeBackground))
        setHighlightsBy(highlightsBy() | ChangeBackground);
}

void ZORTButtonCell::setButtonType(ButtonType type)
{
    m_qfButtonType = static_cast<std::uint64_t>(type);
    ButtonCell::setButtonType(type);
    addChangeBackgroundWhenBorderless();
}

gfx::Rect ZORTButtonCell::imageRectForBounds(gfx::Rect bounds) const
{
    // Without a theme the image sits where the platform puts it, as everything else does.
    if (theme()) {
        if (auto inset = ZORThemedButtonDrawing::insetImageRect(*this, bounds, m_highlightBackgroundMode))
            return *inset;
    }
    return ButtonCell::imageRectForBounds(bounds);
}

void ZORTButtonCell::mouseEntered(const ui::Event& event)
{
    ButtonCell::mouseEntered(event);
    if (bezelStyle() != BezelStyle::Recessed)
        return;
    m_isMouseIn = true;
    setHighlighted(true);
}

void ZORTButtonCell::mouseExited(const ui::Event& event)
{
    ButtonCell::mouseExited(event);
    if (bezelStyle() != BezelStyle::Recessed)
        return;
    m_isMouseIn = false;
    setHighlighted(false);
}

// Drawing.

bool ZORTButtonCell::hasThemedBezel() const
{
    switch (bezelStyle()) {
    case BezelStyle::Rounded:
    case BezelStyle::SmallSquare:
    case BezelStyle::TexturedRounded:
    case BezelStyle::RoundRect:
    case BezelStyle::Recessed:
        return true;
    default:
        return false;
    }
}

void ZORTButtonCell::drawWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    if (!theme() || isTransparent()) {
        ButtonCell::drawWithFrame(cellFrame, controlView);
        return;
    }
    setControlView(std::static_pointer_cast<ui::View>(controlView.shared_from_this()));
    if (isCheckOrRadio()) {
        drawCheckInFrame(cellFrame, buttonType() == ButtonType::Radio, controlView);
        return;
    }
    if (!isBordered() || !hasThemedBezel()) {
        ButtonCell::drawWithFrame(cellFrame, controlView);
        return;
    }
    switch (bezelStyle()) {
    case BezelStyle::Rounded:
        drawRoundedButtonInFrame(cellFrame, controlView);
        break;
    case BezelStyle::SmallSquare:
        drawSmallSquareButtonInFrame(cellFrame, controlView);
        break;
    case BezelStyle::TexturedRounded:
        drawTexturedRoundedButtonInFrame(cellFrame, controlView);
        break;
    case BezelStyle::RoundRect:
        drawRoundRectButtonInFrame(cellFrame, controlView);
        break;
    default:
        drawRecessedButtonInFrame(cellFrame, controlView);
        break;
    }
}

void ZORTButtonCell::drawBezelWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (!theme()) {
        ButtonCell::drawBezelWithFrame(frame, controlView);
        return;
    }
    if (isHighlighted() && (highlightsBy() & ChangeBackground))
        drawHighlightedBackgroundForStateMask(ZORThemedControls::stateMaskForCell(*this), frame, controlView);
}

void ZORTButtonCell::drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    auto t = theme();
    if (!t) {
        ButtonCell::drawInteriorWithFrame(cellFrame, controlView);
        return;
    }
    auto mask = ZORThemedControls::stateMaskForCell(*this);
    ZORThemedButtonDrawing::drawInterior(*t, *this, m_highlightBackgroundMode, m_borderSideMask,
        imageForStateMask(mask), cellFrame, controlView,
        [&] { drawTitle(*attributedTitle(), cellFrame, controlView); });
}

gfx::Rect ZORTButtonCell::drawTitle(const txt::AttributedString& title, gfx::Rect frame, ui::View& controlView)
{
    auto t = theme();
    if (!t)
        return ButtonCell::drawTitle(title, frame, controlView);
    gfx::Rect adjusted = frame;
    if (!isCheckOrRadio())
        adjusted = { frame.minX() + 5, frame.minY(), frame.width() - 10, frame.height() - 2 };

    auto text = std::make_shared<txt::AttributedString>(title);
    const bool on = state() == ui::ControlStateValue::On;
    if (!alternateTitle().isEmpty()
        && ((showsStateBy() == 0 && highlightsBy() == 1 && isHighlighted())
            || (showsStateBy() == 1 && highlightsBy() == 3 && on)))
        text = std::make_shared<txt::AttributedString>(*attributedAlternateTitle());
    if (text->length() == 0)
        return adjusted;
    auto color = t->textColorForBackgroundStyle(
        ZORThemedControls::backgroundStyleOfCell(*this), ZORThemedControls::stateMaskForCell(*this));
    text->addAttribute(txt::ForegroundColorAttributeName, fnd::Value(color), { 0, text->length() });
    ButtonCell::drawTitle(*text, adjusted, controlView);
    return adjusted;
}

void ZORTButtonCell::drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView)
{
    if (!theme()) {
        ButtonCell::drawImage(image, frame, controlView);
        return;
    }
    ZORThemedButtonDrawing::drawImage(
        *this, image, frame, [&](gfx::Rect rect) { ButtonCell::drawImage(image, rect, controlView); });
}

std::shared_ptr<gfx::Image> ZORTButtonCell::imageForStateMask(ZORThemeStateMask) const
{
    if (state() == ui::ControlStateValue::On && alternateImage())
        return alternateImage();
    return image();
}

void ZORTButtonCell::drawHighlightedBackgroundForStateMask(
    ZORThemeStateMask mask, gfx::Rect frame, ui::View& controlView)
{
    auto t = theme();
    if (!t) {
        ButtonCell::drawInteriorWithFrame(frame, controlView);
        return;
    }
    ZORThemedButtonDrawing::drawHighlightedBackground(
        *t, *this, m_highlightBackgroundMode, mask, frame, imageForStateMask(mask), controlView);
}

// The bezel styles.

void ZORTButtonCell::drawContentsInBezel(gfx::Rect titleRect, gfx::Rect shapeRect, ui::View& controlView)
{
    if (imagePosition() != CellImagePosition::ImageOnly)
        drawTitle(*attributedTitle(), titleRect, controlView);
    if (imagePosition() != CellImagePosition::NoImage)
        drawImage(image(), shapeRect, controlView);
}

namespace {

Drawing::BezelState bezelState(const ui::ButtonCell& cell, ZORThemeStateMask fillMask)
{
    return { ZORThemedControls::stateMaskForCell(cell), fillMask, cell.controlSize(), cell.isEnabled() };
}

ZORThemeStateMask gradientMask(const ui::ButtonCell& cell)
{
    return Drawing::bezelGradientMask(cell.isEnabled(), cell.showsStateBy(), cell.highlightsBy(),
        static_cast<long>(cell.state()), cell.isHighlighted());
}

}

void ZORTButtonCell::drawTexturedRoundedButtonInFrame(gfx::Rect frame, ui::View& controlView)
{
    auto t = theme();
    if (!t)
        return;
    auto rects = Drawing::drawTexturedRoundedBezel(*t, frame, bezelState(*this, gradientMask(*this)));
    drawContentsInBezel(rects.title, rects.shape, controlView);
}

void ZORTButtonCell::drawRoundRectButtonInFrame(gfx::Rect frame, ui::View& controlView)
{
    auto t = theme();
    if (!t)
        return;
    auto rects = Drawing::drawRoundRectBezel(*t, frame, bezelState(*this, gradientMask(*this)));
    drawContentsInBezel(rects.title, rects.shape, controlView);
}

void ZORTButtonCell::drawSmallSquareButtonInFrame(gfx::Rect frame, ui::View& controlView)
{
    auto t = theme();
    if (!t)
        return;
    auto rects = Drawing::drawSmallSquareBezel(
        *t, frame, bezelState(*this, gradientMask(*this)), controlView.bounds().height());
    drawContentsInBezel(rects.title, rects.shape, controlView);
}

void ZORTButtonCell::drawRoundedButtonInFrame(gfx::Rect frame, ui::View& controlView)
{
    auto t = theme();
    if (!t)
        return;
    auto rects = Drawing::drawRoundedBezel(*t, frame, bezelState(*this, gradientMask(*this)));
    drawContentsInBezel(rects.title, rects.shape, controlView);
}

void ZORTButtonCell::drawRecessedButtonInFrame(gfx::Rect frame, ui::View& controlView)
{
    auto t = theme();
    if (!t)
        return;
    const bool on = state() == ui::ControlStateValue::On;
    auto fill = Drawing::recessedFillMask(on, m_isMouseIn);
    // A button that is on shows its pressed colours and forgets the pointer was inside.
    if (on && isEnabled())
        m_isMouseIn = false;
    auto rects = Drawing::drawRecessedBezel(*t, frame, bezelState(*this, fill));
    drawContentsInBezel(rects.title, rects.shape, controlView);
}

void ZORTButtonCell::drawCheckInFrame(gfx::Rect frame, bool isRadio, ui::View& controlView)
{
    auto t = theme();
    if (!t)
        return;
    Drawing::CheckState check;
    check.stateMask = ZORThemedControls::stateMaskForCell(*this);
    check.controlSize = controlSize();
    check.enabled = isEnabled();
    check.highlighted = isHighlighted();
    check.state = static_cast<long>(state());
    check.imagePosition = static_cast<long>(imagePosition());
    check.verticalShift = checkBoxShift(controlView, frame);
    auto titleRect = Drawing::drawCheck(*t, frame, check, isRadio);
    if (imagePosition() != CellImagePosition::ImageOnly && !title().isEmpty())
        drawTitle(*attributedTitle(), titleRect, controlView);
}

// Archiving.

void ZORTButtonCell::encodeWithCoder(fnd::Coder& coder) const
{
    ButtonCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    ZORThemedControls::encodeThemeKey(coder, m_themeKey);
    coder.encodeInt64(static_cast<std::int64_t>(m_qfButtonType), ButtonTypeKey);
    coder.encodeInt64(static_cast<std::int64_t>(m_highlightBackgroundMode), ZORThemedControls::HighlightModeArchiveKey);
    coder.encodeInt64(static_cast<std::int64_t>(m_stateBackgroundMode), StateModeKey);
}

unsigned ZORTButtonCell::archivedHighlightsBy() const
{
    return isBordered() ? highlightsBy() : highlightsBy() | ChangeBackground;
}

bool ZORTButtonCell::initWithCoder(fnd::Coder& coder)
{
    if (!ButtonCell::initWithCoder(coder))
        return false;
    auto readUnsigned = [&](const fnd::String& key) {
        return coder.containsValueForKey(key) ? static_cast<std::uint64_t>(coder.decodeInt64ForKey(key)) : 0;
    };
    m_themeKey = ZORThemedControls::decodeThemeKey(coder).value_or(fnd::String());
    m_qfButtonType = readUnsigned(ButtonTypeKey);
    m_highlightBackgroundMode = readUnsigned(ZORThemedControls::HighlightModeArchiveKey);
    m_stateBackgroundMode = readUnsigned(StateModeKey);
    addChangeBackgroundWhenBorderless();
    return !coder.hasFailed();
}
