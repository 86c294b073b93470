#pragma once

#include "frameworks/QFFlowView/QFFlowViewProtocols.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Cache.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/layers/GradientLayer.h"
#include "platform/layers/Layer.h"
#include "platform/layers/ReplicatorLayer.h"
#include "platform/layers/ScrollLayer.h"
#include "platform/layers/TextLayer.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/panels/PreviewPanel.h"
#include "platform/ui/views/Animator.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

class QFLayerAccessibilityHelper;
namespace fnd {
class ArrayController;
}

// How an item describes its picture: the value of each constant is its own name, except the image-source type's.
namespace QFFlowViewRepresentationType {
inline const fnd::String URL = "QFFlowViewURLRepresentationType";
inline const fnd::String CGImage = "QFFlowViewCGImageRepresentationType";
inline const fnd::String PDFPage = "QFFlowViewPDFPageRepresentationType";
inline const fnd::String Path = "QFFlowViewPathRepresentationType";
inline const fnd::String NSImage = "QFFlowViewNSImageRepresentationType";
inline const fnd::String CGImageSource = "QFFlowViewImageSourceRepresentationType";
inline const fnd::String NSData = "QFFlowViewNSDataRepresentationType";
inline const fnd::String NSBitmap = "QFFlowViewNSBitmapRepresentationType";
inline const fnd::String QCComposition = "QFFlowViewQCCompositionRepresentationType";
inline const fnd::String QCCompositionPath = "QFFlowViewQCCompositionPathRepresentationType";
inline const fnd::String QuickLookPath = "QFFlowViewQuickLookPathRepresentationType";
inline const fnd::String IconRefPath = "QFFlowViewIconRefPathRepresentationType";
inline const fnd::String IconRef = "QFFlowViewIconRefRepresentationType";
}
inline const fnd::String QFFlowViewSelectionDidChangeNotification = "QFFlowViewSelectionDidChangeNotification";

// Layer names and layer value keys of the flow view's tree.
namespace QFFlowViewLayerName {
inline const fnd::String Container = "QFFlowViewContainerLayer";
inline const fnd::String Title = "QFFlowViewTitleLayer";
inline const fnd::String ScrollBar = "QFFlowViewScrollBarLayerName";
inline const fnd::String ScrollKnob = "QFFlowViewScrollKnobLayerName";
inline const fnd::String Content = "QFFlowViewContentLayer";
inline const fnd::String Overlay = "QFFlowViewOverlayLayerName";
}

// Keys of the values the flow view keeps on its layers (made once: a reload sets them on thousands of layers).
namespace QFFlowViewLayerKey {
inline const fnd::String Index = "index";
inline const fnd::String UID = "imageItemUID";
inline const fnd::String AccessibilityElement = "axHelper";
inline const fnd::String AspectRatio = "aspectRatioKey";
inline const fnd::String Overlay = "overlayLayerKey";
}

// The layer of one item: its picture and, as the replicator's second instance, the reflection. Its "index" (the
// item's place in the content) lives on the layer, not among its values: a change renumbers every item after its
// first place, and a value's write costs a transaction's bookkeeping each.
class QFFlowViewItemLayer : public ui::ReplicatorLayer {
    UI_LAYER_OBJECT(QFFlowViewItemLayer)
    static void describeClass(fnd::ClassBuilder<QFFlowViewItemLayer>& c);

public:
    bool containsPoint(gfx::Point point) const override;
    // A presentation copy answers its layer's.
    std::int64_t index() const;
    void setIndex(std::int64_t index) { m_index = index; }
    void initWithLayer(const ui::Layer& layer) override;

private:
    std::atomic<std::int64_t> m_index { 0 };
};

