#pragma once

#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/Scroller.h"
#include "platform/ui/controls/ControlTypes.h"

namespace ui {

// Shows a document view through a clip view, with scrollers beside it (legacy style: each in a strip of its own)
// or over its edges (overlay style), optional rulers above and left of the content and a border. tile() lays all
// of this out; it runs whenever the layout may change (size, scrollers, rulers, border, document size when
// scrollers hide themselves), so a subclass that places views of its own overrides it, calls the base and moves
// things. Flipped.
class ScrollView : public View {
    FND_OBJECT(ScrollView)
    static void describeClass(fnd::ClassBuilder<ScrollView>& c);

public:
    ScrollView() = default;
    static std::shared_ptr<ScrollView> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // After the view's data, its parts (as references to its subviews) and settings; see ContainersCoding.cpp.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // The size of the clip view for a frame size with the given scrollers and border.
    static gfx::Size contentSizeForFrameSize(gfx::Size frameSize, bool hasHorizontalScroller, bool hasVerticalScroller,
        BorderType border, ControlSize size = ControlSize::Regular, ScrollerStyle style = ScrollerStyle::Legacy);
    static gfx::Size frameSizeForContentSize(gfx::Size contentSize, bool hasHorizontalScroller,
        bool hasVerticalScroller, BorderType border, ControlSize size = ControlSize::Regular,
        ScrollerStyle style = ScrollerStyle::Legacy);

    // Content.
    const std::shared_ptr<ClipView>& contentView() const { return m_contentView; }
    void setContentView(const std::shared_ptr<ClipView>& clipView);
    std::shared_ptr<View> documentView() const;
    void setDocumentView(const std::shared_ptr<View>& view);
    gfx::Rect documentVisibleRect() const;
    gfx::Size contentSize() const;

    // Scrollers.
    bool hasVerticalScroller() const { return m_hasVerticalScroller; }
    void setHasVerticalScroller(bool flag);
    bool hasHorizontalScroller() const { return m_hasHorizontalScroller; }
    void setHasHorizontalScroller(bool flag);
    const std::shared_ptr<Scroller>& verticalScroller() const { return m_verticalScroller; }
    void setVerticalScroller(const std::shared_ptr<Scroller>& scroller);
    const std::shared_ptr<Scroller>& horizontalScroller() const { return m_horizontalScroller; }
    void setHorizontalScroller(const std::shared_ptr<Scroller>& scroller);
    // Scrollers that have nothing to scroll are hidden (and give their strip to the content).
    bool autohidesScrollers() const { return m_autohidesScrollers; }
    void setAutohidesScrollers(bool flag);
    ScrollerStyle scrollerStyle() const { return m_scrollerStyle; }
    void setScrollerStyle(ScrollerStyle style);

    // Border and background (the clip view's).
    BorderType borderType() const { return m_borderType; }
    void setBorderType(BorderType type);
    gfx::ColorPtr backgroundColor() const;
    void setBackgroundColor(gfx::ColorPtr color);
    bool drawsBackground() const;
    void setDrawsBackground(bool flag);

    // Scroll amounts: a line for arrows and wheel notches, a page keeps this much of the old view in sight.
    double lineScroll() const { return m_verticalLineScroll; }
    // Scroll amounts are from 0 to LargestScrollAmount, as archives hold them (NaN keeps the amount there is).
    static constexpr double LargestScrollAmount = 1e6;
    static constexpr double boundedScrollAmount(double amount, double current)
    {
        return boundedNumber(amount, 0, LargestScrollAmount, current);
    }
    void setLineScroll(double amount);
    double verticalLineScroll() const { return m_verticalLineScroll; }
    void setVerticalLineScroll(double amount)
    {
        m_verticalLineScroll = boundedScrollAmount(amount, m_verticalLineScroll);
    }
    double horizontalLineScroll() const { return m_horizontalLineScroll; }
    void setHorizontalLineScroll(double amount)
    {
        m_horizontalLineScroll = boundedScrollAmount(amount, m_horizontalLineScroll);
    }
    double pageScroll() const { return m_verticalPageScroll; }
    void setPageScroll(double amount);
    double verticalPageScroll() const { return m_verticalPageScroll; }
    void setVerticalPageScroll(double amount)
    {
        m_verticalPageScroll = boundedScrollAmount(amount, m_verticalPageScroll);
    }
    double horizontalPageScroll() const { return m_horizontalPageScroll; }
    void setHorizontalPageScroll(double amount)
    {
        m_horizontalPageScroll = boundedScrollAmount(amount, m_horizontalPageScroll);
    }

