#include "platform/graphics/Font.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/FontManager.h"
#include "platform/graphics/detail/FontFace.h"
#include "support/ArchiveEditing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace gfx;

namespace {

// Captures log lines for the scope.
class LogCapture {
public:
    LogCapture()
    {
        m_previous = fnd::setLogSink([this](fnd::LogLevel, const fnd::String& line) { lines.push_back(line.utf8()); });
    }
    ~LogCapture() { fnd::setLogSink(m_previous); }
    std::vector<std::string> lines;

private:
    fnd::LogSink m_previous;
};

std::size_t countContaining(const std::vector<std::string>& lines, const std::string& text)
{
    std::size_t n = 0;
    for (const auto& line : lines)
        n += line.find(text) != std::string::npos;
    return n;
}

}

TEST(Font, MetricsAreTheDesignValuesScaledToTheSize)
{
    // DejaVu 2.37 design values in font units (2048 to the em), as FreeType reads them: hhea ascender and
    // descender, underline centre and thickness, the head bounding box; x-height and cap height are the tops of
    // "x" and "H" since the OS/2 table is version 1.
    struct Case {
        const char* name;
        bool fixedPitch;
        double bbox[4];
        double advanceO, advanceI;
    };
    const Case cases[] = {
        { "DejaVuSans", false, { -2090, -948, 3673, 2524 }, 1612, 569 },
        { "DejaVuSansMono", true, { -1144, -767, 1470, 2106 }, 1233, 1233 },
    };
    for (const auto& c : cases) {
        for (double size : { 12.0, 10.0, 2048.0 }) {
            auto font = Font::fontWithName(c.name, size);
            ASSERT_TRUE(font) << c.name;
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(size));
            double s = size / 2048;
            EXPECT_FALSE(font->isFallback());
            EXPECT_EQ(font->fontName(), fnd::String(c.name));
            EXPECT_EQ(font->pointSize(), size);
            EXPECT_DOUBLE_EQ(font->ascender(), 1901 * s);
            EXPECT_DOUBLE_EQ(font->descender(), -483 * s);
            EXPECT_DOUBLE_EQ(font->leading(), 0);
            EXPECT_DOUBLE_EQ(font->underlinePosition(), -85 * s);
            EXPECT_DOUBLE_EQ(font->underlineThickness(), 90 * s);
            EXPECT_DOUBLE_EQ(font->xHeight(), 1120 * s);
            EXPECT_DOUBLE_EQ(font->capHeight(), 1493 * s);
            EXPECT_DOUBLE_EQ(font->italicAngle(), 0);
            EXPECT_EQ(font->isFixedPitch(), c.fixedPitch);
            Rect box = font->boundingRectForFont();
            EXPECT_DOUBLE_EQ(box.minX(), c.bbox[0] * s);
            EXPECT_DOUBLE_EQ(box.minY(), c.bbox[1] * s);
            EXPECT_DOUBLE_EQ(box.maxX(), c.bbox[2] * s);
            EXPECT_DOUBLE_EQ(box.maxY(), c.bbox[3] * s);
            EXPECT_DOUBLE_EQ(font->advancementForGlyph(font->glyphForCharacter(U'O')).width, c.advanceO * s);
            EXPECT_DOUBLE_EQ(font->advancementForGlyph(font->glyphForCharacter(U'i')).width, c.advanceI * s);
        }
    }
}

TEST(Font, NamesResolveByPostScriptFullOrFamilyName)
{
    struct Case {
        const char* requested;
        const char* fontName;
        const char* family;
        const char* style;
    };
    const Case cases[] = {
        { "DejaVuSans-Bold", "DejaVuSans-Bold", "DejaVu Sans", "Bold" },
        { "DejaVu Sans Bold", "DejaVuSans-Bold", "DejaVu Sans", "Bold" },
        { "DejaVu Sans", "DejaVuSans", "DejaVu Sans", "Book" },
        { "dejavu sans mono", "DejaVuSansMono", "DejaVu Sans Mono", "Book" },
    };
    for (const auto& c : cases) {
        auto font = Font::fontWithName(c.requested, 11);
        ASSERT_TRUE(font) << c.requested;
        EXPECT_FALSE(font->isFallback()) << c.requested;
        EXPECT_EQ(font->fontName().utf8(), c.fontName) << c.requested;
        EXPECT_EQ(font->familyName().utf8(), c.family) << c.requested;
        EXPECT_EQ(font->styleName().utf8(), c.style) << c.requested;
    }
    EXPECT_EQ(Font::fontWithName("DejaVuSans", 0)->pointSize(), 12) << "size 0 is the user font size";
}

