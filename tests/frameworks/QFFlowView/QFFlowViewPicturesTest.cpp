#include "QFFlowViewTestSupport.h"

#include "support/GeneratedPictures.h"

#include "platform/foundation/files/FileURL.h"

namespace flowviewtest {
namespace {

// A folder of 200 picture files in four formats browsed as file items: every item shows its own picture.
TEST_F(FlowViewTest, BrowsesAFolderOfPicturesEachShowingItsOwn)
{
    auto pictures = testsupport::generatePictureFolder(folder / "pictures", 200);
    std::vector<fnd::Value> items;
    for (const auto& picture : pictures) {
        auto path = fnd::String(picture.path.string());
        items.push_back(TestItem::create(path, fnd::fileURLWithPath(path), QFFlowViewRepresentationType::URL,
            fnd::String(picture.path.filename().string())));
    }
    useItems(items);
    ASSERT_EQ(view->numberOfItems(), 200u);

    for (std::size_t index : { std::size_t(0), std::size_t(101), std::size_t(199), std::size_t(102) }) {
        view->setSelectedIndex(index);
        settle(1);
        drainPictures();
        // Every item near the selection holds a picture of its own file.
        auto visible = view->visibleItemIndexes();
        ASSERT_GT(visible.length, 0);
        for (auto i = visible.location; i < visible.location + visible.length; ++i) {
            auto contents = view->imageLayerAtIndex(std::size_t(i))->contents();
            ASSERT_TRUE(contents) << i;
            auto middle = contents->pixelBuffer().pixel(int(contents->pixelsWide() / 2), int(contents->pixelsHigh() / 2));
            EXPECT_TRUE(testsupport::pixelShowsColor(middle, pictures[std::size_t(i)].rgb))
                << "item " << i << " (" << pictures[std::size_t(i)].path.filename() << ") shows " << std::hex << middle;
        }
        // And the window shows the selected one in front.
        auto image = backend->imageOfWindow(*window);
        uitest::keepSnapshot(image, ("flowview-folder-" + std::to_string(index)).c_str());
        auto r = view->rectInViewForLayer(*view->imageLayerAtIndex(index));
        auto at = windowPoint({ r.midX(), r.midY() });
        auto pixels = image->pixelBuffer();
        auto composited = pixels.pixel(int(at.x), pixels.height - 1 - int(at.y));
        EXPECT_TRUE(testsupport::pixelShowsColor(composited, pictures[index].rgb))
            << "selected " << index << " composited " << std::hex << composited;
        EXPECT_EQ(view->title(), fnd::String(pictures[index].path.filename().string()));
    }
}

}
}
