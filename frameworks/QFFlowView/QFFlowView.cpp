// The flow view: creation, selection, input, the preview panel, the content binding, drags and archiving.

#include "frameworks/QFFlowView/QFFlowView.h"
#include "frameworks/QFFlowView/QFButtonLayer.h"
#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/files/FileURL.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/Outlet.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/Image.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/controls/ActionCell.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <cmath>
#include <utility>

FND_REGISTER_CLASS(QFFlowView, ui::Control)

namespace {

// Observation contexts, compared by identity.
const char QFFlowViewContentArrayObservationContext[] = "QFFlowViewContentArrayObservationContext";
const char QFFlowViewItemObservationContext[] = "kQFFlowViewIndividualItemKeyPathsObservationContext";

const fnd::String& QFFlowViewContentArrayBinding = fnd::BindingName::ContentArray;
const char* const QFFlowViewKeyPathNames[4]
    = { "imageRepresentationKeyPath", "imageRepresentationTypeKeyPath", "imageUIDKeyPath", "imageTitleKeyPath" };
const char* const QFFlowViewDefaultKeyPaths[3]
    = { "imageItemRepresentation", "imageItemRepresentationType", "imageItemUID" };

// Archive keys, in the order they are written.
const char* const QFFlowViewArchiveDoubles[5]
    = { "stackedAngle", "spacing", "selectedScale", "stackedScale", "reflectionOffset" };

}

void QFFlowView::describeClass(fnd::ClassBuilder<QFFlowView>& c)
{
    c.property("stackedAngle", &QFFlowView::stackedAngle, &QFFlowView::setStackedAngle);
    c.property("spacing", &QFFlowView::spacing, &QFFlowView::setSpacing);
    c.property("selectedScale", &QFFlowView::selectedScale, &QFFlowView::setSelectedScale);
    c.property("stackedScale", &QFFlowView::stackedScale, &QFFlowView::setStackedScale);
    c.property("reflectionOffset", &QFFlowView::reflectionOffset, &QFFlowView::setReflectionOffset);
    c.property("showsReflection", &QFFlowView::showsReflection, &QFFlowView::setShowsReflection);
    c.property("itemScale", &QFFlowView::itemScale, &QFFlowView::setItemScale);
    c.property("previewScale", &QFFlowView::previewScale, &QFFlowView::setPreviewScale);
    c.property("scrollDuration", &QFFlowView::scrollDuration, &QFFlowView::setScrollDuration);
    c.property(
        "selectedIndex", [](const QFFlowView& v) { return std::uint64_t(v.selectedIndex()); },
        [](QFFlowView& v, std::uint64_t index) { v.setSelectedIndex(std::size_t(index)); });
    c.property("title", &QFFlowView::title, &QFFlowView::setTitle);
    c.property(
        "dataSource", [](const QFFlowView& v) { return std::dynamic_pointer_cast<fnd::Object>(v.dataSource()); },
        [](QFFlowView& v, const std::shared_ptr<fnd::Object>& object) {
            v.setDataSource(fnd::outletOfKind<QFFlowViewDataSource>(object, "flow view data source"));
        });
    c.property(
        "delegate", [](const QFFlowView& v) { return std::dynamic_pointer_cast<fnd::Object>(v.delegate()); },
        [](QFFlowView& v, const std::shared_ptr<fnd::Object>& object) {
            v.setDelegate(fnd::outletOfKind<QFFlowViewDelegate>(object, "flow view delegate"));
        });
    for (int i = 0; i < 4; ++i)
        c.property(
            QFFlowViewKeyPathNames[i],
            [i](const QFFlowView& v) { return v.m_keyPaths[i] ? fnd::Value(*v.m_keyPaths[i]) : fnd::Value(); },
            [i](QFFlowView& v, fnd::Value path) {
                v.setKeyPath(i, path.isString() ? std::optional<fnd::String>(path.stringValue()) : std::nullopt);
            });
    c.action("moveLeft:", &QFFlowView::moveLeft);
    c.action("moveRight:", &QFFlowView::moveRight);
    c.action("togglePreviewPanel:", &QFFlowView::togglePreviewPanel);
    c.exposeBinding(QFFlowViewContentArrayBinding);
    for (const char* name : QFFlowViewKeyPathNames)
        c.exposeBinding(name);
}

