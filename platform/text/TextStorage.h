#pragma once

#include "platform/text/AttributedString.h"

#include <memory>
#include <vector>

namespace txt {

class LayoutManager;

inline const fnd::String TextStorageWillProcessEditingNotification { "NSTextStorageWillProcessEditingNotification" };
inline const fnd::String TextStorageDidProcessEditingNotification { "NSTextStorageDidProcessEditingNotification" };

// Text that layout managers show. Edits between beginEditing and the matching endEditing are gathered; at the
// outermost end (or after a lone edit) the storage posts will- and did-process-editing once, with the gathered mask,
// range and change in length readable, and invalidates the layout of every layout manager.
class TextStorage : public AttributedString {
    FND_OBJECT(TextStorage)
public:
    TextStorage() = default;
    explicit TextStorage(fnd::String string, Attributes attributes = {})
        : AttributedString(std::move(string), std::move(attributes))
    {
    }
    explicit TextStorage(const AttributedString& text)
        : AttributedString(text)
    {
    }
    ~TextStorage() override;
    TextStorage(const TextStorage&) = delete;
    TextStorage& operator=(const TextStorage&) = delete;

    // The storage owns its layout managers. Adding one takes it from the storage it showed before.
    const std::vector<std::shared_ptr<LayoutManager>>& layoutManagers() const { return m_layoutManagers; }
    void addLayoutManager(const std::shared_ptr<LayoutManager>& manager);
    void removeLayoutManager(const LayoutManager& manager);

    void beginEditing() override;
    void endEditing() override;
    bool isEditing() const { return m_editingDepth > 0; }

    // Valid while processing: during the notifications and the layout managers' invalidation.
    unsigned editedMask() const { return m_editedMask; }
    fnd::Range editedRange() const { return m_editedRange; }
    fnd::Index changeInLength() const { return m_changeInLength; }

    // Runs after the gathered edits; subclasses may fix attributes here (before the did-notification).
    virtual void processEditing();
    // A storage no one else holds (the one that measures and draws strings, hundreds a frame) may skip posting the
    // editing notifications; its layout managers still follow every edit.
    void setPostsEditingNotifications(bool posts) { m_postsEditingNotifications = posts; }

protected:
    void edited(unsigned mask, fnd::Range newRange, fnd::Index changeInLength) override;

private:
    std::vector<std::shared_ptr<LayoutManager>> m_layoutManagers;
    int m_editingDepth { 0 };
    unsigned m_editedMask { 0 };
    fnd::Range m_editedRange { fnd::Range::notFound() };
    fnd::Index m_changeInLength { 0 };
    bool m_postsEditingNotifications { true };
};

}
