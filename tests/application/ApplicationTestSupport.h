#pragma once

#include "application/TBQBarcodeView.h"

#include "barcodes/TBQGenericBarcode.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/PixelBuffer.h"

#include <filesystem>
#include <memory>
#include <string>

namespace apptest {

// A barcode made by class name with the settings a fresh application gives it: black bars on white, module width
// and bar height of SC 2, quiet zones computed, caption on.
std::shared_ptr<TBQGenericBarcode> makeBarcode(const std::string& className, const std::string& content);

// The view drawn alone into a bitmap at `scale` pixels per point (export mode as the view has it).
std::shared_ptr<gfx::BitmapImageRep> render(TBQBarcodeView& view, double scale = 1);

// Pixel reads of an ARGB32 bitmap in points from the bottom left, as the view's coordinates run.
struct Picture {
    std::shared_ptr<gfx::BitmapImageRep> rep;
    double scale { 1 };
    std::uint32_t at(double x, double y) const;
    int alpha(double x, double y) const { return gfx::alphaOf(at(x, y)); }
    // Dark: opaque and no channel above 100.
    bool isDark(double x, double y) const;
};
Picture picture(TBQBarcodeView& view, double scale = 1);

// A fresh scratch folder for this test, removed by the caller's fixture.
std::filesystem::path scratchFolder(const std::string& name);

// Writes the picture where the person running the tests can look at it ($TMPDIR/app-<name>.png).
void keepForLooking(const gfx::BitmapImageRep& rep, const std::string& name);

}
