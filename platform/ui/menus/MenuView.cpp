#include "platform/ui/menus/MenuView.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Event.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace ui {

FND_REGISTER_CLASS(MenuView, View)

namespace {

// The panel's margin above the first and below the last item.
constexpr double MenuVerticalPadding = 4;
// Room for the state mark, left of every title.
constexpr double MarkColumn = MenuView::TitleInset;
constexpr double IndentationStep = 12;
constexpr double ImageSide = 16;
constexpr double Gap = 6;
constexpr double KeyEquivalentGap = 28;
constexpr double SubmenuColumn = 16;
constexpr double RightPadding = 12;
constexpr double SeparatorHeight = 9;

fnd::Dictionary textAttributes(const gfx::Font& font, const gfx::ColorPtr& color)
{
    fnd::Dictionary attributes;
    attributes.set(txt::FontAttributeName, fnd::Value(std::make_shared<gfx::Font>(font)));
    attributes.set(txt::ForegroundColorAttributeName, fnd::Value(color));
    auto style = txt::ParagraphStyle::defaultParagraphStyle();
    style->setLineBreakMode(txt::LineBreakMode::ByClipping);
    attributes.set(txt::ParagraphStyleAttributeName, fnd::Value(style));
    return attributes;
}

double measuredWidthOf(const fnd::String& text, const gfx::Font& font)
{
    return std::ceil(txt::AttributedString(text, textAttributes(font, gfx::Color::blackColor())).size().width);
}

// The widths of the texts menus show, by font and text: a menu is laid out whenever it opens (a pop-up twice) and
// its key equivalents are measured again as it draws, while its texts seldom change. Kept by what a width depends
// on, so a changed title or font is measured afresh; bounded, and per thread, as the text system's layouts are.
class MenuViewTextWidths {
public:
    double widthOf(const fnd::String& text, const gfx::Font& font)
    {
        if (text.isEmpty())
            return 0;
        if (!m_font || m_font->first.name != font.fontName() || m_font->first.size != font.pointSize()) {
            m_font = &*m_widths.try_emplace({ font.fontName(), font.pointSize() }).first;
        }
        auto& widths = m_font->second;
        if (auto found = widths.find(text); found != widths.end())
            return found->second;
        if (++m_count > MaximumTexts) {
            m_widths.clear();
            m_count = 1;
            m_font = &*m_widths.try_emplace({ font.fontName(), font.pointSize() }).first;
        }
        return m_font->second.emplace(text, measuredWidthOf(text, font)).first->second;
    }

private:
    static constexpr std::size_t MaximumTexts = 4096;
    struct FontKey {
        fnd::String name;
        double size;
        bool operator<(const FontKey& other) const
        {
            return size != other.size ? size < other.size : name.units() < other.name.units();
        }
    };
    std::map<FontKey, std::unordered_map<fnd::String, double>> m_widths;
    std::pair<const FontKey, std::unordered_map<fnd::String, double>>* m_font { nullptr };
    std::size_t m_count { 0 };
};

double widthOf(const fnd::String& text, const gfx::Font& font)
{
    thread_local MenuViewTextWidths widths;
    return widths.widthOf(text, font);
}

fnd::String keyName(const fnd::String& key)
{
    if (key.length() != 1)
        return key.uppercaseString();
    switch (key.units()[0]) {
    case u'\r':
    case 0x03:
        return "Return";
    case 0x1b:
        return "Esc";
    case u'\t':
        return "Tab";
    case u' ':
        return "Space";
    case 0x08:
    case 0x7f:
        return "Backspace";
    case FunctionKey::Delete:
        return "Delete";
    case FunctionKey::UpArrow:
        return "Up";
    case FunctionKey::DownArrow:
        return "Down";
    case FunctionKey::LeftArrow:
        return "Left";
    case FunctionKey::RightArrow:
        return "Right";
    case FunctionKey::Home:
        return "Home";
    case FunctionKey::End:
        return "End";
    case FunctionKey::PageUp:
        return "Page Up";
    case FunctionKey::PageDown:
        return "Page Down";
    default:
        break;
    }
    auto c = key.units()[0];
    if (c >= FunctionKey::F1 && c < FunctionKey::F1 + 35)
        return fnd::String("F" + std::to_string(c - FunctionKey::F1 + 1));
    return key.uppercaseString();
}

}

