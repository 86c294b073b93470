// The flow view's layer tree, the geometry that places each item in the stack, and the update cycle.

#include "frameworks/QFFlowView/QFFlowView.h"
#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"
#include "frameworks/QFFlowView/QFVideoOverlayLayer.h"

#include "platform/graphics/Font.h"
#include "platform/layers/ConstraintLayoutManager.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/views/TrackingArea.h"
#include "platform/ui/views/detail/ViewCoordinates.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

ui::LayoutConstraint QFFlowViewConstraint(ui::ConstraintAttribute attribute, ui::ConstraintAttribute source,
    double scale = 1, double offset = 0, const fnd::String& name = ui::ConstraintSuperlayerName)
{
    return { attribute, name, source, scale, offset };
}

gfx::ColorPtr QFFlowViewRGB(int r, int g, int b)
{
    return gfx::Color::colorWithCalibratedRed(r / 255.0, g / 255.0, b / 255.0, 1);
}

// Lengths and depths beyond the largest coordinate a view holds are out of any view, and sums of them overflow.
double QFFlowViewBoundedCoordinate(double value)
{
    return std::clamp(value, -ui::detail::ViewLargestCoordinate, ui::detail::ViewLargestCoordinate);
}

// Actions that switch the implicit animation of the keys off.
fnd::Dictionary QFFlowViewNoActions(std::initializer_list<const char*> keys)
{
    fnd::Dictionary actions;
    for (const char* key : keys)
        actions.set(key, fnd::Null {});
    return actions;
}

}

FND_REGISTER_CLASS(QFFlowViewItemLayer, ui::ReplicatorLayer)

bool QFFlowViewItemLayer::containsPoint(gfx::Point) const
{
    // The item stands for its picture: a point is on the item where it is on the picture (a sublayer).
    return false;
}

void QFFlowViewItemLayer::describeClass(fnd::ClassBuilder<QFFlowViewItemLayer>& c)
{
    c.property("index", &QFFlowViewItemLayer::index, &QFFlowViewItemLayer::setIndex);
}

std::int64_t QFFlowViewItemLayer::index() const
{
    if (isPresentation())
        if (auto model = std::dynamic_pointer_cast<QFFlowViewItemLayer>(modelLayer()))
            return model->index();
    return m_index;
}

void QFFlowViewItemLayer::initWithLayer(const ui::Layer& layer)
{
    ReplicatorLayer::initWithLayer(layer);
    if (auto* other = dynamic_cast<const QFFlowViewItemLayer*>(&layer))
        m_index = other->index();
}

FND_REGISTER_CLASS(QFFlowViewContentLayer, ui::Layer)

void QFFlowViewContentLayer::describeClass(fnd::ClassBuilder<QFFlowViewContentLayer>& c)
{
    c.property("index", &QFFlowViewContentLayer::index, &QFFlowViewContentLayer::setIndex);
}

std::int64_t QFFlowViewContentLayer::index() const
{
    if (isPresentation())
        if (auto model = std::dynamic_pointer_cast<QFFlowViewContentLayer>(modelLayer()))
            return model->index();
    if (auto item = std::dynamic_pointer_cast<QFFlowViewItemLayer>(superlayer()))
        return item->index();
    return m_index;
}

void QFFlowViewContentLayer::initWithLayer(const ui::Layer& layer)
{
    Layer::initWithLayer(layer);
    if (auto* other = dynamic_cast<const QFFlowViewContentLayer*>(&layer))
        m_index = other->index();
}

// Geometry settings.

void QFFlowView::setDefaults()
{
    m_stackedAngle = -1; // so that the setter rebuilds the turns
    setStackedAngle(70);
    m_spacing = 50;
    m_selectedScale = 200;
    m_stackedScale = -200;
    m_reflectionOffset = -0.4;
    m_showsReflection = true;
    m_itemScale = 1;
    m_previewScale = 0.25;
    m_scrollDuration = 0.4;
    m_perspective = ui::Transform3D::identity();
    m_perspective.m34 = -1.0 / 1500;
    m_imageCache.removeAllObjects();
    setAcceptsTouchEvents(true);
}

void QFFlowView::setStackedAngle(double degrees)
{
    // std::clamp passes NaN through, and a NaN angle turns every side item into nothing; infinities clamp.
    if (std::isnan(degrees) || degrees == m_stackedAngle)
        return;
    m_stackedAngleBeforeChange = m_stackedAngle;
    m_stackedAngle = std::clamp(degrees, 0.0, 90.0);
    double radians = m_stackedAngle * std::numbers::pi / 180;
    m_leftTransform = ui::Transform3D::rotation(radians, 0, 1, 0);
    m_rightTransform = ui::Transform3D::rotation(-radians, 0, 1, 0);
    if (m_scrollLayer)
        m_scrollLayer->setNeedsLayout();
}

void QFFlowView::setSpacing(double spacing)
{
    // Beyond the largest coordinate a frame holds the next item is out of any view already, and the row, a few
    // spacings long, would leave the doubles.
    if (std::isnan(spacing) || spacing == m_spacing)
        return;
    m_spacingBeforeChange = m_spacing;
    m_spacing = QFFlowViewBoundedCoordinate(spacing);
    if (m_scrollLayer)
        m_scrollLayer->setNeedsLayout();
}

