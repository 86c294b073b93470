#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIconView.h"

#include "ZORAppKitTestSupport.h"
#include "platform/ui/UiTestSupport.h"
#include "support/Canvas.h"
#include "support/Raised.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <functional>

namespace {

// Receives the icons' action.
class IconClicks : public fnd::Object {
    FND_OBJECT(IconClicks)
    static void describeClass(fnd::ClassBuilder<IconClicks>& c) { c.action("showPane:", &IconClicks::showPane); }

public:
    void showPane(const fnd::Value& sender)
    {
        if (auto icon = sender.objectAs<ZORPrefPaneIcon>())
            shown.push_back(icon->itemIdentifier().utf8());
    }
    std::vector<std::string> shown;
};

FND_REGISTER_CLASS(IconClicks, fnd::Object)

// Tells where each drag's image started, on the screen.
class RecordingIconView : public ZORPrefPaneIconView {
    FND_OBJECT(RecordingIconView)

public:
    void draggedImageBeganAt(gfx::Image&, gfx::Point screenPoint) override { dragsBegan.push_back(screenPoint); }
    std::vector<gfx::Point> dragsBegan;
};

FND_REGISTER_CLASS(RecordingIconView, ZORPrefPaneIconView)

struct IconEntry {
    const char* identifier;
    const char* title;
    const char* category;
};

class PrefPaneIconViewTest : public uitest::UiTest {
protected:
    std::shared_ptr<ZORPrefPaneIcon> makeIcon(const IconEntry& entry, std::size_t index)
    {
        // Distinct, saturated colours, so a pixel tells which icon was drawn where.
        auto hue = std::fmod(double(index) * 0.137, 1.0);
        auto color = gfx::Color::colorWithCalibratedHue(hue, 1, 0.8, 1);
        colors[entry.identifier] = pixelOfOpaque(color);
        auto icon = ZORPrefPaneIcon::create(entry.identifier, zortest::solidImage({ 64, 64 }, color), entry.title);
        icon->setCategory(entry.category);
        icon->setTarget(clicks);
        icon->setSelector("showPane:");
        return icon;
    }

    void makeView(const std::vector<IconEntry>& entries, bool byCategory, long columns = 7)
    {
        std::vector<std::shared_ptr<ZORPrefPaneIcon>> icons;
        for (std::size_t i = 0; i < entries.size(); ++i)
            icons.push_back(makeIcon(entries[i], i));
        view = std::make_shared<RecordingIconView>();
        view->initWithController(nullptr, icons, columns);
        view->setSortByCategory(byCategory);
        window = ui::Window::create({ 100, 100, view->frame().width(), view->frame().height() });
        window->setContentView(view);
        window->makeKeyAndOrderFront();
    }

    static std::uint32_t pixelOfOpaque(const gfx::ColorPtr& color)
    {
        auto c = color->rgba();
        auto byte = [](double v) { return unsigned(std::lround(v * 255)); };
        return argb(255, byte(c[0]), byte(c[1]), byte(c[2]));
    }

    // The window drawn, written to $TMPDIR/ZORPreferenceWindow-<name>.png to be looked at.
    std::shared_ptr<gfx::BitmapImageRep> shot(const std::string& name)
    {
        auto image = backend->imageOfWindow(*window);
        auto path = std::filesystem::temp_directory_path() / ("ZORPreferenceWindow-" + name + ".png");
        if (image)
            (void)image->writeToFile(fnd::String(path.string()), gfx::BitmapImageFileType::PNG);
        return image;
    }
    // The shot's pixel at a point of the (flipped) overview.
    std::uint32_t pixel(const gfx::BitmapImageRep& image, gfx::Point inView)
    {
        auto p = view->convertPointToView(inView, nullptr);
        auto pixels = image.pixelBuffer();
        int x = std::clamp(int(std::floor(p.x)), 0, pixels.width - 1);
        int y = std::clamp(int(std::floor(p.y)), 0, pixels.height - 1);
        return pixels.pixel(x, pixels.height - 1 - y);
    }
    void click(gfx::Point inView)
    {
        auto p = view->convertPointToView(inView, nullptr);
        backend->mouseDown(*window, p);
        backend->mouseUp(*window, p);
        backend->dispatchEvents();
    }
    static gfx::Point centre(gfx::Rect r) { return { r.midX(), r.midY() }; }

