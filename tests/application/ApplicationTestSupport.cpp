#include "ApplicationTestSupport.h"

#include "application/Preferences.h"
#include "application/PreferencesKeys.h"

#include "platform/graphics/Color.h"

#include <gtest/gtest.h>

#include <cmath>

namespace apptest {

std::shared_ptr<TBQGenericBarcode> makeBarcode(const std::string& className, const std::string& content)
{
    auto barcode = TBQGenericBarcode::barcodeWithClassName(fnd::String(className));
    EXPECT_TRUE(barcode) << className;
    if (!barcode)
        return nullptr;
    barcode->setBarColor(gfx::Color::colorWithCalibratedRed(0, 0, 0));
    barcode->setBackgroundColor(gfx::Color::colorWithCalibratedRed(1, 1, 1));
    barcode->setShouldDrawBackground(true);
    barcode->setContent(fnd::String(content));
    barcode->setQuietZone({});
    barcode->setCalcQuietZone(true);
    barcode->setDrawCaption(true);
    barcode->setFont(Preferences::defaultCaptionFont());
    barcode->setBarWidth(0.33 / 25.4 * 72);
    barcode->setHeight(26.26 / 25.4 * 72);
    return barcode;
}

std::shared_ptr<gfx::BitmapImageRep> render(TBQBarcodeView& view, double scale)
{
    gfx::Rect bounds = view.bounds();
    auto rep = gfx::BitmapImageRep::create(long(std::ceil(bounds.width() * scale - 1e-6)),
        long(std::ceil(bounds.height() * scale - 1e-6)), gfx::BitmapLayout::ARGB32Premultiplied);
    rep->setSize({ rep->pixelsWide() / scale, rep->pixelsHigh() / scale });
    view.cacheDisplayInRect({ bounds.origin, rep->size() }, *rep);
    return rep;
}

std::uint32_t Picture::at(double x, double y) const
{
    auto pixels = rep->pixelBuffer();
    int px = int(std::floor(x * scale));
    int py = pixels.height - 1 - int(std::floor(y * scale));
    if (px < 0 || py < 0 || px >= pixels.width || py >= pixels.height)
        return 0;
    return pixels.pixel(px, py);
}

bool Picture::isDark(double x, double y) const
{
    auto p = at(x, y);
    return gfx::alphaOf(p) == 255 && gfx::redOf(p) < 100 && gfx::greenOf(p) < 100 && gfx::blueOf(p) < 100;
}

Picture picture(TBQBarcodeView& view, double scale)
{
    return { render(view, scale), scale };
}

std::filesystem::path scratchFolder(const std::string& name)
{
    auto folder = std::filesystem::temp_directory_path() / ("app-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

void keepForLooking(const gfx::BitmapImageRep& rep, const std::string& name)
{
    auto path = std::filesystem::temp_directory_path() / ("app-" + name + ".png");
    (void)rep.writeToFile(fnd::String(path.string()), gfx::BitmapImageFileType::PNG);
}

}
