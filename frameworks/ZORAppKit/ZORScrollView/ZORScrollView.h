#pragma once

#include "platform/ui/containers/ScrollView.h"

#include <memory>
#include <vector>

// A scroll view that lets small accessory views (a zoom pop-up, buttons) sit in line with its scrollers, shortening
// a scroller to make room, with a header view across the top and a view in the bottom-right corner. Slots:
// 0 left of the horizontal scroller (laid rightwards), 1 right of it (laid leftwards: the first view added is the
// rightmost), 2 above the vertical scroller (laid downwards), 3 below it (laid upwards: the first is the lowest).
// Horizontal slot views take the scroller's height and keep their width; vertical ones keep their size. Slot
// positions are whole numbers (each running position truncated). The scrollers always take a strip of their own.
// Slots are not archived. Class version 1.
class ZORScrollView : public ui::ScrollView {
    FND_OBJECT(ZORScrollView)

public:
    enum Slot : unsigned { HorLeft = 0, HorRight = 1, VerTop = 2, VerBottom = 3 };
    using Views = std::vector<std::shared_ptr<ui::View>>;

    ZORScrollView() = default;
    // With both scrollers, following its superview's size.
    static std::shared_ptr<ZORScrollView> create(gfx::Rect frame = {});
    // Both scrollers, sizable both ways.
    void initWithFrame(gfx::Rect frame) override;

    // A slot above 3 raises "not an allowed position" and changes nothing.
    void addView(const std::shared_ptr<ui::View>& view, unsigned slot);
    // Takes that very view out of the slot (if it is there) and out of its superview.
    void removeView(const std::shared_ptr<ui::View>& view, unsigned slot);
    const Views& horLeftSlots() const { return m_horLeftSlots; }
    const Views& horRightSlots() const { return m_horRightSlots; }
    const Views& verTopSlots() const { return m_verTopSlots; }
    const Views& verBottomSlots() const { return m_verBottomSlots; }

    // Across the top at its own height, below every other subview; the content moves down by its height.
    const std::shared_ptr<ui::View>& headerView() const { return m_headerView; }
    void setHeaderView(const std::shared_ptr<ui::View>& view);
    // Over the corner where the scrollers meet, above every other subview.
    const std::shared_ptr<ui::View>& bottomRightCornerView() const { return m_bottomRightCornerView; }
    void setBottomRightCornerView(const std::shared_ptr<ui::View>& view);

    void tile() override;
    void horTileWithContentRect(gfx::Rect content);
    void verTileWithContentRect(gfx::Rect content);
    // Places the slot's views beside the content and answers the union of their frames (zero when empty).
    gfx::Rect tileSlotsFor(unsigned slot, gfx::Rect content);

private:
    void setup();
    Views& slotViews(unsigned slot);
    void layoutChanged();

    Views m_horLeftSlots;
    Views m_horRightSlots;
    Views m_verTopSlots;
    Views m_verBottomSlots;
    std::shared_ptr<ui::View> m_bottomRightCornerView;
    std::shared_ptr<ui::View> m_headerView;
    bool m_tiling { false };
};
