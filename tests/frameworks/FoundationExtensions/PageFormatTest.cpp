#include "frameworks/FoundationExtensions/ZORPageFormat.h"

#include "platform/ui/menus/Menu.h"

#include <gtest/gtest.h>

namespace {

TEST(PageFormat, SizesAreSinglePrecisionMillimetresExceptTheFixedPointSizes)
{
    EXPECT_EQ(ZORPageFormat::sizeOfPageStandardFormat(4), (gfx::Size { 595.2755737304688, 841.8897705078125 }));
    EXPECT_EQ(ZORPageFormat::sizeOfPageStandardFormat(20), (gfx::Size { 612, 792 }));
    EXPECT_EQ(ZORPageFormat::sizeOfPageStandardFormat(26), (gfx::Size { 240.94488188976376, 153.0708661417323 }));
    EXPECT_EQ(ZORPageFormat::sizeOfPageStandardFormat(27), (gfx::Size { 252, 144 }));
    EXPECT_EQ(ZORPageFormat::sizeOfPageStandardFormat(28), gfx::Size {});
    EXPECT_EQ(ZORPageFormat::sizeOfPageStandardFormat(-1), gfx::Size {});
}

TEST(PageFormat, MenuHasEveryFormatTaggedByIndexWithThreeSeparators)
{
    auto menu = ZORPageFormat::standardPageFormatMenuWithUserDefineEntry(false);
    long separators = 0, sizes = 0;
    for (const auto& item : menu->itemArray()) {
        if (item->isSeparatorItem()) {
            ++separators;
            continue;
        }
        EXPECT_EQ(item->representedObject().size(), ZORPageFormat::sizeOfPageStandardFormat(item->tag()));
        EXPECT_EQ(item->tag(), sizes++);
    }
    EXPECT_EQ(sizes, 28);
    EXPECT_EQ(separators, 3);
    // Separators follow the DIN long envelope (9), B7 (17) and broadsheet E (25).
    EXPECT_TRUE(menu->itemAtIndex(10)->isSeparatorItem());
    EXPECT_TRUE(menu->itemAtIndex(19)->isSeparatorItem());
    EXPECT_TRUE(menu->itemAtIndex(28)->isSeparatorItem());
    EXPECT_EQ(menu->itemAtIndex(4)->title(), "A4");

    auto withUser = ZORPageFormat::standardPageFormatMenuWithUserDefineEntry(true);
    ASSERT_EQ(withUser->numberOfItems(), 33);
    EXPECT_TRUE(withUser->itemAtIndex(31)->isSeparatorItem());
    EXPECT_EQ(withUser->itemAtIndex(32)->tag(), 28);
    EXPECT_TRUE(withUser->itemAtIndex(32)->representedObject().isNil());
}

TEST(PageFormat, LookupFindsPortraitAndTurnedSizesAndFallsBackToUserDefined)
{
    auto plain = ZORPageFormat::standardPageFormatMenuWithUserDefineEntry(false);
    auto withUser = ZORPageFormat::standardPageFormatMenuWithUserDefineEntry(true);
    auto a4 = ZORPageFormat::sizeOfPageStandardFormat(4);
    ZORPageFormat::Direction direction {};

    EXPECT_EQ(ZORPageFormat::indexOfStandardPageFormatWithSize(a4, *plain, &direction), 4);
    EXPECT_EQ(direction, ZORPageFormat::Direction::Portrait);
    EXPECT_EQ(ZORPageFormat::indexOfStandardPageFormatWithSize({ a4.height, a4.width }, *plain, &direction), 4);
    EXPECT_EQ(direction, ZORPageFormat::Direction::Turned);

    EXPECT_EQ(ZORPageFormat::indexOfStandardPageFormatWithSize({ 100, 100 }, *plain, &direction), -1);
    EXPECT_EQ(direction, ZORPageFormat::Direction::NoMatch);
    EXPECT_EQ(ZORPageFormat::indexOfStandardPageFormatWithSize({ 100, 100 }, *withUser, &direction), 32);
    EXPECT_EQ(direction, ZORPageFormat::Direction::NoMatch);
    EXPECT_EQ(ZORPageFormat::indexOfStandardPageFormatWithSize(a4, *ui::Menu::create(), &direction), -1);
    EXPECT_EQ(direction, ZORPageFormat::Direction::NoMatch);
    // The exact millimetre value is not the table's single-precision size.
    EXPECT_EQ(ZORPageFormat::indexOfStandardPageFormatWithSize({ 210 * 72 / 25.4, 297 * 72 / 25.4 }, *plain), -1);

    EXPECT_EQ(ZORPageFormat::nameForFormatWithSize(a4), "A4");
    EXPECT_EQ(ZORPageFormat::nameForFormatWithSize({ a4.height, a4.width }), "");
    EXPECT_EQ(ZORPageFormat::nameForFormatWithSize({ 252, 144 }), "Business Card (America)");
}

}
