#include "platform/ui/panels/PictureTaker.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/Paths.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/panels/detail/FilePanelViews.h"
#include "platform/ui/views/detail/PanelText.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/panels/CameraCapture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace ui {

FND_REGISTER_CLASS(PictureTaker, fnd::Object)

namespace {

// The picture formats the image class reads.
const std::vector<fnd::String> PictureTakerTypes { "png", "jpg", "jpeg", "tif", "tiff", "gif", "jp2", "svg", "pdf" };

fnd::String pictureEffectTitle(PictureEffect effect)
{
    switch (effect) {
    case PictureEffect::Greyscale:
        return detail::panelText("PictureEffectGreyscale", "Greyscale");
    case PictureEffect::Sepia:
        return detail::panelText("PictureEffectSepia", "Sepia");
    case PictureEffect::Invert:
        return detail::panelText("PictureEffectInvert", "Invert");
    case PictureEffect::None:
        break;
    }
    return detail::panelText("PictureEffectNone", "No Effect");
}

fnd::String pictureTakerSizeText(double percent)
{
    return fnd::String::format(
        detail::panelText("PictureSize", "Size: %@ %%"), { fnd::Value(long(std::lround(percent))) });
}

// "Snapshot 2024-05-01 14.03.07.png", the time of taking it.
fnd::String pictureTakerSnapshotName()
{
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[64];
    std::strftime(text, sizeof text, "Snapshot %Y-%m-%d %H.%M.%S.png", &local);
    return fnd::String(text);
}

}

void PictureTaker::describeClass(fnd::ClassBuilder<PictureTaker>& c)
{
    c.action("chooseRecent:", &PictureTaker::chooseRecent);
    c.action("effectChanged:", &PictureTaker::effectChanged);
    c.action("sizeChanged:", &PictureTaker::sizeChanged);
    c.action("takeSnapshot:", &PictureTaker::takeSnapshot);
    c.property(
        PictureTakerKey::AllowsVideoCapture, &PictureTaker::allowsVideoCapture, &PictureTaker::setAllowsVideoCapture);
    c.property(PictureTakerKey::ShowEffects, &PictureTaker::showsEffects, &PictureTaker::setShowsEffects);
    c.property(PictureTakerKey::AllowsEditing, &PictureTaker::allowsEditing, &PictureTaker::setAllowsEditing);
}

PictureTaker::PictureTaker(Key)
{
}

std::shared_ptr<PictureTaker> PictureTaker::sharedPictureTaker()
{
    // Held for the whole process: the panel holds its delegate weakly.
    static const auto shared = std::make_shared<PictureTaker>(Key {});
    return shared;
}

std::vector<fnd::String> PictureTaker::recentPictures() const
{
    std::vector<fnd::String> paths;
    const auto stored = fnd::UserDefaults::standardUserDefaults().objectForKey(RecentPicturesKey);
    if (const auto* array = stored.array()) {
        for (const auto& entry : *array) {
            bool isFolder = false;
            const auto path = entry.stringValue();
            if (!path.isEmpty() && fnd::FileManager::defaultManager().fileExists(path, isFolder) && !isFolder)
                paths.push_back(path);
        }
    }
    return paths;
}

void PictureTaker::remember(const fnd::String& path)
{
    auto paths = recentPictures();
    std::erase(paths, path);
    paths.insert(paths.begin(), path);
    if (paths.size() > MaximumRecentPictures)
        paths.resize(MaximumRecentPictures);
    fnd::Array stored;
    for (const auto& p : paths)
        stored.push_back(p);
    fnd::UserDefaults::standardUserDefaults().setObject(stored, RecentPicturesKey);
}