std::shared_ptr<MenuView> MenuView::create(std::shared_ptr<Menu> menu)
{
    auto view = makeView<MenuView>();
    view->m_menu = menu ? std::move(menu) : Menu::create({});
    view->reloadMenu();
    return view;
}

void MenuView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    // Made by name it shows an empty menu until it is given one.
    m_menu = Menu::create({});
    m_layout = layoutMenu(*m_menu);
}

std::shared_ptr<gfx::Font> MenuView::fontOf(const Menu& menu)
{
    return menu.font() ? menu.font() : gfx::Font::menuFontOfSize(gfx::Font::systemFontSize());
}

fnd::String MenuView::keyEquivalentDisplayString(const MenuItem& item)
{
    const auto& key = item.keyEquivalent();
    if (key.isEmpty())
        return {};
    auto mask = item.keyEquivalentModifierMask();
    if (key.lowercaseString() != key)
        mask |= KeyEquivalentModifier::Shift;
    fnd::String text;
    if (mask & (KeyEquivalentModifier::Command | KeyEquivalentModifier::Control))
        text = text + "Ctrl+";
    if (mask & KeyEquivalentModifier::Option)
        text = text + "Alt+";
    if (mask & KeyEquivalentModifier::Shift)
        text = text + "Shift+";
    return text + keyName(key);
}

bool MenuView::isChoosable(const MenuItem& item)
{
    return !item.isHidden() && item.isEnabled() && !item.isSeparatorItem() && !item.hasSubmenu();
}

MenuView::Layout MenuView::layoutMenu(const Menu& menu)
{
    auto font = fontOf(menu);
    const double rowHeight = std::ceil(font->ascender() - font->descender() + font->leading()) + 8;
    bool anyKey = false, anySubmenu = false;
    double titles = 0, keys = 0;
    for (const auto& item : menu.itemArray()) {
        if (item->isHidden() || item->isSeparatorItem())
            continue;
        double lead = item->indentationLevel() * IndentationStep;
        if (item->image())
            lead += std::min(ImageSide, item->image()->size().width) + Gap;
        titles = std::max(titles, lead + widthOf(item->title(), *font));
        auto key = keyEquivalentDisplayString(*item);
        anyKey = anyKey || !key.isEmpty();
        keys = std::max(keys, widthOf(key, *font));
        anySubmenu = anySubmenu || item->hasSubmenu();
    }
    double width = MarkColumn + titles + (anyKey ? KeyEquivalentGap + keys : 0) + (anySubmenu ? SubmenuColumn : 0)
        + RightPadding;
    width = std::ceil(std::max(width, menu.minimumWidth()));

    Layout layout;
    double y = MenuVerticalPadding;
    for (long i = 0; i < menu.numberOfItems(); ++i) {
        const auto& item = menu.itemArray()[std::size_t(i)];
        if (item->isHidden())
            continue;
        double h = item->isSeparatorItem() ? SeparatorHeight : rowHeight;
        layout.rows.push_back({ i, { 0, y, width, h } });
        y += h;
    }
    layout.size = { width, y + MenuVerticalPadding };
    return layout;
}

void MenuView::reloadMenu()
{
    m_layout = layoutMenu(*m_menu);
    setFrameSize(m_layout.size);
    setNeedsDisplay(true);
}

gfx::Rect MenuView::rectOfItemAtIndex(long index) const
{
    for (const auto& row : m_layout.rows) {
        if (row.index == index)
            return row.rect;
    }
    return {};
}

long MenuView::indexOfItemAtPoint(gfx::Point point) const
{
    for (const auto& row : m_layout.rows) {
        if (gfx::pointInRect(point, row.rect))
            return row.index;
    }
    return -1;
}

fnd::String MenuView::toolTipAtPoint(gfx::Point point, gfx::Rect* rect)
{
    long index = indexOfItemAtPoint(point);
    auto item = index >= 0 ? m_menu->itemAtIndex(index) : nullptr;
    if (!item || item->toolTip().isEmpty())
        return View::toolTipAtPoint(point, rect);
    if (rect)
        *rect = rectOfItemAtIndex(index);
    return item->toolTip();
}

