// The keyed archive of a barcode, its copy, and handing the look to another barcode.
#include "barcodes/TBQGenericBarcode.h"

#include "platform/foundation/archiving/TypedDecoding.h"

#include <fmt/format.h>

using namespace fnd;

void TBQGenericBarcode::encodeWithCoder(Coder& coder) const
{
    TBQDataEntry::encodeWithCoder(coder);
    coder.encodeObject(m_content, "content");
    coder.encodeObject(m_addOnContent, "addOnContent");
    coder.encodeObject(m_checksum, "checksum");
    coder.encodeObject(Value(m_barColor), "barColor");
    coder.encodeObject(Value(m_backgroundColor), "backgroundColor");
    coder.encodeObject(Value(m_font), "font");
    coder.encodeBool(m_calculateChecksum, "calculateChecksum");
    coder.encodeFloat(static_cast<float>(m_barWidth), "barWidth");
    coder.encodeFloat(static_cast<float>(m_height), "height");
    coder.encodeFloat(static_cast<float>(m_fontOffset), "fontOffset");
    coder.encodeBool(m_drawCaption, "drawCaption");
    coder.encodeBool(m_autoCalcQuietZone, "autoCalcQuietZone");
    coder.encodeRect(m_quietZoneRect, "quietZoneRect");
    coder.encodeBool(m_shouldDrawBackground, "shouldDrawBackground");
    coder.encodeBool(m_convertTextToVector, "convertTextToVector");
    coder.encodeBool(m_drawLightMarginIndicators, "drawLightMarginIndicators");
}

namespace {

// A length under the key, bounded as its setter bounds it, in the single precision the archive keeps; the fallback
// when the key is missing.
double decodeLength(Coder& coder, const String& key, TBQGenericBarcode::LengthBound bound, double fallback)
{
    return static_cast<float>(decodeBoundedDoubleForKey(coder, key, bound.minimum, bound.maximum, fallback));
}

}

bool TBQGenericBarcode::initWithCoder(Coder& coder)
{
    if (!TBQDataEntry::initWithCoder(coder))
        return false;
    m_content = coder.decodeObjectForKey("content").stringValue();
    m_addOnContent = coder.decodeObjectForKey("addOnContent").stringValue();
    // A colour that is missing or of another kind keeps its default, so the bars never vanish.
    if (auto color = coder.decodeObjectForKey("barColor").objectAs<gfx::Color>())
        m_barColor = color;
    if (auto color = coder.decodeObjectForKey("backgroundColor").objectAs<gfx::Color>())
        m_backgroundColor = color;
    // A missing font is replaced by the system font at the first layout with a caption.
    m_font = coder.decodeObjectForKey("font").objectAs<gfx::Font>();
    if (m_font && !PositiveLength.holds(m_font->pointSize()))
        failDecoding(coder,
            fmt::format("the font size {} is outside {} to {}", m_font->pointSize(), PositiveLength.minimum,
                PositiveLength.maximum));
    m_calculateChecksum = coder.decodeBoolForKey("calculateChecksum");
    // Lengths are bounded as typing bounds them. A missing one keeps its default: a module width or bar height of 0
    // would make a symbol nobody sees.
    m_barWidth = decodeLength(coder, "barWidth", PositiveLength, m_barWidth);
    m_height = decodeLength(coder, "height", heightBound(), m_height);
    m_drawCaption = coder.decodeBoolForKey("drawCaption");
    m_autoCalcQuietZone = coder.decodeBoolForKey("autoCalcQuietZone");
    m_quietZoneRect = coder.decodeRectForKey("quietZoneRect");
    if (!isQuietZone(m_quietZoneRect))
        failDecoding(coder,
            fmt::format("a side of the quiet zone {{{}, {}, {}, {}}} is outside {} to {}", m_quietZoneRect.origin.x,
                m_quietZoneRect.origin.y, m_quietZoneRect.size.width, m_quietZoneRect.size.height,
                QuietZoneLength.minimum, QuietZoneLength.maximum));

    // Reading is no change: the setters below forward to the add-on and lay out, which would date this barcode and
    // its add-ons at the moment they were read; they keep the dates the archive holds.
    std::vector<std::pair<TBQGenericBarcode*, Date>> archivedDates;
    for (auto* barcode = this; barcode; barcode = barcode->addOn().get())
        archivedDates.emplace_back(barcode, barcode->modificationDate());
    setShouldDrawBackground(
        coder.containsValueForKey("shouldDrawBackground") ? coder.decodeBoolForKey("shouldDrawBackground") : true);
    setConvertTextToVector(
        coder.containsValueForKey("convertTextToVector") ? coder.decodeBoolForKey("convertTextToVector") : false);
    setFontOffset(decodeLength(coder, "fontOffset", FontOffsetLength, 0.0));
    setDrawLightMarginIndicators(coder.containsValueForKey("drawLightMarginIndicators")
            ? coder.decodeBoolForKey("drawLightMarginIndicators")
            : false);
    if (coder.hasFailed())
        return false;
    // The check characters come from the content, as typing makes them: the stored "checksum" is not read, since one
    // that does not belong to the content would be drawn as it stands.
    m_checksum = String();
    if (calculateChecksum())
        generateChecksum();
    recalculateWorkAreaSize();
    for (const auto& [barcode, date] : archivedDates)
        barcode->setModificationDate(date);
    return true;
}

TBQDataEntry::EntryPtr TBQGenericBarcode::copyWithoutSubObjects() const
{
    auto entry = TBQDataEntry::copyWithoutSubObjects();
    auto& c = static_cast<TBQGenericBarcode&>(*entry);
    c.m_content = m_content;
    c.m_addOnContent = m_addOnContent;
    c.m_checksum = m_checksum;
    c.m_barColor = m_barColor; // colours are immutable, so sharing is copying
    c.m_backgroundColor = m_backgroundColor;
    c.m_font = m_font;
    c.m_calculateChecksum = m_calculateChecksum;
    c.m_barWidth = m_barWidth;
    c.m_height = m_height;
    c.m_drawCaption = m_drawCaption;
    c.m_quietZoneRect = m_quietZoneRect;
    c.m_autoCalcQuietZone = m_autoCalcQuietZone;
    c.m_shouldDrawBackground = m_shouldDrawBackground;
    c.m_convertTextToVector = m_convertTextToVector;
    c.m_fontOffset = m_fontOffset;
    c.m_drawLightMarginIndicators = m_drawLightMarginIndicators;
    return entry;
}

void TBQGenericBarcode::copyIsComplete()
{
    // Laid out once the copy stands: an add-on laid out before it is linked would be laid out as a barcode of its
    // own, with the left light-margin indicator that an add-on goes without. Its add-on is laid out before it.
    recalculateWorkAreaSize();
}

void TBQGenericBarcode::copyAttributesToBarcode(TBQGenericBarcode& target) const
{
    target.setBarColor(m_barColor);
    target.setBackgroundColor(m_backgroundColor);
    target.setFont(m_font);
    target.setBarWidth(m_barWidth);
    target.setHeight(m_height);
    target.setDrawCaption(m_drawCaption);
    target.setQuietZone(m_quietZoneRect);
    target.setCalcQuietZone(m_autoCalcQuietZone);
    target.setShouldDrawBackground(m_shouldDrawBackground);
    target.setConvertTextToVector(m_convertTextToVector);
    target.setFontOffset(m_fontOffset);
    target.setDrawLightMarginIndicators(m_drawLightMarginIndicators);
}
