#pragma once

#include "platform/foundation/runtime/Selector.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"
#include "platform/ui/views/View.h"

#include <memory>
#include <optional>

namespace ui {
class PictureTaker;
}

// An image well: the image scaled to fit 8 points inside the bounds, centred on white with a soft shadow and a thin
// frame, or, without an image, a dashed rounded placeholder around a grey text. A click on an editable well opens
// the picture taker as a sheet on its window (dimmed meanwhile), with camera snapshots, effects and cropping; a
// picture taken there replaces the image and the well sends its action.
class ZORImageView : public ui::View {
    FND_OBJECT(ZORImageView)
    static void describeClass(fnd::ClassBuilder<ZORImageView>& c);

public:
    ZORImageView() = default;
    static std::shared_ptr<ZORImageView> create(gfx::Rect frame = {});

    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    void setImage(std::shared_ptr<gfx::Image> image);
    // The placeholder's text; nullopt shows the localised "NoImageAvailable".
    const std::optional<fnd::String>& infoText() const { return m_infoText; }
    void setInfoText(std::optional<fnd::String> text);
    // The shadow under the image; one is made at the first drawing of an image when none is set.
    const std::shared_ptr<gfx::Shadow>& shadow() const { return m_shadow; }
    void setShadow(std::shared_ptr<gfx::Shadow> shadow) { m_shadow = std::move(shadow); }

    std::shared_ptr<fnd::Object> target() const { return m_target.lock(); }
    void setTarget(const std::shared_ptr<fnd::Object>& target) { m_target = target; }
    fnd::Selector action() const { return m_action; }
    void setAction(fnd::Selector action) { m_action = action; }

    // A well that is not editable shows its image and passes clicks on.
    bool isEditable() const { return m_editable; }
    void setEditable(bool flag) { m_editable = flag; }

    void mouseDown(const ui::Event& event) override;
    // The end of the chooser's sheet: OK (1) takes its picture.
    void pictureTakerDidEnd(ui::PictureTaker& pictureTaker, long returnCode);

    // Where the image is drawn in the bounds (the zero rect without an image).
    gfx::Rect imageRect() const;

    void drawRect(gfx::Rect dirtyRect) override;

private:
    std::shared_ptr<gfx::Image> m_image;
    std::optional<fnd::String> m_infoText;
    std::shared_ptr<gfx::Shadow> m_shadow;
    std::weak_ptr<fnd::Object> m_target;
    fnd::Selector m_action;
    bool m_editable { true };
};
