#include "frameworks/ZORAppKit/ZORContainerBox/ZORBaseView.h"

#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(ZORBaseView, ZORContainerBox)

namespace {

struct ClassLook {
    std::shared_ptr<gfx::Font> font;
    gfx::ColorPtr grey = gfx::Color::grayColor();
    gfx::ColorPtr white = gfx::Color::whiteColor();
};

const ClassLook& classLook()
{
    static const ClassLook look = [] {
        ClassLook l;
        l.font = gfx::Font::fontWithName("HelveticaNeue-Medium", 24);
        if (!l.font || l.font->isFallback())
            l.font = gfx::Font::labelFontOfSize(24);
        return l;
    }();
    return look;
}

txt::Attributes defaultTextAttributes()
{
    const auto& look = classLook();
    auto shadow = fnd::makeObject<gfx::Shadow>();
    shadow->setShadowColor(look.white);
    shadow->setShadowOffset({ 0, -1.0 });
    auto paragraph = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
    paragraph->setAlignment(txt::TextAlignment::Center);
    return {
        { txt::FontAttributeName, fnd::Value(look.font) },
        { txt::ForegroundColorAttributeName, fnd::Value(look.grey) },
        { txt::ShadowAttributeName, fnd::Value(shadow) },
        { txt::ParagraphStyleAttributeName, fnd::Value(paragraph) },
        { txt::KernAttributeName, fnd::Value(static_cast<double>(0.95f)) },
    };
}

}

void ZORBaseView::describeClass(fnd::ClassBuilder<ZORBaseView>& c)
{
    c.property("icon", &ZORBaseView::icon, &ZORBaseView::setIcon);
    c.property("text", &ZORBaseView::text, &ZORBaseView::setText);
    c.property("textBoxWidth", &ZORBaseView::textBoxWidth, &ZORBaseView::setTextBoxWidth);
    c.property("iconVerticalOffset", &ZORBaseView::iconVerticalOffset, &ZORBaseView::setIconVerticalOffset);
    c.property("iconTextMargin", &ZORBaseView::iconTextMargin, &ZORBaseView::setIconTextMargin);
    c.property("preventDrawingWithSubviews", &ZORBaseView::preventDrawingWithSubviews,
        &ZORBaseView::setPreventDrawingWithSubviews);
}

ZORBaseView::ZORBaseView()
    : m_textBoxAttributes(defaultTextAttributes())
{
    setHasGradient(true);
    m_text = ZORNSObject_Extension::bundle(staticClassInfo())->localizedStringForKey("NoContent", {}, "ZORBaseView");
    m_attributedText = std::make_shared<txt::AttributedString>(m_text, m_textBoxAttributes);
}

std::shared_ptr<ZORBaseView> ZORBaseView::create(gfx::Rect frame)
{
    return ui::makeView<ZORBaseView>(frame);
}

std::shared_ptr<ZORBaseView> ZORBaseView::createWithIcon(std::shared_ptr<gfx::Image> icon, const fnd::String& text)
{
    auto view = create();
    view->initWithIcon(std::move(icon), text);
    return view;
}

std::shared_ptr<ZORBaseView> ZORBaseView::createWithIcon(
    std::shared_ptr<gfx::Image> icon, const std::shared_ptr<txt::AttributedString>& attributedText)
{
    auto view = create();
    view->initWithIcon(std::move(icon), attributedText);
    return view;
}

void ZORBaseView::initWithIcon(std::shared_ptr<gfx::Image> icon, const fnd::String& text)
{
    setIcon(std::move(icon));
    setText(text);
}

void ZORBaseView::initWithIcon(
    std::shared_ptr<gfx::Image> icon, const std::shared_ptr<txt::AttributedString>& attributedText)
{
    setIcon(std::move(icon));
    setAttributedText(attributedText);
}

void ZORBaseView::setIcon(std::shared_ptr<gfx::Image> icon)
{
    m_icon = std::move(icon);
    setNeedsDisplay(true);
}

void ZORBaseView::setText(const fnd::String& text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_attributedText = std::make_shared<txt::AttributedString>(m_text, m_textBoxAttributes);
    setNeedsDisplay(true);
}

void ZORBaseView::setAttributedText(const std::shared_ptr<txt::AttributedString>& text)
{
    if (!text || text->string() == m_text)
        return;
    m_attributedText = text;
    // The characters are the text from now on, so they are measured and drawn.
    m_text = text->string();
    if (text->length() > 0)
        m_textBoxAttributes = text->attributesAtIndex(0);
    setNeedsDisplay(true);
}

void ZORBaseView::setTextBoxWidth(double width)
{
    width = ui::boundedLength(width, m_textBoxWidth);
    if (width == m_textBoxWidth)
        return;
    m_textBoxWidth = width;
    setNeedsDisplay(true);
}

gfx::Rect ZORBaseView::calculatedTextBoxRect()
{
    if (hasText() && m_attributedText)
        m_calculatedTextBoxRect = m_attributedText->boundingRectWithSize({ m_textBoxWidth, 1e7 });
    return m_calculatedTextBoxRect;
}

gfx::Rect ZORBaseView::frameForView(const ui::View& view, long effect) const
{
    gfx::Rect rect = view.bounds();
    const gfx::Rect f = frame();
    auto w = window();
    auto border = [&](gfx::RectEdge edge) { return w ? w->contentBorderThicknessForEdge(edge) : 0.0; };
    switch (effect) {
    case 2:
        rect.origin.y = f.maxY() - border(gfx::RectEdge::MaxY);
        break;
    case 3:
        rect.origin.x = f.maxX();
        break;
    case 4:
        rect.origin.y = f.minY() - f.height() - border(gfx::RectEdge::MinY);
        break;
    case 5:
        rect.origin.x = f.minX() - f.width();
        break;
    default:
        break;
    }
    return rect;
}

void ZORBaseView::drawRect(gfx::Rect dirtyRect)
{
    ZORContainerBox::drawRect(dirtyRect);
    if (!subviews().empty() && m_preventDrawingWithSubviews && !m_isAnimating)
        return;
    const gfx::Rect b = bounds();
    gfx::Rect textBox = calculatedTextBoxRect();
    textBox.origin.x = (b.width() - textBox.width()) * 0.5;
    if (m_icon) {
        const gfx::Size size = m_icon->size();
        gfx::Point at { (b.width() - size.width) * 0.5, (b.height() - size.height) * 0.5 };
        if (hasText()) {
            at.y += m_iconVerticalOffset;
            textBox.origin.y = at.y - textBox.height() - m_iconTextMargin;
        }
        // Source-atop: the icon shows only where the background is painted.
        m_icon->drawAtPoint(at, {}, gfx::CompositingOperation::SourceAtop, 1.0);
    } else {
        textBox.origin.y = (b.height() - textBox.height()) * 0.5;
    }
    if (hasText() && m_attributedText) {
        m_calculatedTextBoxRect = textBox;
        m_attributedText->drawInRect(textBox);
    }
}

void ZORBaseView::pushChildView(const std::shared_ptr<ui::View>&, long, const std::function<void()>&)
{
}

void ZORBaseView::popChildViewWithAnimationEffect(long, const std::function<void()>&)
{
}
