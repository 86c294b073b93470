#include "platform/graphics/Image.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/graphics/SVGImageRep.h"

#include <cmath>

namespace gfx {

namespace {

// An image has a few pictures (one per resolution); more in an archive is damage.
constexpr std::size_t ImageCodingRepresentationLimit = 16;
// Points: far beyond any picture a window shows.
constexpr double ImageCodingLargestSide = Image::LargestSide;

bool imageCodingSizeIsSound(Size size)
{
    return std::isfinite(size.width) && std::isfinite(size.height) && size.width >= 0 && size.height >= 0
        && size.width <= ImageCodingLargestSide && size.height <= ImageCodingLargestSide;
}

// The rep drawn into a bitmap of its size at the scale, for a rep that has no data of its own (a drawing handler).
std::shared_ptr<BitmapImageRep> imageCodingRendered(const ImageRep& rep, double scale)
{
    Size size = rep.size();
    if (!(size.width > 0) || !(size.height > 0))
        return nullptr;
    auto bitmap = BitmapImageRep::create(static_cast<long>(std::ceil(size.width * scale - 1e-9)),
        static_cast<long>(std::ceil(size.height * scale - 1e-9)), BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return nullptr;
    Size pixels { double(bitmap->pixelsWide()), double(bitmap->pixelsHigh()) };
    auto context = GraphicsContext::createForBitmap(bitmap->pixelBuffer(), pixels, false);
    rep.drawInRect(
        *context, Rect({}, { size.width * scale, size.height * scale }), {}, CompositingOperation::Copy, 1.0, false);
    context->flush();
    bitmap->setSize(size);
    return bitmap;
}

// The data and point size of each picture, in the image's order.
void imageCodingPictures(const ImageRep& rep, fnd::Array& data, fnd::Array& sizes)
{
    auto add = [&](const fnd::Expected<fnd::Data>& bytes, Size size) {
        if (!bytes)
            return;
        data.emplace_back(*bytes);
        sizes.emplace_back(size);
    };
    if (auto* pdf = dynamic_cast<const PDFImageRep*>(&rep)) {
        add(pdf->PDFRepresentation(), rep.size());
    } else if (auto* svg = dynamic_cast<const SVGImageRep*>(&rep)) {
        add(svg->SVGRepresentation(), rep.size());
    } else if (auto* bitmap = dynamic_cast<const BitmapImageRep*>(&rep)) {
        // PNG keeps every RGB bitmap exactly; CMYK needs TIFF.
        add(bitmap->colorModel() == BitmapColorModel::CMYK ? bitmap->TIFFRepresentation()
                                                           : bitmap->representationUsingType(BitmapImageFileType::PNG),
            rep.size());
    } else {
        for (double scale : { 1.0, 2.0 })
            if (auto rendered = imageCodingRendered(rep, scale))
                add(rendered->representationUsingType(BitmapImageFileType::PNG), rep.size());
    }
}

fnd::Expected<std::shared_ptr<ImageRep>> imageCodingRepresentation(const fnd::Data& data)
{
    auto image = Image::imageWithData(data);
    if (!image)
        return std::unexpected(image.error());
    return (*image)->representations().front();
}

}

void Image::encodeWithCoder(fnd::Coder& coder) const
{
    fnd::Array data;
    fnd::Array sizes;
    for (const auto& rep : m_reps)
        imageCodingPictures(*rep, data, sizes);
    if (coder.allowsKeyedCoding()) {
        coder.encodeSize(m_size, "NSSize");
        coder.encodeBool(m_flipped, "NSFlipped");
        coder.encodeObject(fnd::Value(std::move(data)), "NSRepresentations");
        coder.encodeObject(fnd::Value(std::move(sizes)), "NSRepresentationSizes");
        return;
    }
    coder.encodeSize(m_size);
    coder.encodeValueOfObjCType('B', fnd::Number(m_flipped));
    coder.encodeObject(fnd::Value(std::move(data)));
    coder.encodeObject(fnd::Value(std::move(sizes)));
}

bool Image::initWithCoder(fnd::Coder& coder)
{
    const bool keyed = coder.allowsKeyedCoding();
    Size size = keyed ? coder.decodeSizeForKey("NSSize") : coder.decodeSize();
    bool flipped = keyed ? coder.decodeBoolForKey("NSFlipped") : coder.decodeValueOfObjCType('B').boolValue();
    fnd::Value data = keyed ? coder.decodeObjectForKey("NSRepresentations") : coder.decodeObject();
    fnd::Value sizes = keyed ? coder.decodeObjectForKey("NSRepresentationSizes") : coder.decodeObject();
    if (coder.hasFailed())
        return false;
    const fnd::Array* dataList = data.array();
    const fnd::Array* sizeList = sizes.array();
    if (!imageCodingSizeIsSound(size) || !dataList || !sizeList || dataList->size() != sizeList->size()
        || dataList->size() > ImageCodingRepresentationLimit) {
        fnd::failDecoding(coder, "an image's size or pictures are malformed");
        return false;
    }
    std::vector<std::shared_ptr<ImageRep>> reps;
    for (std::size_t i = 0; i < dataList->size(); ++i) {
        const fnd::Data* bytes = (*dataList)[i].data();
        auto repSize = (*sizeList)[i].size();
        if (!bytes || !repSize || !imageCodingSizeIsSound(*repSize)) {
            fnd::failDecoding(coder, "a picture of an image is not data with a size");
            return false;
        }
        auto rep = imageCodingRepresentation(*bytes);
        if (!rep) {
            fnd::failDecoding(
                coder, "a picture of an image cannot be read: " + rep.error().localizedDescription().utf8());
            return false;
        }
        (*rep)->setSize(*repSize);
        reps.push_back(std::move(*rep));
    }
    m_reps = std::move(reps);
    m_size = size;
    m_flipped = flipped;
    return true;
}

}