    std::shared_ptr<IconClicks> clicks = fnd::makeObject<IconClicks>();
    std::map<std::string, std::uint32_t> colors;
    std::shared_ptr<RecordingIconView> view;
    std::shared_ptr<ui::Window> window;
};

const std::vector<IconEntry> ThreeCategories = {
    { "general", "General", "Basics" },
    { "fonts", "Fonts and Captions", "Appearance" },
    { "colours", "Colours", "Appearance" },
    { "bars", "Bars", "Appearance" },
    { "quiet", "Quiet Zones", "Appearance" },
    { "guards", "Guard Bars", "Appearance" },
    { "margins", "Margins", "Appearance" },
    { "rulers", "Rulers", "Appearance" },
    { "units", "Units", "Appearance" },
    { "export", "Export", "Files" },
    { "pdf", "PDF", "Files" },
    { "updates", "Software Updates", "Basics" },
};

}

TEST_F(PrefPaneIconViewTest, RowsWrapAtTheColumnCountAndAnEmptyOverviewIsElevenHigh)
{
    makeView({}, true);
    EXPECT_EQ(view->frame().height(), 11);
    EXPECT_FALSE(view->iconAt({ 20, 5 }));

    std::vector<IconEntry> entries;
    for (const char* name : { "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8" })
        entries.push_back({ name, name, "Only" });
    makeView(entries, true);
    auto first = view->positionForIconInCategoryWithIndex(0, 0);
    auto eighth = view->positionForIconInCategoryWithIndex(0, 7);
    EXPECT_EQ(eighth, gfx::Point(first.x, first.y + view->iconHeight()));
    auto at = centre(view->imageFrameForIconInCategoryWithIndex(0, 7));
    EXPECT_LE(pixelDistance(pixel(*shot("EightIcons"), at), colors["a8"]), 2) << "the eighth picture is drawn there";
}

// A category the view does not have is a range error for the drawing step too, and a column count is bounded where
// it enters: any count beyond the icons lays out as one row per category, however large.
TEST_F(PrefPaneIconViewTest, CategoriesBeyondTheListsAreRefusedAndColumnCountsBounded)
{
    makeView(ThreeCategories, true, 100);
    const auto oneRowEach = view->frame();
    {
        Canvas canvas(100, 100, true);
        for (long category : { 3L, 1000L, -1L }) {
            auto refused = raised([&] { view->drawBackgroundForCategoryWithIndex(category); });
            ASSERT_TRUE(refused) << category;
            EXPECT_EQ(refused->name(), fnd::ExceptionName::Range) << category;
        }
    }
    for (long columns : { LONG_MAX, LONG_MAX / 2 + 1, 1L << 40 }) {
        view->setColumns(columns);
        EXPECT_EQ(view->frame().height(), oneRowEach.height()) << columns;
        EXPECT_LE(view->frame().width(), 1e6) << columns;
        EXPECT_EQ(view->positionForIconInCategoryWithIndex(0, 7).y, view->positionForIconInCategoryWithIndex(0, 0).y)
            << columns;
    }
}

