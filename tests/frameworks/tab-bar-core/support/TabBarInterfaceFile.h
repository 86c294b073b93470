#pragma once

#include "platform/ui/interface/InterfaceFile.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <string>

namespace tabbartest {

// An interface file of a window with a tab view of two items ("Codes", which has a view of its own, and "Labels")
// and a tab bar of the given class above it (ids "window", "tabs", "codes" and "bar"), connected by the given
// outlet elements, in that order.
inline std::string tabBarInterfaceFile(const std::string& barClass, const std::string& outlets)
{
    return fmt::format(R"(<interface>
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
        <object id="bar" class="{}">
          <rect key="frame" x="0" y="178" width="400" height="22"/>
        </object>
      </subviews>
    </object>
  </object>
  <connections>
{}
  </connections>
</interface>)",
        barClass, outlets);
}

// Loading the file fails, naming the bar's delegate outlet, when its "delegate" outlet leads to `destination`, an
// object that is no tab bar delegate.
inline void expectDelegateOutletRefused(std::string text, const std::string& destination)
{
    const std::string outlet = R"(source="bar" key="delegate" destination=")";
    const auto at = text.find(outlet);
    ASSERT_NE(at, std::string::npos);
    const auto end = text.find('"', at + outlet.size());
    text.replace(at + outlet.size(), end - at - outlet.size(), destination);
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(text));
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().code(), ui::InterfaceFile::InvalidValueError);
    EXPECT_NE(loaded.error().localizedDescription().utf8().find("not a tab bar delegate"), std::string::npos)
        << loaded.error().localizedDescription().utf8();
}

}
