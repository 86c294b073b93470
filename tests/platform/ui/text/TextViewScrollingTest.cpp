#include "TextTestSupport.h"

#include "platform/graphics/Font.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/text/TextField.h"

using namespace texttest;

namespace {

class TextViewScrolling : public TextTest {
protected:
    // A text view of the clip view's width in a scroll view with a vertical scroller, made as an interface file
    // makes it: by class name, its frame set through key-value coding.
    std::shared_ptr<ui::TextView> scrollingTextView()
    {
        const char* xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="scroller" class="ScrollView">
    <rect key="frame" x="10" y="10" width="200" height="100"/>
    <bool key="hasVerticalScroller">true</bool>
    <integer key="borderType">2</integer>
    <object key="documentView" id="text" class="TextView">
      <rect key="frame" x="0" y="0" width="183" height="98"/>
      <size key="minSize" width="183" height="98"/>
      <size key="maxSize" width="183" height="10000000"/>
      <bool key="richText">false</bool>
      <font key="font" name="DejaVu Sans" size="12"/>
    </object>
  </object>
</interface>)";
        auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(xml));
        EXPECT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
        scrollView = std::dynamic_pointer_cast<ui::ScrollView>(loaded->objectsById.at("scroller"));
        add(scrollView);
        auto view = std::dynamic_pointer_cast<ui::TextView>(loaded->objectsById.at("text"));
        window->makeFirstResponder(view);
        return view;
    }

    std::shared_ptr<ui::ScrollView> scrollView;
};

TEST_F(TextViewScrolling, AScrollViewFromAnInterfaceFileShowsItsTextViewAtTheClipsWidth)
{
    auto view = scrollingTextView();
    ASSERT_TRUE(scrollView->contentView()) << "a scroll view made by class name has its clip view";
    EXPECT_EQ(scrollView->documentView(), view);
    EXPECT_EQ(scrollView->contentSize(), (gfx::Size { 183, 98 }));
    EXPECT_EQ(view->textContainer()->containerSize().width, 183) << "the container follows a frame set by key";

    view->setString("A line of words long enough to wrap a few times inside the narrow view.");
    auto manager = view->layoutManager();
    auto used = manager->usedRectForTextContainer(*view->textContainer());
    EXPECT_LE(used.width(), 183);
    EXPECT_GT(used.width(), 120) << "words, not single letters, on a line";
    EXPECT_LT(used.height(), 80);
}

TEST_F(TextViewScrolling, AFieldEditorInAScrolledFormKeepsTheFormWhereItIs)
{
    // A form taller than its scroll view, with a narrow field at the top: typing past the field's end scrolls the
    // field's own text, not the form.
    auto form = ui::View::create({ 0, 0, 183, 300 });
    auto field = ui::TextField::create({ 10, 250, 80, 22 });
    form->addSubview(field);
    auto scroll = ui::ScrollView::create({ 10, 10, 200, 100 });
    scroll->setHasVerticalScroller(true);
    scroll->setDocumentView(form);
    add(scroll);
    scroll->contentView()->scrollToPoint({ 0, 200 });
    const auto before = scroll->documentVisibleRect();
    ASSERT_TRUE(window->makeFirstResponder(field));
    type(u"a text much longer than the narrow field shows");
    EXPECT_EQ(scroll->documentVisibleRect(), before);
    EXPECT_GT(field->currentEditor()->bounds().minX(), 0) << "the editor scrolled its own text";
}

}
