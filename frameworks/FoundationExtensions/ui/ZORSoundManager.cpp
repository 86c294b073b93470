#include "frameworks/FoundationExtensions/ui/ZORSoundManager.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/desktop/Sound.h"

ZORSoundManager& ZORSoundManager::getSharedSoundManager()
{
    static ZORSoundManager& shared = []() -> ZORSoundManager& {
        static ZORSoundManager manager;
        manager.addSoundsFromPath(ui::Sound::systemSoundsFolder());
        manager.addSoundsFromPath(ui::Sound::userSoundsFolder());
        return manager;
    }();
    return shared;
}

void ZORSoundManager::addSoundsFromPath(const fnd::String& folder)
{
    auto& files = fnd::FileManager::defaultManager();
    auto names = files.contentsOfDirectory(folder);
    if (!names)
        return;
    std::lock_guard lock(m_mutex);
    for (const auto& name : *names) {
        auto extension = name.pathExtension().lowercaseString();
        if (extension != "aiff" && extension != "wav" && extension != "snd" && extension != "oga" && extension != "ogg")
            continue;
        auto path = folder.stringByAppendingPathComponent(name);
        if (files.typeOfItem(path) != fnd::FileType::Regular)
            continue;
        m_dataArray.push_back({ name.stringByDeletingPathExtension(), name, folder });
    }
}

std::int64_t ZORSoundManager::count() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<std::int64_t>(m_dataArray.size());
}

fnd::String ZORSoundManager::getSoundNameAtIndex(std::int64_t index) const
{
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= static_cast<std::int64_t>(m_dataArray.size()))
        return {};
    return m_dataArray[static_cast<std::size_t>(index)].soundName;
}

std::int64_t ZORSoundManager::indexOfSound(const fnd::String& name) const
{
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < m_dataArray.size(); ++i) {
        if (m_dataArray[i].soundName == name)
            return static_cast<std::int64_t>(i);
    }
    return NotFound;
}

bool ZORSoundManager::playSoundAtIndex(std::int64_t index)
{
    fnd::String path;
    {
        std::lock_guard lock(m_mutex);
        if (index < 0 || index >= static_cast<std::int64_t>(m_dataArray.size()))
            return false;
        const auto& data = m_dataArray[static_cast<std::size_t>(index)];
        path = data.folder.stringByAppendingPathComponent(data.soundFileName);
        m_sound = path;
    }
    return ui::Sound::playFile(path);
}

bool ZORSoundManager::playSoundWithName(const fnd::String& name)
{
    return playSoundAtIndex(indexOfSound(name));
}

std::shared_ptr<ui::Menu> ZORSoundManager::getSoundMenu() const
{
    auto menu = ui::Menu::create();
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < m_dataArray.size(); ++i) {
        auto item = ui::MenuItem::create(m_dataArray[i].soundName);
        item->setTag(static_cast<long>(i));
        menu->addItem(item);
    }
    return menu;
}

std::vector<ZORSoundManagerData> ZORSoundManager::dataArray() const
{
    std::lock_guard lock(m_mutex);
    return m_dataArray;
}

fnd::String ZORSoundManager::sound() const
{
    std::lock_guard lock(m_mutex);
    return m_sound;
}
