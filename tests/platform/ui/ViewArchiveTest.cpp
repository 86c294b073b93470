#include "UiTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/Box.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/controls/ActionCell.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/Slider.h"
#include "platform/ui/text/TextField.h"
#include "support/KeyRecorder.h"

#include <fmt/format.h>

#include <random>

// Keyed archives of views: what a view and a control write, the tree they bring back (superviews, windows on
// insertion), containers that take back their parts, archives that are refused, and random trees that come back
// exactly.
namespace {

using fnd::KeyedArchiver;
using fnd::KeyedUnarchiver;
using testsupport::KeyRecorder;

fnd::Data viewArchiveOf(const std::shared_ptr<fnd::Object>& object)
{
    auto data = KeyedArchiver::archivedDataWithRootObject(fnd::Value(object));
    EXPECT_TRUE(data) << (data ? "" : data.error().localizedDescription().utf8());
    return data.value_or(fnd::Data {});
}

template <typename T> std::shared_ptr<T> viewArchiveDecoded(const fnd::Data& data)
{
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(data);
    EXPECT_TRUE(decoded) << (decoded ? "" : decoded.error().localizedDescription().utf8());
    return decoded ? decoded->objectAs<T>() : nullptr;
}

// An archive edited as a property list: the root object's entry goes through `change` before it is written back.
fnd::Data viewArchiveEdited(
    const fnd::Data& data, const std::function<void(fnd::Dictionary& root, fnd::Array& objects)>& change)
{
    auto plist = fnd::PropertyList::read(data);
    EXPECT_TRUE(plist);
    fnd::Dictionary archive = *plist->dictionary();
    fnd::Array objects = *archive.find("$objects")->array();
    auto index = archive.find("$top")->dictionary()->find("root")->dictionary()->find("$ref")->integerValue();
    fnd::Dictionary root = *objects[std::size_t(index)].dictionary();
    change(root, objects);
    objects[std::size_t(index)] = fnd::Value(root);
    archive.set("$objects", fnd::Value(objects));
    return *fnd::PropertyList::writeXML(fnd::Value(archive));
}

fnd::String viewArchiveFailure(const fnd::Data& data)
{
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(data);
    return decoded ? fnd::String() : decoded.error().localizedDescription();
}

class ViewArchiveTest : public uitest::UiTest { };

TEST_F(ViewArchiveTest, AViewAndAControlWriteTheirKeysInOrder)
{
    auto view = ui::View::create({ 1, 2, 30, 40 });
    view->setToolTip("tip");
    using Entry = KeyRecorder::Entry;
    EXPECT_EQ(KeyRecorder::keysOf(*view),
        (std::vector<Entry> { { "NSFrame", "rect" }, { "NSBounds", "rect" }, { "NSAutoresizingMask", "integer" },
            { "NSAutoresizesSubviews", "bool" }, { "NSHidden", "bool" }, { "NSToolTip", "object" },
            { "NSSubviews", "object" } }));
    auto button = ui::Button::create({ 0, 0, 80, 24 }, "OK");
    button->setTarget(view);
    button->setAction("save:");
    EXPECT_EQ(KeyRecorder::keyNamesOf(*button, 5),
        (std::vector<std::string> { "NSSubviews", "NSCell", "NSEnabled", "NSTag", "NSAction", "NSTarget" }));
    EXPECT_EQ(KeyRecorder::keysOf(*button).back(), (Entry { "NSTarget", "conditional object" }));
}

TEST_F(ViewArchiveTest, SubviewsComeBackWithTheirSuperviewAndTakeTheWindowTheyAreInsertedInto)
{
    auto root = ui::View::create({ 0, 0, 200, 100 });
    auto child = ui::View::create({ 10, 10, 50, 50 });
    auto grandchild = ui::View::create({ 5, 5, 10, 10 });
    child->addSubview(grandchild);
    root->addSubview(child);
    child->setHidden(true);
    child->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::MaxYMargin);
    root->setBoundsOrigin({ 3, 4 });

