#include "frameworks/KRScoreBar/KRScopeBar.h"

#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/TrackingArea.h"

// Drawing and mouse routing.

void KRScopeBar::drawRect(gfx::Rect)
{
    drawBackground();
    for (const auto& helper : m_groups)
        helper->drawGroup();
    if (showsOverflowPullDown())
        m_overflowPullDownCell->drawWithFrame(m_overflowPullDownRect, *this);
}

void KRScopeBar::drawBackground()
{
    const auto bounds = this->bounds();
    // The bar's own coordinates decide which edge is the bottom: the lighter colour goes at the top, the border
    // along the bottom.
    const bool flipped = isFlipped();
    if (m_backgroundGradient)
        m_backgroundGradient->drawInRect(bounds, flipped ? -90 : 90);
    if (m_borderColor) {
        // A one-point line along the bottom edge.
        gfx::GraphicsStateGuard guard;
        m_borderColor->setFill();
        const double y = flipped ? bounds.height() - 1 : bounds.minY();
        gfx::GraphicsContext::current()->fillRect({ bounds.minX(), y, bounds.width(), 1 });
    }
}

void KRScopeBar::updateTrackingAreas()
{
    auto areas = trackingAreas();
    for (const auto& area : areas)
        removeTrackingArea(area);
    const unsigned options = ui::TrackingOptions::MouseEnteredAndExited | ui::TrackingOptions::ActiveInActiveApp;
    if (showsOverflowPullDown())
        addTrackingArea(ui::TrackingArea::create(m_overflowPullDownRect, options, selfPointer()));
    for (const auto& helper : m_groups)
        helper->addTrackingAreas();
}

void KRScopeBar::mouseEntered(const ui::Event& event)
{
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    if (showsOverflowPullDown() && gfx::pointInRect(point, m_overflowPullDownRect)) {
        m_trackingOverflow = true;
        m_overflowPullDownCell->mouseEntered(event);
        return;
    }
    for (const auto& helper : m_groups) {
        if (gfx::pointInRect(point, helper->frame())) {
            m_trackingGroup = helper;
            helper->mouseEntered(event);
            return;
        }
    }
}

void KRScopeBar::mouseExited(const ui::Event& event)
{
    if (m_trackingOverflow) {
        m_trackingOverflow = false;
        if (m_overflowPullDownCell)
            m_overflowPullDownCell->mouseExited(event);
        return;
    }
    if (auto helper = m_trackingGroup.lock())
        helper->mouseExited(event);
    m_trackingGroup.reset();
}

void KRScopeBar::mouseDown(const ui::Event& event)
{
    auto self = selfPointer(); // a choice may remove the bar from its window
    if (m_trackingOverflow && m_overflowPullDownCell) {
        auto cell = m_overflowPullDownCell;
        cell->performClickWithFrame(m_overflowPullDownRect, *this);
        m_trackingOverflow = false;
        cell->mouseExited(event);
        return;
    }
    if (auto helper = m_trackingGroup.lock())
        helper->mouseDown(event);
}
