#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/layers/ConstraintLayoutManager.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <unordered_map>

FND_REGISTER_CLASS(ZORCardFlowView, ui::View)

namespace {

// Identifies the view's own observations of the content objects' picture key path.
const char ZORCardFlowViewImageObservationContext = 0;

constexpr double ZORCardFlowViewSideAngle = 0.79;

// Content objects as keys of a hash table without copies of them: equal objects hash alike.
struct ZORCardFlowViewObjectHash {
    std::size_t operator()(const fnd::Value* object) const { return object->hash(); }
};
struct ZORCardFlowViewObjectEqual {
    bool operator()(const fnd::Value* a, const fnd::Value* b) const { return *a == *b; }
};

ui::LayoutConstraint ZORCardFlowViewConstraint(ui::ConstraintAttribute attribute, ui::ConstraintAttribute source,
    double scale = 1, double offset = 0, const fnd::String& name = ui::ConstraintSuperlayerName)
{
    return { attribute, name, source, scale, offset };
}

}

void ZORCardFlowView::describeClass(fnd::ClassBuilder<ZORCardFlowView>& c)
{
    c.property("content", &ZORCardFlowView::content, &ZORCardFlowView::setContent);
    c.property(
        "selectionIndex", [](const ZORCardFlowView& v) { return v.selectionIndex(); },
        [](ZORCardFlowView& v, std::int64_t index) { v.setSelectionIndex(index); });
    c.property(
        "selectedObject", [](const ZORCardFlowView& v) { return v.selectedObject(); },
        [](ZORCardFlowView& v, fnd::Value object) { v.setSelectedObject(object); });
    c.property(
        "imageKeyPath",
        [](const ZORCardFlowView& v) { return v.imageKeyPath() ? fnd::Value(*v.imageKeyPath()) : fnd::Value(); },
        [](ZORCardFlowView& v, fnd::Value path) {
            v.setImageKeyPath(path.isString() ? std::optional<fnd::String>(path.stringValue()) : std::nullopt);
        });
    c.property("autoresizesItems", &ZORCardFlowView::autoresizesItems, &ZORCardFlowView::setAutoresizesItems);
    c.property("showsScrollbar", &ZORCardFlowView::showsScrollbar, &ZORCardFlowView::setShowsScrollbar);
    c.property("itemSize", &ZORCardFlowView::itemSize, &ZORCardFlowView::setItemSize);
    c.keyPathsAffecting("selectedObject", { "selectionIndex" });
    c.action("_scrollerChange:", &ZORCardFlowView::scrollerChange);
    c.exposeBinding("content");
    c.exposeBinding("selectionIndex");
}

std::shared_ptr<ZORCardFlowView> ZORCardFlowView::create(gfx::Rect frame)
{
    return ui::makeView<ZORCardFlowView>(frame);
}

ZORCardFlowView::~ZORCardFlowView()
{
    if (m_imageLoadQueue)
        m_imageLoadQueue->cancelAllOperations();
    // The observed objects are the layers' own: an equal object that replaced one in the content never was.
    if (m_imageKeyPath)
        for (const auto& item : m_items)
            if (auto o = item.object.object())
                o->removeObserver(*this, *m_imageKeyPath, &ZORCardFlowViewImageObservationContext);
}