TEST(Font, MissingNamesFallBackAndKeepTheirName)
{
    LogCapture log;
    struct Case {
        const char* requested;
        const char* family;
        const char* style;
        bool fixedPitch;
    };
    const Case cases[] = {
        { "Helvetica", "DejaVu Sans", "Book", false },
        { "Helvetica-Bold", "DejaVu Sans", "Bold", false },
        { "Monaco", "DejaVu Sans Mono", "Book", true },
        { "Menlo-Bold", "DejaVu Sans Mono", "Bold", true },
        { "Courier New", "DejaVu Sans Mono", "Book", true },
        { "No Such Typeface Anywhere", "DejaVu Sans", "Book", false },
    };
    for (const auto& c : cases) {
        auto font = Font::fontWithName(c.requested, 10);
        ASSERT_TRUE(font) << c.requested;
        EXPECT_TRUE(font->isFallback()) << c.requested;
        EXPECT_EQ(font->fontName().utf8(), c.requested);
        EXPECT_EQ(font->familyName().utf8(), c.family) << c.requested;
        EXPECT_EQ(font->styleName().utf8(), c.style) << c.requested;
        EXPECT_EQ(font->isFixedPitch(), c.fixedPitch) << c.requested;
        EXPECT_EQ(font->fontWithSize(14)->fontName().utf8(), c.requested);
    }
    // Logged once per name, however often it is asked for.
    auto again = Font::fontWithName("No Such Typeface Anywhere", 20);
    EXPECT_EQ(countContaining(log.lines, "No Such Typeface Anywhere"), 1u);
    EXPECT_EQ(countContaining(log.lines, "DejaVuSans"), 0u) << "installed names are not logged";
}

TEST(Font, SystemFontsAndSizes)
{
    EXPECT_EQ(Font::systemFontSizeForControlSize(ControlSize::Regular), 13);
    EXPECT_EQ(Font::systemFontSizeForControlSize(ControlSize::Small), 11);
    EXPECT_EQ(Font::systemFontSizeForControlSize(ControlSize::Mini), 9);
    struct Case {
        const char* name;
        std::shared_ptr<Font> font;
        double size;
        const char* style;
        bool fixedPitch;
    };
    const Case cases[] = {
        { "system", Font::systemFontOfSize(0), 13, "Book", false },
        { "system 10", Font::systemFontOfSize(10), 10, "Book", false },
        { "bold system", Font::boldSystemFontOfSize(11), 11, "Bold", false },
        { "label", Font::labelFontOfSize(0), 10, "Book", false },
        { "control content", Font::controlContentFontOfSize(14), 14, "Book", false },
        { "message", Font::messageFontOfSize(0), 13, "Book", false },
        { "title bar", Font::titleBarFontOfSize(0), 13, "Bold", false },
        { "menu", Font::menuFontOfSize(0), 13, "Book", false },
        { "user", Font::userFontOfSize(0), 12, "Book", false },
        { "fixed pitch", Font::userFixedPitchFontOfSize(0), 10, "Book", true },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.font) << c.name;
        EXPECT_FALSE(c.font->isFallback()) << c.name;
        EXPECT_EQ(c.font->pointSize(), c.size) << c.name;
        EXPECT_EQ(c.font->styleName().utf8(), c.style) << c.name;
        EXPECT_EQ(c.font->isFixedPitch(), c.fixedPitch) << c.name;
    }
}