// The picture layer of one item, its item layer's first sublayer. Its "index" is its item layer's, so that
// renumbering the items touches one layer each; outside an item layer it answers the one it was given.
class QFFlowViewContentLayer : public ui::Layer {
    UI_LAYER_OBJECT(QFFlowViewContentLayer)
    static void describeClass(fnd::ClassBuilder<QFFlowViewContentLayer>& c);

public:
    std::int64_t index() const;
    void setIndex(std::int64_t index) { m_index = index; }
    void initWithLayer(const ui::Layer& layer) override;

private:
    std::atomic<std::int64_t> m_index { 0 };
};

// Shows the items of a data source or a bound array controller as a row of pictures in perspective: the selected
// one in front, the others stacked and turned at both sides, each with a darkened reflection, under a title and
// over a scroll bar. Pictures are made on an operation queue (the selected item's at full size, the others at
// previewScale of it), cached by the item's identifier and applied on the main thread.
class QFFlowView : public ui::Control,
                   public ui::LayoutManager,
                   public ui::LayerDelegate,
                   public ui::DraggingSource,
                   public ui::DraggingDestination,
                   public ui::PreviewPanelController,
                   public ui::PreviewPanelDataSource,
                   public ui::PreviewPanelDelegate,
                   public ui::AnimatablePropertyContainer {
    FND_OBJECT(QFFlowView)
    static void describeClass(fnd::ClassBuilder<QFFlowView>& c);

public:
    static constexpr std::size_t NotFound = std::size_t(fnd::NotFound);
    // The picture cache's bound: pictures can be made again, and a folder of thousands would otherwise keep
    // every one.
    static constexpr std::size_t DefaultImageCacheBytes = 128u << 20;
    // The longest a move of the selection takes: the pictures are made when it ends.
    static constexpr double LongestScrollDuration = 60;
    // At most this many item layers that left wait for items to come (a reload reuses every layer it had at once).
    static constexpr std::size_t MaxQueuedItemLayers = 256;

    QFFlowView() = default;
    ~QFFlowView() override;
    static std::shared_ptr<QFFlowView> create(gfx::Rect frame = {});
    // Defaults, layers, the title "Title" and the URL drag type, for the frame.
    void initWithFrame(gfx::Rect frame) override;

    // Geometry (defaults by setDefaults; clamps by the setters). NaN changes nothing; lengths and depths (spacing,
    // the scales, the perspective's entries) are held within the largest coordinate a view holds, the title size
    // within the largest font size, a move's duration within 0 and LongestScrollDuration.
    double stackedAngle() const { return m_stackedAngle; }
    void setStackedAngle(double degrees);
    double spacing() const { return m_spacing; }
    void setSpacing(double spacing);
    double selectedScale() const { return m_selectedScale; }
    void setSelectedScale(double z);
    double stackedScale() const { return m_stackedScale; }
    void setStackedScale(double z);
    double reflectionOffset() const { return m_reflectionOffset; }
    void setReflectionOffset(double offset);
    bool showsReflection() const { return m_showsReflection; }
    void setShowsReflection(bool flag);
    double itemScale() const { return m_itemScale; }
    void setItemScale(double scale);
    double previewScale() const { return m_previewScale; }
    void setPreviewScale(double scale);
    double scrollDuration() const { return m_scrollDuration; }
    void setScrollDuration(double seconds);
    // Read when the scroll layer is made.
    ui::Transform3D perspective() const { return m_perspective; }
    void setPerspective(const ui::Transform3D& transform);
    const ui::Transform3D& leftTransform() const { return m_leftTransform; }
    const ui::Transform3D& rightTransform() const { return m_rightTransform; }
    void setDefaults();

    // Items.
    std::size_t numberOfItems() const { return m_numberOfItems; }
    std::size_t selectedIndex() const { return m_selectedIndex; }
    // Ignored when equal to the current index or not below numberOfItems.
    void setSelectedIndex(std::size_t index);
    // First visible index and count; count 0 when nothing is visible.
    fnd::Range visibleItemIndexes() const { return m_visibleItems; }
    std::size_t maximumNumberOfStackedVisibleItems() const { return m_maxStackedVisible; }
    std::shared_ptr<QFFlowViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<QFFlowViewDataSource>& source)
    {
        m_dataSource = source;
        m_pictureLoads.clear(); // its identifiers may name other items
    }
    std::shared_ptr<QFFlowViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<QFFlowViewDelegate>& delegate) { m_delegate = delegate; }
    void reloadContent();

    fnd::Value imageItemForIndex(std::size_t index) const;
    fnd::Value imageUIDForItem(const fnd::Value& item) const;
    fnd::String imageRepresentationTypeForItem(const fnd::Value& item) const;
    fnd::Value imageRepresentationForItem(const fnd::Value& item) const;
    fnd::String imageTitleForItem(const fnd::Value& item) const;
    fnd::String titleAtIndex(std::size_t index) const;
    // A file's type for path types, the fixed type of the others (empty for data and image sources).
    fnd::String uniformTypeIdentifierAtIndex(std::size_t index) const;
    bool isMovieAtIndex(std::size_t index) const;
    bool isQCCompositionAtIndex(std::size_t index) const;
    static const std::set<fnd::String>& pathRepresentationTypes();
    static bool isPathType(const fnd::String& type) { return pathRepresentationTypes().contains(type); }
    // A path type's representation as a path (a path string, or a file URL string).
    static std::optional<fnd::String> pathOfRepresentation(const fnd::Value& representation);

    // The fixed type of each representation type that has one (the types whose representation is no file).
    static const std::map<fnd::String, fnd::String>& uniformTypesDictionary();

    // Pictures (thread-safe class operations; nullptr for none).
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromRepresentation(
        const fnd::Value& representation, const fnd::String& type, gfx::Size size);
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromURL(const fnd::String& url, gfx::Size size);
    // The desktop's thumbnail of a file URL (or path): pictures and PDFs drawn, other files from the thumbnail
    // cache or an installed thumbnailer, else their type's icon.
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromQuickLookURL(const fnd::String& url, gfx::Size size);
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromPath(const fnd::String& path, gfx::Size size);
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromIconRefPath(const fnd::String& path, gfx::Size size);
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromNSImage(const gfx::Image& image, gfx::Size size);
    // An icon: an icon name of the desktop's icon theme ("folder"), a content type ("text/plain", drawn as that
    // type's icon), or an image.
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromIcon(const fnd::Value& icon, gfx::Size size);
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromData(const fnd::Data& data, gfx::Size size);
    // A decoded image source drawn at most as large as the larger side of the size; nullptr for an image without
    // representations (a source of unknown type).
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromCGImageSource(const gfx::Image& source, gfx::Size size);
    static std::shared_ptr<gfx::BitmapImageRep> newImageFromPDFPage(
        const fnd::Value& page, gfx::Size size, bool transparentBackground);
    static std::shared_ptr<gfx::BitmapImageRep> defaultImage();
    std::shared_ptr<gfx::BitmapImageRep> defaultImageForItem(const fnd::Value& item, gfx::Size size) const;
    // Percent by which the picture differs from the desired size along the side it fits by (the width for pictures
    // as wide as the size's aspect or wider, else the height); the largest float for none.
    static float differenceForImage(const gfx::BitmapImageRep* image, gfx::Size desired);
    // The same for a picture of the given pixel size (one that is still being made).
    static float differenceForSize(gfx::Size made, gfx::Size desired);
    void cacheImage(const std::shared_ptr<gfx::BitmapImageRep>& image, const fnd::Value& uid);
    std::shared_ptr<gfx::BitmapImageRep> lookupForImageUID(const fnd::Value& uid);
    void updateImages();
    void updateImageLayerAtIndex(std::size_t index);
    // The cached picture of the item, else its placeholder for the size.
    void setKeptImageAtIndex(std::size_t index, gfx::Size size);
    const std::shared_ptr<fnd::OperationQueue>& operationQueue() const { return m_operationQueue; }
    std::size_t cachedImageCount() const { return m_imageCache.count(); }
    std::size_t cachedImageBytes() const { return m_imageCache.totalCost(); }
    // The cache keeps at most this many bytes of pictures (0: no limit).
    void setImageCacheByteLimit(std::size_t bytes) { m_imageCache.setTotalCostLimit(bytes); }

    // Layers.
    const std::shared_ptr<ui::GradientLayer>& backgroundLayer() const { return m_backgroundLayer; }
    const std::shared_ptr<ui::TextLayer>& titleLayer() const { return m_titleLayer; }
    const std::shared_ptr<ui::Layer>& containerLayer() const { return m_containerLayer; }
    const std::shared_ptr<ui::ScrollLayer>& scrollLayer() const { return m_scrollLayer; }
    const std::shared_ptr<ui::Layer>& scrollBarLayer() const { return m_scrollBarLayer; }
    std::shared_ptr<ui::GradientLayer> scrollKnobLayer() const;
    std::shared_ptr<ui::ReplicatorLayer> itemLayerAtIndex(std::size_t index) const;
    std::shared_ptr<ui::Layer> imageLayerAtIndex(std::size_t index) const;
    std::shared_ptr<ui::Layer> overlayLayerAtIndex(std::size_t index) const;
    std::shared_ptr<ui::Layer> hitLayerAtPoint(gfx::Point point) const;
    std::size_t indexOfItemAtPoint(gfx::Point point) const;
    gfx::Rect rectInViewForLayer(const ui::Layer& layer) const;
    gfx::Rect itemFrameAtIndex(std::size_t index) const;
    gfx::Size itemSizeForRect(gfx::Rect rect) const;
    gfx::Rect rectForItem(std::size_t index, gfx::Size itemSize) const;
    gfx::Point selectedScrollPoint() const;
    static double horizontalOffsetForItem(
        std::size_t index, double itemWidth, double stackedAngle, double spacing, std::size_t selectedIndex);
    static gfx::Rect boundsFromContentWithAspectRatio(double aspect, gfx::Rect itemRect);
    void setImage(const std::shared_ptr<gfx::BitmapImageRep>& image, std::size_t index);
    void updateScrollKnob();
    void calculateVisibleItems();
    // Builds the overlay of a movie item (only when asked).
    std::shared_ptr<ui::Layer> createMovieOverlayLayerWithIndex(std::size_t index);
    // Layers waiting for reuse.
    std::size_t queuedItemLayerCount() const { return m_layerQueue.size(); }

    // Title.
    fnd::String title() const;
    void setTitle(const fnd::String& title);
    void setTitleSize(double size);
    void setTitleColor(const gfx::ColorPtr& color);
    // A font object or a font name, as the title layer takes it; nil is the layer's default.
    const fnd::Value& titleFont() const { return m_titleFont; }
    void setTitleFont(const fnd::Value& font);

    // Interaction state.
    bool canControlQuickLookPanel() const { return m_canControlQuickLookPanel; }
    void setCanControlQuickLookPanel(bool flag) { m_canControlQuickLookPanel = flag; }
    bool draggingKnob() const { return m_draggingKnob; }
    void setDraggingKnob(bool flag);
    const std::shared_ptr<ui::Layer>& selectedLayer() const { return m_selectedLayer; }
    void setSelectedLayer(const std::shared_ptr<ui::Layer>& layer);
    const std::shared_ptr<ui::Layer>& highlightedLayer() const { return m_highlightedLayer; }
    void setHighlightedLayer(const std::shared_ptr<ui::Layer>& layer);
    void moveLeft(const fnd::Value& sender);
    void moveRight(const fnd::Value& sender);
    void togglePreviewPanel(const fnd::Value& sender);

    // Bindings.
    bool bindingsEnabled() const;
    fnd::Array contentArray() const;
    const std::optional<fnd::String>& imageRepresentationKeyPath() const { return m_keyPaths[0]; }
    const std::optional<fnd::String>& imageRepresentationTypeKeyPath() const { return m_keyPaths[1]; }
    const std::optional<fnd::String>& imageUIDKeyPath() const { return m_keyPaths[2]; }
    const std::optional<fnd::String>& imageTitleKeyPath() const { return m_keyPaths[3]; }
    void setImageRepresentationKeyPath(const std::optional<fnd::String>& path) { setKeyPath(0, path); }
    void setImageRepresentationTypeKeyPath(const std::optional<fnd::String>& path) { setKeyPath(1, path); }
    void setImageUIDKeyPath(const std::optional<fnd::String>& path) { setKeyPath(2, path); }
    void setImageTitleKeyPath(const std::optional<fnd::String>& path) { setKeyPath(3, path); }
    void bind(const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath,
        const fnd::Dictionary& options = {}) override;
    void unbind(const fnd::String& binding) override;
    std::optional<fnd::Dictionary> infoForBinding(const fnd::String& binding) const override;
    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;

    // Accessibility: a scroll area whose elements stand for its layers (the list of items, the scroll bar).
    std::shared_ptr<QFLayerAccessibilityHelper> accessibilityElementOfLayer(const ui::Layer& layer) const;
    bool accessibilityIsIgnored() const override { return false; }
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    // The element of the layer under the screen point, else the view itself.
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;

    // Archiving: keyed coders only.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Animation the view's animator runs for a key: "spacing" and "stackedAngle" go from their values before the
    // change to the new ones over a quarter second.
    std::optional<ui::KeyAnimation> defaultAnimationForKey(const fnd::String& key) const override;

    // View and control.
    std::shared_ptr<ui::Cell> makeCell() const override;
    bool acceptsFirstResponder() const override { return true; }
    bool canBecomeKeyView() const override { return true; }
    bool isOpaque() const override { return true; }
    // Not flipped, unlike other controls: the view's points are then its layer tree's (y up), so hit tests,
    // tracking areas, the preview panel's frame and the accessibility frames land where the pictures show.
    bool isFlipped() const override { return false; }
    bool needsPanelToBecomeKey() const override { return true; }
    void keyDown(const ui::Event& event) override;
    void scrollWheel(const ui::Event& event) override;
    void swipeWithEvent(const ui::Event& event) override;
    void mouseDown(const ui::Event& event) override;
    void mouseDragged(const ui::Event& event) override;
    void mouseUp(const ui::Event& event) override;
    void rightMouseUp(const ui::Event& event) override;
    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;
    void viewWillMoveToWindow(ui::Window* window) override;
    void viewWillMoveToSuperview(ui::View* superview) override;
    void viewDidEndLiveResize() override;
    void updateTrackingAreas() override;

    // Layer tree hooks.
    void layoutSublayersOfLayer(ui::Layer& layer) override;
    std::optional<std::shared_ptr<ui::LayerAction>> actionForLayer(ui::Layer& layer, const fnd::String& key) override;

    // Dragging.
    ui::DragOperation draggingSourceOperationMaskForLocal(bool isLocal) override;
    void draggedImageEndedAt(gfx::Image& image, gfx::Point screenPoint, ui::DragOperation operation) override;
    ui::DragOperation draggingEntered(ui::DraggingInfo& info) override;
    std::optional<ui::DragOperation> draggingUpdated(ui::DraggingInfo& info) override;
    void draggingExited(ui::DraggingInfo& info) override;
    bool prepareForDragOperation(ui::DraggingInfo&) override { return true; }
    bool performDragOperation(ui::DraggingInfo& info) override;
    void concludeDragOperation(ui::DraggingInfo& info) override;

    // Preview panel.
    bool acceptsPreviewPanelControl(ui::PreviewPanel& panel) override;
    void beginPreviewPanelControl(ui::PreviewPanel& panel) override;
    void endPreviewPanelControl(ui::PreviewPanel&) override { }
    long numberOfPreviewItemsInPreviewPanel(ui::PreviewPanel&) override { return 1; }
    fnd::String previewPanelPreviewItemAtIndex(ui::PreviewPanel& panel, long index) override;
    bool previewPanelHandleEvent(ui::PreviewPanel& panel, const ui::Event& event) override;
    std::optional<gfx::Rect> previewPanelSourceFrameOnScreenForPreviewItem(
        ui::PreviewPanel& panel, long index) override;

