#include "barcodes/TBQGenericBarcode.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/FontManager.h"
#include "platform/graphics/Units.h"

using namespace fnd;

namespace {

// Default sizes are given in millimetres and kept at single precision, as the measurement functions give them.
double barcodeMillimetres(double millimetres)
{
    return static_cast<float>(gfx::lengthToPoints(gfx::LengthUnit::Millimeter, millimetres));
}

// The engine's texts are in the framework's bundle, with those of the other framework classes.
[[maybe_unused]] const bool TBQGenericBarcodeBundleRegistered
    = (Bundle::registerClassPrefix("TBQ", "ZORFramework"), true);

}

FND_REGISTER_CLASS(TBQGenericBarcode, TBQDataEntry)

void TBQGenericBarcode::describeClass(ClassBuilder<TBQGenericBarcode>& c)
{
    using B = TBQGenericBarcode;
    c.property("content", &B::content, &B::setContent);
    c.property("addOnContent", &B::addOnContent, &B::setAddOnContent);
    // Read only: the check characters are the content's (generateChecksum stores them), and a decoder makes them
    // again from the content, so a text a caller set here would not survive an archive.
    c.property("checksum", &B::checksum);
    c.property("calculateChecksum", &B::calculateChecksum, &B::setCalculateChecksum);
    c.property("barColor", &B::barColor, &B::setBarColor);
    c.property("backgroundColor", &B::backgroundColor, &B::setBackgroundColor);
    c.property("shouldDrawBackground", &B::shouldDrawBackground, &B::setShouldDrawBackground);
    c.property("convertTextToVector", &B::convertTextToVector, &B::setConvertTextToVector);
    c.property("font", &B::font, &B::setFont);
    c.property("fontSize", &B::fontSize, &B::setFontSize);
    c.property("fontOffset", &B::fontOffset, &B::setFontOffset);
    c.property("drawCaption", &B::drawCaption, &B::setDrawCaption);
    c.property("drawLightMarginIndicators", &B::drawLightMarginIndicators, &B::setDrawLightMarginIndicators);
    c.property("barWidth", &B::barWidth, &B::setBarWidth);
    c.property("height", &B::height, &B::setHeight);
    c.property("width", &B::width, &B::setWidth);
    c.property("quietZone", &B::quietZone, &B::setQuietZone);
    c.property("quietZoneTop", &B::quietZoneTop, &B::setQuietZoneTop);
    c.property("quietZoneBottom", &B::quietZoneBottom, &B::setQuietZoneBottom);
    c.property("quietZoneRight", &B::quietZoneRight, &B::setQuietZoneRight);
    c.property("quietZoneLeft", &B::quietZoneLeft, &B::setQuietZoneLeft);
    c.property("calcQuietZone", &B::calcQuietZone, &B::setCalcQuietZone);
    c.property("validatedErrorString", &B::validatedErrorString);
    c.property("encodingErrorString", &B::encodingErrorString);
    c.property("workAreaSize", &B::workAreaSize);
    c.property("isAddOn", &B::isAddOn);
    c.property("hadAddOn", &B::hadAddOn);
    c.keyPathsAffecting("fontSize", { "font" });
    c.keyPathsAffecting("quietZone", { "quietZoneTop", "quietZoneBottom", "quietZoneRight", "quietZoneLeft" });
}

TBQGenericBarcode::BarcodePtr TBQGenericBarcode::barcodeWithClassName(const String& className)
{
    return std::dynamic_pointer_cast<TBQGenericBarcode>(ClassRegistry::shared().create(className));
}

bool TBQGenericBarcode::isQuietZone(gfx::Rect zone)
{
    return QuietZoneLength.holds(zone.origin.x) && QuietZoneLength.holds(zone.origin.y)
        && QuietZoneLength.holds(zone.size.width) && QuietZoneLength.holds(zone.size.height);
}

