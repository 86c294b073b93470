#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextStorage.h"

#include <gtest/gtest.h>

// Attributed strings and paragraph styles in keyed archives: runs and their attributes come back, attributes an
// archive cannot hold are left out, and runs that do not fit the text are refused.
namespace {

template <typename T> std::shared_ptr<T> textArchiveRoundTrip(const std::shared_ptr<T>& object)
{
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(object));
    EXPECT_TRUE(data);
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    EXPECT_TRUE(decoded) << (decoded ? "" : decoded.error().localizedDescription().utf8());
    return decoded ? decoded->objectAs<T>() : nullptr;
}

TEST(TextArchive, RunsComeBackWithTheirAttributes)
{
    auto style = std::make_shared<txt::ParagraphStyle>();
    style->setAlignment(txt::TextAlignment::Center);
    style->setHeadIndent(12);
    style->setTabStops({ { txt::TextTabType::Right, 40 }, { txt::TextTabType::Decimal, 90.5 } });
    auto text = std::make_shared<txt::AttributedString>(fnd::String("Hello, wide world"));
    text->addAttribute(txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::redColor()), { 0, 5 });
    text->addAttribute(txt::FontAttributeName, fnd::Value(gfx::Font::boldSystemFontOfSize(14)), { 7, 4 });
    text->addAttribute(txt::ParagraphStyleAttributeName, fnd::Value(style), { 0, 17 });
    text->addAttribute("custom", fnd::Value(3), { 12, 5 });
    // A value no archive holds (a plain object) is left out, the rest of its run kept.
    text->addAttribute("unarchivable", fnd::Value(std::make_shared<fnd::Object>()), { 0, 2 });

    auto decoded = textArchiveRoundTrip(text);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->string(), text->string());
    fnd::Range run;
    EXPECT_TRUE(decoded->attributeAtIndex(txt::ForegroundColorAttributeName, 1, &run)
                    .objectAs<gfx::Color>()
                    ->isEqual(*gfx::Color::redColor()));
    EXPECT_EQ(run, (fnd::Range { 0, 5 }));
    EXPECT_TRUE(decoded->attributeAtIndex("unarchivable", 0).isNil());
    EXPECT_EQ(decoded->attributeAtIndex("custom", 13).integerValue(), 3);
    auto decodedStyle = decoded->attributeAtIndex(txt::ParagraphStyleAttributeName, 3).objectAs<txt::ParagraphStyle>();
    ASSERT_NE(decodedStyle, nullptr);
    EXPECT_TRUE(decodedStyle->isEqual(*style));
    auto font = decoded->attributeAtIndex(txt::FontAttributeName, 8).objectAs<gfx::Font>();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->pointSize(), 14);

    // Text storage is an attributed string too.
    auto storage = std::make_shared<txt::TextStorage>();
    storage->setAttributedString(*text);
    auto storageBack = textArchiveRoundTrip(storage);
    ASSERT_NE(storageBack, nullptr);
    EXPECT_EQ(storageBack->string(), text->string());
}

TEST(TextArchive, RunsThatDoNotFitTheTextAreRefused)
{
    auto text = std::make_shared<txt::AttributedString>(fnd::String("abc"));
    auto data = *fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(text));
    // The archive's text says how long a run may be; one run reaching past it is damage.
    std::string xml(data.view());
    auto at = xml.find("<integer>3</integer>");
    ASSERT_NE(at, std::string::npos) << xml;
    xml.replace(at, 20, "<integer>9</integer>");
    EXPECT_FALSE(fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(fnd::Data::fromString(xml)));
}

}
