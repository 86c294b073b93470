#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/ui/containers/Box.h"

// A group box drawn as a filled rectangle with corners of radius 4, outlined in its border colour, with a title tab
// of that colour in its top-left corner holding the title in white bold small type. The tab spans the whole top edge
// as a title bar when asked to or when the box is too narrow for a tab; a selected box wears the selection colour.
// The border width (2 by default) is the outline's width and the basis of the title's margins.
class ZORRoundedBox : public ui::Box {
    FND_OBJECT(ZORRoundedBox)
    static void describeClass(fnd::ClassBuilder<ZORRoundedBox>& c);

public:
    static constexpr double CornerRadius = 4.0;

    ZORRoundedBox() = default;
    static std::shared_ptr<ZORRoundedBox> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // A box from an interface file takes the defaults over the file's settings (its frame and title stay).
    void awakeFromNib() override;
    // The tab and the outline are drawn again once a live resize ends.
    bool preservesContentDuringLiveResize() const override { return true; }

    void setTitle(const fnd::String& title) override;
    bool drawsFullTitleBar() const { return m_drawsFullTitleBar; }
    void setDrawsFullTitleBar(bool flag);
    bool isSelected() const { return m_selected; }
    void setSelected(bool flag);
    const gfx::ColorPtr& titleColor() const { return m_titleColor; }
    void setTitleColor(gfx::ColorPtr color);
    // Shows at the next redisplay.
    const gfx::ColorPtr& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(gfx::ColorPtr color) { m_backgroundColor = std::move(color); }
    // The bounds of the title tab as last drawn.
    gfx::Rect titlePathRect() const { return m_titlePathRect; }

    // The outline of the title tab (or bar) for the box rectangle, the corner radius and the title rectangle.
    std::shared_ptr<gfx::BezierPath> titlePathWithinRect(gfx::Rect rect, double radius, gfx::Rect titleRect) const;

    void drawRect(gfx::Rect dirtyRect) override;

private:
    void setDefaults();
    void titleChanged();

    bool m_drawsTitle { true };
    bool m_drawsFullTitleBar { false };
    bool m_selected { false };
    gfx::ColorPtr m_titleColor;
    gfx::ColorPtr m_backgroundColor;
    gfx::Rect m_titlePathRect;
};