void ZORCardFlowView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    m_imageLoadQueue = std::make_shared<fnd::OperationQueue>();
    m_imageLoadQueue->setMaxConcurrentOperationCount(1);
    m_imageLoadQueue->setName("ZORCardFlowView pictures");
    m_placeholderIcon = templateIcon();
    m_autoresizesItems = true;
    setAutoresizesSubviews(true);

    m_scroller = ZORCardFlowScroller::create({ 10, 10, 400, 16 });
    m_scroller->setEnabled(true);
    m_scroller->setTarget(std::static_pointer_cast<fnd::Object>(shared_from_this()));
    m_scroller->setAction(fnd::Selector("_scrollerChange:"));
    m_scroller->setHidden(true);
    m_scroller->setKnobProportion(1.0);
    addSubview(m_scroller);

    m_leftTransform = ui::Transform3D::rotation(-ZORCardFlowViewSideAngle, 0, -1, 0);
    m_rightTransform = ui::Transform3D::rotation(ZORCardFlowViewSideAngle, 0, -1, 0);
    m_itemSize = { DefaultItemWidth, DefaultItemHeight };

    auto self = std::static_pointer_cast<ZORCardFlowView>(shared_from_this());
    auto constraints = ui::ConstraintLayoutManager::layoutManager();
    m_rootLayer = ui::Layer::layer();
    m_rootLayer->setLayoutManager(constraints);
    m_rootLayer->setBackgroundColor(gfx::Color::blackColor());
    m_rootLayer->setOpaque(true);

    m_containerLayer = ui::Layer::layer();
    m_containerLayer->setName("body");
    m_rootLayer->addSublayer(m_containerLayer);
    rebuildContainerConstraints();

    m_scrollLayer = ui::ScrollLayer::layer();
    m_scrollLayer->setScrollMode(ui::ScrollMode::Horizontally);
    m_scrollLayer->setAutoresizingMask(
        ui::LayerAutoresizingMask::WidthSizable | ui::LayerAutoresizingMask::HeightSizable);
    m_scrollLayer->setLayoutManager(self);
    m_containerLayer->addSublayer(m_scrollLayer);

    m_gradientLayer = ui::Layer::layer();
    m_gradientLayer->setAutoresizingMask(
        ui::LayerAutoresizingMask::WidthSizable | ui::LayerAutoresizingMask::HeightSizable);
    m_gradientLayer->setLayoutManager(constraints);
    m_rightGradientLayer = ui::Layer::layer();
    m_leftGradientLayer = ui::Layer::layer();
    m_bottomGradientLayer = ui::Layer::layer();
    m_gradientLayer->addSublayer(m_rightGradientLayer);
    m_gradientLayer->addSublayer(m_leftGradientLayer);
    m_gradientLayer->addSublayer(m_bottomGradientLayer);
    m_containerLayer->addSublayer(m_gradientLayer);
    using A = ui::ConstraintAttribute;
    m_bottomGradientLayer->setConstraints(
        { ZORCardFlowViewConstraint(A::MaxX, A::MaxX), ZORCardFlowViewConstraint(A::MinY, A::MinY),
            ZORCardFlowViewConstraint(A::MinX, A::MinX), ZORCardFlowViewConstraint(A::MaxY, A::MinY, 1, 32) });
    m_bottomGradientLayer->setMasksToBounds(true);
    rebuildEdgeConstraints();

    setLayer(m_rootLayer);
    makeShadowAndEdgeImages();
    // Hosting is on from the start: a view made in code draws without waiting for awakeFromNib.
    setWantsLayer(true);
    recachePlaceholder();
}

void ZORCardFlowView::encodeWithCoder(fnd::Coder& coder) const
{
    View::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding())
        coder.encodeObject(fnd::Value(m_scroller), "ZORCardFlowViewScroller");
}

bool ZORCardFlowView::initWithCoder(fnd::Coder& coder)
{
    if (!View::initWithCoder(coder))
        return false;
    auto scroller = coder.allowsKeyedCoding()
        ? decodeSubviewForKey<ZORCardFlowScroller>(coder, "ZORCardFlowViewScroller")
        : nullptr;
    if (coder.hasFailed())
        return false;
    if (!scroller) {
        // An archive without it: the scroller initWithFrame made goes back in.
        addSubview(m_scroller);
        return true;
    }
    m_scroller = scroller;
    return true;
}

void ZORCardFlowView::awakeFromNib()
{
    setWantsLayer(true);
    recachePlaceholder();
}

void ZORCardFlowView::rebuildContainerConstraints()
{
    using A = ui::ConstraintAttribute;
    double accessoryMaxY = 0;
    if (m_accessoryController && m_accessoryController->isViewLoaded())
        accessoryMaxY = m_accessoryController->view()->frame().maxY();
    m_containerLayer->setConstraints({
        ZORCardFlowViewConstraint(A::MidX, A::MidX),
        ZORCardFlowViewConstraint(A::Width, A::Width, 1, -20),
        ZORCardFlowViewConstraint(A::MinY, A::MinY, 1, accessoryMaxY - 0.75 * itemSize().height),
        ZORCardFlowViewConstraint(A::MaxY, A::MaxY, 1, -10),
    });
    m_rootLayer->setNeedsLayout();
}

