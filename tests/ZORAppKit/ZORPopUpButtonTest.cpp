#include "ZORAppKitTestSupport.h"

#include "ZORAppKit/ZORPopUpButton/ZOREncodingPopUpButtonCell.h"
#include "ZORAppKit/ZORPopUpButton/ZORPopUpButton.h"

#include "platform/ui/PopUpButton.h"

namespace {

using namespace zortest;
using ui::CellImagePosition;

class ZORPopUpButtonTest : public ZORAppKitTest { };

TEST_F(ZORPopUpButtonTest, TheTitleRectangleLinesUpWithTheMenuText)
{
    auto button = ZORPopUpButton::create({ 10, 10, 140, 24 });
    add(button);
    button->addItemsWithTitles({ "One", "Two" });
    auto cell = std::dynamic_pointer_cast<ZORPopUpButtonCell>(button->cell());
    ASSERT_TRUE(cell);
    const gfx::Rect bounds { 0, 0, 140, 24 };
    auto platform = [&] { return cell->PopUpButtonCell::titleRectForBounds(bounds); };
    auto shifted = [&](double dx, double dw) {
        auto p = platform();
        return gfx::Rect(p.minX() + dx, p.minY(), p.width() + dw, p.height());
    };
    EXPECT_EQ(cell->titleRectForBounds(bounds), shifted(-2, 6));
    cell->setBordered(false);
    EXPECT_EQ(cell->titleRectForBounds(bounds), shifted(-2, 10)) << "2 left of the platform's and 10 wider";

    // With an image beside the title.
    button->itemAtIndex(0)->setImage(solidImage({ 12, 12 }, gfx::Color::blackColor()));
    const struct {
        CellImagePosition position;
        txt::TextAlignment alignment;
        double dx;
    } cases[] = {
        { CellImagePosition::NoImage, txt::TextAlignment::Natural, 0 },
        { CellImagePosition::ImageLeft, txt::TextAlignment::Natural, 0 },
        { CellImagePosition::ImageRight, txt::TextAlignment::Right, -5 },
        { CellImagePosition::ImageRight, txt::TextAlignment::Natural, -2 },
        { CellImagePosition::ImageOnly, txt::TextAlignment::Natural, -2 },
        { CellImagePosition::ImageAbove, txt::TextAlignment::Right, -2 },
    };
    for (const auto& c : cases) {
        cell->setImagePosition(c.position);
        cell->setAlignment(c.alignment);
        EXPECT_EQ(cell->titleRectForBounds(bounds), shifted(c.dx, 10)) << int(c.position) << ", " << int(c.alignment);
    }
}

TEST_F(ZORPopUpButtonTest, TheEncodingCellNeverSelectsItsLastTwoItems)
{
    auto popUp = ui::PopUpButton::create({ 10, 10, 160, 24 });
    popUp->setCell(fnd::makeObject<ZOREncodingPopUpButtonCell>());
    add(popUp);
    for (int i = 0; i < 10; ++i)
        popUp->addItemWithTitle(fnd::String("Item " + std::to_string(i)));
    popUp->selectItemAtIndex(3);
    popUp->selectItemAtIndex(8);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 3);
    popUp->selectItemAtIndex(9);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 3);
    popUp->selectItemAtIndex(7);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 7);

    // Chosen from the open menu: the last item is not taken either.
    backend->answerNextPopUpMenu(9);
    popUp->performClick();
    EXPECT_EQ(popUp->indexOfSelectedItem(), 7);
    backend->answerNextPopUpMenu(1);
    popUp->performClick();
    EXPECT_EQ(popUp->indexOfSelectedItem(), 1);
}

}
