#include "platform/ui/controls/Button.h"

#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/views/Window.h"

namespace ui {

FND_REGISTER_CLASS(Button, Control)

void Button::describeClass(fnd::ClassBuilder<Button>& c)
{
    c.property("title", &Button::title, &Button::setTitle);
    c.property("alternateTitle", &Button::alternateTitle, &Button::setAlternateTitle);
    c.property("image", &Button::image, &Button::setImage);
    c.property("alternateImage", &Button::alternateImage, &Button::setAlternateImage);
    c.property("imagePosition", &Button::imagePosition, &Button::setImagePosition);
    c.property("imageScaling", &Button::imageScaling, &Button::setImageScaling);
    c.property(
        "buttonType",
        [](const Button& b) { return b.buttonCell() ? b.buttonCell()->buttonType() : ButtonType::MomentaryPushIn; },
        &Button::setButtonType);
    c.property("bezelStyle", &Button::bezelStyle, &Button::setBezelStyle);
    c.property("bordered", &Button::isBordered, &Button::setBordered);
    c.property("transparent", &Button::isTransparent, &Button::setTransparent);
    c.property("showsBorderOnlyWhileMouseInside", &Button::showsBorderOnlyWhileMouseInside,
        &Button::setShowsBorderOnlyWhileMouseInside);
    c.property("keyEquivalent", &Button::keyEquivalent, &Button::setKeyEquivalent);
    c.property("keyEquivalentModifierMask", &Button::keyEquivalentModifierMask, &Button::setKeyEquivalentModifierMask);
}

std::shared_ptr<Button> Button::create(gfx::Rect frame, const fnd::String& title)
{
    auto button = makeView<Button>(frame);
    button->setTitle(title);
    return button;
}

namespace {

std::shared_ptr<Button> madeToFit(const fnd::String& title, const std::shared_ptr<fnd::Object>& target,
    fnd::Selector action, std::optional<ButtonType> type)
{
    auto button = Button::create({}, title);
    if (type)
        button->setButtonType(*type);
    button->setTarget(target);
    button->setAction(action);
    button->sizeToFit();
    return button;
}

}

std::shared_ptr<Button> Button::buttonWithTitle(
    const fnd::String& title, const std::shared_ptr<fnd::Object>& target, fnd::Selector action)
{
    return madeToFit(title, target, action, std::nullopt);
}

std::shared_ptr<Button> Button::checkboxWithTitle(
    const fnd::String& title, const std::shared_ptr<fnd::Object>& target, fnd::Selector action)
{
    return madeToFit(title, target, action, ButtonType::Switch);
}

std::shared_ptr<Button> Button::radioButtonWithTitle(
    const fnd::String& title, const std::shared_ptr<fnd::Object>& target, fnd::Selector action)
{
    return madeToFit(title, target, action, ButtonType::Radio);
}

std::shared_ptr<Cell> Button::makeCell() const
{
    return fnd::makeObject<ButtonCell>();
}

// Forwarding. A cell of another kind answers what a plain cell has.

fnd::String Button::title() const
{
    return cell() ? cell()->title() : fnd::String();
}

void Button::setTitle(const fnd::String& title)
{
    if (cell())
        cell()->setTitle(title);
}

fnd::String Button::alternateTitle() const
{
    auto c = buttonCell();
    return c ? c->alternateTitle() : fnd::String();
}

void Button::setAlternateTitle(const fnd::String& title)
{
    if (auto c = buttonCell())
        c->setAlternateTitle(title);
}

std::shared_ptr<txt::AttributedString> Button::attributedTitle() const
{
    auto c = buttonCell();
    return c ? c->attributedTitle() : nullptr;
}

void Button::setAttributedTitle(std::shared_ptr<txt::AttributedString> title)
{
    if (auto c = buttonCell())
        c->setAttributedTitle(std::move(title));
}

std::shared_ptr<gfx::Image> Button::image() const
{
    return cell() ? cell()->image() : nullptr;
}

void Button::setImage(std::shared_ptr<gfx::Image> image)
{
    if (cell())
        cell()->setImage(std::move(image));
}

std::shared_ptr<gfx::Image> Button::alternateImage() const
{
    auto c = buttonCell();
    return c ? c->alternateImage() : nullptr;
}

void Button::setAlternateImage(std::shared_ptr<gfx::Image> image)
{
    if (auto c = buttonCell())
        c->setAlternateImage(std::move(image));
}

CellImagePosition Button::imagePosition() const
{
    auto c = buttonCell();
    return c ? c->imagePosition() : CellImagePosition::NoImage;
}

void Button::setImagePosition(CellImagePosition position)
{
    if (auto c = buttonCell())
        c->setImagePosition(position);
}

ImageScaling Button::imageScaling() const
{
    auto c = buttonCell();
    return c ? c->imageScaling() : ImageScaling::ProportionallyDown;
}

void Button::setImageScaling(ImageScaling scaling)
{
    if (auto c = buttonCell())
        c->setImageScaling(scaling);
}

void Button::setButtonType(ButtonType type)
{
    if (auto c = buttonCell())
        c->setButtonType(type);
}

BezelStyle Button::bezelStyle() const
{
    auto c = buttonCell();
    return c ? c->bezelStyle() : BezelStyle::Rounded;
}

void Button::setBezelStyle(BezelStyle style)
{
    if (auto c = buttonCell())
        c->setBezelStyle(style);
}

bool Button::isBordered() const
{
    return cell() && cell()->isBordered();
}

void Button::setBordered(bool flag)
{
    if (cell())
        cell()->setBordered(flag);
}

bool Button::isTransparent() const
{
    auto c = buttonCell();
    return c && c->isTransparent();
}

void Button::setTransparent(bool flag)
{
    if (auto c = buttonCell())
        c->setTransparent(flag);
}

bool Button::showsBorderOnlyWhileMouseInside() const
{
    auto c = buttonCell();
    return c && c->showsBorderOnlyWhileMouseInside();
}

void Button::setShowsBorderOnlyWhileMouseInside(bool flag)
{
    if (auto c = buttonCell())
        c->setShowsBorderOnlyWhileMouseInside(flag);
}

fnd::String Button::keyEquivalent() const
{
    return cell() ? cell()->keyEquivalent() : fnd::String();
}

void Button::setKeyEquivalent(const fnd::String& key)
{
    if (auto c = buttonCell())
        c->setKeyEquivalent(key);
}

unsigned long Button::keyEquivalentModifierMask() const
{
    auto c = buttonCell();
    return c ? c->keyEquivalentModifierMask() : 0;
}

void Button::setKeyEquivalentModifierMask(unsigned long mask)
{
    if (auto c = buttonCell())
        c->setKeyEquivalentModifierMask(mask);
}

void Button::setNextState()
{
    if (cell())
        cell()->setNextState();
}

// Keyboard and mouse.

bool Button::performKeyEquivalent(const Event& event)
{
    auto c = buttonCell();
    if (!c || !isEnabled() || isHiddenOrHasHiddenAncestor() || !c->matchesKeyEquivalent(event))
        return Control::performKeyEquivalent(event);
    if (c->keyEquivalent() == u"\r") {
        if (auto w = window(); w && !w->isKeyEquivalentForDefaultButtonCellEnabled())
            return false;
    }
    performClick(selfValue());
    return true;
}

void Button::keyDown(const Event& event)
{
    const auto& chars = event.charactersIgnoringModifiers();
    const unsigned commandKeys = ModifierFlags::Command | ModifierFlags::Control | ModifierFlags::Alternate;
    if (isEnabled() && chars == u" " && !(event.modifierFlags() & commandKeys)) {
        performClick(selfValue());
        return;
    }
    Control::keyDown(event);
}

void Button::updateTrackingAreas()
{
    if (m_hoverArea) {
        removeTrackingArea(m_hoverArea);
        m_hoverArea.reset();
    }
    auto c = buttonCell();
    if (!c || !(c->showsBorderOnlyWhileMouseInside() || c->bezelStyle() == BezelStyle::Recessed))
        return;
    m_hoverArea = TrackingArea::create({},
        TrackingOptions::MouseEnteredAndExited | TrackingOptions::ActiveInActiveApp | TrackingOptions::InVisibleRect,
        std::static_pointer_cast<Responder>(shared_from_this()));
    addTrackingArea(m_hoverArea);
}

void Button::viewDidMoveToWindow()
{
    Control::viewDidMoveToWindow();
    updateTrackingAreas();
}

bool Button::sendAction(fnd::Selector action, const std::shared_ptr<fnd::Object>& target)
{
    auto c = buttonCell();
    // Radio buttons that share a superview and an action are one group: choosing one unchooses the others.
    if (c && c->buttonType() == ButtonType::Radio && c->state() == ControlStateValue::On) {
        if (auto parent = superview()) {
            for (const auto& sibling : parent->subviews()) {
                auto other = std::dynamic_pointer_cast<Button>(sibling);
                if (!other || other.get() == this || !other->buttonCell())
                    continue;
                if (other->buttonCell()->buttonType() == ButtonType::Radio && other->action() == this->action())
                    other->setState(ControlStateValue::Off);
            }
        }
    }
    return Control::sendAction(action, target);
}

}