    auto decoded = viewArchiveDecoded<ui::View>(viewArchiveOf(root));
    ASSERT_NE(decoded, nullptr);
    ASSERT_EQ(decoded->subviews().size(), 1u);
    auto decodedChild = decoded->subviews()[0];
    EXPECT_EQ(decodedChild->superview(), decoded);
    EXPECT_EQ(decodedChild->nextResponder(), decoded) << "the responder chain follows the tree";
    ASSERT_EQ(decodedChild->subviews().size(), 1u);
    EXPECT_EQ(decodedChild->subviews()[0]->frame(), (gfx::Rect { 5, 5, 10, 10 }));
    EXPECT_TRUE(decodedChild->isHidden());
    EXPECT_EQ(decodedChild->autoresizingMask(), ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::MaxYMargin);
    EXPECT_EQ(decoded->bounds().origin, (gfx::Point { 3, 4 }));
    EXPECT_EQ(decodedChild->window(), nullptr) << "no window until the tree is inserted into one";

    auto window = ui::Window::create({ 0, 0, 300, 200 });
    window->contentView()->addSubview(decoded);
    EXPECT_EQ(decodedChild->subviews()[0]->window(), window);
}

TEST_F(ViewArchiveTest, AViewLaidOutBelowZeroComesBackWithItsNegativeSize)
{
    // A part laid out as "the width less 40 points" in a view made without a frame is -40 wide; its bounds follow.
    auto root = ui::View::create({ 0, 0, 0, 0 });
    auto part = ui::View::create({ 20, 0, 60, 19 });
    root->addSubview(part);
    part->setFrameSize({ root->bounds().width() - 40, 19 });
    ASSERT_EQ(part->bounds().size, (gfx::Size { -40, 19 }));

    auto decoded = viewArchiveDecoded<ui::View>(viewArchiveOf(root));
    ASSERT_NE(decoded, nullptr);
    ASSERT_EQ(decoded->subviews().size(), 1u);
    EXPECT_EQ(decoded->subviews()[0]->frame(), (gfx::Rect { 20, 0, -40, 19 }));
    EXPECT_EQ(decoded->subviews()[0]->bounds(), (gfx::Rect { 0, 0, -40, 19 }));
}

// A frame a vanishing fraction of a point tall holding bounds 15 tall keeps a scale of 1.5e301: resized to 15 by a
// layout, the bounds would be 15 * 15 / 1e-300 = 2.25e302 tall, which no archive holds. Past the coordinate range
// the bounds follow the frame one to one; an ordinary scale is still kept.
TEST_F(ViewArchiveTest, AResizeNeverScalesTheBoundsPastWhatAnArchiveHolds)
{
    auto vanishing = ui::View::create({ 0, 0, 10, 1e-300 });
    vanishing->setBounds({ 0, 0, 10, 15 });
    vanishing->setFrameSize({ 10, 15 });
    EXPECT_EQ(vanishing->bounds().size, (gfx::Size { 10, 15 }));
    auto decoded = viewArchiveDecoded<ui::View>(viewArchiveOf(vanishing));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->bounds().size, (gfx::Size { 10, 15 }));

    // Twice as many units as points across, half as many down: 30 x 5 at a frame of 15 x 10.
    auto zoomed = ui::View::create({ 0, 0, 10, 20 });
    zoomed->setBounds({ 0, 0, 20, 10 });
    zoomed->setFrameSize({ 15, 10 });
    EXPECT_EQ(zoomed->bounds().size, (gfx::Size { 30, 5 }));
}