std::shared_ptr<QFFlowView> QFFlowView::create(gfx::Rect frame)
{
    return ui::makeView<QFFlowView>(frame);
}

void QFFlowView::initWithFrame(gfx::Rect frame)
{
    Control::initWithFrame(frame);
    m_operationQueue = std::make_shared<fnd::OperationQueue>();
    m_operationQueue->setName("QFFlowView pictures");
    m_imageCache.setTotalCostLimit(DefaultImageCacheBytes);
    setDefaults();
    setupLayers();
    m_title = "Title";
    setTitleSize(18);
    ui::registerForDraggedTypes(*this, { ui::PasteboardType::URL });
}

QFFlowView::~QFFlowView()
{
    if (m_operationQueue)
        m_operationQueue->cancelAllOperations();
    stopObservingTitle();
    stopObservingCollection(distinctObservedItems(), observedItemKeyPaths());
    if (m_contentBinding)
        if (auto controller = m_contentBinding->get(fnd::BindingInfoKey::ObservedObject).object())
            controller->removeObserver(*this, m_contentBinding->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue(),
                QFFlowViewContentArrayObservationContext);
}

std::shared_ptr<ui::Cell> QFFlowView::makeCell() const
{
    return fnd::makeObject<ui::ActionCell>();
}

// Selection.

void QFFlowView::setSelectedIndex(std::size_t index)
{
    if (index == m_selectedIndex || index >= m_numberOfItems)
        return;
    auto self = shared_from_this();
    deselectLayerAtIndex(m_selectedIndex);
    willChangeValueForKey("selectedIndex");
    m_selectedIndex = index;
    didChangeValueForKey("selectedIndex");
    // The items follow the new selection through the scroll layer's layout pass.
    if (m_scrollLayer)
        m_scrollLayer->setNeedsLayout();
    updateSelectionInRange({ std::int64_t(index), 0 });
    selectLayerAtIndex(index);
    if (m_backgroundElement)
        ui::accessibilityPostNotification(*m_backgroundElement, ui::AccessibilityNotification::SelectedChildrenChanged);
    if (auto d = delegate())
        d->flowViewSelectionDidChange(*this);
    if (bindingsEnabled())
        if (auto controller
            = m_contentBinding->get(fnd::BindingInfoKey::ObservedObject).objectAs<fnd::ArrayController>())
            controller->setSelectionIndex(fnd::Index(index));
}

void QFFlowView::moveLeft(const fnd::Value&)
{
    if (m_selectedIndex != NotFound && m_selectedIndex > 0)
        setSelectedIndex(m_selectedIndex - 1);
}

void QFFlowView::moveRight(const fnd::Value&)
{
    if (m_selectedIndex != NotFound)
        setSelectedIndex(m_selectedIndex + 1);
}

void QFFlowView::setDraggingKnob(bool flag)
{
    if (flag == m_draggingKnob)
        return;
    m_draggingKnob = flag;
    if (!flag && m_selectedIndex != NotFound)
        selectLayerAtIndex(m_selectedIndex);
}

void QFFlowView::setSelectedLayer(const std::shared_ptr<ui::Layer>& layer)
{
    if (layer != m_selectedLayer) {
        if (m_selectedLayer)
            m_selectedLayer->setValueForKey(false, "highlighted");
        m_selectedLayer = layer;
    }
    if (m_selectedLayer)
        m_selectedLayer->setValueForKey(true, "highlighted");
}

void QFFlowView::setHighlightedLayer(const std::shared_ptr<ui::Layer>& layer)
{
    if (layer == m_highlightedLayer)
        return;
    if (m_highlightedLayer)
        highlightLayer(*m_highlightedLayer, false, 0, nullptr);
    m_highlightedLayer = layer;
    if (m_highlightedLayer)
        highlightLayer(*m_highlightedLayer, true, 0, gfx::Color::selectedControlColor());
}

// Keys, wheel and swipe.

