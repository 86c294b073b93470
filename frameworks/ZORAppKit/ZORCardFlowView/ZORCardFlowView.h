#pragma once

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowItemLayer.h"
#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowScroller.h"

#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/Selector.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"
#include "platform/layers/Layer.h"
#include "platform/layers/ScrollLayer.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/views/View.h"

#include <cstdint>
#include <memory>

// Shows the objects of an array as a row of pictures in perspective: the selected one faces the viewer, the others
// stand turned towards it, each with a darkened reflection, over black and under dark edge gradients. Arrow keys,
// clicks, the wheel and an optional scroller move the selection, animated. Content and selection bind
// ("content", "selectionIndex"); an optional accessory controller shows its view under the pictures and follows the
// selected object. Pictures are decoded on a serial queue of the view's own and shown on the main thread.
//
// Item layers carry "representedObject", "index" and "hasImage"; their first sublayer is the picture ("image"),
// whose first sublayer is the reflection ("reflection"), which holds the shadow over the reflection.
class ZORCardFlowView : public ui::View, public ui::LayoutManager {
    FND_OBJECT(ZORCardFlowView)
    static void describeClass(fnd::ClassBuilder<ZORCardFlowView>& c);

public:
    static constexpr double DefaultItemWidth = 140;
    static constexpr double DefaultItemHeight = 100;
    // Modifier bits (Shift, Caps Lock) that slow a selection change down.
    static constexpr unsigned SlowMotionModifierMask = 0x30000;
    static constexpr double SlowSelectionDuration = 2.1;
    static constexpr double SelectionDuration = 0.7;

    ZORCardFlowView() = default;
    ~ZORCardFlowView() override;
    static std::shared_ptr<ZORCardFlowView> create(gfx::Rect frame = {});
    // Builds the queue, the scroller and the layer tree for the frame, and turns layer hosting on.
    void initWithFrame(gfx::Rect frame) override;
    // The view's data, with the scroller named among the subviews; the layer tree is built again by initWithFrame.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
    // Turns layer hosting on and makes the placeholder.
    void awakeFromNib() override;

    const fnd::Array& content() const { return m_content; }
    void setContent(const fnd::Array& content);
    const std::optional<fnd::String>& imageKeyPath() const { return m_imageKeyPath; }
    void setImageKeyPath(const std::optional<fnd::String>& keyPath);
    std::int64_t selectionIndex() const { return m_selectionIndex; }
    // Lays out for the index (animated 0.7 s, or 2.1 s with Shift or Caps Lock) and scrolls to it; indexes
    // outside the items are ignored.
    void setSelectionIndex(std::int64_t index);
    fnd::Value selectedObject() const;
    void setSelectedObject(const fnd::Value& object);

    bool autoresizesItems() const { return m_autoresizesItems; }
    void setAutoresizesItems(bool flag);
    // The stored size, or with autoresizesItems the size that follows the view's height.
    gfx::Size itemSize() const;
    void setItemSize(gfx::Size size);
    bool showsScrollbar() const { return m_showsScrollbar; }
    void setShowsScrollbar(bool flag);
    const std::shared_ptr<ui::ViewController>& accessoryController() const { return m_accessoryController; }
    void setAccessoryController(const std::shared_ptr<ui::ViewController>& controller);
    // The icon drawn into the placeholder: at first a preview template (an eye); nil draws none.
    const std::shared_ptr<gfx::Image>& placeholderIcon() const { return m_placeholderIcon; }
    // Only stores: the placeholder is remade by setItemSize and awakeFromNib.
    void setPlaceholderIcon(std::shared_ptr<gfx::Image> icon) { m_placeholderIcon = std::move(icon); }

    std::shared_ptr<fnd::Object> target() const { return m_target.lock(); }
    void setTarget(const std::shared_ptr<fnd::Object>& target) { m_target = target; }
    fnd::Selector action() const { return m_action; }
    void setAction(fnd::Selector action) { m_action = action; }

    void refreshLayers();
    // Index of the picture under the point (view coordinates), the selected one first; -1 (not found) for none.
    std::int64_t indexOfItemAtPoint(gfx::Point point) const;
    // The picture's rectangle in the root layer's coordinates; zero for an index outside the content.
    gfx::Rect rectForItemAtIndex(std::int64_t index) const;

