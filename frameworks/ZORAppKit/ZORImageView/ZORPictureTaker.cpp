#include "frameworks/ZORAppKit/ZORImageView/ZORPictureTaker.h"

#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/panels/detail/FilePanelViews.h"

#include <algorithm>

FND_REGISTER_CLASS(ZORPictureTaker, fnd::Object)

namespace {

// The picture formats the image class reads.
const std::vector<fnd::String> PictureTypes { "png", "jpg", "jpeg", "tif", "tiff", "gif", "jp2", "svg", "pdf" };

fnd::String text(const char* key)
{
    auto bundle = ZORNSObject_Extension::bundle(ZORPictureTaker::staticClassInfo());
    return bundle ? bundle->localizedStringForKey(key, {}, "ZORImageView") : fnd::String(key);
}

}

void ZORPictureTaker::describeClass(fnd::ClassBuilder<ZORPictureTaker>& c)
{
    c.action("chooseRecent:", &ZORPictureTaker::chooseRecent);
}

ZORPictureTaker::ZORPictureTaker(Key)
{
}

std::shared_ptr<ZORPictureTaker> ZORPictureTaker::sharedPictureTaker()
{
    // Held for the whole process: the panel holds its delegate weakly.
    static const auto shared = std::make_shared<ZORPictureTaker>(Key {});
    return shared;
}

std::vector<fnd::String> ZORPictureTaker::recentPictures() const
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

void ZORPictureTaker::remember(const fnd::String& path)
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

std::shared_ptr<ui::View> ZORPictureTaker::makeAccessory()
{
    auto accessory = ui::View::create({ 0, 0, 360, 140 });
    m_preview = ui::ImageView::create({ 10, 10, 160, 120 });
    m_preview->setImageScaling(ui::ImageScaling::ProportionallyUpOrDown);
    m_preview->setImageFrameStyle(ui::ImageFrameStyle::GrayBezel);
    m_preview->setImage(m_inputImage);
    accessory->addSubview(m_preview);

    m_recentMenu = ui::PopUpButton::create({ 185, 96, 165, 26 }, true);
    m_recentMenu->addItemWithTitle(text("RecentPictures"));
    for (const auto& path : recentPictures()) {
        m_recentMenu->addItemWithTitle(path.lastPathComponent());
        auto item = m_recentMenu->lastItem();
        item->setRepresentedObject(path);
        item->setTarget(std::static_pointer_cast<fnd::Object>(shared_from_this()));
        item->setAction("chooseRecent:");
    }
    m_recentMenu->setEnabled(m_recentMenu->numberOfItems() > 1);
    accessory->addSubview(m_recentMenu);
    return accessory;
}

void ZORPictureTaker::beginPictureTakerSheetForWindow(
    const std::shared_ptr<ui::Window>& window, std::function<void(long)> handler)
{
    auto self = std::static_pointer_cast<ZORPictureTaker>(shared_from_this());
    m_panel = ui::OpenPanel::openPanel();
    m_panel->setMessage(text("ChooseAPicture"));
    m_panel->setAllowedFileTypes(PictureTypes);
    m_panel->setCanChooseDirectories(false);
    m_panel->setAllowsMultipleSelection(false);
    m_panel->setDelegate(self);
    m_panel->setAccessoryView(makeAccessory());
    m_panel->beginSheetModalForWindow(window, [self, handler = std::move(handler)](long code) {
        if (code == ui::ModalResponse::OK) {
            const auto& paths = self->m_panel->paths();
            auto image = paths.empty() ? nullptr : gfx::Image::imageWithContentsOfFile(paths.front()).value_or(nullptr);
            if (image) {
                self->m_outputImage = image;
                self->remember(paths.front());
            } else {
                code = ui::ModalResponse::Cancel;
            }
        }
        if (handler)
            handler(code);
    });
}

void ZORPictureTaker::chooseRecent(const fnd::Value& sender)
{
    auto item = sender.objectAs<ui::MenuItem>();
    if (!item || !m_panel)
        return;
    const auto path = item->representedObject().stringValue();
    m_panel->setDirectory(path.stringByDeletingLastPathComponent());
    const auto& list = m_panel->fileList();
    if (long row = list->rowOfName(path.lastPathComponent()); row >= 0)
        list->selectRows({ static_cast<std::size_t>(row) });
}

void ZORPictureTaker::panelSelectionDidChange(ui::SavePanel& panel)
{
    if (!m_preview)
        return;
    const auto& list = panel.fileList();
    const auto& rows = list->selectedRows();
    std::shared_ptr<gfx::Image> shown = m_inputImage;
    if (rows.size() == 1 && !list->entries()[rows.front()].isDirectory) {
        if (auto image = gfx::Image::imageWithContentsOfFile(list->entries()[rows.front()].path))
            shown = *image;
    }
    m_preview->setImage(shown);
}

std::optional<fnd::Error> ZORPictureTaker::panelValidateURL(ui::SavePanel&, const fnd::String& path)
{
    if (gfx::Image::imageWithContentsOfFile(path))
        return std::nullopt;
    return fnd::Error::make(
        "ZORPictureTaker", 1, fnd::String::format(text("NotAPicture"), { path.lastPathComponent() }));
}
