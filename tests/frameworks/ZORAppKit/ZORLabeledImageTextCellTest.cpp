#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORColorLabelWidget/ZORColorLabelColors.h"
#include "frameworks/ZORAppKit/ZORLabeledImageTextCell/ZORLabeledImageTextCell.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "support/Canvas.h"

namespace labeledcelltest {

std::shared_ptr<gfx::Image> square(double width, gfx::ColorPtr colour = gfx::Color::greenColor())
{
    auto image = gfx::Image::imageWithSize({ width, 12 });
    image->lockFocus();
    gfx::GraphicsContext::current()->setFillColor(*colour);
    gfx::GraphicsContext::current()->fillRect({ 0, 0, width, 12 });
    image->unlockFocus();
    return image;
}

class ZORLabeledImageTextCellTest : public viewstest::ViewsTest {
protected:
    ZORLabeledImageTextCellTest()
    {
        cell = fnd::makeObject<ZORLabeledImageTextCell>();
        cell->initTextCell("Entry");
    }
    // The drawing rectangle of the test row; the layout's numbers are measured from it.
    gfx::Rect row() const { return cell->drawingRectForBounds(frame); }
    std::string describe(gfx::Rect r) const { return gfx::stringFromRect(r).utf8(); }

    std::shared_ptr<ZORLabeledImageTextCell> cell;
    const gfx::Rect frame { 0, 0, 300, 20 };
};

TEST_F(ZORLabeledImageTextCellTest, APlainRowKeepsAQuarterOfItsHeightFreeOnEachSide)
{
    cell->calcDrawInfo(frame);
    const gfx::Rect d = row();
    const double quarter = d.height() / 4;
    EXPECT_EQ(cell->textRect(), (gfx::Rect { d.minX() + quarter, d.minY(), d.width() - 2 * quarter, d.height() }))
        << describe(cell->textRect());
    EXPECT_TRUE(cell->labelRect().isEmpty());

    cell->setLeftInset(10);
    cell->setRightInset(6);
    cell->calcDrawInfo(frame);
    EXPECT_EQ(cell->textRect().minX(), d.minX() + 10 + quarter);
    EXPECT_EQ(cell->textRect().maxX(), d.maxX() - 6 - quarter);
}

TEST_F(ZORLabeledImageTextCellTest, ImagesAndInfoTextTakeTheirWidthsPlusFourFromTheEnds)
{
    const gfx::Rect d = row();
    const double quarter = d.height() / 4;
    cell->setImage(square(8));
    cell->setMinImageWidth(20);
    cell->setStatusImage(square(10));
    cell->setRightImage(square(14));
    cell->setInfoText("12");
    cell->calcDrawInfo(frame);

    EXPECT_EQ(cell->imageRect(), (gfx::Rect { d.minX() + 3, d.minY(), 8, d.height() })) << "narrow, yet 24 reserved";
    EXPECT_EQ(cell->statusImageRect(), (gfx::Rect { d.maxX() - 14 + 3, d.minY(), 10, d.height() }));
    EXPECT_EQ(cell->rightImageRect(), (gfx::Rect { d.maxX() - 14 - 18, d.minY(), 14, d.height() }));
    const double info
        = txt::AttributedString("12", { { txt::FontAttributeName, fnd::Value(cell->font()) } }).size().width;
    EXPECT_EQ(cell->infoTextRect(), (gfx::Rect { d.minX() + 24, d.minY(), info + 4, d.height() }));
    EXPECT_NEAR(cell->textRect().minX(), d.minX() + 24 + info + 4 + quarter, 1e-9);
    EXPECT_NEAR(cell->textRect().maxX(), d.maxX() - 14 - 18 - quarter, 1e-9);
}

TEST_F(ZORLabeledImageTextCellTest, TheLabelFillsTheRowOrBecomesAPillWhenTheRowIsSelected)
{
    const gfx::Rect d = row();
    const double cap = d.height() / 2;
    cell->setColorLabelType(2);
    cell->calcDrawInfo(frame);
    EXPECT_EQ(cell->labelRect(), d) << "behind the whole row";

    cell->setHighlighted(true);
    cell->calcDrawInfo(frame);
    EXPECT_EQ(cell->labelRect(), (gfx::Rect { d.maxX() - 2 * cap, d.minY(), 2 * cap, d.height() - 1 }));
    EXPECT_NEAR(cell->textRect().maxX(), d.maxX() - 2 * cap - 4, 1e-9);
    EXPECT_NEAR(cell->textRect().minX(), d.minX() + cap / 2, 1e-9);

    cell->setStatusImage(square(10));
    cell->calcDrawInfo(frame);
    EXPECT_TRUE(cell->labelRect().isEmpty()) << "a status image leaves no room for the pill";

    cell->setMiddleAlignedText(true);
    cell->calcDrawInfo(frame);
    const double textHeight = cell->attributedStringValue()->size().height;
    EXPECT_NEAR(cell->textRect().minY(), d.minY() + (d.height() - textHeight) / 2 - 0.5, 1e-9);
}

TEST_F(ZORLabeledImageTextCellTest, TheLabelColourFollowsTheTypeAndCopiesShareTheirPictures)
{
    // The table hands out a copy at every call; the cell takes one only when its type changes.
    EXPECT_NE(ZORColorLabelColors::getLabelColorForLabelType(3), ZORColorLabelColors::getLabelColorForLabelType(3));
    cell->setColorLabelType(3);
    auto colour = cell->labelColor();
    ASSERT_NE(colour, nullptr);
    cell->setColorLabelType(3);
    EXPECT_EQ(cell->labelColor(), colour) << "the same type keeps the same colour object";
    cell->setColorLabelType(4);
    cell->setColorLabelType(3);
    EXPECT_NE(cell->labelColor(), colour) << "a change of type takes a new copy";
    EXPECT_TRUE(cell->labelColor()->isEqual(*colour));
    for (int type : { 0, 8, -1 }) {
        cell->setColorLabelType(type);
        EXPECT_EQ(cell->labelColor(), nullptr) << type;
    }
    cell->setImage(square(8));
    cell->setInfoText("info");
    auto copy = std::dynamic_pointer_cast<ZORLabeledImageTextCell>(cell->copy());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->image(), cell->image());
    EXPECT_EQ(copy->infoText(), "info");
}

