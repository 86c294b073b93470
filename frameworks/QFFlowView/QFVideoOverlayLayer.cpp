#include "frameworks/QFFlowView/QFVideoOverlayLayer.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/ConstraintLayoutManager.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/MediaTimingFunction.h"

#include <cmath>
#include <numbers>

FND_REGISTER_CLASS(QFVideoOverlayLayer, ui::Layer)

namespace {

constexpr double QFVideoOverlayLayerButtonSide = 40;
const int QFVideoOverlayLayerHiddenObservationContextTag = 0;
const void* const QFVideoOverlayLayerHiddenObservationContext = &QFVideoOverlayLayerHiddenObservationContextTag;

std::shared_ptr<gfx::BitmapImageRep> QFVideoOverlayLayerPicture(const gfx::BezierPath& path)
{
    auto bitmap = gfx::BitmapImageRep::create(40, 40, gfx::BitmapLayout::ARGB32Premultiplied);
    bitmap->setSize({ 40, 40 });
    auto context = gfx::GraphicsContext::createForBitmap(bitmap->pixelBuffer());
    auto previous = gfx::GraphicsContext::currentShared();
    gfx::GraphicsContext::setCurrent(context);
    context->setShouldAntialias(true);
    gfx::Color::whiteColor()->set();
    auto shape = path;
    shape.setLineWidth(2);
    shape.setWindingRule(gfx::WindingRule::EvenOdd);
    shape.fill();
    shape.stroke();
    context->flush();
    gfx::GraphicsContext::setCurrent(previous);
    return bitmap;
}

}

QFVideoOverlayLayer::~QFVideoOverlayLayer()
{
    // The watch of its own key goes with the object.
    if (m_movieUpdateTimer)
        m_movieUpdateTimer->invalidate();
}

std::shared_ptr<fnd::Object> QFVideoOverlayLayer::target() const
{
    return m_buttonLayer ? m_buttonLayer->target() : nullptr;
}

void QFVideoOverlayLayer::setTarget(const std::shared_ptr<fnd::Object>& target)
{
    if (m_buttonLayer)
        m_buttonLayer->setTarget(target);
}

fnd::Selector QFVideoOverlayLayer::action() const
{
    return m_buttonLayer ? m_buttonLayer->action() : fnd::Selector();
}

void QFVideoOverlayLayer::setAction(fnd::Selector action)
{
    if (m_buttonLayer)
        m_buttonLayer->setAction(action);
}

void QFVideoOverlayLayer::setMovieUpdateTimer(std::shared_ptr<fnd::Timer> timer)
{
    if (m_movieUpdateTimer && m_movieUpdateTimer != timer)
        m_movieUpdateTimer->invalidate();
    m_movieUpdateTimer = std::move(timer);
}

void QFVideoOverlayLayer::setupNotifications()
{
    if (m_observingHidden)
        return;
    using O = fnd::KeyValueObservingOptions;
    addObserver(*this, "hidden", O::New | O::Initial, QFVideoOverlayLayerHiddenObservationContext);
    m_observingHidden = true;
}

void QFVideoOverlayLayer::teardownNotifications()
{
    if (!m_observingHidden)
        return;
    removeObserver(*this, "hidden", QFVideoOverlayLayerHiddenObservationContext);
    m_observingHidden = false;
}

void QFVideoOverlayLayer::removeFromSuperlayer()
{
    teardownNotifications();
    ui::Layer::removeFromSuperlayer();
}

void QFVideoOverlayLayer::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change, const void* context)
{
    // Its own visibility changes nothing yet: the watch is where a movie player would start or stop its timer.
    if (context == QFVideoOverlayLayerHiddenObservationContext)
        return;
    ui::Layer::observeValueForKeyPath(keyPath, object, change, context);
}

std::shared_ptr<QFVideoOverlayLayer> QFVideoOverlayLayer::layer()
{
    using A = ui::ConstraintAttribute;
    auto overlay = std::make_shared<QFVideoOverlayLayer>();
    overlay->setLayoutManager(ui::ConstraintLayoutManager::layoutManager());
    overlay->setConstraints({ { A::MidX, ui::ConstraintSuperlayerName, A::MidX, 1, 0 },
        { A::MidY, ui::ConstraintSuperlayerName, A::MidY, 1, 0 } });
    auto button = QFButtonLayer::layer();
    button->setBorderColor(gfx::Color::whiteColor());
    button->setBorderWidth(2);
    button->setCornerRadius(20);
    button->setBounds({ 0, 0, QFVideoOverlayLayerButtonSide, QFVideoOverlayLayerButtonSide });
    button->setConstraints({ { A::MidX, ui::ConstraintSuperlayerName, A::MidX, 1, 0 },
        { A::MidY, ui::ConstraintSuperlayerName, A::MidY, 1, 0 } });
    button->setImage(playImage());
    button->setAlternateImage(pauseImage());
    button->setAction(fnd::Selector("buttonClicked:"));
    button->setTarget(overlay);
    button->setType(1);
    overlay->m_buttonLayer = button;
    overlay->addSublayer(button);
    overlay->setNeedsDisplay();
    return overlay;
}

