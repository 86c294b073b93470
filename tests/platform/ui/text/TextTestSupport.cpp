#include "TextTestSupport.h"

#include "platform/graphics/Font.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace texttest {

std::string utf8(const fnd::String& s)
{
    return s.utf8();
}

TextTest::TextTest()
{
    window = ui::Window::create({ 100, 100, 400, 300 });
    window->makeKeyAndOrderFront();
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

std::shared_ptr<gfx::BitmapImageRep> TextTest::snapshot(const char* name)
{
    auto image = backend->imageOfWindow(*window);
    // Pictures for a person to look at: BARCODES_UI_SNAPSHOTS=<folder>.
    if (const char* folder = std::getenv("BARCODES_UI_SNAPSHOTS"); folder && name && image) {
        auto path = std::string(folder) + "/" + name + ".png";
        (void)image->writeToFile(fnd::String(path), gfx::BitmapImageFileType::PNG);
    }
    return image;
}

std::uint32_t TextTest::pixel(const gfx::BitmapImageRep& image, double x, double y)
{
    // Window points, y up; the bitmap's rows run from the top.
    auto pixels = image.pixelBuffer();
    double scale = image.size().width > 0 ? pixels.width / image.size().width : 1;
    int px = std::clamp(static_cast<int>(std::floor(x * scale)), 0, pixels.width - 1);
    int py = std::clamp(static_cast<int>(std::floor(y * scale)), 0, pixels.height - 1);
    return pixels.pixel(px, pixels.height - 1 - py);
}

std::uint32_t TextTest::pixelIn(const gfx::BitmapImageRep& image, ui::View& view, gfx::Point point) const
{
    auto p = view.convertPointToView(point, nullptr);
    return pixel(image, p.x, p.y);
}

int TextTest::luminance(std::uint32_t pixel)
{
    int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return (r * 299 + g * 587 + b * 114) / 1000;
}

}
