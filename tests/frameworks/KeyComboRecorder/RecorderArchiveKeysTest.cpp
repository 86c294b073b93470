#include "RecorderTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "support/KeyRecorder.h"

// The recorder's archives: the cell's keys after the action cell's, in the order of writing; the control writes
// only the control's own data (its cell); flags an archive holds are filtered like any others.
namespace {

using testsupport::KeyRecorder;

TEST(RecorderArchiveKeys, TheCellWritesItsKeysInOrderAfterTheActionCells)
{
    auto cell = fnd::makeObject<KRRecorderCell>();
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::ActionCell>(*cell),
        (std::vector<std::string> { "autosaveName", "keyComboCode", "keyComboFlags", "allowedFlags", "requiredFlags",
            "allowsKeyOnly", "escapeKeysRecord", "isAnimating", "style" }));

    auto control = KRRecorderControl::create({ 0, 0, 120, 22 });
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::Control>(*control), std::vector<std::string> {});
}

TEST(RecorderArchiveKeys, ArchivedFlagsAreFilteredAndTheDecodedControlIsItsCellsDelegate)
{
    auto control = KRRecorderControl::create({ 0, 0, 120, 22 });
    control->recorderCell()->setAllowedFlags(krtest::Command | krtest::Shift);
    control->recorderCell()->setKeyCombo({ krtest::Command, krtest::KeyK });
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(control));
    ASSERT_TRUE(data);
    // 0x110001: Command with a device bit and a caps-lock-like bit no recorder keeps.
    std::string xml(data->view());
    auto at = xml.find("<integer>" + std::to_string(krtest::Command) + "</integer>");
    ASSERT_NE(at, std::string::npos);
    xml.replace(at, 9 + std::to_string(krtest::Command).size(), "<integer>" + std::to_string(0x110001));

    auto decoded
        = fnd::KeyedUnarchiver::unarchiveObjectWithData(fnd::Data::fromString(xml)).objectAs<KRRecorderControl>();
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->recorderCell()->keyCombo().flags, krtest::Command) << "only the allowed modifier stays";
    EXPECT_EQ(decoded->recorderCell()->delegate().get(), static_cast<KRRecorderCellDelegate*>(decoded.get()));
}

}
