#include "platform/ui/UiTestSupport.h"

#include "frameworks/ZORAppKit/text-views/ZORLineNumberRuler.h"
#include "frameworks/ZORAppKit/text-views/ZORURLClickField.h"

#include "platform/foundation/files/FileManager.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/text/TextView.h"

#include <random>

namespace {

class LineNumberRulerTest : public uitest::KeyWindowTest {
protected:
    LineNumberRulerTest()
        : KeyWindowTest({ 300, 200 })
    {
        scroll = ui::ScrollView::create({ 0, 0, 300, 200 });
        text = ui::TextView::create({ 0, 0, 260, 200 });
        scroll->setDocumentView(text);
        add(scroll);
        ruler = ZORLineNumberRulerWithMarker::create(scroll);
        scroll->setVerticalRulerView(ruler);
        scroll->setHasVerticalRuler(true);
        scroll->setRulersVisible(true);
    }
    void setLines(int count, bool trailingNewline)
    {
        std::string s;
        for (int i = 0; i < count; ++i)
            s += "line " + std::to_string(i + 1) + (i + 1 < count || trailingNewline ? "\n" : "");
        text->setString(fnd::String(s));
    }
    void settle() { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(0.01)); }
    // The ruler point of a line's middle.
    double middleOfLine(fnd::Index start)
    {
        auto rects = text->layoutManager()->rectsForCharacterRange({ start, 0 }, *text->textContainer());
        return rects[0].midY() + text->textContainerOrigin().y - scroll->contentView()->bounds().minY();
    }

    std::shared_ptr<ui::ScrollView> scroll;
    std::shared_ptr<ui::TextView> text;
    std::shared_ptr<ZORLineNumberRulerWithMarker> ruler;
};

}

TEST_F(LineNumberRulerTest, LineStartsFollowTheText)
{
    setLines(3, false);
    EXPECT_EQ(ruler->lineIndices(), (std::vector<fnd::Index> { 0, 7, 14 }));
    setLines(3, true);
    EXPECT_EQ(ruler->lineIndices().size(), 4u) << "a final line break opens an empty numbered line";
    text->setString("");
    EXPECT_EQ(ruler->lineIndices(), (std::vector<fnd::Index> { 0 }));
    text->setString(fnd::String(u"a\u2028b"));
    EXPECT_EQ(ruler->lineIndices().size(), 2u) << "a line separator starts a line";
}

TEST_F(LineNumberRulerTest, LineLookup)
{
    setLines(5, false);
    const std::pair<fnd::Index, std::size_t> rows[] = { { 0, 0 }, { 6, 0 }, { 7, 1 }, { 30, 4 }, { 34, 4 } };
    for (auto [index, line] : rows)
        EXPECT_EQ(ruler->lineNumberForCharacterIndex(index), line) << index;
    EXPECT_EQ(ruler->lineNumberForLocation(middleOfLine(14)), 3);
    EXPECT_EQ(ruler->lineNumberForLocation(1000), fnd::NotFound);
}

TEST_F(LineNumberRulerTest, ThicknessGrowsWithTheDigits)
{
    setLines(9, false);
    (void)ruler->lineIndices();
    EXPECT_EQ(ruler->requiredThickness(), 24) << "never thinner than 24";
    ruler->setFont(gfx::Font::systemFontOfSize(30));
    setLines(9, false);
    (void)ruler->lineIndices();
    auto one = ruler->requiredThickness();
    setLines(10, false);
    (void)ruler->lineIndices();
    auto two = ruler->requiredThickness();
    EXPECT_GT(two, one);
    settle();
    EXPECT_EQ(ruler->ruleThickness(), two) << "applied by the layout pass before the next drawing";
    // A change of a point or less is not applied.
    ruler->setRuleThickness(two - 0.5);
    ruler->invalidateLineIndices();
    (void)ruler->lineIndices();
    settle();
    EXPECT_EQ(ruler->ruleThickness(), two - 0.5);
}

TEST_F(LineNumberRulerTest, ClicksToggleMarkers)
{
    setLines(4, false);
    (void)snapshot();
    auto at = [&](double y) { return ruler->convertPointToView({ 5, y }, nullptr); };
    backend->click(*window, at(middleOfLine(7)));
    dispatch();
    ASSERT_NE(ruler->markerAtLine(2), nullptr);
    EXPECT_EQ(ruler->markerAtLine(2)->lineNumber(), 2u);
    EXPECT_EQ(ruler->markers().size(), 1u);
    backend->click(*window, at(middleOfLine(7)));
    dispatch();
    EXPECT_EQ(ruler->markerAtLine(2), nullptr);
    ruler->setEditable(false);
    backend->click(*window, at(middleOfLine(7)));
    dispatch();
    EXPECT_TRUE(ruler->markers().empty());
    // setMarkers drops every earlier line marker.
    ruler->addMarkerWithLineNumber(1);
    ruler->addMarkerWithLineNumber(3);
    ruler->setMarkers({ ZORLineNumberRulerMarker::create(ruler, 4, nullptr, {}) });
    EXPECT_EQ(ruler->markerAtLine(1), nullptr);
    EXPECT_NE(ruler->markerAtLine(4), nullptr);
    ruler->addSingleMarkerWithLineNumber(2);
    EXPECT_EQ(ruler->markers().size(), 1u);
}

