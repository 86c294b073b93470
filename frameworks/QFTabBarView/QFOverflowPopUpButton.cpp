#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"

#include "frameworks/tab-bar-core/TabResources.h"
#include "frameworks/tab-bar-core/TabShapes.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

#include <cmath>

FND_REGISTER_CLASS(QFOverflowPopUpButtonCell, ui::PopUpButtonCell)
FND_REGISTER_CLASS(QFOverflowPopUpButton, ui::PopUpButton)

std::shared_ptr<ui::Cell> QFOverflowPopUpButtonCell::cloneCell() const
{
    auto copy = std::make_shared<QFOverflowPopUpButtonCell>(*this);
    if (image())
        copy->setImage(image()->copy());
    copy->m_secondImage = m_secondImage ? m_secondImage->copy() : nullptr;
    return copy;
}

void QFOverflowPopUpButtonCell::drawWithFrame(gfx::Rect frame, ui::View& controlView)
{
    drawBezelWithFrame(frame, controlView);
    drawInteriorWithFrame(frame, controlView);
}

void QFOverflowPopUpButtonCell::drawBezelWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (m_bezelDrawingBlock)
        m_bezelDrawingBlock(*this, frame, controlView);
}

void QFOverflowPopUpButtonCell::drawInteriorWithFrame(gfx::Rect frame, ui::View& controlView)
{
    drawImageWithFrame(frame, controlView);
}

void QFOverflowPopUpButtonCell::drawImageWithFrame(gfx::Rect frame, ui::View& controlView)
{
    if (isHighlighted()) {
        drawImage(alternateImage(), frame, controlView, 1.0);
        return;
    }
    drawImage(image(), frame, controlView, 1.0);
    if (m_secondImage)
        drawImage(m_secondImage, frame, controlView, m_secondImageAlpha);
}

void QFOverflowPopUpButtonCell::drawImage(
    const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView)
{
    drawImage(image, frame, controlView, 1.0);
}

void QFOverflowPopUpButtonCell::drawImage(
    const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View&, double alpha)
{
    if (!image)
        return;
    image->drawInRect(_imageRectForBounds(frame, *image), {}, gfx::CompositingOperation::SourceOver, alpha, true);
}

gfx::Rect QFOverflowPopUpButtonCell::_imageRectForBounds(gfx::Rect bounds, const gfx::Image& image) const
{
    const gfx::Rect d = drawingRectForBounds(bounds);
    const gfx::Size scaled = tbcore::scaleImageSizeToFit(
        image.size(), { image.size().width, d.height() }, tbcore::ImageScaling::ProportionallyDown);
    gfx::Rect r { d.minX() + d.width() - scaled.width, d.minY(), scaled.width, scaled.height };
    if (d.height() > scaled.height)
        r.origin.y += std::ceil((d.height() - scaled.height) / 2);
    return gfx::integralRect(r);
}

void QFOverflowPopUpButtonCell::encodeWithCoder(fnd::Coder& coder) const
{
    ui::PopUpButtonCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(image() ? fnd::Value(std::static_pointer_cast<fnd::Object>(image())) : fnd::Value {},
        "QFTabBarOverflowPopUpImage");
    coder.encodeObject(m_secondImage ? fnd::Value(std::static_pointer_cast<fnd::Object>(m_secondImage)) : fnd::Value {},
        "QFTabBarOverflowPopUpSecondImage");
}

