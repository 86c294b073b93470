#pragma once

#include "frameworks/ZORAppKit/ZORContainerBox/ZORContainerBox.h"

#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"

#include <functional>
#include <vector>

// A placeholder panel on a gradient: an icon and a short text ("No Content" unless told otherwise), centred, the text
// below the icon, drawn only while the panel has no subviews.
class ZORBaseView : public ZORContainerBox {
    FND_OBJECT(ZORBaseView)
    static void describeClass(fnd::ClassBuilder<ZORBaseView>& c);

public:
    ZORBaseView();
    static std::shared_ptr<ZORBaseView> create(gfx::Rect frame = {});
    static std::shared_ptr<ZORBaseView> createWithIcon(std::shared_ptr<gfx::Image> icon, const fnd::String& text);
    static std::shared_ptr<ZORBaseView> createWithIcon(
        std::shared_ptr<gfx::Image> icon, const std::shared_ptr<txt::AttributedString>& attributedText);
    void initWithIcon(std::shared_ptr<gfx::Image> icon, const fnd::String& text);
    void initWithIcon(std::shared_ptr<gfx::Image> icon, const std::shared_ptr<txt::AttributedString>& attributedText);

    const std::shared_ptr<gfx::Image>& icon() const { return m_icon; }
    void setIcon(std::shared_ptr<gfx::Image> icon);
    bool hasIcon() const { return m_icon != nullptr; }

    // The empty text shows none.
    const fnd::String& text() const { return m_text; }
    void setText(const fnd::String& text);
    bool hasText() const { return !m_text.isEmpty(); }
    // Styled text: its characters become the text and the attributes of its first character the attributes of
    // later plain texts. Ignored when null or when its characters are the text already.
    const std::shared_ptr<txt::AttributedString>& attributedText() const { return m_attributedText; }
    void setAttributedText(const std::shared_ptr<txt::AttributedString>& text);
    const txt::Attributes& textBoxAttributes() const { return m_textBoxAttributes; }

    double textBoxWidth() const { return m_textBoxWidth; }
    void setTextBoxWidth(double width);
    double iconVerticalOffset() const { return m_iconVerticalOffset; }
    // The offset and margin are coordinates (ui::boundedCoordinate: NaN keeps the one there is).
    void setIconVerticalOffset(double offset)
    {
        m_iconVerticalOffset = ui::boundedCoordinate(offset, m_iconVerticalOffset);
    }
    double iconTextMargin() const { return m_iconTextMargin; }
    void setIconTextMargin(double margin) { m_iconTextMargin = ui::boundedCoordinate(margin, m_iconTextMargin); }
    bool preventDrawingWithSubviews() const { return m_preventDrawingWithSubviews; }
    void setPreventDrawingWithSubviews(bool flag) { m_preventDrawingWithSubviews = flag; }

    // With a text: its bounding rect within textBoxWidth (stored); without, the rect stored last.
    gfx::Rect calculatedTextBoxRect();
    void setCalculatedTextBoxRect(gfx::Rect rect) { m_calculatedTextBoxRect = rect; }

    // Where a child view would slide in from for an effect: 2 above the panel (below the window's top bar), 3 right
    // of it, 4 below it (above the window's bottom bar), 5 left of it; the view's bounds for any other effect.
    gfx::Rect frameForView(const ui::View& view, long effect) const;

    // Sliding child views in and out is not done by this panel: both operations leave the stack and the views as
    // they are and call nothing, the handler included.
    void pushChildView(
        const std::shared_ptr<ui::View>& view, long animationEffect, const std::function<void()>& completionHandler);
    void popChildViewWithAnimationEffect(long animationEffect, const std::function<void()>& completionHandler);
    const std::vector<std::shared_ptr<ui::View>>& childViewStack() const { return m_childViewStack; }
    // While a child slides, the placeholder is drawn even with subviews.
    bool isAnimating() const { return m_isAnimating; }

    void drawRect(gfx::Rect dirtyRect) override;

private:
    std::shared_ptr<gfx::Image> m_icon;
    fnd::String m_text;
    std::shared_ptr<txt::AttributedString> m_attributedText;
    txt::Attributes m_textBoxAttributes;
    gfx::Rect m_calculatedTextBoxRect;
    double m_textBoxWidth { 180 };
    double m_iconVerticalOffset { 10 };
    double m_iconTextMargin { 10 };
    bool m_preventDrawingWithSubviews { true };
    std::vector<std::shared_ptr<ui::View>> m_childViewStack;
    bool m_isAnimating { false };
};
