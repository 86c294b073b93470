#include "platform/ui/controls/ButtonCell.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(ButtonCell, ActionCell)

void ButtonCell::describeClass(fnd::ClassBuilder<ButtonCell>& c)
{
    c.property("buttonType", &ButtonCell::buttonType, &ButtonCell::setButtonType);
    c.property("bezelStyle", &ButtonCell::bezelStyle, &ButtonCell::setBezelStyle);
    c.property("highlightsBy", &ButtonCell::highlightsBy, &ButtonCell::setHighlightsBy);
    c.property("showsStateBy", &ButtonCell::showsStateBy, &ButtonCell::setShowsStateBy);
    c.property("transparent", &ButtonCell::isTransparent, &ButtonCell::setTransparent);
    c.property("showsBorderOnlyWhileMouseInside", &ButtonCell::showsBorderOnlyWhileMouseInside,
        &ButtonCell::setShowsBorderOnlyWhileMouseInside);
    c.property("backgroundColor", &ButtonCell::backgroundColor, &ButtonCell::setBackgroundColor);
    c.property("imagePosition", &ButtonCell::imagePosition, &ButtonCell::setImagePosition);
    c.property("imageScaling", &ButtonCell::imageScaling, &ButtonCell::setImageScaling);
    c.property("imageHugsTitle", &ButtonCell::imageHugsTitle, &ButtonCell::setImageHugsTitle);
    c.property("alternateTitle", &ButtonCell::alternateTitle, &ButtonCell::setAlternateTitle);
    c.property("attributedTitle", &ButtonCell::attributedTitle, &ButtonCell::setAttributedTitle);
    c.property("alternateImage", &ButtonCell::alternateImage, &ButtonCell::setAlternateImage);
    c.property("keyEquivalent", &ButtonCell::keyEquivalent, &ButtonCell::setKeyEquivalent);
    c.property(
        "keyEquivalentModifierMask", &ButtonCell::keyEquivalentModifierMask, &ButtonCell::setKeyEquivalentModifierMask);
}

namespace {

// The room between the image and the title.
double imageTitleGap(bool checkOrRadio, ControlSize size)
{
    if (checkOrRadio)
        return size == ControlSize::Regular ? 6 : 4;
    return 4;
}

gfx::Rect centred(gfx::Size size, gfx::Rect in)
{
    return { std::round(in.midX() - size.width / 2), std::round(in.midY() - size.height / 2), size.width, size.height };
}

bool isSquareStyle(BezelStyle style)
{
    switch (style) {
    case BezelStyle::RegularSquare:
    case BezelStyle::ThickSquare:
    case BezelStyle::ThickerSquare:
    case BezelStyle::ShadowlessSquare:
    case BezelStyle::TexturedSquare:
    case BezelStyle::SmallSquare:
        return true;
    default:
        return false;
    }
}

}

ButtonCell::ButtonCell() = default;

void ButtonCell::init()
{
    initTextCell("Button");
}

void ButtonCell::initTextCell(const fnd::String& title)
{
    Cell::initTextCell({});
    m_title = title;
    setBordered(true);
    setAlignment(txt::TextAlignment::Center);
    setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
    setButtonType(ButtonType::MomentaryPushIn);
}

void ButtonCell::initImageCell(std::shared_ptr<gfx::Image> image)
{
    initTextCell({});
    setImage(std::move(image));
    m_imagePosition = CellImagePosition::ImageOnly;
}

// Type and look.

