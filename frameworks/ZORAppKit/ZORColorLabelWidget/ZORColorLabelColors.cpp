#include "frameworks/ZORAppKit/ZORColorLabelWidget/ZORColorLabelColors.h"

#include <array>

namespace {

struct Rgb {
    int red, green, blue;
};

// Labels 1 to 7, components of 255.
constexpr std::array<Rgb, 7> LabelColors { {
    { 252, 99, 89 }, // 1 red
    { 246, 170, 62 }, // 2 orange
    { 235, 219, 65 }, // 3 yellow
    { 174, 216, 65 }, // 4 green
    { 92, 160, 255 }, // 5 blue
    { 194, 138, 217 }, // 6 purple
    { 168, 168, 168 }, // 7 grey
} };

}

ZORColorLabelColors::ZORColorLabelColors()
{
    m_colorList.push_back(gfx::Color::clearColor());
    for (const auto& c : LabelColors)
        m_colorList.push_back(gfx::Color::colorWithCalibratedRed(c.red / 255.0, c.green / 255.0, c.blue / 255.0, 1));
}

ZORColorLabelColors& ZORColorLabelColors::sharedTBQColorLabelColors()
{
    static ZORColorLabelColors shared;
    return shared;
}

gfx::ColorPtr ZORColorLabelColors::getLabelColorAtindex(std::int64_t index)
{
    if (index < 1 || index > 7)
        return nullptr;
    // A copy of its own for every caller, as the table's colours are the table's.
    const auto& colour = sharedTBQColorLabelColors().m_colorList[static_cast<std::size_t>(index)];
    const auto rgba = colour->rgbaIfAvailable();
    return gfx::Color::colorWithCalibratedRed((*rgba)[0], (*rgba)[1], (*rgba)[2], (*rgba)[3]);
}

gfx::ColorPtr ZORColorLabelColors::letteringColorForLabelType(std::int64_t type)
{
    const bool white = type == -1 || type == 4 || type == 5 || type == 6;
    return white ? gfx::Color::whiteColor() : gfx::Color::blackColor();
}