TEST_F(ViewArchiveTest, AControlBringsBackItsCellAndItsTargetOnlyWhenTheTargetIsArchivedToo)
{
    auto container = ui::View::create({ 0, 0, 200, 100 });
    auto button = ui::Button::create({ 10, 10, 80, 24 }, "Save");
    button->setTag(7);
    button->setEnabled(false);
    button->setAction("save:");
    button->setTarget(container);
    container->addSubview(button);

    auto decoded = viewArchiveDecoded<ui::View>(viewArchiveOf(container));
    ASSERT_NE(decoded, nullptr);
    auto decodedButton = std::dynamic_pointer_cast<ui::Button>(decoded->subviews().at(0));
    ASSERT_NE(decodedButton, nullptr);
    EXPECT_EQ(decodedButton->title(), "Save");
    EXPECT_EQ(decodedButton->tag(), 7);
    EXPECT_FALSE(decodedButton->isEnabled());
    EXPECT_EQ(decodedButton->action(), fnd::Selector("save:"));
    EXPECT_EQ(decodedButton->target(), decoded) << "the target was archived with the tree";
    EXPECT_EQ(decodedButton->cell()->controlView(), decodedButton);

    auto alone = viewArchiveDecoded<ui::Button>(viewArchiveOf(button));
    ASSERT_NE(alone, nullptr);
    EXPECT_EQ(alone->target(), nullptr) << "a target outside the archive is not dragged in";
    EXPECT_EQ(alone->action(), fnd::Selector("save:"));
}

TEST_F(ViewArchiveTest, ContainersTakeBackTheirOwnParts)
{
    auto scroll = ui::ScrollView::create({ 0, 0, 200, 150 });
    scroll->setHasVerticalScroller(true);
    scroll->setBorderType(ui::BorderType::BezelBorder);
    auto document = ui::View::create({ 0, 0, 400, 600 });
    scroll->setDocumentView(document);
    scroll->contentView()->scrollToPoint({ 0, 100 });
    auto box = ui::Box::create({ 0, 0, 200, 150 });
    box->setTitle("Options");
    box->contentView()->addSubview(scroll);

    auto decoded = viewArchiveDecoded<ui::Box>(viewArchiveOf(box));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->title(), "Options");
    ASSERT_EQ(decoded->contentView()->superview(), decoded);
    auto decodedScroll = std::dynamic_pointer_cast<ui::ScrollView>(decoded->contentView()->subviews().at(0));
    ASSERT_NE(decodedScroll, nullptr);
    EXPECT_EQ(decodedScroll->contentView()->superview(), decodedScroll);
    EXPECT_EQ(decodedScroll->verticalScroller()->superview(), decodedScroll);
    EXPECT_EQ(decodedScroll->verticalScroller()->target(), decodedScroll);
    EXPECT_EQ(decodedScroll->borderType(), ui::BorderType::BezelBorder);
    auto decodedDocument = decodedScroll->documentView();
    ASSERT_NE(decodedDocument, nullptr);
    EXPECT_EQ(decodedDocument->superview(), decodedScroll->contentView());
    EXPECT_EQ(decodedDocument->frame(), (gfx::Rect { 0, 0, 400, 600 }));
    EXPECT_EQ(decodedScroll->contentView()->bounds().origin, scroll->contentView()->bounds().origin)
        << "the scroll position";
    // Exactly the parts: nothing left over from the set-up the decoding ran first.
    EXPECT_EQ(decodedScroll->subviews().size(), scroll->subviews().size());
    EXPECT_EQ(decoded->subviews().size(), box->subviews().size());
}