void ButtonCell::setButtonType(ButtonType type)
{
    if (!isWithin(type, ButtonType::MomentaryLight, ButtonType::MultiLevelAccelerator))
        return;
    const bool wasCheckOrRadio = isCheckOrRadio();
    m_buttonType = type;
    using namespace CellMask;
    switch (type) {
    case ButtonType::MomentaryLight:
        m_highlightsBy = ChangeGray | ChangeBackground;
        m_showsStateBy = None;
        break;
    case ButtonType::PushOnPushOff:
        m_highlightsBy = PushIn | ChangeGray | ChangeBackground;
        m_showsStateBy = ChangeGray | ChangeBackground;
        break;
    case ButtonType::Toggle:
        m_highlightsBy = PushIn | Contents;
        m_showsStateBy = Contents;
        break;
    case ButtonType::Switch:
    case ButtonType::Radio:
        m_highlightsBy = Contents;
        m_showsStateBy = Contents;
        break;
    case ButtonType::MomentaryChange:
        m_highlightsBy = Contents;
        m_showsStateBy = None;
        break;
    case ButtonType::OnOff:
        m_highlightsBy = ChangeGray | ChangeBackground;
        m_showsStateBy = ChangeGray | ChangeBackground;
        break;
    default:
        m_highlightsBy = PushIn | ChangeGray | ChangeBackground;
        m_showsStateBy = None;
        break;
    }
    if (isCheckOrRadio()) {
        // A box and its title, left to right, without a face.
        setBordered(false);
        m_imagePosition = CellImagePosition::ImageLeft;
        setAlignment(txt::TextAlignment::Natural);
    } else if (wasCheckOrRadio) {
        setBordered(true);
        m_imagePosition = CellImagePosition::NoImage;
        setAlignment(txt::TextAlignment::Center);
    }
    noteChanged();
}

void ButtonCell::setBezelStyle(BezelStyle style)
{
    if (style == m_bezelStyle || !isWithin(style, BezelStyle::Rounded, BezelStyle::Inline))
        return;
    m_bezelStyle = style;
    // Recessed buttons show their face while the mouse is over them.
    if (auto view = controlView())
        view->updateTrackingAreas();
    noteChanged();
}

void ButtonCell::setTransparent(bool flag)
{
    if (flag == m_transparent)
        return;
    m_transparent = flag;
    noteChanged();
}

void ButtonCell::setShowsBorderOnlyWhileMouseInside(bool flag)
{
    if (flag == m_showsBorderOnlyWhileMouseInside)
        return;
    m_showsBorderOnlyWhileMouseInside = flag;
    if (auto view = controlView())
        view->updateTrackingAreas();
    noteChanged();
}

void ButtonCell::setBackgroundColor(gfx::ColorPtr color)
{
    m_backgroundColor = std::move(color);
    noteChanged();
}

void ButtonCell::setImagePosition(CellImagePosition position)
{
    if (position == m_imagePosition
        || !isWithin(position, CellImagePosition::NoImage, CellImagePosition::ImageTrailing))
        return;
    m_imagePosition = position;
    noteChanged();
}

void ButtonCell::setImageScaling(ImageScaling scaling)
{
    if (scaling == m_imageScaling
        || !isWithin(scaling, ImageScaling::ProportionallyDown, ImageScaling::ProportionallyUpOrDown))
        return;
    m_imageScaling = scaling;
    noteChanged();
}

// Title and image.

void ButtonCell::setTitle(const fnd::String& title)
{
    m_title = title;
    m_attributedTitle.reset();
    noteChanged();
}

void ButtonCell::setAlternateTitle(const fnd::String& title)
{
    m_alternateTitle = title;
    m_attributedAlternateTitle.reset();
    noteChanged();
}

std::shared_ptr<txt::AttributedString> ButtonCell::attributedTitle() const
{
    if (m_attributedTitle)
        return m_attributedTitle;
    return std::make_shared<txt::AttributedString>(m_title, titleAttributes());
}

void ButtonCell::setAttributedTitle(std::shared_ptr<txt::AttributedString> title)
{
    m_attributedTitle = std::move(title);
    m_title = m_attributedTitle ? m_attributedTitle->string() : fnd::String();
    noteChanged();
}

std::shared_ptr<txt::AttributedString> ButtonCell::attributedAlternateTitle() const
{
    if (m_attributedAlternateTitle)
        return m_attributedAlternateTitle;
    return std::make_shared<txt::AttributedString>(m_alternateTitle, titleAttributes());
}