void QFFlowView::setSelectedScale(double z)
{
    if (!std::isnan(z))
        m_selectedScale = QFFlowViewBoundedCoordinate(z);
}

void QFFlowView::setStackedScale(double z)
{
    if (!std::isnan(z))
        m_stackedScale = QFFlowViewBoundedCoordinate(z);
}

void QFFlowView::setScrollDuration(double seconds)
{
    if (!std::isnan(seconds))
        m_scrollDuration = std::clamp(seconds, 0.0, LongestScrollDuration);
}

void QFFlowView::setPerspective(const ui::Transform3D& transform)
{
    // Entries that carry a point beyond the largest coordinate (a scale, a translation) show nothing anywhere, and
    // their products leave the doubles: each is held within it.
    using T = ui::Transform3D;
    static constexpr double T::*Entries[] = { &T::m11, &T::m12, &T::m13, &T::m14, &T::m21, &T::m22, &T::m23, &T::m24,
        &T::m31, &T::m32, &T::m33, &T::m34, &T::m41, &T::m42, &T::m43, &T::m44 };
    auto bounded = transform;
    for (auto entry : Entries) {
        if (std::isnan(transform.*entry))
            return;
        bounded.*entry = QFFlowViewBoundedCoordinate(transform.*entry);
    }
    m_perspective = bounded;
}

void QFFlowView::setReflectionOffset(double offset)
{
    if (std::isnan(offset) || offset == m_reflectionOffset)
        return;
    m_reflectionOffset = std::clamp(offset, -1.0, 0.0);
    updateReflection();
}

void QFFlowView::setShowsReflection(bool flag)
{
    if (flag == m_showsReflection)
        return;
    m_showsReflection = flag;
    updateReflection();
}

void QFFlowView::setItemScale(double scale)
{
    if (std::isnan(scale) || scale == m_itemScale)
        return;
    m_itemScale = std::clamp(scale, 0.1, 1.0);
    if (m_scrollLayer)
        m_scrollLayer->setNeedsLayout();
}

void QFFlowView::setPreviewScale(double scale)
{
    if (std::isnan(scale) || scale == m_previewScale)
        return;
    m_previewScale = std::clamp(scale, 0.01, 1.0);
    m_imageCache.removeAllObjects();
    updateImages();
}

void QFFlowView::updateReflection()
{
    if (!m_scrollLayer)
        return;
    for (const auto& item : m_itemLayers) {
        item->setInstanceCount(m_showsReflection ? 2 : 1);
        item->setInstanceRedOffset(m_reflectionOffset);
        item->setInstanceGreenOffset(m_reflectionOffset);
        item->setInstanceBlueOffset(m_reflectionOffset);
    }
}

std::optional<ui::KeyAnimation> QFFlowView::defaultAnimationForKey(const fnd::String& key) const
{
    ui::KeyAnimation animation;
    animation.keyPath = key;
    animation.curve = ui::AnimationCurve::Linear;
    if (key == fnd::String("spacing")) {
        animation.fromValue = m_spacingBeforeChange;
        animation.toValue = m_spacing;
    } else if (key == fnd::String("stackedAngle")) {
        animation.fromValue = m_stackedAngleBeforeChange;
        animation.toValue = m_stackedAngle;
    } else {
        return ui::AnimatablePropertyContainer::defaultAnimationForKey(key);
    }
    return animation;
}

// Title.

fnd::String QFFlowView::title() const
{
    return m_title;
}

void QFFlowView::setTitle(const fnd::String& title)
{
    m_title = title;
    if (!m_titleLayer)
        return;
    m_titleLayer->setString(title);
    // A text layer has no size of its own: sized to its string, or it would show nothing.
    auto size = m_titleLayer->preferredFrameSize();
    m_titleLayer->setBounds({ { 0, 0 }, size });
    if (m_backgroundLayer)
        m_backgroundLayer->setNeedsLayout();
}

void QFFlowView::setTitleSize(double size)
{
    // The title's height places the row of items above it: a size that is no length would leave no row, and one
    // beyond the largest a font is set in a title beyond any frame.
    if (std::isnan(size) || size < 0)
        return;
    m_titleSize = std::min(size, gfx::Font::LargestPointSize);
    if (m_titleLayer) {
        m_titleLayer->setFontSize(m_titleSize);
        setTitle(m_title);
    }
}

void QFFlowView::setTitleFont(const fnd::Value& font)
{
    m_titleFont = font;
    if (m_titleLayer) {
        m_titleLayer->setFont(font);
        if (!m_titleFont.isNil())
            m_titleLayer->setFont(m_titleFont);
        m_titleLayer->setFontSize(m_titleSize);
        setTitle(m_title);
    }
}

void QFFlowView::setTitleColor(const gfx::ColorPtr& color)
{
    m_titleColor = color;
    if (m_titleLayer)
        m_titleLayer->setForegroundColor(color);
}

// Layer tree.

