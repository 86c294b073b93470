#pragma once

#include "platform/foundation/runtime/Value.h"

#include <memory>
#include <utility>
#include <vector>

namespace gfx {
class Color;
class Font;
}

// The application's remembered settings: registers every key of the user defaults with its default before anything
// else reads them, and keeps the three lists of offered sizes (font heights, module widths, bar heights), each of
// which grows by the values the user applies. Lengths are points, stored as single-precision numbers. Class-only:
// every list lives in the user defaults alone.
class Preferences {
public:
    Preferences() = delete;

    // Registers the defaults once; every other operation calls it first, so the first touch does it.
    static void initialize();
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

    // A stored length (module width, bar height): a finite number above zero, as a typed one must be. Anything else,
    // from a damaged or hand-edited file, gives the registered default and a logged warning.
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
