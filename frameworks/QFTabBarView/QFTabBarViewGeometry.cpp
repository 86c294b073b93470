// The tab bar view's margins and rects: each asked of the style first, then the built-in answer.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

double QFTabBarView::leftMargin()
{
    if (m_style)
        if (auto answer = m_style->leftMarginForTabBarView(*this))
            return *answer;
    return m_orientation == QFTabBarOrientation::Horizontal ? 6.0 : 0.0;
}

double QFTabBarView::rightMargin()
{
    if (m_style)
        if (auto answer = m_style->rightMarginForTabBarView(*this))
            return *answer;
    return m_orientation == QFTabBarOrientation::Horizontal ? 6.0 : 0.0;
}

double QFTabBarView::topMargin()
{
    if (m_style)
        if (auto answer = m_style->topMarginForTabBarView(*this))
            return *answer;
    return m_orientation == QFTabBarOrientation::Horizontal ? 0.0 : 3.0;
}

double QFTabBarView::bottomMargin()
{
    if (m_style)
        if (auto answer = m_style->bottomMarginForTabBarView(*this))
            return *answer;
    return m_orientation == QFTabBarOrientation::Horizontal ? 0.0 : 3.0;
}

gfx::Size QFTabBarView::addTabButtonSize()
{
    if (m_style)
        if (auto answer = m_style->addTabButtonSizeForTabBarView(*this))
            return *answer;
    if (m_orientation == QFTabBarOrientation::Horizontal)
        return { 12.0, frame().height() };
    return { frame().width(), 18.0 };
}

gfx::Rect QFTabBarView::addTabButtonRect()
{
    if (m_style)
        if (auto answer = m_style->addTabButtonRectForTabBarView(*this))
            return *answer;
    return _addTabButtonRect();
}

gfx::Rect QFTabBarView::_addTabButtonRect()
{
    if (!m_showAddTabButton)
        return gfx::ZeroRect;
    const gfx::Size size = addTabButtonSize();
    auto last = lastAttachedButton();
    if (m_orientation == QFTabBarOrientation::Horizontal) {
        double x = 4.0;
        if (last) {
            x = last->stackingFrame().maxX() + 4.0;
            if (last->isOverflowButton())
                x += 4.0 + overflowButtonSize().width;
        }
        return { x, bounds().minY(), size.width, size.height };
    }
    return { bounds().minX(), last ? last->stackingFrame().maxY() : 0, size.width, size.height };
}

gfx::Size QFTabBarView::overflowButtonSize()
{
    if (m_style)
        if (auto answer = m_style->overflowButtonSizeForTabBarView(*this))
            return *answer;
    if (m_orientation == QFTabBarOrientation::Horizontal)
        return { 14.0, frame().height() };
    return { frame().width(), 18.0 };
}

gfx::Rect QFTabBarView::overflowButtonRect()
{
    if (m_style)
        if (auto answer = m_style->overflowButtonRectForTabBarView(*this))
            return *answer;
    return _overflowButtonRect();
}

gfx::Rect QFTabBarView::_overflowButtonRect()
{
    if (!m_useOverflowMenu)
        return gfx::ZeroRect;
    const gfx::Size size = overflowButtonSize();
    auto last = lastAttachedButton();
    if (m_orientation == QFTabBarOrientation::Horizontal)
        return { last ? last->stackingFrame().maxX() : 0, bounds().minY(), size.width, size.height };
    return { bounds().minX(), last ? last->stackingFrame().maxY() : 0, size.width, size.height };
}

double QFTabBarView::heightOfTabBarButtons()
{
    if (m_style)
        if (auto answer = m_style->heightOfTabBarButtonsForTabBarView(*this))
            return *answer;
    return 22.0;
}

bool QFTabBarView::supportsOrientation(QFTabBarOrientation orientation)
{
    if (m_style)
        if (auto answer = m_style->supportsOrientation(orientation, *this))
            return *answer;
    return true;
}

double QFTabBarView::availableWidthForButtons()
{
    double width = frame().width() - leftMargin() - rightMargin() - double(m_resizeAreaCompensation);
    if (m_showAddTabButton)
        width -= addTabButtonSize().width + 8.0;
    // None, not less, in a bar narrower than its margins.
    return std::max(0.0, width);
}

double QFTabBarView::availableHeightForButtons()
{
    double height = bounds().height() - topMargin() - bottomMargin() - double(m_resizeAreaCompensation);
    if (m_showAddTabButton)
        height -= addTabButtonRect().height();
    if (m_useOverflowMenu && m_overflowPopUpButton && !m_overflowPopUpButton->isHidden())
        height -= overflowButtonRect().height();
    return height;
}

gfx::Rect QFTabBarView::genericButtonRect()
{
    return { leftMargin(), topMargin(), availableWidthForButtons(), heightOfTabBarButtons() };
}

gfx::Rect QFTabBarView::dividerRect() const
{
    auto tabs = tabView();
    if (m_orientation == QFTabBarOrientation::Vertical && m_allowsResizing)
        return { bounds().width() - 3.0, 0, 3.0, tabs ? tabs->frame().height() : bounds().height() };
    return gfx::ZeroRect;
}

bool QFTabBarView::isOverflowButtonVisible() const
{
    return m_overflowPopUpButton && m_overflowPopUpButton->frame().width() != 0
        && m_overflowPopUpButton->frame().height() != 0 && !m_overflowPopUpButton->isHidden();
}

bool QFTabBarView::isWindowActive() const
{
    auto w = window();
    // Floating windows stand for panels, which count as active while the application is.
    return w && (w->isKeyWindow() || (w->level() >= ui::WindowLevel::Floating && ui::Application::shared().isActive()));
}

void QFTabBarView::_checkWindowFrame()
{
    auto w = window();
    if (!w)
        return;
    auto content = w->contentView();
    long compensation = 0;
    if (content && w->showsResizeIndicator()) {
        // The resize corner and this view's frame, both in the window's base coordinates.
        const gfx::Rect contentFrame = content->convertRectToView(content->bounds(), nullptr);
        const gfx::Rect corner { contentFrame.maxX() - 22.0, contentFrame.minY(), 22.0, 22.0 };
        const gfx::Rect mine = convertRectToView(bounds(), nullptr);
        if (gfx::intersectsRect(mine, corner))
            compensation = (w->styleMask() & ui::WindowStyleMask::TexturedBackground) ? 20 : 8;
    }
    m_resizeAreaCompensation = compensation;
}