std::shared_ptr<View> PictureTaker::makeAccessory()
{
    auto self = std::static_pointer_cast<fnd::Object>(shared_from_this());
    auto accessory = View::create({ 0, 0, 420, 170 });
    m_preview = PictureEditView::create({ 10, 10, 180, 150 });
    m_preview->setEditable(m_allowsEditing);
    accessory->addSubview(m_preview);

    constexpr double column = 205, width = 205;
    m_recentMenu = PopUpButton::create({ column, 134, width, 26 }, true);
    m_recentMenu->addItemWithTitle(detail::panelText("PictureRecent", "Recent Pictures"));
    for (const auto& path : recentPictures()) {
        m_recentMenu->addItemWithTitle(path.lastPathComponent());
        auto item = m_recentMenu->lastItem();
        item->setRepresentedObject(path);
        item->setTarget(self);
        item->setAction("chooseRecent:");
    }
    m_recentMenu->setEnabled(m_recentMenu->numberOfItems() > 1);
    accessory->addSubview(m_recentMenu);

    m_effectsMenu = nullptr;
    if (m_showsEffects) {
        m_effectsMenu = PopUpButton::create({ column, 102, width, 26 });
        for (auto effect : pictureEffects())
            m_effectsMenu->addItemWithTitle(pictureEffectTitle(effect));
        m_effectsMenu->setTarget(self);
        m_effectsMenu->setAction("effectChanged:");
        accessory->addSubview(m_effectsMenu);
    }

    m_sizeSlider = nullptr;
    m_sizeLabel = nullptr;
    if (m_allowsEditing) {
        m_sizeLabel = TextField::labelWithString(pictureTakerSizeText(100));
        m_sizeLabel->setFrame({ column, 78, width, 17 });
        accessory->addSubview(m_sizeLabel);
        m_sizeSlider = Slider::create({ column, 56, width, 20 });
        m_sizeSlider->setMinValue(10);
        m_sizeSlider->setMaxValue(100);
        m_sizeSlider->setDoubleValue(100);
        m_sizeSlider->setContinuous(true);
        m_sizeSlider->setTarget(self);
        m_sizeSlider->setAction("sizeChanged:");
        accessory->addSubview(m_sizeSlider);
    }

    m_snapshotButton = nullptr;
    m_cameraNote = nullptr;
    if (m_allowsVideoCapture) {
        const bool camera = CameraCapture::isCameraAvailable();
        m_snapshotButton
            = Button::create({ column, 28, width, 24 }, detail::panelText("PictureSnapshot", "Take Snapshot"));
        m_snapshotButton->setTarget(self);
        m_snapshotButton->setAction("takeSnapshot:");
        m_snapshotButton->setEnabled(camera);
        accessory->addSubview(m_snapshotButton);
        m_cameraNote
            = TextField::labelWithString(camera ? fnd::String() : detail::panelText("CameraNone", "No camera found"));
        m_cameraNote->setFrame({ column, 6, width, 17 });
        accessory->addSubview(m_cameraNote);
    }
    m_chosenPath = {};
    showChosen(m_inputImage);
    return accessory;
}

void PictureTaker::beginPictureTakerSheetForWindow(
    const std::shared_ptr<Window>& window, std::function<void(long)> handler)
{
    auto self = std::static_pointer_cast<PictureTaker>(shared_from_this());
    m_panel = OpenPanel::openPanel();
    m_panel->setMessage(detail::panelText("PictureChoose", "Choose a picture"));
    m_panel->setAllowedFileTypes(PictureTakerTypes);
    m_panel->setCanChooseDirectories(false);
    m_panel->setAllowsMultipleSelection(false);
    m_panel->setDelegate(self);
    m_panel->setAccessoryView(makeAccessory());
    m_panel->beginSheetModalForWindow(window, [self, handler = std::move(handler)](long code) {
        if (code == ModalResponse::OK) {
            const auto& paths = self->m_panel->paths();
            const fnd::String path = paths.empty() ? fnd::String() : paths.front();
            // The preview shows the picture of the file selected last, which the crop rectangle belongs to.
            if (path != self->m_chosenPath || !self->m_chosen) {
                self->m_chosenPath = path;
                self->showChosen(
                    path.isEmpty() ? nullptr : gfx::Image::imageWithContentsOfFile(path).value_or(nullptr));
                if (self->m_preview)
                    self->m_preview->setCropRect(std::nullopt);
            }
            auto output = self->m_chosen ? self->edited(self->m_chosen) : nullptr;
            if (output) {
                self->m_outputImage = output;
                self->remember(path);
            } else {
                code = ModalResponse::Cancel;
            }
        }
        if (handler)
            handler(code);
    });
}

PictureEffect PictureTaker::selectedEffect() const
{
    if (!m_showsEffects || !m_effectsMenu)
        return PictureEffect::None;
    const long index = m_effectsMenu->indexOfSelectedItem();
    const auto& effects = pictureEffects();
    return index >= 0 && std::size_t(index) < effects.size() ? effects[std::size_t(index)] : PictureEffect::None;
}