void QFFlowView::keyDown(const ui::Event& event)
{
    if (m_canControlQuickLookPanel && event.characters() == fnd::String(" ")) {
        // The space still goes on: an enclosing responder may act on it as well.
        togglePreviewPanel({});
        Control::keyDown(event);
        return;
    }
    switch (event.keyCode()) {
    case ui::KeyCode::LeftArrow:
        moveLeft({});
        return;
    case ui::KeyCode::RightArrow:
        moveRight({});
        return;
    default:
        Control::keyDown(event);
    }
}

void QFFlowView::selectByDelta(double delta)
{
    if (m_selectedIndex == NotFound)
        return;
    // Signed arithmetic: a step before the first item is ignored rather than wrapped round.
    double target = std::trunc(double(m_selectedIndex) + delta);
    if (!(target >= 0) || target >= double(m_numberOfItems))
        return;
    setSelectedIndex(std::size_t(target));
}

namespace {

// The event's delta along its main axis: the horizontal one when it is the larger.
double QFFlowViewMainDelta(const ui::Event& event)
{
    return std::fabs(event.deltaX()) > std::fabs(event.deltaY()) ? event.deltaX() : event.deltaY();
}

}

void QFFlowView::scrollWheel(const ui::Event& event)
{
    // A positive delta (the wheel turned up or left) shows what lies before, as in a scroll view and the card-flow
    // view: the previous item.
    selectByDelta(-QFFlowViewMainDelta(event));
}

void QFFlowView::swipeWithEvent(const ui::Event& event)
{
    // Fingers moving left (a positive delta) move the row with them and bring the next item in.
    selectByDelta(QFFlowViewMainDelta(event));
}

// Mouse.

void QFFlowView::mouseDown(const ui::Event& event)
{
    auto self = shared_from_this();
    // A knob drag whose release never came (the view left its window meanwhile) ends at the next press.
    setDraggingKnob(false);
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    auto hit = hitLayerAtPoint(point);
    auto index = indexOfItemAtPoint(point);
    if (index != NotFound && index == m_selectedIndex) {
        if (event.clickCount() < 2) {
            startDragOfItemAtIndex(index, event);
        } else if (auto d = delegate(); d && d->flowViewItemWasDoubleClickedAtIndex(*this, index)) {
        } else if (!action().isNull()) {
            sendAction(action(), target());
        } else {
            auto item = imageItemForIndex(index);
            if (isPathType(imageRepresentationTypeForItem(item)))
                if (auto path = pathOfRepresentation(imageRepresentationForItem(item)))
                    (void)fnd::Workspace::sharedWorkspace().openFile(*path);
        }
    } else if (index == NotFound && hit) {
        if (hit->name() == QFFlowViewLayerName::ScrollBar) {
            auto inBar = m_scrollBarLayer->convertPointFromLayer(point, nullptr);
            auto knob = scrollKnobLayer();
            if (inBar && knob)
                knob->frame().minX() > inBar->x ? moveLeft({}) : moveRight({});
        } else if (hit->name() == QFFlowViewLayerName::ScrollKnob) {
            auto inKnob = hit->convertPointFromLayer(point, nullptr);
            m_mouseDownInKnob = inKnob ? inKnob->x : 0;
            m_knobWidthAtMouseDown = hit->bounds().width();
            setDraggingKnob(true);
        }
    } else if (index != NotFound) {
        setSelectedIndex(index);
    }
    setSelectedLayer(hit);
}

void QFFlowView::mouseDragged(const ui::Event& event)
{
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    setSelectedLayer(hitLayerAtPoint(point));
    if (!m_draggingKnob || m_numberOfItems == 0)
        return;
    auto inBar = m_scrollBarLayer->convertPointFromLayer(point, nullptr);
    auto knob = scrollKnobLayer();
    if (!inBar || !knob)
        return;
    double range = m_scrollBarLayer->bounds().width() - knob->bounds().width();
    if (range <= 0)
        return;
    // The knob is held at the same share of its width as where it was grabbed: its width follows the items in view,
    // and a grab further in than the knob is now wide would keep the far end out of reach.
    const double grab = m_knobWidthAtMouseDown > 0 ? m_mouseDownInKnob / m_knobWidthAtMouseDown * knob->bounds().width()
                                                   : m_mouseDownInKnob;
    double fraction = std::clamp(inBar->x - grab, 0.0, range) / range;
    // The far end is the last item, not one past it.
    setSelectedIndex(std::size_t(std::lround(double(m_numberOfItems - 1) * fraction)));
}

