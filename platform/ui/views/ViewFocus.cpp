#include "platform/ui/views/View.h"

#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/FocusRing.h"

#include <unordered_set>

namespace ui {

void View::setNextKeyView(const std::shared_ptr<View>& view)
{
    if (auto old = m_nextKeyView.lock(); old && old.get() != view.get() && old->m_previousKeyView.lock().get() == this)
        old->m_previousKeyView.reset();
    m_nextKeyView = view;
    if (view)
        view->m_previousKeyView = std::static_pointer_cast<View>(shared_from_this());
}

bool View::canBecomeKeyView() const
{
    return acceptsFirstResponder() && !isHiddenOrHasHiddenAncestor() && window() != nullptr;
}

namespace {

// Walks the loop one way from the view until a view that can take the keyboard; a loop without one ends where it
// started.
std::shared_ptr<View> walkKeyViews(const View& start, std::shared_ptr<View> (View::*step)() const)
{
    std::unordered_set<const View*> seen { &start };
    for (auto view = (start.*step)(); view; view = ((*view).*step)()) {
        if (!seen.insert(view.get()).second)
            return nullptr;
        if (view->canBecomeKeyView())
            return view;
    }
    return nullptr;
}

}

std::shared_ptr<View> View::nextValidKeyView() const
{
    return walkKeyViews(*this, &View::nextKeyView);
}

std::shared_ptr<View> View::previousValidKeyView() const
{
    return walkKeyViews(*this, &View::previousKeyView);
}

void detail::setNeedsDisplayForFocusRingAround(View& view, gfx::Rect rect)
{
    if (rect.isEmpty())
        return;
    // The ring's reach is in window points, whatever the view's scale; a point more for the pixel its soft rim
    // touches at a fraction of a pixel.
    constexpr double reach = FocusRingOutset + 1;
    const auto grown = gfx::insetRect(view.convertRectToView(rect, nullptr), -reach, -reach);
    view.setNeedsDisplayInRect(view.convertRectFromView(grown, nullptr));
}

void View::setKeyboardFocusRingNeedsDisplayInRect(gfx::Rect rect)
{
    if (auto parent = superview())
        detail::setNeedsDisplayForFocusRingAround(*parent, convertRectToView(rect, parent.get()));
    else
        detail::setNeedsDisplayForFocusRingAround(*this, rect);
}

bool View::showsFocusRingNow() const
{
    auto w = window();
    if (!w || !w->isKeyWindow() || focusRingType() == FocusRingType::None)
        return false;
    auto first = w->firstResponder();
    if (first.get() == this)
        return true;
    // A control shows the ring while its field editor (a subview of it) has the keyboard.
    auto editor = std::dynamic_pointer_cast<View>(first);
    return editor && editor->superview().get() == this && currentEditor() == editor;
}

}
