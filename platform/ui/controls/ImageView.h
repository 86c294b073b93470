#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/controls/ImageCell.h"

namespace ui {

// A control showing an image through its image cell. An editable image view takes the keyboard and accepts an
// image dropped on it or pasted (TIFF, PNG or PDF data, or an image file); Delete clears it; each change sends the
// action. Copy and cut put the image on the pasteboard as TIFF and PNG when cut, copy and paste are allowed.
class ImageView : public Control, public DraggingDestination {
    FND_OBJECT(ImageView)
    static void describeClass(fnd::ClassBuilder<ImageView>& c);

public:
    ImageView() = default;
    static std::shared_ptr<ImageView> create(gfx::Rect frame = {});
    static std::shared_ptr<ImageView> imageViewWithImage(std::shared_ptr<gfx::Image> image);

    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<ImageCell> imageCell() const { return std::dynamic_pointer_cast<ImageCell>(cell()); }

    std::shared_ptr<gfx::Image> image() const;
    void setImage(std::shared_ptr<gfx::Image> image);
    ImageScaling imageScaling() const;
    void setImageScaling(ImageScaling scaling);
    ImageAlignment imageAlignment() const;
    void setImageAlignment(ImageAlignment alignment);
    ImageFrameStyle imageFrameStyle() const;
    void setImageFrameStyle(ImageFrameStyle style);
    bool animates() const;
    void setAnimates(bool flag);
    bool isEditable() const { return m_editable; }
    void setEditable(bool flag);
    bool allowsCutCopyPaste() const { return m_allowsCutCopyPaste; }
    void setAllowsCutCopyPaste(bool flag) { m_allowsCutCopyPaste = flag; }

    // The pasteboard types an image is read from, in the order they are tried.
    static std::vector<fnd::String> readableImageTypes();
    // The image a pasteboard holds, or nullptr.
    static std::shared_ptr<gfx::Image> imageFromPasteboard(Pasteboard& pasteboard);

    // Edit actions (found along the responder chain while the view has the keyboard).
    void copy(const fnd::Value& sender);
    void cut(const fnd::Value& sender);
    void paste(const fnd::Value& sender);
    void deleteImage(const fnd::Value& sender);
    bool validateMenuItem(const fnd::Value& item);

    bool acceptsFirstResponder() const override;
    void keyDown(const Event& event) override;
    void mouseDown(const Event& event) override;

    DragOperation draggingEntered(DraggingInfo& info) override;
    std::optional<DragOperation> draggingUpdated(DraggingInfo& info) override;
    bool performDragOperation(DraggingInfo& info) override;

private:
    // A new image from the person: kept, and the action sent.
    void takeImage(std::shared_ptr<gfx::Image> image);

    bool m_editable { false };
    bool m_allowsCutCopyPaste { true };
};

}
