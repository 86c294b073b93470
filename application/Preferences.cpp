#include "application/Preferences.h"

#include "application/PreferencesKeys.h"

#include <cmath>

#include "barcodes/TBQGenericBarcode.h"
#include "frameworks/FoundationExtensions/ZORApplicationMeasurementCenter.h"
#include "frameworks/FoundationExtensions/ZORMeasurementLib.h"
#include "frameworks/FoundationExtensions/ZORNumberContainer.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <span>

namespace {

// The magnification classes SC 0 to SC 9 of the EAN/UPC standard (ISO/IEC 15420, annex on magnification): module
// width and bar height in millimetres.
struct MagnificationClass {
    const char* info;
    double moduleWidth;
    double barHeight;
};
constexpr std::array<MagnificationClass, 10> MagnificationClasses { {
    { "(SC 0)", 0.27, 21.48 },
    { "(SC 1)", 0.297, 23.63 },
    { "(SC 2)", 0.33, 26.26 },
    { "(SC 3)", 0.363, 28.89 },
    { "(SC 4)", 0.396, 31.51 },
    { "(SC 5)", 0.445, 35.45 }, // 5
    { "(SC 6)", 0.495, 39.39 },
    { "(SC 7)", 0.544, 43.33 },
    { "(SC 8)", 0.61, 48.58 },
    { "(SC 9)", 0.66, 52.52 },
} };

constexpr std::array FontHeights { 7, 8, 9, 10, 11, 12, 13, 14, 16, 18, 20 };

// Exports default to 300 dpi: a resolution of 0 would match no offered item and give an empty bitmap.
constexpr int DefaultExportResolution = 300;

float points(double millimetres)
{
    return static_cast<float>(
        ZORMeasurementConvert(ZORMeasurementUnit::Millimeter, ZORMeasurementUnit::Point, millimetres));
}

fnd::Data keyedArchive(const fnd::Array& list)
{
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(list));
    if (!data) {
        fnd::logf(
            fnd::LogLevel::Error, "A size list could not be archived: {}", data.error().localizedDescription().utf8());
        return {};
    }
    return *data;
}

fnd::Data sequentialArchive(const fnd::Value& object)
{
    auto data = fnd::SequentialArchiver::archivedDataWithRootObject(object);
    if (!data) {
        fnd::logf(
            fnd::LogLevel::Error, "A setting could not be archived: {}", data.error().localizedDescription().utf8());
        return {};
    }
    return *data;
}

fnd::Data sizeListArchive(double MagnificationClass::*field)
{
    fnd::Array list;
    for (const auto& c : MagnificationClasses)
        list.push_back(
            ZORNumberContainer::numberContainerWithNumber(fnd::Number(points(c.*field)), fnd::String(c.info)));
    return keyedArchive(list);
}

std::vector<std::pair<fnd::String, fnd::Value>> makeDefaults()
{
    fnd::Array fontHeights;
    for (int h : FontHeights)
        fontHeights.push_back(h);
    return {
        { TBQBCFontHeightArrayKey, fontHeights },
        { TBQBCModulWidthArrayKey, sizeListArchive(&MagnificationClass::moduleWidth) },
        { TBQBCBarcodeHeightArrayKey, sizeListArchive(&MagnificationClass::barHeight) },
        { LMVExportFilenamePrefix, "Lumvara" },
        { LMVExportFilenameExtension, "@NAME@-@CONTENT@" },
        { LMVExportFileTypeTag, 0 },
        { LMVExportResolutionTag, DefaultExportResolution },
        { LMVExportColorSpaceTag, 0 },
        { DefaultBarcodeValueBarColorKey, sequentialArchive(gfx::Color::colorWithCalibratedRed(0, 0, 0, 1)) },
        { DefaultBarcodeValueBackgroundColorKey, sequentialArchive(gfx::Color::colorWithCalibratedRed(1, 1, 1, 1)) },
        { DefaultBarcodeValueBarWidthKey, points(0.33) },
        { DefaultBarcodeValueHeightKey, points(26.26) },
        { DefaultBarcodeValueFontKey, sequentialArchive(Preferences::defaultCaptionFont()) },
        { DefaultBarcodeValueDrawCaptionKey, true },
        { DefaultBarcodeValueAutoCalcQuietZoneKey, true },
        { DefaultBarcodeValueCalculateChecksumKey, true },
        { DefaultBarcodeValueShouldDrawBackgroundKey, true },
        { DefaultBarcodeContentKey, "" },
        { DefaultBarcodeAddOnContentKey, "" },
        { DefaultBarcodeZoomScaleKey, 100 },
        { DefaultBarcodeClassNameKey, "EAN13" },
    };
}

// What a stored setting may hold. A value outside it (a damaged or hand-edited file, another version's setting)
// reads as the registered default, told once in the log: a unit no one knows would show every length as a bare 0.

bool isLength(const fnd::Value& v)
{
    return v.isNumber() && TBQGenericBarcode::PositiveLength.holds(v.doubleValue());
}