std::shared_ptr<gfx::BitmapImageRep> QFVideoOverlayLayer::playImage()
{
    static const auto image = QFVideoOverlayLayerPicture(newTrianglePathInRect({ 0, 0, 40, 40 }));
    return image;
}

std::shared_ptr<gfx::BitmapImageRep> QFVideoOverlayLayer::pauseImage()
{
    static const auto image = QFVideoOverlayLayerPicture(newPausePathInRect({ 0, 0, 40, 40 }));
    return image;
}

gfx::BezierPath QFVideoOverlayLayer::newTrianglePathInRect(gfx::Rect rect)
{
    auto r = gfx::insetRect(rect, 13, 13);
    gfx::BezierPath path;
    path.moveToPoint({ r.minX() + 1, r.minY() });
    path.lineToPoint({ r.maxX(), r.midY() });
    path.lineToPoint({ r.minX() + 1, r.maxY() });
    path.closePath();
    return path;
}

gfx::BezierPath QFVideoOverlayLayer::newPausePathInRect(gfx::Rect rect)
{
    auto r = gfx::insetRect(rect, 13, 13);
    double half = r.width() / 2;
    gfx::BezierPath path;
    path.appendBezierPathWithRect(gfx::insetRect({ r.minX(), r.minY(), half, r.height() }, 2, 0));
    path.appendBezierPathWithRect(gfx::insetRect({ r.minX() + half, r.minY(), r.width() - half, r.height() }, 2, 0));
    path.closePath();
    return path;
}

fnd::Value QFVideoOverlayLayer::defaultValueForKey(const fnd::String& key) const
{
    if (key == fnd::String("indicatorScale") || key == fnd::String("indicatorValue"))
        return 0.0;
    return Layer::defaultValueForKey(key);
}

bool QFVideoOverlayLayer::needsDisplayForKey(const fnd::String& key) const
{
    return key == fnd::String("indicatorScale") || key == fnd::String("indicatorValue")
        || Layer::needsDisplayForKey(key);
}

void QFVideoOverlayLayer::animateScale(double from, double to)
{
    auto animation = ui::BasicAnimation::animationWithKeyPath("indicatorScale");
    animation->setDuration(ExpandDuration);
    animation->setTimingFunction(ui::MediaTimingFunction::functionWithName(ui::MediaTimingFunctionName::EaseInEaseOut));
    animation->setFromValue(from);
    animation->setToValue(to);
    addAnimation(animation, "indicatorScale");
    setIndicatorScale(to);
    m_buttonLayer->setState(to > 0 ? 1 : 0);
}

void QFVideoOverlayLayer::expand()
{
    animateScale(0, 1);
}

void QFVideoOverlayLayer::collapse()
{
    animateScale(1, 0);
}

void QFVideoOverlayLayer::drawInContext(gfx::GraphicsContext& context)
{
    double s = indicatorScale();
    auto r = gfx::insetRect(bounds(), 1, 1);
    gfx::Rect c { r.midX() - 20, r.midY() - 20, 40, 40 };
    auto g = gfx::insetRect(c, -10 * s, -10 * s);
    context.setShouldAntialias(true);
    gfx::Color::colorWithCalibratedWhite(0.1, 0.75)->setFill();
    if (s <= 0) {
        gfx::BezierPath::bezierPathWithOvalInRect(c)->fill();
        return;
    }
    gfx::BezierPath::bezierPathWithOvalInRect(g)->fill();
    gfx::BezierPath ring;
    double startDegrees = 90;
    double endDegrees = 90 - 360 * indicatorValue();
    ring.appendBezierPathWithArcWithCenter(
        { g.midX(), g.midY() }, g.width() / 2 - 5 * s, startDegrees, endDegrees, true);
    ring.setLineWidth(10 * s);
    gfx::Color::colorWithCalibratedWhite(0.75, 1)->setStroke();
    ring.stroke();
    auto outline = gfx::BezierPath::bezierPathWithOvalInRect(g);
    outline->setLineWidth(1);
    gfx::Color::whiteColor()->setStroke();
    outline->stroke();
}