bool QFOverflowPopUpButtonCell::initWithCoder(fnd::Coder& coder)
{
    if (!ui::PopUpButtonCell::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return true;
    auto image = fnd::decodeObjectOfClass<gfx::Image>(coder, "QFTabBarOverflowPopUpImage");
    auto second = fnd::decodeObjectOfClass<gfx::Image>(coder, "QFTabBarOverflowPopUpSecondImage");
    if (coder.hasFailed())
        return false;
    setImage(image);
    m_secondImage = second;
    return true;
}

void QFOverflowPopUpButton::describeClass(fnd::ClassBuilder<QFOverflowPopUpButton>& c)
{
    c.property("isAnimating", &QFOverflowPopUpButton::isAnimating, &QFOverflowPopUpButton::setIsAnimating);
    c.property(
        "secondImageAlpha", &QFOverflowPopUpButton::secondImageAlpha, &QFOverflowPopUpButton::setSecondImageAlpha);
}

std::shared_ptr<QFOverflowPopUpButton> QFOverflowPopUpButton::create(gfx::Rect frame, bool)
{
    return ui::makeView<QFOverflowPopUpButton>(frame);
}

void QFOverflowPopUpButton::initWithFrame(gfx::Rect frame)
{
    ui::PopUpButton::initWithFrame(frame);
    setPullsDown(true);
    setBezelStyle(ui::BezelStyle::RegularSquare);
    setBordered(false);
    setTitle("");
    setPreferredEdge(ui::RectEdge::MaxY);
    // Shared by every overflow button of the process.
    if (auto c = overflowCell()) {
        c->setImage(tbcore::namedImage("QFOverflowPopUpButtonCell", "overflowImage"));
        c->setAlternateImage(tbcore::namedImage("QFOverflowPopUpButtonCell", "overflowImagePressed"));
    }
    startAnimationIfNeeded();
}

std::shared_ptr<ui::Cell> QFOverflowPopUpButton::makeCell() const
{
    auto c = std::make_shared<QFOverflowPopUpButtonCell>();
    c->setPullsDown(true);
    return c;
}

std::shared_ptr<gfx::Image> QFOverflowPopUpButton::secondImage() const
{
    auto c = overflowCell();
    return c ? c->secondImage() : nullptr;
}

void QFOverflowPopUpButton::setSecondImage(std::shared_ptr<gfx::Image> image)
{
    const bool has = image != nullptr;
    if (auto c = overflowCell())
        c->setSecondImage(std::move(image));
    if (has)
        startAnimationIfNeeded();
    else
        stopAnimationIfNeeded();
}

double QFOverflowPopUpButton::secondImageAlpha() const
{
    auto c = overflowCell();
    return c ? c->secondImageAlpha() : 0;
}

void QFOverflowPopUpButton::setSecondImageAlpha(double alpha)
{
    if (auto c = overflowCell())
        c->setSecondImageAlpha(alpha);
    setNeedsDisplay(true);
}

QFOverflowPopUpButtonCell::BezelDrawingBlock QFOverflowPopUpButton::bezelDrawingBlock() const
{
    auto c = overflowCell();
    return c ? c->bezelDrawingBlock() : nullptr;
}

void QFOverflowPopUpButton::setBezelDrawingBlock(QFOverflowPopUpButtonCell::BezelDrawingBlock block)
{
    if (auto c = overflowCell())
        c->setBezelDrawingBlock(std::move(block));
}

std::optional<ui::KeyAnimation> QFOverflowPopUpButton::defaultAnimationForKey(const fnd::String& key) const
{
    if (key != "isAnimating")
        return std::nullopt;
    ui::KeyAnimation pulse;
    pulse.keyPath = "secondImageAlpha";
    pulse.fromValue = 0.0;
    pulse.toValue = 1.0;
    pulse.duration = 1.0;
    pulse.autoreverses = true;
    pulse.repeatCount = ui::KeyAnimation::RepeatForever;
    pulse.curve = ui::AnimationCurve::EaseInOut;
    return pulse;
}

void QFOverflowPopUpButton::startAnimationIfNeeded()
{
    auto c = overflowCell();
    if (!window() || isHidden() || frame() == gfx::ZeroRect || !c || !c->secondImage())
        return;
    if (m_isAnimating && ui::Animator::isAnimatingKey(*this, "isAnimating"))
        return;
    ui::Animator::setValueForKey(*this, fnd::Value(true), "isAnimating");
}

void QFOverflowPopUpButton::stopAnimationIfNeeded()
{
    if (!m_isAnimating)
        return;
    m_isAnimating = false;
    ui::Animator::removeAnimationForKey(*this, "isAnimating");
}

void QFOverflowPopUpButton::viewWillMoveToSuperview(ui::View* superview)
{
    ui::PopUpButton::viewWillMoveToSuperview(superview);
    stopAnimationIfNeeded();
}

void QFOverflowPopUpButton::viewWillMoveToWindow(ui::Window* window)
{
    ui::PopUpButton::viewWillMoveToWindow(window);
    stopAnimationIfNeeded();
}

void QFOverflowPopUpButton::viewDidMoveToSuperview()
{
    ui::PopUpButton::viewDidMoveToSuperview();
    startAnimationIfNeeded();
}

void QFOverflowPopUpButton::viewDidMoveToWindow()
{
    ui::PopUpButton::viewDidMoveToWindow();
    startAnimationIfNeeded();
}

void QFOverflowPopUpButton::viewDidHide()
{
    stopAnimationIfNeeded();
}

void QFOverflowPopUpButton::viewDidUnhide()
{
    startAnimationIfNeeded();
}

void QFOverflowPopUpButton::setFrame(gfx::Rect newFrame)
{
    ui::PopUpButton::setFrame(newFrame);
    if (newFrame == gfx::ZeroRect)
        stopAnimationIfNeeded();
    else
        startAnimationIfNeeded();
}
