#include "platform/ui/panels/PreviewPanel.h"

#include "platform/foundation/files/FileURL.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <filesystem>
#include <unistd.h>

namespace {

// A view that controls the panel when it holds a file, and counts the keys the panel passes on.
class PreviewingView : public ui::View, public ui::PreviewPanelController, public ui::PreviewPanelDataSource,
                       public ui::PreviewPanelDelegate {
public:
    fnd::String file;
    int keys = 0;
    int ended = 0;
    bool acceptsFirstResponder() const override { return true; }
    bool acceptsPreviewPanelControl(ui::PreviewPanel&) override { return !file.isEmpty(); }
    void beginPreviewPanelControl(ui::PreviewPanel& panel) override
    {
        auto self = std::static_pointer_cast<PreviewingView>(shared_from_this());
        panel.setDelegate(self);
        panel.setDataSource(self);
    }
    void endPreviewPanelControl(ui::PreviewPanel&) override { ++ended; }
    long numberOfPreviewItemsInPreviewPanel(ui::PreviewPanel&) override { return 1; }
    fnd::String previewPanelPreviewItemAtIndex(ui::PreviewPanel&, long) override { return fnd::fileURLWithPath(file); }
    bool previewPanelHandleEvent(ui::PreviewPanel&, const ui::Event& event) override
    {
        keys += event.type() == ui::EventType::KeyDown;
        return true;
    }
};

class PreviewPanelTest : public uitest::UiTest { };

TEST_F(PreviewPanelTest, TheFirstResponderThatAcceptsControlsThePanel)
{
    auto folder = std::filesystem::temp_directory_path() / ("preview-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    auto png = folder / "shown.png";
    auto bitmap = gfx::BitmapImageRep::create(20, 10, gfx::BitmapLayout::ARGB32Premultiplied);
    bitmap->setSize({ 20, 10 });
    ASSERT_TRUE(bitmap->writeToFile(fnd::String(png.string()), gfx::BitmapImageFileType::PNG));

    auto window = ui::Window::create({ { 100, 100 }, { 300, 200 } });
    auto view = std::make_shared<PreviewingView>();
    view->initWithFrame({ 0, 0, 300, 200 });
    window->contentView()->addSubview(view);
    window->makeKeyAndOrderFront();
    window->makeFirstResponder(view);

    auto panel = ui::PreviewPanel::sharedPreviewPanel();
    panel->makeKeyAndOrderFront();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->dataSource()) << "a view without a file does not take the panel";
    panel->orderOut();

    view->file = fnd::String(png.string());
    panel->makeKeyAndOrderFront();
    EXPECT_EQ(panel->dataSource().get(), static_cast<ui::PreviewPanelDataSource*>(view.get()));
    EXPECT_EQ(panel->currentPreviewItem(), fnd::fileURLWithPath(view->file));
    backend->keyDown(*panel->window(), "x", ui::KeyCode::RightArrow);
    backend->dispatchEvents();
    EXPECT_EQ(view->keys, 1);
    panel->orderOut();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(view->ended, 1);
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

}