void QFFlowView::setupLayers()
{
    using A = ui::ConstraintAttribute;
    auto constraints = ui::ConstraintLayoutManager::layoutManager();
    auto self = std::static_pointer_cast<QFFlowView>(shared_from_this());

    m_backgroundLayer = ui::GradientLayer::layer();
    m_backgroundLayer->setPosition({ 0, 0 });
    m_backgroundLayer->setBounds({ { 0, 0 }, frame().size });
    m_backgroundLayer->setAutoresizingMask(
        ui::LayerAutoresizingMask::WidthSizable | ui::LayerAutoresizingMask::HeightSizable);
    m_backgroundLayer->setLayoutManager(constraints);
    m_backgroundLayer->setColors({ QFFlowViewRGB(52, 55, 69), QFFlowViewRGB(36, 37, 48), gfx::Color::blackColor() });
    m_backgroundLayer->setLocations({ 0, 0.2, 1 });

    m_containerLayer = ui::Layer::layer();
    m_containerLayer->setName(QFFlowViewLayerName::Container);
    m_containerLayer->setConstraints({ QFFlowViewConstraint(A::MidX, A::MidX), QFFlowViewConstraint(A::MaxY, A::MaxY),
        QFFlowViewConstraint(A::Width, A::Width),
        QFFlowViewConstraint(A::MinY, A::MaxY, 1, 0, QFFlowViewLayerName::Title) });
    m_containerLayer->setActions(QFFlowViewNoActions({ "position", "bounds" }));
    m_backgroundLayer->addSublayer(m_containerLayer);

    m_itemLayers.clear();
    m_scrollLayer = ui::ScrollLayer::layer();
    m_scrollLayer->setScrollMode(ui::ScrollMode::Horizontally);
    m_scrollLayer->setAutoresizingMask(
        ui::LayerAutoresizingMask::WidthSizable | ui::LayerAutoresizingMask::HeightSizable);
    m_scrollLayer->setSublayerTransform(m_perspective);
    m_scrollLayer->setMasksToBounds(false);
    m_scrollLayer->setLayoutManager(self);
    m_scrollLayer->setDelegate(self);
    m_containerLayer->addSublayer(m_scrollLayer);

    m_titleLayer = ui::TextLayer::layer();
    m_titleLayer->setName(QFFlowViewLayerName::Title);
    m_titleLayer->setAlignmentMode(ui::TextAlignmentMode::Center);
    m_titleLayer->setFontSize(m_titleSize);
    m_titleLayer->setForegroundColor(m_titleColor ? m_titleColor : gfx::Color::whiteColor());
    m_titleLayer->setConstraints(
        { QFFlowViewConstraint(A::MinY, A::MinY, 1, 50), QFFlowViewConstraint(A::MidX, A::MidX) });
    m_titleLayer->setActions(QFFlowViewNoActions({ "position", "bounds", "string" }));
    m_backgroundLayer->insertSublayerAbove(m_titleLayer, m_containerLayer.get());

    m_scrollBarLayer = ui::Layer::layer();
    m_scrollBarLayer->setName(QFFlowViewLayerName::ScrollBar);
    m_scrollBarLayer->setFrame({ 0, 0, 20, 20 });
    m_scrollBarLayer->setBackgroundColor(gfx::Color::blackColor());
    m_scrollBarLayer->setBorderColor(gfx::Color::colorWithCalibratedWhite(0.5, 1));
    m_scrollBarLayer->setBorderWidth(1);
    m_scrollBarLayer->setCornerRadius(10);
    m_scrollBarLayer->setOpaque(true);
    m_scrollBarLayer->setConstraints({ QFFlowViewConstraint(A::MidX, A::MidX),
        QFFlowViewConstraint(A::MinY, A::MinY, 1, 10), QFFlowViewConstraint(A::Width, A::Width, 0.75) });
    m_scrollBarLayer->setActions(QFFlowViewNoActions({ "position", "bounds" }));
    m_backgroundLayer->insertSublayerAbove(m_scrollBarLayer, m_containerLayer.get());

    auto knob = ui::GradientLayer::layer();
    knob->setName(QFFlowViewLayerName::ScrollKnob);
    knob->setFrame({ 10, 2, 40, 16 });
    knob->setNeedsDisplayOnBoundsChange(true);
    knob->setBorderColor(gfx::Color::colorWithCalibratedWhite(0.5, 1));
    knob->setBorderWidth(1);
    knob->setCornerRadius(9);
    knob->setStartPoint({ 0.5, 1 });
    knob->setEndPoint({ 0.5, 0 });
    knob->setAnchorPoint({ 0.5, 0.5 });
    knob->setColors(
        { QFFlowViewRGB(64, 64, 74), QFFlowViewRGB(46, 46, 58), QFFlowViewRGB(37, 37, 50), QFFlowViewRGB(51, 52, 66) });
    knob->setLocations({ 0, 0.5, 0.51, 1 });
    knob->setOpaque(true);
    knob->setActions(QFFlowViewNoActions({ "position", "bounds" }));
    m_scrollBarLayer->addSublayer(knob);

    setLayer(m_backgroundLayer);
    setWantsLayer(true);
    setTitle(m_title);
    setupAccessibility();
}

void QFFlowView::tearDownLayers()
{
    // Nothing of the tree shows out of a window, and the view builds a new one when it comes back: a view kept on
    // each of many tab pages held its tree for good (the background's gradient as large as the view, a layer and an
    // element per item: 2.6 MB for 50 items). Its elements go with it, so assistive technologies holding them read
    // them as gone, and a view not shown publishes no items.
    setLayer(nullptr);
    m_selectedLayer.reset();
    m_highlightedLayer.reset();
    m_itemLayers.clear();
    m_layerQueue.clear();
    m_shownItems.clear();
    m_laidOutSelection = NotFound;
    m_visibleItems = { 0, 0 };
    m_backgroundElement.reset();
    m_scrollBarElement.reset();
    m_scrollBarLayer.reset();
    m_titleLayer.reset();
    m_scrollLayer.reset();
    m_containerLayer.reset();
    m_backgroundLayer.reset();
}

