// A table grid written in an interface file, with its data source and delegate connected as outlets.
#include "TableGridTestSupport.h"

#include "platform/ui/interface/InterfaceFile.h"

namespace {

class ZORTableGridFileSource : public fnd::Object, public gridtest::GridSource {
    FND_OBJECT(ZORTableGridFileSource)
};

class ZORTableGridFileDelegate : public fnd::Object, public ZORTableGridDelegate {
    FND_OBJECT(ZORTableGridFileDelegate)
public:
    void tableGridDidChangeSelection(const fnd::Notification&) override { ++selectionChanges; }
    int selectionChanges { 0 };
};

class ZORTableGridInterfaceFileTest : public uitest::UiTest { };

const char* const ZORTableGridInterfaceFileText = R"(<interface>
  <object id="window" class="Window">
    <rect key="contentRect" x="100" y="100" width="400" height="300"/>
    <object key="contentView" class="View">
      <subviews>
        <object id="grid" class="ZORTableGrid">
          <rect key="frame" x="0" y="0" width="400" height="300"/>
          <bool key="allowsEditing">true</bool>
        </object>
      </subviews>
    </object>
  </object>
  <object id="source" class="ZORTableGridFileSource"/>
  <object id="delegate" class="ZORTableGridFileDelegate"/>
  <connections>
    <outlet source="grid" key="dataSource" destination="source"/>
    <outlet source="grid" key="delegate" destination="delegate"/>
  </connections>
</interface>)";

}

FND_REGISTER_CLASS(ZORTableGridFileSource, fnd::Object)
FND_REGISTER_CLASS(ZORTableGridFileDelegate, fnd::Object)

TEST_F(ZORTableGridInterfaceFileTest, DataSourceAndDelegateAreConnectedFromTheFile)
{
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(ZORTableGridInterfaceFileText));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto grid = std::dynamic_pointer_cast<ZORTableGrid>(loaded->objectsById.at("grid"));
    auto source = std::dynamic_pointer_cast<ZORTableGridFileSource>(loaded->objectsById.at("source"));
    auto delegate = std::dynamic_pointer_cast<ZORTableGridFileDelegate>(loaded->objectsById.at("delegate"));
    ASSERT_TRUE(grid && source && delegate);
    EXPECT_EQ(grid->dataSource().get(), static_cast<ZORTableGridDataSource*>(source.get()));
    EXPECT_EQ(grid->delegate().get(), static_cast<ZORTableGridDelegate*>(delegate.get()));
    EXPECT_EQ(grid->valueForKey("dataSource").object(), source) << "the key reads the object back";

    // The connected data source fills the grid, and the delegate hears its selection changes.
    source->columns = 4;
    source->rows = 1000;
    source->values[{ 2, 999 }] = "last";
    grid->reloadData();
    EXPECT_EQ(grid->numberOfRows(), 1000u);
    EXPECT_EQ(grid->numberOfColumns(), 4u);
    grid->setSelectedRowIndexes(fnd::IndexSet(fnd::Range { 999, 1 }));
    EXPECT_EQ(delegate->selectionChanges, 1);
}

TEST_F(ZORTableGridInterfaceFileTest, AnObjectThatIsNoDataSourceOrDelegateIsRefused)
{
    for (const char* key : { "dataSource", "delegate" }) {
        std::string text = ZORTableGridInterfaceFileText;
        const std::string outlet = std::string("key=\"") + key + "\" destination=\"";
        auto at = text.find(outlet) + outlet.size();
        text.replace(at, text.find('"', at) - at, "window");
        auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(text));
        ASSERT_FALSE(loaded) << key;
        EXPECT_EQ(loaded.error().code(), ui::InterfaceFile::InvalidValueError) << key;
        EXPECT_NE(loaded.error().localizedDescription().utf8().find("A Window is not a table grid"), std::string::npos)
            << loaded.error().localizedDescription().utf8();
    }
}