void ButtonCell::setAttributedAlternateTitle(std::shared_ptr<txt::AttributedString> title)
{
    m_attributedAlternateTitle = std::move(title);
    m_alternateTitle = m_attributedAlternateTitle ? m_attributedAlternateTitle->string() : fnd::String();
    noteChanged();
}

void ButtonCell::setAlternateImage(std::shared_ptr<gfx::Image> image)
{
    m_alternateImage = std::move(image);
    noteChanged();
}

void ButtonCell::setKeyEquivalent(const fnd::String& key)
{
    if (key == m_keyEquivalent)
        return;
    m_keyEquivalent = key;
    noteChanged(); // the default button looks different
}

bool ButtonCell::matchesKeyEquivalent(const Event& event) const
{
    if (m_keyEquivalent.isEmpty() || event.type() != EventType::KeyDown)
        return false;
    auto characters = event.charactersIgnoringModifiers();
    // The keypad's Enter acts as Return.
    if (characters == u"\x03")
        characters = u"\r";
    if (characters.isEmpty())
        return false;
    unsigned long wanted = m_keyEquivalentModifierMask;
    if (m_keyEquivalent.lowercaseString() != m_keyEquivalent)
        wanted |= KeyEquivalentModifier::Shift;
    constexpr unsigned long relevant = KeyEquivalentModifier::Shift | KeyEquivalentModifier::Control
        | KeyEquivalentModifier::Option | KeyEquivalentModifier::Command;
    return m_keyEquivalent.lowercaseString() == characters.lowercaseString()
        && (event.modifierFlags() & relevant) == wanted;
}

bool ButtonCell::isDefaultButton() const
{
    if (m_keyEquivalent != u"\r" || (m_keyEquivalentModifierMask & ~KeyEquivalentModifier::Shift) != 0)
        return false;
    auto view = controlView();
    auto window = view ? view->window() : nullptr;
    return !window || window->isKeyEquivalentForDefaultButtonCellEnabled();
}

// Value.

fnd::Value ButtonCell::objectValue() const
{
    return fnd::Value(static_cast<long>(state()));
}

void ButtonCell::setObjectValue(const fnd::Value& value)
{
    long n = value.isNil() ? 0 : static_cast<long>(value.integerValue());
    setState(n < 0 ? ControlStateValue::Mixed : n > 0 ? ControlStateValue::On : ControlStateValue::Off);
}

fnd::String ButtonCell::stringValue() const
{
    return fnd::String(std::to_string(static_cast<int>(state())));
}

void ButtonCell::setStringValue(const fnd::String& string)
{
    setObjectValue(fnd::Value(static_cast<long long>(std::strtoll(string.utf8().c_str(), nullptr, 10))));
}

std::int64_t ButtonCell::integerValue() const
{
    return static_cast<std::int64_t>(state());
}

double ButtonCell::doubleValue() const
{
    return static_cast<double>(state());
}

ControlStateValue ButtonCell::nextState() const
{
    // A radio button is chosen, never unchosen, by a click.
    if (m_buttonType == ButtonType::Radio)
        return ControlStateValue::On;
    return Cell::nextState();
}

void ButtonCell::setNextState()
{
    // Buttons that show no state keep it; clicking them only acts.
    if (m_showsStateBy == CellMask::None && !isCheckOrRadio())
        return;
    Cell::setNextState();
}

bool ButtonCell::acceptsFirstResponder() const
{
    return Cell::acceptsFirstResponder() && !m_transparent;
}

void ButtonCell::mouseEntered(const Event&)
{
    if (m_mouseInside)
        return;
    m_mouseInside = true;
    noteChanged();
}

void ButtonCell::mouseExited(const Event&)
{
    if (!m_mouseInside)
        return;
    m_mouseInside = false;
    noteChanged();
}

// Geometry.

