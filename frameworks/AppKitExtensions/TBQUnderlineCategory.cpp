#include "frameworks/AppKitExtensions/TBQUnderlineCategory.h"

namespace TBQUnderlineCategory {

namespace {

template <typename Metric> double meanOfStandardFaces(const gfx::Font& font, Metric metric)
{
    auto sans = gfx::Font::fontWithName("Helvetica", font.pointSize());
    auto serif = gfx::Font::fontWithName("Times", font.pointSize());
    if (!sans || !serif)
        return 0;
    return (metric(*sans) + metric(*serif)) / 2;
}

}

double valueForInvalidUnderlineThickness(const gfx::Font& font)
{
    return meanOfStandardFaces(font, [](const gfx::Font& f) { return f.underlineThickness(); });
}

double valueForInvalidUnderlinePosition(const gfx::Font& font)
{
    return meanOfStandardFaces(font, [](const gfx::Font& f) { return f.underlinePosition(); });
}

}
