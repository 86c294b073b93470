#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/Slider.h"
#include "platform/ui/panels/OpenPanel.h"
#include "platform/ui/panels/PictureEditView.h"
#include "platform/ui/panels/PictureEditing.h"
#include "platform/ui/text/TextField.h"

#include <functional>
#include <memory>
#include <vector>

namespace ui {

// The options a picture taker run honours, as keys of the taker (setValueForKey).
namespace PictureTakerKey {
// A "Take Snapshot" button takes the picture from the camera (CameraCapture); without a camera it says so.
inline const fnd::String AllowsVideoCapture = "allowsVideoCapture";
// A pop-up of effects (PictureEffect) applied to the picture.
inline const fnd::String ShowEffects = "showEffects";
// The person may keep a part of the picture (a rectangle drawn on the preview) and choose its size (10 to 100 %).
inline const fnd::String AllowsEditing = "allowsEditing";
}

// Picks a picture: an open panel for the image files this program reads, with a preview (the current picture until
// another is selected), a menu of the pictures chosen recently (kept in the user defaults) and, as the options ask,
// a camera snapshot, effects and cropping and scaling. A snapshot is saved as a PNG file under
// $XDG_CACHE_HOME/barcodes-snapshots/ and selected in the panel, so it is chosen like any file. One shared instance;
// each run uses a panel of its own.
class PictureTaker final : public fnd::Object, public OpenSavePanelDelegate {
    FND_OBJECT(PictureTaker)
    static void describeClass(fnd::ClassBuilder<PictureTaker>& c);

    struct Key {
        explicit Key() = default;
    };

public:
    static constexpr std::size_t MaximumRecentPictures = 8;
    // The stored name predates the taker's move into the platform; kept so the list survives.
    static inline const fnd::String RecentPicturesKey = "ZORPictureTakerRecentPictures";

    explicit PictureTaker(Key);
    static std::shared_ptr<PictureTaker> sharedPictureTaker();

    // The picture shown before another is chosen.
    const std::shared_ptr<gfx::Image>& inputImage() const { return m_inputImage; }
    void setInputImage(std::shared_ptr<gfx::Image> image) { m_inputImage = std::move(image); }
    // The picture of the last run that ended with OK, edited as the person chose.
    const std::shared_ptr<gfx::Image>& outputImage() const { return m_outputImage; }
    // Files chosen recently, newest first; files that are gone are left out.
    std::vector<fnd::String> recentPictures() const;

    bool allowsVideoCapture() const { return m_allowsVideoCapture; }
    void setAllowsVideoCapture(bool flag) { m_allowsVideoCapture = flag; }
    bool showsEffects() const { return m_showsEffects; }
    void setShowsEffects(bool flag) { m_showsEffects = flag; }
    bool allowsEditing() const { return m_allowsEditing; }
    void setAllowsEditing(bool flag) { m_allowsEditing = flag; }

    // Runs the panel as a sheet on the window; the handler gets OK (1) or Cancel (0).
    void beginPictureTakerSheetForWindow(const std::shared_ptr<Window>& window, std::function<void(long)> handler);

    // The panel of the running (or last) run and its accessory views, for the owner and for tests; a view the
    // options leave out is nullptr.
    const std::shared_ptr<OpenPanel>& panel() const { return m_panel; }
    const std::shared_ptr<PictureEditView>& preview() const { return m_preview; }
    const std::shared_ptr<PopUpButton>& recentMenu() const { return m_recentMenu; }
    const std::shared_ptr<PopUpButton>& effectsMenu() const { return m_effectsMenu; }
    const std::shared_ptr<Slider>& sizeSlider() const { return m_sizeSlider; }
    const std::shared_ptr<Button>& snapshotButton() const { return m_snapshotButton; }
    const std::shared_ptr<TextField>& cameraNote() const { return m_cameraNote; }

    // Actions of the accessory views.
    void chooseRecent(const fnd::Value& sender);
    void effectChanged(const fnd::Value& sender);
    void sizeChanged(const fnd::Value& sender);
    void takeSnapshot(const fnd::Value& sender);

    void panelSelectionDidChange(SavePanel& panel) override;
    std::optional<fnd::Error> panelValidateURL(SavePanel& panel, const fnd::String& path) override;

private:
    std::shared_ptr<View> makeAccessory();
    void remember(const fnd::String& path);
    // The picture in the preview: the chosen one with the effect, the crop rectangle kept when it still fits.
    void showChosen(std::shared_ptr<gfx::Image> picture);
    PictureEffect selectedEffect() const;
    // The chosen picture as the options make it: cropped, scaled, with the effect.
    std::shared_ptr<gfx::Image> edited(const std::shared_ptr<gfx::Image>& picture) const;

    std::shared_ptr<gfx::Image> m_inputImage;
    std::shared_ptr<gfx::Image> m_outputImage;
    // The picture the preview shows unedited, and its file (empty for the input picture).
    std::shared_ptr<gfx::Image> m_chosen;
    fnd::String m_chosenPath;
    bool m_allowsVideoCapture { false };
    bool m_showsEffects { false };
    bool m_allowsEditing { false };
    std::shared_ptr<OpenPanel> m_panel;
    std::shared_ptr<PictureEditView> m_preview;
    std::shared_ptr<PopUpButton> m_recentMenu;
    std::shared_ptr<PopUpButton> m_effectsMenu;
    std::shared_ptr<Slider> m_sizeSlider;
    std::shared_ptr<TextField> m_sizeLabel;
    std::shared_ptr<Button> m_snapshotButton;
    std::shared_ptr<TextField> m_cameraNote;
};

}
