#pragma once

// What the text view's source files share.

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/Geometry.h"
#include "platform/text/LayoutManager.h"

#include <algorithm>

namespace ui {

class TextView;

namespace detail {

// Seconds the caret stays on, then off.
inline constexpr double InsertionPointBlinkPeriod = 0.5;

// The range moved and cut to lie within a text of the length (an empty range stays empty where it was).
inline fnd::Range clampRange(fnd::Range range, fnd::Index length)
{
    auto location = std::clamp<fnd::Index>(range.location, 0, length);
    return { location, std::clamp<fnd::Index>(range.length, 0, length - location) };
}

// Declares the text commands as actions of the text view class.
void describeTextViewCommands(fnd::ClassBuilder<TextView>& c);

// Around a change the view makes to its own text: what it looked like before, so that afterwards the view resizes
// and redraws just the lines that changed (and what moved below them).
class TextChange {
public:
    TextChange(TextView& view, fnd::Range oldRange, fnd::Index newLength);
    void finish();

private:
    gfx::Rect paragraphRect(fnd::Range range) const;
    double textBottom() const;

    TextView& m_view;
    fnd::Range m_oldRange;
    fnd::Index m_newLength;
    double m_oldBottom { 0 };
    gfx::Rect m_oldRect;
    bool m_finished { false };
};

// Tells the view when its layout manager has taken in an edit.
class TextViewLayoutWatcher : public txt::LayoutManagerDelegate {
public:
    explicit TextViewLayoutWatcher(TextView& view)
        : m_view(view)
    {
    }
    void layoutManagerDidProcessEditing(txt::LayoutManager&, unsigned, fnd::Range range, fnd::Index) override;

private:
    TextView& m_view; // the view owns the watcher
};

}

}
