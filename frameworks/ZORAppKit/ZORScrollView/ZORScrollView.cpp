#include "frameworks/ZORAppKit/ZORScrollView/ZORScrollView.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Exception.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(ZORScrollView, ui::ScrollView)

namespace {

[[maybe_unused]] const bool scrollViewVersionIsSet = (fnd::setClassVersion(ZORScrollView::staticClassInfo(), 1), true);

}

std::shared_ptr<ZORScrollView> ZORScrollView::create(gfx::Rect frame)
{
    return ui::makeView<ZORScrollView>(frame);
}

void ZORScrollView::initWithFrame(gfx::Rect frame)
{
    ScrollView::initWithFrame(frame);
    setHasHorizontalScroller(true);
    setHasVerticalScroller(true);
    setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
    setup();
}

void ZORScrollView::setup()
{
    m_horLeftSlots.clear();
    m_horRightSlots.clear();
    m_verTopSlots.clear();
    m_verBottomSlots.clear();
    m_headerView = nullptr;
    m_bottomRightCornerView = nullptr;
    setScrollerStyle(ui::ScrollerStyle::Legacy);
}

ZORScrollView::Views& ZORScrollView::slotViews(unsigned slot)
{
    switch (slot) {
    case HorLeft:
        return m_horLeftSlots;
    case HorRight:
        return m_horRightSlots;
    case VerTop:
        return m_verTopSlots;
    case VerBottom:
        return m_verBottomSlots;
    default:
        throw fnd::Exception("not an allowed position", "Scroll view does not support specified slot position");
    }
}

void ZORScrollView::layoutChanged()
{
    tile();
    setNeedsDisplay(true);
}

void ZORScrollView::addView(const std::shared_ptr<ui::View>& view, unsigned slot)
{
    auto& views = slotViews(slot);
    if (!view)
        return;
    views.push_back(view);
    addSubview(view);
    layoutChanged();
}

void ZORScrollView::removeView(const std::shared_ptr<ui::View>& view, unsigned slot)
{
    auto& views = slotViews(slot);
    if (!view)
        return;
    std::erase(views, view);
    view->removeFromSuperview();
    layoutChanged();
}

void ZORScrollView::setHeaderView(const std::shared_ptr<ui::View>& view)
{
    if (m_headerView)
        m_headerView->removeFromSuperview();
    m_headerView = view;
    if (view)
        addSubview(view, ui::WindowOrderingMode::Below, nullptr);
    layoutChanged();
}

void ZORScrollView::setBottomRightCornerView(const std::shared_ptr<ui::View>& view)
{
    if (m_bottomRightCornerView)
        m_bottomRightCornerView->removeFromSuperview();
    m_bottomRightCornerView = view;
    if (view)
        addSubview(view);
    layoutChanged();
}

void ZORScrollView::tile()
{
    auto clip = contentView();
    if (!clip || !clip->documentView() || m_tiling)
        return;
    // Moving the clip view below may ask for another layout; this one finishes first.
    m_tiling = true;
    auto self = shared_from_this();
    const gfx::Point scrolled = clip->bounds().origin;
    ui::ScrollView::tile();
    gfx::Rect content = clip->frame();

    if (m_headerView) {
        const double h = m_headerView->frame().height();
        m_headerView->setFrame({ 0, 0, frame().width(), h });
        if (h != 0) {
            content.origin.y += h;
            content.size.height -= h;
            clip->setFrame(content);
            clip->setBoundsOrigin(scrolled);
            clip->setFrame(clip->frame());
            if (auto ruler = horizontalRulerView(); ruler && hasHorizontalRuler())
                ruler->setFrame(gfx::offsetRect(ruler->frame(), 0, h));
            if (auto ruler = verticalRulerView(); ruler && hasVerticalRuler()) {
                gfx::Rect r = ruler->frame();
                ruler->setFrame({ r.minX(), r.minY() + h, r.width(), r.height() - h });
            }
        }
    }
    if (m_bottomRightCornerView) {
        // In the scroll view's own coordinates, inside its border.
        gfx::Rect f = bounds();
        if (borderType() != ui::BorderType::NoBorder)
            f = gfx::insetRect(f, 1, 1);
        const double w = verticalScroller() ? verticalScroller()->frame().width() : 0;
        const double h = horizontalScroller() ? horizontalScroller()->frame().height() : 0;
        m_bottomRightCornerView->setFrame({ f.maxX() - w, f.maxY() - h, w, h });
    }
    if (hasVerticalScroller())
        verTileWithContentRect(content);
    if (hasHorizontalScroller())
        horTileWithContentRect(content);
    m_tiling = false;
}

void ZORScrollView::horTileWithContentRect(gfx::Rect c)
{
    auto scroller = horizontalScroller();
    if (!scroller)
        return;
    const double h = scroller->frame().height();
    const double left = tileSlotsFor(HorLeft, c).width();
    const double right = tileSlotsFor(HorRight, c).width();
    scroller->setFrame({ c.minX() + left, c.maxY(), c.width() - (left + right), h });
}

void ZORScrollView::verTileWithContentRect(gfx::Rect c)
{
    auto scroller = verticalScroller();
    if (!scroller)
        return;
    const double w = scroller->frame().width();
    const double top = tileSlotsFor(VerTop, c).height();
    const double bottom = tileSlotsFor(VerBottom, c).height();
    scroller->setFrame({ c.maxX(), c.minY() + top, w, c.height() - (top + bottom) });
}

gfx::Rect ZORScrollView::tileSlotsFor(unsigned slot, gfx::Rect c)
{
    const auto& views = slotViews(slot);
    const double scrollerHeight = horizontalScroller() ? horizontalScroller()->frame().height() : 0;
    gfx::Rect placed;
    double p = 0;
    for (const auto& view : views) {
        const gfx::Size size = view->frame().size;
        const bool first = slot == VerTop ? placed.height() == 0 : placed.width() == 0;
        gfx::Rect f;
        switch (slot) {
        case HorLeft:
            if (first)
                p = std::trunc(c.minX());
            f = { p, c.maxY(), size.width, scrollerHeight };
            p = std::trunc(p + size.width);
            break;
        case HorRight:
            if (first)
                p = std::trunc(c.maxX());
            f = { p - size.width, c.maxY(), size.width, scrollerHeight };
            p = std::trunc(p - size.width);
            break;
        case VerTop:
            if (first)
                p = std::trunc(c.minY());
            f = { c.maxX(), p, size.width, size.height };
            p = std::trunc(p + size.height);
            break;
        default:
            if (first)
                p = std::trunc(c.maxY());
            f = { c.maxX(), p - size.height, size.width, size.height };
            p = std::trunc(p - size.height);
            break;
        }
        view->setFrame(f);
        placed = placed.isEmpty() ? f : gfx::unionRect(placed, f);
    }
    return placed;
}
