#include "frameworks/ZORAppKit/text-views/ZORLineNumberRuler.h"
#include "frameworks/ZORAppKit/text-views/ZORURLClickField.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/graphics/Color.h"
#include "platform/ui/UiTestSupport.h"
#include "support/KeyRecorder.h"

// The link field and the line-number ruler write their superclass's data first, then their own keys; both forms of
// archive bring them back.
namespace {

using testsupport::KeyRecorder;

class TextViewsArchiveKeys : public uitest::UiTest { };

TEST_F(TextViewsArchiveKeys, EachWritesItsKeysAfterItsSuperclasss)
{
    auto field = ZORURLClickField::create({ 0, 0, 200, 20 });
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::TextField>(*field), std::vector<std::string> { "URLString" });
    auto ruler = ZORLineNumberRuler::create(nullptr);
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::RulerView>(*ruler),
        (std::vector<std::string> { "font", "textColor", "alternateTextColor", "backgroundColor" }));
    auto marker = ZORLineNumberRulerMarker::create(ruler, 7, nullptr, {});
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::RulerMarker>(*marker), std::vector<std::string> { "line" });
}

TEST_F(TextViewsArchiveKeys, TheLinkFieldComesBackWithItsAddressAndLookFromBothForms)
{
    auto field = ZORURLClickField::create({ 10, 10, 200, 20 });
    field->setStringValue("example.org");
    field->setURLString("https://example.org/");
    auto keyed = fnd::KeyedUnarchiver::unarchiveObjectWithData(*fnd::KeyedArchiver::archivedDataWithRootObject(field))
                     .objectAs<ZORURLClickField>();
    auto sequential = fnd::SequentialUnarchiver::unarchiveObjectWithData(
        *fnd::SequentialArchiver::archivedDataWithRootObject(field))
                          .objectAs<ZORURLClickField>();
    for (const auto& back : { keyed, sequential }) {
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->URLString(), "https://example.org/");
        EXPECT_EQ(back->frame(), field->frame());
        EXPECT_FALSE(back->isBezeled());
        EXPECT_TRUE(back->textColor()->isEqual(*gfx::Color::blueColor()));
    }
    EXPECT_EQ(keyed->stringValue(), "example.org") << "the text field's cell came back";

    auto ruler = ZORLineNumberRuler::create(nullptr);
    ruler->setTextColor(gfx::Color::redColor());
    auto decodedRuler = fnd::SequentialUnarchiver::unarchiveObjectWithData(
        *fnd::SequentialArchiver::archivedDataWithRootObject(ruler))
                            .objectAs<ZORLineNumberRuler>();
    ASSERT_NE(decodedRuler, nullptr);
    EXPECT_TRUE(decodedRuler->textColor()->isEqual(*gfx::Color::redColor()));
}

}
