#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"

#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Event.h"

FND_REGISTER_CLASS(QFAttachedTabBarButtonCell, QFTabBarButtonCell)
FND_REGISTER_CLASS(QFAttachedTabBarButton, QFTabBarButton)
FND_REGISTER_CLASS(QFSlideButtonsAnimation, ui::ViewAnimation)

std::shared_ptr<ui::Cell> QFAttachedTabBarButtonCell::cloneCell() const
{
    return std::make_shared<QFAttachedTabBarButtonCell>(*this);
}

std::shared_ptr<QFAttachedTabBarButton> QFAttachedTabBarButton::create(
    gfx::Rect frame, std::shared_ptr<ui::TabViewItem> item)
{
    auto button = std::make_shared<QFAttachedTabBarButton>();
    button->initWithFrame(frame, std::move(item));
    return button;
}

void QFAttachedTabBarButton::initWithFrame(gfx::Rect frame, std::shared_ptr<ui::TabViewItem> item)
{
    QFTabBarButton::initWithFrame(frame);
    m_tabViewItem = std::move(item);
    m_isInAnimatedSlide = false;
    m_isInDraggedSlide = false;
}

std::shared_ptr<QFAttachedTabBarButton> QFAttachedTabBarButton::allocateByName()
{
    auto button = std::make_shared<QFAttachedTabBarButton>();
    button->m_madeByName = true;
    return button;
}

void QFAttachedTabBarButton::initWithFrame(gfx::Rect frame)
{
    if (!m_madeByName) {
        fnd::assertThat(false, "please use designated initializer -initWithFrame:tabViewItem:");
        return;
    }
    initWithFrame(frame, nullptr);
}

std::shared_ptr<ui::Cell> QFAttachedTabBarButton::makeCell() const
{
    return std::make_shared<QFAttachedTabBarButtonCell>();
}

std::shared_ptr<ui::TabViewItem> QFAttachedTabBarButton::tabViewItem() const
{
    std::lock_guard guard(m_itemLock);
    return m_tabViewItem;
}

void QFAttachedTabBarButton::setTabViewItem(std::shared_ptr<ui::TabViewItem> item)
{
    std::lock_guard guard(m_itemLock);
    m_tabViewItem = std::move(item);
}

gfx::Rect QFAttachedTabBarButton::slidingFrame() const
{
    return frame();
}

void QFAttachedTabBarButton::setSlidingFrame(gfx::Rect newFrame)
{
    newFrame.origin.y = frame().origin.y;
    setFrame(newFrame);
}

bool QFAttachedTabBarButton::isOverflowButton() const
{
    auto c = attachedCell();
    return c && c->isOverflowButton();
}

void QFAttachedTabBarButton::setIsOverflowButton(bool flag)
{
    auto c = attachedCell();
    if (!c || c->isOverflowButton() == flag)
        return;
    c->setIsOverflowButton(flag);
    updateCell();
}

void QFAttachedTabBarButton::setTitle(const fnd::String& title)
{
    QFTabBarButton::setTitle(title);
    if (auto item = tabViewItem(); item && item->label() != title)
        item->setLabel(title);
}

bool QFAttachedTabBarButton::shouldDisplayLeftDivider() const
{
    if (isSliding() || (tabState() & QFTabState::PreviousIsDropTarget))
        return true;
    return QFTabBarButton::shouldDisplayLeftDivider();
}

bool QFAttachedTabBarButton::shouldDisplayRightDivider() const
{
    return !isOverflowButton();
}

gfx::Rect QFAttachedTabBarButton::draggingRect()
{
    auto bar = tabBarView();
    if (bar && bar->style())
        if (auto answer = bar->style()->draggingRectForTabButton(*this, *bar))
            return *answer;
    return _draggingRect();
}

