#pragma once

#include "platform/graphics/Font.h"
#include "platform/ui/panels/detail/RowListView.h"

#include <functional>
#include <vector>

namespace ui::detail {

// A column of titles with one selected (the font panel's families, faces and sizes). A click selects a row and
// tells onSelect; so do Up, Down, Home and End, and typing the start of a title. Flipped; it sits in a scroll view.
class ChoiceListView : public RowListView {
    FND_OBJECT(ChoiceListView)
public:
    ChoiceListView();
    static constexpr double RowHeight = 19;
    static std::shared_ptr<ChoiceListView> create(gfx::Rect frame);

    void setTitles(std::vector<fnd::String> titles);
    const std::vector<fnd::String>& titles() const { return m_titles; }
    long selectedRow() const { return m_selected; }
    // Selects without telling onSelect; -1 clears.
    void selectRow(long row);
    long rowOfTitle(const fnd::String& title) const;
    gfx::Rect rectOfRow(long row) const;
    std::function<void(long row)> onSelect;

    bool isFlipped() const override { return true; }
    bool acceptsFirstMouse(const Event*) override { return true; }
    bool acceptsFirstResponder() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    void keyDown(const Event& event) override;
    void drawFocusRingMask() override;
    gfx::Rect focusRingMaskBounds() const override { return visibleRect(); }

protected:
    // Accessibility: a list of its titles, the chosen one selected (named by the label the panel gives it).
    long accessibilityRowCount() const override { return long(m_titles.size()); }
    fnd::String accessibilityRowTitle(long row) const override { return m_titles[std::size_t(row)]; }
    bool accessibilityRowIsSelected(long row) const override { return row == m_selected; }
    gfx::Rect accessibilityRowRect(long row) const override { return rectOfRow(row); }
    void accessibilityChooseRow(long row) override { choose(row); }

private:
    void resize();
    void choose(long row);
    fnd::String m_typed;
    fnd::Date m_lastTyped = fnd::Date::distantPast();

    std::vector<fnd::String> m_titles;
    long m_selected { -1 };
};

}