TEST_F(ViewArchiveTest, DamagedArchivesAreRefusedWithAnErrorAndNothingHalfMade)
{
    auto tree = ui::View::create({ 0, 0, 100, 100 });
    tree->addSubview(ui::Button::create({ 0, 0, 50, 20 }, "A"));
    const auto good = viewArchiveOf(tree);
    struct Case {
        const char* what;
        std::function<void(fnd::Dictionary&, fnd::Array&)> change;
        const char* expected;
    };
    const Case cases[] = {
        { "a frame that is not finite",
            [](fnd::Dictionary& root, fnd::Array&) {
                root.set("NSFrame", fnd::Value(fnd::Dictionary { { "$rect", fnd::Array { 0, 0, 1e300 * 10, 5 } } }));
            },
            "frame" },
        { "a frame beyond any screen",
            [](fnd::Dictionary& root, fnd::Array&) {
                root.set("NSFrame", fnd::Value(fnd::Dictionary { { "$rect", fnd::Array { 0, 0, 1e11, 5 } } }));
            },
            "frame" },
        { "subviews that are not a list",
            [](fnd::Dictionary& root, fnd::Array&) { root.set("NSSubviews", fnd::Value(fnd::String("no"))); },
            "not an array" },
        { "a subview that is a string",
            [](fnd::Dictionary& root, fnd::Array&) {
                root.set("NSSubviews", fnd::Value(fnd::Dictionary { { "$array", fnd::Array { fnd::String("x") } } }));
            },
            "not a View" },
        { "a view that is its own subview",
            [](fnd::Dictionary& root, fnd::Array&) {
                root.set("NSSubviews",
                    fnd::Value(fnd::Dictionary {
                        { "$array", fnd::Array { fnd::Value(fnd::Dictionary { { "$ref", 0 } }) } } }));
            },
            "" },
        { "an autoresizing mask with unknown bits",
            [](fnd::Dictionary& root, fnd::Array&) { root.set("NSAutoresizingMask", fnd::Value(1024)); }, "mask" },
    };
    for (const auto& c : cases) {
        auto damaged = viewArchiveEdited(good, c.change);
        auto failure = viewArchiveFailure(damaged);
        EXPECT_FALSE(failure.isEmpty()) << c.what << " was accepted";
        EXPECT_NE(failure.utf8().find(c.expected), std::string::npos) << c.what << ": " << failure.utf8();
    }

    // A control whose cell is of a kind it does not make: its own code would take the cell for what it is not. Its
    // setter refuses one as its decoder does, and neither takes a bare ActionCell.
    auto slider = ui::Slider::create({ 0, 0, 100, 20 });
    EXPECT_THROW(slider->setCell(fnd::makeObject<ui::ButtonCell>()), fnd::Exception);
    EXPECT_THROW(slider->setCell(fnd::makeObject<ui::ActionCell>()), fnd::Exception);
    auto xml = viewArchiveEdited(viewArchiveOf(slider), [](fnd::Dictionary&, fnd::Array&) {});
    std::string text(reinterpret_cast<const char*>(xml.bytes()), xml.length());
    const std::string sliderCell = "<string>SliderCell</string>";
    ASSERT_NE(text.find(sliderCell), std::string::npos);
    text.replace(text.find(sliderCell), sliderCell.size(), "<string>ButtonCell</string>");
    auto failure = viewArchiveFailure(fnd::Data(text.data(), text.size()));
    EXPECT_NE(failure.utf8().find("not a SliderCell"), std::string::npos) << failure.utf8();

    // A pop-up of two items whose selection is not one of them: -1 (none) and 1 come back, 2 and the largest
    // index are refused.
    auto popUp = ui::PopUpButton::create({ 0, 0, 100, 20 });
    popUp->addItemWithTitle("A");
    popUp->addItemWithTitle("B");
    for (std::int64_t index : { std::int64_t(-1), std::int64_t(1), std::int64_t(2), INT64_MAX }) {
        auto edited = viewArchiveEdited(viewArchiveOf(popUp), [&](fnd::Dictionary&, fnd::Array& objects) {
            for (auto& entry : objects)
                if (auto* cell = entry.dictionary(); cell && cell->contains("SelectedIndex")) {
                    fnd::Dictionary changed = *cell;
                    changed.set("SelectedIndex", fnd::Value(static_cast<long long>(index)));
                    entry = fnd::Value(changed);
                }
        });
        failure = viewArchiveFailure(edited);
        if (index == -1 || index == 1)
            EXPECT_TRUE(failure.isEmpty()) << index << ": " << failure.utf8();
        else
            EXPECT_NE(failure.utf8().find("selected item"), std::string::npos) << index << ": " << failure.utf8();
    }
}

