#include "platform/ui/views/StandardImages.h"

#include "support/Canvas.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

namespace {

// Every glyph draws something, only in its square, and is found by name afterwards.
TEST(StandardImagesTest, EveryNamedGlyphDrawsInItsSquare)
{
    ASSERT_EQ(ui::standardImageNames().size(), 13u);
    EXPECT_EQ(ui::standardImage("NoSuchTemplate"), nullptr);
    for (const auto& name : ui::standardImageNames()) {
        auto image = ui::standardImage(name);
        ASSERT_NE(image, nullptr) << name.utf8();
        EXPECT_EQ(image->size(), gfx::Size(14, 14));
        EXPECT_EQ(ui::standardImage(name), image) << "made once";
        EXPECT_EQ(gfx::Image::imageNamed(name), image) << name.utf8();
        auto bitmap = image->CGImageForProposedRect(gfx::Rect { 0, 0, 28, 28 });
        ASSERT_NE(bitmap, nullptr);
        auto pixels = bitmap->pixelBuffer();
        int painted = 0;
        for (int y = 0; y < pixels.height; ++y)
            for (int x = 0; x < pixels.width; ++x)
                painted += (pixels.pixel(x, y) >> 24) > 0x80 ? 1 : 0;
        EXPECT_GT(painted, pixels.width * pixels.height / 20) << name.utf8();
        EXPECT_LT(painted, pixels.width * pixels.height * 3 / 4) << name.utf8();
    }
}

}
