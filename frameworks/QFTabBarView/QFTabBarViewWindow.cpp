// The tab bar view and its window: key changes, moves, live resizes and frame changes.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "platform/ui/views/Window.h"

namespace {

const char* const TabBarViewToolbarContext = "QFTabBarView.toolbar.visible";

}

void QFTabBarView::stopAnimations()
{
    if (m_slideButtonsAnimation) {
        m_slideButtonsAnimation->setDelegate(nullptr);
        m_slideButtonsAnimation->stopAnimation();
        m_slideButtonsAnimation.reset();
    }
    if (m_hideShowTabBarAnimation) {
        m_hideShowTabBarAnimation->setDelegate(nullptr);
        m_hideShowTabBarAnimation->stopAnimation();
        m_hideShowTabBarAnimation.reset();
    }
}

void QFTabBarView::viewWillMoveToWindow(ui::Window* newWindow)
{
    ui::View::viewWillMoveToWindow(newWindow);
    stopAnimations();
    auto& center = fnd::NotificationCenter::defaultCenter();
    // The first token is the frame observation, kept for the view's life.
    while (m_windowObservers.size() > 1) {
        center.removeObserver(m_windowObservers.back());
        m_windowObservers.pop_back();
    }
    stopObservingToolbar();
    if (!newWindow)
        return;
    // The looks that depend on the toolbar (Unified, and details of Metal and Lively) follow it being shown or hidden.
    newWindow->addObserver(*this, "toolbar.visible", fnd::KeyValueObservingOptions::New, TabBarViewToolbarContext);
    m_observedWindow = std::static_pointer_cast<ui::Window>(newWindow->shared_from_this());
    std::weak_ptr<QFTabBarView> weak = self();
    const fnd::Value object(std::static_pointer_cast<fnd::Object>(newWindow->shared_from_this()));
    auto statusChanged = [weak](const fnd::Notification&) {
        auto view = weak.lock();
        if (!view)
            return;
        view->forEachButton([](QFAttachedTabBarButton& button) { button.updateImages(); });
        view->_updateAddTabButton();
        view->_updateOverflowPopUpButton();
        view->update(false);
    };
    m_windowObservers.push_back(center.addObserverForName(ui::WindowNotification::DidBecomeKey, object, statusChanged));
    m_windowObservers.push_back(center.addObserverForName(ui::WindowNotification::DidResignKey, object, statusChanged));
    m_windowObservers.push_back(
        center.addObserverForName(ui::WindowNotification::DidMove, object, [weak](const fnd::Notification&) {
            if (auto view = weak.lock())
                view->setNeedsDisplay(true);
        }));
}

void QFTabBarView::stopObservingToolbar()
{
    if (auto observed = m_observedWindow.lock())
        observed->removeObserver(*this, "toolbar.visible", TabBarViewToolbarContext);
    m_observedWindow.reset();
}

bool QFTabBarView::observeToolbar(const void* context)
{
    if (context != TabBarViewToolbarContext)
        return false;
    update(false);
    setNeedsDisplay(true);
    return true;
}

void QFTabBarView::viewDidMoveToWindow()
{
    ui::View::viewDidMoveToWindow();
    _checkWindowFrame();
}

void QFTabBarView::viewWillStartLiveResize()
{
    forEachButton([](QFAttachedTabBarButton& button) { button.indicator()->stopAnimation(); });
    setNeedsDisplay(true);
}

void QFTabBarView::viewDidEndLiveResize()
{
    forEachButton([](QFAttachedTabBarButton& button) {
        if (button.isProcessing() && !button.indicator()->isHidden())
            button.indicator()->startAnimation();
    });
    _checkWindowFrame();
    update(false);
}

void QFTabBarView::frameDidChange()
{
    _checkWindowFrame();
    forEachButton([](QFAttachedTabBarButton& button) {
        button.indicator()->stopAnimation();
        if (button.isProcessing() && !button.indicator()->isHidden())
            button.indicator()->startAnimationLater();
    });
    update(false);
}

void QFTabBarView::updateTrackingAreas()
{
    ui::View::updateTrackingAreas();
    forEachButton([](QFAttachedTabBarButton& button) { button.updateTrackingAreas(); });
}
