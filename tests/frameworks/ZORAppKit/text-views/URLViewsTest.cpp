#include "platform/ui/UiTestSupport.h"

#include "frameworks/ZORAppKit/text-views/URLTextView.h"
#include "frameworks/ZORAppKit/text-views/ZORURLClickField.h"

#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/views/Cursor.h"

namespace {

class URLViewsTest : public uitest::KeyWindowTest {
protected:
    URLViewsTest()
        : KeyWindowTest({ 300, 200 })
    {
        previous = fnd::Workspace::sharedWorkspace().setOpener([this](const fnd::String& uri) -> fnd::Expected<void> {
            opened.push_back(uri.utf8());
            return {};
        });
    }
    ~URLViewsTest() override { fnd::Workspace::sharedWorkspace().setOpener(previous); }
    std::vector<std::string> opened;
    fnd::Workspace::Opener previous;
};

}

TEST_F(URLViewsTest, ClickFieldOpensItsAddress)
{
    auto field = ZORURLClickField::create({ 20, 20, 200, 20 });
    field->setStringValue("Home page");
    field->setURLString("https://example.org/");
    add(field);
    EXPECT_FALSE(field->isEditable());
    EXPECT_TRUE(field->textColor()->isEqual(*gfx::Color::blueColor()));
    backend->click(*window, field->convertPointToView({ 10, 10 }, nullptr));
    dispatch();
    EXPECT_EQ(opened, (std::vector<std::string> { "https://example.org/" }));
}

TEST_F(URLViewsTest, LinkOpensOnReleaseOverItOnly)
{
    auto view = URLTextView::create({ 0, 0, 300, 200 });
    add(view);
    txt::AttributedString text("Visit the site today.");
    text.addAttribute(txt::LinkAttributeName, fnd::Value("https://example.org"), { 10, 4 });
    view->textStorage()->setAttributedString(text);
    (void)snapshot();
    auto rects = view->layoutManager()->rectsForCharacterRange({ 10, 4 }, *view->textContainer());
    auto origin = view->textContainerOrigin();
    gfx::Point onLink { rects[0].midX() + origin.x, rects[0].midY() + origin.y };
    auto windowPoint = view->convertPointToView(onLink, nullptr);
    // Pressed, dragged off, released outside: nothing opens and the link colour comes back.
    backend->mouseDown(*window, windowPoint);
    backend->mouseDragged(*window, { windowPoint.x, windowPoint.y - 80 });
    backend->mouseUp(*window, { windowPoint.x, windowPoint.y - 80 });
    dispatch();
    EXPECT_TRUE(opened.empty());
    auto colour = view->textStorage()->attributeAtIndex(txt::ForegroundColorAttributeName, 11).objectAs<gfx::Color>();
    ASSERT_NE(colour, nullptr);
    EXPECT_TRUE(colour->isEqual(*URLTextView::linkColor()));
    // Released over it: it opens.
    backend->click(*window, windowPoint);
    dispatch();
    EXPECT_EQ(opened, (std::vector<std::string> { "https://example.org" }));
    // A click on plain text places the caret as usual.
    auto plain = view->layoutManager()->rectsForCharacterRange({ 2, 1 }, *view->textContainer());
    backend->click(
        *window, view->convertPointToView({ plain[0].minX() + origin.x + 1, plain[0].midY() + origin.y }, nullptr));
    dispatch();
    EXPECT_EQ(view->selectedRange().length, 0);
    EXPECT_LE(view->selectedRange().location, 3);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(URLViewsTest, LinksShowTheFrameworksOwnHand)
{
    auto cursor = URLTextView::handCursor();
    ASSERT_NE(cursor, nullptr);
    EXPECT_NE(cursor, ui::Cursor::pointingHandCursor()) << "the picture drawn for links, not the stock hand";
    ASSERT_NE(cursor->image(), nullptr);
    EXPECT_EQ(cursor->image()->size(), (gfx::Size { 16, 16 }));
    EXPECT_EQ(cursor->hotSpot(), (gfx::Point { 5, 0 }));
}
