#pragma once

#include "platform/ui/views/View.h"

namespace ui {

class MenuView;

// What an open menu shows when it is taller than the room it has: the items in a window of that height, a strip
// with an arrow at each end (pale at the end that is reached), and the items between them moved by an offset.
// A menu that fits shows no strips. Flipped.
class MenuScrollView : public View {
    FND_OBJECT(MenuScrollView)
public:
    MenuScrollView() = default;
    // Height of an arrow strip.
    static constexpr double ArrowHeight = 18;
    // The items, in at most the height given.
    static std::shared_ptr<MenuScrollView> create(std::shared_ptr<MenuView> items, double maximumHeight);

    const std::shared_ptr<MenuView>& items() const { return m_items; }
    bool scrolls() const { return m_scrolls; }
    // How far the items are moved up: 0 shows the first, maximumOffset the last.
    double offset() const { return m_offset; }
    double maximumOffset() const;
    void setOffset(double offset);
    void scrollBy(double points) { setOffset(m_offset + points); }
    // Moves the items as little as needed for the rect (in the items' own coordinates) to be seen whole.
    void scrollRectToShow(gfx::Rect rect);

    enum class Part { Outside, UpArrow, DownArrow, Items };
    // What is at a point of this view.
    Part partAtPoint(gfx::Point point) const;
    // A point of this view in the items' coordinates.
    gfx::Point itemsPoint(gfx::Point point) const;

    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;

private:
    gfx::Rect clipFrame() const;

    std::shared_ptr<MenuView> m_items;
    std::shared_ptr<View> m_clip;
    bool m_scrolls { false };
    double m_offset { 0 };
};

}