gfx::Size ButtonCell::imageSize() const
{
    if (auto image = imageToShow())
        return image->size();
    if (isCheckOrRadio()) {
        double side = ControlLook::checkBoxSize(controlSize());
        return { side, side };
    }
    return {};
}

gfx::Size ButtonCell::cellSizeForBounds(gfx::Rect) const
{
    const auto size = controlSize();
    const double line = ControlLook::lineHeight(size);
    gfx::Size titleSize;
    if (m_imagePosition != CellImagePosition::ImageOnly && !m_title.isEmpty()) {
        auto text = textSize(*attributedTitle());
        titleSize = { text.width, std::max(line, text.height) };
    }
    auto image = m_imagePosition == CellImagePosition::NoImage && !isCheckOrRadio() ? gfx::Size {} : imageSize();
    const double gap = titleSize.width > 0 && image.width > 0 ? imageTitleGap(isCheckOrRadio(), size) : 0;
    gfx::Size content;
    switch (m_imagePosition) {
    case CellImagePosition::ImageAbove:
    case CellImagePosition::ImageBelow:
        content = { std::max(titleSize.width, image.width), titleSize.height + image.height + gap };
        break;
    case CellImagePosition::ImageOnly:
    case CellImagePosition::ImageOverlaps:
        content = { std::max(titleSize.width, image.width), std::max(titleSize.height, image.height) };
        break;
    default:
        content = { titleSize.width + gap + image.width, std::max(titleSize.height, image.height) };
        break;
    }
    switch (m_bezelStyle) {
    case BezelStyle::Disclosure:
        if (isBordered())
            return { line, line };
        break;
    case BezelStyle::HelpButton:
    case BezelStyle::Circular:
        if (isBordered()) {
            double side = line + 2 * ControlLook::facePadding(size).height + 2;
            return { side, side };
        }
        break;
    default:
        break;
    }
    if (isBordered() && !isCheckOrRadio()) {
        auto pad = ControlLook::facePadding(size);
        double padX = m_imagePosition == CellImagePosition::ImageOnly ? pad.height + 2 : pad.width;
        content.width += 2 * padX + 4;
        content.height += 2 * pad.height + 4;
    }
    return { std::ceil(content.width), std::ceil(content.height) };
}

gfx::Rect ButtonCell::drawingRectForBounds(gfx::Rect bounds) const
{
    if (!isBordered() || isCheckOrRadio())
        return bounds;
    auto pad = ControlLook::facePadding(controlSize());
    double padX = m_imagePosition == CellImagePosition::ImageOnly ? pad.height + 2 : pad.width;
    double insetX = std::min(padX + 2, bounds.width() / 2);
    // A narrow picture button (a list row's + and -) keeps ten points for its picture inside the face's edge.
    if (m_imagePosition == CellImagePosition::ImageOnly)
        insetX = std::min(insetX, std::max(2.0, (bounds.width() - 10) / 2));
    return gfx::insetRect(bounds, insetX, std::min(pad.height, bounds.height() / 2));
}

