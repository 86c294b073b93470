#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/panels/OpenPanel.h"
#include "platform/ui/controls/PopUpButton.h"

#include <functional>
#include <memory>
#include <vector>

// Picks a picture for an image well: an open panel for the image files this program reads, with a preview of the
// selected picture (the current picture until one is selected) and a menu of the pictures chosen recently, which the
// user defaults keep. One shared instance; each run uses a panel of its own.
class ZORPictureTaker final : public fnd::Object, public ui::OpenSavePanelDelegate {
    FND_OBJECT(ZORPictureTaker)
    static void describeClass(fnd::ClassBuilder<ZORPictureTaker>& c);

    struct Key {
        explicit Key() = default;
    };

public:
    static constexpr std::size_t MaximumRecentPictures = 8;
    static inline const fnd::String RecentPicturesKey = "ZORPictureTakerRecentPictures";

    explicit ZORPictureTaker(Key);
    static std::shared_ptr<ZORPictureTaker> sharedPictureTaker();

    // The picture shown before another is chosen.
    const std::shared_ptr<gfx::Image>& inputImage() const { return m_inputImage; }
    void setInputImage(std::shared_ptr<gfx::Image> image) { m_inputImage = std::move(image); }
    // The picture chosen in the last run that ended with OK.
    const std::shared_ptr<gfx::Image>& outputImage() const { return m_outputImage; }
    // Files chosen recently, newest first; files that are gone are left out.
    std::vector<fnd::String> recentPictures() const;

    // Runs the panel as a sheet on the window; the handler gets OK (1) or Cancel (0).
    void beginPictureTakerSheetForWindow(const std::shared_ptr<ui::Window>& window, std::function<void(long)> handler);

    // The panel of the running (or last) run and its accessory views, for the owner and for tests.
    const std::shared_ptr<ui::OpenPanel>& panel() const { return m_panel; }
    const std::shared_ptr<ui::ImageView>& preview() const { return m_preview; }
    const std::shared_ptr<ui::PopUpButton>& recentMenu() const { return m_recentMenu; }

    // The recent-pictures menu's action: the picture's folder opens with the picture selected.
    void chooseRecent(const fnd::Value& sender);

    void panelSelectionDidChange(ui::SavePanel& panel) override;
    std::optional<fnd::Error> panelValidateURL(ui::SavePanel& panel, const fnd::String& path) override;

private:
    std::shared_ptr<ui::View> makeAccessory();
    void remember(const fnd::String& path);

    std::shared_ptr<gfx::Image> m_inputImage;
    std::shared_ptr<gfx::Image> m_outputImage;
    std::shared_ptr<ui::OpenPanel> m_panel;
    std::shared_ptr<ui::ImageView> m_preview;
    std::shared_ptr<ui::PopUpButton> m_recentMenu;
};
