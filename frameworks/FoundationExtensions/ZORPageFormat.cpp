#include "frameworks/FoundationExtensions/ZORPageFormat.h"

#include "frameworks/FoundationExtensions/ZORMeasurementLib.h"
#include "frameworks/FoundationExtensions/detail/PageFormats.h"

#include "platform/foundation/files/Bundle.h"

namespace PageFormats {

gfx::Size sizeOf(const PageFormat& format)
{
    if (format.unit == PageUnit::Point)
        return { format.width, format.height };
    return { ZORMeasurementConvert(ZORMeasurementUnit::Millimeter, ZORMeasurementUnit::Point, format.width),
        ZORMeasurementConvert(ZORMeasurementUnit::Millimeter, ZORMeasurementUnit::Point, format.height) };
}

fnd::String localizedName(const char* key)
{
    auto bundle = fnd::Bundle::bundleForClass("ZORPageFormat");
    return bundle ? bundle->localizedStringForKey(key, "", "ZORPageFormat") : fnd::String(key);
}

}

using PageFormats::Formats;
using PageFormats::localizedName;
using PageFormats::sizeOf;

gfx::Size ZORPageFormat::sizeOfPageStandardFormat(std::int32_t index)
{
    if (index < 0 || index >= NumberOfFormats)
        return {};
    return sizeOf(Formats[index]);
}

fnd::String ZORPageFormat::nameForFormatWithSize(gfx::Size size)
{
    for (const auto& format : Formats) {
        auto formatSize = sizeOf(format);
        if (formatSize.width == size.width && formatSize.height == size.height)
            return localizedName(format.nameKey);
    }
    return {};
}
