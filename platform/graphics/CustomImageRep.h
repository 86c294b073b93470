#pragma once

#include "platform/graphics/ImageRep.h"

#include <functional>
#include <memory>

namespace gfx {

// An image rep drawn by a handler each time it is drawn: the handler draws into (0, 0, size) of the current
// context, y up (y down when the rep is flipped), and answers whether it drew.
class CustomImageRep final : public ImageRep {
    FND_OBJECT(CustomImageRep)
public:
    using DrawingHandler = std::function<bool(const Rect& destination)>;

    CustomImageRep() = default;
    static std::shared_ptr<CustomImageRep> create(Size size, bool flipped, DrawingHandler handler);

    bool isFlipped() const { return m_flipped; }
    const DrawingHandler& drawingHandler() const { return m_handler; }

    // Source-over at full opacity draws straight into the context (vectors stay vectors); other operators and
    // fractions go through a bitmap at the destination's device resolution.
    void drawInRect(GraphicsContext& context, const Rect& destination, const Rect& from, CompositingOperation op,
        double fraction, bool flipped) const override;
    using ImageRep::drawInRect;

private:
    DrawingHandler m_handler;
    bool m_flipped { false };
};

}
