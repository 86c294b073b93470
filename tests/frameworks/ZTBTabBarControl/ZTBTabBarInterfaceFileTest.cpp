// A tab bar, its tab view and their items written in an interface file and connected by outlets.
#include "ZTBTabBarControlTestSupport.h"

#include "platform/ui/interface/InterfaceFile.h"

namespace {

class ZTBTabBarInterfaceFileTest : public ztbtest::TabBarControlTest { };

const char* const ZTBTabBarInterfaceFileText = R"(<interface>
  <object id="window" class="Window">
    <rect key="contentRect" x="100" y="100" width="400" height="200"/>
    <object key="contentView" class="View">
      <subviews>
        <object id="tabs" class="TabView">
          <rect key="frame" x="0" y="0" width="400" height="178"/>
          <integer key="tabViewType">6</integer>
          <children selector="addTabViewItem:">
            <object class="TabViewItem">
              <string key="label">Codes</string>
              <object key="view" id="codes" class="View"><rect key="frame" x="0" y="0" width="400" height="178"/></object>
            </object>
            <object class="TabViewItem"><string key="label">Labels</string></object>
          </children>
        </object>
        <object id="bar" class="ZTBTabBarControl">
          <rect key="frame" x="0" y="178" width="400" height="22"/>
        </object>
      </subviews>
    </object>
  </object>
  <connections>
    <outlet source="bar" key="tabView" destination="tabs"/>
    <outlet source="bar" key="partnerView" destination="tabs"/>
    <outlet source="tabs" key="delegate" destination="bar"/>
  </connections>
</interface>)";

}

TEST_F(ZTBTabBarInterfaceFileTest, OutletsConnectTheBarAndItsTabViewWhoseItemsComeFromTheFile)
{
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(ZTBTabBarInterfaceFileText));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto tabs = std::dynamic_pointer_cast<ui::TabView>(loaded->objectsById.at("tabs"));
    auto bar = std::dynamic_pointer_cast<ZTBTabBarControl>(loaded->objectsById.at("bar"));
    ASSERT_TRUE(tabs && bar);
    ASSERT_EQ(tabs->numberOfTabViewItems(), 2);
    EXPECT_EQ(tabs->tabViewItemAtIndex(0)->view(), loaded->objectsById.at("codes"));
    EXPECT_EQ(bar->tabView(), tabs);
    EXPECT_EQ(bar->partnerView(), tabs);
    EXPECT_EQ(std::dynamic_pointer_cast<ZTBTabBarControl>(tabs->delegate()), bar);
    std::vector<std::string> labels;
    for (const auto& cell : bar->cells())
        labels.push_back(cell->stringValue().utf8());
    EXPECT_EQ(labels, (std::vector<std::string> { "Codes", "Labels" }));

    // The bar follows the tab view from then on: a new item gets a tab.
    auto item = ui::TabViewItem::create();
    item->setLabel("Sheets");
    tabs->addTabViewItem(item);
    EXPECT_EQ(bar->cells().size(), 3u);
}

TEST_F(ZTBTabBarInterfaceFileTest, ADelegateOutletToAnObjectThatIsNoDelegateIsRefused)
{
    std::string text = ZTBTabBarInterfaceFileText;
    text.replace(text.find(R"(key="delegate" destination="bar")"), 32, R"(key="delegate" destination="window")");
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(text));
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().code(), ui::InterfaceFile::InvalidValueError);
    EXPECT_NE(loaded.error().localizedDescription().utf8().find("not a tab view delegate"), std::string::npos)
        << loaded.error().localizedDescription().utf8();
}
