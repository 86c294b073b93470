// A flow view written in an interface file, its data source and delegate connected as outlets to the file's owner,
// which gives the items in awakeFromNib.
#include "QFFlowViewTestSupport.h"

#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/ui/interface/InterfaceFile.h"

namespace flowviewtest {
namespace {

class FlowViewFileOwner : public fnd::Object, public QFFlowViewDataSource, public QFFlowViewDelegate {
    FND_OBJECT(FlowViewFileOwner)
    static void describeClass(fnd::ClassBuilder<FlowViewFileOwner>& c)
    {
        c.property(
            "flowView", [](const FlowViewFileOwner& o) { return std::static_pointer_cast<fnd::Object>(o.flowView); },
            [](FlowViewFileOwner& o, const std::shared_ptr<fnd::Object>& view) {
                o.flowView = std::dynamic_pointer_cast<QFFlowView>(view);
            });
        c.action("awakeFromNib", &FlowViewFileOwner::awakeFromNib);
    }

public:
    void awakeFromNib()
    {
        if (flowView)
            flowView->reloadContent();
    }
    std::optional<std::size_t> numberOfItemsInFlowView(QFFlowView&) override { return items.size(); }
    std::optional<fnd::Value> flowViewItemAtIndex(QFFlowView&, std::size_t index) override
    {
        return index < items.size() ? items[index] : fnd::Value();
    }
    void flowViewSelectionDidChange(QFFlowView&) override { ++selectionChanges; }

    std::shared_ptr<QFFlowView> flowView;
    std::vector<fnd::Value> items;
    int selectionChanges { 0 };
};

const char* const FlowViewInterfaceFileText = R"(<interface>
  <object id="window" class="Window">
    <rect key="contentRect" x="100" y="100" width="800" height="400"/>
    <object key="contentView" class="View">
      <subviews>
        <object id="flow" class="QFFlowView">
          <rect key="frame" x="0" y="0" width="800" height="400"/>
          <real key="spacing">30</real>
        </object>
      </subviews>
    </object>
  </object>
  <connections>
    <outlet source="flow" key="dataSource" destination="owner"/>
    <outlet source="flow" key="delegate" destination="owner"/>
    <outlet source="owner" key="flowView" destination="flow"/>
  </connections>
</interface>)";

}

FND_REGISTER_CLASS(FlowViewFileOwner, fnd::Object)

namespace {

TEST_F(FlowViewTest, DataSourceAndDelegateAreConnectedFromAnInterfaceFile)
{
    auto owner = fnd::makeObject<FlowViewFileOwner>();
    owner->items = bitmapItems(5);
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(FlowViewInterfaceFileText), owner);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto flow = std::dynamic_pointer_cast<QFFlowView>(loaded->objectsById.at("flow"));
    ASSERT_TRUE(flow);
    EXPECT_EQ(flow->dataSource().get(), static_cast<QFFlowViewDataSource*>(owner.get()));
    EXPECT_EQ(flow->delegate().get(), static_cast<QFFlowViewDelegate*>(owner.get()));
    EXPECT_EQ(flow->valueForKey("dataSource").object(), owner) << "the key reads the object back";
    EXPECT_DOUBLE_EQ(flow->spacing(), 30);
    // The owner's awakeFromNib gave the items before the window was ever laid out.
    EXPECT_EQ(flow->numberOfItems(), 5u);

    auto fileWindow = std::dynamic_pointer_cast<ui::Window>(loaded->objectsById.at("window"));
    fileWindow->makeKeyAndOrderFront();
    drainPictures(*flow);
    auto own = owner->items[0].objectAs<TestItem>()->representation.objectAs<gfx::BitmapImageRep>();
    EXPECT_EQ(flow->imageLayerAtIndex(0)->contents(), own);
    // The delegate heard the reload select the first item, then this.
    flow->setSelectedIndex(3);
    EXPECT_EQ(owner->selectionChanges, 2);
    fileWindow->close();
}

TEST_F(FlowViewTest, AnInterfaceFileOutletOfAnotherKindIsRefused)
{
    for (const char* key : { "dataSource", "delegate" }) {
        std::string text = FlowViewInterfaceFileText;
        const std::string outlet = std::string("key=\"") + key + "\" destination=\"";
        auto at = text.find(outlet) + outlet.size();
        text.replace(at, text.find('"', at) - at, "window");
        auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(text), fnd::makeObject<FlowViewFileOwner>());
        ASSERT_FALSE(loaded) << key;
        EXPECT_EQ(loaded.error().code(), ui::InterfaceFile::InvalidValueError) << key;
        EXPECT_NE(loaded.error().localizedDescription().utf8().find("A Window is not a flow view"), std::string::npos)
            << loaded.error().localizedDescription().utf8();
    }
}

}
}