void QFFlowView::mouseUp(const ui::Event&)
{
    setDraggingKnob(false);
    if (auto button = std::dynamic_pointer_cast<QFButtonLayer>(m_selectedLayer))
        button->performClick(selfValue());
}

void QFFlowView::rightMouseUp(const ui::Event& event)
{
    auto index = indexOfItemAtPoint(convertPointFromView(event.locationInWindow(), nullptr));
    if (index == NotFound)
        return;
    if (auto d = delegate())
        d->flowViewItemWasRightClickedAtIndex(*this, index, event);
}

void QFFlowView::mouseEntered(const ui::Event&)
{
    if (auto overlay = overlayLayerAtIndex(m_selectedIndex)) {
        overlay->setHidden(false);
        overlay->setNeedsDisplay();
    }
}

void QFFlowView::mouseExited(const ui::Event&)
{
    if (auto overlay = overlayLayerAtIndex(m_selectedIndex))
        overlay->setHidden(true);
}

// Window and superview.

void QFFlowView::viewWillMoveToWindow(ui::Window* newWindow)
{
    auto old = window();
    Control::viewWillMoveToWindow(newWindow);
    if (newWindow && !old) {
        setupLayers();
        setupTrackingAreas();
        // The new tree has no items yet: a view given its items before (from awakeFromNib, or on a tab page shown
        // again) shows them at once instead of blank pages until its next reload.
        if (m_numberOfItems > 0)
            reloadContent();
    } else if (!newWindow && old) {
        // A knob drag ends here: its release goes to the window the view left.
        setDraggingKnob(false);
        setSelectedLayer(nullptr);
        // Out of every window nothing shows, so it keeps no pictures (a view on each tab page kept a full cache
        // each, for good); coming back, the reload loads them again.
        dropPictures();
        tearDownLayers();
    }
}

void QFFlowView::viewWillMoveToSuperview(ui::View* superview)
{
    Control::viewWillMoveToSuperview(superview);
    if (superview || !this->superview())
        return;
    stopObservingTitle();
    stopObservingCollection(distinctObservedItems(), observedItemKeyPaths());
    m_observedItems.clear();
    m_observedItemCounts.clear();
    unbind(QFFlowViewContentArrayBinding);
}

void QFFlowView::viewDidEndLiveResize()
{
    Control::viewDidEndLiveResize();
    updateImages();
}

// Drag source.

void QFFlowView::startDragOfItemAtIndex(std::size_t index, const ui::Event& event)
{
    auto item = imageItemForIndex(index);
    auto type = imageRepresentationTypeForItem(item);
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    auto source = dataSource();
    bool written = false;
    if (source && source->respondsToWriteItem())
        written = source->flowViewWriteItemAtIndex(*this, index, *pasteboard);
    else if (isPathType(type)) {
        if (auto path = pathOfRepresentation(imageRepresentationForItem(item))) {
            pasteboard->declareTypes({ ui::PasteboardType::URL });
            written = pasteboard->setString(fnd::fileURLWithPath(*path), ui::PasteboardType::URL);
        }
    }
    if (!written)
        return;
    auto content = imageLayerAtIndex(index);
    auto picture = lookupForImageUID(imageUIDForItem(item));
    if (!picture && content)
        picture = content->contents();
    auto image = picture ? gfx::Image::imageWithRepresentation(picture) : nullptr;
    if (image && content)
        image->setSize(content->bounds().size);
    if (!image)
        return;
    auto origin = itemFrameAtIndex(index).origin;
    ui::dragImage(*this, image, origin, {}, event, pasteboard, shared_from_this(), true);
}

ui::DragOperation QFFlowView::draggingSourceOperationMaskForLocal(bool isLocal)
{
    return isLocal ? ui::DragOperations::Move : ui::DragOperations::Copy;
}