std::shared_ptr<ui::GradientLayer> QFFlowView::scrollKnobLayer() const
{
    if (!m_scrollBarLayer || m_scrollBarLayer->sublayers().empty())
        return nullptr;
    return std::dynamic_pointer_cast<ui::GradientLayer>(m_scrollBarLayer->sublayers().front());
}

std::shared_ptr<ui::ReplicatorLayer> QFFlowView::createItemLayerWithIndex(std::size_t index, const fnd::Value& item,
    const fnd::Value& uid, std::shared_ptr<QFLayerAccessibilityHelper>& element)
{
    auto layer = std::make_shared<QFFlowViewItemLayer>();
    layer->setFrame({ 0, 0, 100, 100 });
    layer->setInstanceCount(m_showsReflection ? 2 : 1);
    layer->setInstanceRedOffset(m_reflectionOffset);
    layer->setInstanceGreenOffset(m_reflectionOffset);
    layer->setInstanceBlueOffset(m_reflectionOffset);
    layer->setPreservesDepth(true);
    m_itemUIDsMayBeObjects |= uid.isObject();
    layer->setValueForKey(uid, QFFlowViewLayerKey::UID);
    layer->setValueForKey(std::int64_t(index), QFFlowViewLayerKey::Index);
    // Set up before it joins its item layer, so that no change of it travels up the tree.
    auto content = createImageLayer();
    element = setAttributesForItemContentLayer(content, index, item, uid);
    layer->addSublayer(content);
    return layer;
}

std::shared_ptr<ui::Layer> QFFlowView::createImageLayer()
{
    static const fnd::String name(QFFlowViewLayerName::Content.utf8() + "Image");
    auto content = std::make_shared<QFFlowViewContentLayer>();
    content->setName(name);
    content->setContentsGravity(ui::ContentsGravity::ResizeAspect);
    content->setLayoutManager(ui::ConstraintLayoutManager::layoutManager());
    return content;
}

std::shared_ptr<QFLayerAccessibilityHelper> QFFlowView::setAttributesForItemContentLayer(
    const std::shared_ptr<ui::Layer>& content, std::size_t index, const fnd::Value& item, const fnd::Value& uid)
{
    content->setValueForKey(uid, QFFlowViewLayerKey::UID);
    content->setName(contentLayerNameOfItem(item));
    content->setValueForKey(std::int64_t(index), QFFlowViewLayerKey::Index);
    if (!m_contentLayerActions) {
        // One dictionary for every item, shared: a layer runs a copy of the transition it finds there.
        auto reveal = std::make_shared<ui::Transition>();
        reveal->setType(ui::TransitionType::Reveal);
        reveal->setDuration(0.5);
        auto fade = std::make_shared<ui::Transition>();
        fade->setType(ui::TransitionType::Fade);
        fade->setDuration(0.5);
        fnd::Dictionary actions;
        actions.set("onOrderIn", fnd::Value(std::static_pointer_cast<fnd::Object>(reveal)));
        actions.set("onOrderOut", fnd::Value(std::static_pointer_cast<fnd::Object>(fade)));
        actions.set("contents", fnd::Null {});
        actions.set("bounds", fnd::Null {});
        m_contentLayerActions = std::make_shared<const fnd::Dictionary>(std::move(actions));
    }
    content->shareActions(m_contentLayerActions);
    return makeItemAccessibility(content);
}

std::shared_ptr<ui::Layer> QFFlowView::createMovieOverlayLayerWithIndex(std::size_t index)
{
    auto overlay = QFVideoOverlayLayer::layer();
    overlay->setName(QFFlowViewLayerName::Overlay);
    overlay->setValueForKey(std::int64_t(index), QFFlowViewLayerKey::Index);
    overlay->setFrame({ 0, 0, 60, 60 });
    overlay->setHidden(true);
    if (auto content = imageLayerAtIndex(index)) {
        content->addSublayer(overlay);
        content->setValueForKey(
            fnd::Value(std::static_pointer_cast<fnd::Object>(overlay)), QFFlowViewLayerKey::Overlay);
        if (auto element = accessibilityElementOfLayer(*content)) {
            auto button = overlay->buttonLayer();
            auto check = QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(ui::AccessibilityRole::CheckBox,
                element, button, std::static_pointer_cast<ui::View>(shared_from_this()));
            check->setAttributeNames({ ui::AccessibilityAttribute::Title, ui::AccessibilityAttribute::Value });
            check->setWritableAttributeNames({ ui::AccessibilityAttribute::Value });
            std::weak_ptr<QFButtonLayer> weakButton = button;
            check->addHandlerForAttribute(
                ui::AccessibilityAttribute::Title, [weakButton](const QFLayerAccessibilityHelper&) {
                    auto b = weakButton.lock();
                    auto bundle = fnd::Bundle::bundleWithName("QFFlowView");
                    const char* key = b && b->state() == 1 ? "Stop movie playback" : "Start movie playback";
                    return fnd::Value(bundle ? bundle->localizedStringForKey(key, {}, "QFFlowView") : fnd::String(key));
                });
            check->addHandlerForAttribute(
                ui::AccessibilityAttribute::Value, [weakButton](const QFLayerAccessibilityHelper&) {
                    auto b = weakButton.lock();
                    return b ? fnd::Value(b->state()) : fnd::Value();
                });
            check->addHandlerForWritableAttribute(
                ui::AccessibilityAttribute::Value, [weakButton](QFLayerAccessibilityHelper&, const fnd::Value& value) {
                    if (auto b = weakButton.lock())
                        b->setState(value.integerValue());
                });
            button->setValueForKey(
                fnd::Value(std::static_pointer_cast<fnd::Object>(check)), QFFlowViewLayerKey::AccessibilityElement);
            element->addChildrenObject(check);
        }
    }
    return overlay;
}

