#pragma once

#include "frameworks/FoundationExtensions/ZORPageFormat.h"

#include <array>

// The table of standard paper formats, shared by the format functions and the menu made of them.
namespace PageFormats {

enum class PageUnit { Millimetre, Point };

struct PageFormat {
    const char* nameKey;
    double width;
    double height;
    PageUnit unit;
    bool separatorAfter;
};

// ISO 216 A and B series, DIN lang, then North American sizes in points.
inline constexpr std::array<PageFormat, ZORPageFormat::NumberOfFormats> Formats { {
    { "ZORPageFormatA0Name", 841, 1189, PageUnit::Millimetre, false },
    { "ZORPageFormatA1Name", 594, 841, PageUnit::Millimetre, false },
    { "ZORPageFormatA2Name", 420, 594, PageUnit::Millimetre, false },
    { "ZORPageFormatA3Name", 297, 420, PageUnit::Millimetre, false },
    { "ZORPageFormatA4Name", 210, 297, PageUnit::Millimetre, false },
    // 5
    { "ZORPageFormatA5Name", 148, 210, PageUnit::Millimetre, false },
    { "ZORPageFormatA6Name", 105, 148, PageUnit::Millimetre, false },
    { "ZORPageFormatA7Name", 74, 105, PageUnit::Millimetre, false },
    { "ZORPageFormatDINLongName", 99, 210, PageUnit::Millimetre, false },
    { "ZORPageFormatDINLongEnvelopeName", 110, 220, PageUnit::Millimetre, true },
    // 10
    { "ZORPageFormatB0Name", 1000, 1414, PageUnit::Millimetre, false },
    { "ZORPageFormatB1Name", 707, 1000, PageUnit::Millimetre, false },
    { "ZORPageFormatB2Name", 500, 707, PageUnit::Millimetre, false },
    { "ZORPageFormatB3Name", 353, 500, PageUnit::Millimetre, false },
    { "ZORPageFormatB4Name", 250, 353, PageUnit::Millimetre, false },
    // 15
    { "ZORPageFormatB5Name", 176, 250, PageUnit::Millimetre, false },
    { "ZORPageFormatB6Name", 125, 176, PageUnit::Millimetre, false },
    { "ZORPageFormatB7Name", 88, 125, PageUnit::Millimetre, true },
    { "ZORPageFormatInvoiceName", 396, 612, PageUnit::Point, false },
    { "ZORPageFormatExecutiveName", 522, 756, PageUnit::Point, false },
    // 20
    { "ZORPageFormatLetterName", 612, 792, PageUnit::Point, false },
    { "ZORPageFormatLegalName", 612, 1008, PageUnit::Point, false },
    { "ZORPageFormatLedgerName", 792, 1224, PageUnit::Point, false },
    { "ZORPageFormatBroadsheetCName", 1224, 1584, PageUnit::Point, false },
    { "ZORPageFormatBroadsheetDName", 1584, 2448, PageUnit::Point, false },
    // 25
    { "ZORPageFormatBroadsheetEName", 2448, 3168, PageUnit::Point, true },
    // 85 × 54 mm, kept as the exact double stored sizes were made with (not the single-precision conversion).
    { "ZORPageFormatBusinessCardEuropeName", 240.94488188976376, 153.0708661417323, PageUnit::Point, false },
    { "ZORPageFormatBusinessCardAmericaName", 252, 144, PageUnit::Point, false },
} };
static_assert(Formats.size() == 28);

gfx::Size sizeOf(const PageFormat& format);
fnd::String localizedName(const char* key);

}