// Drawing, hit testing and the view's size follow one layout: every icon is drawn where a click finds it, inside
// its category's band below the caption, and the bands tile the view from top to bottom.
TEST_F(PrefPaneIconViewTest, DrawingHitTestingAndSizeShareOneLayout)
{
    makeView(ThreeCategories, true, 4);
    const auto& lists = view->iconListList();
    ASSERT_EQ(lists.size(), 3u);
    auto image = shot("Categories");
    double bandTop = 0;
    for (long k = 0; k < long(lists.size()); ++k) {
        auto band = view->frameForCategoryWithIndex(k);
        EXPECT_EQ(band.minY(), bandTop) << "band " << k;
        bandTop = band.maxY();
        for (long i = 0; i < long(lists[std::size_t(k)].size()); ++i) {
            const auto& icon = lists[std::size_t(k)][std::size_t(i)];
            auto id = icon->itemIdentifier().utf8();
            auto picture = view->imageFrameForIconInCategoryWithIndex(k, i);
            auto label = view->labelFrameForIconInCategoryWithIndex(k, i);
            EXPECT_TRUE(gfx::containsRect(band, picture) && gfx::containsRect(band, label)) << id;
            EXPECT_GE(picture.minY(), band.minY() + view->captionHeight()) << id;
            long foundCategory = -1, foundIndex = -1;
            EXPECT_EQ(view->iconAt(centre(picture), &foundCategory, &foundIndex), icon) << id;
            EXPECT_EQ(std::pair(foundCategory, foundIndex), std::pair(k, i)) << id;
            EXPECT_EQ(view->iconAt(centre(label)), icon) << id;
            EXPECT_LE(pixelDistance(pixel(*image, centre(picture)), colors[id]), 2) << id << " is drawn elsewhere";
        }
    }
    EXPECT_EQ(bandTop, view->frame().height()) << "the view ends with the last band";
}

TEST_F(PrefPaneIconViewTest, GroupsFollowTheSortOrderAndTitlesSortCaselessly)
{
    makeView(ThreeCategories, true, 4);
    auto order = [&] {
        std::vector<std::string> names;
        for (const auto& list : view->iconListList())
            names.push_back(list.front()->category().utf8());
        return names;
    };
    // Without an order (and without a controller) by category name; with one, the named groups first, then the
    // others in the order their first icons came.
    EXPECT_EQ(order(), (std::vector<std::string> { "Appearance", "Basics", "Files" }));
    view->setCategorySortOrder(std::vector<fnd::String> { "Files", "Nowhere" });
    EXPECT_EQ(order(), (std::vector<std::string> { "Files", "Basics", "Appearance" }));

    view->setSortByCategory(false);
    EXPECT_EQ(view->captionHeight(), 0);
    ASSERT_EQ(view->iconListList().size(), 1u);
    std::string titles;
    for (const auto& icon : view->iconListList().front())
        titles += icon->title().utf8() + ",";
    EXPECT_EQ(titles,
        "Bars,Colours,Export,Fonts and Captions,General,Guard Bars,Margins,PDF,Quiet Zones,Rulers,"
        "Software Updates,Units,");
}

// A list of icons with empty places holds the icons it has, whichever way it comes in (set, or given when the view is
// made): an empty place is no icon, as addIcon takes none. The icons there lay out, draw and answer clicks as before,
// and icons added later go on from them.
TEST_F(PrefPaneIconViewTest, EmptyPlacesInAListOfIconsAreNoIcons)
{
    makeView({ { "general", "General", "Basics" }, { "export", "Export", "Files" } }, true);
    const auto icons = view->icons();
    const auto frame = view->frame();
    view->setIcons({ nullptr, icons[0], nullptr, icons[1], nullptr });
    EXPECT_EQ(view->icons(), icons);
    EXPECT_EQ(view->frame(), frame);
    ASSERT_EQ(view->iconListList().size(), 2u);
    auto image = shot("EmptyPlaces");
    for (long k = 0; k < 2; ++k) {
        auto id = view->iconListList()[std::size_t(k)][0]->itemIdentifier().utf8();
        auto picture = centre(view->imageFrameForIconInCategoryWithIndex(k, 0));
        EXPECT_LE(pixelDistance(pixel(*image, picture), colors[id]), 2) << id;
        click(picture);
    }
    EXPECT_EQ(clicks->shown, (std::vector<std::string> { "general", "export" }));

    view->addIcon(nullptr);
    auto fonts = makeIcon({ "fonts", "Fonts", "Basics" }, 2);
    view->addIcon(fonts);
    EXPECT_EQ(view->icons(), (std::vector { icons[0], icons[1], fonts }));
    EXPECT_EQ(view->iconListList().front(), (std::vector { fonts, icons[0] })) << "Basics: Fonts, General";
    view->setIcons({ nullptr });
    EXPECT_TRUE(view->icons().empty());
    EXPECT_EQ(view->frame().height(), 11);

    auto made = ZORPrefPaneIconView::create(nullptr, { nullptr, icons[1], nullptr }, 7);
    EXPECT_EQ(made->icons(), (std::vector { icons[1] }));
    ASSERT_EQ(made->iconListList().size(), 1u);
    EXPECT_EQ(made->iconAt(centre(made->imageFrameForIconInCategoryWithIndex(0, 0))), icons[1]);
}

