// A scope bar written in an interface file: its groups (with labels) as children, its data source and delegate as
// outlets.
#include "KRScopeBarScene.h"

#include "frameworks/KRScoreBar/KRScopeBarGroup.h"

#include "platform/ui/interface/InterfaceFile.h"

#include <gtest/gtest.h>

namespace {

const char* const KRScopeBarInterfaceFileText = R"(<interface>
  <object id="bar" class="KRScopeBar">
    <rect key="frame" x="0" y="0" width="600" height="25"/>
    <bool key="autoResizesGroups">true</bool>
    <children selector="addGroup:">
      <object class="KRScopeBarGroup">
        <string key="identifier">kind</string>
        <string key="label">Kind:</string>
        <bool key="showsLabel">true</bool>
      </object>
      <object class="KRScopeBarGroup">
        <string key="identifier">size</string>
        <string key="label">Size:</string>
        <bool key="showsLabel">true</bool>
        <bool key="showsSeparator">true</bool>
      </object>
    </children>
  </object>
  <object id="source" class="ScopeSource"/>
  <object id="delegate" class="ScopeDelegate"/>
  <connections>
    <outlet source="bar" key="dataSource" destination="source"/>
    <outlet source="bar" key="delegate" destination="delegate"/>
  </connections>
</interface>)";

}

TEST(KRScopeBarInterfaceFile, GroupsWithLabelsAndTheOutletsComeFromTheFile)
{
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(KRScopeBarInterfaceFileText));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto bar = std::dynamic_pointer_cast<KRScopeBar>(loaded->objectsById.at("bar"));
    auto source = std::dynamic_pointer_cast<krtest::ScopeSource>(loaded->objectsById.at("source"));
    ASSERT_TRUE(bar && source);
    EXPECT_EQ(bar->dataSource(), source);
    EXPECT_EQ(bar->delegate(), loaded->objectsById.at("delegate"));
    EXPECT_TRUE(bar->delegateImplementsShouldCollapse_()) << "the delegate's answers were looked up when connected";
    ASSERT_EQ(bar->numberOfGroups(), 2u);
    EXPECT_EQ(bar->groupAtIndex(0)->label(), fnd::String("Kind:"));
    EXPECT_EQ(bar->groupAtIndex(1)->label(), fnd::String("Size:"));
    EXPECT_EQ(bar->groupWithIdentifier("size"), bar->groupAtIndex(1));

    // The items come from the connected data source, and the labels are drawn before them.
    source->items = { { "Code", "Label" }, { "Small", "Medium", "Large" } };
    bar->reloadData();
    bar->calcSize();
    EXPECT_EQ(krtest::layoutState(*bar), "E2 E3");
    auto labelled = bar->groupAtIndex(0)->attributedLabel();
    ASSERT_TRUE(labelled);
    EXPECT_EQ(labelled->string(), fnd::String("Kind:"));
}

TEST(KRScopeBarInterfaceFile, AnOutletToAnObjectOfTheWrongKindIsRefused)
{
    std::string text = KRScopeBarInterfaceFileText;
    text.replace(text.find(R"(destination="source")"), 20, R"(destination="delegate")");
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(text));
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().code(), ui::InterfaceFile::InvalidValueError);
    EXPECT_NE(loaded.error().localizedDescription().utf8().find("not a scope bar data source"), std::string::npos)
        << loaded.error().localizedDescription().utf8();

    std::string group = KRScopeBarInterfaceFileText;
    group.replace(group.find(R"(<object class="KRScopeBarGroup">)"), 32, R"(<object class="View">)");
    auto refused = ui::InterfaceFile::load(fnd::Data::fromString(group));
    ASSERT_FALSE(refused) << "a view is no group";
}