std::shared_ptr<gfx::Image> QFAttachedTabBarButton::dragImage()
{
    setFrame(stackingFrame());
    auto bar = tabBarView();
    const gfx::Rect rect = draggingRect();
    auto result = gfx::Image::imageWithSize(rect.size);
    // The live spinner is a subview our capture would include; the "pi" picture takes its place instead.
    const bool spinning = !indicator()->isHidden();
    indicator()->setHidden(true);
    if (bar && rect.width() > 0 && rect.height() > 0) {
        auto bitmap = bar->bitmapImageRepForCachingDisplayInRect(rect);
        if (bitmap) {
            bar->cacheDisplayInRect(rect, *bitmap);
            auto captured = gfx::Image::imageWithRepresentation(bitmap);
            captured->setSize(rect.size);
            result->lockFocus();
            captured->drawAtPoint({ 0, 0 }, {}, gfx::CompositingOperation::SourceOver, 1.0);
            result->unlockFocus();
        }
    }
    indicator()->setHidden(!spinning);
    if (spinning) {
        // 3 points from the top, where the spinner sits.
        if (auto pi = tbcore::namedImage("QFTabBarView", "pi")) {
            result->lockFocus();
            pi->drawAtPoint({ frame().width() - 6.0 - 16.0, rect.height() - 3.0 - pi->size().height }, {},
                gfx::CompositingOperation::SourceOver, 1.0);
            result->unlockFocus();
        }
    }
    return result;
}

void QFAttachedTabBarButton::viewWillDraw()
{
    // The bar draws the tab's bezel behind it; our display passes already redraw what lies behind a dirty view, so
    // marking the whole bar here would only start another pass after this one, forever.
    QFTabBarButton::viewWillDraw();
}

std::shared_ptr<QFAttachedTabBarButton> QFAttachedTabBarButton::_selectedAttachedTabBarButton() const
{
    auto bar = tabBarView();
    return bar ? bar->selectedAttachedButton() : nullptr;
}

void QFAttachedTabBarButton::selectThis()
{
    if (auto selected = _selectedAttachedTabBarButton())
        selected->setState(ui::ControlStateValue::Off);
    setState(ui::ControlStateValue::On);
    sendAction(action(), target());
}

void QFAttachedTabBarButton::mouseDown(const ui::Event& event)
{
    auto self = std::static_pointer_cast<QFAttachedTabBarButton>(shared_from_this());
    auto bar = tabBarView();
    if (!bar)
        return;
    if (bar->selectsTabsOnMouseDown() && _selectedAttachedTabBarButton().get() != this)
        selectThis();
    if (bar->shouldStartDraggingAttachedTabBarButton(*this, event))
        bar->startDraggingAttachedTabBarButton(*this, event);
}

void QFAttachedTabBarButton::mouseUp(const ui::Event& event)
{
    auto bar = tabBarView();
    if (!bar)
        return;
    const gfx::Point p = convertPointFromView(event.locationInWindow(), nullptr);
    if (mouseInRect(p, bounds()) && !bar->selectsTabsOnMouseDown())
        selectThis();
}

std::shared_ptr<QFSlideButtonsAnimation> QFSlideButtonsAnimation::create(
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons)
{
    std::vector<fnd::Dictionary> dictionaries;
    for (const auto& button : buttons)
        dictionaries.push_back({ { ui::ViewAnimationKey::Target, fnd::Value(button) },
            { ui::ViewAnimationKey::StartFrame, button->frame() },
            { ui::ViewAnimationKey::EndFrame, button->stackingFrame() } });
    auto animation = fnd::makeObject<QFSlideButtonsAnimation>();
    animation->setViewAnimations(std::move(dictionaries));
    animation->setDuration(0.3);
    return animation;
}

void QFSlideButtonsAnimation::addAnimationDictionary(const fnd::Dictionary& dictionary)
{
    fnd::assertThat(!dictionary.isEmpty(), "Invalid parameter not satisfying: aDict != nil");
    auto all = viewAnimations();
    all.push_back(dictionary);
    setViewAnimations(std::move(all));
}