TEST_F(PrefPaneIconViewTest, TitlesWiderThanTheirColumnStayInsideTheViewAndApart)
{
    makeView({ { "a", "A", "" }, { "b", "Barcode Generator Defaults", "" }, { "c", "C", "" },
                 { "d", "Encodings and Character Sets", "" } },
        false, 2);
    for (long i = 0; i < 4; ++i) {
        auto label = view->labelFrameForIconInCategoryWithIndex(0, i);
        EXPECT_TRUE(label.minX() >= 0 && label.maxX() <= view->frame().width()) << i;
        if (i % 2 == 1) {
            EXPECT_LE(view->labelFrameForIconInCategoryWithIndex(0, i - 1).maxX(), label.minX()) << i;
        }
    }
    shot("LongTitles");
}

TEST_F(PrefPaneIconViewTest, OnlyAReleaseOnThePressedIconPerformsItsAction)
{
    makeView(ThreeCategories, true, 4);
    auto a = view->imageFrameForIconInCategoryWithIndex(0, 0);
    auto b = view->imageFrameForIconInCategoryWithIndex(0, 1);
    auto idA = view->iconListList()[0][0]->itemIdentifier().utf8();

    // A pressed icon is drawn darkened (each colour sample lowered by 77).
    backend->mouseDown(*window, view->convertPointToView(centre(a), nullptr));
    backend->dispatchEvents();
    EXPECT_EQ(view->selectedIcon(), view->iconListList()[0][0]);
    auto pressed = pixel(*shot("Pressed"), centre(a));
    for (int shift : { 0, 8, 16 })
        EXPECT_NEAR(int((pressed >> shift) & 0xFF), std::max(0, int((colors[idA] >> shift) & 0xFF) - 77), 2);

    backend->mouseUp(*window, view->convertPointToView(centre(b), nullptr));
    backend->dispatchEvents();
    EXPECT_TRUE(clicks->shown.empty());
    EXPECT_FALSE(view->selectedIcon());
    EXPECT_LE(pixelDistance(pixel(*shot("Released"), centre(a)), colors[idA]), 2) << "the highlight is cleared";

    click(centre(view->labelFrameForIconInCategoryWithIndex(0, 0)));
    click({ 2, 2 }); // nothing there
    EXPECT_EQ(clicks->shown, std::vector<std::string> { idA });
}

TEST_F(PrefPaneIconViewTest, DraggingAnIconOffersItsIdentifierToToolbars)
{
    makeView(ThreeCategories, true, 4);
    auto icon = view->iconListList()[1][0];
    auto start = view->convertPointToView(centre(view->imageFrameForIconInCategoryWithIndex(1, 0)), nullptr);
    backend->mouseDown(*window, start);
    backend->mouseDragged(*window, { start.x + 30, start.y - 40 });
    backend->mouseUp(*window, { start.x + 30, start.y - 40 });
    backend->dispatchEvents();

    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    EXPECT_EQ(pasteboard->stringForType("NSToolbarIndividualItemDragType"), icon->itemIdentifier());
    EXPECT_EQ(pasteboard->stringForType("NSToolbarItemIdentifierPboardType"), icon->itemIdentifier());
    EXPECT_FALSE(view->selectedIcon());
    EXPECT_TRUE(clicks->shown.empty()) << "a drag is no click";
}