void TBQGenericBarcode::init()
{
    TBQDataEntry::init();
    m_content = m_checksum = m_addOnContent = String();
    m_barColor = gfx::Color::colorWithCalibratedRed(0, 0, 0, 1);
    m_backgroundColor = gfx::Color::colorWithCalibratedRed(1, 1, 1, 1);
    m_barWidth = barcodeMillimetres(0.33);
    m_height = barcodeMillimetres(26.26);
    // A missing face falls back inside the graphics layer, keeping the requested name for the archive.
    m_font = gfx::Font::fontWithName("Monaco", 10);
    if (!m_font)
        m_font = gfx::Font::systemFontOfSize(10);
    m_fontOffset = 0;
    m_drawCaption = true;
    m_captionBaselinePosition = m_headlineBaselinePosition = 0;
    setShouldDrawBackground(true);
    setConvertTextToVector(false);
    m_quietZoneRect = {};
    m_autoCalcQuietZone = true;
    m_validateErrorString = m_encodingErrorString = String();
    generateChecksum();
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::initWithContent(const String& content)
{
    init();
    setContent(content);
}

String TBQGenericBarcode::localizedBarcodeString(const String& key)
{
    auto bundle = Bundle::bundleForClass("TBQGenericBarcode");
    return bundle ? bundle->localizedStringForKey(key, "", "BarcodeStrings") : String();
}

String TBQGenericBarcode::barcodeName() const
{
    return {};
}

void TBQGenericBarcode::notifyWorkAreaChanged()
{
    if (auto d = rootDelegate())
        d->barcodeWorkAreaChanged(*this);
}

void TBQGenericBarcode::notifyDrawingAttributeChanged()
{
    if (auto d = rootDelegate())
        d->drawingAttributeChanged(*this);
}

template <typename T> void TBQGenericBarcode::forwardToAddOn(void (TBQGenericBarcode::*setter)(T), T value)
{
    if (auto a = addOn())
        ((*a).*setter)(value);
}

void TBQGenericBarcode::setContent(const String& content)
{
    if (content == m_content)
        return;
    m_content = content;
    if (calculateChecksum())
        generateChecksum();
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::setAddOnContent(const String& addOnContent)
{
    m_addOnContent = addOnContent;
}

bool TBQGenericBarcode::calculateChecksum() const
{
    if (!generateChecksumIsPossible())
        return false;
    if (autoGenerateChecksum())
        return true;
    return m_calculateChecksum;
}

void TBQGenericBarcode::setCalculateChecksum(bool calculate)
{
    if (calculate == calculateChecksum())
        return;
    m_calculateChecksum = calculate;
    // Follows the effective switch: a symbology whose check is mandatory keeps it whatever was asked.
    if (calculateChecksum())
        generateChecksum();
    else
        m_checksum = String();
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::setBarColor(const std::shared_ptr<gfx::Color>& color)
{
    // No colour keeps the one there is, as decoding does, so the bars never vanish.
    if (!color)
        return;
    m_barColor = color;
    forwardToAddOn<const std::shared_ptr<gfx::Color>&>(&TBQGenericBarcode::setBarColor, color);
    updateModficationDate();
    notifyDrawingAttributeChanged();
}

void TBQGenericBarcode::setBackgroundColor(const std::shared_ptr<gfx::Color>& color)
{
    if (!color)
        return;
    m_backgroundColor = color;
    forwardToAddOn<const std::shared_ptr<gfx::Color>&>(&TBQGenericBarcode::setBackgroundColor, color);
    updateModficationDate();
    notifyDrawingAttributeChanged();
}

void TBQGenericBarcode::setShouldDrawBackground(bool draw)
{
    m_shouldDrawBackground = draw;
    updateModficationDate();
    notifyDrawingAttributeChanged();
}

void TBQGenericBarcode::setConvertTextToVector(bool convert)
{
    m_convertTextToVector = convert;
    forwardToAddOn(&TBQGenericBarcode::setConvertTextToVector, convert);
    updateModficationDate();
    notifyDrawingAttributeChanged();
}

void TBQGenericBarcode::setFont(const std::shared_ptr<gfx::Font>& font)
{
    // nil stays allowed: the layout puts the system font in its place.
    if (font && !PositiveLength.holds(font->pointSize()))
        return;
    m_font = font;
    forwardToAddOn<const std::shared_ptr<gfx::Font>&>(&TBQGenericBarcode::setFont, font);
    recalculateWorkAreaSize();
}

double TBQGenericBarcode::fontSize() const
{
    return m_font ? m_font->pointSize() : 0;
}

void TBQGenericBarcode::setFontSize(double size)
{
    if (!PositiveLength.holds(size) || !m_font)
        return;
    if (auto converted = gfx::FontManager::shared().convertFontToSize(m_font, size))
        setFont(converted);
}

void TBQGenericBarcode::setFontOffset(double offset)
{
    if (!FontOffsetLength.holds(offset))
        return;
    m_fontOffset = static_cast<float>(offset);
    forwardToAddOn(&TBQGenericBarcode::setFontOffset, offset);
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::setDrawCaption(bool draw)
{
    m_drawCaption = draw;
    forwardToAddOn(&TBQGenericBarcode::setDrawCaption, draw);
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::setDrawLightMarginIndicators(bool draw)
{
    m_drawLightMarginIndicators = draw;
    forwardToAddOn(&TBQGenericBarcode::setDrawLightMarginIndicators, draw);
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::setBarWidth(double width)
{
    if (!PositiveLength.holds(width))
        return;
    // Kept in the single precision archives keep it in, so a barcode read back lays out as this one.
    m_barWidth = static_cast<float>(width);
    forwardToAddOn(&TBQGenericBarcode::setBarWidth, width);
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::setHeight(double height)
{
    if (!heightBound().holds(height))
        return;
    m_height = static_cast<float>(height);
    forwardToAddOn(&TBQGenericBarcode::setHeight, height);
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::setWidth(double width)
{
    if (width == 0)
        return;
    auto modules = completeEncodedBarcode().size();
    // An empty symbol has no module to divide the width among.
    if (modules == 0)
        return;
    setBarWidth(width / static_cast<double>(modules));
}

void TBQGenericBarcode::setQuietZone(gfx::Rect zone)
{
    if (!isQuietZone(zone))
        return;
    m_quietZoneRect = zone;
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::setQuietZoneTop(double v)
{
    auto zone = quietZone();
    zone.size.height = v;
    setQuietZone(zone);
}

void TBQGenericBarcode::setQuietZoneBottom(double v)
{
    auto zone = quietZone();
    zone.origin.y = v;
    setQuietZone(zone);
}

void TBQGenericBarcode::setQuietZoneRight(double v)
{
    auto zone = quietZone();
    zone.size.width = v;
    setQuietZone(zone);
}

void TBQGenericBarcode::setQuietZoneLeft(double v)
{
    auto zone = quietZone();
    zone.origin.x = v;
    setQuietZone(zone);
}

void TBQGenericBarcode::setCalcQuietZone(bool automatic)
{
    m_autoCalcQuietZone = automatic;
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::setNilValueForKey(const String& key)
{
    if (key == String("barWidth") || key == String("height") || key == String("fontSize"))
        return;
    TBQDataEntry::setNilValueForKey(key);
}

TBQGenericBarcode::BarcodePtr TBQGenericBarcode::addOn() const
{
    if (objectCount() < 1)
        return nullptr;
    return std::dynamic_pointer_cast<TBQGenericBarcode>(objectAtIndex(0));
}

void TBQGenericBarcode::setAddOn(const BarcodePtr& newAddOn)
{
    auto current = addOn();
    if (newAddOn && newAddOn == current)
        return;
    // An add-on another barcode holds is refused before the present one goes.
    if (newAddOn)
        checkInsertable(newAddOn);
    if (current)
        removeObject(current.get());
    if (newAddOn)
        insertObject(newAddOn, 0);
}

bool TBQGenericBarcode::isAddOn() const
{
    return std::dynamic_pointer_cast<TBQGenericBarcode>(parent()) != nullptr;
}

const gfx::Font& TBQGenericBarcode::layoutFont()
{
    if (!m_font)
        setFont(gfx::Font::systemFontOfSize(10));
    return *m_font;
}