TEST(Font, SystemFontsAreSharedPerFamilyWeightAndSize)
{
    auto system = Font::systemFontOfSize(13);
    EXPECT_EQ(Font::systemFontOfSize(13), system) << "made once";
    EXPECT_EQ(Font::systemFontOfSize(0), system) << "the default size is 13";
    EXPECT_EQ(Font::controlContentFontOfSize(13), system) << "same family, weight and size";
    // Each of family, weight and size tells one font from another.
    auto bold = Font::boldSystemFontOfSize(13);
    EXPECT_EQ(bold->styleName().utf8(), "Bold");
    EXPECT_EQ(system->styleName().utf8(), "Book");
    auto mono = Font::userFixedPitchFontOfSize(13);
    EXPECT_TRUE(mono->isFixedPitch());
    EXPECT_FALSE(system->isFixedPitch());
    EXPECT_EQ(Font::systemFontOfSize(13.5)->pointSize(), 13.5);
    EXPECT_EQ(Font::userFontOfSize(0)->pointSize(), 12);
    // More sizes than are kept: each still comes at its own size, the first ones too once pushed out.
    for (int size = 20; size < 60; ++size)
        EXPECT_EQ(Font::systemFontOfSize(size)->pointSize(), size);
    for (int size = 20; size < 60; size += 13)
        EXPECT_EQ(Font::systemFontOfSize(size)->pointSize(), size);
    EXPECT_EQ(Font::boldSystemFontOfSize(13)->styleName().utf8(), "Bold");
}

TEST(Font, GlyphOutlinesAreClosedAndWoundOppositely)
{
    auto font = Font::fontWithName("DejaVuSans", 2048); // one point per font unit
    Glyph o = font->glyphForCharacter(U'O');
    BezierPath outline;
    font->appendOutlineOfGlyph(outline, o);
    ASSERT_FALSE(outline.isEmpty());

    // Split into subpaths and take each one's signed area (shoelace over its on-curve and control points, which
    // has the sign of the true area for these simple contours).
    std::vector<double> areas;
    std::vector<Point> points;
    bool closed = true;
    auto finish = [&] {
        double area = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % points.size()];
            area += a.x * b.y - b.x * a.y;
        }
        areas.push_back(area / 2);
        points.clear();
    };
    for (std::int64_t i = 0; i < outline.elementCount(); ++i) {
        Point p[3];
        switch (outline.elementAtIndex(i, p)) {
        case BezierPathElement::MoveTo:
            EXPECT_TRUE(closed) << "a subpath starts before the last one closed";
            closed = false;
            points = { p[0] };
            break;
        case BezierPathElement::LineTo:
            points.push_back(p[0]);
            break;
        case BezierPathElement::CurveTo:
            points.insert(points.end(), { p[0], p[1], p[2] });
            break;
        case BezierPathElement::ClosePath:
            closed = true;
            finish();
            break;
        }
    }
    EXPECT_TRUE(closed);
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_LT(areas[0] * areas[1], 0) << areas[0] << " and " << areas[1];

    // y up from the baseline: the O spans its design box (115, -29)-(1497, 1520).
    EXPECT_EQ(font->boundingRectForGlyph(o), Rect(115, -29, 1497 - 115, 1520 + 29));
    Rect bounds = outline.bounds();
    EXPECT_NEAR(bounds.minY(), -29, 0.5);
    EXPECT_NEAR(bounds.maxY(), 1520, 0.5);

    // Scaled with the size and placed at the origin asked for.
    BezierPath small;
    Font::fontWithName("DejaVuSans", 12)->appendOutlineOfGlyph(small, o, { 100, 50 });
    ASSERT_EQ(small.elementCount(), outline.elementCount());
    EXPECT_DOUBLE_EQ(small.allPoints()[0].x, 100 + outline.allPoints()[0].x * 12 / 2048);
    EXPECT_DOUBLE_EQ(small.allPoints()[0].y, 50 + outline.allPoints()[0].y * 12 / 2048);

    // A space has an advance but no outline; a missing glyph is 0; a glyph beyond the font adds nothing.
    Glyph space = font->glyphForCharacter(U' ');
    BezierPath empty;
    font->appendOutlineOfGlyph(empty, space);
    font->appendOutlineOfGlyph(empty, Glyph(1u << 30));
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_GT(font->advancementForGlyph(space).width, 0);
    EXPECT_EQ(font->glyphForCharacter(U'\U000F0000'), 0u);
}