TEST_F(LineNumberRulerTest, NumbersAreDrawnAndTheEdgeIsUpright)
{
    setLines(4, false);
    ruler->setBackgroundColor(gfx::Color::whiteColor());
    ruler->addMarkerWithLineNumber(2);
    auto image = snapshot("line-number-ruler");
    auto width = ruler->frame().width();
    // Ink in the number column of line 1 and the marker's blue on line 2; the edge line runs straight down.
    auto inRuler = [&](double x, double y) {
        return pixel(
            *image, ruler->convertPointToView({ x, y }, nullptr).x, ruler->convertPointToView({ x, y }, nullptr).y);
    };
    bool ink = false;
    for (double x = width - 16; x < width - 6; x += 1)
        for (double y = middleOfLine(0) - 3; y < middleOfLine(0) + 3; y += 1)
            ink = ink || (inRuler(x, y) & 0xFF) < 0x80;
    EXPECT_TRUE(ink) << "the number 1";
    auto marker = inRuler(width / 2, middleOfLine(7));
    EXPECT_GT(marker & 0xFF, (marker >> 16) & 0xFF) << "blue marker";
    EXPECT_EQ(inRuler(width - 0.6, 20), inRuler(width - 0.6, 150)) << "upright";
    EXPECT_LT(inRuler(width - 0.6, 150) & 0xFF, 0xC0) << "the edge line is drawn";
}

TEST(LineNumberRulerCoding, RoundTrip)
{
    auto ruler = fnd::makeObject<ZORLineNumberRuler>();
    ruler->setTextColor(gfx::Color::redColor());
    ruler->setBackgroundColor(gfx::Color::whiteColor());
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(ruler));
    ASSERT_TRUE(data.has_value());
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(back.has_value());
    auto decoded = back->objectAs<ZORLineNumberRuler>();
    ASSERT_NE(decoded, nullptr);
    EXPECT_TRUE(decoded->textColor()->isEqual(*gfx::Color::redColor()));
    EXPECT_TRUE(decoded->backgroundColor()->isEqual(*gfx::Color::whiteColor()));
    auto marker = ZORLineNumberRulerMarker::create(nullptr, 7, nullptr, {});
    auto markerData = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(marker));
    ASSERT_TRUE(markerData.has_value());
    auto decodedMarker
        = fnd::KeyedUnarchiver::unarchiveObjectWithData(*markerData).objectAs<ZORLineNumberRulerMarker>();
    ASSERT_NE(decodedMarker, nullptr);
    EXPECT_EQ(decodedMarker->lineNumber(), 7u);
    auto link = ZORURLClickField::create({ 0, 0, 100, 20 });
    link->setURLString("https://example.org/");
    auto linkData = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(link));
    ASSERT_TRUE(linkData.has_value());
    auto decodedField = fnd::KeyedUnarchiver::unarchiveObjectWithData(*linkData).objectAs<ZORURLClickField>();
    ASSERT_NE(decodedField, nullptr);
    EXPECT_EQ(decodedField->URLString(), fnd::String("https://example.org/"));
    // The archives seed the fuzz target that reads them.
    if (const char* folder = std::getenv("TEXT_VIEWS_FUZZ_SEEDS")) {
        int n = 0;
        for (const auto* archive : { &*data, &*markerData, &*linkData })
            (void)fnd::FileManager::defaultManager().writeAtomically(
                fnd::String(std::string(folder) + "/seed" + std::to_string(++n) + ".keyed"), *archive);
    }
}

// Texts of random lines (empty ones, long ones that wrap, with and without a final line break) looked up at random
// heights, scrolled anywhere: the line found is the first whose start's rect spans the height, as asking every line
// in turn finds it.
TEST_F(LineNumberRulerTest, ALineIsFoundAtAHeightAsAskingEveryLineWould)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        std::string s;
        const int lines = 5 + int(random() % 300);
        for (int i = 0; i < lines; ++i) {
            s += std::string(random() % 4 == 0 ? 0 : 1 + random() % (random() % 5 == 0 ? 120 : 30), 'w');
            if (i + 1 < lines || random() % 2)
                s += "\n";
        }
        text->setString(fnd::String(s));
        const auto& starts = ruler->lineIndices();
        auto manager = text->layoutManager();
        auto container = text->textContainer();
        const double bottom = manager->usedRectForTextContainer(*container).maxY() + 40;
        scroll->contentView()->scrollToPoint({ 0, double(random() % std::max(1, int(bottom) - 200)) });
        scroll->reflectScrolledClipView(*scroll->contentView());
        const double scrolled = scroll->contentView()->bounds().minY();
        const double top = text->textContainerOrigin().y;
        for (int probe = 0; probe < 60; ++probe) {
            const double location = double(random() % 2400) / 10 - 20;
            const double y = location + scrolled;
            fnd::Index expected = fnd::NotFound;
            for (std::size_t i = 0; i < starts.size() && expected == fnd::NotFound; ++i)
                for (const auto& rect : manager->rectsForCharacterRange({ starts[i], 0 }, *container))
                    if (y >= rect.minY() + top && y < rect.maxY() + top)
                        expected = fnd::Index(i + 1);
            EXPECT_EQ(ruler->lineNumberForLocation(location), expected)
                << "seed " << seed << " at " << location << " scrolled " << scrolled;
        }
    }
}