    const std::shared_ptr<ZORCardFlowScroller>& scroller() const { return m_scroller; }
    const std::shared_ptr<ui::ScrollLayer>& scrollLayer() const { return m_scrollLayer; }
    const std::shared_ptr<ui::Layer>& containerLayer() const { return m_containerLayer; }
    const std::shared_ptr<gfx::BitmapImageRep>& placeholder() const { return m_placeholder; }
    const std::shared_ptr<fnd::OperationQueue>& imageLoadQueue() const { return m_imageLoadQueue; }
    // The scroll position that centres the selection.
    float positionOfSelectedItem() const;
    // The item layers in sublayer order.
    std::vector<std::shared_ptr<ui::Layer>> itemLayers() const;

    // LayoutManager: places the item layers for the selection.
    void layoutSublayersOfLayer(ui::Layer& layer) override;

    bool acceptsFirstResponder() const override { return true; }
    bool mouseDownCanMoveWindow() const override { return false; }
    void keyDown(const ui::Event& event) override;
    void mouseDown(const ui::Event& event) override;
    void scrollWheel(const ui::Event& event) override;
    void resizeSubviewsWithOldSize(gfx::Size oldSize) override;
    void viewWillMoveToSuperview(ui::View* superview) override;
    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;

    // Accessibility (ZORCardFlowViewAccessibility.cpp): a horizontal list whose children are the cards (images,
    // selectable; the selection moves as a person's choice does) and then its shown subviews (the scroller).
    bool accessibilityIsIgnored() const override { return false; }
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    // The element of the card at the index (the same one while the content keeps its size); nil outside.
    fnd::Value accessibilityElementOfItem(std::int64_t index) const;

    // User selection: clamped into the items, then through the "selectionIndex" binding when there is one.
    void userSelectIndex(std::int64_t index);
    // Picture pipeline: marks the item as showing the placeholder and queues its load.
    void refreshLayer(const std::shared_ptr<ui::Layer>& itemLayer);
    void recachePlaceholder();

private:
    // The perspective of an item layer's sublayers (its m34), and how far the selected picture stands out in it.
    static constexpr double ItemPerspective = -1.0 / 420;
    static constexpr double SelectedImageZ = 100;

    // Where a layout pass puts an item: its x, item size, side of the selection (-1, 0, 1) and distance from it.
    struct Placement {
        double x { 0 };
        float width { 0 };
        float height { 0 };
        int side { 0 };
        float distance { 0 };
        bool operator==(const Placement&) const = default;
    };
    // What the layout formula reads, in the single precision it works in: the scroll layer's width, the item size,
    // the number of items, and where the row starts.
    struct RowGeometry {
        float width { 0 };
        float itemWidth { 0 };
        float itemHeight { 0 };
        float count { 0 };
        float start { 0 };
    };
    // Where a card's picture shows in its item layer on each side of the selection: every card of a side is the same
    // picture turned the same way, so its rectangle is this one moved by its place.
    struct CardExtents {
        float width { 0 };
        float height { 0 };
        gfx::Rect left, selected, right;
    };
    // One content position: its item layer with the picture and reflection layers under it, the object it shows,
    // the "index" last written to the layer, where the last layout pass put it (none for a layer not placed yet),
    // whether its layer shows, whether it was in view when the last pass placed it, and the content change that
    // brought its object (one since the last pass takes its place without animation; an older one not placed yet
    // moves in with its neighbours). Only the items that show are laid out: the others are hidden where they stood.
    struct Item {
        std::shared_ptr<ZORCardFlowItemLayer> layer;
        std::shared_ptr<ui::Layer> image;
        std::shared_ptr<ui::Layer> reflection;
        fnd::Value object;
        std::int64_t index { 0 };
        std::optional<Placement> placed;
        bool shown { false };
        bool inView { false };
        std::uint64_t arrivedIn { 0 };
    };