void ZORCardFlowView::rebuildEdgeConstraints()
{
    using A = ui::ConstraintAttribute;
    double w = itemSize().width;
    m_leftGradientLayer->setConstraints(
        { ZORCardFlowViewConstraint(A::MinX, A::MinX), ZORCardFlowViewConstraint(A::MinY, A::MinY),
            ZORCardFlowViewConstraint(A::MaxY, A::MaxY), ZORCardFlowViewConstraint(A::MaxX, A::MaxX, 0.5, -0.5 * w) });
    m_rightGradientLayer->setConstraints(
        { ZORCardFlowViewConstraint(A::MaxX, A::MaxX), ZORCardFlowViewConstraint(A::MinY, A::MinY),
            ZORCardFlowViewConstraint(A::MaxY, A::MaxY), ZORCardFlowViewConstraint(A::MinX, A::MaxX, 0.5, 0.5 * w) });
    m_gradientLayer->setNeedsLayout();
}

// Tree of item layers.

ZORCardFlowView::Item ZORCardFlowView::insertLayerInScrollLayer(const fnd::Value& object, std::int64_t index)
{
    auto size = itemSize();
    double w = size.width, h = size.height;
    auto item = std::make_shared<ZORCardFlowItemLayer>();
    item->setBounds({ 0, 0, w, h });
    item->setValueForKey(object, "representedObject");
    item->setIndex(index);
    auto perspective = ui::Transform3D::identity();
    perspective.m34 = ItemPerspective;
    item->setSublayerTransform(perspective);
    item->setValueForKey(false, "hasImage");

    auto image = ui::Layer::layer();
    image->setName("image");
    image->setBounds({ 0, 0, w, h });
    image->setContents(m_placeholder);
    item->addSublayer(image);

    auto reflection = ui::Layer::layer();
    reflection->setName("reflection");
    reflection->setFrame({ 0, -h, w, h });
    reflection->setTransform(ui::Transform3D::scaling(1, -1, 1));
    reflection->setContents(m_placeholder);
    image->addSublayer(reflection);

    auto shadow = ui::Layer::layer();
    shadow->setFrame({ -1, 0, w + 2, h + 2 });
    shadow->setContents(m_shadowImage);
    shadow->setAutoresizingMask(ui::LayerAutoresizingMask::WidthSizable | ui::LayerAutoresizingMask::HeightSizable);
    reflection->addSublayer(shadow);

    // Shown when it comes into view: a long row costs only the cards that show.
    item->setHidden(true);
    m_scrollLayer->addSublayer(item);
    return { item, image, reflection, object, index, std::nullopt, false, false, m_contentGeneration };
}

std::vector<std::shared_ptr<ui::Layer>> ZORCardFlowView::itemLayers() const
{
    return m_scrollLayer ? m_scrollLayer->sublayers() : std::vector<std::shared_ptr<ui::Layer>> {};
}

std::shared_ptr<ui::Layer> ZORCardFlowView::layerForObject(const fnd::Value& object) const
{
    for (const auto& item : m_items)
        if (item.object == object)
            return item.layer;
    return nullptr;
}

// Selection.

void ZORCardFlowView::setSelectionIndex(std::int64_t index)
{
    if (index < 0 || index >= static_cast<std::int64_t>(m_items.size()))
        return;
    ui::TransactionScope transaction;
    auto event = ui::Application::shared().currentEvent();
    bool slow = event && (event->modifierFlags() & SlowMotionModifierMask) != 0;
    ui::Transaction::setValueForKey(
        float(slow ? SlowSelectionDuration : SelectionDuration), ui::TransactionKey::AnimationDuration);

    // A far move (the knob dragged, a program's choice) shows as a move of a few screens: the view first stands,
    // unanimated, that far from the new selection, as if it had come so far already. Every card that sweeps through
    // the view is placed, and those are then few however far the selection goes.
    const auto count = static_cast<std::int64_t>(m_items.size());
    const auto farthest = farthestAnimatedMove();
    if (m_laidOutSelection >= 0 && m_laidOutSelection < count && std::abs(index - m_laidOutSelection) > farthest) {
        ui::TransactionScope unanimated;
        ui::Transaction::setDisableActions(true);
        const auto kept = m_selectionIndex;
        m_selectionIndex = index + (m_laidOutSelection > index ? farthest : -farthest);
        m_scrollLayer->setNeedsLayout();
        m_scrollLayer->layoutIfNeeded();
        m_scrollLayer->scrollToPoint(
            { positionOfSelectedItem(), m_items[std::size_t(m_selectionIndex)].layer->frame().minY() });
        m_selectionIndex = kept;
    }

    willChangeValueForKey("selectionIndex");
    m_selectionIndex = index;
    didChangeValueForKey("selectionIndex");
    m_scrollLayer->setNeedsLayout();
    m_scrollLayer->layoutIfNeeded();
    m_scrollLayer->scrollToPoint({ positionOfSelectedItem(), m_items[std::size_t(index)].layer->frame().minY() });
    m_scroller->setIntegerValue(index);
    ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::SelectedChildrenChanged);
}

