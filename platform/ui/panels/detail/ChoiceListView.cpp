#include "platform/ui/panels/detail/ChoiceListView.h"

#include "platform/foundation/runtime/Clock.h"

#include "platform/graphics/BezierPath.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>

namespace ui::detail {

FND_REGISTER_CLASS(ChoiceListView, View)

ChoiceListView::ChoiceListView()
    : RowListView(AccessibilityRole::List, AccessibilityRole::Row)
{
}

std::shared_ptr<ChoiceListView> ChoiceListView::create(gfx::Rect frame)
{
    return ui::makeView<ChoiceListView>(frame);
}

void ChoiceListView::setTitles(std::vector<fnd::String> titles)
{
    m_titles = std::move(titles);
    m_selected = -1;
    resize();
    setNeedsDisplay(true);
    rowListChanged();
}

void ChoiceListView::resize()
{
    double height = RowHeight * double(m_titles.size());
    if (auto clip = superview())
        height = std::max(height, clip->bounds().height());
    setFrameSize({ superview() ? superview()->bounds().width() : frame().width(), height });
}

void ChoiceListView::selectRow(long row)
{
    if (row < -1 || row >= long(m_titles.size()))
        row = -1;
    if (row == m_selected)
        return;
    m_selected = row;
    setNeedsDisplay(true);
    if (row >= 0)
        scrollRectToVisible(rectOfRow(row));
    rowListSelectionChanged();
}

long ChoiceListView::rowOfTitle(const fnd::String& title) const
{
    auto found = std::ranges::find(m_titles, title);
    return found == m_titles.end() ? -1 : long(found - m_titles.begin());
}

gfx::Rect ChoiceListView::rectOfRow(long row) const
{
    return { 0, RowHeight * double(row), bounds().width(), RowHeight };
}

void ChoiceListView::drawRect(gfx::Rect dirty)
{
    static const auto font = gfx::Font::systemFontOfSize(12);
    bool active = window() && window()->isKeyWindow();
    gfx::Color::whiteColor()->setFill();
    gfx::BezierPath::fillRect(dirty);
    for (long i = 0; i < long(m_titles.size()); ++i) {
        auto r = rectOfRow(i);
        if (!gfx::intersectsRect(r, dirty))
            continue;
        bool selected = i == m_selected;
        if (selected) {
            ControlLook::accentColor(active)->setFill();
            gfx::BezierPath::fillRect(r);
        }
        drawLabel(m_titles[std::size_t(i)], gfx::insetRect(r, 6, 0), font,
            selected ? ControlLook::textOnAccentColor(true) : ControlLook::textColor(true));
    }
}

void ChoiceListView::mouseDown(const Event& event)
{
    auto p = convertPointFromView(event.locationInWindow(), nullptr);
    long row = long(p.y / RowHeight);
    if (p.y < 0 || row >= long(m_titles.size()))
        return;
    choose(row);
}

void ChoiceListView::choose(long row)
{
    if (row < 0 || row >= long(m_titles.size()))
        return;
    selectRow(row);
    scrollRectToVisible(rectOfRow(row));
    if (onSelect)
        onSelect(row);
}

void ChoiceListView::keyDown(const Event& event)
{
    const auto chars = event.charactersIgnoringModifiers();
    const unsigned commandKeys = ModifierFlags::Command | ModifierFlags::Control | ModifierFlags::Alternate;
    if (chars.length() != 1 || m_titles.empty() || (event.modifierFlags() & commandKeys)) {
        View::keyDown(event);
        return;
    }
    const long last = long(m_titles.size()) - 1;
    const char16_t c = chars.characterAt(0);
    switch (c) {
    case FunctionKey::DownArrow:
        choose(std::min(last, m_selected + 1));
        return;
    case FunctionKey::UpArrow:
        choose(m_selected < 0 ? last : std::max(0L, m_selected - 1));
        return;
    case FunctionKey::Home:
        choose(0);
        return;
    case FunctionKey::End:
        choose(last);
        return;
    default:
        break;
    }
    if (c <= u' ' || c == 0x7F || (c >= 0xF700 && c <= 0xF8FF)) {
        View::keyDown(event);
        return;
    }
    // Letters typed within a second of each other spell one title.
    constexpr double TypeSelectPause = 1.0;
    const auto now = fnd::Clock::current()->now();
    if (now.timeIntervalSince(m_lastTyped) > TypeSelectPause)
        m_typed = {};
    m_lastTyped = now;
    m_typed = m_typed + chars.lowercaseString();
    for (long row = 0; row <= last; ++row)
        if (m_titles[std::size_t(row)].lowercaseString().hasPrefix(m_typed)) {
            choose(row);
            return;
        }
}

void ChoiceListView::drawFocusRingMask()
{
    gfx::BezierPath::fillRect(focusRingMaskBounds());
}

}