// Lookups.

std::shared_ptr<ui::ReplicatorLayer> QFFlowView::itemLayerAtIndex(std::size_t index) const
{
    return index < m_itemLayers.size() ? m_itemLayers[index] : nullptr;
}

std::shared_ptr<ui::Layer> QFFlowView::imageLayerAtIndex(std::size_t index) const
{
    auto item = itemLayerAtIndex(index);
    if (!item)
        return nullptr;
    auto subs = item->sublayers();
    return subs.empty() ? nullptr : subs.front();
}

std::shared_ptr<ui::Layer> QFFlowView::overlayLayerAtIndex(std::size_t index) const
{
    auto content = imageLayerAtIndex(index);
    if (!content)
        return nullptr;
    if (auto overlay = content->valueForKey(QFFlowViewLayerKey::Overlay).objectAs<ui::Layer>())
        return overlay;
    for (const auto& sub : content->sublayers())
        if (auto overlay = sub->valueForKey(QFFlowViewLayerKey::Overlay).objectAs<ui::Layer>())
            return overlay;
    return nullptr;
}

std::shared_ptr<ui::Layer> QFFlowView::hitLayerAtPoint(gfx::Point point) const
{
    if (!m_backgroundLayer)
        return nullptr;
    auto presentation = m_backgroundLayer->presentationLayer();
    auto hit = presentation ? presentation->hitTest(point) : nullptr;
    return hit ? hit->modelLayer() : nullptr;
}

std::size_t QFFlowView::indexOfItemAtPoint(gfx::Point point) const
{
    auto hit = hitLayerAtPoint(point);
    if (!hit || !hit->name().utf8().starts_with(QFFlowViewLayerName::Content.utf8()))
        return NotFound;
    auto index = hit->valueForKey(QFFlowViewLayerKey::Index).integerValue();
    return index < 0 ? NotFound : std::size_t(index);
}

gfx::Rect QFFlowView::rectInViewForLayer(const ui::Layer& layer) const
{
    // The layer's bounds as they show on screen (its frame ignores its turn).
    return m_backgroundLayer ? m_backgroundLayer->convertRectFromLayer(layer.bounds(), &layer) : gfx::Rect {};
}

gfx::Rect QFFlowView::itemFrameAtIndex(std::size_t index) const
{
    if (!m_scrollLayer)
        return {};
    auto size = itemSizeForRect(m_scrollLayer->bounds());
    return m_backgroundLayer->convertRectFromLayer(rectForItem(index, size), m_scrollLayer.get());
}

// Geometry.

gfx::Size QFFlowView::itemSizeForRect(gfx::Rect rect) const
{
    double side = std::max(0.0, (rect.height() - 50) * m_itemScale);
    return { side, side };
}

double QFFlowView::horizontalOffsetForItem(
    std::size_t index, double itemWidth, double stackedAngle, double spacing, std::size_t selectedIndex)
{
    double x = double(index) * (itemWidth * (1 - stackedAngle / 90) + spacing);
    if (selectedIndex == NotFound)
        return x;
    if (index == selectedIndex && selectedIndex != 0)
        x += 0.5 * itemWidth;
    if (index > selectedIndex)
        x += selectedIndex != 0 ? itemWidth : 0.5 * itemWidth;
    return x;
}

gfx::Rect QFFlowView::rectForItem(std::size_t index, gfx::Size itemSize) const
{
    double x = horizontalOffsetForItem(index, itemSize.width, m_stackedAngle, m_spacing, m_selectedIndex);
    double y = (m_scrollLayer ? m_scrollLayer->bounds().midY() : 0) - itemSize.height / 2;
    return { { x, y }, itemSize };
}

gfx::Point QFFlowView::selectedScrollPoint() const
{
    auto size = itemSizeForRect(m_scrollLayer->bounds());
    auto selected = rectForItem(m_selectedIndex, size);
    return { selected.minX() - 0.5 * m_scrollLayer->bounds().width() + 0.5 * size.width, 0 };
}

gfx::Rect QFFlowView::boundsFromContentWithAspectRatio(double aspect, gfx::Rect itemRect)
{
    if (aspect >= 1)
        return { 0, 0, itemRect.width(), itemRect.height() / aspect };
    return { 0, 0, itemRect.width() * aspect, itemRect.height() };
}