void ZORCardFlowView::userSelectIndex(std::int64_t index)
{
    auto count = static_cast<std::int64_t>(m_content.size());
    if (count == 0)
        return;
    index = std::clamp<std::int64_t>(index, 0, count - 1);
    if (auto info = infoForBinding("selectionIndex")) {
        auto observed = info->get(fnd::BindingInfoKey::ObservedObject).object();
        auto keyPath = info->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue();
        // A key path, not a single key: a binding to "selection.index" must reach the nested key.
        if (observed) {
            observed->setValueForKeyPath(index, keyPath);
            return;
        }
    }
    setSelectionIndex(index);
}

fnd::Value ZORCardFlowView::selectedObject() const
{
    if (m_content.empty() || m_selectionIndex < 0 || std::size_t(m_selectionIndex) >= m_content.size())
        return {};
    return m_content[std::size_t(m_selectionIndex)];
}

void ZORCardFlowView::setSelectedObject(const fnd::Value& object)
{
    for (std::size_t i = 0; i < m_content.size(); ++i)
        if (m_content[i] == object) {
            userSelectIndex(static_cast<std::int64_t>(i));
            return;
        }
    fnd::log("[ZORCardFlowView setSelectedObject:] -- The view does not contain the specified object.");
}

// Content.

void ZORCardFlowView::observeImageKeyPath(const fnd::Value& object, bool observe)
{
    auto o = object.object();
    if (!o || !m_imageKeyPath)
        return;
    if (observe)
        o->addObserver(
            *this, *m_imageKeyPath, fnd::KeyValueObservingOptions::None, &ZORCardFlowViewImageObservationContext);
    else
        o->removeObserver(*this, *m_imageKeyPath, &ZORCardFlowViewImageObservationContext);
}

std::vector<std::size_t> ZORCardFlowView::matchPositions(const std::vector<Item>& old, const fnd::Array& content)
{
    constexpr auto None = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> from(content.size(), None);
    // The objects that stand first, in the same order, keep their layers; so, when the content only lost objects,
    // does each object in the first old position holding an equal one after the last kept (which leaves the
    // objects left out to go): neither needs a table of every object.
    std::size_t begin = 0;
    while (begin < content.size() && begin < old.size() && old[begin].object == content[begin]) {
        from[begin] = begin;
        ++begin;
    }
    std::size_t j = begin, i = begin;
    for (; i < content.size(); ++i, ++j) {
        while (j < old.size() && !(old[j].object == content[i]))
            ++j;
        if (j == old.size())
            break;
        from[i] = j;
    }
    if (i == content.size())
        return from;
    // Otherwise each object takes the first old position, not yet taken, that holds an equal one. Each old object's
    // positions, first to last, are chained behind a hash table, so a change costs what the two contents hold rather
    // than their product.
    std::fill(from.begin() + std::ptrdiff_t(begin), from.end(), None);
    std::unordered_map<const fnd::Value*, std::size_t, ZORCardFlowViewObjectHash, ZORCardFlowViewObjectEqual> firstOld;
    firstOld.reserve(old.size() - begin);
    std::vector<std::size_t> nextOld(old.size(), None);
    for (std::size_t k = old.size(); k-- > begin;)
        if (auto [it, added] = firstOld.try_emplace(&old[k].object, k); !added) {
            nextOld[k] = it->second;
            it->second = k;
        }
    for (std::size_t k = begin; k < content.size(); ++k)
        if (auto it = firstOld.find(&content[k]); it != firstOld.end() && it->second != None) {
            from[k] = it->second;
            it->second = nextOld[it->second];
        }
    return from;
}