TEST(Font, GlyphRunsFollowTheAdvances)
{
    auto font = Font::fontWithName("DejaVuSansMono", 2048);
    std::vector<Glyph> glyphs { font->glyphForCharacter(U'i'), font->glyphForCharacter(U' '),
        font->glyphForCharacter(U'i') };
    BezierPath path;
    path.moveToPoint({ 10, 20 });
    appendBezierPathWithGlyphs(path, glyphs, *font);
    BezierPath single;
    font->appendOutlineOfGlyph(single, glyphs[0]);
    // The move, then two copies of "i", the second two advances (1233 units each) further on.
    ASSERT_EQ(path.elementCount(), 1 + 2 * single.elementCount());
    Point first = path.allPoints()[1], second = path.allPoints()[1 + single.allPoints().size()];
    EXPECT_DOUBLE_EQ(first.x, 10 + single.allPoints()[0].x);
    EXPECT_DOUBLE_EQ(first.y, 20 + single.allPoints()[0].y);
    EXPECT_DOUBLE_EQ(second.x - first.x, 2 * 1233);
}

TEST(Font, ArchivesKeepNameAndSize)
{
    for (const char* name : { "DejaVuSans-Bold", "Monaco" }) {
        auto font = Font::fontWithName(name, 10.5);
        auto keyed = fnd::KeyedArchiver::archivedDataWithRootObject(font);
        auto sequential = fnd::SequentialArchiver::archivedDataWithRootObject(font);
        ASSERT_TRUE(keyed && sequential) << name;
        for (const auto& value : { fnd::KeyedUnarchiver::unarchiveObjectWithData(*keyed),
                 fnd::SequentialUnarchiver::unarchiveObjectWithData(*sequential) }) {
            auto back = value.objectAs<Font>();
            ASSERT_TRUE(back) << name;
            EXPECT_EQ(back->fontName().utf8(), name);
            EXPECT_EQ(back->pointSize(), 10.5);
            EXPECT_TRUE(back->isEqual(*font)) << name;
        }
    }
}

// An archive is outside data: a size no text is set in (a glyph of 1e300 points, an infinite or negative one) is
// refused, by either archiver; the largest size, 10,000 points, still reads back.
TEST(Font, ArchivesOfSizesNoTextIsSetInAreRefused)
{
    auto archives = [](double size) {
        auto font = Font::fontWithName("DejaVuSans", size);
        return std::pair { *fnd::KeyedArchiver::archivedDataWithRootObject(font),
            *fnd::SequentialArchiver::archivedDataWithRootObject(font) };
    };
    for (double size : { 10000.0001, 20000.0, 1e300, double(INFINITY) }) {
        auto [keyed, sequential] = archives(size);
        EXPECT_TRUE(fnd::KeyedUnarchiver::unarchiveObjectWithData(keyed).isNil()) << size;
        EXPECT_TRUE(fnd::SequentialUnarchiver::unarchiveObjectWithData(sequential).isNil()) << size;
    }
    auto [keyed, sequential] = archives(10000);
    for (double size : { 0.0, -12.0, -double(INFINITY), double(NAN) }) {
        auto damaged = testsupport::withRootKey(keyed, "NSSize", fnd::Value(size));
        EXPECT_TRUE(fnd::KeyedUnarchiver::unarchiveObjectWithData(damaged).isNil()) << size;
    }
    for (const auto& value : { fnd::KeyedUnarchiver::unarchiveObjectWithData(keyed),
             fnd::SequentialUnarchiver::unarchiveObjectWithData(sequential) }) {
        ASSERT_TRUE(value.objectAs<Font>());
        EXPECT_EQ(value.objectAs<Font>()->pointSize(), 10000);
    }
}

