// The keyed archive of a barcode, its copy, and handing the look to another barcode.
#include "barcodes/TBQGenericBarcode.h"

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

bool TBQGenericBarcode::initWithCoder(Coder& coder)
{
    if (!TBQDataEntry::initWithCoder(coder))
        return false;
    m_content = coder.decodeObjectForKey("content").stringValue();
    m_addOnContent = coder.decodeObjectForKey("addOnContent").stringValue();
    m_checksum = coder.decodeObjectForKey("checksum").stringValue();
    // A colour that is missing or of another kind keeps its default, so the bars never vanish.
    if (auto color = coder.decodeObjectForKey("barColor").objectAs<gfx::Color>())
        m_barColor = color;
    if (auto color = coder.decodeObjectForKey("backgroundColor").objectAs<gfx::Color>())
        m_backgroundColor = color;
    // A missing font is replaced by the system font at the first layout with a caption.
    m_font = coder.decodeObjectForKey("font").objectAs<gfx::Font>();
    m_calculateChecksum = coder.decodeBoolForKey("calculateChecksum");
    m_barWidth = coder.decodeFloatForKey("barWidth");
    m_height = coder.decodeFloatForKey("height");
    m_drawCaption = coder.decodeBoolForKey("drawCaption");
    m_autoCalcQuietZone = coder.decodeBoolForKey("autoCalcQuietZone");
    m_quietZoneRect = coder.decodeRectForKey("quietZoneRect");

    setShouldDrawBackground(coder.containsValueForKey("shouldDrawBackground")
            ? coder.decodeBoolForKey("shouldDrawBackground")
            : true);
    setConvertTextToVector(
        coder.containsValueForKey("convertTextToVector") ? coder.decodeBoolForKey("convertTextToVector") : false);
    setFontOffset(coder.containsValueForKey("fontOffset") ? coder.decodeFloatForKey("fontOffset") : 0.0);
    setDrawLightMarginIndicators(coder.containsValueForKey("drawLightMarginIndicators")
            ? coder.decodeBoolForKey("drawLightMarginIndicators")
            : false);
    if (coder.hasFailed())
        return false;
    recalculateWorkAreaSize();
    return true;
}

TBQDataEntry::EntryPtr TBQGenericBarcode::copy() const
{
    auto entry = TBQDataEntry::copy();
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
    c.recalculateWorkAreaSize();
    return entry;
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