void ZORCardFlowView::setContent(const fnd::Array& content)
{
    if (content == m_content)
        return;
    willChangeValueForKey("content");
    m_content = content;
    ++m_contentGeneration;

    // Layers follow positions: an object that stays keeps its layer, and equal objects at two positions get a layer
    // each (one shared index would stack both pictures at one place and leave the other position empty).
    constexpr auto None = std::numeric_limits<std::size_t>::max();
    auto old = std::move(m_items);
    m_items.clear();
    const auto from = matchPositions(old, m_content);
    std::vector<bool> kept(old.size(), false);
    for (auto j : from)
        if (j != None)
            kept[j] = true;
    // The layers of objects that left show the objects that came, in content order, so that a change that
    // replaces objects neither makes layers nor takes them out of the scroll layer (each removal there costs a
    // pass over its sublayers).
    std::vector<std::size_t> freed;
    for (std::size_t j = 0; j < old.size(); ++j)
        if (!kept[j]) {
            observeImageKeyPath(old[j].object, false);
            freed.push_back(j);
        }

    std::vector<Item> items;
    items.reserve(m_content.size());
    std::vector<std::size_t> added;
    std::size_t reused = 0;
    {
        // Nothing here animates (what leaves has no action): no action is looked up for each.
        ui::TransactionScope transaction;
        ui::Transaction::setDisableActions(true);
        for (std::size_t i = 0; i < m_content.size(); ++i) {
            auto index = static_cast<std::int64_t>(i);
            if (from[i] != None) {
                items.push_back(std::move(old[from[i]]));
                if (items.back().index != index) {
                    items.back().layer->setIndex(index);
                    items.back().index = index;
                }
                continue;
            }
            if (reused < freed.size()) {
                items.push_back(std::move(old[freed[reused++]]));
                reuseItem(items.back(), m_content[i], index);
            } else {
                items.push_back(insertLayerInScrollLayer(m_content[i], index));
            }
            added.push_back(i);
        }
        // The layers left over leave the scroll layer together: one at a time, each searched the list and shifted the
        // rest. Their pending loads find them out of it and neither decode nor show their pictures.
        std::vector<std::shared_ptr<ui::Layer>> leaving;
        std::vector<fnd::Value> objects;
        leaving.reserve(freed.size() - reused);
        objects.reserve(freed.size() - reused);
        for (; reused < freed.size(); ++reused) {
            leaving.push_back(std::move(old[freed[reused]].layer));
            objects.push_back(std::move(old[freed[reused]].object));
        }
        m_scrollLayer->removeSublayers(leaving);
        old.clear();
        ui::Layer::release(std::move(leaving), std::move(objects));
    }
    m_items = std::move(items);
    m_shownItems.clear();
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].shown)
            m_shownItems.push_back(i);
    for (auto i : added) {
        observeImageKeyPath(m_items[i].object, true);
        refreshLayer(m_items[i].layer);
    }
    didChangeValueForKey("content");
    if (m_accessibilityItems.size() > m_content.size())
        m_accessibilityItems.resize(m_content.size());
    ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::ChildrenChanged);
    m_scroller->setNumberOfIncrements(m_content.empty() ? 0 : m_content.size() - 1);
    // Content shrunk below the selection: the last item faces front instead of none.
    auto last = static_cast<std::int64_t>(m_content.size()) - 1;
    auto clamped = std::clamp<std::int64_t>(m_selectionIndex, 0, std::max<std::int64_t>(last, 0));
    if (clamped != m_selectionIndex && m_content.empty()) {
        willChangeValueForKey("selectionIndex");
        m_selectionIndex = clamped;
        didChangeValueForKey("selectionIndex");
    }
    setSelectionIndex(clamped);
}

void ZORCardFlowView::reuseItem(Item& item, const fnd::Value& object, std::int64_t index)
{
    {
        // What the layer showed and how it moved belong to the object that left.
        ui::TransactionScope transaction;
        ui::Transaction::setDisableActions(true);
        for (ui::Layer* layer : { static_cast<ui::Layer*>(item.layer.get()), item.image.get(), item.reflection.get() })
            layer->removeAllAnimations();
        item.image->setContents(m_placeholder);
        item.reflection->setContents(m_placeholder);
    }
    item.layer->setValueForKey(object, "representedObject");
    if (item.index != index)
        item.layer->setIndex(index);
    item.object = object;
    item.index = index;
    item.placed.reset();
    item.inView = false;
    item.arrivedIn = m_contentGeneration;
}

std::shared_ptr<ui::Layer> ZORCardFlowView::layerAtIndex(std::int64_t index) const
{
    if (index < 0 || std::size_t(index) >= m_items.size())
        return nullptr;
    return m_items[std::size_t(index)].layer;
}

void ZORCardFlowView::setImageKeyPath(const std::optional<fnd::String>& keyPath)
{
    if (m_imageKeyPath) {
        for (const auto& item : m_items)
            observeImageKeyPath(item.object, false);
        m_imageKeyPath.reset();
    }
    m_imageKeyPath = keyPath;
    for (const auto& item : m_items) {
        observeImageKeyPath(item.object, true);
        refreshLayer(item.layer);
    }
}