TEST(FontManager, ConvertsSizesFamiliesAndTraits)
{
    auto& manager = FontManager::shared();
    // Helvetica 11 made bold, as the tab styles do: the stand-in's bold face.
    auto bold = manager.convertFontToHaveTrait(Font::fontWithName("Helvetica", 11), FontTraitMask::Bold);
    EXPECT_EQ(bold->fontName().utf8(), "DejaVuSans-Bold");
    EXPECT_EQ(bold->pointSize(), 11);
    EXPECT_TRUE(manager.traitsOfFont(*bold) & FontTraitMask::Bold);
    EXPECT_EQ(manager.weightOfFont(*bold), 9);

    auto plain = manager.convertFontToNotHaveTrait(bold, FontTraitMask::Bold);
    EXPECT_EQ(plain->fontName().utf8(), "DejaVuSans");
    EXPECT_EQ(manager.weightOfFont(*plain), 5);
    EXPECT_EQ(manager.convertFontToHaveTrait(bold, FontTraitMask::Bold), bold) << "already bold";

    auto mono = manager.convertFontToFamily(bold, "DejaVu Sans Mono");
    EXPECT_EQ(mono->fontName().utf8(), "DejaVuSansMono-Bold");
    EXPECT_TRUE(manager.traitsOfFont(*mono) & FontTraitMask::FixedPitch);
    EXPECT_EQ(manager.convertFontToFamily(bold, "No Such Family"), bold);

    auto monaco = Font::fontWithName("Monaco", 10);
    auto bigger = manager.convertFontToSize(monaco, 18);
    EXPECT_EQ(bigger->fontName().utf8(), "Monaco");
    EXPECT_EQ(bigger->pointSize(), 18);
    EXPECT_EQ(manager.convertFontToSize(monaco, 0), monaco);

    auto members = manager.availableMembersOfFontFamily("DejaVu Sans Mono");
    ASSERT_GE(members.size(), 2u);
    EXPECT_EQ(members[0], fnd::Value(fnd::Array { "DejaVuSansMono", "Book", 5, 1024 }));
    bool hasBold = false;
    for (const auto& m : members)
        hasBold |= m == fnd::Value(fnd::Array { "DejaVuSansMono-Bold", "Bold", 9, 1026 });
    EXPECT_TRUE(hasBold);
    auto families = manager.availableFontFamilies();
    EXPECT_NE(std::find(families.begin(), families.end(), fnd::String("DejaVu Sans")), families.end());
}

TEST(Font, EqualityIsNameAndSize)
{
    auto a = Font::fontWithName("DejaVuSans", 12);
    EXPECT_TRUE(a->isEqual(*Font::fontWithName("DejaVu Sans", 12)));
    EXPECT_FALSE(a->isEqual(*Font::fontWithName("DejaVuSans", 12.5)));
    EXPECT_FALSE(a->isEqual(*Font::fontWithName("Helvetica", 12))) << "a stand-in keeps its own name";
    EXPECT_EQ(a->hash(), Font::fontWithName("DejaVuSans", 12)->hash());
}

TEST(FontFace, RecentlyUsedFacesStayOpenUntilEightOthersFollow)
{
    // Faces no shared system font holds (those stay open with their fonts).
    std::vector<const gfx::detail::FaceInfo*> faces;
    for (const auto& face : gfx::detail::FontCatalog::shared().faces())
        if (face.family() != fnd::String("DejaVu Sans") && face.family() != fnd::String("DejaVu Sans Mono"))
            faces.push_back(&face);
    ASSERT_GE(faces.size(), 10u);
    std::weak_ptr<gfx::detail::FontFace> first = gfx::detail::FontFace::forInfo(*faces[0]);
    ASSERT_FALSE(first.expired()) << "kept although its last user dropped it";
    auto again = gfx::detail::FontFace::forInfo(*faces[0]);
    EXPECT_EQ(again, first.lock()) << "the kept face is handed out again, not opened anew";
    again.reset();
    for (std::size_t i = 1; i <= 8; ++i)
        gfx::detail::FontFace::forInfo(*faces[i]);
    EXPECT_TRUE(first.expired()) << "only the eight used last stay open";
}
