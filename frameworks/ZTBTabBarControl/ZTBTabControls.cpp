#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <cmath>
#include <numbers>

FND_REGISTER_CLASS(ZTBRolloverButton, ui::Button)
FND_REGISTER_CLASS(ZTBOverflowPopUpButton, ui::PopUpButton)
FND_REGISTER_CLASS(ZTBProgressIndicator, ui::ProgressIndicator)

void ZTBProgressIndicator::describeClass(fnd::ClassBuilder<ZTBProgressIndicator>& c)
{
    // "animate" follows a bound value (a tab's isProcessing): true starts the spinner, false stops it.
    c.property("animate", &ZTBProgressIndicator::isAnimating, &ZTBProgressIndicator::setAnimate);
    c.action("stopAnimation:", &ZTBProgressIndicator::stopAnimation);
}

std::shared_ptr<ZTBRolloverButton> ZTBRolloverButton::create(gfx::Rect frame)
{
    return ui::makeView<ZTBRolloverButton>(frame);
}

void ZTBRolloverButton::initWithFrame(gfx::Rect frame)
{
    ui::Button::initWithFrame(frame);
    setTitle("");
    setImagePosition(ui::CellImagePosition::ImageOnly);
    setButtonType(ui::ButtonType::MomentaryChange);
    setBordered(false);
    setBezelStyle(ui::BezelStyle::ShadowlessSquare);
}

void ZTBRolloverButton::encodeWithCoder(fnd::Coder& coder) const
{
    ui::Button::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(m_rolloverImage ? fnd::Value(m_rolloverImage) : fnd::Value(), "rolloverImage");
    coder.encodeObject(m_usualImage ? fnd::Value(m_usualImage) : fnd::Value(), "usualImage");
    coder.encodeInteger(m_trackingRectTag, "myTrackingRectTag");
}

