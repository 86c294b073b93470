#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/views/View.h"

#include <functional>
#include <optional>

namespace ui {

// Shows a picture fitted into its bounds and, when editable, lets the person mark the part to keep: a drag draws
// the crop rectangle, a drag that starts inside it moves it; outside the rectangle the picture is dimmed. The
// rectangle is kept in the picture's own points (y up), within the picture.
class PictureEditView : public View {
    FND_OBJECT(PictureEditView)

public:
    static constexpr double Inset = 4;

    PictureEditView() = default;
    static std::shared_ptr<PictureEditView> create(gfx::Rect frame);

    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    // A new picture drops the crop rectangle.
    void setImage(std::shared_ptr<gfx::Image> image);
    bool isEditable() const { return m_editable; }
    void setEditable(bool flag);

    // None: the whole picture.
    std::optional<gfx::Rect> cropRect() const { return m_crop; }
    void setCropRect(std::optional<gfx::Rect> rect);
    // Told after the person changed the rectangle.
    void setCropHandler(std::function<void()> handler) { m_cropHandler = std::move(handler); }

    // Where the picture lies in the view: as large as fits within the inset bounds, centred.
    gfx::Rect pictureRect() const;
    // A point of the view in the picture's points, kept within the picture.
    gfx::Point pictureLocation(gfx::Point viewPoint) const;

    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    void mouseDragged(const Event& event) override;
    void mouseUp(const Event& event) override;

private:
    gfx::Rect viewRectOfCrop(gfx::Rect crop) const;
    void track(gfx::Point viewPoint);

    std::shared_ptr<gfx::Image> m_image;
    bool m_editable { false };
    std::optional<gfx::Rect> m_crop;
    std::function<void()> m_cropHandler;
    // The drag under way: where it began (picture points) and, when moving, the rectangle it moves.
    std::optional<gfx::Point> m_dragStart;
    std::optional<gfx::Rect> m_moving;
};

}