bool isIntegerIn(const fnd::Value& v, std::span<const int> allowed)
{
    return v.isNumber() && v.doubleValue() == double(v.integerValue())
        && std::find(allowed.begin(), allowed.end(), v.integerValue()) != allowed.end();
}

bool isLengthList(const fnd::Array& list)
{
    return list.size() <= Preferences::MaximumSizeListLength
        && std::all_of(list.begin(), list.end(), [](const fnd::Value& entry) {
               auto container = entry.objectAs<ZORNumberContainer>();
               return isLength(container ? fnd::Value(container->numberObject()) : entry);
           });
}

bool isContainerListArchive(const fnd::Value& v)
{
    if (!v.isData())
        return false;
    auto root = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*v.data());
    return root && root->isArray() && isLengthList(*root->array());
}

template <typename T> bool isSequentialArchiveOf(const fnd::Value& v)
{
    return v.isData() && fnd::SequentialUnarchiver::unarchiveObjectWithData(*v.data()).objectAs<T>() != nullptr;
}

bool isCaptionFontArchive(const fnd::Value& v)
{
    if (!v.isData())
        return false;
    auto font = fnd::SequentialUnarchiver::unarchiveObjectWithData(*v.data()).objectAs<gfx::Font>();
    return font && TBQGenericBarcode::PositiveLength.holds(font->pointSize());
}

void registerValueChecks(fnd::UserDefaults& d)
{
    static constexpr int FileTypes[] { 0, 1, 2, 3, 4, 5, 6 };
    static constexpr int ColorSpaces[] { 0, 1 };
    auto isString = [](const fnd::Value& v) { return v.isString(); };
    auto isSwitch = [](const fnd::Value& v) { return v.isNumber(); };
    d.registerValueCheck(
        TBQBCFontHeightArrayKey, [](const fnd::Value& v) { return v.isArray() && isLengthList(*v.array()); });
    d.registerValueCheck(TBQBCModulWidthArrayKey, isContainerListArchive);
    d.registerValueCheck(TBQBCBarcodeHeightArrayKey, isContainerListArchive);
    d.registerValueCheck(LMVExportFilenamePrefix, isString);
    d.registerValueCheck(LMVExportFilenameExtension, isString);
    d.registerValueCheck(LMVExportFileTypeTag, [](const fnd::Value& v) { return isIntegerIn(v, FileTypes); });
    d.registerValueCheck(
        LMVExportResolutionTag, [](const fnd::Value& v) { return isIntegerIn(v, Preferences::ExportResolutions); });
    d.registerValueCheck(LMVExportColorSpaceTag, [](const fnd::Value& v) { return isIntegerIn(v, ColorSpaces); });
    d.registerValueCheck(LMVExportFolderKey, isString);
    d.registerValueCheck(DefaultBarcodeValueBarColorKey, isSequentialArchiveOf<gfx::Color>);
    d.registerValueCheck(DefaultBarcodeValueBackgroundColorKey, isSequentialArchiveOf<gfx::Color>);
    d.registerValueCheck(DefaultBarcodeValueBarWidthKey, isLength);
    d.registerValueCheck(DefaultBarcodeValueHeightKey, isLength);
    d.registerValueCheck(DefaultBarcodeValueFontKey, isCaptionFontArchive);
    for (const auto& key : { DefaultBarcodeValueDrawCaptionKey, DefaultBarcodeValueAutoCalcQuietZoneKey,
             DefaultBarcodeValueCalculateChecksumKey, DefaultBarcodeValueShouldDrawBackgroundKey })
        d.registerValueCheck(key, isSwitch);
    d.registerValueCheck(DefaultBarcodeContentKey, isString);
    d.registerValueCheck(DefaultBarcodeAddOnContentKey, isString);
    d.registerValueCheck(
        DefaultBarcodeZoomScaleKey, [](const fnd::Value& v) { return isIntegerIn(v, Preferences::ZoomFactors); });
    d.registerValueCheck(DefaultBarcodeClassNameKey, isString);
    // The units of the preferences sheet, whose keys the measurement centre owns.
    for (DVNAppUnitType type : { DVNAppUnit::Page, DVNAppUnit::Font, DVNAppUnit::Line, DVNAppUnit::TextRuler })
        d.registerValueCheck(
            ZORApplicationMeasurementCenter::defaultsKeyForDVNAppUnitType(type), [](const fnd::Value& v) {
                return v.isNumber() && v.doubleValue() == double(v.integerValue()) && v.integerValue() >= 0
                    && ZORMeasurementUnitName(ZORMeasurementUnitType(v.integerValue())).has_value();
            });
}

fnd::UserDefaults& initializedDefaults()
{
    Preferences::initialize();
    return fnd::UserDefaults::standardUserDefaults();
}

fnd::Array containerList(const fnd::String& key)
{
    auto& d = initializedDefaults();
    auto read = [](const fnd::Value& stored) -> std::optional<fnd::Array> {
        if (!stored.isData())
            return std::nullopt;
        auto root = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*stored.data());
        if (!root || !root->isArray())
            return std::nullopt;
        return *root->array();
    };
    // A stored list that cannot be read reads as the registered one (its check says so, once), never as an empty menu.
    return read(d.objectForKey(key)).value_or(fnd::Array {});
}

