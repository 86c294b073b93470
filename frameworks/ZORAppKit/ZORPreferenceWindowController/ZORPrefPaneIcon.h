#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Selector.h"

#include <compare>
#include <memory>

namespace gfx {
class Image;
}

// One icon of the preference overview: a pane's identifier, a 32 × 32 picture, its title and category, and the
// action a click on it sends.
class ZORPrefPaneIcon : public fnd::Object {
    FND_OBJECT(ZORPrefPaneIcon)
    static void describeClass(fnd::ClassBuilder<ZORPrefPaneIcon>& c);

public:
    ZORPrefPaneIcon() = default;
    // An empty category; the image is taken as setImage does.
    static std::shared_ptr<ZORPrefPaneIcon> create(
        const fnd::String& identifier, const std::shared_ptr<gfx::Image>& image, const fnd::String& title);
    void initWithIdentifier(
        const fnd::String& identifier, const std::shared_ptr<gfx::Image>& image, const fnd::String& title);

    const fnd::String& itemIdentifier() const { return m_itemIdentifier; }
    void setItemIdentifier(const fnd::String& identifier) { m_itemIdentifier = identifier; }
    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    // Keeps a 32 × 32 bitmap copy: the whole image scaled into it (nullptr keeps none).
    void setImage(const std::shared_ptr<gfx::Image>& image);
    const fnd::String& title() const { return m_title; }
    void setTitle(const fnd::String& title) { m_title = title; }
    const fnd::String& category() const { return m_category; }
    void setCategory(const fnd::String& category) { m_category = category; }
    std::shared_ptr<fnd::Object> target() const { return m_target.lock(); }
    void setTarget(const std::shared_ptr<fnd::Object>& target) { m_target = target; }
    fnd::Selector selector() const { return m_selector; }
    void setSelector(fnd::Selector selector) { m_selector = selector; }

    // By title.
    std::weak_ordering compare(const ZORPrefPaneIcon& other) const;
    std::weak_ordering caseInsensitiveCompare(const ZORPrefPaneIcon& other) const;

private:
    fnd::String m_itemIdentifier;
    std::shared_ptr<gfx::Image> m_image;
    fnd::String m_title;
    fnd::String m_category;
    std::weak_ptr<fnd::Object> m_target;
    fnd::Selector m_selector;
};