void MenuView::setHighlightedIndex(long index)
{
    if (index == m_highlighted)
        return;
    setNeedsDisplayInRect(rectOfItemAtIndex(m_highlighted));
    m_highlighted = index;
    setNeedsDisplayInRect(rectOfItemAtIndex(m_highlighted));
    m_menu->setHighlightedItem(index >= 0 ? m_menu->itemAtIndex(index) : nullptr);
    if (auto item = m_menu->highlightedItem())
        accessibilityPostNotification(*item, AccessibilityNotification::FocusedUIElementChanged);
}

void MenuView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto b = bounds();
    context->setFillColor(*ControlLook::fieldBackgroundColor());
    context->fillRect(b);
    auto border = gfx::BezierPath::bezierPathWithRect(gfx::insetRect(b, 0.5, 0.5));
    border->setLineWidth(1);
    context->setStrokeColor(*ControlLook::borderColor());
    context->strokePath(*border);

    auto font = fontOf(*m_menu);
    for (const auto& row : m_layout.rows) {
        if (!needsToDrawRect(row.rect))
            continue;
        const auto& item = m_menu->itemArray()[std::size_t(row.index)];
        auto r = row.rect;
        if (item->isSeparatorItem()) {
            ControlLook::drawSeparator({ r.minX() + 8, r.minY(), r.width() - 16, r.height() });
            continue;
        }
        const bool enabled = item->isEnabled();
        if (row.index == m_highlighted && enabled) {
            auto band = gfx::insetRect(r, 4, 1);
            context->setFillColor(*ControlLook::faceColor({ .hovered = true }));
            context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(band, 5, 5));
        }
        auto color = enabled ? ControlLook::textColor(true) : ControlLook::secondaryTextColor(false);
        const double midY = r.midY();
        // The state mark.
        if (item->state() != ControlStateValue::Off) {
            auto mark = gfx::BezierPath::bezierPath();
            double cx = 11;
            if (item->state() == ControlStateValue::Mixed) {
                mark->moveToPoint({ cx - 4, midY });
                mark->lineToPoint({ cx + 4, midY });
            } else {
                mark->moveToPoint({ cx - 4.5, midY });
                mark->lineToPoint({ cx - 1.5, midY + 3 });
                mark->lineToPoint({ cx + 4.5, midY - 3.5 });
            }
            mark->setLineWidth(1.75);
            mark->setLineCapStyle(gfx::LineCapStyle::Round);
            mark->setLineJoinStyle(gfx::LineJoinStyle::Round);
            context->setStrokeColor(*color);
            context->strokePath(*mark);
        }
        double x = MarkColumn + item->indentationLevel() * IndentationStep;
        if (auto image = item->image()) {
            auto size = image->size();
            double scale
                = std::min({ 1.0, ImageSide / std::max(1.0, size.width), ImageSide / std::max(1.0, size.height) });
            gfx::Rect imageRect { x, std::round(midY - size.height * scale / 2), std::round(size.width * scale),
                std::round(size.height * scale) };
            image->drawInRect(imageRect, {}, gfx::CompositingOperation::SourceOver, enabled ? 1.0 : 0.5, true);
            x += std::min(ImageSide, size.width) + Gap;
        }
        const double line = std::ceil(font->ascender() - font->descender() + font->leading());
        gfx::Rect textRect { x, std::round(midY - line / 2), std::max(0.0, r.maxX() - RightPadding - x), line };
        txt::AttributedString(item->title(), textAttributes(*font, color)).drawInRect(textRect);
        if (auto key = keyEquivalentDisplayString(*item); !key.isEmpty()) {
            double w = widthOf(key, *font);
            double right = r.maxX() - RightPadding - (item->hasSubmenu() ? SubmenuColumn : 0);
            txt::AttributedString(key, textAttributes(*font, ControlLook::secondaryTextColor(enabled)))
                .drawInRect({ right - w, textRect.minY(), w, line });
        }
        if (item->hasSubmenu())
            ControlLook::drawChevron({ r.maxX() - RightPadding - 4, midY }, 3.5, ControlLook::Direction::Right, *color);
    }
}

}