std::shared_ptr<gfx::Image> PictureTaker::edited(const std::shared_ptr<gfx::Image>& picture) const
{
    std::optional<gfx::Rect> crop;
    double scale = 1;
    if (m_allowsEditing && m_preview) {
        crop = m_preview->cropRect();
        if (m_sizeSlider)
            scale = m_sizeSlider->doubleValue() / 100;
    }
    const PictureEffect effect = selectedEffect();
    // Untouched, the picture stays as it came (with every representation it has).
    if (!crop && scale == 1 && effect == PictureEffect::None)
        return picture;
    return editedPicture(*picture, crop, scale, effect);
}

void PictureTaker::showChosen(std::shared_ptr<gfx::Image> picture)
{
    m_chosen = std::move(picture);
    if (!m_preview)
        return;
    const auto crop = m_preview->cropRect();
    const bool samePicture = m_preview->image() && m_chosen && m_preview->image()->size() == m_chosen->size();
    const PictureEffect effect = selectedEffect();
    auto shown
        = m_chosen && effect != PictureEffect::None ? editedPicture(*m_chosen, std::nullopt, 1, effect) : m_chosen;
    m_preview->setImage(shown);
    if (samePicture)
        m_preview->setCropRect(crop);
}

void PictureTaker::chooseRecent(const fnd::Value& sender)
{
    auto item = sender.objectAs<MenuItem>();
    if (!item || !m_panel)
        return;
    const auto path = item->representedObject().stringValue();
    m_panel->setDirectory(path.stringByDeletingLastPathComponent());
    const auto& list = m_panel->fileList();
    if (long row = list->rowOfName(path.lastPathComponent()); row >= 0)
        list->selectRows({ static_cast<std::size_t>(row) });
}

void PictureTaker::effectChanged(const fnd::Value&)
{
    showChosen(m_chosen);
}

void PictureTaker::sizeChanged(const fnd::Value&)
{
    if (m_sizeSlider && m_sizeLabel)
        m_sizeLabel->setStringValue(pictureTakerSizeText(m_sizeSlider->doubleValue()));
}

void PictureTaker::takeSnapshot(const fnd::Value&)
{
    if (!m_panel)
        return;
    auto note = [this](const fnd::String& text) {
        if (m_cameraNote)
            m_cameraNote->setStringValue(text);
    };
    auto snapshot = CameraCapture::takeSnapshot();
    if (!snapshot) {
        note(snapshot.error().localizedDescription());
        return;
    }
    auto png = (*snapshot)->representationUsingType(gfx::BitmapImageFileType::PNG);
    const auto folder = fnd::Paths::cacheHome().stringByAppendingPathComponent("barcodes-snapshots");
    const auto path = folder.stringByAppendingPathComponent(pictureTakerSnapshotName());
    auto& files = fnd::FileManager::defaultManager();
    fnd::Expected<void> saved = png ? files.createDirectory(folder) : fnd::Expected<void>(std::unexpected(png.error()));
    if (saved)
        saved = files.writeAtomically(path, *png);
    if (!saved) {
        note(saved.error().localizedDescription());
        return;
    }
    note({});
    // Chosen like any file: selected in its folder, so OK takes it and it joins the recent pictures.
    m_panel->setDirectory(folder);
    const auto& list = m_panel->fileList();
    if (long row = list->rowOfName(path.lastPathComponent()); row >= 0)
        list->selectRows({ static_cast<std::size_t>(row) });
}

void PictureTaker::panelSelectionDidChange(SavePanel& panel)
{
    if (!m_preview)
        return;
    const auto& list = panel.fileList();
    const auto& rows = list->selectedRows();
    std::shared_ptr<gfx::Image> shown = m_inputImage;
    m_chosenPath = {};
    if (rows.size() == 1 && !list->entries()[rows.front()].isDirectory) {
        if (auto image = gfx::Image::imageWithContentsOfFile(list->entries()[rows.front()].path)) {
            shown = *image;
            m_chosenPath = list->entries()[rows.front()].path;
        }
    }
    showChosen(shown);
}

std::optional<fnd::Error> PictureTaker::panelValidateURL(SavePanel&, const fnd::String& path)
{
    if (gfx::Image::imageWithContentsOfFile(path))
        return std::nullopt;
    return fnd::Error::make("PictureTaker", 1,
        fnd::String::format(detail::panelText("PictureNotAPicture", "“%@” is not a picture this program can read."),
            { fnd::Value(path.lastPathComponent()) }));
}

}
