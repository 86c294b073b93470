#pragma once

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a person does in the services' dialogs, as events queued on the headless backend: the modal session that
// runs the dialog sends them in order.
namespace dialogs {

// The first view of the class under the root (depth first) that passes the test.
template <typename T>
std::shared_ptr<T> findView(
    ui::View& root, const std::function<bool(T&)>& test = [](T&) { return true; })
{
    for (const auto& subview : root.subviews()) {
        if (auto view = std::dynamic_pointer_cast<T>(subview); view && test(*view))
            return view;
        if (auto found = findView<T>(*subview, test))
            return found;
    }
    return nullptr;
}

inline std::shared_ptr<ui::Button> buttonTitled(ui::Window& window, const fnd::String& title)
{
    return findView<ui::Button>(*window.contentView(), [&](ui::Button& b) { return b.title() == title; });
}

// The texts the window shows in labels and fields, in view order.
inline std::vector<std::string> shownTexts(ui::View& root)
{
    std::vector<std::string> texts;
    for (const auto& subview : root.subviews()) {
        if (auto field = std::dynamic_pointer_cast<ui::TextField>(subview); field && !field->stringValue().isEmpty())
            texts.push_back(field->stringValue().utf8());
        auto nested = shownTexts(*subview);
        texts.insert(texts.end(), nested.begin(), nested.end());
    }
    return texts;
}

// A click in the middle of the part of the view in sight (or at a point of its own).
inline void click(ui::HeadlessBackend& backend, ui::View& view)
{
    auto b = view.visibleRect();
    backend.click(*view.window(), view.convertPointToView({ b.midX(), b.midY() }, nullptr));
}
inline void clickAt(ui::HeadlessBackend& backend, ui::View& view, gfx::Point point)
{
    backend.click(*view.window(), view.convertPointToView(point, nullptr));
}

// Each character as a key press; a line feed is the Return key.
inline void type(ui::HeadlessBackend& backend, ui::Window& window, const fnd::String& text)
{
    for (fnd::Index i = 0; i < text.length(); ++i) {
        char16_t c = text.characterAt(i);
        if (c == u'\n')
            backend.keyDown(window, "\r", ui::KeyCode::Return);
        else
            backend.keyDown(window, fnd::String(std::u16string(1, c)), 0);
    }
}
inline void pressReturn(ui::HeadlessBackend& backend, ui::Window& window)
{
    backend.keyDown(window, "\r", ui::KeyCode::Return);
}
inline void pressTab(ui::HeadlessBackend& backend, ui::Window& window)
{
    backend.keyDown(window, "\t", ui::KeyCode::Tab);
}
inline void selectAll(ui::HeadlessBackend& backend, ui::Window& window)
{
    backend.keyDown(window, "a", ui::KeyCode::A, ui::ModifierFlags::Command);
}

// The window drawn now, written as <name>.png to $BARCODES_UI_SNAPSHOTS when set (to look at).
inline std::shared_ptr<gfx::BitmapImageRep> snapshot(ui::HeadlessBackend& backend, ui::Window& window, const char* name)
{
    auto image = backend.imageOfWindow(window);
    if (const char* folder = std::getenv("BARCODES_UI_SNAPSHOTS"); folder && image)
        (void)image->writeToFile(fnd::String(std::string(folder) + "/" + name + ".png"), gfx::BitmapImageFileType::PNG);
    return image;
}

// The share of pixels in a rect of the view (its own coordinates) darker than mid grey.
inline double darkShare(const gfx::BitmapImageRep& image, ui::View& view, gfx::Rect rect)
{
    auto r = view.convertRectToView(rect, nullptr);
    const auto& buffer = image.pixelBuffer();
    const double scale = double(buffer.width) / view.window()->contentView()->frame().width();
    int dark = 0, all = 0;
    for (double y = r.minY() + 0.5; y < r.maxY(); ++y) {
        for (double x = r.minX() + 0.5; x < r.maxX(); ++x, ++all) {
            auto p = buffer.pixel(int(x * scale), buffer.height - 1 - int(y * scale));
            int luminance = int(((p >> 16) & 0xff) * 3 + ((p >> 8) & 0xff) * 6 + (p & 0xff)) / 10;
            dark += luminance < 128;
        }
    }
    return all ? double(dark) / all : 0;
}

// The share of pixels in a rect of the view (its own coordinates) that are clearly blue, as the accent colour is.
inline double blueShare(const gfx::BitmapImageRep& image, ui::View& view, gfx::Rect rect)
{
    auto r = view.convertRectToView(rect, nullptr);
    const auto& buffer = image.pixelBuffer();
    const double scale = double(buffer.width) / view.window()->contentView()->frame().width();
    int blue = 0, all = 0;
    for (double y = r.minY() + 0.5; y < r.maxY(); ++y) {
        for (double x = r.minX() + 0.5; x < r.maxX(); ++x, ++all) {
            auto p = buffer.pixel(int(x * scale), buffer.height - 1 - int(y * scale));
            blue += int(p & 0xff) > int((p >> 16) & 0xff) + 60;
        }
    }
    return all ? double(blue) / all : 0;
}

}