ButtonCell::Layout ButtonCell::layoutForBounds(gfx::Rect bounds) const
{
    auto area = drawingRectForBounds(bounds);
    auto position = m_imagePosition;
    auto isize = imageSize();
    if (isize.width <= 0 || isize.height <= 0)
        position = CellImagePosition::NoImage;
    if (position == CellImagePosition::ImageLeading)
        position = CellImagePosition::ImageLeft;
    if (position == CellImagePosition::ImageTrailing)
        position = CellImagePosition::ImageRight;
    // Images that do not fit shrink with their proportions, unless the scaling says otherwise.
    if (m_imageScaling != ImageScaling::None && isize.width > 0 && isize.height > 0) {
        double fit = std::min(area.width() / isize.width, area.height() / isize.height);
        if (m_imageScaling == ImageScaling::ProportionallyUpOrDown || fit < 1)
            isize = { std::floor(isize.width * fit), std::floor(isize.height * fit) };
    }
    const double gap = imageTitleGap(isCheckOrRadio(), controlSize());
    const bool flipped = controlView() ? controlView()->isFlipped() : true;
    Layout layout;
    switch (position) {
    case CellImagePosition::NoImage:
        layout.title = area;
        break;
    case CellImagePosition::ImageOnly:
        layout.image = centred(isize, area);
        break;
    case CellImagePosition::ImageOverlaps:
        layout.image = centred(isize, area);
        layout.title = area;
        break;
    case CellImagePosition::ImageLeft:
    case CellImagePosition::ImageRight: {
        const bool left = position == CellImagePosition::ImageLeft;
        double titleWidth = m_title.isEmpty() ? 0 : textSize(*attributedTitle()).width;
        const bool group = !isCheckOrRadio() && (m_imageHugsTitle || alignment() == txt::TextAlignment::Center);
        double imageX;
        if (group) {
            double total = isize.width + (titleWidth > 0 ? gap + titleWidth : 0);
            double start = std::max(area.minX(), std::round(area.midX() - total / 2));
            imageX = left ? start : std::min(area.maxX() - isize.width, start + total - isize.width);
        } else {
            imageX = left ? area.minX() : area.maxX() - isize.width;
        }
        layout.image = { imageX, std::round(area.midY() - isize.height / 2), isize.width, isize.height };
        if (left)
            layout.title = { imageX + isize.width + gap, area.minY(), area.maxX() - (imageX + isize.width + gap),
                area.height() };
        else
            layout.title = { area.minX(), area.minY(), imageX - gap - area.minX(), area.height() };
        break;
    }
    case CellImagePosition::ImageAbove:
    case CellImagePosition::ImageBelow: {
        // Above and below are meant on the screen.
        const bool atMinY = (position == CellImagePosition::ImageAbove) == flipped;
        double lineHeight = m_title.isEmpty() ? 0 : ControlLook::lineHeight(controlSize());
        double total = isize.height + (lineHeight > 0 ? gap + lineHeight : 0);
        double top = std::round(area.midY() - total / 2);
        double imageY = atMinY ? top : top + total - isize.height;
        layout.image = { std::round(area.midX() - isize.width / 2), imageY, isize.width, isize.height };
        layout.title = atMinY ? gfx::Rect { area.minX(), imageY + isize.height + gap, area.width(), lineHeight }
                              : gfx::Rect { area.minX(), top, area.width(), lineHeight };
        break;
    }
    default:
        layout.title = area;
        break;
    }
    if (layout.title.width() < 0)
        layout.title.size.width = 0;
    return layout;
}

gfx::Rect ButtonCell::titleRectForBounds(gfx::Rect bounds) const
{
    return layoutForBounds(bounds).title;
}

gfx::Rect ButtonCell::imageRectForBounds(gfx::Rect bounds) const
{
    return layoutForBounds(bounds).image;
}

// Drawing.

bool ButtonCell::drawsFace() const
{
    if (!isBordered() || m_transparent || isCheckOrRadio())
        return false;
    if (m_showsBorderOnlyWhileMouseInside || m_bezelStyle == BezelStyle::Recessed) {
        bool on = state() != ControlStateValue::Off
            && (m_showsStateBy & (CellMask::ChangeGray | CellMask::ChangeBackground));
        return m_mouseInside || isHighlighted() || on;
    }
    return true;
}

ControlLook::FaceState ButtonCell::faceState() const
{
    ControlLook::FaceState face;
    face.enabled = isEnabled();
    face.pressed
        = isHighlighted() && (m_highlightsBy & (CellMask::PushIn | CellMask::ChangeGray | CellMask::ChangeBackground));
    face.on
        = state() != ControlStateValue::Off && (m_showsStateBy & (CellMask::ChangeGray | CellMask::ChangeBackground));
    face.emphasized = isDefaultButton();
    face.hovered = m_mouseInside;
    face.active = isInActiveWindow();
    if (isCheckOrRadio())
        face.pressed = isHighlighted();
    return face;
}

