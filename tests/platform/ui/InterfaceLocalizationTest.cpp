#include "platform/ui/interface/InterfaceLocalization.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/ui/containers/Box.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Window.h"

#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

using InterfaceLocalization = uitest::UiTest;

TEST_F(InterfaceLocalization, KeysBecomeTheTablesTextsAndOtherTextsStay)
{
    const char* xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="window" class="Window">
    <rect key="contentRect" x="0" y="0" width="300" height="200"/>
    <string key="title">DIALOG_TITLE</string>
    <object key="contentView" class="View">
      <subviews>
        <object id="label" class="TextField"><string key="stringValue">DIALOG_LABEL</string></object>
        <object id="name" class="TextField"><string key="placeholderString">DIALOG_PLACEHOLDER</string></object>
        <object id="kept" class="TextField"><string key="stringValue">Not a key</string></object>
        <object id="ok" class="Button"><string key="title">DIALOG_OK</string></object>
        <object id="combo" class="ComboBox">
          <array key="objectValues"><string>DIALOG_FIRST</string><string>DIALOG_SECOND</string><integer>3</integer></array>
        </object>
        <object id="box" class="Box"><string key="title">DIALOG_BOX</string></object>
        <object id="popUp" class="PopUpButton"/>
      </subviews>
    </object>
  </object>
  <object id="menu" class="Menu">
    <items><object class="MenuItem"><string key="title">DIALOG_FIRST</string></object></items>
  </object>
</interface>)";
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(xml));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto bundle = fnd::Bundle::bundleWithName("TestBundle");
    ASSERT_TRUE(bundle);
    auto popUp = std::dynamic_pointer_cast<ui::PopUpButton>(loaded->objectsById.at("popUp"));
    popUp->addItemWithTitle("DIALOG_MENU");
    ui::localizeInterface(*loaded, *bundle, "Dialog");
    auto object = [&](const char* id) { return loaded->objectsById.at(id); };

    EXPECT_EQ(std::dynamic_pointer_cast<ui::Window>(object("window"))->title(), "Export Options");
    EXPECT_EQ(std::dynamic_pointer_cast<ui::TextField>(object("label"))->stringValue(), "Name:");
    EXPECT_EQ(std::dynamic_pointer_cast<ui::TextField>(object("name"))->placeholderString(), "Untitled");
    EXPECT_EQ(std::dynamic_pointer_cast<ui::TextField>(object("kept"))->stringValue(), "Not a key");
    EXPECT_EQ(std::dynamic_pointer_cast<ui::Button>(object("ok"))->title(), "Export");
    EXPECT_EQ(std::dynamic_pointer_cast<ui::ComboBox>(object("combo"))->objectValues(),
        (std::vector<fnd::Value> { fnd::String("First"), fnd::String("Second"), 3 }));
    EXPECT_EQ(std::dynamic_pointer_cast<ui::Box>(object("box"))->title(), "Details");
    EXPECT_EQ(popUp->itemAtIndex(0)->title(), "Menu Item");
    EXPECT_EQ(popUp->title(), "Menu Item") << "the pop-up shows its item's new title";
    EXPECT_EQ(std::dynamic_pointer_cast<ui::Menu>(object("menu"))->itemAtIndex(0)->title(), "First");
}

}
