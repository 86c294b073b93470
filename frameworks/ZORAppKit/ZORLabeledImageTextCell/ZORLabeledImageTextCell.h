#pragma once

#include "platform/graphics/Image.h"
#include "platform/text/Attributes.h"
#include "platform/ui/text/TextFieldCell.h"

#include <cstdint>

// A text cell for list and outline rows: an optional image on the left, an optional info text, the editable text,
// an optional status image and right image at the right end, and an optional colour label, drawn behind the whole
// row when the row is not selected and as a small pill at the right end when it is. The layout (calcDrawInfo) is
// made again before every drawing and editing; editing is confined to the text's rectangle.
class ZORLabeledImageTextCell : public ui::TextFieldCell {
    UI_CELL_OBJECT(ZORLabeledImageTextCell)

public:
    // Room kept beside each image and the info text.
    static constexpr double Gap = 4;

    ZORLabeledImageTextCell() = default;

    // The left image is the cell's image (image / setImage).
    const std::shared_ptr<gfx::Image>& rightImage() const { return m_rightImage; }
    void setRightImage(std::shared_ptr<gfx::Image> image) { m_rightImage = std::move(image); }
    const std::shared_ptr<gfx::Image>& statusImage() const { return m_statusImage; }
    void setStatusImage(std::shared_ptr<gfx::Image> image) { m_statusImage = std::move(image); }
    const fnd::String& infoText() const { return m_infoText; }
    void setInfoText(const fnd::String& text) { m_infoText = text; }
    double minImageWidth() const { return m_minImageWidth; }
    void setMinImageWidth(double width) { m_minImageWidth = width; }
    double leftInset() const { return m_leftInset; }
    void setLeftInset(double inset) { m_leftInset = inset; }
    double rightInset() const { return m_rightInset; }
    void setRightInset(double inset) { m_rightInset = inset; }
    bool middleAlignedText() const { return m_middleAlignedText; }
    void setMiddleAlignedText(bool flag) { m_middleAlignedText = flag; }

    // The label type of an entry; the colour follows it (nullptr for no label and for types out of range).
    std::int32_t colorLabelType() const { return m_colorLabelType; }
    void setColorLabelType(std::int32_t type);
    const gfx::ColorPtr& labelColor() const { return m_labelColor; }

    // The layout for a frame, kept in the rectangles below.
    void calcDrawInfo(gfx::Rect frame);
    gfx::Rect imageRect() const { return m_imageRect; }
    gfx::Rect rightImageRect() const { return m_rightImageRect; }
    gfx::Rect infoTextRect() const { return m_infoTextRect; }
    gfx::Rect statusImageRect() const { return m_statusImageRect; }
    gfx::Rect textRect() const { return m_textRect; }
    gfx::Rect labelRect() const { return m_labelRect; }

    void drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    // The label in its rectangle as a pill with round ends, shaded from its colour to a paler one.
    void drawLabelColorWithFrame(gfx::Rect frame, ui::View& controlView);
    void editWithFrame(gfx::Rect frame, ui::View& controlView, const std::shared_ptr<ui::View>& fieldEditor,
        const std::shared_ptr<fnd::Object>& delegate, const ui::Event* event) override;
    void selectWithFrame(gfx::Rect frame, ui::View& controlView, const std::shared_ptr<ui::View>& fieldEditor,
        const std::shared_ptr<fnd::Object>& delegate, fnd::Index selectionStart, fnd::Index selectionLength) override;

private:
    void drawImageInRect(const gfx::Image& image, gfx::Rect rect, ui::View& controlView) const;
    void fillBackground(gfx::Rect rect) const;

    std::int32_t m_colorLabelType { 0 };
    std::shared_ptr<gfx::Image> m_rightImage;
    std::shared_ptr<gfx::Image> m_statusImage;
    fnd::String m_infoText;
    gfx::ColorPtr m_labelColor;
    double m_minImageWidth { 0 };
    double m_leftInset { 0 };
    double m_rightInset { 0 };
    bool m_middleAlignedText { false };
    double m_capRadius { 0 };
    gfx::Rect m_imageRect;
    gfx::Rect m_rightImageRect;
    gfx::Rect m_infoTextRect;
    gfx::Rect m_statusImageRect;
    gfx::Rect m_textRect;
    gfx::Rect m_labelRect;
    txt::Attributes m_textAttrs;
};
