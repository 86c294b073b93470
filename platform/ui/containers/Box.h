#pragma once

#include "platform/ui/text/TextFieldCell.h"
#include "platform/ui/views/View.h"

namespace ui {

// With the platform's values.
enum class BoxType { Primary = 0, Secondary = 1, Separator = 2, OldStyle = 3, Custom = 4 };
enum class TitlePosition {
    NoTitle = 0,
    AboveTop = 1,
    AtTop = 2,
    BelowTop = 3,
    AboveBottom = 4,
    AtBottom = 5,
    BelowBottom = 6
};

// Groups views under a title: a bordered area (a rounded card for primary and secondary boxes, a plain frame for
// old-style ones, the fill and border colours, width and corner radius of its own for custom ones), or a separator
// line. The title, drawn by the box's title cell, sits above, on or below the top (or bottom) edge. The content view
// fills the border rect less the content view margins (and the title where it lies inside), and follows the box's
// size.
class Box : public View {
    FND_OBJECT(Box)
    static void describeClass(fnd::ClassBuilder<Box>& c);

public:
    Box() = default;
    static std::shared_ptr<Box> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // After the view's data, its parts (as references to its subviews) and settings; see ContainersCoding.cpp.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    BoxType boxType() const { return m_boxType; }
    void setBoxType(BoxType type);
    BorderType borderType() const { return m_borderType; }
    void setBorderType(BorderType type);
    TitlePosition titlePosition() const { return m_titlePosition; }
    void setTitlePosition(TitlePosition position);
    fnd::String title() const;
    virtual void setTitle(const fnd::String& title);
    std::shared_ptr<gfx::Font> titleFont() const;
    void setTitleFont(std::shared_ptr<gfx::Font> font);
    // The cell that draws the title (a text field cell, not editable, truncating at the tail).
    const std::shared_ptr<TextFieldCell>& titleCell() const { return m_titleCell; }

    const std::shared_ptr<View>& contentView() const { return m_contentView; }
    // The box itself or one of its ancestors raises InvalidArgument and changes nothing.
    void setContentView(const std::shared_ptr<View>& view);
    gfx::Size contentViewMargins() const { return m_contentViewMargins; }
    // Margins, border width and corner radius are from 0 to LargestLength, as archives hold them (a larger number or
    // an infinity is taken as the bound, NaN keeps the length there is).
    static constexpr double LargestLength = 1e6;
    void setContentViewMargins(gfx::Size margins);
    // The box's frame for a content view frame (in the superview's coordinates), and that frame set.
    void setFrameFromContentFrame(gfx::Rect contentFrame);
    // The smallest box around the content view's subviews.
    void sizeToFit();

    // Custom boxes.
    const gfx::ColorPtr& fillColor() const { return m_fillColor; }
    void setFillColor(gfx::ColorPtr color);
    const gfx::ColorPtr& borderColor() const { return m_borderColor; }
    void setBorderColor(gfx::ColorPtr color);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool flag);

    // Geometry in the box's bounds.
    gfx::Rect borderRect() const;
    gfx::Rect titleRect() const;

    void drawRect(gfx::Rect dirtyRect) override;
    void setFrame(gfx::Rect frame) override;
    // The content view follows the bounds as it follows the frame.
    void setBounds(gfx::Rect bounds) override;
    void setFrameSize(gfx::Size size) override;

    // Accessibility: a group named by its title; an untitled box or a separator only groups (ignored).
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override;

private:
    bool showsTitle() const;
    double titleHeight() const;
    gfx::Rect contentRectForBorderRect(gfx::Rect border) const;
    void tile();

    BoxType m_boxType { BoxType::Primary };
    BorderType m_borderType { BorderType::LineBorder };
    TitlePosition m_titlePosition { TitlePosition::AtTop };
    std::shared_ptr<TextFieldCell> m_titleCell;
    std::shared_ptr<View> m_contentView;
    gfx::Size m_contentViewMargins { 5, 5 };
    gfx::ColorPtr m_fillColor { gfx::Color::clearColor() };
    gfx::ColorPtr m_borderColor { gfx::Color::colorWithCalibratedWhite(0, 0.42) };
    double m_borderWidth { 1 };
    double m_cornerRadius { 0 };
    bool m_transparent { false };
};

}
