#include "platform/ui/views/Cursor.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

namespace {

using ui::Cursor;

TEST(Cursor, PushAndPopNestAndTellTheBackendOfEachChange)
{
    std::vector<std::string> shown;
    Cursor::setChangeHandler([&](const std::shared_ptr<Cursor>& cursor) {
        shown.push_back(cursor->systemName().isEmpty() ? "image" : cursor->systemName().utf8());
    });
    Cursor::arrowCursor()->set();
    shown.clear();

    auto image = Cursor::create(std::make_shared<gfx::Image>(), { 5, 0 });
    Cursor::closedHandCursor()->push();
    image->push();
    EXPECT_EQ(Cursor::currentCursor(), image);
    EXPECT_EQ(image->hotSpot(), (gfx::Point { 5, 0 }));
    Cursor::pop();
    EXPECT_EQ(Cursor::currentCursor(), Cursor::closedHandCursor());
    // A set between push and pop is undone by the pop too.
    Cursor::IBeamCursor()->set();
    Cursor::pop();
    EXPECT_EQ(Cursor::currentCursor(), Cursor::arrowCursor());
    // Popping an empty stack falls back to the arrow, without a change to announce.
    Cursor::pop();
    EXPECT_EQ(Cursor::currentCursor(), Cursor::arrowCursor());
    EXPECT_EQ(shown, (std::vector<std::string> { "grabbing", "image", "grabbing", "text", "default" }));

    // Standard cursors are one object each, with distinct names.
    EXPECT_EQ(Cursor::resizeLeftRightCursor(), Cursor::resizeLeftRightCursor());
    EXPECT_NE(Cursor::resizeLeftRightCursor()->systemName(), Cursor::resizeUpDownCursor()->systemName());
    Cursor::setChangeHandler({});
}

}
