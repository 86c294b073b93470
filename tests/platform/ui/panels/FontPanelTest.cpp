#include "PanelsTestSupport.h"

#include "platform/graphics/FontManager.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/panels/FontPanel.h"
#include "platform/ui/panels/detail/ChoiceListView.h"
#include "platform/ui/text/TextField.h"

#include <algorithm>

using namespace ui;
using panelstest::PanelsTest;

namespace {

// Holds a font and converts it when the panel says, as a text view converts the fonts of its selection.
class FontHolder : public fnd::Object {
    FND_OBJECT(FontHolder)
    static void describeClass(fnd::ClassBuilder<FontHolder>& c);

public:
    void changeFont(const fnd::Value&)
    {
        font = gfx::FontManager::shared().convertFont(font);
        ++changes;
    }
    fnd::Value validModesForFontPanel(const fnd::Value&) { return static_cast<long long>(modes); }

    std::shared_ptr<gfx::Font> font = gfx::Font::fontWithName("DejaVu Sans", 12);
    int changes { 0 };
    unsigned modes { FontPanelModeMask::Face | FontPanelModeMask::Size | FontPanelModeMask::Collection };
};
FND_REGISTER_CLASS(FontHolder, fnd::Object)
void FontHolder::describeClass(fnd::ClassBuilder<FontHolder>& c)
{
    c.action("changeFont:", &FontHolder::changeFont);
    c.action("validModesForFontPanel:", &FontHolder::validModesForFontPanel);
}

class FontPanelTest : public PanelsTest {
protected:
    FontPanelTest()
    {
        auto& manager = gfx::FontManager::shared();
        manager.setTarget(holder);
        manager.setAction("changeFont:");
        manager.setSelectedFont(holder->font, false);
        panel = FontPanel::sharedFontPanel();
        panel->orderFrontFontPanel({});
    }
    ~FontPanelTest() override { gfx::FontManager::shared().setTarget(nullptr); }
    void clickRow(detail::ChoiceListView& list, long row)
    {
        list.scrollRectToVisible(list.rectOfRow(row));
        auto r = list.rectOfRow(row);
        backend->click(*panel, at(list, { 20, r.midY() }));
        dispatch();
    }
    long rowOf(const detail::ChoiceListView& list, const char* title) const
    {
        return list.rowOfTitle(fnd::String(title));
    }

    std::shared_ptr<FontHolder> holder = fnd::makeObject<FontHolder>();
    std::shared_ptr<FontPanel> panel;
};

}

TEST_F(FontPanelTest, ChoicesReachTheTargetWhichConvertsItsFont)
{
    auto& sizes = *panel->sizeList();
    clickRow(sizes, rowOf(sizes, "24"));
    EXPECT_EQ(holder->changes, 1);
    EXPECT_EQ(holder->font->pointSize(), 24);
    EXPECT_EQ(holder->font->familyName().utf8(), "DejaVu Sans") << "a size keeps the family";

    auto& families = *panel->familyList();
    long serif = rowOf(families, "DejaVu Serif");
    ASSERT_GE(serif, 0);
    clickRow(families, serif);
    EXPECT_EQ(holder->font->familyName().utf8(), "DejaVu Serif");
    EXPECT_EQ(holder->font->pointSize(), 24) << "a family keeps the size";

    auto& faces = *panel->faceList();
    auto names = panel->facePostScriptNames();
    auto bold = std::ranges::find_if(names, [](const fnd::String& n) { return n.utf8() == "DejaVuSerif-Bold"; });
    ASSERT_NE(bold, names.end());
    clickRow(faces, long(bold - names.begin()));
    EXPECT_EQ(holder->font->fontName().utf8(), "DejaVuSerif-Bold");
    EXPECT_EQ(holder->font->pointSize(), 24);
    EXPECT_EQ(panel->sizeField()->stringValue().utf8(), "24");

    // A size typed into the field; nonsense is refused.
    panel->sizeField()->setStringValue("17.5");
    panel->sizeFieldChanged({});
    EXPECT_EQ(holder->font->pointSize(), 17.5);
    int before = holder->changes;
    panel->sizeField()->setStringValue("big");
    panel->sizeFieldChanged({});
    EXPECT_EQ(holder->changes, before);
    EXPECT_EQ(panel->sizeField()->stringValue().utf8(), "17.5");
}

TEST_F(FontPanelTest, ThePanelFollowsTheSelectedFont)
{
    auto& manager = gfx::FontManager::shared();
    manager.setSelectedFont(gfx::Font::fontWithName("DejaVuSerif-Bold", 18), false);
    auto& families = *panel->familyList();
    ASSERT_GE(families.selectedRow(), 0);
    EXPECT_EQ(families.titles()[std::size_t(families.selectedRow())].utf8(), "DejaVu Serif");
    ASSERT_GE(panel->faceList()->selectedRow(), 0);
    EXPECT_EQ(panel->facePostScriptNames()[std::size_t(panel->faceList()->selectedRow())].utf8(), "DejaVuSerif-Bold");
    EXPECT_EQ(panel->sizeField()->stringValue().utf8(), "18");
    EXPECT_EQ(panel->sizeList()->selectedRow(), panel->sizeList()->rowOfTitle("18"));
    // Several fonts: no face or size stands for all.
    manager.setSelectedFont(gfx::Font::fontWithName("DejaVu Sans", 12), true);
    EXPECT_EQ(panel->faceList()->selectedRow(), -1);
    EXPECT_TRUE(panel->sizeField()->stringValue().isEmpty());
    snapshot(*panel, "font-panel");
}

TEST_F(FontPanelTest, TheModesMaskChoosesTheColumns)
{
    EXPECT_EQ(panel->validModes(), 7u);
    EXPECT_FALSE(panel->familyList()->enclosingScrollView()->isHidden());
    holder->modes = FontPanelModeMask::Size;
    panel->orderFrontFontPanel({});
    EXPECT_TRUE(panel->familyList()->enclosingScrollView()->isHidden());
    EXPECT_TRUE(panel->faceList()->enclosingScrollView()->isHidden());
    EXPECT_FALSE(panel->sizeField()->isHidden());
    // Nobody answering: the standard modes.
    gfx::FontManager::shared().setTarget(nullptr);
    panel->reloadValidModes();
    EXPECT_EQ(panel->validModes(), FontPanelModeMask::Standard);
}

TEST_F(FontPanelTest, AFamilyChoiceKeepsTheFacesTraits)
{
    holder->font = gfx::Font::fontWithName("DejaVuSans-Bold", 14);
    gfx::FontManager::shared().setSelectedFont(holder->font, false);
    auto& families = *panel->familyList();
    clickRow(families, rowOf(families, "DejaVu Serif"));
    EXPECT_EQ(holder->font->fontName().utf8(), "DejaVuSerif-Bold");
    EXPECT_EQ(holder->font->pointSize(), 14);
    // The faces listed are the new family's.
    EXPECT_TRUE(std::ranges::all_of(
        panel->facePostScriptNames(), [](const fnd::String& n) { return n.hasPrefix("DejaVuSerif"); }));
}
