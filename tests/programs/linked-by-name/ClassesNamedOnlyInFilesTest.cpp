// This program links the scope bar's library but refers to nothing of it in code: it names the bar's classes only in
// an interface file, and it is linked with --as-needed, which leaves out a shared library nothing refers to. The
// library must still be loaded, its classes registered.

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/views/View.h"

#include <gtest/gtest.h>

TEST(ClassesNamedOnlyInFiles, AFrameworkClassNamedInAnInterfaceFileIsFound)
{
    ui::HeadlessBackend::install();
    EXPECT_TRUE(fnd::ClassRegistry::shared().find("KRScopeBar")) << "the scope bar's library was not loaded";
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<interface>
  <object id="bar" class="KRScopeBar">
    <rect key="frame" x="0" y="0" width="300" height="25"/>
    <children selector="addGroup:"><object class="KRScopeBarGroup"><string key="label">Kind:</string></object></children>
  </object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto bar = std::dynamic_pointer_cast<ui::View>(loaded->objectsById.at("bar"));
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->className(), fnd::String("KRScopeBar"));
    EXPECT_EQ(bar->frame().width(), 300);
    EXPECT_EQ(bar->valueForKey("numberOfGroups").integerValue(), 1);
}
