// Hiding and showing the tab bar view: the partner view (or the window) takes the bar's room and gives it back.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/tab-bar-core/TabBarGeometry.h"
#include "platform/ui/views/ViewAnimation.h"
#include "platform/ui/views/Window.h"

namespace {

const fnd::String TabBarViewHideKey = "hide";

}

void QFTabBarView::hideTabBar(bool hide, bool animate)
{
    if (hide == m_isHidden)
        return;
    m_isHidden = hide;
    auto partner = partnerView();
    auto w = window();
    const bool vertical = m_orientation == QFTabBarOrientation::Vertical;
    double thickness;
    if (vertical) {
        if (hide)
            m_tabBarWidth = long(frame().width());
        thickness = double(m_tabBarWidth);
    } else {
        // The bar's own height, not a fixed one: styles may make it taller.
        if (hide)
            m_hiddenBarHeight = frame().height();
        thickness = m_hiddenBarHeight > 0 ? m_hiddenBarHeight : frame().height();
    }
    gfx::Rect newFrame;
    if (partner) {
        const auto placement = tbcore::partnerPlacement(frame(), partner->frame(), vertical, thickness);
        newFrame = tbcore::hideShowFrames(frame(), partner->frame(), vertical, placement, hide, thickness).partner;
    } else if (w) {
        newFrame
            = tbcore::hideShowFrames(frame(), w->frame(), vertical, tbcore::HideShowPartner::Window, hide, thickness)
                  .partner;
    }
    if (hide)
        setHidden(true);

    if (partner && animate) {
        if (m_hideShowTabBarAnimation) {
            m_hideShowTabBarAnimation->setDelegate(nullptr);
            m_hideShowTabBarAnimation->stopAnimation();
        }
        m_hideShowHiding = hide;
        m_hideShowTabBarAnimation = ui::ViewAnimation::create({ { { ui::ViewAnimationKey::Target, fnd::Value(partner) },
            { ui::ViewAnimationKey::StartFrame, partner->frame() }, { ui::ViewAnimationKey::EndFrame, newFrame },
            { TabBarViewHideKey, fnd::Value(hide) } } });
        m_hideShowTabBarAnimation->setDuration(0.1);
        m_hideShowTabBarAnimation->setDelegate(std::static_pointer_cast<ui::AnimationDelegate>(self()));
        m_hideShowTabBarAnimation->startAnimation();
        return;
    }
    if (partner)
        partner->setFrame(newFrame);
    else if (w)
        w->setFrame(newFrame, true);
    if (!hide)
        setHidden(false);
    auto d = delegate();
    if (auto tabs = tabView(); d && tabs) {
        if (hide)
            d->tabViewTabBarViewDidHide(*tabs, *this);
        else
            d->tabViewTabBarViewDidUnhide(*tabs, *this);
    }
}

void QFTabBarView::animationDidStop(ui::Animation& animation)
{
    _finalizeAnimation(animation);
}

void QFTabBarView::animationDidEnd(ui::Animation& animation)
{
    _finalizeAnimation(animation);
}

void QFTabBarView::_finalizeAnimation(ui::Animation& animation)
{
    auto keep = self();
    if (m_slideButtonsAnimation && &animation == m_slideButtonsAnimation.get()) {
        m_slideButtonsAnimation.reset();
        _positionAddTabButton();
        updateTrackingAreas();
        setNeedsDisplay(true);
        return;
    }
    if (m_hideShowTabBarAnimation && &animation == m_hideShowTabBarAnimation.get()) {
        bool hide = m_hideShowHiding;
        if (!m_hideShowTabBarAnimation->viewAnimations().empty())
            hide = m_hideShowTabBarAnimation->viewAnimations().back().get(TabBarViewHideKey).boolValue();
        if (!hide)
            setHidden(false);
        m_hideShowTabBarAnimation.reset();
        updateTrackingAreas();
        auto d = delegate();
        if (auto tabs = tabView(); d && tabs) {
            if (hide)
                d->tabViewTabBarViewDidHide(*tabs, *this);
            else
                d->tabViewTabBarViewDidUnhide(*tabs, *this);
        }
    }
}