    // Rulers: any view; its thickness is its frame height (horizontal) or width (vertical), which the ruler sets.
    bool hasHorizontalRuler() const { return m_hasHorizontalRuler; }
    void setHasHorizontalRuler(bool flag);
    bool hasVerticalRuler() const { return m_hasVerticalRuler; }
    void setHasVerticalRuler(bool flag);
    const std::shared_ptr<View>& horizontalRulerView() const { return m_horizontalRuler; }
    void setHorizontalRulerView(const std::shared_ptr<View>& ruler);
    const std::shared_ptr<View>& verticalRulerView() const { return m_verticalRuler; }
    void setVerticalRulerView(const std::shared_ptr<View>& ruler);
    bool rulersVisible() const { return m_rulersVisible; }
    void setRulersVisible(bool flag);

    // Layout: places the clip view, scrollers, rulers and corner; subclasses place extra views after the base.
    // A table document's header view goes above the content in a clip view of its own (scrolled sideways with
    // the content), and its corner view above the vertical scroller.
    virtual void tile();
    // The clip view holding a table's header view; nullptr without one.
    const std::shared_ptr<ClipView>& headerClipView() const { return m_headerClipView; }
    // The clip view scrolled or the document changed: the scrollers follow.
    virtual void reflectScrolledClipView(ClipView& clipView);

    // The scrollers' action: pages, lines or the knob position become a scroll of the clip view.
    void scrollerAction(const fnd::Value& sender);

    // View.
    bool isFlipped() const override { return true; }
    bool isOpaque() const override;
    void resizeSubviewsWithOldSize(gfx::Size oldSize) override;
    // The clip view and scrollers follow the frame and the bounds, whether the view autoresizes its subviews or not.
    void setFrame(gfx::Rect frame) override;
    void setBounds(gfx::Rect bounds) override;
    void drawRect(gfx::Rect dirtyRect) override;
    void scrollWheel(const Event& event) override;

    // Accessibility: a scroll area whose children are its document's elements and its shown scroll bars.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }

private:
    gfx::EdgeInsets borderInsets() const;
    // Whether each scroller shows, given the document's size (autohiding works it out for both at once).
    std::pair<bool, bool> scrollersShown() const;
    void adoptScroller(const std::shared_ptr<Scroller>& scroller);
    void scrollClipBy(double dx, double dy);
    void updateScrollers();
    // The header and corner views of a document that offers them (a table), nullptr when it does not.
    std::shared_ptr<View> tableHeaderView() const;
    std::shared_ptr<View> tableCornerView() const;
    double tableHeaderHeight() const;
    void placeTableHeader(gfx::Rect header, gfx::Rect corner, bool showCorner);

    std::shared_ptr<ClipView> m_contentView;
    std::shared_ptr<Scroller> m_verticalScroller;
    std::shared_ptr<Scroller> m_horizontalScroller;
    std::shared_ptr<View> m_horizontalRuler;
    std::shared_ptr<View> m_verticalRuler;
    std::shared_ptr<ClipView> m_headerClipView;
    std::shared_ptr<View> m_cornerView;
    bool m_hasVerticalScroller { false };
    bool m_hasHorizontalScroller { false };
    bool m_autohidesScrollers { false };
    bool m_hasHorizontalRuler { false };
    bool m_hasVerticalRuler { false };
    bool m_rulersVisible { false };
    ScrollerStyle m_scrollerStyle { ScrollerStyle::Legacy };
    BorderType m_borderType { BorderType::NoBorder };
    double m_verticalLineScroll { 10 };
    double m_horizontalLineScroll { 10 };
    double m_verticalPageScroll { 10 };
    double m_horizontalPageScroll { 10 };
    bool m_tiling { false };
};

}