void ZORCardFlowView::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change, const void* context)
{
    if (context != &ZORCardFlowViewImageObservationContext) {
        View::observeValueForKeyPath(keyPath, object, change, context);
        return;
    }
    // Every position that shows the object shows its new picture.
    auto changed = object.selfValue();
    for (const auto& item : m_items)
        if (item.object == changed)
            refreshLayer(item.layer);
}

// Subviews and accessory.

void ZORCardFlowView::layoutSubviewsForSize()
{
    if (!m_scroller)
        return;
    double W = frame().width();
    float baseLine = 16;
    if (m_showsScrollbar) {
        auto f = m_scroller->frame();
        m_scroller->setFrame({ (W - (W - 160)) / 2, 20, W - 160, f.height() });
        baseLine = float(m_scroller->frame().minY() + m_scroller->frame().height() + 16);
    }
    if (m_accessoryController && m_accessoryController->isViewLoaded()) {
        auto view = m_accessoryController->view();
        view->setFrameOrigin({ std::floor((W - view->frame().width()) / 2), baseLine });
    }
    rebuildContainerConstraints();
    setSelectionIndex(m_selectionIndex);
}

void ZORCardFlowView::resizeSubviewsWithOldSize(gfx::Size)
{
    layoutSubviewsForSize();
}

void ZORCardFlowView::viewWillMoveToSuperview(ui::View* superview)
{
    View::viewWillMoveToSuperview(superview);
    layoutSubviewsForSize();
}

void ZORCardFlowView::setShowsScrollbar(bool flag)
{
    m_showsScrollbar = flag;
    m_scroller->setHidden(!flag);
    layoutSubviewsForSize();
}

void ZORCardFlowView::setAutoresizesItems(bool flag)
{
    m_autoresizesItems = flag;
    layoutSubviewsForSize();
}

void ZORCardFlowView::setAccessoryController(const std::shared_ptr<ui::ViewController>& controller)
{
    if (controller == m_accessoryController)
        return;
    if (auto old = m_accessoryController) {
        if (old->isViewLoaded())
            old->view()->removeFromSuperview();
        old->unbind("representedObject");
        setNextResponder(old->nextResponder());
        m_accessoryController.reset();
    }
    m_accessoryController = controller;
    if (controller) {
        addSubview(controller->view());
        controller->setNextResponder(nextResponder());
        setNextResponder(controller);
        controller->bind("representedObject", *this, "selectedObject");
    }
    layoutSubviewsForSize();
}

// Input.

void ZORCardFlowView::sendAction()
{
    auto target = m_target.lock();
    if (target && !m_action.isNull())
        target->perform(m_action, selfValue());
}

void ZORCardFlowView::keyDown(const ui::Event& event)
{
    switch (event.keyCode()) {
    case ui::KeyCode::Return:
        if (m_target.lock() && !m_action.isNull()) {
            sendAction();
            return;
        }
        break;
    case ui::KeyCode::LeftArrow:
        userSelectIndex(m_selectionIndex - 1);
        return;
    case ui::KeyCode::RightArrow:
        userSelectIndex(m_selectionIndex + 1);
        return;
    default:
        break;
    }
    View::keyDown(event);
}

void ZORCardFlowView::mouseDown(const ui::Event& event)
{
    auto self = shared_from_this();
    if (event.clickCount() == 2)
        sendAction();
    auto index = indexOfItemAtPoint(convertPointFromView(event.locationInWindow(), nullptr));
    if (index >= 0)
        userSelectIndex(index);
}

void ZORCardFlowView::scrollWheel(const ui::Event& event)
{
    float dy = float(event.deltaY()), dx = float(event.deltaX());
    float delta;
    if (std::fabs(dy) > 0.4f)
        delta = dy;
    else if (std::fabs(dx) > 0.4f)
        delta = dx;
    else
        return;
    userSelectIndex(delta > 0 ? m_selectionIndex - 1 : m_selectionIndex + 1);
}

void ZORCardFlowView::scrollerChange(const fnd::Value&)
{
    switch (m_scroller->hitPart()) {
    case ui::ScrollerPart::Knob:
        userSelectIndex(m_scroller->integerValue());
        break;
    case ui::ScrollerPart::DecrementLine:
        userSelectIndex(m_selectionIndex - 1);
        break;
    case ui::ScrollerPart::IncrementLine:
        userSelectIndex(m_selectionIndex + 1);
        break;
    default:
        break;
    }
}
