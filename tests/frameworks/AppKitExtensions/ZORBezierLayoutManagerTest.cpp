#include "frameworks/AppKitExtensions/ZORBezierLayoutManager.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/TextRendering.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "support/Canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

using fnd::Range;

template <typename Manager> struct OutlineText {
    std::shared_ptr<txt::TextStorage> storage;
    std::shared_ptr<Manager> manager = fnd::makeObject<Manager>();
    std::shared_ptr<txt::TextContainer> container = std::make_shared<txt::TextContainer>(gfx::Size { 1e7, 1e7 });

    explicit OutlineText(const fnd::String& text, double size = 24, txt::Attributes extra = {})
    {
        extra.set(txt::FontAttributeName, gfx::Font::fontWithName("DejaVu Sans", size));
        storage = std::make_shared<txt::TextStorage>(text, extra);
        container->setLineFragmentPadding(0);
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
    }
};

TEST(ZORBezierLayoutManager, ContainerWithoutGlyphsGivesNoPaths)
{
    OutlineText<ZORBezierLayoutManager> text("");
    gfx::Size used { 5, 5 };
    EXPECT_TRUE(text.manager->glyphPathsForContainer(*text.container, &used).empty());
    EXPECT_EQ(used, (gfx::Size { 0, 0 }));
    EXPECT_TRUE(text.manager->shouldFlip()) << "flipping is on for a new manager";
    EXPECT_TRUE(text.manager->textPath()->isEmpty());
}

TEST(ZORBezierLayoutManager, OnePathPerGlyphAtItsLocationFlippedOrNot)
{
    OutlineText<ZORBezierLayoutManager> text("H i\nT");
    auto font = gfx::Font::fontWithName("DejaVu Sans", 24);
    auto& manager = *text.manager;
    for (bool flip : { false, true }) {
        manager.setShouldFlip(flip);
        gfx::Size used;
        auto paths = manager.glyphPathsForContainer(*text.container, &used);
        ASSERT_EQ(paths.size(), 5u) << "every glyph gives an entry, spaces and line breaks too";
        EXPECT_TRUE(paths[1]->isEmpty()) << "a space has no outline";
        EXPECT_TRUE(paths[3]->isEmpty());
        EXPECT_EQ(used, manager.usedRectForTextContainer(*text.container).size);
        for (fnd::Index i : { 0, 2, 4 }) {
            // In the container: the location within its line fragment, moved by the fragment's origin.
            auto location = manager.locationForGlyphAtIndex(i);
            auto origin = manager.lineFragmentRectForGlyphAtIndex(i).origin;
            gfx::Point p { location.x + origin.x, location.y + origin.y };
            auto glyph = font->boundingRectForGlyph(manager.glyphAtIndex(i));
            // Without flipping the glyph stands y-up on its location; flipped, it is mirrored about it.
            gfx::Rect expected { p.x + glyph.minX(), flip ? p.y - glyph.maxY() : p.y + glyph.minY(), glyph.width(),
                glyph.height() };
            auto bounds = paths[static_cast<std::size_t>(i)]->bounds();
            EXPECT_NEAR(bounds.minX(), expected.minX(), 1e-6) << i << " flip " << flip;
            EXPECT_NEAR(bounds.minY(), expected.minY(), 1e-6) << i << " flip " << flip;
            EXPECT_NEAR(bounds.width(), expected.width(), 1e-6) << i << " flip " << flip;
            EXPECT_NEAR(bounds.height(), expected.height(), 1e-6) << i << " flip " << flip;
        }
        // Locations are relative to each line fragment: the second line's glyph sits at its own fragment's baseline,
        // and its outline lies a line lower than the first line's, not over it.
        EXPECT_DOUBLE_EQ(manager.locationForGlyphAtIndex(4).y, font->ascender());
        const double lineHeight = manager.lineFragmentRectForGlyphAtIndex(4).minY();
        EXPECT_GT(lineHeight, 0);
        EXPECT_NEAR(paths[4]->bounds().minY() - paths[0]->bounds().minY(), lineHeight, 1e-6)
            << "H and T are equally tall, one line apart; flip " << flip;
        EXPECT_GE(paths[4]->bounds().minY(), paths[0]->bounds().maxY()) << "the lines do not overlap; flip " << flip;
    }
}

TEST(ZORBezierLayoutManager, FilledOutlinesMatchTheDrawnGlyphs)
{
    const fnd::String word("Barcode 42");
    OutlineText<txt::LayoutManager> drawn(word);
    OutlineText<ZORBezierLayoutManager> outlined(word);
    // Both into flipped bitmaps, the text's top left at (4, 4): the outlines are flipped for the y-down drawing. The
    // glyphs unhinted, as outlines are: this compares where the shapes are, not how hinting fits them to pixels.
    const auto desktop = gfx::desktopTextRendering();
    gfx::setDesktopTextRendering({ true, gfx::TextHinting::None });
    Canvas reference(160, 40, true);
    drawn.manager->drawGlyphsForGlyphRange({ 0, word.length() }, { 4, 4 });
    gfx::setDesktopTextRendering(desktop);
    Canvas filled(160, 40, true);
    filled.context().translateCTM(4, 4);
    filled.context().setFillColor(*gfx::Color::blackColor());
    for (const auto& path : outlined.manager->glyphPathsForContainer(*outlined.container))
        filled.context().fillPath(*path);

    int inked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 160; ++x)
            inked += reference.alpha(x, y) > 128 ? 1 : 0;
    // Drawn glyphs stand on whole pixels, outlines where they fall: a half-pixel shift splits a one-pixel stem into
    // two half-covered ones, so only a difference of more than half the coverage counts.
    const int differing = reference.alphaDifferencesBeyondOnePixel(filled, 128);
    EXPECT_GT(inked, 200) << reference.picture();
    EXPECT_LE(differing, inked / 50) << "reference\n" << reference.picture() << "outlines\n" << filled.picture();
}

TEST(ZORBezierLayoutManager, GlyphDrawingCollectsOutlinesAndNoLines)
{
    auto attributes = txt::Attributes { { txt::UnderlineStyleAttributeName, txt::UnderlineStyle::Single },
        { txt::StrikethroughStyleAttributeName, txt::UnderlineStyle::Double } };
    OutlineText<ZORBezierLayoutManager> text("A A", 24, attributes);
    auto font = gfx::Font::fontWithName("DejaVu Sans", 24);
    gfx::BezierPath one;
    font->appendOutlineOfGlyph(one, font->glyphForCharacter('A'));

    Canvas canvas(100, 40, true);
    text.manager->drawGlyphsForGlyphRange({ 0, 3 }, { 0, 0 });
    auto& path = *text.manager->textPath();
    EXPECT_EQ(path.elementCount(), 2 * one.elementCount()) << "two glyphs; no underline or strikethrough; the "
                                                              "space adds nothing";
    EXPECT_EQ(canvas.picture().find('#'), std::string::npos) << "nothing is drawn into the context";
    // Each glyph at its own position: the second A starts where the layout put it.
    auto bounds = path.bounds();
    EXPECT_NEAR(bounds.maxX(),
        text.manager->locationForGlyphAtIndex(2).x + font->boundingRectForGlyph(font->glyphForCharacter('A')).maxX(),
        1e-6);

    OutlineText<ZORBezierLayoutManager> blank("   ");
    blank.manager->drawGlyphsForGlyphRange({ 0, 3 }, { 0, 0 });
    EXPECT_TRUE(blank.manager->textPath()->isEmpty()) << "glyphs without outline add nothing";
}

}
