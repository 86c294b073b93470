#pragma once

#include "platform/ui/controls/ActionCell.h"

namespace ui {

// The cell of image views (an action cell, so the view keeps a target and action): an image scaled and aligned in its
// frame, inside an optional frame style. Its value is the image.
class ImageCell : public ActionCell {
    UI_CELL_OBJECT(ImageCell)
    static void describeClass(fnd::ClassBuilder<ImageCell>& c);

public:
    ImageCell() = default;
    void init();
    void initImageCell(std::shared_ptr<gfx::Image> image);

    ImageScaling imageScaling() const { return m_imageScaling; }
    void setImageScaling(ImageScaling scaling);
    ImageAlignment imageAlignment() const { return m_imageAlignment; }
    void setImageAlignment(ImageAlignment alignment);
    ImageFrameStyle imageFrameStyle() const { return m_imageFrameStyle; }
    void setImageFrameStyle(ImageFrameStyle style);
    // Whether an animated image plays (kept for the image classes; still images ignore it).
    bool animates() const { return m_animates; }
    void setAnimates(bool flag) { m_animates = flag; }

    fnd::Value objectValue() const override;
    void setObjectValue(const fnd::Value& value) override;

    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    gfx::Rect drawingRectForBounds(gfx::Rect bounds) const override;
    // Where the image is drawn: scaled as the scaling says, placed as the alignment says.
    gfx::Rect imageRectForBounds(gfx::Rect bounds) const override;
    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Accessibility: an image.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;

private:
    ImageScaling m_imageScaling { ImageScaling::ProportionallyDown };
    ImageAlignment m_imageAlignment { ImageAlignment::Center };
    ImageFrameStyle m_imageFrameStyle { ImageFrameStyle::None };
    bool m_animates { true };
};

}