void QFFlowView::draggedImageEndedAt(gfx::Image&, gfx::Point, ui::DragOperation operation)
{
    if (operation == ui::DragOperations::Delete)
        if (auto source = dataSource())
            source->flowViewRemoveItemAtIndex(*this, m_selectedIndex);
}

// Drag destination.

ui::DragOperation QFFlowView::draggingEntered(ui::DraggingInfo& info)
{
    if (info.draggingSource().get() != this)
        setHighlightedLayer(m_backgroundLayer);
    return ui::DragOperations::None;
}

std::optional<ui::DragOperation> QFFlowView::draggingUpdated(ui::DraggingInfo& info)
{
    auto index = indexOfItemAtPoint(convertPointFromView(info.draggingLocation(), nullptr));
    bool fromSelf = info.draggingSource().get() == this;
    if (index == NotFound) {
        if (!fromSelf)
            setHighlightedLayer(m_backgroundLayer);
        return ui::DragOperations::None;
    }
    if (fromSelf && index == m_selectedIndex)
        return ui::DragOperations::None;
    setHighlightedLayer(imageLayerAtIndex(index));
    if (auto source = dataSource())
        if (auto operation = source->flowViewValidateDrop(*this, info, index))
            return *operation;
    return ui::DragOperations::None;
}

void QFFlowView::draggingExited(ui::DraggingInfo&)
{
    setHighlightedLayer(nullptr);
}

bool QFFlowView::performDragOperation(ui::DraggingInfo& info)
{
    auto index = indexOfItemAtPoint(convertPointFromView(info.draggingLocation(), nullptr));
    if (index == NotFound)
        return false;
    if (auto source = dataSource())
        return source->flowViewAcceptDrop(*this, info, index).value_or(false);
    return false;
}

void QFFlowView::concludeDragOperation(ui::DraggingInfo&)
{
    setHighlightedLayer(nullptr);
}

// Preview panel.

void QFFlowView::togglePreviewPanel(const fnd::Value&)
{
    if (ui::PreviewPanel::sharedPreviewPanelExists() && ui::PreviewPanel::sharedPreviewPanel()->isVisible())
        ui::PreviewPanel::sharedPreviewPanel()->orderOut();
    else
        ui::PreviewPanel::sharedPreviewPanel()->makeKeyAndOrderFront();
}

bool QFFlowView::acceptsPreviewPanelControl(ui::PreviewPanel&)
{
    return isPathType(imageRepresentationTypeForItem(imageItemForIndex(m_selectedIndex)));
}

void QFFlowView::beginPreviewPanelControl(ui::PreviewPanel& panel)
{
    auto self = std::static_pointer_cast<QFFlowView>(shared_from_this());
    panel.setDelegate(self);
    panel.setDataSource(self);
}

fnd::String QFFlowView::previewPanelPreviewItemAtIndex(ui::PreviewPanel&, long)
{
    auto item = imageItemForIndex(m_selectedIndex);
    if (!isPathType(imageRepresentationTypeForItem(item)))
        return {};
    auto path = pathOfRepresentation(imageRepresentationForItem(item));
    return path ? fnd::fileURLWithPath(*path) : fnd::String();
}

bool QFFlowView::previewPanelHandleEvent(ui::PreviewPanel& panel, const ui::Event& event)
{
    if (event.type() != ui::EventType::KeyDown)
        return false;
    keyDown(event);
    panel.reloadData();
    return true;
}

std::optional<gfx::Rect> QFFlowView::previewPanelSourceFrameOnScreenForPreviewItem(ui::PreviewPanel&, long)
{
    auto content = imageLayerAtIndex(m_selectedIndex);
    auto w = window();
    if (!content || !w)
        return std::nullopt;
    return w->convertRectToScreen(convertRectToView(rectInViewForLayer(*content), nullptr));
}

// Bindings.

bool QFFlowView::bindingsEnabled() const
{
    return m_contentBinding.has_value();
}

