// The card-flow view's row: where the layout formula puts each item, which items show, and what a click hits.
//
// Every item has its place by the formula, but only the items in view are placed and shown: a change of the
// selection moves every card of the row, and placing a hundred thousand layers for each arrow key took a second.
// The others are hidden where an earlier pass left them and are put in place as they come into view. Rectangles of
// pictures come from the formula too, so they are the same for an item whether its layer shows or not.

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/layers/Transaction.h"

#include <algorithm>
#include <cmath>

namespace {

// The first index in [lo, hi) of a run of false then true; hi when none is true.
template <typename Predicate> std::int64_t ZORCardFlowViewFirstWhere(std::int64_t lo, std::int64_t hi, Predicate isTrue)
{
    while (lo < hi) {
        auto mid = lo + (hi - lo) / 2;
        if (isTrue(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

}

// Geometry.

ZORCardFlowView::RowGeometry ZORCardFlowView::rowGeometry() const
{
    auto size = itemSize();
    RowGeometry row;
    row.width = float(m_scrollLayer->bounds().width());
    row.itemWidth = float(size.width);
    row.itemHeight = float(size.height);
    row.count = float(m_items.size());
    const float w = row.itemWidth, n = row.count;
    row.start = std::floor((row.width - n * w - (n - 1) * w / 10) / 2 + 12);
    return row;
}

ZORCardFlowView::Placement ZORCardFlowView::placementOf(
    const RowGeometry& row, std::int64_t index, std::int64_t selection)
{
    const float w = row.itemWidth;
    Placement p { row.start + double(index) * (w + w / 10), w, row.itemHeight, 0, 0 };
    if (index < selection) {
        p.side = -1;
        p.distance = float(selection - index);
        p.x += 0.75 * w * (p.distance - 0.85f);
    } else if (index > selection) {
        p.side = 1;
        p.distance = float(index - selection);
        p.x -= 0.75 * w * (p.distance - 0.85f);
    }
    return p;
}

const ZORCardFlowView::CardExtents& ZORCardFlowView::cardExtents(float width, float height) const
{
    if (m_cardExtents && m_cardExtents->width == width && m_cardExtents->height == height)
        return *m_cardExtents;
    // Measured on a card of its own, outside the tree, turned as the layout turns the cards.
    double w = width, h = height;
    auto item = ui::Layer::layer();
    item->setBounds({ 0, 0, w, h });
    auto perspective = ui::Transform3D::identity();
    perspective.m34 = ItemPerspective;
    item->setSublayerTransform(perspective);
    auto image = ui::Layer::layer();
    image->setFrame({ 0, 0, w, h });
    item->addSublayer(image);
    auto measure = [&](const ui::Transform3D& transform, double z) {
        image->setTransform(transform);
        image->setZPosition(z);
        return image->convertRectToLayer(image->frame(), item.get());
    };
    m_cardExtents = CardExtents { width, height, measure(m_leftTransform, 0),
        measure(ui::Transform3D::identity(), SelectedImageZ), measure(m_rightTransform, 0) };
    return *m_cardExtents;
}

gfx::Rect ZORCardFlowView::pictureRectInScrollLayer(const Placement& p) const
{
    const auto& extents = cardExtents(p.width, p.height);
    const auto& r = p.side < 0 ? extents.left : p.side > 0 ? extents.right : extents.selected;
    // The item layer's frame is (x, h, w, h) and nothing turns it: its points are the scroll layer's, moved.
    return gfx::offsetRect(r, p.x, p.height);
}

float ZORCardFlowView::positionOfSelectedItem() const
{
    auto size = itemSize();
    float W = float(m_scrollLayer->bounds().width());
    float w = float(size.width);
    float n = float(m_items.size());
    float s = float(m_selectionIndex);
    return std::floor((W - n * w - (n - 1) * w / 10) * 0.5f + 12) + s * (w / 10 + w) - W / 2 + w / 2;
}

// Which items show.

void ZORCardFlowView::addItemsMeeting(
    const RowGeometry& row, std::int64_t selection, double from, double to, std::vector<std::size_t>& into) const
{
    if (!(from < to))
        return;
    const auto n = std::int64_t(m_items.size());
    const auto s = selection;
    const auto& extents = cardExtents(row.itemWidth, row.itemHeight);
    // On each side the pictures are one picture moved along x, further right the higher the index.
    auto addSide = [&](std::int64_t begin, std::int64_t end, const gfx::Rect& extent) {
        if (begin >= end)
            return;
        auto x = [&](std::int64_t i) { return placementOf(row, i, s).x; };
        auto first = ZORCardFlowViewFirstWhere(begin, end, [&](std::int64_t i) { return x(i) + extent.maxX() > from; });
        auto last = ZORCardFlowViewFirstWhere(first, end, [&](std::int64_t i) { return x(i) + extent.minX() >= to; });
        for (auto i = std::max(first - 1, begin); i < std::min(last + 1, end); ++i)
            into.push_back(std::size_t(i));
    };
    addSide(0, std::clamp<std::int64_t>(s, 0, n), extents.left);
    addSide(std::clamp<std::int64_t>(s + 1, 0, n), n, extents.right);
    if (s >= 0 && s < n)
        into.push_back(std::size_t(s));
}

std::int64_t ZORCardFlowView::cardsInViewBound(const RowGeometry& row) const
{
    // Neighbours on a side stand 0.35 w apart, the closest cards of the row do.
    const double spacing = 0.35 * double(row.itemWidth);
    const double width = std::max(m_rootLayer->bounds().width(), double(row.width));
    const double cards = spacing > 0 ? std::ceil(width / spacing) + 4 : double(m_items.size());
    return std::int64_t(std::clamp(cards, 1.0, double(std::max<std::size_t>(m_items.size(), 1))));
}

std::int64_t ZORCardFlowView::farthestAnimatedMove() const
{
    return 3 * cardsInViewBound(rowGeometry());
}

std::vector<std::size_t> ZORCardFlowView::itemsInView(const RowGeometry& row) const
{
    std::vector<std::size_t> found;
    if (m_items.empty())
        return found;
    const auto n = std::int64_t(m_items.size());
    const auto s = m_selectionIndex;
    // The view's bounds where the scroll layer stands now and where it goes: a change of the selection lays out
    // before it scrolls, a change of size after.
    auto shown = m_rootLayer->convertRectToLayer(m_rootLayer->bounds(), m_scrollLayer.get());
    double shift = double(positionOfSelectedItem()) - m_scrollLayer->bounds().minX();
    // While the selection moves, every card stands at a mix of its old and new places, and the scroll layer at the
    // same mix of its two positions: the cards in view before, those in view after and all between sweep through
    // the view. A far move was brought within reach before it gets here, so they are few.
    const auto before = m_laidOutSelection;
    if (before >= 0 && before < n && before != s) {
        addItemsMeeting(row, before, shown.minX(), shown.maxX(), found);
        addItemsMeeting(row, s, shown.minX() + shift, shown.maxX() + shift, found);
        const auto [lo, hi] = std::minmax_element(found.begin(), found.end());
        const auto first = *lo, last = *hi;
        if (std::int64_t(last - first) <= farthestAnimatedMove() + 2 * cardsInViewBound(row)) {
            found.clear();
            for (auto i = first; i <= last; ++i)
                found.push_back(i);
            return found;
        }
        found.clear();
    }
    addItemsMeeting(row, s, shown.minX(), shown.maxX(), found);
    if (shift != 0)
        addItemsMeeting(row, s, shown.minX() + shift, shown.maxX() + shift, found);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

// Layout.

void ZORCardFlowView::showItem(Item& item, const RowGeometry& row)
{
    ui::TransactionScope transaction;
    ui::Transaction::setDisableActions(true);
    const bool arrivedSinceLastPass = !item.placed && item.arrivedIn > m_laidOutGeneration;
    if (!arrivedSinceLastPass && m_laidOutSelection >= 0 && std::size_t(m_laidOutSelection) < m_items.size())
        placeItem(item, placementOf(row, item.index, m_laidOutSelection));
    item.layer->setHidden(false);
    item.shown = true;
}

void ZORCardFlowView::layoutSublayersOfLayer(ui::Layer& layer)
{
    if (&layer != m_scrollLayer.get())
        return;
    const auto row = rowGeometry();
    const auto s = m_selectionIndex;
    const auto inView = itemsInView(row);
    // What shows: the items in view, and those that showed and were in view at the last pass or still move (they
    // move to their new places with the others, out of view). The rest are hidden where they stand.
    std::vector<std::size_t> shown;
    std::vector<std::size_t> hiding;
    {
        std::vector<std::size_t> staying;
        for (auto i : m_shownItems) {
            auto& item = m_items[i];
            if (std::binary_search(inView.begin(), inView.end(), i) || item.inView
                || !item.layer->animationKeys().empty())
                staying.push_back(i);
            else
                hiding.push_back(i);
            item.inView = false;
        }
        std::set_union(inView.begin(), inView.end(), staying.begin(), staying.end(), std::back_inserter(shown));
    }
    if (!hiding.empty()) {
        ui::TransactionScope transaction;
        ui::Transaction::setDisableActions(true);
        for (auto i : hiding) {
            m_items[i].layer->setHidden(true);
            m_items[i].shown = false;
        }
    }
    // Items already in place are left alone; a layer that shows a new object goes to its place without moving
    // there from where it stood.
    std::vector<std::size_t> fresh;
    for (auto i : shown) {
        auto& item = m_items[i];
        if (!item.shown)
            showItem(item, row);
        if (!item.placed) {
            fresh.push_back(i);
            continue;
        }
        if (auto p = placementOf(row, item.index, s); p != *item.placed)
            placeItem(item, p);
    }
    if (!fresh.empty()) {
        ui::TransactionScope transaction;
        ui::Transaction::setDisableActions(true);
        for (auto i : fresh)
            placeItem(m_items[i], placementOf(row, m_items[i].index, s));
    }
    for (auto i : inView)
        m_items[i].inView = true;
    m_shownItems = std::move(shown);
    m_laidOutSelection = s;
    m_laidOutGeneration = m_contentGeneration;
}

void ZORCardFlowView::placeItem(Item& item, const Placement& p)
{
    double w = p.width, h = p.height;
    if (p.side < 0) {
        item.image->setTransform(m_leftTransform);
        item.image->setZPosition(0);
        item.layer->setZPosition(-0.1 * p.distance);
    } else if (p.side > 0) {
        item.image->setTransform(m_rightTransform);
        item.image->setZPosition(0);
        item.layer->setZPosition(-0.1 * p.distance);
    } else {
        item.image->setTransform(ui::Transform3D::identity());
        item.image->setZPosition(SelectedImageZ);
        item.layer->setZPosition(0);
    }
    // The frame ignores the turn (it sets the bounds and the anchor's position), so it is sound on these layers.
    item.layer->setFrame({ p.x, h, w, h });
    item.image->setFrame({ 0, 0, w, h });
    item.reflection->setFrame({ 0, -h, w, h });
    item.reflection->setBounds({ { 0, 0 }, item.reflection->bounds().size });
    item.placed = p;
}

void ZORCardFlowView::refreshLayers()
{
    m_scrollLayer->layoutSublayers();
}

// Hit testing.

gfx::Rect ZORCardFlowView::rectForItemAtIndex(std::int64_t index) const
{
    if (index < 0 || std::size_t(index) >= m_content.size() || std::size_t(index) >= m_items.size())
        return {};
    // Where the layout puts the picture, which is where its layer stands when it shows.
    auto r = pictureRectInScrollLayer(placementOf(rowGeometry(), index, m_selectionIndex));
    return m_scrollLayer->convertRectToLayer(r, m_rootLayer.get());
}

std::int64_t ZORCardFlowView::indexOfItemAtPoint(gfx::Point point) const
{
    auto count = static_cast<std::int64_t>(std::min(m_content.size(), m_items.size()));
    auto s = m_selectionIndex;
    auto hit = [&](std::int64_t i) { return gfx::pointInRect(point, rectForItemAtIndex(i)); };
    if (hit(s))
        return s;
    // The pictures on either side of the selection are one picture turned the same way and moved along x, further
    // right the higher the index, at the same height: their rectangles' edges rise with the index. So on the left
    // the highest index whose left edge is not right of the point is the first picture that can hold it in the order
    // searched (downwards; any lower one ends further left), and on the right the lowest whose right edge is right of
    // it (upwards; any higher one begins further right). Its neighbours are tried as well, in that order, for edges
    // that single-precision placement leaves a hair out of step.
    constexpr std::int64_t Slack = 2;
    std::int64_t leftEnd = std::min(s, count), rightBegin = std::max<std::int64_t>(s + 1, 0);
    if (leftEnd > 0) {
        auto last = ZORCardFlowViewFirstWhere(0, leftEnd, [&](std::int64_t i) {
            return !(rectForItemAtIndex(i).minX() <= point.x);
        }) - 1;
        for (auto i = std::min(last + Slack, leftEnd - 1); i >= std::max<std::int64_t>(last - Slack, 0); --i)
            if (hit(i))
                return i;
    }
    if (rightBegin < count) {
        auto first = ZORCardFlowViewFirstWhere(
            rightBegin, count, [&](std::int64_t i) { return rectForItemAtIndex(i).maxX() > point.x; });
        for (auto i = std::max(first - Slack, rightBegin); i <= std::min(first + Slack, count - 1); ++i)
            if (hit(i))
                return i;
    }
    return -1;
}