bool listHolds(const fnd::Array& list, float value)
{
    const fnd::Value number(value);
    return std::any_of(list.begin(), list.end(), [&](const fnd::Value& entry) {
        if (auto container = entry.objectAs<ZORNumberContainer>())
            return container->isEqualToValue(number);
        return entry == number;
    });
}

// Ascending by number; containers compare by their numbers, also against plain numbers.
void sortByNumber(fnd::Array& list)
{
    auto numberOf = [](const fnd::Value& v) {
        if (auto container = v.objectAs<ZORNumberContainer>())
            return container->numberObject().doubleValue();
        return v.doubleValue();
    };
    std::stable_sort(
        list.begin(), list.end(), [&](const fnd::Value& a, const fnd::Value& b) { return numberOf(a) < numberOf(b); });
}

void recordInContainerList(const fnd::String& key, float value)
{
    auto list = containerList(key);
    if (listHolds(list, value))
        return;
    list.push_back(ZORNumberContainer::numberContainerWithNumber(fnd::Number(value), fnd::String()));
    sortByNumber(list);
    auto data = keyedArchive(list);
    if (!data.isEmpty())
        initializedDefaults().setObject(data, key);
}

}

void Preferences::initialize()
{
    static std::once_flag once;
    std::call_once(once, [] {
        ZORNumberContainer::mapArchivedClassName();
        registerIn(fnd::UserDefaults::standardUserDefaults());
    });
}

void Preferences::registerIn(fnd::UserDefaults& defaults)
{
    fnd::Dictionary registration;
    for (const auto& [key, value] : registeredDefaults())
        registration.set(key, value);
    defaults.registerDefaults(registration);
    registerValueChecks(defaults);
}

const std::vector<std::pair<fnd::String, fnd::Value>>& Preferences::registeredDefaults()
{
    // The containers must be archived under their stored class name from the first archive on.
    ZORNumberContainer::mapArchivedClassName();
    static const auto list = makeDefaults();
    return list;
}

fnd::Array Preferences::fontHeightArray()
{
    return initializedDefaults().arrayForKey(TBQBCFontHeightArrayKey).value_or(fnd::Array {});
}

fnd::Array Preferences::modulWidthArray()
{
    return containerList(TBQBCModulWidthArrayKey);
}

fnd::Array Preferences::barcodeHeightArray()
{
    return containerList(TBQBCBarcodeHeightArrayKey);
}

void Preferences::usedFontHeight(float height)
{
    auto list = fontHeightArray();
    if (listHolds(list, height))
        return;
    list.push_back(height);
    sortByNumber(list);
    initializedDefaults().setObject(list, TBQBCFontHeightArrayKey);
}

void Preferences::usedModulWidth(float width)
{
    recordInContainerList(TBQBCModulWidthArrayKey, width);
}

void Preferences::usedBarcodeHeight(float height)
{
    recordInContainerList(TBQBCBarcodeHeightArrayKey, height);
}

std::shared_ptr<gfx::Color> Preferences::colorForKey(const fnd::String& key)
{
    auto data = initializedDefaults().dataForKey(key);
    return data ? fnd::SequentialUnarchiver::unarchiveObjectWithData(*data).objectAs<gfx::Color>() : nullptr;
}

void Preferences::setColor(const std::shared_ptr<gfx::Color>& color, const fnd::String& key)
{
    if (!color)
        return;
    auto data = sequentialArchive(color);
    if (!data.isEmpty())
        initializedDefaults().setObject(data, key);
}

double Preferences::lengthForKey(const fnd::String& key)
{
    // The key's check has put the registered length in place of one out of range.
    return initializedDefaults().floatForKey(key);
}

std::shared_ptr<gfx::Font> Preferences::fontForKey(const fnd::String& key)
{
    // A stored size that is no size cannot come back: fonts take the user font size for sizes that are not above 0.
    auto data = initializedDefaults().dataForKey(key);
    return data ? fnd::SequentialUnarchiver::unarchiveObjectWithData(*data).objectAs<gfx::Font>() : nullptr;
}

void Preferences::setFont(const std::shared_ptr<gfx::Font>& font, const fnd::String& key)
{
    if (!font)
        return;
    auto data = sequentialArchive(font);
    if (!data.isEmpty())
        initializedDefaults().setObject(data, key);
}

std::shared_ptr<gfx::Font> Preferences::defaultCaptionFont()
{
    constexpr double Size = 10;
    const auto& fonts = gfx::FontManager::shared();
    constexpr int Regular = 5;
    if (auto monaco = fonts.fontWithFamily("Monaco", 0, Regular, Size))
        return monaco;
    if (auto mono = fonts.fontWithFamily("DejaVu Sans Mono", 0, Regular, Size))
        return mono;
    return gfx::Font::userFixedPitchFontOfSize(Size);
}