fnd::Array QFFlowView::contentArray() const
{
    if (!m_contentBinding)
        return {};
    auto controller = m_contentBinding->get(fnd::BindingInfoKey::ObservedObject).object();
    if (!controller)
        return {};
    auto value = controller->valueForKeyPath(m_contentBinding->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue());
    return value.isArray() ? *value.array() : fnd::Array {};
}

std::vector<fnd::String> QFFlowView::observedItemKeyPaths() const
{
    std::vector<fnd::String> paths;
    for (const auto& path : m_keyPaths)
        if (path)
            paths.push_back(*path);
    return paths;
}

void QFFlowView::startObservingCollection(const fnd::Array& items, const std::vector<fnd::String>& keyPaths)
{
    using O = fnd::KeyValueObservingOptions;
    // The initial notifications drop pictures cached under a new item's identifier, which may be another item's.
    const bool wasObserving = std::exchange(m_observingNewItems, true);
    try {
        for (const auto& item : items)
            if (auto object = item.object())
                for (const auto& path : keyPaths)
                    object->addObserver(*this, path, O::New | O::Old | O::Initial, QFFlowViewItemObservationContext);
    } catch (...) {
        m_observingNewItems = wasObserving;
        throw;
    }
    m_observingNewItems = wasObserving;
}

void QFFlowView::stopObservingCollection(const fnd::Array& items, const std::vector<fnd::String>& keyPaths)
{
    // Every path of an item at once; a path not observed (an item that joined after it was set) is passed over.
    for (const auto& item : items)
        if (auto* object = item.objectPointer())
            object->removeObserverForKeyPaths(*this, keyPaths, QFFlowViewItemObservationContext);
}

void QFFlowView::setKeyPath(int which, const std::optional<fnd::String>& path)
{
    if (path == m_keyPaths[which])
        return;
    auto items = distinctObservedItems();
    if (m_keyPaths[which])
        stopObservingCollection(items, { *m_keyPaths[which] });
    m_keyPaths[which] = path;
    if (path)
        startObservingCollection(items, { *path });
    // A title key path takes over following the selected item's title, or hands it back.
    if (which == 3)
        observeTitleOfItem(imageItemForIndex(m_selectedIndex));
}

fnd::Array QFFlowView::distinctObservedItems() const
{
    fnd::Array items;
    items.reserve(m_observedItemCounts.size());
    for (const auto& [object, count] : m_observedItemCounts)
        items.push_back(object->selfValue());
    return items;
}

void QFFlowView::observeItems(const fnd::Array& items)
{
    fnd::Array joining;
    for (const auto& item : items)
        if (auto* object = item.objectPointer(); object && m_observedItemCounts[object]++ == 0)
            joining.push_back(item);
    startObservingCollection(joining, observedItemKeyPaths());
}

void QFFlowView::forgetItems(const fnd::Array& items)
{
    // Each object is let go of as its count runs out, not gathered into a list first: a list of many objects
    // touches each one's count again, twice.
    const auto keyPaths = observedItemKeyPaths();
    for (const auto& item : items) {
        auto* object = item.objectPointer();
        auto found = m_observedItemCounts.find(object);
        if (found == m_observedItemCounts.end() || --found->second > 0)
            continue;
        m_observedItemCounts.erase(found);
        object->removeObserverForKeyPaths(*this, keyPaths, QFFlowViewItemObservationContext);
    }
}

void QFFlowView::bind(
    const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath, const fnd::Dictionary& options)
{
    if (binding != QFFlowViewContentArrayBinding) {
        Control::bind(binding, observable, keyPath, options);
        return;
    }
    if (!observable.isKindOf<fnd::ArrayController>()) {
        fnd::AssertionHandler::current().handleFailure(
            "NSContentArrayBinding needs to be bound to an NSArrayController!", std::source_location::current());
        return;
    }
    unbind(binding);
    auto controller = observable.selfValue();
    m_contentBinding = fnd::Dictionary { { fnd::BindingInfoKey::ObservedObject, controller },
        { fnd::BindingInfoKey::ObservedKeyPath, keyPath }, { fnd::BindingInfoKey::Options, options } };
    for (int i = 0; i < 3; ++i)
        if (!m_keyPaths[i])
            m_keyPaths[i] = fnd::String(QFFlowViewDefaultKeyPaths[i]);
    using O = fnd::KeyValueObservingOptions;
    observable.addObserver(*this, keyPath, O::New | O::Old | O::Initial, QFFlowViewContentArrayObservationContext);
}

