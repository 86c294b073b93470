// A tab bar view, its tab view and their items written in an interface file and connected by outlets.
#include "QFTabBarViewTestSupport.h"

#include "frameworks/tab-bar-core/support/TabBarInterfaceFile.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/interface/InterfaceFile.h"

namespace {

class QFTabBarViewInterfaceFileTest : public qftest::TabBarTest { };

// The file's owner, which the file makes the bar's delegate.
class QFTabBarViewInterfaceFileOwner : public fnd::Object, public qftest::RecordingDelegate { };

// The delegate is connected first: outlets are connected in file order, and the bar asks it for its drag types
// again once it has its tab view.
const std::string QFTabBarViewInterfaceFileText
    = tabbartest::tabBarInterfaceFile("QFTabBarView", R"(    <outlet source="bar" key="delegate" destination="owner"/>
    <outlet source="bar" key="tabView" destination="tabs"/>
    <outlet source="bar" key="partnerView" destination="tabs"/>)");

}

TEST_F(QFTabBarViewInterfaceFileTest, OutletsConnectTheBarToItsTabViewAndDelegate)
{
    auto owner = std::make_shared<QFTabBarViewInterfaceFileOwner>();
    owner->extraDragTypes = std::vector<fnd::String> { "public.file-url" };
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(QFTabBarViewInterfaceFileText), owner);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto tabs = std::dynamic_pointer_cast<ui::TabView>(loaded->objectsById.at("tabs"));
    auto bar = std::dynamic_pointer_cast<QFTabBarView>(loaded->objectsById.at("bar"));
    ASSERT_TRUE(tabs && bar);
    EXPECT_EQ(bar->tabView(), tabs);
    EXPECT_EQ(bar->partnerView(), tabs);
    EXPECT_EQ(std::dynamic_pointer_cast<QFTabBarViewInterfaceFileOwner>(bar->delegate()), owner);
    EXPECT_EQ(std::dynamic_pointer_cast<QFTabBarView>(tabs->delegate()), bar) << "the bar follows its tab view";
    std::vector<std::string> labels;
    for (const auto& button : bar->orderedAttachedButtons())
        labels.push_back(button->tabViewItem() ? button->tabViewItem()->label().utf8() : "?");
    EXPECT_EQ(labels, (std::vector<std::string> { "Codes", "Labels" }));
    EXPECT_EQ(ui::registeredDraggedTypes(*bar),
        (std::vector<fnd::String> { QFAttachedTabBarButtonPasteboardType, "public.file-url" }));

    // Read back, the outlets answer what the file connected.
    EXPECT_EQ(bar->valueForKey("tabView").objectAs<ui::TabView>(), tabs);
    EXPECT_EQ(bar->valueForKey("delegate").object(), owner);
}

TEST_F(QFTabBarViewInterfaceFileTest, ADelegateOutletToAnObjectThatIsNoDelegateIsRefused)
{
    tabbartest::expectDelegateOutletRefused(QFTabBarViewInterfaceFileText, "window");
}
