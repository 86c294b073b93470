#include "platform/text/TextStorage.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/text/LayoutManager.h"

#include <algorithm>

namespace txt {

FND_REGISTER_CLASS(TextStorage, AttributedString)

void TextStorage::addLayoutManager(const std::shared_ptr<LayoutManager>& manager)
{
    if (!manager || std::ranges::find(m_layoutManagers, manager) != m_layoutManagers.end())
        return;
    if (auto* previous = manager->textStorage())
        previous->removeLayoutManager(*manager);
    m_layoutManagers.push_back(manager);
    manager->setTextStorage(this);
}

void TextStorage::removeLayoutManager(const LayoutManager& manager)
{
    auto at = std::ranges::find_if(m_layoutManagers, [&](const auto& m) { return m.get() == &manager; });
    if (at == m_layoutManagers.end())
        return;
    auto kept = *at; // keep it alive while it lets go of this storage
    m_layoutManagers.erase(at);
    kept->setTextStorage(nullptr);
}

TextStorage::~TextStorage()
{
    for (const auto& manager : m_layoutManagers)
        manager->setTextStorage(nullptr);
}

void TextStorage::beginEditing()
{
    ++m_editingDepth;
}

void TextStorage::endEditing()
{
    if (m_editingDepth == 0)
        return;
    if (--m_editingDepth == 0 && m_editedMask != 0)
        processEditing();
}

void TextStorage::edited(unsigned mask, fnd::Range newRange, fnd::Index changeInLength)
{
    if (m_editedMask == 0) {
        m_editedRange = newRange;
    } else {
        // Earlier edits shift with later ones: grow the gathered range over both in the new text.
        auto old = m_editedRange;
        if (old.location >= newRange.location + newRange.length - changeInLength)
            old.location += changeInLength;
        else if (old.max() > newRange.location)
            old.length = std::max<fnd::Index>(0, old.length + changeInLength);
        m_editedRange = unionRange(old, newRange);
        m_editedRange.length = std::min(m_editedRange.length, length() - m_editedRange.location);
    }
    m_editedMask |= mask;
    m_changeInLength += changeInLength;
    if (m_editingDepth == 0)
        processEditing();
}

void TextStorage::processEditing()
{
    auto self = weak_from_this().lock(); // observers may drop the last other reference
    if (m_postsEditingNotifications) {
        auto& center = fnd::NotificationCenter::defaultCenter();
        center.postNotificationName(TextStorageWillProcessEditingNotification, selfValue());
        center.postNotificationName(TextStorageDidProcessEditingNotification, selfValue());
    }
    for (const auto& manager : std::vector(m_layoutManagers))
        manager->textStorageEdited(m_editedMask, m_editedRange, m_changeInLength);
    m_editedMask = 0;
    m_editedRange = fnd::Range::notFound();
    m_changeInLength = 0;
}

}