void QFFlowView::unbind(const fnd::String& binding)
{
    if (binding != QFFlowViewContentArrayBinding) {
        Control::unbind(binding);
        return;
    }
    if (!m_contentBinding)
        return;
    if (auto controller = m_contentBinding->get(fnd::BindingInfoKey::ObservedObject).object())
        controller->removeObserver(*this, m_contentBinding->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue(),
            QFFlowViewContentArrayObservationContext);
    stopObservingCollection(distinctObservedItems(), observedItemKeyPaths());
    m_observedItems.clear();
    m_observedItemCounts.clear();
    m_contentBinding.reset();
    setNeedsDisplay(true);
}

std::optional<fnd::Dictionary> QFFlowView::infoForBinding(const fnd::String& binding) const
{
    if (binding == QFFlowViewContentArrayBinding)
        return m_contentBinding;
    return Control::infoForBinding(binding);
}

void QFFlowView::contentArrayDidChange(const fnd::KeyValueChange& change)
{
    // An insertion, removal or replacement touches only its items: rebuilding every item's layer for one added
    // object made a growing collection slower with every object.
    if (applyContentChange(change))
        return;
    auto next = contentArray();
    // A content set to part of itself is the removal of the rest: the items that stay keep their layers.
    if (change.kind == fnd::KeyValueChangeKind::Setting)
        if (auto removal = removalLeaving(next); removal && applyContentChange(*removal))
            return;
    // The items are read from the new content as they join (their first notifications look at the selected one).
    auto previous = std::exchange(m_observedItems, std::move(next));
    observeItems(m_observedItems);
    forgetItems(previous);
    reloadContent();
}

void QFFlowView::refreshChangedItemLayers()
{
    if (m_changedItems.empty())
        return;
    auto changed = std::exchange(m_changedItems, {});
    if (!bindingsEnabled())
        return;
    ui::TransactionScope transaction;
    ui::Transaction::setDisableActions(true);
    for (std::size_t index = 0; index < m_observedItems.size() && index < m_itemLayers.size(); ++index) {
        const auto& item = m_observedItems[index];
        if (!changed.contains(item.objectPointer()))
            continue;
        const auto& layer = m_itemLayers[index];
        auto uid = imageUIDForItem(item);
        m_itemUIDsMayBeObjects |= uid.isObject();
        layer->setValueForKey(uid, QFFlowViewLayerKey::UID);
        auto content = layer->sublayers().front();
        content->setValueForKey(uid, QFFlowViewLayerKey::UID);
        content->setName(contentLayerNameOfItem(item));
    }
}

void QFFlowView::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change, const void* context)
{
    if (context == QFFlowViewContentArrayObservationContext) {
        contentArrayDidChange(change);
        return;
    }
    if (context == titleObservationContext()) {
        if (m_selectedIndex != NotFound && imageItemForIndex(m_selectedIndex).objectPointer() == &object)
            setTitle(imageTitleForItem(object.selfValue()));
        return;
    }
    if (context != QFFlowViewItemObservationContext) {
        Control::observeValueForKeyPath(keyPath, object, change, context);
        return;
    }
    if (keyPath == m_keyPaths[0] || keyPath == m_keyPaths[1] || keyPath == m_keyPaths[2]) {
        // The picture is out of date: under the identifier the item had (a changed identifier's old one). A joining
        // item drops one cached under its identifier for another item; with none cached or on its way there is
        // nothing to drop (thousands of items join at a bind).
        if (!m_observingNewItems || !m_pictureLoads.empty() || m_imageCache.count() > 0) {
            auto uid = keyPath == m_keyPaths[2] && !change.oldValue.isNil() ? change.oldValue
                                                                            : imageUIDForItem(object.selfValue());
            if (auto key = cacheKey(uid)) {
                m_imageCache.removeObjectForKey(*key);
                forgetOutdatedPictureLoads(*key);
            }
        }
        // Its layers take its new identifier and kind at the layout this asks for (a joining item's are made for it
        // as it is now).
        if (!m_observingNewItems && bindingsEnabled())
            m_changedItems.insert(&object);
        if (m_scrollLayer)
            m_scrollLayer->setNeedsLayout();
    } else if (keyPath == m_keyPaths[3]) {
        // Only the selected item's title shows: another item renamed (or naming itself as it joins) would put its
        // title under the selected picture.
        if (m_selectedIndex != NotFound && imageItemForIndex(m_selectedIndex).objectPointer() == &object)
            setTitle(imageTitleForItem(object.selfValue()));
    }
}