// A flipped row view drawing the cell over its bounds.
class Row : public ui::View {
public:
    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect) override { cell->drawWithFrame(bounds(), *this); }
    std::shared_ptr<ZORLabeledImageTextCell> cell;
};

TEST_F(ZORLabeledImageTextCellTest, RowsDrawTheirPartsAndThePillShadesTowardsWhite)
{
    auto plain = ui::makeView<Row>({ 10, 120, 220, 20 });
    plain->cell = cell;
    cell->setImage(square(12, gfx::Color::blueColor()));
    cell->setInfoText("42");
    cell->setColorLabelType(5);
    add(plain);

    auto selected = ui::makeView<Row>({ 10, 80, 220, 20 });
    selected->cell = std::dynamic_pointer_cast<ZORLabeledImageTextCell>(cell->copy());
    selected->cell->setHighlighted(true);
    selected->cell->setStatusImage(nullptr);
    add(selected);

    auto image = snapshot("ZORLabeledImageTextCell-rows");
    auto blue = argb(255, 0, 0, 255);
    EXPECT_EQ(pixelIn(*image, *plain, { plain->cell->imageRect().minX() + 6, 10 }), blue) << "the left image";

    // The pill of the selected row: label 5 (92, 160, 255) at one end, half-way to white at the other.
    selected->cell->calcDrawInfo(selected->bounds());
    const gfx::Rect pill = selected->cell->labelRect();
    auto top = pixelIn(*image, *selected, { pill.midX(), pill.minY() + 0.5 });
    auto bottom = pixelIn(*image, *selected, { pill.midX(), pill.maxY() - 0.5 });
    const auto full = argb(255, 92, 160, 255), pale = argb(255, 174, 208, 255);
    EXPECT_TRUE((pixelDistance(top, full) < 24 && pixelDistance(bottom, pale) < 24)
        || (pixelDistance(top, pale) < 24 && pixelDistance(bottom, full) < 24));
    EXPECT_GT(pixelDistance(top, bottom), 40);
    // The unselected row is shaded across its whole width.
    auto left = pixelIn(*image, *plain, { 120, 10 });
    EXPECT_GT(gfx::blueOf(left), 240);
    EXPECT_LT(gfx::redOf(left), 200);
}

}
