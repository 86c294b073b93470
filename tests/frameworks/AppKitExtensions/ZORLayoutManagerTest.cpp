#include "frameworks/AppKitExtensions/ZORLayoutManager.h"

#include <gtest/gtest.h>

namespace {

TEST(ZORLayoutManager, LineHeightIsTheFontsDesignLineHeightOnEveryCall)
{
    // DejaVu Sans: ascender 1901, descender −483, no line gap, 2048 units per em.
    struct Case {
        const char* name;
        double size;
        double expected;
    };
    const Case cases[] = {
        { "DejaVu Sans", 12, 2384.0 / 2048 * 12 },
        { "DejaVu Sans", 10, 2384.0 / 2048 * 10 },
        { "DejaVu Sans", 36.5, 2384.0 / 2048 * 36.5 },
    };
    for (const auto& c : cases) {
        auto font = gfx::Font::fontWithName(c.name, c.size);
        ASSERT_TRUE(font);
        EXPECT_DOUBLE_EQ(ZORLayoutManager::lineHeightForFont(*font), c.expected) << c.name << " " << c.size;
        EXPECT_EQ(ZORLayoutManager::lineHeightForFont(*font), ZORLayoutManager::lineHeightForFont(*font));
    }
}

TEST(ZORLayoutManager, LineHeightOfAFallbackFontIsThatOfTheFaceUsed)
{
    // "Monaco" is not installed: DejaVu Sans Mono stands in, and the height is that face's.
    auto monaco = gfx::Font::fontWithName("Monaco", 10);
    auto mono = gfx::Font::fontWithName("DejaVu Sans Mono", 10);
    ASSERT_TRUE(monaco && mono);
    EXPECT_DOUBLE_EQ(ZORLayoutManager::lineHeightForFont(*monaco), ZORLayoutManager::lineHeightForFont(*mono));
    EXPECT_GT(ZORLayoutManager::lineHeightForFont(*monaco), 10);
}

}