    // A new item layer for the object at the content position, appended to the scroll layer, hidden until the
    // layout shows it.
    Item insertLayerInScrollLayer(const fnd::Value& object, std::int64_t index);
    // For each position of the content, the old position whose item it keeps (none for an object that came).
    static std::vector<std::size_t> matchPositions(const std::vector<Item>& old, const fnd::Array& content);
    // Gives the item of an object that left the content to a new object, as a new layer would start.
    void reuseItem(Item& item, const fnd::Value& object, std::int64_t index);
    void placeItem(Item& item, const Placement& placement);
    std::shared_ptr<ui::Layer> layerForObject(const fnd::Value& object) const;
    // The item layer that stands at the content position.
    std::shared_ptr<ui::Layer> layerAtIndex(std::int64_t index) const;
    RowGeometry rowGeometry() const;
    // Where the layout puts the item at the index for the selection.
    static Placement placementOf(const RowGeometry& row, std::int64_t index, std::int64_t selection);
    const CardExtents& cardExtents(float width, float height) const;
    // The picture's rectangle in the scroll layer where the placement puts it.
    gfx::Rect pictureRectInScrollLayer(const Placement& placement) const;
    // The items in view: where the scroll layer stands and where it goes to centre the selection, those that pass
    // through the view on the way, and the selected one (ascending).
    std::vector<std::size_t> itemsInView(const RowGeometry& row) const;
    // Adds the items whose pictures meet the part of the scroll layer between the x values when the selection is
    // the one given, with a neighbour on each side (single-precision places may step a hair out of order), and the
    // selected one.
    void addItemsMeeting(
        const RowGeometry& row, std::int64_t selection, double from, double to, std::vector<std::size_t>& into) const;
    // At least the number of cards that meet the view at once.
    std::int64_t cardsInViewBound(const RowGeometry& row) const;
    // How many cards an animated change of the selection travels at most: a farther one starts that far from its
    // end, so that the cards passing through the view stay few.
    std::int64_t farthestAnimatedMove() const;
    // Shows the item's layer where the last pass would have put it, so that it moves in with its neighbours.
    void showItem(Item& item, const RowGeometry& row);
    // The stand-in for the platform's preview template image, made once.
    static std::shared_ptr<gfx::Image> templateIcon();
    void rebuildContainerConstraints();
    void rebuildEdgeConstraints();
    void makeShadowAndEdgeImages();
    void applyPicture(const std::shared_ptr<ui::Layer>& itemLayer, std::uint64_t generation,
        const std::shared_ptr<gfx::BitmapImageRep>& picture);
    void scrollerChange(const fnd::Value& sender);
    void sendAction();
    void layoutSubviewsForSize();
    void observeImageKeyPath(const fnd::Value& object, bool observe);

    std::int64_t m_selectionIndex { 0 };
    std::shared_ptr<ui::Layer> m_rootLayer;
    std::shared_ptr<ui::ScrollLayer> m_scrollLayer;
    std::shared_ptr<ui::Layer> m_containerLayer;
    std::shared_ptr<ui::Layer> m_gradientLayer;
    std::shared_ptr<ui::Layer> m_leftGradientLayer;
    std::shared_ptr<ui::Layer> m_rightGradientLayer;
    std::shared_ptr<ui::Layer> m_bottomGradientLayer;
    std::shared_ptr<gfx::BitmapImageRep> m_shadowImage;
    ui::Transform3D m_leftTransform;
    ui::Transform3D m_rightTransform;
    gfx::Size m_itemSize { DefaultItemWidth, DefaultItemHeight };
    std::shared_ptr<ui::ViewController> m_accessoryController;
    std::shared_ptr<ZORCardFlowScroller> m_scroller;
    bool m_showsScrollbar { false };
    bool m_autoresizesItems { true };
    // Shared with the loading thread through shared_ptr copies, so a load never sees a released placeholder.
    std::shared_ptr<gfx::BitmapImageRep> m_placeholder;
    std::shared_ptr<gfx::Image> m_placeholderIcon;
    fnd::Array m_content;
    std::optional<fnd::String> m_imageKeyPath;
    std::shared_ptr<fnd::OperationQueue> m_imageLoadQueue;
    std::weak_ptr<fnd::Object> m_target;
    fnd::Selector m_action;
    std::uint64_t m_nextLoadGeneration { 0 };
    // The items by content position, kept in step with the scroll layer's item layers by setContent.
    std::vector<Item> m_items;
    // The positions of the items whose layers show, ascending.
    std::vector<std::size_t> m_shownItems;
    // The selection the last layout pass placed the items for, where an item coming into view starts from, and the
    // content change it saw last.
    std::int64_t m_laidOutSelection { -1 };
    std::uint64_t m_contentGeneration { 0 };
    std::uint64_t m_laidOutGeneration { 0 };
    mutable std::optional<CardExtents> m_cardExtents;
    mutable std::vector<std::shared_ptr<fnd::Object>> m_accessibilityItems;
};
