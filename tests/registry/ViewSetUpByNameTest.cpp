#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"
#include "frameworks/ZORAppKit/text-views/ZORURLClickField.h"
#include "frameworks/small-date-control/ZORSmallDateControl.h"
#include "platform/graphics/Color.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/text/TextView.h"

// The set-up a class does for itself survives being made by name: an interface file's view gets its parts, its look
// and its frame, and then the file's keys change what they name and nothing else.
namespace {

class ViewSetUpByName : public uitest::KeyWindowTest {
protected:
    ViewSetUpByName()
        : KeyWindowTest({ 640, 480 })
    {
    }

    std::shared_ptr<ui::View> load(const std::string& objects)
    {
        auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(
            R"(<?xml version="1.0" encoding="UTF-8"?><interface version="1"><object id="content" class="View">)"
            R"(<rect key="frame" x="0" y="0" width="640" height="480"/><subviews>)"
            + objects + "</subviews></object></interface>"));
        EXPECT_TRUE(loaded) << (loaded ? "" : loaded.error().localizedDescription().utf8());
        if (!loaded)
            return nullptr;
        m_loaded = std::move(*loaded);
        auto content = std::dynamic_pointer_cast<ui::View>(m_loaded.objectsById.at("content"));
        window->setContentView(content);
        return content;
    }
    template <typename T> std::shared_ptr<T> object(const char* id)
    {
        return std::dynamic_pointer_cast<T>(m_loaded.objectsById.at(id));
    }

private:
    ui::InterfaceFile::Contents m_loaded;
};

TEST_F(ViewSetUpByName, TextViewsKeepTheFilesFrameOnceTheFileSetsTheirText)
{
    ASSERT_TRUE(load(R"(
      <object id="text" class="TextView"><rect key="frame" x="10" y="10" width="280" height="120"/>
        <string key="string">one line</string></object>
      <object id="link" class="URLTextView"><rect key="frame" x="300" y="10" width="280" height="120"/>
        <string key="string">https://example.org</string></object>
      <object id="inspector" class="ZORTextViewInspector"><rect key="frame" x="10" y="200" width="280" height="200"/>
        <string key="string">x</string></object>)"));
    for (const char* id : { "text", "link", "inspector" }) {
        auto view = object<ui::TextView>(id);
        ASSERT_NE(view, nullptr) << id;
        EXPECT_GE(view->frame().width(), 280) << id << " shrank below the file's frame";
        EXPECT_GE(view->frame().height(), 120) << id << " shrank below the file's frame";
    }
    auto inspector = object<ZORTextViewInspector>("inspector");
    EXPECT_EQ(std::dynamic_pointer_cast<ZORTextViewInspector>(inspector->delegate()), inspector)
        << "the inspector is its own delegate";
}

TEST_F(ViewSetUpByName, TheDateControlHasItsCellsAndTheLinkFieldItsLook)
{
    ASSERT_TRUE(load(R"(
      <object id="date" class="ZORSmallDateControl"><rect key="frame" x="10" y="10" width="90" height="22"/>
        <integer key="year">2024</integer></object>
      <object id="url" class="ZORURLClickField"><rect key="frame" x="10" y="60" width="200" height="22"/>
        <string key="stringValue">example.org</string></object>)"));
    auto date = object<ZORSmallDateControl>("date");
    for (long i = 0; i < 3; ++i)
        ASSERT_NE(date->cellAtIndex(i), nullptr) << "cell " << i;
    EXPECT_EQ(date->year(), 2024);

    auto url = object<ZORURLClickField>("url");
    EXPECT_FALSE(url->isBezeled());
    EXPECT_FALSE(url->isEditable());
    auto blue = gfx::Color::blueColor();
    EXPECT_TRUE(url->textColor() && url->textColor()->isEqual(*blue)) << "a link's text is blue";
}

TEST_F(ViewSetUpByName, TheCardFlowAndTheGridDrawWithoutAwakeFromNib)
{
    auto cards = ZORCardFlowView::create({ 10, 10, 300, 200 });
    auto grid = ZORTableGrid::create({ 320, 10, 300, 200 });
    add(cards);
    add(grid);
    auto image = snapshot("card-flow-and-grid-in-code");
    EXPECT_TRUE(cards->wantsLayer());
    EXPECT_LT(luminance(pixelIn(*image, *cards, { 150, 100 })), 30) << "the card flow's black body";
    // The grid's column header runs along its top, shaded apart from the window's background.
    auto inHeader = pixelIn(*image, *grid, { 150, 10 });
    EXPECT_NE(inHeader, pixelIn(*image, *window->contentView(), { 630, 470 })) << "the grid draws its header";
}

}