TEST_F(ViewArchiveTest, ATabViewItemShowingAViewThatHoldsTheTabViewIsRefused)
{
    // Once shown, such a view would have to go inside itself: resizing recursed until adding it raised.
    auto outer = ui::View::create({ 0, 0, 200, 150 });
    auto tabs = ui::TabView::create({ 0, 0, 200, 150 });
    outer->addSubview(tabs);
    auto item = ui::TabViewItem::create(fnd::Value(fnd::String("one")));
    item->setLabel("One");
    item->setView(ui::View::create({ 0, 0, 10, 10 }));
    tabs->addTabViewItem(item);
    tabs->selectTabViewItem(item);
    const auto good = viewArchiveOf(outer);
    ASSERT_NE(viewArchiveDecoded<ui::View>(good), nullptr);

    const auto plist = fnd::PropertyList::read(good);
    const fnd::Value rootReference = *plist->dictionary()->find("$top")->dictionary()->find("root");
    auto damaged = viewArchiveEdited(good, [&](fnd::Dictionary&, fnd::Array& objects) {
        for (auto& object : objects)
            if (auto* entry = object.dictionary(); entry && entry->find("NSLabel")) {
                fnd::Dictionary edited = *entry;
                edited.set("NSView", rootReference);
                object = fnd::Value(edited);
            }
    });
    EXPECT_FALSE(viewArchiveFailure(damaged).isEmpty()) << "the outer view accepted inside its own tab view";

    // Reached first as the outer view's subview, an item showing the very tab view that holds it: whatever else is
    // wrong with the archive, the item and the tab view held each other and the whole tree leaked.
    auto itself = viewArchiveEdited(good, [&](fnd::Dictionary& root, fnd::Array& objects) {
        fnd::Dictionary tabViewReference = *rootReference.dictionary(), itemReference = tabViewReference;
        for (std::size_t i = 0; i < objects.size(); ++i) {
            if (auto* entry = objects[i].dictionary(); entry && entry->find("NSTabViewItems"))
                tabViewReference.set("$ref", fnd::Value(static_cast<long long>(i)));
            else if (entry && entry->find("NSLabel"))
                itemReference.set("$ref", fnd::Value(static_cast<long long>(i)));
        }
        for (auto& object : objects)
            if (auto* entry = object.dictionary(); entry && entry->find("NSLabel")) {
                fnd::Dictionary edited = *entry;
                edited.set("NSView", fnd::Value(tabViewReference));
                object = fnd::Value(edited);
            }
        fnd::Dictionary subviews = *root.find("NSSubviews")->dictionary();
        const fnd::String arrayKey = subviews.begin()->first;
        subviews.set(arrayKey, fnd::Value(fnd::Array { fnd::Value(itemReference) }));
        root.set("NSSubviews", fnd::Value(subviews));
    });
    EXPECT_FALSE(viewArchiveFailure(itself).isEmpty());
}

TEST_F(ViewArchiveTest, ATabViewReadNamingAnItemTwiceKnowsItByItsFirstPlace)
{
    auto tabs = ui::TabView::create({ 0, 0, 200, 150 });
    for (int i = 0; i < 12; ++i) {
        auto item = ui::TabViewItem::create(fnd::Value(fnd::String("tab" + std::to_string(i))));
        item->setLabel(fnd::String("Tab " + std::to_string(i)));
        tabs->addTabViewItem(item);
    }
    // The sixth entry names the first item again.
    auto twice = viewArchiveEdited(viewArchiveOf(tabs), [](fnd::Dictionary& root, fnd::Array&) {
        fnd::Dictionary items = *root.find("NSTabViewItems")->dictionary();
        const fnd::String arrayKey = items.begin()->first;
        fnd::Array entries = *items.begin()->second.array();
        entries[5] = entries[0];
        items.set(arrayKey, fnd::Value(entries));
        root.set("NSTabViewItems", fnd::Value(items));
    });
    auto decoded = viewArchiveDecoded<ui::TabView>(twice);
    ASSERT_NE(decoded, nullptr);
    auto first = decoded->tabViewItemAtIndex(0);
    ASSERT_EQ(decoded->tabViewItemAtIndex(5), first);
    EXPECT_EQ(decoded->indexOfTabViewItem(*first), 0);
    // Closed beside its second place: still its first.
    decoded->removeTabViewItem(decoded->tabViewItemAtIndex(6));
    EXPECT_EQ(decoded->indexOfTabViewItem(*first), 0);
    for (int lookup = 0; lookup < 8; ++lookup)
        EXPECT_EQ(decoded->indexOfTabViewItem(*decoded->tabViewItemAtIndex(6)), 6) << "lookup " << lookup;
}

