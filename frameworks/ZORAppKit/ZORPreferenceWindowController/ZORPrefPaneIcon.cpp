#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIcon.h"

#include "platform/graphics/Image.h"

FND_REGISTER_CLASS(ZORPrefPaneIcon, fnd::Object)

void ZORPrefPaneIcon::describeClass(fnd::ClassBuilder<ZORPrefPaneIcon>& c)
{
    c.property("itemIdentifier", &ZORPrefPaneIcon::itemIdentifier, &ZORPrefPaneIcon::setItemIdentifier);
    c.property("title", &ZORPrefPaneIcon::title, &ZORPrefPaneIcon::setTitle);
    c.property("category", &ZORPrefPaneIcon::category, &ZORPrefPaneIcon::setCategory);
    c.property("image", &ZORPrefPaneIcon::image, &ZORPrefPaneIcon::setImage);
}

std::shared_ptr<ZORPrefPaneIcon> ZORPrefPaneIcon::create(
    const fnd::String& identifier, const std::shared_ptr<gfx::Image>& image, const fnd::String& title)
{
    auto icon = fnd::makeObject<ZORPrefPaneIcon>();
    icon->initWithIdentifier(identifier, image, title);
    return icon;
}

void ZORPrefPaneIcon::initWithIdentifier(
    const fnd::String& identifier, const std::shared_ptr<gfx::Image>& image, const fnd::String& title)
{
    m_itemIdentifier = identifier;
    setImage(image);
    m_title = title;
    m_category = fnd::String();
}

void ZORPrefPaneIcon::setImage(const std::shared_ptr<gfx::Image>& image)
{
    if (!image || !image->isValid()) {
        m_image = nullptr;
        return;
    }
    constexpr gfx::Rect IconRect { 0, 0, 32, 32 };
    // Drawn the older way into a flipped image, so its pixels are upside down; the overview draws the copy the
    // same way into its flipped view, which turns it upright again.
    auto scaled = gfx::Image::imageWithSize(IconRect.size);
    scaled->setFlipped(true);
    scaled->lockFocus();
    image->drawInRect(IconRect, {}, gfx::CompositingOperation::Copy, 1.0);
    scaled->unlockFocus();
    m_image = gfx::Image::imageWithRepresentation(scaled->representations().front());
}

std::weak_ordering ZORPrefPaneIcon::compare(const ZORPrefPaneIcon& other) const
{
    return m_title.compare(other.m_title);
}

std::weak_ordering ZORPrefPaneIcon::caseInsensitiveCompare(const ZORPrefPaneIcon& other) const
{
    return m_title.caseInsensitiveCompare(other.m_title);
}
