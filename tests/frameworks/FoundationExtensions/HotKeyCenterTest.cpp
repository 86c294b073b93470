#include "frameworks/FoundationExtensions/ui/ZHKHotKeyCenter.h"

#include "platform/ui/views/Event.h"

#include <gtest/gtest.h>

namespace {

TEST(HotKeyCenter, AHotKeyTheCentreMakesShowsItselfAsThePublicClass)
{
    auto hotKey
        = std::make_shared<ZHKRegisteredHotKey>(ui::KeyCode::F9, ui::ModifierFlags::Command | ui::ModifierFlags::Shift);
    EXPECT_EQ(hotKey->className(), "ZHKHotKey");
    EXPECT_TRUE(hotKey->isKindOf<ZHKHotKey>());
    // "<ZHKHotKey: 0x...>", then the key code of F9 (0x65), the flags in their fixed order and the block.
    const auto description = hotKey->description().utf8();
    EXPECT_EQ(description.rfind("<ZHKHotKey: 0x", 0), 0u) << description;
    EXPECT_EQ(description.substr(description.find('>') + 1),
        "\n\t(key: 101\n\tflags: (NSCommandKeyMask | NSShiftKeyMask)\n\tinvokes: (block))");
    // The centre still knows its own hot keys: this one is unregistered without complaint.
    ZHKHotKeyCenter().unregisterHotKey(hotKey);
}

}