bool ZTBRolloverButton::initWithCoder(fnd::Coder& coder)
{
    if (!ui::Button::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return true;
    auto rollover = fnd::decodeObjectOfClass<gfx::Image>(coder, "rolloverImage");
    auto usual = fnd::decodeObjectOfClass<gfx::Image>(coder, "usualImage");
    // "myTrackingRectTag" named a rect of the button that wrote the archive: a decoded button makes its own.
    if (coder.hasFailed())
        return false;
    m_rolloverImage = rollover;
    m_usualImage = usual;
    return true;
}

void ZTBRolloverButton::setUsualImage(std::shared_ptr<gfx::Image> image)
{
    m_usualImage = image;
    setImage(std::move(image));
}

void ZTBRolloverButton::addTrackingRect()
{
    auto w = window();
    bool inside = false;
    if (w)
        inside = gfx::pointInRect(
            convertPointFromView(w->convertScreenToBase(ui::Event::mouseLocation()), nullptr), bounds());
    m_trackingRectTag
        = View::addTrackingRect(bounds(), std::static_pointer_cast<ui::Responder>(shared_from_this()), {}, inside);
    // The picture matches the pointer at once.
    setImage(inside && m_rolloverImage ? m_rolloverImage : (inside ? nullptr : m_usualImage));
}

void ZTBRolloverButton::removeTrackingRect()
{
    const long tag = m_trackingRectTag;
    m_trackingRectTag = -1;
    if (tag != -1)
        View::removeTrackingRect(tag);
}

void ZTBRolloverButton::resetCursorRects()
{
    removeTrackingRect();
    addTrackingRect();
}

void ZTBRolloverButton::mouseEntered(const ui::Event& event)
{
    setImage(m_rolloverImage);
    ui::Button::mouseEntered(event);
}

void ZTBRolloverButton::mouseExited(const ui::Event& event)
{
    setImage(m_usualImage);
    ui::Button::mouseExited(event);
}

void ZTBRolloverButton::viewWillMoveToWindow(ui::Window* window)
{
    removeTrackingRect();
    ui::Button::viewWillMoveToWindow(window);
}

void ZTBRolloverButton::viewDidMoveToWindow()
{
    ui::Button::viewDidMoveToWindow();
    if (window())
        resetCursorRects();
}

ZTBOverflowPopUpButton::~ZTBOverflowPopUpButton()
{
    if (m_timer)
        m_timer->invalidate();
}

std::shared_ptr<ZTBOverflowPopUpButton> ZTBOverflowPopUpButton::create(gfx::Rect frame)
{
    return ui::makeView<ZTBOverflowPopUpButton>(frame);
}

void ZTBOverflowPopUpButton::initWithFrame(gfx::Rect frame)
{
    ui::PopUpButton::initWithFrame(frame);
    setPullsDown(true);
    setBezelStyle(ui::BezelStyle::RegularSquare);
    setBordered(false);
    setTitle("");
    // The menu opens to the button's right.
    setPreferredEdge(gfx::RectEdge::MaxX);
    m_image = tbcore::namedImage("ZTBTabBarControl", "overflowImage");
    m_downImage = tbcore::namedImage("ZTBTabBarControl", "overflowImagePressed");
}

void ZTBOverflowPopUpButton::encodeWithCoder(fnd::Coder& coder) const
{
    ui::PopUpButton::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(m_image ? fnd::Value(m_image) : fnd::Value(), "ZTBTabBarOverflowPopUpImage");
    coder.encodeObject(m_downImage ? fnd::Value(m_downImage) : fnd::Value(), "ZTBTabBarOverflowDownPopUpImage");
    coder.encodeBool(m_animatingAlternateImage, "ZTBTabBarOverflowAnimatingAlternateImage");
}

bool ZTBOverflowPopUpButton::initWithCoder(fnd::Coder& coder)
{
    if (!ui::PopUpButton::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return true;
    auto image = fnd::decodeObjectOfClass<gfx::Image>(coder, "ZTBTabBarOverflowPopUpImage");
    auto down = fnd::decodeObjectOfClass<gfx::Image>(coder, "ZTBTabBarOverflowDownPopUpImage");
    bool animating = coder.decodeBoolForKey("ZTBTabBarOverflowAnimatingAlternateImage");
    if (coder.hasFailed())
        return false;
    m_image = image;
    m_downImage = down;
    setAnimatingAlternateImage(animating);
    return true;
}

void ZTBOverflowPopUpButton::setDown(bool flag)
{
    m_down = flag;
    setNeedsDisplay(true);
}

void ZTBOverflowPopUpButton::mouseDown(const ui::Event& event)
{
    auto keep = shared_from_this();
    setDown(true);
    ui::PopUpButton::mouseDown(event);
    setDown(false);
}

void ZTBOverflowPopUpButton::setAnimatingAlternateImage(bool flag)
{
    if (flag == m_animatingAlternateImage)
        return;
    m_animatingAlternateImage = flag;
    if (isHidden())
        return;
    if (flag)
        startPulse();
    else
        stopPulse();
    setNeedsDisplay(true);
}

void ZTBOverflowPopUpButton::startPulse()
{
    stopPulse();
    m_animationValue = PulseStep;
    std::weak_ptr<ZTBOverflowPopUpButton> weak = std::static_pointer_cast<ZTBOverflowPopUpButton>(shared_from_this());
    m_timer = fnd::Timer::create(1.0 / 15.0, true, [weak](fnd::Timer&) {
        if (auto button = weak.lock())
            button->animateStep();
    });
    fnd::RunLoop::current().addTimer(m_timer, fnd::RunLoopMode::Common);
}

void ZTBOverflowPopUpButton::stopPulse()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
}

void ZTBOverflowPopUpButton::animateStep()
{
    m_animationValue += PulseStep;
    if (m_animationValue >= 1.0)
        m_animationValue = PulseStep;
    setNeedsDisplay(true);
}

void ZTBOverflowPopUpButton::viewDidHide()
{
    stopPulse();
}

void ZTBOverflowPopUpButton::viewDidUnhide()
{
    if (m_animatingAlternateImage)
        startPulse();
}

void ZTBOverflowPopUpButton::drawRect(gfx::Rect dirtyRect)
{
    if (!m_image) {
        ui::PopUpButton::drawRect(dirtyRect);
        return;
    }
    const gfx::Rect b = bounds();
    auto centred = [&](const gfx::Image& image) {
        const gfx::Size s = image.size();
        gfx::Point p { b.minX() + b.width() * 0.5 - s.width * 0.5, b.minY() + b.height() * 0.5 - s.height * 0.5 };
        return p;
    };
    const auto& image = m_down && m_downImage ? m_downImage : m_image;
    image->drawAtPoint(
        centred(*image), {}, gfx::CompositingOperation::SourceOver, m_animatingAlternateImage ? 0.7 : 1.0);
    if (m_animatingAlternateImage)
        if (auto alternate = alternateImage())
            alternate->drawAtPoint(centred(*alternate), {}, gfx::CompositingOperation::SourceOver,
                std::sin(m_animationValue * std::numbers::pi));
}

ZTBProgressIndicator::~ZTBProgressIndicator()
{
    if (m_pendingStart)
        m_pendingStart->invalidate();
}

std::shared_ptr<ZTBProgressIndicator> ZTBProgressIndicator::create(gfx::Rect frame)
{
    return ui::makeView<ZTBProgressIndicator>(frame);
}

void ZTBProgressIndicator::viewDidHide()
{
    if (auto bar = std::dynamic_pointer_cast<ZTBTabBarControl>(superview()))
        bar->update();
}

void ZTBProgressIndicator::viewDidUnhide()
{
    if (auto bar = std::dynamic_pointer_cast<ZTBTabBarControl>(superview()))
        bar->update();
}

void ZTBProgressIndicator::startAnimationAfterDelay(double delay)
{
    if (m_pendingStart)
        m_pendingStart->invalidate();
    std::weak_ptr<ZTBProgressIndicator> weak = std::static_pointer_cast<ZTBProgressIndicator>(shared_from_this());
    m_pendingStart = fnd::Timer::scheduled(delay, false, [weak](fnd::Timer&) {
        if (auto indicator = weak.lock()) {
            indicator->m_pendingStart.reset();
            indicator->startAnimation();
        }
    });
}

void ZTBProgressIndicator::stopAnimation(const fnd::Value& sender)
{
    // A restart scheduled after a frame change must not undo the stop.
    if (m_pendingStart)
        m_pendingStart->invalidate();
    m_pendingStart.reset();
    ui::ProgressIndicator::stopAnimation(sender);
}

void ZTBProgressIndicator::setAnimate(bool flag)
{
    if (flag)
        startAnimation();
    else
        stopAnimation();
}