ControlLook::FaceShape ButtonCell::faceShape() const
{
    switch (m_bezelStyle) {
    case BezelStyle::Circular:
    case BezelStyle::HelpButton:
        return ControlLook::FaceShape::Circle;
    case BezelStyle::RoundRect:
    case BezelStyle::Recessed:
    case BezelStyle::Inline:
        return ControlLook::FaceShape::Pill;
    default:
        return ControlLook::FaceShape::RoundedRect;
    }
}

fnd::Dictionary ButtonCell::titleAttributes() const
{
    auto attributes = textAttributes();
    gfx::ColorPtr color;
    if (drawsFace())
        color = ControlLook::faceTextColor(faceState());
    else if (interiorBackgroundStyle() == BackgroundStyle::Dark && !isCheckOrRadio())
        color = ControlLook::textOnAccentColor(isEnabled());
    else
        color = ControlLook::textColor(isEnabled());
    attributes.set(txt::ForegroundColorAttributeName, fnd::Value(color));
    return attributes;
}

std::shared_ptr<txt::AttributedString> ButtonCell::titleToShow() const
{
    const bool alternate = (isHighlighted() && (m_highlightsBy & CellMask::Contents))
        || (state() == ControlStateValue::On && (m_showsStateBy & CellMask::Contents));
    if (alternate && !isCheckOrRadio() && !m_alternateTitle.isEmpty())
        return attributedAlternateTitle();
    if (m_title.isEmpty())
        return nullptr;
    if (m_attributedTitle && !isEnabled()) {
        // A styled title keeps its styles and fades like the rest of the button.
        auto faded = std::make_shared<txt::AttributedString>(*m_attributedTitle);
        faded->addAttribute(
            txt::ForegroundColorAttributeName, fnd::Value(ControlLook::textColor(false)), { 0, faded->length() });
        return faded;
    }
    return attributedTitle();
}

std::shared_ptr<gfx::Image> ButtonCell::imageToShow() const
{
    const bool alternate = (isHighlighted() && (m_highlightsBy & CellMask::Contents))
        || (state() == ControlStateValue::On && (m_showsStateBy & CellMask::Contents));
    if (alternate && m_alternateImage)
        return m_alternateImage;
    return image();
}

void ButtonCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    if (m_transparent)
        return;
    if (m_backgroundColor && !isBordered()) {
        if (auto* context = gfx::GraphicsContext::current()) {
            context->setFillColor(*m_backgroundColor);
            context->fillRect(cellFrame);
        }
    }
    if (isBordered())
        drawBezelWithFrame(cellFrame, controlView);
    drawInteriorWithFrame(cellFrame, controlView);
}

void ButtonCell::drawBezelWithFrame(gfx::Rect frame, View& controlView)
{
    if (!drawsFace())
        return;
    auto face = faceState();
    const auto size = controlSize();
    switch (m_bezelStyle) {
    case BezelStyle::Disclosure:
        // A triangle alone: pointing right when closed, down when open.
        ControlLook::drawDisclosureTriangle(
            centred({ ControlLook::lineHeight(size), ControlLook::lineHeight(size) }, frame),
            state() == ControlStateValue::On, *ControlLook::secondaryTextColor(face.enabled));
        return;
    case BezelStyle::RoundedDisclosure: {
        auto rect = gfx::insetRect(frame, 2, 2);
        ControlLook::drawOutlinedFace(rect, ControlLook::FaceShape::RoundedRect, size, face);
        ControlLook::drawChevron({ rect.midX(), rect.midY() }, 3.5,
            state() == ControlStateValue::On ? ControlLook::Direction::Up : ControlLook::Direction::Down,
            *ControlLook::faceTextColor(face));
        return;
    }
    case BezelStyle::HelpButton: {
        double side = std::min(frame.width(), frame.height()) - 2;
        auto rect = centred({ side, side }, frame);
        ControlLook::drawOutlinedFace(rect, ControlLook::FaceShape::Circle, size, face);
        fnd::Dictionary attributes = textAttributes();
        attributes.set(txt::FontAttributeName, fnd::Value(gfx::Font::boldSystemFontOfSize(font()->pointSize())));
        attributes.set(txt::ForegroundColorAttributeName, fnd::Value(ControlLook::faceTextColor(face)));
        auto style = txt::ParagraphStyle::defaultParagraphStyle();
        style->setAlignment(txt::TextAlignment::Center);
        attributes.set(txt::ParagraphStyleAttributeName, fnd::Value(style));
        drawText(txt::AttributedString("?", attributes), rect, true);
        return;
    }
    case BezelStyle::Circular:
    case BezelStyle::RoundRect:
        ControlLook::drawOutlinedFace(gfx::insetRect(frame, 1, 1), faceShape(), size, face);
        return;
    default:
        break;
    }
    if (isSquareStyle(m_bezelStyle)) {
        ControlLook::drawOutlinedFace(frame, ControlLook::FaceShape::RoundedRect, ControlSize::Mini, face);
        return;
    }
    ControlLook::drawFace(focusRingMaskBoundsForFrame(frame, controlView), faceShape(), size, face);
}