void QFFlowView::setFrameForLayer(ui::ReplicatorLayer& layer, std::size_t index, gfx::Size itemSize)
{
    auto subs = layer.sublayers();
    if (subs.empty())
        return;
    auto content = subs.front();
    double d = m_selectedIndex == NotFound ? 0 : std::fabs(double(std::int64_t(index) - std::int64_t(m_selectedIndex)));
    if (index < m_selectedIndex) {
        content->setAnchorPoint({ 0, 0 });
        content->setTransform(m_leftTransform);
        content->setZPosition(m_stackedScale);
        layer.setZPosition(m_stackedScale + double(float(d) * -0.5f));
    } else if (index > m_selectedIndex) {
        content->setAnchorPoint({ 1, 0 });
        content->setTransform(m_rightTransform);
        content->setZPosition(m_stackedScale);
        layer.setZPosition(m_stackedScale + double(float(d) * -0.5f));
    } else {
        content->setAnchorPoint({ 0.5, 0 });
        content->setTransform(ui::Transform3D::identity());
        content->setZPosition(m_selectedScale);
        layer.setZPosition(m_stackedScale);
    }
    double aspect = content->valueForKey(QFFlowViewLayerKey::AspectRatio).doubleValue();
    if (!(aspect > 0))
        aspect = 1;
    content->setFrame(boundsFromContentWithAspectRatio(aspect, { { 0, 0 }, itemSize }));
    layer.setFrame(rectForItem(index, itemSize));
    // Mirrored about the item's centre, then moved down by its height: the copy lies below the item.
    layer.setInstanceTransform(
        ui::concatenated(ui::Transform3D::scaling(1, -1, 1), ui::Transform3D::translation(0, -itemSize.height, 0)));
}

void QFFlowView::setImage(const std::shared_ptr<gfx::BitmapImageRep>& image, std::size_t index)
{
    if (!image)
        return;
    auto item = itemLayerAtIndex(index);
    auto content = imageLayerAtIndex(index);
    if (!item || !content || image->pixelsHigh() == 0)
        return;
    double aspect = double(image->pixelsWide()) / double(image->pixelsHigh());
    content->setValueForKey(aspect, QFFlowViewLayerKey::AspectRatio);
    content->setFrame(boundsFromContentWithAspectRatio(aspect, item->bounds()));
    content->setContents(image);
}

// Update cycle.

void QFFlowView::beginLayoutTransaction()
{
    ui::Transaction::begin();
    ui::Transaction::setDisableActions(inLiveResize());
    ui::Transaction::setAnimationDuration(m_scrollDuration);
    ui::Transaction::setAnimationTimingFunction(
        ui::MediaTimingFunction::functionWithName(ui::MediaTimingFunctionName::EaseOut));
    std::weak_ptr<QFFlowView> weakSelf = std::static_pointer_cast<QFFlowView>(shared_from_this());
    ui::Transaction::setCompletionBlock([weakSelf] {
        if (auto self = weakSelf.lock()) {
            self->updateImages();
            self->setupTrackingAreas();
        }
    });
}

void QFFlowView::layoutItemLayersInRange(fnd::Range range)
{
    // Items out of view are placed when they come into view (layoutShownItemLayers).
    auto size = itemSizeForRect(m_scrollLayer->bounds());
    auto start = std::size_t(std::max<std::int64_t>(range.location, 0));
    auto end = std::size_t(std::clamp<std::int64_t>(range.location + range.length, 0, std::int64_t(m_numberOfItems)));
    for (auto at = std::lower_bound(m_shownItems.begin(), m_shownItems.end(), start);
         at != m_shownItems.end() && *at < end; ++at)
        if (auto layer = itemLayerAtIndex(*at))
            setFrameForLayer(*layer, *at, size);
}

bool QFFlowView::isItemShown(std::size_t index) const
{
    return std::binary_search(m_shownItems.begin(), m_shownItems.end(), index);
}

bool QFFlowView::presentationShowsItem(std::size_t index) const
{
    auto layer = itemLayerAtIndex(index);
    if (!layer || layer->isHidden())
        return false;
    // A layer at rest shows its model.
    if (layer->animationKeys().empty())
        return !layer->visibleRect().isEmpty();
    auto shown = layer->presentationLayer();
    return shown && !shown->visibleRect().isEmpty();
}

void QFFlowView::showItemLayer(std::size_t index, gfx::Size itemSize)
{
    auto layer = itemLayerAtIndex(index);
    ui::TransactionScope transaction;
    ui::Transaction::setDisableActions(true);
    // Put first where the last layout would have put it, so that it moves in with its neighbours.
    if (m_laidOutSelection != NotFound && m_laidOutSelection < m_numberOfItems) {
        auto selected = std::exchange(m_selectedIndex, m_laidOutSelection);
        setFrameForLayer(*layer, index, itemSize);
        m_selectedIndex = selected;
    }
    setKeptImageAtIndex(index, itemSizeForRect(m_scrollLayer->visibleRect()));
    layer->setHidden(false);
}