private:
    friend class QFFlowViewAccess;

    void setupLayers();
    // Out of every window: the view drops its layer tree, its item layers and its accessibility elements, keeping
    // only its items, selection and settings; setupLayers and a reload build them again.
    void tearDownLayers();
    // A new item layer for the item at the index (with its identifier); its content layer's accessibility element
    // goes to `element`.
    std::shared_ptr<ui::ReplicatorLayer> createItemLayerWithIndex(std::size_t index, const fnd::Value& item,
        const fnd::Value& uid, std::shared_ptr<QFLayerAccessibilityHelper>& element);
    std::shared_ptr<ui::Layer> createImageLayer();
    // The item's identifier, content name, index, actions and a new accessibility element, which it answers.
    std::shared_ptr<QFLayerAccessibilityHelper> setAttributesForItemContentLayer(
        const std::shared_ptr<ui::Layer>& content, std::size_t index, const fnd::Value& item, const fnd::Value& uid);
    // An item layer for the item at the index, hidden until it comes into view: one from the reuse stack, else a new
    // one, with a new accessibility element either way (appended to `elements`).
    std::shared_ptr<ui::ReplicatorLayer> itemLayerForItem(
        std::size_t index, const fnd::Value& item, std::vector<std::shared_ptr<QFLayerAccessibilityHelper>>& elements);
    // The content layer's name for the item: "QFFlowViewContentLayer" followed by "QCComposition", "Movie" or
    // "Image".
    const fnd::String& contentLayerNameOfItem(const fnd::Value& item) const;
    // The uniform type of an item of the type; the representation is read only for path types.
    static fnd::String uniformTypeIdentifierOfType(const fnd::String& type, const fnd::Value& representation);
    // The values "index" of the item layers from the index on, after items before them came or went.
    void renumberItemLayers(std::size_t from);
    void setFrameForLayer(ui::ReplicatorLayer& layer, std::size_t index, gfx::Size itemSize);
    void layoutItemLayersInRange(fnd::Range range);
    void layoutShownItemLayers();
    void showItemLayer(std::size_t index, gfx::Size itemSize);
    bool presentationShowsItem(std::size_t index) const;
    bool isItemShown(std::size_t index) const;
    void updateSelectionInRange(fnd::Range range);
    void beginLayoutTransaction();
    void updateReflection();
    void selectLayerAtIndex(std::size_t index);
    void deselectLayerAtIndex(std::size_t index);
    static void highlightLayer(ui::Layer& layer, bool highlighted, double cornerRadius, const gfx::ColorPtr& color);
    void setupTrackingAreas();
    void startDragOfItemAtIndex(std::size_t index, const ui::Event& event);
    void selectByDelta(double delta);
    void setKeyPath(int which, const std::optional<fnd::String>& path);
    void startObservingCollection(const fnd::Array& items, const std::vector<fnd::String>& keyPaths);
    void stopObservingCollection(const fnd::Array& items, const std::vector<fnd::String>& keyPaths);
    std::vector<fnd::String> observedItemKeyPaths() const;
    void contentArrayDidChange(const fnd::KeyValueChange& change);
    // Applies an insertion, removal or replacement that the bound content announced with its indexes to the
    // observed items and to the item layers at those indexes only. False, with nothing changed, when the change does
    // not fit the items (everything is reloaded then).
    bool applyContentChange(const fnd::KeyValueChange& change);
    // The removal that makes the observed items the next content, when it holds some of them in their order and
    // nothing else (a content set to part of itself); nullopt otherwise.
    std::optional<fnd::KeyValueChange> removalLeaving(const fnd::Array& next) const;
    // The item layers (and their elements) at the indexes, ascending, changed in one pass each: `changed` holds the
    // same indexes as the change named them.
    void replaceItemLayers(const std::vector<std::size_t>& indexes, const fnd::IndexSet& changed);
    void removeItemLayers(const std::vector<std::size_t>& indexes, const fnd::IndexSet& changed);
    void insertItemLayers(const std::vector<std::size_t>& indexes, const fnd::IndexSet& changed);
    // The layer last hit or marked for a drop is let go when it is (or lies within) the item layer of an item that
    // leaves.
    void releaseHeldLayersOf(const ui::Layer& itemLayer);
    // The item layer that is the layer or holds it; null for none.
    const ui::Layer* itemLayerHolding(const std::shared_ptr<ui::Layer>& layer) const;
    // Keeps an item layer that left for an item to come, cleared of its item, while fewer than MaxQueuedItemLayers
    // wait.
    void recycleItemLayer(const std::shared_ptr<ui::ReplicatorLayer>& layer);
    void clearItemLayer(ui::ReplicatorLayer& layer);
    // The selection kept within the items, and the layout and title that follow a change of the items.
    void finishContentChange();
    // Observation of bound items: each object once, however often the content holds it.
    void observeItems(const fnd::Array& items);
    void forgetItems(const fnd::Array& items);
    fnd::Array distinctObservedItems() const;
    // The items whose identifier, representation or type changed since the last layout take their new identifier
    // and kind on their layers: one walk of the items for however many changed (a walk for each change made a change
    // of every item take time growing with the square of their number).
    void refreshChangedItemLayers();
    void setupAccessibility();
    // The caption: the selected item's title, followed as it changes. The selected item is observed at its title
    // key unless the bound items are all observed at a title key path already; `item` is the selected one.
    void showSelectedTitle();
    void observeTitleOfItem(const fnd::Value& item);
    void stopObservingTitle();
    static const void* titleObservationContext();
    // The element of an item's content layer, stored on the layer; it reads the item's index from the layer, so it
    // stays right when items before it come or go. Not yet among the list's children.
    std::shared_ptr<QFLayerAccessibilityHelper> makeItemAccessibility(const std::shared_ptr<ui::Layer>& content);
    // The item's element's frame in the view: where its picture shows.
    std::optional<gfx::Rect> accessibilityFrameOfItem(std::size_t index) const;
    static std::optional<fnd::String> cacheKey(const fnd::Value& uid);
    // A picture load on the queue, known by the cache key of its item on the main thread until it delivers (an item
    // may have several, of different sizes).
    struct PictureLoad;
    // Whether a load for the key, queued or running, will bring a picture of about the size or larger.
    bool isLoadingPicture(const fnd::String& key, gfx::Size size);
    // Cancels the loads, forgets those under way (they neither cache nor show their pictures) and empties the cache.
    void dropPictures();
    // The item under the key changed: loads on the way neither cache nor show their pictures.
    void forgetOutdatedPictureLoads(const fnd::String& key);
    // A picture made for the identifier (loaded for the item at the index) goes to the shown items that hold it.
    void showDeliveredPicture(
        const std::shared_ptr<gfx::BitmapImageRep>& image, const fnd::Value& uid, std::size_t index);

    double m_stackedAngle { 70 };
    double m_spacing { 50 };
    // The values before the last change, where an animator's animation starts.
    double m_stackedAngleBeforeChange { 70 };
    double m_spacingBeforeChange { 50 };
    double m_selectedScale { 200 };
    double m_stackedScale { -200 };
    double m_reflectionOffset { -0.4 };
    bool m_showsReflection { true };
    double m_itemScale { 1 };
    double m_previewScale { 0.25 };
    double m_scrollDuration { 0.4 };
    ui::Transform3D m_perspective;
    ui::Transform3D m_leftTransform;
    ui::Transform3D m_rightTransform;

    std::size_t m_selectedIndex { NotFound };
    std::size_t m_numberOfItems { 0 };
    fnd::Range m_visibleItems { 0, 0 };
    std::size_t m_maxStackedVisible { 0 };
    std::weak_ptr<QFFlowViewDataSource> m_dataSource;
    std::weak_ptr<QFFlowViewDelegate> m_delegate;

    std::shared_ptr<ui::GradientLayer> m_backgroundLayer;
    std::shared_ptr<ui::TextLayer> m_titleLayer;
    std::shared_ptr<ui::Layer> m_containerLayer;
    std::shared_ptr<ui::ScrollLayer> m_scrollLayer;
    std::shared_ptr<ui::Layer> m_scrollBarLayer;
    std::vector<std::shared_ptr<ui::ReplicatorLayer>> m_layerQueue;
    // The scroll layer's item layers in order, kept beside it so that a lookup by index does not copy the list.
    std::vector<std::shared_ptr<ui::ReplicatorLayer>> m_itemLayers;
    // The items in view or moving through it, in ascending order: only these are laid out and drawn. The others are
    // hidden and keep the place of an earlier layout until they come into view.
    std::vector<std::size_t> m_shownItems;
    // The selection the shown items were last laid out for: an item coming into view starts its move from there.
    std::size_t m_laidOutSelection { NotFound };
    fnd::String m_title { "Title" };
    double m_titleSize { 18 };
    fnd::Value m_titleFont;
    gfx::ColorPtr m_titleColor;

    bool m_canControlQuickLookPanel { false };
    bool m_draggingKnob { false };
    double m_mouseDownInKnob { 0 };
    double m_knobWidthAtMouseDown { 0 };
    std::shared_ptr<ui::Layer> m_selectedLayer;
    std::shared_ptr<ui::Layer> m_highlightedLayer;
    // Set once an item layer took an identifier that is an object: such identifiers are let go on the main thread,
    // and until then a removal need not read any back.
    bool m_itemUIDsMayBeObjects { false };

    std::optional<fnd::Dictionary> m_contentBinding;
    // The bound content as its last notification left it: the items read by index while bound.
    fnd::Array m_observedItems;
    // How often the content holds each observed object.
    std::unordered_map<fnd::Object*, std::size_t> m_observedItemCounts;
    // Observed objects whose identifier, representation or type changed since the last layout (compared, never
    // followed: one that went meanwhile is only looked for).
    std::unordered_set<const fnd::Object*> m_changedItems;
    // The actions every item content layer shares (their transitions are copied when they run).
    std::shared_ptr<const fnd::Dictionary> m_contentLayerActions;
    // Set while items are being observed: their first notifications arrive then.
    bool m_observingNewItems { false };
    std::optional<fnd::String> m_keyPaths[4];
    // The selected item while it is observed at its title key.
    fnd::WeakObjectRef m_titleObservedItem;

    std::shared_ptr<fnd::OperationQueue> m_operationQueue;
    fnd::Cache<fnd::String, std::shared_ptr<gfx::BitmapImageRep>> m_imageCache;
    // Main thread only: the loads that have not delivered yet, so that a refresh does not make a running one again.
    std::multimap<fnd::String, std::shared_ptr<PictureLoad>> m_pictureLoads;
    std::shared_ptr<QFLayerAccessibilityHelper> m_backgroundElement;
    std::shared_ptr<QFLayerAccessibilityHelper> m_scrollBarElement;
    // The attribute names and handlers every item's element shares.
    std::shared_ptr<QFLayerAccessibilityHelper> m_itemElementAnswers;
};