void ButtonCell::drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView)
{
    if (isBordered()
        && (m_bezelStyle == BezelStyle::Disclosure || m_bezelStyle == BezelStyle::HelpButton
            || m_bezelStyle == BezelStyle::RoundedDisclosure))
        return; // the bezel is the whole button
    // Through the virtual rect queries, so a subclass that moves the image or the title is followed.
    auto imageRect = imageRectForBounds(cellFrame);
    if (!imageRect.isEmpty())
        drawImage(imageToShow(), imageRect, controlView);
    if (m_imagePosition != CellImagePosition::ImageOnly) {
        auto titleRect = titleRectForBounds(cellFrame);
        auto title = titleToShow();
        if (title && !titleRect.isEmpty())
            drawTitle(*title, titleRect, controlView);
    }
}

gfx::Rect ButtonCell::drawTitle(const txt::AttributedString& title, gfx::Rect frame, View&)
{
    drawText(title, frame, true);
    return frame;
}

void ButtonCell::drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, View&)
{
    if (image) {
        double fraction = !isEnabled() && m_imageDimsWhenDisabled ? 0.5 : 1.0;
        image->drawInRect(frame, {}, gfx::CompositingOperation::SourceOver, fraction, true);
        return;
    }
    if (!isCheckOrRadio())
        return;
    auto face = faceState();
    if (m_buttonType == ButtonType::Radio)
        ControlLook::drawRadioButton(frame, state(), face);
    else
        ControlLook::drawCheckBox(frame, state(), face);
}

gfx::Rect ButtonCell::focusRingMaskBoundsForFrame(gfx::Rect cellFrame, View&) const
{
    if (isCheckOrRadio()) {
        auto box = layoutForBounds(cellFrame).image;
        return box.isEmpty() ? cellFrame : box;
    }
    if (!isBordered() || m_bezelStyle == BezelStyle::Disclosure)
        return cellFrame;
    if (faceShape() == ControlLook::FaceShape::Circle) {
        double side = std::min(cellFrame.width(), cellFrame.height()) - 2;
        return centred({ side, side }, cellFrame);
    }
    // A face no taller than the button's natural height, centred in frames made taller.
    auto rect = gfx::insetRect(cellFrame, 1, 1);
    double natural = naturalHeight();
    if (rect.height() > natural)
        rect = { rect.minX(), std::round(rect.midY() - natural / 2), rect.width(), natural };
    return ControlLook::snapped(rect);
}