void QFFlowView::layoutShownItemLayers()
{
    auto size = itemSizeForRect(m_scrollLayer->bounds());
    // What shows now: the items in view at the end of the last pass, and those still moving through the view.
    std::vector<std::size_t> showing;
    auto visibleEnd = std::size_t(m_visibleItems.location + m_visibleItems.length);
    for (auto index : m_shownItems)
        if (index < m_numberOfItems
            && ((index >= std::size_t(m_visibleItems.location) && index < visibleEnd) || presentationShowsItem(index)))
            showing.push_back(index);
    m_scrollLayer->scrollToPoint(selectedScrollPoint());

    // Those move to their new places, and so do the items that will be in view: outwards from the selected one
    // (which the scroll centres) up to the first one out of view on either side. Items further out stay hidden.
    std::vector<std::size_t> placed;
    auto place = [&](std::size_t index) {
        auto layer = itemLayerAtIndex(index);
        if (!layer)
            return false;
        if (!std::binary_search(placed.begin(), placed.end(), index)) {
            if (!isItemShown(index))
                showItemLayer(index, size);
            setFrameForLayer(*layer, index, size);
            placed.insert(std::upper_bound(placed.begin(), placed.end(), index), index);
        }
        return !layer->visibleRect().isEmpty();
    };
    for (auto index : showing)
        place(index);
    if (m_selectedIndex < m_numberOfItems) {
        place(m_selectedIndex);
        for (auto index = m_selectedIndex + 1; index < m_numberOfItems && place(index); ++index) { }
        for (auto index = m_selectedIndex; index > 0 && place(index - 1); --index) { }
    }
    {
        ui::TransactionScope transaction;
        ui::Transaction::setDisableActions(true);
        for (auto index : m_shownItems)
            if (!std::binary_search(placed.begin(), placed.end(), index))
                if (auto layer = itemLayerAtIndex(index)) {
                    layer->setHidden(true);
                    // A hidden item holds no picture, so the cache alone bounds what pictures take; it gets one
                    // again when it is shown.
                    if (auto content = imageLayerAtIndex(index))
                        content->setContents(nullptr);
                }
    }
    m_shownItems = std::move(placed);
    m_laidOutSelection = m_selectedIndex;
}

void QFFlowView::layoutSublayersOfLayer(ui::Layer& layer)
{
    if (&layer != m_scrollLayer.get())
        return;
    refreshChangedItemLayers();
    if (m_selectedIndex == NotFound)
        return;
    beginLayoutTransaction();
    layoutShownItemLayers();
    ui::Transaction::commit();
    calculateVisibleItems();
    updateScrollKnob();
}

void QFFlowView::updateSelectionInRange(fnd::Range range)
{
    if (!m_scrollLayer)
        return;
    beginLayoutTransaction();
    layoutItemLayersInRange(range);
    if (m_selectedIndex != NotFound)
        m_scrollLayer->scrollToPoint(selectedScrollPoint());
    ui::Transaction::commit();
    calculateVisibleItems();
    updateScrollKnob();
    showSelectedTitle();
}

std::optional<std::shared_ptr<ui::LayerAction>> QFFlowView::actionForLayer(ui::Layer& layer, const fnd::String&)
{
    if (&layer == m_scrollLayer.get() && inLiveResize())
        return std::shared_ptr<ui::LayerAction>();
    return std::nullopt;
}

void QFFlowView::calculateVisibleItems()
{
    // Only shown items can be in view: the others lie beyond the first item out of view on either side.
    std::int64_t start = -1, count = 0;
    for (auto index : m_shownItems) {
        auto layer = itemLayerAtIndex(index);
        if (!layer || layer->visibleRect().isEmpty())
            continue;
        if (start < 0)
            start = layer->valueForKey(QFFlowViewLayerKey::Index).integerValue();
        ++count;
    }
    if (count == 0) {
        m_visibleItems = { 0, 0 };
        m_maxStackedVisible = 0;
        return;
    }
    m_visibleItems = { start, count };
    auto s = m_selectedIndex == NotFound ? 0 : std::int64_t(m_selectedIndex);
    auto last = start + count - 1;
    m_maxStackedVisible = std::size_t(std::max(s - start, last - s) + 1);
}

void QFFlowView::updateScrollKnob()
{
    auto n = m_numberOfItems;
    if (!m_scrollBarLayer)
        return;
    m_scrollBarLayer->setHidden(n < 2);
    if (n < 2)
        return;
    auto knob = scrollKnobLayer();
    if (!knob)
        return;
    double barWidth = m_scrollBarLayer->bounds().width();
    double width = std::max(double(m_maxStackedVisible) / double(n) * (barWidth - 10), 40.0);
    // Nothing selected reads as the first item.
    double s = m_selectedIndex == NotFound ? 0 : double(m_selectedIndex);
    double x = s / double(n - 1) * (barWidth - 10 - width) + 5;
    auto f = knob->frame();
    knob->setFrame({ x, f.minY(), width, f.height() });
    knob->setNeedsDisplay();
}

