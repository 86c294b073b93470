// A tab bar, its tab view and their items written in an interface file and connected by outlets.
#include "ZTBTabBarControlTestSupport.h"

#include "frameworks/tab-bar-core/support/ForeignDrag.h"
#include "frameworks/tab-bar-core/support/TabBarInterfaceFile.h"
#include "platform/ui/interface/InterfaceFile.h"

namespace {

class ZTBTabBarInterfaceFileTest : public ztbtest::TabBarControlTest { };

// The file's owner, which the file makes the bar's delegate.
class ZTBTabBarInterfaceFileOwner : public fnd::Object, public ztbtest::RecordingDelegate { };

// The bar's outlets, and the bar as the tab view's delegate (set from outside).
const std::string ZTBTabBarInterfaceFileOutlets = R"(    <outlet source="bar" key="tabView" destination="tabs"/>
    <outlet source="bar" key="partnerView" destination="tabs"/>
    <outlet source="tabs" key="delegate" destination="bar"/>)";

std::string ztbTabBarInterfaceFile(const std::string& firstOutlets = {})
{
    return tabbartest::tabBarInterfaceFile("ZTBTabBarControl", firstOutlets + ZTBTabBarInterfaceFileOutlets);
}

}

TEST_F(ZTBTabBarInterfaceFileTest, OutletsConnectTheBarAndItsTabViewWhoseItemsComeFromTheFile)
{
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(ztbTabBarInterfaceFile()));
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
    std::string text = ztbTabBarInterfaceFile();
    text.replace(text.find(R"(key="delegate" destination="bar")"), 32, R"(key="delegate" destination="window")");
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(text));
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().code(), ui::InterfaceFile::InvalidValueError);
    EXPECT_NE(loaded.error().localizedDescription().utf8().find("not a tab view delegate"), std::string::npos)
        << loaded.error().localizedDescription().utf8();

    // The bar's own delegate outlet is checked the same way.
    tabbartest::expectDelegateOutletRefused(
        ztbTabBarInterfaceFile(R"(    <outlet source="bar" key="delegate" destination="owner"/>
)"),
        "window");
}

// Outlets are connected in file order: a delegate connected before the tab view is asked for its extra drag types
// again once the bar has its tab view, so a file name held over a tab springs it open.
TEST_F(ZTBTabBarInterfaceFileTest, ADelegateConnectedBeforeTheTabViewSpringsTabsOpen)
{
    auto owner = std::make_shared<ZTBTabBarInterfaceFileOwner>();
    owner->extraDragTypes = std::vector<fnd::String> { "public.file-url" };
    const std::string text = ztbTabBarInterfaceFile(R"(    <outlet source="bar" key="delegate" destination="owner"/>
)");
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(text), owner);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto window = std::dynamic_pointer_cast<ui::Window>(loaded->objectsById.at("window"));
    auto tabs = std::dynamic_pointer_cast<ui::TabView>(loaded->objectsById.at("tabs"));
    auto bar = std::dynamic_pointer_cast<ZTBTabBarControl>(loaded->objectsById.at("bar"));
    ASSERT_TRUE(window && tabs && bar);
    EXPECT_EQ(std::dynamic_pointer_cast<ZTBTabBarInterfaceFileOwner>(bar->delegate()), owner);
    EXPECT_EQ(
        ui::registeredDraggedTypes(*bar), (std::vector<fnd::String> { ZTBTabBarControlItemPBType, "public.file-url" }));

    window->makeKeyAndOrderFront();
    auto source = tabbartest::ForeignDragSource::create({ 20, 20, 40, 40 });
    window->contentView()->addSubview(source);
    settle();
    ASSERT_EQ(tabs->selectedTabViewItem()->label(), fnd::String("Codes"));
    auto labels = bar->cells().at(1);
    const gfx::Point overLabels = bar->convertPointToView({ labels->frame().midX(), labels->frame().midY() }, nullptr);
    // Held a second, past the 0.668-second spring delay.
    tabbartest::holdForeignDrag(*backend, *window, *source, overLabels, 1.0);
    EXPECT_TRUE(source->dragged);
    EXPECT_EQ(tabs->selectedTabViewItem()->label(), fnd::String("Labels"));
}
