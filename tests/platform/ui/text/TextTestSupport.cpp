#include "TextTestSupport.h"

#include "platform/graphics/Font.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"

namespace texttest {

std::string utf8(const fnd::String& s)
{
    return s.utf8();
}

std::shared_ptr<ui::TextView> TextTest::makeTextView(const fnd::String& text, gfx::Rect frame)
{
    auto view = ui::TextView::create(frame);
    view->setRichText(false);
    view->setFont(gfx::Font::fontWithName("DejaVu Sans", 12));
    view->setString(text);
    add(view);
    window->makeFirstResponder(view);
    return view;
}

void TextTest::type(const std::u16string& text)
{
    for (char16_t c : text)
        backend->keyDown(*window, fnd::String(std::u16string(1, c)), 0);
    dispatch();
}

void TextTest::key(char16_t character, unsigned short keyCode, unsigned flags)
{
    backend->keyDown(*window, fnd::String(std::u16string(1, character)), keyCode, flags);
    dispatch();
}

void TextTest::press(ui::View& view, gfx::Point point, unsigned flags, long clicks)
{
    backend->mouseDown(*window, view.convertPointToView(point, nullptr), flags, clicks);
}

void TextTest::drag(ui::View& view, gfx::Point point)
{
    backend->mouseDragged(*window, view.convertPointToView(point, nullptr));
}

void TextTest::release(ui::View& view, gfx::Point point, long clicks)
{
    backend->mouseUp(*window, view.convertPointToView(point, nullptr), 0, clicks);
}

void TextTest::click(ui::View& view, gfx::Point point, unsigned flags, long clicks)
{
    press(view, point, flags, clicks);
    release(view, point, clicks);
    dispatch();
}

gfx::Point TextTest::pointOfCharacter(ui::TextView& view, fnd::Index index)
{
    auto manager = view.layoutManager();
    auto rects = manager->rectsForCharacterRange({ index, 1 }, *view.textContainer());
    auto r = rects.front();
    auto origin = view.textContainerOrigin();
    return { r.midX() + origin.x, r.midY() + origin.y };
}

}
