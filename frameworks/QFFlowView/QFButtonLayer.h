#pragma once

#include "platform/foundation/runtime/Selector.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/layers/Layer.h"

#include <memory>

// A layer that draws a picture and acts as a button when the flow view clicks it: the alternate picture in state
// 1, darkened through a grey multiply while highlighted. "highlighted", "enabled", "state" and "type" are layer
// values whose change redraws it.
class QFButtonLayer : public ui::Layer {
    UI_LAYER_OBJECT(QFButtonLayer)

public:
    QFButtonLayer();
    static std::shared_ptr<QFButtonLayer> layer();
    void initWithLayer(const ui::Layer& layer) override;

    std::shared_ptr<gfx::BitmapImageRep> image() const;
    void setImage(std::shared_ptr<gfx::BitmapImageRep> image);
    std::shared_ptr<gfx::BitmapImageRep> alternateImage() const;
    void setAlternateImage(std::shared_ptr<gfx::BitmapImageRep> image);
    std::shared_ptr<fnd::Object> target() const { return m_target.lock(); }
    void setTarget(const std::shared_ptr<fnd::Object>& target) { m_target = target; }
    fnd::Selector action() const { return m_action; }
    void setAction(fnd::Selector action) { m_action = action; }

    bool isHighlighted() const { return valueForKey("highlighted").boolValue(); }
    void setHighlighted(bool flag) { setValueForKey(flag, "highlighted"); }
    // Unset, it reads NO, as every dynamic layer value does.
    bool isEnabled() const { return valueForKey("enabled").boolValue(); }
    void setEnabled(bool flag) { setValueForKey(flag, "enabled"); }
    std::int64_t state() const { return valueForKey("state").integerValue(); }
    void setState(std::int64_t state) { setValueForKey(state, "state"); }
    std::uint64_t type() const { return std::uint64_t(valueForKey("type").integerValue()); }
    void setType(std::uint64_t type) { setValueForKey(std::int64_t(type), "type"); }

    static const std::vector<fnd::String>& keysAffectingRedisplay();
    // The filter that would darken a selected button: colour controls with the brightness at -0.5 (the name and
    // parameters, for a renderer with filters; the layer's own drawing darkens through a grey multiply).
    static const fnd::Array& selectedFilters();
    bool needsDisplayForKey(const fnd::String& key) const override;
    void drawInContext(gfx::GraphicsContext& context) override;
    // Sends the action to the target with the layer, then ends the highlight.
    void performClick(const fnd::Value& sender);

private:
    mutable std::mutex m_imageMutex; // the pictures are atomic properties
    std::shared_ptr<gfx::BitmapImageRep> m_image;
    std::shared_ptr<gfx::BitmapImageRep> m_alternateImage;
    std::weak_ptr<fnd::Object> m_target;
    fnd::Selector m_action;
};