void QFFlowView::reloadContent()
{
    // The identifiers may now name other items: their pictures are asked for again.
    m_pictureLoads.clear();
    // Every item's layers are made for it as it is now.
    m_changedItems.clear();
    m_numberOfItems = 0;
    if (bindingsEnabled())
        m_numberOfItems = m_observedItems.size();
    else if (auto source = dataSource()) {
        // A source that answers the count but gives no items yields none.
        auto count = source->numberOfItemsInFlowView(*this).value_or(0);
        m_numberOfItems = count > 0 && source->flowViewItemAtIndex(*this, 0).has_value() ? count : 0;
    }
    if (!m_scrollLayer)
        return;
    {
        ui::TransactionScope transaction;
        ui::Transaction::setDisableActions(true);
        const auto cleared = m_layerQueue.size();
        m_layerQueue.insert(m_layerQueue.end(), m_itemLayers.begin(), m_itemLayers.end());
        m_itemLayers.clear();
        m_scrollLayer->setSublayers({});
        // The accessibility list is rebuilt with the items rather than growing at every reload.
        if (m_backgroundElement)
            m_backgroundElement->removeAllChildren();
        m_itemLayers.reserve(m_numberOfItems);
        std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> elements;
        elements.reserve(m_numberOfItems);
        for (std::size_t index = 0; index < m_numberOfItems; ++index)
            m_itemLayers.push_back(itemLayerForItem(index, imageItemForIndex(index), elements));
        // Of the layers left over, a few wait for items to come, cleared of the items they showed; the others go.
        if (m_layerQueue.size() > MaxQueuedItemLayers)
            m_layerQueue.resize(MaxQueuedItemLayers);
        for (auto i = cleared; i < m_layerQueue.size(); ++i)
            clearItemLayer(*m_layerQueue[i]);
        m_shownItems.clear();
        m_laidOutSelection = NotFound;
        m_scrollLayer->setSublayers({ m_itemLayers.begin(), m_itemLayers.end() });
        // All at once: the list announces one change, not one per item.
        if (m_backgroundElement && !elements.empty())
            m_backgroundElement->insertChildren(elements, fnd::IndexSet(fnd::Range { 0, fnd::Index(elements.size()) }));
    }
    finishContentChange();
}

std::shared_ptr<ui::ReplicatorLayer> QFFlowView::itemLayerForItem(
    std::size_t index, const fnd::Value& item, std::vector<std::shared_ptr<QFLayerAccessibilityHelper>>& elements)
{
    auto uid = imageUIDForItem(item);
    std::shared_ptr<ui::ReplicatorLayer> layer;
    std::shared_ptr<QFLayerAccessibilityHelper> element;
    if (m_layerQueue.empty()) {
        layer = createItemLayerWithIndex(index, item, uid, element);
    } else {
        layer = m_layerQueue.back();
        m_layerQueue.pop_back();
        layer->setValueForKey(std::int64_t(index), QFFlowViewLayerKey::Index);
        m_itemUIDsMayBeObjects |= uid.isObject();
        layer->setValueForKey(uid, QFFlowViewLayerKey::UID);
        auto content = layer->sublayers().front();
        for (const auto& sub : content->sublayers())
            sub->removeFromSuperlayer();
        content->setValueForKey(fnd::Value(), QFFlowViewLayerKey::Overlay);
        content->setContents(nullptr);
        element = setAttributesForItemContentLayer(content, index, item, uid);
    }
    if (element)
        elements.push_back(std::move(element));
    // Shown when it comes into view.
    layer->setHidden(true);
    return layer;
}

void QFFlowView::renumberItemLayers(std::size_t from)
{
    // Item layers are all made here as QFFlowViewItemLayer; their content layers answer their index.
    for (auto index = from; index < m_itemLayers.size(); ++index)
        static_cast<QFFlowViewItemLayer&>(*m_itemLayers[index]).setIndex(std::int64_t(index));
}

void QFFlowView::finishContentChange()
{
    // The selection stays inside the items: the first one when the old one is gone, none without items.
    if (m_numberOfItems == 0)
        m_selectedIndex = NotFound;
    else if (m_selectedIndex == NotFound || m_selectedIndex >= m_numberOfItems) {
        m_selectedIndex = NotFound;
        setSelectedIndex(0);
    }
    m_scrollLayer->setNeedsLayout();
    m_scrollLayer->layoutIfNeeded();
    updateSelectionInRange({ 0, std::int64_t(m_numberOfItems) });
    updateScrollKnob();
}

// Selection marks.

void QFFlowView::selectLayerAtIndex(std::size_t index)
{
    // A composition item would get its live layer here; compositions have no renderer on this platform, so the
    // item keeps its default picture.
    (void)index;
}

void QFFlowView::deselectLayerAtIndex(std::size_t index)
{
    if (index == NotFound)
        return;
    auto content = imageLayerAtIndex(index);
    if (!content)
        return;
    ui::TransactionScope transaction;
    ui::Transaction::setDisableActions(true);
    for (const auto& sub : content->sublayers())
        sub->removeFromSuperlayer();
}

void QFFlowView::highlightLayer(ui::Layer& layer, bool highlighted, double cornerRadius, const gfx::ColorPtr& color)
{
    layer.setCornerRadius(highlighted ? cornerRadius : 0);
    layer.setBorderWidth(highlighted ? 2 : 0);
    layer.setBorderColor(highlighted ? color : nullptr);
}

void QFFlowView::setupTrackingAreas()
{
    for (auto area : trackingAreas())
        removeTrackingArea(area);
    if (m_selectedIndex == NotFound)
        return;
    auto content = imageLayerAtIndex(m_selectedIndex);
    if (!content)
        return;
    using namespace ui::TrackingOptions;
    addTrackingArea(ui::TrackingArea::create(rectInViewForLayer(*content),
        MouseEnteredAndExited | ActiveWhenFirstResponder | ActiveInActiveApp | AssumeInside,
        std::static_pointer_cast<ui::Responder>(shared_from_this())));
}

void QFFlowView::updateTrackingAreas()
{
    Control::updateTrackingAreas();
    setupTrackingAreas();
}
