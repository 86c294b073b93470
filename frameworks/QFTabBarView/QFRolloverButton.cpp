#include "frameworks/QFTabBarView/QFRolloverButton.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/TrackingArea.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(QFRolloverButtonCell, ui::ButtonCell)
FND_REGISTER_CLASS(QFRolloverButton, ui::Button)

std::shared_ptr<ui::Cell> QFRolloverButtonCell::cloneCell() const
{
    auto copy = std::make_shared<QFRolloverButtonCell>(*this);
    copy->m_mouseHovered = false;
    return copy;
}

void QFRolloverButtonCell::setRolloverButtonType(unsigned long type)
{
    m_rolloverButtonType = type;
    if (type == 0) {
        setButtonType(ui::ButtonType::MomentaryChange);
        setShowsStateBy(ui::CellMask::None);
        setHighlightsBy(ui::CellMask::PushIn);
        setImageDimsWhenDisabled(true);
    }
    updateControlView();
}

void QFRolloverButtonCell::updateControlView()
{
    if (auto view = controlView())
        view->setNeedsDisplay(true);
}

void QFRolloverButtonCell::drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView)
{
    if (m_mouseHovered && !isHighlighted() && m_rolloverImage)
        ui::ButtonCell::drawImage(m_rolloverImage, frame, controlView);
    else
        ui::ButtonCell::drawImage(image, frame, controlView);
}

void QFRolloverButtonCell::addTrackingAreasForView(
    ui::View& view, gfx::Rect rect, fnd::Value userInfo, gfx::Point mouseLocation)
{
    unsigned options = ui::TrackingOptions::MouseEnteredAndExited | ui::TrackingOptions::ActiveAlways
        | ui::TrackingOptions::EnabledDuringMouseDrag;
    if (view.mouseInRect(mouseLocation, rect))
        options |= ui::TrackingOptions::AssumeInside;
    auto owner = std::static_pointer_cast<ui::Responder>(view.shared_from_this());
    view.addTrackingArea(ui::TrackingArea::create(rect, options, owner, std::move(userInfo)));
}

void QFRolloverButtonCell::mouseEntered(const ui::Event& event)
{
    if (m_simulateClickOnMouseHovered && (event.modifierFlags() & ui::ModifierFlags::Alternate)) {
        performClick({});
        return;
    }
    m_mouseHovered = true;
    updateControlView();
}

void QFRolloverButtonCell::mouseExited(const ui::Event&)
{
    clearHover();
}

void QFRolloverButtonCell::clearHover()
{
    m_mouseHovered = false;
    updateControlView();
}

void QFRolloverButtonCell::encodeWithCoder(fnd::Coder& coder) const
{
    ui::ButtonCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(
        m_rolloverImage ? fnd::Value(std::static_pointer_cast<fnd::Object>(m_rolloverImage)) : fnd::Value {},
        "rolloverImage");
    coder.encodeInteger(m_simulateClickOnMouseHovered ? 1 : 0, "simulateClickOnMouseHovered");
    coder.encodeInteger(long(m_rolloverButtonType), "rolloverButtonType");
}

bool QFRolloverButtonCell::initWithCoder(fnd::Coder& coder)
{
    if (!ui::ButtonCell::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return true;
    // Set directly: a decoded type 0 keeps the button type and masks the archive held.
    m_rolloverImage = coder.decodeObjectForKey("rolloverImage").objectAs<gfx::Image>();
    m_simulateClickOnMouseHovered = coder.decodeIntegerForKey("simulateClickOnMouseHovered") != 0;
    m_rolloverButtonType = (unsigned long)coder.decodeIntegerForKey("rolloverButtonType");
    return true;
}

std::shared_ptr<QFRolloverButton> QFRolloverButton::create(gfx::Rect frame)
{
    return ui::makeView<QFRolloverButton>(frame);
}

void QFRolloverButton::initWithFrame(gfx::Rect frame)
{
    ui::Button::initWithFrame(frame);
    setTitle("");
}

std::shared_ptr<ui::Cell> QFRolloverButton::makeCell() const
{
    return std::make_shared<QFRolloverButtonCell>();
}

std::shared_ptr<gfx::Image> QFRolloverButton::rolloverImage() const
{
    auto c = rolloverCell();
    return c ? c->rolloverImage() : nullptr;
}

void QFRolloverButton::setRolloverImage(std::shared_ptr<gfx::Image> image)
{
    if (auto c = rolloverCell())
        c->setRolloverImage(std::move(image));
}

unsigned long QFRolloverButton::rolloverButtonType() const
{
    auto c = rolloverCell();
    return c ? c->rolloverButtonType() : 0;
}

void QFRolloverButton::setRolloverButtonType(unsigned long type)
{
    if (auto c = rolloverCell())
        c->setRolloverButtonType(type);
}

bool QFRolloverButton::mouseHovered() const
{
    auto c = rolloverCell();
    return c && c->mouseHovered();
}

bool QFRolloverButton::simulateClickOnMouseHovered() const
{
    auto c = rolloverCell();
    return c && c->simulateClickOnMouseHovered();
}

void QFRolloverButton::setSimulateClickOnMouseHovered(bool flag)
{
    if (auto c = rolloverCell())
        c->setSimulateClickOnMouseHovered(flag);
}

void QFRolloverButton::mouseEntered(const ui::Event& event)
{
    if (auto c = rolloverCell())
        c->mouseEntered(event);
}

void QFRolloverButton::mouseExited(const ui::Event& event)
{
    if (auto c = rolloverCell())
        c->mouseExited(event);
}

void QFRolloverButton::updateTrackingAreas()
{
    ui::Button::updateTrackingAreas();
    std::vector<std::shared_ptr<ui::TrackingArea>> own;
    for (const auto& area : trackingAreas())
        if (area->owner().get() == this)
            own.push_back(area);
    for (const auto& area : own)
        removeTrackingArea(area);
    auto c = rolloverCell();
    if (!c)
        return;
    if (c->mouseHovered())
        c->clearHover();
    gfx::Point location { -1e9, -1e9 };
    if (auto w = window())
        location = convertPointFromView(w->convertScreenToBase(ui::Event::mouseLocation()), nullptr);
    c->addTrackingAreasForView(*this, bounds(), {}, location);
}
