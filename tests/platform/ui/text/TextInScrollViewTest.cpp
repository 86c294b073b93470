#include "TextTestSupport.h"

#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/RulerView.h"
#include "platform/ui/containers/ScrollView.h"

using namespace ui;
using namespace texttest;

namespace {

class TextInScrollView : public TextTest {
protected:
    TextInScrollView()
    {
        scrollView = ScrollView::create({ 20, 20, 300, 120 });
        scrollView->setHasVerticalScroller(true);
        auto size = scrollView->contentSize();
        view = TextView::create({ 0, 0, size.width, size.height });
        view->setRichText(false);
        scrollView->setDocumentView(view);
        add(scrollView);
        window->makeFirstResponder(view);
    }
    double scrolled() const { return scrollView->contentView()->bounds().minY(); }

    std::shared_ptr<ScrollView> scrollView;
    std::shared_ptr<TextView> view;
};

}

TEST_F(TextInScrollView, TypingKeepsTheCaretInSightAndTheViewGrowsWithItsText)
{
    for (int i = 0; i < 20; ++i) {
        type(u"line");
        key(u'\r', KeyCode::Return);
    }
    EXPECT_GT(view->frame().height(), scrollView->contentSize().height) << "the view grew with its lines";
    EXPECT_GT(scrolled(), 0);
    auto caret = view->insertionPointRect();
    auto visible = scrollView->documentVisibleRect();
    EXPECT_TRUE(gfx::containsRect(visible, caret)) << "the caret is in sight";
    key(FunctionKey::Home, KeyCode::Home, ModifierFlags::Command);
    EXPECT_DOUBLE_EQ(scrolled(), 0) << "back at the top";
    // Centring the selection puts its line in the middle of the clip view.
    view->setSelectedRange({ 5 * 10, 0 });
    view->centerSelectionInVisibleArea({});
    auto middle = view->insertionPointRect().midY();
    EXPECT_NEAR(middle - scrolled(), scrollView->contentSize().height / 2, 1);
}

TEST_F(TextInScrollView, DraggingBelowTheViewScrollsAndExtendsTheSelection)
{
    std::u16string text;
    for (int i = 0; i < 30; ++i)
        text += u"a line of text\n";
    view->setString(fnd::String(text));
    press(*view, pointOfCharacter(*view, 2));
    // Below the scroll view, held there while time passes: the clip view keeps scrolling.
    auto below = view->convertPointFromView(scrollView->convertPointToView({ 100, 150 }, nullptr), nullptr);
    drag(*view, below);
    backend->after(0.35, [&] { release(*view, below); });
    dispatch();
    EXPECT_GT(scrolled(), 0);
    EXPECT_EQ(view->selectedRange().location, 2);
    EXPECT_GT(view->selectedRange().length, 15 * 7) << "the selection grew as the view scrolled";
}

TEST_F(TextInScrollView, ARulerSlotsIntoTheScrollViewAndFollowsItsScrolling)
{
    auto ruler = RulerView::create(scrollView, RulerOrientation::Vertical);
    ruler->setClientView(view);
    scrollView->setVerticalRulerView(ruler);
    scrollView->setHasVerticalRuler(true);
    scrollView->setRulersVisible(true);
    EXPECT_DOUBLE_EQ(ruler->frame().width(), ruler->requiredThickness());
    double contentWidth = scrollView->contentView()->frame().width();
    ruler->setRuleThickness(30);
    EXPECT_DOUBLE_EQ(ruler->frame().width(), 45);
    EXPECT_DOUBLE_EQ(scrollView->contentView()->frame().width(), contentWidth - 14) << "the scroll view tiled again";
    std::u16string text;
    for (int i = 0; i < 30; ++i)
        text += u"line\n";
    view->setString(fnd::String(text));
    EXPECT_DOUBLE_EQ(ruler->rulerLocationForClientLocation(100), 100);
    scrollView->contentView()->scrollToPoint({ 0, 60 });
    EXPECT_DOUBLE_EQ(ruler->rulerLocationForClientLocation(100), 40) << "the client's location moved up by the scroll";
    EXPECT_TRUE(ruler->needsDisplay());
}