// Archiving.

void QFFlowView::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        throw fnd::Exception(fnd::ExceptionName::InvalidArchiveOperation, "Only supports NSKeyedArchiver coders");
    ui::Control::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        throw fnd::Exception(fnd::ExceptionName::InvalidArchiveOperation, "Only supports NSKeyedArchiver coders");
    const double values[5] = { m_stackedAngle, m_spacing, m_selectedScale, m_stackedScale, m_reflectionOffset };
    for (int i = 0; i < 5; ++i)
        coder.encodeDouble(values[i], QFFlowViewArchiveDoubles[i]);
    coder.encodeDouble(m_showsReflection ? 1 : 0, "showsReflection");
    const auto& p = m_perspective;
    fnd::Array matrix { p.m11, p.m12, p.m13, p.m14, p.m21, p.m22, p.m23, p.m24, p.m31, p.m32, p.m33, p.m34, p.m41,
        p.m42, p.m43, p.m44 };
    coder.encodeObject(matrix, "perspective");
    coder.encodeDouble(m_scrollDuration, "scrollDuration");
    coder.encodeDouble(m_itemScale, "itemScale");
    coder.encodeDouble(m_previewScale, "previewScale");
}

bool QFFlowView::initWithCoder(fnd::Coder& coder)
{
    // The control's part runs initWithFrame: the queue, the cache, the defaults, the title and the drag types.
    if (!ui::Control::initWithCoder(coder))
        return false;
    m_selectedIndex = NotFound;
    if (coder.allowsKeyedCoding()) {
        // Through the setters, so decoded values are clamped as set ones are; an absent key keeps the default.
        auto decode = [&](const char* key, auto setter) {
            if (coder.containsValueForKey(key)) {
                double value = coder.decodeDoubleForKey(key);
                if (std::isfinite(value))
                    (this->*setter)(value);
            }
        };
        decode("stackedAngle", &QFFlowView::setStackedAngle);
        decode("spacing", &QFFlowView::setSpacing);
        decode("selectedScale", &QFFlowView::setSelectedScale);
        decode("stackedScale", &QFFlowView::setStackedScale);
        decode("reflectionOffset", &QFFlowView::setReflectionOffset);
        if (coder.containsValueForKey("showsReflection"))
            setShowsReflection(coder.decodeBoolForKey("showsReflection"));
        if (coder.containsValueForKey("perspective")) {
            auto matrix = coder.decodeObjectForKey("perspective");
            double m[16];
            bool valid = matrix.isArray() && matrix.array()->size() == 16;
            for (std::size_t i = 0; valid && i < 16; ++i) {
                const auto& v = (*matrix.array())[i];
                m[i] = v.isNumber() ? v.doubleValue() : NAN;
                valid = std::isfinite(m[i]);
            }
            if (!valid) {
                fnd::failDecoding(coder, "the flow view's perspective is not sixteen numbers");
                return false;
            }
            setPerspective({ m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], m[12], m[13],
                m[14], m[15] });
        }
        decode("scrollDuration", &QFFlowView::setScrollDuration);
        decode("itemScale", &QFFlowView::setItemScale);
        decode("previewScale", &QFFlowView::setPreviewScale);
    }
    if (coder.hasFailed())
        return false;
    // A decoded view has no title and takes no drags; the rest of initWithFrame's set-up stands.
    m_title = fnd::String();
    ui::unregisterDraggedTypes(*this);
    setupLayers();
    return true;
}