// The icons may change while the mouse is held on one (a pane added, the grouping switched, the icons removed): a
// drag then takes the pressed icon from where it is now, or does not start when it has gone.
TEST_F(PrefPaneIconViewTest, ADragAfterTheIconsChangedUnderThePressTakesThePressedIconFromItsNewPlace)
{
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    auto press = [&](long category, long index) {
        auto at
            = view->convertPointToView(centre(view->imageFrameForIconInCategoryWithIndex(category, index)), nullptr);
        backend->mouseDown(*window, at);
        backend->dispatchEvents();
        return at;
    };
    auto drag = [&](gfx::Point from) {
        backend->mouseDragged(*window, { from.x + 30, from.y - 40 });
        backend->mouseUp(*window, { from.x + 30, from.y - 40 });
        backend->dispatchEvents();
    };

    // "Bars" leads "Appearance" (band 0) until "Axes" comes before it: it moves one column to the right. "PDF" is
    // the second icon of the last band ("Files") until the grouping goes: then it is the eighth of one list.
    struct Moved {
        const char* identifier;
        std::pair<long, long> before, after;
        std::function<void()> change;
    };
    const Moved moves[] = {
        { "bars", { 0, 0 }, { 0, 1 },
            [&] {
                view->addIcon(makeIcon({ "axes", "Axes", "Appearance" }, 20));
            } },
        { "pdf", { 2, 1 }, { 0, 7 }, [&] { view->setSortByCategory(false); } },
    };
    for (const auto& moved : moves) {
        makeView(ThreeCategories, true, 4);
        auto from = press(moved.before.first, moved.before.second);
        ASSERT_EQ(view->selectedIcon()->itemIdentifier(), fnd::String(moved.identifier));
        moved.change();
        drag(from);
        EXPECT_EQ(pasteboard->stringForType("NSToolbarItemIdentifierPboardType"), fnd::String(moved.identifier));
        // A drag pressed on the icon in its new place starts where the first one did.
        drag(press(moved.after.first, moved.after.second));
        ASSERT_EQ(view->dragsBegan.size(), 2u) << moved.identifier;
        EXPECT_EQ(view->dragsBegan[0], view->dragsBegan[1]) << moved.identifier;
    }

    // Gone: nothing is dragged and nothing stays pressed.
    makeView(ThreeCategories, true, 4);
    pasteboard->declareTypes({ "public.utf8-plain-text" });
    auto from = press(2, 1);
    view->removeAllIcons();
    EXPECT_FALSE(view->selectedIcon());
    drag(from);
    EXPECT_TRUE(view->dragsBegan.empty());
    EXPECT_FALSE(pasteboard->stringForType("NSToolbarItemIdentifierPboardType"));
    EXPECT_TRUE(clicks->shown.empty());
}

TEST_F(PrefPaneIconViewTest, IconsKeepAnUprightThirtyTwoPointCopyOfTheirImage)
{
    auto image = gfx::Image::imageWithSize({ 40, 20 }); // red over blue, y up
    image->lockFocus();
    gfx::Color::blueColor()->setFill();
    gfx::BezierPath::fillRect({ 0, 0, 40, 10 });
    gfx::Color::redColor()->setFill();
    gfx::BezierPath::fillRect({ 0, 10, 40, 10 });
    image->unlockFocus();

    makeView({}, false);
    auto icon = ZORPrefPaneIcon::create("upright", image, "Upright");
    EXPECT_EQ(icon->image()->size(), gfx::Size(32, 32));
    view->addIcon(icon);
    window->setContentSize(view->frame().size);
    auto frame = view->imageFrameForIconInCategoryWithIndex(0, 0);
    auto drawn = shot("Upright");
    EXPECT_LE(pixelDistance(pixel(*drawn, { frame.midX(), frame.minY() + 4 }), argb(255, 255, 0, 0)), 2);
    EXPECT_LE(pixelDistance(pixel(*drawn, { frame.midX(), frame.maxY() - 4 }), argb(255, 0, 0, 255)), 2);
}
