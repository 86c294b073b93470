#pragma once

#include "platform/ui/views/View.h"

#include <algorithm>

class ZORSplitView;
class ZORSplitViewToolbar;

// Which neighbour takes a collapsing pane's room.
enum class ZORSplitSiblingResizeMode : long { Previous = 0, Next = 1 };

// A pane of a ZORSplitView that carries its own rules: whether it may collapse, which neighbour takes its room,
// its minimum size, whether it follows the split view's resizing, and an optional toolbar along its bottom edge.
class ZORSplitSubview : public ui::View {
    FND_OBJECT(ZORSplitSubview)
    static void describeClass(fnd::ClassBuilder<ZORSplitSubview>& c);

public:
    ZORSplitSubview() = default;
    ~ZORSplitSubview() override;
    static std::shared_ptr<ZORSplitSubview> create(gfx::Rect frame = {});

    bool resizesWithSplitView() const { return m_resizesWithSplitView; }
    void setResizesWithSplitView(bool flag) { m_resizesWithSplitView = flag; }
    bool isCollapsible() const { return m_isCollapsible; }
    void setIsCollapsible(bool flag) { m_isCollapsible = flag; }
    // 0 the previous pane, 1 the next one; any other value: none.
    long siblingResizeMode() const { return m_siblingResizeMode; }
    void setSiblingResizeMode(long mode) { m_siblingResizeMode = mode; }
    // Extent along the split axis; 0 means no limit. Held from 0 to ten million points (LargestSize) as an archive
    // reads them: a negative size or one that is no number is none, a larger one the largest.
    static constexpr double LargestSize = 1e7;
    double minSize() const { return m_minSize; }
    void setMinSize(double size) { m_minSize = boundedSize(size); }
    double maxSize() const { return m_maxSize; }
    void setMaxSize(double size) { m_maxSize = boundedSize(size); }
    const std::shared_ptr<ZORSplitViewToolbar>& toolbar() const { return m_toolbar; }

    bool isCollapsed() const;
    void setIsCollapsed(bool flag);
    // Action: collapses or expands; a pane that may not collapse beeps.
    void toggleCollapse(const fnd::Value& sender);
    std::shared_ptr<ui::View> splitSubviewToExpand() const;
    // Puts a toolbar along the bottom edge, shortening the last subview to make room.
    void installToolbar();

    // After the view's data, the pane's settings under their key names and its toolbar (one of its subviews).
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    static double boundedSize(double size) { return size > 0 ? std::min(size, LargestSize) : 0; }

    bool m_resizesWithSplitView { true };
    bool m_isCollapsible { false };
    long m_siblingResizeMode { 0 };
    double m_minSize { 0 };
    double m_maxSize { 0 };
    std::shared_ptr<ZORSplitViewToolbar> m_toolbar;
};