void ButtonCell::drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View& controlView)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto rect = focusRingMaskBoundsForFrame(cellFrame, controlView);
    context->setFillColor(*gfx::Color::blackColor());
    if (isCheckOrRadio()) {
        double radius = m_buttonType == ButtonType::Radio ? rect.width() / 2 : std::max(2.0, rect.width() / 5);
        context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(rect, radius, radius));
    } else if (isBordered()) {
        context->fillPath(*ControlLook::facePath(rect, faceShape(), controlSize()));
    } else {
        context->fillRect(rect);
    }
}

// Archiving.

void ButtonCell::encodeWithCoder(fnd::Coder& coder) const
{
    ActionCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt(static_cast<int>(m_buttonType), "ButtonType");
    coder.encodeInt(static_cast<int>(m_bezelStyle), "BezelStyle");
    coder.encodeInt(static_cast<int>(archivedHighlightsBy() & 15u), "HighlightsBy");
    coder.encodeInt(static_cast<int>(m_showsStateBy), "ShowsStateBy");
    coder.encodeBool(m_transparent, "Transparent");
    coder.encodeBool(m_showsBorderOnlyWhileMouseInside, "ShowsBorderOnlyWhileMouseInside");
    coder.encodeInt(static_cast<int>(m_imagePosition), "ImagePosition");
    coder.encodeInt(static_cast<int>(m_imageScaling), "ImageScaling");
    coder.encodeObject(fnd::Value(m_title), "Title");
    coder.encodeObject(fnd::Value(m_alternateTitle), "AlternateTitle");
    if (m_alternateImage)
        coder.encodeObject(fnd::Value(m_alternateImage), "AlternateImage");
    coder.encodeObject(fnd::Value(m_keyEquivalent), "KeyEquivalent");
    coder.encodeInt64(static_cast<std::int64_t>(m_keyEquivalentModifierMask), "KeyEquivalentModifierMask");
    if (m_backgroundColor)
        coder.encodeObject(fnd::Value(m_backgroundColor), "BackgroundColor");
}

bool ButtonCell::initWithCoder(fnd::Coder& coder)
{
    if (!ActionCell::initWithCoder(coder))
        return false;
    if (coder.containsValueForKey("ButtonType"))
        m_buttonType = static_cast<ButtonType>(std::clamp(coder.decodeIntForKey("ButtonType"), 0, 9));
    if (coder.containsValueForKey("BezelStyle"))
        m_bezelStyle = static_cast<BezelStyle>(std::clamp(coder.decodeIntForKey("BezelStyle"), 1, 15));
    if (coder.containsValueForKey("HighlightsBy"))
        m_highlightsBy = static_cast<unsigned>(coder.decodeIntForKey("HighlightsBy")) & 15u;
    if (coder.containsValueForKey("ShowsStateBy"))
        m_showsStateBy = static_cast<unsigned>(coder.decodeIntForKey("ShowsStateBy")) & 15u;
    m_transparent = coder.decodeBoolForKey("Transparent");
    m_showsBorderOnlyWhileMouseInside = coder.decodeBoolForKey("ShowsBorderOnlyWhileMouseInside");
    if (coder.containsValueForKey("ImagePosition"))
        m_imagePosition = static_cast<CellImagePosition>(std::clamp(coder.decodeIntForKey("ImagePosition"), 0, 8));
    if (coder.containsValueForKey("ImageScaling"))
        m_imageScaling = static_cast<ImageScaling>(std::clamp(coder.decodeIntForKey("ImageScaling"), 0, 3));
    m_title = coder.decodeObjectForKey("Title").stringValue();
    m_alternateTitle = coder.decodeObjectForKey("AlternateTitle").stringValue();
    m_alternateImage = coder.decodeObjectForKey("AlternateImage").objectAs<gfx::Image>();
    m_keyEquivalent = coder.decodeObjectForKey("KeyEquivalent").stringValue();
    m_keyEquivalentModifierMask = static_cast<unsigned long>(coder.decodeInt64ForKey("KeyEquivalentModifierMask"));
    m_backgroundColor = coder.decodeObjectForKey("BackgroundColor").objectAs<gfx::Color>();
    return !coder.hasFailed();
}

}
