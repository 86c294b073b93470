#include "platform/text/LayoutManager.h"

#include <gtest/gtest.h>

namespace {

TEST(LayoutManager, DefaultLineHeightIsAscenderMinusDescenderPlusLeading)
{
    for (const char* name : { "DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono" }) {
        auto font = gfx::Font::fontWithName(name, 12);
        ASSERT_TRUE(font);
        txt::LayoutManager manager;
        EXPECT_DOUBLE_EQ(
            manager.defaultLineHeightForFont(*font), font->ascender() - font->descender() + font->leading())
            << name;
    }
}

}
