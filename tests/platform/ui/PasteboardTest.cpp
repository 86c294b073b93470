#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Backend.h"

#include <gtest/gtest.h>

namespace {

using fnd::String;
using ui::Pasteboard;

// Counts its calls and writes a fixed value for each type it is asked for.
class CountingOwner : public ui::PasteboardOwner {
public:
    void pasteboardProvideDataForType(Pasteboard& pasteboard, const String& type) override
    {
        ++provided;
        if (writes)
            pasteboard.setString(String("made for ") + type, type);
    }
    void pasteboardChangedOwner(Pasteboard&) override { ++lostOwnership; }

    int provided { 0 };
    int lostOwnership { 0 };
    bool writes { true };
};

TEST(Pasteboard, NamesGiveTheSameBoardUntilReleased)
{
    auto general = Pasteboard::generalPasteboard();
    EXPECT_EQ(general, Pasteboard::pasteboardWithName(ui::PasteboardName::General));
    auto unique1 = Pasteboard::pasteboardWithUniqueName();
    auto unique2 = Pasteboard::pasteboardWithUniqueName();
    EXPECT_NE(unique1->name(), unique2->name());
    EXPECT_NE(unique1->name(), general->name());

    auto named = Pasteboard::pasteboardWithName("TestBoard");
    named->declareTypes({ "T" });
    named->setString("kept", "T");
    EXPECT_EQ(Pasteboard::pasteboardWithName("TestBoard")->stringForType("T"), String("kept"));
    named->releaseGlobally();
    auto fresh = Pasteboard::pasteboardWithName("TestBoard");
    EXPECT_NE(fresh, named);
    EXPECT_TRUE(fresh->types().empty());
    EXPECT_NE(fresh->changeCount(), named->changeCount());
    fresh->releaseGlobally();
}

TEST(Pasteboard, ValuesReadBackInEveryForm)
{
    auto board = Pasteboard::pasteboardWithUniqueName();
    const fnd::Dictionary plist { { "name", String("Grüße") }, { "count", 3 } };
    board->declareTypes({ "text", "bytes", "plist", "notplist", "empty" });
    EXPECT_TRUE(board->setString("Grüße €", "text"));
    EXPECT_TRUE(board->setData(fnd::Data::fromString("\xff\xfe"), "bytes"));
    EXPECT_TRUE(board->setPropertyList(plist, "plist"));
    // An object is no property list: refused, the type stays empty.
    EXPECT_FALSE(board->setPropertyList(fnd::Value(std::make_shared<fnd::Object>()), "notplist"));
    // Writing an undeclared type is refused.
    EXPECT_FALSE(board->setString("x", "undeclared"));

    EXPECT_EQ(board->dataForType("text")->view(),
        "Gr\xc3\xbc\xc3\x9f"
        "e \xe2\x82\xac");
    EXPECT_EQ(board->stringForType("text"), String("Grüße €"));
    EXPECT_FALSE(board->stringForType("bytes").has_value()) << "invalid UTF-8 is not text";
    EXPECT_EQ(board->propertyListForType("plist"), fnd::Value(plist));
    // Property lists travel as their XML bytes and read back from them.
    auto xml = board->dataForType("plist");
    ASSERT_TRUE(xml.has_value());
    EXPECT_NE(xml->view().find("<plist"), std::string_view::npos);
    board->declareTypes({ "plist" });
    board->setData(*xml, "plist");
    EXPECT_EQ(board->propertyListForType("plist"), fnd::Value(plist));
    EXPECT_FALSE(board->dataForType("notplist").has_value());
    EXPECT_TRUE(board->propertyListForType("text").isNil());
}

TEST(Pasteboard, OwnerProvidesLazilyOnceAndLearnsOfTakeover)
{
    auto board = Pasteboard::pasteboardWithUniqueName();
    auto owner = std::make_shared<CountingOwner>();
    const long count = board->declareTypes({ "A", "B" }, owner);
    EXPECT_EQ(owner->provided, 0);
    EXPECT_EQ(board->availableTypeFromArray({ "C", "B", "A" }), String("B"));
    EXPECT_EQ(board->stringForType("B"), String("made for B"));
    EXPECT_EQ(board->stringForType("B"), String("made for B"));
    EXPECT_EQ(owner->provided, 1);

    // A type added by a second owner is asked of that owner.
    auto second = std::make_shared<CountingOwner>();
    EXPECT_EQ(board->addTypes({ "C" }, second), count);
    EXPECT_EQ(board->stringForType("C"), String("made for C"));
    EXPECT_EQ(second->provided, 1);
    EXPECT_EQ(owner->provided, 1);

    // An owner that writes nothing is asked once, and the type reads as empty.
    owner->writes = false;
    EXPECT_FALSE(board->dataForType("A").has_value());
    EXPECT_FALSE(board->dataForType("A").has_value());
    EXPECT_EQ(owner->provided, 2);

    EXPECT_GT(board->declareTypes({ "D" }), count);
    EXPECT_EQ(owner->lostOwnership, 1);
    EXPECT_EQ(second->lostOwnership, 1);
    EXPECT_EQ(board->types(), std::vector<String> { "D" });

    // An owner that went away leaves its promise empty rather than crashing the reader.
    auto gone = std::make_shared<CountingOwner>();
    board->declareTypes({ "E" }, gone);
    gone.reset();
    EXPECT_FALSE(board->stringForType("E").has_value());
}

TEST(Pasteboard, ItemsComeBackByIdentity)
{
    auto board = Pasteboard::pasteboardWithUniqueName();
    board->clearContents();
    auto first = fnd::makeObject<ui::PasteboardItem>();
    first->setStringForType("tab one", "org.example.tab");
    auto second = fnd::makeObject<ui::PasteboardItem>();
    second->setDataForType(fnd::Data::fromString("raw"), "org.example.raw");
    ASSERT_TRUE(board->writeObjects({ first, second }));
    EXPECT_FALSE(board->writeObjects({ nullptr }));

    ASSERT_EQ(board->pasteboardItems().size(), 2u);
    EXPECT_EQ(board->pasteboardItems()[0], first);
    EXPECT_EQ(board->pasteboardItems()[1], second);
    EXPECT_TRUE(board->canReadItemWithDataConformingToTypes({ "other", "org.example.raw" }));
    EXPECT_FALSE(board->canReadItemWithDataConformingToTypes({ "other" }));
    EXPECT_EQ(board->stringForType("org.example.tab"), String("tab one"));
    EXPECT_EQ(board->types(), (std::vector<String> { "org.example.tab", "org.example.raw" }));

    board->clearContents();
    EXPECT_TRUE(board->pasteboardItems().empty());
    EXPECT_FALSE(board->canReadItemWithDataConformingToTypes({ "org.example.tab" }));
}

// Notes which pasteboards the window system is told about.
class ClipboardRecorder : public ui::Backend {
public:
    std::vector<ScreenGeometry> screens() override { return { { { 0, 0, 100, 100 }, { 0, 0, 100, 100 }, 1 } }; }
    std::shared_ptr<gfx::WindowSurface> surfaceForWindow(ui::Window&) override { return nullptr; }
    void clipboardChanged(const String& name) override { changed.push_back(name.utf8()); }
    std::vector<std::string> changed;
};

TEST(Pasteboard, TheWindowSystemHearsOfEveryNewDeclaration)
{
    auto recorder = std::make_shared<ClipboardRecorder>();
    ui::Backend::install(recorder);
    auto general = Pasteboard::generalPasteboard();
    general->declareTypes({ ui::PasteboardType::PDF });
    general->setData(fnd::Data::fromString("%PDF"), ui::PasteboardType::PDF);
    general->addTypes({ ui::PasteboardType::String });
    general->clearContents();
    ui::Backend::install(nullptr);
    EXPECT_EQ(recorder->changed, (std::vector<std::string>(3, "NSGeneralPboard")));
}

}
