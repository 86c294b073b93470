#include "platform/text/LayoutManager.h"

#include "TextFixture.h"
#include "support/Canvas.h"

#include <gtest/gtest.h>

namespace {

TEST(LayoutManager, DefaultLineHeightIsAscenderMinusDescenderPlusLeading)
{
    for (const char* name : { "DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono" }) {
        auto font = gfx::Font::fontWithName(name, 12);
        ASSERT_TRUE(font);
        txt::LayoutManager manager;
        EXPECT_DOUBLE_EQ(
            manager.defaultLineHeightForFont(*font), font->ascender() - font->descender() + font->leading())
            << name;
    }
}

}

namespace {

// Counts the glyphs handed to the drawing step.
class CountingLayoutManager : public txt::LayoutManager {
    FND_OBJECT(CountingLayoutManager)
public:
    void showCGGlyphs(std::span<const gfx::Glyph> glyphs, std::span<const gfx::Point> positions,
        const std::shared_ptr<gfx::Font>& font, const gfx::AffineTransform& matrix, const txt::Attributes& attributes,
        gfx::GraphicsContext* context) override
    {
        shown += glyphs.size();
        LayoutManager::showCGGlyphs(glyphs, positions, font, matrix, attributes, context);
    }
    std::size_t shown { 0 };
};
FND_REGISTER_CLASS(CountingLayoutManager, txt::LayoutManager)

}

// A long line drawn through a narrow clip, as a one-line field shows a long text: only the glyphs near the clip are
// drawn, and the pixels are those of drawing them all.
TEST(LayoutManager, ALongLineDrawsOnlyTheGlyphsNearTheClip)
{
    txt::test::TextSystem<CountingLayoutManager> text(
        txt::AttributedString(fnd::String(std::string(3000, 'W')), txt::test::withFont(12)));
    const auto glyphs = text.manager->glyphRangeForTextContainer(*text.container);
    ASSERT_EQ(glyphs.length, 3000);
    // Drawn at the clip's right, as a field scrolled to the end of its text.
    Canvas narrow(100, 30);
    narrow.context().clipToRect({ 20, 0, 60, 30 });
    text.manager->drawGlyphsForGlyphRange(glyphs, { -5000, 26 });
    EXPECT_GT(text.manager->shown, 3u);
    EXPECT_LT(text.manager->shown, 20u) << "a few W's are 60 points wide";

    // The same stretch of the line drawn where every glyph around it lies inside the canvas (far from the origin,
    // the rasteriser rounds a little differently; a glyph left out would differ by far more).
    Canvas wide(5200, 30);
    text.manager->drawGlyphsForGlyphRange(glyphs, { 0, 26 });
    EXPECT_GT(text.manager->shown, 300u);
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 80; ++x)
            ASSERT_NEAR(gfx::alphaOf(narrow.at(x, y)), gfx::alphaOf(wide.at(x + 5000, y)), 16) << x << ", " << y;
    const auto picture = narrow.picture();
    EXPECT_GT(std::count(picture.begin(), picture.end(), '+') + std::count(picture.begin(), picture.end(), '#'), 200)
        << picture;
}
