#pragma once

#include "platform/foundation/runtime/Value.h"

#include <array>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace gfx {
class Color;
class Font;
}
namespace fnd {
class UserDefaults;
}

// The application's remembered settings: registers every key of the user defaults with its default before anything
// else reads them, and keeps the three lists of offered sizes (font heights, module widths, bar heights), each of
// which grows by the values the user applies. Lengths are points, stored as single-precision numbers. Class-only:
// every list lives in the user defaults alone.
class Preferences {
public:
    Preferences() = delete;

    // Registers the defaults, and what a stored value of each key may be, once; every other operation calls it first,
    // so the first touch does it. A stored value outside its range reads as the default.
    static void initialize();
    // What initialize does to the standard defaults, for another defaults object (a settings file read apart).
    static void registerIn(fnd::UserDefaults& defaults);
    // The longest size list that is read back (the lists grow by the sizes people apply).
    static constexpr std::size_t MaximumSizeListLength = 1000;
    // The export sheet's resolutions and the zoom pop-up's factors (percent): their pop-ups' tags.
    static constexpr std::array<int, 5> ExportResolutions { 72, 150, 300, 600, 1200 };
    static constexpr std::array<int, 9> ZoomFactors { 25, 50, 75, 100, 150, 200, 300, 400, 800 };
    // The registered keys with their defaults, in the order of registration.
    static const std::vector<std::pair<fnd::String, fnd::Value>>& registeredDefaults();

    // Plain numbers of points.
    static fnd::Array fontHeightArray();
    // ZORNumberContainer objects, unarchived anew on every call.
    static fnd::Array modulWidthArray();
    static fnd::Array barcodeHeightArray();

    // Record a value the user has just applied: it joins its list, kept sorted, unless an equal entry is there.
    static void usedFontHeight(float height);
    static void usedModulWidth(float width);
    static void usedBarcodeHeight(float height);

    // A stored length (module width, bar height): one a barcode takes, as a typed one must be. Anything else, from a
    // damaged or hand-edited file, gives the registered default and a logged warning.
    static double lengthForKey(const fnd::String& key);

    // Colours and fonts are stored as sequential archives of the object. A value that is missing or cannot be read
    // gives nullptr.
    static std::shared_ptr<gfx::Color> colorForKey(const fnd::String& key);
    static void setColor(const std::shared_ptr<gfx::Color>& color, const fnd::String& key);
    static std::shared_ptr<gfx::Font> fontForKey(const fnd::String& key);
    static void setFont(const std::shared_ptr<gfx::Font>& font, const fnd::String& key);

    // The caption font new barcodes get: Monaco where it is installed, else the DejaVu monospace face every
    // installation of this program has.
    static std::shared_ptr<gfx::Font> defaultCaptionFont();
};
