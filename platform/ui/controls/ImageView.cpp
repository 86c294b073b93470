#include "platform/ui/controls/ImageView.h"

#include "platform/graphics/Image.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/MenuItem.h"

namespace ui {

FND_REGISTER_CLASS(ImageView, Control)

void ImageView::describeClass(fnd::ClassBuilder<ImageView>& c)
{
    c.property("image", &ImageView::image, &ImageView::setImage);
    c.property("imageScaling", &ImageView::imageScaling, &ImageView::setImageScaling);
    c.property("imageAlignment", &ImageView::imageAlignment, &ImageView::setImageAlignment);
    c.property("imageFrameStyle", &ImageView::imageFrameStyle, &ImageView::setImageFrameStyle);
    c.property("animates", &ImageView::animates, &ImageView::setAnimates);
    c.property("editable", &ImageView::isEditable, &ImageView::setEditable);
    c.property("allowsCutCopyPaste", &ImageView::allowsCutCopyPaste, &ImageView::setAllowsCutCopyPaste);
    c.action("copy:", &ImageView::copy);
    c.action("cut:", &ImageView::cut);
    c.action("paste:", &ImageView::paste);
    c.action("delete:", &ImageView::deleteImage);
    c.action("validateMenuItem:", &ImageView::validateMenuItem);
}

std::shared_ptr<ImageView> ImageView::create(gfx::Rect frame)
{
    return makeView<ImageView>(frame);
}

std::shared_ptr<ImageView> ImageView::imageViewWithImage(std::shared_ptr<gfx::Image> image)
{
    auto size = image ? image->size() : gfx::Size {};
    auto view = create({ {}, size });
    view->setImage(std::move(image));
    return view;
}

std::shared_ptr<Cell> ImageView::makeCell() const
{
    return fnd::makeObject<ImageCell>();
}

std::shared_ptr<gfx::Image> ImageView::image() const
{
    return cell() ? cell()->image() : nullptr;
}

void ImageView::setImage(std::shared_ptr<gfx::Image> image)
{
    if (cell())
        cell()->setImage(std::move(image));
}

#define UI_GET(Result, Name, Fallback)                                                                                 \
    Result ImageView::Name() const                                                                                     \
    {                                                                                                                  \
        auto c = imageCell();                                                                                          \
        return c ? c->Name() : Fallback;                                                                               \
    }
#define UI_SET(Name, Arg)                                                                                              \
    void ImageView::Name(Arg value)                                                                                    \
    {                                                                                                                  \
        if (auto c = imageCell())                                                                                      \
            c->Name(value);                                                                                            \
    }

UI_GET(ImageScaling, imageScaling, ImageScaling::ProportionallyDown)
UI_SET(setImageScaling, ImageScaling)
UI_GET(ImageAlignment, imageAlignment, ImageAlignment::Center)
UI_SET(setImageAlignment, ImageAlignment)
UI_GET(ImageFrameStyle, imageFrameStyle, ImageFrameStyle::None)
UI_SET(setImageFrameStyle, ImageFrameStyle)
UI_GET(bool, animates, false)
UI_SET(setAnimates, bool)

#undef UI_GET
#undef UI_SET

void ImageView::setEditable(bool flag)
{
    if (flag == m_editable)
        return;
    m_editable = flag;
    if (flag)
        registerForDraggedTypes(*this, readableImageTypes());
    else
        unregisterDraggedTypes(*this);
}

// The pasteboard.

std::vector<fnd::String> ImageView::readableImageTypes()
{
    return { PasteboardType::TIFF, PasteboardType::PNG, PasteboardType::PDF, PasteboardType::Filenames };
}

std::shared_ptr<gfx::Image> ImageView::imageFromPasteboard(Pasteboard& pasteboard)
{
    for (const auto& type : { PasteboardType::TIFF, PasteboardType::PNG, PasteboardType::PDF }) {
        if (auto data = pasteboard.dataForType(type)) {
            if (auto image = gfx::Image::imageWithData(*data); image && *image)
                return *image;
        }
    }
    auto files = pasteboard.propertyListForType(PasteboardType::Filenames);
    if (const auto* paths = files.array()) {
        for (const auto& path : *paths) {
            if (auto image = gfx::Image::imageWithContentsOfFile(path.stringValue()); image && *image)
                return *image;
        }
    }
    return nullptr;
}

void ImageView::takeImage(std::shared_ptr<gfx::Image> image)
{
    auto self = shared_from_this();
    setImage(std::move(image));
    sendAction(action(), target());
}

void ImageView::copy(const fnd::Value&)
{
    auto picture = image();
    if (!picture || !m_allowsCutCopyPaste)
        return;
    auto pasteboard = Pasteboard::generalPasteboard();
    pasteboard->declareTypes({ PasteboardType::TIFF, PasteboardType::PNG });
    if (auto tiff = picture->TIFFRepresentation())
        pasteboard->setData(*tiff, PasteboardType::TIFF);
    if (auto png = picture->representationUsingType(gfx::BitmapImageFileType::PNG))
        pasteboard->setData(*png, PasteboardType::PNG);
}

void ImageView::cut(const fnd::Value& sender)
{
    if (!m_editable || !m_allowsCutCopyPaste || !image())
        return;
    copy(sender);
    takeImage(nullptr);
}

void ImageView::paste(const fnd::Value&)
{
    if (!m_editable || !m_allowsCutCopyPaste)
        return;
    if (auto picture = imageFromPasteboard(*Pasteboard::generalPasteboard()))
        takeImage(std::move(picture));
}

void ImageView::deleteImage(const fnd::Value&)
{
    if (m_editable && image())
        takeImage(nullptr);
}

bool ImageView::validateMenuItem(const fnd::Value& item)
{
    auto menuItem = item.objectAs<MenuItem>();
    if (!menuItem)
        return true;
    auto action = menuItem->action();
    if (action == fnd::Selector("copy:"))
        return m_allowsCutCopyPaste && image();
    if (action == fnd::Selector("cut:"))
        return m_editable && m_allowsCutCopyPaste && image();
    if (action == fnd::Selector("paste:"))
        return m_editable && m_allowsCutCopyPaste
            && Pasteboard::generalPasteboard()->availableTypeFromArray(readableImageTypes()).has_value();
    if (action == fnd::Selector("delete:"))
        return m_editable && image();
    return true;
}

// Input.

bool ImageView::acceptsFirstResponder() const
{
    return m_editable && isEnabled();
}

void ImageView::keyDown(const Event& event)
{
    const auto& chars = event.charactersIgnoringModifiers();
    char16_t key = chars.length() > 0 ? chars.units()[0] : 0;
    if (m_editable && isEnabled() && (key == 0x7f || key == 0x08 || key == FunctionKey::Delete)) {
        deleteImage(selfValue());
        return;
    }
    Control::keyDown(event);
}

void ImageView::mouseDown(const Event& event)
{
    // An image view does not track the mouse like a button; the click has given it the keyboard if it is editable.
    Responder::mouseDown(event);
}

DragOperation ImageView::draggingEntered(DraggingInfo& info)
{
    if (!m_editable || !isEnabled())
        return DragOperations::None;
    auto pasteboard = info.draggingPasteboard();
    if (!pasteboard || !pasteboard->availableTypeFromArray(readableImageTypes()))
        return DragOperations::None;
    return info.draggingSourceOperationMask() & DragOperations::Copy;
}

std::optional<DragOperation> ImageView::draggingUpdated(DraggingInfo& info)
{
    return draggingEntered(info);
}

bool ImageView::performDragOperation(DraggingInfo& info)
{
    auto pasteboard = info.draggingPasteboard();
    auto picture = pasteboard ? imageFromPasteboard(*pasteboard) : nullptr;
    if (!picture)
        return false;
    takeImage(std::move(picture));
    return true;
}

}
