// Split views written in interface files: their panes go through the split view's own adding.
#include "SplitViewTestSupport.h"

#include "platform/ui/interface/InterfaceFile.h"

namespace {

using namespace kjtest;

class KJSplitViewInterfaceFileTest : public uitest::UiTest { };

}

TEST_F(KJSplitViewInterfaceFileTest, PanesFromAFileAreWrappedAndLaidOutAsPanesAddedInCode)
{
    const char* text = R"(<interface>
  <object id="window" class="Window">
    <rect key="contentRect" x="100" y="100" width="401" height="200"/>
    <object key="contentView" class="View">
      <subviews>
        <object id="split" class="KJSplitView">
          <rect key="frame" x="0" y="0" width="401" height="200"/>
          <bool key="isVertical">true</bool>
          <real key="dividerThickness">1</real>
          <subviews>
            <object id="list" class="View"><rect key="frame" x="0" y="0" width="100" height="200"/></object>
            <object id="grid" class="View"><rect key="frame" x="0" y="0" width="300" height="200"/></object>
          </subviews>
        </object>
      </subviews>
    </object>
  </object>
</interface>)";
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(text));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto split = std::dynamic_pointer_cast<KJSplitView>(loaded->objectsById.at("split"));
    auto list = std::dynamic_pointer_cast<ui::View>(loaded->objectsById.at("list"));
    auto grid = std::dynamic_pointer_cast<ui::View>(loaded->objectsById.at("grid"));
    ASSERT_NE(split, nullptr);
    ASSERT_EQ(split->subviews().size(), 2u);
    for (const auto& view : { list, grid }) {
        auto pane = std::dynamic_pointer_cast<KJSplitSubview>(view->superview());
        ASSERT_NE(pane, nullptr) << "each view from the file sits in a pane";
        EXPECT_EQ(pane->superview(), split);
        EXPECT_EQ(view->frame().origin, gfx::Point(0, 0));
    }
    // Laid out side by side across the whole width, one point of divider between them.
    split->KJ_adjustOutermostIfNeeded();
    EXPECT_EQ(frames(*split), "0 0 100 200 | 101 0 300 200");
    EXPECT_EQ(grid->frame().size, gfx::Size(300, 200));
}
