#include "platform/ui/views/View.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/ui/views/Window.h"

namespace ui {

namespace {

// Layout that keeps asking for more layout (two views moving each other back and forth) stops after this many
// rounds instead of spinning; the views are then drawn as they stand.
constexpr int ViewLayoutMaxRounds = 16;

}

void View::setNeedsLayout(bool flag)
{
    m_needsLayout = flag;
    if (flag)
        noteLayoutDueInSubtree();
}

// The ancestors learn that a pass must come down to this view, and the window that a pass is due.
void View::noteLayoutDueInSubtree()
{
    for (auto parent = superview(); parent; parent = parent->superview())
        parent->m_subtreeNeedsLayout = true;
    if (auto w = window())
        w->setViewsNeedLayout(true);
}

void View::layoutSubtreeIfNeeded()
{
    if (!layoutIsDue())
        return;
    auto self = shared_from_this(); // a layout hook may take this view out of its superview
    for (int round = 0; layoutIsDue(); ++round) {
        if (round == ViewLayoutMaxRounds) {
            fnd::logf(fnd::LogLevel::Warning, "Layout of a {} did not settle after {} rounds; it is left as it is.",
                className().utf8(), ViewLayoutMaxRounds);
            forgetDueLayout();
            return;
        }
        layOutOnce();
    }
}

// Top-down: the view places its subviews before they place theirs, so each sees its final frame.
void View::layOutOnce()
{
    if (m_needsLayout) {
        m_needsLayout = false;
        layout();
    }
    if (!m_subtreeNeedsLayout)
        return;
    // Cleared before the subviews run: whatever they ask for from now on marks it again for the next round.
    m_subtreeNeedsLayout = false;
    auto subviews = m_subviews; // layout may change the tree
    for (const auto& sub : subviews) {
        if (sub->layoutIsDue() && sub->m_superview.lock().get() == this)
            sub->layOutOnce();
    }
}

void View::forgetDueLayout()
{
    m_needsLayout = false;
    m_subtreeNeedsLayout = false;
    for (const auto& sub : m_subviews)
        sub->forgetDueLayout();
}

}
