#include "frameworks/QFFlowView/QFButtonLayer.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PixelBuffer.h"

#include <algorithm>

FND_REGISTER_CLASS(QFButtonLayer, ui::Layer)

namespace {

constexpr double QFButtonLayerHighlightGrey = 0.75;

// The picture darkened as a grey backdrop clipped to its own shape and the picture multiplied over it would show
// it: inside the shape each colour is scaled by the grey, the shape's coverage kept.
std::shared_ptr<gfx::BitmapImageRep> QFButtonLayerDarkened(const gfx::BitmapImageRep& picture)
{
    auto result = gfx::BitmapImageRep::create(
        picture.pixelsWide(), picture.pixelsHigh(), gfx::BitmapLayout::ARGB32Premultiplied);
    result->setSize(picture.size());
    auto source = picture.pixelBuffer();
    auto target = result->pixelBuffer();
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            auto p = source.pixel(x, y);
            double a = gfx::alphaOf(p) / 255.0;
            // Backdrop grey g with alpha a (the clip), source s with alpha a, multiply blend:
            // co = cs(1 − a) + g·a(1 − a) + cs·g  (premultiplied), ao = a + a(1 − a).
            auto channel = [&](int cs) {
                double s = cs / 255.0;
                double c = s * (1 - a) + QFButtonLayerHighlightGrey * a * (1 - a) + s * QFButtonLayerHighlightGrey;
                return int(std::clamp(c, 0.0, 1.0) * 255 + 0.5);
            };
            int ao = int(std::clamp(a + a * (1 - a), 0.0, 1.0) * 255 + 0.5);
            target.row(y)[x] = gfx::packPixel(std::uint8_t(ao), std::uint8_t(std::min(ao, channel(gfx::redOf(p)))),
                std::uint8_t(std::min(ao, channel(gfx::greenOf(p)))),
                std::uint8_t(std::min(ao, channel(gfx::blueOf(p)))));
        }
    return result;
}

}

QFButtonLayer::QFButtonLayer()
{
    setOpaque(false);
}

std::shared_ptr<QFButtonLayer> QFButtonLayer::layer()
{
    auto layer = std::make_shared<QFButtonLayer>();
    layer->setValueForKey(std::int64_t(0), "state");
    layer->setValueForKey(std::int64_t(0), "type");
    layer->setValueForKey(false, "highlighted");
    return layer;
}

const fnd::Array& QFButtonLayer::selectedFilters()
{
    static const fnd::Array filters { fnd::Dictionary {
        { "name", "CIColorControls" },
        { "inputSaturation", 1.0 },
        { "inputBrightness", -0.5 },
        { "inputContrast", 1.0 },
    } };
    return filters;
}

void QFButtonLayer::initWithLayer(const ui::Layer& layer)
{
    Layer::initWithLayer(layer);
    if (auto* other = dynamic_cast<const QFButtonLayer*>(&layer)) {
        m_image = other->image();
        m_alternateImage = other->alternateImage();
    }
}

std::shared_ptr<gfx::BitmapImageRep> QFButtonLayer::image() const
{
    std::lock_guard lock(m_imageMutex);
    return m_image;
}

void QFButtonLayer::setImage(std::shared_ptr<gfx::BitmapImageRep> image)
{
    {
        std::lock_guard lock(m_imageMutex);
        m_image = std::move(image);
    }
    setNeedsDisplay();
}

std::shared_ptr<gfx::BitmapImageRep> QFButtonLayer::alternateImage() const
{
    std::lock_guard lock(m_imageMutex);
    return m_alternateImage;
}

void QFButtonLayer::setAlternateImage(std::shared_ptr<gfx::BitmapImageRep> image)
{
    {
        std::lock_guard lock(m_imageMutex);
        m_alternateImage = std::move(image);
    }
    setNeedsDisplay();
}

const std::vector<fnd::String>& QFButtonLayer::keysAffectingRedisplay()
{
    static const std::vector<fnd::String> keys { "highlighted", "enabled", "type", "state" };
    return keys;
}

bool QFButtonLayer::needsDisplayForKey(const fnd::String& key) const
{
    const auto& keys = keysAffectingRedisplay();
    return std::find(keys.begin(), keys.end(), key) != keys.end() || Layer::needsDisplayForKey(key);
}

void QFButtonLayer::drawInContext(gfx::GraphicsContext& context)
{
    auto picture = state() == 1 ? alternateImage() : image();
    if (!picture)
        return;
    auto shown = isHighlighted() ? QFButtonLayerDarkened(*picture) : picture;
    gfx::Rect source { { 0, 0 }, { double(shown->pixelsWide()), double(shown->pixelsHigh()) } };
    context.drawImage(shown->pixelBuffer(), bounds(), source, gfx::CompositingOperation::SourceOver, 1.0);
}

void QFButtonLayer::performClick(const fnd::Value&)
{
    if (auto target = m_target.lock(); target && !m_action.isNull())
        target->perform(m_action, selfValue());
    setHighlighted(false);
}