TEST_F(ViewArchiveTest, DeepTreesAreRefusedPastTheNestingLimitWithoutExhaustingTheStack)
{
    // Written by hand: the archiver itself refuses to write such a tree.
    auto chain = [](int depth) {
        fnd::Array objects;
        for (int i = 0; i < depth; ++i) {
            fnd::Dictionary entry { { "$class", fnd::Value(0) },
                { "NSFrame", fnd::Value(fnd::Dictionary { { "$rect", fnd::Array { 0, 0, 10, 10 } } }) } };
            if (i + 1 < depth)
                entry.set("NSSubviews",
                    fnd::Value(fnd::Dictionary {
                        { "$array", fnd::Array { fnd::Value(fnd::Dictionary { { "$ref", i + 1 } }) } } }));
            objects.emplace_back(entry);
        }
        fnd::Dictionary archive { { "$format", fnd::Value(fnd::String("fnd.keyed-archive")) },
            { "$formatVersion", fnd::Value(1) },
            { "$top", fnd::Value(fnd::Dictionary { { "root", fnd::Value(fnd::Dictionary { { "$ref", 0 } }) } }) },
            { "$objects", fnd::Value(objects) },
            { "$classes",
                fnd::Value(fnd::Array { fnd::Value(fnd::Dictionary {
                    { "hierarchy", fnd::Value(fnd::Array { fnd::String("View"), fnd::String("NSObject") }) },
                    { "versions", fnd::Value(fnd::Array { 0, 0 }) } }) }) } };
        return *fnd::PropertyList::writeXML(fnd::Value(archive));
    };
    // Views may nest 128 deep; past that, or past the archive's own limit of 512 objects, decoding fails.
    for (int tooDeep : { 129, 600 }) {
        auto failure = viewArchiveFailure(chain(tooDeep));
        EXPECT_NE(failure.utf8().find("views are nested more than 128 deep"), std::string::npos) << failure.utf8();
    }
    auto deep = viewArchiveDecoded<ui::View>(chain(128));
    ASSERT_NE(deep, nullptr) << "a deep tree within the limit";
    int depth = 1;
    auto innermost = deep;
    for (; !innermost->subviews().empty(); innermost = innermost->subviews()[0])
        ++depth;
    EXPECT_EQ(depth, 128);

    // The archiver refuses what could not be read back.
    EXPECT_TRUE(fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(deep)));
    innermost->addSubview(ui::View::create({ 0, 0, 10, 10 }));
    auto refused = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(deep));
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().localizedDescription().utf8().find("nested more than 128"), std::string::npos);
}

// Random trees: nesting, hidden views, tool tips, controls with cells and images.
class RandomViewTree {
public:
    explicit RandomViewTree(unsigned seed)
        : m_random(seed)
    {
    }

