#include "platform/foundation/files/Bundle.h"

#include "platform/foundation/TestSupport.h"

#include <gtest/gtest.h>

using namespace fnd;
using testsupport::ScopedEnvironment;

TEST(Bundle, InfoDictionaryAndItsLocalizedKeys)
{
    ScopedEnvironment language("LANGUAGE", "de");
    auto bundle = Bundle::bundleWithName("TestBundle");
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->bundleIdentifier().utf8(), "org.example.TestBundle");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleShortVersionString").stringValue().utf8(), "1.2.3");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleVersion").stringValue().utf8(), "42");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("EditLinkServer"), Value(Array { "Barcode" }));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleName").stringValue().utf8(), "Testb\xC3\xBCndel");
    EXPECT_EQ(bundle->infoDictionary().get("CFBundleName").stringValue().utf8(), "Test Bundle");
    EXPECT_TRUE(bundle->objectForInfoDictionaryKey("ZORFeedbackSubjectPrefix").isNil());

    ScopedEnvironment english("LANGUAGE", "en");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleName").stringValue().utf8(), "Test Bundle");
}

TEST(Bundle, AMalformedInfoPlistIsLoggedAndEmpty)
{
    testsupport::TemporaryFolder folder;
    folder.write("Broken/Info.plist", "<plist><dict><key>CFBundleIdentifier</key>");
    testsupport::CapturedLog log;
    auto bundle = Bundle::bundleWithPath(String(folder / "Broken"));
    ASSERT_TRUE(bundle);
    EXPECT_TRUE(bundle->infoDictionary().isEmpty());
    EXPECT_TRUE(bundle->bundleIdentifier().isEmpty());
    EXPECT_TRUE(log.contains(LogLevel::Error, "Info.plist"));
}