    std::shared_ptr<ui::View> make(int depth)
    {
        gfx::Rect frame { double(pick(0, 40)), double(pick(0, 40)), double(pick(20, 160)), double(pick(16, 120)) };
        std::shared_ptr<ui::View> view;
        switch (pick(0, depth > 0 ? 5 : 3)) {
        case 0: {
            auto button = ui::Button::create(frame, fnd::String(fmt::format("B{}", pick(0, 99))));
            if (pick(0, 2) == 0)
                button->setImage(image());
            button->setTag(pick(0, 9));
            view = button;
            break;
        }
        case 1: {
            auto imageView = ui::ImageView::create(frame);
            imageView->setImage(image());
            view = imageView;
            break;
        }
        case 2: {
            auto field = ui::TextField::create(frame);
            field->setStringValue(fnd::String(fmt::format("text {}", pick(0, 999))));
            field->setEnabled(pick(0, 3) != 0);
            view = field;
            break;
        }
        case 3:
            view = ui::Slider::create(frame);
            break;
        case 4: {
            auto box = ui::Box::create(frame);
            box->setTitle(fnd::String(fmt::format("Box {}", pick(0, 9))));
            for (int i = pick(0, 3); i > 0; --i)
                box->contentView()->addSubview(make(depth - 1));
            view = box;
            break;
        }
        default: {
            view = ui::View::create(frame);
            for (int i = pick(0, 4); i > 0; --i)
                view->addSubview(make(depth - 1));
        }
        }
        view->setHidden(pick(0, 5) == 0);
        if (pick(0, 3) == 0)
            view->setToolTip(fnd::String(fmt::format("tip {}", pick(0, 99))));
        view->setAutoresizingMask(unsigned(pick(0, 63)));
        return view;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    std::shared_ptr<gfx::Image> image()
    {
        auto bitmap = gfx::BitmapImageRep::create(8, 8, gfx::BitmapLayout::ARGB32Premultiplied);
        auto pixels = bitmap->pixelBuffer();
        const std::uint32_t colour = 0xff000000u | std::uint32_t(pick(0, 0xffffff));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                pixels.row(y)[x] = (x + y) % 2 ? colour : 0xffffffffu;
        return gfx::Image::imageWithRepresentation(bitmap);
    }

    std::mt19937 m_random;
};

void expectSameTree(const ui::View& a, const ui::View& b, const std::string& path)
{
    ASSERT_EQ(a.className(), b.className()) << path;
    EXPECT_EQ(a.frame(), b.frame()) << path;
    EXPECT_EQ(a.bounds(), b.bounds()) << path;
    EXPECT_EQ(a.isHidden(), b.isHidden()) << path;
    EXPECT_EQ(a.toolTip(), b.toolTip()) << path;
    EXPECT_EQ(a.autoresizingMask(), b.autoresizingMask()) << path;
    EXPECT_EQ(a.tag(), b.tag()) << path;
    if (auto control = dynamic_cast<const ui::Control*>(&a)) {
        auto other = dynamic_cast<const ui::Control*>(&b);
        EXPECT_EQ(control->stringValue(), other->stringValue()) << path;
        EXPECT_EQ(control->isEnabled(), other->isEnabled()) << path;
    }
    ASSERT_EQ(a.subviews().size(), b.subviews().size()) << path;
    for (std::size_t i = 0; i < a.subviews().size(); ++i) {
        EXPECT_EQ(b.subviews()[i]->superview().get(), &b) << path;
        expectSameTree(*a.subviews()[i], *b.subviews()[i], path + "/" + std::to_string(i));
    }
}

TEST_F(ViewArchiveTest, RandomTreesComeBackExactly)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(fmt::format("seed {}", seed));
        RandomViewTree random(seed);
        auto root = ui::View::create({ 0, 0, 300, 200 });
        for (int i = 0; i < 3; ++i)
            root->addSubview(random.make(3));
        auto first = viewArchiveOf(root);
        auto decoded = viewArchiveDecoded<ui::View>(first);
        ASSERT_NE(decoded, nullptr);
        expectSameTree(*root, *decoded, "root");
        EXPECT_TRUE(viewArchiveOf(decoded) == first) << "the second archive differs";

        std::shared_ptr<gfx::BitmapImageRep> pictures[2];
        int i = 0;
        for (const auto& tree : { root, decoded }) {
            auto window = ui::Window::create({ 100, 100, 300, 200 });
            window->setContentView(tree);
            window->makeKeyAndOrderFront();
            pictures[i++] = backend->imageOfWindow(*window);
            window->close();
        }
        EXPECT_EQ(pictures[0]->pixelBuffer().width, pictures[1]->pixelBuffer().width);
        long differing = 0;
        for (int y = 0; y < pictures[0]->pixelBuffer().height; ++y)
            for (int x = 0; x < pictures[0]->pixelBuffer().width; ++x)
                differing += pictures[0]->pixelBuffer().pixel(x, y) != pictures[1]->pixelBuffer().pixel(x, y);
        EXPECT_EQ(differing, 0) << "the decoded tree draws otherwise";
    }
}

}
